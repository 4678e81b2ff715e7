#include <gtest/gtest.h>

#include "foundation/VuzErazs.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

TEST(VuzErazsForms, DPIScaleComesFromTheFormOfTheComponent)
{
    THeadlessSession session;
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* owned = new TComponent(&form);
    // The screen has 96 pixels per inch: 1.0 against 96, 1.5 against 64.
    struct Case {
        TComponent* owner;
        int defaultDPI;
        float scale;
    };
    const Case cases[] = {
        { &form, 96, 1.0f }, { &form, 64, 1.5f }, { panel, 64, 1.5f }, { owned, 64, 1.5f }, { &form, 0, 1.0f },
        { &form, -1, 1.0f },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_FLOAT_EQ(TVuzErazs::GetDPIScale(c.owner, c.defaultDPI), c.scale);
    }
    EXPECT_TRUE(TVuzErazs::IsHighDPIScale(panel, 64));
    EXPECT_FALSE(TVuzErazs::IsHighDPIScale(panel, 96));
    EXPECT_EQ(TVuzErazs::GetOwnerForm(owned), &form);
    EXPECT_EQ(TVuzErazs::GetOwnerForm(&form), nullptr);
    EXPECT_EQ(TVuzErazs::GetParentForm(panel), &form);

    // An unscaled form, and a component of no form, scale by 1.
    form.SetScaled(false);
    EXPECT_FLOAT_EQ(TVuzErazs::GetDPIScale(panel, 64), 1.0f);
    TComponent loose(nullptr);
    EXPECT_FLOAT_EQ(TVuzErazs::GetDPIScale(&loose, 64), 1.0f);
}

TEST(VuzErazsForms, ScaleForCurrentDPIRecomputesFontHeightsAt96)
{
    THeadlessSession session;
    TForm form(nullptr);
    auto* outer = new TPanel(&form);
    outer->SetParent(&form);
    auto* inner = new TPanel(&form);
    inner->SetParent(outer);
    inner->GetFont()->SetPixelsPerInch(144);
    inner->GetFont()->SetHeight(-18);
    outer->GetFont()->SetHeight(-11);
    TVuzErazs::ScaleForCurrentDPI(&form);
    EXPECT_EQ(inner->GetFont()->GetHeight(), -12); // nested controls too
    EXPECT_EQ(outer->GetFont()->GetHeight(), -11);
}

TEST(VuzErazsForms, FontListIsSortedWithoutRepeats)
{
    THeadlessSession session;
    TStringList fonts;
    fonts.Add(u"stale");
    TVuzErazs::GetFonts(fonts);
    ASSERT_GT(fonts.GetCount(), 0);
    EXPECT_LT(fonts.IndexOf(u"stale"), 0);
    for (int i = 1; i < fonts.GetCount(); ++i) {
        EXPECT_LT(CompareText(fonts.GetStrings(i - 1), fonts.GetStrings(i)), 0);
    }
}

} // namespace
