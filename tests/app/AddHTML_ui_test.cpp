#include "app/AddHTML.h"

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

class AddHTMLUi : public ::testing::Test {
protected:
    void SetUp() override { InstallDeviceContextFactory(); }

    THeadlessSession session;
};

TEST_F(AddHTMLUi, StartsWithSampleMarkupAndCancelAsTheDefault)
{
    TfrmAddHTML dialog(nullptr);
    EXPECT_EQ(dialog.GetCaption(), u"Add HTML");
    EXPECT_EQ(dialog.GetPosition(), poMainFormCenter);
    ASSERT_EQ(dialog.Memo1->GetLines()->GetCount(), 2);
    EXPECT_EQ(dialog.Memo1->GetLines()->GetStrings(0), u"<html><h1>Hello World!</h1></html>");
    EXPECT_EQ(dialog.Memo1->GetLines()->GetStrings(1), u"");
    EXPECT_EQ(dialog.FindComponent(u"Memo1"), dialog.Memo1);
    EXPECT_TRUE(dialog.Button1->GetDefault());
    EXPECT_FALSE(dialog.Button2->GetDefault());
    EXPECT_FALSE(dialog.Button3->GetDefault());
}

// Every button, clicked while the dialog runs modally, ends it with result 1
// and leaves the memo's text as it was.
TEST_F(AddHTMLUi, EachButtonClosesTheModalDialogWithResultOne)
{
    struct Case {
        const char16_t* name;
        const char16_t* caption;
    } const cases[] = {
        { u"Button1", u"Cancel" },
        { u"Button2", u"Add HTML Code to the Document" },
        { u"Button3", u"Load HTML Code (replace current Document)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.name));
        TfrmAddHTML dialog(Application.Get());
        auto* button = dynamic_cast<TButton*>(dialog.FindComponent(c.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetCaption(), c.caption);
        dialog.Memo1->SetText(u"<p>kept</p>");
        HWND h = button->GetHandle();
        PostMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessage(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(dialog.ShowModal(), 1);
        EXPECT_FALSE(dialog.GetVisible());
        EXPECT_EQ(dialog.Memo1->GetText(), u"<p>kept</p>");
    }
}

} // namespace
