#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Backend.h"
#include "platform/win/Headless.h"
#include "richtext/LumSmoothStatusIndicator.h"

namespace {

// Counts the repaint requests.
class TCountingIndicator : public TLumSmoothStatusIndicator {
public:
    using TLumSmoothStatusIndicator::TLumSmoothStatusIndicator;
    void Invalidate() override
    {
        ++Invalidations;
        TLumSmoothStatusIndicator::Invalidate();
    }
    int Invalidations { 0 };
};

class StatusIndicatorUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetPosition(poDesigned);
        indicator = new TCountingIndicator(form.get());
        indicator->SetBounds(10, 10, 30, 24);
        // The main window's badge: red pill, white bold text.
        TGDIPStatus* a = indicator->GetAppearance();
        a->GetFill()->SetColor(clRed);
        a->GetFill()->SetColorTo(clNone);
        a->GetFill()->SetGradientType(LumGDIP::gtSolid);
        a->GetFill()->SetBorderColor(0x808080);
        a->SetGlow(false);
        a->GetFont()->SetName(u"Tahoma");
        a->GetFont()->SetHeight(-12);
        a->GetFont()->SetColor(clWhite);
        a->SetSpacing(5);
        indicator->SetParent(form.get());
    }
    THeadlessSession session;
    std::unique_ptr<TForm> form;
    TCountingIndicator* indicator { nullptr };
};

TEST_F(StatusIndicatorUi, AutoSizeTakesTheBadgeSizeNeverNarrowerThanHighPlusSpacing)
{
    indicator->SetAutoSize(true);
    indicator->SetCaption(u"7");
    EXPECT_GT(indicator->GetHeight(), 4);
    EXPECT_EQ(indicator->GetWidth(), indicator->GetHeight() + 10);

    indicator->SetCaption(u"123456");
    EXPECT_GT(indicator->GetWidth(), indicator->GetHeight() + 10);

    // Without auto size the control keeps the size it was given.
    indicator->SetAutoSize(false);
    indicator->SetBounds(10, 10, 30, 24);
    indicator->SetCaption(u"1234567890");
    EXPECT_EQ(indicator->GetWidth(), 30);
    EXPECT_EQ(indicator->GetHeight(), 24);
}

TEST_F(StatusIndicatorUi, SettingTheSameCaptionTwiceRepaintsOnce)
{
    indicator->Invalidations = 0;
    indicator->SetCaption(u"5");
    indicator->SetCaption(u"5");
    EXPECT_EQ(indicator->Invalidations, 1);
    EXPECT_EQ(indicator->GetCaption(), u"5");
}

TEST_F(StatusIndicatorUi, PaintsTheBadgeOnTheForm)
{
    indicator->SetCaption(u"3");
    form->Show();
    Application->ProcessMessages();
    const TPoint inside = indicator->ClientToScreen({ 3, 12 });
    EXPECT_EQ(Headless::ScreenPixel(inside) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(StatusIndicatorUi, DpiChangeScalesTheFontFromItsCurrentHeight)
{
    indicator->ChangeScale(3, 2, true);
    EXPECT_EQ(indicator->GetAppearance()->GetFont()->GetHeight(), -18);
    indicator->ChangeScale(3, 2, false);
    EXPECT_EQ(indicator->GetAppearance()->GetFont()->GetHeight(), -18);
}

TEST_F(StatusIndicatorUi, AssignCopiesCaptionAppearanceAndAutoSize)
{
    TLumSmoothStatusIndicator other(nullptr);
    other.SetCaption(u"42");
    other.GetAppearance()->SetSpacing(9);
    other.SetAutoSize(true);
    indicator->Assign(&other);
    EXPECT_EQ(indicator->GetCaption(), u"42");
    EXPECT_EQ(indicator->GetAppearance()->GetSpacing(), 9);
    EXPECT_TRUE(indicator->GetAutoSize());
    EXPECT_GE(indicator->GetWidth(), indicator->GetHeight() + 18); // sized again with the new spacing
}

} // namespace
