#pragma once

#include "documents/DocumentKind.h"
#include "shell/PrintRequest.h"

#include <array>

class GridModel;

namespace documents {

// The header boxes scheme two prints: number, date, party name, entered by, auditor, total.
struct PrintedHeader {
    QString number, date, party, enteredBy, auditor, total;
};

// Scheme one: the kind's template reads the note with this number from the book.
PrintRequest schemeOneRequest(const DocumentKind &kind, const QString &number);

// Scheme two: the lines of the grid staged in Plist, the header texts as formulas.
PrintRequest schemeTwoRequest(const DocumentKind &kind, const GridModel &lines, const PrintedHeader &header);

} // namespace documents
