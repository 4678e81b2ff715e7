#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "tests/platform/win/WinFixture.h"

namespace {
constexpr DWORD kTop = WS_OVERLAPPED;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

LPARAM XY(int x, int y)
{
    return MAKELPARAM(WORD(std::int16_t(x)), WORD(std::int16_t(y)));
}
}

TEST_F(WinTest, FocusMovesWithKillBeforeSetEachNamingTheOther)
{
    Watch = { WM_SETFOCUS, WM_KILLFOCUS };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 300, 200));
    HWND a = Make("a", kChild, Bounds(10, 10, 50, 20), form);
    HWND b = Make("b", kChild, Bounds(10, 40, 50, 20), form);
    Log.clear();
    SetFocus(a);
    EXPECT_EQ(SetFocus(b), a);
    const auto F = [](HWND h) { return reinterpret_cast<WPARAM>(h); };
    const std::vector<TLogged> expected {
        { "form", WM_KILLFOCUS, F(a), 0 }, { "a", WM_SETFOCUS, F(form), 0 },
        { "a", WM_KILLFOCUS, F(b), 0 }, { "b", WM_SETFOCUS, F(a), 0 },
    };
    EXPECT_EQ(Log, expected);
    EXPECT_EQ(GetFocus(), b);
    // Hiding or destroying the focused window takes the focus away.
    Log.clear();
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(Log, (std::vector<TLogged> { { "b", WM_KILLFOCUS, 0, 0 } }));
}

TEST_F(WinTest, PopupLosesActivationBeforeThePressElsewhereIsSeen)
{
    Watch = { WM_ACTIVATE, WM_NCACTIVATE, WM_LBUTTONDOWN, WM_MOUSEACTIVATE };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 400, 300));
    HWND edit = Make("edit", kChild, Bounds(10, 10, 100, 20), form);
    HWND popup = Make("popup", WS_POPUP, Bounds(10, 30, 150, 100), form, WS_EX_TOPMOST);
    ShowWindow(popup, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), popup);
    bool popupClosed = false;
    Handlers[popup] = [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_ACTIVATE && LOWORD(w) == WA_INACTIVE) {
            ShowWindow(h, SW_HIDE); // a drop-down closes when it loses activation
            popupClosed = true;
        }
        return std::nullopt;
    };
    Log.clear();
    Headless::Click({ 300, 250 }); // on the form, outside the popup
    EXPECT_TRUE(popupClosed);
    Pump();
    const auto H = [](HWND h) { return reinterpret_cast<LPARAM>(h); };
    const std::vector<TLogged> expected {
        { "form", WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form), MAKELPARAM(WORD(HTCLIENT), WORD(WM_LBUTTONDOWN)) },
        { "popup", WM_NCACTIVATE, FALSE, H(form) },
        { "popup", WM_ACTIVATE, WA_INACTIVE, H(form) },
        { "form", WM_NCACTIVATE, TRUE, H(popup) },
        { "form", WM_ACTIVATE, WA_CLICKACTIVE, H(popup) },
        { "form", WM_LBUTTONDOWN, MK_LBUTTON, XY(300, 250) },
    };
    EXPECT_EQ(Log, expected);
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_FALSE(IsWindowVisible(popup));
    (void)edit;
}

TEST_F(WinTest, NoActivateWindowsTakeClicksWithoutActivation)
{
    Watch = { WM_ACTIVATE, WM_LBUTTONDOWN };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 400, 300));
    HWND hint = Make("hint", WS_POPUP, Bounds(50, 50, 100, 30), form, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
    ShowWindow(hint, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), form);
    Log.clear();
    Headless::Click({ 60, 60 });
    Pump();
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(Log, (std::vector<TLogged> { { "hint", WM_LBUTTONDOWN, MK_LBUTTON, XY(10, 10) } }));
}

