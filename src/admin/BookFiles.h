#pragma once

#include <QString>

class Module1;

// Account-book files as the book list sees them: names, new books, imports.
namespace books {

inline const QString kMyBooksFolder = QStringLiteral("我的帐本");
inline const QString kBackupFolder = QStringLiteral("数据备份");
inline const QString kDefaultBookMark = QStringLiteral("darvex.dat");

// Trims name in place and returns it with every ASCII character but the
// digits and the letters removed; other characters (Chinese, full-width
// punctuation) stay. The result may be empty.
QString CleanBookName(QString &name);

// Empty when path opens with the book key and has the theVer table, else the
// engine's error text.
QString checkBookFile(const QString &path);

// Makes target a keyed copy of the book at source (a fresh book from the
// schema when source is not there any more). target is written whole or not
// at all. Returns an empty text on success, else the error.
QString makeNewBook(const QString &source, const QString &target);

// The display name proposed for an imported file: its file name, cut before
// the first "." unless the name starts with it.
QString proposedImportName(const QString &path);

// The display name that names a book's files beside the program (its backup
// settings and automatic backups): a book opened from the command line
// carries its path as name and is named "帐本文件" there.
QString bookNameForFiles(const Module1 &m);

// gAppPath + name + "bak.set".
QString backupSettingsPath(const Module1 &m);

} // namespace books
