#include <gtest/gtest.h>

#include <climits>

#include "foundation/VuzErazs.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Clipboard.h"
#include "tests/support/ClosedPort.h"
#include "tests/support/HttpServer.h"

namespace {

TMemoryStream StreamOf(std::initializer_list<int> bytes)
{
    TMemoryStream s;
    for (int b : bytes) {
        const Byte v = Byte(b);
        s.WriteBuffer(&v, 1);
    }
    return s;
}

TEST(VuzErazsImages, GetImageTypeRecognisesSignatures)
{
    struct Case {
        std::initializer_list<int> bytes;
        const char16_t* type;
    };
    const Case cases[] = {
        { { 'G', 'I', 'F', '8', '9', 'a' }, u".gif" },
        { { 'B', 'M', 0, 0 }, u".bmp" },
        { { 0x89, 'P', 'N', 'G', 0x0D }, u".png" },
        { { 'I', 'I', 0x2A, 0 }, u".tiff" },
        { { 'M', 'M', 0x00, 0x2A }, u".tiff" },
        { { 0xFF, 0xD8, 0xFF, 0xE0 }, u".jpg" },
        { { 0xFF, 0xD8, 0xFF, 0xDB }, u".jpg" },
        // Other first markers are JPEGs too, not SVG text.
        { { 0xFF, 0xD8, 0xFF, 0xE2 }, u".jpg" },
        { { 0xFF, 0xD8, 0xFF, 0xED }, u".jpg" },
        { { 0xFF, 0xD8, 0xFF, 0xEE }, u".jpg" },
        { { 0xFF, 0xD8, 0xFF, 0xFE }, u".jpg" },
        { { 0, 0, 1, 0 }, u".unknown" },
        { { 0, 0, 0, 0 }, u".empty" },
        { { '<', 's', 'v', 'g' }, u"" },
        { { 'G', 'I' }, u"" }, // fewer than four bytes
    };
    for (const auto& c : cases) {
        TMemoryStream s = StreamOf(c.bytes);
        s.SetPosition(1);
        SCOPED_TRACE(StringToUtf8(c.type));
        EXPECT_EQ(TVuzErazs::GetImageType(s, true), c.type);
        EXPECT_EQ(s.GetPosition(), 1);
    }
}

TEST(VuzErazsImages, GetImageTypeReadsFromCurrentPositionWhenAsked)
{
    TMemoryStream s = StreamOf({ 'x', 'G', 'I', 'F', '8' });
    s.SetPosition(1);
    EXPECT_EQ(TVuzErazs::GetImageType(s, false), u".gif");
    EXPECT_EQ(TVuzErazs::GetImageType(s, true), u"");
}

TEST(VuzErazsImages, FindGraphicClassNeedsTheWholePngSignature)
{
    const Byte png[] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    const Byte brokenPng[] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B };
    TClass cls = nullptr;
    EXPECT_TRUE(TVuzErazs::FindGraphicClass(png, sizeof png, cls));
    EXPECT_EQ(cls->Name, u"TPngImage");
    EXPECT_FALSE(TVuzErazs::FindGraphicClass(brokenPng, sizeof brokenPng, cls));
    EXPECT_FALSE(TVuzErazs::FindGraphicClass(png, 4, cls)); // short buffer: not read beyond
    EXPECT_FALSE(TVuzErazs::FindGraphicClass(png, 0, cls));
    const Byte jpeg[] = { 0xFF, 0xD8 };
    EXPECT_TRUE(TVuzErazs::FindGraphicClass(jpeg, sizeof jpeg, cls));
    EXPECT_EQ(cls->Name, u"TJPEGImage");
}

