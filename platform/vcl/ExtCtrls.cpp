#include "platform/vcl/ExtCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TCustomPanel, QT_PROP(Alignment), QT_PROP(VerticalAlignment), QT_PROP_T(BevelInner, u"TPanelBevel"),
    QT_PROP_T(BevelOuter, u"TPanelBevel"), QT_PROP_T(BevelWidth, u"TBevelWidth"), QT_PROP(BorderStyle),
    QT_PROP(ParentBackground), QT_PROP(ShowCaption), QT_PROP(FullRepaint))
QT_PUBLISHED(TPanel)
namespace ExtCtrls {
QT_PUBLISHED(TImage, QT_PROP(Picture), QT_PROP(Stretch), QT_PROP(Center), QT_PROP(Proportional),
    QT_PROP(Transparent), QT_EVENT(OnProgress))
}
QT_PUBLISHED(TShape, QT_PROP(Shape), QT_PROP(Pen), QT_PROP(Brush))
QT_PUBLISHED(TBevel, QT_PROP(Shape), QT_PROP(Style))

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_controlStyle.Include(csAcceptsControls);
    m_controlStyle.Include(csOpaque);
    m_controlStyle.Include(csParentBackground);
    m_parentColor = false;
    m_color = clBtnFace;
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetAlignment(TAlignment v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment v)
{
    if (v == m_verticalAlignment)
        return;
    m_verticalAlignment = v;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut v)
{
    if (v == m_bevelInner)
        return;
    m_bevelInner = v;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut v)
{
    if (v == m_bevelOuter)
        return;
    m_bevelOuter = v;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int v)
{
    v = std::max(1, v);
    if (v == m_bevelWidth)
        return;
    m_bevelWidth = v;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    Realign();
    Invalidate();
}

void TCustomPanel::SetParentBackground(bool v)
{
    if (v == m_parentBackground)
        return;
    m_parentBackground = v;
    if (v)
        m_controlStyle.Include(csParentBackground);
    else
        m_controlStyle.Exclude(csParentBackground);
    Invalidate();
}

void TCustomPanel::SetShowCaption(bool v)
{
    if (v == m_showCaption)
        return;
    m_showCaption = v;
    Invalidate();
}

int TCustomPanel::FrameDepth() const
{
    int depth = m_borderStyle == bsSingle ? 1 : 0;
    if (m_bevelOuter != bvNone)
        depth += m_bevelWidth;
    if (m_bevelInner != bvNone)
        depth += m_bevelWidth;
    return depth;
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    const int d = FrameDepth();
    Rect.Inflate(-d, -d);
}

void TCustomPanel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED: case CM_STYLECHANGED:
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        // A panel's caption is no accelerator, but its children may have one.
        TCustomControl::Dispatch(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TCustomPanel::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    TRect r = GetClientRect();
    const bool styled = StyledElement(this, seClient);
    auto rgb = [&](TColor c) { return styled ? StyleColorToRGB(c) : ColorToRGB(c); };
    TColor back = rgb(m_color);
    if (styled && m_parentBackground && m_parent)
        back = StyleColorToRGB(m_parent->GetColor());
    FillSolid(dc, r, back);
    if (m_borderStyle == bsSingle) {
        FrameSolid(dc, r, rgb(clWindowFrame));
        r.Inflate(-1, -1);
    }
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        const TColor light = rgb(clBtnHighlight);
        const TColor shadow = rgb(clBtnShadow);
        if (cut == bvLowered)
            Frame3D(dc, r, shadow, light, m_bevelWidth);
        else
            Frame3D(dc, r, light, shadow, m_bevelWidth);
    };
    bevel(m_bevelOuter);
    r.Inflate(-m_borderWidth, -m_borderWidth);
    bevel(m_bevelInner);
    if (!m_showCaption || m_text.empty())
        return;
    static constexpr UINT horizontal[] = { DT_LEFT, DT_RIGHT, DT_CENTER };
    static constexpr UINT vertical[] = { DT_TOP, DT_BOTTOM, DT_VCENTER };
    const bool enabled = IsEnabledInChain();
    TColor text = enabled ? ColorToRGB(m_font->GetColor()) : ColorToRGB(clGrayText);
    if (StyledElement(this, seFont))
        text = StyleServices()->GetStyleFontColor(enabled ? sfPanelTextNormal : sfPanelTextDisabled);
    DrawTextIn(dc, m_font.get(), m_text, r,
        DT_EXPANDTABS | DT_SINGLELINE | horizontal[m_alignment] | vertical[m_verticalAlignment], text);
}

// ---- TImage ----

