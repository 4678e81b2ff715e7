#include <gtest/gtest.h>

#include <fstream>

#include "platform/gdi/SysColors.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/GIFImg.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/JPEG.h"
#include "platform/vcl/PngImage.h"
#include "tests/support/Fixtures.h"

namespace {

constexpr TColor Magenta = 0xFF00FF;

// A bitmap filled with one colour.
std::unique_ptr<TBitmap> Filled(int w, int h, TColor color, TPixelFormat format = pfDevice)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(w, h);
    b->GetCanvas()->GetBrush()->SetColor(color);
    b->GetCanvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

TImageFrame Frame(int w, int h, std::uint32_t argb)
{
    TImageFrame f;
    f.Width = w;
    f.Height = h;
    f.Pixels.assign(std::size_t(w) * std::size_t(h), argb);
    return f;
}

TBytes Saved(TGraphic& g)
{
    TBytesStream s;
    g.SaveToStream(s);
    TBytes b = s.GetBytes();
    b.resize(std::size_t(s.GetSize()));
    return b;
}

void WriteFile(const std::filesystem::path& path, const TBytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

String ToString(const std::filesystem::path& p)
{
    return Utf8ToString(p.string());
}

} // namespace

TEST(Colors, SystemColoursResolveThroughTheTableAndOthersPassThrough)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clHighlight), TColor(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
}

TEST(Colors, NamesAndNumbersBothWays)
{
    const struct {
        TColor Color;
        const char16_t* Text;
    } Cases[] = { { clRed, u"clRed" }, { clWindow, u"clWindow" }, { clNone, u"clNone" }, { cl3DLight, u"cl3DLight" },
        { TColor(0x00102030), u"$00102030" }, { TColor(0xFF0000AB), u"$FF0000AB" } };
    for (const auto& c : Cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        EXPECT_EQ(ColorToString(c.Color), c.Text);
        EXPECT_EQ(StringToColor(c.Text), c.Color);
    }
    // clSilver and clLtGray are one value: the first name is written.
    EXPECT_EQ(ColorToString(clLtGray), u"clSilver");
    EXPECT_EQ(StringToColor(u"CLINFOBK"), clInfoBk);
    EXPECT_EQ(StringToColor(u"255"), clRed);
    EXPECT_EQ(StringToColor(u"0xFF000005"), clWindow);
    for (const char16_t* Bad : { u"", u"clNoSuch", u"$1FFFFFFFF", u"12x" }) {
        SCOPED_TRACE(StringToUtf8(Bad));
        EXPECT_THROW(StringToColor(Bad), EConvertError);
    }
}

TEST(Font, HeightAndSizeFollowTheSignRuleAtEachResolution)
{
    const struct {
        int Ppi;
        int Size;
        int Height;
    } cases[] = {
        { 96, 8, -11 }, { 144, 8, -16 }, { 96, 10, -13 }, { 144, 10, -20 }, { 96, 9, -12 }, { 144, 9, -18 },
        // A positive height is the cell height: its size is negative.
        { 96, -12, 16 }, { 144, -8, 16 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Ppi << " ppi, size " << c.Size);
        TFont f;
        f.SetPixelsPerInch(c.Ppi);
        f.SetSize(c.Size);
        EXPECT_EQ(f.GetHeight(), c.Height);
        TFont g;
        g.SetPixelsPerInch(c.Ppi);
        g.SetHeight(c.Height);
        EXPECT_EQ(g.GetSize(), c.Size);
    }
}

TEST(Font, ResolutionChangeKeepsPixelsAndAssignAcrossResolutionsKeepsPoints)
{
    TFont f;
    f.SetSize(12);
    EXPECT_EQ(f.GetHeight(), -16);
    f.SetPixelsPerInch(144);
    EXPECT_EQ(f.GetHeight(), -16);
    EXPECT_EQ(f.GetSize(), 8);

    TFont screen;
    screen.SetSize(10);
    screen.SetStyle({ fsBold });
    TFont hiDpi;
    hiDpi.SetPixelsPerInch(144);
    hiDpi.Assign(&screen);
    EXPECT_EQ(hiDpi.GetSize(), 10);
    EXPECT_EQ(hiDpi.GetHeight(), -20);
    EXPECT_EQ(hiDpi.GetStyle(), TFontStyles({ fsBold }));
}

