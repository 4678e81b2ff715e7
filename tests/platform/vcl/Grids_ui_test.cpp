#include <gtest/gtest.h>

#include "SimpleControlsFixture.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Grids.h"
#include "platform/win/Window.h"

namespace {

class GridUi : public SimpleControls {
protected:
    void SetUp() override
    {
        SimpleControls::SetUp();
        form = MakeForm(500, 400);
        grid = Add<TStringGrid>(form.get(), form.get(), TRect(10, 10, 410, 310));
        grid->SetColCount(8);
        grid->SetRowCount(1000);
        form->Show();
        grid->SetFocus();
        Pump();
    }

    TPoint CellCentre(int c, int r)
    {
        const TRect rc = grid->CellRect(c, r);
        return grid->ClientToScreen(TPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2));
    }

    void DragCells(TPoint from, TPoint to)
    {
        Headless::Drag(from, to);
        Pump();
    }

    SCROLLINFO VertInfo()
    {
        SCROLLINFO si;
        si.fMask = SIF_ALL;
        GetScrollInfo(grid->GetHandle(), SB_VERT, si);
        return si;
    }

    std::unique_ptr<TForm> form;
    TStringGrid* grid { nullptr };
};

TEST_F(GridUi, MouseSelectionFollowsTheOptions)
{
    struct TCase {
        const char* Name;
        TGridOptions Options;
        TGridRect Expected;
    };
    const TGridOptions base { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine };
    const TCase cases[] = {
        { "range", base + goRangeSelect, { 1, 1, 3, 4 } },
        { "single", base, { 3, 4, 3, 4 } },
        { "rows", base + goRangeSelect + goRowSelect, { 1, 1, 7, 4 } },
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        grid->SetOptions(k.Options);
        grid->MoveColRow(1, 1, true, true);
        DragCells(CellCentre(1, 1), CellCentre(3, 4));
        EXPECT_EQ(grid->GetSelection(), k.Expected);
        EXPECT_EQ(grid->GetGridState(), gsNormal);
        EXPECT_EQ(grid->GetCol(), 3);
        EXPECT_EQ(grid->GetRow(), 4);
    }
    // Shift extends from the anchor.
    grid->SetOptions(cases[0].Options);
    Headless::Click(CellCentre(2, 2));
    Pump();
    Headless::MouseDown(CellCentre(4, 3));
    Pump();
    EXPECT_EQ(grid->GetSelection(), (TGridRect { 4, 3, 4, 3 }));
    Headless::MouseUp(CellCentre(4, 3));
    Pump();
}

TEST_F(GridUi, KeysMoveTheFocusAndHonourRefusals)
{
    grid->SetOptions(grid->GetOptions() + goTabs);
    grid->OnSelectCell = [](TObject*, int ACol, int ARow, bool& can) { can = !(ACol == 2 && ARow == 2); };
    struct TCase {
        WORD Key;
        bool Shift;
        TGridCoord Start, End;
    };
    const TCase cases[] = {
        { VK_DOWN, false, { 1, 1 }, { 1, 2 } },
        { VK_RIGHT, false, { 1, 2 }, { 1, 2 } }, // (2, 2) refuses
        { VK_RIGHT, false, { 3, 2 }, { 4, 2 } },
        { VK_UP, false, { 2, 3 }, { 2, 3 } },    // refused again
        { VK_HOME, false, { 5, 5 }, { 1, 5 } },
        { VK_END, false, { 1, 5 }, { 7, 5 } },
        { VK_TAB, false, { 7, 5 }, { 1, 6 } },   // wraps into the next row
        { VK_TAB, true, { 1, 6 }, { 7, 5 } },
        { VK_UP, false, { 1, 1 }, { 1, 1 } },    // the fixed row is not entered
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(std::to_string(k.Key) + " from " + std::to_string(k.Start.X) + "," + std::to_string(k.Start.Y));
        grid->MoveColRow(k.Start.X, k.Start.Y, true, true);
        Headless::Key(k.Key, k.Shift);
        Pump();
        EXPECT_EQ(grid->GetCol(), k.End.X);
        EXPECT_EQ(grid->GetRow(), k.End.Y);
    }
    // Shift with range selection extends the selection.
    grid->MoveColRow(4, 4, true, true);
    Headless::Key(VK_DOWN, true);
    Headless::Key(VK_DOWN, true);
    Pump();
    EXPECT_EQ(grid->GetSelection(), (TGridRect { 4, 4, 4, 6 }));
    // Page down moves a page and scrolls with it.
    const int page = grid->GetVisibleRowCount();
    grid->MoveColRow(4, 1, true, true);
    Headless::Key(VK_NEXT);
    Pump();
    EXPECT_EQ(grid->GetRow(), 1 + page);
    EXPECT_EQ(grid->GetTopRow(), 1 + page);
}

