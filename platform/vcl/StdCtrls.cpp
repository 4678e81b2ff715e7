#include "platform/vcl/StdCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TCustomLabel, QT_PROP(Alignment), QT_PROP(Layout), QT_PROP(WordWrap), QT_PROP(Transparent),
    QT_PROP(ShowAccelChar), QT_PROP(EllipsisPosition), QT_PROP(FocusControl), QT_PROP(GlowSize))
QT_PUBLISHED(TLabel)
QT_PUBLISHED(TButtonControl, QT_PROP(WordWrap))
QT_PUBLISHED(TButton, QT_PROP(Default), QT_PROP(Cancel), QT_PROP_T(ModalResult, u"TModalResult"))
QT_PUBLISHED(TCustomCheckBox, QT_PROP(State), QT_PROP(Checked), QT_PROP(AllowGrayed), QT_PROP_T(Alignment, u"TLeftRight"))
QT_PUBLISHED(TCheckBox)
QT_PUBLISHED(TRadioButton, QT_PROP(Checked), QT_PROP_T(Alignment, u"TLeftRight"))
QT_PUBLISHED(TCustomGroupBox)
QT_PUBLISHED(TGroupBox)
QT_PUBLISHED(TScrollBar, QT_PROP(Kind), QT_PROP(Min), QT_PROP(Max), QT_PROP(Position), QT_PROP(PageSize),
    QT_PROP(SmallChange), QT_PROP(LargeChange), QT_EVENT(OnChange), QT_EVENT_T(OnScroll, u"TScrollEvent"))

bool StyledElement(const TControl* Control, TStyleElement Element)
{
    return StyleServices()->GetEnabled() && (!Control || Control->GetStyleElements().Contains(Element));
}

TColor ControlColorToRGB(const TControl* Control, TColor Color, TStyleElement Element)
{
    return StyledElement(Control, Element) ? StyleColorToRGB(Color) : ColorToRGB(Color);
}

// ---- TCustomLabel ----

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    m_controlStyle.Include(csOpaque);
    m_controlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 17);
    m_autoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v)
{
    if (v == m_layout)
        return;
    m_layout = v;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool v)
{
    if (v == m_wordWrap)
        return;
    m_wordWrap = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v)
{
    if (v == m_transparent)
        return;
    m_transparent = v;
    if (v)
        m_controlStyle.Exclude(csOpaque);
    else
        m_controlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v)
{
    if (v == m_showAccelChar)
        return;
    m_showAccelChar = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition v)
{
    if (v == m_ellipsisPosition)
        return;
    m_ellipsisPosition = v;
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v)
{
    if (m_focusControl)
        m_focusControl->RemoveFreeNotification(this);
    m_focusControl = v;
    if (v)
        v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_focusControl)
        m_focusControl = nullptr;
}

void TCustomLabel::SetAutoSize(bool v)
{
    TGraphicControl::SetAutoSize(v);
    AdjustBounds();
}

UINT TCustomLabel::TextFlags() const
{
    static constexpr UINT align[] = { DT_LEFT, DT_RIGHT, DT_CENTER };
    UINT f = DT_EXPANDTABS | align[m_alignment];
    if (m_wordWrap)
        f |= DT_WORDBREAK;
    if (!m_showAccelChar)
        f |= DT_NOPREFIX;
    switch (m_ellipsisPosition) {
    case epPathEllipsis: f |= DT_PATH_ELLIPSIS; break;
    case epEndEllipsis: f |= DT_END_ELLIPSIS; break;
    case epWordEllipsis: f |= DT_WORD_ELLIPSIS; break;
    case epNone: break;
    }
    return f;
}

