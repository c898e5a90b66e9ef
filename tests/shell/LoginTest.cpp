#include "ShellFixture.h"

#include "shell/BGForm.h"
#include "shell/Login.h"
#include "shell/MForm.h"
#include "shell/OperatorLogin.h"
#include "shell/Passwords.h"
#include "support/Deadline.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPasswordDigestor>
#include <QTest>

namespace {
struct LoginWindow {
    explicit LoginWindow(MForm *main)
        : dialog(main)
    {
    }
    void enter(const QString &operatorText, const QString &password)
    {
        child<QComboBox>(&dialog, "Cmb")->setEditText(operatorText);
        child<QLineEdit>(&dialog, "Txt1")->setText(password);
        click(&dialog, "Cmd0");
    }
    Login dialog;
};

bool menuEnabled(MForm &main, const char *name)
{
    if (auto *menu = main.findChild<QMenu *>(QString::fromLatin1(name)))
        return menu->menuAction()->isEnabled();
    return child<QAction>(&main, name)->isEnabled();
}
} // namespace

TEST(Login, ChecksAndMessages)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2,F3) values ('002','张三',null),('003','李四',?),('004','王五','Plain 1')",
                {passwords::storedForm(QStringLiteral("Secret"))});
    MForm main;
    struct Case {
        const char *operatorText;
        const char *password;
        const char *message;  // nullptr: logged in
    } cases[] = {
        {"  ", "", "请输入或在下拉列表中选择用户帐号!"},
        {"009", "", "无效的用户帐号！建议您在下拉列表中选择！"},
        {"002.张三", "x", "密码输入错误！"},        // Null password matches only an empty box
        {"003.李四", "secret", "密码输入错误！"},   // letter case counts
        {"003.李四", "", "密码输入错误！"},
        {"003.李四", "Secret", nullptr},
        {"004.王五", "plain 1", "密码输入错误！"},  // a plain text of an older book, compared exactly
        {"004.王五", "Plain 1", nullptr},
        {" 002 ", "", nullptr},                     // a code typed by hand, blanks ignored
        {"001.系统管理员", "", nullptr},
    };
    for (const Case &c : cases) {
        f.book.prompt().clear();
        LoginWindow w(&main);
        w.enter(QString::fromUtf8(c.operatorText), QString::fromUtf8(c.password));
        if (c.message) {
            EXPECT_EQ(f.book.prompt().lastText().toStdString(), c.message) << c.operatorText;
            EXPECT_EQ(f.book.prompt().shown.last().title, QStringLiteral("提示"));
            EXPECT_EQ(w.dialog.result(), QDialog::Rejected) << c.operatorText;
        } else {
            EXPECT_TRUE(f.book.prompt().shown.isEmpty()) << c.operatorText << ": " << f.book.prompt().lastText().toStdString();
            EXPECT_EQ(w.dialog.result(), QDialog::Accepted) << c.operatorText;
        }
    }
    // a wrong password empties the box
    LoginWindow w(&main);
    w.enter(QStringLiteral("003"), QStringLiteral("wrong"));
    EXPECT_TRUE(child<QLineEdit>(&w.dialog, "Txt1")->text().isEmpty());
}

TEST(Login, FailingLookupRefuses)
{
    ShellFixture f;
    MForm main;
    LoginWindow w(&main);
    f.book.exec("alter table TE1 rename to TE1_gone");
    w.enter(QStringLiteral("001"), QString());
    EXPECT_EQ(w.dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("无法读取操作员资料，不能登录！")));
    EXPECT_TRUE(f.book.m().gUserCode == QStringLiteral("001"));  // the fixture's, unchanged
    EXPECT_TRUE(main.panelText(3).isEmpty());
}

TEST(Login, SuccessSetsOperatorOptionsAndCaption)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2,F3,F61,F62,F63,F64,F65,F66,F75) values ('002','张三','',1,1,1,1,1,1,'  ')");
    f.book.exec("update TE1 set F75='  我的仓库 ' where F1='001'");
    f.book.exec("insert into sysinfo (ID,setval,setstr) values (9,3,'')");
    MForm main;
    {
        LoginWindow w(&main);
        w.enter(QStringLiteral("001.系统管理员"), QString());
        EXPECT_EQ(main.background()->LabBig(0)->text(), QStringLiteral("我的仓库"));
        EXPECT_EQ(main.background()->LabBig(1)->text(), QStringLiteral("我的仓库"));
        EXPECT_EQ(f.book.m().gMoneyFormat, QStringLiteral("#0.000"));
        EXPECT_TRUE(main.background()->LabBig(0)->isHidden());  // no operator picture
    }
    {
        LoginWindow w(&main);
        w.enter(QStringLiteral("002"), QString());
        EXPECT_EQ(f.book.m().gUserCode, QStringLiteral("002"));
        EXPECT_EQ(f.book.m().gUserName, QStringLiteral("张三"));
        EXPECT_EQ(main.panelText(3), QStringLiteral("张三"));
        EXPECT_EQ(main.background()->LabBig(0)->text(), QString());  // blanks only: empty, not the default
    }
}

