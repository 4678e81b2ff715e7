#include <gtest/gtest.h>

#include <memory>

#include "graphics/LumGraphicsContextGeneral.h"
#include "tests/platform/gdi/PixelProbe.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Green = 0x00FF00;
const TLumGraphicsSides AllSides { gsLeft, gsTop, gsRight, gsBottom };

class GeneralContextTest : public ::testing::Test {
protected:
    void SetUp() override { Canvas.SetHandle(Dc.DC); }
    void TearDown() override { Canvas.SetHandle(nullptr); }

    void UseStroke(TLumGraphicsStrokeKind AKind, TColor AColor, float AWidth = 1)
    {
        Stroke.SetKind(AKind);
        Stroke.SetColor(AColor);
        Stroke.SetWidth(AWidth);
        Ctx.SetStroke(&Stroke);
    }
    void UseFill(TLumGraphicsFillKind AKind, TColor AColor, TColor AColorTo = gcNull)
    {
        Fill.SetKind(AKind);
        Fill.SetColor(AColor);
        Fill.SetColorTo(AColorTo);
        Ctx.SetFill(&Fill);
    }
    void Clear()
    {
        HBRUSH b = CreateSolidBrush(White);
        const RECT r { 0, 0, Dc.W, Dc.H };
        FillRect(Dc.DC, &r, b);
        DeleteObject(b);
    }

    TMemDC Dc { 120, 100 };
    TCanvas Canvas;
    TLumGraphicsContextGeneral Ctx { nullptr, &Canvas };
    TLumGraphicsStroke Stroke;
    TLumGraphicsFill Fill;
};

TEST_F(GeneralContextTest, DrawRectSetsExactlyTheOutlinePixels)
{
    UseStroke(gskSolid, 0);
    Ctx.DrawRect(&Stroke, { 0, 0, 10, 10 }, AllSides, gcrmNone);
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i < 10; ++i) {
        expected.insert({ i, 0 });
        expected.insert({ i, 9 });
        expected.insert({ 0, i });
        expected.insert({ 9, i });
    }
    EXPECT_EQ(Dc.Ink(), expected);

    // One side only, half-pixel coordinates rounded half to even.
    Clear();
    Ctx.DrawRect(&Stroke, { 20.5f, 20, 30.5f, 30 }, TLumGraphicsSides { gsBottom }, gcrmNone);
    const RECT box = Dc.InkBox();
    EXPECT_EQ(box.Left, 20);
    EXPECT_EQ(box.Right, 29); // a line leaves out its end point
    EXPECT_EQ(box.Top, 29);
    EXPECT_EQ(box.Bottom, 30);
}

