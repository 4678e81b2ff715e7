// Printing the grid: page layout, the page header and footer, printed
// cells and their graphics, followed through the engine's recorder while
// the grid prints into a PDF file; and the export and print settings.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "grid/core/CellPainters.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/views/print/GridPrintJob.h"
#include "platform/rtl/DateUtils.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Printers.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

using namespace gridfiletest;

namespace {

// ---- settings ----

TEST(HTMLSettings, DefaultsAndAssignLeavesExportImagesAndColWidths)
{
    TDedOzovedUrad G { nullptr };
    THTMLSettings* H = G.GetHTMLSettings();
    EXPECT_EQ(H->GetImageFolder(), u"images");
    EXPECT_EQ(H->GetImageBaseName(), u"img");
    EXPECT_EQ(H->GetBorderSize(), 1);
    EXPECT_EQ(H->GetWidth(), 100);
    EXPECT_TRUE(H->GetSaveColor());
    EXPECT_TRUE(H->GetExportImages());

    THTMLSettings Src;
    Src.SetBorderSize(3);
    Src.SetSummary(u"sum");
    Src.SetXHTML(true);
    Src.SetImageFolder(u"pics");
    Src.SetExportImages(false);
    Src.GetColWidths()->Add(40);
    G.SetHTMLSettings(&Src);
    EXPECT_EQ(H->GetBorderSize(), 3);
    EXPECT_EQ(H->GetSummary(), u"sum");
    EXPECT_TRUE(H->GetXHTML());
    EXPECT_EQ(H->GetImageFolder(), u"pics");
    EXPECT_TRUE(H->GetExportImages()) << "not copied";
    EXPECT_EQ(H->GetColWidths()->GetCount(), 0) << "not copied";
}

TEST(PrintSettings, DefaultsAssignExclusionsAndNilSources)
{
    TDedOzovedUrad G { nullptr };
    TPrintSettings* S = G.GetPrintSettings();
    EXPECT_EQ(S->GetDateFormat(), u"dd/mm/yyyy");
    EXPECT_EQ(S->GetPageNumSep(), u"/");
    EXPECT_EQ(S->GetBorders(), pbSingle);
    EXPECT_TRUE(S->GetCentered());
    EXPECT_TRUE(S->GetUseDisplayFont());
    EXPECT_TRUE(S->GetPrintComments());

    TPrintSettings Src;
    Src.SetTitleText(u"T");
    Src.GetTitleLines()->Add(u"line");
    Src.GetFont()->SetSize(14);
    Src.SetScaleHeader(false);
    Src.SetFixedCellsAlways(true);
    Src.SetPrintComments(false);
    S->Assign(&Src);
    EXPECT_EQ(S->GetTitleText(), u"T");
    EXPECT_EQ(S->GetTitleLines()->GetText(), Src.GetTitleLines()->GetText());
    EXPECT_EQ(S->GetFont()->GetSize(), 14);
    EXPECT_TRUE(S->GetScaleHeader()) << "public ScaleHeader stays";
    EXPECT_FALSE(S->GetFixedCellsAlways()) << "public FixedCellsAlways stays";
    EXPECT_FALSE(S->GetPrintComments()) << "PrintComments is copied";

    // A nil source raises the invalid-cast error, as another class does.
    EXPECT_THROW(S->Assign(nullptr), EInvalidCast);
    THTMLSettings Other;
    EXPECT_THROW(S->Assign(&Other), EInvalidCast);
    S->SetFont(nullptr);
    EXPECT_EQ(S->GetFont()->GetSize(), 14) << "a nil font keeps the current one";
}

// ---- printing through the recorder ----

struct TPrintFixture : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    std::vector<TGridPrintOp> Ops;
    testsupport::TempDir Dir;
    std::unique_ptr<TPrinter> Old;

