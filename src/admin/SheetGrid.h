#pragma once

#include "SheetRows.h"

#include <QAbstractTableModel>
#include <QStringList>

// The import window's grid: the records of a worksheet under lettered
// columns, counted the classic grid way (row 0 is the caption row, an empty
// grid keeps one blank data row 1). The records are shown as the sheet was
// read, as sparse as it: a cell holding no value takes no room, however wide
// the sheet, and a text many cells share is kept once.
namespace admin {

class SheetGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SheetGrid(QObject *parent = nullptr);

    // Shows the records under cols columns lettered A to Z (the columns after
    // Z without a letter).
    void setRecords(SheetRows records, int cols);

    int rows() const { return 1 + qMax(1, records_.size()); }
    int cols() const { return cols_; }
    QString textMatrix(int row, int col) const;
    QStringList rowTexts(int row) const;
    // Removes a data row; the last remaining data row is blanked instead.
    void removeItem(int row);

    // QAbstractTableModel: view row r is grid row r + 1.
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    SheetRows records_;
    int cols_ = 1;
    bool lettered_ = false;  // no sheet read yet: no captions
};

} // namespace admin
