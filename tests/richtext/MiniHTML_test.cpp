#include <gtest/gtest.h>

#include "platform/gdi/DrawText.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "richtext/MiniHTML.h"
#include "richtext/MiniHTMLMarkup.h"
#include "richtext/PictureContainer.h"
#include "platform/gdi/Codecs.h"
#include "platform/rtl/Streams.h"
#include "tests/support/Fixtures.h"
#include <fstream>
#include "tests/platform/gdi/PixelProbe.h"

using namespace VovHTMLE;

namespace {

// One DrawHTMLText call with the callers' usual arguments and its outputs.
struct THTMLCall {
    int X { -1 }, Y { -1 };
    int FocusAnchor { -1 }, HoverAnchor { 0 };
    bool LocateOnly { false }, MeasureOnly { false }, KeepColors { false }, WordWrap { true }, BlinkOn { true };
    bool HoverOnly { false };
    TColor AnchorColor { TColor(0xFF0000) };
    TColor HoverBk { clNone };
    float DPIScale { 1.0f };
    THTMLPictureCache* Cache { nullptr };
    TPictureContainer* Container { nullptr };
    String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
    int XSize { 0 }, YSize { 0 }, Anchors { 0 }, HitIndex { 0 };
    TRect HitRect {}, ControlRect {};
    bool Result { false };

    TCustomImageList* Images { nullptr };
    bool Printing { false };
    double PrintFactor { 1.0 };

    bool Run(TCanvas& c, const String& markup, const TRect& r)
    {
        Result = DrawHTMLText(&c, markup, r, Images, X, Y, FocusAnchor, HoverAnchor, 1, LocateOnly, MeasureOnly,
            Printing, KeepColors, BlinkOn, HoverOnly, WordWrap, false, u"", PrintFactor, AnchorColor, HoverBk, clNone,
            TColor(0x808080), HitAnchor, Stripped, FocusHref, Title, XSize, YSize, Anchors, HitIndex, HitRect,
            ControlRect, ControlID, ControlValue, ControlType, Cache, Container, nullptr, DPIScale, 0);
        return Result;
    }
};

class MiniHTMLDraw : public ::testing::Test {
protected:
    MiniHTMLDraw() : dc(300, 120)
    {
        canvas.SetHandle(dc.DC);
        canvas.GetFont()->SetName(u"Arial");
        canvas.GetFont()->SetSize(10);
        canvas.GetFont()->SetColor(clBlack);
        canvas.GetBrush()->SetColor(clWhite);
    }
    ~MiniHTMLDraw() override { canvas.SetHandle(nullptr); }

    int Width(const String& s) { return canvas.TextWidth(s); }
    int GH() { return canvas.TextHeight(u"gh"); }
    // Clearly red pixels inside a box (text edges are blended).
    static int Reds(const TMemDC& d, RECT box = { 0, 0, 300, 120 })
    {
        int n = 0;
        for (int y = box.Top; y < box.Bottom; ++y)
            for (int x = box.Left; x < box.Right; ++x) {
                const COLORREF c = d.At(x, y);
                n += GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        return n;
    }

    TMemDC dc;
    TCanvas canvas;
    const TRect area { 0, 0, 300, 120 };
};

} // namespace

TEST(MiniHTMLMarkup, PreparationOfTheText)
{
    const struct {
        const char16_t* In;
        const char16_t* Out;
    } cases[] = {
        { u"a &amp; b", u"a && b" },
        { u"a &AMP; b", u"a && b" },
        { u"&amp;amp;", u"&&&" },
        { u"caf&eacute; &Otilde &euro;", u"café Õ €" },
        { u"&quot;q&quot;", u"\"q\"" },
        { u"&#65;&#x41;", u"AA" },
        { u"&#65 xyzw;", u"Axyzw;" },     // the terminator is consumed with the reference
        { u"&#65 x;", u"&#65 x;" },       // a near semicolon ends it: " x" is no number
        { u"&#;", u"&#;" },               // no digits
        { u"&#6a5;", u"&#6a5;" },         // a letter in a decimal number
        { u"&#1234567;", u"&#1234567;" }, // more than six digits
        { u"&#65", u"&#65" },             // no semicolon anywhere after it
        { u"&#xD800;", u"&#xD800;" },     // a lone surrogate is no character
        { u"&#x110000;", u"&#x110000;" }, // beyond Unicode
        { u"&&#65;", u"&&#65;" },
        { u"&#x1F600;", u"<J \U0001F600 >" },
        { u"<#5>", u"#5" },
        { u"a\r\nb", u"a<BR>b" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.In));
        EXPECT_EQ(PrepareHTMLText(c.In), String(c.Out));
    }
}

