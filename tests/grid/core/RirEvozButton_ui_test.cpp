#include <gtest/gtest.h>

#include <memory>

#include "grid/core/RirEvozButton.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

std::uint32_t Rgb(TColor c)
{
    const std::uint32_t v = std::uint32_t(ColorToRGB(c));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

class ButtonUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        form->SetPosition(poDesigned);
        form->SetColor(TColor(0xC0C0C0));
    }
    void TearDown() override { form.reset(); }
    TRirEvozButton* Add(int left, int top, int width = 60, int height = 24)
    {
        auto* b = new TRirEvozButton(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, top, width, height);
        b->OnClick = [this, b](TObject*) { clicks.push_back(b); };
        return b;
    }
    void Show()
    {
        form->Show();
        Headless::PumpUntilIdle();
    }
    TPoint At(TControl* c, int x, int y) const { return form->ClientToScreen({ c->GetLeft() + x, c->GetTop() + y }); }
    void ClickOn(TControl* c, int x = 10, int y = 10)
    {
        Headless::Click(At(c, x, y));
        Headless::PumpUntilIdle();
    }
    std::uint32_t Pixel(TControl* c, int x, int y) { return Headless::ScreenPixel(At(c, x, y)) & 0xFFFFFF; }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
    std::vector<TRirEvozButton*> clicks;
};

} // namespace

TEST_F(ButtonUi, GroupedButtonsAreExclusive)
{
    for (const bool allowAllUp : { false, true }) {
        SCOPED_TRACE(allowAllUp);
        clicks.clear();
        TRirEvozButton* b[3] = { Add(10, 10), Add(80, 10), Add(150, 10) };
        for (TRirEvozButton* x : b)
            x->SetGroupIndex(allowAllUp ? 2 : 1);
        b[2]->SetAllowAllUp(allowAllUp); // the group shares the setting
        EXPECT_EQ(b[0]->GetAllowAllUp(), allowAllUp);
        Show();
        ClickOn(b[0]);
        EXPECT_TRUE(b[0]->GetDown());
        ClickOn(b[1]);
        EXPECT_FALSE(b[0]->GetDown());
        EXPECT_TRUE(b[1]->GetDown());
        EXPECT_EQ(b[1]->GetState(), bsExclusive);
        // Clicking the pressed button: it stays down unless all may be up.
        ClickOn(b[1]);
        EXPECT_EQ(b[1]->GetDown(), !allowAllUp);
        EXPECT_EQ(clicks.size(), 3u);
        // Down in code goes through the group as well.
        b[2]->SetDown(true);
        EXPECT_TRUE(b[2]->GetDown());
        EXPECT_FALSE(b[1]->GetDown());
        for (TRirEvozButton* x : b)
            delete x;
    }
    // An ungrouped push button never stays down.
    TRirEvozButton* single = Add(10, 50);
    single->SetDown(true);
    EXPECT_FALSE(single->GetDown());
}

TEST_F(ButtonUi, CheckButtonTogglesOnFullClicksInsideOnly)
{
    TRirEvozButton* b = Add(10, 10);
    b->SetStyle(tasCheck);
    Show();
    ClickOn(b);
    EXPECT_TRUE(b->GetDown());
    ClickOn(b);
    EXPECT_FALSE(b->GetDown());
    EXPECT_EQ(clicks.size(), 2u);
    // Pressed inside, released outside: no toggle, no click.
    Headless::MouseDown(At(b, 10, 10));
    Headless::MouseMove(At(b, 200, 200));
    Headless::MouseUp(At(b, 200, 200));
    Headless::PumpUntilIdle();
    EXPECT_FALSE(b->GetDown());
    EXPECT_EQ(clicks.size(), 2u);
    // A check button takes any Down value in code.
    b->SetDown(true);
    EXPECT_TRUE(b->GetDown());
}

