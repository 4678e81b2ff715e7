// The drag loop driven by synthetic input: input is queued before the loop
// starts or injected by timers while it runs, and every script ends in a
// release or Escape so a wrong step cannot leave the loop running.

#include "tests/platform/win/DragDropFixture.h"

namespace {

constexpr DWORD kTop = WS_OVERLAPPED | WS_VISIBLE;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCopyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

class DragLoop : public DragDropTest {
protected:
    // Presses the left button at `at` and lets the window there take it.
    void Press(TPoint at)
    {
        Headless::MouseDown(at);
        Pump();
    }
    // Runs `action` once, `ms` after the loop started waiting.
    void After(HWND hwnd, UINT ms, std::function<void()> action)
    {
        const UINT_PTR id = 0x700 + m_actions.size();
        m_actions.push_back(std::move(action));
        SetTimer(hwnd, id, ms, nullptr);
        Handlers[hwnd] = [this](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_TIMER && w >= 0x700 && w < 0x700 + m_actions.size()) {
                KillTimer(h, w);
                m_actions[w - 0x700]();
                return 0;
            }
            return std::nullopt;
        };
    }
    HRESULT Drag(DWORD ok, DWORD& effect, const String& text = u"dragged")
    {
        TComPtr<TDataObject> data = TextData(text);
        return DoDragDrop(data.get(), Source.get(), ok, &effect);
    }
    TComPtr<TScriptSource> Source { new TScriptSource };

private:
    std::vector<std::function<void()>> m_actions;
};

TEST_F(DragLoop, DragBetweenTwoWindowsEntersLeavesAndDropsInOrder)
{
    Watch = { WM_LBUTTONUP, WM_MOUSEMOVE };
    HWND form = Make("form", kTop, Bounds(0, 0, 400, 300));
    HWND a = Make("a", kChild, Bounds(10, 10, 100, 100), form);
    HWND b = Make("b", kChild, Bounds(200, 10, 150, 150), form);
    // An unregistered child drops on its nearest registered ancestor.
    Make("inner", kChild, Bounds(20, 20, 50, 50), b);
    auto ta = Target("a", a);
    auto tb = Target("b", b);
    const TPoint a0 { 20, 20 }, a1 { 40, 40 }, gap { 150, 50 }, b1 { 230, 40 }, b2 { 300, 120 };

    InjectKey(VK_SHIFT, true);
    Press(a0);
    Log.clear();
    for (TPoint p : { a1, gap, b1, b2 })
        Headless::MouseMove(p);
    Headless::MouseUp(b2);
    DWORD effect = 0;
    EXPECT_EQ(Drag(kCopyMove, effect, u"two words"), DRAGDROP_S_DROP);
    InjectKey(VK_SHIFT, false);

    const DWORD held = MK_LBUTTON | MK_SHIFT;
    const std::vector<TDropCall> expected {
        { "a", "enter", held, a0 }, { "a", "over", held, a1 }, { "a", "leave", 0, {} },
        { "b", "enter", held, b1 }, { "b", "over", held, b2 }, { "b", "drop", MK_SHIFT, b2 },
    };
    EXPECT_EQ(Calls, expected);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(tb->DroppedText, u"two words");
    // Over the form, which has no target, the source heard "none" and the
    // no-drop cursor showed.
    EXPECT_EQ(Source->Feedback, (std::vector<DWORD> { 2, 2, 0, 2, 2 }));
    ASSERT_EQ(Source->Cursors.size(), 6u);
    EXPECT_EQ(Source->Cursors[3], GetDragCursor(DROPEFFECT_NONE));
    EXPECT_EQ(Source->Cursors[3], LoadCursor(nullptr, IDC_NO));
    EXPECT_EQ(Source->Cursors[5], GetDragCursor(DROPEFFECT_MOVE));
    // The input belonged to the loop; the capture and our references are gone.
    Pump();
    EXPECT_TRUE(Log.empty()) << Log.front();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x8000, 0);
    EXPECT_EQ(ta->GetRefCount(), 2);
    EXPECT_EQ(tb->GetRefCount(), 2);
}