void TCustomLabel::DoDrawText(HDC DC, TRect& R, UINT Flags)
{
    String text = m_text;
    if ((Flags & DT_CALCRECT) && (text.empty() || (m_showAccelChar && text == u"&")))
        text += u' ';
    TFontSelection font(DC, m_font.get());
    SetBkMode(DC, TRANSPARENT);
    const bool styled = StyledElement(this, seFont);
    if ((Flags & DT_CALCRECT) == 0 && !IsEnabledInChain()) {
        if (styled) {
            SetTextColor(DC, COLORREF(StyleServices()->GetStyleFontColor(sfTextLabelDisabled)));
            ::DrawText(DC, text, &R, Flags);
            return;
        }
        // Classic disabled text: a highlight copy one pixel down and right.
        TRect shifted = R;
        shifted.Offset(1, 1);
        SetTextColor(DC, COLORREF(ColorToRGB(clBtnHighlight)));
        ::DrawText(DC, text, &shifted, Flags);
        SetTextColor(DC, COLORREF(ColorToRGB(clBtnShadow)));
        ::DrawText(DC, text, &R, Flags);
        return;
    }
    SetTextColor(DC, COLORREF(styled ? StyleServices()->GetStyleFontColor(sfTextLabelNormal) : ColorToRGB(m_font->GetColor())));
    ::DrawText(DC, text, &R, Flags);
}

void TCustomLabel::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    TRect client = GetClientRect();
    if (!m_transparent)
        FillSolid(dc, client, ControlColorToRGB(this, m_color));
    UINT flags = TextFlags();
    TRect r = client;
    if (m_layout != tlTop) {
        TRect calc = client;
        DoDrawText(dc, calc, (flags & ~(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) | DT_CALCRECT);
        const int dy = m_layout == tlBottom ? client.Height() - calc.Height() : (client.Height() - calc.Height()) / 2;
        r.Top += dy;
    }
    DoDrawText(dc, r, flags);
}

bool TCustomLabel::CanAutoSize(int& NewWidth, int& NewHeight)
{
    TMeasureDC dc;
    TRect r { 0, 0, m_wordWrap ? m_width : 0, 0 };
    DoDrawText(dc, r, (TextFlags() & ~(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) | DT_CALCRECT);
    if (!m_wordWrap)
        NewWidth = r.Width();
    NewHeight = r.Height();
    return true;
}

void TCustomLabel::AdjustBounds()
{
    if (!m_autoSize || GetComponentState().Contains(csLoading))
        return;
    int w = m_width, h = m_height;
    CanAutoSize(w, h);
    // A right-aligned label keeps its right edge.
    const int left = m_alignment == taRightJustify && !m_wordWrap ? m_left + m_width - w : m_left;
    SetBounds(left, m_top, w, h);
}

void TCustomLabel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        AdjustBounds();
        return;
    case CM_FONTCHANGED:
        TGraphicControl::Dispatch(Message);
        AdjustBounds();
        return;
    case CM_DIALOGCHAR:
        if (m_focusControl && m_showAccelChar && IsEnabledInChain() && IsAccel(WORD(Message.WParam), m_text)
            && m_focusControl->CanFocus()) {
            m_focusControl->SetFocus();
            Message.Result = 1;
        }
        return;
    case CM_STYLECHANGED:
        Invalidate();
        return;
    default:
        TGraphicControl::Dispatch(Message);
    }
}

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    // Clicks come from ButtonClicked (mouse, space bar, accelerator).
    m_controlStyle.Exclude(csClickEvents);
    m_controlStyle.Exclude(csDoubleClicks);
}

void TButtonControl::SetWordWrap(bool v)
{
    if (v == m_wordWrap)
        return;
    m_wordWrap = v;
    Invalidate();
}

void TButtonControl::SetPressedState(bool mouse, bool space)
{
    if (mouse == m_mousePressed && space == m_spacePressed)
        return;
    const bool was = IsPressed();
    m_mousePressed = mouse;
    m_spacePressed = space;
    if (was != IsPressed())
        Invalidate();
}

void TButtonControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDBLCLK:
        // A quick second click is another click, not a double click.
        Message.Msg = WM_LBUTTONDOWN;
        TCustomControl::Dispatch(Message);
        Message.Msg = WM_LBUTTONDBLCLK;
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), m_text) && CanFocus()) {
            SetFocus();
            if (Focused())
                ButtonClicked();
            Message.Result = 1;
        }
        return;
    case WM_KILLFOCUS:
        SetPressedState(m_mousePressed, false);
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    case CM_STYLECHANGED:
        Invalidate();
        return;
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TButtonControl::MouseEnter()
{
    m_hot = true;
    if (StyledElement(this, seClient))
        Invalidate();
    TCustomControl::MouseEnter();
}

