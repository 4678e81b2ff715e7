#include <gtest/gtest.h>

#include <memory>

#include "GridTestAccess.h"
#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/vcl/ExtCtrls.h"

namespace {

// Ten rows "r0c0" .. "r9c4" with real row 5 hidden (RowCount 9).
struct HiddenRowGrid : ::testing::Test {
    TDedOzovedUrad G { nullptr };

    void SetUp() override
    {
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 5; ++c)
                G.SetCells(c, r, Text(c, r));
        HideRowsForTest(G, { 5 });
        ASSERT_EQ(G.GetRowCount(), 9);
    }

    static String Text(int c, int r) { return String(u"r") + Char(u'0' + r) + u"c" + Char(u'0' + c); }
    TStrings* Saved() { return static_cast<TGridItem*>(G.GetGridItems()->GetItem(0))->GetItems(); }
};

} // namespace

TEST_F(HiddenRowGrid, AllCellsReachHiddenAndShownRowsByRealRow)
{
    EXPECT_EQ(G.GetCellsEx(2, 5), u"r5c2");
    EXPECT_EQ(G.GetCellsEx(2, 6), u"r6c2");
    EXPECT_EQ(G.CellByRealRow(2, 9), u"r9c2");
    EXPECT_EQ(G.GetCellsEx(-1, 5), u"");
    EXPECT_EQ(G.GetCellsEx(2, -1), u"");

    G.SetCellsEx(2, 5, u"hidden");
    G.SetCellsEx(2, 6, u"shown");
    EXPECT_EQ(Saved()->GetStrings(2), u"hidden");
    EXPECT_EQ(G.GetCells(2, 5), u"shown");

    // The display hook sees the hidden row's text by real row; the raw view
    // does not go through it.
    G.OnGetDisplText = [](TObject*, int, int ARow, String& Value) { Value += ARow == 5 ? u"!" : u"?"; };
    EXPECT_EQ(G.GetCellsEx(2, 5), u"hidden!");
    EXPECT_EQ(G.GetGridCellsEx(2, 5), u"hidden");
    EXPECT_EQ(G.GetGridCellsEx(3, 6), u"r6c3");
    EXPECT_EQ(G.GetWideCellsEx(2, 5), u"hidden!");
}

// A hidden row saved with fewer texts than columns: reads beyond them are
// empty and change nothing, writes pad them, and nothing reaches past the
// stored columns.
TEST_F(HiddenRowGrid, HiddenRowTextsArePaddedOnWriteOnly)
{
    while (Saved()->GetCount() > 2)
        Saved()->Delete(Saved()->GetCount() - 1);
    EXPECT_EQ(G.GetGridCellsEx(4, 5), u"");
    EXPECT_EQ(G.GetCellsEx(4, 5), u"");
    EXPECT_EQ(Saved()->GetCount(), 2);

    G.SetGridCellsEx(3, 5, u"three");
    EXPECT_EQ(Saved()->GetCount(), 4);
    EXPECT_EQ(G.GetGridCellsEx(3, 5), u"three");
    EXPECT_EQ(G.GetGridCellsEx(2, 5), u"");

    for (int Column : { 5, 1000000, -1 }) {
        SCOPED_TRACE(Column);
        G.SetCellsEx(Column, 5, u"far");
        G.SetGridCellsEx(Column, 5, u"far");
        EXPECT_EQ(Saved()->GetCount(), 4);
        EXPECT_EQ(G.GetCellsEx(Column, 5), u"");
    }
}

TEST_F(HiddenRowGrid, AllObjectsKeepUserObjectsOfHiddenRowsInProperties)
{
    // The application's objects outlive the grid.
    static TObject Plain, Mine, Other;
    Saved()->SetObjects(0, &Plain);
    // A plain object saved with the row comes back as it is.
    EXPECT_EQ(G.GetObjectsEx(0, 5), &Plain);
    // Writing stores properties holding the object, then updates them.
    G.SetObjectsEx(1, 5, &Mine);
    auto* Props = dynamic_cast<TCellProperties*>(Saved()->GetObjects(1));
    ASSERT_NE(Props, nullptr);
    EXPECT_EQ(G.GetObjectsEx(1, 5), &Mine);
    G.SetObjectsEx(1, 5, &Other);
    EXPECT_EQ(Saved()->GetObjects(1), Props);
    EXPECT_EQ(G.GetObjectsEx(1, 5), &Other);
    // Shown rows by real row.
    G.SetObjectsEx(1, 7, &Mine);
    EXPECT_EQ(G.GetObjects(1, 6), &Mine);
    EXPECT_EQ(G.GetObjectsEx(1, 7), &Mine);
    // The grid frees the properties still held by hidden rows.
}

