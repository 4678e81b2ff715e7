// Reading the subset of RTF the rich edit keeps: fonts, sizes, colours,
// bold, italic, underline, strike-out, raised and lowered text, paragraph
// alignment, paragraphs, line breaks and tabs. Everything else is skipped;
// tables are flattened (a cell ends in a tab, a row in a paragraph).

#include <algorithm>
#include <climits>
#include <map>

#include "platform/vcl/RichText.h"

namespace {

// Windows-1252 characters 0x80..0x9F (the rest of the upper half is
// Latin-1); undefined codes stay as they are.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t FromCp1252(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

enum class TDest { Text, Skip, FontTable, ColorTable };

// What a group carries and restores when it closes.
struct TGroupState {
    TDest Dest { TDest::Text };
    TRichCharFormat Format;
    int FontId { -1 };
    int ColorId { 0 };
    int UnicodeSkip { 1 };
};

// Destinations whose text is not part of the document.
bool SkippedDestination(const std::string& w)
{
    static const char* const kSkipped[] = { "stylesheet", "info", "pict", "object", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "xmlnstbl", "listtable",
        "listoverridetable", "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles", "datastore",
        "revtbl", "filetbl", "pgdsctbl", "mmathPr", "nonshppict", "shp", "fldinst", "bkmkstart", "bkmkend",
        "author", "operator", "title", "subject", "keywords", "comment", "doccomm", "template", "objdata",
        "background", "pn", "pntext", "listtext", "sp", "sv", "private", "userprops", "docvar", "fchars",
        "lchars", "wgrffmtfilter", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn" };
    return std::any_of(std::begin(kSkipped), std::end(kSkipped), [&](const char* s) { return w == s; });
}

class TRtfReader {
public:
    TRtfReader(std::string_view Bytes, const TRichCharFormat& Default, TRichDocument& Out)
        : m_in(Bytes), m_default(Default), m_doc(Out)
    {
    }

    void Run()
    {
        m_doc = TRichDocument {};
        m_doc.Formats[0] = m_default;
        m_state.Format = m_default;
        m_state.Format.Size = 240; // RTF's own default: 12 points
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{': OpenGroup(); break;
            case '}': CloseGroup(); break;
            case '\\': ControlWord(); break;
            case '\r':
            case '\n':
            case '\0': break;
            default: RawByte(static_cast<unsigned char>(c)); break;
            }
            if (m_ended)
                break;
        }
        TRichParagraph& last = Current();
        if (!last.Formats.empty())
            last.MarkFormat = last.Formats.back();
    }

private:
    // ---- groups ----
    void OpenGroup()
    {
        if (m_overflow > 0 || int(m_stack.size()) >= kMaxRtfDepth) {
            // Too deep: the group and everything in it is dropped.
            ++m_overflow;
            return;
        }
        m_stack.push_back(m_state);
        m_groupStart = true;
    }

    void CloseGroup()
    {
        m_groupStart = false;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.empty()) {
            // The closing brace of the document: the rest is ignored.
            m_ended = true;
            return;
        }
        const bool leavingFonts = m_state.Dest == TDest::FontTable && m_stack.back().Dest != TDest::FontTable;
        if (leavingFonts)
            EndFontName();
        m_state = m_stack.back();
        m_stack.pop_back();
        // Text before any \f uses the default font, now known by name.
        if (leavingFonts && m_state.FontId < 0)
            ApplyFont(m_state.Format);
    }

    bool Skipping() const { return m_overflow > 0 || m_state.Dest == TDest::Skip; }

