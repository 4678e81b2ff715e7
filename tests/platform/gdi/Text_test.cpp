#include <gtest/gtest.h>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "tests/platform/gdi/PixelProbe.h"

namespace {

HFONT MakeFont(const char16_t* face, int height, int weight = FW_NORMAL, int escapement = 0)
{
    return CreateFont(height, 0, escapement, escapement, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Font = MakeFont(u"Arial", -16);
        SelectObject(M.DC, Font);
        SetBkMode(M.DC, TRANSPARENT);
    }
    void TearDown() override
    {
        SelectObject(M.DC, GetStockObject(SYSTEM_FONT));
        DeleteObject(Font);
    }
    int Width(const char16_t* s)
    {
        SIZE sz;
        GetTextExtentPoint32(M.DC, s, int(std::char_traits<char16_t>::length(s)), &sz);
        return sz.cx;
    }
    void Clear()
    {
        const RECT all { 0, 0, M.W, M.H };
        FillRect(M.DC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }

    TMemDC M { 320, 200 };
    HFONT Font { nullptr };
};

TEST(Fonts, MappedFacesExistAndUnknownOnesDoNot)
{
    for (const char16_t* face : { u"Arial", u"Tahoma", u"Segoe UI", u"MS Sans Serif", u"Courier New", u"Times New Roman",
             u"Verdana", u"Liberation Sans", u"DejaVu Sans" })
        EXPECT_TRUE(FontFamilyExists(face)) << StringToUtf8(face);
    EXPECT_FALSE(FontFamilyExists(u"No Such Family 7"));
    EXPECT_FALSE(FontFamilyExists(u""));
}

TEST_F(TextTest, MetricsFollowTheRequestedHeight)
{
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(M.DC, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 16);
    EXPECT_GE(tm.tmInternalLeading, 0);
    EXPECT_GT(tm.tmAveCharWidth, 4);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmHeight, 19); // the metric-compatible face of the mapped family

    // A positive height asks for the cell height.
    HFONT cell = MakeFont(u"Arial", 30);
    SelectObject(M.DC, cell);
    ASSERT_TRUE(GetTextMetrics(M.DC, &tm));
    EXPECT_NEAR(tm.tmHeight, 30, 1);
    SelectObject(M.DC, Font);
    DeleteObject(cell);

    // Bold text is wider.
    const int normal = Width(u"Hello World");
    HFONT bold = MakeFont(u"Arial", -16, FW_BOLD);
    SelectObject(M.DC, bold);
    EXPECT_GT(Width(u"Hello World"), normal);
    SelectObject(M.DC, Font);
    DeleteObject(bold);
}

TEST_F(TextTest, ExtentsAddUpAndFitCountsCharacters)
{
    EXPECT_EQ(Width(u""), 0);
    EXPECT_EQ(Width(u"iiii"), 4 * Width(u"i"));
    int fit = -1;
    int dx[5] {};
    SIZE sz;
    ASSERT_TRUE(GetTextExtentExPoint(M.DC, u"WWWWW", 5, Width(u"WW") + 1, &fit, dx, &sz));
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[4], sz.cx);
    int widths[2];
    ASSERT_TRUE(GetCharWidth32(M.DC, 'i', 'j', widths));
    EXPECT_EQ(widths[0], Width(u"i"));
}

TEST_F(TextTest, TextOutPaintsWhereItMeasures)
{
    SetTextColor(M.DC, RGB(0, 0, 0));
    ASSERT_TRUE(TextOut(M.DC, 10, 20, u"HxxxxxxxxxxxxxxxxxxxxxxxH", 26));
    SIZE sz;
    GetTextExtentPoint32(M.DC, u"HxxxxxxxxxxxxxxxxxxxxxxxH", 26, &sz);
    const RECT ink = M.InkBox();
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Left, 12);
    EXPECT_LE(ink.Right, 10 + sz.cx);
    EXPECT_GE(ink.Right, 10 + sz.cx - 3);
    EXPECT_GE(ink.Top, 20);
    EXPECT_LE(ink.Bottom, 20 + sz.cy);

    // Right alignment ends the text at the reference point.
    Clear();
    SetTextAlign(M.DC, TA_RIGHT);
    TextOut(M.DC, 300, 20, u"HH", 2);
    EXPECT_LE(M.InkBox().Right, 300);
    EXPECT_GE(M.InkBox().Right, 297);
    SetTextAlign(M.DC, TA_LEFT);

    // An opaque background fills the text cell.
    Clear();
    SetBkMode(M.DC, OPAQUE);
    SetBkColor(M.DC, RGB(255, 0, 0));
    TextOut(M.DC, 5, 5, u"a b", 3);
    EXPECT_EQ(M.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(M.At(5 + Width(u"a b") - 1, 5 + sz.cy - 1), RGB(255, 0, 0));
    EXPECT_EQ(M.At(5 + Width(u"a b"), 5), RGB(255, 255, 255));
}

