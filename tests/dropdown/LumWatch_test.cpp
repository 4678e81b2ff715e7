#include <gtest/gtest.h>

#include <cmath>

#include "dropdown/LumWatch.h"
#include "platform/rtl/DateUtils.h"

namespace {

TDateTime At(int h, int m, int s = 0, int ms = 0) { return EncodeTime(Word(h), Word(m), Word(s), Word(ms)); }

String Shown(TDateTime t)
{
    Word h, m, s, ms;
    DecodeTime(t, h, m, s, ms);
    return Format(u"%.2d:%.2d:%.2d", { int(h), int(m), int(s) });
}

// A clock without animation: every change lands at once.
struct Clock : ::testing::Test {
    TLumWatch W;
    int Changes { 0 };
    void SetUp() override
    {
        W.SetAnimation(false);
        W.OnChange = [this](TObject*) { ++Changes; };
    }
    // The point at the given clock angle and distance from the centre.
    TPoint Dir(double Degrees, double d = 60)
    {
        const TPoint c = W.GetCenterPoint();
        return TPoint(c.X + int(std::lround(std::sin(Degrees * M_PI / 180) * d)),
            c.Y - int(std::lround(std::cos(Degrees * M_PI / 180) * d)));
    }
};

} // namespace

TEST_F(Clock, Defaults)
{
    EXPECT_EQ(W.GetWidth(), 180);
    EXPECT_EQ(W.GetHeight(), 180);
    EXPECT_EQ(W.GetVersion(), u"1.3.2.2");
    EXPECT_EQ(W.GetStyle(), wsClassic);
    EXPECT_EQ(W.GetAnimationFactor(), 10);
    EXPECT_EQ(W.GetWatchRect(), TRect(10, 10, 170, 170));
    EXPECT_EQ(W.GetCenterPoint(), TPoint(90, 90));
    EXPECT_EQ(W.GetRadius(), 80.0);
    const TWatchAppearance* A = W.GetAppearance();
    EXPECT_EQ(A->GetHourFont()->GetName(), u"Tahoma");
    EXPECT_EQ(A->GetAMPMFont()->GetSize(), 10);
    EXPECT_EQ(A->GetMinuteColor(), clGray);
    EXPECT_EQ(A->GetBorderWidth(), 4);

    W.GetAppearance()->SetSize(100);
    EXPECT_EQ(W.GetWatchRect(), TRect(40, 40, 140, 140));
    W.GetAppearance()->SetSize(500);  // no larger than the control
    EXPECT_EQ(W.GetWatchRect(), TRect(0, 0, 180, 180));
}

TEST_F(Clock, PointingAtMinutesAndHours)
{
    const TPoint c = W.GetCenterPoint();
    struct Case {
        const char* what;
        TPoint p;
        int minute;
    };
    const Case cases[] = {
        { "the centre itself counts as 45 degrees", c, 23 },
        { "above", TPoint(c.X, c.Y - 50), 0 },
        { "below", TPoint(c.X, c.Y + 50), 30 },
        { "left", TPoint(c.X - 50, c.Y), 45 },
        { "right", TPoint(c.X + 50, c.Y), 15 },
        { "minute 10", Dir(60), 10 },
        { "minute 40", Dir(240), 40 },
        { "minute 52", Dir(312), 52 },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_EQ(W.XYToMinute(k.p.X, k.p.Y), k.minute);
    }
    EXPECT_EQ(W.XYToHour(c.X, c.Y), 5);
    W.SetTime(At(14, 0));
    EXPECT_FALSE(W.IsAM());
    EXPECT_EQ(W.XYToHour(c.X, c.Y), 17);

    // Near 12 o'clock the hour is 0 in the first half of the day, 12 in the second.
    for (int m : { 58, 59, 0, 1, 2 }) {
        SCOPED_TRACE(m);
        W.SetTime(At(9, 0));
        EXPECT_EQ(W.XYToHour(Dir(6 * m).X, Dir(6 * m).Y), 0);
        W.SetTime(At(21, 0));
        EXPECT_EQ(W.XYToHour(Dir(6 * m).X, Dir(6 * m).Y), 12);
    }

    // A resolution of 15 snaps minutes to quarters and hours with them.
    W.SetTime(At(9, 0));
    W.SetResolution(15);
    struct Snap {
        double degrees;
        int minute, hour;
    };
    for (const Snap& s : { Snap { 20, 0, 0 }, Snap { 80, 15, 3 }, Snap { 200, 30, 6 }, Snap { 250, 45, 9 },
             Snap { 350, 0, 0 } }) {
        SCOPED_TRACE(s.degrees);
        EXPECT_EQ(W.XYToMinute(Dir(s.degrees).X, Dir(s.degrees).Y), s.minute);
        EXPECT_EQ(W.XYToHour(Dir(s.degrees).X, Dir(s.degrees).Y), s.hour);
    }
    W.SetResolution(31);  // ignored
    EXPECT_EQ(W.GetResolution(), 15);
}