    // ---- control words ----
    void ControlWord()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        const bool first = m_groupStart;
        m_groupStart = false;
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            ControlSymbol(c, first);
            return;
        }
        std::string word;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])) && word.size() < 32)
            word += m_in[m_pos++];
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])))
            ++m_pos; // an absurdly long word is read whole and ignored
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in[m_pos]))) {
            hasParam = true;
            // Saturate: a hostile number must not overflow.
            param = std::min<long long>(param * 10 + (m_in[m_pos++] - '0'), INT_MAX);
        }
        if (negative)
            param = -param;
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        if (m_overflow > 0)
            return;
        Word(word, hasParam, int(param));
    }

    void ControlSymbol(char c, bool first)
    {
        if (m_overflow > 0)
            return;
        switch (c) {
        case '*':
            // An ignorable destination: none of those is kept.
            if (first)
                m_state.Dest = TDest::Skip;
            break;
        case '\'': {
            int v = -1;
            if (m_pos + 1 < m_in.size()) {
                const int h = HexValue(m_in[m_pos]), l = HexValue(m_in[m_pos + 1]);
                if (h >= 0 && l >= 0) {
                    v = h * 16 + l;
                    m_pos += 2;
                }
            }
            if (v >= 0)
                Text(FromCp1252(static_cast<unsigned char>(v)), true);
            break;
        }
        case '\\':
        case '{':
        case '}': Text(char16_t(c), true); break;
        case '~': Text(0x00A0, true); break;
        case '_': Text(0x2011, true); break;
        case '-': break; // optional hyphen
        case '\r':
        case '\n': Paragraph(false); break;
        case '\t': Text(u'\t', true); break;
        default: break;
        }
    }

    void Word(const std::string& w, bool hasParam, int p)
    {
        TRichCharFormat& f = m_state.Format;
        const bool on = !hasParam || p != 0;
        if (w == "bin") {
            // Binary data follows: skip its bytes whatever the destination.
            if (hasParam && p > 0)
                m_pos = std::min(m_in.size(), m_pos + std::size_t(p));
        } else if (w == "uc") {
            m_state.UnicodeSkip = std::clamp(p, 0, 16);
        } else if (Skipping()) {
        } else if (w == "fonttbl") {
            m_state.Dest = TDest::FontTable;
            m_fontNameOpen = false;
        } else if (w == "colortbl") {
            m_state.Dest = TDest::ColorTable;
            m_colors.clear();
            m_red = m_green = m_blue = 0;
            m_colorSet = false;
        } else if (SkippedDestination(w)) {
            m_state.Dest = TDest::Skip;
        } else if (m_state.Dest == TDest::FontTable) {
            if (w == "f" && hasParam) {
                EndFontName();
                m_state.FontId = p;
                m_fontName.clear();
                m_fontNameOpen = true;
            }
        } else if (m_state.Dest == TDest::ColorTable) {
            const int v = std::clamp(hasParam ? p : 0, 0, 255);
            if (w == "red")
                m_red = v, m_colorSet = true;
            else if (w == "green")
                m_green = v, m_colorSet = true;
            else if (w == "blue")
                m_blue = v, m_colorSet = true;
        } else if (w == "par" || w == "sect" || w == "page") {
            Paragraph(false);
        } else if (w == "line") {
            Paragraph(true);
        } else if (w == "row") {
            // The last cell of the row already ended in a tab.
            TRichParagraph& para = Current();
            if (m_cellTab && !para.Text.empty() && para.Text.back() == u'\t') {
                para.Text.pop_back();
                para.Formats.pop_back();
            }
            Paragraph(false);
        } else if (w == "cell" || w == "nestcell" || w == "tab") {
            Text(u'\t', false);
            m_cellTab = w != "tab";
            return;
        } else if (w == "pard") {
            m_align = raLeft;
            Current().Alignment = raLeft;
        } else if (w == "ql" || w == "qc" || w == "qr" || w == "qj") {
            m_align = w == "ql" ? raLeft : w == "qc" ? raCenter : w == "qr" ? raRight : raJustify;
            Current().Alignment = m_align;
        } else if (w == "plain") {
            f = m_default;
            f.Size = 240;
            m_state.FontId = -1;
            ApplyFont(f);
            m_state.ColorId = 0;
        } else if (w == "f" && hasParam) {
            m_state.FontId = p;
            ApplyFont(f);
        } else if (w == "deff" && hasParam) {
            m_defaultFont = p;
            if (m_state.FontId < 0)
                ApplyFont(f);
        } else if (w == "fs") {
            f.Size = std::clamp(hasParam ? p : 24, 2, 3276) * 10;
        } else if (w == "b") {
            f.Bold = on;
        } else if (w == "i") {
            f.Italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash") {
            f.Underline = on;
        } else if (w == "ulnone") {
            f.Underline = false;
        } else if (w == "strike" || w == "striked") {
            f.StrikeOut = on;
        } else if (w == "cf") {
            m_state.ColorId = hasParam ? p : 0;
            ApplyColor(f);
        } else if (w == "up") {
            f.Offset = std::clamp(hasParam ? p : 6, -3276, 3276) * 10;
        } else if (w == "dn") {
            f.Offset = -std::clamp(hasParam ? p : 6, -3276, 3276) * 10;
        } else if (w == "nosupersub") {
            f.Offset = 0;
        } else if (w == "u" && hasParam) {
            Text(char16_t(p < 0 ? p + 65536 : p), false);
            m_skip = m_state.UnicodeSkip;
        } else if (w == "emdash") {
            Text(0x2014, false);
        } else if (w == "endash") {
            Text(0x2013, false);
        } else if (w == "bullet") {
            Text(0x2022, false);
        } else if (w == "lquote") {
            Text(0x2018, false);
        } else if (w == "rquote") {
            Text(0x2019, false);
        } else if (w == "ldblquote") {
            Text(0x201C, false);
        } else if (w == "rdblquote") {
            Text(0x201D, false);
        }
    }

    // ---- text ----
    void RawByte(unsigned char b)
    {
        if (m_state.Dest == TDest::FontTable) {
            if (b == ';')
                EndFontName();
            else if (m_fontNameOpen)
                m_fontName += char(b);
            return;
        }
        if (m_state.Dest == TDest::ColorTable) {
            if (b == ';') {
                if (m_colorSet)
                    m_colors.push_back(RGB(BYTE(m_red), BYTE(m_green), BYTE(m_blue)));
                else
                    m_colors.push_back(CLR_AUTO);
                m_red = m_green = m_blue = 0;
                m_colorSet = false;
            }
            return;
        }
        if (Skipping())
            return;
        if (b < 0x80) {
            Text(char16_t(b), true);
            return;
        }
        // Raw bytes above ASCII: UTF-8 when they form a sequence (text put
        // into RTF by a program), else Windows-1252.
        int len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (len && m_pos + std::size_t(len - 1) <= m_in.size()) {
            bool ok = true;
            for (int k = 0; k < len - 1; ++k)
                ok = ok && (static_cast<unsigned char>(m_in[m_pos + std::size_t(k)]) & 0xC0) == 0x80;
            if (ok) {
                const String s = Utf8ToString(m_in.substr(m_pos - 1, std::size_t(len)));
                m_pos += std::size_t(len - 1);
                for (char16_t ch : s)
                    Text(ch, false);
                if (m_skip > 0)
                    --m_skip;
                return;
            }
        }
        Text(FromCp1252(b), true);
    }

    // One character of document text. `Countable` characters are the
    // ones a \u fallback consists of.
    void Text(char16_t c, bool Countable)
    {
        if (Skipping() || m_state.Dest != TDest::Text)
            return;
        if (Countable && m_skip > 0) {
            --m_skip;
            return;
        }
        m_cellTab = false;
        TRichParagraph& para = Current();
        para.Text += c;
        para.Formats.push_back(m_doc.Intern(m_state.Format));
    }

    TRichParagraph& Current() { return m_doc.Paragraphs.back(); }

    void Paragraph(bool Soft)
    {
        if (Skipping() || m_state.Dest != TDest::Text)
            return;
        m_skip = 0;
        m_cellTab = false;
        Current().SoftBreak = Soft;
        Current().MarkFormat = m_doc.Intern(m_state.Format);
        TRichParagraph next;
        next.Alignment = m_align;
        next.MarkFormat = Current().MarkFormat;
        m_doc.Paragraphs.push_back(std::move(next));
    }

    // ---- tables ----
    static constexpr COLORREF CLR_AUTO = 0xFF000000;

    void EndFontName()
    {
        if (!m_fontNameOpen)
            return;
        m_fontNameOpen = false;
        std::string name = m_fontName;
        while (!name.empty() && (name.back() == ' ' || name.back() == ';'))
            name.pop_back();
        const std::size_t start = name.find_first_not_of(' ');
        name = start == std::string::npos ? std::string() : name.substr(start);
        if (!name.empty() && m_state.FontId >= 0)
            m_fonts[m_state.FontId] = Utf8ToString(name);
        m_fontName.clear();
    }

    // Fonts and colours are referenced before the characters that use them
    // are read, but a document may list its tables late or never: the face
    // is resolved now if known and again at the end.
    void ApplyFont(TRichCharFormat& f)
    {
        const int id = m_state.FontId >= 0 ? m_state.FontId : m_defaultFont;
        auto it = m_fonts.find(id);
        f.Face = it != m_fonts.end() ? it->second : m_default.Face;
    }

    void ApplyColor(TRichCharFormat& f)
    {
        // Entry 0 is usually the empty (automatic) one; a missing entry
        // counts as automatic too.
        const int id = m_state.ColorId;
        const bool known = id >= 0 && id < int(m_colors.size()) && m_colors[std::size_t(id)] != CLR_AUTO;
        f.AutoColor = !known;
        f.Color = known ? m_colors[std::size_t(id)] : 0;
    }

    std::string_view m_in;
    const TRichCharFormat& m_default;
    TRichDocument& m_doc;
    std::size_t m_pos { 0 };
    TGroupState m_state;
    std::vector<TGroupState> m_stack;
    int m_overflow { 0 };
    bool m_ended { false };
    bool m_groupStart { false };
    int m_skip { 0 };
    bool m_cellTab { false };
    TRichAlignment m_align { raLeft };
    std::map<int, String> m_fonts;
    int m_defaultFont { 0 };
    std::string m_fontName;
    bool m_fontNameOpen { false };
    std::vector<COLORREF> m_colors;
    int m_red { 0 }, m_green { 0 }, m_blue { 0 };
    bool m_colorSet { false };
};

} // namespace

