#include "grid/core/GridUtils.h"

#include <algorithm>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>

#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

namespace VuzEraz {

namespace {

constexpr Char CR = u'\r';
constexpr Char LF = u'\n';

int Find(StringView sub, StringView text)
{
    if (sub.empty())
        return 0;
    std::size_t p = text.find(sub);
    return p == StringView::npos ? 0 : int(p) + 1;
}

String ReplaceAll(StringView text, StringView from, StringView to)
{
    String r;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!from.empty() && text.substr(i, from.size()) == from) {
            r += to;
            i += from.size();
        } else
            r += text[i++];
    }
    return r;
}

String UpperUnits(StringView s)
{
    String r(s);
    for (Char& c : r)
        c = CharUpper(c);
    return r;
}

String Quote(StringView s)
{
    String r;
    r.reserve(s.size() + 2);
    r += u'"';
    r += s;
    r += u'"';
    return r;
}

Word ClampWord(int v) { return Word(std::clamp(v, 0, 65535)); }

} // namespace

Char TimeSeparatorChar() { return FormatSettings.TimeSeparator; }
Char DateSeparatorChar() { return FormatSettings.DateSeparator; }
Char ThousandSeparatorChar() { return FormatSettings.ThousandSeparator; }
Char DecimalSeparatorChar() { return FormatSettings.DecimalSeparator; }
String ShortDateFormatText() { return FormatSettings.ShortDateFormat; }

// ---- integers and ranges ----

int ClampInt(int Value, int Min, int Max)
{
    if (Value > Max)
        return Max;
    if (Value < Min)
        return Min;
    return Value;
}

int LimitValue(int Value, int Min, int Max)
{
    if (Min == Max)
        return Value;
    if (Min > 0 && Value < Min)
        Value = Min;
    if (Max > 0 && Value > Max)
        Value = Max;
    return Value;
}

// ---- searching and counting ----

int FindSubstring(StringView Sub, StringView Text, int& Pos)
{
    Pos = Find(Sub, Text);
    return Pos;
}

int PosInUpper(StringView Sub, StringView Text) { return Find(Sub, UpperCase(Text)); }

int FindChar(Char Ch, StringView Text)
{
    std::size_t p = Text.find(Ch);
    return p == StringView::npos ? 0 : int(p) + 1;
}

int FindCharStore(Char Ch, StringView Text, int& Pos)
{
    int p = FindChar(Ch, Text);
    if (p > 0)
        Pos = p;
    return p;
}

int PosWide(StringView Sub, StringView Text) { return Find(Sub, Text); }

int CountCharOccurrences(Char Ch, StringView Text) { return int(std::count(Text.begin(), Text.end(), Ch)); }

int CountCharInLine(Char Ch, bool, StringView Text) { return CountCharOccurrences(Ch, Text); }

int CountUnquotedChar(Char Ch, StringView Text)
{
    int outside = 0;
    Char open = 0;
    for (Char c : Text) {
        if (open) {
            if (c == open)
                open = 0;
        } else if (c == u'"' || c == u'\'')
            open = c;
        else if (c == Ch)
            ++outside;
    }
    return open ? CountCharOccurrences(Ch, Text) : outside;
}

int FindQuoteEnd(Char QuoteChar, StringView Text, int& Pos)
{
    Pos = 0;
    std::size_t i = 0;
    const std::size_t n = Text.size();
    while (i < n) {
        if (Text[i] != QuoteChar) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && Text[j] == QuoteChar)
            ++j;
        if (j == n || (j - i) % 2 == 1) {
            Pos = int(j);
            break;
        }
        i = j;
    }
    return Pos;
}

String CutFirstToken(String& Text, StringView Delimiter)
{
    if (Delimiter.empty())
        return {};
    std::size_t p = Text.find(Delimiter);
    if (p == String::npos)
        return {};
    String token = Text.substr(0, p);
    Text.erase(0, p + Delimiter.size());
    return token;
}

String JoinListText(const TStrings& List)
{
    String r;
    for (int i = 0; i < List.GetCount(); ++i)
        r += List[i];
    return r;
}