TEST(MiniHTMLMarkup, ColoursAndNumbers)
{
    const struct {
        const char16_t* Value;
        TColor Color;
    } colors[] = {
        { u"#FF0000", TColor(0x0000FF) }, { u"#00ff80", TColor(0x80FF00) }, { u"red", TColor(0x0000FF) },
        { u"clRed", TColor(0x0000FF) }, { u"GREY", TColor(0x808080) }, { u"rebeccapurple", TColor(0x993366) },
        { u"aliceblue", TColor(0xFFF8F0) }, { u"yellowgreen", TColor(0x32CD9A) },
        { u"3ddkshadow", TColor(0xFF000015u) }, { u"clBtnFace", TColor(0xFF00000Fu) },
        { u"windowtext", TColor(0xFF000008u) }, { u"nosuchcolour", TColor(0) }, { u"#12", TColor(0) },
    };
    for (const auto& c : colors) {
        SCOPED_TRACE(StringToUtf8(c.Value));
        EXPECT_EQ(HTMLColor(c.Value), c.Color);
    }
    const struct {
        const char16_t* Text;
        int Value;
        bool Whole;
    } numbers[] = {
        { u"12", 12, true }, { u"  -7", -7, true }, { u"$1F", 31, true }, { u"0x10", 16, true },
        { u"3\"", 3, false }, { u"abc", 0, false }, { u"", 0, false }, { u"99999999999", 2147483647, true },
    };
    for (const auto& n : numbers) {
        SCOPED_TRACE(StringToUtf8(n.Text));
        int v = -1;
        EXPECT_EQ(ReadAttributeNumber(n.Text, v), n.Whole);
        EXPECT_EQ(v, n.Value);
    }
}

TEST_F(MiniHTMLDraw, MeasuresPlainTextAndLineBreaks)
{
    const int gh = GH();
    const struct {
        const char16_t* Markup;
        String Expected; // text whose width XSize must be
        int Lines;
        const char16_t* Stripped;
    } cases[] = {
        { u"", u"", 1, u"" },
        { u"Hello", u"Hello", 1, u"Hello" },
        { u"one<BR>three", u"three", 2, u"one\rthree" },
        { u"ab<cd", u"ab", 1, u"ab" }, // text after an unclosed "<" is not shown
        { u"a<FOO>b", u"ab", 1, u"ab" },
        { u"x&lt;y", u"x<y", 1, u"x<y" },
        { u"a<CONTROL TYPE=\"EDIT\" VALUE=\"v\">b", u"ab", 1, u"ab" }, // no WIDTH: no control
        { u"a<Z>hidden</Z>b", u"ab", 1, u"ahiddenb" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Markup));
        THTMLCall call;
        call.MeasureOnly = true;
        EXPECT_FALSE(call.Run(canvas, c.Markup, area));
        EXPECT_EQ(call.XSize, Width(c.Expected));
        EXPECT_EQ(call.YSize, c.Lines * gh);
        EXPECT_EQ(call.Stripped, String(c.Stripped));
    }
}

TEST_F(MiniHTMLDraw, AmpersandsFollowPrefixRules)
{
    // "&amp;" shows one ampersand; a bare one is not drawn.
    const int withAmpersand = Width(u"a&b");
    THTMLCall call;
    call.MeasureOnly = true;
    call.Run(canvas, u"a&amp;b", area);
    EXPECT_EQ(call.XSize, withAmpersand);
    call.Run(canvas, u"a&b", area);
    EXPECT_EQ(call.XSize, Width(u"ab"));
}

