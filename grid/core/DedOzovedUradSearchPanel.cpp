// The grid's search panel: made with the grid, laid out from SearchFooter,
// kept at the bottom edge, its close, highlight and match-case actions, its
// accelerators, and the highlighting of the search text in painted cells.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDropDownSizing.h"
#include "grid/core/GridFilterList.h"
#include "grid/core/SearchPanel.h"
#include "platform/rtl/MathUtils.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

// The filter lists and the search panel exist for the grid's whole life.
void TDedOzovedUrad::CreateFilterListsAndSearchPanel()
{
    FDropList = new TDropList(this);
    FDropCheckList = new TDropCheckList(this);
    for (TCustomListBox* List : { static_cast<TCustomListBox*>(FDropList), static_cast<TCustomListBox*>(FDropCheckList) }) {
        List->SetParent(this);
        List->SetBounds(0, 0, 0, 0);
        List->SetVisible(false);
    }
    FDropList->OnSelect = [this](TObject* Sender, int Index) { FDataViews->ApplySelectedFilterValue(Sender, Index); };
    FDropCheckList->OnSelect
        = [this](TObject* Sender, int Index) { FDataViews->ApplyCheckedFilterValues(Sender, Index); };
    FDropList->OnClose = [this](TObject* Sender) { FilterListClose(Sender); };
    FDropCheckList->OnClose = [this](TObject* Sender) { FilterListClose(Sender); };

    FSearchPanel = new TSearchPanel(this);
    FSearchPanel->SetHeight(0);
    FSearchPanel->SetBorderWidth(0);
    FSearchPanel->SetDoubleBuffered(true);
    FSearchPanel->SetVisible(false);
    FSearchPanel->OnEditChange = [this](TObject*) { FDataViews->SearchPanelEditChange(); };
    FSearchPanel->OnForwardClick = [this](TObject*) { FDataViews->SearchPanelFindNext(); };
    FSearchPanel->OnBackwardClick = [this](TObject*) { FDataViews->SearchPanelFindPrevious(); };
    FSearchPanel->OnExitClick = [this](TObject* Sender) { SearchPanelClose(Sender); };
    FSearchPanel->OnHighlightClick = [this](TObject* Sender) { SearchPanelHighLight(Sender); };
    FSearchPanel->OnMatchCaseClick = [this](TObject* Sender) { SearchPanelMatchCase(Sender); };
}

// Window creation (and the end of loading) puts the panel on the grid.
void TDedOzovedUrad::InitSearchPanel()
{
    if (!FSearchPanel)
        return;
    const bool Shown = FSearchFooter->GetVisible();
    FSearchPanel->SetParent(this);
    FSearchPanel->SetVisible(Shown);
    FSearchPanel->GetEditControl()->SetColor(FSearchFooter->GetSearchColor());
    FSearchPanel->GetEditControl()->GetFont()->SetColor(FSearchFooter->GetSearchTextColor());
    FSearchPanel->SetHeight(Shown ? SearchPanelHeight() : 0);
}

