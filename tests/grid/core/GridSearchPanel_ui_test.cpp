// The grid's search panel: made with the grid, laid out from SearchFooter
// (sizes at the screen's DPI, narrow-down visibility, button widths, the
// place at the bottom edge), its relays to the data views, closing,
// accelerators, painting and the highlighting of the search text.

#include <gtest/gtest.h>

#include <memory>

#include "GridDataViewsDouble.h"
#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDropDownSizing.h"
#include "grid/core/SearchPanel.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

// Synthetic input, then everything it caused.
void Press(WORD Key, bool Shift = false, bool Ctrl = false)
{
    Headless::Key(Key, Shift, Ctrl);
    Headless::PumpUntilIdle();
}
void ClickAt(TPoint Screen)
{
    Headless::Click(Screen);
    Headless::PumpUntilIdle();
}

struct SearchPanelGrid : ::testing::Test {
    THeadlessSession Session;
    TRecordingDataViewsScope Views;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 900, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 800, 250);
        Form->Show();
        Application->ProcessMessages();
    }
    TSearchPanel* Panel() { return Grid->GetSearchPanel(); }
    TSearchFooter* Footer() { return Grid->GetSearchFooter(); }
    void ShowBar()
    {
        Footer()->SetFindNextCaption(u"&Next");
        Footer()->SetFindPrevCaption(u"Previous match");
        Footer()->SetHighLightCaption(u"Highlight");
        Footer()->SetMatchCaseCaption(u"Match case");
        Footer()->SetVisible(true);
        Application->ProcessMessages();
    }
    TPoint Centre(TControl* C) { return C->ClientToScreen({ C->GetWidth() / 2, C->GetHeight() / 2 }); }
};

// A drop-down control that sizes the grid's columns to itself, as the grid
// drop-down does.
struct SizingDropDown : TComponent, IGridDropDownSizing {
    using TComponent::TComponent;
    bool Sizes = true;
    bool GetColumnSizeWithDropDown() const override { return Sizes; }
};

} // namespace

TEST_F(SearchPanelGrid, PanelIsMadeWithTheGridHiddenAndZeroHigh)
{
    ASSERT_NE(Panel(), nullptr);
    EXPECT_EQ(Panel()->GetOwner(), Grid);
    EXPECT_EQ(Panel()->GetParent(), Grid);
    EXPECT_FALSE(Panel()->GetVisible());
    EXPECT_EQ(Panel()->GetHeight(), 0);
    EXPECT_EQ(Panel()->GetColorTo(), Footer()->GetColorTo());
    auto* Fresh = new TSearchPanel(Grid);
    EXPECT_EQ(Fresh->GetColorTo(), clNone);
    delete Fresh;
    EXPECT_THROW(TSearchPanel(Form.get()), EInvalidCast);
}

TEST_F(SearchPanelGrid, AtOneAndAHalfTimesTheDensityTheBarIs51AndTheBox27High)
{
    struct Case {
        double Scale;
        int Bar;
        int Box;
    };
    const Case Cases[] = { { 1.0, 34, 18 }, { 1.5, 51, 27 }, { 0.75, 34, 14 } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Scale);
        TDedOzovedUradTestAccess::SetDPIScale(*Grid, C.Scale);
        Footer()->SetVisible(false);
        ShowBar();
        EXPECT_TRUE(Panel()->GetVisible());
        EXPECT_EQ(Panel()->GetHeight(), C.Bar);
        EXPECT_EQ(Panel()->GetMatchCase()->GetHeight(), C.Box);
        EXPECT_EQ(Panel()->GetWidth(), Grid->GetClientWidth());
    }
}

