#include "graphics/LumSVGParser.h"

#include <gtest/gtest.h>

#include "platform/rtl/Base64.h"
#include "tests/support/Fixtures.h"
#include "tests/support/HttpServer.h"

namespace {

String Svg(const char* ABody, const char* ARootAttributes = "")
{
    return Utf8ToString(std::string("<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' ")
        + ARootAttributes + ">" + ABody + "</svg>");
}

TLumGraphicsSVGElement* First(TLumGraphicsSVGImport& AImport)
{
    return AImport.ElementCount() > 0 ? AImport.GetElementList()[0] : nullptr;
}

String FixturePath(const char* AName) { return Utf8ToString((testsupport::FixturesDir() / "svg" / AName).string()); }

} // namespace

TEST(LumSVGParser, FixtureSceneBuildsTheElementTree)
{
    TLumGraphicsSVGImport svg;
    svg.LoadFromFile(FixturePath("scene.svg"));
    EXPECT_EQ(svg.GetViewRect(), TRectF(0, 0, 100, 50));
    // g, path, two texts: switch, use and unknown elements are not kept.
    ASSERT_EQ(svg.ElementCount(), 4);
    const auto& top = svg.GetElementList();
    EXPECT_EQ(top[0]->GetType(), etContainer);
    EXPECT_EQ(top[1]->GetType(), etPath);
    EXPECT_EQ(top[2]->GetType(), etText);
    EXPECT_EQ(top[3]->GetType(), etText);

    TLumGraphicsSVGElement* group = top[0];
    EXPECT_EQ(group->GetID(), u"layer");
    EXPECT_EQ(group->GetMatrix(), MatrixCreateTranslation(10, 5));
    ASSERT_EQ(group->GetElements()->GetCount(), 2);
    TLumGraphicsSVGElement* rect = group->GetElements()->GetItem(0);
    TLumGraphicsSVGElement* circle = group->GetElements()->GetItem(1);
    EXPECT_EQ(rect->GetParent(), group);
    EXPECT_TRUE(MatrixIsEmpty(rect->GetMatrix()));
    EXPECT_EQ(circle->GetRx(), 5);
    EXPECT_EQ(circle->GetRy(), 5);

    // Gradient references: the url names "derived", whose href is "base".
    ASSERT_NE(rect->GetPatternRef(), nullptr);
    EXPECT_EQ(rect->GetPatternRef()->GetID(), u"derived");
    ASSERT_NE(rect->GetPatternRef()->GetHRefRef(), nullptr);
    TLumGraphicsSVGElement* base = rect->GetPatternRef()->GetHRefRef();
    EXPECT_EQ(base->GetID(), u"base");
    EXPECT_EQ(base->GetHeight(), 100); // y2
    ASSERT_EQ(base->GetElements()->GetCount(), 2);
    const TLumGraphicsSVGElement* stop = base->GetElements()->GetItem(1);
    EXPECT_EQ(stop->GetType(), etStop);
    EXPECT_FLOAT_EQ(stop->GetOffset(), 1);
    EXPECT_EQ(stop->GetStopColor(), TColor(0xFF0000));
    EXPECT_FLOAT_EQ(stop->GetStopOpacity(), 0.5f);

    // The class rule replaces the circle's presentation.
    ASSERT_NE(circle->GetClassRef(), nullptr);
    EXPECT_EQ(circle->GetClassRef()->GetFillColor(), TColor(0x00FF00));

    // Two sub-paths.
    EXPECT_EQ(top[1]->GetPaths()->GetCount(), 2);

    // Text: the font family loses its weight words, 10pt is 12.5 units.
    EXPECT_EQ(top[2]->GetText(), u"Hello");
    EXPECT_EQ(top[2]->GetFontFamily(), u"Arial");
    EXPECT_TRUE(top[2]->GetFontStyle().Contains(fsBold));
    EXPECT_FLOAT_EQ(top[2]->GetFontSize(), 12.5f);
    // Mixed content: a text node child and a span with its own text node.
    ASSERT_EQ(top[3]->GetElements()->GetCount(), 2);
    EXPECT_EQ(top[3]->GetElements()->GetItem(0)->GetType(), etTextSpanChild);
    EXPECT_EQ(top[3]->GetElements()->GetItem(0)->GetText(), u"plain ");
    TLumGraphicsSVGElement* span = top[3]->GetElements()->GetItem(1);
    EXPECT_EQ(span->GetType(), etTextSpan);
    EXPECT_EQ(span->GetX(), 30);
    ASSERT_EQ(span->GetElements()->GetCount(), 1);
    EXPECT_EQ(span->GetElements()->GetItem(0)->GetText(), u"span");
}

