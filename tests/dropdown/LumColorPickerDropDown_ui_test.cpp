#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumColorPickerDropDown.h"
#include "dropdown/LumDropDownForm.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

constexpr TColor Hex(std::uint32_t rrggbb)
{
    return TColor(((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16));
}

struct Picker : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumColorPickerDropDown* P { nullptr };
    int Selects { 0 };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 320, 240);
        P = new TLumColorPickerDropDown(Form.get());
        P->SetBounds(10, 10, 180, 22);
        P->SetParent(Form.get());
        P->OnSelect = [this](TObject* Sender) {
            EXPECT_EQ(Sender, P);
            ++Selects;
        };
        Form->Show();
        Application->ProcessMessages();
    }
    void DefaultColours()
    {
        P->BeginUpdate();
        P->AddDefaultColors();
        P->EndUpdate();
    }
    void Key(WORD K)
    {
        P->Perform(WM_KEYDOWN, K, 0);
        Application->ProcessMessages();
    }
    TDropDownForm* Window() const { return P->GetDropDownForm(); }
};

} // namespace

TEST_F(Picker, ColourValuesAndTheirText)
{
    EXPECT_EQ(P->GetColors()->GetCount(), 0);
    EXPECT_EQ(P->GetSelectedColor(), clNone);
    EXPECT_FALSE(P->GetEditorEnabled());
    EXPECT_EQ(P->GetDropDownHeight(), 200);
    ASSERT_NE(P->GetItemSelector(), nullptr);

    P->SetSelectedColor(clBtnFace);
    EXPECT_EQ(P->GetSelectedColor(), ColorToRGB(clBtnFace));
    EXPECT_NE(P->GetSelectedColor(), clBtnFace);

    DefaultColours();
    ASSERT_EQ(P->GetItemSelector()->GetItems()->GetCount(), 16);
    P->SetSelectedColor(Hex(0xFF0000));
    EXPECT_EQ(P->GetItemIndex(), 9);
    EXPECT_EQ(P->GetSelectedColorText(), u"Red");

    P->SetSelectedColor(Hex(0x123456));
    EXPECT_EQ(P->GetItemIndex(), -1);
    struct Case {
        TColorValueText format;
        const char16_t* text;
    };
    const Case cases[] = {
        { cvtNone, u"" },
        { cvtHTML, u"#123456" },
        { cvtRGB, u"Red:18,Green:52,Blue:86" },
        { cvtHex, u"563412" },
        { cvtWebName, u"#123456" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        P->SetColorValueText(c.format);
        EXPECT_EQ(P->GetSelectedColorText(), String(c.text));
    }
    P->SetSelectedColor(Hex(0xFFFAFA));
    P->SetColorValueText(cvtWebName);
    EXPECT_EQ(P->GetSelectedColorText(), u"clWebSnow");

    // An index past the list is no entry.
    P->SetItemIndex(16);
    EXPECT_EQ(P->GetItemIndex(), -1);
}

TEST_F(Picker, TypingSelectsByNameWithinHalfASecond)
{
    TManualClock Clock(1000);
    TClockOverride Override(Clock);
    DefaultColours();

    Key('B');
    EXPECT_EQ(P->GetItemIndex(), 0);  // Black
    Clock.PassTime(300);
    Key('L');
    EXPECT_EQ(P->GetItemIndex(), 12);  // Blue
    EXPECT_EQ(P->GetSelectedColorText(), u"Blue");
    // Half a second after the first key the search starts anew.
    Clock.PassTime(300);
    Application->ProcessMessages();
    Key('G');
    EXPECT_EQ(P->GetItemIndex(), 2);  // Green, not "BLG"
}

TEST_F(Picker, PagingAndArrowsWhileClosed)
{
    DefaultColours();
    P->SetItemIndex(12);
    P->ConfigureListSelector();
    TLumCustomItemSelector* S = P->GetItemSelector();
    TRect R;
    S->GetItemSelectorPanel()->GetItemRect(0, R);
    ASSERT_GT(R.Height(), 0);
    S->SetBounds(0, 0, 300, 10 * R.Height() + R.Height() / 2);
    ASSERT_EQ(S->GetVisibleItemCount(), 10);
    Key(VK_NEXT);
    EXPECT_EQ(P->GetItemIndex(), 15);
    Key(VK_PRIOR);
    EXPECT_EQ(P->GetItemIndex(), 5);
    Key(VK_UP);
    EXPECT_EQ(P->GetItemIndex(), 4);
    Key(VK_HOME);
    EXPECT_EQ(P->GetItemIndex(), 0);
    Key(VK_UP);
    EXPECT_EQ(P->GetItemIndex(), 0);
    Key(VK_END);
    EXPECT_EQ(P->GetItemIndex(), 15);
    Key(VK_DOWN);
    EXPECT_EQ(P->GetItemIndex(), 15);
}

TEST_F(Picker, CancelRestoresTheColourHeldAtOpening)
{
    DefaultColours();
    // csList opened on a colour no entry holds.
    P->SetSelectedColor(Hex(0x123456));
    P->ShowDropDown();
    ASSERT_TRUE(P->GetDroppedDown());
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(P->GetItemIndex(), 1);
    EXPECT_TRUE(Window()->GetVisible());  // arrows do not close
    P->HideDropDown(true);
    EXPECT_EQ(P->GetItemIndex(), -1);
    EXPECT_EQ(P->GetSelectedColor(), Hex(0x123456));

    // csDiscrete opened on a colour outside the palette.
    P->SetColorSelectionStyle(csDiscrete);
    P->ShowDropDown();
    ASSERT_TRUE(P->GetDroppedDown());
    Key(VK_DOWN);
    EXPECT_EQ(P->GetColorPanel()->GetItemIndex(), 0);
    EXPECT_EQ(P->GetSelectedColor(), Hex(0xFFFFFF));
    EXPECT_TRUE(Window()->GetVisible());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Window()->GetVisible());
    EXPECT_EQ(P->GetSelectedColor(), Hex(0x123456));
    EXPECT_EQ(P->GetColorPanel()->GetSelectedColor(), Hex(0x123456));
    EXPECT_EQ(P->GetColorPanel()->GetItemIndex(), -1);
}

