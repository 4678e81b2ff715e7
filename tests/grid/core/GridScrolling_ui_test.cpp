#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridSettings.h"
#include "grid/core/ScrollControl.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

// A grid of 400 x 250 pixels on a shown form, 100 rows under one fixed row.
struct ScrollGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Grid->SetRowCount(100);
        Grid->SetFixedRows(1);
        Form->Show();
        Application->ProcessMessages();
    }
    // The grid's height is chosen so that exactly Rows normal rows show.
    void ShowRows(int Rows)
    {
        for (int h = 60; h < 1000 && Grid->GetVisibleRowCount() != Rows; ++h)
            Grid->SetHeight(h);
        ASSERT_EQ(Grid->GetVisibleRowCount(), Rows);
    }
    bool Invalidated()
    {
        RECT R;
        return GetUpdateRect(Grid->GetHandle(), &R, false);
    }
};

} // namespace

TEST_F(ScrollGrid, ScrollInViewPlacesTheRowAndMakesItTheFocus)
{
    const int V = Grid->GetVisibleRowCount();
    ASSERT_GT(V, 3);
    struct Case {
        int Row;
        TScrollPosition Position;
        int Top;
    } const Cases[] = {
        { 50, spLeading, 50 },
        { 50, spMiddle, 50 - V / 2 },
        { 50, spTrailing, 50 - V + 1 },
        { 99, spLeading, 101 - V }, // the grid cannot scroll further
        { 1, spTrailing, 1 },
        { 3, spLeading, 1 }, // in view already: nothing scrolls
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Row);
        Grid->SetTopRow(1);
        Grid->ScrollInView(1, c.Row, c.Position);
        EXPECT_EQ(Grid->GetTopRow(), c.Top);
        if (c.Row > V)
            EXPECT_EQ(Grid->GetRow(), c.Row);
    }
    Grid->SetTopRow(20);
    Grid->ScrollInView(1, 100, spLeading); // at RowCount
    Grid->ScrollInView(5, 3, spLeading);   // at ColCount
    EXPECT_EQ(Grid->GetTopRow(), 20);
}

TEST_F(ScrollGrid, TopRowOutsideTheNormalRowsIsIgnored)
{
    Grid->SetTopRow(30);
    Grid->SetTopRow(0);
    EXPECT_EQ(Grid->GetTopRow(), 30);
    Grid->SetTopRow(100);
    EXPECT_EQ(Grid->GetTopRow(), 30);
    Grid->SetTopRow(-5);
    EXPECT_EQ(Grid->GetTopRow(), 30);
}

