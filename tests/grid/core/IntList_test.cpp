#include <gtest/gtest.h>

#include "grid/core/FileStringList.h"
#include "grid/core/IntList.h"

namespace {

std::vector<int> Items(const TIntList& l) { return l.Values(); }

// Counts OnChange calls and checks each names the list and its cell.
struct ChangeCounter {
    explicit ChangeCounter(TIntList& list)
    {
        list.OnChange = [this, &list](TObject* sender, int col, int row) {
            EXPECT_EQ(sender, &list);
            EXPECT_EQ(col, list.GetCol());
            EXPECT_EQ(row, list.GetRow());
            ++calls;
        };
    }
    int calls { 0 };
};

} // namespace

TEST(IntList, OperationsFireOnChangeAsDocumented)
{
    struct Case {
        const char* name;
        std::vector<int> start;
        std::function<void(TIntList&)> op;
        std::vector<int> result;
        int changes;
    };
    const Case cases[] = {
        { "Add", { 1 }, [](TIntList& l) { l.Add(4); }, { 1, 4 }, 1 },
        { "position Insert", { 1, 2 }, [](TIntList& l) { l.Insert(1, 9); }, { 1, 9, 2 }, 0 },
        { "sorted Insert in the middle", { 1, 3, 9 }, [](TIntList& l) { l.Insert(7); }, { 1, 3, 7, 9 }, 0 },
        { "sorted Insert into empty", {}, [](TIntList& l) { l.Insert(7); }, { 7 }, 1 },
        { "sorted Insert at the ends", { 3, 5 }, [](TIntList& l) { l.Insert(9); l.Insert(0); }, { 0, 3, 5, 9 }, 0 },
        { "sorted Insert of an equal value", { 3, 5 }, [](TIntList& l) { l.Insert(5); }, { 3, 5, 5 }, 0 },
        { "Delete", { 1, 2, 3 }, [](TIntList& l) { l.Delete(1); }, { 1, 3 }, 1 },
        { "DeleteValue removes the first", { 4, 2, 4 }, [](TIntList& l) { l.DeleteValue(4); }, { 2, 4 }, 1 },
        { "DeleteValue of a missing value", { 4, 2 }, [](TIntList& l) { l.DeleteValue(7); }, { 4, 2 }, 0 },
        { "Clear", { 1, 2 }, [](TIntList& l) { l.Clear(); }, {}, 1 },
        { "Clear of an empty list", {}, [](TIntList& l) { l.Clear(); }, {}, 1 },
        { "SetInteger", { 1, 2 }, [](TIntList& l) { l.SetInteger(0, 8); }, { 8, 2 }, 1 },
        { "StrValue: one clear and one add per item, unsorted", { 7 }, [](TIntList& l) { l.SetStrValue(u"4,2,9"); },
            { 4, 2, 9 }, 4 },
        { "StrValue with blanks and quotes", {}, [](TIntList& l) { l.SetStrValue(u"1 \"-3\",5"); }, { 1, -3, 5 }, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TIntList l(2, 5);
        for (int v : c.start)
            l.Insert(l.Count(), v);
        ChangeCounter counter(l);
        c.op(l);
        EXPECT_EQ(Items(l), c.result);
        EXPECT_EQ(counter.calls, c.changes);
        l.OnChange = nullptr;
    }
}

TEST(IntList, SortedSearches)
{
    struct Case {
        std::vector<int> list;
        int value;
        int indexOf;
        int posOf;
    };
    const Case cases[] = {
        { { 5 }, 5, 0, 0 },
        { {}, 5, -1, 0 },
        { { 1, 3, 5 }, 4, -1, 2 },
        { { 1, 3, 5 }, 0, -1, 0 },
        { { 1, 3, 5 }, 9, -1, 3 },
        { { 1, 3, 5, 7, 9, 11 }, 11, 5, 5 },
        { { -8, -2, 0, 6 }, -2, 1, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.list) + " value " + std::to_string(c.value));
        TIntList l;
        for (int v : c.list)
            l.Add(v);
        EXPECT_EQ(l.SortedIndexOf(c.value), c.indexOf);
        EXPECT_EQ(l.SortedPosOf(c.value), c.posOf);
        EXPECT_EQ(l.HasValue(c.value), c.indexOf >= 0);
    }
}

