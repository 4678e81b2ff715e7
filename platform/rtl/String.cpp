#include "platform/rtl/String.h"
#include "platform/rtl/Utf8.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <memory>
#include <mutex>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>

String Utf8ToString(std::string_view utf8)
{
    return Utf8ToString(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size());
}

bool DecodeUtf8Char(const std::uint8_t* p, std::size_t n, char32_t& cp, std::size_t& length)
{
    const std::uint8_t b = p[0];
    length = 1;
    if (b < 0x80) {
        cp = b;
        return true;
    }
    std::size_t len;
    char32_t min;
    if ((b & 0xE0) == 0xC0) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if ((b & 0xF0) == 0xE0) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if ((b & 0xF8) == 0xF0) { len = 4; cp = b & 0x07; min = 0x10000; }
    else return false;
    std::size_t k = 1;
    for (; k < len && k < n; ++k) {
        const std::uint8_t c = p[k];
        if ((c & 0xC0) != 0x80)
            break;
        cp = (cp << 6) | (c & 0x3F);
    }
    length = k;
    if (k < len)
        return false; // truncated
    return cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

String Utf8ToString(const std::uint8_t* p, std::size_t n)
{
    String out;
    AppendUtf8(out, p, n);
    return out;
}

namespace {

constexpr std::uint64_t HighBits = 0x8080808080808080ull;

std::uint64_t Load8(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

std::size_t DecodeUtf8(const std::uint8_t* p, std::size_t n, Char* out)
{
    Char* const start = out;
    std::size_t i = 0;
    while (i < n) {
        // Runs of ASCII, the common case, sixteen or eight bytes at a time.
#if defined(__SSE2__)
        while (i + 16 <= n) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            if (_mm_movemask_epi8(bytes) != 0)
                break;
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
            out += 16;
            i += 16;
        }
#endif
        while (i + 8 <= n && (Load8(p + i) & HighBits) == 0) {
            for (int k = 0; k < 8; ++k)
                out[k] = Char(p[i + k]);
            out += 8;
            i += 8;
        }
        if (i >= n)
            break;
        std::uint8_t b = p[i];
        if (b < 0x80) {
            *out++ = Char(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        std::size_t length = 1;
        const bool valid = DecodeUtf8Char(p + i, n - i, cp, length);
        i += length;
        if (!valid) {
            *out++ = ReplacementChar;
        } else if (cp < 0x10000) {
            *out++ = Char(cp);
        } else {
            cp -= 0x10000;
            *out++ = Char(0xD800 + (cp >> 10));
            *out++ = Char(0xDC00 + (cp & 0x3FF));
        }
    }
    return std::size_t(out - start);
}

namespace {

int SequenceLength(std::uint8_t lead)
{
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

} // namespace

void AppendUtf8(String& out, const std::uint8_t* p, std::size_t n)
{
    const std::size_t old = out.size();
    out.resize(old + n);
    out.resize(old + DecodeUtf8(p, n, out.data() + old));
}

std::size_t Utf8SafeSplit(const std::uint8_t* p, std::size_t n, std::size_t at)
{
    if (at >= n)
        return n;
    // Every byte that is not a continuation byte starts a decoding step; a
    // split is safe unless such a step within the last three bytes reaches past it.
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        const std::uint8_t b = p[at - back];
        if ((b & 0xC0) != 0x80)
            return std::size_t(SequenceLength(b)) > back ? at - back : at;
    }
    return at;
}

void AppendCodePoint(String& s, char32_t cp)
{
    if (cp < 0x10000) {
        s.push_back(Char(cp));
    } else if (cp <= 0x10FFFF) {
        cp -= 0x10000;
        s.push_back(Char(0xD800 + (cp >> 10)));
        s.push_back(Char(0xDC00 + (cp & 0x3FF)));
    } else {
        s.push_back(ReplacementChar);
    }
}

std::string StringToUtf8(StringView s)
{
    std::string out;
    AppendStringUtf8(out, s);
    return out;
}

void AppendStringUtf8(std::string& out, StringView s)
{
    if (out.empty())
        out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (IsHighSurrogate(Char(cp)) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (IsSurrogate(Char(cp))) {
            cp = ReplacementChar;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
}

bool ReadDigitField(StringView s, int& value)
{
    if (s.empty() || s.size() > 9)
        return false;
    int v = 0;
    for (Char c : s) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    value = v;
    return true;
}

String Latin1ToString(std::string_view bytes)
{
    String out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = Char(std::uint8_t(bytes[i]));
    return out;
}

std::string StringToLatin1(StringView s, char replacement)
{
    std::string out(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = s[i] <= 0xFF ? char(s[i]) : replacement;
    return out;
}

String AsciiToString(std::string_view bytes)
{
    String out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto b = std::uint8_t(bytes[i]);
        out[i] = b < 0x80 ? Char(b) : ReplacementChar;
    }
    return out;
}

std::string StringToAscii(StringView s, char replacement)
{
    std::string out(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = s[i] < 0x80 ? char(s[i]) : replacement;
    return out;
}

Char CharUpper(Char c)
{
    if (c < 0x80)
        return AsciiUpper(c);
    if (IsSurrogate(c))
        return c;
    UChar32 u = u_toupper(c);
    return u <= 0xFFFF && !IsSurrogate(Char(u)) ? Char(u) : c;
}

Char CharLower(Char c)
{
    if (c < 0x80)
        return AsciiLower(c);
    if (IsSurrogate(c))
        return c;
    UChar32 u = u_tolower(c);
    return u <= 0xFFFF && !IsSurrogate(Char(u)) ? Char(u) : c;
}

String StrUpper(StringView s)
{
    String out(s);
    for (auto& c : out)
        c = CharUpper(c);
    return out;
}

String StrLower(StringView s)
{
    String out(s);
    for (auto& c : out)
        c = CharLower(c);
    return out;
}

namespace {

struct Collation {
    std::mutex lock;
    std::string locale;
    std::unique_ptr<icu::Collator> exact;
    std::unique_ptr<icu::Collator> caseless;
};

Collation& collation()
{
    static Collation c;
    return c;
}

std::string environmentLocale()
{
    for (const char* var : { "LC_ALL", "LC_COLLATE", "LANG" }) {
        const char* v = std::getenv(var);
        if (v && *v) {
            std::string s = v;
            s = s.substr(0, s.find_first_of(".@"));
            if (s == "C" || s == "POSIX")
                return "en_US";
            return s;
        }
    }
    return "en_US";
}

void ensureCollators(Collation& c)
{
    if (c.exact)
        return;
    if (c.locale.empty())
        c.locale = environmentLocale();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale loc(c.locale.c_str());
    c.exact.reset(icu::Collator::createInstance(loc, status));
    if (U_FAILURE(status) || !c.exact) {
        status = U_ZERO_ERROR;
        c.exact.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    c.caseless.reset(c.exact->clone());
    c.exact->setStrength(icu::Collator::TERTIARY);
    c.caseless->setStrength(icu::Collator::SECONDARY);
}

} // namespace

void SetCollationLocale(const std::string& icuLocale)
{
    auto& c = collation();
    std::lock_guard g(c.lock);
    c.locale = icuLocale;
    c.exact.reset();
    c.caseless.reset();
}

std::string GetCollationLocale()
{
    auto& c = collation();
    std::lock_guard g(c.lock);
    ensureCollators(c);
    return c.locale;
}

int CompareStringLocale(StringView a, StringView b, bool ignoreCase)
{
    auto& c = collation();
    std::lock_guard g(c.lock);
    ensureCollators(c);
    UErrorCode status = U_ZERO_ERROR;
    auto* coll = ignoreCase ? c.caseless.get() : c.exact.get();
    UCollationResult r = coll->compare(reinterpret_cast<const UChar*>(a.data()), int32_t(a.size()),
                                       reinterpret_cast<const UChar*>(b.data()), int32_t(b.size()), status);
    if (U_FAILURE(status))
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    if (r == UCOL_EQUAL && !ignoreCase && a != b) {
        // Distinct texts never compare equal when case matters.
        return a.compare(b) < 0 ? -1 : 1;
    }
    return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}
