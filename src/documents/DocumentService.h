#pragma once

#include "documents/DocumentKind.h"
#include "platform/Prompt.h"

#include <QString>
#include <QVector>

class Module1;

namespace documents {

// One line of the line grid as save reads it (the cell texts).
struct SaveLine {
    QString code;
    QString quantity;
    QString price;
    QString remark;
    QString bookQuantity = {};  // kinds whose lines carry the book quantity
};

// Everything save needs from the window: the header boxes as typed, the
// party box, the lines of the grid, and the numbers the window holds.
struct SaveRequest {
    bool edit = false;          // editing a stored note (else a new one)
    QString number;             // Txt(0)
    QString date;               // Txt(1)
    QString party;              // the party box: "code.name" or a typed code; without a party table box 2
    QString enteredBy;          // Txt(3)
    QString total;              // Txt(5)
    QString remark;             // Txt(6)
    QString reservedNo;         // the number the window reserved (or the edited note's own)
    QString oldNumber;          // edit: the stored note's number
    QVector<SaveLine> lines;    // grid rows 1.., rows without a code included
};

// Shown when a note of the list was deleted on another computer meanwhile.
inline const QString kNoteGoneMessage = QStringLiteral("该单据已不存在，可能已被其它用户删除！");
// Shown when the note to audit was changed on another computer since the window showed it.
inline const QString kNoteChangedMessage = QStringLiteral("该单据已被其它用户修改，现已重新显示，请核对后再审核！");

// The note as a window shows it: the header's date and party code as listed,
// and the lines as they were read from the book to be shown.
struct ShownNote {
    QString date;
    QString party;
    QVector<StoredLine> lines;
};

// The answer of an operation on the book: done, or the message to show.
struct Outcome {
    enum class Focus { None, Number, Party };
    bool done = false;
    QString title;
    QString message;
    Prompt::Icon icon = Prompt::Icon::Information;
    Focus focus = Focus::None;
    bool shownNoteChanged = false;  // audit: the stored note is no longer the one shown

    static Outcome success()
    {
        Outcome o;
        o.done = true;
        return o;
    }
    static Outcome refused(const QString &title, const QString &message,
                           Prompt::Icon icon = Prompt::Icon::Information, Focus focus = Focus::None)
    {
        return Outcome{false, title, message, icon, focus};
    }
};

struct SaveOutcome : Outcome {
    bool storedNoteChanged = false;  // edit: the note was deleted or audited on another computer
    bool partyResolved = false;  // the party was found: the boxes show code and name
    QString partyCode;           // as the party box shows it after the check
    QString partyName;
    QString number;              // trimmed, as stored
    QString date;                // as stored (ISO)
};

// Checks and writes the note in one transaction: on any refusal or failure
// the book is exactly as before. An edit deletes the stored note and writes
// it again, after re-checking inside the transaction that it is unaudited.
SaveOutcome saveDocument(Module1 &module, const DocumentKind &kind, const SaveRequest &request);

// Deletes an unaudited note, header and lines in one transaction; a note
// audited meanwhile (read from the book) is refused.
Outcome deleteDocument(Module1 &module, const DocumentKind &kind, const QString &number);

// Audit: posts the stored lines of the note with the kind's direction and
// marks the header audited. Cancel: the opposite posting and the auditor
// cleared. One transaction each; every goods row is checked before the first
// change; the header's state is re-checked by the marking update itself, so
// a note is never posted twice. Given the note as shown, the audit posts
// only that note: a stored note that differs from it (changed on another
// computer) is refused, compared inside the audit's transaction.
Outcome auditDocument(Module1 &module, const DocumentKind &kind, const QString &number,
                      const ShownNote *shown = nullptr);
Outcome cancelAudit(Module1 &module, const DocumentKind &kind, const QString &number);

// True when the note date (text) lies before the lock date; reloads the lock date first.
bool isBeforeLockDate(Module1 &module, const QString &noteDate);
QString lockDateText(const Module1 &module);

// The sale-price factor as the operator set it (the option is kept as float).
double salePriceFactor(const Module1 &module);

} // namespace documents
