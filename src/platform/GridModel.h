#pragma once

#include "platform/TextRows.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QStringView>
#include <QVector>
#include <functional>

namespace db {
class Statement;
}

// A grid of texts counted the classic grid way: row 0 is the caption row and
// is included in rows(); an empty grid keeps one blank data row 1; rows are
// added as tab-separated texts and removed by index.
// A QTableView shows it with row 0 as the horizontal header and rows 1.. as data.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(int cols = 1, QObject *parent = nullptr);

    int rows() const { return rows_.size(); }
    int cols() const { return rows_.cols(); }
    void setRows(int rows);  // at least 2 (caption + one row)
    void setCols(int cols);

    QString textMatrix(int row, int col) const;
    // The same text without a copy; valid until the grid changes.
    QStringView cellView(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    QStringList rowTexts(int row) const;

    // Sets the caption row from a list of captions.
    void setCaptions(const QStringList &captions);

    // Appends a row (index < 0) or inserts it before index; the texts are
    // separated by tabs. Into a grid whose only data row is blank, the first
    // added row would come after that blank row, as the classic grid does;
    // call clearRows() first to start a fresh list with fillRows().
    void addItem(const QString &tabSeparated, int index = -1);
    // Removes a data row; the last remaining data row is blanked instead.
    void removeItem(int row);
    // Back to the caption row and one blank row.
    void clearRows();

    // Replaces all data rows in one pass (the blank row is dropped when at
    // least one row comes). Each row has cols() texts, shorter rows are padded.
    void setDataRows(const QVector<QStringList> &dataRows);

    // Replaces all data rows by rows gathered one by one (see TextRows).
    void setDataRows(TextRows &&dataRows);
    // Fills the data rows from a statement's rows; format turns column values
    // into texts (default: the text of each column).
    void fillFromStatement(db::Statement &statement,
                           const std::function<QStringList(const db::Statement &)> &format = {});

    // A cell's fore colour; it moves with its row when rows are added or removed.
    void setCellForeground(int row, int col, const QColor &color);
    QColor cellForeground(int row, int col) const;

    void setColAlignment(int col, Qt::Alignment alignment);
    // Shows the non-empty cells of col as numbers in pattern (e.g. "#0.00");
    // textMatrix keeps the full text. An empty pattern shows the text itself.
    void setColDisplayPattern(int col, const QString &pattern);
    // Shows the non-empty cells of col as lists show quantities
    // (numtext::quantityText); textMatrix keeps the full text.
    void setColQuantityDisplay(int col);
    // True when col shows its cells by a display pattern or as quantities.
    bool hasDisplayRule(int col) const;
    // The text the grid shows in a cell: textMatrix, or its display rule's form.
    QString shownText(int row, int col) const;
    // The alignment of a cell in a column without its own: the grid's general
    // alignment, numbers right and text left.
    static Qt::Alignment GeneralAlignment(QStringView text);

    // QAbstractTableModel: view row r is grid row r + 1.
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void shiftForeground(int row, int delta);

    TextRows rows_;  // the caption row, then the data rows
    QHash<quint64, QColor> foreground_;
    QHash<int, Qt::Alignment> alignment_;
    QHash<int, QString> displayPattern_;
    QSet<int> quantityDisplay_;
};
