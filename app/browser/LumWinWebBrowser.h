#pragma once
// The platform browser over the web view (platform/web/WebView.h) and the
// browser service that makes it.

#include "app/browser/LumWebBrowserServices.h"

// Browser unit start and end: the program's main and test set-up call these
// (no static initialisers). Registration keeps a service registered first.
void RegisterLumWinWebBrowserService();
void UnregisterLumWinWebBrowserService();
