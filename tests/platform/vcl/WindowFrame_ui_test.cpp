// The classic non-client frames the window layer paints by default, probed
// on screen: the frame pixels of each frame style, and the client area
// starting exactly where the frame ends.

#include <gtest/gtest.h>

#include <vector>

#include "SimpleControlsFixture.h"
#include "platform/gdi/SysColors.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Window.h"

namespace {

constexpr COLORREF ClientColour = RGB(255, 255, 0);
constexpr int Client = -1; // a probe that expects the client's own colour

// A probe at a window point; negative coordinates count from the right or
// bottom edge (-1 is the last pixel).
struct TProbe {
    POINT At;
    int SysColour;
};

struct TFrameCase {
    const char* Name;
    DWORD Style;
    DWORD ExStyle;
    bool Top;
    int Inset;
    std::vector<TProbe> Probes;
};

COLORREF ScreenColour(POINT screen)
{
    Application->ProcessMessages();
    const std::uint32_t argb = Headless::ScreenPixel(screen);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

COLORREF WindowPixel(HWND h, POINT at)
{
    RECT wr;
    GetWindowRect(h, wr);
    const int x = at.X < 0 ? wr.Right + at.X : wr.Left + at.X;
    const int y = at.Y < 0 ? wr.Bottom + at.Y : wr.Top + at.Y;
    return ScreenColour({ x, y });
}

COLORREF Expected(int sysColour)
{
    return sysColour == Client ? ClientColour : GetSysColor(sysColour);
}

// Fills the client area with the class brush; the frame is left to the
// default handling.
LRESULT ProbeProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(h, r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, reinterpret_cast<HBRUSH>(GetClassLongPtr(h, GCLP_HBRBACKGROUND)));
        return 1;
    }
    return DefWindowProc(h, msg, wParam, lParam);
}

class WindowFrameUi : public SimpleControls {
protected:
    void SetUp() override
    {
        SimpleControls::SetUp();
        m_brush = CreateSolidBrush(ClientColour);
        WNDCLASSEX wc;
        wc.lpfnWndProc = &ProbeProc;
        wc.hbrBackground = m_brush;
        wc.lpszClassName = u"FrameProbe";
        RegisterClassEx(wc);
    }
    void TearDown() override
    {
        for (HWND h : m_windows)
            DestroyWindow(h);
        UnregisterClass(u"FrameProbe");
        DeleteObject(m_brush);
        SimpleControls::TearDown();
    }
    HWND Make(DWORD style, DWORD exStyle, HWND parent, TRect r)
    {
        HWND h = CreateWindowEx(exStyle, u"FrameProbe", u"", style | WS_VISIBLE, r.Left, r.Top, r.Width(), r.Height(),
            parent, nullptr, nullptr, nullptr);
        m_windows.insert(m_windows.begin(), h);
        return h;
    }

    HBRUSH m_brush { nullptr };
    std::vector<HWND> m_windows;
};

