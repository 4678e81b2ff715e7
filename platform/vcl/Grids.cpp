#include "platform/vcl/Grids.h"

#include <algorithm>
#include <utility>

#include "platform/gdi/Frames.h"
#include "platform/rtl/MathUtils.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TInplaceEdit)
QT_PUBLISHED(TCustomGrid)
QT_PUBLISHED(TDrawGrid)
QT_PUBLISHED(TStringGridStrings)
QT_PUBLISHED(TStringGrid, QT_PROP(ColCount), QT_PROP(RowCount), QT_PROP(FixedCols), QT_PROP(FixedRows),
    QT_PROP(DefaultColWidth), QT_PROP(DefaultRowHeight), QT_PROP(GridLineWidth), QT_PROP(DefaultDrawing),
    QT_PROP_T(FixedColor, u"TColor"), QT_PROP(ScrollBars), QT_PROP(DrawingStyle), QT_PROP(Options))

namespace {

const String kIndexOutOfRange = u"Grid index out of range";

// Where a line lands when `from` moves to `to`: the moved line takes `to`,
// the lines between the two (ends included) shift one towards `from`.
int MovedIndex(int p, int from, int to)
{
    if (p == from)
        return to;
    if (from < to && p > from && p <= to)
        return p - 1;
    if (from > to && p >= to && p < from)
        return p + 1;
    return p;
}

constexpr UINT_PTR kScrollTimer = 1;
constexpr int kSizingZone = 3;

} // namespace

// ---- TGridAxis ----

void TGridAxis::Grow(int capacity)
{
    const int old = int(m_sizes.size());
    if (capacity <= old)
        return;
    Forget();
    const int cap = std::max({ capacity, old * 2, 16 });
    m_sizes.resize(std::size_t(cap), m_default);
    m_tree.assign(std::size_t(cap) + 1, 0);
    for (int i = 1; i <= cap; ++i)
        m_tree[std::size_t(i)] += m_sizes[std::size_t(i - 1)] - m_default;
    for (int i = 1; i <= cap; ++i) {
        const int parent = i + (i & -i);
        if (parent <= cap)
            m_tree[std::size_t(parent)] += m_tree[std::size_t(i)];
    }
}

void TGridAxis::Add(int i, std::int64_t delta)
{
    if (delta == 0)
        return;
    Forget();
    for (int k = i + 1; k < int(m_tree.size()); k += k & -k)
        m_tree[std::size_t(k)] += delta;
}

void TGridAxis::SetCount(int n)
{
    n = std::max(0, n);
    // Lines that leave the count come back later at the default size.
    for (int i = n; i < m_count; ++i)
        SetSize(i, m_default);
    Grow(n);
    m_count = n;
    Forget();
}

void TGridAxis::SetDefaultSize(int v)
{
    m_default = std::max(0, v);
    std::fill(m_sizes.begin(), m_sizes.end(), m_default);
    std::fill(m_tree.begin(), m_tree.end(), 0);
    Forget();
}

int TGridAxis::Size(int i) const
{
    return i >= 0 && i < m_count ? m_sizes[std::size_t(i)] : m_default;
}

void TGridAxis::SetSize(int i, int v)
{
    if (i < 0 || i >= int(m_sizes.size()))
        return;
    v = std::max(0, v);
    Add(i, std::int64_t(v) - m_sizes[std::size_t(i)]);
    m_sizes[std::size_t(i)] = v;
}

std::int64_t TGridAxis::Start(int i) const
{
    i = std::clamp(i, 0, m_count);
    for (const auto& [index, start] : m_cache)
        if (index == i)
            return start;
    std::int64_t sum = std::int64_t(i) * (m_default + m_line);
    for (int k = i; k > 0; k -= k & -k)
        sum += m_tree[std::size_t(k)];
    m_cache[m_cacheNext++ % m_cache.size()] = { i, sum };
    return sum;
}

std::int64_t TGridAxis::StartNear(int from, int i) const
{
    if (i < from || i - from > kNear)
        return Start(i);
    i = std::min(i, m_count);
    std::int64_t sum = Start(from);
    for (int k = from; k < i; ++k)
        sum += m_sizes[std::size_t(k)] + m_line;
    return sum;
}

int TGridAxis::IndexNear(int from, std::int64_t pos) const
{
    std::int64_t sum = from <= m_count ? Start(from) : pos + 1;
    if (sum <= pos) {
        for (int i = from; i < m_count && i < from + kNear; ++i) {
            const std::int64_t next = sum + m_sizes[std::size_t(i)] + m_line;
            if (next > pos)
                return i;
            sum = next;
        }
        if (from + kNear >= m_count)
            return m_count;
    }
    return LastStartingAtOrBefore(pos);
}

int TGridAxis::LastStartingAtOrBefore(std::int64_t pos) const
{
    if (pos < 0)
        return 0;
    const int cap = int(m_tree.size()) - 1;
    int idx = 0;
    std::int64_t acc = 0;
    int step = 1;
    while (step * 2 <= cap)
        step *= 2;
    for (; step > 0 && cap > 0; step /= 2) {
        const int next = idx + step;
        if (next > cap)
            continue;
        const std::int64_t value = acc + std::int64_t(step) * (m_default + m_line) + m_tree[std::size_t(next)];
        if (value <= pos) {
            idx = next;
            acc = value;
        }
    }
    return std::min(idx, m_count);
}

void TGridAxis::Move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_count || to >= m_count)
        return;
    const int lo = std::min(from, to), hi = std::max(from, to);
    std::vector<int> moved(m_sizes.begin() + lo, m_sizes.begin() + hi + 1);
    if (from < to)
        std::rotate(moved.begin(), moved.begin() + 1, moved.end());
    else
        std::rotate(moved.begin(), moved.end() - 1, moved.end());
    for (int i = lo; i <= hi; ++i)
        SetSize(i, moved[std::size_t(i - lo)]);
}

void TGridAxis::Rotate(int first, int middle, int last)
{
    last = std::min(last, int(m_sizes.size()));
    if (first < 0 || first >= middle || middle >= last)
        return;
    const auto begin = m_sizes.begin() + first, end = m_sizes.begin() + last;
    if (std::all_of(begin, end, [&](int v) { return v == *begin; }))
        return;
    std::vector<int> turned(begin, end);
    std::rotate(turned.begin(), turned.begin() + (middle - first), turned.end());
    for (int i = first; i < last; ++i)
        if (turned[std::size_t(i - first)] != m_sizes[std::size_t(i)])
            SetSize(i, turned[std::size_t(i - first)]);
    Forget();
}

// ---- TInplaceEdit ----

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    m_grid = dynamic_cast<TCustomGrid*>(AOwner);
    SetTabStop(false);
    SetBorderStyle(bsNone);
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetVisible(false);
}

