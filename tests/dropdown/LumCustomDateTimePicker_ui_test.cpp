#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDateTimePicker.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

constexpr TColor FormColor = TColor(0x00FFFF); // yellow

// Screen pixels are 0x00RRGGBB; colours are 0x00BBGGRR.
std::uint32_t Rgb(TColor c)
{
    const std::uint32_t v = std::uint32_t(ColorToRGB(c));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// The base with the looks its descendant publishes, standing alone or embedded.
class TTestPicker : public TCustomDateTimePicker {
public:
    using TCustomDateTimePicker::TCustomDateTimePicker;
    using TCustomDateTimePicker::SetBorderColor;
    using TCustomDateTimePicker::SetButtonBorderColor;
    using TCustomDateTimePicker::SetButtonColor;
    using TCustomDateTimePicker::SetButtonTextColor;
    using TCustomDateTimePicker::SetButtonTextColorDown;
    bool IsEmbedded() const override { return Embedded; }
    bool Embedded { false };
};

struct DateTimePickerBase : ::testing::Test {
    THeadlessSession Session;
    TFormatSettings Saved { FormatSettings };
    std::unique_ptr<TForm> Form;
    TEdit* Before { nullptr };
    TTestPicker* P { nullptr };
    TEdit* After { nullptr };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        FormatSettings = TFormatSettings::Invariant();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 420, 200);
        Form->SetColor(FormColor);
        Before = MakeEdit(10);
        P = new TTestPicker(Form.get());
        P->SetParent(Form.get());
        P->SetBounds(20, 50, 150, 23);
        P->SetFormat(u"dd/MM/yyyy");
        P->SetDateTime(EncodeDateTime(2024, 12, 31, 10, 20, 30, 0));
        After = MakeEdit(100);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        Form.reset();
        FormatSettings = Saved;
    }
    TEdit* MakeEdit(int Top)
    {
        auto* e = new TEdit(Form.get());
        e->SetParent(Form.get());
        e->SetBounds(20, Top, 100, 21);
        return e;
    }
    // The pixel at a point of the picker's window (frame included).
    std::uint32_t Pixel(int x, int y)
    {
        Application->ProcessMessages();
        const TPoint origin = Form->ClientToScreen({ P->GetLeft(), P->GetTop() });
        return Headless::ScreenPixel({ origin.X + x, origin.Y + y }) & 0xFFFFFF;
    }
    int Count(const TRect& r, std::uint32_t rgb)
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += Pixel(x, y) == rgb;
        return n;
    }
};

} // namespace

TEST_F(DateTimePickerBase, EnvironmentAndDefaults)
{
    EXPECT_TRUE(TCustomDateTimePicker::IsComCtl6());
    EXPECT_TRUE(TCustomDateTimePicker::HasLocaleInfoEx());
    EXPECT_FALSE(P->ThemeActive());
    EXPECT_TRUE(P->GetIsThemed());
    EXPECT_FALSE(P->GetCtl3D());
    EXPECT_FALSE(P->GetAutoTab());
    EXPECT_TRUE(P->GetAutoTabToNext());
    EXPECT_EQ(P->GetButtonWidth(), GetSystemMetrics(SM_CXVSCROLL) + 2);
    EXPECT_FLOAT_EQ(P->GetFormDPIScale(), 1.0f);
    // One message number, whoever registers the name first.
    EXPECT_NE(DTPShiftFocusMessage(), 0u);
    EXPECT_EQ(DTPShiftFocusMessage(), GridUnit().WM_DTPSHIFTFOCUS);
}