TEST_F(MiniHTMLDraw, WrapsBetweenWordsOnly)
{
    const int gh = GH();
    const int narrow = Width(u"aaaa bbbb") - 2;
    THTMLCall call;
    call.MeasureOnly = true;
    call.Run(canvas, u"aaaa bbbb cccc", TRect { 0, 0, narrow, 200 });
    EXPECT_EQ(call.YSize, 3 * gh);
    // "bo" and "ld" form one word across the tag: "ld" is never moved alone.
    call.Run(canvas, u"aaaa bo<B>ld</B>", TRect { 0, 0, Width(u"aaaa bo") + 3, 200 });
    EXPECT_EQ(call.YSize, gh);
    EXPECT_EQ(call.Stripped, u"aaaa bold");
    // A single word wider than the area stays on its line.
    call.Run(canvas, u"abcdefghijkl", TRect { 0, 0, 20, 200 });
    EXPECT_EQ(call.YSize, gh);
    EXPECT_EQ(call.XSize, Width(u"abcdefghijkl"));
    // Without word wrap, lines end at breaks only and an overflowing piece
    // drops everything after it.
    call.WordWrap = false;
    call.Run(canvas, u"aaaa <B>bbbb</B><BR>cccc", TRect { 0, 0, narrow - 10, 200 });
    EXPECT_EQ(call.YSize, gh);
    EXPECT_EQ(call.Stripped.find(u"cccc"), String::npos);
}

TEST_F(MiniHTMLDraw, FontSizesAndLineHeights)
{
    TFont f12;
    f12.Assign(canvas.GetFont());
    f12.SetSize(12);
    TFont* original = new TFont;
    original->Assign(canvas.GetFont());
    canvas.GetFont()->SetSize(12);
    const int w12 = Width(u"XXXX");
    canvas.GetFont()->SetSize(7);
    const int w7 = Width(u"XXXX");
    canvas.GetFont()->Assign(original);
    delete original;
    const int gh = GH();
    THTMLCall call;
    call.MeasureOnly = true;
    call.Run(canvas, u"<FONT SIZE=\"3\">XXXX</FONT>", area);
    EXPECT_EQ(call.XSize, w12);
    call.Run(canvas, u"<FONT SIZE=\"7\">XXXX</FONT>", area);
    EXPECT_EQ(call.XSize, w7);
    EXPECT_EQ(canvas.GetFont()->GetSize(), 10); // the canvas font is restored
    call.Run(canvas, u"<P LINE-HEIGHT=\"2\">a</P>", area);
    EXPECT_EQ(call.YSize, 2 * gh);
    call.Run(canvas, u"<P LINE-HEIGHT=\"-3\">a</P>", area);
    EXPECT_EQ(call.YSize, gh);
    // Bold opened on one line stays on the next.
    call.Run(canvas, u"<B>a<BR>WWW</B>", area);
    TFont* font = canvas.GetFont();
    font->SetStyle(TFontStyles { fsBold });
    const int boldWidth = Width(u"WWW");
    font->SetStyle(TFontStyles {});
    EXPECT_EQ(call.XSize, boldWidth);
}

TEST_F(MiniHTMLDraw, ListItemsStartLines)
{
    THTMLCall call;
    call.MeasureOnly = true;
    call.Run(canvas, u"<LI>a<LI>b", area);
    EXPECT_EQ(call.YSize, 2 * GH());
}