TEST(Font, ChangesNotifyOnceAndRebuildTheHandle)
{
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetName(u"Arial");
    f.SetName(u"Arial");
    f.SetHeight(-20);
    f.SetStyle({ fsBold, fsItalic });
    f.SetColor(clRed);
    f.SetColor(clRed);
    EXPECT_EQ(changes, 4);

    LOGFONTW lf;
    ASSERT_EQ(GetObjectW(f.GetHandle(), sizeof(lf), &lf), int(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(String(lf.lfFaceName), u"Arial");

    f.SetStyle({});
    ASSERT_EQ(GetObjectW(f.GetHandle(), sizeof(lf), &lf), int(sizeof(lf)));
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);

    // A handle's look comes back through SetHandle.
    TFont copy;
    copy.SetHandle(f.GetHandle());
    EXPECT_EQ(copy.GetName(), u"Arial");
    EXPECT_EQ(copy.GetHeight(), -20);
}

TEST(GraphicsObjects, PublishedPropertiesCarryThePlatformTypeNames)
{
    TFont font;
    TPen pen;
    TBrush brush;
    const struct {
        TObject* Object;
        const char16_t* Prop;
        const char16_t* TypeName;
    } cases[] = {
        { &font, u"Name", u"TFontName" }, { &font, u"Size", u"Integer" }, { &font, u"Height", u"Integer" },
        { &font, u"Color", u"TColor" }, { &font, u"Style", u"TFontStyles" }, { &font, u"Charset", u"TFontCharset" },
        { &font, u"Pitch", u"TFontPitch" }, { &font, u"Orientation", u"Integer" },
        { &font, u"Quality", u"TFontQuality" }, { &pen, u"Color", u"TColor" }, { &pen, u"Style", u"TPenStyle" },
        { &pen, u"Width", u"Integer" }, { &pen, u"Mode", u"TPenMode" }, { &brush, u"Color", u"TColor" },
        { &brush, u"Style", u"TBrushStyle" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Prop));
        PPropInfo p = GetPropInfo(c.Object, c.Prop);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->PropType->Name, c.TypeName);
    }
    EXPECT_EQ(GetPropList(&font).size(), 9u);

    SetOrdProp(&font, GetPropInfo(&font, u"Style"), TFontStyles({ fsUnderline }).Bits());
    EXPECT_TRUE(font.GetStyle().Contains(fsUnderline));
    SetStrProp(&font, GetPropInfo(&font, u"Name"), u"Verdana");
    EXPECT_EQ(font.GetName(), u"Verdana");
    SetOrdProp(&pen, GetPropInfo(&pen, u"Mode"), pmXor);
    EXPECT_EQ(pen.GetMode(), pmXor);
}

TEST(Brush, ColourOnAClearBrushMakesItSolid)
{
    TBrush b;
    b.SetStyle(bsClear);
    b.SetColor(clRed);
    EXPECT_EQ(b.GetStyle(), bsSolid);
}

TEST(Canvas, DrawsWithTheCurrentObjectsAfterEachChange)
{
    auto bmp = Filled(20, 20, clWhite);
    TCanvas* c = bmp->GetCanvas();
    c->GetPen()->SetColor(clRed);
    c->MoveTo(0, 2);
    c->LineTo(10, 2);
    // The pen changes while selected: the next line must use the new one.
    c->GetPen()->SetColor(clBlue);
    c->MoveTo(0, 5);
    c->LineTo(10, 5);
    EXPECT_EQ(c->GetPixel(3, 2), clRed);
    EXPECT_EQ(c->GetPixel(3, 5), clBlue);
    EXPECT_EQ(c->GetPixel(10, 5), clWhite) << "a line excludes its end point";
    EXPECT_EQ(c->GetPenPos(), Point(10, 5));

    c->GetBrush()->SetColor(clLime);
    c->FillRect(Rect(12, 12, 15, 15));
    EXPECT_EQ(c->GetPixel(12, 12), clLime);
    EXPECT_EQ(c->GetPixel(15, 15), clWhite);

    c->GetPen()->SetMode(pmXor);
    c->GetPen()->SetColor(clWhite);
    c->MoveTo(12, 13);
    c->LineTo(15, 13);
    EXPECT_EQ(c->GetPixel(13, 13), TColor(0xFFFFFF ^ clLime));

    c->SetPixel(0, 19, clNavy);
    EXPECT_EQ(c->GetPixel(0, 19), clNavy);
}