void TButtonControl::MouseLeave()
{
    m_hot = false;
    if (StyledElement(this, seClient))
        Invalidate();
    TCustomControl::MouseLeave();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // Like every button of the window system, a click takes the focus.
    if (Button == mbLeft && CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft)
        SetPressedState(true, m_spacePressed);
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (m_controlState.Contains(csLButtonDown))
        SetPressedState(GetClientRect().Contains({ X, Y }), m_spacePressed);
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool click = Button == mbLeft && m_mousePressed && GetClientRect().Contains({ X, Y });
    if (Button == mbLeft)
        SetPressedState(false, m_spacePressed);
    if (click)
        ButtonClicked();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE && !Shift.Contains(ssAlt))
        SetPressedState(m_mousePressed, true);
    TCustomControl::KeyDown(Key, Shift);
}

void TButtonControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE && m_spacePressed) {
        SetPressedState(m_mousePressed, false);
        ButtonClicked();
    }
    TCustomControl::KeyUp(Key, Shift);
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::SetDefault(bool v)
{
    if (v == m_default)
        return;
    m_default = v;
    TCustomForm* form = GetParentForm(this);
    auto* focused = form ? dynamic_cast<TButton*>(form->GetActiveControl()) : nullptr;
    m_active = focused ? focused == this : v;
    Invalidate();
}

void TButton::Click()
{
    if (m_modalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(m_modalResult);
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGKEY: {
        const bool enter = Message.WParam == VK_RETURN && m_active;
        const bool escape = Message.WParam == VK_ESCAPE && m_cancel;
        if ((enter || escape) && IsShowing() && IsEnabledInChain()) {
            Click();
            Message.Result = 1;
        }
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), m_text) && CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    case CM_FOCUSCHANGED: {
        auto* focused = dynamic_cast<TButton*>(reinterpret_cast<TWinControl*>(Message.LParam));
        const bool active = focused ? focused == this : m_default;
        if (active != m_active) {
            m_active = active;
            Invalidate();
        }
        TButtonControl::Dispatch(Message);
        return;
    }
    default:
        TButtonControl::Dispatch(Message);
    }
}

void TButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    TRect r = GetClientRect();
    const bool enabled = IsEnabledInChain();
    const bool pressed = IsPressed();
    TColor text = ColorToRGB(m_font->GetColor());
    if (StyledElement(this, seClient)) {
        FillSolid(dc, r, ControlColorToRGB(m_parent, m_parent ? m_parent->GetColor() : clBtnFace));
        TCustomStyleServices* s = StyleServices();
        const TThemedButton part = !enabled ? tbPushButtonDisabled
            : pressed                       ? tbPushButtonPressed
            : IsHot()                       ? tbPushButtonHot
            : m_active || Focused()         ? tbPushButtonDefaulted
                                            : tbPushButtonNormal;
        s->DrawElement(dc, s->GetElementDetails(part), r);
        if (StyledElement(this, seFont))
            s->GetElementColor(s->GetElementDetails(part), ecTextColor, text);
    } else {
        if (m_active || Focused()) {
            FrameSolid(dc, r, ColorToRGB(clWindowFrame));
            r.Inflate(-1, -1);
        }
        if (pressed && (m_active || Focused())) {
            FillSolid(dc, r, ColorToRGB(clBtnFace));
            FrameSolid(dc, r, ColorToRGB(clBtnShadow));
        } else {
            RECT frame = r;
            DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
        }
        r = GetClientRect();
        if (!enabled)
            text = ColorToRGB(clGrayText);
    }
    TRect textRect = r;
    textRect.Inflate(-4, -4);
    if (pressed)
        textRect.Offset(1, 1);
    UINT flags = DT_CENTER | DT_EXPANDTABS;
    if (GetWordWrap()) {
        TRect calc = textRect;
        DrawTextIn(dc, m_font.get(), m_text, calc, flags | DT_WORDBREAK | DT_CALCRECT, text);
        textRect.Top += (textRect.Height() - calc.Height()) / 2;
        flags |= DT_WORDBREAK;
    } else {
        flags |= DT_VCENTER | DT_SINGLELINE;
    }
    if (!enabled && !StyledElement(this, seClient)) {
        TRect shifted = textRect;
        shifted.Offset(1, 1);
        DrawTextIn(dc, m_font.get(), m_text, shifted, flags, ColorToRGB(clBtnHighlight));
        text = ColorToRGB(clBtnShadow);
    }
    DrawTextIn(dc, m_font.get(), m_text, textRect, flags, text);
    if (Focused()) {
        TRect focus = GetClientRect();
        focus.Inflate(-4, -4);
        canvas->DrawFocusRect(focus);
    }
}

