#include "platform/vcl/Edits.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiText.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TCustomEdit, QT_PROP(MaxLength), QT_PROP(ReadOnly), QT_PROP(PasswordChar), QT_PROP(CharCase),
    QT_PROP(NumbersOnly), QT_PROP(AutoSelect), QT_PROP(HideSelection), QT_PROP(Alignment), QT_PROP(BorderStyle),
    QT_PROP(TextHint), QT_EVENT(OnChange))
QT_PUBLISHED(TEdit)
QT_PUBLISHED(TEditButton, QT_PROP(Visible), QT_PROP(Enabled), QT_PROP(ImageIndex), QT_PROP(HotImageIndex),
    QT_PROP(PressedImageIndex), QT_PROP(DisabledImageIndex), QT_PROP(Hint))
QT_PUBLISHED(TButtonedEdit, QT_PROP(Images), QT_EVENT(OnLeftButtonClick), QT_EVENT(OnRightButtonClick))

namespace {

// Splits text at CR LF, lone CR and lone LF.
std::vector<String> SplitLines(const String& s)
{
    std::vector<String> out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t at = s.find_first_of(u"\r\n", pos);
        if (at == String::npos) {
            out.push_back(s.substr(pos));
            return out;
        }
        out.push_back(s.substr(pos, at - pos));
        pos = at + ((s[at] == u'\r' && at + 1 < s.size() && s[at + 1] == u'\n') ? 2 : 1);
    }
}

bool IsWordChar(Char c)
{
    return c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && !(c < 0x80 && std::strchr(".,;:!?\"'()[]{}<>/\\|-+=*&^%$#@~`", int(c)));
}

Char ConvertCase(Char c, DWORD es)
{
    if (es & ES_UPPERCASE)
        return AnsiUpperCase(String(1, c))[0];
    if (es & ES_LOWERCASE)
        return AnsiLowerCase(String(1, c))[0];
    return c;
}

// A memory DC with a font selected, for measuring outside painting.
class TMeasureDC {
public:
    explicit TMeasureDC(HFONT font) : m_dc(CreateCompatibleDC(nullptr)) { m_old = SelectObject(m_dc, font); }
    ~TMeasureDC()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    TMeasureDC(const TMeasureDC&) = delete;
    TMeasureDC& operator=(const TMeasureDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old { nullptr };
};


void FillSolid(HDC dc, const TRect& r, TColor rgb)
{
    HBRUSH b = CreateSolidBrush(COLORREF(rgb));
    const RECT rr = r;
    FillRect(dc, &rr, b);
    DeleteObject(b);
}

} // namespace

// ---- construction and styles ----

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    m_controlStyle = { csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight };
    m_tabStop = true;
    m_parentColor = false;
    m_color = clWindow;
    m_brush->SetColor(m_color);
    m_cursor = crIBeam;
    m_autoSize = true;
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::SetAutoSize(bool v)
{
    TWinControl::SetAutoSize(v);
    AdjustHeight();
}

void TCustomEdit::AdjustHeight()
{
    // A bordered single-line edit is as high as its font plus the frame
    // and the room above and below the text.
    if (!m_autoSize || IsMultiLine() || m_borderStyle != bsSingle)
        return;
    SetHeight(LineHeight() + (m_ctl3D ? 8 : 6));
}

TCustomEdit::~TCustomEdit()
{
    HideBalloon();
}

void TCustomEdit::SetStyleBit(DWORD Bit, bool On)
{
    const DWORD es = On ? (m_es | Bit) : (m_es & ~Bit);
    if (es == m_es)
        return;
    const bool wasMulti = IsMultiLine();
    m_es = es;
    if (wasMulti != IsMultiLine())
        NormaliseLines();
    if (m_handle)
        SetWindowLong(m_handle, GWL_STYLE, LONG((DWORD(GetWindowLong(m_handle, GWL_STYLE)) & ~Bit) | (On ? Bit : 0)));
    LayoutChanged();
    Invalidate();
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style |= m_es;
    if (m_borderStyle == bsSingle) {
        if (m_ctl3D)
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    // A subclass may have changed the edit styles in CreateParams: the
    // window's styles rule from now on.
    const DWORD es = DWORD(GetWindowLong(m_handle, GWL_STYLE)) & 0xFFFF;
    const bool wasMulti = IsMultiLine();
    m_es = es;
    if (wasMulti != IsMultiLine())
        NormaliseLines();
    LayoutChanged();
}

void TCustomEdit::NormaliseLines()
{
    if (IsMultiLine()) {
        if (m_lines.size() == 1 && m_lines[0].find_first_of(u"\r\n") != String::npos)
            m_lines = SplitLines(m_lines[0]);
    } else if (m_lines.size() > 1) {
        const String all = FullText();
        m_lines.assign(1, all);
    }
    InvalidateFrom(0);
    m_anchor = std::min(m_anchor, TextLength());
    m_caret = std::min(m_caret, TextLength());
}

void TCustomEdit::SetMaxLength(int v)
{
    m_maxLength = std::max(0, v);
}

void TCustomEdit::SetReadOnly(bool v)
{
    SetStyleBit(ES_READONLY, v);
}

void TCustomEdit::SetPasswordChar(Char v)
{
    m_passwordChar = v;
    SetStyleBit(ES_PASSWORD, v != 0);
    LayoutChanged();
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase v)
{
    m_charCase = v;
    SetStyleBit(ES_UPPERCASE, v == ecUpperCase);
    SetStyleBit(ES_LOWERCASE, v == ecLowerCase);
    if (v == ecNormal)
        return;
    const String text = FullText();
    const String converted = v == ecUpperCase ? AnsiUpperCase(text) : AnsiLowerCase(text);
    if (converted != text) {
        const int a = m_anchor, c = m_caret;
        SetText(converted);
        SetSel(a, c);
    }
}

void TCustomEdit::SetAlignment(TAlignment v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    SetStyleBit(ES_RIGHT, v == taRightJustify);
    SetStyleBit(ES_CENTER, v == taCenter);
}

void TCustomEdit::SetBorderStyle(TBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    RecreateWnd();
}

void TCustomEdit::SetTextHint(const String& v)
{
    m_textHint = v;
    Invalidate();
}

// ---- the text model ----

void TCustomEdit::InvalidateFrom(int Line)
{
    // The start of the first changed line itself still holds.
    m_startsValid = std::min(m_startsValid, std::size_t(std::max(1, Line + 1)));
    m_plainValid = std::min(m_plainValid, std::size_t(std::max(0, Line)));
    m_firstChanged = std::min(m_firstChanged, std::max(0, Line));
    m_textCacheValid = false;
}

bool TCustomEdit::LinePlain(int Line) const
{
    if (m_plain.size() < m_lines.size())
        m_plain.resize(m_lines.size());
    while (m_plainValid <= std::size_t(Line)) {
        const String& s = m_lines[m_plainValid];
        m_plain[m_plainValid] = std::all_of(s.begin(), s.end(), [](Char c) { return c >= 0x20 && c <= 0x7E; });
        ++m_plainValid;
    }
    return m_plain[std::size_t(Line)] != 0;
}

void TCustomEdit::LayoutChanged()
{
    m_rowsValid = false;
    m_widest = -1;
}

int TCustomEdit::LineStart(int Line) const
{
    if (m_lineStart.size() < m_lines.size())
        m_lineStart.resize(m_lines.size());
    while (m_startsValid <= std::size_t(Line)) {
        const std::size_t i = m_startsValid;
        m_lineStart[i] = m_lineStart[i - 1] + int(m_lines[i - 1].size()) + 2;
        ++m_startsValid;
    }
    return m_lineStart[std::size_t(Line)];
}

int TCustomEdit::TextLength() const
{
    const int last = LineCount() - 1;
    return LineStart(last) + LineLength(last);
}

int TCustomEdit::LineOfOffset(int Offset) const
{
    const int last = LineCount() - 1;
    LineStart(last);
    auto begin = m_lineStart.begin(), end = begin + LineCount();
    auto it = std::upper_bound(begin, end, Offset);
    return std::clamp(int(it - begin) - 1, 0, last);
}

const String& TCustomEdit::FullText() const
{
    if (!m_textCacheValid) {
        m_textCache.clear();
        m_textCache.reserve(std::size_t(TextLength()));
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            if (i)
                m_textCache += u"\r\n";
            m_textCache += m_lines[i];
        }
        m_textCacheValid = true;
    }
    return m_textCache;
}