bool TInplaceEdit::Visible() const
{
    return GetVisible();
}

void TInplaceEdit::Move(const TRect& Loc)
{
    SetBoundsRect(Loc);
    SetVisible(true);
    AfterBoundsChange();
}

void TInplaceEdit::UpdateLoc(const TRect& Loc)
{
    if (Loc.IsEmpty()) {
        SetVisible(false);
        return;
    }
    Move(Loc);
}

void TInplaceEdit::Hide()
{
    SetVisible(false);
}

void TInplaceEdit::LoadCellLook()
{
    if (!m_grid)
        return;
    const int c = m_grid->GetCol(), r = m_grid->GetRow();
    SetEditMask(m_grid->GetEditMask(c, r));
    SetText(m_grid->GetEditText(c, r));
    SetMaxLength(m_grid->GetEditLimit());
    SelectAll();
}

void TInplaceEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS
            | (m_grid && m_grid->GetOptions().Contains(goTabs) ? DLGC_WANTTAB : 0);
        return;
    }
    TCustomMaskEdit::Dispatch(Message);
}

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (!m_grid || Key == 0)
        return;
    // Keys that leave the cell go to the grid; Left/Right/Home/End only
    // once the caret stands at the edge of the text.
    bool toGrid = false;
    const int len = int(GetEditText().size());
    const bool noSel = GetSelLength() == 0;
    switch (Key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: toGrid = true; break;
    case VK_TAB: toGrid = !Shift.Contains(ssAlt); break;
    case VK_LEFT: case VK_HOME: toGrid = noSel && GetSelStart() == 0; break;
    case VK_RIGHT: case VK_END: toGrid = noSel && GetSelStart() >= len; break;
    default: break;
    }
    if (toGrid) {
        m_grid->KeyDown(Key, Shift);
        Key = 0;
    }
}

void TInplaceEdit::KeyPress(char16_t& Key)
{
    if (m_grid && Key == 27) {
        LoadCellLook(); // back to the stored text
        m_grid->HideEditor();
        m_grid->SetFocus();
        Key = 0;
        return;
    }
    if (m_grid && Key == 13) {
        m_grid->KeyPress(Key);
        Key = 0;
        return;
    }
    if (Key == 9)
        Key = 0;
    TCustomMaskEdit::KeyPress(Key);
}

// ---- TCustomGrid ----

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_cols.SetDefaultSize(64);
    m_rows.SetDefaultSize(24);
    m_cols.SetCount(5);
    m_rows.SetCount(5);
    m_controlStyle = m_controlStyle + TControlStyle { csOpaque, csDoubleClicks };
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_TABSTOP;
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::Resize()
{
    TCustomControl::Resize();
    UpdateScrollRange();
    UpdateEdit();
}

// ---- dimensions ----

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount)
{
    NewColCount = std::max(1, NewColCount);
    NewRowCount = std::max(1, NewRowCount);
    const int oldCols = GetColCount(), oldRows = GetRowCount();
    if (NewColCount == oldCols && NewRowCount == oldRows)
        return;
    if (NewColCount <= m_fixedCols)
        m_fixedCols = NewColCount - 1;
    if (NewRowCount <= m_fixedRows)
        m_fixedRows = NewRowCount - 1;
    m_cols.SetCount(NewColCount);
    m_rows.SetCount(NewRowCount);
    auto clampCoord = [&](TGridCoord& p) {
        p.X = std::clamp(p.X, m_fixedCols, NewColCount - 1);
        p.Y = std::clamp(p.Y, m_fixedRows, NewRowCount - 1);
    };
    clampCoord(m_current);
    clampCoord(m_anchor);
    clampCoord(m_topLeft);
    if (m_editCol >= NewColCount || m_editRow >= NewRowCount)
        HideEdit();
    if (!m_updating) {
        UpdateScrollRange();
        Invalidate();
        UpdateEdit();
    }
    SizeChanged(oldCols, oldRows);
}

void TCustomGrid::SetColCount(int v) { ChangeSize(v, GetRowCount()); }
void TCustomGrid::SetRowCount(int v) { ChangeSize(GetColCount(), v); }

void TCustomGrid::SetFixedCols(int v)
{
    if (v < 0)
        throw EGridException(kIndexOutOfRange);
    if (v >= GetColCount())
        throw EGridException(u"Fixed column count must be less than column count");
    m_fixedCols = v;
    m_topLeft.X = m_current.X = m_anchor.X = v;
    if (!m_updating) {
        UpdateScrollRange();
        Invalidate();
    }
}

void TCustomGrid::SetFixedRows(int v)
{
    if (v < 0)
        throw EGridException(kIndexOutOfRange);
    if (v >= GetRowCount())
        throw EGridException(u"Fixed row count must be less than row count");
    m_fixedRows = v;
    m_topLeft.Y = m_current.Y = m_anchor.Y = v;
    if (!m_updating) {
        UpdateScrollRange();
        Invalidate();
    }
}

void TCustomGrid::SetDefaultColWidth(int v)
{
    m_cols.SetDefaultSize(v);
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v)
{
    m_rows.SetDefaultSize(v);
    RowHeightsChanged();
}

void TCustomGrid::SetSizes(TGridAxis& axis, int i, int v, bool cols)
{
    if (i < 0 || i >= axis.Count() || axis.Size(i) == std::max(0, v))
        return;
    axis.SetSize(i, v);
    if (cols)
        ColWidthsChanged();
    else
        RowHeightsChanged();
}

void TCustomGrid::SetColWidths(int i, int v) { SetSizes(m_cols, i, v, true); }
void TCustomGrid::SetRowHeights(int i, int v) { SetSizes(m_rows, i, v, false); }

void TCustomGrid::SetGridLineWidth(int v)
{
    v = std::max(0, v);
    if (v == m_gridLineWidth)
        return;
    m_gridLineWidth = v;
    m_cols.SetLineWidth(v);
    m_rows.SetLineWidth(v);
    ColWidthsChanged();
}

void TCustomGrid::ColWidthsChanged()
{
    if (m_updating)
        return;
    UpdateScrollRange();
    Invalidate();
    UpdateEdit();
}

void TCustomGrid::RowHeightsChanged()
{
    if (m_updating)
        return;
    UpdateScrollRange();
    Invalidate();
    UpdateEdit();
}

void TCustomGrid::SizeChanged(int, int) { }

void TCustomGrid::SetUpdating(bool v)
{
    if (m_updating == v)
        return;
    m_updating = v;
    if (!v) {
        UpdateScrollRange();
        Invalidate();
        UpdateEdit();
    }
}

int TCustomGrid::ScrollableWidth()
{
    return GetClientWidth() - int(m_cols.Start(m_fixedCols));
}

