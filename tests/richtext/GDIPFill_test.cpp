#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/gdi/Codecs.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"
#include "richtext/GDIPFill.h"
#include "tests/support/Fixtures.h"

using namespace LumGDIP;

namespace {

constexpr ARGB White = 0xFFFFFFFF;
constexpr ARGB Red = 0xFFFF0000;  // clRed as ARGB
constexpr ARGB Blue = 0xFF0000FF; // clBlue as ARGB

// A drawing surface whose pixels can be read back.
struct TSurface {
    TSurface(int w, int h, ARGB background = White) : Bitmap(w, h, PixelFormat32bppARGB)
    {
        Graphics.reset(TGPGraphics::FromImage(&Bitmap));
        Graphics->Clear(background);
    }
    ARGB At(int x, int y)
    {
        Graphics->Flush();
        ARGB c = 0;
        Bitmap.GetPixel(x, y, c);
        return c;
    }
    TGPBitmap Bitmap;
    std::unique_ptr<TGPGraphics> Graphics;
};

// Channels within a few steps of each other: gradient brushes span their
// area grown by a pixel, so their ends are close to, not exactly, the colours.
bool Near(ARGB a, ARGB b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24)
            return false;
    return true;
}

TBytes PictureBytes(TLumGDIPPicture* p)
{
    TMemoryStream s;
    p->SaveToStream(s);
    TBytes b(std::size_t(s.GetSize()));
    s.SetPosition(0);
    if (!b.empty())
        s.ReadBuffer(b.data(), int(b.size()));
    return b;
}

void LoadPicture(TLumGDIPPicture* p, const TBytes& bytes)
{
    TBytesStream s(bytes);
    p->LoadFromStream(s);
}

TImageFrame Frame(int w, int h, std::uint32_t fill)
{
    TImageFrame f;
    f.Width = w;
    f.Height = h;
    f.Pixels.assign(std::size_t(w) * std::size_t(h), fill);
    return f;
}

// A solid red fill with no border, shadow or glow.
void MakeSolid(TGDIPFill& f, TColor color = clRed)
{
    f.SetColor(color);
    f.SetColorTo(clNone);
    f.SetGradientType(gtSolid);
}

class GDIPFillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
};

TEST_F(GDIPFillTest, MirroredFillSplitsIntoTwoOverlappingHalves)
{
    TGDIPFill f;
    MakeSolid(f);
    f.SetColorMirror(clBlue);
    f.SetColorMirrorTo(clNone);
    f.SetGradientMirrorType(gtSolid);
    TSurface s(40, 40);
    // Height 20 at y 10: the top half covers rows 10..20, the bottom half
    // (drawn last) rows 19..29.
    f.Fill(s.Graphics.get(), TGPRectF { 0, 10, 20, 20 });
    struct {
        int Y;
        ARGB Expected;
    } const cases[] = { { 9, White }, { 10, Red }, { 18, Red }, { 19, Blue }, { 29, Blue }, { 30, White } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Y);
        EXPECT_EQ(s.At(5, c.Y), c.Expected);
    }
}

TEST_F(GDIPFillTest, ColourKindsDecideWhatTheBackgroundShows)
{
    struct {
        const char* Name;
        TColor Color, ColorTo;
        TLumGradientType Kind;
        ARGB Top, Bottom;
    } const cases[] = {
        { "no end colour: solid start colour", clRed, clNone, gtVertical, Red, Red },
        { "vertical gradient", clRed, clBlue, gtVertical, Red, Blue },
        { "no start colour: nothing", clNone, clBlue, gtVertical, White, White },
        { "path kind: nothing", clRed, clBlue, gtPath, White, White },
        { "none kind: nothing", clRed, clBlue, gtNone, White, White },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGDIPFill f;
        f.SetColor(c.Color);
        f.SetColorTo(c.ColorTo);
        f.SetGradientType(c.Kind);
        TSurface s(30, 60);
        f.Fill(s.Graphics.get(), TGPRectF { 0, 0, 30, 60 });
        EXPECT_PRED2(Near, s.At(15, 0), c.Top);
        EXPECT_PRED2(Near, s.At(15, 59), c.Bottom);
    }
}