TEST_F(GridUi, ColumnSizingAndMovingThroughTheMouse)
{
    grid->SetOptions(grid->GetOptions() + goColSizing + goColMoving + goRowSizing);
    const TRect c1 = grid->CellRect(1, 0);
    DragCells(grid->ClientToScreen(TPoint(c1.Right, 10)), grid->ClientToScreen(TPoint(c1.Right + 30, 10)));
    EXPECT_EQ(grid->GetColWidths(1), 64 + 30);
    EXPECT_EQ(grid->GetColWidths(2), 64);

    const TRect r2 = grid->CellRect(0, 2);
    DragCells(grid->ClientToScreen(TPoint(20, r2.Bottom + 1)), grid->ClientToScreen(TPoint(20, r2.Bottom - 9)));
    EXPECT_EQ(grid->GetRowHeights(2), 14);

    int from = -1, to = -1;
    grid->OnColumnMoved = [&](TObject*, int f, int t) { from = f; to = t; };
    grid->SetCells(1, 5, u"moved");
    DragCells(CellCentre(1, 0), CellCentre(3, 0));
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 3);
    EXPECT_EQ(grid->GetCells(3, 5), u"moved");
    EXPECT_EQ(grid->GetColWidths(3), 94);
}

TEST_F(GridUi, ScrollBarPositionsMapOntoTheRows)
{
    grid->SetColCount(5); // the columns fit: no horizontal bar
    Pump();
    const SCROLLINFO start = VertInfo();
    EXPECT_EQ(start.nMin, 0);
    EXPECT_EQ(start.nMax, 127);
    EXPECT_EQ(start.nPos, 0);
    EXPECT_TRUE(GetWindowLong(grid->GetHandle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLong(grid->GetHandle(), GWL_STYLE) & WS_HSCROLL);

    // The bar is drawn in the non-client area: a dithered track.
    const int cw = grid->GetClientWidth(), ch = grid->GetClientHeight();
    const TColor a = PixelAt(grid, TPoint(cw + 8, ch / 2)), b = PixelAt(grid, TPoint(cw + 9, ch / 2));
    EXPECT_NE(a, b);
    for (TColor c : { a, b })
        EXPECT_TRUE(c == ColorToRGB(clBtnFace) || c == ColorToRGB(clBtnHighlight)) << std::hex << c;

    // The down arrow of the window's own bar scrolls one row.
    Headless::Click(grid->ClientToScreen(TPoint(cw + 8, ch - 5)));
    Pump();
    EXPECT_EQ(grid->GetTopRow(), 2);

    const int visible = grid->GetVisibleRowCount();
    const int maxTop = 1000 - visible;
    struct TCase { int Pos, Top; };
    for (const TCase& k : { TCase { 0, 1 }, TCase { 127, maxTop }, TCase { 64, 1 + MulDiv(64, maxTop - 1, 127) } }) {
        SCOPED_TRACE(k.Pos);
        SendMessage(grid->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(k.Pos)), 0);
        EXPECT_EQ(grid->GetTopRow(), k.Top);
        EXPECT_EQ(VertInfo().nPos, k.Pos);
    }
    // Dragging the thumb to the end of the track reaches the last page.
    SendMessage(grid->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    Pump();
    const TPoint thumb = grid->ClientToScreen(TPoint(cw + 8, 17 + 8));
    Headless::Drag(thumb, grid->ClientToScreen(TPoint(cw + 8, ch + 50)));
    Pump();
    EXPECT_EQ(grid->GetTopRow(), maxTop);
    EXPECT_EQ(VertInfo().nPos, 127);
    EXPECT_EQ(grid->GetVisibleRowCount(), visible);
    // The last row now ends inside the view.
    EXPECT_LE(grid->CellRect(1, 999).Bottom, ch);
}

TEST_F(GridUi, SelectingPastTheEdgeScrollsOnTheTimer)
{
    Headless::MouseDown(CellCentre(2, 2));
    Pump();
    EXPECT_EQ(grid->GetGridState(), gsSelecting);
    const int bottom = grid->GetTopRow() + grid->GetVisibleRowCount() - 1;
    Headless::MouseMove(grid->ClientToScreen(TPoint(100, grid->GetClientHeight() + 20)));
    Pump();
    session.PassTime(300);
    EXPECT_GT(grid->GetTopRow(), 1);
    EXPECT_GT(grid->GetRow(), bottom);
    EXPECT_EQ(grid->GetSelection().Top, 2);
    const int top = grid->GetTopRow();
    Headless::MouseUp(grid->ClientToScreen(TPoint(100, grid->GetClientHeight() + 20)));
    Pump();
    session.PassTime(300);
    EXPECT_EQ(grid->GetTopRow(), top); // the timer stopped with the release
    EXPECT_EQ(grid->GetGridState(), gsNormal);

    // The wheel moves the focus row.
    const int row = grid->GetRow();
    Headless::Wheel(-120, CellCentre(2, row));
    Pump();
    EXPECT_EQ(grid->GetRow(), row + 1);
}

TEST_F(GridUi, DisabledArrowsAndTheUpdatingFlag)
{
    EnableScrollBar(grid->GetHandle(), SB_VERT, ESB_DISABLE_DOWN);
    const int cw = grid->GetClientWidth(), ch = grid->GetClientHeight();
    Headless::Click(grid->ClientToScreen(TPoint(cw + 8, ch - 5)));
    Pump();
    EXPECT_EQ(grid->GetTopRow(), 1);
    EnableScrollBar(grid->GetHandle(), SB_VERT, ESB_ENABLE_BOTH);

    // While updating, counts change without laying out the scroll bars.
    grid->SetColCount(5);
    grid->SetUpdating(true);
    grid->SetRowCount(3);
    EXPECT_TRUE(GetWindowLong(grid->GetHandle(), GWL_STYLE) & WS_VSCROLL);
    grid->SetUpdating(false);
    EXPECT_FALSE(GetWindowLong(grid->GetHandle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(GridUi, EditorSitsOnTheFocusCellAndFollowsScrolling)
{
    grid->SetOptions(grid->GetOptions() + goEditing);
    grid->SetCells(2, 3, u"abc");
    grid->MoveColRow(2, 3, true, true);
    Headless::Key(VK_F2);
    Pump();
    TInplaceEdit* ed = grid->GetInplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->GetBoundsRect(), grid->CellRect(2, 3));
    EXPECT_EQ(ed->GetText(), u"abc");

    grid->SetTopRow(2);
    Pump();
    EXPECT_EQ(ed->GetBoundsRect(), grid->CellRect(2, 3));
    grid->SetTopRow(10); // the cell leaves the view: the editor hides
    Pump();
    EXPECT_FALSE(ed->Visible());
    grid->SetTopRow(1);
    Pump();
    EXPECT_TRUE(ed->Visible());

    ed->SetFocus();
    Headless::Key(VK_END);
    Headless::Type(u"de");
    Headless::Key(VK_RETURN);
    Pump();
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(grid->GetCells(2, 3), u"abcde");

    // Typing on a cell opens the editor with that character.
    grid->MoveColRow(4, 4, true, true);
    grid->SetFocus();
    Headless::Type(u"x");
    Pump();
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->GetText(), u"x");
    Headless::Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(grid->GetCells(4, 4), u"");
}

} // namespace
