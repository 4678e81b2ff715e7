// Painting of cell objects, headless: a grid on a form is painted into an
// offscreen bitmap and probed pixel by pixel.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "GridDataViewsDouble.h"
#include "grid/core/CellPainters.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPainters.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/PngImage.h"

namespace {

constexpr TColor White = TColor(0xFFFFFF);
constexpr TColor Blue = TColor(0xFF0000);
constexpr TColor Red = TColor(0x0000FF);
constexpr TColor Green = TColor(0x00FF00);
constexpr TColor Yellow = TColor(0x00FFFF);
constexpr TColor Silver = TColor(0xC0C0C0);

bool IsInk(TColor C) { return GetRValue(C) < 0x90 && GetGValue(C) < 0x90 && GetBValue(C) < 0x90; }

std::filesystem::path OutputDir()
{
    const char* env = std::getenv("QT_TEST_OUTPUT_DIR");
    std::filesystem::path dir
        = env && *env ? std::filesystem::path(env) : std::filesystem::current_path() / "test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

struct ObjectPaint : ::testing::Test {
    TRecordingDataViewsScope Views;
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TDedOzovedUrad* Grid = nullptr;
    TBitmap Surface;

    void SetUp() override
    {
        Form->SetBounds(0, 0, 800, 600);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 700, 400);
        Form->HandleNeeded();
        Grid->HandleNeeded();
        Grid->SetLook(glStandard);
        Grid->SetColCount(5);
        Grid->SetRowCount(8);
        for (int c = 1; c < 5; ++c)
            Grid->SetColWidths(c, 124);
        for (int r = 1; r < 8; ++r)
            Grid->SetRowHeights(r, 26);
    }
    void Paint()
    {
        Surface.SetSize(Grid->GetClientWidth(), Grid->GetClientHeight());
        Grid->PaintTo(Surface.GetCanvas()->GetHandle(), 0, 0);
    }
    TColor At(int X, int Y) { return TColor(Surface.GetCanvas()->GetPixel(X, Y) & 0xFFFFFF); }
    template<class Pred>
    int Count(const TRect& R, Pred P)
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += P(At(x, y));
        return n;
    }
    int Count(const TRect& R, TColor C)
    {
        return Count(R, [C](TColor P) { return P == C; });
    }
    std::vector<TColor> Pixels(const TRect& R)
    {
        std::vector<TColor> V;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                V.push_back(At(x, y));
        return V;
    }
    // Bar pixels on one line near the top of a progress cell.
    int BarWidth(int ACol, int ARow, TColor C)
    {
        const TRect R = Grid->CellRect(ACol, ARow);
        return Count(TRect(R.Left, R.Top + 3, R.Right, R.Top + 4), C);
    }
};

} // namespace

TEST_F(ObjectPaint, ProgressBarsFillTheirShareAndNeverFailOnText)
{
    struct Case {
        const char* Name;
        const char16_t* Text;
        int Min, Max;
        const char16_t* Format;
        int Percent;
    };
    const Case Cases[] = {
        { "plain 40", u"40", 0, 100, u"", 40 },
        { "over 100 fills the bar", u"130", 0, 100, u"", 100 },
        { "below 0 fills nothing", u"-5", 0, 100, u"", 0 },
        { "text counts as 0", u"abc", 0, 100, u"", 0 },
        { "formatted half", u"5", 0, 10, u"%d items", 50 },
        { "empty range draws an empty bar", u"5", 10, 10, u"%d", 0 },
        { "inverted range draws an empty bar", u"5", 10, 0, u"%d", 0 },
        { "a bad format still fills", u"5", 0, 10, u"%s %s %s", 50 },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        Grid->AddProgressFormatted(1, 1, Blue, White, White, TColor(0), c.Format, c.Min, c.Max, 1);
        Grid->SetCells(1, 1, c.Text);
        ASSERT_NO_THROW(Paint());
        const int Inner = Grid->CellRect(1, 1).Width() + 1 - 2 * Grid->GetControlLook()->GetProgressMarginX();
        EXPECT_NEAR(BarWidth(1, 1, Blue), Inner * c.Percent / 100, 2);
    }
    // The colour hook sees and changes the four colours.
    Grid->OnProgressColor = [](TObject*, int, int, TColor& FG, TColor&, TColor&, TColor&) { FG = Green; };
    Grid->SetCells(1, 1, u"100");
    Paint();
    EXPECT_GT(BarWidth(1, 1, Green), 50);
    EXPECT_EQ(BarWidth(1, 1, Blue), 0);
}

