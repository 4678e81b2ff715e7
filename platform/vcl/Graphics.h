#pragma once

#include "platform/rtl/Types.h"

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; system colours resolve through the current colour table.
TColor ColorToRGB(TColor color);
