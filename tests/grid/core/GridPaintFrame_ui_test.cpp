// The grid's look around its cells, headless: the focus glow as the grid
// drives it, the non-client border, the area beyond the cells, sizing
// lines, the design panel and the balloon text request.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ToolTips.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

std::uint32_t ScreenAt(int X, int Y) { return Headless::ScreenPixel({ X, Y }) & 0xFFFFFF; }
// Screen pixels read 0xRRGGBB; colours are 0xBBGGRR.
std::uint32_t ScreenOf(TColor C)
{
    const std::uint32_t V = ColorToRGB(C);
    return ((V & 0xFF) << 16) | (V & 0xFF00) | ((V >> 16) & 0xFF);
}

struct GridFrame : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 600, 400);
        Form->SetColor(TColor(0x000000));
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Grid->SetLook(glStandard);
        Form->Show();
        Headless::PumpUntilIdle();
    }
    void TearDown() override { Form.reset(); }

    TRect WindowRect(HWND H)
    {
        RECT R;
        GetWindowRect(H, R);
        return TRect(R);
    }
};

} // namespace

TEST_F(GridFrame, GlowSurroundsTheCellFollowsTheFormAndLeavesWithItsGrid)
{
    ASSERT_NE(Grid->GetFocusWindow(), nullptr);
    Grid->SetColWidths(1, 100);
    Grid->SetRowHeights(1, 20);
    Grid->SetCol(1);
    Grid->SetRow(1);
    const TRect Cell = Grid->CellRect(1, 1);
    ASSERT_EQ(Cell.Width(), 100);
    Grid->ShowFocusWindow(Cell);
    Headless::PumpUntilIdle();
    HWND Glow = Grid->GetFocusWindow()->GetHandle();
    EXPECT_TRUE(IsWindowVisible(Glow));
    EXPECT_EQ(GetFocusWindowGrid(), Grid);
    const TPoint CellOnScreen = Grid->ClientToScreen(Cell.TopLeft());
    EXPECT_EQ(WindowRect(Glow), TRect(CellOnScreen.X - 4, CellOnScreen.Y - 4, CellOnScreen.X + 105, CellOnScreen.Y + 25));

    // The form moves: the glow goes with it.
    Form->SetBounds(150, 130, 600, 400);
    Headless::PumpUntilIdle();
    const TPoint Moved = Grid->ClientToScreen(Cell.TopLeft());
    EXPECT_EQ(Moved, TPoint(CellOnScreen.X + 50, CellOnScreen.Y + 30));
    EXPECT_EQ(WindowRect(Glow).TopLeft(), TPoint(Moved.X - 4, Moved.Y - 4));

    // The current cell scrolled out of view: the glow hides.
    Grid->SetRowCount(100);
    Grid->SetTopRow(40);
    Grid->PlaceFocusWindow();
    Headless::PumpUntilIdle();
    EXPECT_FALSE(IsWindowVisible(Glow));
    EXPECT_EQ(GetFocusWindowGrid(), nullptr);

    // Shown again, then its grid goes: the process forgets it.
    Grid->SetTopRow(1);
    Grid->ShowFocusWindow(Grid->CellRect(1, 1));
    EXPECT_EQ(GetFocusWindowGrid(), Grid);
    delete Grid;
    Grid = nullptr;
    EXPECT_EQ(GetFocusWindowGrid(), nullptr);
    // A later move of the form calls into no grid.
    Form->SetBounds(160, 140, 600, 400);
    Headless::PumpUntilIdle();
}

TEST_F(GridFrame, ShowingTheGlowTakesItFromAnotherGrid)
{
    auto* Other = new TDedOzovedUrad(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(420, 10, 150, 150);
    Headless::PumpUntilIdle();
    Other->ShowFocusWindow(Other->CellRect(1, 1));
    Grid->ShowFocusWindow(Grid->CellRect(1, 1));
    Headless::PumpUntilIdle();
    EXPECT_EQ(GetFocusWindowGrid(), Grid);
    EXPECT_FALSE(IsWindowVisible(Other->GetFocusWindow()->GetHandle()));
    EXPECT_TRUE(IsWindowVisible(Grid->GetFocusWindow()->GetHandle()));
}

TEST_F(GridFrame, MoveArrowsAreMadeWithTheGridAndShareOneColour)
{
    for (TArrowWindow* A : { Grid->ArwU, Grid->ArwD, Grid->ArwL, Grid->ArwR })
        ASSERT_NE(A, nullptr);
    EXPECT_EQ(Grid->ArwL->GetDir(), arrLeft);
    Grid->SetArrowColor(TColor(0x0000FF));
    EXPECT_EQ(Grid->GetArrowColor(), TColor(0x0000FF));
    EXPECT_EQ(Grid->ArwR->GetColor(), TColor(0x0000FF));
}

TEST_F(GridFrame, NonClientBorderByLook)
{
    struct TCase {
        TGridLook Look;
        bool Flat;
        TBorderStyle Border;
        bool Drawn;
    };
    const TCase Cases[] = {
        { glStandard, false, bsSingle, false },
        { glClassic, false, bsSingle, false },
        { glOffice2007, false, bsSingle, true },
        { glVista, false, bsSingle, true },
        { glOffice2007, true, bsSingle, false }, // flat grids keep their own frame
        { glCustom, true, bsSingle, true },
        { glOffice2007, false, bsNone, false },
    };
    const TColor Border = TColor(0x00FF00);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Look));
        Grid->SetBorderStyle(C.Border);
        Grid->SetLook(C.Look);
        Grid->SetFlat(C.Flat);
        Grid->SetBorderColor(Border);
        Headless::PumpUntilIdle();
        RedrawWindow(Grid->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Headless::PumpUntilIdle();
        const TRect R = WindowRect(Grid->GetHandle());
        const std::uint32_t Edge = ScreenAt(R.Left + 50, R.Top);
        if (C.Drawn)
            EXPECT_EQ(Edge, ScreenOf(Border)) << std::hex << Edge;
        else
            EXPECT_NE(Edge, ScreenOf(Border)) << std::hex << Edge;
    }
}

