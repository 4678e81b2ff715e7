#include "grid/core/LumCheckBox.h"

#include "grid/core/GridPlatform.h"
#include "grid/core/GridUtils.h"
#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

namespace {

// The column of the box that a state change repaints.
constexpr int BoxColumnWidth = 20;
// The top-left area that hover and press changes repaint.
constexpr int CornerSize = 16;

} // namespace

QT_PUBLISHED(TLumCheckBox, QT_PROP(Alignment), QT_PROP(ButtonVertAlign), QT_PROP(Checked), QT_PROP(Ellipsis),
    QT_PROP(ReadOnly), QT_PROP(ReturnIsTab), QT_PROP(State), QT_PROP(Transparent))

TLumCheckBox::TLumCheckBox(TComponent* AOwner)
    : TCustomControl(AOwner), FBackground(std::make_unique<TBitmap>())
{
    // Clicks are raised by the control itself, after the state changed.
    m_controlStyle.Exclude(csClickEvents);
    m_controlStyle.Exclude(csCaptureMouse);
    FIsWinXP = GridPlatform::WindowsAbove(5, 0) || (GridPlatform::WindowsMajorVersion == 5 && GridPlatform::WindowsMinorVersion >= 1);
    SetCaption(u"TLumCheckBox");
    SetColor(clWindow);
    SetTabStop(false);
    SetBounds(0, 0, 98, 20);
}

TLumCheckBox::~TLumCheckBox() = default;

bool TLumCheckBox::ThemedDrawingAvailable()
{
    const bool xp = GridPlatform::WindowsAbove(5, 0) || (GridPlatform::WindowsMajorVersion == 5 && GridPlatform::WindowsMinorVersion >= 1);
    return xp && IsThemeActive() && GridPlatform::ComCtl32MajorVersion > 5;
}

double TLumCheckBox::CurrentDPIScale()
{
    return VuzEraz::ControlDPIScale(this);
}

// ---- properties ----

void TLumCheckBox::SetState(TCheckBoxState v)
{
    if (v == FState)
        return;
    FState = v;
    InvalidateBoxColumn();
}

void TLumCheckBox::SetChecked(bool v)
{
    SetState(v ? cbChecked : cbUnchecked);
    Invalidate();
}

void TLumCheckBox::SetAlignment(TLeftRight v)
{
    if (v == FAlignment)
        return;
    FAlignment = v;
    Invalidate();
}

void TLumCheckBox::SetButtonVertAlign(TTextLayout v)
{
    if (v == FButtonVertAlign)
        return;
    FButtonVertAlign = v;
    Invalidate();
}

void TLumCheckBox::SetEllipsis(bool v)
{
    if (v == FEllipsis)
        return;
    FEllipsis = v;
    Invalidate();
}

void TLumCheckBox::SetTransparent(bool v)
{
    if (v != FTransparent) {
        FTransparent = v;
        FBackgroundValid = false;
    }
    Invalidate();
}

void TLumCheckBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FTransparent) {
        FBackgroundValid = false;
        Invalidate();
    }
}

void TLumCheckBox::Toggle()
{
    if (!FReadOnly)
        SetChecked(!GetChecked());
}

void TLumCheckBox::ToggleAndClick()
{
    Toggle();
    Click();
}

void TLumCheckBox::InvalidateBoxColumn()
{
    if (!HandleAllocated())
        return;
    TRect r = GetClientRect();
    if (FAlignment == taRightJustify)
        r.Left = r.Right - BoxColumnWidth;
    else
        r.Right = r.Left + BoxColumnWidth;
    RECT rc = r;
    InvalidateRect(GetHandle(), &rc, true);
}

void TLumCheckBox::InvalidateCorner(bool Erase)
{
    if (!HandleAllocated())
        return;
    RECT rc = TRect(0, 0, CornerSize, CornerSize);
    InvalidateRect(GetHandle(), &rc, Erase);
}

// ---- messages, focus, mouse and keys ----

void TLumCheckBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (FTransparent) {
            Message.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), GetCaption()) && CanFocus()) {
            Toggle();
            if (GetTabStop())
                SetFocus();
            Message.Result = 1;
            return;
        }
        break;
    case CM_TEXTCHANGED: case CM_FONTCHANGED: case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TLumCheckBox::DoEnter()
{
    FFocused = true;
    Invalidate();
    TCustomControl::DoEnter();
}

void TLumCheckBox::DoExit()
{
    FFocused = false;
    Invalidate();
    TCustomControl::DoExit();
}

void TLumCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMouseDown = true;
    if (!Focused() && CanFocus())
        SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (HandleAllocated())
        SetCapture(GetHandle());
    FDown = true;
    if (FIsWinXP)
        InvalidateCorner(false);
}

void TLumCheckBox::MouseMove(TShiftState Shift, int X, int Y)
{
    if (HandleAllocated() && GetCapture() == GetHandle()) {
        const bool inside = X >= 0 && X <= GetWidth() && Y >= 0 && Y <= GetHeight();
        if (inside != FDown) {
            FDown = inside;
            InvalidateCorner(false);
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TLumCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    ReleaseCapture();
    FDown = false;
    const bool inside = X >= 0 && X <= GetWidth() && Y >= 0 && Y <= GetHeight();
    if (inside && Focused() && FMouseDown)
        ToggleAndClick();
    FMouseDown = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FIsWinXP)
        InvalidateCorner(true);
}

void TLumCheckBox::MouseEnter()
{
    FHot = true;
    InvalidateCorner(false);
    TCustomControl::MouseEnter();
}

void TLumCheckBox::MouseLeave()
{
    FHot = false;
    InvalidateCorner(false);
    TCustomControl::MouseLeave();
}

void TLumCheckBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        if (HandleAllocated())
            PostMessage(GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_SPACE) {
        FDown = true;
        InvalidateCorner(false);
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TLumCheckBox::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE) {
        FDown = false;
        ToggleAndClick();
    }
    TCustomControl::KeyUp(Key, Shift);
}

