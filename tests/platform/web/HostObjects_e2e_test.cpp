#include <gtest/gtest.h>

#include "tests/platform/web/WebFixture.h"

using namespace webview;
using namespace webtest;

namespace {

struct RecordingObject : ICoreWebView2HostObject {
    std::vector<std::pair<String, HostObjectValue>> puts;
    void PutProperty(const String& name, const HostObjectValue& value) override { puts.emplace_back(name, value); }
};

} // namespace

TEST_F(WebViewTest, PageScriptsPutPropertiesOfHostObjects)
{
    auto bridge = std::make_shared<RecordingObject>();
    view->AddHostObjectToScript(u"bridge", bridge);
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p>page</p>"));
    struct Case {
        const char16_t* Script;
        const char16_t* Property;
        HostObjectValue Value;
    };
    const Case cases[] = {
        { u"chrome.webview.hostObjects.sync.bridge.ObjectMessage = 'hello \"you\"'", u"ObjectMessage",
            String(u"hello \"you\"") },
        { u"chrome.webview.hostObjects.bridge.Count = 42", u"Count", 42.0 },
        { u"chrome.webview.hostObjects.sync.bridge.Flag = true", u"Flag", true },
        { u"chrome.webview.hostObjects.sync.bridge.Nothing = undefined", u"Nothing", std::monostate {} },
        { u"chrome.webview.hostObjects.sync.bridge.List = [1, 'a']", u"List", String(u"[1,\"a\"]") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Script));
        bridge->puts.clear();
        RunScript(*view, c.Script);
        ASSERT_TRUE(PumpUntil([&] { return !bridge->puts.empty(); }));
        ASSERT_EQ(1u, bridge->puts.size());
        EXPECT_EQ(c.Property, bridge->puts[0].first);
        EXPECT_EQ(c.Value, bridge->puts[0].second);
    }
}

TEST_F(WebViewTest, HostObjectsFollowAddAndRemove)
{
    auto first = std::make_shared<RecordingObject>();
    auto second = std::make_shared<RecordingObject>();
    // Added while a page is already shown: that page sees it at once.
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p>one</p>"));
    view->AddHostObjectToScript(u"first", first);
    const char16_t* probe = u"[typeof chrome.webview.hostObjects.sync.first, typeof chrome.webview.hostObjects.second]";
    EXPECT_EQ(u"[\"object\",\"undefined\"]", RunScript(*view, probe));
    view->AddHostObjectToScript(u"second", second);
    // A new page sees both; a removed one is gone there and in the next page.
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p>two</p>"));
    EXPECT_EQ(u"[\"object\",\"object\"]", RunScript(*view, probe));
    view->RemoveHostObjectFromScript(u"first");
    EXPECT_EQ(u"[\"undefined\",\"object\"]", RunScript(*view, probe));
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p>three</p>"));
    EXPECT_EQ(u"[\"undefined\",\"object\"]", RunScript(*view, probe));
    // The sender function a page defines for the bridge works as written.
    RunScript(*view,
        u"var sendsecondObjectMessage = function(parameters) {\r  var v = parameters;\r"
        u"if (!window.chrome || !window.chrome.webview || !window.chrome.webview.hostObjects || "
        u"!window.chrome.webview.hostObjects.sync) {\r  return;\r}\r"
        u"var obj = window.chrome.webview.hostObjects.sync.second;\r  if (obj) {\r    obj.ObjectMessage = v;\r  }\r};"
        u"sendsecondObjectMessage('via sender'); 0");
    ASSERT_TRUE(PumpUntil([&] { return !second->puts.empty(); }));
    EXPECT_EQ(HostObjectValue(String(u"via sender")), second->puts.back().second);
    EXPECT_TRUE(first->puts.empty());
}

TEST_F(WebViewTest, CapturePreviewGivesPngBytes)
{
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<body style='background:#08f'>shot</body>"));
    TBytes png;
    HRESULT result = E_FAIL;
    bool done = false;
    view->CapturePreview(CapturePreviewImageFormat::Png, [&](HRESULT hr, const TBytes& bytes) {
        result = hr;
        png = bytes;
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_EQ(S_OK, result);
    const TBytes signature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    ASSERT_GT(png.size(), 100u);
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
}
