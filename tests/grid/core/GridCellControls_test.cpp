#include <gtest/gtest.h>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/StringList.h"

namespace {

struct CellControls : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    void SetUp() override
    {
        G.SetColCount(4);
        G.SetRowCount(8);
        G.SetFixedRows(1);
    }
    // "1" checked, "0" unchecked, "-" no radio button, for rows 1..7 of a column.
    std::string Column(int c)
    {
        std::string s;
        for (int r = 1; r < G.GetRowCount(); ++r)
            s += G.HasRadioButton(c, r) ? (G.IsRadioButtonChecked(c, r) ? '1' : '0') : '-';
        return s;
    }
};

} // namespace

TEST_F(CellControls, AddingARadioButtonOutsideTheGridIsAnInvalidCell)
{
    const TPoint Bad[] = { { -1, 2 }, { 1, -1 }, { 4, 2 }, { 1, 8 } };
    for (const TPoint& P : Bad) {
        SCOPED_TRACE(std::to_string(P.X) + "," + std::to_string(P.Y));
        EXPECT_THROW(G.AddRadioButton(P.X, P.Y, true), Exception);
        EXPECT_THROW(G.AddRadioButtonGroup(P.X, P.Y, rgRow, true), Exception);
    }
    G.AddRadioButton(3, 7, true);
    EXPECT_TRUE(G.HasRadioButtonGroup(3, 7, rgCol));
}

TEST_F(CellControls, AClickedRadioButtonUnchecksOnlyItsContiguousRun)
{
    G.AddRadioButtonColumn(1);
    G.RemoveRadioButton(1, 4); // splits the column into rows 1-3 and 5-7
    G.SetRadioButtonState(1, 2, true);
    G.SetRadioButtonState(1, 6, true);
    ASSERT_EQ(Column(1), "010-010");

    EXPECT_TRUE(G.DoToggleRadioButton(1, 3, false));
    EXPECT_EQ(Column(1), "001-010") << "the run below the gap keeps its checked button";
    EXPECT_TRUE(G.GetGridModified());

    G.SetGridModified(false);
    EXPECT_TRUE(G.DoToggleRadioButton(1, 3, false)) << "an already checked button";
    EXPECT_EQ(Column(1), "001-010");
    EXPECT_TRUE(G.GetGridModified()) << "still marks the grid modified";

    EXPECT_FALSE(G.DoToggleRadioButton(1, 4, false)) << "no radio button there";
    EXPECT_EQ(G.GetRadioButtonColumnIndex(1), 3);
    G.SetRadioButtonColumnIndex(1, 5);
    EXPECT_EQ(Column(1), "000-100");

    // rgRow buttons run along the row; rgNone stands alone.
    for (int c = 0; c < 4; ++c)
        G.AddRadioButtonGroup(c, 7, c == 3 ? rgNone : rgRow, true);
    G.SetRadioButtonState(0, 7, false);
    EXPECT_TRUE(G.DoToggleRadioButton(0, 7, false));
    EXPECT_TRUE(G.IsRadioButtonChecked(0, 7));
    EXPECT_FALSE(G.IsRadioButtonChecked(1, 7));
    EXPECT_FALSE(G.IsRadioButtonChecked(2, 7));
    EXPECT_FALSE(G.IsRadioButtonChecked(3, 7)) << "walked: the rgNone cell still holds a radio button";
}

TEST_F(CellControls, ARadioGroupAdvancesWrapsAndKeepsItsIndex)
{
    TStrings* Items = G.CreateRadio(1, 1, 0, -1);
    Items->Add(u"a");
    Items->Add(u"b");
    Items->Add(u"c");
    G.SetCells(1, 1, u"b");
    EXPECT_FALSE(G.StepRadioSelection(1, 1, false));
    int Idx = -5;
    EXPECT_TRUE(G.GetRadioIdx(1, 1, Idx));
    EXPECT_EQ(Idx, 2) << "follows its text once, then keeps its index";
    EXPECT_EQ(G.GetCells(1, 1), u"c");
    G.StepRadioSelection(1, 1, false);
    EXPECT_TRUE(G.GetRadioIdx(1, 1, Idx));
    EXPECT_EQ(Idx, 0) << "wraps to the first item";
    EXPECT_EQ(G.GetCells(1, 1), u"a");
    EXPECT_EQ(G.GetRadioStrings(1, 1), Items);

    EXPECT_TRUE(G.SetRadioIdx(1, 1, -1));
    EXPECT_EQ(G.GetCells(1, 1), u"") << "-1 clears the text";
    EXPECT_FALSE(G.SetRadioIdx(2, 1, 1)) << "no radio group";

    // A group without items has nothing to move to.
    TStringList None;
    G.AddRadio(2, 2, 1, 0, &None);
    G.SetCells(2, 2, u"keep");
    G.StepRadioSelection(2, 2, false);
    EXPECT_EQ(G.GetCells(2, 2), u"keep");
    EXPECT_TRUE(G.GetRadioIdx(2, 2, Idx));
    EXPECT_EQ(Idx, 0);
}

