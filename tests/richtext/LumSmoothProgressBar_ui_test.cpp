#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "richtext/LumAppStyler.h"
#include "richtext/LumSmoothProgressBar.h"

namespace {

void Solid(TGDIPFill* f, TColor color)
{
    f->SetColor(color);
    f->SetColorTo(clNone);
    f->SetGradientType(LumGDIP::gtSolid);
}

class SmoothProgressBarUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetPosition(poDesigned);
        form->SetColor(clYellow);
        bar = new TLumSmoothProgressBar(form.get());
        bar->SetBounds(10, 10, 200, 20);
        bar->SetParent(form.get());
        bar->OnPositionChanged = [this](TObject*, double v) { changes.push_back(v); };
    }
    void Ticks(int n)
    {
        Application->ProcessMessages();
        session.PassTime(UInt64(n) * 10);
        Application->ProcessMessages();
    }
    // Ticks until the animation has arrived; the number of ticks taken, or
    // -1 when it is still running after `limit`.
    int TicksToArrive(int limit)
    {
        for (int i = 1; i <= limit; ++i) {
            Ticks(1);
            if (!bar->AnimationInProgress() && bar->GetPosition() == bar->GetNextPosition())
                return i;
        }
        return -1;
    }
    // Plain colours, no shadows, overlays or glow: pixels can be probed.
    void MakePlain(TColor back, TColor progress)
    {
        TGDIPProgress* a = bar->GetAppearance();
        Solid(a->GetBackGroundFill(), back);
        Solid(a->GetProgressFill(), progress);
        a->SetShadows(false);
        a->SetOverlays(false);
        bar->SetGlowAnimation(false);
        bar->SetProgressAnimation(false);
    }
    std::uint32_t PixelAt(int x, int y) { return Headless::ScreenPixel(bar->ClientToScreen({ x, y })) & 0xFFFFFF; }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
    TLumSmoothProgressBar* bar { nullptr };
    std::vector<double> changes;
};

TEST_F(SmoothProgressBarUi, AnimationCoversAFifteenthOfTheRestPerTickAndArrivesExactly)
{
    bar->SetPosition(100);
    EXPECT_EQ(bar->GetNextPosition(), 100);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_TRUE(changes.empty());

    Ticks(1);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_DOUBLE_EQ(changes[0], 100.0 / 15);
    EXPECT_TRUE(bar->AnimationInProgress());
    Ticks(1);
    EXPECT_DOUBLE_EQ(bar->GetPosition(), 100.0 / 15 + (100 - 100.0 / 15) / 15);

    // About 270 ticks to come within a millionth; the last step lands on the target.
    const int ticks = TicksToArrive(1000);
    EXPECT_GT(ticks, 200);
    EXPECT_EQ(bar->GetPosition(), 100);
    EXPECT_EQ(changes.back(), 100);
    const std::size_t count = changes.size();
    Ticks(5);
    EXPECT_EQ(changes.size(), count) << "an arrived bar raises no more changes";
}

TEST_F(SmoothProgressBarUi, AnimationFarFromZeroArrivesInsteadOfSteppingInPlace)
{
    // Near 1e12 a step of a millionth is below the value's precision.
    bar->SetMaximum(1e12);
    bar->SetPosition(1e12);
    EXPECT_GT(TicksToArrive(2000), 0);
    EXPECT_EQ(bar->GetPosition(), 1e12);
}

TEST_F(SmoothProgressBarUi, PositionIsLimitedAndJumpsWithoutAnimation)
{
    struct Case {
        const char* name;
        double minimum, maximum, value, expected;
    };
    const Case cases[] = {
        { "beyond maximum", 0, 100, 250, 100 },
        { "below minimum", 0, 100, -5, 0 },
        { "inside", 0, 100, 42.5, 42.5 },
        // A minimum above the maximum is no error; the minimum wins.
        { "inverted range", 50, 10, 30, 50 },
    };
    bar->SetProgressAnimation(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetMinimum(-1000);
        bar->SetMaximum(1000);
        bar->SetPosition(0.125);
        bar->SetMinimum(c.minimum);
        bar->SetMaximum(c.maximum);
        changes.clear();
        bar->SetPosition(c.value);
        EXPECT_EQ(bar->GetPosition(), c.expected);
        EXPECT_EQ(bar->GetNextPosition(), c.expected);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0], c.expected);
    }
    // Not a number leaves everything as it is.
    changes.clear();
    bar->SetPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(bar->GetPosition(), 50);
    EXPECT_TRUE(changes.empty());
}

