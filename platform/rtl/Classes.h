#pragma once
// The object model: TObject with class information, reference-counted
// interfaces, TPersistent (Assign) and TComponent (ownership, names,
// notifications, component state).

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"

// ---- interfaces ----

struct TGUID {
    std::uint32_t D1 { 0 };
    std::uint16_t D2 { 0 };
    std::uint16_t D3 { 0 };
    std::uint8_t D4[8] {};

    // From the registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; a
    // malformed text in a constant expression does not compile.
    static constexpr TGUID Parse(const char* s)
    {
        auto hex = [](char c) -> unsigned {
            if (c >= '0' && c <= '9') return unsigned(c - '0');
            if (c >= 'a' && c <= 'f') return unsigned(c - 'a' + 10);
            if (c >= 'A' && c <= 'F') return unsigned(c - 'A' + 10);
            throw EConvertError(u"Invalid GUID text");
        };
        auto field = [&](int at, int digits) -> std::uint32_t {
            std::uint32_t v = 0;
            for (int i = 0; i < digits; ++i)
                v = v * 16 + hex(s[at + i]);
            return v;
        };
        if (s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-' || s[37] != '}' || s[38] != 0)
            throw EConvertError(u"Invalid GUID text");
        TGUID g;
        g.D1 = field(1, 8);
        g.D2 = std::uint16_t(field(10, 4));
        g.D3 = std::uint16_t(field(15, 4));
        g.D4[0] = std::uint8_t(field(20, 2));
        g.D4[1] = std::uint8_t(field(22, 2));
        for (int i = 0; i < 6; ++i)
            g.D4[2 + i] = std::uint8_t(field(25 + 2 * i, 2));
        return g;
    }
    constexpr bool operator==(const TGUID&) const = default;
    String ToString() const;
};

// QueryInterface answers 0 (S_OK) or E_NOINTERFACE.

// Declares an interface's identity inside the interface.
#define QT_INTERFACE_ID(text) static constexpr TGUID IID = TGUID::Parse(text)

// The root of every interface. Interfaces derive from it virtually, so an
// object implementing several of them has one count and one QueryInterface.
class IInterface {
public:
    QT_INTERFACE_ID("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT QueryInterface(const TGUID& iid, void** obj) = 0;
    virtual int AddRef() = 0;
    virtual int Release() = 0;

protected:
    ~IInterface() = default;
};

// ---- TObject ----

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static TClass StaticClassInfo();
    virtual TClass ClassType() const { return StaticClassInfo(); }
    const String& ClassName() const { return ClassType()->Name; }
    TClass ClassParent() const { return ClassType()->Parent; }
    bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
    // The class name compared ignoring case.
    bool ClassNameIs(StringView name) const { return StrLower(ClassName()) == StrLower(name); }
    template<class T>
    bool Is() const { return InheritsFrom(T::StaticClassInfo()); }

    // Finds an interface by identity. Classes that offer interfaces list them
    // with QT_INTERFACES; the result is not reference-counted here.
    virtual bool GetInterface(const TGUID& iid, void** obj);
};

namespace rtti {
template<class Self, class... I>
bool FindInterface(Self* self, const TGUID& iid, void** obj)
{
    bool found = false;
    ((!found && iid == I::IID ? (*obj = static_cast<I*>(self), found = true) : false), ...);
    return found;
}
}

// Inside a class: the interfaces it offers through GetInterface/QueryInterface.
#define QT_INTERFACES(...)                                                            \
public:                                                                               \
    bool GetInterface(const TGUID& iid, void** obj) override                          \
    {                                                                                 \
        return ::rtti::FindInterface<std::remove_pointer_t<decltype(this)>, __VA_ARGS__>(this, iid, obj) \
            || Inherited::GetInterface(iid, obj);                                     \
    }                                                                                 \
                                                                                      \
private:

// The interface `I` of an object or of another of its interfaces, or nullptr.
template<class I, class P>
I* Supports(P* p)
{
    return p ? dynamic_cast<I*>(p) : nullptr;
}
bool Supports(TObject* obj, const TGUID& iid, void** out = nullptr);

