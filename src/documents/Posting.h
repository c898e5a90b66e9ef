#pragma once

#include "documents/DocumentKind.h"

namespace documents {

// A goods row's stock figures as posting reads and writes them. A Null
// quantity or cost reads as 0; costKnown tells whether a cost was stored.
struct GoodsFigures {
    double quantity = 0;    // F8
    double cost = 0;        // F7
    double salePrice = 0;   // F71
    bool costKnown = false;
};

struct PostingOptions {
    bool noAverageCostUpdate = false;
    double salePriceFactor = 0;  // 0: the sale price is not coupled to the cost
};

// The quantity on hand after moving before by delta; exactly 0 when the sum
// is only the rounding residue of a zero (0.1 + 0.2 - 0.3), so goods that
// came back to nothing hold nothing.
double movedQuantity(double before, double delta);

// One line posted into the goods figures: quantity moves by sign * q; unless
// the options forbid it, the cost becomes the moving weighted average of the
// stock at its cost and the line at its price p, and the sale price follows
// by the factor. When the new quantity is zero the prices stay.
GoodsFigures postToGoods(const GoodsFigures &before, double q, double p, int sign, const PostingOptions &options);

// Stamps the note's lines of one goods with the quantity after posting (H6),
// the cost price (H7) and the context's stamp (H8).
bool stampPostedLines(PostingContext &context, const QString &code, const QVariant &quantity, const QVariant &cost);

// Moves the quantity on hand of the goods code by delta (movedQuantity) and
// gives the goods figures after the move; found is false, and nothing is
// written, when no goods row has the code. False when a statement fails.
bool moveStock(PostingContext &context, const QString &code, double delta, GoodsFigures &after, bool &found);

// The posting of the inbound kinds: reads the goods row, applies postToGoods,
// writes F8/F7/F71 and stamps the note's lines of this goods with H6/H7/H8.
bool postInboundLine(PostingContext &context, const StoredLine &line);

} // namespace documents
