// Find and replace: the cell searches that walk the grid in a chosen order
// (Find, FindWide, FindFirst, FindNext, FindAll, Replace), the row search
// with one condition per column (FindMulti) and the type-ahead search.

#include <algorithm>
#include <unordered_set>

#include "grid/core/GridFilterMatch.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

namespace {

// The range a search walks, inclusive on both ends.
struct TFindRange {
    int Left { 0 };
    int Top { 0 };
    int Right { -1 };
    int Bottom { -1 };
};

std::uint64_t CellKey(TPoint p) { return (std::uint64_t(std::uint32_t(p.X)) << 32) | std::uint32_t(p.Y); }

// BeginUpdate / EndUpdate around one scope.
struct TUpdateScope {
    TDedOzovedUrad& G;
    explicit TUpdateScope(TDedOzovedUrad& Grid) : G(Grid) { G.BeginUpdate(); }
    ~TUpdateScope() { G.EndUpdate(); }
};

bool IsTwoQuotes(const String& s) { return s == u"\"\""; }

// 1-based position of Sub in S; 0 when absent, and for an empty Sub.
std::size_t PosOf(const String& Sub, const String& S)
{
    if (Sub.empty())
        return 0;
    const auto p = S.find(Sub);
    return p == String::npos ? 0 : p + 1;
}

} // namespace

// ---- the cell walk ----

TPoint TDedOzovedUrad::FindCell(TPoint StartCell, const String& s, const String& ws, TFindParams P, bool Wide)
{
    TPoint Result { -1, -1 };
    const int FocusRow = GetRow();
    FFindParams = P;
    FFindBusy = true;

    FSearchCache = P.Contains(fnMatchCase) ? s : AnsiUpperCase(s);
    if (P.Contains(fnIgnoreAccents))
        FSearchCache = VuzEraz::StripAccents(FSearchCache);
    FSearchCacheWide = P.Contains(fnMatchCase) ? ws : AnsiUpperCase(ws);

    if (GetColCount() == GetFixedCols() || GetColCount() == 0 || GetRowCount() + NumHiddenRows() == GetFixedRows()
        || GetRowCount() == 0)
        return Result;

    TFindRange R;
    if (P.Contains(fnIncludeFixed)) {
        R = { 0, 0, GetColCount() - 1, GetRowCount() - 1 };
    } else {
        R = { GetFixedCols(), GetFixedRows(), GetColCount() - FFixedRightCols - 1,
            GetRowCount() - FFixedFooters - 1 };
    }
    if (P.Contains(fnSelectedCells)) {
        const TGridRect Sel = GetSelection();
        R = { Sel.Left, Sel.Top, Sel.Right, Sel.Bottom };
    }
    if (P.Contains(fnIncludeHiddenColumns))
        R.Right += NumHiddenColumns();
    if (P.Contains(fnIncludeHiddenRows))
        R.Bottom += NumHiddenRows();

    // The restrictions make the range one row or one column wide.
    if (P.Contains(fnFindInCurrentRow))
        R.Top = R.Bottom = FocusRow;
    if (P.Contains(fnFindInPresetRow))
        R.Top = R.Bottom = FFindRow;
    if (P.Contains(fnFindInCurrentCol))
        R.Left = R.Right = GetCol();
    if (P.Contains(fnFindInPresetCol))
        R.Left = R.Right = FFindCol;

    // A preset line outside the grid finds nothing.
    const int ColLimit = P.Contains(fnIncludeHiddenColumns) ? GetAllColCount() : GetColCount();
    const int RowLimit = P.Contains(fnIncludeHiddenRows) ? TotalRowCount() : GetRowCount();
    if (R.Left < 0 || R.Top < 0 || R.Right >= ColLimit || R.Bottom >= RowLimit || R.Left > R.Right || R.Top > R.Bottom) {
        FFindBusy = false;
        return Result;
    }

    // One column (or row) is walked as such whatever the order asked for,
    // so a next search restricted to it moves on along it instead of
    // testing its start cell again.
    const bool ColRestricted = P.Contains(fnFindInCurrentCol) || P.Contains(fnFindInPresetCol);
    const bool RowRestricted = P.Contains(fnFindInCurrentRow) || P.Contains(fnFindInPresetRow);
    bool LeftRight = P.Contains(fnDirectionLeftRight);
    if (ColRestricted && !RowRestricted)
        LeftRight = false;
    else if (RowRestricted && !ColRestricted)
        LeftRight = true;
    const bool Backward = P.Contains(fnBackward);
    if (ColRestricted)
        StartCell.X = StartCell.X == -1 && StartCell.Y == -1 ? -1 : R.Left;
    if (RowRestricted)
        StartCell.Y = StartCell.X == -1 && StartCell.Y == -1 ? -1 : R.Top;

    // The cell after the start cell; a step past the range's end leaves
    // the walk with nothing to test, and only a start beyond the range's
    // last (first) line starts over.
    TPoint Cur;
    const TPoint First { R.Left, R.Top };
    const TPoint Last { R.Right, R.Bottom };
    if (StartCell.X == -1 && StartCell.Y == -1) {
        Cur = Backward ? Last : First;
    } else if (LeftRight && !Backward) {
        if (StartCell.X <= R.Right)
            Cur = { StartCell.X + 1, StartCell.Y };
        else if (StartCell.Y <= R.Bottom)
            Cur = { R.Left, StartCell.Y + 1 };
        else
            Cur = First;
    } else if (LeftRight) {
        if (StartCell.X >= R.Left)
            Cur = { StartCell.X - 1, StartCell.Y };
        else if (StartCell.Y >= R.Top)
            Cur = { R.Right, StartCell.Y - 1 };
        else
            Cur = Last;
    } else if (!Backward) {
        if (StartCell.Y <= R.Bottom)
            Cur = { StartCell.X, StartCell.Y + 1 };
        else if (StartCell.X <= R.Right)
            Cur = { StartCell.X + 1, R.Top };
        else
            Cur = First;
    } else {
        if (StartCell.Y >= R.Top)
            Cur = { StartCell.X, StartCell.Y - 1 };
        else if (StartCell.X >= R.Left)
            Cur = { StartCell.X - 1, R.Bottom };
        else
            Cur = Last;
    }

    // A start before the range (a fixed line, say) enters it at its edge.
    if (!Backward) {
        if (Cur.Y < R.Top)
            Cur = { LeftRight ? R.Left : Cur.X, R.Top };
        if (Cur.X < R.Left)
            Cur = { R.Left, LeftRight ? Cur.Y : R.Top };
    } else {
        if (Cur.Y > R.Bottom)
            Cur = { LeftRight ? R.Right : Cur.X, R.Bottom };
        if (Cur.X > R.Right)
            Cur = { R.Right, LeftRight ? Cur.Y : R.Bottom };
    }

    const int Step = Backward ? -1 : 1;
    bool Found = false;
    if (LeftRight) {
        for (int r = Cur.Y; r >= R.Top && r <= R.Bottom && !Found; r += Step) {
            for (int c = Cur.X; c >= R.Left && c <= R.Right; c += Step) {
                if (IsIgnoredColumn(c))
                    continue;
                ExportNotification(esExportFindRow, r);
                if (MatchCell(c, r, Wide)) {
                    Result = { c, r };
                    Found = true;
                    break;
                }
            }
            Cur.X = Backward ? R.Right : R.Left;
        }
    } else {
        for (int c = Cur.X; c >= R.Left && c <= R.Right && !Found; c += Step) {
            for (int r = Cur.Y; r >= R.Top && r <= R.Bottom; r += Step) {
                ExportNotification(esExportFindRow, r);
                if (MatchCell(c, r, Wide)) {
                    Result = { c, r };
                    Found = true;
                    break;
                }
            }
            Cur.Y = Backward ? R.Bottom : R.Top;
        }
    }

    if (!Found) {
        ExportNotification(esExportFindRow, FocusRow);
        FFindBusy = false;
        return Result;
    }
    FSearchCell = Result;
    if (P.Contains(fnAutoGoto))
        GotoFoundCell(Result);
    return Result;
}

