#include "AdminFixture.h"

#include "admin/BookFiles.h"
#include "admin/BookListWindow.h"
#include "db/BookFile.h"
#include "platform/TextFile.h"
#include "shell/Login.h"
#include "shell/MForm.h"
#include "shell/WindowRegistry.h"
#include "support/Leftovers.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

void registerBookWindows();

namespace {
QStringList items(QComboBox *combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result << combo->itemText(i);
    return result;
}

// The window as the book switch shows it: the open book closed, the lists
// filled with the open book and a second one.
struct ListFixture : AdminFixture {
    ListFixture()
    {
        EXPECT_TRUE(db::createBook(second).isEmpty());
        m().gDb.close();
        m().bookList = {{QStringLiteral("测试帐本"), QStringLiteral("第二帐本")}, {book.bookPath(), second}, 0};
    }
    QString second = file(QStringLiteral("第二帐本.vzk"));
};
} // namespace

TEST(Books, CleanBookNameKeepsChineseDigitsAndLetters)
{
    const struct {
        const char *typed, *cleaned, *trimmed;
    } cases[] = {
        {"  仓库 二-号.A9 ", "仓库二号A9", "仓库 二-号.A9"},
        {"-.-", "", "-.-"},
        {"（甲）帐本", "（甲）帐本", "（甲）帐本"},
        {"   ", "", ""},
        {"a_b@c[d]{e}~", "abcde", "a_b@c[d]{e}~"},
    };
    for (const auto &c : cases) {
        QString name = QString::fromUtf8(c.typed);
        EXPECT_EQ(books::CleanBookName(name), QString::fromUtf8(c.cleaned)) << c.typed;
        EXPECT_EQ(name, QString::fromUtf8(c.trimmed)) << c.typed;
    }
    EXPECT_EQ(books::proposedImportName(QStringLiteral("/x/年度.备份.vzk")), QStringLiteral("年度"));
    EXPECT_EQ(books::proposedImportName(QStringLiteral("/x/.vzk")), QStringLiteral(".vzk"));
    EXPECT_EQ(books::proposedImportName(QStringLiteral("/x.y/帐本")), QStringLiteral("帐本"));
}

