#include "ShellFixture.h"

#include "db/BookFile.h"
#include "shell/AboutUS.h"
#include "shell/AppSettings.h"
#include "shell/BGForm.h"
#include "shell/Login.h"
#include "shell/MForm.h"
#include "shell/PrntHelp.h"
#include "shell/Startup.h"
#include "shell/ZbSet.h"
#include "shell/frmTip.h"
#include "platform/TextFile.h"
#include "support/SparseFile.h"

#include <QCheckBox>
#include <QDir>
#include <QSettings>
#include <QFile>
#include <QTemporaryDir>
#include <QGlyphRun>
#include <QMdiArea>
#include <QTextLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

namespace {
QString tipSetting()
{
    return appsettings::read(appsettings::programName(), appsettings::kOptionsSection, appsettings::kShowTipsKey);
}
} // namespace

TEST(ZbSet, OpensChosenBookAndListSurvivesMovingTheProgramFolder)
{
    ShellFixture f;
    Module1 &m = f.book.m();
    QTemporaryDir outside;
    const QString outsideBook = outside.path() + QStringLiteral("/外部.vzk");
    ASSERT_TRUE(db::createBook(outsideBook).isEmpty());
    m.gDb.close();
    m.bookList = {{QStringLiteral("外部"), QStringLiteral("测试帐本")}, {outsideBook, f.book.bookPath()}, 0};
    m.gBookFile.clear();
    m.gBookName.clear();

    ZbSet z;
    child<QComboBox>(&z, "Cmb0")->setCurrentIndex(1);
    EXPECT_EQ(child<QComboBox>(&z, "Cmb1")->currentIndex(), 1);
    child<QCheckBox>(&z, "Chk")->setChecked(true);
    click(&z, "Cmd0");
    EXPECT_EQ(z.result(), QDialog::Accepted);
    EXPECT_EQ(m.gDb.path(), f.book.bookPath());
    EXPECT_EQ(m.gBookFile, f.book.bookPath());
    EXPECT_EQ(m.gBookName, QStringLiteral("测试帐本"));
    const QString written = textfile::read(f.book.dir() + QStringLiteral("/dbsetup.dat"));
    EXPECT_EQ(written, QStringLiteral("No\r\n测试帐本\r\n%AppPath%测试帐本.vzk\r\n外部\r\n") + outsideBook + QStringLiteral("\r\n"));

    // The program folder moved: the list still finds the book in it.
    QTemporaryDir moved;
    ASSERT_TRUE(QFile::copy(f.book.dir() + QStringLiteral("/dbsetup.dat"), moved.path() + QStringLiteral("/dbsetup.dat")));
    ASSERT_TRUE(QFile::copy(f.book.bookPath(), moved.path() + QStringLiteral("/测试帐本.vzk")));
    m.gAppPath = moved.path() + QLatin1Char('/');
    EXPECT_FALSE(m.LoadBookList());
    EXPECT_EQ(m.gBookFile, moved.path() + QStringLiteral("/测试帐本.vzk"));
    EXPECT_EQ(m.bookList.paths.value(1), outsideBook);
}

TEST(ZbSet, RefusalsKeepTheWindowOpen)
{
    ShellFixture f;
    Module1 &m = f.book.m();
    m.bookList = {{QStringLiteral("丢失")}, {f.book.dir() + QStringLiteral("/lost.vzk")}, 0};
    ZbSet z;
    z.show();
    click(&z, "Cmd0");
    EXPECT_EQ(z.result(), 0);
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("打开帐本时发现错误！系统返回如下信息：\n\n")));
    EXPECT_TRUE(f.book.prompt().lastText().endsWith(QStringLiteral("\n\n请重新进行帐本设置!")));
    EXPECT_FALSE(z.close());  // the close box does not close it
    EXPECT_TRUE(z.isVisible());

    // "返回系统" to a book that can no longer be opened: reported, window stays
    m.gBookFile = f.book.dir() + QStringLiteral("/gone.vzk");
    child<QAbstractButton>(&z, "Cmd3")->setText(ZbSet::kReturnCaption);
    f.book.prompt().clear();
    click(&z, "Cmd3");
    EXPECT_TRUE(z.isVisible());
    EXPECT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_FALSE(program::endRequested());

    // an empty list: nothing to open
    m.bookList = {};
    ZbSet empty;
    f.book.prompt().clear();
    click(&empty, "Cmd0");
    EXPECT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_EQ(empty.result(), 0);
}

