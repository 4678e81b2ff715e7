#include <gtest/gtest.h>

#include <memory>

#include "platform/gdiplus/Gdiplus.h"
#include "richtext/GDIPProgress.h"

using namespace LumGDIP;

namespace {

constexpr ARGB White = 0xFFFFFFFF;
constexpr ARGB Red = 0xFFFF0000;

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
    // Height of the band of rows holding any pixel other than the background.
    int InkHeight(ARGB background)
    {
        int top = -1, bottom = -1;
        for (int y = 0; y < int(Bitmap.GetHeight()); ++y)
            for (int x = 0; x < int(Bitmap.GetWidth()); ++x)
                if (At(x, y) != background) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
        return top < 0 ? 0 : bottom - top + 1;
    }
    TGPBitmap Bitmap;
    std::unique_ptr<TGPGraphics> Graphics;
};

void Solid(TGDIPFill* f, TColor color)
{
    f->SetColor(color);
    f->SetColorTo(clNone);
    f->SetGradientType(gtSolid);
}

// White background, red progress, no shadows or overlays: plain pixels.
void MakePlain(TGDIPProgress& p)
{
    Solid(p.GetBackGroundFill(), clWhite);
    Solid(p.GetProgressFill(), clRed);
    p.SetShadows(false);
    p.SetOverlays(false);
}

class GDIPProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
};