TEST_F(WindowFrameUi, EachFrameStyleIsPaintedInTheWidthItsLayoutReserves)
{
    const TFrameCase cases[] = {
        { "WS_BORDER", WS_BORDER, 0, false, 1,
            { { { 0, 0 }, COLOR_WINDOWFRAME }, { { -1, -1 }, COLOR_WINDOWFRAME }, { { -1, 5 }, COLOR_WINDOWFRAME },
                { { 1, 1 }, Client } } },
        { "client edge", 0, WS_EX_CLIENTEDGE, false, 2,
            { { { 0, 0 }, COLOR_BTNSHADOW }, { { 1, 1 }, COLOR_3DDKSHADOW }, { { -1, -1 }, COLOR_BTNHIGHLIGHT },
                { { -2, -2 }, COLOR_3DLIGHT }, { { -1, 0 }, COLOR_BTNHIGHLIGHT }, { { 0, -1 }, COLOR_BTNHIGHLIGHT },
                { { 5, 1 }, COLOR_3DDKSHADOW }, { { 2, 2 }, Client } } },
        { "static edge", 0, WS_EX_STATICEDGE, false, 1,
            { { { 0, 0 }, COLOR_BTNSHADOW }, { { 0, 5 }, COLOR_BTNSHADOW }, { { -1, -1 }, COLOR_BTNHIGHLIGHT },
                { { 1, 1 }, Client } } },
        { "border and client edge", WS_BORDER, WS_EX_CLIENTEDGE, false, 3,
            { { { 0, 0 }, COLOR_WINDOWFRAME }, { { 1, 1 }, COLOR_BTNSHADOW }, { { 2, 2 }, COLOR_3DDKSHADOW },
                { { -2, -2 }, COLOR_BTNHIGHLIGHT }, { { 3, 3 }, Client } } },
        { "dialog frame", WS_DLGFRAME, 0, false, 3,
            { { { 0, 0 }, COLOR_3DLIGHT }, { { 1, 1 }, COLOR_BTNHIGHLIGHT }, { { -1, -1 }, COLOR_3DDKSHADOW },
                { { -2, -2 }, COLOR_BTNSHADOW }, { { 2, 2 }, COLOR_BTNFACE }, { { -3, -3 }, COLOR_BTNFACE },
                { { 3, 3 }, Client } } },
        { "modal frame", 0, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, false, 3,
            { { { 1, 1 }, COLOR_BTNHIGHLIGHT }, { { -1, -1 }, COLOR_3DDKSHADOW }, { { 2, 2 }, COLOR_BTNFACE },
                { { 3, 3 }, Client } } },
        { "sizing frame", WS_THICKFRAME, 0, false, 4,
            { { { 1, 1 }, COLOR_BTNHIGHLIGHT }, { { -1, -1 }, COLOR_3DDKSHADOW }, { { 2, 2 }, COLOR_ACTIVEBORDER },
                { { 3, 3 }, COLOR_ACTIVEBORDER }, { { -4, -4 }, COLOR_ACTIVEBORDER }, { { 4, 4 }, Client } } },
        { "sizing frame and client edge", WS_THICKFRAME, WS_EX_CLIENTEDGE, false, 6,
            { { { 1, 1 }, COLOR_BTNHIGHLIGHT }, { { 3, 3 }, COLOR_ACTIVEBORDER }, { { 4, 4 }, COLOR_BTNSHADOW },
                { { 5, 5 }, COLOR_3DDKSHADOW }, { { -5, -5 }, COLOR_BTNHIGHLIGHT }, { { 6, 6 }, Client } } },
        { "window edge alone takes no room", 0, WS_EX_WINDOWEDGE, false, 0, { { { 0, 0 }, Client } } },
        { "pop-up with a border", WS_POPUP | WS_BORDER, 0, true, 1,
            { { { 0, 0 }, COLOR_WINDOWFRAME }, { { -1, -1 }, COLOR_WINDOWFRAME }, { { 1, 1 }, Client } } },
        // The desktop frames a captioned top-level window; its client edge is still ours.
        { "captioned top-level window", WS_CAPTION | WS_THICKFRAME, WS_EX_CLIENTEDGE, true, 2,
            { { { 0, 0 }, COLOR_BTNSHADOW }, { { 1, 1 }, COLOR_3DDKSHADOW }, { { 2, 2 }, Client } } },
    };
    HWND host = Make(WS_POPUP, 0, nullptr, { 100, 100, 300, 300 });
    for (const TFrameCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRect at = c.Top ? TRect(400, 100, 440, 130) : TRect(10, 10, 50, 40);
        HWND h = Make(c.Style | (c.Top ? 0 : WS_CHILD), c.ExStyle, c.Top ? nullptr : host, at);
        ASSERT_NE(h, nullptr);
        RECT wr, cr;
        GetWindowRect(h, wr);
        GetClientRect(h, cr);
        POINT origin { 0, 0 };
        ClientToScreen(h, origin);
        EXPECT_EQ(origin.X - wr.Left, c.Inset);
        EXPECT_EQ(origin.Y - wr.Top, c.Inset);
        EXPECT_EQ(cr.Width(), wr.Width() - 2 * c.Inset);
        EXPECT_EQ(cr.Height(), wr.Height() - 2 * c.Inset);
        for (const TProbe& p : c.Probes) {
            SCOPED_TRACE(testing::Message() << "probe " << p.At.X << "," << p.At.Y);
            EXPECT_EQ(WindowPixel(h, p.At), Expected(p.SysColour));
        }
        // A grown window repaints its frame at the new size.
        MoveWindow(h, at.Left, at.Top, at.Width() + 13, at.Height() + 9, true);
        for (const TProbe& p : c.Probes) {
            SCOPED_TRACE(testing::Message() << "after the resize, probe " << p.At.X << "," << p.At.Y);
            EXPECT_EQ(WindowPixel(h, p.At), Expected(p.SysColour));
        }
        DestroyWindow(h);
        m_windows.erase(m_windows.begin());
    }
}

// The standard controls take their frames from the window layer.
TEST_F(WindowFrameUi, StandardControlsShowTheirFrames)
{
    auto form = MakeForm();
    auto* sunken = Add<TEdit>(form.get(), form.get(), { 10, 10, 110, 31 });
    auto* flat = Add<TEdit>(form.get(), form.get(), { 10, 40, 110, 61 });
    flat->SetCtl3D(false);
    auto* memo = Add<TMemo>(form.get(), form.get(), { 10, 70, 110, 130 });
    auto* list = Add<TListBox>(form.get(), form.get(), { 120, 10, 220, 110 });
    form->Show();
    const struct {
        const char* Name;
        TWinControl* Control;
        int Outer, Inner;
    } cases[] = {
        { "edit", sunken, COLOR_BTNSHADOW, COLOR_3DDKSHADOW },
        { "edit without the 3-D look", flat, COLOR_WINDOWFRAME, Client },
        { "memo", memo, COLOR_BTNSHADOW, COLOR_3DDKSHADOW },
        { "list box", list, COLOR_BTNSHADOW, COLOR_3DDKSHADOW },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = c.Control->GetHandle();
        EXPECT_EQ(WindowPixel(h, { 0, 8 }), GetSysColor(c.Outer));
        EXPECT_EQ(WindowPixel(h, { -1, -1 }), GetSysColor(c.Outer == COLOR_WINDOWFRAME ? c.Outer : COLOR_BTNHIGHLIGHT));
        if (c.Inner != Client)
            EXPECT_EQ(WindowPixel(h, { 1, 8 }), GetSysColor(c.Inner));
    }
}

} // namespace
