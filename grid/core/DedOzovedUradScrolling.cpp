// Scrolling: bringing a cell into view, the top row, the flat scroll bars
// of the common-controls library (when it offers them), scroll bars whose
// thumb follows the pixel sizes of the lines, the scroll hint, the cell
// scroll bar, scrolling while dragging over the edges and the glide of
// touch scrolling. The platform grid scrolls; this is what wraps it.

#include <cmath>
#include <cstdint>
#include <limits>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/ScrollControl.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Modules.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

namespace {

// Flat scroll-bar properties of the common-controls library.
constexpr UINT WSB_PROP_CYHSCROLL = 4;
constexpr UINT WSB_PROP_CXVSCROLL = 8;
constexpr UINT WSB_PROP_VBKGCOLOR = 0x40;
constexpr UINT WSB_PROP_HBKGCOLOR = 0x80;
constexpr UINT WSB_PROP_VSTYLE = 0x100;
constexpr UINT WSB_PROP_HSTYLE = 0x200;
constexpr std::intptr_t FSB_REGULAR_MODE = 0;
constexpr std::intptr_t FSB_ENCARTA_MODE = 1;
constexpr std::intptr_t FSB_FLAT_MODE = 2;

// Touch-scroll glide steps every 10 ms.
constexpr UINT GlideInterval = 10;

// The flat scroll-bar functions are looked up by name at every call; a
// library or function that is not there makes the call do nothing.
class TFlatScrollBars {
public:
    TFlatScrollBars() : FModule(LoadLibrary(u"comctl32.dll")) { }
    ~TFlatScrollBars()
    {
        if (FModule)
            FreeLibrary(FModule);
    }
    TFlatScrollBars(const TFlatScrollBars&) = delete;
    TFlatScrollBars& operator=(const TFlatScrollBars&) = delete;

    template<class Fn>
    Fn* Proc(const char* Name) const
    {
        return FModule ? reinterpret_cast<Fn*>(GetProcAddress(FModule, Name)) : nullptr;
    }

private:
    HMODULE FModule;
};

using TInitializeFlatSB = BOOL(HWND);
using TUninitializeFlatSB = HRESULT(HWND);
using TFlatSBSetScrollProp = BOOL(HWND, UINT, std::intptr_t, BOOL);
using TFlatSBSetScrollInfo = int(HWND, int, SCROLLINFO*, BOOL);
using TFlatSBShowScrollBar = BOOL(HWND, int, BOOL);

bool InitializeFlatSB(HWND Wnd)
{
    const TFlatScrollBars Lib;
    if (auto* Fn = Lib.Proc<TInitializeFlatSB>("InitializeFlatSB")) {
        Fn(Wnd);
        return true;
    }
    return false;
}

void UninitializeFlatSB(HWND Wnd)
{
    const TFlatScrollBars Lib;
    if (auto* Fn = Lib.Proc<TUninitializeFlatSB>("UninitializeFlatSB"))
        Fn(Wnd);
}

void FlatSBSetScrollProp(HWND Wnd, UINT Index, std::intptr_t Value)
{
    const TFlatScrollBars Lib;
    if (auto* Fn = Lib.Proc<TFlatSBSetScrollProp>("FlatSB_SetScrollProp"))
        Fn(Wnd, Index, Value, TRUE);
}

void FlatSBSetScrollInfo(HWND Wnd, int Bar, SCROLLINFO& Info)
{
    const TFlatScrollBars Lib;
    if (auto* Fn = Lib.Proc<TFlatSBSetScrollInfo>("FlatSB_SetScrollInfo"))
        Fn(Wnd, Bar, &Info, TRUE);
}

void FlatSBShowScrollBar(HWND Wnd, int Bar, bool Show)
{
    const TFlatScrollBars Lib;
    if (auto* Fn = Lib.Proc<TFlatSBShowScrollBar>("FlatSB_ShowScrollBar"))
        Fn(Wnd, Bar, Show ? TRUE : FALSE);
}

bool HasVert(TScrollStyle Bars) { return Bars == ssVertical || Bars == ssBoth; }
bool HasHorz(TScrollStyle Bars) { return Bars == ssHorizontal || Bars == ssBoth; }

// Truncation that a NaN or an out-of-range value cannot turn undefined.
int TruncSafe(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(v);
}

} // namespace

