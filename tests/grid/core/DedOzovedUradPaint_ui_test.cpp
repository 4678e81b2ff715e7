// Painting of the string grid, headless: a grid on a form is painted into
// an offscreen bitmap and probed pixel by pixel, or its events are recorded.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GridDataViewsDouble.h"
#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPainters.h"
#include "platform/rtl/String.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/PngImage.h"
#include "platform/vcl/Themes.h"

namespace {

constexpr TColor White = TColor(0xFFFFFF);
constexpr TColor Red = TColor(0x0000FF);
constexpr TColor Green = TColor(0x00FF00);
constexpr TColor Blue = TColor(0xFF0000);

TColor RGBOf(TColor C) { return TColor(ColorToRGB(C) & 0xFFFFFF); }

// Text ink: clearly darker than the white or light cell behind it.
bool IsInk(TColor C) { return GetRValue(C) < 0x90 && GetGValue(C) < 0x90 && GetBValue(C) < 0x90; }

std::filesystem::path OutputDir()
{
    const char* env = std::getenv("QT_TEST_OUTPUT_DIR");
    std::filesystem::path dir
        = env && *env ? std::filesystem::path(env) : std::filesystem::current_path() / "test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

// A grid on a form, its window made, painted on request into a bitmap of
// its client size.
struct PaintedGrid : ::testing::Test {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TDedOzovedUrad* Grid = nullptr;
    TBitmap Surface;

    void SetUp() override
    {
        Form->SetBounds(0, 0, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 400, 250);
        Form->HandleNeeded();
        Grid->HandleNeeded();
        // A plain look: white fixed cells would hide what the tests look for.
        Grid->SetLook(glStandard);
    }

    void Paint()
    {
        Surface.SetSize(Grid->GetClientWidth(), Grid->GetClientHeight());
        Grid->PaintTo(Surface.GetCanvas()->GetHandle(), 0, 0);
    }
    TColor At(int X, int Y) { return TColor(Surface.GetCanvas()->GetPixel(X, Y) & 0xFFFFFF); }
    // The middle of a cell (display column).
    TPoint Mid(int ACol, int ARow)
    {
        const TRect R = Grid->CellRect(ACol, ARow);
        return { (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2 };
    }
    TColor AtCell(int ACol, int ARow)
    {
        const TPoint P = Mid(ACol, ARow);
        return At(P.X, P.Y);
    }
    // A pixel near the top-left corner of a cell, clear of text.
    TColor Background(int ACol, int ARow)
    {
        const TRect R = Grid->CellRect(ACol, ARow);
        return At(R.Left + 2, R.Top + 2);
    }
    // Counts pixels of a colour in a rectangle.
    int Count(const TRect& R, TColor C)
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += At(x, y) == C;
        return n;
    }
    // The bounds of the text ink inside a rectangle; empty when none.
    template<class Pred>
    TRect InkBounds(const TRect& R, Pred IsInkPixel)
    {
        TRect B(R.Right, R.Bottom, R.Left, R.Top);
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (IsInkPixel(At(x, y))) {
                    B.Left = std::min(B.Left, x);
                    B.Right = std::max(B.Right, x + 1);
                    B.Top = std::min(B.Top, y);
                    B.Bottom = std::max(B.Bottom, y + 1);
                }
        return B.Left < B.Right ? B : TRect();
    }
    TRect InkBounds(const TRect& R) { return InkBounds(R, IsInk); }
    TRect CellInk(int ACol, int ARow) { return InkBounds(Grid->CellRect(ACol, ARow)); }
    void Focus()
    {
        Form->Show();
        Grid->SetFocus();
        Application->ProcessMessages();
    }
};

} // namespace

TEST_F(PaintedGrid, APaintedGridIsWrittenForPeopleToLookAt)
{
    Grid->SetColCount(5);
    Grid->SetRowCount(9);
    Grid->SetColWidths(0, 30);
    const char16_t* Headers[] = { u"", u"Company", u"City", u"Phone", u"Web" };
    for (int c = 1; c < 5; ++c)
        Grid->SetCells(c, 0, Headers[c]);
    const char16_t* Rows[][4] = {
        { u"Acme Tools", u"Springfield", u"555-0101", u"http://acme.example" },
        { u"Blue Harbor Inn", u"Portsmouth", u"555-0199", u"mailto:desk@blueharbor.example" },
        { u"<b>Cedar</b> &amp; <i>Sons</i>", u"Oakdale", u"555-0142", u"" },
        { u"Delta Bakery", u"Riverton", u"555-0177", u"http://delta.example" },
    };
    for (int r = 0; r < 4; ++r) {
        Grid->SetCells(0, r + 1, Utf8ToString(std::to_string(r + 1)));
        for (int c = 0; c < 4; ++c)
            Grid->SetCells(c + 1, r + 1, Rows[r][c]);
    }
    Grid->SetURLShow(true);
    Grid->GetBands()->SetPrimaryColor(TColor(0xF5EFE6));
    Grid->GetBands()->SetSecondaryColor(clWhite);
    Grid->GetBands()->SetActive(true);
    Grid->GetCellProperties(3, 3)->SetBrushColor(TColor(0x80E0FF));
    Grid->MergeCells(1, 6, 3, 2);
    Grid->SetCells(1, 6, u"A merged area of three columns and two rows");
    Grid->SetSelection({ 1, 2, 2, 2 });
    Paint();
    TPngImage Png;
    Png.Assign(&Surface);
    const std::filesystem::path File = OutputDir() / "grid-paint.png";
    Png.SaveToFile(Utf8ToString(File.string()));
    EXPECT_TRUE(std::filesystem::exists(File));
    // The own-coloured cell and the merged area are on the picture.
    EXPECT_EQ(Background(3, 3), TColor(0x80E0FF));
}

// ---- the look of a cell: who wins ----

TEST_F(PaintedGrid, TheLastSourceOfACellsLookWins)
{
    struct Case {
        const char* Name;
        std::function<void(TDedOzovedUrad&)> Setup;
        int Col, Row;
        TGridDrawState State;
        TColor Brush;
        bool FixedOut;
    };
    auto Bands = [](TDedOzovedUrad& G) {
        G.GetBands()->SetPrimaryColor(Blue);
        G.GetBands()->SetSecondaryColor(Green);
        G.GetBands()->SetPrimaryLength(2);
        G.GetBands()->SetSecondaryLength(1);
        G.GetBands()->SetActive(true);
        G.SetFixedFooters(1);
    };
    auto Selection = [](TDedOzovedUrad& G) {
        G.SetSelectionColor(Red);
        G.SetSelectionColorMixer(true);
        G.SetSelectionColorMixerFactor(50);
    };
    const TColor Fixed = RGBOf(clBtnFace);
    const Case Cases[] = {
        { "a fixed cell keeps its own colour", [](TDedOzovedUrad& G) { G.GetCellProperties(0, 2)->SetBrushColor(Red); },
            0, 2, {}, Red, false },
        { "a fixed cell without one takes the fixed colour", [](TDedOzovedUrad&) {}, 0, 2, {}, Fixed, true },
        { "a gradient look starts fixed cells at its gradient",
            [](TDedOzovedUrad& G) {
                G.SetLook(glOffice2007);
                G.GetControlLook()->SetFixedGradientFrom(TColor(0x123456));
            },
            1, 0, {}, TColor(0x123456), true },
        { "the classic look keeps the fixed colour",
            [](TDedOzovedUrad& G) {
                G.SetLook(glClassic);
                G.GetControlLook()->SetFixedGradientFrom(TColor(0x123456));
            },
            1, 0, {}, Fixed, true },
        { "bands: first normal row primary", Bands, 1, 1, {}, Blue, false },
        { "bands: second normal row primary", Bands, 1, 2, {}, Blue, false },
        { "bands: third normal row secondary", Bands, 1, 3, {}, Green, false },
        { "bands: fourth normal row primary again", Bands, 1, 4, {}, Blue, false },
        { "bands: the footer row is fixed", Bands, 1, 9, {}, Fixed, true },
        { "bands: a fixed row is not banded", Bands, 1, 0, {}, Fixed, true },
        { "a cell's own colour beats the bands",
            [&](TDedOzovedUrad& G) {
                Bands(G);
                G.GetCellProperties(2, 3)->SetBrushColor(Red);
            },
            2, 3, {}, Red, false },
        { "the mixer paints a banded selected cell halfway",
            [&](TDedOzovedUrad& G) {
                Bands(G);
                Selection(G);
            },
            1, 1, { gdSelected }, TColor(0x800080), false },
        { "the mixer leaves a grid-coloured cell the selection colour", Selection, 1, 1, { gdSelected }, Red, false },
        { "without focus AutoHideSelection shows no selection",
            [&](TDedOzovedUrad& G) {
                Selection(G);
                G.SetAutoHideSelection(true);
            },
            1, 1, { gdSelected }, White, false },
        { "a cell of the disjunct cell selection takes the unmixed selection colour",
            [&](TDedOzovedUrad& G) {
                Bands(G);
                Selection(G);
                G.GetMouseActions()->SetDisjunctCellSelect(true);
                G.GetSelectedCellSet().Add(2, 1);
            },
            2, 1, {}, Red, false },
        { "the filter edit row takes the filter edit colour",
            [](TDedOzovedUrad& G) {
                G.SetFixedRows(2);
                G.GetFilterEdit()->SetRow(1);
                G.GetFilterEdit()->SetColor(Green);
                G.GetFilterEdit()->SetEnabled(true);
            },
            2, 1, {}, Green, true },
        { "the gradient event colours a cell",
            [](TDedOzovedUrad& G) {
                G.OnGetCellGradient = [](TObject*, int, int, TColor& C, TColor&, TColor&, TColor&,
                                          TCellGradientDirection&) { C = Green; };
            },
            1, 1, {}, Green, false },
        { "the selection comes after the gradient event",
            [&](TDedOzovedUrad& G) {
                Selection(G);
                G.SetSelectionColorMixer(false);
                G.OnGetCellGradient = [](TObject*, int, int, TColor& C, TColor&, TColor&, TColor&,
                                          TCellGradientDirection&) { C = Green; };
            },
            1, 1, { gdSelected }, Red, false },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        TearDown();
        Form = std::make_unique<TForm>(nullptr);
        SetUp();
        c.Setup(*Grid);
        TBrush Brush;
        TFont Font;
        TColor To = clNone, Mirror = clNone, MirrorTo = clNone;
        TAlignment HA = taLeftJustify;
        TVAlignment VA = vtaTop;
        bool WW = true;
        TCellGradientDirection GD = GradientHorizontal;
        TGridDrawState State = c.State;
        Grid->GetVisualProperties(c.Col, c.Row, State, false, true, true, &Brush, To, Mirror, MirrorTo, &Font, HA, VA,
            WW, GD);
        EXPECT_EQ(RGBOf(Brush.GetColor()), c.Brush);
        EXPECT_EQ(State.Contains(gdFixed), c.FixedOut);
    }
}

TEST_F(PaintedGrid, ASelectedCellIsAlwaysAVerticalGradientAndTheGradientEventSeesItsOwnColour)
{
    Grid->GetCellProperties(1, 1)->SetGradientDirection(GradientHorizontal);
    Grid->SetSelectionColor(Red);
    TColor Seen = clNone;
    Grid->OnGetCellGradient = [&Seen](TObject*, int, int, TColor& C, TColor&, TColor&, TColor&,
                                  TCellGradientDirection&) { Seen = C; };
    TBrush Brush;
    TFont Font;
    TColor To = clNone, Mirror = clNone, MirrorTo = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = true;
    TCellGradientDirection GD = GradientHorizontal;
    TGridDrawState State { gdSelected };
    Grid->GetVisualProperties(1, 1, State, false, true, true, &Brush, To, Mirror, MirrorTo, &Font, HA, VA, WW, GD);
    EXPECT_EQ(GD, GradientVertical);
    EXPECT_EQ(RGBOf(Seen), RGBOf(Grid->GetColor()));
    EXPECT_EQ(RGBOf(Brush.GetColor()), Red);
}

// ---- the painting frame ----

TEST_F(PaintedGrid, EveryPaintedCellHearsItsEventsInOrder)
{
    std::vector<std::string> Events;
    auto Note = [&Events](int ACol, int ARow, const char* Name) {
        if (ACol == 2 && ARow == 2)
            Events.push_back(Name);
    };
    Grid->OnGetCellColor = [&](TObject*, int ARow, int ACol, TGridDrawState, TBrush*, TFont*) {
        Note(ACol, ARow, "Color");
    };
    Grid->OnGetCellGradient = [&](TObject*, int ARow, int ACol, TColor&, TColor&, TColor&, TColor&,
                                  TCellGradientDirection&) { Note(ACol, ARow, "Gradient"); };
    Grid->OnGetWordWrap = [&](TObject*, int ACol, int ARow, bool&) { Note(ACol, ARow, "WordWrap"); };
    Grid->OnGetAlignment = [&](TObject*, int ARow, int ACol, TAlignment&, TVAlignment&) {
        Note(ACol, ARow, "Alignment");
    };
    Grid->OnCustomCellBkgDraw = [&](TObject*, TCanvas*, int ACol, int ARow, TGridDrawState, TRect, bool) {
        Note(ACol, ARow, "BkgDraw");
    };
    Grid->OnGetCellBorder = [&](TObject*, int ARow, int ACol, TPen* Pen, TCellBorders& Borders) {
        Note(ACol, ARow, "Border");
        if (ACol == 2 && ARow == 2) {
            Borders = TCellBorders { cbBottom };
            Pen->SetColor(Red);
            Pen->SetWidth(1);
        }
    };
    Grid->OnGetCellBorderProp = [&](TObject*, int ARow, int ACol, TPen*, TPen*, TPen*, TPen*) {
        Note(ACol, ARow, "BorderProp");
    };
    Grid->OnDrawCell = [&](TObject*, int ACol, int ARow, TRect, TGridDrawState) { Note(ACol, ARow, "DrawCell"); };
    Grid->OnCustomCellDraw = [&](TObject*, TCanvas*, int ACol, int ARow, TGridDrawState, TRect, bool) {
        Note(ACol, ARow, "CustomDraw");
    };
    Paint();
    const std::vector<std::string> Expected { "Color", "Gradient", "WordWrap", "Alignment", "Color", "Gradient",
        "WordWrap", "Alignment", "BkgDraw", "Border", "BorderProp", "DrawCell", "CustomDraw" };
    EXPECT_EQ(Events, Expected);
    // The border the event asked for runs along the cell's bottom.
    const TRect R = Grid->CellRect(2, 2);
    EXPECT_GT(Count(TRect(R.Left, R.Bottom - 3, R.Right, R.Bottom), Red), R.Width() / 2);
}

TEST_F(PaintedGrid, AMergedAreaPaintsOnceAndStaysOffTheFixedRows)
{
    Grid->SetRowCount(40);
    Grid->MergeCells(1, 3, 3, 2);
    Grid->GetCellProperties(1, 3)->SetBrushColor(Red);
    std::vector<TPoint> Drawn;
    Grid->OnCustomCellDraw = [&Drawn](TObject*, TCanvas*, int ACol, int ARow, TGridDrawState, TRect, bool) {
        Drawn.push_back({ ACol, ARow });
    };
    auto TimesDrawn = [&Drawn](int c, int r) { return int(std::count(Drawn.begin(), Drawn.end(), TPoint(c, r))); };

    Paint();
    EXPECT_EQ(TimesDrawn(1, 3), 1);
    EXPECT_EQ(TimesDrawn(2, 3) + TimesDrawn(3, 4) + TimesDrawn(1, 4), 0); // covered cells paint through the base
    const TRect Area = Grid->CellRect(1, 3);
    EXPECT_EQ(Area.Width(), 3 * Grid->GetColWidths(1));
    EXPECT_EQ(At(Area.Right - 5, Area.Bottom - 5), Red);

    // Scrolled so only the area's lower row is in view: the area still paints
    // once, and its upper part, now under the fixed row, does not show.
    Drawn.clear();
    Grid->SetTopRow(4);
    Paint();
    EXPECT_EQ(TimesDrawn(1, 3), 1);
    const TRect Lower = Grid->CellRect(2, 4);
    EXPECT_EQ(At(Lower.Left + 5, Lower.Bottom - 5), Red);
    const int FixedHeight = Grid->GetRowHeights(0);
    EXPECT_EQ(Count(TRect(0, 0, Grid->GetClientWidth(), FixedHeight), Red), 0);
}

TEST_F(PaintedGrid, HoverAndActiveRowsColourTheirCells)
{
    Grid->SetSelectionColor(Red);
    Grid->SetHoverRow(true);
    Grid->SetHoverRowColor(Green);
    Grid->SetHoverRowIdx(2);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goDrawFocusSelected });
    Grid->SetSelection({ 1, 2, 1, 2 });
    Paint();
    EXPECT_EQ(Background(1, 2), Green); // hcSelected is among the hover cells
    EXPECT_EQ(Background(3, 2), Green);
    EXPECT_EQ(Background(0, 2), RGBOf(clBtnFace)); // fixed cells only with hcFixed
    EXPECT_EQ(Background(3, 3), White);

    Grid->SetHoverRowCells({ hcNormal });
    Paint();
    EXPECT_EQ(Background(1, 2), Red); // the selected cell keeps the selection look
    EXPECT_EQ(Background(3, 2), Green);

    Grid->SetHoverRow(false);
    Grid->SetOptions(Grid->GetOptions() - TGridOptions { goDrawFocusSelected });
    Grid->SetActiveRowShow(true);
    Grid->SetActiveRowColor(Blue);
    Grid->SetSelection({ 2, 3, 2, 3 }); // the focus cell is (2, 3)
    ASSERT_EQ(Grid->GetRow(), 3);
    ASSERT_EQ(Grid->GetCol(), 2);
    Paint();
    EXPECT_EQ(Background(1, 3), Blue);
    EXPECT_EQ(Background(3, 3), Blue);
    EXPECT_NE(Background(2, 3), Blue); // the focus cell
    EXPECT_EQ(Background(0, 3), RGBOf(clBtnFace));
    EXPECT_EQ(Background(1, 4), White);
}

