#include "platform/vcl/Controls.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

// ---- TControlCanvas, TCustomControl, TGraphicControl ----

QT_PUBLISHED(TControlCanvas)

namespace {
// Canvases holding a device context of a window: the context points into
// the window's back buffer, so it is given back before the buffer can move.
std::vector<TControlCanvas*>& CanvasesWithContexts()
{
    static auto* list = new std::vector<TControlCanvas*>;
    return *list;
}
} // namespace

void FreeDeviceContexts()
{
    auto list = CanvasesWithContexts();
    for (TControlCanvas* c : list)
        c->FreeHandle();
}

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* c)
{
    if (c == m_control)
        return;
    FreeHandle();
    m_control = c;
}

void TControlCanvas::FreeHandle()
{
    if (m_dc) {
        HDC dc = m_dc;
        m_dc = nullptr;
        SetHandle(nullptr);
        ReleaseDC(m_window, dc);
        m_window = nullptr;
        auto& list = CanvasesWithContexts();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TControlCanvas::CreateHandle()
{
    if (!m_control)
        return;
    HWND h = nullptr;
    TPoint offset;
    if (m_control->IsWindowed()) {
        h = static_cast<TWinControl*>(m_control)->GetHandle();
    } else if (TWinControl* p = m_control->GetParent()) {
        h = p->GetHandle();
        offset = { m_control->GetLeft(), m_control->GetTop() };
    }
    if (!h)
        return;
    m_dc = GetDC(h);
    m_window = h;
    if (!m_dc)
        return;
    CanvasesWithContexts().push_back(this);
    if (!m_control->IsWindowed()) {
        SetViewportOrgEx(m_dc, offset.X, offset.Y, nullptr);
        IntersectClipRect(m_dc, 0, 0, m_control->GetWidth(), m_control->GetHeight());
    }
    SetHandle(m_dc);
}

QT_PUBLISHED(TCustomControl)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), m_canvas(std::make_unique<TControlCanvas>())
{
    m_canvas->SetControl(this);
}

TCustomControl::~TCustomControl()
{
    m_canvas->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC)
{
    m_canvas->FreeHandle();
    m_canvas->Lock();
    struct Done {
        TControlCanvas& c;
        ~Done()
        {
            c.SetHandle(nullptr);
            c.Unlock();
        }
    } done { *m_canvas };
    m_canvas->SetHandle(DC);
    m_controlState.Include(csCustomPaint);
    try {
        Paint();
    } catch (...) {
        m_controlState.Exclude(csCustomPaint);
        throw;
    }
    m_controlState.Exclude(csCustomPaint);
}

void TCustomControl::DestroyWnd()
{
    m_canvas->FreeHandle();
    TWinControl::DestroyWnd();
}

QT_PUBLISHED(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), m_canvas(std::make_unique<TControlCanvas>())
{
    m_canvas->SetControl(this);
}

TGraphicControl::~TGraphicControl()
{
    m_canvas->FreeHandle();
}

void TGraphicControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        WMPaint(Message);
        return;
    }
    TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    m_canvas->FreeHandle();
    m_canvas->Lock();
    struct Done {
        TControlCanvas& c;
        ~Done()
        {
            c.SetHandle(nullptr);
            c.Unlock();
        }
    } done { *m_canvas };
    m_canvas->SetHandle(dc);
    Paint();
}

