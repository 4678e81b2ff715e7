#pragma once
// Publishing the properties of an X-macro table (type, name, initial
// value): colours are published under the type name "TColor", as the
// persistence writes them by that name.

#include "platform/rtl/TypInfo.h"

#define GRID_PUBLISH_PROP(T, N, V)                                                                                \
    ::rtti::MakeProp<Self>(u"" #N, &Self::Get##N, &Self::Set##N,                                                  \
        StringView(u"" #T) == StringView(u"TColor") ? u"TColor" : nullptr),
