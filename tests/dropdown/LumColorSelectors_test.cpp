#include <gtest/gtest.h>

#include "dropdown/LumColorSelectors.h"

namespace {

constexpr TColor Hex(std::uint32_t rrggbb)
{
    return TColor(((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16));
}

} // namespace

TEST(LumColorCube, LayoutAndCellColours)
{
    TLumColorCubePanel Cube;
    struct Case {
        int index;
        int x, y;
        std::uint32_t rgb;
    };
    const Case cases[] = {
        { 1, 55, 20, 0x003366 },    // first row starts at 55
        { 7, 127, 20, 0x000066 },
        { 58, 19, 80, 0x003300 },   // the widest row, 13 cells from 19
        { 64, 91, 80, 0xFFFFFF },   // white in the middle
        { 70, 163, 80, 0x660066 },
        { 71, 25, 90, 0x336600 },   // the lower half starts half a cell in
        { 127, 127, 140, 0xA50021 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(Cube.GetCubeCellCenter(c.index), TPoint(c.x, c.y));
        EXPECT_EQ(Cube.GetCubeCellColor(c.index), Hex(c.rgb));
    }

    // Outside 1..127 reads give no colour and writes go nowhere.
    EXPECT_EQ(Cube.GetCubeCellColor(0), clNone);
    EXPECT_EQ(Cube.GetCubeCellColor(128), clNone);
    Cube.SetCubeCellColor(0, clRed);
    Cube.SetCubeCellColor(128, clRed);
    Cube.SetCubeCellColor(-5, clRed);
    EXPECT_EQ(Cube.GetCubeCellColor(0), clNone);
    EXPECT_EQ(Cube.GetCubeCellColor(1), Hex(0x003366));

    // A written colour lasts until the cells are filled again.
    Cube.SetCubeCellColor(1, clRed);
    EXPECT_EQ(Cube.GetCubeCellColor(1), clRed);
    Cube.InitCubeCells();
    EXPECT_EQ(Cube.GetCubeCellColor(1), Hex(0x003366));

    Cube.ResetCube();
    EXPECT_EQ(Cube.GetWidth(), 182);
    EXPECT_EQ(Cube.GetHeight(), 160);
    EXPECT_TRUE(Cube.GetShowHint());
}

TEST(LumColorCube, HitTest)
{
    TLumColorCubePanel Cube;
    struct Case {
        int x, y, cell;
    };
    const Case cases[] = {
        { 55, 20, 1 },
        { 61, 20, 1 },   // on the border shared with cell 2: the lower number wins
        { 62, 20, 2 },
        { 61, 23, -1 },  // a hexagon corner lies outside every circle
        { 0, 0, -1 },
        { 55, 26, 1 },   // radius 6 straight down
        { 55, 27, -1 },  // ...one more lies between three circles
        { 49, 25, 8 },   // the first cell of the second row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(Cube.CubeCellAtPos(c.x, c.y), c.cell);
    }
}

TEST(LumColorCube, SelectingByColourAndByClick)
{
    TLumColorCubePanel Cube;
    int selects = 0;
    Cube.OnSelect = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Cube);
        ++selects;
    };

    Cube.SetSelectedColor(Hex(0xFFFFFF));
    EXPECT_EQ(Cube.GetSelectedIndex(), 64);
    Cube.SetSelectedColor(Hex(0x123456));  // in no cell
    EXPECT_EQ(Cube.GetSelectedIndex(), -1);
    EXPECT_EQ(Cube.GetSelectedColor(), Hex(0x123456));
    EXPECT_EQ(selects, 0);

    // An index names the cell whatever the colour.
    Cube.SelectColor(clRed, 5);
    EXPECT_EQ(Cube.GetSelectedIndex(), 5);

    Cube.MouseDown(mbLeft, {}, 61, 20);
    EXPECT_EQ(Cube.GetSelectedIndex(), 1);
    EXPECT_EQ(Cube.GetSelectedColor(), Hex(0x003366));
    EXPECT_EQ(selects, 1);
    Cube.MouseDown(mbRight, {}, 61, 23);  // no cell: nothing changes
    EXPECT_EQ(Cube.GetSelectedIndex(), 1);
    EXPECT_EQ(selects, 1);

    int hides = 0;
    Cube.FOnShouldHide = [&](TObject*) { ++hides; };
    Cube.MouseUp(mbLeft, {}, 0, 0);
    EXPECT_EQ(hides, 1);
}