TEST_F(ButtonUi, DropDownZoneFiresOnDropDownAndNoClick)
{
    TRirEvozButton* b = Add(10, 10, 80, 24);
    b->SetDropDownButton(true);
    int dropped = 0;
    b->OnDropDown = [&](TObject*) { ++dropped; };
    Show();
    ClickOn(b, 80 - 5, 10);
    EXPECT_EQ(dropped, 1);
    EXPECT_TRUE(clicks.empty());
    ClickOn(b, 80 - 13, 10);
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(ButtonUi, LookPresetsAndRefusedValues)
{
    TRirEvozButton* b = Add(10, 10);
    EXPECT_EQ(b->GetColor(), clBtnFace);
    EXPECT_EQ(b->GetColorHot(), TColor(0xCAC7C7));
    EXPECT_TRUE(b->GetFlat());
    b->SetFlat(false);
    b->SetBorderColor(clRed);
    b->SetLook(2);
    EXPECT_EQ(b->GetLook(), 2);
    EXPECT_EQ(b->GetColor(), TColor(0xFDEADA));
    EXPECT_EQ(b->GetColorTo(), TColor(0xE4AE88));
    EXPECT_EQ(b->GetColorCheckedTo(), TColor(0x55ADFF));
    EXPECT_EQ(b->GetBorderHotColor(), TColor(0));
    EXPECT_EQ(b->GetBorderColor(), clNone);
    EXPECT_TRUE(b->GetFlat());
    EXPECT_FALSE(b->GetRounded());
    b->SetLook(7);
    b->SetLook(-1);
    EXPECT_EQ(b->GetLook(), 2);
    EXPECT_EQ(b->GetColor(), TColor(0xFDEADA));
    b->SetLook(0);
    EXPECT_TRUE(b->GetRounded());
    EXPECT_EQ(b->GetBorderDownColor(), TColor(0xAF987A));
    // No visual style in use: adapting picks the plain preset.
    b->SetAutoThemeAdapt(true);
    EXPECT_EQ(b->GetLook(), 1);

    b->SetMargin(3);
    b->SetMargin(-2);
    EXPECT_EQ(b->GetMargin(), 3);
    b->SetMargin(-1);
    EXPECT_EQ(b->GetMargin(), -1);
}

TEST_F(ButtonUi, GlyphGetsAGreyDisabledCopyAndAShade)
{
    TRirEvozButton* b = Add(10, 10);
    TBitmap glyph(4, 4);
    glyph.GetCanvas()->GetBrush()->SetColor(clWhite); // the bottom-left colour is transparent
    glyph.GetCanvas()->FillRect(TRect(0, 0, 4, 4));
    glyph.GetCanvas()->SetPixel(1, 1, TColor(30 | (60 << 8) | (90 << 16)));
    b->SetGlyph(&glyph);
    TBitmap* grey = b->GetGlyphDisabled();
    ASSERT_FALSE(grey->GetEmpty());
    EXPECT_EQ(grey->GetCanvas()->GetPixel(1, 1) & 0xFFFFFF, TColor(126 | (126 << 8) | (126 << 16)));
    // The mean of 255s halves to 127 and lifts to 223.
    EXPECT_EQ(grey->GetCanvas()->GetPixel(0, 0) & 0xFFFFFF, TColor(223 | (223 << 8) | (223 << 16)));
    TBitmap* shade = b->GetGlyphShade();
    ASSERT_EQ(shade->GetWidth(), 4);
    EXPECT_EQ(shade->GetCanvas()->GetPixel(1, 1) & 0xFFFFFF, TColor(0x808080));
    EXPECT_EQ(shade->GetCanvas()->GetPixel(2, 2) & 0xFFFFFF, clWhite);
    // A second glyph keeps the disabled glyph already there.
    TBitmap other(2, 2);
    b->SetGlyph(&other);
    EXPECT_EQ(grey->GetWidth(), 4);
}

TEST_F(ButtonUi, PaintsItsStatesInItsColours)
{
    TRirEvozButton* b = Add(10, 10, 60, 24);
    b->SetColor(TColor(0x00C000));
    b->SetColorHot(TColor(0xC00000));
    b->SetColorDown(TColor(0x0000C0));
    b->SetCaption(u"");
    Show();
    EXPECT_EQ(Pixel(b, 30, 12), Rgb(TColor(0x00C000)));
    Headless::MouseMove(At(b, 30, 12));
    Headless::PumpUntilIdle();
    EXPECT_TRUE(b->GetMouseInControl());
    EXPECT_EQ(Pixel(b, 30, 12), Rgb(TColor(0xC00000)));
    Headless::MouseDown(At(b, 30, 12));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Pixel(b, 30, 12), Rgb(TColor(0x0000C0)));
    Headless::MouseUp(At(b, 30, 12));
    Headless::MouseMove(At(b, 300, 200));
    Headless::PumpUntilIdle();
    EXPECT_FALSE(b->GetMouseInControl());
    EXPECT_EQ(Pixel(b, 30, 12), Rgb(TColor(0x00C000)));
    // A gradient runs from Color at the top to ColorTo at the bottom.
    b->SetColorTo(TColor(0x000000));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Pixel(b, 30, 1), Rgb(TColor(0x00C000)));
    EXPECT_LT(Pixel(b, 30, 21) & 0xFF00, 0x2000u);
}