// ---- bringing cells into view ----

void TDedOzovedUrad::ScrollInView(int ColIndex, int RowIndex, TScrollPosition Position)
{
    if (ColIndex >= GetColCount() || RowIndex >= GetRowCount() || ColIndex < 0 || RowIndex < 0)
        return;
    int NewLeft = GetLeftCol(), NewTop = GetTopRow();
    const int VisCols = GetVisibleColCount(), VisRows = GetVisibleRowCount();
    if (ColIndex < GetLeftCol() || ColIndex > GetLeftCol() + VisCols - 1) {
        if (IsSelectionHidden())
            UnHideSelection();
        if (ColIndex >= GetFixedCols() && ColIndex < GetAllColCount())
            SetCol(ColIndex);
        switch (Position) {
        case spMiddle: NewLeft = ColIndex - VisCols / 2; break;
        case spTrailing: NewLeft = ColIndex + 1 - VisCols; break;
        case spLeading: NewLeft = ColIndex; break;
        }
        NewLeft = std::max(NewLeft, GetFixedCols());
    }
    if (RowIndex < GetTopRow() || RowIndex > GetTopRow() + VisRows - 1) {
        if (RowIndex >= GetFixedRows() && RowIndex < GetAllRowCount())
            TBaseGrid::SetRow(RowIndex);
        switch (Position) {
        case spMiddle: NewTop = RowIndex - VisRows / 2; break;
        case spTrailing: NewTop = RowIndex - VisRows + 1; break;
        case spLeading: NewTop = RowIndex; break;
        }
        NewTop = std::max(NewTop, GetFixedRows());
    }
    NewLeft = std::min(NewLeft, GetColCount() + 1 - VisCols);
    if (GetFixedCols() + VisCols < GetColCount())
        SetLeftCol(std::max(NewLeft, GetFixedCols()));
    NewTop = std::max(std::min(NewTop, GetRowCount() + 1 - VisRows), GetFixedRows());
    if (GetFixedRows() + VisRows >= GetRowCount())
        return;
    if (!FSearchFooter->GetVisible() || FFloatingFooter->GetVisible()) {
        SetTopRow(NewTop);
        return;
    }
    // The search bar covers the bottom: the row moves up until it shows.
    SetTopRow(NewTop - 1);
    while (CellRect(0, RowIndex).Bottom > GetClientHeight()
        && GetTopRow() < GetRowCount() - GetFixedRows() - FFixedFooters) {
        const int Before = GetTopRow();
        SetTopRow(Before + 1);
        if (GetTopRow() == Before)
            break;
    }
}

void TDedOzovedUrad::SetTopRow(int Value)
{
    if (Value >= GetFixedRows() && Value <= GetRowCount() - 1)
        TBaseGrid::SetTopRow(Value);
}

// ---- scroll settings ----

void TDedOzovedUrad::SetScrollType(TScrollType Value)
{
    if (FScrollType == Value)
        return;
    FScrollType = Value;
    if (HandleAllocated()) {
        if (Value == ssFlat || Value == ssEncarta) {
            FIsFlat = InitializeFlatSB(GetHandle());
            ApplyFlatStyles();
            const bool RowsScroll = GetVisibleRowCount() + GetFixedRows() < GetRowCount();
            const bool ColsScroll = GetVisibleColCount() + GetFixedCols() < GetColCount();
            ShowFlatScrollBar(SB_VERT, RowsScroll);
            ShowFlatScrollBar(SB_HORZ, ColsScroll);
            SyncFlatVertScrollBar();
            SyncFlatHorzScrollBar();
        } else {
            const bool Was = FIsFlat;
            FIsFlat = false;
            if (Was)
                UninitializeFlatSB(GetHandle());
        }
        if (Value == ssMetro) {
            CreateMetroScrollControls();
            SetScrollBars(ssNone);
        } else {
            FreeMetroScrollControls();
            SetScrollBars(ssBoth);
        }
    }
    ApplyFlatStyles();
}