// ---- check box and radio button ----

namespace {

constexpr int GlyphSize = 13;

// Paints a check box or radio button: the glyph on one side, the caption on
// the other, the focus rectangle around the caption.
void PaintCheckLike(TButtonControl* c, TCanvas* canvas, bool radio, TCheckBoxState state, TLeftRight alignment,
    bool pressed, bool hot, bool focused, TFont* font, const String& caption)
{
    HDC dc = canvas->GetHandle();
    const TRect client = c->GetClientRect();
    FillSolid(dc, client, ControlColorToRGB(c, c->GetColor()));
    const bool enabled = c->IsEnabledInChain();
    const int top = (client.Height() - GlyphSize) / 2;
    const int left = alignment == taRightJustify ? 0 : client.Right - GlyphSize;
    TRect glyph { left, top, left + GlyphSize, top + GlyphSize };
    TColor text = ColorToRGB(font->GetColor());
    if (StyledElement(c, seClient)) {
        TCustomStyleServices* s = StyleServices();
        const int stateIndex = !enabled ? 3 : pressed ? 2 : hot ? 1 : 0;
        int part;
        if (radio)
            part = (state == cbChecked ? tbRadioButtonCheckedNormal : tbRadioButtonUncheckedNormal) + stateIndex;
        else
            part = (state == cbChecked ? tbCheckBoxCheckedNormal
                       : state == cbGrayed ? tbCheckBoxMixedNormal
                                           : tbCheckBoxUncheckedNormal)
                + stateIndex;
        const auto details = s->GetElementDetails(TThemedButton(part));
        s->DrawElement(dc, details, glyph);
        if (StyledElement(c, seFont))
            text = s->GetStyleFontColor(radio ? (enabled ? sfRadioButtonTextNormal : sfRadioButtonTextDisabled)
                                              : (enabled ? sfCheckBoxTextNormal : sfCheckBoxTextDisabled));
    } else {
        UINT flags = radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (state == cbChecked)
            flags |= DFCS_CHECKED;
        if (state == cbGrayed)
            flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (pressed)
            flags |= DFCS_PUSHED;
        if (!enabled)
            flags |= DFCS_INACTIVE;
        RECT g = glyph;
        DrawFrameControl(dc, &g, DFC_BUTTON, flags);
        if (!enabled)
            text = ColorToRGB(clGrayText);
    }
    TRect textRect = alignment == taRightJustify ? TRect { GlyphSize + 4, 0, client.Right, client.Bottom }
                                                 : TRect { 0, 0, client.Right - GlyphSize - 4, client.Bottom };
    const UINT flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    DrawTextIn(dc, font, caption, textRect, flags, text);
    if (focused && !caption.empty()) {
        TRect calc = textRect;
        DrawTextIn(dc, font, caption, calc, flags | DT_CALCRECT, text);
        const int h = calc.Height();
        TRect focus { textRect.Left - 1, (client.Height() - h) / 2 - 1, textRect.Left + calc.Width() + 1,
            (client.Height() - h) / 2 + h + 1 };
        canvas->DrawFocusRect(focus);
    }
}

} // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState v)
{
    if (v == m_state)
        return;
    m_state = v;
    Invalidate();
    Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    Invalidate();
}

