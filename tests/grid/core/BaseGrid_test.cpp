#include <gtest/gtest.h>

#include "grid/core/BaseGrid.h"
#include "grid/core/GridUtils.h"

namespace {

// The base grid leaves nodes and check boxes to the string grid.
class TTestGrid : public TBaseGrid {
public:
    TTestGrid()
    {
        SetBounds(0, 0, 600, 300);
        SetColCount(10);
        SetRowCount(20);
    }
    bool IsNode(int) override { return false; }
    bool IsSummary(int) override { return false; }
    bool CellHasCheckBox(int, int) override { return false; }
    void SetCheckBoxFromText(int, int, const String&) override { }
};

// Counts its own destruction.
class TTracked : public TObject {
public:
    explicit TTracked(int& deaths) : m_deaths(deaths) { }
    ~TTracked() override { ++m_deaths; }

private:
    int& m_deaths;
};

TEST(BaseGridCells, ReadingCreatesNothingWritingCapturesTheLook)
{
    TTestGrid g;
    EXPECT_EQ(g.GetObjects(3, 3), nullptr);
    EXPECT_EQ(g.GetGraphicObjects(3, 3), nullptr);
    EXPECT_EQ(g.GetCells(3, 3), u"");
    EXPECT_TRUE(g.IsBaseCell(3, 3));
    EXPECT_FALSE(g.IsMergedCell(3, 3));
    EXPECT_EQ(g.CellSpan(3, 3), TPoint(0, 0));
    EXPECT_FALSE(g.HasCellProperties(3, 3));
    EXPECT_FALSE(g.GetHasCellProps());

    g.SetColor(clYellow);
    g.GetFont()->SetName(u"Arial");
    g.GetFont()->SetHeight(-15);
    g.SetWordWrap(false);
    TCellProperties* p = g.GetCellProperties(3, 3);
    EXPECT_TRUE(g.HasCellProperties(3, 3));
    EXPECT_TRUE(g.GetHasCellProps());
    EXPECT_EQ(p->GetBrushColor(), clYellow);
    EXPECT_EQ(p->GetBrushColorTo(), clNone);
    EXPECT_EQ(p->GetFontName(), u"Arial");
    EXPECT_EQ(p->GetFontSize(), -15);
    EXPECT_FALSE(p->GetWordWrap());
    EXPECT_EQ(p->GetVAlignment(), vtaTop);
    EXPECT_EQ(p->GetCellSpanX(), -1);
    EXPECT_EQ(p->GetOwnerCol(), 3);
    EXPECT_EQ(g.GetCellProperties(3, 3), p); // made once
    // Beyond the column count the slot is still found again.
    TCellProperties* far = g.GetCellProperties(15, 2);
    EXPECT_EQ(g.GetCellProperties(15, 2), far);
    EXPECT_THROW(g.GetCellProperties(-1, 2), EGridException);
}

TEST(BaseGridCells, ObjectsLiveInThePropertiesAndTextStaysEmpty)
{
    TTestGrid g;
    TObject user;
    g.SetObjects(2, 5, &user);
    EXPECT_EQ(g.GetObjects(2, 5), &user);
    EXPECT_EQ(g.GetGridObject(2, 5), g.GetCellProperties(2, 5)); // the slot holds the properties
    EXPECT_EQ(g.GetCells(2, 5), u"");
    g.SetCells(2, 5, u"text");
    EXPECT_EQ(g.GetObjects(2, 5), &user);

    // Storing the slot's own properties again changes nothing.
    TCellProperties* p = g.GetCellProperties(2, 5);
    g.SetCellProperties(2, 5, p);
    EXPECT_EQ(g.GetCellProperties(2, 5)->GetCellObject(), &user);
}

TEST(BaseGridCells, DisplayHooksSkipScratchRowsAndWideText)
{
    TTestGrid g;
    g.OnGetDisplText = [](TObject*, int, int ARow, String& v) { v += u"!" + Utf8ToString(std::to_string(ARow)); };
    g.SetCells(1, 4, u"a");
    g.SetCells(1, 15, u"b");
    g.SetNormalRowCount(10);
    EXPECT_EQ(g.GetCells(1, 4), u"a!4");
    EXPECT_EQ(g.GetCells(1, 15), u"b"); // a sort's scratch row reads raw
    EXPECT_EQ(g.GetGridCell(1, 4), u"a");

    g.OnGetDisplText = nullptr;
    g.OnGetDisplWideText = [](TObject*, int, int, String& v) { v = u"<" + v + u">"; };
    g.SetGridCell(2, 2, VuzEraz::EncodeWideCellText(u"\u0416x"));
    EXPECT_EQ(g.GetCells(2, 2), VuzEraz::EncodeWideCellText(u"<\u0416x>"));
}

TEST(BaseGridCells, FreeingARangeFreesOnlyGridOwnedGraphics)
{
    int deaths = 0;
    TTracked given(deaths);
    {
        TTestGrid g;
        g.SetGraphicObjectEx(1, 1, new TTracked(deaths), true);
        g.SetGraphicObjectEx(2, 1, &given);
        g.SetCells(3, 1, u"x");
        g.GetCellProperties(3, 1);
        g.FreeCellPropertiesRange(0, 0, 5, 5);
        EXPECT_EQ(deaths, 1);
        EXPECT_FALSE(g.HasCellProperties(1, 1));
        EXPECT_FALSE(g.HasCellProperties(2, 1));
        EXPECT_EQ(g.GetCells(3, 1), u"x");

        // Properties left beyond the counts after a shrink go with the grid.
        g.SetGraphicObjectEx(8, 18, new TTracked(deaths), true);
        g.SetRowCount(5);
        g.SetColCount(5);
    }
    EXPECT_EQ(deaths, 2);
}

TEST(BaseGridMerge, EncodingOfAMergedBlock)
{
    TTestGrid g;
    g.SetCells(2, 3, u"base");
    g.SetCells(4, 4, u"hidden");
    g.MergeCells(2, 3, 3, 2);
    EXPECT_EQ(g.GetMergeCount(), 1);
    struct TCase { int c, r; bool base; int sx, sy; };
    const TCase cases[] = {
        { 2, 3, true, 2, 1 }, { 3, 3, false, 1, 0 }, { 4, 3, false, 2, 0 },
        { 2, 4, false, 0, 1 }, { 3, 4, false, 1, 1 }, { 4, 4, false, 2, 1 },
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(std::to_string(k.c) + "," + std::to_string(k.r));
        const TCellProperties* p = g.GetCellProperties(k.c, k.r);
        EXPECT_EQ(p->GetIsBaseCell(), k.base);
        EXPECT_EQ(p->GetCellSpanX(), k.sx);
        EXPECT_EQ(p->GetCellSpanY(), k.sy);
        EXPECT_EQ(g.BaseCell(k.c, k.r), TPoint(2, 3));
        EXPECT_EQ(g.CellSpan(k.c, k.r), TPoint(2, 1));
        EXPECT_TRUE(g.IsMergedCell(k.c, k.r));
        EXPECT_EQ(g.IsMergedNonBaseCell(k.c, k.r), !k.base);
        EXPECT_TRUE(g.IsXMergedCell(k.c, k.r));
        EXPECT_TRUE(g.IsYMergedCell(k.c, k.r));
    }
    EXPECT_EQ(g.CellExt(3, 3), TPoint(1, 1));
    EXPECT_EQ(g.FullCell(3, 4), (TGridRect { 2, 3, 4, 4 }));
    int bc = 0, br = 0;
    EXPECT_FALSE(g.ResolveBaseCell(4, 4, bc, br));
    EXPECT_EQ(TPoint(bc, br), TPoint(2, 3));
    EXPECT_TRUE(g.ResolveBaseCell(2, 3, bc, br));

    // A covered cell reads and writes the base's text; its own stays stored.
    EXPECT_EQ(g.GetCells(4, 4), u"base");
    g.SetCells(4, 4, u"new");
    EXPECT_EQ(g.GetCells(2, 3), u"new");
    EXPECT_EQ(g.GetGridCell(4, 4), u"hidden");

    // A graphic object on a covered cell leaves the base's text alone.
    TObject graphic;
    g.SetGraphicObjectEx(3, 4, &graphic);
    EXPECT_EQ(g.GetCells(2, 3), u"new");
    EXPECT_EQ(g.GetGraphicObjects(3, 4), &graphic);

    // Clearing a covered cell empties its base (and drops the slot unfreed).
    TCellProperties* covered = g.GetCellProperties(4, 3);
    g.ClearCell(4, 3);
    EXPECT_EQ(g.GetCells(2, 3), u"");
    delete covered;
}

TEST(BaseGridMerge, SplittingAndDegenerateMerges)
{
    TTestGrid g;
    g.MergeCells(1, 1, 0, 3);
    EXPECT_EQ(g.GetMergeCount(), 1);
    EXPECT_FALSE(g.HasCellProperties(1, 1));

    g.MergeCells(2, 2, 2, 3);
    g.SplitCells(3, 4); // any covered cell restores the whole area
    EXPECT_EQ(g.GetMergeCount(), 1);
    for (int r = 2; r <= 4; ++r)
        for (int c = 2; c <= 3; ++c)
            EXPECT_FALSE(g.IsMergedCell(c, r)) << c << "," << r;
    EXPECT_EQ(g.BaseCell(3, 4), TPoint(3, 4));

    g.SplitCells(7, 7); // an unmerged cell: only the count moves
    EXPECT_EQ(g.GetMergeCount(), 0);
    EXPECT_TRUE(g.IsBaseCell(7, 7));
}

TEST(BaseGridMerge, OverlappingMergeSplitsTheOlderArea)
{
    TTestGrid g;
    g.SetCells(1, 1, u"old");
    g.MergeCells(1, 1, 3, 3);
    g.MergeCells(3, 3, 2, 2); // overlaps the corner of the first area
    EXPECT_EQ(g.GetMergeCount(), 1);
    EXPECT_FALSE(g.IsMergedCell(1, 1));
    EXPECT_FALSE(g.IsMergedCell(2, 2));
    EXPECT_EQ(g.GetCells(2, 2), u""); // no longer redirected to (1,1)
    EXPECT_EQ(g.BaseCell(4, 4), TPoint(3, 3));
    EXPECT_EQ(g.CellSpan(3, 3), TPoint(1, 1));
    EXPECT_EQ(g.GetCells(1, 1), u"old");
}

TEST(BaseGridMerge, RectanglesOfAreasAndCollapsedAreas)
{
    TTestGrid g; // 64 x 24 cells, no platform grid lines
    g.MergeCells(2, 3, 3, 2);
    const TRect one = g.CellRect(2, 3);
    EXPECT_EQ(g.CellRect(4, 4), one);
    EXPECT_EQ(one, TRect(128, 72, 128 + 3 * 64, 72 + 2 * 24));
    EXPECT_EQ(g.CellSize(3, 4), TPoint(192, 48));
    // Scrolled so the base is out of view: the area keeps its extent.
    g.SetTopRow(4);
    EXPECT_EQ(g.CellRect(3, 4), TRect(128, 24 - 24, 128 + 192, 24 + 24));
    g.SetTopRow(1);

    g.MergeCells(6, 5, 1, 2);
    for (int r = 5; r <= 6; ++r)
        g.GetCellProperties(6, r)->SetMergeCollaps(true);
    EXPECT_FALSE(g.IsYMergedCell(6, 5));
    EXPECT_EQ(g.CellRect(6, 5).Height(), 24);
    EXPECT_EQ(g.BaseCell(6, 6), TPoint(6, 6)); // resolves in its own row

    EXPECT_EQ(g.ComputeCellRect(7, 8), g.TCustomGrid::CellRect(7, 8));
    EXPECT_EQ(g.MinRowSpan(3), 1);
    EXPECT_EQ(g.MaxRowSpan(3), 1);
    EXPECT_EQ(g.MaxRowSpan(9), 0);
    EXPECT_EQ(g.MinRowSpan(9), g.GetRowCount());
}

TEST(BaseGridMerge, SpanIdentityOfRowsAndColumns)
{
    TTestGrid g;
    g.MergeCells(1, 2, 2, 2);
    EXPECT_TRUE(g.RowSpanIdentical(2, 3));
    EXPECT_TRUE(g.ColSpanIdentical(1, 2));
    EXPECT_FALSE(g.RowSpanIdentical(3, 4));
    EXPECT_FALSE(g.ColSpanIdentical(2, 3));
    g.MergeCells(5, 4, 2, 2);
    g.MergeCells(1, 4, 2, 2);
    EXPECT_FALSE(g.RowSpanIdentical(3, 4)); // spanned in both, other areas
    EXPECT_FALSE(g.ColSpanIdentical(2, 5));
}

// Arrow keys leave an area for the first cell beyond it, whatever cell of
// the area holds the focus; Shift extends the selection.
TEST(BaseGridMerge, ArrowKeysStepOverAreas)
{
    struct TCase {
        const char* Name;
        TGridCoord Focus;
        WORD Key;
        bool Shift;
        TGridCoord End;
        TGridRect Selection;
    };
    // Area: columns 3..4, rows 5..6; the last rows 17..18 form another one.
    const TCase cases[] = {
        { "left from the covered column", { 4, 5 }, VK_LEFT, false, { 2, 5 }, { 2, 5, 2, 5 } },
        { "right", { 3, 5 }, VK_RIGHT, false, { 5, 5 }, { 5, 5, 5, 5 } },
        { "up from the lower row", { 3, 6 }, VK_UP, false, { 3, 4 }, { 3, 4, 3, 4 } },
        { "down", { 4, 5 }, VK_DOWN, false, { 4, 7 }, { 4, 7, 4, 7 } },
        { "shift right", { 3, 5 }, VK_RIGHT, true, { 5, 5 }, { 3, 5, 5, 5 } },
        { "down onto the last row", { 2, 17 }, VK_DOWN, false, { 2, 19 }, { 2, 19, 2, 19 } },
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        TTestGrid g;
        g.MergeCells(3, 5, 2, 2);
        g.MergeCells(2, 17, 1, 2); // rows RowCount - 3 .. RowCount - 2
        g.MoveColRow(k.Focus.X, k.Focus.Y, true, false);
        WORD key = k.Key;
        g.KeyDown(key, k.Shift ? TShiftState { ssShift } : TShiftState {});
        EXPECT_EQ(key, 0);
        EXPECT_EQ(g.GetCol(), k.End.X);
        EXPECT_EQ(g.GetRow(), k.End.Y);
        EXPECT_EQ(g.GetSelection(), k.Selection);
    }
    // An ordinary cell moves by one and lands on the base of an area.
    TTestGrid g;
    g.MergeCells(3, 5, 2, 2);
    g.MoveColRow(5, 6, true, false);
    WORD key = VK_LEFT;
    g.KeyDown(key, {});
    EXPECT_EQ(g.GetCol(), 3);
    EXPECT_EQ(g.GetRow(), 5);
}

} // namespace
