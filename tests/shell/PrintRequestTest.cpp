// The print request and the print host: template test, staging, preview,
// reuse of the open host, printing and the help button's place.
#include "support/TestBook.h"

#include "platform/GridModel.h"
#include "platform/report/ReportPreview.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/PrintRequest.h"
#include "shell/Prnt.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

const QStringList kListColumns = {"F1", "F2", "F3", "F4", "F5", "F6", "F7"};

class PrintRequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The list template that lies beside the program, under another spelling.
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("WAREHOUSE_APP_DIR") + "/Prnta12.rpt",
                                book.dir() + "/prnta12.rpt"));
        grid.setCaptions({s("编码"), s("名称"), s("地址"), s("电话"), s("传真"), s("电子信箱"), s("备注")});
    }
    void TearDown() override
    {
        delete Prnt::loaded();
        ReportControl::setPrinterChooser({});
    }

    // The supplier list's request (A1 / A2).
    PrintRequest listRequest(const QString &title)
    {
        PrintRequest r;
        r.testedFile = "prnta12.rpt";
        r.reportFile = "Prnta12.rpt";
        r.stagingTable = "PrTA1";
        r.stagingColumns = kListColumns;
        r.stagingRows = GridTextRows(grid, {0, 1, 2, 3, 4, 5, 6});
        r.formulas = {FormulaText("Cpt", title)};
        return r;
    }

    const report::FilledReport *shownReport()
    {
        Prnt *host = Prnt::loaded();
        return host ? host->Cry->filledReport() : nullptr;
    }

    TestBook book;
    GridModel grid{7};
};

} // namespace

TEST(PrintTexts, FormulasAndSelectionsQuoteTheirValues)
{
    EXPECT_EQ(FormulaText("Cpt", s("供货单位列表")), s("Cpt='供货单位列表'"));
    EXPECT_EQ(FormulaText("gys", s("供货单位：O'Brien")), s("gys='供货单位：O''Brien'"));
    EXPECT_EQ(SelectionFormulaText("TB1", "RK0001"), "{TB1.F1}='RK0001'");
    EXPECT_EQ(SelectionFormulaText("TB1", "A'1"), "{TB1.F1}='A''1'");
}

TEST_F(PrintRequestTest, MissingTemplateStagesNothingAndShowsNoHost)
{
    book.exec("insert into PrTA1 (F1) values ('earlier')");
    grid.setDataRows({{"A01", "x"}});
    PrintRequest r = listRequest(s("货品类别编码表"));
    r.testedFile = "prnTA3.rpt";
    r.reportFile = "PrnTA3.rpt";
    EXPECT_FALSE(RunPrintRequest(r));
    ASSERT_EQ(book.prompt().shown.size(), 1);
    EXPECT_EQ(book.prompt().shown[0].title, s("提示"));
    EXPECT_EQ(book.prompt().shown[0].text, s("报表文件prnTA3.rpt丢失！"));
    EXPECT_EQ(book.prompt().shown[0].icon, Prompt::Icon::Information);
    EXPECT_EQ(book.value("select group_concat(F1) from PrTA1"), "earlier");
    EXPECT_EQ(Prnt::loaded(), nullptr);

    r.missingMessage = s("报表文件丢失！");
    EXPECT_FALSE(RunPrintRequest(r));
    EXPECT_EQ(book.prompt().lastText(), s("报表文件丢失！"));
}