TEST(Canvas, TextBackgroundFollowsTheBrushStyle)
{
    for (bool clear : { false, true }) {
        SCOPED_TRACE(clear ? "bsClear" : "bsSolid");
        auto bmp = Filled(80, 30, clWhite);
        TCanvas* c = bmp->GetCanvas();
        c->GetFont()->SetColor(clBlack);
        c->GetBrush()->SetColor(clYellow);
        if (clear)
            c->GetBrush()->SetStyle(bsClear);
        c->TextOut(2, 2, u"l");
        // Right of the narrow letter, inside the text cell.
        const TSize ext = c->TextExtent(u"l");
        EXPECT_EQ(c->GetPixel(2 + ext.cx - 1, 3), clear ? clWhite : clYellow);
        EXPECT_EQ(c->GetPenPos(), Point(2 + ext.cx, 2));
    }
}

TEST(Canvas, TextMeasuresGrowWithTheFontAndCalcRectMatchesTheExtent)
{
    TBitmap bmp(10, 10);
    TCanvas* c = bmp.GetCanvas();
    EXPECT_EQ(c->TextWidth(u""), 0);
    c->GetFont()->SetSize(8);
    const TSize small = c->TextExtent(u"Hello world");
    c->GetFont()->SetSize(16);
    const TSize big = c->TextExtent(u"Hello world");
    EXPECT_GT(big.cx, small.cx);
    EXPECT_GT(big.cy, small.cy);

    TRect r = Rect(0, 0, 1000, 0);
    String text = u"Hello world";
    c->TextRect(r, text, { tfCalcRect, tfSingleLine });
    EXPECT_EQ(r.Width(), big.cx);
    EXPECT_EQ(r.Height(), big.cy);

    TRect narrow = Rect(0, 0, big.cx / 2, 0);
    c->TextRect(narrow, text, { tfCalcRect, tfWordBreak });
    EXPECT_GE(narrow.Height(), 2 * big.cy) << "word wrapping needs two lines";
}

