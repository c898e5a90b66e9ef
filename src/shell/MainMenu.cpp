// The main window's menu bar and the small actions behind its items.
#include "AboutUS.h"
#include "DesktopServices.h"
#include "MForm.h"
#include "ModalDialogs.h"
#include "Module1.h"
#include "frmTip.h"
#include "platform/Prompt.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QMenuBar>
#include <QUrl>

QMenu *MForm::addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction *MForm::addItem(QMenu *menu, const QString &name, const QString &caption, std::function<void()> action)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(name);
    if (action)
        connect(item, &QAction::triggered, this, std::move(action));
    return item;
}

void MForm::addSeparator(QMenu *menu, const QString &name)
{
    menu->addSeparator()->setObjectName(name);
}

void MForm::buildMenus()
{
    const auto open = [this](const QString &name) { return [this, name] { openWindow(name); }; };
    const auto statistics = [this](const QString &kind) {
        return [this, kind] { openWindow(QStringLiteral("Lst"), {{QStringLiteral("whoami"), kind}}); };
    };
    // The inbound and outbound menus: a note and its statistics, a separator,
    // the return note and its statistics (windows X1 .. X4, items Menu_X1 .. Menu_X4).
    const auto noteMenu = [&](const QString &letter, const QString &caption, const QString &separator,
                              const QString &note, const QString &noteStatistics, const QString &returnNote,
                              const QString &returnStatistics) {
        const QString item = QStringLiteral("Menu_") + letter;
        QMenu *menu = addMenu(nullptr, item, caption);
        addItem(menu, item + QLatin1Char('1'), QStringLiteral("&1.") + note, open(letter + QLatin1Char('1')));
        addItem(menu, item + QLatin1Char('2'), QStringLiteral("&2.") + noteStatistics, statistics(letter + QLatin1Char('2')));
        addSeparator(menu, separator);
        addItem(menu, item + QLatin1Char('3'), QStringLiteral("&3.") + returnNote, open(letter + QLatin1Char('3')));
        addItem(menu, item + QLatin1Char('4'), QStringLiteral("&4.") + returnStatistics, statistics(letter + QLatin1Char('4')));
    };

    QMenu *a = addMenu(nullptr, QStringLiteral("Menu_A"), QStringLiteral("&A.基础数据"));
    addItem(a, QStringLiteral("Menu_A1"), QStringLiteral("&1.供货单位资料"), open("A1"));
    addItem(a, QStringLiteral("Menu_A2"), QStringLiteral("&2.出货单位资料"), open("A2"));
    addItem(a, QStringLiteral("Menu_A3"), QStringLiteral("&3.货品类别资料"), open("A3"));
    addItem(a, QStringLiteral("Menu_A4"), QStringLiteral("&4.货品编码资料"), open("A4"));
    addSeparator(a, QStringLiteral("menu_Aline"));
    addItem(a, QStringLiteral("Menu_A5"), QStringLiteral("&5.从Excell导入货品资料"), open("FromExcel"));

    noteMenu(QStringLiteral("B"), QStringLiteral("&B.入库管理"), QStringLiteral("bl"), QStringLiteral("货品入库单"),
             QStringLiteral("入库单统计"), QStringLiteral("公司退货单"), QStringLiteral("退货单统计"));

    QMenu *c = addMenu(nullptr, QStringLiteral("Menu_C"), QStringLiteral("&C.库存管理"));
    addItem(c, QStringLiteral("Menu_C1"), QStringLiteral("&1.仓库存货统计"), open("C1"));
    // Items kept in the tree but never shown.
    addItem(c, QStringLiteral("Menu_C15"), QStringLiteral("&2.货品进出流水帐"), open("C15"))->setVisible(false);
    addItem(c, QStringLiteral("Menu_C18_0"), QStringLiteral("&3.货品进出存报表(一)"), open("C18"))->setVisible(false);
    addItem(c, QStringLiteral("Menu_C18_1"), QStringLiteral("&4.货品进出存报表(二)"), open("C181"))->setVisible(false);
    addItem(c, QStringLiteral("Menu_C19"), QStringLiteral("&5.库存年度结转"))->setVisible(false);
    addSeparator(c, QStringLiteral("cl"));
    addItem(c, QStringLiteral("Menu_C2"), QStringLiteral("&2.库存货品盘点"), open("C2"));
    addItem(c, QStringLiteral("Menu_C3"), QStringLiteral("&3.库存盘点统计"), open("C3"));

    noteMenu(QStringLiteral("D"), QStringLiteral("&D.出库管理"), QStringLiteral("dl"), QStringLiteral("货品出库单"),
             QStringLiteral("出库单统计"), QStringLiteral("货品退库单"), QStringLiteral("退库单统计"));

    QMenu *e = addMenu(nullptr, QStringLiteral("Menu_E"), QStringLiteral("&E.综合报表"));
    addItem(e, QStringLiteral("Menu_E1"), QStringLiteral("&1.货品进出流水帐"), open("C15"));
    addItem(e, QStringLiteral("Menu_E2"), QStringLiteral("&2.货品进出存数量报表"), open("C18"));
    addItem(e, QStringLiteral("Menu_E3"), QStringLiteral("&3.货品进销存综合报表"), open("C181"));

    QMenu *s = addMenu(nullptr, QStringLiteral("Menu_S"), QStringLiteral("&S.系统管理"));
    addItem(s, QStringLiteral("Menu_S1"), QStringLiteral("&1.操作员权限分配"), open("S1"));
    addItem(s, QStringLiteral("Menu_S2"), QStringLiteral("&2.操作员个人设置"), open("S2"));
    QMenu *s25 = addMenu(s, QStringLiteral("Menu_S25"), QStringLiteral("&3.系统设置"));
    addItem(s25, QStringLiteral("Menu_S2501"), QStringLiteral("系统套帐设置"), [this] { SwitchAccountBook(); });
    addItem(s25, QStringLiteral("Menu_S2502"), QStringLiteral("系统功能设置"), [this] { OpenSystemOptions(); });
    QMenu *s26 = addMenu(s, QStringLiteral("Menu_S26"), QStringLiteral("&4.数据备份与恢复"));
    addItem(s26, QStringLiteral("Menu_zbbf"), QStringLiteral("&B.帐本备份"), open("sysDBbak"));
    addItem(s26, QStringLiteral("Menu_zbhf"), QStringLiteral("&R.帐本恢复"), open("S32"));
    QMenu *s3 = addMenu(s, QStringLiteral("Menu_S3"), QStringLiteral("&5.帐本数据清除"));
    addItem(s3, QStringLiteral("MS300"), QStringLiteral("数据备份与恢复"))->setVisible(false);
    addItem(s3, QStringLiteral("MS302"), QStringLiteral("清除指定基础数据"), open("S302"));
    addItem(s3, QStringLiteral("MS303"), QStringLiteral("清除历史单据"), open("S303"));
    addItem(s3, QStringLiteral("MS3"), QStringLiteral("帐本数据初始化"), open("S3"));
    addSeparator(s, QStringLiteral("sl"));
    addItem(s, QStringLiteral("Relogin"), QStringLiteral("&7.更换登录用户"), [this] { LoginAgain(); });
    addItem(s, QStringLiteral("Quit"), QStringLiteral("&8.退出本系统"), [this] { QuitProgram(); });

    QMenu *h = addMenu(nullptr, QStringLiteral("H"), QStringLiteral("&H.使用说明"));
    addItem(h, QStringLiteral("Menu_Help"), QStringLiteral("&1.软件使用说明书"), [this] { OpenHelpFile(); });
    addItem(h, QStringLiteral("Menu_frmtip"), QStringLiteral("&2.[Vantoro]知识点滴"), [this] { ShowTips(); });
    addItem(h, QStringLiteral("ab"), QStringLiteral("&3.关于本软件"), [this] { ShowAboutWindow(); });
    addSeparator(h, QStringLiteral("dddds"));
    addItem(h, QStringLiteral("Menu_H3"), QStringLiteral("&4.软件升级"), [this] { ShowUpgradeInfo(); });
    addItem(h, QStringLiteral("Menu_H4"), QStringLiteral("&5.技术支持"), [this] { ShowSupportInfo(); });
    addItem(h, QStringLiteral("Menu_H5"), QStringLiteral("&6.意见反馈"), [this] { ShowFeedbackInfo(); });
    addItem(h, QStringLiteral("Menu_H6"), QStringLiteral("&7.[深圳Morlund科技]网站"), [this] { OpenMakerWebPage(); });
    addSeparator(h, QStringLiteral("Menu_200491"));
    addItem(h, QStringLiteral("Menu_jishuan"), QStringLiteral("&8.辅助工具--计算器"), [this] { RunCalculator(); });
}

