#include "support/BookFaults.h"
#include "support/TestBook.h"
#include "support/SparseFile.h"
#include "support/WriterlessFifo.h"
#include "db/EngineFailure.h"
#include "support/WindowDriver.h"

#include "admin/OperatorStore.h"
#include "admin/OperatorWindow.h"
#include "admin/PersonalSettings.h"
#include "admin/PersonalSettingsWindow.h"
#include "shell/BGForm.h"
#include "shell/OperatorLogin.h"
#include "shell/Passwords.h"
#include "shell/Pictures.h"
#include "shell/WindowRegistry.h"

#include <QBuffer>
#include <QCheckBox>
#include <cerrno>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <optional>

void registerOperatorWindows();

namespace {

const QString kStatus = QStringLiteral("共 %1 条记录 当前为第 %2 条");

class Operators : public ::testing::Test {
protected:
    TestBook book;
    QString status() { return book.m().statusPanels().panelText(4); }
    void addRow(const QString &code, const QString &name, const QString &rights, const QString &password = {})
    {
        QVariantList values{code, name, password};
        for (QChar c : rights)
            values.append(c == QLatin1Char('1') ? 1 : 0);
        book.exec("insert into TE1 (F1,F2,F3,F61,F62,F63,F64,F65,F66,F75,pad) values (?,?,?,?,?,?,?,?,?,' 大字','记事')",
                  values);
    }
    QString storedRights(const QString &code)
    {
        return book.value("select cast(F61 as int)||cast(F62 as int)||cast(F63 as int)||cast(F64 as int)||"
                          "cast(F65 as int)||cast(F66 as int) from TE1 where F1=?",
                          {code});
    }
};

QCheckBox *chk(QWidget &w, int i)
{
    return w.findChild<QCheckBox *>(QStringLiteral("Chk") + QString::number(i));
}

QString shownRights(QWidget &w)
{
    QString s;
    for (int i = 0; i < 6; ++i)
        s += chk(w, i)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

TEST_F(Operators, StoreKeepsHiddenFieldsAndProtectsTheAdministrator)
{
    addRow("A1", "张三", "111111", "pw");
    operators::Operator op{" B2 ", " 李四 ", {1, 0, 1, 0, 1, 0}};

    // Renaming moves password, caption and note with the operator.
    ASSERT_TRUE(operators::updateOperator(book.db(), "A1", op).ok());
    EXPECT_EQ(book.value("select F2||'|'||F3||'|'||F75||'|'||pad from TE1 where F1='B2'"),
              QStringLiteral("李四|pw| 大字|记事"));
    EXPECT_EQ(storedRights("B2"), QStringLiteral("101010"));
    EXPECT_EQ(book.number("select count(*) from TE1 where F1='A1'"), 0);

    // A taken code (in any letter case) names its holder; nothing is written.
    op.code = "001";
    auto r = operators::addOperator(book.db(), op);
    EXPECT_EQ(r.outcome, operators::Outcome::Duplicate);
    EXPECT_EQ(r.holder, QStringLiteral("系统管理员"));
    addRow("C3", "王五", "000000");
    op.code = "c3";
    EXPECT_EQ(operators::updateOperator(book.db(), "B2", op).outcome, operators::Outcome::Duplicate);
    EXPECT_EQ(operators::updateOperator(book.db(), "GONE", op).outcome, operators::Outcome::Duplicate);
    op.code = "D4";
    EXPECT_EQ(operators::updateOperator(book.db(), "GONE", op).outcome, operators::Outcome::Missing);

    // "001" is never deleted and never loses its code; the new operator has no password.
    EXPECT_EQ(operators::deleteOperator(book.db(), " 001 ").outcome, operators::Outcome::Protected);
    EXPECT_EQ(operators::updateOperator(book.db(), "001", op).outcome, operators::Outcome::Protected);
    EXPECT_EQ(book.number("select count(*) from TE1 where F1='001'"), 1);
    ASSERT_TRUE(operators::addOperator(book.db(), op).ok());
    EXPECT_EQ(book.value("select coalesce(F3,'') from TE1 where F1='D4'"), QString());
    ASSERT_TRUE(operators::deleteOperator(book.db(), "D4").ok());
    EXPECT_EQ(book.number("select count(*) from TE1 where F1='D4'"), 0);
}

TEST_F(Operators, RightsCoupling)
{
    struct Case {
        operators::Rights before;
        int changed;
        operators::Rights after;
    };
    const Case cases[] = {
        {{0, 1, 0, 0, 0, 0}, 1, {0, 1, 0, 0, 1, 0}},  // inbound brings cost prices
        {{0, 1, 0, 0, 0, 0}, 4, {0, 0, 0, 0, 0, 0}},  // no cost prices, no inbound
        {{0, 0, 0, 0, 1, 0}, 1, {0, 0, 0, 0, 1, 0}},  // unchecking inbound keeps cost prices
        {{1, 0, 1, 1, 0, 1}, 0, {1, 0, 1, 1, 0, 1}},  // other boxes are independent
    };
    for (const Case &c : cases) {
        operators::Rights r = c.before;
        operators::coupleRights(r, c.changed);
        EXPECT_EQ(r, c.after) << c.changed;
    }
}

TEST_F(Operators, WindowAddsEditsAndDeletes)
{
    addRow("A1", "张三", "110011");
    S1 w;
    WindowDriver<S1> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("系统操作员管理"));
    EXPECT_FALSE(d.menuVisible("Menu_query"));
    EXPECT_FALSE(d.menuVisible("Menu_print"));
    EXPECT_FALSE(d.menuVisible("Menu_save"));
    EXPECT_EQ(w.grid().textMatrix(0, 0), QStringLiteral("帐号"));
    EXPECT_EQ(d.column(0), (QStringList{"001", "A1"}));

    // The card of "A1": inbound without cost prices shows both unchecked.
    book.exec("update TE1 set F62=1, F65=0 where F1='A1'");
    d.pickRow(2);
    EXPECT_EQ(status(), kStatus.arg(2).arg(2));
    w.findChild<QTabBar *>("TabS")->setCurrentIndex(1);
    EXPECT_EQ(shownRights(w), QStringLiteral("100001"));
    EXPECT_FALSE(chk(w, 0)->isEnabled());

    // A new operator starts with the rights shown; typing is upper-cased.
    d.menu("Menu_Add");
    EXPECT_TRUE(chk(w, 0)->isEnabled());
    d.type(0, "b2");
    d.type(1, "li");
    EXPECT_EQ(d.box(0)->text(), QStringLiteral("B2"));
    chk(w, 1)->setChecked(true);
    EXPECT_TRUE(chk(w, 4)->isChecked());
    d.menu("Menu_save");
    EXPECT_EQ(w.Edstu(), 0);
    EXPECT_EQ(storedRights("B2"), QStringLiteral("110011"));
    EXPECT_EQ(book.value("select F2 from TE1 where F1='B2'"), QStringLiteral("LI"));
    EXPECT_EQ(d.column(0), (QStringList{"001", "A1", "B2"}));

    // A held code is refused with its holder's name and the typed text.
    d.menu("Menu_Add");
    d.type(0, "a1 ");
    d.type(1, "x");
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("[张三]已经使用了A1 这个编码，请重新设置编码!"));
    EXPECT_EQ(w.Edstu(), 1);
    d.type(1, "");
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("姓名不能为空！"));
    d.menu("Menu_cancel");

    // "001": code locked, name and rights saved; never deleted.
    d.pickRow(1);
    d.menu("Menu_edit");
    EXPECT_TRUE(d.box(0)->isReadOnly());
    d.type(1, "boss");
    chk(w, 4)->setChecked(false);
    d.menu("Menu_save");
    EXPECT_EQ(book.value("select F2 from TE1 where F1='001'"), QStringLiteral("BOSS"));
    EXPECT_EQ(storedRights("001"), QStringLiteral("101101"));  // no cost prices, no inbound
    EXPECT_EQ(login::ReadOperatorRights(book.db(), "001").admin, true);
    d.pickRow(d.column(0).indexOf("001") + 1);
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("001是本系统最高权限管理员专用帐号，不能删除！"));
    EXPECT_EQ(book.number("select count(*) from TE1 where F1='001'"), 1);

    // Deleting another operator asks first; No keeps it.
    d.pickRow(d.column(0).indexOf("A1") + 1);
    d.menu("Menu_del");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("真的要删除张三的资料吗？"));
    EXPECT_EQ(book.number("select count(*) from TE1 where F1='A1'"), 1);
    book.prompt().answerYes();
    d.menu("Menu_del");
    EXPECT_EQ(book.number("select count(*) from TE1 where F1='A1'"), 0);
    EXPECT_EQ(w.recordCount(), 2);
}

