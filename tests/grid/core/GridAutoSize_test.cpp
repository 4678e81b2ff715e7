#include <gtest/gtest.h>

#include <memory>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Graphics.h"

namespace {

// Widths and heights as an independent canvas measures them with a font.
struct TRuler {
    TBitmap Bitmap;
    TRuler() { Bitmap.SetSize(1, 1); }
    int Width(TFont* Font, const String& Text)
    {
        Bitmap.GetCanvas()->GetFont()->Assign(Font);
        return Bitmap.GetCanvas()->TextWidth(Text);
    }
    int LineHeight(TFont* Font)
    {
        Bitmap.GetCanvas()->GetFont()->Assign(Font);
        return Bitmap.GetCanvas()->TextHeight(u"gh");
    }
};

// The inset, grid lines and 2 pixels a column keeps around its content.
int Frame(TDedOzovedUrad& G) { return G.XYOffsetWidth() + 2 * G.GetGridLineWidth() + 2; }

TSize Measure(TDedOzovedUrad& G, int Col, int Row, bool Wrap)
{
    TSize Size;
    G.MeasureCellText(Col, Col, Row, true, Wrap, false, Size);
    return Size;
}

} // namespace

TEST(GridAutoSize, LimitValue)
{
    struct Case {
        int Value, Min, Max, Result;
    };
    const Case Cases[] = { { 5, 10, 0, 10 }, { 500, 10, 200, 200 }, { 500, 0, 0, 500 }, { 5, 7, 7, 5 },
        { -3, 0, 20, -3 }, { 30, -1, 20, 20 } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.Value << " in " << c.Min << ".." << c.Max);
        EXPECT_EQ(TDedOzovedUrad::LimitValue(c.Value, c.Min, c.Max), c.Result);
    }
}

TEST(GridAutoSize, XYOffsetCountsOnBothSidesUnlessTopLeftOnly)
{
    TDedOzovedUrad G(nullptr);
    EXPECT_EQ(G.XYOffsetWidth(), 4);
    EXPECT_EQ(G.XYOffsetHeight(), 4);
    G.SetXYOffset(TPoint(3, 5));
    G.SetXYOffsetTopLeftOnly(true);
    EXPECT_EQ(G.XYOffsetWidth(), 3);
    EXPECT_EQ(G.XYOffsetHeight(), 5);
}

// ---- measuring ----

TEST(GridAutoSize, MeasuredTextSizes)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    TFont* Font = G.GetFont();
    const int Line = Ruler.LineHeight(Font);

    // Empty text takes no room in either mode.
    EXPECT_EQ(Measure(G, 1, 1, true), TSize(0, 0));
    EXPECT_EQ(Measure(G, 1, 1, false), TSize(0, 0));

    // Line by line: three lines with Multilinecells, one line without.
    G.SetCells(1, 1, u"one\r\ntwo and more\r\nthree");
    G.SetMultilinecells(true);
    EXPECT_EQ(Measure(G, 1, 1, false), TSize(Ruler.Width(Font, u"two and more"), 3 * Line));
    G.SetMultilinecells(false);
    EXPECT_EQ(Measure(G, 1, 1, false).cy, Line);

    // Wrapped as drawn: one line of its own width in an unbounded cell.
    G.SetCells(2, 1, u"Harbour View Dental");
    const TSize Wrapped = Measure(G, 2, 1, true);
    EXPECT_EQ(Wrapped.cx, Ruler.Width(Font, u"Harbour View Dental"));
    EXPECT_GT(Wrapped.cy, 0);

    // A link shows without its prefix unless URLFull.
    G.SetCells(3, 1, u"mailto:info@listing.example");
    G.SetURLShow(true);
    EXPECT_EQ(Measure(G, 3, 1, false).cx, Ruler.Width(Font, u"info@listing.example"));
    G.SetURLFull(true);
    EXPECT_EQ(Measure(G, 3, 1, false).cx, Ruler.Width(Font, u"mailto:info@listing.example"));

    // Mini-HTML measures through the engine, 2 pixels more each way.
    G.SetCells(4, 1, u"<b>bold</b>");
    const TSize Html = Measure(G, 4, 1, true);
    EXPECT_GT(Html.cx, 2);
    EXPECT_GT(Html.cy, 2);
}

