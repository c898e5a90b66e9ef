// The record counter of list windows in status panel 4.
#include "shell/RecordStatus.h"

#include <gtest/gtest.h>

TEST(RecordStatus, CurrentRecordStaysWithinTheCount)
{
    struct Case {
        int count;
        int current;
        const char *text;
    };
    const Case cases[] = {
        {5, 1, "共 5 条记录 当前为第 1 条"},
        {5, 5, "共 5 条记录 当前为第 5 条"},
        {5, 0, "共 5 条记录 当前为第 1 条"},   // nothing chosen yet
        {2, 3, "共 2 条记录 当前为第 2 条"},   // the totals or blank row chosen
        {0, 0, "共 0 条记录"},
        {0, 1, "共 0 条记录"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RecordStatusText(QStringLiteral("共 "), c.count, c.current), QString::fromUtf8(c.text))
            << c.count << "/" << c.current;
    EXPECT_EQ(RecordStatusText(QStringLiteral("入库单：共 "), 3, 2), QStringLiteral("入库单：共 3 条记录 当前为第 2 条"));
}
