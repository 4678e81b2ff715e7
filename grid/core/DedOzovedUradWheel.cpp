// The mouse wheel and middle-button panning. The window procedure hands
// wheel turns, the pan timer and the presses and keys that end panning to
// WheelAndPanMessage before anything else sees them; the platform's wheel
// hooks run when a turn is left to the platform.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

namespace {

constexpr int PanDeadZone = 5;

// Pan cursors by vertical (rows) and horizontal (columns) direction, -1,
// 0 or +1 each.
int PanCursorFor(int V, int H)
{
    static constexpr int Table[3][3] = {
        { 8006, 8004, 8005 },
        { 8002, 8000, 8003 },
        { 8008, 8001, 8007 },
    };
    return Table[V + 1][H + 1];
}

bool SameRect(const TGridRect& A, const TGridRect& B)
{
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

// Sets a flag for the time of a scope and puts its value back on every way
// out.
struct TMoveRowOnScrollOff {
    TNavigation& Navigation;
    bool Old;
    explicit TMoveRowOnScrollOff(TNavigation& N) : Navigation(N), Old(N.GetMoveRowOnScroll())
    {
        Navigation.SetMoveRowOnScroll(false);
    }
    ~TMoveRowOnScrollOff() { Navigation.SetMoveRowOnScroll(Old); }
    TMoveRowOnScrollOff(const TMoveRowOnScrollOff&) = delete;
    TMoveRowOnScrollOff& operator=(const TMoveRowOnScrollOff&) = delete;
};

} // namespace

bool TDedOzovedUrad::WheelAndPanMessage(TMessage& Message)
{
    const UINT Msg = Message.Msg;
    if (Msg == WM_DESTROY && FPanning) {
        FPanning = false;
        if (GetCapture() == GetHandle())
            ReleaseCapture();
        return false;
    }
    // A quick second press comes as a double click: it counts as a press.
    const bool MiddlePress = Msg == WM_MBUTTONDOWN || Msg == WM_MBUTTONDBLCLK;
    if (FPanning && (MiddlePress || Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDOWN
                        || Msg == WM_RBUTTONDBLCLK || Msg == WM_KEYDOWN)) {
        EndPanning();
        // A middle press that ends panning starts nothing else.
        if (MiddlePress) {
            Message.Result = 0;
            return true;
        }
        return false;
    }
    if (Msg == WM_TIMER && Message.WParam == PanTimerId) {
        if (FPanning)
            PanStep();
        Message.Result = 0;
        return true;
    }
    if (MiddlePress && FWheelMsg != 0 && !FPanning && GetIntelliPan() != ipNone
        && GetFixedRows() < GetRowCount() && HandleAllocated()) {
        StartPanning(TPoint(std::int16_t(LOWORD(Message.LParam)), std::int16_t(HIWORD(Message.LParam))));
        Message.Result = 0;
        return true;
    }
    if (FWheelMsg != 0 && Msg == FWheelMsg && !FPanning && !IsDesigning()) {
        WheelTurn(Message);
        return true;
    }
    return false;
}

void TDedOzovedUrad::WheelTurn(TMessage& Message)
{
    Message.Result = 0;
    const int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    const TPoint ScreenPos(std::int16_t(LOWORD(Message.LParam)), std::int16_t(HIWORD(Message.LParam)));

    if (FScrollBar && FScrollBar->GetVisible())
        FScrollBar->SetVisible(false);

    if (FMouseActions->GetWheelActive() == waMouseOver) {
        const TPoint P = ScreenToClient(ScreenPos);
        if (P.X < 0 || P.Y < 0 || P.X >= GetClientWidth() || P.Y >= GetClientHeight())
            return;
    }

    if (GetParent() && !Focused()) {
        if (GetParent()->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam) != 0)
            return;
    }

    const bool Ctrl = (GET_KEYSTATE_WPARAM(Message.WParam) & MK_CONTROL) != 0 || (GetKeyState(VK_CONTROL) < 0);
    if (Ctrl && GetIntelliZoom()) {
        Zoom(Delta < 0 ? -FWheelScrollLines : FWheelScrollLines);
        DoIntelliZoom();
        return;
    }

