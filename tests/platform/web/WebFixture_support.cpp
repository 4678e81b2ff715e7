#include "tests/platform/web/WebFixture.h"

#include "platform/rtl/MainThread.h"

using namespace webview;

namespace webtest {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        CheckSynchronize();
        if (done())
            return true;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        WaitForMainThreadWork(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now),
            std::chrono::milliseconds(20)));
    }
}

namespace {

struct Shared {
    std::shared_ptr<CoreWebView2Environment> env;
};

Shared& shared()
{
    static Shared s;
    return s;
}

// Closes the shared browser while the GUI queue still exists.
class CloseBrowserAtEnd : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (auto& env = shared().env) {
            env->Close();
            CheckSynchronize();
            env.reset();
        }
    }
};

[[maybe_unused]] auto* const closeAtEnd = ::testing::AddGlobalTestEnvironment(new CloseBrowserAtEnd);

} // namespace

std::shared_ptr<CoreWebView2Environment> SharedEnvironment()
{
    auto& s = shared();
    if (!s.env) {
        SetMainThread();
        // Shared with the completion, which may come after a failed wait.
        auto done = std::make_shared<bool>(false);
        HRESULT hr = CreateCoreWebView2EnvironmentWithOptions({}, {}, nullptr,
            [done](HRESULT result, std::shared_ptr<CoreWebView2Environment> env) {
                *done = true;
                if (result == S_OK)
                    shared().env = env;
            });
        EXPECT_EQ(S_OK, hr);
        EXPECT_TRUE(PumpUntil([&] { return *done; }));
    }
    return s.env;
}

std::shared_ptr<CoreWebView2Controller> NewController()
{
    auto env = SharedEnvironment();
    if (!env) {
        ADD_FAILURE() << "no browser environment";
        return nullptr;
    }
    struct Made {
        bool done { false };
        HRESULT hr { S_OK };
        std::shared_ptr<CoreWebView2Controller> controller;
    };
    auto made = std::make_shared<Made>();
    env->CreateCoreWebView2Controller(nullptr, [made](HRESULT hr, std::shared_ptr<CoreWebView2Controller> c) {
        made->done = true;
        made->hr = hr;
        made->controller = c;
    });
    EXPECT_TRUE(PumpUntil([&] { return made->done; }));
    EXPECT_EQ(S_OK, made->hr);
    return made->controller;
}

String RunScript(CoreWebView2& view, const String& script)
{
    // Shared with the completion, which may still come after a wait that
    // gave up.
    struct Answer {
        bool done { false };
        String result { u"<no answer>" };
    };
    auto answer = std::make_shared<Answer>();
    view.ExecuteScript(script, [answer](HRESULT, const String& json) {
        answer->done = true;
        answer->result = json;
    });
    PumpUntil([&] { return answer->done; });
    return answer->result;
}

bool NavigateAndWait(CoreWebView2& view, const String& uri)
{
    bool done = false, success = false;
    auto token = view.NavigationCompleted.Add([&](CoreWebView2&, const NavigationCompletedEventArgs& a) {
        done = true;
        success = a.IsSuccess;
    });
    view.Navigate(uri);
    bool arrived = PumpUntil([&] { return done; });
    view.NavigationCompleted.Remove(token);
    EXPECT_TRUE(arrived) << "no NavigationCompleted for " << StringToUtf8(uri);
    return success;
}

bool ShowHtmlAndWait(CoreWebView2& view, const String& html)
{
    bool done = false, success = false;
    auto token = view.NavigationCompleted.Add([&](CoreWebView2&, const NavigationCompletedEventArgs& a) {
        done = true;
        success = a.IsSuccess;
    });
    view.NavigateToString(html);
    bool arrived = PumpUntil([&] { return done; });
    view.NavigationCompleted.Remove(token);
    EXPECT_TRUE(arrived);
    return success;
}

void WebViewTest::SetUp()
{
    controller = NewController();
    ASSERT_TRUE(controller);
    view = controller->GetCoreWebView2();
}

void WebViewTest::TearDown()
{
    if (controller)
        controller->Close();
    view.reset();
    controller.reset();
    CheckSynchronize();
}

} // namespace webtest
