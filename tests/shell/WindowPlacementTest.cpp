#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, KeepsAPlaceInsideTheWorkAreaAndMovesOthersIn)
{
    const QRect area(0, 0, 1280, 770);  // a 1280x800 screen less a panel
    const QMargins frame(4, 24, 4, 4);
    const struct {
        const char *what;
        QRect client;
        QMargins frame;
        QRect placed;
    } cases[] = {
        {"no frame, the whole area", {0, 0, 1280, 770}, {}, {0, 0, 1280, 770}},
        {"framed, the whole area", {4, 24, 1272, 742}, frame, {4, 24, 1272, 742}},
        {"framed, in the middle", {120, 90, 900, 600}, frame, {120, 90, 900, 600}},
        {"title bar above the area", {100, 10, 900, 600}, frame, {100, 24, 900, 600}},
        {"bottom below the area", {0, 300, 800, 600}, {}, {0, 170, 800, 600}},
        {"left of the area", {-50, 0, 400, 300}, {}, {0, 0, 400, 300}},
        {"taller and wider than the area", {-10, -10, 1400, 900}, frame, {4, 24, 1272, 742}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WindowPlacement placement{c.client, c.frame, false};
        EXPECT_EQ(placement.placedIn(area), c.placed);
    }
}

TEST(WindowPlacement, ReadsBackWhatItWroteAndNothingElse)
{
    const WindowPlacement left{{120, -5, 900, 600}, {4, 24, 4, 4}, true};
    const auto read = WindowPlacement::fromText(left.toText());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->client, left.client);
    EXPECT_EQ(read->frame, left.frame);
    EXPECT_TRUE(read->maximized);

    // Qt's own geometry blob, as earlier versions stored it, and damaged texts.
    for (const char *text : {"AdnQywADAAAAAAAAAAAAAAAABP8AAAMfAAAAAAAAAAAAAAT/AAADHwAAAAACAAAABQ", "", "1 2 3 4",
                             "0 0 0 600 0 0 0 0 0", "0 0 800 x 0 0 0 0 0", "0 0 800 600 0 0 0 0 0 7"})
        EXPECT_FALSE(WindowPlacement::fromText(QString::fromLatin1(text)).has_value()) << text;
}
