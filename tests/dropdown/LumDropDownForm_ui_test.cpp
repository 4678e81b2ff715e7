#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dropdown/LumDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

// A drop-down with a list as its content, and a count of wheel turns.
class ListDropDown : public TLumDropDown {
public:
    using TLumDropDown::TLumDropDown;
    int WheelDowns { 0 };
    void Attach(TControl* Content)
    {
        FControl = Content;
        FOrigCtrlW = Content->GetWidth();
        FOrigCtrlH = Content->GetHeight();
        Content->SetVisible(false);
    }
    void SetScale(float S) { FDPIScale = S; }
    int UserWidth() const { return FUserDropDownWidth; }
    void DoWheelDown() override { ++WheelDowns; }
};

struct OpenAndClose : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    ListDropDown* Edit { nullptr };
    TListBox* List { nullptr };
    TEdit* Other { nullptr };
    std::vector<String> Events;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new ListDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 40, 200, 21);
        List = new TListBox(Form.get());
        List->SetBounds(0, 0, 150, 100);
        List->GetItems()->Add(u"one");
        List->GetItems()->Add(u"two");
        Edit->Attach(List);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 120, 100, 21);
        Edit->OnBeforeDropDown = [this](TObject*) { Events.push_back(u"before"); };
        Edit->OnDropDown = [this](TObject*, bool&) { Events.push_back(u"dropdown"); };
        Edit->OnAfterDropDown = [this](TObject*) { Events.push_back(u"after"); };
        Edit->OnBeforeDropUp = [this](TObject*) { Events.push_back(u"before up"); };
        Edit->OnDropUp = [this](TObject*, bool Cancelled) { Events.push_back(Cancelled ? u"up cancelled" : u"up"); };
        Form->Show();
        Other->SetFocus();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    TDropDownForm* Window() { return Edit->GetDropDownForm(); }
    void ClickButton()
    {
        Headless::Click(Edit->GetButton()->ClientToScreen({ 5, 5 }));
        Pump();
    }
    static void Key(WORD Vk)
    {
        Headless::Key(Vk);
        Pump();
    }
    bool Open() const { return Edit->GetDroppedDown() && Edit->GetDropDownForm()->GetVisible(); }
    // The edit's top-left on the screen.
    TPoint P() const { return Form->ClientToScreen({ Edit->GetLeft(), Edit->GetTop() }); }
};

} // namespace

TEST_F(OpenAndClose, OpensBelowWithHeaderContentAndFooter)
{
    ClickButton();
    ASSERT_TRUE(Open());
    EXPECT_EQ(Events, (std::vector<String> { u"before", u"dropdown", u"after" }));
    TDropDownForm* W = Window();
    EXPECT_EQ(W->GetLeft(), P().X);
    EXPECT_EQ(W->GetTop(), P().Y + 21 - 1);
    EXPECT_EQ(W->GetWidth(), 150);
    EXPECT_EQ(W->GetHeight(), 2 * 1 + 22 + 22 + 100);
    EXPECT_EQ(List->GetParent(), W);
    EXPECT_TRUE(List->Focused());
    ASSERT_NE(W->GetHeader(), nullptr);
    ASSERT_NE(W->GetFooter(), nullptr);
    EXPECT_EQ(W->GetHeader()->GetAlign(), alTop);
    EXPECT_EQ(W->GetFooter()->GetAlign(), alBottom);
    EXPECT_EQ(GetActiveWindow(), W->GetHandle());
    EXPECT_TRUE(GetWindowLong(W->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetClassLongPtr(W->GetHandle(), GCL_STYLE) & CS_DROPSHADOW);
    // The content fills what the strips and the border leave.
    EXPECT_EQ(List->GetTop(), 1 + 22);
    EXPECT_EQ(List->GetLeft(), 1);
    EXPECT_EQ(List->GetHeight(), 146 - 2 - 44);

    // A press elsewhere closes it cancelled; the edit takes the focus back.
    Events.clear();
    Headless::Click(Form->ClientToScreen({ 300, 250 }));
    Pump();
    EXPECT_FALSE(Open());
    EXPECT_EQ(Events, (std::vector<String> { u"before up", u"up cancelled" }));
    EXPECT_TRUE(Edit->Focused());
}

TEST_F(OpenAndClose, EscapeRestoresReturnKeeps)
{
    Edit->SetText(u"abc");
    ClickButton();
    ASSERT_TRUE(Open());
    Edit->SetRawText(u"picked");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Open());
    EXPECT_EQ(Edit->GetText(), u"abc");

    Session.PassTime(300);
    ClickButton();
    ASSERT_TRUE(Open());
    Edit->SetRawText(u"picked");
    Key(VK_RETURN);
    EXPECT_FALSE(Open());
    EXPECT_EQ(Edit->GetText(), u"picked");
    EXPECT_EQ(Events.back(), u"up");

    // F4 and Alt+Down open and close from the edit.
    Session.PassTime(300);
    Edit->SetFocus();
    Pump();
    Key(VK_F4);
    EXPECT_TRUE(Open());
    Key(VK_ESCAPE);
    EXPECT_FALSE(Open());
    Edit->SetFocus();
    Pump();
    Headless::Key(VK_DOWN, false, false, true);
    Pump();
    EXPECT_TRUE(Open());
    // Alt+Down in the content closes it: the content passes the key on.
    ASSERT_TRUE(List->Focused());
    Headless::Key(VK_DOWN, false, false, true);
    Pump();
    EXPECT_FALSE(Open());
}