TEST_F(ButtonUi, LaysOutGlyphAndCaptionLikeASpeedButton)
{
    // A 100 x 40 content area, a 16 x 16 glyph and a 30 x 12 caption.
    struct Case {
        TButtonLayout layout;
        int margin, spacing;
        TPoint glyph, text;
    };
    const Case cases[] = {
        { blGlyphLeft, -1, 4, { 25, 12 }, { 45, 14 } },   // the pair centred: (100 - 50) / 2
        { blGlyphLeft, 3, 4, { 3, 12 }, { 23, 14 } },
        { blGlyphLeft, -1, -1, { 18, 12 }, { 52, 14 } },  // three equal gaps of 18
        { blGlyphLeft, 2, -1, { 2, 12 }, { 44, 14 } },    // the rest spread: (100 - 2 - 46) / 2
        { blGlyphRight, 3, 4, { 81, 12 }, { 47, 14 } },
        { blGlyphTop, 2, 1, { 42, 2 }, { 35, 19 } },
        { blGlyphBottom, 2, 1, { 42, 22 }, { 35, 9 } },
    };
    TRirEvozButton* b = Add(10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.layout) << " " << c.margin << " " << c.spacing);
        b->SetLayout(c.layout);
        b->SetMargin(c.margin);
        b->SetSpacing(c.spacing);
        TPoint g, t;
        b->CalcLayout(TRect(0, 0, 100, 40), { 16, 16 }, { 30, 12 }, g, t);
        EXPECT_EQ(g.X, c.glyph.X);
        EXPECT_EQ(g.Y, c.glyph.Y);
        EXPECT_EQ(t.X, c.text.X);
        EXPECT_EQ(t.Y, c.text.Y);
    }
    // Without a caption the glyph stays in the middle whatever the layout says.
    b->SetLayout(blGlyphLeft);
    b->SetMargin(3);
    TPoint g, t;
    b->CalcLayout(TRect(0, 0, 100, 40), { 16, 16 }, { 0, 0 }, g, t);
    EXPECT_EQ(g.X, 42);
    EXPECT_EQ(g.Y, 12);
}

TEST_F(ButtonUi, AcceleratorClicksOnlyAnEnabledButton)
{
    TRirEvozButton* b = Add(10, 10);
    b->SetCaption(u"&Find");
    Show();
    TMessage msg { CM_DIALOGCHAR, WPARAM(u'f'), 0, 0 };
    b->Dispatch(msg);
    EXPECT_EQ(msg.Result, 1);
    EXPECT_EQ(clicks.size(), 1u);
    TMessage other { CM_DIALOGCHAR, WPARAM(u'x'), 0, 0 };
    b->Dispatch(other);
    EXPECT_EQ(clicks.size(), 1u);
    b->SetEnabled(false);
    TMessage disabled { CM_DIALOGCHAR, WPARAM(u'f'), 0, 0 };
    b->Dispatch(disabled);
    EXPECT_EQ(disabled.Result, 0);
    EXPECT_EQ(clicks.size(), 1u);
}
