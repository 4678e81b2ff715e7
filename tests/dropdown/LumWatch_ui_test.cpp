#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumWatch.h"
#include "graphics/LumSVGBitmap.h"
#include "graphics/LumSVGParser.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/PngImage.h"
#include "platform/win/Input.h"
#include "platform/win/Headless.h"

namespace {

TDateTime At(int h, int m, int s = 0) { return EncodeTime(Word(h), Word(m), Word(s), 0); }

// A clock whose live time is set by the test.
class TFixedWatch : public TLumWatch {
public:
    using TLumWatch::TLumWatch;
    TDateTime Wall { 0 };

protected:
    TDateTime SystemTime() override { return Wall; }
};

constexpr TColor FormColor = TColor(0x00FFFF);

struct ClockForm : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TFixedWatch* W { nullptr };
    int Changes { 0 };

    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 300, 260);
        Form->SetColor(FormColor);
        W = new TFixedWatch(Form.get());
        W->SetBounds(20, 20, 180, 180);
        W->SetParent(Form.get());
        W->OnChange = [this](TObject*) { ++Changes; };
        Form->Show();
        Application->ProcessMessages();
    }
    TColor PixelAt(int x, int y)
    {
        W->Invalidate();
        Application->ProcessMessages();
        const std::uint32_t argb = Headless::ScreenPixel(W->ClientToScreen({ x, y }));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
    // Pixels darker than mid-grey in a square around a point.
    int DarkAround(int x, int y, int half)
    {
        PixelAt(x, y);
        int n = 0;
        for (int dy = -half; dy <= half; ++dy)
            for (int dx = -half; dx <= half; ++dx) {
                const std::uint32_t c = Headless::ScreenPixel(W->ClientToScreen({ x + dx, y + dy }));
                n += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF) < 3 * 128;
            }
        return n;
    }
    int TicksUntilStill(int limit = 1000)
    {
        for (int i = 1; i <= limit; ++i) {
            Session.PassTime(1);
            if (!W->IsAnimating())
                return i;
        }
        return -1;
    }
    void PlainHands()
    {
        TWatchAppearance* A = W->GetAppearance();
        A->SetHourPointerShadow(clNone);
        A->SetMinutePointerShadow(clNone);
    }
};

} // namespace

TEST_F(ClockForm, AnimatedHoursAndMinutesArriveWithOneChange)
{
    W->SetTime(At(2, 0));
    W->SetHour(8);
    EXPECT_TRUE(W->IsAnimating());
    EXPECT_EQ(HourOf(W->GetTime()), 2);  // nothing moves before the first step
    while (HourOf(W->GetTime()) == 2)
        Session.PassTime(1);
    EXPECT_EQ(HourOf(W->GetTime()), 3);
    EXPECT_EQ(Changes, 0);
    EXPECT_GT(TicksUntilStill(), 0);
    EXPECT_EQ(HourOf(W->GetTime()), 8);
    EXPECT_EQ(Changes, 1);

    // 10:45 to minute 0 runs forward through 12 into the next hour.
    W->SetTime(At(10, 45));
    W->SetMinute(0);
    EXPECT_GT(TicksUntilStill(), 0);
    EXPECT_EQ(HourOf(W->GetTime()), 11);
    EXPECT_EQ(MinuteOf(W->GetTime()), 0);
    EXPECT_EQ(Changes, 2);
    // 10:20 to minute 0 runs back.
    W->SetTime(At(10, 20));
    W->SetMinute(0);
    EXPECT_GT(TicksUntilStill(), 0);
    EXPECT_EQ(HourOf(W->GetTime()), 10);
    EXPECT_EQ(MinuteOf(W->GetTime()), 0);
    EXPECT_EQ(Changes, 3);
    // The Right key at 23:59 lands on 00:00.
    W->SetTime(At(23, 59));
    W->HandleKey(VK_RIGHT);
    EXPECT_GT(TicksUntilStill(), 0);
    EXPECT_EQ(double(W->GetTime()), 0.0);
}