TEST(GridCells, ViewsByDisplayColumnUnsortedRowAndWideText)
{
    TDedOzovedUrad G(nullptr);
    for (int r = 0; r < 4; ++r)
        G.SetCells(1, r, String(u"row ") + Char(u'0' + r));
    // Row 0 is shown where row 2 was before sorting.
    for (int i : { 2, 0, 1 })
        G.GetSortRowXRef()->Add(i);
    EXPECT_EQ(G.GetUnSortedCell(1, 0), u"row 1");
    EXPECT_EQ(G.GetUnSortedCell(1, 2), u"row 0");
    G.SetUnSortedCell(1, 1, u"moved");
    EXPECT_EQ(G.GetCells(1, 2), u"moved");

    struct Case {
        int Row, Sorted, UnSorted;
    };
    const Case Cases[] = { { 0, 2, 1 }, { 2, 1, 0 }, { 5, 5, 3 }, { -1, -1, 3 } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Row);
        EXPECT_EQ(G.SortedRowIndex(c.Row), c.Sorted);
        EXPECT_EQ(G.UnSortedRowIndex(c.Row), c.UnSorted);
    }

    // Without a recorded column order the original position is the column.
    EXPECT_EQ(G.ColumnPosition(3), 3);
    G.SetOriginalCells(3, 1, u"original");
    EXPECT_EQ(G.GetCells(3, 1), u"original");

    G.SetCells(2, 2, VuzEraz::EncodeWideCellText(u"Gr\u00fc\u00dfe \u4e16"));
    EXPECT_EQ(G.GetWideCells(2, 2), u"Gr\u00fc\u00dfe \u4e16");
    G.SetWideCells(2, 3, u"\u4e16\u754c");
    EXPECT_EQ(G.GetCells(2, 3), u"\u4e16\u754c");
}

TEST(GridCells, AllColWidthsRememberHiddenColumns)
{
    TDedOzovedUrad G(nullptr);
    G.SetColWidths(3, 80);
    G.SetAllColWidths(1, 50);
    EXPECT_EQ(G.GetColWidths(1), 50);
    TDedOzovedUradTestAccess::HideColumnFlag(G, 1);
    // Display column 2 is real column 3 now.
    EXPECT_EQ(G.GetAllColWidths(3), 80);
    EXPECT_EQ(G.GetAllColWidths(1), 50);
    G.SetAllColWidths(1, 70);
    EXPECT_EQ(G.GetAllColWidths(1), 70);
    EXPECT_EQ(G.GetColWidths(1), 64); // display column 1 is real column 2
    G.SetAllColWidths(4, 90);
    EXPECT_EQ(G.GetColWidths(3), 90);
}

// Reading an attribute of a cell without properties gives the default and
// makes none; writing makes them.
TEST(GridCells, AttributeReadsMakeNoProperties)
{
    TDedOzovedUrad G(nullptr);
    EXPECT_EQ(G.GetColors(3, 2), clNone);
    EXPECT_EQ(G.GetColorsTo(3, 2), clNone);
    EXPECT_EQ(G.GetFontColors(3, 2), clNone);
    EXPECT_EQ(G.GetFontStyles(3, 2), TFontStyles {});
    EXPECT_EQ(G.GetFontNames(3, 2), G.GetFont()->GetName());
    EXPECT_EQ(G.GetAlignments(3, 2), taLeftJustify);
    EXPECT_EQ(G.GetGradients(3, 2), GradientVertical);
    EXPECT_FALSE(G.GetReadOnly(3, 2));
    EXPECT_EQ(G.GetCellControls(3, 2), nullptr);
    EXPECT_EQ(G.GetFonts(3, 2), G.GetFont());
    EXPECT_FALSE(G.HasCellProperties(3, 2));
    // Word wrap is read from properties made for it.
    EXPECT_TRUE(G.GetWordWraps(3, 2));
    EXPECT_TRUE(G.HasCellProperties(3, 2));

    G.SetColors(1, 1, clRed);
    G.SetColorsTo(1, 1, clBlue);
    G.SetFontColors(1, 1, clGreen);
    G.SetFontStyles(1, 1, TFontStyles { fsItalic });
    G.SetAlignments(1, 1, taCenter);
    G.SetGradients(1, 1, GradientHorizontal);
    G.SetReadOnly(1, 1, true);
    G.SetWordWraps(1, 1, false);
    EXPECT_EQ(G.GetColors(1, 1), clRed);
    EXPECT_EQ(G.GetColorsTo(1, 1), clBlue);
    EXPECT_EQ(G.GetFontColors(1, 1), clGreen);
    EXPECT_EQ(G.GetFontStyles(1, 1), TFontStyles { fsItalic });
    EXPECT_EQ(G.GetAlignments(1, 1), taCenter);
    EXPECT_EQ(G.GetGradients(1, 1), GradientHorizontal);
    EXPECT_TRUE(G.GetReadOnly(1, 1));
    EXPECT_FALSE(G.GetWordWraps(1, 1));
}