int TCustomGrid::ScrollableHeight()
{
    return GetClientHeight() - int(m_rows.Start(m_fixedRows));
}

namespace {

// Lines from `first` on that fit wholly into `avail` pixels.
int FullyVisible(const TGridAxis& axis, int first, int avail)
{
    if (avail <= 0 || first >= axis.Count())
        return 0;
    const int last = axis.LastStartingAtOrBefore(axis.Start(first) + avail);
    return std::max(0, last - first);
}

// The smallest first line >= fixed from which the rest fits into `avail`.
int MaxFirst(const TGridAxis& axis, int fixed, int avail)
{
    const std::int64_t target = axis.Start(axis.Count()) - std::max(0, avail);
    if (target <= axis.Start(fixed))
        return fixed;
    const int first = axis.LastStartingAtOrBefore(target - 1) + 1;
    return std::clamp(first, fixed, std::max(fixed, axis.Count() - 1));
}

} // namespace

int TCustomGrid::GetVisibleColCount() { return FullyVisible(m_cols, m_topLeft.X, ScrollableWidth()); }
int TCustomGrid::GetVisibleRowCount() { return FullyVisible(m_rows, m_topLeft.Y, ScrollableHeight()); }
int TCustomGrid::MaxLeftCol() { return MaxFirst(m_cols, m_fixedCols, ScrollableWidth()); }
int TCustomGrid::MaxTopRow() { return MaxFirst(m_rows, m_fixedRows, ScrollableHeight()); }

// ---- geometry ----

int TCustomGrid::LineOrigin(const TGridAxis& axis, int fixed, int first, int i) const
{
    if (i < fixed)
        return int(axis.StartNear(0, i));
    return int(axis.Start(fixed) + axis.StartNear(first, i) - axis.Start(first));
}

TRect TCustomGrid::CellRect(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() || ARow >= GetRowCount())
        return {};
    if ((ACol >= m_fixedCols && ACol < m_topLeft.X) || (ARow >= m_fixedRows && ARow < m_topLeft.Y))
        return {};
    const int x = LineOrigin(m_cols, m_fixedCols, m_topLeft.X, ACol);
    const int y = LineOrigin(m_rows, m_fixedRows, m_topLeft.Y, ARow);
    const int cw = GetClientWidth(), ch = GetClientHeight();
    if (x >= cw || y >= ch)
        return {};
    TRect r(x, y, x + m_cols.Size(ACol), y + m_rows.Size(ARow));
    if (UseRightToLeftAlignment())
        r = TRect(cw - r.Right, r.Top, cw - r.Left, r.Bottom);
    return r;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow)
{
    const TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y)
{
    if (UseRightToLeftAlignment())
        X = GetClientWidth() - 1 - X;
    auto find = [](const TGridAxis& axis, int fixed, int first, int p, int limit) {
        if (p < 0 || p >= limit)
            return -1;
        const std::int64_t fixedEnd = axis.Start(fixed);
        const int i = p < fixedEnd ? axis.IndexNear(0, p) : axis.IndexNear(first, p - fixedEnd + axis.Start(first));
        return i < axis.Count() ? i : -1;
    };
    return { find(m_cols, m_fixedCols, m_topLeft.X, X, GetClientWidth()),
        find(m_rows, m_fixedRows, m_topLeft.Y, Y, GetClientHeight()) };
}

// ---- position and selection ----

TGridRect TCustomGrid::GetSelection() const
{
    TGridRect r { std::min(m_anchor.X, m_current.X), std::min(m_anchor.Y, m_current.Y),
        std::max(m_anchor.X, m_current.X), std::max(m_anchor.Y, m_current.Y) };
    if (m_options.Contains(goRowSelect)) {
        r.Left = m_fixedCols;
        r.Right = GetColCount() - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& v)
{
    auto clampCoord = [&](TGridCoord p) {
        return TGridCoord { std::clamp(p.X, 0, GetColCount()), std::clamp(p.Y, 0, GetRowCount()) };
    };
    m_anchor = clampCoord(v.TopLeft());
    m_current = clampCoord(v.BottomRight());
    Invalidate();
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor)
{
    MoveCurrent(ACol, ARow, MoveAnchor, true);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() || ARow >= GetRowCount())
        throw EGridException(kIndexOutOfRange);
    if (!SelectCell(ACol, ARow))
        return;
    const bool moved = m_current.X != ACol || m_current.Y != ARow;
    if (moved)
        UpdateText();
    m_current = { ACol, ARow };
    if (MoveAnchor || !m_options.Contains(goRangeSelect))
        m_anchor = m_current;
    if (Show)
        ClampInView(m_current);
    Invalidate();
    if (moved) {
        if (m_options.Contains(goAlwaysShowEditor) && m_editorMode)
            UpdateEdit();
        else
            HideEditor();
    }
}

void TCustomGrid::ClampInView(TGridCoord Coord)
{
    int left = m_topLeft.X, top = m_topLeft.Y;
    auto clampAxis = [](const TGridAxis& axis, int fixed, int first, int i, int avail) {
        if (i < fixed)
            return first;
        if (i < first)
            return i;
        if (axis.Start(i + 1) - axis.Start(first) <= avail)
            return first;
        // The first line from which line i ends inside the view.
        const std::int64_t target = axis.Start(i + 1) - avail;
        return std::clamp(axis.LastStartingAtOrBefore(target - 1) + 1, fixed, i);
    };
    left = clampAxis(m_cols, m_fixedCols, left, Coord.X, ScrollableWidth());
    top = clampAxis(m_rows, m_fixedRows, top, Coord.Y, ScrollableHeight());
    MoveTopLeft(left, top);
}

void TCustomGrid::SetLeftCol(int v)
{
    MoveTopLeft(v, m_topLeft.Y);
}

