#include <gtest/gtest.h>

#include <cmath>

#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesPaths.h"
#include "platform/gdi/Gdi.h"
#include "tests/graphics/GdipTestSupport.h"

using namespace LumGDIPlusClasses;

namespace {

using GdipPathsTest = GdipWrapperTest;

int g_calls = 0;

std::unique_ptr<TGPGraphicsPath> RectanglePath(float x, float y, float w, float h)
{
    auto path = std::make_unique<TGPGraphicsPath>();
    path->AddRectangle(TGPRectF { x, y, w, h });
    return path;
}

// ---- paths ----

TEST_F(GdipPathsTest, AFailingCallIsKeptUntilReadWhileLaterCallsReportTheirOwnStatus)
{
    TGPGraphicsPath path;
    ASSERT_EQ(path.lastResult, Ok);
    EXPECT_EQ(path.AddLines(static_cast<const TGPPointF*>(nullptr), 2), InvalidParameter);
    EXPECT_EQ(path.AddLine(0.0f, 0.0f, 5.0f, 5.0f), Ok);
    EXPECT_EQ(path.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(path.GetLastStatus(), Ok);
}

TEST_F(GdipPathsTest, GetPathDataReusesLargeEnoughArraysAndReplacesSmallOnes)
{
    const auto path = RectanglePath(1, 2, 10, 20);
    ASSERT_EQ(path->GetPointCount(), 4);
    const TGPPointF expected[4] = { { 1, 2 }, { 11, 2 }, { 11, 22 }, { 1, 22 } };

    struct Case {
        const char* name;
        int startCount;
        bool keepsArrays;
    };
    const Case cases[] = {
        { "empty holder", 0, false },
        { "too small", 3, false },
        { "exact", 4, true },
        { "larger", 10, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPathData data;
        if (c.startCount > 0) {
            data.Count = c.startCount;
            data.Points = new TGPPointF[std::size_t(c.startCount)];
            data.Types = new std::uint8_t[std::size_t(c.startCount)];
        }
        const TGPPointF* before = data.Points;
        ASSERT_EQ(path->GetPathData(&data), Ok);
        EXPECT_EQ(data.Points == before, c.keepsArrays);
        ASSERT_GE(data.Count, 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(data.Points[i].X, expected[i].X);
            EXPECT_FLOAT_EQ(data.Points[i].Y, expected[i].Y);
        }
        EXPECT_EQ(data.Types[0] & 0x07, 0); // the figure's start point
    }
}

TEST_F(GdipPathsTest, GetPathDataOfAnEmptyPathFreesTheArraysAndReportsTheUnreadError)
{
    TGPGraphicsPath path;
    path.AddLines(static_cast<const TGPPointF*>(nullptr), 2); // leaves InvalidParameter unread
    TPathData data;
    data.Count = 3;
    data.Points = new TGPPointF[3];
    data.Types = new std::uint8_t[3];

    EXPECT_EQ(path.GetPathData(&data), InvalidParameter);
    EXPECT_EQ(data.Count, 0);
    EXPECT_EQ(data.Points, nullptr);
    EXPECT_EQ(data.Types, nullptr);
    EXPECT_EQ(path.GetPathData(nullptr), InvalidParameter);
}

TEST_F(GdipPathsTest, FillModeReadsBackAndFallsBackToAlternateWhenTheQueryFails)
{
    TGPGraphicsPath path;
    EXPECT_EQ(path.GetFillMode(), FillModeAlternate);
    ASSERT_EQ(path.SetFillMode(FillModeWinding), Ok);
    EXPECT_EQ(path.GetFillMode(), FillModeWinding);

    TGdipEntryOverride failing(GdiplusApi.GdipGetPathFillMode, [](void*, FillMode* mode) {
        *mode = FillModeWinding;
        return GenericError;
    });
    TGPGraphicsPath other(FillModeWinding);
    // What the library wrote on failure does not leak out; the start value does.
    EXPECT_EQ(other.GetFillMode(), FillModeAlternate);
    EXPECT_EQ(other.GetLastStatus(), GenericError);
}

TEST_F(GdipPathsTest, TransformWithoutAMatrixLeavesThePathAloneAndCallsNothing)
{
    const auto path = RectanglePath(0, 0, 4, 4);
    g_calls = 0;
    TGdipEntryOverride counting(GdiplusApi.GdipTransformPath, [](void*, void*) {
        ++g_calls;
        return Ok;
    });
    EXPECT_EQ(path->Transform(nullptr), Ok);
    EXPECT_EQ(g_calls, 0);
    EXPECT_EQ(path->GetLastStatus(), Ok);
}

TEST_F(GdipPathsTest, TransformBoundsCloneAndHitTests)
{
    const auto path = RectanglePath(0, 0, 10, 10);
    TGPMatrix shift(1, 0, 0, 1, 5, 7);
    ASSERT_EQ(path->Transform(&shift), Ok);
    TGPRectF bounds;
    ASSERT_EQ(path->GetBounds(bounds), Ok);
    EXPECT_FLOAT_EQ(bounds.X, 5);
    EXPECT_FLOAT_EQ(bounds.Y, 7);
    EXPECT_FLOAT_EQ(bounds.Width, 10);
    EXPECT_FLOAT_EQ(bounds.Height, 10);

    const auto copy = path->Clone();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->lastResult, Ok);
    EXPECT_NE(copy->nativePath, path->nativePath);
    path->Reset();
    EXPECT_EQ(path->GetPointCount(), 0);
    EXPECT_EQ(copy->GetPointCount(), 4);
    EXPECT_TRUE(copy->IsVisible(10.0f, 12.0f));
    EXPECT_FALSE(copy->IsVisible(1, 1));

    const TGPGraphicsPath fromOther(copy.get());
    EXPECT_EQ(fromOther.lastResult, Ok);
    EXPECT_EQ(fromOther.GetPointCount(), 4);
    const TGPGraphicsPath fromNothing(static_cast<const TGPGraphicsPath*>(nullptr));
    EXPECT_EQ(fromNothing.lastResult, InvalidParameter);
    EXPECT_EQ(fromNothing.nativePath, nullptr);
}

TEST_F(GdipPathsTest, AddStringNeverReadsPastTheText)
{
    const String text = u"Hi";
    const TGPFontFamily* family = TGPFontFamily::GenericSansSerif();
    struct Case {
        int length;
        int units; // how many of the text's units become outlines
    };
    const Case cases[] = { { -1, 2 }, { 2, 2 }, { 50, 2 }, { 1, 1 } };
    int pointsFor[3] = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        TGPGraphicsPath path;
        ASSERT_EQ(path.AddString(text, c.length, family, FontStyleRegular, 20.0f, TGPPointF { 0, 0 }, nullptr), Ok);
        const int points = path.GetPointCount();
        EXPECT_GT(points, 0);
        if (pointsFor[c.units] == 0)
            pointsFor[c.units] = points;
        EXPECT_EQ(points, pointsFor[c.units]);
    }
    EXPECT_LT(pointsFor[1], pointsFor[2]);
}

// ---- matrices ----

TEST_F(GdipPathsTest, RotateAtTurnsAboutTheCentreInEitherOrder)
{
    for (const MatrixOrder order : { MatrixOrderPrepend, MatrixOrderAppend }) {
        SCOPED_TRACE(order);
        TGPMatrix m;
        ASSERT_EQ(m.RotateAt(90, TGPPointF { 10, 10 }, order), Ok);
        TGPPointF p { 20, 10 };
        ASSERT_EQ(m.TransformPoints(&p), Ok);
        EXPECT_NEAR(p.X, 10, 1e-4);
        EXPECT_NEAR(p.Y, 20, 1e-4);
    }
}

TEST_F(GdipPathsTest, OffsetsAreTheTranslationAndZeroWhenTheElementsCannotBeRead)
{
    TGPMatrix m(1, 0, 0, 1, 5, 7);
    EXPECT_FLOAT_EQ(m.OffsetX(), 5);
    EXPECT_FLOAT_EQ(m.OffsetY(), 7);
    ASSERT_EQ(m.Reset(), Ok);
    EXPECT_TRUE(m.IsIdentity());
    EXPECT_FLOAT_EQ(m.OffsetX(), 0);
    EXPECT_FLOAT_EQ(m.OffsetY(), 0);

    m.Translate(3, 4);
    TGdipEntryOverride failing(GdiplusApi.GdipGetMatrixElements, [](const void*, float* e) {
        e[4] = 99;
        e[5] = 99;
        return GenericError;
    });
    EXPECT_FLOAT_EQ(m.OffsetX(), 0);
    EXPECT_FLOAT_EQ(m.OffsetY(), 0);
}

TEST_F(GdipPathsTest, MatrixCloneIsRefusedAfterAnUnreadErrorWithoutLeakingTheCopy)
{
    TGPMatrix m(2, 0, 0, 2, 1, 1);
    m.Multiply(nullptr); // InvalidParameter, recorded, unread
    g_calls = 0;
    static decltype(GdiplusApi.GdipDeleteMatrix.Fn) realDelete;
    realDelete = GdiplusApi.GdipDeleteMatrix.Fn;
    TGdipEntryOverride counting(GdiplusApi.GdipDeleteMatrix, [](void* matrix) {
        ++g_calls;
        return realDelete(matrix);
    });
    EXPECT_EQ(m.Clone(), nullptr);
    EXPECT_EQ(g_calls, 1); // the refused copy was deleted
    EXPECT_EQ(m.GetLastStatus(), InvalidParameter);

    const auto copy = m.Clone();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->lastResult, Ok);
    EXPECT_TRUE(copy->IsEqual(&m));
    EXPECT_FALSE(copy->IsEqual(nullptr));
    EXPECT_EQ(copy->GetLastStatus(), InvalidParameter);
}

