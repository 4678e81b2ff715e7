#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/LumSVGParser.h"

namespace {

String Svg(const char* ABody, const char* ARoot = "viewBox='0 0 100 100'")
{
    return Utf8ToString(std::string("<svg ") + ARoot + ">" + ABody + "</svg>");
}

// The pixel of a rendered picture, as red | green << 8 | blue << 16.
TColor PixelAt(TLumBitmap& ABitmap, int AX, int AY)
{
    TBitmap* bitmap = dynamic_cast<TBitmap*>(ABitmap.GetGraphic());
    return bitmap ? bitmap->GetCanvas()->GetPixel(AX, AY) & 0xFFFFFF : -1;
}

// The picture drawn over a white bitmap of the given size.
std::unique_ptr<TBitmap> Render(TLumGraphicsSVGImport& ASVG, int AWidth, int AHeight, bool ANative = false)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(AWidth, AHeight);
    bitmap->GetCanvas()->GetBrush()->SetColor(0xFFFFFF);
    bitmap->GetCanvas()->FillRect({ 0, 0, AWidth, AHeight });
    ASVG.Draw(bitmap->GetCanvas(), TRectF(0, 0, float(AWidth), float(AHeight)), ANative);
    return bitmap;
}

TColor PixelAt(TBitmap& ABitmap, int AX, int AY) { return ABitmap.GetCanvas()->GetPixel(AX, AY) & 0xFFFFFF; }

bool Near(TColor A, TColor B, int ATolerance = 16)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((A >> shift) & 0xFF) - int((B >> shift) & 0xFF)) > ATolerance)
            return false;
    return true;
}

} // namespace

TEST(LumSVGRenderer, ColourAndAngleRoutines)
{
    EXPECT_EQ(GrayScaleColor(0x0000FF), TColor(0x4C4C4C)); // round(0.3 * 255) = 76
    EXPECT_EQ(GrayScaleColor(0xFFFFFF), TColor(0xFFFFFF));
    EXPECT_EQ(MultiplyColors(0x80FF40, 0x8080FF), TColor(0x408040));
    const struct {
        TPointF From, To;
        float Angle;
    } angles[] = { { { 0, 0 }, { 0, 100 }, 90 }, { { 100, 0 }, { 0, 0 }, 180 }, { { 0, 0 }, { 10, 0 }, 0 },
        { { 0, 10 }, { 0, 0 }, 270 }, { { 5, 5 }, { 5, 5 }, 0 } };
    for (const auto& a : angles) {
        SCOPED_TRACE(a.Angle);
        EXPECT_NEAR(LineAngle(a.From, a.To), a.Angle, 1e-4);
    }
}

TEST(LumSVGRenderer, GenerateBitmapSizes)
{
    TLumGraphicsSVGImport svg;
    EXPECT_EQ(svg.GenerateBitmap(-1, -1), nullptr);
    svg.LoadFromText(Svg("<rect width='10' height='10'/>", "viewBox='0 0 120 80'"));
    auto bitmap = svg.GenerateBitmap(-1, -1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 120);
    EXPECT_EQ(bitmap->GetHeight(), 80);
    bitmap = svg.GenerateBitmap(30, 20);
    EXPECT_EQ(bitmap->GetWidth(), 30);
    EXPECT_EQ(bitmap->GetHeight(), 20);
    svg.LoadFromText(Svg("<rect x='50' width='50' height='100' fill='red'/>"));
    bitmap = svg.GenerateBitmap(-1, -1);
    EXPECT_TRUE(Near(PixelAt(*bitmap, 75, 50), 0x0000FF));
    EXPECT_FALSE(Near(PixelAt(*bitmap, 25, 50), 0x0000FF));
    // Only text: the view rectangle is empty, so the bitmap is too.
    svg.LoadFromText(u"<svg><text>t</text></svg>");
    bitmap = svg.GenerateBitmap(-1, -1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 0);
    // A hostile size gives an empty bitmap rather than gigabytes.
    svg.LoadFromText(Svg("<rect width='1' height='1'/>", "viewBox='0 0 1e9 1e9'"));
    bitmap = svg.GenerateBitmap(-1, -1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 0);
}

