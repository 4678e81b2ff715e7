#include <gtest/gtest.h>

#include <memory>

#include "graphics/LumGDIPlusClassesImages.h"
#include "graphics/LumGraphicsContextWin.h"
#include "tests/graphics/GdipTestSupport.h"
#include "tests/platform/gdi/PixelProbe.h"

using namespace LumGDIPlusClasses;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;

// Opens what the context draws with to the tests.
class TProbedContext : public TLumGraphicsContextWin {
public:
    using TLumGraphicsContextWin::TLumGraphicsContextWin;
    using TLumGraphicsContextWin::GetGPBrush;
    using TLumGraphicsContextWin::GetGPFont;
    using TLumGraphicsContextWin::GetGPGraphics;
    using TLumGraphicsContextWin::GetGPPen;
};

class WinContextTest : public GdipWrapperTest {
protected:
    void SetUp() override
    {
        GdipWrapperTest::SetUp();
        if (IsSkipped())
            return;
        Canvas.SetHandle(Dc.DC);
        Ctx = std::make_unique<TProbedContext>(nullptr, &Canvas);
        Ctx->SetSize(float(Dc.W), float(Dc.H));
        Ctx->SetFill(&Fill);
        Ctx->SetStroke(&Stroke);
        Ctx->SetFont(&Font);
    }
    void TearDown() override
    {
        Ctx.reset();
        Canvas.SetHandle(nullptr);
    }
    // Ends the scene so the pixels are in the device context.
    void Finish() { Ctx->EndScene(); }
    void UseFill(TLumGraphicsFillKind AKind, TColor AColor, TColor AColorTo = gcNull)
    {
        Fill.SetKind(AKind);
        Fill.SetColor(AColor);
        Fill.SetColorTo(AColorTo);
        Ctx->SetFill(&Fill);
    }
    void UseStroke(TLumGraphicsStrokeKind AKind, TColor AColor, float AWidth = 1)
    {
        Stroke.SetKind(AKind);
        Stroke.SetColor(AColor);
        Stroke.SetWidth(AWidth);
        Ctx->SetStroke(&Stroke);
    }

    TMemDC Dc { 120, 80 };
    TCanvas Canvas;
    TLumGraphicsFill Fill;
    TLumGraphicsStroke Stroke;
    TLumGraphicsFont Font;
    std::unique_ptr<TProbedContext> Ctx;
};

TEST(WinContextColors, MakeGPColorTakesOpacityAndResolvesSystemColours)
{
    struct TCase {
        TColor Color;
        float Opacity;
        ARGB Expected;
    };
    const TCase cases[] = {
        { Red, 1, 0xFFFF0000u },
        { 0x00FF00, 0.5f, 0x8000FF00u }, // 127.5 rounds half to even
        { Blue, 0, 0x000000FFu },
        { Blue, 7, 0xFF0000FFu },
        { clWindow, 1, 0xFF000000u | (ARGB(ColorToRGB(clWindow) & 0xFF) << 16)
                | (ARGB(ColorToRGB(clWindow)) & 0xFF00) | ((ARGB(ColorToRGB(clWindow)) >> 16) & 0xFF) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Color);
        EXPECT_EQ(TLumGraphicsContextWin::MakeGPColor(c.Color, c.Opacity), c.Expected);
    }
}

TEST_F(WinContextTest, FillsPaintTheirKind)
{
    struct TCase {
        const char* Name;
        TLumGraphicsFillKind Kind;
        bool Painted;
    };
    const TCase cases[] = {
        { "solid", gfkSolid, true }, { "texture", gfkTexture, false }, { "none", gfkNone, false } };
    float x = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        UseFill(c.Kind, Red);
        Ctx->FillRect(&Fill, { x + 10, 10, x + 20, 20 }, gcrmNone);
        x += 30;
    }
    Finish();
    x = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Dc.At(int(x) + 15, 15) == COLORREF(Red), c.Painted);
        EXPECT_EQ(Dc.At(int(x) + 15, 25), White);
        x += 30;
    }
}