    void SetUp() override
    {
        SetGridPrintRecorder([this](const TGridPrintOp& Op) { Ops.push_back(Op); });
        Old = SetPrinter(std::make_unique<TPrinter>());
        Printer()->SetOutputFile(P(Dir / "out.pdf"));
        G.SetPrintClock([] { return EncodeDateTime(2026, 3, 4, 13, 5, 0, 0); });
        G.GetPrintSettings()->GetFont()->SetName(u"Arial");
        G.GetPrintSettings()->GetFont()->SetSize(10);
    }
    void TearDown() override
    {
        SetGridPrintRecorder({});
        SetPrinter(std::move(Old));
    }
    // Cells "c:r", one fixed row of "Hc".
    void Fill(int Cols, int Rows)
    {
        G.SetColCount(Cols);
        G.SetRowCount(Rows);
        G.SetFixedRows(1);
        G.SetFixedCols(0);
        for (int c = 0; c < Cols; ++c) {
            G.SetCellEx(c, 0, u"H" + IntToStr(c));
            for (int r = 1; r < Rows; ++r)
                G.SetCellEx(c, r, IntToStr(c) + u":" + IntToStr(r));
        }
    }
    std::vector<const TGridPrintOp*> Texts(int Page = 0)
    {
        std::vector<const TGridPrintOp*> R;
        for (const auto& Op : Ops)
            if (Op.Kind == TGridPrintOp::opText && (Page == 0 || Op.Page == Page))
                R.push_back(&Op);
        return R;
    }
    const TGridPrintOp* FindText(const String& T, int Page = 0)
    {
        for (const auto* Op : Texts(Page))
            if (Op->Text == T)
                return Op;
        return nullptr;
    }
    std::set<int> Pages()
    {
        std::set<int> R;
        for (const auto& Op : Ops)
            R.insert(Op.Page);
        return R;
    }
    // Cell texts printed on a page, in order.
    std::vector<String> CellTexts(int Page)
    {
        std::vector<String> R;
        for (const auto* Op : Texts(Page))
            if (Op->Text.find(u':') != String::npos || (Op->Text.size() == 2 && Op->Text[0] == u'H'))
                R.push_back(Op->Text);
        return R;
    }
};

// Enough rows for three pages of A4 at 10 points.
constexpr int ThreePageRows = 150;

TEST_F(TPrintFixture, ASmallGridIsOnePageCountedAndDrawnAndPrintDoneFiresTwice)
{
    Fill(3, 5);
    int Done = 0, StartPages = 0;
    G.OnPrintDone = [&](TObject*) { ++Done; };
    G.OnPrintStart = [&](TObject*, int N, int&, int&) { StartPages = N; };
    G.Print();
    EXPECT_EQ(StartPages, 1);
    EXPECT_EQ(G.GetPrintNrOfPages(), 1);
    EXPECT_EQ(Done, 2) << "counting pass and drawing pass";
    EXPECT_EQ(Pages(), std::set<int>({ 1 }));
    EXPECT_NE(FindText(u"2:4"), nullptr);
    EXPECT_NE(FindText(u"H0"), nullptr);
    EXPECT_TRUE(std::filesystem::exists(Dir / "out.pdf"));
}

TEST_F(TPrintFixture, ThreePagesWithRepeatedFixedRowsAndPageBreaksOfTheCount)
{
    Fill(3, ThreePageRows);
    G.GetPrintSettings()->SetRepeatFixedRows(true);
    std::vector<int> Done;
    G.OnPrintPageDone = [&](TObject*, TCanvas*, int LastRow, int, int, int, int) { Done.push_back(LastRow); };
    G.Print();
    ASSERT_EQ(G.GetPrintNrOfPages(), 3);
    EXPECT_EQ(Pages(), std::set<int>({ 1, 2, 3 }));
    ASSERT_EQ(Done.size(), 3u);
    for (int Page = 1; Page <= 3; ++Page) {
        SCOPED_TRACE(Page);
        const auto Cells = CellTexts(Page);
        ASSERT_FALSE(Cells.empty());
        EXPECT_EQ(Cells[0], u"H0") << "every page starts with the fixed row";
        const int FirstRow = Page == 1 ? 1 : Done[std::size_t(Page - 2)];
        EXPECT_EQ(Cells[3], u"0:" + IntToStr(FirstRow));
    }
    EXPECT_EQ(Done.back(), ThreePageRows);
}

