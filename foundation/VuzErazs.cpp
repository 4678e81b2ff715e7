#include "foundation/VuzErazs.h"

#include <algorithm>
#include <array>

#include "platform/rtl/Base64.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace {

struct MarkupPair {
    Char ch;
    const Char* entity;
};

// Pairs 3..85 are the special characters; the first four entity texts carry
// no "&" because the plain escaping adds it.
constexpr std::array<MarkupPair, 86> kMarkup { {
    { u'&', u"amp;" }, { u'<', u"lt;" }, { u'>', u"gt;" }, { u'"', u"quot;" }, { u' ', u"&nbsp;" },
    { u'é', u"&eacute;" }, { u'è', u"&egrave;" }, { u'ë', u"&euml;" }, { u'ê', u"&ecirc;" },
    { u'ó', u"&oacute;" }, { u'ò', u"&ograve;" }, { u'ö', u"&ouml;" }, { u'ô', u"&ocirc;" },
    { u'í', u"&iacute;" }, { u'ì', u"&igrave;" }, { u'ï', u"&iuml;" }, { u'î', u"&icirc;" },
    { u'ú', u"&uacute;" }, { u'ù', u"&ugrave;" }, { u'ü', u"&uuml;" }, { u'û', u"&ucirc;" },
    { u'á', u"&aacute;" }, { u'à', u"&agrave;" }, { u'ä', u"&auml;" }, { u'â', u"&acirc;" },
    { u'É', u"&Eacute;" }, { u'È', u"&Egrave;" }, { u'Ë', u"&Euml;" }, { u'Ê', u"&Ecirc;" },
    { u'Ó', u"&Oacute;" }, { u'Ò', u"&Ograve;" }, { u'Ö', u"&Ouml;" }, { u'Ô', u"&Ocirc;" },
    { u'Í', u"&Iacute;" }, { u'Ì', u"&Igrave;" }, { u'Ï', u"&Iuml;" }, { u'Î', u"&Icirc;" },
    { u'Ú', u"&Uacute;" }, { u'Ù', u"&Ugrave;" }, { u'Ü', u"&Uuml;" }, { u'Û', u"&Ucirc;" },
    { u'Á', u"&Aacute;" }, { u'À', u"&Agrave;" }, { u'Ä', u"&Auml;" }, { u'Â', u"&Acirc;" },
    { u'ç', u"&ccedil;" }, { u'Ç', u"&Ccedil;" }, { u'ø', u"&oslash;" }, { u'Ø', u"&Oslash;" },
    { u'å', u"&aring;" }, { u'Å', u"&Aring;" }, { u'©', u"&copy;" }, { u'®', u"&reg;" },
    { u'€', u"&euro;" }, { u'«', u"&laquo;" }, { u'»', u"&raquo;" }, { u'ã', u"&atilde;" },
    { u'Ã', u"&Atilde;" }, { u'õ', u"&otilde;" }, { u'Õ', u"&Otilde;" }, { u'™', u"&trade;" },
    { u'§', u"&sect;" }, { u'¶', u"&para;" }, { u'ß', u"&szlig;" }, { u'£', u"&pound;" },
    { u'$', u"&#36;" }, { u'§', u"&sect;" }, { u'‰', u"&permil;" }, { u'¶', u"&para;" },
    { u'\'', u"&#39;" }, { u'¥', u"&yen;" }, { u'¤', u"&curren;" }, { u'¢', u"&cent;" },
    { u'±', u"&plusmn;" }, { u'¡', u"&iexcl;" }, { u'°', u"&deg;" }, { u'ý', u"&#x00FD;" },
    { u'Ý', u"&#221;" }, { u'¼', u"&frac14;" }, { u'½', u"&frac12;" }, { u'¾', u"&frac34;" },
    { u'Æ', u"&AElig;" }, { u'æ', u"&aelig;" }, { u'Ñ', u"&Ntilde;" }, { u'ñ', u"&ntilde;" },
    { u'Ð', u"&ETH;" },
} };
constexpr std::size_t kFirstSpecial = 3;

String AsciiUpperText(StringView s)
{
    String r(s);
    for (Char& c : r)
        c = AsciiUpper(c);
    return r;
}