TEST_F(WinContextTest, GradientsAreLaidOverTheShapeWidenedByOne)
{
    UseFill(gfkGradient, Red, Blue);
    Ctx->FillRect(&Fill, { 10, 10, 110, 60 }, gcrmNone);
    auto* brush = dynamic_cast<TGPLinearGradientBrush*>(Ctx->GetGPBrush());
    ASSERT_NE(brush, nullptr);
    TGPRectF r;
    ASSERT_EQ(brush->GetRectangle(r), Ok);
    EXPECT_FLOAT_EQ(r.X, 9);
    EXPECT_FLOAT_EQ(r.Y, 9);
    EXPECT_FLOAT_EQ(r.Width, 102);
    EXPECT_FLOAT_EQ(r.Height, 52);
}

TEST_F(WinContextTest, GradientStopsFollowTheFill)
{
    struct TCase {
        const char* Name;
        TColor Mirror, MirrorTo;
        std::vector<std::pair<float, float>> Items; // position, opacity
        std::vector<float> Positions;
    };
    const TCase cases[] = {
        { "two colours", gcNull, gcNull, {}, { 0, 1 } },
        { "mirror without its second colour", 0x00FF00, gcNull, {}, { 0, 1 } },
        { "mirror pair", 0x00FF00, 0x00FFFF, {}, { 0, 0.5f, 0.5f, 1 } },
        { "items inside", gcNull, gcNull, { { 0.2f, 1 }, { 0.8f, 0.5f } }, { 0, 0.2f, 0.8f, 1 } },
        { "items at the ends", gcNull, gcNull, { { 0, 1 }, { 1, 1 } }, { 0, 1 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Fill.BeginUpdate();
        Fill.SetKind(gfkGradient);
        Fill.SetColor(Red);
        Fill.SetColorTo(Blue);
        Fill.SetColorMirror(c.Mirror);
        Fill.SetColorMirrorTo(c.MirrorTo);
        Fill.ClearGradientItems();
        Fill.SetGradientMode(c.Items.empty() ? gfgmDefault : gfgmCollection);
        TColor color = 0x000010;
        for (const auto& [position, opacity] : c.Items)
            Fill.AddGradientItem(color += 0x10, position, opacity);
        Fill.EndUpdate();
        Ctx->SetFill(&Fill);
        Ctx->FillRect(&Fill, { 0, 0, 50, 50 }, gcrmNone);
        auto* brush = dynamic_cast<TGPLinearGradientBrush*>(Ctx->GetGPBrush());
        ASSERT_NE(brush, nullptr);
        const int n = brush->GetInterpolationColorCount();
        ASSERT_EQ(n, int(c.Positions.size()));
        std::vector<ARGB> colors(size_t(n), 0);
        std::vector<float> positions(size_t(n), 0);
        ASSERT_EQ(brush->GetInterpolationColors(colors.data(), positions.data(), n), Ok);
        for (int i = 0; i < n; ++i)
            EXPECT_FLOAT_EQ(positions[size_t(i)], c.Positions[size_t(i)]) << i;
        if (c.Items.size() == 2 && c.Positions.size() == 4) {
            // The added end stops repeat the first and last item.
            EXPECT_EQ(colors[0], colors[1]);
            EXPECT_EQ(colors[2], colors[3]);
            EXPECT_EQ(colors[3] >> 24, 128u);
        }
    }
}

TEST_F(WinContextTest, OneSideOfARectangleIsTheLineInsideTheBottomEdge)
{
    UseStroke(gskSolid, Blue);
    Ctx->DrawRect(&Stroke, { 10, 10, 20, 20 }, TLumGraphicsSides { gsBottom }, gcrmNone);
    Finish();
    const auto ink = Dc.Ink();
    ASSERT_FALSE(ink.empty());
    for (const auto& [x, y] : ink) {
        EXPECT_EQ(y, 19);
        EXPECT_GE(x, 10);
        EXPECT_LE(x, 19);
    }
    EXPECT_TRUE(ink.count({ 11, 19 }));
    EXPECT_TRUE(ink.count({ 18, 19 }));
}

TEST_F(WinContextTest, SmoothingSettingsDropClipsAndTransforms)
{
    Ctx->ClipRect({ 0, 0, 5, 5 });
    Ctx->TranslateTransform(30, 0);
    Ctx->SetAntiAliasing(false);
    EXPECT_EQ(Ctx->GetMatrix(), MatrixIdentity());
    UseFill(gfkSolid, Red);
    Ctx->FillRect(&Fill, { 40, 40, 60, 60 }, gcrmNone);
    Finish();
    EXPECT_EQ(Dc.At(50, 50), COLORREF(Red));
}

TEST_F(WinContextTest, NothingIsDrawnAfterTheScene)
{
    UseStroke(gskSolid, Blue, 3);
    Ctx->EndScene();
    EXPECT_EQ(Ctx->GetNativeCanvas(), nullptr);
    Ctx->DrawLine(&Stroke, { 0, 40 }, { 119, 40 }, gcpmNone, gcpmNone);
    Ctx->FillRect(&Fill, { 0, 0, 50, 50 }, gcrmNone);
    EXPECT_EQ(Ctx->CalculateText(u"text", { 0, 0, 100, 100 }, false), TRectF());
    EXPECT_TRUE(Dc.Ink().empty());
    // A new size makes a new surface.
    Ctx->SetSize(float(Dc.W), float(Dc.H));
    Ctx->SetStroke(&Stroke);
    Ctx->DrawLine(&Stroke, { 0, 40 }, { 119, 40 }, gcpmNone, gcpmNone);
    Ctx.reset();
    EXPECT_EQ(Dc.At(60, 40), COLORREF(Blue));
}

TEST_F(WinContextTest, DashedAndFocusOutlinesAreDrawnWithoutSmoothing)
{
    Ctx->SetAntiAliasing(true);
    UseStroke(gskDash, Blue, 2);
    Ctx->DrawLine(&Stroke, { 5, 5 }, { 100, 60 }, gcpmNone, gcpmNone);
    EXPECT_EQ(Ctx->GetGPGraphics()->GetSmoothingMode(), SmoothingModeAntiAlias);
    // A focus outline over a dashed pen nests two switches; smoothing still comes back.
    Ctx->DrawFocusRectangle(&Stroke, { 60, 10, 110, 40 }, Red, gcrmNone);
    EXPECT_EQ(Ctx->GetGPGraphics()->GetSmoothingMode(), SmoothingModeAntiAlias);
    EXPECT_EQ(Ctx->GetGPPen()->GetDashStyle(), DashStyleDash);
    EXPECT_FLOAT_EQ(Ctx->GetGPPen()->GetWidth(), 2);
    ARGB color = 0;
    Ctx->GetGPPen()->GetColor(color);
    EXPECT_EQ(color, 0xFF0000FFu);
    Finish();
    int focus = 0;
    for (const auto& [x, y] : Dc.Ink()) {
        const COLORREF c = Dc.At(x, y);
        EXPECT_TRUE(c == COLORREF(Blue) || c == COLORREF(Red)) << x << "," << y; // no blended edge pixels
        focus += c == COLORREF(Red);
    }
    EXPECT_GT(focus, 20);
}

TEST_F(WinContextTest, FontNamesAndSizesFallBack)
{
    TGPFont arial(u"Arial", 8);
    TGPFontFamily expectedFamily;
    arial.GetFamily(&expectedFamily);
    String expectedName;
    expectedFamily.GetFamilyName(expectedName);
    struct TCase {
        const char16_t* Name;
        int Size;
        float EmSize;
    };
    const TCase cases[] = { { u"Default", 0, 8 }, { u"", 12, 12 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Size);
        Font.SetName(c.Name);
        Font.SetSize(c.Size);
        Ctx->SetFont(&Font);
        TGPFont* font = Ctx->GetGPFont();
        ASSERT_NE(font, nullptr);
        EXPECT_FLOAT_EQ(font->GetSize(), c.EmSize);
        TGPFontFamily family;
        font->GetFamily(&family);
        String name;
        family.GetFamilyName(name);
        EXPECT_EQ(name, expectedName);
    }
}

TEST_F(WinContextTest, RotatedTextLaysOutOnTheLongerSideAndResets)
{
    const TRectF tall { 10, 10, 30, 70 };
    EXPECT_EQ(Ctx->SetTextAngle(tall, 0), tall);
    const TRectF r = Ctx->SetTextAngle(tall, 90);
    EXPECT_EQ(r, TRectF(-30, -10, 30, 10));
    const TLumGraphicsMatrix m = Ctx->GetMatrix();
    EXPECT_NEAR(m.m31, 20, 1e-4);
    EXPECT_NEAR(m.m32, 40, 1e-4);
    EXPECT_NEAR(m.m12, 1, 1e-4);
    Ctx->ResetTextAngle(90);
    EXPECT_EQ(Ctx->GetMatrix(), MatrixIdentity());
}

TEST_F(WinContextTest, TextIsDrawnInTheFontColourAndMeasured)
{
    Font.SetColor(Blue);
    Font.SetSize(12);
    Ctx->SetFont(&Font);
    const TRectF box = Ctx->CalculateText(u"Hello", { 5, 5, 115, 75 }, false);
    EXPECT_FLOAT_EQ(box.Left, 5);
    EXPECT_GT(box.Width(), 10);
    EXPECT_GT(box.Height(), 8);
    Ctx->DrawText(u"Hello", { 5, 5, 115, 75 }, false, gtaLeading, gtaLeading, gttNone, 0);
    Finish();
    const RECT ink = Dc.InkBox();
    EXPECT_GE(ink.Left, 5);
    EXPECT_LE(ink.Right, 5 + int(box.Width()) + 1);
    bool blue = false;
    for (const auto& [x, y] : Dc.Ink())
        blue = blue || Dc.At(x, y) == COLORREF(Blue);
    EXPECT_TRUE(blue);
}

TEST_F(WinContextTest, PicturesAreStretchedIntoTheTarget)
{
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.GetCanvas()->GetBrush()->SetColor(Red);
    bitmap.GetCanvas()->FillRect({ 0, 0, 4, 4 });
    Ctx->DrawBitmap(&bitmap, { 0, 0, 4, 4 }, { 20, 20, 60, 40 }, 0.5f);
    Ctx->DrawBitmap(nullptr, {}, { 0, 0, 10, 10 }, 1);
    Finish();
    EXPECT_EQ(Dc.At(40, 30), COLORREF(Red));
    EXPECT_EQ(Dc.At(65, 30), White);
    EXPECT_EQ(Dc.At(5, 5), White);
}

TEST_F(WinContextTest, PathsFillAndClip)
{
    TLumGraphicsPath path;
    path.AddEllipse({ 20, 20, 60, 60 });
    UseFill(gfkSolid, Red);
    Ctx->ClipPath(&path);
    Ctx->FillRect(&Fill, { 0, 0, 120, 80 }, gcrmNone);
    Ctx->ResetClip();
    Ctx->FillPath(&Fill, &path, pdmPolygon);
    UseFill(gfkSolid, Blue);
    Ctx->FillPath(&Fill, &path, pdmPath);
    Finish();
    EXPECT_EQ(Dc.At(40, 40), COLORREF(Blue));
    EXPECT_EQ(Dc.At(21, 21), White);
    EXPECT_EQ(Dc.At(70, 40), White);
}

} // namespace
