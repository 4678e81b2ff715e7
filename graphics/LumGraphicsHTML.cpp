#include "graphics/LumGraphicsHTML.h"

#include "foundation/VuzErazs.h"
#include "graphics/LumGraphics.h"
#include "platform/rtl/SysUtils.h"

namespace {

String ReplaceAll(StringView s, StringView what, StringView with)
{
    return StringReplace(s, what, with, rfReplaceAll);
}

bool IsDecimal(Char c) { return c >= u'0' && c <= u'9'; }

// Code points at or above this are pictures of the colour-emoji range, which
// the renderer passes over as an internal tag.
constexpr char32_t FirstEmojiCode = 126980;

// "&#NNN;" or "&#xHHH;" with 1 to 6 digits at `at`; the code and the length
// of the reference, or false.
bool ReadNumericReference(StringView s, std::size_t at, char32_t& code, std::size_t& length)
{
    std::size_t p = at + 2;
    bool hex = p < s.size() && (s[p] == u'x' || s[p] == u'X');
    if (hex)
        ++p;
    std::size_t digits = 0;
    char32_t value = 0;
    while (p < s.size() && digits < 7) {
        int d = hex ? HexDigitValue(s[p]) : (IsDecimal(s[p]) ? s[p] - u'0' : -1);
        if (d < 0)
            break;
        value = value * (hex ? 16 : 10) + char32_t(d);
        ++digits;
        ++p;
    }
    if (digits < 1 || digits > 6 || p >= s.size() || s[p] != u';')
        return false;
    code = value;
    length = p + 1 - at;
    return true;
}

String ConvertNumericReferences(StringView s)
{
    String out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t code = 0;
        std::size_t length = 0;
        bool reference = s[i] == u'&' && i + 1 < s.size() && s[i + 1] == u'#' && (i == 0 || s[i - 1] != u'&')
            && ReadNumericReference(s, i, code, length);
        // NUL and lone surrogates would corrupt the text; such references stay as written.
        if (!reference || code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
            out += s[i++];
            continue;
        }
        if (code >= FirstEmojiCode) {
            out += u"<J";
            out += Utf8ToString(std::to_string(static_cast<unsigned long>(code)));
            out += u" >";
        } else {
            AppendCodePoint(out, code);
        }
        i += length;
    }
    return out;
}

} // namespace

String PrepareGraphicsMarkup(StringView AText)
{
    String s(AText);
    if (s.find(u'&') != String::npos) {
        s = TVuzErazs::UnFixMarkup(s, true, true);
        s = ReplaceAll(s, u"&amp;", u"&");
    }
    if (auto marker = s.find(u"<#"); marker != String::npos) {
        s.erase(marker, 1);
        if (auto close = s.find(u'>', marker); close != String::npos)
            s.erase(close, 1);
    }
    s = ConvertNumericReferences(s);
    String out;
    out.reserve(s.size());
    for (Char c : s) {
        if (c == u'\r')
            out += u"<BR>";
        else if (c != u'\n')
            out += c;
    }
    return out;
}

String GraphicsHTMLHilight(const String& AHTML, const String& AHilight, const String& ATag, bool ADoCase)
{
    if (AHilight.empty())
        return String(AHTML);
    String html(AHTML);
    String find(AHilight);
    String stripped = TVuzErazs::HTMLStrip(html);
    if (html.find(find) != String::npos
        && (stripped.find(u'<') != String::npos || stripped.find(u'>') != String::npos)) {
        auto escape = [](StringView v) { return ReplaceAll(ReplaceAll(v, u"<", u"&lt;"), u">", u"&gt;"); };
        html = escape(stripped);
        find = escape(find);
    }

    // The visible characters with the markup position of each.
    String visible;
    std::vector<std::size_t> position;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == u'<') {
            auto close = html.find(u'>', i);
            if (close == String::npos)
                break;
            i = close + 1;
            continue;
        }
        visible += html[i];
        position.push_back(i);
        ++i;
    }
    if (!ADoCase) {
        visible = StrUpper(visible);
        find = StrUpper(find);
    }

    const String open = u"<" + String(ATag) + u">";
    const String close = u"</" + String(ATag) + u">";
    String out;
    std::size_t copied = 0;
    for (std::size_t from = 0, at; (at = visible.find(find, from)) != String::npos; from = at + find.size()) {
        std::size_t begin = position[at];
        std::size_t end = position[at + find.size() - 1] + 1;
        out.append(html, copied, begin - copied);
        out += open;
        out.append(html, begin, end - begin);
        out += close;
        copied = end;
    }
    out.append(html, copied, String::npos);
    return out;
}
