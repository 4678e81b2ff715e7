#include <gtest/gtest.h>

#include <fstream>

#include "tests/grid/views/GridViewsTest.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

using namespace gridviewstest;

namespace {

struct Filtering : TViewsGrid {
    // Column 0 of the rows in view: not moved out and not of height 0.
    TTexts Shown()
    {
        TTexts r;
        for (int i = G.GetFixedRows(); i < G.GetRowCount(); ++i)
            if (G.GetRowHeights(i) > 0)
                r.push_back(G.GetGridCell(0, i));
        return r;
    }
    TFilterData* Add(int Col, const String& Condition, TFilterOperation Op = foAND)
    {
        TFilterData* F = G.GetFilter()->Add();
        F->SetColumn(Col);
        F->SetCondition(Condition);
        F->SetOperation(Op);
        return F;
    }
};

struct TCondition {
    int Col;
    String Condition;
    TFilterOperation Op { foAND };
    TFilterMethod Method { fmExpression };
    TFilterCells Data { fcVirtual };
    String Prefix {};
    String Suffix {};
    bool RemoveAccented { false };
};

struct TFilterCase {
    const char* Name;
    std::vector<TCondition> Conditions;
    TTexts Shown;
    std::vector<int> Ignored {};
};

TEST_F(Filtering, ConditionsCombineAndMatchAsTheirSettingsSay)
{
    const std::vector<TTexts> Rows = {
        { u"ab", u"1" }, { u"cd", u"2" }, { u"abcd", u"1" }, { u"ab|cd", u"3" }, { u"", u"2" },
        { u"$20", u"5kg" }, { u"$5", u"5kgx" }, { u"\u0401\u043B\u043A\u0430", u"R&D" },
    };
    const TFilterCase Cases[] = {
        { "and over two columns", { { 0, u"ab*", foNONE }, { 1, u"1", foAND } }, { u"ab", u"abcd" } },
        { "short stops at the first miss", { { 0, u"ab*", foSHORT }, { 1, u"2", foOR } }, { u"ab", u"abcd", u"ab|cd" } },
        { "or", { { 0, u"cd", foNONE }, { 1, u"3", foOR } }, { u"cd", u"ab|cd" } },
        { "xor", { { 0, u"ab*", foNONE }, { 1, u"1", foXOR } }, { u"ab|cd" } },
        { "literal alternatives", { { 0, u"ab|cd", foNONE, fmLiteral } }, { u"ab", u"cd" } },
        { "literal two quotes", { { 0, u"\"\"", foNONE, fmLiteral } }, { u"" } },
        { "prefix comes off", { { 0, u"20", foNONE, fmExpression, fcVirtual, u"$" } }, { u"$20" } },
        { "suffix only at the end", { { 1, u"5", foNONE, fmExpression, fcVirtual, u"", u"kg" } }, { u"$20" } },
        { "whole row", { { -1, u"B|C", foNONE, fmExpression, fcRow } }, { u"ab|cd" } },
        { "whole row without ignored columns", { { -1, u"R&", foNONE, fmExpression, fcRow } }, {}, { 1 } },
        { "whole row with them", { { -1, u"R&", foNONE, fmExpression, fcRow } }, { u"\u0401\u043B\u043A\u0430" } },
        { "accents off non-Latin text",
            { { 0, u"\u0415\u043B\u043A\u0430", foNONE, fmExpression, fcVirtual, u"", u"", true } },
            { u"\u0401\u043B\u043A\u0430" } },
        { "accents kept", { { 0, u"\u0415\u043B\u043A\u0430", foNONE } }, {} },
    };
    for (const TFilterCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        G.SetFilterActive(false);
        G.GetFilter()->Clear();
        G.GetIgnoreColumns()->Clear();
        Fill(Rows);
        for (int c : Case.Ignored)
            G.GetIgnoreColumns()->Add(c);
        for (const TCondition& C : Case.Conditions) {
            TFilterData* F = Add(C.Col, C.Condition, C.Op);
            F->SetMethod(C.Method);
            F->SetData(C.Data);
            F->SetPrefix(C.Prefix);
            F->SetSuffix(C.Suffix);
            F->SetRemoveAccented(C.RemoveAccented);
        }
        G.SetFilterActive(true);
        // HideRowList keeps one row in view even when none matches.
        TTexts Expected = Case.Shown;
        if (Expected.empty())
            Expected = { G.GetGridCell(0, G.GetFixedRows()) };
        EXPECT_EQ(Shown(), Expected);
    }
}

TEST_F(Filtering, CustomFilterHasTheLastWordAndProgressEndsAtAHundred)
{
    FillColumn({ u"a", u"b", u"c", u"d" });
    Add(0, u"a", foNONE);
    G.OnCustomFilter = [&](TObject*, int ARow, bool& Accept) { Accept = Accept || G.GetGridCell(0, ARow) == u"c"; };
    std::vector<int> Progress;
    G.OnFilterProgress = [&](TObject*, std::int16_t p) { Progress.push_back(p); };
    G.SetFilterActive(true);
    EXPECT_EQ(Shown(), (TTexts { u"a", u"c" }));
    EXPECT_EQ(Progress, (std::vector<int> { 25, 50, 75, 100, 100 }));
}

// Footer recalculations the switch asks for.
class TFooterGrid : public TDedOzovedUrad {
public:
    using TDedOzovedUrad::TDedOzovedUrad;
    void CalcFooter(int) override { ++Calcs; }
    int Calcs { 0 };
};

TEST_F(Filtering, SwitchingOnTwiceFiltersOnceAndRecalculatesTheFootersEachTime)
{
    TFooterGrid F(nullptr);
    F.SetColCount(1);
    F.SetRowCount(4);
    F.SetFixedRows(1);
    F.SetFixedCols(0);
    for (int r = 1; r < 4; ++r)
        F.SetCellEx(0, r, IntToStr(r));
    F.GetFilter()->Add(0, u"2", foNONE);
    F.SetFilterActive(true);
    F.SetFilterActive(true);
    EXPECT_EQ(F.GetRowCount(), 2);
    EXPECT_EQ(F.GetFilterLevel(), 1);
    EXPECT_EQ(F.Calcs, 2);
    F.SetFilterActive(false);
    EXPECT_EQ(F.GetRowCount(), 4);
}

TEST_F(Filtering, SuppressKeepsRowsInPlaceAtHeightZero)
{
    FillColumn({ u"a", u"b", u"a" });
    G.SetFilterType(ftSuppress);
    Add(0, u"a", foNONE);
    G.SetFilterActive(true);
    EXPECT_EQ(G.GetRowCount(), 4);
    EXPECT_EQ(Shown(), (TTexts { u"a", u"a" }));
    EXPECT_EQ(G.GetFilteredRowList()->Values(), (std::vector<int> { 2 }));
    G.SetFilterActive(false);
    EXPECT_EQ(Shown(), (TTexts { u"a", u"b", u"a" }));
    EXPECT_EQ(G.GetFilteredRowList()->Count(), 0);
}

// Switching off puts back the last level and leaves the level where it
// is; RemoveLastFilter lowers it and takes the last condition along.
TEST_F(Filtering, LevelsFollowTheSwitchAndTheRemovals)
{
    FillColumn({ u"a1", u"b1", u"a2", u"b2" });
    Add(0, u"a*", foNONE);
    G.SetFilterActive(true);
    EXPECT_EQ(G.GetFilterLevel(), 1);
    G.SetFilterActive(false);
    EXPECT_EQ(G.GetFilterLevel(), 1);
    EXPECT_EQ(Shown(), (TTexts { u"a1", u"b1", u"a2", u"b2" }));

    G.GetFilter()->Clear();
    Add(0, u"a*", foNONE);
    G.SetFilterActive(true);
    EXPECT_EQ(G.GetFilterLevel(), 2);
    Add(0, u"*2", foAND);
    G.ApplyFilter();
    EXPECT_EQ(G.GetFilterLevel(), 3);
    EXPECT_EQ(Shown(), (TTexts { u"a2" }));

    EXPECT_TRUE(G.RemoveLastFilter());
    EXPECT_EQ(G.GetFilterLevel(), 2);
    EXPECT_EQ(G.GetFilter()->Count(), 1);
    EXPECT_EQ(Shown(), (TTexts { u"a1", u"a2" }));
    G.RemoveAllFilters();
    EXPECT_EQ(G.GetFilterLevel(), 0);
    EXPECT_EQ(Shown(), (TTexts { u"a1", u"b1", u"a2", u"b2" }));
    EXPECT_EQ(G.NumHiddenRows(), 0);
    // With no level left it empties the conditions.
    Add(0, u"x", foNONE);
    G.RemoveAllFilters();
    EXPECT_EQ(G.GetFilter()->Count(), 0);
    EXPECT_TRUE(G.GetFilterActive());
}

TEST_F(Filtering, NarrowDownFiltersAsTheTextGrowsAndShrinks)
{
    FillColumn({ u"abc", u"abd", u"axe", u"b", u"abcd" });
    struct TStep {
        String Text;
        TTexts Shown;
        int Level;
    };
    const TStep Steps[] = {
        { u"a", { u"abc", u"abd", u"axe", u"abcd" }, 1 },
        { u"ab", { u"abc", u"abd", u"abcd" }, 2 },
        { u"abc", { u"abc", u"abcd" }, 3 },
        { u"ab", { u"abc", u"abd", u"abcd" }, 2 },
        { u"", { u"abc", u"abd", u"axe", u"b", u"abcd" }, 0 },
    };
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(StringToUtf8(Step.Text));
        G.NarrowDown(Step.Text, 0);
        EXPECT_EQ(Shown(), Step.Shown);
        EXPECT_EQ(G.GetFilterLevel(), Step.Level);
        // The grid knows a narrow-down is in force (its check boxes keep
        // their state in the object then).
        EXPECT_EQ(G.GetNarrowDownActive(), !Step.Text.empty());
    }
    EXPECT_EQ(G.NumHiddenRows(), 0);
    G.NarrowDown(u"ab", 0);
    G.RemoveAllFilters();
    EXPECT_FALSE(G.GetNarrowDownActive());
}

