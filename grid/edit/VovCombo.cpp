#include "grid/edit/VovCombo.h"

#include <algorithm>

#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/FileUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

using namespace VovCombo;

namespace {

// Theme part and states of the "combobox" class.
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;

// The frame of a disabled themed combo without its own disabled border.
constexpr TColor DisabledThemedBorder = TColor(0xB99D7F); // RGB(127, 157, 185)

void FrameWith(HDC DC, const TRect& R, TColor Color)
{
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    RECT r = R;
    FrameRect(DC, &r, brush);
    DeleteObject(brush);
}

} // namespace

QT_PUBLISHED(TVovComboBox)

// Published here so the grid's combos, which derive from the custom class, stream them too.
QT_PUBLISHED(TVovCustomCombo, QT_PROP(AutoFocus), QT_PROP_T(BorderColor, u"TColor"),
    QT_PROP_T(FocusBorderColor, u"TColor"), QT_PROP(FocusBorder), QT_PROP(DisabledBorder), QT_PROP(ButtonWidth),
    QT_PROP(Flat), QT_PROP_T(FlatLineColor, u"TColor"), QT_PROP(FlatParentColor), QT_PROP(Etched),
    QT_PROP_T(FocusColor, u"TColor"), QT_PROP(FocusLabel), QT_PROP_T(Color, u"TColor"), QT_PROP(DropWidth),
    QT_PROP(LabelCaption), QT_PROP(LabelPosition), QT_PROP(LabelMargin), QT_PROP(LabelTransparent),
    QT_PROP(LabelAlwaysEnabled), QT_PROP(LabelFont), QT_EVENT(OnDropUp))

TVovCustomCombo::TVovCustomCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FLabelFont(std::make_unique<TFont>())
{
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
    FIsThemed = (GetFileVersion(u"COMCTL32.DLL") >> 16) > 5;
    FLabelFont->SetHeight(-11);
    FLabelFont->OnChange = [this](TObject* Sender) { LabelFontChanged(Sender); };
}

TVovCustomCombo::~TVovCustomCombo()
{
    FLabelFont->OnChange = nullptr;
    TLabel* label = FLabel;
    FLabel = nullptr;
    delete label;
}

void TVovCustomCombo::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLabel)
        FLabel = nullptr;
}

bool TVovCustomCombo::ThemesActive() const { return FIsThemed && IsThemeActive(); }

bool TVovCustomCombo::HasFocus() const
{
    if (FHasFocus)
        return true;
    TVovCustomCombo* self = const_cast<TVovCustomCombo*>(this);
    return self->HandleAllocated() && (self->Focused() || (GetEditControl() && GetEditControl()->Focused()));
}

bool TVovCustomCombo::MouseButtonDown() const { return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0; }

// ---- properties ----

void TVovCustomCombo::SetButtonWidth(int v)
{
    if (v < 14 || v > 32 || v == FButtonWidth)
        return;
    FButtonWidth = v;
    Invalidate();
}

void TVovCustomCombo::SetBorderColor(TColor v)
{
    FBorderColor = v;
    RepaintWithFrame();
}

void TVovCustomCombo::RepaintWithFrame()
{
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TVovCustomCombo::SetFlat(bool v)
{
    if (v == FFlat)
        return;
    FFlat = v;
    SetCtl3D(!v);
    if (FFlat && FFlatParentColor && GetParent())
        TControl::SetColor(GetParent()->GetBrush()->GetColor());
    else
        TControl::SetColor(FLoadedColor);
    Invalidate();
}

void TVovCustomCombo::SetFlatLineColor(TColor v)
{
    FFlatLineColor = v;
    Invalidate();
}

void TVovCustomCombo::SetFlatParentColor(bool v)
{
    FFlatParentColor = v;
    Invalidate();
}

void TVovCustomCombo::SetEtched(bool v)
{
    FEtched = v;
    Invalidate();
}

void TVovCustomCombo::SetColor(TColor v)
{
    if (GetComponentState().Contains(csLoading))
        FLoadedColor = v;
    TControl::SetColor(v);
}

void TVovCustomCombo::SetDropWidth(int v)
{
    FDropWidth = v;
    if (v > 0)
        SetDroppedWidth(v);
}

void TVovCustomCombo::SetEnabled(bool v)
{
    const bool changed = v != GetEnabled();
    TCustomComboBox::SetEnabled(v);
    if (!changed || GetComponentState().Contains(csLoading) || GetComponentState().Contains(csDesigning))
        return;
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(v);
    UpdateLabel();
}

void TVovCustomCombo::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateLabel();
}

