#include "tests/platform/win/WinFixture.h"

TEST_F(WinTest, ParentsOwnersAndAncestors)
{
    HWND form = Make("form", WS_OVERLAPPED | WS_VISIBLE, Bounds(0, 0, 300, 300));
    HWND panel = Make("panel", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 100, 100), form);
    HWND edit = Make("edit", WS_CHILD | WS_VISIBLE, Bounds(5, 5, 50, 20), panel);
    HWND drop = Make("drop", WS_POPUP, Bounds(0, 0, 50, 50), edit); // owned by edit's form
    EXPECT_EQ(GetParent(edit), panel);
    EXPECT_EQ(GetParent(drop), form);
    EXPECT_EQ(GetWindow(drop, GW_OWNER), form);
    EXPECT_EQ(GetAncestor(edit, GA_ROOT), form);
    EXPECT_EQ(GetAncestor(drop, GA_ROOTOWNER), form);
    EXPECT_EQ(GetAncestor(form, GA_PARENT), GetDesktopWindow());
    EXPECT_TRUE(IsChild(form, edit));
    EXPECT_FALSE(IsChild(form, drop));
    EXPECT_EQ(GetDlgCtrlID(panel), 2);

    // Re-parenting moves the window with its children and keeps it in the
    // new parent's coordinates.
    HWND other = Make("other", WS_CHILD | WS_VISIBLE, Bounds(150, 150, 100, 100), form);
    EXPECT_EQ(SetParent(panel, other), form);
    POINT p { 0, 0 };
    ClientToScreen(edit, p);
    EXPECT_EQ(p, TPoint(165, 165));
    EXPECT_EQ(SetParent(other, edit), nullptr); // would make a cycle

    // Owned pop-ups go with their owner.
    DestroyWindow(form);
    EXPECT_FALSE(IsWindow(drop));
    EXPECT_FALSE(IsWindow(edit));
}

TEST_F(WinTest, HidingTheActiveWindowActivatesItsOwner)
{
    Watch = { WM_ACTIVATE };
    HWND form = Make("form", WS_OVERLAPPED | WS_VISIBLE, Bounds(0, 0, 300, 300));
    HWND dialog = Make("dialog", WS_POPUP | WS_VISIBLE, Bounds(10, 10, 100, 100), form);
    EXPECT_EQ(GetActiveWindow(), dialog);
    Log.clear();
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), form);
    const auto H = [](HWND h) { return reinterpret_cast<LPARAM>(h); };
    const std::vector<TLogged> expected { { "dialog", WM_ACTIVATE, WA_INACTIVE, H(form) }, { "form", WM_ACTIVATE, WA_ACTIVE, H(dialog) } };
    EXPECT_EQ(Log, expected);
    DestroyWindow(form);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}
