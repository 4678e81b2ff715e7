#include <gtest/gtest.h>

#include <memory>

#include "grid/edit/VovDateTimePicker.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/System.h"

namespace {

constexpr std::uint32_t FormGrey = 0xC0C0C0;

// Screen pixels are 0x00RRGGBB; colours are 0x00BBGGRR.
std::uint32_t Rgb(TColor c)
{
    const std::uint32_t v = std::uint32_t(ColorToRGB(c));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

class PickerUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        saved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 420, 200);
        form->SetPosition(poDesigned);
        form->SetColor(TColor(0xC0C0C0));
    }
    void TearDown() override
    {
        form.reset();
        FormatSettings = saved;
    }
    template <class T> T* Make(int top, bool ctl3D = true)
    {
        auto* p = new T(form.get());
        p->SetParent(form.get());
        p->SetCtl3D(ctl3D);
        p->SetBounds(20, top, 150, 23);
        p->SetFormat(u"dd/MM/yyyy");
        p->SetDateTime(EncodeDateTime(2024, 12, 31, 10, 20, 30, 0));
        return p;
    }
    void Show()
    {
        form->Show();
        Application->ProcessMessages();
    }
    // The pixel at a point of a control's window (frame included).
    std::uint32_t Pixel(TControl* c, int x, int y)
    {
        const TPoint origin = c->GetParent()->ClientToScreen({ c->GetLeft(), c->GetTop() });
        return Headless::ScreenPixel({ origin.X + x, origin.Y + y }) & 0xFFFFFF;
    }
    // How many pixels of a window-relative rectangle have the colour.
    int Count(TControl* c, const TRect& r, std::uint32_t rgb)
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += Pixel(c, x, y) == rgb;
        return n;
    }

    THeadlessSession session;
    TFormatSettings saved;
    std::unique_ptr<TForm> form;
};

} // namespace

TEST_F(PickerUi, WithoutMetroAndWith3DPaintsAsThePlatformPicker)
{
    auto* plain = Make<TDateTimePicker>(20);
    auto* ours = Make<TVovDateTimePicker>(60);
    // Neither picker shows the focused field.
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(20, 120, 100, 21);
    Show();
    edit->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(plain->GetWidth(), ours->GetWidth());
    int differing = 0;
    for (int y = 0; y < ours->GetHeight(); ++y)
        for (int x = 0; x < ours->GetWidth(); ++x)
            differing += Pixel(plain, x, y) != Pixel(ours, x, y);
    EXPECT_EQ(differing, 0);
    // Colours alone change nothing while the look stays 3-D and plain.
    ours->SetButtonColor(clRed);
    ours->SetBorderColor(clBlue);
    Application->ProcessMessages();
    EXPECT_EQ(Count(ours, TRect(0, 0, ours->GetWidth(), ours->GetHeight()), Rgb(clRed)), 0);
    EXPECT_EQ(Count(ours, TRect(0, 0, ours->GetWidth(), ours->GetHeight()), Rgb(clBlue)), 0);
}

TEST_F(PickerUi, OutlineWithoutThe3DLook)
{
    auto* plain = Make<TDateTimePicker>(20, false);
    auto* ours = Make<TVovDateTimePicker>(60, false);
    ours->SetBorderColor(clRed);
    Show();
    // The platform frames a flat picker with a dark line; with a border
    // colour that line takes the surrounding colour, two pixels deep.
    ASSERT_NE(Pixel(plain, 0, 0), FormGrey);
    const int w = ours->GetWidth(), h = ours->GetHeight();
    for (const TPoint p : { TPoint { 0, 0 }, TPoint { w - 1, 5 }, TPoint { 5, h - 1 }, TPoint { 0, h - 1 }, TPoint { 1, 5 }, TPoint { 5, 1 } }) {
        SCOPED_TRACE(testing::Message() << p.X << "," << p.Y);
        EXPECT_EQ(Pixel(ours, p.X, p.Y), FormGrey);
    }
    // The metro borders then frame it in the border colour.
    ours->SetMetroStyle(true);
    Application->ProcessMessages();
    for (const TPoint p : { TPoint { 0, 0 }, TPoint { w - 1, 5 }, TPoint { 5, h - 1 } }) {
        SCOPED_TRACE(testing::Message() << p.X << "," << p.Y);
        EXPECT_EQ(Pixel(ours, p.X, p.Y), Rgb(clRed));
    }
}