bool TCustomEdit::ReplaceRange(int Start, int End, String S, bool User)
{
    const int len = TextLength();
    Start = std::clamp(Start, 0, len);
    End = std::clamp(End, 0, len);
    if (Start > End)
        std::swap(Start, End);
    if (User) {
        if (!IsMultiLine()) {
            const std::size_t br = S.find_first_of(u"\r\n");
            if (br != String::npos)
                S.resize(br);
        }
        if (m_es & ES_UPPERCASE)
            S = AnsiUpperCase(S);
        else if (m_es & ES_LOWERCASE)
            S = AnsiLowerCase(S);
        if (m_maxLength > 0) {
            const int room = std::max(0, m_maxLength - (len - (End - Start)));
            if (int(S.size()) > room) {
                std::size_t keep = std::size_t(room);
                // Never split a surrogate pair or a line break.
                if (keep > 0 && keep < S.size() && (IsLowSurrogate(S[keep]) || (S[keep] == u'\n' && S[keep - 1] == u'\r')))
                    --keep;
                S.resize(keep);
                MessageBeep(MB_OK);
            }
        }
    }
    const int l1 = LineOfOffset(Start), l2 = LineOfOffset(End);
    const int c1 = std::min(Start - LineStart(l1), LineLength(l1));
    const int c2 = std::min(End - LineStart(l2), LineLength(l2));
    String removed;
    if (Start != End) {
        if (l1 == l2) {
            removed = LineText(l1).substr(std::size_t(c1), std::size_t(c2 - c1));
        } else {
            removed = LineText(l1).substr(std::size_t(c1));
            for (int l = l1 + 1; l < l2; ++l)
                removed += u"\r\n" + LineText(l);
            removed += u"\r\n" + LineText(l2).substr(0, std::size_t(c2));
        }
    }
    if (removed.empty() && S.empty())
        return false;

    std::vector<String> parts = IsMultiLine() ? SplitLines(S) : std::vector<String> { S };
    int inserted = 0;
    for (std::size_t i = 0; i < parts.size(); ++i)
        inserted += int(parts[i].size()) + (i ? 2 : 0);
    const String suffix = LineText(l2).substr(std::size_t(c2));
    parts.front().insert(0, LineText(l1), 0, std::size_t(c1));
    parts.back() += suffix;
    const auto first = m_lines.begin() + l1;
    if (parts.size() == std::size_t(l2 - l1 + 1)) {
        std::move(parts.begin(), parts.end(), first);
    } else {
        m_lines.erase(first + 1, first + (l2 - l1 + 1));
        m_lines[std::size_t(l1)] = std::move(parts.front());
        m_lines.insert(m_lines.begin() + l1 + 1, std::make_move_iterator(parts.begin() + 1), std::make_move_iterator(parts.end()));
    }
    InvalidateFrom(l1);
    LayoutChanged();
    TextReplaced(Start, End - Start, inserted);

    if (User) {
        const bool merge = m_typing && m_undo.valid && m_undo.typing && removed.empty()
            && Start == m_undo.start + m_undo.insertedLength;
        if (merge) {
            m_undo.insertedLength += inserted;
        } else {
            m_undo.Set(Start, inserted, removed, m_typing);
        }
        m_modified = true;
    } else {
        m_undo.Reset();
    }
    m_anchor = m_caret = Start + inserted;
    Invalidate();
    ScrollCaret();
    Notify(EN_CHANGE);
    return true;
}

void TCustomEdit::InsertLines(int Index, const std::vector<String>& Lines)
{
    Index = std::clamp(Index, 0, LineCount());
    std::vector<String> parts;
    for (const String& s : Lines)
        for (String& p : SplitLines(s))
            parts.push_back(std::move(p));
    if (parts.empty())
        return;
    const int caretLine = Index + int(parts.size()) - 1;
    // The new lines and their breaks: before an existing line each takes a
    // break after it; at the end each takes one before it.
    const bool atEnd = Index == LineCount();
    int inserted = 0;
    for (const String& p : parts)
        inserted += int(p.size()) + 2;
    const int at = atEnd ? TextLength() : LineStart(Index);
    m_lines.insert(m_lines.begin() + Index, std::make_move_iterator(parts.begin()), std::make_move_iterator(parts.end()));
    InvalidateFrom(Index);
    // The widest line can only grow: only the new lines need measuring.
    m_measuredUpTo = std::min(m_measuredUpTo, Index);
    m_rowsValid = false;
    TextReplaced(at, 0, inserted);
    m_undo.Reset();
    // Like a replacement of the selection: the caret ends after the new text.
    m_anchor = m_caret = LineStart(caretLine) + LineLength(caretLine);
    TextChangedByCode();
}

void TCustomEdit::DeleteLine(int Index)
{
    if (Index < 0 || Index >= LineCount())
        return;
    const int at = LineStart(Index);
    const bool last = Index == LineCount() - 1;
    const int removed = LineLength(Index) + (last ? 0 : 2);
    // The last line loses its text; the break before it stays.
    if (last)
        m_lines[std::size_t(Index)].clear();
    else
        m_lines.erase(m_lines.begin() + Index);
    InvalidateFrom(Index);
    LayoutChanged();
    TextReplaced(at, removed, 0);
    m_undo.Reset();
    m_anchor = m_caret = std::min(LineStart(std::min(Index, LineCount() - 1)), TextLength());
    TextChangedByCode();
}

void TCustomEdit::PutLine(int Index, const String& S)
{
    if (Index < 0 || Index >= LineCount())
        return;
    std::vector<String> parts = SplitLines(S);
    const int at = LineStart(Index), old = LineLength(Index);
    int inserted = -2;
    for (const String& p : parts)
        inserted += int(p.size()) + 2;
    m_lines[std::size_t(Index)] = std::move(parts.front());
    m_lines.insert(m_lines.begin() + Index + 1, std::make_move_iterator(parts.begin() + 1), std::make_move_iterator(parts.end()));
    InvalidateFrom(Index);
    LayoutChanged();
    TextReplaced(at, old, inserted);
    m_undo.Reset();
    const int last = Index + int(parts.size()) - 1;
    m_anchor = m_caret = LineStart(last) + LineLength(last);
    TextChangedByCode();
}

void TCustomEdit::SetAllLines(std::vector<String> Lines)
{
    if (Lines.empty())
        Lines.emplace_back();
    if (!IsMultiLine() && Lines.size() > 1) {
        String all;
        for (std::size_t i = 0; i < Lines.size(); ++i)
            all += (i ? u"\r\n" : u"") + Lines[i];
        Lines.assign(1, all);
    }
    const int old = TextLength();
    m_lines = std::move(Lines);
    InvalidateFrom(0);
    LayoutChanged();
    TextReplaced(0, old, TextLength());
    m_undo.Reset();
    m_anchor = m_caret = 0;
    m_topRow = 0;
    m_scrollX = 0;
    TextChangedByCode();
}

void TCustomEdit::TextChangedByCode()
{
    Invalidate();
    ScrollCaret();
    Notify(EN_CHANGE);
}

// ---- notifications ----

