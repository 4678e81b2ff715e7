#include <gtest/gtest.h>

#include "platform/gdi/WindowRegions.h"
#include "tests/platform/win/WinFixture.h"

namespace {

constexpr DWORD kTop = WS_POPUP | WS_VISIBLE;

// Windows with the real device contexts of the drawing layer.
class GdiWindowTest : public WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        InstallDeviceContextFactory();
    }
    void TearDown() override
    {
        WinTest::TearDown();
        InstallDeviceContextFactory();
    }
};

TEST_F(GdiWindowTest, RegionHandlesInvalidateAndValidate)
{
    HWND w = Make("w", kTop, Bounds(0, 0, 100, 100));
    Pump();
    HRGN a = CreateEllipticRgn(0, 0, 40, 40);
    ASSERT_TRUE(InvalidateRgn(w, a, FALSE));
    HRGN upd = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(w, upd, FALSE), COMPLEXREGION);
    EXPECT_TRUE(EqualRgn(upd, a));
    HRGN part = CreateRectRgn(0, 0, 100, 20);
    ValidateRgn(w, part);
    GetUpdateRgn(w, upd, FALSE);
    RECT box;
    GetRgnBox(upd, &box);
    EXPECT_EQ(box.Top, 20);
    ValidateRgn(w, nullptr);
    EXPECT_EQ(GetUpdateRgn(w, upd, FALSE), NULLREGION);
    InvalidateRgn(w, nullptr, FALSE);
    GetUpdateRgn(w, upd, FALSE);
    GetRgnBox(upd, &box);
    EXPECT_EQ(box, (RECT { 0, 0, 100, 100 }));
    EXPECT_EQ(GetUpdateRgn(nullptr, upd, FALSE), ERROR);
    EXPECT_FALSE(InvalidateRgn(w, reinterpret_cast<HRGN>(&box), FALSE));
    for (HRGN r : { a, upd, part })
        DeleteObject(r);
}

TEST_F(GdiWindowTest, WindowRegionTakesTheHandleOver)
{
    HWND w = Make("w", kTop, Bounds(0, 0, 50, 50));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, probe), ERROR);
    HRGN round = CreateRoundRectRgn(0, 0, 50, 50, 20, 20);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, round, nullptr, RGN_COPY);
    ASSERT_TRUE(SetWindowRgn(w, round, TRUE));
    EXPECT_EQ(GetObjectType(round), 0u); // owned by the window now
    EXPECT_EQ(GetWindowRgn(w, probe), COMPLEXREGION);
    EXPECT_TRUE(EqualRgn(probe, copy));
    ASSERT_TRUE(SetWindowRgn(w, nullptr, TRUE));
    EXPECT_EQ(GetWindowRgn(w, probe), ERROR);
    DeleteObject(probe);
    DeleteObject(copy);
}

TEST_F(GdiWindowTest, WindowDCsDrawIntoTheWindow)
{
    HWND w = Make("w", kTop, Bounds(0, 0, 40, 30));
    Pump();
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    const RECT r { 5, 5, 15, 10 };
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 6, 6), RGB(0, 0, 0));
    ReleaseDC(w, dc);
    EXPECT_EQ(PixelAt(w, { 6, 6 }) & 0xFFFFFF, 0u);
}

} // namespace
