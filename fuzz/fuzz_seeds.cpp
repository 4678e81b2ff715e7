// Writes the seed inputs of every fuzz target: the tests' fixtures (cards,
// harvested pages, result pages, SVG files) in each target's input layout,
// pictures encoded by the codecs themselves, and small samples of the JSON,
// expression and markup the tests use.
//
//   fuzz_seeds <tests/fixtures folder> <output folder>
//
// The output gets one folder per target (json, regexpr, ...).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/Codecs.h"
#include "platform/vcl/WICImage.h"

namespace fs = std::filesystem;

namespace {

// Seeds larger than this are cut: a fuzzer mutates small inputs faster.
constexpr std::size_t kMaxSeed = 16 * 1024;

fs::path g_out;
int g_written = 0;

void Write(const std::string& target, const std::string& name, const std::string& bytes)
{
    const fs::path dir = g_out / target;
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary);
    out.write(bytes.data(), std::streamsize(std::min(bytes.size(), kMaxSeed)));
    ++g_written;
}

void Write(const std::string& target, const std::string& name, const TBytes& bytes)
{
    Write(target, name, std::string(bytes.begin(), bytes.end()));
}

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The fixture files below `folder` with one of the extensions.
std::vector<fs::path> Files(const fs::path& folder, std::initializer_list<const char*> extensions)
{
    std::vector<fs::path> found;
    if (!fs::exists(folder))
        return found;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            for (const char* ext : extensions)
                if (e.path().extension() == ext)
                    found.push_back(e.path());
    std::sort(found.begin(), found.end());
    return found;
}

std::string Stem(const fs::path& fixtures, const fs::path& p)
{
    std::string s = fs::relative(p, fixtures).string();
    for (char& c : s)
        if (c == '/' || c == '.')
            c = '_';
    return s;
}

std::string Byte(int b) { return std::string(1, char(b)); }
std::string Nul() { return std::string(1, '\0'); }

