#include <gtest/gtest.h>

#include <functional>

#include "grid/core/CellPainters.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/ImgList.h"

namespace {

struct CellPictures : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    TImageList Images { 16, 16 };
    void SetUp() override
    {
        G.SetColCount(4);
        G.SetRowCount(5);
        G.SetGridImages(&Images);
    }
};

} // namespace

TEST_F(CellPictures, EachKindIsAddedQueriedAndRemoved)
{
    struct Case {
        const char* Name;
        TCellType Kind;
        std::function<void()> Add;
        std::function<bool()> Has; // the kind's own query
        std::function<void()> Remove;
    };
    TBitmap Caller;
    const Case Cases[] = {
        { "bitmap", ctBitmap, [&] { G.AddBitmap(1, 1, &Caller, true, haLeft, vaTop); },
            [&] { return G.GetBitmap(1, 1) == &Caller && G.HasBitmap(1, 1); }, [&] { G.RemoveBitmap(1, 1); } },
        { "created picture", ctPicture,
            [&] { G.CreatePicture(1, 1, false, Stretch, 2, haLeft, vaTop); },
            [&] { return G.GetPicture(1, 1) != nullptr && G.HasPicture(1, 1); }, [&] { G.RemovePicture(1, 1); } },
        { "created file picture", ctFilePicture,
            [&] { G.CreateFilePicture(1, 1, false, noStretch, 0, haLeft, vaTop); },
            [&] { return G.GetFilePicture(1, 1) != nullptr; }, [&] { G.RemoveFilePicture(1, 1); } },
        { "created icon", ctIcon, [&] { G.CreateIcon(1, 1, haLeft, vaTop); },
            [&] { return G.GetCellGraphic(1, 1)->GetCellIcon() != nullptr; }, [&] { G.RemoveIcon(1, 1); } },
        { "image index", ctImageList, [&] { G.AddImageIdx(1, 1, 4, haLeft, vaTop); },
            [&] {
                int i = -1;
                G.SetImageIdx(1, 1, 5);
                return G.GetImageIdx(1, 1, i) && i == 5;
            },
            [&] { G.RemoveImageIdx(1, 1); } },
        { "images", ctImages, [&] { G.AddMultiImage(1, 1, 0, haLeft, vaTop)->Add(2); },
            [&] { return G.GetCellImages(1, 1) && G.GetCellImages(1, 1)->Count() == 1; },
            [&] { G.RemoveMultiImage(1, 1); } },
        { "rotated", ctRotated, [&] { G.AddRotated(1, 1, -90, u"up"); },
            [&] {
                int a = 0;
                return G.IsRotated(1, 1, a) && a == 270 && G.GetCells(1, 1) == u"up";
            },
            [&] { G.RemoveRotated(1, 1); } },
        { "progress", ctProgress, [&] { G.AddProgressFormatted(1, 1, clBlue, clWhite, clWhite, clBlack, u"%d", 5, 10, 2); },
            [&] {
                const TCellGraphic* g = G.GetCellGraphic(1, 1);
                return G.HasProgress(1, 1) && g->GetCellRange() == TCellValueRange { 5, 10 }
                    && g->GetCellProgress().Format == u"%d" && g->GetCellProgress().UseText;
            },
            [&] { G.RemoveProgress(1, 1); } },
        { "themed progress", ctXPProgress, [&] { G.AddLumProgress(1, 1, 0, 50); },
            [&] { return G.GetCellGraphic(1, 1)->GetCellRange().Max == 50; }, [&] { G.RemoveLumProgress(1, 1); } },
        { "pie", ctProgressPie, [&] { G.AddProgressPie(1, 1, clRed, 10); },
            [&] {
                G.SetProgressPie(1, 1, 25);
                return G.GetCellGraphic(1, 1)->GetCellAngle() == 25;
            },
            [&] { G.RemoveProgressPie(1, 1); } },
        { "range indicator", ctRangeIndicator, [&] { G.AddRangeIndicator(1, 1, 100, clRed, clGreen, true); },
            [&] {
                const TCellGraphic* g = G.GetCellGraphic(1, 1);
                return g->GetCellIndex() == 100 && g->GetCellColor() == clRed && g->GetCellColorTo() == clGreen;
            },
            [&] { G.RemoveRangeIndicator(1, 1); } },
        { "shape", ctShape, [&] { G.AddShape(1, 1, VuzEraz::csStar, clYellow, clBlack, haCenter, vaCenter); },
            [&] {
                G.SetShapeColor(1, 1, clRed);
                return G.HasShape(1, 1) && G.GetShapeColor(1, 1) == clRed;
            },
            [&] { G.RemoveShape(1, 1); } },
        { "rating", ctRating, [&] { G.AddRating(1, 1, 5, clYellow, clSilver); },
            [&] { return G.HasRating(1, 1) && G.GetCellGraphic(1, 1)->GetCellHAlign() == haFull; },
            [&] { G.RemoveRating(1, 1); } },
        { "scroll bar", ctScrollbar, [&] { G.AddScrollBar(1, 1, false); },
            [&] {
                G.SetScrollPosition(1, 1, 7);
                G.SetScrollProp(1, 1, { 10, 200 });
                return G.GetScrollPosition(1, 1) == 7 && G.GetScrollProp(1, 1) == TScrollProp { 10, 200 };
            },
            [&] { G.RemoveScrollBar(1, 1); } },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        c.Add();
        EXPECT_EQ(G.GetCellType(1, 1), c.Kind);
        EXPECT_TRUE(c.Has());
        c.Remove();
        EXPECT_EQ(G.GetCellGraphic(1, 1), nullptr);
    }
    // Getters of other kinds.
    EXPECT_EQ(G.GetBitmap(2, 2), nullptr);
    EXPECT_EQ(G.GetShapeColor(2, 2), clNone);
    EXPECT_EQ(G.GetScrollPosition(2, 2), -1);
    EXPECT_EQ(G.GetScrollProp(2, 2), (TScrollProp { -1, -1 }));
    // The image-list kinds need an image list.
    G.SetGridImages(nullptr);
    G.AddImageIdx(2, 2, 1, haLeft, vaTop);
    G.AddDataImage(2, 2, 1, haLeft, vaTop);
    EXPECT_EQ(G.AddMultiImage(2, 2, 0, haLeft, vaTop), nullptr);
    EXPECT_EQ(G.GetCellGraphic(2, 2), nullptr);
}