TEST_F(TextTest, ExtTextOutOpaqueAndClipped)
{
    SetBkColor(M.DC, RGB(0, 0, 255));
    const RECT r { 10, 10, 30, 30 };
    ExtTextOut(M.DC, 12, 12, ETO_OPAQUE | ETO_CLIPPED, &r, u"WWWWWWWWWW", 10, nullptr);
    const RECT ink = M.InkBox();
    EXPECT_EQ(ink, r);
    EXPECT_EQ(M.At(10, 10), RGB(0, 0, 255));
}

TEST_F(TextTest, RotatedTextRunsUpwards)
{
    HFONT up = MakeFont(u"Arial", -16, FW_NORMAL, 900);
    SelectObject(M.DC, up);
    TextOut(M.DC, 100, 150, u"Rotated text", 12);
    const RECT ink = M.InkBox();
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_LE(ink.Bottom, 151);
    EXPECT_GE(ink.Left, 100); // the glyph tops face left, so the cell lies right of x
    SelectObject(M.DC, Font);
    DeleteObject(up);
}

// Calculating a rectangle and painting into it agree: the ink stays inside
// the calculated rectangle and reaches its far edges.
TEST_F(TextTest, DrawTextMeasureEqualsPaint)
{
    struct Case {
        const char* name;
        const char16_t* text;
        UINT format;
        int width;
    };
    const Case cases[] = {
        { "single line", u"Single line of text", DT_SINGLELINE, 300 },
        { "wrapping", u"The quick brown fox jumps over the lazy dog again and again", DT_WORDBREAK, 120 },
        { "paragraphs", u"First\r\nSecond line\nThird", 0, 300 },
        { "end ellipsis", u"A text far too long for this narrow box", DT_SINGLELINE | DT_END_ELLIPSIS, 100 },
        { "word ellipsis", u"Words that will not fit here", DT_SINGLELINE | DT_WORD_ELLIPSIS, 110 },
        { "path ellipsis", u"C:\\Some\\Long\\Folder\\Name\\file.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS, 120 },
        { "prefix", u"&File and &&more", DT_SINGLELINE, 300 },
        { "tabs", u"a\tb\tc", DT_SINGLELINE | DT_EXPANDTABS, 300 },
        { "centred wrap", u"centred words wrap into lines", DT_WORDBREAK | DT_CENTER, 90 },
        { "edit control breaks long words", u"Supercalifragilisticexpialidocious", DT_WORDBREAK | DT_EDITCONTROL, 80 },
    };
    SetTextColor(M.DC, RGB(0, 0, 0));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        RECT calc { 10, 10, 10 + c.width, 10 };
        const int h = DrawText(M.DC, c.text, -1, &calc, c.format | DT_CALCRECT);
        EXPECT_EQ(h, calc.Bottom - calc.Top);
        EXPECT_LE(calc.Right - calc.Left, c.width);
        RECT paint { 10, 10, 10 + c.width, 190 };
        EXPECT_EQ(DrawText(M.DC, c.text, -1, &paint, c.format), h);
        const RECT ink = M.InkBox();
        ASSERT_FALSE(IsRectEmpty(ink));
        EXPECT_GE(ink.Left, calc.Left);
        EXPECT_LE(ink.Right, calc.Right + 1);
        EXPECT_GE(ink.Right, calc.Right - 3);
        EXPECT_GE(ink.Top, calc.Top);
        EXPECT_LE(ink.Bottom, calc.Bottom);
        EXPECT_GE(ink.Bottom, calc.Bottom - 6);
    }
}

