// The string grid as a window, headless with the injected clock: update
// locking against painting, the grid and scroll timers, double-buffered
// paint, the size handler, registered messages, scrolling, focus and the
// selection cursors.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/ScrollControl.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// Counts the non-client borders it is asked to draw.
struct BorderCountingGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    int Borders = 0;
    void DrawNonClientBorder() override { ++Borders; }
};

// A grid of 400 x 250 pixels on a shown form, 100 rows of 5 columns, with
// an edit beside it to take the focus away.
struct WindowGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    BorderCountingGrid* Grid = nullptr;
    TEdit* Other = nullptr;
    int Painted = 0;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new BorderCountingGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Grid->SetColCount(5);
        Grid->SetRowCount(100);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(420, 10, 100, 24);
        Form->Show();
        Application->ProcessMessages();
        Grid->OnGetCellColor = [this](TObject*, int, int, TGridDrawState, TBrush*, TFont*) { ++Painted; };
    }
    // Paints what is due and answers whether the grid painted.
    bool PaintsNow()
    {
        Painted = 0;
        Headless::PumpUntilIdle();
        return Painted > 0;
    }
    void Repaint()
    {
        Grid->Invalidate();
        Headless::PumpUntilIdle();
    }
    TPoint ScreenOfCell(int c, int r)
    {
        const TRect R = Grid->CellRect(c, r);
        return Grid->ClientToScreen(TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2));
    }
    // Passes time until the grid timer ticked n more times.
    void Ticks(int n)
    {
        const int Until = Grid->GetTimerTicks() + n;
        for (int i = 0; i < 100 && Grid->GetTimerTicks() < Until; ++i)
            Session.PassTime(50);
        ASSERT_EQ(Grid->GetTimerTicks(), Until);
    }
    void SendTimer(UINT_PTR Id) { SendMessage(Grid->GetHandle(), WM_TIMER, Id, 0); }
};

} // namespace

// ---- update locking ----

TEST_F(WindowGrid, NestedBlocksPaintOnceAtTheOutermostEnd)
{
    Repaint();
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    Grid->SetCells(1, 1, u"x");
    Grid->Invalidate();
    EXPECT_FALSE(PaintsNow());
    Grid->EndUpdate();
    EXPECT_FALSE(PaintsNow());
    Grid->EndUpdate();
    EXPECT_TRUE(PaintsNow());
    EXPECT_FALSE(PaintsNow());
}

// The fault mended: a block closed while the grid was hidden used to leave
// the count up and the grid never painted again.
TEST_F(WindowGrid, ABlockClosedWhileHiddenPaintsAgainOnceShown)
{
    Repaint();
    Grid->BeginUpdate();
    Grid->SetVisible(false);
    Grid->EndUpdate();
    EXPECT_FALSE(Grid->IsUpdating());
    Grid->SetVisible(true);
    EXPECT_TRUE(PaintsNow());
}

TEST_F(WindowGrid, StartUpdateSuppressesPaintingAndResetEndsIt)
{
    Repaint();
    Grid->StartUpdate();
    Grid->Invalidate();
    EXPECT_FALSE(PaintsNow());
    Grid->ResetUpdate();
    Grid->Invalidate();
    EXPECT_TRUE(PaintsNow());

    // ResetUpdate inside a block: the following EndUpdate switches redraw on.
    Grid->BeginUpdate();
    Grid->ResetUpdate();
    Grid->EndUpdate();
    EXPECT_TRUE(PaintsNow());
}