TEST_F(ObjectPaint, ThemedProgressWithAnEmptyRangeOrTextDrawsAnEmptyBar)
{
    Grid->GetProgressAppearance()->SetShowGradient(false);
    Grid->GetProgressAppearance()->SetShowPercentage(false);
    const TColor Level0 = Grid->GetProgressAppearance()->GetLevel0Color();
    Grid->AddLumProgress(1, 1, 0, 100);
    Grid->SetCells(1, 1, u"50");
    Grid->AddLumProgress(1, 2, 20, 20);
    Grid->SetCells(1, 2, u"50");
    Grid->AddLumProgress(1, 3, 0, 100);
    Grid->SetCells(1, 3, u"n/a");
    ASSERT_NO_THROW(Paint());
    EXPECT_GT(Count(Grid->CellRect(1, 1), Level0), 100);
    EXPECT_EQ(Count(Grid->CellRect(1, 2), Level0), 0);
    EXPECT_EQ(Count(Grid->CellRect(1, 3), Level0), 0);
}

TEST_F(ObjectPaint, RatingShowsFullHalfAndEmptyStars)
{
    Grid->AddRating(1, 1, 5, Yellow, Silver);
    Grid->SetCells(1, 1, u"3.7");
    Paint();
    const TRect R = Grid->CellRect(1, 1);
    // The stars start one pixel inside the cell's text inset.
    int Left = R.Left;
    while (Left < R.Right && Count(TRect(Left, R.Top, Left + 1, R.Bottom), Yellow) == 0)
        ++Left;
    // Inside the grid lines.
    auto Slot = [&](int i) { return TRect(Left + 18 * i, R.Top + 1, Left + 18 * i + 16, R.Bottom - 1); };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(Count(Slot(i), Yellow), 40);
        EXPECT_EQ(Count(Slot(i), Silver), 0);
    }
    EXPECT_GT(Count(Slot(3), Yellow), 10) << "half filled";
    EXPECT_GT(Count(Slot(3), Silver), 10) << "half empty";
    EXPECT_EQ(Count(Slot(4), Yellow), 0);
    EXPECT_GT(Count(Slot(4), Silver), 40);
    // The text of a rating cell is not drawn.
    EXPECT_EQ(Count(R, IsInk), 0);
}

TEST_F(ObjectPaint, ImagesOutsideTheListOrFromTextDrawNothing)
{
    TImageList Images(16, 16);
    TBitmap Red16(16, 16);
    VuzEraz::FillRectColor(Red16.GetCanvas(), TRect(0, 0, 16, 16), Red);
    Images.AddMasked(&Red16, clNone);
    Grid->SetGridImages(&Images);
    Grid->AddImageIdx(1, 1, 0, haLeft, vaTop);
    Grid->AddImageIdx(1, 2, 5, haLeft, vaTop);
    Grid->AddDataImage(1, 3, 0, haLeft, vaTop);
    Grid->SetCells(1, 4, u"abc");
    Grid->AddDataImage(1, 4, 0, haLeft, vaTop);
    TIntList* Multi = Grid->AddMultiImage(1, 5, 0, haLeft, vaTop);
    Multi->Add(0);
    Multi->Add(7);
    ASSERT_NO_THROW(Paint());
    EXPECT_EQ(Count(Grid->CellRect(1, 1), Red), 256);
    EXPECT_EQ(Count(Grid->CellRect(1, 2), Red), 0) << "index 5 of a one-image list";
    EXPECT_EQ(Count(Grid->CellRect(1, 3), Red), 256) << "the number 0 in the text";
    EXPECT_EQ(Count(Grid->CellRect(1, 4), Red), 0) << "text is no image number";
    EXPECT_EQ(Count(Grid->CellRect(1, 5), Red), 256) << "only the index inside the list";
}

TEST_F(ObjectPaint, EveryCheckAndRadioStyleShowsItsState)
{
    TBitmap On(12, 12), Off(12, 12);
    // The corner colour is the transparent one.
    VuzEraz::FillRectColor(On.GetCanvas(), TRect(0, 0, 12, 12), White);
    VuzEraz::FillRectColor(On.GetCanvas(), TRect(2, 2, 10, 10), Green);
    VuzEraz::FillRectColor(Off.GetCanvas(), TRect(0, 0, 12, 12), White);
    VuzEraz::FillRectColor(Off.GetCanvas(), TRect(2, 2, 10, 10), Red);
    TControlLook* Look = Grid->GetControlLook();
    // The enabled looks: a read-only grid greys its boxes.
    Look->SetNoDisabledCheckRadioLook(true);
    Look->SetCheckedGlyph(&On);
    Look->SetUnCheckedGlyph(&Off);
    Look->SetRadioOnGlyph(&On);
    Look->SetRadioOffGlyph(&Off);
    Grid->AddCheckBox(1, 1, true, false);
    Grid->AddCheckBox(1, 2, false, false);
    Grid->AddRadioButton(2, 1, true);
    Grid->AddRadioButton(2, 2, false);
    using namespace RirEvoz;
    const RirEvoz::TControlStyle Styles[] = { csClassic, csFlat, csWinXP, csKestrel, csZID, csGlyph, csTheme };
    for (RirEvoz::TControlStyle S : Styles) {
        SCOPED_TRACE(int(S));
        Look->SetControlStyle(S);
        Paint();
        for (int c = 1; c <= 2; ++c) {
            SCOPED_TRACE(c);
            const TRect A = Grid->CellRect(c, 1), B = Grid->CellRect(c, 2);
            const TRect Box(A.Left, A.Top, A.Left + 30, A.Bottom);
            const TRect Box2(B.Left, B.Top, B.Left + 30, B.Bottom);
            EXPECT_GT(Count(Box, [](TColor P) { return P != White; }), 10) << "column " << c;
            EXPECT_NE(Pixels(Box), Pixels(Box2)) << "checked and unchecked look alike in column " << c;
        }
    }
}