void SplitToQuotedList(StringView Separator, StringView Text, TStrings& List)
{
    auto addPiece = [&](StringView piece) {
        if (piece.find(u' ') != StringView::npos)
            List.Add(Quote(piece));
        else
            List.Add(String(piece));
    };
    std::size_t start = 0;
    if (!Separator.empty())
        for (std::size_t p; (p = Text.find(Separator, start)) != StringView::npos; start = p + Separator.size())
            addPiece(Text.substr(start, p - start));
    addPiece(Text.substr(start));
}

// ---- quoting and line breaks ----

String UnquoteText(StringView Text)
{
    if (Text.size() > 2 && Text.front() == u'"' && Text.back() == u'"')
        return String(Text.substr(1, Text.size() - 2));
    return String(Text);
}

String DoubleQuoteChars(StringView Text) { return ReplaceAll(Text, u"\"", u"\"\""); }

String CollapseDoubledChar(Char Ch, StringView Text)
{
    String r;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        r += Text[i];
        if (Text[i] == Ch && i + 1 < Text.size() && Text[i + 1] == Ch)
            ++i;
    }
    return r;
}

String EncodeLineBreaks(StringView Text)
{
    String r(Text);
    if (Text.find(CR) == StringView::npos)
        return r;
    for (Char& c : r) {
        if (c == CR)
            c = 9;
        else if (c == LF)
            c = 8;
        else if (c == 0)
            c = 1;
    }
    return r;
}

String DecodeLineBreaks(StringView Text, bool Whole)
{
    String r(Text);
    if (Text.find(Char(8)) != StringView::npos)
        for (Char& c : r) {
            if (c == 9)
                c = CR;
            else if (c == 8)
                c = LF;
            else if (c == 1)
                c = 0;
        }
    if (Whole)
        return r;
    String line;
    TakeFirstLine(r, false, line);
    return line;
}

String EscapedNewlineToCR(StringView Text) { return ReplaceAll(Text, u"\\n", u"\r"); }

String CRToEscapedNewline(StringView Text)
{
    String r;
    for (Char c : Text) {
        if (c == CR)
            r += u"\\n";
        else if (c != LF)
            r += c;
    }
    return r;
}

void CRLFToVTQuoted(String& Text) { Text = Quote(ReplaceAll(Text, u"\r\n", u"\v")); }

void VTToCRLF(String& Text) { Text = ReplaceAll(Text, u"\v", u"\r\n"); }

void CRLFToLF(String& Text) { Text = ReplaceAll(Text, u"\r\n", u"\n"); }

void CRLFToTilde(String& Text)
{
    String r;
    for (Char c : Text) {
        if (c == CR)
            r += u'~';
        else if (c != LF)
            r += c;
    }
    Text = r;
}

void TildeToCRLF(String& Text)
{
    Text = ReplaceAll(Text, u"~", u"\r\n");
    if (Text == u"^")
        Text.clear();
}

String RemoveCRChars(StringView Text)
{
    String r;
    for (Char c : Text)
        if (c != CR)
            r += c;
    return r;
}

String CRToLF(StringView Text)
{
    String r(Text);
    std::replace(r.begin(), r.end(), CR, LF);
    return r;
}

String CRToBreakTags(StringView Text) { return ReplaceAll(Text, u"\r", u"<br>"); }

void FillChars(String& Text, Char Ch) { std::fill(Text.begin(), Text.end(), Ch); }

// ---- lines ----

void TakeFirstLine(String& Text, bool KeepRest, String& Line)
{
    std::size_t p = Text.find(CR);
    if (p == String::npos) {
        Line = Text;
        Text.clear();
        return;
    }
    Line = Text.substr(0, p);
    if (!KeepRest) {
        Text.clear();
        return;
    }
    std::size_t rest = p + 1;
    if (rest < Text.size() && Text[rest] == LF)
        ++rest;
    Text.erase(0, rest);
}

int CountLines(StringView Text, bool Count)
{
    if (!Count)
        return 1;
    int lines = 1;
    std::size_t i = 0;
    while (i < Text.size()) {
        if (Text[i] == CR) {
            i += 2;
            if (i < Text.size())
                ++lines;
        } else
            ++i;
    }
    return lines;
}