void TDedOzovedUrad::GotoFoundCell(TPoint Cell)
{
    int Row = Cell.Y;
    if (FFindParams.Contains(fnIncludeHiddenRows) && NumHiddenRows() > 0) {
        if (HiddenRowItem(Row) && HasNodes()) {
            // The contracted node that holds the row opens.
            for (int d = GetFixedRows(); d < GetRowCount(); ++d) {
                if (!IsNode(d) || !GetNodeState(d))
                    continue;
                const int Node = DisplayToRealRow(TDisplayRow(d)).Value;
                if (Node < Row && Row < Node + GetNodeSpan(d)) {
                    ExpandNode(Node);
                    break;
                }
            }
        }
        // A row still out of view (no node to open) leaves the focus on
        // the row in view at its place.
        Row = std::clamp(RealToDisplayRow(TRealRow(Row)).Value, 0, GetRowCount() - 1);
    }
    if (FMouseActions->GetDisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(Row, true);
        SetRow(Row);
    } else {
        SetRow(Row);
        SetCol(std::min(Cell.X, GetColCount() - 1));
    }
}

// A match near the bottom edge comes up into view.
void TDedOzovedUrad::ScrollAfterFind()
{
    if (FMouseActions->GetDisjunctCellSelect())
        SelectCells(GetCol(), GetRow(), GetCol(), GetRow());
    const int f = FFloatingFooter->GetVisible() ? 2 : 0;
    if (GetRow() > GetTopRow() + GetVisibleRowCount() - 2 - f && GetVisibleRowCount() + GetFixedRows() + f < GetRowCount())
        SetTopRow(GetTopRow() + f + 1);
}

