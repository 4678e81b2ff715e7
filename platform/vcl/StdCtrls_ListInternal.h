#pragma once

// Helpers shared by the list box and the combo box (StdCtrls_List*.cpp).
// Not part of the framework's API.

#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls_List.h"

namespace listctrls_detail {

// Type-ahead collects characters typed within this many milliseconds.
constexpr UInt64 TypeAheadMs = 1000;

bool StartsWithNoCase(const String& s, const String& prefix);
// The first line at or after `From` (wrapping) that starts with `Prefix`.
int FindPrefix(const TStrings& items, const String& prefix, int from);
// Type-ahead: a repeated single character steps through the lines that
// start with it; otherwise the collected characters are a prefix.
int TypeAheadIndex(const TStrings& items, String& typed, UInt64& typedAt, char16_t ch, int current);
void PaintListLine(TCanvas* canvas, const TControl* control, const String& text, TRect r, TOwnerDrawState state);
TPoint PointOf(LPARAM l);
int FontLineHeight(TFont* font);

} // namespace listctrls_detail

using namespace listctrls_detail;
