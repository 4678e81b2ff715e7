#include "platform/vcl/ComCtrls_TrackBar.h"

#include <algorithm>

#include "platform/gdi/Frames.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TTrackBar, QT_PROP(Min), QT_PROP(Max), QT_PROP(Position), QT_PROP(Frequency), QT_PROP(PageSize),
    QT_PROP(LineSize), QT_PROP(Orientation), QT_PROP(TickMarks), QT_PROP(TickStyle), QT_PROP(ThumbLength),
    QT_PROP(SliderVisible), QT_EVENT(OnChange))

namespace {
constexpr int ThumbWidth = 11; // along the bar
constexpr int ChannelInset = 8;
} // namespace

TTrackBar::TTrackBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
    m_controlStyle.Exclude(csDoubleClicks);
}

void TTrackBar::SetMin(int v)
{
    if (v == m_min || v > m_max)
        return;
    m_min = v;
    Invalidate();
    SetPosition(m_position);
}

void TTrackBar::SetMax(int v)
{
    if (v == m_max || v < m_min)
        return;
    m_max = v;
    Invalidate();
    SetPosition(m_position);
}

void TTrackBar::SetPosition(int v)
{
    v = std::clamp(v, m_min, m_max);
    if (v == m_position)
        return;
    m_position = v;
    Invalidate();
    Changed();
}

void TTrackBar::SetFrequency(int v)
{
    if (v == m_frequency)
        return;
    m_frequency = v;
    Invalidate();
}

void TTrackBar::SetOrientation(TTrackBarOrientation v)
{
    if (v == m_orientation)
        return;
    m_orientation = v;
    if (!GetComponentState().Contains(csLoading))
        SetBounds(m_left, m_top, m_height, m_width);
    Invalidate();
}

void TTrackBar::SetTickMarks(TTickMark v)
{
    if (v == m_tickMarks)
        return;
    m_tickMarks = v;
    Invalidate();
}

void TTrackBar::SetTickStyle(TTickStyle v)
{
    if (v == m_tickStyle)
        return;
    m_tickStyle = v;
    Invalidate();
}

void TTrackBar::SetThumbLength(int v)
{
    v = std::max(4, v);
    if (v == m_thumbLength)
        return;
    m_thumbLength = v;
    Invalidate();
}

void TTrackBar::SetSliderVisible(bool v)
{
    if (v == m_sliderVisible)
        return;
    m_sliderVisible = v;
    Invalidate();
}

void TTrackBar::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TTrackBar::ChannelExtent(int& first, int& last)
{
    const int length = Horizontal() ? m_width : m_height;
    first = ChannelInset + ThumbWidth / 2;
    last = std::max(first, length - 1 - ChannelInset - ThumbWidth / 2);
}

int TTrackBar::PixelOf(int position)
{
    int first, last;
    ChannelExtent(first, last);
    const std::int64_t range = std::int64_t(m_max) - m_min;
    if (range <= 0)
        return first;
    return first + int((std::int64_t(position) - m_min) * (last - first) / range);
}

int TTrackBar::PositionAt(int along)
{
    int first, last;
    ChannelExtent(first, last);
    const std::int64_t range = std::int64_t(m_max) - m_min;
    if (last <= first || range <= 0)
        return m_min;
    const std::int64_t offset = std::clamp(along, first, last) - first;
    return m_min + int((offset * range + (last - first) / 2) / (last - first));
}

void TTrackBar::ThumbAcross(int& start, int& depth)
{
    const int cross = Horizontal() ? m_height : m_width;
    depth = std::min(m_thumbLength, std::max(4, cross - 8));
    // Room for ticks on the side(s) that carry them.
    const int tickRoom = m_tickStyle == tsNone ? 0 : 6;
    if (m_tickMarks == tmTopLeft)
        start = std::max(0, cross - depth - 4);
    else if (m_tickMarks == tmBoth)
        start = std::max(0, (cross - depth) / 2);
    else
        start = std::min(4, std::max(0, cross - depth - tickRoom));
}

