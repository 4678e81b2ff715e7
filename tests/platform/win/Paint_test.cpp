#include "platform/win/System.h"
#include "tests/platform/win/WinFixture.h"

namespace {
constexpr DWORD kTop = WS_POPUP | WS_VISIBLE;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
}

TEST_F(WinTest, PaintComesWhenNoPostedMessageIsLeft)
{
    Watch = { WM_PAINT, WM_USER };
    HWND w = Make("w", kTop, Bounds(0, 0, 50, 50));
    Pump();
    Log.clear();
    InvalidateRect(w, nullptr, false);
    PostMessage(w, WM_USER, 0, 0);
    Pump();
    EXPECT_EQ(Log, (std::vector<TLogged> { { "w", WM_USER, 0, 0 }, { "w", WM_PAINT, 0, 0 } }));
    Log.clear();
    EXPECT_EQ(Pump(), 0); // painting validated the window
}

TEST_F(WinTest, UpdateRegionAccumulatesAndBeginPaintTakesIt)
{
    HWND w = Make("w", kTop, Bounds(0, 0, 100, 100));
    Pump();
    TRect a(0, 0, 10, 10), b(50, 50, 60, 70);
    InvalidateRect(w, &a, false);
    InvalidateRect(w, &b, false);
    TRect part(0, 0, 5, 10);
    ValidateRect(w, &part);
    EXPECT_EQ(GetUpdateRegion(w), TRegion::FromRects({ TRect(5, 0, 10, 10), b }));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, ps);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ps.rcPaint, TRect(5, 0, 60, 70));
    EXPECT_EQ(Factory.Target(dc)->Clip, TRegion::FromRects({ TRect(5, 0, 10, 10), b }));
    EndPaint(w, ps);
    EXPECT_EQ(Factory.LiveCount(), 0u);
    EXPECT_TRUE(GetUpdateRegion(w).IsEmpty());
}

TEST_F(WinTest, EraseIsSentInsideBeginPaintOnlyWhenAsked)
{
    Watch = { WM_ERASEBKGND };
    HWND w = Make("w", kTop, Bounds(0, 0, 40, 40));
    Pump();
    for (bool erase : { false, true }) {
        SCOPED_TRACE(erase);
        Log.clear();
        InvalidateRect(w, nullptr, erase);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, ps);
        EXPECT_EQ(Log.size(), erase ? 1u : 0u);
        if (erase) {
            EXPECT_EQ(Log[0].wParam, reinterpret_cast<WPARAM>(dc));
            EXPECT_TRUE(ps.fErase); // nobody erased: the default has no brush here
        }
        EndPaint(w, ps);
    }
}

TEST_F(WinTest, ChildrenPaintIntoTheTopBufferAtTheirOrigin)
{
    HWND form = Make("form", kTop | WS_CLIPCHILDREN, Bounds(100, 100, 200, 150));
    HWND panel = Make("panel", kChild | WS_BORDER, Bounds(10, 20, 100, 80), form);
    HWND kid = Make("kid", kChild, Bounds(5, 5, 20, 20), panel);
    Colour(form, kRed);
    Colour(panel, kGreen);
    Colour(kid, kBlue);
    Pump();
    const auto& t = Factory.Created;
    auto targetOf = [&](HWND h) {
        for (auto it = t.rbegin(); it != t.rend(); ++it)
            if (it->Window == h)
                return *it;
        return TPaintTarget {};
    };
    EXPECT_EQ(targetOf(panel).Origin, TPoint(11, 21)); // inside its one-pixel border
    EXPECT_EQ(targetOf(kid).Origin, TPoint(16, 26));
    EXPECT_EQ(targetOf(kid).Clip, TRegion(TRect(16, 26, 36, 46)));
    EXPECT_EQ(PixelAt(form, { 0, 0 }), kRed);
    EXPECT_EQ(PixelAt(form, { 12, 22 }), kGreen);
    EXPECT_EQ(PixelAt(form, { 20, 30 }), kBlue);
    EXPECT_EQ(PixelAt(form, { 10, 20 }), 0u); // the border: nobody draws frames here
    EXPECT_GT(Session->Backend().GetPresented().size(), 0u);
}