TEST_F(MiniHTMLDraw, AnchorsAreCountedAndHit)
{
    THTMLCall measure;
    measure.MeasureOnly = true;
    measure.X = 5;
    measure.Y = 5;
    EXPECT_FALSE(measure.Run(canvas, u"<A HREF=\"Go\">link</A>", area));
    EXPECT_EQ(measure.Anchors, 1);

    const String markup = u"see <A HREF=\"Target\" TITLE=\"Tip\">this link</A> now";
    const int start = 1 + Width(u"see ");
    THTMLCall locate;
    locate.LocateOnly = true;
    locate.X = start + 5;
    locate.Y = GH() / 2;
    EXPECT_TRUE(locate.Run(canvas, markup, area));
    EXPECT_EQ(locate.HitAnchor, u"Target");
    EXPECT_EQ(locate.Title, u"Tip");
    EXPECT_EQ(locate.HitIndex, 1);
    EXPECT_EQ(locate.HitRect.Left, start);
    EXPECT_EQ(locate.HitRect.Right, start + Width(u"this link"));

    THTMLCall miss;
    miss.LocateOnly = true;
    miss.X = 3;
    miss.Y = GH() / 2;
    EXPECT_FALSE(miss.Run(canvas, markup, area));
    EXPECT_TRUE(miss.HitAnchor.empty());
    EXPECT_EQ(miss.HitIndex, -1);
}

TEST_F(MiniHTMLDraw, PaintsColoursBackgroundsAndMarks)
{
    const COLORREF red = RGB(255, 0, 0);
    THTMLCall call;
    call.Run(canvas, u"<FONT COLOR=\"red\">WWWW</FONT>", area);
    EXPECT_GT(Reds(dc), 10);

    TMemDC other(300, 120);
    canvas.SetHandle(other.DC);
    call.Run(canvas, u"<BODY BGCOLOR=\"clRed\">x", area);
    EXPECT_EQ(other.At(150, 110), red);
    canvas.SetHandle(dc.DC);

    // A plain name is no "cl" name: the body keeps its background.
    TMemDC plain(300, 120);
    canvas.SetHandle(plain.DC);
    call.Run(canvas, u"<BODY BGCOLOR=\"red\">x", area);
    EXPECT_EQ(plain.At(150, 110), RGB(255, 255, 255));
    canvas.SetHandle(dc.DC);

    // KeepColors ignores FONT COLOR.
    TMemDC kept(300, 120);
    canvas.SetHandle(kept.DC);
    call.KeepColors = true;
    call.Run(canvas, u"<FONT COLOR=\"red\">WWWW</FONT>", area);
    EXPECT_FALSE(kept.Ink().empty());
    EXPECT_EQ(Reds(kept), 0);
    canvas.SetHandle(dc.DC);
}

TEST_F(MiniHTMLDraw, ErrorMarkingDrawsARedWave)
{
    THTMLCall call;
    call.Run(canvas, u"ok <E>wrong</E>", area);
    const int left = 1 + Width(u"ok ");
    const RECT band { left, 0, left + Width(u"wrong"), GH() + 2 };
    EXPECT_GT(Reds(dc, band), Width(u"wrong") / 2);
    EXPECT_EQ(Reds(dc, RECT { 0, 0, left - 2, 120 }), 0);
}

TEST_F(MiniHTMLDraw, FocusRectangleAroundTheFirstAnchor)
{
    THTMLCall call;
    call.FocusAnchor = 0;
    call.Run(canvas, u"<A HREF=\"first\">one</A> <A HREF=\"second\">two</A>", area);
    EXPECT_EQ(call.FocusHref, u"first");
    // The dotted frame runs left of the first anchor's text.
    int dots = 0;
    for (int y = 0; y < GH(); ++y)
        dots += dc.At(0, y) != RGB(255, 255, 255);
    EXPECT_GT(dots, 2);
}

TEST_F(MiniHTMLDraw, FormControls)
{
    THTMLCall plain;
    plain.Run(canvas, u"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"false\" WIDTH=\"20\">", area);
    const auto unchecked = dc.Ink();
    TMemDC other(300, 120);
    canvas.SetHandle(other.DC);
    THTMLCall checked;
    checked.Run(canvas, u"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\" WIDTH=\"20\">", area);
    EXPECT_GT(other.Ink().size(), unchecked.size());
    canvas.SetHandle(dc.DC);

    // LocateOnly reports the control with the given ID wherever the point is.
    THTMLCall locate;
    locate.LocateOnly = true;
    locate.ControlID = u"e2";
    EXPECT_TRUE(locate.Run(canvas,
        u"<CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"a\" WIDTH=\"50\"> <CONTROL TYPE=\"edit\" ID=\"e2\" "
        u"VALUE=\"x&amp;y\" WIDTH=\"60\">",
        area));
    EXPECT_EQ(locate.HitAnchor, u"ctrl");
    EXPECT_EQ(locate.ControlID, u"e2");
    EXPECT_EQ(locate.ControlType, u"EDIT");
    EXPECT_EQ(locate.ControlValue, u"x&y");
    EXPECT_EQ(locate.ControlRect.Right - locate.ControlRect.Left, 60);
}

