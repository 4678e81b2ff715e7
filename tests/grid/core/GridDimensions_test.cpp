#include <gtest/gtest.h>

#include <vector>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"

TEST(GridDimensions, FixedRowAlwaysKeepsTheFixedRowThroughAnEmptyGrid)
{
    TDedOzovedUrad G(nullptr);
    G.SetFixedRowAlways(true);
    G.SetFixedRows(1);
    G.SetRowCount(1);
    // The platform cannot hold a fixed row in a one-row grid.
    EXPECT_EQ(G.TCustomGrid::GetFixedRows(), 0);
    EXPECT_EQ(G.GetFixedRows(), 1);
    G.SetRowCount(5);
    EXPECT_EQ(G.TCustomGrid::GetFixedRows(), 1);
    EXPECT_EQ(G.GetFixedRows(), 1);

    // Asking for as many fixed rows as there are rows is cut for the
    // platform, and the count asked for comes back with the rows.
    G.SetFixedRows(5);
    EXPECT_EQ(G.TCustomGrid::GetFixedRows(), 4);
    G.SetRowCount(8);
    EXPECT_EQ(G.TCustomGrid::GetFixedRows(), 5);

    G.SetFixedColAlways(true);
    G.SetFixedCols(1);
    G.SetColCount(1);
    EXPECT_EQ(G.TCustomGrid::GetFixedCols(), 0);
    EXPECT_EQ(G.GetFixedCols(), 1);
    G.SetColCount(3);
    EXPECT_EQ(G.TCustomGrid::GetFixedCols(), 1);
}

TEST(GridDimensions, RowCountChangeSeesTheGridAsItWas)
{
    TDedOzovedUrad G(nullptr);
    struct Seen {
        int From, To, Count;
    };
    std::vector<Seen> Calls;
    G.OnRowCountChange = [&](TObject* Sender, int From, int To) {
        Calls.push_back({ From, To, static_cast<TDedOzovedUrad*>(Sender)->GetRowCount() });
    };
    G.SetRowCount(25);
    G.SetRowCount(25);
    G.SetRowCount(4);
    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Calls[0].From, 10);
    EXPECT_EQ(Calls[0].To, 25);
    EXPECT_EQ(Calls[0].Count, 10);
    EXPECT_EQ(Calls[1].From, 25);
    EXPECT_EQ(Calls[1].To, 4);
    EXPECT_EQ(G.GetMaxRowCount(), 25);
    EXPECT_EQ(G.GetNormalRowCount(), 4);
}

// Destruction restores the largest row count to free every cell; the
// handler, which may belong to a form already half gone, hears nothing.
TEST(GridDimensions, RowCountChangeIsSilentWhileTheGridIsDestroyed)
{
    int Calls = 0;
    {
        TDedOzovedUrad G(nullptr);
        G.SetRowCount(30);
        G.SetRowCount(10);
        G.SetColors(2, 25, clRed); // a cell beyond the count keeps properties
        G.OnRowCountChange = [&Calls](TObject*, int, int) { ++Calls; };
    }
    EXPECT_EQ(Calls, 0);
}

// Growing ColCount from 5 to 7 with one hidden column: 8 stored columns,
// the new ones visible.
TEST(GridDimensions, PerColumnArraysGrowWithTheStoredColumns)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(5);
    TDedOzovedUradTestAccess::HideColumnFlag(G, 1);
    ASSERT_EQ(G.GetColCount(), 4);
    G.SetColCount(7);
    EXPECT_EQ(G.GetAllColCount(), 8);
    EXPECT_TRUE(G.IsHiddenColumn(1));
    for (int c : { 5, 6, 7 }) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(G.IsHiddenColumn(c));
    }
    // Stored column 7 has a flag of its own now, column 8 none.
    G.SetColVisibleFlag(7, false);
    G.SetColVisibleFlag(8, false);
    EXPECT_FALSE(G.ColVisibleFlag(7));
    EXPECT_TRUE(G.ColVisibleFlag(8));
    EXPECT_GE(G.GetSuppressColSizes()->Count(), 7);
    EXPECT_EQ(G.GetMaxColCount(), 7);
}

// The floating footer shows the last row: whatever the new count, the
// footer row's texts and objects are found in the new last row.
TEST(GridDimensions, FloatingFooterRowStaysTheLastRow)
{
    struct Case {
        int From, To;
    };
    const Case Cases[] = { { 10, 12 }, { 10, 6 } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.From << " -> " << c.To);
        TDedOzovedUrad G(nullptr);
        G.SetRowCount(c.From);
        G.GetFloatingFooter()->SetVisible(true);
        G.SetCells(1, c.From - 1, u"Total");
        G.SetColors(2, c.From - 1, clRed);
        // The row the footer lands on when shrinking has properties of its own.
        G.SetColors(2, c.To - 1, clBlue);
        G.SetRowCount(c.To);
        EXPECT_EQ(G.GetCells(1, c.To - 1), u"Total");
        EXPECT_EQ(G.GetColors(2, c.To - 1), clRed);
        EXPECT_EQ(G.GetCellProperties(2, c.To - 1)->GetOwnerRow(), c.To - 1);
        EXPECT_EQ(G.GetGridCell(1, c.From - 1), u"");
        EXPECT_FALSE(G.HasCellProperties(2, c.From - 1));
    }
}

