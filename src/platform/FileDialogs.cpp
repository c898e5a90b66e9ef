#include "FileDialogs.h"

#include <QFileDialog>

namespace {
QtFileDialogs gQtFileDialogs;
FileDialogs *gCurrentDialogs = &gQtFileDialogs;
} // namespace

FileDialogs &FileDialogs::current()
{
    return *gCurrentDialogs;
}

void FileDialogs::setCurrent(FileDialogs *dialogs)
{
    gCurrentDialogs = dialogs ? dialogs : &gQtFileDialogs;
}

QString QtFileDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtFileDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString QtFileDialogs::existingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

ScriptedFileDialogs::ScriptedFileDialogs()
{
    FileDialogs::setCurrent(this);
}

ScriptedFileDialogs::~ScriptedFileDialogs()
{
    if (&FileDialogs::current() == this)
        FileDialogs::setCurrent(nullptr);
}

QString ScriptedFileDialogs::next(const QString &caption)
{
    captions.append(caption);
    return answers_.isEmpty() ? QString() : answers_.dequeue();
}

QString ScriptedFileDialogs::openFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    return next(caption);
}

QString ScriptedFileDialogs::saveFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    return next(caption);
}

QString ScriptedFileDialogs::existingDirectory(QWidget *, const QString &caption, const QString &)
{
    return next(caption);
}
