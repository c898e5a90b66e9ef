#include "DocumentFixture.h"

#include "documents/DocumentPrinting.h"
#include "documents/DocumentWindow.h"
#include "platform/report/ReportEngine.h"
#include "shell/ModalDialogs.h"
#include "shell/Prnt.h"
#include "shell/Query.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>

using namespace documents;

namespace {

class PrintAndQueryTest : public DocumentBook {
protected:
    void SetUp() override
    {
        copyTemplates({"prntb10.rpt", "prntb30.rpt", "Pdan.rpt"});
        addGoods(QStringLiteral("G1"), 10, 5, 6, QStringLiteral("螺丝"));
        addGoods(QStringLiteral("G2"), 10, 5, 6, QStringLiteral("垫片"));
        addGoods(QStringLiteral("G3"), 10, 5, 6, QStringLiteral("螺母"));
    }
    void TearDown() override { delete Prnt::loaded(); }

    void open(const DocumentKind &kind)
    {
        window = std::make_unique<DocumentWindow>(kind);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    void trigger(const char *action) { window->findChild<QAction *>(QLatin1String(action))->trigger(); }

    std::unique_ptr<DocumentWindow> window;
};

} // namespace

TEST_F(PrintAndQueryTest, SchemeOnePrintsTheCurrentListRowsNoteFromTheBook)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 2, 3}},
            QStringLiteral("2026-12-02 00:00:00"));
    addNote(B1, QStringLiteral("RK2"), QStringLiteral("2026-12-03"),
            {{QStringLiteral("G2"), 1, 1}, {QStringLiteral("G3"), 4, 2.5}}, QStringLiteral("2026-12-01 00:00:00"));
    open(B1);
    window->SelectListRow(2);
    trigger("Menu_prn0");
    const report::FilledReport *report = shown();
    ASSERT_NE(report, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(Prnt::loaded()->Cry->selectionFormula(), "{TB1.F1}='RK2'");
    EXPECT_EQ(report->field("no"), "RK2");
    EXPECT_EQ(report->rows.size(), 2);
    EXPECT_EQ(report->totals.value(6), "11.00");
}

TEST_F(PrintAndQueryTest, SchemeTwoStagesTheGridRowsWithTheHeaderAsFormulas)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"),
            {{QStringLiteral("G1"), 1, 1}, {QStringLiteral("G2"), 2, 2}, {QStringLiteral("G3"), 3, 3}});
    open(B1);
    trigger("Menu_prn1");  // from the list tab: the note is loaded first
    ASSERT_NE(shown(), nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(book.value("select group_concat(F0||':'||F1||':'||F6||':'||V1, ',') from Plist"),
              "00001:G1:1:1.0,00002:G2:2:2.0,00003:G3:3:3.0");
    EXPECT_EQ(shown()->formula("danNo"), "RK1");
    EXPECT_EQ(shown()->formula("gys"), "供货单位：默认货品来源");
    EXPECT_EQ(shown()->rows.size(), 3);
    EXPECT_EQ(shown()->rows[2].mid(0, 2), QStringList({"3", "G3"}));  // the serial prints as 1, 2, 3

    // The return stages numbers as their own text: a clerk reads 3, never 3.0.
    addNote(B3, QStringLiteral("TH1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G3"), 3, 2.5}});
    delete Prnt::loaded();
    open(B3);
    trigger("Menu_prn1");
    ASSERT_NE(shown(), nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(book.value("select F6||'|'||F7||'|'||F8 from Plist"), "3|2.5|7.5");
}

TEST_F(PrintAndQueryTest, SchemeTwoFormulasPerKind)
{
    GridModel lines(7);
    lines.setDataRows({{"G1", "螺丝/", "个", "2", "", "", ""}, {"G2", "垫片/", "个", "0.5", "12.50", "6.25", "r"}});
    const PrintedHeader header{"RK1", "2026-12-01", "东方", "张三", "", "1200.00"};
    const PrintRequest stockIn = schemeTwoRequest(B1, lines, header);
    EXPECT_EQ(stockIn.formulas, QStringList({"Cpt='货品入库单'", "danNo='RK1'", "rq='2026-12-01'", "gys='供货单位：东方'",
                                             "sumje='1200'",
                                             "qianming='制单人:张三                  审核人:                  经手人:'"}));
    // The stock-in note stages the cell texts, the return numbers: an empty price is 0.
    EXPECT_EQ(stockIn.stagingRows[0], QVariantList({"00001", "G1", "2", "", "", "", 2.0, 0.0}));
    const PrintRequest supplierReturn = schemeTwoRequest(B3, lines, header);
    EXPECT_EQ(supplierReturn.formulas.value(0), "Cpt='退  货  单'");
    EXPECT_EQ(supplierReturn.formulas.value(4), "sumje='1200.00'");
    EXPECT_EQ(supplierReturn.formulas.size(), 5);
    EXPECT_EQ(supplierReturn.stagingRows[0], QVariantList({"00001", "G1", "2", "0", "0", "", 2.0, 0.0}));
    EXPECT_EQ(supplierReturn.stagingRows[1], QVariantList({"00002", "G2", "0.5", "12.5", "6.25", "r", 0.5, 12.5}));
}

