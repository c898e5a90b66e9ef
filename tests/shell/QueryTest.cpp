// The condition query dialog: relations, the conditions it builds, removing
// and finishing, and its answers run on a book.
#include "support/TestBook.h"

#include "shell/ModalDialogs.h"
#include "shell/Query.h"
#include "platform/NumberText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

class Caller : public QueryLoader {};

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        book.m().setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(9, 0)); });
        book.exec(s("insert into TA1 (F1,F2,F3) values ('A','甲公司','北京'), ('B','bob''s','东城 c区'), "
                    "('C','Bob','上海'), ('D','50% 折扣','c'), ('E','500','x_y')"));
    }
    void TearDown() override
    {
        if (Query::isLoaded())
            delete &Query::instance();
    }

    // The A1 caller protocol up to showing the dialog.
    Query &open(const QString &head = s("Select TA1.* from TA1 "))
    {
        caller.PubSql.clear();
        Query &q = Query::instance();
        q.loader = &caller;
        q.SqlHeadstr = head;
        q.setFields({{s("编码"), "TA1.F1", "0"}, {s("名称"), "TA1.F2", "0"}, {s("地址"), "TA1.F3", "0"},
                     {s("金额"), "1.5*length(TA1.F1)", "1"}, {s("日期"), "TB1.F2", "2"},
                     {s("其他"), "TA1.F4", "9"}});
        q.CmbF->setCurrentIndex(1);
        return q;
    }

    void add(Query &q, int field, int relation, const QString &value, int join = -1)
    {
        if (join >= 0)
            q.CmbLG->setCurrentIndex(join);
        q.CmbF->setCurrentIndex(field);
        q.CmbGX->setCurrentIndex(relation);
        q.Txt->setText(value);
        q.addCondition();
    }

    static QStringList items(QComboBox *box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out.append(box->itemText(i));
        return out;
    }

    QStringList lines(QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out.append(list->item(i)->text());
        return out;
    }

    // The first column of every row the answer returns.
    QStringList run(const QString &sql)
    {
        QStringList codes;
        db::Statement st = book.db().prepare(sql);
        EXPECT_TRUE(st.isValid()) << sql.toStdString() << ": " << book.db().lastError().toStdString();
        while (st.next())
            codes.append(st.text(0));
        EXPECT_FALSE(st.hasError()) << st.error().toStdString();
        return codes;
    }

    TestBook book;
    Caller caller;
};

} // namespace

TEST_F(QueryTest, RelationsAndValueBoxFollowTheFieldType)
{
    Query &q = open();
    EXPECT_EQ(q.windowTitle(), s("查找条件"));
    EXPECT_EQ(q.CPT->text(), s("              项目         关系         值"));
    EXPECT_TRUE(q.CmbLG->isHidden());
    EXPECT_EQ(items(q.CmbLG), QStringList({s("并且"), s("或者"), s("排除")}));
    EXPECT_EQ(q.CmdAdd->text(), s("增 加"));
    EXPECT_EQ(q.CmdRemove->text(), s("删 除"));
    EXPECT_EQ(q.CmdQuery->text(), s("查 找"));
    EXPECT_EQ(q.CmdCancel->text(), s("取 消"));
    EXPECT_EQ(q.Lst->toolTip(), s("查询条件窗口"));
    EXPECT_EQ(items(q.CmbF), QStringList({s("编码"), s("名称"), s("地址"), s("金额"), s("日期"), s("其他")}));
    const struct {
        int field;
        QStringList relations;
        bool date;
    } cases[] = {
        {0, {s("等于(=)"), s("包含(like)")}, false},
        {3, {s("大于(>)"), s("小于(<)"), s("等于(=)")}, false},
        {4, {s("大于(>=)"), s("小于(<=)"), s("等于(=)")}, true},
    };
    for (const auto &c : cases) {
        q.CmbF->setCurrentIndex(c.field);
        EXPECT_EQ(items(q.CmbGX), c.relations);
        EXPECT_EQ(q.CmbGX->currentIndex(), 0);
        EXPECT_EQ(q.DTP->isHidden(), !c.date);
        EXPECT_EQ(q.Txt->isHidden(), c.date);
    }
    EXPECT_EQ(q.DTP->date(), QDate(2026, 1, 5));

    // A field of an unknown type offers no relation, and nothing is added for it.
    q.CmbF->setCurrentIndex(5);
    EXPECT_EQ(q.CmbGX->count(), 0);
    q.Txt->setText("x");
    q.addCondition();
    EXPECT_EQ(q.Lst->count(), 0);
    EXPECT_EQ(q.LstSql->count(), 0);
}

