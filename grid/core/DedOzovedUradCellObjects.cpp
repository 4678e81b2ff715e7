// The object a cell carries besides its text: attaching, detaching, which
// object a cell reports and the kind tests.

#include <cstdint>
#include <functional>

#include "grid/core/DedOzovedUrad.h"

namespace {

// A key for the sort of image columns: equal for cells sharing one picture
// object, stable while it lives.
int ObjectKey(const void* Object)
{
    return Object ? int(std::hash<const void*> {}(Object) & 0x7FFFFFFF) : -1;
}

} // namespace

TCellGraphic* TDedOzovedUrad::SlotCellGraphic(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    return dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(ACol, ARow));
}

bool TDedOzovedUrad::RowCheckSelected(int ARow)
{
    if (ARow < 0 || ARow >= GetRowCount())
        return false;
    const int Row = FMouseActions->GetRowSelectPersistent() ? RealRowIndex(TDisplayRow(ARow)).Value : ARow;
    return GetRowSelect(Row);
}

TCellGraphic* TDedOzovedUrad::GetCellGraphic(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    TObject* Slot = GetGraphicObjectEx(ACol, ARow);
    if (Slot && !dynamic_cast<TCellGraphic*>(Slot))
        return nullptr;
    if (ACol == 0 && FMouseActions->GetHotmailRowSelect()) {
        TCellGraphic* G = FCellGraphic.get();
        G->SetCellType(ctRowCheckBox);
        if (ARow == 0) {
            const int Normal = GetRowCount() - GetFixedRows();
            const int Selected = GetRowSelectCount();
            G->SetCellAngle(Selected > 0 && Selected < Normal ? 1 : 0);
            G->SetCellBoolean(Selected >= Normal);
        } else {
            G->SetCellAngle(0);
            G->SetCellBoolean(RowCheckSelected(ARow));
        }
        G->SetCellTransparent(FControlLook->GetControlStyle() == RirEvoz::csFlat);
        return G;
    }
    return static_cast<TCellGraphic*>(Slot);
}

TCellType TDedOzovedUrad::GetCellType(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return ctEmpty;
    TObject* Slot = GetGraphicObjectEx(ACol, ARow);
    auto* G = dynamic_cast<TCellGraphic*>(Slot);
    if (Slot && !G)
        return ctEmpty;
    if (ACol == 0 && FMouseActions->GetHotmailRowSelect())
        return ctRowCheckBox;
    return G ? G->GetCellType() : ctEmpty;
}

bool TDedOzovedUrad::GetCellEmpty(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return !(G && (G->GetCellType() != ctNone || !G->GetCellComment().empty()));
}

TIntList* TDedOzovedUrad::GetCellImages(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctImages ? G->GetCellImages() : nullptr;
}

int TDedOzovedUrad::GetCellImageIdx(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return -1;
    switch (G->GetCellType()) {
    case ctImageList: return G->GetCellIndex();
    case ctBitmap: return ObjectKey(G->GetCellObject());
    case ctIcon: return ObjectKey(G->GetCellIcon());
    default: return -1;
    }
}

TCellGraphic* TDedOzovedUrad::CreateCellGraphic(int ACol, int ARow)
{
    // The slot's own object goes, also in column 0 under HotmailRowSelect
    // where the cell shows the grid's row check box instead.
    const TCellProperties* Props = PropertiesAt(ACol, ARow);
    TObject* Old = Props ? Props->GetGraphicObject() : nullptr;
    const bool OwnedOld = Props && Props->GetOwnsGraphicObject();
    auto Made = std::make_unique<TCellGraphic>();
    SetGraphicObjectEx(ACol, ARow, Made.get(), true);
    TCellGraphic* New = Made.release();
    if (OwnedOld && Old != New)
        delete Old;
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
    return New;
}

