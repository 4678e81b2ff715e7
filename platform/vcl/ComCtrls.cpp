#include "platform/vcl/ComCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ComCtrlsInternal.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TToolButton, QT_PROP(Style), QT_PROP(ImageIndex), QT_PROP(Down), QT_PROP(Grouped), QT_PROP(AllowAllUp),
    QT_PROP(Wrap), QT_PROP(Indeterminate), QT_PROP(DropdownMenu), QT_EVENT(OnDropDown))
QT_PUBLISHED(TToolBar, QT_PROP(ButtonWidth), QT_PROP(ButtonHeight), QT_PROP(ShowCaptions), QT_PROP(Flat),
    QT_PROP(List), QT_PROP(Wrapable), QT_PROP(Indent), QT_PROP(Images), QT_PROP(DisabledImages), QT_PROP(HotImages))

namespace comctrls_detail {

TSize TextExtent(TFont* font, const String& text)
{
    if (text.empty())
        return {};
    TMeasureDC dc;
    TRect r {};
    DrawTextIn(dc, font, text, r, DT_SINGLELINE | DT_CALCRECT, 0);
    return { r.Width(), r.Height() };
}

} // namespace comctrls_detail

namespace {

constexpr int DropDownArrowWidth = 14;

} // namespace

// ---- TToolButton ----

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    m_width = 23;
    m_height = 22;
    // Clicks come from MouseUp, which knows about the arrow part.
    m_controlStyle = { csCaptureMouse, csSetCaption, csDoubleClicks };
}

TToolButton::~TToolButton()
{
    if (TToolBar* bar = GetToolBar())
        bar->RemoveButton(this);
}

TToolBar* TToolButton::GetToolBar() const
{
    return dynamic_cast<TToolBar*>(m_parent);
}

int TToolButton::GetIndex() const
{
    TToolBar* bar = GetToolBar();
    if (!bar)
        return -1;
    for (int i = 0; i < bar->GetButtonCount(); ++i)
        if (bar->GetButtons(i) == this)
            return i;
    return -1;
}

void TToolButton::SetParent(TWinControl* AParent)
{
    if (AParent == m_parent)
        return;
    if (TToolBar* old = GetToolBar())
        old->RemoveButton(this);
    TGraphicControl::SetParent(AParent);
    if (TToolBar* bar = GetToolBar())
        bar->InsertButton(this);
}

void TToolButton::Changed()
{
    if (TToolBar* bar = GetToolBar())
        bar->ArrangeButtons();
    Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle v)
{
    if (v == m_style)
        return;
    m_style = v;
    if (IsSeparator() && m_width == 23)
        m_width = 8;
    Changed();
}

void TToolButton::SetImageIndex(int v)
{
    if (v == m_imageIndex)
        return;
    m_imageIndex = v;
    Changed();
}

void TToolButton::SetDown(bool v)
{
    if (v == m_down)
        return;
    m_down = v;
    if (v && m_grouped)
        UpdateGroup();
    Invalidate();
}

void TToolButton::SetWrap(bool v)
{
    if (v == m_wrap)
        return;
    m_wrap = v;
    Changed();
}

void TToolButton::SetIndeterminate(bool v)
{
    if (v == m_indeterminate)
        return;
    m_indeterminate = v;
    Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* v)
{
    if (v == m_dropdownMenu)
        return;
    if (m_dropdownMenu)
        m_dropdownMenu->RemoveFreeNotification(this);
    m_dropdownMenu = v;
    if (v)
        v->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_dropdownMenu)
        m_dropdownMenu = nullptr;
}

// A group is the run of adjacent grouped check buttons around this one.
void TToolButton::UpdateGroup()
{
    TToolBar* bar = GetToolBar();
    if (!bar || m_style != tbsCheck)
        return;
    const int index = GetIndex();
    auto release = [&](int step) {
        for (int i = index + step; i >= 0 && i < bar->GetButtonCount(); i += step) {
            TToolButton* b = bar->GetButtons(i);
            if (!b->m_grouped || b->m_style != tbsCheck)
                break;
            if (b->m_down) {
                b->m_down = false;
                b->Invalidate();
            }
        }
    };
    release(-1);
    release(1);
}

TRect TToolButton::DropDownRect()
{
    if (m_style != tbsDropDown)
        return {};
    return { m_width - DropDownArrowWidth, 0, m_width, m_height };
}