TEST_F(GDIPFillTest, OnePixelHighFillDrawsOnlyTheBorderLine)
{
    TGDIPFill f;
    MakeSolid(f);
    f.SetBorderColor(clBlue);
    TSurface s(40, 10);
    const TGPRectF r = f.Fill(s.Graphics.get(), TGPRectF { 2, 5, 30, 1 });
    EXPECT_EQ(r.Height, 1);
    EXPECT_EQ(s.At(10, 5), Blue);
    EXPECT_EQ(s.At(10, 4), White);
    EXPECT_EQ(s.At(10, 6), White);

    f.SetBorderColor(clNone); // no border: nothing at all
    TSurface t(40, 10);
    f.Fill(t.Graphics.get(), TGPRectF { 2, 5, 30, 1 });
    EXPECT_EQ(t.At(10, 5), White);
}

TEST_F(GDIPFillTest, ShadowKindsShrinkTheReturnedRectangle)
{
    struct {
        const char* Name;
        TShadowType Type;
        int Offset;
        TColor Color;
        TGPRectF Expected;
    } const cases[] = {
        { "surround", stSurround, 4, 0x808080, { 14, 24, 92, 42 } },
        { "right and bottom", stRightBottom, 4, 0x808080, { 10, 20, 96, 46 } },
        { "bottom", stBottom, 4, 0x808080, { 10, 20, 100, 46 } },
        { "no offset", stSurround, 0, 0x808080, { 10, 20, 100, 50 } },
        { "no colour", stSurround, 4, clNone, { 10, 20, 100, 50 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGDIPFill f;
        MakeSolid(f);
        f.SetShadowType(c.Type);
        f.SetShadowOffset(c.Offset);
        f.SetShadowColor(c.Color);
        TSurface s(120, 80);
        const TGPRectF r = f.Fill(s.Graphics.get(), TGPRectF { 10, 20, 100, 50 });
        EXPECT_EQ(r.X, c.Expected.X);
        EXPECT_EQ(r.Y, c.Expected.Y);
        EXPECT_EQ(r.Width, c.Expected.Width);
        EXPECT_EQ(r.Height, c.Expected.Height);
        // The focus area is what remains inside the border.
        EXPECT_EQ(f.GetFocusRect().X, c.Expected.X + 1);
        EXPECT_EQ(f.GetFocusRect().Width, c.Expected.Width - 2);
    }
}

TEST_F(GDIPFillTest, RightBottomShadowDrawsOutsideTheReturnedArea)
{
    TGDIPFill f;
    MakeSolid(f);
    f.SetShadowOffset(6);
    f.SetShadowColor(clBlack);
    TSurface s(60, 60);
    f.Fill(s.Graphics.get(), TGPRectF { 0, 0, 50, 50 });
    EXPECT_EQ(s.At(20, 20), Red);
    const ARGB shadow = s.At(47, 25); // right of the fill, inside the shadow
    EXPECT_NE(shadow, White);
    EXPECT_NE(shadow, Red);
    EXPECT_EQ(s.At(55, 25), White);
}

TEST_F(GDIPFillTest, OpacityArgumentOf255UsesTheProperty)
{
    struct {
        Byte Property, Argument, Alpha;
    } const cases[] = { { 100, 255, 100 }, { 100, 50, 50 }, { 255, 255, 255 }, { 255, 0, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Argument));
        TGDIPFill f;
        MakeSolid(f);
        f.SetOpacity(c.Property);
        TSurface s(10, 10, 0);
        f.Fill(s.Graphics.get(), TGPRectF { 0, 0, 10, 10 }, 255, c.Argument);
        EXPECT_EQ(s.At(5, 5) >> 24, c.Alpha);
    }
}

TEST_F(GDIPFillTest, FocusOutlineWithDefaultRoundingHasSquareCorners)
{
    // Rounding 0 less BorderWidth 1 is a negative radius: square corners.
    TGDIPFill f;
    MakeSolid(f, clWhite);
    f.SetFocus(true);
    f.SetFocusColor(clBlack);
    TSurface s(30, 30);
    f.Fill(s.Graphics.get(), TGPRectF { 0, 0, 20, 20 });
    EXPECT_EQ(s.At(1, 1), 0xFF000000u);
    EXPECT_EQ(s.At(10, 10), White);

    // A radius far above the size is capped and still draws an outline.
    f.SetRounding(100);
    TSurface t(30, 30);
    f.Fill(t.Graphics.get(), TGPRectF { 0, 0, 20, 20 });
    bool dark = false;
    for (int x = 0; x < 20; ++x)
        dark = dark || t.At(x, 1) != White;
    EXPECT_TRUE(dark);
}

TEST_F(GDIPFillTest, PicturePlacementFollowsThePosition)
{
    struct {
        TFillPicturePosition Position;
        int X, Y; // the picture's top-left pixel
    } const cases[] = {
        { ppTopLeft, 0, 0 }, { ppTopRight, 36, 0 }, { ppBottomCenter, 18, 26 }, { ppCenterCenter, 18, 13 },
    };
    const TBytes png = EncodePng(Frame(4, 4, 0xFF0000FF));
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Position));
        TGDIPFill f;
        MakeSolid(f, clWhite);
        LoadPicture(f.GetPicture(), png);
        f.SetPicturePosition(c.Position);
        TSurface s(40, 30);
        f.Fill(s.Graphics.get(), TGPRectF { 0, 0, 40, 30 });
        EXPECT_EQ(s.At(c.X + 1, c.Y + 1), Blue);
        EXPECT_EQ(s.At(c.X > 0 ? c.X - 1 : c.X + 5, c.Y + 1), White);
    }
}

