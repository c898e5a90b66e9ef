#include "MergedCaptionHeader.h"

#include <QPainter>
#include <QStyleOptionHeader>
#include <QTableView>

MergedCaptionHeader::MergedCaptionHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    // A resized column changes the cells it is merged into: paint them all again.
    connect(this, &QHeaderView::sectionResized, this, [this] { viewport()->update(); });
}

QString MergedCaptionHeader::caption(int logical) const
{
    return model() ? model()->headerData(logical, orientation(), Qt::DisplayRole).toString() : QString();
}

std::pair<int, int> MergedCaptionHeader::mergedColumns(int logical) const
{
    const QString text = caption(logical);
    if (text.isEmpty())
        return {logical, logical};
    int first = visualIndex(logical);
    int last = first;
    while (first > 0 && caption(logicalIndex(first - 1)) == text)
        --first;
    while (last + 1 < count() && caption(logicalIndex(last + 1)) == text)
        ++last;
    return {logicalIndex(first), logicalIndex(last)};
}

// Each column paints its part of the merged cell, so a cell partly scrolled
// out of view still shows right.
void MergedCaptionHeader::paintSection(QPainter *painter, const QRect &rect, int logical) const
{
    const auto [first, last] = mergedColumns(logical);
    if (first == last || !rect.isValid()) {
        QHeaderView::paintSection(painter, rect, logical);
        return;
    }
    const int left = sectionViewportPosition(first);
    const int right = sectionViewportPosition(last) + sectionSize(last);
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = QRect(left, rect.top(), right - left, rect.height());
    option.section = logical;
    option.text = caption(logical);
    option.textAlignment = defaultAlignment();
    option.position = QStyleOptionHeader::Middle;
    if (isEnabled())
        option.state |= QStyle::State_Enabled;
    painter->save();
    painter->setClipRect(rect);
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
}

MergedCaptionHeader *MergeEqualCaptions(QTableView *grid)
{
    QHeaderView *old = grid->horizontalHeader();
    auto *header = new MergedCaptionHeader(grid);
    header->setDefaultAlignment(old->defaultAlignment());
    header->setMinimumSectionSize(old->minimumSectionSize());
    header->setDefaultSectionSize(old->defaultSectionSize());
    header->setStretchLastSection(old->stretchLastSection());
    header->setHighlightSections(old->highlightSections());
    header->setSectionsClickable(old->sectionsClickable());
    const QHeaderView::ResizeMode resizing = old->count() > 0 ? old->sectionResizeMode(0) : QHeaderView::Interactive;
    grid->setHorizontalHeader(header);  // deletes the old one
    header->setSectionResizeMode(resizing);
    return header;
}
