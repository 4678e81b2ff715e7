// The grid as a window: its window procedure with the registered messages,
// the grid timer (blinking text, hover-to-select, type-ahead reset) and the
// platform grid's selection scroll timer, the double-buffered paint, the
// size handler with proportional columns and stretching, the cursor shapes,
// the component messages, the reaction to scrolling and the placement of
// the controls that sit on cells.

#include <algorithm>
#include <cmath>
#include <map>

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/ScrollControl.h"
#include "platform/gdi/Codecs.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"
#include "richtext/LumThemeNotifier.h"

namespace {

// The platform grid's timer that scrolls while the mouse selects past an edge.
constexpr UINT_PTR PlatformScrollTimer = 1;
// The platform's control message that the proportional thumbs also follow.
constexpr UINT CM_PLATFORMLAYOUT = 0xB029;

bool IsTextKind(TEditorType Kind)
{
    return Kind == edNormal || Kind == edCapital || Kind == edLowerCase || Kind == edUpperCase
        || Kind == edValidChars;
}

bool HasBlinkTag(const String& Text)
{
    // Cheap test first: most cells hold no tag at all.
    if (Text.find(u'<') == String::npos)
        return false;
    return AnsiUpperCase(Text).find(u"<BLI") != String::npos;
}

} // namespace

// ---- cursors ----

HCURSOR TDedOzovedUrad::GridCursor(int Id)
{
    static std::map<int, HCURSOR> Loaded;
    if (auto It = Loaded.find(Id); It != Loaded.end())
        return It->second;
    HCURSOR Cursor = nullptr;
    try {
        auto Stream = TResourceStream::CreateFromID(nullptr, Id, RT_CURSOR);
        const TImage Image
            = DecodeImage(static_cast<const std::uint8_t*>(Stream->GetMemory()), std::size_t(Stream->GetSize()));
        const TImageFrame& F = Image.Frames.front();
        Cursor = CreateCursorFromPixels(F.Width, F.Height, F.Hotspot.X, F.Hotspot.Y, F.Pixels.data());
    } catch (const Exception&) {
        // A missing or unreadable cursor leaves the current one showing.
    }
    if (Cursor)
        SetCursorResource(nullptr, UINT_PTR(Id), Cursor);
    Loaded[Id] = Cursor;
    return Cursor;
}

// ---- the window procedure ----

