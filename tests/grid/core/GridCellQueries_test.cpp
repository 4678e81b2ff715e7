#include <gtest/gtest.h>

#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumRichEdit.h"

namespace {

struct Cell {
    int Col, Row;
    bool operator==(const Cell&) const = default;
};

} // namespace

// 5 columns (1 fixed, 1 fixed at the right), 10 rows (1 fixed, 1 footer).
TEST(GridCellQueries, FixedCellsAtEveryEdge)
{
    TDedOzovedUrad G(nullptr);
    G.SetFixedFooters(1);
    G.SetFixedRightCols(1);
    G.MergeCells(2, 6, 2, 3); // columns 2..3, rows 6..8
    std::vector<Cell> Asked;
    G.OnIsFixedCell = [&](TObject*, int ARow, int ACol, bool& IsFixed) {
        Asked.push_back({ ACol, ARow });
        IsFixed = ACol == 2 && ARow == 4;
    };
    struct Case {
        int Col, Row;
        bool Fixed, Asked;
    };
    const Case Cases[] = {
        { 0, 5, true, false },  // fixed column
        { 2, 0, true, false },  // fixed row
        { 2, 9, true, false },  // footer row
        { 4, 5, true, false },  // fixed right column
        { 3, 5, false, true },  // normal cell
        { 2, 4, true, true },   // the handler's answer
        { 3, 8, false, true },  // covered: asked for its base (2, 6)
        { -1, 3, false, false },
        { 2, -1, false, false },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.Col << "," << c.Row);
        Asked.clear();
        EXPECT_EQ(G.IsFixed(c.Col, c.Row), c.Fixed);
        EXPECT_EQ(!Asked.empty(), c.Asked);
    }
    Asked.clear();
    G.IsFixed(3, 8);
    EXPECT_EQ(Asked, (std::vector<Cell> { { 2, 6 } }));
}

// A grid held at its one fixed row by FixedRowAlways has fixed cells only.
TEST(GridCellQueries, FixedRowAlwaysMakesEveryCellFixed)
{
    TDedOzovedUrad G(nullptr);
    G.SetFixedRowAlways(true);
    G.SetFixedRows(1);
    G.SetRowCount(1);
    int Asked = 0;
    G.OnIsFixedCell = [&](TObject*, int, int, bool&) { ++Asked; };
    for (int c = 0; c < G.GetColCount(); ++c) {
        bool Fixed = false;
        G.DoIsFixedCell(c, 0, Fixed);
        EXPECT_TRUE(Fixed) << c;
    }
    EXPECT_EQ(Asked, 0);
    G.SetRowCount(3);
    bool Fixed = false;
    G.DoIsFixedCell(2, 2, Fixed);
    EXPECT_FALSE(Fixed);
    EXPECT_EQ(Asked, 1);
}

TEST(GridCellQueries, CanEditCell)
{
    TDedOzovedUrad G(nullptr);
    G.SetOptions(G.GetOptions() + goEditing);
    std::vector<Cell> Asked;
    bool Answer = true;
    G.OnCanEditCell = [&](TObject*, int ARow, int ACol, bool& CanEdit) {
        Asked.push_back({ ACol, ARow });
        CanEdit = Answer;
    };
    auto Can = [&](int c, int r, bool Allow = true) {
        G.CanEditCell(c, r, Allow);
        return Allow;
    };
    // A read-only cell is refused before the handler, which may still allow it.
    G.SetReadOnly(2, 2, true);
    Answer = true;
    EXPECT_TRUE(Can(2, 2));
    G.OnCanEditCell = [&](TObject*, int, int, bool& CanEdit) { EXPECT_FALSE(CanEdit); };
    Can(2, 2);
    G.OnCanEditCell = [&](TObject*, int ARow, int ACol, bool& CanEdit) {
        Asked.push_back({ ACol, ARow });
        CanEdit = Answer;
    };
    // A covered cell asks for its base.
    G.MergeCells(1, 5, 2, 2);
    Asked.clear();
    Answer = false;
    EXPECT_FALSE(Can(2, 6));
    EXPECT_EQ(Asked, (std::vector<Cell> { { 1, 5 } }));
    // Beyond all columns nobody is asked and the cell is editable.
    Asked.clear();
    EXPECT_TRUE(Can(G.GetAllColCount(), 3, false));
    EXPECT_TRUE(Asked.empty());
    // A grid that does not edit refuses cells with properties.
    G.SetOptions(G.GetOptions() - goEditing);
    G.OnCanEditCell = nullptr;
    G.SetColors(3, 3, clRed);
    EXPECT_FALSE(Can(3, 3));
    EXPECT_TRUE(Can(3, 4));
    G.GetMouseActions()->SetRangeSelectAndEdit(true);
    EXPECT_TRUE(Can(3, 3));
}

