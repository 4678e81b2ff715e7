// The grid's look around its cells: the paint pass that frames the edited
// cell and fills the area beyond the last column and row, the one-pixel
// border in the non-client area, the sizing lines, the focus glow around
// the current cell, the design-time quick configuration panel, and the tool
// tip and date-time picker notifications.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/CheckRadioPaint.h"
#include "grid/core/FloatingFooter.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumDropDownAppearance.h"
#include "grid/core/LumRichEdit.h"
#include "grid/core/ScrollControl.h"
#include "platform/rtl/MathUtils.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ToolTips.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

namespace {

constexpr int GlowMargin = 4;
constexpr int GlowGrowth = 9;
constexpr int DesignPanelWidth = 150;

} // namespace

// ---- paint ----

void TDedOzovedUrad::Paint()
{
    FStyleBkg = FUseStyleServices && UsesStyledDrawing() && GetStyleElements().Contains(seClient);
    TCanvas* C = GetCanvas();
    C->GetPen()->SetStyle(psSolid);
    C->GetBrush()->SetStyle(bsSolid);
    TBaseGrid::Paint();

    if (FEditing) {
        const bool Lines = GetOptions().Contains(goHorzLine) || GetOptions().Contains(goVertLine);
        C->GetPen()->SetColor(GetGridLineWidth() == 0 || !Lines ? GetColor() : GetGridLineColor());
        C->GetBrush()->SetStyle(bsClear);
        C->Rectangle(CellRect(GetCol(), GetRow()));
        C->GetBrush()->SetStyle(bsSolid);
    }
    C->GetPen()->SetColor(clBlack);
    const TBitmap* Picture = FBackGround->GetBitmap();
    if ((Picture && !Picture->Empty()) || FBackGround->GetColorTo() != clNone)
        PaintOutsideCells(C);
    if (IsDesigning() && GetShowDesignHelper())
        PaintDesignPanel(C);
    if (OnPainted)
        OnPainted(this);
}

int TDedOzovedUrad::PaintedClientBottom()
{
    int Bottom = GetClientHeight();
    if (FFloatingFooter->GetVisible() && FFooterPanel && FFooterPanel->GetVisible())
        Bottom -= FFooterPanel->GetHeight();
    return Bottom;
}

bool TDedOzovedUrad::OutsideCellsRegion(TRect& Right, TRect& Bottom)
{
    Right = Bottom = TRect();
    if (GetColCount() == 0 || GetRowCount() == 0)
        return false;
    const bool ColsBeyond = GetLeftCol() + GetVisibleColCount() < GetColCount();
    const bool RowsBeyond = GetTopRow() + GetVisibleRowCount() < GetRowCount();
    if (ColsBeyond && RowsBeyond)
        return false;
    const int ClientBottom = PaintedClientBottom();
    const int W = GetClientWidth();
    if (!ColsBeyond) {
        const int X = CellRect(GetColCount() - 1, GetTopRow()).Right + GetGridLineWidth();
        if (X < W)
            Right = TRect(X, 0, W, ClientBottom);
    }
    if (!RowsBeyond) {
        const int FirstCol = GetFixedCols() > 0 ? 0 : GetLeftCol();
        const int Y = CellRect(FirstCol, GetRowCount() - 1).Bottom + GetGridLineWidth();
        if (Y < ClientBottom)
            Bottom = TRect(0, Y, W, ClientBottom);
    }
    return !Right.IsEmpty() || !Bottom.IsEmpty();
}

void TDedOzovedUrad::PaintOutsideCells(TCanvas* C)
{
    const TBackGround* B = FBackGround.get();
    const bool Gradient = B->GetDisplay() == bdGradientHorz || B->GetDisplay() == bdGradientVert;
    if (Gradient && B->GetColorTo() == clNone)
        return;
    TRect Right, Bottom;
    if (!OutsideCellsRegion(Right, Bottom))
        return;
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    for (const TRect& R : { Right, Bottom })
        if (!R.IsEmpty()) {
            HRGN Part = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
            CombineRgn(Region, Region, Part, RGN_OR);
            DeleteObject(Part);
        }
    HDC DC = C->GetHandle();
    SelectClipRgn(DC, Region);
    TBitmap* Picture = B->GetBitmap();
    if (!Picture || Picture->Empty()) {
        if (Gradient)
            LumDropDown::DrawGradient(C, B->GetColor(), B->GetColorTo(), B->GetDisplay() == bdGradientHorz, GetClientRect(), 128);
    } else if (B->GetDisplay() == bdTile) {
        if (B->GetCells() != bcFixed) {
            TPoint Origin(0, 0);
            if (B->GetCells() == bcNormal)
                Origin = CellRect(GetFixedCols(), GetFixedRows()).TopLeft();
            const int PW = Picture->GetWidth(), PH = Picture->GetHeight();
            for (int Y = Origin.Y - 1; Y < GetClientHeight(); Y += PH)
                for (int X = Origin.X - 1; X < GetClientWidth(); X += PW)
                    C->Draw(X, Y, Picture);
        }
    } else {
        C->Draw(B->GetLeft(), B->GetTop(), Picture);
    }
    SelectClipRgn(DC, nullptr);
    DeleteObject(Region);
}

