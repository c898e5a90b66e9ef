#include "DesktopServices.h"

#include <QDesktopServices>
#include <QProcess>

namespace {
SystemDesktop gSystemDesktop;
Desktop *gCurrentDesktop = &gSystemDesktop;
} // namespace

Desktop &Desktop::current()
{
    return *gCurrentDesktop;
}

void Desktop::setCurrent(Desktop *desktop)
{
    gCurrentDesktop = desktop ? desktop : &gSystemDesktop;
}

bool SystemDesktop::openUrl(const QUrl &url)
{
    return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

bool SystemDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

RecordingDesktop::RecordingDesktop()
{
    Desktop::setCurrent(this);
}

RecordingDesktop::~RecordingDesktop()
{
    if (&Desktop::current() == this)
        Desktop::setCurrent(nullptr);
}

bool RecordingDesktop::openUrl(const QUrl &url)
{
    urls.append(url);
    return true;
}

bool RecordingDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    programs.append(arguments.isEmpty() ? program : program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
    return true;
}