TEST_F(QueryTest, ThreeConditionsThenTheFirstRemoved)
{
    Query &q = open();
    add(q, 0, 0, "A");
    EXPECT_FALSE(q.CmbLG->isHidden());
    EXPECT_EQ(q.CmbLG->currentText(), s("并且"));
    add(q, 1, 1, "b", 1);
    add(q, 2, 1, "c", 2);
    EXPECT_EQ(lines(q.Lst), QStringList({s("        编码  等于     A"), s("或者    名称  包含     b"),
                                         s("排除    地址  包含     c")}));
    EXPECT_EQ(lines(q.LstSql), QStringList({" Where TA1.F1 = 'A'  ", " Or TA1.F2 like '%b%' ESCAPE '\\'  ",
                                            " AND Not TA1.F3 like '%c%' ESCAPE '\\'  "}));

    q.Lst->setCurrentRow(0);
    q.removeCondition();
    EXPECT_EQ(lines(q.Lst), QStringList({s("      名称  包含     b"), s("排除    地址  包含     c")}));
    EXPECT_EQ(lines(q.LstSql), QStringList({" Where TA1.F2 like '%b%' ESCAPE '\\'  ",
                                            " AND Not TA1.F3 like '%c%' ESCAPE '\\'  "}));
    EXPECT_EQ(q.Lst->currentRow(), 1);

    q.Txt->clear();
    q.finishQuery();
    EXPECT_EQ(caller.PubSql, "Select TA1.* from TA1  Where TA1.F2 like '%b%' ESCAPE '\\'   AND Not TA1.F3 like "
                             "'%c%' ESCAPE '\\'  ");
    EXPECT_EQ(caller.PubConditions,
              "TA1.F2 like '%b%' ESCAPE '\\'   AND Not TA1.F3 like '%c%' ESCAPE '\\'");
    // "bob's" has a c in its address; AND NOT leaves Bob alone.
    EXPECT_EQ(run(caller.PubSql), QStringList({"C"}));
    EXPECT_FALSE(Query::isLoaded());
}

TEST_F(QueryTest, EveryJoinWordAndItsPromotionToTheFirstCondition)
{
    const struct {
        int join;
        const char *shown;
        const char *piece, *promoted;
        QStringList found;
    } cases[] = {
        {0, "并且    名称  等于     Bob", " And TA1.F2 = 'Bob'  ", " Where TA1.F2 = 'Bob'  ", {"C"}},
        {1, "或者    名称  等于     Bob", " Or TA1.F2 = 'Bob'  ", " Where TA1.F2 = 'Bob'  ", {"C"}},
        {2, "排除    名称  等于     Bob", " AND Not TA1.F2 = 'Bob'  ", " Where Not TA1.F2 = 'Bob'  ",
         {"001", "A", "B", "D", "E"}},
    };
    for (const auto &c : cases) {
        Query &q = open();
        add(q, 0, 0, "A");
        add(q, 1, 0, "Bob", c.join);
        EXPECT_EQ(lines(q.Lst).last(), s(c.shown));
        EXPECT_EQ(lines(q.LstSql).last(), c.piece);

        q.Lst->setCurrentRow(0);
        q.removeCondition();
        EXPECT_EQ(lines(q.Lst), QStringList({s("      名称  等于     Bob")}));
        EXPECT_EQ(lines(q.LstSql), QStringList({c.promoted}));
        q.Txt->clear();
        q.finishQuery();
        EXPECT_EQ(run(caller.PubSql + " order by F1"), c.found) << c.join;
    }
}

TEST_F(QueryTest, ConditionsCombineAndBeforeOrAndCanBeParenthesised)
{
    Query &q = open();
    add(q, 0, 0, "A");
    add(q, 1, 1, "b", 1);
    add(q, 2, 1, "c", 2);
    q.Txt->clear();
    q.finishQuery();
    // A, or (containing b and not c): Bob; bob's lies in a c district.
    EXPECT_EQ(run(caller.PubSql), QStringList({"A", "C"}));
    // A caller that adds its own condition keeps the operator's together.
    EXPECT_EQ(run("select F1 from TA1 where F1 <> 'A' and (" + caller.PubConditions + ") order by F1"),
              QStringList({"C"}));
}