void TVovCustomCombo::SelectItem(const String& AString)
{
    const int i = GetItems()->IndexOf(AString);
    if (i >= 0)
        SetItemIndex(i);
}

// ---- caption label ----

String TVovCustomCombo::GetLabelCaption() const { return FLabel ? FLabel->GetCaption() : String(); }

void TVovCustomCombo::CreateLabel()
{
    FLabel = new TLabel(this);
    FLabel->SetParent(GetParent());
    FLabel->SetFocusControl(this);
    FLabel->GetFont()->Assign(FLabelFont.get());
    FLabel->SetParentFont(GetParentFont());
}

void TVovCustomCombo::SetLabelCaption(const String& v)
{
    if (!FLabel)
        CreateLabel();
    FLabel->SetCaption(v);
    UpdateLabel();
}

void TVovCustomCombo::SetLabelPosition(TLabelPosition v)
{
    FLabelPosition = v;
    UpdateLabel();
}

void TVovCustomCombo::SetLabelMargin(int v)
{
    FLabelMargin = v;
    UpdateLabel();
}

void TVovCustomCombo::SetLabelTransparent(bool v)
{
    FLabelTransparent = v;
    UpdateLabel();
}

void TVovCustomCombo::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (FLabel)
        FLabel->SetEnabled(v || GetEnabled());
}

void TVovCustomCombo::LabelFontChanged(TObject*)
{
    if (FLabel && !GetParentFont())
        FLabel->GetFont()->Assign(FLabelFont.get());
    UpdateLabel();
    if (GetComponentState().Contains(csDesigning) && !GetComponentState().Contains(csLoading))
        SetParentFont(false);
}

int TVovCustomCombo::LabelTextWidth()
{
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.GetCanvas()->GetFont()->Assign(FLabel->GetFont());
    TRect r(0, 0, 1000, 255);
    String caption = FLabel->GetCaption();
    measure.GetCanvas()->TextRect(r, caption, { tfCalcRect, tfHidePrefix });
    return r.Width();
}

void TVovCustomCombo::UpdateLabel()
{
    if (!FLabel)
        return;
    FLabel->SetTransparent(FLabelTransparent);
    if (!GetParentFont())
        FLabel->GetFont()->Assign(FLabelFont.get());
    if (FLabel->GetParent() != GetParent())
        FLabel->SetParent(GetParent());
    const int w = LabelTextWidth();
    const int L = GetLeft(), T = GetTop(), W = GetWidth(), H = GetHeight(), m = FLabelMargin;
    const int lh = FLabel->GetHeight(), lw = FLabel->GetWidth();
    int top = T, left = L;
    switch (FLabelPosition) {
    case lpLeftTop: top = T; left = L - w - m; break;
    case lpLeftCenter: top = T + (H - lh) / 2; left = L - w - m; break;
    case lpLeftBottom: top = T + H - lh; left = L - w - m; break;
    case lpTopLeft: top = T - lh - m; left = L; break;
    case lpBottomLeft: top = T + H + m; left = L; break;
    case lpLeftTopLeft: top = T; left = L - m; break;
    case lpLeftCenterLeft: top = T + (H - lh) / 2; left = L - m; break;
    case lpLeftBottomLeft: top = T + H - lh; left = L - m; break;
    case lpTopCenter: top = T - lh - m; left = L + (W - lw) / 2; break;
    case lpBottomCenter: top = T + H + m; left = L + (W - lw) / 2; break;
    case lpRightTop: top = T; left = L + W + m; break;
    case lpRightCenter: top = T + (H - lh) / 2; left = L + W + m; break;
    case lpRighBottom: top = T + H - lh; left = L + W + m; break;
    }
    FLabel->SetBounds(left, top, FLabel->GetWidth(), FLabel->GetHeight());
    FLabel->SetVisible(GetVisible());
}

// ---- focus, mouse and messages ----

void TVovCustomCombo::FocusGained()
{
    if (FFocusColor != clNone && GetColor() != FFocusColor) {
        // What leaving restores: the colour it had (its loaded colour when
        // it was streamed in and not changed since).
        FNormalColor = GetColor();
        TControl::SetColor(FFocusColor);
    }
    if (FFocusLabel && FLabel)
        FLabel->GetFont()->SetStyle(FLabel->GetFont()->GetStyle() + fsBold);
}

