#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;

// Every modal window (login, chooser, tip, about, the dialogs of later
// subsystems) is shown through runModal, so tests can drive a dialog without
// its own event loop.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    // Shows dialog modally and returns its result code.
    virtual int run(QDialog &dialog) = 0;

    static DialogRunner &current();
    static void setCurrent(DialogRunner *runner);  // nullptr: QDialog::exec
};

int runModal(QDialog &dialog);

class ExecDialogRunner : public DialogRunner {
public:
    int run(QDialog &dialog) override;
};

// Tests: records the objectName of every dialog shown and hands the dialog to
// the handler registered for that name (which clicks its buttons and returns
// the result); a dialog without a handler is left as it is and counts as
// rejected. Installs itself while it lives.
class ScriptedDialogRunner : public DialogRunner {
public:
    using Handler = std::function<int(QDialog &)>;
    ScriptedDialogRunner();
    ~ScriptedDialogRunner() override;
    int run(QDialog &dialog) override;
    void handle(const QString &objectName, Handler handler) { handlers_.insert(objectName, std::move(handler)); }

    QStringList shown;

private:
    QHash<QString, Handler> handlers_;
};
