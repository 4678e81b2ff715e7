#pragma once

#include "platform/rtl/Classes.h"

// `base`, or, when the owner already has a component of that name (a
// second splash pop-up while the first is shown, a second add-HTML dialog),
// `base` followed by "_1", "_2" ...: the first name the owner does not hold,
// so that creating another instance never fails as a duplicate name.
String UniqueFormName(TComponent* owner, const String& base);