TEST_F(GridFrame, GradientFillsTheAreaBeyondTheCells)
{
    Grid->SetColCount(2);
    Grid->SetRowCount(3);
    Grid->SetColWidths(0, 64);
    Grid->SetColWidths(1, 64);
    TBackGround* B = Grid->GetBackGround();
    B->SetDisplay(bdGradientVert);
    B->SetColor(TColor(0x0000FF));
    B->SetColorTo(TColor(0xFF0000));
    TRect Right, Bottom;
    ASSERT_TRUE(Grid->OutsideCellsRegion(Right, Bottom));
    EXPECT_EQ(Right.Left, Grid->CellRect(1, 0).Right + Grid->GetGridLineWidth());
    EXPECT_EQ(Bottom.Top, Grid->CellRect(0, 2).Bottom + Grid->GetGridLineWidth());

    const int W = Grid->GetClientWidth(), H = Grid->GetClientHeight();
    TBitmap Painted;
    Painted.SetSize(W, H);
    Grid->PaintTo(Painted.GetCanvas()->GetHandle(), 0, 0);
    // The same gradient over the whole client area.
    TBitmap Reference;
    Reference.SetSize(W, H);
    LumDropDown::DrawGradient(Reference.GetCanvas(), TColor(0x0000FF), TColor(0xFF0000), false, TRect(0, 0, W, H), 128);
    for (const TPoint P : { TPoint(Right.Left + 20, 5), TPoint(W - 3, H / 2), TPoint(10, H - 3) }) {
        SCOPED_TRACE(P.X * 1000 + P.Y);
        EXPECT_EQ(Painted.GetCanvas()->GetPixel(P.X, P.Y), Reference.GetCanvas()->GetPixel(P.X, P.Y));
    }
    EXPECT_NE(Painted.GetCanvas()->GetPixel(W - 3, 3), Painted.GetCanvas()->GetPixel(W - 3, H - 3));

    // With every column and row running beyond the view there is no area.
    Grid->SetColCount(40);
    Grid->SetRowCount(100);
    EXPECT_FALSE(Grid->OutsideCellsRegion(Right, Bottom));
}

TEST_F(GridFrame, SizingLineSecondCallErases)
{
    struct TCase {
        bool Column;
        int At;
    };
    for (const TCase C : { TCase { true, 150 }, TCase { false, 120 } }) {
        SCOPED_TRACE(C.Column);
        // Eight pixels along the line, in screen coordinates.
        std::vector<TPoint> Along;
        for (int i = 0; i < 8; ++i)
            Along.push_back(Grid->ClientToScreen(C.Column ? TPoint(C.At, 100 + i) : TPoint(100 + i, C.At)));
        auto Pixels = [&] {
            Headless::PumpUntilIdle();
            std::vector<std::uint32_t> V;
            for (const TPoint& P : Along)
                V.push_back(ScreenAt(P.X, P.Y));
            return V;
        };
        const auto Before = Pixels();
        C.Column ? Grid->DrawColSizeLine(C.At) : Grid->DrawRowSizeLine(C.At);
        EXPECT_NE(Pixels(), Before);
        C.Column ? Grid->DrawColSizeLine(C.At) : Grid->DrawRowSizeLine(C.At);
        EXPECT_EQ(Pixels(), Before);
    }
}

TEST_F(GridFrame, FixedInplaceEditRefusesNormalCells)
{
    try {
        Grid->ShowFixedInplaceEdit(2, 2);
        FAIL() << "no exception";
    } catch (const ERirEvozError& E) {
        EXPECT_EQ(E.Message, u"Cannot start fixed inplace editor in non-fixed cell");
    }
    EXPECT_NO_THROW(Grid->ShowFixedInplaceEdit(1, 0));
}

