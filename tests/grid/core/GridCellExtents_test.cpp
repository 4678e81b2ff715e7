#include <gtest/gtest.h>

#include <functional>

#include "GridTestAccess.h"
#include "grid/core/CellGraphic.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/StringList.h"

namespace {

// A picture record of the given natural size.
struct PictureRecord {
    TPicture Picture;
    TCellGraphic Record;
    PictureRecord(int w, int h, TStretchMode Mode, int Padding)
    {
        TBitmap Bmp;
        Bmp.SetSize(w, h);
        Picture.SetBitmap(&Bmp);
        Record.SetPicture(&Picture, false, Mode, Padding, haLeft, vaTop);
    }
};

class TSizedObject : public TObject, public IGridCellObject {
public:
    TSizedObject(int w, int h) : W(w), H(h) { }
    void Draw(TCanvas*, TRect, int, int, bool, TDedOzovedUrad*) override { }
    int GetWidth() override { return W; }
    int GetHeight() override { return H; }
    bool IsBackground() override { return false; }
    int W, H;
};

} // namespace

TEST(PictureSize, FitsByStretchMode)
{
    struct Case {
        const char* Name;
        int w, h;
        TStretchMode Mode;
        int Padding, cw, rh;
        TPoint Expected;
    };
    const Case Cases[] = {
        { "no stretch keeps the natural size", 100, 50, noStretch, 0, 60, 60, TPoint(100, 50) },
        { "stretch fills the area less padding", 100, 50, Stretch, 4, 50, 20, TPoint(46, 16) },
        { "aspect ratio by the width", 100, 50, StretchWithAspectRatio, 0, 60, 60, TPoint(60, 30) },
        { "aspect ratio by the height", 50, 100, StretchWithAspectRatio, 0, 60, 60, TPoint(30, 60) },
        { "a tie goes by the height", 100, 100, StretchWithAspectRatio, 0, 40, 40, TPoint(40, 40) },
        { "aspect ratio grows a small picture", 10, 5, StretchWithAspectRatio, 0, 60, 60, TPoint(60, 30) },
        { "shrink keeps a picture that fits", 30, 20, Shrink, 0, 60, 60, TPoint(30, 20) },
        { "shrink fills when too big", 100, 20, Shrink, 0, 60, 60, TPoint(60, 60) },
        { "shrink with aspect keeps a fitting picture", 100, 50, ShrinkWithAspectRatio, 0, 200, 200,
            TPoint(100, 50) },
        { "shrink with aspect scales a big one", 100, 50, ShrinkWithAspectRatio, 0, 50, 50, TPoint(50, 25) },
        { "2.5 rounds to 2", 10, 5, StretchWithAspectRatio, 0, 5, 100, TPoint(5, 2) },
        { "3.5 rounds to 4", 10, 7, StretchWithAspectRatio, 0, 5, 100, TPoint(5, 4) },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        PictureRecord P(c.w, c.h, c.Mode, c.Padding);
        TPoint Result(-1, -1);
        P.Record.GetPictureSize(c.cw, c.rh, nullptr, true, Result);
        EXPECT_EQ(Result.X, c.Expected.X);
        EXPECT_EQ(Result.Y, c.Expected.Y);
    }
    // Other kinds leave the result as the caller set it; a data picture
    // takes the container's picture.
    TCellGraphic Other;
    Other.SetImageIdx(0, haLeft, vaTop);
    TPoint Result(7, 8);
    Other.GetPictureSize(10, 10, nullptr, false, Result);
    EXPECT_EQ(Result.X, 7);
    EXPECT_EQ(Result.Y, 8);
    TBitmap Graph;
    Graph.SetSize(20, 10);
    Other.SetDataPicture(haLeft, vaTop);
    Other.SetCellAngle(Stretch);
    Other.GetPictureSize(30, 30, &Graph, false, Result);
    EXPECT_EQ(Result.X, 30);
    Other.SetCellAngle(noStretch);
    Other.GetPictureSize(30, 30, &Graph, false, Result);
    EXPECT_EQ(Result.X, 20);
    EXPECT_EQ(Result.Y, 10);
}

