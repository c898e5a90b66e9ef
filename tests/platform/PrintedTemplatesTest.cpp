// The templates that lie beside the program, filled on staged rows and drawn
// the way the preview and the printer draw them.
#include "support/TestBook.h"

#include "platform/report/ReportEngine.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportTemplate.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QProcess>
#include <gtest/gtest.h>

using namespace report;

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

// A text drawn: where its baseline starts and in which font.
struct DrawnText {
    QString text;
    QPointF at;
    QFont font;
};

// A paint device that keeps the texts drawn on it, at 72 dots per inch (one
// dot a point, as the painter's units).
class TextRecorder : public QPaintDevice {
public:
    QVector<DrawnText> drawn() const { return engine_.drawn; }
    QPaintEngine *paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight: return 2000;
        case PdmWidthMM:
        case PdmHeightMM: return 2000 * 254 / 720;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 72;
        case PdmDepth: return 32;
        case PdmNumColors: return 1 << 24;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}  // rules and lines
        void drawTextItem(const QPointF &at, const QTextItem &item) override
        {
            drawn.append({item.text(), at, item.font()});
        }
        Type type() const override { return QPaintEngine::User; }
        QVector<DrawnText> drawn;
    };
    mutable Engine engine_;
};

// Every text drawn on page 0.
QVector<DrawnText> drawnItems(const FilledReport &r)
{
    TextRecorder device;
    QPainter painter(&device);
    paintPage(r, 0, painter);
    painter.end();
    return device.drawn();
}

QStringList drawnTexts(const FilledReport &r)
{
    QStringList texts;
    for (const DrawnText &d : drawnItems(r))
        texts.append(d.text);
    return texts;
}

ReportTemplate shipped(const char *name)
{
    ReportTemplate t;
    QString error;
    EXPECT_TRUE(loadTemplate(qEnvironmentVariable("WAREHOUSE_APP_DIR") + QLatin1Char('/') + QLatin1String(name), t,
                             &error))
        << name << ": " << error.toStdString();
    return t;
}

FilledReport fill(TestBook &book, const ReportTemplate &t)
{
    QString error;
    auto r = fillReport(book.db(), t, ReportInput{}, &error);
    EXPECT_TRUE(r.has_value()) << error.toStdString();
    return r ? *r : FilledReport{};
}

// One note of each kind with its party, numbered as the cases of the
// templates that read a note from the book select it.
void addNoteHeaders(TestBook &book)
{
    book.exec("insert into TA1 (F1,F2) values ('S1','华东供应')");
    book.exec("insert into TA2 (F1,F2) values ('R1','城西门市')");
    book.exec("insert into TB1 (F1,F2,F3) values ('RK26120001','2026-12-11','S1')");
    book.exec("insert into TB3 (F1,F2,F3) values ('TH26120001','2026-12-11','S1')");
    book.exec("insert into TD1 (F1,F2,F3) values ('CK26120001','2026-12-11','R1')");
    book.exec("insert into TD3 (F1,F2,F3) values ('TK26120001','2026-12-11','R1')");
    book.exec("insert into TC2 (F1,F2) values ('PD26120001','2026-12-11')");
}

// Empties the staging tables and the notes' lines: the rows templates print.
void clearPrintedLines(TestBook &book)
{
    for (const char *table : {"Plist", "PRTc1", "PRTB2", "PrTA1", "TB11", "TB31", "TD11", "TD31", "TC21"})
        book.exec(QStringLiteral("delete from %1").arg(table));
}

} // namespace