void TVovCustomCombo::FocusLost()
{
    if (FFocusColor != clNone && FNormalColor != clNone)
        TControl::SetColor(FNormalColor);
    if (FFocusLabel && FLabel)
        FLabel->GetFont()->SetStyle(FLabel->GetFont()->GetStyle() - fsBold);
}

void TVovCustomCombo::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomComboBox::MouseMove(Shift, X, Y);
    const bool hover = X > GetClientWidth() - FButtonWidth && X < GetWidth();
    if (hover != FButtonHover) {
        FButtonHover = hover;
        Invalidate();
    }
}

void TVovCustomCombo::MouseEnter()
{
    TCustomComboBox::MouseEnter();
    if (GetEnabled())
        FMouseInControl = true;
    DrawBorders();
    if (FAutoFocus && !GetComponentState().Contains(csDesigning) && CanFocus()) {
        TCustomForm* form = GetParentForm(this);
        if (!form || (form->HandleAllocated() && GetActiveWindow() == form->GetHandle()))
            SetFocus();
    }
    if (FIsWinXP)
        Invalidate();
}

void TVovCustomCombo::MouseLeave()
{
    TCustomComboBox::MouseLeave();
    FMouseInControl = false;
    FButtonHover = false;
    DrawBorders();
    if (FIsWinXP)
        Invalidate();
}

void TVovCustomCombo::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_ENTER:
        TCustomComboBox::Dispatch(Message);
        if (!GetComponentState().Contains(csDesigning)) {
            FHasFocus = true;
            DrawBorders();
            FocusGained();
        }
        return;
    case CM_EXIT:
        TCustomComboBox::Dispatch(Message);
        if (!GetComponentState().Contains(csDesigning)) {
            FHasFocus = false;
            DrawBorders();
            FocusLost();
            // A focus frame drawn over the window's edge must go as well.
            if (FFocusBorderColor != clNone || FFocusBorder)
                RepaintWithFrame();
        }
        return;
    case WM_SETFOCUS:
        if (FFocusBorderColor != clNone)
            RepaintWithFrame();
        FocusGained();
        TCustomComboBox::Dispatch(Message);
        return;
    case WM_KILLFOCUS: {
        TCustomComboBox::Dispatch(Message);
        // The focus moving into the combo's own edit does not leave it.
        HWND to = reinterpret_cast<HWND>(Message.WParam);
        if (to && (to == GetHandle() || IsChild(GetHandle(), to)))
            return;
        FocusLost();
        RepaintWithFrame();
        return;
    }
    case CN_COMMAND: {
        const WORD code = HIWORD(Message.WParam);
        TCustomComboBox::Dispatch(Message);
        if (code == CBN_DROPDOWN || code == CBN_CLOSEUP) {
            if (HandleAllocated()) {
                TRect r = GetClientRect();
                r.Left = r.Right - FButtonWidth;
                RECT rc = r;
                InvalidateRect(GetHandle(), &rc, FALSE);
            }
            if (code == CBN_CLOSEUP && OnDropUp)
                OnDropUp(this);
        }
        return;
    }
    case CM_ENABLEDCHANGED:
        if (FFlat && HandleAllocated() && !GetComponentState().Contains(csLoading)) {
            // A disabled flat combo takes its parent's colour until enabled again.
            if (!GetEnabled()) {
                FOldParentColor = GetParentColor();
                FOldColor = GetColor();
                SetParentColor(true);
            } else {
                SetParentColor(FOldParentColor);
                if (FOldColor != clNone)
                    TControl::SetColor(FOldColor);
            }
        }
        TCustomComboBox::Dispatch(Message);
        return;
    case CM_VISIBLECHANGED:
        TCustomComboBox::Dispatch(Message);
        if (FLabel)
            FLabel->SetVisible(GetVisible());
        return;
    case CM_FONTCHANGED:
        TCustomComboBox::Dispatch(Message);
        if (GetComponentState().Contains(csDesigning) && GetParentFont()) {
            FLabelFont->Assign(GetFont());
            if (FLabel)
                FLabel->GetFont()->Assign(GetFont());
        }
        return;
    case CM_PARENTFONTCHANGED:
        TCustomComboBox::Dispatch(Message);
        if (FLabel && GetParentFont()) {
            FLabel->GetFont()->Assign(GetFont());
            UpdateLabel();
        }
        return;
    case WM_NCPAINT: {
        TCustomComboBox::Dispatch(Message);
        const bool coloured = FFlat || (!GetEnabled() && ThemesActive() && !FDisabledBorder)
            || (FFocusBorderColor != clNone && HasFocus()) || FBorderColor != clNone;
        if (FFlat || (!GetEnabled() && ThemesActive() && !FDisabledBorder))
            DrawBorders();
        if ((FFocusBorderColor != clNone && HasFocus()) || FBorderColor != clNone)
            DrawBorders();
        if (!coloured && FFrameDrawn) {
            DrawClientEdge();
            FFrameDrawn = false;
        }
        return;
    }
    default:
        TCustomComboBox::Dispatch(Message);
    }
}

