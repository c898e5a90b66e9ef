#pragma once

#include "documents/DocumentKind.h"
#include "documents/DocumentService.h"
#include "platform/GridModel.h"

#include <QString>
#include <optional>

class Module1;

namespace documents {

// Line grid columns.
enum LineColumn { ColCode = 0, ColName = 1, ColUnit = 2, ColQuantity = 3, ColPrice = 4, ColAmount = 5, ColRemark = 6 };

// How the line grid's cells align: numbers right, texts left.
inline constexpr Qt::Alignment kNumberAlignment = Qt::AlignRight | Qt::AlignVCenter;
inline constexpr Qt::Alignment kTextAlignment = Qt::AlignLeft | Qt::AlignVCenter;

// The rules of the line grid of a document: loading the stored lines, the
// entry strip (add or merge a line, delete a line by code), the in-cell
// commits and the Enter walk through the cells, and the document total.
// Works on the grid model alone; messages go through Prompt::current().
// A kind whose lines hold other figures derives from it (DocumentKind::lineEditor)
// and replaces the virtual steps.
class LineEditor {
public:
    LineEditor(Module1 &module, const DocumentKind &kind, GridModel &grid);
    virtual ~LineEditor() = default;

    GridModel &grid() { return grid_; }

    // Caption row and one empty row.
    virtual void setHeaders();
    // Loads the stored lines of the note in goods-code order; the error text on failure.
    virtual QString loadLines(const QString &number);
    // The lines the last load showed, with their figures as stored.
    const QVector<StoredLine> &loadedLines() const { return loaded_; }

    // The number of lines (a trailing row without a code not counted); 0 for an empty grid.
    int lineCount() const;
    bool isEmpty() const;
    // The first row whose trimmed code equals code exactly; 0 when none.
    int findCode(const QString &code) const;

    // Entry strip. quantityBox may be set to "0" (a refused merge). Returns
    // the row made current, or nullopt when nothing was done.
    std::optional<int> addFromEntryStrip(const QString &codeBox, QString &quantityBox, const QString &docNo);
    // Deletes the line of the code after confirmation; returns the row to make current
    // (nullopt when the code box was empty or no line holds it).
    std::optional<int> deleteByCode(const QString &codeBox);

    // In-cell commit of text into (row, col). Returns the column under edit
    // afterwards (1 after an emptied code) and sets row to the line to make
    // current (another row after a duplicate code).
    int commitCell(int &row, int col, const QString &text, const QString &docNo);
    // Whether the typed number can be stored; when not, says so naming the
    // column and returns false.
    bool acceptsNumber(const QString &text, const QString &column) const;
    // Whether the last commitCell refused its text (nothing was changed).
    bool lastCommitRefused() const { return lastCommitRefused_; }
    // Fills row from the goods of code; false when it did not.
    bool lookupGoods(int row, const QString &code, const QString &docNo);

    // The cell the Enter key moves to from (row, col) after a commit; nullopt: no move.
    std::optional<std::pair<int, int>> nextCell(int row, int col) const;
    // Whether (row, col) takes the in-cell edit box.
    bool isEditable(int row, int col) const;

    // The total box text: the sum of the amounts (quantities when prices are not kept).
    virtual QString totalText() const;
    // Keeps exactly one empty row at the end.
    void ensureTrailingEmptyRow();
    // The lines as save reads them (rows without a code included).
    virtual QVector<SaveLine> saveLines() const;

protected:
    // The goods columns a new line reads: 0 code, 1 name/model,
    // 2 unit, 3 the kind's price field, 4 quantity on hand.
    static QString goodsStatement(const DocumentKind &kind);
    // Name and model joined by "/" over TA4 (a Null part reads as empty text).
    static QString goodsNameExpression();

    virtual QStringList captions() const;
    // The strip quantity q as the line takes it; false: nothing is added.
    virtual bool takeStripQuantity(double &q) const;
    // The cells 0.. of a line added by the entry strip.
    virtual QStringList newLineCells(const db::Statement &goods, double q) const;
    // Fills row from the goods found for a code typed into the code cell.
    virtual void fillLookedUpLine(int row, const db::Statement &goods);
    virtual void setAmount(int row);
    virtual QString deleteLineQuestion(const QString &name) const;
    virtual bool priceEditable() const;
    // Whether a line of quantity at price can be stored (the quantity and its
    // amount); when not, says so and returns false.
    bool acceptsLine(double quantity, double price) const;

    QString caption() const { return grid_.textMatrix(0, ColCode); }

    Module1 &m_;
    const DocumentKind &kind_;
    GridModel &grid_;
    QVector<StoredLine> loaded_;

private:
    bool lastCommitRefused_ = false;
};

} // namespace documents
