#include "platform/vcl/RichEdit.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/SysColors.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TTextAttributes, QT_PROP(Name), QT_PROP(Size), QT_PROP(Style), QT_PROP(Color))
QT_PUBLISHED(TRichEditStrings)
QT_PUBLISHED(TCustomRichEdit, QT_PROP(PlainText))
QT_PUBLISHED(TRichEdit)

namespace {

constexpr int kScreenDpi = 96;


} // namespace

// ---- TTextAttributes ----

CHARFORMAT2W TTextAttributes::Get() const
{
    CHARFORMAT2W f;
    m_edit->Perform(EM_GETCHARFORMAT, m_type == atSelected ? SCF_SELECTION : SCF_DEFAULT, reinterpret_cast<LPARAM>(&f));
    return f;
}

void TTextAttributes::Set(const CHARFORMAT2W& F)
{
    m_edit->Perform(EM_SETCHARFORMAT, m_type == atSelected ? SCF_SELECTION : SCF_DEFAULT, reinterpret_cast<LPARAM>(&F));
}

String TTextAttributes::GetName() const
{
    return Get().szFaceName;
}

void TTextAttributes::SetName(const String& v)
{
    CHARFORMAT2W f;
    f.dwMask = CFM_FACE;
    std::copy_n(v.begin(), std::min<std::size_t>(v.size(), LF_FACESIZE - 1), f.szFaceName);
    Set(f);
}

int TTextAttributes::GetSize() const
{
    return Get().yHeight / 20;
}

void TTextAttributes::SetSize(int v)
{
    CHARFORMAT2W f;
    f.dwMask = CFM_SIZE;
    f.yHeight = std::clamp(v, 1, 1638) * 20;
    Set(f);
}

int TTextAttributes::GetHeight() const
{
    return -MulDiv(GetSize(), kScreenDpi, 72);
}

void TTextAttributes::SetHeight(int v)
{
    SetSize(MulDiv(std::abs(v), 72, kScreenDpi));
}

TFontStyles TTextAttributes::GetStyle() const
{
    const CHARFORMAT2W f = Get();
    TFontStyles s;
    if (f.dwEffects & CFE_BOLD)
        s.Include(fsBold);
    if (f.dwEffects & CFE_ITALIC)
        s.Include(fsItalic);
    if (f.dwEffects & CFE_UNDERLINE)
        s.Include(fsUnderline);
    if (f.dwEffects & CFE_STRIKEOUT)
        s.Include(fsStrikeOut);
    return s;
}

void TTextAttributes::SetStyle(TFontStyles v)
{
    CHARFORMAT2W f;
    f.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    f.dwEffects = (v.Contains(fsBold) ? CFE_BOLD : 0) | (v.Contains(fsItalic) ? CFE_ITALIC : 0)
        | (v.Contains(fsUnderline) ? CFE_UNDERLINE : 0) | (v.Contains(fsStrikeOut) ? CFE_STRIKEOUT : 0);
    Set(f);
}

TColor TTextAttributes::GetColor() const
{
    const CHARFORMAT2W f = Get();
    return (f.dwEffects & CFE_AUTOCOLOR) ? clWindowText : TColor(f.crTextColor);
}

void TTextAttributes::SetColor(TColor v)
{
    CHARFORMAT2W f;
    f.dwMask = CFM_COLOR;
    if (v == clWindowText || v == clDefault)
        f.dwEffects = CFE_AUTOCOLOR;
    else
        f.crTextColor = COLORREF(ColorToRGB(v));
    Set(f);
}