TEST_F(MiniHTMLDraw, BadMarkupIsSafe)
{
    const char16_t* cases[] = {
        u"<", u"<<", u"a<", u"<FONT SIZE=\"0\">x", u"<FONT SIZE=\"-5\">x", u"<P LINE-HEIGHT=\"1e308\">x",
        u"<IND X=\"99999999999\">x", u"<R A=\"2147483647\">x</R>", u"<IMG SRC=\"IDX:5\">x",
        u"<IMG SRC=\"nothing\" WIDTH=\"10\">", u"<CONTROL WIDTH=\"abc\" TYPE=\"BUTTON\">", u"&#x1F600;&#",
        u"<LI><LI><LI>", u"<UL><UL></UL></UL></UL></OL>", u"</", u"<P FLOAT=\"LEFT\">a<P FLOAT=\"RIGHT\">b",
    };
    for (const char16_t* markup : cases) {
        SCOPED_TRACE(StringToUtf8(markup));
        THTMLCall call;
        call.Run(canvas, markup, area);
        EXPECT_GT(call.YSize, 0);
        call.MeasureOnly = true;
        call.Run(canvas, markup, area);
        EXPECT_GT(call.YSize, 0);
    }
}

namespace {

TBytes SolidPng(int w, int h, std::uint32_t argb)
{
    TImageFrame f;
    f.Width = w;
    f.Height = h;
    f.Pixels.assign(std::size_t(w) * std::size_t(h), argb);
    return EncodePng(f);
}

} // namespace

