#pragma once
// Lists and dictionaries: the generic TList<T> (TList<> holds untyped
// pointers), TObjectList<T> (owns its objects unless told otherwise) and
// TDictionary<K,V> (enumerates in insertion order). Index errors raise
// EListError "List index out of bounds (n)".

#include <algorithm>
#include <functional>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Set.h"

[[noreturn]] void RaiseListIndexError(long long index);
[[noreturn]] void RaiseDuplicateItem();
[[noreturn]] void RaiseItemNotFound();

enum TCollectionNotification { cnAdded, cnExtracted, cnRemoved };

// ---- generic lists ----

namespace rtti {
// The name a generic type argument shows in a class name: "TList<Integer>".
template<class T>
String GenericArgName()
{
    if constexpr (std::is_same_v<T, String>)
        return u"String";
    else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<T>>>)
        return std::remove_cv_t<std::remove_pointer_t<T>>::StaticClassInfo()->Name;
    else if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, bool>)
        return TypeInfoOf<T>()->Name;
    else if constexpr (std::is_enum_v<T> && requires { QtTypeInfo(static_cast<T*>(nullptr)); })
        return QtTypeInfo(static_cast<T*>(nullptr))->Name;
    else
        return u"Record";
}
}

// Untyped access to the items of any TList<T>, for code that walks objects
// through their class information. A call that does not fit the item type
// raises EInvalidCast.
class TGenericList : public TObject {
    QT_CLASS(TGenericList, TObject)
public:
    virtual int GetCount() const = 0;
    virtual void Clear() = 0;
    virtual TObject* GetItemObject(int index) const = 0;
    virtual void AddObject(TObject* item) = 0;
    virtual String GetItemString(int index) const = 0;
    virtual void AddString(const String& item) = 0;
    virtual std::int64_t GetItemInt64(int index) const = 0;
    virtual void AddInt64(std::int64_t item) = 0;
    virtual double GetItemDouble(int index) const = 0;
    virtual void AddDouble(double item) = 0;
};

[[noreturn]] void RaiseItemTypeMismatch();

// TList<> (of untyped pointers) is the classic "TList"; any other TList<T>
// is named after its item type, "TList<String>".
template<class T = void*>
class TList : public TGenericList {
public:
    using Item = T;
    using TComparison = std::function<int(const T&, const T&)>;

    TList() = default;
    TList(std::initializer_list<T> items)
    {
        for (const T& t : items)
            Add(t);
    }
    ~TList() override = default;

    static TClass StaticClassInfo()
    {
        static const TClassInfo info(std::is_same_v<T, void*> ? String(u"TList") : u"TList<" + rtti::GenericArgName<T>() + u">",
            TGenericList::StaticClassInfo(), rtti::FactoryFor<TList<T>>());
        return &info;
    }
    TClass ClassType() const override { return StaticClassInfo(); }

    int Add(const T& item)
    {
        m_items.push_back(item);
        Notify(m_items.back(), cnAdded);
        return int(m_items.size()) - 1;
    }
    template<class Range>
    void AddRange(const Range& items)
    {
        for (const auto& t : items)
            Add(t);
    }
    void Insert(int index, const T& item)
    {
        if (index < 0 || index > GetCount())
            RaiseListIndexError(index);
        m_items.insert(m_items.begin() + index, item);
        Notify(m_items[std::size_t(index)], cnAdded);
    }
    void Delete(int index)
    {
        CheckIndex(index);
        T item = std::move(m_items[std::size_t(index)]);
        m_items.erase(m_items.begin() + index);
        Notify(item, cnRemoved);
    }
    int Remove(const T& item)
    {
        int i = IndexOf(item);
        if (i >= 0)
            Delete(i);
        return i;
    }
    // Takes the item out without the removal action (an object list does not
    // delete it); gives T{} when it is not there.
    T Extract(const T& item)
    {
        int i = IndexOf(item);
        if (i < 0)
            return T {};
        T r = std::move(m_items[std::size_t(i)]);
        m_items.erase(m_items.begin() + i);
        Notify(r, cnExtracted);
        return r;
    }
    int IndexOf(const T& item) const
    {
        auto it = std::find(m_items.begin(), m_items.end(), item);
        return it == m_items.end() ? -1 : int(it - m_items.begin());
    }
    bool Contains(const T& item) const { return IndexOf(item) >= 0; }
    void Exchange(int i, int j)
    {
        CheckIndex(i);
        CheckIndex(j);
        std::swap(m_items[std::size_t(i)], m_items[std::size_t(j)]);
    }
    void Move(int from, int to)
    {
        CheckIndex(from);
        CheckIndex(to);
        T item = std::move(m_items[std::size_t(from)]);
        m_items.erase(m_items.begin() + from);
        m_items.insert(m_items.begin() + to, std::move(item));
    }
    void Clear() override
    {
        while (!m_items.empty()) {
            T item = std::move(m_items.back());
            m_items.pop_back();
            Notify(item, cnRemoved);
        }
    }
    // Removes the null entries of a pointer list.
    void Pack()
    {
        static_assert(std::is_pointer_v<T>);
        std::erase(m_items, nullptr);
    }
    // Count: growing fills with T{}, shrinking removes the tail.
    void SetCount(int n)
    {
        if (n < 0)
            RaiseListIndexError(n);
        while (GetCount() > n)
            Delete(GetCount() - 1);
        m_items.resize(std::size_t(n));
    }
    void Reverse() { std::reverse(m_items.begin(), m_items.end()); }
    void Sort() { std::stable_sort(m_items.begin(), m_items.end()); }
    void Sort(const TComparison& compare)
    {
        std::stable_sort(m_items.begin(), m_items.end(), [&](const T& a, const T& b) { return compare(a, b) < 0; });
    }
    const T& First() const { return GetItem(0); }
    const T& Last() const { return GetItem(GetCount() - 1); }

