#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Headless.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

class TestControlDropDown : public TLumControlDropDown {
public:
    using TLumControlDropDown::TLumControlDropDown;
    int OrigWidth() const { return FOrigCtrlW; }
    int OrigHeight() const { return FOrigCtrlH; }
};

struct ControlDropDown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TestControlDropDown* Edit { nullptr };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TestControlDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 40, 200, 21);
        Form->Show();
        Application->ProcessMessages();
    }
    TListBox* List(int W, int H)
    {
        auto* L = new TListBox(Form.get());
        L->SetParent(Form.get());
        L->SetBounds(10, 100, W, H);
        return L;
    }
};

} // namespace

TEST_F(ControlDropDown, KeepsTheDesignedSize)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    TListBox* Narrow = List(100, 80);
    Edit->SetControl(Narrow);
    EXPECT_EQ(Edit->GetControl(), Narrow);
    EXPECT_EQ(Edit->OrigWidth(), 200 - 17);  // about as wide as the edit
    EXPECT_EQ(Edit->OrigHeight(), 80);
    EXPECT_FALSE(Narrow->GetVisible());

    TListBox* Wide = List(300, 90);
    Wide->SetAlign(alLeft);
    Edit->SetControl(Wide);
    EXPECT_EQ(Edit->OrigWidth(), 300);
    Edit->SetControl(Narrow);
    EXPECT_EQ(Wide->GetAlign(), alNone);  // the previous one is let go
    EXPECT_FALSE(Wide->GetVisible());

    // With a width of its own the drop-down keeps the content's.
    Edit->SetDropDownWidth(150);
    Edit->SetControl(Wide);
    Edit->SetControl(Narrow);
    EXPECT_EQ(Edit->OrigWidth(), 100);

    // The same control again, or the drop-down itself, changes nothing.
    Edit->SetControl(Narrow);
    Edit->SetControl(Edit);
    EXPECT_EQ(Edit->GetControl(), Narrow);

    delete Narrow;
    EXPECT_EQ(Edit->GetControl(), nullptr);
    Edit->SetControl(nullptr);
    EXPECT_EQ(Edit->GetControl(), nullptr);
}

TEST_F(ControlDropDown, OpensAndClosesWithItsContent)
{
    TListBox* Content = List(120, 60);
    Content->GetItems()->Add(u"alpha");
    Edit->SetControl(Content);
    Edit->GetDropDownHeader()->SetVisible(false);
    Edit->GetDropDownFooter()->SetVisible(false);
    Edit->SetFocus();
    Application->ProcessMessages();
    Headless::Key(VK_F4);
    Application->ProcessMessages();
    ASSERT_TRUE(Edit->GetDroppedDown());
    TDropDownForm* Window = Edit->GetDropDownForm();
    EXPECT_TRUE(Content->GetVisible());
    EXPECT_EQ(Content->GetParent(), Window);
    EXPECT_EQ(Window->GetWidth(), 200 - 17);
    EXPECT_EQ(Window->GetHeight(), 60 + 2);
    EXPECT_TRUE(Content->Focused());
    Headless::Key(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_FALSE(Window->GetVisible());
    EXPECT_TRUE(Edit->Focused());

    // The content is a published property.
    EXPECT_NE(GetPropInfo(Edit, u"Control"), nullptr);
}
