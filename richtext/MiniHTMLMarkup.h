#pragma once
// The pieces of the mini-HTML engine that work on text alone: the entity and
// colour tables, text preparation and attribute reading. Used by the layout
// engine and by the text utilities.

#include <span>

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

namespace VovHTMLE {

struct THTMLEntity {
    const char16_t* Name;
    Char Character;
};

// All 86 rows; rows 0-2 name ampersand, less-than and greater-than without
// their leading ampersand and are applied by no routine.
std::span<const THTMLEntity> HTMLEntityTable();
// Rows 3 to 85, in the order in which they are applied.
std::span<const THTMLEntity> WorkingEntities();

// The index of sub in s from `from` on, comparing letters without case; npos when absent.
std::size_t FindNoCase(StringView s, StringView sub, std::size_t from = 0);
// Replaces the first occurrence of `name` (any case); false when there is none.
bool ReplaceFirstNoCase(String& s, StringView name, StringView with);
// Every occurrence of `what` (any case) becomes `with`.
String ReplaceAllNoCase(StringView s, StringView what, StringView with);
// Every occurrence of `what` (exact case) becomes `with`.
String ReplaceAll(StringView s, StringView what, StringView with);
// While `name` occurs in its exact case, its first occurrence in any case
// becomes `with`.
void ReplaceWhileExact(String& s, StringView name, StringView with);
// The names of the working rows become their characters, row after row.
void ApplyEntityRows(String& s);

// Entity conversion of one text piece before it is measured or drawn.
String ConvertPieceEntities(StringView piece);
// Entities, "<#...>", numeric character references and line ends, before layout.
String PrepareHTMLText(StringView markup);

// The text between the first two double quotes after `name` in `upper`
// (the upper-cased tag), taken from `original` (same length) so that letter
// case can be kept; empty when the name or the closing quote is missing.
String AttributeValue(StringView original, StringView upper, StringView name, std::size_t from = 0);
inline String AttributeValue(StringView upper, StringView name) { return AttributeValue(upper, upper, name); }

// An integer as attributes hold it: leading spaces, a sign, decimal digits or
// hexadecimal after "$", "x" or "0x". `value` is what was read up to the first
// other character; the result tells whether the whole text was a number.
bool ReadAttributeNumber(StringView s, int& value);

// "#rrggbb", or a colour name (with or without a leading "cl", any case);
// unknown names give black.
TColor HTMLColor(StringView value);
// Looks a lower-case name (without "cl") up in the colour-name table.
bool LookupHTMLColorName(StringView lowerName, TColor& color);
// Six hexadecimal digits, red first; false when they are not all there.
bool ReadHexRGB(StringView digits, TColor& color);

} // namespace VovHTMLE
