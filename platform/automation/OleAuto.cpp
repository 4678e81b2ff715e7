#include "platform/automation/OleAuto.h"

#include <cstddef>
#include <iterator>
#include <typeinfo>

IDispatch* VarToDispatch(const Variant& v)
{
    TVarType t = v.VarType();
    if (t != varDispatch && t != varUnknown)
        return nullptr;
    // Our objects offer their interfaces by inheritance, so a cast finds the
    // dispatch interface without touching the reference count. The cast
    // goes through virtual bases and costs more than many a call it serves
    // (a document walk makes one per node and property); for one dynamic
    // type the dispatch interface always lies at the same distance from the
    // root interface, so the distances of the last few types are kept.
    IInterface* intf = v.AsInterface();
    if (!intf)
        return nullptr;
    struct TKnown {
        const std::type_info* Type;
        std::ptrdiff_t Offset;
    };
    thread_local TKnown Known[4] {};
    thread_local unsigned Next = 0;
    const std::type_info* type = &typeid(*intf);
    for (const TKnown& k : Known)
        if (k.Type == type)
            return reinterpret_cast<IDispatch*>(reinterpret_cast<char*>(intf) + k.Offset);
    IDispatch* d = dynamic_cast<IDispatch*>(intf);
    if (d)
        Known[Next++ % std::size(Known)] = { type, reinterpret_cast<char*>(d) - reinterpret_cast<char*>(intf) };
    return d;
}

HRESULT DispatchPutProperty(IDispatch* dispatch, const String& name, const Variant& value, EXCEPINFO* excepInfo)
{
    if (!dispatch)
        return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch->GetIDsOfNames(GUID_NULL, std::span<const String>(&name, 1), LOCALE_USER_DEFAULT,
        std::span<DISPID>(&id, 1));
    if (FAILED(hr))
        return hr;
    DISPPARAMS params;
    params.Args.push_back(value);
    params.NamedArgs.push_back(DISPID_PROPERTYPUT);
    return dispatch->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, params, nullptr, excepInfo,
        nullptr);
}

namespace {

bool IsTextKind(TTypeKind kind)
{
    return kind == tkString || kind == tkLString || kind == tkWString || kind == tkUString;
}

[[noreturn]] void RaiseUnsupported(PPropInfo prop)
{
    throw EPropertyError(u"Invalid property type: " + prop->PropType->Name);
}

std::int64_t CharOrdinal(const Variant& value)
{
    if (!VarIsStr(value))
        return value.AsInt64();
    String text = value.AsString();
    if (text.size() != 1)
        throw EVariantError(u"Could not convert variant of type (UnicodeString) into type (Char)");
    return text[0];
}

} // namespace

Variant GetPropValue(TObject* instance, PPropInfo prop)
{
    const TTypeInfo* type = prop->PropType;
    switch (type->Kind) {
    case tkInteger: {
        std::int64_t v = GetOrdProp(instance, prop);
        if (v >= INT32_MIN && v <= INT32_MAX)
            return Variant(std::int32_t(v));
        return Variant(static_cast<long long>(v));
    }
    case tkInt64:
        return Variant(static_cast<long long>(GetInt64Prop(instance, prop)));
    case tkChar:
    case tkWChar:
        return Variant(String(1, char16_t(GetOrdProp(instance, prop))));
    case tkEnumeration:
        if (type->IsBoolean())
            return Variant(GetOrdProp(instance, prop) != 0);
        return Variant(GetEnumProp(instance, prop));
    case tkSet:
        return Variant(GetSetProp(instance, prop));
    case tkFloat:
        return Variant(GetFloatProp(instance, prop));
    default:
        if (IsTextKind(type->Kind))
            return Variant(GetStrProp(instance, prop));
        RaiseUnsupported(prop);
    }
}

void SetPropValue(TObject* instance, PPropInfo prop, const Variant& value)
{
    const TTypeInfo* type = prop->PropType;
    switch (type->Kind) {
    case tkInteger:
    case tkInt64:
        SetOrdProp(instance, prop, value.AsInt64());
        return;
    case tkChar:
    case tkWChar:
        SetOrdProp(instance, prop, CharOrdinal(value));
        return;
    case tkEnumeration: {
        if (type->IsBoolean()) {
            SetOrdProp(instance, prop, value.AsBoolean() ? 1 : 0);
            return;
        }
        if (VarIsStr(value)) {
            SetEnumProp(instance, prop, value.AsString());
            return;
        }
        // An ordinal outside the enumeration would make an invalid value.
        std::int64_t v = value.AsInt64();
        if (GetEnumName(type, v).empty())
            throw ERangeError(u"Range check error");
        SetOrdProp(instance, prop, v);
        return;
    }
    case tkSet:
        if (VarIsStr(value))
            SetSetProp(instance, prop, value.AsString());
        else
            SetOrdProp(instance, prop, value.AsInt64());
        return;
    case tkFloat:
        SetFloatProp(instance, prop, value.AsDouble());
        return;
    case tkClass:
        // Only clearing is possible: a variant carries no object of ours.
        if (VarIsClear(value) || value.IsNull()) {
            SetObjectProp(instance, prop, nullptr);
            return;
        }
        RaiseUnsupported(prop);
    default:
        if (IsTextKind(type->Kind)) {
            SetStrProp(instance, prop, value.AsString());
            return;
        }
        RaiseUnsupported(prop);
    }
}