TImageFrame Pattern(int w, int h, bool alpha)
{
    TImageFrame f;
    f.Width = w;
    f.Height = h;
    f.Pixels.resize(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.At(x, y) = (alpha ? std::uint32_t(x * 255 / std::max(1, w - 1)) << 24 : 0xFF000000u)
                | std::uint32_t((x * 40) & 0xFF) << 16 | std::uint32_t((y * 60) & 0xFF) << 8 | 0x80;
    return f;
}

void Put16(std::string& b, unsigned v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

void Put32(std::string& b, unsigned v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A GIF of a w x h screen with `frames` one-pixel frames, the second one
// interlaced and with a graphic control block.
std::string Gif(unsigned w, unsigned h, int frames)
{
    std::string b = "GIF89a";
    Put16(b, w);
    Put16(b, h);
    b += std::string("\x80\0\0", 3);
    b += std::string("\0\0\0\xFF\xFF\xFF", 6);
    b += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (int i = 0; i < frames; ++i) {
        b += std::string("\x21\xF9\x04\x09\x0A\x00\x01\x00", 8); // dispose to background, delay, transparent 1
        b += '\x2C';
        Put16(b, unsigned(i));
        Put16(b, 0);
        Put16(b, 1);
        Put16(b, 1);
        b += char(i % 2 ? 0x40 : 0);
        b += std::string("\x02\x02\x44\x01\x00", 5);
    }
    b += '\x3B';
    return b;
}

// An icon file holding one PNG picture.
std::string IconOfPng(const TBytes& png, int w, int h)
{
    std::string b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, 1);
    b += char(w);
    b += char(h);
    b += std::string("\0\0", 2);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, unsigned(png.size()));
    Put32(b, 22);
    b.append(png.begin(), png.end());
    return b;
}

void ImageSeeds()
{
    Write("image", "png_rgba", EncodePng(Pattern(7, 5, true)));
    Write("image", "png_rgb", EncodePng(Pattern(16, 3, false)));
    Write("image", "bmp_24", EncodeBmp(Pattern(5, 4, false)));
    Write("image", "bmp_32", EncodeBmp(Pattern(3, 6, true), true));
    Write("image", "jpeg", EncodeJpeg(Pattern(16, 16, false), 50));
    Write("image", "jpeg_odd", EncodeJpeg(Pattern(9, 17, false), 90));
    Write("image", "gif", Gif(4, 3, 3));
    Write("image", "ico_png", IconOfPng(EncodePng(Pattern(16, 16, true)), 16, 16));
    Write("image", "tiff", EncodeTiff(Pattern(6, 4, true)));
}

void TextSeeds(const fs::path& fixtures)
{
    // JSON: the first byte chooses how values are read.
    const char* const json[] = {
        "{\"a\":[1,2.5,-3e10,true,false,null,\"x\\u00e9\\n\"],\"b\":{}}",
        "[[[[]]],{\"k\":\"\\ud83d\\ude00\"},9223372036854775807,1e400,-0]",
        "{\"name\":\"value\",\"list\":[{\"n\":1},{\"n\":2}]}",
    };
    for (int i = 0; i < int(std::size(json)); ++i)
        for (int mode : { 0, 7 })
            Write("json", "json" + std::to_string(i) + "_" + std::to_string(mode), Byte(mode) + json[i]);

    // Persistence: stored objects of the target's sample class.
    const char* const stored[] = {
        "{\"$type\":\"TSample\",\"Count\":-42,\"Small\":200,\"Letter\":\"e\",\"Shape\":\"shStar\",\"Enabled\":true,"
        "\"Edges\":\"[edLeft,edRight]\",\"Ratio\":1.5,\"Title\":\"t\",\"Big\":5000000000,\"Color\":\"clRed\","
        "\"When\":\"2024-02-29T10:20:30.000\",\"Sub\":{\"$type\":\"TThing\",\"Label\":\"sub\",\"Weight\":0.25}}",
        "{\"$type\":\"TSample\",\"Items\":[{\"$type\":\"TItem\",\"Caption\":\"a\",\"Value\":1},{\"Caption\":\"b\"}],"
        "\"Lines\":[\"one\",null,\"three\"],\"Names\":[\"x\"],\"Numbers\":[3,-1],\"Values\":[0.5,-1e300],"
        "\"Things\":[{\"$type\":\"TThing\",\"Label\":\"plain\"}],\"Map\":{\"key\":{\"$type\":\"TThing\"}}}",
        "{\"$type\":\"TSample\",\"Buddy\":\"Buddy\",\"OnChange\":\"HandleChange\",\"Font\":{\"$type\":\"TFont\","
        "\"Name\":\"Arial\",\"Size\":12,\"Style\":\"[fsBold]\",\"Color\":\"#FF0000\"},\"Picture\":\"\"}",
    };
    for (int i = 0; i < int(std::size(stored)); ++i)
        Write("persistence", "stored" + std::to_string(i), stored[i]);

    // Expressions with subjects: modifiers byte, expression, NUL, subject.
    const std::string emailPattern = "[_a-zA-Z\\d\\-\\.]+@[_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+";
    const char* const patterns[] = { "(a|b)*c", "^\\s*(\\w+)=(\\d{2,4})$", "[^<>]+?>", "(x+x+)+y", "\\bfoo\\B",
        "(?i)ab(?-i)c", "a{2,3}?b", "(\\d+)\\.\\1", "[\\x00-\\x1F\\u00e9]+", "(?m)^.+$" };
    int n = 0;
    for (const char* p : patterns) {
        Write("regexpr", "pattern" + std::to_string(n), Byte(n % 2 ? 0x0D : 0x8F) + p + Nul() + "abc ab aab xxxxy\nfoo=1234\n12.12");
        ++n;
    }
    for (const fs::path& page : Files(fixtures / "harvest", { ".html" })) {
        const std::string text = ReadFile(page);
        Write("regexpr", "email_" + Stem(fixtures, page), Byte(0x0C) + emailPattern + Nul() + text);
        Write("email", Stem(fixtures, page), text);
    }
    for (const fs::path& page : Files(fixtures / "directory_site", { ".html" })) {
        Write("email", Stem(fixtures, page), ReadFile(page));
        Write("minihtml", Stem(fixtures, page), Byte(0) + Byte(10) + Byte(10) + ReadFile(page));
    }

    // Cards: choice byte, the page's id=e-mail pairs, NUL, the card.
    const std::string pairs = "15467890=info@acme.com.au\r\n2001=a@b.c,d@e.f";
    for (const fs::path& card : Files(fixtures / "cards", { ".txt" })) {
        const std::string text = ReadFile(card);
        Write("listing", Stem(fixtures, card), Byte(2) + Nul() + text);
        Write("listing", Stem(fixtures, card) + "_emails", Byte(3) + pairs + Nul() + text);
    }
    for (const fs::path& card : Files(fixtures / "harvest", { ".txt" }))
        Write("listing", Stem(fixtures, card), Byte(3) + pairs + Nul() + ReadFile(card));

    // SVG: a flags byte, then the document.
    for (const fs::path& svg : Files(fixtures / "svg", { ".svg" }))
        for (int flags : { 0, 3 })
            Write("svg", Stem(fixtures, svg) + "_" + std::to_string(flags), Byte(flags) + ReadFile(svg));
    const char* const drawings[] = {
        "<svg viewBox='0 0 100 100'><path d='M10 10C90 10 10 90 90 90Q50 0 10 50A20 30 45 1 0 60 60Z' stroke='blue' "
        "stroke-width='4' fill='red'/></svg>",
        "<svg width='50' height='40'><defs><linearGradient id='g'><stop offset='0' stop-color='red'/><stop "
        "offset='1' stop-color='#00f' stop-opacity='.5'/></linearGradient><clipPath id='c'><circle cx='20' cy='20' "
        "r='15'/></clipPath></defs><g transform='rotate(30) scale(1.5)'><rect width='40' height='30' rx='5' "
        "fill='url(#g)' clip-path='url(#c)'/><polyline points='0,0 10,20 30,5'/><text x='5' y='20' "
        "font-size='12'>Hi</text></g></svg>",
        "<svg viewBox='0 0 10 10'><style>.a{fill:lime}</style><ellipse class='a' cx='5' cy='5' rx='4' ry='2'/>"
        "<line x1='0' y1='0' x2='10' y2='10' stroke='black' stroke-dasharray='1 2'/></svg>",
    };
    n = 0;
    for (const char* d : drawings)
        for (int flags : { 0, 1, 6 })
            Write("svg", "drawing" + std::to_string(n++), Byte(flags) + d);

    // Mini-HTML: flags, hit point, markup.
    const char* const markups[] = {
        "<B>Bold</B> <I>italic</I> <U>under</U> <S>struck</S><BR><FONT color=\"clRed\" size=\"14\" "
        "face=\"Arial\">big red</FONT> <A href=\"x\" title=\"t\">anchor</A>",
        "<UL><LI>one<LI>two</UL><OL><LI>a</OL><P align=\"right\">right</P><HR><SUB>1</SUB><SUP>2</SUP>"
        "<SHAD>shadow</SHAD><HI>high</HI><E>error</E>",
        "<IND x=\"20\">indented <CONTROL TYPE=\"EDIT\" WIDTH=\"60\" ID=\"e1\" VALUE=\"v\"> <CONTROL "
        "TYPE=\"CHECK\" ID=\"c1\"> &amp;&lt;&gt;&quot;&#65;&nbsp;&euro;</IND><IMG SRC=\"idx:0\" WIDTH=\"8\">",
    };
    n = 0;
    for (const char* m : markups)
        Write("minihtml", "markup" + std::to_string(n++), Byte(0x21) + Byte(30) + Byte(20) + m);

    // Filter expressions: choice byte, expression, NUL, value.
    const char* const filters[][2] = { { ">5&<10", "7" }, { "(a|b)&c", "a" }, { "*a*&(ab|cd)", "ab" },
        { "!a*", "xbc" }, { ">\"b c\"", "b d" }, { "=abc", "ABC" }, { ">=31/12/2023", "1/1/2024 10:00" },
        { "a?c|*x*;\"q|r\"", "q|r" }, { "<>1,000.5", "1000.5" } };
    n = 0;
    for (const auto& f : filters) {
        Write("filter", "filter" + std::to_string(n), Byte(n % 2) + f[0] + Nul() + f[1]);
        ++n;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds <tests/fixtures folder> <output folder>\n");
        return 2;
    }
    const fs::path fixtures = argv[1];
    g_out = argv[2];
    ImageSeeds();
    TextSeeds(fixtures);
    std::printf("fuzz_seeds: %d seed inputs in %s\n", g_written, g_out.c_str());
    return 0;
}