TEST_F(Filtering, NarrowDownOverWholeRowsIgnoresCase)
{
    Fill({ { u"x", u"Apple" }, { u"y", u"pear" }, { u"z", u"APPLE pie" } });
    G.NarrowDown(u"apple", TNarrowDownOptions { ndCaseSensitive }, -1);
    EXPECT_EQ(Shown(), (TTexts { u"x", u"z" }));
    G.NarrowDown(u"", -1);
    // A column of its own keeps the case asked for.
    G.NarrowDown(u"pple", TNarrowDownOptions { ndCaseSensitive }, 1);
    EXPECT_EQ(Shown(), (TTexts { u"x" }));
}

TEST_F(Filtering, TypedOperatorCharactersAreLookedForAsTyped)
{
    const std::vector<std::pair<String, TTexts>> Cases = {
        { u"R&D", { u"the R&D team" } },
        { u"a|b", { u"a|b" } },
        { u"x;y", { u"x;y" } },
        { u">5", { u">5 kg" } },
        { u"(1)", { u"item (1)" } },
        { u"say \"hi\"", { u"say \"hi\" now" } },
    };
    for (const auto& [Typed, Expected] : Cases) {
        SCOPED_TRACE(StringToUtf8(Typed));
        FillColumn({ u"the R&D team", u"R", u"a|b", u"a", u"b", u"x;y", u"x", u"7", u">5 kg", u"item (1)", u"1",
            u"say \"hi\" now" });
        G.NarrowDown(Typed, 0);
        EXPECT_EQ(Shown(), Expected);
        G.NarrowDown(u"", 0);
        EXPECT_EQ(G.GetRowCount(), 13);
    }
}