// The tips' switch that cannot be saved says so in the clerk's words.
TEST(frmTip, ASwitchThatCannotBeSavedSaysSo)
{
    ShellFixture f;
    // A folder where the settings file belongs: nothing can replace it.
    const QString file = QSettings(appsettings::programName(), appsettings::programName()).fileName();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    frmTip tip;  // showing the tips switches them on
    child<QCheckBox>(&tip, "chkLoadTipsAtStartup")->setChecked(false);
    const QString unsaved =
        QStringLiteral("无法保存设置！\n\n设置文件 %1 不是文件（是文件夹、管道或设备），本程序不读也不写它。").arg(file);
    EXPECT_EQ(f.book.prompt().texts(), (QStringList{unsaved, unsaved}));
}

// A tips file longer than any (a gigabyte of an empty tail) is not read; the
// window says why, naming it.
TEST(frmTip, TipsLongerThanAnyAreNamed)
{
    ShellFixture f;
    const QString file = f.book.dir() + QStringLiteral("/Learn.dat");
    ASSERT_TRUE(makeSparseFile(file, "唯一的提示\r\n", kGigabyte));
    frmTip tip;
    const QString text = child<QLabel>(&tip, "lblTipText")->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("设置文件 %1 有 ").arg(file))) << text.toStdString();
}

TEST(frmTip, TipsFileCases)
{
    ShellFixture f;
    const QString file = f.book.dir() + QStringLiteral("/Learn.dat");
    appsettings::save(appsettings::programName(), appsettings::kOptionsSection, appsettings::kShowTipsKey,
                      QStringLiteral("0"));
    {
        // missing file: the hint, unchanged by "下一条提示"; showing the window switches tips on again
        frmTip tip;
        EXPECT_EQ(tipSetting(), QStringLiteral("1"));
        const QString hint = child<QLabel>(&tip, "lblTipText")->text();
        EXPECT_TRUE(hint.startsWith(QStringLiteral("文件 Learn.dat 没有被找到吗? \n\n创建文本文件名为 Learn.dat")));
        click(&tip, "cmdNextTip");
        EXPECT_EQ(child<QLabel>(&tip, "lblTipText")->text(), hint);
        child<QCheckBox>(&tip, "chkLoadTipsAtStartup")->setChecked(false);
        EXPECT_EQ(tipSetting(), QStringLiteral("0"));
    }
    {
        ASSERT_TRUE(textfile::writeAtomically(file, ""));
        frmTip tip;
        EXPECT_EQ(child<QLabel>(&tip, "lblTipText")->text(), QStringLiteral("内容。。。。。。"));
    }
    {
        ASSERT_TRUE(textfile::writeAtomically(file, "唯一的提示\r\n"));
        frmTip tip;
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(child<QLabel>(&tip, "lblTipText")->text(), QStringLiteral("唯一的提示"));
            click(&tip, "cmdNextTip");
        }
    }
    {
        // an older file in GB18030
        ASSERT_TRUE(textfile::writeAtomically(file, QByteArray::fromHex("c4facac7") + "\n"));
        frmTip tip;
        EXPECT_EQ(tip.TipList, QStringList{QStringLiteral("您是")});
    }
}

TEST(frmTip, StartupShowsTipOnlyWhenSettingAsks)
{
    ShellFixture f;
    appsettings::save(appsettings::programName(), appsettings::kOptionsSection, appsettings::kShowTipsKey,
                      QStringLiteral("0"));
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    s.ShowMainWindow();
    s.StartupDuties();
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    appsettings::save(appsettings::programName(), appsettings::kOptionsSection, appsettings::kShowTipsKey,
                      QStringLiteral("1"));
    s.StartupDuties();
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("frmTip")});
}