void MForm::LoginAgain()
{
    // The open windows were made under the previous operator's rights.
    if (closeFunctionWindows())
        ShowLogin();
}

void MForm::QuitProgram()
{
    close();
}

void MForm::OpenSystemOptions()
{
    if (m_.gUserCode != login::kAdministrator) {
        Prompt::current().message(QString(),
                                  QStringLiteral("对不起，此功能仅系统最高权限管理员“001”可以使用！您无此权限！"),
                                  Prompt::Icon::Information);
        return;
    }
    openWindow(QStringLiteral("SysFuncSet"));
}

void MForm::OpenHelpFile()
{
    // A help file that cannot be opened is passed over without a message.
    Desktop::current().openUrl(QUrl::fromLocalFile(m_.gProgramPath + QStringLiteral("使用说明.chm")));
}

void MForm::RunCalculator()
{
    const QString calculator = m_.gProgramPath + QStringLiteral("jisuan.exe");
    if (!QFileInfo::exists(calculator)) {
        Prompt::current().message(QString(), QStringLiteral("没找到文件 jisuan.exe ！"), Prompt::Icon::Information);
        return;
    }
    Desktop::current().startProgram(calculator);
}

void MForm::OpenMakerWebPage()
{
    Desktop::current().openUrl(QUrl(mform::kMakerWebPage));
}

