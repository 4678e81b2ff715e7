#pragma once
// Exceptions of the JSON reader and writer: each kind has one fixed message.

#include "platform/rtl/Exceptions.h"

#define QT_DECLARE_JSON_ERROR(Name, Text)                          \
    class Name : public Exception {                                \
    public:                                                        \
        Name() : Exception(u"" Text) { }                           \
        String ClassName() const override { return u"" #Name; }    \
    }