TEST(VuzErazsDPI, MulDivIntRoundsHalfAwayFromZero)
{
    struct Case {
        int n, num, den, expected;
    };
    const Case cases[] = {
        { 5, 1, 2, 3 }, { -5, 1, 2, -3 }, { 1, 1, 0, -1 }, { 7, 3, 2, 11 }, { -11, 96, 96, -11 },
        // DPI scaling of a font height: 96 -> 144 (1.5) and 96 -> 96 (1.0).
        { -11, 144, 96, -17 }, { -12, 144, 96, -18 }, { -12, 96, 96, -12 },
        // The product is taken in 64 bits.
        { 100000, 100000, 100000, 100000 }, { INT_MAX, INT_MAX, 1, INT_MAX },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << "*" << c.num << "/" << c.den);
        EXPECT_EQ(TVuzErazs::MulDivInt(c.n, c.num, c.den), c.expected);
    }
    EXPECT_FLOAT_EQ(TVuzErazs::MulDivSingle(5, 1, 2), 2.5f);
    EXPECT_FLOAT_EQ(TVuzErazs::MulDivSingle(5, 1, 0), -1.0f);
}

TEST(VuzErazsDPI, SetFontSizeGivesTheHeightForTheScale)
{
    TFont font;
    TVuzErazs::SetFontSize(&font, 16, 1);
    EXPECT_EQ(font.GetHeight(), -16);
    TVuzErazs::SetFontSize(&font, 16, 1.5f);
    EXPECT_EQ(font.GetHeight(), -24);
    // Without any form the scale is 1.
    EXPECT_FLOAT_EQ(TVuzErazs::GetDPIScale(nullptr, 96), 1.0f);
}

