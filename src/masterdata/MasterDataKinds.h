#pragma once

#include "frames/MasterDataKind.h"

// The master-data kinds: what the list/card frame shows for each master table.
namespace masterdata {

frames::MasterDataKind supplierKind();       // A1, TA1
frames::MasterDataKind receivingUnitKind();  // A2, TA2
frames::MasterDataKind categoryKind();       // A3, TA3
// The columns that name a goods in every goods list: code, name, category
// (searched by its code), unit and size/model (规格型号).
frames::ListColumns goodsNamingColumns();
// The goods list's columns.
const frames::ListColumns &goodsListColumns();
frames::MasterDataKind goodsKind(const frames::ListColumns &columns = goodsListColumns());  // A4, TA4

// The tables whose rows name a goods code.
QList<frames::CodeReference> goodsReferences();

} // namespace masterdata
