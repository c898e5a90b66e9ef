#include "Prompt.h"

#include "DisplayText.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>

namespace {
MessageBoxPrompt gMessageBoxPrompt;
Prompt *gCurrentPrompt = &gMessageBoxPrompt;

QMessageBox::Icon boxIcon(Prompt::Icon icon)
{
    switch (icon) {
    case Prompt::Icon::Information: return QMessageBox::Information;
    case Prompt::Icon::Exclamation: return QMessageBox::Warning;
    case Prompt::Icon::Question: return QMessageBox::Question;
    case Prompt::Icon::Critical: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}
} // namespace

Prompt &Prompt::current()
{
    return *gCurrentPrompt;
}

void Prompt::setCurrent(Prompt *prompt)
{
    gCurrentPrompt = prompt ? prompt : &gMessageBoxPrompt;
}

QMessageBox *MessageBoxPrompt::makeBox(const QString &title, const QString &text, Icon icon, bool question,
                                       QWidget *parent)
{
    auto *box = new QMessageBox(boxIcon(icon), title, KeepTokensTogether(text),
                                question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (question)
        box->setDefaultButton(QMessageBox::Yes);
    return box;
}

void MessageBoxPrompt::message(const QString &title, const QString &text, Icon icon)
{
    std::unique_ptr<QMessageBox> box(makeBox(title, text, icon, false, QApplication::activeWindow()));
    box->exec();
}

bool MessageBoxPrompt::ask(const QString &title, const QString &text, Icon icon)
{
    std::unique_ptr<QMessageBox> box(makeBox(title, text, icon, true, QApplication::activeWindow()));
    return box->exec() == QMessageBox::Yes;
}

bool MessageBoxPrompt::confirm(const QString &title, const QString &text, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> MessageBoxPrompt::inputText(const QString &title, const QString &label, const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

RecordingPrompt::RecordingPrompt()
{
    Prompt::setCurrent(this);
}

RecordingPrompt::~RecordingPrompt()
{
    if (&Prompt::current() == this)
        Prompt::setCurrent(nullptr);
}

void RecordingPrompt::message(const QString &title, const QString &text, Icon icon)
{
    shown.append({QStringLiteral("message"), title, text, icon});
}

bool RecordingPrompt::ask(const QString &title, const QString &text, Icon icon)
{
    shown.append({QStringLiteral("ask"), title, text, icon});
    return answers_.isEmpty() ? false : answers_.dequeue();
}

bool RecordingPrompt::confirm(const QString &title, const QString &text, Icon icon)
{
    shown.append({QStringLiteral("confirm"), title, text, icon});
    return answers_.isEmpty() ? false : answers_.dequeue();
}

std::optional<QString> RecordingPrompt::inputText(const QString &title, const QString &label, const QString &initial)
{
    shown.append({QStringLiteral("input"), title, label, Icon::None, initial});
    return inputs_.isEmpty() ? std::nullopt : inputs_.dequeue();
}

QStringList RecordingPrompt::texts() const
{
    QStringList result;
    for (const auto &s : shown)
        result.append(s.text);
    return result;
}
