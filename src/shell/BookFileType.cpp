#include "BookFileType.h"

#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace bookfiletype {

QString dataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    return env.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : env;
}

QString mimePackagePath()
{
    return dataHome() + QStringLiteral("/mime/packages/vantoro-book.xml");
}

QString desktopEntryPath()
{
    return dataHome() + QStringLiteral("/applications/vantoro-book.desktop");
}

namespace {
// Quoting of a desktop entry's Exec value: inside double quotes, ", `, $ and \ are escaped.
QString quotedExec(const QString &path)
{
    QString q;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        q += c;
    }
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}
} // namespace

} // namespace bookfiletype

bool RegisterBookFileType(const QString &programPath, const QString &iconPath)
{
    using namespace bookfiletype;
    const QString mime = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"%1\">\n"
        "    <comment>%2</comment>\n"
        "    <glob pattern=\"*.vzk\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n").arg(kMimeType, xmlEscaped(QStringLiteral("Vantoro帐本文件")));
    // The Exec line escapes its own backslashes once more (desktop entry string rules).
    QString exec = quotedExec(programPath);
    exec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    const QString entry = QStringLiteral(
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Vantoro帐本文件\n"
        "Exec=%1 %f\n"
        "Icon=%2\n"
        "MimeType=%3;\n"
        "NoDisplay=true\n"
        "Terminal=false\n").arg(exec, iconPath, kMimeType);
    bool ok = QDir().mkpath(QFileInfo(mimePackagePath()).path()) &&
              QDir().mkpath(QFileInfo(desktopEntryPath()).path());
    ok = ok && textfile::writeAtomically(mimePackagePath(), mime.toUtf8());
    ok = ok && textfile::writeAtomically(desktopEntryPath(), entry.toUtf8());
    if (ok) {
        // Let the desktop learn the new type at once when the tools are there.
        const QString updateMime = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (!updateMime.isEmpty())
            QProcess::startDetached(updateMime, {dataHome() + QStringLiteral("/mime")});
    }
    return ok;
}