bool TDedOzovedUrad::MatchCell(int ACol, int ARow, bool Wide)
{
    const TFindParams& P = FFindParams;
    const int Col = P.Contains(fnIncludeHiddenColumns) ? ACol : DisplayToRealCol(TDisplayCol(ACol)).Value;
    if (Wide) {
        String Text = P.Contains(fnIncludeHiddenRows) ? GetWideCellsEx(Col, ARow) : GetWideCells(Col, ARow);
        if (!P.Contains(fnMatchCase))
            Text = AnsiUpperCase(Text);
        if (IsTwoQuotes(FSearchCacheWide))
            return Text.empty();
        const std::size_t p = PosOf(FSearchCacheWide, Text);
        const bool StartOk = P.Contains(fnMatchStart) ? p == 1 : p > 0;
        const bool FullOk = !P.Contains(fnMatchFull) || FSearchCacheWide == Text;
        return StartOk && FullOk;
    }
    String Text = P.Contains(fnIncludeHiddenRows) ? GetCellsEx(Col, ARow) : GetFormattedCell(Col, ARow);
    if (!P.Contains(fnMatchCase))
        Text = AnsiUpperCase(Text);
    if (P.Contains(fnIgnoreHTMLTags) && Text.find(u'<') != String::npos)
        Text = VovHTMLE::HTMLToPlainText(Text);
    if (P.Contains(fnIgnoreAccents))
        Text = VuzEraz::StripAccents(Text);
    if (FSearchCache.empty() || IsTwoQuotes(FSearchCache))
        return Text.empty();
    if (P.Contains(fnMatchRegular))
        return VuzEraz::MatchFilterExpression(FSearchCache, Text, P.Contains(fnMatchCase));
    const std::size_t p = PosOf(FSearchCache, Text);
    const bool StartOk = P.Contains(fnMatchStart) ? p == 1 : p > 0;
    const bool FullOk = !P.Contains(fnMatchFull) || FSearchCache == Text;
    return StartOk && FullOk;
}

// ---- the searches ----

TPoint TDedOzovedUrad::Find(TPoint StartCell, const String& s, TFindParams FindParams)
{
    if (StartCell.X == -1 && StartCell.Y == -1)
        ExportNotification(esExportStart, -1);
    TPoint Result;
    {
        TUpdateScope Update(*this);
        Result = FindCell(StartCell, s, s, FindParams, false);
    }
    if (FindParams.Contains(fnAutoGoto))
        ScrollAfterFind();
    ExportNotification(Result.X == -1 ? esExportDone : esExportFail, -1);
    return Result;
}

TPoint TDedOzovedUrad::FindWide(TPoint StartCell, const String& s, TFindParams FindParams)
{
    ExportNotification(esExportStart, -1);
    const TPoint Result = FindCell(StartCell, s, s, FindParams, true);
    ExportNotification(Result.X == -1 ? esExportDone : esExportFail, -1);
    return Result;
}

TPoint TDedOzovedUrad::FindFirst(const String& s, TFindParams FindParams)
{
    FSearchCell = Find(TPoint { -1, -1 }, s, FindParams);
    return FSearchCell;
}

TPoint TDedOzovedUrad::FindNext()
{
    // SearchCache holds the prepared text: prepared again it stays the same
    // unless accents were stripped from an upper-cased text, which is
    // idempotent too.
    FSearchCell = Find(FSearchCell, FSearchCache, FFindParams);
    return FSearchCell;
}

TPoint TDedOzovedUrad::FindAll(const String& s, TFindParams FindParams, int& NumResults)
{
    NumResults = 0;
    ExportNotification(esExportStart, -1);
    TPoint First;
    {
        TUpdateScope Update(*this);
        First = FindCell(TPoint { -1, -1 }, s, s, FindParams, false);
    }
    FFindParams.Exclude(fnAutoGoto);
    if (First.X != -1) {
        NumResults = 1;
        // A walk that passes the range's last cell goes on at its first: a
        // cell met again ends the count.
        std::unordered_set<std::uint64_t> Counted { CellKey(First) };
        FSearchCell = First;
        for (;;) {
            const TPoint Next = FindNext();
            if (Next.X == -1)
                break;
            if (!Counted.insert(CellKey(Next)).second) {
                FSearchCell = { -1, -1 };
                break;
            }
            ++NumResults;
        }
        if (FindParams.Contains(fnAutoGoto)) {
            int Row = First.Y;
            if (FindParams.Contains(fnIncludeHiddenRows))
                Row = RealToDisplayRow(TRealRow(Row)).Value;
            SetCol(std::min(First.X, GetColCount() - 1));
            SetRow(Row);
            ScrollAfterFind();
        }
    }
    ExportNotification(First.X == -1 ? esExportDone : esExportFail, -1);
    return First;
}