void TDedOzovedUrad::InitFlatScrollBars()
{
    if (!HandleAllocated() || (FScrollType != ssFlat && FScrollType != ssEncarta))
        return;
    FIsFlat = InitializeFlatSB(GetHandle());
    ApplyFlatStyles();
}

void TDedOzovedUrad::ApplyFlatStyles()
{
    if (!FIsFlat || !HandleAllocated())
        return;
    const HWND Wnd = GetHandle();
    if (FScrollType != ssMetro) {
        const std::intptr_t Mode = FScrollType == ssFlat ? FSB_FLAT_MODE
            : FScrollType == ssEncarta             ? FSB_ENCARTA_MODE
                                                   : FSB_REGULAR_MODE;
        FlatSBSetScrollProp(Wnd, WSB_PROP_VSTYLE, Mode);
        FlatSBSetScrollProp(Wnd, WSB_PROP_HSTYLE, Mode);
    }
    if (FScrollColor != clNone) {
        FlatSBSetScrollProp(Wnd, WSB_PROP_VBKGCOLOR, std::intptr_t(FScrollColor));
        FlatSBSetScrollProp(Wnd, WSB_PROP_HBKGCOLOR, std::intptr_t(FScrollColor));
    }
    FlatSBSetScrollProp(Wnd, WSB_PROP_CXVSCROLL, FScrollWidth);
    FlatSBSetScrollProp(Wnd, WSB_PROP_CYHSCROLL, FScrollWidth);
}

void TDedOzovedUrad::SetScrollColor(TColor Value)
{
    FScrollColor = Value;
    ApplyFlatStyles();
}

void TDedOzovedUrad::SetScrollWidth(int Value)
{
    FScrollWidth = Value;
    ApplyFlatStyles();
}

void TDedOzovedUrad::SetScrollProportional(bool Value)
{
    FScrollProportional = Value;
    if (Value) {
        UpdateVertScrollProportion();
        UpdateHorzScrollProportion();
        return;
    }
    if (FIsFlat && FScrollType == ssNormal && HandleAllocated()) {
        FIsFlat = false;
        UninitializeFlatSB(GetHandle());
    }
    if (HandleAllocated()) {
        SCROLLINFO Info;
        Info.fMask = SIF_PAGE;
        Info.nPage = 0;
        SetScrollInfo(GetHandle(), SB_VERT, Info, true);
        SetScrollInfo(GetHandle(), SB_HORZ, Info, true);
    }
}

void TDedOzovedUrad::SetScrollHints(TScrollHintType Value)
{
    FScrollHints = Value;
    if (Value != shNone && !FScrollHintWnd && HandleAllocated())
        FScrollHintWnd = new THTMLHintWindow(this);
}

void TDedOzovedUrad::SyncFlatVertScrollBar()
{
    if (!FIsFlat || !HasVert(GetScrollBars()) || !HandleAllocated())
        return;
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    GetScrollInfo(GetHandle(), SB_VERT, Info);
    FlatSBSetScrollInfo(GetHandle(), SB_VERT, Info);
}

void TDedOzovedUrad::SyncFlatHorzScrollBar()
{
    if (!FIsFlat || !HasHorz(GetScrollBars()) || !HandleAllocated())
        return;
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    GetScrollInfo(GetHandle(), SB_HORZ, Info);
    FlatSBSetScrollInfo(GetHandle(), SB_HORZ, Info);
}

