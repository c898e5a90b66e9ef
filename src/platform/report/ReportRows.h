#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <string>
#include <vector>

namespace db {
class Statement;
}

namespace report {

// The detail rows of a filled report, kept as the book gave them: every value
// in its storage class (text as UTF-8, a number as its 8 bytes, or null),
// back to back in blocks of rows. Reading a long list costs no allocation per
// row or cell; a row's printed texts are made when it is asked for (a page
// drawn, a workbook written). Copies share the blocks.
class ReportRows {
public:
    ReportRows() = default;
    // One number format per column ("" = the value printed as read).
    explicit ReportRows(QStringList formats) : formats_(std::move(formats)) {}

    int size() const { return rowCount_; }
    bool isEmpty() const { return rowCount_ == 0; }
    int columnCount() const { return int(formats_.size()); }

    // Keeps the first columnCount() values of the statement's current row.
    void append(const db::Statement &st);

    // A value as read: null, qlonglong, double, QString or QByteArray.
    QVariant value(int row, int column) const;
    // A value as summed: a number as it is, a text by its leading number.
    double number(int row, int column) const;
    // A value as printed: formatted by its column's format; a real number
    // in its general form.
    QString text(int row, int column) const;

    // A text cell printed as it is stored (its column has no format): its
    // UTF-8 bytes, read in place. False for any other cell.
    bool storedText(int row, int column, QByteArrayView *utf8) const;

    QStringList operator[](int row) const;  // the row's printed texts
    QStringList first() const { return (*this)[0]; }
    QStringList last() const { return (*this)[rowCount_ - 1]; }

    friend bool operator==(const ReportRows &rows, const QVector<QStringList> &texts);

private:
    enum Storage : char { Null, Integer, Real, Text, Blob };
    // Rows are kept in blocks of a fixed number of rows: a block, once
    // filled, never moves, so a long list is not copied over as it grows.
    static constexpr int kBlockRows = 1024;
    struct Block {
        std::vector<char> storage;   // one Storage per cell
        std::string data;            // the cells' bytes, back to back
        std::vector<quint32> ends;   // where each cell's bytes end in data
    };
    using Store = std::vector<std::unique_ptr<Block>>;
    QByteArrayView bytes(int row, int column, Storage *storage) const;
    Store &writable();

    QStringList formats_;
    std::shared_ptr<Store> store_;  // shared by copies; null while empty
    int rowCount_ = 0;
};

// The printed text of a number in a column's number format: a pattern such
// as "#0.00", or "quantity" for a quantity as lists show it (its own
// decimals, three when it has more than five).
QString formattedNumber(double value, const QString &format);

// The printed text of a read value in a column of the given number format.
QString cellText(const QVariant &value, const QString &format);

// The number a read value stands for in sums.
double numberOf(const QVariant &value);

} // namespace report
