#include "graphics/GdipFontNames.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"

bool IsGdipFamilyOfName(const String& found, const String& requested)
{
    const String upper = UpperCase(found);
    return upper == UpperCase(requested) || upper == UpperCase(ResolveFontFamily(requested));
}