void TDedOzovedUrad::ShowFlatScrollBar(int Bar, bool Show)
{
    if (!FIsFlat || !HandleAllocated())
        return;
    if ((Bar == SB_VERT && HasVert(GetScrollBars())) || (Bar == SB_HORZ && HasHorz(GetScrollBars())))
        FlatSBShowScrollBar(GetHandle(), Bar, Show);
}

// ---- proportional thumbs ----

// The sum of (line width + size) over lines First .. Last - 1.
namespace {
template<class Size>
double LineSum(int First, int Last, int LW, Size SizeOf)
{
    double Sum = 0;
    for (int i = First; i < Last; ++i)
        Sum += LW + SizeOf(i);
    return Sum;
}
} // namespace

void TDedOzovedUrad::UpdateHorzScrollProportion()
{
    if (HandleAllocated() && FSearchFooter->GetVisible())
        LayoutSearchPanel();
    if (IsLoading() || IsDesigning() || !HandleAllocated())
        return;
    if (!HasHorz(GetScrollBars()) || !FScrollProportional || FScrollType == ssMetro || FScrollLock)
        return;
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    GetScrollInfo(GetHandle(), SB_HORZ, Info);
    const int LW = GetGridLineWidth();
    double Avail = GetWidth();
    if (GetVisibleRowCount() + GetFixedRows() < GetRowCount())
        Avail -= GetSystemMetrics(SM_CXVSCROLL);
    auto Width = [this](int c) { return GetColWidths(c); };
    const double Fixed = LW + LineSum(0, GetFixedCols(), LW, Width);
    const double Total = LW + LineSum(GetFixedCols(), GetColCount(), LW, Width);
    const double Before = LW + LineSum(GetFixedCols(), GetLeftCol(), LW, Width);
    if (Total <= 0)
        return;
    const float E = float((Avail - Fixed) / Total);
    if (E >= 0.99999f)
        return;
    const double F = (double(E) + 127) / (1 - double(E));
    const double Pos = Avail < Total ? Before / (Total - Avail) * 128 : double(Info.nPos);
    if (Fixed + Total - Avail < 0)
        return;
    const int nMax = TruncSafe(F);
    const int nPage = nMax - 126;
    if (nPage >= 10000)
        return;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = nMax;
    Info.nPage = UINT(std::max(0, nPage));
    Info.nPos = TruncSafe(Pos);
    SetScrollInfo(GetHandle(), SB_HORZ, Info, true);
    SyncFlatHorzScrollBar();
}

void TDedOzovedUrad::UpdateVertScrollProportion()
{
    if (IsLoading() || IsDesigning() || !HandleAllocated())
        return;
    if (!HasVert(GetScrollBars()) || !FScrollProportional || FScrollType == ssMetro || FScrollLock)
        return;
    if (GetVisibleRowCount() + GetFixedRows() >= GetRowCount())
        return;
    SCROLLINFO Info;
    Info.fMask = SIF_ALL;
    GetScrollInfo(GetHandle(), SB_VERT, Info);
    const int LW = GetGridLineWidth();
    double Avail = GetHeight();
    if (GetVisibleColCount() < GetColCount())
        Avail -= GetSystemMetrics(SM_CYHSCROLL);
    // The row sums come from the platform's prefix sums of the row
    // extents, so a long grid costs no walk over its rows.
    const int PlatformLW = TCustomGrid::GetGridLineWidth();
    auto Extent = [&](int a, int b) {
        return double(m_rows.Start(b) - m_rows.Start(a)) + double(b - a) * (LW - PlatformLW);
    };
    const double Fixed = LW + Extent(0, GetFixedRows());
    const double Total = LW + Extent(GetFixedRows(), GetRowCount());
    const double Before = LW + Extent(GetFixedRows(), GetTopRow());
    if (Total <= 0)
        return;
    const float E = float((Avail - Fixed) / Total);
    if (E >= 0.9999f)
        return;
    const double F = (double(E) + 127) / (1 - double(E));
    const double Pos = Avail < Total ? Before / (Total - Avail) * 128 : 127;
    const int nMax = TruncSafe(F);
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = nMax;
    Info.nPage = UINT(std::max(0, nMax - 126));
    Info.nPos = TruncSafe(Pos);
    SetScrollInfo(GetHandle(), SB_VERT, Info, true);
    SyncFlatVertScrollBar();
}

