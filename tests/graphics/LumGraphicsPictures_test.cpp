#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "graphics/LumBitmap.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumSVGParser.h"
#include "platform/rtl/Streams.h"
#include "tests/platform/gdi/PixelProbe.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;

// A picture of the given size in blue with a red square (ARed) on it.
std::unique_ptr<TLumBitmap> MakePicture(int AWidth, int AHeight, TRect ARed = {})
{
    TBitmap bitmap;
    bitmap.SetSize(AWidth, AHeight);
    bitmap.GetCanvas()->GetBrush()->SetColor(Blue);
    bitmap.GetCanvas()->FillRect(TRect { 0, 0, AWidth, AHeight });
    bitmap.GetCanvas()->GetBrush()->SetColor(Red);
    bitmap.GetCanvas()->FillRect(ARed);
    auto picture = std::make_unique<TLumBitmap>();
    picture->Assign(&bitmap);
    return picture;
}

// Named pictures, recording every name asked for.
class TFakeSource : public TLumGraphicsPictureSource {
public:
    TPicture* FindBitmap(const String& AName) override
    {
        Asked.push_back(AName);
        auto it = Pictures.find(AName);
        return it == Pictures.end() ? nullptr : it->second.get();
    }
    std::map<String, std::unique_ptr<TLumBitmap>> Pictures;
    std::vector<String> Asked;
};

struct AspectCase {
    float W0, H0, NW, NH;
    bool Aspect, Stretch;
    float W, H;
};

TEST(GraphicsPicturesTest, AspectSizeFollowsTheFlags)
{
    const AspectCase cases[] = {
        { 100, 50, 50, 50, true, false, 50, 25 },    // scaled down to fit
        { 50, 100, 50, 50, true, false, 25, 50 },
        { 20, 20, 100, 100, true, false, 20, 20 },   // smaller than the target: natural size
        { 20, 20, 100, 100, true, true, 100, 100 },  // unless stretched
        { 20, 10, 100, 100, true, true, 100, 50 },
        { 20, 20, 100, 0, true, true, 0, 0 },        // a target without height shows nothing
        { 0, 20, 100, 100, true, false, 0, 0 },
        { 20, 20, 100, 60, false, true, 100, 60 },
        { 200, 200, 100, 60, false, false, 200, 200 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.W0 << "x" << c.H0 << " into " << c.NW << "x" << c.NH);
        float w = -1, h = -1;
        TLumGraphics::GetAspectSize(w, h, c.W0, c.H0, c.NW, c.NH, c.Aspect, c.Stretch, false);
        EXPECT_FLOAT_EQ(w, c.W);
        EXPECT_FLOAT_EQ(h, c.H);
    }
}

struct RectCase {
    int PW, PH;
    TRectF Target;
    bool Aspect, Stretch, Center, Crop;
    TRectF Expected;
};

TEST(GraphicsPicturesTest, DrawRectanglePlacesAndRoundsHalfToEven)
{
    const RectCase cases[] = {
        { 100, 50, { 0, 0, 50, 50 }, true, false, false, false, { 0, 0, 50, 25 } },
        { 100, 50, { 0, 0, 50, 50 }, true, false, true, false, { 0, 12, 50, 37 } },  // 12.5 -> 12
        { 100, 50, { 0, 0, 50, 52 }, true, false, true, false, { 0, 14, 50, 39 } },  // 13.5 -> 14
        { 40, 40, { 10, 10, 20, 20 }, false, false, false, false, { 10, 10, 50, 50 } },
        // Cropping keeps the natural size centred, reaching beyond the target.
        { 40, 40, { 10, 10, 20, 20 }, false, false, false, true, { -5, -5, 35, 35 } },
    };
    auto g = TLumGraphics::CreateBitmapCanvas(4, 4, false, false);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.PW << "x" << c.PH);
        auto picture = MakePicture(c.PW, c.PH);
        TRectF r = g->GetBitmapDrawRectangle(c.Target, picture.get(), c.Aspect, c.Stretch, c.Center, c.Crop);
        EXPECT_FLOAT_EQ(r.Left, c.Expected.Left);
        EXPECT_FLOAT_EQ(r.Top, c.Expected.Top);
        EXPECT_FLOAT_EQ(r.Right, c.Expected.Right);
        EXPECT_FLOAT_EQ(r.Bottom, c.Expected.Bottom);
    }
    TRectF none = g->GetBitmapDrawRectangle(TRectF { 1, 2, 3, 4 }, nullptr);
    EXPECT_EQ(none.Right, 0);
    EXPECT_EQ(none.Bottom, 0);
}

class GraphicsPictureDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Canvas.SetHandle(Dc.DC);
        G = std::make_unique<TLumGraphics>(&Canvas, false);
        G->BeginScene();
    }
    void TearDown() override
    {
        G.reset();
        Canvas.SetHandle(nullptr);
    }
    RECT Finish()
    {
        G->EndScene();
        return Dc.InkBox(White);
    }

    TMemDC Dc { 120, 100 };
    TCanvas Canvas;
    std::unique_ptr<TLumGraphics> G;
};

TEST_F(GraphicsPictureDrawTest, WithoutFlagsThePictureKeepsItsNaturalSize)
{
    auto picture = MakePicture(30, 20);
    G->DrawBitmap(TRectF { 5, 6, 15, 10 }, picture.get(), false, false, false, false);
    RECT ink = Finish();
    EXPECT_EQ(ink.Left, 5);
    EXPECT_EQ(ink.Top, 6);
    EXPECT_EQ(ink.Right, 35);
    EXPECT_EQ(ink.Bottom, 26);
}

TEST_F(GraphicsPictureDrawTest, AZeroHighTargetDrawsNothing)
{
    auto picture = MakePicture(30, 20);
    G->DrawBitmap(TRectF { 5, 6, 50, 6 }, picture.get(), true, true, true, false);
    G->DrawBitmap(TRectF { 5, 6, 50, 60 }, nullptr);
    RECT ink = Finish();
    EXPECT_EQ(ink.Right, 0);
}

TEST_F(GraphicsPictureDrawTest, PartShowsExactlyTheSourceRectangle)
{
    auto picture = MakePicture(100, 100, TRect { 10, 10, 30, 30 });
    G->DrawBitmapPart(TRectF { 10, 10, 30, 30 }, TRectF { 0, 0, 20, 20 }, picture.get(), false, false, false,
        false);
    Finish();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(Dc.At(x, y), RGB(255, 0, 0)) << x << "," << y;
    EXPECT_EQ(Dc.At(20, 5), White);
    EXPECT_EQ(Dc.At(5, 20), White);
}

TEST_F(GraphicsPictureDrawTest, PartOfAnEmptyRectangleDrawsAndReturnsNothing)
{
    auto picture = MakePicture(100, 100);
    G->DrawBitmapPart(TRectF { 10, 10, 10, 30 }, TRectF { 0, 0, 20, 20 }, picture.get());
    G->DrawBitmapPart(TRectF { 10, 10, 30, 30 }, TRectF { 0, 20, 20, 20 }, picture.get());
    EXPECT_EQ(G->DrawBitmapPartSync(10, 10, 30, 30, 0, 0, 0, 20, picture.get()), nullptr);
    EXPECT_EQ(Finish().Right, 0);

    auto part = G->DrawBitmapPartSync(10, 10, 30, 25, 0, 0, 1, 1, picture.get());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->GetWidth(), 20);
    EXPECT_EQ(part->GetHeight(), 15);
}

