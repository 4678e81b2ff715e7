#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"

namespace {

int RealRow(TDedOzovedUrad& G, int r) { return G.RealRowIndex(TDisplayRow(r)).Value; }
int DisplRow(TDedOzovedUrad& G, int r) { return G.DisplRowIndex(TRealRow(r)).Value; }
int RealCol(TDedOzovedUrad& G, int c) { return G.RealColIndex(TDisplayCol(c)).Value; }
int DisplCol(TDedOzovedUrad& G, int c) { return G.DisplColIndex(TRealCol(c)).Value; }

void AddHiddenItem(TDedOzovedUrad& G, int Idx)
{
    static_cast<TGridItem*>(G.GetGridItems()->Add())->SetIdx(Idx);
}

// The mapping as a walk over the real rows, one membership test per row;
// a negative row maps to itself.
int WalkDisplayToReal(const std::multiset<int>& Hidden, int D)
{
    if (Hidden.empty() || D < 0)
        return D;
    int InView = 0;
    for (int r = 0;; ++r) {
        if (Hidden.contains(r))
            continue;
        if (InView == D)
            return r;
        ++InView;
    }
}

int CountDisplayOfReal(const std::multiset<int>& Hidden, int R)
{
    return R - int(std::distance(Hidden.begin(), Hidden.lower_bound(R)));
}

} // namespace

TEST(GridIndexMap, IdentityWhileNothingIsHidden)
{
    TDedOzovedUrad G(nullptr);
    for (int v : { -5, -1, 0, 1, 4, 9, 10, 250 }) {
        SCOPED_TRACE(v);
        EXPECT_EQ(RealRow(G, v), v);
        EXPECT_EQ(DisplRow(G, v), v);
        EXPECT_EQ(RealCol(G, v), v);
        EXPECT_EQ(DisplCol(G, v), v);
        EXPECT_FALSE(G.IsHiddenRow(v));
        EXPECT_FALSE(G.IsHiddenColumn(v));
    }
}

// Real rows 0..9 with rows 3 and 4 hidden: RowCount 8.
TEST(GridIndexMap, TwoHiddenRows)
{
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(10);
    for (int r = 0; r < 10; ++r)
        G.SetCells(1, r, String(u"row ") + Char(u'0' + r));
    HideRowsForTest(G, { 3, 4 });
    ASSERT_EQ(G.GetRowCount(), 8);
    EXPECT_EQ(G.NumHiddenRows(), 2);
    EXPECT_EQ(G.TotalRowCount(), 10);
    EXPECT_EQ(G.GetAllRowCount(), 10);

    struct Case {
        int Display, Real;
    };
    // Display to real; past the end stays past the end; negatives map to
    // themselves ("no row" stays no row).
    const Case ToReal[] = { { 0, 0 }, { 2, 2 }, { 3, 5 }, { 7, 9 }, { 8, 10 }, { 20, 22 }, { -1, -1 }, { -3, -3 } };
    for (const Case& c : ToReal) {
        SCOPED_TRACE(c.Display);
        EXPECT_EQ(RealRow(G, c.Display), c.Real);
    }
    // Real to display: a hidden row maps to the next row in view.
    const Case ToDisplay[] = { { 2, 2 }, { 3, 3 }, { 3, 4 }, { 3, 5 }, { 7, 9 }, { -1, -1 } };
    for (const Case& c : ToDisplay) {
        SCOPED_TRACE(c.Real);
        EXPECT_EQ(DisplRow(G, c.Real), c.Display);
    }
    for (int r = -1; r < 12; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(G.IsHiddenRow(r), r == 3 || r == 4);
    }
    // The cells moved with their rows.
    EXPECT_EQ(G.GetCells(1, 3), u"row 5");
    G.SetRow(3);
    EXPECT_EQ(G.GetRealRow(), 5);
}