// ---- scroll messages ----

void TDedOzovedUrad::Dispatch(TMessage& Message)
{
    if (GridLookMessage(Message))
        return;
    switch (Message.Msg) {
    case WM_VSCROLL:
        if (FScrollBar && Message.LParam != 0 && FScrollBar->HandleAllocated()
            && reinterpret_cast<HWND>(Message.LParam) == FScrollBar->GetHandle()) {
            if (IsDesigning())
                TBaseGrid::Dispatch(Message);
            else
                CellScrollBarScroll(Message);
            return;
        }
        WMScroll(Message, true);
        return;
    case WM_HSCROLL:
        WMScroll(Message, false);
        return;
    case WM_GETDLGCODE:
        WMGetDlgCode(Message);
        return;
    default:
        TBaseGrid::Dispatch(Message);
    }
}

void TDedOzovedUrad::ShowScrollHint(bool Vertical, int Pos)
{
    const int N = Vertical
        ? MulDiv(Pos, GetRowCount() - GetVisibleRowCount() - GetFixedRows(), 127) + GetFixedRows()
        : MulDiv(Pos, GetColCount() - GetVisibleColCount() - GetFixedCols(), 127) + GetFixedCols();
    String Hint = (Vertical ? u"Row : " : u"Col : ") + IntToStr(N);
    if (OnScrollHint)
        OnScrollHint(this, N, Hint);
    TRect R = FScrollHintWnd->CalcHintRect(100, Hint, nullptr);
    FScrollHintWnd->SetColor(GetHintColor());
    POINT Cursor;
    GetCursorPos(Cursor);
    R.Offset(Cursor.X + 10, Cursor.Y);
    FScrollHintWnd->ActivateHint(R, Hint);
    FScrollHintShow = true;
}

void TDedOzovedUrad::WMScroll(TMessage& Message, bool Vertical)
{
    const WORD Code = LOWORD(Message.WParam);
    int Pos = std::int16_t(HIWORD(Message.WParam));
    const bool Hints = Vertical ? (FScrollHints == shVertical || FScrollHints == shBoth)
                                : (FScrollHints == shHorizontal || FScrollHints == shBoth);
    if (Hints && FScrollHintWnd) {
        if (Code == SB_ENDSCROLL) {
            FScrollHintWnd->ReleaseHandle();
            FScrollHintShow = false;
        } else if (Code == SB_THUMBTRACK) {
            ShowScrollHint(Vertical, Pos);
        }
    }
    if (FNavigation->GetAlwaysEdit() && GetEditorMode())
        HideInplaceEdit();
    if (!Vertical && Code == SB_THUMBPOSITION && FIsFlat && GetColCount() > 0) {
        // Flat bars report positions in a range shortened by the page.
        const int P = int(RoundHalfEven(GetVisibleColCount() * 128.0 / GetColCount()));
        if (P != 128)
            Pos = int(RoundHalfEven(Pos * 127.0 / (128 - P)));
    }
    int Target = Vertical ? GetTopRow() : GetLeftCol();
    if (FScrollSynch && Code == SB_THUMBTRACK) {
        if (Vertical) {
            Target = MulDiv(Pos, GetRowCount() - GetVisibleRowCount() - GetFixedRows(), 127) + GetFixedRows();
            SetTopRow(std::max(Target, GetFixedRows()));
        } else if (!(FUseStyleServices && UsesStyledDrawing())) {
            Target = MulDiv(Pos, GetColCount() - GetVisibleColCount() - GetFixedCols(), 127) + GetFixedCols();
            SetLeftCol(std::max(Target, GetFixedCols()));
        }
    }
    if (!Vertical && GetFixedCols() == 0 && Target >= GetCol())
        HideInplaceEdit();
    const TBackGround* Back = FBackGround.get();
    const bool FixedPicture = Back->GetDisplay() == bdFixed && Back->GetBitmap() && !Back->GetBitmap()->Empty();
    const TPoint OldTopLeft(GetLeftCol(), GetTopRow());
    // The platform scrolls; it knows the position as the message carries it.
    Message.WParam = MAKEWPARAM(Code, WORD(std::int16_t(Pos)));
    TBaseGrid::Dispatch(Message);
    if (FixedPicture && Code != SB_THUMBTRACK && OldTopLeft != TPoint(GetLeftCol(), GetTopRow()))
        Invalidate();
    if (!Vertical && Code == SB_ENDSCROLL) {
        if ((UseRightToLeftAlignment() && GetMergeCount() > 0) || GetColCount() == 1)
            Invalidate();
    }
    SyncFlatVertScrollBar();
    SyncFlatHorzScrollBar();
    if (CellHasCheckBox(GetRealCol(), GetRow()) && GetEditorMode())
        SetEditorMode(false);
    if (!Vertical)
        UpdateFooter();
}