TEST_F(CellPictures, DataImagesKeepTheirTextAndCommentsSitOnAnyObject)
{
    G.SetCells(1, 1, u"3");
    G.AddDataImage(1, 1, 7, haLeft, vaTop);
    EXPECT_EQ(G.GetCells(1, 1), u"3");
    G.AddDataImage(2, 1, 7, haLeft, vaTop);
    EXPECT_EQ(G.GetCells(2, 1), u"7") << "an empty cell takes the index";
    G.RemoveDataImage(2, 1);
    EXPECT_EQ(G.GetCells(2, 1), u"");

    G.AddComment(1, 2, u"note");
    EXPECT_EQ(G.GetCellType(1, 2), ctNone);
    EXPECT_FALSE(G.GetCellEmpty(1, 2));
    EXPECT_EQ(G.GetComment(1, 2), u"note");
    G.RemoveComment(1, 2);
    EXPECT_TRUE(G.GetCellEmpty(1, 2));
    EXPECT_NE(G.GetCellGraphic(1, 2), nullptr) << "the object stays";

    G.CreatePicture(2, 2, false, noStretch, 0, haLeft, vaTop);
    G.GetCellGraphic(2, 2)->SetCellText(u"caption");
    String Comment;
    EXPECT_TRUE(G.IsComment(2, 2, Comment));
    EXPECT_EQ(Comment, u"caption");
}

