// The string grid's hooks of its own that descendants replace: the
// announcement of changed cells, the width hooks of column sizing, the text
// inset and the line count of a row; the hooks of editing, filtering and
// hover buttons, and the filter typed into the filter-edit row.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Window.h"
#include "richtext/LumThemeNotifier.h"
#include "richtext/MiniHTML.h"

void TDedOzovedUrad::CellsChanged(const TRect& R)
{
    // A notifier may unregister itself (or another) while it is told: the
    // walk goes over the list as it stood, skipping any that left meanwhile.
    const std::vector<TGridChangeNotifier*> Notifiers = FNotifierList;
    for (TGridChangeNotifier* Notifier : Notifiers)
        if (std::find(FNotifierList.begin(), FNotifierList.end(), Notifier) != FNotifierList.end())
            Notifier->CellsChanged(R);
    if (OnCellsChanged)
        OnCellsChanged(this, R);
    CalcFooter(-1);
}

void TDedOzovedUrad::UpdateAutoColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

void TDedOzovedUrad::UpdateColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

int TDedOzovedUrad::RowLineCount(int ARow)
{
    if (GetColCount() == 0 || !GetMultilinecells())
        return 1;
    int Lines = 1;
    for (int c = 0; c < GetColCount(); ++c)
        Lines = std::max(Lines, VuzEraz::CountLines(GetGridCell(DisplayToRealCol(TDisplayCol(c)).Value, ARow), true));
    return Lines;
}

void TDedOzovedUrad::SetXYOffset(TPoint Value)
{
    FXYOffset = Value;
    Invalidate();
}

void TDedOzovedUrad::SetXYRTFOffset(TPoint Value)
{
    FXYRTFOffset = Value;
    Invalidate();
}

void TDedOzovedUrad::SetXYOffsetTopLeftOnly(bool Value)
{
    if (FXYOffsetTopLeftOnly == Value)
        return;
    FXYOffsetTopLeftOnly = Value;
    Invalidate();
}

void TDedOzovedUrad::FilterEditEnabledChanged()
{
    Invalidate();
    SetFilterActive(false);
    FFilter->Clear();
    const int Row = FFilterEdit->GetRow();
    if (Row >= 0 && Row < GetRowCount() && GetColCount() > 0)
        ClearRect(0, Row, GetAllColCount() - 1, Row);
    if (!FFilterEdit->GetEnabled() && FColumnHeaders->GetCount() > 0)
        ShowColumnHeaders();
}

// ---- hooks of editing, filtering and hover buttons ----

void TDedOzovedUrad::DoFixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor, TStrings* Values)
{
    if (OnFixedEdit)
        OnFixedEdit(this, ACol, ARow, AEditor, Values);
}

bool TDedOzovedUrad::DoBeforeEdit(int ACol, int ARow)
{
    bool Allow = true;
    if (OnBeforeEdit)
        OnBeforeEdit(this, ARow, ACol, Allow);
    return Allow;
}

void TDedOzovedUrad::DoAutoInsertRow(int ARow)
{
    if (!HasNodes()) {
        InsertRows(ARow, 1, true);
        return;
    }
    if (FDataViews->GetParentRow(DisplRowIndex(TRealRow(ARow)).Value) == -1)
        FDataViews->InsertNormalRow(ARow);
    else
        FDataViews->InsertChildRow(ARow, ARow);
}

void TDedOzovedUrad::DoAutoDeleteRow(int ARow)
{
    if (HasNodes()) {
        if (FDataViews->GetParentRow(ARow) == -1)
            FDataViews->RemoveNormalRow(ARow);
        else
            FDataViews->RemoveChildRow(ARow);
    } else if (GetRowCount() - GetFixedRows() - FFixedFooters == 1 && ARow == GetFixedRows()
        && !FFixedRowAlways) {
        // The only normal row is emptied: the grid keeps a row to edit in.
        ClearRows(ARow, 1);
    } else {
        DeleteDisplayRows(ARow, 1);
    }
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, ARow);
}

void TDedOzovedUrad::DoFilterDone()
{
    if (OnFilterDone)
        OnFilterDone(this);
}

void TDedOzovedUrad::DoFilterShow(int ACol, bool& Allow)
{
    if (OnFilterShow)
        OnFilterShow(this, ACol, Allow);
}

