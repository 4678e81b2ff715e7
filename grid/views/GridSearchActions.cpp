// The search bar's three actions: a search on every change of the edit
// (or narrowing the rows down), find-next and find-previous.

#include "grid/core/SearchPanel.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/SysUtils.h"

// Typing and stepping compare alike (markup, accents, hidden rows), so the
// count shown after typing is the number of matches stepping reaches, and
// SearchCell means the same rows for both.
TFindParams TGridDataViews::SearchBarParams(int Step)
{
    TSearchFooter* F = G.GetSearchFooter();
    TSearchPanel* P = G.GetSearchPanel();
    TFindParams Params { fnAutoGoto };
    if (Step < 0)
        Params.Include(fnBackward);
    if (P->GetHiliteButton()->GetDown() || F->GetAlwaysHighLight() || F->GetIgnoreHTML())
        Params.Include(fnIgnoreHTMLTags);
    if (F->GetIgnoreAccents())
        Params.Include(fnIgnoreAccents);
    if (P->GetMatchCase()->GetChecked())
        Params.Include(fnMatchCase);
    if (F->GetSearchActiveColumnOnly())
        Params.Include(fnFindInCurrentCol);
    if (F->GetSearchMatchStart())
        Params.Include(fnMatchStart);
    if (F->GetSearchFixedCells())
        Params.Include(fnIncludeFixed);
    if (F->GetSearchHiddenRows())
        Params.Include(fnIncludeHiddenRows);
    if (F->GetSearchDirection() == sdLeftRight)
        Params.Include(fnDirectionLeftRight);
    const int SearchCol = F->GetSearchColumn();
    if (SearchCol >= 0 && SearchCol < G.GetColCount()) {
        G.SetFindCol(G.RealToDisplayCol(TRealCol(SearchCol)).Value);
        Params.Include(fnFindInPresetCol);
        // Stepping goes down the search column.
        if (Step != 0)
            Params.Exclude(fnDirectionLeftRight);
    }
    return Params;
}

// The focus cell as the bar's searches count rows: real rows when they
// search hidden rows too.
TPoint TGridDataViews::SearchBarFocusCell()
{
    const int Row = G.GetSearchFooter()->GetSearchHiddenRows() ? G.DisplayToRealRow(TDisplayRow(G.GetRow())).Value
                                                               : G.GetRow();
    return { G.GetCol(), Row };
}

void TGridDataViews::SetSearchEditColors(TColor Color, TColor TextColor)
{
    TRetEdit* Edit = G.GetSearchPanel()->GetEditControl();
    Edit->SetColor(Color);
    if (Edit->GetFont()->GetColor() != TextColor) {
        Edit->GetFont()->SetColor(TextColor);
        // A width change makes the edit repaint its text.
        Edit->SetWidth(Edit->GetWidth() + 1);
        Edit->SetWidth(Edit->GetWidth() - 1);
    }
}

void TGridDataViews::ShowSearchResult()
{
    TSearchFooter* F = G.GetSearchFooter();
    TLabel* Label = G.GetSearchPanel()->GetResultLabel();
    if (F->GetShowResults() && F->GetResultTot() > 0)
        Label->SetCaption(Format(F->GetResultFormat(), { F->GetResultPos(), F->GetResultTot() }));
    else
        Label->SetCaption(String());
}