TEST_F(DragLoop, DragStartedInAMouseMoveHandlerDropsOnItsOwnWindow)
{
    Watch = { WM_LBUTTONUP, WM_MOUSEMOVE };
    HWND form = Make("form", kTop, Bounds(0, 0, 400, 300));
    HWND grid = Make("grid", kChild, Bounds(10, 10, 300, 200), form);
    auto target = Target("grid", grid);
    HRESULT result = 0;
    DWORD effect = 0;
    int drags = 0;
    Handlers[grid] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_MOUSEMOVE && (w & MK_LBUTTON) && drags++ == 0)
            result = Drag(kCopyMove, effect);
        return std::nullopt;
    };
    Press({ 20, 20 });
    Log.clear();
    Headless::MouseMove({ 30, 30 });
    Headless::MouseMove({ 100, 120 });
    Headless::MouseUp({ 100, 120 });
    Pump();
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    const std::vector<TDropCall> expected {
        { "grid", "enter", MK_LBUTTON, { 30, 30 } },
        { "grid", "over", MK_LBUTTON, { 100, 120 } },
        { "grid", "drop", 0, { 100, 120 } },
    };
    EXPECT_EQ(Calls, expected);
    // Only the move that started the drag reached the window.
    EXPECT_EQ(Log, (std::vector<TLogged> { { "grid", WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20) } }));
}

TEST_F(DragLoop, RestingPointerRepeatsDragOverWhileTimersAndPaintGoOn)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 400, 300));
    HWND grid = Make("grid", kChild, Bounds(10, 10, 300, 200), form);
    auto target = Target("grid", grid);
    int ticks = 0, paints = 0;
    SetTimer(grid, 1, 100, nullptr);
    Press({ 50, 50 });
    Handlers[grid] = [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_TIMER && w == 1) {
            ++ticks;
            InvalidateRect(h, nullptr, false); // an auto-scroll repaints
            return 0;
        }
        if (m == WM_PAINT)
            ++paints;
        return std::nullopt;
    };
    After(form, 525, [] { Headless::MouseUp({ 50, 50 }); });
    const UInt64 start = GetTickCount64();
    DWORD effect = 0;
    EXPECT_EQ(Drag(kCopyMove, effect), DRAGDROP_S_DROP);
    EXPECT_GE(GetTickCount64() - start, 525u);
    // A step every 50 ms: ten repeats of DragOver at the resting point.
    ASSERT_GE(Calls.size(), 3u);
    EXPECT_EQ(Calls.front().What, "enter");
    EXPECT_EQ(Calls.back().What, "drop");
    const auto overs = std::count_if(Calls.begin(), Calls.end(), [](const TDropCall& c) {
        return c.What == "over" && c.Point == TPoint(50, 50) && c.Keys == MK_LBUTTON;
    });
    EXPECT_EQ(std::size_t(overs), Calls.size() - 2);
    EXPECT_GE(overs, 9);
    EXPECT_GE(ticks, 5);
    EXPECT_GE(paints, 5);
}

TEST_F(DragLoop, EffectFollowsCtrlAndIsMaskedByTheAllowedEffects)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 400, 300));
    HWND w = Make("w", kChild, Bounds(10, 10, 300, 200), form);
    auto target = Target("w", w);
    struct TCase {
        const char* What;
        DWORD Ok;
        bool Ctrl;
        std::function<DWORD(DWORD, DWORD)> Answer; // null: by the keys
        DWORD Effect;
        const char* Last;
    };
    const auto all = [](DWORD, DWORD) -> DWORD { return DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK; };
    const TCase cases[] = {
        { "move by default", kCopyMove, false, nullptr, DROPEFFECT_MOVE, "drop" },
        { "ctrl copies", kCopyMove, true, nullptr, DROPEFFECT_COPY, "drop" },
        { "copy when move is not allowed", DROPEFFECT_COPY, false, nullptr, DROPEFFECT_COPY, "drop" },
        { "a copy the source does not allow is none", DROPEFFECT_MOVE, true, nullptr, DROPEFFECT_NONE, "leave" },
        { "masked to link", DROPEFFECT_LINK, false, all, DROPEFFECT_LINK, "drop" },
        { "a target answering none gets no drop", kCopyMove, false, [](DWORD, DWORD) -> DWORD { return 0; },
            DROPEFFECT_NONE, "leave" },
        // A target that failed DragEnter is not called again.
        { "a throwing target refuses", kCopyMove, false,
            [](DWORD, DWORD) -> DWORD { throw std::runtime_error("broken target"); }, DROPEFFECT_NONE, "enter" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Calls.clear();
        Source = TComPtr<TScriptSource>(new TScriptSource);
        target->Answer = c.Answer ? c.Answer : KeyStateEffect;
        Press({ 50, 50 });
        if (c.Ctrl)
            InjectKey(VK_CONTROL, true);
        Headless::MouseMove({ 60, 60 });
        Headless::MouseUp({ 60, 60 });
        DWORD effect = 0xFF;
        EXPECT_EQ(Drag(c.Ok, effect), DRAGDROP_S_DROP);
        if (c.Ctrl)
            InjectKey(VK_CONTROL, false);
        Pump();
        EXPECT_EQ(effect, c.Effect);
        ASSERT_FALSE(Calls.empty());
        EXPECT_EQ(Calls.back().What, c.Last);
        EXPECT_EQ(Source->Feedback.back(), c.Effect);
        EXPECT_EQ(Source->Cursors.back(), GetDragCursor(c.Effect));
        if (c.Ctrl) {
            // The key change was a step of its own.
            ASSERT_GE(Calls.size(), 3u);
            EXPECT_EQ(Calls[1].Keys, DWORD(MK_LBUTTON | MK_CONTROL));
        }
    }
}

