#include <gtest/gtest.h>

#include <memory>

#include "grid/edit/VovCombo.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"

using namespace VovCombo;

namespace {

class ComboUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        form->SetPosition(poDesigned);
        form->SetColor(TColor(0xC0C0C0));
        combo = new TVovComboBox(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(150, 100, 120, 21);
        other = new TVovComboBox(form.get());
        other->SetParent(form.get());
        other->SetBounds(150, 200, 120, 21);
        for (const char16_t* s : { u"alpha", u"beta", u"gamma" })
            combo->GetItems()->Add(s);
    }
    void TearDown() override { form.reset(); }
    static void Pump() { Application->ProcessMessages(); }
    void Show()
    {
        form->Show();
        Pump();
    }
    // The pixel at a point of the combo's window (frame included).
    std::uint32_t WindowPixel(TVovCustomCombo* c, int x, int y)
    {
        const TPoint origin = c->GetParent()->ClientToScreen({ c->GetLeft(), c->GetTop() });
        return Headless::ScreenPixel({ origin.X + x, origin.Y + y }) & 0xFFFFFF;
    }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
    TVovComboBox* combo {};
    TVovComboBox* other {};
};

} // namespace

TEST_F(ComboUi, ButtonWidthTakesOnly14To32)
{
    const int initial = combo->GetButtonWidth();
    EXPECT_EQ(initial, GetSystemMetrics(SM_CXVSCROLL) + 2);
    const struct {
        int Set;
        int Expected;
    } cases[] = { { 13, initial }, { 33, initial }, { 14, 14 }, { 32, 32 }, { 0, 32 }, { -5, 32 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Set);
        combo->SetButtonWidth(c.Set);
        EXPECT_EQ(combo->GetButtonWidth(), c.Expected);
    }
}

TEST_F(ComboUi, LabelPlacements)
{
    form->HandleNeeded();
    EXPECT_EQ(combo->GetComboLabel(), nullptr);
    combo->SetLabelCaption(u"Country");
    TLabel* label = combo->GetComboLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetParent(), form.get());
    EXPECT_EQ(label->GetFocusControl(), combo);
    EXPECT_EQ(label->GetFont()->GetHeight(), -11);
    const int lh = label->GetHeight(), lw = label->GetWidth(), w = lw; // the label sizes itself to its caption
    ASSERT_GT(lw, 0);
    const int L = 150, T = 100, W = 120, H = combo->GetHeight(), M = 4;
    const struct {
        TLabelPosition Position;
        int Top, Left;
    } cases[] = {
        { lpLeftTop, T, L - w - M },
        { lpLeftCenter, T + (H - lh) / 2, L - w - M },
        { lpLeftBottom, T + H - lh, L - w - M },
        { lpTopLeft, T - lh - M, L },
        { lpBottomLeft, T + H + M, L },
        { lpLeftTopLeft, T, L - M },
        { lpLeftCenterLeft, T + (H - lh) / 2, L - M },
        { lpLeftBottomLeft, T + H - lh, L - M },
        { lpTopCenter, T - lh - M, L + (W - lw) / 2 },
        { lpBottomCenter, T + H + M, L + (W - lw) / 2 },
        { lpRightTop, T, L + W + M },
        { lpRightCenter, T + (H - lh) / 2, L + W + M },
        { lpRighBottom, T + H - lh, L + W + M },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Position));
        combo->SetLabelPosition(c.Position);
        EXPECT_EQ(label->GetTop(), c.Top);
        EXPECT_EQ(label->GetLeft(), c.Left);
    }
    // The label follows moves, the margin, visibility and the enabled state.
    combo->SetLabelPosition(lpRightTop);
    combo->SetLabelMargin(10);
    combo->SetBounds(20, 30, 100, H);
    EXPECT_EQ(label->GetLeft(), 20 + 100 + 10);
    EXPECT_EQ(label->GetTop(), 30);
    combo->SetVisible(false);
    EXPECT_FALSE(label->GetVisible());
    combo->SetVisible(true);
    EXPECT_TRUE(label->GetVisible());
    combo->SetEnabled(false);
    EXPECT_FALSE(label->GetEnabled());
    combo->SetEnabled(true);
    combo->SetLabelAlwaysEnabled(true);
    combo->SetEnabled(false);
    EXPECT_TRUE(label->GetEnabled());
}

