#pragma once
// The grid's filter expression language: wildcards ("*", "?"), comparisons
// (">", ">=", "<", "<=") against numbers, dates or text, negation ("!"),
// double quotes for literal text, terms joined by "&" (and) or "|", ";",
// "^" (or), evaluated strictly from left to right, with parentheses.
// Nothing is kept between calls.

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/String.h"

namespace VuzEraz {

bool MatchFilterExpression(StringView Expression, StringView Value, bool CaseSensitive);
// One term, without splitting at "&", "|", ";" and "^".
bool MatchFilterTerm(StringView Term, StringView Value, bool CaseSensitive);
// Comparisons and wildcards on prepared (already case-folded) texts.
bool MatchFilterCondition(StringView Mask, StringView Value);
// Date (field order of the short date format) with an optional time.
bool TryParseDateTime(StringView Text, TDateTime& DateTime);

// Deletes every space that does not stand inside double quotes.
String RemoveUnquotedSpaces(StringView Text);
// 1-based position of the ")" matching the "(" that Text starts with; 0 when none.
int MatchingParenPos(StringView Text);
// First character of Set outside double quotes and parentheses; 0 when none.
int FindUnquotedCharOfSet(StringView Text, StringView Set);
// First Ch outside double quotes; 0 when none.
int FindUnquotedChar(Char Ch, StringView Text);
// Locale decimal separator -> ".", locale thousand separators dropped.
String LocalNumberToInvariant(StringView Text);

} // namespace VuzEraz