TEST_F(WinTest, DoubleClicksNeedTheClassStyleTimeAndDistance)
{
    struct TCase {
        const char* name;
        bool dblClass;
        UInt64 gapMs;
        int dx;
        std::vector<UINT> expected;
    };
    const TCase cases[] = {
        { "double", true, 100, 0, { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP } },
        { "no class style", false, 100, 0, { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP } },
        { "too slow", true, 501, 0, { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP } },
        { "just in time", true, 500, 0, { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP } },
        { "too far", true, 100, 3, { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP } },
        { "within distance", true, 100, 2, { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Watch = { WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK };
        HWND w = Make(c.name, kTop | WS_VISIBLE, Bounds(0, 0, 200, 200), nullptr, 0, c.dblClass ? u"TestDblClk" : u"TestWindow");
        Log.clear();
        Headless::Click({ 50, 50 });
        Session->Clock().PassTime(c.gapMs);
        Headless::Click({ 50 + c.dx, 50 });
        Pump();
        std::vector<UINT> got;
        for (auto& m : Log)
            got.push_back(m.message);
        EXPECT_EQ(got, c.expected);
        DestroyWindow(w);
        Session->Clock().PassTime(10000);
    }
}

TEST_F(WinTest, ThirdClickIsAPlainPressAgain)
{
    Watch = { WM_LBUTTONDOWN, WM_LBUTTONDBLCLK };
    Make("w", kTop | WS_VISIBLE, Bounds(0, 0, 100, 100), nullptr, 0, u"TestDblClk");
    Log.clear();
    for (int i = 0; i < 3; ++i)
        Headless::Click({ 20, 20 });
    Pump();
    std::vector<UINT> got;
    for (auto& m : Log)
        got.push_back(m.message);
    EXPECT_EQ(got, (std::vector<UINT> { WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN }));
}

TEST_F(WinTest, CaptureKeepsTheMouseAcrossWindows)
{
    Watch = { WM_MOUSEMOVE, WM_LBUTTONUP, WM_CAPTURECHANGED };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(100, 100, 400, 300));
    HWND a = Make("a", kChild, Bounds(0, 0, 100, 100), form);
    HWND b = Make("b", kChild, Bounds(200, 0, 100, 100), form);
    SetCapture(a);
    Log.clear();
    Headless::MouseMove({ 350, 150 }); // over b
    Headless::MouseUp({ 350, 150 });
    Pump();
    const std::vector<TLogged> expected {
        { "a", WM_MOUSEMOVE, 0, XY(250, 50) },
        { "a", WM_LBUTTONUP, 0, XY(250, 50) },
    };
    EXPECT_EQ(Log, expected);
    Log.clear();
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_TRUE(ReleaseCapture());
    const std::vector<TLogged> changes {
        { "a", WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(b) },
        { "b", WM_CAPTURECHANGED, 0, 0 },
    };
    EXPECT_EQ(Log, changes);
    Log.clear();
    Headless::MouseMove({ 120, 120 });
    Pump();
    EXPECT_EQ(Log, (std::vector<TLogged> { { "a", WM_MOUSEMOVE, 0, XY(20, 20) } }));
}

TEST_F(WinTest, MouseLeaveAndHoverAreReportedOnce)
{
    Watch = { WM_MOUSELEAVE, WM_MOUSEHOVER };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 400, 300));
    HWND a = Make("a", kChild, Bounds(0, 0, 100, 100), form);
    Headless::MouseMove({ 50, 50 });
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE | TME_HOVER;
    tme.hwndTrack = a;
    tme.dwHoverTime = 100;
    ASSERT_TRUE(TrackMouseEvent(tme));
    Session->PassTime(150);
    Headless::MouseMove({ 200, 50 });
    Headless::MouseMove({ 210, 50 });
    Pump();
    const std::vector<TLogged> expected { { "a", WM_MOUSEHOVER, 0, XY(50, 50) }, { "a", WM_MOUSELEAVE, 0, 0 } };
    EXPECT_EQ(Log, expected);
}

TEST_F(WinTest, WheelGoesToTheFocusWindowWithScreenPointAndSignedDelta)
{
    Watch = { WM_MOUSEWHEEL };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 400, 300));
    HWND a = Make("a", kChild, Bounds(0, 0, 100, 100), form);
    SetFocus(a);
    Log.clear();
    InjectKey(VK_CONTROL, true);
    Headless::Wheel(-240, { 300, 200 });
    InjectKey(VK_CONTROL, false);
    Pump();
    // The focus window sees it first; unhandled, it goes up to the parent.
    ASSERT_EQ(Log.size(), 2u);
    EXPECT_EQ(Log[0].window, "a");
    EXPECT_EQ(Log[1].window, "form");
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Log[0].wParam), -240);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(Log[0].wParam), MK_CONTROL);
    EXPECT_EQ(Log[0].lParam, XY(300, 200));
}