TEST(LumColorCube, HotCellAndRGBHint)
{
    TLumColorCubePanel Cube;
    Cube.MouseMove({}, 55, 20);
    EXPECT_EQ(Cube.GetHotIndex(), 1);
    EXPECT_EQ(Cube.GetHint(), u"Red: 0,  Green: 51,  Blue: 102");

    // Off every cell the hint goes but the hot cell stays.
    Cube.MouseMove({}, 61, 23);
    EXPECT_EQ(Cube.GetHotIndex(), 1);
    EXPECT_EQ(Cube.GetHint(), u"");

    Cube.SetShowRGBHint(false);
    EXPECT_FALSE(Cube.GetShowHint());
    Cube.MouseMove({}, 67, 20);
    EXPECT_EQ(Cube.GetHotIndex(), 2);
    EXPECT_EQ(Cube.GetHint(), u"");
}

namespace {

struct Selector : ::testing::Test {
    TCustomColorSelector S;
    std::vector<int> Selected;
    void SetUp() override
    {
        S.OnItemSelect = [this](TObject* Sender) {
            EXPECT_EQ(Sender, &S);
            Selected.push_back(S.GetItemIndex());
        };
    }
};

} // namespace

TEST_F(Selector, EmptyAndDefaultPaletteSizes)
{
    EXPECT_EQ(S.GetWidth(), 100);
    EXPECT_EQ(S.GetHeight(), 50);

    S.LoadDefaultPalette();
    ASSERT_EQ(S.GetItems()->GetCount(), 60);
    EXPECT_EQ(S.GetWidth(), 165);
    EXPECT_EQ(S.GetHeight(), 84);

    // Boxes 16 apart, rows at 4, 20, 32, 44, 56, 68: a gap only below the stand-alone row.
    const int rows[] = { 4, 20, 32, 44, 56, 68 };
    const TItemPos pos[] = { ipStandAlone, ipTop, ipMiddle, ipMiddle, ipMiddle, ipBottom };
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 10; ++c) {
            SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
            TRect R;
            S.GetColorBoxRect(r * 10 + c, R);
            EXPECT_EQ(R, TRect(4 + 16 * c, rows[r], 16 + 16 * c, rows[r] + 12));
            EXPECT_EQ(S.GetItems()->GetItem(r * 10 + c)->GetColorBoxPos(), pos[r]);
        }
    EXPECT_EQ(S.GetItems()->GetItem(3)->GetColor(), Hex(0x1F497D));
    EXPECT_EQ(S.GetItems()->GetItem(59)->GetColor(), Hex(0x974806));

    TRect None;
    S.GetColorBoxRect(60, None);
    EXPECT_EQ(None, TRect(-1, -1, -1, -1));
    EXPECT_EQ(S.ColorBoxAtPos(4, 4), 0);
    EXPECT_EQ(S.ColorBoxAtPos(16, 4), -1);  // the gap between columns
    EXPECT_EQ(S.ColorBoxAtPos(20, 31), 11);

    // Five columns: twelve rows; each row of stand-alone boxes keeps its gap.
    S.SetColumns(5);
    const int tops[][2] = { { 4, 4 }, { 5, 20 }, { 10, 36 }, { 15, 48 } };
    for (const auto& [index, top] : tops) {
        SCOPED_TRACE(index);
        TRect R;
        S.GetColorBoxRect(index, R);
        EXPECT_EQ(R.Top, top);
    }
    EXPECT_EQ(S.GetWidth(), 4 + 4 * 16 + 12 + 4 + 1);
}

