// The grid's small services: the balloon tooltip window, the colours of the
// active visual style, the version texts and the data binder.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "grid/edit/VovCombo.h"
#include "grid/edit/VovEdit.h"
#include "grid/edit/VovSpinEdit.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ToolTips.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

struct ServicesGrid : ::testing::Test {
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
        Form->Show();
        Application->ProcessMessages();
    }
    LRESULT ToolCount() { return SendMessage(Grid->GetBalloonToolTip(), TTM_GETTOOLCOUNT, 0, 0); }
};

} // namespace

TEST_F(ServicesGrid, BalloonWindowIsMadeOnceAndGoesWithBalloonDone)
{
    Grid->BalloonDone(); // nothing made yet: nothing to do
    EXPECT_EQ(Grid->GetBalloonToolTip(), nullptr);

    Grid->GetBalloon()->SetInitialDelay(250);
    Grid->GetBalloon()->SetAutoHideDelay(4000);
    Grid->GetBalloon()->SetEnable(true);
    const HWND Tip = Grid->GetBalloonToolTip();
    ASSERT_NE(Tip, nullptr);
    EXPECT_TRUE(IsWindow(Tip));
    EXPECT_EQ(ToolCount(), 1);
    EXPECT_EQ(SendMessage(Tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 250);
    EXPECT_EQ(SendMessage(Tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 4000);

    // A second init keeps the window and its single tool.
    Grid->BalloonInit();
    EXPECT_EQ(Grid->GetBalloonToolTip(), Tip);
    EXPECT_EQ(ToolCount(), 1);

    Grid->GetBalloon()->SetEnable(false);
    EXPECT_FALSE(IsWindow(Tip));
    EXPECT_FALSE(Grid->GetBalloonCreated());
    Grid->BalloonDone();
    Grid->BalloonInit();
    EXPECT_TRUE(IsWindow(Grid->GetBalloonToolTip()));
}

TEST_F(ServicesGrid, TransparencyMakesTheTooltipLayeredOnlyAboveZero)
{
    Grid->BalloonInit();
    const HWND Tip = Grid->GetBalloonToolTip();
    EXPECT_EQ(GetWindowLong(Tip, GWL_EXSTYLE) & LONG(WS_EX_LAYERED), 0);

    Grid->GetBalloon()->SetTransparency(55);
    Grid->BalloonInitSettings(Tip);
    EXPECT_NE(GetWindowLong(Tip, GWL_EXSTYLE) & LONG(WS_EX_LAYERED), 0);
    BYTE Alpha = 0;
    DWORD Flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Tip, nullptr, &Alpha, &Flags));
    EXPECT_EQ(Alpha, 200);
    EXPECT_EQ(Flags & LWA_ALPHA, LWA_ALPHA);
}

TEST_F(ServicesGrid, StyleColorsWithoutAStyleResetOnlyWhenForced)
{
    Grid->SetColor(TColor(0x123456));
    Grid->SetGridLineColor(TColor(0x111111));
    Grid->GetFixedFont()->SetColor(TColor(0x222222));
    Grid->SetOptions(Grid->GetOptions() - TGridOptions { goFixedVertLine, goFixedHorzLine });

    Grid->ApplyStyleColors(false);
    EXPECT_EQ(Grid->GetColor(), TColor(0x123456));
    EXPECT_EQ(Grid->GetGridLineColor(), TColor(0x111111));

    Grid->ApplyStyleColors(true);
    EXPECT_EQ(Grid->GetColor(), clWindow);
    EXPECT_EQ(Grid->GetGridLineColor(), TColor(0xC0C0C0));
    EXPECT_EQ(Grid->GetGridFixedLineColor(), TColor(0x808080));
    EXPECT_EQ(Grid->GetFixedFont()->GetColor(), clWindowText);
    EXPECT_EQ(Grid->GetSelectionTextColor(), clWindowText);
    EXPECT_TRUE(Grid->GetOptions().Contains(goFixedVertLine));
    EXPECT_TRUE(Grid->GetOptions().Contains(goFixedHorzLine));
    EXPECT_FALSE(Grid->GetUseVCLStyles());
}

TEST_F(ServicesGrid, ActiveStyleGivesTheGridItsCellColours)
{
    std::vector<String> Names = TStyleManager::GetStyleNames();
    auto Styled = std::find_if(Names.begin(), Names.end(), [](const String& N) { return N != u"Windows"; });
    ASSERT_NE(Styled, Names.end());
    struct TRestoreStyle {
        ~TRestoreStyle() { TStyleManager::SetStyle(u"Windows"); }
    } Restore;
    TStyleManager::SetStyle(*Styled);
    Grid->CreateCellProperties(1, 1)->SetBrushColor(TColor(0x0000FF));

    Grid->ApplyStyleColors(true);
    EXPECT_TRUE(Grid->GetUseVCLStyles());
    EXPECT_TRUE(Grid->GetUseScrollStyles());
    TCustomStyleServices* Style = StyleServices();
    TColor Fill = clNone;
    ASSERT_TRUE(Style->GetElementColor(Style->GetElementDetails(tgCellNormal), ecFillColor, Fill));
    EXPECT_EQ(Grid->GetColor(), Fill);
    EXPECT_FALSE(Grid->GetOptions().Contains(goFixedVertLine));
    EXPECT_EQ(Grid->GetCellProperties(1, 1)->GetBrushColor(), Fill);

    // Switching the style services off brings the defaults back.
    Grid->SetUseStyleServices(false);
    EXPECT_FALSE(Grid->GetUseVCLStyles());
    EXPECT_EQ(Grid->GetColor(), clWindow);
}