TEST_F(MiniHTMLDraw, PicturesFromContainerAndCache)
{
    TPictureContainer container;
    TPictureItem* item = container.GetItems()->Add();
    item->SetName(u"Red");
    {
        TBytesStream s(SolidPng(20, 10, 0xFFFF0000));
        dynamic_cast<THTMLPicture&>(*item->GetPicture()).LoadFromStream(s);
    }
    const int gh = GH();
    const struct {
        const char16_t* Markup;
        float Scale;
        int XSize, YSize;
    } cases[] = {
        { u"<IMG SRC=\"red\">", 1.0f, 22, std::max(gh, 10) },
        { u"<IMG SRC=\"Red\" WIDTH=\"40\" HEIGHT=\"30\">", 1.0f, 42, 30 },
        { u"<IMG SRC=\"Red\" WIDTH=\"40\">", 1.0f, 42, std::max(gh, 20) },
        { u"<IMG SRC=\"Red\" HEIGHT=\"40\">", 1.0f, 82, 40 },
        { u"<IMG SRC=\"Red\">", 2.0f, 42, std::max(gh, 20) },
        { u"<IMG SRC=\"nothing\">", 1.0f, 2, gh },           // a missing picture keeps its gap
        { u"<IMG SRC=\"IDX:0\">", 1.0f, 2, gh },             // no image list
        { u"<IMG SRC=\"http://example.invalid/x.png\">", 1.0f, 2, gh }, // no cache given
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Markup));
        THTMLCall call;
        call.MeasureOnly = true;
        call.Container = &container;
        call.DPIScale = c.Scale;
        call.Run(canvas, c.Markup, area);
        EXPECT_EQ(call.XSize, c.XSize);
        EXPECT_EQ(call.YSize, c.YSize);
    }

    // Painted at the pen position with its top at the line top.
    THTMLCall paint;
    paint.Container = &container;
    paint.Run(canvas, u"<IMG SRC=\"red\">", area);
    EXPECT_EQ(dc.At(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(dc.At(20, 9), RGB(255, 0, 0));
    EXPECT_EQ(dc.At(21, 9), RGB(255, 255, 255));
    EXPECT_EQ(dc.At(20, 10), RGB(255, 255, 255));

    // A file address keeps its letter case on a case-sensitive file system.
    testsupport::TempDir dir;
    const auto file = dir / "MixedCase.png";
    {
        const TBytes png = SolidPng(6, 4, 0xFF0000FF);
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    }
    THTMLPictureCache cache;
    THTMLCall fromFile;
    fromFile.MeasureOnly = true;
    fromFile.Cache = &cache;
    const String markup = u"<IMG SRC=\"FILE://" + Utf8ToString(file.string()) + u"\">";
    fromFile.Run(canvas, markup, area);
    EXPECT_EQ(fromFile.XSize, 8);
    fromFile.Run(canvas, markup, area);
    EXPECT_EQ(cache.GetCount(), 1); // found again by its address
}

TEST_F(MiniHTMLDraw, PictureAnchorsAreHit)
{
    TPictureContainer container;
    TPictureItem* item = container.GetItems()->Add();
    item->SetName(u"pic");
    TBytesStream s(SolidPng(20, 20, 0xFF00FF00));
    dynamic_cast<THTMLPicture&>(*item->GetPicture()).LoadFromStream(s);
    // The ALT picture shows while the point is on the picture.
    TPictureItem* hover = container.GetItems()->Add();
    hover->SetName(u"hover");
    TBytesStream hs(SolidPng(20, 20, 0xFFFF0000));
    dynamic_cast<THTMLPicture&>(*hover->GetPicture()).LoadFromStream(hs);
    for (const int x : { 10, 100 }) {
        TMemDC d(300, 120);
        canvas.SetHandle(d.DC);
        THTMLCall call;
        call.Container = &container;
        call.X = x;
        call.Y = 10;
        call.Run(canvas, u"<A HREF=\"go\"><IMG SRC=\"pic\" ALT=\"hover\"></A>", area);
        EXPECT_EQ(d.At(5, 5), x == 10 ? RGB(255, 0, 0) : RGB(0, 255, 0));
        canvas.SetHandle(dc.DC);
    }
    for (const bool locate : { false, true }) {
        SCOPED_TRACE(locate);
        THTMLCall call;
        call.Container = &container;
        call.LocateOnly = locate;
        call.X = 10;
        call.Y = 10;
        EXPECT_TRUE(call.Run(canvas, u"<A HREF=\"go\"><IMG SRC=\"pic\"></A>", area));
        EXPECT_EQ(call.HitAnchor, u"go");
        call.X = 40;
        EXPECT_FALSE(call.Run(canvas, u"<A HREF=\"go\"><IMG SRC=\"pic\"></A>", area));
        EXPECT_TRUE(call.HitAnchor.empty());
    }
}

TEST_F(MiniHTMLDraw, IndentsEmojiAndAlignment)
{
    THTMLCall call;
    call.MeasureOnly = true;
    call.Run(canvas, u"<IND X=\"50\">a", area);
    EXPECT_EQ(call.XSize, 50 + Width(u"a"));
    call.Run(canvas, u"<IND X=\"5x\">a", area); // not wholly a number: no effect
    EXPECT_EQ(call.XSize, Width(u"a"));
    // An emoji moves the pen but does not widen the text.
    call.Run(canvas, u"a&#x1F600;b", area);
    EXPECT_EQ(call.XSize, Width(u"ab"));

    THTMLCall paint;
    paint.Run(canvas, u"<P ALIGN=\"RIGHT\">WW</P>left", area);
    const RECT firstLine = [&] {
        RECT r { 300, 0, 0, 0 };
        for (int y = 0; y < GH(); ++y)
            for (int x = 0; x < 300; ++x)
                if (dc.At(x, y) != RGB(255, 255, 255)) {
                    r.Left = std::min(r.Left, x);
                    r.Right = std::max(r.Right, x + 1);
                }
        return r;
    }();
    EXPECT_GT(firstLine.Left, 300 - Width(u"WW") - 3);
    // </P> puts the next line back on the left.
    bool secondLineLeft = false;
    for (int y = GH(); y < 2 * GH(); ++y)
        for (int x = 0; x < 10; ++x)
            secondLineLeft |= dc.At(x, y) != RGB(255, 255, 255);
    EXPECT_TRUE(secondLineLeft);
}

TEST_F(MiniHTMLDraw, HoverColoursOnlyTheHoveredAnchor)
{
    THTMLCall call;
    call.HoverOnly = true;
    call.HoverAnchor = 2;
    call.HoverBk = TColor(0x00FF00); // green behind the hovered anchor
    call.Run(canvas, u"<A HREF=\"a\">one</A> <A HREF=\"b\">two</A>", area);
    int greenFirst = 0, greenSecond = 0;
    const int split = 1 + Width(u"one ");
    for (int y = 0; y < GH(); ++y)
        for (int x = 0; x < 150; ++x)
            if (dc.At(x, y) == RGB(0, 255, 0))
                (x < split ? greenFirst : greenSecond) += 1;
    EXPECT_EQ(greenFirst, 0);
    EXPECT_GT(greenSecond, 20);
}

TEST_F(MiniHTMLDraw, PaintedMarks)
{
    enum TInk { Red, Green, Blue, Grey, Any };
    const struct {
        const char16_t* Markup;
        TInk Ink;
        bool Present;
        bool KeepColors, BlinkOn;
    } cases[] = {
        { u"a<HR COLOR=\"#FF0000\">b", Red, true, false, true },
        { u"<HI>WWWW</HI>", Green, true, false, true },    // highlight background
        { u"<SHAD>WWWW</SHAD>", Grey, true, false, true }, // shadow colour
        { u"WWWW", Grey, false, false, true },
        { u"<A HREF=\"x\">WWWW</A>", Blue, true, false, true },
        { u"<A HREF=\"x\">WWWW</A>", Blue, false, true, true }, // KeepColors: no anchor colour
        { u"<SPAN STYLE=\"BACKGROUND-COLOR:#00FF00\">WW</SPAN>", Green, true, false, true },
        { u"<P BGCOLOR=\"#00FF00\">a</P>", Green, true, false, true },
        { u"<BLINK>WWWW</BLINK>", Any, true, false, true },
        { u"<BLINK>WWWW</BLINK>", Any, false, false, false }, // hidden phase: the brush colour (white)
        { u"<UL><LI TYPE=\"SQUARE\" COLOR=\"#0000FF\">x</UL>", Blue, true, false, true },
    };
    SetHTMLHighlightColors(TColor(0x00FF00), TColor(0x000000));
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Markup) + (c.KeepColors ? " keep" : "") + (c.BlinkOn ? "" : " blink off"));
        TMemDC d(300, 120);
        canvas.SetHandle(d.DC);
        THTMLCall call;
        call.KeepColors = c.KeepColors;
        call.BlinkOn = c.BlinkOn;
        call.Run(canvas, c.Markup, area);
        int n = 0;
        for (const auto& [x, y] : d.Ink()) {
            const COLORREF k = d.At(x, y);
            const int r = GetRValue(k), g = GetGValue(k), b = GetBValue(k);
            switch (c.Ink) {
            case Red: n += r > 160 && g < 90 && b < 90; break;
            case Green: n += g > 160 && r < 90 && b < 90; break;
            case Blue: n += b > 160 && r < 90 && g < 90; break;
            case Grey: n += r == 128 && g == 128 && b == 128; break;
            case Any: n += 1; break;
            }
        }
        if (c.Present)
            EXPECT_GT(n, 5);
        else
            EXPECT_EQ(n, 0);
        canvas.SetHandle(dc.DC);
    }
    SetHTMLHighlightColors(TColor(0xFF00000Du), TColor(0xFF00000Eu));
}

