#include <cstring>

#include "platform/win/Clipboard.h"
#include "tests/platform/win/WinFixture.h"

namespace {

HGLOBAL Bytes(const void* data, std::size_t n)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(h), data, n);
    GlobalUnlock(h);
    return h;
}

std::string Read(HANDLE h)
{
    const auto* p = static_cast<const char*>(GlobalLock(h));
    std::string s(p, GlobalSize(h));
    GlobalUnlock(h);
    return s;
}

} // namespace

TEST_F(WinTest, ClipboardRoundTripsPrivateFormatsInOrder)
{
    HWND a = Make("a", WS_POPUP, Bounds(0, 0, 10, 10));
    HWND b = Make("b", WS_POPUP, Bounds(0, 0, 10, 10));
    const UINT grid = RegisterClipboardFormat(u"Grid Cells");
    EXPECT_GE(grid, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat(u"Grid Cells"), grid);
    HGLOBAL refused = Bytes("x", 1);
    EXPECT_EQ(SetClipboardData(grid, refused), nullptr); // not open: the caller keeps the block
    EXPECT_EQ(GlobalFree(refused), nullptr);

    ASSERT_TRUE(OpenClipboard(a));
    EXPECT_FALSE(OpenClipboard(b)); // someone else holds it
    ASSERT_TRUE(EmptyClipboard());
    const char cells[] = "r1\tc1\0r2";
    ASSERT_NE(SetClipboardData(grid, Bytes(cells, sizeof cells)), nullptr);
    const char16_t text[] = u"r1 c1";
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, Bytes(text, sizeof text)), nullptr);
    EXPECT_EQ(EnumClipboardFormats(0), grid);
    EXPECT_EQ(EnumClipboardFormats(grid), CF_UNICODETEXT);
    EXPECT_EQ(EnumClipboardFormats(CF_UNICODETEXT), 0u);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardOwner(), a);

    ASSERT_TRUE(OpenClipboard(b));
    EXPECT_TRUE(IsClipboardFormatAvailable(grid));
    EXPECT_EQ(Read(GetClipboardData(grid)), std::string(cells, sizeof cells));
    // The ANSI text is made from the Unicode text (UTF-8 here).
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), std::string("r1 c1", 6));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(grid));
    CloseClipboard();
}

TEST_F(WinTest, AnsiTextBecomesUnicodeText)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const char utf8[] = "Gr\xC3\xB6\xC3\x9F" "e";
    SetClipboardData(CF_TEXT, Bytes(utf8, sizeof utf8));
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(String(static_cast<const char16_t*>(GlobalLock(h))), u"Größe");
    GlobalUnlock(h);
    EmptyClipboard();
    CloseClipboard();
}

TEST_F(WinTest, GlobalMemoryRejectsHandlesItDidNotMake)
{
    HGLOBAL h = GlobalAlloc(GHND, 16);
    EXPECT_EQ(GlobalSize(h), 16u);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(h));
    EXPECT_EQ(std::count(p, p + 16, 0), 16);
    EXPECT_FALSE(GlobalUnlock(h)); // the lock count went back to zero
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h); // already gone
    EXPECT_EQ(GlobalLock(h), nullptr);
    int local = 0;
    EXPECT_EQ(GlobalSize(&local), 0u);
}