TEST(Login, CtrlSLogsInAsAdministrator)
{
    ShellFixture f;
    MForm main;
    LoginWindow w(&main);
    child<QComboBox>(&w.dialog, "Cmb")->setEditText(QStringLiteral("ignored"));
    QTest::keyClick(child<QLineEdit>(&w.dialog, "Txt1"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(f.book.m().gUserCode, QStringLiteral("001"));
    EXPECT_EQ(child<QComboBox>(&w.dialog, "Cmb")->currentText(), QStringLiteral("ignored"));
}

TEST(Login, WindowLoadAndHelp)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2) values ('002','张三')");
    MForm main;
    LoginWindow w(&main);
    auto *cmb = child<QComboBox>(&w.dialog, "Cmb");
    ASSERT_EQ(cmb->count(), 2);
    EXPECT_EQ(cmb->itemText(0), QStringLiteral("001.系统管理员"));
    EXPECT_EQ(cmb->itemText(1), QStringLiteral("002.张三"));
    EXPECT_TRUE(w.dialog.windowTitle().startsWith(QStringLiteral("登录帐本...")));
    click(&w.dialog, "Cmd2");
    EXPECT_EQ(f.book.prompt().shown.last().title, QStringLiteral("帮助"));
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("系统默认用户为“001”，默认密码为空。")));

    f.book.exec("update TE1 set F3=? where F1='001'", {passwords::storedForm(QStringLiteral("pw"))});
    LoginWindow again(&main);
    click(&again.dialog, "Cmd2");
    EXPECT_EQ(f.book.prompt().lastText(),
              QStringLiteral("关于如何使用本软件，您可以在登录系统后查看主菜单[使用说明]中的信息。"));

    // "退 出" ends the program
    click(&again.dialog, "Cmd1");
    EXPECT_TRUE(program::endRequested());
}

TEST(Login, RightsGateTheMenus)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2,F3,F61,F62,F63,F64,F65,F66) values "
                "('002','a','',1,1,0,1,1,1),('003','b','',null,-1,1,1,0,0),('004','c','',0,0,0,0,0,0)");
    f.book.exec("update TE1 set F61=0, F65=0 where F1='001'");  // the highest administrator keeps everything
    MForm main;
    const char *gated[] = {"Menu_A", "Menu_B", "Menu_C", "Menu_D", "Menu_E", "Menu_S1", "Menu_S3", "Menu_S25", "Menu_zbhf"};
    struct Case {
        const char *code;
        const char *enabled;  // one 0/1 per gated item
        bool mayViewCost;
    } cases[] = {
        {"002", "110111111", true},
        {"003", "011100000", false},
        {"001", "111111111", true},   // from a restricted operator back to "001": all enabled again
        {"004", "000000000", false},
    };
    for (const Case &c : cases) {
        LoginWindow w(&main);
        w.enter(QString::fromLatin1(c.code), QString());
        ASSERT_EQ(w.dialog.result(), QDialog::Accepted) << c.code;
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(menuEnabled(main, gated[i]), c.enabled[i] == '1') << c.code << " " << gated[i];
        EXPECT_EQ(f.book.m().gMayViewCost, c.mayViewCost) << c.code;
        // never gated
        for (const char *free : {"Menu_S", "Menu_S2", "Menu_zbbf", "Relogin", "Quit", "H"})
            EXPECT_TRUE(menuEnabled(main, free)) << c.code << " " << free;
    }
}

// An operator deleted on another computer between the password check and the
// reading of the rights holds no right at all.
TEST(Login, AnOperatorWhoseRowIsGoneHoldsNoRight)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2,F3,F61,F62,F63,F64,F65,F66) values ('002','a','',1,1,1,1,1,1)");
    const auto held = [&f] {
        const OperatorRights r = login::ReadOperatorRights(f.book.db(), QStringLiteral("002"));
        return QString::number(r.masterData) + QString::number(r.inbound) + QString::number(r.stock) +
               QString::number(r.outbound) + QString::number(r.mayViewCost) + QString::number(r.admin);
    };
    EXPECT_EQ(held(), QStringLiteral("111111"));
    f.book.exec("delete from TE1 where F1='002'");
    EXPECT_EQ(held(), QStringLiteral("000000"));

    MForm main;
    main.ApplyRights(login::ReadOperatorRights(f.book.db(), QStringLiteral("002")));
    for (const char *gated :
         {"Menu_A", "Menu_B", "Menu_C", "Menu_D", "Menu_E", "Menu_S1", "Menu_S3", "Menu_S25", "Menu_zbhf"})
        EXPECT_FALSE(menuEnabled(main, gated)) << gated;
}

