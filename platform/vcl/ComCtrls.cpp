#include "platform/vcl/ComCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TToolButton, QT_PROP(Style), QT_PROP(ImageIndex), QT_PROP(Down), QT_PROP(Grouped), QT_PROP(AllowAllUp),
    QT_PROP(Wrap), QT_PROP(Indeterminate), QT_PROP(DropdownMenu), QT_EVENT(OnDropDown))
QT_PUBLISHED(TToolBar, QT_PROP(ButtonWidth), QT_PROP(ButtonHeight), QT_PROP(ShowCaptions), QT_PROP(Flat),
    QT_PROP(List), QT_PROP(Wrapable), QT_PROP(Indent), QT_PROP(Images), QT_PROP(DisabledImages), QT_PROP(HotImages))
QT_PUBLISHED(TCoolBand, QT_PROP(Control), QT_PROP(Text), QT_PROP(Width), QT_PROP(MinHeight), QT_PROP(Break),
    QT_PROP(Visible))
QT_PUBLISHED(TCoolBands)
QT_PUBLISHED(TCoolBar, QT_PROP(Bands), QT_PROP(ShowText), QT_PROP(FixedSize))
QT_PUBLISHED(TStatusPanel, QT_PROP(Text), QT_PROP(Width), QT_PROP(Alignment), QT_PROP(Style), QT_PROP(Bevel))
QT_PUBLISHED(TStatusPanels)
QT_PUBLISHED(TStatusBar, QT_PROP(Panels), QT_PROP(SimplePanel), QT_PROP(SimpleText), QT_PROP(SizeGrip),
    QT_EVENT(OnDrawPanel))
// The page control is not published: its class and this one refer to each other.
QT_PUBLISHED(TTabSheet, QT_PROP(PageIndex), QT_PROP(TabVisible), QT_PROP(ImageIndex))
QT_PUBLISHED(TPageControl, QT_PROP(ActivePage), QT_PROP(Images), QT_EVENT(OnChange), QT_EVENT(OnChanging))

namespace {

TSize TextExtent(TFont* font, const String& text)
{
    if (text.empty())
        return {};
    TMeasureDC dc;
    TRect r {};
    DrawTextIn(dc, font, text, r, DT_SINGLELINE | DT_CALCRECT, 0);
    return { r.Width(), r.Height() };
}

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

// ---- TCoolBar ----

TCoolBand::TCoolBand(TCollection* Collection) : TCollectionItem(Collection) { }

TCoolBand::~TCoolBand()
{
    if (m_control)
        m_control->RemoveFreeNotification(GetCoolBar());
}

TCoolBar* TCoolBand::GetCoolBar() const
{
    auto* bands = dynamic_cast<TCoolBands*>(GetCollection());
    return bands ? static_cast<TCoolBar*>(bands->GetOwner()) : nullptr;
}

void TCoolBand::SetControl(TWinControl* v)
{
    if (v == m_control)
        return;
    TCoolBar* bar = GetCoolBar();
    m_control = v;
    if (v && bar) {
        // One band per control: another band hosting it lets go.
        for (int i = 0; i < bar->GetBands()->GetCount(); ++i) {
            TCoolBand* other = bar->GetBands()->GetItem(i);
            if (other != this && other->m_control == v)
                other->m_control = nullptr;
        }
        v->FreeNotification(bar);
        if (v->GetParent() != bar)
            v->SetParent(bar);
    }
    Changed(false);
}

void TCoolBand::SetText(const String& v)
{
    if (v == m_text)
        return;
    m_text = v;
    Changed(false);
}
void TCoolBand::SetWidth(int v)
{
    if (v == m_width)
        return;
    m_width = v;
    Changed(false);
}
void TCoolBand::SetMinHeight(int v)
{
    if (v == m_minHeight)
        return;
    m_minHeight = v;
    Changed(false);
}
void TCoolBand::SetBreak(bool v)
{
    if (v == m_break)
        return;
    m_break = v;
    Changed(false);
}
void TCoolBand::SetVisible(bool v)
{
    if (v == m_visible)
        return;
    m_visible = v;
    if (m_control)
        m_control->SetVisible(v);
    Changed(false);
}

void TCoolBand::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TCoolBand*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    m_text = s->m_text;
    m_width = s->m_width;
    m_minHeight = s->m_minHeight;
    m_break = s->m_break;
    m_visible = s->m_visible;
    Changed(false);
}