// An operator's code names the operator's picture ("image/<code>.jpg"): a
// code that would reach another folder or a hidden file is refused, by the
// store and by the window, and nothing is written.
TEST_F(Operators, ACodeThatIsNoPlainNameIsRefused)
{
    addRow("A1", "张三", "110011");
    for (const char *code : {"../../x", "A/B", "A\\B", ".X", "..", "./A1"}) {
        SCOPED_TRACE(code);
        const operators::Operator op{QString::fromUtf8(code), QStringLiteral("李四"), {}};
        EXPECT_EQ(operators::addOperator(book.db(), op).outcome, operators::Outcome::NotAName);
        EXPECT_EQ(operators::updateOperator(book.db(), "A1", op).outcome, operators::Outcome::NotAName);
    }
    EXPECT_EQ(book.number("select count(*) from TE1"), 2);
    EXPECT_EQ(book.value("select F2 from TE1 where F1='A1'"), QStringLiteral("张三"));

    S1 w;
    WindowDriver<S1> d{w};
    d.menu("Menu_Add");
    d.type(0, "../../x");
    d.type(1, "li");
    d.menu("Menu_save");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("操作员帐号中不能有“/”或“\\”，也不能以“.”开头！"));
    EXPECT_EQ(w.Edstu(), 1);
    EXPECT_EQ(book.number("select count(*) from TE1"), 2);
}