TEST(GridAutoSize, HeadersAreMeasuredBoldWhenTheActiveHeaderShowsBold)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    G.SetUseFixedFont(false);
    G.SetCells(2, 0, u"Business name");
    const int Plain = Measure(G, 2, 0, false).cx;
    EXPECT_EQ(Plain, Ruler.Width(G.GetFont(), u"Business name"));
    G.SetActiveCellShow(true);
    const int Bold = Measure(G, 2, 0, false).cx;
    TFont BoldFont;
    BoldFont.Assign(G.GetFont());
    BoldFont.SetStyle(TFontStyles { fsBold });
    EXPECT_EQ(Bold, Ruler.Width(&BoldFont, u"Business name"));
    EXPECT_GT(Bold, Plain);
    // A normal cell stays plain.
    G.SetCells(2, 1, u"Business name");
    EXPECT_EQ(Measure(G, 2, 1, false).cx, Plain);
}

TEST(GridAutoSize, TheCellsFontAndZoomAreMeasured)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"Northside Electrical");
    G.SetFontSizes(1, 1, 14);
    TFont Big;
    Big.Assign(G.GetFont());
    Big.SetSize(14);
    EXPECT_EQ(Measure(G, 1, 1, false).cx, Ruler.Width(&Big, u"Northside Electrical"));
    G.Zoom(2);
    Big.SetSize(16);
    EXPECT_EQ(Measure(G, 1, 1, false).cx, Ruler.Width(&Big, u"Northside Electrical"));
}

// ---- auto-sizing columns ----

TEST(GridAutoSize, AutoSizeColumnsGivesNormalColumnsTheirWidestContentPlusPadding)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(4);
    G.SetColWidths(0, 33);
    G.SetCells(0, 2, u"a row header that is long");
    G.SetCells(1, 1, u"Oak Street Bakery");
    G.SetCells(1, 2, u"VIC");
    G.SetCells(2, 0, u"Phone numbers");   // a header in the fixed font
    G.SetCells(2, 3, u"(03) 9");
    // Column 3 holds nothing; column 4 only a short text.
    G.SetCells(4, 2, u"x");
    G.AutoSizeColumns(false, 4);

    EXPECT_EQ(G.GetColWidths(0), 33);
    EXPECT_EQ(G.GetColWidths(1), Ruler.Width(G.GetFont(), u"Oak Street Bakery") + Frame(G) + 4);
    EXPECT_EQ(G.GetColWidths(2), Ruler.Width(G.GetFixedFont(), u"Phone numbers") + Frame(G) + 4);
    EXPECT_EQ(G.GetColWidths(3), Frame(G) + 4);
    EXPECT_EQ(G.GetColWidths(4), Ruler.Width(G.GetFont(), u"x") + Frame(G) + 4);

    // Within the limits.
    G.SetMinColWidth(40);
    G.SetMaxColWidth(60);
    G.AutoSizeColumns(false, 4);
    EXPECT_EQ(G.GetColWidths(1), 60);
    // The least width first, then the padding.
    EXPECT_EQ(G.GetColWidths(3), 44);
}

TEST(GridAutoSize, GrowOnlyKeepsWiderColumnsAndDoesNotCreep)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"Springfield");
    G.SetCells(2, 1, u"Springfield");
    G.SetColWidths(1, 300);
    G.SetColWidths(2, 10);
    G.SetSizeGrowOnly(true);
    G.AutoSizeColumns(false, 4);
    const int Need = Ruler.Width(G.GetFont(), u"Springfield") + Frame(G) + 4;
    EXPECT_EQ(G.GetColWidths(1), 300);
    EXPECT_EQ(G.GetColWidths(2), Need);

    // Growing again and again leaves a column that fits as it is.
    G.SetSizeGrowOnly(false);
    for (int i = 0; i < 3; ++i) {
        G.AutoGrowColumns(false, 4);
        G.AutoGrowCol(2, 4);
    }
    EXPECT_EQ(G.GetColWidths(2), Need);
    EXPECT_FALSE(G.GetSizeGrowOnly());
}