void TDedOzovedUrad::WndProc(TMessage& Message)
{
    const UINT Msg = Message.Msg;
    if (Msg == WM_DESTROY && HandleAllocated()) {
        if (FAutoThemeAdapt && !IsDesigning())
            SharedThemeNotifier(this)->UnRegisterWindow(GetHandle());
        // The window's drop target goes with it; window creation registers
        // a new one.
        if (FOleDropTargetAssigned && FDataViews)
            FDataViews->RevokeDropTarget();
        KillTimer(GetHandle(), GridTimerId);
        if (FFocusHelper->GetEnabled())
            HideFocusWindow();
    }
    if (TBaseGrid::IsDestroying()) {
        TBaseGrid::WndProc(Message);
        return;
    }
    const int OldRow = GetRow();
    if (RegisteredMessage(Message))
        return;
    if (WheelAndPanMessage(Message))
        return;
    if (Msg == WM_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        // Reflected to the editor first; then the cell may follow its text.
        TBaseGrid::WndProc(Message);
        EditorTextChanged(reinterpret_cast<HWND>(Message.LParam));
        return;
    }

    switch (Msg) {
    case WM_CANCELMODE:
        if (FEnhRowColMoving && (GetGridState() == gsRowMoving || GetGridState() == gsColMoving)) {
            if (Screen)
                Screen->SetCursor(crDefault);
            if (MoveButton) {
                MoveButton->SetEnabled(false);
                MoveButton->SetVisible(false);
            }
            if (HandleAllocated())
                KillTimer(GetHandle(), PlatformScrollTimer);
            SetGridState(gsNormal);
        }
        break;
    case WM_PAINT:
        if (FPaintCount == 0 && FScrollProportional && FScrollType != ssMetro && !IsDesigning()) {
            UpdateVertScrollProportion();
            UpdateHorzScrollProportion();
        }
        break;
    case WM_SIZE:
    case WM_LBUTTONUP:
    case CM_PLATFORMLAYOUT:
        if (!IsDesigning()) {
            UpdateVertScrollProportion();
            UpdateHorzScrollProportion();
        }
        break;
    case WM_NCPAINT:
        TBaseGrid::WndProc(Message);
        // While an update is open the border waits for the end of the update.
        if (FUpdateCount < 1) {
            DrawNonClientBorder();
            Message.Result = 0;
        }
        return;
    default:
        break;
    }

    switch (Msg) {
    case WM_TIMER: WMTimer(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: Message.Result = 0; break; // the grid paints every pixel
    case WM_SIZE: WMSize(Message); break;
    case WM_SETCURSOR: WMSetCursor(Message); break;
    case WM_KEYDOWN: WMKeyDown(Message); break;
    case WM_CHAR: WMChar(Message); break;
    case WM_KEYUP: WMKeyUp(Message); break;
    case WM_SETFOCUS: WMSetFocus(Message); break;
    case WM_KILLFOCUS: WMKillFocus(Message); break;
    case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case WM_RBUTTONDOWN: WMRButtonDown(Message); break;
    case WM_RBUTTONUP: WMRButtonUp(Message); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); break;
    case CM_ENABLEDCHANGED:
        TBaseGrid::WndProc(Message);
        if (HandleAllocated())
            Invalidate();
        break;
    case CM_COLORCHANGED:
        TBaseGrid::WndProc(Message);
        if (FFloatingFooter->GetVisible() && FFooterPanel)
            FFooterPanel->Invalidate();
        break;
    case CM_CURSORCHANGED:
        TBaseGrid::WndProc(Message);
        if (!Invokedchange)
            FMouseSelectMode = msNormal;
        Invokedchange = false;
        break;
    case CM_STYLECHANGED:
        TBaseGrid::WndProc(Message);
        ApplyStyleColors(true);
        break;
    case CM_DIALOGCHAR:
        // Only the search panel's buttons answer accelerators.
        Message.Result = SearchPanelDialogChar(Message) ? 1 : 0;
        break;
    case CM_HINTSHOW:
        if (auto* Info = reinterpret_cast<THintInfo*>(Message.LParam))
            BuildCellHint(Info->HintStr, *Info);
        Message.Result = 0;
        break;
    default: TBaseGrid::WndProc(Message); break;
    }

    // A row the platform moved during the message (keys, mouse) reaches the
    // synchronised grid too.
    if (!TBaseGrid::IsDestroying() && GetRow() != OldRow && FSyncGrid->GetSelectionRow())
        if (TStringGrid* Other = FSyncGrid->GetGrid(); Other && GetRow() < Other->GetRowCount()) {
            if (auto* Partner = dynamic_cast<TDedOzovedUrad*>(Other))
                Partner->SetRow(GetRow());
            else
                Other->SetRow(GetRow());
        }
}

// The messages the grid registers: posted to its own window so that the
// action runs after the message that asked for it.
bool TDedOzovedUrad::RegisteredMessage(TMessage& Message)
{
    const TGridUnitRegistrations& Unit = GridUnit();
    if (Message.Msg == Unit.WM_GRIDEDITSHOW) {
        ShowInplaceEdit();
        return true;
    }
    if (Message.Msg == Unit.WM_GRIDEDITDONE) {
        if (OnEditCellDone)
            OnEditCellDone(this, int(Message.WParam), int(Message.LParam));
        if (FMouseActions->GetEditOnDblClickOnly()) {
            HideInplaceEdit();
            SetEditorMode(false);
            SetOptions(GetOptions() - TGridOptions { goEditing });
        }
        if (!GetEditorMode() && FFocusHelper->GetEnabled())
            HideFocusWindow();
        return true;
    }
    if (Message.Msg == Unit.WM_GRIDEDITINVALID) {
        ReenterInvalidEntry();
        return true;
    }
    if (Message.Msg == Unit.WM_FILTEREDITUPDATE) {
        if (OnFilterEditDone)
            OnFilterEditDone(this, FEditFilterColumn, FEditFilterCondition, FEditFilterType);
        return true;
    }
    return false;
}

void TDedOzovedUrad::DestroyWnd()
{
    TBaseGrid::DestroyWnd();
    if (!IsDesigning())
        BalloonDone();
}

// ---- timers ----

void TDedOzovedUrad::WMTimer(TMessage& Message)
{
    if (Message.WParam == GridTimerId)
        GridTimerTick();
    else
        ScrollTimerTick(Message);
}