TEST_F(CellControls, ButtonRectangleScalesWithTheScreenAndExpandButtonsSizeTheirRow)
{
    TDedOzovedUradTestAccess::SetDPIScale(G, 1.5);
    G.AddButton(1, 2, 20, 16, u"Go", haLeft, vaTop);
    G.GetCellGraphic(1, 2)->SetCellValue(double((3u << 16) | 5u));
    const TRect Cell = G.CellRect(1, 2);
    const TRect B = G.CellButtonRect(1, 2);
    EXPECT_EQ(B.Left, Cell.Left + 5);
    EXPECT_EQ(B.Top, Cell.Top + 3);
    EXPECT_EQ(B.Width(), 30);
    EXPECT_EQ(B.Height(), 24);
    EXPECT_EQ(G.CellButtonRect(2, 2), TRect()) << "no object";
    G.SetButtonText(1, 2, u"Stop");
    EXPECT_EQ(G.GetButtonText(1, 2), u"Stop");
    G.RemoveAllButtons();
    EXPECT_FALSE(G.HasButton(1, 2));

    G.SetRowHeights(3, 22);
    G.AddExpand(2, 3, 60);
    EXPECT_EQ(G.GetExpandHeight(2, 3, true), 60);
    EXPECT_EQ(G.GetExpandHeight(2, 3, false), 22);
    EXPECT_EQ(G.GetExpandHeight(0, 3, true), G.GetDefaultRowHeight()) << "no expand button";
    EXPECT_TRUE(G.ToggleExpand(2, 3));
    EXPECT_TRUE(G.GetExpandState(2, 3));
    G.DoExpandClick(2, 3, true);
    EXPECT_EQ(G.GetRowHeights(3), 60);
    EXPECT_FALSE(G.ToggleExpand(2, 3));
    G.DoExpandClick(2, 3, false);
    EXPECT_EQ(G.GetRowHeights(3), 22);
    const TRect E = G.ExpandButtonRect(2, 3), C3 = G.CellRect(2, 3);
    EXPECT_EQ(E, TRect(C3.Right - 13, C3.Top + 2, C3.Right - 2, C3.Top + 13));
}

TEST_F(CellControls, BalloonsRideOnBoxesRadiosAndIconsAndLeaveThemAlone)
{
    struct Case {
        const char* Name;
        std::function<void()> Add;
        TCellType Kind;
    };
    const Case Cases[] = {
        { "check box", [&] { G.AddCheckBox(1, 2, true, false); }, ctCheckBox },
        { "radio button", [&] { G.AddRadioButton(1, 2, true); }, ctRadioButton },
        { "icon", [&] { G.CreateIcon(1, 2, haLeft, vaTop); }, ctIcon },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        c.Add();
        G.AddBalloon(1, 2, u"Title", u"Text", biWarning);
        String T, X;
        int I = 0;
        ASSERT_TRUE(G.IsBalloon(1, 2, T, X, I));
        EXPECT_EQ(T, u"Title");
        EXPECT_EQ(X, u"Text");
        EXPECT_EQ(I, int(biWarning));
        EXPECT_FALSE(G.HasBalloon(1, 2)) << "rides on the object, is not one";
        if (c.Kind == ctRadioButton) {
            EXPECT_TRUE(G.HasRadioButtonGroup(1, 2, rgCol)) << "the group stays";
            EXPECT_TRUE(G.IsRadioButtonChecked(1, 2));
        }
        G.RemoveBalloon(1, 2);
        EXPECT_FALSE(G.IsBalloon(1, 2, T, X, I));
        EXPECT_EQ(G.GetCellType(1, 2), c.Kind) << "the object stays";
        if (c.Kind == ctRadioButton)
            EXPECT_TRUE(G.HasRadioButtonGroup(1, 2, rgCol));
        G.FreeCellGraphic(1, 2);
    }
    // On its own, and nowhere on other kinds.
    G.AddBalloon(2, 2, u"t", u"x", biInfo);
    EXPECT_TRUE(G.HasBalloon(2, 2));
    G.RemoveBalloon(2, 2);
    EXPECT_EQ(G.GetCellGraphic(2, 2), nullptr);
    G.AddProgress(3, 2, clBlue, clWhite);
    G.AddBalloon(3, 2, u"t", u"x", biInfo);
    String T, X;
    int I = 0;
    EXPECT_FALSE(G.IsBalloon(3, 2, T, X, I));
    // RemoveCheckBox takes the box and its balloon.
    G.AddCheckBox(1, 3, false, false);
    G.AddBalloon(1, 3, u"t", u"x", biError);
    G.RemoveCheckBox(1, 3);
    EXPECT_FALSE(G.IsBalloon(1, 3, T, X, I));
    EXPECT_EQ(G.GetCellGraphic(1, 3), nullptr);
}