TEST_F(Clock, SettingMinutesAndHours)
{
    W.SetTime(At(10, 45, 12, 500));
    EXPECT_EQ(Changes, 0);  // writing Time announces nothing
    W.SetMinute(0);
    EXPECT_EQ(Shown(W.GetTime()), u"11:00:12");
    EXPECT_EQ(Changes, 1);
    W.SetTime(At(10, 20));
    W.SetMinute(0);
    EXPECT_EQ(Shown(W.GetTime()), u"10:00:00");
    W.SetHour(23);
    EXPECT_EQ(Shown(W.GetTime()), u"23:00:00");
    EXPECT_FALSE(W.IsAM());
    W.SetHour(23);  // the same: nothing
    EXPECT_EQ(Changes, 3);

    // A minute of 60 or more is refused and changes nothing.
    EXPECT_THROW(W.SetMinute(60), EConvertError);
    try {
        W.SetMinute(75);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.GetMessage(), u"Invalid time");
    }
    EXPECT_EQ(Shown(W.GetTime()), u"23:00:00");
    EXPECT_EQ(Changes, 3);
}

TEST_F(Clock, KeysOfTheClockAndOfTheDropDown)
{
    struct Case {
        const char* what;
        TDateTime from;
        WORD key;
        bool ctrl, dropDown;
        double to;  // the value; for the drop-down keys a time of day
    };
    const Case cases[] = {
        { "Right at 23:59 carries into the next day", At(23, 59), VK_RIGHT, false, false, 1.0 },
        { "Left", At(10, 30), VK_LEFT, false, false, At(10, 29) },
        { "Ctrl+Down", At(10, 30), VK_DOWN, true, false, At(11, 30) },
        { "Up", At(10, 30), VK_UP, false, false, At(10, 29) },
        { "Home", At(10, 30, 5), VK_HOME, false, false, 0.0 },
        { "End", At(10, 30), VK_END, false, false, 0.25 },
        { "keypad 7", At(10, 30, 5), VK_NUMPAD0 + 7, false, false, At(7, 30, 5) },
        { "drop-down: Right at 23:59", At(23, 59), VK_RIGHT, false, true, At(0, 0) },
        { "drop-down: Left at 00:00", At(0, 0, 30), VK_LEFT, false, true, At(23, 59, 30) },
        { "drop-down: Home sets 12 o'clock", At(9, 41), VK_HOME, false, true, At(12, 41) },
        { "drop-down: End past the half hour", At(9, 41), VK_END, false, true, At(10, 0) },
        { "drop-down: End before it", At(9, 20), VK_END, false, true, At(9, 0) },
        { "drop-down: Page Up at 23", At(23, 5), VK_PRIOR, false, true, At(0, 5) },
        { "drop-down: Page Down at 0", At(0, 5), VK_NEXT, false, true, At(23, 5) },
        { "drop-down: P", At(9, 5), 'P', false, true, At(21, 5) },
        { "drop-down: A", At(21, 5), 'A', false, true, At(9, 5) },
        { "drop-down: Up does nothing", At(9, 5), VK_UP, false, true, At(9, 5) },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        W.SetTime(k.from);
        if (k.dropDown) {
            W.HandleKey(k.key);
        } else {
            WORD key = k.key;
            W.KeyDown(key, k.ctrl ? TShiftState { ssCtrl } : TShiftState {});
        }
        EXPECT_NEAR(double(W.GetTime()), k.to, 1e-9);
    }

    // Resolution 0 steps by one minute; a read-only clock takes no keys.
    W.SetResolution(0);
    W.SetTime(At(8, 0));
    WORD key = VK_RIGHT;
    W.KeyDown(key, {});
    EXPECT_EQ(Shown(W.GetTime()), u"08:01:00");
    W.SetReadOnly(true);
    W.KeyDown(key, {});
    EXPECT_EQ(Shown(W.GetTime()), u"08:01:00");
}

