#pragma once

#include "documents/DocumentKind.h"

namespace documents {

// The two outbound kinds: goods that leave for a receiving unit and goods a
// receiving unit brings back. Their audits move only the quantity on hand.
const DocumentKind &stockOutNoteKind();  // D1
const DocumentKind &returnInNoteKind();  // D3

// The posting of the outbound kinds: moves the goods' quantity on hand by
// sign * quantity (prices untouched) and stamps the note's lines of this
// goods with the quantity after posting, the cost price as stored and the stamp.
bool postOutboundLine(PostingContext &context, const StoredLine &line);

} // namespace documents