TEST_F(ScrollGrid, TheScrollHintNamesTheRowUnderTheThumb)
{
    Grid->SetRowCount(1000);
    ShowRows(20);
    Grid->SetScrollHints(shVertical);
    std::vector<std::string> Hints;
    Grid->OnScrollHint = [&](TObject*, int ARow, String& Hint) {
        Hints.push_back(StringToUtf8(Hint) + "|" + std::to_string(ARow));
    };
    SendMessage(Grid->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_TRUE(Grid->GetScrollHintShow());
    SendMessage(Grid->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 127), 0);
    SendMessage(Grid->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    EXPECT_FALSE(Grid->GetScrollHintShow());
    EXPECT_EQ(Hints, (std::vector<std::string> { "Row : 1|1", "Row : 980|980" }));

    // A handler's text is the one shown; horizontal hints stay off.
    Grid->OnScrollHint = [](TObject*, int, String& Hint) { Hint = u"here"; };
    SendMessage(Grid->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
    EXPECT_FALSE(Grid->GetScrollHintShow());
}

TEST_F(ScrollGrid, DraggingOverAnEdgeScrollsAfterTheDelays)
{
    Grid->GetDragScrollOptions()->SetActive(true);
    Grid->SetTopRow(4);
    bool Accept = true;
    Grid->DragOver(nullptr, 100, 5, dsDragMove, Accept);
    EXPECT_TRUE(Grid->GetDragScrollDirection().Contains(dsdUp));
    Session.PassTime(999);
    EXPECT_EQ(Grid->GetTopRow(), 4);
    Session.PassTime(1);
    EXPECT_EQ(Grid->GetTopRow(), 3);
    Session.PassTime(249);
    EXPECT_EQ(Grid->GetTopRow(), 3);
    Session.PassTime(1);
    EXPECT_EQ(Grid->GetTopRow(), 2);
    Session.PassTime(1000);
    EXPECT_EQ(Grid->GetTopRow(), 1); // stops at the fixed rows

    // A handler may stop a step; leaving the grid stops the timer.
    Grid->SetTopRow(50);
    bool Can = false;
    Grid->OnDragScroll = [&](TObject*, int, int, TDragScrollDirection&, bool& CanScroll) { CanScroll = Can; };
    Grid->DragOver(nullptr, 100, Grid->GetHeight() - 5, dsDragMove, Accept);
    Session.PassTime(2000);
    EXPECT_EQ(Grid->GetTopRow(), 50);
    Can = true;
    Session.PassTime(250);
    EXPECT_EQ(Grid->GetTopRow(), 51);
    Grid->DragOver(nullptr, 100, 100, dsDragLeave, Accept);
    Session.PassTime(2000);
    EXPECT_EQ(Grid->GetTopRow(), 51);
}

TEST_F(ScrollGrid, ProportionalThumbFollowsThePixelsOfTheRows)
{
    for (int r = 1; r < 100; ++r)
        Grid->SetRowHeights(r, r % 2 ? 10 : 40);
    Grid->SetScrollProportional(true);
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    GetScrollInfo(Grid->GetHandle(), SB_VERT, Info);
    EXPECT_EQ(UINT(Info.nMax - 126), Info.nPage);
    EXPECT_GT(Info.nMax, 127);
    EXPECT_EQ(Info.nPos, 0);
    Grid->SetTopRow(50);
    Grid->UpdateVertScrollProportion();
    GetScrollInfo(Grid->GetHandle(), SB_VERT, Info);
    EXPECT_GT(Info.nPos, 40);
    EXPECT_LT(Info.nPos, 90);

    // Normal columns of no width: nothing to divide by, the range stays.
    Grid->SetColCount(3);
    Grid->SetFixedCols(1);
    Grid->SetGridLineWidth(0);
    Grid->SetColWidths(1, 0);
    Grid->SetColWidths(2, 0);
    GetScrollInfo(Grid->GetHandle(), SB_HORZ, Info);
    const int Max = Info.nMax;
    EXPECT_NO_THROW(Grid->UpdateHorzScrollProportion());
    GetScrollInfo(Grid->GetHandle(), SB_HORZ, Info);
    EXPECT_EQ(Info.nMax, Max);
}

TEST_F(ScrollGrid, RepaintRectWithANegativeCornerRepaintsNothing)
{
    UpdateWindow(Grid->GetHandle());
    ASSERT_FALSE(Invalidated());
    Grid->RepaintRect(TRect(-1, 1, 2, 2));
    EXPECT_FALSE(Invalidated());
    Grid->RepaintRect(TRect(1, 1, 2, 2));
    EXPECT_TRUE(Invalidated());
}

// ---- the thin scroll controls of ssMetro ----

TEST_F(ScrollGrid, MetroControlsReplaceTheScrollBars)
{
    Grid->SetScrollType(ssMetro);
    TScrollControl* V = Grid->GetVertScrollControl();
    TScrollControl* H = Grid->GetHorzScrollControl();
    ASSERT_NE(V, nullptr);
    ASSERT_NE(H, nullptr);
    EXPECT_EQ(V->GetParent(), Grid);
    EXPECT_EQ(V->GetWidth(), 6);
    EXPECT_EQ(V->GetAlign(), alRight);
    EXPECT_EQ(H->GetHeight(), 6);
    EXPECT_EQ(H->GetAlign(), alBottom);
    EXPECT_EQ(V->GetDirection(), sdVertical);
    EXPECT_EQ(H->GetDirection(), sdHorizontal);
    EXPECT_EQ(Grid->GetScrollBars(), ssNone);

    Grid->SetScrollType(ssNormal);
    EXPECT_EQ(Grid->GetVertScrollControl(), nullptr);
    EXPECT_EQ(Grid->GetHorzScrollControl(), nullptr);
    EXPECT_EQ(Grid->GetScrollBars(), ssBoth);

    // Without the flat scroll-bar functions the flat look stays off.
    Grid->SetScrollType(ssFlat);
    EXPECT_FALSE(Grid->GetIsFlat());
}

TEST_F(ScrollGrid, MetroThumbShowsTheRowsInView)
{
    Grid->SetRowCount(101);
    ShowRows(20);
    Grid->SetScrollType(ssMetro);
    TScrollControl* V = Grid->GetVertScrollControl();
    ASSERT_NE(V, nullptr);
    Application->ProcessMessages();
    const int Height = V->GetHeight();
    const int Fixed = Grid->GetRowHeights(0);
    const int Track = Height - Fixed;
    EXPECT_EQ(V->TrackLength(), Track);
    EXPECT_TRUE(V->HasThumb());
    int Pos = 0, Len = 0;
    V->GetThumb(Pos, Len);
    EXPECT_EQ(Pos, Fixed);
    EXPECT_NEAR(Len, Track / 5.0, 1.5);

    Grid->SetTopRow(81);
    V->GetThumb(Pos, Len);
    EXPECT_NEAR(Pos + Len, Height, 2);
    EXPECT_LE(Pos + Len, Height);

    // Dragging the thumb by the control's height less the first row moves
    // the top row by RowCount rows, clamped.
    Grid->SetTopRow(1);
    V->GetThumb(Pos, Len);
    const TPoint Start = V->ClientToScreen(TPoint(2, Pos + 2));
    Headless::MouseDown(Start);
    Headless::MouseMove(TPoint(Start.X, Start.Y + 10));
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetTopRow(), 1 + int(RoundHalfEven(10.0 / (Height - Fixed) * 101)));
    Headless::MouseMove(TPoint(Start.X, Start.Y + Height - Fixed));
    Headless::MouseUp(TPoint(Start.X, Start.Y + Height - Fixed));
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetTopRow(), 101 - 20);

    // A press before the thumb pages back.
    V->GetThumb(Pos, Len);
    Headless::Click(V->ClientToScreen(TPoint(2, Pos - 3)));
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetTopRow(), 61);
}

