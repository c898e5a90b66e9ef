#pragma once

#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <QTemporaryDir>

// Files that open like a book but are none: an empty (0-byte) file and a
// database keyed with the book password that holds no tables. Made in dir;
// pairs of a case name and the path.
QList<std::pair<const char *, QString>> makeNonBooks(const QString &dir);

// Copies of the book at source in dir with something planted that the
// program never makes: a trigger (one that empties the categories at the
// next change of an operator) and a view. Pairs of a case name and the path.
QList<std::pair<const char *, QString>> makePlantedBooks(const QString &dir, const QString &source);
// Why such a book is refused.
inline const QString kPlantedBookReason =
    QStringLiteral("文件中有本程序从不建立的触发器或视图（可能被别的程序改动过），不能作为帐本使用。");

// A temporary account book made from the schema, opened in its own Module1
// (installed as the current one), with gAppPath and the settings pointed at a
// temporary folder and a recording prompt answering every message box.
// Whether a plan finds table's rows through a range of its date index
// <table>_F2 ("SEARCH ... USING INDEX TB1_F2 (F2>? AND F2<?)"), rather than
// reading the whole table or the whole index.
bool searchesDateIndex(const QString &plan, const QString &table);

class TestBook {
public:
    TestBook();
    ~TestBook();

    Module1 &m() { return module_; }
    db::Database &db() { return module_.gDb; }
    RecordingPrompt &prompt() { return prompt_; }
    ScriptedFileDialogs &fileDialogs() { return fileDialogs_; }
    QString dir() const { return dir_.path(); }
    QString bookPath() const;

    // Runs a statement and fails the test when it fails.
    void exec(const QString &sql, const QVariantList &params = {});
    // The text of the first field of the first row ("" for Null, "<none>" for no row).
    QString value(const QString &sql, const QVariantList &params = {});
    double number(const QString &sql, const QVariantList &params = {});
    // The engine's plan for sql (EXPLAIN QUERY PLAN), one step a line.
    QString plan(const QString &sql);

private:
    QTemporaryDir dir_;
    Module1 module_;
    RecordingPrompt prompt_;
    ScriptedFileDialogs fileDialogs_;
};