TEST(LumSVGRenderer, FillColoursAndOverrides)
{
    struct Case {
        const char* Name;
        const char* Circle;
        bool GrayScale;
        TColor Tint, CustomFill;
        float CustomOpacity;
        TColor Expected;
        // Opacity needs the anti-aliased back end; plain GDI has no alpha.
        bool Native = false;
    };
    const TColor white = 0xFFFFFF;
    const Case cases[] = {
        { "undeclared fill is black", "", false, -1, -1, -1, 0x000000 },
        { "undeclared with grey scale", "", true, -1, -1, -1, 0x808080 },
        { "undeclared with tint", "", false, 0x0000FF, -1, -1, 0x0000FF },
        { "undeclared with custom fill", "", false, -1, 0x00FF00, -1, 0x00FF00 },
        { "declared colour", "fill='#0000ff'", false, -1, -1, -1, 0xFF0000 },
        { "declared colour in grey scale", "fill='#ff0000'", true, -1, -1, -1, 0x4C4C4C },
        { "declared colour tinted", "fill='#ffffff'", false, 0x00FF00, -1, -1, 0x00FF00 },
        { "none stays none whatever the overrides", "fill='none'", true, 0x0000FF, 0x00FF00, -1, white },
        { "custom opacity", "fill='black' opacity='1'", false, -1, -1, 0.5f, 0x808080, true },
        { "inherited from the group", "", false, -1, -1, -1, 0x00FF00 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TLumGraphicsSVGImport svg;
        const std::string circle = std::string("<circle cx='50' cy='50' r='40' ") + c.Circle + "/>";
        const std::string body = std::string(c.Name) == "inherited from the group"
            ? "<g fill='#00ff00'>" + circle + "</g>"
            : circle;
        svg.LoadFromText(Svg(body.c_str()));
        svg.SetGrayScale(c.GrayScale);
        svg.SetTintColor(c.Tint);
        svg.SetCustomFillColor(c.CustomFill);
        svg.SetCustomOpacity(c.CustomOpacity);
        auto bitmap = Render(svg, 100, 100, c.Native);
        EXPECT_TRUE(Near(PixelAt(*bitmap, 50, 50), c.Expected)) << std::hex << PixelAt(*bitmap, 50, 50);
        EXPECT_EQ(PixelAt(*bitmap, 2, 2), white);
    }
}

TEST(LumSVGRenderer, LayoutOfTheTree)
{
    struct Probe {
        int X, Y;
        TColor Color;
    };
    struct Case {
        const char* Name;
        const char* Root;
        const char* Body;
        float Width, Height, Rotation;
        std::vector<Probe> Probes;
        bool Native = false;
    };
    const TColor white = 0xFFFFFF, red = 0x0000FF, blue = 0xFF0000;
    const Case cases[] = {
        { "stretched without keeping proportions", "viewBox='0 0 100 50'",
            "<rect x='50' y='25' width='50' height='25' fill='red'/>", 200, 200, 0,
            { { 150, 150, red }, { 90, 150, white }, { 150, 90, white } } },
        { "display none does not stop later siblings", "viewBox='0 0 100 100'",
            "<rect width='50' height='100' fill='red' display='none'/><rect x='50' width='50' height='100' fill='blue'/>",
            100, 100, 0, { { 25, 50, white }, { 75, 50, blue } } },
        { "group transform reaches its children", "viewBox='0 0 100 100'",
            "<g transform='translate(50,0)'><rect width='50' height='50' fill='red'/></g>", 100, 100, 0,
            { { 25, 25, white }, { 75, 25, red } } },
        { "rotation about the view box centre", "viewBox='0 0 100 100'",
            "<rect width='50' height='50' fill='red'/>", 100, 100, 90,
            { { 25, 25, white }, { 75, 25, red } } },
        { "nested opacities are not multiplied", "viewBox='0 0 100 100'",
            "<g opacity='0.5'><g opacity='0.5'><rect width='100' height='100' fill='black'/></g></g>", 100, 100, 0,
            { { 50, 50, 0x808080 } }, true },
        { "clip path reached through a class rule", "viewBox='0 0 100 100'",
            "<style>.c{clip-path: url(#k)}</style><defs><clipPath id='k'><rect width='50' height='100'/></clipPath></defs>"
            "<rect class='c' width='100' height='100' fill='red'/>",
            100, 100, 0, { { 25, 50, red }, { 75, 50, white } } },
        { "linear gradient through an href, downwards", "viewBox='0 0 100 100'",
            "<defs><linearGradient id='a' x1='0' y1='0' x2='0' y2='100'><stop offset='0' stop-color='red'/>"
            "<stop offset='1' stop-color='blue'/></linearGradient><linearGradient id='b' href='#a'/></defs>"
            "<rect width='100' height='100' fill='url(#b)'/>",
            100, 100, 0, { { 50, 1, red }, { 50, 98, blue }, { 2, 1, red } }, true },
        { "stroke width scales with the picture", "viewBox='0 0 100 100'",
            "<line x1='0' y1='50' x2='100' y2='50' stroke='red' stroke-width='5'/>", 100, 400, 0,
            // width 5 x sx (1): from y 190 to 210 would be the vertically scaled width.
            { { 50, 200, red }, { 50, 193, white } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TLumGraphicsSVGImport svg;
        svg.LoadFromText(Svg(c.Body, c.Root));
        svg.SetRotationAngle(c.Rotation);
        auto bitmap = Render(svg, int(c.Width), int(c.Height), c.Native);
        for (const Probe& p : c.Probes)
            EXPECT_TRUE(Near(PixelAt(*bitmap, p.X, p.Y), p.Color))
                << p.X << "," << p.Y << ": " << std::hex << PixelAt(*bitmap, p.X, p.Y);
    }
}

TEST(LumSVGRenderer, TextStandsOnItsBaselineAndPlainTextOfMixedContentAtTheOrigin)
{
    auto darkIn = [](TBitmap& ABitmap, const TRect& ARect) {
        int n = 0;
        for (int y = ARect.Top; y < ARect.Bottom; ++y)
            for (int x = ARect.Left; x < ARect.Right; ++x)
                n += (PixelAt(ABitmap, x, y) & 0xFF) < 0x80 ? 1 : 0;
        return n;
    };
    TLumGraphicsSVGImport svg;
    svg.LoadFromText(Svg("<text x='10' y='60' font-size='20'>Hello</text>", "viewBox='0 0 100 100'"));
    auto bitmap = Render(svg, 100, 100);
    EXPECT_GT(darkIn(*bitmap, { 10, 30, 100, 60 }), 10);
    EXPECT_EQ(darkIn(*bitmap, { 0, 61, 100, 100 }), 0);
    // The plain text is placed at (0, -h), above the picture; only the span shows.
    svg.LoadFromText(Svg("<text x='10' y='60' font-size='20'>Hidden<tspan x='10' y='90'>Seen</tspan></text>",
        "viewBox='0 0 100 100'"));
    bitmap = Render(svg, 100, 100);
    EXPECT_EQ(darkIn(*bitmap, { 0, 0, 100, 62 }), 0);
    EXPECT_GT(darkIn(*bitmap, { 10, 62, 100, 90 }), 10);
}

// Sixteen curves reaching far out with a wide outline: only the parts near
// the picture are flattened finely, and they still show. Unbounded, each
// curve took 65,536 segments, and the plain GDI outline of the widest one
// took minutes to fill.
TEST(LumSVGRenderer, FarReachingCurvesAreFlattenedWhereTheyShow)
{
    const struct {
        const char* Reach;
        const char* Width;
    } cases[] = { { "1e7", "40" }, { "1e30", "1e4" }, { "3e38", "40" } };
    for (const auto& c : cases) {
        std::string body;
        for (int i = 0; i < 16; ++i)
            body += "<path d='M " + std::to_string(10 + i) + " 10 C " + c.Reach + " -" + c.Reach + " -" + c.Reach + " "
                + c.Reach + " 90 90' stroke='blue' stroke-width='" + c.Width + "' fill='none'/>";
        TLumGraphicsSVGImport svg;
        svg.LoadFromText(Svg(body.c_str()));
        ASSERT_EQ(svg.ElementCount(), 16);
        for (bool native : { false, true }) {
            SCOPED_TRACE(std::string(c.Reach) + " wide " + c.Width + (native ? ", GDI+" : ", GDI"));
            auto bitmap = Render(svg, 100, 100, native);
            EXPECT_FALSE(svg.GetPointCapReached());
            EXPECT_GT(svg.GetFlattenedPoints(), 16);
            EXPECT_LT(svg.GetFlattenedPoints(), 16 * 1000);
            // GDI+ (over cairo) holds device coordinates up to about 8
            // million pixels only: beyond, its lines bend.
            if (!native || std::string(c.Reach) == "1e7") {
                EXPECT_TRUE(Near(PixelAt(*bitmap, 12, 12), 0xFF0000));
            }
        }
    }
}

// A plain GDI outline wider than the picture covers all of it, however many
// points its path has (here about a million, all of whose pieces would
// otherwise cross every row).
TEST(LumSVGRenderer, OutlineWiderThanThePictureCoversIt)
{
    std::string body;
    for (int i = 0; i < 16; ++i)
        body += "<path d='M " + std::to_string(i) + " 0 C 1e20 1e20 -1e20 1e20 90 90' stroke='blue' stroke-width='1e20' "
                "fill='none'/>";
    TLumGraphicsSVGImport svg;
    svg.LoadFromText(Svg(body.c_str()));
    auto bitmap = Render(svg, 100, 100);
    EXPECT_FALSE(svg.GetPointCapReached());
    for (const TPoint p : { TPoint { 0, 0 }, TPoint { 99, 0 }, TPoint { 50, 50 }, TPoint { 0, 99 }, TPoint { 99, 99 } })
        EXPECT_TRUE(Near(PixelAt(*bitmap, p.X, p.Y), 0xFF0000)) << p.X << "," << p.Y;
}

// A document flattening more than the cap draws up to it and no further.
TEST(LumSVGRenderer, DrawingStopsAtTheFlattenedPointCap)
{
    // A wide outline can show from far outside the picture, so curves there
    // are flattened too: some 260 points each.
    std::string curves;
    for (int i = 0; i < 20000; ++i)
        curves += "M-5000 -5000C-5000 5000 5000 -5000 5000 5000";
    const std::string body = "<rect width='50' height='100' fill='red'/><path d='" + curves
        + "' stroke='blue' stroke-width='1000' fill='none'/><rect x='250' width='50' height='100' fill='lime'/>";
    TLumGraphicsSVGImport svg;
    svg.LoadFromText(Svg(body.c_str(), "viewBox='0 0 300 100'"));
    auto bitmap = Render(svg, 300, 100);
    EXPECT_TRUE(svg.GetPointCapReached());
    EXPECT_LE(svg.GetFlattenedPoints(), TLumGraphicsSVGImport::MaxFlattenedPoints);
    EXPECT_TRUE(Near(PixelAt(*bitmap, 25, 50), 0x0000FF));  // before the cap: drawn
    EXPECT_TRUE(Near(PixelAt(*bitmap, 275, 50), 0xFFFFFF)); // after it: not drawn

    // The next drawing starts with the whole allowance again.
    svg.LoadFromText(Svg("<rect width='50' height='100' fill='red'/>", "viewBox='0 0 300 100'"));
    Render(svg, 300, 100);
    EXPECT_FALSE(svg.GetPointCapReached());
}
