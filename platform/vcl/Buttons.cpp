#include "platform/vcl/Buttons.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TSpeedButton, QT_PROP(Glyph), QT_PROP_T(NumGlyphs, u"TNumGlyphs"), QT_PROP(Flat), QT_PROP(GroupIndex),
    QT_PROP(Down), QT_PROP(AllowAllUp), QT_PROP(Layout), QT_PROP(Margin), QT_PROP(Spacing), QT_PROP(Transparent))

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), m_glyph(std::make_unique<TBitmap>())
{
    // Clicks come from MouseUp, so a grouped button can change first.
    m_controlStyle.Exclude(csClickEvents);
    m_controlStyle.Exclude(csDoubleClicks);
    m_glyph->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton()
{
    m_glyph->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(TBitmap* v)
{
    m_glyph->Assign(v);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs v)
{
    if (v < 1 || v > 4 || v == m_numGlyphs)
        return;
    m_numGlyphs = v;
    Invalidate();
}

void TSpeedButton::SetFlat(bool v)
{
    if (v == m_flat)
        return;
    m_flat = v;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int v)
{
    if (v == m_groupIndex)
        return;
    m_groupIndex = v;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool v)
{
    if (m_groupIndex == 0)
        v = false;
    if (v == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = v;
    if (v) {
        if (m_state == bsUp)
            Invalidate();
        m_state = bsExclusive;
    } else {
        m_state = bsUp;
        Repaint();
    }
    if (v)
        UpdateExclusive();
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool v)
{
    if (v == m_allowAllUp)
        return;
    m_allowAllUp = v;
    UpdateExclusive();
}

void TSpeedButton::SetLayout(TButtonLayout v)
{
    if (v == m_layout)
        return;
    m_layout = v;
    Invalidate();
}

void TSpeedButton::SetMargin(int v)
{
    if (v == m_margin || v < -1)
        return;
    m_margin = v;
    Invalidate();
}

void TSpeedButton::SetSpacing(int v)
{
    if (v == m_spacing)
        return;
    m_spacing = v;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool v)
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

void TSpeedButton::UpdateExclusive()
{
    if (m_groupIndex == 0 || !m_parent)
        return;
    TMessage msg { CM_BUTTONPRESSED, WPARAM(m_groupIndex), reinterpret_cast<LPARAM>(static_cast<TObject*>(this)), 0 };
    m_parent->Broadcast(msg);
}

void TSpeedButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED: {
        // Other button classes on the parent send the same message.
        auto* sender = dynamic_cast<TSpeedButton*>(reinterpret_cast<TObject*>(Message.LParam));
        if (sender && int(Message.WParam) == m_groupIndex && sender != this) {
            if (sender->m_down && m_down) {
                m_down = false;
                m_state = bsUp;
                Invalidate();
            }
            m_allowAllUp = sender->m_allowAllUp;
        }
        return;
    }
    case WM_LBUTTONDBLCLK:
        Message.Msg = WM_LBUTTONDOWN;
        TGraphicControl::Dispatch(Message);
        Message.Msg = WM_LBUTTONDBLCLK;
        if (m_down)
            DblClick();
        return;
    case CM_ENABLEDCHANGED:
        m_state = IsEnabledInChain() ? (m_down ? bsExclusive : bsUp) : bsDisabled;
        TGraphicControl::Dispatch(Message);
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), m_text) && IsEnabledInChain() && m_visible && m_parent
            && m_parent->IsShowing()) {
            Click();
            Message.Result = 1;
        }
        return;
    case CM_TEXTCHANGED: case CM_STYLECHANGED:
        Invalidate();
        return;
    default:
        TGraphicControl::Dispatch(Message);
    }
}

void TSpeedButton::MouseEnter()
{
    m_hot = true;
    if (m_flat || StyledElement(this, seClient))
        Invalidate();
    TGraphicControl::MouseEnter();
}

void TSpeedButton::MouseLeave()
{
    m_hot = false;
    if (m_flat || StyledElement(this, seClient))
        Invalidate();
    TGraphicControl::MouseLeave();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !IsEnabledInChain())
        return;
    if (!m_down) {
        m_state = bsDown;
        Invalidate();
    }
    m_dragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!m_dragging)
        return;
    TButtonState next = m_down ? bsExclusive : bsUp;
    if (GetClientRect().Contains({ X, Y }) && !m_down)
        next = bsDown;
    if (next != m_state) {
        m_state = next;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !m_dragging)
        return;
    m_dragging = false;
    const bool inside = GetClientRect().Contains({ X, Y });
    if (m_groupIndex == 0) {
        m_state = bsUp;
        Invalidate();
    } else if (inside) {
        SetDown(!m_down);
        m_state = m_down ? bsExclusive : bsUp;
        Invalidate();
    } else {
        m_state = m_down ? bsExclusive : bsUp;
        Invalidate();
    }
    if (inside)
        Click();
}

