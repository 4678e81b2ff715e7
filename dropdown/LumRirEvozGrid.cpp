// The grid drop-down's grid: the string grid with a header row and one data
// row per item, that turns a click on a data row or Return into the
// drop-down's choice.

#include <algorithm>
#include <cstdint>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumRirEvozDropDown.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace DuzEzirezUderArirOver {

QT_PUBLISHED(DOdoZedAvud)

namespace {

int TextWidth(TCanvas* Canvas, const String& Text)
{
    TRect R(0, 0, 1000, 500);
    String T = Text;
    Canvas->TextRect(R, T, TTextFormat { tfCalcRect, tfSingleLine, tfNoPrefix });
    return R.Width();
}

int WrappedHeight(TCanvas* Canvas, const String& Text, int Width)
{
    TRect R(0, 0, std::max(Width, 1), 500);
    String T = Text;
    Canvas->TextRect(R, T, TTextFormat { tfCalcRect, tfWordBreak, tfNoPrefix });
    return R.Height();
}

TObject* ItemTag(int Index) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Index)); }

} // namespace

DOdoZedAvud::DOdoZedAvud(TComponent* AOwner)
    : TDedOzovedUrad(AOwner)
    , FColumns(std::make_unique<TDropDownColumns>(this))
    , FHeaderFont(std::make_unique<TFont>())
{
    SetFixedRowAlways(true);
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions Options = GetOptions();
    Options -= TGridOptions { goRangeSelect };
    Options += TGridOptions { goHorzLine, goRowSelect };
    SetOptions(Options);
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetBorderStyle(bsNone);
}

DOdoZedAvud::~DOdoZedAvud()
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
}

void DOdoZedAvud::Notification(TComponent* AComponent, TOperation Operation)
{
    TDedOzovedUrad::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages && !GetComponentState().Contains(csDestroying))
        FImages = nullptr;
}

void DOdoZedAvud::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
}

void DOdoZedAvud::SetGridLineWidth(int Value)
{
    FGridLineWidth = Value;
    TCustomGrid::SetGridLineWidth(0);
}

void DOdoZedAvud::DoSelect()
{
    if (OnSelect)
        OnSelect(this);
}

bool DOdoZedAvud::InDropDownWindow() const
{
    return FLumDropDown && FLumDropDown->GetDropDownForm() && GetParent() == FLumDropDown->GetDropDownForm();
}

void DOdoZedAvud::InitFromDropDown(TCustomRirEvozDropDown* D)
{
    if (!D)
        return;
    SetLumDropDown(D);
    FColumns->Assign(D->GetColumns());
    if (GetColCount() < FColumns->GetCount())
        SetColCount(FColumns->GetCount());
    if (D->GetUseItems())
        SetRowCount(D->GetItems()->GetCount() + 1);
    for (int i = 0; i < FColumns->GetCount(); ++i)
        SetColWidths(i, FColumns->GetItem(i)->GetWidth());
    FLineColor = D->GetLineColor();
    FFixedLineColor = D->GetFixedLineColor();
    FHeaderColor = D->GetHeaderColor();
    FHeaderColorTo = D->GetHeaderColorTo();
    FHeaderHeight = D->GetHeaderHeight();
    FHeaderFont->Assign(D->GetHeaderFont());
    TBaseGrid::SetHoverRow(D->GetHoverRow());
    SetHoverRowColor(D->GetHoverRowColor());
    SetHoverRowColorTo(D->GetHoverRowColorTo());
    SetImages(D->GetImages());
    const double s = GetDPIScale();
    SetDefaultRowHeight(int(RoundHalfEven(D->GetDropDownRowHeight() * s)));
    if (GetRowCount() > 0)
        SetRowHeights(0, int(RoundHalfEven(D->GetHeaderHeight() * s)));
    TGridOptions Options = GetOptions();
    auto Option = [&](TGridOption O, bool On) {
        if (On)
            Options += TGridOptions { O };
        else
            Options -= TGridOptions { O };
    };
    Option(goColSizing, D->GetColumnSizing());
    Option(goColMoving, D->GetColumnMoving());
    Option(goRowSizing, D->GetRowSizing());
    Option(goRowMoving, D->GetRowMoving());
    SetOptions(Options);
    if (D->GetAutoSizeColumns()) {
        if (D->GetUseItems())
            AutoSizeItemColumns();
        else
            TDedOzovedUrad::AutoSizeColumns(true, 4);
    }
    SizeWordWrapRows();
}

void DOdoZedAvud::LoadItems()
{
    if (!FLumDropDown)
        return;
    if (GetColCount() != FColumns->GetCount() && FColumns->GetCount() > 0)
        SetColCount(FColumns->GetCount());
    for (int i = 0; i < FColumns->GetCount(); ++i) {
        SetCells(i, 0, FColumns->GetItem(i)->GetHeader());
        SetObjects(i, 0, ItemTag(-1));
    }
    TDropDownItems* Items = FLumDropDown->GetItems();
    if (Items->GetCount() > 0)
        SetRowCount(GetFixedRows() + Items->GetCount());
    for (int r = 0; r < Items->GetCount(); ++r) {
        TDropDownItem* Item = Items->GetItem(r);
        for (int c = 0; c < GetColCount(); ++c) {
            SetCells(c, r + 1, Item->Line(c));
            if (c < FColumns->GetCount() && FColumns->GetItem(c)->GetColumnType() == ctImage)
                AddImageIdx(c, r + 1, Item->GetImageIndex(), haLeft, vaCenter);
        }
        SetObjects(0, r + 1, ItemTag(r));
    }
}

