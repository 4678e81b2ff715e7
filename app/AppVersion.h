#pragma once
#include "platform/rtl/String.h"

// The program's name and version as shown to the user.
constexpr const char16_t* AppTitle = u"Quarrytide";
String AppVersionText();
