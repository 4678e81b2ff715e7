#include "platform/gdi/DrawText.h"

#include <cmath>

#include "platform/gdi/GdiText.h"

using namespace gdi;

namespace {

constexpr StringView kEllipsis = u"...";

struct TLine {
    String Text;
    int Underline { -1 }; // index in Text of the accelerator character
};

struct TLayoutArgs {
    UINT Format { 0 };
    int TabWidth { 0 };
    int Width { 0 }; // available width in device pixels
};

bool IsBreakSpace(Char c)
{
    return c == u' ';
}

// Width of a line; with expanded tabs each tab advances to the next stop.
int LineWidth(TDC& dc, const TLayoutArgs& a, StringView s)
{
    if (!(a.Format & DT_EXPANDTABS) || a.TabWidth <= 0)
        return TextWidth(dc, s);
    int x = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = s.find(u'\t', start);
        x += TextWidth(dc, s.substr(start, tab == StringView::npos ? StringView::npos : tab - start));
        if (tab == StringView::npos)
            break;
        x = (x / a.TabWidth + 1) * a.TabWidth;
        start = tab + 1;
    }
    return x;
}

// Removes accelerator markers: "&x" marks x, "&&" is a literal ampersand.
TLine StripPrefix(StringView s, UINT format)
{
    TLine line;
    if (format & DT_NOPREFIX) {
        line.Text = String(s);
        return line;
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&') {
            if (i + 1 < s.size() && s[i + 1] == u'&') {
                line.Text.push_back(u'&');
                ++i;
                continue;
            }
            if (i + 1 < s.size())
                line.Underline = int(line.Text.size());
            continue;
        }
        line.Text.push_back(s[i]);
    }
    return line;
}

std::vector<TLine> SplitParagraphs(const TLine& all, bool single)
{
    std::vector<TLine> out;
    TLine cur;
    const String& s = all.Text;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Char c = s[i];
        if (c == u'\r' || c == u'\n') {
            if (single) {
                continue;
            }
            out.push_back(std::move(cur));
            cur = {};
            if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n')
                ++i;
            continue;
        }
        if (int(i) == all.Underline)
            cur.Underline = int(cur.Text.size());
        cur.Text.push_back(c);
    }
    out.push_back(std::move(cur));
    return out;
}

TLine Sub(const TLine& l, std::size_t from, std::size_t to)
{
    TLine r;
    r.Text = l.Text.substr(from, to - from);
    if (l.Underline >= int(from) && l.Underline < int(to))
        r.Underline = l.Underline - int(from);
    return r;
}

// Greedy wrapping at spaces; a word wider than the line stays whole unless
// the edit-control rule breaks it between characters. Caret positions of
// the paragraph give quick widths; each chosen line is then measured as it
// will be painted.
void WrapParagraph(TDC& dc, const TLayoutArgs& a, const TLine& para, std::vector<TLine>& out)
{
    const String& s = para.Text;
    const std::size_t n = s.size();
    if (n == 0) {
        out.push_back(para);
        return;
    }
    const bool tabs = (a.Format & DT_EXPANDTABS) && s.find(u'\t') != String::npos;
    auto exact = [&](std::size_t from, std::size_t to) { return LineWidth(dc, a, StringView(s).substr(from, to - from)); };
    auto trim = [&](std::size_t from, std::size_t to) {
        while (to > from && IsBreakSpace(s[to - 1]))
            --to;
        return to;
    };
    // A paragraph that fits as a whole is one line: no caret positions needed.
    if (const std::size_t whole = trim(0, n); exact(0, whole) <= a.Width) {
        out.push_back(Sub(para, 0, whole));
        return;
    }
    const std::vector<int> xs = tabs ? std::vector<int>() : CaretPositions(dc, s);
    auto width = [&](std::size_t from, std::size_t to) {
        return tabs ? LineWidth(dc, a, StringView(s).substr(from, to - from)) : xs[to] - xs[from];
    };
    std::size_t pos = 0;
    while (pos < n) {
        // Ends of the words on this line that fit, in order.
        std::vector<std::size_t> ends;
        std::size_t e = pos;
        while (e < n) {
            std::size_t we = e;
            while (we < n && IsBreakSpace(s[we]))
                ++we;
            while (we < n && !IsBreakSpace(s[we]))
                ++we;
            if (!ends.empty() && width(pos, trim(pos, we)) > a.Width)
                break;
            ends.push_back(we);
            e = we;
        }
        std::size_t end = ends.back();
        // The estimate may differ from the painted width by kerning at the ends.
        while (ends.size() > 1 && exact(pos, trim(pos, end)) > a.Width) {
            ends.pop_back();
            end = ends.back();
        }
        if (ends.size() == 1 && (a.Format & DT_EDITCONTROL) && exact(pos, trim(pos, end)) > a.Width) {
            // One word too wide for the line: break it between characters.
            std::size_t k = pos + 1;
            while (k < end && exact(pos, k + 1) <= a.Width)
                ++k;
            if (k < n && IsLowSurrogate(s[k]))
                ++k;
            end = k;
        }
        out.push_back(Sub(para, pos, trim(pos, end)));
        pos = end;
        while (pos < n && IsBreakSpace(s[pos]))
            ++pos;
    }
}