TEST_F(QueryTest, TypedValuesAreTakenLiterally)
{
    const struct {
        int field, relation;
        const char *value;
        QStringList found;
    } cases[] = {
        {1, 0, "bob's", {"B"}},          // a single quote in an equal text
        {1, 1, "'s", {"B"}},             // and in a contained one
        {1, 1, "50%", {"D"}},            // % is no wildcard: 500 is not found
        {1, 1, "%", {"D"}},
        {1, 1, "_", {}},                 // nor is _
        {2, 1, "x_y", {"E"}},
        {1, 1, "\\", {}},                // nor the escape character itself
        {1, 1, "BOB", {"B", "C"}},       // letters compare without regard to case
    };
    for (const auto &c : cases) {
        Query &q = open();
        add(q, c.field, c.relation, s(c.value));
        q.Txt->clear();
        q.finishQuery();
        EXPECT_EQ(run(caller.PubSql + " order by F1"), c.found) << c.value;
    }

    // Numbers: the number at the start of the box, 0 when none.
    Query &q = open();
    add(q, 3, 0, "1.2kg");
    EXPECT_EQ(lines(q.LstSql).last(), " Where decimal_value(1.5*length(TA1.F1)) > 1.2");
    add(q, 3, 1, "abc", 1);
    EXPECT_EQ(lines(q.LstSql).last(), " Or decimal_value(1.5*length(TA1.F1)) < 0");
    EXPECT_EQ(lines(q.Lst).last(), s("或者    金额  小于     0"));
    // Thousands separators in their places are part of the number.
    add(q, 3, 0, "1,234.5", 1);
    EXPECT_EQ(lines(q.LstSql).last(), " Or decimal_value(1.5*length(TA1.F1)) > 1234.5");
    EXPECT_EQ(lines(q.Lst).last(), s("或者    金额  大于     1234.5"));
    q.Txt->clear();
    q.finishQuery();
    EXPECT_EQ(run(caller.PubSql + " order by F1").size(), 6);  // with the book's default supplier
}

TEST_F(QueryTest, ANumberThatCannotBeStoredAddsNoCondition)
{
    Query &q = open();
    for (const char *typed : {"1e999", "-1e309", "1e15"}) {
        add(q, 3, 0, typed);
        EXPECT_EQ(book.prompt().lastText(), numtext::unstorableMessage(QStringLiteral("金额"))) << typed;
        EXPECT_TRUE(lines(q.LstSql).isEmpty()) << typed;
    }
    add(q, 3, 0, "999999999999999");
    EXPECT_EQ(lines(q.LstSql), QStringList{" Where decimal_value(1.5*length(TA1.F1)) > 999999999999999"});
}

// Stored dates and time stamps on the picked day and around it; each relation
// is a range of the stored date that the date index serves.
TEST_F(QueryTest, DateRelationsIncludeThePickedDay)
{
    book.exec("insert into TB1 (F1,F2) values ('D4','2026-01-04'), ('D5','2026-01-05'), "
              "('D5t','2026-01-05 23:59:59'), ('D6','2026-01-06'), ('D6t','2026-01-06 00:00:00')");
    const struct {
        int relation;
        QStringList found;
    } cases[] = {{0, {"D5", "D5t", "D6", "D6t"}}, {1, {"D4", "D5", "D5t"}}, {2, {"D5", "D5t"}}};
    for (const auto &c : cases) {
        Query &q = open("select TB1.F1 from TB1 ");
        q.CmbF->setCurrentIndex(4);
        q.CmbGX->setCurrentIndex(c.relation);
        q.DTP->setDate(QDate(2026, 1, 5));
        q.addCondition();
        q.finishQuery();
        EXPECT_EQ(run(caller.PubSql + " order by F1"), c.found) << c.relation;
        const QString plan = book.plan(caller.PubSql);
        EXPECT_TRUE(searchesDateIndex(plan, "TB1")) << c.relation << plan.toStdString();
    }
    EXPECT_EQ(caller.PubSql, "select TB1.F1 from TB1  Where (TB1.F2>='2026-01-05' and TB1.F2<'2026-01-06') ");

    // Excluded, the day's range is excluded whole.
    Query &q = open("select TB1.F1 from TB1 ");
    q.CmbF->setCurrentIndex(4);
    q.CmbGX->setCurrentIndex(0);
    q.DTP->setDate(QDate(2026, 1, 4));
    q.addCondition();
    q.CmbLG->setCurrentIndex(2);  // 排除
    q.CmbGX->setCurrentIndex(2);
    q.DTP->setDate(QDate(2026, 1, 5));
    q.addCondition();
    q.finishQuery();
    EXPECT_EQ(run(caller.PubSql + " order by F1"), (QStringList{"D4", "D6", "D6t"}));
}

