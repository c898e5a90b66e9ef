#pragma once

#include <QQueue>
#include <QString>

class QWidget;

// File open/save dialogs go through here so tests can answer them.
// An empty result means the operator cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir) = 0;

    static FileDialogs &current();
    static void setCurrent(FileDialogs *dialogs);  // nullptr: the Qt dialogs
};

class QFileDialog;

// Qt's own file dialog as the program shows it: Chinese type, size and date
// texts in the detail columns (Qt's translations and its use of the system
// locale leave "Folder", "66.53 KiB" and "11 Dec 2026 02:12:21" there) and
// those columns wide enough to show them.
void PrepareChineseFileDialog(QFileDialog &dialog);

class QtFileDialogs : public FileDialogs {
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir) override;
};

// Answers from a queue (tests); an empty queue answers "cancelled".
class ScriptedFileDialogs : public FileDialogs {
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;
    void answer(const QString &path) { answers_.enqueue(path); }
    QString openFileName(QWidget *, const QString &caption, const QString &, const QString &) override;
    QString saveFileName(QWidget *, const QString &caption, const QString &, const QString &) override;
    QString existingDirectory(QWidget *, const QString &caption, const QString &) override;
    QStringList captions;

private:
    QString next(const QString &caption);
    QQueue<QString> answers_;
};