TEST(VuzErazsText, FormatBytesAsString)
{
    TFormatSettings saved = ProcessFormatSettings();
    ProcessFormatSettings().DecimalSeparator = u'.';
    struct Case {
        double size;
        const char16_t* text;
    };
    const Case cases[] = {
        { 512, u"512 Bytes" }, { 0, u"0 Bytes" }, { 1536, u"1.50 KB" }, { 1024.0 * 1024 * 5.25, u"5.25 MB" },
        { 1024.0 * 1024 * 1024 * 1024 * 2, u"2.00 TB" }, { 1024.0 * 1024 * 1024 * 1024 * 2048, u"2048.00 TB" },
        { -1, u"" }, { -5, u"" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(TVuzErazs::FormatBytesAsString(c.size), c.text);
    }
    ProcessFormatSettings() = saved;
}

TEST(VuzErazsText, SlashesAndVersion)
{
    EXPECT_EQ(TVuzErazs::AddBackslash(u""), u"");
    EXPECT_EQ(TVuzErazs::AddBackslash(u"C:\\x"), u"C:\\x\\");
    EXPECT_EQ(TVuzErazs::AddBackslash(u"C:\\x\\"), u"C:\\x\\");
    EXPECT_EQ(TVuzErazs::AddForwardslash(u"/tmp"), u"/tmp/");
    EXPECT_EQ(TVuzErazs::AddForwardslash(u"/tmp/"), u"/tmp/");
    EXPECT_EQ(TVuzErazs::FormatVersionNumber(1, 2, 3, 255), u"1.2.3.255");
    const auto l = TVuzErazs::MakeLongFromWords(TVuzErazs::MakeWordFromBytes(1, 2), TVuzErazs::MakeWordFromBytes(3, 4));
    EXPECT_EQ(l, 0x01020304u);
    EXPECT_EQ(TVuzErazs::GetHiWord(l), 0x0102);
    EXPECT_EQ(TVuzErazs::GetLoWord(l), 0x0304);
}

TEST(VuzErazsText, EpochToDateTimeTakes64BitSeconds)
{
    EXPECT_DOUBLE_EQ(TVuzErazs::EpochToDateTime(u"0"), EncodeDate(1970, 1, 1));
    EXPECT_DOUBLE_EQ(TVuzErazs::EpochToDateTime(u"86400"), EncodeDate(1970, 1, 2));
    // 2100-01-01: beyond 32 bits.
    EXPECT_DOUBLE_EQ(TVuzErazs::EpochToDateTime(u"4102444800"), EncodeDate(2100, 1, 1));
    EXPECT_THROW(TVuzErazs::EpochToDateTime(u"12.5"), EConvertError);
}

TEST(VuzErazsClipboard, FormatsAreRegisteredAtStartUp)
{
    EXPECT_NE(CF_HTML, 0);
    EXPECT_EQ(CF_HTML, RegisterClipboardFormat(u"HTML Format"));
    EXPECT_EQ(CF_RICHEDITORTEXT, RegisterClipboardFormat(u"RichEditorText"));
    EXPECT_EQ(CF_LUMCLIPBOARDSTREAM, RegisterClipboardFormat(u"TLumClipBoard.StreamFormat"));
    EXPECT_EQ(CF_RTF, RegisterClipboardFormat(u"Rich Text Format"));
    EXPECT_EQ(CF_LUMBITMAP, 2);
}

TEST(VuzErazsNet, DownloadImageKeepsOnlyImageAnswers)
{
    testsupport::HttpServer server;
    const std::string body("\x89PNG\r\n\x1a\n-rest-of-picture", 24);
    server.Route("/pic.png", [&](const testsupport::HttpRequest&) {
        testsupport::HttpResponse r;
        r.ContentType = "image/png";
        r.Body = body;
        return r;
    });
    server.Route("/page", [](const testsupport::HttpRequest&) {
        testsupport::HttpResponse r;
        r.Body = "<html>not a picture</html>";
        return r;
    });
    auto image = TVuzErazs::DownloadImage(Utf8ToString(server.BaseUrl() + "/pic.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetSize(), Int64(body.size()));
    EXPECT_EQ(image->GetPosition(), Int64(body.size()));
    EXPECT_EQ(std::string(static_cast<const char*>(image->GetMemory()), body.size()), body);
    auto page = TVuzErazs::DownloadImage(Utf8ToString(server.BaseUrl() + "/page"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->GetSize(), 0);
    testsupport::ClosedPort closed;
    const String refused = Utf8ToString(closed.BaseUrl() + "/none.png");
    try {
        TVuzErazs::DownloadImage(refused);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetMessage(), u"Cannot open URL " + refused);
    }
}

} // namespace

#include "platform/vcl/JPEG.h"
#include "platform/vcl/PngImage.h"

namespace {

TEST(VuzErazsImages, ConvertBitmapToJPEGStream)
{
    TBitmap bitmap(8, 8);
    bitmap.GetCanvas()->GetBrush()->SetColor(0x3366CC);
    bitmap.GetCanvas()->FillRect(TRect { 0, 0, 8, 8 });
    TPngImage png;
    png.Assign(&bitmap);
    TPicture picture;
    picture.SetGraphic(&png);

    auto jpegBytes = [&](int quality) {
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        jpeg.SetCompressionQuality(quality);
        jpeg.Compress();
        TMemoryStream s;
        jpeg.SaveToStream(s);
        return std::string(static_cast<const char*>(s.GetMemory()), std::size_t(s.GetSize()));
    };
    auto converted = TVuzErazs::ConvertBitmapToJPEGStream(&picture, 0.8f, clNone);
    ASSERT_TRUE(converted);
    const std::string bytes(static_cast<const char*>(converted->GetMemory()), std::size_t(converted->GetSize()));
    EXPECT_EQ(bytes, jpegBytes(80));
    EXPECT_NE(bytes, jpegBytes(90));
    EXPECT_THROW(TVuzErazs::ConvertBitmapToJPEGStream(&picture, 0, clWhite), ERangeError);
    EXPECT_THROW(TVuzErazs::ConvertBitmapToJPEGStream(&picture, 1.01f, clWhite), ERangeError);

    // A JPEG picture comes back byte for byte whatever the quality.
    TMemoryStream original;
    const std::string q50 = jpegBytes(50);
    original.WriteBuffer(q50.data(), Int64(q50.size()));
    original.SetPosition(0);
    TPicture jpegPicture;
    jpegPicture.LoadFromStream(original);
    auto same = TVuzErazs::ConvertBitmapToJPEGStream(&jpegPicture, 0, clWhite);
    ASSERT_TRUE(same);
    EXPECT_EQ(std::string(static_cast<const char*>(same->GetMemory()), std::size_t(same->GetSize())), q50);

    TPicture empty;
    EXPECT_EQ(TVuzErazs::ConvertBitmapToJPEGStream(&empty, 0.5f, clWhite), nullptr);
}

} // namespace

#include "foundation/LumPersistence.h"

class TCloneProbe : public TComponent {
    QT_CLASS(TCloneProbe, TComponent)
public:
    using TComponent::TComponent;
    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    int GetCount() const { return FCount; }
    void SetCount(int v) { FCount = v; }

private:
    String FCaption;
    int FCount { 0 };
};
QT_PUBLISHED(TCloneProbe, QT_PROP(Caption), QT_PROP(Count))

namespace {

TEST(VuzErazsComponents, CloneCopiesPublishedPropertiesWithoutNameOrOwner)
{
    TComponent owner(nullptr);
    auto* probe = new TCloneProbe(&owner);
    probe->SetName(u"Probe1");
    probe->SetCaption(u"Caption \u00FC");
    probe->SetCount(42);
    std::unique_ptr<TComponent> copy = TVuzErazs::Clone(probe);
    auto* clone = dynamic_cast<TCloneProbe*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetCaption(), u"Caption \u00FC");
    EXPECT_EQ(clone->GetCount(), 42);
    EXPECT_EQ(clone->GetName(), u"");
    EXPECT_EQ(clone->GetOwner(), nullptr);
    EXPECT_EQ(probe->GetName(), u"Probe1");
    EXPECT_EQ(TVuzErazs::Clone(nullptr), nullptr);
}

TEST(VuzErazsComponents, PersistenceLogGoesToTheDebugOutput)
{
    ASSERT_FALSE(TLumPersistence::LogHook);
    TCloneProbe probe(nullptr);
    probe.SetCount(7);
    testing::internal::CaptureStderr();
    TLumPersistence::Log(&probe);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("\"Count\":7"), std::string::npos) << out;
}

} // namespace