void TGridDataViews::SearchPanelEditChange()
{
    TSearchFooter* F = G.GetSearchFooter();
    TSearchPanel* P = G.GetSearchPanel();
    if (!P)
        return;
    TRetEdit* Edit = P->GetEditControl();
    const String EditText = Edit->GetText();
    bool DefaultSearch = true;
    if (G.OnSearchEditChange)
        G.OnSearchEditChange(&G, EditText, DefaultSearch);

    if (F->GetSearchType() == VuzUdo::stNarrowDown) {
        TNarrowDownOptions Options { ndRemoveAccented };
        if (P->GetMatchCase()->GetChecked())
            Options.Include(ndCaseSensitive);
        NarrowDown(G.DoSearchFooterSearch(EditText), Options, F->GetSearchColumn());
        return;
    }
    if (!DefaultSearch || !F->GetAutoSearch())
        return;

    const TFindParams Params = SearchBarParams(0);
    const bool Highlighting = P->GetHiliteButton()->GetDown() || F->GetAlwaysHighLight();
    auto Repaint = [&] {
        if (F->GetSearchColumn() != -1)
            G.RepaintCol(F->GetSearchColumn());
        else
            G.Invalidate();
    };
    if (Highlighting)
        Repaint();
    F->SetResultTot(0);

    if (EditText.empty()) {
        SetSearchEditColors(F->GetSearchColor(), F->GetSearchTextColor());
        if (P->GetHiliteButton()->GetDown())
            Repaint();
        return;
    }

    const String Text = G.DoSearchFooterSearch(EditText);
    if (F->GetShowResults()) {
        int Count = 0;
        G.SetSearchCell(G.FindAll(Text, Params, Count));
        F->SetResultTot(Count);
    } else {
        const TPoint Start = F->GetSearchFromFocusCell() ? SearchBarFocusCell() : TPoint { -1, -1 };
        G.SetSearchCell(G.Find(Start, Text, Params));
    }
    if (!Edit->Focused() && Edit->GetEnabled() && Edit->CanFocus())
        Edit->SetFocus();
    const TPoint Cell = G.GetSearchCell();
    G.DoSearchFooterAction(EditText, Cell.X, Cell.Y, saFindFirst);

    if (Cell.X == -1) {
        F->SetResultPos(-1);
        SetSearchEditColors(F->GetSearchErrorColor(), F->GetSearchErrorTextColor());
        P->GetResultLabel()->SetCaption(String());
        return;
    }
    F->SetResultPos(1);
    ShowSearchResult();
    SetSearchEditColors(F->GetSearchColor(), F->GetSearchTextColor());
    const int Row = Params.Contains(fnIncludeHiddenRows) ? G.RealToDisplayRow(TRealRow(Cell.Y)).Value : Cell.Y;
    G.ScrollInView(Cell.X, Row, spMiddle);
    if (Highlighting)
        Repaint();
}

void TGridDataViews::SearchBarStep(bool Backward, bool Wrapped)
{
    TSearchFooter* F = G.GetSearchFooter();
    TSearchPanel* P = G.GetSearchPanel();
    const String EditText = P->GetEditControl()->GetText();
    if (!F->GetAutoSearch()) {
        if (EditText != F->GetLastSearch())
            G.SetSearchCell({ -1, -1 });
        F->SetLastSearch(EditText);
    }
    if (F->GetSearchFromFocusCell())
        G.SetSearchCell(SearchBarFocusCell());

    const TFindParams Params = SearchBarParams(Backward ? -1 : 1);
    G.SetSearchCell(G.Find(G.GetSearchCell(), G.DoSearchFooterSearch(EditText), Params));
    const TPoint Cell = G.GetSearchCell();
    const bool Found = Cell.X != -1;
    const int CellRow = Params.Contains(fnIncludeHiddenRows) ? G.RealToDisplayRow(TRealRow(Cell.Y)).Value : Cell.Y;

    const bool FooterShows = G.GetFloatingFooter()->GetVisible();
    if (Backward) {
        const int f = FooterShows ? 1 : 0;
        if (G.GetRow() > G.GetTopRow() + G.GetVisibleRowCount() - 2 - f
            && G.GetVisibleRowCount() + G.GetFixedRows() + f < G.GetRowCount())
            G.SetTopRow(G.GetTopRow() + 2);
        if (Found)
            G.ScrollInView(Cell.X, CellRow, spMiddle);
    } else {
        if (Found)
            G.ScrollInView(Cell.X, CellRow, spMiddle);
        if (FooterShows && G.GetRow() > G.GetTopRow() + G.GetVisibleRowCount() - 2
            && G.GetVisibleRowCount() + G.GetFixedRows() + 1 < G.GetRowCount())
            G.SetTopRow(G.GetTopRow() + 1);
    }
    G.DoSearchFooterAction(EditText, Cell.X, Cell.Y, Backward ? saFindPrevious : saFindNext);

    if (Found || Wrapped) {
        F->SetResultPos(F->GetResultPos() + (Backward ? -1 : 1));
    } else {
        bool ContinueFromStart = true;
        G.DoSearchFooterSearchEnd(ContinueFromStart);
        if (ContinueFromStart) {
            SearchBarStep(Backward, true);
            F->SetResultPos(Backward ? F->GetResultTot() : 1);
        }
    }
    ShowSearchResult();
    P->Invalidate();
}

void TGridDataViews::SearchPanelFindNext()
{
    if (!G.GetSearchPanel())
        return;
    G.HideInplaceEdit();
    SearchBarStep(false, false);
}

void TGridDataViews::SearchPanelFindPrevious()
{
    if (!G.GetSearchPanel())
        return;
    G.HideInplaceEdit();
    SearchBarStep(true, false);
}
