#include "platform/vcl/ComCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ComCtrlsInternal.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TStatusPanel, QT_PROP(Text), QT_PROP(Width), QT_PROP(Alignment), QT_PROP(Style), QT_PROP(Bevel))
QT_PUBLISHED(TStatusPanels)
QT_PUBLISHED(TStatusBar, QT_PROP(Panels), QT_PROP(SimplePanel), QT_PROP(SimpleText), QT_PROP(SizeGrip),
    QT_EVENT(OnDrawPanel))

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