TEST_F(WinTest, ClipStylesKeepOtherWindowsPixels)
{
    // Two overlapping children: "upper" above "lower". After a first paint
    // every window changes colour and one window is invalidated again.
    struct TCase {
        const char* name;
        DWORD parentStyle;
        DWORD lowerStyle;
        bool invalidateParent;
        std::uint32_t inUpper;
        std::uint32_t inOverlap;
    };
    const TCase cases[] = {
        // The parent leaves its children alone and they are not repainted.
        { "clip children", WS_CLIPCHILDREN, 0, true, kBlue, kWhite },
        // Without WS_CLIPCHILDREN the children are invalidated with it.
        { "no clip children", 0, 0, true, kWhite, kGreen },
        // The lower sibling keeps out of the upper one's pixels...
        { "clip siblings", WS_CLIPCHILDREN, WS_CLIPSIBLINGS, false, kBlue, kBlue },
        // ...unless it does not clip siblings.
        { "no clip siblings", WS_CLIPCHILDREN, 0, false, kBlue, kGreen },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND form = Make("form", kTop | c.parentStyle, Bounds(0, 0, 200, 200));
        HWND upper = Make("upper", kChild, Bounds(10, 10, 50, 50), form);
        HWND lower = Make("lower", kChild | c.lowerStyle, Bounds(40, 40, 50, 50), form);
        SetWindowPos(lower, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Colour(form, kRed);
        Colour(upper, kBlue);
        Colour(lower, kWhite);
        Pump();
        Colour(form, kGreen);
        Colour(upper, kWhite);
        Colour(lower, kGreen);
        InvalidateRect(c.invalidateParent ? form : lower, nullptr, false);
        Pump();
        EXPECT_EQ(PixelAt(form, { 20, 20 }), c.inUpper);
        EXPECT_EQ(PixelAt(form, { 45, 45 }), c.inOverlap);
        EXPECT_EQ(PixelAt(form, { 150, 150 }), c.invalidateParent ? kGreen : kRed);
        DestroyWindow(form);
    }
}

TEST_F(WinTest, RedrawOffIgnoresInvalidationUntilSwitchedOn)
{
    Watch = { WM_PAINT };
    HWND w = Make("w", kTop, Bounds(0, 0, 40, 40));
    Pump();
    Log.clear();
    SendMessage(w, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(w, nullptr, true);
    Pump();
    EXPECT_TRUE(Log.empty());
    SendMessage(w, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(w, nullptr, true);
    Pump();
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(WinTest, UpdateWindowPaintsAtOnceWithoutTheLoop)
{
    Watch = { WM_PAINT };
    HWND form = Make("form", kTop, Bounds(0, 0, 100, 100));
    HWND kid = Make("kid", kChild, Bounds(0, 0, 10, 10), form);
    Log.clear();
    UpdateWindow(form);
    EXPECT_EQ(Log, (std::vector<TLogged> { { "form", WM_PAINT, 0, 0 }, { "kid", WM_PAINT, 0, 0 } }));
    (void)kid;
}

TEST_F(WinTest, HitTestingFollowsZOrderRegionsAndEnabling)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 300, 300));
    HWND a = Make("a", kChild, Bounds(0, 0, 100, 100), form);
    HWND b = Make("b", kChild, Bounds(50, 50, 100, 100), form);
    HWND holed = Make("holed", kChild, Bounds(200, 0, 100, 100), form);
    SetWindowRegion(holed, TRegion(TRect(0, 0, 100, 100)).Subtract(TRegion(TRect(40, 40, 60, 60))), true);
    HWND see = Make("see", kChild, Bounds(0, 200, 50, 50), form);
    Handlers[see] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST)
            return HTTRANSPARENT;
        return std::nullopt;
    };
    HWND beneath = Make("beneath", kChild, Bounds(0, 200, 50, 50), form);
    SetWindowPos(beneath, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    struct TCase {
        const char* name;
        std::function<void()> before;
        TPoint at;
        HWND expected;
    };
    const TCase cases[] = {
        { "newest on top", [] { }, { 60, 60 }, b },
        { "raised to the top", [&] { SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }, { 60, 60 }, a },
        { "sent to the bottom", [&] { SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }, { 60, 60 }, b },
        { "region hole", [] { }, { 250, 50 }, form },
        { "region body", [] { }, { 210, 10 }, holed },
        { "transparent to hit testing", [] { }, { 10, 210 }, beneath },
        { "disabled child leaves it to the parent", [&] { EnableWindow(b, false); }, { 120, 120 }, form },
        { "hidden child", [&] { ShowWindow(a, SW_HIDE); }, { 10, 10 }, form },
        { "outside every window", [] { }, { 500, 500 }, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        EXPECT_EQ(WindowFromPoint(c.at), c.expected) << Name(WindowFromPoint(c.at));
    }
    EXPECT_EQ(ChildWindowFromPointEx(form, { 120, 120 }, CWP_ALL), b);
    EXPECT_EQ(ChildWindowFromPointEx(form, { 120, 120 }, CWP_SKIPDISABLED), form);
    EXPECT_EQ(ChildWindowFromPointEx(form, { 10, 10 }, CWP_SKIPINVISIBLE), form);
    EXPECT_EQ(ChildWindowFromPoint(form, { 400, 10 }), nullptr);
}

TEST_F(WinTest, TopmostWindowsStayAboveActivatedOnes)
{
    HWND tip = Make("tip", kTop, Bounds(0, 0, 50, 50), nullptr, WS_EX_TOPMOST | WS_EX_NOACTIVATE);
    HWND form = Make("form", kTop, Bounds(0, 0, 100, 100));
    SetActiveWindow(form);
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(WindowFromPoint({ 10, 10 }), tip);
    EXPECT_EQ(GetTopWindow(nullptr), tip);
    EXPECT_EQ(GetWindow(tip, GW_HWNDNEXT), form);
    SetWindowPos(tip, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint({ 10, 10 }), form);
}

TEST_F(WinTest, ClientAreaAndCoordinateMapping)
{
    struct TCase {
        const char* name;
        DWORD style;
        DWORD exStyle;
        TRect client;
        TPoint origin;
    };
    const TCase cases[] = {
        { "plain", 0, 0, { 0, 0, 100, 50 }, { 20, 30 } },
        { "border", WS_BORDER, 0, { 0, 0, 98, 48 }, { 21, 31 } },
        { "client edge", 0, WS_EX_CLIENTEDGE, { 0, 0, 96, 46 }, { 22, 32 } },
        { "border and scroll bars", WS_BORDER | WS_VSCROLL | WS_HSCROLL, 0, { 0, 0, 81, 31 }, { 21, 31 } },
        { "thick frame", WS_THICKFRAME, 0, { 0, 0, 92, 42 }, { 24, 34 } },
    };
    HWND form = Make("form", kTop, Bounds(10, 20, 300, 300));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND w = Make(c.name, kChild | c.style, Bounds(10, 10, 100, 50), form, c.exStyle);
        RECT r;
        GetClientRect(w, r);
        EXPECT_EQ(r, c.client);
        POINT p { 0, 0 };
        ClientToScreen(w, p);
        EXPECT_EQ(p, c.origin);
        RECT wr;
        GetWindowRect(w, wr);
        EXPECT_EQ(wr, TRect(20, 30, 120, 80));
        POINT q { 5, 5 };
        MapWindowPoints(w, form, &q, 1);
        EXPECT_EQ(q, TPoint(c.origin.X - 10 + 5, c.origin.Y - 20 + 5));
        POINT back = p;
        ScreenToClient(w, back);
        EXPECT_EQ(back, TPoint(0, 0));
        DestroyWindow(w);
    }
}

