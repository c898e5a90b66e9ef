#include "Prnt.h"

#include "shell/HostWindow.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/PrntHelp.h"

#include <QAction>
#include <QMdiArea>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<Prnt> gPrnt;

// Positions and sizes in twips, 15 to the pixel.
constexpr int twips(int t) { return (t + 7) / 15; }

} // namespace

Prnt &Prnt::instance(QWidget *parent)
{
    if (!gPrnt)
        gPrnt = new Prnt(parent);
    return *gPrnt;
}

Prnt *Prnt::loaded()
{
    return gPrnt.data();
}

Prnt::Prnt(QWidget *parent) : QWidget(parent, parent ? Qt::Window : Qt::WindowFlags())
{
    setObjectName(QStringLiteral("Prnt"));
    setWindowTitle(QStringLiteral("打印"));
    setAttribute(Qt::WA_DeleteOnClose);

    MenuBar = new QMenuBar(this);
    Menu_prnt = MenuBar->addAction(QStringLiteral("&P.打印"));
    Menu_prnt->setObjectName(QStringLiteral("Menu_prnt"));
    Menu_Rtn = MenuBar->addAction(QStringLiteral("&R.返回"));
    Menu_Rtn->setObjectName(QStringLiteral("Menu_Rtn"));

    PreviewArea = new QWidget(this);
    PreviewArea->setObjectName(QStringLiteral("PreviewArea"));
    Label1 = new QLabel(QStringLiteral("对不起，您的电脑没有安装打印机!"), PreviewArea);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(twips(600), twips(600));
    Label1->adjustSize();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MenuBar);
    layout->addWidget(PreviewArea);

    Cmd = new QPushButton(QStringLiteral("<- 帮 助"), this);
    Cmd->setObjectName(QStringLiteral("Cmd"));
    Cmd->setFixedSize(twips(1095), twips(350));

    // Window load: the report opens inside this window, at its top-left corner.
    Cry = new ReportControl(this);
    Cry->setObjectName(QStringLiteral("Cry"));
    Cry->setWindowParentHandle(PreviewArea);
    Cry->setWindowLeft(0);
    Cry->setWindowTop(0);

    connect(Menu_prnt, &QAction::triggered, this, &Prnt::printReport);
    connect(Menu_Rtn, &QAction::triggered, this, &Prnt::closeHost);
    connect(Cmd, &QPushButton::clicked, this, &Prnt::showHelp);

    SetDefaultSize(this, twips(9600), twips(7200));
    placeHelpButton();
}

void Prnt::showHost()
{
    MForm *main = MForm::instance();
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (sub && main) {
        sub->showNormal();
        main->mdiArea()->setActiveSubWindow(sub);
    } else if (main) {
        main->showChild(this);
    } else {
        show();
        raise();
        activateWindow();
    }
    placeHelpButton();
}

void Prnt::printReport()
{
    Cry->setDestination(1);
    Cry->setAction(1);  // failures are shown to the operator by the control
    placeHelpButton();
}

void Prnt::closeHost()
{
    CloseHostWindow(this);
}

void Prnt::showHelp()
{
    PrntHelp help(this);
    runModal(help);
}

void Prnt::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeHelpButton();
}

// Once a report is on show the help button sits on the preview's tool bar,
// right of the buttons it explains (its arrow points at them), so it never
// covers a page; until then it stays at the bottom of the window.
void Prnt::placeHelpButton()
{
    if (report::ReportPreview *preview = Cry->previewWidget()) {
        preview->addToolWidget(Cmd);
        return;
    }
    Cmd->raise();
    Cmd->move(twips(4500), height() - twips(870));
}