int PosIn(StringView sub, StringView s)
{
    if (sub.empty())
        return 0;
    auto p = s.find(sub);
    return p == StringView::npos ? 0 : int(p) + 1;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex4(String& out, unsigned v)
{
    for (int shift = 12; shift >= 0; shift -= 4)
        out += Char(kHexDigits[(v >> shift) & 0xF]);
}

bool StartsWith(StringView s, std::size_t at, StringView what)
{
    return s.size() - at >= what.size() && s.substr(at, what.size()) == what;
}

bool StartsWithNoCase(StringView s, std::size_t at, StringView upperWhat)
{
    if (s.size() - at < upperWhat.size())
        return false;
    for (std::size_t i = 0; i < upperWhat.size(); ++i)
        if (AsciiUpper(s[at + i]) != upperWhat[i])
            return false;
    return true;
}

TBytes ReadWholeStream(TStream& stream)
{
    stream.SetPosition(0);
    Int64 size = stream.GetSize();
    TBytes bytes(std::size_t(size > 0 ? size : 0));
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), Int64(bytes.size()));
    return bytes;
}

} // namespace

// ---- Text search ----

int TVuzErazs::IPos(StringView su, StringView s)
{
    return PosIn(AsciiUpperText(su), AsciiUpperText(s));
}

bool TVuzErazs::TagReplaceString(StringView Srch, StringView Repl, String& Dest)
{
    int p = IPos(Srch, Dest);
    if (p == 0)
        return false;
    Dest.replace(std::size_t(p - 1), Srch.size(), Repl);
    return true;
}

int TVuzErazs::VarPos(StringView ASubValue, StringView AValue, int& AResult)
{
    AResult = PosIn(ASubValue, AValue);
    return AResult;
}

int TVuzErazs::VarPosNoCase(StringView ASubValue, StringView AValue, int& AResult)
{
    AResult = PosIn(AsciiUpperText(ASubValue), AsciiUpperText(AValue));
    return AResult;
}

Char TVuzErazs::CharInStr(StringView s, int Index)
{
    if (Index < 1 || std::size_t(Index) > s.size())
        return 0;
    return s[std::size_t(Index - 1)];
}

int TVuzErazs::IndexOfTextInArray(StringView AText, std::span<const String> AValues)
{
    static constexpr StringView kExactWords[] = { u"cute", u"grave", u"uml", u"circ", u"tilde", u"ring", u"cedil" };
    bool exact = false;
    for (StringView w : kExactWords)
        if (AText.find(w) != StringView::npos)
            exact = true;
    for (std::size_t i = 0; i < AValues.size(); ++i) {
        if (exact ? AValues[i] == AText : SameText(AValues[i], AText))
            return int(i);
    }
    return -1;
}

int TVuzErazs::GetMarkupIndex(StringView Markup)
{
    static const std::vector<String> entities = [] {
        std::vector<String> v;
        for (const auto& p : kMarkup)
            v.emplace_back(p.entity);
        return v;
    }();
    return IndexOfTextInArray(Markup, entities);
}

String TVuzErazs::GetSpecialChar(int Value)
{
    if (Value < 1 || std::size_t(Value) > kMarkup.size())
        return {};
    return String(1, kMarkup[std::size_t(Value - 1)].ch);
}

// ---- Markup ----

String TVuzErazs::FixMarkup(StringView su, bool SpecialChars)
{
    String out;
    out.reserve(su.size());
    for (std::size_t i = 0; i < su.size(); ++i) {
        Char c = su[i];
        switch (c) {
        case u'&': out += u"&amp;"; continue;
        case u'"': out += u"&quot;"; continue;
        case u'<': out += u"&lt;"; continue;
        case u'>': out += u"&gt;"; continue;
        default: break;
        }
        if (!SpecialChars) {
            out += c;
            continue;
        }
        const MarkupPair* pair = nullptr;
        for (std::size_t k = kFirstSpecial; k < kMarkup.size() && !pair; ++k)
            if (kMarkup[k].ch == c)
                pair = &kMarkup[k];
        if (pair) {
            out += pair->entity;
        } else if (c > 256) {
            // A pair of surrogates is one character: reference its code point,
            // since a reference to half a pair decodes to nothing useful.
            char32_t cp = c;
            if (IsHighSurrogate(c) && i + 1 < su.size() && IsLowSurrogate(su[i + 1])) {
                cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(su[i + 1]) - 0xDC00);
                ++i;
            }
            out += u"&#";
            out += IntToStr(Int64(cp));
            out += u';';
        } else {
            out += c;
        }
    }
    return out;
}

