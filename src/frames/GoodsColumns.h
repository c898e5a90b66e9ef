#pragma once

#include "frames/ListColumns.h"

namespace frames {

// The columns that name a goods in every goods list: code, name, category
// (searched by its code), unit and size/model (规格型号). A list takes them
// one by one, adds what the column is to it, and places them among its own.
struct GoodsNamingColumns {
    ListColumn code;
    ListColumn name;
    ListColumn category;
    ListColumn unit;
    ListColumn model;
};
GoodsNamingColumns goodsNamingColumns();

} // namespace frames