TEST(GridAutoSize, ATextMergedAcrossColumnsDoesNotSizeItsColumn)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"a very long text that spans two columns");
    G.MergeCells(1, 1, 2, 1);
    G.SetCells(1, 2, u"short");
    G.AutoSizeColumns(false, 0);
    EXPECT_EQ(G.GetColWidths(1), Ruler.Width(G.GetFont(), u"short") + Frame(G));
}

TEST(GridAutoSize, TheRowsMeasuredFollowColumnSizeRows)
{
    TRuler Ruler;
    struct Case {
        TAutoSizeRows Rows;
        const char16_t* Widest;
    };
    // Row 0 is the header, row 9 the footer, rows 1..8 normal; rows 1..3
    // are in view from TopRow 1 (with the one row after them).
    const Case Cases[] = { { arAll, u"footer footer footer footer" }, { arNormal, u"row seven is long" },
        { arFixed, u"header header" }, { arVisible, u"row four" } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(int(c.Rows));
        TDedOzovedUrad G(nullptr);
        G.SetUseFixedFont(false);
        G.SetHeight(4 * 22 + 4);
        G.SetFixedFooters(1);
        G.SetCells(1, 0, u"header header");
        G.SetCells(1, 2, u"row");
        G.SetCells(1, 4, u"row four");
        G.SetCells(1, 7, u"row seven is long");
        G.SetCells(1, 9, u"footer footer footer footer");
        G.GetColumnSize()->SetRows(c.Rows);
        ASSERT_EQ(G.GetTopRow(), 1);
        ASSERT_EQ(G.GetVisibleRowCount(), 3);
        G.AutoSizeCol(1, 0);
        EXPECT_EQ(G.GetColWidths(1), Ruler.Width(G.GetFont(), c.Widest) + Frame(G));
    }
}

TEST(GridAutoSize, UpdateColumnSizeMayChangeTheWidth)
{
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"text");
    std::vector<int> Asked;
    G.OnUpdateColumnSize = [&](TObject*, int ACol, int& AWidth) {
        Asked.push_back(ACol);
        AWidth = 77;
    };
    G.FitColumnWidth(1, false);
    EXPECT_EQ(Asked, std::vector<int> { 1 });
    EXPECT_EQ(G.GetColWidths(1), 77);
}

// ---- rows ----

TEST(GridAutoSize, RowsTakeTheirLines)
{
    TRuler Ruler;
    TDedOzovedUrad G(nullptr);
    const int Line = Ruler.LineHeight(G.GetFont());
    G.SetWordWrap(false);
    G.SetMultilinecells(true);
    G.SetCells(1, 1, u"a\r\nb\r\nc");
    G.SetCells(2, 2, u"one line");
    EXPECT_EQ(G.RowLineCount(1), 3);
    EXPECT_EQ(G.RowLineCount(2), 1);
    G.AutoSizeRows(false, 0);
    EXPECT_EQ(G.GetRowHeights(1), 3 * (Line + 2) + G.GetXYOffset().Y);
    EXPECT_EQ(G.GetRowHeights(2), Line + 2 + G.GetXYOffset().Y);
    EXPECT_EQ(G.GetRowHeights(0), 22); // fixed rows stay

    // With word wrap, each row as high as its wrapped text plus the inset.
    G.SetWordWrap(true);
    G.SetColWidths(1, 400);
    G.AutoSizeRow(1, 0);
    EXPECT_EQ(G.GetRowHeights(1), 3 * Line + G.XYOffsetHeight() + 2 * G.GetGridLineWidth());
}

// ---- fitting and stretching ----