TEST_F(WinTest, KeysTranslateToCharactersWithThePlatformKeyData)
{
    struct TCase {
        const char* name;
        std::function<void()> input;
        std::vector<TLogged> expected;
    };
    const TCase cases[] = {
        { "letter", [] { Headless::Key('A'); },
            { { "e", WM_KEYDOWN, 'A', 0x001E0001 }, { "e", WM_CHAR, 'a', 0x001E0001 }, { "e", WM_KEYUP, 'A', LPARAM(0xC01E0001u) } } },
        { "shifted digit", [] { InjectKey(VK_SHIFT, true); InjectKey('1', true); },
            { { "e", WM_KEYDOWN, VK_SHIFT, 0x002A0001 }, { "e", WM_KEYDOWN, '1', 0x00020001 }, { "e", WM_CHAR, '!', 0x00020001 } } },
        { "control letter", [] { InjectKey(VK_CONTROL, true); InjectKey('C', true); },
            { { "e", WM_KEYDOWN, VK_CONTROL, 0x001D0001 }, { "e", WM_KEYDOWN, 'C', 0x002E0001 }, { "e", WM_CHAR, 3, 0x002E0001 } } },
        { "alt letter", [] { InjectKey(VK_MENU, true); InjectKey('X', true); },
            { { "e", WM_SYSKEYDOWN, VK_MENU, 0x20380001 }, { "e", WM_SYSKEYDOWN, 'X', 0x202D0001 }, { "e", WM_SYSCHAR, 'x', 0x202D0001 } } },
        { "keypad decimal", [] { InjectKey(VK_DECIMAL, true); },
            { { "e", WM_KEYDOWN, VK_DECIMAL, 0x00530001 }, { "e", WM_CHAR, '.', 0x00530001 } } },
        { "main full stop", [] { InjectKey(VK_OEM_PERIOD, true); },
            { { "e", WM_KEYDOWN, VK_OEM_PERIOD, 0x00340001 }, { "e", WM_CHAR, '.', 0x00340001 } } },
        { "arrow is extended", [] { InjectKey(VK_RIGHT, true); },
            { { "e", WM_KEYDOWN, VK_RIGHT, 0x014D0001 } } },
        { "auto repeat", [] { InjectKey('Q', true); InjectKey('Q', true, true); },
            { { "e", WM_KEYDOWN, 'Q', 0x00100001 }, { "e", WM_CHAR, 'q', 0x00100001 }, { "e", WM_KEYDOWN, 'Q', 0x40100001 }, { "e", WM_CHAR, 'q', 0x40100001 } } },
        { "text outside the map", [] { Headless::Type(u"é€"); },
            { { "e", WM_CHAR, 0xE9, 1 }, { "e", WM_CHAR, 0x20AC, 1 } } },
        { "caps lock", [] { Headless::Key(VK_CAPITAL); Headless::Type(u"aB"); },
            { { "e", WM_CHAR, 'a', 0x001E0001 }, { "e", WM_CHAR, 'B', 0x00300001 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Watch = c.name == std::string("caps lock") ? std::vector<UINT> { WM_CHAR } : std::vector<UINT> { WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR };
        HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 100, 100));
        HWND e = Make("e", kChild, Bounds(0, 0, 50, 20), form);
        SetFocus(e);
        Log.clear();
        c.input();
        Pump();
        EXPECT_EQ(Log, c.expected);
        // Leave no key down for the next case.
        for (WORD vk : { VK_SHIFT, VK_CONTROL, VK_MENU, WORD('1'), WORD('C'), WORD('X'), VK_DECIMAL, VK_OEM_PERIOD, VK_RIGHT, WORD('Q') })
            if (GetAsyncKeyState(vk) & 0x8000)
                InjectKey(vk, false);
        if (GetAsyncKeyState(VK_CAPITAL) & 1)
            Headless::Key(VK_CAPITAL);
        Pump();
        DestroyWindow(form);
    }
}

TEST_F(WinTest, KeyStateFollowsTakenMessagesAsyncStateFollowsInput)
{
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 100, 100));
    SetFocus(form);
    SHORT shiftSeenAtKey = 0;
    Handlers[form] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_KEYDOWN && w == 'A')
            shiftSeenAtKey = GetKeyState(VK_SHIFT);
        return std::nullopt;
    };
    InjectKey(VK_SHIFT, true);
    InjectKey('A', true);
    InjectKey('A', false);
    InjectKey(VK_SHIFT, false);
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    Pump();
    EXPECT_TRUE(shiftSeenAtKey & 0x8000); // as it was when the key was typed
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    EXPECT_FALSE(GetKeyState(VK_LSHIFT) & 0x8000);
}

