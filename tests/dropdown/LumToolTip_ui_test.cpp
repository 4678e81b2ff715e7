#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDropDown.h"
#include "dropdown/LumToolTip.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

constexpr TColor FormColor = TColor(0x00FFFF);  // yellow

struct Balloon : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumDropDown* Edit { nullptr };
    TLumToolTipWindow* Tip { nullptr };

    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 300);
        Form->SetColor(FormColor);
        Edit = new TLumDropDown(Form.get());
        Edit->SetBounds(40, 100, 120, 21);
        Edit->SetParent(Form.get());
        Form->Show();
        Tip = new TLumToolTipWindow(Form.get());
        Tip->SetText(u"Invalid date");
    }
    // The screen at a client point of the balloon, as a TColor.
    TColor At(int x, int y)
    {
        Application->ProcessMessages();
        const std::uint32_t argb = Headless::ScreenPixel(Tip->ClientToScreen({ x, y }));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
    int WhitePixels()
    {
        int n = 0;
        for (int y = 0; y < Tip->GetHeight(); ++y)
            for (int x = 0; x < Tip->GetWidth(); ++x) {
                const TColor c = At(x, y);
                n += GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200;
            }
        return n;
    }
};

} // namespace

TEST_F(Balloon, WithoutSettingsARedBalloonRightOfTheControl)
{
    Tip->Show(Edit, nullptr);
    ASSERT_TRUE(Tip->GetVisible());
    EXPECT_EQ(Tip->GetParent(), Form.get());
    const int W = Tip->GetWidth(), H = Tip->GetHeight();
    EXPECT_EQ(Tip->GetLeft(), 40 + 120);
    EXPECT_EQ(Tip->GetTop(), 100 + (Edit->GetHeight() - H) / 2);
    EXPECT_GT(W, H);

    EXPECT_EQ(At(W / 2, 2), clRed);              // the body
    EXPECT_EQ(At(2, H / 2), clRed);              // the pointer, on the left, centred
    EXPECT_EQ(At(2, 1), FormColor);              // beside the pointer the form shows
    EXPECT_EQ(At(2, H - 2), FormColor);
    EXPECT_GT(WhitePixels(), 10);                 // white text
}

TEST_F(Balloon, SizesFollowTheText)
{
    TLumToolTip Look;
    Look.SetShape(tsRectangle);
    Tip->SetText(u"i");
    Tip->Show(Edit, &Look);
    // A short text: never narrower than high.
    EXPECT_EQ(Tip->GetWidth(), Tip->GetHeight());
    const int LineHeight = Tip->GetHeight();

    // As a balloon beside the control the pointer adds to the width...
    Look.SetShape(tsBalloon);
    Tip->UpdateSize();
    EXPECT_EQ(Tip->GetWidth(), LineHeight + 8);
    EXPECT_EQ(Tip->GetHeight(), LineHeight);
    // ...above or below the control to the height.
    Look.SetPosition(ttBottomCenter);
    Tip->UpdateSize();
    EXPECT_EQ(Tip->GetHeight(), LineHeight + 8);
    EXPECT_EQ(Tip->GetTop(), 100 + Edit->GetHeight());
    EXPECT_EQ(Tip->GetLeft(), 40 + (120 - Tip->GetWidth()) / 2);

    // A long text wraps within MaxWidth.
    Look.SetPosition(ttRight);
    Look.SetMaxWidth(100);
    Look.SetMargin(3);
    Tip->SetText(u"This date lies outside the range the form accepts for it");
    EXPECT_LE(Tip->GetWidth(), 104 + 2 * 3 + 8);
    EXPECT_GE(Tip->GetHeight(), 3 * LineHeight);

    // The margin counts on each side.
    Look.SetMaxWidth(0);
    Tip->SetText(u"i");
    EXPECT_EQ(Tip->GetHeight(), LineHeight + 6);
}

TEST_F(Balloon, PlacesAroundTheControl)
{
    TLumToolTip Look;
    Tip->Show(Edit, &Look);
    struct Case {
        TLumToolTipPosition position;
        int left, top;  // with W x H the balloon's size
    };
    for (TLumToolTipPosition p : { ttTopRight, ttTopLeft, ttTopCenter, ttBottomLeft, ttBottomCenter,
             ttBottomRight, ttCustom }) {
        SCOPED_TRACE(p);
        Look.SetPosition(p);
        Look.SetX(7);
        Look.SetY(-9);
        Tip->UpdateSize();
        const int W = Tip->GetWidth(), H = Tip->GetHeight(), B = 100 + Edit->GetHeight();
        const Case expected = p == ttTopRight ? Case { p, 160 - W, 100 - H }
            : p == ttTopLeft                  ? Case { p, 40, 100 - H }
            : p == ttTopCenter                ? Case { p, 40 + (120 - W) / 2, 100 - H }
            : p == ttBottomLeft               ? Case { p, 40, B }
            : p == ttBottomCenter             ? Case { p, 40 + (120 - W) / 2, B }
            : p == ttBottomRight              ? Case { p, 160 - W, B }
                                              : Case { p, 47, 91 };
        EXPECT_EQ(Tip->GetLeft(), expected.left);
        EXPECT_EQ(Tip->GetTop(), expected.top);
    }
}