TEST_F(PaintedGrid, Office2007SelectionRoundsOnlyTheOuterEnds)
{
    Grid->SetColCount(6);
    Grid->SetSelectionStyle(ssOffice2007);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goDrawFocusSelected });
    const TColor Border = TColor(0x8DD7D3);
    const TColor Back = RGBOf(Grid->GetColor());
    auto LeftSide = [this](int c) {
        const TRect R = Grid->CellRect(c, 2);
        return At(R.Left, R.Top + 6);
    };
    auto RightSide = [this](int c) {
        const TRect R = Grid->CellRect(c, 2);
        return At(R.Right - 2, R.Top + 6);
    };
    auto Corner = [this](int c) {
        const TRect R = Grid->CellRect(c, 2);
        return At(R.Left, R.Top);
    };

    Grid->SetSelection({ 1, 2, 3, 2 });
    Paint();
    EXPECT_EQ(LeftSide(1), Border); // end kind 1: left end only
    EXPECT_EQ(Corner(1), Back);
    EXPECT_NE(RightSide(1), Border);
    EXPECT_NE(LeftSide(2), Border); // end kind 3: open both sides
    EXPECT_NE(RightSide(2), Border);
    EXPECT_NE(LeftSide(3), Border); // end kind 2: right end only
    EXPECT_EQ(RightSide(3), Border);

    Grid->SetSelection({ 4, 2, 4, 2 });
    Paint();
    EXPECT_EQ(LeftSide(4), Border); // end kind 0: both ends
    EXPECT_EQ(RightSide(4), Border);
    EXPECT_EQ(Corner(4), Back);
}