TEST(Books, NewBookIsACopyThatOpensAndLogsIn001)
{
    ListFixture f;
    {
        db::Database source;
        ASSERT_TRUE(source.open(f.book.bookPath()));
        ASSERT_TRUE(source.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G1','螺丝',5)")));
    }
    registerBookWindows();
    std::unique_ptr<QWidget> made(windows::create(QStringLiteral("ZbSet"), nullptr));
    auto *w = qobject_cast<BookListWindow *>(made.get());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), QStringLiteral("ZbSet"));
    auto *cmb0 = child<QComboBox>(w, "Cmb0");
    auto *cmb1 = child<QComboBox>(w, "Cmb1");

    // cancelled dialog: nothing
    child<QAction>(w, "newone")->trigger();
    EXPECT_EQ(cmb0->count(), 2);
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());

    // an existing file is refused and the dialog comes again; the typed name is cleaned
    const QString target = f.file(QStringLiteral("我的帐本/仓库二.vzk"));
    f.book.fileDialogs().answer(f.second);
    f.book.fileDialogs().answer(target);
    f.book.prompt().answerInput(QStringLiteral(" 仓库-二 "));
    child<QAction>(w, "newone")->trigger();
    ASSERT_EQ(f.book.prompt().shown.size(), 2);
    EXPECT_EQ(f.book.prompt().shown[0].text, QStringLiteral("目标位置已存在同名文件，请更换存放位置或文件名！"));
    EXPECT_EQ(f.book.prompt().shown[1].title, QStringLiteral("新建帐本"));
    EXPECT_EQ(f.book.prompt().shown[1].text, QStringLiteral("请输入新建帐本的名称："));
    EXPECT_EQ(f.book.prompt().shown[1].proposed, QStringLiteral("新建测试帐本"));
    EXPECT_EQ(items(cmb0).last(), QStringLiteral("仓库二"));
    EXPECT_EQ(items(cmb1).last(), target);
    EXPECT_EQ(cmb0->currentIndex(), 2);
    EXPECT_EQ(cmb1->currentIndex(), 2);
    EXPECT_EQ(leftovers::stagingIn(QFileInfo(target).absolutePath()), QStringList());

    // a cancelled name input still lists the book, under "新建" + the book name
    const QString target2 = f.file(QStringLiteral("我的帐本/三.vzk"));
    f.book.fileDialogs().answer(target2);
    child<QAction>(w, "newone")->trigger();
    EXPECT_EQ(items(cmb0).last(), QStringLiteral("新建测试帐本"));

    // a name another took while the book was made (here a link to nothing,
    // which the window's look beforehand does not see) is told as taken, the
    // file there is kept, and the dialog comes again
    const QString taken = f.file(QStringLiteral("我的帐本/占用.vzk"));
    ASSERT_TRUE(QFile::link(f.file(QStringLiteral("别处.vzk")), taken));
    const QString target3 = f.file(QStringLiteral("我的帐本/四.vzk"));
    const qsizetype shownBefore = f.book.prompt().shown.size();
    f.book.fileDialogs().answer(taken);
    f.book.fileDialogs().answer(target3);
    f.book.prompt().answerInput(QStringLiteral("四"));
    child<QAction>(w, "newone")->trigger();
    ASSERT_EQ(f.book.prompt().shown.size(), shownBefore + 2);
    EXPECT_EQ(f.book.prompt().shown[shownBefore].text, QStringLiteral("目标位置已存在同名文件，请更换存放位置或文件名！"));
    EXPECT_EQ(f.book.prompt().shown[shownBefore].icon, Prompt::Icon::Information);
    EXPECT_TRUE(QFileInfo(taken).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(f.file(QStringLiteral("别处.vzk"))));
    EXPECT_EQ(items(cmb0).last(), QStringLiteral("四"));
    EXPECT_EQ(items(cmb1).last(), target3);

    // the new book opens and operator "001" logs in on it; it holds the copied rows
    cmb0->setCurrentIndex(2);
    click(w, "Cmd0");
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(f.m().gDb.path(), target);
    EXPECT_EQ(f.m().gBookName, QStringLiteral("仓库二"));
    EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='G1'")), QStringLiteral("螺丝"));
    f.m().gUserCode.clear();
    MForm main;
    Login login(&main);
    EXPECT_EQ(loginAs(QStringLiteral("001"))(login), QDialog::Accepted);
    EXPECT_EQ(f.m().gUserCode, QStringLiteral("001"));
}

TEST(Books, ImportRefusesForeignFilesAndListsTheFileWhereItLies)
{
    ListFixture f;
    BookListWindow w;
    QTemporaryDir outside;
    const QString text = outside.path() + QStringLiteral("/说明.vzk");
    ASSERT_TRUE(textfile::writeAtomically(text, "not a book"));
    const QString otherKey = outside.path() + QStringLiteral("/别的.vzk");
    {
        db::Database foreign;
        ASSERT_TRUE(foreign.open(otherKey, QStringLiteral("other"), true));
        ASSERT_TRUE(foreign.exec(QStringLiteral("create table t (a)")));
    }
    const QString book = outside.path() + QStringLiteral("/年度.2025.vzk");
    ASSERT_TRUE(db::createBook(book).isEmpty());

    for (const QString &path : {text, otherKey, book})
        f.book.fileDialogs().answer(path);
    f.book.prompt().answerInput(std::nullopt);
    child<QAction>(&w, "setpath")->trigger();
    const QString invalid = QStringLiteral("无效的文件格式！您只能选择使用本软件建立的帐本文件或数据备份文件！");
    ASSERT_EQ(f.book.prompt().shown.size(), 3);
    EXPECT_EQ(f.book.prompt().shown[0].text, invalid);
    EXPECT_EQ(f.book.prompt().shown[1].text, invalid);
    EXPECT_EQ(f.book.prompt().shown[2].title, QStringLiteral("导入帐本"));
    EXPECT_EQ(f.book.prompt().shown[2].proposed, QStringLiteral("年度"));
    EXPECT_EQ(items(child<QComboBox>(&w, "Cmb0")).last(), QStringLiteral("新建测试帐本"));
    EXPECT_EQ(items(child<QComboBox>(&w, "Cmb1")).last(), book);

    f.book.fileDialogs().answer(book);
    f.book.prompt().answerInput(QStringLiteral("年度"));
    child<QAction>(&w, "setpath")->trigger();
    EXPECT_EQ(items(child<QComboBox>(&w, "Cmb0")).last(), QStringLiteral("年度"));
    EXPECT_EQ(child<QComboBox>(&w, "Cmb0")->count(), 4);  // the same file may be listed twice
}