void TCustomGrid::SetTopRow(int v)
{
    MoveTopLeft(m_topLeft.X, v);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop)
{
    ALeft = std::clamp(ALeft, m_fixedCols, std::max(m_fixedCols, GetColCount() - 1));
    ATop = std::clamp(ATop, m_fixedRows, std::max(m_fixedRows, GetRowCount() - 1));
    if (ALeft == m_topLeft.X && ATop == m_topLeft.Y)
        return;
    m_topLeft = { ALeft, ATop };
    UpdateScrollPos();
    Invalidate();
    UpdateEdit();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::SetOptions(TGridOptions v)
{
    if (v == m_options)
        return;
    m_options = v;
    if (!v.Contains(goEditing) || v.Contains(goRowSelect))
        HideEditor();
    else if (v.Contains(goAlwaysShowEditor))
        ShowEditor();
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle v)
{
    if (v == m_scrollBars)
        return;
    m_scrollBars = v;
    UpdateScrollRange();
}

// ---- scroll bars ----

void TCustomGrid::UpdateScrollRange()
{
    if (m_updating || m_inScrollUpdate || !HandleAllocated())
        return;
    m_inScrollUpdate = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_inScrollUpdate };
    const HWND h = GetHandle();
    const bool allowV = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    const bool allowH = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    // Showing one bar narrows the client area, which may call for the other.
    for (int pass = 0; pass < 2; ++pass) {
        ShowScrollBar(h, SB_VERT, allowV && MaxTopRow() > m_fixedRows);
        ShowScrollBar(h, SB_HORZ, allowH && MaxLeftCol() > m_fixedCols);
    }
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = 127;
    si.nPage = 0;
    SetScrollInfo(h, SB_VERT, si, true);
    SetScrollInfo(h, SB_HORZ, si, true);
    // Space freed at the end scrolls back into use.
    const int left = std::min(m_topLeft.X, MaxLeftCol()), top = std::min(m_topLeft.Y, MaxTopRow());
    if (left != m_topLeft.X || top != m_topLeft.Y)
        MoveTopLeft(left, top);
    UpdateScrollPos();
}

void TCustomGrid::UpdateScrollPos()
{
    if (m_updating || !HandleAllocated())
        return;
    auto pos = [](int first, int fixed, int maxFirst) {
        return maxFirst > fixed ? std::clamp(MulDiv(first - fixed, 127, maxFirst - fixed), 0, 127) : 0;
    };
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos(m_topLeft.Y, m_fixedRows, MaxTopRow());
    SetScrollInfo(GetHandle(), SB_VERT, si, true);
    si.nPos = pos(m_topLeft.X, m_fixedCols, MaxLeftCol());
    SetScrollInfo(GetHandle(), SB_HORZ, si, true);
}

void TCustomGrid::WMScroll(TMessage& Message, bool Vertical)
{
    const WORD code = LOWORD(Message.WParam);
    const int pos = std::int16_t(HIWORD(Message.WParam));
    const int fixed = Vertical ? m_fixedRows : m_fixedCols;
    const int first = Vertical ? m_topLeft.Y : m_topLeft.X;
    const int maxFirst = Vertical ? MaxTopRow() : MaxLeftCol();
    const int page = std::max(1, Vertical ? GetVisibleRowCount() : GetVisibleColCount());
    int next = first;
    switch (code) {
    case SB_LINEUP: next = first - 1; break;
    case SB_LINEDOWN: next = first + 1; break;
    case SB_PAGEUP: next = first - page; break;
    case SB_PAGEDOWN: next = first + page; break;
    case SB_THUMBTRACK:
        if (!m_options.Contains(goThumbTracking))
            return;
        [[fallthrough]];
    case SB_THUMBPOSITION: next = fixed + MulDiv(std::clamp(pos, 0, 127), maxFirst - fixed, 127); break;
    case SB_TOP: next = fixed; break;
    case SB_BOTTOM: next = maxFirst; break;
    default: return;
    }
    next = std::clamp(next, fixed, std::max(fixed, maxFirst));
    if (Vertical)
        MoveTopLeft(m_topLeft.X, next);
    else
        MoveTopLeft(next, m_topLeft.Y);
    Message.Result = 0;
}

// ---- painting ----

TGridDrawState TCustomGrid::CellDrawState(int ACol, int ARow, const TGridRect& Sel) const
{
    TGridDrawState s;
    if (ACol < m_fixedCols || ARow < m_fixedRows) {
        s.Include(gdFixed);
        return s;
    }
    const bool current = ACol == m_current.X && ARow == m_current.Y;
    const bool inSel = ACol >= Sel.Left && ACol <= Sel.Right && ARow >= Sel.Top && ARow <= Sel.Bottom;
    if (current && (Focused() || (m_inplaceEdit && m_inplaceEdit->Focused())))
        s.Include(gdFocused);
    if (inSel && (!current || m_options.Contains(goDrawFocusSelected) || m_options.Contains(goRowSelect)))
        s.Include(gdSelected);
    if (m_options.Contains(goRowSelect) && ARow == m_current.Y)
        s.Include(gdRowSelected);
    return s;
}

void TCustomGrid::Paint()
{
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    const TGridRect sel = GetSelection();
    const int lw = m_gridLineWidth;
    std::vector<int> cols, rows;
    auto visible = [lw](const TGridAxis& axis, int fixed, int first, int limit, std::vector<int>& out) {
        int p = 0;
        for (int i = 0; i < fixed && p < limit; ++i) {
            out.push_back(i);
            p += axis.Size(i) + lw;
        }
        for (int i = first; i < axis.Count() && p < limit; ++i) {
            out.push_back(i);
            p += axis.Size(i) + lw;
        }
    };
    visible(m_cols, m_fixedCols, m_topLeft.X, client.Right, cols);
    visible(m_rows, m_fixedRows, m_topLeft.Y, client.Bottom, rows);
    int right = 0, bottom = 0;
    for (int r : rows) {
        for (int c : cols) {
            const TRect rect = CellRect(c, r);
            if (rect.IsEmpty())
                continue;
            const TGridDrawState state = CellDrawState(c, r, sel);
            if (m_defaultDrawing) {
                canvas->GetBrush()->SetColor(state.Contains(gdFixed) ? m_fixedColor
                        : state.Contains(gdSelected) ? clHighlight : GetColor());
                canvas->FillRect(rect);
            }
            DrawCell(c, r, rect, state);
            if (m_defaultDrawing && state.Contains(gdFocused) && !m_options.Contains(goRowSelect)
                && !(m_inplaceEdit && m_inplaceEdit->Visible())) {
                RECT f = rect;
                DrawFocusRect(canvas->GetHandle(), &f);
            }
            if (lw > 0) {
                const bool fixed = state.Contains(gdFixed);
                canvas->GetBrush()->SetColor(fixed ? clBtnShadow : clSilver);
                if (m_options.Contains(fixed ? goFixedVertLine : goVertLine))
                    canvas->FillRect(TRect(rect.Right, rect.Top, rect.Right + lw, rect.Bottom + lw));
                if (m_options.Contains(fixed ? goFixedHorzLine : goHorzLine))
                    canvas->FillRect(TRect(rect.Left, rect.Bottom, rect.Right + lw, rect.Bottom + lw));
            }
            right = std::max(right, rect.Right + lw);
            bottom = std::max(bottom, rect.Bottom + lw);
        }
    }
    // What lies beyond the last column and row.
    canvas->GetBrush()->SetColor(GetColor());
    if (UseRightToLeftAlignment()) {
        canvas->FillRect(TRect(0, 0, client.Right - right, client.Bottom));
    } else {
        canvas->FillRect(TRect(right, 0, client.Right, client.Bottom));
    }
    canvas->FillRect(TRect(0, bottom, client.Right, client.Bottom));
}