void TDedOzovedUrad::ScrollTimerTick(TMessage& Message)
{
    const int T = GetTopRow();
    const int R = GetRow();
    if (FMouseActions->GetNoAutoRangeScroll() && GetGridState() == gsSelecting && HandleAllocated()) {
        POINT P;
        GetCursorPos(P);
        const TPoint C = ScreenToClient(TPoint(P.X, P.Y));
        int ACol = -1, ARow = -1;
        MouseToCell(C.X, C.Y, ACol, ARow);
        const int Bottom = GetClientHeight();
        // A partly shown last row, or below the rows: no range scrolling.
        const bool PastBottom = ARow < 0 ? C.Y >= Bottom
                                         : CellRect(std::max(ACol, GetLeftCol()), ARow).Bottom > Bottom
                || ARow >= GetTopRow() + GetVisibleRowCount();
        if (PastBottom)
            SetGridState(gsNormal);
    }
    bool Opened = false;
    if (GetGridState() == gsSelecting && FNavigation->GetKeepHorizScroll() && GetOptions().Contains(goRowSelect)
        && GetLeftCol() != FOldLeftCol) {
        BeginUpdate();
        Opened = true;
    }
    TBaseGrid::WndProc(Message);
    if (FMouseActions->GetNoScrollOnPartialRow()) {
        if (GetTopRow() != T)
            SetTopRow(T);
        if (GetRow() != R && R >= 0 && R < GetRowCount())
            SetRow(R);
    }
    if (Opened) {
        SetLeftCol(FOldLeftCol);
        EndUpdate();
    }
}

void TDedOzovedUrad::GridTimerTick()
{
    ++FTimerTicks;
    if (FNavigation->GetAutoGotoIncremental()) {
        // The fourth tick after the last typed character starts a new search.
        if (FSearchTics++ == 3) {
            FSearchInc.clear();
            FSearchTics = 0;
        }
    }
    if (GetHovering() && !IsDesigning() && HandleAllocated()) {
        POINT P;
        GetCursorPos(P);
        if (WindowFromPoint(P) == GetHandle()) {
            const TPoint C = ScreenToClient(TPoint(P.X, P.Y));
            int ACol = -1, ARow = -1;
            if (GetClientRect().Contains(C))
                MouseToCell(C.X, C.Y, ACol, ARow);
            if (ACol >= GetFixedCols() && ARow >= GetFixedRows() && ACol < GetColCount() && ARow < GetRowCount()) {
                if (CanFocus() && !Focused())
                    SetFocus();
                SetRow(ARow);
                SetCol(ACol);
            }
        }
    }
    if (GetEnableBlink()) {
        FBlinkOn = !FBlinkOn;
        BlinkCells();
    }
}

// Repaints the cells in view whose text holds the blink tag.
void TDedOzovedUrad::BlinkCells()
{
    const int LastRow = std::min(GetRowCount() - 1, GetTopRow() + GetVisibleRowCount());
    const int LastCol = std::min(GetColCount() - 1, GetLeftCol() + GetVisibleColCount());
    auto Visit = [this](int c, int r) {
        if (HasBlinkTag(GetCells(DisplayToRealCol(TDisplayCol(c)).Value, r)))
            RepaintCell(c, r);
    };
    for (int r = GetTopRow(); r <= LastRow; ++r)
        for (int c = GetLeftCol(); c <= LastCol; ++c)
            Visit(c, r);
    for (int r = 0; r < GetFixedRows() && r < GetRowCount(); ++r)
        for (int c = GetLeftCol(); c <= LastCol; ++c)
            Visit(c, r);
    for (int c = 0; c < GetFixedCols() && c < GetColCount(); ++c)
        for (int r = GetTopRow(); r <= LastRow; ++r)
            Visit(c, r);
}

// ---- paint ----

void TDedOzovedUrad::WMPaint(TMessage& Message)
{
    if (FUpdateCount >= 1) {
        // The invalid region waits for the repaint at the end of the update.
        Message.Result = 0;
        return;
    }
    if (!GetDoubleBuffered() || Message.WParam != 0) {
        TBaseGrid::WndProc(Message);
    } else {
        const TRect Client = GetClientRect();
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(GetHandle(), PS);
        if (DC && Client.Width() > 0 && Client.Height() > 0) {
            HDC Mem = CreateCompatibleDC(DC);
            HBITMAP Bitmap = CreateCompatibleBitmap(DC, Client.Width(), Client.Height());
            HGDIOBJ Old = SelectObject(Mem, Bitmap);
            try {
                Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Mem), reinterpret_cast<LPARAM>(Mem));
                TMessage Inner { WM_PAINT, reinterpret_cast<WPARAM>(Mem), 0, 0 };
                TBaseGrid::WndProc(Inner);
                BitBlt(DC, 0, 0, Client.Width(), Client.Height(), Mem, 0, 0, SRCCOPY);
            } catch (...) {
                // Painting never raises into the window system.
                if (Application)
                    Application->HandleException(this);
            }
            SelectObject(Mem, Old);
            DeleteObject(Bitmap);
            DeleteDC(Mem);
        }
        if (DC)
            EndPaint(GetHandle(), PS);
        Message.Result = 0;
    }
    if (!GetTabStop() && FPaintCount == 0) {
        FPaintCount = 1;
        UpdateVertScrollProportion();
    }
}

