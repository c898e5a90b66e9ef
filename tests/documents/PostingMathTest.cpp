#include "documents/Posting.h"

#include <gtest/gtest.h>

using documents::GoodsFigures;
using documents::PostingOptions;
using documents::postToGoods;

namespace {

struct PostingCase {
    const char *name;
    GoodsFigures before;
    double q, p;
    int sign;
    PostingOptions options;
    GoodsFigures after;
};

GoodsFigures goods(double quantity, double cost, double sale, bool costKnown = true)
{
    return GoodsFigures{quantity, cost, sale, costKnown};
}

} // namespace

TEST(PostingMath, MovesQuantityAndWeightedAverageCost)
{
    const PostingCase cases[] = {
        {"stock-in onto stock (worked example)", goods(10, 5, 0), 10, 6, +1, {false, 1.2}, goods(20, 5.5, 6.6)},
        {"its cancel", goods(20, 5.5, 6.6), 10, 6, -1, {false, 1.2}, goods(10, 5, 6)},
        {"no cost update: quantity only", goods(10, 5, 7), 10, 6, +1, {true, 1.2}, goods(20, 5, 7)},
        {"factor 0 leaves the sale price", goods(10, 5, 9), 10, 6, +1, {false, 0}, goods(20, 5.5, 9)},
        {"factor sets, not scales, the sale price", goods(10, 5, 100), 10, 6, +1, {false, 2}, goods(20, 5.5, 11)},
        {"returning the whole stock keeps prices", goods(10, 5, 6), 10, 8, -1, {false, 1.2}, goods(0, 5, 6)},
        {"return beyond stock goes negative", goods(4, 5, 6), 6, 5, -1, {false, 0}, goods(-2, 5, 6)},
        {"return at another price moves the cost", goods(10, 5, 0), 5, 7, -1, {false, 0}, goods(5, 3, 0)},
        {"first stock-in of a goods without cost", goods(0, 0, 0, false), 4, 2.5, +1, {false, 0}, goods(4, 2.5, 0)},
        {"residue below 1e-9 counts as zero", goods(0.3, 5, 6), 0.1 + 0.2, 9, -1, {false, 1.2}, goods(0, 5, 6)},
        {"residue at the 1e7 scale counts as zero", goods(10000000.1 + 0.2, 5, 6), 10000000.3, 9, -1, {false, 1.2},
         goods(0, 5, 6)},
    };
    for (const PostingCase &c : cases) {
        SCOPED_TRACE(c.name);
        const GoodsFigures after = postToGoods(c.before, c.q, c.p, c.sign, c.options);
        EXPECT_EQ(after.quantity == 0, c.after.quantity == 0);
        EXPECT_NEAR(after.quantity, c.after.quantity, 1e-12);
        EXPECT_NEAR(after.cost, c.after.cost, 1e-12);
        EXPECT_NEAR(after.salePrice, c.after.salePrice, 1e-12);
    }
}

TEST(PostingMath, GoodsWithoutCostStaysWithoutCostWhenNothingIsAveraged)
{
    const GoodsFigures after = postToGoods(goods(0, 0, 0, false), 3, 2, +1, {true, 0});
    EXPECT_FALSE(after.costKnown);
    EXPECT_EQ(after.quantity, 3);
}
