#pragma once

#include "frames/MasterRecordStore.h"

#include <QString>
#include <optional>

namespace db {
class Database;
}

namespace masterdata {

// One goods record as the goods card edits it.
struct GoodsRecord {
    QString code;
    QString name;
    QString category;      // category code
    QString unit;
    QString model;
    QString remark;
    QString picturePath;   // written as it is
    double cost = 0;             // F7
    double sale = 0;             // F71
    double quantityOnHand = 0;   // F8
    double safetyStock = 0;      // V1
    double maximumStock = 0;     // V2
    double openingQuantity = 0;  // V3
    double openingPrice = 0;     // V4
};

// Which numbers of an edited goods the operator was allowed to change and did.
// The others are taken from the book as it stands when the save runs, so an
// audit posted meanwhile (here or on another computer) is not overwritten.
struct GoodsEdits {
    bool cost = false;
    bool sale = false;
    bool quantityOnHand = false;
    bool openingQuantity = false;
    bool openingPrice = false;
};

// Saving, reading and deleting goods (table TA4).
class GoodsStore {
public:
    explicit GoodsStore(db::Database &db);

    // The derived code F11: category code cut/padded to 4 characters, its
    // length + 4, the goods code's length, the goods code cut/padded to 8.
    static QString MakeF11(const QString &categoryCode, const QString &goodsCode);

    // The name of a category; nullopt when no category has the code.
    std::optional<QString> categoryName(const QString &code);
    std::optional<GoodsRecord> read(const QString &code);
    bool isCodeInUse(const QString &code) { return records_.isCodeInUse(code); }

    // Stores record as a new goods (oldCode empty: its opening quantity and
    // price are its stock and cost) or in place of oldCode. Editing, the
    // numbers not named in edits come from the book inside the transaction;
    // record receives the values written. Fields the card does not show (V5)
    // are kept.
    frames::MasterRecordStore::Result save(GoodsRecord &record, const std::optional<QString> &oldCode,
                                   const GoodsEdits &edits = {});

    frames::MasterRecordStore &records() { return records_; }

private:
    db::Database &db_;
    frames::MasterRecordStore records_;
};

} // namespace masterdata
