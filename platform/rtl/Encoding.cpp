#include "platform/rtl/Encoding.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

namespace {

TBytes toBytes(const std::string& s) { return TBytes(s.begin(), s.end()); }
std::string_view asChars(const std::uint8_t* data, std::size_t size)
{
    return { reinterpret_cast<const char*>(data), size };
}

class AnsiEncoding final : public TEncoding {
public:
    TBytes GetPreamble() const override { return {}; }
    String EncodingName() const override { return u"ANSI"; }
    int CodePage() const override { return 0; }

protected:
    TBytes Encode(StringView s) const override { return toBytes(StringToAnsi(s)); }
    String Decode(const std::uint8_t* d, std::size_t n) const override { return AnsiToString(asChars(d, n)); }
};

class AsciiEncoding final : public TEncoding {
public:
    TBytes GetPreamble() const override { return {}; }
    String EncodingName() const override { return u"us-ascii"; }
    int CodePage() const override { return 20127; }

protected:
    TBytes Encode(StringView s) const override { return toBytes(StringToAscii(s)); }
    String Decode(const std::uint8_t* d, std::size_t n) const override { return AsciiToString(asChars(d, n)); }
};

class Utf8Encoding final : public TEncoding {
public:
    TBytes GetPreamble() const override { return { 0xEF, 0xBB, 0xBF }; }
    String EncodingName() const override { return u"utf-8"; }
    int CodePage() const override { return 65001; }

protected:
    TBytes Encode(StringView s) const override { return toBytes(StringToUtf8(s)); }
    String Decode(const std::uint8_t* d, std::size_t n) const override { return Utf8ToString(d, n); }
};

class Utf16Encoding final : public TEncoding {
public:
    explicit Utf16Encoding(bool bigEndian) : m_bigEndian(bigEndian) { }
    TBytes GetPreamble() const override
    {
        return m_bigEndian ? TBytes { 0xFE, 0xFF } : TBytes { 0xFF, 0xFE };
    }
    String EncodingName() const override { return m_bigEndian ? u"unicodeFFFE" : u"utf-16"; }
    int CodePage() const override { return m_bigEndian ? 1201 : 1200; }

protected:
    TBytes Encode(StringView s) const override
    {
        TBytes out;
        out.reserve(s.size() * 2);
        for (Char c : s) {
            std::uint8_t lo = std::uint8_t(c & 0xFF), hi = std::uint8_t(c >> 8);
            out.push_back(m_bigEndian ? hi : lo);
            out.push_back(m_bigEndian ? lo : hi);
        }
        return out;
    }
    String Decode(const std::uint8_t* d, std::size_t n) const override
    {
        String out;
        out.reserve(n / 2 + 1);
        for (std::size_t i = 0; i + 1 < n; i += 2)
            out.push_back(m_bigEndian ? Char((d[i] << 8) | d[i + 1]) : Char(d[i] | (d[i + 1] << 8)));
        // A dangling half unit cannot be a character; keep a visible trace of it.
        if (n % 2)
            out.push_back(ReplacementChar);
        return out;
    }

private:
    bool m_bigEndian;
};

AnsiEncoding g_ansi;
AsciiEncoding g_ascii;
Utf8Encoding g_utf8;
Utf16Encoding g_unicode { false };
Utf16Encoding g_bigEndian { true };

bool startsWith(const TBytes& bytes, const TBytes& prefix)
{
    return !prefix.empty() && bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

TEncoding* TEncoding::ANSI() { return &g_ansi; }
TEncoding* TEncoding::ASCII() { return &g_ascii; }
TEncoding* TEncoding::UTF8() { return &g_utf8; }
TEncoding* TEncoding::Unicode() { return &g_unicode; }
TEncoding* TEncoding::BigEndianUnicode() { return &g_bigEndian; }

bool TEncoding::IsStandardEncoding(const TEncoding* e)
{
    return e == &g_ansi || e == &g_ascii || e == &g_utf8 || e == &g_unicode || e == &g_bigEndian;
}

int TEncoding::GetBufferEncoding(const TBytes& bytes, TEncoding*& encoding, TEncoding* defaultEncoding)
{
    if (encoding) {
        TBytes preamble = encoding->GetPreamble();
        return startsWith(bytes, preamble) ? int(preamble.size()) : 0;
    }
    for (TEncoding* candidate : { UTF8(), Unicode(), BigEndianUnicode() }) {
        TBytes preamble = candidate->GetPreamble();
        if (startsWith(bytes, preamble)) {
            encoding = candidate;
            return int(preamble.size());
        }
    }
    encoding = defaultEncoding ? defaultEncoding : Default();
    return 0;
}

TBytes TEncoding::GetBytes(StringView s) const { return Encode(s); }

String TEncoding::GetString(const TBytes& bytes, std::size_t index, std::size_t count) const
{
    if (index > bytes.size() || count > bytes.size() - index)
        throw EEncodingError(u"Invalid byte range for the encoding");
    return Decode(bytes.data() + index, count);
}

TBytes TEncoding::Convert(const TEncoding* source, const TEncoding* destination, const TBytes& bytes)
{
    return destination->GetBytes(source->GetString(bytes));
}
