#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Collections.h"

namespace {

// Counts live instances so ownership mistakes show as leaks or double frees.
class TCounted : public TObject {
    QT_CLASS(TCounted, TObject)
public:
    explicit TCounted(int v = 0) : Value(v) { ++Live; }
    ~TCounted() override { --Live; }
    int Value;
    static inline int Live = 0;
};
QT_PUBLISHED(TCounted)

enum TColourKind { ckRed, ckGreen, ckBlue, ckLast = 63 };

} // namespace

TEST(List, EditingOperations)
{
    TList<int> l { 1, 2, 3 };
    l.Insert(0, 0);
    l.Insert(4, 4);
    l.Move(0, 4);
    EXPECT_EQ(l.ToVector(), (std::vector<int> { 1, 2, 3, 4, 0 }));
    l.Exchange(0, 4);
    l.Delete(1);
    EXPECT_EQ(l.ToVector(), (std::vector<int> { 0, 3, 4, 1 }));
    EXPECT_EQ(l.Remove(4), 2);
    EXPECT_EQ(l.Remove(42), -1);
    l.Sort();
    EXPECT_EQ(l.ToVector(), (std::vector<int> { 0, 1, 3 }));
    l.Sort([](const int& a, const int& b) { return b - a; });
    EXPECT_EQ(l.First(), 3);
    EXPECT_EQ(l.Last(), 0);

    TList<String> words { u"alpha", u"beta" };
    words.SetItem(1, words[1]); // an element written back over itself
    words.Insert(0, words[1]);
    EXPECT_EQ(words.ToVector(), (std::vector<String> { u"beta", u"alpha", u"beta" }));
}

TEST(List, IndexErrorsNameTheIndex)
{
    TList<String> l { u"a" };
    TList<> pointers;
    const std::vector<std::pair<std::function<void()>, String>> cases = {
        { [&] { l.GetItem(1); }, u"List index out of bounds (1)" },
        { [&] { l.GetItem(-1); }, u"List index out of bounds (-1)" },
        { [&] { l.Delete(5); }, u"List index out of bounds (5)" },
        { [&] { l.Insert(2, u"x"); }, u"List index out of bounds (2)" },
        { [&] { l.Move(0, 1); }, u"List index out of bounds (1)" },
        { [&] { l.SetItem(3, u"x"); }, u"List index out of bounds (3)" },
        { [&] { pointers.First(); }, u"List index out of bounds (0)" },
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            cases[i].first();
            ADD_FAILURE() << "no exception";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message, cases[i].second);
        }
    }
    EXPECT_EQ(l.Count(), 1);
}

TEST(List, PointerListPacksAndResizes)
{
    int a = 1, b = 2;
    TList<> l;
    l.Add(&a);
    l.Add(nullptr);
    l.Add(&b);
    l.Pack();
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l[1], &b);
    l.SetCount(4);
    EXPECT_EQ(l[3], nullptr);
    l.SetCount(1);
    EXPECT_EQ(l.Count(), 1);
}

TEST(List, ClassNamesCarryTheItemType)
{
    const std::pair<TClass, String> cases[] = {
        { TList<>::StaticClassInfo(), u"TList" },
        { TList<String>::StaticClassInfo(), u"TList<String>" },
        { TList<int>::StaticClassInfo(), u"TList<Integer>" },
        { TList<double>::StaticClassInfo(), u"TList<Double>" },
        { TObjectList<TCounted>::StaticClassInfo(), u"TObjectList<TCounted>" },
        { TDictionary<String, TCounted*>::StaticClassInfo(), u"TDictionary<String,TCounted>" },
    };
    for (const auto& [cls, name] : cases) {
        SCOPED_TRACE(StringToUtf8(name));
        EXPECT_EQ(cls->Name, name);
    }
    TObjectList<TCounted> objects;
    EXPECT_EQ(objects.ClassParent(), TList<TCounted*>::StaticClassInfo());
    EXPECT_TRUE(objects.InheritsFrom(TGenericList::StaticClassInfo()));
}

TEST(List, UntypedAccessMatchesTheItemType)
{
    TList<String> strings;
    TList<int> ints;
    TList<double> doubles;
    TObjectList<TCounted> objects;
    TGenericList* lists[] = { &strings, &ints, &doubles, &objects };
    strings.AddString(u"x");
    ints.AddInt64(-5);
    doubles.AddDouble(1.5);
    objects.AddObject(new TCounted(3));
    objects.AddObject(nullptr);
    EXPECT_EQ(strings.GetItemString(0), u"x");
    EXPECT_EQ(ints.GetItemInt64(0), -5);
    EXPECT_EQ(doubles.GetItemDouble(0), 1.5);
    EXPECT_EQ(static_cast<TCounted*>(objects.GetItemObject(0))->Value, 3);
    EXPECT_EQ(objects.GetItemObject(1), nullptr);
    for (TGenericList* l : lists)
        EXPECT_EQ(l->GetCount(), l == &objects ? 2 : 1);
    EXPECT_THROW(strings.AddInt64(1), EInvalidCast);
    EXPECT_THROW(ints.GetItemString(0), EInvalidCast);
    EXPECT_THROW(doubles.AddObject(nullptr), EInvalidCast);
    TObjectList<TCounted> typed(false);
    TPersistent wrongClass;
    EXPECT_THROW(typed.AddObject(&wrongClass), EInvalidCast);
}

