#include <gtest/gtest.h>

#include "grid/core/GridFilterMatch.h"
#include "grid/core/GridFilter.h"
#include "tests/grid/core/FakeGrid.h"

using namespace VuzEraz;

namespace {

std::vector<int> Columns(const TFilter& f)
{
    std::vector<int> r;
    for (int i = 0; i < f.GetCount(); ++i)
        r.push_back(f[i]->GetColumn());
    return r;
}

String Condition(TFilterType type, const String& value)
{
    TFilterData d;
    d.SetFilterType(type);
    d.BuildCondition(value);
    return d.GetCondition();
}

} // namespace

TEST(GridFilter, BuildConditionByType)
{
    struct Case {
        TFilterType type;
        const char16_t* value;
        const char16_t* condition;
    };
    const Case cases[] = {
        { ftStartsWith, u"ab", u"ab*" }, { ftStartsWith, u"", u"*" }, { ftEndsWith, u"ab", u"*ab" },
        { ftContains, u"New York", u"*\"New York\"*" }, { ftNotContains, u"ab", u"!*ab*" }, { ftEqual, u"ab", u"ab" },
        { ftNotEqual, u"ab", u"!ab" }, { ftLargerThan, u"5", u">5" }, { ftSmallerThan, u"5", u"<5" },
        { ftEqual, u"a\"b", u"\"a\"\"b\"" }, { ftEqual, u"=5", u"\"=5\"" }, { ftEqual, u"5=5", u"5=5" },
        { ftClear, u"ab", u"kept" }, { ftNone, u"ab", u"kept" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.value));
        TFilterData d;
        d.SetCondition(u"kept");
        d.SetFilterType(c.type);
        d.BuildCondition(c.value);
        EXPECT_EQ(d.GetCondition(), c.condition);
    }
}

TEST(GridFilter, ConditionsFromSpecialValuesMatchExactlyTheirRows)
{
    const std::vector<String> rows = { u"R&D", u"R&D team", u"old R&D", u"R", u"D", u"a;b", u"a", u"b", u">5", u"9",
        u"6", u"(x)", u"x", u"a\"b", u"=5", u"5", u"a|b", u"x^y", u"New York", u"NewYork", u"a<b", u"", u"!no",
        u"no", u"(x", u"x)" };
    const std::vector<String> values = { u"R&D", u"a;b", u">5", u"(x)", u"a\"b", u"=5", u"a|b", u"x^y", u"New York",
        u"a<b", u"(x", u"x)", u"!no" };
    struct Type {
        TFilterType type;
        bool (*expected)(const String& row, const String& value);
    };
    const Type types[] = {
        { ftStartsWith, [](const String& r, const String& v) { return r.starts_with(v); } },
        { ftEndsWith, [](const String& r, const String& v) { return r.ends_with(v); } },
        { ftContains, [](const String& r, const String& v) { return r.find(v) != String::npos; } },
        { ftNotContains, [](const String& r, const String& v) { return r.find(v) == String::npos; } },
        { ftEqual, [](const String& r, const String& v) { return r == v; } },
        { ftNotEqual, [](const String& r, const String& v) { return r != v; } },
    };
    for (const Type& t : types)
        for (const String& v : values) {
            const String condition = Condition(t.type, v);
            // A "!" inside the value keeps its meaning when the condition does
            // not start with the quote (see the limit below).
            if (v.find(u'!') != String::npos && !condition.starts_with(u"\""))
                continue;
            for (const String& row : rows) {
                SCOPED_TRACE(StringToUtf8(u"condition " + condition + u" row " + row));
                EXPECT_EQ(MatchFilterExpression(condition, row, true), t.expected(row, v));
            }
        }
}

TEST(GridFilter, QuotingCannotNeutraliseWildcards)
{
    // The matcher keeps "*", "?" and a "!" that does not start the condition
    // meaningful inside quotes: such values match like patterns.
    EXPECT_TRUE(MatchFilterExpression(Condition(ftEqual, u"a*b"), u"axxb", true));
    EXPECT_TRUE(MatchFilterExpression(Condition(ftEqual, u"a?"), u"ab", true));
    EXPECT_TRUE(MatchFilterExpression(Condition(ftContains, u"!no"), u"unrelated", true));
    // A leading "!" is quoted, and a condition starting with the quote reads it as text.
    EXPECT_TRUE(MatchFilterExpression(Condition(ftEqual, u"!no"), u"!no", true));
}