TEST_F(TPrintFixture, PrintStartRefusingTheRangePrintsNothing)
{
    Fill(3, 5);
    int PageEvents = 0;
    G.OnPrintStart = [](TObject*, int, int& From, int& To) {
        From = 3;
        To = 2;
    };
    G.OnPrintPage = [&](TObject*, TCanvas*, int, int, int) { ++PageEvents; };
    G.Print();
    EXPECT_EQ(PageEvents, 0);
    EXPECT_TRUE(Texts().empty());
    EXPECT_FALSE(std::filesystem::exists(Dir / "out.pdf"));
}

TEST_F(TPrintFixture, ARowTallerThanThePagePrintsAloneOnItsPage)
{
    Fill(2, 6);
    G.OnPrintSetRowHeight = [](TObject*, int ARow, int& Height) {
        if (ARow == 3)
            Height = 5000;
    };
    G.Print();
    ASSERT_EQ(G.GetPrintNrOfPages(), 3);
    EXPECT_EQ(CellTexts(2), (std::vector<String> { u"0:3", u"1:3" }));
    EXPECT_EQ(CellTexts(3).front(), u"0:4");
}

TEST_F(TPrintFixture, SelectedRowsWithFixedCellsAlwaysPrintTheFixedRowAndThoseRows)
{
    Fill(2, 10);
    G.GetMouseActions()->SetDisjunctRowSelect(true);
    for (int r : { 2, 5, 8 })
        G.SetRowSelect(r, true);
    G.GetPrintSettings()->SetFixedCellsAlways(true);
    G.PrintSelectedRows();
    EXPECT_EQ(CellTexts(1), (std::vector<String> { u"H0", u"H1", u"0:2", u"1:2", u"0:5", u"1:5", u"0:8", u"1:8" }));
}

// Fitting counts the widths and pads of the printed columns only.
TEST_F(TPrintFixture, FitToPageShrinksGrowsOrBothOverThePrintedColumns)
{
    const struct {
        TFitToPage Fit;
        bool Wide, Changes;
    } Cases[] = {
        { fpShrink, false, false },
        { fpShrink, true, true },
        { fpGrow, true, false },
        { fpGrow, false, true },
        { fpAlways, false, true },
        { fpAlways, true, true },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Fit << (C.Wide ? " wide" : " narrow"));
        TDedOzovedUrad& Grid = G;
        Fill(4, 3);
        TPrintSettings* S = Grid.GetPrintSettings();
        S->SetNoAutoSize(true);
        S->SetCentered(false);
        for (int c = 0; c < 4; ++c)
            Grid.SetColWidths(c, C.Wide ? 400 : 40);
        S->SetFitToPage(fpNever);
        Grid.Print();
        const int Plain = Grid.GetPrintColWidth(1);
        S->SetFitToPage(C.Fit);
        Grid.Print();
        const int Fitted = Grid.GetPrintColWidth(1);
        EXPECT_EQ(Fitted != Plain, C.Changes) << Plain << " " << Fitted;
        if (C.Changes) {
            int Sum = 0;
            for (int c = 0; c < 4; ++c)
                Sum += Grid.GetPrintColWidth(c);
            const int W = Grid.GetPrintPageRect().Right - S->GetLeftSize() - S->GetRightSize();
            EXPECT_NEAR(Sum, W, 4);
        }
    }
    // Only two of four columns print: they fill the page between them.
    G.GetMouseActions()->SetDisjunctColSelect(true);
    G.SetColSelect(1, true);
    G.SetColSelect(3, true);
    G.GetPrintSettings()->SetFitToPage(fpAlways);
    G.PrintSelectedCols();
    const int W = G.GetPrintPageRect().Right;
    EXPECT_NEAR(G.GetPrintColWidth(1) + G.GetPrintColWidth(3), W, 4);
    EXPECT_EQ(G.GetPrintColWidth(0), 0);
}