TEST_F(MiniHTMLDraw, SubscriptsAndSuperscriptsAddToTheLine)
{
    const int gh = GH();
    const struct {
        const char16_t* Markup;
        int YSize;
    } cases[] = {
        { u"a<SUB>b</SUB>", gh + gh / 4 },
        { u"a<SUP>b</SUP>", gh + gh / 4 },
        { u"a<SUP>b</SUP><SUB>c</SUB>", gh + 2 * (gh / 4) },
        { u"a<SUBX>b", gh }, // only the exact tag counts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Markup));
        THTMLCall call;
        call.MeasureOnly = true;
        call.Run(canvas, c.Markup, area);
        EXPECT_EQ(call.YSize, c.YSize);
    }
}

TEST_F(MiniHTMLDraw, FloatingPictureNarrowsTheFollowingLines)
{
    TPictureContainer container;
    TPictureItem* item = container.GetItems()->Add();
    item->SetName(u"p");
    TBytesStream s(SolidPng(20, 3 * GH(), 0xFF0000FF));
    dynamic_cast<THTMLPicture&>(*item->GetPicture()).LoadFromStream(s);
    THTMLCall call;
    call.Container = &container;
    call.Run(canvas, u"<IMG SRC=\"p\" FLOAT=\"LEFT\">one<BR>two<BR>three<BR>four<BR>five<BR>six", area);
    // Leftmost text ink of each line band, picture columns left out.
    auto leftmostText = [&](int line) {
        for (int x = 21; x < 300; ++x)
            for (int y = line * GH(); y < (line + 1) * GH(); ++y)
                if (dc.At(x, y) != RGB(255, 255, 255) && dc.At(x, y) != RGB(0, 0, 255))
                    return x;
        return -1;
    };
    EXPECT_EQ(dc.At(1, 1), RGB(0, 0, 255));
    EXPECT_GE(leftmostText(1), 23); // beside the picture
    EXPECT_GE(leftmostText(2), 23);
    // The line whose top passes the picture's bottom ends the float: the
    // lines after it use the whole width again.
    EXPECT_GE(leftmostText(4), 23);
    EXPECT_LT(leftmostText(5), 8);
}

