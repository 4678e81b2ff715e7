#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumCalcButtonPanel.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

struct Keypad : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TCustomButtonPanel* Panel { nullptr };
    std::vector<int> Clicks;

    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(clWhite);
        Panel = new TCustomButtonPanel(Form.get());
        Panel->SetBounds(20, 20, 228, 150);
        Panel->SetParent(Form.get());
        Panel->OnButtonClick = [this](TObject* Sender, int Index) {
            EXPECT_EQ(Sender, Panel);
            Clicks.push_back(Index);
        };
        Panel->BuildButtons();
        Form->Show();
        Application->ProcessMessages();
    }
    int Find(const String& Name) const
    {
        for (int i = 0; i < Panel->GetButtons()->GetCount(); ++i)
            if (Panel->GetButtons()->GetItem(i)->GetName() == Name)
                return i;
        return -1;
    }
    TRect RectOf(const String& Name) const { return Panel->GetButtonRect(Find(Name)); }
    TPoint Centre(const String& Name) const
    {
        const TRect R = RectOf(Name);
        return Panel->ClientToScreen({ (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2 });
    }
    TColor At(int x, int y)
    {
        Application->ProcessMessages();
        const std::uint32_t argb = Headless::ScreenPixel(Panel->ClientToScreen({ x, y }));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
    void Hover(const String& Name)
    {
        Headless::MouseMove(Centre(Name));
        Application->ProcessMessages();
    }
};

} // namespace

TEST_F(Keypad, CalculatorLayout)
{
    ASSERT_EQ(Panel->GetButtons()->GetCount(), 28);
    // Area 212 x 134: buttons 34 x 26; groups 4 apart, neighbours share a pixel.
    const int c[] = { 8, 46, 79, 112, 150, 183 };
    const int r[] = { 8, 38, 63, 88, 113 };
    struct Case {
        const char16_t* name;
        int left, top, width;
    };
    const Case cases[] = {
        { u"BTN_ON", c[0], r[0], 34 },
        { u"BTN_BACK", 46, r[0], 54 },
        { u"BTN_CE", 104, r[0], 54 },
        { u"BTN_C", 162, r[0], 55 },
        { u"BTN_MC", c[0], r[1], 34 },
        { u"BTN_7", c[1], r[1], 34 },
        { u"BTN_sqrt", c[5], r[1], 34 },
        { u"BTN_5", c[2], r[2], 34 },
        { u"BTN_%", c[5], r[2], 34 },
        { u"BTN_3", c[3], r[3], 34 },
        { u"BTN_-", c[4], r[3], 34 },
        { u"BTN_M+", c[0], r[4], 34 },
        { u"BTN_+/-", c[2], r[4], 34 },
        { u"BTN_=", c[5], r[4], 34 },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << String(k.name).size());
        EXPECT_EQ(RectOf(k.name), TRect(k.left, k.top, k.left + k.width, k.top + 26));
    }
    // The table's order, tags and special keys.
    const TCalcButtonItem* Back = Panel->GetButtons()->GetItem(1);
    EXPECT_EQ(Back->GetName(), u"BTN_BACK");
    EXPECT_EQ(Back->GetTag(), 31);
    EXPECT_TRUE(Back->GetSpecial());
    EXPECT_EQ(Back->GetCaptionColor(), TColor(0x000080));
    const TCalcButtonItem* Eight = Panel->GetButtons()->GetItem(12);
    EXPECT_EQ(Eight->GetCaption(), u"8");
    EXPECT_FALSE(Eight->GetSpecial());
    EXPECT_EQ(Eight->GetCaptionColor(), TColor(0xFFFFFF));
    EXPECT_EQ(Panel->GetButtons()->GetItem(27)->GetTag(), 37);

    EXPECT_EQ(Panel->ButtonAtPos(46, 38), Find(u"BTN_7"));
    EXPECT_EQ(Panel->ButtonAtPos(80, 38), Find(u"BTN_8"));  // the shared pixel belongs to the first
    EXPECT_EQ(Panel->ButtonAtPos(43, 50), -1);               // the gap between groups
    EXPECT_EQ(Panel->GetButtonRect(28), TRect(-1, -1, -1, -1));

    // A new size lays the keys out again.
    Panel->SetBounds(20, 20, 300, 200);
    EXPECT_EQ(RectOf(u"BTN_7").Width(), (300 - 16 - 8) / 6);
}

TEST_F(Keypad, BuildingAndCustomPanels)
{
    Panel->GetButtons()->GetItem(9)->SetCaption(u"one");
    Panel->BuildButtons();  // full already: only the layout runs
    EXPECT_EQ(Panel->GetButtons()->GetCount(), 28);
    EXPECT_EQ(Panel->GetButtons()->GetItem(9)->GetCaption(), u"one");
    Panel->ResetButtons();
    EXPECT_EQ(Panel->GetButtons()->GetCount(), 28);
    EXPECT_EQ(Panel->GetButtons()->GetItem(9)->GetCaption(), u"1");

    // A custom panel keeps the rectangles it is given.
    Panel->SetButtonPanelType(plCustom);
    Panel->GetButtons()->GetItem(0)->SetRect(1, 2, 30, 40);
    Panel->SetBounds(20, 20, 300, 220);
    EXPECT_EQ(Panel->GetButtonRect(0), TRect(1, 2, 31, 42));
    Panel->ClearButtons();
    Panel->BuildButtons();  // and builds nothing
    EXPECT_EQ(Panel->GetButtons()->GetCount(), 0);
}

