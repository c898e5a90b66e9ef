// The total of a note, shown in its total box and stored with the note, is
// the exact decimal sum of its lines, however many two-decimal lines it has.
#include "DocumentWindowFixture.h"

#include "documents/StocktakingKind.h"
#include "platform/NumberText.h"
#include "support/CentAmounts.h"

#include <QAction>
#include <QPushButton>

using namespace documents;

namespace {

struct TotalCase {
    const char *kind;
    int keepPrices;
};

class DocumentTotals : public DocumentWindowBook, public ::testing::WithParamInterface<TotalCase> {
protected:
    // A stored unaudited note with a line per figure, whose quantity and
    // amount (for the stocktaking note: its difference and amount) are the
    // figure, and one line "X" more.
    void storeNote(const DocumentKind &kind, const QVector<double> &figures)
    {
        const bool stocktaking = kind.linesCarryBookQuantity;
        book.exec("BEGIN");
        book.exec(QStringLiteral("insert into %1 (F1,F2,F3,F5,F9,F10) values ('N1','2026-12-01','001','录入',0,'')")
                      .arg(kind.headerTable));
        const QString line = stocktaking
            ? QStringLiteral("insert into %1 (F0,F1,F5,F6,F7,F8) values ('N1',?,0,?,1,'')").arg(kind.lineTable)
            : QStringLiteral("insert into %1 (F0,F1,F6,F7,F8) values ('N1',?,?,1,'')").arg(kind.lineTable);
        for (int i = 0; i < figures.size(); ++i) {
            const QString code = QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0'));
            addGoods(code, 0, 1);
            book.exec(line, {code, figures[i]});
        }
        addGoods(QStringLiteral("X"), 0, 1);
        book.exec(line, {QStringLiteral("X"), 1});
        book.exec("COMMIT");
    }
};

TEST_P(DocumentTotals, ManyTwoDecimalLinesTotalTheirExactDecimalSum)
{
    const TotalCase c = GetParam();
    const DocumentKind &kind = QString::fromLatin1(c.kind) == "C2" ? stocktakingNoteKind() : B1;
    const CentAmounts figures = centAmounts(1500, kNoisySeeds[0]);
    storeNote(kind, figures.values);
    m().gOptKeepPrices = c.keepPrices;
    open(QString::fromLatin1(c.kind));
    trigger(QStringLiteral("Menu_edit"));
    ASSERT_EQ(window->Edstu(), 2);
    child(QStringLiteral("TxtHPBM"))->setText(QStringLiteral("X"));
    book.prompt().answerYes();
    child<QPushButton>(QStringLiteral("CmdDel"))->click();  // the total is worked out over the lines left

    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), figures.sum);
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0) << book.prompt().lastText().toStdString();
    const double stored = book.number(QStringLiteral("select F9 from %1").arg(kind.headerTable));
    EXPECT_EQ(stored, numtext::leadingNumber(figures.sum));
    EXPECT_EQ(window->listGrid().textMatrix(1, 5), figures.sum);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DocumentTotals,
                         ::testing::Values(TotalCase{"B1", 1}, TotalCase{"B1", 0}, TotalCase{"C2", 1},
                                           TotalCase{"C2", 0}),
                         [](const auto &info) {
                             return std::string(info.param.kind) + (info.param.keepPrices ? "Amounts" : "Quantities");
                         });

} // namespace
