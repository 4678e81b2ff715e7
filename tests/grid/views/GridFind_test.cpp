#include <gtest/gtest.h>

#include <algorithm>

#include "tests/grid/views/GridViewsTest.h"

using namespace gridviewstest;

namespace {

using TCells = std::vector<TPoint>;

// A grid that records the search notifications (not the per-row ones).
class THookGrid : public TDedOzovedUrad {
public:
    using TDedOzovedUrad::TDedOzovedUrad;
    void ExportNotification(TGridExportState AState, int) override
    {
        if (AState != esExportFindRow)
            States.push_back(AState);
    }
    std::vector<TGridExportState> States;
};

struct Find : TViewsGrid {
    // Every match in walking order: FindFirst, then FindNext until it fails
    // or, past the range's end, comes round to a match met before.
    TCells Walk(const String& s, TFindParams P)
    {
        TCells r;
        for (TPoint p = G.FindFirst(s, P); p.X != -1 && r.size() < 20; p = G.FindNext()) {
            if (std::find(r.begin(), r.end(), p) != r.end())
                break;
            r.push_back(p);
        }
        return r;
    }
    // "k" in (0,1), (2,1), (1,2), (0,3).
    void FillK() { Fill({ { u"k", u".", u"k" }, { u".", u"k", u"." }, { u"k", u".", u"." } }); }
};

TEST_F(Find, TheFourWalkingOrdersVisitEveryMatchOnce)
{
    FillK();
    struct {
        const char* Name;
        TFindParams P;
        TCells Expected;
    } const Cases[] = {
        { "down the columns", {}, { { 0, 1 }, { 0, 3 }, { 1, 2 }, { 2, 1 } } },
        { "along the rows", { fnDirectionLeftRight }, { { 0, 1 }, { 2, 1 }, { 1, 2 }, { 0, 3 } } },
        { "up the columns", { fnBackward }, { { 2, 1 }, { 1, 2 }, { 0, 3 }, { 0, 1 } } },
        { "back along the rows", { fnBackward, fnDirectionLeftRight }, { { 0, 3 }, { 1, 2 }, { 2, 1 }, { 0, 1 } } },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        EXPECT_EQ(Walk(u"k", Case.P), Case.Expected);
    }
}

TEST_F(Find, ParametersDecideWhatMatches)
{
    Fill({ { u"Apple", u"pineapple", u"<b>Ap</b>ple" }, { u"apple pie", u"\u00C9t\u00E9", u"ap" } });
    struct {
        const char* Name;
        String Text;
        TFindParams P;
        TPoint Expected;
        int FindCol { 0 };
        int FindRow { 0 };
    } const Cases[] = {
        { "case ignored", u"apple", {}, { 0, 1 } },
        { "match case", u"apple", { fnMatchCase }, { 0, 2 } },
        { "whole text", u"apple", { fnMatchFull }, { 0, 1 } },
        { "whole text and case", u"apple", { fnMatchFull, fnMatchCase }, { -1, -1 } },
        { "at the start", u"app", { fnMatchStart, fnMatchCase }, { 0, 2 } },
        { "not at the start", u"pie", { fnMatchStart }, { -1, -1 } },
        { "expression", u"ap*e", { fnMatchRegular }, { 0, 1 } },
        { "accents kept", u"ete", {}, { -1, -1 } },
        { "accents ignored", u"ete", { fnIgnoreAccents }, { 1, 2 } },
        { "markup counts", u"apple", { fnFindInPresetCol }, { -1, -1 }, 2 },
        { "markup ignored", u"apple", { fnFindInPresetCol, fnIgnoreHTMLTags }, { 2, 1 }, 2 },
        { "fixed row left out", u"h1", {}, { -1, -1 } },
        { "fixed row searched", u"h1", { fnIncludeFixed }, { 1, 0 } },
        { "one row", u"ap", { fnFindInPresetRow, fnMatchFull }, { 2, 2 }, 0, 2 },
        { "preset column outside", u"ap", { fnFindInPresetCol }, { -1, -1 }, 7 },
        { "preset row outside", u"ap", { fnFindInPresetRow }, { -1, -1 }, 0, -1 },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        G.SetFindCol(Case.FindCol);
        G.SetFindRow(Case.FindRow);
        EXPECT_EQ(G.FindFirst(Case.Text, Case.P), Case.Expected);
    }
    // Only the selected block.
    G.SelectCells(1, 1, 2, 2);
    EXPECT_EQ(G.FindFirst(u"apple", { fnSelectedCells }), (TPoint { 1, 1 }));
    // Ignored columns are passed over in the row-by-row walk only.
    G.GetIgnoreColumns()->Add(0);
    EXPECT_EQ(G.FindFirst(u"apple", { fnDirectionLeftRight }), (TPoint { 1, 1 }));
    EXPECT_EQ(G.FindFirst(u"apple", {}), (TPoint { 0, 1 }));
}

TEST_F(Find, EmptyTextAndTwoQuotesFindTheFirstEmptyCell)
{
    Fill({ { u"a", u"b" }, { u"c", u"" }, { u"", u"d" } });
    EXPECT_EQ(G.FindFirst(u"", {}), (TPoint { 0, 3 }));
    EXPECT_EQ(G.FindFirst(u"\"\"", { fnDirectionLeftRight }), (TPoint { 1, 2 }));
    // A wide search only takes the two quotes as "empty".
    EXPECT_EQ(G.FindWide({ -1, -1 }, u"\"\"", {}), (TPoint { 0, 3 }));
    EXPECT_EQ(G.FindWide({ -1, -1 }, u"", {}), (TPoint { -1, -1 }));
    EXPECT_EQ(G.FindWide({ -1, -1 }, u"D", {}), (TPoint { 1, 3 }));
}

TEST_F(Find, NextAfterTheLastMatchFailsThenStartsOver)
{
    FillK();
    EXPECT_EQ(G.FindFirst(u"k", {}), (TPoint { 0, 1 }));
    G.SetSearchCell({ 2, 1 });
    EXPECT_EQ(G.FindNext(), (TPoint { -1, -1 }));
    EXPECT_EQ(G.FindNext(), (TPoint { 0, 1 }));
    // A start beyond the last column and row goes on at the first cell.
    EXPECT_EQ(G.Find({ 9, 9 }, u"k", {}), (TPoint { 0, 1 }));
    EXPECT_EQ(G.Find({ 9, 9 }, u"k", { fnDirectionLeftRight }), (TPoint { 0, 1 }));
}

// A search kept to one column (row) moves on along it whatever the walking
// order, so FindNext, FindAll and Replace all end.
TEST_F(Find, RestrictedNextSearchesMoveOnAlongTheirLine)
{
    FillK();
    G.SetFindCol(0);
    EXPECT_EQ(Walk(u"k", { fnFindInPresetCol, fnDirectionLeftRight }), (TCells { { 0, 1 }, { 0, 3 } }));
    G.SetFindRow(1);
    EXPECT_EQ(Walk(u"k", { fnFindInPresetRow }), (TCells { { 0, 1 }, { 2, 1 } }));
    G.SetCol(0);
    G.SetRow(3);
    EXPECT_EQ(Walk(u"k", { fnFindInCurrentCol, fnDirectionLeftRight }), (TCells { { 0, 1 }, { 0, 3 } }));
    int n = 0;
    EXPECT_EQ(G.FindAll(u"k", { fnFindInCurrentCol, fnDirectionLeftRight }, n), (TPoint { 0, 1 }));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(G.Replace(u"k", u"kk", { fnFindInCurrentCol, fnDirectionLeftRight }), 2);
    EXPECT_EQ(Col(0), (TTexts { u"kk", u".", u"kk" }));
}

TEST_F(Find, FindAllCountsEachMatchOnceAndMovesToTheFirst)
{
    Fill({ { u"x", u"a" }, { u"a", u"x" }, { u"x", u"a" } });
    int n = -1;
    EXPECT_EQ(G.FindAll(u"a", {}, n), (TPoint { 0, 2 }));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(G.GetSearchCell(), (TPoint { -1, -1 }));
    EXPECT_FALSE(G.GetFindParams().Contains(fnAutoGoto));
    // A match in the range's last cell is the last one counted.
    G.SetCellEx(1, 3, u"x");
    G.SetCellEx(1, 2, u"a");
    EXPECT_EQ(G.FindAll(u"x", { fnAutoGoto }, n), (TPoint { 0, 1 }));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(G.GetCol(), 0);
    EXPECT_EQ(G.GetRow(), 1);
    EXPECT_EQ(G.FindAll(u"zz", {}, n), (TPoint { -1, -1 }));
    EXPECT_EQ(n, 0);
}

TEST_F(Find, ReplaceHonoursCaseAndEnds)
{
    struct {
        const char* Name;
        TTexts Cells;
        String From, To;
        TFindParams P;
        int Count;
        TTexts After;
    } const Cases[] = {
        { "case ignored", { u"abAB", u"c" }, u"ab", u"X", {}, 1, { u"XX", u"c" } },
        { "match case", { u"abAB", u"AB" }, u"ab", u"X", { fnMatchCase }, 1, { u"XAB", u"AB" } },
        { "replacement still matches", { u"a", u"ba", u"c" }, u"a", u"aa", {}, 2, { u"aa", u"baa", u"c" } },
        { "last cell matches", { u"c", u"a" }, u"a", u"aa", {}, 1, { u"c", u"aa" } },
        { "markup only", { u"<b>a</b>b" }, u"ab", u"X", { fnIgnoreHTMLTags }, 0, { u"<b>a</b>b" } },
        { "empty pattern", { u"", u"a" }, u"", u"X", {}, 0, { u"", u"a" } },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        FillColumn(Case.Cells);
        EXPECT_EQ(G.Replace(Case.From, Case.To, Case.P), Case.Count);
        EXPECT_EQ(Col(0), Case.After);
    }
    // Changed rows are marked modified.
    FillColumn({ u"a", u"b" });
    G.GetShowModified()->SetEnabled(true);
    EXPECT_EQ(G.Replace(u"b", u"c", {}), 1);
    EXPECT_FALSE(G.GetRowModified(1));
    EXPECT_TRUE(G.GetRowModified(2));
}

TEST_F(Find, FindMultiMatchesEveryColumnCondition)
{
    Fill({ { u"New York", u"10" }, { u"York", u"20" }, { u"new york city", u"20" }, { u"Boston", u"20" } });
    std::vector<TSearchType> Types { stStartsWith, stEqual };
    EXPECT_EQ(G.FindMulti({ u"new york", u"20" }, { 0, 1 }, Types, { false, false }, false, true), 3);
    EXPECT_EQ(G.GetSearchCell(), (TPoint { 0, 3 }));
    EXPECT_EQ(G.GetRow(), 3);
    EXPECT_EQ(G.FindMultiNext(), -1);
    EXPECT_EQ(G.FindMulti({ u"york" }, { 0 }, { stContains }, { true }, false, false), 3);
    EXPECT_EQ(G.FindMulti({ u"York" }, { 0 }, { stContains }, { true }, false, false), 1);
    EXPECT_EQ(G.FindMultiNext(), 2);
    EXPECT_EQ(G.FindMultiNext(), -1);
    EXPECT_EQ(G.FindMulti({ u"20" }, { 1 }, { stNotEqual }, { false }, false, false), 1);
    EXPECT_EQ(G.FindMulti({}, {}, {}, {}, false, false), 1);
    EXPECT_EQ(G.GetRow(), 3);
    try {
        G.FindMulti({ u"a", u"b" }, { 0, 1, 2 }, { stEqual, stEqual }, { false, false }, false, false);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.GetMessage(), u"Array size of parameters not matching");
    }
}