TEST_F(GDIPFillTest, ChangeNotificationsAndUpdateBrackets)
{
    TGDIPFill f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetColor(clRed);
    f.SetColor(clRed); // same value: no change
    EXPECT_EQ(changes, 1);

    f.BeginUpdate();
    f.SetRounding(4);
    LoadPicture(f.GetPicture(), EncodePng(Frame(2, 2, 0xFF00FF00)));
    f.EndUpdate();
    EXPECT_EQ(changes, 1);
    f.EndUpdate(); // not below zero
    f.SetRounding(5);
    EXPECT_EQ(changes, 2);

    TGDIPFill other;
    other.SetBorderColor(clGreen);
    f.Assign(&other);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(f.GetBorderColor(), clGreen);
    EXPECT_TRUE(f.GetPicture()->GetEmpty());
}

// A fill with a value other than the default in every stored property.
void MakeDistinct(TGDIPFill& f)
{
    f.SetColor(0x010203);
    f.SetColorTo(0x040506);
    f.SetColorMirror(0x070809);
    f.SetColorMirrorTo(0x0A0B0C);
    f.SetGradientType(gtHatch);
    f.SetGradientMirrorType(gtAngle);
    f.SetHatchStyle(7);
    f.SetHatchStyleMirror(52);
    f.SetBackGroundPictureMode(pmInsideFill);
    f.SetBackGroundPicturePosition(ppCustom);
    f.SetBackGroundPictureLeft(-3);
    f.SetBackGroundPictureTop(4);
    f.SetPicturePosition(ppCenterRight);
    f.SetPictureLeft(5);
    f.SetPictureTop(-6);
    f.SetPictureSize(psCustom);
    f.SetPictureWidth(70);
    f.SetPictureHeight(80);
    f.SetOpacity(1);
    f.SetOpacityTo(2);
    f.SetOpacityMirror(3);
    f.SetOpacityMirrorTo(0);
    f.SetBorderColor(clNavy);
    f.SetBorderOpacity(9);
    f.SetBorderWidth(3);
    f.SetRounding(11);
    f.SetRoundingType(rtRight);
    f.SetShadowOffset(12);
    f.SetShadowColor(clNone);
    f.SetAngle(45);
    f.SetGlow(gmRadialGradient);
    f.SetGlowGradientColor(clYellow);
    f.SetGlowRadialColor(clAqua);
    LoadPicture(f.GetPicture(), EncodePng(Frame(3, 2, 0xFF112233)));
    LoadPicture(f.GetBackGroundPicture(), EncodeBmp(Frame(2, 5, 0xFF445566)));
}