std::uint16_t TRichDocument::Intern(const TRichCharFormat& F)
{
    // Documents hold few formats: a linear search from the end (the last
    // one used is the likeliest) beats hashing here.
    for (std::size_t i = Formats.size(); i-- > 0;)
        if (Formats[i] == F)
            return std::uint16_t(i);
    if (Formats.size() >= 0xFFFF)
        return std::uint16_t(Formats.size() - 1);
    Formats.push_back(F);
    return std::uint16_t(Formats.size() - 1);
}

String TRichDocument::PlainText() const
{
    String s;
    for (std::size_t i = 0; i < Paragraphs.size(); ++i) {
        if (i)
            s += u"\r\n";
        s += Paragraphs[i].Text;
    }
    return s;
}

bool ReadRtf(const std::string& Bytes, const TRichCharFormat& Default, TRichDocument& Out)
{
    std::size_t start = 0;
    while (start < Bytes.size() && (Bytes[start] == ' ' || Bytes[start] == '\r' || Bytes[start] == '\n' || Bytes[start] == '\t'))
        ++start;
    if (Bytes.compare(start, 5, "{\\rtf") != 0) {
        Out = TRichDocument {};
        Out.Formats[0] = Default;
        Out.Paragraphs.clear();
        String text = Utf8ToString(Bytes);
        std::size_t from = 0;
        for (;;) {
            const std::size_t br = text.find_first_of(u"\r\n", from);
            TRichParagraph p;
            p.Text = text.substr(from, br == String::npos ? String::npos : br - from);
            p.Formats.assign(p.Text.size(), 0);
            Out.Paragraphs.push_back(std::move(p));
            if (br == String::npos)
                break;
            from = br + (text[br] == u'\r' && br + 1 < text.size() && text[br + 1] == u'\n' ? 2 : 1);
        }
        return false;
    }
    // The outer brace opens the document's own group.
    TRtfReader reader(std::string_view(Bytes).substr(start + 1), Default, Out);
    reader.Run();
    return true;
}