TEST_F(PickerUi, MetroButtonOnDatePickersOnly)
{
    auto* date = Make<TVovDateTimePicker>(20, false);
    auto* time = Make<TVovDateTimePicker>(60, false);
    time->SetKind(dtkTime);
    for (TVovDateTimePicker* p : { date, time }) {
        p->SetMetroStyle(true);
        p->SetBorderColor(clRed);
        p->SetButtonColor(clLime);
        p->SetButtonTextColor(clBlue);
        p->SetButtonBorderColor(clFuchsia);
    }
    Show();
    const int w = date->GetWidth(), h = date->GetHeight(), bw = date->GetButtonWidth();
    const TRect buttonArea(w - bw - 4, 0, w, h);
    EXPECT_GT(Count(date, buttonArea, Rgb(clLime)), 60);
    EXPECT_GT(Count(date, buttonArea, Rgb(clBlue)), 4);  // the arrow
    EXPECT_GT(Count(date, buttonArea, Rgb(clFuchsia)), 5); // the button's left line
    // A time picker keeps the platform's up-down buttons but gets the borders.
    EXPECT_EQ(Count(time, buttonArea, Rgb(clLime)), 0);
    EXPECT_EQ(Pixel(time, 0, 0), Rgb(clRed));
    EXPECT_EQ(Pixel(date, 0, 0), Rgb(clRed));
}

TEST_F(PickerUi, HoverOverTheButtonTakesTheHotColour)
{
    auto* p = Make<TVovDateTimePicker>(20, false);
    p->SetMetroStyle(true);
    p->SetButtonColor(clLime);
    p->SetButtonColorHot(clYellow);
    Show();
    const int w = p->GetWidth(), h = p->GetHeight(), bw = p->GetButtonWidth();
    const TRect buttonArea(w - bw - 4, 0, w, h);
    const TPoint origin = form->ClientToScreen({ p->GetLeft(), p->GetTop() });
    Headless::MouseMove({ origin.X + 10, origin.Y + h / 2 });
    Application->ProcessMessages();
    EXPECT_TRUE(p->GetMouseInControl());
    EXPECT_FALSE(p->GetButtonHover());
    EXPECT_EQ(Count(p, buttonArea, Rgb(clYellow)), 0);
    Headless::MouseMove({ origin.X + w - 6, origin.Y + h / 2 });
    Application->ProcessMessages();
    EXPECT_TRUE(p->GetButtonHover());
    EXPECT_GT(Count(p, buttonArea, Rgb(clYellow)), 60);
    EXPECT_EQ(Count(p, buttonArea, Rgb(clLime)), 0);
    Headless::MouseMove({ origin.X + w + 30, origin.Y + h / 2 });
    Application->ProcessMessages();
    EXPECT_FALSE(p->GetButtonHover());
    EXPECT_FALSE(p->GetMouseInControl());
    EXPECT_GT(Count(p, buttonArea, Rgb(clLime)), 60);
}

TEST_F(PickerUi, VersionIsFixed)
{
    auto* p = Make<TVovDateTimePicker>(20);
    EXPECT_EQ(p->GetVersion(), u"1.0.0.0");
    p->SetVersion(u"9.9.9.9");
    EXPECT_EQ(p->GetVersion(), u"1.0.0.0");
    // Published, so forms stream it.
    EXPECT_NE(GetPropInfo(p, u"Version"), nullptr);
}