void ExpectSameStored(TGDIPFill& a, TGDIPFill& b)
{
    EXPECT_EQ(a.GetColor(), b.GetColor());
    EXPECT_EQ(a.GetColorTo(), b.GetColorTo());
    EXPECT_EQ(a.GetColorMirror(), b.GetColorMirror());
    EXPECT_EQ(a.GetColorMirrorTo(), b.GetColorMirrorTo());
    EXPECT_EQ(a.GetGradientType(), b.GetGradientType());
    EXPECT_EQ(a.GetGradientMirrorType(), b.GetGradientMirrorType());
    EXPECT_EQ(a.GetHatchStyle(), b.GetHatchStyle());
    EXPECT_EQ(a.GetHatchStyleMirror(), b.GetHatchStyleMirror());
    EXPECT_EQ(a.GetBackGroundPictureMode(), b.GetBackGroundPictureMode());
    EXPECT_EQ(a.GetBackGroundPicturePosition(), b.GetBackGroundPicturePosition());
    EXPECT_EQ(a.GetBackGroundPictureLeft(), b.GetBackGroundPictureLeft());
    EXPECT_EQ(a.GetBackGroundPictureTop(), b.GetBackGroundPictureTop());
    EXPECT_EQ(a.GetPicturePosition(), b.GetPicturePosition());
    EXPECT_EQ(a.GetPictureLeft(), b.GetPictureLeft());
    EXPECT_EQ(a.GetPictureTop(), b.GetPictureTop());
    EXPECT_EQ(a.GetPictureSize(), b.GetPictureSize());
    EXPECT_EQ(a.GetPictureWidth(), b.GetPictureWidth());
    EXPECT_EQ(a.GetPictureHeight(), b.GetPictureHeight());
    EXPECT_EQ(a.GetOpacity(), b.GetOpacity());
    EXPECT_EQ(a.GetOpacityTo(), b.GetOpacityTo());
    EXPECT_EQ(a.GetOpacityMirror(), b.GetOpacityMirror());
    EXPECT_EQ(a.GetOpacityMirrorTo(), b.GetOpacityMirrorTo());
    EXPECT_EQ(a.GetBorderColor(), b.GetBorderColor());
    EXPECT_EQ(a.GetBorderOpacity(), b.GetBorderOpacity());
    EXPECT_EQ(a.GetBorderWidth(), b.GetBorderWidth());
    EXPECT_EQ(a.GetRounding(), b.GetRounding());
    EXPECT_EQ(a.GetRoundingType(), b.GetRoundingType());
    EXPECT_EQ(a.GetShadowOffset(), b.GetShadowOffset());
    EXPECT_EQ(a.GetShadowColor(), b.GetShadowColor());
    EXPECT_EQ(a.GetAngle(), b.GetAngle());
    EXPECT_EQ(a.GetGlow(), b.GetGlow());
    EXPECT_EQ(a.GetGlowGradientColor(), b.GetGlowGradientColor());
    EXPECT_EQ(a.GetGlowRadialColor(), b.GetGlowRadialColor());
    EXPECT_EQ(PictureBytes(a.GetPicture()), PictureBytes(b.GetPicture()));
    EXPECT_EQ(PictureBytes(a.GetBackGroundPicture()), PictureBytes(b.GetBackGroundPicture()));
}

TEST_F(GDIPFillTest, IniSectionRoundTripRestoresStoredPropertiesAndBothPictures)
{
    testsupport::TempDir dir;
    const String file = Utf8ToString((dir / "fill.ini").string());
    TGDIPFill source;
    MakeDistinct(source);
    source.SetShadowType(stBottom);
    source.SaveToFile(file, u"Fill");

    TGDIPFill loaded;
    loaded.SetShadowType(stSurround);
    int changes = 0;
    loaded.OnChange = [&](TObject*) { ++changes; };
    loaded.LoadFromFile(file, u"Fill");
    ExpectSameStored(source, loaded);
    EXPECT_EQ(loaded.GetShadowType(), stSurround); // not stored
    EXPECT_EQ(changes, 1);

    // "PictureSize" holds the hex text's length, as in existing files.
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadInteger(u"Fill", u"PictureSize", 0), Integer(ini.ReadString(u"Fill", u"Picture", u"").size()));
}

