#include "app/SplashAdvance.h"

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/win/Headless.h"

namespace {

class SplashAdvanceUi : public ::testing::Test {
protected:
    void SetUp() override { InstallDeviceContextFactory(); }
    THeadlessSession session;
};

TEST_F(SplashAdvanceUi, HiddenStayOnTopFormSizedToItsBar)
{
    TfSplashAdvance form(nullptr);
    EXPECT_EQ(form.GetCaption(), u"Pagina attuale");
    EXPECT_EQ(form.GetBorderStyle(), bsDialog);
    EXPECT_EQ(form.GetFormStyle(), fsStayOnTop);
    EXPECT_EQ(form.GetPosition(), poMainFormCenter);
    EXPECT_TRUE(form.GetGlassFrame()->GetSheetOfGlass());
    EXPECT_FALSE(form.GetVisible());

    ASSERT_NE(form.Advance, nullptr);
    EXPECT_EQ(form.FindComponent(u"Advance"), form.Advance);
    EXPECT_EQ(form.Advance->GetParent(), &form);
    EXPECT_EQ(form.Advance->GetWidth(), 249);
    EXPECT_EQ(form.Advance->GetHeight(), 44);
    EXPECT_EQ(form.GetClientWidth(), 249);
    EXPECT_EQ(form.GetClientHeight(), 44);
}

TEST_F(SplashAdvanceUi, BarIsATransparentPercentageBarInTheWindows10Style)
{
    TfSplashAdvance form(nullptr);
    TLumSmoothProgressBar* bar = form.Advance;
    TGDIPProgress* look = bar->GetAppearance();
    EXPECT_TRUE(look->GetTransparent());
    EXPECT_TRUE(look->GetValueVisible());
    EXPECT_EQ(look->GetValueText(0, 100, 25), u"25%");
    EXPECT_EQ(bar->GetUIStyle(), tsWindows10);
    EXPECT_FALSE(look->GetOverlays());
    EXPECT_EQ(look->GetProgressFill()->GetColor(), TColor(0xF7E0C9));
    EXPECT_EQ(bar->GetMarqueeColor(), clYellow);
    EXPECT_EQ(bar->GetMarqueeInterval(), 1);
    EXPECT_EQ(bar->GetMarqueeTimer()->GetInterval(), 1u);
    EXPECT_EQ(bar->GetStyle(), pbstNormal);
}

} // namespace
