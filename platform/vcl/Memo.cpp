#include "platform/vcl/Memo.h"

#include <algorithm>

#include "platform/win/System.h"

QT_PUBLISHED(TMemoStrings)
QT_PUBLISHED(TCustomMemo, QT_PROP(Lines), QT_PROP(WordWrap), QT_PROP(ScrollBars), QT_PROP(WantReturns),
    QT_PROP(WantTabs))
QT_PUBLISHED(TMemo)

namespace {

bool PrintableAscii(const String& s)
{
    return std::all_of(s.begin(), s.end(), [](Char c) { return c >= 0x20 && c <= 0x7E; });
}

Char FoldAscii(Char c)
{
    return c >= u'A' && c <= u'Z' ? Char(c + 32) : c;
}

// Caseless equality of two printable ASCII texts. The collator that
// CompareStrings uses gives every printable ASCII character its own
// primary weight, letters of either case sharing one, and ignores none of
// them, so folding the case decides equality exactly.
bool SameAsciiText(const String& a, const String& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

constexpr std::uint64_t kNotPlain = 0;

std::uint64_t FoldHash(const String& s)
{
    std::uint64_t h = 1469598103934665603ull;
    for (Char c : s) {
        h ^= FoldAscii(c);
        h *= 1099511628211ull;
    }
    return h == kNotPlain ? 1 : h;
}

} // namespace

// ---- TMemoStrings ----

int TMemoStrings::GetCount() const
{
    const int n = m_memo->LineCount();
    return m_memo->LineText(n - 1).empty() ? n - 1 : n;
}

String TMemoStrings::Get(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error(u"List index out of bounds (%d)", Index);
    return m_memo->LineText(Index);
}

void TMemoStrings::Put(int Index, const String& S)
{
    if (Index < 0 || Index >= GetCount())
        Error(u"List index out of bounds (%d)", Index);
    m_memo->PutLine(Index, S);
}

void TMemoStrings::Insert(int Index, const String& S)
{
    if (Index < 0 || Index > GetCount())
        Error(u"List index out of bounds (%d)", Index);
    // Before an existing line (the final empty one included) the new line
    // takes its place; after a last line with text it follows a new break.
    m_memo->InsertLines(Index, { S });
}

void TMemoStrings::Delete(int Index)
{
    if (Index < 0 || Index >= GetCount())
        Error(u"List index out of bounds (%d)", Index);
    m_memo->DeleteLine(Index);
}

void TMemoStrings::Clear()
{
    m_memo->SetAllLines({});
}

void TMemoStrings::SyncIndex() const
{
    const int count = m_memo->LineCount();
    const int stale = std::min(m_memo->TakeFirstChangedLine(), int(m_lineHash.size()));
    for (int l = int(m_lineHash.size()) - 1; l >= stale; --l) {
        const std::uint64_t h = m_lineHash[std::size_t(l)];
        if (h == kNotPlain)
            continue;
        for (auto [it, end] = m_index.equal_range(h); it != end; ++it)
            if (it->second == l) {
                m_index.erase(it);
                break;
            }
    }
    m_lineHash.resize(std::size_t(stale));
    while (!m_otherLines.empty() && m_otherLines.back() >= stale)
        m_otherLines.pop_back();
    for (int l = stale; l < count; ++l) {
        if (m_memo->LinePlain(l)) {
            const std::uint64_t h = FoldHash(m_memo->LineText(l));
            m_index.emplace(h, l);
            m_lineHash.push_back(h);
        } else {
            m_lineHash.push_back(kNotPlain);
            m_otherLines.push_back(l);
        }
    }
}

int TMemoStrings::IndexOf(const String& S) const
{
    const int n = GetCount();
    if (!PrintableAscii(S)) {
        for (int i = 0; i < n; ++i)
            if (CompareStrings(m_memo->LineText(i), S) == 0)
                return i;
        return -1;
    }
    SyncIndex();
    int best = n;
    for (auto [it, end] = m_index.equal_range(FoldHash(S)); it != end; ++it)
        if (it->second < best && SameAsciiText(m_memo->LineText(it->second), S))
            best = it->second;
    // A line with other characters may still equal S for the collator
    // (characters it ignores, say): those before the match are compared.
    for (int l : m_otherLines) {
        if (l >= best)
            break;
        if (CompareStrings(m_memo->LineText(l), S) == 0)
            return l;
    }
    return best < n ? best : -1;
}

String TMemoStrings::GetText() const
{
    String text = m_memo->FullText();
    // Every counted line ends with a break, as a string list's text does.
    if (!text.empty() && !m_memo->LineText(m_memo->LineCount() - 1).empty())
        text += u"\r\n";
    return text;
}

void TMemoStrings::SetText(const String& Text)
{
    m_memo->SetText(Text);
}

// ---- TCustomMemo ----

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), m_lines(std::make_unique<TMemoStrings>(this))
{
    m_controlStyle.Exclude(csFixedHeight);
    SetStyleBit(ES_MULTILINE, true);
    SetStyleBit(ES_AUTOVSCROLL, true);
    SetStyleBit(ES_WANTRETURN, true);
    SetStyleBit(ES_AUTOHSCROLL, false);
    SetAutoSelect(false);
    m_autoSize = false;
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo()
{
    m_vert.reset();
    m_horz.reset();
}

void TCustomMemo::SetWordWrap(bool v)
{
    if (v == m_wordWrap)
        return;
    m_wordWrap = v;
    SetStyleBit(ES_AUTOHSCROLL, !v);
    SetScrollX(0);
    UpdateScrollBars();
}

void TCustomMemo::SetScrollBars(TScrollStyle v)
{
    if (v == m_scrollBars)
        return;
    m_scrollBars = v;
    LayoutChanged();
    UpdateScrollBars();
    Invalidate();
}

void TCustomMemo::SetWantReturns(bool v)
{
    m_wantReturns = v;
    SetStyleBit(ES_WANTRETURN, v);
}

TPoint TCustomMemo::GetCaretPos()
{
    const int at = GetSelStart() + GetSelLength();
    const int row = int(Perform(EM_LINEFROMCHAR, WPARAM(at)));
    const int start = int(Perform(EM_LINEINDEX, WPARAM(row)));
    return { at - start, row };
}

void TCustomMemo::SetCaretPos(TPoint v)
{
    const LRESULT start = Perform(EM_LINEINDEX, WPARAM(std::max(0, v.Y)));
    if (start < 0)
        return;
    const int at = int(start) + std::max(0, v.X);
    SetSel(at, at);
}

void TCustomMemo::KeyPress(char16_t& Key)
{
    TCustomEdit::KeyPress(Key);
    if ((Key == u'\r' && !m_wantReturns) || (Key == u'\t' && !m_wantTabs))
        Key = 0;
}

void TCustomMemo::Dispatch(TMessage& Message)
{
    TCustomEdit::Dispatch(Message);
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        if (m_wantTabs)
            Message.Result |= DLGC_WANTTAB;
        else
            Message.Result &= ~DLGC_WANTTAB;
        if (!m_wantReturns)
            Message.Result &= ~DLGC_WANTALLKEYS;
        break;
    case WM_SIZE:
        UpdateScrollBars();
        break;
    case WM_MOUSEWHEEL:
        if (!Message.Result) {
            const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
            Perform(EM_LINESCROLL, 0, LPARAM(-delta / WHEEL_DELTA * 3));
            Message.Result = 1;
        }
        break;
    default:
        break;
    }
}

