#include "MForm.h"

#include "AppSettings.h"
#include "BGForm.h"
#include "BookFileType.h"
#include "ChildMenuKeys.h"
#include "DesktopDefaults.h"
#include "DesktopServices.h"
#include "EditStateSource.h"
#include "HostWindow.h"
#include "Login.h"
#include "ModalDialogs.h"
#include "Module1.h"
#include "Pictures.h"
#include "ProgramEnd.h"
#include "ProgramIcon.h"
#include "WindowPlacement.h"
#include "WindowRegistry.h"
#include "ZbSet.h"
#include "platform/Prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>

namespace {
MForm *gMainWindow = nullptr;
// Where the main window was last (a WindowPlacement text), in the program's settings.
const QString kWindowSection = QStringLiteral("MForm");
const QString kGeometryKey = QStringLiteral("Geometry");
} // namespace

MForm::MForm(QWidget *parent)
    : QMainWindow(parent)
    , m_(Module1::instance())
{
    setObjectName(QStringLiteral("MForm"));
    gMainWindow = this;
    // Every window of the program (function windows, dialogs) shows its icon.
    QApplication::setWindowIcon(ProgramIcon());
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(mdi_);
    background_ = new BGForm(mdi_->viewport());
    new ChildMenuKeys(mdi_);
    // The background follows the client area, which is sized after the frame.
    mdi_->viewport()->installEventFilter(this);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StB"));
    setStatusBar(bar);
    // Panel widths follow the window: 1 = 3/8, 2 and 3 = 1/8 each, 4 the rest.
    const int stretch[4] = {3, 1, 1, 3};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QStringLiteral("StBPanel%1").arg(i + 1));
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panels_[i]->installEventFilter(this);
        bar->addWidget(panels_[i], stretch[i]);
    }
    m_.setStatusPanels(this);

    buildMenus();
    InitMainWindow();
    // Shown normal (not maximised), the window fills most of the screen.
    if (const QScreen *screen = QApplication::primaryScreen())
        resize(screen->availableSize() * 9 / 10);
}

MForm::~MForm()
{
    if (&m_.statusPanels() == this)
        m_.setStatusPanels(nullptr);
    if (gMainWindow == this)
        gMainWindow = nullptr;
}

MForm *MForm::instance()
{
    return gMainWindow;
}

void MForm::InitMainWindow()
{
    const QPixmap picture = loadPicture(m_.gProgramPath + QStringLiteral("syspic.dat"));
    if (!picture.isNull())
        background_->setPicture(picture);
    background_->show();
    background_->lower();
    // Never takes the focus or input (a disabled widget would grey its picture).
    background_->setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowTitle(QStringLiteral("Vantoro仓库管理系统 Ver:") + m_.gVersion);
    setPanelText(1, mform::kPanel1Text);
    setPanelText(2, QStringLiteral("操作员："));
    m_.ShowBookNameInStatusBar();
    LayoutMainWindow();
}

void MForm::LayoutMainWindow()
{
    background_->Form_Resize();
}

void MForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutMainWindow();
}

void MForm::setPanelText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 4)
        panels_[panel - 1]->setText(text);
}

QString MForm::panelText(int panel) const
{
    return panel >= 1 && panel <= 4 ? panels_[panel - 1]->text() : QString();
}