TEST(GridAutoSize, StretchColumnsSharesTheRoomAndGivesTheRemainderToTheFirst)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(4);
    G.SetWidth(64 + 100);
    G.StretchColumns();
    EXPECT_EQ(G.GetColWidths(0), 64);
    EXPECT_EQ(G.GetColWidths(1), 34);
    EXPECT_EQ(G.GetColWidths(2), 33);
    EXPECT_EQ(G.GetColWidths(3), 33);

    // A column that may not be sized keeps its width, still using up its
    // share of the remainder.
    G.OnColumnSize = [](TObject*, int Index, bool& Allow) { Allow = Index != 1; };
    G.SetWidth(64 + 200);
    G.ApplyColumnStretch(-1, -1);
    EXPECT_EQ(G.GetColWidths(1), 34);
    EXPECT_EQ(G.GetColWidths(2), 67);
    EXPECT_EQ(G.GetColWidths(3), 66);
}

TEST(GridAutoSize, StretchingTheLastColumnFillsTheRest)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetWidth(300);
    G.GetColumnSize()->SetStretch(true);
    G.StretchRightColumn();
    EXPECT_EQ(G.GetColWidths(2), 300 - 2 * 64);
    // Columns wider than the grid: the column falls back to the default.
    G.SetColWidths(1, 280);
    G.StretchRightColumn();
    EXPECT_EQ(G.GetColWidths(2), 64);
}

TEST(GridAutoSize, AutoFitColumnsFillsTheWidthAndTheRemainderGoesToTheWidest)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(4);
    G.SetWidth(500);
    G.SetScrollBars(ssNone);
    G.SetColWidths(0, 64);
    G.SetColWidths(1, 50);
    G.SetColWidths(2, 120);
    G.SetColWidths(3, 50);
    G.AutoFitColumns(false);
    const int Border = 4;
    EXPECT_EQ(G.GetColWidths(0), 64);
    EXPECT_EQ(G.GetColWidths(1) + G.GetColWidths(2) + G.GetColWidths(3), 500 - 64 - Border);
    // The proportions hold, and the widest column took the rounding.
    EXPECT_EQ(G.GetColWidths(1), G.GetColWidths(3));
    EXPECT_GT(G.GetColWidths(2), 2 * G.GetColWidths(1));
    EXPECT_EQ(G.GetOrigColSizes()->GetInteger(2), G.GetColWidths(2));
}

// ---- reactions to a mouse sizing ----

TEST(GridAutoSize, SizingOneRowWithAllRowSizeScalesTheOthers)
{
    TDedOzovedUrad G(nullptr);
    G.GetMouseActions()->SetAllRowSize(true);
    std::vector<int> Ended;
    G.OnEndRowSize = [&](TObject*, int ARow) { Ended.push_back(ARow); };
    TDedOzovedUradTestAccess::MouseSized(G, false, 2, 22);
    G.SetRowHeights(2, 44);
    EXPECT_EQ(G.GetRowHeights(0), 22);
    EXPECT_EQ(G.GetRowHeights(1), 44);
    EXPECT_EQ(G.GetRowHeights(5), 44);
    EXPECT_EQ(Ended, std::vector<int> { 2 });

    // A row that had no height gives no ratio: nothing is scaled.
    G.SetRowHeights(3, 0);
    TDedOzovedUradTestAccess::MouseSized(G, false, 3, 0);
    G.SetRowHeights(3, 30);
    EXPECT_EQ(G.GetRowHeights(4), 44);
    EXPECT_EQ(G.GetRowHeights(3), 30);
}

TEST(GridAutoSize, SizingOneColumnWithAllColumnSizeScalesTheOthers)
{
    TDedOzovedUrad G(nullptr);
    G.GetMouseActions()->SetAllColumnSize(true);
    std::vector<int> Ended;
    G.OnEndColumnSize = [&](TObject*, int ACol) { Ended.push_back(ACol); };
    G.OnUpdateColumnSize = [](TObject*, int, int& AWidth) { AWidth += 1; };
    TDedOzovedUradTestAccess::MouseSized(G, true, 1, 64);
    G.SetColWidths(1, 128);
    EXPECT_EQ(G.GetColWidths(0), 64);
    EXPECT_EQ(G.GetColWidths(2), 128);
    EXPECT_EQ(G.GetColWidths(4), 128);
    // After the end event the update hook had its say on the sized column.
    EXPECT_EQ(G.GetColWidths(1), 129);
    EXPECT_EQ(Ended, std::vector<int> { 1 });
}
