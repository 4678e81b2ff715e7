#include "richtext/MiniHTMLMarkup.h"

#include <algorithm>
#include <array>
#include <limits>

#include "graphics/LumGraphicsTypes.h"
#include "platform/vcl/Graphics.h"

namespace VovHTMLE {

namespace {

const THTMLEntity Entities[] = {
    { u"amp;", u'&' }, { u"lt;", u'<' }, { u"gt;", u'>' }, { u"&quot;", u'"' }, { u"&nbsp;", u' ' },
    { u"&eacute;", u'é' }, { u"&egrave;", u'è' }, { u"&euml;", u'ë' }, { u"&ecirc;", u'ê' },
    { u"&oacute;", u'ó' }, { u"&ograve;", u'ò' }, { u"&ouml;", u'ö' }, { u"&ocirc;", u'ô' },
    { u"&iacute;", u'í' }, { u"&igrave;", u'ì' }, { u"&iuml;", u'ï' }, { u"&icirc;", u'î' },
    { u"&uacute;", u'ú' }, { u"&ugrave;", u'ù' }, { u"&uuml;", u'ü' }, { u"&ucirc;", u'û' },
    { u"&aacute;", u'á' }, { u"&agrave;", u'à' }, { u"&auml;", u'ä' }, { u"&acirc;", u'â' },
    { u"&Eacute;", u'É' }, { u"&Egrave;", u'È' }, { u"&Euml;", u'Ë' }, { u"&Ecirc;", u'Ê' },
    { u"&Oacute;", u'Ó' }, { u"&Ograve;", u'Ò' }, { u"&Ouml;", u'Ö' }, { u"&Ocirc;", u'Ô' },
    { u"&Iacute;", u'Í' }, { u"&Igrave;", u'Ì' }, { u"&Iuml;", u'Ï' }, { u"&Icirc;", u'Î' },
    { u"&Uacute;", u'Ú' }, { u"&Ugrave;", u'Ù' }, { u"&Uuml;", u'Ü' }, { u"&Ucirc;", u'Û' },
    { u"&Aacute;", u'Á' }, { u"&Agrave;", u'À' }, { u"&Auml;", u'Ä' }, { u"&Acirc;", u'Â' },
    { u"&ccedil;", u'ç' }, { u"&Ccedil;", u'Ç' }, { u"&oslash;", u'ø' }, { u"&Oslash;", u'Ø' },
    { u"&aring;", u'å' }, { u"&Aring;", u'Å' }, { u"&copy;", u'©' }, { u"&reg;", u'®' },
    { u"&euro;", u'€' }, { u"&laquo;", u'«' }, { u"&raquo;", u'»' }, { u"&atilde;", u'ã' },
    { u"&Atilde;", u'Ã' }, { u"&otilde;", u'õ' }, { u"&Otilde", u'Õ' }, { u"&trade;", u'™' },
    { u"&sect;", u'§' }, { u"&para;", u'¶' }, { u"&szlig;", u'ß' }, { u"&pound;", u'£' },
    { u"&dollar;", u'$' }, { u"&sect;", u'§' }, { u"&permil;", u'‰' }, { u"&para;", u'¶' },
    { u"&#39;", u'\'' }, { u"&yen;", u'¥' }, { u"&curren;", u'¤' }, { u"&cent;", u'¢' },
    { u"&plusmn;", u'±' }, { u"&iexcl;", u'¡' }, { u"&deg;", u'°' }, { u"&#x00FD;", u'ý' },
    { u"&#221;", u'Ý' }, { u"&frac14;", u'¼' }, { u"&frac12;", u'½' }, { u"&frac34;", u'¾' },
    { u"&AElig;", u'Æ' }, { u"&aelig;", u'æ' }, { u"&Ntilde;", u'Ñ' }, { u"&ntilde;", u'ñ' },
    { u"&ETH;", u'Ð' },
};
static_assert(std::size(Entities) == 86);

struct TNamedHTMLColor {
    const char16_t* Name;
    TColor Color;
};

// The window system's colour names, with their system colour index, and the
// one CSS name the drawing library's table lacks; the other CSS names come
// from that table. Sorted by name.
constexpr TColor SysColor(int index) { return TColor(0xFF000000u | unsigned(index)); }

const TNamedHTMLColor ColorNames[] = {
    { u"3ddkshadow", SysColor(21) }, { u"3dlight", SysColor(22) }, { u"activeborder", SysColor(10) },
    { u"activecaption", SysColor(2) }, { u"appworkspace", SysColor(12) }, { u"background", SysColor(1) },
    { u"btnface", SysColor(15) }, { u"btnhighlight", SysColor(20) }, { u"btnshadow", SysColor(16) },
    { u"btntext", SysColor(18) }, { u"captiontext", SysColor(9) }, { u"graytext", SysColor(17) },
    { u"highlight", SysColor(13) }, { u"highlighttext", SysColor(14) }, { u"inactiveborder", SysColor(11) },
    { u"inactivecaption", SysColor(3) }, { u"inactivecaptiontext", SysColor(19) }, { u"infobk", SysColor(24) },
    { u"infotext", SysColor(23) }, { u"menu", SysColor(4) }, { u"menutext", SysColor(7) },
    { u"rebeccapurple", TColor(0x993366) }, { u"window", SysColor(5) }, { u"windowframe", SysColor(6) },
    { u"windowtext", SysColor(8) },
};

TColor RedFirstToColor(std::uint32_t rgb)
{
    return TColor(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

// Reads a numeric character reference at `at` ("&#..."); on success the
// reference with its terminator is replaced and `at` points after the
// replacement.
bool ConvertNumericReference(String& s, std::size_t& at)
{
    const std::size_t semicolon = s.find(u';', at);
    if (semicolon == String::npos)
        return false;
    const bool hex = at + 2 < s.size() && (s[at + 2] == u'x' || s[at + 2] == u'X');
    const std::size_t digitsStart = at + 2 + (hex ? 1 : 0);
    const int radix = hex ? 16 : 10;
    std::size_t end;
    if (semicolon - at < 7) {
        end = semicolon;
    } else {
        end = digitsStart;
        while (end < s.size() && HexDigitValue(s[end]) >= 0 && HexDigitValue(s[end]) < radix)
            ++end;
    }
    if (end <= digitsStart || end - digitsStart > 6)
        return false;
    std::uint32_t cp = 0;
    for (std::size_t i = digitsStart; i < end; ++i) {
        const int d = HexDigitValue(s[i]);
        if (d < 0 || d >= radix)
            return false;
        cp = cp * std::uint32_t(radix) + std::uint32_t(d);
    }
    // Code points beyond Unicode and lone surrogate halves would make text
    // that cannot be converted or drawn; they stay as written.
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    String replacement;
    if (cp >= 0x1F004) {
        String pair;
        AppendCodePoint(pair, char32_t(cp));
        replacement = u"<J " + pair + u" >";
    } else {
        AppendCodePoint(replacement, char32_t(cp));
    }
    const std::size_t consumed = std::min(end + 1, s.size()) - at;
    s.replace(at, consumed, replacement);
    at += replacement.size();
    return true;
}

} // namespace

std::span<const THTMLEntity> HTMLEntityTable() { return Entities; }
std::span<const THTMLEntity> WorkingEntities() { return std::span<const THTMLEntity>(Entities).subspan(3); }

std::size_t FindNoCase(StringView s, StringView sub, std::size_t from)
{
    if (sub.empty() || s.size() < sub.size())
        return String::npos;
    for (std::size_t i = from; i + sub.size() <= s.size(); ++i) {
        std::size_t k = 0;
        while (k < sub.size() && CharUpper(s[i + k]) == CharUpper(sub[k]))
            ++k;
        if (k == sub.size())
            return i;
    }
    return String::npos;
}

bool ReplaceFirstNoCase(String& s, StringView name, StringView with)
{
    const std::size_t p = FindNoCase(s, name);
    if (p == String::npos)
        return false;
    s.replace(p, name.size(), with);
    return true;
}

String ReplaceAllNoCase(StringView s, StringView what, StringView with)
{
    String out;
    std::size_t from = 0;
    for (std::size_t p; (p = FindNoCase(s, what, from)) != String::npos; from = p + what.size()) {
        out.append(s.substr(from, p - from));
        out.append(with);
    }
    out.append(s.substr(std::min(from, s.size())));
    return out;
}

String ReplaceAll(StringView s, StringView what, StringView with)
{
    String out;
    std::size_t from = 0;
    for (std::size_t p; !what.empty() && (p = s.find(what, from)) != StringView::npos; from = p + what.size()) {
        out.append(s.substr(from, p - from));
        out.append(with);
    }
    out.append(s.substr(std::min(from, s.size())));
    return out;
}

void ReplaceWhileExact(String& s, StringView name, StringView with)
{
    while (s.find(name) != String::npos)
        ReplaceFirstNoCase(s, name, with);
}

void ApplyEntityRows(String& s)
{
    if (s.find(u'&') == String::npos)
        return;
    for (const auto& e : WorkingEntities())
        ReplaceWhileExact(s, e.Name, StringView(&e.Character, 1));
}

String ConvertPieceEntities(StringView piece)
{
    String s(piece);
    if (s.find(u'&') == String::npos)
        return s;
    ReplaceWhileExact(s, u"&nbsp;", u" ");
    ReplaceWhileExact(s, u"&lt;", u"<");
    ReplaceWhileExact(s, u"&gt;", u">");
    ApplyEntityRows(s);
    return s;
}

String PrepareHTMLText(StringView markup)
{
    String s(markup);
    // 1. Named entities; "&amp;" becomes "&&" so that the prefix-processing
    // text output shows one ampersand.
    if (s.find(u'&') != String::npos) {
        bool replaced;
        do {
            replaced = ReplaceFirstNoCase(s, u"&amp;", u"&&");
            ReplaceWhileExact(s, u"&quot;", u"\"");
            ReplaceWhileExact(s, u"&amp;", u"&&");
            ApplyEntityRows(s);
        } while (replaced);
    }
    // 2. "<#...>" shows its text without the brackets.
    for (std::size_t p; (p = s.find(u"<#")) != String::npos;) {
        s.erase(p, 1);
        const std::size_t gt = s.find(u'>', p);
        if (gt != String::npos)
            s.erase(gt, 1);
    }
    // 3. Numeric character references.
    for (std::size_t p = 0; (p = s.find(u"&#", p)) != String::npos;) {
        if (p > 0 && s[p - 1] == u'&') {
            p += 2;
            continue;
        }
        if (!ConvertNumericReference(s, p))
            p += 2;
    }
    // 4. Carriage returns break lines; line feeds go.
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

String AttributeValue(StringView original, StringView upper, StringView name, std::size_t from)
{
    const std::size_t p = upper.find(name, from);
    if (p == StringView::npos)
        return {};
    const std::size_t q1 = upper.find(u'"', p + name.size());
    if (q1 == StringView::npos)
        return {};
    const std::size_t q2 = upper.find(u'"', q1 + 1);
    if (q2 == StringView::npos)
        return {};
    return String(original.substr(q1 + 1, q2 - q1 - 1));
}

bool ReadAttributeNumber(StringView s, int& value)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    int radix = 10;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        radix = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        radix = 16;
        i += 2;
    }
    const std::size_t digitsStart = i;
    std::int64_t v = 0;
    while (i < s.size()) {
        const int d = HexDigitValue(s[i]);
        if (d < 0 || d >= radix)
            break;
        v = std::min<std::int64_t>(v * radix + d, std::numeric_limits<int>::max());
        ++i;
    }
    value = int(negative ? -v : v);
    return i == s.size() && i > digitsStart;
}

bool ReadHexRGB(StringView digits, TColor& color)
{
    if (digits.size() < 6)
        return false;
    std::uint32_t rgb = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const int d = HexDigitValue(digits[i]);
        if (d < 0)
            return false;
        rgb = rgb * 16 + std::uint32_t(d);
    }
    color = RedFirstToColor(rgb);
    return true;
}

bool LookupHTMLColorName(StringView lowerName, TColor& color)
{
    const auto* end = std::end(ColorNames);
    const auto* it = std::lower_bound(std::begin(ColorNames), end, lowerName,
        [](const TNamedHTMLColor& e, StringView n) { return StringView(e.Name) < n; });
    if (it != end && StringView(it->Name) == lowerName) {
        color = it->Color;
        return true;
    }
    return FindNamedColor(lowerName, color);
}

TColor HTMLColor(StringView value)
{
    TColor color = clBlack;
    if (!value.empty() && value[0] == u'#') {
        ReadHexRGB(value.substr(1), color);
        return color;
    }
    String name = StrLower(value);
    if (name.starts_with(u"cl"))
        name.erase(0, 2);
    if (!LookupHTMLColorName(name, color))
        color = clBlack;
    return color;
}

} // namespace VovHTMLE
