#include <gtest/gtest.h>

#include "graphics/LumBitmap.h"
#include "graphics/LumGraphicsTypes.h"

namespace {

// Counts OnChanged calls of a fill, stroke or font.
template<class T>
struct Counted {
    T object;
    int changes { 0 };
    template<class... A>
    explicit Counted(A... args) : object(args...)
    {
        object.OnChanged = [this](TObject*) { ++changes; };
    }
};

TEST(LumGraphicsFill, ColourSettersMapSpecialValuesAndNotifyOnRawChange)
{
    Counted<TLumGraphicsFill> f(gfkSolid, TColor(0xFFFFFF), TColor(0xC0C0C0), gcNull, gcNull);
    f.object.SetColor(clNone);
    EXPECT_EQ(f.object.GetColor(), gcNull);
    EXPECT_EQ(f.changes, 1);
    // The raw value is compared with the stored -1, so the same clNone notifies again.
    f.object.SetColor(clNone);
    EXPECT_EQ(f.changes, 2);
    f.object.SetColor(gcNull);
    EXPECT_EQ(f.changes, 2);
    f.object.SetColorTo(clDefault);
    EXPECT_EQ(f.object.GetColorTo(), clBtnFace);
    f.object.SetKind(gfkSolid);
    f.object.SetOpacity(1);
    f.object.SetOrientation(gfoVertical);
    EXPECT_EQ(f.changes, 3);
    f.object.SetGradientCenterPoint({ 0, 0 }); // stores and notifies every time
    EXPECT_EQ(f.changes, 4);
}

TEST(LumGraphicsFill, NestedUpdatesNotifyOnceAtTheOutermostEnd)
{
    Counted<TLumGraphicsFill> f;
    f.object.BeginUpdate();
    f.object.BeginUpdate();
    f.object.SetKind(gfkGradient);
    f.object.SetColor(0x123456);
    f.object.AddGradientItem(0xFF, 0.5f, 1)->SetPosition(0.25f);
    f.object.EndUpdate();
    EXPECT_EQ(f.changes, 0);
    f.object.EndUpdate();
    EXPECT_EQ(f.changes, 1);
    // A stop's change outside an update reaches the fill's owner.
    f.object.GetGradientItems()->GetItem(0)->SetOpacity(0.5f);
    EXPECT_EQ(f.changes, 2);

    Counted<TLumGraphicsStroke> s;
    s.object.BeginUpdate();
    s.object.SetWidth(3);
    s.object.SetColor(0x00FF00);
    s.object.EndUpdate();
    EXPECT_EQ(s.changes, 1);

    Counted<TLumGraphicsFont> font;
    EXPECT_EQ(font.object.GetHeight(), -11);
    font.object.SetName(u"Arial");
    EXPECT_EQ(font.changes, 1);
    TFont other;
    other.SetName(u"Verdana");
    other.SetHeight(-20);
    font.object.Assign(&other);
    EXPECT_EQ(font.changes, 2);
    EXPECT_EQ(font.object.GetHeight(), -20);
}

TEST(LumGraphicsFill, AssignBetweenFillAndStroke)
{
    TLumGraphicsStroke stroke(gskDash, 0x0000FF);
    stroke.SetWidth(4);
    stroke.SetOpacity(0.5f);
    Counted<TLumGraphicsFill> f(gfkGradient, TColor(1), TColor(2), TColor(3), TColor(4));
    f.object.SetOpacity(0.3f);
    f.object.Assign(&stroke);
    EXPECT_EQ(f.object.GetKind(), gfkSolid);
    EXPECT_EQ(f.object.GetColor(), 0x0000FF);
    EXPECT_EQ(f.object.GetColorTo(), gcNull);
    EXPECT_EQ(f.object.GetColorMirror(), gcNull);
    EXPECT_EQ(f.object.GetColorMirrorTo(), gcNull);
    EXPECT_EQ(f.object.GetOpacity(), 1.0f);
    EXPECT_EQ(f.changes, 2);

    TLumGraphicsStroke s2;
    s2.Assign(&f.object);
    EXPECT_EQ(s2.GetKind(), gskSolid);
    EXPECT_EQ(s2.GetColor(), 0x0000FF);
    EXPECT_EQ(s2.GetWidth(), 1.0f);

    // A fill copied from a fill brings its stops but keeps its own defaults.
    TLumGraphicsFill source(gfkSolid, 0xFFFFFF);
    source.AddGradientItem(0x00FF00, 0.75f, 0.5f);
    source.SetGradientMode(gfgmCollection);
    TLumGraphicsFill copy(gfkNone, 0);
    copy.Assign(&source);
    ASSERT_EQ(copy.GetGradientItems()->GetCount(), 1);
    EXPECT_EQ(copy.GetGradientItems()->GetItem(0)->GetPosition(), 0.75f);
    EXPECT_EQ(copy.GetGradientMode(), gfgmCollection);
    EXPECT_TRUE(copy.IsKindStored()); // gfkSolid differs from its own default gfkNone
}

TEST(LumGraphicsFill, StoredRules)
{
    TLumGraphicsFill f(gfkSolid, 0xFFFFFF);
    EXPECT_FALSE(f.IsKindStored());
    EXPECT_FALSE(f.IsColorStored());
    EXPECT_FALSE(f.IsOrientationStored());
    f.SetOrientation(gfoHorizontal);
    f.SetColor(0x10);
    EXPECT_TRUE(f.IsOrientationStored());
    EXPECT_TRUE(f.IsColorStored());
    f.SetColor(0xFFFFFF);
    EXPECT_FALSE(f.IsColorStored());
}

TEST(LumGraphicsFill, JSONRoundTrips)
{
    TLumGraphicsFill f(gfkSolid, 0xFFFFFF);
    f.SetKind(gfkGradient);
    f.SetColor(clBtnFace);
    f.SetColorTo(clNone);
    f.SetColorMirror(0x123456);
    f.SetTextureMode(gtmTile);
    f.SetOrientation(gfoHorizontal);
    TLumGraphicsFill g(gfkNone, 0);
    g.FromJSON(f.ToJSON());
    EXPECT_EQ(g.GetKind(), gfkGradient);
    // System colours are stored as the RGB value they show.
    EXPECT_EQ(g.GetColor(), ColorToRGB(clBtnFace));
    EXPECT_EQ(g.GetColorTo(), gcNull);
    EXPECT_EQ(g.GetColorMirror(), 0x123456);
    EXPECT_EQ(g.GetTextureMode(), gtmTile);
    EXPECT_EQ(g.GetOrientation(), gfoHorizontal);

    TLumGraphicsStroke s(gskSolid, 0);
    s.SetKind(gskDashDot);
    s.SetColor(clNone);
    s.SetWidth(2.5f);
    TLumGraphicsStroke t;
    t.FromJSON(s.ToJSON());
    EXPECT_EQ(t.GetKind(), gskDashDot);
    EXPECT_EQ(t.GetColor(), gcNull);
    EXPECT_EQ(t.GetWidth(), 2.5f);

    TLumGraphicsFont font;
    font.SetName(u"Courier New");
    font.SetHeight(-15);
    font.SetStyle(TFontStyles { fsBold });
    TLumGraphicsFont font2;
    font2.FromJSON(font.ToJSON());
    EXPECT_EQ(font2.GetName(), u"Courier New");
    EXPECT_EQ(font2.GetHeight(), -15);
    EXPECT_TRUE(font2.GetStyle().Contains(fsBold));

    TLumGraphicsFillGradientItem stop;
    stop.SetColor(clHighlight);
    stop.SetPosition(0.4f);
    stop.SetOpacity(0.2f);
    TLumGraphicsFillGradientItem stop2;
    stop2.FromJSON(stop.ToJSON());
    EXPECT_EQ(stop2.GetColor(), ColorToRGB(clHighlight));
    EXPECT_FLOAT_EQ(stop2.GetPosition(), 0.4f);
    EXPECT_FLOAT_EQ(stop2.GetOpacity(), 0.2f);
}

TEST(LumGraphicsColors, NamedColorTable)
{
    TStringList* list = GetNamedColorList();
    ASSERT_EQ(list->GetCount(), 160);
    auto colorOf = [&](const String& name) -> TColor {
        const int i = list->IndexOf(name);
        return i < 0 ? TColor(-2) : static_cast<TLumGraphicsColorObject*>(list->GetObjects(i))->GetColor();
    };
    struct Case {
        const char16_t* name;
        TColor color;
    };
    const Case cases[] = {
        { u"aliceblue", 0xFFF8F0 }, { u"cyan", 0xFFFF00 }, { u"aqua", 0xFFFF00 }, { u"grey", 0x808080 },
        { u"gray", 0x808080 }, { u"cornflowerblue", 0xED9564 }, { u"yellow", 0x00FFFF }, { u"teal", 0x808000 },
        { u"rebeccapurple", -2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.name));
        EXPECT_EQ(colorOf(c.name), c.color);
    }
    EXPECT_EQ(list->IndexOf(u"violet"), list->IndexOf(u"steelblue") + 1);
    EXPECT_EQ(list->GetStrings(143), u"red");
    EXPECT_EQ(list->GetStrings(159), u"maroon");
}

