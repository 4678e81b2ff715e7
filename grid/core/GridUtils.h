#pragma once
// Stateless text, number and date helpers shared by the grid, its editors,
// its import/export code and the drop-down editors. Positions are 1-based
// (0: not found). Locale separators are read from the process format
// settings at each call.

#include <functional>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TStrings;
class TControl;

namespace VuzEraz {

// ---- locale values ----
Char TimeSeparatorChar();
Char DateSeparatorChar();
Char ThousandSeparatorChar();
Char DecimalSeparatorChar();
String ShortDateFormatText();

// ---- integers and ranges ----
int ClampInt(int Value, int Min, int Max);
inline int IntMax(int A, int B) { return A > B ? A : B; }
inline int IntMin(int A, int B) { return A < B ? A : B; }
// Value when Min = Max; otherwise raised to Min only when Min > 0, then
// lowered to Max only when Max > 0.
int LimitValue(int Value, int Min, int Max);
// Any rectangle with Left/Top/Right/Bottom cell indexes (both ends included).
template<class R>
bool CellInGridRect(const R& Rect, int Col, int Row)
{
    return Rect.Left <= Col && Col <= Rect.Right && Rect.Top <= Row && Row <= Rect.Bottom;
}

// ---- searching and counting ----
int FindSubstring(StringView Sub, StringView Text, int& Pos);
// Sub is given in upper case; Text is upper-cased by the ASCII rule.
int PosInUpper(StringView Sub, StringView Text);
int FindChar(Char Ch, StringView Text);
// Pos is written only when Ch is found.
int FindCharStore(Char Ch, StringView Text, int& Pos);
int PosWide(StringView Sub, StringView Text);
int CountCharOccurrences(Char Ch, StringView Text);
int CountCharInLine(Char Ch, bool Ignored, StringView Text);
// Occurrences outside parts quoted with " or '; when a quote is left open
// at the end every occurrence counts.
int CountUnquotedChar(Char Ch, StringView Text);
// Closing quote of a field whose opening quote is not part of Text; doubled
// quotes are escapes. 0 when none.
int FindQuoteEnd(Char QuoteChar, StringView Text, int& Pos);
// The text before the first Delimiter, cut from Text with the Delimiter;
// empty and Text unchanged when there is none.
String CutFirstToken(String& Text, StringView Delimiter);
String JoinListText(const TStrings& List);
// Every piece between Separators (and the rest) is added; a piece with a
// space is added in double quotes.
void SplitToQuotedList(StringView Separator, StringView Text, TStrings& List);

// ---- quoting and line breaks ----
String UnquoteText(StringView Text);
String DoubleQuoteChars(StringView Text);
String CollapseDoubledChar(Char Ch, StringView Text);
// CR -> 9, LF -> 8, #0 -> 1, only when the text holds a CR.
String EncodeLineBreaks(StringView Text);
// The reverse, only when the text holds #8; Whole = false keeps the first line.
String DecodeLineBreaks(StringView Text, bool Whole);
String EscapedNewlineToCR(StringView Text);
String CRToEscapedNewline(StringView Text);
void CRLFToVTQuoted(String& Text);
void VTToCRLF(String& Text);
void CRLFToLF(String& Text);
void CRLFToTilde(String& Text);
void TildeToCRLF(String& Text);
String RemoveCRChars(StringView Text);
String CRToLF(StringView Text);
String CRToBreakTags(StringView Text);
void FillChars(String& Text, Char Ch);
// Hooks of the CSV writer and reader; they change nothing.
inline String OemConvertOnSave(StringView Text) { return String(Text); }
inline String OemConvertOnLoad(StringView Text) { return String(Text); }

// ---- lines ----
// Line := text before the first CR. With KeepRest and a CR, Text keeps what
// follows it (without one LF right after); otherwise Text becomes empty.
void TakeFirstLine(String& Text, bool KeepRest, String& Line);
int CountLines(StringView Text, bool Count);
// Width of a line of text in pixels, as the caller's canvas measures it.
using TTextWidthFunc = std::function<int(const String& Line)>;
// The widest line (the first of equally wide ones); empty lines are measured too.
String WidestLine(const TTextWidthFunc& TextWidth, const String& Text);

// ---- markup, links and colours ----
// One "&#n;" per code point at or above 256.
String EncodeCharRefs(StringView Text);
bool HasURLPrefix(StringView Text);
void RemoveURLPrefix(String& Text);
bool LinkifyURL(StringView Text, StringView Prefix, String& Dest);
// 0 plain, 1 mini-HTML, 2 RTF, 3 formula, 4 URL/mail, 5 wide-encoded.
int DetectTextKind(StringView Text, bool HTMLEnabled);
// Wraps an HTML fragment into the clipboard's HTML format. The offsets count
// the bytes of the UTF-8 form the clipboard carries.
void WrapClipboardHTML(String& Text);
String ColorToHexRGB(TColor Color);
// "R<row>C<col>"; Cell.X is the column, Cell.Y the row.
bool ParseRCReference(StringView Text, TPoint& Cell);

// ---- wide-encoded cell text ----
String EncodeWideCellText(StringView WideText);
String DecodeWideCellText(StringView Text);

// ---- characters and numbers ----
bool IsDigitCode(unsigned Code);
inline bool IsDigitChar(Char Ch) { return IsDigitCode(Ch); }
bool IsDigitOrMinus(Char Ch);
bool IsFloatChar(Char Ch);
bool IsSignedFloatChar(Char Ch);
bool IsScientificChar(Char Ch);
bool IsNumericEditKey(Char Ch);
String ExtractNumberText(StringView Text);
// 0 integer, 1 float, 2 text, 3 date, 4 time, 5 scientific.
unsigned GetValueKindEx(StringView Text, Char DecimalSep, Char ThousandSep);
unsigned GetValueKind(StringView Text);
String NumberToInvariantText(StringView Text);
String InvariantToLocalNumberText(StringView Text);

// ---- dates ----
// 0 when a field does not convert; a date that does not exist raises EConvertError.
TDateTime ParseMDYDate(StringView Text);
TDateTime ParseDMYDate(StringView Text);
bool HasTwoDateSeparators(StringView Text);
// Date moved by the parts of a series step (the difference of the first two
// dates of the series: Years, Months, Days of their parts and Delta in days).
TDateTime IncDateParts(int Years, int Months, int Days, TDateTime Date, TDateTime Delta);
// The value Step steps after First of a series whose step is given as for
// IncDateParts. Every value is computed from First rather than from the
// previous value, so a day clamped in a short month comes back in the next
// long one (31 Jan, 28 Feb, 31 Mar).
TDateTime DateSeriesValue(int Years, int Months, int Days, TDateTime First, TDateTime Delta, int Step);

// ---- names and accents ----
bool IsNameSeparator(Char Ch);
String CapitalizeNames(StringView Text);
// Removes combining accents and keeps every other character.
String StripAccents(StringView Text);

// ---- platform and scaling ----
float ControlDPIScale(TControl* Control);

} // namespace VuzEraz