void TCustomEdit::Notify(WORD Code)
{
    HWND parent = m_handle ? ::GetParent(m_handle) : nullptr;
    if (parent)
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(m_handle)), Code), reinterpret_cast<LPARAM>(m_handle));
    // Without a parent control to reflect the notification (no window yet,
    // or a foreign parent window) the change still counts.
    if (Code == EN_CHANGE && !(parent && TWinControl::FindControl(parent)) && !GetComponentState().Contains(csDestroying))
        Change();
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

// ---- selection ----

String TCustomEdit::GetSelText() const
{
    const int a = GetSelStart(), n = GetSelLength();
    if (n == 0)
        return {};
    const int l1 = LineOfOffset(a), l2 = LineOfOffset(a + n);
    if (l1 == l2)
        return LineText(l1).substr(std::size_t(a - LineStart(l1)), std::size_t(n));
    return FullText().substr(std::size_t(a), std::size_t(n));
}

void TCustomEdit::SetSelText(const String& v)
{
    const int saved = m_maxLength;
    m_maxLength = 0;
    struct Restore { int& m; int v; ~Restore() { m = v; } } restore { m_maxLength, saved };
    ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), v, true);
}

void TCustomEdit::SetSel(int Anchor, int Caret)
{
    const int len = TextLength();
    // -1 as the anchor collapses the selection at the caret; as the caret
    // it means the end of the text.
    if (Caret < 0)
        Caret = len;
    if (Anchor < 0)
        Anchor = Caret;
    Anchor = std::clamp(Anchor, 0, len);
    Caret = std::clamp(Caret, 0, len);
    if (Anchor == m_anchor && Caret == m_caret)
        return;
    m_anchor = Anchor;
    m_caret = Caret;
    Invalidate();
    ScrollCaret();
}

void TCustomEdit::MoveCaret(int To, bool Extend)
{
    To = std::clamp(To, 0, TextLength());
    SetSel(Extend ? m_anchor : To, To);
}

int TCustomEdit::WordStart(int Offset) const
{
    const int line = LineOfOffset(Offset);
    const String& s = LineText(line);
    const int start = LineStart(line);
    int c = std::min(Offset - start, int(s.size()));
    if (c == 0)
        return line > 0 ? LineStart(line - 1) + LineLength(line - 1) : 0;
    while (c > 0 && !IsWordChar(s[std::size_t(c - 1)]))
        --c;
    while (c > 0 && IsWordChar(s[std::size_t(c - 1)]))
        --c;
    return start + c;
}

int TCustomEdit::WordEnd(int Offset) const
{
    const int line = LineOfOffset(Offset);
    const String& s = LineText(line);
    const int start = LineStart(line);
    int c = std::min(Offset - start, int(s.size()));
    if (c == int(s.size()))
        return line + 1 < LineCount() ? LineStart(line + 1) : start + c;
    while (c < int(s.size()) && IsWordChar(s[std::size_t(c)]))
        ++c;
    while (c < int(s.size()) && !IsWordChar(s[std::size_t(c)]))
        ++c;
    return start + c;
}

// ---- layout: rows, positions ----

String TCustomEdit::Shown(const String& S) const
{
    if ((m_es & ES_PASSWORD) && m_passwordChar)
        return String(S.size(), m_passwordChar);
    return S;
}

std::vector<int> TCustomEdit::CaretXs(HDC DC, const String& S)
{
    auto dc = gdi::DCOf(DC);
    if (!dc)
        return std::vector<int>(S.size() + 1, 0);
    return gdi::CaretPositions(*dc, Shown(S));
}

std::vector<int> TCustomEdit::RowCaretXs(HDC DC, int Line, int Start, int End)
{
    return CaretXs(DC, LineText(Line).substr(std::size_t(Start), std::size_t(End - Start)));
}

int TCustomEdit::LineHeight()
{
    if (m_lineHeight <= 0) {
        TMeasureDC m(GetFont()->GetHandle());
        TEXTMETRICW tm {};
        GetTextMetrics(m.Get(), &tm);
        m_lineHeight = std::max(1, int(tm.tmHeight));
    }
    return m_lineHeight;
}

TRect TCustomEdit::TextArea()
{
    return GetClientRect();
}

TRect TCustomEdit::FormatRect()
{
    if (m_formatRect)
        return *m_formatRect;
    TRect r = TextArea();
    r.Left += 1;
    r.Right -= 1;
    if (IsMultiLine())
        r.Top += 0;
    else
        r.Top += 1;
    return r;
}

int TCustomEdit::VisibleRows()
{
    const TRect r = FormatRect();
    return std::max(1, r.Height() / LineHeight());
}

const std::vector<TCustomEdit::TRow>& TCustomEdit::WrappedRows()
{
    const int width = std::max(1, FormatRect().Width());
    if (m_rowsValid && m_rowsWidth == width)
        return m_rows;
    m_rows.clear();
    TMeasureDC m(GetFont()->GetHandle());
    for (int l = 0; l < LineCount(); ++l) {
        const String& s = LineText(l);
        if (s.empty()) {
            m_rows.push_back({ l, 0, 0 });
            continue;
        }
        const std::vector<int> xs = RowCaretXs(m.Get(), l, 0, int(s.size()));
        int start = 0;
        while (start < int(s.size())) {
            int end = start + 1;
            while (end < int(s.size()) && xs[std::size_t(end + 1)] - xs[std::size_t(start)] <= width)
                ++end;
            if (end < int(s.size())) {
                // Break after the last blank that fits, else mid-word.
                int br = end;
                while (br > start && s[std::size_t(br - 1)] != u' ' && s[std::size_t(br - 1)] != u'\t')
                    --br;
                if (br > start)
                    end = br;
            }
            m_rows.push_back({ l, start, end });
            start = end;
        }
    }
    m_rowsValid = true;
    m_rowsWidth = width;
    return m_rows;
}

bool TCustomEdit::Wraps() const
{
    return IsMultiLine() && !(m_es & ES_AUTOHSCROLL);
}

int TCustomEdit::RowCount()
{
    return Wraps() ? int(WrappedRows().size()) : LineCount();
}

TCustomEdit::TRow TCustomEdit::RowAt(int Row)
{
    if (Wraps()) {
        const auto& rows = WrappedRows();
        return rows[std::size_t(std::clamp(Row, 0, int(rows.size()) - 1))];
    }
    const int l = std::clamp(Row, 0, LineCount() - 1);
    return { l, 0, LineLength(l) };
}

int TCustomEdit::RowOfOffset(int Offset)
{
    const int line = LineOfOffset(Offset);
    if (!Wraps())
        return line;
    const int col = Offset - LineStart(line);
    const auto& rows = WrappedRows();
    auto it = std::lower_bound(rows.begin(), rows.end(), line, [](const TRow& r, int l) { return r.Line < l; });
    int row = int(it - rows.begin());
    while (row + 1 < int(rows.size()) && rows[std::size_t(row + 1)].Line == line && rows[std::size_t(row + 1)].Start <= col)
        ++row;
    return row;
}

int TCustomEdit::WidestLine()
{
    if (m_widest < 0) {
        m_widest = 0;
        m_measuredUpTo = 0;
    }
    if (m_measuredUpTo < LineCount()) {
        // Sums of cached character advances: laying out every line of a
        // long memo only to size a scroll bar would cost far more, and
        // kerning moves the sum by a pixel or two at most.
        std::unique_ptr<TMeasureDC> m;
        auto widthOf = [&](Char c) {
            auto it = m_charWidths.find(c);
            if (it != m_charWidths.end())
                return it->second;
            if (!m)
                m = std::make_unique<TMeasureDC>(GetFont()->GetHandle());
            SIZE sz {};
            GetTextExtentPoint32(m->Get(), &c, 1, &sz);
            return m_charWidths[c] = int(sz.cx);
        };
        for (int l = m_measuredUpTo; l < LineCount(); ++l) {
            int w = 0;
            if ((m_es & ES_PASSWORD) && m_passwordChar)
                w = widthOf(m_passwordChar) * LineLength(l);
            else
                for (Char c : LineText(l))
                    w += widthOf(c);
            m_widest = std::max(m_widest, w);
        }
        m_measuredUpTo = LineCount();
    }
    return m_widest;
}