TEST_F(PaintedGrid, TheFocusRectangleMarksOnlyANormalCurrentCellOfAFocusedGrid)
{
    Grid->SetSelection({ 2, 2, 2, 2 });
    // Dots along the top inside the cell, where the background would be.
    auto Marked = [this]() {
        const TRect R = Grid->CellRect(2, 2);
        const TColor Back = At(R.Left + 3, R.Top + 3);
        return Count(TRect(R.Left + 2, R.Top + 1, R.Right - 2, R.Top + 2), Back) < R.Width() - 6;
    };
    Paint();
    EXPECT_FALSE(Marked()); // the grid lacks the focus

    Focus();
    ASSERT_TRUE(Grid->Focused());
    Paint();
    EXPECT_TRUE(Marked());

    Grid->SetHideFocusRect(true);
    Paint();
    EXPECT_FALSE(Marked());

    // A current cell the grid is told is fixed gets none either.
    Grid->SetHideFocusRect(false);
    Grid->OnIsFixedCell = [](TObject*, int ARow, int ACol, bool& Fixed) { Fixed = ACol == 2 && ARow == 2; };
    Paint();
    EXPECT_FALSE(Marked());
}

// ---- text ----

TEST_F(PaintedGrid, PlainTextSitsWhereItsAlignmentsPutIt)
{
    Grid->SetWordWrap(false);
    Grid->SetDefaultRowHeight(40);
    Grid->SetColWidths(1, 120);
    Grid->SetCells(1, 1, u"Text");
    struct Case {
        TAlignment HA;
        TVAlignment VA;
    };
    const Case Cases[] = { { taLeftJustify, vtaTop }, { taRightJustify, vtaBottom }, { taCenter, vtaCenter } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(int(c.HA));
        Grid->OnGetAlignment = [&c](TObject*, int, int, TAlignment& H, TVAlignment& V) {
            H = c.HA;
            V = c.VA;
        };
        Paint();
        const TRect R = Grid->CellRect(1, 1);
        const TRect Ink = CellInk(1, 1);
        ASSERT_FALSE(Ink.IsEmpty());
        switch (c.HA) {
        case taLeftJustify:
            EXPECT_LE(Ink.Left - R.Left, 6);
            EXPECT_LE(Ink.Top - R.Top, 8);
            break;
        case taRightJustify:
            EXPECT_LE(R.Right - Ink.Right, 8);
            EXPECT_LE(R.Bottom - Ink.Bottom, 8);
            break;
        default:
            EXPECT_NEAR((Ink.Left + Ink.Right) / 2, (R.Left + R.Right) / 2, 4);
            EXPECT_NEAR((Ink.Top + Ink.Bottom) / 2, (R.Top + R.Bottom) / 2, 5);
            break;
        }
    }
}