// ---- size ----

void TDedOzovedUrad::WMSize(TMessage& Message)
{
    if (FInWMSize) {
        Message.Result = 1;
        return;
    }
    const int Width = LOWORD(Message.LParam);
    LayoutSearchPanel();
    if (FOldSize > 0 && FColumnSize->GetSynchWithGrid())
        SynchColumnsWithWidth(Width);

    const bool Stretch = FColumnSize->GetStretch() && (FScrollBarAlways == saNone || FScrollBarAlways == saVert);
    if (!Stretch) {
        TBaseGrid::WndProc(Message);
        if (FScrollProportional && FScrollType != ssMetro) {
            UpdateVertScrollProportion();
            UpdateHorzScrollProportion();
        }
        if (FDisableSize)
            return;
        GridGuards::TValueGuard Guard(FDisableSize, true);
        SyncFlatVertScrollBar();
        SyncFlatHorzScrollBar();
        ShowFlatScrollBar(SB_HORZ, GetVisibleColCount() + GetFixedCols() < GetColCount());
        ShowFlatScrollBar(SB_VERT, GetVisibleRowCount() + GetFixedRows() < GetRowCount());
        if (HandleAllocated()) {
            const TScrollStyle Bars = GetScrollBars();
            if (Bars != ssHorizontal && Bars != ssBoth)
                ShowScrollBar(GetHandle(), SB_HORZ, false);
            if (Bars != ssVertical && Bars != ssBoth)
                ShowScrollBar(GetHandle(), SB_VERT, false);
        }
        return;
    }

    const bool Stretched = StretchOnSize(Width);
    if (Stretched && FScrollBarAlways == saNone && OnResize)
        OnResize(this);
    if (FFloatingFooter->GetVisible()) {
        TBaseGrid::WndProc(Message);
        return;
    }
    Message.Result = 1;
}

// The recorded widths scaled to the new width; the truncated remainders
// go to the last column, so the columns fill the width to the pixel.
void TDedOzovedUrad::SynchColumnsWithWidth(int Width)
{
    const bool NormalOnly = FColumnSize->GetSynchNormalCellsOnly();
    const int a = NormalOnly ? FixedColumnsWidth() : 0;
    const int b = GetOptions().Contains(goVertLine) ? GetColCount() - GetFixedCols() - 1 : 0;
    const int c = FBorderStyle == bsSingle ? 2 : 0;
    HideInplaceEdit();
    const double f = double(Width + c - a - b - 4) / FOldSize;
    const int First = NormalOnly ? GetFixedCols() : 0;
    const int Last = NormalOnly ? GetColCount() - FFixedRightCols - 1 : GetColCount() - 1;
    double Remainder = 0;
    for (int i = First; i <= Last && i < FOrigColSizes->Count(); ++i) {
        const double Scaled = FOrigColSizes->GetInteger(i) * f;
        const double Whole = std::trunc(Scaled);
        Remainder += Scaled - Whole;
        SetColWidths(i, std::max(0, int(Whole)));
    }
    if (Last >= First && Last >= 0 && Last < GetColCount())
        SetColWidths(Last, GetColWidths(Last) + int(std::trunc(Remainder)));
}