TEST(FindMatchCondition, QuotesValuesTheExpressionWouldRead)
{
    struct {
        TSearchType Kind;
        String Value;
        String Expected;
    } const Cases[] = {
        { stContains, u"a b", u"*\"a b\"*" },
        { stStartsWith, u"ab", u"ab*" },
        { stEndsWith, u"ab", u"*ab" },
        { stEqual, u"R&D", u"\"R&D\"" },
        { stEqual, u">5", u"\">5\"" },
        { stNotEqual, u"a|b", u"!\"a|b\"" },
        { stNotContains, u"x", u"!*x*" },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(StringToUtf8(Case.Value));
        EXPECT_EQ(TDedOzovedUrad::BuildMatchCondition(Case.Kind, Case.Value), Case.Expected);
    }
}

TEST_F(Find, AMatchUnderAContractedNodeOpensIt)
{
    FillColumn({ u"r1", u"r2", u"r3", u"r4" });
    G.AddNode(1, 3);
    G.ContractNode(1);
    ASSERT_EQ(G.NumHiddenRows(), 2);
    EXPECT_EQ(G.Find({ -1, -1 }, u"r3", {}), (TPoint { -1, -1 }));
    EXPECT_EQ(G.Find({ -1, -1 }, u"r3", { fnIncludeHiddenRows, fnAutoGoto }), (TPoint { 0, 3 }));
    EXPECT_FALSE(G.GetNodeState(1));
    EXPECT_EQ(G.NumHiddenRows(), 0);
    EXPECT_EQ(G.GetRow(), 3);
}