void TCustomGrid::InvalidateCell(int ACol, int ARow)
{
    // While updating, the end of the update repaints everything at once.
    if (!HandleAllocated() || m_updating)
        return;
    const TRect r = CellRect(ACol, ARow);
    if (r.IsEmpty())
        return;
    const RECT withLines(r.Left, r.Top, r.Right + m_gridLineWidth, r.Bottom + m_gridLineWidth);
    InvalidateRect(GetHandle(), &withLines, true);
}

void TCustomGrid::InvalidateRow(int ARow)
{
    if (!HandleAllocated() || ARow < 0 || ARow >= GetRowCount())
        return;
    const int y = LineOrigin(m_rows, m_fixedRows, m_topLeft.Y, ARow);
    const RECT r(0, y, GetClientWidth(), y + m_rows.Size(ARow) + m_gridLineWidth);
    InvalidateRect(GetHandle(), &r, true);
}

void TCustomGrid::InvalidateCol(int ACol)
{
    if (!HandleAllocated() || ACol < 0 || ACol >= GetColCount())
        return;
    int x = LineOrigin(m_cols, m_fixedCols, m_topLeft.X, ACol);
    if (UseRightToLeftAlignment())
        x = GetClientWidth() - x - m_cols.Size(ACol) - m_gridLineWidth;
    const RECT r(x, 0, x + m_cols.Size(ACol) + m_gridLineWidth, GetClientHeight());
    InvalidateRect(GetHandle(), &r, true);
}

// ---- moving and deleting lines ----

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= GetColCount() || ToIndex >= GetColCount())
        return;
    m_cols.Move(FromIndex, ToIndex);
    m_current.X = MovedIndex(m_current.X, FromIndex, ToIndex);
    m_anchor.X = MovedIndex(m_anchor.X, FromIndex, ToIndex);
    if (m_editCol >= 0)
        m_editCol = MovedIndex(m_editCol, FromIndex, ToIndex);
    ColumnMoved(FromIndex, ToIndex);
    RepaintEditorAfterMove();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= GetRowCount() || ToIndex >= GetRowCount())
        return;
    m_rows.Move(FromIndex, ToIndex);
    m_current.Y = MovedIndex(m_current.Y, FromIndex, ToIndex);
    m_anchor.Y = MovedIndex(m_anchor.Y, FromIndex, ToIndex);
    if (m_editRow >= 0)
        m_editRow = MovedIndex(m_editRow, FromIndex, ToIndex);
    RowMoved(FromIndex, ToIndex);
    RepaintEditorAfterMove();
}

void TCustomGrid::RepaintEditorAfterMove()
{
    if (m_updating)
        return;
    UpdateScrollRange();
    Invalidate();
    UpdateEdit();
}

void TCustomGrid::ColumnMoved(int, int) { }
void TCustomGrid::RowMoved(int, int) { }

void TCustomGrid::DeleteColumn(int ACol)
{
    if (ACol < 0 || ACol >= GetColCount())
        return;
    MoveColumn(ACol, GetColCount() - 1);
    SetColCount(GetColCount() - 1);
}

void TCustomGrid::DeleteRow(int ARow)
{
    if (ARow < 0 || ARow >= GetRowCount())
        return;
    MoveRow(ARow, GetRowCount() - 1);
    SetRowCount(GetRowCount() - 1);
}

// ---- editor ----

String TCustomGrid::GetEditText(int, int) { return {}; }
void TCustomGrid::SetEditText(int, int, const String&) { }
String TCustomGrid::GetEditMask(int, int) { return {}; }

bool TCustomGrid::CanEditShow()
{
    return m_options.Contains(goEditing) && !m_options.Contains(goRowSelect) && m_editorMode && HandleAllocated();
}

TInplaceEdit* TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(this);
}

void TCustomGrid::SetEditorMode(bool v)
{
    if (v)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    m_editorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor()
{
    m_editorMode = false;
    HideEdit();
}

void TCustomGrid::ShowEditorChar(Char Ch)
{
    ShowEditor();
    if (m_inplaceEdit && m_inplaceEdit->Visible())
        PostMessage(m_inplaceEdit->GetHandle(), WM_CHAR, WPARAM(Ch), 0);
}

void TCustomGrid::InvalidateEditor()
{
    m_editCol = m_editRow = -1;
    UpdateEdit();
}

void TCustomGrid::UpdateEdit()
{
    if (m_updating || !CanEditShow())
        return;
    if (!m_inplaceEdit) {
        m_inplaceEdit = CreateEditor();
        m_inplaceEdit->m_grid = this;
        m_inplaceEdit->SetParent(this);
    }
    const bool hadFocus = Focused() || m_inplaceEdit->Focused();
    if (m_editCol != m_current.X || m_editRow != m_current.Y) {
        m_editCol = m_current.X;
        m_editRow = m_current.Y;
        m_inplaceEdit->LoadCellLook();
    }
    m_inplaceEdit->UpdateLoc(CellRect(m_current.X, m_current.Y));
    if (hadFocus && m_inplaceEdit->Visible() && !m_inplaceEdit->Focused())
        m_inplaceEdit->SetFocus();
}

void TCustomGrid::UpdateText()
{
    if (m_inplaceEdit && m_editCol >= 0 && m_editRow >= 0 && m_inplaceEdit->Visible())
        SetEditText(m_editCol, m_editRow, m_inplaceEdit->GetText());
}

void TCustomGrid::HideEdit()
{
    if (!m_inplaceEdit || m_editCol < 0)
        return;
    UpdateText();
    const bool hadFocus = m_inplaceEdit->Focused();
    m_editCol = m_editRow = -1;
    m_inplaceEdit->Hide();
    if (hadFocus && CanFocus())
        SetFocus();
    InvalidateCell(m_current.X, m_current.Y);
}

void TCustomGrid::DoExit()
{
    TCustomControl::DoExit();
    if (!m_options.Contains(goAlwaysShowEditor) && !(m_inplaceEdit && m_inplaceEdit->Focused()))
        HideEditor();
}

// ---- keyboard ----

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key != 0)
        NavigateKey(Key, Shift);
}