TEST_F(PrintAndQueryTest, NothingToPrintAndMissingTemplates)
{
    open(B3);
    trigger("Menu_prn0");
    trigger("Menu_prn1");
    EXPECT_EQ(book.prompt().texts(), QStringList({"无数据可打印！", "无数据可打印！"}));
    addNote(B3, QStringLiteral("TH1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    QFile::remove(book.dir() + "/prntb30.rpt");
    QFile::remove(book.dir() + "/Pdan.rpt");
    open(B3);
    book.prompt().clear();
    trigger("Menu_prn0");
    trigger("Menu_prn1");
    EXPECT_EQ(book.prompt().texts(), QStringList({"报表文件丢失！", "报表文件Pdan.rpt丢失！"}));
    EXPECT_EQ(Prnt::loaded(), nullptr);
}

TEST_F(PrintAndQueryTest, QueryFindsAuditedNotesAndKeepsThemListed)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    addNote(B1, QStringLiteral("RK2"), QStringLiteral("2026-12-05"), {{QStringLiteral("G1"), 1, 1}});
    addNote(B1, QStringLiteral("RK3"), QStringLiteral("2026-12-04"), {{QStringLiteral("G1"), 1, 1}});
    book.exec("update TB1 set F6='李四' where F1 in ('RK1','RK2')");
    open(B1);
    EXPECT_EQ(window->listGrid().rows(), 2);

    ScriptedDialogRunner runner;
    runner.handle("Query", [](QDialog &d) {
        auto &q = static_cast<Query &>(d);
        EXPECT_EQ(q.CmbF->itemText(4), "审核人");
        EXPECT_EQ(q.CmbF->itemText(2), "供货单位编码");
        q.CmbF->setCurrentIndex(4);
        q.CmbGX->setCurrentIndex(0);
        q.Txt->setText("李四");
        q.addCondition();
        q.finishQuery();
        return q.result();
    });
    trigger("Menu_query");
    EXPECT_TRUE(window->listAll());
    QStringList numbers;
    for (int r = 1; r < window->listGrid().rows(); ++r)
        numbers << window->listGrid().textMatrix(r, 0);
    numbers.sort();
    EXPECT_EQ(numbers, QStringList({"RK1", "RK2"}));

    // Total > 1000 compares the stored total and finds audited notes too.
    book.exec("update TB1 set F9 = case F1 when 'RK1' then 1200 when 'RK2' then 1000 else 1000.5 end");
    runner.handle("Query", [](QDialog &d) {
        auto &q = static_cast<Query &>(d);
        q.CmbF->setCurrentIndex(5);
        EXPECT_EQ(q.CmbF->currentText(), "金额");
        q.CmbGX->setCurrentIndex(0);
        q.Txt->setText("1000");
        q.addCondition();
        q.finishQuery();
        return q.result();
    });
    trigger("Menu_query");
    numbers.clear();
    for (int r = 1; r < window->listGrid().rows(); ++r)
        numbers << window->listGrid().textMatrix(r, 0) + ":" + window->listGrid().textMatrix(r, 4);
    numbers.sort();
    EXPECT_EQ(numbers, QStringList({"RK1:李四", "RK3:"}));

    // Date >= includes the day itself.
    runner.handle("Query", [](QDialog &d) {
        auto &q = static_cast<Query &>(d);
        q.CmbF->setCurrentIndex(1);
        q.CmbGX->setCurrentIndex(0);
        q.DTP->setDate(QDate(2026, 12, 4));
        q.addCondition();
        q.finishQuery();
        return q.result();
    });
    trigger("Menu_query");
    EXPECT_EQ(window->listGrid().rows(), 3);

    // Cancelled from the detail tab: back to the list, which stays as it was.
    window->findChild<QTabBar *>("TabS")->setCurrentIndex(1);
    runner.handle("Query", [](QDialog &d) {
        d.reject();
        return d.result();
    });
    trigger("Menu_query");
    EXPECT_EQ(window->findChild<QTabBar *>("TabS")->currentIndex(), 0);
    EXPECT_EQ(window->listGrid().rows(), 3);
}