TEST(GridDimensions, FixedColumnWidthAndFixedRegions)
{
    TDedOzovedUrad G(nullptr);
    G.SetColWidths(0, 30);
    G.SetFixedColWidth(G.GetDefaultColWidth());
    EXPECT_EQ(G.GetFixedColWidth(), 30);
    G.SetFixedColWidth(40);
    EXPECT_EQ(G.GetColWidths(0), 40);

    G.SetColCount(6);
    G.SetColWidths(5, 25);
    G.SetFixedRightCols(1);
    EXPECT_EQ(G.FixedColumnsWidth(), 65);
    EXPECT_EQ(G.GetLastCol(), 5);
    EXPECT_EQ(G.GetLastRow(), 9);
}

TEST(GridDimensions, ZoomStopsAtTwentyAndResetsToTheStart)
{
    TDedOzovedUrad G(nullptr);
    G.SetRowHeights(3, 0); // a suppressed row stays suppressed
    const int Width = G.GetColWidths(1), Height = G.GetRowHeights(1);
    for (int i = 0; i < 4; ++i)
        G.Zoom(5);
    EXPECT_EQ(G.GetZoomFactor(), 20);
    EXPECT_EQ(G.GetColWidths(1), Width + 20);
    EXPECT_EQ(G.GetRowHeights(1), Height + 20);
    G.Zoom(5);
    EXPECT_EQ(G.GetZoomFactor(), 20);
    EXPECT_EQ(G.GetColWidths(1), Width + 20);
    G.ZoomReset();
    EXPECT_EQ(G.GetZoomFactor(), 0);
    EXPECT_EQ(G.GetColWidths(1), Width);
    EXPECT_EQ(G.GetRowHeights(1), Height);
    EXPECT_EQ(G.GetRowHeights(3), 0);
    EXPECT_EQ(G.GetUpdateCount(), 0);
    // The same limit below.
    G.Zoom(-21);
    EXPECT_EQ(G.GetZoomFactor(), 0);
    EXPECT_EQ(G.GetColWidths(1), Width);
    G.Zoom(-20);
    EXPECT_EQ(G.GetZoomFactor(), -20);
    EXPECT_EQ(G.GetColWidths(1), Width - 20);
    G.Zoom(-1);
    EXPECT_EQ(G.GetZoomFactor(), -20);
}

// A line grows by the amount scaled to the screen, and is tested with that
// same amount: at scale 1.5 a shrink by 20 is 30 pixels, which a 25-pixel
// column does not survive, so it keeps its width.
TEST(GridDimensions, ZoomTestsALineWithTheScaledStep)
{
    struct Case {
        int Size, x;
        double Scale;
        int Zoomed;
    };
    const Case Cases[] = {
        { 25, -20, 1.5, 25 },
        { 64, -20, 1.5, 34 },
        { 25, -20, 1.0, 5 },
        { 20, -20, 1.0, 20 },
        { 10, 3, 1.5, 14 }, // 4.5 rounds to even
        { 10, 5, 1.5, 18 },
        { 0, 5, 1.0, 0 },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.Size << " " << c.x << " " << c.Scale);
        EXPECT_EQ(TDedOzovedUrad::ZoomLineSize(c.Size, c.x, c.Scale), c.Zoomed);
    }
}

// Painting and measuring take the zoomed size from one place: an 8-point
// font at zoom -20 is 1 point, not a 12-pixel font.
TEST(GridDimensions, ZoomedFontSizeIsAtLeastOnePoint)
{
    TDedOzovedUrad G(nullptr);
    struct Case {
        int Zoom, Size, Zoomed;
    };
    const Case Cases[] = { { 0, 8, 8 }, { 5, 8, 13 }, { -7, 8, 1 }, { -20, 8, 1 }, { -20, 30, 10 } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.Zoom << " " << c.Size);
        G.SetZoomFactor(c.Zoom);
        EXPECT_EQ(G.ZoomedFontSize(c.Size), c.Zoomed);
        TFont Font;
        Font.SetSize(c.Size);
        G.ApplyZoom(&Font);
        EXPECT_EQ(Font.GetSize(), c.Zoomed);
    }
}