TEST_F(SmoothProgressBarUi, NewPositionDuringAnimationShowsAtOnce)
{
    bar->SetPosition(80);
    Ticks(3);
    ASSERT_TRUE(bar->AnimationInProgress());
    bar->SetPosition(30);
    EXPECT_EQ(bar->GetPosition(), 30);
    EXPECT_EQ(bar->GetNextPosition(), 30);
    Ticks(1);
    EXPECT_EQ(changes.back(), 30);
    EXPECT_FALSE(bar->AnimationInProgress());
}

TEST_F(SmoothProgressBarUi, SwitchingAnimationOffJumpsToTheTarget)
{
    bar->SetPosition(60);
    Ticks(2);
    changes.clear();
    bar->SetProgressAnimation(false);
    EXPECT_EQ(bar->GetPosition(), 60);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], 60);
}

TEST_F(SmoothProgressBarUi, StepsMoveFromTheTarget)
{
    bar->SetStep(10);
    bar->Next();
    bar->Next();
    EXPECT_EQ(bar->GetNextPosition(), 20) << "the second step counts from where the first was heading";
    bar->Previous(5);
    EXPECT_EQ(bar->GetNextPosition(), 15);
    bar->GoToEnd();
    EXPECT_EQ(bar->GetNextPosition(), 100);
    bar->GoToValue(33);
    EXPECT_EQ(bar->GetNextPosition(), 33);
    bar->GoToStart();
    EXPECT_EQ(bar->GetNextPosition(), 0);
}