TEST_F(MiniHTMLDraw, ImageListPicturesAndPrinting)
{
    TCustomImageList images(16, 16);
    TBitmap strip;
    strip.SetSize(32, 16);
    strip.GetCanvas()->GetBrush()->SetColor(TColor(0x0000FF)); // red
    strip.GetCanvas()->FillRect(TRect { 0, 0, 32, 16 });
    ASSERT_EQ(images.Add(&strip, nullptr), 0);
    ASSERT_EQ(images.GetCount(), 2);
    const int gh = GH();
    const struct {
        const char16_t* Markup;
        bool Printing;
        double Factor;
        int XSize;
    } cases[] = {
        { u"<IMG SRC=\"IDX:1\">", false, 1.0, 18 },
        { u"<IMG SRC=\"idx:1\" WIDTH=\"40\">", false, 1.0, 18 }, // list pictures keep the list's size
        { u"<IMG SRC=\"IDX:2\">", false, 1.0, 2 },               // beyond the list
        { u"<IMG SRC=\"IDX:1\">", true, 3.0, 18 },               // printing stretches only the drawing
        { u"<IND X=\"10\">a", true, 2.0, 60 },                   // measured three times as far when printing
        { u"<IND X=\"10\">a", false, 2.0, 10 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Markup) + (c.Printing ? " printing" : ""));
        THTMLCall call;
        call.MeasureOnly = true;
        call.Images = &images;
        call.Printing = c.Printing;
        call.PrintFactor = c.Factor;
        call.Run(canvas, c.Markup, area);
        const bool indent = StringView(c.Markup).starts_with(u"<IND");
        EXPECT_EQ(call.XSize, c.XSize + (indent ? Width(u"a") : 0));
        EXPECT_EQ(call.YSize, std::max(gh, indent || c.XSize == 2 ? 0 : 16));
    }
    THTMLCall print;
    print.Images = &images;
    print.Printing = true;
    print.PrintFactor = 3.0;
    print.Run(canvas, u"<IMG SRC=\"IDX:1\">", area);
    EXPECT_EQ(dc.At(1 + 40, 40), RGB(255, 0, 0));
    EXPECT_EQ(dc.At(1 + 48, 10), RGB(255, 255, 255));
}