TEST_F(TextTest, DrawTextWrapsAtSpacesAndCountsLines)
{
    TEXTMETRIC tm;
    GetTextMetrics(M.DC, &tm);
    const int w = Width(u"aaa bbb") + 2;
    RECT r { 0, 0, w, 0 };
    EXPECT_EQ(DrawText(M.DC, u"aaa bbb ccc ddd", -1, &r, DT_WORDBREAK | DT_CALCRECT), 2 * tm.tmHeight);
    EXPECT_EQ(r.Right, Width(u"aaa bbb"));
    // A single long word is not broken without the edit-control rule.
    RECT n { 0, 0, 20, 0 };
    EXPECT_EQ(DrawText(M.DC, u"unbreakable", -1, &n, DT_WORDBREAK | DT_CALCRECT), tm.tmHeight);
    EXPECT_EQ(n.Right, Width(u"unbreakable"));
    RECT e { 0, 0, 20, 0 };
    EXPECT_GT(DrawText(M.DC, u"unbreakable", -1, &e, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT), tm.tmHeight);
    EXPECT_LE(e.Right, 20);
    // In a box two and a half lines high the third line shows in part,
    // except under the edit-control rule.
    for (UINT extra : { 0u, UINT(DT_EDITCONTROL) }) {
        SCOPED_TRACE(extra);
        Clear();
        RECT box { 0, 0, w, tm.tmHeight * 5 / 2 };
        DrawText(M.DC, u"aaa bbb ccc ddd eee fff", -1, &box, DT_WORDBREAK | extra);
        const RECT ink = M.InkBox();
        if (extra)
            EXPECT_LE(ink.Bottom, 2 * tm.tmHeight);
        else
            EXPECT_GT(ink.Bottom, 2 * tm.tmHeight);
    }
    // External leading adds to every line.
    RECT x { 0, 0, w, 0 };
    EXPECT_EQ(DrawText(M.DC, u"aaa bbb ccc ddd", -1, &x, DT_WORDBREAK | DT_CALCRECT | DT_EXTERNALLEADING),
        2 * (tm.tmHeight + tm.tmExternalLeading));
}

