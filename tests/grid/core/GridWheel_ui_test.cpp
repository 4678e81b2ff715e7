// The mouse wheel and middle-button panning through the window's message
// path, headless with the injected clock.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

namespace {

// A focused grid of 400 x 250 pixels, 100 rows of 5 columns, one fixed row
// and column, with an edit beside it.
struct WheelGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    TEdit* Other = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Grid->SetColCount(5);
        Grid->SetRowCount(100);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(420, 10, 100, 24);
        Form->Show();
        Grid->SetFocus();
        Headless::PumpUntilIdle();
    }
    TPoint ScreenOfCell(int c, int r)
    {
        const TRect R = Grid->CellRect(c, r);
        return Grid->ClientToScreen(TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2));
    }
    void Turn(int Delta, TPoint Screen)
    {
        Headless::Wheel(Delta, Screen);
        Headless::PumpUntilIdle();
    }
    void TurnOverGrid(int Delta) { Turn(Delta, ScreenOfCell(2, 2)); }
};

TEST_F(WheelGrid, TurnsMoveTheFocusRowByTheSystemLines)
{
    ASSERT_EQ(Grid->GetWheelScrollLines(), 3);
    Grid->SetRow(10);
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetRow(), 13);
    TurnOverGrid(120);
    TurnOverGrid(120);
    EXPECT_EQ(Grid->GetRow(), 7);
    Grid->GetMouseActions()->SetWheelIncrement(5);
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetRow(), 12);
    // Never onto the fixed row.
    Grid->SetRow(2);
    TurnOverGrid(120);
    EXPECT_EQ(Grid->GetRow(), 1);
}

TEST_F(WheelGrid, MouseOverDropsATurnOverAnotherControl)
{
    struct Case {
        TWheelActive Active;
        bool OverGrid;
        int Row;
    };
    const Case Cases[] = {
        { waFocus, false, 13 },
        { waFocus, true, 13 },
        { waMouseOver, false, 10 },
        { waMouseOver, true, 13 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Active) * 10 + int(C.OverGrid));
        Grid->SetRow(10);
        Grid->GetMouseActions()->SetWheelActive(C.Active);
        const TPoint OverOther = Other->ClientToScreen(TPoint(5, 5));
        Turn(-120, C.OverGrid ? ScreenOfCell(2, 2) : OverOther);
        EXPECT_EQ(Grid->GetRow(), C.Row);
    }
}

TEST_F(WheelGrid, PageScrollingMovesAScreenOfRows)
{
    UINT Saved = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Saved, 0);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 0xFFFFFFFFu, nullptr, 0);
    Grid->InitWheelScroll(false);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, Saved, nullptr, 0);
    const int Page = Grid->GetVisibleRowCount();
    ASSERT_GT(Page, 3);
    Grid->SetRow(5);
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetRow(), 5 + Page);
}

TEST_F(WheelGrid, WheelScrollMovesTheViewNotTheFocus)
{
    Grid->GetMouseActions()->SetWheelAction(waScroll);
    Grid->SetRow(2);
    const int Top = Grid->GetTopRow();
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetTopRow(), Top + 3);
    EXPECT_EQ(Grid->GetRow(), 2);
    TurnOverGrid(120);
    TurnOverGrid(120);
    EXPECT_EQ(Grid->GetTopRow(), Grid->GetFixedRows());
}

TEST_F(WheelGrid, CtrlZoomsWithoutMovingTheFocus)
{
    int Zoomed = 0;
    Grid->OnIntelliZoom = [&](TObject*) { ++Zoomed; };
    Grid->SetRow(10);
    const int Factor = Grid->GetZoomFactor();
    InjectKey(VK_CONTROL, true);
    TurnOverGrid(120);
    InjectKey(VK_CONTROL, false);
    Headless::PumpUntilIdle();
    EXPECT_EQ(Zoomed, 1);
    EXPECT_EQ(Grid->GetZoomFactor(), Factor + Grid->GetWheelScrollLines());
    EXPECT_EQ(Grid->GetRow(), 10);

    Grid->SetIntelliZoom(false);
    InjectKey(VK_CONTROL, true);
    TurnOverGrid(-120);
    InjectKey(VK_CONTROL, false);
    EXPECT_EQ(Zoomed, 1);
}