void TTextAttributes::Assign(TPersistent* Source)
{
    CHARFORMAT2W f;
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        f.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;
        const String& name = font->GetName();
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), LF_FACESIZE - 1), f.szFaceName);
        f.yHeight = std::max(1, font->GetSize()) * 20;
        const TFontStyles s = font->GetStyle();
        f.dwEffects = (s.Contains(fsBold) ? CFE_BOLD : 0) | (s.Contains(fsItalic) ? CFE_ITALIC : 0)
            | (s.Contains(fsUnderline) ? CFE_UNDERLINE : 0) | (s.Contains(fsStrikeOut) ? CFE_STRIKEOUT : 0);
        if (font->GetColor() == clWindowText || font->GetColor() == clDefault)
            f.dwEffects |= CFE_AUTOCOLOR;
        else
            f.crTextColor = COLORREF(ColorToRGB(font->GetColor()));
        Set(f);
        return;
    }
    if (auto* other = dynamic_cast<TTextAttributes*>(Source)) {
        f = other->Get();
        f.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;
        Set(f);
        return;
    }
    TPersistent::Assign(Source);
}

void TTextAttributes::AssignTo(TPersistent* Dest) const
{
    auto* font = dynamic_cast<TFont*>(Dest);
    if (!font)
        return;
    font->SetName(GetName());
    font->SetSize(GetSize());
    font->SetStyle(GetStyle());
    font->SetColor(GetColor());
}

// ---- TRichEditStrings ----

TRichEditStrings::TRichEditStrings(TCustomRichEdit* Edit) : TMemoStrings(Edit), m_rich(Edit) { }

void TRichEditStrings::LoadFromStream(TStream& Stream, TEncoding* Encoding)
{
    if (m_rich->GetPlainText()) {
        TMemoStrings::LoadFromStream(Stream, Encoding);
        return;
    }
    const Int64 size = Stream.GetSize() - Stream.GetPosition();
    std::string bytes;
    if (size > 0) {
        bytes.resize(std::size_t(size));
        bytes.resize(std::size_t(std::max<Int64>(0, Stream.Read(bytes.data(), size))));
    }
    m_rich->SetRtf(bytes);
}

void TRichEditStrings::SaveToStream(TStream& Stream, TEncoding* Encoding) const
{
    if (m_rich->GetPlainText()) {
        TMemoStrings::SaveToStream(Stream, Encoding);
        return;
    }
    const std::string rtf = m_rich->GetRtf();
    Stream.WriteBuffer(rtf.data(), Int64(rtf.size()));
}

// ---- TCustomRichEdit ----

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner), m_selAttributes(std::make_unique<TTextAttributes>(this, atSelected)),
      m_defAttributes(std::make_unique<TTextAttributes>(this, atDefaultText))
{
    ReplaceLines(std::make_unique<TRichEditStrings>(this));
    m_formats[0] = FontFormat();
    m_cells.assign(std::size_t(TextLength()) + 1, TCell {});
}

TCustomRichEdit::~TCustomRichEdit() = default;

TRichCharFormat TCustomRichEdit::FontFormat() const
{
    TFont* font = const_cast<TCustomRichEdit*>(this)->GetFont();
    TRichCharFormat f;
    f.Face = font->GetName();
    f.Size = std::max(1, font->GetSize()) * 20;
    const TFontStyles s = font->GetStyle();
    f.Bold = s.Contains(fsBold);
    f.Italic = s.Contains(fsItalic);
    f.Underline = s.Contains(fsUnderline);
    f.StrikeOut = s.Contains(fsStrikeOut);
    f.AutoColor = font->GetColor() == clWindowText || font->GetColor() == clDefault;
    f.Color = f.AutoColor ? 0 : COLORREF(ColorToRGB(font->GetColor()));
    return f;
}

std::uint16_t TCustomRichEdit::Intern(const TRichCharFormat& F)
{
    // Index 0 follows the control's font; anything equal to it now shares
    // that fate, as unformatted text does.
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        if (m_formats[i] == F)
            return std::uint16_t(i);
    if (m_formats.size() >= 0xFFFF) {
        // Rarely reached: drop formats no character uses any more.
        std::vector<bool> used(m_formats.size(), false);
        used[0] = true;
        for (const TCell& c : m_cells)
            used[c.Format] = true;
        if (m_insertCell)
            used[m_insertCell->Format] = true;
        for (std::size_t i = 1; i < m_formats.size(); ++i)
            if (!used[i]) {
                m_formats[i] = F;
                return std::uint16_t(i);
            }
        return 0;
    }
    m_formats.push_back(F);
    return std::uint16_t(m_formats.size() - 1);
}