TEST(Passwords, StoredFormAndMatch)
{
    const QString stored = passwords::storedForm(QStringLiteral("密码Pw1"));
    EXPECT_TRUE(passwords::isHashed(stored));
    EXPECT_FALSE(stored.contains(QStringLiteral("密码Pw1")));
    EXPECT_NE(stored, passwords::storedForm(QStringLiteral("密码Pw1")));  // salted
    EXPECT_TRUE(passwords::matches(stored, QStringLiteral("密码Pw1")));
    EXPECT_FALSE(passwords::matches(stored, QStringLiteral("密码pw1")));
    EXPECT_FALSE(passwords::matches(stored, QString()));
    EXPECT_FALSE(passwords::matches(stored, stored));
    EXPECT_EQ(passwords::storedForm(QString()), QString());
    EXPECT_TRUE(passwords::matches(QString(), QString()));
    EXPECT_FALSE(passwords::matches(QString(), QStringLiteral(" ")));
    EXPECT_FALSE(passwords::matches(QStringLiteral("pbkdf2-sha256$x$y"), QStringLiteral("x")));  // damaged hash
}

// A book may carry any iteration count in a hash; counts up to the program's
// own are worked (hashes stored before the count is raised keep matching), a
// larger one is refused at once: a crafted count of 2^31-1 would keep the
// login busy for an hour.
TEST(Passwords, IterationCountsUpToTheProgramsAreWorked)
{
    const QByteArray salt("0123456789abcdef");
    const auto hash = [&salt](const char *count, int iterations) {
        const QByteArray key =
            QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, "pw", salt, iterations, 32);
        return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
            .arg(QLatin1String(count), QLatin1String(salt.toBase64()), QLatin1String(key.toBase64()));
    };
    const struct {
        QString stored;
        bool matches;
    } cases[] = {
        {hash("60000", 60000), true},  // the program's own
        {hash("59999", 59999), true},
        {hash("1000", 1000), true},
        {hash("1", 1), true},
        {hash("1000", 2000), false},  // worked at the stored count, not another
        {hash("60001", 1), false},
        {hash("2147483647", 1), false},
        {hash("0", 1), false},
        {hash("-1", 1), false},
        {hash("x", 1), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        const auto matched = resultWithin(std::chrono::seconds(60), [stored = c.stored] {
            return passwords::matches(stored, QStringLiteral("pw"));
        });
        ASSERT_TRUE(matched.has_value()) << "still deriving the key at the deadline";
        EXPECT_EQ(*matched, c.matches);
    }
}

TEST(Login, EnterWalksToTheLoginButtonAndPressesIt)
{
    ShellFixture f;
    MForm main;
    Login dialog(&main);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto *cmb = child<QComboBox>(&dialog, "Cmb");
    cmb->setFocus();
    QTest::keyClicks(cmb, QStringLiteral("001"));
    QTest::keyClick(cmb, Qt::Key_Return);
    auto *password = child<QLineEdit>(&dialog, "Txt1");
    ASSERT_EQ(QApplication::focusWidget(), password);
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Cmd0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(f.book.m().gUserCode, QStringLiteral("001"));
    EXPECT_EQ(main.panelText(3), QStringLiteral("系统管理员"));
}

TEST(Login, APlainPasswordOfAnOlderBookIsStoredHashedAtTheFirstLoginAndStillAccepted)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2,F3) values ('004','王五','Plain 1'),('005','赵六','Other 2')");
    MForm main;
    const auto stored = [&](const char *code) { return f.book.value("select F3 from TE1 where F1=?", {code}); };
    {
        LoginWindow w(&main);
        w.enter(QStringLiteral("004"), QStringLiteral("wrong"));  // a refused login changes nothing
        EXPECT_EQ(stored("004"), QStringLiteral("Plain 1"));
    }
    for (int login = 1; login <= 2; ++login) {
        SCOPED_TRACE(login);
        f.book.prompt().clear();
        LoginWindow w(&main);
        w.enter(QStringLiteral("004"), QStringLiteral("Plain 1"));
        EXPECT_EQ(w.dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(passwords::isHashed(stored("004")));
        EXPECT_FALSE(stored("004").contains(QStringLiteral("Plain 1")));
    }
    EXPECT_EQ(stored("005"), QStringLiteral("Other 2"));  // only the operator who logged in
    LoginWindow w(&main);
    w.enter(QStringLiteral("004"), QStringLiteral("plain 1"));
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("密码输入错误！"));
}