TEST_F(PrintRequestTest, AListIsStagedRowByRowAndPreviewed)
{
    grid.setDataRows({{"A01", s("东方公司"), s("北京"), "010-1", "", "x@y", s("备注")}, {"A02", "O'Brien"}});
    ASSERT_TRUE(RunPrintRequest(listRequest(s("供货单位列表"))));
    EXPECT_TRUE(book.prompt().shown.isEmpty());
    EXPECT_EQ(book.value("select count(*) from PrTA1"), "2");
    EXPECT_EQ(book.value("select F2 from PrTA1 where F1='A02'"), "O'Brien");
    EXPECT_EQ(book.value("select F6 from PrTA1 where F1='A01'"), "x@y");

    Prnt *host = Prnt::loaded();
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(host->isVisible());
    EXPECT_EQ(host->windowTitle(), s("打印"));
    EXPECT_EQ(host->Cry->dataFiles(0), book.bookPath());
    EXPECT_EQ(host->Cry->reportFileName(), book.dir() + "/Prnta12.rpt");
    EXPECT_EQ(host->Cry->formulas(0), s("Cpt='供货单位列表'"));
    EXPECT_EQ(host->Cry->destination(), 0);
    ASSERT_NE(host->Cry->previewWidget(), nullptr);
    EXPECT_TRUE(host->Cry->previewWidget()->isVisible());
    EXPECT_EQ(host->Cry->previewWidget()->parentWidget(), host->PreviewArea);
    EXPECT_EQ(host->Cry->previewWidget()->pos(), QPoint(0, 0));

    const report::FilledReport *r = shownReport();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->formula("Cpt"), s("供货单位列表"));
    ASSERT_EQ(r->rows.size(), 2);
    EXPECT_EQ(r->rows[0], QStringList({"A01", s("东方公司"), s("北京"), "010-1", "", "x@y", s("备注")}));
    EXPECT_EQ(r->pageCount(), 1);
    EXPECT_TRUE(r->pageText(0).startsWith(s("供货单位列表\n")));
}

// Texts are staged as texts (an empty or missing one as '', never NULL), numbers
// as numbers; rows from a grid stage the chosen columns in their order.
TEST_F(PrintRequestTest, StagingKeepsEveryTextAndNumberAsGiven)
{
    const QString longText = QString(300, QChar(0x8D27)) + "x";
    QString error;
    ASSERT_TRUE(StageRows(book.db(), "Plist", {"F0", "F1", "F2", "V1"},
                          {{"00001", s("螺丝 M6"), "", 2.5}, {"00002", longText}, {"00003", "a\tb"}}, &error))
        << error.toStdString();
    EXPECT_EQ(book.value("select group_concat(F0 || '|' || typeof(F1) || '|' || typeof(F2) || '|' || typeof(V1), ';')"
                         " from (select * from Plist order by rowid)"),
              "00001|text|text|real;00002|text|text|text;00003|text|text|text");
    EXPECT_EQ(book.value("select F1 from Plist where F0='00001'"), s("螺丝 M6"));
    EXPECT_EQ(book.value("select F1 from Plist where F0='00002'"), longText);
    EXPECT_EQ(book.value("select F1 from Plist where F0='00003'"), "a\tb");
    EXPECT_EQ(book.number("select V1 from Plist where F0='00001'"), 2.5);

    grid.setDataRows({{"A01", s("东方公司"), "", "", "", "", s("备注")}, {"A02", ""}});
    ASSERT_TRUE(StageGridRows(book.db(), "PrTA1", {"F1", "F2", "F3"}, grid, {6, 0, 1}, &error))
        << error.toStdString();
    EXPECT_EQ(book.value("select group_concat(F1 || '|' || F2 || '|' || F3 || '|' || typeof(F4), ';')"
                         " from (select * from PrTA1 order by rowid)"),
              s("备注|A01|东方公司|null;|A02||null"));
}

TEST_F(PrintRequestTest, AnEmptyListStagesOneBlankRowAndStillPreviews)
{
    book.exec("insert into PrTA1 (F1) values ('earlier'), ('rows')");
    ASSERT_TRUE(RunPrintRequest(listRequest(s("出货单位列表"))));
    EXPECT_EQ(book.value("select count(*) from PrTA1"), "1");
    EXPECT_EQ(book.value("select F1 || F2 || F7 from PrTA1"), "");
    ASSERT_NE(shownReport(), nullptr);
    EXPECT_EQ(shownReport()->rows, QVector<QStringList>({QStringList(7, QString())}));
    EXPECT_EQ(shownReport()->pageCount(), 1);
    Prnt *host = Prnt::loaded();
    EXPECT_TRUE(host->isVisible());
    ASSERT_NE(host->Cry->previewWidget(), nullptr);
    EXPECT_TRUE(host->Cry->previewWidget()->isVisible());
    EXPECT_EQ(host->Cry->previewWidget()->pageView()->pageCount(), 1);
}