TEST(ObjectList, DeletesWhatItRemovesUnlessExtracted)
{
    ASSERT_EQ(TCounted::Live, 0);
    TCounted* kept = nullptr;
    {
        TObjectList<TCounted> l;
        for (int i = 0; i < 5; ++i)
            l.Add(new TCounted(i));
        l.Delete(0);
        l.Remove(l[0]);
        EXPECT_EQ(TCounted::Live, 3);
        l.SetItem(0, new TCounted(9)); // replaces and deletes the old one
        EXPECT_EQ(TCounted::Live, 3);
        kept = l.Extract(l[1]);
        EXPECT_EQ(TCounted::Live, 3);
        EXPECT_EQ(l.Count(), 2);
    }
    EXPECT_EQ(TCounted::Live, 1);
    delete kept;
    {
        TCounted stack;
        TObjectList<TCounted> borrowed(false);
        borrowed.Add(&stack);
        borrowed.Clear();
        EXPECT_EQ(TCounted::Live, 1);
    }
    EXPECT_EQ(TCounted::Live, 0);
}

TEST(Dictionary, KeepsInsertionOrderAndReportsMissingKeys)
{
    TDictionary<String, int> d;
    d.Add(u"b", 1);
    d.Add(u"a", 2);
    d.Add(u"c", 3);
    d.Remove(u"b");
    d.AddOrSetValue(u"d", 4);
    d.AddOrSetValue(u"a", 5);
    EXPECT_EQ(d.Keys(), (std::vector<String> { u"a", u"c", u"d" }));
    EXPECT_EQ(d.Values(), (std::vector<int> { 5, 3, 4 }));
    EXPECT_EQ(d[u"d"], 4); // the index stays right after a removal
    int v = 0;
    EXPECT_FALSE(d.TryGetValue(u"b", v));
    EXPECT_TRUE(d.ContainsValue(3));
    try {
        d.Add(u"a", 0);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, u"Duplicates not allowed");
    }
    try {
        d.GetItem(u"zz");
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, u"Item not found");
    }
    EXPECT_THROW(d.SetItem(u"zz", 1), EListError);
    EXPECT_THROW(d.GetValueObject(0), EInvalidCast);
    EXPECT_EQ(d.GetKeyText(2), u"d");
}

TEST(SetType, Operations)
{
    using S = Set<TColourKind>;
    S s { ckRed, ckBlue };
    EXPECT_TRUE(s.Contains(ckBlue));
    EXPECT_FALSE(s.Contains(ckGreen));
    EXPECT_EQ(s.Bits(), 0b101u);
    EXPECT_EQ((s + ckGreen).Count(), 3);
    EXPECT_EQ(s - (S { ckRed }), S { ckBlue });
    EXPECT_EQ(s * (S { ckRed, ckGreen }), S { ckRed });
    EXPECT_TRUE(S { ckRed } <= s);
    EXPECT_FALSE(s <= S { ckRed });
    s.Include(ckLast);
    EXPECT_EQ(s.Bits() >> 63, 1u);
    EXPECT_THROW(s.Include(TColourKind(64)), ERangeError);
    EXPECT_FALSE(s.Contains(TColourKind(-1)));
}

// ---- TCollection ----