// Shortens a line that is wider than the available width; answers whether it changed.
bool Ellipsize(TDC& dc, const TLayoutArgs& a, TLine& line)
{
    const UINT f = a.Format;
    if (!(f & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)))
        return false;
    if (LineWidth(dc, a, line.Text) <= a.Width)
        return false;
    const String& s = line.Text;
    if (f & DT_PATH_ELLIPSIS) {
        const std::size_t sep = s.find_last_of(u"\\/");
        if (sep != String::npos && sep > 0) {
            const String tail = s.substr(sep);
            std::size_t lo = 0, hi = sep;
            while (lo < hi) {
                const std::size_t mid = (lo + hi + 1) / 2;
                if (LineWidth(dc, a, s.substr(0, mid) + String(kEllipsis) + tail) <= a.Width)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            std::size_t k = lo;
            if (k > 0 && IsLowSurrogate(s[k]))
                --k;
            TLine r;
            r.Text = s.substr(0, k) + String(kEllipsis) + tail;
            r.Underline = line.Underline < int(k) ? line.Underline : -1;
            line = r;
            if (LineWidth(dc, a, line.Text) <= a.Width || !(f & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)))
                return true;
        }
    }
    const String& t = line.Text;
    std::size_t k = t.size();
    auto fits = [&](std::size_t len) { return LineWidth(dc, a, t.substr(0, len) + String(kEllipsis)) <= a.Width; };
    if (f & DT_WORD_ELLIPSIS) {
        // The ellipsis follows the last whole word that leaves room for it.
        std::size_t best = 0;
        for (std::size_t e = 1; e < t.size(); ++e)
            if (IsBreakSpace(t[e]) && !IsBreakSpace(t[e - 1]) && fits(e))
                best = e;
        k = best;
    } else {
        // The longest head that leaves room for the ellipsis.
        std::size_t lo = 0, hi = t.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi + 1) / 2;
            if (fits(mid))
                lo = mid;
            else
                hi = mid - 1;
        }
        k = lo;
        if (k > 0 && k < t.size() && IsLowSurrogate(t[k]))
            --k;
    }
    TLine r;
    r.Text = t.substr(0, k) + String(kEllipsis);
    r.Underline = line.Underline < int(k) ? line.Underline : -1;
    line = r;
    return true;
}

struct TFontSwap {
    TDC& DC;
    std::shared_ptr<TFont> Saved;
    TFontSwap(TDC& dc, bool system) : DC(dc)
    {
        if (system) {
            Saved = dc.State.Font;
            dc.State.Font = StockFont(SYSTEM_FONT);
        }
    }
    ~TFontSwap()
    {
        if (Saved)
            DC.State.Font = Saved;
    }
};