TEST(PrintedTemplatesTest, NumbersAreDrawnWholeAndTextIsCutOnlyOnAFullPage)
{
    TestBook book;
    book.exec(s("insert into TA4 (F1,F2,F5,F4) values ('G1','高强度六角头螺栓加长型','M12x150 镀锌 8.8级','套')"));
    book.exec("insert into Plist (F0,F1,F6,F7,F8,V1,V2) values ('00001','G1','100','12345.67','1234567.89',100,12345.67)");
    const QStringList note = drawnTexts(fill(book, shipped("Pdan.rpt")));
    EXPECT_TRUE(note.contains("12345.67")) << note.join('|').toStdString();
    EXPECT_TRUE(note.contains("1234567.89")) << note.join('|').toStdString();

    // A name column of a small share: on a page with room beside it the name
    // is whole; on a page too small for it, the name is cut and the number
    // beside it still whole.
    const QString columns = s("[data]\nfrom = Plist\n[columns]\ncolumn = 名称 | F1 | 4\n"
                              "column = 金额 | F8 | 4 | right\ncolumn = 备注 | F9 | 60\n");
    const QString name = s("很长很长很长很长的货品名称");
    book.exec("delete from Plist");
    book.exec("insert into Plist (F1,F8) values (?, '-1,000,000.00')", {name});
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "a full page" : "room beside");
        ReportTemplate layout;
        QString error;
        ASSERT_TRUE(parseTemplate((full ? s("[page]\nsize = 65x30\nmargins = 5\n") : QString()) + columns, layout, &error))
            << error.toStdString();
        const QStringList drawn = drawnTexts(fill(book, layout));
        EXPECT_TRUE(drawn.contains("-1,000,000.00")) << drawn.join('|').toStdString();
        EXPECT_EQ(drawn.contains(name), !full) << drawn.join('|').toStdString();
        EXPECT_EQ(std::any_of(drawn.begin(), drawn.end(), [](const QString &t) { return t.endsWith(QChar(0x2026)); }),
                  full);
    }
}

// Goods codes run to 25 characters. On the notes of both schemes, the
// journals and every list that prints a code, a code prints whole: in the
// body size at an everyday length, smaller but readable when long, and never
// into the name printed beside it.
TEST(PrintedTemplatesTest, GoodsCodesPrintWholeBesideTheirNames)
{
    const QString name = s("高强度六角头螺栓");
    const struct {
        const char *file;
        const char *stage;  // one line of the goods: its code ?1 (and name ?2 where staged)
        const char *selection = "";
    } cases[] = {
        {"prntb10.rpt", "insert into TB11 (F0,F1,F6,F7) values ('RK26120001',?1,1,2)", "{TB1.F1}='RK26120001'"},
        {"prntb30.rpt", "insert into TB31 (F0,F1,F6,F7) values ('TH26120001',?1,1,2)", "{TB3.F1}='TH26120001'"},
        {"prntd10.rpt", "insert into TD11 (F0,F1,F6,F7) values ('CK26120001',?1,1,2)", "{TD1.F1}='CK26120001'"},
        {"prntd30.rpt", "insert into TD31 (F0,F1,F6,F7) values ('TK26120001',?1,1,2)", "{TD3.F1}='TK26120001'"},
        {"prnTC2.rpt", "insert into TC21 (F0,F1,F5,F6,F7) values ('PD26120001',?1,1,2,3)", "{TC2.F1}='PD26120001'"},
        {"Pdan.rpt", "insert into Plist (F0,F1,F6,F7,F8) values ('00001',?1,'1','2','2')"},
        {"Plstsl.rpt", "insert into Plist (F1,F2,F6,F7,F11,F15) values ('RK26120001','2026-12-11',?1,?2,'1','1')"},
        {"Plstje.rpt", "insert into Plist (F1,F2,F6,F7,F11,F15) values ('RK26120001','2026-12-11',?1,?2,'1','1')"},
        {"Plist.rpt", "insert into Plist (F0,F1,F2,F6,F7,V1,V2) values ('00001','RK26120001','2026-12-11',?1,?2,1,2)"},
        {"Psum.rpt", "insert into Plist (F6,F7,V1,V2) values (?1,?2,1,2)"},
        {"Pjxc02.rpt", "insert into Plist (F0,F1,F2,F4) values ('00002',?1,?2,'1')"},
        {"pjxc01.rpt", "insert into Plist (F0,F1,F2,F5) values ('0001',?1,?2,'1')"},
        {"Prntc1.rpt", "insert into PRTc1 (F1,F2,F6) values (?1,?2,'1')"},
        {"Prntc1sl.rpt", "insert into PRTc1 (F1,F2,F6) values (?1,?2,'1')"},
        {"Prntc3.rpt", "insert into PRTB2 (F4,F5,F6) values (?1,?2,'1')"},
        {"Prntlst.rpt", "insert into PRTB2 (F1,F2,F4,F5,F6) values ('PD26120001','2026-12-11',?1,?2,'1')"},
        {"PrnTa4.rpt", "insert into PrTA1 (F1,F2) values (?1,?2)"},
    };
    TestBook book;
    addNoteHeaders(book);
    TextRecorder points;  // 72 dots per inch: widths in points
    for (const auto &c : cases) {
        const ReportTemplate layout = shipped(c.file);
        for (const QString &code : {QStringLiteral("GJ-2026-000001"), QStringLiteral("GJ-2026-1211-ABCDEF-00001")}) {
            SCOPED_TRACE(std::string(c.file) + " " + code.toStdString());
            clearPrintedLines(book);
            book.exec("delete from TA4");
            book.exec("insert into TA4 (F1,F2) values (?,?)", {code, name});
            const QString stage = QString::fromLatin1(c.stage);
            book.exec(stage, stage.contains("?2") ? QVariantList{code, name} : QVariantList{code});
            ReportInput input;
            input.selectionFormula = c.selection;
            QString error;
            const auto r = fillReport(book.db(), layout, input, &error);
            ASSERT_TRUE(r.has_value()) << error.toStdString();
            const QVector<DrawnText> items = drawnItems(*r);
            const auto find = [&](auto match) { return std::find_if(items.begin(), items.end(), match); };
            const auto drawnCode = find([&](const DrawnText &d) { return d.text == code; });
            const auto drawnName = find([&](const DrawnText &d) { return d.text.startsWith(name.left(3)); });
            ASSERT_NE(drawnCode, items.end());
            ASSERT_NE(drawnName, items.end());
            const double size = drawnCode->font.pointSizeF();
            if (code.size() < 20) {
                EXPECT_NEAR(size, layout.fontSize, 0.01);
            }
            EXPECT_GE(size, 7.0);
            EXPECT_LE(drawnCode->at.x() + QFontMetricsF(drawnCode->font, &points).horizontalAdvance(code),
                      drawnName->at.x());
            // A caption names its column: it is drawn whole, never cut.
            for (const Column &column : layout.columns) {
                if (!column.caption.isEmpty()) {
                    EXPECT_NE(find([&](const DrawnText &d) { return d.text == column.caption; }), items.end())
                        << column.caption.toStdString();
                }
            }
        }
    }
}

