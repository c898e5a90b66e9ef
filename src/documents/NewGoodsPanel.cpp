#include "NewGoodsPanel.h"

#include "DocumentWindowParts.h"

#include "platform/FileDialogs.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace documents {

namespace {
const int kPictureBox = 8;
const int kQuantityBox = 9;
} // namespace

NewGoodsPanel::NewGoodsPanel(Module1 &module, QWidget *parent) : QFrame(parent), m_(module)
{
    setObjectName(QStringLiteral("FrmNewGoods"));
    setFrameShape(QFrame::StyledPanel);
    const QStringList labels{QStringLiteral("货品编码："), QStringLiteral("货品名称："), QStringLiteral("所属类别："),
                             QStringLiteral("计量单位："), QStringLiteral("规格型号："), QStringLiteral("入库价格："),
                             QStringLiteral("销售价格："), QStringLiteral("备注信息："), QStringLiteral("货品图片："),
                             QStringLiteral("入库数量：")};
    for (int i = 0; i < 10; ++i) {
        LabN[i] = new QLabel(labels[i], this);
        LabN[i]->setObjectName(QStringLiteral("LabN%1").arg(i));
        TxtN[i] = new QLineEdit(this);
        TxtN[i]->setObjectName(QStringLiteral("TxtN%1").arg(i));
        TxtN[i]->installEventFilter(this);
        if (i != kPictureBox)
            windowparts::upperCaseAsTyped(TxtN[i]);  // a file path keeps its case
    }
    TxtN[2]->hide();  // receives the category code
    CmbHPLB = new QComboBox(this);
    CmbHPLB->setObjectName(QStringLiteral("CmbHPLB"));
    CmbHPLB->setEditable(true);
    CmbHPLB->setInsertPolicy(QComboBox::NoInsert);
    CmbHPLB->installEventFilter(this);
    CmbHPLB->lineEdit()->installEventFilter(this);
    CmdOpenPic = new QPushButton(QStringLiteral("…"), this);
    CmdOpenPic->setObjectName(QStringLiteral("CmdOpenPic"));
    connect(CmdOpenPic, &QPushButton::clicked, this, &NewGoodsPanel::browsePicture);

    auto *grid = new QGridLayout(this);
    auto place = [grid](QWidget *label, QWidget *box, int row, int col, int span = 1) {
        grid->addWidget(label, row, col);
        grid->addWidget(box, row, col + 1, 1, span);
    };
    place(LabN[0], TxtN[0], 0, 0);
    place(LabN[2], CmbHPLB, 0, 2);
    place(LabN[1], TxtN[1], 1, 0, 3);
    place(LabN[3], TxtN[3], 2, 0);
    place(LabN[4], TxtN[4], 2, 2);
    place(LabN[5], TxtN[5], 3, 0);
    place(LabN[9], TxtN[9], 3, 2);
    place(LabN[6], TxtN[6], 4, 0);
    place(LabN[7], TxtN[7], 4, 2);
    // The picture path runs the full width, the browse button at its right.
    auto *picture = new QHBoxLayout;
    picture->addWidget(TxtN[8], 1);
    CmdOpenPic->setFixedWidth(CmdOpenPic->fontMetrics().horizontalAdvance(CmdOpenPic->text()) + 24);
    picture->addWidget(CmdOpenPic);
    grid->addWidget(LabN[8], 5, 0);
    grid->addLayout(picture, 5, 1, 1, 3);
    enterOrder_ = {TxtN[0], CmbHPLB, TxtN[1], TxtN[3], TxtN[4], TxtN[5], TxtN[9], TxtN[6], TxtN[7]};
    hide();
}

void NewGoodsPanel::fillCategories()
{
    CmbHPLB->clear();
    db::Statement st = m_.gDb.prepare(QStringLiteral("select F1,F2 from TA3 order by F1"));
    while (st.isValid() && st.next())
        CmbHPLB->addItem(st.text(0).trimmed() + QLatin1Char('.') + st.text(1).trimmed());
    if (CmbHPLB->count() > 0)
        CmbHPLB->setCurrentIndex(0);
}

void NewGoodsPanel::enter(const QString &code)
{
    show();
    raise();
    TxtN[0]->setText(code);
    TxtN[0]->setFocus();
}

void NewGoodsPanel::clearBoxes()
{
    for (QLineEdit *box : TxtN)
        box->clear();
    TxtN[0]->setFocus();
}

void NewGoodsPanel::dropLineBreaksInCode()
{
    QString code = TxtN[0]->text();
    code.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    if (code != TxtN[0]->text())
        TxtN[0]->setText(code);
}

NewGoods NewGoodsPanel::input() const
{
    return NewGoods{TxtN[0]->text(), TxtN[1]->text(), CmbHPLB->currentText(), TxtN[3]->text(), TxtN[4]->text(),
                    TxtN[5]->text(), TxtN[6]->text(), TxtN[7]->text(), TxtN[8]->text(), TxtN[9]->text()};
}

void NewGoodsPanel::setCategoryCode(const QString &code)
{
    TxtN[2]->setText(code);
}

void NewGoodsPanel::focusField(NewGoodsOutcome::Field field)
{
    if (field == NewGoodsOutcome::Field::Code)
        TxtN[0]->setFocus();
    else if (field == NewGoodsOutcome::Field::Category)
        CmbHPLB->setFocus();
}

void NewGoodsPanel::browsePicture()
{
    const QString path = FileDialogs::current().openFileName(this, QStringLiteral("选择货品图片"), QString(),
                                                             QStringLiteral("图片文件(*.jpg *.gif *.bmp)"));
    if (!path.isEmpty())
        TxtN[kPictureBox]->setText(path);
}

bool NewGoodsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (!CmbHPLB)
        return QFrame::eventFilter(watched, event);  // still being built
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (watched == CmbHPLB->lineEdit())
        widget = CmbHPLB;
    const int box = int(std::find(TxtN.begin(), TxtN.end(), watched) - TxtN.begin());
    if (event->type() == QEvent::FocusIn && box < 10) {
        QPalette palette = TxtN[box]->palette();
        palette.setColor(QPalette::Base, QColor(192, 255, 255));
        TxtN[box]->setPalette(palette);
        TxtN[box]->selectAll();
    } else if (event->type() == QEvent::FocusOut && box < 10) {
        TxtN[box]->setPalette(QPalette());
        if (box == kQuantityBox && m_.gOptAbsoluteQuantities == 1 && numtext::typedNumber(TxtN[box]->text()) < 0)
            TxtN[box]->setText(QStringLiteral("0"));
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            emit backRequested();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const int at = int(enterOrder_.indexOf(widget));
            QWidget *next = at >= 0 && at + 1 < enterOrder_.size() ? enterOrder_[at + 1] : afterLast_;
            if (next)
                next->setFocus();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace documents
