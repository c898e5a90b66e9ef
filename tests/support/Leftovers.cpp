#include "Leftovers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <ctime>
#include <utime.h>

namespace leftovers {

void leave(const QString &path, int hoursAgo)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("left by a write that was cut off");
    file.close();
    const std::time_t then = std::time(nullptr) - std::time_t(hoursAgo) * 3600;
    const utimbuf times{then, then};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0) << path.toStdString();
}

void leave(const QList<Left> &cases)
{
    for (const Left &left : cases)
        leave(left.path, left.hoursAgo);
}

void expectRemovedAsTold(const QList<Left> &cases)
{
    for (const Left &left : cases)
        EXPECT_EQ(QFile::exists(left.path), !left.removed) << left.path.toStdString();
}

QStringList stagingIn(const QString &folder)
{
    static const QRegularExpression staged(QStringLiteral(R"(\.warehouse-staging(-journal)?$)"));
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(staged);
}

} // namespace leftovers