TEST(Canvas, WithoutAContextDrawingRaises)
{
    TCanvas c;
    EXPECT_THROW(c.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(Canvas, BrushCopyReplacesOnlyTheKeyColour)
{
    auto src = Filled(4, 4, clRed);
    src->GetCanvas()->SetPixel(1, 1, Magenta);
    auto dst = Filled(4, 4, clWhite);
    dst->GetCanvas()->GetBrush()->SetColor(clBlue);
    dst->GetCanvas()->BrushCopy(Rect(0, 0, 4, 4), src.get(), Rect(0, 0, 4, 4), Magenta);
    EXPECT_EQ(dst->GetCanvas()->GetPixel(1, 1), clBlue);
    EXPECT_EQ(dst->GetCanvas()->GetPixel(2, 2), clRed);
}

TEST(Bitmap, ResizingKeepsTheOverlapAndNewPixelsAreBlack)
{
    auto b = Filled(4, 4, clRed);
    int changes = 0;
    b->OnChange = [&](TObject*) { ++changes; };
    b->SetSize(6, 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b->GetWidth(), 6);
    EXPECT_EQ(b->GetCanvas()->GetPixel(3, 2), clRed);
    EXPECT_EQ(b->GetCanvas()->GetPixel(5, 0), clBlack);
    b->SetSize(0, 3);
    EXPECT_TRUE(b->Empty());
}

TEST(Bitmap, ScanLinesHaveTheLayoutOfThePixelFormat)
{
    const struct {
        TPixelFormat Format;
        int BytesPerPixel;
    } cases[] = { { pf24bit, 3 }, { pf32bit, 4 }, { pfDevice, 4 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.BytesPerPixel);
        TBitmap b;
        b.SetPixelFormat(c.Format);
        b.SetSize(3, 2);
        auto* row = static_cast<Byte*>(b.ScanLine(1));
        // Blue, green, red at pixel 2 of row 1.
        row[2 * c.BytesPerPixel + 0] = 0x10;
        row[2 * c.BytesPerPixel + 1] = 0x20;
        row[2 * c.BytesPerPixel + 2] = 0x30;
        if (c.BytesPerPixel == 4)
            row[2 * 4 + 3] = 0xFF;
        EXPECT_EQ(b.GetCanvas()->GetPixel(2, 1), TColor(0x102030));
        EXPECT_EQ(b.GetImageFrame().At(2, 1), 0xFF302010u);
        EXPECT_THROW(b.ScanLine(2), EInvalidGraphic);
        EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
    }
    TBitmap b;
    EXPECT_THROW(b.SetPixelFormat(pf8bit), EInvalidGraphic);
}

TEST(Bitmap, AutomaticTransparencyKeysOnTheBottomLeftPixel)
{
    auto b = Filled(4, 4, clRed, pf24bit);
    b->GetCanvas()->SetPixel(0, 3, Magenta);
    b->GetCanvas()->SetPixel(2, 1, Magenta);
    EXPECT_EQ(b->GetTransparentMode(), tmAuto);
    EXPECT_EQ(b->GetTransparentColor(), Magenta);
    b->SetTransparent(true);

    auto target = Filled(4, 4, clWhite);
    target->GetCanvas()->Draw(0, 0, b.get());
    EXPECT_EQ(target->GetCanvas()->GetPixel(0, 3), clWhite);
    EXPECT_EQ(target->GetCanvas()->GetPixel(2, 1), clWhite);
    EXPECT_EQ(target->GetCanvas()->GetPixel(1, 1), clRed);

    // Stretched, the keyed pixels stay out too.
    auto big = Filled(8, 8, clWhite);
    big->GetCanvas()->StretchDraw(Rect(0, 0, 8, 8), b.get());
    EXPECT_EQ(big->GetCanvas()->GetPixel(4, 2), clWhite);
    EXPECT_EQ(big->GetCanvas()->GetPixel(5, 3), clWhite);
    EXPECT_EQ(big->GetCanvas()->GetPixel(2, 2), clRed);

    // A fixed colour overrides the corner; clDefault goes back to automatic.
    b->SetTransparentColor(clRed);
    EXPECT_EQ(b->GetTransparentMode(), tmFixed);
    auto fixed = Filled(4, 4, clWhite);
    fixed->GetCanvas()->Draw(0, 0, b.get());
    EXPECT_EQ(fixed->GetCanvas()->GetPixel(1, 1), clWhite);
    EXPECT_EQ(fixed->GetCanvas()->GetPixel(0, 3), Magenta);
    b->SetTransparentColor(clDefault);
    EXPECT_EQ(b->GetTransparentMode(), tmAuto);
    EXPECT_EQ(b->GetTransparentColor(), Magenta);

    // Opaque drawing ignores the key.
    b->SetTransparent(false);
    auto opaque = Filled(4, 4, clWhite);
    opaque->GetCanvas()->Draw(0, 0, b.get());
    EXPECT_EQ(opaque->GetCanvas()->GetPixel(0, 3), Magenta);
}

TEST(Bitmap, AlphaFormatsBlendAndConvert)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(2, 1);
    auto* px = static_cast<std::uint32_t*>(b.ScanLine(0));
    px[0] = 0x80FF0000; // half-opaque red, straight
    px[1] = 0x00000000;
    b.SetAlphaFormat(afDefined);
    EXPECT_TRUE(b.SupportsPartialTransparency());
    auto target = Filled(2, 1, clWhite);
    target->GetCanvas()->Draw(0, 0, &b);
    const TColor blended = target->GetCanvas()->GetPixel(0, 0);
    EXPECT_EQ(GetRValue(COLORREF(blended)), 255);
    EXPECT_NEAR(GetGValue(COLORREF(blended)), 127, 2);
    EXPECT_EQ(target->GetCanvas()->GetPixel(1, 0), clWhite);

    b.SetAlphaFormat(afPremultiplied);
    EXPECT_EQ(static_cast<std::uint32_t*>(b.ScanLine(0))[0], 0x80800000u);
    EXPECT_EQ(b.GetImageFrame().At(0, 0), 0x80FF0000u);
}

TEST(Bitmap, StreamsRoundTripAndRejectOtherFormats)
{
    for (TPixelFormat format : { pf24bit, pf32bit }) {
        SCOPED_TRACE(int(format));
        auto b = Filled(5, 3, clTeal, format);
        b->GetCanvas()->SetPixel(4, 2, clYellow);
        TBytesStream s;
        b->SaveToStream(s);
        const Int64 end = s.GetSize();
        const Byte trailer[] = { 1, 2, 3 };
        s.WriteBuffer(trailer, 3);
        s.SetPosition(0);
        TBitmap back;
        back.LoadFromStream(s);
        EXPECT_EQ(s.GetPosition(), end) << "bytes after the bitmap file stay unread";
        EXPECT_EQ(back.GetPixelFormat(), format);
        EXPECT_EQ(back.GetWidth(), 5);
        EXPECT_EQ(back.GetCanvas()->GetPixel(4, 2), clYellow);
        EXPECT_EQ(back.GetCanvas()->GetPixel(0, 0), clTeal);
    }
    TPngImage png;
    png.Assign(Filled(2, 2, clRed).get());
    TBytesStream pngBytes(Saved(png));
    TBitmap b;
    EXPECT_THROW(b.LoadFromStream(pngBytes), EInvalidGraphic);
    TBytesStream truncated(TBytes { 'B', 'M', 0, 0 });
    EXPECT_THROW(b.LoadFromStream(truncated), EInvalidGraphic);
}

TEST(Bitmap, MaskAndMonochromeAreBlackAndWhite)
{
    auto b = Filled(3, 1, clRed);
    b->GetCanvas()->SetPixel(1, 0, Magenta);
    TBitmap copy;
    copy.Assign(b.get());
    b->Mask(Magenta);
    EXPECT_TRUE(b->GetMonochrome());
    EXPECT_EQ(b->GetCanvas()->GetPixel(1, 0), clWhite);
    EXPECT_EQ(b->GetCanvas()->GetPixel(0, 0), clBlack);
    // The copy was independent of the original.
    EXPECT_EQ(copy.GetCanvas()->GetPixel(0, 0), clRed);
    copy.SetMonochrome(true);
    EXPECT_EQ(copy.GetImageFrame().At(1, 0), 0xFF000000u);
}

TEST(PngImage, KeepsAlphaThroughStreamsAndDrawsBlended)
{
    TPngImage png;
    TImageFrame f = Frame(2, 1, 0xFF0000FF);
    f.At(1, 0) = 0x4000FF00;
    TBitmap src;
    src.SetImageFrame(f);
    EXPECT_EQ(src.GetPixelFormat(), pf32bit);
    png.Assign(&src);
    EXPECT_TRUE(png.GetTransparent());
    TBytesStream s(Saved(png));
    TPngImage back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.GetImageFrame().Pixels, f.Pixels);

    auto target = Filled(2, 1, clBlack);
    target->GetCanvas()->Draw(0, 0, &back);
    EXPECT_EQ(target->GetCanvas()->GetPixel(0, 0), clBlue);
    EXPECT_NEAR(GetGValue(COLORREF(target->GetCanvas()->GetPixel(1, 0))), 0x40, 2);

    // A colour-keyed bitmap hands its key over as transparency.
    auto keyed = Filled(2, 2, clRed);
    keyed->GetCanvas()->SetPixel(0, 1, Magenta);
    keyed->SetTransparent(true);
    TPngImage fromKeyed;
    fromKeyed.Assign(keyed.get());
    EXPECT_EQ(fromKeyed.GetImageFrame().At(0, 1) >> 24, 0u);
    EXPECT_EQ(fromKeyed.GetImageFrame().At(1, 1), 0xFFFF0000u);
}