void TDedOzovedUrad::LayoutSearchPanel()
{
    if (IsLoading() || !FSearchPanel)
        return;
    TSearchFooter* F = FSearchFooter.get();
    TSearchPanel* P = FSearchPanel;
    const bool WasShown = P->GetVisible();
    P->SetVisible(F->GetVisible());
    if (!P->HandleAllocated())
        return;
    auto S = [this](int v) { return int(RoundHalfEven(v * FDPIScale)); };
    TRirEvozButton* Next = P->GetForwardButton();
    TRirEvozButton* Prev = P->GetBackwardButton();
    TRirEvozButton* Hilite = P->GetHiliteButton();
    TRirEvozButton* Close = P->GetExitButton();
    TLumCheckBox* MatchCase = P->GetMatchCase();
    TLabel* Result = P->GetResultLabel();
    TRetEdit* Edit = P->GetEditControl();

    // The highlights change when the bar goes with its highlight button down.
    if ((Hilite->GetDown() && WasShown && !F->GetVisible()) || F->GetAlwaysHighLight())
        Invalidate();

    P->SetColor(F->GetColor());
    P->SetColorTo(F->GetColorTo());
    P->SetFindNextCaption(F->GetFindNextCaption());
    P->SetFindPrevCaption(F->GetFindPrevCaption());
    P->SetMatchCaseCaption(F->GetMatchCaseCaption());
    P->SetHighLightCaption(F->GetHighLightCaption());
    Next->SetCaption(F->GetFindNextCaption());
    Prev->SetCaption(F->GetFindPrevCaption());
    MatchCase->SetCaption(F->GetMatchCaseCaption());
    Hilite->SetCaption(F->GetHighLightCaption());
    Edit->SetColor(F->GetSearchColor());
    Edit->GetFont()->SetColor(F->GetSearchTextColor());
    P->SetHintFindNext(F->GetHintFindNext());
    P->SetHintFindPrev(F->GetHintFindPrev());
    P->SetHintClose(F->GetHintClose());
    P->SetHintHighlight(F->GetHintHighlight());
    P->GetFont()->Assign(F->GetFont());
    P->GetFont()->SetHeight(int(RoundHalfEven(F->GetFont()->GetHeight() * FDPIScale)));

    const TRirEvozButton* Three[] = { Next, Prev, Hilite };
    for (const TRirEvozButton* C : Three) {
        auto* B = const_cast<TRirEvozButton*>(C);
        if (F->GetAutoThemeAdapt()) {
            B->SetAutoThemeAdapt(true);
            B->SetFlat(true);
            continue;
        }
        switch (FControlLook->GetControlStyle()) {
        case RirEvoz::csFlat: B->SetFlat(true); break;
        case RirEvoz::csWinXP:
        case RirEvoz::csTheme:
            B->SetAutoXPStyle(true);
            B->SetFlat(false);
            break;
        case RirEvoz::csClassic:
            B->SetAutoXPStyle(false);
            B->SetFlat(false);
            break;
        default: break;
        }
    }

    const bool Searching = F->GetSearchType() == VuzUdo::stSearch;
    Hilite->SetVisible(F->GetShowHighLight() && Searching);
    Close->SetVisible(F->GetShowClose());
    MatchCase->SetVisible(F->GetShowMatchCase());
    MatchCase->SetTransparent(true);
    Prev->SetVisible(F->GetShowFindPrev() && Searching);
    Next->SetVisible(F->GetShowFindNext() && Searching);

    // One width for the three buttons: the widest caption plus 40.
    TBitmap Scratch(1, 1);
    TCanvas* Measure = Scratch.GetCanvas();
    Measure->GetFont()->Assign(F->GetFont());
    int ButtonWidth = 0;
    for (const String& Caption : { F->GetFindNextCaption(), F->GetFindPrevCaption(), F->GetHighLightCaption() })
        ButtonWidth = std::max(ButtonWidth, Measure->TextWidth(Caption));
    ButtonWidth += 40;
    Next->SetWidth(ButtonWidth);
    Prev->SetWidth(ButtonWidth);
    Hilite->SetWidth(ButtonWidth);

    const bool RTL = UseRightToLeftAlignment();
    const int ClientWidth = TBaseGrid::GetClientRect().Width();
    if (RTL) {
        Close->SetLeft(ClientWidth - S(5) - Close->GetWidth());
        Edit->SetLeft(Close->GetLeft() - Edit->GetWidth() - 8);
    }
    int x = RTL ? Edit->GetLeft() - Next->GetWidth() - 8 : Next->GetLeft();
    auto StepBy = [&](int By) { x += RTL ? -By : By; };
    for (TRirEvozButton* B : { Next, Prev, Hilite }) {
        B->SetLeft(x);
        if (B->GetVisible())
            StepBy(B->GetWidth() + 8);
    }
    MatchCase->SetLeft(x);
    if (MatchCase->GetVisible()) {
        TCanvas* BoxCanvas = MatchCase->GetCanvas();
        MatchCase->SetWidth(BoxCanvas->TextWidth(F->GetMatchCaseCaption()) + S(20));
        StepBy(MatchCase->GetWidth() + S(10));
    }
    Result->SetLeft(x);
    Result->SetVisible(F->GetShowResults());

    auto Hint = [](TControl* C, const String& Text) {
        C->SetHint(Text);
        C->SetShowHint(!Text.empty());
    };
    Hint(Next, F->GetHintFindNext());
    Hint(Prev, F->GetHintFindPrev());
    Hint(Close, F->GetHintClose());
    Hint(Hilite, F->GetHintHighlight());

    Close->SetTop(Edit->GetTop() + (Edit->GetHeight() - Close->GetHeight()) / 2);
    for (TRirEvozButton* B : { Next, Prev, Hilite })
        B->SetHeight(B->GetVisible() ? Edit->GetHeight() + 2 : 0);
    MatchCase->SetHeight(MatchCase->GetVisible() ? S(18) : 0);

    if (F->GetVisible()) {
        P->SetHeight(SearchPanelHeight());
        UpdateSearchPanel();
        UpdateSearchFooter();
    } else {
        P->SetHeight(0);
    }
}