TEST_F(WindowGrid, TheNonClientBorderWaitsForTheEndOfAnUpdate)
{
    Grid->Borders = 0;
    SendMessage(Grid->GetHandle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(Grid->Borders, 1);
    Grid->BeginUpdate();
    SendMessage(Grid->GetHandle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(Grid->Borders, 1);
    Grid->EndUpdate();
    EXPECT_EQ(Grid->Borders, 2);
}

// ---- the grid timer ----

TEST_F(WindowGrid, TypeAheadClearsAfterFourTicksWithoutTyping)
{
    Grid->GetNavigation()->SetAutoGotoIncremental(true);
    Grid->SetSearchInc(u"AB");
    Grid->SetSearchTics(0);
    Ticks(3);
    EXPECT_EQ(Grid->GetSearchInc(), u"AB");
    Ticks(1);
    EXPECT_EQ(Grid->GetSearchInc(), u"");
    EXPECT_EQ(Grid->GetSearchTics(), 0);
}

TEST_F(WindowGrid, HoveringMovesTheFocusCellToThePointer)
{
    Grid->SetHovering(true);
    Headless::MouseMove(ScreenOfCell(3, 4));
    Ticks(1);
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Grid->GetRow(), 4);
    // A fixed cell is not taken.
    Headless::MouseMove(ScreenOfCell(0, 2));
    Ticks(1);
    EXPECT_EQ(Grid->GetCol(), 3);
}

// Only cells in view whose text holds the blink tag (any case) repaint.
TEST_F(WindowGrid, BlinkingRepaintsOnlyVisibleCellsWithTheTag)
{
    Grid->SetEnableBlink(true);
    Grid->SetCells(2, 3, u"<bLiNk>on</blink>");
    Grid->SetCells(2, 90, u"<BLINK>far</BLINK>");
    Grid->SetCells(3, 3, u"<b>plain</b>");
    Repaint();
    const bool Phase = Grid->GetGridBlink();
    SendTimer(TDedOzovedUrad::GridTimerId);
    EXPECT_NE(Grid->GetGridBlink(), Phase);
    RECT Update;
    ASSERT_TRUE(GetUpdateRect(Grid->GetHandle(), &Update, false));
    EXPECT_EQ(TRect(Update), Grid->CellRect(2, 3));

    Grid->SetCells(2, 3, u"");
    Repaint();
    SendTimer(TDedOzovedUrad::GridTimerId);
    EXPECT_FALSE(GetUpdateRect(Grid->GetHandle(), &Update, false));
}

// The platform's timer scrolls while a selection is dragged past the
// bottom; the mouse settings hold it back.
TEST_F(WindowGrid, TheScrollTimerReachesThePlatformsSelectionScroll)
{
    struct Case {
        const char* Name;
        bool NoAutoRangeScroll, NoScrollOnPartialRow;
        bool Scrolls;
    };
    const Case Cases[] = {
        { "plain", false, false, true },
        { "NoAutoRangeScroll", true, false, false },
        { "NoScrollOnPartialRow", false, true, false },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        Grid->GetMouseActions()->SetNoAutoRangeScroll(c.NoAutoRangeScroll);
        Grid->GetMouseActions()->SetNoScrollOnPartialRow(c.NoScrollOnPartialRow);
        Grid->SetTopRow(1);
        Headless::MouseDown(ScreenOfCell(2, 3));
        Grid->SetGridState(gsSelecting);
        const TPoint Below = Grid->ClientToScreen(TPoint(100, Grid->GetClientHeight() + 20));
        SetCursorPos(Below.X, Below.Y);
        const int Top = Grid->GetTopRow();
        SendTimer(1);
        EXPECT_EQ(Grid->GetTopRow() != Top, c.Scrolls);
        if (c.NoAutoRangeScroll)
            EXPECT_EQ(Grid->GetGridState(), gsNormal);
        Grid->SetGridState(gsNormal);
        Headless::MouseUp(Below);
    }
}

// ---- paint ----

TEST_F(WindowGrid, ADoubleBufferedPaintEqualsADirectPaint)
{
    Grid->SetCells(1, 1, u"Hello");
    Grid->SetCells(2, 2, u"<b>bold</b> text");
    Grid->SetColors(3, 3, TColor(0x00FF00));
    auto Capture = [this] {
        Repaint();
        std::vector<COLORREF> Pixels;
        HDC DC = GetDC(Grid->GetHandle());
        for (int y = 0; y < Grid->GetClientHeight(); y += 2)
            for (int x = 0; x < Grid->GetClientWidth(); x += 2)
                Pixels.push_back(GetPixel(DC, x, y));
        ReleaseDC(Grid->GetHandle(), DC);
        return Pixels;
    };
    Grid->SetDoubleBuffered(false);
    const std::vector<COLORREF> Direct = Capture();
    Grid->SetDoubleBuffered(true);
    // Garbage first, so an unpainted buffer would show.
    HDC DC = GetDC(Grid->GetHandle());
    HBRUSH Red = CreateSolidBrush(0x0000FF);
    RECT All { 0, 0, Grid->GetClientWidth(), Grid->GetClientHeight() };
    FillRect(DC, &All, Red);
    DeleteObject(Red);
    ReleaseDC(Grid->GetHandle(), DC);
    const std::vector<COLORREF> Buffered = Capture();
    ASSERT_EQ(Direct.size(), Buffered.size());
    EXPECT_TRUE(Direct == Buffered);
    EXPECT_NE(Direct[Direct.size() / 2], COLORREF(0x0000FF));
}

// ---- size ----

TEST_F(WindowGrid, SynchWithGridScalesTheRecordedWidthsAndTheLastColumnTakesTheRemainder)
{
    const int Orig[] = { 30, 41, 77, 53, 65 };
    for (int c = 0; c < 5; ++c)
        Grid->SetColWidths(c, Orig[c]);
    Grid->GetColumnSize()->SetSynchWithGrid(true);
    Grid->InitOrigColSizes();
    ASSERT_GT(Grid->GetOldSize(), 0);
    Grid->SetWidth(517);
    // The factor the size handler works with.
    const int b = Grid->GetColCount() - Grid->GetFixedCols() - 1;
    const double f = double(Grid->GetClientWidth() + 2 - b - 4) / Grid->GetOldSize();
    double Remainder = 0;
    for (int c = 0; c < 5; ++c) {
        SCOPED_TRACE(c);
        const double Scaled = Orig[c] * f;
        Remainder += Scaled - std::trunc(Scaled);
        if (c < 4)
            EXPECT_EQ(Grid->GetColWidths(c), int(std::trunc(Scaled)));
        else
            EXPECT_EQ(Grid->GetColWidths(c), int(std::trunc(Scaled)) + int(std::trunc(Remainder)));
    }
    EXPECT_GT(int(std::trunc(Remainder)), 0);
}

TEST_F(WindowGrid, StretchFiresOnResizeOncePerSizeMessage)
{
    for (int c = 0; c < 5; ++c)
        Grid->SetColWidths(c, 40);
    Grid->GetColumnSize()->SetStretch(true);
    int Resized = 0;
    Grid->OnResize = [&](TObject*) { ++Resized; };
    Grid->SetWidth(450);
    EXPECT_EQ(Resized, 1);
    int Sum = 0;
    for (int c = 0; c < 5; ++c)
        Sum += Grid->GetColWidths(c);
    EXPECT_GE(Sum + Grid->GetColCount(), Grid->GetClientWidth() - 1);
    Grid->SetWidth(470);
    EXPECT_EQ(Resized, 2);
    // Narrower than the other columns together: nothing stretches.
    for (int c = 0; c < 4; ++c)
        Grid->SetColWidths(c, 200);
    Resized = 0;
    Grid->SetWidth(300);
    EXPECT_EQ(Resized, 0);
}

// ---- registered messages ----

TEST_F(WindowGrid, EditDoneAndFilterEditUpdateReachTheirEvents)
{
    int DoneCol = -1, DoneRow = -1;
    Grid->OnEditCellDone = [&](TObject*, int ACol, int ARow) {
        DoneCol = ACol;
        DoneRow = ARow;
    };
    Grid->GetFocusHelper()->SetEnabled(true);
    Grid->ShowFocusWindow(Grid->CellRect(1, 1));
    Headless::PumpUntilIdle();
    ASSERT_TRUE(IsWindowVisible(Grid->GetFocusWindow()->GetHandle()));
    SendMessage(Grid->GetHandle(), GridUnit().WM_GRIDEDITDONE, 2, 7);
    EXPECT_EQ(DoneCol, 2);
    EXPECT_EQ(DoneRow, 7);
    // The edit is over: the glow around the editor goes.
    Headless::PumpUntilIdle();
    EXPECT_FALSE(IsWindowVisible(Grid->GetFocusWindow()->GetHandle()));

    // The application takes the filtering over: the posted message hands
    // it the remembered column, condition and type.
    Grid->OnFilterEditUpdate = [this](TObject*, int, const String&, TFilterType) {
        Grid->SetDoAutoEditFilter(false);
    };
    int Col = -1;
    String Condition;
    TFilterType Type = ftNone;
    Grid->OnFilterEditDone = [&](TObject*, int ACol, const String& C, TFilterType T) {
        Col = ACol;
        Condition = C;
        Type = T;
    };
    Grid->SetCells(3, 0, u"abc");
    Grid->ApplyFilterEdit(3, ftNone);
    EXPECT_EQ(Col, -1); // posted: after the current message
    Headless::PumpUntilIdle();
    EXPECT_EQ(Col, 3);
    EXPECT_EQ(Condition, u"abc");
    EXPECT_EQ(Type, Grid->GetEditFilterType());
}

// ---- scrolling ----

TEST_F(WindowGrid, ScrollingMovesTheFocusRowAndThePartnerGrid)
{
    auto* Partner = new TDedOzovedUrad(Form.get());
    Partner->SetParent(Form.get());
    Partner->SetBounds(10, 270, 400, 150);
    Partner->SetRowCount(100);
    Grid->GetSyncGrid()->SetGrid(Partner);
    Grid->GetSyncGrid()->SetScrollVertical(true);
    Grid->GetNavigation()->SetMoveRowOnScroll(true);

    Grid->SetRow(3);
    Grid->SetTopRow(40); // the focus row lay above: it goes to the top
    EXPECT_EQ(Grid->GetRow(), 40);
    EXPECT_EQ(Partner->GetTopRow(), 40);
    Grid->SetTopRow(20); // below the view now: it goes to the bottom row
    EXPECT_EQ(Grid->GetRow(), 20 + Grid->GetVisibleRowCount() - 1);
    EXPECT_EQ(Partner->GetTopRow(), 20);
}

// A row the platform's own key handling moves reaches the partner too.
TEST_F(WindowGrid, AKeyMoveReachesTheSynchronisedGrid)
{
    auto* Partner = new TDedOzovedUrad(Form.get());
    Partner->SetParent(Form.get());
    Partner->SetBounds(10, 270, 400, 150);
    Partner->SetRowCount(100);
    Grid->GetSyncGrid()->SetGrid(Partner);
    Grid->GetSyncGrid()->SetSelectionRow(true);
    Grid->SetRow(5);
    EXPECT_EQ(Partner->GetRow(), 5);
    Grid->SetFocus();
    Application->ProcessMessages();
    Headless::Key(VK_DOWN);
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetRow(), 6);
    EXPECT_EQ(Partner->GetRow(), 6);
}

