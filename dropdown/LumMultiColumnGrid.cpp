// The multi-column drop-down's list: a plain string grid with one header
// row and a data row per item, painted from the drop-down's columns and
// items, that turns a click, Return or a hover into the drop-down's choice.

#include <algorithm>

#include "dropdown/LumMultiColumnDropDown.h"
#include "dropdown/LumDropDownForm.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/gdi/DrawText.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

namespace LumMultiColumnDropDown {

QT_PUBLISHED(DOdoZedAvud)

namespace {

int TextWidth(TCanvas* Canvas, const String& Text)
{
    TRect R(0, 0, 0, 0);
    String T = Text;
    Canvas->TextRect(R, T, TTextFormat { tfCalcRect, tfSingleLine, tfNoPrefix });
    return R.Width();
}

int WrappedHeight(TCanvas* Canvas, const String& Text, int Width)
{
    TRect R(0, 0, std::max(Width, 1), 0);
    String T = Text;
    Canvas->TextRect(R, T, TTextFormat { tfCalcRect, tfWordBreak, tfEditControl, tfNoPrefix, tfExpandTabs });
    return R.Height();
}

} // namespace

DOdoZedAvud::DOdoZedAvud(TComponent* AOwner)
    : TStringGrid(AOwner)
    , FColumns(std::make_unique<TDropDownColumns>(this))
    , FHeaderFont(std::make_unique<TFont>())
{
    SetFixedCols(0);
    SetFixedRows(1);
    TGridOptions Options = GetOptions();
    Options += TGridOptions { goHorzLine };
    Options += TGridOptions { goTabs };
    Options += TGridOptions { goRowSelect };
    Options -= TGridOptions { goRangeSelect };
    Options -= TGridOptions { goDrawFocusSelected };
    SetOptions(Options);
    SetDefaultDrawing(false);
    // The lines are this grid's own, drawn with the cells.
    TCustomGrid::SetGridLineWidth(0);
    if (!IsVCLStyleActive())
        SetStyleElements(TStyleElements {});
}

DOdoZedAvud::~DOdoZedAvud()
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
}