TCustomRichEdit::TCell TCustomRichEdit::CellForInsert(int Offset) const
{
    if (m_insertCell)
        return *m_insertCell;
    // Inside a paragraph new text continues the character before it; at a
    // paragraph's start, the one it pushes along.
    const int line = LineOfOffset(Offset);
    const bool paraStart = Offset == LineStart(line);
    const std::size_t at = paraStart ? std::size_t(Offset) : std::size_t(Offset - 1);
    return m_cells[std::min(at, m_cells.size() - 1)];
}

void TCustomRichEdit::TextReplaced(int Start, int OldLength, int NewLength)
{
    Start = std::clamp(Start, 0, int(m_cells.size()) - 1);
    OldLength = std::clamp(OldLength, 0, int(m_cells.size()) - 1 - Start);
    // The format comes from the text as it was: the character before the
    // change (unchanged) or the first one after it.
    TCell ins;
    if (m_insertCell) {
        ins = *m_insertCell;
    } else if (Start > 0 && !(Start == LineStart(LineOfOffset(Start)))) {
        ins = m_cells[std::size_t(Start - 1)];
    } else {
        ins = m_cells[std::size_t(Start + OldLength)];
    }
    ins.Soft = false;
    m_cells.erase(m_cells.begin() + Start, m_cells.begin() + Start + OldLength);
    m_cells.insert(m_cells.begin() + Start, std::size_t(std::max(0, NewLength)), ins);
    const std::size_t want = std::size_t(TextLength()) + 1;
    if (m_cells.size() != want)
        m_cells.resize(want, m_cells.empty() ? TCell {} : m_cells.back());
    // New breaks take the alignment of the paragraph they split.
    const int line = LineOfOffset(std::min(Start + std::max(0, NewLength), TextLength()));
    const TRichAlignment align = m_cells[std::size_t(LineStart(line) + LineLength(line))].Align;
    for (int i = Start; i < Start + NewLength && i < int(m_cells.size()); ++i)
        m_cells[std::size_t(i)].Align = align;
    if (m_loading == 0)
        ContentChanged();
}

void TCustomRichEdit::ContentChanged()
{
    m_snapshot.reset();
    m_lineXs.clear();
    m_lineHeight = 0;
    m_rangeCache.reset();
    LayoutChanged();
    Invalidate();
    if (m_loading == 0)
        NotifyResize();
}

const TRichDocument& TCustomRichEdit::Snapshot() const
{
    if (!m_snapshot) {
        TRichDocument doc;
        doc.Formats = m_formats;
        doc.Paragraphs.clear();
        doc.Paragraphs.reserve(std::size_t(LineCount()));
        for (int l = 0; l < LineCount(); ++l) {
            TRichParagraph p;
            p.Text = LineText(l);
            const std::size_t start = std::size_t(LineStart(l));
            p.Formats.reserve(p.Text.size());
            for (std::size_t i = 0; i < p.Text.size(); ++i)
                p.Formats.push_back(m_cells[start + i].Format);
            const TCell& mark = m_cells[start + p.Text.size()];
            p.MarkFormat = mark.Format;
            p.Alignment = mark.Align;
            p.SoftBreak = mark.Soft && l + 1 < LineCount();
            doc.Paragraphs.push_back(std::move(p));
        }
        m_snapshot = std::move(doc);
    }
    return *m_snapshot;
}

TRichDocument TCustomRichEdit::GetDocument() const
{
    return Snapshot();
}