int TCustomEdit::RowX(int Width, int /*Line*/)
{
    const TRect fr = FormatRect();
    if (m_es & ES_RIGHT)
        return fr.Right - Width - m_scrollX;
    if (m_es & ES_CENTER)
        return fr.Left + (fr.Width() - Width) / 2 - m_scrollX;
    return fr.Left - m_scrollX;
}

int TCustomEdit::CharInRow(int Row, int X)
{
    const TRow r = RowAt(Row);
    const String part = LineText(r.Line).substr(std::size_t(r.Start), std::size_t(r.End - r.Start));
    TMeasureDC m(GetFont()->GetHandle());
    const std::vector<int> xs = RowCaretXs(m.Get(), r.Line, r.Start, r.End);
    const int x0 = RowX(xs.back(), r.Line);
    int best = 0;
    for (std::size_t i = 1; i < xs.size(); ++i)
        if (std::abs(x0 + xs[i] - X) < std::abs(x0 + xs[std::size_t(best)] - X))
            best = int(i);
    // A wrapped row's end is the next row's start: stay on this row.
    if (Wraps() && r.End < LineLength(r.Line) && best == int(part.size()) && best > 0)
        --best;
    return LineStart(r.Line) + r.Start + best;
}

TCustomEdit::TCharPos TCustomEdit::CharFromPos(TPoint P)
{
    ApplyPendingScroll();
    const TRect fr = FormatRect();
    const int lh = LineHeight();
    int row = 0;
    if (IsMultiLine()) {
        const int dy = P.Y - fr.Top;
        row = m_topRow + (dy >= 0 ? dy / lh : -((-dy + lh - 1) / lh));
    }
    row = std::clamp(row, 0, RowCount() - 1);
    return { CharInRow(row, P.X), RowAt(row).Line };
}

TPoint TCustomEdit::PosFromChar(int Index)
{
    ApplyPendingScroll();
    Index = std::clamp(Index, 0, TextLength());
    const int row = IsMultiLine() ? RowOfOffset(Index) : 0;
    const TRow r = RowAt(row);
    const int col = std::clamp(Index - LineStart(r.Line) - r.Start, 0, r.End - r.Start);
    TMeasureDC m(GetFont()->GetHandle());
    const std::vector<int> xs = RowCaretXs(m.Get(), r.Line, r.Start, r.End);
    const TRect fr = FormatRect();
    return { RowX(xs.back(), r.Line) + xs[std::size_t(col)], fr.Top + (row - m_topRow) * LineHeight() };
}

// ---- scrolling ----

void TCustomEdit::SetTopRow(int Row)
{
    Row = std::clamp(Row, 0, std::max(0, RowCount() - 1));
    if (Row == m_topRow)
        return;
    m_topRow = Row;
    Invalidate();
    ScrollChanged();
}

void TCustomEdit::SetScrollX(int X)
{
    X = std::max(0, X);
    if (X == m_scrollX)
        return;
    m_scrollX = X;
    Invalidate();
    ScrollChanged();
}

void TCustomEdit::ScrollCaret()
{
    // Settled when the position is needed: a run of appended lines costs
    // one scroll, not one measurement per line.
    m_scrollCaretPending = true;
}

void TCustomEdit::ApplyPendingScroll()
{
    if (!m_scrollCaretPending)
        return;
    m_scrollCaretPending = false;
    if (!m_handle)
        return;
    const TRect fr = FormatRect();
    if (IsMultiLine()) {
        const int row = RowOfOffset(m_caret);
        const int visible = VisibleRows();
        int top = m_topRow;
        if (row < top)
            top = row;
        else if (row >= top + visible)
            top = row - visible + 1;
        m_topRow = std::clamp(top, 0, std::max(0, RowCount() - 1));
    }
    if (Wraps() || fr.Width() <= 0) {
        m_scrollX = 0;
    } else {
        const TPoint p = PosFromChar(m_caret);
        const int quarter = std::max(1, fr.Width() / 4);
        if (p.X < fr.Left)
            m_scrollX = std::max(0, m_scrollX - (fr.Left - p.X) - quarter);
        else if (p.X >= fr.Right)
            m_scrollX += p.X - fr.Right + quarter;
        if (!IsMultiLine() && !(m_es & (ES_RIGHT | ES_CENTER))) {
            // Do not leave blank room at the end of a scrolled line.
            TMeasureDC m(GetFont()->GetHandle());
            const std::vector<int> xs = RowCaretXs(m.Get(), 0, 0, LineLength(0));
            m_scrollX = std::clamp(m_scrollX, 0, std::max(0, xs.back() - fr.Width() + 2));
        }
    }
    ScrollChanged();
}

// ---- painting ----

void TCustomEdit::PaintRow(HDC DC, const TRow& Row, int Y, const TRect& Area)
{
    const String part = Shown(LineText(Row.Line).substr(std::size_t(Row.Start), std::size_t(Row.End - Row.Start)));
    const std::vector<int> xs = RowCaretXs(DC, Row.Line, Row.Start, Row.End);
    const int x = RowX(xs.back(), Row.Line);
    if (!part.empty())
        ExtTextOut(DC, x, Y, ETO_CLIPPED, nullptr, part.c_str(), UINT(part.size()), nullptr);
    const int selA = GetSelStart(), selB = selA + GetSelLength();
    if (selA == selB || !SelectionShown())
        return;
    const int base = LineStart(Row.Line) + Row.Start;
    const int a = std::clamp(selA - base, 0, int(part.size()));
    const int b = std::clamp(selB - base, 0, int(part.size()));
    // A selected line break shows as a small block after the line.
    const bool breakSelected = Row.End == LineLength(Row.Line) && Row.Line + 1 < LineCount()
        && selA <= base + int(part.size()) && selB > base + int(part.size());
    if (a == b && !breakSelected)
        return;
    TRect sel(x + xs[std::size_t(a)], Y, x + xs[std::size_t(b)] + (breakSelected ? 4 : 0), Y + LineHeight());
    IntersectRect(sel, sel, Area);
    if (sel.IsEmpty())
        return;
    const int saved = SaveDC(DC);
    FillSolid(DC, sel, ControlColorToRGB(this, clHighlight, seClient));
    IntersectClipRect(DC, sel.Left, sel.Top, sel.Right, sel.Bottom);
    SetTextColor(DC, COLORREF(ControlColorToRGB(this, clHighlightText, seFont)));
    if (!part.empty())
        ExtTextOut(DC, x, Y, ETO_CLIPPED, nullptr, part.c_str(), UINT(part.size()), nullptr);
    RestoreDC(DC, saved);
}

void TCustomEdit::PaintWindow(HDC DC)
{
    ApplyPendingScroll();
    const TRect client = GetClientRect();
    const bool enabled = IsEnabledInChain();
    const TColor back = enabled ? m_color : clBtnFace;
    FillSolid(DC, client, ControlColorToRGB(this, back, seClient));
    const TRect area = TextArea();
    TRect fr;
    IntersectRect(fr, FormatRect(), area);
    const int saved = SaveDC(DC);
    IntersectClipRect(DC, fr.Left, fr.Top, fr.Right, std::max(fr.Bottom, fr.Top + LineHeight()));
    HGDIOBJ oldFont = SelectObject(DC, GetFont()->GetHandle());
    SetBkMode(DC, TRANSPARENT);
    const TColor textColor = enabled ? GetFont()->GetColor() : clGrayText;
    SetTextColor(DC, COLORREF(ControlColorToRGB(this, textColor, seFont)));
    const int lh = LineHeight();
    if (TextLength() == 0 && !m_textHint.empty() && !Focused()) {
        SetTextColor(DC, COLORREF(ControlColorToRGB(this, clGrayText, seFont)));
        ExtTextOut(DC, fr.Left, fr.Top, ETO_CLIPPED, nullptr, m_textHint.c_str(), UINT(m_textHint.size()), nullptr);
    } else {
        const int rows = IsMultiLine() ? RowCount() : 1;
        const int visible = IsMultiLine() ? VisibleRows() + 1 : 1;
        for (int r = m_topRow; r < rows && r < m_topRow + visible; ++r)
            PaintRow(DC, RowAt(r), fr.Top + (r - m_topRow) * lh, fr);
    }
    if (Focused() && GetSelLength() == 0) {
        const TPoint p = PosFromChar(m_caret);
        FillSolid(DC, TRect(p.X, p.Y, p.X + 1, p.Y + lh), ControlColorToRGB(this, textColor, seFont));
    }
    SelectObject(DC, oldFont);
    RestoreDC(DC, saved);
}

