#pragma once

#include "frames/MasterDataKind.h"

// The master-data kinds: what the list/card frame shows for each master table.
namespace masterdata {

frames::MasterDataKind supplierKind();       // A1, TA1
frames::MasterDataKind receivingUnitKind();  // A2, TA2
frames::MasterDataKind categoryKind();       // A3, TA3
// What the goods list's columns and the goods card's boxes are to the goods
// window; a box shows the list column of its field.
enum class GoodsField {
    Code,
    Name,
    Category,  // the category's name
    Unit,
    Model,
    Cost,
    Remark,
    Sale,
    SafetyStock,
    MaximumStock,
    OpeningQuantity,
    OpeningPrice,
    CategoryCode,  // the category combo shows it with the name
};

// The goods list's columns: the naming columns, the cost, the remark, then
// the category code and the sale price that only the card shows.
const frames::ListColumns &goodsListColumns();
frames::MasterDataKind goodsKind(const frames::ListColumns &columns = goodsListColumns());  // A4, TA4

// The tables whose rows name a goods code.
QList<frames::CodeReference> goodsReferences();

} // namespace masterdata