TEST_F(SmoothProgressBarUi, NarrowingTheRangeKeepsShownAndTargetInside)
{
    struct Case {
        const char* name;
        bool animate;
        double position;     // reached before the range changes
        double heading;      // target set afterwards without waiting (animate only)
        double nextExpected; // after lowering the maximum to 50
        double shownExpected;
    };
    const Case cases[] = {
        { "jumping bar at 80", false, 80, 80, 50, 50 },
        { "jumping bar at 30", false, 30, 30, 30, 30 },
        // The shown position stays until the animation brings it down.
        { "animated bar at 80", true, 80, 80, 50, 80 },
        // Heading beyond the new maximum from below it.
        { "animated bar heading for 90", true, 20, 90, 50, 20 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetMaximum(100);
        bar->SetProgressAnimation(false);
        bar->SetPosition(c.position);
        bar->SetProgressAnimation(c.animate);
        if (c.animate)
            bar->SetPosition(c.heading);
        bar->SetMaximum(50);
        EXPECT_EQ(bar->GetNextPosition(), c.nextExpected);
        EXPECT_EQ(bar->GetPosition(), c.shownExpected);
        if (c.animate) {
            EXPECT_GT(TicksToArrive(1000), 0);
            EXPECT_EQ(bar->GetPosition(), 50);
        }
    }
}

TEST_F(SmoothProgressBarUi, GlowRunsAtThreePixelsPerTickThenPauses)
{
    bar->SetProgressAnimation(false);
    bar->SetPosition(50);
    const double start = bar->GetGlowPos();
    Ticks(1);
    EXPECT_EQ(bar->GetGlowPos(), start + 3);
    // The filled part is 99.5 pixels long: from -37 the glow passes its end
    // on the 46th tick and restarts left of it, then rests 150 ticks.
    Ticks(45);
    EXPECT_EQ(bar->GetGlowPos(), start + 3 * 46);
    Ticks(1);
    EXPECT_EQ(bar->GetGlowPos(), -60);
    Ticks(150);
    EXPECT_EQ(bar->GetGlowPos(), -60);
    Ticks(1);
    EXPECT_EQ(bar->GetGlowPos(), -57);

    // At the minimum the glow stands still.
    bar->SetPosition(0);
    Ticks(5);
    EXPECT_EQ(bar->GetGlowPos(), -57);
}

TEST_F(SmoothProgressBarUi, MarqueeRunsItsOwnTimerAndWraps)
{
    bar->SetMarqueeSize(20);
    bar->SetStyle(pbstMarquee);
    EXPECT_FALSE(bar->GetAnimationTimer()->GetEnabled());
    EXPECT_TRUE(bar->GetMarqueeTimer()->GetEnabled());
    bar->SetMarqueeInterval(20);
    EXPECT_EQ(bar->GetMarqueeTimer()->GetInterval(), 20u);

    bar->SetPosition(70); // no animation timer runs: the target waits
    const double start = bar->GetGlowPos();
    Ticks(2);
    EXPECT_EQ(bar->GetGlowPos(), start + 8);
    EXPECT_EQ(bar->GetPosition(), 0);
    // Width 200 + 2 x 20: the glow passes 240 and starts again at -40.
    for (int i = 0; i < 100; ++i) {
        const double before = bar->GetGlowPos();
        Ticks(2);
        if (bar->GetGlowPos() < before)
            break;
    }
    EXPECT_EQ(bar->GetGlowPos(), -40);

    bar->SetStyle(pbstNormal);
    EXPECT_TRUE(bar->GetAnimationTimer()->GetEnabled());
    EXPECT_FALSE(bar->GetMarqueeTimer()->GetEnabled());
}

TEST_F(SmoothProgressBarUi, StylesRecolourBothFills)
{
    struct Case {
        ROZEVizer style;
        bool overlays;
        TColor back, backBorder, progress, progressTo, progressBorder;
        TLumGradientType mirrorType;
        TColor font;
    };
    const Case cases[] = {
        { tsOffice2007Luna, true, 0xFFD2AF, 0xC0C0C0, 0xFFEFE3, 0xFFDDC4, 0xFFD1AD, LumGDIP::gtVertical,
            clWindowText },
        { tsWindowsXP, true, 0xB6B6B6, 0xC0C0C0, 0xFFFFFF, clBtnFace, 0x000000, LumGDIP::gtVertical, clWindowText },
        { tsWindows10, false, 0xF7F6F5, 0xE4E3E2, 0xF7E0C9, clNone, clNone, LumGDIP::gtVertical, clWindowText },
        { tsOffice2019Black, false, 0x303132, 0x686868, 0x828282, clNone, 0x828282, LumGDIP::gtNone, 0xFFFFFF },
        // Keeps the mirror gradient it had.
        { tsTerminal, true, clBtnFace, 0x808080, 0xC0C0C0, 0xC0C0C0, 0x808080, LumGDIP::gtHatch, clWindowText },
    };
    TGDIPProgress* a = bar->GetAppearance();
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        a->SetOverlays(!c.overlays);
        a->SetShadows(!c.overlays);
        a->GetProgressFill()->SetGradientMirrorType(LumGDIP::gtHatch);
        bar->SetGlowAnimation(false);
        bar->SetComponentStyle(c.style);
        EXPECT_EQ(bar->GetComponentStyle(), c.style);
        EXPECT_EQ(a->GetOverlays(), c.overlays);
        EXPECT_EQ(a->GetShadows(), c.overlays);
        EXPECT_TRUE(bar->GetGlowAnimation());
        EXPECT_EQ(a->GetBackGroundFill()->GetColor(), c.back);
        EXPECT_EQ(a->GetBackGroundFill()->GetColorTo(), c.back);
        EXPECT_EQ(a->GetBackGroundFill()->GetBorderColor(), c.backBorder);
        EXPECT_EQ(a->GetProgressFill()->GetColor(), c.progress);
        EXPECT_EQ(a->GetProgressFill()->GetColorTo(), c.progressTo);
        EXPECT_EQ(a->GetProgressFill()->GetBorderColor(), c.progressBorder);
        EXPECT_EQ(a->GetProgressFill()->GetGradientMirrorType(), c.mirrorType);
        EXPECT_EQ(a->GetFont()->GetColor(), c.font);
    }

    // The custom style is remembered and changes no colour.
    a->GetBackGroundFill()->SetColor(0x123456);
    bar->SetUIStyle(tsCustom);
    EXPECT_EQ(bar->GetUIStyle(), tsCustom);
    EXPECT_EQ(a->GetBackGroundFill()->GetColor(), 0x123456);
}

