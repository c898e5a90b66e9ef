#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class MForm;
class Module1;
class QApplication;

// The start procedure Main, in its steps, so a test can run them one by one
// with scripted prompts and dialogs. Each step returns false when the program
// is to end.
class Startup {
public:
    explicit Startup(Module1 &module);
    ~Startup();

    // Start values of the public variables: gProgramPath = programFolder and
    // gAppPath = dataFolder, each with a trailing "/". With one folder only,
    // it serves as both (a self-contained copy of the program folder).
    void SetDefaults(const QString &programFolder, const QString &dataFolder);
    void SetDefaults(const QString &folder) { SetDefaults(folder, folder); }
    // Makes the data folder and puts the template book and the seed book list
    // of the program folder into it when they are missing; never over a file.
    void PrepareDataFolder();
    // Opens the book named on the command line when it is an account book;
    // true when it is open in gDb.
    bool OpenCommandLineBook(const QString &commandLine);
    // The default or listed book, or the chooser; false when the program ends.
    bool OpenListedBook();
    // The main window, shown.
    MForm *ShowMainWindow();
    // The login; false when the program ends.
    bool RunLogin();
    // Lock date, tip of the day and the two start-up stock alarms.
    void StartupDuties();

    // Every step in order; false when the program ends before its main loop.
    bool Main(const QString &programFolder, const QString &dataFolder, const QString &commandLine);
    bool Main(const QString &folder, const QString &commandLine) { return Main(folder, folder, commandLine); }

    MForm *mainWindow() const { return main_.get(); }

private:
    bool RunBookChooser();

    Module1 &m_;
    std::unique_ptr<MForm> main_;
};

// The book named by a command line: a quoted path up to its closing quote
// (nothing without one), else the text up to the first blank.
QString ParseCommandLineBook(const QString &commandLine);
// The program's arguments as one command-line text; an argument holding a
// blank is quoted, so a path given as one argument stays whole.
QString CommandLineText(const QStringList &arguments);

// Whether files can be made in folder (false when it does not exist).
bool IsWritableFolder(const QString &folder);

// The user's data folder: what the program writes lives there.
QString userDataFolder();

// Runs the start procedure and then the event loop; returns the exit code.
int runProgram(QApplication &app);