TEST_F(Operators, ClosingDuringAnEditIsAllowedAndPutsTheBookNameBack)
{
    registerOperatorWindows();
    QWidget *made = windows::create("S1", nullptr);
    auto *w = qobject_cast<S1 *>(made);
    ASSERT_NE(w, nullptr);
    WindowDriver<S1> d{*w};
    EXPECT_EQ(status(), kStatus.arg(1).arg(1));
    d.menu("Menu_Add");
    d.type(0, "Z9");
    w->show();
    d.menu("Menu_Return");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(status(), book.m().gBookName);
    EXPECT_EQ(book.number("select count(*) from TE1"), 1);
    delete w;  // not yet deleted: deferred deletion needs the event loop
}

// ---- personal settings ------------------------------------------------------------

class PersonalSettings : public Operators {
protected:
    PersonalSettings()
    {
        addRow("A1", "张三", "111111");
        book.exec("update TE1 set F3=NULL, pad=NULL, F75=NULL where F1='A1'");
        book.m().gUserCode = "A1";
        book.m().gUserName = "张三";
        bg.setBigCaption("Vantoro仓库管理");
    }
    QLineEdit *box(QWidget &w, const QString &name) { return w.findChild<QLineEdit *>(name); }
    void click(QWidget &w, const QString &name)
    {
        auto *b = w.findChild<QPushButton *>(name);
        ASSERT_NE(b, nullptr) << name.toStdString();
        b->click();
    }
    void changePassword(S2 &w, const QString &old, const QString &new1, const QString &new2)
    {
        box(w, "Txt0")->setText(old);
        box(w, "Txt1")->setText(new1);
        box(w, "Txt2")->setText(new2);
        click(w, "Cmd0");
    }
    BGForm bg;
};