TEST(AboutUS, LinksAndVersion)
{
    ShellFixture f;
    AboutUS about;
    EXPECT_EQ(child<QLabel>(&about, "Label1")->text(), QStringLiteral("标准版 9.69"));
    click(&about, "Cmd0");  // no link yet: nothing opens
    EXPECT_TRUE(f.desktop.urls.isEmpty());
    about.linkstr = QStringLiteral("https://example.org/a");
    click(&about, "Cmd0");
    click(&about, "Cmd1");
    ASSERT_EQ(f.desktop.urls.size(), 2);
    EXPECT_EQ(f.desktop.urls[0].toString(), QStringLiteral("https://example.org/a"));
    EXPECT_EQ(f.desktop.urls[1].scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(f.desktop.urls[1].query(QUrl::FullyDecoded).contains(QStringLiteral("9.69")));
    click(&about, "Cmd2");
    EXPECT_EQ(about.result(), QDialog::Accepted);

    PrntHelp help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral(" 使用说明"));
    help.show();
    EXPECT_FALSE(help.close());
    click(&help, "CmdOK");
    EXPECT_EQ(help.result(), QDialog::Accepted);
}

TEST(BGForm, LayoutSkipsNegativePictureHeight)
{
    QWidget area;
    area.resize(800, 600);
    BGForm bg(&area);
    bg.Form_Resize();
    EXPECT_EQ(bg.size(), QSize(800, 600));
    EXPECT_EQ(bg.Img()->geometry(), QRect(0, 0, 800, 600 - 800 / 15));
    EXPECT_EQ(bg.LabBig(1)->y(), bg.LabBig(0)->y() - 2);
    area.resize(300, 40);  // lower than the free band: the picture keeps its size
    bg.Form_Resize();
    EXPECT_EQ(bg.Img()->height(), 600 - 800 / 15);
    EXPECT_EQ(bg.width(), 300);
}

// Renders the main window after a login; with WAREHOUSE_SCREENSHOT set, saves it
// there. The captions must have glyphs in the fonts in use (no empty boxes).
TEST(MForm, ScreenshotAfterLoginRendersChinese)
{
    ShellFixture f;
    // A background picture in PNG under the name syspic.dat: its format is read from the content.
    QImage picture(640, 400, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(200 - y / 4, 220 - y / 8, 255));
    ASSERT_TRUE(picture.save(f.book.dir() + QStringLiteral("/syspic.dat"), "PNG"));
    MForm main;
    EXPECT_FALSE(main.background()->Img()->pixmap().isNull());
    Login login(&main);
    child<QComboBox>(&login, "Cmb")->setEditText(QStringLiteral("001"));
    click(&login, "Cmd0");
    ASSERT_EQ(login.result(), QDialog::Accepted);
    main.show();
    main.openWindow(QStringLiteral("C1"));
    const QImage shot = main.grab().toImage();
    EXPECT_EQ(main.background()->size(), main.mdiArea()->viewport()->size());
    ASSERT_FALSE(shot.isNull());
    const QString target = qEnvironmentVariable("WAREHOUSE_SCREENSHOT");
    if (!target.isEmpty()) {
        EXPECT_TRUE(shot.save(target));
    }
    const QString caption = QStringLiteral("基础数据入库管理库存管理操作员系统管理员Vantoro仓库管理");
    for (QWidget *w : {static_cast<QWidget *>(main.menuBar()), static_cast<QWidget *>(main.statusBar()),
                       static_cast<QWidget *>(main.background()->LabBig(1))}) {
        // Laid out with the font fallbacks the screen uses: glyph 0 is the empty box.
        QTextLayout layout(caption, w->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            for (quint32 index : run.glyphIndexes()) {
                EXPECT_NE(index, 0u) << w->objectName().toStdString() << " in " << run.rawFont().familyName().toStdString();
                ++glyphs;
            }
        }
        EXPECT_EQ(glyphs, caption.size());
    }
}

TEST(AboutUS, DoubleClickOnTheLoginAndChooserPictures)
{
    ShellFixture f;
    MForm main;
    Login login(&main);
    ZbSet chooser;
    for (QDialog *window : {static_cast<QDialog *>(&login), static_cast<QDialog *>(&chooser)}) {
        f.dialogs.shown.clear();
        f.dialogs.handle(QStringLiteral("AboutUS"), [](QDialog &about) {
            EXPECT_TRUE(about.property("linkstr").toString().isEmpty());  // link unchanged
            click(&about, "Cmd2");
            return about.result();
        });
        QTest::mouseDClick(child<QLabel>(window, "Image1"), Qt::LeftButton);
        EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("AboutUS")}) << window->objectName().toStdString();
    }
}
