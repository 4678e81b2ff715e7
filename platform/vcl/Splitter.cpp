#include "platform/vcl/Splitter.h"

#include "platform/gdi/Gdi.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TSplitter, QT_PROP(MinSize), QT_PROP(ResizeStyle), QT_PROP(AutoSnap), QT_EVENT(OnCanResize),
    QT_EVENT(OnMoved))

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    m_align = alLeft;
    m_width = 3;
    m_height = 100;
    m_cursor = crHSplit;
    m_controlStyle = { csCaptureMouse };
}

TControl* TSplitter::FindControl() const
{
    if (!m_parent)
        return nullptr;
    for (int i = 0; i < m_parent->GetControlCount(); ++i) {
        TControl* c = m_parent->GetControl(i);
        if (c == this || !c->GetVisible() || c->GetAlign() != m_align)
            continue;
        const TRect r = c->GetBoundsRect();
        const bool touches = (m_align == alLeft && r.Right == m_left) || (m_align == alRight && r.Left == m_left + m_width)
            || (m_align == alTop && r.Bottom == m_top) || (m_align == alBottom && r.Top == m_top + m_height);
        if (touches)
            return c;
    }
    return nullptr;
}

int TSplitter::MaxSize() const
{
    if (!m_parent)
        return 0;
    const TRect client = m_parent->GetClientRect();
    int room = Horizontal() ? client.Height() : client.Width();
    for (int i = 0; i < m_parent->GetControlCount(); ++i) {
        TControl* c = m_parent->GetControl(i);
        if (c == m_control || !c->GetVisible())
            continue;
        const TAlign a = c->GetAlign();
        if (Horizontal() && (a == alTop || a == alBottom))
            room -= c->GetHeight();
        else if (!Horizontal() && (a == alLeft || a == alRight))
            room -= c->GetWidth();
    }
    return room - m_minSize;
}

int TSplitter::SizeForPointer(TPoint Pos) const
{
    const int delta = Horizontal() ? Pos.Y - m_downPos.Y : Pos.X - m_downPos.X;
    int size = (m_align == alLeft || m_align == alTop) ? m_startSize + delta : m_startSize - delta;
    size = std::min(size, MaxSize());
    if (size < m_minSize)
        size = m_autoSnap && size < m_minSize / 2 ? 0 : m_minSize;
    return size;
}

void TSplitter::ApplySize(int Size)
{
    if (!m_control)
        return;
    if (Horizontal())
        m_control->SetHeight(Size);
    else
        m_control->SetWidth(Size);
    if (m_parent)
        m_parent->Update();
}

// The line that shows where the edge would go, inverted on the parent so a
// second call removes it.
void TSplitter::DrawLine()
{
    if (!m_parent || !m_parent->HandleAllocated())
        return;
    HWND h = m_parent->GetHandle();
    HDC dc = GetDC(h);
    if (!dc)
        return;
    const TRect r = m_lineRect;
    PatBlt(dc, r.Left, r.Top, r.Width(), r.Height(), DSTINVERT);
    ReleaseDC(h, dc);
    m_lineVisible = !m_lineVisible;
}

void TSplitter::MouseEnter()
{
    m_cursor = Horizontal() ? crVSplit : crHSplit;
    TGraphicControl::MouseEnter();
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    m_control = FindControl();
    if (!m_control)
        return;
    m_downPos = ClientToParent({ X, Y });
    m_startSize = Horizontal() ? m_control->GetHeight() : m_control->GetWidth();
    m_newSize = m_startSize;
    m_dragging = true;
    if (m_resizeStyle == rsLine || m_resizeStyle == rsPattern) {
        m_lineRect = GetBoundsRect();
        DrawLine();
    }
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!m_dragging)
        return;
    int size = SizeForPointer(ClientToParent({ X, Y }));
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, size, accept);
    if (!accept || size == m_newSize)
        return;
    const int moved = size - m_newSize;
    m_newSize = size;
    switch (m_resizeStyle) {
    case rsUpdate:
        ApplySize(size);
        break;
    case rsLine:
    case rsPattern: {
        if (m_lineVisible)
            DrawLine();
        const int step = (m_align == alLeft || m_align == alTop) ? moved : -moved;
        if (Horizontal())
            m_lineRect.Offset(0, step);
        else
            m_lineRect.Offset(step, 0);
        DrawLine();
        break;
    }
    case rsNone:
        break;
    }
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!m_dragging || Button != mbLeft)
        return;
    m_dragging = false;
    if (m_lineVisible)
        DrawLine();
    const bool changed = m_newSize != m_startSize;
    if (changed)
        ApplySize(m_newSize);
    m_control = nullptr;
    if (changed && OnMoved)
        OnMoved(this);
}

void TSplitter::Paint()
{
    const bool styled = StyledElement(this, seClient);
    TColor back = styled ? StyleServices()->GetStyleColor(scSplitter) : clNone;
    if (back == clNone)
        back = styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color);
    FillSolid(GetCanvas()->GetHandle(), GetClientRect(), back);
}