    int GetCount() const override { return int(m_items.size()); }
    int Count() const { return GetCount(); }
    int GetCapacity() const { return int(m_items.capacity()); }
    void SetCapacity(int n) { m_items.reserve(std::size_t(std::max(n, 0))); }
    const T& GetItem(int index) const
    {
        CheckIndex(index);
        return m_items[std::size_t(index)];
    }
    // Replacing an item is a removal of the old one and an addition.
    void SetItem(int index, const T& item)
    {
        CheckIndex(index);
        T copy = item; // `item` may be an element of this list
        T old = std::exchange(m_items[std::size_t(index)], std::move(copy));
        Notify(old, cnRemoved);
        Notify(m_items[std::size_t(index)], cnAdded);
    }
    const T& operator[](int index) const { return GetItem(index); }
    const std::vector<T>& ToVector() const { return m_items; }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    std::function<void(TObject* Sender, const T& Item, TCollectionNotification Action)> OnNotify;

    // Untyped access.
    TObject* GetItemObject(int index) const override
    {
        if constexpr (std::is_convertible_v<T, TObject*>)
            return GetItem(index);
        else
            RaiseItemTypeMismatch();
    }
    void AddObject(TObject* item) override
    {
        if constexpr (std::is_pointer_v<T> && std::is_convertible_v<T, TObject*>) {
            using Target = std::remove_pointer_t<T>;
            Target* t = item ? dynamic_cast<Target*>(item) : nullptr;
            if (item && !t)
                RaiseItemTypeMismatch();
            Add(t);
        } else
            RaiseItemTypeMismatch();
    }
    String GetItemString(int index) const override
    {
        if constexpr (std::is_same_v<T, String>)
            return GetItem(index);
        else
            RaiseItemTypeMismatch();
    }
    void AddString(const String& item) override
    {
        if constexpr (std::is_same_v<T, String>)
            Add(item);
        else
            RaiseItemTypeMismatch();
    }
    std::int64_t GetItemInt64(int index) const override
    {
        if constexpr (std::is_integral_v<T>)
            return std::int64_t(GetItem(index));
        else
            RaiseItemTypeMismatch();
    }
    void AddInt64(std::int64_t item) override
    {
        if constexpr (std::is_integral_v<T>)
            Add(T(item));
        else
            RaiseItemTypeMismatch();
    }
    double GetItemDouble(int index) const override
    {
        if constexpr (std::is_arithmetic_v<T>)
            return double(GetItem(index));
        else
            RaiseItemTypeMismatch();
    }
    void AddDouble(double item) override
    {
        if constexpr (std::is_floating_point_v<T>)
            Add(T(item));
        else
            RaiseItemTypeMismatch();
    }

protected:
    virtual void Notify(const T& item, TCollectionNotification action)
    {
        if (OnNotify)
            OnNotify(this, item, action);
    }
    void CheckIndex(int index) const
    {
        if (index < 0 || index >= GetCount())
            RaiseListIndexError(index);
    }

private:
    std::vector<T> m_items;
};

// A list of objects that deletes the objects it removes (Delete, Remove,
// Clear, SetItem, its own destruction) while OwnsObjects is set; Extract
// hands an object back without deleting it.
template<class T>
class TObjectList : public TList<T*> {
    static_assert(std::is_base_of_v<TObject, T>);

public:
    explicit TObjectList(bool AOwnsObjects = true) : m_ownsObjects(AOwnsObjects) { }
    ~TObjectList() override { this->Clear(); }

    static TClass StaticClassInfo()
    {
        static const TClassInfo info(u"TObjectList<" + T::StaticClassInfo()->Name + u">", TList<T*>::StaticClassInfo(),
            rtti::FactoryFor<TObjectList<T>>());
        return &info;
    }
    TClass ClassType() const override { return StaticClassInfo(); }