TEST_F(PaintedGrid, MarkupAndRichTextAreDrawnNotShown)
{
    Grid->SetWordWrap(false);
    Grid->SetColWidths(1, 150);
    Grid->SetColWidths(2, 150);
    Grid->SetCells(1, 1, u"<b>Hi</b> there");
    Grid->SetCells(1, 2, u"<b>Hi</b> there");
    Grid->OnGetCellColor = [](TObject*, int ARow, int, TGridDrawState, TBrush*, TFont*) { (void)ARow; };
    // Row 2 shows the same text with markup switched off.
    Paint();
    const TRect Markup = CellInk(1, 1);
    Grid->SetEnableHTML(false);
    Paint();
    const TRect Raw = CellInk(1, 2);
    ASSERT_FALSE(Markup.IsEmpty());
    EXPECT_LT(Markup.Width() + 20, Raw.Width()); // the tags take no room
    EXPECT_LE(Markup.Left - Grid->CellRect(1, 1).Left, 6);

    Grid->SetCells(2, 2,
        u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs20\\cf1 Rich}");
    Paint();
    const TRect R = Grid->CellRect(2, 2);
    const TRect RedInk = InkBounds(R, [](TColor C) { return GetRValue(C) > 0xA0 && GetGValue(C) < 0x60; });
    ASSERT_FALSE(RedInk.IsEmpty());
    EXPECT_LE(RedInk.Left - R.Left, 6);
    EXPECT_LT(RedInk.Width(), 40); // "Rich", not the source text
}

