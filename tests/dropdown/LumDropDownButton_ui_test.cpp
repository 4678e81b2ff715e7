#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

constexpr TColor FormColor = TColor(0x00FFFF);

class TestDropDown : public TLumDropDown {
public:
    using TLumDropDown::TLumDropDown;
    using TLumCustomDropDown::SetFocusDraw;
};

struct EditOnForm : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TestDropDown* Edit { nullptr };
    TEdit* Other { nullptr };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(FormColor);
        Edit = new TestDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 40, 200, 21);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 120, 100, 21);
        Form->Show();
        Other->SetFocus();
        Application->ProcessMessages();
    }
    void TearDown() override { TStyleManager::SetStyle(u"Windows"); }

    static TColor Rgb(std::uint32_t argb)
    {
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
    // A pixel of the edit's window (frame included).
    TColor EditAt(int x, int y)
    {
        Application->ProcessMessages();
        return Rgb(Headless::ScreenPixel(Form->ClientToScreen({ Edit->GetLeft() + x, Edit->GetTop() + y })));
    }
    TLumDropDownSpeedButton* Speed() { return Edit->GetButton()->GetButton(); }
    TPoint ButtonScreen(int x, int y) { return Speed()->ClientToScreen({ x, y }); }
    TColor ButtonAt(int x, int y)
    {
        Application->ProcessMessages();
        return Rgb(Headless::ScreenPixel(ButtonScreen(x, y)));
    }
    // How many pixels of the edit's client area have that colour.
    int ClientPixels(TColor c)
    {
        Application->ProcessMessages();
        int n = 0;
        for (int y = 0; y < Edit->GetClientHeight(); ++y)
            for (int x = 0; x < Edit->GetClientWidth() - 20; ++x)
                n += Rgb(Headless::ScreenPixel(Edit->ClientToScreen({ x, y }))) == c;
        return n;
    }
};

} // namespace

TEST_F(EditOnForm, ButtonSitsInsideTheRightEdge)
{
    TDropDownEditButton* Button = Edit->GetButton();
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button->GetParent(), Edit);
    EXPECT_EQ(Button->GetFocusControl(), Edit);
    EXPECT_EQ(Edit->GetDropDownButtonWidth(), 17);  // the setting says 17, the button is 16 wide
    EXPECT_EQ(Button->GetWidth(), 16);
    EXPECT_EQ(Button->GetLeft(), 200 - 16 - 4);
    EXPECT_EQ(Button->GetTop(), 0);
    EXPECT_EQ(Button->GetHeight(), 21 - 4);
    EXPECT_EQ(Speed()->GetWidth(), 16);
    // The text stops short of the button.
    EXPECT_EQ(Edit->GetEditRect().Right, Edit->GetClientWidth() - 17 - 3);

    Edit->SetDropDownButtonWidth(17);  // the same setting: nothing moves
    EXPECT_EQ(Button->GetWidth(), 16);
    Edit->SetDropDownButtonWidth(20);
    EXPECT_EQ(Button->GetWidth(), 20);
    EXPECT_EQ(Button->GetLeft(), 200 - 20 - 4);
    EXPECT_EQ(Edit->GetEditRect().Right, Edit->GetClientWidth() - 20 - 3);

    // Rescaling gives the button its width at the form's scale.
    Edit->SetDropDownButtonWidth(17);
    Edit->GetButton()->SetBWidth(16);
    Edit->ChangeScale(1, 1);
    EXPECT_EQ(Button->GetWidth(), 17);

    // A borderless edit keeps the button one pixel down and two short.
    Edit->SetBorderStyle(bsNone);
    Edit->ResizeControl();
    EXPECT_EQ(Button->GetTop(), 1);
    EXPECT_EQ(Button->GetHeight(), Edit->GetHeight() - 2);
}

TEST_F(EditOnForm, MinimumHeight)
{
    const int least = Edit->MinimumEditHeight();
    EXPECT_GT(least, 10);
    EXPECT_LT(least, 21);
    Edit->SetHeight(5);
    Application->ProcessMessages();
    EXPECT_EQ(Edit->GetHeight(), least);
    Edit->SetHeight(30);
    EXPECT_EQ(Edit->GetHeight(), 30);
}

TEST_F(EditOnForm, ClassicButton)
{
    EXPECT_EQ(ButtonAt(8, 8), clBlack);             // the triangle (5,7) (11,7) (8,10)
    EXPECT_EQ(ButtonAt(6, 7), clBlack);
    EXPECT_NE(ButtonAt(8, 12), clBlack);
    EXPECT_EQ(ButtonAt(3, 1), clWhite);             // the light inner frame
    EXPECT_EQ(ButtonAt(3, 0), ColorToRGB(clBtnFace));
}

