#include <gtest/gtest.h>

#include "grid/core/SortSettings.h"
#include "tests/grid/core/FakeGrid.h"

using Calls = std::vector<std::string>;

TEST(SortSettings, SaveAndLoadText)
{
    struct Case {
        const char16_t* text;
        int column;
        TSortDirection direction;
        bool indexShow;
        const char16_t* indexes;
        Calls calls;
        const char16_t* saved;
    };
    const Case cases[] = {
        { u"d3", 3, sdDescending, false, u"", { "invalidate", "row 0", "sort" }, u"d3" },
        { u"u12", 12, sdAscending, false, u"", { "invalidate", "row 0", "sort" }, u"u12" },
        { u"x7", 7, sdDescending, false, u"", { "invalidate", "row 0", "sort" }, u"d7" },
        { u"i;u2;d5", -1, sdAscending, true, u"u2;d5", { "invalidate", "sort indexed" }, u"i;u2;d5" },
        { u"i;", -1, sdAscending, true, u"", { "invalidate" }, u"i;" },
        // A column that is not a number: only Show, IndexShow and Direction change.
        { u"uX", -1, sdAscending, false, u"", { "invalidate" }, u"u-1" },
        { u"dX", -1, sdDescending, false, u"", { "invalidate" }, u"d-1" },
        // The saved form of "no sorted column" sorts nothing.
        { u"u-1", -1, sdAscending, false, u"", { "invalidate" }, u"u-1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        FakeGrid grid;
        TSortSettings s(&grid);
        s.LoadFromString(c.text);
        EXPECT_TRUE(s.GetShow());
        EXPECT_EQ(s.GetColumn(), c.column);
        EXPECT_EQ(s.GetDirection(), c.direction);
        EXPECT_EQ(s.GetIndexShow(), c.indexShow);
        EXPECT_EQ(grid.SortIndexes.SaveToString(), c.indexes);
        EXPECT_EQ(grid.Calls, c.calls);
        EXPECT_EQ(s.SaveToString(), c.saved);
    }
}

TEST(SortSettings, LoadFailures)
{
    FakeGrid grid;
    TSortSettings s(&grid);
    s.LoadFromString(u"");
    EXPECT_FALSE(s.GetShow());
    EXPECT_TRUE(grid.Calls.empty());
    try {
        s.LoadFromString(u"u");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"Invalid sort settings specifier");
    }
    EXPECT_TRUE(s.GetShow());
}

TEST(SortSettings, SettersRepaintWhatChanged)
{
    FakeGrid grid;
    grid.FixedRows = 2;
    TSortSettings s(&grid);
    EXPECT_EQ(s.GetColumn(), -1);
    s.SetColumn(-1);
    EXPECT_TRUE(grid.Calls.empty());
    s.SetColumn(4);
    s.SetRow(1);
    s.SetColumn(5);
    s.SetHeaderColor(0x123456);
    s.SetHeaderColor(0x123456);
    s.SetShow(true);
    s.SetShow(true);
    s.ToggleDirection();
    EXPECT_EQ(s.GetDirection(), sdDescending);
    EXPECT_EQ(grid.Calls, (Calls { "row 0", "row 1", "row 1", "invalidate" }));

    s.SetRow(-1);
    grid.Calls.clear();
    s.SetColumn(6);
    EXPECT_TRUE(grid.Calls.empty());
}

TEST(SortSettings, RowMustBeAFixedRow)
{
    FakeGrid grid;
    grid.FixedRows = 1;
    TSortSettings s(&grid);
    s.SetRow(0);
    try {
        s.SetRow(1);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"Sort row should be smaller than number of fixed rows");
    }
    EXPECT_EQ(s.GetRow(), 0);
}

TEST(SortSettings, RemoveClearsIndexesAndRepaintsTheLastFixedRow)
{
    FakeGrid grid;
    grid.FixedRows = 3;
    TSortSettings s(&grid);
    s.LoadFromString(u"i;u2;d5");
    s.SetColumn(2);
    grid.Calls.clear();
    s.Remove();
    EXPECT_EQ(s.GetColumn(), -1);
    EXPECT_EQ(grid.SortIndexes.Count(), 0);
    EXPECT_EQ(grid.Calls, (Calls { "row 0", "row 2" }));
}

