#pragma once

#include <QString>
#include <functional>

namespace bench {

// How large a generated book is. About goods x 10 document lines by default.
struct BigBookSize {
    int goods = 100000;
    int categories = 100;
    int units = 200;          // supplier units (TA1) and receiving units (TA2) each
    int docsPerKind = 25000;  // per trade kind: stock-in, return to supplier, stock-out, return-in
    int linesPerDoc = 10;     // mean; a document holds 1 .. 2n-1 lines, one per goods at most
};

// Writes a new keyed account book at path filled with generated master data
// and trade documents dated over two years (2024 and 2025, fiscal year 2025).
// Half the documents are audited, posted in stamp order with moving-average
// cost, so every audited line's stamps and the goods' quantity and cost agree.
// The book is built beside path and renamed into place when complete.
// Returns an empty text on success, else the error. log receives progress lines.
QString makeBigBook(const QString &path, const BigBookSize &size,
                    const std::function<void(const QString &)> &log = {});

} // namespace bench
