#include "TestBook.h"

#include "db/BookFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

TestBook::TestBook()
{
    const QString error = db::createBook(bookPath());
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(module_.gDb.open(bookPath())) << module_.gDb.lastError().toStdString();
    module_.ResetToDefaults();
    module_.gAppPath = dir_.path() + QLatin1Char('/');
    module_.gProgramPath = module_.gAppPath;
    module_.gBookFile = bookPath();
    module_.gBookName = QStringLiteral("测试帐本");
    module_.gUserCode = QStringLiteral("001");
    module_.gUserName = QStringLiteral("系统管理员");
    Module1::setInstance(&module_);
    // Settings of this test go to its own folder, never to the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path() + QStringLiteral("/settings"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path() + QStringLiteral("/settings"));
    qputenv("XDG_DATA_HOME", (dir_.path() + QStringLiteral("/xdg-data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir_.path() + QStringLiteral("/xdg-config")).toUtf8());
}

TestBook::~TestBook()
{
    module_.gDb.close();
    Module1::setInstance(nullptr);
}

QString TestBook::bookPath() const
{
    return dir_.path() + QStringLiteral("/测试帐本.vzk");
}

void TestBook::exec(const QString &sql, const QVariantList &params)
{
    ASSERT_TRUE(db().exec(sql, params)) << sql.toStdString() << ": " << db().lastError().toStdString();
}

QString TestBook::value(const QString &sql, const QVariantList &params)
{
    db::Statement st = db().prepare(sql);
    EXPECT_TRUE(st.isValid()) << sql.toStdString() << ": " << db().lastError().toStdString();
    st.bindAll(params);
    if (!st.next())
        return QStringLiteral("<none>");
    return st.text(0);
}

double TestBook::number(const QString &sql, const QVariantList &params)
{
    bool ok = false;
    const QVariant v = db().scalar(sql, params, &ok);
    EXPECT_TRUE(ok) << sql.toStdString() << ": " << db().lastError().toStdString();
    return v.toDouble();
}

QString TestBook::plan(const QString &sql)
{
    db::Statement st = db().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    EXPECT_TRUE(st.isValid()) << sql.toStdString() << ": " << db().lastError().toStdString();
    QStringList steps;
    while (st.next())
        steps.append(st.text(3));
    return steps.join(QLatin1Char('\n'));
}

bool searchesDateIndex(const QString &plan, const QString &table)
{
    const QRegularExpression search(QStringLiteral(R"(^SEARCH (TABLE )?%1( AS \w+)? USING (COVERING )?INDEX %1_F2 \(F2[<>])")
                                        .arg(table),
                                    QRegularExpression::MultilineOption);
    return search.match(plan).hasMatch();
}

QList<std::pair<const char *, QString>> makeNonBooks(const QString &dir)
{
    const QString empty = dir + QStringLiteral("/空文件.vzk");
    QFile file(empty);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString keyed = dir + QStringLiteral("/无表.vzk");
    {
        db::Database database;
        EXPECT_TRUE(database.open(keyed, QString::fromLatin1(db::kBookPassword), true));
        EXPECT_TRUE(database.exec(QStringLiteral("PRAGMA user_version=1")));  // writes the keyed header
    }
    return {{"0-byte file", empty}, {"keyed database without tables", keyed}};
}

QList<std::pair<const char *, QString>> makePlantedBooks(const QString &dir, const QString &source)
{
    const QList<std::pair<const char *, const char *>> planted = {
        {"trigger", "create trigger planted after update on TE1 begin delete from TA2; end"},
        {"view", "create view planted as select * from TE1"},
    };
    QList<std::pair<const char *, QString>> books;
    for (const auto &[name, sql] : planted) {
        const QString path = dir + QStringLiteral("/planted-%1.vzk").arg(QLatin1String(name));
        EXPECT_TRUE(QFile::copy(source, path));
        db::Database book;
        EXPECT_TRUE(book.open(path));
        EXPECT_TRUE(book.exec(QString::fromLatin1(sql))) << book.lastError().toStdString();
        books.append({name, path});
    }
    return books;
}
