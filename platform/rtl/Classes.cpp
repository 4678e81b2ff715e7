#include "platform/rtl/Classes.h"

#include <algorithm>
#include <cstdio>

#include <unicode/uchar.h>

TClass TObject::StaticClassInfo()
{
    static const TClassInfo info(u"TObject", nullptr, ::rtti::FactoryFor<TObject>());
    return &info;
}

bool TObject::GetInterface(const TGUID& iid, void** obj)
{
    if (iid == IInterface::IID) {
        if (auto* intf = dynamic_cast<IInterface*>(this)) {
            *obj = intf;
            return true;
        }
    }
    return false;
}

String TGUID::ToString() const
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(D1), unsigned(D2),
        unsigned(D3), D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]);
    return S(buf);
}

bool Supports(TObject* obj, const TGUID& iid, void** out)
{
    void* dummy = nullptr;
    return obj && obj->GetInterface(iid, out ? out : &dummy);
}

// ---- TInterfacedObject ----

QT_PUBLISHED(TInterfacedObject)

HRESULT TInterfacedObject::QueryInterface(const TGUID& iid, void** obj)
{
    void* found = nullptr;
    if (!GetInterface(iid, &found)) {
        *obj = nullptr;
        return E_NOINTERFACE;
    }
    *obj = found;
    AddRef();
    return 0; // S_OK
}

int TInterfacedObject::Release()
{
    int left = --m_refCount;
    if (left == 0)
        delete this;
    return left;
}

// ---- TPersistent ----

QT_PUBLISHED(TPersistent)

void TPersistent::Assign(TPersistent* source)
{
    if (source)
        source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* source)
{
    String sourceName = source ? source->ClassName() : String(u"nil");
    throw EConvertError(u"Cannot assign a " + sourceName + u" to a " + ClassName());
}

String TPersistent::GetNamePath()
{
    return ClassName();
}

// ---- TComponent ----

QT_PUBLISHED(TComponent, QT_PROP(Name), QT_PROP_T(Tag, u"NativeInt"))

TObject* rtti::ConstructComponent(TObject* (*make)(TComponent*), TObject* owner)
{
    auto* c = dynamic_cast<TComponent*>(owner);
    if (owner && !c)
        throw EInvalidCast(u"Invalid class typecast");
    return make(c);
}

bool IsValidIdent(StringView ident)
{
    if (ident.empty())
        return false;
    for (std::size_t i = 0; i < ident.size(); ++i) {
        Char c = ident[i];
        bool ok = c == u'_' || (i == 0 ? u_isalpha(c) : u_isalnum(c));
        if (!ok || IsSurrogate(c))
            return false;
    }
    return true;
}

static bool SameNameText(StringView a, StringView b)
{
    return StrLower(a) == StrLower(b);
}

static String IntText(long long v)
{
    return S(std::to_string(v));
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (m_owner)
        m_owner->RemoveComponent(this);
}

void TComponent::Destroying()
{
    if (m_state.Contains(csDestroying))
        return;
    m_state.Include(csDestroying);
    for (TComponent* c : m_components)
        c->Destroying();
}

void TComponent::DestroyComponents()
{
    while (!m_components.empty()) {
        TComponent* last = m_components.back();
        // A component others subscribed to leaves through RemoveComponent so
        // the owner's remaining components hear about it; the rest simply
        // leave the list before they are deleted.
        if (last->m_state.Contains(csFreeNotification))
            RemoveComponent(last);
        else {
            m_components.pop_back();
            last->m_owner = nullptr;
        }
        delete last;
    }
}

TComponent* TComponent::GetComponent(int Index) const
{
    if (Index < 0 || Index >= GetComponentCount())
        throw EListError(u"List index out of bounds (" + IntText(Index) + u")");
    return m_components[std::size_t(Index)];
}

int TComponent::GetComponentIndex() const
{
    if (!m_owner)
        return -1;
    auto& list = m_owner->m_components;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::SetComponentIndex(int Value)
{
    if (!m_owner)
        return;
    auto& list = m_owner->m_components;
    int cur = GetComponentIndex();
    if (cur < 0)
        return;
    Value = std::clamp(Value, 0, int(list.size()) - 1);
    if (Value == cur)
        return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(StringView AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : m_components)
        if (SameNameText(c->m_name, AName))
            return c;
    return nullptr;
}

void TComponent::SetName(const String& NewName)
{
    if (m_name == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(u"'" + NewName + u"' is not a valid component name");
    if (m_owner)
        m_owner->ValidateRename(this, m_name, NewName);
    else
        ValidateRename(nullptr, m_name, NewName);
    m_name = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName)
{
    if (AComponent && !SameNameText(CurName, NewName) && FindComponent(NewName))
        throw EComponentError(u"A component named " + NewName + u" already exists");
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        throw EComponentError(u"Invalid component owner");
    if (AComponent->m_owner == this)
        return;
    for (TComponent* o = this; o; o = o->m_owner)
        if (o == AComponent)
            throw EComponentError(u"A component cannot own one of its owners");
    ValidateRename(AComponent, String(), AComponent->m_name);
    if (AComponent->m_owner)
        AComponent->m_owner->RemoveComponent(AComponent);
    m_components.push_back(AComponent);
    AComponent->m_owner = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->m_owner != this)
        return;
    Notification(AComponent, opRemove);
    auto it = std::find(m_components.begin(), m_components.end(), AComponent);
    if (it != m_components.end())
        m_components.erase(it);
    AComponent->m_owner = nullptr;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Handlers may remove components while we walk, so re-check the bound.
    int i = GetComponentCount() - 1;
    while (i >= 0) {
        m_components[std::size_t(i)]->Notification(AComponent, Operation);
        --i;
        if (i >= GetComponentCount())
            i = GetComponentCount() - 1;
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    // Components of one owner hear about each other through the owner.
    if (!m_owner || AComponent->m_owner != m_owner) {
        if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), AComponent) == m_freeNotifies.end()) {
            m_freeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    m_state.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    auto it = std::find(m_freeNotifies.begin(), m_freeNotifies.end(), AComponent);
    if (it == m_freeNotifies.end())
        return;
    m_freeNotifies.erase(it);
    AComponent->RemoveFreeNotification(this);
}

void TComponent::RemoveFreeNotifications()
{
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        m_freeNotifies.pop_back();
        auto& back = other->m_freeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
}

void TComponent::SetDesigning(bool value)
{
    if (value)
        m_state.Include(csDesigning);
    else
        m_state.Exclude(csDesigning);
    for (TComponent* c : m_components)
        c->SetDesigning(value);
}

void TComponent::Loaded()
{
    m_state.Exclude(csLoading);
}

String TComponent::GetNamePath()
{
    return m_name;
}

HRESULT TComponent::QueryInterface(const TGUID& iid, void** obj)
{
    void* found = nullptr;
    if (GetInterface(iid, &found)) {
        *obj = found;
        return 0; // S_OK
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}
