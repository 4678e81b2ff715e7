#include "platform/rtl/Base64.h"

#include "platform/rtl/Exceptions.h"

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return int(c - U'A');
    if (c >= U'a' && c <= U'z')
        return int(c - U'a') + 26;
    if (c >= U'0' && c <= U'9')
        return int(c - U'0') + 52;
    if (c == U'+')
        return 62;
    if (c == U'/')
        return 63;
    return -1;
}

[[noreturn]] void InvalidBase64()
{
    throw EConvertError(u"Invalid Base64 text");
}

template <typename Text>
TBytes DecodeTolerant(const Text& text)
{
    TBytes out;
    out.reserve(text.size() / 4 * 3);
    unsigned buffer = 0;
    int bits = 0;
    for (auto c : text) {
        const int v = DigitValue(char32_t(std::make_unsigned_t<decltype(c)>(c)));
        if (v < 0)
            continue;
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(std::uint8_t((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

} // namespace

std::string Base64Encode(const std::uint8_t* bytes, std::size_t size, bool url)
{
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const unsigned v = (unsigned(bytes[i]) << 16) | (unsigned(bytes[i + 1]) << 8) | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            out += Alphabet[(v >> shift) & 63];
    }
    const std::size_t rest = size - i;
    if (rest) {
        unsigned v = unsigned(bytes[i]) << 16;
        if (rest == 2)
            v |= unsigned(bytes[i + 1]) << 8;
        out += Alphabet[(v >> 18) & 63];
        out += Alphabet[(v >> 12) & 63];
        out += rest == 2 ? Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    if (url) {
        std::string shortened;
        shortened.reserve(out.size());
        for (char c : out) {
            if (c == '+')
                shortened += '-';
            else if (c == '/')
                shortened += '_';
            else if (c != '=')
                shortened += c;
        }
        return shortened;
    }
    return out;
}

TBytes Base64Decode(StringView value, bool url)
{
    TBytes out;
    if (value.empty())
        return out;
    String text;
    text.reserve(value.size() + 3);
    for (Char c : value) {
        if (c == u' ' || c == u'\r' || c == u'\n' || c == u'\t')
            continue;
        if (url && c == u'-')
            c = u'+';
        else if (url && c == u'_')
            c = u'/';
        text += c;
    }
    if (url)
        while (text.size() % 4)
            text += u'=';
    if (text.size() % 4)
        InvalidBase64();
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const Char c = text[i + std::size_t(k)];
            if (c == u'=') {
                // Padding only at the end of the last group, never in its first two places.
                if (k < 2 || i + 4 != text.size())
                    InvalidBase64();
                v[k] = 0;
                ++pad;
            } else {
                if (pad)
                    InvalidBase64();
                v[k] = DigitValue(c);
                if (v[k] < 0)
                    InvalidBase64();
            }
        }
        const unsigned n = (unsigned(v[0]) << 18) | (unsigned(v[1]) << 12) | (unsigned(v[2]) << 6) | unsigned(v[3]);
        out.push_back(std::uint8_t(n >> 16));
        if (pad < 2)
            out.push_back(std::uint8_t(n >> 8));
        if (pad < 1)
            out.push_back(std::uint8_t(n));
    }
    return out;
}

TBytes Base64DecodeTolerant(std::string_view text) { return DecodeTolerant(text); }
TBytes Base64DecodeTolerant(StringView text) { return DecodeTolerant(text); }