TEST(GridCellQueries, ButtonsShownWithoutEditing)
{
    TDedOzovedUrad G(nullptr);
    G.SetDefaultEditor(edComboList);
    EXPECT_FALSE(G.HasCellComboBox(2, 2, edNone));
    G.GetControlLook()->SetDropDownAlwaysVisible(true);
    for (const Cell c : { Cell { 0, 0 }, Cell { 2, 2 }, Cell { 4, 9 } }) {
        SCOPED_TRACE(::testing::Message() << c.Col << "," << c.Row);
        EXPECT_TRUE(G.HasCellComboBox(c.Col, c.Row, edNone));
        EXPECT_FALSE(G.HasCellEditBtn(c.Col, c.Row, edNone));
    }
    // The cell's own kind, or the one the event gives for the default.
    EXPECT_FALSE(G.HasCellComboBox(2, 2, edNormal));
    EXPECT_TRUE(G.HasCellComboBox(2, 2, edGridDropDown));
    EXPECT_TRUE(G.HasCellEditBtn(2, 2, edEditBtn));
    EXPECT_FALSE(G.HasCellComboBox(2, 2, edCustom)); // no edit link
    G.OnGetEditorType = [](TObject*, int ACol, int, TEditorType& AEditor) {
        if (ACol == 3)
            AEditor = edEditBtn;
    };
    EXPECT_TRUE(G.HasCellEditBtn(3, 2, edNone));
    EXPECT_FALSE(G.HasCellComboBox(3, 2, edNone));
    // An OnHasComboBox handler decides alone.
    G.OnHasComboBox = [](TObject*, int ACol, int, bool& Has) { Has = ACol == 1; };
    EXPECT_TRUE(G.HasCellComboBox(1, 2, edNormal));
    EXPECT_FALSE(G.HasCellComboBox(2, 2, edComboList));

    // Spin buttons never show in fixed cells.
    G.GetControlLook()->SetSpinButtonsAlwaysVisible(true);
    G.OnGetEditorType = [](TObject*, int, int, TEditorType& AEditor) { AEditor = edFloatSpinEdit; };
    EXPECT_TRUE(G.HasCellSpinEdit(2, 2, edNone));
    EXPECT_FALSE(G.HasCellSpinEdit(0, 2, edNone));
    EXPECT_FALSE(G.HasCellSpinEdit(2, 0, edNone));
    EXPECT_FALSE(G.HasCellSpinEdit(2, 2, edComboList));
    G.OnHasSpinEdit = [](TObject*, int, int, bool& Has) { Has = false; };
    EXPECT_FALSE(G.HasCellSpinEdit(2, 2, edSpinEdit));
}

TEST(GridCellQueries, FilterEditCellsAndPasswordCells)
{
    TDedOzovedUrad G(nullptr);
    G.SetFixedRightCols(1);
    EXPECT_FALSE(G.HasCellFilterEdit(1, 0));
    G.GetFilterEdit()->SetEnabled(true);
    G.GetFilterEdit()->SetRow(0);
    struct Case {
        int Col, Row;
        bool Has;
    };
    const Case Cases[] = { { 0, 0, false }, { 1, 0, true }, { 3, 0, true }, { 4, 0, false }, { 2, 1, false } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(::testing::Message() << c.Col << "," << c.Row);
        EXPECT_EQ(G.HasCellFilterEdit(c.Col, c.Row), c.Has);
    }
    G.GetFilterEdit()->SetColumns(fdAll);
    EXPECT_TRUE(G.HasCellFilterEdit(0, 0));
    G.OnHasFilterEdit = [](TObject*, int ACol, bool& Has) { Has = ACol != 2; };
    EXPECT_FALSE(G.HasCellFilterEdit(2, 0));
    EXPECT_TRUE(G.HasCellFilterEdit(1, 0));

    bool Password = false;
    G.DoIsPasswordCell(1, 1, Password);
    EXPECT_FALSE(Password);
    G.OnIsPasswordCell = [](TObject*, int ARow, int ACol, bool& IsPassword) { IsPassword = ACol == 3 && ARow == 1; };
    G.DoIsPasswordCell(3, 1, Password);
    EXPECT_TRUE(Password);
}

// New properties start from the look the cell has without the colours of
// where it stands.
TEST(GridCellQueries, NewPropertiesStartWithoutPassingColours)
{
    TDedOzovedUrad G(nullptr);
    G.SetDefaultAlignment(taRightJustify);
    G.SetColor(clWhite);
    EXPECT_EQ(G.GetCellProperties(3, 4)->GetBrushColor(), clWhite);
    EXPECT_EQ(G.GetCellProperties(3, 4)->GetAlignment(), taRightJustify);
    EXPECT_EQ(G.GetCellProperties(0, 4)->GetBrushColor(), clNone); // fixed
    EXPECT_EQ(G.GetCellProperties(G.GetCol(), G.GetRow())->GetBrushColor(), clNone); // selected
    G.GetBands()->SetActive(true);
    EXPECT_EQ(G.GetCellProperties(3, 5)->GetBrushColor(), clNone);
}

TEST(GridCellQueries, RichTextBetweenCellAndEditor)
{
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"{\\rtf1\\ansi {\\b Bold} text}");
    TLumRichEdit* Rich = G.GetRichEdit();
    ASSERT_NE(Rich, nullptr);
    EXPECT_EQ(G.GetRichEdit(), Rich);
    G.CellToRich(1, 1, Rich);
    EXPECT_EQ(Rich->GetText(), u"Bold text");
    const String Saved = G.RichToString(Rich);
    EXPECT_TRUE(Saved.starts_with(u"{\\rtf")) << StringToUtf8(Saved);
    EXPECT_EQ(Saved.find(Char(0)), String::npos);
    // Through a second cell and back: the same text.
    G.SetCells(2, 2, Saved);
    G.CellToRich(2, 2, Rich);
    EXPECT_EQ(Rich->GetText(), u"Bold text");
    // An empty cell empties the editor.
    G.CellToRich(3, 3, Rich);
    EXPECT_EQ(Rich->GetText(), u"");

    G.OnGetDisplText = [](TObject*, int, int, String& Value) { Value = u"<" + Value + u">"; };
    G.SetCells(4, 4, u"x");
    EXPECT_EQ(G.GetFormattedCell(4, 4), u"<x>");
}