TRect TTrackBar::ThumbRect()
{
    const int center = PixelOf(m_position);
    int start, depth;
    ThumbAcross(start, depth);
    const int a = center - ThumbWidth / 2;
    return Horizontal() ? TRect { a, start, a + ThumbWidth, start + depth }
                        : TRect { start, a, start + depth, a + ThumbWidth };
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !IsEnabledInChain())
        return;
    if (m_tabStop && CanFocus() && !Focused())
        SetFocus();
    const int along = Horizontal() ? X : Y;
    const TRect thumb = ThumbRect();
    if (m_sliderVisible && thumb.Contains({ X, Y })) {
        m_dragging = true;
        m_dragOffset = along - PixelOf(m_position);
        Invalidate();
        return;
    }
    // A click on the channel pages toward the click.
    const int center = PixelOf(m_position);
    if (along < center)
        SetPosition(std::max(m_min, m_position - m_pageSize));
    else if (along > center)
        SetPosition(std::min(m_max, m_position + m_pageSize));
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (m_dragging)
        SetPosition(PositionAt((Horizontal() ? X : Y) - m_dragOffset));
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && m_dragging) {
        m_dragging = false;
        Invalidate();
    }
}

void TTrackBar::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_LEFT: case VK_UP: SetPosition(m_position - m_lineSize); break;
    case VK_RIGHT: case VK_DOWN: SetPosition(m_position + m_lineSize); break;
    case VK_PRIOR: SetPosition(m_position - m_pageSize); break;
    case VK_NEXT: SetPosition(m_position + m_pageSize); break;
    case VK_HOME: SetPosition(m_min); break;
    case VK_END: SetPosition(m_max); break;
    default: break;
    }
}

void TTrackBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
        m_hot = Message.Msg == CM_MOUSEENTER;
        if (StyledElement(this, seClient))
            Invalidate();
        TCustomControl::Dispatch(Message);
        return;
    case CM_STYLECHANGED:
        Invalidate();
        return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TTrackBar::Paint()
{
    HDC dc = GetCanvas()->GetHandle();
    const TRect client = GetClientRect();
    const bool styled = StyledElement(this, seClient);
    FillSolid(dc, client, styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color));
    const bool h = Horizontal();
    int first, last, start, depth;
    ChannelExtent(first, last);
    ThumbAcross(start, depth);
    const int mid = start + depth / 2;
    const TRect channel = h ? TRect { first - ThumbWidth / 2, mid - 2, last + ThumbWidth / 2 + 1, mid + 2 }
                            : TRect { mid - 2, first - ThumbWidth / 2, mid + 2, last + ThumbWidth / 2 + 1 };
    const TRect thumb = ThumbRect();
    TColor tickColor = ColorToRGB(clBtnText);
    TCustomStyleServices* s = StyleServices();
    if (styled) {
        s->DrawElement(dc, s->GetElementDetails(h ? ttbTrack : ttbTrackVert), channel);
        s->GetElementColor(s->GetElementDetails(ttbThumbTics), ecGlyphColor, tickColor);
    } else {
        RECT r = channel;
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    }
    if (m_tickStyle != tsNone && m_frequency > 0 && m_max > m_min) {
        auto tick = [&](int position, int length) {
            const int p = PixelOf(position);
            if (m_tickMarks != tmTopLeft) {
                const int at = start + depth + 2;
                FillSolid(dc, h ? TRect { p, at, p + 1, at + length } : TRect { at, p, at + length, p + 1 }, tickColor);
            }
            if (m_tickMarks != tmBottomRight) {
                const int at = start - 2 - length;
                FillSolid(dc, h ? TRect { p, at, p + 1, at + length } : TRect { at, p, at + length, p + 1 }, tickColor);
            }
        };
        for (std::int64_t t = m_min; t <= m_max; t += m_frequency)
            tick(int(t), t == m_min || t == m_max ? 4 : 3);
        tick(m_max, 4);
    }
    if (m_sliderVisible) {
        if (styled) {
            const bool enabled = IsEnabledInChain();
            const int state = !enabled ? 4 : m_dragging ? 2 : m_hot ? 1 : Focused() ? 3 : 0;
            s->DrawElement(dc, s->GetElementDetails(TThemedTrackBar((h ? ttbThumbNormal : ttbThumbVertNormal) + state)),
                thumb);
        } else {
            RECT r = thumb;
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        }
    }
    if (Focused()) {
        TRect focus = client;
        GetCanvas()->DrawFocusRect(focus);
    }
}
