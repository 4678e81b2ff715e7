#pragma once
// Listing-like rows for the grid benchmarks, 15 fields per row.
// ListingField: rows in a scrambled order (row i carries listing
// i * 7919 mod n), a unique e-mail text (column 8), a unique number
// (column 5), a suburb that holds an "o" in 5 rows of 11 (column 3), and
// "a" / "ab" / "abc" in every row / half / a quarter of the rows (column 14).
// ExportField: below.

#include <string>

#include "platform/rtl/String.h"

namespace benchrows {

inline String ListingField(int Col, int Row, int Count)
{
    static const char* const Names[] = { "Smith & Sons Plumbing", "Harbour View Dental", "Oak Street Bakery",
        "Northside Electrical", "Blue Gum Florist", "Apex Roofing", "Zenith Cafe" };
    static const char* const Suburbs[] = { "Millers Point", "Surry Hills", "Newtown", "Glebe", "Manly", "Bondi",
        "Parramatta", "Chatswood", "Randwick", "Mosman", "Balmain" };
    const int p = int((long long)Row * 7919 % Count);
    const std::string r = std::to_string(p);
    std::string s;
    switch (Col) {
    case 0: s = Names[p % 7]; break;
    case 1: s = "Plumbers & Gas Fitters"; break;
    case 2: s = "Level 3, " + std::to_string(10 + p % 90) + " Kent Street"; break;
    case 3: s = Suburbs[p % 11]; break;
    case 4: s = "NSW"; break;
    case 5: s = std::to_string(p * 37 % 1000003); break;
    case 6: s = "(02) 9" + std::to_string(1000000 + p % 8999999); break;
    case 7: s = "0400 " + std::to_string(100000 + p * 7 % 899999); break;
    case 8: s = "info@listing" + r + ".example.com"; break;
    case 9: s = "https://www.listing" + r + ".example.com/"; break;
    case 10: s = "https://www.directory.example/listing/" + r; break;
    case 11: s = "-33.8" + std::to_string(600 + p % 300); break;
    case 12: s = "151.20" + std::to_string(p % 100); break;
    case 13: s = p % 3 ? "Open 24 hours" : "Mon-Fri 9am-5pm"; break;
    default: s = p % 4 == 0 ? "Licensed, labcoat supplies" : p % 4 == 1 ? "Tabs and lab tests" : "Licensed, insured, free quotes"; break;
    }
    return Utf8ToString(s);
}

// The fields of a captured listing in row order for the import and export
// benchmarks: every tenth row has opening hours on two lines, column 8 two
// e-mail addresses and the last column a quoted phrase.
inline String ExportField(int Col, int Row)
{
    static const char* const Names[] = { "Smith & Sons Plumbing", "Harbour View Dental", "Oak Street Bakery",
        "Northside Electrical", "Blue Gum Florist" };
    const std::string r = std::to_string(Row);
    std::string s;
    switch (Col) {
    case 0: s = Names[Row % 5]; break;
    case 1: s = "Plumbers & Gas Fitters"; break;
    case 2: s = "Level 3, " + std::to_string(10 + Row % 90) + " Kent Street"; break;
    case 3: s = "Millers Point"; break;
    case 4: s = "NSW"; break;
    case 5: s = std::to_string(2000 + Row % 900); break;
    case 6: s = "(02) 9" + std::to_string(1000000 + Row % 8999999); break;
    case 7: s = "0400 " + std::to_string(100000 + Row * 7 % 899999); break;
    case 8: s = "info@listing" + r + ".example.com, sales@listing" + r + ".example.com"; break;
    case 9: s = "https://www.listing" + r + ".example.com/"; break;
    case 10: s = "https://www.directory.example/listing/" + r; break;
    case 11: s = "-33.8" + std::to_string(600 + Row % 300); break;
    case 12: s = "151.20" + std::to_string(Row % 100); break;
    case 13: s = Row % 10 == 0 ? "Open today\r\n8am - 5pm" : "Open today 8am - 5pm"; break;
    default: s = "\"Best pies\" in town, since 19" + std::to_string(50 + Row % 50); break;
    }
    return Utf8ToString(s);
}

} // namespace benchrows
