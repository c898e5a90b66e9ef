// The message box of the program: details apart, never taller than the screen.
#include "db/EngineFailure.h"
#include "platform/Prompt.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <gtest/gtest.h>
#include <memory>

TEST(MessageBoxPrompt, TheEnginesDetailGoesToTheDetailsAndATallTextIsCutToTheScreen)
{
    const int screenHeight = QGuiApplication::primaryScreen()->availableGeometry().height();
    QStringList listing;
    for (int page = 1; page <= 120; ++page)
        listing << QStringLiteral("Page %1: btreeInitPage() returns error code 11").arg(page);
    const struct {
        const char *name;
        QString text;
        QString mainText;  // empty: cut, checked by height
        QString details;
    } cases[] = {
        {"engine detail", QStringLiteral("系统无法备份数据。\n\n") + db::withDetail(QStringLiteral("帐本文件已经损坏！"), listing.join('\n')),
         QStringLiteral("系统无法备份数据。\n\n帐本文件已经损坏！"), listing.join('\n')},
        {"tall text", QStringLiteral("说明：\n") + listing.join('\n'), QString(), QStringLiteral("说明：\n") + listing.join('\n')},
        {"short text", QStringLiteral("保存成功！"), QStringLiteral("保存成功！"), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QMessageBox> box(MessageBoxPrompt::makeBox(QStringLiteral("提示"), c.text, Prompt::Icon::Information, false));
        if (!c.mainText.isEmpty())
            EXPECT_EQ(box->text(), c.mainText);
        else
            EXPECT_TRUE(box->text().endsWith(QStringLiteral("……")));
        EXPECT_EQ(box->detailedText(), c.details);
        EXPECT_LE(box->sizeHint().height(), screenHeight);
    }
}