void TVovCustomCombo::Loaded()
{
    TCustomComboBox::Loaded();
    if (FDropWidth > 0)
        SetDroppedWidth(FDropWidth);
    FOldColor = FLoadedColor;
    if (!(FFlatParentColor && !FFlat))
        TControl::SetColor(FLoadedColor);
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(GetEnabled());
    if (FLabel && GetParentFont())
        FLabel->GetFont()->Assign(GetFont());
    UpdateLabel();
    FNormalColor = GetColor();
}

// ---- painting ----

bool TVovCustomCombo::NeedsOwnPaint() const
{
    return FFlat || FButtonColor != clNone || FBorderColor != clNone || (FFocusBorderColor != clNone && HasFocus())
        || (!GetEnabled() && ThemesActive() && !FDisabledBorder);
}

void TVovCustomCombo::Paint()
{
    if ((FIsVista && FButtonColor == clNone) || !NeedsOwnPaint()) {
        TCustomComboBox::Paint();
        return;
    }
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    const bool leftToRight = !UseRightToLeftAlignment();
    if (GetStyle() != csSimple) {
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(GetClientRect());
    }
    const int saved = SaveDC(dc);
    if (GetStyle() != csSimple && leftToRight) {
        const TRect kept = DrawButton(dc);
        ExcludeClipRect(dc, kept.Left, kept.Top, kept.Right, kept.Bottom);
    }
    // The field, as the platform draws it, around the button.
    TCustomComboBox::Paint();
    RestoreDC(dc, saved);
    if (leftToRight)
        DrawBorders();
}