TEST_F(PersonalSettings, PasswordSetHereLogsIn)
{
    {
        S2 w(nullptr, &bg);
        EXPECT_EQ(w.findChild<QLabel *>("LabUser")->text(), QStringLiteral("帐号：A1  名称：张三"));
        changePassword(w, "", "new'1", "new'2");
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("新密码两次输入不同，请重新输入！"));
        changePassword(w, "x", "new'1", "new'1");
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("旧密码错误，你无权修改该用户密码！"));
        EXPECT_EQ(w.result(), 0);
        changePassword(w, "", "new'1", "new'1");
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("密码修改成功！"));
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    }
    const QString stored = book.value("select F3 from TE1 where F1='A1'");
    EXPECT_TRUE(passwords::isHashed(stored));
    EXPECT_FALSE(stored.contains("new"));
    EXPECT_EQ(login::CheckPassword(book.db(), "A1", "new'1").outcome, login::Outcome::Ok);
    EXPECT_EQ(login::CheckPassword(book.db(), "A1", "").outcome, login::Outcome::WrongPassword);

    // The old password is checked against the hash; an empty new one removes it.
    using personal::PasswordOutcome;
    EXPECT_EQ(personal::changePassword(book.db(), "A1", "new'", "", "").outcome, PasswordOutcome::WrongOld);
    EXPECT_EQ(personal::changePassword(book.db(), "A1", "new'1", "", "").outcome, PasswordOutcome::Changed);
    EXPECT_EQ(login::CheckPassword(book.db(), "A1", "").outcome, login::Outcome::Ok);
    // A plain-text password of an older book still opens the change.
    book.exec("update TE1 set F3='old' where F1='A1'");
    EXPECT_EQ(personal::changePassword(book.db(), "A1", "old", "neu", "neu").outcome, PasswordOutcome::Changed);
    EXPECT_EQ(login::CheckPassword(book.db(), "A1", "neu").outcome, login::Outcome::Ok);
    // An operator without a row cannot change anything.
    EXPECT_EQ(personal::changePassword(book.db(), "NOBODY", "", "a", "a").outcome, PasswordOutcome::WrongOld);
}

TEST_F(PersonalSettings, NoteAndCaptionAreKeptOnClose)
{
    {
        S2 w(nullptr, &bg);
        click(w, "CmdPad");
    }
    // Nothing changed: nothing written.
    EXPECT_EQ(book.value("select coalesce(pad,'<null>')||coalesce(F75,'<null>') from TE1 where F1='A1'"),
              QStringLiteral("<null><null>"));
    {
        S2 w(nullptr, &bg);
        EXPECT_EQ(box(w, "TxtBgCpt")->text(), QStringLiteral("Vantoro仓库管理"));
        w.findChild<QPlainTextEdit *>("TxtPad")->setPlainText("it's\nnoted");
        box(w, "TxtBgCpt")->setText("  张三's 仓库  ");
        w.reject();  // the close box
    }
    EXPECT_EQ(book.value("select pad from TE1 where F1='A1'"), QStringLiteral("it’s\nnoted"));
    EXPECT_EQ(book.value("select F75 from TE1 where F1='A1'"), QStringLiteral(" 张三’s 仓库"));
    EXPECT_EQ(bg.LabBig(0)->text(), QStringLiteral("张三’s 仓库"));
    EXPECT_EQ(bg.LabBig(1)->text(), QStringLiteral("张三’s 仓库"));
    S2 again(nullptr, &bg);
    EXPECT_EQ(again.findChild<QPlainTextEdit *>("TxtPad")->toPlainText(), QStringLiteral("it’s\nnoted"));
    EXPECT_EQ(box(again, "TxtBgCpt")->text(), QStringLiteral("张三’s 仓库"));
}