// A rebuild of the cell-control list finds the controls among many rows.
TEST_F(WindowGrid, CellControlsAreCollectedAndPlacedOnTheirCells)
{
    Grid->SetRowCount(100000);
    auto* A = new TEdit(Form.get());
    auto* B = new TEdit(Form.get());
    Grid->SetCellControls(2, 3, A);
    Grid->SetCellControls(4, 99990, B);
    Grid->GetControlList()->ClearControls();
    Grid->CellControlsUpdate(true);
    ASSERT_EQ(Grid->GetControlList()->Count(), 2);
    EXPECT_EQ(Grid->GetNumCellControls(), 2);
    const TRect R = Grid->CellRect(2, 3);
    EXPECT_EQ(A->GetLeft(), R.Left);
    EXPECT_EQ(A->GetTop(), R.Top);
    EXPECT_EQ(A->GetWidth(), R.Width() - 1);
    EXPECT_TRUE(A->GetVisible());
    EXPECT_FALSE(B->GetVisible()); // out of view
    Grid->SetTopRow(99985);
    EXPECT_TRUE(B->GetVisible());
    EXPECT_FALSE(A->GetVisible());
}

// ---- focus ----

TEST_F(WindowGrid, ClickAndEnterTakeTheOldCellSnapshot)
{
    Grid->SetCells(2, 2, u"before");
    Grid->SetCells(3, 4, u"entered");
    Other->SetFocus();
    Grid->GotoCell(2, 2);
    Grid->Click();
    EXPECT_EQ(Grid->GetOldCellText(), u"before");
    EXPECT_EQ(Grid->GetOldCol(), 2);
    Grid->GotoCell(3, 4);
    Grid->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(Grid->GetOldCellText(), u"entered");
    EXPECT_EQ(Grid->GetOldRow(), 4);
}

