#include "ZbSet.h"

#include "AboutUS.h"
#include "ModalDialogs.h"
#include "Module1.h"
#include "ProgramEnd.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

ZbSet::ZbSet(QWidget *parent)
    : QDialog(parent)
    , m_(Module1::instance())
{
    setObjectName(QStringLiteral("ZbSet"));
    setWindowTitle(QStringLiteral("Vantoro仓管系统标准版--帐本设置"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto *grid = new QGridLayout(this);
    auto *label1 = new QLabel(QStringLiteral("帐本名称："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto *label2 = new QLabel(QStringLiteral("帐本文件："), this);
    label2->setObjectName(QStringLiteral("Label2"));
    for (int i = 0; i < 2; ++i) {
        cmb_[i] = new QComboBox(this);
        cmb_[i]->setObjectName(QStringLiteral("Cmb%1").arg(i));
        cmb_[i]->setMinimumWidth(360);
    }
    cmb_[0]->addItems(m_.bookList.names);
    cmb_[1]->addItems(m_.bookList.paths);
    const int selected = m_.bookList.selected;
    if (selected >= 0 && selected < cmb_[0]->count()) {
        cmb_[0]->setCurrentIndex(selected);
        cmb_[1]->setCurrentIndex(selected);
    }
    // Entry i of one list belongs to entry i of the other. While an entry is
    // added to or removed from both lists one after the other, the lists
    // differ in length for a moment: an index the other list does not have
    // yet is left alone, so the two never chase each other.
    for (int i = 0; i < 2; ++i) {
        connect(cmb_[i], &QComboBox::currentIndexChanged, this, [this, i](int index) {
            QComboBox *other = cmb_[1 - i];
            if (other->currentIndex() != index && index < other->count())
                other->setCurrentIndex(index);
            cmb_[i]->setToolTip(cmb_[i]->currentText());
        });
    }
    chk_ = new QCheckBox(QStringLiteral("下次启动系统默认使用该帐本不显示本窗口"), this);
    chk_->setObjectName(QStringLiteral("Chk"));

    cmd0_ = new QPushButton(QStringLiteral("打开帐本"), this);
    cmd0_->setObjectName(QStringLiteral("Cmd0"));
    cmd3_ = new QPushButton(QStringLiteral("退出系统"), this);
    cmd3_->setObjectName(QStringLiteral("Cmd3"));
    connect(cmd0_, &QPushButton::clicked, this, &ZbSet::OpenChosenBook);
    connect(cmd3_, &QPushButton::clicked, this, &ZbSet::Leave);

    // The window's picture; a double-click on it shows the about window.
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    image->installEventFilter(this);
    grid->addWidget(image, 0, 2, 2, 1, Qt::AlignTop);

    grid->addWidget(label1, 0, 0);
    grid->addWidget(cmb_[0], 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(cmb_[1], 1, 1);
    grid->addWidget(chk_, 2, 0, 1, 3);
    buttons_ = new QHBoxLayout;
    buttons_->addStretch();
    buttons_->addWidget(cmd0_);
    buttons_->addWidget(cmd3_);
    grid->addLayout(buttons_, 3, 0, 1, 3);
}

void ZbSet::OpenChosenBook()
{
    const int index = cmb_[1]->currentIndex();
    if (index < 0 || cmb_[1]->count() == 0) {
        Prompt::current().message(QString(), QStringLiteral("请先选择一个帐本！"), Prompt::Icon::Information);
        return;
    }
    const QString path = cmb_[1]->currentText();
    if (const QString error = m_.OpenBookFile(path); !error.isEmpty()) {
        Prompt::current().message(QString(),
                                  QStringLiteral("打开帐本时发现错误！系统返回如下信息：\n\n") + error +
                                      QStringLiteral("\n\n请重新进行帐本设置!"),
                                  Prompt::Icon::Exclamation);
        return;
    }
    m_.gBookFile = path;
    m_.gBookName = cmb_[0]->itemText(index);
    WriteBookList();
    AllowClose = true;
    accept();
}

void ZbSet::Leave()
{
    if (cmd3_->text() == kReturnCaption) {
        // Back to the book that was open; a book that can no longer be opened
        // is reported and the window stays, so the program never runs without one.
        if (const QString error = m_.OpenBookFile(m_.gBookFile); !error.isEmpty()) {
            Prompt::current().message(QString(),
                                      QStringLiteral("打开帐本时发现错误！系统返回如下信息：\n\n") + error +
                                          QStringLiteral("\n\n请重新进行帐本设置!"),
                                      Prompt::Icon::Exclamation);
            return;
        }
        AllowClose = true;
        accept();
        return;
    }
    WriteBookList();
    AllowClose = true;
    program::endNow();
    done(QDialog::Rejected);
}

namespace {
// The first line of the list file; empty when there is none.
QString listedFirstLine(const QString &listFile)
{
    bool readable = false;
    const QString text = textfile::read(listFile, &readable);
    return readable ? text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r')) : QString();
}
} // namespace

bool ZbSet::WriteBookList(FirstLine first)
{
    const auto listed = [this](const QString &path) {
        const QString &app = m_.gAppPath;
        return !app.isEmpty() && path.startsWith(app, Qt::CaseSensitive)
                   ? QStringLiteral("%AppPath%") + path.mid(app.size())
                   : path;
    };
    const QString listFile = m_.gAppPath + QStringLiteral("dbsetup.dat");
    QString firstLine = first == FirstLine::AsListed ? listedFirstLine(listFile) : QString();
    if (firstLine.isEmpty())
        firstLine = chk_->isChecked() ? QStringLiteral("No") : QStringLiteral("Yes");
    const int selected = cmb_[0]->currentIndex();
    QStringList lines;
    lines << firstLine;
    if (selected >= 0) {
        lines << cmb_[0]->itemText(selected) << listed(cmb_[1]->itemText(selected));
    }
    for (int i = 0; i < cmb_[0]->count(); ++i) {
        if (i == selected)
            continue;
        lines << cmb_[0]->itemText(i) << listed(cmb_[1]->itemText(i));
    }
    QString failure;
    if (textfile::writeAtomically(listFile, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8(),
                                  &failure))
        return true;
    Prompt::current().message(QString(), QStringLiteral("无法保存帐本列表！\n\n") + failure, Prompt::Icon::Exclamation);
    return false;
}

bool ZbSet::isBookInUse(const QString &path) const
{
    return cmd3_->text() == kReturnCaption && path == m_.gBookFile;
}

void ZbSet::reject()
{
    // Esc does not leave the chooser: only its buttons do.
    if (AllowClose)
        QDialog::reject();
}

void ZbSet::closeEvent(QCloseEvent *event)
{
    if (AllowClose)
        event->accept();
    else
        event->ignore();
}

bool ZbSet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched->objectName() == QLatin1String("Image1")) {
        AboutUS about(this);
        runModal(about);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
