#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Grids.h"

namespace {

String N(int i) { return Utf8ToString(std::to_string(i)); }

// Cells stay stored beyond the counts and survive shrinking; a deleted row
// moves behind the last row.
TEST(StringGridStore, CellsBeyondTheCountsSurviveShrinkingAndDeletion)
{
    TStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(7, 9, u"far");
    EXPECT_EQ(g.GetCells(7, 9), u"far");
    EXPECT_EQ(g.GetColCount(), 3);

    g.SetCells(1, 3, u"last");
    g.SetRowCount(2);
    EXPECT_EQ(g.GetCells(1, 3), u"last");
    g.SetRowCount(4);
    EXPECT_EQ(g.GetCells(1, 3), u"last");

    for (int r = 0; r < 4; ++r)
        g.SetCells(0, r, N(r));
    g.DeleteRow(1);
    EXPECT_EQ(g.GetRowCount(), 3);
    EXPECT_EQ(g.GetCells(0, 1), u"2");
    EXPECT_EQ(g.GetCells(0, 2), u"3");
    EXPECT_EQ(g.GetCells(0, 3), u"1"); // behind the last row, still stored

    // Untouched rows and cells take no slot.
    g.SetCells(2, 200, u"");
    g.SetObjects(2, 200, nullptr);
    EXPECT_FALSE(g.HasStoredSlot(2, 200));
    EXPECT_EQ(g.GetCells(2, 200), u"");
}

TEST(StringGridStore, NegativeIndexesReadEmptyAndRefuseWrites)
{
    TStringGrid g;
    TObject o;
    struct TCase { int c, r; };
    for (const TCase& k : { TCase { -1, 0 }, TCase { 0, -1 }, TCase { -3, -3 } }) {
        SCOPED_TRACE(std::to_string(k.c) + "," + std::to_string(k.r));
        EXPECT_EQ(g.GetCells(k.c, k.r), u"");
        EXPECT_EQ(g.GetObjects(k.c, k.r), nullptr);
        EXPECT_THROW(g.SetCells(k.c, k.r, u"x"), EGridException);
        EXPECT_THROW(g.SetObjects(k.c, k.r, &o), EGridException);
        EXPECT_THROW(g.SetStoredCell(k.c, k.r, u"x"), EGridException);
    }
}

TEST(StringGridStore, RowsAreReadAndAssignedWhole)
{
    TStringGrid g;
    g.SetColCount(3);
    TObject a, b;
    g.SetCells(0, 1, u"x");
    g.SetCells(1, 1, u"y");
    g.SetObjects(1, 1, &a);
    TStrings* row = g.GetRows(1);
    ASSERT_EQ(row->GetCount(), 3);
    EXPECT_EQ(row->GetStrings(0), u"x");
    EXPECT_EQ(row->GetObjects(1), &a);

    TStringList src;
    src.AddObject(u"p", &b);
    src.Add(u"q");
    g.SetCells(2, 2, u"old");
    g.SetRows(2, &src);
    EXPECT_EQ(g.GetCells(0, 2), u"p");
    EXPECT_EQ(g.GetObjects(0, 2), &b);
    EXPECT_EQ(g.GetCells(1, 2), u"q");
    EXPECT_EQ(g.GetCells(2, 2), u""); // emptied by the assignment

    // One row of the grid assigned to another.
    g.SetRows(3, g.GetRows(1));
    EXPECT_EQ(g.GetCells(0, 3), u"x");
    EXPECT_EQ(g.GetObjects(1, 3), &a);
    // A row longer than the column count keeps every item.
    src.Add(u"r");
    src.Add(u"s");
    g.SetRows(0, &src);
    EXPECT_EQ(g.GetCells(3, 0), u"s");
}

TEST(CustomGridGeometry, VisibleCountsLeaveOutFixedAndPartialLines)
{
    TStringGrid g;
    g.SetBounds(0, 0, 300, 110);
    g.SetDefaultColWidth(50);
    g.SetDefaultRowHeight(20);
    g.SetGridLineWidth(0);
    g.SetColCount(20);
    g.SetRowCount(1000);
    // 300 px wide, 1 fixed column of 50: 5 whole columns; 110 high, 1 fixed
    // row of 20: 90 px take 4 whole rows and a partial one.
    EXPECT_EQ(g.GetVisibleColCount(), 5);
    EXPECT_EQ(g.GetVisibleRowCount(), 4);
    g.SetRowHeights(2, 5);
    EXPECT_EQ(g.GetVisibleRowCount(), 5); // 5 + 20 * 3 + partial
    // The grid line widens every line.
    g.SetGridLineWidth(1);
    EXPECT_EQ(g.GetVisibleColCount(), 4); // (300 - 51) / 51

    // Counts at or below the fixed lines cut the fixed lines.
    g.SetFixedRows(3);
    g.SetRowCount(2);
    EXPECT_EQ(g.GetFixedRows(), 1);
    g.SetColCount(1);
    EXPECT_EQ(g.GetFixedCols(), 0);
    EXPECT_THROW(g.SetFixedRows(2), EGridException);
}

TEST(CustomGridGeometry, CellRectAndMouseToCellAgreeAfterScrolling)
{
    TStringGrid g;
    g.SetBounds(0, 0, 400, 200);
    g.SetColCount(50);
    g.SetRowCount(100000);
    g.SetDefaultRowHeight(20);
    g.SetRowHeights(5, 0);
    g.SetColWidths(3, 10);
    g.SetTopRow(60000);
    g.SetLeftCol(2);
    const TRect fixedCorner = g.CellRect(0, 0);
    EXPECT_EQ(fixedCorner, TRect(0, 0, 64, 20));
    const TRect r = g.CellRect(3, 60002);
    EXPECT_EQ(r, TRect(65 + 65, 21 + 42, 65 + 65 + 10, 21 + 42 + 20));
    int c = 0, row = 0;
    g.MouseToCell(r.Left + 1, r.Top + 1, c, row);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(row, 60002);
    // Rows above TopRow and columns left of LeftCol are not in view.
    EXPECT_TRUE(g.CellRect(1, 60002).IsEmpty());
    EXPECT_TRUE(g.CellRect(3, 59999).IsEmpty());
    g.MouseToCell(399, 199, c, row);
    EXPECT_GE(c, 0);
    g.MouseToCell(-1, 400, c, row);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(row, -1);
}

// MoveColRow moves the focus after SelectCell, keeps the anchor on request
// and scrolls only when asked.
TEST(CustomGridPosition, MoveColRowFlags)
{
    TStringGrid g;
    g.SetBounds(0, 0, 300, 120);
    g.SetColCount(10);
    g.SetRowCount(50);
    g.MoveColRow(2, 2, true, false);
    g.MoveColRow(4, 3, false, false);
    EXPECT_EQ(g.GetSelection(), (TGridRect { 2, 2, 4, 3 }));
    g.MoveColRow(3, 40, true, false);
    EXPECT_EQ(g.GetTopRow(), 1);
    EXPECT_EQ(g.GetSelection(), (TGridRect { 3, 40, 3, 40 }));
    g.MoveColRow(3, 41, true, true);
    EXPECT_GT(g.GetTopRow(), 30);
    EXPECT_LE(g.GetTopRow(), 41);

    int asked = 0;
    g.OnSelectCell = [&](TObject*, int, int ARow, bool& can) { ++asked; can = ARow != 7; };
    g.MoveColRow(3, 7, true, true);
    EXPECT_EQ(g.GetRow(), 41);
    EXPECT_EQ(asked, 1);
    EXPECT_THROW(g.MoveColRow(10, 1, true, true), EGridException);

    // Without range selection the anchor always follows.
    g.SetOptions(g.GetOptions() - goRangeSelect);
    g.MoveColRow(5, 8, false, false);
    EXPECT_EQ(g.GetSelection(), (TGridRect { 5, 8, 5, 8 }));
}

// A moved column takes its width; focus, anchor and editor position follow
// by the inclusive rule; then the store moves and OnColumnMoved fires.
TEST(CustomGridMoves, WidthsFocusAndStoreFollowTheMove)
{
    struct TCase { int from, to, focusBefore, focusAfter; };
    const TCase cases[] = {
        { 2, 5, 2, 5 }, { 2, 5, 3, 2 }, { 2, 5, 5, 4 }, { 2, 5, 6, 6 },
        { 5, 2, 5, 2 }, { 5, 2, 2, 3 }, { 5, 2, 4, 5 }, { 5, 2, 1, 1 },
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(std::to_string(k.from) + "->" + std::to_string(k.to) + " focus " + std::to_string(k.focusBefore));
        TStringGrid g;
        g.SetColCount(8);
        for (int c = 0; c < 8; ++c) {
            g.SetColWidths(c, 30 + c);
            g.SetCells(c, 1, N(c));
        }
        g.MoveColRow(k.focusBefore, 1, true, false);
        int events = 0;
        g.OnColumnMoved = [&](TObject*, int f, int t) {
            ++events;
            EXPECT_EQ(f, k.from);
            EXPECT_EQ(t, k.to);
            // Sizes and focus were moved before the notification.
            EXPECT_EQ(g.GetColWidths(k.to), 30 + k.from);
            EXPECT_EQ(g.GetCol(), k.focusAfter);
        };
        g.MoveColumn(k.from, k.to);
        EXPECT_EQ(events, 1);
        EXPECT_EQ(g.GetCells(k.to, 1), N(k.from));
        EXPECT_EQ(g.GetCol(), k.focusAfter);
        EXPECT_EQ(g.GetSelection().Left, k.focusAfter);
    }
}

TEST(CustomGridMoves, RowMoveCarriesHeightAndCells)
{
    TStringGrid g;
    g.SetRowCount(6);
    g.SetRowHeights(1, 40);
    g.SetCells(0, 1, u"one");
    g.MoveRow(1, 4);
    EXPECT_EQ(g.GetRowHeights(4), 40);
    EXPECT_EQ(g.GetRowHeights(1), 24);
    EXPECT_EQ(g.GetCells(0, 4), u"one");
}

TEST(GridAxis, PrefixSumsAndLookupMatchALinearWalk)
{
    TGridAxis a;
    a.SetDefaultSize(10);
    a.SetLineWidth(1);
    a.SetCount(1000);
    for (int i = 0; i < 1000; i += 7)
        a.SetSize(i, i % 3 == 0 ? 0 : 25);
    a.Move(10, 500);
    // Rotations with mixed and with equal sizes keep the sums right.
    std::vector<int> Expect;
    for (int i = 0; i < 1000; ++i)
        Expect.push_back(a.Size(i));
    a.Rotate(100, 350, 900);
    std::rotate(Expect.begin() + 100, Expect.begin() + 350, Expect.begin() + 900);
    a.Rotate(1, 2, 6); // lines 1..5 all at the default: nothing moves
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(a.Size(i), Expect[std::size_t(i)]) << i;
    a.SetCount(700);
    a.SetCount(2000); // grows past the capacity: the tree is rebuilt
    std::int64_t start = 0;
    for (int i = 0; i <= 2000; ++i) {
        ASSERT_EQ(a.Start(i), start) << i;
        if (i < 2000) {
            ASSERT_EQ(a.LastStartingAtOrBefore(start), i) << i;
            ASSERT_EQ(a.LastStartingAtOrBefore(start + a.Size(i)), i) << i; // the line's last pixel
            start += a.Size(i) + 1;
        }
    }
    EXPECT_EQ(a.LastStartingAtOrBefore(start + 1000), 2000);
    // The walks from a nearby line agree with the tree, zero sizes included.
    a.SetLineWidth(0);
    for (int from : { 0, 5, 690, 1990 }) {
        for (int i = std::max(0, from - 3); i <= std::min(2000, from + 100); ++i) {
            ASSERT_EQ(a.StartNear(from, i), a.Start(i)) << from << " " << i;
            const std::int64_t p = a.Start(i);
            ASSERT_EQ(a.IndexNear(from, p), a.LastStartingAtOrBefore(p)) << from << " " << i;
            ASSERT_EQ(a.IndexNear(from, p + 3), a.LastStartingAtOrBefore(p + 3)) << from << " " << i;
        }
    }
    // Lines that left the count come back at the default size.
    EXPECT_EQ(a.Size(707), 10);
}

} // namespace
