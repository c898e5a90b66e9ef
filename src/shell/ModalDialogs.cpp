#include "ModalDialogs.h"

#include <QDialog>

namespace {
ExecDialogRunner gExecRunner;
DialogRunner *gCurrentRunner = &gExecRunner;
} // namespace

DialogRunner &DialogRunner::current()
{
    return *gCurrentRunner;
}

void DialogRunner::setCurrent(DialogRunner *runner)
{
    gCurrentRunner = runner ? runner : &gExecRunner;
}

int runModal(QDialog &dialog)
{
    return DialogRunner::current().run(dialog);
}

int ExecDialogRunner::run(QDialog &dialog)
{
    return dialog.exec();
}

ScriptedDialogRunner::ScriptedDialogRunner()
{
    DialogRunner::setCurrent(this);
}

ScriptedDialogRunner::~ScriptedDialogRunner()
{
    if (&DialogRunner::current() == this)
        DialogRunner::setCurrent(nullptr);
}

int ScriptedDialogRunner::run(QDialog &dialog)
{
    shown.append(dialog.objectName());
    const auto it = handlers_.constFind(dialog.objectName());
    if (it == handlers_.constEnd())
        return QDialog::Rejected;
    return (*it)(dialog);
}