TEST(JPEGImage, KeepsLoadedBytesAndEncodesNewPixelsAtTheQuality)
{
    // A noisy picture so the quality shows in the size.
    TImageFrame f = Frame(32, 32, 0);
    std::uint32_t seed = 1;
    for (auto& px : f.Pixels) {
        seed = seed * 1103515245u + 12345u;
        px = 0xFF000000u | (seed >> 8);
    }
    TBitmap src;
    src.SetImageFrame(f);
    TJPEGImage low, high;
    low.SetCompressionQuality(10);
    high.SetCompressionQuality(95);
    low.Assign(&src);
    high.Assign(&src);
    const TBytes lowBytes = Saved(low), highBytes = Saved(high);
    EXPECT_LT(lowBytes.size(), highBytes.size());

    TBytesStream s(lowBytes);
    TJPEGImage loaded;
    loaded.SetCompressionQuality(100);
    loaded.LoadFromStream(s);
    EXPECT_EQ(loaded.GetWidth(), 32);
    EXPECT_EQ(Saved(loaded), lowBytes) << "a loaded JPEG is saved back unchanged";
    EXPECT_THROW(loaded.SetWidth(10), EInvalidGraphicOperation);

    high.SetCompressionQuality(500);
    EXPECT_EQ(high.GetCompressionQuality(), 100);
}