TRect TVovCustomCombo::DrawButton(HDC DC)
{
    const int cw = GetClientWidth(), ch = GetClientHeight();
    TRect r(0, 0, GetWidth(), GetHeight());
    r.Left = cw - FButtonWidth + 2;
    r.Inflate(-1, -1);
    const bool down = MouseButtonDown();
    if (FButtonColor != clNone) {
        TColor fill = FButtonColor;
        if (FButtonHover)
            fill = down ? FButtonColorDown : FButtonColorHot;
        if (fill == clNone)
            fill = FButtonColor;
        const TRect face(r.Left - 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        TCanvas* c = GetCanvas();
        c->GetPen()->SetColor(fill);
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(fill);
        c->Rectangle(face);
        if (FButtonBorderColor != clNone) {
            c->GetPen()->SetColor(FButtonBorderColor);
            c->MoveTo(face.Left, face.Top);
            c->LineTo(face.Left, face.Bottom);
        }
        TColor arrow = down && FButtonColorDown != clNone ? FButtonTextColorDown : FButtonTextColor;
        if (arrow == clNone)
            arrow = clBlack;
        c->GetPen()->SetColor(arrow);
        c->GetBrush()->SetColor(arrow);
        c->Polygon({ { face.Left + 4, face.Top + 7 }, { face.Left + 10, face.Top + 7 }, { face.Left + 7, face.Top + 10 } });
    } else if (HTHEME theme = ThemesActive() ? OpenThemeData(GetHandle(), u"combobox") : nullptr) {
        int state = CBXS_HOT;
        if (!GetEnabled())
            state = CBXS_DISABLED;
        else if (down && GetDroppedDown())
            state = CBXS_PRESSED;
        else if (down || !FButtonHover || GetDroppedDown())
            state = CBXS_NORMAL;
        RECT rc = r;
        DrawThemeBackground(theme, DC, CP_DROPDOWNBUTTON, state, &rc, nullptr);
        CloseThemeData(theme);
    } else {
        RECT rc { r.Left - 4, r.Top - 1, r.Right, r.Bottom + 1 };
        DrawFrameControl(DC, &rc, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (GetEnabled() ? DFCS_FLAT : DFCS_INACTIVE));
    }
    return TRect(cw - FButtonWidth - 4, 0, cw + 2, ch);
}

void TVovCustomCombo::DrawBorders()
{
    if (!HandleAllocated())
        return;
    if ((GetEnabled() && !FFlat && FBorderColor == clNone && FFocusBorderColor == clNone)
        || (FIsVista && FBorderColor == clNone))
        return;
    HDC dc = GetWindowDC(GetHandle());
    if (!dc)
        return;
    const TRect r(0, 0, GetWidth(), GetHeight());
    const bool focused = HasFocus();
    if (!GetEnabled() && ThemesActive() && !FDisabledBorder) {
        FrameWith(dc, r, DisabledThemedBorder);
    } else {
        TColor color = FBorderColor;
        if (color == clNone || (focused && FFocusBorderColor != clNone))
            color = FFocusBorderColor;
        if (color == clNone)
            DrawFlatBorders(dc, r);
        else if (color == FBorderColor || focused)
            FrameWith(dc, r, color);
    }
    FFrameDrawn = true;
    ReleaseDC(GetHandle(), dc);
}

// The window layer leaves a client edge to the control: once a coloured or
// flat frame is no longer wanted, the classic sunken edge replaces it.
void TVovCustomCombo::DrawClientEdge()
{
    if (!HandleAllocated() || !(GetWindowLong(GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        return;
    if (HDC dc = GetWindowDC(GetHandle())) {
        RECT r { 0, 0, GetWidth(), GetHeight() };
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        ReleaseDC(GetHandle(), dc);
    }
}

void TVovCustomCombo::DrawFlatBorders(HDC DC, TRect R)
{
    TCustomForm* form = GetParentForm(this);
    const bool active = form && form->GetActiveControl() && (form->GetActiveControl() == this || ContainsControl(form->GetActiveControl()));
    const bool focusBorder = FFocusBorder && !GetComponentState().Contains(csDesigning) && (FMouseInControl || active);
    const TColor outer = focusBorder ? clBtnFace : GetParent() ? GetParent()->GetBrush()->GetColor() : clBtnFace;
    const TColor inner = GetColor();
    if (focusBorder) {
        RECT rc = R;
        DrawEdge(DC, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        R = TRect(rc);
        FrameWith(DC, R, outer);
        R.Inflate(-1, -1);
        FrameWith(DC, R, inner);
    } else {
        FrameWith(DC, R, outer);
        R.Inflate(-1, -1);
        TRect field = R;
        field.Right -= FButtonWidth;
        FrameWith(DC, field, outer);
        R.Inflate(-1, -1);
        FrameWith(DC, R, inner);
    }
    if (FFlat && FFlatLineColor != clNone) {
        HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FFlatLineColor));
        HGDIOBJ old = SelectObject(DC, pen);
        MoveToEx(DC, R.Left - 2, GetHeight() - 1, nullptr);
        LineTo(DC, R.Right - FButtonWidth - 1, GetHeight() - 1);
        SelectObject(DC, old);
        DeleteObject(pen);
    }
    // The flat button: only a ring round the arrow changes with the state.
    if (GetStyle() == csSimple || (FIsWinXP && ThemesActive()))
        return;
    const int cw = GetClientWidth(), ch = GetClientHeight();
    ExcludeClipRect(DC, cw - FButtonWidth + 4, 4, cw - 4, ch - 4);
    TRect button(0, 0, GetWidth(), GetHeight());
    button.Left = cw - FButtonWidth - 2;
    button.Inflate(-2, -2);
    const bool plain = GetComponentState().Contains(csDesigning) ? !GetEnabled() : !(FMouseInControl || active);
    if (plain) {
        HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
        RECT rc { button.Left, button.Top + 1, button.Right - 1, button.Bottom - 1 };
        FillRect(DC, &rc, face);
        DeleteObject(face);
    }
    ExcludeClipRect(DC, button.Left, button.Top, button.Right, button.Bottom);
}
