#include "platform/vcl/RichLayout.h"

#include <algorithm>

#include "platform/gdi/GdiText.h"
#include "platform/rtl/MathUtils.h"

namespace {

int TabWidth(const TRichFonts& Fonts)
{
    // Default tab stops every half inch.
    return std::max(1, Fonts.DpiX() / 2);
}

bool IsBlank(Char c)
{
    return c == u' ' || c == u'\t';
}

const TRichCharFormat& FormatOf(const TRichDocument& Doc, std::uint16_t Index)
{
    return Doc.Formats[Index < Doc.Formats.size() ? Index : 0];
}

} // namespace

// ---- fonts ----

TRichFonts::~TRichFonts()
{
    for (auto& [f, info] : m_fonts)
        DeleteObject(info.Font);
}

const TRichFonts::TFontInfo& TRichFonts::Get(HDC MeasureDC, const TRichCharFormat& F)
{
    for (const auto& [f, info] : m_fonts)
        if (f == F)
            return info;
    LOGFONTW lf;
    lf.lfHeight = -std::max(1, MulDiv(F.Size, m_dpiY, 1440));
    lf.lfWeight = F.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = F.Italic;
    lf.lfUnderline = F.Underline;
    lf.lfStrikeOut = F.StrikeOut;
    const std::size_t n = std::min<std::size_t>(F.Face.size(), LF_FACESIZE - 1);
    std::copy_n(F.Face.begin(), n, lf.lfFaceName);
    TFontInfo info;
    info.Font = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(MeasureDC, info.Font);
    TEXTMETRICW tm;
    GetTextMetrics(MeasureDC, &tm);
    SelectObject(MeasureDC, old);
    info.Ascent = tm.tmAscent;
    info.Descent = tm.tmDescent;
    info.Offset = MulDiv(F.Offset, m_dpiY, 1440);
    m_fonts.emplace_back(F, info);
    return m_fonts.back().second;
}

// ---- layout ----

std::vector<int> TRichLayout::ParagraphXs(const TRichDocument& Doc, int Paragraph, HDC MeasureDC, TRichFonts& Fonts)
{
    const TRichParagraph& p = Doc.Paragraphs[std::size_t(Paragraph)];
    const int n = int(p.Text.size());
    std::vector<int> xs(std::size_t(n) + 1, 0);
    auto dc = gdi::DCOf(MeasureDC);
    const int tab = TabWidth(Fonts);
    int i = 0;
    while (i < n) {
        if (p.Text[std::size_t(i)] == u'\t') {
            xs[std::size_t(i) + 1] = (xs[std::size_t(i)] / tab + 1) * tab;
            ++i;
            continue;
        }
        const std::uint16_t f = i < int(p.Formats.size()) ? p.Formats[std::size_t(i)] : 0;
        int j = i + 1;
        while (j < n && p.Text[std::size_t(j)] != u'\t' && (j < int(p.Formats.size()) ? p.Formats[std::size_t(j)] : 0) == f)
            ++j;
        const TRichFonts::TFontInfo& font = Fonts.Get(MeasureDC, FormatOf(Doc, f));
        HGDIOBJ old = SelectObject(MeasureDC, font.Font);
        const std::vector<int> seg = dc ? gdi::CaretPositions(*dc, StringView(p.Text).substr(std::size_t(i), std::size_t(j - i)))
                                        : std::vector<int>(std::size_t(j - i) + 1, 0);
        SelectObject(MeasureDC, old);
        const int base = xs[std::size_t(i)];
        for (int k = 1; k <= j - i; ++k)
            xs[std::size_t(i + k)] = base + seg[std::size_t(k)];
        i = j;
    }
    return xs;
}

void TRichLayout::Build(const TRichDocument& Doc, HDC MeasureDC, TRichFonts& Fonts, int WrapWidth, int MaxHeight)
{
    m_lines.clear();
    m_height = 0;
    m_maxWidth = 0;
    m_complete = true;
    int offset = 0;
    for (std::size_t pi = 0; pi < Doc.Paragraphs.size(); ++pi) {
        if (m_height >= MaxHeight && !m_lines.empty()) {
            m_complete = false;
            break;
        }
        const TRichParagraph& p = Doc.Paragraphs[pi];
        const int n = int(p.Text.size());
        const std::vector<int> xs = ParagraphXs(Doc, int(pi), MeasureDC, Fonts);
        // Paragraph format sits on the mark; a soft break continues the
        // alignment of the paragraph it splits.
        int start = 0;
        do {
            int end = start;
            int lastBreak = -1;
            while (end < n) {
                const Char c = p.Text[std::size_t(end)];
                // Blanks may hang past the edge; anything else wraps.
                if (WrapWidth > 0 && !IsBlank(c) && end > start && xs[std::size_t(end) + 1] - xs[std::size_t(start)] > WrapWidth)
                    break;
                ++end;
                if (IsBlank(c))
                    lastBreak = end;
            }
            if (end < n && lastBreak > start)
                end = lastBreak;
            TRichLine line;
            line.Paragraph = int(pi);
            line.Start = start;
            line.End = end;
            line.Offset = offset + start;
            line.Alignment = p.Alignment;
            int visibleEnd = end;
            while (visibleEnd > start && IsBlank(p.Text[std::size_t(visibleEnd) - 1]))
                --visibleEnd;
            line.Width = xs[std::size_t(visibleEnd)] - xs[std::size_t(start)];
            int ascent = 0, descent = 0;
            auto account = [&](std::uint16_t f) {
                const TRichFonts::TFontInfo& font = Fonts.Get(MeasureDC, FormatOf(Doc, f));
                ascent = std::max(ascent, font.Ascent + std::max(0, font.Offset));
                descent = std::max(descent, font.Descent - std::min(0, font.Offset));
            };
            if (start == end)
                account(p.MarkFormat);
            for (int i = start; i < end;) {
                const std::uint16_t f = i < int(p.Formats.size()) ? p.Formats[std::size_t(i)] : 0;
                int j = i + 1;
                while (j < end && (j < int(p.Formats.size()) ? p.Formats[std::size_t(j)] : 0) == f)
                    ++j;
                account(f);
                line.Runs.push_back({ i, j, xs[std::size_t(i)] - xs[std::size_t(start)], f });
                i = j;
            }
            line.Ascent = ascent;
            line.Height = ascent + descent;
            line.Y = m_height;
            m_height += line.Height;
            m_maxWidth = std::max(m_maxWidth, line.Width);
            m_lines.push_back(std::move(line));
            start = end;
        } while (start < n && m_height < MaxHeight);
        if (start < n) {
            m_complete = false;
            break;
        }
        offset += n + 2;
    }
    m_textEnd = std::max(0, offset - 2);
}