TEST_F(Keypad, AClickNeedsPressAndReleaseOnTheSameButton)
{
    Hover(u"BTN_7");
    EXPECT_EQ(Panel->GetButtonHot(), Find(u"BTN_7"));
    Headless::MouseDown(Centre(u"BTN_7"));
    Application->ProcessMessages();
    EXPECT_EQ(Panel->GetButtonDown(), Find(u"BTN_7"));
    Headless::MouseMove(Centre(u"BTN_8"));
    Headless::MouseUp(Centre(u"BTN_8"));
    Application->ProcessMessages();
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(Panel->GetButtonDown(), -1);
    EXPECT_EQ(Panel->GetButtonHot(), Find(u"BTN_8"));

    Headless::Click(Centre(u"BTN_8"));
    Application->ProcessMessages();
    EXPECT_EQ(Clicks, std::vector<int> { Find(u"BTN_8") });
    EXPECT_EQ(Panel->GetButtonDown(), -1);

    // A disabled button is neither hot nor pressed.
    Panel->GetButtons()->GetItem(Find(u"BTN_9"))->SetEnabled(false);
    Hover(u"BTN_9");
    EXPECT_EQ(Panel->GetButtonHot(), -1);
    Headless::Click(Centre(u"BTN_9"));
    Application->ProcessMessages();
    EXPECT_EQ(Clicks.size(), 1u);

    // Leaving the panel leaves no button hot.
    Hover(u"BTN_5");
    Headless::MouseMove(Form->ClientToScreen({ 350, 250 }));
    Application->ProcessMessages();
    EXPECT_EQ(Panel->GetButtonHot(), -1);
}

TEST_F(Keypad, GlowOnlyWithAGlowColour)
{
    // Above "8" lies the 4-pixel gap under the top row: only a glow reaches it.
    const TRect R = RectOf(u"BTN_8");
    const int x = (R.Left + R.Right) / 2, y = R.Top - 2;
    ASSERT_EQ(At(x, y), clWhite);
    Panel->GetButtonAppearance()->SetGlowColorHot(clNone);
    Hover(u"BTN_8");
    EXPECT_EQ(Panel->GetButtonHot(), Find(u"BTN_8"));
    EXPECT_EQ(At(x, y), clWhite);

    Panel->GetButtonAppearance()->SetGlowColorHot(clRed);
    Hover(u"BTN_0");
    Hover(u"BTN_8");
    const TColor Glow = At(x, y);
    EXPECT_GT(int(GetRValue(Glow)), 250);
    EXPECT_LT(int(GetGValue(Glow)), 220);  // red laid over the white panel
    EXPECT_EQ(GetGValue(Glow), GetBValue(Glow));

    // The glow goes with the hot state.
    Hover(u"BTN_0");
    EXPECT_EQ(At(x, y), clWhite);
}

TEST_F(Keypad, ShineFadesDownTheUpperHalf)
{
    TButtonAppearance* A = Panel->GetButtonAppearance();
    A->SetColor(clBlack);
    A->SetColorTo(clBlack);
    const TRect R = RectOf(u"BTN_0");
    const int x = (R.Left + R.Right) / 2;

    // No shine colour still shines white: the stored bytes are used as they are.
    A->SetShineColor(clNone);
    Panel->Invalidate();
    const TColor Top = At(x, R.Top + 3), Middle = At(x, R.Top + 11), Lower = At(x, R.Bottom - 5);
    EXPECT_GT(int(GetRValue(Top)), 100);
    EXPECT_EQ(GetRValue(Top), GetBValue(Top));
    EXPECT_GT(int(GetRValue(Top)), int(GetRValue(Middle)));  // alpha 160 fading to 90
    EXPECT_EQ(Lower, clBlack);                                // no shine below the middle

    A->SetShineColor(TColor(0xFF0000));  // blue
    Panel->Invalidate();
    const TColor Blue = At(x, R.Top + 3);
    EXPECT_GT(int(GetBValue(Blue)), 100);
    EXPECT_EQ(GetRValue(Blue), 0);
}

TEST(LumCalcButtons, AppearanceAndItems)
{
    TButtonAppearance A;
    EXPECT_EQ(A.GetColor(), TColor(0x9A915F));
    EXPECT_EQ(A.GetFont()->GetSize(), 10);
    EXPECT_TRUE(A.GetFont()->GetStyle().Contains(fsBold));
    int changes = 0;
    A.OnChange = [&](TObject*) { ++changes; };
    A.SetColorHot(TColor(1));
    A.SetColorHot(TColor(1));
    A.SetShineColor(clRed);  // silent
    A.SetGlowColorDown(clRed);
    EXPECT_EQ(changes, 1);

    TButtonAppearance B;
    B.Assign(&A);
    EXPECT_EQ(B.GetColorHot(), TColor(1));
    EXPECT_EQ(B.GetShineColor(), clRed);

    TCalcButtonItems Items(nullptr);
    TCalcButtonItem* X = Items.Add();
    X->SetCaption(u"7");
    X->SetName(u"BTN_7");
    X->SetTag(7);
    X->SetSpecial(true);
    X->SetEnabled(false);
    X->SetRect(1, 2, 3, 4);
    TCalcButtonItem* Y = Items.Add();
    Y->Assign(X);
    EXPECT_EQ(Y->GetCaption(), u"7");
    EXPECT_EQ(Y->GetName(), u"BTN_7");
    EXPECT_EQ(Y->GetTag(), 7);
    EXPECT_FALSE(Y->GetEnabled());
    EXPECT_FALSE(Y->GetSpecial());
    EXPECT_EQ(Y->GetRect(), TRect(0, 0, 0, 0));
}
