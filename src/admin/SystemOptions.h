#pragma once

#include <QString>

class Module1;
namespace db {
class Database;
}

// The eleven system options of an account book (table sysinfo, one row per
// option ID 0..10) as the module's variables hold them.
namespace options {

struct SystemOptions {
    int noOverdraw = 0;           // ID 0
    int lockLinePrice = 0;        // ID 1
    int noAverageCostUpdate = 0;  // ID 2
    int absoluteQuantities = 0;   // ID 3
    float salePriceFactor = 0;    // ID 4 (setval and setstr)
    int keepPrices = 1;           // ID 5
    int alarmLowAtStart = 0;      // ID 6
    int alarmHighAtStart = 0;     // ID 7
    int adminEditsStock = 0;      // ID 8
    int moneyDecimals = 2;        // ID 9, 0..8
    int adminEditsOpening = 0;    // ID 10

    bool operator==(const SystemOptions &) const = default;
};

// The options the module holds now.
SystemOptions fromModule(const Module1 &m);
// Puts options in force: the module's variables and its money format.
void toModule(const SystemOptions &o, Module1 &m);

// The text of a factor as the options window shows and stores it ("1.2").
QString factorText(float factor);

struct SaveResult {
    bool ok = true;
    int written = 0;  // options whose rows were written
    QString error;
};

// Writes every option of wanted that differs from before, all in one
// transaction: rows 0, 1 and 2 are updated in place (and made when the book
// lacks them), the others are replaced. On failure nothing is written.
SaveResult saveOptions(db::Database &db, const SystemOptions &before, const SystemOptions &wanted);

} // namespace options