TEST(LumSVGParser, PresentationDeclarations)
{
    struct Case {
        const char* Name;
        const char* Element;
        const char16_t* FillValue;
        TColor Fill;
        float StrokeWidth;
        float Opacity;
    };
    const Case cases[] = {
        { "attribute overrides style", "<rect style='fill: blue' fill='red'/>", u"red", 0x0000FF, 1, 1 },
        { "hex colour", "<rect fill='#00f'/>", u"#00f", 0xFF0000, 1, 1 },
        { "rgb percentages", "<rect fill='rgb(100%, 0%, 0%)'/>", u"rgb(100%, 0%, 0%)", 0x0000FF, 1, 1 },
        { "rgba with alpha 0 declares none", "<rect fill='rgba(255,0,0,0)'/>", u"none", 0x0000FF, 1, 1 },
        { "rgb with a fraction 1.5 is unreadable", "<rect fill='rgb(1.5,0,0)'/>", u"rgb(1.5,0,0)", -1, 1, 1 },
        { "bad hex digits do not end the load", "<rect fill='#zzzzzz'/>", u"#zzzzzz", -1, 1, 1 },
        { "none", "<rect fill='none'/>", u"none", -1, 1, 1 },
        { "undeclared", "<rect/>", u"default", 0, 1, 1 },
        { "stroke width and opacity", "<rect stroke-width='3' opacity='0.25'/>", u"default", 0, 3, 0.25f },
        { "width with unit stays", "<rect stroke-width='3px' opacity='x'/>", u"default", 0, 1, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TLumGraphicsSVGImport svg;
        svg.LoadFromText(Svg(c.Element));
        TLumGraphicsSVGElement* e = First(svg);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->GetFillColorValue(), c.FillValue);
        EXPECT_EQ(e->GetFillColor(), c.Fill);
        EXPECT_FLOAT_EQ(e->GetStrokeWidth(), c.StrokeWidth);
        EXPECT_FLOAT_EQ(e->GetOpacity(), c.Opacity);
    }
}

TEST(LumSVGParser, LengthsColoursAndOffsets)
{
    const struct {
        const char16_t* Text;
        float Value;
    } lengths[] = { { u"2in", 50.8f }, { u"50%", 50 }, { u"3mm", 30 }, { u"4pt", 5 }, { u"7", 7 }, { u"", 0 },
        { u"abc", 0 } };
    for (const auto& l : lengths) {
        SCOPED_TRACE(StringToUtf8(l.Text));
        EXPECT_FLOAT_EQ(ParseSVGLength(l.Text), l.Value);
    }
    const struct {
        const char16_t* Text;
        TColor Color;
        int Alpha;
    } colours[] = { { u"rgb(255, 0, 0)", 0x0000FF, 255 }, { u"rgb(300,0,0)", 0x0000FF, 255 },
        { u"rgba(0,0,255,0)", 0xFF0000, 0 }, { u"rgba(0,0,255,0.5)", -1, -1 }, { u"rgb(0,0)", -1, -1 },
        { u"rgb 0,0,0", -1, -1 }, { u"rgb(ff,0,0)", 0x0000FF, 255 } };
    for (const auto& c : colours) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        int alpha = 0;
        EXPECT_EQ(ParseRGBColor(c.Text, alpha), c.Color);
        EXPECT_EQ(alpha, c.Alpha);
    }
    TLumGraphicsSVGImport svg;
    svg.LoadFromText(Svg("<linearGradient><stop offset='50 %'/><stop offset='0.5'/><stop offset='50%'/>"
                         "</linearGradient><rect/>"));
    const auto* stops = First(svg)->GetElements();
    ASSERT_EQ(stops->GetCount(), 3);
    // "50 %" reads the number before the unit: 50 / 100.
    EXPECT_FLOAT_EQ(stops->GetItem(0)->GetOffset(), 0.5f);
    EXPECT_FLOAT_EQ(stops->GetItem(1)->GetOffset(), 0.5f);
    EXPECT_FLOAT_EQ(stops->GetItem(2)->GetOffset(), 0.5f);
}

