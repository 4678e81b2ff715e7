#pragma once
// Makes any object reachable from page scripts as an automation object: names
// resolve to its published properties and, for a component, to the components
// it owns. The web-view side adapter forwards a page's property writes to it.

#include <memory>
#include <span>
#include <vector>

#include "platform/automation/OleAuto.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/TypInfo.h"
#include "platform/web/WebView.h"

enum TDispatchKind { dkMethod = 0, dkProperty = 1, dkComponent = 2 };

// One member a name was resolved to; its dispatch id is 100 plus its index
// in the member table.
struct TDispatchInfo {
    TObject* Instance { nullptr };
    TDispatchKind Kind { dkMethod };
    PPropInfo PropInfo { nullptr };  // dkProperty
    int ComponentIndex { -1 };       // dkComponent
};

// Freed explicitly by whoever made it, never through the reference count
// (AddRef/Release do nothing).
class TVuzUdoectDispatch : public TPersistent, public IDispatch {
    QT_CLASS(TVuzUdoectDispatch, TPersistent)
    QT_INTERFACES(IDispatch)
public:
    static constexpr DISPID FirstDispID = 100;

    // With AOwned the wrapper frees AInstance when it is destroyed.
    TVuzUdoectDispatch(TObject* AInstance, bool AOwned);
    ~TVuzUdoectDispatch() override;

    TObject* GetInstance() const { return FInstance; }
    bool GetOwned() const { return FOwned; }

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int AddRef() override { return -1; }
    int Release() override { return -1; }

    HRESULT GetTypeInfoCount(UINT& count) override;
    HRESULT GetTypeInfo(UINT index, LCID locale, IInterface** typeInfo) override;
    HRESULT GetIDsOfNames(const TGUID& iid, std::span<const String> names, LCID locale,
        std::span<DISPID> dispIds) override;
    HRESULT Invoke(DISPID dispId, const TGUID& iid, LCID locale, WORD flags, const DISPPARAMS& params,
        Variant* result, EXCEPINFO* excepInfo, UINT* argErr) override;

protected:
    // A wrapper (not owning) for an object this one hands out; this wrapper
    // keeps it and frees it with itself.
    virtual std::unique_ptr<TVuzUdoectDispatch> CreateChildDispatch(TObject* AInstance);
    // Methods are never exposed: always false.
    virtual bool FindMethod(StringView AName, TDispatchInfo& AInfo);
    // A published property of the instance, else a component it owns.
    virtual bool FindMember(StringView AName, TDispatchInfo& AInfo);

private:
    DISPID DispIDOf(const TDispatchInfo& AInfo);
    Variant ChildDispatchVariant(TObject* AInstance);
    HRESULT InvokeMember(const TDispatchInfo& AInfo, WORD AFlags, const DISPPARAMS& AParams, Variant& AResult);

    // Children handed out to callers: nothing else ever frees them, so their
    // parent keeps them until it goes. The class is kept beside the object
    // because the object may be gone by the time it is looked for again.
    struct TChildDispatch {
        TObject* Instance { nullptr };
        TClass InstanceClass { nullptr };
        std::unique_ptr<TVuzUdoectDispatch> Dispatch;
    };

    int FDispatchInfoCount { 0 };
    std::vector<TDispatchInfo> FDispatchInfos;
    TObject* FInstance { nullptr };
    bool FOwned { false };
    std::vector<TChildDispatch> FChildren;
};

// What the web view calls when a page assigns a property of a host object:
// the write goes to an automation object as a property put. The dispatch
// object is not owned: whoever frees it first calls Detach, since the web
// view may hold the adapter (and deliver a late write) for a while longer.
class TDispatchHostObject : public webview::ICoreWebView2HostObject {
public:
    explicit TDispatchHostObject(IDispatch* ADispatch) : FDispatch(ADispatch) { }

    IDispatch* GetDispatch() const { return FDispatch; }
    // Later writes are dropped.
    void Detach() { FDispatch = nullptr; }
    // Failures are logged, never raised into the web view.
    void PutProperty(const String& name, const webview::HostObjectValue& value) override;

    static Variant ToVariant(const webview::HostObjectValue& value);

private:
    IDispatch* FDispatch { nullptr };
};