TEST(FindHooks, DoneWithoutAMatchFailWithOne)
{
    THookGrid G(nullptr);
    G.SetColCount(2);
    G.SetRowCount(3);
    G.SetCellEx(1, 2, u"x");
    G.Find({ -1, -1 }, u"y", {});
    EXPECT_EQ(G.States, (std::vector<TGridExportState> { esExportStart, esExportDone }));
    G.States.clear();
    G.Find({ -1, -1 }, u"x", {});
    EXPECT_EQ(G.States, (std::vector<TGridExportState> { esExportStart, esExportFail }));
    // A next search does not start the export.
    G.States.clear();
    G.Find({ 1, 1 }, u"x", {});
    EXPECT_EQ(G.States, (std::vector<TGridExportState> { esExportFail }));
}

TEST_F(Find, TypeAheadSearchesTheSortColumn)
{
    Fill({ { u"Banana", u"zeta" }, { u"apple", u"<b>Alpha</b>" }, { u"<i>Cherry</i>", u"beta" } });
    EXPECT_EQ(G.Search(u"CH"), 3);
    EXPECT_EQ(G.Search(u"AP"), 2);
    EXPECT_EQ(G.Search(u"X"), -1);
    TSortSettings* S = G.GetSortSettings();
    S->SetShow(true);
    S->SetColumn(1);
    EXPECT_EQ(G.Search(u"AL"), 2);
    S->SetColumn(-1);
    EXPECT_EQ(G.Search(u"AP"), -1);
    S->SetIndexShow(true);
    EXPECT_EQ(G.Search(u"AP"), 2);
    G.GetSortIndexes().AddIndex(1, true);
    EXPECT_EQ(G.Search(u"BE"), 3);
    // Typing goes through it.
    S->SetIndexShow(false);
    S->SetColumn(0);
    G.SetOptions(G.GetOptions() - TGridOptions { goEditing });
    G.GetNavigation()->SetAutoGotoWhenSorted(true);
    G.GetNavigation()->SetAutoGotoIncremental(true);
    for (char16_t Key : { u'c', u'h' })
        G.KeyPress(Key);
    EXPECT_EQ(G.GetIncrSearchText(), u"ch");
    EXPECT_EQ(G.GetRow(), 3);
}

} // namespace
