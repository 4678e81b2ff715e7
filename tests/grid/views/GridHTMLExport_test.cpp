#include <gtest/gtest.h>

#include <libxml/parser.h>

#include <filesystem>

#include "grid/core/DedOzovedUrad.h"
#include "tests/grid/views/GridFileTest.h"

using namespace gridfiletest;

namespace {

struct HTMLExport : TTextGridTest {
    String Html(const String& Dir = String())
    {
        TGridRect R;
        R.Left = 0;
        R.Top = 0;
        R.Right = G.GetColCount() - 1;
        R.Bottom = G.GetRowCount() - 1;
        return G.SaveRectToHTMLString(R, Dir);
    }
    static int Count(const String& Text, StringView What)
    {
        int n = 0;
        for (std::size_t p = Text.find(What); p != String::npos; p = Text.find(What, p + 1))
            ++n;
        return n;
    }
};

TEST_F(HTMLExport, TwoByTwoGolden)
{
    Fill({ { u"a", u"" }, { u"b", u"c" } });
    G.GetHTMLSettings()->GetColWidths()->Add(40);
    const String Style = u"background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top";
    EXPECT_EQ(Html(),
        u"<style>\r\n.c0 {" + Style
            + u"}\r\n</style>\r\n"
              u"<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\"  width=\"100%\">\r\n"
              u"<tr><td class=\"c0\" width=40px>a</td><td class=\"c0\">&nbsp;</td></tr>\r\n"
              u"<tr><td class=\"c0\" width=40px>b</td><td class=\"c0\">c</td></tr>\r\n"
              u"</table>\r\n");
}

TEST_F(HTMLExport, DistinctLooksMergesAndLinks)
{
    Fill({ { u"a", u"b", u"http://x.org/p?q=1" }, { u"c", u"d", u"http://e/\"onclick=x" }, { u"e", u"f", u"mailto:me@x.org" } });
    G.GetCellProperties(1, 0)->SetBrushColor(clRed);
    G.MergeCells(0, 1, 2, 2);
    G.SetURLShow(true);
    const String H = Html();
    EXPECT_NE(H.find(u".c1 {background-color: #FF0000;"), String::npos);
    EXPECT_EQ(Count(H, u".c"), 2);
    EXPECT_NE(H.find(u"<td class=\"c0\" colspan=\"2\" rowspan=\"2\">c</td>"), String::npos);
    EXPECT_EQ(Count(H, u"<td"), 6); // nine cells, three covered by the merge
    EXPECT_NE(H.find(u"<a href=\"http://x.org/p?q=1\">x.org/p?q=1</a>"), String::npos);
    EXPECT_NE(H.find(u"<a href=\"http://e/&quot;onclick=x\">"), String::npos);
    EXPECT_NE(H.find(u"<a href=\"mailto:me@x.org\">me@x.org</a>"), String::npos);
    G.SetURLFull(true);
    EXPECT_NE(Html().find(u"<a href=\"http://x.org/p?q=1\">http://x.org/p?q=1</a>"), String::npos);
}

TEST_F(HTMLExport, HeaderRowCarriesTheWidths)
{
    Fill({ { u"H1", u"H2" }, { u"a", u"b" } });
    G.SetFixedRows(1);
    G.GetHTMLSettings()->GetColWidths()->Add(10);
    G.GetHTMLSettings()->GetColWidths()->Add(20);
    const String H = Html();
    EXPECT_NE(H.find(u"width=10px>H1</td>"), String::npos);
    EXPECT_NE(H.find(u"width=20px>H2</td>"), String::npos);
    EXPECT_EQ(Count(H, u"width="), 3); // the table's and the two header cells'
}

TEST_F(HTMLExport, FilesInUSASCIIAndInTheGridsEncoding)
{
    Fill({ { u"caf\u00E9" } });
    const auto Ascii = Dir / "a.html", Utf = Dir / "u.html";
    G.SaveToHTML(P(Ascii), false, false);
    G.SaveToHTML(P(Utf), false, true);
    const std::string A = ReadBytes(Ascii), U = ReadBytes(Utf);
    EXPECT_EQ(A.find("caf\xC3\xA9"), std::string::npos);
    EXPECT_NE(A.find("caf?"), std::string::npos);
    EXPECT_EQ(U.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(U.find("caf\xC3\xA9"), std::string::npos);
}

// Header pictures and body pictures keep distinct files.
TEST_F(HTMLExport, EveryPictureOfAnExportIsKept)
{
    Fill({ { u"h", u"h" }, { u"b", u"b" } });
    G.SetFixedRows(1);
    TBitmap Bmp;
    Bmp.SetSize(3, 3);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            G.AddBitmap(c, r, &Bmp, false, haLeft, vaTop);
    const String D = P(Dir.path()) + u"/";
    const String H = Html(D);
    EXPECT_EQ(Count(H, u"<img src= \"file://"), 4);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(std::filesystem::exists(Dir / "images" / ("img" + std::to_string(i) + ".jpg"))) << i;
}

TEST_F(HTMLExport, XHTMLIsWellFormedXML)
{
    Fill({ { u"a & b \u00E9 <x>", u"" }, { u"line\r\nbreak", u"http://x.org/?a=1" } });
    G.GetHTMLSettings()->SetXHTML(true);
    G.GetHTMLSettings()->SetConvertSpecialChars(true);
    G.GetHTMLSettings()->SetNonBreakingText(true);
    G.GetHTMLSettings()->GetColWidths()->Add(30);
    G.SetURLShow(true);
    TBitmap Bmp;
    Bmp.SetSize(3, 3);
    G.AddBitmap(1, 0, &Bmp, false, haLeft, vaTop);
    const std::string X = StringToUtf8(Html(P(Dir.path()) + u"/"));
    EXPECT_NE(X.find("&#160;"), std::string::npos);
    EXPECT_NE(X.find("<br />"), std::string::npos);
    EXPECT_EQ(X.find("<HTML"), std::string::npos);
    xmlDocPtr Doc = xmlReadMemory(X.data(), int(X.size()), "x.html", nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR);
    EXPECT_NE(Doc, nullptr) << X;
    if (Doc)
        xmlFreeDoc(Doc);
}

} // namespace