TScrollBar* TCustomMemo::MakeBar(TScrollBarKind Kind)
{
    auto* bar = new TScrollBar(nullptr);
    bar->SetKind(Kind);
    bar->SetTabStop(false);
    bar->SetParent(this);
    bar->OnChange = [this, bar](TObject*) {
        if (m_syncingBars)
            return;
        m_syncingBars = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_syncingBars };
        if (bar->GetKind() == sbVertical)
            SetTopRow(bar->GetPosition());
        else
            SetScrollX(bar->GetPosition());
    };
    return bar;
}

TRect TCustomMemo::TextArea()
{
    TRect r = GetClientRect();
    if (HasVert())
        r.Right -= GetSystemMetrics(SM_CXVSCROLL);
    if (HasHorz())
        r.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
    return r;
}

void TCustomMemo::UpdateScrollBars()
{
    if (m_syncingBars)
        return;
    m_syncingBars = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_syncingBars };
    const TRect client = GetClientRect();
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    if (HasVert()) {
        if (!m_vert)
            m_vert.reset(MakeBar(sbVertical));
        m_vert->SetBounds(client.Right - cx, 0, cx, std::max(0, client.Height() - (HasHorz() ? cy : 0)));
        const int rows = RowCount(), page = std::min(VisibleRows(), rows);
        m_vert->SetPageSize(0);
        m_vert->SetParams(TopRow(), 0, std::max(0, rows - 1));
        m_vert->SetPageSize(std::max(1, page));
        m_vert->SetLargeChange(std::max(1, VisibleRows()));
        m_vert->SetVisible(true);
    } else if (m_vert) {
        m_vert->SetVisible(false);
    }
    if (HasHorz()) {
        if (!m_horz)
            m_horz.reset(MakeBar(sbHorizontal));
        m_horz->SetBounds(0, client.Bottom - cy, std::max(0, client.Width() - (HasVert() ? cx : 0)), cy);
        const int width = std::max(1, FormatRect().Width());
        const int range = std::max(WidestLine() + 4, width);
        m_horz->SetPageSize(0);
        m_horz->SetParams(std::min(ScrollX(), range), 0, range - 1);
        m_horz->SetPageSize(width);
        m_horz->SetSmallChange(8);
        m_horz->SetLargeChange(std::max(1, width));
        m_horz->SetVisible(true);
    } else if (m_horz) {
        m_horz->SetVisible(false);
    }
}

void TCustomMemo::ScrollChanged()
{
    if (m_syncingBars)
        return;
    m_syncingBars = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_syncingBars };
    if (m_vert && m_vert->GetVisible())
        m_vert->SetPosition(std::min(TopRow(), m_vert->GetMax()));
    if (m_horz && m_horz->GetVisible())
        m_horz->SetPosition(std::min(ScrollX(), m_horz->GetMax()));
}

void TCustomMemo::PaintWindow(HDC DC)
{
    TCustomEdit::PaintWindow(DC);
    // Ranges follow the text lazily: a run of appended lines sets them once.
    UpdateScrollBars();
}