TEST_F(Filtering, ClearingANarrowDownKeepsRowsHiddenOtherwise)
{
    FillColumn({ u"a1", u"a2", u"b1", u"a3" });
    G.HideRow(3); // "b1"
    G.NarrowDown(u"a", 0);
    G.NarrowDown(u"a3", 0);
    G.NarrowDown(u"", 0);
    EXPECT_EQ(Shown(), (TTexts { u"a1", u"a2", u"a3" }));
    ASSERT_EQ(G.NumHiddenRows(), 1);
    G.UnHideRow(3);
    EXPECT_EQ(Shown(), (TTexts { u"a1", u"a2", u"b1", u"a3" }));
}

TEST_F(Filtering, TheIniFileKeepsEveryConditionAndAMissingCaseReadsFalse)
{
    testsupport::TempDir Dir;
    const String File = gridfiletest::P(Dir.path() / "filter.ini");
    TFilterData* F = Add(2, u"*x y*", foOR);
    F->SetMethod(fmLiteral);
    F->SetCaseSensitive(true);
    F->SetEnabled(false);
    F->SetRemoveAccented(true);
    F->SetPrefix(u"p");
    F->SetSuffix(u"s");
    F->SetFriendlyName(u"Friendly");
    F->SetFilterType(ftNotEqual);
    Add(0, u"b", foAND);
    G.SaveFilter(File);
    G.GetFilter()->Clear();
    G.LoadFilter(File);
    ASSERT_EQ(G.GetFilter()->Count(), 2);
    const TFilterData& L = *G.GetFilter()->GetItem(0);
    EXPECT_EQ(L.GetColumn(), 2);
    EXPECT_EQ(L.GetCondition(), u"*x y*");
    EXPECT_EQ(L.GetOperation(), foOR);
    EXPECT_EQ(L.GetMethod(), fmLiteral);
    EXPECT_TRUE(L.GetCaseSensitive());
    EXPECT_FALSE(L.GetEnabled());
    EXPECT_TRUE(L.GetRemoveAccented());
    EXPECT_EQ(L.GetPrefix(), u"p");
    EXPECT_EQ(L.GetSuffix(), u"s");
    EXPECT_EQ(L.GetFriendlyName(), u"Friendly");
    EXPECT_EQ(L.GetFilterType(), ftNotEqual);
    EXPECT_FALSE(G.GetFilterActive());

    gridfiletest::WriteBytes(Dir.path() / "nocase.ini", "[FILTER]\nCOUNT=1\n[ITEM0]\nCONDITION=a\n");
    G.LoadFilter(gridfiletest::P(Dir.path() / "nocase.ini"));
    ASSERT_EQ(G.GetFilter()->Count(), 1);
    EXPECT_FALSE(G.GetFilter()->GetItem(0)->GetCaseSensitive());
    // No file, or no count: the conditions stay.
    G.LoadFilter(gridfiletest::P(Dir.path() / "missing.ini"));
    gridfiletest::WriteBytes(Dir.path() / "empty.ini", "[FILTER]\n");
    G.LoadFilter(gridfiletest::P(Dir.path() / "empty.ini"));
    EXPECT_EQ(G.GetFilter()->Count(), 1);
}

} // namespace