TEST(GIFImage, NewPixelsSurviveTheGifEncoding)
{
    TImageFrame few = Frame(4, 2, 0xFFFF0000);
    few.At(1, 0) = 0xFF00FF00;
    few.At(3, 1) = 0x00000000; // transparent
    TImageFrame many = Frame(20, 20, 0);
    for (int i = 0; i < 400; ++i)
        many.Pixels[std::size_t(i)] = 0xFF000000u | std::uint32_t(i * 40503);
    for (const TImageFrame* f : { &few, &many }) {
        SCOPED_TRACE(f->Width);
        TBitmap src;
        src.SetImageFrame(*f);
        TGIFImage gif;
        gif.Assign(&src);
        TBytesStream s(Saved(gif));
        TGIFImage back;
        back.LoadFromStream(s);
        ASSERT_EQ(back.GetFrameCount(), 1);
        EXPECT_EQ(back.GetWidth(), f->Width);
        if (f == &few) {
            EXPECT_EQ(back.GetFrame(0).Pixels, few.Pixels);
            EXPECT_TRUE(back.GetTransparent());
        }
    }
    TGIFImage empty;
    EXPECT_THROW(empty.GetFrame(0), EListError);
}

TEST(Icon, SavedIconsLoadBackAndKeepTheirSize)
{
    TImageFrame f = Frame(16, 16, 0x80FF8000);
    TBitmap bmp;
    bmp.SetImageFrame(f);
    TIcon icon;
    icon.Assign(&bmp);
    EXPECT_TRUE(icon.GetTransparent());
    const TBytes bytes = Saved(icon);
    TBytesStream s(bytes);
    TIcon back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.GetImageFrame().Pixels, f.Pixels);
    EXPECT_EQ(Saved(back), bytes);
    EXPECT_THROW(back.SetWidth(32), EInvalidGraphicOperation);
    EXPECT_NE(back.GetHandle(), nullptr);
}

namespace {

// A format of the test's own: files starting with "QTPIC".
class TTestPicture : public TGraphic {
    QT_CLASS(TTestPicture, TGraphic)
public:
    bool GetEmpty() const override { return !Loaded; }
    int GetWidth() const override { return 1; }
    int GetHeight() const override { return 1; }
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    void Draw(TCanvas*, const TRect&) override { }
    void LoadFromStream(TStream& stream) override
    {
        stream.Seek(0, soEnd);
        Loaded = true;
    }
    void SaveToStream(TStream&) override { }
    static bool CanLoadFromStream(TStream& stream)
    {
        char head[5] {};
        return stream.Read(head, 5) == 5 && std::string(head, 5) == "QTPIC";
    }
    TImageFrame GetImageFrame() override { return {}; }
    bool Loaded { false };
};

QT_PUBLISHED(TTestPicture)

} // namespace

TEST(Picture, FormatComesFromTheSignatureBeforeTheExtension)
{
    testsupport::TempDir dir;
    TBitmap bmp;
    bmp.SetImageFrame(Frame(3, 2, 0xFF112233));
    TPngImage png;
    png.Assign(&bmp);
    TJPEGImage jpeg;
    jpeg.Assign(&bmp);
    TGIFImage gif;
    gif.Assign(&bmp);
    TIcon ico;
    ico.Assign(&bmp);
    const struct {
        TGraphic* Graphic;
        const char* FileName;
        const char16_t* ClassName;
    } cases[] = {
        { &bmp, "a.png", u"TBitmap" }, { &png, "b.jpg", u"TPngImage" }, { &jpeg, "c.dat", u"TJPEGImage" },
        { &gif, "d.bmp", u"TGIFImage" }, { &ico, "e", u"TIcon" }, { &png, "f.PNG", u"TPngImage" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FileName);
        WriteFile(dir / c.FileName, Saved(*c.Graphic));
        TPicture pic;
        pic.LoadFromFile(ToString(dir / c.FileName));
        ASSERT_NE(pic.GetGraphic(), nullptr);
        EXPECT_EQ(pic.GetGraphic()->ClassName(), c.ClassName);
        EXPECT_EQ(pic.GetWidth(), 3);
        EXPECT_EQ(pic.GetHeight(), 2);

        TBytesStream s(Saved(*c.Graphic));
        TPicture fromStream;
        fromStream.LoadFromStream(s);
        EXPECT_EQ(fromStream.GetGraphic()->ClassName(), c.ClassName);
    }
}

