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
    if (EditMode)
        return EditControl;
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    TEditorType Kind = GetDefaultEditor();
    DoGetEditorType(Base.X, Base.Y, Kind);
    return Kind;
}
