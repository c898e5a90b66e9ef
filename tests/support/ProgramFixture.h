#pragma once

#include "shell/DesktopServices.h"
#include "shell/ModalDialogs.h"
#include "shell/ProgramEnd.h"
#include "support/TestBook.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

// A temporary book, dialogs run by a script, the desktop recorded and no
// pending request to end the program.
struct ProgramFixture {
    ProgramFixture() { program::clearEndRequest(); }
    ~ProgramFixture() { program::clearEndRequest(); }

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

// A login handler: types the operator box and the password, clicks "登 录".
inline ScriptedDialogRunner::Handler loginAs(const QString &operatorText, const QString &password = QString())
{
    return [operatorText, password](QDialog &dialog) {
        child<QComboBox>(&dialog, "Cmb")->setEditText(operatorText);
        child<QLineEdit>(&dialog, "Txt1")->setText(password);
        click(&dialog, "Cmd0");
        return dialog.result();
    };
}
