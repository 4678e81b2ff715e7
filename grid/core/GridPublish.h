#pragma once
// Publishing the properties of an X-macro table (type, name, initial
// value): colours are published under the type name "TColor", as the
// persistence writes them by that name. The getter is picked by its type, so
// an operation may share its name (FloatFormat and GetFloatFormat(ACol, ARow)).

#include "platform/rtl/TypInfo.h"

#define GRID_PUBLISH_PROP(T, N, V)                                                                                \
    ::rtti::MakeProp<Self>(u"" #N, static_cast<T (Self::*)() const>(&Self::Get##N), &Self::Set##N,                \
        StringView(u"" #T) == StringView(u"TColor") ? u"TColor" : nullptr),