String WidestLine(const TTextWidthFunc& TextWidth, const String& Text)
{
    String rest = Text;
    String widest, line;
    int best = -1;
    do {
        TakeFirstLine(rest, true, line);
        int w = TextWidth(line);
        if (w > best) {
            best = w;
            widest = line;
        }
    } while (!rest.empty());
    return widest;
}

// ---- markup, links and colours ----

String EncodeCharRefs(StringView Text)
{
    String r;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        unsigned cp = Text[i];
        if (IsHighSurrogate(Char(cp)) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp >= 256)
            r += u"&#" + IntToStr(cp) + u";";
        else
            r += Char(cp);
    }
    return r;
}

bool HasURLPrefix(StringView Text)
{
    return Text.find(u"://") != StringView::npos || Text.find(u"mailto:") != StringView::npos;
}

void RemoveURLPrefix(String& Text)
{
    std::size_t p = Text.find(u"://");
    if (p != String::npos) {
        Text.erase(0, p + 3);
        return;
    }
    p = Text.find(u"mailto:");
    if (p != String::npos)
        Text.erase(0, p + 7);
}

namespace {

bool IsLinkChar(Char c)
{
    if (c > 255)
        return false;
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return true;
    return StringView(u"!%&()-./:=?\\_{}@").find(c) != StringView::npos;
}

} // namespace

bool LinkifyURL(StringView Text, StringView Prefix, String& Dest)
{
    const String prefix = UpperUnits(Prefix);
    if (Find(prefix, UpperUnits(Text)) == 0)
        return false;
    String d = ReplaceAll(ReplaceAll(Text, u"<", u"&lt;"), u">", u"&gt;");
    int at = Find(prefix, UpperUnits(d));
    if (at == 0) {
        // The prefix itself held a bracket; nothing to link in the escaped text.
        Dest = d;
        return true;
    }
    std::size_t start = std::size_t(at - 1);
    std::size_t end = start;
    while (end < d.size() && IsLinkChar(d[end]))
        ++end;
    String link = d.substr(start, end - start);
    Dest = d.substr(0, start) + u"<a href=\"" + link + u"\">" + link + u"</a>" + d.substr(end);
    return true;
}

int DetectTextKind(StringView Text, bool HTMLEnabled)
{
    if (Text.empty())
        return 0;
    const String t = String(Text) + u" ";
    if (t[0] == u'=' && t.find(u"</") == String::npos)
        return 3;
    if (t.starts_with(u"|\\"))
        return (t.size() >= 5 && t[3] == u'=' && t[4] == 0) ? 3 : 5;
    if (t.starts_with(u"{\\"))
        return 2;
    if (HTMLEnabled) {
        static constexpr StringView pairs[] = { u"IM", u"IN", u"BR", u"HR", u"CO" };
        for (std::size_t i = 0; i + 2 < t.size(); ++i) {
            if (t[i] != u'<')
                continue;
            if (t[i + 1] == u'/')
                return 1;
            const Char two[2] = { CharUpper(t[i + 1]), CharUpper(t[i + 2]) };
            for (StringView p : pairs)
                if (p == StringView(two, 2))
                    return 1;
        }
    }
    return HasURLPrefix(t) ? 4 : 0;
}

void WrapClipboardHTML(String& Text)
{
    static constexpr StringView doctype = u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    static constexpr StringView head =
        u"<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body><!--StartFragment-->";
    static constexpr StringView tail = u"<!--EndFragment--></body></html>";
    auto number = [](StringView label, std::size_t value) {
        String digits = IntToStr(Int64(value));
        if (digits.size() < 8)
            digits.insert(0, 8 - digits.size(), u'0');
        return String(label) + digits + u"\r\n";
    };
    auto header = [&](std::size_t startHTML, std::size_t endHTML, std::size_t startFragment, std::size_t endFragment) {
        return u"Version:1.0\r\n" + number(u"StartHTML:", startHTML) + number(u"EndHTML:", endHTML)
            + number(u"StartFragment:", startFragment) + number(u"EndFragment:", endFragment);
    };
    // The header is ASCII and its length does not depend on the numbers.
    const std::size_t headerLength = header(0, 0, 0, 0).size();
    const std::size_t startFragment = headerLength + doctype.size() + head.size();
    const std::size_t endFragment = startFragment + StringToUtf8(Text).size();
    const String h = header(headerLength, endFragment + tail.size(), startFragment, endFragment);
    Text = h + String(doctype) + String(head) + Text + String(tail);
}