TEST_F(SearchPanelGrid, NarrowDownKeepsOnlyTheEditBoxCloseAndResult)
{
    Footer()->SetShowResults(true);
    ShowBar();
    struct Case {
        VuzUdo::TSearchType Type;
        bool Buttons;
    };
    for (const Case& C : { Case { VuzUdo::stSearch, true }, Case { VuzUdo::stNarrowDown, false } }) {
        SCOPED_TRACE(int(C.Type));
        Footer()->SetSearchType(C.Type);
        EXPECT_EQ(Panel()->GetForwardButton()->GetVisible(), C.Buttons);
        EXPECT_EQ(Panel()->GetBackwardButton()->GetVisible(), C.Buttons);
        EXPECT_EQ(Panel()->GetHiliteButton()->GetVisible(), C.Buttons);
        EXPECT_EQ(Panel()->GetForwardButton()->GetHeight(), C.Buttons ? Panel()->GetEditControl()->GetHeight() + 2 : 0);
        EXPECT_TRUE(Panel()->GetEditControl()->GetVisible());
        EXPECT_TRUE(Panel()->GetMatchCase()->GetVisible());
        EXPECT_TRUE(Panel()->GetExitButton()->GetVisible());
        EXPECT_TRUE(Panel()->GetResultLabel()->GetVisible());
    }
    // Hidden buttons take no room: the box follows the first button's place.
    EXPECT_EQ(Panel()->GetMatchCase()->GetLeft(), Panel()->GetForwardButton()->GetLeft());
}

TEST_F(SearchPanelGrid, ThreeButtonsShareTheWidestCaptionPlus40AndLineUp)
{
    ShowBar();
    TBitmap Scratch(1, 1);
    Scratch.GetCanvas()->GetFont()->Assign(Footer()->GetFont());
    const int Widest = Scratch.GetCanvas()->TextWidth(u"Previous match") + 40;
    TRirEvozButton* Next = Panel()->GetForwardButton();
    TRirEvozButton* Prev = Panel()->GetBackwardButton();
    TRirEvozButton* Hilite = Panel()->GetHiliteButton();
    for (TRirEvozButton* B : { Next, Prev, Hilite })
        EXPECT_EQ(B->GetWidth(), Widest);
    EXPECT_EQ(Prev->GetLeft(), Next->GetLeft() + Widest + 8);
    EXPECT_EQ(Hilite->GetLeft(), Prev->GetLeft() + Widest + 8);
    EXPECT_EQ(Panel()->GetMatchCase()->GetLeft(), Hilite->GetLeft() + Widest + 8);
    EXPECT_EQ(Next->GetCaption(), u"&Next");
    // Hints show only for a text.
    EXPECT_FALSE(Next->GetShowHint());
    Footer()->SetHintFindNext(u"Find the next match");
    EXPECT_TRUE(Next->GetShowHint());
    EXPECT_EQ(Next->GetHint(), u"Find the next match");
}

TEST_F(SearchPanelGrid, BarSitsAtTheBottomAndTheClientAreaEndsAboveIt)
{
    Grid->SetScrollBars(ssNone);
    ShowBar();
    const TRect Client = Grid->GetClientRect();
    EXPECT_EQ(Panel()->GetTop() + Panel()->GetHeight(), Client.Bottom + Panel()->GetHeight());
    EXPECT_EQ(Client.Bottom, Panel()->GetTop());
    EXPECT_EQ(Panel()->GetLeft(), Client.Left);
    // Hidden, the client area is whole again.
    const int BarTop = Panel()->GetTop();
    Footer()->SetVisible(false);
    EXPECT_EQ(Grid->GetClientRect().Bottom, BarTop + 34);
}