// ---- border and sizing lines ----

void TDedOzovedUrad::DrawNonClientBorder()
{
    if (!HandleAllocated())
        return;
    if (FLook == glStandard || FLook == glClassic || UsesStyledDrawing())
        return;
    if (!GetStyleElements().Contains(seClient) || FBorderStyle == bsNone || FBorderColor == clNone)
        return;
    if (FFlat && FLook != glCustom)
        return;
    RECT WR;
    GetWindowRect(GetHandle(), WR);
    const int W = WR.Width(), Ht = WR.Height();
    HDC DC = GetWindowDC(GetHandle());
    if (!DC)
        return;
    HBRUSH Border = CreateSolidBrush(ColorToRGB(FBorderColor));
    if (FFitCellsInGrid) {
        const RECT Inner(1, 1, W - 1, Ht - 1);
        FrameRect(DC, &Inner, Border);
        const TColor ParentColor = GetParent() ? GetParent()->GetColor() : clBtnFace;
        HBRUSH Outer = CreateSolidBrush(ColorToRGB(ParentColor));
        const RECT Ring(0, 0, W, Ht);
        FrameRect(DC, &Ring, Outer);
        DeleteObject(Outer);
    } else if (FIsComCtl6) {
        const RECT Ring(0, 0, W, Ht);
        FrameRect(DC, &Ring, Border);
    }
    DeleteObject(Border);
    ReleaseDC(GetHandle(), DC);
}

void TDedOzovedUrad::DrawSizeLine(int X1, int Y1, int X2, int Y2)
{
    if (!HandleAllocated())
        return;
    HDC DC = GetDC(GetHandle());
    if (!DC)
        return;
    // Inverting the pixels: a second call over the same line erases it.
    const int OldRop = SetROP2(DC, R2_XORPEN);
    HPEN Pen = CreatePen(PS_DOT, 1, 0xFFFFFF);
    HGDIOBJ Old = SelectObject(DC, Pen);
    MoveToEx(DC, X1, Y1, nullptr);
    LineTo(DC, X2, Y2);
    SelectObject(DC, Old);
    DeleteObject(Pen);
    SetROP2(DC, OldRop);
    ReleaseDC(GetHandle(), DC);
}

void TDedOzovedUrad::DrawColSizeLine(int X)
{
    const int LastBottom = GetRowCount() > 0 ? CellRect(0, GetRowCount() - 1).Bottom : 0;
    DrawSizeLine(X, 0, X, std::max(GetHeight(), LastBottom));
}

void TDedOzovedUrad::DrawRowSizeLine(int Y)
{
    const int LastRight = GetColCount() > 0 ? CellRect(GetColCount() - 1, 0).Right : 0;
    DrawSizeLine(0, Y, std::max(GetWidth(), LastRight), Y);
}

// ---- focus glow and move arrows ----

void TDedOzovedUrad::CreateOverlayWindows()
{
    if (IsDesigning())
        return;
    FFocusWindow = new TGridFocusWindow(this);
    const TArrowDirection Dirs[] = { arrUp, arrDown, arrLeft, arrRight };
    TArrowWindow** Slots[] = { &ArwU, &ArwD, &ArwL, &ArwR };
    for (int i = 0; i < 4; ++i) {
        *Slots[i] = new TArrowWindow(this);
        (*Slots[i])->Init(this, Dirs[i]);
    }
}

void TDedOzovedUrad::FreeOverlayWindows()
{
    // The process-wide glow must never point at a grid that is gone.
    if (GetFocusWindowGrid() == this)
        HideFocusWindow();
    delete FFocusWindow;
    FFocusWindow = nullptr;
    for (TArrowWindow** Slot : { &ArwU, &ArwD, &ArwL, &ArwR }) {
        delete *Slot;
        *Slot = nullptr;
    }
}

TColor TDedOzovedUrad::GetArrowColor() const { return ArwU ? ArwU->GetColor() : TColor(0x00FF00); }