TEST_F(DragLoop, EscapeOrLosingTheCaptureCancels)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 400, 300));
    HWND w = Make("w", kChild, Bounds(10, 10, 300, 200), form);
    HWND other = Make("other", kChild, Bounds(320, 10, 50, 50), form);
    auto target = Target("w", w);
    struct TCase {
        const char* What;
        std::function<void()> Interrupt;
    };
    const TCase cases[] = {
        { "escape", [] { Headless::Key(VK_ESCAPE); } },
        { "cancel mode", [] { SendMessage(GetCapture(), WM_CANCELMODE, 0, 0); } },
        { "another window takes the capture", [&] { SetCapture(other); } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Calls.clear();
        Press({ 50, 50 });
        Headless::MouseMove({ 60, 60 });
        After(form, 200, [&] {
            c.Interrupt();
            // Reaching the release would drop instead.
            Headless::MouseUp({ 70, 70 });
        });
        DWORD effect = 0xFF;
        EXPECT_EQ(Drag(kCopyMove, effect), DRAGDROP_S_CANCEL);
        EXPECT_EQ(effect, DROPEFFECT_NONE);
        ASSERT_FALSE(Calls.empty());
        EXPECT_EQ(Calls.back().What, "leave");
        EXPECT_EQ(std::count_if(Calls.begin(), Calls.end(), [](const TDropCall& x) { return x.What == "drop"; }), 0);
        ReleaseCapture();
        Pump();
    }
}

TEST_F(DragLoop, TargetRevokedOrDestroyedMidDragIsNeverCalledAgain)
{
    struct TCase {
        const char* What;
        bool Destroy;
    };
    for (const TCase c : { TCase { "revoked in its own DragOver", false }, TCase { "window destroyed", true } }) {
        SCOPED_TRACE(c.What);
        Calls.clear();
        HWND form = Make("form", kTop, Bounds(0, 0, 400, 300));
        HWND child = Make("child", kChild, Bounds(10, 10, 300, 200), form);
        auto outer = Target("form", form);
        auto inner = Target("child", child);
        inner->OnCall = [&](const std::string& what) {
            if (what != "over")
                return;
            if (c.Destroy)
                DestroyWindow(child);
            else
                EXPECT_EQ(RevokeDragDrop(child), S_OK);
        };
        Press({ 50, 50 });
        Headless::MouseMove({ 60, 60 });
        // Input queued for a window that goes is dropped with it, so the
        // rest comes while the loop holds the capture.
        After(form, 100, [] {
            Headless::MouseMove({ 70, 70 });
            Headless::MouseMove({ 80, 80 });
            Headless::MouseUp({ 80, 80 });
        });
        DWORD effect = 0;
        EXPECT_EQ(Drag(kCopyMove, effect), DRAGDROP_S_DROP);
        // The form's own registration takes over at the next step, without
        // a leave for the child.
        const std::vector<TDropCall> first { { "child", "enter", MK_LBUTTON, { 50, 50 } },
            { "child", "over", MK_LBUTTON, { 60, 60 } } };
        ASSERT_GE(Calls.size(), 4u);
        EXPECT_EQ(std::vector<TDropCall>(Calls.begin(), Calls.begin() + 2), first);
        EXPECT_EQ(Calls[2].What, "enter");
        EXPECT_TRUE(std::all_of(Calls.begin() + 2, Calls.end(), [](const TDropCall& x) { return x.Target == "form"; }));
        EXPECT_EQ(Calls.back(), (TDropCall { "form", "drop", 0, { 80, 80 } }));
        EXPECT_EQ(effect, DROPEFFECT_MOVE);
        EXPECT_EQ(inner->GetRefCount(), 1); // only ours: the loop and the registration let go
        inner->OnCall = nullptr;
        DestroyWindow(form);
        EXPECT_EQ(outer->GetRefCount(), 1);
    }
}

} // namespace