String ColorToHexRGB(TColor Color)
{
    static constexpr char16_t hex[] = u"0123456789ABCDEF";
    const unsigned c = unsigned(Color);
    String r;
    for (int shift : { 0, 8, 16 }) {
        unsigned byte = (c >> shift) & 0xFF;
        r += hex[byte >> 4];
        r += hex[byte & 15];
    }
    return r;
}

bool ParseRCReference(StringView Text, TPoint& Cell)
{
    const String t = UpperUnits(Text);
    if (t.size() <= 3 || t[0] != u'R')
        return false;
    std::size_t c = t.find(u'C', 1);
    if (c == String::npos)
        return false;
    int row, col;
    if (!ReadDigitField(StringView(t).substr(1, c - 1), row) || !ReadDigitField(StringView(t).substr(c + 1), col))
        return false;
    Cell = TPoint(col, row);
    return true;
}

// ---- wide-encoded cell text ----

String EncodeWideCellText(StringView WideText)
{
    String r = u"|\\";
    r.reserve(2 + 2 * WideText.size());
    for (Char c : WideText) {
        r += Char(c >> 8);
        r += Char(c & 0xFF);
    }
    return r;
}

String DecodeWideCellText(StringView Text)
{
    if (!Text.starts_with(u"|\\"))
        return String(Text);
    String r;
    for (std::size_t i = 2; i + 1 < Text.size(); i += 2)
        r += Char(((Text[i] & 0xFF) << 8) | (Text[i + 1] & 0xFF));
    return r;
}

// ---- characters and numbers ----

bool IsDigitCode(unsigned Code)
{
    if (Code >= u'0' && Code <= u'9')
        return true;
    if (Code <= 127)
        return false;
    const auto type = u_charType(UChar32(Code));
    return type == U_DECIMAL_DIGIT_NUMBER || type == U_LETTER_NUMBER || type == U_OTHER_NUMBER;
}

bool IsDigitOrMinus(Char Ch) { return IsDigitChar(Ch) || Ch == u'-'; }

bool IsFloatChar(Char Ch)
{
    return IsDigitChar(Ch) || Ch == ThousandSeparatorChar() || Ch == DecimalSeparatorChar() || Ch == u'e' || Ch == u'E';
}

bool IsSignedFloatChar(Char Ch) { return IsFloatChar(Ch) || Ch == u'+' || Ch == u'-'; }

bool IsScientificChar(Char Ch)
{
    return IsDigitChar(Ch) || Ch == u'+' || Ch == u'-' || Ch == u'.' || Ch == u'E' || Ch == u'e';
}

bool IsNumericEditKey(Char Ch)
{
    return IsDigitChar(Ch) || Ch == ThousandSeparatorChar() || Ch == DecimalSeparatorChar() || Ch == 8 || Ch == 9 || Ch == 13
        || Ch == 27 || Ch == u'-';
}

String ExtractNumberText(StringView Text)
{
    if (Text.empty())
        return {};
    bool negative = Text.front() == u'(' && Text.back() == u')';
    std::size_t start = 0;
    while (Text.size() - start >= 2 && !IsFloatChar(Text[start])) {
        if (Text[start] == u'-')
            negative = true;
        ++start;
    }
    const Char thousand = ThousandSeparatorChar();
    const Char decimal = DecimalSeparatorChar();
    String r;
    for (std::size_t i = start; i < Text.size(); ++i) {
        Char c = Text[i];
        if (c == thousand)
            continue;
        if (c == decimal)
            r += u'.';
        else if (IsScientificChar(c))
            r += c;
        else
            break;
    }
    return negative ? u"-" + r : r;
}

