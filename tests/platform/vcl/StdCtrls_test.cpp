#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls_TrackBar.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

namespace {

// Published properties written by name reach the control's own setters (so
// the form and persistence layers can load them), inherited ones included.
TEST(SimpleControlProperties, PublishedPropertiesReachTheSetters)
{
    struct TCase {
        const char* Class;
        std::function<TControl*()> Make;
        const char16_t* Prop;
        const char16_t* Value; // an enumeration name, or an integer
        std::function<std::int64_t(TControl*)> Read;
        std::int64_t Expected;
    };
    const TCase cases[] = {
        { "TButton", [] { return new TButton; }, u"Default", u"1", [](TControl* c) { return std::int64_t(static_cast<TButton*>(c)->GetDefault()); }, 1 },
        { "TButton", [] { return new TButton; }, u"ModalResult", u"6", [](TControl* c) { return std::int64_t(static_cast<TButton*>(c)->GetModalResult()); }, 6 },
        { "TCheckBox", [] { return new TCheckBox; }, u"State", u"cbGrayed", [](TControl* c) { return std::int64_t(static_cast<TCheckBox*>(c)->GetState()); }, cbGrayed },
        { "TCheckBox", [] { return new TCheckBox; }, u"Alignment", u"taLeftJustify", [](TControl* c) { return std::int64_t(static_cast<TCheckBox*>(c)->GetAlignment()); }, taLeftJustify },
        { "TLabel", [] { return new TLabel; }, u"Layout", u"tlCenter", [](TControl* c) { return std::int64_t(static_cast<TLabel*>(c)->GetLayout()); }, tlCenter },
        { "TLabel", [] { return new TLabel; }, u"EllipsisPosition", u"epEndEllipsis", [](TControl* c) { return std::int64_t(static_cast<TLabel*>(c)->GetEllipsisPosition()); }, epEndEllipsis },
        { "TPanel", [] { return new TPanel; }, u"BevelOuter", u"bvLowered", [](TControl* c) { return std::int64_t(static_cast<TPanel*>(c)->GetBevelOuter()); }, bvLowered },
        { "TPanel", [] { return new TPanel; }, u"TabStop", u"1", [](TControl* c) { return std::int64_t(static_cast<TPanel*>(c)->GetTabStop()); }, 1 },
        { "TScrollBar", [] { return new TScrollBar; }, u"Kind", u"sbVertical", [](TControl* c) { return std::int64_t(static_cast<TScrollBar*>(c)->GetKind()); }, sbVertical },
        { "TTrackBar", [] { return new TTrackBar; }, u"Orientation", u"trVertical", [](TControl* c) { return std::int64_t(c->GetHeight() > c->GetWidth()); }, 1 },
        { "TSpeedButton", [] { return new TSpeedButton; }, u"Layout", u"blGlyphTop", [](TControl* c) { return std::int64_t(static_cast<TSpeedButton*>(c)->GetLayout()); }, blGlyphTop },
        { "TImage", [] { return new ExtCtrls::TImage; }, u"Proportional", u"1", [](TControl* c) { return std::int64_t(static_cast<ExtCtrls::TImage*>(c)->GetProportional()); }, 1 },
        { "TShape", [] { return new TShape; }, u"Shape", u"stCircle", [](TControl* c) { return std::int64_t(static_cast<TShape*>(c)->GetShape()); }, stCircle },
        { "TBevel", [] { return new TBevel; }, u"Style", u"bsRaised", [](TControl* c) { return std::int64_t(static_cast<TBevel*>(c)->GetStyle()); }, bsRaised },
        { "TBevel", [] { return new TBevel; }, u"Width", u"77", [](TControl* c) { return std::int64_t(c->GetWidth()); }, 77 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Class) + "." + StringToUtf8(c.Prop));
        std::unique_ptr<TControl> control(c.Make());
        EXPECT_EQ(StringToUtf8(control->ClassName()), c.Class);
        PPropInfo prop = GetPropInfo(control.get(), c.Prop);
        ASSERT_NE(prop, nullptr);
        const String value = c.Value;
        if (value[0] >= u'0' && value[0] <= u'9')
            SetOrdProp(control.get(), prop, std::stoll(StringToUtf8(value)));
        else
            SetEnumProp(control.get(), prop, value);
        EXPECT_EQ(c.Read(control.get()), c.Expected);
    }
}

} // namespace
