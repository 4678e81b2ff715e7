#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/LumGraphicsContextGeneral.h"

namespace {

// Records the path-building calls that ConvertToPath makes.
class TRecordingContext : public TLumGraphicsContextGeneral {
public:
    TRecordingContext() : TLumGraphicsContextGeneral(nullptr, nullptr) { }
    struct TCall {
        char Kind; // 'o' open, 'm' move, 'l' line, 'c' close
        TPointF Point;
    };
    void* CreatePath() override { return &Calls; }
    void PathOpen(void*) override { Calls.push_back({ 'o', {} }); }
    void PathMoveTo(void*, const TPointF& P) override { Calls.push_back({ 'm', P }); }
    void PathLineTo(void*, const TPointF& P) override { Calls.push_back({ 'l', P }); }
    void PathClose(void*) override { Calls.push_back({ 'c', {} }); }
    int Lines() const
    {
        int n = 0;
        for (const auto& c : Calls)
            n += c.Kind == 'l';
        return n;
    }
    std::vector<TCall> Calls;
};

TEST(GraphicsContextConvertToPath, WalksMovesLinesAndClosesInOrder)
{
    TRecordingContext ctx;
    TLumGraphicsPath empty;
    EXPECT_EQ(ctx.ConvertToPath(&empty, 1), &ctx.Calls);
    EXPECT_TRUE(ctx.Calls.empty());

    TLumGraphicsPath path;
    path.MoveTo({ 1, 2 });
    path.LineTo({ 3, 4 });
    path.ClosePath();
    ctx.ConvertToPath(&path, 1);
    ASSERT_EQ(ctx.Calls.size(), 4u);
    EXPECT_EQ(ctx.Calls[0].Kind, 'o');
    EXPECT_EQ(ctx.Calls[1].Kind, 'm');
    EXPECT_EQ(ctx.Calls[1].Point, TPointF(1, 2));
    EXPECT_EQ(ctx.Calls[2].Kind, 'l');
    EXPECT_EQ(ctx.Calls[2].Point, TPointF(3, 4));
    EXPECT_EQ(ctx.Calls[3].Kind, 'c');
}

TEST(GraphicsContextConvertToPath, CurvesBecomeSegmentsAboutFlatnessLong)
{
    struct TCase {
        const char* Name;
        float Length;
        float Flatness;
        int Lines;
    };
    const TCase cases[] = {
        { "flatness below the floor uses 0.05", 1, 0.01f, 20 },
        { "ordinary flatness", 10, 0.25f, 40 },
        { "a curve shorter than two segments is one line", 0.06f, 0.01f, 1 },
        { "a huge curve is bounded", 1e9f, 0.25f, 65536 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingContext ctx;
        TLumGraphicsPath path;
        path.MoveTo({ 0, 0 });
        path.CurveTo({ c.Length / 3, 0 }, { 2 * c.Length / 3, 0 }, { c.Length, 0 });
        ctx.ConvertToPath(&path, c.Flatness);
        EXPECT_EQ(ctx.Lines(), c.Lines);
        EXPECT_FLOAT_EQ(ctx.Calls.back().Point.X, c.Length);
    }
}

TEST(GraphicsContextConvertToPath, ACurveStartsWhereThePreviousOneEnded)
{
    TRecordingContext ctx;
    TLumGraphicsPath path;
    path.MoveTo({ 0, 0 });
    path.CurveTo({ 0.02f, 0 }, { 0.04f, 0 }, { 0.06f, 0 });
    path.CurveTo({ 0.06f, 10 }, { 0.06f, 20 }, { 0.06f, 30 });
    ctx.ConvertToPath(&path, 0.25f);
    ASSERT_GE(ctx.Calls.size(), 4u);
    EXPECT_EQ(ctx.Calls[2].Point, TPointF(0.06f, 0));
    // The first point of the second curve is its start: the first one's end.
    EXPECT_EQ(ctx.Calls[3].Point, TPointF(0.06f, 0));
    EXPECT_FLOAT_EQ(ctx.Calls.back().Point.Y, 30);
}

TEST(GraphicsContextRoundRectPath, RoundsOnlyTheChosenCorners)
{
    const TRectF r { 0, 0, 40, 20 };
    struct TCase {
        TLumGraphicsCorners Corners;
        bool TopLeftInside, BottomRightInside;
    };
    const TCase cases[] = {
        { {}, true, true },
        { { gcTopLeft }, false, true },
        { { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight }, false, false },
    };
    for (const auto& c : cases) {
        TLumGraphicsPath path;
        AddRoundRectPath(path, r, 8, c.Corners);
        const TRectF b = path.GetBounds();
        EXPECT_NEAR(b.Left, 0, 1e-4);
        EXPECT_NEAR(b.Top, 0, 1e-4);
        EXPECT_NEAR(b.Right, 40, 1e-4);
        EXPECT_NEAR(b.Bottom, 20, 1e-4);
        EXPECT_EQ(path.IsPointVisible({ 1, 1 }), c.TopLeftInside);
        EXPECT_EQ(path.IsPointVisible({ 39, 19 }), c.BottomRightInside);
        EXPECT_TRUE(path.IsPointVisible({ 20, 10 }));
    }
}

TEST(GraphicsContextFactories, MakeTheTwoContexts)
{
    TCanvas canvas;
    const auto general = GeneralContextClass()(nullptr, &canvas);
    EXPECT_EQ(general->ClassType(), TLumGraphicsContextGeneral::StaticClassInfo());
    EXPECT_EQ(general->GetCanvas(), &canvas);
    EXPECT_EQ(general->GetNativeCanvas(), &canvas);
    EXPECT_EQ(general->GetGraphics(), nullptr);
    EXPECT_NE(NativeContextClass()(nullptr, nullptr)->ClassType(), general->ClassType());
}

} // namespace
