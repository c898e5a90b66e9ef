#include "db/EngineFailure.h"
#include "platform/TextFile.h"
#include "support/BookFaults.h"
#include "support/WriterlessFifo.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TextFile, ReadsUtf8ElseGb18030AndWritesWhole)
{
    const QString text = QStringLiteral("Yes\n货品进出存帐本\n");
    EXPECT_EQ(textfile::decode(text.toUtf8()), text);
    QStringEncoder gb("GB18030");
    ASSERT_TRUE(gb.isValid());
    const QByteArray gbBytes = gb.encode(text);
    ASSERT_NE(gbBytes, text.toUtf8());
    EXPECT_EQ(textfile::decode(gbBytes), text);

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/帐本.dat");
    ASSERT_TRUE(textfile::writeAtomically(path, text.toUtf8()));
    bool ok = false;
    EXPECT_EQ(textfile::read(path, &ok), text);
    EXPECT_TRUE(ok);
    textfile::read(dir.path() + "/missing", &ok);
    EXPECT_FALSE(ok);
    // A FIFO in a settings file's place is no file: read as none, at once.
    WriterlessFifo fifo(dir.path() + "/fifo.dat");
    ASSERT_TRUE(fifo.made());
    textfile::read(dir.path() + "/fifo.dat", &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(fifo.finish()) << "the read waited on the FIFO";
}

TEST(TextFile, AWriteToAFullDiskFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    faults::SmallDisk disk(dir.path() + QStringLiteral("/小磁盘"), 64);
    if (!disk.mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    const QString path = disk.folder() + QStringLiteral("/帐本bak.set");
    ASSERT_TRUE(textfile::writeAtomically(path, QByteArray("0\r\n\r\n")));
    disk.fill();

    // A short text goes to the file only when it is closed: that write fails too.
    QString failure;
    EXPECT_FALSE(textfile::writeAtomically(path, QByteArray("7\r\n2026/12/11\r\n"), &failure));
    EXPECT_EQ(db::splitDetails(failure).text, db::failureReason(db::Failure::DiskFull));
    EXPECT_EQ(textfile::read(path), QStringLiteral("0\r\n\r\n"));
    EXPECT_EQ(QDir(disk.folder()).entryList(QDir::Files), QStringList({QStringLiteral("filler"), QStringLiteral("帐本bak.set")}));
}
