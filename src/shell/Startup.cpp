#include "Startup.h"

#include "AppSettings.h"
#include "MForm.h"
#include "ModalDialogs.h"
#include "Module1.h"
#include "ProgramEnd.h"
#include "WindowRegistry.h"
#include "ZbSet.h"
#include "frmTip.h"
#include "db/FileReplace.h"
#include "platform/DesktopLocale.h"
#include "platform/ModalFocus.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
const QString kDefaultBookFile = QStringLiteral("darvex.dat");
const QString kDefaultBookName = QStringLiteral("货品进出存帐本");

QString alarmAdvice()
{
    return QStringLiteral("\n\n如果希望系统不再自动报警，\n"
                          "您可以在主界面[系统管理]->[系统设置]->[系统功能设置]中关闭本功能。");
}

bool found(const QString &value)
{
    return value != Module1::NoFound && !value.isEmpty();
}
} // namespace

QString ParseCommandLineBook(const QString &commandLine)
{
    QString text = commandLine.trimmed();
    if (text.isEmpty())
        return {};
    if (text.startsWith(QLatin1Char('"'))) {
        const int close = text.indexOf(QLatin1Char('"'), 1);
        return close < 0 ? QString() : text.mid(1, close - 1);
    }
    const int blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

QString CommandLineText(const QStringList &arguments)
{
    QStringList parts;
    for (const QString &arg : arguments)
        parts << (arg.contains(QLatin1Char(' ')) ? QLatin1Char('"') + arg + QLatin1Char('"') : arg);
    return parts.join(QLatin1Char(' '));
}

Startup::Startup(Module1 &module)
    : m_(module)
{
}

Startup::~Startup() = default;

void Startup::SetDefaults(const QString &programFolder, const QString &dataFolder)
{
    m_.ResetToDefaults();
    const auto withSlash = [](QString folder) {
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        return folder;
    };
    m_.gProgramPath = withSlash(programFolder);
    m_.gAppPath = withSlash(dataFolder);
}

namespace {
// Copies a file of the program's folder into the data folder, only while the
// name there is free: a user's book stays as it is. The copy is the user's
// file, not the build's: from its first moment it has the mode a file the user
// makes gets (the user's mask, so a private setup keeps it private), written
// to by its owner.
void copyToFreeName(const QString &source, const QString &target)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        return;
    db::StagedFile staged(target);
    if (!staged.error().isEmpty())
        return;
    QFile to;
    if (!to.open(staged.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return;
    for (QByteArray block = from.read(1 << 20); !block.isEmpty(); block = from.read(1 << 20))
        if (to.write(block) != block.size())
            return;
    if (!to.flush() || from.error() != QFileDevice::NoError || !staged.sync().isEmpty())
        return;
    staged.giveNewFileMode();
    staged.putAtFreeName(target);
}
} // namespace

void Startup::PrepareDataFolder()
{
    if (m_.gAppPath == m_.gProgramPath)
        return;
    QDir().mkpath(m_.gAppPath);
    if (!IsWritableFolder(m_.gAppPath)) {
        Prompt::current().message(QStringLiteral("提示"),
                                  QStringLiteral("数据文件夹 %1 不能写入（或者无法建立），帐本、帐本列表和数据备份都无法保存。"
                                                 "\n\n请检查这个文件夹和它上级文件夹的权限，然后重新启动本系统。")
                                      .arg(QDir::toNativeSeparators(m_.gAppPath)),
                                  Prompt::Icon::Exclamation);
        return;
    }
    for (const QString &name : {kDefaultBookFile, QStringLiteral("dbsetup.dat")}) {
        const QString target = m_.gAppPath + name;
        if (!QFileInfo::exists(target) && QFileInfo::exists(m_.gProgramPath + name))
            copyToFreeName(m_.gProgramPath + name, target);
    }
}

bool Startup::OpenCommandLineBook(const QString &commandLine)
{
    m_.gBookFile = ParseCommandLineBook(commandLine);
    if (m_.gBookFile.isEmpty())
        return false;
    if (!QFileInfo(m_.gBookFile).isFile()) {
        m_.gBookFile.clear();
        return false;
    }
    if (m_.OpenBookFile(m_.gBookFile).isEmpty()) {
        // An account book has a theVer table whose mark is empty.
        if (m_.GetSingleValue(QStringLiteral("select Versn from theVer")).isEmpty()) {
            m_.gBookName = m_.gBookFile;
            return true;
        }
        m_.gDb.close();
    }
    Prompt::current().message(QString(),
                              QStringLiteral("文件[") + m_.gBookFile + QStringLiteral("]不是Vantoro") + m_.gVersion +
                                  QStringLiteral("帐本文件！"),
                              Prompt::Icon::Information);
    m_.gBookFile.clear();
    return false;
}

bool Startup::OpenListedBook()
{
    m_.gBookFile = m_.gAppPath + kDefaultBookFile;
    m_.gBookName = kDefaultBookName;
    if (m_.LoadBookList())
        return RunBookChooser();
    const QString error = m_.OpenBookFile(m_.gBookFile);
    if (error.isEmpty())
        return true;
    Prompt::current().message(QStringLiteral("提示"),
                              QStringLiteral("无法打开帐本！系统返回如下信息：\n\n") + error +
                                  QStringLiteral("\n\n请重新设置帐本"),
                              Prompt::Icon::Exclamation);
    return RunBookChooser();
}

bool Startup::RunBookChooser()
{
    QWidget *made = windows::create(QStringLiteral("ZbSet"), nullptr);
    auto *chooser = qobject_cast<QDialog *>(made);
    if (!chooser) {
        delete made;
        chooser = new ZbSet;
    }
    QPointer<QDialog> guard(chooser);
    runModal(*chooser);
    delete guard.data();
    return !program::endRequested() && m_.gDb.isOpen();
}

MForm *Startup::ShowMainWindow()
{
    main_ = std::make_unique<MForm>();
    main_->showAtSavedPlace();
    return main_.get();
}

bool Startup::RunLogin()
{
    return main_ && main_->ShowLogin();
}

void Startup::StartupDuties()
{
    m_.LoadPeriodStart();

    using namespace appsettings;
    const QString showTips = read(programName(), kOptionsSection, kShowTipsKey, QStringLiteral("1"));
    if (showTips.trimmed().toInt() != 0) {
        frmTip tip(main_.get());
        runModal(tip);
    }

    if (!main_ || !main_->stockMenuEnabled())
        return;
    if (m_.gOptAlarmHighAtStart == 1 &&
        found(m_.GetSingleValue(
            QStringLiteral("select TA4.F1 from TA4 where TA4.F8>TA4.V2 and TA4.V2<>0 limit 1"))) &&
        Prompt::current().ask(QStringLiteral(" 库存自动报警--超出最高存量"),
                              QStringLiteral("库存中发现超过最高存量的货品！您要查看详细内容吗？") + alarmAdvice(),
                              Prompt::Icon::Question)) {
        main_->openWindow(QStringLiteral("C1"), {{QStringLiteral("AutoOpen"), 2}});
    }
    if (m_.gOptAlarmLowAtStart == 1 &&
        found(m_.GetSingleValue(QStringLiteral("select TA4.F1 from TA4 where TA4.F8<TA4.V1 limit 1"))) &&
        Prompt::current().ask(QStringLiteral(" 库存自动报警--低于安全存量"),
                              QStringLiteral("库存中发现低于安全存量的货品！您要查看详细内容吗？") + alarmAdvice(),
                              Prompt::Icon::Question)) {
        main_->openNewWindow(QStringLiteral("C1"), {{QStringLiteral("AutoOpen"), 1}});
    }
}

bool Startup::Main(const QString &programFolder, const QString &dataFolder, const QString &commandLine)
{
    SetDefaults(programFolder, dataFolder);
    PrepareDataFolder();
    if (!OpenCommandLineBook(commandLine) && !OpenListedBook())
        return false;
    m_.RemoveBookLeftovers();
    ShowMainWindow();
    if (!RunLogin())
        return false;
    StartupDuties();
    return !program::endRequested();
}

bool IsWritableFolder(const QString &folder)
{
    // A file made and removed again: the one test that also holds for a
    // read-only file system and for a folder of another user.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".writable-XXXXXX")));
    return probe.open();
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

int runProgram(QApplication &app)
{
    // Dialogs closed before the main window exists must not end the program.
    app.setQuitOnLastWindowClosed(false);
    InstallChineseDesktop(app);
    ReturnFocusAfterModalWindows(app);
    Startup startup(Module1::instance());
    // Without a home folder there is no data folder: the program folder serves.
    const QString programFolder = QApplication::applicationDirPath();
    const QString dataFolder = userDataFolder();
    if (!startup.Main(programFolder, dataFolder.isEmpty() ? programFolder : dataFolder,
                      CommandLineText(app.arguments().mid(1))))
        return 0;
    app.setQuitOnLastWindowClosed(true);
    return app.exec();
}
