#pragma once

#include "documents/DocumentService.h"

class Module1;

namespace documents {

// The boxes of the new-goods panel as typed.
struct NewGoods {
    QString code;
    QString name;
    QString category;   // the category combo: "code.name" or a typed code
    QString unit;
    QString spec;
    QString costPrice;  // the stock-in price
    QString salePrice;
    QString remark;
    QString picture;
    QString quantity;   // of the line the goods is added with
};

struct NewGoodsOutcome : Outcome {
    QString categoryCode;
    enum class Field { None, Code, Category } field = Field::None;
};

// Checks the new goods and writes it to TA4 (quantity on hand 0) at once,
// outside any document. Line breaks in the code are dropped.
NewGoodsOutcome saveNewGoods(Module1 &module, const NewGoods &goods);

} // namespace documents