unsigned GetValueKindEx(StringView Text, Char DecimalSep, Char ThousandSep)
{
    if (Text.empty())
        return 2;
    const Char dateSep = DateSeparatorChar();
    const Char timeSep = TimeSeparatorChar();
    bool isInt = true, isFloat = true, isSci = true, hasExp = false;
    bool isDate = IsDigitChar(Text[0]), isTime = IsDigitChar(Text[0]);
    bool hasDigit = false;
    int dateSeps = 0, timeSeps = 0, minus = 0, decimals = 0, exps = 0;
    std::size_t lastThousand = 0;  // 1-based, 0: none yet
    for (std::size_t k = 1; k <= Text.size(); ++k) {
        const Char c = Text[k - 1];
        const bool digit = IsDigitChar(c);
        hasDigit |= digit;
        if (c == u'-')
            ++minus;
        if (c == DecimalSep)
            ++decimals;
        if (!(digit || (c == u'-' && k == 1)))
            isInt = false;
        if (!digit && !(c == u'-' && k == 1) && c != ThousandSep && c != DecimalSep)
            isFloat = false;
        if (c == ThousandSep) {
            if (lastThousand && k - lastThousand <= 3)
                isFloat = false;
            lastThousand = k;
        }
        if (!IsSignedFloatChar(c) || c == ThousandSep)
            isSci = false;
        if (c == u'e' || c == u'E') {
            hasExp = true;
            ++exps;
            if (k == 1)
                isSci = false;
        }
        if (c == dateSep) {
            if (k > 1 && Text[k - 2] == dateSep)
                isDate = false;
            ++dateSeps;
        } else if (!digit)
            isDate = false;
        if (c == timeSep) {
            if (k > 1 && Text[k - 2] == timeSep)
                isTime = false;
            ++timeSeps;
        } else if (!digit)
            isTime = false;
        // Nothing read further can make it a number, date or time any more
        // (most texts: at their first letter).
        if (!isInt && !isFloat && !isSci && !isDate && !isTime)
            return 2;
    }
    const Char last = Text.back();
    if (exps > 1 || last == u'+' || last == u'-' || last == u'e' || last == u'E')
        isSci = false;
    // A text without any digit ("-", ",") is not a number.
    if (!hasDigit)
        isInt = isFloat = false;
    isDate = isDate && dateSeps >= 1 && dateSeps <= 2;
    isTime = isTime && timeSeps >= 1 && timeSeps <= 2;

    unsigned kind = isInt ? 0 : (isFloat && !hasExp ? 1 : 2);
    if (isSci && hasExp)
        kind = 5;
    if (isTime)
        return 4;
    if (isDate && dateSeps == 2)
        return 3;
    if ((minus > 1 && kind != 5) || decimals > 1)
        return 2;
    return kind;
}

unsigned GetValueKind(StringView Text) { return GetValueKindEx(Text, DecimalSeparatorChar(), ThousandSeparatorChar()); }

String NumberToInvariantText(StringView Text)
{
    const unsigned kind = GetValueKind(Text);
    if (kind != 0 && kind != 1)
        return String(Text);
    const Char thousand = ThousandSeparatorChar();
    const Char decimal = DecimalSeparatorChar();
    String r;
    for (Char c : Text) {
        if (c == thousand)
            continue;
        r += c == decimal ? u'.' : c;
    }
    return r;
}

String InvariantToLocalNumberText(StringView Text)
{
    const unsigned kind = GetValueKindEx(Text, u'.', u',');
    const Char decimal = DecimalSeparatorChar();
    String r(Text);
    if ((kind == 0 || kind == 1) && decimal != u'.')
        std::replace(r.begin(), r.end(), u'.', decimal);
    return r;
}

// ---- dates ----

namespace {

// Fields in the order of the text; dayFirst tells D/M/Y from M/D/Y.
TDateTime ParseThreeFieldDate(StringView Text, bool dayFirst)
{
    Char sep = 0;
    for (Char c : { u'/', u'.', u'-' })
        if (Text.find(c) != StringView::npos) {
            sep = c;
            break;
        }
    if (!sep)
        return 0;
    std::size_t p1 = Text.find(sep);
    std::size_t p2 = Text.find(sep, p1 + 1);
    if (p2 == StringView::npos)
        return 0;
    int a, b, year;
    if (!ReadDigitField(Text.substr(0, p1), a) || !ReadDigitField(Text.substr(p1 + 1, p2 - p1 - 1), b)
        || !ReadDigitField(Text.substr(p2 + 1), year))
        return 0;
    if (year < 26)
        year += 2000;
    else if (year < 100)
        year += 1900;
    const int day = dayFirst ? a : b;
    const int month = dayFirst ? b : a;
    return EncodeDate(ClampWord(year), ClampWord(month), ClampWord(day));
}

} // namespace