TEST_F(SearchPanelGrid, WideColumnsRaiseTheBarForTheScrollBarUnlessADropDownSizesThem)
{
    // The grid sits on a panel owned by a drop-down that may size columns.
    SizingDropDown DropDown(nullptr);
    auto* Host = new TPanel(&DropDown);
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 850, 300);
    Grid->SetParent(Host);
    Grid->SetScrollBars(ssNone);
    ShowBar();
    const int Bottom = Grid->GetClientHeight() + Panel()->GetHeight();
    const int Raise = GetSystemMetrics(SM_CYHSCROLL);
    struct Case {
        int ColWidth;
        bool Sizes;
        int Lift;
    };
    const Case Cases[] = { { 40, false, 0 }, { 200, false, Raise }, { 200, true, 0 } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.ColWidth << " " << C.Sizes);
        DropDown.Sizes = C.Sizes;
        for (int c = 0; c < Grid->GetColCount(); ++c)
            Grid->SetColWidths(c, C.ColWidth);
        Grid->UpdateSearchPanel();
        EXPECT_EQ(Panel()->GetTop(), Bottom - Panel()->GetHeight() - C.Lift);
    }
    Grid->SetParent(Form.get());
}

TEST_F(SearchPanelGrid, EditEnablesTheButtonsAndRelaysToTheDataViews)
{
    ShowBar();
    TRetEdit* Edit = Panel()->GetEditControl();
    EXPECT_FALSE(Panel()->GetForwardButton()->GetEnabled());
    Edit->SetFocus();
    Headless::Type(u"ab");
    Headless::PumpUntilIdle();
    EXPECT_EQ(Views.Log->Count("SearchPanelEditChange"), 2);
    for (TRirEvozButton* B : { Panel()->GetForwardButton(), Panel()->GetBackwardButton(), Panel()->GetHiliteButton() })
        EXPECT_TRUE(B->GetEnabled());
    Press(VK_RETURN);
    EXPECT_EQ(Views.Log->Count("SearchPanelFindNext"), 1);
    Press(VK_RETURN, false, true);
    EXPECT_EQ(Views.Log->Count("SearchPanelFindPrevious"), 1);
    EXPECT_EQ(Edit->GetText(), u"ab"); // no line break went in
    ClickAt(Centre(Panel()->GetBackwardButton()));
    EXPECT_EQ(Views.Log->Count("SearchPanelFindPrevious"), 2);

    Edit->SetText(String());
    EXPECT_FALSE(Panel()->GetForwardButton()->GetEnabled());
    EXPECT_FALSE(Panel()->GetHiliteButton()->GetEnabled());
}

TEST_F(SearchPanelGrid, CloseHidesTheBarAndUndoesANarrowing)
{
    int Closed = 0;
    Grid->OnSearchFooterClose = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Grid);
        ++Closed;
    };
    for (auto Type : { VuzUdo::stSearch, VuzUdo::stNarrowDown }) {
        SCOPED_TRACE(int(Type));
        Footer()->SetSearchType(Type);
        ShowBar();
        ClickAt(Centre(Panel()->GetExitButton()));
        EXPECT_FALSE(Footer()->GetVisible());
        EXPECT_FALSE(Panel()->GetVisible());
        EXPECT_EQ(Panel()->GetHeight(), 0);
    }
    EXPECT_EQ(Closed, 2);
    EXPECT_EQ(Views.Log->Count("NarrowDown"), 1);
}

TEST_F(SearchPanelGrid, MatchCaseReSearchesOnlyWhileHighlighting)
{
    ShowBar();
    Panel()->GetEditControl()->SetText(u"x");
    const int Before = Views.Log->Count("SearchPanelEditChange");
    ClickAt(Centre(Panel()->GetMatchCase()));
    EXPECT_EQ(Views.Log->Count("SearchPanelEditChange"), Before);
    ClickAt(Centre(Panel()->GetHiliteButton()));
    ASSERT_TRUE(Grid->SearchHighLightOn());
    ClickAt(Centre(Panel()->GetMatchCase()));
    EXPECT_EQ(Views.Log->Count("SearchPanelEditChange"), Before + 1);
}