// The stretch column fills what the other columns leave; True when it did.
bool TDedOzovedUrad::StretchOnSize(int Width)
{
    bool Stretched = false;
    int i = FColumnSize->GetStretchColumn();
    if (i == -1 || i >= GetColCount())
        i = GetColCount() - 1;
    int Sum = 0;
    {
        GridGuards::TValueGuard Guard(FInWMSize, true);
        for (int c = 0; c < GetColCount(); ++c)
            if (c != i)
                Sum += GetColWidths(c);
        if (Sum < Width) {
            ApplyColumnStretch(FColumnSize->GetStretchColumn(), Width);
            Stretched = true;
        }
    }
    if (!HandleAllocated())
        return Stretched;
    const TScrollStyle Bars = GetScrollBars();
    if ((Bars == ssHorizontal || Bars == ssBoth) && FScrollBarAlways == saNone && i >= 0)
        ShowScrollBar(GetHandle(), SB_HORZ, Width < Sum + GetColWidths(i));
    if (Bars == ssVertical || Bars == ssBoth) {
        if (FScrollBarAlways == saNone)
            ShowScrollBar(GetHandle(), SB_VERT, GetVisibleRowCount() < GetRowCount() - GetFixedRows());
        else if (FScrollBarAlways == saVert)
            ShowScrollBar(GetHandle(), SB_VERT, true);
    }
    if (FScrollProportional && FScrollType != ssMetro) {
        UpdateVertScrollProportion();
        UpdateHorzScrollProportion();
    }
    return Stretched;
}

// ---- cursor ----

void TDedOzovedUrad::WMSetCursor(TMessage& Message)
{
    const bool Sizing = GetGridState() == gsRowSizing || GetGridState() == gsColSizing;
    if (FMouseSelectMode != msNormal && !Sizing) {
        int Id = 0;
        switch (FMouseSelectMode) {
        case msColumn: Id = 8011; break;
        case msRow: Id = 8010; break;
        case msAll:
        case msResize: Id = 8012; break;
        default: break; // a link keeps the cursor it has
        }
        if (Id != 0)
            if (HCURSOR Cursor = GridCursor(Id))
                ::SetCursor(Cursor);
        Message.Result = 1;
    } else if (FCellSelectorMode) {
        if (HCURSOR Cursor = GridCursor(8014))
            ::SetCursor(Cursor);
        Message.Result = 1;
    } else {
        TBaseGrid::WndProc(Message);
        if (OnGetCellCursor && HandleAllocated()) {
            POINT P;
            GetCursorPos(P);
            const TPoint C = ScreenToClient(TPoint(P.X, P.Y));
            int ACol = -1, ARow = -1;
            MouseToCell(C.X, C.Y, ACol, ARow);
            if (ACol >= 0 && ARow >= 0)
                DoGetCellCursor(ACol, ARow, C.X, C.Y);
        }
    }
    if (FSizeFixed || FSizingFixed) {
        ::SetCursor(LoadCursor(nullptr, UINT_PTR(IDC_SIZEWE)));
        Message.Result = 1;
    } else if (FSizeFixedR || FSizingFixedR) {
        ::SetCursor(LoadCursor(nullptr, UINT_PTR(IDC_SIZENS)));
        Message.Result = 1;
    }
}

void TDedOzovedUrad::ResetFixedCellHighlight()
{
    FSizeFixed = false;
    FSizeFixedR = false;
    FNoMouseLeave = false;
    if (GetHoverFixedCells() == hfNone || (FHoverFixedX < 0 && FHoverFixedY < 0))
        return;
    const int X = FHoverFixedX, Y = FHoverFixedY;
    FHoverFixedX = -1;
    FHoverFixedY = -1;
    RepaintCell(X, Y);
}

// ---- scrolling ----

