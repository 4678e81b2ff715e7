#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "dropdown/LumDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Headless.h"
#include "platform/win/SdlBackend.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "tests/support/Limits.h"
#include "tests/support/PrivateDisplay.h"

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

// On a real display: the button opens the window below the edit at the
// content's size, the display shows it, and a second press on the button
// closes it (the window loses activation first) without reopening it.
TEST(ControlDropDownDesktop, OpensPlacesSizesAndClosesOnTheDisplay)
{
    testsupport::TPrivateDisplay display(800, 600);
    std::unique_ptr<IWindowBackend> sdl = CreateSdlBackend();
    if (!sdl)
        GTEST_SKIP() << "no display can be opened";
    SetWindowBackend(sdl.get());
    InstallMessageLoopHooks();
    InstallDeviceContextFactory();
    {
        TForm form(nullptr);
        form.SetPosition(poDesigned);
        form.SetBorderStyle(bsNone);
        form.SetBounds(60, 40, 400, 300);
        auto* edit = new TestControlDropDown(&form);
        edit->SetParent(&form);
        edit->SetBounds(20, 30, 200, 21);
        edit->GetDropDownHeader()->SetVisible(false);
        edit->GetDropDownFooter()->SetVisible(false);
        edit->SetDropDownColor(0x00FF00);
        auto* list = new TListBox(&form);
        list->SetParent(&form);
        list->SetBounds(0, 0, 100, 80);
        list->GetItems()->Add(u"alpha");
        edit->SetControl(list);
        form.Show();
        Application->ProcessMessages();

        // The display answers in its own time: wait for the state itself,
        // then let what follows from it run.
        auto waitFor = [](const std::function<bool()>& done) {
            const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
            while (!done() && std::chrono::steady_clock::now() < deadline) {
                Application->ProcessMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            for (int i = 0; i < 20; ++i) {
                Application->ProcessMessages();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        };
        const TPoint button = edit->GetButton()->ClientToScreen({ 5, 5 });
        Headless::Click(button);
        waitFor([&] { return edit->GetDroppedDown(); });
        ASSERT_TRUE(edit->GetDroppedDown());
        TDropDownForm* window = edit->GetDropDownForm();
        const TPoint corner = form.ClientToScreen({ 20, 30 });
        EXPECT_EQ(window->GetLeft(), corner.X);
        EXPECT_EQ(window->GetTop(), corner.Y + 21 - 1);
        const int w = 200 - GetSystemMetrics(SM_CXVSCROLL), h = 80 + 2;
        EXPECT_EQ(window->GetWidth(), w);
        EXPECT_EQ(window->GetHeight(), h);

        // The display shows the window at that size: the black border and the list inside it.
        std::vector<std::uint32_t> pixels;
        int width = 0, height = 0;
        bool seen = false;
        const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            Application->ProcessMessages();
            if (ReadDisplayedPixels(window->GetHandle(), pixels, width, height) && width == w && height == h)
                seen = (pixels[0] & 0xFFFFFF) == 0 && (pixels[std::size_t(h / 2) * std::size_t(w) + std::size_t(w - 10)] & 0xFFFFFF) == 0xFFFFFF;
            if (!seen)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_TRUE(seen) << "the display never showed the drop-down window: " << width << "x" << height;

        Headless::Click(button);
        waitFor([&] { return !edit->GetDroppedDown() && !IsWindowVisible(window->GetHandle()); });
        EXPECT_FALSE(edit->GetDroppedDown());
        EXPECT_FALSE(IsWindowVisible(window->GetHandle()));
        EXPECT_FALSE(list->GetVisible() && list->GetParent() == window && IsWindowVisible(list->GetHandle()));
    }
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetWindowBackend(nullptr);
    sdl.reset();
}
