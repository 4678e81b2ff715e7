#pragma once

// Helpers shared by the files that implement ComCtrls.h (ComCtrls*.cpp).
// Not part of the framework's API.

#include "platform/vcl/Graphics.h"

namespace comctrls_detail {

TSize TextExtent(TFont* font, const String& text);

} // namespace comctrls_detail

using namespace comctrls_detail;