int TDedOzovedUrad::Replace(const String& OrigStr, const String& NewStr, TFindParams FindParams)
{
    // An empty pattern would find every empty cell and replace nothing.
    if (OrigStr.empty())
        return 0;
    const TReplaceFlags Flags = rfReplaceAll | (FindParams.Contains(fnMatchCase) ? 0u : unsigned(rfIgnoreCase));
    std::unordered_set<std::uint64_t> Seen;
    int Count = 0;
    TPoint Cell = Find(TPoint { -1, -1 }, OrigStr, FindParams);
    while (Cell.X != -1 && Seen.insert(CellKey(Cell)).second) {
        const int Col = FindParams.Contains(fnIncludeHiddenColumns) ? Cell.X : DisplayToRealCol(TDisplayCol(Cell.X)).Value;
        const int RealRow
            = FindParams.Contains(fnIncludeHiddenRows) ? Cell.Y : DisplayToRealRow(TDisplayRow(Cell.Y)).Value;
        const String Old = GetGridCellsEx(Col, RealRow);
        const String New = StringReplace(Old, OrigStr, NewStr, Flags);
        if (New != Old) {
            SetCellsEx(Col, RealRow, New);
            if (FShowModified->GetEnabled())
                SetRowModified(RealToDisplayRow(TRealRow(RealRow)).Value, true);
            ++Count;
        }
        Cell = Find(Cell, OrigStr, FindParams);
    }
    return Count;
}

// ---- the row search by column conditions ----

String TDedOzovedUrad::BuildMatchCondition(TSearchType Kind, const String& Value)
{
    static constexpr TFilterType Types[] = { ftStartsWith, ftEndsWith, ftContains, ftEqual, ftNotEqual, ftNotContains };
    TFilterData Condition;
    Condition.SetFilterType(Types[Kind]);
    Condition.BuildCondition(Value);
    return Condition.GetCondition();
}

int TDedOzovedUrad::FindMulti(const std::vector<String>& Conditions, const std::vector<int>& Columns,
    const std::vector<TSearchType>& Searchtypes, const std::vector<bool>& CaseSensitive, bool IgnoreHTML, bool AutoGoto)
{
    if (Columns.size() != Conditions.size() || Searchtypes.size() != Conditions.size()
        || CaseSensitive.size() != Conditions.size())
        throw Exception(u"Array size of parameters not matching");
    FConditions.clear();
    for (std::size_t i = 0; i < Conditions.size(); ++i)
        FConditions.push_back(BuildMatchCondition(Searchtypes[i], Conditions[i]));
    FColumns = Columns;
    FCase = CaseSensitive;
    FIgnoreHTMLMulti = IgnoreHTML;
    FSearchCell = { 0, -1 };
    for (int r = GetFixedRows(); r <= GetRowCount() - FFixedFooters - 1; ++r)
        if (RowMatchesMulti(r)) {
            FSearchCell = { 0, r };
            if (AutoGoto)
                SetRow(r);
            return r;
        }
    return -1;
}

int TDedOzovedUrad::FindMultiNext()
{
    for (int r = std::max(FSearchCell.Y + 1, 0); r <= GetRowCount() - FFixedFooters - 1; ++r)
        if (RowMatchesMulti(r)) {
            FSearchCell = { 0, r };
            return r;
        }
    return -1;
}

bool TDedOzovedUrad::RowMatchesMulti(int ARow)
{
    for (std::size_t i = 0; i < FConditions.size(); ++i) {
        const int c = FColumns[i];
        const String Text = FIgnoreHTMLMulti ? GetStrippedCells(c, ARow) : GetGridCell(c, ARow);
        if (!VuzEraz::MatchFilterTerm(FConditions[i], Text, FCase[i]))
            return false;
    }
    return true;
}

// ---- the type-ahead search ----

int TGridDataViews::Search(const String& s)
{
    if (G.GetRowCount() < 2)
        return -1;
    TSortSettings* Sort = G.GetSortSettings();
    int Col = G.GetFixedCols();
    if (Sort->GetShow()) {
        if (Sort->GetIndexShow())
            Col = G.GetSortIndexes().GetCount() > 0 ? G.GetSortIndexes().GetSortColumns(0) : G.GetFixedCols();
        else
            Col = Sort->GetColumn();
    }
    if (Col < 0)
        return -1;
    for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r) {
        const String Text = G.GetStrippedCells(Col, r);
        if (AnsiUpperCase(StringView(Text).substr(0, s.size())) == s)
            return r;
    }
    return -1;
}