TEST_F(DateTimePickerBase, AutoTabOverHoursMinutesAndSeconds)
{
    P->SetKind(dtkTime);
    P->SetFormat(u"HH:mm:ss");
    struct Case {
        const char* what;
        bool autoTab, toNext;
        int field;           // the caret's field before typing
        const char16_t* typed;
        int fieldAfter;      // -1: the focus went on
    };
    const Case cases[] = {
        { "the hour it had: nothing", true, true, 0, u"10", 0 },
        { "a new hour: caret right", true, true, 0, u"12", 1 },
        { "a new minute: caret right", true, true, 1, u"45", 2 },
        { "a new second: next control", true, true, 2, u"59", -1 },
        { "a new second, not to next: caret right", true, false, 2, u"59", 0 },
        { "auto-tab off", false, true, 0, u"12", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        P->SetDateTime(EncodeDateTime(2024, 12, 31, 10, 20, 30, 0));
        P->SetAutoTab(c.autoTab);
        P->SetAutoTabToNext(c.toNext);
        P->SetFocus();
        Application->ProcessMessages();
        for (int i = 0; i < 3 && P->GetFieldIndex() != c.field; ++i) {
            Headless::Key(VK_RIGHT);
            Headless::PumpUntilIdle();
        }
        ASSERT_EQ(P->GetFieldIndex(), c.field);
        // One key at a time, as a person types.
        for (const char16_t* k = c.typed; *k; ++k) {
            Headless::Type(String(1, *k));
            Headless::PumpUntilIdle();
        }
        if (c.fieldAfter < 0) {
            EXPECT_TRUE(After->Focused());
        } else {
            EXPECT_TRUE(P->Focused());
            EXPECT_EQ(P->GetFieldIndex(), c.fieldAfter);
        }
    }
}

TEST_F(DateTimePickerBase, AHiddenPickerNeverMovesTheFocus)
{
    Before->SetFocus();
    P->SetVisible(false);
    P->FocusNextControl();
    EXPECT_TRUE(Before->Focused());
    P->SetVisible(true);
    Application->ProcessMessages();
    P->FocusNextControl();
    EXPECT_TRUE(P->Focused());
}

TEST_F(DateTimePickerBase, BorderFrames)
{
    P->SetBorderColor(clNone);
    P->SetColor(clWhite);
    Before->SetFocus();
    const int W = P->GetWidth(), H = P->GetHeight(), BW = P->GetButtonWidth();
    // Outline and the two outer frames in the form's colour, the innermost
    // in the picker's; the inner frames leave the button strip out.
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    };
    const Probe probes[] = {
        { 0, 5, Rgb(FormColor) }, { W - 1, 5, Rgb(FormColor) }, { 5, H - 1, Rgb(FormColor) },
        { 1, 5, Rgb(FormColor) }, { 5, 1, Rgb(FormColor) }, { W - BW - 2, 5, Rgb(FormColor) },
        { 2, 5, Rgb(clWhite) }, { 5, 2, Rgb(clWhite) }, { W - BW - 3, 5, Rgb(clWhite) },
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(Pixel(p.x, p.y), p.rgb);
    }

    // A border colour frames the picker once.
    P->SetBorderColor(clBlue);
    EXPECT_EQ(Pixel(0, 5), Rgb(clBlue));
    EXPECT_EQ(Pixel(W - 1, H - 1), Rgb(clBlue));
    // Disabled on themed common controls: the themed frame, whatever the colour.
    P->SetEnabled(false);
    P->Invalidate();
    for (const TPoint p : { TPoint { 0, 0 }, TPoint { W - 1, 5 }, TPoint { 5, H - 1 } }) {
        SCOPED_TRACE(testing::Message() << p.X << "," << p.Y);
        EXPECT_EQ(Pixel(p.X, p.Y), 0x7F9DB9u);
    }
}

TEST_F(DateTimePickerBase, GridTabRule)
{
    auto* Embedded = new TTestPicker(Form.get());
    Embedded->Embedded = true;
    Embedded->SetParent(Form.get());
    Embedded->SetBounds(200, 50, 90, 23);
    Application->ProcessMessages();
    struct Case {
        bool embedded, shift, grid, wantsTab;
    };
    const Case cases[] = {
        { false, false, true, false }, { false, true, true, true }, { true, false, true, true },
        { true, true, true, false }, { false, true, false, false }, { true, false, false, false },
    };
    BYTE keys[256] {};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.embedded << c.shift << c.grid);
        TTestPicker* Target = c.embedded ? Embedded : P;
        Target->SetGridTabhandling(c.grid);
        keys[VK_SHIFT] = c.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        const LRESULT code = Target->Perform(WM_GETDLGCODE, 0, 0);
        EXPECT_EQ((code & DLGC_WANTTAB) != 0, c.wantsTab);
        // The platform's own answer stays.
        EXPECT_NE(code & DLGC_WANTARROWS, 0);
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST_F(DateTimePickerBase, MetroButton)
{
    P->SetBorderColor(clNone);
    P->SetMetroStyle(true);
    Before->SetFocus();
    const int W = P->GetWidth(), H = P->GetHeight(), BW = P->GetButtonWidth();
    const TRect Strip(W - BW - 1, 1, W - 1, H - 1);
    // No button colours: the flat frame-control button with its arrow.
    EXPECT_GT(Count(Strip, 0x000000), 3);
    EXPECT_GT(Count(Strip, Rgb(clBtnFace)), 40);

    P->SetButtonColor(clLime);
    P->SetButtonTextColor(clBlue);
    P->SetButtonTextColorDown(clRed);
    P->SetButtonBorderColor(clFuchsia);
    EXPECT_GT(Count(Strip, Rgb(clLime)), 60);
    EXPECT_GT(Count(Strip, Rgb(clBlue)), 4);
    EXPECT_GT(Count(Strip, Rgb(clFuchsia)), 5);
    EXPECT_EQ(Count(Strip, Rgb(clRed)), 0);
    // Any mouse button held anywhere gives the arrow its pressed colour.
    const TPoint Elsewhere = Form->ClientToScreen({ 300, 150 });
    Headless::MouseDown(Elsewhere);
    P->Invalidate();
    EXPECT_GT(Count(Strip, Rgb(clRed)), 4);
    EXPECT_EQ(Count(Strip, Rgb(clBlue)), 0);
    Headless::MouseUp(Elsewhere);

    // A time picker keeps its up-down buttons.
    P->SetKind(dtkTime);
    P->Invalidate();
    EXPECT_EQ(Count(Strip, Rgb(clLime)), 0);
}
