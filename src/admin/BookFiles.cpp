#include "BookFiles.h"

#include "db/BookFile.h"
#include "db/Database.h"
#include "shell/Module1.h"

#include <QFileInfo>

namespace books {

QString CleanBookName(QString &name)
{
    name = name.trimmed();
    QString cleaned;
    for (const QChar c : name) {
        const ushort code = c.unicode();
        const bool asciiDropped = code <= 47 || (code >= 58 && code <= 64) || (code >= 91 && code <= 96)
                                  || (code >= 123 && code <= 127);
        if (!asciiDropped)
            cleaned.append(c);
    }
    return cleaned;
}

QString checkBookFile(const QString &path)
{
    db::Database book;
    if (!book.open(path))
        return book.lastError();
    if (const QString error = db::accountBookError(book); !error.isEmpty())
        return error;
    bool ok = false;
    book.scalar(QStringLiteral("select Versn from theVer"), {}, &ok);
    return ok ? QString() : book.lastError();
}

QString makeNewBook(const QString &source, const QString &target)
{
    if (!QFileInfo(source).isFile())
        return db::createBook(target);
    // A source that is no account book would give a new book nobody can log in to.
    if (const QString error = checkBookFile(source); !error.isEmpty())
        return error;
    return db::compactCopy(source, target);
}

QString proposedImportName(const QString &path)
{
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.indexOf(QLatin1Char('.'));
    if (dot > 0)
        name = name.left(dot);
    return name;
}

QString bookNameForFiles(const Module1 &m)
{
    return m.gBookName == m.gBookFile ? QStringLiteral("帐本文件") : m.gBookName;
}

QString backupSettingsPath(const Module1 &m)
{
    return m.gAppPath + bookNameForFiles(m) + QStringLiteral("bak.set");
}

} // namespace books
