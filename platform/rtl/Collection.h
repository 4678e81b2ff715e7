#pragma once
// TCollection: an ordered set of TCollectionItem objects of one item class,
// owned by the collection; items know their collection, index and a unique
// ID. Changes are reported through Update, bracketed by BeginUpdate/EndUpdate.

#include <functional>
#include <vector>

#include "platform/rtl/Classes.h"

class TCollection;

class TCollectionItem : public TPersistent {
    QT_CLASS(TCollectionItem, TPersistent)
public:
    // Joins `Collection` (as its last item) when one is given. The item is
    // only announced (Notify, Update) when it comes through Add or Insert or
    // moves with SetCollection: handlers must not see a half-built item.
    explicit TCollectionItem(TCollection* Collection = nullptr);
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection* GetCollection() const { return m_collection; }
    // Moves the item to another collection (or none, when the caller owns it).
    virtual void SetCollection(TCollection* Value);
    int GetIndex() const;
    // Moves the item within its collection; raises EListError out of range.
    virtual void SetIndex(int Value);
    int GetID() const { return m_id; }
    // The item's class name unless a descendant names it.
    virtual String GetDisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const String&) { }

    TPersistent* GetOwner() override;
    String GetNamePath() override;

protected:
    // Reports a change of this item (or of all items) to the collection.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* m_collection { nullptr };
    int m_id { 0 };
};

enum TCollectionItemNotification { cnItemAdded, cnItemExtracting, cnItemDeleting };

class TCollection : public TPersistent {
    QT_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TClass ItemClass = TCollectionItem::StaticClassInfo());
    // Deletes the items.
    ~TCollection() override;

    // A new item of the item class, appended.
    TCollectionItem* Add();
    // A new item at `Index` (0..Count); a bad index raises EListError and
    // adds nothing.
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    // Deletes every item the predicate picks, in one pass over the list,
    // with one change report (bulk removal without a search per item).
    void DeleteWhere(const std::function<bool(TCollectionItem*)>& Which);
    // Moves the Count items from FromIndex on so that they start at ToIndex
    // of the list without them, keeping their order; one change report.
    // Indexes outside the list raise EListError and move nothing.
    void MoveBlock(int FromIndex, int Count, int ToIndex);
    // Puts the items in the order Less gives (stable); one change report.
    void Sort(const std::function<bool(TCollectionItem*, TCollectionItem*)>& Less);
    // Calls Update once when the outermost EndUpdate comes.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int GetUpdateCount() const { return m_updateCount; }
    TCollectionItem* FindItemID(int ID) const;

    int GetCount() const { return int(m_items.size()); }
    int Count() const { return GetCount(); }
    // Raises EListError for an index out of range.
    TCollectionItem* GetItem(int Index) const;
    void SetItem(int Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }
    TCollectionItem* operator[](int Index) const { return GetItem(Index); }
    TClass GetItemClass() const { return m_itemClass; }

    // Copies the items of another collection (of a compatible item class).
    void Assign(TPersistent* Source) override;
    String GetNamePath() override;

    // Item is the changed item, or nullptr when the whole collection changed.
    virtual void Update(TCollectionItem*) { }

protected:
    virtual void Notify(TCollectionItem*, TCollectionItemNotification) { }
    // Reports a change of the whole collection unless updates are held.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item, bool announce);
    void RemoveItem(TCollectionItem* item, bool announce);
    TCollectionItem* NewItem();

    TClass m_itemClass { nullptr };
    std::vector<TCollectionItem*> m_items;
    int m_updateCount { 0 };
    int m_nextID { 0 };
};

// A collection with an owner (its persistent parent object).
class TOwnedCollection : public TCollection {
    QT_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TClass ItemClass);
    TPersistent* GetOwner() override { return m_owner; }

private:
    TPersistent* m_owner { nullptr };
};