// The stocktaking note prints its quantities as the lists show them: a book
// quantity of 40.125 beside a count of 40.125 is no difference of 0.005.
TEST(PrintedTemplatesTest, StocktakingNotePrintsQuantitiesWithTheirOwnDecimals)
{
    const struct {
        const char *code;
        double book, counted;
        const char *bookText, *countedText, *differenceText;
    } lines[] = {
        {"A", 40.125, 40.125, "40.125", "40.125", "0"},
        {"B", 12.5, 10, "12.5", "10", "-2.5"},
        {"C", 8, 9, "8", "9", "1"},
        {"D", 1.0 / 3, 0.5, "0.333", "0.5", "0.167"},
    };
    TestBook book;
    book.exec("insert into TC2 (F1,F2) values ('PD26120001','2026-12-11')");
    for (const auto &l : lines)
        book.exec("insert into TC21 (F0,F1,F5,F6,F7) values ('PD26120001',?,?,?,2)", {l.code, l.book, l.counted});
    ReportInput input;
    input.selectionFormula = QStringLiteral("{TC2.F1}='PD26120001'");
    QString error;
    const auto r = fillReport(book.db(), shipped("prnTC2.rpt"), input, &error);
    ASSERT_TRUE(r.has_value()) << error.toStdString();
    constexpr int kBook = 4, kCounted = 5, kDifference = 7;
    ASSERT_EQ(r->rows.size(), int(std::size(lines)));
    for (int i = 0; i < r->rows.size(); ++i) {
        const QStringList row = r->rows[i];
        EXPECT_EQ(row[kBook], lines[i].bookText) << lines[i].code;
        EXPECT_EQ(row[kCounted], lines[i].countedText) << lines[i].code;
        EXPECT_EQ(row[kDifference], lines[i].differenceText) << lines[i].code;
    }
    EXPECT_EQ(r->totals[kBook], "60.958");
    EXPECT_EQ(r->totals[kCounted], "59.625");
    EXPECT_EQ(r->totals[kDifference], "-1.333");
    const QStringList drawn = drawnTexts(*r);
    EXPECT_EQ(drawn.count("40.125"), 2) << drawn.join('|').toStdString();
}

