#include "support/SparseFile.h"

#include "db/EngineFailure.h"
#include "platform/TextFile.h"
#include "platform/report/ReportTemplate.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

// Settings texts and report templates are read whole, so one longer than its
// kind ever is (a gigabyte of an empty tail) is refused before it is read,
// with a reason naming it; one at the limit is still read.
namespace {
struct Read {
    bool ok;
    QString failure;
};

Read settingsText(const QString &path)
{
    Read result{};
    textfile::read(path, &result.ok, &result.failure);
    return result;
}

Read reportTemplate(const QString &path)
{
    Read result{};
    report::ReportTemplate layout;
    result.ok = report::loadTemplate(path, layout, &result.failure);
    return result;
}
} // namespace

TEST(BoundedRead, AFileLongerThanItsKindIsRefusedUnread)
{
    const QByteArray settings = "Yes\r\n货品进出存帐本\r\n";
    const struct {
        const char *name;
        const char *file;
        QString kind;
        std::function<Read(const QString &)> read;
        qint64 size;
        bool refused;
    } cases[] = {
        {"book list of a gigabyte", "dbsetup.dat", QStringLiteral("设置文件"), settingsText, kGigabyte, true},
        {"backup settings of three gigabytes", "帐本bak.set", QStringLiteral("设置文件"), settingsText, 3 * kGigabyte, true},
        {"tips a byte past a megabyte", "Learn.dat", QStringLiteral("设置文件"), settingsText, (1 << 20) + 1, true},
        {"tips of a megabyte", "Learn.dat", QStringLiteral("设置文件"), settingsText, 1 << 20, false},
        {"template of a gigabyte", "Plist.rpt", QStringLiteral("报表模板"), reportTemplate, kGigabyte, true},
        {"template a byte past four megabytes", "Plist.rpt", QStringLiteral("报表模板"), reportTemplate, (4 << 20) + 1, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromUtf8(c.file));
        ASSERT_TRUE(makeSparseFile(path, settings, c.size));
        const Read read = c.read(path);
        const QString named = c.kind + QLatin1Char(' ') + QDir::toNativeSeparators(path) + QStringLiteral(" 有 ");
        if (c.refused) {
            EXPECT_FALSE(read.ok);
            EXPECT_TRUE(read.failure.startsWith(named)) << read.failure.toStdString();
            EXPECT_TRUE(read.failure.endsWith(QStringLiteral("：它不是本程序的") + c.kind + QStringLiteral("，没有读取。")))
                << read.failure.toStdString();
        } else {
            EXPECT_TRUE(read.ok) << read.failure.toStdString();
        }
    }
}

// What cannot be read at all is named as what it is.
TEST(BoundedRead, ASettingsTextThatIsNoFileIsNamed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dbsetup.dat")));
    const struct {
        const char *file;
        QString reason;
    } cases[] = {
        {"missing.dat", QStringLiteral("找不到设置文件 %1")},
        {"dbsetup.dat", QStringLiteral("%1 不是文件（是文件夹、管道或设备），不能作为设置文件读取")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.filePath(QString::fromUtf8(c.file));
        const Read read = settingsText(path);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(db::splitDetails(read.failure).text, c.reason.arg(QDir::toNativeSeparators(path)));
    }
}