bool TToolButton::CheckMenuDropdown()
{
    if (!m_dropdownMenu)
        return false;
    const TPoint p = ClientToScreen({ 0, m_height });
    m_dropdownMenu->Popup(p.X, p.Y);
    return true;
}

void TToolButton::Click()
{
    if (m_style == tbsCheck) {
        if (m_grouped && m_down && !m_allowAllUp) {
            // The down button of an exclusive group stays down.
        } else {
            SetDown(!m_down);
        }
    }
    TGraphicControl::Click();
}

void TToolButton::MouseEnter()
{
    m_hot = true;
    Invalidate();
    TGraphicControl::MouseEnter();
}

void TToolButton::MouseLeave()
{
    m_hot = false;
    Invalidate();
    TGraphicControl::MouseLeave();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !IsEnabledInChain() || IsSeparator())
        return;
    if (m_style == tbsDropDown && DropDownRect().Contains({ X, Y })) {
        m_arrowPressed = true;
        Invalidate();
        Update();
        if (OnDropDown)
            OnDropDown(this);
        SetMouseCapture(false);
        CheckMenuDropdown();
        m_arrowPressed = false;
        Invalidate();
        return;
    }
    m_pressed = true;
    Invalidate();
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft) || !GetMouseCapture())
        return;
    const bool inside = GetClientRect().Contains({ X, Y });
    if (inside != m_pressed) {
        m_pressed = inside;
        Invalidate();
    }
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    Invalidate();
    if (wasPressed && Button == mbLeft && GetClientRect().Contains({ X, Y }))
        Click();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        Changed();
        break;
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    case CM_VISIBLECHANGED:
        TGraphicControl::Dispatch(Message);
        if (TToolBar* bar = GetToolBar())
            bar->ArrangeButtons();
        return;
    }
    TGraphicControl::Dispatch(Message);
}