TEST(LumSVGParser, ViewRectangle)
{
    const struct {
        const char* Name;
        const char* Root;
        const char* Body;
        TRectF Expected;
    } cases[] = {
        { "view box", "viewBox='10 20 100 50' width='5' height='5'", "<rect width='1' height='1'/>",
            { 10, 20, 110, 70 } },
        { "width and height", "width='200' height='100'", "<rect width='1' height='1'/>", { 0, 0, 200, 100 } },
        { "measured shapes", "", "<rect x='5' y='5' width='10' height='10'/><circle cx='50' cy='50' r='10'/>",
            { 5, 5, 60, 60 } },
        { "bad view box ignores width and height", "viewBox='0 0 10' width='200' height='100'",
            "<rect width='30' height='40'/>", { 0, 0, 30, 40 } },
        { "only text", "", "<text x='5' y='5'>t</text>", { 0, 0, 0, 0 } },
        { "group transform moves measured shapes", "",
            "<g transform='translate(100,0)'><rect width='10' height='10'/></g>", { 100, 0, 110, 10 } },
        { "direct defs children are not measured, a group in defs is", "",
            "<defs><rect x='-50' width='10' height='10'/><g><rect x='500' width='10' height='10'/></g></defs>"
            "<rect width='10' height='10'/>",
            { 0, 0, 510, 10 } },
        { "path sub-paths", "", "<path d='M 0 0 L 10 20 M 30 40 L 35 45'/>", { 0, 0, 35, 45 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TLumGraphicsSVGImport svg;
        svg.LoadFromText(Svg(c.Body, c.Root));
        EXPECT_EQ(svg.GetViewRect(), c.Expected);
    }
}

TEST(LumSVGParser, StyleSheetsAndClassRules)
{
    struct Case {
        const char* Name;
        const char* Sheet;
        bool Matches;
    };
    const Case cases[] = {
        { "plain rule", ".a{ fill: red }", true },
        { "a blank before the brace stays in the name", ".a { fill: red }", false },
        { "second rule", ".b{fill: blue} .a{fill: red}", true },
        { "brace before the dot does not hang", "} .a{ fill: red }", true },
        { "unclosed rule", ".a{ fill: red", false },
        { "element selector", "rect { fill: red }", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TLumGraphicsSVGImport svg;
        svg.LoadFromText(Svg((std::string("<style>") + c.Sheet + "</style><rect class='a' width='1' height='1'/>").c_str()));
        ASSERT_EQ(svg.ElementCount(), 1);
        EXPECT_EQ(First(svg)->GetClassRef() != nullptr, c.Matches);
    }
}

TEST(LumSVGParser, MalformedInputGivesClearErrorsOrEmptyPictures)
{
    TLumGraphicsSVGImport svg;
    EXPECT_THROW(svg.LoadFromFile(FixturePath("malformed.svg")), EXMLDocumentError);
    EXPECT_FALSE(svg.HasElements());

    // A root that is not svg: empty, no error.
    svg.LoadFromText(u"<html><rect width='1' height='1'/></html>");
    EXPECT_FALSE(svg.HasElements());

    // Hostile nesting within what XML allows is refused, not overflowed.
    std::string deep;
    for (int i = 0; i < TLumGraphicsSVGImport::MaxElementDepth + 10; ++i)
        deep += "<g>";
    deep += "<rect width='1' height='1'/>";
    for (int i = 0; i < TLumGraphicsSVGImport::MaxElementDepth + 10; ++i)
        deep += "</g>";
    EXPECT_THROW(svg.LoadFromText(Svg(deep.c_str())), EXMLDocumentError);
    EXPECT_FALSE(svg.HasElements());

    // Garbage in attributes never raises.
    svg.LoadFromText(Svg("<path d='M x y L 1e999 -- 5'/><polygon points='1,2,3'/><rect transform='rotate(' "
                         "width='1e40' x='nan'/><image href='data:image/png;base64,!!!!' width='1' height='1'/>"));
    EXPECT_EQ(svg.ElementCount(), 4);

    // A loaded picture is dropped by the next failing load.
    svg.LoadFromText(Svg("<rect width='1' height='1'/>"));
    EXPECT_THROW(svg.LoadFromText(u"<svg><rect>"), EXMLDocumentError);
    EXPECT_FALSE(svg.HasElements());
}

TEST(LumSVGParser, ImagesNeverReachTheNetwork)
{
    // A server that would answer with a picture: it must never be asked.
    testsupport::HttpServer server;
    server.Route("/x.png", [](const testsupport::HttpRequest&) {
        testsupport::HttpResponse r;
        r.ContentType = "image/png";
        const TBytes png = Base64DecodeTolerant(
            std::string_view("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg=="));
        r.Body.assign(png.begin(), png.end());
        return r;
    });
    TLumGraphicsSVGImport svg;
    const std::string image = "<image xlink:href='" + server.BaseUrl() + "/x.png' width='4' height='4'/>";
    svg.LoadFromText(Svg(image.c_str()));
    ASSERT_EQ(svg.ElementCount(), 1);
    EXPECT_FALSE(First(svg)->HasBitmap());
    EXPECT_TRUE(server.RequestedPaths().empty());
}

namespace {

void Put16(std::string& b, unsigned v)
{
    b += char(v & 0xFF);
    b += char(v >> 8);
}

// A GIF declaring a screen of w x h with four frames of one pixel each: 80
// bytes whatever the screen's size.
std::string FourFrameGif(unsigned w, unsigned h)
{
    std::string b = "GIF89a";
    Put16(b, w);
    Put16(b, h);
    b += std::string("\x80\0\0" "\0\0\0\xFF\xFF\xFF", 9); // a global table of two colours
    for (int i = 0; i < 4; ++i) {
        b += '\x2C';
        Put16(b, 0);
        Put16(b, 0);
        Put16(b, 1);
        Put16(b, 1);
        b += std::string("\0\x02\x02\x44\x01\0", 6); // no local table; clear, index 0, end
    }
    b += '\x3B';
    return b;
}

String SvgWithGif(unsigned w, unsigned h)
{
    return Utf8ToString("<svg><image href='data:image/gif;base64," + Base64Encode(FourFrameGif(w, h))
        + "' width='9' height='9'/><rect width='4' height='4'/></svg>");
}

} // namespace

// An 80-byte GIF that declares a 16384 x 16384 screen of four frames, in a
// data address: the picture is refused from its header, the document still
// loads. The same file with a small screen is taken.
TEST(LumSVGParser, HostilePictureInADataAddressIsRefused)
{
    ASSERT_EQ(FourFrameGif(16384, 16384).size(), 80u);
    TLumGraphicsSVGImport svg;
    svg.LoadFromText(SvgWithGif(16384, 16384));
    ASSERT_EQ(svg.ElementCount(), 2);
    TLumGraphicsSVGElement* image = First(svg);
    EXPECT_TRUE(!image->HasBitmap() || image->GetBitmap()->GetWidth() == 0);

    svg.LoadFromText(SvgWithGif(3, 2));
    ASSERT_EQ(svg.ElementCount(), 2);
    image = First(svg);
    ASSERT_TRUE(image->HasBitmap());
    EXPECT_EQ(image->GetBitmap()->GetWidth(), 3);
    EXPECT_EQ(image->GetBitmap()->GetHeight(), 2);
}

TEST(LumSVGParser, SavedDocumentLoadsAgain)
{
    TLumGraphicsSVGImport svg;
    TMemoryStream empty;
    svg.SaveToStream(empty);
    EXPECT_EQ(empty.GetSize(), 0);
    svg.LoadFromText(Svg("<rect width='7' height='3'/>"));
    TMemoryStream saved;
    svg.SaveToStream(saved);
    TLumGraphicsSVGImport again;
    again.LoadFromStream(saved);
    EXPECT_EQ(again.GetViewRect(), TRectF(0, 0, 7, 3));
}
