#include "platform/rtl/Collection.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/Collections.h"

QT_PUBLISHED(TCollectionItem)
QT_PUBLISHED(TCollection)
QT_PUBLISHED(TOwnedCollection)

TObject* rtti::ConstructItem(TObject* (*make)(TCollection*), TObject* collection)
{
    auto* c = dynamic_cast<TCollection*>(collection);
    if (collection && !c)
        throw EInvalidCast(u"Invalid class typecast");
    return make(c);
}

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    if (Collection)
        Collection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem()
{
    // The descendant parts are gone: leave quietly apart from the change report.
    if (m_collection)
        m_collection->RemoveItem(this, false);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (m_collection == Value)
        return;
    if (Value && !InheritsFrom(Value->m_itemClass))
        throw EListError(u"Invalid property value");
    if (m_collection)
        m_collection->RemoveItem(this, true);
    if (Value)
        Value->InsertItem(this, true);
}

int TCollectionItem::GetIndex() const
{
    if (!m_collection)
        return -1;
    auto& items = m_collection->m_items;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    int cur = GetIndex();
    if (cur < 0 || cur == Value)
        return;
    auto& items = m_collection->m_items;
    if (Value < 0 || Value >= int(items.size()))
        RaiseListIndexError(Value);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::Changed(bool AllItems)
{
    if (m_collection && m_collection->m_updateCount == 0)
        m_collection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner()
{
    return m_collection;
}

String TCollectionItem::GetNamePath()
{
    if (!m_collection)
        return ClassName();
    return m_collection->GetNamePath() + u"[" + S(std::to_string(GetIndex())) + u"]";
}

// ---- TCollection ----

TCollection::TCollection(TClass ItemClass)
    : m_itemClass(ItemClass ? ItemClass : TCollectionItem::StaticClassInfo())
{
    if (!m_itemClass->InheritsFrom(TCollectionItem::StaticClassInfo()))
        throw EInvalidCast(u"Invalid class typecast");
}

TCollection::~TCollection()
{
    m_updateCount = 1; // no change reports from a collection being torn down
    while (!m_items.empty()) {
        TCollectionItem* item = m_items.back();
        m_items.pop_back();
        item->m_collection = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::NewItem()
{
    TObject* obj = m_itemClass->Create(this);
    auto* item = dynamic_cast<TCollectionItem*>(obj);
    if (!item || item->m_collection != this || !item->InheritsFrom(m_itemClass)) {
        delete obj;
        throw EInvalidCast(u"Invalid class typecast");
    }
    return item;
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* item = NewItem();
    Notify(item, cnItemAdded);
    Changed();
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > GetCount())
        RaiseListIndexError(Index);
    TCollectionItem* item = NewItem();
    m_items.pop_back();
    m_items.insert(m_items.begin() + Index, item);
    Notify(item, cnItemAdded);
    Changed();
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = GetItem(Index);
    Notify(item, cnItemDeleting);
    RemoveItem(item, true);
    delete item;
}

void TCollection::Clear()
{
    if (m_items.empty())
        return;
    BeginUpdate();
    try {
        while (!m_items.empty())
            Delete(GetCount() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::DeleteWhere(const std::function<bool(TCollectionItem*)>& Which)
{
    std::vector<TCollectionItem*> Gone;
    std::vector<TCollectionItem*> Kept;
    Kept.reserve(m_items.size());
    for (TCollectionItem* item : m_items)
        (Which(item) ? Gone : Kept).push_back(item);
    if (Gone.empty())
        return;
    for (TCollectionItem* item : Gone)
        Notify(item, cnItemDeleting);
    m_items = std::move(Kept);
    for (TCollectionItem* item : Gone) {
        item->m_collection = nullptr; // already out of the list
        delete item;
    }
    Changed();
}

void TCollection::MoveBlock(int FromIndex, int Count, int ToIndex)
{
    const int Total = GetCount();
    if (Count <= 0)
        return;
    if (FromIndex < 0 || FromIndex + Count > Total)
        RaiseListIndexError(FromIndex);
    if (ToIndex < 0 || ToIndex > Total - Count)
        RaiseListIndexError(ToIndex);
    if (FromIndex == ToIndex)
        return;
    auto First = m_items.begin();
    if (ToIndex < FromIndex)
        std::rotate(First + ToIndex, First + FromIndex, First + FromIndex + Count);
    else
        std::rotate(First + FromIndex, First + FromIndex + Count, First + ToIndex + Count);
    Changed();
}

void TCollection::Sort(const std::function<bool(TCollectionItem*, TCollectionItem*)>& Less)
{
    std::stable_sort(m_items.begin(), m_items.end(), Less);
    Changed();
}

void TCollection::BeginUpdate()
{
    ++m_updateCount;
}

void TCollection::EndUpdate()
{
    if (m_updateCount > 0)
        --m_updateCount;
    Changed();
}

void TCollection::Changed()
{
    if (m_updateCount == 0)
        Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : m_items)
        if (item->m_id == ID)
            return item;
    return nullptr;
}

TCollectionItem* TCollection::GetItem(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        RaiseListIndexError(Index);
    return m_items[std::size_t(Index)];
}

void TCollection::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TCollection*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : src->m_items)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TCollection::GetNamePath()
{
    TPersistent* owner = GetOwner();
    return owner ? owner->GetNamePath() : ClassName();
}

void TCollection::InsertItem(TCollectionItem* item, bool announce)
{
    // While an item is being constructed its class reads as TCollectionItem,
    // so the item class is checked on moves here and by NewItem after
    // construction.
    if (announce && !item->InheritsFrom(m_itemClass))
        throw EListError(u"Invalid property value");
    m_items.push_back(item);
    item->m_collection = this;
    item->m_id = m_nextID++;
    if (announce) {
        Notify(item, cnItemAdded);
        Changed();
    }
}

void TCollection::RemoveItem(TCollectionItem* item, bool announce)
{
    if (announce)
        Notify(item, cnItemExtracting);
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it != m_items.end())
        m_items.erase(it);
    item->m_collection = nullptr;
    Changed();
}

// ---- TOwnedCollection ----

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TClass ItemClass)
    : TCollection(ItemClass)
    , m_owner(AOwner)
{
}