TEST_F(ScrollGrid, AMetroThumbIsNeverShortOrPastTheEnd)
{
    Grid->SetRowCount(100'000);
    Grid->SetScrollType(ssMetro);
    TScrollControl* V = Grid->GetVertScrollControl();
    ASSERT_NE(V, nullptr);
    int Pos = 0, Len = 0;
    Grid->SetTopRow(100'000 - Grid->GetVisibleRowCount());
    V->GetThumb(Pos, Len);
    EXPECT_EQ(Len, 20);
    EXPECT_LE(Pos + Len, V->GetHeight());

    // Rows that all fit: no thumb, and a page click stays at the fixed rows.
    Grid->SetRowCount(4);
    Application->ProcessMessages();
    EXPECT_FALSE(V->HasThumb());
    Headless::Click(V->ClientToScreen(TPoint(2, V->GetHeight() - 2)));
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetTopRow(), 1);
}

// The hover-button form takes clicks without taking the activation.
TEST_F(ScrollGrid, AClickOnTheHoverButtonFormLeavesTheFormActive)
{
    TNoActiveForm* Buttons = Grid->GetButtonForm();
    ASSERT_NE(Buttons, nullptr);
    EXPECT_TRUE(Buttons->GetInputEnabled());
    EXPECT_EQ(Buttons->GetWidth(), 200);
    EXPECT_EQ(Buttons->GetHeight(), 22);
    ASSERT_EQ(GetActiveWindow(), Form->GetHandle());
    Buttons->SetBounds(300, 300, 200, 22);
    ShowWindow(Buttons->GetHandle(), SW_SHOWNOACTIVATE);
    Application->ProcessMessages();
    Headless::Click(TPoint(310, 310));
    Application->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), Form->GetHandle());
    // Its mouse leave hides it.
    Buttons->OnMouseLeave(Buttons);
    EXPECT_FALSE(IsWindowVisible(Buttons->GetHandle()));

    THeaderDragButton* Move = Grid->GetMoveButton();
    ASSERT_NE(Move, nullptr);
    EXPECT_EQ(Move->GetGrid(), Grid);
    EXPECT_FALSE(Move->GetEnabled());
    EXPECT_FALSE(Move->GetVisible());
}

// A first row as high as the control leaves a drag nothing to divide by.
TEST_F(ScrollGrid, AMetroDragOverNoSpanMovesNothing)
{
    Grid->SetScrollType(ssMetro);
    TScrollControl* V = Grid->GetVertScrollControl();
    ASSERT_NE(V, nullptr);
    Grid->SetRowHeights(0, V->GetHeight());
    Grid->SetTopRow(5);
    int Pos = 0, Len = 0;
    V->GetThumb(Pos, Len);
    EXPECT_LE(Pos + Len, V->GetHeight());
    const TPoint Start = V->ClientToScreen(TPoint(2, Pos + 2));
    Headless::MouseDown(Start);
    Application->ProcessMessages();
    EXPECT_TRUE(V->GetDownOnScroller());
    Headless::MouseMove(TPoint(Start.X, Start.Y + 8));
    Headless::MouseUp(TPoint(Start.X, Start.Y + 8));
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetTopRow(), 5);
}