TEST_F(WinTest, ResizeSendsSizeWithTheClientSize)
{
    Watch = { WM_SIZE, WM_MOVE };
    HWND form = Make("form", kTop, Bounds(0, 0, 300, 300));
    HWND w = Make("w", kChild | WS_BORDER, Bounds(0, 0, 100, 50), form);
    Log.clear();
    MoveWindow(w, 5, 6, 60, 40, true);
    const std::vector<TLogged> expected { { "w", WM_MOVE, 0, MAKELPARAM(6, 7) }, { "w", WM_SIZE, 0, MAKELPARAM(58, 38) } };
    EXPECT_EQ(Log, expected);
    Log.clear();
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(Log.empty());
}

TEST_F(WinTest, LayeredWindowsBlendWithTheirAlpha)
{
    HWND back = Make("back", kTop, Bounds(0, 0, 100, 100));
    HWND glass = Make("glass", kTop, Bounds(0, 0, 50, 50), nullptr, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    Colour(back, 0xFF000000u);
    Colour(glass, 0xFFFFFFFFu);
    SetLayeredWindowAttributes(glass, 0, 128, LWA_ALPHA);
    Pump();
    EXPECT_EQ(Headless::ScreenPixel({ 10, 10 }), 0xFF808080u);
    EXPECT_EQ(Headless::ScreenPixel({ 60, 60 }), 0xFF000000u);
    SetLayeredWindowAttributes(glass, RGB(255, 255, 255), 255, LWA_COLORKEY);
    EXPECT_EQ(Headless::ScreenPixel({ 10, 10 }), 0xFF000000u); // the key colour shows through
}

TEST_F(WinTest, LayeredWindowsTakePerPixelAlphaImages)
{
    HWND back = Make("back", kTop, Bounds(0, 0, 100, 100));
    Colour(back, 0xFF0000FFu);
    Pump();
    HWND shadow = Make("shadow", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), nullptr, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    // Left half: half-transparent black (premultiplied), right half: clear.
    std::vector<std::uint32_t> img(20 * 10, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            img[y * 20 + x] = 0x80000000u;
    TPixelBuffer px { reinterpret_cast<std::uint8_t*>(img.data()), 20, 10, 80 };
    POINT at { 30, 40 };
    SIZE size { 20, 10 };
    ASSERT_TRUE(UpdateLayeredWindowPixels(shadow, &at, &size, px, 255));
    RECT r;
    GetWindowRect(shadow, r);
    EXPECT_EQ(r, Bounds(30, 40, 20, 10));
    EXPECT_EQ(Headless::ScreenPixel({ 32, 42 }), 0xFF00007Fu);
    EXPECT_EQ(Headless::ScreenPixel({ 45, 42 }), 0xFF0000FFu);
    EXPECT_FALSE(UpdateLayeredWindowPixels(back, &at, &size, px, 255)); // not layered
}

TEST_F(WinTest, MonitorAndWorkAreaComeFromTheBackEnd)
{
    Session->Backend().SetWorkArea(TRect(0, 0, 1280, 984));
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint({ 10, 10 }, MONITOR_DEFAULTTONULL), mi));
    EXPECT_EQ(mi.rcMonitor, TRect(0, 0, 1280, 1024));
    EXPECT_EQ(mi.rcWork, TRect(0, 0, 1280, 984));
    EXPECT_EQ(MonitorFromPoint({ -10, 10 }, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_NE(MonitorFromPoint({ -10, 10 }, MONITOR_DEFAULTTONEAREST), nullptr);
    RECT work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, mi.rcWork);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
}