// An object whose lifetime follows an intrusive reference count: it deletes
// itself when the last reference is released. Hold it in TComPtr.
class TInterfacedObject : public TObject, public virtual IInterface {
    QT_CLASS(TInterfacedObject, TObject)
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int AddRef() override { return ++m_refCount; }
    int Release() override;
    int GetRefCount() const { return m_refCount; }

private:
    std::atomic<int> m_refCount { 0 };
};

// Smart pointer over an intrusively counted interface or object.
template<class T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) { }
    TComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    TComPtr(const TComPtr& o) : TComPtr(o.m_p) { }
    TComPtr(TComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) { }
    template<class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TComPtr(const TComPtr<U>& o) : TComPtr(static_cast<T*>(o.get())) { }
    ~TComPtr() { reset(); }
    TComPtr& operator=(TComPtr o) noexcept
    {
        std::swap(m_p, o.m_p);
        return *this;
    }
    void reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // Takes over a reference the caller already holds (as QueryInterface gives).
    static TComPtr Adopt(T* p)
    {
        TComPtr r;
        r.m_p = p;
        return r;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const TComPtr& o) const { return m_p == o.m_p; }

private:
    T* m_p { nullptr };
};

// The plain event: "something happened to Sender".
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Deletes the object and empties the pointer first, so nothing reached from
// the destructor sees a dangling pointer.
template<class T>
void FreeAndNil(T*& p)
{
    T* old = p;
    p = nullptr;
    delete old;
}

// ---- TPersistent ----

class TPersistent : public TObject {
    QT_CLASS(TPersistent, TObject)
public:
    // Copies `source` into this object: asks the source's AssignTo when this
    // class does not know the source. Unknown pairs raise EConvertError
    // "Cannot assign a <source class> to a <this class>".
    virtual void Assign(TPersistent* source);
    virtual TPersistent* GetOwner() { return nullptr; }
    virtual String GetNamePath();

protected:
    virtual void AssignTo(TPersistent* dest);
    [[noreturn]] void AssignError(TPersistent* source);
};

// ---- TComponent ----

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
    csFreeNotification, csInline, csDesignInstance
};
using TComponentState = Set<TComponentStateItem>;

class TComponent : public TPersistent, public virtual IInterface {
    QT_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    // Tells subscribers, then deletes the owned components, last inserted first.
    ~TComponent() override;

    TComponent* GetOwner() override { return m_owner; }
    const String& GetName() const { return m_name; }
    // Raises EComponentError for a name that is not an identifier or that
    // another component of the same owner has (ignoring case).
    virtual void SetName(const String& NewName);
    std::intptr_t GetTag() const { return m_tag; }
    void SetTag(std::intptr_t v) { m_tag = v; }

    int GetComponentCount() const { return int(m_components.size()); }
    // Raises EListError for an index out of range.
    TComponent* GetComponent(int Index) const;
    int GetComponentIndex() const;
    void SetComponentIndex(int Value);
    // By name ignoring case; nullptr for an empty name or none.
    TComponent* FindComponent(StringView AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Deletes every owned component now, last inserted first. A descendant
    // whose components depend on its own fields calls it from its destructor.
    void DestroyComponents();
    // Marks this component and its components as being destroyed. Descendant
    // destructors call it first so the state is visible while they tear down.
    void Destroying();

    // Asks `AComponent` to be told (opRemove) when this component goes, and
    // the other way round.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);
    // Told about components inserted into or removed from the owner, and
    // about subscribed components being destroyed. The default forwards to
    // the owned components, last first.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    TComponentState GetComponentState() const { return m_state; }
    void IncludeComponentState(TComponentStateItem s) { m_state.Include(s); }
    void ExcludeComponentState(TComponentStateItem s) { m_state.Exclude(s); }
    void SetDesigning(bool value);
    // Called after the component's properties were read: ends csLoading.
    virtual void Loaded();

    String GetNamePath() override;

    // Interfaces of a component do not count references: the owner decides
    // its lifetime.
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int AddRef() override { return -1; }
    int Release() override { return -1; }

protected:
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);

private:
    void RemoveFreeNotifications();

    TComponent* m_owner { nullptr };
    String m_name;
    std::intptr_t m_tag { 0 };
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
    TComponentState m_state;
};

// Identifier rule for component names: a letter or '_' first, then letters,
// digits and '_'.
bool IsValidIdent(StringView ident);