TEST_F(WheelGrid, WithoutEnableWheelOnlyTheEventHears)
{
    int Heard = 0;
    Grid->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& Handled) {
        ++Heard;
        Handled = true;
    };
    Grid->SetEnableWheel(false);
    Grid->SetRow(10);
    TurnOverGrid(-120);
    EXPECT_EQ(Heard, 1);
    EXPECT_EQ(Grid->GetRow(), 10);
}

TEST_F(WheelGrid, FilteredOutRowsAreSkipped)
{
    Grid->GetMouseActions()->SetWheelIncrement(1);
    for (int r = 11; r <= 13; ++r)
        Grid->SetRowHeights(r, 0);
    Grid->SetRow(10);
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetRow(), 14);
    TurnOverGrid(120);
    EXPECT_EQ(Grid->GetRow(), 10);
}

TEST_F(WheelGrid, MoveRowOnScrollComesBackOnEveryPath)
{
    Grid->GetNavigation()->SetMoveRowOnScroll(true);
    bool SeenDuring = true;
    Grid->OnSelectCell = [&](TObject*, int, int, bool&) {
        SeenDuring = Grid->GetNavigation()->GetMoveRowOnScroll();
    };
    Grid->SetRow(10);
    TurnOverGrid(-120);
    EXPECT_FALSE(SeenDuring);
    EXPECT_TRUE(Grid->GetNavigation()->GetMoveRowOnScroll());

    // A turn a handler takes, and one at the end of the grid.
    Grid->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool& Handled) { Handled = true; };
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetRow(), 13);
    Grid->OnMouseWheelDown = nullptr;
    Grid->SetRow(99);
    TurnOverGrid(-120);
    EXPECT_EQ(Grid->GetRow(), 99);
    EXPECT_TRUE(Grid->GetNavigation()->GetMoveRowOnScroll());
}

// ---- panning ----

// A spin editor would take the turn for its value: a turn the grid's
// window gets (a system that sends the wheel to the window under the
// pointer) gives the grid the focus back, which ends the edit.
TEST_F(WheelGrid, ASpinEditorEndsItsEditOnATurn)
{
    GridEditorRegistry::Register(edSpinEdit, [](TDedOzovedUrad*) -> TWinControl* { return new TEdit(nullptr); });
    Grid->GetMouseActions()->SetWheelAction(waScroll);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->SetDefaultEditor(edSpinEdit);
    Grid->FocusCell(2, 3);
    Grid->ShowInplaceEdit();
    Headless::PumpUntilIdle();
    ASSERT_TRUE(Grid->EditMode);
    ASSERT_NE(Grid->EditCtrl, nullptr);
    const TPoint At = ScreenOfCell(2, 2);
    SendMessage(Grid->GetHandle(), WM_MOUSEWHEEL, WPARAM(std::uint32_t(-120) << 16),
        LPARAM((std::uint32_t(At.Y) << 16) | std::uint32_t(At.X & 0xFFFF)));
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_TRUE(Grid->Focused());
    EXPECT_GT(Grid->GetTopRow(), 1);
    // A turn the focused spin editor passes on to the grid hides it and
    // moves the focus row.
    Grid->GetMouseActions()->SetWheelAction(waMoveSelection);
    Grid->ShowInplaceEdit();
    Headless::PumpUntilIdle();
    ASSERT_TRUE(Grid->EditMode);
    TWinControl* Spin = Grid->GetSpinEdit();
    ASSERT_TRUE(Spin->GetVisible());
    const int Row = Grid->GetRow();
    TurnOverGrid(-120);
    EXPECT_FALSE(Spin->GetVisible());
    EXPECT_GT(Grid->GetRow(), Row);
    EXPECT_TRUE(Grid->Focused());
    GridEditorRegistry::Unregister(edSpinEdit);
}

// Scrolled to the end with the search footer showing, the footer's update
// step runs.
TEST_F(WheelGrid, ReachingTheEndUpdatesTheSearchFooter)
{
    struct FooterGrid : TDedOzovedUrad {
        using TDedOzovedUrad::TDedOzovedUrad;
        int Updates = 0;
        void UpdateSearchFooter() override { ++Updates; }
    };
    auto* G = new FooterGrid(Form.get());
    G->SetParent(Form.get());
    G->SetBounds(10, 270, 400, 150);
    G->SetColCount(3);
    G->SetRowCount(12);
    G->GetMouseActions()->SetWheelAction(waScroll);
    G->GetSearchFooter()->SetVisible(true);
    G->SetFocus();
    Headless::PumpUntilIdle();
    const int Before = G->Updates;
    const TPoint At = G->ClientToScreen(TPoint(50, 40));
    for (int i = 0; i < 6 && G->GetTopRow() != G->GetRowCount() - G->GetVisibleRowCount(); ++i)
        Turn(-120, At);
    ASSERT_EQ(G->GetTopRow(), G->GetRowCount() - G->GetVisibleRowCount());
    const int AtEnd = G->Updates;
    EXPECT_GT(AtEnd, Before);
    // Scrolled back up, no further update.
    Turn(120, At);
    EXPECT_EQ(G->Updates, AtEnd);
}