TEST_F(SearchPanelGrid, AcceleratorRunsAVisibleEnabledButtonOnlyWhileTheBarShows)
{
    ShowBar();
    auto Accel = [&](char16_t Ch) { return Grid->Perform(CM_DIALOGCHAR, Ch, 0); };
    EXPECT_EQ(Accel(u'n'), 0); // the button is disabled without a search text
    Panel()->GetEditControl()->SetText(u"x");
    EXPECT_EQ(Accel(u'n'), 1);
    EXPECT_EQ(Views.Log->Count("SearchPanelFindNext"), 1);
    EXPECT_EQ(Accel(u'q'), 0);
    Footer()->SetVisible(false);
    EXPECT_EQ(Accel(u'n'), 0);
    EXPECT_EQ(Views.Log->Count("SearchPanelFindNext"), 1);
}

TEST_F(SearchPanelGrid, SearchTextIsMarkedInTheSearchColumnsNormalCells)
{
    ShowBar();
    Panel()->GetEditControl()->SetText(u"ab");
    const String Cell = u"xaby";
    // Not highlighting: unchanged.
    EXPECT_EQ(Grid->SearchHighlightText(1, 1, Cell), Cell);
    Footer()->SetAlwaysHighLight(true);
    const String Marked = Grid->SearchHighlightText(1, 1, Cell);
    EXPECT_NE(Marked, Cell);
    EXPECT_NE(Marked.find(u"<HI>"), String::npos);
    struct Case {
        int Col, Row, SearchColumn;
        bool Marks;
    };
    const Case Cases[] = { { 0, 1, -1, false }, { 1, 0, -1, false }, { 2, 3, -1, true }, { 2, 3, 2, true },
        { 3, 3, 2, false } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Col << "," << C.Row << " in " << C.SearchColumn);
        Footer()->SetSearchColumn(C.SearchColumn);
        EXPECT_EQ(Grid->SearchHighlightText(C.Col, C.Row, Cell) != Cell, C.Marks);
    }
    // Case follows the match-case box.
    Footer()->SetSearchColumn(-1);
    Panel()->GetMatchCase()->SetChecked(true);
    EXPECT_EQ(Grid->SearchHighlightText(1, 1, u"xABy"), u"xABy");
    Footer()->SetVisible(false);
    EXPECT_EQ(Grid->SearchHighlightText(1, 1, Cell), Cell);
}

TEST_F(SearchPanelGrid, PaintFillsWithTheColourAndDrawsTheGridLineOnTop)
{
    Grid->SetGridLineColor(TColor(0x0000FF));
    Footer()->SetColor(TColor(0x00FF00));
    Footer()->SetColorTo(clNone);
    ShowBar();
    Application->ProcessMessages();
    auto Pixel = [&](TPoint P) { return Headless::ScreenPixel(Panel()->ClientToScreen(P)); };
    const TPoint Empty { Panel()->GetWidth() - 3, Panel()->GetHeight() / 2 };
    EXPECT_EQ(Pixel(Empty) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Pixel({ Empty.X, 0 }) & 0xFFFFFF, 0xFF0000u); // red, as a screen pixel is 0xRRGGBB
}

TEST_F(SearchPanelGrid, RightToLeftLinesTheControlsUpFromTheRightEdge)
{
    Grid->SetBiDiMode(bdRightToLeft);
    ShowBar();
    TSearchPanel* P = Panel();
    TControl* Close = P->GetExitButton();
    TControl* Edit = P->GetEditControl();
    TRirEvozButton* Next = P->GetForwardButton();
    const int W = Next->GetWidth();
    EXPECT_EQ(Close->GetLeft() + Close->GetWidth(), Grid->GetClientWidth() - 5);
    EXPECT_EQ(Edit->GetLeft() + Edit->GetWidth(), Close->GetLeft() - 8);
    EXPECT_EQ(Next->GetLeft() + W, Edit->GetLeft() - 8);
    EXPECT_EQ(P->GetBackwardButton()->GetLeft(), Next->GetLeft() - W - 8);
    EXPECT_EQ(P->GetHiliteButton()->GetLeft(), Next->GetLeft() - 2 * (W + 8));
    EXPECT_LT(P->GetMatchCase()->GetLeft(), P->GetHiliteButton()->GetLeft());
}
