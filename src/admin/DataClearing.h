#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <functional>

class Module1;

// Wiping data out of the open account book: initialising it by kind of data,
// removing one party or goods record with every document that refers to it,
// and removing the documents of one kind dated before a cut-off day.
// Each run is one transaction: it is done whole or not at all. The issued
// document numbers (DanNo), operators and options are never touched.
namespace admin {

// What an initialisation removes.
struct InitialiseChoice {
    bool documents = false;   // every document and the journal work table
    bool zeroStock = false;   // quantities on hand and year-opening values to 0
    bool masterData = false;  // parties, categories and goods (default rows put back)
    bool newYear = false;     // saved period reports gone, fiscal year starts on yearStart
    QDate yearStart;

    bool any() const { return documents || zeroStock || masterData || newYear; }
};

// The master record kinds one can remove by code.
enum class MasterKind { Supplier, ReceivingUnit, Category, Goods };

// The document kinds one can clear before a date.
enum class DocumentKindToClear { StockIn, ReturnToSupplier, StockOut, ReturnIn, Stocktaking };

// Told the steps done of all steps of a clearing run as it goes, and told
// again now and then while one long step runs, so a window can show progress
// and repaint. It must not use the book: the book's connection is busy.
using ClearingProgress = std::function<void(qint64 done, qint64 total)>;

// Each returns "" on success, else the database's error text (nothing changed).
QString initialiseBook(Module1 &m, const InitialiseChoice &choice, const ClearingProgress &progress = {});
// Removes the record with this code and every document that refers to it,
// then empties the journal work table. Category removes nothing but the
// journal work table (the choice is not offered).
QString clearMasterRecord(Module1 &m, MasterKind kind, const QString &code, const ClearingProgress &progress = {});
// Removes the documents (lines and headers) dated strictly before cutoff,
// audited or not, then empties the journal work table.
QString clearDocumentsBefore(Module1 &m, DocumentKindToClear kind, const QDate &cutoff,
                             const ClearingProgress &progress = {});

// The notice shown when a clearing run failed and was rolled back.
QString clearingFailedText(const QString &error);

} // namespace admin