TEST_F(Balloon, ShapesCutTheWindow)
{
    TLumToolTip Look;
    Look.SetPosition(ttBottomLeft);
    Tip->Show(Edit, &Look);
    int W = Tip->GetWidth(), H = Tip->GetHeight();
    EXPECT_EQ(At(9, 3), clRed);                  // the pointer rises at x = 8
    EXPECT_EQ(At(W - 4, 3), FormColor);          // no body above y = 8
    EXPECT_EQ(At(W / 2, H - 3), clRed);

    Look.SetPosition(ttTopRight);
    Tip->UpdateSize();
    Tip->Invalidate();
    W = Tip->GetWidth();
    H = Tip->GetHeight();
    EXPECT_EQ(At(W - 15, H - 3), clRed);         // the pointer hangs at W - 16
    EXPECT_EQ(At(3, H - 3), FormColor);
    EXPECT_EQ(At(W / 2, 3), clRed);

    // A rectangle has no pointer and no room for one.
    Look.SetShape(tsRectangle);
    Look.SetPosition(ttRight);
    Tip->UpdateSize();
    Tip->Invalidate();
    EXPECT_EQ(At(3, 3), clRed);
    EXPECT_EQ(At(Tip->GetWidth() - 3, Tip->GetHeight() - 3), clRed);
    EXPECT_EQ(Tip->GetLeft(), 160);
    EXPECT_GT(WhitePixels(), 10);

    // An outline in the border colour, a pixel inside the window.
    Look.SetBorderColor(clBlue);
    Tip->Invalidate();
    EXPECT_EQ(At(Tip->GetWidth() / 2, 1), clBlue);
    EXPECT_EQ(At(Tip->GetWidth() / 2, 4), clRed);
}

TEST_F(Balloon, LendsTheControlItsBorderColourWhileItLives)
{
    Edit->SetBorderColor(clGreen);
    TLumToolTip Look;
    Look.SetBorderColor(clBlue);
    Tip->Show(Edit, &Look);
    EXPECT_EQ(Edit->GetBorderColor(), clBlue);
    // A second showing does not take the lent colour for the control's own.
    Tip->Show(Edit, &Look);
    EXPECT_EQ(Edit->GetBorderColor(), clBlue);
    delete Tip;
    EXPECT_EQ(Edit->GetBorderColor(), clGreen);

    // No border colour to lend: the control keeps its own.
    Tip = new TLumToolTipWindow(Form.get());
    Look.SetBorderColor(clNone);
    Tip->Show(Edit, &Look);
    EXPECT_EQ(Edit->GetBorderColor(), clGreen);

    // A control without the property is shown beside all the same.
    auto* Panel = new TPanel(Form.get());
    Panel->SetBounds(300, 30, 50, 50);
    Panel->SetParent(Form.get());
    auto* Other = new TLumToolTipWindow(Form.get());
    Other->Show(Panel, nullptr);
    EXPECT_TRUE(Other->GetVisible());
    EXPECT_EQ(Other->GetLeft(), 350);
}

TEST_F(Balloon, FreedSettingsAndControlAreLetGo)
{
    Edit->SetBorderColor(clGreen);
    {
        TLumToolTip Look;
        Look.SetColor(clBlue);
        Look.SetBorderColor(clBlue);
        Tip->Show(Edit, &Look);
        EXPECT_EQ(At(Tip->GetWidth() / 2, 3), clBlue);
        EXPECT_EQ(Tip->Settings(), &Look);
    }
    // The settings went: the window's own (red) are in force.
    EXPECT_EQ(Tip->GetToolTip(), nullptr);
    Tip->Invalidate();
    EXPECT_EQ(At(Tip->GetWidth() / 2, 3), clRed);

    // A freed control is forgotten; freeing the window afterwards touches nothing.
    delete Edit;
    Edit = nullptr;
    EXPECT_EQ(Tip->GetControl(), nullptr);
    delete Tip;
    Tip = nullptr;
}

TEST(LumToolTip, SettingsAndVersion)
{
    TLumToolTip A;
    EXPECT_EQ(A.GetVersion(), u"1.0.0.3");
    EXPECT_EQ(A.GetColor(), clRed);
    EXPECT_EQ(A.GetFont()->GetColor(), clWhite);
    EXPECT_EQ(A.GetPosition(), ttRight);
    EXPECT_EQ(A.GetRounding(), 2);
    A.SetMargin(5);
    A.SetPosition(ttCustom);
    A.SetX(3);
    A.GetFont()->SetColor(clBlack);
    TLumToolTip B;
    B.Assign(&A);
    EXPECT_EQ(B.GetMargin(), 5);
    EXPECT_EQ(B.GetPosition(), ttCustom);
    EXPECT_EQ(B.GetX(), 3);
    EXPECT_EQ(B.GetFont()->GetColor(), clBlack);
    TFont NotATip;
    B.Assign(&NotATip);  // ignored
    EXPECT_EQ(B.GetMargin(), 5);
}