TEST_F(QueryTest, NoConditionGivesTheBaseStatementOrTheReminder)
{
    Query &q = open();
    q.finishQuery();
    EXPECT_EQ(caller.PubSql, s("Select TA1.* from TA1 "));
    EXPECT_EQ(caller.PubConditions, QString());
    EXPECT_EQ(run(caller.PubSql).size(), 6);
    EXPECT_TRUE(book.prompt().shown.isEmpty());

    const QString head = s("必须首先点击[增加]按钮，把查询条件添加到兰色条件窗口中，再点击[查找]按钮！\n\n");
    const QString tail = s("\n\n如果想中止查找操作，请点击[取消]按钮！");
    Query &typed = open();
    typed.Txt->setText("A");
    typed.finishQuery();
    EXPECT_EQ(caller.PubSql, QString());
    EXPECT_TRUE(Query::isLoaded());
    ASSERT_EQ(book.prompt().shown.size(), 1);
    EXPECT_EQ(book.prompt().shown[0].title, QString());
    EXPECT_EQ(book.prompt().shown[0].icon, Prompt::Icon::Information);
    EXPECT_EQ(book.prompt().lastText(),
              head + s("如果要让系统无条件列出所有数据，请保持“值”一栏中内容为空，再按[查找]按钮。") + tail);

    typed.CmbF->setCurrentIndex(4);
    typed.Txt->clear();
    typed.finishQuery();
    EXPECT_EQ(book.prompt().lastText(),
              head + s("如果要让系统无条件列出所有数据，请把“项目”切换到非日期项，保持“值”内容为空，再按[查找]。") + tail);
    EXPECT_TRUE(Query::isLoaded());
}

TEST_F(QueryTest, RemovingTheLastConditionHidesTheJoinAndNeedsASelection)
{
    Query &q = open();
    add(q, 0, 0, "A");
    q.Lst->clearSelection();
    q.Lst->setCurrentRow(-1);
    q.removeCondition();
    EXPECT_EQ(q.Lst->count(), 1);
    q.Lst->setCurrentRow(0);
    q.removeCondition();
    EXPECT_EQ(q.Lst->count(), 0);
    EXPECT_EQ(q.LstSql->count(), 0);
    EXPECT_TRUE(q.CmbLG->isHidden());
    add(q, 1, 0, "Bob");
    EXPECT_EQ(lines(q.LstSql), QStringList({" Where TA1.F2 = 'Bob'  "}));
}

TEST_F(QueryTest, EnterInTheValueBoxAddsTheCondition)
{
    Query &q = open();
    q.CmbF->setCurrentIndex(0);
    QTest::keyClicks(q.Txt, "A");
    QTest::keyClick(q.Txt, Qt::Key_Return);
    EXPECT_EQ(lines(q.LstSql), QStringList({" Where TA1.F1 = 'A'  "}));
}

TEST_F(QueryTest, TheValueBoxSelectsItsTextOnFocus)
{
    Query &q = open();
    q.Txt->setText(s("东城"));
    q.Txt->deselect();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);  // a tab would select by itself
    QCoreApplication::sendEvent(q.Txt, &focusIn);
    QCoreApplication::processEvents();
    EXPECT_EQ(q.Txt->selectedText(), s("东城"));
}

TEST_F(QueryTest, CancellingEmptiesPubSqlAndEveryCallStartsAfresh)
{
    Query &q = open();
    add(q, 0, 0, "A");
    caller.PubSql = "left over";
    q.cancelQuery();
    EXPECT_EQ(caller.PubSql, QString());
    EXPECT_FALSE(Query::isLoaded());

    // Shown through showModal: the window's frame closed, the caller's PubSql stays empty.
    ScriptedDialogRunner runner;
    runner.handle("Query", [](QDialog &d) {
        auto &dialog = static_cast<Query &>(d);
        EXPECT_EQ(dialog.Lst->count(), 0);
        dialog.Txt->setText("A");
        dialog.addCondition();
        dialog.reject();
        return dialog.result();
    });
    Query &again = open();
    EXPECT_EQ(again.showModal(), QDialog::Rejected);
    EXPECT_EQ(caller.PubSql, QString());
    EXPECT_FALSE(Query::isLoaded());

    runner.handle("Query", [](QDialog &d) {
        auto &dialog = static_cast<Query &>(d);
        dialog.CmbF->setCurrentIndex(0);
        dialog.Txt->setText("B");
        dialog.addCondition();
        dialog.finishQuery();
        return dialog.result();
    });
    EXPECT_EQ(open().showModal(), QDialog::Accepted);
    EXPECT_EQ(caller.PubSql, "Select TA1.* from TA1  Where TA1.F1 = 'B'  ");
    EXPECT_EQ(caller.PubConditions, "TA1.F1 = 'B'");
}

TEST_F(QueryTest, AMarkerHeadGivesTheConditionsAfterIt)
{
    Query &q = open("ALL");
    add(q, 0, 0, "A");
    q.Txt->clear();
    q.finishQuery();
    EXPECT_EQ(caller.PubSql.mid(9), " TA1.F1 = 'A'  ");
}