TEST_F(PersonalSettings, BackgroundPictureIsSetAndRestored)
{
    const QString app = book.m().gAppPath;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(app + "mine.png", "PNG"));
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(app + "syspic.dat", "BMP"));
    QFile junk(app + "junk.jpg");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    const QString own = app + "image/A1.jpg";

    {
        S2 w(nullptr, &bg);
        auto *confirm = w.findChild<QPushButton *>("CmdSet1");
        EXPECT_FALSE(confirm->isEnabled());
        book.fileDialogs().answer(app + "junk.jpg");
        click(w, "CmdSet0");
        EXPECT_FALSE(confirm->isEnabled());
        EXPECT_TRUE(w.PicturePath.isEmpty());
        click(w, "CmdSet0");  // cancelled
        EXPECT_FALSE(confirm->isEnabled());
        book.fileDialogs().answer(app + "mine.png");
        click(w, "CmdSet0");
        ASSERT_TRUE(confirm->isEnabled());
        click(w, "CmdSet1");
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("张三，您的背景图片设置成功！"));
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    }
    ASSERT_TRUE(QFile::exists(own));
    EXPECT_EQ(QImage(own).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_FALSE(bg.LabBig(0)->isHidden());

    {
        S2 w(nullptr, &bg);
        click(w, "CmdSet3");
        click(w, "CmdSet1");
    }
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_TRUE(bg.LabBig(0)->isHidden());
    EXPECT_TRUE(bg.Lab()->isHidden());
    {
        // With no own picture left, going back to the default still succeeds.
        S2 w(nullptr, &bg);
        click(w, "CmdSet3");
        click(w, "CmdSet1");
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("张三，您的背景图片设置成功！"));
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    }

    // Without a default picture there is nothing to restore.
    QFile::remove(app + "syspic.dat");
    S2 w(nullptr, &bg);
    click(w, "CmdSet3");
    EXPECT_FALSE(w.findChild<QPushButton *>("CmdSet1")->isEnabled());
}

