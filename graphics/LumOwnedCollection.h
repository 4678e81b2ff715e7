#pragma once
// An owned collection whose items are of one known class T, with typed
// access and a forward enumerator.

#include "platform/rtl/Collection.h"

template<class T>
class TLumOwnedCollection : public TOwnedCollection {
public:
    TLumOwnedCollection(TPersistent* AOwner, TClass AItemClass = T::StaticClassInfo())
        : TOwnedCollection(AOwner, AItemClass) { }

    T* GetItem(int AIndex) const { return static_cast<T*>(TCollection::GetItem(AIndex)); }

    class TEnumerator {
    public:
        explicit TEnumerator(const TLumOwnedCollection* ACol) : FCol(ACol) { }
        bool MoveNext()
        {
            if (FIndex >= FCol->GetCount() - 1)
                return false;
            ++FIndex;
            return true;
        }
        T* GetCurrent() const { return FCol->GetItem(FIndex); }

    private:
        int FIndex { -1 };
        const TLumOwnedCollection* FCol { nullptr };
    };
    TEnumerator GetEnumerator() const { return TEnumerator(this); }

    // Range-for over the items.
    class iterator {
    public:
        iterator(const TLumOwnedCollection* c, int i) : m_c(c), m_i(i) { }
        T* operator*() const { return m_c->GetItem(m_i); }
        iterator& operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator!=(const iterator& o) const { return m_i != o.m_i; }

    private:
        const TLumOwnedCollection* m_c;
        int m_i;
    };
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, GetCount()); }
};