void DOdoZedAvud::Notification(TComponent* AComponent, TOperation Operation)
{
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void DOdoZedAvud::SetGridLineWidth(int Value)
{
    FGridLineWidth = Value;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
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

void DOdoZedAvud::LoadFromDropDown(TLumMultiColumnDropDown* DropDown)
{
    FLumDropDown = DropDown;
    if (!DropDown)
        return;
    FColumns->Assign(DropDown->GetColumns());
    // A grid keeps one column at least; it has no definition then.
    SetColCount(std::max(1, FColumns->GetCount()));
    SetRowCount(std::max(2, DropDown->GetItems()->GetCount() + 1));
    SetFixedRows(1);
    SetRow(1);
    for (int i = 0; i < FColumns->GetCount(); ++i)
        SetColWidths(i, FColumns->GetItem(i)->GetWidth());
    FLineColor = DropDown->GetLineColor();
    FFixedLineColor = DropDown->GetFixedLineColor();
    FHeaderColor = DropDown->GetHeaderColor();
    FHeaderColorTo = DropDown->GetHeaderColorTo();
    FHeaderHeight = DropDown->GetHeaderHeight();
    FHeaderFont->Assign(DropDown->GetHeaderFont());
    if (FImages != DropDown->GetImages()) {
        if (FImages)
            FImages->RemoveFreeNotification(this);
        FImages = DropDown->GetImages();
        if (FImages)
            FImages->FreeNotification(this);
    }
    TGridOptions Options = GetOptions();
    if (DropDown->GetColumnSizing())
        Options += TGridOptions { goColSizing };
    else
        Options -= TGridOptions { goColSizing };
    SetOptions(Options);
    AutoSizeColumns();
    SetDefaultRowHeight(DropDown->GetDropDownRowHeight());
    AutoSizeRows();
    SetRowHeights(0, std::max(1, FHeaderHeight));
}

void DOdoZedAvud::AutoSizeColumns()
{
    for (int i = 0; i < FColumns->GetCount(); ++i)
        if (FColumns->GetItem(i)->GetAutoSize())
            AutoSizeColumn(i);
}

void DOdoZedAvud::AutoSizeColumn(int Index)
{
    if (Index < 0 || Index >= FColumns->GetCount() || !InDropDownWindow())
        return;
    TDropDownColumn* Column = FColumns->GetItem(Index);
    if (!Column->GetAutoSize())
        return;
    TDropDownItems* Items = FLumDropDown->GetItems();
    if (Items->GetCount() == 0)
        return;
    TCanvas* Canvas = GetCanvas();
    Canvas->GetFont()->Assign(Column->GetFont());
    int w = Column->GetHeader().empty() ? 0 : TextWidth(Canvas, Column->GetHeader()) + 6;
    for (TDropDownItem* Item : *Items) {
        int b = 0;
        if (Column->GetColumnType() == ctImage && Item->GetImageIndex() >= 0 && FImages)
            b = FImages->GetWidth() + 4;
        const String Text = Item->Line(Index);
        if (!Text.empty())
            b += TextWidth(Canvas, Text) + 6;
        w = std::max(w, b);
    }
    Column->SetWidth(w);
    if (Index < GetColCount())
        SetColWidths(Index, w);
}

void DOdoZedAvud::AutoSizeRows()
{
    if (!InDropDownWindow())
        return;
    bool Wrapped = false;
    for (TDropDownColumn* Column : *FColumns)
        Wrapped = Wrapped || Column->GetWordwrap();
    if (!Wrapped)
        return;
    TDropDownItems* Items = FLumDropDown->GetItems();
    const int RowHeight = FLumDropDown->GetDropDownRowHeight();
    TCanvas* Canvas = GetCanvas();
    for (int Row = 1; Row < GetRowCount() && Row - 1 < Items->GetCount(); ++Row) {
        TDropDownItem* Item = Items->GetItem(Row - 1);
        int h = 24;
        for (int c = 0; c < FColumns->GetCount(); ++c) {
            TDropDownColumn* Column = FColumns->GetItem(c);
            if (!Column->GetWordwrap())
                continue;
            int b = 0;
            if (Column->GetColumnType() == ctImage && Item->GetImageIndex() >= 0 && FImages)
                b = FImages->GetHeight() + 6;
            const String Text = Item->Line(c);
            if (!Text.empty()) {
                Canvas->GetFont()->Assign(Column->GetFont());
                b = std::max(b, WrappedHeight(Canvas, Text, Column->GetWidth()) + 6);
            }
            h = std::max(h, b);
        }
        if (RowHeight > 0 && RowHeight < h)
            SetRowHeights(Row, h);
    }
}

TRect DOdoZedAvud::GetCellRect(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return TRect(0, 0, 0, 0);
    const TRect R = CellRect(ACol, ARow);
    return TRect(R.Left, R.Top, R.Left + GetColWidths(ACol), R.Top + GetRowHeights(ARow));
}

bool DOdoZedAvud::AllRowsVisible()
{
    return GetVisibleRowCount() + GetFixedRows() >= GetRowCount();
}

int DOdoZedAvud::GetTotalWidth()
{
    // The list is flat: no border of its own.
    int W = 0;
    for (int i = 0; i < GetColCount(); ++i)
        W += GetColWidths(i);
    if (!AllRowsVisible())
        W += GetSystemMetrics(SM_CXVSCROLL);
    return W;
}

// ---- painting ----

void DOdoZedAvud::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    (void)AState;
    TCanvas* Canvas = GetCanvas();
    TLumMultiColumnDropDown* D = FLumDropDown;
    if (D && D->OnDropDownDrawItem) {
        D->OnDropDownDrawItem(D, ACol, ARow, Canvas, ARect);
        return;
    }
    const int First = GetFixedCols(), Last = GetColCount() - 1;
    int Position = 3;
    if (First == Last)
        Position = 0;
    else if (ACol == First)
        Position = 1;
    else if (ACol == Last)
        Position = 2;
    TRect R = GetCellRect(ACol, ARow);
    if (R.Width() <= 0 || R.Height() <= 0)
        R = ARect;

    String Text = ARow < 0 ? String() : GetCells(ACol, ARow);
    int ImageIndex = -1;
    TColor CellColor;
    TAlignment Alignment = taLeftJustify;
    bool Wrap = false, Ellipsis = false;
    TDropDownColumn* Column = ACol >= 0 && ACol < FColumns->GetCount() ? FColumns->GetItem(ACol) : nullptr;
    if (Column) {
        CellColor = Column->GetColor();
        Alignment = Column->GetAlignment();
        Wrap = Column->GetWordwrap();
        Ellipsis = Column->GetEllipsis();
        Canvas->GetFont()->Assign(Column->GetFont());
        if (D && ARow >= 1 && ARow - 1 < D->GetItems()->GetCount()) {
            TDropDownItem* Item = D->GetItems()->GetItem(ARow - 1);
            if (Column->GetColumnType() == ctImage)
                ImageIndex = Item->GetImageIndex();
            if (ACol < Item->GetText()->GetCount())
                Text = Item->GetText()->GetStrings(ACol);
        }
    } else {
        CellColor = GetColor();
        Canvas->GetFont()->Assign(FHeaderFont.get());
    }
    if (D && D->OnDropDownGetItemText)
        D->OnDropDownGetItemText(D, ACol, ARow, Text);

    const bool Header = ARow < GetFixedRows();
    const bool Selected = !Header && ARow == GetRow();
    if (Header) {
        Text = Column ? Column->GetHeader() : String();
        ImageIndex = -1;
        if (FHeaderColor == clNone || FHeaderColorTo == clNone) {
            if (FHeaderColor != clNone) {
                Canvas->GetBrush()->SetStyle(bsSolid);
                Canvas->GetBrush()->SetColor(FHeaderColor);
                Canvas->FillRect(R);
            }
        } else {
            LumDropDown::DrawGradient(Canvas, FHeaderColor, FHeaderColorTo, false, R, 80);
        }
    } else if (!Selected) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(CellColor);
        Canvas->GetPen()->SetColor(CellColor);
        Canvas->GetPen()->SetWidth(1);
        Canvas->Rectangle(R);
    } else if (D) {
        D->DrawSelection(Canvas, R, Position, CellColor);
    } else {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(clActiveCaption);
        Canvas->FillRect(R);
    }

    // Grid lines.
    const TGridOptions Options = GetOptions();
    const bool Horz = Header ? Options.Contains(goFixedHorzLine) : Options.Contains(goHorzLine);
    const bool Vert = Header ? Options.Contains(goFixedVertLine) : Options.Contains(goVertLine);
    const int LineWidth = Header ? 1 : FGridLineWidth;
    if (LineWidth > 0 && (Horz || Vert)) {
        const int d = Header ? 1 : (FGridLineWidth + 1) / 2;
        Canvas->GetPen()->SetStyle(psSolid);
        Canvas->GetPen()->SetColor(Header ? FFixedLineColor : FLineColor);
        Canvas->GetPen()->SetWidth(LineWidth);
        if (Horz) {
            Canvas->MoveTo(R.Left - d + 1, R.Bottom - d);
            Canvas->LineTo(R.Right - d + 1, R.Bottom - d);
        }
        if (Vert) {
            const int x = R.Right - d + (UseRightToLeftAlignment() ? 1 : 0);
            Canvas->MoveTo(x, R.Bottom - d);
            Canvas->LineTo(x, R.Top - d);
        }
        Canvas->GetPen()->SetWidth(1);
    }

    // Content.
    TRect C = R;
    C.Inflate(-FGridLineWidth, -FGridLineWidth);
    int TextLeft = C.Left + 2;
    if (FImages && ImageIndex >= 0) {
        const int Top = FImages->GetHeight() < C.Height() ? C.Top + (C.Height() - FImages->GetHeight()) / 2 : C.Top;
        FImages->Draw(Canvas, C.Left + 2, Top, ImageIndex, true);
        TextLeft = C.Left + FImages->GetWidth() + 4;
    }
    if (Text.empty())
        return;
    if (Header)
        Canvas->GetFont()->Assign(FHeaderFont.get());
    if (Selected && D)
        Canvas->GetFont()->SetColor(D->GetSelectionTextColor());
    Canvas->GetBrush()->SetStyle(bsClear);
    TRect T(TextLeft, C.Top, C.Right, C.Bottom);
    TTextFormat Format { tfNoPrefix, tfExpandTabs };
    Format += TTextFormat { Alignment == taRightJustify ? tfRight : Alignment == taCenter ? tfCenter : tfLeft };
    if (Ellipsis)
        Format += TTextFormat { tfEndEllipsis };
    String Shown = Text;
    if (Wrap) {
        const int h = WrappedHeight(Canvas, Text, T.Width());
        if (h < T.Height())
            T.Top += (T.Height() - h) / 2;
        Canvas->TextRect(T, Shown, Format + TTextFormat { tfWordBreak, tfEditControl });
    } else {
        Canvas->TextRect(T, Shown, Format + TTextFormat { tfSingleLine, tfVerticalCenter });
    }
    Canvas->GetBrush()->SetStyle(bsSolid);
}