String TVuzErazs::UnFixMarkup(StringView su, bool SpecialChars, bool SpecialCharsOnly)
{
    // One pass from left to right: an entity is recognised only at its "&",
    // so the text produced by one replacement is never decoded again.
    String out;
    out.reserve(su.size());
    for (std::size_t i = 0; i < su.size();) {
        if (su[i] != u'&') {
            out += su[i++];
            continue;
        }
        bool done = false;
        if (!SpecialCharsOnly) {
            static constexpr std::pair<StringView, Char> kPlain[] = {
                { u"&lt;", u'<' }, { u"&gt;", u'>' }, { u"&amp;", u'&' }, { u"&quot;", u'"' } };
            for (const auto& [entity, ch] : kPlain) {
                if (StartsWith(su, i, entity)) {
                    out += ch;
                    i += entity.size();
                    done = true;
                    break;
                }
            }
        }
        if (!done && SpecialChars) {
            for (std::size_t k = kFirstSpecial; k < kMarkup.size(); ++k) {
                StringView entity = kMarkup[k].entity;
                std::size_t skip = 0;
                if (entity.front() == u'&') {
                    if (StartsWith(su, i, entity))
                        skip = entity.size();
                } else if (StartsWith(su, i + 1, entity)) {
                    skip = entity.size() + 1;
                }
                if (skip) {
                    out += kMarkup[k].ch;
                    i += skip;
                    done = true;
                    break;
                }
            }
        }
        if (!done)
            out += su[i++];
    }
    return out;
}

bool TVuzErazs::IsHTML(StringView AValue)
{
    return AValue.find(u"</") != StringView::npos || AValue.find(u"/>") != StringView::npos
        || IPos(u"<BR>", AValue) > 0;
}

String TVuzErazs::HTMLStrip(StringView AHTML)
{
    String text;
    text.reserve(AHTML.size());
    for (std::size_t i = 0; i < AHTML.size();) {
        if (AHTML[i] == u'<' && (StartsWithNoCase(AHTML, i, u"<BR>") || StartsWithNoCase(AHTML, i, u"<HR>"))) {
            text += u"\r\n";
            i += 4;
        } else {
            text += AHTML[i++];
        }
    }
    String out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == u'<') {
            auto close = text.find(u'>', i + 1);
            if (close == String::npos) {
                out.append(text, i, String::npos);
                break;
            }
            i = close + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// ---- JSON escaping ----

String TVuzErazs::EscapeString(StringView AValue)
{
    String out;
    out.reserve(AValue.size() + 8);
    for (Char c : AValue) {
        switch (c) {
        case u'"': case u'\\': case u'\b': case u'\f': case u'\n': case u'\r': case u'\t':
            out += u"\\u";
            AppendHex4(out, c);
            break;
        default:
            if (c < 128) {
                out += c;
            } else {
                out += u"\\u";
                AppendHex4(out, c);
            }
        }
    }
    return out;
}

String TVuzErazs::UnescapeString(StringView AValue)
{
    String out;
    out.reserve(AValue.size());
    const std::size_t n = AValue.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (AValue[i] != u'\\') {
            // The run up to the next backslash goes over as it is.
            const std::size_t next = std::min(AValue.find(u'\\', i), n);
            out.append(AValue.data() + i, next - i);
            i = next - 1;
            continue;
        }
        if (i + 1 >= n)
            throw Exception(u"Unexpected end of string");
        auto invalid = [&] { return Exception(Format(u"Invalid code at position %s", { IntToStr(Int64(i + 1)) })); };
        Char e = AValue[i + 1];
        switch (e) {
        case u'\\': out += u'\\'; break;
        case u'/': out += u'/'; break;
        case u'b': out += u'\b'; break;
        case u'f': out += u'\f'; break;
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'"': out += u'"'; break;
        case u'u': {
            if (n - i < 6)
                throw invalid();
            unsigned v = 0;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                int h = HexDigitValue(AValue[k]);
                if (h < 0)
                    throw invalid();
                v = v * 16 + unsigned(h);
            }
            out += Char(v);
            i += 4;
            break;
        }
        default:
            throw invalid();
        }
        ++i;
    }
    return out;
}

// ---- Base64 ----

String TVuzErazs::SaveStreamToBase64(TStream& AStream, bool AURL)
{
    return AsciiToString(Base64Encode(ReadWholeStream(AStream), AURL));
}