// A code stored in a book that is no plain name (written by an earlier
// version) reaches no file outside the folder "image": the operator's picture
// there is neither shown, replaced nor removed.
TEST_F(PersonalSettings, AStoredCodeThatIsNoPlainNameReachesNoFileOutside)
{
    const QString code = QStringLiteral("../../OUT");
    book.exec("update TE1 set F1=? where F1='A1'", {code});
    book.m().gUserCode = code;
    book.m().gAppPath = book.dir() + QStringLiteral("/数据/");
    ASSERT_TRUE(QDir().mkpath(book.m().gAppPath + "image"));
    const QString outside = book.dir() + "/OUT.jpg";  // image/../../OUT.jpg
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(outside, "BMP"));
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(book.m().gProgramPath + "syspic.dat", "BMP"));
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(book.m().gAppPath + "mine.png", "PNG"));
    QFile file(outside);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    {
        S2 w(nullptr, &bg);
        EXPECT_EQ(w.findChild<QLabel *>("Img")->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));  // the default, not the file outside
        book.fileDialogs().answer(book.m().gAppPath + "mine.png");
        click(w, "CmdSet0");
        click(w, "CmdSet1");
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("操作员帐号“../../OUT”不能用作图片的文件名，无法保存个人图片。\n\n"
                                                           "请在系统操作员管理中给这个操作员换一个帐号。"));
        EXPECT_EQ(w.result(), 0);
    }
    {
        S2 w(nullptr, &bg);
        click(w, "CmdSet3");
        click(w, "CmdSet1");  // back to the default picture: nothing of this code's to remove
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// A chosen picture that can no longer be read when it is confirmed is named
// with the reason in the clerk's words (the system's text only as detail);
// the operator's picture is not touched.
TEST_F(PersonalSettings, APictureThatCannotBeReadIsNamedInChinese)
{
    const QString app = book.m().gAppPath;
    const QString chosen = app + "mine.png";
    const QString own = app + "image/A1.jpg";
    enum class InItsPlace { Nothing, Folder, Fifo };
    const struct {
        const char *name;
        InItsPlace inItsPlace;
        QString text;
    } cases[] = {
        {"removed after it was chosen", InItsPlace::Nothing,
         QStringLiteral("图片文件 %1 不存在，请重新选择图片。").arg(chosen)},
        {"a folder in its place", InItsPlace::Folder, QStringLiteral("%1 不是图片文件，请重新选择图片。").arg(chosen)},
        {"a FIFO in its place", InItsPlace::Fifo, QStringLiteral("%1 不是图片文件，请重新选择图片。").arg(chosen)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(chosen, "PNG"));
        S2 w(nullptr, &bg);
        book.fileDialogs().answer(chosen);
        click(w, "CmdSet0");
        ASSERT_TRUE(QFile::remove(chosen));
        if (c.inItsPlace == InItsPlace::Folder) {
            ASSERT_TRUE(QDir().mkdir(chosen));
        }
        std::optional<WriterlessFifo> fifo;
        if (c.inItsPlace == InItsPlace::Fifo) {
            ASSERT_TRUE(fifo.emplace(chosen).made());
        }
        click(w, "CmdSet1");
        if (fifo) {
            EXPECT_FALSE(fifo->finish()) << "the confirm waited on the FIFO";
        }
        ASSERT_FALSE(book.prompt().shown.isEmpty());
        EXPECT_EQ(book.prompt().lastText(), c.text);
        EXPECT_FALSE(book.prompt().shown.last().details.isEmpty());
        EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Exclamation);
        EXPECT_NE(w.result(), int(QDialog::Accepted));
        EXPECT_FALSE(QFile::exists(own));
        QDir().rmdir(chosen);
    }
}

// A FIFO where the operator's picture lies, or chosen as one, is no picture:
// the window opens at once with the default picture and the FIFO cannot be
// confirmed.
TEST_F(PersonalSettings, AFifoIsNoPicture)
{
    const QString app = book.m().gAppPath;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(app + "syspic.dat", "BMP"));
    ASSERT_TRUE(QDir().mkpath(app + "image"));
    WriterlessFifo own(app + "image/A1.jpg");
    WriterlessFifo chosen(app + "pipe.jpg");
    ASSERT_TRUE(own.made() && chosen.made());
    S2 w(nullptr, &bg);
    EXPECT_EQ(w.findChild<QLabel *>("Img")->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
    book.fileDialogs().answer(app + "pipe.jpg");
    click(w, "CmdSet0");
    EXPECT_FALSE(w.findChild<QPushButton *>("CmdSet1")->isEnabled());
    EXPECT_TRUE(w.PicturePath.isEmpty());
    EXPECT_FALSE(own.finish()) << "the window waited on the operator's picture";
    EXPECT_FALSE(chosen.finish()) << "the preview waited on the chosen FIFO";
}