// Row numbers are staged as zero-padded texts of fixed width; past the width
// their text order is not the staged order.
TEST(PrintedTemplatesTest, LongReportsPrintInTheirStagedOrder)
{
    const struct {
        const char *file;
        int width;
        int codeColumn;
    } cases[] = {{"pjxc01.rpt", 4, 0}, {"Pjxc02.rpt", 5, 0}, {"Plist.rpt", 5, 3}, {"Pdan.rpt", 5, 1}};
    TestBook book;
    constexpr int kRows = 10001;
    for (const auto &c : cases) {
        {
            db::Transaction tx(book.db());
            book.exec("delete from Plist");
            for (int i = 1; i <= kRows; ++i)
                book.exec("insert into Plist (F0,F1,F6) values (?,?,?)",
                          {QStringLiteral("%1").arg(i, c.width, 10, QLatin1Char('0')),
                           QStringLiteral("G%1").arg(i), QStringLiteral("G%1").arg(i)});
            ASSERT_TRUE(tx.commit());
        }
        const FilledReport r = fill(book, shipped(c.file));
        ASSERT_EQ(r.rows.size(), kRows) << c.file;
        bool inOrder = true;
        for (int i = 0; i < kRows && inOrder; ++i) {
            inOrder = r.rows[i][c.codeColumn] == QStringLiteral("G%1").arg(i + 1);
            EXPECT_TRUE(inOrder) << c.file << " row " << i + 1 << " shows " << r.rows[i][c.codeColumn].toStdString();
        }
    }
}

namespace {

// A goods as clerks name it: a long name beside a short size/model and a
// short line remark.
const QString kLongName = s("加厚双层防潮防震气泡膜卷材宽一米二长五十米透明款工业用");
const QString kSizeModel = s("六件套PH1/PH2");
const QString kRemark = s("三层加厚");

// The cells of the first detail row as page 0 prints them.
QVector<LaidOutCell> firstPrintedRow(const FilledReport &r)
{
    for (const ReportLine &line : r.pages.first().body)
        if (line.kind == LineKind::Detail)
            return line.printed;
    return {};
}

// A printed cell as it reads: its lines one after the other (a line that
// breaks after a space leaves the space out).
QString reads(const QString &text)
{
    return QString(text).remove(QLatin1Char('\n')).remove(QLatin1Char(' '));
}

// The text of a PDF file as poppler reads it back.
QString pdfText(const QString &pdf)
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils, installed by scripts/setup) cannot read " << pdf.toStdString();
        return {};
    }
    return QString::fromUtf8(reader.readAllStandardOutput());
}

} // namespace