TEST(GDIPProgressGeometry, InsideAndProgressRectangles)
{
    struct {
        const char* Name;
        TColor BackBorder;
        int BackBorderWidth;
        TColor ProgressBorder;
        int ProgressBorderWidth;
        double Min, Max, Pos;
        TGDIPProgressDirection Direction;
        TGPRectF Inside, Progress;
    } const cases[] = {
        { "half", clNone, 1, clNone, 1, 0, 100, 50, pbdHorizontal, { 10, 20, 99, 19 }, { 10, 20, 49.5f, 19 } },
        { "beyond max stops at the inside right", clNone, 1, clNone, 1, 0, 100, 150, pbdHorizontal,
            { 10, 20, 99, 19 }, { 10, 20, 99, 19 } },
        { "at min", clNone, 1, clNone, 1, 0, 100, 0, pbdHorizontal, { 10, 20, 99, 19 }, { 10, 20, 0, 19 } },
        { "min equals max", clNone, 1, clNone, 1, 5, 5, 5, pbdHorizontal, { 10, 20, 99, 19 }, { 10, 20, 0, 19 } },
        { "below min", clNone, 1, clNone, 1, 10, 20, 0, pbdHorizontal, { 10, 20, 99, 19 }, { 10, 20, 0, 19 } },
        { "1-pixel background border", clBlack, 1, clNone, 1, 0, 100, 100, pbdHorizontal, { 11, 21, 97, 17 },
            { 11, 21, 97, 17 } },
        { "3-pixel background border", clBlack, 3, clNone, 1, 0, 100, 100, pbdHorizontal, { 12, 22, 95, 15 },
            { 12, 22, 95, 15 } },
        { "bordered progress", clNone, 1, clBlack, 2, 0, 100, 100, pbdHorizontal, { 10, 20, 99, 19 },
            { 11, 21, 97, 17 } },
        { "vertical grows upwards", clNone, 1, clNone, 1, 0, 100, 25, pbdVertical, { 10, 20, 99, 19 },
            { 10, 34.25f, 99, 4.75f } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGDIPProgress p;
        p.GetBackGroundFill()->SetBorderColor(c.BackBorder);
        p.GetBackGroundFill()->SetBorderWidth(c.BackBorderWidth);
        p.GetProgressFill()->SetBorderColor(c.ProgressBorder);
        p.GetProgressFill()->SetBorderWidth(c.ProgressBorderWidth);
        const TRect r(10, 20, 110, 40);
        const TGPRectF inside = p.GetInsideRectF(r);
        EXPECT_FLOAT_EQ(inside.X, c.Inside.X);
        EXPECT_FLOAT_EQ(inside.Y, c.Inside.Y);
        EXPECT_FLOAT_EQ(inside.Width, c.Inside.Width);
        EXPECT_FLOAT_EQ(inside.Height, c.Inside.Height);
        const TGPRectF pr = p.CalculateProgressRectangle(r, c.Min, c.Max, c.Pos, c.Direction);
        EXPECT_FLOAT_EQ(pr.X, c.Progress.X);
        EXPECT_FLOAT_EQ(pr.Y, c.Progress.Y);
        EXPECT_FLOAT_EQ(pr.Width, c.Progress.Width);
        EXPECT_FLOAT_EQ(pr.Height, c.Progress.Height);
    }
}

TEST(GDIPProgressValue, TextIsClampedFormattedAndReplaceable)
{
    struct {
        const char* Name;
        TGDIPProgressValueType Type;
        const char16_t* Format;
        double Min, Max, Pos;
        const char16_t* Expected;
    } const cases[] = {
        { "percentage", vtPercentage, u"%.0f%%", 0, 200, 50, u"25%" },
        { "beyond max reads 100", vtPercentage, u"%.0f%%", 0, 200, 500, u"100%" },
        { "min equals max shows max", vtPercentage, u"%.0f%%", 7, 7, 7, u"7%" },
        { "absolute", vtAbsolute, u"%.1f", 0, 100, 42, u"42.0" },
        { "absolute below min", vtAbsolute, u"%.0f", 10, 100, 3, u"10" },
        { "bad format shows the plain value", vtAbsolute, u"%d items", 0, 100, 42, u"42" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGDIPProgress p;
        p.SetValueType(c.Type);
        p.SetValueFormat(c.Format);
        EXPECT_EQ(p.GetValueText(c.Min, c.Max, c.Pos), c.Expected);
    }
    TGDIPProgress p;
    String seenFormat;
    p.OnDrawValue = [&](TObject*, const String& format, String& text) {
        seenFormat = format;
        text = u"<" + text + u">";
    };
    EXPECT_EQ(p.GetValueText(0, 100, 30), u"<30%>");
    EXPECT_EQ(seenFormat, u"%.0f%%");
}

TEST(GDIPProgressValue, PositionsAndFontChoice)
{
    // r = (0, 0, 101, 21): inside (0, 0, 100, 20); text 20 x 10.
    const TRect r(0, 0, 101, 21);
    struct {
        TGDIPProgressValuePosition Position;
        float ProgressWidth;
        float X, Y;
        bool ProgressFont;
    } const cases[] = {
        { vpProgressCenter, 60, 20, 5, true },
        { vpProgressCenter, 10, 0, 5, false }, // wider than the progress
        { vpProgressRight, 60, 40, 5, true },
        { vpCenter, 30, 40, 5, false },
        { vpCenter, 55, 40, 5, true },
        { vpLeft, 0, 0, 5, false },
        { vpRight, 100, 80, 5, true },
        { vpCustom, 0, 7, 3, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Position));
        TGDIPProgress p;
        p.SetValuePosition(c.Position);
        p.SetValuePositionLeft(7);
        p.SetValuePositionTop(3);
        bool progressFont = !c.ProgressFont;
        const TGPPointF at = p.CalculateValuePosition(r, { 0, 0, c.ProgressWidth, 20 }, 20, 10, pbdHorizontal, progressFont);
        EXPECT_FLOAT_EQ(at.X, c.X);
        EXPECT_FLOAT_EQ(at.Y, c.Y);
        EXPECT_EQ(progressFont, c.ProgressFont);
    }
}

TEST_F(GDIPProgressTest, ProgressPartCoversItsShareAndNothingAtMinimum)
{
    struct {
        double Pos;
        ARGB Left, Right;
    } const cases[] = { { 0, White, White }, { 50, Red, White }, { 100, Red, Red } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Pos);
        TGDIPProgress p;
        MakePlain(p);
        TSurface s(101, 21, 0xFF00FF00);
        p.Draw(s.Graphics.get(), TRect(0, 0, 101, 21), 0, 100, c.Pos, pbdHorizontal);
        EXPECT_EQ(s.At(5, 10), c.Left);
        EXPECT_EQ(s.At(90, 10), c.Right);
    }
}

TEST_F(GDIPProgressTest, TransparentAppearanceDrawsOnlyTheProgressPart)
{
    TGDIPProgress p;
    MakePlain(p);
    p.SetTransparent(true);
    p.SetOverlays(true); // overlays belong to the background: not drawn either
    TSurface s(101, 21, 0);
    p.Draw(s.Graphics.get(), TRect(0, 0, 101, 21), 0, 100, 50, pbdHorizontal);
    EXPECT_EQ(s.At(25, 10), Red);
    EXPECT_EQ(s.At(90, 10), 0u);
}