// A small picture followed by a gigabyte of zeros is no picture of the
// program's: it shows no preview and is not copied beside the program, and
// the copy says why, naming the file. A picture of normal size is copied.
TEST_F(PersonalSettings, APictureLongerThanAnyIsRefusedUnread)
{
    const QString app = book.m().gAppPath;
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    const struct {
        const char *name;
        qint64 size;
        bool copied;
    } cases[] = {
        {"a gigabyte", kGigabyte, false},
        {"a byte past the limit", kPictureLimit + 1, false},
        {"the picture alone", 0, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString chosen = app + "tail.png";
        ASSERT_TRUE(makeSparseFile(chosen, png, std::max<qint64>(c.size, png.size())));
        S2 w(nullptr, &bg);
        book.fileDialogs().answer(chosen);
        click(w, "CmdSet0");
        EXPECT_EQ(w.findChild<QPushButton *>("CmdSet1")->isEnabled(), c.copied);
        const std::optional<QString> refused = personal::setOwnPicture(app, "A1", chosen);
        EXPECT_EQ(QFileInfo::exists(personal::ownPicturePath(app, "A1")), c.copied);
        if (c.copied) {
            EXPECT_EQ(refused, std::nullopt);
        } else {
            ASSERT_TRUE(refused.has_value());
            EXPECT_TRUE(refused->startsWith(QStringLiteral("图片文件 %1 有 ").arg(chosen))) << refused->toStdString();
        }
        QFile::remove(personal::ownPicturePath(app, "A1"));
    }
}

// Going back to the default picture removes the operator's own; when it cannot
// be removed the clerk is told why, the window stays and the background keeps
// the operator's picture and captions.
TEST_F(PersonalSettings, AnOwnPictureThatCannotBeRemovedIsTold)
{
    const QString app = book.m().gAppPath;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(app + "syspic.dat", "BMP"));
    const QString own = app + "image/A1.jpg";
    const QString name = QDir::toNativeSeparators(own);
    const struct {
        const char *name;
        bool folderInItsPlace;  // else a folder the operator may not write
        QString text;
    } cases[] = {
        {"a folder in its place", true, QStringLiteral("无法删除图片文件 %1。").arg(name)},
        {"a folder that cannot be written", false,
         QStringLiteral("图片文件 %1 不能删除（只读），请检查它所在文件夹的权限。").arg(name)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(app + "image").removeRecursively() && QDir().mkpath(app + "image"));
        if (c.folderInItsPlace) {
            ASSERT_TRUE(QDir().mkpath(own + "/inside"));
        } else {
            ASSERT_TRUE(image.save(own, "BMP"));
        }
        std::optional<faults::Unwritable> locked;
        if (!c.folderInItsPlace && !locked.emplace(app + "image").works())
            continue;  // no folder can be made unwritable here
        bg.setLabelsVisible(true);
        book.prompt().clear();
        S2 w(nullptr, &bg);
        click(w, "CmdSet3");
        click(w, "CmdSet1");
        ASSERT_FALSE(book.prompt().shown.isEmpty());
        EXPECT_EQ(book.prompt().lastText(), c.text);
        EXPECT_FALSE(book.prompt().shown.last().details.isEmpty());
        EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Exclamation);
        EXPECT_NE(w.result(), int(QDialog::Accepted));
        EXPECT_TRUE(QFileInfo::exists(own));
        EXPECT_FALSE(bg.LabBig(0)->isHidden());
    }
}

// A picture that cannot be written tells why in the clerk's words; the
// earlier picture stays whole and nothing is left beside it.
TEST_F(PersonalSettings, APictureThatCannotBeWrittenKeepsTheEarlierOne)
{
    const QString app = book.m().gAppPath;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(app + "mine.png", "PNG"));
    QDir().mkpath(app + "image");
    const QString own = app + "image/A1.jpg";
    const QByteArray earlier("the earlier picture");
    QFile file(own);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
    file.close();
    faults::Unwritable locked(app + "image");
    if (!locked.works())
        GTEST_SKIP() << "no folder can be made unwritable here";

    S2 w(nullptr, &bg);
    book.fileDialogs().answer(app + "mine.png");
    click(w, "CmdSet0");
    click(w, "CmdSet1");
    ASSERT_FALSE(book.prompt().shown.isEmpty());
    EXPECT_EQ(book.prompt().lastText(), db::splitDetails(db::describeFileFailure(EACCES, own)).text);
    EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Exclamation);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), earlier);
    EXPECT_EQ(QDir(app + "image").entryList(QDir::Files | QDir::Hidden), QStringList{"A1.jpg"});
}

} // namespace