int DrawTextCore(HDC h, StringView text, RECT* r, UINT format, DRAWTEXTPARAMS* params, String* modified)
{
    auto dc = gdi::DCOf(h);
    if (!dc || !r)
        return 0;
    if (params && params->cbSize != sizeof(DRAWTEXTPARAMS))
        return 0;
    TFontSwap swap(*dc, (format & DT_INTERNAL) && !(format & DT_TABSTOP));
    const TFontMetrics m = DeviceMetrics(*dc);
    TLayoutArgs a;
    a.Format = format;
    int tabChars = 8;
    if (format & DT_TABSTOP) {
        tabChars = int((format >> 8) & 0xFF);
        a.Format &= ~0xFF00u; // the high byte holds the tab size, not flags
    } else if (params && params->iTabLength > 0) {
        tabChars = params->iTabLength;
    }
    const UINT f = a.Format;
    a.TabWidth = std::max(1, tabChars * m.AveCharWidth);
    const double sx = dc->ScaleX() == 0 ? 1 : std::fabs(dc->ScaleX());
    const double sy = dc->ScaleY() == 0 ? 1 : std::fabs(dc->ScaleY());
    const TPoint p0 = dc->ToDeviceI(r->Left, r->Top), p1 = dc->ToDeviceI(r->Right, r->Bottom);
    const TRect dr { std::min(p0.X, p1.X), std::min(p0.Y, p1.Y), std::max(p0.X, p1.X), std::max(p0.Y, p1.Y) };
    const int lm = params ? int(std::nearbyint(params->iLeftMargin * sx)) : 0;
    const int rm = params ? int(std::nearbyint(params->iRightMargin * sx)) : 0;
    a.Width = dr.Width() - lm - rm;
    const bool single = f & DT_SINGLELINE;
    const int lineHeight = m.Ascent + m.Descent + ((f & DT_EXTERNALLEADING) ? m.ExternalLeading : 0);

    if (text.empty()) {
        // No text, no lines: nothing is painted and the rectangle has no height.
        if (f & DT_CALCRECT) {
            r->Right = r->Left;
            r->Bottom = r->Top;
        }
        if (params)
            params->uiLengthDrawn = 0;
        return 0;
    }
    std::vector<TLine> lines;
    bool changed = false;
    for (auto& para : SplitParagraphs(StripPrefix(text, f), single)) {
        if ((f & DT_WORDBREAK) && !single)
            WrapParagraph(*dc, a, para, lines);
        else
            lines.push_back(std::move(para));
    }
    for (auto& line : lines)
        changed |= Ellipsize(*dc, a, line);
    if (modified && (f & DT_MODIFYSTRING) && changed && lines.size() == 1)
        *modified = lines[0].Text;

    std::vector<int> widths;
    int maxWidth = 0;
    for (const auto& line : lines) {
        widths.push_back(LineWidth(*dc, a, line.Text));
        maxWidth = std::max(maxWidth, widths.back());
    }
    int top = dr.Top;
    if (single && (f & DT_VCENTER))
        top = dr.Top + (dr.Height() - lineHeight) / 2;
    else if (single && (f & DT_BOTTOM))
        top = dr.Bottom - lineHeight;
    const int total = int(lines.size()) * lineHeight;
    if (params)
        params->uiLengthDrawn = UINT(text.size());

    if (f & DT_CALCRECT) {
        const int width = maxWidth + lm + rm;
        const int right = (f & DT_RIGHT) ? dr.Right : (f & DT_CENTER) ? dr.Left + (dr.Width() + width) / 2 : dr.Left + width;
        const int left = right - width;
        const TPoint l0 = dc->ToLogical(left, dr.Top), l1 = dc->ToLogical(right, dr.Top + total);
        if ((f & (DT_RIGHT | DT_CENTER)) != 0)
            r->Left = l0.X;
        r->Right = l1.X;
        r->Bottom = l1.Y;
        return int(std::nearbyint(total / sy));
    }

    TRegion clipRgn(dr);
    const TRegion* clip = (f & DT_NOCLIP) ? nullptr : &clipRgn;
    auto& st = dc->State;
    // Right-to-left reading keeps the alignment; the runs order themselves.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        const int w = widths[i];
        int x = dr.Left + lm;
        if (f & DT_CENTER)
            x = dr.Left + lm + (a.Width - w) / 2;
        else if (f & DT_RIGHT)
            x = dr.Right - rm - w;
        const int y = top + int(i) * lineHeight;
        // Like an edit control, leave out a last line that would show only in part.
        if ((f & DT_EDITCONTROL) && i > 0 && y + lineHeight > dr.Bottom)
            break;
        if (st.BkMode == OPAQUE && !(f & DT_PREFIXONLY) && w > 0) {
            TPaint bk;
            bk.Color = st.BkColor;
            PaintRect(*dc, TRect { x, y, x + w, y + m.Ascent + m.Descent }, bk, R2_COPYPEN, clip);
        }
        const int underline = (f & DT_HIDEPREFIX) ? -1 : line.Underline;
        const int baseline = y + m.Ascent;
        // Pieces between tabs are painted where the measuring put them.
        std::size_t start = 0;
        int px = 0;
        while (true) {
            const std::size_t tab = (f & DT_EXPANDTABS) ? line.Text.find(u'\t', start) : String::npos;
            const StringView piece = StringView(line.Text).substr(start, tab == String::npos ? String::npos : tab - start);
            const int ul = (underline >= int(start) && underline < int(start + piece.size())) ? underline - int(start) : -1;
            if (f & DT_PREFIXONLY) {
                if (ul >= 0) {
                    const int u0 = TextWidth(*dc, piece.substr(0, std::size_t(ul)));
                    const int u1 = TextWidth(*dc, piece.substr(0, std::size_t(ul) + 1));
                    TPaint pen;
                    pen.Color = st.TextColor;
                    PaintRect(*dc, TRect { x + px + u0, baseline + 1, x + px + u1, baseline + 2 }, pen, R2_COPYPEN, clip);
                }
            } else {
                DrawRun(*dc, x + px, baseline, piece, st.TextColor, ul, clip, 0, {});
            }
            px += TextWidth(*dc, piece);
            if (tab == String::npos)
                break;
            px = (px / a.TabWidth + 1) * a.TabWidth;
            start = tab + 1;
        }
    }
    const int result = single && (f & (DT_VCENTER | DT_BOTTOM)) ? top - dr.Top + lineHeight : total;
    return int(std::nearbyint(result / sy));
}