// A column wider than the page takes a column page of its own.
TEST_F(TPrintFixture, EachColumnWiderThanThePageTakesItsOwnColumnPage)
{
    Fill(3, 3);
    G.GetPrintSettings()->SetNoAutoSize(true);
    for (int c = 0; c < 3; ++c)
        G.SetColWidths(c, 1200);
    G.Print();
    EXPECT_EQ(G.GetPrintNrOfPages(), 3);
    for (int Page = 1; Page <= 3; ++Page) {
        SCOPED_TRACE(Page);
        const auto Cells = CellTexts(Page);
        ASSERT_FALSE(Cells.empty());
        EXPECT_EQ(Cells[0], u"H" + IntToStr(Page - 1));
    }
}

// ---- page header and footer ----

TEST_F(TPrintFixture, HeaderAndFooterTexts)
{
    using namespace DedOzovedUrad;
    Fill(3, 5);
    TPrintSettings* S = G.GetPrintSettings();
    S->SetDate(ppTopLeft);
    S->SetTime(ppTopLeft);
    S->SetPageNr(ppBottomRight);
    S->SetTitle(ppTopCenter);
    S->SetTitleText(u"Listing");
    G.Print();
    EXPECT_NE(FindText(u"04/03/2026 13:05 ", 1), nullptr) << "date before time at the top left";
    EXPECT_NE(FindText(u"  1 ", 1), nullptr) << "a single page has no total; spaces stay";
    const TGridPrintOp* Title = FindText(u"Listing", 1);
    ASSERT_NE(Title, nullptr);
    const TGridPrintOp* Date = FindText(u"04/03/2026 13:05 ", 1);
    EXPECT_GT(Title->R.Left, Date->R.Left);
    const TGridPrintOp* Number = FindText(u"  1 ", 1);
    EXPECT_LT(Number->R.Top, FindText(u"2:4", 1)->R.Top) << "the footer lies below the cells";
}

TEST_F(TPrintFixture, PageNumbersWithTotalsOffsetsAndColumnPages)
{
    using namespace DedOzovedUrad;
    TPrintSettings* S = G.GetPrintSettings();
    S->SetPageNr(ppBottomRight);
    Fill(2, ThreePageRows);
    G.Print();
    EXPECT_NE(FindText(u"  1/3 ", 1), nullptr);
    EXPECT_NE(FindText(u"  3/3 ", 3), nullptr);

    Ops.clear();
    S->SetPageNumberOffset(10);
    S->SetMaxPagesOffset(10);
    S->SetPagePrefix(u"p.");
    G.Print();
    EXPECT_NE(FindText(u" p. 11/13 ", 1), nullptr);

    // Without a counting pass the total is unknown and left out.
    Ops.clear();
    S->SetPageNumberOffset(0);
    S->SetMaxPagesOffset(0);
    S->SetPagePrefix(String());
    G.SetFastPrint(true);
    G.Print();
    EXPECT_NE(FindText(u"  2 ", 2), nullptr);
    G.SetFastPrint(false);

    // Two column pages: row page, then column page.
    Ops.clear();
    S->SetNoAutoSize(true);
    G.SetColWidths(0, 1200);
    G.SetColWidths(1, 1200);
    G.Print();
    EXPECT_NE(FindText(u"  1-1 ", 1), nullptr);
    EXPECT_NE(FindText(u"  2-1 ", 2), nullptr);
    const int Half = G.GetPrintNrOfPages() / 2;
    EXPECT_NE(FindText(u"  1-2 ", Half + 1), nullptr);
    EXPECT_NE(FindText(u"  2-2 ", Half + 2), nullptr);
}