TEST(Picture, UnknownFormatsRaiseAndKeepTheOldGraphic)
{
    testsupport::TempDir dir;
    const TBytes metafile = { 0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0 };
    WriteFile(dir / "m.wmf", metafile);
    WriteFile(dir / "m.emf", metafile);
    WriteFile(dir / "broken.png", TBytes { 1, 2, 3, 4 });

    TPicture pic;
    pic.GetBitmap()->SetSize(7, 7);
    const struct {
        const char* FileName;
        const char16_t* Message;
    } cases[] = {
        { "m.wmf", u"Unknown picture file extension (.wmf)" },
        { "m.emf", u"Unknown picture file extension (.emf)" },
        { "broken.png", nullptr }, // the PNG reader's own complaint
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FileName);
        try {
            pic.LoadFromFile(ToString(dir / c.FileName));
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            if (c.Message) {
                EXPECT_EQ(e.Message, c.Message);
            }
        }
        EXPECT_EQ(pic.GetWidth(), 7);
    }
    TBytesStream s(metafile);
    EXPECT_THROW(pic.LoadFromStream(s), EInvalidGraphic);
    EXPECT_EQ(pic.GetWidth(), 7);
}

TEST(Picture, RegisteredFormatsJoinTheDetection)
{
    TBytesStream s(TBytes { 'Q', 'T', 'P', 'I', 'C', 0 });
    TPicture pic;
    EXPECT_THROW(pic.LoadFromStream(s), EInvalidGraphic);
    s.SetPosition(0);
    TPicture::RegisterFileFormat<TTestPicture>(u".qtp", u"Test pictures");
    EXPECT_EQ(TPicture::FindGraphicClassByExtension(u"QTP"), TTestPicture::StaticClassInfo());
    EXPECT_NE(TPicture::GraphicFilter().find(u"Test pictures (*.qtp)|*.qtp"), String::npos);
    pic.LoadFromStream(s);
    EXPECT_EQ(pic.GetGraphic()->ClassName(), u"TTestPicture");
    TPicture::UnregisterGraphicClass(TTestPicture::StaticClassInfo());
    s.SetPosition(0);
    EXPECT_THROW(pic.LoadFromStream(s), EInvalidGraphic);
    EXPECT_EQ(TPicture::FindGraphicClassByExtension(u"qtp"), nullptr);
    EXPECT_EQ(TPicture::GraphicFilter(TBitmap::StaticClassInfo()), u"Bitmaps (*.bmp)|*.bmp");
}

TEST(Picture, HoldsCopiesAndTellsAboutChanges)
{
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    auto red = Filled(2, 2, clRed);
    pic.SetGraphic(red.get());
    EXPECT_EQ(changes, 1);
    red->SetSize(5, 5);
    EXPECT_EQ(pic.GetWidth(), 2) << "the picture holds its own copy";
    pic.GetBitmap()->SetSize(4, 4);
    EXPECT_EQ(changes, 2) << "a change of the held graphic reaches the picture";

    TPngImage png;
    png.Assign(red.get());
    pic.SetGraphic(&png);
    EXPECT_EQ(pic.GetGraphic()->ClassName(), u"TPngImage");
    TBitmap* b = pic.GetBitmap();
    EXPECT_TRUE(b->Empty()) << "asking for a bitmap replaces another format";

    TPicture other;
    other.Assign(&pic);
    EXPECT_NE(other.GetGraphic(), pic.GetGraphic());
    other.Assign(nullptr);
    EXPECT_EQ(other.GetGraphic(), nullptr);
}