TEST_F(Picker, EachStyleSizesItsWindowAndPanelChoicesLeaveNoEntry)
{
    DefaultColours();
    P->SetSelectedColor(Hex(0xFF0000));
    ASSERT_EQ(P->GetItemIndex(), 9);
    const int B = 2 * P->GetDropDownBorderWidth();
    struct Case {
        TColorSelectionStyle style;
        int w, h;
    };
    const Case cases[] = { { csDiscrete, 165, 84 }, { csColorCube, 182, 160 }, { csSpectrum, 150, 174 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        P->SetColorSelectionStyle(c.style);
        P->ShowDropDown();
        ASSERT_TRUE(Window()->GetVisible());
        EXPECT_EQ(Window()->GetWidth(), c.w + B);
        EXPECT_EQ(Window()->GetHeight(), c.h + B);
        P->HideDropDown(false);
    }

    // A click in the cube takes the cell's colour and leaves no entry.
    P->SetColorSelectionStyle(csColorCube);
    P->ShowDropDown();
    TLumColorCubePanel* Cube = P->GetCubePanel();
    const TPoint C = Cube->GetCubeCellCenter(118);  // #FF0000
    Cube->MouseDown(mbLeft, {}, C.X, C.Y);
    EXPECT_FALSE(Window()->GetVisible());
    EXPECT_EQ(P->GetSelectedColor(), Hex(0xFF0000));
    EXPECT_EQ(P->GetItemIndex(), -1);
    P->SetColorValueText(cvtHTML);
    EXPECT_EQ(P->GetSelectedColorText(), u"#FF0000");

    // A click on a list entry closes the window.
    P->SetColorSelectionStyle(csList);
    P->ShowDropDown();
    ASSERT_TRUE(Window()->GetVisible());
    TCustomItemSelector* Panel = P->GetItemSelector()->GetItemSelectorPanel();
    TRect R;
    Panel->GetItemRect(3, R);
    Panel->MouseDown(mbLeft, {}, R.Left + 2, R.Top + 2);
    EXPECT_FALSE(Window()->GetVisible());
    EXPECT_EQ(P->GetItemIndex(), 3);
    EXPECT_EQ(P->GetSelectedColorText(), u"Olive");
}

TEST_F(Picker, EditShowsTheColourBoxOnlyForAColour)
{
    auto Pixel = [this](int x, int y) {
        Application->ProcessMessages();
        RECT W;
        GetWindowRect(P->GetHandle(), W);
        const std::uint32_t argb = Headless::ScreenPixel(TPoint(W.Left + x, W.Top + y));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    };
    // The box: 14 x 14 from x = 5, vertically centred in the 22-pixel edit.
    const int X = 5 + 7, Y = (22 - 14) / 2 + 1 + 7;
    P->Invalidate();
    // No colour: no box, the edit's own background (the focused edit's highlight) all along.
    EXPECT_EQ(Pixel(5, Y), Pixel(60, Y));
    EXPECT_EQ(Pixel(X, Y), Pixel(60, Y));

    P->SetSelectedColor(Hex(0xFF0000));
    P->Invalidate();
    EXPECT_EQ(Pixel(X, Y), Hex(0xFF0000));
    EXPECT_EQ(Pixel(5, Y), clBlack);  // the box's border

    P->OnDrawSelectedColor = [](TObject*, TCanvas* Canvas, TRect& R) {
        Canvas->GetBrush()->SetColor(Hex(0x00FF00));
        Canvas->FillRect(R);
    };
    P->Invalidate();
    EXPECT_EQ(Pixel(X, Y), Hex(0x00FF00));
}