TEST_F(GdipPathsTest, MatrixMapsPointsAndVectorsAndInverts)
{
    TGPMatrix m(2, 0, 0, 3, 10, 20);
    TGPPoint points[2] = { { 1, 1 }, { 2, 0 } };
    ASSERT_EQ(m.TransformPoints(points, 2), Ok);
    EXPECT_EQ(points[0].X, 12);
    EXPECT_EQ(points[0].Y, 23);
    EXPECT_EQ(points[1].X, 14);
    EXPECT_EQ(points[1].Y, 20);
    TGPPointF v { 1, 1 };
    ASSERT_EQ(m.TransformVectors(&v), Ok);
    EXPECT_FLOAT_EQ(v.X, 2);
    EXPECT_FLOAT_EQ(v.Y, 3);

    ASSERT_TRUE(m.IsInvertible());
    ASSERT_EQ(m.Invert(), Ok);
    TGPPointF p { 12, 23 };
    m.TransformPoints(&p);
    EXPECT_NEAR(p.X, 1, 1e-5);
    EXPECT_NEAR(p.Y, 1, 1e-5);

    TGPMatrix flat(0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(flat.IsInvertible());
}

// ---- regions ----

TEST_F(GdipPathsTest, RegionCombinationsUseTheirCombineModes)
{
    using Method = Status (TGPRegion::*)(const TGPRectF&);
    struct Case {
        const char* name;
        Method method;
        CombineMode mode;
        bool inFirstOnly, inBoth, inSecondOnly;
    };
    const Case cases[] = {
        { "Intersect", &TGPRegion::Intersect, CombineModeIntersect, false, true, false },
        { "Union", &TGPRegion::Union, CombineModeUnion, true, true, true },
        { "Xor_", &TGPRegion::Xor_, CombineModeXor, true, false, true },
        { "Exclude", &TGPRegion::Exclude, CombineModeExclude, true, false, false },
        { "Complement", &TGPRegion::Complement, CombineModeComplement, false, false, true },
    };
    static CombineMode seen;
    static decltype(GdiplusApi.GdipCombineRegionRect.Fn) real;
    real = GdiplusApi.GdipCombineRegionRect.Fn;
    TGdipEntryOverride recording(GdiplusApi.GdipCombineRegionRect, [](void* r, const TGPRectF* rect, CombineMode m) {
        seen = m;
        return real(r, rect, m);
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGPRegion region(TGPRectF { 0, 0, 10, 10 });
        seen = CombineModeReplace;
        ASSERT_EQ((region.*c.method)(TGPRectF { 5, 0, 10, 10 }), Ok);
        EXPECT_EQ(seen, c.mode);
        EXPECT_EQ(region.IsVisible(2.0f, 5.0f), c.inFirstOnly);
        EXPECT_EQ(region.IsVisible(7, 5), c.inBoth);
        EXPECT_EQ(region.IsVisible(TGPPoint { 12, 5 }), c.inSecondOnly);
    }
}

TEST_F(GdipPathsTest, RegionCombinesWithPathsAndRegionsAndRefusesMissingOnes)
{
    TGPRegion region(TGPRect { 0, 0, 10, 10 });
    const auto path = RectanglePath(20, 0, 5, 5);
    ASSERT_EQ(region.Union(path.get()), Ok);
    const TGPRegion other(TGPRectF { 0, 0, 4, 4 });
    ASSERT_EQ(region.Exclude(&other), Ok);
    EXPECT_TRUE(region.IsVisible(22, 2));
    EXPECT_FALSE(region.IsVisible(2, 2));
    EXPECT_TRUE(region.IsVisible(6, 6, 2, 2));

    EXPECT_EQ(region.Union(static_cast<const TGPRegion*>(nullptr)), InvalidParameter);
    EXPECT_EQ(region.Intersect(static_cast<const TGPGraphicsPath*>(nullptr)), InvalidParameter);
    EXPECT_EQ(region.Transform(nullptr), InvalidParameter);
    EXPECT_FALSE(region.IsEmpty(nullptr));
    EXPECT_EQ(region.GetRegionScansCount(nullptr), 0u);
    EXPECT_EQ(region.GetLastStatus(), InvalidParameter);
    EXPECT_TRUE(region.IsVisible(22, 2)); // nothing changed
}

TEST_F(GdipPathsTest, RegionDataRoundTripsAndClonesAreIndependent)
{
    TGPRegion region(TGPRectF { 1, 2, 30, 40 });
    const UINT size = region.GetDataSize();
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    UINT filled = 0;
    ASSERT_EQ(region.GetData(data.data(), size, &filled), Ok);
    EXPECT_EQ(filled, size);
    const TGPRegion copy(data.data(), int(size));
    ASSERT_EQ(copy.lastResult, Ok);
    EXPECT_TRUE(copy.IsVisible(5, 5));
    EXPECT_FALSE(copy.IsVisible(35, 5));

    const auto clone = region.Clone();
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->lastResult, Ok);
    region.MakeEmpty();
    EXPECT_FALSE(region.IsVisible(5, 5));
    EXPECT_TRUE(clone->IsVisible(5, 5));
    clone->MakeInfinite();
    EXPECT_TRUE(clone->IsVisible(-1000, 1000));
}

TEST_F(GdipPathsTest, FromHRGNMakesARegionOrNothing)
{
    HRGN rgn = CreateRectRgn(0, 0, 10, 10);
    const auto region = TGPRegion::FromHRGN(rgn);
    DeleteObject(rgn);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->lastResult, Ok);
    EXPECT_TRUE(region->IsVisible(5, 5));
    EXPECT_FALSE(region->IsVisible(15, 5));

    TGdipEntryOverride failing(GdiplusApi.GdipCreateRegionHrgn, [](HRGN, void**) { return GenericError; });
    EXPECT_EQ(TGPRegion::FromHRGN(nullptr), nullptr);
}

} // namespace