// Every template that prints goods names, sizes/models or remarks prints
// them whole on a page with room for them: the long name goes on in further
// lines of its row, the short size/model and remark stay on one line, the
// figures keep the body size; read back from the laid-out page and from the
// PDF file.
TEST(PrintedTemplatesTest, NamesSizesModelsAndRemarksPrintWhole)
{
    // ?1 the goods code, ?2 its name, ?3 its size/model, ?4 the remark.
    const struct {
        const char *file;
        const char *stage;
        const char *selection;
        int name, sizeModel, remark;  // columns; -1: not printed
        const char *nameText = nullptr;   // a column of name, size/model and unit together
    } cases[] = {
        {"prntb10.rpt", "insert into TB11 (F0,F1,F6,F7,F8) values ('RK26120001',?1,10,12.5,?4)",
         "{TB1.F1}='RK26120001'", 1, 2, 7},
        {"prntb30.rpt", "insert into TB31 (F0,F1,F6,F7,F8) values ('TH26120001',?1,10,12.5,?4)",
         "{TB3.F1}='TH26120001'", 1, 2, 7},
        {"prntd10.rpt", "insert into TD11 (F0,F1,F6,F7,F8) values ('CK26120001',?1,10,12.5,?4)",
         "{TD1.F1}='CK26120001'", 1, 2, 7},
        {"prntd30.rpt", "insert into TD31 (F0,F1,F6,F7,F8) values ('TK26120001',?1,10,12.5,?4)",
         "{TD3.F1}='TK26120001'", 1, 2, 7},
        {"prnTC2.rpt", "insert into TC21 (F0,F1,F5,F6,F7,F8) values ('PD26120001',?1,10,9,12.5,?4)",
         "{TC2.F1}='PD26120001'", 1, 2, 9},
        {"Pdan.rpt", "insert into Plist (F0,F1,F6,F7,F8,F9) values ('00001',?1,'10','12.50','125.00',?4)", "", 2, 3, 8},
        {"Plist.rpt",
         "insert into Plist (F0,F1,F2,F4,F6,F7,F8,F11,F13,F15,V1,V2) "
         "values ('00001','RK26120001','2026-12-11','华东供应',?1,?2,?3,'卷','12.50',?4,10,125)",
         "", 4, 5, 10},
        {"Plstsl.rpt",
         "insert into Plist (F1,F2,F3,F5,F6,F7,F8,F9,F11,F15,M2) "
         "values ('RK26120001','2026-12-11','华东供应','包装材料',?1,?2,?3,'卷','10','10',?4)",
         "", 5, 6, 11},
        {"Plstje.rpt",
         "insert into Plist (F1,F2,F3,F6,F7,F9,F10,F11,F12,F15,M1) "
         "values ('RK26120001','2026-12-11','华东供应',?1,?2,'卷','12.50','10','125.00','10','125.00')",
         "", 4, -1, -1},
        {"Psum.rpt", "insert into Plist (F6,F7,F8,F11,V1,V2) values (?1,?2,?3,'卷',10,125)", "", 1, 2, -1},
        {"Pjxc02.rpt",
         "insert into Plist (F0,F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F13) values ('00002',?1,?2,"
         "'.0920553004591735','1234.5','113.64','10','0.92','1244.5','114.56','0','0','包装材料')",
         "", 1, -1, -1, "%1/%2/卷"},
        {"pjxc01.rpt",
         "insert into Plist (F0,F1,F2,F3,F4,F5,F6,F7,F8,F9,F10) "
         "values ('0001',?1,?2,'12.50','卷','10','5','0','3','0','12')",
         "", 1, -1, -1, "%1/%2"},
        {"Prntc1.rpt", "insert into PRTc1 (F1,F2,F3,F4,F5,F6,F7,F8) values (?1,?2,'包装材料','卷',?3,10,12.5,125)", "",
         1, 4, -1},
        {"Prntc1sl.rpt", "insert into PRTc1 (F1,F2,F3,F4,F5,F6) values (?1,?2,'包装材料','卷',?3,10)", "", 1, 4, -1},
        {"Prntc3.rpt", "insert into PRTB2 (F4,F5,F6,F7,F8) values (?1,?2,-2,12.5,-25)", "", 1, -1, -1},
        {"Prntlst.rpt",
         "insert into PRTB2 (F1,F2,F3,F4,F5,F6,F7,F8) values ('PD26120001','2026-12-11','王五',?1,?2,-2,12.5,-25)", "",
         4, -1, -1, "%1/%2/卷"},
        {"PrnTa4.rpt", "insert into PrTA1 (F1,F2,F3,F4,F5,F6,F7) values (?1,?2,'包装材料','卷',?3,'12.50',?4)", "", 1,
         4, 6},
        {"Prnta12.rpt", "insert into PrTA1 (F1,F2,F3,F4,F7) values (?1,?2,'城西工业园','021-5555',?4)", "", 1, -1, 6},
        {"PrnTA3.rpt", "insert into PrTA1 (F1,F2) values (?1,?2)", "", 1, -1, -1},
    };
    TestBook book;
    addNoteHeaders(book);
    const QString code = QStringLiteral("BZ-QPM-1200");
    book.exec("insert into TA4 (F1,F2,F5,F4) values (?,?,?,?)", {code, kLongName, kSizeModel, s("卷")});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        clearPrintedLines(book);
        const QString name = c.nameText ? QString::fromUtf8(c.nameText).arg(kLongName, kSizeModel) : kLongName;
        QVariantList values{code, name, kSizeModel, kRemark};
        const QString stage = QString::fromUtf8(c.stage);
        while (!values.isEmpty() && !stage.contains(QStringLiteral("?%1").arg(values.size())))
            values.removeLast();
        book.exec(stage, values);
        ReportInput input;
        input.selectionFormula = c.selection;
        QString error;
        const auto r = fillReport(book.db(), shipped(c.file), input, &error);
        ASSERT_TRUE(r.has_value()) << error.toStdString();
        const QVector<LaidOutCell> row = firstPrintedRow(*r);
        ASSERT_EQ(row.size(), r->layout.columns.size());

        const struct {
            int column;
            QString text;
            bool oneLine;
        } texts[] = {{c.name, name, false}, {c.sizeModel, kSizeModel, true}, {c.remark, kRemark, true}};
        for (const auto &t : texts) {
            if (t.column < 0)
                continue;
            const QString printed = row[t.column].text;
            EXPECT_EQ(reads(printed), reads(t.text)) << printed.toStdString();
            if (t.oneLine) {
                EXPECT_EQ(printed, t.text);
            }
        }
        const QStringList whole = r->rows[0];
        for (int col = 0; col < row.size(); ++col) {
            const Column &column = r->layout.columns[col];
            if (column.figure()) {
                EXPECT_EQ(row[col].text, whole[col]) << column.caption.toStdString();
                EXPECT_EQ(row[col].size, r->layout.fontSize) << column.caption.toStdString();
            }
        }

        const QString pdf = book.dir() + QStringLiteral("/printed.pdf");
        ASSERT_TRUE(renderPdf(*r, pdf, &error)) << error.toStdString();
        const QString read = pdfText(pdf);
        EXPECT_FALSE(read.contains(QChar(0x2026))) << read.toStdString();
        for (const auto &t : texts) {
            if (t.column < 0)
                continue;
            for (const QString &line : row[t.column].text.split(QLatin1Char('\n')))
                EXPECT_TRUE(read.contains(line)) << line.toStdString() << "\n" << read.toStdString();
        }
    }
}


