// Writing a rich edit's content as RTF: a font table and a colour table of
// what the text uses, then the paragraphs with only the format changes
// between runs. The output is plain ASCII; other characters are \uN.

#include <algorithm>

#include "platform/vcl/RichText.h"

namespace {

void Num(std::string& out, const char* word, int v)
{
    out += '\\';
    out += word;
    out += std::to_string(v);
}

// The control words that turn the format `From` into `To`.
std::string FormatChange(const TRichCharFormat& From, const TRichCharFormat& To, int FontId, int ColorId, bool First)
{
    std::string out;
    if (First || From.Face != To.Face)
        Num(out, "f", FontId);
    if (First || From.Size != To.Size)
        Num(out, "fs", std::max(1, (To.Size + 5) / 10));
    if (From.Bold != To.Bold)
        out += To.Bold ? "\\b" : "\\b0";
    if (From.Italic != To.Italic)
        out += To.Italic ? "\\i" : "\\i0";
    if (From.Underline != To.Underline)
        out += To.Underline ? "\\ul" : "\\ulnone";
    if (From.StrikeOut != To.StrikeOut)
        out += To.StrikeOut ? "\\strike" : "\\strike0";
    if (From.AutoColor != To.AutoColor || (!To.AutoColor && From.Color != To.Color))
        Num(out, "cf", ColorId);
    if (From.Offset != To.Offset) {
        // Half points; a shift of less than one keeps its direction.
        const int half = To.Offset == 0 ? 0 : std::max(1, (std::abs(To.Offset) + 5) / 10);
        if (To.Offset > 0)
            Num(out, "up", half);
        else if (To.Offset < 0)
            Num(out, "dn", half);
        else
            out += "\\up0";
    }
    if (!out.empty())
        out += ' ';
    return out;
}

void Escape(std::string& out, char16_t c)
{
    if (c == u'\\' || c == u'{' || c == u'}') {
        out += '\\';
        out += char(c);
    } else if (c == u'\t') {
        out += "\\tab ";
    } else if (c >= 0x20 && c < 0x80) {
        out += char(c);
    } else {
        // Signed 16-bit as RTF wants, with "?" for readers without Unicode.
        Num(out, "u", c < 0x8000 ? int(c) : int(c) - 65536);
        out += '?';
    }
}

const char* AlignWord(TRichAlignment a)
{
    switch (a) {
    case raCenter: return "\\qc";
    case raRight: return "\\qr";
    case raJustify: return "\\qj";
    default: return "\\ql";
    }
}

} // namespace

std::string WriteRtf(const TRichDocument& Doc)
{
    // Tables of what is used, in order of first use.
    std::vector<String> fonts;
    std::vector<COLORREF> colors;
    std::vector<int> fontOf(Doc.Formats.size(), 0), colorOf(Doc.Formats.size(), 0);
    std::vector<bool> used(Doc.Formats.size(), false);
    for (const TRichParagraph& p : Doc.Paragraphs)
        for (std::uint16_t f : p.Formats)
            if (f < used.size())
                used[f] = true;
    used[0] = true;
    for (const TRichParagraph& p : Doc.Paragraphs)
        if (p.Text.empty() && p.MarkFormat < used.size())
            used[p.MarkFormat] = true;
    for (std::size_t i = 0; i < Doc.Formats.size(); ++i) {
        if (!used[i])
            continue;
        const TRichCharFormat& f = Doc.Formats[i];
        auto fi = std::find(fonts.begin(), fonts.end(), f.Face);
        fontOf[i] = int(fi - fonts.begin());
        if (fi == fonts.end())
            fonts.push_back(f.Face);
        if (!f.AutoColor) {
            auto ci = std::find(colors.begin(), colors.end(), f.Color);
            colorOf[i] = int(ci - colors.begin()) + 1;
            if (ci == colors.end())
                colors.push_back(f.Color);
        }
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{";
        Num(out, "f", int(i));
        out += "\\fnil ";
        for (char16_t c : fonts[i])
            Escape(out, c == u';' ? u' ' : c);
        out += ";}";
    }
    out += "}";
    if (!colors.empty()) {
        out += "{\\colortbl ;";
        for (COLORREF c : colors) {
            Num(out, "red", GetRValue(c));
            Num(out, "green", GetGValue(c));
            Num(out, "blue", GetBValue(c));
            out += ';';
        }
        out += "}";
    }
    out += "\r\n";

    const TRichCharFormat* current = nullptr;
    TRichAlignment align = raLeft;
    for (std::size_t pi = 0; pi < Doc.Paragraphs.size(); ++pi) {
        const TRichParagraph& p = Doc.Paragraphs[pi];
        const bool afterSoft = pi > 0 && Doc.Paragraphs[pi - 1].SoftBreak;
        if (pi == 0 || (!afterSoft && p.Alignment != align)) {
            out += "\\pard";
            out += AlignWord(p.Alignment);
            out += ' ';
            align = p.Alignment;
        }
        for (std::size_t i = 0; i < p.Text.size(); ++i) {
            const std::uint16_t fi = i < p.Formats.size() && p.Formats[i] < Doc.Formats.size() ? p.Formats[i] : 0;
            const TRichCharFormat& f = Doc.Formats[fi];
            if (!current || !(f == *current)) {
                out += FormatChange(current ? *current : TRichCharFormat {}, f, fontOf[fi], colorOf[fi], !current);
                current = &f;
            }
            Escape(out, p.Text[i]);
        }
        if (p.Text.empty()) {
            // An empty paragraph's height comes from its mark's format.
            const std::uint16_t mi = p.MarkFormat < Doc.Formats.size() ? p.MarkFormat : 0;
            if (!current || !(Doc.Formats[mi] == *current)) {
                out += FormatChange(current ? *current : TRichCharFormat {}, Doc.Formats[mi], fontOf[mi], colorOf[mi], !current);
                current = &Doc.Formats[mi];
            }
        }
        if (pi + 1 < Doc.Paragraphs.size())
            out += p.SoftBreak ? "\\line\r\n" : "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}