TEST_F(GridFrame, BalloonTextIsCutAt2048Characters)
{
    Grid->GetBalloon()->SetEnable(true);
    Grid->GetBalloon()->SetShowCell(true);
    Grid->SetCells(1, 1, String(3000, u'x'));
    Grid->SetCells(2, 1, u"\t\r\nshort\ttext");
    HWND Tip = CreateToolTipWindow(Grid->GetHandle(), TTS_BALLOON);
    struct TCase {
        int Col;
        size_t Length;
        String Tail;
    };
    const TCase Cases[] = { { 1, 2048, u"x..." }, { 2, 10, u" text" } };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Col);
        const TRect Cell = Grid->CellRect(C.Col, 1);
        const TPoint P = Grid->ClientToScreen(TPoint(Cell.Left + 5, Cell.Top + 5));
        SetCursorPos(P.X, P.Y);
        NMTTDISPINFO Info;
        Info.hdr.hwndFrom = Tip;
        Info.hdr.code = TTN_GETDISPINFO;
        SendMessage(Grid->GetHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Info));
        const String& Text = Grid->GetToolTipText();
        EXPECT_EQ(Text.size(), C.Length);
        EXPECT_EQ(Text.substr(Text.size() - C.Tail.size()), C.Tail);
        EXPECT_EQ(Info.lpszText, Text.data());
    }
    DestroyWindow(Tip);
}

TEST_F(GridFrame, DesignPanelHitTestAndDrawing)
{
    const int W = Grid->GetClientWidth(), H = Grid->GetClientHeight();
    // The close box, the three lines, and places beside them.
    const int Probe = H - 8;
    EXPECT_EQ(Grid->DesignPanelHitTest(W - 5, Probe), -1);
    int FoundTop = -1;
    for (int Y = H - 100; Y < H; ++Y)
        if (Grid->DesignPanelHitTest(W - 5, Y) == 4) {
            FoundTop = Y;
            break;
        }
    ASSERT_GT(FoundTop, 0);
    EXPECT_EQ(Grid->DesignPanelHitTest(W - 5, FoundTop + 15), 4);
    EXPECT_NE(Grid->DesignPanelHitTest(W - 5, FoundTop + 16), 4);
    // Walking down the panel's left part meets lines 1, 2 and 3 in order.
    std::vector<int> Codes;
    for (int Y = FoundTop; Y < H; ++Y) {
        const int Code = Grid->DesignPanelHitTest(W - 140, Y);
        if (Code > 0 && (Codes.empty() || Codes.back() != Code))
            Codes.push_back(Code);
    }
    EXPECT_EQ(Codes, (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(Grid->DesignPanelHitTest(W - 160, FoundTop + 30), -1); // left of the panel

    // Line 2 toggles the column numbers; the close box ends the panel.
    int Y2 = FoundTop;
    while (Grid->DesignPanelHitTest(W - 140, Y2) != 2)
        ++Y2;
    Grid->DesignPanelClick(W - 140, Y2);
    EXPECT_TRUE(Grid->GetShowColNrs());
    Grid->DesignPanelClick(W - 5, FoundTop + 2);
    EXPECT_FALSE(Grid->GetShowDesignHelper());

    TBitmap Panel;
    Panel.SetSize(W, H);
    Panel.GetCanvas()->GetBrush()->SetColor(TColor(0x000000));
    Panel.GetCanvas()->FillRect(TRect(0, 0, W, H));
    Grid->PaintDesignPanel(Panel.GetCanvas());
    EXPECT_EQ(TColor(Panel.GetCanvas()->GetPixel(W - 75, H - 3) & 0xFFFFFF), TColor(ColorToRGB(clInfoBk) & 0xFFFFFF));
    EXPECT_EQ(TColor(Panel.GetCanvas()->GetPixel(W - 155, H - 3) & 0xFFFFFF), TColor(0));
}

TEST_F(GridFrame, DateTimePickerChangeReportsTheCurrentCell)
{
    struct TCase {
        SYSTEMTIME St;
        TDateTime Expected;
    };
    SYSTEMTIME Day {};
    Day.wYear = 2024;
    Day.wMonth = 2;
    Day.wDay = 29;
    const TCase Cases[] = { { Day, EncodeDate(2024, 2, 29) }, { SYSTEMTIME {}, TDateTime(0) } };
    Grid->SetCol(2);
    Grid->SetRow(3);
    for (const TCase& C : Cases) {
        int Col = -1, Row = -1;
        TDateTime Got = -1;
        Grid->OnDateTimeChange = [&](TObject*, int ACol, int ARow, TDateTime Value) {
            Col = ACol;
            Row = ARow;
            Got = Value;
        };
        NMDATETIMECHANGE Change;
        Change.nmhdr.code = DTN_DATETIMECHANGE;
        Change.st = C.St;
        SendMessage(Grid->GetHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Change));
        EXPECT_EQ(Col, 2);
        EXPECT_EQ(Row, 3);
        EXPECT_EQ(Got, C.Expected);
    }
}
