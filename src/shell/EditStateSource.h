#pragma once

// Editing windows (master-data and document windows) publish their mode so the
// main window can refuse to exit or switch books in the middle of an edit.
// 0 browse, 1 adding, 2 editing.
class EditStateSource {
public:
    virtual ~EditStateSource() = default;
    virtual int Edstu() const = 0;
};