TCoolBands::TCoolBands(TCoolBar* Owner) : TOwnedCollection(Owner, TCoolBand::StaticClassInfo()), m_coolBar(Owner)
{
}

TCoolBand* TCoolBands::FindBand(TControl* Control) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetItem(i)->GetControl() == Control)
            return GetItem(i);
    return nullptr;
}

void TCoolBands::Update(TCollectionItem*)
{
    if (m_coolBar)
        m_coolBar->ArrangeBands();
}

TCoolBar::TCoolBar(TComponent* AOwner) : TCustomControl(AOwner), m_bands(std::make_unique<TCoolBands>(this))
{
    m_align = alTop;
    m_width = 150;
    m_height = 75;
    m_autoSize = false;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption };
}

TCoolBar::~TCoolBar()
{
    m_bands.reset();
}

void TCoolBar::SetShowText(bool v)
{
    if (v == m_showText)
        return;
    m_showText = v;
    ArrangeBands();
}

void TCoolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && m_bands)
        for (int i = 0; i < m_bands->GetCount(); ++i)
            if (m_bands->GetItem(i)->m_control == AComponent) {
                m_bands->GetItem(i)->m_control = nullptr;
                ArrangeBands();
            }
}

int TCoolBar::TextWidth(const String& Text)
{
    if (!m_showText || Text.empty())
        return 0;
    return TextExtent(m_font.get(), Text).cx + 6;
}

void TCoolBar::ArrangeBands()
{
    if (m_arranging || !m_bands)
        return;
    m_arranging = true;
    struct Guard {
        bool& f;
        ~Guard() { f = false; }
    } guard { m_arranging };
    // Rows of bands: a band with Break (or the first) opens a row; the last
    // band of a row takes what is left of the width.
    std::vector<std::vector<TCoolBand*>> rows;
    for (int i = 0; i < m_bands->GetCount(); ++i) {
        TCoolBand* b = m_bands->GetItem(i);
        if (!b->m_visible)
            continue;
        if (rows.empty() || b->m_break)
            rows.emplace_back();
        rows.back().push_back(b);
    }
    const int width = GetClientWidth();
    int y = 0;
    for (auto& row : rows) {
        int rowHeight = 0;
        for (TCoolBand* b : row)
            rowHeight = std::max({ rowHeight, b->m_minHeight, b->m_control ? b->m_control->GetHeight() : 0 });
        int x = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            TCoolBand* b = row[i];
            const bool last = i + 1 == row.size();
            const int w = last ? std::max(0, width - x) : std::max(b->m_width, GripperWidth + TextWidth(b->m_text));
            b->m_bandRect = { x, y, x + w, y + rowHeight + 4 };
            if (b->m_control) {
                const int left = x + GripperWidth + TextWidth(b->m_text);
                b->m_control->SetBounds(left, y + 2, std::max(0, x + w - left - 2), rowHeight);
            }
            x += w;
        }
        y += rowHeight + 4;
    }
    m_rowsHeight = y;
    if (m_autoSize)
        AdjustSize();
    Invalidate();
}

bool TCoolBar::CanAutoSize(int& NewWidth, int& NewHeight)
{
    (void)NewWidth;
    NewHeight = m_rowsHeight;
    return true;
}

void TCoolBar::AlignControls(TControl* AControl, TRect& Rect)
{
    TCustomControl::AlignControls(AControl, Rect);
    ArrangeBands();
}