TEST_F(GraphicsPictureDrawTest, NamedPicturesPreferTheScaledVariant)
{
    TFakeSource source;
    source.Pictures[u"icon"] = MakePicture(10, 10);
    EXPECT_EQ(TLumGraphics::GetBitmapFromPictureContainer(&source, u"icon", true, 2), source.Pictures[u"icon"].get());
    EXPECT_EQ(source.Asked, (std::vector<String> { u"icon_2", u"icon" }));

    source.Pictures[u"icon_2"] = MakePicture(20, 20);
    source.Pictures[u"icon_1.5"] = MakePicture(15, 15);
    EXPECT_EQ(TLumGraphics::GetBitmapFromPictureContainer(&source, u"icon", true, 2), source.Pictures[u"icon_2"].get());
    EXPECT_EQ(TLumGraphics::GetBitmapFromPictureContainer(&source, u"icon", true, 1.5f),
        source.Pictures[u"icon_1.5"].get());
    EXPECT_EQ(TLumGraphics::GetBitmapFromPictureContainer(&source, u"icon", false, 2), source.Pictures[u"icon"].get());
    EXPECT_EQ(TLumGraphics::GetBitmapFromPictureContainer(&source, u"", true, 2), nullptr);
    EXPECT_EQ(TLumGraphics::GetBitmapFromPictureContainer(nullptr, u"icon", true, 2), nullptr);

    G->SetPictureContainer(&source);
    G->DrawBitmapWithName(TRectF { 0, 0, 100, 100 }, u"icon", true, 2, false, false, false, false);
    G->DrawBitmapWithName(TRectF { 0, 0, 100, 100 }, u"missing", true, 2);
    RECT ink = Finish();
    EXPECT_EQ(ink.Right, 20);
    EXPECT_EQ(ink.Bottom, 20);
}

TEST_F(GraphicsPictureDrawTest, ScaledItemWithoutPictureFallsBackToTheContainer)
{
    TFakeSource source;
    source.Pictures[u"logo"] = MakePicture(12, 8);
    TLumScaledBitmaps bitmaps;
    bitmaps.AddBitmapName(u"logo", 2);
    EXPECT_EQ(TLumGraphics::GetScaledBitmap(&bitmaps, 2, &source), source.Pictures[u"logo"].get());
    EXPECT_EQ(TLumGraphics::GetScaledBitmap(nullptr, 2, &source), nullptr);

    G->SetPictureContainer(&source);
    G->DrawScaledBitmap(TRectF { 0, 0, 50, 50 }, &bitmaps, 2, false, false, false, false);
    RECT ink = Finish();
    EXPECT_EQ(ink.Right, 12);
    EXPECT_EQ(ink.Bottom, 8);
}

TEST_F(GraphicsPictureDrawTest, PartOfAnSVGPictureDrawsTheWholeDrawing)
{
    RegisterLumGraphicsSVGImport();
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\" width=\"10\" height=\"10\">"
                            "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" fill=\"#0000FF\"/></svg>";
    TMemoryStream stream;
    stream.Write(svg.data(), int(svg.size()));
    stream.SetPosition(0);
    TLumBitmap picture;
    picture.SetGraphic(nullptr);
    auto graphic = std::make_unique<TLumSVGBitmap>();
    graphic->LoadFromStream(stream);
    picture.SetGraphic(graphic.get());
    ASSERT_TRUE(picture.HasSVG());

    // The source rectangle plays no part: the drawing fills the destination.
    G->DrawBitmapPart(TRectF { 0, 0, 2, 2 }, TRectF { 10, 10, 50, 50 }, &picture, false, true, false, false);
    EXPECT_EQ(G->DrawBitmapPartSync(0, 0, 2, 2, 10, 10, 50, 50, &picture), nullptr);
    RECT ink = Finish();
    EXPECT_NEAR(ink.Left, 10, 1);
    EXPECT_NEAR(ink.Top, 10, 1);
    EXPECT_NEAR(ink.Right, 50, 1);
    EXPECT_NEAR(ink.Bottom, 50, 1);
    EXPECT_EQ(Dc.At(30, 30), RGB(0, 0, 255));
}

} // namespace