TEST(SortSettings, IndicatorShowsOnTheSortRow)
{
    struct Case {
        const char* name;
        bool show;
        int fixedRows, rowCount, sortRow;
        int col, row, spanY;
        bool shows;
    };
    const Case cases[] = {
        { "sort row", true, 1, 5, 0, 3, 0, 0, true },
        { "any column", true, 1, 5, 0, 99, 0, 0, true },
        { "another row", true, 2, 5, 1, 3, 0, 0, false },
        { "merged cell covering the sort row", true, 2, 5, 1, 3, 0, 1, true },
        { "merged cell below the sort row", true, 3, 6, 0, 3, 1, 1, false },
        { "Show off", false, 1, 5, 0, 3, 0, 0, false },
        { "FixedRows + 1 rows", true, 1, 2, 0, 3, 0, 0, false },
        { "FixedRows + 2 rows", true, 1, 3, 0, 3, 0, 0, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeGrid grid;
        grid.FixedRows = c.fixedRows;
        grid.RowCount = c.rowCount;
        if (c.spanY)
            grid.MergeSpans[{ c.col, c.row }] = c.spanY;
        TSortSettings s(&grid);
        s.SetShow(c.show);
        s.SetRow(c.sortRow);
        EXPECT_EQ(ShowsSortIndicator(s, grid, c.col, c.row), c.shows);
    }
}

TEST(SortSettings, AssignSkipsCaseAndVirtualCellSettings)
{
    FakeGrid grid;
    grid.FixedRows = 3;
    TSortSettings src(&grid), dst(&grid);
    src.SetColumn(4);
    src.SetRow(2);
    src.SetDirection(sdDescending);
    src.SetIndexColor(0x0000FF);
    src.SetBlankPos(blLast);
    src.SetDefaultFormat(ssNatural);
    src.SetHeaderMirrorColorTo(0x00FF00);
    src.SetUndoSort(true);
    src.SetIgnoreCase(true);
    src.SetSortOnVirtualCells(false);
    TBitmap glyph(7, 5);
    src.SetIndexDownGlyph(&glyph);
    grid.Calls.clear();
    dst.Assign(&src);
    EXPECT_TRUE(grid.Calls.empty());  // the column is copied without a repaint
    EXPECT_EQ(dst.GetColumn(), 4);
    EXPECT_EQ(dst.GetRow(), 2);
    EXPECT_EQ(dst.GetDirection(), sdDescending);
    EXPECT_EQ(dst.GetIndexColor(), 0x0000FF);
    EXPECT_EQ(dst.GetBlankPos(), blLast);
    EXPECT_EQ(dst.GetDefaultFormat(), ssNatural);
    EXPECT_EQ(dst.GetHeaderMirrorColorTo(), 0x00FF00);
    EXPECT_TRUE(dst.GetUndoSort());
    EXPECT_FALSE(dst.GetIgnoreCase());
    EXPECT_TRUE(dst.GetSortOnVirtualCells());
    EXPECT_EQ(dst.SaveToString(), u"d4");
    // Glyph contents are copied, not shared.
    EXPECT_EQ(dst.GetIndexDownGlyph()->GetWidth(), 7);
    EXPECT_NE(dst.GetIndexDownGlyph(), src.GetIndexDownGlyph());
    EXPECT_TRUE(dst.GetUpGlyph()->GetEmpty());
}

TEST(SortSettings, GlyphSettersCopyTheBitmap)
{
    TSortSettings s;
    EXPECT_TRUE(s.GetUpGlyph()->GetEmpty());
    TBitmap glyph(4, 3);
    s.SetUpGlyph(&glyph);
    glyph.SetSize(9, 9);
    EXPECT_EQ(s.GetUpGlyph()->GetWidth(), 4);
    EXPECT_EQ(s.GetUpGlyph()->GetHeight(), 3);
    s.SetUpGlyph(nullptr);
    EXPECT_TRUE(s.GetUpGlyph()->GetEmpty());
}
