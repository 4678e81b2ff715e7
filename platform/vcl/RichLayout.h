#pragma once
// Lines of rich text laid out for one device: fonts made at the device's
// resolution, paragraphs broken into lines at a width, each line cut into
// runs of one format, and the drawing of those lines into a device context.
// The rich edit uses it to paint, to print (EM_FORMATRANGE) and to tell
// the size its text needs.

#include <climits>
#include <map>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/RichText.h"

class TRichFonts {
public:
    struct TFontInfo {
        HFONT Font { nullptr };
        int Ascent { 0 };
        int Descent { 0 };
        int Offset { 0 }; // device pixels, up is positive
    };

    TRichFonts(int DpiX, int DpiY) : m_dpiX(DpiX), m_dpiY(DpiY) { }
    ~TRichFonts();
    TRichFonts(const TRichFonts&) = delete;
    TRichFonts& operator=(const TRichFonts&) = delete;

    // The font of a format at this resolution, made on first use.
    const TFontInfo& Get(HDC MeasureDC, const TRichCharFormat& F);
    int DpiX() const { return m_dpiX; }
    int DpiY() const { return m_dpiY; }

private:
    int m_dpiX, m_dpiY;
    std::vector<std::pair<TRichCharFormat, TFontInfo>> m_fonts;
};

struct TRichRun {
    int Start { 0 }; // characters of the paragraph
    int End { 0 };
    int X { 0 };     // from the line's left end
    std::uint16_t Format { 0 };
};

struct TRichLine {
    int Paragraph { 0 };
    int Start { 0 }; // characters of the paragraph
    int End { 0 };
    int Offset { 0 }; // the first character as an offset of the whole text (breaks count two)
    int Y { 0 };
    int Height { 0 };
    int Ascent { 0 };
    int Width { 0 }; // without trailing blanks
    TRichAlignment Alignment { raLeft };
    std::vector<TRichRun> Runs;
};

class TRichLayout {
public:
    // Lays `Doc` out in device pixels of `MeasureDC` at the fonts'
    // resolution. `WrapWidth` <= 0: lines break only at paragraph ends.
    // Layout stops once a line starts at or below `MaxHeight` or after
    // the offset `StopAfter`.
    void Build(const TRichDocument& Doc, HDC MeasureDC, TRichFonts& Fonts, int WrapWidth, int MaxHeight = INT_MAX);

    const std::vector<TRichLine>& Lines() const { return m_lines; }
    int Height() const { return m_height; }
    int MaxWidth() const { return m_maxWidth; }
    // Whether every paragraph was laid out.
    bool Complete() const { return m_complete; }

    // Caret positions before each character of a paragraph and after its
    // end, as one unbroken line (tabs at the tab stops).
    static std::vector<int> ParagraphXs(const TRichDocument& Doc, int Paragraph, HDC MeasureDC, TRichFonts& Fonts);

    // Draws the lines from `FirstLine` with their tops at `Top` (device
    // pixels, device origin), left edges at `Left`, aligned in `Width`,
    // skipping characters before offset `From` and stopping at offset
    // `To` (exclusive) or at the first line that does not fit above
    // `Bottom` (the first line always counts). No background is drawn.
    // Answers the offset of the first character not drawn.
    struct TDrawResult {
        int NextOffset { 0 };
        int UsedHeight { 0 };
    };
    TDrawResult Draw(HDC DC, const TRichDocument& Doc, TRichFonts& Fonts, std::size_t FirstLine, int Left, int Top,
        int Width, int Bottom, int From, int To, bool Render, COLORREF AutoColor) const;
    // The line holding offset `Offset` (the last line when past the end).
    std::size_t LineOfOffset(int Offset) const;

private:
    std::vector<TRichLine> m_lines;
    int m_height { 0 };
    int m_maxWidth { 0 };
    bool m_complete { true };
    int m_textEnd { 0 };
};
