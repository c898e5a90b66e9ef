#pragma once

#include "db/Database.h"
#include "shell/DesktopServices.h"
#include "shell/ModalDialogs.h"
#include "shell/ProgramEnd.h"
#include "support/TestBook.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

// A temporary book, dialogs run by a script, the desktop recorded and no
// pending request to end the program.
struct AdminFixture {
    AdminFixture() { program::clearEndRequest(); }
    ~AdminFixture() { program::clearEndRequest(); }

    Module1 &m() { return book.m(); }
    QString file(const QString &name) const { return book.dir() + QLatin1Char('/') + name; }

    TestBook book;
    ScriptedDialogRunner dialogs;
    RecordingDesktop desktop;
};

template <typename T = QAbstractButton>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void click(QObject *parent, const char *name)
{
    if (auto *button = child<QAbstractButton>(parent, name))
        button->click();
}

// A login handler: types the operator and an empty password, clicks "登 录".
inline ScriptedDialogRunner::Handler loginAs(const QString &operatorCode)
{
    return [operatorCode](QDialog &dialog) {
        child<QComboBox>(&dialog, "Cmb")->setEditText(operatorCode);
        child<QLineEdit>(&dialog, "Txt1")->clear();
        click(&dialog, "Cmd0");
        return dialog.result();
    };
}

// The value of sql on the book file at path, opened with the book key.
inline QString valueIn(const QString &path, const QString &sql)
{
    db::Database other;
    if (!other.open(path))
        return QStringLiteral("<cannot open: %1>").arg(other.lastError());
    const QVariant v = other.scalar(sql);
    return v.isNull() ? QStringLiteral("<none>") : v.toString();
}

inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