// ---- mouse and keys ----

void DOdoZedAvud::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTTAB;
        return;
    }
    TStringGrid::Dispatch(Message);
}

void DOdoZedAvud::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FConfirmSelection = true;
    TStringGrid::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || GetGridState() != gsSelecting)
        return;
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool PartRow = Cell.Y >= GetTopRow() + GetVisibleRowCount();
    const bool PartCol = Cell.X >= GetLeftCol() + GetVisibleColCount();
    const bool Scrolled = GetLeftCol() > GetFixedCols() && Cell.X == GetLeftCol();
    // A press that scrolled a partly shown line into view starts no drag.
    if (PartRow || PartCol || Scrolled) {
        SetGridState(gsNormal);
        if (HandleAllocated())
            KillTimer(GetHandle(), 1);
        ReleaseCapture();
    }
}

void DOdoZedAvud::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TStringGrid::MouseUp(Button, Shift, X, Y);
    const TGridCoord Cell = MouseCoord(X, Y);
    if (Cell.Y >= GetFixedRows())
        DoSelect();
}

void DOdoZedAvud::MouseMove(TShiftState Shift, int X, int Y)
{
    TStringGrid::MouseMove(Shift, X, Y);
    if (!FHoverSelect)
        return;
    const TGridCoord Cell = MouseCoord(X, Y);
    if (Cell.X >= GetFixedCols() && Cell.Y >= GetFixedRows() && Cell.X < GetColCount() && Cell.Y < GetRowCount()
        && (Cell.X != GetCol() || Cell.Y != GetRow()))
        MoveColRow(Cell.X, Cell.Y, true, true);
}

template<class F>
bool DOdoZedAvud::Wheel(F&& Step)
{
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    struct Reset {
        bool& Flag;
        ~Reset() { Flag = false; }
    } Guard { FMouseWheelSelection };
    return Step();
}

bool DOdoZedAvud::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    return Wheel([&] { return TStringGrid::DoMouseWheelDown(Shift, MousePos); });
}

bool DOdoZedAvud::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    return Wheel([&] { return TStringGrid::DoMouseWheelUp(Shift, MousePos); });
}

void DOdoZedAvud::KeyDown(WORD& Key, TShiftState Shift)
{
    FConfirmSelection = true;
    if ((Key == VK_UP || Key == VK_DOWN) && Shift.Contains(ssAlt)) {
        if (FLumDropDown && FLumDropDown->HandleAllocated())
            SendMessage(FLumDropDown->GetHandle(), WM_KEYDOWN, Key, 0);
        return;
    }
    const WORD Pressed = Key;
    TStringGrid::KeyDown(Key, Shift);
    if (Pressed == VK_RETURN)
        DoSelect();
}

} // namespace LumMultiColumnDropDown