void TCoolBar::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    const bool styled = StyledElement(this, seClient);
    auto rgb = [&](TColor c) { return styled ? StyleColorToRGB(c) : ColorToRGB(c); };
    FillSolid(dc, GetClientRect(), rgb(m_color));
    for (int i = 0; i < m_bands->GetCount(); ++i) {
        TCoolBand* b = m_bands->GetItem(i);
        if (!b->m_visible)
            continue;
        TRect r = b->m_bandRect;
        RECT frame = r;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        // The gripper: two raised bars.
        for (int k = 0; k < 2; ++k) {
            RECT g { r.Left + 2 + 3 * k, r.Top + 3, r.Left + 5 + 3 * k, r.Bottom - 3 };
            DrawEdge(dc, &g, BDR_RAISEDINNER, BF_RECT);
        }
        if (m_showText && !b->m_text.empty()) {
            TRect t { r.Left + GripperWidth, r.Top, r.Right, r.Bottom };
            DrawTextIn(dc, m_font.get(), b->m_text, t, DT_SINGLELINE | DT_VCENTER, rgb(m_font->GetColor()));
        }
    }
}

// ---- TStatusBar ----

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) { }

void TStatusPanel::SetText(const String& v)
{
    if (v == m_text)
        return;
    m_text = v;
    Changed(false);
}

void TStatusPanel::SetWidth(int v)
{
    if (v == m_width)
        return;
    m_width = v;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v)
{
    if (v == m_style)
        return;
    m_style = v;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v)
{
    if (v == m_bevel)
        return;
    m_bevel = v;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TStatusPanel*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    m_text = s->m_text;
    m_width = s->m_width;
    m_alignment = s->m_alignment;
    m_style = s->m_style;
    m_bevel = s->m_bevel;
    Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar* Owner)
    : TOwnedCollection(Owner, TStatusPanel::StaticClassInfo()), m_statusBar(Owner)
{
}

void TStatusPanels::Update(TCollectionItem*)
{
    if (m_statusBar)
        m_statusBar->PanelsChanged();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), m_panels(std::make_unique<TStatusPanels>(this))
{
    m_align = alBottom;
    m_width = 200;
    m_height = 19;
    m_parentFont = false;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque };
}

TStatusBar::~TStatusBar()
{
    m_panels.reset();
}

void TStatusBar::SetSimplePanel(bool v)
{
    if (v == m_simplePanel)
        return;
    m_simplePanel = v;
    Invalidate();
}

void TStatusBar::SetSimpleText(const String& v)
{
    if (v == m_simpleText)
        return;
    m_simpleText = v;
    if (m_simplePanel)
        Invalidate();
}

void TStatusBar::SetSizeGrip(bool v)
{
    if (v == m_sizeGrip)
        return;
    m_sizeGrip = v;
    Invalidate();
}

void TStatusBar::SetAcceptsControls(bool v)
{
    if (v)
        m_controlStyle.Include(csAcceptsControls);
    else
        m_controlStyle.Exclude(csAcceptsControls);
}

void TStatusBar::PanelsChanged()
{
    Invalidate();
}

// The grip shows only when it can resize something: on a bar at the bottom
// of a sizeable form.
bool TStatusBar::ShowsSizeGrip() const
{
    if (!m_sizeGrip)
        return false;
    TCustomForm* form = GetParentForm(const_cast<TStatusBar*>(this));
    if (!form || form->GetBorderStyle() != bsSizeable || form->GetWindowState() == wsMaximized)
        return false;
    return m_parent == form && m_align == alBottom;
}

TRect TStatusBar::GripRect()
{
    const TRect c = GetClientRect();
    const int size = std::min(c.Height(), 16);
    return { c.Right - size, c.Bottom - size, c.Right, c.Bottom };
}

TRect TStatusBar::PanelRect(int Index)
{
    const TRect c = GetClientRect();
    if (m_simplePanel)
        return Index == 0 ? c : TRect {};
    if (Index < 0 || Index >= m_panels->GetCount())
        return {};
    int left = 0;
    for (int i = 0; i < Index; ++i)
        left += std::max(0, m_panels->GetItem(i)->GetWidth());
    int right = left + std::max(0, m_panels->GetItem(Index)->GetWidth());
    if (Index == m_panels->GetCount() - 1)
        right = std::max(right, c.Right - (ShowsSizeGrip() ? GripRect().Width() : 0));
    return { left, c.Top + 2, right, c.Bottom };
}

int TStatusBar::PanelAt(TPoint P)
{
    const int count = m_simplePanel ? 1 : m_panels->GetCount();
    for (int i = 0; i < count; ++i)
        if (PanelRect(i).Contains(P))
            return i;
    return -1;
}

