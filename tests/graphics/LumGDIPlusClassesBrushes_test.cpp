#include <gtest/gtest.h>

#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesGraphics.h"
#include "graphics/LumGDIPlusClassesImages.h"
#include "graphics/LumGDIPlusClassesPaths.h"
#include "tests/graphics/GdipTestSupport.h"

using namespace LumGDIPlusClasses;

namespace {

using GdipBrushesTest = GdipWrapperTest;

int g_calls = 0;

std::unique_ptr<TGPPathGradientBrush> SquareGradient()
{
    TGPGraphicsPath path;
    path.AddRectangle(TGPRectF { 0, 0, 10, 10 });
    return std::make_unique<TGPPathGradientBrush>(&path);
}

// ---- brushes ----

TEST_F(GdipBrushesTest, TheEmptyBrushReportsNotImplementedOnce)
{
    TGPBrush brush;
    EXPECT_EQ(brush.nativeBrush, nullptr);
    EXPECT_EQ(brush.GetLastStatus(), NotImplemented);
    EXPECT_EQ(brush.GetLastStatus(), Ok);
    // The empty wrappers of the subclasses are ready to receive a handle.
    EXPECT_EQ(TGPSolidBrush().lastResult, Ok);
    EXPECT_EQ(TGPLinearGradientBrush().lastResult, Ok);
}

TEST_F(GdipBrushesTest, CloneIsAPlainBrushOfACopyCarryingTheSourcesStatus)
{
    TGPSolidBrush solid(0xFF112233u);
    solid.SetColor(0xFF445566u);
    TGdipEntryOverride failing(GdiplusApi.GdipGetBrushType, [](void*, BrushType*) { return GenericError; });
    EXPECT_EQ(solid.GetType(), BrushType(-1)); // the start value, and GenericError is now unread
    const auto clone = solid.Clone();
    ASSERT_TRUE(clone);
    EXPECT_EQ(dynamic_cast<TGPSolidBrush*>(clone.get()), nullptr);
    EXPECT_EQ(clone->lastResult, GenericError);
    ASSERT_NE(clone->nativeBrush, nullptr);
    EXPECT_NE(clone->nativeBrush, solid.nativeBrush);

    TGPSolidBrush reader;
    reader.nativeBrush = clone->nativeBrush;
    ARGB color = 0;
    EXPECT_EQ(reader.GetColor(color), Ok);
    EXPECT_EQ(color, 0xFF445566u);
    reader.nativeBrush = nullptr;
}

TEST_F(GdipBrushesTest, SolidColourReadsReportAnEarlierUnreadError)
{
    TGPSolidBrush brush(0xFF00FF00u);
    brush.SetColor(0xFF0000FFu);
    EXPECT_EQ(brush.GetType(), BrushTypeSolidColor);
    {
        TGdipEntryOverride failing(GdiplusApi.GdipSetSolidFillColor, [](void*, ARGB) { return ObjectBusy; });
        EXPECT_EQ(brush.SetColor(0xFFFFFFFFu), ObjectBusy);
    }
    ARGB color = 0;
    EXPECT_EQ(brush.GetColor(color), ObjectBusy); // the read itself worked
    EXPECT_EQ(color, 0xFF0000FFu);
    EXPECT_EQ(brush.GetLastStatus(), ObjectBusy);
    EXPECT_EQ(brush.GetColor(color), Ok);
}

TEST_F(GdipBrushesTest, HatchAndLinearGradientReadBackWhatTheyWereMadeWith)
{
    TGPHatchBrush hatch(HatchStyleCross, 0xFF010203u, 0xFF040506u);
    EXPECT_EQ(hatch.GetHatchStyle(), HatchStyleCross);
    ARGB fore = 0, back = 0;
    EXPECT_EQ(hatch.GetForegroundColor(fore), Ok);
    EXPECT_EQ(hatch.GetBackgroundColor(back), Ok);
    EXPECT_EQ(fore, 0xFF010203u);
    EXPECT_EQ(back, 0xFF040506u);

    TGPLinearGradientBrush line(TGPRect { 0, 0, 20, 10 }, 0xFF000000u, 0xFFFFFFFFu, LinearGradientModeVertical);
    ASSERT_EQ(line.lastResult, Ok);
    EXPECT_EQ(line.GetWrapMode(), WrapModeTile);
    ARGB c1 = 1, c2 = 2;
    EXPECT_EQ(line.GetLinearColors(c1, c2), Ok);
    EXPECT_EQ(c1, 0xFF000000u);
    EXPECT_EQ(c2, 0xFFFFFFFFu);
    TGPRectF rect;
    EXPECT_EQ(line.GetRectangle(rect), Ok);
    EXPECT_FLOAT_EQ(rect.Width, 20);
    EXPECT_FLOAT_EQ(rect.Height, 10);

    const ARGB colors[3] = { 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu };
    const float positions[3] = { 0.0f, 0.5f, 1.0f };
    ASSERT_EQ(line.SetInterpolationColors(colors, positions, 3), Ok);
    EXPECT_EQ(line.GetInterpolationColorCount(), 3);
    ARGB back3[3] {};
    float pos3[3] {};
    ASSERT_EQ(line.GetInterpolationColors(back3, pos3, 3), Ok);
    EXPECT_EQ(back3[1], 0xFF00FF00u);
    EXPECT_FLOAT_EQ(pos3[1], 0.5f);
}

TEST_F(GdipBrushesTest, LinearColoursAreLeftAloneWhenTheReadFails)
{
    TGPLinearGradientBrush line(TGPPointF { 0, 0 }, TGPPointF { 10, 0 }, 0xFF000000u, 0xFFFFFFFFu);
    TGdipEntryOverride failing(GdiplusApi.GdipGetLineColors, [](void*, ARGB* c) {
        c[0] = c[1] = 0xDEADBEEFu;
        return GenericError;
    });
    ARGB c1 = 1, c2 = 2;
    EXPECT_EQ(line.GetLinearColors(c1, c2), GenericError);
    EXPECT_EQ(c1, 1u);
    EXPECT_EQ(c2, 2u);
}

TEST_F(GdipBrushesTest, ArgumentChecksAnswerInvalidParameterWithoutCallingTheLibrary)
{
    g_calls = 0;
    TGdipEntryOverride countBlend(GdiplusApi.GdipGetLineBlend, [](void*, float*, float*, int) {
        ++g_calls;
        return Ok;
    });
    TGdipEntryOverride countPreset(GdiplusApi.GdipSetLinePresetBlend, [](void*, const ARGB*, const float*, int) {
        ++g_calls;
        return Ok;
    });
    TGdipEntryOverride countCompound(GdiplusApi.GdipGetPenCompoundArray, [](void*, float*, int) {
        ++g_calls;
        return Ok;
    });
    TGPLinearGradientBrush line(TGPRectF { 0, 0, 10, 10 }, 0xFF000000u, 0xFFFFFFFFu, 45.0f);
    float f[2] {}, p[2] {};
    const ARGB colors[2] {};
    TGPPen pen(0xFF000000u);
    float compound[2] {};
    struct Case {
        const char* name;
        Status status;
        Status recorded;
    };
    const Case cases[] = {
        { "GetBlend count 0", line.GetBlend(f, p, 0), line.GetLastStatus() },
        { "GetBlend no positions", line.GetBlend(f, nullptr, 2), line.GetLastStatus() },
        { "SetInterpolationColors count 0", line.SetInterpolationColors(colors, p, 0), line.GetLastStatus() },
        { "GetInterpolationColors count -1", line.GetInterpolationColors(nullptr, p, -1), line.GetLastStatus() },
        { "GetCompoundArray count 0", pen.GetCompoundArray(compound, 0), pen.GetLastStatus() },
        { "pen transform without a matrix", pen.SetTransform(nullptr), pen.GetLastStatus() },
        { "pen brush without a brush", pen.SetBrush(nullptr), pen.GetLastStatus() },
        { "line transform without a matrix", line.MultiplyTransform(nullptr), line.GetLastStatus() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.status, InvalidParameter);
        EXPECT_EQ(c.recorded, InvalidParameter);
    }
    EXPECT_EQ(g_calls, 0);
    EXPECT_EQ(TGPPen(static_cast<const TGPBrush*>(nullptr)).lastResult, InvalidParameter);
    EXPECT_EQ(TGPPathGradientBrush(static_cast<const TGPGraphicsPath*>(nullptr)).lastResult, InvalidParameter);
    EXPECT_EQ(TGPTextureBrush(static_cast<const TGPImage*>(nullptr)).lastResult, InvalidParameter);
}

TEST_F(GdipBrushesTest, EachBrushKindMovesItsOwnTransform)
{
    TGPBitmap tile(2, 2);
    TGPTextureBrush texture(&tile);
    TGPLinearGradientBrush line(TGPRectF { 0, 0, 10, 10 }, 0xFF000000u, 0xFFFFFFFFu, LinearGradientModeHorizontal);
    const auto gradient = SquareGradient();
    // Each kind's transform is read through its own wrapper; all start from their own.
    const auto check = [](auto& brush) {
        TGPMatrix shift(1, 0, 0, 1, 3, 4);
        ASSERT_EQ(brush.ResetTransform(), Ok);
        ASSERT_EQ(brush.MultiplyTransform(&shift), Ok);
        ASSERT_EQ(brush.TranslateTransform(1, 1, MatrixOrderAppend), Ok);
        ASSERT_EQ(brush.ScaleTransform(2, 2, MatrixOrderAppend), Ok);
        TGPMatrix read;
        ASSERT_EQ(brush.GetTransform(&read), Ok);
        EXPECT_FLOAT_EQ(read.OffsetX(), 8);
        EXPECT_FLOAT_EQ(read.OffsetY(), 10);
        ASSERT_EQ(brush.SetTransform(&shift), Ok);
        ASSERT_EQ(brush.RotateTransform(90, MatrixOrderAppend), Ok);
        brush.GetTransform(&read);
        EXPECT_NEAR(read.OffsetX(), -4, 1e-4);
        EXPECT_NEAR(read.OffsetY(), 3, 1e-4);
        EXPECT_EQ(brush.GetTransform(nullptr), InvalidParameter);
    };
    {
        SCOPED_TRACE("texture");
        check(texture);
    }
    {
        SCOPED_TRACE("linear");
        check(line);
    }
    {
        SCOPED_TRACE("path gradient");
        check(*gradient);
    }
}

// ---- path gradients ----

TEST_F(GdipBrushesTest, SurroundColoursAreCheckedAgainstThePointsAndTheRoom)
{
    const auto brush = SquareGradient();
    ASSERT_EQ(brush->lastResult, Ok);
    ASSERT_EQ(brush->GetPointCount(), 4);
    const ARGB colors[5] = { 0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u, 0xFF000005u };

    struct Case {
        const char* name;
        int count;
        Status status;
        int countAfter;
    };
    const Case cases[] = {
        { "more than the points", 5, InvalidParameter, 5 },
        { "none", 0, InvalidParameter, 0 },
        { "negative", -1, InvalidParameter, -1 },
        { "two", 2, Ok, 2 },
        { "all four", 4, Ok, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int count = c.count;
        EXPECT_EQ(brush->SetSurroundColors(colors, count), c.status);
        EXPECT_EQ(count, c.countAfter);
        brush->GetLastStatus();
    }
    int count = 4;
    EXPECT_EQ(brush->SetSurroundColors(nullptr, count), InvalidParameter);
    brush->GetLastStatus();

    ARGB read[4] {};
    int room = 3;
    EXPECT_EQ(brush->GetSurroundColors(read, room), InsufficientBuffer);
    EXPECT_EQ(room, 3);
    room = 4;
    // Until the error is read, it is what a read of the colours reports.
    EXPECT_EQ(brush->GetSurroundColors(read, room), InsufficientBuffer);
    EXPECT_EQ(brush->GetLastStatus(), InsufficientBuffer);
    ASSERT_EQ(brush->GetSurroundColors(read, room), Ok);
    EXPECT_EQ(room, 4);
    EXPECT_EQ(read[3], 0xFF000004u);
    EXPECT_EQ(brush->GetSurroundColors(nullptr, room), InvalidParameter);
}

TEST_F(GdipBrushesTest, CentreColourCallsReportAnEarlierUnreadError)
{
    const auto brush = SquareGradient();
    int count = 9;
    brush->SetSurroundColors(nullptr, count); // InvalidParameter, unread
    EXPECT_EQ(brush->SetCenterColor(0xFF123456u), InvalidParameter);
    ARGB color = 0;
    EXPECT_EQ(brush->GetCenterColor(color), InvalidParameter);
    EXPECT_EQ(color, 0xFF123456u); // the colour was set and read all the same
    EXPECT_EQ(brush->GetLastStatus(), InvalidParameter);
    EXPECT_EQ(brush->SetCenterColor(0xFF654321u), Ok);
}

TEST_F(GdipBrushesTest, InterpolationColoursOfAPathGradientArriveOnlyWhenTheReadWorks)
{
    const auto brush = SquareGradient();
    ARGB colors[2] = { 0xAAAAAAAAu, 0xBBBBBBBBu };
    float positions[2] {};
    TGdipEntryOverride failing(GdiplusApi.GdipGetPathGradientPresetBlend, [](void*, ARGB* c, float*, int n) {
        for (int i = 0; i < n; ++i)
            c[i] = 0xDEADBEEFu;
        return GenericError;
    });
    EXPECT_EQ(brush->GetInterpolationColors(colors, positions, 2), GenericError);
    EXPECT_EQ(colors[0], 0xAAAAAAAAu);
    EXPECT_EQ(colors[1], 0xBBBBBBBBu);
    EXPECT_EQ(brush->GetInterpolationColors(nullptr, positions, 2), InvalidParameter);
}

TEST_F(GdipBrushesTest, PathGradientCentreFocusAndWrapRoundTrip)
{
    const auto brush = SquareGradient();
    ASSERT_EQ(brush->SetCenterPoint(TGPPointF { 2, 3 }), Ok);
    TGPPoint centre;
    ASSERT_EQ(brush->GetCenterPoint(centre), Ok);
    EXPECT_EQ(centre.X, 2);
    EXPECT_EQ(centre.Y, 3);
    ASSERT_EQ(brush->SetFocusScales(0.25f, 0.5f), Ok);
    float x = -1, y = -1;
    ASSERT_EQ(brush->GetFocusScales(x, y), Ok);
    EXPECT_FLOAT_EQ(x, 0.25f);
    EXPECT_FLOAT_EQ(y, 0.5f);
    ASSERT_EQ(brush->SetWrapMode(WrapModeTileFlipX), Ok);
    EXPECT_EQ(brush->GetWrapMode(), WrapModeTileFlipX);
    EXPECT_EQ(brush->GetGraphicsPath(nullptr), InvalidParameter);
    EXPECT_EQ(brush->SetGraphicsPath(nullptr), InvalidParameter);
}

TEST_F(GdipBrushesTest, BrushesPaintWhatTheyWereMadeWith)
{
    TGPBitmap tile(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            tile.SetPixel(x, y, (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    TGPTextureBrush texture(&tile, WrapModeTile);
    ASSERT_EQ(texture.lastResult, Ok);
    const auto image = texture.GetImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 2u);

    TGPLinearGradientBrush line(TGPRectF { 0, 0, 20, 4 }, 0xFFFF0000u, 0xFF0000FFu, LinearGradientModeHorizontal);
    TGPBitmap canvas(20, 8);
    const auto g = TGPGraphics::FromImage(&canvas);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->FillRectangle(&line, 0, 0, 20, 4), Ok);
    ASSERT_EQ(g->FillRectangle(&texture, 0, 4, 20, 4), Ok);
    g->Flush();

    struct Probe {
        int x, y;
        ARGB color;
    };
    const Probe probes[] = {
        { 0, 1, 0xFFFF0000u }, { 19, 1, 0xFF0000FFu }, // the gradient's ends
        { 4, 4, 0xFF000000u }, { 5, 4, 0xFFFFFFFFu }, { 5, 5, 0xFF000000u }, // the tiled picture
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        ARGB color = 0;
        ASSERT_EQ(canvas.GetPixel(p.x, p.y, color), Ok);
        // Gradient ends are blended over about a pixel; allow a little.
        const auto channel = [](ARGB c, int shift) { return int((c >> shift) & 0xFF); };
        for (const int shift : { 0, 8, 16, 24 })
            EXPECT_NEAR(channel(color, shift), channel(p.color, shift), 24);
    }
}

// ---- pens ----

TEST_F(GdipBrushesTest, APenFromAColourIsInWorldUnitsAndReadsItsColour)
{
    TGPPen pen(0xFF102030u, 3.0f);
    ASSERT_EQ(pen.lastResult, Ok);
    Unit_ unit = UnitMillimeter;
    ASSERT_EQ(GdiplusApi.GdipGetPenUnit(pen.nativePen, &unit), Ok);
    EXPECT_EQ(unit, UnitWorld);
    EXPECT_FLOAT_EQ(pen.GetWidth(), 3.0f);
    EXPECT_EQ(pen.GetPenType(), PenTypeSolidColor);
    ARGB color = 0;
    EXPECT_EQ(pen.GetColor(color), Ok);
    EXPECT_EQ(color, 0xFF102030u);
}

TEST_F(GdipBrushesTest, GetColorOfAPenThatIsNotASolidColourIsWrongStateAndUnrecorded)
{
    TGPHatchBrush hatch(HatchStyleCross, 0xFF000000u, 0xFFFFFFFFu);
    TGPPen pen(&hatch, 2.0f);
    ASSERT_EQ(pen.lastResult, Ok);
    ARGB color = 0x12345678u;
    EXPECT_EQ(pen.GetColor(color), WrongState);
    EXPECT_EQ(color, 0x12345678u);
    EXPECT_EQ(pen.GetLastStatus(), Ok);
}

TEST_F(GdipBrushesTest, GetBrushWrapsACopyOfThePensFillInTheClassOfItsType)
{
    TGPSolidBrush solid(0xFF00FF00u);
    TGPHatchBrush hatch(HatchStyleCross, 0xFF000000u, 0xFFFFFFFFu);
    TGPLinearGradientBrush line(TGPPointF { 0, 0 }, TGPPointF { 10, 0 }, 0xFF000000u, 0xFFFFFFFFu);
    const auto gradient = SquareGradient();
    struct Case {
        const char* name;
        const TGPBrush* fill;
        bool (*isExpectedClass)(const TGPBrush*);
        Status brushStatus;
    };
    const Case cases[] = {
        { "solid", &solid, [](const TGPBrush* b) { return dynamic_cast<const TGPSolidBrush*>(b) != nullptr; }, Ok },
        { "hatch", &hatch, [](const TGPBrush* b) { return dynamic_cast<const TGPHatchBrush*>(b) != nullptr; }, Ok },
        { "linear", &line,
            [](const TGPBrush* b) { return dynamic_cast<const TGPLinearGradientBrush*>(b) != nullptr; }, Ok },
        { "path gradient", gradient.get(), [](const TGPBrush* b) { return typeid(*b) == typeid(TGPBrush); },
            NotImplemented },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGPPen pen(c.fill, 1.0f);
        ASSERT_EQ(pen.lastResult, Ok);
        const auto brush = pen.GetBrush();
        ASSERT_TRUE(brush);
        EXPECT_TRUE(c.isExpectedClass(brush.get()));
        EXPECT_EQ(brush->lastResult, c.brushStatus);
        ASSERT_NE(brush->nativeBrush, nullptr);
        EXPECT_EQ(brush->GetType(), c.fill->GetType());
    }

    TGPPen pen(0xFF000000u);
    TGdipEntryOverride unknown(GdiplusApi.GdipGetPenFillType, [](void*, int* type) {
        *type = 7;
        return Ok;
    });
    EXPECT_EQ(pen.GetBrush(), nullptr);
}

TEST_F(GdipBrushesTest, PenSettingsRoundTrip)
{
    TGPPen pen(0xFF000000u, 1.0f);
    ASSERT_EQ(pen.SetWidth(4.5f), Ok);
    EXPECT_FLOAT_EQ(pen.GetWidth(), 4.5f);
    ASSERT_EQ(pen.SetLineCap(LineCapRound, LineCapSquare, DashCapTriangle), Ok);
    EXPECT_EQ(pen.GetStartCap(), LineCapRound);
    EXPECT_EQ(pen.GetEndCap(), LineCapSquare);
    EXPECT_EQ(pen.GetDashCap(), DashCapTriangle);
    EXPECT_EQ(pen.GetLineJoin(), LineJoinMiter);
    ASSERT_EQ(pen.SetLineJoin(LineJoinRound), Ok);
    EXPECT_EQ(pen.GetLineJoin(), LineJoinRound);
    ASSERT_EQ(pen.SetMiterLimit(3.0f), Ok);
    EXPECT_FLOAT_EQ(pen.GetMiterLimit(), 3.0f);
    EXPECT_EQ(pen.GetAlignment(), PenAlignmentCenter);
    ASSERT_EQ(pen.SetDashStyle(DashStyleDot), Ok);
    EXPECT_EQ(pen.GetDashStyle(), DashStyleDot);
    const float dashes[4] = { 1, 2, 3, 4 };
    ASSERT_EQ(pen.SetDashPattern(dashes, 4), Ok);
    ASSERT_EQ(pen.GetDashPatternCount(), 4);
    float back[4] {};
    ASSERT_EQ(pen.GetDashPattern(back, 4), Ok);
    EXPECT_FLOAT_EQ(back[2], 3);
    ASSERT_EQ(pen.SetColor(0xFF00FF00u), Ok);
    ARGB color = 0;
    pen.GetColor(color);
    EXPECT_EQ(color, 0xFF00FF00u);
}

TEST_F(GdipBrushesTest, PenCloneStoresTheCopysStatusInTheSourceEvenWhenOk)
{
    TGPPen pen(0xFF000000u, 2.0f);
    pen.SetBrush(nullptr); // InvalidParameter, unread
    const auto clone = pen.Clone();
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->lastResult, Ok);
    EXPECT_EQ(pen.GetLastStatus(), Ok);
    EXPECT_FLOAT_EQ(clone->GetWidth(), 2.0f);

    TGdipEntryOverride failing(GdiplusApi.GdipClonePen, [](void*, void**) { return OutOfMemory; });
    const auto failed = pen.Clone();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->nativePen, nullptr);
    EXPECT_EQ(failed->lastResult, OutOfMemory);
    EXPECT_EQ(pen.GetLastStatus(), OutOfMemory);
}

// ---- custom line caps ----

TEST_F(GdipBrushesTest, CustomCapsGoOntoAPenAndComeBackAsCopies)
{
    TGPGraphicsPath stroke;
    stroke.AddLine(-2.0f, -2.0f, 0.0f, 0.0f);
    stroke.AddLine(0.0f, 0.0f, 2.0f, -2.0f);
    TGPCustomLineCap cap(nullptr, &stroke, LineCapFlat, 1.5f);
    ASSERT_EQ(cap.lastResult, Ok);
    EXPECT_FLOAT_EQ(cap.GetBaseInset(), 1.5f);

    TGPPen pen(0xFF000000u, 1.0f);
    ASSERT_EQ(pen.SetCustomStartCap(&cap), Ok);
    ASSERT_EQ(pen.SetCustomEndCap(&cap), Ok);
    EXPECT_EQ(pen.GetCustomStartCap(nullptr), InvalidParameter);
    EXPECT_EQ(pen.GetLastStatus(), InvalidParameter);

    TGPCustomLineCap received;
    EXPECT_EQ(received.lastResult, Ok);
    ASSERT_EQ(pen.GetCustomStartCap(&received), Ok);
    ASSERT_NE(received.nativeCap, nullptr);
    EXPECT_NE(received.nativeCap, cap.nativeCap);
    EXPECT_FLOAT_EQ(received.GetBaseInset(), 1.5f);
    // Receiving again into the same cap releases the copy it held (a leak check catches it otherwise).
    ASSERT_EQ(pen.GetCustomEndCap(&received), Ok);
    EXPECT_FLOAT_EQ(received.GetBaseInset(), 1.5f);
}

TEST_F(GdipBrushesTest, CustomCapSettingsAndCloneRefusedAfterAnUnreadError)
{
    TGPGraphicsPath stroke;
    stroke.AddLine(0.0f, 0.0f, 1.0f, 1.0f);
    TGPCustomLineCap cap(nullptr, &stroke);
    int start = -1, end = -1;
    ASSERT_EQ(cap.SetStrokeCap(LineCapRound), Ok);
    ASSERT_EQ(cap.GetStrokeCaps(start, end), Ok);
    EXPECT_EQ(start, LineCapRound);
    EXPECT_EQ(end, LineCapRound);
    ASSERT_EQ(cap.SetStrokeJoin(LineJoinBevel), Ok);
    EXPECT_EQ(cap.GetStrokeJoin(), LineJoinBevel);
    ASSERT_EQ(cap.SetWidthScale(2.0f), Ok);
    EXPECT_FLOAT_EQ(cap.GetWidthScale(), 2.0f);

    const auto copy = cap.Clone();
    ASSERT_TRUE(copy);
    EXPECT_FLOAT_EQ(copy->GetWidthScale(), 2.0f);

    g_calls = 0;
    static decltype(GdiplusApi.GdipDeleteCustomLineCap.Fn) realDelete;
    realDelete = GdiplusApi.GdipDeleteCustomLineCap.Fn;
    TGdipEntryOverride counting(GdiplusApi.GdipDeleteCustomLineCap, [](void* c) {
        ++g_calls;
        return realDelete(c);
    });
    {
        TGdipEntryOverride failing(GdiplusApi.GdipSetCustomLineCapBaseInset, [](void*, float) { return GenericError; });
        cap.SetBaseInset(1.0f);
    }
    EXPECT_EQ(cap.Clone(), nullptr);
    EXPECT_EQ(g_calls, 1); // the refused copy was deleted
}

} // namespace
