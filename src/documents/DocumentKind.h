#pragma once

#include "db/Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>

class GridModel;
class Module1;

namespace documents {

struct DocumentKind;

// One stored line of a document as posting reads it.
struct StoredLine {
    QString code;
    double quantity = 0;
    double price = 0;
    double bookQuantity = 0;  // stocktaking lines only
};

// What one posting run knows: the kind, the note, the direction and the
// options in force. sign is +1 or -1: the kind's direction for an audit,
// its opposite for a cancel.
struct PostingContext {
    const DocumentKind &kind;
    db::Database &database;
    QString number;
    int sign = 1;
    bool cancel = false;
    bool noAverageCostUpdate = false;
    double salePriceFactor = 0;
    QString stamp;  // the line stamp text: the posting time, "00-00-00" on cancel

    // A statement prepared once per posting run and reset for each use
    // (invalid when it cannot be prepared: the error is in database.lastError()).
    db::Statement &prepared(const QString &sql)
    {
        auto it = statements.find(sql);
        if (it == statements.end())
            it = statements.emplace(sql, database.prepare(sql)).first;
        it->second.reset();
        return it->second;
    }
    // Runs one write through its prepared statement. False on failure: the
    // statement's error in error, or in database.lastError() when it cannot be prepared.
    bool run(const QString &sql, const QVariantList &values)
    {
        db::Statement &st = prepared(sql);
        if (!st.isValid())
            return false;
        if (!st.bindAll(values) || !st.run()) {
            error = st.error();
            return false;
        }
        return true;
    }
    std::map<QString, db::Statement> statements;
    QString error;  // set by a hook when a statement fails
};

// Posts one stored line into its goods row and stamps it. Returns false
// (the error in context.error, else database.lastError()) when a statement fails.
using LinePosting = std::function<bool(PostingContext &context, const StoredLine &line)>;

// Asks whether qty of code may go out on document docNo; tells the operator
// and answers false when not.
using StockCheck = std::function<bool(Module1 &module, const QString &code, double qty, const QString &docNo)>;

// The price text proposed for a new line, from the goods' cost price (null when none).
using PriceProposal = std::function<QString(Module1 &module, const QVariant &costPrice)>;

// A step run inside the save transaction after the checks, before the rows
// are written (a kind may create rows it needs, e.g. an unknown party);
// partyCode is the party code as the header stores it, trimmed.
// Returns false (the error in database.lastError()) to roll the save back.
struct SaveRequest;
using ExtraSaveStep =
    std::function<bool(db::Database &database, const SaveRequest &request, const QString &partyCode)>;

// The line grid's rules of a kind whose lines hold other figures than
// quantity and price (see LineEditor); unset: the standard line grid.
class LineEditor;
using LineEditorFactory =
    std::function<std::unique_ptr<LineEditor>(Module1 &module, const DocumentKind &kind, GridModel &grid)>;

// The signature line of scheme two (formula qianming) from the entered-by and auditor boxes.
using StagedSignature = std::function<QString(const QString &enteredBy, const QString &auditor)>;

// The parameters of a document kind. The document window, the save and the
// audit read everything that differs between kinds from here; a kind that
// needs another rule replaces a hook.
struct DocumentKind {
    QString name;                // window registry name: "B1"
    QString windowCaption;       // "货品入库单"
    QString listTabCaption;      // "入库单列表"
    QString detailTabCaption;    // "入库单明细"
    QString prefix;              // number prefix "RK"
    QString headerTable;         // "TB1"
    QString lineTable;           // "TB11"
    QString partyTable;          // "TA1"; empty: the kind has no party, box 2 is typed text (stored in F3)
    QStringList headerLabels;    // Lab(0)..Lab(6)
    QString partyCodeCaption;    // list column 7: "供货单位编码"
    QString listPartyCaption;    // list column 2; empty: the party label Lab(2)
    QString kindWord;            // "入库": list/line status texts and messages
    QString quantityCaption;     // line column 3: "入库数量"
    QString priceCaption;        // line column 4: "入库价格"
    QString emptyNoteMessage;    // save without lines
    QString lineNotFoundMessage; // delete by code: text before the code
    QStringList printItems;      // Menu_prn captions
    bool hasNewGoodsPanel = false;
    bool busyPointerOnList = false;
    bool doubleNameColumn = true;            // line grid: column 1 twice as wide
    bool loadedNullQuantityAsZero = true;   // loaded quantity cell: a Null quantity shows 0 (else empty)
    bool consumeEnterInQuantity = true;
    bool upperCasePartyInBox = true;         // the party code shown after save
    bool unknownCellCodeShort = false;       // "无效的" caption "!" for an unknown cell code
    QString priceField = QStringLiteral("F7");  // the goods price a new line proposes (TA4.F7 cost, F71 sale)
    bool lookupAmountMoneyRounded = false;   // amount after a code typed in a cell: money-rounded
    bool createsUnknownParty = false;        // save: an unknown party code is created (by extraSaveStep), not refused
    bool headerHasStamp = true;              // header H8 written on save and audit
    bool showSavedNotice = true;
    bool canCancelAudit = true;
    bool openCellEditOnEntry = true;         // new and edit open the in-cell box (else the focus stays in the strip)
    bool quantityOnlyRoomToName = false;     // quantity-only mode: price and amount room both to the name column
    bool totalInRedWhenNegative = false;     // the total box is painted red below 0
    bool linesCarryBookQuantity = false;     // lines store the book quantity (F5) beside quantity and price
    QString browseCaption;                   // window caption in browse mode; empty: unchanged
    QString editCaption;                     // window caption in new and edit mode; empty: unchanged
    QString statusWord;                      // the word of the status texts; empty: kindWord
    QString listAmountCaption = QStringLiteral("金额");     // list column 5
    QString listQuantityCaption = QStringLiteral("数量");   // list column 5 in quantity-only mode
    QString quantityOnlyTotalLabel = QStringLiteral("数量合计");
    bool listTotalAsGeneral = false;         // list column 5: the number's general text (else "#0.00" with prices)
    QString searchStockCaption = QStringLiteral("现存");    // goods search, third column
    QString stripQuantityLabel = QStringLiteral("数量：");  // entry strip, the label of the quantity box
    QString ownListStatement;                // the opening list with its own order; empty: built from the tables
    QString ownQueryStatement;               // the condition query's base; empty: built from the tables

