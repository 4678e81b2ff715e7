#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Mask.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"

namespace {

class MaskUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        Application->OnException = [this](TObject*, const Exception& e) { reported.push_back(StringToUtf8(e.Message)); };
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        form->SetPosition(poDesigned);
    }
    void TearDown() override
    {
        form.reset();
        Application->OnException = nullptr;
    }
    static void Pump() { Application->ProcessMessages(); }
    TMaskEdit* Shown(const String& mask)
    {
        auto* e = new TMaskEdit(form.get());
        e->SetBounds(10, 10, 200, 21);
        e->SetEditMask(mask);
        e->SetParent(form.get());
        form->Show();
        Pump();
        e->SetFocus();
        Pump();
        e->SetSel(0, 0);
        return e;
    }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
    std::vector<std::string> reported;
};

TEST_F(MaskUi, TypingFillsTheMaskSkippingLiteralsAndRefusingMisfits)
{
    struct TCase {
        const char16_t* Mask;
        const char16_t* Typed;
        const char16_t* EditText;
        const char16_t* Text;
    };
    const TCase cases[] = {
        { u"(999) 000-0000;1;_", u"02x91234567", u"(029) 123-4567", u"(029) 123-4567" },
        { u"(999) 000-0000;0;_", u"0291234567", u"(029) 123-4567", u"0291234567" },
        { u"00/00/0000;1;*", u"0312", u"03/12/****", u"03/12/    " },
        { u">LL<ll;1;_", u"abCD", u"ABcd", u"ABcd" },
        { u"AAA;1;_", u"a-1b", u"a1b", u"a1b" },
        { u"\\A00;1;_", u"A12", u"A12", u"A12" },
        { u"##0;1;_", u"-5", u"-5_", u"-5 " },
        { u"!999;1;_", u"12", u"12_", u" 12" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Mask));
        TMaskEdit* e = Shown(c.Mask);
        Headless::Type(c.Typed);
        Pump();
        EXPECT_EQ(StringToUtf8(e->GetEditText()), StringToUtf8(c.EditText));
        EXPECT_EQ(StringToUtf8(e->GetText()), StringToUtf8(c.Text));
        delete e;
    }
}

TEST_F(MaskUi, BackspaceAndDeleteBlankPositionsWithoutShiftingLiterals)
{
    TMaskEdit* e = Shown(u"00:00;1;_");
    Headless::Type(u"1234");
    Pump();
    Headless::Key(VK_BACK);
    Headless::Key(VK_BACK);
    Pump();
    EXPECT_EQ(e->GetEditText(), u"12:__");
    e->SetSel(0, 1);
    Headless::Key(VK_DELETE);
    Pump();
    EXPECT_EQ(e->GetEditText(), u"_2:__");
    e->SetSel(0, 0);
    Headless::Type(u"9");
    Pump();
    EXPECT_EQ(e->GetEditText(), u"92:__");
}

TEST_F(MaskUi, TextIsFormattedIntoTheMaskAndValidated)
{
    TMaskEdit* e = Shown(u"000-000;0;_");
    e->SetText(u"12345");
    EXPECT_EQ(e->GetEditText(), u"123-45_");
    EXPECT_THROW(e->ValidateEdit(), EDBEditError);
    EXPECT_EQ(e->GetSelStart(), 6); // the first position still wanted
    e->SetText(u"123456");
    EXPECT_NO_THROW(e->ValidateEdit());
    EXPECT_EQ(e->GetText(), u"123456");
    // Without a mask the edit is a plain edit.
    e->SetEditMask(u"");
    EXPECT_EQ(e->GetText(), u"123456");
    e->SetSelStart(6);
    Headless::Type(u"x");
    Pump();
    EXPECT_EQ(e->GetText(), u"123456x");
}

TEST_F(MaskUi, LeavingAnIncompleteEditReportsTheErrorAndKeepsTheFocus)
{
    TMaskEdit* e = Shown(u"0000;1;_");
    auto* other = new TEdit(form.get());
    other->SetBounds(10, 40, 200, 21);
    other->SetParent(form.get());
    Headless::Type(u"12");
    Pump();
    Headless::Key(VK_TAB);
    Pump();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "Invalid input value.  Use escape key to abandon changes");
    EXPECT_TRUE(e->Focused());
    Headless::Type(u"34");
    Pump();
    EXPECT_EQ(e->GetEditText(), u"1234"); // the caret came back to the first blank
    Headless::Key(VK_TAB);
    Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(reported.size(), 1u);
}

} // namespace