TEST_F(EditOnForm, CustomColourChevron)
{
    Edit->SetComponentStyle(tsOffice2019Gray);
    const TColor Face = 0xB8BBBE, Arrow = 0x232425;
    // cx = 8, cy = 8: (5, 7) -> (8, 10) -> (12, 6), the end point left out.
    EXPECT_EQ(ButtonAt(2, 2), Face);
    EXPECT_EQ(ButtonAt(5, 7), Arrow);
    EXPECT_EQ(ButtonAt(6, 8), Arrow);
    EXPECT_EQ(ButtonAt(8, 10), Arrow);
    EXPECT_EQ(ButtonAt(11, 7), Arrow);
    EXPECT_EQ(ButtonAt(12, 6), Face);
    EXPECT_EQ(ButtonAt(8, 8), Face);

    // Hot, then pressed.
    Headless::MouseMove(ButtonScreen(2, 2));
    EXPECT_EQ(ButtonAt(2, 2), TColor(0x969696));
    Edit->GetButton()->OnClick = [](TObject*) { };
    Headless::MouseDown(ButtonScreen(2, 2));
    EXPECT_EQ(ButtonAt(2, 2), TColor(0x666666));
    Headless::MouseUp(ButtonScreen(2, 2));

    // With a border colour the button gets a line at its left edge.
    Edit->SetBorderColor(0x0000FF);
    EXPECT_EQ(ButtonAt(0, 5), TColor(0x0000FF));
}

TEST(LumDropDownChevron, DoubleScale)
{
    TBitmap Bitmap;
    Bitmap.SetSize(40, 40);
    TCanvas* Canvas = Bitmap.GetCanvas();
    Canvas->GetBrush()->SetColor(clWhite);
    Canvas->FillRect(TRect(0, 0, 40, 40));
    // cx = cy = 20, r(1) = 2 is even: (12, 16) -> (20, 23) -> (29, 15), a 2-pixel pen.
    LumDropDown::DrawChevron(Canvas, TRect(0, 0, 40, 40), 2.0, clBlack);
    auto Ink = [&](int x, int y) { return (Canvas->GetPixel(x, y) & 0xFFFFFF) == 0; };
    EXPECT_TRUE(Ink(12, 16));
    EXPECT_TRUE(Ink(20, 23));
    EXPECT_TRUE(Ink(16, 20) || Ink(16, 19));
    EXPECT_TRUE(Ink(26, 17) || Ink(26, 18));
    EXPECT_FALSE(Ink(20, 19));
    EXPECT_FALSE(Ink(20, 26));
    EXPECT_FALSE(Ink(11, 12));
    // Two pixels wide: a vertical cut through the left arm meets two or more.
    int cut = 0;
    for (int y = 10; y < 30; ++y)
        cut += Ink(14, y);
    EXPECT_GE(cut, 2);
    EXPECT_LE(cut, 4);
}