void TCustomRichEdit::SetDocument(const TRichDocument& Doc)
{
    std::vector<String> lines;
    lines.reserve(Doc.Paragraphs.size());
    for (const TRichParagraph& p : Doc.Paragraphs) {
        String s = p.Text;
        // A line break inside a paragraph's text would split the line.
        std::replace(s.begin(), s.end(), u'\r', u' ');
        std::replace(s.begin(), s.end(), u'\n', u' ');
        lines.push_back(std::move(s));
    }
    if (lines.empty())
        lines.emplace_back();
    {
        ++m_loading;
        struct Done { int& n; ~Done() { --n; } } done { m_loading };
        m_insertCell.reset();
        m_formats.assign(1, FontFormat());
        std::vector<std::uint16_t> map(Doc.Formats.size(), 0);
        for (std::size_t i = 0; i < Doc.Formats.size(); ++i)
            map[i] = Intern(Doc.Formats[i]);
        auto mapped = [&](std::uint16_t f) { return f < map.size() ? map[f] : std::uint16_t(0); };
        std::vector<TCell> cells;
        for (std::size_t pi = 0; pi < Doc.Paragraphs.size(); ++pi) {
            const TRichParagraph& p = Doc.Paragraphs[pi];
            for (std::size_t i = 0; i < p.Text.size(); ++i)
                cells.push_back({ mapped(i < p.Formats.size() ? p.Formats[i] : 0), p.Alignment, false });
            const TCell mark { mapped(p.MarkFormat), p.Alignment, p.SoftBreak };
            cells.push_back(mark);
            if (pi + 1 < Doc.Paragraphs.size())
                cells.push_back(mark); // the LF of the break
        }
        if (cells.empty())
            cells.push_back({});
        SetAllLines(std::move(lines));
        m_cells = std::move(cells);
        m_cells.resize(std::size_t(TextLength()) + 1, m_cells.back());
    }
    ContentChanged();
    CheckSelection();
}

void TCustomRichEdit::SetRtf(const std::string& Bytes)
{
    TRichDocument doc;
    ReadRtf(Bytes, FontFormat(), doc);
    SetDocument(doc);
}

void TCustomRichEdit::SetWordWrap(bool v)
{
    const bool changed = v != GetWordWrap();
    TCustomMemo::SetWordWrap(v);
    if (changed)
        NotifyResize();
}

TRichFonts& TCustomRichEdit::ScreenFonts()
{
    if (!m_screenFonts)
        m_screenFonts = std::make_unique<TRichFonts>(kScreenDpi, kScreenDpi);
    return *m_screenFonts;
}

TSize TCustomRichEdit::RequiredSize()
{
    TMeasureDC m;
    TRichLayout layout;
    const TRect fr = FormatRect();
    const bool wrap = GetWordWrap();
    layout.Build(Snapshot(), m, ScreenFonts(), wrap ? std::max(1, fr.Width()) : 0);
    const int inset = std::max(0, GetClientRect().Width() - fr.Width());
    return { wrap ? GetWidth() : layout.MaxWidth() + inset, layout.Height() };
}

void TCustomRichEdit::NotifyResize()
{
    if (!(m_eventMask & ENM_REQUESTRESIZE) || m_loading || GetComponentState().Contains(csDestroying))
        return;
    const TSize size = RequiredSize();
    REQRESIZE rr;
    rr.nmhdr.hwndFrom = m_handle;
    rr.nmhdr.idFrom = m_handle ? UINT_PTR(GetDlgCtrlID(m_handle)) : 0;
    rr.nmhdr.code = EN_REQUESTRESIZE;
    rr.rc = TRect(0, 0, size.cx, size.cy);
    HWND parent = m_handle ? ::GetParent(m_handle) : nullptr;
    if (parent && TWinControl::FindControl(parent))
        SendMessage(parent, WM_NOTIFY, WPARAM(rr.nmhdr.idFrom), reinterpret_cast<LPARAM>(&rr));
    else
        RequestSize(TRect(rr.rc)); // nobody to reflect it: the control still hears it
}

void TCustomRichEdit::RequestSize(const TRect& Rect)
{
    if (OnResizeRequest)
        OnResizeRequest(this, Rect);
}

void TCustomRichEdit::SelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(this);
}

void TCustomRichEdit::CheckSelection()
{
    const int start = GetSelStart(), length = GetSelLength();
    if (start == m_lastSelStart && length == m_lastSelLength)
        return;
    m_lastSelStart = start;
    m_lastSelLength = length;
    m_insertCell.reset();
    SelectionChange();
}

