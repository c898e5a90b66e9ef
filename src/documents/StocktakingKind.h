#pragma once

#include "documents/DocumentKind.h"

namespace documents {

// The stocktaking note: each line holds the book quantity at entry, the
// counted quantity and the accounting price; no party. Its audit adds
// counted minus book to the quantity on hand and cannot be undone.
const DocumentKind &stocktakingNoteKind();  // C2

// The posting of a stocktaking line: the quantity on hand moves by counted
// minus book quantity; prices and the line stay as they are.
bool postStocktakingLine(PostingContext &context, const StoredLine &line);

} // namespace documents