TEST_F(EditOnForm, GlyphOnlyWithoutCustomColours)
{
    TBitmap Glyph;
    Glyph.SetSize(8, 8);
    Glyph.GetCanvas()->GetBrush()->SetColor(clWhite);  // the bottom-left colour is transparent
    Glyph.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    Glyph.GetCanvas()->GetBrush()->SetColor(clRed);
    Glyph.GetCanvas()->FillRect(TRect(2, 2, 6, 6));
    Edit->SetDropDownButtonGlyph(&Glyph);
    // Centred: (16 - 8) / 2, (17 - 8) / 2.
    EXPECT_EQ(ButtonAt(6, 6), clRed);
    EXPECT_EQ(ButtonAt(4, 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(ButtonAt(0, 0), TColor(0x808080));    // the grey frame of the glyph look

    Edit->SetComponentStyle(tsOffice2019Gray);
    EXPECT_EQ(ButtonAt(6, 6), TColor(0xB8BBBE));    // custom colours never show the glyph
}

TEST_F(EditOnForm, ApplicationStyleButton)
{
    TStyleManager::SetStyle(u"Amethyst Kamri");
    Speed()->Invalidate();
    auto Reference = [&](TThemedComboBox Part) {
        TBitmap Bitmap;
        Bitmap.SetSize(Speed()->GetWidth(), Speed()->GetHeight());
        StyleServices()->DrawElement(Bitmap.GetCanvas()->GetHandle(), StyleServices()->GetElementDetails(Part),
            TRect(0, 0, Bitmap.GetWidth(), Bitmap.GetHeight()));
        int Differences = 0;
        for (int y = 0; y < Bitmap.GetHeight(); ++y)
            for (int x = 0; x < Bitmap.GetWidth(); ++x)
                Differences += ButtonAt(x, y) != TColor(Bitmap.GetCanvas()->GetPixel(x, y) & 0xFFFFFF);
        return Differences;
    };
    EXPECT_EQ(Reference(tcDropDownButtonNormal), 0);
    Headless::MouseMove(ButtonScreen(3, 3));
    EXPECT_EQ(Reference(tcDropDownButtonHot), 0);
    EXPECT_GT(Reference(tcDropDownButtonNormal), 0);
}

TEST_F(EditOnForm, Frames)
{
    const TColor Standard = EditAt(0, 0);
    EXPECT_NE(Standard, TColor(0x0000FF));

    Edit->SetBorderColor(0x0000FF);
    EXPECT_EQ(EditAt(0, 0), TColor(0x0000FF));
    EXPECT_EQ(EditAt(199, 20), TColor(0x0000FF));
    Edit->SetBorderColor(clNone);
    EXPECT_EQ(EditAt(0, 0), Standard);

    // The focus colour shows only while focused.
    Edit->SetFocusBorderColor(0x00FF00);
    EXPECT_EQ(EditAt(0, 0), Standard);
    Edit->SetFocus();
    EXPECT_EQ(EditAt(0, 0), TColor(0x00FF00));
    EXPECT_EQ(EditAt(100, 20), TColor(0x00FF00));
    Other->SetFocus();
    EXPECT_EQ(EditAt(0, 0), Standard);

    // With both colours the focus colour wins while focused.
    Edit->SetBorderColor(0x0000FF);
    EXPECT_EQ(EditAt(0, 0), TColor(0x0000FF));
    Edit->SetFocus();
    EXPECT_EQ(EditAt(0, 0), TColor(0x00FF00));
    Other->SetFocus();
    EXPECT_EQ(EditAt(0, 0), TColor(0x0000FF));
}

TEST_F(EditOnForm, DisabledFrames)
{
    Edit->SetEnabled(false);
    EXPECT_EQ(EditAt(0, 0), TColor(0xC0C0C0));
    EXPECT_EQ(EditAt(199, 10), TColor(0xC0C0C0));
    EXPECT_FALSE(Edit->GetButton()->GetEnabled());
    EXPECT_FALSE(Speed()->GetEnabled());

    // Without the disabled border: two frames in the parent's colour.
    Edit->SetDisabledBorder(false);
    Edit->DrawBorders();
    EXPECT_EQ(EditAt(0, 0), FormColor);
    EXPECT_EQ(EditAt(1, 1), FormColor);
    EXPECT_EQ(EditAt(100, 19), FormColor);

    Edit->SetEnabled(true);
    EXPECT_TRUE(Speed()->GetEnabled());
}

TEST_F(EditOnForm, EmptyText)
{
    Edit->SetEmptyText(u"Search");
    Edit->GetFont()->SetColor(clBlack);
    const TColor Grey = 0x808080;
    EXPECT_GT(ClientPixels(Grey), 10);

    Edit->SetFocus();
    Edit->Invalidate();
    EXPECT_EQ(ClientPixels(Grey), 0);  // hidden while focused
    Edit->SetEmptyTextFocused(true);
    Edit->Invalidate();
    EXPECT_GT(ClientPixels(Grey), 10);

    Other->SetFocus();
    Edit->SetText(u"x");
    EXPECT_EQ(ClientPixels(Grey), 0);  // a value hides it
}

TEST_F(EditOnForm, FocusedTextOfAPureSelector)
{
    Edit->SetText(u"Value");
    Edit->SetEditorEnabled(false);
    Edit->SetFocus();
    Edit->Invalidate();
    // R = (2, 2, 200 - 17 - 1, 19): a black outline round a highlight fill.
    EXPECT_EQ(EditAt(2, 2), clBlack);
    EXPECT_EQ(EditAt(181, 18), clBlack);
    // The text in the highlight text colour (white, smoothed at its edges).
    int Highlight = 0, Text = 0, Dark = 0;
    for (int x = 3; x < 181; ++x) {
        Highlight += EditAt(x, 4) == ColorToRGB(clHighlight);
        for (int y = 3; y < 18; ++y) {
            const TColor c = EditAt(x, y);
            Text += c != ColorToRGB(clHighlight);
            Dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 0x60;
        }
    }
    EXPECT_GT(Highlight, 150);
    EXPECT_GT(Text, 20);
    EXPECT_EQ(Dark, 0);

    // A typeable edit paints no such rectangle.
    Edit->SetEditorEnabled(true);
    Edit->Invalidate();
    EXPECT_NE(EditAt(2, 2), clBlack);

    // Nor does one that does not draw its focus.
    Edit->SetEditorEnabled(false);
    Edit->SetFocusDraw(false);
    Edit->Invalidate();
    EXPECT_NE(EditAt(2, 2), clBlack);
}

TEST_F(EditOnForm, OnlyALeftReleaseFocusesAndClicks)
{
    int clicks = 0;
    Edit->GetButton()->OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Edit->GetButton());
        ++clicks;
    };
    Headless::Click(ButtonScreen(5, 5), 1);
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Other->Focused());

    Headless::Click(ButtonScreen(5, 5));
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Edit->Focused());
}