bool MForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == mdi_->viewport())
        LayoutMainWindow();
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 4; ++i) {
            if (watched == panels_[i]) {
                StatusPanelClick(i + 1);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- windows ----

namespace {
void setProperties(QObject *window, const QVariantMap &properties)
{
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        window->setProperty(it.key().toUtf8().constData(), it.value());
}
} // namespace

QWidget *MForm::openWindow(const QString &name, const QVariantMap &properties)
{
    // A window closed but not yet deleted (that happens when control returns
    // to the event loop) is gone for the operator: a new one opens.
    QMdiSubWindow *open = shared_.value(name);
    if (open && !open->isHidden() && open->widget() && (!open->widget()->isHidden() || open->isMinimized())) {
        setProperties(open->widget(), properties);
        open->showNormal();
        mdi_->setActiveSubWindow(open);
        return open->widget();
    }
    QWidget *window = openNewWindow(name, properties);
    if (window && window->parentWidget())
        shared_.insert(name, qobject_cast<QMdiSubWindow *>(window->parentWidget()));
    return window;
}

QWidget *MForm::openNewWindow(const QString &name, const QVariantMap &properties)
{
    QWidget *window = windows::create(name, this);
    if (!window) {
        Prompt::current().message(QStringLiteral("提示"), QStringLiteral("窗口 ") + name + QStringLiteral(" 无法打开！"),
                                  Prompt::Icon::Information);
        return nullptr;
    }
    setProperties(window, properties);
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        QPointer<QDialog> guard(dialog);
        runModal(*dialog);
        delete guard.data();
        return nullptr;
    }
    showChild(window);
    return window;
}

QMdiSubWindow *MForm::showChild(QWidget *window)
{
    // The sub-window would shrink to the window's size hint, which is tiny for
    // windows that place their controls themselves: keep the size the window
    // gave itself, else fill the work area; never more than the area, and
    // placed so the whole window can be seen.
    const QSize own = HasOwnSize(window) ? window->size() : QSize();
    QMdiSubWindow *sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    CloseHostWhenWindowCloses(window);
    ApplyDesktopDefaults(window);
    background_->lower();
    // Sized before it shows, so a window that places itself when shown wins.
    const QMargins m = sub->contentsMargins();  // title bar and borders
    const QSize frame(m.left() + m.right(), m.top() + m.bottom());
    const QRect area(QPoint(0, 0), mdi_->viewport()->size());
    const QSize wanted = own.isValid() ? own + frame : area.size();
    const QSize size = wanted.expandedTo(sub->minimumSizeHint()).boundedTo(area.size());
    QRect placed(sub->pos(), size);
    if (!area.contains(placed))
        placed.moveTopLeft(QPoint(qBound(0, placed.x(), area.width() - size.width()),
                                  qBound(0, placed.y(), area.height() - size.height())));
    sub->setGeometry(placed);
    window->show();
    sub->show();
    mdi_->setActiveSubWindow(sub);
    return sub;
}

void MForm::showAtSavedPlace()
{
    const auto saved =
        WindowPlacement::fromText(appsettings::read(appsettings::programName(), kWindowSection, kGeometryKey));
    if (saved) {
        const QScreen *screen = QGuiApplication::screenAt(saved->client.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        setGeometry(screen ? saved->placedIn(screen->availableGeometry()) : saved->client);
        if (saved->maximized)
            showMaximized();
        else
            show();
        return;
    }
    // Cover the screen's work area first: without a window manager (or one
    // that ignores the request) maximising alone leaves the default size.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
}

QString MForm::saveGeometryToSettings()
{
    return appsettings::save(appsettings::programName(), kWindowSection, kGeometryKey, WindowPlacement::of(*this).toText());
}

bool MForm::closeFunctionWindows()
{
    const auto subs = mdi_->subWindowList();
    for (QMdiSubWindow *sub : subs) {
        auto *editing = dynamic_cast<EditStateSource *>(sub->widget());
        if (editing && editing->Edstu() != 0) {
            mdi_->setActiveSubWindow(sub);
            m_.WarnEditInProgress();
            return false;
        }
    }
    for (QMdiSubWindow *sub : subs) {
        if (!sub->close())
            return false;
    }
    return true;
}

// ---- rights ----

void MForm::ApplyRights(const OperatorRights &rights)
{
    const auto menu = [this](const char *name) { return findChild<QMenu *>(QString::fromLatin1(name))->menuAction(); };
    const auto item = [this](const char *name) { return findChild<QAction *>(QString::fromLatin1(name)); };
    menu("Menu_A")->setEnabled(rights.masterData);
    menu("Menu_B")->setEnabled(rights.inbound);
    menu("Menu_C")->setEnabled(rights.stock);
    menu("Menu_D")->setEnabled(rights.outbound);
    item("Menu_C18_1")->setEnabled(rights.mayViewCost);
    item("Menu_S1")->setEnabled(rights.admin);
    menu("Menu_S3")->setEnabled(rights.admin);
    menu("Menu_S25")->setEnabled(rights.admin);
    item("Menu_zbhf")->setEnabled(rights.admin);
    menu("Menu_E")->setEnabled(rights.mayViewCost);
}

bool MForm::stockMenuEnabled() const
{
    return findChild<QMenu *>(QStringLiteral("Menu_C"))->menuAction()->isEnabled();
}

// ---- exit ----

void MForm::closeEvent(QCloseEvent *event)
{
    if (exiting_ || ConfirmExit())
        event->accept();
    else
        event->ignore();
}

bool MForm::ConfirmExit()
{
    if (QMdiSubWindow *active = mdi_->currentSubWindow()) {
        auto *editing = dynamic_cast<EditStateSource *>(active->widget());
        if (editing && editing->Edstu() != 0) {
            m_.WarnEditInProgress();
            return false;
        }
    }
    if (!Prompt::current().ask(QString(), QStringLiteral("真的要退出系统吗？"), Prompt::Icon::Question))
        return false;
    m_.AutoBackupBook();
    using namespace appsettings;
    const QString programPath = m_.gProgramPath + QFileInfo(appsettings::programPath()).fileName();
    // One settings file that cannot be written fails every save: told once.
    QString unsaved;
    const auto keep = [&unsaved](const QString &reason) {
        if (unsaved.isEmpty())
            unsaved = reason;
    };
    if (read(kMainApplication, kMainSection, kMainFileKey) != programPath)
        keep(save(kMainApplication, kMainSection, kMainFileKey, programPath));
    if (read(kMainApplication, kMainSection, kVersionKey) != m_.gVersion)
        keep(save(kMainApplication, kMainSection, kVersionKey, m_.gVersion));
    RegisterBookFileType(programPath, m_.gProgramPath + QStringLiteral("zb.ico"));
    keep(saveGeometryToSettings());
    tellUnsaved(unsaved);
    exiting_ = true;
    program::endNow();
    return true;
}

// ---- book switch, login, status panels ----

void MForm::SwitchAccountBook()
{
    // The function windows work on rows of the open book: they close first.
    if (!closeFunctionWindows())
        return;
    const QString old = m_.gBookFile;
    const QString oldName = m_.gBookName;
    // Filling the lists from a "No" list names its first book: the open book
    // stays the one "返回系统" reopens and a new book copies.
    m_.LoadBookList();
    m_.gBookFile = old;
    m_.gBookName = oldName;
    m_.gDb.close();
    QWidget *made = windows::create(QStringLiteral("ZbSet"), this);
    auto *chooser = qobject_cast<QDialog *>(made);
    if (!chooser) {
        delete made;
        chooser = new ZbSet(this);
    }
    QPointer<QDialog> guard(chooser);
    if (auto *cmd3 = chooser->findChild<QAbstractButton *>(QStringLiteral("Cmd3")))
        cmd3->setText(ZbSet::kReturnCaption);
    runModal(*chooser);
    delete guard.data();
    if (program::endRequested())
        return;
    if (m_.gBookFile != old) {
        m_.ShowBookNameInStatusBar();
        ShowLogin();
    }
}

bool MForm::ShowLogin()
{
    Login login(this);
    const int result = runModal(login);
    return result == QDialog::Accepted && !program::endRequested();
}

void MForm::StatusPanelClick(int panel)
{
    const bool panel4ShowsBook = panelText(4) == m_.gBookName;
    switch (panel) {
    case 1:
        showAbout(QString(), QString(), QString(), QString());
        break;
    case 2:
        if (panel4ShowsBook)
            LoginAgain();
        break;
    case 3:
        openWindow(QStringLiteral("S2"));
        break;
    case 4: {
        if (m_.gUserCode == login::kAdministrator && panel4ShowsBook) {
            SwitchAccountBook();
            break;
        }
        const QString calculator = m_.gProgramPath + QStringLiteral("jisuan.exe");
        if (QFileInfo::exists(calculator))
            Desktop::current().startProgram(calculator);
        break;
    }
    default:
        break;
    }
}