TEST(Books, RenameAndRemoveKeepTheFiles)
{
    ListFixture f;
    f.m().bookList.names << QStringLiteral("货品进出存帐本");
    f.m().bookList.paths << f.file(QStringLiteral("darvex.dat"));
    BookListWindow w;
    auto *cmb0 = child<QComboBox>(&w, "Cmb0");
    ASSERT_TRUE(textfile::writeAtomically(f.file(QStringLiteral("第二帐本bak.set")), "3\r\n还没有备份记录\r\n"));

    // a double-click on the name label renames; the backup settings follow the name
    cmb0->setCurrentIndex(1);
    f.book.prompt().answerInput(QStringLiteral("分-仓 库"));
    QTest::mouseDClick(child<QLabel>(&w, "Label1"), Qt::LeftButton);
    EXPECT_EQ(f.book.prompt().shown.last().title, QStringLiteral("帐本更名"));
    EXPECT_EQ(cmb0->itemText(1), QStringLiteral("分仓库"));
    EXPECT_FALSE(QFileInfo::exists(f.file(QStringLiteral("第二帐本bak.set"))));
    EXPECT_EQ(textfile::read(f.file(QStringLiteral("分仓库bak.set"))), QStringLiteral("3\r\n还没有备份记录\r\n"));
    // punctuation only, or a cancel: nothing changes
    f.book.prompt().answerInput(QStringLiteral("--"));
    child<QAction>(&w, "zbrename")->trigger();
    f.book.prompt().answerInput(std::nullopt);
    child<QAction>(&w, "zbrename")->trigger();
    EXPECT_EQ(cmb0->itemText(1), QStringLiteral("分仓库"));

    // the default book and the open book are refused (opened from the main window)
    f.m().gBookFile = f.book.bookPath();
    child(&w, "Cmd3")->setText(ZbSet::kReturnCaption);
    f.book.prompt().clear();
    cmb0->setCurrentIndex(2);
    click(&w, "Cmd2");
    cmb0->setCurrentIndex(0);
    click(&w, "Cmd2");
    EXPECT_EQ(f.book.prompt().texts(), (QStringList{QStringLiteral("您选择的是系统原始帐本，不能删除！"),
                                                    QStringLiteral("您选择的是当前正在使用的帐本，不能删除！")}));
    EXPECT_EQ(cmb0->count(), 3);

    // No: nothing; Yes: out of the list, the file stays, the list file is written
    cmb0->setCurrentIndex(1);
    f.book.prompt().clear();
    click(&w, "Cmd2");
    EXPECT_EQ(f.book.prompt().lastText(),
              QStringLiteral("此删除操作只在帐本列表中去除指定帐本，依然在硬盘上保留帐本文件。\n真的要删除[分仓库]吗？"));
    EXPECT_EQ(cmb0->count(), 3);
    cmb0->setCurrentIndex(1);
    f.book.prompt().answerYes();
    click(&w, "Cmd2");
    EXPECT_EQ(items(cmb0), (QStringList{QStringLiteral("测试帐本"), QStringLiteral("货品进出存帐本")}));
    EXPECT_EQ(cmb0->currentIndex(), 0);
    EXPECT_EQ(child<QComboBox>(&w, "Cmb1")->currentIndex(), 0);
    EXPECT_TRUE(QFileInfo::exists(f.second));
    EXPECT_EQ(textfile::read(f.file(QStringLiteral("dbsetup.dat"))),
              QStringLiteral("Yes\r\n测试帐本\r\n%AppPath%测试帐本.vzk\r\n货品进出存帐本\r\n%AppPath%darvex.dat\r\n"));

    // with no entry left to choose, rename and remove refuse
    cmb0->clear();
    child<QComboBox>(&w, "Cmb1")->clear();
    f.book.prompt().clear();
    click(&w, "Cmd2");
    child<QAction>(&w, "zbrename")->trigger();
    EXPECT_EQ(f.book.prompt().texts(), QStringList(2, QStringLiteral("请先选择一个帐本！")));
}