TEST_F(PrintRequestTest, ASecondRequestReusesTheOpenHost)
{
    grid.setDataRows({{"A01"}});
    ASSERT_TRUE(RunPrintRequest(listRequest(s("供货单位列表"))));
    Prnt *first = Prnt::loaded();
    QWidget *preview = first->Cry->previewWidget();

    grid.setDataRows({{"B01"}, {"B02"}});
    ASSERT_TRUE(RunPrintRequest(listRequest(s("出货单位列表"))));
    EXPECT_EQ(Prnt::loaded(), first);
    EXPECT_EQ(first->Cry->previewWidget(), preview);
    EXPECT_EQ(shownReport()->formula("Cpt"), s("出货单位列表"));
    EXPECT_EQ(shownReport()->rows.size(), 2);

    // Closed with Menu_Rtn, the next request loads a new host.
    first->Menu_Rtn->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Prnt::loaded(), nullptr);
    ASSERT_TRUE(RunPrintRequest(listRequest(s("供货单位列表"))));
    EXPECT_NE(Prnt::loaded(), nullptr);
}

TEST_F(PrintRequestTest, AFailedStagingIsShownAndLeavesTheTableAsItWas)
{
    book.exec("insert into PrTA1 (F1) values ('earlier')");
    grid.setDataRows({{"A01"}});
    PrintRequest r = listRequest(s("供货单位列表"));
    r.stagingColumns = {"F1", "F99"};
    EXPECT_FALSE(RunPrintRequest(r));
    ASSERT_EQ(book.prompt().shown.size(), 1);
    EXPECT_TRUE(book.prompt().lastText().startsWith(s("无法准备打印数据！系统返回如下信息：\n")));
    EXPECT_TRUE(book.prompt().shown.last().details.contains("F99"));
    EXPECT_EQ(book.value("select group_concat(F1) from PrTA1"), "earlier");
    EXPECT_EQ(Prnt::loaded(), nullptr);
    EXPECT_FALSE(book.db().inTransaction());
}

TEST_F(PrintRequestTest, ATemplateFailureIsShownAndShowsNoHost)
{
    // Documents printed through the shared staged template test no file first.
    grid.setDataRows({{"A01"}});
    PrintRequest r = listRequest(s("货品入库单"));
    r.testedFile.clear();
    r.reportFile = "Pdan.rpt";
    r.stagingTable = "Plist";
    r.stagingColumns = {"F0", "F1", "V1"};
    r.stagingRows = {{"00001", "G1", 2.5}};
    EXPECT_FALSE(RunPrintRequest(r));
    EXPECT_EQ(book.prompt().lastText(), s("报表文件Pdan.rpt丢失！"));
    EXPECT_EQ(Prnt::loaded(), nullptr);
    EXPECT_FALSE(book.db().inTransaction());
    // The staged rows stay until the next print, as with any print.
    EXPECT_EQ(book.number("select V1 from Plist where F0='00001'"), 2.5);
}