void TDedOzovedUrad::SetArrowColor(TColor Value)
{
    for (TArrowWindow* Arrow : { ArwU, ArwD, ArwL, ArwR })
        if (Arrow)
            Arrow->SetColor(Value);
}

void TDedOzovedUrad::ShowFocusWindow(TRect R)
{
    if (!FFocusWindow || !HandleAllocated())
        return;
    // The glow is one per process: take it over from the grid that has it.
    TDedOzovedUrad* Previous = GetFocusWindowGrid();
    if (Previous && Previous != this)
        Previous->HideFocusWindow();
    SetFocusWindowGrid(this);
    GridGuards::TValueGuard<bool> Placing(FPlacingFocusWindow, true);
    const TPoint TopLeft = ClientToScreen(R.TopLeft());
    FFocusWindow->ShowAround(TRect(TopLeft.X, TopLeft.Y, TopLeft.X + R.Width(), TopLeft.Y + R.Height()));
}

void TDedOzovedUrad::PlaceFocusWindow()
{
    if (FPlacingFocusWindow || !FFocusWindow || !FFocusWindow->HandleAllocated() || !HandleAllocated())
        return;
    GridGuards::TValueGuard<bool> Placing(FPlacingFocusWindow, true);
    const int C = GetCol(), Row = GetRow();
    const bool InView = C >= GetLeftCol() && C < GetLeftCol() + GetVisibleColCount() && Row >= GetTopRow()
        && Row < GetTopRow() + GetVisibleRowCount();
    if (!InView) {
        HideFocusWindow();
        return;
    }
    const TRect R = CellRect(C, Row);
    const TPoint P = ClientToScreen(R.TopLeft());
    SetWindowPos(FFocusWindow->GetHandle(), HWND_TOPMOST, P.X - GlowMargin, P.Y - GlowMargin, R.Width() + GlowGrowth,
        R.Height() + GlowGrowth, SWP_NOACTIVATE);
}

void TDedOzovedUrad::HideFocusWindow()
{
    if (GetFocusWindowGrid() == this)
        SetFocusWindowGrid(nullptr);
    if (FFocusWindow)
        FFocusWindow->HideGlow();
}

// ---- fixed-cell editor, hover buttons ----

void TDedOzovedUrad::ShowFixedInplaceEdit(int ACol, int ARow)
{
    if (!IsFixed(ACol, ARow))
        throw ERirEvozError(u"Cannot start fixed inplace editor in non-fixed cell");
    StartFixedCellEdit(ACol, ARow, GetFilterEdit()->GetEnabled() && ARow == 0);
}

void TDedOzovedUrad::HideFixedInplaceEdit()
{
    if (HandleAllocated() && CanFocus())
        SetFocus();
}

void TDedOzovedUrad::HideHoverButtons()
{
    if (FHoverButtons->GetEnabled() && FButtonForm)
        FButtonForm->Hide();
}

// ---- design panel ----

TDedOzovedUrad::TDesignPanelLayout TDedOzovedUrad::DesignPanelLayout()
{
    TDesignPanelLayout L;
    TBitmap Measure;
    TCanvas* C = Measure.GetCanvas();
    C->GetFont()->SetName(u"Tahoma");
    C->GetFont()->SetSize(8);
    const int TextHeight = C->TextHeight(u"gh");
    L.S = int(RoundHalfEven(16 * FDPIScale));
    L.Line = TextHeight + 2;
    const int Width = int(RoundHalfEven(DesignPanelWidth * FDPIScale));
    L.Panel = TRect(GetClientWidth() - Width, GetClientHeight() - 4 * TextHeight - int(RoundHalfEven(10 * FDPIScale)) - 8,
        GetClientWidth(), GetClientHeight());
    L.Texts[0] = u"Allow edit";
    L.Texts[1] = u"Column numbers";
    String LookCaption;
    GridLookCaption(FLook, LookCaption);
    L.Texts[2] = u"Set look: " + LookCaption;
    L.TextLeft[0] = L.TextLeft[1] = L.Panel.Left + L.S + 2;
    L.TextLeft[2] = L.Panel.Left + 4;
    for (int i = 0; i < 3; ++i) {
        L.TextTop[i] = L.Panel.Top + (i + 1) * L.Line + 4;
        L.TextRight[i] = L.TextLeft[i] + C->TextWidth(L.Texts[i]);
    }
    return L;
}

int TDedOzovedUrad::DesignPanelHitTest(int X, int Y)
{
    const TDesignPanelLayout L = DesignPanelLayout();
    if (X > L.Panel.Right - L.S && Y >= L.Panel.Top && Y < L.Panel.Top + L.S)
        return 4;
    for (int i = 0; i < 3; ++i)
        if (Y >= L.TextTop[i] && Y < L.TextTop[i] + L.Line && X > L.Panel.Left && X < L.TextRight[i])
            return i + 1;
    return -1;
}