// ---- editing operations ----

void TCustomEdit::DoUndo()
{
    if (!m_undo.valid || GetReadOnly())
        return;
    const TUndo u = m_undo;
    const String inserted = FullText().substr(std::size_t(u.start), std::size_t(u.insertedLength));
    const int savedMax = m_maxLength;
    m_maxLength = 0;
    const DWORD savedCase = m_es & (ES_UPPERCASE | ES_LOWERCASE);
    m_es &= ~savedCase;
    ReplaceRange(u.start, u.start + u.insertedLength, u.removed, true);
    m_es |= savedCase;
    m_maxLength = savedMax;
    // Undoing the undo redoes.
    m_undo.Set(u.start, int(u.removed.size()), inserted, false);
    SetSel(u.start, u.start + int(u.removed.size()));
}

void TCustomEdit::DoCopy(bool Cut)
{
    if (GetSelLength() == 0 || (m_es & ES_PASSWORD))
        return;
    const String text = GetSelText();
    if (OpenClipboard(m_handle)) {
        EmptyClipboard();
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
        if (auto* p = static_cast<char16_t*>(GlobalLock(mem))) {
            std::copy(text.begin(), text.end(), p);
            p[text.size()] = 0;
            GlobalUnlock(mem);
            SetClipboardData(CF_UNICODETEXT, mem);
        }
        CloseClipboard();
    }
    if (Cut && !GetReadOnly())
        ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(), true);
}

void TCustomEdit::DoPaste()
{
    if (GetReadOnly())
        return;
    String text;
    if (!OpenClipboard(m_handle))
        return;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const char16_t*>(GlobalLock(h))) {
            const std::size_t n = GlobalSize(h) / sizeof(char16_t);
            text.assign(p, std::find(p, p + n, u'\0'));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    if (!text.empty())
        ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), text, true);
}

void TCustomEdit::TypeChar(Char Ch)
{
    if (GetReadOnly()) {
        MessageBeep(MB_OK);
        return;
    }
    if ((m_es & ES_NUMBER) && !(Ch >= u'0' && Ch <= u'9')) {
        MessageBeep(MB_OK);
        return;
    }
    m_typing = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_typing };
    ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(1, ConvertCase(Ch, m_es)), true);
}

void TCustomEdit::EditKey(WORD Key, TShiftState Shift)
{
    const bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
    const int line = LineOfOffset(m_caret);
    auto rowMove = [&](int delta) {
        if (!IsMultiLine()) {
            MoveCaret(delta < 0 ? m_caret - 1 : m_caret + 1, shift);
            return;
        }
        // The caret keeps its x position while moving between rows.
        const int x = PosFromChar(m_caret).X;
        MoveCaret(CharInRow(std::clamp(RowOfOffset(m_caret) + delta, 0, RowCount() - 1), x), shift);
    };
    switch (Key) {
    case VK_LEFT: {
        if (GetSelLength() && !shift) {
            MoveCaret(GetSelStart(), false);
            break;
        }
        int to = ctrl ? WordStart(m_caret) : m_caret - 1;
        if (!ctrl && to >= 0 && line > 0 && m_caret == LineStart(line))
            to = m_caret - 2; // over the whole line break
        else if (!ctrl && to > 0 && IsLowSurrogate(FullText()[std::size_t(to)]))
            --to;
        MoveCaret(to, shift);
        break;
    }
    case VK_RIGHT: {
        if (GetSelLength() && !shift) {
            MoveCaret(GetSelStart() + GetSelLength(), false);
            break;
        }
        int to = ctrl ? WordEnd(m_caret) : m_caret + 1;
        if (!ctrl && m_caret == LineStart(line) + LineLength(line) && line + 1 < LineCount())
            to = LineStart(line + 1);
        else if (!ctrl && to < TextLength() && IsLowSurrogate(FullText()[std::size_t(to)]))
            ++to;
        MoveCaret(to, shift);
        break;
    }
    case VK_UP: rowMove(-1); break;
    case VK_DOWN: rowMove(1); break;
    case VK_PRIOR: rowMove(-VisibleRows()); break;
    case VK_NEXT: rowMove(VisibleRows()); break;
    case VK_HOME:
        if (ctrl || !IsMultiLine()) {
            MoveCaret(0, shift);
        } else {
            const TRow r = RowAt(RowOfOffset(m_caret));
            MoveCaret(LineStart(r.Line) + r.Start, shift);
        }
        break;
    case VK_END:
        if (ctrl || !IsMultiLine()) {
            MoveCaret(TextLength(), shift);
        } else {
            const TRow r = RowAt(RowOfOffset(m_caret));
            const bool wrappedEnd = r.End < LineLength(r.Line);
            MoveCaret(LineStart(r.Line) + r.End - (wrappedEnd ? 1 : 0), shift);
        }
        break;
    case VK_DELETE:
        if (shift) {
            Perform(WM_CUT);
        } else if (GetSelLength()) {
            Perform(WM_CLEAR);
        } else if (!GetReadOnly() && m_caret < TextLength()) {
            int end = ctrl ? WordEnd(m_caret) : m_caret + 1;
            if (!ctrl && m_caret == LineStart(line) + LineLength(line))
                end = m_caret + 2;
            else if (!ctrl && end < TextLength() && IsLowSurrogate(FullText()[std::size_t(end)]))
                ++end;
            ReplaceRange(m_caret, end, String(), true);
        }
        break;
    case VK_INSERT:
        if (ctrl)
            Perform(WM_COPY);
        else if (shift)
            Perform(WM_PASTE);
        break;
    default:
        break;
    }
}

void TCustomEdit::MouseSelect(TPoint P, bool Extend)
{
    const int at = CharFromPos(P).Char;
    if (m_wordSelecting) {
        const int ws = WordStartAt(at), we = WordEndAt(at);
        if (at < m_wordAnchorStart)
            SetSel(m_wordAnchorEnd, ws);
        else
            SetSel(m_wordAnchorStart, std::max(we, m_wordAnchorEnd));
        return;
    }
    SetSel(Extend ? m_anchor : at, at);
}

// The word around `Offset` (its characters only), for double clicks.
int TCustomEdit::WordStartAt(int Offset) const
{
    const int line = LineOfOffset(Offset);
    const String& s = LineText(line);
    int c = std::min(Offset - LineStart(line), int(s.size()));
    const bool word = c < int(s.size()) ? IsWordChar(s[std::size_t(c)]) : (c > 0 && IsWordChar(s[std::size_t(c - 1)]));
    while (c > 0 && IsWordChar(s[std::size_t(c - 1)]) == word && s[std::size_t(c - 1)] != u' ')
        --c;
    return LineStart(line) + c;
}

int TCustomEdit::WordEndAt(int Offset) const
{
    const int line = LineOfOffset(Offset);
    const String& s = LineText(line);
    int c = std::min(Offset - LineStart(line), int(s.size()));
    const bool word = c < int(s.size()) && IsWordChar(s[std::size_t(c)]);
    while (c < int(s.size()) && IsWordChar(s[std::size_t(c)]) == word && s[std::size_t(c)] != u' ')
        ++c;
    // The blanks after a word belong to it.
    while (word && c < int(s.size()) && s[std::size_t(c)] == u' ')
        ++c;
    return LineStart(line) + c;
}

