#pragma once

#include <QString>

// Registers the account-book file type ".vzk" for the current user: a MIME
// type and a desktop entry under the user's data folder ($XDG_DATA_HOME,
// else ~/.local/share) whose open command starts this program, quoted, with
// the file. Failures are ignored (returns false).
bool RegisterBookFileType(const QString &programPath, const QString &iconPath);

namespace bookfiletype {
inline const QString kMimeType = QStringLiteral("application/x-vantoro-book");
QString dataHome();
QString mimePackagePath();
QString desktopEntryPath();
} // namespace bookfiletype
