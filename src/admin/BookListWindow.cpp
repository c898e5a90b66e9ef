#include "BookListWindow.h"

#include "BookFiles.h"
#include "db/FileReplace.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "shell/DesktopServices.h"
#include "shell/Module1.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

namespace {
const QString kBookFilter = QStringLiteral("Vantoro帐本文件 (*.vzk);;所有文件 (*)");
} // namespace

BookListWindow::BookListWindow(QWidget *parent)
    : ZbSet(parent)
{
    auto *cmd1 = new QPushButton(QStringLiteral("增加帐本"), this);
    cmd1->setObjectName(QStringLiteral("Cmd1"));
    auto *cmd2 = new QPushButton(QStringLiteral("删除帐本"), this);
    cmd2->setObjectName(QStringLiteral("Cmd2"));
    // Cmd0 .. Cmd3 from left to right: after the stretch and Cmd0.
    buttons_->insertWidget(2, cmd1);
    buttons_->insertWidget(3, cmd2);
    connect(cmd1, &QPushButton::clicked, this, &BookListWindow::AddBook);
    connect(cmd2, &QPushButton::clicked, this, &BookListWindow::RemoveBook);

    editzb_ = new QMenu(this);
    editzb_->setObjectName(QStringLiteral("editzb"));
    const auto item = [this](const char *name, const QString &caption, void (BookListWindow::*slot)()) {
        QAction *action = editzb_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    item("newone", QStringLiteral("建立新的帐本"), &BookListWindow::NewBook);
    item("setpath", QStringLiteral("导入已有帐本"), &BookListWindow::ImportBook);
    item("zbrename", QStringLiteral("当前帐本更名"), &BookListWindow::RenameBook);

    for (const char *name : {"Label1", "Label2"})
        if (auto *label = findChild<QLabel *>(QString::fromLatin1(name)))
            label->installEventFilter(this);
}

void BookListWindow::AddBook()
{
    renamed_ = false;
    editzb_->exec(QCursor::pos());
    // A rename keeps the chooser choice as listed, as the label's rename does.
    WriteBookList(renamed_ ? FirstLine::AsListed : FirstLine::FromCheckBox);
}

QString BookListWindow::fallbackName() const
{
    // A book opened from the command line carries its path as name; the
    // fallback names files (its backup settings), so it never holds a path.
    return QStringLiteral("新建") + books::bookNameForFiles(m_);
}

void BookListWindow::appendBook(const QString &name, const QString &path)
{
    cmb_[1]->addItem(path);
    cmb_[0]->addItem(name);
    cmb_[0]->setCurrentIndex(cmb_[0]->count() - 1);
    cmb_[1]->setCurrentIndex(cmb_[0]->currentIndex());
}

int BookListWindow::selectedEntry()
{
    const int index = cmb_[0]->currentIndex();
    if (index < 0 || index >= cmb_[1]->count()) {
        Prompt::current().message(QString(), QStringLiteral("请先选择一个帐本！"), Prompt::Icon::Information);
        return -1;
    }
    return index;
}

void BookListWindow::NewBook()
{
    QDir().mkpath(m_.gAppPath + books::kMyBooksFolder);
    const QString proposed = m_.gAppPath + books::kMyBooksFolder + QStringLiteral("/新建帐本.vzk");
    QString path, error;
    for (;;) {
        path = FileDialogs::current().saveFileName(this, QStringLiteral("请指定文件的存放位置及文件名"), proposed,
                                                   kBookFilter);
        if (path.isEmpty())
            return;
        // A name another computer takes while the book is made is told as
        // one taken before: the clerk chooses another.
        if (!QFileInfo::exists(path)) {
            WaitCursor wait;
            error = books::makeNewBook(m_.gBookFile, path);
            if (error != db::nameTakenReason())
                break;
        }
        Prompt::current().message(QString(), db::nameTakenReason(), Prompt::Icon::Information);
    }
    if (!error.isEmpty()) {
        Prompt::current().message(QString(), QStringLiteral("建立新帐本时发现错误！系统返回如下信息：\n\n") + error,
                                  Prompt::Icon::Exclamation);
        return;
    }
    QString answer = Prompt::current()
                         .inputText(QStringLiteral("新建帐本"), QStringLiteral("请输入新建帐本的名称："), fallbackName())
                         .value_or(QString());
    QString name = books::CleanBookName(answer);
    if (name.isEmpty())
        name = fallbackName();
    appendBook(name, path);
}

void BookListWindow::ImportBook()
{
    QDir().mkpath(m_.gAppPath + books::kMyBooksFolder);
    QString path;
    for (;;) {
        path = FileDialogs::current().openFileName(this, QStringLiteral("请选择已存在的帐本文件"),
                                                   m_.gAppPath + books::kMyBooksFolder, kBookFilter);
        if (path.isEmpty())
            return;
        if (books::checkBookFile(path).isEmpty())
            break;
        Prompt::current().message(QString(),
                                  QStringLiteral("无效的文件格式！您只能选择使用本软件建立的帐本文件或数据备份文件！"),
                                  Prompt::Icon::Exclamation);
    }
    QString answer = Prompt::current()
                         .inputText(QStringLiteral("导入帐本"), QStringLiteral("请输入新建帐本的名称："),
                                    books::proposedImportName(path))
                         .value_or(QString());
    QString name = books::CleanBookName(answer);
    if (name.isEmpty())
        name = fallbackName();
    appendBook(name, path);
}

void BookListWindow::RenameBook()
{
    const int index = selectedEntry();
    if (index < 0)
        return;
    const QString oldName = cmb_[0]->itemText(index);
    QString answer = Prompt::current()
                         .inputText(QStringLiteral("帐本更名"), QStringLiteral("请输入帐本的名称："), oldName)
                         .value_or(QString());
    const QString name = books::CleanBookName(answer);
    if (name.isEmpty())
        return;
    cmb_[0]->setItemText(index, name);
    cmb_[0]->setToolTip(cmb_[0]->currentText());
    renamed_ = true;
    // The backup settings follow the name; a settings file of another book
    // already under the new name is left as it is.
    const QString oldSettings = m_.gAppPath + oldName + QStringLiteral("bak.set");
    if (oldName != name && QFileInfo::exists(oldSettings))
        QFile::rename(oldSettings, m_.gAppPath + name + QStringLiteral("bak.set"));
    // The open book takes its new name at once: its automatic backup looks
    // for the settings under that name, and the list and status bar show it.
    if (isBookInUse(cmb_[1]->itemText(index))) {
        m_.gBookName = name;
        WriteBookList(FirstLine::AsListed);
        m_.ShowBookNameInStatusBar();
    }
}

void BookListWindow::RemoveBook()
{
    const int index = selectedEntry();
    if (index < 0)
        return;
    const QString path = cmb_[1]->itemText(index);
    const QString name = cmb_[0]->itemText(index);
    if (path.contains(books::kDefaultBookMark, Qt::CaseSensitive)) {
        Prompt::current().message(QString(), QStringLiteral("您选择的是系统原始帐本，不能删除！"),
                                  Prompt::Icon::Exclamation);
        return;
    }
    if (isBookInUse(path)) {
        Prompt::current().message(QString(), QStringLiteral("您选择的是当前正在使用的帐本，不能删除！"),
                                  Prompt::Icon::Exclamation);
        return;
    }
    if (!Prompt::current().ask(QString(),
                               QStringLiteral("此删除操作只在帐本列表中去除指定帐本，依然在硬盘上保留帐本文件。\n真的要删除[") +
                                   name + QStringLiteral("]吗？"),
                               Prompt::Icon::Question))
        return;
    cmb_[0]->removeItem(index);
    cmb_[1]->removeItem(index);
    cmb_[0]->setCurrentIndex(0);
    cmb_[1]->setCurrentIndex(cmb_[0]->currentIndex());
    WriteBookList();
}

void BookListWindow::OpenBookFolder()
{
    if (!Prompt::current().ask(QStringLiteral(" 帐本文件维护"), QStringLiteral("是否需要打开帐本文件所在的文件夹？"),
                               Prompt::Icon::Question))
        return;
    const QString path = cmb_[1]->currentText();
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!folder.isEmpty())
        Desktop::current().openUrl(QUrl::fromLocalFile(folder));
}

bool BookListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched->objectName() == QLatin1String("Label1")) {
            RenameBook();
            return true;
        }
        if (watched->objectName() == QLatin1String("Label2")) {
            OpenBookFolder();
            return true;
        }
    }
    return ZbSet::eventFilter(watched, event);
}