void TCustomRichEdit::CreateWnd()
{
    TCustomMemo::CreateWnd();
    // The text and its formats live in the control, not in the window, so
    // a re-created window shows them unchanged.
    ContentChanged();
}

// ---- character formats ----

namespace {

// `f` with the members `F` names changed.
TRichCharFormat Changed(TRichCharFormat f, const CHARFORMAT2W& F)
{
    if (F.dwMask & CFM_FACE)
        f.Face = String(F.szFaceName, std::find(F.szFaceName, F.szFaceName + LF_FACESIZE, u'\0'));
    if (F.dwMask & CFM_SIZE)
        f.Size = std::clamp(int(F.yHeight), 20, 32760);
    if (F.dwMask & CFM_BOLD)
        f.Bold = (F.dwEffects & CFE_BOLD) != 0;
    if (F.dwMask & CFM_ITALIC)
        f.Italic = (F.dwEffects & CFE_ITALIC) != 0;
    if (F.dwMask & CFM_UNDERLINE)
        f.Underline = (F.dwEffects & CFE_UNDERLINE) != 0;
    if (F.dwMask & CFM_STRIKEOUT)
        f.StrikeOut = (F.dwEffects & CFE_STRIKEOUT) != 0;
    if (F.dwMask & CFM_COLOR) {
        f.AutoColor = (F.dwEffects & CFE_AUTOCOLOR) != 0;
        f.Color = f.AutoColor ? 0 : F.crTextColor;
    }
    if (F.dwMask & CFM_OFFSET)
        f.Offset = std::clamp(int(F.yOffset), -32760, 32760);
    return f;
}

} // namespace

void TCustomRichEdit::ApplyFormat(int From, int To, const CHARFORMAT2W& F)
{
    // Each distinct old format maps to one new one.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> done;
    auto mapped = [&](std::uint16_t old) {
        for (const auto& [a, b] : done)
            if (a == old)
                return b;
        const std::uint16_t n = Intern(Changed(m_formats[old], F));
        done.emplace_back(old, n);
        return n;
    };
    if (From == To) {
        TCell c = CellForInsert(From);
        c.Format = mapped(c.Format);
        m_insertCell = c;
        return;
    }
    for (int i = From; i < To; ++i)
        m_cells[std::size_t(i)].Format = mapped(m_cells[std::size_t(i)].Format);
    ContentChanged();
}

CHARFORMAT2W TCustomRichEdit::ReadFormat(int From, int To, bool Default) const
{
    CHARFORMAT2W out;
    out.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_OFFSET
        | CFM_CHARSET;
    std::vector<std::uint16_t> formats;
    if (Default)
        formats.push_back(0);
    else if (From == To)
        formats.push_back(CellForInsert(From).Format);
    else
        for (int i = From; i < To; ++i)
            if (std::find(formats.begin(), formats.end(), m_cells[std::size_t(i)].Format) == formats.end())
                formats.push_back(m_cells[std::size_t(i)].Format);
    const TRichCharFormat& f = m_formats[formats.front()];
    std::copy_n(f.Face.begin(), std::min<std::size_t>(f.Face.size(), LF_FACESIZE - 1), out.szFaceName);
    out.yHeight = f.Size;
    out.yOffset = f.Offset;
    out.wWeight = WORD(f.Bold ? FW_BOLD : FW_NORMAL);
    out.dwEffects = (f.Bold ? CFE_BOLD : 0) | (f.Italic ? CFE_ITALIC : 0) | (f.Underline ? CFE_UNDERLINE : 0)
        | (f.StrikeOut ? CFE_STRIKEOUT : 0) | (f.AutoColor ? CFE_AUTOCOLOR : 0);
    out.crTextColor = f.AutoColor ? COLORREF(GetSysColor(COLOR_WINDOWTEXT)) : f.Color;
    // A mixed selection clears the mask bit of what differs.
    for (std::size_t k = 1; k < formats.size(); ++k) {
        const TRichCharFormat& g = m_formats[formats[k]];
        if (g.Face != f.Face)
            out.dwMask &= ~CFM_FACE;
        if (g.Size != f.Size)
            out.dwMask &= ~CFM_SIZE;
        if (g.Bold != f.Bold)
            out.dwMask &= ~CFM_BOLD;
        if (g.Italic != f.Italic)
            out.dwMask &= ~CFM_ITALIC;
        if (g.Underline != f.Underline)
            out.dwMask &= ~CFM_UNDERLINE;
        if (g.StrikeOut != f.StrikeOut)
            out.dwMask &= ~CFM_STRIKEOUT;
        if (g.AutoColor != f.AutoColor || g.Color != f.Color)
            out.dwMask &= ~CFM_COLOR;
        if (g.Offset != f.Offset)
            out.dwMask &= ~CFM_OFFSET;
    }
    return out;
}

