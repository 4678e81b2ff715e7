#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dropdown/LumButton.h"
#include "dropdown/LumDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

constexpr TColor PanelColor = TColor(0x00FFFF);

// Records how the buttons close it.
class RecordingDropDown : public TLumDropDown {
public:
    using TLumDropDown::TLumDropDown;
    std::vector<bool> Closes;
    void DoHideDropDown(bool Cancel) override { Closes.push_back(Cancel); }
};

struct ButtonOnPanel : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TPanel* Panel { nullptr };
    RecordingDropDown* DropDown { nullptr };
    TLumButtonAppearance Look;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Panel = new TPanel(Form.get());
        Panel->SetParent(Form.get());
        Panel->SetBounds(10, 10, 300, 100);
        Panel->SetBevelOuter(bvNone);
        Panel->SetColor(PanelColor);
        Panel->SetParentBackground(false);
        DropDown = new RecordingDropDown(Form.get());
        DropDown->SetParent(Form.get());
        DropDown->SetBounds(10, 150, 100, 21);
        Look.SetColor(0x0000FF);
        Look.SetColorTo(0xFF0000);
        Look.SetColorHot(0x00FF00);
        Look.SetColorHotTo(0x00FFFF);
        Look.SetColorDown(0x808000);
        Look.SetColorDownTo(0x008080);
        Look.SetColorChecked(0x800080);
        Look.SetColorCheckedTo(0x000080);
        Look.SetBorderColor(clNone);
        Look.SetBorderColorHot(clNone);
        Look.SetBorderColorDown(clNone);
        Look.SetBorderColorChecked(clNone);
        Form->Show();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    TLumButton* Make(int Left, const String& Caption = u"OK", TModalResult Result = mrNone)
    {
        auto* B = new TLumButton(Panel);
        B->SetParent(Panel);
        B->SetAppearance(&Look);
        B->SetCaption(Caption);
        B->SetModalResult(Result);
        B->SetLumDropDown(DropDown);
        B->SetBounds(Left, 10, 60, 30);
        Pump();
        return B;
    }
    static TColor Rgb(std::uint32_t Argb)
    {
        return TColor(((Argb >> 16) & 0xFF) | (Argb & 0xFF00) | ((Argb & 0xFF) << 16));
    }
    static TColor At(TControl* C, int X, int Y)
    {
        Pump();
        return Rgb(Headless::ScreenPixel(C->ClientToScreen({ X, Y })));
    }
    static TPoint Screen(TControl* C, int X, int Y) { return C->ClientToScreen({ X, Y }); }
};

} // namespace

TEST_F(ButtonOnPanel, ModalResultsCloseTheDropDown)
{
    struct Case {
        TModalResult Result;
        int Closes;  // 0 open, 1 accepted, 2 cancelled
    };
    const Case Cases[] = {
        { mrOk, 1 }, { mrYes, 1 }, { mrAll, 1 }, { mrYesToAll, 1 }, { mrCancel, 2 }, { mrAbort, 2 }, { mrIgnore, 2 },
        { mrNo, 2 }, { mrNoToAll, 2 }, { mrNone, 0 }, { mrRetry, 0 }, { mrClose, 0 }, { mrHelp, 0 },
        { mrTryAgain, 0 }, { mrContinue, 0 },
    };
    TLumButton* B = Make(10);
    int Clicks = 0;
    B->OnClick = [&](TObject*) { ++Clicks; };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Result);
        DropDown->Closes.clear();
        Clicks = 0;
        B->SetModalResult(C.Result);
        B->Click();
        EXPECT_EQ(Clicks, 1);
        EXPECT_EQ(Form->GetModalResult(), C.Result);
        if (C.Closes == 0) {
            EXPECT_TRUE(DropDown->Closes.empty());
        } else {
            ASSERT_EQ(DropDown->Closes.size(), 1u);
            EXPECT_EQ(DropDown->Closes[0], C.Closes == 2);
        }
    }
}

TEST_F(ButtonOnPanel, KeyboardClosesWithoutClickMouseClicksAfterClosing)
{
    TLumButton* B = Make(10, u"OK", mrOk);
    std::vector<String> Events;
    B->OnClick = [&](TObject*) { Events.push_back(DropDown->Closes.empty() ? u"click while open" : u"click"); };
    B->SetFocus();
    Pump();
    Headless::Key(VK_RETURN);
    Pump();
    ASSERT_EQ(DropDown->Closes.size(), 1u);
    EXPECT_FALSE(DropDown->Closes[0]);
    EXPECT_TRUE(Events.empty());

    DropDown->Closes.clear();
    Headless::Click(Screen(B, 5, 5));
    Pump();
    ASSERT_EQ(DropDown->Closes.size(), 1u);
    ASSERT_EQ(Events.size(), 1u);
    EXPECT_EQ(Events[0], u"click");
}