// A header line with a long party name: its left, centre and right texts
// stand side by side, none drawn over another, on every note that names its
// party.
TEST(PrintedTemplatesTest, HeaderTextsDoNotRunIntoEachOther)
{
    const QString party = s("上海市浦东新区华东包装材料供应有限责任公司第二分公司仓储物流部");
    const struct {
        const char *file;
        const char *selection;
    } cases[] = {{"prntb10.rpt", "{TB1.F1}='RK26120001'"}, {"prntb30.rpt", "{TB3.F1}='TH26120001'"},
                 {"prntd10.rpt", "{TD1.F1}='CK26120001'"}, {"prntd30.rpt", "{TD3.F1}='TK26120001'"}};
    TestBook book;
    addNoteHeaders(book);
    book.exec("update TA1 set F2 = ?", {party});
    book.exec("update TA2 set F2 = ?", {party});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        ReportInput input;
        input.selectionFormula = c.selection;
        QString error;
        const auto r = fillReport(book.db(), shipped(c.file), input, &error);
        ASSERT_TRUE(r.has_value()) << error.toStdString();
        TextRecorder device;
        QPainter painter(&device);
        paintPage(*r, 0, painter);
        painter.end();
        // The texts drawn on one baseline, left to right.
        QMap<int, QVector<QPair<double, double>>> lines;
        bool partyWhole = false;
        for (const DrawnText &d : device.drawn()) {
            const double w = QFontMetricsF(d.font, &device).horizontalAdvance(d.text);
            lines[qRound(d.at.y())].append({d.at.x(), d.at.x() + w});
            partyWhole = partyWhole || d.text.contains(party);
        }
        EXPECT_TRUE(partyWhole);
        for (auto line = lines.begin(); line != lines.end(); ++line) {
            std::sort(line->begin(), line->end());
            for (qsizetype i = 1; i < line->size(); ++i)
                EXPECT_LE((*line)[i - 1].second, (*line)[i].first + 0.5) << "baseline " << line.key();
        }
    }
}


// A remark too long for a page: its row takes the page's room and every line
// of it is drawn within the row, clear of the captions above and of the
// footer below.
TEST(PrintedTemplatesTest, LinesOfATallRowStayWithinTheRow)
{
    TestBook book;
    addNoteHeaders(book);
    QString remark;
    for (int i = 0; i < 60; ++i)
        remark += s("三层加厚防潮包装第%1号").arg(i);
    book.exec("insert into TA4 (F1,F2,F5,F4) values ('BZ1',?,?,?)", {kLongName, kSizeModel, s("卷")});
    book.exec("insert into TB11 (F0,F1,F6,F7,F8) values ('RK26120001','BZ1',10,12.5,?)", {remark});
    ReportInput input;
    input.selectionFormula = QStringLiteral("{TB1.F1}='RK26120001'");
    QString error;
    const auto r = fillReport(book.db(), shipped("prntb10.rpt"), input, &error);
    ASSERT_TRUE(r.has_value()) << error.toStdString();
    const ReportPage page = r->pages.first();
    double top = 0;
    for (const ReportLine &line : page.header)
        top += line.height;
    ASSERT_FALSE(page.body.isEmpty());
    const double bottom = top + page.body[0].height;
    ASSERT_GT(page.body[0].printed[7].text.count(QLatin1Char('\n')), 10);

    TextRecorder device;
    QPainter painter(&device);
    paintPage(*r, 0, painter);
    painter.end();
    int lines = 0;
    for (const DrawnText &d : device.drawn()) {
        if (!remark.contains(d.text))
            continue;
        ++lines;
        const QFontMetricsF metrics(d.font, &device);
        EXPECT_GE(d.at.y() - metrics.ascent(), top - 0.01) << d.text.toStdString();
        EXPECT_LE(d.at.y() + metrics.descent(), bottom + 0.01) << d.text.toStdString();
    }
    EXPECT_EQ(lines, page.body[0].printed[7].text.count(QLatin1Char('\n')) + 1);
}