    if (!GetEnableWheel()) {
        TBaseGrid::WndProc(Message);
        return;
    }

    if (FFixedRowAlways && GetRowCount() == 1)
        return;

    bool Handled = false;
    const TShiftState Shift = KeysToShiftState(GET_KEYSTATE_WPARAM(Message.WParam));
    if (Delta < 0) {
        if (OnMouseWheelDown)
            OnMouseWheelDown(this, Shift, ScreenPos, Handled);
    } else if (OnMouseWheelUp)
        OnMouseWheelUp(this, Shift, ScreenPos, Handled);
    if (Handled) {
        Message.Result = 1;
        return;
    }

    const TGridRect OldSelection = GetSelection();
    int Moved = 0;
    {
        TMoveRowOnScrollOff NoMoveRow(*FNavigation);
        // 9. A spin editor or a linked editor control would take the turn
        // for its own value: the grid takes the focus, which ends the edit.
        const bool SpinKind = EditControl == edSpinEdit || EditControl == edFloatSpinEdit
            || EditControl == edTimeSpinEdit || EditControl == edDateSpinEdit;
        if (EditMode && (EditControl == edCustom || SpinKind) && CanFocus())
            SetFocus();
        int q = GetRow();
        int n = FMouseActions->GetWheelIncrement();
        if (n < 1)
            n = FWheelScrollLines;
        if (n < 1)
            n = 1;
        const bool Down = Delta < 0;
        const int FixedRows = GetFixedRows();

        if (FMouseActions->GetWheelAction() == waScroll) {
            const int Top = GetTopRow();
            if (Down) {
                if (Top < GetRowCount() - GetVisibleRowCount() && Top + n >= FixedRows)
                    SetTopRow(std::min(Top + n, std::max(FixedRows, GetRowCount() - GetVisibleRowCount())));
            } else {
                if (Top - n < FixedRows)
                    n = Top - FixedRows;
                if (Top > FixedRows && Top - n >= FixedRows)
                    SetTopRow(Top - n);
            }
        } else if (Down) {
            q = GetRow() + n;
            while (q < GetRowCount() && IsSuppressedRow(q))
                ++q;
        } else {
            q = GetRow() - n;
            while (q > FixedRows && q < GetRowCount() && IsSuppressedRow(q))
                --q;
        }

        q = std::clamp(q, FixedRows, std::max(FixedRows, GetRowCount() - FFixedFooters - 1));
        if (GetCol() >= GetColCount() && GetRow() >= GetRowCount())
            FocusCell(GetColCount() - 1, GetRowCount() - 1);
        const int ClampedCol = std::clamp(GetCol(), GetFixedCols(), std::max(GetFixedCols(), GetColCount() - 1));
        if (ClampedCol != GetCol() && ClampedCol < GetColCount())
            SetCol(ClampedCol);

        if (q >= 0 && q < GetRowCount())
            Moved = WheelMoveFocus(q, Down);
    }

    Handled = true;
    WheelMoved(Moved, Handled);
    if (Handled) {
        Message.Result = 1;
        // Styled scroll bars hear the turn too; with a wheel increment the
        // focus row stays where the turn put it.
        if (FUseScrollStyles) {
            const int q = GetRow();
            TBaseGrid::WndProc(Message);
            if (FMouseActions->GetWheelIncrement() > 0) {
                if (FMouseActions->GetDisjunctRowSelect())
                    ClearRowSelect();
                SetRow(q);
            }
        }
    } else {
        TBaseGrid::WndProc(Message);
    }

    if (!SameRect(OldSelection, GetSelection())) {
        const TGridRect S = GetSelection();
        SelectionChanged(S.Left, S.Top, S.Right, S.Bottom);
    }
    // 15. Scrolled to the end with the search footer showing.
    if (FSearchFooter->GetVisible() && GetTopRow() == GetRowCount() - GetVisibleRowCount())
        UpdateSearchFooter();
}

