#include <gtest/gtest.h>

#include "tests/platform/web/WebFixture.h"

using namespace webview;
using namespace webtest;

TEST_F(WebViewTest, ScriptResultsAreJsonText)
{
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<html><body><p id=x>hi</p></body></html>"));
    struct Case {
        const char16_t* Script;
        const char16_t* Json;
    };
    const Case cases[] = {
        { u"1 + 1", u"2" },
        { u"'a\"b'", u"\"a\\\"b\"" },
        { u"({a: 1, b: [true, null, 'x']})", u"{\"a\":1,\"b\":[true,null,\"x\"]}" },
        { u"undefined", u"null" },
        { u"throw new Error('boom')", u"null" },
        { u"function f() { return 3; } f();", u"3" },
        { u"NaN", u"null" },
        { u"1.5", u"1.5" },
        { u"document.getElementById('x').innerText", u"\"hi\"" },
        { u"(function(){ var o = {}; o.self = o; return o; })()", u"null" },
        { u"new Date(0)", u"\"1970-01-01T00:00:00.000Z\"" },
        { u"'\u00e9\u4e2d'", u"\"\u00e9\u4e2d\"" },
        { u"Promise.resolve(1)", u"{}" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Script));
        EXPECT_EQ(String(c.Json), RunScript(*view, c.Script));
    }
}

TEST_F(WebViewTest, EveryScriptGetsItsOwnCompletion)
{
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p>x</p>"));
    const int count = 20;
    std::vector<String> results(count);
    int done = 0;
    for (int i = 0; i < count; ++i)
        view->ExecuteScript(S("[" + std::to_string(i) + ", 'v']"), [&, i](HRESULT, const String& json) {
            results[std::size_t(i)] = json;
            ++done;
        });
    ASSERT_TRUE(PumpUntil([&] { return done == count; }));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(S("[" + std::to_string(i) + ",\"v\"]"), results[std::size_t(i)]);
}