// Columns 0..4 with column 1 hidden: ColCount 4.
TEST(GridIndexMap, OneHiddenColumn)
{
    TDedOzovedUrad G(nullptr);
    TDedOzovedUradTestAccess::HideColumnFlag(G, 1);
    ASSERT_EQ(G.GetColCount(), 4);
    EXPECT_EQ(G.GetAllColCount(), 5);
    EXPECT_EQ(G.TotalColCount(), 5);
    EXPECT_EQ(G.NumHiddenColumns(), 1);

    struct Case {
        int From, To;
    };
    const Case ToReal[] = { { 0, 0 }, { 1, 2 }, { 3, 4 }, { 5, 5 }, { -1, -1 } };
    for (const Case& c : ToReal) {
        SCOPED_TRACE(c.From);
        EXPECT_EQ(RealCol(G, c.From), c.To);
    }
    // A hidden column maps to the next visible one.
    const Case ToDisplay[] = { { 0, 0 }, { 1, 1 }, { 2, 1 }, { 4, 3 }, { 5, 5 }, { -1, -1 } };
    for (const Case& c : ToDisplay) {
        SCOPED_TRACE(c.From);
        EXPECT_EQ(DisplCol(G, c.From), c.To);
    }
    const Case Hidden[] = { { -1, 0 }, { 0, 0 }, { 1, 1 }, { 2, 0 }, { 4, 0 }, { 5, 0 }, { 99, 0 } };
    for (const Case& c : Hidden) {
        SCOPED_TRACE(c.From);
        EXPECT_EQ(G.IsHiddenColumn(c.From), c.To == 1);
        EXPECT_EQ(G.ColVisibleFlag(c.From), c.To == 0);
    }
    G.SetCol(1);
    EXPECT_EQ(G.GetRealCol(), 2);
    // Cells stay stored by real column, the hidden one included.
    G.SetCells(1, 2, u"hidden");
    G.SetRealCell(1, 2, u"shown");
    EXPECT_EQ(G.GetCells(1, 2), u"hidden");
    EXPECT_EQ(G.GetCells(2, 2), u"shown");
}

// The binary searches answer what the walk over the rows answers, on
// stores of every shape: none, runs, scattered rows, a hidden row 0, rows
// far past the end and the same Idx twice (two filter levels).
TEST(GridIndexMap, MappingsMatchTheWalkOnRandomStores)
{
    std::mt19937 Random(20240611);
    for (int Round = 0; Round < 60; ++Round) {
        SCOPED_TRACE(Round);
        TDedOzovedUrad G(nullptr);
        std::multiset<int> Hidden;
        const int Span = 1 + int(Random() % 200);
        const int Count = int(Random() % 40);
        for (int i = 0; i < Count; ++i) {
            int Idx = int(Random() % unsigned(Span));
            if (Random() % 10 == 0 && !Hidden.empty())
                Idx = *Hidden.begin(); // a repeated Idx
            Hidden.insert(Idx);
            AddHiddenItem(G, Idx);
        }
        const std::set<int> Distinct(Hidden.begin(), Hidden.end());
        for (int v = -3; v < Span + 10; ++v) {
            SCOPED_TRACE(v);
            ASSERT_EQ(RealRow(G, v), WalkDisplayToReal(Hidden, v));
            ASSERT_EQ(DisplRow(G, v), CountDisplayOfReal(Hidden, v));
            ASSERT_EQ(G.IsHiddenRow(v), Distinct.contains(v));
            std::unique_ptr<TIntList> List;
            ASSERT_EQ(G.IsHiddenRow(v, List), Distinct.contains(v));
        }
    }
}

// The sorted lookup never outlives a change of the store: adding, moving
// an item to another row, removing.
TEST(GridIndexMap, TheLookupFollowsTheStore)
{
    TDedOzovedUrad G(nullptr);
    AddHiddenItem(G, 2);
    EXPECT_EQ(RealRow(G, 2), 3);
    AddHiddenItem(G, 0);
    EXPECT_EQ(RealRow(G, 0), 1);
    EXPECT_EQ(RealRow(G, 2), 4);
    auto* First = static_cast<TGridItem*>(G.GetGridItems()->GetItem(0));
    First->SetIdx(7);
    EXPECT_EQ(RealRow(G, 2), 3);
    EXPECT_TRUE(G.IsHiddenRow(7));
    EXPECT_FALSE(G.IsHiddenRow(2));
    EXPECT_EQ(G.HiddenRowItem(7), First);
    G.GetGridItems()->Delete(0);
    EXPECT_EQ(RealRow(G, 2), 3);
    EXPECT_EQ(G.HiddenRowItem(7), nullptr);
    G.GetGridItems()->Clear();
    EXPECT_EQ(RealRow(G, 2), 2);
}

TEST(GridIndexMap, CallerListIsFilledOnceAndSorted)
{
    TDedOzovedUrad G(nullptr);
    for (int Idx : { 9, 2, 5 })
        AddHiddenItem(G, Idx);
    std::unique_ptr<TIntList> List;
    EXPECT_TRUE(G.IsHiddenRow(5, List));
    ASSERT_NE(List, nullptr);
    EXPECT_EQ(List->GetStrValue(), u"2,5,9");
    const TIntList* Made = List.get();
    EXPECT_FALSE(G.IsHiddenRow(3, List));
    EXPECT_EQ(List.get(), Made);
}

