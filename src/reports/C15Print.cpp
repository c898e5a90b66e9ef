// Printing of the goods in/out journal: the grid's data rows, as shown,
// staged in Plist, and the headings of the filter on show.
#include "C15.h"

#include "db/DateText.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>

namespace {

const QStringList kStagingColumns = {
    QStringLiteral("F0"),  QStringLiteral("F1"),  QStringLiteral("F2"),  QStringLiteral("F3"),  QStringLiteral("F4"),
    QStringLiteral("F5"),  QStringLiteral("F6"),  QStringLiteral("F7"),  QStringLiteral("F8"),  QStringLiteral("F9"),
    QStringLiteral("F10"), QStringLiteral("F11"), QStringLiteral("F12"), QStringLiteral("F13"), QStringLiteral("F14"),
    QStringLiteral("F15"), QStringLiteral("M1"),  QStringLiteral("M2"),  QStringLiteral("V1"),  QStringLiteral("V2"),
    QStringLiteral("V3"),  QStringLiteral("V4"),  QStringLiteral("V5"),  QStringLiteral("V6"),  QStringLiteral("V7")};

constexpr int kTextColumns = 17;   // grid columns 0 .. 16 as texts
constexpr int kFirstNumber = 9;    // grid columns 9 .. 15 as numbers
constexpr int kLastNumber = 15;

} // namespace

void C15::printReport(const QString &reportFile)
{
    if (grid().textMatrix(1, 0).isEmpty()) {
        Prompt::current().message(QString(), QStringLiteral("没有数据可打印！"), Prompt::Icon::Information);
        return;
    }
    QApplication::processEvents();

    PrintRequest request;
    request.reportFile = reportFile;
    request.testedFile = reportFile;
    request.stagingTable = QStringLiteral("Plist");
    request.stagingColumns = kStagingColumns;
    const int count = recordCount();
    request.stagingRows.reserve(count);
    for (int r = 1; r <= count; ++r) {
        QVariantList values{QStringLiteral("%1").arg(r, 7, 10, QLatin1Char('0'))};
        for (int c = 0; c < kTextColumns; ++c)
            values.append(grid().textMatrix(r, c));
        for (int c = kFirstNumber; c <= kLastNumber; ++c)
            values.append(numtext::leadingNumber(grid().textMatrix(r, c)));
        request.stagingRows.append(values);
    }
    request.formulas = {
        FormulaText(QStringLiteral("RQ"), QStringLiteral("报表周期：") + db::dateText(DTP[0]->date()) +
                                              QStringLiteral("至") + db::dateText(DTP[1]->date())),
        FormulaText(QStringLiteral("LB"), QStringLiteral("货品类别：") + Comb->currentText()),
        FormulaText(QStringLiteral("cpt"), QStringLiteral("货品进出流水帐")),
        FormulaText(QStringLiteral("kh"),
                    QStringLiteral("往来单位：") + Module1::instance().GetPartnerName(CmbF3->currentText()))};
    RunPrintRequest(request);
}