void TStatusBar::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_NCHITTEST) {
        TCustomControl::Dispatch(Message);
        // The grip resizes the form.
        if (ShowsSizeGrip()) {
            const TPoint p = ScreenToClient({ short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)) });
            if (GripRect().Contains(p))
                Message.Result = HTBOTTOMRIGHT;
        }
        return;
    }
    TCustomControl::Dispatch(Message);
    if (Message.Msg == WM_SIZE)
        Invalidate();
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect)
{
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
}

void TStatusBar::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    const TRect c = GetClientRect();
    const bool styled = StyledElement(this, seClient);
    auto rgb = [&](TColor col) { return styled ? StyleColorToRGB(col) : ColorToRGB(col); };
    FillSolid(dc, c, rgb(m_color));
    const bool enabled = IsEnabledInChain();
    TColor text = enabled ? rgb(m_font->GetColor()) : rgb(clGrayText);
    if (StyledElement(this, seFont))
        text = StyleServices()->GetStyleFontColor(enabled ? sfStatusPanelTextNormal : sfStatusPanelTextDisabled);
    auto frame = [&](TRect r, TStatusPanelBevel bevel) {
        if (bevel == pbNone)
            return;
        if (styled) {
            FrameSolid(dc, r, StyleServices()->GetPalette().Border);
            return;
        }
        RECT rr = r;
        DrawEdge(dc, &rr, bevel == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    };
    if (m_simplePanel) {
        TRect r = PanelRect(0);
        frame(r, pbLowered);
        r.Inflate(-3, -1);
        DrawTextIn(dc, m_font.get(), m_simpleText, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, text);
    } else {
        static constexpr UINT horizontal[] = { DT_LEFT, DT_RIGHT, DT_CENTER };
        for (int i = 0; i < m_panels->GetCount(); ++i) {
            TStatusPanel* panel = m_panels->GetItem(i);
            TRect r = PanelRect(i);
            if (r.IsEmpty())
                continue;
            TRect inner { r.Left, r.Top, r.Right - 2, r.Bottom };
            frame(inner, panel->GetBevel());
            inner.Inflate(-1, -1);
            if (panel->GetStyle() == psOwnerDraw) {
                canvas->GetFont()->Assign(m_font.get());
                canvas->GetBrush()->SetColor(m_color);
                DrawPanel(panel, inner);
                continue;
            }
            inner.Inflate(-2, 0);
            DrawTextIn(dc, m_font.get(), panel->GetText(), inner,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS | horizontal[panel->GetAlignment()], text);
        }
    }
    if (ShowsSizeGrip()) {
        RECT g = GripRect();
        if (styled)
            StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(tsGripper), GripRect());
        else
            DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_align = alClient;
    m_visible = false;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption };
}

TTabSheet::~TTabSheet()
{
    if (m_pageControl)
        m_pageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v)
{
    if (v == m_pageControl)
        return;
    if (m_pageControl)
        m_pageControl->RemovePage(this);
    SetParent(v);
    if (v)
        v->InsertPage(this);
}

int TTabSheet::GetPageIndex() const
{
    if (!m_pageControl)
        return -1;
    const auto& pages = m_pageControl->m_pages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v)
{
    if (!m_pageControl)
        return;
    auto& pages = m_pageControl->m_pages;
    v = std::clamp(v, 0, int(pages.size()) - 1);
    pages.erase(pages.begin() + GetPageIndex());
    pages.insert(pages.begin() + v, this);
    m_pageControl->Invalidate();
}

void TTabSheet::SetTabVisible(bool v)
{
    if (v == m_tabVisible)
        return;
    m_tabVisible = v;
    if (m_pageControl) {
        if (!v && m_pageControl->m_activePage == this)
            m_pageControl->SetActivePage(m_pageControl->FindNextPage(this, true, true));
        m_pageControl->Realign();
        m_pageControl->Invalidate();
    }
}

int TTabSheet::GetTabIndex() const
{
    if (!m_pageControl || !m_tabVisible)
        return -1;
    int index = 0;
    for (TTabSheet* p : m_pageControl->m_pages) {
        if (p == this)
            return index;
        if (p->m_tabVisible)
            ++index;
    }
    return -1;
}

