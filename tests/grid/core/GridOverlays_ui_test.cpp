#include <gtest/gtest.h>

#include <memory>

#include "grid/core/GridOverlays.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

class OverlaysUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        form->SetPosition(poDesigned);
        form->SetColor(TColor(0x000000));
        form->Show();
        Headless::PumpUntilIdle();
    }
    void TearDown() override { form.reset(); }
    static std::uint32_t Screen(int x, int y) { return Headless::ScreenPixel({ x, y }) & 0xFFFFFF; }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
};

} // namespace

TEST_F(OverlaysUi, GlowSurroundsTheCellAndLeavesItAlone)
{
    auto* glow = new TGridFocusWindow(form.get());
    glow->HandleNeeded();
    HWND h = glow->GetHandle();
    // (Our window manager adds WS_CLIPSIBLINGS to every window.)
    EXPECT_EQ(DWORD(GetWindowLong(h, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), WS_POPUP | WS_DISABLED);
    EXPECT_EQ(DWORD(GetWindowLong(h, GWL_EXSTYLE)), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);

    const TRect cell(100, 100, 200, 120);
    glow->ShowAround(cell);
    Headless::PumpUntilIdle();
    EXPECT_TRUE(IsWindowVisible(h));
    RECT r;
    GetWindowRect(h, r);
    EXPECT_EQ(TRect(r), TRect(96, 96, 205, 125));
    EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    // The halo over the black form is light blue; the cell shows the form.
    // (Screen pixels read 0xRRGGBB.)
    const std::uint32_t halo = Screen(150, 99);
    EXPECT_GT(halo & 0xFF, 0x40u) << std::hex << halo;
    EXPECT_GT(halo & 0xFF, (halo >> 16) & 0xFF) << std::hex << halo; // more blue than red
    EXPECT_EQ(Screen(150, 110), 0u);
    EXPECT_EQ(Screen(90, 110), 0u);

    // A move follows the cell; hiding takes the halo away.
    glow->ShowAround(TRect(10, 10, 60, 30));
    GetWindowRect(h, r);
    EXPECT_EQ(TRect(r), TRect(6, 6, 65, 35));
    glow->HideGlow();
    Headless::PumpUntilIdle();
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(Screen(150, 99), 0u);
}

TEST_F(OverlaysUi, ArrowsAreShapedPopUpsInTheirColour)
{
    struct Case {
        TArrowDirection dir;
        TPoint inside, outside;
    };
    // Probes inside the 10 x 10 box: a tip and a corner the shape leaves out.
    const Case cases[] = {
        { arrUp, { 5, 2 }, { 1, 1 } },
        { arrDown, { 5, 6 }, { 1, 7 } },
        { arrLeft, { 7, 5 }, { 7, 1 } },  // points right, at its target
        { arrRight, { 1, 5 }, { 1, 1 } }, // points left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.dir));
        auto* arrow = new TArrowWindow(form.get());
        arrow->Init(form.get(), c.dir);
        EXPECT_FALSE(arrow->GetVisible());
        arrow->SetColor(TColor(0x00FF00));
        arrow->HandleNeeded();
        HWND h = arrow->GetHandle();
        EXPECT_EQ(DWORD(GetWindowLong(h, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), WS_POPUP);
        SetWindowPos(h, nullptr, 300, 200, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        Headless::PumpUntilIdle();
        EXPECT_EQ(Screen(300 + c.inside.X, 200 + c.inside.Y), 0x00FF00u);
        EXPECT_EQ(Screen(300 + c.outside.X, 200 + c.outside.Y), 0u);
        delete arrow;
        Headless::PumpUntilIdle();
    }
}