TEST_F(PaintedGrid, OneLineTextIsCutAt4096Characters)
{
    Grid->SetWordWrap(false);
    Grid->SetColWidths(1, 200);
    Grid->OnGetAlignment = [](TObject*, int, int, TAlignment& H, TVAlignment&) { H = taRightJustify; };
    // Right-aligned, the end of what is drawn shows: dots once the W's are cut off.
    Grid->SetCells(1, 1, String(4096, u'.') + String(900, u'W'));
    Grid->SetCells(1, 2, String(100, u'.') + String(900, u'W'));
    Paint();
    const TRect Cut = Grid->CellRect(1, 1), Whole = Grid->CellRect(1, 2);
    const int CutInk = Count(TRect(Cut.Right - 40, Cut.Top, Cut.Right, Cut.Bottom), TColor(0));
    const int WholeInk = Count(TRect(Whole.Right - 40, Whole.Top, Whole.Right, Whole.Bottom), TColor(0));
    const TRect CutBounds = InkBounds(TRect(Cut.Right - 40, Cut.Top, Cut.Right, Cut.Bottom));
    const TRect WholeBounds = InkBounds(TRect(Whole.Right - 40, Whole.Top, Whole.Right, Whole.Bottom));
    ASSERT_FALSE(CutBounds.IsEmpty());
    EXPECT_LT(CutBounds.Height() * 2, WholeBounds.Height()); // dots, not letters
    (void)CutInk;
    (void)WholeInk;
}