TEST(GridCells, FontSizesAndTheSharedFontObject)
{
    TDedOzovedUrad G(nullptr);
    // 10 points at 96 pixels per inch.
    G.SetFontSizes(1, 1, 10);
    EXPECT_EQ(G.GetCellProperties(1, 1)->GetFontSize(), -13);
    EXPECT_EQ(G.GetFontSizes(1, 1), 10);
    G.GetFont()->SetHeight(-16);
    EXPECT_EQ(G.GetFontSizes(2, 2), 12);

    G.SetFontNames(1, 1, u"Arial");
    G.SetFontNames(2, 1, u"Courier New");
    G.SetFontColors(2, 1, clMaroon);
    TFont* First = G.GetFonts(1, 1);
    TFont* Second = G.GetFonts(2, 1);
    EXPECT_EQ(First, Second);
    EXPECT_EQ(Second->GetName(), u"Courier New");
    EXPECT_EQ(Second->GetColor(), clMaroon);

    TFont Bold;
    Bold.SetName(u"Verdana");
    Bold.SetHeight(-20);
    Bold.SetStyle(TFontStyles { fsBold });
    Bold.SetColor(clNavy);
    G.SetFonts(3, 3, &Bold);
    EXPECT_EQ(G.GetFontNames(3, 3), u"Verdana");
    EXPECT_EQ(G.GetFontSizes(3, 3), 15);
    EXPECT_EQ(G.GetFontStyles(3, 3), TFontStyles { fsBold });
    EXPECT_EQ(G.GetFontColors(3, 3), clNavy);
}

// Each cell holds one control at most; the grid counts the cells holding
// one and finds their list entries by real row.
TEST(GridCells, CellControlsAreCountedOncePerCell)
{
    TDedOzovedUrad G(nullptr);
    HideRowsForTest(G, { 1 });
    auto* First = new TPanel(&G);
    auto* Second = new TPanel(&G);
    const int Before = G.GetNumCellControls();
    G.SetCellControls(2, 3, First);
    EXPECT_EQ(G.GetNumCellControls(), Before + 1);
    EXPECT_EQ(First->GetParent(), &G);
    ASSERT_EQ(G.GetControlList()->Count(), 1);
    EXPECT_EQ(G.GetControlList()->GetControl(0)->Y, 4); // real row
    // Another control for the same cell replaces the first.
    G.SetCellControls(2, 3, Second);
    EXPECT_EQ(G.GetNumCellControls(), Before + 1);
    ASSERT_EQ(G.GetControlList()->Count(), 1);
    EXPECT_EQ(G.GetCellControls(2, 3), Second);
    G.SetCellControls(2, 3, nullptr);
    EXPECT_EQ(G.GetNumCellControls(), Before);
    EXPECT_EQ(G.GetControlList()->Count(), 0);
    EXPECT_EQ(G.GetCellControls(2, 3), nullptr);
    // Clearing a cell without a control changes nothing.
    G.SetCellControls(2, 3, nullptr);
    G.SetCellControls(4, 4, nullptr);
    EXPECT_EQ(G.GetNumCellControls(), Before);
}