TEST_F(GDIPProgressTest, ShadowsDarkenTheEndsOfTheBar)
{
    TGDIPProgress p;
    MakePlain(p);
    p.SetShadows(true);
    TSurface s(101, 21);
    p.Draw(s.Graphics.get(), TRect(0, 0, 101, 21), 0, 100, 0, pbdHorizontal);
    EXPECT_NE(s.At(0, 10), White);
    EXPECT_EQ(s.At(50, 10), White);
}

TEST_F(GDIPProgressTest, DpiScaleEnlargesTheValueTextOnce)
{
    auto inkHeight = [](int fontHeight, double scale) {
        TGDIPProgress p;
        MakePlain(p);
        p.SetTransparent(true);
        p.SetValueVisible(true);
        p.SetValueType(vtAbsolute);
        p.SetValueFormat(u"%.0f");
        p.SetValuePosition(vpLeft);
        p.GetFont()->SetName(u"Arial");
        p.GetFont()->SetHeight(fontHeight);
        p.GetFont()->SetColor(clBlack);
        TSurface s(200, 120);
        p.Draw(s.Graphics.get(), TRect(0, 0, 200, 120), 0, 100, 0, pbdHorizontal, scale);
        return s.InkHeight(White);
    };
    const int scaled = inkHeight(-11, 2.0);
    EXPECT_GT(scaled, 0);
    EXPECT_NEAR(scaled, inkHeight(-22, 1.0), 1);
}

TEST_F(GDIPProgressTest, AssignCopiesTheAppearanceAndSettersNotify)
{
    TGDIPProgress a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetShadows(true); // unchanged value
    EXPECT_EQ(changes, 0);
    b.GetProgressFill()->SetColor(clLime);
    EXPECT_EQ(changes, 1);

    a.SetTransparent(true);
    a.SetValueFormat(u"%.2f");
    a.SetValuePosition(vpCustom);
    a.GetFont()->SetHeight(-20);
    a.GetBackGroundFill()->SetRounding(3);
    b.Assign(&a);
    EXPECT_TRUE(b.GetTransparent());
    EXPECT_EQ(b.GetValueFormat(), u"%.2f");
    EXPECT_EQ(b.GetValuePosition(), vpCustom);
    EXPECT_EQ(b.GetFont()->GetHeight(), -20);
    EXPECT_EQ(b.GetBackGroundFill()->GetRounding(), 3);
    EXPECT_EQ(b.GetProgressFill()->GetColor(), a.GetProgressFill()->GetColor());
}

TEST_F(GDIPProgressTest, StatusBadgeIsNeverNarrowerThanHighAndKeepsItsSizeForAnEmptyCaption)
{
    TSurface s(10, 10);
    TGDIPStatus st;
    st.GetFont()->SetName(u"Arial");
    st.SetSpacing(5);
    st.CalculateSize(s.Graphics.get(), u"1");
    EXPECT_GT(st.GetHeight(), 4);
    EXPECT_EQ(st.GetWidth(), st.GetHeight() + 10);

    st.CalculateSize(s.Graphics.get(), u"12345678901234567890");
    const int wide = st.GetWidth();
    EXPECT_GT(wide, st.GetHeight() + 10);
    st.CalculateSize(s.Graphics.get(), u"");
    EXPECT_EQ(st.GetWidth(), wide);
}

TEST_F(GDIPProgressTest, StatusDrawsAPillWithItsCaptionAndRaisesNoChange)
{
    TGDIPStatus st;
    Solid(st.GetFill(), clRed);
    st.SetGlow(false);
    st.GetFont()->SetName(u"Arial");
    st.GetFont()->SetColor(clWhite);
    int changes = 0;
    st.OnChange = [&](TObject*) { ++changes; };
    TSurface s(60, 30, 0);
    st.Draw(s.Graphics.get(), 0, 0, 40, 20, false, u"8");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(st.GetFill()->GetRounding(), 10);
    EXPECT_EQ(s.At(0, 0) >> 24, 0u);   // rounded corner
    EXPECT_EQ(s.At(5, 10), Red);        // body
    EXPECT_EQ(s.At(50, 10) >> 24, 0u);  // right of the badge
    bool caption = false; // white text in the middle: green only there
    for (int x = 12; x < 28; ++x)
        for (int y = 2; y < 18; ++y)
            caption = caption || ((s.At(x, y) >> 8) & 0xFF) > 128;
    EXPECT_TRUE(caption);
}

} // namespace
