#pragma once
// Class functions shared by the whole component library: text search and
// markup, JSON string escaping, Base64/hex/URL encodings, number text with a
// fixed '.', filter expressions, dates and character sets. Positions are
// 1-based, as everywhere in the library's text routines.

#include <span>
#include <vector>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/String.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"

class TStream;
class TStrings;

// Characters in insertion order, duplicates allowed; membership is exact.
using TVuzErazsCharSet = std::vector<Char>;

class TVuzErazs {
public:
    TVuzErazs() = delete;

    // ---- Text search ----
    // Position of `su` in `s` with ASCII letters compared case-insensitively; 0 when absent.
    static int IPos(StringView su, StringView s);
    // Replaces the first case-insensitive occurrence of `Srch` in `Dest`.
    static bool TagReplaceString(StringView Srch, StringView Repl, String& Dest);
    static int VarPos(StringView ASubValue, StringView AValue, int& AResult);
    static int VarPosNoCase(StringView ASubValue, StringView AValue, int& AResult);
    // The character at `Index`, or NUL outside the text.
    static Char CharInStr(StringView s, int Index);
    // Index of the first element equal to `AText` ignoring ASCII case, except
    // that entity-like names (accent words) must match exactly; -1 when none.
    static int IndexOfTextInArray(StringView AText, std::span<const String> AValues);
    static int GetMarkupIndex(StringView Markup);
    // The character of the 1-based markup pair `Value`; empty outside the table.
    static String GetSpecialChar(int Value);

    // ---- Markup ----
    static String FixMarkup(StringView su, bool SpecialChars = true);
    static String UnFixMarkup(StringView su, bool SpecialChars = true, bool SpecialCharsOnly = false);
    static bool IsHTML(StringView AValue);
    static bool IsHTMLUnicode(StringView AValue) { return IsHTML(AValue); }
    static String HTMLStrip(StringView AHTML);

    // ---- JSON string escaping ----
    static String EscapeString(StringView AValue);
    static String UnescapeString(StringView AValue);

    // ---- Base64 (RFC 4648 alphabet; AURL: "-" "_" and no padding) ----
    static String SaveStreamToBase64(TStream& AStream, bool AURL = false);
    static TBytes Decode64ToBytes(StringView AValue, bool AURL = false);
    static void LoadStreamFromBase64(StringView ABase64, TStream& AStream, bool AURL = false);

    // ---- Hexadecimal ----
    static String SaveStreamToHexStr(TStream& AStream);
    static TBytes HexStrToBytes(StringView AValue);
    static void LoadStreamFromHexStr(StringView AHexStr, TStream& AStream);

    // ---- URL encoding ----
    static String URLEncode(StringView AURL);
    static String URLDecode(StringView AURL);

    // ---- Number text with '.' as decimal and ',' as thousand separator ----
    static String FloatToStrDot(double AValue);
    static double StrToFloatDot(StringView AValue);
    static bool TryStrToFloatDot(StringView AValue, double& AResult);
    // Removes the process-wide thousand separator.
    static String StripThousandSep(StringView ps);

    // Reversible scrambling of 8-bit text.
    static String EnDeCrypt(StringView AValue);

    // ---- Character sets ----
    static TVuzErazsCharSet CreateCharSet(StringView AValue);
    static TVuzErazsCharSet NumericCharSet();
    static TVuzErazsCharSet AlphaCharSet();
    static TVuzErazsCharSet AddCharSet(const TVuzErazsCharSet& ACharSet1, const TVuzErazsCharSet& ACharSet2);
    static TVuzErazsCharSet SubCharSet(const TVuzErazsCharSet& ACharSet1, const TVuzErazsCharSet& ACharSet2);
    static bool CharInSet(Char ch, const TVuzErazsCharSet& ACharSet);
    // First character of `AValue` in the set outside double quotes; NUL and
    // spos = -1 when there is none.
    static Char FirstChar(const TVuzErazsCharSet& ACharset, StringView AValue, int& spos);
    // Position of the ")" that closes the first "("; 0 when there is none.
    static int ClosingParenthesis(StringView s1);
    static String StripLogicSpaces(StringView AValue);
    static void Split(Char ADelimiter, const String& AInput, TStrings& AStrings, bool AClearEmptyStrings = false);

    // ---- Filter expressions ----
    // The settings give the thousand separator and the date format; the
    // process-wide ones unless a caller passes its own.
    static bool MatchStrEx(StringView AValue1, StringView AValue2, bool ACaseSensitive,
        const TFormatSettings& fs = ProcessFormatSettings());
    static bool MatchStr(StringView AValue1, StringView AValue2, bool ACaseSensitive,
        const TFormatSettings& fs = ProcessFormatSettings());
    static bool Matches(StringView s0a, StringView s1a, const TFormatSettings& fs = ProcessFormatSettings());
    static bool Matches(const Char* s0a, const Char* s1a, const TFormatSettings& fs = ProcessFormatSettings());
    // A date in the order of the short date format, optionally followed by a
    // blank and a time.
    static bool IsDate(StringView AValue, TDateTime& ADate, const TFormatSettings& fs = ProcessFormatSettings());
};
