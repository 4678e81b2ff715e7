#include <gtest/gtest.h>

#include <memory>

#include "grid/core/LumCheckBox.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

// A check box painting at a fixed DPI scale.
class TScaledCheckBox : public TLumCheckBox {
public:
    using TLumCheckBox::TLumCheckBox;
    double Scale { 1.0 };

protected:
    double CurrentDPIScale() override { return Scale; }
};

class CheckBoxUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetPosition(poDesigned);
        form->SetColor(TColor(0x00C0C0));
        box = new TScaledCheckBox(form.get());
        box->SetParent(form.get());
        box->SetBounds(10, 10, 120, 20);
        box->SetCaption(u"Match case");
        box->OnClick = [this](TObject*) { ++clicks; };
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 60, 100, 20);
        form->Show();
        Headless::PumpUntilIdle();
    }
    void TearDown() override { form.reset(); }
    TPoint At(int x, int y) const { return form->ClientToScreen({ box->GetLeft() + x, box->GetTop() + y }); }
    std::uint32_t Pixel(int x, int y) { return Headless::ScreenPixel(At(x, y)) & 0xFFFFFF; }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
    TScaledCheckBox* box { nullptr };
    TEdit* other { nullptr };
    int clicks { 0 };
};

} // namespace

TEST_F(CheckBoxUi, StartsAsDescribed)
{
    TLumCheckBox plain(nullptr);
    EXPECT_EQ(plain.GetCaption(), u"TLumCheckBox");
    EXPECT_EQ(plain.GetWidth(), 98);
    EXPECT_EQ(plain.GetHeight(), 20);
    EXPECT_FALSE(plain.GetTabStop());
    EXPECT_EQ(plain.GetState(), cbUnchecked);
    EXPECT_EQ(plain.GetColor(), clWindow);
}

TEST_F(CheckBoxUi, MouseTogglesOnlyOnAFullClickInside)
{
    Headless::Click(At(5, 10));
    Headless::PumpUntilIdle();
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box->Focused());

    // Pressed, dragged out and released outside: no toggle, no click.
    Headless::MouseDown(At(5, 10));
    Headless::PumpUntilIdle();
    EXPECT_TRUE(box->GetDown());
    Headless::MouseMove(At(200, 100));
    Headless::PumpUntilIdle();
    EXPECT_FALSE(box->GetDown());
    Headless::MouseUp(At(200, 100));
    Headless::PumpUntilIdle();
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box->GetDown());
}

TEST_F(CheckBoxUi, SpaceTogglesAndReadOnlyStillClicks)
{
    box->SetFocus();
    Headless::Key(VK_SPACE);
    Headless::PumpUntilIdle();
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(box->GetDown());

    box->SetReadOnly(true);
    Headless::Key(VK_SPACE);
    Headless::Click(At(5, 10));
    Headless::PumpUntilIdle();
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(clicks, 3);
}

TEST_F(CheckBoxUi, ReturnActsAsTabWhenAsked)
{
    box->SetTabStop(true);
    other->SetTabStop(true);
    box->SetFocus();
    Headless::Key(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_TRUE(box->Focused()); // Return is an ordinary key by default
    box->SetReturnIsTab(true);
    Headless::Key(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(clicks, 0);
}

TEST_F(CheckBoxUi, StatesAndCheckedAgree)
{
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->GetChecked());
    box->SetChecked(true);
    EXPECT_EQ(box->GetState(), cbChecked);
    box->Toggle();
    EXPECT_EQ(box->GetState(), cbUnchecked);
}

TEST_F(CheckBoxUi, BoxAndCaptionFollowAlignmentAndScale)
{
    struct Case {
        TLeftRight align;
        TTextLayout vert;
        double scale;
        TRect boxRect;
        int captionLeft;
    };
    // A 120 x 20 control.
    const Case cases[] = {
        { taLeftJustify, tlTop, 1.0, { 0, 4, 13, 17 }, 19 },
        { taLeftJustify, tlTop, 1.5, { 0, 4, 20, 24 }, 24 },
        { taLeftJustify, tlCenter, 1.0, { 0, 4, 13, 17 }, 19 },
        { taLeftJustify, tlBottom, 1.0, { 0, 7, 13, 20 }, 19 },
        { taRightJustify, tlTop, 1.0, { 106, 4, 119, 17 }, 10 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.align) << " " << int(c.vert) << " " << c.scale);
        box->SetAlignment(c.align);
        box->SetButtonVertAlign(c.vert);
        const TRect r = box->BoxRect(c.scale);
        EXPECT_EQ(r.Left, c.boxRect.Left);
        EXPECT_EQ(r.Top, c.boxRect.Top);
        EXPECT_EQ(r.Right, c.boxRect.Right);
        EXPECT_EQ(r.Bottom, c.boxRect.Bottom);
        EXPECT_EQ(box->CaptionLeft(c.scale), c.captionLeft);
    }
}

TEST_F(CheckBoxUi, PaintsBoxCaptionAndTransparency)
{
    box->SetCaption(u"WWWW");
    box->GetFont()->SetColor(TColor(0x0000FF));
    Headless::PumpUntilIdle();
    // Opaque: the control's own colour around the box and the caption.
    EXPECT_EQ(Pixel(60, 1), 0xFFFFFFu);
    // The classic box: a white well with a dark frame.
    EXPECT_EQ(Pixel(6, 10), 0xFFFFFFu);
    bool red = false;
    for (int x = 19; x < 70 && !red; ++x)
        for (int y = 2; y < 18 && !red; ++y)
            red = Pixel(x, y) == 0xFF0000u;
    EXPECT_TRUE(red) << "the caption in the font colour";
    bool redBefore = false;
    for (int x = 14; x < 19; ++x)
        for (int y = 2; y < 18; ++y)
            redBefore |= Pixel(x, y) == 0xFF0000u;
    EXPECT_FALSE(redBefore) << "the caption starts after the box";

    box->SetTransparent(true);
    Headless::PumpUntilIdle();
    EXPECT_EQ(Pixel(60, 1), 0xC0C000u) << "the parent shows through";
    box->SetTransparentChaching(true);
    box->Invalidate();
    Headless::PumpUntilIdle();
    EXPECT_EQ(Pixel(100, 1), 0xC0C000u);

    // Disabled: the caption in grey over a white shadow.
    box->SetEnabled(false);
    Headless::PumpUntilIdle();
    bool grey = false;
    for (int x = 19; x < 70 && !grey; ++x)
        for (int y = 2; y < 18 && !grey; ++y)
            grey = Pixel(x, y) == 0x808080u;
    EXPECT_TRUE(grey);
}

TEST_F(CheckBoxUi, AcceleratorTogglesAndTakesTheFocusOnlyWithTabStop)
{
    box->SetCaption(u"&Match case");
    other->SetFocus();
    TMessage key { CM_DIALOGCHAR, WPARAM(u'm'), 0, 0 };
    box->Dispatch(key);
    EXPECT_EQ(key.Result, 1);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_FALSE(box->Focused());
    box->SetTabStop(true);
    TMessage again { CM_DIALOGCHAR, WPARAM(u'm'), 0, 0 };
    box->Dispatch(again);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_TRUE(box->Focused());
    TMessage other { CM_DIALOGCHAR, WPARAM(u'x'), 0, 0 };
    box->Dispatch(other);
    EXPECT_EQ(other.Result, 0);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(clicks, 0);
}
