#pragma once

#include <QString>

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

// The cells of a record whose value is no value to take, kept small: a sheet
// may hold an error value in every cell of a column, and each costs two bytes
// here, not a string and a map node.
namespace admin {

// A cell whose value is no value to take: an error value, or a value that
// could not be read.
struct CellFault {
    QString shown;        // what the cell shows: an error value such as "#DIV/0!"; "" when unreadable
    bool formula = true;  // the value saved with a formula; else a value typed or pasted into the cell

    friend bool operator==(const CellFault &, const CellFault &) = default;
};

// The faulty cells of a record by column (0 to 255). A fault's shown text is
// one of the error values' (#NULL!, #DIV/0!, #VALUE!, #REF!, #NAME?, #NUM!,
// #N/A, #ERROR!; any other text is kept as #ERROR!) or "".
class CellFaults {
public:
    CellFaults() = default;
    CellFaults(std::initializer_list<std::pair<int, CellFault>> faults);
    CellFaults(const CellFaults &other);
    CellFaults &operator=(const CellFaults &other);
    CellFaults(CellFaults &&) noexcept = default;
    CellFaults &operator=(CellFaults &&) noexcept = default;

    bool isEmpty() const { return size() == 0; }
    // The fault of the cell in col, if it has one.
    std::optional<CellFault> find(int col) const;
    // Puts the fault of the cell in col, in place of one it had.
    void insert(int col, const CellFault &fault);
    void remove(int col);

    friend bool operator==(const CellFaults &a, const CellFaults &b);

private:
    int size() const { return cells_ ? cells_[0] : 0; }
    void resize(int count);

    // Nothing for a record without faults; else the count, then each faulty
    // cell by column: its column in the low byte, the index of its shown text
    // and whether a formula saved it above.
    std::unique_ptr<quint16[]> cells_;
};

} // namespace admin
