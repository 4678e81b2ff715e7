#include <gtest/gtest.h>

#include "platform/rtl/MainThread.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/platform/web/WebFixture.h"
#include "tests/support/HttpServer.h"

using namespace webview;
using namespace webtest;

namespace {

// Runs queued calls and window messages (painting) until `done` holds.
bool PumpWindowsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = testsupport::EventLimit)
{
    return PumpUntil([&] {
        Headless::PumpUntilIdle();
        return done();
    }, timeout);
}

String Script(CoreWebView2& view, const String& script)
{
    Headless::PumpUntilIdle();
    return RunScript(view, script);
}

const char16_t* const Page = uR"(<html><body style="margin:0;background:#ff0000;height:3000px">
<button id=b style="position:absolute;left:0;top:0;width:200px;height:100px;background:#0000ff;border:0"
  onclick="window.clicks=(window.clicks||0)+1">b</button>
<input id=i style="position:absolute;left:0;top:150px;width:200px;height:40px">
<script>window.keys=[];addEventListener('keydown',function(e){keys.push(e.keyCode)});</script>
</body></html>)";

} // namespace

TEST(WebViewOnScreen, PageIsPaintedIntoTheParentAndTakesInput)
{
    SetMainThread();
    auto env = SharedEnvironment();
    ASSERT_TRUE(env);
    THeadlessSession session;
    WNDCLASSEX wc;
    wc.lpszClassName = u"WebViewTestParent";
    wc.lpfnWndProc = DefWindowProc;
    RegisterClassEx(wc);
    HWND parent = CreateWindowEx(0, u"WebViewTestParent", u"parent", WS_POPUP | WS_VISIBLE, 100, 80, 400, 300,
        nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent);

    // Shared with the completion, which may come after a failed wait.
    auto made = std::make_shared<std::shared_ptr<CoreWebView2Controller>>();
    env->CreateCoreWebView2Controller(parent, [made](HRESULT, std::shared_ptr<CoreWebView2Controller> c) { *made = c; });
    ASSERT_TRUE(PumpWindowsUntil([&] { return *made != nullptr; }));
    std::shared_ptr<CoreWebView2Controller> controller = *made;
    auto view = controller->GetCoreWebView2();
    ASSERT_TRUE(controller->GetWindow());
    EXPECT_EQ(TRect(0, 0, 400, 300), controller->GetBounds());
    ASSERT_TRUE(ShowHtmlAndWait(*view, Page));

    // The page shows in the parent at the controller's bounds.
    auto pixelAt = [](int x, int y) { return Headless::ScreenPixel(TPoint(100 + x, 80 + y)) & 0xFFFFFF; };
    EXPECT_TRUE(PumpWindowsUntil([&] { return pixelAt(300, 250) == 0xFF0000 && pixelAt(100, 50) == 0x0000FF; }))
        << std::hex << pixelAt(300, 250) << " " << pixelAt(100, 50);
    EXPECT_EQ(u"[400,300]", Script(*view, u"[innerWidth, innerHeight]"));

    // Mouse clicks, text and the wheel reach the page.
    Headless::Click(TPoint(100 + 50, 80 + 50));
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"window.clicks") == u"1"; }));
    Headless::Click(TPoint(100 + 50, 80 + 170));
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"document.activeElement.id") == u"\"i\""; }));
    Headless::Type(u"Ab \u00e9");
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"document.getElementById('i').value") == u"\"Ab \u00e9\""; }))
        << StringToUtf8(RunScript(*view, u"document.getElementById('i').value"));
    Headless::Key(VK_BACK);
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"document.getElementById('i').value") == u"\"Ab \""; }));
    Headless::Wheel(-120, TPoint(100 + 300, 80 + 250));
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"scrollY > 0") == u"true"; }));

    // Accelerator keys go to the program first; a handled one stays there.
    std::vector<UINT> accelerators;
    controller->AcceleratorKeyPressed.Add([&](CoreWebView2Controller&, AcceleratorKeyPressedEventArgs& a) {
        if (a.Kind == KeyEventKind::KeyDown)
            accelerators.push_back(a.VirtualKey);
        a.Handled = a.VirtualKey == VK_F1 + 4;
    });
    RunScript(*view, u"keys.length = 0");
    Headless::Key(VK_F1 + 4);
    Headless::Key(VK_F1 + 6);
    Headless::Key('X');
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"keys.length") == u"2"; }));
    EXPECT_EQ(u"[118,88]", RunScript(*view, u"keys"));
    EXPECT_EQ((std::vector<UINT> { VK_F1 + 4, VK_F1 + 6 }), accelerators);

    // Resizing follows the bounds and shows the page at once at the new
    // size (the last frame stretched until a new one comes), then in frames
    // of the new size: never blank.
    Script(*view, u"scrollTo(0, 0)");
    ASSERT_TRUE(PumpWindowsUntil([&] { return pixelAt(100, 90) == 0x0000FF && pixelAt(100, 110) == 0xFF0000; }));
    controller->SetBounds(TRect(0, 0, 200, 150));
    Headless::PumpUntilIdle();
    // A stretched frame blends neighbouring pixels: the colour dominates.
    auto mostly = [](std::uint32_t p, int shift) {
        return ((p >> shift) & 0xFF) > 0xC0 && ((p >> (16 - shift)) & 0xFF) < 0x40 && ((p >> 8) & 0xFF) < 0x40;
    };
    EXPECT_TRUE(mostly(pixelAt(50, 25), 0)) << std::hex << pixelAt(50, 25);
    EXPECT_TRUE(mostly(pixelAt(150, 120), 16)) << std::hex << pixelAt(150, 120);
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"[innerWidth, innerHeight]") == u"[200,150]"; }));
    controller->SetBounds(TRect(0, 0, 400, 300));
    Headless::PumpUntilIdle();
    // (Away from the right edge, where a frame of the small size has its
    // scroll bar.)
    EXPECT_TRUE(mostly(pixelAt(300, 280), 16)) << std::hex << pixelAt(300, 280);
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"[innerWidth, innerHeight]") == u"[400,300]"; }));
    // The button is 200 x 100 on the page: once a frame of the new size is
    // shown it is back to that size.
    EXPECT_TRUE(PumpWindowsUntil([&] { return pixelAt(100, 50) == 0x0000FF && pixelAt(250, 50) == 0xFF0000; }))
        << std::hex << pixelAt(100, 50) << " " << pixelAt(250, 50);
    controller->SetBounds(TRect(0, 0, 200, 150));
    EXPECT_TRUE(PumpWindowsUntil([&] { return RunScript(*view, u"[innerWidth, innerHeight]") == u"[200,150]"; }));

    // Each page shows as soon as it has loaded, also one from another site
    // (which the browser renders in another process).
    testsupport::HttpServer site;
    site.Route("/green", [](const testsupport::HttpRequest&) {
        testsupport::HttpResponse r;
        r.Body = "<html><body style='margin:0;background:#00ff00'></body></html>";
        return r;
    });
    ASSERT_TRUE(NavigateAndWait(*view, Utf8ToString(site.BaseUrl() + "/green")));
    EXPECT_TRUE(PumpWindowsUntil([&] { return pixelAt(100, 75) == 0x00FF00; })) << std::hex << pixelAt(100, 75);
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<html><body style='margin:0;background:#0000ff'></body></html>"));
    EXPECT_TRUE(PumpWindowsUntil([&] { return pixelAt(100, 75) == 0x0000FF; })) << std::hex << pixelAt(100, 75);
    // Navigations in quick succession, as a program's start-up makes them
    // before it handles any message: the last page shows.
    view->NavigateToString(u"<html><body style='margin:0;background:#ffff00'>loading</body></html>");
    view->NavigateToString(u"<html><body style='margin:0;background:#00ffff'>start</body></html>");
    view->Navigate(Utf8ToString(site.BaseUrl() + "/green"));
    EXPECT_TRUE(PumpWindowsUntil([&] { return pixelAt(100, 75) == 0x00FF00; })) << std::hex << pixelAt(100, 75);
    controller->SetIsVisible(false);
    EXPECT_FALSE(IsWindowVisible(controller->GetWindow()));

    controller->Close();
    EXPECT_FALSE(controller->GetWindow());
    DestroyWindow(parent);
    UnregisterClass(u"WebViewTestParent");
    CheckSynchronize();
}