TEST(CellGraphicExtent, EachKindTakesItsRoom)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(3);
    G.SetColWidths(1, 80);
    G.SetRowHeights(1, 30);
    TBitmap Bmp;
    Bmp.SetSize(16, 12);
    TStringList Three;
    Three.Add(u"one");
    Three.Add(u"two");
    Three.Add(u"three");
    TSizedObject Sized(33, 0), Fixed(33, 22);
    TBitmap Surface; // any canvas measures; the grid has no window here
    Surface.SetSize(1, 1);
    TCanvas* Canvas = Surface.GetCanvas();
    struct Case {
        const char* Name;
        const char16_t* Text;
        std::function<void(TCellGraphic*)> Setup;
        double Scale;
        std::function<TPoint()> Expected;
    };
    auto At = [](int x, int y) { return [=] { return TPoint(x, y); }; };
    const Case Cases[] = {
        { "no object", u"x", nullptr, 1.0, At(0, 0) },
        { "bitmap beside no text", u"", [&](TCellGraphic* g) { g->SetBitmap(&Bmp, false, haLeft, vaTop); }, 1.0,
            At(16, 12) },
        { "bitmap at the left of text takes nothing", u"text",
            [&](TCellGraphic* g) { g->SetBitmap(&Bmp, false, haLeft, vaTop); }, 1.0, At(0, 0) },
        { "bitmap before text takes its width", u"text",
            [&](TCellGraphic* g) { g->SetBitmap(&Bmp, false, haBeforeText, vaTop); }, 1.0, At(16, 0) },
        { "bitmap under text takes its height", u"text",
            [&](TCellGraphic* g) { g->SetBitmap(&Bmp, false, haLeft, vaUnderText); }, 1.0, At(0, 12) },
        { "bitmap full height", u"",
            [&](TCellGraphic* g) { g->SetBitmap(&Bmp, false, haLeft, vaFull); }, 1.0, At(16, 30) },
        { "check box at 1.25", u"Y", [](TCellGraphic* g) { g->SetCheckBox(true, true, true, haBeforeText, vaTop); },
            1.25, At(19, 19) },
        { "radio button unscaled", u"",
            [](TCellGraphic* g) { g->SetRadioButton(false, true, haLeft, vaTop, rgNone); }, 2.0, At(10, 10) },
        { "progress pie", u"", [](TCellGraphic* g) { g->SetCellType(ctProgressPie); }, 1.0, At(20, 20) },
        { "rating skips the full-cell rule", u"",
            [](TCellGraphic* g) {
                g->SetCellType(ctRating);
                g->SetCellAngle(5);
                g->SetCellHAlign(haFull);
            },
            1.0, At(90, 16) },
        { "shape", u"", [](TCellGraphic* g) { g->SetCellType(ctShape); }, 1.0,
            [&] { return TPoint(G.GetDefaultRowHeight() - 4, G.GetDefaultRowHeight() - 4); } },
        { "button scaled", u"", [](TCellGraphic* g) { g->SetButton(40, 20, u"", haLeft, vaTop); }, 1.5, At(60, 30) },
        { "button centred over text", u"t", [](TCellGraphic* g) { g->SetButton(40, 20, u"", haCenter, vaTop); },
            1.0, At(0, 0) },
        { "button beside text keeps its height", u"t",
            [](TCellGraphic* g) { g->SetButton(40, 20, u"", haAfterText, vaTop); }, 1.0, At(40, 20) },
        { "self-drawing object without height takes the cell", u"",
            [&](TCellGraphic* g) { g->SetInterfacedCell(&Sized); }, 1.0, At(80, 30) },
        { "self-drawing object", u"", [&](TCellGraphic* g) { g->SetInterfacedCell(&Fixed); }, 1.0, At(33, 22) },
        { "stacked radio group", u"",
            [&](TCellGraphic* g) {
                g->SetInterfacedCell(&Three);
                g->SetCellType(ctRadio);
            },
            1.0,
            [&] {
                int Widest = 0;
                for (int i = 0; i < 3; ++i)
                    Widest = std::max(Widest, Canvas->TextWidth(Three.GetStrings(i)));
                return TPoint(12 + Widest, std::max(16, (Canvas->TextHeight(u"gh") + 3) * 3));
            } },
        { "empty radio group", u"", [](TCellGraphic* g) { g->SetCellType(ctRadio); }, 1.0, At(12, 16) },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        G.FreeCellGraphic(1, 1);
        G.SetCells(1, 1, c.Text);
        if (c.Setup)
            c.Setup(G.CreateCellGraphic(1, 1));
        TDedOzovedUradTestAccess::SetDPIScale(G, c.Scale);
        TPoint Result(-1, -1);
        G.GetCellGraphicExtent(Canvas, 1, 1, 0, 1.0, Result);
        const TPoint Expected = c.Expected();
        EXPECT_EQ(Result.X, Expected.X);
        EXPECT_EQ(Result.Y, Expected.Y);
    }
    G.FreeCellGraphic(1, 1);
    TDedOzovedUradTestAccess::SetDPIScale(G, 1.0);
    EXPECT_EQ(G.GetCellGraphicSize(1, 1).cx, 0);
    EXPECT_EQ(G.GetCellGraphicSize(1, 1).cy, 0);
    G.AddCheckBox(1, 1, true, false);
    EXPECT_EQ(G.GetCellGraphicSize(1, 1).cx, 15);
    TPoint Print;
    G.GetCellGraphicPrintSize(1, 1, 100, 100, 1.0, Print);
    EXPECT_EQ(Print.X, 15);
}

// A picture takes the cell less the text insets, the margin and one pixel.
TEST(CellGraphicExtent, PicturesFitTheCellLessInsetsAndMargin)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(3);
    G.SetColWidths(1, 60);
    G.SetRowHeights(1, 40);
    TPicture Pic;
    TBitmap Bmp;
    Bmp.SetSize(200, 100);
    Pic.SetBitmap(&Bmp);
    G.CreateCellGraphic(1, 1)->SetPicture(&Pic, false, Stretch, 0, haLeft, vaTop);
    const TSize Plain = G.GetCellGraphicSizeMargin(1, 1, 0);
    EXPECT_EQ(Plain.cx, 60 - G.XYOffsetWidth() - 1);
    EXPECT_EQ(Plain.cy, 40 - G.XYOffsetHeight() - 1);
    EXPECT_EQ(G.GetCellGraphicSizeMargin(1, 1, 6).cy, Plain.cy - 6);
    TPoint Print;
    G.GetCellGraphicPrintSize(1, 1, 30, 20, 1.0, Print);
    EXPECT_EQ(Print.X, 30);
    EXPECT_EQ(Print.Y, 20);
}