    bool GetOwnsObjects() const { return m_ownsObjects; }
    void SetOwnsObjects(bool v) { m_ownsObjects = v; }

protected:
    void Notify(T* const& item, TCollectionNotification action) override
    {
        TList<T*>::Notify(item, action);
        if (m_ownsObjects && action == cnRemoved)
            delete item;
    }

private:
    bool m_ownsObjects { true };
};

// ---- dictionaries ----

// Untyped access to a TDictionary whose keys are strings, for code that walks
// objects through their class information.
class TGenericDictionary : public TObject {
    QT_CLASS(TGenericDictionary, TObject)
public:
    virtual int GetCount() const = 0;
    virtual void Clear() = 0;
    virtual String GetKeyText(int index) const = 0;
    virtual TObject* GetValueObject(int index) const = 0;
    virtual void AddObject(const String& key, TObject* value) = 0;
};

template<class K, class V>
class TDictionary : public TGenericDictionary {
public:
    using TPair = std::pair<K, V>;

    static TClass StaticClassInfo()
    {
        static const TClassInfo info(
            u"TDictionary<" + rtti::GenericArgName<K>() + u"," + rtti::GenericArgName<V>() + u">",
            TGenericDictionary::StaticClassInfo(), rtti::FactoryFor<TDictionary<K, V>>());
        return &info;
    }
    TClass ClassType() const override { return StaticClassInfo(); }

    // Raises EListError "Duplicates not allowed" for a key already there.
    void Add(const K& key, const V& value)
    {
        if (m_index.count(key))
            RaiseDuplicateItem();
        m_index.emplace(key, m_pairs.size());
        m_pairs.emplace_back(key, value);
    }
    void AddOrSetValue(const K& key, const V& value)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            Add(key, value);
        else
            m_pairs[it->second].second = value;
    }
    void Remove(const K& key)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return;
        std::size_t at = it->second;
        m_index.erase(it);
        m_pairs.erase(m_pairs.begin() + std::ptrdiff_t(at));
        for (auto& [k, i] : m_index)
            if (i > at)
                --i;
    }
    void Clear() override
    {
        m_pairs.clear();
        m_index.clear();
    }
    bool TryGetValue(const K& key, V& value) const
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return false;
        value = m_pairs[it->second].second;
        return true;
    }
    bool ContainsKey(const K& key) const { return m_index.count(key) != 0; }
    bool ContainsValue(const V& value) const
    {
        return std::any_of(m_pairs.begin(), m_pairs.end(), [&](const TPair& p) { return p.second == value; });
    }
    // Raises EListError "Item not found" for a missing key.
    const V& GetItem(const K& key) const
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            RaiseItemNotFound();
        return m_pairs[it->second].second;
    }
    void SetItem(const K& key, const V& value)
    {
        auto it = m_index.find(key);
        if (it == m_index.end())
            RaiseItemNotFound();
        m_pairs[it->second].second = value;
    }
    const V& operator[](const K& key) const { return GetItem(key); }

    int GetCount() const override { return int(m_pairs.size()); }
    int Count() const { return GetCount(); }
    std::vector<K> Keys() const
    {
        std::vector<K> r;
        for (const auto& p : m_pairs)
            r.push_back(p.first);
        return r;
    }
    std::vector<V> Values() const
    {
        std::vector<V> r;
        for (const auto& p : m_pairs)
            r.push_back(p.second);
        return r;
    }
    auto begin() const { return m_pairs.begin(); }
    auto end() const { return m_pairs.end(); }

    String GetKeyText(int index) const override
    {
        CheckIndex(index);
        if constexpr (std::is_same_v<K, String>)
            return m_pairs[std::size_t(index)].first;
        else
            RaiseItemTypeMismatch();
    }
    TObject* GetValueObject(int index) const override
    {
        CheckIndex(index);
        if constexpr (std::is_convertible_v<V, TObject*>)
            return m_pairs[std::size_t(index)].second;
        else
            RaiseItemTypeMismatch();
    }
    void AddObject(const String& key, TObject* value) override
    {
        if constexpr (std::is_same_v<K, String> && std::is_pointer_v<V> && std::is_convertible_v<V, TObject*>) {
            using Target = std::remove_pointer_t<V>;
            Target* t = value ? dynamic_cast<Target*>(value) : nullptr;
            if (value && !t)
                RaiseItemTypeMismatch();
            Add(key, t);
        } else
            RaiseItemTypeMismatch();
    }

private:
    void CheckIndex(int index) const
    {
        if (index < 0 || index >= GetCount())
            RaiseListIndexError(index);
    }

    std::vector<TPair> m_pairs;
    std::unordered_map<K, std::size_t> m_index;
};