void TSpeedButton::CalcLayout(const TRect& client, TSize glyph, TSize text, TPoint& glyphPos, TPoint& textPos) const
{
    const bool horizontal = m_layout == blGlyphLeft || m_layout == blGlyphRight;
    const int avail = horizontal ? client.Width() : client.Height();
    const int g = horizontal ? glyph.cx : glyph.cy;
    const int t = horizontal ? text.cx : text.cy;
    int margin = m_margin;
    int spacing = (g == 0 || t == 0) ? 0 : m_spacing;
    if (margin == -1) {
        if (spacing == -1) {
            margin = spacing = (avail - g - t) / 3;
        } else {
            margin = (avail - g - spacing - t) / 2;
        }
    } else if (spacing == -1) {
        spacing = (avail - margin - g - t) / 2;
    }
    // Across the layout both are centred.
    glyphPos = { (client.Width() - glyph.cx) / 2, (client.Height() - glyph.cy) / 2 };
    textPos = { (client.Width() - text.cx) / 2, (client.Height() - text.cy) / 2 };
    switch (m_layout) {
    case blGlyphLeft:
        glyphPos.X = margin;
        textPos.X = margin + g + spacing;
        break;
    case blGlyphRight:
        glyphPos.X = client.Width() - margin - g;
        textPos.X = glyphPos.X - spacing - t;
        break;
    case blGlyphTop:
        glyphPos.Y = margin;
        textPos.Y = margin + g + spacing;
        break;
    case blGlyphBottom:
        glyphPos.Y = client.Height() - margin - g;
        textPos.Y = glyphPos.Y - spacing - t;
        break;
    }
}

std::unique_ptr<TBitmap> TSpeedButton::GlyphFor(TButtonState state)
{
    if (m_glyph->GetEmpty())
        return nullptr;
    const int w = m_glyph->GetWidth() / m_numGlyphs;
    const int h = m_glyph->GetHeight();
    if (w <= 0)
        return nullptr;
    int index = 0;
    switch (state) {
    case bsDisabled: index = m_numGlyphs > 1 ? 1 : 0; break;
    case bsDown: index = m_numGlyphs > 2 ? 2 : 0; break;
    case bsExclusive: index = m_numGlyphs > 3 ? 3 : 0; break;
    case bsUp: break;
    }
    const TColor transparent = m_glyph->GetTransparentColor();
    auto piece = std::make_unique<TBitmap>(w, h);
    piece->GetCanvas()->CopyRect({ 0, 0, w, h }, m_glyph->GetCanvas(), { index * w, 0, index * w + w, h });
    if (state == bsDisabled && m_numGlyphs == 1) {
        // No disabled image of its own: the glyph's shape in the shadow colour.
        TCanvas* c = piece->GetCanvas();
        const TColor shadow = ColorToRGB(clBtnShadow);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((c->GetPixel(x, y) & 0xFFFFFF) != (transparent & 0xFFFFFF))
                    c->SetPixel(x, y, shadow);
    }
    piece->SetTransparentColor(transparent);
    piece->SetTransparent(true);
    return piece;
}

void TSpeedButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    const bool enabled = IsEnabledInChain();
    const TButtonState state = !enabled ? bsDisabled : m_state;
    const bool pushed = state == bsDown || state == bsExclusive;
    const bool styled = StyledElement(this, seClient);
    if (!m_transparent || (!m_flat && !styled))
        FillSolid(dc, client, styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color));
    TColor text = enabled ? ColorToRGB(m_font->GetColor()) : ColorToRGB(clGrayText);
    if (styled) {
        TCustomStyleServices* s = StyleServices();
        TThemedElementDetails details;
        if (m_flat) {
            const TThemedToolBar part = !enabled ? ttbButtonDisabled
                : state == bsDown                ? ttbButtonPressed
                : state == bsExclusive           ? (m_hot ? ttbButtonCheckedHot : ttbButtonChecked)
                : m_hot                          ? ttbButtonHot
                                                 : ttbButtonNormal;
            details = s->GetElementDetails(part);
        } else {
            const TThemedButton part = !enabled ? tbPushButtonDisabled
                : pushed                        ? tbPushButtonPressed
                : m_hot                         ? tbPushButtonHot
                                                : tbPushButtonNormal;
            details = s->GetElementDetails(part);
        }
        s->DrawElement(dc, details, client);
        if (StyledElement(this, seFont))
            s->GetElementColor(details, ecTextColor, text);
    } else if (m_flat) {
        RECT r = client;
        if (pushed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (m_hot && enabled)
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    } else {
        RECT r = client;
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0u));
        if (state == bsExclusive) {
            TRect inner = client;
            inner.Inflate(-2, -2);
            FillDither(dc, inner, ColorToRGB(clBtnFace), ColorToRGB(clBtnHighlight));
        }
    }
    std::unique_ptr<TBitmap> glyph = GlyphFor(state);
    const TSize glyphSize = glyph ? TSize { glyph->GetWidth(), glyph->GetHeight() } : TSize {};
    TRect calc {};
    if (!m_text.empty())
        DrawTextIn(dc, m_font.get(), m_text, calc, DT_SINGLELINE | DT_CALCRECT, text);
    const TSize textSize { calc.Width(), calc.Height() };
    TPoint glyphPos, textPos;
    CalcLayout(client, glyphSize, textSize, glyphPos, textPos);
    const int shift = pushed ? 1 : 0;
    if (glyph)
        canvas->Draw(glyphPos.X + shift, glyphPos.Y + shift, glyph.get());
    if (!m_text.empty()) {
        TRect r { textPos.X + shift, textPos.Y + shift, textPos.X + shift + textSize.cx, textPos.Y + shift + textSize.cy };
        if (!enabled && !styled) {
            TRect lit = r;
            lit.Offset(1, 1);
            DrawTextIn(dc, m_font.get(), m_text, lit, DT_SINGLELINE, ColorToRGB(clBtnHighlight));
            text = ColorToRGB(clBtnShadow);
        }
        DrawTextIn(dc, m_font.get(), m_text, r, DT_SINGLELINE, text);
    }
}
