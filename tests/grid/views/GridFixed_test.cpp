#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/IntList.h"
#include "tests/support/Fixtures.h"
#include "tests/grid/views/GridFileTest.h"

namespace fs = std::filesystem;
using namespace gridfiletest;

namespace {

struct FixedGrid : gridfiletest::TTextGridTest { };

} // namespace

TEST_F(FixedGrid, ListingColumnsAreAsWideAsTheirLongestLine)
{
    Fill({ { u"ab", u"x" }, { u"c", u"xyz" } });
    EXPECT_EQ(G.ColumnMaxLineLength(0), 2);
    EXPECT_EQ(G.ColumnMaxLineLength(1), 3);
    G.SaveToASCII(P(Dir / "list.txt"));
    EXPECT_EQ(ReadBytes(Dir / "list.txt"), "ab x   \r\nc  xyz \r\n");

    // A line longer than 255 characters keeps its whole width.
    Fill({ { String(300, u'w'), u"z" } });
    G.SaveToASCII(P(Dir / "long.txt"));
    EXPECT_EQ(ReadBytes(Dir / "long.txt"), std::string(300, 'w') + " z \r\n");

    // Appending keeps the lines there were.
    Fill({ { u"q" } });
    G.AppendToASCII(P(Dir / "list.txt"));
    EXPECT_EQ(ReadBytes(Dir / "list.txt"), "ab x   \r\nc  xyz \r\nq \r\n");
}

TEST_F(FixedGrid, ContinuationLinesStartUnderTheirColumn)
{
    Fill({ { u"abc", u"one\r\ntwo" }, { u"d", u"e" } });
    G.SetMultilinecells(true);
    G.SaveToASCII(P(Dir / "multi.txt"));
    EXPECT_EQ(ReadBytes(Dir / "multi.txt"), "abc one \r\n    two\r\nd   e   \r\n");
    G.SetMultilinecells(false);
    G.SaveToASCII(P(Dir / "single.txt"));
    EXPECT_EQ(ReadBytes(Dir / "single.txt"), "abc one \r\nd   e   \r\n");
}

TEST_F(FixedGrid, RecordLayoutWritesAndReadsBack)
{
    Fill({ { u"ab", u"two\r\nlines" }, { u"toolong", u"x" } });
    TIntList Widths;
    Widths.Add(4);
    G.SaveToFixed(P(Dir / "rec.txt"), &Widths);
    ASSERT_EQ(Widths.GetCount(), 2);
    EXPECT_EQ(Widths[1], 4);  // longest first line "two" + 1
    // A field's line break is a space, so the record stays one line.
    EXPECT_EQ(ReadBytes(Dir / "rec.txt"), "ab  two \r\ntoolx   \r\n");

    TDedOzovedUrad Back { nullptr };
    Back.SetFixedRows(0);
    Back.SetFixedCols(0);
    Back.SetRowCount(1);
    TIntList Positions;
    for (int p : { 5, 1, 11 })  // sorted before use
        Positions.Add(p);
    Back.LoadFromFixed(P(Dir / "rec.txt"), &Positions, true, -1);
    ASSERT_EQ(Back.GetRowCount(), 2);
    ASSERT_EQ(Back.GetColCount(), 2);
    EXPECT_EQ(Back.GetCellEx(0, 0), u"ab");
    EXPECT_EQ(Back.GetCellEx(1, 0), u"two");
    EXPECT_EQ(Back.GetCellEx(0, 1), u"tool");

    WriteBytes(Dir / "three.txt", "abc  de  \r\nfgh  ij  \r\nklm  no  \r\n");
    TIntList P2;
    for (int p : { 1, 4, 9 })
        P2.Add(p);
    const struct {
        bool Trim;
        int MaxRows;
        int Rows;
        const char16_t* Second;
    } Cases[] = { { true, -1, 3, u"de" }, { false, -1, 3, u"  de " }, { true, 2, 2, u"de" }, { true, 0, 1, u"de" } };
    for (const auto& c : Cases) {
        SCOPED_TRACE(testing::Message() << c.Trim << " " << c.MaxRows);
        TDedOzovedUrad L { nullptr };
        L.SetFixedRows(0);
        L.SetFixedCols(0);
        L.SetRowCount(1);
        L.LoadFromFixed(P(Dir / "three.txt"), &P2, c.Trim, c.MaxRows);
        EXPECT_EQ(L.GetRowCount(), c.Rows);
        EXPECT_EQ(L.GetCellEx(0, 0), u"abc");
        EXPECT_EQ(L.GetCellEx(1, 0), c.Second);
    }
    EXPECT_THROW(Back.LoadFromFixed(P(Dir / "missing.txt"), &P2, true, -1), ERirEvozError);
}