void TDedOzovedUrad::PaintDesignPanel(TCanvas* C)
{
    const TDesignPanelLayout L = DesignPanelLayout();
    C->GetBrush()->SetStyle(bsSolid);
    C->GetBrush()->SetColor(clInfoBk);
    C->GetPen()->SetStyle(psSolid);
    C->GetPen()->SetColor(TColor(0x808080));
    C->GetPen()->SetWidth(1);
    C->Rectangle(L.Panel);
    C->GetFont()->SetName(u"Tahoma");
    C->GetFont()->SetSize(8);
    C->GetFont()->SetColor(TColor(0x800000));
    C->GetFont()->SetStyle({});
    C->GetBrush()->SetStyle(bsClear);
    C->TextOut(L.Panel.Left + 4, L.Panel.Top + 4, u"Quick config [v" + GetVersionString() + u"]");
    TBitmap Close;
    try {
        Close.LoadFromResourceName(nullptr, u"DOUCLOSE");
        C->Draw(L.Panel.Right - 16, L.Panel.Top + 2, &Close);
    } catch (const Exception&) {
        // Painting never raises; the panel goes on without its close box.
    }
    RirEvoz::TCheckRadioContext Context;
    Context.Look = FControlLook.get();
    Context.DPIScale = FDPIScale;
    Context.IsComCtl6 = FIsComCtl6;
    const bool Checks[2] = { GetOptions().Contains(goEditing), FShowColNrs };
    for (int i = 0; i < 3; ++i) {
        if (i < 2) {
            const TRect Box(L.Panel.Left + 2, L.TextTop[i], L.Panel.Left + L.S + 2, L.TextTop[i] + L.Line);
            RirEvoz::DrawCellCheckBox(C, Context, Box, Checks[i], Checks[i] ? cbChecked : cbUnchecked, false,
                RirEvoz::csWinXP, false, true);
        }
        C->GetBrush()->SetStyle(bsClear);
        C->GetFont()->SetColor(TColor(0x800000));
        C->GetFont()->SetStyle(FLastDesignChoice == i + 1 ? TFontStyles { fsUnderline } : TFontStyles {});
        C->TextOut(L.TextLeft[i], L.TextTop[i], L.Texts[i]);
    }
    C->GetFont()->SetStyle({});
    C->GetBrush()->SetStyle(bsSolid);
}

void TDedOzovedUrad::SetShowColNrs(bool Value)
{
    if (FShowColNrs == Value)
        return;
    FShowColNrs = Value;
    Invalidate();
}

void TDedOzovedUrad::NudgeParentForm()
{
    if (TCustomForm* Form = GetParentForm(this)) {
        Form->SetWidth(Form->GetWidth() - 1);
        Form->SetWidth(Form->GetWidth() + 1);
    }
}

void TDedOzovedUrad::DesignPanelClick(int X, int Y)
{
    switch (DesignPanelHitTest(X, Y)) {
    case 1: {
        TGridOptions Options = GetOptions();
        if (Options.Contains(goEditing))
            Options.Exclude(goEditing);
        else
            Options.Include(goEditing);
        SetOptions(Options);
        DesignEditingToggled();
        NudgeParentForm();
        break;
    }
    case 2:
        SetShowColNrs(!FShowColNrs);
        Invalidate();
        NudgeParentForm();
        break;
    case 3: {
        auto* Menu = new TPopupMenu(this);
        const TGridLook Looks[] = { glStandard, glSoft, glClassic, glZID, glListView, glOffice2007, glXP, glVista,
            glWin7 };
        const char16_t* Captions[] = { u"Standard", u"Soft", u"Classic", u"ZID", u"ListView", u"Office 2007",
            u"Windows XP", u"Windows Vista", u"Windows 7" };
        for (int i = 0; i < 9; ++i) {
            auto* Item = new TMenuItem(Menu);
            Item->SetCaption(Captions[i]);
            Item->SetTag(int(Looks[i]) + 1);
            Item->SetChecked(Looks[i] == FLook);
            Item->OnClick = [this](TObject* Sender) {
                SetLook(TGridLook(static_cast<TMenuItem*>(Sender)->GetTag() - 1));
                NudgeParentForm();
            };
            Menu->GetItems()->Add(Item);
        }
        const TPoint P = ClientToScreen(TPoint(X, Y));
        Menu->Popup(P.X, P.Y);
        break;
    }
    case 4:
        SetShowDesignHelper(false);
        break;
    default:
        break;
    }
}

