#include "PrntHelp.h"

#include "platform/report/ReportPreview.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The preview's tool-bar buttons each label points at, left to right.
struct Pointer {
    const char *text;
    QStringList buttons;
};

const Pointer kPointers[4] = {
    {"翻页按钮", {"PageFirst", "PagePrevious", "PageNumber", "PageNext", "PageLast"}},
    {"缩放显示", {"ZoomOut", "ZoomIn", "FitWidth", "FitPage"}},
    {"可设置打印起止页、打印份数", {"PrintReport"}},
    {"可输出数据到Excel等类型的文件", {"ExportXlsx", "ExportPdf"}},
};

constexpr int kRowHeight = 24;

// The span of a group of buttons on the tool bar.
QRect groupRect(QWidget *toolBar, const QStringList &names)
{
    QRect span;
    for (const QString &name : names)
        if (auto *w = toolBar->findChild<QWidget *>(name))
            span |= w->geometry();
    return span;
}

} // namespace

PrntHelp::PrntHelp(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PrntHelp"));
    setWindowTitle(QStringLiteral(" 使用说明"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *layout = new QVBoxLayout(this);

    auto *lab = new QLabel(QStringLiteral("打印输出界面工具按钮"), this);
    lab->setObjectName(QStringLiteral("Lab"));
    layout->addWidget(lab);

    // The picture is the preview's real tool bar, with a pointer line from
    // each group of buttons down to its label.
    report::ReportPreview preview;
    QWidget *bar = preview.toolBar();
    bar->resize(bar->sizeHint());
    bar->layout()->activate();
    const QPixmap barPicture = bar->grab();

    auto *canvas = new QWidget(this);
    canvas->setObjectName(QStringLiteral("HelpPicture"));
    const int top = barPicture.height() + 6;
    int width = barPicture.width();
    QPixmap picture(barPicture.width(), top + 4 * kRowHeight);
    picture.fill(palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, barPicture);
    painter.setPen(QPen(QColor(0x20, 0x40, 0xa0), 1));
    painter.drawRect(0, 0, barPicture.width() - 1, barPicture.height() - 1);
    for (int i = 0; i < 4; ++i) {
        const QRect span = groupRect(bar, kPointers[i].buttons);
        // The rightmost group has the shortest line, so no label crosses a line.
        const int y = top + (3 - i) * kRowHeight + kRowHeight / 2;
        const int x = span.center().x();
        painter.drawLine(span.left() + 2, span.bottom() + 2, span.right() - 2, span.bottom() + 2);
        painter.drawLine(x, span.bottom() + 2, x, y);
        painter.drawLine(x, y, x + 8, y);
        auto *labe = new QLabel(QString::fromUtf8(kPointers[i].text), canvas);
        labe->setObjectName(QStringLiteral("Labe%1").arg(i));
        labe->adjustSize();
        labe->move(x + 12, y - labe->height() / 2);
        width = qMax(width, labe->geometry().right() + 4);
    }
    painter.end();
    auto *image = new QLabel(canvas);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(picture);
    image->resize(picture.size());
    image->lower();
    canvas->setFixedSize(width, picture.height());
    layout->addWidget(canvas);

    auto *ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName(QStringLiteral("CmdOK"));
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, [this] {
        closing_ = true;
        accept();
    });
}

void PrntHelp::closeEvent(QCloseEvent *event)
{
    if (closing_)
        event->accept();
    else
        event->ignore();
}