void TDedOzovedUrad::UpdateSearchPanel()
{
    if (!HandleAllocated() || !FSearchPanel || !FSearchPanel->GetVisible())
        return;
    int Sum = 0;
    for (int c = 0; c < GetColCount(); ++c)
        Sum += GetColWidths(c);
    bool SizedByDropDown = false;
    if (TWinControl* Parent = GetParent())
        if (auto* DropDown = dynamic_cast<IGridDropDownSizing*>(Parent->GetOwner()))
            SizedByDropDown = DropDown->GetColumnSizeWithDropDown();

    // Heights here are in the grid's client coordinates: the non-client
    // border (and a window scroll bar that already shows) are taken off the
    // grid's height, so a bar raised for a scroll bar sits just above it.
    const TRect Client = TBaseGrid::GetClientRect();
    const int ScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    const bool WindowBar = (GetWindowLong(GetHandle(), GWL_STYLE) & WS_HSCROLL) != 0;
    const int NonClient = GetHeight() - Client.Height() - (WindowBar ? ScrollHeight : 0);
    const int Height = GetHeight() - NonClient;
    const bool ScrollBarShows = (Client.Width() < Sum && !SizedByDropDown) || FScrollBarAlways == saHorz
        || FScrollBarAlways == saBoth;
    int Top = Height - FSearchPanel->GetHeight();
    if (ScrollBarShows)
        Top -= ScrollHeight;
    FSearchPanel->SetBounds(Client.Left, Top, Client.Width(), FSearchPanel->GetHeight());
}

TRect TDedOzovedUrad::GetClientRect()
{
    TRect R = TBaseGrid::GetClientRect();
    if (FSearchPanel && FSearchFooter && FSearchFooter->GetVisible() && FSearchPanel->GetParent() == this
        && FSearchPanel->GetHeight() > 0)
        R.Bottom = std::max(R.Top, std::min(R.Bottom, FSearchPanel->GetTop()));
    return R;
}

void TDedOzovedUrad::SearchPanelEndUpdate()
{
    if (!FSearchPanel || !FSearchFooter->GetVisible() || !FSearchPanel->HandleAllocated())
        return;
    if (FSearchPanel->GetEditControl()->Focused())
        return;
    FSearchFooter->SetVisible(true);
    // Moved off its place and back, the panel repaints over the grid.
    FSearchPanel->SetTop(FSearchPanel->GetTop() + 1);
    UpdateSearchPanel();
}

bool TDedOzovedUrad::SearchHighLightOn() const
{
    return FSearchPanel && FSearchPanel->GetHiliteButton()->GetDown();
}

void TDedOzovedUrad::SearchPanelClose(TObject*)
{
    if (OnSearchFooterClose)
        OnSearchFooterClose(this);
    if (FSearchFooter->GetSearchType() == VuzUdo::stNarrowDown)
        FDataViews->NarrowDown(String(), -1);
    FSearchFooter->SetVisible(false);
}

void TDedOzovedUrad::SearchPanelHighLight(TObject*) { Invalidate(); }

void TDedOzovedUrad::SearchPanelMatchCase(TObject*)
{
    if (SearchHighLightOn())
        FDataViews->SearchPanelEditChange();
}

bool TDedOzovedUrad::SearchPanelDialogChar(TMessage& Message)
{
    if (!FSearchPanel || !FSearchFooter->GetVisible())
        return false;
    const WORD Key = WORD(Message.WParam);
    for (TRirEvozButton* B : { FSearchPanel->GetForwardButton(), FSearchPanel->GetBackwardButton(),
             FSearchPanel->GetHiliteButton() }) {
        if (!B->GetVisible() || !B->GetEnabled() || !IsAccel(Key, B->GetCaption()))
            continue;
        if (B == FSearchPanel->GetForwardButton())
            FDataViews->SearchPanelFindNext();
        else if (B == FSearchPanel->GetBackwardButton())
            FDataViews->SearchPanelFindPrevious();
        else
            Invalidate();
        return true;
    }
    return false;
}

// Marks the search text in normal cells of the search column while the
// bar shows with highlighting on.
String TDedOzovedUrad::SearchHighlightText(int ACol, int ARow, const String& Text)
{
    if (!FSearchPanel || !FSearchFooter->GetVisible())
        return Text;
    if (!SearchHighLightOn() && !FSearchFooter->GetAlwaysHighLight())
        return Text;
    const String Search = FSearchPanel->GetEditControl()->GetText();
    if (Search.empty())
        return Text;
    if (ARow < GetFixedRows() || ARow >= GetRowCount() - FFixedFooters)
        return Text;
    const int Shown = RealToDisplayCol(TRealCol(ACol)).Value;
    const int SearchCol = FSearchFooter->GetSearchColumn();
    if (SearchCol >= 0 ? Shown != SearchCol : (Shown < GetFixedCols() || Shown >= GetColCount() - FFixedRightCols))
        return Text;
    String Marked;
    VovHTMLE::HighlightHTMLText(Text, Search, u"hi", Marked, FSearchFooter->GetHighLight() == hFullCell,
        FSearchPanel->GetMatchCase()->GetChecked());
    return Marked;
}
