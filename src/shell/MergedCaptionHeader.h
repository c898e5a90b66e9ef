#pragma once

#include <QHeaderView>
#include <utility>

class QTableView;

// A grid's caption row that shows neighbouring columns with the same caption
// as one cell, the caption centred over them all (a heading over a group of
// columns).
class MergedCaptionHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit MergedCaptionHeader(QWidget *parent = nullptr);

    // The first and last column (logical indexes) shown as one cell with
    // column logical; an empty caption stands alone.
    std::pair<int, int> mergedColumns(int logical) const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logical) const override;

private:
    QString caption(int logical) const;
};

// Gives grid a merging caption row in place of its own, with the same
// alignment, sizes and resizing.
MergedCaptionHeader *MergeEqualCaptions(QTableView *grid);