namespace ExtCtrls {

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), m_picture(std::make_unique<TPicture>())
{
    m_controlStyle.Include(csReplicatable);
    m_picture->OnChange = [this](TObject* sender) { PictureChanged(sender); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    m_picture->OnChange = nullptr;
}

void TImage::SetStretch(bool v)
{
    if (v == m_stretch)
        return;
    m_stretch = v;
    Invalidate();
}

void TImage::SetCenter(bool v)
{
    if (v == m_center)
        return;
    m_center = v;
    Invalidate();
}

void TImage::SetProportional(bool v)
{
    if (v == m_proportional)
        return;
    m_proportional = v;
    Invalidate();
}

void TImage::SetTransparent(bool v)
{
    if (v == m_transparent)
        return;
    m_transparent = v;
    PictureChanged(this);
}

void TImage::PictureChanged(TObject*)
{
    TGraphic* g = m_picture->GetGraphic();
    if (g && !g->GetEmpty() && g->GetTransparent() != m_transparent) {
        // Changing the graphic's transparency comes back here; the guard
        // above stops the second round.
        g->SetTransparent(m_transparent);
    }
    if (m_autoSize && g && g->GetWidth() > 0 && g->GetHeight() > 0)
        SetBounds(m_left, m_top, g->GetWidth(), g->GetHeight());
    if (m_transparent)
        m_controlStyle.Exclude(csOpaque);
    else if (g && !g->GetEmpty() && !g->GetTransparent())
        m_controlStyle.Include(csOpaque);
    Invalidate();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (m_picture->GetWidth() <= 0 || m_picture->GetHeight() <= 0)
        return false;
    NewWidth = m_picture->GetWidth();
    NewHeight = m_picture->GetHeight();
    return true;
}

TRect TImage::DestRect()
{
    int w = m_picture->GetWidth();
    int h = m_picture->GetHeight();
    const int cw = GetClientWidth();
    const int ch = GetClientHeight();
    if (m_stretch || (m_proportional && (w > cw || h > ch))) {
        if (m_proportional && w > 0 && h > 0) {
            const double aspect = double(w) / h;
            if (w > h) {
                w = cw;
                h = int(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = int(ch * aspect);
                }
            } else {
                h = ch;
                w = int(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = int(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r { 0, 0, w, h };
    if (m_center)
        r.Offset((cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::Paint()
{
    TGraphic* g = m_picture->GetGraphic();
    if (!g || g->GetEmpty())
        return;
    GetCanvas()->StretchDraw(DestRect(), g);
}

} // namespace ExtCtrls

// ---- TShape ----

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), m_pen(std::make_unique<TPen>()), m_brush(std::make_unique<TBrush>())
{
    m_controlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 65);
    m_pen->OnChange = [this](TObject*) { Invalidate(); };
    m_brush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape()
{
    m_pen->OnChange = nullptr;
    m_brush->OnChange = nullptr;
}

void TShape::SetShape(TShapeType v)
{
    if (v == m_shape)
        return;
    m_shape = v;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* c = GetCanvas();
    c->SetPen(m_pen.get());
    c->SetBrush(m_brush.get());
    const int pw = m_pen->GetWidth();
    int x = pw / 2;
    int y = x;
    int w = m_width - pw + 1;
    int h = m_height - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    const int s = std::min(w, h);
    if (m_shape == stSquare || m_shape == stRoundSquare || m_shape == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (m_shape) {
    case stRectangle: case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse: case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---- TBevel ----

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    m_controlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v)
{
    if (v == m_shape)
        return;
    m_shape = v;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle v)
{
    if (v == m_style)
        return;
    m_style = v;
    Invalidate();
}

void TBevel::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_STYLECHANGED) {
        Invalidate();
        return;
    }
    TGraphicControl::Dispatch(Message);
}

void TBevel::Paint()
{
    TCanvas* c = GetCanvas();
    const bool styled = StyledElement(this, seClient);
    auto rgb = [&](TColor col) { return styled ? StyleColorToRGB(col) : ColorToRGB(col); };
    TColor color1 = rgb(m_style == bsLowered ? clBtnShadow : clBtnHighlight);
    TColor color2 = rgb(m_style == bsLowered ? clBtnHighlight : clBtnShadow);
    TPen* pen = c->GetPen();
    pen->SetWidth(1);
    pen->SetStyle(psSolid);
    // The top-left sides in the first colour, the bottom-right ones in the second.
    auto bevelRect = [&](const TRect& r) {
        pen->SetColor(color1);
        c->Polyline({ { r.Left, r.Bottom }, { r.Left, r.Top }, { r.Right, r.Top } });
        pen->SetColor(color2);
        c->Polyline({ { r.Right, r.Top }, { r.Right, r.Bottom }, { r.Left, r.Bottom } });
    };
    auto bevelLine = [&](TColor col, int x1, int y1, int x2, int y2) {
        pen->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    const int w = m_width;
    const int h = m_height;
    switch (m_shape) {
    case bsBox: bevelRect({ 0, 0, w - 1, h - 1 }); break;
    case bsFrame: {
        const TColor first = color1;
        color1 = color2;
        bevelRect({ 1, 1, w - 1, h - 1 });
        color2 = first;
        color1 = first;
        bevelRect({ 0, 0, w - 2, h - 2 });
        break;
    }
    case bsTopLine: bevelLine(color1, 0, 0, w, 0); bevelLine(color2, 0, 1, w, 1); break;
    case bsBottomLine: bevelLine(color1, 0, h - 2, w, h - 2); bevelLine(color2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: bevelLine(color1, 0, 0, 0, h); bevelLine(color2, 1, 0, 1, h); break;
    case bsRightLine: bevelLine(color1, w - 2, 0, w - 2, h); bevelLine(color2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}