// Moves the focus row to q for one wheel turn inside an update bracket and
// answers by how many rows it moved.
int TDedOzovedUrad::WheelMoveFocus(int q, bool Down)
{
    const int X = GetLeftCol();
    const bool KeepHoriz = GetOptions().Contains(goRowSelect) && FNavigation->GetKeepHorizScroll();
    const int OuterCount = FUpdateCount;
    if (KeepHoriz)
        BeginUpdate();
    else
        StartUpdate();
    struct TClose {
        TDedOzovedUrad& Grid;
        bool KeepHoriz;
        int X, OuterCount;
        ~TClose()
        {
            if (KeepHoriz) {
                Grid.SetLeftCol(X);
                Grid.EndUpdate();
            } else
                Grid.FUpdateCount = OuterCount;
        }
    } Close { *this, KeepHoriz, X, OuterCount };

    const int Moved = q - GetRow();
    const bool MoveSelection = FMouseActions->GetWheelAction() == waMoveSelection;
    if (FMouseActions->GetDisjunctRowSelect() && MoveSelection && Moved != 0)
        ClearRowSelect();
    if (MoveSelection) {
        SetRow(q);
        // A row that refuses the focus: go on past it by the shortfall.
        for (int Guard = GetRowCount(); GetRow() != q && Guard > 0; --Guard) {
            q += q - GetRow();
            if (Down ? q >= GetRowCount() : q < GetFixedRows())
                break;
            SetRow(q);
        }
    }
    if (GetRow() != q) {
        const int Half = GetRow() + int(RoundHalfEven(double(q - GetRow()) / 2.0));
        if (Half >= GetFixedRows() && Half < GetRowCount())
            SetRow(Half);
        if (Down) {
            if (GetTopRow() + GetVisibleRowCount() < GetRowCount())
                SetTopRow(GetTopRow() + 1);
        } else if (GetTopRow() > GetFixedRows())
            SetTopRow(GetTopRow() - 1);
    }
    return Moved;
}

void TDedOzovedUrad::WheelMoved(int /*Delta*/, bool& Handled)
{
    Handled = true;
}

bool TDedOzovedUrad::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    return WheelHook(true, Shift, MousePos);
}

bool TDedOzovedUrad::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    return WheelHook(false, Shift, MousePos);
}

bool TDedOzovedUrad::WheelHook(bool Down, TShiftState Shift, TPoint MousePos)
{
    if (FilterListShowing())
        return false;
    if (FMouseActions->GetWheelAction() == waScroll || !GetEnableWheel()) {
        bool Handled = false;
        if (Down ? bool(OnMouseWheelDown) : bool(OnMouseWheelUp))
            (Down ? OnMouseWheelDown : OnMouseWheelUp)(this, Shift, MousePos, Handled);
        return Handled;
    }
    if (!Down && (GetRow() >= GetRowCount() || GetCol() >= GetColCount()))
        return true;
    const bool OldDirectEdit = FMouseActions->GetDirectEdit();
    FMouseActions->SetDirectEdit(false);
    struct TRestore {
        TMouseActions& Actions;
        bool Old;
        ~TRestore() { Actions.SetDirectEdit(Old); }
    } Restore { *FMouseActions, OldDirectEdit };

    if (GetOptions().Contains(goRowSelect) && FNavigation->GetKeepHorizScroll()) {
        const int X = GetLeftCol();
        const int OuterCount = FUpdateCount;
        StartUpdate();
        struct TClose {
            TDedOzovedUrad& Grid;
            int X, OuterCount;
            ~TClose()
            {
                Grid.SetLeftCol(X);
                Grid.FUpdateCount = OuterCount;
            }
        } Close { *this, X, OuterCount };
        return Down ? TBaseGrid::DoMouseWheelDown(Shift, MousePos) : TBaseGrid::DoMouseWheelUp(Shift, MousePos);
    }
    const bool WasEditing = GetEditorMode() || EditMode;
    // A spin editor shown on the old row would keep the turn's value.
    if (FEditSpin && FEditSpin->GetVisible())
        FEditSpin->SetVisible(false);
    const bool Result = Down ? TBaseGrid::DoMouseWheelDown(Shift, MousePos) : TBaseGrid::DoMouseWheelUp(Shift, MousePos);
    if (WasEditing && CanFocus())
        SetFocus();
    return Result;
}

// ---- middle-button panning ----