// ---- balloon tips ----

void TCustomEdit::ShowBalloon(const EDITBALLOONTIP& Tip)
{
    m_balloonTitle = Tip.pszTitle ? String(Tip.pszTitle) : String();
    m_balloonText = Tip.pszText ? String(Tip.pszText) : String();
    if (!m_handle)
        return;
    if (!m_balloon)
        m_balloon = std::make_unique<THintWindow>(nullptr);
    const String shown = m_balloonTitle.empty() ? m_balloonText : m_balloonTitle + u"\r\n" + m_balloonText;
    TRect r = m_balloon->CalcHintRect(300, shown, nullptr);
    const TPoint caret = ClientToScreen(PosFromChar(m_caret));
    r.Offset(caret.X, caret.Y + LineHeight() + 2);
    m_balloon->ActivateHint(r, shown);
}

void TCustomEdit::HideBalloon()
{
    if (m_balloon)
        m_balloon->ReleaseHandle();
}

bool TCustomEdit::BalloonShowing() const
{
    return m_balloon && m_balloon->IsHintShowing();
}

// ---- messages ----

void TCustomEdit::DoEnter()
{
    if (m_autoSelect && !m_clickFocusing && !IsMultiLine())
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL | (IsMultiLine() ? DLGC_WANTALLKEYS : 0);
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && !GetComponentState().Contains(csDestroying))
            Change();
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        if (!Focused() && CanFocus()) {
            m_clickFocusing = true;
            struct Reset { bool& f; ~Reset() { f = false; } } reset { m_clickFocusing };
            SetFocus();
        }
        HideBalloon();
        m_mouseSelecting = true;
        m_wordSelecting = Message.Msg == WM_LBUTTONDBLCLK;
        if (m_wordSelecting) {
            const int at = CharFromPos(p).Char;
            m_wordAnchorStart = WordStartAt(at);
            m_wordAnchorEnd = WordEndAt(at);
            SetSel(m_wordAnchorStart, m_wordAnchorEnd);
        } else {
            MouseSelect(p, (Message.WParam & MK_SHIFT) != 0);
        }
        TWinControl::Dispatch(Message);
        return;
    }
    case WM_MOUSEMOVE:
        if (m_mouseSelecting && (Message.WParam & MK_LBUTTON))
            MouseSelect({ GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam) }, true);
        TWinControl::Dispatch(Message);
        return;
    case WM_LBUTTONUP:
        m_mouseSelecting = false;
        m_wordSelecting = false;
        TWinControl::Dispatch(Message);
        return;
    case WM_SETFOCUS:
        TWinControl::Dispatch(Message);
        Invalidate();
        if (m_handle && StyledElement(this, seBorder))
            RedrawWindow(m_handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case WM_KILLFOCUS:
        m_mouseSelecting = false;
        m_wordSelecting = false;
        HideBalloon();
        TWinControl::Dispatch(Message);
        Invalidate();
        if (m_handle && StyledElement(this, seBorder))
            RedrawWindow(m_handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case WM_SIZE:
        LayoutChanged();
        TWinControl::Dispatch(Message);
        return;
    case CM_FONTCHANGED:
        m_lineHeight = 0;
        m_charWidths.clear();
        LayoutChanged();
        TWinControl::Dispatch(Message);
        AdjustHeight();
        return;
    case CM_ENABLEDCHANGED:
        TWinControl::Dispatch(Message);
        Invalidate();
        return;
    case WM_NCPAINT:
        if (m_borderStyle == bsSingle && StyledElement(this, seBorder)) {
            PaintStyledBorder();
            Message.Result = 0;
            return;
        }
        TWinControl::Dispatch(Message);
        return;
    case CM_STYLECHANGED:
        TWinControl::Dispatch(Message);
        if (m_handle)
            RedrawWindow(m_handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case CM_CTL3DCHANGED:
        // The 3-D look picks the frame style, which only a new window takes.
        TWinControl::Dispatch(Message);
        if (m_borderStyle == bsSingle)
            RecreateWnd();
        return;
    default:
        TWinControl::Dispatch(Message);
    }
}

// The frame in the style's edit border colour around the style's window
// colour, in place of the classic sunken edge.
void TCustomEdit::PaintStyledBorder()
{
    HDC dc = GetWindowDC(m_handle);
    if (!dc)
        return;
    RECT wr {};
    GetWindowRect(m_handle, wr);
    const TRect r(0, 0, wr.Right - wr.Left, wr.Bottom - wr.Top);
    TColor border = StyleServices()->GetStyleColor(scBorder);
    StyleServices()->GetElementColor(StyleServices()->GetElementDetails(Focused() ? teEditBorderNoScrollFocused : teEditBorderNoScrollNormal), ecBorderColor, border);
    const TColor inner = ControlColorToRGB(this, IsEnabledInChain() ? m_color : clBtnFace, seClient);
    FillSolid(dc, TRect(r.Left, r.Top, r.Right, r.Top + 1), ColorToRGB(border));
    FillSolid(dc, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), ColorToRGB(border));
    FillSolid(dc, TRect(r.Left, r.Top, r.Left + 1, r.Bottom), ColorToRGB(border));
    FillSolid(dc, TRect(r.Right - 1, r.Top, r.Right, r.Bottom), ColorToRGB(border));
    const TRect in(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    FillSolid(dc, TRect(in.Left, in.Top, in.Right, in.Top + 1), inner);
    FillSolid(dc, TRect(in.Left, in.Bottom - 1, in.Right, in.Bottom), inner);
    FillSolid(dc, TRect(in.Left, in.Top, in.Left + 1, in.Bottom), inner);
    FillSolid(dc, TRect(in.Right - 1, in.Top, in.Right, in.Bottom), inner);
    ReleaseDC(m_handle, dc);
}

namespace {

// The control characters WM_CHAR brings for the editing keys.
constexpr Char CtrlA_SelectAll = 0x01;
constexpr Char CtrlC_Copy = 0x03;
constexpr Char Backspace = 0x08;
constexpr Char CtrlV_Paste = 0x16;
constexpr Char CtrlX_Cut = 0x18;
constexpr Char CtrlZ_Undo = 0x1A;
constexpr Char CtrlBackspace_DeleteWord = 0x7F;

} // namespace

void TCustomEdit::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT: case WM_GETTEXT: case WM_GETTEXTLENGTH:
        TextMessage(Message);
        return;
    case WM_KEYDOWN:
        HideBalloon();
        EditKey(WORD(Message.WParam), GetKeyShiftState());
        Message.Result = 0;
        return;
    case WM_CHAR:
        HideBalloon();
        CharMessage(Char(Message.WParam));
        Message.Result = 0;
        return;
    case WM_CUT: case WM_COPY: case WM_PASTE: case WM_CLEAR:
    case WM_UNDO: case EM_UNDO: case EM_CANUNDO: case EM_EMPTYUNDOBUFFER:
        ClipboardMessage(Message);
        return;
    case EM_GETSEL: case EM_SETSEL: case EM_REPLACESEL:
    case EM_GETRECT: case EM_SETRECT: case EM_SETRECTNP:
    case EM_GETMODIFY: case EM_SETMODIFY: case EM_LIMITTEXT: case EM_GETLIMITTEXT:
    case EM_SETPASSWORDCHAR: case EM_GETPASSWORDCHAR: case EM_SETREADONLY:
        SelectionAndStateMessage(Message);
        return;
    case EM_GETLINECOUNT: case EM_LINEINDEX: case EM_LINELENGTH: case EM_LINEFROMCHAR: case EM_GETLINE:
    case EM_POSFROMCHAR: case EM_CHARFROMPOS:
        LineMessage(Message);
        return;
    case EM_GETFIRSTVISIBLELINE: case EM_LINESCROLL: case EM_SCROLL: case EM_SCROLLCARET:
        ScrollMessage(Message);
        return;
    case EM_SETCUEBANNER: case EM_GETCUEBANNER: case EM_SHOWBALLOONTIP: case EM_HIDEBALLOONTIP:
        HintMessage(Message);
        return;
    default:
        TWinControl::DefaultHandler(Message);
    }
}

