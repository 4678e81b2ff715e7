#pragma once
// Small text routines of the listing parser and the crawl: tag stripping,
// line-break removal, CSV field cleaning and quoting, HTML entity decoding.

#include "platform/rtl/String.h"

// Replaces every tag, comment and style/script element by one blank.
String StripHTMLTags(const String& s);
// Removes every TAB, LF and CR.
String RemoveTabsAndLineBreaks(const String& s);
// Double quotes become U+00A0, tags are stripped, tabs and line breaks
// removed, then blanks and control characters trimmed from both ends.
String CleanCSVField(const String& s);
// Drops leading characters whose code is below 33.
String TrimLeadingControlChars(const String& s);

// One left-to-right pass: "&amp;", "&lt;", "&gt;", "&quot;" and numeric
// references ("&#65;", "&#x41;") are decoded; every other "&" sequence
// ("&nbsp;", "&apos;") stays. A numeric reference to 0, to a surrogate or
// beyond U+10FFFF stays unchanged too.
String HTMLDecode(const String& s);

// A CSV field: embedded double quotes doubled, CR and LF turned into blanks,
// the whole wrapped in double quotes, so a value can never split a record.
String QuoteCSVField(const String& value);
