#pragma once

#include "documents/LineEditor.h"

namespace documents {

// The line grid of a stocktaking note: column 2 holds the book quantity (the
// goods' quantity on hand when the code entered the line; kept whole, shown
// as lists show quantities) where other notes show the unit, column 3 the counted
// quantity, column 4 the accounting price
// (the cost price at entry, never edited), column 5 (counted - book) * price,
// red for a loss and never stored. The total is the sum of the amounts, or
// of counted - book in quantity-only mode.
class StocktakingLineEditor : public LineEditor {
public:
    enum { ColBook = 2 };

    using LineEditor::LineEditor;

    void setHeaders() override;
    QString loadLines(const QString &number) override;
    QString totalText() const override;
    QVector<SaveLine> saveLines() const override;

protected:
    QStringList captions() const override;
    bool takeStripQuantity(double &q) const override;
    QStringList newLineCells(const db::Statement &goods, double q) const override;
    void fillLookedUpLine(int row, const db::Statement &goods) override;
    void setAmount(int row) override;
    QString deleteLineQuestion(const QString &name) const override;
    bool priceEditable() const override { return false; }

private:
    double difference(int row) const;
    void colourLoss(int row);
};

} // namespace documents
