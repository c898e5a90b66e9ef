#pragma once

#include <QString>

// The engine's failures in the clerk's words. One place turns the engine's
// result code (or, for a file the program writes itself, the system's error
// number) into a Chinese reason. The engine's own English text travels after
// the reason as detail, between detail marks, so that a message box shows it
// in its details section only.
namespace db {

enum class Failure {
    Busy,          // another computer holds the book past the busy wait
    ReadOnly,      // the book or its folder cannot be written
    Replaced,      // the file was replaced under the open connection (a restore elsewhere)
    DiskFull,
    NotABook,      // another key, or no database at all
    Damaged,       // a damaged page or structure
    MissingTables, // a database that lacks the book's tables
    CannotOpen,
    DiskError,
    Other,
};

// The kind of an engine result code (extended codes too); engineText tells a
// missing table apart from other plain errors.
Failure failureOf(int resultCode, const QString &engineText = {});
// The Chinese reason told for a kind of failure.
QString failureReason(Failure kind);
// What the clerk reads for an engine failure: the reason, the engine's text as detail.
QString describeEngineFailure(int resultCode, const QString &engineText);
// What the clerk reads for a file the program failed to write, from the
// system's error number: a full disk or a folder that cannot be written by
// name, else the system's text with the file's name.
QString describeFileFailure(int errorNumber, const QString &path);

// text followed by detail between the detail marks; text alone when detail is empty.
QString withDetail(const QString &text, const QString &detail);
struct TextAndDetails {
    QString text;     // without the details
    QString details;  // every detail of text, one after another
};
// Takes every detail out of a message text.
TextAndDetails splitDetails(const QString &text);

} // namespace db
