#include "platform/GridModel.h"

#include <gtest/gtest.h>

TEST(GridModel, CountsRowsWithTheCaptionRowAndKeepsOneBlankRow)
{
    GridModel grid(3);
    grid.setCaptions({"编码", "名称", "数量"});
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.textMatrix(0, 1), QStringLiteral("名称"));
    EXPECT_EQ(grid.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("名称"));

    grid.addItem("A\tB\t1");
    EXPECT_EQ(grid.rows(), 3);  // the blank row stays before the added one
    EXPECT_EQ(grid.textMatrix(2, 0), QStringLiteral("A"));
    grid.addItem("Z\tfirst", 1);
    EXPECT_EQ(grid.textMatrix(1, 0), QStringLiteral("Z"));
    EXPECT_EQ(grid.textMatrix(1, 2), QString());

    grid.removeItem(1);
    grid.removeItem(1);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.textMatrix(1, 0), QStringLiteral("A"));
    grid.removeItem(1);  // the last data row is blanked, not removed
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.textMatrix(1, 0), QString());
    EXPECT_EQ(grid.textMatrix(0, 0), QStringLiteral("编码"));
}

TEST(GridModel, SetDataRowsReplacesTheBlankRowAndPads)
{
    GridModel grid(2);
    grid.setDataRows({{"1", "a"}, {"2"}});
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(grid.textMatrix(2, 1), QString());
    EXPECT_EQ(grid.data(grid.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("a"));
    grid.setDataRows({});
    EXPECT_EQ(grid.rows(), 2);
    grid.setTextMatrix(5, 0, "ignored");
    EXPECT_EQ(grid.textMatrix(5, 0), QString());
}

// Cells of a row share one store: changing one cell's length, inserting
// rows between others and changing the column count must leave every other
// cell's text as it was.
TEST(GridModel, EditsKeepNeighbouringCells)
{
    GridModel grid(3);
    TextRows rows(grid.cols());
    rows.append({"a1", "b1", "c1"});
    rows.append({"a2", "", "c2", "dropped"});
    rows.append({"a3"});
    EXPECT_EQ(rows.cell(1, 2), u"c2");
    grid.setDataRows(std::move(rows));
    ASSERT_EQ(grid.rows(), 4);

    grid.setTextMatrix(1, 1, "longer b1");
    grid.setTextMatrix(2, 1, "b2");
    grid.setTextMatrix(2, 0, "");
    grid.addItem("x	y	z", 2);
    EXPECT_EQ(grid.rowTexts(1), (QStringList{"a1", "longer b1", "c1"}));
    EXPECT_EQ(grid.rowTexts(2), (QStringList{"x", "y", "z"}));
    EXPECT_EQ(grid.rowTexts(3), (QStringList{"", "b2", "c2"}));
    EXPECT_EQ(grid.rowTexts(4), (QStringList{"a3", "", ""}));

    grid.setCols(2);
    EXPECT_EQ(grid.rowTexts(3), (QStringList{"", "b2"}));
    grid.setCols(4);
    EXPECT_EQ(grid.rowTexts(1), (QStringList{"a1", "longer b1", "", ""}));
    grid.setTextMatrix(1, 3, "d1");
    grid.removeItem(2);
    EXPECT_EQ(grid.rowTexts(1), (QStringList{"a1", "longer b1", "", "d1"}));
    EXPECT_EQ(grid.rowTexts(2), (QStringList{"", "b2", "", ""}));
    EXPECT_EQ(grid.cellView(1, 3), u"d1");
}

TEST(GridModel, CellColoursMoveWithTheirRows)
{
    GridModel grid(2);
    grid.setDataRows({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    const QColor red(255, 0, 0);
    grid.setCellForeground(2, 1, red);
    grid.setCellForeground(3, 1, red);
    grid.removeItem(2);  // b goes: c's colour moves up with c
    EXPECT_EQ(grid.cellForeground(2, 1), red);
    EXPECT_FALSE(grid.cellForeground(3, 1).isValid());
    grid.addItem("z\t0", 1);  // inserted before a: c moves down again
    EXPECT_FALSE(grid.cellForeground(1, 1).isValid());
    EXPECT_EQ(grid.cellForeground(3, 1), red);
    grid.removeItem(1);
    grid.removeItem(1);
    grid.removeItem(1);  // the last row is blanked and loses its colour
    EXPECT_FALSE(grid.cellForeground(1, 1).isValid());
}

TEST(TextRows, PadsCutsAndJoinsRowsOfOtherWidths)
{
    TextRows narrow(2);
    narrow.append({"a", "bb"});
    narrow.append({"c"});
    TextRows wide(3);
    wide.append({"1", "22", "333", "cut"});
    wide.append(narrow);
    ASSERT_EQ(wide.size(), 3);
    EXPECT_EQ(wide[0], (QStringList{"1", "22", "333"}));
    EXPECT_EQ(wide[1], (QStringList{"a", "bb", ""}));
    EXPECT_EQ(wide.last(), (QStringList{"c", "", ""}));
    EXPECT_EQ(wide.cell(0, 2), u"333");

    GridModel grid(2);
    grid.setDataRows(std::move(wide));  // cut to the grid's two columns
    EXPECT_EQ(grid.rowTexts(1), (QStringList{"1", "22"}));
    EXPECT_EQ(grid.rowTexts(3), (QStringList{"c", ""}));
}

// Rows built cell by cell hold what QString::fromUtf8 makes of the same bytes,
// also for a byte-order mark, broken, cut and overlong sequences, code points
// beyond Unicode, noncharacters and characters outside the basic plane, also
// after and within long runs of ASCII, and a cell that does not end its
// sequence does not leak into the next one.
TEST(TextRows, RowsBuiltCellByCellDecodeUtf8AsFromUtf8)
{
    const QByteArray cells[] = {
        "A001",         "货品名称",         "\xEF\xBB\xBF" "bom", "bad\xFF" "byte", "cut\xE8\xB4",
        "next",         "\xF0\x9F\x93\xA6", "",                   "\xC3" "(",       "末",
        "a\xED\xA0\x80z", "a\xEF\xBB\xBF" "b", "\xFF\xFE",          "ab\xC3",
        "caf\xC3\xA9",  "\xC0\xAF" "over", "\xE0\x80\xAF",     "\xF4\x90\x80\x80", "\xEF\xBF\xBF" "non",
        "\xEF\xB7\x90", "\xF0\x9F\x93",     "\xE8\xB4\xA7" "\x80",
        "G0000001货品", "ABCDEFGH\xFF",     "0123456789ABCDEFG", "ABCDEFG\xC3\xA9" "xyzuvwab",
    };
    TextRows built(3);
    TextRows appended(3);
    for (int first = 0; first + 1 < int(std::size(cells)); first += 2) {
        built.addUtf8Cell(cells[first]);
        built.addUtf8Cell(cells[first + 1]);
        built.endRow();  // the third cell is padded empty
        appended.append({QString::fromUtf8(cells[first]), QString::fromUtf8(cells[first + 1])});
    }
    built.addCell(u"x");
    built.addCell(QLatin1StringView("12.5"));
    built.addCell(u"y");
    built.addCell(u"dropped");
    built.endRow();
    appended.append({"x", "12.5", "y"});
    ASSERT_EQ(built.size(), appended.size());
    for (int r = 0; r < built.size(); ++r)
        EXPECT_EQ(built[r], appended[r]) << r;
    EXPECT_EQ(built.cell(0, 1), u"货品名称");
}

// Rows share large blocks of characters, and a copy shares them with the
// rows it came from: edits of many rows (which write rows anew and then
// move the rows to fresh blocks), removals and cuts must change only the
// rows edited, in the copy edited, and leave every other cell as it was.
TEST(TextRows, ManyEditedRowsKeepTheirOwnAndTheirCopysTexts)
{
    constexpr int kRows = 3000;  // some blocks' worth of characters
    const auto text = [](int row, int col, const char *tag) {
        return QStringLiteral("%1-%2-%3").arg(QString::fromUtf8(tag)).arg(row).arg(col);
    };
    TextRows original(3);
    for (int r = 0; r < kRows; ++r)
        original.append({text(r, 0, "货"), text(r, 1, "b"), r % 7 ? text(r, 2, "c") : QString()});

    TextRows edited(original);
    for (int r = 0; r < kRows; r += 2)
        edited.setCell(r, 1, text(r, 1, "longer edited"));
    for (int r = 1; r < kRows; r += 2)
        edited.setCell(r, 0, QString());
    edited.removeAt(0);
    edited.insert(1, {"inserted"});
    edited.resize(kRows / 2);
    edited.append(original);
    edited.setCols(2);

    for (int r = 0; r < kRows; ++r) {
        ASSERT_EQ(original.cell(r, 0), text(r, 0, "货")) << r;
        ASSERT_EQ(original.cell(r, 1), text(r, 1, "b")) << r;
        ASSERT_EQ(original.cell(r, 2), r % 7 ? text(r, 2, "c") : QString()) << r;
    }
    ASSERT_EQ(edited.size(), kRows / 2 + kRows);
    EXPECT_EQ(edited[0], (QStringList{QString(), text(1, 1, "b")}));
    EXPECT_EQ(edited[1], (QStringList{"inserted", QString()}));
    for (int r = 2; r < kRows / 2; ++r) {
        const int was = r;  // one row removed before, one inserted
        ASSERT_EQ(edited.cell(r, 0), was % 2 ? QString() : text(was, 0, "货")) << r;
        ASSERT_EQ(edited.cell(r, 1), text(was, 1, was % 2 ? "b" : "longer edited")) << r;
    }
    for (int r = 0; r < kRows; ++r)
        ASSERT_EQ(edited[kRows / 2 + r], (QStringList{text(r, 0, "货"), text(r, 1, "b")})) << r;
}