TEST_F(GeneralContextTest, FillRectPaintsOnlyWhatTheFillDescribes)
{
    struct TCase {
        const char* Name;
        TLumGraphicsFillKind Kind;
        TColor Color, ColorTo;
        bool Painted;
    };
    const TCase cases[] = {
        { "solid", gfkSolid, Red, gcNull, true },
        { "solid without colour", gfkSolid, gcNull, gcNull, false },
        { "two-colour gradient", gfkGradient, Red, Blue, true },
        { "gradient without second colour", gfkGradient, Red, gcNull, false },
        { "texture", gfkTexture, Red, Blue, false },
        { "none", gfkNone, Red, Blue, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Clear();
        UseFill(c.Kind, c.Color, c.ColorTo);
        Ctx.FillRect(&Fill, { 10, 10, 40, 40 }, gcrmNone);
        EXPECT_EQ(Dc.At(20, 20) != White, c.Painted);
        EXPECT_EQ(Dc.At(50, 50), White);
    }
}

TEST_F(GeneralContextTest, MirrorGradientsSplitTheRectangleInHalves)
{
    Fill.SetKind(gfkGradient);
    Fill.SetOrientation(gfoVertical);
    Fill.SetColor(Red);
    Fill.SetColorTo(Red);
    Fill.SetColorMirror(Blue);
    Fill.SetColorMirrorTo(Blue);
    Ctx.SetFill(&Fill);
    Ctx.FillRect(&Fill, { 0, 0, 20, 10 }, gcrmNone);
    for (int y = 0; y < 10; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(Dc.At(5, y), y < 5 ? COLORREF(Red) : COLORREF(Blue));
    }
    EXPECT_EQ(Dc.At(5, 10), White);

    // Rounded and horizontal: both halves end on the inner rectangle's bottom.
    Clear();
    Fill.SetOrientation(gfoHorizontal);
    Ctx.FillRoundRect(&Fill, { 0, 0, 20, 10 }, 0, TLumGraphicsCorners {}, gcrmNone);
    EXPECT_EQ(Dc.At(2, 8), COLORREF(Red));
    EXPECT_EQ(Dc.At(15, 8), COLORREF(Blue));
    EXPECT_EQ(Dc.At(2, 9), White);
    EXPECT_EQ(Dc.At(15, 9), White);
}

TEST_F(GeneralContextTest, ClipsAccumulateUntilTheStateIsRestored)
{
    TLumGraphicsSaveState state;
    Ctx.SaveState(&state);
    EXPECT_NE(state.GetSaveDC(), 0);
    Ctx.ClipRect({ 0, 0, 50, 50 });
    Ctx.ClipRect({ 30, 30, 100, 100 });
    Ctx.ResetClip();
    UseFill(gfkSolid, Red);
    // A clear pen draws no outline, so the fill is the rectangle less one pixel.
    Ctx.FillRect(&Fill, { 0, 0, 121, 101 }, gcrmNone);
    // Pixels are read outside the clip only after it is gone.
    Ctx.RestoreState(&state);
    EXPECT_EQ(state.GetSaveDC(), 0);
    const RECT box = Dc.InkBox();
    EXPECT_EQ(box.Left, 30);
    EXPECT_EQ(box.Top, 30);
    EXPECT_EQ(box.Right, 50);
    EXPECT_EQ(box.Bottom, 50);

    // Restoring a state that saved nothing changes nothing.
    Ctx.RestoreState(&state);
    Ctx.FillRect(&Fill, { 0, 0, 121, 101 }, gcrmNone);
    EXPECT_EQ(Dc.At(5, 5), COLORREF(Red));
    EXPECT_EQ(Dc.At(110, 90), COLORREF(Red));
}

TEST_F(GeneralContextTest, SpecialPenWhilePrintingIsADottedHairlineAndComesBack)
{
    UseStroke(gskSolid, 0, 3);
    Ctx.BeginPrinting();
    Ctx.StartSpecialPen();
    EXPECT_EQ(Canvas.GetPen()->GetStyle(), psDot);
    EXPECT_EQ(Canvas.GetPen()->GetWidth(), 1);
    Ctx.StopSpecialPen();
    EXPECT_EQ(Canvas.GetPen()->GetStyle(), psSolid);
    EXPECT_EQ(Canvas.GetPen()->GetWidth(), 3);
    Ctx.EndPrinting();
}

TEST_F(GeneralContextTest, FocusRectangleOnScreenIsEveryOtherPixelInTheFocusColour)
{
    UseStroke(gskSolid, Blue, 2);
    UseFill(gfkSolid, Green);
    Ctx.DrawFocusRectangle(&Stroke, { 10, 10, 30, 30 }, Red, gcrmNone);
    int ink = 0;
    for (int x = 10; x < 30; ++x) {
        if (Dc.At(x, 10) != White) {
            ++ink;
            EXPECT_EQ(Dc.At(x, 10), COLORREF(Red));
        }
    }
    EXPECT_EQ(ink, 10);
    EXPECT_EQ(Dc.At(20, 20), White); // the brush did not paint
    // The canvas pen is selected again and keeps the focus colour; brush restored.
    EXPECT_EQ(Canvas.GetPen()->GetColor(), Red);
    EXPECT_EQ(Canvas.GetBrush()->GetColor(), Green);
    EXPECT_EQ(Canvas.GetBrush()->GetStyle(), bsSolid);
    Ctx.DrawLine(&Stroke, { 40, 50 }, { 60, 50 }, gcpmNone, gcpmNone);
    for (int x = 41; x < 59; ++x)
        ASSERT_EQ(Dc.At(x, 50), COLORREF(Red)) << x;
}

TEST_F(GeneralContextTest, StateSettersMapOntoTheCanvas)
{
    struct TCase {
        TLumGraphicsFillKind Kind;
        TBrushStyle Style;
    };
    const TCase fills[] = { { gfkNone, bsClear }, { gfkSolid, bsSolid }, { gfkGradient, bsSolid } };
    for (const auto& c : fills) {
        SCOPED_TRACE(int(c.Kind));
        UseFill(c.Kind, Blue);
        EXPECT_EQ(Canvas.GetBrush()->GetStyle(), c.Style);
        EXPECT_EQ(Ctx.GetFillColor(), Blue);
    }
    struct TStrokeCase {
        TLumGraphicsStrokeKind Kind;
        TPenStyle Style;
    };
    const TStrokeCase strokes[] = { { gskNone, psClear }, { gskSolid, psSolid }, { gskDash, psDash }, { gskDot, psDot },
        { gskDashDot, psDashDot }, { gskDashDotDot, psDashDotDot } };
    for (const auto& c : strokes) {
        SCOPED_TRACE(int(c.Kind));
        UseStroke(c.Kind, Red, 2.5f);
        EXPECT_EQ(Canvas.GetPen()->GetStyle(), c.Style);
        EXPECT_EQ(Canvas.GetPen()->GetWidth(), 2); // half to even
    }
}

TEST_F(GeneralContextTest, WrappedTextIsCentredVerticallyByItsMeasuredHeight)
{
    Canvas.GetFont()->SetColor(0);
    const String text = u"first line of words second line of words";
    const TRectF area { 10, 0, 90, 100 };
    const TRectF measured = Ctx.CalculateText(text, area, true);
    const int h = int(measured.Height());
    ASSERT_GT(h, Canvas.TextHeight(text)); // two lines at least
    Ctx.DrawText(text, area, true, gtaLeading, gtaCenter, gttNone, 0);
    const auto centred = Dc.Ink();
    ASSERT_FALSE(centred.empty());

    Clear();
    const float top = float((100 - h) / 2);
    Ctx.DrawText(text, { 10, top, 90, top + h }, true, gtaLeading, gtaLeading, gttNone, 0);
    EXPECT_EQ(Dc.Ink(), centred);

    Clear();
    Ctx.DrawText(text, area, true, gtaLeading, gtaTrailing, gttNone, 0);
    EXPECT_GE(Dc.InkBox().Top, 100 - h);
}

TEST_F(GeneralContextTest, TextTurnedByNinetyDegreesIsCentredBothWays)
{
    Canvas.GetFont()->SetColor(0);
    const String text = u"Rotated text";
    const int tw = Canvas.TextWidth(text);
    Ctx.DrawText(text, { 0, 0, 120, 100 }, false, gtaCenter, gtaCenter, gttNone, 90);
    const RECT box = Dc.InkBox();
    ASSERT_GT(box.Bottom, box.Top);
    EXPECT_GT(box.Bottom - box.Top, box.Right - box.Left); // runs up or down the page
    EXPECT_NEAR((box.Top + box.Bottom) / 2.0, 50, 3 + (100 - tw) / 50.0);
    EXPECT_NEAR((box.Left + box.Right) / 2.0, 60, 4);
    EXPECT_EQ(Canvas.GetFont()->GetOrientation(), 0);
}

TEST_F(GeneralContextTest, AmpersandIsVisibleUnlessAcceleratorsAreShown)
{
    Canvas.GetFont()->SetColor(0);
    const TRectF area { 0, 0, 120, 30 };
    Ctx.DrawText(u"&", area, false, gtaLeading, gtaLeading, gttNone, 0);
    const auto plain = Dc.Ink();
    EXPECT_FALSE(plain.empty());
    Clear();
    Ctx.SetShowAcceleratorChar(true);
    Ctx.DrawText(u"&", area, false, gtaLeading, gtaLeading, gttNone, 0);
    EXPECT_NE(Dc.Ink(), plain);
}

TEST_F(GeneralContextTest, PathsAreDrawnAndFilledThroughTheDeviceContext)
{
    TLumGraphicsPath path;
    path.AddEllipse({ 10, 10, 50, 50 });
    UseFill(gfkSolid, Red);
    UseStroke(gskSolid, Blue);
    const TLumGraphicsPathDrawMode modes[] = { pdmPath, pdmPolygon };
    for (const auto mode : modes) {
        SCOPED_TRACE(int(mode));
        Clear();
        Ctx.FillPath(&Fill, &path, mode);
        EXPECT_EQ(Dc.At(30, 30), COLORREF(Red));
        EXPECT_EQ(Dc.At(11, 11), White);
        Ctx.DrawPath(&Stroke, &path, mode);
        EXPECT_EQ(Dc.At(30, 30), COLORREF(Red)); // the outline paints no interior
        const RECT box = Dc.InkBox();
        EXPECT_NEAR(box.Left, 10, 1);
        EXPECT_NEAR(box.Right, 50, 1);
    }
    EXPECT_EQ(Ctx.ConvertToPath(nullptr, 0.25f), nullptr);
}

TEST_F(GeneralContextTest, ArcsFollowTheStartAngleClockwise)
{
    UseStroke(gskSolid, 0);
    UseFill(gfkSolid, Red);
    // 0 to 90 degrees clockwise on screen: the lower-right quarter.
    Ctx.DrawArc(&Stroke, { 50, 50 }, { 20, 20 }, 0, 90);
    const RECT box = Dc.InkBox();
    EXPECT_GE(box.Left, 49);
    EXPECT_GE(box.Top, 49);
    EXPECT_LE(box.Right, 71);
    EXPECT_LE(box.Bottom, 71);
    Clear();
    // Filled, the arc is closed by its chord.
    Ctx.FillArc(&Fill, { 50, 50 }, { 20, 20 }, 180, 180);
    EXPECT_EQ(Dc.At(50, 40), COLORREF(Red));
    EXPECT_EQ(Dc.At(50, 60), White);
}

TEST_F(GeneralContextTest, RoundRectOutlinesKeepToTheRectangle)
{
    UseStroke(gskSolid, 0);
    const TLumGraphicsCorners cases[] = { {}, { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight },
        { gcTopLeft, gcBottomRight } };
    for (const auto& corners : cases) {
        Clear();
        Ctx.DrawRoundRect(&Stroke, { 10, 10, 60, 40 }, 6, corners, gcrmNone);
        const RECT box = Dc.InkBox();
        EXPECT_EQ(box.Left, 10);
        EXPECT_EQ(box.Top, 10);
        EXPECT_EQ(box.Right, 60);
        EXPECT_EQ(box.Bottom, 40);
        EXPECT_EQ(Dc.At(10, 10) != White, !corners.Contains(gcTopLeft));
        EXPECT_EQ(Dc.At(59, 10) != White, !corners.Contains(gcTopRight));
    }
}

} // namespace