TEST_F(PaintedGrid, ItalicRightAlignedTextKeepsItsLastLetterInside)
{
    Grid->SetWordWrap(false);
    Grid->SetColWidths(1, 120);
    Grid->SetCells(1, 1, u"Wolf");
    Grid->SetCells(1, 2, u"Wolf");
    Grid->GetCellProperties(1, 1)->SetFontStyle({ fsItalic });
    Grid->OnGetAlignment = [](TObject*, int, int, TAlignment& H, TVAlignment&) { H = taRightJustify; };
    Paint();
    const TRect R = Grid->CellRect(1, 1);
    const TRect Italic = CellInk(1, 1), Upright = CellInk(1, 2);
    ASSERT_FALSE(Italic.IsEmpty());
    // One trailing space moves the italic text left by about a space width.
    EXPECT_LT(Italic.Right, Upright.Right - 1);
    EXPECT_LT(Italic.Right, R.Right - 2);
}

TEST_F(PaintedGrid, AThreeLineCellIsCentredAsOneBlock)
{
    Grid->SetMultilinecells(true);
    Grid->SetVAlignment(vtaCenter);
    Grid->SetRowHeights(1, 100);
    Grid->SetCells(1, 1, u"A\r\nB\r\nC");
    Paint();
    const TRect R = Grid->CellRect(1, 1);
    const TRect Ink = CellInk(1, 1);
    ASSERT_FALSE(Ink.IsEmpty());
    EXPECT_NEAR((Ink.Top + Ink.Bottom) / 2, (R.Top + R.Bottom) / 2, 5);
    EXPECT_GT(Ink.Height(), 2 * Grid->GetTextHeight()); // three lines, one under the other
}