TEST_F(GDIPFillTest, OutOfRangeIniValuesKeepTheCurrentValue)
{
    struct {
        const char16_t* Key;
        const char16_t* Value;
    } const cases[] = {
        { u"GradientType", u"11" }, { u"GradientType", u"-1" }, { u"GradientMirrorType", u"99" },
        { u"HatchStyle", u"54" }, { u"RoundingType", u"6" }, { u"Glow", u"4" }, { u"PicturePosition", u"12" },
        { u"BackGroundPictureMode", u"2" }, { u"Opacity", u"256" }, { u"BorderOpacity", u"-5" },
        { u"PictureSizeMode", u"2" },
    };
    testsupport::TempDir dir;
    const String file = Utf8ToString((dir / "bad.ini").string());
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Key));
        TMemIniFile ini(file);
        ini.EraseSection(u"Fill");
        ini.WriteString(u"Fill", c.Key, c.Value);
        TGDIPFill expected, f;
        MakeDistinct(expected);
        MakeDistinct(f);
        f.LoadFromFile(ini, u"Fill");
        ExpectSameStored(expected, f);
    }
}

TEST_F(GDIPFillTest, PictureLengthIsBoundedByTheStoredText)
{
    TMemIniFile ini(u"");
    const TBytes png = EncodePng(Frame(2, 2, 0xFF00FF00));
    ini.WriteString(u"Fill", u"Picture", BytesToHex(png));
    ini.WriteInteger(u"Fill", u"PictureSize", 1 << 30);
    TGDIPFill f;
    f.LoadFromFile(ini, u"Fill");
    EXPECT_EQ(PictureBytes(f.GetPicture()), png);

    // A shorter length reads only that much of the text.
    ini.WriteInteger(u"Fill", u"PictureSize", 4);
    f.LoadFromFile(ini, u"Fill");
    EXPECT_EQ(PictureBytes(f.GetPicture()), TBytes(png.begin(), png.begin() + 2));
}

TEST_F(GDIPFillTest, HexTextDecodesEitherCaseAndRejectsOtherCharacters)
{
    EXPECT_EQ(HexToBytes(u"00fFa9"), (TBytes { 0x00, 0xFF, 0xA9 }));
    EXPECT_EQ(BytesToHex(TBytes { 0x00, 0xFF, 0xA9 }), u"00FFA9");
    for (const char16_t* bad : { u"0G", u"12 4", u"ABC" }) {
        SCOPED_TRACE(StringToUtf8(bad));
        try {
            HexToBytes(bad);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.GetMessage(), u"No Hex-Number");
        }
    }
    TMemIniFile ini(u"");
    ini.WriteString(u"Fill", u"Picture", u"89XY");
    ini.WriteInteger(u"Fill", u"PictureSize", 4);
    TGDIPFill f;
    EXPECT_THROW(f.LoadFromFile(ini, u"Fill"), EConvertError);
}

TEST_F(GDIPFillTest, ClipboardRoundTripCarriesPropertiesAndPictureBytes)
{
    TGDIPFill source;
    MakeDistinct(source);
    source.SetShadowType(stBottom);
    source.SaveToClipBoard();
    ASSERT_TRUE(IsClipboardFormatAvailable(GDIPFillClipboardFormat()));
    EXPECT_EQ(GDIPFillClipboardFormat(), RegisterClipboardFormat(u"GDI+ Fill"));

    TGDIPFill loaded;
    int changes = 0;
    loaded.OnChange = [&](TObject*) { ++changes; };
    loaded.LoadFromClipBoard();
    ExpectSameStored(source, loaded);
    EXPECT_EQ(loaded.GetShadowType(), stBottom);
    EXPECT_EQ(changes, 1);

    // Nothing of the format on the clipboard: nothing changes.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    TGDIPFill untouched;
    untouched.OnChange = [&](TObject*) { ++changes; };
    untouched.LoadFromClipBoard();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(untouched.GetColor(), 0xC0C0C0);
}

} // namespace