// The scroll bar shown over a scroll-bar cell moves the cell's value.
void TDedOzovedUrad::CellScrollBarScroll(TMessage& Message)
{
    const WORD Code = LOWORD(Message.WParam);
    FLastScrollCode = Code;
    FScrollBar->Perform(Message.Msg, Message.WParam, Message.LParam);
    const int Old = FScrollBar->GetPosition();
    int New = Old;
    switch (Code) {
    case SB_LINEUP: New = std::max(FScrollBar->GetMin(), Old - 10); break;
    case SB_LINEDOWN: New = std::min(FScrollBar->GetMax(), Old + 10); break;
    case SB_PAGEUP: New = Old - 100; break;
    case SB_PAGEDOWN: New = Old + 100; break;
    case SB_THUMBTRACK: New = std::int16_t(HIWORD(Message.WParam)); break;
    default: break;
    }
    FScrollBar->SetPosition(New);
    if (FScrollBar->GetPosition() == Old)
        return;
    Message.Result = 1;
    SetScrollPosition(FScrollCol, FScrollRow, FScrollBar->GetPosition());
    RepaintCell(DisplColIndex(TRealCol(FScrollCol)).Value, FScrollRow);
    if (OnScrollCell)
        OnScrollCell(this, FScrollCol, FScrollRow, FScrollBar->GetPosition(), FScrollBar->GetMin(),
            FScrollBar->GetMax());
}

// ---- drag scrolling ----

void TDedOzovedUrad::StopDragTimer()
{
    delete FDragTmr;
    FDragTmr = nullptr;
}

void TDedOzovedUrad::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (!FDragScrollOptions->GetActive()) {
        StopDragTimer();
    } else {
        const bool WasEmpty = FDragScrollDirection.Empty();
        FDragScrollDirection.Clear();
        if (State == dsDragLeave) {
            StopDragTimer();
        } else {
            const TDragScrollMargins* M = FDragScrollOptions->GetMargins();
            if (Y < M->GetTopMargin())
                FDragScrollDirection.Include(dsdUp);
            else if (Y > GetHeight() - M->GetBottomMargin())
                FDragScrollDirection.Include(dsdDown);
            if (X < M->GetLeftMargin())
                FDragScrollDirection.Include(dsdLeft);
            else if (X > GetWidth() - M->GetRightMargin())
                FDragScrollDirection.Include(dsdRight);
            const UINT Initial = UINT(std::max(0, FDragScrollOptions->GetDelays()->GetInitialDelay()));
            if (FDragScrollDirection.Empty()) {
                StopDragTimer();
            } else if (!FDragTmr) {
                FDragTmr = new TTimer(this);
                FDragTmr->SetEnabled(false);
                FDragTmr->SetInterval(Initial);
                FDragTmr->OnTimer = [this](TObject*) { DragScrollTick(); };
                FDragTmr->SetEnabled(true);
            } else if (!WasEmpty) {
                FDragTmr->SetInterval(Initial);
            }
        }
    }
    TBaseGrid::DragOver(Source, X, Y, State, Accept);
}

