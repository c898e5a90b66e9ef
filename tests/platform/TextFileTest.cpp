#include "platform/TextFile.h"

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
}