TEST_F(ClockForm, AnimationFactorsOfZeroAndBelowStepByOne)
{
    struct Case {
        int factor;
        std::vector<int> hours;  // the hand's stops from 2 to 8
    };
    const Case cases[] = {
        { 10, { 3, 4, 5, 6, 7, 8 } },
        { 2, { 5, 7, 8 } },
        { 0, { 8 } },               // would divide by zero: steps as 1
        { -3, { 3, 4, 5, 6, 7, 8 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.factor);
        W->SetTime(At(2, 0));
        Changes = 0;
        W->SetAnimationFactor(c.factor);
        W->SetHour(8);
        std::vector<int> Stops;
        for (int ms = 0; ms < 1000 && W->IsAnimating(); ++ms) {
            Session.PassTime(1);
            if (Stops.empty() ? HourOf(W->GetTime()) != 2 : HourOf(W->GetTime()) != Stops.back())
                Stops.push_back(HourOf(W->GetTime()));
        }
        EXPECT_FALSE(W->IsAnimating());
        EXPECT_EQ(Stops, c.hours);
        EXPECT_EQ(Changes, 1);
    }
}

TEST_F(ClockForm, DialFitsTheControlWithAMargin)
{
    W->SetTime(At(0, 0));
    EXPECT_EQ(PixelAt(2, 2), FormColor);         // around the round dial the form shows
    EXPECT_EQ(PixelAt(90, 11), clBlack);          // the 4-pixel border at r 80
    EXPECT_EQ(PixelAt(60, 90), clWhite);          // the dial
    EXPECT_EQ(PixelAt(90, 70), clBlack);          // the hands point up at 00:00
    EXPECT_EQ(PixelAt(90, 90), clBlack);          // the centre dot

    // A flat dial without a second background colour.
    TWatchAppearance* A = W->GetAppearance();
    A->SetBackgroundColor(TColor(0x4080C0));
    EXPECT_EQ(PixelAt(70, 60), TColor(0x4080C0));
    EXPECT_EQ(PixelAt(110, 130), TColor(0x4080C0));
    A->SetBackgroundColorTo(TColor(0x000000));
    EXPECT_NE(PixelAt(70, 60), PixelAt(110, 130));

    // Too small for a dial: only the background of a rectangular face shows.
    W->SetBounds(20, 20, 15, 15);
    A->SetBackgroundColorTo(clNone);
    EXPECT_EQ(PixelAt(7, 7), FormColor);
    A->SetShape(wsRect);
    A->SetBorderWidth(0);
    EXPECT_EQ(PixelAt(7, 7), TColor(0x4080C0));
}

TEST_F(ClockForm, CentreDotAndHandShapes)
{
    TWatchAppearance* A = W->GetAppearance();
    PlainHands();
    W->SetTime(At(0, 0));
    A->SetHourPointer(clNone);
    A->SetMinutePointer(clNone);
    A->SetCenterPointColor(clRed);
    A->SetCenterPointBorderColor(clBlue);
    A->SetCenterPointSize(0);
    EXPECT_EQ(PixelAt(90, 90), clWhite);
    A->SetCenterPointSize(10);
    EXPECT_EQ(PixelAt(90, 90), clRed);

    // Line hands reach a tenth of the radius behind the centre; short lines start at it.
    A->SetCenterPointSize(0);
    A->SetHourPointer(clBlue);
    EXPECT_EQ(PixelAt(90, 96), clBlue);
    A->SetPointerStyle(psShortLine);
    EXPECT_EQ(PixelAt(90, 96), clWhite);
    EXPECT_EQ(PixelAt(90, 80), clBlue);
    A->SetPointerStyle(psPointer);
    EXPECT_EQ(PixelAt(90, 94), clBlue);           // the pointer's tail
    EXPECT_EQ(PixelAt(90, 60), clBlue);
}

TEST_F(ClockForm, NumbersFollowTheTickMarks)
{
    W->SetTime(At(6, 30));  // hands away from 1 and 3
    W->SetShowAMPM(false);
    TWatchAppearance* A = W->GetAppearance();
    // Where "1" and "3" stand on a 160-pixel dial with a 4-pixel border.
    const TPoint One(121, 38), Three(152, 91);
    A->SetTickMarks(tmQuartHours);
    EXPECT_EQ(DarkAround(One.X, One.Y, 6), 0);
    EXPECT_GT(DarkAround(Three.X, Three.Y, 6), 3);
    A->SetTickMarks(tmNone);
    EXPECT_GT(DarkAround(One.X, One.Y, 6), 3);
    EXPECT_GT(DarkAround(Three.X, Three.Y, 6), 3);
    W->SetShowNumbers(false);
    EXPECT_EQ(DarkAround(Three.X, Three.Y, 6), 0);
}

TEST_F(ClockForm, SecondHandOnlyOnALiveClock)
{
    PlainHands();
    W->GetAppearance()->SetSecondPointer(clRed);
    W->GetAppearance()->SetSecondPointerSize(3);
    W->Wall = At(0, 0, 15);  // the second hand points right
    W->SetTime(W->Wall);
    EXPECT_EQ(PixelAt(130, 90), clWhite);
    W->GetSettings()->SetAuto(true);
    EXPECT_EQ(PixelAt(130, 90), clRed);
    W->GetSettings()->SetSecond(false);
    EXPECT_EQ(PixelAt(130, 90), clWhite);

    // The live clock shows the offset time and moves on with the tick.
    W->GetSettings()->SetSecond(true);
    W->Wall = At(0, 0, 45);
    Session.PassTime(100);
    Application->ProcessMessages();
    const std::uint32_t left = Headless::ScreenPixel(W->ClientToScreen({ 50, 90 }));
    EXPECT_EQ(left & 0xFFFFFF, 0xFF0000u);
    W->GetSettings()->SetTimeOffset(90);
    EXPECT_EQ(HourOf(W->GetDisplayTime()), 1);
}

TEST_F(ClockForm, AMPMLabelSlidesOnTheVirtualClock)
{
    W->SetTime(At(9, 0));
    const TRect Label = W->GetAMPMRect();
    ASSERT_GT(Label.Height(), 2);
    const UInt64 Before = Session.Clock().NowMs();
    Headless::Click(W->ClientToScreen({ (Label.Left + Label.Right) / 2, (Label.Top + Label.Bottom) / 2 }));
    Application->ProcessMessages();
    EXPECT_FALSE(W->IsAM());
    EXPECT_EQ(HourOf(W->GetTime()), 21);
    // One frame per pixel of the label's inner height, 10 ms apart.
    EXPECT_GE(Session.Clock().NowMs() - Before, UInt64(10 * (Label.Height() - 2)));
    EXPECT_EQ(Changes, 1);

    // Without animation the label changes at once.
    W->SetAnimation(false);
    const UInt64 Later = Session.Clock().NowMs();
    Headless::Click(W->ClientToScreen({ (Label.Left + Label.Right) / 2, (Label.Top + Label.Bottom) / 2 }));
    Application->ProcessMessages();
    EXPECT_TRUE(W->IsAM());
    EXPECT_LT(Session.Clock().NowMs() - Later, 10u);
}

TEST_F(ClockForm, SVGPictureAsTheDial)
{
    RegisterLumGraphicsSVGImport();
    const std::string Svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\" viewBox=\"0 0 10 10\">"
                            "<rect width=\"10\" height=\"10\" fill=\"#00ff00\"/></svg>";
    TMemoryStream Bytes;
    Bytes.Write(Svg.data(), Int64(Svg.size()));
    Bytes.SetPosition(0);
    TLumSVGBitmap Picture;
    Picture.LoadFromStream(Bytes);
    ASSERT_TRUE(Picture.HasSVG());
    W->GetAppearance()->GetPicture()->SetGraphic(&Picture);
    W->SetTime(At(6, 30));
    // The picture covers the client area; the border is drawn over it.
    EXPECT_EQ(PixelAt(5, 5), clLime);
    EXPECT_EQ(PixelAt(60, 90), clLime);
    EXPECT_EQ(PixelAt(90, 11), clBlack);
}

TEST_F(ClockForm, BitmapDialsAreStretchedAndKeyedPngDialsKeepTheirSize)
{
    W->SetTime(At(6, 30));
    // A bitmap: stretched over the client area, its top-left colour transparent.
    TBitmap Keyed(18, 18);
    Keyed.GetCanvas()->GetBrush()->SetColor(clBlue);
    Keyed.GetCanvas()->FillRect(TRect(0, 0, 18, 18));
    Keyed.GetCanvas()->GetBrush()->SetColor(clRed);
    Keyed.GetCanvas()->FillRect(TRect(0, 0, 9, 9));
    W->GetAppearance()->GetPicture()->SetGraphic(&Keyed);
    EXPECT_EQ(PixelAt(30, 30), FormColor);
    EXPECT_EQ(PixelAt(120, 130), clBlue);

    // A PNG: drawn at its own size in the top-left corner.
    TBitmap Small(10, 10);
    Small.GetCanvas()->GetBrush()->SetColor(clLime);
    Small.GetCanvas()->FillRect(TRect(0, 0, 10, 10));
    TPngImage Png;
    Png.Assign(&Small);
    W->GetAppearance()->GetPicture()->SetGraphic(&Png);
    EXPECT_EQ(PixelAt(5, 5), clLime);
    EXPECT_EQ(PixelAt(60, 90), FormColor);  // no fill where the picture does not reach
}

TEST_F(ClockForm, KeysAndCursor)
{
    W->SetTabStop(true);
    EXPECT_EQ(W->Perform(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTALLKEYS);
    W->SetTabStop(false);
    EXPECT_EQ(W->Perform(WM_GETDLGCODE), 0);

    const TRect Label = W->GetAMPMRect();
    Headless::MouseMove(W->ClientToScreen({ (Label.Left + Label.Right) / 2, (Label.Top + Label.Bottom) / 2 }));
    Application->ProcessMessages();
    EXPECT_EQ(GetCursor(), Screen->GetCursors(crHandPoint));
    Headless::MouseMove(W->ClientToScreen({ 40, 90 }));
    Application->ProcessMessages();
    EXPECT_EQ(GetCursor(), Screen->GetCursors(crDefault));
}