// ---- rendering ----

LRESULT TCustomRichEdit::FormatRange(bool Render, const FORMATRANGE* Range)
{
    if (!Range) {
        m_rangeCache.reset();
        return 0;
    }
    FORMATRANGE& fr = *const_cast<FORMATRANGE*>(Range);
    HDC dc = fr.hdc ? fr.hdc : fr.hdcTarget;
    if (!dc)
        return 0;
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpiX <= 0)
        dpiX = kScreenDpi;
    if (dpiY <= 0)
        dpiY = kScreenDpi;
    const int left = MulDiv(fr.rc.Left, dpiX, 1440), top = MulDiv(fr.rc.Top, dpiY, 1440);
    const int right = MulDiv(fr.rc.Right, dpiX, 1440), bottom = MulDiv(fr.rc.Bottom, dpiY, 1440);
    const int width = std::max(0, right - left);
    const int textEnd = TextLength();
    const int from = std::clamp(int(fr.chrg.cpMin), 0, textEnd);
    const int to = fr.chrg.cpMax < 0 ? INT_MAX : std::max(from, int(fr.chrg.cpMax));
    const TRichDocument& doc = Snapshot();
    // A layout for this device and width is kept until a call without a
    // range frees it; one for the text's start may stop at the bottom.
    const int wrap = GetWordWrap() ? std::max(1, width) : 0;
    const int limit = from == 0 ? bottom - top + 1 : INT_MAX;
    TRangeCache* cache = m_rangeCache.get();
    if (!cache || cache->Fonts->DpiX() != dpiX || cache->Fonts->DpiY() != dpiY || cache->Width != wrap
        || (!cache->Layout.Complete() && cache->Bottom < limit)) {
        m_rangeCache = std::make_unique<TRangeCache>();
        cache = m_rangeCache.get();
        cache->Fonts = std::make_unique<TRichFonts>(dpiX, dpiY);
        cache->Width = wrap;
        cache->Bottom = limit;
        cache->Layout.Build(doc, dc, *cache->Fonts, wrap, limit);
    }
    const int saved = SaveDC(dc);
    // Device pixels from the device origin, whatever the mapping.
    SetMapMode(dc, MM_TEXT);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    if (Render)
        IntersectClipRect(dc, left, top, right, bottom);
    const TRichLayout::TDrawResult r = cache->Layout.Draw(dc, doc, *cache->Fonts, cache->Layout.LineOfOffset(from), left,
        top, width, bottom, from, to, Render, COLORREF(GetSysColor(COLOR_WINDOWTEXT)));
    RestoreDC(dc, saved);
    fr.rc.Bottom = fr.rc.Top + MulDiv(r.UsedHeight, 1440, dpiY);
    return std::min(r.NextOffset, textEnd);
}

std::vector<int> TCustomRichEdit::RowCaretXs(HDC, int Line, int Start, int End)
{
    if (m_lineXs.size() != std::size_t(LineCount()))
        m_lineXs.assign(std::size_t(LineCount()), {});
    std::vector<int>& xs = m_lineXs[std::size_t(Line)];
    if (xs.empty()) {
        TMeasureDC m;
        xs = TRichLayout::ParagraphXs(Snapshot(), Line, m, ScreenFonts());
    }
    std::vector<int> out(xs.begin() + Start, xs.begin() + End + 1);
    const int x0 = out.front();
    for (int& x : out)
        x -= x0;
    return out;
}