TEST(Books, FilesWithoutTheBookTablesAreRefusedAsSourceImportAndChoice)
{
    ListFixture f;
    for (const auto &[name, nonBook] : makeNonBooks(f.book.dir())) {
        SCOPED_TRACE(name);
        BookListWindow w;
        auto *cmb0 = child<QComboBox>(&w, "Cmb0");
        const QByteArray before = bytesOf(nonBook);

        // the source of a new book
        f.m().gBookFile = nonBook;
        const QString target = f.file(QStringLiteral("我的帐本/复本.vzk"));
        f.book.fileDialogs().answer(target);
        f.book.prompt().clear();
        child<QAction>(&w, "newone")->trigger();
        EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("建立新帐本时发现错误！")));
        EXPECT_FALSE(QFileInfo::exists(target));
        EXPECT_EQ(cmb0->count(), 2);

        // an import: the invalid-format message and the dialog again (cancelled)
        f.book.fileDialogs().answer(nonBook);
        f.book.prompt().clear();
        child<QAction>(&w, "setpath")->trigger();
        EXPECT_EQ(f.book.prompt().texts(),
                  QStringList{QStringLiteral("无效的文件格式！您只能选择使用本软件建立的帐本文件或数据备份文件！")});
        EXPECT_EQ(cmb0->count(), 2);

        // chosen in the list: the open error, the window stays for another choice
        f.m().bookList = {{QStringLiteral("坏帐本"), QStringLiteral("测试帐本")}, {nonBook, f.book.bookPath()}, 0};
        BookListWindow chooser;
        f.book.prompt().clear();
        click(&chooser, "Cmd0");
        EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("打开帐本时发现错误！系统返回如下信息：")));
        EXPECT_FALSE(f.m().gDb.isOpen());
        EXPECT_NE(chooser.result(), QDialog::Accepted);
        child<QComboBox>(&chooser, "Cmb0")->setCurrentIndex(1);
        click(&chooser, "Cmd0");
        EXPECT_EQ(chooser.result(), QDialog::Accepted);
        EXPECT_EQ(f.m().gDb.path(), f.book.bookPath());
        f.m().gDb.close();
        EXPECT_EQ(bytesOf(nonBook), before);
    }
}

TEST(Books, FallbackNameOfACommandLineBookHoldsNoPath)
{
    ListFixture f;
    f.m().gBookName = f.m().gBookFile;  // a book opened from the command line
    BookListWindow w;
    f.book.fileDialogs().answer(f.file(QStringLiteral("我的帐本/甲.vzk")));
    f.book.fileDialogs().answer(f.second);
    child<QAction>(&w, "newone")->trigger();
    child<QAction>(&w, "setpath")->trigger();
    const QStringList names = items(child<QComboBox>(&w, "Cmb0"));
    EXPECT_EQ(names.mid(2), QStringList(2, QStringLiteral("新建帐本文件")));
    EXPECT_EQ(f.book.prompt().shown.first().proposed, QStringLiteral("新建帐本文件"));
}