TEST_F(WindowGrid, LeavingWhileAValueIsStoredIsIgnored)
{
    int Exits = 0;
    Grid->OnExit = [&](TObject*) { ++Exits; };
    Grid->SetFocus();
    Application->ProcessMessages();
    Grid->SetBlockKill(true);
    Other->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(Exits, 0);
    Grid->SetBlockKill(false);
    Grid->SetFocus();
    Other->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(Exits, 1);
}

TEST_F(WindowGrid, HoverButtonsHideWhenTheGridLosesTheFocus)
{
    Grid->GetHoverButtons()->SetEnabled(true);
    Grid->SetFocus();
    TNoActiveForm* Buttons = Grid->GetButtonForm();
    ASSERT_NE(Buttons, nullptr);
    ShowWindow(Buttons->GetHandle(), SW_SHOWNA);
    ASSERT_TRUE(IsWindowVisible(Buttons->GetHandle()));
    Other->SetFocus();
    Application->ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(Buttons->GetHandle()));
}

// ---- cursor ----

TEST_F(WindowGrid, TheSelectionModesShowTheGridsOwnCursors)
{
    struct Case {
        TDedOzovedUrad::TMouseSelectMode Mode;
        int Cursor;
    };
    const Case Cases[] = {
        { TDedOzovedUrad::msRow, 8010 },
        { TDedOzovedUrad::msColumn, 8011 },
        { TDedOzovedUrad::msAll, 8012 },
        { TDedOzovedUrad::msResize, 8012 },
    };
    const TPoint Inside = ScreenOfCell(2, 2);
    SetCursorPos(Inside.X, Inside.Y);
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Cursor);
        ASSERT_NE(TDedOzovedUrad::GridCursor(c.Cursor), nullptr);
        Grid->SetMouseSelectMode(c.Mode, true);
        SendMessage(Grid->GetHandle(), WM_SETCURSOR, WPARAM(Grid->GetHandle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), TDedOzovedUrad::GridCursor(c.Cursor));
    }
    Grid->SetMouseSelectMode(TDedOzovedUrad::msNormal, false);
    Grid->SetCellSelectorMode(true);
    SendMessage(Grid->GetHandle(), WM_SETCURSOR, WPARAM(Grid->GetHandle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), TDedOzovedUrad::GridCursor(8014));
    // A cursor change the mouse code did not make ends the selection mode.
    Grid->SetCellSelectorMode(false);
    Grid->SetMouseSelectMode(TDedOzovedUrad::msRow, false);
    Grid->Perform(CM_CURSORCHANGED);
    EXPECT_EQ(Grid->GetMouseSelectMode(), TDedOzovedUrad::msNormal);
}
