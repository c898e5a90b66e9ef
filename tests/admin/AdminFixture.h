#pragma once

#include "db/Database.h"
#include "support/ProgramFixture.h"

#include <QFile>

// The program fixture with the helpers the administration tests use.
struct AdminFixture : ProgramFixture {
    Module1 &m() { return book.m(); }
    QString file(const QString &name) const { return book.dir() + QLatin1Char('/') + name; }
};

// The value of sql on the book file at path, opened with the book key.
inline QString valueIn(const QString &path, const QString &sql)
{
    db::Database other;
    if (!other.open(path))
        return QStringLiteral("<cannot open: %1>").arg(other.lastError());
    const QVariant v = other.scalar(sql);
    return v.isNull() ? QStringLiteral("<none>") : v.toString();
}

inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