void TCustomEdit::TextMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case WM_SETTEXT: {
        const String text = l ? String(reinterpret_cast<const char16_t*>(l)) : String();
        SetAllLines(IsMultiLine() ? SplitLines(text) : std::vector<String> { text });
        m_modified = false;
        Message.Result = TRUE;
        return;
    }
    case WM_GETTEXT: {
        if (w == 0 || !l) {
            Message.Result = 0;
            return;
        }
        const String& text = FullText();
        auto* out = reinterpret_cast<char16_t*>(l);
        const std::size_t n = std::min<std::size_t>(text.size(), w - 1);
        std::copy_n(text.data(), n, out);
        out[n] = 0;
        Message.Result = LRESULT(n);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = TextLength();
        return;
    }
}

void TCustomEdit::CharMessage(Char ch)
{
    switch (ch) {
    case CtrlA_SelectAll: SelectAll(); return;
    case CtrlC_Copy: Perform(WM_COPY); return;
    case CtrlV_Paste: Perform(WM_PASTE); return;
    case CtrlX_Cut: Perform(WM_CUT); return;
    case CtrlZ_Undo: Perform(WM_UNDO); return;
    case Backspace: DeleteBack(); return;
    case CtrlBackspace_DeleteWord:
        if (!GetReadOnly())
            ReplaceRange(GetSelLength() ? GetSelStart() : WordStart(m_caret), GetSelLength() ? GetSelStart() + GetSelLength() : m_caret, String(), true);
        return;
    case u'\r':
    case u'\n':
        if (IsMultiLine() && !GetReadOnly()) {
            m_typing = true;
            struct Reset { bool& f; ~Reset() { f = false; } } reset { m_typing };
            ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), u"\r\n", true);
        }
        return;
    case u'\t':
        if (IsMultiLine())
            TypeChar(ch);
        return;
    default:
        if (ch >= 0x20)
            TypeChar(ch);
        return;
    }
}

// Backspace: the selection, or the character (a whole surrogate pair, or
// the line break) before the caret.
void TCustomEdit::DeleteBack()
{
    if (GetReadOnly()) {
        MessageBeep(MB_OK);
    } else if (GetSelLength()) {
        ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(), true);
    } else if (m_caret > 0) {
        const int line = LineOfOffset(m_caret);
        int from = m_caret - 1;
        if (line > 0 && m_caret == LineStart(line))
            from = m_caret - 2;
        else if (from > 0 && IsLowSurrogate(FullText()[std::size_t(from)]))
            --from;
        ReplaceRange(from, m_caret, String(), true);
    }
}

void TCustomEdit::ClipboardMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CUT: DoCopy(true); return;
    case WM_COPY: DoCopy(false); return;
    case WM_PASTE: DoPaste(); return;
    case WM_CLEAR:
        if (!GetReadOnly())
            ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(), true);
        return;
    case WM_UNDO:
    case EM_UNDO:
        Message.Result = m_undo.valid && !GetReadOnly();
        DoUndo();
        return;
    case EM_CANUNDO: Message.Result = m_undo.valid; return;
    case EM_EMPTYUNDOBUFFER: m_undo.Reset(); return;
    }
}

void TCustomEdit::SelectionAndStateMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_GETSEL: {
        const int a = GetSelStart(), b = a + GetSelLength();
        if (w)
            *reinterpret_cast<DWORD*>(w) = DWORD(a);
        if (l)
            *reinterpret_cast<DWORD*>(l) = DWORD(b);
        Message.Result = LRESULT(MAKELONG(WORD(std::min(a, 0xFFFF)), WORD(std::min(b, 0xFFFF))));
        return;
    }
    case EM_SETSEL:
        SetSel(int(std::intptr_t(w)), int(l));
        return;
    case EM_REPLACESEL: {
        const String text = l ? String(reinterpret_cast<const char16_t*>(l)) : String();
        const int a = GetSelStart(), b = a + GetSelLength();
        ReplaceRange(a, b, text, true);
        // WParam FALSE: the replacement cannot be undone.
        if (!w)
            m_undo.Reset();
        return;
    }
    case EM_GETRECT:
        if (l)
            *reinterpret_cast<RECT*>(l) = FormatRect();
        return;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (l)
            m_formatRect = TRect(*reinterpret_cast<const RECT*>(l));
        else
            m_formatRect.reset();
        LayoutChanged();
        if (Message.Msg == EM_SETRECT)
            Invalidate();
        return;
    case EM_GETMODIFY: Message.Result = m_modified; return;
    case EM_SETMODIFY: m_modified = w != 0; return;
    case EM_LIMITTEXT: SetMaxLength(int(w)); return;
    case EM_GETLIMITTEXT: Message.Result = m_maxLength > 0 ? m_maxLength : 0x7FFFFFFE; return;
    case EM_SETPASSWORDCHAR: SetPasswordChar(Char(w)); return;
    case EM_GETPASSWORDCHAR: Message.Result = m_passwordChar; return;
    case EM_SETREADONLY: SetStyleBit(ES_READONLY, w != 0); Message.Result = TRUE; return;
    }
}

void TCustomEdit::LineMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_GETLINECOUNT: Message.Result = IsMultiLine() ? RowCount() : 1; return;
    case EM_LINEINDEX: {
        int row = int(std::intptr_t(w));
        if (row < 0)
            row = IsMultiLine() ? RowOfOffset(m_caret) : 0;
        if (row >= (IsMultiLine() ? RowCount() : 1)) {
            Message.Result = -1;
            return;
        }
        const TRow r = RowAt(row);
        Message.Result = LineStart(r.Line) + r.Start;
        return;
    }
    case EM_LINELENGTH: {
        const int index = int(std::intptr_t(w));
        if (index < 0) {
            // The unselected characters of the lines the selection touches.
            const int a = GetSelStart(), b = a + GetSelLength();
            const TRow ra = RowAt(IsMultiLine() ? RowOfOffset(a) : 0), rb = RowAt(IsMultiLine() ? RowOfOffset(b) : 0);
            Message.Result = (a - LineStart(ra.Line) - ra.Start) + (LineStart(rb.Line) + rb.End - b);
            return;
        }
        const TRow r = RowAt(IsMultiLine() ? RowOfOffset(index) : 0);
        Message.Result = r.End - r.Start;
        return;
    }
    case EM_LINEFROMCHAR: {
        int index = int(std::intptr_t(w));
        if (index < 0)
            index = GetSelStart();
        Message.Result = IsMultiLine() ? RowOfOffset(index) : 0;
        return;
    }
    case EM_GETLINE: {
        const int row = int(w);
        auto* buf = reinterpret_cast<char16_t*>(l);
        if (!buf || row < 0 || row >= (IsMultiLine() ? RowCount() : 1)) {
            Message.Result = 0;
            return;
        }
        // The first unit of the buffer holds its size.
        const std::size_t room = std::size_t(WORD(buf[0]));
        const TRow r = RowAt(row);
        const String part = LineText(r.Line).substr(std::size_t(r.Start), std::size_t(r.End - r.Start));
        const std::size_t n = std::min(room, part.size());
        std::copy_n(part.data(), n, buf);
        Message.Result = LRESULT(n);
        return;
    }
    case EM_POSFROMCHAR: {
        const int index = int(std::intptr_t(w));
        if (index < 0 || index > TextLength()) {
            Message.Result = -1;
            return;
        }
        const TPoint p = PosFromChar(index);
        Message.Result = MAKELRESULT(WORD(std::int16_t(p.X)), WORD(std::int16_t(p.Y)));
        return;
    }
    case EM_CHARFROMPOS: {
        const TCharPos p = CharFromPos({ GET_X_LPARAM(l), GET_Y_LPARAM(l) });
        Message.Result = MAKELRESULT(WORD(p.Char), WORD(p.Line));
        return;
    }
    }
}