TEST_F(ObjectPaint, SortGlyphsNumberTheSortColumnsAndRotatedHeadersKeepThem)
{
    TSortSettings* Sort = Grid->GetSortSettings();
    Sort->SetShow(true);
    Sort->SetColumn(2);
    Paint();
    auto Black = [](TColor P) { return P == TColor(0); };
    const TRect H1 = Grid->CellRect(1, 0), H2 = Grid->CellRect(2, 0);
    EXPECT_GT(Count(H2, Black), 10) << "the sort triangle";
    EXPECT_EQ(Count(H1, Black), 0);

    // The same header turned by 90 degrees keeps its glyph at its top right.
    Grid->AddRotated(2, 0, 90, u"Hdr");
    Paint();
    EXPECT_GT(Count(TRect(H2.Right - 16, H2.Top + 2, H2.Right - 4, H2.Top + 15), Black), 10);

    // Index numbers from 1 on the index colour, one per sort column.
    Grid->RemoveRotated(2, 0);
    Sort->SetIndexShow(true);
    Sort->SetIndexColor(Green);
    Grid->GetSortIndexes().AddIndex(1, true);
    Grid->GetSortIndexes().AddIndex(2, false);
    Grid->GetSortIndexes().AddIndex(3, true);
    Paint();
    std::vector<std::vector<TColor>> Numbers;
    for (int c = 1; c <= 3; ++c) {
        SCOPED_TRACE(c);
        const TRect H = Grid->CellRect(c, 0);
        EXPECT_GT(Count(H, Green), 20) << "the index triangle";
        // The digit: dark ink inside the green triangle.
        TRect Tri(H.Right, H.Bottom, H.Left, H.Top);
        for (int y = H.Top; y < H.Bottom; ++y)
            for (int x = H.Left; x < H.Right; ++x)
                if (At(x, y) == Green) {
                    Tri.Left = std::min(Tri.Left, x);
                    Tri.Right = std::max(Tri.Right, x + 1);
                    Tri.Top = std::min(Tri.Top, y);
                    Tri.Bottom = std::max(Tri.Bottom, y + 1);
                }
        ASSERT_LT(Tri.Left, Tri.Right);
        EXPECT_GT(Count(Tri, IsInk), 3);
        Numbers.push_back(Pixels(TRect(Tri.Left, Tri.Top, Tri.Left + 14, Tri.Top + 13)));
    }
    EXPECT_NE(Numbers[0], Numbers[2]) << "1 and 3 differ";
}

