#pragma once
// The content of a rich edit as plain data: paragraphs of characters, each
// character pointing into a table of character formats, and the reading and
// writing of that content as rich text format (RTF). Kept apart from the
// control so the RTF code is tested without windows.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

enum TRichAlignment : std::uint8_t { raLeft, raCenter, raRight, raJustify };

struct TRichCharFormat {
    String Face { u"Arial" };
    int Size { 200 };         // twips (20 per point)
    bool Bold { false };
    bool Italic { false };
    bool Underline { false };
    bool StrikeOut { false };
    bool AutoColor { true };  // the window text colour
    COLORREF Color { 0 };
    int Offset { 0 };         // baseline shift in twips, up is positive

    bool operator==(const TRichCharFormat&) const = default;
};

struct TRichParagraph {
    String Text;
    std::vector<std::uint16_t> Formats; // one index into TRichDocument::Formats per character
    // The format of the paragraph mark: the height of an empty paragraph.
    std::uint16_t MarkFormat { 0 };
    TRichAlignment Alignment { raLeft };
    // The paragraph ends in a line break inside its paragraph (RTF \line),
    // not in a paragraph mark.
    bool SoftBreak { false };
};

struct TRichDocument {
    std::vector<TRichCharFormat> Formats { TRichCharFormat {} };
    std::vector<TRichParagraph> Paragraphs { TRichParagraph {} };

    // The index of `F` in the table, added when new. The table holds at
    // most 65535 formats; past that the nearest existing one is reused.
    std::uint16_t Intern(const TRichCharFormat& F);
    // Paragraph texts joined with CR LF.
    String PlainText() const;
};

// Reads RTF bytes into a document whose unformatted characters take
// `Default`. Never throws: unknown control words and destinations are
// skipped, groups deeper than `kMaxRtfDepth` are skipped whole, truncated
// input keeps what was read. Input that does not start with "{\rtf" is
// taken as plain text (UTF-8). Answers whether the input was RTF.
inline constexpr int kMaxRtfDepth = 256;
bool ReadRtf(const std::string& Bytes, const TRichCharFormat& Default, TRichDocument& Out);

// Writes a document as RTF (ASCII only: other characters as \uN).
std::string WriteRtf(const TRichDocument& Doc);
