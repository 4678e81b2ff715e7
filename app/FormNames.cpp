#include "app/FormNames.h"

#include "platform/rtl/SysUtils.h"

String UniqueFormName(TComponent* owner, const String& base)
{
    String name = base;
    for (int i = 1; owner && owner->FindComponent(name); ++i)
        name = base + u"_" + IntToStr(i);
    return name;
}