TEST_F(PaintedGrid, AURLShowsWithoutItsPrefixUnlessFull)
{
    Grid->SetWordWrap(false);
    Grid->SetColWidths(1, 250);
    Grid->SetURLShow(true);
    Grid->SetCells(1, 1, u"mailto:someone@example.org");
    auto Blue = [](TColor C) { return GetBValue(C) > 0xA0 && GetRValue(C) < 0x60 && GetGValue(C) < 0x60; };
    Paint();
    const TRect Short = InkBounds(Grid->CellRect(1, 1), Blue);
    Grid->SetURLFull(true);
    Paint();
    const TRect Full = InkBounds(Grid->CellRect(1, 1), Blue);
    ASSERT_FALSE(Short.IsEmpty()); // drawn in the URL colour
    EXPECT_GT(Full.Width(), Short.Width() + 20);
}

TEST(DedOzovedUradPaintViews, TheFilterButtonShowsWhereTheDataViewsHaveValues)
{
    TRecordingDataViewsScope Views;
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 640, 480);
    auto* Grid = new TDedOzovedUrad(&Form);
    Grid->SetParent(&Form);
    Grid->SetLook(glStandard);
    Form.HandleNeeded();
    TBitmap Surface;
    Surface.SetSize(Grid->GetClientWidth(), Grid->GetClientHeight());
    auto GlyphInk = [&]() {
        Grid->PaintTo(Surface.GetCanvas()->GetHandle(), 0, 0);
        const TRect R = Grid->CellRect(2, 0);
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Right - 16; x < R.Right; ++x)
                n += (Surface.GetCanvas()->GetPixel(x, y) & 0xFFFFFF) == 0;
        return n;
    };
    EXPECT_EQ(GlyphInk(), 0);
    EXPECT_TRUE(Views.Log->Saw("CollectFilterValues(2)"));
    Views.Log->CollectFilterValuesAnswer = true;
    EXPECT_GT(GlyphInk(), 10);
}

TEST_F(PaintedGrid, AZoomedFontNeverShrinksBelowOnePoint)
{
    TFont Font;
    Font.SetSize(8);
    Grid->SetFont(&Font);
    Grid->SetZoomFactor(-20);
    int Size = 0;
    Grid->OnCustomCellDraw = [&Size](TObject*, TCanvas* Canvas, int ACol, int ARow, TGridDrawState, TRect, bool) {
        if (ACol == 1 && ARow == 1)
            Size = Canvas->GetFont()->GetSize();
    };
    Paint();
    EXPECT_EQ(Size, 1);
}

TEST_F(PaintedGrid, TheBackgroundGradientRunsAcrossTheWholeControl)
{
    Grid->GetBackGround()->SetColor(Red);
    Grid->GetBackGround()->SetColorTo(Blue);
    Grid->GetBackGround()->SetCells(bcAll);
    Grid->GetBackGround()->SetDisplay(bdGradientHorz);
    Paint();
    // Red fades into blue from the left edge of the control to the right.
    const TColor First = Background(0, 2);
    const TColor Middle = Background(2, 2);
    const TColor Last = Background(4, 2);
    EXPECT_GT(GetRValue(First), 0xE0);
    EXPECT_LT(GetBValue(First), 0x20);
    EXPECT_GT(GetBValue(Middle), GetBValue(First));
    EXPECT_LT(GetBValue(Middle), GetBValue(Last));
    EXPECT_GT(GetRValue(Middle), GetRValue(Last));
}

TEST_F(PaintedGrid, UnderAVisualStyleTheStylePaintsFixedAndSelectedCells)
{
    struct TStyleScope {
        TStyleScope() { TStyleManager::SetStyle(u"Cyan Night"); }
        ~TStyleScope() { TStyleManager::SetStyle(u"Windows"); }
    } Style;
    const TCustomStyleServices::TPalette& Palette = TStyleManager::ActiveStyle()->GetPalette();
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goDrawFocusSelected });
    Grid->SetSelection({ 2, 2, 2, 2 });
    Grid->GetCellProperties(3, 3)->SetBrushColor(Red);
    Paint();
    EXPECT_EQ(Background(0, 2), RGBOf(Palette.Face));
    EXPECT_EQ(Background(2, 2), RGBOf(Palette.Accent));
    EXPECT_EQ(Background(3, 3), Red); // a cell with its own colour keeps it

    Grid->SetUseStyleServices(false);
    Paint();
    EXPECT_EQ(Background(0, 2), RGBOf(clBtnFace));
}

