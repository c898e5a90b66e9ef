#pragma once

#include <QDate>
#include <QString>

namespace db {
class Database;
}

namespace reports {

struct CarryForwardResult {
    enum Status {
        Done,
        PeriodOpen,   // days before today are not yet reported and saved
        AlreadyDone,  // the fiscal year already starts on the new start (or later)
        Failed        // error holds the reason; nothing was changed
    };
    Status status = Failed;
    QString error;
};

// The fiscal year-end, in one transaction: every goods' quantity on hand and
// cost price become its year-opening quantity and price; the old fiscal-year
// start is kept in pathtxm and newStart becomes the start; the stock
// documents are cleared when asked; the saved reports are cleared, or kept as
// closed-year reports (their numbers negated). Inside the transaction it
// re-checks that no period before today is left open and that this year-end
// has not run already.
CarryForwardResult CarryForward(db::Database &db, const QDate &newStart, const QDate &today, bool clearReports,
                                bool clearDocuments);

} // namespace reports