TEST(LumGraphicsColors, MixAndLighten)
{
    struct Case {
        TColor c1, c2;
        Byte percent;
        TColor mixed;
    };
    const Case cases[] = {
        { 0xFFFFFF, 0x000000, 100, 0xFEFEFE }, // weight 255 of 256: not exactly c1
        { 0xFFFFFF, 0x000000, 0, 0x000000 },
        { 0x000000, 0xFFFFFF, 50, 0x808080 }, // 50 x 2.55 lies just below 127.5: weight 127
        { 0x0000FF, 0xFF0000, 25, 0xBF003F }, // weight 64
        { clWindow, clWindow, 40, ColorToRGB(clWindow) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.c1 << " " << c.c2 << " " << std::dec << int(c.percent));
        EXPECT_EQ(MixColors(c.c1, c.c2, c.percent), c.mixed);
    }
    EXPECT_EQ(LightenColor(0x000000, 50), 0x808080);
    EXPECT_EQ(LightenColor(0x0080FF, 100), 0xFFFFFF);
    EXPECT_EQ(LightenColor(0x102030, 0), 0x102030);
    EXPECT_EQ(MakeRGBColor(1, 2, 3), 0x030201);
}

TEST(LumGraphicsColors, DrawGradientRectBandsAndCorners)
{
    TBitmap bitmap(20, 10);
    TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetBrush()->SetColor(0x00FF00);
    canvas->FillRect(TRect { 0, 0, 20, 10 });
    canvas->GetBrush()->SetColor(0x123456);
    DrawGradientRect(canvas, 0x000000, 0xFFFFFF, false, 0, 0, TRect { 0, 0, 20, 10 });
    EXPECT_EQ(canvas->GetPixel(5, 0), 0x000000);
    // Row 5 of 10: 255 * 5 / 10 = 127.5, rounded to even 128.
    EXPECT_EQ(canvas->GetPixel(5, 5), 0x808080);
    EXPECT_EQ(canvas->GetPixel(5, 9), 0xE6E6E6);
    EXPECT_EQ(canvas->GetBrush()->GetColor(), 0x123456); // restored

    canvas->GetBrush()->SetColor(0x00FF00);
    canvas->FillRect(TRect { 0, 0, 20, 10 });
    DrawGradientRect(canvas, 0x0000FF, 0x0000FF, true, 1, 4, TRect { 0, 0, 20, 10 });
    EXPECT_EQ(canvas->GetPixel(0, 0), 0x00FF00);  // cut off at the rounded top-left corner
    EXPECT_EQ(canvas->GetPixel(0, 9), 0x0000FF);  // bottom-left is square
    EXPECT_EQ(canvas->GetPixel(19, 0), 0x0000FF); // top-right is square
    EXPECT_EQ(canvas->GetPixel(5, 0), 0x0000FF);  // past the radius
}

TEST(LumGraphicsSaveState, StartValues)
{
    TLumGraphicsSaveState state;
    EXPECT_EQ(state.GetFill()->GetColor(), 0xFFFFFF);
    EXPECT_EQ(state.GetFill()->GetColorTo(), 0x808080);
    EXPECT_EQ(state.GetStroke()->GetColor(), 0xC0C0C0);
    TLumGraphicsFill other(gfkGradient, 0x1);
    state.SetFill(&other);
    EXPECT_EQ(state.GetFill()->GetKind(), gfkGradient);
    EXPECT_NE(state.GetFill(), &other);
}

} // namespace