TEST_F(TPrintFixture, PagesOutsideTheRangeGetNothing)
{
    using namespace DedOzovedUrad;
    G.GetPrintSettings()->SetPageNr(ppBottomCenter);
    Fill(2, ThreePageRows);
    std::vector<int> Breaks[2];
    int Pass = 0;
    G.OnPrintPageDone = [&](TObject*, TCanvas*, int LastRow, int, int, int, int) {
        Breaks[Pass].push_back(LastRow);
    };
    G.Print();
    Pass = 1;
    Ops.clear();
    G.OnPrintStart = [](TObject*, int, int& From, int& To) { From = To = 2; };
    G.Print();
    EXPECT_EQ(Pages(), std::set<int>({ 2 }));
    EXPECT_NE(FindText(u"  2/3 ", 2), nullptr);
    EXPECT_EQ(Breaks[0], Breaks[1]) << "undrawn rows keep their room";
}

TEST_F(TPrintFixture, MultiLineAndMarkedUpTitlesCountAsTheyDraw)
{
    using namespace DedOzovedUrad;
    Fill(2, ThreePageRows);
    TPrintSettings* S = G.GetPrintSettings();
    S->SetTitle(ppTopLeft);
    for (const String& Lines : { String(u"One\r\nTwo\r\nThree\r\nFour\r\nFive"), String(u"<b>Big</b><br>two<br>three") }) {
        SCOPED_TRACE(StringToUtf8(Lines));
        S->GetTitleLines()->SetText(Lines);
        int Counted = 0;
        G.OnPrintStart = [&](TObject*, int N, int&, int&) { Counted = N; };
        Ops.clear();
        G.Print();
        EXPECT_EQ(*Pages().rbegin(), Counted);
        // The first row lies below the title.
        const TGridPrintOp* First = FindText(u"H0", 1);
        ASSERT_NE(First, nullptr);
        int TitleBottom = 0;
        for (const auto* Op : Texts(1))
            if (Op->Text == u"Five")
                TitleBottom = Op->R.Top;
            else if (Op->Text.find(u"<b>") != String::npos)
                TitleBottom = Op->R.Bottom;
        EXPECT_LT(First->R.Top, TitleBottom);
    }
}

// ---- printed cells ----

TEST_F(TPrintFixture, MergedCellsPrintOnceAndCoveredCellsDrawNoLines)
{
    Fill(3, 4);
    G.MergeCells(0, 1, 2, 2);
    G.SetCellEx(0, 1, u"merged");
    G.Print();
    EXPECT_NE(FindText(u"merged"), nullptr);
    EXPECT_EQ(FindText(u"1:1"), nullptr);
    EXPECT_EQ(FindText(u"1:2"), nullptr);
    EXPECT_NE(FindText(u"2:1"), nullptr);
}

TEST_F(TPrintFixture, CellFillsAndBorders)
{
    Fill(2, 3);
    G.GetPrintSettings()->SetNoAutoSizeRow(true);
    G.MergeCells(1, 1, 1, 2);
    G.GetPrintSettings()->SetBorders(pbNoborder);
    G.OnGetCellPrintColor = [](TObject*, int ARow, int ACol, TGridDrawState, TBrush* B, TFont*) {
        if (ARow >= 1)
            B->SetColor(ACol == 0 ? TColor(0x00FFFF) : TColor(0xFF00FF));
    };
    G.Print();
    std::vector<TRect> Yellow, Pink;
    int Lines = 0;
    for (const auto& Op : Ops) {
        if (Op.Kind == TGridPrintOp::opFill && Op.Color == TColor(0x00FFFF))
            Yellow.push_back(Op.R);
        if (Op.Kind == TGridPrintOp::opFill && Op.Color == TColor(0xFF00FF))
            Pink.push_back(Op.R);
        if (Op.Kind == TGridPrintOp::opLine)
            ++Lines;
    }
    ASSERT_EQ(Yellow.size(), 2u);
    ASSERT_EQ(Pink.size(), 1u) << "the merged cell fills once";
    EXPECT_EQ(Lines, 0) << "no borders";
    // Without borders the fill starts two pen widths in from the corner.
    const int Left1 = G.GetPrintColOffset(1);
    EXPECT_EQ(Pink[0].Left, Left1 + 2);
    // The two-row span: 2 x (row height - 4 + gap + spacing), the fill
    // starting 2 lower.
    const int Single = Yellow[0].Top - Yellow[0].Bottom;
    const int Span = Pink[0].Top - Pink[0].Bottom;
    EXPECT_EQ(Span, 2 * (Single + 2) - 16 - 2);
}