bool TDedOzovedUrad::FreeCellGraphic(int ACol, int ARow)
{
    TCellProperties* Props = ACol < 0 || ARow < 0 ? nullptr : PropertiesAt(ACol, ARow);
    auto* G = Props ? dynamic_cast<TCellGraphic*>(Props->GetGraphicObject()) : nullptr;
    if (!G)
        return false;
    const bool Owned = Props->GetOwnsGraphicObject();
    Props->SetGraphicObject(nullptr);
    if (Owned)
        delete G;
    if (!IsDestroying())
        RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
    return true;
}

bool TDedOzovedUrad::RemoveCellGraphic(int ACol, int ARow, TCellType Kind)
{
    return GetCellType(ACol, ARow) == Kind && FreeCellGraphic(ACol, ARow);
}

bool TDedOzovedUrad::IsCellTypeIn(int ACol, int ARow, TCellTypes Kinds)
{
    if (ACol < 0 || ARow < 0)
        return false;
    int BCol = ACol, BRow = ARow;
    if (ResolveBaseCell(ACol, ARow, BCol, BRow)) {
        BCol = ACol;
        BRow = ARow;
    }
    const TCellGraphic* G = GetCellGraphic(BCol, BRow);
    return G && Kinds.Contains(G->GetCellType());
}

bool TDedOzovedUrad::HasCheckBox(int ACol, int ARow)
{
    return IsCellTypeIn(ACol, ARow, { ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox });
}

bool TDedOzovedUrad::HasDataCheckBox(int ACol, int ARow)
{
    return IsCellTypeIn(ACol, ARow, { ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox });
}

bool TDedOzovedUrad::HasButton(int ACol, int ARow)
{
    return IsCellTypeIn(ACol, ARow, { ctButton, ctBitButton, ctVirtButton });
}

bool TDedOzovedUrad::IsRadio(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctRadio }); }
bool TDedOzovedUrad::HasExpand(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctExpand }); }
bool TDedOzovedUrad::HasBalloon(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctBalloon }); }
bool TDedOzovedUrad::HasProgress(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctProgress }); }
bool TDedOzovedUrad::HasShape(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctShape }); }
bool TDedOzovedUrad::HasRating(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctRating }); }
bool TDedOzovedUrad::HasScrollBar(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctScrollbar }); }
bool TDedOzovedUrad::HasRadioButton(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctRadioButton }); }
bool TDedOzovedUrad::HasDataImage(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctDataImage }); }
bool TDedOzovedUrad::HasDataPicture(int ACol, int ARow) { return IsCellTypeIn(ACol, ARow, { ctDataPicture }); }

bool TDedOzovedUrad::HasBitmap(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctBitmap;
}

bool TDedOzovedUrad::HasPicture(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctPicture;
}

bool TDedOzovedUrad::HasFilePicture(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctFilePicture;
}

bool TDedOzovedUrad::IsDataGraphicCell(TDedOzovedUrad* Grid, int ACol, int ARow)
{
    return Grid && Grid->IsCellTypeIn(ACol, ARow, { ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox });
}

bool TDedOzovedUrad::IsControlCell(int ACol, int ARow)
{
    if (IsCellTypeIn(ACol, ARow,
            { ctCheckBox, ctDataCheckBox, ctRadio, ctVirtCheckBox, ctRowCheckBox, ctRadioButton, ctTriStateCheckBox }))
        return true;
    return !FNavigation->GetAllowEditButtonCells() && HasButton(ACol, ARow);
}

bool TDedOzovedUrad::CellHasCheckBox(int ACol, int ARow) { return HasCheckBox(ACol, ARow); }

TCellGraphic* TDedOzovedUrad::ObjectByRealRow(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    if (TGridItem* Item = HiddenRowItem(ARow)) {
        TStrings* Cells = Item->GetItems();
        if (ACol >= Cells->GetCount())
            return nullptr;
        auto* Props = dynamic_cast<TCellProperties*>(Cells->GetObjects(ACol));
        return Props ? dynamic_cast<TCellGraphic*>(Props->GetGraphicObject()) : nullptr;
    }
    return GetCellGraphic(ACol, RealToDisplayRow(TRealRow(ARow)).Value);
}