void TToolButton::Paint()
{
    TToolBar* bar = GetToolBar();
    HDC dc = GetCanvas()->GetHandle();
    const TRect client = GetClientRect();
    const bool styled = StyledElement(this, seClient);
    if (IsSeparator()) {
        if (m_style == tbsDivider) {
            RECT r { client.Width() / 2 - 1, 2, client.Width() / 2 + 1, client.Height() - 2 };
            if (styled)
                FillSolid(dc, r, StyleServices()->GetPalette().Border);
            else
                DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
        }
        return;
    }
    const bool enabled = IsEnabledInChain();
    const bool flat = !bar || bar->GetFlat();
    const bool pushed = m_pressed || m_down;
    TRect face = client;
    if (m_style == tbsDropDown)
        face.Right -= DropDownArrowWidth;
    TColor text = enabled ? ColorToRGB(m_font->GetColor()) : ColorToRGB(clGrayText);
    if (styled) {
        TCustomStyleServices* s = StyleServices();
        const TThemedToolBar part = !enabled ? ttbButtonDisabled
            : m_pressed                      ? ttbButtonPressed
            : m_down                         ? (m_hot ? ttbButtonCheckedHot : ttbButtonChecked)
            : m_hot                          ? ttbButtonHot
                                             : ttbButtonNormal;
        if (part != ttbButtonNormal || !flat)
            s->DrawElement(dc, s->GetElementDetails(part), client);
        if (StyledElement(this, seFont))
            text = s->GetStyleFontColor(!enabled ? sfToolItemTextDisabled
                    : pushed                     ? sfToolItemTextSelected
                    : m_hot                      ? sfToolItemTextHot
                                                 : sfToolItemTextNormal);
    } else {
        auto edge = [&](TRect r, bool down) {
            RECT rr = r;
            if (flat)
                DrawEdge(dc, &rr, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            else
                DrawEdge(dc, &rr, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        };
        if (m_down && !m_pressed) {
            TRect inner = face;
            inner.Inflate(-1, -1);
            FillDither(dc, inner, ColorToRGB(clBtnFace), ColorToRGB(clBtnHighlight));
        }
        if (pushed)
            edge(face, true);
        else if (!flat || (m_hot && enabled))
            edge(face, false);
        if (m_style == tbsDropDown && (!flat || m_hot || m_arrowPressed))
            edge({ face.Right, 0, client.Right, client.Bottom }, m_arrowPressed);
    }
    const int shift = pushed && !styled ? 1 : 0;
    if (m_style == tbsDropDown) {
        // A small downward triangle in the arrow part.
        const int cx = face.Right + DropDownArrowWidth / 2 + (m_arrowPressed ? 1 : 0);
        const int cy = client.Height() / 2 + (m_arrowPressed ? 1 : 0);
        for (int i = 0; i < 3; ++i)
            FillSolid(dc, { cx - 2 + i, cy - 1 + i, cx + 3 - i, cy + i }, text);
    }
    TCustomImageList* images = bar ? bar->GetImages() : nullptr;
    TCustomImageList* drawFrom = images;
    if (bar && !enabled && bar->GetDisabledImages())
        drawFrom = bar->GetDisabledImages();
    else if (bar && m_hot && enabled && bar->GetHotImages())
        drawFrom = bar->GetHotImages();
    const bool hasImage = drawFrom && m_imageIndex >= 0 && m_imageIndex < drawFrom->GetCount();
    const bool showCaption = bar && bar->GetShowCaptions() && !m_text.empty();
    const TSize imageSize = hasImage ? TSize { drawFrom->GetWidth(), drawFrom->GetHeight() } : TSize {};
    const TSize textSize = showCaption ? TextExtent(m_font.get(), m_text) : TSize {};
    const bool list = bar && bar->GetList();
    TPoint imagePos, textPos;
    if (list) {
        const int total = imageSize.cx + (hasImage && showCaption ? 4 : 0) + textSize.cx;
        int x = face.Left + (face.Width() - total) / 2;
        if (showCaption && hasImage)
            x = face.Left + 4;
        imagePos = { x, face.Top + (face.Height() - imageSize.cy) / 2 };
        textPos = { x + imageSize.cx + (hasImage ? 4 : 0), face.Top + (face.Height() - textSize.cy) / 2 };
    } else {
        const int total = imageSize.cy + (hasImage && showCaption ? 1 : 0) + textSize.cy;
        const int y = face.Top + (face.Height() - total) / 2;
        imagePos = { face.Left + (face.Width() - imageSize.cx) / 2, y };
        textPos = { face.Left + (face.Width() - textSize.cx) / 2, y + imageSize.cy + (hasImage ? 1 : 0) };
    }
    if (hasImage)
        drawFrom->Draw(GetCanvas(), imagePos.X + shift, imagePos.Y + shift, m_imageIndex, enabled || drawFrom != images);
    if (showCaption) {
        TRect r { textPos.X + shift, textPos.Y + shift, textPos.X + shift + textSize.cx,
            textPos.Y + shift + textSize.cy };
        if (!enabled && !styled) {
            TRect h = r;
            h.Offset(1, 1);
            DrawTextIn(dc, m_font.get(), m_text, h, DT_SINGLELINE, ColorToRGB(clBtnHighlight));
        }
        DrawTextIn(dc, m_font.get(), m_text, r, DT_SINGLELINE, text);
    }
}

// ---- TToolBar ----

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_align = alTop;
    m_width = 150;
    m_height = 29;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption };
    m_tabStop = false;
}

TToolBar::~TToolBar()
{
    // The buttons are freed by their owner.
    m_buttons.clear();
}

void TToolBar::InsertButton(TToolButton* Button)
{
    if (std::find(m_buttons.begin(), m_buttons.end(), Button) != m_buttons.end())
        return;
    m_buttons.push_back(Button);
    ArrangeButtons();
}

void TToolBar::RemoveButton(TToolButton* Button)
{
    auto it = std::find(m_buttons.begin(), m_buttons.end(), Button);
    if (it == m_buttons.end())
        return;
    m_buttons.erase(it);
    if (!(GetComponentState().Contains(csDestroying)))
        ArrangeButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == m_images)
        m_images = nullptr;
    if (AComponent == m_disabledImages)
        m_disabledImages = nullptr;
    if (AComponent == m_hotImages)
        m_hotImages = nullptr;
}

#define QT_TOOLBAR_SETTER(Name, field)                                                                               \
    void TToolBar::Set##Name(decltype(field) v)                                                                      \
    {                                                                                                                \
        if (v == field)                                                                                              \
            return;                                                                                                  \
        field = v;                                                                                                   \
        ArrangeButtons();                                                                                            \
        Invalidate();                                                                                                \
    }
