#include "CellFaults.h"

#include <algorithm>
#include <array>

namespace admin {

namespace {

// The texts a fault shows, by the index kept for it.
const std::array<QStringView, 9> kShown{u"",      u"#NULL!", u"#DIV/0!", u"#VALUE!", u"#REF!",
                                        u"#NAME?", u"#NUM!",  u"#N/A",    u"#ERROR!"};
constexpr quint16 kFormula = 0x1000;

quint16 cellOf(int col, const CellFault &fault)
{
    const auto shown = std::find(kShown.cbegin(), kShown.cend(), fault.shown);
    const auto index = quint16(shown == kShown.cend() ? kShown.size() - 1 : shown - kShown.cbegin());
    return quint16(col & 0xFF) | quint16(index << 8) | (fault.formula ? kFormula : 0);
}

int columnOf(quint16 cell)
{
    return cell & 0xFF;
}

} // namespace

CellFaults::CellFaults(std::initializer_list<std::pair<int, CellFault>> faults)
{
    for (const auto &[col, fault] : faults)
        insert(col, fault);
}

CellFaults::CellFaults(const CellFaults &other)
{
    *this = other;
}

CellFaults &CellFaults::operator=(const CellFaults &other)
{
    if (this == &other)
        return *this;
    cells_.reset();
    if (other.size() > 0) {
        cells_ = std::make_unique<quint16[]>(other.size() + 1);
        std::copy_n(other.cells_.get(), other.size() + 1, cells_.get());
    }
    return *this;
}

std::optional<CellFault> CellFaults::find(int col) const
{
    for (int i = 1; i <= size(); ++i) {
        if (columnOf(cells_[i]) == col)
            return CellFault{kShown[(cells_[i] >> 8) & 0x0F].toString(), (cells_[i] & kFormula) != 0};
    }
    return {};
}

void CellFaults::resize(int count)
{
    if (count == 0) {
        cells_.reset();
        return;
    }
    auto cells = std::make_unique<quint16[]>(count + 1);
    std::copy_n(cells_.get(), std::min(size(), count) + (cells_ ? 1 : 0), cells.get());
    cells[0] = quint16(count);
    cells_ = std::move(cells);
}

void CellFaults::insert(int col, const CellFault &fault)
{
    if (col < 0 || col > 0xFF)
        return;
    const quint16 cell = cellOf(col, fault);
    int at = 1;
    while (at <= size() && columnOf(cells_[at]) < col)
        ++at;
    if (at <= size() && columnOf(cells_[at]) == col) {
        cells_[at] = cell;
        return;
    }
    resize(size() + 1);
    std::copy_backward(cells_.get() + at, cells_.get() + size(), cells_.get() + size() + 1);
    cells_[at] = cell;
}

void CellFaults::remove(int col)
{
    for (int i = 1; i <= size(); ++i) {
        if (columnOf(cells_[i]) == col) {
            std::copy(cells_.get() + i + 1, cells_.get() + size() + 1, cells_.get() + i);
            resize(size() - 1);
            return;
        }
    }
}

bool operator==(const CellFaults &a, const CellFaults &b)
{
    return a.size() == b.size() && (a.isEmpty() || std::equal(a.cells_.get(), a.cells_.get() + a.size() + 1, b.cells_.get()));
}

} // namespace admin