void MForm::showAbout(const QString &caption, const QString &link, const QString &cmd0, const QString &cmd1)
{
    AboutUS about(this);
    if (!caption.isEmpty())
        about.setWindowTitle(caption);
    about.linkstr = link;
    if (!cmd0.isEmpty())
        about.findChild<QAbstractButton *>(QStringLiteral("Cmd0"))->setText(cmd0);
    if (!cmd1.isEmpty())
        about.findChild<QAbstractButton *>(QStringLiteral("Cmd1"))->setText(cmd1);
    runModal(about);
}

void MForm::ShowAboutWindow()
{
    showAbout(QString(), mform::kMakerWebPage, QString(), QString());
}

void MForm::ShowUpgradeInfo()
{
    showAbout(QStringLiteral("软件升级"), mform::kMakerWebPage + QStringLiteral("upgrade"),
              QStringLiteral("下载升级"), QStringLiteral("邮件索取"));
}

void MForm::ShowSupportInfo()
{
    showAbout(QStringLiteral("技术支持"), mform::kMakerWebPage + QStringLiteral("support"), QString(), QString());
}

void MForm::ShowFeedbackInfo()
{
    showAbout(QStringLiteral("意见反馈"), mform::kMakerWebPage + QStringLiteral("feedback"),
              QStringLiteral("在线反馈"), QStringLiteral("邮件反馈"));
}

void MForm::ShowTips()
{
    frmTip tip(this);
    runModal(tip);
}