void TCustomGrid::NavigateKey(WORD& Key, TShiftState Shift)
{
    const bool rowSelect = m_options.Contains(goRowSelect);
    const int lastCol = GetColCount() - 1, lastRow = GetRowCount() - 1;
    TGridCoord next = m_current;
    int left = m_topLeft.X, top = m_topLeft.Y;
    bool handled = true;
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_UP: --top; break;
        case VK_DOWN: ++top; break;
        case VK_LEFT: --left; break;
        case VK_RIGHT: ++left; break;
        case VK_PRIOR: next.Y = m_topLeft.Y; break;
        case VK_NEXT: next.Y = m_topLeft.Y + std::max(0, GetVisibleRowCount() - 1); break;
        case VK_HOME: next = { m_fixedCols, m_fixedRows }; break;
        case VK_END: next = { lastCol, lastRow }; break;
        default: handled = false;
        }
    } else {
        const int page = std::max(1, GetVisibleRowCount());
        switch (Key) {
        case VK_UP: --next.Y; break;
        case VK_DOWN: ++next.Y; break;
        case VK_LEFT: if (rowSelect) --left; else --next.X; break;
        case VK_RIGHT: if (rowSelect) ++left; else ++next.X; break;
        case VK_PRIOR: next.Y -= page; top -= page; break;
        case VK_NEXT: next.Y += page; top += page; break;
        case VK_HOME: if (rowSelect) next.Y = m_fixedRows; else next.X = m_fixedCols; break;
        case VK_END: if (rowSelect) next.Y = lastRow; else next.X = lastCol; break;
        case VK_TAB:
            if (!m_options.Contains(goTabs) || Shift.Contains(ssAlt)) {
                handled = false;
                break;
            }
            // Tab walks along the row and wraps into the next or previous one.
            if (Shift.Contains(ssShift)) {
                if (--next.X < m_fixedCols) {
                    next.X = lastCol;
                    if (--next.Y < m_fixedRows)
                        next.Y = lastRow;
                }
            } else if (++next.X > lastCol) {
                next.X = m_fixedCols;
                if (++next.Y > lastRow)
                    next.Y = m_fixedRows;
            }
            Shift.Exclude(ssShift);
            break;
        case VK_F2: ShowEditor(); break;
        default: handled = false;
        }
    }
    if (!handled)
        return;
    next.X = std::clamp(next.X, m_fixedCols, lastCol);
    next.Y = std::clamp(next.Y, m_fixedRows, lastRow);
    if (left != m_topLeft.X || top != m_topLeft.Y)
        MoveTopLeft(std::clamp(left, m_fixedCols, MaxLeftCol()), std::clamp(top, m_fixedRows, MaxTopRow()));
    if (next != m_current)
        MoveCurrent(next.X, next.Y, !(Shift.Contains(ssShift) && m_options.Contains(goRangeSelect)), true);
}

void TCustomGrid::KeyPress(char16_t& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == 13 && !m_options.Contains(goAlwaysShowEditor) && m_options.Contains(goEditing)) {
        if (m_editorMode)
            HideEditor();
        else
            ShowEditor();
        Key = 0;
        return;
    }
    if (Key >= 32 && m_options.Contains(goEditing) && !m_editorMode) {
        ShowEditorChar(Key);
        Key = 0;
    }
}