TEST_F(SmoothProgressBarUi, DesignerTakesTheFormStylersStyleAndKeepsCustom)
{
    struct Case {
        const char* name;
        std::optional<ROZEVizer> stylerStyle;
        TColor back;
    };
    const Case cases[] = {
        { "no styler on the form", std::nullopt, 0xFFFFFF }, // the 2019 white style
        { "a styler with a style", tsOffice2010Blue, 0xFDF6EF },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm designed(nullptr);
        designed.SetDesigning(true);
        if (c.stylerStyle) {
            auto* styler = new TLumFormStyler(&designed);
            styler->SetStyle(*c.stylerStyle);
        }
        auto* placed = new TLumSmoothProgressBar(&designed);
        EXPECT_EQ(placed->GetAppearance()->GetBackGroundFill()->GetColor(), c.back);
        EXPECT_EQ(placed->GetUIStyle(), tsCustom);
    }
}

TEST_F(SmoothProgressBarUi, ColourTonesComeThroughTheStylingInterface)
{
    ILumTones* tones = nullptr;
    ASSERT_TRUE(Supports(bar, ILumTones::IID, reinterpret_cast<void**>(&tones)));
    ASSERT_TRUE(Supports(bar, ILumStyle::IID));
    TColorTones t;
    t.Foreground = { 0x111111, 0x222222, 0x333333 };
    t.Selected = { 0x444444, 0x555555, 0x666666 };
    tones->SetColorTones(t);
    TGDIPProgress* a = bar->GetAppearance();
    EXPECT_FALSE(a->GetOverlays());
    EXPECT_FALSE(a->GetShadows());
    EXPECT_FALSE(bar->GetGlowAnimation());
    TGDIPFill* back = a->GetBackGroundFill();
    TGDIPFill* progress = a->GetProgressFill();
    for (TColor c : { back->GetColor(), back->GetColorTo(), back->GetColorMirror(), back->GetColorMirrorTo() })
        EXPECT_EQ(c, 0x111111);
    EXPECT_EQ(back->GetBorderColor(), 0x222222);
    for (TColor c : { progress->GetColor(), progress->GetColorTo(), progress->GetColorMirror(),
             progress->GetColorMirrorTo() })
        EXPECT_EQ(c, 0x444444);
    EXPECT_EQ(progress->GetBorderColor(), 0x555555);
    EXPECT_EQ(a->GetFont()->GetColor(), 0x666666);
}

TEST_F(SmoothProgressBarUi, AssignTakesTheShownPositionAsTarget)
{
    TLumSmoothProgressBar other(nullptr);
    other.SetProgressAnimation(false);
    other.SetMaximum(200);
    other.SetPosition(150);
    other.SetStep(7);
    other.SetMarqueeColor(clRed);
    other.GetAppearance()->SetValueVisible(true);

    bar->SetPosition(90); // animation on: heading for 90
    bar->Assign(&other);
    EXPECT_EQ(bar->GetMaximum(), 200);
    EXPECT_EQ(bar->GetStep(), 7);
    EXPECT_EQ(bar->GetMarqueeColor(), clRed);
    EXPECT_TRUE(bar->GetAppearance()->GetValueVisible());
    EXPECT_FALSE(bar->GetProgressAnimation());
    EXPECT_EQ(bar->GetPosition(), 150);
    EXPECT_EQ(bar->GetNextPosition(), 150);
    Ticks(5);
    EXPECT_EQ(bar->GetPosition(), 150) << "nothing pulls the bar back to the old target";
}

TEST_F(SmoothProgressBarUi, ScalingScalesBothFonts)
{
    bar->GetAppearance()->GetFont()->SetHeight(-12);
    bar->GetAppearance()->GetProgressFont()->SetHeight(-10);
    bar->ChangeScale(3, 2, false);
    EXPECT_EQ(bar->GetAppearance()->GetFont()->GetHeight(), -18);
    EXPECT_EQ(bar->GetAppearance()->GetProgressFont()->GetHeight(), -15);
}

class SmoothProgressBarPaint : public SmoothProgressBarUi {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        SmoothProgressBarUi::SetUp();
    }
};

