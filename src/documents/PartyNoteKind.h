#pragma once

#include "documents/DocumentKind.h"

namespace documents {

// The names of a note kind with a party (stock in, supplier return, stock
// out, return in); its captions and messages follow from them.
struct PartyNoteNames {
    QString name;         // window registry name: "B1"
    QString caption;      // "货品入库单"
    QString word;         // "入库"
    QString prefix;       // number prefix "RK"
    QString headerTable;  // "TB1"
    QString lineTable;    // "TB11"
    QString partyTable;   // "TA1"
    QString partyLabel;   // "供货单位": header label, party code column ("…编码"), printed party label ("…：")
};

// A note kind with a party: the names, the texts built from them, the audit
// question, the direction and the cancel texts most kinds use.
DocumentKind partyNoteKind(const PartyNoteNames &names, int direction);

// The two return notes lay their line columns out evenly and write the
// loaded quantity, the total and the printed figures as plain texts.
void useReturnNoteLayout(DocumentKind &kind);

// A goods price rounded to the money decimals, without trailing zeros; Null gives "0".
QString moneyPriceText(Module1 &module, const QVariant &price);

// The stock check of the kinds whose audit sends goods out.
bool checkStockEnough(Module1 &module, const QString &code, double qty, const QString &docNo);

} // namespace documents