// Resetting a colour of a whole row takes the properties only from cells
// that carry nothing else: merged cells, cells with an object, read-only,
// aligned or otherwise coloured cells keep theirs with the colour reset.
TEST(GridCells, RowColourResetKeepsEverythingElseACellCarries)
{
    enum TSetter { Brush, BrushTo, FontColour };
    struct Case {
        const char* Name;
        TSetter Setter;
        void (*Prepare)(TDedOzovedUrad& G, int c);
        bool KeepsProperties;
    };
    static TObject UserObject;
    static TObject Graphic;
    const Case Cases[] = {
        { "plain coloured cell", Brush, [](TDedOzovedUrad&, int) { }, false },
        { "merged cell", Brush, [](TDedOzovedUrad& G, int c) { G.MergeCells(c, 4, 1, 2); }, true },
        { "cell object", Brush, [](TDedOzovedUrad& G, int c) { G.SetGraphicObjects(c, 4, &Graphic); }, true },
        { "user object", Brush, [](TDedOzovedUrad& G, int c) { G.SetObjects(c, 4, &UserObject); }, true },
        { "read-only cell", Brush, [](TDedOzovedUrad& G, int c) { G.SetReadOnly(c, 4, true); }, true },
        { "aligned cell", Brush, [](TDedOzovedUrad& G, int c) { G.SetAlignments(c, 4, taRightJustify); }, true },
        { "footer calculation", Brush,
            [](TDedOzovedUrad& G, int c) { G.GetCellProperties(c, 4)->SetCalcType(acSUM); }, true },
        { "gradient end only", BrushTo, [](TDedOzovedUrad&, int) { }, false },
        { "gradient end and a font", BrushTo, [](TDedOzovedUrad& G, int c) { G.SetFontNames(c, 4, u"Arial"); }, true },
        { "font colour only", FontColour, [](TDedOzovedUrad&, int) { }, false },
        { "font colour on a coloured cell", FontColour, [](TDedOzovedUrad& G, int c) { G.SetColors(c, 4, clYellow); },
            true },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        TDedOzovedUrad G(nullptr);
        const int Col = 2;
        c.Prepare(G, Col);
        switch (c.Setter) {
        case Brush: G.SetRowColor(4, clRed); break;
        case BrushTo: G.SetRowColorTo(4, clRed); break;
        case FontColour: G.SetRowFontColor(4, clRed); break;
        }
        // The fixed column is left alone.
        EXPECT_FALSE(G.HasCellProperties(0, 4));
        ASSERT_TRUE(G.HasCellProperties(Col, 4));
        switch (c.Setter) {
        case Brush: G.SetRowColor(4, clNone); break;
        case BrushTo: G.SetRowColorTo(4, clNone); break;
        case FontColour: G.SetRowFontColor(4, clNone); break;
        }
        // Cells that only carried the colour lose their properties.
        EXPECT_FALSE(G.HasCellProperties(4, 4));
        EXPECT_EQ(G.HasCellProperties(Col, 4), c.KeepsProperties);
        if (c.KeepsProperties) {
            const TCellProperties* p = G.GetCellProperties(Col, 4);
            const TColor Reset = c.Setter == Brush ? p->GetBrushColor()
                : c.Setter == BrushTo                ? p->GetBrushColorTo()
                                                     : p->GetFontColor();
            EXPECT_EQ(Reset, clNone);
        }
    }
}

TEST(GridCells, RectangleSettersAndTests)
{
    TDedOzovedUrad G(nullptr);
    const TGridRect Block { 1, 2, 3, 4 };
    G.SetCellColor(Block, clAqua);
    G.SetCellTextColor(Block, clPurple);
    G.SetCellFontName(Block, u"Tahoma");
    G.SetCellFontSize(Block, 12);
    G.SetAlignment(Block, taCenter);
    G.SetFontStyle(Block, fsBold, true);
    G.SetFontStyle(TGridRect { 2, 3, 2, 3 }, fsItalic, true);
    for (int c = 1; c <= 3; ++c)
        for (int r = 2; r <= 4; ++r) {
            SCOPED_TRACE(::testing::Message() << c << "," << r);
            EXPECT_EQ(G.GetColors(c, r), clAqua);
            EXPECT_EQ(G.GetFontColors(c, r), clPurple);
            EXPECT_EQ(G.GetFontNames(c, r), u"Tahoma");
            EXPECT_EQ(G.GetFontSizes(c, r), 12);
        }
    EXPECT_FALSE(G.HasCellProperties(4, 2));
    EXPECT_FALSE(G.HasCellProperties(1, 5));
    EXPECT_TRUE(G.IsAlignment(Block, taCenter));
    EXPECT_FALSE(G.IsAlignment(TGridRect { 1, 2, 4, 4 }, taCenter));
    EXPECT_TRUE(G.IsFontStyle(Block, fsBold));
    EXPECT_FALSE(G.IsFontStyle(Block, fsItalic));
    EXPECT_TRUE(G.IsFontStyle(TGridRect { 2, 3, 2, 3 }, fsItalic));
    G.SetFontStyle(Block, fsBold, false);
    EXPECT_EQ(G.GetFontStyles(2, 3), TFontStyles { fsItalic });
    EXPECT_FALSE(G.IsFontStyle(Block, fsBold));
    // An empty rectangle changes nothing and passes every test.
    const TGridRect Empty { 3, 1, 2, 1 };
    G.SetCellColor(Empty, clRed);
    EXPECT_FALSE(G.HasCellProperties(2, 1));
    EXPECT_TRUE(G.IsAlignment(Empty, taRightJustify));
    EXPECT_TRUE(G.IsFontStyle(Empty, fsStrikeOut));
}