TEST_F(ButtonOnPanel, Looks)
{
    TLumButton* B = Make(10, u"");
    TLumButton* Away = Make(200, u"");
    // Normal: a vertical gradient from Color to ColorTo (its bands overlap,
    // so the first row already has a little of the second colour).
    EXPECT_GT(At(B, 30, 0) & 0xFF, 0xF0u);
    EXPECT_LT(At(B, 30, 0) & 0xFF0000, 0x100000u);
    EXPECT_GT(At(B, 30, 28) & 0xFF0000, 0xC00000u);
    // Hot, pressed and latched looks are solid.
    Headless::MouseMove(Screen(B, 30, 15));
    EXPECT_EQ(At(B, 30, 1), TColor(0x00FF00));
    EXPECT_EQ(At(B, 30, 28), TColor(0x00FF00));
    Headless::MouseDown(Screen(B, 30, 15));
    EXPECT_EQ(At(B, 30, 1), TColor(0x808000));
    EXPECT_EQ(At(B, 30, 28), TColor(0x808000));
    Headless::MouseUp(Screen(B, 30, 15));
    Headless::MouseMove(Screen(Away, 5, 5));
    B->SetGroupIndex(1);
    B->SetDown(true);
    EXPECT_EQ(At(B, 30, 1), TColor(0x800080));
    EXPECT_EQ(At(B, 30, 28), TColor(0x800080));
    // A border colour outlines the button.
    B->SetDown(false);
    B->SetAllowAllUp(true);
    B->SetDown(false);
    Look.SetBorderColor(0x123456);
    B->Invalidate();
    EXPECT_EQ(At(B, 0, 0), TColor(0x123456));
    EXPECT_EQ(At(B, 59, 29), TColor(0x123456));

    // Disabled: ColorDisabled to ColorDisabledTo.
    Look.SetColorDisabled(0x404040);
    Look.SetColorDisabledTo(clNone);
    B->SetEnabled(false);
    EXPECT_EQ(At(B, 30, 15), TColor(0x404040));

    // Without an appearance only the parent shows.
    B->SetAppearance(nullptr);
    EXPECT_EQ(At(B, 30, 15), PanelColor);
    EXPECT_EQ(At(B, 0, 0), PanelColor);
}

TEST_F(ButtonOnPanel, HoverEndsWhenThePointerIsGone)
{
    TLumButton* B = Make(10, u"");
    Headless::MouseMove(Screen(Panel, 250, 80));
    Pump();
    // An enter without the pointer over the button, as when a window opened
    // over it: the 1 ms timer finds the pointer gone.
    B->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(B->GetMouseInControl());
    Session.PassTime(20);  // window timers tick at 10 ms at the soonest
    EXPECT_FALSE(B->GetMouseInControl());
    EXPECT_GT(At(B, 30, 1) & 0xFF, 0xE0u);  // the normal look again
}

TEST_F(ButtonOnPanel, SizeToContent)
{
    TCustomImageList Images(16, 30);
    TBitmap Red;
    Red.SetSize(16, 30);
    Images.Add(&Red, nullptr);
    TLumButton* B = Make(10, u"A long caption");
    B->SizeToContent();
    TBitmap Measure;
    Measure.GetCanvas()->GetFont()->Assign(Look.GetFont());
    const TSize Text = LumDropDown::TextExtent(Measure.GetCanvas(), u"A long caption");
    EXPECT_EQ(B->GetWidth(), Text.cx + 8);
    EXPECT_EQ(B->GetHeight(), Text.cy + 4);
    // With an image the larger of the two counts in each direction, not the sum.
    B->SetImages(&Images);
    B->SetImageIndex(0);
    B->SizeToContent();
    EXPECT_EQ(B->GetWidth(), Text.cx + 8);
    EXPECT_EQ(B->GetHeight(), 30 + 4);
    B->SetCaption(u"");
    B->SizeToContent();
    EXPECT_EQ(B->GetWidth(), 16 + 8);
    B->SetAppearance(nullptr);
    B->SetCaption(u"x");
    B->SizeToContent();  // nothing without an appearance
    EXPECT_EQ(B->GetWidth(), 16 + 8);
}

TEST_F(ButtonOnPanel, GroupsKeepOneButtonDown)
{
    TLumButton* A = Make(10);
    TLumButton* B = Make(80);
    TLumButton* C = Make(150);
    for (TLumButton* X : { A, B, C })
        X->SetGroupIndex(3);
    C->SetGroupIndex(4);
    Headless::Click(Screen(A, 5, 5));
    Pump();
    EXPECT_TRUE(A->GetDown());
    Headless::Click(Screen(B, 5, 5));
    Pump();
    EXPECT_TRUE(B->GetDown());
    EXPECT_FALSE(A->GetDown());
    EXPECT_EQ(B->GetState(), absExclusive);
    Headless::Click(Screen(B, 5, 5));  // the down button stays down without AllowAllUp
    Pump();
    EXPECT_TRUE(B->GetDown());
    C->SetDown(true);  // another group
    EXPECT_TRUE(B->GetDown());

    // A push button outside a group never latches; a check button toggles.
    TLumButton* Plain = Make(220);
    Plain->SetDown(true);
    EXPECT_FALSE(Plain->GetDown());
    Plain->SetStyle(tasCheck);
    Headless::Click(Screen(Plain, 5, 5));
    Pump();
    EXPECT_TRUE(Plain->GetDown());
    Headless::Click(Screen(Plain, 5, 5));
    Pump();
    EXPECT_FALSE(Plain->GetDown());
}
