#include "DocumentPrinting.h"

#include "documents/LineEditor.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"

namespace documents {

PrintRequest schemeOneRequest(const DocumentKind &kind, const QString &number)
{
    PrintRequest request;
    request.reportFile = kind.schemeOneReport;
    request.testedFile = kind.schemeOneTestedFile.isEmpty() ? kind.schemeOneReport : kind.schemeOneTestedFile;
    request.missingMessage = kind.schemeOneMissingMessage;
    request.selectionFormula = SelectionFormulaText(kind.headerTable, number.trimmed());
    return request;
}

PrintRequest schemeTwoRequest(const DocumentKind &kind, const GridModel &lines, const PrintedHeader &header)
{
    PrintRequest request;
    request.reportFile = QStringLiteral("Pdan.rpt");
    request.testedFile = request.reportFile;
    request.stagingTable = QStringLiteral("Plist");
    request.stagingColumns = {QStringLiteral("F0"), QStringLiteral("F1"), QStringLiteral("F6"), QStringLiteral("F7"),
                              QStringLiteral("F8"), QStringLiteral("F9"), QStringLiteral("V1"), QStringLiteral("V2")};
    for (int r = 1; r < lines.rows(); ++r) {
        auto cell = [&lines, r](int col) { return lines.textMatrix(r, col); };
        // Number cells are read by their leading number: an empty cell is staged as 0.
        auto number = [&cell](int col) { return QVariant(numtext::leadingNumber(cell(col))); };
        // The text columns get the cell as shown, or the number's own text (12.50 as 12.5,
        // never the database's "5.0").
        auto shown = [&](int col) {
            return QVariant(kind.stagedNumbersAsText ? cell(col) : numtext::numToText(numtext::leadingNumber(cell(col))));
        };
        request.stagingRows.append({QStringLiteral("%1").arg(r, 5, 10, QLatin1Char('0')), cell(ColCode),
                                    shown(ColQuantity), shown(ColPrice), shown(ColAmount), cell(ColRemark),
                                    number(ColQuantity), number(ColPrice)});
    }
    const QString total = kind.stagedTotalAsNumToText ? numtext::numToText(numtext::leadingNumber(header.total))
                                                      : header.total;
    request.formulas = {FormulaText(QStringLiteral("Cpt"), kind.stagedTitle),
                        FormulaText(QStringLiteral("danNo"), header.number),
                        FormulaText(QStringLiteral("rq"), header.date),
                        FormulaText(QStringLiteral("gys"), kind.stagedPartyLabel + header.party),
                        FormulaText(QStringLiteral("sumje"), total)};
    if (kind.stagedSignatureLine && kind.stagedSignature) {
        request.formulas.append(
            FormulaText(QStringLiteral("qianming"), kind.stagedSignature(header.enteredBy, header.auditor)));
    } else if (kind.stagedSignatureLine) {
        const QString gap(18, QLatin1Char(' '));
        request.formulas.append(FormulaText(QStringLiteral("qianming"), QStringLiteral("制单人:") + header.enteredBy + gap
                                                                            + QStringLiteral("审核人:") + header.auditor
                                                                            + gap + QStringLiteral("经手人:")));
    }
    return request;
}

} // namespace documents