void TCustomCheckBox::Toggle()
{
    switch (m_state) {
    case cbUnchecked: SetState(m_allowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::Paint()
{
    PaintCheckLike(this, GetCanvas(), false, m_state, m_alignment, IsPressed(), IsHot(), Focused(), m_font.get(), m_text);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool v)
{
    if (v == m_checked)
        return;
    m_checked = v;
    // Only the checked button of a group is a tab stop; arrows reach the rest.
    SetTabStop(v);
    Invalidate();
    if (!v)
        return;
    if (m_parent)
        for (int i = 0; i < m_parent->GetControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(m_parent->GetControl(i)); other && other != this)
                other->SetChecked(false);
    Click();
}

void TRadioButton::SetAlignment(TLeftRight v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    Invalidate();
}

void TRadioButton::DoEnter()
{
    TButtonControl::DoEnter();
    // Arriving by an arrow key selects the button, as in a dialog.
    const bool arrow = GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0 || GetKeyState(VK_UP) < 0
        || GetKeyState(VK_DOWN) < 0;
    if (arrow && !m_checked)
        SetChecked(true);
}

void TRadioButton::Paint()
{
    PaintCheckLike(this, GetCanvas(), true, m_checked ? cbChecked : cbUnchecked, m_alignment, IsPressed(), IsHot(),
        Focused(), m_font.get(), m_text);
}

// ---- TCustomGroupBox ----

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_controlStyle.Include(csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight()
{
    TMeasureDC dc;
    TFontSelection font(dc, m_font.get());
    SIZE s {};
    GetTextExtentPoint32(dc, u"0", 1, &s);
    return s.cy;
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += CaptionHeight();
    Rect.Inflate(-2, -2);
}

void TCustomGroupBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), m_text) && CanFocus()) {
            SelectNext(nullptr, true, true);
            Message.Result = 1;
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        Realign();
        Invalidate();
        return;
    case CM_STYLECHANGED:
        Invalidate();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TCustomGroupBox::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    const TColor back = ControlColorToRGB(this, m_color);
    FillSolid(dc, client, back);
    const int h = CaptionHeight();
    TRect frame { 0, h / 2, client.Right, client.Bottom };
    const bool styled = StyledElement(this, seClient);
    const bool enabled = IsEnabledInChain();
    TColor text = enabled ? ColorToRGB(m_font->GetColor()) : ColorToRGB(clGrayText);
    if (styled) {
        TCustomStyleServices* s = StyleServices();
        const auto details = s->GetElementDetails(enabled ? tbGroupBoxNormal : tbGroupBoxDisabled);
        s->DrawElement(dc, details, frame);
        if (StyledElement(this, seFont))
            text = s->GetStyleFontColor(enabled ? sfGroupBoxTextNormal : sfGroupBoxTextDisabled);
    } else {
        RECT r = frame;
        DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    }
    if (m_text.empty())
        return;
    TRect calc { 0, 0, 0, 0 };
    DrawTextIn(dc, m_font.get(), m_text, calc, DT_SINGLELINE | DT_CALCRECT, text);
    TRect caption { 8, 0, 8 + calc.Width() + 4, h };
    FillSolid(dc, caption, back);
    caption.Left += 2;
    DrawTextIn(dc, m_font.get(), m_text, caption, DT_SINGLELINE | DT_LEFT, text);
}

// ---- TScrollBar ----

namespace {
constexpr UINT_PTR ScrollRepeatTimer = 1;
} // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 121, 17);
    SetTabStop(true);
    m_controlStyle.Exclude(csDoubleClicks);
}

TScrollBar::~TScrollBar()
{
    StopRepeat();
}

void TScrollBar::SetKind(TScrollBarKind v)
{
    if (v == m_kind)
        return;
    m_kind = v;
    if (!GetComponentState().Contains(csLoading))
        SetBounds(m_left, m_top, m_height, m_width);
    Invalidate();
}

int TScrollBar::MaxPosition() const
{
    return m_pageSize > 0 ? std::max(m_min, m_max - m_pageSize + 1) : m_max;
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (AMax < AMin || (m_pageSize > 0 && std::int64_t(m_pageSize) > std::int64_t(AMax) - AMin + 1))
        throw EInvalidOperation(u"Scrollbar property out of range");
    const int maxPos = m_pageSize > 0 ? std::max(AMin, AMax - m_pageSize + 1) : AMax;
    APosition = std::clamp(APosition, AMin, maxPos);
    const bool moved = APosition != m_position;
    if (!moved && AMin == m_min && AMax == m_max)
        return;
    m_min = AMin;
    m_max = AMax;
    m_position = APosition;
    Invalidate();
    if (moved)
        Change();
}

