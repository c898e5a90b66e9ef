#include "support/Leftovers.h"

#include "db/FileReplace.h"
#include "platform/report/ExportFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
bool writeScratch(const QString &scratch, const QByteArray &content)
{
    QFile file(scratch);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
} // namespace

// An export cut off by a kill left its staging file in the clerk's folder: the
// next export there removes it once no one can still be writing it, and
// leaves another computer's export in progress and the clerk's own files.
TEST(ExportFile, AnExportRemovesWhatCutOffExportsLeftInItsFolderAndNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/库存报表.xlsx");
    const QList<leftovers::Left> cases = {
        {db::stagedPathFor(path), 30, true},
        {db::stagedPathFor(dir.path() + QStringLiteral("/出库单.pdf")), 48, true},
        {db::stagedPathFor(path), 0, false},        // another computer exporting it now
        {db::stagedPathFor(dir.path() + QStringLiteral("/出库单.pdf")), 2, false},
        {dir.path() + QStringLiteral("/出库单.pdf.tmp"), 30, false},
        {path + QStringLiteral(".tmp"), 48, false},  // the user's, though an earlier version staged under it
        {dir.path() + QStringLiteral("/笔记.txt"), 30, false},
    };
    leftovers::leave(cases);

    QString error;
    ASSERT_TRUE(report::exportWhole(path, &error, [](const QString &scratch) { return writeScratch(scratch, "表格"); }))
        << error.toStdString();
    QFile exported(path);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), QByteArray("表格"));
    leftovers::expectRemovedAsTold(cases);
}
