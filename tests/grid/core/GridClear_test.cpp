#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Counts its own destruction.
struct TCountedObject : TObject {
    int* Freed;
    explicit TCountedObject(int* F) : Freed(F) { }
    ~TCountedObject() override { ++*Freed; }
};

// Records the rectangles it hears about into a shared log.
struct TLoggingNotifier : TGridChangeNotifier {
    std::vector<std::string>* Log;
    std::string Name;
    std::function<void()> Then;
    TLoggingNotifier(std::vector<std::string>* L, std::string N) : Log(L), Name(std::move(N)) { }
    void CellsChanged(const TRect& R) override
    {
        Log->push_back(Name + " " + std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right)
            + "," + std::to_string(R.Bottom));
        if (Then)
            Then();
    }
};

void Fill(TDedOzovedUrad& G)
{
    for (int r = 0; r < G.GetRowCount(); ++r)
        for (int c = 0; c < G.GetAllColCount(); ++c)
            G.SetGridCell(c, r, u"x");
}

} // namespace

// ---- Clear ----

TEST(GridClear, ClearEmptiesEveryStoredCellAndKeepsTheShape)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(4);
    G.SetRowCount(3);
    G.SetColWidths(2, 90);
    Fill(G);
    for (int c = 0; c < 4; ++c)
        G.SetColors(c, 1, clRed);
    TDedOzovedUradTestAccess::HideColumnFlag(G, 1);
    ASSERT_EQ(G.GetColCount(), 3);

    G.Clear();
    EXPECT_EQ(G.GetRowCount(), 3);
    EXPECT_EQ(G.GetColCount(), 3);
    EXPECT_EQ(G.NumHiddenColumns(), 1);
    EXPECT_TRUE(G.IsHiddenColumn(1));
    EXPECT_EQ(G.GetColWidths(1), 90); // real column 2 shows at display column 1
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE(::testing::Message() << c << "," << r);
            EXPECT_EQ(G.GetGridCell(c, r), u"");
            EXPECT_FALSE(G.HasCellProperties(c, r));
        }
    EXPECT_FALSE(G.GetHasCellProps());
}

TEST(GridClear, HiddenColumnsAreClearedWhateverSaveHiddenCellsSays)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(4);
    Fill(G);
    TDedOzovedUradTestAccess::HideColumnFlag(G, 1);
    G.SetSaveHiddenCells(true);
    G.Clear();
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(G.GetGridCell(c, 2), u"") << c;
}

TEST(GridClear, ClearTextOnlyKeepsTheLookOfCells)
{
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"a");
    G.SetColors(1, 1, clRed);
    G.SetFontStyles(2, 2, TFontStyles { fsBold });
    G.SetClearTextOnly(true);
    G.Clear();
    EXPECT_EQ(G.GetCells(1, 1), u"");
    EXPECT_EQ(G.GetColors(1, 1), clRed);
    EXPECT_EQ(G.GetFontStyles(2, 2), TFontStyles { fsBold });
    EXPECT_TRUE(G.GetHasCellProps());
}

TEST(GridClear, RangeOperationsEmptyTheirCellsOnly)
{
    struct Case {
        const char* Name;
        void (*Run)(TDedOzovedUrad&);
        std::vector<std::pair<int, int>> Emptied; // (col, row)
    };
    const Case Cases[] = {
        { "ClearRows(r, 0) does nothing", [](TDedOzovedUrad& G) { G.ClearRows(2, 0); }, {} },
        { "ClearRows", [](TDedOzovedUrad& G) { G.ClearRows(2, 1); },
            { { 0, 2 }, { 1, 2 }, { 2, 2 }, { 3, 2 }, { 4, 2 } } },
        { "ClearCols", [](TDedOzovedUrad& G) { G.ClearCols(3, 1); },
            { { 3, 0 }, { 3, 1 }, { 3, 2 }, { 3, 3 } } },
        { "ClearNormalRows", [](TDedOzovedUrad& G) { G.ClearNormalRows(1, 1); },
            { { 1, 1 }, { 2, 1 }, { 3, 1 }, { 4, 1 } } },
        { "ClearNormalCols", [](TDedOzovedUrad& G) { G.ClearNormalCols(2, 1); }, { { 2, 1 }, { 2, 2 }, { 2, 3 } } },
        { "ClearNormalCells with a footer", [](TDedOzovedUrad& G) {
             G.SetFixedFooters(1);
             G.ClearNormalCells();
         },
            { { 1, 1 }, { 2, 1 }, { 3, 1 }, { 4, 1 }, { 1, 2 }, { 2, 2 }, { 3, 2 }, { 4, 2 } } },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        TDedOzovedUrad G(nullptr);
        G.SetRowCount(4);
        Fill(G);
        c.Run(G);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 5; ++col) {
                const bool Emptied
                    = std::find(c.Emptied.begin(), c.Emptied.end(), std::make_pair(col, r)) != c.Emptied.end();
                EXPECT_EQ(G.GetGridCell(col, r), Emptied ? u"" : u"x") << col << "," << r;
            }
    }
}

// ---- merged areas ----

