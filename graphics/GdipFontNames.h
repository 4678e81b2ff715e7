#pragma once
// Font family names as the GDI+ library answers them. The library gives its
// closest match for any name, where the platform reports a name it does not
// know as not found; both wrapper sets use this to tell the two apart.

#include "platform/rtl/String.h"

// Whether `found`, the family the library made for `requested`, is that
// family: the name itself or what the project's font map makes of it.
bool IsGdipFamilyOfName(const String& found, const String& requested);
