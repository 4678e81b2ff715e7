#pragma once
// Reads and changes an object's published plain properties (ordinals,
// colours, strings) by name, for tables of defaults and of what Assign
// copies. Object-valued properties (fonts, bitmaps, collections) are left
// to the tests that need them.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/rtl/TypInfo.h"

namespace proptable {

inline bool IsPlain(PPropInfo P)
{
    return P->PropType && P->HasSetter()
        && (P->PropType->Kind == tkInteger || P->PropType->Kind == tkEnumeration || P->PropType->Kind == tkInt64
            || P->PropType->Kind == tkChar || P->PropType->Kind == tkWChar || P->PropType->Kind == tkUString
            || P->PropType->Kind == tkString || P->PropType->Kind == tkLString || P->PropType->Kind == tkWString);
}

inline bool IsText(PPropInfo P)
{
    const TTypeKind K = P->PropType->Kind;
    return K == tkUString || K == tkString || K == tkLString || K == tkWString;
}

// The value as text: enumeration names, colours as 0x hex, other numbers
// in decimal, strings as they are.
inline std::string Text(TObject* Obj, PPropInfo P)
{
    if (IsText(P))
        return StringToUtf8(GetStrProp(Obj, P));
    const std::int64_t V = GetOrdProp(Obj, P);
    if (P->PropType->Kind == tkEnumeration)
        return StringToUtf8(GetEnumName(P->PropType, V));
    if (P->PropType->Name == u"TColor") {
        char Buf[24];
        std::snprintf(Buf, sizeof Buf, "0x%llX", static_cast<unsigned long long>(std::uint32_t(V)));
        return Buf;
    }
    return std::to_string(V);
}

inline std::string Text(TObject* Obj, const char16_t* Name) { return Text(Obj, GetPropInfo(Obj, Name)); }

// Every plain property of the object by name.
inline std::map<std::string, std::string> Values(TObject* Obj)
{
    std::map<std::string, std::string> Result;
    for (PPropInfo P : GetPropList(Obj))
        if (IsPlain(P))
            Result[StringToUtf8(P->Name)] = Text(Obj, P);
    return Result;
}

// Gives every plain property a value other than its present one.
inline void ChangeAll(TObject* Obj)
{
    for (PPropInfo P : GetPropList(Obj)) {
        if (!IsPlain(P))
            continue;
        if (IsText(P)) {
            SetStrProp(Obj, P, GetStrProp(Obj, P) + u"~changed");
        } else if (P->PropType->Kind == tkEnumeration) {
            const std::int64_t V = GetOrdProp(Obj, P);
            SetOrdProp(Obj, P, V == P->PropType->MinValue ? P->PropType->MinValue + 1 : P->PropType->MinValue);
        } else if (P->PropType->Name == u"TColor") {
            SetOrdProp(Obj, P, GetOrdProp(Obj, P) == 0x123456 ? 0x654321 : 0x123456);
        } else {
            SetOrdProp(Obj, P, GetOrdProp(Obj, P) + 7);
        }
    }
}

// The plain properties whose value differs between the two objects.
inline std::vector<std::string> Differences(TObject* A, TObject* B)
{
    std::vector<std::string> Result;
    const auto VA = Values(A), VB = Values(B);
    for (const auto& [Name, Value] : VA)
        if (VB.at(Name) != Value)
            Result.push_back(Name);
    return Result;
}

} // namespace proptable
