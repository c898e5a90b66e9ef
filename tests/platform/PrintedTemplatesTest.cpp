// The templates that lie beside the program, filled on staged rows and drawn
// the way the preview and the printer draw them.
#include "support/TestBook.h"

#include "platform/report/ReportEngine.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportTemplate.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <gtest/gtest.h>

using namespace report;

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

// A paint device that keeps the texts drawn on it, at 72 dots per inch (one
// dot a point, as the painter's units).
class TextRecorder : public QPaintDevice {
public:
    QStringList texts() const { return engine_.texts; }
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
        void drawTextItem(const QPointF &, const QTextItem &item) override { texts.append(item.text()); }
        Type type() const override { return QPaintEngine::User; }
        QStringList texts;
    };
    mutable Engine engine_;
};

// Every text drawn on page 0.
QStringList drawnTexts(const FilledReport &r)
{
    TextRecorder device;
    QPainter painter(&device);
    paintPage(r, 0, painter);
    painter.end();
    return device.texts();
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

} // namespace

TEST(PrintedTemplatesTest, NumbersAreDrawnWholeAndOnlyTextIsCut)
{
    TestBook book;
    book.exec(s("insert into TA4 (F1,F2,F5,F4) values ('G1','高强度六角头螺栓加长型','M12x150 镀锌 8.8级','套')"));
    book.exec("insert into Plist (F0,F1,F6,F7,F8,V1,V2) values ('00001','G1','100','12345.67','1234567.89',100,12345.67)");
    const QStringList note = drawnTexts(fill(book, shipped("Pdan.rpt")));
    EXPECT_TRUE(note.contains("12345.67")) << note.join('|').toStdString();
    EXPECT_TRUE(note.contains("1234567.89")) << note.join('|').toStdString();

    // A column far too narrow: its number shrinks, its text is cut.
    QString error;
    ReportTemplate narrow;
    ASSERT_TRUE(parseTemplate(s("[data]\nfrom = Plist\n[columns]\ncolumn = 名称 | F1 | 4\n"
                                "column = 金额 | F8 | 4 | right\ncolumn = 备注 | F9 | 60\n"),
                              narrow, &error))
        << error.toStdString();
    book.exec("delete from Plist");
    book.exec(s("insert into Plist (F1,F8) values ('很长很长很长很长的货品名称', '-1,000,000.00')"));
    const QStringList drawn = drawnTexts(fill(book, narrow));
    EXPECT_TRUE(drawn.contains("-1,000,000.00")) << drawn.join('|').toStdString();
    EXPECT_FALSE(drawn.contains(s("很长很长很长很长的货品名称")));
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [](const QString &t) { return t.endsWith(QChar(0x2026)); }));
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