TEST_F(Selector, ArrowsMoveByRowsOnlyWhileOpen)
{
    S.LoadDefaultPalette();
    struct Case {
        const char* name;
        int from;
        WORD key;
        bool editor, open;
        int to;
    };
    const Case cases[] = {
        { "Down open", 0, VK_DOWN, false, true, 10 },
        { "Down closed", 0, VK_DOWN, false, false, 1 },
        { "Up open", 15, VK_UP, false, true, 5 },
        { "Up open at the top", 5, VK_UP, false, true, 5 },
        { "Up closed", 15, VK_UP, false, false, 14 },
        { "Down open at the bottom", 55, VK_DOWN, false, true, 55 },
        { "Down open, none selected", -1, VK_DOWN, false, true, 0 },
        { "Right", 3, VK_RIGHT, false, false, 4 },
        { "Right with a typeable closed edit", 3, VK_RIGHT, true, false, 3 },
        { "Right with a typeable open edit", 3, VK_RIGHT, true, true, 4 },
        { "Left", 3, VK_LEFT, false, false, 2 },
        { "Left at the start", 0, VK_LEFT, false, false, 0 },
        { "Home", 33, VK_HOME, false, false, 0 },
        { "Page Up", 33, VK_PRIOR, false, true, 0 },
        { "End", 3, VK_END, false, false, 59 },
        { "Page Down", 3, VK_NEXT, false, false, 59 },
        { "a key outside 33..40", 3, VK_RETURN, false, true, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        S.SetItemIndex(c.from);
        S.HandleNavigationKey(c.key, c.editor, c.open);
        EXPECT_EQ(S.GetItemIndex(), c.to);
    }

    // A disabled selector ignores every key.
    S.SetItemIndex(3);
    S.SetEnabled(false);
    S.HandleNavigationKey(VK_DOWN, false, true);
    EXPECT_EQ(S.GetItemIndex(), 3);
}

TEST_F(Selector, SelectionFiresAndKeepsTheColour)
{
    S.LoadDefaultPalette();
    S.SetItemIndex(4);
    EXPECT_EQ(S.GetSelectedColor(), Hex(0x4F81BD));
    S.SetItemIndex(4);  // again: announced again
    EXPECT_EQ(Selected, (std::vector<int> { 4, 4 }));

    // A box past the end or below -1 does not exist: nothing happens.
    S.SetItemIndex(60);
    S.SetItemIndex(-7);
    EXPECT_EQ(S.GetItemIndex(), 4);
    EXPECT_EQ(Selected.size(), 2u);

    // None: the colour stays, nothing is announced.
    S.SetItemIndex(-1);
    EXPECT_EQ(S.GetItemIndex(), -1);
    EXPECT_EQ(S.GetSelectedColor(), Hex(0x4F81BD));
    EXPECT_EQ(Selected.size(), 2u);

    S.SetSelectedColor(Hex(0x7F7F7F));  // in the palette twice: the first wins
    EXPECT_EQ(S.GetItemIndex(), 11);
    S.SetSelectedColor(Hex(0x123456));
    EXPECT_EQ(S.GetItemIndex(), -1);
    EXPECT_EQ(S.GetSelectedColor(), Hex(0x123456));
    S.SetSelectedColor(clNone);
    EXPECT_EQ(S.GetItemIndex(), -1);
    EXPECT_EQ(S.GetSelectedColor(), clNone);
}

TEST_F(Selector, DisabledBoxesAreNeverHotNorSelected)
{
    S.LoadDefaultPalette();
    S.GetItems()->GetItem(1)->SetEnabled(false);
    S.SetItemIndex(0);
    Selected.clear();

    S.SetItemIndex(1);
    EXPECT_EQ(S.GetItemIndex(), 0);
    S.SelectNext();  // navigation stops at it
    EXPECT_EQ(S.GetItemIndex(), 0);
    S.MouseUp(mbLeft, {}, 22, 6);  // a click on it
    EXPECT_EQ(S.GetItemIndex(), 0);
    EXPECT_TRUE(Selected.empty());

    S.MouseMove({}, 6, 6);
    EXPECT_EQ(S.GetItemHot(), 0);
    S.MouseMove({}, 22, 6);  // over the disabled box the hot one clears
    EXPECT_EQ(S.GetItemHot(), -1);
    S.MouseMove({}, 38, 6);
    EXPECT_EQ(S.GetItemHot(), 2);
    S.MouseLeave();
    EXPECT_EQ(S.GetItemHot(), -1);

    S.MouseUp(mbLeft, {}, 38, 6);
    EXPECT_EQ(S.GetItemIndex(), 2);
    EXPECT_EQ(Selected, std::vector<int> { 2 });
}

TEST(LumColorBoxes, ItemsAndAppearance)
{
    TCustomColorSelector S;
    int changes = 0;
    S.GetItems()->OnChange = [&](TObject*) { ++changes; };
    TColorBoxItem* A = S.GetItems()->Add();
    A->SetColor(clRed);
    A->SetColor(clRed);
    EXPECT_EQ(changes, 1);

    TColorBoxItem* B = S.GetItems()->Add();
    A->SetEnabled(false);
    A->SetColorBoxPos(ipBottom);
    B->Assign(A);
    EXPECT_EQ(B->GetColor(), clRed);
    EXPECT_FALSE(B->GetEnabled());
    EXPECT_EQ(B->GetColorBoxPos(), ipStandAlone);  // the position is the arrangement's

    TColorBoxAppearance* Look = S.GetColorBoxAppearance();
    EXPECT_EQ(Look->GetOuterBorderColorHot(), Hex(0xF29436));
    Look->SetBorderColor(clBlack);
    S.SetItemColorStyle(scCustom);  // leaves the colours
    EXPECT_EQ(Look->GetBorderColor(), clBlack);
    S.SetItemColorStyle(scWindows7);  // the preset colours again
    EXPECT_EQ(Look->GetBorderColor(), Hex(0xC5C5C5));
}
