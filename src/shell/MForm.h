#pragma once

#include "shell/OperatorLogin.h"
#include "shell/StatusPanels.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QVariantMap>

class BGForm;
class Module1;
class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The main window: an MDI frame whose client area holds the background window
// and every function window, the main menu, and the four-panel status bar
// (installed as Module1's status panels while the window lives).
//
// Windows of the later subsystems are opened by their registered names:
// openWindow(name) makes a QDialog modal (through runModal) and shows any
// other widget as an MDI child; a child shown again is only brought to the front.
class MForm : public QMainWindow, public StatusPanels {
    Q_OBJECT
public:
    explicit MForm(QWidget *parent = nullptr);
    ~MForm() override;

    // The main window while it exists, else nullptr.
    static MForm *instance();

    // ---- status bar (panels 1..4) ----
    void setPanelText(int panel, const QString &text) override;
    QString panelText(int panel) const override;

    BGForm *background() const { return background_; }
    QMdiArea *mdiArea() const { return mdi_; }

    // ---- windows ----
    // The shared window registered under name: created on first use, shown
    // again (brought to the front) later. properties are set on it before it
    // is shown (e.g. {"AutoOpen", 2} on "C1", {"whoami", "B2"} on "Lst").
    // A dialog is shown modally and deleted; returns the child window or nullptr.
    QWidget *openWindow(const QString &name, const QVariantMap &properties = {});
    // A new, separate instance of the window registered under name.
    QWidget *openNewWindow(const QString &name, const QVariantMap &properties = {});
    // Shows window as a child in the MDI area (deleted when closed, also
    // when the window closes itself), wholly inside the work area.
    QMdiSubWindow *showChild(QWidget *window);
    // Shows the main window where it was when the program last ended, or
    // maximised on the first start.
    void showAtSavedPlace();

    // ---- rights ----
    void ApplyRights(const OperatorRights &rights);
    bool stockMenuEnabled() const;

    // ---- main-window procedures ----
    void LayoutMainWindow();
    // Asks for the exit; true when the program ends.
    bool ConfirmExit();
    void SwitchAccountBook();
    void StatusPanelClick(int panel);
    // Shows the login window modally; false when the program is to end.
    bool ShowLogin();
    // Closes the function windows (they show rows of the open book); false,
    // with the edit warning, when one of them is editing.
    bool closeFunctionWindows();

public slots:
    void LoginAgain();
    void QuitProgram();
    void OpenSystemOptions();
    void OpenHelpFile();
    void RunCalculator();
    void OpenMakerWebPage();
    void ShowAboutWindow();
    void ShowUpgradeInfo();
    void ShowSupportInfo();
    void ShowFeedbackInfo();
    void ShowTips();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void InitMainWindow();
    void buildMenus();
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption, std::function<void()> action = {});
    void addSeparator(QMenu *menu, const QString &name);
    // Empty when the window's place was saved, else the reason.
    QString saveGeometryToSettings();
    void showAbout(const QString &caption, const QString &link, const QString &cmd0, const QString &cmd1);

    Module1 &m_;
    QMdiArea *mdi_;
    BGForm *background_;
    QLabel *panels_[4];
    QHash<QString, QPointer<QMdiSubWindow>> shared_;
    bool exiting_ = false;
};

namespace mform {
// The maker's web page and mail address behind the help menu and the about window.
inline const QString kMakerWebPage = QStringLiteral("https://www.morlund.example/");
inline const QString kMakerMail = QStringLiteral("support@morlund.example");
inline const QString kPanel1Text = QStringLiteral("Vantoro仓库管理系统  货品进出存一目了然");
} // namespace mform
