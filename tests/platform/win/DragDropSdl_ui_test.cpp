// Desktop drops through the SDL back end on a private display: SDL's drop
// events become one drop on the registered target under the pointer.

#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/rtl/MainThread.h"
#include "platform/win/SdlBackend.h"
#include "tests/platform/win/DragDropFixture.h"
#include "tests/support/Limits.h"
#include "tests/support/PrivateDisplay.h"

namespace {

Uint32 SdlWindowIdOf(const char* title)
{
    for (Uint32 id = 1; id < 256; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::string(SDL_GetWindowTitle(w)) == title)
            return id;
    return 0;
}

void Push(Uint32 type, Uint32 windowId, const char* item = nullptr)
{
    SDL_Event e {};
    e.type = type;
    e.drop.windowID = windowId;
    e.drop.file = item ? SDL_strdup(item) : nullptr; // the back end frees it
    SDL_PushEvent(&e);
}

} // namespace

TEST(SdlBackend, DropEventsLandOnTheRegisteredTargetUnderThePointer)
{
    testsupport::TPrivateDisplay display(640, 480);
    std::unique_ptr<IWindowBackend> sdl = CreateSdlBackend();
    if (!sdl)
        GTEST_SKIP() << "no display can be opened";
    SetWindowBackend(sdl.get());
    InstallMessageLoopHooks();
    OleInitialize();
    WNDCLASSEX wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = u"DropProbe";
    RegisterClassEx(wc);
    {
        HWND w = CreateWindowEx(0, u"DropProbe", u"DropProbe", WS_POPUP | WS_VISIBLE, 40, 50, 200, 150, nullptr, nullptr,
            nullptr, nullptr);
        ASSERT_NE(w, nullptr);
        std::vector<TDropCall> calls;
        TComPtr<TRecordingTarget> target(new TRecordingTarget("probe", calls));
        ASSERT_EQ(RegisterDragDrop(w, target.get()), S_OK);
        Headless::PumpUntilIdle();
        const Uint32 id = SdlWindowIdOf("DropProbe");
        ASSERT_NE(id, 0u);
        SDL_WarpMouseGlobal(100, 120);

        Push(SDL_DROPBEGIN, id);
        Push(SDL_DROPFILE, id, "/tmp/first file.csv");
        Push(SDL_DROPFILE, id, "/tmp/\xc3\xa9t\xc3\xa9.xls");
        Push(SDL_DROPCOMPLETE, id);
        const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
        while ((calls.empty() || calls.back().What != "drop") && std::chrono::steady_clock::now() < deadline) {
            Headless::PumpUntilIdle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const std::vector<TDropCall> expected {
            { "probe", "enter", 0, { 100, 120 } }, { "probe", "over", 0, { 100, 120 } }, { "probe", "drop", 0, { 100, 120 } },
        };
        EXPECT_EQ(calls, expected);
        EXPECT_EQ(target->DroppedFiles, (std::vector<String> { u"/tmp/first file.csv", u"/tmp/\u00e9t\u00e9.xls" }));
        DestroyWindow(w);
        EXPECT_EQ(target->GetRefCount(), 1);
    }
    OleUninitialize();
    UnregisterClass(u"DropProbe");
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetWindowBackend(nullptr);
    sdl.reset();
}