TEST(GridClear, AMergedAreaInsideTheRectangleIsFreedWhole)
{
    TDedOzovedUrad G(nullptr);
    G.MergeCells(1, 1, 2, 2);
    G.SetCells(1, 1, u"base");
    G.SetColors(2, 2, clRed);
    G.ClearRect(0, 0, 3, 3);
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 2; ++c)
            EXPECT_FALSE(G.HasCellProperties(c, r)) << c << "," << r;
    EXPECT_EQ(G.GetGridCell(1, 1), u"");
}

// A rectangle over part of a merged area must not leave the cells outside
// it pointing at a base without properties, or a base spanning cells that
// lost their place in the area: the area stays whole, its text goes and the
// cells inside lose their own look.
TEST(GridClear, AMergedAreaReachingOutOfTheRectangleKeepsItsMerge)
{
    TDedOzovedUrad G(nullptr);
    G.MergeCells(1, 1, 2, 2);
    G.SetCells(1, 1, u"base");
    G.SetColors(2, 2, clRed);
    G.SetColors(1, 2, clBlue);
    G.ClearRect(2, 2, 3, 3);

    EXPECT_EQ(G.GetGridCell(1, 1), u"");
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 2; ++c) {
            SCOPED_TRACE(::testing::Message() << c << "," << r);
            EXPECT_TRUE(G.IsMergedCell(c, r));
            EXPECT_EQ(G.BaseCell(c, r), TPoint(1, 1));
        }
    EXPECT_EQ(G.CellSpan(1, 1), TPoint(1, 1));
    EXPECT_NE(G.GetColors(2, 2), clRed);
    EXPECT_EQ(G.GetColors(1, 2), clBlue);
    EXPECT_TRUE(G.GetHasCellProps());

    // Clearing a covered cell alone empties the area's text.
    G.SetCells(1, 1, u"again");
    G.ClearRect(2, 1, 2, 1);
    EXPECT_EQ(G.GetCells(1, 1), u"");
    EXPECT_TRUE(G.IsMergedCell(2, 1));
}

// ---- objects ----

TEST(GridClear, OwnedUserObjectsAreFreedUnlessTheyMovedElsewhere)
{
    int Freed = 0;
    TDedOzovedUrad G(nullptr);
    G.SetOwnsObjects(true);
    G.SetObjects(1, 1, new TCountedObject(&Freed));
    G.ClearRect(1, 1, 1, 1);
    EXPECT_EQ(Freed, 1);
    EXPECT_FALSE(G.HasCellProperties(1, 1));

    // While the objects are in use elsewhere, emptying only drops the slot.
    auto Moved = std::make_unique<TCountedObject>(&Freed);
    G.SetObjects(3, 1, Moved.get());
    // The cell's properties object went with them; its new holder frees it.
    std::unique_ptr<TObject> MovedProperties(G.GetStoredObject(3, 1));
    ASSERT_NE(MovedProperties, nullptr);
    TDedOzovedUradTestAccess::SetNilObjects(G, true);
    G.ClearRect(3, 1, 3, 1);
    TDedOzovedUradTestAccess::SetNilObjects(G, false);
    EXPECT_EQ(Freed, 1);
    EXPECT_EQ(G.GetObjects(3, 1), nullptr);

    // Not owned: the grid lets go without freeing.
    G.SetOwnsObjects(false);
    auto Kept = std::make_unique<TCountedObject>(&Freed);
    G.SetObjects(4, 1, Kept.get());
    G.Clear();
    EXPECT_EQ(Freed, 1);
    EXPECT_EQ(G.GetObjects(4, 1), nullptr);
}

// ---- the announcement of changed cells ----

TEST(GridClear, ChangedCellsReachTheNotifiersThenTheEvent)
{
    std::vector<std::string> Log;
    TDedOzovedUrad G(nullptr);
    TLoggingNotifier A(&Log, "A"), B(&Log, "B");
    G.RegisterNotifier(&A);
    G.RegisterNotifier(&B);
    G.RegisterNotifier(&A);
    G.OnCellsChanged = [&](TObject* Sender, const TRect& R) {
        EXPECT_EQ(Sender, &G);
        Log.push_back("event " + std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right)
            + "," + std::to_string(R.Bottom));
    };
    G.ClearRect(1, 2, 3, 4);
    EXPECT_EQ(Log, (std::vector<std::string> { "A 1,2,3,4", "B 1,2,3,4", "event 1,2,3,4" }));

    // A notifier that unregisters itself while it is told: the others still
    // hear of the change, and it hears of nothing more.
    Log.clear();
    A.Then = [&] { G.UnRegisterNotifier(&A); };
    G.ClearRows(1, 1);
    EXPECT_EQ(Log, (std::vector<std::string> { "A 0,1,4,1", "B 0,1,4,1", "event 0,1,4,1" }));
    Log.clear();
    G.ClearRows(1, 1);
    EXPECT_EQ(Log, (std::vector<std::string> { "B 0,1,4,1", "event 0,1,4,1" }));

    // One that takes another off the list first: that one is not told.
    Log.clear();
    G.RegisterNotifier(&A);
    B.Then = [&] { G.UnRegisterNotifier(&A); };
    A.Then = nullptr;
    G.ClearRows(1, 1);
    EXPECT_EQ(Log, (std::vector<std::string> { "B 0,1,4,1", "event 0,1,4,1" }));
    G.UnRegisterNotifier(&B);
}