TEST_F(ComboUi, FocusColourAndBoldLabel)
{
    combo->SetColor(TColor(0xE0FFFF));
    combo->SetFocusColor(TColor(0x00FFFF));
    combo->SetFocusLabel(true);
    combo->SetLabelCaption(u"Pick");
    Show();
    other->SetFocus();
    Pump();
    combo->SetFocus();
    Pump();
    EXPECT_EQ(combo->GetColor(), TColor(0x00FFFF));
    EXPECT_TRUE(combo->GetComboLabel()->GetFont()->GetStyle().Contains(fsBold));
    other->SetFocus();
    Pump();
    EXPECT_EQ(combo->GetColor(), TColor(0xE0FFFF));
    EXPECT_FALSE(combo->GetComboLabel()->GetFont()->GetStyle().Contains(fsBold));
}

TEST_F(ComboUi, LoadedColourIsRestoredAfterFocus)
{
    combo->IncludeComponentState(csLoading);
    combo->SetFlatParentColor(false);
    combo->SetColor(TColor(0xF0F0F0));
    combo->Loaded();
    combo->SetFocusColor(TColor(0x00FFFF));
    Show();
    combo->SetFocus();
    Pump();
    EXPECT_EQ(combo->GetColor(), TColor(0x00FFFF));
    other->SetFocus();
    Pump();
    EXPECT_EQ(combo->GetColor(), TColor(0xF0F0F0));
}

TEST_F(ComboUi, FlatComboTakesParentColourWhileDisabled)
{
    Show();
    combo->SetFlat(true);
    EXPECT_FALSE(combo->GetCtl3D());
    EXPECT_EQ(combo->GetColor(), form->GetBrush()->GetColor()); // flat takes its parent's colour
    combo->SetFlatParentColor(false);
    combo->SetColor(TColor(0x80FF80));
    combo->SetParentColor(false);
    combo->SetEnabled(false);
    EXPECT_TRUE(combo->GetParentColor());
    EXPECT_EQ(combo->GetColor(), form->GetColor());
    combo->SetEnabled(true);
    EXPECT_FALSE(combo->GetParentColor());
    EXPECT_EQ(combo->GetColor(), TColor(0x80FF80));
}

TEST_F(ComboUi, SelectItemOnlySelectsWhatIsThere)
{
    combo->SetItemIndex(1);
    combo->SelectItem(u"delta");
    EXPECT_EQ(combo->GetItemIndex(), 1);
    combo->SelectItem(u"gamma");
    EXPECT_EQ(combo->GetItemIndex(), 2);
}

TEST_F(ComboUi, BorderColourFramesAlwaysFocusBorderOnlyWhileFocused)
{
    combo->SetBorderColor(TColor(0x0000FF));
    other->SetFocusBorderColor(TColor(0xFF0000));
    Show();
    combo->SetFocus();
    Pump();
    EXPECT_EQ(WindowPixel(combo, 0, 5), 0xFF0000u);   // red, focused
    EXPECT_NE(WindowPixel(other, 0, 5), 0x0000FFu);   // blue only with the focus
    other->SetFocus();
    Pump();
    EXPECT_EQ(WindowPixel(combo, 0, 5), 0xFF0000u);   // red, not focused
    EXPECT_EQ(WindowPixel(other, 0, 5), 0x0000FFu);
    EXPECT_EQ(WindowPixel(other, other->GetWidth() - 1, other->GetHeight() - 1), 0x0000FFu);
    combo->SetFocus(); // leaving takes the focus frame away again
    Pump();
    EXPECT_NE(WindowPixel(other, 0, 5), 0x0000FFu);
    EXPECT_EQ(WindowPixel(combo, 0, 5), 0xFF0000u);
}

TEST_F(ComboUi, ColouredDropDownButton)
{
    combo->SetButtonColor(TColor(0x00FF00));
    combo->SetButtonTextColor(TColor(0x000080));
    Show();
    const int cw = combo->GetClientWidth();
    const TPoint client = combo->ClientToScreen({ 0, 0 });
    // Inside the button face, clear of the arrow.
    const TPoint face { client.X + cw - 3, client.Y + 3 };
    EXPECT_EQ(Headless::ScreenPixel(face) & 0xFFFFFF, 0x00FF00u);
    // The arrow: a triangle in the text colour.
    const int left = cw - combo->GetButtonWidth() + 2;
    const TPoint arrow { client.X + left + 7, client.Y + 2 + 8 };
    EXPECT_EQ(Headless::ScreenPixel(arrow) & 0xFFFFFF, 0x800000u);
}

TEST_F(ComboUi, ClosingTheListFiresOnDropUp)
{
    int ups = 0;
    combo->OnDropUp = [&](TObject* Sender) {
        EXPECT_EQ(Sender, combo);
        ++ups;
    };
    Show();
    combo->SetFocus();
    Pump();
    combo->SetDroppedDown(true);
    Pump();
    EXPECT_EQ(ups, 0);
    combo->SetDroppedDown(false);
    Pump();
    EXPECT_EQ(ups, 1);
}