TEST_F(SmoothProgressBarPaint, OpaqueBarPaintsBackgroundAndProgress)
{
    struct Case {
        TGDIPProgressDirection direction;
        TPoint filled, empty;
    };
    // A vertical bar fills from the bottom up.
    const Case cases[] = {
        { pbdHorizontal, { 40, 10 }, { 160, 10 } },
        { pbdVertical, { 10, 130 }, { 10, 20 } },
    };
    MakePlain(clBlue, clRed);
    bar->SetPosition(50);
    form->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.direction));
        bar->SetDirection(c.direction);
        if (c.direction == pbdVertical)
            bar->SetBounds(10, 10, 20, 150);
        Application->ProcessMessages();
        EXPECT_EQ(PixelAt(c.filled.X, c.filled.Y), 0xFF0000u) << "progress";
        EXPECT_EQ(PixelAt(c.empty.X, c.empty.Y), 0x0000FFu) << "background";
    }
}

TEST_F(SmoothProgressBarPaint, TransparentBarShowsItsParentBehindTheProgress)
{
    struct Case {
        const char* name;
        bool transparent;
        Byte opacity;
        int rounding;
        TPoint probe;
        std::uint32_t expected;
    };
    const Case cases[] = {
        { "transparent appearance", true, 255, 0, { 160, 10 }, 0x00FF00 },
        // A half-opaque blue fill over the green the form paints.
        { "half-opaque background", false, 128, 0, { 160, 10 }, 0x007F80 },
        { "rounded corner", false, 255, 8, { 199, 0 }, 0x00FF00 },
    };
    // A green shape of the form lies under the bar's right half: what shows
    // there comes from the parent's painting, not only from its colour.
    auto* shape = new TShape(form.get());
    shape->SetBounds(150, 0, 150, 200);
    shape->GetBrush()->SetColor(clLime);
    shape->GetPen()->SetColor(clLime);
    shape->SetParent(form.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakePlain(clBlue, clRed);
        TGDIPProgress* a = bar->GetAppearance();
        a->SetTransparent(c.transparent);
        a->GetBackGroundFill()->SetOpacity(c.opacity);
        a->GetBackGroundFill()->SetRounding(c.rounding);
        bar->SetPosition(50);
        form->Show();
        form->Invalidate();
        bar->Invalidate();
        Application->ProcessMessages();
        EXPECT_EQ(PixelAt(40, 10), 0xFF0000u) << "progress";
        const std::uint32_t got = PixelAt(c.probe.X, c.probe.Y);
        for (int shift : { 0, 8, 16 })
            EXPECT_NEAR(int((got >> shift) & 0xFF), int((c.expected >> shift) & 0xFF), 2) << "channel at bit " << shift;
    }
}

TEST_F(SmoothProgressBarPaint, GlowLightsTheFilledPartOnlyAndMarqueeRunsInItsColour)
{
    MakePlain(clBlue, clRed);
    bar->SetGlowAnimation(true);
    bar->SetPosition(10); // about 20 pixels filled
    form->Show();
    Ticks(17);            // the glow peaks at 11, its band reaching to 41
    ASSERT_EQ(bar->GetGlowPos(), 11);
    Application->ProcessMessages();
    const std::uint32_t lit = PixelAt(11, 10);
    EXPECT_EQ(lit >> 16, 0xFFu);
    EXPECT_GT((lit >> 8) & 0xFF, 90u) << "white light over the red part";
    EXPECT_EQ(PixelAt(30, 10), 0x0000FFu) << "no light beyond the filled part";

    bar->SetMarqueeColor(clRed);
    bar->SetStyle(pbstMarquee);
    Ticks(8); // the marquee glow peaks at 11 + 8 x 8 = 75
    ASSERT_EQ(bar->GetGlowPos(), 75);
    Application->ProcessMessages();
    EXPECT_GT(PixelAt(75, 10) >> 16, 90u) << "red light over the blue background";
    EXPECT_EQ(PixelAt(150, 10), 0x0000FFu) << "beyond the marquee band";
}

TEST_F(SmoothProgressBarPaint, MarqueeDrawsNoProgressWhateverThePosition)
{
    MakePlain(clBlue, clRed);
    bar->SetPosition(100);
    bar->SetStyle(pbstMarquee);
    bar->SetMarqueeSize(0); // no glow band over the probes
    form->Show();
    Application->ProcessMessages();
    EXPECT_EQ(bar->GetPosition(), 100);
    EXPECT_EQ(PixelAt(40, 10), 0x0000FFu);
    EXPECT_EQ(PixelAt(160, 10), 0x0000FFu);
}

} // namespace
