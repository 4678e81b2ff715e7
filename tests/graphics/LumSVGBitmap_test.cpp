#include <gtest/gtest.h>

#include <string>

#include "foundation/VuzErazs.h"
#include "graphics/LumBitmap.h"
#include "graphics/LumGeometry.h"
#include "graphics/LumGraphicsTypes.h"
#include "tests/support/HttpServer.h"

namespace {

// A stand-in SVG document: any text with "<svg" has one element and the view
// box 0 0 100 50; text with "broken" fails to parse after that.
class TFakeSVG : public TLumSVGImport {
public:
    bool HasElements() override { return FCount > 0; }
    int ElementCount() override { return FCount; }
    std::unique_ptr<TLumBitmap> GenerateBitmap(float, float) override { return std::make_unique<TLumBitmap>(); }
    void Clear() override
    {
        FCount = 0;
        FViewRect = {};
    }
    void Draw(TCanvas*, const TRectF&, bool) override { ++Draws; }
    void LoadFromText(const String& AText) override
    {
        Clear();
        if (AText.find(u"<svg") != String::npos) {
            FCount = 1;
            FViewRect = { 0, 0, 100, 50 };
        }
        if (AText.find(u"broken") != String::npos)
            throw Exception(u"bad SVG");
    }
    void LoadFromFile(const String&) override { }
    void LoadFromStream(TStream& AStream) override
    {
        std::string bytes(std::size_t(AStream.GetSize() - AStream.GetPosition()), '\0');
        AStream.ReadBuffer(bytes.data(), Int64(bytes.size()));
        LoadFromText(Utf8ToString(bytes));
    }
    void SaveToStream(TStream&) override { }
    void SaveToFile(const String&) override { }
    static inline int Draws = 0;

private:
    int FCount { 0 };
};

class SVGPictures : public ::testing::Test {
protected:
    void SetUp() override { SetLumSVGImportFactory([] { return std::make_unique<TFakeSVG>(); }); }
    void TearDown() override { SetLumSVGImportFactory(nullptr); }
};

TMemoryStream StreamOf(const std::string& bytes)
{
    TMemoryStream s;
    if (!bytes.empty())
        s.WriteBuffer(bytes.data(), Int64(bytes.size()));
    s.SetPosition(0);
    return s;
}

std::string BytesOf(TMemoryStream& s)
{
    return std::string(static_cast<const char*>(s.GetMemory()), std::size_t(s.GetSize()));
}

TEST(LumSVGBitmap, CanLoadFromStreamRefusesRasterSignatures)
{
    struct Case {
        std::string bytes;
        bool svg;
    };
    const Case cases[] = {
        { "GIF89a", false }, { std::string("BM\x10\0", 4), false }, { "\x89PNG\r\n\x1a\n", false },
        { std::string("II*\0", 4), false }, { std::string("MM\0*", 4), false }, { "\xFF\xD8\xFF\xE1", false },
        { "\xFF\xD8\xFF\xEE", false }, { std::string("\0\0\1\0", 4), false }, { std::string("\0\0\0\0", 4), false },
        { "<svg xmlns=\"http://www.w3.org/2000/svg\"/>", true }, { "<?xml version=\"1.0\"?><svg/>", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        TMemoryStream s = StreamOf("xx" + c.bytes);
        s.SetPosition(2);
        EXPECT_EQ(TLumSVGBitmap::CanLoadFromStream(s), c.svg);
        EXPECT_EQ(s.GetPosition(), 2);
    }
}

TEST_F(SVGPictures, RegistryPicksSVGForTextAndARasterClassForRasterBytes)
{
    TLumBitmap picture;
    TMemoryStream svg = StreamOf("<svg viewBox=\"0 0 100 50\"></svg>");
    picture.LoadFromStream(svg);
    ASSERT_NE(dynamic_cast<TLumSVGBitmap*>(picture.GetGraphic()), nullptr);
    EXPECT_TRUE(picture.HasSVG());
    EXPECT_NE(picture.GetSVG(), nullptr);
    EXPECT_EQ(picture.GetWidth(), 100);
    EXPECT_EQ(picture.GetHeight(), 50);

    TBitmap raster(3, 2);
    TMemoryStream bmp;
    raster.SaveToStream(bmp);
    bmp.SetPosition(0);
    picture.LoadFromStream(bmp);
    EXPECT_EQ(picture.GetGraphic()->ClassName(), u"TBitmap");
    EXPECT_FALSE(picture.HasSVG());
    EXPECT_EQ(picture.GetSVG(), nullptr);
}

TEST_F(SVGPictures, SourceBytesSurviveClearAndFormData)
{
    const std::string source = "<svg>\xC3\xA4</svg>\n";
    TLumSVGBitmap svg;
    TMemoryStream in = StreamOf(source);
    svg.LoadFromStream(in);
    EXPECT_FALSE(svg.GetEmpty());
    svg.Clear();
    EXPECT_TRUE(svg.GetEmpty());
    TMemoryStream out;
    svg.SaveToStream(out);
    EXPECT_EQ(BytesOf(out), source);

    TMemoryStream data;
    svg.WriteData(data);
    const std::int32_t length = std::int32_t(source.size());
    EXPECT_EQ(BytesOf(data), std::string(reinterpret_cast<const char*>(&length), 4) + source);

    TLumSVGBitmap copy;
    data.SetPosition(0);
    copy.ReadData(data);
    EXPECT_TRUE(copy.HasSVG());
    TMemoryStream copied;
    copy.SaveToStream(copied);
    EXPECT_EQ(BytesOf(copied), source);

    TLumSVGBitmap assigned;
    assigned.Assign(&copy);
    EXPECT_TRUE(assigned.HasSVG());
}

TEST_F(SVGPictures, ReadDataRefusesLengthsThatDoNotFit)
{
    struct Case {
        std::int32_t length;
        std::string payload;
    };
    const Case cases[] = { { 100, "<svg/>" }, { -1, "<svg/>" }, { INT32_MAX, "" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        TMemoryStream data;
        data.WriteBuffer(&c.length, 4);
        if (!c.payload.empty())
            data.WriteBuffer(c.payload.data(), Int64(c.payload.size()));
        data.SetPosition(0);
        TLumSVGBitmap svg;
        EXPECT_THROW(svg.ReadData(data), EReadError);
    }
}

TEST_F(SVGPictures, BadTextLeavesAnEmptyPictureAndStillNotifies)
{
    TLumSVGBitmap svg;
    int changes = 0;
    svg.OnChange = [&](TObject*) { ++changes; };
    TMemoryStream bad = StreamOf("not an svg at all");
    svg.LoadFromStream(bad);
    EXPECT_TRUE(svg.GetEmpty());
    TMemoryStream broken = StreamOf("<svg>broken");
    EXPECT_NO_THROW(svg.LoadFromStream(broken));
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(svg.SetWidth(10), EAbstractError);
}

TEST(LumSVGBitmap, WithoutAnEngineBytesAreKeptButNothingIsDrawn)
{
    TLumSVGBitmap svg;
    TMemoryStream in = StreamOf("<svg/>");
    svg.LoadFromStream(in);
    EXPECT_TRUE(svg.GetEmpty());
    EXPECT_FALSE(svg.HasSVG());
    EXPECT_EQ(svg.GetWidth(), 0);
    TMemoryStream out;
    svg.SaveToStream(out);
    EXPECT_EQ(BytesOf(out), "<svg/>");
}

TEST(LumScaledBitmaps, GetItemByScaleAndTheSetter)
{
    TLumScaledBitmaps empty;
    EXPECT_EQ(empty.GetItemByScale(1), nullptr);
    empty.Add(0);
    empty.Add(-2);
    EXPECT_EQ(empty.GetItemByScale(1), nullptr);

    TLumScaledBitmaps set;
    set.AddBitmapName(u"one", 1);
    set.AddBitmapName(u"two", 2);
    set.AddBitmapName(u"twoAgain", 2);
    set.AddBitmapName(u"small", 1.25f);
    struct Case {
        float scale;
        const char16_t* name;
    };
    const Case cases[] = { { 1, u"one" }, { 1.25f, u"small" }, { 1.5f, u"two" }, { 3, u"two" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        ASSERT_NE(set.GetItemByScale(c.scale), nullptr);
        EXPECT_EQ(set.GetItemByScale(c.scale)->GetBitmapName(), c.name);
    }

    // Setting a new scale adds an item instead of overwriting the nearest one.
    TLumScaledBitmaps scaled;
    int changes = 0;
    scaled.OnChange = [&](TObject*) { ++changes; };
    TLumBitmap small, large;
    small.SetGraphic(std::make_unique<TBitmap>(16, 16).get());
    large.SetGraphic(std::make_unique<TBitmap>(32, 32).get());
    scaled.SetBitmaps(1, &small);
    scaled.SetBitmaps(2, &large);
    ASSERT_EQ(scaled.GetCount(), 2);
    EXPECT_EQ(scaled.GetBitmaps(1)->GetWidth(), 16);
    EXPECT_EQ(scaled.GetBitmaps(2)->GetWidth(), 32);
    scaled.SetBitmaps(1, &large);
    EXPECT_EQ(scaled.GetCount(), 2);
    EXPECT_EQ(scaled.GetBitmaps(1)->GetWidth(), 32);
    EXPECT_GT(changes, 0);
}

TEST(LumGeometry, RectangleRoutines)
{
    float ratio = 0;
    EXPECT_EQ(RectFFit({ 0, 0, 200, 100 }, { 10, 10, 110, 110 }, ratio), TRectF(10, 35, 110, 85));
    EXPECT_FLOAT_EQ(ratio, 2);
    // An empty target: an empty result, no division by zero.
    struct Case {
        TRectF r, bounds;
    };
    const Case empties[] = {
        { { 0, 0, 200, 100 }, { 5, 5, 5, 50 } }, { { 0, 0, 200, 100 }, { 5, 5, 50, 5 } },
        { { 0, 0, 200, 100 }, { 5, 5, 0, 0 } }, { { 0, 0, 0, 0 }, { 0, 0, 10, 10 } },
    };
    for (const auto& c : empties) {
        const TRectF fit = RectFFit(c.r, c.bounds, ratio);
        EXPECT_TRUE(RectFIsEmpty(fit));
        EXPECT_FLOAT_EQ(ratio, 1);
    }
    EXPECT_TRUE(RectFIntersectsWith({ 0, 0, 10, 10 }, { 5, 5, 15, 15 }));
    EXPECT_FALSE(RectFIntersectsWith({ 0, 0, 10, 10 }, { 10, 0, 20, 10 })); // touching edges
    EXPECT_EQ(RectFIntersect({ 0, 0, 10, 10 }, { 10, 0, 20, 10 }), TRectF());
    EXPECT_EQ(RectFIntersect({ 0, 0, 10, 10 }, { 5, 2, 20, 8 }), TRectF(5, 2, 10, 8));
    EXPECT_TRUE(RectFContains({ 0, 0, 10, 10 }, { 0, 0 }));
    EXPECT_FALSE(RectFContains({ 0, 0, 10, 10 }, { 10, 5 }));
    EXPECT_TRUE(RectFIsEmpty({ 0, 0, 0.00005f, 10 }));
    EXPECT_TRUE(RectFIsEmpty({ 10, 0, 5, 10 }));
    EXPECT_FALSE(RectFIsEmpty({ 0, 0, 1, 1 }));
    EXPECT_EQ(RectFCenterAt({ 3, 3, 13, 9 }, { 100, 100, 121, 121 }), TRectF(106, 108, 116, 114)); // 5.5 -> 6, 7.5 -> 8
    EXPECT_EQ(InflateRectF({ 0, 0, 4, 4 }, 1, 2), TRectF(-1, -2, 5, 6));
    // Width 2.5 rounds to 2, height 3.5 to 4; a scale of 0 counts as 1.
    EXPECT_EQ(SnapRectFToPixel({ 1.75f, 2.25f, 4.25f, 5.75f }, false, 1), TRectF(1, 2, 3, 6));
    EXPECT_EQ(SnapRectFToPixel({ 1.75f, 2.25f, 4.25f, 5.75f }, true, 0), TRectF(1.5f, 2.5f, 3.5f, 6.5f));
    EXPECT_EQ(SnapRectFToPixel({ 1.75f, 2.25f, 4.25f, 5.75f }, false, 2), TRectF(1.5f, 2, 4, 5.5f));
    EXPECT_EQ(RectFToRect({ 0.5f, 1.5f, 2.5f, 3.4f }), TRect(0, 2, 2, 3));
    EXPECT_FLOAT_EQ(PointFLength({ 3, 4 }), 5);
    EXPECT_TRUE(CharIsNumber(u'7'));
    EXPECT_TRUE(CharIsNumber(u'\u0663')); // Arabic-Indic three
    EXPECT_TRUE(CharIsNumber(u'\u2167')); // Roman numeral eight
    EXPECT_FALSE(CharIsNumber(u'x'));
    TPicture picture;
    EXPECT_TRUE(PictureIsEmpty(&picture));
    EXPECT_TRUE(PictureIsEmpty(nullptr));
}

TEST(LumOwnedCollection, EnumeratorVisitsEveryItemOnce)
{
    TLumGraphicsFill fill;
    fill.AddGradientItem(1, 0, 1);
    fill.AddGradientItem(2, 0.5f, 1);
    fill.AddGradientItem(3, 1, 1);
    auto e = fill.GetGradientItems()->GetEnumerator();
    std::vector<TColor> seen;
    while (e.MoveNext())
        seen.push_back(e.GetCurrent()->GetColor());
    EXPECT_EQ(seen, (std::vector<TColor> { 1, 2, 3 }));
    EXPECT_FALSE(e.MoveNext());
}

TEST(LumBitmap, PicturesAsTextAndFromTheNetwork)
{
    TLumBitmap picture;
    EXPECT_EQ(TVuzErazs::SaveBitmapToBase64(&picture), u"");
    auto raster = std::make_unique<TBitmap>(4, 3);
    picture.SetGraphic(raster.get());
    const String base64 = TVuzErazs::SaveBitmapToBase64(&picture);
    auto fromBase64 = TVuzErazs::CreateBitmapFromBase64(u"data:image/bmp;base64," + base64);
    EXPECT_EQ(fromBase64->GetWidth(), 4);
    auto fromHex = TVuzErazs::CreateBitmapFromHexStr(TVuzErazs::SaveBitmapToHexStr(&picture));
    EXPECT_EQ(fromHex->GetHeight(), 3);
    auto unknown = TVuzErazs::CreateBitmapFromHexStr(u"3C73766720");
    EXPECT_EQ(unknown->GetGraphic(), nullptr);
    EXPECT_EQ(TVuzErazs::GetImageType(picture, true), u".bmp");

    TMemoryStream bmp;
    raster->SaveToStream(bmp);
    const std::string bmpBytes(static_cast<const char*>(bmp.GetMemory()), std::size_t(bmp.GetSize()));
    testsupport::HttpServer server;
    server.Route("/logo.bmp", [&](const testsupport::HttpRequest&) {
        testsupport::HttpResponse r;
        r.ContentType = "image/bmp";
        r.Body = bmpBytes;
        return r;
    });
    TLumBitmap downloaded;
    downloaded.LoadFromURL(Utf8ToString(server.BaseUrl() + "/logo.bmp"));
    EXPECT_EQ(downloaded.GetWidth(), 4);
    // A page that is not an image, or no server at all, leaves the picture as it was.
    downloaded.LoadFromURL(Utf8ToString(server.BaseUrl() + "/missing"));
    EXPECT_EQ(downloaded.GetWidth(), 4);
}

} // namespace