void TScrollBar::SetPageSize(int v)
{
    if (v == m_pageSize)
        return;
    if (v < 0 || std::int64_t(v) > std::int64_t(m_max) - m_min + 1)
        throw EInvalidOperation(u"Scrollbar property out of range");
    m_pageSize = v;
    Invalidate();
    SetParams(m_position, m_min, m_max);
}

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    if (OnScroll)
        OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TScrollCode Code)
{
    std::int64_t pos = m_position;
    switch (Code) {
    case scLineUp: pos -= m_smallChange; break;
    case scLineDown: pos += m_smallChange; break;
    case scPageUp: pos -= m_largeChange; break;
    case scPageDown: pos += m_largeChange; break;
    case scPosition: case scTrack: pos = m_trackPos; break;
    case scTop: pos = m_min; break;
    case scBottom: pos = m_max; break;
    case scEndScroll: break;
    }
    int scrollPos = int(std::clamp<std::int64_t>(pos, m_min, MaxPosition()));
    Scroll(Code, scrollPos);
    SetPosition(scrollPos);
}

int TScrollBar::ArrowSize()
{
    return Horizontal() ? std::min(m_height, m_width / 2) : std::min(m_width, m_height / 2);
}

void TScrollBar::TrackExtent(int& start, int& length)
{
    const int arrow = ArrowSize();
    start = arrow;
    length = std::max(0, (Horizontal() ? m_width : m_height) - 2 * arrow);
}

void TScrollBar::ThumbExtent(int& start, int& length)
{
    int trackStart, trackLength;
    TrackExtent(trackStart, trackLength);
    start = trackStart;
    length = 0;
    if (!IsEnabledInChain() || m_max <= m_min)
        return;
    const std::int64_t range = std::int64_t(m_max) - m_min + 1;
    length = m_pageSize > 0 ? int(std::max<std::int64_t>(8, trackLength * std::int64_t(m_pageSize) / range))
                            : std::min(ArrowSize(), trackLength);
    length = std::min(length, trackLength);
    const std::int64_t span = std::int64_t(MaxPosition()) - m_min;
    if (span > 0)
        start += int((std::int64_t(m_position) - m_min) * (trackLength - length) / span);
}

TScrollBar::THit TScrollBar::HitAt(TPoint p)
{
    const int along = AlongOf(p);
    const int arrow = ArrowSize();
    const int len = Horizontal() ? m_width : m_height;
    if (along < arrow)
        return THit::Less;
    if (along >= len - arrow)
        return THit::More;
    int ts, tl;
    ThumbExtent(ts, tl);
    if (tl == 0)
        return THit::None;
    if (along < ts)
        return THit::PageLess;
    if (along >= ts + tl)
        return THit::PageMore;
    return THit::Thumb;
}

void TScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !IsEnabledInChain())
        return;
    if (m_tabStop && CanFocus() && !Focused())
        SetFocus();
    m_pressed = HitAt({ X, Y });
    m_pressPoint = { X, Y };
    switch (m_pressed) {
    case THit::Less: case THit::More: case THit::PageLess: case THit::PageMore:
        RepeatScroll();
        if (HandleAllocated()) {
            SetTimer(GetHandle(), ScrollRepeatTimer, 400, nullptr);
            m_repeating = true;
        }
        break;
    case THit::Thumb: {
        int ts, tl;
        ThumbExtent(ts, tl);
        m_dragOffset = AlongOf({ X, Y }) - ts;
        m_trackPos = m_position;
        break;
    }
    case THit::None: break;
    }
    Invalidate();
}

void TScrollBar::RepeatScroll()
{
    // Paging stops once the thumb has reached the pointer.
    if (HitAt(m_pressPoint) != m_pressed)
        return;
    switch (m_pressed) {
    case THit::Less: DoScroll(scLineUp); break;
    case THit::More: DoScroll(scLineDown); break;
    case THit::PageLess: DoScroll(scPageUp); break;
    case THit::PageMore: DoScroll(scPageDown); break;
    default: break;
    }
}

void TScrollBar::StopRepeat()
{
    if (m_repeating && HandleAllocated())
        KillTimer(GetHandle(), ScrollRepeatTimer);
    m_repeating = false;
}

void TScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (m_pressed != THit::Thumb && m_pressed != THit::None)
        m_pressPoint = { X, Y };
    if (m_pressed != THit::Thumb)
        return;
    int trackStart, trackLength, ts, tl;
    TrackExtent(trackStart, trackLength);
    ThumbExtent(ts, tl);
    const int room = trackLength - tl;
    const std::int64_t span = std::int64_t(MaxPosition()) - m_min;
    if (room <= 0 || span <= 0)
        return;
    const int offset = std::clamp(AlongOf({ X, Y }) - m_dragOffset - trackStart, 0, room);
    const int pos = m_min + int((offset * span + room / 2) / room);
    if (pos == m_trackPos)
        return;
    m_trackPos = pos;
    DoScroll(scTrack);
}

void TScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || m_pressed == THit::None)
        return;
    StopRepeat();
    if (m_pressed == THit::Thumb)
        DoScroll(scPosition);
    m_pressed = THit::None;
    DoScroll(scEndScroll);
    Invalidate();
}

void TScrollBar::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    TScrollCode code;
    switch (Key) {
    case VK_LEFT: case VK_UP: code = scLineUp; break;
    case VK_RIGHT: case VK_DOWN: code = scLineDown; break;
    case VK_PRIOR: code = scPageUp; break;
    case VK_NEXT: code = scPageDown; break;
    case VK_HOME: code = scTop; break;
    case VK_END: code = scBottom; break;
    default: return;
    }
    DoScroll(code);
    DoScroll(scEndScroll);
}

void TScrollBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_TIMER:
        if (Message.WParam == ScrollRepeatTimer) {
            if (m_pressed == THit::None || m_pressed == THit::Thumb) {
                StopRepeat();
                return;
            }
            SetTimer(GetHandle(), ScrollRepeatTimer, 50, nullptr);
            RepeatScroll();
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    case WM_CANCELMODE: case WM_CAPTURECHANGED:
        StopRepeat();
        TCustomControl::Dispatch(Message);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case CM_STYLECHANGED: case CM_ENABLEDCHANGED:
        Invalidate();
        TCustomControl::Dispatch(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TScrollBar::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    const TRect client = GetClientRect();
    const bool enabled = IsEnabledInChain() && m_max > m_min;
    const int arrow = ArrowSize();
    const bool h = Horizontal();
    const TRect less = h ? TRect { 0, 0, arrow, client.Bottom } : TRect { 0, 0, client.Right, arrow };
    const TRect more = h ? TRect { client.Right - arrow, 0, client.Right, client.Bottom }
                         : TRect { 0, client.Bottom - arrow, client.Right, client.Bottom };
    int trackStart, trackLength, ts, tl;
    TrackExtent(trackStart, trackLength);
    ThumbExtent(ts, tl);
    const TRect track = h ? TRect { trackStart, 0, trackStart + trackLength, client.Bottom }
                          : TRect { 0, trackStart, client.Right, trackStart + trackLength };
    const TRect thumb = h ? TRect { ts, 0, ts + tl, client.Bottom } : TRect { 0, ts, client.Right, ts + tl };
    if (StyledElement(this, seClient)) {
        TCustomStyleServices* s = StyleServices();
        auto arrowPart = [&](TThemedScrollBar normal, THit which) {
            return TThemedScrollBar(normal + (!enabled ? 3 : m_pressed == which ? 2 : 0));
        };
        s->DrawElement(dc, s->GetElementDetails(h ? tsUpperTrackHorzNormal : tsUpperTrackVertNormal), track);
        s->DrawElement(dc, s->GetElementDetails(arrowPart(h ? tsArrowBtnLeftNormal : tsArrowBtnUpNormal, THit::Less)), less);
        s->DrawElement(dc, s->GetElementDetails(arrowPart(h ? tsArrowBtnRightNormal : tsArrowBtnDownNormal, THit::More)), more);
        if (tl > 0)
            s->DrawElement(dc, s->GetElementDetails(arrowPart(h ? tsThumbBtnHorzNormal : tsThumbBtnVertNormal, THit::Thumb)),
                thumb);
        return;
    }
    FillDither(dc, track, ColorToRGB(clBtnFace), ColorToRGB(clBtnHighlight));
    auto drawArrow = [&](const TRect& r, UINT kind, THit which) {
        RECT rc = r;
        DrawFrameControl(dc, &rc, DFC_SCROLL, kind | (!enabled ? DFCS_INACTIVE : 0u) | (m_pressed == which ? DFCS_PUSHED : 0u));
    };
    drawArrow(less, h ? DFCS_SCROLLLEFT : DFCS_SCROLLUP, THit::Less);
    drawArrow(more, h ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN, THit::More);
    if (tl > 0) {
        RECT rc = thumb;
        DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (Focused() && tl > 0) {
        TRect focus = thumb;
        focus.Inflate(-2, -2);
        GetCanvas()->DrawFocusRect(focus);
    }
}
