#pragma once
// Text as the rest of the system sees it: UTF-16 code units, plus the
// conversions to the byte encodings the outside world uses.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Char = char16_t;
using WideChar = char16_t;
using String = std::u16string;
using UnicodeString = std::u16string;
using WideString = std::u16string;
using StringView = std::u16string_view;
// Byte strings: on Linux the "ANSI code page" is UTF-8.
using AnsiString = std::string;
using UTF8String = std::string;
using RawByteString = std::string;
using AnsiChar = char;
using TBytes = std::vector<std::uint8_t>;

constexpr Char ReplacementChar = 0xFFFD;

// UTF-8 to UTF-16. Invalid or truncated sequences, overlong forms and encoded
// surrogates each become U+FFFD; nothing is dropped silently and nothing throws.
String Utf8ToString(std::string_view utf8);
String Utf8ToString(const std::uint8_t* data, std::size_t size);
// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string StringToUtf8(StringView s);
// The same, appended to `out` (no buffer of its own for many short texts).
void AppendStringUtf8(std::string& out, StringView s);
// The UTF-8 sequence at the start of `data` (size > 0): true with its code
// point when it is valid; `length` is the bytes it spans either way (for an
// invalid one, the bytes Utf8ToString turns into one U+FFFD).
bool DecodeUtf8Char(const std::uint8_t* data, std::size_t size, char32_t& cp, std::size_t& length);

// Latin-1 (ISO 8859-1): every byte is the code point of the same value.
String Latin1ToString(std::string_view bytes);
// Characters above U+00FF become `replacement`.
std::string StringToLatin1(StringView s, char replacement = '?');
// US-ASCII: bytes above 0x7F become U+FFFD; characters above 0x7F become `replacement`.
String AsciiToString(std::string_view bytes);
std::string StringToAscii(StringView s, char replacement = '?');

// The system ANSI code page (UTF-8 here).
inline String AnsiToString(std::string_view bytes) { return Utf8ToString(bytes); }
inline std::string StringToAnsi(StringView s) { return StringToUtf8(s); }

// Shorthand for literals and std::string interop in code and tests.
inline String S(std::string_view utf8) { return Utf8ToString(utf8); }

// Code points <-> units.
inline bool IsHighSurrogate(Char c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(Char c) { return c >= 0xDC00 && c <= 0xDFFF; }
inline bool IsSurrogate(Char c) { return c >= 0xD800 && c <= 0xDFFF; }
void AppendCodePoint(String& s, char32_t cp);

// Case mapping one UTF-16 unit to one unit, so offsets never move; a unit
// whose mapping would need more units (or a surrogate) is left as it is.
Char CharUpper(Char c);
Char CharLower(Char c);
String StrUpper(StringView s);
String StrLower(StringView s);
// ASCII-only case mapping.
inline Char AsciiUpper(Char c) { return (c >= u'a' && c <= u'z') ? Char(c - 32) : c; }
inline Char AsciiLower(Char c) { return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c; }
// The value of a hexadecimal digit, or -1 for any other character.
inline int HexDigitValue(Char c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}
// A field of one to nine decimal digits, nothing else (no sign or blanks),
// so its value always fits an int.
bool ReadDigitField(StringView s, int& value);

// Locale-aware comparison through the ICU collator of the current collation
// locale. Results are <0, 0, >0.
int CompareStringLocale(StringView a, StringView b, bool ignoreCase);
// The collation locale: taken from the environment (LC_ALL, LC_COLLATE, LANG)
// at first use; tests fix it with SetCollationLocale("en_US").
void SetCollationLocale(const std::string& icuLocale);
std::string GetCollationLocale();