TEST(GridFilter, AddInsertAndOperations)
{
    FakeGrid grid;
    TFilter f(&grid);
    EXPECT_EQ(f.Add()->GetOperation(), foNONE);
    EXPECT_EQ(f.Add()->GetOperation(), foAND);
    TFilterData* explicitItem = f.Add(4, u"x*", foOR);
    EXPECT_EQ(explicitItem->GetColumn(), 4);
    EXPECT_EQ(explicitItem->GetCondition(), u"x*");
    EXPECT_EQ(explicitItem->GetOperation(), foOR);
    EXPECT_TRUE(explicitItem->GetCaseSensitive());
    EXPECT_EQ(explicitItem->GetMethod(), fmExpression);

    f[0]->SetColumn(10);
    f[1]->SetColumn(11);
    TFilterData* inserted = f.Insert(1);
    inserted->SetColumn(70000);
    EXPECT_EQ(Columns(f), (std::vector<int> { 10, 70000, 11, 4 }));
    EXPECT_EQ(inserted->GetOperation(), foAND);
    EXPECT_EQ(f.Insert(0)->GetOperation(), foNONE);
    EXPECT_EQ(f.GetCount(), 5);
    EXPECT_THROW(f.Insert(9), EListError);
    EXPECT_EQ(f.GetCount(), 5);
}

TEST(GridFilter, ColumnQueriesAndRemoval)
{
    FakeGrid grid;
    TFilter f(&grid);
    EXPECT_EQ(f.HasFilterType(3), ftContains);
    EXPECT_FALSE(f.HasFilter(3));

    TFilterData* c3 = f.GetColumnFilter(3);
    EXPECT_EQ(c3->GetColumn(), 3);
    EXPECT_EQ(c3->GetOperation(), foNONE);
    EXPECT_EQ(f.GetColumnFilter(3), c3);
    EXPECT_EQ(f.GetColumnFilter(5)->GetOperation(), foAND);
    EXPECT_TRUE(f.HasFilter(5));
    EXPECT_TRUE(f.HasOtherFilter(3));

    f.Add(3, u"b*", foOR)->SetFilterType(ftEqual);
    f.Add(7, u"c*", foAND);
    c3->SetFilterType(ftEndsWith);
    EXPECT_EQ(f.HasFilterType(3), ftEndsWith);

    grid.Calls.clear();
    f.RemoveColumnFilter(3);
    EXPECT_EQ(Columns(f), (std::vector<int> { 5, 7 }));
    ASSERT_FALSE(grid.Calls.empty());
    EXPECT_EQ(grid.Calls.back(), "cell 3,0");
    EXPECT_FALSE(f.HasFilter(3));
    f.RemoveColumnFilter(5);
    f.RemoveColumnFilter(7);
    EXPECT_FALSE(f.HasOtherFilter(3));
}

TEST(GridFilter, ChangesRepaintTheHeaderUnlessTheGridIsGoing)
{
    FakeGrid grid;
    TFilter f(&grid);
    f.Add();
    EXPECT_EQ(grid.Calls, (std::vector<std::string> { "row 0" }));
    grid.Destroying = true;
    grid.Calls.clear();
    f.Clear();
    EXPECT_TRUE(grid.Calls.empty());
}

TEST(GridFilter, AssignCopiesTheConditionFields)
{
    TFilter f;
    TFilterData* src = f.Add(9, u"a*", foXOR);
    src->SetCaseSensitive(false);
    src->SetData(fcStripHTML);
    src->SetPrefix(u"<");
    src->SetSuffix(u">");
    src->SetRemoveAccented(true);
    src->SetEnabled(false);
    src->SetMethod(fmLiteral);
    src->SetFilterType(ftEqual);
    src->SetFriendlyName(u"name");

    TFilterData* dst = f.Add();
    dst->Assign(src);
    EXPECT_EQ(dst->GetColumn(), 9);
    EXPECT_EQ(dst->GetCondition(), u"a*");
    EXPECT_EQ(dst->GetOperation(), foXOR);
    EXPECT_FALSE(dst->GetCaseSensitive());
    EXPECT_EQ(dst->GetData(), fcStripHTML);
    EXPECT_EQ(dst->GetPrefix(), u"<");
    EXPECT_EQ(dst->GetSuffix(), u">");
    EXPECT_TRUE(dst->GetRemoveAccented());
    // Not copied.
    EXPECT_TRUE(dst->GetEnabled());
    EXPECT_EQ(dst->GetMethod(), fmExpression);
    EXPECT_EQ(dst->GetFilterType(), ftStartsWith);
    EXPECT_EQ(dst->GetFriendlyName(), u"");

    TFilter other;
    EXPECT_THROW(dst->Assign(&other), EInvalidCast);
}