TEST_F(ObjectPaint, NodeGlyphsFollowTheContractedStateOfTheDataViews)
{
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[1] = 3;
    Grid->CreateCellGraphic(0, 1)->SetNode({ 1, false, 3, 0 });
    Grid->SetColWidths(0, 40);
    const TRect Cell = Grid->CellRect(0, 1);
    const TNodeType Types[] = { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
    for (TNodeType T : Types) {
        SCOPED_TRACE(int(T));
        Grid->GetCellNode()->SetNodeType(T);
        Views.Log->ContractedNodes = { 1 };
        Paint();
        const std::vector<TColor> Contracted = Pixels(Cell);
        Views.Log->ContractedNodes.clear();
        Paint();
        const std::vector<TColor> Expanded = Pixels(Cell);
        EXPECT_NE(Contracted, Expanded);
        if (T == cnFlat) {
            // A plus has a vertical stroke the minus lacks.
            const TColor Node = TColor(ColorToRGB(Grid->GetCellNode()->GetNodeColor()) & 0xFFFFFF);
            int Plus = 0, Minus = 0;
            for (TColor C : Contracted)
                Plus += C == Node;
            for (TColor C : Expanded)
                Minus += C == Node;
            EXPECT_GT(Plus, Minus);
        }
    }
}

TEST_F(ObjectPaint, APressedButtonMovesItsCaptionOnePixel)
{
    // A read-only grid would draw its buttons disabled, and never pressed.
    Grid->GetControlLook()->SetNoDisabledButtonLook(true);
    Grid->AddButton(1, 1, 80, 22, u"Go", haLeft, vaTop);
    Paint();
    TRect B = Grid->CellButtonRect(1, 1);
    B.Inflate(-4, -4);
    auto InkBox = [&] {
        TRect I(B.Right, B.Bottom, B.Left, B.Top);
        for (int y = B.Top; y < B.Bottom; ++y)
            for (int x = B.Left; x < B.Right; ++x)
                if (IsInk(At(x, y))) {
                    I.Left = std::min(I.Left, x);
                    I.Top = std::min(I.Top, y);
                }
        return I;
    };
    const TRect Up = InkBox();
    ASSERT_LT(Up.Left, B.Right);
    Grid->PushButton(1, 1, true);
    Paint();
    const TRect Down = InkBox();
    EXPECT_EQ(Down.Left, Up.Left + 1);
    EXPECT_EQ(Down.Top, Up.Top + 1);
}

TEST_F(ObjectPaint, AGridOfEveryCellKindIsWrittenForPeopleToLook)
{
    TImageList Images(16, 16);
    TBitmap Img(16, 16);
    VuzEraz::FillRectColor(Img.GetCanvas(), TRect(0, 0, 16, 16), TColor(0x3366CC));
    Images.AddMasked(&Img, clNone);
    Grid->SetGridImages(&Images);
    Grid->SetColCount(6);
    Grid->SetRowCount(8);
    Grid->SetColWidths(5, 124);
    const char16_t* Headers[] = { u"", u"Boxes", u"Progress", u"Shapes", u"Buttons", u"Pictures" };
    for (int c = 1; c < 6; ++c)
        Grid->SetCells(c, 0, Headers[c]);
    Grid->GetSortSettings()->SetShow(true);
    Grid->GetSortSettings()->SetColumn(2);
    Grid->AddCheckBox(1, 1, true, false);
    Grid->SetCells(1, 1, u"check");
    Grid->AddCheckBox(1, 2, cbGrayed);
    Grid->AddRadioButton(1, 3, true);
    TStrings* Items = Grid->CreateRadio(1, 4, 1, 1);
    Items->Add(u"a");
    Items->Add(u"b");
    Grid->AddProgress(2, 1, TColor(0x00A000), White);
    Grid->SetCells(2, 1, u"65");
    Grid->AddLumProgress(2, 2, 0, 100);
    Grid->SetCells(2, 2, u"85");
    Grid->AddProgressPie(2, 3, Red, 30);
    Grid->AddRangeIndicator(2, 4, 100, Red, Green, true);
    Grid->SetCells(2, 4, u"-40");
    Grid->AddRating(2, 5, 5, Yellow, Silver);
    Grid->SetCells(2, 5, u"3.5");
    const int Shapes[] = { VuzEraz::csStar, VuzEraz::csCircle, VuzEraz::csArrowUp, VuzEraz::csDiamond,
        VuzEraz::csTriangleRight, VuzEraz::csRoundRect };
    for (int i = 0; i < 6; ++i)
        Grid->AddShape(3, i + 1, Shapes[i], Yellow, TColor(0), haCenter, vaCenter);
    Grid->AddButton(4, 1, 70, 20, u"Press", haLeft, vaTop);
    Grid->AddBitButton(4, 2, 70, 20, u"Glyph", &Img, haLeft, vaTop);
    Grid->AddExpand(4, 3, 60);
    Grid->AddComment(4, 4, u"a comment");
    Grid->SetCells(4, 4, u"commented");
    Grid->AddMarker(4, 5, 0, 5);
    Grid->SetCells(4, 5, u"Wrnog spelling");
    Grid->AddImageIdx(5, 1, 0, haBeforeText, vaCenter);
    Grid->SetCells(5, 1, u"image");
    TIntList* Multi = Grid->AddMultiImage(5, 2, 0, haLeft, vaTop);
    Multi->Add(0);
    Multi->Add(0);
    Grid->AddRotated(5, 3, 30, u"turned");
    Grid->AddBalloon(5, 4, u"Title", u"Balloon text", biInfo);
    Grid->SetCells(5, 4, u"balloon");
    Grid->CreateBitmap(5, 5, false, haRight, vaTop)->Assign(&Img);
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[1] = 3;
    Grid->CreateCellGraphic(0, 1)->SetNode({ 1, false, 3, 0 });
    ASSERT_NO_THROW(Paint());
    TPngImage Png;
    Png.Assign(&Surface);
    const std::filesystem::path File = OutputDir() / "grid-cell-objects.png";
    Png.SaveToFile(Utf8ToString(File.string()));
    EXPECT_TRUE(std::filesystem::exists(File));
    // The misspelt word of the marker cell is underlined in red.
    EXPECT_GT(Count(Grid->CellRect(4, 5), Red), 5);
}
