#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <optional>

class QWidget;

// Every message box, confirmation and input box goes through a Prompt, so
// tests can read what was shown and answer it.
class Prompt {
public:
    enum class Icon { None, Information, Exclamation, Question, Critical };

    virtual ~Prompt() = default;

    // A notice with an OK button.
    virtual void message(const QString &title, const QString &text, Icon icon = Icon::Information) = 0;
    // Yes/No buttons; true for Yes.
    virtual bool ask(const QString &title, const QString &text, Icon icon = Icon::Question) = 0;
    // OK/Cancel buttons; true for OK. Prompts that have no such box ask Yes/No.
    virtual bool confirm(const QString &title, const QString &text, Icon icon = Icon::Question)
    {
        return ask(title, text, icon);
    }
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString &title, const QString &label,
                                             const QString &initial = QString()) = 0;

    // The prompt the program uses; never null.
    static Prompt &current();
    // Replaces the current prompt (tests); nullptr puts the message-box prompt back.
    static void setCurrent(Prompt *prompt);
};

class QMessageBox;

// Shows QMessageBox / QInputDialog over the active window.
class MessageBoxPrompt : public Prompt {
public:
    // The box message() (question false) or ask() (question true) shows. The
    // details a text carries (db::withDetail) go into the box's details section,
    // and a text taller than the screen is cut there too.
    static QMessageBox *makeBox(const QString &title, const QString &text, Icon icon, bool question,
                                QWidget *parent = nullptr);

    void message(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text, Icon icon) override;
    bool confirm(const QString &title, const QString &text, Icon icon) override;
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override;
};

// Records everything shown and answers from queues (tests).
// An unanswered question is answered No (Cancel); an unanswered input box is cancelled.
class RecordingPrompt : public Prompt {
public:
    struct Shown {
        QString kind;  // "message", "ask" (Yes/No), "confirm" (OK/Cancel) or "input"
        QString title;
        QString text;
        Icon icon;
        QString proposed = {};  // an input box's proposed answer
        QString details = {};   // what the box shows behind its details button only
    };

    RecordingPrompt();   // installs itself as the current prompt
    ~RecordingPrompt() override;  // puts the message-box prompt back

    void message(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text, Icon icon) override;
    bool confirm(const QString &title, const QString &text, Icon icon) override;
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override;

    // Yes, or OK for a confirmation.
    void answerYes(int times = 1) { for (int i = 0; i < times; ++i) answers_.enqueue(true); }
    void answerNo(int times = 1) { for (int i = 0; i < times; ++i) answers_.enqueue(false); }
    void answerInput(const std::optional<QString> &text) { inputs_.enqueue(text); }

    QList<Shown> shown;  // each text without its details, which are kept apart
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QStringList texts() const;
    void clear() { shown.clear(); }

private:
    void record(const QString &kind, const QString &title, const QString &text, Icon icon);

    QQueue<bool> answers_;
    QQueue<std::optional<QString>> inputs_;
};