TEST(GridIndexMap, SuppressedLinesAndFilteredRows)
{
    TDedOzovedUrad G(nullptr);
    // Every line remembers its size from the count setters.
    ASSERT_GE(G.GetSuppressColSizes()->Count(), G.GetColCount());
    ASSERT_GE(G.GetSuppressRowSizes()->Count(), G.GetRowCount());
    G.SetColWidths(2, 0);
    EXPECT_TRUE(G.IsSuppressedColumn(2));
    // A width of 0 with nothing remembered is a narrow column, not a
    // suppressed one.
    G.GetSuppressColSizes()->SetInteger(3, 0);
    G.SetColWidths(3, 0);
    EXPECT_FALSE(G.IsSuppressedColumn(3));
    EXPECT_FALSE(G.IsSuppressedColumn(1));

    G.SetRowHeights(0, 0);
    G.SetRowHeights(4, 0);
    G.SetRowHeights(6, 0);
    EXPECT_TRUE(G.IsSuppressedRow(4));
    EXPECT_FALSE(G.IsSuppressedRow(5));
    EXPECT_EQ(G.NumSuppressedRows(), 3);
    EXPECT_EQ(G.GetFilteredRows(), 10); // ftHide
    G.SetFilterType(ftSuppress);
    EXPECT_EQ(G.GetFilteredRows(), 8); // the fixed row does not count
}

TEST(GridIndexMap, ExportRange)
{
    struct Case {
        bool FixedCells, FixedRows, FixedCols;
        int StartCol, EndCol, ColCount, StartRow, EndRow, RowCount;
    };
    // 7 columns (1 fixed, 2 fixed right), 20 rows (2 fixed, 1 footer).
    const Case Cases[] = {
        { true, false, false, 0, 6, 7, 0, 19, 20 },
        { false, true, false, 1, 4, 4, 0, 19, 20 },
        { false, false, true, 0, 6, 7, 2, 18, 17 },
        { false, false, false, 1, 4, 4, 2, 18, 17 },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.FixedCells << c.FixedRows << c.FixedCols);
        TDedOzovedUrad G(nullptr);
        G.SetColCount(7);
        G.SetRowCount(20);
        G.SetFixedRows(2);
        G.SetFixedRightCols(2);
        G.SetFixedFooters(1);
        G.SetSaveFixedCells(c.FixedCells);
        G.SetSaveFixedRows(c.FixedRows);
        G.SetSaveFixedCols(c.FixedCols);
        EXPECT_EQ(G.GetSaveStartCol(), c.StartCol);
        EXPECT_EQ(G.GetSaveEndCol(), c.EndCol);
        EXPECT_EQ(G.GetSaveColCount(), c.ColCount);
        EXPECT_EQ(G.GetSaveStartRow(), c.StartRow);
        EXPECT_EQ(G.GetSaveEndRow(), c.EndRow);
        EXPECT_EQ(G.GetSaveRowCount(), c.RowCount);
    }
}

// Rows of 65,536 and more stay apart from the rows they would share 16
// bits with, and the cells keep the order they were selected in.
TEST(GridCellSet, HoldsAnyRowAndKeepsTheOrder)
{
    TGridCellSet Set;
    EXPECT_TRUE(Set.Add(1, 65536));
    EXPECT_TRUE(Set.Add(1, 0));
    EXPECT_TRUE(Set.Add(0, 99999));
    EXPECT_FALSE(Set.Add(1, 0));
    EXPECT_EQ(Set.Count(), 3);
    EXPECT_TRUE(Set.Contains(1, 65536));
    EXPECT_FALSE(Set.Contains(65536, 1));
    EXPECT_EQ(Set.Item(0), (TGridCoord { 1, 65536 }));
    EXPECT_EQ(Set.Item(2), (TGridCoord { 0, 99999 }));
    EXPECT_TRUE(Set.Remove(1, 65536));
    EXPECT_FALSE(Set.Remove(1, 65536));
    EXPECT_EQ(Set.Item(0), (TGridCoord { 1, 0 }));
    EXPECT_THROW(Set.Item(2), EListError);
    Set.Clear();
    EXPECT_EQ(Set.Count(), 0);
    EXPECT_FALSE(Set.Contains(1, 0));
}