void TDedOzovedUrad::DragScrollTick()
{
    if (!FDragTmr)
        return;
    if (!FDragScrollOptions->GetActive()) {
        // The timer goes with the next drag notice; from inside its own
        // tick it only stops.
        FDragTmr->SetEnabled(false);
        return;
    }
    FDragTmr->SetInterval(UINT(std::max(0, FDragScrollOptions->GetDelays()->GetRepeatDelay())));
    if (OnDragScroll) {
        bool CanScroll = true;
        OnDragScroll(this, GetTopRow(), GetLeftCol(), FDragScrollDirection, CanScroll);
        if (!CanScroll)
            return;
    }
    if (FDragScrollDirection.Contains(dsdUp) && GetTopRow() > GetFixedRows())
        SetTopRow(GetTopRow() - 1);
    if (FDragScrollDirection.Contains(dsdDown) && GetTopRow() + GetVisibleRowCount() < GetRowCount())
        SetTopRow(GetTopRow() + 1);
    if (FDragScrollDirection.Contains(dsdLeft) && GetLeftCol() > GetFixedCols())
        SetLeftCol(GetLeftCol() - 1);
    if (FDragScrollDirection.Contains(dsdRight) && GetVisibleColCount() + GetLeftCol() < GetColCount())
        SetLeftCol(GetLeftCol() + 1);
}

// ---- touch-scroll glide ----

void TDedOzovedUrad::StartScrollGlide(int Delta, int Steps, bool Vertical)
{
    FScrollDelta = Delta;
    FScrollSteps = std::max(0, Steps);
    FScrollVert = Vertical;
    FScrollEnd = FScrollSteps == 0;
    if (!FScrollTimer) {
        FScrollTimer = new TTimer(this);
        FScrollTimer->SetEnabled(false);
        FScrollTimer->SetInterval(GlideInterval);
        FScrollTimer->OnTimer = [this](TObject*) { ScrollGlideTick(); };
    }
    FScrollTimer->SetEnabled(FScrollSteps > 0);
}

void TDedOzovedUrad::ScrollGlideTick()
{
    if (FScrollSteps == 0)
        return;
    if (FScrollVert)
        SetTopRow(std::max(GetFixedRows(), GetTopRow() + FScrollDelta));
    else
        SetLeftCol(std::max(GetFixedCols(), GetLeftCol() + FScrollDelta));
    --FScrollSteps;
    FScrollEnd = false;
    if (FScrollTimer)
        FScrollTimer->SetEnabled(FScrollSteps > 0);
}

// ---- count changes ----

void TDedOzovedUrad::SizeChanged(int OldColCount, int OldRowCount)
{
    if (!GetParent() || IsLoading() || GetComponentState().Contains(csReading))
        return;
    if (Application && Application->GetTerminated())
        return;
    if (HandleAllocated() && FColumnSize->GetStretch())
        ApplyColumnStretch(FColumnSize->GetStretchColumn(), -1);
    TBaseGrid::SizeChanged(OldColCount, OldRowCount);
    if (!HandleAllocated())
        return;
    ShowFlatScrollBar(SB_VERT, GetVisibleRowCount() + GetFixedRows() < GetRowCount());
    SyncFlatVertScrollBar();
    ShowFlatScrollBar(SB_HORZ, GetVisibleColCount() + GetFixedCols() < GetColCount());
    SyncFlatHorzScrollBar();
}