TEST_F(OpenAndClose, ASecondClickWithin250msDoesNotReopen)
{
    ClickButton();
    ASSERT_TRUE(Open());
    ClickButton();  // the press closes it by taking the activation away
    EXPECT_FALSE(Open());
    Session.PassTime(200);
    ClickButton();
    EXPECT_FALSE(Open());
    Session.PassTime(100);
    ClickButton();
    EXPECT_TRUE(Open());
}

TEST_F(OpenAndClose, RefusedReadOnlyAndDisabled)
{
    Edit->OnDropDown = [](TObject*, bool& Accept) { Accept = false; };
    ClickButton();
    EXPECT_FALSE(Open());
    EXPECT_FALSE(Edit->GetDroppedDown());
    Edit->OnDropDown = nullptr;
    ClickButton();  // the next click opens
    EXPECT_TRUE(Open());
    Edit->HideDropDown(false);

    Session.PassTime(300);
    Edit->SetReadOnly(true);
    ClickButton();
    Edit->ShowDropDown();
    EXPECT_FALSE(Open());
    Edit->SetReadOnly(false);
    Edit->SetEnabled(false);
    Edit->ShowDropDown();
    EXPECT_FALSE(Open());
}

TEST_F(OpenAndClose, PlacementAboveBelowAndAtTheRightEdge)
{
    struct Case {
        const char* Name;
        TPoint FormAt;
        TDropPosition Position;
        int ContentWidth;
        bool Below;
        int ExpectedLeft;  // -1: the edit's left
    };
    const Case Cases[] = {
        { "room below", { 100, 100 }, dpAuto, 150, true, -1 },
        { "near the bottom: above", { 100, 900 }, dpAuto, 150, false, -1 },
        { "forced down", { 100, 900 }, dpDown, 150, true, -1 },
        { "forced up", { 100, 100 }, dpUp, 150, false, -1 },
        { "past the right edge: moved left", { 1100, 100 }, dpAuto, 300, true, 1280 - 300 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form->SetBounds(C.FormAt.X, C.FormAt.Y, 400, 300);
        Edit->SetDropPosition(C.Position);
        List->SetAlign(alNone);
        List->SetWidth(C.ContentWidth);
        Edit->Attach(List);
        Edit->ForgetUserSize();
        Session.PassTime(300);
        Edit->ShowDropDown();
        ASSERT_TRUE(Open());
        TDropDownForm* W = Window();
        EXPECT_EQ(W->GetTop(), C.Below ? P().Y + 20 : P().Y - W->GetHeight());
        EXPECT_EQ(W->GetLeft(), C.ExpectedLeft < 0 ? P().X : C.ExpectedLeft);
        Edit->HideDropDown(true);
    }

    // A work area reaching left of 0 (a monitor on the left): no shift.
    Session.Backend().SetWorkArea(TRect(-1280, 0, 1280, 1024));
    Edit->ForgetUserSize();
    Edit->ShowDropDown();
    EXPECT_EQ(Window()->GetLeft(), P().X);
    Edit->HideDropDown(true);
    Session.Backend().SetWorkArea(std::nullopt);

    // A borderless edit: two pixels left and two down.
    Form->SetBounds(100, 100, 400, 300);
    Edit->SetDropPosition(dpAuto);
    Edit->SetBorderStyle(bsNone);
    Edit->ShowDropDown();
    EXPECT_EQ(Window()->GetLeft(), P().X - 2);
    EXPECT_EQ(Window()->GetTop(), P().Y + Edit->GetHeight() + 1);
}

TEST_F(OpenAndClose, TheUserSizeIsKeptAtTheScale)
{
    Edit->ShowDropDown();
    ASSERT_TRUE(Open());
    // The user drags the footer's size grip.
    TLumFooter* Footer = Window()->GetFooter();
    const TPoint Grip = Footer->ClientToScreen({ Footer->GetWidth() - 4, Footer->GetHeight() - 4 });
    Headless::Drag(Grip, { Grip.X + 50, Grip.Y + 30 });
    Pump();
    EXPECT_EQ(Window()->GetWidth(), 200);
    EXPECT_EQ(Window()->GetHeight(), 176);
    Edit->HideDropDown(false);
    EXPECT_EQ(Edit->UserWidth(), 200);

    Edit->SetScale(1.5f);
    Edit->ShowDropDown();
    EXPECT_EQ(Window()->GetWidth(), 300);
    EXPECT_EQ(Window()->GetHeight(), 264);
    Edit->HideDropDown(false);
    EXPECT_EQ(Edit->UserWidth(), 200);  // stored unscaled

    Edit->SetDropDownWidth(120);  // a width of one's own forgets the user's
    Edit->SetScale(1.0f);
    Edit->ShowDropDown();
    EXPECT_EQ(Window()->GetWidth(), 120);
}

TEST_F(OpenAndClose, FooterButtonsAndHeaderButtons)
{
    TFooterButton* OkItem = Edit->GetDropDownFooter()->GetButtons()->Add();
    OkItem->SetCaption(u"OK");
    OkItem->SetModalResult(mrOk);
    Edit->GetDropDownHeader()->GetButtons()->Add()->SetCaption(u"All");
    int HeaderClicks = 0;
    Edit->OnDropDownHeaderButtonClick = [&](TObject*, int Index) { HeaderClicks += Index + 1; };
    Edit->SetText(u"abc");
    Edit->ShowDropDown();
    ASSERT_TRUE(Open());
    Headless::Click(Window()->GetHeader()->GetButton(0)->ClientToScreen({ 3, 3 }));
    Pump();
    EXPECT_EQ(HeaderClicks, 1);
    // A button added while open shows at once.
    Edit->GetDropDownHeader()->GetButtons()->Add()->SetCaption(u"None");
    EXPECT_EQ(Window()->GetHeader()->GetButtonCount(), 2);
    EXPECT_TRUE(Open());
    Edit->SetRawText(u"picked");
    Headless::Click(Window()->GetFooter()->GetButton(0)->ClientToScreen({ 3, 3 }));
    Pump();
    EXPECT_FALSE(Open());
    EXPECT_EQ(Edit->GetText(), u"picked");
    EXPECT_EQ(Events.back(), u"up");
}

TEST_F(OpenAndClose, FocusInAnOwnedWindowThenAnotherRoadCloses)
{
    Edit->ShowDropDown();
    ASSERT_TRUE(Open());
    // A window of the drop-down's own takes the focus: the drop-down stays.
    auto* Owned = new TForm(Window());
    Owned->SetPosition(poDesigned);
    Owned->SetBorderStyle(bsNone);
    Owned->SetBounds(500, 500, 50, 50);
    Owned->Show();
    Pump();
    EXPECT_TRUE(Open());
    EXPECT_TRUE(Window()->GetIsDeactivating());
    Owned->Hide();
    // Closed by another road than deactivation (as a footer button does).
    Edit->DoHideDropDown(false);
    EXPECT_FALSE(Open());
    EXPECT_FALSE(Window()->GetIsDeactivating());
    Edit->ShowDropDown();  // accepted again
    EXPECT_TRUE(Open());
}

TEST_F(OpenAndClose, KeysAndWheelReachTheEdit)
{
    Edit->ShowDropDown();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(List->Focused());
    Headless::Type(u"x");  // typed in the list, forwarded to the edit
    Pump();
    EXPECT_EQ(Edit->GetText(), u"x");
    Window()->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
    EXPECT_EQ(Edit->WheelDowns, 1);
    EXPECT_EQ(Window()->Perform(WM_GETDLGCODE, 0, 0), 5);
}