void TDedOzovedUrad::TopLeftChanged()
{
    TBaseGrid::TopLeftChanged();
    const TGridRect Sel = GetSelection();
    if (GetSelectionRectangle() && Sel.Bottom > Sel.Top)
        Invalidate();
    const TBackGround* Back = FBackGround.get();
    const bool Picture = Back->GetBitmap() && !Back->GetBitmap()->Empty();
    const bool Gradient = (Back->GetDisplay() == bdGradientHorz || Back->GetDisplay() == bdGradientVert)
        && Back->GetColorTo() != clNone;
    if ((Picture && (Back->GetDisplay() == bdFixed || Back->GetDisplay() == bdTile)) || Gradient)
        Invalidate();
    if (GetEditorMode()) {
        TEditorType Kind = GetDefaultEditor();
        DoGetEditorType(GetRealCol(), GetRow(), Kind);
        // Only the text editors follow the scrolled cell.
        if (!IsTextKind(Kind))
            HideInplaceEdit();
    }
    SyncFlatVertScrollBar();
    SyncFlatHorzScrollBar();
    UpdateFooter();
    CellControlsUpdate(false);
    FOldLeftCol = GetLeftCol();
    FOldTopRow = GetTopRow();
    if (IsDesigning())
        Invalidate();
    if (TStringGrid* Other = FSyncGrid->GetGrid()) {
        if (FSyncGrid->GetScrollVertical() && Other->GetTopRow() != GetTopRow())
            Other->SetTopRow(std::min(GetTopRow(), Other->GetRowCount() - 1));
        if (FSyncGrid->GetScrollHorizontal() && Other->GetLeftCol() != GetLeftCol())
            Other->SetLeftCol(std::min(GetLeftCol(), Other->GetColCount() - 1));
    }
    if (FFocusHelper->GetEnabled() && GetEditorMode())
        PlaceFocusWindow();
    if (vscrlctrl)
        vscrlctrl->Invalidate();
    if (hscrlctrl)
        hscrlctrl->Invalidate();
    if (FNavigation->GetMoveRowOnScroll() && !FBlockCellChanging) {
        const bool LastRowShows = GetTopRow() + GetVisibleRowCount() >= GetRowCount();
        if ((GetRow() >= GetTopRow() || LastRowShows) && GetTopRow() != GetFixedRows())
            SetRow(std::min(GetRowCount() - 1, GetTopRow() + GetVisibleRowCount() - 1));
        else
            SetRow(GetTopRow());
    }
}

// ---- controls on cells ----

void TDedOzovedUrad::CellControlsUpdate(bool Rebuild)
{
    if (!HandleAllocated() || !ccuCall)
        return;
    if (Rebuild) {
        // Only the cells the store holds can carry properties: a grid of
        // many rows and few controls is walked by its stored slots.
        FControlList->ClearControls();
        FNumCellControls = 0;
        const int Rows = std::min(GetStoredRowCount(), GetRowCount());
        for (int r = 0; r < Rows; ++r) {
            const int Cols = std::min(GetStoredColCount(r), GetAllColCount());
            for (int c = 0; c < Cols; ++c)
                if (const TCellProperties* p = PropertiesAt(c, r); p && p->GetControl()) {
                    FControlList->AddControl(c, RealRowIndex(TDisplayRow(r)).Value, p->GetControl());
                    ++FNumCellControls;
                }
        }
    }
    if (FScrollBar && FScrollBar->GetVisible()) {
        const TRect R = CellRect(GetCol(), GetRow());
        if (R.IsEmpty())
            FScrollBar->SetHeight(0);
        else
            FScrollBar->SetBounds(R.Right - FScrollBar->GetWidth(), R.Top, FScrollBar->GetWidth(), R.Height());
    }
    for (int i = 0; i < FControlList->Count(); ++i) {
        TControlItem* Item = FControlList->GetControl(i);
        TControl* Control = Item->GetControl();
        if (!Control)
            continue;
        if (IsHiddenColumn(Item->X) || IsHiddenRow(Item->Y)) {
            Control->SetVisible(false);
            continue;
        }
        const int c = RealToDisplayCol(TRealCol(Item->X)).Value;
        const int r = RealToDisplayRow(TRealRow(Item->Y)).Value;
        // A cell holding a control answers its computed rectangle even out
        // of view.
        const TRect R = CellRect(c, r);
        const bool Fixed = c < GetFixedCols() || r < GetFixedRows();
        const bool Scrolled = (c >= GetFixedCols() && c < GetLeftCol()) || (r >= GetFixedRows() && r < GetTopRow());
        if (R.IsEmpty() || (!Fixed && Scrolled) || R.Left >= GetClientWidth() || R.Top >= GetClientHeight()) {
            Control->SetVisible(false);
            continue;
        }
        Control->SetBounds(R.Left, R.Top, R.Width() - 1, R.Height() - 1);
        Control->SetVisible(true);
        if (c >= GetFixedCols() && r >= GetFixedRows())
            Control->Invalidate();
    }
}

// Controls on cells claim arrows, Tab and characters while the grid tabs
// between cells.
void TDedOzovedUrad::HookCellControl(TControl* Control)
{
    if (!Control)
        return;
    TWndMethod Own = Control->WindowProc;
    Control->WindowProc = [Control, Own](TMessage& Message) {
        if (Own)
            Own(Message);
        else
            Control->WndProc(Message);
        if (Message.Msg == WM_GETDLGCODE)
            if (auto* Grid = dynamic_cast<TDedOzovedUrad*>(Control->GetParent());
                Grid && Grid->GetOptions().Contains(goTabs))
                Message.Result |= 0x83;
    };
}
