#pragma once

#include "shell/ZbSet.h"

class QAction;
class QMenu;

// The account-book window of the administration: the shell's chooser (open,
// leave, the list file) with the keeping of the list: a new book (a copy of
// the book named by gBookFile in the folder "我的帐本"), the import of an
// existing book file, a new display name, and the removal of an entry (its
// file stays on disk). Registered as "ZbSet".
class BookListWindow : public ZbSet {
    Q_OBJECT
public:
    explicit BookListWindow(QWidget *parent = nullptr);

    // Cmd1: the popup menu editzb, then the list file is written.
    void AddBook();
    void NewBook();
    void ImportBook();
    void RenameBook();
    void RemoveBook();
    // Offers to open the folder of the selected book file.
    void OpenBookFolder();

    QMenu *editMenu() const { return editzb_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Appends an entry to both lists and selects it.
    void appendBook(const QString &name, const QString &path);
    // The selected entry, or -1 with a message when there is none.
    int selectedEntry();
    QString fallbackName() const;

    QMenu *editzb_;
    // Set by a rename: the list written after the menu keeps its first line.
    bool renamed_ = false;
};