TEST(IntList, StrValueTextAndErrors)
{
    TIntList l;
    EXPECT_EQ(l.GetStrValue(), u"");
    l.SetStrValue(u"3,10,-1");
    EXPECT_EQ(l.GetStrValue(), u"3,10,-1");
    // A bad item raises and keeps the items before it.
    EXPECT_THROW(l.SetStrValue(u"1,2,x,4"), EConvertError);
    EXPECT_EQ(Items(l), (std::vector<int> { 1, 2 }));
    EXPECT_THROW(l.GetInteger(2), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Insert(3, 0), EListError);
}

TEST(IntList, DestroyingClearsThroughOnChange)
{
    int calls = 0;
    {
        TIntList l(0, 0);
        l.Add(1);
        l.OnChange = [&](TObject*, int, int) { ++calls; };
    }
    EXPECT_EQ(calls, 1);
}

TEST(SortIndexList, KeysDirectionsAndText)
{
    TSortIndexList l(-1, -1);
    ChangeCounter counter(l);
    l.AddIndex(3, false);
    l.AddIndex(0, true);
    EXPECT_EQ(l.SaveToString(), u"d3;u0");
    EXPECT_EQ(l.GetSortColumns(0), 3);
    EXPECT_FALSE(l.GetSortDirections(0));
    EXPECT_EQ(l.FindIndex(0), 1);
    EXPECT_EQ(l.FindIndex(7), -1);

    l.ToggleIndex(3);
    EXPECT_TRUE(l.GetSortDirections(0));
    l.ToggleIndex(3);
    EXPECT_FALSE(l.GetSortDirections(0));
    const int before = counter.calls;
    l.ToggleIndex(42);
    EXPECT_EQ(counter.calls, before);
    EXPECT_EQ(l.SaveToString(), u"d3;u0");

    // Setting a column keeps the entry's direction and drops the value's own bit 31.
    l.SetSortColumns(0, int(0x80000000u | 12));
    EXPECT_EQ(l.SaveToString(), u"d12;u0");
    l.SetSortDirections(1, false);
    EXPECT_EQ(l.SaveToString(), u"d12;d0");
}

TEST(SortIndexList, LoadFromString)
{
    struct Case {
        const char16_t* text;
        const char16_t* saved;
    };
    const Case cases[] = {
        { u"u1;;x7;d", u"u1;d7" },          // empty and one-letter parts skipped; any letter but u is descending
        { u"", u"" },
        { u"U4", u"d4" },                   // only a lower-case u is ascending
        { u"u70000;d2147483647", u"u70000;d2147483647" },  // columns above 16 bits survive
        { u"uX;u-3;u2147483648;u5", u"u5" },  // parts without a valid column are skipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        TSortIndexList l;
        l.AddIndex(99, true);
        l.LoadFromString(c.text);
        EXPECT_EQ(l.SaveToString(), c.saved);
    }
}

TEST(FileStringList, CursorReadsAndWritesLines)
{
    TFileStringList f;
    f.Reset();
    EXPECT_TRUE(f.Eof());
    f.Write(u"a");
    f.Write(u"b");
    EXPECT_EQ(f.GetCount(), 0);
    f.WriteLn(u"c");
    f.WriteLn(u"second");
    f.Write(u"pending");
    ASSERT_EQ(f.GetCount(), 2);
    EXPECT_EQ(f[0], u"abc");

    f.Reset();
    String s;
    EXPECT_FALSE(f.Eof());
    f.ReadLn(s);
    EXPECT_EQ(s, u"abc");
    f.ReadLn(s);
    EXPECT_EQ(s, u"second");
    EXPECT_TRUE(f.Eof());
    EXPECT_THROW(f.ReadLn(s), EStringListError);
    // Reset dropped the pending text.
    f.WriteLn(u"x");
    EXPECT_EQ(f[2], u"x");
}
