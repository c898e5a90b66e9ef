#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// Opening documents and web pages, and starting programs beside ours, go
// through here so tests can see what would have been opened.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The system's document opener (browser, mail program, help viewer); false on failure.
    virtual bool openUrl(const QUrl &url) = 0;
    // Starts a program detached in a normal window; false on failure.
    virtual bool startProgram(const QString &program, const QStringList &arguments = {}) = 0;

    static Desktop &current();
    static void setCurrent(Desktop *desktop);  // nullptr: the system's
};

class SystemDesktop : public Desktop {
public:
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
};

// Records every request and opens nothing (tests). Installs itself while it lives.
class RecordingDesktop : public Desktop {
public:
    RecordingDesktop();
    ~RecordingDesktop() override;
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;

    QList<QUrl> urls;
    QStringList programs;
};
