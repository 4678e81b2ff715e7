// The grid's side of its text editor: the platform grid makes a
// TLumInplaceEdit, and the steps of the editing road the editor calls.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumInplaceEdit.h"

TInplaceEdit* TDedOzovedUrad::CreateEditor()
{
    return new TLumInplaceEdit(this);
}

TLumInplaceEdit* TDedOzovedUrad::GetNormalEdit() const
{
    return dynamic_cast<TLumInplaceEdit*>(GetInplaceEditor());
}

TEditorType TDedOzovedUrad::GetEditControl()
{
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    TEditorType Kind = GetDefaultEditor();
    DoGetEditorType(Base.X, Base.Y, Kind);
    return Kind;
}

bool TDedOzovedUrad::ValidateCell(const String& NewValue)
{
    // Accepted as it is: the text goes into the focus cell.
    FNewCellText = NewValue;
    if (GetCurrentCell() != NewValue)
        SetCurrentCell(NewValue);
    return true;
}

void TDedOzovedUrad::FinishEditorEdit(int, int) { }

bool TDedOzovedUrad::WantsEditorTab()
{
    return GetOptions().Contains(goTabs);
}

void TDedOzovedUrad::DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink)
{
    if (OnGetEditorProp)
        OnGetEditorProp(this, ACol, ARow, AEditLink);
}
