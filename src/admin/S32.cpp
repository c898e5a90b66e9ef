#include "S32.h"

#include "BookBackup.h"
#include "BookFiles.h"
#include "sysDBbak.h"
#include "db/Database.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "shell/Login.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/ProgramEnd.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

S32::S32(QWidget *parent)
    : QDialog(parent)
    , m_(Module1::instance())
{
    setObjectName(QStringLiteral("S32"));
    setWindowTitle(QStringLiteral("数据恢复"));

    auto *label1 = new QLabel(QStringLiteral("警告：数据恢复操作危险！建议在恢复前先备份数据，以防造成数据丢失！"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);
    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton *command1 = button("Command1", QStringLiteral("恢复数据"));
    QPushButton *command3 = button("Command3", QStringLiteral("备份数据"));
    QPushButton *command2 = button("Command2", QStringLiteral("返回系统"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(command1);
    buttons->addWidget(command3);
    buttons->addWidget(command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(command1, &QPushButton::clicked, this, &S32::Restore);
    connect(command3, &QPushButton::clicked, this, &S32::ShowBackupWindow);
    connect(command2, &QPushButton::clicked, this, &QDialog::reject);
}

void S32::ShowBackupWindow()
{
    sysDBbak window(this);
    runModal(window);
}

void S32::Restore()
{
    if (Module1::IsOnNetworkFileSystem(m_.gAppPath)) {
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("数据恢复只能在数据库本地电脑上执行！"),
                                  Prompt::Icon::Information);
        return;
    }
    QDir().mkpath(m_.gAppPath + books::kBackupFolder);
    const QString chosen =
        FileDialogs::current().openFileName(this, QStringLiteral("从备份文件中恢复数据到现在的系统"),
                                            m_.gAppPath + books::kBackupFolder, QStringLiteral("*.vzk (*.vzk);;*.* (*)"));
    if (chosen.isEmpty())
        return;
    const auto failed = [](const QString &error) {
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("系统数据恢复失败！原因如下：\n") + error,
                                  Prompt::Icon::Information);
    };
    // Only an account book that reads back whole may replace the book;
    // anything else leaves it untouched. The checked backup stays open, as it
    // was checked, until it is written into the book.
    db::Database backup;
    QString error;
    {
        WaitCursor wait;
        error = backup::openBackup(backup, m_.gBookFile, chosen);
    }
    if (!error.isEmpty()) {
        failed(error);
        return;
    }
    // The function windows show rows of the book about to be replaced.
    MForm *main = MForm::instance();
    if (main && !main->closeFunctionWindows())
        return;

    {
        WaitCursor wait;
        error = backup::restoreBook(m_.gDb, m_.gBookFile, backup);
    }
    if (!error.isEmpty()) {
        failed(error);
        // The program never runs on without an open book.
        if (!m_.gDb.isOpen() && !m_.gDb.open(m_.gBookFile))
            program::endNow();
        return;
    }
    m_.LoadPeriodStart();
    Prompt::current().message(QStringLiteral("提示"), QStringLiteral("数据恢复成功！为了数据安全，请重新登录！"),
                              Prompt::Icon::Information);
    Login login(main, this);
    runModal(login);
}