void TCustomEdit::ScrollMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    switch (Message.Msg) {
    case EM_GETFIRSTVISIBLELINE:
        ApplyPendingScroll();
        Message.Result = IsMultiLine() ? m_topRow : 0;
        return;
    case EM_LINESCROLL:
        if (IsMultiLine()) {
            ApplyPendingScroll();
            SetTopRow(m_topRow + int(Message.LParam));
            if (!Wraps())
                SetScrollX(m_scrollX + int(std::intptr_t(w)) * 8);
            Message.Result = TRUE;
        }
        return;
    case EM_SCROLL:
        if (IsMultiLine()) {
            ApplyPendingScroll();
            const int before = m_topRow;
            switch (w) {
            case SB_LINEUP: SetTopRow(m_topRow - 1); break;
            case SB_LINEDOWN: SetTopRow(m_topRow + 1); break;
            case SB_PAGEUP: SetTopRow(m_topRow - VisibleRows()); break;
            case SB_PAGEDOWN: SetTopRow(m_topRow + VisibleRows()); break;
            default: break;
            }
            Message.Result = MAKELRESULT(WORD(m_topRow - before), TRUE);
        }
        return;
    case EM_SCROLLCARET:
        ScrollCaret();
        ApplyPendingScroll();
        Invalidate();
        return;
    }
}

void TCustomEdit::HintMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_SETCUEBANNER:
        SetTextHint(l ? String(reinterpret_cast<const char16_t*>(l)) : String());
        Message.Result = TRUE;
        return;
    case EM_GETCUEBANNER: {
        auto* buf = reinterpret_cast<char16_t*>(w);
        const std::size_t room = std::size_t(l);
        if (!buf || room == 0) {
            Message.Result = FALSE;
            return;
        }
        const std::size_t n = std::min(room - 1, m_textHint.size());
        std::copy_n(m_textHint.data(), n, buf);
        buf[n] = 0;
        Message.Result = TRUE;
        return;
    }
    case EM_SHOWBALLOONTIP:
        if (l)
            ShowBalloon(*reinterpret_cast<const EDITBALLOONTIP*>(l));
        Message.Result = l ? TRUE : FALSE;
        return;
    case EM_HIDEBALLOONTIP:
        HideBalloon();
        Message.Result = TRUE;
        return;
    }
}

// ---- TButtonedEdit ----

void TEditButton::SetVisible(bool v)
{
    if (v == m_visible)
        return;
    m_visible = v;
    m_edit->ButtonsChanged();
}

void TEditButton::SetEnabled(bool v)
{
    if (v == m_enabled)
        return;
    m_enabled = v;
    m_edit->Invalidate();
}

void TEditButton::SetImageIndex(int v)
{
    if (v == m_imageIndex)
        return;
    m_imageIndex = v;
    m_edit->Invalidate();
}

TButtonedEdit::TButtonedEdit(TComponent* AOwner)
    : TCustomEdit(AOwner)
    , m_left(std::make_unique<TEditButton>(this, TEditButton::bpLeft))
    , m_right(std::make_unique<TEditButton>(this, TEditButton::bpRight))
{
}

TButtonedEdit::~TButtonedEdit()
{
    if (m_images)
        m_images->RemoveFreeNotification(this);
}

void TButtonedEdit::SetImages(TCustomImageList* v)
{
    if (v == m_images)
        return;
    if (m_images)
        m_images->RemoveFreeNotification(this);
    m_images = v;
    if (m_images)
        m_images->FreeNotification(this);
    ButtonsChanged();
}

void TButtonedEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_images) {
        m_images = nullptr;
        ButtonsChanged();
    }
}

int TButtonedEdit::ButtonWidth() const
{
    return (m_images ? m_images->GetWidth() : 16) + 4;
}

TRect TButtonedEdit::ButtonRect(const TEditButton* Button)
{
    if (!Button || !Button->m_visible)
        return {};
    const TRect c = GetClientRect();
    if (Button->m_position == TEditButton::bpLeft)
        return { c.Left, c.Top, c.Left + ButtonWidth(), c.Bottom };
    return { c.Right - ButtonWidth(), c.Top, c.Right, c.Bottom };
}

TRect TButtonedEdit::TextArea()
{
    TRect r = GetClientRect();
    if (m_left->m_visible)
        r.Left += ButtonWidth();
    if (m_right->m_visible)
        r.Right -= ButtonWidth();
    return r;
}

void TButtonedEdit::ButtonsChanged()
{
    LayoutChanged();
    Invalidate();
}

TEditButton* TButtonedEdit::ButtonAt(TPoint P)
{
    for (TEditButton* b : { m_left.get(), m_right.get() })
        if (b->m_visible && ButtonRect(b).Contains(P))
            return b;
    return nullptr;
}

void TButtonedEdit::PaintWindow(HDC DC)
{
    TCustomEdit::PaintWindow(DC);
    for (TEditButton* b : { m_left.get(), m_right.get() }) {
        if (!b->m_visible)
            continue;
        const TRect r = ButtonRect(b);
        if (!m_images)
            continue;
        int index = b->m_imageIndex;
        if (!b->m_enabled && b->m_disabledImageIndex >= 0)
            index = b->m_disabledImageIndex;
        else if (b->m_pressed && b->m_pressedImageIndex >= 0)
            index = b->m_pressedImageIndex;
        else if (b->m_hot && b->m_hotImageIndex >= 0)
            index = b->m_hotImageIndex;
        if (index < 0 || index >= m_images->GetCount())
            continue;
        TCanvas canvas;
        canvas.SetHandle(DC);
        const int x = r.Left + (r.Width() - m_images->GetWidth()) / 2 + (b->m_pressed ? 1 : 0);
        const int y = r.Top + (r.Height() - m_images->GetHeight()) / 2 + (b->m_pressed ? 1 : 0);
        m_images->Draw(&canvas, x, y, index, b->m_enabled && GetEnabled());
        canvas.SetHandle(nullptr);
    }
}

void TButtonedEdit::Dispatch(TMessage& Message)
{
    const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (TEditButton* b = ButtonAt(p)) {
            if (b->m_enabled) {
                m_down = b;
                b->m_pressed = true;
                SetMouseCapture(true);
                Invalidate();
            }
            return;
        }
        break;
    case WM_MOUSEMOVE:
        if (m_down) {
            const bool over = ButtonAt(p) == m_down;
            if (over != m_down->m_pressed) {
                m_down->m_pressed = over;
                Invalidate();
            }
            return;
        }
        for (TEditButton* b : { m_left.get(), m_right.get() }) {
            const bool hot = ButtonAt(p) == b;
            if (hot != b->m_hot) {
                b->m_hot = hot;
                Invalidate();
            }
        }
        break;
    case WM_LBUTTONUP:
        if (TEditButton* b = m_down) {
            m_down = nullptr;
            SetMouseCapture(false);
            const bool clicked = b->m_pressed;
            b->m_pressed = false;
            Invalidate();
            if (clicked) {
                if (b == m_left.get() && OnLeftButtonClick)
                    OnLeftButtonClick(this);
                else if (b == m_right.get() && OnRightButtonClick)
                    OnRightButtonClick(this);
            }
            return;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(std::uintptr_t(Message.LParam)) == HTCLIENT) {
            POINT sp {};
            GetCursorPos(sp);
            if (ButtonAt(ScreenToClient(sp))) {
                ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
                Message.Result = TRUE;
                return;
            }
        }
        break;
    default:
        break;
    }
    TCustomEdit::Dispatch(Message);
}