void TDedOzovedUrad::DoFilterClose(int ACol)
{
    if (OnFilterClose)
        OnFilterClose(this, ACol);
}

void TDedOzovedUrad::DoBeforeFilter()
{
    if (OnBeforeFilter)
        OnBeforeFilter(this);
}

int TDedOzovedUrad::SearchPanelHeight() { return int(RoundHalfEven(std::max(FDPIScale, 1.0) * 34)); }

void TDedOzovedUrad::DoHoverButtonsShow(int X, int Y, bool& Allow)
{
    if (OnHoverButtonsShow)
        OnHoverButtonsShow(this, X, Y, Allow);
}

void TDedOzovedUrad::DoIntelliZoom()
{
    if (OnIntelliZoom)
        OnIntelliZoom(this);
}

void TDedOzovedUrad::ApplyFilterEdit(int ACol, TFilterType FilterType)
{
    SetFilterActive(false);
    const int EditRow = FFilterEdit->GetRow();
    if (FilterType == ftClear) {
        if (EditRow >= 0 && EditRow < GetRowCount())
            SetCellEx(ACol, EditRow, String());
        FilterType = ftContains;
    }
    const String Text = EditRow >= 0 && EditRow < GetRowCount() ? GetCellEx(ACol, EditRow) : String();
    const bool Existing = FFilter->HasFilter(ACol);
    TFilterData* Condition = FFilter->GetColFilter(ACol);
    if (!Existing)
        Condition->SetFilterType(ftContains);
    Condition->SetCaseSensitive(FFilterEdit->GetCaseSensitive());
    Condition->SetColumn(ACol);
    if (FilterType != ftNone)
        Condition->SetFilterType(FilterType);
    Condition->BuildCondition(Text);
    Condition->SetEnabled(!Text.empty());

    FDoAutoEditFilter = true;
    DoFilterEditUpdate(ACol, Text, Condition->GetFilterType());
    if (FDoAutoEditFilter) {
        DoBeforeFilter();
        SetFilterActive(true);
        RepaintRow(0);
        DoFilterDone();
        return;
    }
    // The application applies the filter itself, after this message.
    FEditFilterCondition = Text;
    FEditFilterType = Condition->GetFilterType();
    FEditFilterColumn = ACol;
    if (HandleAllocated())
        PostMessage(GetHandle(), GridUnit().WM_FILTEREDITUPDATE, 0, 0);
}

void TDedOzovedUrad::SetFixedDropDownMenu(TPopupMenu* Value)
{
    if (FFixedDropDownMenu == Value)
        return;
    if (FFixedDropDownMenu)
        FFixedDropDownMenu->RemoveFreeNotification(this);
    FFixedDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

// ---- look setters ----

void TDedOzovedUrad::SetHighlightColor(TColor Value)
{
    if (FHighlightColor == Value)
        return;
    FHighlightColor = Value;
    VovHTMLE::SetHTMLHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TDedOzovedUrad::SetHighlightTextColor(TColor Value)
{
    if (FHighlightTextColor == Value)
        return;
    FHighlightTextColor = Value;
    VovHTMLE::SetHTMLHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TDedOzovedUrad::SetAutoThemeAdapt(bool Value)
{
    if (FAutoThemeAdapt == Value)
        return;
    FAutoThemeAdapt = Value;
    FSearchFooter->SetAutoThemeAdapt(Value);
    if (Value) {
        AdaptToOfficeTheme();
        Invalidate();
    }
    if (IsDesigning() || IsLoading() || !HandleAllocated())
        return;
    if (Value)
        SharedThemeNotifier(this)->RegisterWindow(GetHandle());
    else
        SharedThemeNotifier(this)->UnRegisterWindow(GetHandle());
}

void TDedOzovedUrad::SetZoomFactor(int Value)
{
    if (FZoomFactor == Value)
        return;
    FZoomFactor = Value;
    Invalidate();
}

void TDedOzovedUrad::SetActiveCellFont(TFont* Value)
{
    if (!Value)
        return;
    FActiveCellFont->Assign(Value);
    Invalidate();
}

void TDedOzovedUrad::SetBackGround(TBackGround* Value)
{
    FBackGround->Assign(Value);
    Invalidate();
}

void TDedOzovedUrad::SetRowIndicator(TBitmap* Value)
{
    FRowIndicator->Assign(Value);
    RepaintCell(0, GetRow());
}