// ---- the other range operations ----

TEST(GridClear, TrimAndColourRanges)
{
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"  a b \t");
    G.SetCells(2, 1, u"\x01z");
    G.SetCells(1, 2, u" keep ");
    G.TrimRow(1);
    EXPECT_EQ(G.GetCells(1, 1), u"a b");
    EXPECT_EQ(G.GetCells(2, 1), u"z");
    EXPECT_EQ(G.GetCells(1, 2), u" keep ");
    G.ColorRect(1, 1, 2, 2, clGreen);
    EXPECT_EQ(G.GetColors(2, 2), clGreen);
    EXPECT_NE(G.GetColors(3, 2), clGreen);
}

TEST(GridClear, AutoNumberCountsTheNormalRowsBothWays)
{
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(5);
    G.AutoNumberCol(0);
    EXPECT_EQ(G.GetCells(0, 0), u"");
    for (int r = 1; r < 5; ++r)
        EXPECT_EQ(G.GetCells(0, r), IntToStr(r));
    G.SetAutoNumberDirection(sdDescending);
    G.AutoNumberCol(0);
    for (int r = 1; r < 5; ++r)
        EXPECT_EQ(G.GetCells(0, r), IntToStr(5 - r));

    // Across a row, from a later start and with an offset.
    G.SetAutoNumberDirection(sdAscending);
    G.SetAutoNumberStart(1);
    G.SetAutoNumberOffset(10);
    G.AutoNumberRow(0);
    EXPECT_EQ(G.GetCells(1, 0), u"");
    EXPECT_EQ(G.GetCells(2, 0), u"12");
    EXPECT_EQ(G.GetCells(4, 0), u"14");
}

TEST(GridClear, MergingRunsOfEqualTexts)
{
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(7);
    const char16_t* Texts[] = { u"a", u"a", u"b", u"b", u"b", u"c" };
    for (int r = 1; r <= 6; ++r)
        G.SetCells(1, r, Texts[r - 1]);
    G.MergeColumnCells(1, true);
    EXPECT_EQ(G.CellSpan(1, 1), TPoint(0, 1));
    EXPECT_EQ(G.CellSpan(1, 3), TPoint(0, 2));
    EXPECT_FALSE(G.IsMergedCell(1, 6));
    G.SplitColumnCells(1);
    for (int r = 1; r <= 6; ++r)
        EXPECT_FALSE(G.IsMergedCell(1, r)) << r;

    // Across a row the same way.
    for (int c = 1; c <= 4; ++c)
        G.SetCells(c, 6, c < 4 ? u"x" : u"y");
    G.MergeRowCells(6, true);
    EXPECT_EQ(G.CellSpan(1, 6), TPoint(2, 0));
    EXPECT_FALSE(G.IsMergedCell(4, 6));
    G.SplitAllCells();
    EXPECT_FALSE(G.IsMergedCell(2, 6));
}

TEST(GridClear, FindingCellsAndTheUsedBounds)
{
    TDedOzovedUrad G(nullptr);
    EXPECT_EQ(G.UsedCellsBounds(), TRect(0, 0, 0, 0));
    G.SetCells(2, 3, u"same");
    G.SetCells(4, 3, u"same");
    G.SetCells(3, 1, u"same");
    G.SetCells(1, 1, u"Same");
    int Col = -1, Row = -1;
    ASSERT_TRUE(G.IsCell(u"same", Col, Row));
    EXPECT_EQ(Col, 3);
    EXPECT_EQ(Row, 1);
    EXPECT_FALSE(G.IsCell(u"SAME", Col, Row));
    EXPECT_EQ(G.UsedCellsBounds(), TRect(1, 1, 4, 3));

    G.SetCells(1, 2, u"|\\wide");
    EXPECT_TRUE(G.IsWideCell(1, 2));
    EXPECT_FALSE(G.IsWideCell(1, 1));
}

// Switching the filter edit row on or off empties the row's cells and the
// conditions; switching it off writes the column headers back.
TEST(GridClear, FilterEditRowSwitchesClearItsRow)
{
    TDedOzovedUrad G(nullptr);
    G.SetFixedRows(2);
    G.GetFilterEdit()->SetRow(1);
    G.SetCells(2, 1, u"typed");
    G.GetFilter()->Add();
    G.GetFilterEdit()->SetEnabled(true);
    EXPECT_EQ(G.GetCells(2, 1), u"");
    EXPECT_EQ(G.GetFilter()->Count(), 0);

    TStringList Headers;
    Headers.Add(u"One");
    Headers.Add(u"Two");
    G.SetColumnHeaders(&Headers);
    G.SetCells(0, 0, u"changed");
    G.SetCells(2, 1, u"typed");
    G.GetFilterEdit()->SetEnabled(false);
    EXPECT_EQ(G.GetCells(2, 1), u"");
    EXPECT_EQ(G.GetCells(0, 0), u"One");
}
