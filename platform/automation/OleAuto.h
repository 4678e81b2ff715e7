#pragma once
// Late-bound automation: the dispatch interface through which scripts reach
// objects of the program by member name, with its argument and error records.
// Values travel as rtl Variants (which hold interfaces as varDispatch or
// varUnknown).

#include <cstdint>
#include <span>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

using DISPID = std::int32_t;
using LCID = std::uint32_t;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006u);
inline constexpr HRESULT DISP_E_EXCEPTION = HRESULT(0x80020009u);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HRESULT(0x8002000Eu);

inline constexpr TGUID GUID_NULL {};

// The arguments of one call. `Args` holds them last argument first; the
// first NamedArgs.size() entries of `Args` are the named ones, in the order
// of their ids in `NamedArgs`.
struct DISPPARAMS {
    std::vector<Variant> Args;
    std::vector<DISPID> NamedArgs;

    UINT ArgCount() const { return UINT(Args.size()); }
    UINT NamedArgCount() const { return UINT(NamedArgs.size()); }
};

// What a member that raised an exception tells its caller.
struct EXCEPINFO {
    WORD Code { 0 };
    String Source;
    String Description;
    String HelpFile;
    DWORD HelpContext { 0 };
    HRESULT SCode { S_OK };

    void Clear() { *this = EXCEPINFO {}; }
};

class IDispatch : public virtual IInterface {
public:
    QT_INTERFACE_ID("{00020400-0000-0000-C000-000000000046}");

    // Type libraries are not offered by our objects; callers learn members by name.
    virtual HRESULT GetTypeInfoCount(UINT& count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, IInterface** typeInfo) = 0;
    // The ids of a member (names[0]) and of its named arguments (the rest);
    // `dispIds` has one slot per name.
    virtual HRESULT GetIDsOfNames(const TGUID& iid, std::span<const String> names, LCID locale,
        std::span<DISPID> dispIds) = 0;
    // Calls, reads or writes a member. `result`, `excepInfo` and `argErr` may be null.
    virtual HRESULT Invoke(DISPID dispId, const TGUID& iid, LCID locale, WORD flags, const DISPPARAMS& params,
        Variant* result, EXCEPINFO* excepInfo, UINT* argErr) = 0;

protected:
    ~IDispatch() = default;
};

// The dispatch interface a variant holds (varDispatch or varUnknown that
// offers one); nullptr for anything else. No reference is added.
IDispatch* VarToDispatch(const Variant& v);

// Writes one property through a dispatch interface: looks the name up, then
// invokes a property put with the value as the DISPID_PROPERTYPUT argument.
HRESULT DispatchPutProperty(IDispatch* dispatch, const String& name, const Variant& value,
    EXCEPINFO* excepInfo = nullptr);

// A published property's value as a Variant: Booleans as Booleans, other
// ordinals as integers, enumerations and sets as their names, floats as
// doubles, texts as texts. Class and event properties raise EPropertyError.
Variant GetPropValue(TObject* instance, PPropInfo prop);
// Sets a published property from a Variant, converting as its type needs
// (enumerations and sets also by name). Class and event properties, and
// values that do not convert, raise EPropertyError or EVariantError.
void SetPropValue(TObject* instance, PPropInfo prop, const Variant& value);