StringView ViewOf(LPCWSTR text, int count)
{
    if (!text)
        return {};
    return count < 0 ? StringView(text) : StringView(text, std::size_t(count));
}

} // namespace

int DrawTextEx(HDC dc, LPCWSTR text, int count, RECT* r, UINT format, DRAWTEXTPARAMS* params)
{
    if (!text && count != 0)
        return 0;
    return DrawTextCore(dc, ViewOf(text, count), r, format, params, nullptr);
}

int DrawText(HDC dc, LPCWSTR text, int count, RECT* r, UINT format)
{
    return DrawTextEx(dc, text, count, r, format, nullptr);
}

int DrawTextEx(HDC dc, LPWSTR text, int count, RECT* r, UINT format, DRAWTEXTPARAMS* params)
{
    if (!text && count != 0)
        return 0;
    const StringView view = ViewOf(text, count);
    String modified;
    const int result = DrawTextCore(dc, view, r, format, params, &modified);
    if ((format & DT_MODIFYSTRING) && !modified.empty()) {
        const std::size_t room = view.size() + 3; // count + 4 including the terminator
        const std::size_t n = std::min(modified.size(), room);
        std::char_traits<char16_t>::copy(text, modified.data(), n);
        text[n] = 0;
    }
    return result;
}

int DrawText(HDC dc, LPWSTR text, int count, RECT* r, UINT format)
{
    return DrawTextEx(dc, text, count, r, format, nullptr);
}

int DrawText(HDC dc, String& text, RECT* r, UINT format)
{
    String modified;
    const int result = DrawTextCore(dc, text, r, format, nullptr, &modified);
    if ((format & DT_MODIFYSTRING) && !modified.empty())
        text = modified;
    return result;
}
