#include "app/browser/VuzUdoectDispatch.h"

#include <algorithm>
#include <exception>
#include <variant>

#include "foundation/VuzErazs.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TVuzUdoectDispatch)

namespace {

constexpr int TableGrowth = 10;

bool SameMember(const TDispatchInfo& a, const TDispatchInfo& b)
{
    return a.Kind == b.Kind && a.PropInfo == b.PropInfo && a.ComponentIndex == b.ComponentIndex;
}

bool IsPropertyPut(WORD flags)
{
    return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
}

} // namespace

TVuzUdoectDispatch::TVuzUdoectDispatch(TObject* AInstance, bool AOwned)
    : FInstance(AInstance)
    , FOwned(AOwned)
{
}

TVuzUdoectDispatch::~TVuzUdoectDispatch()
{
    // Children may wrap objects the instance owns: they go first.
    FChildren.clear();
    if (FOwned)
        delete FInstance;
}

HRESULT TVuzUdoectDispatch::QueryInterface(const TGUID& iid, void** obj)
{
    void* found = nullptr;
    if (GetInterface(iid, &found)) {
        *obj = found;
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

HRESULT TVuzUdoectDispatch::GetTypeInfoCount(UINT& count)
{
    count = 0;
    return E_NOTIMPL;
}

HRESULT TVuzUdoectDispatch::GetTypeInfo(UINT, LCID, IInterface** typeInfo)
{
    if (typeInfo)
        *typeInfo = nullptr;
    return E_NOTIMPL;
}

std::unique_ptr<TVuzUdoectDispatch> TVuzUdoectDispatch::CreateChildDispatch(TObject* AInstance)
{
    return std::make_unique<TVuzUdoectDispatch>(AInstance, false);
}

bool TVuzUdoectDispatch::FindMethod(StringView, TDispatchInfo&)
{
    return false;
}

bool TVuzUdoectDispatch::FindMember(StringView AName, TDispatchInfo& AInfo)
{
    if (!FInstance)
        return false;
    if (PPropInfo prop = GetPropInfo(FInstance, AName)) {
        AInfo = TDispatchInfo { FInstance, dkProperty, prop, -1 };
        return true;
    }
    if (auto* component = dynamic_cast<TComponent*>(FInstance)) {
        if (TComponent* owned = component->FindComponent(AName)) {
            AInfo = TDispatchInfo { FInstance, dkComponent, nullptr, owned->GetComponentIndex() };
            return true;
        }
    }
    return false;
}

// The id of an entry already in the table (searched from its end), else of
// a new entry appended to it.
DISPID TVuzUdoectDispatch::DispIDOf(const TDispatchInfo& AInfo)
{
    for (int i = FDispatchInfoCount - 1; i >= 0; --i)
        if (SameMember(FDispatchInfos[std::size_t(i)], AInfo))
            return FirstDispID + i;
    if (FDispatchInfoCount == int(FDispatchInfos.size()))
        FDispatchInfos.resize(FDispatchInfos.size() + TableGrowth);
    FDispatchInfos[std::size_t(FDispatchInfoCount)] = AInfo;
    return FirstDispID + FDispatchInfoCount++;
}

HRESULT TVuzUdoectDispatch::GetIDsOfNames(const TGUID&, std::span<const String> names, LCID,
    std::span<DISPID> dispIds)
{
    std::fill(dispIds.begin(), dispIds.end(), DISPID_UNKNOWN);
    if (names.empty() || dispIds.empty())
        return DISP_E_UNKNOWNNAME;
    TDispatchInfo info;
    if (!FindMethod(names[0], info) && !FindMember(names[0], info))
        return DISP_E_UNKNOWNNAME;
    dispIds[0] = DispIDOf(info);
    return S_OK;
}

// Handing out the same wrapper for the same object keeps repeated reads from
// piling up wrappers; the class is compared too, so an object freed and
// another made at the same address never meets a member table built for a
// different class.
Variant TVuzUdoectDispatch::ChildDispatchVariant(TObject* AInstance)
{
    if (!AInstance)
        return Variant(static_cast<IInterface*>(nullptr), true);
    TClass cls = AInstance->ClassType();
    auto it = std::find_if(FChildren.begin(), FChildren.end(),
        [&](const TChildDispatch& c) { return c.Instance == AInstance && c.InstanceClass == cls; });
    if (it == FChildren.end()) {
        FChildren.push_back(TChildDispatch { AInstance, cls, CreateChildDispatch(AInstance) });
        it = std::prev(FChildren.end());
    }
    return Variant(static_cast<IDispatch*>(it->Dispatch.get()), true);
}

HRESULT TVuzUdoectDispatch::InvokeMember(const TDispatchInfo& AInfo, WORD AFlags, const DISPPARAMS& AParams,
    Variant& AResult)
{
    switch (AInfo.Kind) {
    case dkComponent: {
        auto* component = dynamic_cast<TComponent*>(AInfo.Instance);
        if (!component)
            return DISP_E_MEMBERNOTFOUND;
        AResult = ChildDispatchVariant(component->GetComponent(AInfo.ComponentIndex));
        return S_OK;
    }
    case dkProperty:
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (IsPropertyPut(AFlags)) {
        if (AParams.NamedArgCount() != 1 || AParams.NamedArgs[0] != DISPID_PROPERTYPUT || AParams.Args.empty())
            return DISP_E_MEMBERNOTFOUND;
        SetPropValue(AInfo.Instance, AInfo.PropInfo, AParams.Args[0]);
        return S_OK;
    }
    if (AParams.ArgCount() != 0)
        return DISP_E_BADPARAMCOUNT;
    if (AInfo.PropInfo->PropType->Kind == tkClass)
        AResult = ChildDispatchVariant(GetObjectProp(AInfo.Instance, AInfo.PropInfo));
    else
        AResult = GetPropValue(AInfo.Instance, AInfo.PropInfo);
    return S_OK;
}

HRESULT TVuzUdoectDispatch::Invoke(DISPID dispId, const TGUID&, LCID, WORD flags, const DISPPARAMS& params,
    Variant* result, EXCEPINFO* excepInfo, UINT*)
{
    Variant discarded;
    Variant& target = result ? *result : discarded;
    std::int64_t index = std::int64_t(dispId) - FirstDispID;
    if (index < 0 || index >= FDispatchInfoCount)
        return DISP_E_MEMBERNOTFOUND;
    // A member's handler may free this wrapper (a page message that removes
    // its own bridge); nothing below touches it after the member ran.
    TClass wrapperClass = ClassType();
    String message;
    try {
        // A copy: a nested call through a child may grow the table.
        TDispatchInfo info = FDispatchInfos[std::size_t(index)];
        return InvokeMember(info, flags, params, target);
    } catch (const Exception& e) {
        message = e.Message;
    } catch (const std::exception& e) {
        message = S(e.what());
    } catch (...) {
    }
    if (excepInfo) {
        excepInfo->Clear();
        excepInfo->Source = wrapperClass->Name;
        excepInfo->Description = message;
        excepInfo->SCode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

// ---- TDispatchHostObject ----

Variant TDispatchHostObject::ToVariant(const webview::HostObjectValue& value)
{
    struct Convert {
        Variant operator()(std::monostate) const { return Variant::Null(); }
        Variant operator()(bool v) const { return Variant(v); }
        Variant operator()(double v) const { return Variant(v); }
        Variant operator()(const String& v) const { return Variant(v); }
    };
    return std::visit(Convert {}, value);
}

void TDispatchHostObject::PutProperty(const String& name, const webview::HostObjectValue& value)
{
    EXCEPINFO info;
    HRESULT hr = E_FAIL;
    try {
        hr = DispatchPutProperty(FDispatch, name, ToVariant(value), &info);
    } catch (const Exception& e) {
        info.Description = e.Message;
    } catch (...) {
    }
    if (FAILED(hr)) {
        try {
            TVuzErazs::Log(u"Host object property " + name + u" not set: " + IntToHex(hr, 8)
                + (info.Description.empty() ? String() : u" " + info.Description));
        } catch (...) {
            // Nothing may reach the web view, not even a failed log line.
        }
    }
}
