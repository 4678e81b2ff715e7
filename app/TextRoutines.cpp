#include "app/TextRoutines.h"

#include "app/Pcre.h"

String StripHTMLTags(const String& s)
{
    TPcreRegex re(u"<(style|script)[^<>]*>.*?</\\1>|</?[a-z][a-z0-9]*[^<>]*>|<!--.*?-->", pcoCaseless | pcoDotAll);
    re.SetSubject(s);
    re.ReplaceAll(u" ");
    return re.GetSubject();
}

String RemoveTabsAndLineBreaks(const String& s)
{
    String out;
    out.reserve(s.size());
    for (Char c : s)
        if (c != 9 && c != 10 && c != 13)
            out += c;
    return out;
}

String CleanCSVField(const String& s)
{
    String t = s;
    for (Char& c : t)
        if (c == u'"')
            c = 0x00A0;
    t = RemoveTabsAndLineBreaks(StripHTMLTags(t));
    size_t b = 0, e = t.size();
    while (b < e && t[b] <= u' ')
        ++b;
    while (e > b && t[e - 1] <= u' ')
        --e;
    return t.substr(b, e - b);
}

String TrimLeadingControlChars(const String& s)
{
    size_t b = 0;
    while (b < s.size() && s[b] < 33)
        ++b;
    return s.substr(b);
}

namespace {

// The numeric reference starting at s[i] == '&' ("&#...;"): its code point
// and length, or false when it is not one we decode.
bool NumericReference(const String& s, size_t i, char32_t& cp, size_t& length)
{
    size_t p = i + 2;
    if (p > s.size() || s[i + 1] != u'#')
        return false;
    bool hex = p < s.size() && (s[p] == u'x' || s[p] == u'X');
    if (hex)
        ++p;
    size_t digitsStart = p;
    std::uint32_t value = 0;
    bool tooLarge = false;
    for (; p < s.size(); ++p) {
        Char c = s[p];
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0)
            break;
        value = value * (hex ? 16 : 10) + std::uint32_t(d);
        if (value > 0x10FFFF) {
            tooLarge = true;
            value = 0x110000; // stays above the limit without overflowing
        }
    }
    if (p == digitsStart || p >= s.size() || s[p] != u';' || tooLarge)
        return false;
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    cp = value;
    length = p + 1 - i;
    return true;
}

bool StartsWithAt(const String& s, size_t i, StringView what) { return s.compare(i, what.size(), what) == 0; }

} // namespace

String HTMLDecode(const String& s)
{
    static const struct {
        StringView entity;
        Char ch;
    } named[] = { { u"&amp;", u'&' }, { u"&lt;", u'<' }, { u"&gt;", u'>' }, { u"&quot;", u'"' } };
    String out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s[i] != u'&') {
            out += s[i++];
            continue;
        }
        bool done = false;
        for (const auto& n : named)
            if (StartsWithAt(s, i, n.entity)) {
                out += n.ch;
                i += n.entity.size();
                done = true;
                break;
            }
        if (done)
            continue;
        char32_t cp = 0;
        size_t length = 0;
        if (NumericReference(s, i, cp, length)) {
            AppendCodePoint(out, cp);
            i += length;
            continue;
        }
        out += s[i++];
    }
    return out;
}

String QuoteCSVField(const String& value)
{
    String out = u"\"";
    for (Char c : value) {
        if (c == u'"')
            out += u"\"\"";
        else if (c == u'\r' || c == u'\n')
            out += u' ';
        else
            out += c;
    }
    out += u'"';
    return out;
}