TDateTime ParseMDYDate(StringView Text) { return ParseThreeFieldDate(Text, false); }
TDateTime ParseDMYDate(StringView Text) { return ParseThreeFieldDate(Text, true); }

bool HasTwoDateSeparators(StringView Text)
{
    const Char sep = DateSeparatorChar();
    std::size_t p = Text.find(sep);
    if (p == StringView::npos || p < 1)
        return false;
    return Text.find(sep, p + 2) != StringView::npos;
}

TDateTime IncDateParts(int Years, int Months, int Days, TDateTime Date, TDateTime Delta)
{
    if (Days == 0 && (Years != 0 || Months != 0)) {
        // Same day of the month: step whole months (also across a year end),
        // the day clamped to the target month's length.
        const Int64 months = std::clamp<Int64>(Int64(Years) * 12 + Months, -200000, 200000);
        return IncMonth(Date, Integer(months));
    }
    if (Years == 0 && Months == 0 && Days != 0)
        return Date + Days;
    return Date + Delta;
}

TDateTime DateSeriesValue(int Years, int Months, int Days, TDateTime First, TDateTime Delta, int Step)
{
    auto times = [Step](int v) { return int(std::clamp<Int64>(Int64(v) * Step, INT32_MIN, INT32_MAX)); };
    return IncDateParts(times(Years), times(Months), times(Days), First, Delta * Step);
}

// ---- names and accents ----

bool IsNameSeparator(Char Ch) { return Ch == u' ' || Ch == u'\'' || Ch == u',' || Ch == u'-' || Ch == u'.'; }

String CapitalizeNames(StringView Text)
{
    // Only a " Mc" already capitalised in the input counts; a leading "Mc"
    // counts as the result has it.
    const int mcPos = Find(u" Mc", Text);  // the "c" is at mcPos + 2
    const std::size_t n = Text.size();
    String r;
    r.reserve(n);
    bool startOfWord = true;
    for (std::size_t i = 0; i < n; ++i) {
        const Char c = Text[i];
        if (IsNameSeparator(c)) {
            startOfWord = true;
            r += c;
        } else if (startOfWord) {
            r += CharUpper(c);
            startOfWord = false;
        } else
            r += CharLower(c);
        const std::size_t pos = i + 1;  // 1-based
        if (r == u"Mc")
            startOfWord = true;
        else if (mcPos > 0 && pos == std::size_t(mcPos) + 2 && pos > 2)
            startOfWord = true;
        else if (pos + 3 > n) {
            const StringView done(r);
            if (done.ends_with(u" I") || done.ends_with(u" II"))
                startOfWord = true;
        }
    }
    return r;
}

String StripAccents(StringView Text)
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    if (U_FAILURE(status) || Text.empty())
        return String(Text);
    const int32_t capacity = int32_t(std::min<std::size_t>(Text.size() * 4 + 16, INT32_MAX));
    String decomposed(std::size_t(capacity), u'\0');
    int32_t length = unorm2_normalize(nfd, Text.data(), int32_t(Text.size()), decomposed.data(), capacity, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        decomposed.assign(std::size_t(length), u'\0');
        length = unorm2_normalize(nfd, Text.data(), int32_t(Text.size()), decomposed.data(), length, &status);
    }
    if (U_FAILURE(status))
        return String(Text);
    decomposed.resize(std::size_t(length));
    String r;
    r.reserve(decomposed.size());
    for (std::size_t i = 0; i < decomposed.size(); ++i) {
        UChar32 cp = decomposed[i];
        std::size_t units = 1;
        if (IsHighSurrogate(Char(cp)) && i + 1 < decomposed.size() && IsLowSurrogate(decomposed[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (decomposed[i + 1] - 0xDC00);
            units = 2;
        }
        if (u_charType(cp) != U_NON_SPACING_MARK)
            r.append(decomposed, i, units);
        i += units - 1;
    }
    return r;
}

} // namespace VuzEraz