struct PanGrid : WheelGrid {
    TPoint Origin;
    void StartPan()
    {
        Origin = ScreenOfCell(2, 4);
        Headless::MouseDown(Origin, 2);
        Headless::MouseUp(Origin, 2);
        Headless::PumpUntilIdle();
    }
    void PointerAt(int dx, int dy)
    {
        Headless::MouseMove(TPoint(Origin.X + dx, Origin.Y + dy));
        Session.PassTime(10);
    }
};

TEST_F(PanGrid, DeadZoneAndCursorTable)
{
    Grid->SetIntelliPan(ipBoth);
    Grid->GetMouseActions()->SetWheelAction(waScroll);
    StartPan();
    ASSERT_TRUE(Grid->GetPanning());
    EXPECT_EQ(GetCapture(), Grid->GetHandle());
    EXPECT_EQ(Grid->GetPanCursorId(), 8000);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, 8000));
    struct Case {
        int dx, dy, Cursor;
    };
    const Case Cases[] = {
        { 0, 0, 8000 }, { 5, -5, 8000 }, { -5, 5, 8000 },
        { 0, -6, 8004 }, { 0, 6, 8001 }, { -6, 0, 8002 }, { 6, 0, 8003 },
        { 6, -6, 8005 }, { -6, -6, 8006 }, { 6, 6, 8007 }, { -6, 6, 8008 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.dx) + "," + std::to_string(C.dy));
        PointerAt(C.dx, C.dy);
        EXPECT_EQ(Grid->GetPanCursorId(), C.Cursor);
        EXPECT_NE(LoadCursor(nullptr, UINT_PTR(C.Cursor)), nullptr);
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, UINT_PTR(C.Cursor)));
    }
}

TEST_F(PanGrid, InsideTheDeadZoneNothingMoves)
{
    Grid->SetIntelliPan(ipBoth);
    Grid->SetRow(4);
    Grid->SetCol(2);
    StartPan();
    const int Top = Grid->GetTopRow();
    PointerAt(4, -5);
    Session.PassTime(100);
    EXPECT_EQ(Grid->GetRow(), 4);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetTopRow(), Top);
}

TEST_F(PanGrid, EveryTickMovesOneRowAndDirectionsFollowIntelliPan)
{
    // ipVertical (the default) ignores a horizontal offset.
    Grid->SetRow(4);
    Grid->SetCol(2);
    StartPan();
    PointerAt(40, 40);
    const int Row = Grid->GetRow();
    EXPECT_GE(Row, 5);
    Session.PassTime(30);
    EXPECT_EQ(Grid->GetRow(), Row + 3);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetPanCursorId(), 8001);
    Headless::Key(VK_ESCAPE);
    Headless::PumpUntilIdle();

    Grid->SetIntelliPan(ipHorizontal);
    Grid->SetRow(4);
    StartPan();
    PointerAt(40, 40);
    EXPECT_EQ(Grid->GetRow(), 4);
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Grid->GetPanCursorId(), 8003);
}

TEST_F(PanGrid, AKeyEndsPanningAndIsThenHandled)
{
    Grid->SetRow(4);
    StartPan();
    ASSERT_TRUE(Grid->GetPanning());
    Headless::Key(VK_DOWN);
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Grid->GetPanning());
    EXPECT_NE(GetCapture(), Grid->GetHandle());
    EXPECT_EQ(Grid->GetRow(), 5);
    // No more steps once ended.
    PointerAt(0, 60);
    Session.PassTime(50);
    EXPECT_EQ(Grid->GetRow(), 5);

    // A left press ends it too; IntelliPan ipNone never starts it.
    StartPan();
    ASSERT_TRUE(Grid->GetPanning());
    Headless::Click(ScreenOfCell(1, 3));
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Grid->GetPanning());
    Grid->SetIntelliPan(ipNone);
    StartPan();
    EXPECT_FALSE(Grid->GetPanning());
}

} // namespace