void TDedOzovedUrad::StartPanning(TPoint ClientPos)
{
    FICursor = GridCursor(8000);
    FPrevCursor = ::SetCursor(FICursor);
    FPanCursorId = 8000;
    FPanning = true;
    SetTimer(GetHandle(), PanTimerId, 10, nullptr);
    FWheelPanPos = ClientPos;
    SetCapture(GetHandle());
    SetShowHint(false);
    DrawWheelPanMark(FWheelPanPos);
}

void TDedOzovedUrad::EndPanning()
{
    if (!FPanning)
        return;
    if (GetCapture() == GetHandle())
        ReleaseCapture();
    if (HandleAllocated())
        KillTimer(GetHandle(), PanTimerId);
    ::SetCursor(FPrevCursor);
    SetShowHint(true);
    FPanning = false;
    FPanCursorId = 0;
    InvalidateWheelPanMark(FWheelPanPos);
}

void TDedOzovedUrad::PanStep()
{
    const TIntelliPan Pan = GetIntelliPan();
    if (Pan == ipNone)
        return;
    POINT Screen;
    GetCursorPos(Screen);
    const TPoint P = ScreenToClient(TPoint(Screen.X, Screen.Y));
    const TPoint O = FWheelPanPos;
    int V = P.Y < O.Y - PanDeadZone ? -1 : P.Y > O.Y + PanDeadZone ? 1 : 0;
    if (Pan == ipHorizontal)
        V = 0;
    int H = 0;
    if (Pan != ipVertical)
        H = P.X > O.X + PanDeadZone ? 1 : P.X < O.X - PanDeadZone ? -1 : 0;
    const int CursorId = PanCursorFor(V, H);

    const TGridRect OldSelection = GetSelection();
    const int LastRow = GetRowCount() - FFixedFooters - 1;
    const int LastCol = GetColCount() - GetFixedRightCols() - 1;
    if (LastRow >= GetFixedRows() && (GetRow() < GetFixedRows() || GetRow() > LastRow))
        SetRow(std::clamp(GetRow(), GetFixedRows(), LastRow));
    if (LastCol >= GetFixedCols() && (GetCol() < GetFixedCols() || GetCol() > LastCol))
        SetCol(std::clamp(GetCol(), GetFixedCols(), LastCol));

    if (FMouseActions->GetWheelAction() == waScroll) {
        if (H == -1 && GetLeftCol() > GetFixedCols()) {
            InvalidateWheelPanMark(FWheelPanPos);
            SetLeftCol(GetLeftCol() - 1);
        }
        if (H == 1 && GetLeftCol() < GetColCount() - GetVisibleColCount()) {
            InvalidateWheelPanMark(FWheelPanPos);
            SetLeftCol(GetLeftCol() + 1);
        }
        if (V == -1 && GetTopRow() > GetFixedRows()) {
            InvalidateWheelPanMark(FWheelPanPos);
            SetTopRow(GetTopRow() - 1);
        }
        if (V == 1 && GetTopRow() < GetRowCount() - GetVisibleRowCount()) {
            InvalidateWheelPanMark(FWheelPanPos);
            SetTopRow(GetTopRow() + 1);
        }
    } else {
        const auto OutOfView = [this](int C, int R) {
            return C < GetLeftCol() || C >= GetLeftCol() + GetVisibleColCount() || R < GetTopRow()
                || R >= GetTopRow() + GetVisibleRowCount();
        };
        int C = GetCol(), R = GetRow();
        if (H == -1 && C > GetFixedCols())
            --C;
        if (H == 1 && C < LastCol)
            ++C;
        if (V == -1 && R > GetFixedRows())
            --R;
        if (V == 1 && R < LastRow)
            ++R;
        if (C != GetCol() || R != GetRow()) {
            if (OutOfView(C, R))
                InvalidateWheelPanMark(FWheelPanPos);
            if (C != GetCol())
                SetCol(C);
            if (R != GetRow())
                SetRow(R);
        }
    }

    FPanCursorId = CursorId;
    ::SetCursor(CursorId == 8000 ? FICursor : GridCursor(CursorId));
    DrawWheelPanMark(FWheelPanPos);
    if (!SameRect(OldSelection, GetSelection())) {
        const TGridRect S = GetSelection();
        SelectionChanged(S.Left, S.Top, S.Right, S.Bottom);
    }
}
