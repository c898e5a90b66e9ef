#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// The workbook stream of an Excel 97-2003 or Excel 5/95 workbook file: the
// stream "Workbook" ("Book" in Excel 5/95 files; any letter case) of the
// compound file, or the whole file when it holds the records bare.
namespace admin {

enum class WorkbookFile {
    Opened,
    Missing,      // no such file
    Folder,       // a folder, not a file
    Unopenable,   // the file cannot be opened for reading
    NotWorkbook,  // neither a compound file with a workbook stream nor a bare workbook
    OldFormat,    // a bare workbook of Excel 2.x to 4.0 (BIFF2-4)
    Damaged,      // a compound file that cannot be read through
    Encrypted,    // a password-protected workbook of Excel 2007 and later: its package encrypted in a compound file
};

// Reads the workbook stream of the file at path into stream. The stream is
// never taken larger than the file.
WorkbookFile readWorkbookStream(const QString &path, QByteArray &stream);
// The same from a regular file opened for reading; it is read through this
// handle alone.
WorkbookFile readWorkbookStream(QFile &file, QByteArray &stream);

} // namespace admin