TEST_F(Clock, ClicksSetTheHourInsideAndTheMinuteOutside)
{
    W.SetTime(At(9, 10));
    W.MouseUp(mbLeft, {}, Dir(90).X, Dir(90).Y);       // inside, at 3 o'clock
    EXPECT_EQ(Shown(W.GetTime()), u"03:10:00");
    W.MouseUp(mbLeft, {}, 175, 90);                      // outside the dial, at 3
    EXPECT_EQ(Shown(W.GetTime()), u"03:15:00");
    const TRect Label = W.GetAMPMRect();
    W.MouseUp(mbLeft, {}, (Label.Left + Label.Right) / 2, (Label.Top + Label.Bottom) / 2);
    EXPECT_EQ(Shown(W.GetTime()), u"15:15:00");
    EXPECT_FALSE(W.IsAM());

    // A live clock and a read-only one take no clicks.
    W.SetReadOnly(true);
    W.MouseUp(mbLeft, {}, 175, 90);
    EXPECT_EQ(Shown(W.GetTime()), u"15:15:00");
    W.SetReadOnly(false);
    W.GetSettings()->SetAuto(true);
    const TDateTime Live = W.GetTime();
    W.MouseUp(mbLeft, {}, 90, 175);
    EXPECT_EQ(W.GetTime(), Live);
}

TEST(LumWatchPresets, StylesApplyAfterAChange)
{
    TLumWatch W;
    TWatchAppearance* A = W.GetAppearance();
    W.SetStyle(wsClassic);  // already recorded: nothing happens
    EXPECT_EQ(A->GetHourFont()->GetName(), u"Tahoma");
    W.SetStyle(wsTower);
    EXPECT_EQ(A->GetShape(), wsRect);
    EXPECT_EQ(A->GetAMPMColor(), TColor(0xB1F0FE));
    EXPECT_FALSE(W.GetShowNumbers());
    W.SetStyle(wsClassic);
    EXPECT_EQ(A->GetShape(), wsCircle);  // reset first
    EXPECT_EQ(A->GetHourFont()->GetName(), u"Comic Sans MS");
    EXPECT_EQ(A->GetHourFont()->GetSize(), 10);
    EXPECT_EQ(A->GetHourMarkLength(), 8);

    // The next preset names a font without a style: the bold one stays.
    W.SetStyle(wsBlack);
    EXPECT_EQ(A->GetHourFont()->GetName(), u"Century Gothic");
    EXPECT_TRUE(A->GetHourFont()->GetStyle().Contains(fsBold));
    EXPECT_EQ(A->GetHourFont()->GetColor(), clWhite);
    EXPECT_EQ(A->GetBackgroundColor(), TColor(0x202020));

    // wsCustom keeps the look it finds.
    W.SetStyle(wsCustom);
    EXPECT_EQ(A->GetBackgroundColor(), TColor(0x202020));
}