void DOdoZedAvud::AutoSizeItemColumns()
{
    for (int i = 0; i < FColumns->GetCount(); ++i)
        if (FColumns->GetItem(i)->GetAutoSize())
            AutoSizeColumn(i);
}

void DOdoZedAvud::AutoSizeColumn(int Index)
{
    if (Index < 0 || Index >= FColumns->GetCount() || !FColumns->GetItem(Index)->GetAutoSize() || !InDropDownWindow())
        return;
    TDropDownColumn* Column = FColumns->GetItem(Index);
    TDropDownItems* Items = FLumDropDown->GetItems();
    TCanvas* Canvas = GetCanvas();
    Canvas->GetFont()->Assign(Column->GetFont());
    int W = 0;
    for (int Row = 1; Row < GetRowCount() && Row - 1 < Items->GetCount(); ++Row) {
        TDropDownItem* Item = Items->GetItem(Row - 1);
        int p = Column->GetColumnType() == ctImage && Item->GetImageIndex() >= 0 && FImages ? FImages->GetWidth() + 4 : 0;
        const String Text = Item->Line(Index);
        if (!Text.empty())
            p += TextWidth(Canvas, Text) + 6;
        W = std::max(W, p);
    }
    Column->SetWidth(W);
    if (Index < GetColCount())
        SetColWidths(Index, W);
}

void DOdoZedAvud::SizeWordWrapRows()
{
    if (!InDropDownWindow())
        return;
    bool Wrapped = false;
    for (int c = 0; c < FColumns->GetCount(); ++c)
        Wrapped = Wrapped || FColumns->GetItem(c)->GetWordwrap();
    if (!Wrapped)
        return;
    TDropDownItems* Items = FLumDropDown->GetItems();
    TCanvas* Canvas = GetCanvas();
    for (int r = GetFixedRows(); r < GetRowCount(); ++r) {
        TDropDownItem* Item = r - 1 >= 0 && r - 1 < Items->GetCount() ? Items->GetItem(r - 1) : nullptr;
        int H = 24;
        for (int c = 0; c < GetColCount() && c < FColumns->GetCount(); ++c) {
            TDropDownColumn* Column = FColumns->GetItem(c);
            if (!Column->GetWordwrap())
                continue;
            int b = 0;
            if (Item && Column->GetColumnType() == ctImage && Item->GetImageIndex() >= 0 && FImages)
                b = FImages->GetHeight() + 6;
            const String Text = Item ? Item->Line(c) : String();
            if (!Text.empty()) {
                Canvas->GetFont()->Assign(Column->GetFont());
                b = std::max(b, WrappedHeight(Canvas, Text, GetColWidths(c)) + 6);
            }
            H = std::max(H, b);
        }
        SetRowHeights(r, H);
    }
}

int DOdoZedAvud::GetOptimalWidth()
{
    int W = 2 * GetBorderWidth();
    for (int c = 0; c < GetColCount(); ++c)
        W += GetColWidths(c);
    if (GetVisibleRowCount() + GetFixedRows() != GetRowCount())
        W += GetSystemMetrics(SM_CXVSCROLL);
    return W;
}

void DOdoZedAvud::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB;
        return;
    case WM_KEYDOWN:
        if (Message.WParam == VK_TAB)
            return;
        break;
    case WM_CHAR:
        if (Message.WParam == VK_RETURN) {
            Message.Result = 0;
            return;
        }
        break;
    default: break;
    }
    TDedOzovedUrad::Dispatch(Message);
}

void DOdoZedAvud::KeyDown(WORD& Key, TShiftState Shift)
{
    FConfirmSelection = true;
    if ((Key == VK_UP || Key == VK_DOWN) && Shift.Contains(ssAlt)) {
        if (FLumDropDown && FLumDropDown->HandleAllocated())
            SendMessage(FLumDropDown->GetHandle(), WM_KEYDOWN, Key, 0);
        return;
    }
    if (Key == VK_RETURN) {
        Key = 0;
        TDedOzovedUrad::KeyDown(Key, Shift);
        DoSelect();
        return;
    }
    TDedOzovedUrad::KeyDown(Key, Shift);
}

void DOdoZedAvud::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FConfirmSelection = true;
    TDedOzovedUrad::MouseDown(Button, Shift, X, Y);
}

void DOdoZedAvud::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TDedOzovedUrad::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    if (c < 0 || r < GetFixedRows() || r >= GetRowCount() || HasCheckBox(c, r))
        return;
    DoSelect();
}

bool DOdoZedAvud::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    FConfirmSelection = false;
    return TDedOzovedUrad::DoMouseWheelDown(Shift, MousePos);
}

bool DOdoZedAvud::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    FConfirmSelection = false;
    return TDedOzovedUrad::DoMouseWheelUp(Shift, MousePos);
}

} // namespace DuzEzirezUderArirOver