TEST_F(TPrintFixture, ClearBackgroundWithABlueGradientEndPrintsPlainBlue)
{
    Fill(1, 2);
    G.OnGetCellGradient = [](TObject*, int ARow, int, TColor& Color, TColor& ColorTo, TColor&, TColor&,
                              TCellGradientDirection&) {
        if (ARow == 1) {
            Color = clNone;
            ColorTo = clBlue;
        }
    };
    G.Print();
    std::vector<TColor> Row1;
    const TGridPrintOp* Cell = FindText(u"0:1");
    ASSERT_NE(Cell, nullptr);
    for (const auto& Op : Ops)
        if (Op.Kind == TGridPrintOp::opFill && Op.R.Top >= Cell->R.Top && Op.R.Bottom < Cell->R.Top)
            Row1.push_back(Op.Color);
    EXPECT_EQ(Row1, std::vector<TColor> { clBlue }) << "one plain blue fill, no gradient bands";
}

TEST_F(TPrintFixture, PasswordCellsRotatedLinesAndEmptyCells)
{
    Fill(3, 2);
    G.SetColCount(4);
    G.SetCellEx(0, 1, u"secret");
    G.OnIsPasswordCell = [](TObject*, int ARow, int ACol, bool& Is) { Is = ACol == 0 && ARow == 1; };
    G.SetMultilinecells(true);
    G.AddRotated(1, 1, 90, u"a\r\nb\r\nc");
    G.SetCellEx(3, 0, String());
    G.SetCellEx(3, 1, String());
    G.Print();
    EXPECT_NE(FindText(u"******"), nullptr);
    EXPECT_EQ(FindText(u"secret"), nullptr);
    const TGridPrintOp *A = FindText(u"a"), *B = FindText(u"b"), *C = FindText(u"c");
    ASSERT_TRUE(A && B && C);
    EXPECT_NE(A->Escapement, 0);
    EXPECT_EQ(A->R.Top, B->R.Top);
    EXPECT_GT(B->R.Left, A->R.Left);
    EXPECT_EQ(C->R.Left - B->R.Left, B->R.Left - A->R.Left) << "each line one text height further right";
    // An empty column is as wide as "gh".
    HDC DC = CreateCompatibleDC(nullptr);
    TCanvas M;
    M.SetHandle(DC);
    SetMapMode(DC, MM_LOMETRIC);
    M.GetFont()->Assign(G.GetPrintSettings()->GetFont());
    M.GetFont()->SetHeight(G.MapFontHeight(10));
    const int gh = M.TextWidth(u"gh");
    M.SetHandle(nullptr);
    DeleteDC(DC);
    EXPECT_NEAR(G.GetPrintColWidth(3), gh, 2);
}

// ---- printed cell graphics ----

struct TSelfDrawn : TObject, IGridCellObject {
    TSize Seen;
    void Draw(TCanvas*, TRect Rect, int, int, bool, TDedOzovedUrad*) override
    {
        Seen = TSize { Rect.Width() + 1, Rect.Height() + 1 };
    }
    int GetWidth() override { return 0; }
    int GetHeight() override { return 0; }
    bool IsBackground() override { return false; }
};