TEST(LumWatchPresets, LengthsFollowTheSizeAndStayInAByte)
{
    struct Case {
        int side;
        int hourMark, minuteMark, centre;
    };
    for (const Case& c : { Case { 180, 40, 60, 50 }, Case { 800, 178, 255, 222 }, Case { 1200, 255, 255, 255 } }) {
        SCOPED_TRACE(c.side);
        TLumWatch W;
        W.SetBounds(0, 0, c.side, c.side + 7);
        W.SetStyle(wsSuperNova);
        EXPECT_EQ(W.GetAppearance()->GetHourMarkLength(), c.hourMark);
        EXPECT_EQ(W.GetAppearance()->GetMinuteMarkLength(), c.minuteMark);
        W.SetStyle(wsSports);
        EXPECT_EQ(W.GetAppearance()->GetCenterPointSize(), c.centre);
    }
}

TEST(LumWatchPresets, ComponentStyles)
{
    TLumWatch W;
    TWatchAppearance* A = W.GetAppearance();
    A->GetHourFont()->SetColor(clRed);
    const TColor Background = A->GetBackgroundColor();
    W.SetComponentStyle(tsCustom);
    EXPECT_EQ(A->GetHourFont()->GetColor(), clRed);

    W.SetComponentStyle(tsWindows10);  // not in the table: only the first step
    EXPECT_EQ(A->GetCenterPointOuterBorderColor(), clBlack);
    EXPECT_EQ(A->GetHourFont()->GetColor(), clBlack);
    EXPECT_EQ(A->GetAMPMFont()->GetColor(), clBlack);
    EXPECT_EQ(A->GetBackgroundColor(), Background);

    W.SetComponentStyle(tsOffice2007Obsidian);
    EXPECT_EQ(A->GetHourFont()->GetColor(), TColor(0xF2F1F0));
    EXPECT_EQ(A->GetAMPMFont()->GetColor(), TColor(0xF2F1F0));
    EXPECT_EQ(A->GetBackgroundColor(), TColor(0x5C534C));
    EXPECT_EQ(A->GetAMPMColor(), TColor(0x5C534C));

    W.SetComponentStyle(tsOffice2007Silver);
    EXPECT_EQ(A->GetCenterPointBorderColor(), TColor(0xE8E0DB));
    EXPECT_EQ(A->GetCenterPointColor(), TColor(0x74706F));
    EXPECT_EQ(A->GetHourFont()->GetColor(), clBlack);
    W.SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(A->GetBackgroundColor(), TColor(0xFFFDF9));
    EXPECT_EQ(A->GetBackgroundColorTo(), TColor(0xFFFAF0));
    W.SetComponentStyle(tsOffice2010Silver);
    EXPECT_EQ(A->GetHourPointerShadow(), clSilver);
    EXPECT_EQ(A->GetMinutePointer(), TColor(0xD2CDC8));
}

TEST(LumWatchParts, SettingsAndAppearanceCopies)
{
    TWatchSettings S;
    int changes = 0;
    S.FOnChange = [&](TObject*) { ++changes; };
    TWatchSettings Other;
    Other.SetAuto(true);
    Other.SetTimeOffset(30);
    Other.SetSecond(false);
    S.Assign(&Other);
    EXPECT_EQ(changes, 1);  // only Auto announces itself
    EXPECT_EQ(S.GetTimeOffset(), 30);
    EXPECT_FALSE(S.GetSecond());

    TWatchAppearance A, B;
    B.SetBorderWidth(9);
    B.SetTickMarks(tmNone);
    B.GetHourFont()->SetStyle(TFontStyles { fsItalic });
    int notes = 0;
    A.FOnChange = [&](TObject*) { ++notes; };
    A.Assign(&B);
    EXPECT_EQ(A.GetBorderWidth(), 9);
    EXPECT_EQ(A.GetTickMarks(), tmNone);
    EXPECT_TRUE(A.GetHourFont()->GetStyle().Contains(fsItalic));
    EXPECT_EQ(notes, 1);  // the tick marks went through their setter

    // A reset keeps the fonts' style and colour.
    A.GetHourFont()->SetColor(clRed);
    A.ResetAppearance();
    EXPECT_EQ(A.GetBorderWidth(), 4);
    EXPECT_EQ(A.GetHourFont()->GetColor(), clRed);
    EXPECT_TRUE(A.GetHourFont()->GetStyle().Contains(fsItalic));
}