QT_TOOLBAR_SETTER(ButtonWidth, m_buttonWidth)
QT_TOOLBAR_SETTER(ButtonHeight, m_buttonHeight)
QT_TOOLBAR_SETTER(ShowCaptions, m_showCaptions)
QT_TOOLBAR_SETTER(Flat, m_flat)
QT_TOOLBAR_SETTER(List, m_list)
QT_TOOLBAR_SETTER(Wrapable, m_wrapable)
QT_TOOLBAR_SETTER(Indent, m_indent)
#undef QT_TOOLBAR_SETTER

void TToolBar::SetImages(TCustomImageList* v)
{
    if (v == m_images)
        return;
    m_images = v;
    if (v)
        v->FreeNotification(this);
    ArrangeButtons();
    Invalidate();
}

void TToolBar::SetDisabledImages(TCustomImageList* v)
{
    m_disabledImages = v;
    if (v)
        v->FreeNotification(this);
    Invalidate();
}

void TToolBar::SetHotImages(TCustomImageList* v)
{
    m_hotImages = v;
    if (v)
        v->FreeNotification(this);
    Invalidate();
}

void TToolBar::SetAutoSize(bool v)
{
    TCustomControl::SetAutoSize(v);
    ArrangeButtons();
}

TSize TToolBar::ButtonExtent(TToolButton* Button)
{
    if (Button->IsSeparator())
        return { Button->m_width, m_buttonHeight };
    int w = m_buttonWidth;
    int h = m_buttonHeight;
    const TSize image = m_images ? TSize { m_images->GetWidth(), m_images->GetHeight() } : TSize {};
    if (m_showCaptions && !Button->m_text.empty()) {
        const TSize text = TextExtent(Button->GetFont(), Button->m_text);
        if (m_list) {
            w = std::max(w, image.cx + (image.cx ? 4 : 0) + text.cx + 8);
            h = std::max(h, std::max(image.cy, text.cy) + 6);
        } else {
            w = std::max(w, std::max(image.cx, text.cx) + 8);
            h = std::max(h, image.cy + text.cy + 7);
        }
    } else {
        w = std::max(w, image.cx + 7);
        h = std::max(h, image.cy + 6);
    }
    if (Button->m_style == tbsDropDown)
        w += DropDownArrowWidth;
    return { w, h };
}

void TToolBar::ArrangeButtons()
{
    if (m_arranging)
        return;
    m_arranging = true;
    struct Guard {
        bool& f;
        ~Guard() { f = false; }
    } guard { m_arranging };
    const int clientWidth = std::max(0, m_width - 2 * m_borderWidth);
    int rowHeight = 0;
    for (TToolButton* b : m_buttons)
        if (b->m_visible)
            rowHeight = std::max(rowHeight, ButtonExtent(b).cy);
    int x = m_indent;
    int y = 0;
    bool rowEmpty = true;
    for (TToolButton* b : m_buttons) {
        if (!b->m_visible)
            continue;
        TSize size = ButtonExtent(b);
        size.cy = rowHeight;
        if (!rowEmpty && m_wrapable && x + size.cx > clientWidth && !b->IsSeparator()) {
            x = m_indent;
            y += rowHeight;
        }
        b->SetBounds(x, y, size.cx, size.cy);
        x += size.cx;
        rowEmpty = false;
        if (b->m_wrap) {
            x = m_indent;
            y += rowHeight;
            rowEmpty = true;
        }
    }
    m_rowsHeight = (rowEmpty ? y : y + rowHeight);
    if (m_autoSize)
        AdjustSize();
}

bool TToolBar::CanAutoSize(int& NewWidth, int& NewHeight)
{
    (void)NewWidth;
    if (m_align == alLeft || m_align == alRight)
        return true;
    NewHeight = std::max(m_rowsHeight, m_buttonHeight) + 2 * m_borderWidth;
    return true;
}

void TToolBar::Dispatch(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    if (Message.Msg == WM_SIZE || Message.Msg == CM_FONTCHANGED)
        ArrangeButtons();
}

void TToolBar::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    const TRect r = GetClientRect();
    if (StyledElement(this, seClient)) {
        const TCustomStyleServices::TPalette& p = StyleServices()->GetPalette();
        FillSolid(dc, r, StyleServices()->GetStyleColor(scToolBarGradientBase) != clNone
                ? StyleServices()->GetStyleColor(scToolBarGradientBase)
                : p.Face);
        return;
    }
    FillSolid(dc, r, ColorToRGB(m_color));
}