TEST(GridDataBinder, CountsAndCellsAreOfTheDataArea)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(4);
    G.SetRowCount(6);
    G.SetFixedCols(1);
    G.SetFixedRows(1);
    G.SetFixedFooters(1);
    G.SetFixedRightCols(1);
    VOzuDazeZiravaRiru& Binder = G;

    Binder.BeginUpdate();
    Binder.SetDataColumnCount(3);
    Binder.SetDataRowCount(5);
    Binder.EndUpdate();
    EXPECT_EQ(G.GetColCount(), 5);
    EXPECT_EQ(G.GetRowCount(), 7);
    EXPECT_EQ(Binder.GetDataRowCount(), 5);
    EXPECT_EQ(G.GetUpdateCount(), 0);

    Binder.SetDataCell(0, 0, u"first");
    Binder.SetDataCell(2, 4, u"last");
    Binder.SetDataHeader(1, u"Head");
    EXPECT_EQ(G.GetCellEx(1, 1), u"first");
    EXPECT_EQ(G.GetCellEx(3, 5), u"last");
    EXPECT_EQ(G.GetCellEx(2, 0), u"Head");

    Binder.ClearData();
    EXPECT_EQ(G.GetCellEx(1, 1), u"");
    Binder.SetDataRowCount(0);
    EXPECT_EQ(G.GetRowCount(), 2); // the fixed row and the footer row
    EXPECT_EQ(Binder.GetDataRowCount(), 0);
}

TEST(GridServices, OleColumnDragAndTheEditorHandlers)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(3);
    G.OleColumnDragStart(2, 7, nullptr);
    EXPECT_EQ(G.GetOleDragCol(), 2);
    EXPECT_EQ(G.GetOleDragIndex(), 7);

    G.SetCol(2);
    G.SetRow(1);
    int Col = -1, Row = -1, Button = -1;
    String Unit;
    G.OnUnitChanged = [&](TObject*, int c, int r, const String& U) { Col = c, Row = r, Unit = U; };
    G.OnDropDownFooterButtonClick = [&](TObject*, int c, int r, int b) { Col = c, Row = r, Button = b; };
    G.UnitChanged(nullptr, u"cm");
    EXPECT_EQ(Unit, u"cm");
    EXPECT_EQ(Col, 2);
    EXPECT_EQ(Row, 1);
    G.DropDownFooterButtonClick(nullptr, 3);
    EXPECT_EQ(Button, 3);
    G.DropDownHeaderButtonClick(nullptr, 5); // no handler: nothing happens
    EXPECT_EQ(Button, 3);
}

TEST_F(ServicesGrid, ColourTonesReachTheEditorsThatExist)
{
    GridEditorRegistry::Register(edEditBtn, [](TDedOzovedUrad* G) -> TWinControl* { return new TVovEditBtn(G); });
    GridEditorRegistry::Register(edComboEdit, [](TDedOzovedUrad* G) -> TWinControl* { return new TVovComboBox(G); });
    GridEditorRegistry::Register(edSpinEdit, [](TDedOzovedUrad* G) -> TWinControl* { return new TVovSpinEdit(G); });
    struct TUnregister {
        ~TUnregister()
        {
            for (TEditorType Kind : { edEditBtn, edComboEdit, edSpinEdit })
                GridEditorRegistry::Unregister(Kind);
        }
    } Unregister;
    auto* Edit = dynamic_cast<TVovEditBtn*>(Grid->GetEditBtnEditor());
    auto* Combo = dynamic_cast<TVovCustomCombo*>(Grid->GetCombobox());
    auto* Spin = dynamic_cast<TVovSpinEdit*>(Grid->GetSpinEdit());
    ASSERT_TRUE(Edit && Combo && Spin);

    TColorTones Tones;
    Tones.Background = { TColor(0x111111), TColor(0x222222), TColor(0x333333) };
    Tones.Foreground = { TColor(0x444444), TColor(0x555555), TColor(0x666666) };
    Tones.Selected = { TColor(0x777777), TColor(0x888888), TColor(0x999999) };
    Tones.Hover = { TColor(0xAAAAAA), TColor(0xBBBBBB), TColor(0xCCCCCC) };
    Grid->SetColorTones(Tones);

    EXPECT_EQ(Edit->GetButton()->GetButtonColor(), TColor(0x111111));
    EXPECT_EQ(Edit->GetButton()->GetButtonColorHot(), TColor(0xAAAAAA));
    EXPECT_EQ(Edit->GetButton()->GetButtonColorDown(), TColor(0x777777));
    EXPECT_EQ(Edit->GetButton()->GetButtonBorderColor(), TColor(0x222222));
    EXPECT_EQ(Spin->GetButton()->GetButtonColor(), TColor(0x111111));
    EXPECT_EQ(Spin->GetButton()->GetButtonColorDown(), TColor(0x777777));
    EXPECT_EQ(Combo->GetButtonColorHot(), TColor(0xAAAAAA));
    EXPECT_EQ(Combo->GetBorderColor(), Grid->GetColor());
    EXPECT_EQ(Grid->GetColor(), TColor(0x111111));
    EXPECT_TRUE(Combo->GetFlat());
}