TEST(Books, RenamedOpenBookKeepsItsAutomaticBackup)
{
    ListFixture f;
    ASSERT_TRUE(textfile::writeAtomically(f.file(QStringLiteral("测试帐本bak.set")), "0\r\n"));
    BookListWindow w;
    child(&w, "Cmd3")->setText(ZbSet::kReturnCaption);
    f.book.prompt().answerInput(QStringLiteral("总仓"));
    child<QAction>(&w, "zbrename")->trigger();
    EXPECT_EQ(f.book.prompt().shown.last().proposed, QStringLiteral("测试帐本"));
    EXPECT_EQ(f.m().gBookName, QStringLiteral("总仓"));
    EXPECT_EQ(f.m().statusPanels().panelText(4), QStringLiteral("总仓"));
    EXPECT_TRUE(textfile::read(f.file(QStringLiteral("dbsetup.dat"))).startsWith(QStringLiteral("Yes\r\n总仓\r\n")));
    EXPECT_TRUE(QFileInfo::exists(f.file(QStringLiteral("总仓bak.set"))));

    // Back to the book, then the exit's automatic backup.
    click(&w, "Cmd3");
    ASSERT_TRUE(f.m().gDb.isOpen());
    f.m().AutoBackupBook();
    const QStringList made = QDir(f.file(QStringLiteral("数据备份"))).entryList({QStringLiteral("总仓*.vzk")});
    EXPECT_EQ(made.size(), 1) << made.join(' ').toStdString();
    EXPECT_TRUE(f.book.prompt().texts().filter(QStringLiteral("无法备份")).isEmpty());

    // A renamed entry that is not the open book leaves the open book's name.
    f.book.prompt().answerInput(QStringLiteral("分仓"));
    BookListWindow again;
    child(&again, "Cmd3")->setText(ZbSet::kReturnCaption);
    child<QComboBox>(&again, "Cmb0")->setCurrentIndex(1);
    child<QAction>(&again, "zbrename")->trigger();
    EXPECT_EQ(f.m().gBookName, QStringLiteral("总仓"));
}

TEST(Books, RenamingTheOpenBookKeepsTheListsFirstLine)
{
    const std::pair<const char *, std::function<void(BookListWindow &)>> routes[] = {
        {"label double-click", [](BookListWindow &w) { QTest::mouseDClick(child<QLabel>(&w, "Label1"), Qt::LeftButton); }},
        {"增加帐本 menu",
         [](BookListWindow &w) {
             QTimer::singleShot(0, &w, [&w] {
                 child<QAction>(&w, "zbrename")->trigger();
                 w.editMenu()->hide();
             });
             click(&w, "Cmd1");
         }},
    };
    for (const auto &[route, rename] : routes)
    for (const char *first : {"No", "Yes"}) {
        SCOPED_TRACE(std::string(route) + " " + first);
        ListFixture f;
        const QString listFile = f.file(QStringLiteral("dbsetup.dat"));
        ASSERT_TRUE(textfile::writeAtomically(
            listFile, (QString::fromLatin1(first) + QStringLiteral("\r\n测试帐本\r\n") + f.book.bookPath() +
                       QStringLiteral("\r\n第二帐本\r\n") + f.second + QStringLiteral("\r\n"))
                          .toUtf8()));
        BookListWindow w;
        child(&w, "Cmd3")->setText(ZbSet::kReturnCaption);
        ASSERT_FALSE(child<QCheckBox>(&w, "Chk")->isChecked());
        f.book.prompt().answerInput(QStringLiteral("总仓"));
        rename(w);
        EXPECT_EQ(f.m().gBookName, QStringLiteral("总仓"));
        EXPECT_TRUE(textfile::read(listFile).startsWith(QString::fromLatin1(first) + QStringLiteral("\r\n总仓\r\n")))
            << textfile::read(listFile).toStdString();
    }
}

