#pragma once
// One browser per test program (starting Chromium is the slow part); each
// test gets a fresh web view in it, and pumps the GUI queue while it waits.

#include <chrono>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "platform/web/WebView.h"
#include "tests/support/Limits.h"

namespace webtest {

// Runs queued GUI calls until `done` holds or `timeout` passes.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = testsupport::EventLimit);

// The shared environment (started on first use, closed at exit).
std::shared_ptr<webview::CoreWebView2Environment> SharedEnvironment();

// A fresh controller with its web view, or a test failure.
std::shared_ptr<webview::CoreWebView2Controller> NewController();

// Runs a script and waits for its JSON result.
String RunScript(webview::CoreWebView2& view, const String& script);

// Navigates (or shows `html`) and waits for NavigationCompleted; returns its success.
bool NavigateAndWait(webview::CoreWebView2& view, const String& uri);
bool ShowHtmlAndWait(webview::CoreWebView2& view, const String& html);

class WebViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::shared_ptr<webview::CoreWebView2Controller> controller;
    std::shared_ptr<webview::CoreWebView2> view;
};

} // namespace webtest
