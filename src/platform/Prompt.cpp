#include "Prompt.h"

#include "DisplayText.h"

#include "db/EngineFailure.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
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
// A box's text taller than the screen loses its buttons below the screen's
// edge: the lines that fit stay (a line wider than a box wraps, as the box
// wraps it), the text is cut there and shown whole among the details.
db::TextAndDetails fitToScreen(db::TextAndDetails parts, const QFont &font, const QWidget *near)
{
    const QScreen *screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return parts;
    const QFontMetrics metrics(font);
    const int lineHeight = qMax(1, metrics.lineSpacing());
    const int wrapWidth = qMin(screen->availableGeometry().width() / 2, 500);  // as wide as a box gets
    const int room = screen->availableGeometry().height() - 12 * lineHeight;   // title, buttons, margins
    const int fitting = qMax(3, room / lineHeight);
    const QStringList lines = parts.text.split(QLatin1Char('\n'));
    int used = 0;
    int kept = 0;
    for (; kept < lines.size(); ++kept) {
        used += qMax(1, (metrics.horizontalAdvance(lines[kept]) + wrapWidth - 1) / wrapWidth);
        if (used > fitting - 1)
            break;
    }
    if (kept == lines.size())
        return parts;
    const QString whole = parts.text;
    parts.text = lines.mid(0, kept).join(QLatin1Char('\n')) + QStringLiteral("\n……");
    parts.details = parts.details.isEmpty() ? whole : whole + QLatin1Char('\n') + parts.details;
    return parts;
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
    auto *box = new QMessageBox(boxIcon(icon), title, QString(),
                                question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    const db::TextAndDetails parts = fitToScreen(db::splitDetails(text), box->font(), parent);
    box->setText(KeepTokensTogether(parts.text));
    box->setDetailedText(parts.details);
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
    record(QStringLiteral("message"), title, text, icon);
}

bool RecordingPrompt::ask(const QString &title, const QString &text, Icon icon)
{
    record(QStringLiteral("ask"), title, text, icon);
    return answers_.isEmpty() ? false : answers_.dequeue();
}

bool RecordingPrompt::confirm(const QString &title, const QString &text, Icon icon)
{
    record(QStringLiteral("confirm"), title, text, icon);
    return answers_.isEmpty() ? false : answers_.dequeue();
}

std::optional<QString> RecordingPrompt::inputText(const QString &title, const QString &label, const QString &initial)
{
    shown.append({QStringLiteral("input"), title, label, Icon::None, initial});
    return inputs_.isEmpty() ? std::nullopt : inputs_.dequeue();
}

void RecordingPrompt::record(const QString &kind, const QString &title, const QString &text, Icon icon)
{
    const db::TextAndDetails parts = db::splitDetails(text);
    shown.append({kind, title, parts.text, icon, QString(), parts.details});
}

QStringList RecordingPrompt::texts() const
{
    QStringList result;
    for (const auto &s : shown)
        result.append(s.text);
    return result;
}