int TCustomRichEdit::LineHeight()
{
    if (m_lineHeight <= 0) {
        // Rows share one height: the tallest format in use.
        TMeasureDC m;
        std::vector<bool> seen(m_formats.size(), false);
        int ascent = 1, descent = 0;
        for (const TCell& c : m_cells) {
            if (seen[c.Format])
                continue;
            seen[c.Format] = true;
            const TRichFonts::TFontInfo& f = ScreenFonts().Get(m, m_formats[c.Format]);
            ascent = std::max(ascent, f.Ascent + std::max(0, f.Offset));
            descent = std::max(descent, f.Descent - std::min(0, f.Offset));
        }
        m_lineHeight = ascent + descent;
        m_lineAscent = ascent;
    }
    return m_lineHeight;
}

int TCustomRichEdit::RowX(int Width, int Line)
{
    const TRect fr = FormatRect();
    const TCell& mark = m_cells[std::size_t(LineStart(Line) + LineLength(Line))];
    switch (mark.Align) {
    case raCenter: return fr.Left + (fr.Width() - Width) / 2 - ScrollX();
    case raRight: return fr.Right - Width - ScrollX();
    default: return fr.Left - ScrollX();
    }
}

void TCustomRichEdit::PaintRow(HDC DC, const TRow& Row, int Y, const TRect& Area)
{
    const std::vector<int> xs = RowCaretXs(DC, Row.Line, Row.Start, Row.End);
    const int x = RowX(xs.back(), Row.Line);
    const int base = LineStart(Row.Line) + Row.Start;
    const int n = Row.End - Row.Start;
    int selA = GetSelStart(), selB = selA + GetSelLength();
    if (!SelectionShown())
        selA = selB = 0;
    const int a = std::clamp(selA - base, 0, n), b = std::clamp(selB - base, 0, n);
    const bool breakSelected = Row.End == LineLength(Row.Line) && Row.Line + 1 < LineCount() && selA <= base + n
        && selB > base + n;
    const int lh = LineHeight();
    if (a < b || breakSelected) {
        TRect sel(x + xs[std::size_t(a)], Y, x + xs[std::size_t(b)] + (breakSelected ? 4 : 0), Y + lh);
        IntersectRect(sel, sel, Area);
        if (!sel.IsEmpty())
            FillSolid(DC, sel, ControlColorToRGB(this, clHighlight, seClient));
    }
    const String& text = LineText(Row.Line);
    const UINT oldAlign = SetTextAlign(DC, TA_BASELINE | TA_LEFT);
    const int baseline = Y + m_lineAscent;
    const COLORREF autoColor = COLORREF(ControlColorToRGB(this, IsEnabledInChain() ? clWindowText : clGrayText, seFont));
    const COLORREF selColor = COLORREF(ControlColorToRGB(this, clHighlightText, seFont));
    TMeasureDC m;
    for (int i = 0; i < n;) {
        const std::uint16_t f = m_cells[std::size_t(base + i)].Format;
        const bool selected = i >= a && i < b;
        int j = i + 1;
        while (j < n && m_cells[std::size_t(base + j)].Format == f && (j >= a && j < b) == selected
            && text[std::size_t(Row.Start + j)] != u'\t' && text[std::size_t(Row.Start + i)] != u'\t')
            ++j;
        if (text[std::size_t(Row.Start + i)] != u'\t') {
            const TRichCharFormat& fmt = m_formats[f];
            const TRichFonts::TFontInfo& font = ScreenFonts().Get(m, fmt);
            HGDIOBJ old = SelectObject(DC, font.Font);
            SetTextColor(DC, selected ? selColor : fmt.AutoColor ? autoColor : fmt.Color);
            ExtTextOut(DC, x + xs[std::size_t(i)], baseline - font.Offset, ETO_CLIPPED, nullptr,
                text.c_str() + Row.Start + i, UINT(j - i), nullptr);
            SelectObject(DC, old);
        }
        i = j;
    }
    SetTextAlign(DC, oldAlign);
}

// ---- messages ----

void TCustomRichEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && hdr->code == EN_REQUESTRESIZE) {
            RequestSize(reinterpret_cast<const REQRESIZE*>(Message.LParam)->rc);
            return;
        }
        break;
    }
    case WM_NCHITTEST:
        // A transparent rich edit lets the mouse reach what lies below.
        if (m_handle && (DWORD(GetWindowLong(m_handle, GWL_EXSTYLE)) & WS_EX_TRANSPARENT)) {
            Message.Result = HTTRANSPARENT;
            return;
        }
        break;
    default:
        break;
    }
    const int oldWidth = FormatRect().Width();
    TCustomMemo::Dispatch(Message);
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        m_formats[0] = FontFormat();
        ContentChanged();
        break;
    case WM_SIZE:
        if (GetWordWrap() && FormatRect().Width() != oldWidth) {
            m_rangeCache.reset();
            NotifyResize();
        }
        break;
    default:
        break;
    }
    CheckSelection();
}

void TCustomRichEdit::DefaultHandler(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_SETEVENTMASK:
        Message.Result = LRESULT(m_eventMask);
        m_eventMask = DWORD(l);
        return;
    case EM_GETEVENTMASK:
        Message.Result = LRESULT(m_eventMask);
        return;
    case EM_REQUESTRESIZE:
        NotifyResize();
        return;
    case EM_FORMATRANGE:
        Message.Result = FormatRange(w != 0, reinterpret_cast<const FORMATRANGE*>(l));
        return;
    case EM_EXGETSEL:
        if (l) {
            auto* r = reinterpret_cast<CHARRANGE*>(l);
            r->cpMin = GetSelStart();
            r->cpMax = GetSelStart() + GetSelLength();
        }
        return;
    case EM_EXSETSEL:
        if (l) {
            const auto* r = reinterpret_cast<const CHARRANGE*>(l);
            SetSel(int(r->cpMin), int(r->cpMax));
        }
        Message.Result = GetSelStart() + GetSelLength();
        return;
    case EM_GETTEXTRANGE: {
        auto* tr = reinterpret_cast<TEXTRANGEW*>(l);
        if (!tr || !tr->lpstrText)
            return;
        const String& text = FullText();
        const int a = std::clamp(int(tr->chrg.cpMin), 0, int(text.size()));
        const int b = tr->chrg.cpMax < 0 ? int(text.size()) : std::clamp(int(tr->chrg.cpMax), a, int(text.size()));
        std::copy(text.begin() + a, text.begin() + b, tr->lpstrText);
        tr->lpstrText[b - a] = 0;
        Message.Result = b - a;
        return;
    }
    case EM_SETCHARFORMAT: {
        const auto* f = reinterpret_cast<const CHARFORMAT2W*>(l);
        if (!f || f->cbSize < sizeof(CHARFORMATW)) {
            Message.Result = 0;
            return;
        }
        CHARFORMAT2W in;
        static_cast<CHARFORMATW&>(in) = *f;
        if (w & SCF_ALL) {
            ApplyFormat(0, TextLength(), in);
        } else if (w & SCF_SELECTION) {
            ApplyFormat(GetSelStart(), GetSelStart() + GetSelLength(), in);
        } else {
            // The default format: the text without a format of its own.
            m_formats[0] = Changed(m_formats[0], in);
            ContentChanged();
        }
        Message.Result = 1;
        return;
    }
    case EM_GETCHARFORMAT: {
        auto* f = reinterpret_cast<CHARFORMATW*>(l);
        if (!f || f->cbSize < sizeof(CHARFORMATW))
            return;
        const CHARFORMAT2W r = ReadFormat(GetSelStart(), GetSelStart() + GetSelLength(), !(w & SCF_SELECTION));
        const UINT size = f->cbSize;
        if (size >= sizeof(CHARFORMAT2W))
            *static_cast<CHARFORMAT2W*>(f) = r;
        else
            *f = r;
        f->cbSize = size;
        Message.Result = LRESULT(r.dwMask);
        return;
    }
    default:
        break;
    }
    TCustomMemo::DefaultHandler(Message);
}