TEST_F(TextTest, DrawTextPrefixes)
{
    struct Case {
        const char16_t* text;
        UINT format;
        const char16_t* shown;
    };
    const Case cases[] = {
        { u"&File", 0, u"File" },
        { u"a&&b", 0, u"a&b" },
        { u"&File", DT_NOPREFIX, u"&File" },
        { u"&File", DT_HIDEPREFIX, u"File" },
        { u"end&", 0, u"end" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        RECT r { 0, 0, 300, 0 };
        DrawText(M.DC, c.text, -1, &r, c.format | DT_SINGLELINE | DT_CALCRECT);
        EXPECT_EQ(r.Right, Width(c.shown));
    }

    // "&F" underlines exactly the width of "F", below the baseline; hidden
    // prefixes draw no underline; prefix-only draws nothing but it.
    TEXTMETRIC tm;
    GetTextMetrics(M.DC, &tm);
    const int underlineRow = 10 + tm.tmAscent + 1;
    auto underlined = [&](UINT format) {
        Clear();
        RECT r { 10, 10, 300, 60 };
        DrawText(M.DC, u"&File", -1, &r, DT_SINGLELINE | format);
        int n = 0;
        for (int x = 10; x < 300; ++x)
            n += M.At(x, underlineRow) == RGB(0, 0, 0);
        return n;
    };
    EXPECT_EQ(underlined(0), Width(u"F"));
    EXPECT_EQ(underlined(DT_HIDEPREFIX), 0);
    EXPECT_EQ(underlined(DT_PREFIXONLY), Width(u"F"));
    EXPECT_EQ(M.Ink().size(), std::size_t(Width(u"F")));
}

TEST_F(TextTest, DrawTextEllipsisShortensAndModifiesTheString)
{
    String text = u"A rather long caption for a small box";
    RECT r { 0, 0, 100, 30 };
    DrawText(M.DC, text, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(text.size() - 3), u"...");
    EXPECT_LE(Width(text.c_str()), 100);
    EXPECT_GT(Width((text.substr(0, text.size() - 3) + u"a...").c_str()), 100 - Width(u"a") - 1);

    char16_t buffer[64] = u"C:\\Folder\\Subfolder\\Deeper\\report.csv";
    RECT p { 0, 0, 110, 30 };
    DrawText(M.DC, buffer, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
    const String shown(buffer);
    EXPECT_NE(shown.find(u"...\\report.csv"), String::npos);
    EXPECT_LE(Width(buffer), 110);

    // Without DT_MODIFYSTRING the text is left alone.
    String keep = u"Another long caption that will not fit";
    DrawText(M.DC, keep, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(keep, u"Another long caption that will not fit");
}

TEST_F(TextTest, DrawTextVerticalPlacementAndReturnValue)
{
    TEXTMETRIC tm;
    GetTextMetrics(M.DC, &tm);
    struct Case {
        UINT format;
        int top;
    };
    const Case cases[] = {
        { DT_SINGLELINE | DT_TOP, 0 },
        { DT_SINGLELINE | DT_VCENTER, (100 - tm.tmHeight) / 2 },
        { DT_SINGLELINE | DT_BOTTOM, 100 - tm.tmHeight },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        Clear();
        RECT r { 0, 50, 200, 150 };
        const int h = DrawText(M.DC, u"Xy", -1, &r, c.format);
        EXPECT_EQ(h, c.format & (DT_VCENTER | DT_BOTTOM) ? c.top + tm.tmHeight : tm.tmHeight);
        const RECT ink = M.InkBox();
        EXPECT_GE(ink.Top, 50 + c.top);
        EXPECT_LE(ink.Bottom, 50 + c.top + tm.tmHeight);
    }
    // Clipped to the rectangle unless DT_NOCLIP.
    Clear();
    RECT small { 10, 10, 20, 14 };
    DrawText(M.DC, u"WWWW", -1, &small, DT_SINGLELINE);
    const RECT ink = M.InkBox();
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 20);
    EXPECT_LE(ink.Bottom, 14);
    Clear();
    DrawText(M.DC, u"WWWW", -1, &small, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(M.InkBox().Right, 20);
}

TEST_F(TextTest, DrawTextOfNothingAndBadArguments)
{
    RECT empty { 5, 5, 50, 50 };
    EXPECT_EQ(DrawText(M.DC, u"", -1, &empty, DT_CALCRECT), 0);
    EXPECT_EQ(empty, (RECT { 5, 5, 5, 5 }));
    RECT r { 0, 0, 10, 10 };
    EXPECT_EQ(DrawText(M.DC, static_cast<LPCWSTR>(nullptr), 5, &r, 0), 0);
    EXPECT_EQ(DrawText(M.DC, u"x", 1, nullptr, 0), 0);
    DRAWTEXTPARAMS p;
    p.cbSize = 3;
    EXPECT_EQ(DrawTextEx(M.DC, u"x", 1, &r, 0, &p), 0);
    int bogus = 0;
    EXPECT_EQ(DrawText(reinterpret_cast<HDC>(&bogus), u"x", 1, &r, 0), 0);
}

TEST_F(TextTest, DrawTextExMarginsAndTabLength)
{
    DRAWTEXTPARAMS p;
    p.iLeftMargin = 7;
    p.iRightMargin = 5;
    RECT r { 0, 0, 300, 0 };
    DrawTextEx(M.DC, u"abc", -1, &r, DT_SINGLELINE | DT_CALCRECT, &p);
    EXPECT_EQ(r.Right, Width(u"abc") + 12);
    EXPECT_EQ(p.uiLengthDrawn, 3u);

    TEXTMETRIC tm;
    GetTextMetrics(M.DC, &tm);
    DRAWTEXTPARAMS tabs;
    tabs.iTabLength = 4;
    RECT t { 0, 0, 300, 0 };
    DrawTextEx(M.DC, u"a\tb", -1, &t, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, &tabs);
    EXPECT_EQ(t.Right, 4 * tm.tmAveCharWidth + Width(u"b"));
    // DT_TABSTOP takes the tab size from the format's second byte (which
    // then cannot carry other flags): it paints like a tab length of 2.
    RECT s { 0, 0, 300, 40 };
    DrawText(M.DC, u"a\tb", -1, &s, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (2 << 8));
    const RECT viaFormat = M.InkBox();
    Clear();
    tabs.iTabLength = 2;
    DrawTextEx(M.DC, u"a\tb", -1, &s, DT_SINGLELINE | DT_EXPANDTABS, &tabs);
    EXPECT_EQ(M.InkBox(), viaFormat);
    EXPECT_GT(viaFormat.Right, 2 * tm.tmAveCharWidth);
}

} // namespace