TEST_F(TPrintFixture, CellGraphics)
{
    Fill(4, 8);
    TPrintSettings* S = G.GetPrintSettings();
    S->SetPrintGraphics(true);
    TImageList Images(16, 16);
    TBitmap Strip;
    Strip.SetSize(48, 16);
    Images.Add(&Strip, nullptr);
    G.SetGridImages(&Images);
    // Images in a row and in a column.
    TIntList* Row = G.AddMultiImage(0, 1, 0, haLeft, vaTop);
    TIntList* Col = G.AddMultiImage(1, 1, 1, haLeft, vaTop);
    for (int i = 0; i < 3; ++i) {
        Row->Add(i);
        Col->Add(i);
    }
    G.AddComment(2, 1, u"note");
    G.AddNode(3, 2);
    G.SetCellEx(0, 2, u"12");
    G.AddProgress(1, 2, clRed, clWhite);
    G.SetCellEx(1, 2, u"not a number");
    G.AddDataImage(2, 2, 0, haLeft, vaTop);
    G.SetCellEx(2, 2, u"text");
    G.AddImageIdx(3, 2, 7, haLeft, vaTop);
    G.CreateFilePicture(0, 4, false, noStretch, 0, haLeft, vaTop)->SetFilename(P(Dir / "gone.png"));
    G.GetControlLook()->SetControlStyle(RirEvoz::csFlat);
    G.AddCheckBox(1, 4, true, false);
    TSelfDrawn Obj;
    G.AddInterfacedCell(2, 4, &Obj);
    G.Print();

    std::map<String, std::vector<TRect>> Drawn;
    for (const auto& Op : Ops)
        if (Op.Kind == TGridPrintOp::opGraphic)
            Drawn[Op.Text].push_back(Op.R);
    ASSERT_EQ(Drawn[u"image"].size(), 6u) << "three images twice; a data image on text and the index 7 outside "
                                             "the list print nothing";
    const auto& I = Drawn[u"image"];
    EXPECT_EQ(I[1].Top, I[0].Top);
    EXPECT_GT(I[1].Left, I[0].Left) << "side by side";
    EXPECT_EQ(I[4].Left, I[3].Left);
    EXPECT_LT(I[4].Top, I[3].Top) << "stacked downwards";
    EXPECT_EQ(Drawn[u"comment"].size(), 1u);
    EXPECT_EQ(Drawn.count(u"file picture"), 0u) << "a removed file picture prints only its text";
    EXPECT_EQ(Drawn[u"flat checked box"].size(), 1u);
    ASSERT_EQ(Drawn[u"progress"].size(), 1u) << "a text in a progress cell prints the bar at 0";
    for (const auto& Op : Ops)
        if (Op.Kind == TGridPrintOp::opGraphic && Op.Text == u"progress") {
            EXPECT_EQ(Op.Color, TColor(ColorToRGB(clRed) ^ 0xFFFFFF));
            EXPECT_EQ(TColor(Op.Width), TColor(ColorToRGB(clWhite) ^ 0xFFFFFF));
        }
    ASSERT_EQ(Drawn.count(u"object 0x0"), 0u);
    bool Object = false;
    for (const auto& [Name, Rects] : Drawn)
        if (Name.rfind(u"object ", 0) == 0) {
            Object = true;
            EXPECT_GT(Obj.Seen.cx, 1) << "drawn into a bitmap the size of the graphic rectangle";
        }
    EXPECT_TRUE(Object);

    // Comments need PrintComments; nothing prints without PrintGraphics.
    Ops.clear();
    S->SetPrintComments(false);
    G.Print();
    for (const auto& Op : Ops)
        EXPECT_NE(Op.Text, u"comment");
    Ops.clear();
    S->SetPrintComments(true);
    S->SetPrintGraphics(false);
    G.Print();
    for (const auto& Op : Ops)
        EXPECT_NE(Op.Kind, TGridPrintOp::opGraphic);
    G.SetGridImages(nullptr);
}

} // namespace
