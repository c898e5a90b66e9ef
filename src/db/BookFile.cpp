#include "BookFile.h"
#include "Database.h"

#include <QFile>
#include <QFileInfo>

static void initDbResources()
{
    Q_INIT_RESOURCE(db);
}

namespace db {

namespace {
QString resourceText(const QString &name)
{
    initDbResources();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

QString createBook(const QString &path)
{
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    {
        Database book;
        if (!book.open(temporary, QString::fromLatin1(kBookPassword), true))
            return book.lastError();
        Transaction transaction(book);
        if (!book.execScript(resourceText(QStringLiteral(":/db/schema.sql")))
            || !book.execScript(resourceText(QStringLiteral(":/db/default_rows.sql")))
            || !transaction.commit()) {
            const QString error = book.lastError();
            book.close();
            QFile::remove(temporary);
            return error;
        }
    }
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        return QStringLiteral("无法写入文件 %1").arg(path);
    }
    return {};
}

} // namespace db
