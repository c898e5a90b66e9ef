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

QString accountBookError(Database &book)
{
    bool ok = false;
    const int found = book.scalar(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                                                 "name in ('TE1','TA4')"),
                                  {}, &ok)
                          .toInt();
    if (!ok)
        return book.lastError();
    return found == 2 ? QString() : QStringLiteral("文件中没有帐本的数据表（TE1、TA4），不是帐本文件。");
}

} // namespace db

#include <cstdio>

namespace db {

namespace {
QString checkBook(const QString &path)
{
    Database copy;
    if (!copy.open(path))
        return copy.lastError();
    bool ok = false;
    // quick_check reads every page and checks the B-tree structure; unlike
    // integrity_check it does not compare each index with its table, which the
    // export has just rebuilt from the rows, and it costs a seventh as much.
    const QString integrity = copy.scalar(QStringLiteral("PRAGMA quick_check"), {}, &ok).toString();
    if (!ok || integrity != QLatin1String("ok"))
        return ok ? integrity : copy.lastError();
    copy.scalar(QStringLiteral("select Versn from theVer"), {}, &ok);
    return ok ? QString() : copy.lastError();
}
} // namespace

QString compactCopy(const QString &source, const QString &target)
{
    const QString temporary = target + QStringLiteral(".tmp");
    QFile::remove(temporary);
    QString error;
    {
        Database book;
        if (!book.open(source))
            return book.lastError();
        if (!book.exec(QStringLiteral("ATTACH DATABASE ? AS compacted KEY ?"),
                       {temporary, QString::fromLatin1(kBookPassword)})) {
            error = book.lastError();
        } else {
            bool ok = false;
            book.scalar(QStringLiteral("SELECT sqlcipher_export('compacted')"), {}, &ok);
            if (!ok)
                error = book.lastError();
            book.execScript(QStringLiteral("DETACH DATABASE compacted"));
        }
    }
    if (error.isEmpty())
        error = checkBook(temporary);
    if (error.isEmpty()
        && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        error = QStringLiteral("无法写入文件 %1").arg(target);
    if (!error.isEmpty())
        QFile::remove(temporary);
    return error;
}

} // namespace db