TEST_F(WinTest, SwappedButtonsAreLogicalInMessagesPhysicalInAsyncState)
{
    Watch = { WM_LBUTTONDOWN, WM_RBUTTONDOWN };
    Make("w", kTop | WS_VISIBLE, Bounds(0, 0, 100, 100));
    SwapMouseButton(true);
    Log.clear();
    Headless::MouseDown({ 10, 10 }, 0); // the physical left button
    EXPECT_TRUE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
    Pump();
    EXPECT_TRUE(GetKeyState(VK_RBUTTON) & 0x8000);
    Headless::MouseUp({ 10, 10 }, 0);
    Pump();
    SwapMouseButton(false);
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0].message, WM_RBUTTONDOWN);
}

TEST_F(WinTest, PressOnADisabledWindowBeepsAndDeliversNothing)
{
    Watch = { WM_LBUTTONDOWN, WM_LBUTTONUP };
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 100, 100));
    EnableWindow(form, false);
    Log.clear();
    Headless::Click({ 10, 10 });
    Pump();
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Session->Backend().GetBeeps(), (std::vector<UINT> { MB_OK }));
}

TEST_F(WinTest, CursorComesFromTheSetCursorMessage)
{
    HWND form = Make("form", kTop | WS_VISIBLE, Bounds(0, 0, 200, 100));
    HWND kid = Make("kid", kChild, Bounds(0, 0, 50, 50), form);
    HCURSOR mine = CreateCursorFromPixels(2, 2, 0, 0, std::vector<std::uint32_t>(4, 0xFF000000u).data());
    SetCursorResource(nullptr, 8010, mine);
    EXPECT_EQ(LoadCursor(nullptr, 8010), mine);
    Handlers[kid] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_SETCURSOR && LOWORD(WPARAM(l)) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, 8010));
            return TRUE;
        }
        return std::nullopt;
    };
    SetClassLongPtr(form, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursor(nullptr, IDC_IBEAM)));
    Headless::MouseMove({ 10, 10 });
    EXPECT_EQ(GetCursor(), mine);
    Headless::MouseMove({ 150, 10 });
    EXPECT_EQ(GetCursorId(GetCursor()), IDC_IBEAM);
    SetClassLongPtr(form, GCLP_HCURSOR, 0);
}

TEST_F(WinTest, PressOnASizingBorderResizesUntilRelease)
{
    Watch = { WM_ENTERSIZEMOVE, WM_SIZING, WM_EXITSIZEMOVE };
    HWND drop = Make("drop", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 150));
    // The bottom-right 10 x 10 corner acts as a size grip.
    Handlers[drop] = [](HWND h, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m != WM_NCHITTEST)
            return std::nullopt;
        POINT p { GET_X_LPARAM(l), GET_Y_LPARAM(l) };
        ScreenToClient(h, p);
        return p.X > 190 && p.Y > 140 ? HTBOTTOMRIGHT : HTCLIENT;
    };
    Headless::MouseDown({ 295, 245 });
    Pump();
    Headless::MouseMove({ 315, 265 });
    Headless::MouseMove({ 335, 275 });
    Headless::MouseUp({ 335, 275 });
    Pump();
    RECT r;
    GetWindowRect(drop, r);
    EXPECT_EQ(r, Bounds(100, 100, 240, 180));
    std::vector<UINT> got;
    for (auto& m : Log)
        got.push_back(m.message);
    EXPECT_EQ(got, (std::vector<UINT> { WM_ENTERSIZEMOVE, WM_SIZING, WM_SIZING, WM_EXITSIZEMOVE }));
    EXPECT_EQ(Log[1].wParam, WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(GetCapture(), nullptr);
    // Afterwards the mouse reaches the window normally again.
    Watch = { WM_MOUSEMOVE };
    Log.clear();
    Headless::MouseMove({ 150, 150 });
    Pump();
    EXPECT_EQ(Log.size(), 1u);
}