void TTabSheet::SetImageIndex(int v)
{
    m_imageIndex = v;
    if (m_pageControl)
        m_pageControl->Invalidate();
}

void TTabSheet::Dispatch(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && m_pageControl)
        m_pageControl->Invalidate();
}

void TTabSheet::Paint()
{
    const bool styled = StyledElement(this, seClient);
    FillSolid(GetCanvas()->GetHandle(), GetClientRect(), styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color));
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_width = 289;
    m_height = 193;
    m_tabStop = true;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks };
}

TPageControl::~TPageControl()
{
    for (TTabSheet* p : m_pages)
        p->m_pageControl = nullptr;
    m_pages.clear();
    m_activePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    if (std::find(m_pages.begin(), m_pages.end(), Page) != m_pages.end())
        return;
    m_pages.push_back(Page);
    Page->m_pageControl = this;
    if (!m_activePage && Page->m_tabVisible)
        SetActivePage(Page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(m_pages.begin(), m_pages.end(), Page);
    if (it == m_pages.end())
        return;
    TTabSheet* next = m_activePage == Page ? FindNextPage(Page, true, true) : m_activePage;
    m_pages.erase(it);
    Page->m_pageControl = nullptr;
    if (next == Page)
        next = nullptr;
    if (m_activePage == Page)
        m_activePage = nullptr;
    if (!GetComponentState().Contains(csDestroying))
        SetActivePage(next);
    Invalidate();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_images)
        m_images = nullptr;
}

void TPageControl::SetImages(TCustomImageList* v)
{
    m_images = v;
    if (v)
        v->FreeNotification(this);
    Invalidate();
}

int TPageControl::GetActivePageIndex() const
{
    return m_activePage ? m_activePage->GetPageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int v)
{
    SetActivePage(v >= 0 && v < GetPageCount() ? m_pages[std::size_t(v)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* v)
{
    if (v && v->m_pageControl != this)
        return;
    if (v == m_activePage)
        return;
    // The focus leaves a page that is hidden.
    TCustomForm* form = GetParentForm(this);
    if (form && m_activePage && m_activePage->ContainsControl(form->GetActiveControl()))
        form->SetActiveControl(this->CanFocus() ? this : nullptr);
    m_activePage = v;
    ShowActivePage();
}

void TPageControl::ShowActivePage()
{
    for (TTabSheet* p : m_pages)
        if (p != m_activePage)
            p->SetVisible(false);
    if (m_activePage) {
        m_activePage->SetVisible(true);
        m_activePage->BringToFront();
    }
    Realign();
    Invalidate();
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const
{
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* p : m_pages)
        if (p->m_tabVisible)
            tabs.push_back(p);
    return tabs;
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible)
{
    const int count = GetPageCount();
    if (count == 0)
        return nullptr;
    auto it = std::find(m_pages.begin(), m_pages.end(), CurrentPage);
    int start = it == m_pages.end() ? (GoForward ? count - 1 : 0) : int(it - m_pages.begin());
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* p = m_pages[std::size_t(i)];
        if (!CheckTabVisible || p->m_tabVisible)
            return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    TTabSheet* page = FindNextPage(m_activePage, GoForward, CheckTabVisible);
    if (page && page != m_activePage)
        ChangeActivePageByUser(page);
}

bool TPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TPageControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TPageControl::ChangeActivePageByUser(TTabSheet* Page)
{
    if (Page == m_activePage || !CanChange())
        return;
    SetActivePage(Page);
    Change();
}

int TPageControl::GetTabHeight()
{
    return std::max(TextExtent(m_font.get(), u"Ag").cy, m_images ? m_images->GetHeight() : 0) + 6;
}

TRect TPageControl::TabRect(int TabIndex)
{
    const std::vector<TTabSheet*> tabs = VisibleTabs();
    if (TabIndex < 0 || TabIndex >= int(tabs.size()))
        return {};
    const int height = GetTabHeight();
    int x = 2;
    for (int i = 0; i < int(tabs.size()); ++i) {
        const int imageWidth = m_images && tabs[std::size_t(i)]->m_imageIndex >= 0 ? m_images->GetWidth() + 3 : 0;
        const int w = TextExtent(m_font.get(), tabs[std::size_t(i)]->GetCaption()).cx + imageWidth + 12;
        if (i == TabIndex)
            return { x, 2, x + w, 2 + height };
        x += w;
    }
    return {};
}

int TPageControl::IndexOfTabAt(int X, int Y)
{
    const int count = int(VisibleTabs().size());
    for (int i = 0; i < count; ++i)
        if (TabRect(i).Contains({ X, Y }))
            return i;
    return -1;
}

void TPageControl::AdjustClientRect(TRect& Rect)
{
    Rect = GetClientRect();
    if (!VisibleTabs().empty())
        Rect.Top += GetTabHeight() + 2;
    Rect.Inflate(-4, -4);
    Rect.Top -= 2;
    if (Rect.Right < Rect.Left)
        Rect.Right = Rect.Left;
    if (Rect.Bottom < Rect.Top)
        Rect.Bottom = Rect.Top;
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int tab = IndexOfTabAt(X, Y);
    if (tab < 0)
        return;
    if (CanFocus())
        SetFocus();
    ChangeActivePageByUser(VisibleTabs()[std::size_t(tab)]);
}

void TPageControl::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_TAB && Shift.Contains(ssCtrl)) {
        SelectNextPage(!Shift.Contains(ssShift));
        Key = 0;
    } else if (Focused() && (Key == VK_LEFT || Key == VK_RIGHT) && Shift.Empty()) {
        SelectNextPage(Key == VK_RIGHT);
        Key = 0;
    }
}

void TPageControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS;
        return;
    }
    TCustomControl::Dispatch(Message);
    if (Message.Msg == CM_FONTCHANGED || Message.Msg == WM_SIZE) {
        Realign();
        Invalidate();
    }
}

void TPageControl::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    const TRect c = GetClientRect();
    const bool styled = StyledElement(this, seClient);
    auto rgb = [&](TColor col) { return styled ? StyleColorToRGB(col) : ColorToRGB(col); };
    TColor parentBack = m_parent ? rgb(m_parent->GetColor()) : rgb(clBtnFace);
    FillSolid(dc, c, parentBack);
    const std::vector<TTabSheet*> tabs = VisibleTabs();
    const int tabHeight = tabs.empty() ? 0 : GetTabHeight();
    TRect body { c.Left, c.Top + (tabs.empty() ? 0 : tabHeight + 2), c.Right, c.Bottom };
    TCustomStyleServices* s = StyleServices();
    if (styled) {
        s->DrawElement(dc, s->GetElementDetails(ttPane), body);
    } else {
        FillSolid(dc, body, ColorToRGB(clBtnFace));
        RECT rb = body;
        DrawEdge(dc, &rb, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    const bool enabled = IsEnabledInChain();
    for (int i = 0; i < int(tabs.size()); ++i) {
        TTabSheet* page = tabs[std::size_t(i)];
        const bool active = page == m_activePage;
        TRect r = TabRect(i);
        if (active)
            r = { r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 3 };
        TColor text = enabled ? rgb(m_font->GetColor()) : rgb(clGrayText);
        if (styled) {
            s->DrawElement(dc, s->GetElementDetails(active ? ttTabItemSelected : ttTabItemNormal), r);
            if (StyledElement(this, seFont))
                text = s->GetStyleFontColor(active ? sfTabTextActiveNormal : sfTabTextInactiveNormal);
        } else {
            FillSolid(dc, r, ColorToRGB(clBtnFace));
            RECT rr = r;
            DrawEdge(dc, &rr, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
        }
        TRect t = r;
        t.Left += 6;
        if (m_images && page->m_imageIndex >= 0) {
            m_images->Draw(GetCanvas(), t.Left, t.Top + (t.Height() - m_images->GetHeight()) / 2, page->m_imageIndex,
                enabled);
            t.Left += m_images->GetWidth() + 3;
        }
        DrawTextIn(dc, m_font.get(), page->GetCaption(), t, DT_SINGLELINE | DT_VCENTER, text);
        if (active && Focused()) {
            RECT f { r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3 };
            DrawFocusRect(dc, &f);
        }
    }
}