TEST(Books, AtStartUpABrokenFirstEntryCanBeRemoved)
{
    ListFixture f;
    // The first listed book failed to open: gBookFile names it, no book is open.
    f.m().gBookFile = f.second;
    f.m().bookList.selected = 1;
    BookListWindow w;
    f.book.prompt().answerYes();
    click(&w, "Cmd2");
    EXPECT_EQ(f.book.prompt().shown.last().kind, QStringLiteral("ask"));
    EXPECT_EQ(items(child<QComboBox>(&w, "Cmb0")), QStringList{QStringLiteral("测试帐本")});
}

TEST(Books, ListWrittenAfterAddingSurvivesMovingTheProgramFolder)
{
    ListFixture f;
    QTemporaryDir outside;
    const QString outsideBook = outside.path() + QStringLiteral("/外部.vzk");
    ASSERT_TRUE(db::createBook(outsideBook).isEmpty());
    f.m().bookList.names << QStringLiteral("外部");
    f.m().bookList.paths << outsideBook;
    BookListWindow w;
    child<QCheckBox>(&w, "Chk")->setChecked(true);

    // Cmd1: the popup menu; a new book chosen there, then the list file is written
    f.book.fileDialogs().answer(f.file(QStringLiteral("我的帐本/新帐.vzk")));
    f.book.prompt().answerInput(QStringLiteral("新帐"));
    QTimer::singleShot(0, &w, [&w] {
        w.editMenu()->actions().first()->trigger();
        w.editMenu()->hide();
    });
    click(&w, "Cmd1");
    EXPECT_EQ(textfile::read(f.file(QStringLiteral("dbsetup.dat"))),
              QStringLiteral("No\r\n新帐\r\n%AppPath%我的帐本/新帐.vzk\r\n测试帐本\r\n%AppPath%测试帐本.vzk\r\n"
                             "第二帐本\r\n%AppPath%第二帐本.vzk\r\n外部\r\n") +
                  outsideBook + QStringLiteral("\r\n"));

    // The folder moves: the list names the books where they now lie.
    QTemporaryDir moved;
    QDir().mkpath(moved.path() + QStringLiteral("/我的帐本"));
    for (const char *name : {"dbsetup.dat", "我的帐本/新帐.vzk"})
        ASSERT_TRUE(QFile::copy(f.file(QString::fromUtf8(name)), moved.path() + QLatin1Char('/') + QString::fromUtf8(name)));
    f.m().gAppPath = moved.path() + QLatin1Char('/');
    EXPECT_FALSE(f.m().LoadBookList());
    EXPECT_EQ(f.m().gBookFile, moved.path() + QStringLiteral("/我的帐本/新帐.vzk"));
    EXPECT_EQ(f.m().gBookName, QStringLiteral("新帐"));
    EXPECT_EQ(f.m().bookList.paths.value(3), outsideBook);
    EXPECT_TRUE(f.m().gDb.open(f.m().gBookFile)) << f.m().gDb.lastError().toStdString();
}

TEST(Books, LabelTwoOffersTheBookFolder)
{
    ListFixture f;
    BookListWindow w;
    QTest::mouseDClick(child<QLabel>(&w, "Label2"), Qt::LeftButton);  // answered No
    EXPECT_TRUE(f.desktop.urls.isEmpty());
    f.book.prompt().answerYes();
    QTest::mouseDClick(child<QLabel>(&w, "Label2"), Qt::LeftButton);
    EXPECT_EQ(f.book.prompt().shown.last().title, QStringLiteral(" 帐本文件维护"));
    ASSERT_EQ(f.desktop.urls.size(), 1);
    EXPECT_EQ(f.desktop.urls.first().toLocalFile(), f.book.dir() + QLatin1Char('/'));
}