#include "platform/vcl/WICImage.h"

namespace {

TEST(VuzErazsImages, TiffPicturesAreRecognisedAndConvertToJPEG)
{
    TClass cls = nullptr;
    const Byte little[] = { 'I', 'I', 42, 0 };
    const Byte big[] = { 'M', 'M', 0, 42 };
    const Byte otherII[] = { 'I', 'I', 43, 0 };
    const Byte otherMM[] = { 'M', 'M', 42, 0 };
    EXPECT_TRUE(TVuzErazs::FindGraphicClass(little, sizeof little, cls));
    EXPECT_EQ(cls, TWICImage::StaticClassInfo());
    EXPECT_TRUE(TVuzErazs::FindGraphicClass(big, sizeof big, cls));
    EXPECT_EQ(cls, TWICImage::StaticClassInfo());
    EXPECT_FALSE(TVuzErazs::FindGraphicClass(otherII, sizeof otherII, cls));
    EXPECT_FALSE(TVuzErazs::FindGraphicClass(otherMM, sizeof otherMM, cls));

    // A TIFF picture made here from an 8x8 bitmap of one colour.
    TBitmap bitmap(8, 8);
    bitmap.GetCanvas()->GetBrush()->SetColor(0x3366CC);
    bitmap.GetCanvas()->FillRect(TRect { 0, 0, 8, 8 });
    TWICImage tiff;
    tiff.Assign(&bitmap);
    TPicture picture;
    picture.SetGraphic(&tiff);
    auto converted = TVuzErazs::ConvertBitmapToJPEGStream(&picture, 0.9f, clWhite);
    ASSERT_TRUE(converted);
    converted->SetPosition(0);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(*converted);
    ASSERT_EQ(jpeg.GetWidth(), 8);
    ASSERT_EQ(jpeg.GetHeight(), 8);
    const std::uint32_t px = jpeg.GetImageFrame().At(4, 4);
    // JPEG is lossy: each channel near the bitmap's (0x3366CC is B=0x33 G=0x66 R=0xCC).
    EXPECT_NEAR(int((px >> 16) & 0xFF), 0xCC, 6);
    EXPECT_NEAR(int((px >> 8) & 0xFF), 0x66, 6);
    EXPECT_NEAR(int(px & 0xFF), 0x33, 6);
}

} // namespace
