// Copies the book's system options (table sysinfo) into the module's variables.
#include "Module1.h"

#include "platform/NumberText.h"

#include <cmath>

void Module1::LoadSysSettings()
{
    ResetOptionsToDefaults();
    db::Statement rows = gDb.prepare(QStringLiteral("select ID,setval,setstr from sysinfo order by ID"));
    if (!rows.isValid())
        return;
    while (rows.next()) {
        const int id = int(rows.number(0));
        if (id == 4) {
            gOptSalePriceFactor = float(numtext::leadingNumber(rows.text(2)));
            continue;
        }
        // A missing value ends the loading: the options read so far stay in force.
        if (rows.isNull(1))
            return;
        const int value = int(std::lround(rows.number(1)));
        switch (id) {
        case 0: gOptNoOverdraw = value; break;
        case 1: gOptLockLinePrice = value; break;
        case 2: gOptNoAverageCostUpdate = value; break;
        case 3: gOptAbsoluteQuantities = value; break;
        case 5: gOptKeepPrices = value; break;
        case 6: gOptAlarmLowAtStart = value; break;
        case 7: gOptAlarmHighAtStart = value; break;
        case 8: gOptAdminEditsStock = value; break;
        case 9:
            gOptMoneyDecimals = value;
            gMoneyFormat = MakeDecimalFormat(gOptMoneyDecimals);
            break;
        case 10: gOptAdminEditsOpening = value; break;
        default: break;
        }
    }
}