// ---- mouse ----

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs)
{
    State = gsNormal;
    Index = -1;
    const TGridCoord cell = MouseCoord(X, Y);
    const bool rtl = UseRightToLeftAlignment();
    auto nearEdge = [&](bool cols) {
        const int p = cols ? X : Y;
        // The far edges of the line under the point and the one before.
        const int under = cols ? cell.X : cell.Y;
        for (int i : { under, under - 1 }) {
            if (i < 0)
                continue;
            const TRect r = cols ? CellRect(i, std::max(0, cell.Y)) : CellRect(std::max(0, cell.X), i);
            if (r.IsEmpty())
                continue;
            const int edge = cols ? (rtl ? r.Left : r.Right) : r.Bottom;
            if (std::abs(p - edge) <= kSizingZone) {
                Index = i;
                SizingPos = p;
                SizingOfs = p - edge;
                return true;
            }
        }
        return false;
    };
    if (m_options.Contains(goColSizing) && Y >= 0 && Y < m_rows.Start(m_fixedRows) && nearEdge(true))
        State = gsColSizing;
    else if (m_options.Contains(goRowSizing) && X >= 0 && X < m_cols.Start(m_fixedCols) && nearEdge(false))
        State = gsRowSizing;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused() && !(m_inplaceEdit && m_inplaceEdit->Focused()))
            SetFocus();
        TGridState sizing;
        CalcSizingState(X, Y, sizing, m_sizingIndex, m_sizingPos, m_sizingOfs);
        if (sizing != gsNormal) {
            m_gridState = sizing;
        } else {
            const TGridCoord cell = MouseCoord(X, Y);
            const bool fixedRow = cell.Y >= 0 && cell.Y < m_fixedRows;
            const bool fixedCol = cell.X >= 0 && cell.X < m_fixedCols;
            if (fixedRow && cell.X >= m_fixedCols && m_options.Contains(goColMoving)) {
                m_gridState = gsColMoving;
                m_moveIndex = m_movePos = cell.X;
            } else if (fixedCol && cell.Y >= m_fixedRows && m_options.Contains(goRowMoving)) {
                m_gridState = gsRowMoving;
                m_moveIndex = m_movePos = cell.Y;
            } else if (cell.X >= m_fixedCols && cell.Y >= m_fixedRows) {
                if (m_options.Contains(goEditing) && cell == m_current && !Shift.Contains(ssDouble)) {
                    ShowEditor();
                } else {
                    MoveCurrent(cell.X, cell.Y, !(Shift.Contains(ssShift) && m_options.Contains(goRangeSelect)), true);
                    m_gridState = gsSelecting;
                    SetTimer(GetHandle(), kScrollTimer, 60, nullptr);
                    if (Shift.Contains(ssDouble) && m_options.Contains(goEditing))
                        ShowEditor();
                }
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::SelectAt(int X, int Y, bool extend)
{
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < m_fixedCols || cell.Y < m_fixedRows || cell == m_current)
        return;
    MoveCurrent(cell.X, cell.Y, !extend, true);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    switch (m_gridState) {
    case gsSelecting:
        SelectAt(X, Y, m_options.Contains(goRangeSelect));
        break;
    case gsColSizing:
        m_sizingPos = X;
        break;
    case gsRowSizing:
        m_sizingPos = Y;
        break;
    case gsColMoving: case gsRowMoving: {
        const TGridCoord cell = MouseCoord(X, Y);
        const int i = m_gridState == gsColMoving ? cell.X : cell.Y;
        if (i >= (m_gridState == gsColMoving ? m_fixedCols : m_fixedRows))
            m_movePos = i;
        break;
    }
    default: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TGridState state = m_gridState;
    m_gridState = gsNormal;
    switch (state) {
    case gsSelecting:
        KillTimer(GetHandle(), kScrollTimer);
        SelectAt(X, Y, m_options.Contains(goRangeSelect));
        break;
    case gsColSizing: case gsRowSizing: {
        const bool cols = state == gsColSizing;
        const TRect r = cols ? CellRect(m_sizingIndex, 0) : CellRect(0, m_sizingIndex);
        const int edge = (cols ? X : Y) - m_sizingOfs;
        int size = cols ? (UseRightToLeftAlignment() ? r.Right - edge : edge - r.Left) : edge - r.Top;
        if (cols)
            SetColWidths(m_sizingIndex, std::max(0, size));
        else
            SetRowHeights(m_sizingIndex, std::max(0, size));
        break;
    }
    case gsColMoving:
        if (m_movePos != m_moveIndex)
            MoveColumn(m_moveIndex, m_movePos);
        break;
    case gsRowMoving:
        if (m_movePos != m_moveIndex)
            MoveRow(m_moveIndex, m_movePos);
        break;
    default: break;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::WMTimer(TMessage& Message)
{
    if (Message.WParam != kScrollTimer || m_gridState != gsSelecting) {
        TCustomControl::Dispatch(Message);
        return;
    }
    // Selecting past an edge scrolls one line per tick towards the pointer.
    POINT p;
    GetCursorPos(p);
    p = ScreenToClient(p);
    int col = m_current.X, row = m_current.Y;
    if (p.Y < m_rows.Start(m_fixedRows) && m_topLeft.Y > m_fixedRows) {
        MoveTopLeft(m_topLeft.X, m_topLeft.Y - 1);
        row = m_topLeft.Y;
    } else if (p.Y >= GetClientHeight() && m_topLeft.Y < MaxTopRow()) {
        MoveTopLeft(m_topLeft.X, m_topLeft.Y + 1);
        row = std::min(GetRowCount() - 1, m_topLeft.Y + GetVisibleRowCount() - 1);
    }
    if (p.X < m_cols.Start(m_fixedCols) && m_topLeft.X > m_fixedCols) {
        MoveTopLeft(m_topLeft.X - 1, m_topLeft.Y);
        col = m_topLeft.X;
    } else if (p.X >= GetClientWidth() && m_topLeft.X < MaxLeftCol()) {
        MoveTopLeft(m_topLeft.X + 1, m_topLeft.Y);
        col = std::min(GetColCount() - 1, m_topLeft.X + GetVisibleColCount() - 1);
    }
    if (col != m_current.X || row != m_current.Y)
        MoveCurrent(col, row, !m_options.Contains(goRangeSelect), false);
}

void TCustomGrid::WMSetCursor(TMessage& Message)
{
    if (LOWORD(Message.LParam) == HTCLIENT && m_gridState == gsNormal) {
        POINT p;
        GetCursorPos(p);
        p = ScreenToClient(p);
        TGridState state;
        int index, pos, ofs;
        CalcSizingState(p.X, p.Y, state, index, pos, ofs);
        if (state != gsNormal) {
            ::SetCursor(CursorHandle(state == gsColSizing ? crHSplit : crVSplit));
            Message.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(Message);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    if (!TCustomControl::DoMouseWheelDown(Shift, MousePos) && m_current.Y < GetRowCount() - 1)
        SetRow(m_current.Y + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    if (!TCustomControl::DoMouseWheelUp(Shift, MousePos) && m_current.Y > m_fixedRows)
        SetRow(m_current.Y - 1);
    return true;
}

void TCustomGrid::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | (m_options.Contains(goTabs) ? DLGC_WANTTAB : 0)
            | (m_options.Contains(goEditing) ? DLGC_WANTCHARS : 0);
        return;
    case WM_VSCROLL: WMScroll(Message, true); return;
    case WM_HSCROLL: WMScroll(Message, false); return;
    case WM_TIMER: WMTimer(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_CANCELMODE:
        if (HandleAllocated())
            KillTimer(GetHandle(), kScrollTimer);
        m_gridState = gsNormal;
        TCustomControl::Dispatch(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

// ---- TDrawGrid ----

bool TDrawGrid::SelectCell(int ACol, int ARow)
{
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);
}

String TDrawGrid::GetEditText(int ACol, int ARow)
{
    String v;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const String& Value)
{
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

String TDrawGrid::GetEditMask(int ACol, int ARow)
{
    String v;
    if (OnGetEditMask)
        OnGetEditMask(this, ACol, ARow, v);
    return v;
}

// ---- TStringGridStrings ----

int TStringGridStrings::GetCount() const
{
    return m_isRow ? m_grid->GetColCount() : m_grid->GetRowCount();
}

String TStringGridStrings::Get(int index) const
{
    return m_isRow ? m_grid->GetCells(index, m_index) : m_grid->GetCells(m_index, index);
}

void TStringGridStrings::Put(int index, const String& s)
{
    if (m_isRow)
        m_grid->SetCells(index, m_index, s);
    else
        m_grid->SetCells(m_index, index, s);
}

TObject* TStringGridStrings::GetObject(int index) const
{
    return m_isRow ? m_grid->GetObjects(index, m_index) : m_grid->GetObjects(m_index, index);
}

void TStringGridStrings::PutObject(int index, TObject* obj)
{
    if (m_isRow)
        m_grid->SetObjects(index, m_index, obj);
    else
        m_grid->SetObjects(m_index, index, obj);
}

void TStringGridStrings::Insert(int, const String&)
{
    throw EGridException(u"Grid lines cannot be inserted this way");
}

void TStringGridStrings::Delete(int)
{
    throw EGridException(u"Grid lines cannot be deleted this way");
}

void TStringGridStrings::Clear()
{
    for (int i = 0; i < GetCount(); ++i) {
        Put(i, String());
        PutObject(i, nullptr);
    }
}

void TStringGridStrings::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TStrings*>(Source);
    if (!src) {
        TStrings::Assign(Source);
        return;
    }
    if (src == this)
        return;
    // Copy first: the source may be another line of the same grid.
    std::vector<std::pair<String, TObject*>> items;
    for (int i = 0; i < src->GetCount(); ++i)
        items.emplace_back(src->GetStrings(i), src->GetObjects(i));
    Clear();
    for (int i = 0; i < int(items.size()); ++i) {
        Put(i, items[std::size_t(i)].first);
        PutObject(i, items[std::size_t(i)].second);
    }
}

// ---- TStringGrid ----

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) { }
TStringGrid::~TStringGrid() = default;

const String& TStringGrid::EmptyCellText()
{
    static const String empty;
    return empty;
}

TStringGrid::TCellSlot& TStringGrid::Slot(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        throw EGridException(kIndexOutOfRange);
    if (ARow >= int(m_store.size()))
        m_store.resize(std::size_t(ARow) + 1);
    auto& row = m_store[std::size_t(ARow)];
    if (ACol >= int(row.size()))
        row.resize(std::size_t(std::max(ACol + 1, GetColCount())));
    return row[std::size_t(ACol)];
}

void TStringGrid::SetStoredCell(int ACol, int ARow, const String& Value)
{
    if (Value.empty() && ACol >= 0 && ARow >= 0) {
        if (FindSlot(ACol, ARow))
            String().swap(Slot(ACol, ARow).Text);
        return;
    }
    Slot(ACol, ARow).Text = Value;
}

bool TStringGrid::EmptyStoredCell(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ARow >= int(m_store.size()))
        return false;
    auto& row = m_store[std::size_t(ARow)];
    if (ACol >= int(row.size()) || row[std::size_t(ACol)].Text.empty())
        return false;
    String().swap(row[std::size_t(ACol)].Text);
    return true;
}

int TStringGrid::GetStoredColCount(int ARow) const
{
    return ARow >= 0 && ARow < int(m_store.size()) ? int(m_store[std::size_t(ARow)].size()) : 0;
}

void TStringGrid::SetStoredObject(int ACol, int ARow, TObject* Value)
{
    if (!Value && ACol >= 0 && ARow >= 0 && !FindSlot(ACol, ARow))
        return;
    Slot(ACol, ARow).Object = Value;
}

TStringGrid::TStoredRow TStringGrid::TakeStoredRow(int ARow)
{
    if (ARow < 0 || ARow >= int(m_store.size()))
        return {};
    return std::exchange(m_store[std::size_t(ARow)], TStoredRow());
}

void TStringGrid::PutStoredRow(int ARow, TStoredRow Row)
{
    if (ARow < 0)
        throw EGridException(kIndexOutOfRange);
    if (ARow >= int(m_store.size())) {
        if (Row.empty())
            return;
        m_store.resize(std::size_t(ARow) + 1);
    }
    m_store[std::size_t(ARow)] = std::move(Row);
}

void TStringGrid::ExchangeStoredRows(int ARow1, int ARow2)
{
    if (ARow1 < 0 || ARow2 < 0)
        throw EGridException(kIndexOutOfRange);
    if (ARow1 == ARow2)
        return;
    const int Need = std::max(ARow1, ARow2);
    if (Need >= int(m_store.size())) {
        const int Other = ARow1 == Need ? ARow2 : ARow1;
        if (Other >= int(m_store.size()) || m_store[std::size_t(Other)].empty())
            return; // both empty
        m_store.resize(std::size_t(Need) + 1);
    }
    std::swap(m_store[std::size_t(ARow1)], m_store[std::size_t(ARow2)]);
}

void TStringGrid::RotateStoredRows(int First, int Middle, int Last)
{
    if (First < 0 || First >= Middle || Middle >= Last)
        return;
    // Rows beyond the store are empty: the store grows only when a stored
    // row has to move there.
    const int Stored = int(m_store.size());
    if (First >= Stored)
        return;
    if (Last > Stored)
        m_store.resize(std::size_t(Last));
    std::rotate(m_store.begin() + First, m_store.begin() + Middle, m_store.begin() + Last);
}

void TStringGrid::InsertStoredCols(int ACol, int Count)
{
    if (ACol < 0 || Count <= 0)
        return;
    for (auto& row : m_store)
        if (ACol < int(row.size()))
            row.insert(row.begin() + ACol, std::size_t(Count), TCellSlot());
}

void TStringGrid::DeleteStoredCols(int ACol, int Count)
{
    if (ACol < 0 || Count <= 0)
        return;
    for (auto& row : m_store)
        if (ACol < int(row.size()))
            row.erase(row.begin() + ACol, row.begin() + std::min(int(row.size()), ACol + Count));
}

void TStringGrid::ExchangeStoredCols(int ACol1, int ACol2)
{
    if (ACol1 < 0 || ACol2 < 0 || ACol1 == ACol2)
        return;
    const std::size_t Need = std::size_t(std::max(ACol1, ACol2)) + 1;
    for (auto& row : m_store) {
        if (row.size() <= std::size_t(std::min(ACol1, ACol2)))
            continue; // neither cell is stored
        if (row.size() < Need)
            row.resize(Need);
        std::swap(row[std::size_t(ACol1)], row[std::size_t(ACol2)]);
    }
}

bool TStringGrid::HasStoredSlot(int ACol, int ARow) const
{
    return FindSlot(ACol, ARow) != nullptr;
}

void TStringGrid::SetCells(int ACol, int ARow, const String& Value)
{
    SetStoredCell(ACol, ARow, Value);
    InvalidateCell(ACol, ARow);
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value)
{
    SetStoredObject(ACol, ARow, Value);
}

TStrings* TStringGrid::GetRows(int ARow)
{
    auto& list = m_rowLists[ARow];
    if (!list)
        list = std::make_unique<TStringGridStrings>(this, ARow, true);
    return list.get();
}

TStrings* TStringGrid::GetCols(int ACol)
{
    auto& list = m_colLists[ACol];
    if (!list)
        list = std::make_unique<TStringGridStrings>(this, ACol, false);
    return list.get();
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    const int lo = std::min(FromIndex, ToIndex), hi = std::max(FromIndex, ToIndex);
    for (auto& row : m_store) {
        if (int(row.size()) <= lo)
            continue;
        if (int(row.size()) <= hi)
            row.resize(std::size_t(hi) + 1);
        if (FromIndex < ToIndex)
            std::rotate(row.begin() + lo, row.begin() + lo + 1, row.begin() + hi + 1);
        else
            std::rotate(row.begin() + lo, row.begin() + hi, row.begin() + hi + 1);
    }
    Invalidate();
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    const int lo = std::min(FromIndex, ToIndex), hi = std::max(FromIndex, ToIndex);
    if (int(m_store.size()) > lo) {
        if (int(m_store.size()) <= hi)
            m_store.resize(std::size_t(hi) + 1);
        if (FromIndex < ToIndex)
            std::rotate(m_store.begin() + lo, m_store.begin() + lo + 1, m_store.begin() + hi + 1);
        else
            std::rotate(m_store.begin() + lo, m_store.begin() + hi, m_store.begin() + hi + 1);
    }
    Invalidate();
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

String TStringGrid::GetEditText(int ACol, int ARow)
{
    String v = GetCells(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, v);
    return v;
}

void TStringGrid::SetEditText(int ACol, int ARow, const String& Value)
{
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (GetDefaultDrawing()) {
        TCanvas* canvas = GetCanvas();
        canvas->SetFont(GetFont());
        if (AState.Contains(gdSelected) && !AState.Contains(gdFixed))
            canvas->GetFont()->SetColor(clHighlightText);
        canvas->GetBrush()->SetStyle(bsClear);
        canvas->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, GetCells(ACol, ARow));
        canvas->GetBrush()->SetStyle(bsSolid);
    }
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}