TEST_F(CellPictures, MarkersKeepClearOfTheValuesOfEveryKind)
{
    G.AddProgressFormatted(1, 1, clBlue, clWhite, clWhite, clBlack, u"", 10, 20, 1);
    G.AddMarker(1, 1, 2, 3);
    int From = 0, Len = 0;
    G.GetMarker(1, 1, From, Len);
    EXPECT_EQ(From, 2);
    EXPECT_EQ(Len, 3);
    EXPECT_EQ(G.GetCellGraphic(1, 1)->GetCellRange(), (TCellValueRange { 10, 20 })) << "the range stays";

    G.AddMarker(2, 2, 0, 4);
    EXPECT_EQ(G.GetCellType(2, 2), ctEmpty);
    G.RemoveAllMarkers();
    EXPECT_EQ(G.GetCellGraphic(2, 2), nullptr) << "a marker-only object goes";
    EXPECT_EQ(G.GetCellType(1, 1), ctProgress);
    EXPECT_EQ(G.GetCellGraphic(1, 1)->GetCellRange(), (TCellValueRange { 10, 20 }));
    G.GetMarker(1, 1, From, Len);
    EXPECT_EQ(Len, 0);
}

TEST_F(CellPictures, SetRotatedFreesWhatTheOldKindHeld)
{
    // Run under the sanitizer build: a created bitmap left behind leaks.
    G.CreateBitmap(1, 1, false, haLeft, vaTop)->SetSize(4, 4);
    G.SetRotated(1, 1, 45);
    int Angle = 0;
    EXPECT_TRUE(G.IsRotated(1, 1, Angle));
    EXPECT_EQ(Angle, 45);
    EXPECT_EQ(G.GetBitmap(1, 1), nullptr);
    EXPECT_EQ(G.GetCellGraphic(1, 1)->GetCellObject(), nullptr);

    G.CreateRadio(2, 1, 0, 0)->Add(u"a");
    G.SetRotated(2, 1, 90);
    EXPECT_EQ(G.GetRadioStrings(2, 1), nullptr);

    G.AddCheckBox(3, 1, true, false);
    G.AddBalloon(3, 1, u"t", u"x", biInfo);
    G.SetRotated(3, 1, 400);
    EXPECT_FALSE(G.HasCheckBox(3, 1));
    String T, X;
    int I = 0;
    EXPECT_FALSE(G.IsBalloon(3, 1, T, X, I));
    EXPECT_TRUE(G.IsRotated(3, 1, Angle));
    EXPECT_EQ(Angle, 40);
}

TEST(RotatedText, OriginByQuadrantAndAlignment)
{
    // Rect (10, 20)-(110, 60); extents A = 4, B = 30, C = 8, D = 6.
    struct Case {
        int Angle;
        Byte HA, VA;
        int X, Y;
    };
    const Case Cases[] = {
        { 0, 0, 0, 10, 50 },     // left, top + B
        { 0, 1, 2, 96, 56 },     // right - D - C, bottom - A
        { 90, 2, 1, 53, 53 },    // centred both ways
        { 180, 0, 0, 16, 54 },   // left + D, top + A + B
        { 270, 1, 2, 110, 30 },  // right, bottom - B
        { 300, 2, 0, 61, 20 },   // left + (R - L + C - D) / 2, top
        { 45, 7, 9, 10, 20 },    // other alignment values leave the corner
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Angle);
        TRect R(10, 20, 110, 60);
        TDedOzovedUrad::RotatedTextOrigin(R, c.HA, c.VA, 4, 30, 8, 6, c.Angle);
        EXPECT_EQ(R.Left, c.X);
        EXPECT_EQ(R.Top, c.Y);
        EXPECT_EQ(R.Right, 110);
    }
    TRect R(10, 20, 110, 60);
    TDedOzovedUrad::RotatedTextOrigin(R, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(R, TRect(10, 20, 110, 60));
}
