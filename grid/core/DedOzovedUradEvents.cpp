// The questions the grid asks about one cell and the happenings it
// announces, each the grid's own answer followed by its event, so that a
// descendant can replace the whole question; and the handlers the grid
// binds to the date editors and the in-place rich editor it makes.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Input.h"

void TDedOzovedUrad::DoCanSort(int ACol, bool& DoSort)
{
    if (OnCanSort)
        OnCanSort(this, ACol, DoSort);
}

void TDedOzovedUrad::DoSearchFooterAction(const String& Value, int ACol, int ARow, TSearchAction SearchAction)
{
    if (OnSearchFooterAction)
        OnSearchFooterAction(this, Value, ACol, ARow, SearchAction);
}

String TDedOzovedUrad::DoSearchFooterSearch(const String& Value)
{
    String Text = Value;
    if (OnSearchFooterSearch)
        OnSearchFooterSearch(this, Text);
    return Text;
}

void TDedOzovedUrad::DoSearchFooterSearchEnd(bool& ContinueFromStart)
{
    if (OnSearchFooterSearchEnd)
        OnSearchFooterSearchEnd(this, ContinueFromStart);
}

void TDedOzovedUrad::DoButtonClick(int ACol, int ARow)
{
    if (OnButtonClick)
        OnButtonClick(this, ACol, ARow);
}

void TDedOzovedUrad::DoExpandClick(int ACol, int ARow, bool Expanded)
{
    if (OnExpandClick)
        OnExpandClick(this, ACol, ARow, Expanded);
    if (const int Height = ExpandedRowHeight(ACol, ARow, Expanded); Height >= 0 && ARow >= 0 && ARow < GetRowCount())
        SetRowHeights(ARow, Height);
}

void TDedOzovedUrad::DoComboCloseUp(int ARow, int ACol)
{
    if (OnComboCloseUp)
        OnComboCloseUp(this, ARow, ACol);
}

void TDedOzovedUrad::DoComboDropDown(int ARow, int ACol)
{
    if (TCustomComboBox* Combo = GetComboEditor()) {
        // The edit field as high as the cell allows.
        const TRect R = CellRect(DisplColIndex(TRealCol(ACol)).Value, ARow);
        Combo->Perform(CB_SETITEMHEIGHT, WPARAM(-1), R.Height() - 6);
    }
    if (OnComboDropDown)
        OnComboDropDown(this, ARow, ACol);
}

void TDedOzovedUrad::DoGetCellCursor(int ACol, int ARow, int X, int Y)
{
    if (!OnGetCellCursor)
        return;
    TCursor Cursor = Screen ? Screen->GetCursor() : crDefault;
    OnGetCellCursor(this, ACol, ARow, X, Y, Cursor);
    if (Cursor != GetCursor() && Screen)
        ::SetCursor(Screen->GetCursors(Cursor));
}

void TDedOzovedUrad::GetCellHint(int ACol, int ARow, String& Hint, String& WideHint)
{
    // The notes the application set keep unless it answers for the cell.
    if (OnGridHint) {
        OnGridHint(this, ARow, ACol, Hint);
        FOfficeHint->GetNotes()->SetText(Hint);
    }
    if (OnGridWideHint) {
        OnGridWideHint(this, ARow, ACol, WideHint);
        if (!WideHint.empty())
            Hint = VuzEraz::EncodeWideCellText(WideHint);
    }
    if (OnOfficeHint)
        OnOfficeHint(this, ACol, ARow, FOfficeHint.get());
}

void TDedOzovedUrad::DoGetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (OnGetCellPrintBorder)
        OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}

void TDedOzovedUrad::DoGetFormat(int ACol, TSortStyle& AStyle, String& aPrefix, String& aSuffix)
{
    if (OnGetFormat)
        OnGetFormat(this, ACol, AStyle, aPrefix, aSuffix);
}

bool TDedOzovedUrad::IsEditorNone(int ACol, int ARow, TEditorType& AEditor)
{
    if (!OnGetEditorType)
        return false;
    AEditor = edNormal;
    OnGetEditorType(this, ACol, ARow, AEditor);
    return AEditor == edNone;
}

void TDedOzovedUrad::DoFilterEditUpdate(int ACol, const String& Condition, TFilterType FilterType)
{
    if (OnFilterEditUpdate)
        OnFilterEditUpdate(this, ACol, Condition, FilterType);
}

String TDedOzovedUrad::GetCheckTrueText(int ACol, int ARow)
{
    String Value = FCheckTrue;
    if (OnGetCheckTrue)
        OnGetCheckTrue(this, ACol, ARow, Value);
    return Value;
}

String TDedOzovedUrad::GetCheckFalseText(int ACol, int ARow)
{
    String Value = FCheckFalse;
    if (OnGetCheckFalse)
        OnGetCheckFalse(this, ACol, ARow, Value);
    return Value;
}

bool TDedOzovedUrad::MustSkip(int ACol, int ARow)
{
    if (FNavigation->GetSkipFixedCells() && IsFixed(ACol, ARow))
        return true;
    if (!FNavigation->GetSkipReadOnly())
        return false;
    bool Allow = true;
    CanEditCell(DisplayToRealCol(TDisplayCol(ACol)).Value, ARow, Allow);
    return !Allow;
}

void TDedOzovedUrad::ClickCurrentCellButton()
{
    if (OnButtonClick)
        OnButtonClick(this, GetCol(), GetRow());
}

// ---- handlers of the editors the grid makes ----

void TDedOzovedUrad::DateTimeEditorChanged(TObject*, TDateTime Value)
{
    if (OnDateTimeChange)
        OnDateTimeChange(this, GetCol(), GetRow(), Value);
}

void TDedOzovedUrad::DatePickerChanged(TDateTimePicker* Picker)
{
    if (!OnEditChange || !Picker)
        return;
    const String Text = Picker->GetKind() == dtkTime ? TimeToStr(Picker->GetTime()) : DateToStr(Picker->GetDate());
    OnEditChange(this, GetCol(), GetRow(), Text);
}

void TDedOzovedUrad::DatePickerCloseUp(TObject*)
{
    if (OnDatePickerCloseUp)
        OnDatePickerCloseUp(this, GetRow(), GetCol());
    if (!FMouseActions->GetDirectDateClose())
        return;
    HideInplaceEdit();
    if (CanFocus())
        SetFocus();
    if (FNavigation->GetAdvanceOnEnter())
        MoveToNextCell(GetCol(), GetRow(), true, true, true, true, true);
}

void TDedOzovedUrad::DatePickerDropDown(TDateTimePicker* Picker, bool ShowToday, bool ShowTodayCircle, bool WeekNumbers)
{
    if (Picker) {
        if (TMonthCalendar* Calendar = Picker->GetCalendar()) {
            Calendar->SetShowToday(ShowToday);
            Calendar->SetShowTodayCircle(ShowTodayCircle);
            Calendar->SetWeekNumbers(WeekNumbers);
            const TRect Min = Calendar->MinReqRect();
            Calendar->SetWidth(Min.Width() + 2);
            Calendar->SetHeight(Min.Height() + 2);
        }
    }
    if (OnDatePickerDropDown)
        OnDatePickerDropDown(this, GetRow(), GetCol());
}

void TDedOzovedUrad::RichEditSelectionChange(TObject* Sender)
{
    if (OnRichEditSelectionChange)
        OnRichEditSelectionChange(Sender);
}