// ---- painting ----

TRect TLumCheckBox::BoxRect(double Scale) const
{
    const int s = RoundHalfEven(13.0 * Scale);
    const TRect client = const_cast<TLumCheckBox*>(this)->GetClientRect();
    int y = 4;
    if (FButtonVertAlign == tlCenter)
        y = client.Height() / 2 - 6;
    else if (FButtonVertAlign == tlBottom)
        y = client.Height() - s;
    const int x = FAlignment == taRightJustify ? client.Width() - s - 1 : 0;
    return TRect(x, y, x + s, y + s);
}

int TLumCheckBox::CaptionLeft(double Scale) const
{
    const int shift = RoundHalfEven(10.0 * Scale);
    return (FAlignment == taRightJustify ? 0 : 9) + shift;
}

void TLumCheckBox::PaintParentBackground(HDC DC)
{
    TWinControl* parent = GetParent();
    if (!parent)
        return;
    const int saved = SaveDC(DC);
    // The parent paints as if onto itself; only this control's area lands.
    OffsetWindowOrgEx(DC, GetLeft(), GetTop(), nullptr);
    const TRect area = parent->GetClientRect();
    IntersectClipRect(DC, area.Left, area.Top, area.Right, area.Bottom);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
}

void TLumCheckBox::PaintBackground()
{
    TCanvas* c = GetCanvas();
    if (!FTransparentChaching) {
        PaintParentBackground(c->GetHandle());
        c->Refresh();
        return;
    }
    if (!FBackgroundValid) {
        FBackground->SetSize(GetWidth(), GetHeight());
        PaintParentBackground(FBackground->GetCanvas()->GetHandle());
        FBackground->GetCanvas()->Refresh();
        FBackgroundValid = true;
    }
    c->Draw(0, 0, FBackground.get());
}

void TLumCheckBox::PaintBox(const TRect& Box, TColor& TextColor)
{
    TCanvas* c = GetCanvas();
    HDC dc = c->GetHandle();
    const bool enabled = GetEnabled();
    // 0 normal, 1 hot, 2 pressed, 3 disabled
    const int look = !enabled ? 3 : FDown ? 2 : FHot ? 1 : 0;
    const int stateBase = FState == cbChecked ? 4 : FState == cbGrayed ? 8 : 0;
    if (IsVCLStyleActive(StyleServices())) {
        TCustomStyleServices* s = StyleServices();
        const auto part = TThemedButton(int(tbCheckBoxUncheckedNormal) + stateBase + look);
        const TThemedElementDetails details = s->GetElementDetails(part);
        s->DrawElement(dc, details, Box);
        TColor styled = TextColor;
        if (s->GetElementColor(details, ecTextColor, styled) && styled != clNone)
            TextColor = styled;
        c->Refresh();
        return;
    }
    if (ThemedDrawingAvailable()) {
        if (HTHEME theme = OpenThemeData(GetHandle(), u"button")) {
            RECT rc = Box;
            DrawThemeBackground(theme, dc, 3, stateBase + look + 1, &rc, nullptr);
            CloseThemeData(theme);
            c->Refresh();
            return;
        }
    }
    const int s = Box.Width();
    const int w = GetClientWidth(), h = GetClientHeight();
    const int x = FAlignment == taRightJustify ? w - s + 1 : 0;
    const int y = FButtonVertAlign == tlCenter ? h / 2 - 6 : FButtonVertAlign == tlBottom ? h - s - 3 : 4;
    RECT rc = TRect(x, y, x + s - 1, y + s - 1);
    UINT flags = DFCS_BUTTONCHECK;
    if (FState == cbChecked)
        flags |= DFCS_CHECKED;
    if (FState == cbGrayed || !enabled)
        flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &rc, DFC_BUTTON, flags);
    c->Refresh();
}

void TLumCheckBox::Paint()
{
    FDPIScale = CurrentDPIScale();
    TCanvas* c = GetCanvas();
    c->SetFont(GetFont());
    TColor textColor = GetFont()->GetColor();
    if (FTransparent)
        PaintBackground();
    if (HandleAllocated() && GetWindowText(GetHandle()) != GetCaption())
        SetWindowText(GetHandle(), GetCaption());

    PaintBox(BoxRect(FDPIScale), textColor);

    const String caption = GetCaption();
    TRect r = GetClientRect();
    if (FAlignment == taRightJustify)
        r.Right -= 9;
    else
        r.Left += 9;
    const int shift = RoundHalfEven(10.0 * FDPIScale);
    r.Left += shift;
    r.Right += shift;
    const int textHeight = c->TextHeight(u"gh");
    r.Top = (r.Height() - textHeight) / 2 + 1;
    TTextFormat format { tfLeft, tfSingleLine, tfNoPrefix };
    if (FEllipsis)
        format.Include(tfEndEllipsis);
    c->GetBrush()->SetStyle(bsClear);
    String text = caption;
    if (GetEnabled()) {
        c->GetFont()->SetColor(textColor);
        c->TextRect(r, text, format);
    } else {
        TRect lit(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        c->GetFont()->SetColor(TColor(0xFFFFFF));
        c->TextRect(lit, text, format);
        text = caption;
        c->GetFont()->SetColor(TColor(0x808080));
        c->TextRect(r, text, format);
    }
    if (FFocused) {
        const int width = c->TextWidth(caption);
        c->DrawFocusRect(TRect(r.Left - 2, r.Top, r.Left + width + 1, r.Top + textHeight + 1));
    }
}