TEST_F(PrintRequestTest, MenuPrintSendsTheReportOnShowToThePrinter)
{
    grid.setDataRows({{"A01"}});
    ASSERT_TRUE(RunPrintRequest(listRequest(s("供货单位列表"))));
    const QString pdf = book.dir() + "/list.pdf";
    ReportControl::setPrinterChooser([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    Prnt::loaded()->Menu_prnt->trigger();
    EXPECT_EQ(Prnt::loaded()->Cry->destination(), 1);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF-"));
    EXPECT_TRUE(book.prompt().shown.isEmpty());
}

TEST_F(PrintRequestTest, TheHostOpensInTheMainWindowAndItsHelpModally)
{
    MForm main;
    grid.setDataRows({{"A01"}});
    ASSERT_TRUE(RunPrintRequest(listRequest(s("供货单位列表"))));
    Prnt *host = Prnt::loaded();
    auto *sub = qobject_cast<QMdiSubWindow *>(host->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(main.mdiArea()->subWindowList().count(sub), 1);
    ASSERT_TRUE(RunPrintRequest(listRequest(s("出货单位列表"))));
    EXPECT_EQ(host->parentWidget(), sub);
    EXPECT_EQ(main.mdiArea()->subWindowList().count(sub), 1);

    ScriptedDialogRunner runner;
    host->Cmd->click();
    EXPECT_EQ(runner.shown, QStringList({"PrntHelp"}));

    host->Menu_Rtn->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Prnt::loaded(), nullptr);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
}

// The help button stays in view and covers no page: at the bottom of the
// window until a report shows, then on the preview's tool bar, right of the
// buttons its arrow points at.
TEST_F(PrintRequestTest, TheHelpButtonStaysInViewAndCoversNoPage)
{
    Prnt &host = Prnt::instance();
    host.show();
    EXPECT_EQ(host.Cmd->text(), s("<- 帮 助"));
    EXPECT_EQ(host.Menu_prnt->text(), s("&P.打印"));
    EXPECT_EQ(host.Menu_Rtn->text(), s("&R.返回"));
    EXPECT_EQ(host.Label1->text(), s("对不起，您的电脑没有安装打印机!"));
    // Without a preview the operator sees the label, and the button near the bottom edge.
    EXPECT_EQ(host.PreviewArea->childAt(host.Label1->geometry().center()), host.Label1);
    EXPECT_EQ(host.Cmd->geometry(), QRect(300, host.height() - 58, 73, 23));

    // With a report on show, the preview lies over the label and the button beside its tool buttons.
    grid.setDataRows({{"A01"}});
    ASSERT_TRUE(RunPrintRequest(listRequest(s("供货单位列表"))));
    ASSERT_EQ(Prnt::loaded(), &host);
    EXPECT_NE(host.PreviewArea->childAt(host.Label1->geometry().center()), host.Label1);
    report::ReportPreview *preview = host.Cry->previewWidget();
    ASSERT_NE(preview, nullptr);
    const auto inHost = [&](QWidget *w) { return QRect(w->mapTo(&host, QPoint(0, 0)), w->size()); };
    for (const QSize size : {QSize(640, 480), QSize(800, 300), QSize(1000, 700)}) {
        host.resize(size);
        QCoreApplication::processEvents();
        SCOPED_TRACE(size.width());
        const QRect help = inHost(host.Cmd);
        EXPECT_TRUE(host.Cmd->isVisible());
        EXPECT_TRUE(host.rect().contains(help)) << help.left() << "," << help.right() << " " << host.width();
        EXPECT_EQ(host.childAt(help.center()), host.Cmd);
        EXPECT_FALSE(help.intersects(inHost(preview->pageView()->viewport())));
        const QRect exportPdf = inHost(preview->findChild<QWidget *>("ExportPdf"));
        EXPECT_GT(help.left(), exportPdf.right());
        EXPECT_NEAR(help.center().y(), exportPdf.center().y(), 2);
        EXPECT_EQ(host.Cry->previewWidget()->size(), host.PreviewArea->size());
    }

    // A second report keeps the button where it is.
    ASSERT_TRUE(RunPrintRequest(listRequest(s("出货单位列表"))));
    EXPECT_EQ(host.Cmd->parentWidget(), preview->toolBar());
    EXPECT_EQ(preview->toolBar()->findChildren<QPushButton *>().size(), 1);
}

namespace {

// Records the mouse pointer shown with each message.
class PointerPrompt : public Prompt {
public:
    explicit PointerPrompt(RecordingPrompt &restore) : restore_(restore) { Prompt::setCurrent(this); }
    ~PointerPrompt() override { Prompt::setCurrent(&restore_); }
    void message(const QString &, const QString &, Icon) override
    {
        const QCursor *cursor = QApplication::overrideCursor();
        shapes.append(cursor ? cursor->shape() : Qt::ArrowCursor);
    }
    bool ask(const QString &, const QString &, Icon) override { return false; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override { return {}; }

    QList<Qt::CursorShape> shapes;

private:
    RecordingPrompt &restore_;
};

} // namespace

TEST_F(PrintRequestTest, TheHourglassShowsForTheWholeRequestOnly)
{
    PrintRequest r = listRequest(s("供货单位列表"));
    {
        PointerPrompt prompt(book.prompt());
        r.testedFile = "none.rpt";
        EXPECT_FALSE(RunPrintRequest(r));
        EXPECT_EQ(prompt.shapes, QList<Qt::CursorShape>({Qt::WaitCursor}));
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    r.testedFile = "prnta12.rpt";
    ASSERT_TRUE(RunPrintRequest(r));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