std::size_t TRichLayout::LineOfOffset(int Offset) const
{
    std::size_t i = 0;
    while (i + 1 < m_lines.size() && m_lines[i + 1].Offset <= Offset)
        ++i;
    return i;
}

TRichLayout::TDrawResult TRichLayout::Draw(HDC DC, const TRichDocument& Doc, TRichFonts& Fonts, std::size_t FirstLine,
    int Left, int Top, int Width, int Bottom, int From, int To, bool Render, COLORREF AutoColor) const
{
    TDrawResult result;
    result.NextOffset = m_complete ? m_textEnd : (m_lines.empty() ? 0 : m_lines.back().Offset);
    if (FirstLine >= m_lines.size())
        return result;
    const int y0 = m_lines[FirstLine].Y;
    UINT oldAlign = 0;
    int oldMode = 0;
    if (Render) {
        oldAlign = SetTextAlign(DC, TA_BASELINE | TA_LEFT);
        oldMode = SetBkMode(DC, TRANSPARENT);
    }
    for (std::size_t li = FirstLine; li < m_lines.size(); ++li) {
        const TRichLine& line = m_lines[li];
        const int top = Top + line.Y - y0;
        if (line.Offset >= To) {
            result.NextOffset = To;
            break;
        }
        if (li > FirstLine && top + line.Height > Bottom) {
            result.NextOffset = std::max(line.Offset, From);
            break;
        }
        result.UsedHeight = top + line.Height - Top;
        if (li + 1 == m_lines.size() && m_complete)
            result.NextOffset = std::min(To, m_textEnd);
        if (!Render)
            continue;
        int shift = 0;
        if (line.Alignment == raCenter)
            shift = (Width - line.Width) / 2;
        else if (line.Alignment == raRight)
            shift = Width - line.Width;
        const TRichParagraph& p = Doc.Paragraphs[std::size_t(line.Paragraph)];
        const int paraOffset = line.Offset - line.Start;
        const int baseline = top + line.Ascent;
        for (const TRichRun& run : line.Runs) {
            const int a = std::max(run.Start, From - paraOffset), b = std::min(run.End, To - paraOffset);
            if (a >= b)
                continue;
            const TRichCharFormat& f = FormatOf(Doc, run.Format);
            const TRichFonts::TFontInfo& font = Fonts.Get(DC, f);
            HGDIOBJ old = SelectObject(DC, font.Font);
            SetTextColor(DC, f.AutoColor ? AutoColor : f.Color);
            // Pieces between tabs, each at its own position.
            const int runX = Left + shift + run.X;
            auto dc = gdi::DCOf(DC);
            int i = a;
            while (i < b) {
                while (i < b && p.Text[std::size_t(i)] == u'\t')
                    ++i;
                int j = i;
                while (j < b && p.Text[std::size_t(j)] != u'\t')
                    ++j;
                if (j > i) {
                    int x = runX;
                    if (i > run.Start && dc) {
                        const std::vector<int> xs = gdi::CaretPositions(*dc, StringView(p.Text).substr(std::size_t(run.Start), std::size_t(i - run.Start)));
                        x += xs.back();
                        // Tabs before the piece: positions of the whole paragraph.
                        if (StringView(p.Text).substr(std::size_t(run.Start), std::size_t(i - run.Start)).find(u'\t') != StringView::npos) {
                            const std::vector<int> px = ParagraphXs(Doc, line.Paragraph, DC, Fonts);
                            x = Left + shift + px[std::size_t(i)] - px[std::size_t(line.Start)];
                        }
                    }
                    ExtTextOut(DC, x, baseline - font.Offset, 0, nullptr, p.Text.c_str() + i, UINT(j - i), nullptr);
                }
                i = j;
            }
            SelectObject(DC, old);
        }
    }
    if (Render) {
        SetTextAlign(DC, oldAlign);
        SetBkMode(DC, oldMode);
    }
    return result;
}