// ---- messages ----

bool TDedOzovedUrad::GridLookMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NOTIFY:
        return GridNotify(Message);
    case CM_DESIGNHITTEST: {
        const TPoint P(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        const int Code = GetShowDesignHelper() ? DesignPanelHitTest(P.X, P.Y) : -1;
        if (Code != FLastDesignChoice) {
            FLastDesignChoice = Code;
            const int W = int(RoundHalfEven(DesignPanelWidth * FDPIScale)), Ht = int(RoundHalfEven(70 * FDPIScale));
            const RECT Area(GetClientWidth() - W, GetClientHeight() - Ht, GetClientWidth(), GetClientHeight());
            if (HandleAllocated())
                InvalidateRect(GetHandle(), &Area, false);
        }
        if (Code >= 1 && Code <= 4) {
            Message.Result = 1;
            return true;
        }
        return false;
    }
    case WM_THEMECHANGED: case WM_OFFICETHEMECHANGED:
        AdaptToOfficeTheme();
        return false;
    default:
        return false;
    }
}

bool TDedOzovedUrad::GridNotify(TMessage& Message)
{
    const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (!Header)
        return false;
    if (Header->code == DTN_DATETIMECHANGE) {
        if (OnDateTimeChange) {
            const auto* Change = reinterpret_cast<const NMDATETIMECHANGE*>(Message.LParam);
            const SYSTEMTIME& ST = Change->st;
            const TDateTime Value
                = ST.wYear == 0 || ST.wMonth == 0 || ST.wDay == 0 ? TDateTime(0) : SystemTimeToDateTime(ST);
            OnDateTimeChange(this, GetCol(), GetRow(), Value);
        }
        return false;
    }
    if (Header->code == TTN_GETDISPINFO && FBalloon->GetEnable()) {
        BalloonTextRequest(Message);
        return true;
    }
    if (Header->code == TTN_SHOW || Header->code == TTN_POP)
        return true;
    return false;
}

void TDedOzovedUrad::BalloonTextRequest(TMessage& Message)
{
    auto* Info = reinterpret_cast<NMTTDISPINFO*>(Message.LParam);
    const TPoint P = ScreenToClient(Mouse->GetCursorPos());
    int ACol = -1, ARow = -1;
    MouseToCell(P.X, P.Y, ACol, ARow);
    // The floating footer's row is no cell.
    bool Valid = ACol >= 0 && ARow >= 0 && !(FFloatingFooter->GetVisible() && ARow == GetRowCount() - 1);
    String Title = u" ";
    String Text;
    int Icon = 1;
    TPoint Base(-1, -1);
    if (Valid) {
        Base = BaseCell(RealColIndex(TDisplayCol(ACol)).Value, ARow);
        const String Cell = GetCells(Base.X, Base.Y);
        switch (VuzEraz::DetectTextKind(Cell, GetEnableHTML())) {
        case 1: Text = VovHTMLE::HTMLToPlainText(Cell); break;
        case 2:
            CellToRich(Base.X, Base.Y, GetRichEdit());
            Text = GetRichEdit()->GetText();
            break;
        case 5: Text = VuzEraz::DecodeWideCellText(Cell); break;
        default: Text = Cell; break;
        }
    }
    if (!FBalloon->GetShowCell()) {
        Title.clear();
        Text.clear();
    }
    if (Valid) {
        IsBalloon(Base.X, Base.Y, Title, Text, Icon);
        if (OnCellBalloon)
            OnCellBalloon(this, Base.X, Base.Y, Title, Text, Icon);
    }
    Title = RirEvoz::BalloonTitle(Title);
    FToolTipText = RirEvoz::BalloonText(Text);
    if (Info)
        Info->lpszText = FToolTipText.data();
    const HWND Tip = Info ? Info->hdr.hwndFrom : nullptr;
    if (!Tip)
        return;
    SendMessage(Tip, TTM_SETMAXTIPWIDTH, 0, 300);
    if (FBalloon->GetTextColor() != clNone)
        SendMessage(Tip, TTM_SETTIPTEXTCOLOR, WPARAM(ColorToRGB(FBalloon->GetTextColor())), 0);
    if (FBalloon->GetBackgroundColor() != clNone)
        SendMessage(Tip, TTM_SETTIPBKCOLOR, WPARAM(ColorToRGB(FBalloon->GetBackgroundColor())), 0);
    SendMessage(Tip, TTM_SETTITLE, WPARAM(Icon), reinterpret_cast<LPARAM>(Title.c_str()));
}