    // Audit and cancel audit.
    int direction = +1;                      // +1 goods come in, -1 go out
    bool confirmBeforeLockDate = false;      // audit: confirmation before the lock-date test
    QString auditConfirmation;               // the question before an audit
    QString cancelNoRowMessage;
    QString cancelNotAuditedMessage;
    QString cancelConfirmation;              // the whole question before a cancel

    // Printing: scheme one reads the note from the book, scheme two stages the grid.
    QString schemeOneReport;                 // "prntb10.rpt"
    QString schemeOneMissingMessage;         // "" = "报表文件" + tested name + "丢失！"
    QString schemeOneTestedFile;             // the name tested beside the program; empty: schemeOneReport
    QString stagedTitle;                     // formula Cpt of scheme two
    bool stagedNumbersAsText = true;         // Plist F6..F8: the cell texts (else numbers)
    bool stagedTotalAsNumToText = true;      // formula sumje: NumToText (else the box as shown)
    bool stagedSignatureLine = true;         // formula qianming
    QString stagedPartyLabel = QStringLiteral("供货单位：");  // formula gys: label before the party name
    StagedSignature stagedSignature;         // the qianming text; unset: the stock-in note's line

    // Hooks (see the types above). Unset stockCheck means no check.
    PriceProposal proposePrice;
    StockCheck stockCheck;
    ExtraSaveStep extraSaveStep;
    LinePosting postLine;
    LineEditorFactory lineEditor;

    // Derived texts.
    QString listStatement() const;   // the unaudited notes, joined with the party table
    QString queryStatement() const;  // every note of the kind, for the condition query
    QString listOrder() const
    {
        return ownListStatement.isEmpty() ? QStringLiteral(" order by ") + headerTable + QStringLiteral(".H8 desc ")
                                          : QString();
    }
    QString statusText() const { return statusWord.isEmpty() ? kindWord : statusWord; }
    QString listPrefix() const { return statusText() + QStringLiteral("单列表：共 "); }
    QString linePrefix() const { return statusText() + QStringLiteral("单明细：共 "); }
    QString noLinesText() const { return statusText() + QStringLiteral("单明细：无货品信息"); }
};

// The two inbound kinds.
const DocumentKind &stockInNoteKind();         // B1
const DocumentKind &supplierReturnNoteKind();  // B3

} // namespace documents