TEST_F(PaintedGrid, PasswordCellsAndEmptyFilterCellsShowStandInText)
{
    Grid->SetWordWrap(false);
    Grid->SetColWidths(1, 120);
    Grid->SetCells(1, 2, u"secret");
    Grid->SetCells(1, 3, u"******");
    Grid->OnIsPasswordCell = [](TObject*, int ARow, int, bool& Password) { Password = ARow == 2; };
    Paint();
    const TRect Masked = CellInk(1, 2), Stars = CellInk(1, 3);
    ASSERT_FALSE(Masked.IsEmpty());
    EXPECT_EQ(Masked.Width(), Stars.Width());
    EXPECT_EQ(Masked.Height(), Stars.Height());

    // An empty filter edit cell shows its condition type's name in grey.
    Grid->SetFixedRows(2);
    TStringList Names;
    for (const char16_t* Name : { u"Starts with", u"Ends with", u"Contains" })
        Names.Add(Name);
    Grid->GetFilterEdit()->SetTypeNames(&Names);
    Grid->GetFilterEdit()->SetRow(1);
    Grid->GetFilterEdit()->SetEnabled(true);
    Paint();
    auto Grey = [](TColor C) { return GetRValue(C) < 0xC0 && GetRValue(C) == GetGValue(C) && GetGValue(C) == GetBValue(C); };
    const TRect R = Grid->CellRect(1, 1);
    const TRect Name = InkBounds(TRect(R.Left + 18, R.Top, R.Right, R.Bottom), Grey);
    EXPECT_GT(Name.Width(), 30);
}

TEST_F(PaintedGrid, EditorButtonsThatAlwaysShowAreDrawnInNormalCells)
{
    Grid->SetColWidths(1, 100);
    Grid->GetControlLook()->SetDropDownAlwaysVisible(true);
    Grid->SetDefaultEditor(edComboList);
    Paint();
    // The classic drop-down button: a raised face with a black arrow near the right.
    const TRect R = Grid->CellRect(1, 2);
    const TRect Arrow = InkBounds(TRect(R.Right - 18, R.Top, R.Right, R.Bottom), [](TColor C) { return C == 0; });
    ASSERT_FALSE(Arrow.IsEmpty());
    const TRect Face(R.Right - 18, R.Top + 2, R.Right - 2, R.Bottom - 2);
    EXPECT_GT(Count(Face, RGBOf(clBtnFace)), Face.Width() * Face.Height() / 2);
    const TRect Fixed = Grid->CellRect(1, 0);
    EXPECT_TRUE(InkBounds(TRect(Fixed.Right - 18, Fixed.Top, Fixed.Right, Fixed.Bottom),
        [](TColor C) { return C == 0; }).IsEmpty());
}

TEST_F(PaintedGrid, AnAreaWhoseBaseIsInAnotherStoredColumnPaintsThroughTheBasesDisplayColumn)
{
    Grid->SetColCount(12);
    // Real column 1 hidden: real columns 2 and 3 show as display columns 1 and 2.
    TDedOzovedUradTestAccess::HideColumnFlag(*Grid, 1);
    Grid->MergeCells(2, 2, 2, 1);
    Grid->GetCellProperties(2, 2)->SetBrushColor(Red);
    int Painted = 0;
    Grid->OnCustomCellDraw = [&Painted](TObject*, TCanvas*, int ACol, int ARow, TGridDrawState, TRect, bool) {
        Painted += ACol == 2 && ARow == 2;
    };
    // The base (display column 1) scrolled out of view: the covered cell
    // in view paints the area.
    Grid->SetLeftCol(2);
    ASSERT_EQ(Grid->GetLeftCol(), 2);
    Paint();
    EXPECT_EQ(Painted, 1);
    const TRect Covered = Grid->CellRect(2, 2);
    EXPECT_EQ(At(Covered.Right - 5, Covered.Bottom - 5), Red);
    EXPECT_EQ(Count(TRect(0, Covered.Top, Grid->GetColWidths(0), Covered.Bottom), Red), 0); // not over the fixed column
    EXPECT_NE(Background(3, 2), Red); // display column 3 is real column 4
}

TEST_F(PaintedGrid, TheRowUnderTheFloatingFooterPaintsBlank)
{
    Grid->SetColor(Green);
    const int Last = Grid->GetRowCount() - 1;
    Grid->SetCells(1, Last, u"WWWW");
    Grid->GetCellProperties(2, Last)->SetBrushColor(Red);
    Grid->SetHideLastRow(true);
    Paint();
    const TRect Row(0, Grid->CellRect(0, Last).Top, Grid->CellRect(4, Last).Right, Grid->CellRect(0, Last).Bottom);
    EXPECT_EQ(Count(Row, Green), Row.Width() * Row.Height()); // fixed cell, text and cell colour alike
}
