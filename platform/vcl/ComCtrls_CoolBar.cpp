#include "platform/vcl/ComCtrls.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ComCtrlsInternal.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TCoolBand, QT_PROP(Control), QT_PROP(Text), QT_PROP(Width), QT_PROP(MinHeight), QT_PROP(Break),
    QT_PROP(Visible))
QT_PUBLISHED(TCoolBands)
QT_PUBLISHED(TCoolBar, QT_PROP(Bands), QT_PROP(ShowText), QT_PROP(FixedSize))

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

