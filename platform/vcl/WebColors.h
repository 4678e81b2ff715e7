#pragma once
// Names of the web's named colours, one identifier per RGB value.

#include "platform/rtl/String.h"
#include "platform/vcl/Graphics.h"

// The identifier of the named web colour of Color's RGB value (system
// colours resolved first), such as "clWebSnow"; otherwise "#RRGGBB".
String ColorToWebColorName(TColor Color);