TBytes TVuzErazs::Decode64ToBytes(StringView AValue, bool AURL)
{
    return Base64Decode(AValue, AURL);
}

void TVuzErazs::LoadStreamFromBase64(StringView ABase64, TStream& AStream, bool AURL)
{
    TBytes bytes = Decode64ToBytes(ABase64, AURL);
    if (!bytes.empty())
        AStream.WriteBuffer(bytes);
}

// ---- Hexadecimal ----

String TVuzErazs::SaveStreamToHexStr(TStream& AStream)
{
    TBytes bytes = ReadWholeStream(AStream);
    String out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out += Char(kHexDigits[b >> 4]);
        out += Char(kHexDigits[b & 15]);
    }
    return out;
}

namespace {

std::uint8_t HexPair(StringView s, std::size_t i)
{
    int hi = HexDigitValue(s[i]), lo = HexDigitValue(s[i + 1]);
    if (hi < 0 || lo < 0)
        throw EConvertError(Format(u"'%s' is not a valid integer value", { String(s.substr(i, 2)) }));
    return std::uint8_t(hi * 16 + lo);
}

} // namespace

TBytes TVuzErazs::HexStrToBytes(StringView AValue)
{
    if (AValue.size() % 2)
        throw ERangeError(u"Range check error");
    TBytes out;
    out.reserve(AValue.size() / 2);
    for (std::size_t i = 0; i + 1 < AValue.size(); i += 2)
        out.push_back(HexPair(AValue, i));
    return out;
}

void TVuzErazs::LoadStreamFromHexStr(StringView AHexStr, TStream& AStream)
{
    TBytes out;
    out.reserve(AHexStr.size() / 2);
    for (std::size_t i = 0; i + 1 < AHexStr.size(); i += 2)
        out.push_back(HexPair(AHexStr, i));
    if (!out.empty())
        AStream.WriteBuffer(out);
}

// ---- URL encoding ----

String TVuzErazs::URLEncode(StringView AURL)
{
    std::string bytes = StringToUtf8(AURL);
    String out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        bool keep = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '_'
            || b == '.';
        if (keep) {
            out += Char(b);
        } else {
            out += u'%';
            out += Char(kHexDigits[b >> 4]);
            out += Char(kHexDigits[b & 15]);
        }
    }
    return out;
}

String TVuzErazs::URLDecode(StringView AURL)
{
    if (AURL.empty())
        return {};
    // Escapes give bytes; everything else, including a "%" that starts no
    // escape, goes in as its own UTF-8 bytes, so the text decodes as a whole.
    std::string bytes;
    bytes.reserve(AURL.size());
    std::size_t plainStart = 0;
    auto flushPlain = [&](std::size_t end) {
        if (end > plainStart)
            bytes += StringToUtf8(AURL.substr(plainStart, end - plainStart));
    };
    for (std::size_t i = 0; i < AURL.size(); ++i) {
        if (AURL[i] == u'%' && i + 2 < AURL.size() && HexDigitValue(AURL[i + 1]) >= 0 && HexDigitValue(AURL[i + 2]) >= 0) {
            flushPlain(i);
            bytes += char(HexDigitValue(AURL[i + 1]) * 16 + HexDigitValue(AURL[i + 2]));
            i += 2;
            plainStart = i + 1;
        }
    }
    flushPlain(AURL.size());
    return Trim(Utf8ToString(bytes));
}

// ---- Numbers ----

String TVuzErazs::FloatToStrDot(double AValue)
{
    return FloatToStr(AValue, InvariantFormatSettings());
}

double TVuzErazs::StrToFloatDot(StringView AValue)
{
    return StrToFloat(AValue, InvariantFormatSettings());
}

bool TVuzErazs::TryStrToFloatDot(StringView AValue, double& AResult)
{
    return TryStrToFloat(AValue, AResult, InvariantFormatSettings());
}

String TVuzErazs::StripThousandSep(StringView ps)
{
    Char sep = ProcessFormatSettings().ThousandSeparator;
    String out;
    out.reserve(ps.size());
    for (Char c : ps)
        if (c != sep)
            out += c;
    return out;
}

String TVuzErazs::EnDeCrypt(StringView AValue)
{
    String out(AValue.size(), u'\0');
    for (std::size_t i = 0; i < AValue.size(); ++i) {
        unsigned b = AValue[i] & 0xFFu;
        out[i] = Char((b & 0xE0u) | ((b & 0x1Fu) ^ 5u));
    }
    return out;
}