namespace {

class TNamedItem : public TCollectionItem {
    QT_CLASS(TNamedItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    String Caption;
    String GetDisplayName() const override { return Caption; }
    void SetCaption(const String& v)
    {
        Caption = v;
        Changed(false);
    }
    void Assign(TPersistent* Source) override
    {
        if (auto* s = dynamic_cast<TNamedItem*>(Source))
            Caption = s->Caption;
        else
            TCollectionItem::Assign(Source);
    }
};
QT_PUBLISHED(TNamedItem)

// Records every Update call: "*" for the whole collection, else the caption.
class TRecordingCollection : public TCollection {
public:
    TRecordingCollection() : TCollection(TNamedItem::StaticClassInfo()) { }
    TNamedItem* AddNamed(const char* caption)
    {
        auto* item = static_cast<TNamedItem*>(Add());
        item->Caption = S(caption);
        return item;
    }
    void Update(TCollectionItem* item) override
    {
        Updates.push_back(item ? StringToUtf8(item->GetDisplayName()) : "*");
    }
    std::vector<std::string> Updates;
};

std::vector<String> Captions(const TCollection& c)
{
    std::vector<String> r;
    for (int i = 0; i < c.Count(); ++i)
        r.push_back(c[i]->GetDisplayName());
    return r;
}

} // namespace

TEST(Collection, ItemsKeepUniqueIdsAndIndexes)
{
    TRecordingCollection c;
    c.AddNamed("a");
    auto* b = c.AddNamed("b");
    c.AddNamed("c");
    EXPECT_EQ(c[0]->ClassName(), u"TNamedItem");
    EXPECT_EQ(b->GetCollection(), &c);
    c.Delete(0);
    auto* d = c.AddNamed("d");
    EXPECT_EQ(d->GetID(), 3); // ids are never reused
    EXPECT_EQ(c.FindItemID(1), b);
    EXPECT_EQ(c.FindItemID(0), nullptr);
    d->SetIndex(0);
    EXPECT_EQ(Captions(c), (std::vector<String> { u"d", u"b", u"c" }));
    EXPECT_THROW(d->SetIndex(3), EListError);
    auto* e = static_cast<TNamedItem*>(c.Insert(1));
    e->Caption = u"e";
    EXPECT_EQ(Captions(c), (std::vector<String> { u"d", u"e", u"b", u"c" }));
    EXPECT_THROW(c.Insert(9), EListError);
    EXPECT_EQ(c.Count(), 4); // a bad insert adds nothing
    delete b;                // an item deleted directly leaves its collection
    EXPECT_EQ(Captions(c), (std::vector<String> { u"d", u"e", u"c" }));
    EXPECT_THROW(c.GetItem(3), EListError);
}

TEST(Collection, BulkDeleteMoveAndSortReportOnce)
{
    TRecordingCollection c;
    for (const char* n : { "a", "b", "c", "d", "e", "f" })
        c.AddNamed(n);
    c.Updates.clear();
    c.MoveBlock(4, 2, 1);
    EXPECT_EQ(Captions(c), (std::vector<String> { u"a", u"e", u"f", u"b", u"c", u"d" }));
    c.MoveBlock(0, 2, 4);
    EXPECT_EQ(Captions(c), (std::vector<String> { u"f", u"b", u"c", u"d", u"a", u"e" }));
    EXPECT_THROW(c.MoveBlock(5, 2, 0), EListError);
    EXPECT_THROW(c.MoveBlock(0, 2, 5), EListError);
    c.Sort([](TCollectionItem* a, TCollectionItem* b) { return a->GetDisplayName() < b->GetDisplayName(); });
    EXPECT_EQ(Captions(c), (std::vector<String> { u"a", u"b", u"c", u"d", u"e", u"f" }));
    EXPECT_EQ(c[2]->GetIndex(), 2);
    c.DeleteWhere([](TCollectionItem* i) { return i->GetDisplayName() != u"c" && i->GetDisplayName() < u"e"; });
    EXPECT_EQ(Captions(c), (std::vector<String> { u"c", u"e", u"f" }));
    EXPECT_EQ(c.Updates, (std::vector<std::string>(4, "*")));
    c.DeleteWhere([](TCollectionItem*) { return false; }); // nothing: no report
    EXPECT_EQ(c.Updates.size(), 4u);
}

TEST(Collection, UpdatesAreHeldUntilTheOutermostEndUpdate)
{
    TRecordingCollection c;
    auto* a = c.AddNamed("a");
    c.Updates.clear();
    a->SetCaption(u"A");
    EXPECT_EQ(c.Updates, (std::vector<std::string> { "A" }));
    c.Updates.clear();
    c.BeginUpdate();
    c.BeginUpdate();
    a->SetCaption(u"x");
    c.AddNamed("b");
    c.EndUpdate();
    EXPECT_TRUE(c.Updates.empty());
    c.EndUpdate();
    EXPECT_EQ(c.Updates, (std::vector<std::string> { "*" }));
    c.Updates.clear();
    c.Clear();
    EXPECT_EQ(c.Updates, (std::vector<std::string> { "*" }));
    EXPECT_EQ(c.Count(), 0);
}

TEST(Collection, AssignCopiesItemsAndMovesChangeCollections)
{
    TRecordingCollection src, dst;
    src.AddNamed("a");
    src.AddNamed("b");
    dst.AddNamed("old");
    dst.Assign(&src);
    EXPECT_EQ(Captions(dst), (std::vector<String> { u"a", u"b" }));
    EXPECT_NE(dst[0], src[0]);

    TNamedItem* moving = static_cast<TNamedItem*>(src[1]);
    moving->SetCollection(&dst);
    EXPECT_EQ(src.Count(), 1);
    EXPECT_EQ(dst[2], moving);

    // A collection of TNamedItem refuses a plain item, which stays where it was.
    TCollection plain;
    TCollectionItem* plainItem = plain.Add();
    EXPECT_THROW(plainItem->SetCollection(&dst), EListError);
    EXPECT_EQ(plainItem->GetCollection(), &plain);
    EXPECT_EQ(plain.Count(), 1);
}

TEST(Collection, OwnedCollectionReportsItsOwner)
{
    TPersistent owner;
    TOwnedCollection c(&owner, TNamedItem::StaticClassInfo());
    EXPECT_EQ(c.GetOwner(), &owner);
    EXPECT_EQ(c.Add()->GetOwner(), &c);
    TPersistent notACollection;
    EXPECT_THROW(c.Assign(&notACollection), EConvertError);
}
