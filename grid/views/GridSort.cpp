// Sorting the grid's rows: cell comparison by style, row comparison by a
// column chain or by sort keys, the quicksort over display rows with a
// scratch pivot row, the frames of the full, indexed and group sorts, and
// the way back to the order before sorting.

#include <typeinfo>

#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/SysUtils.h"

using GridGuards::TValueGuard;

namespace {

bool IsNumberKind(unsigned Kind) { return Kind == 0 || Kind == 1 || Kind == 5; }

bool IsCheckBoxKind(TCellType Type)
{
    return Type == ctCheckBox || Type == ctDataCheckBox || Type == ctVirtCheckBox || Type == ctRowCheckBox;
}

int Sign(double a, double b) { return a > b ? 1 : a == b ? 0 : -1; }

int OrdinalSign(const String& a, const String& b)
{
    const int c = a.compare(b);
    return c > 0 ? 1 : c == 0 ? 0 : -1;
}

// Removes the first occurrence of Part (as many characters as it has).
void RemoveFirst(String& S, const String& Part)
{
    if (Part.empty())
        return;
    const auto At = S.find(Part);
    if (At != String::npos)
        S.erase(At, Part.size());
}

// The text of a number cell ready for conversion: suffix, prefix, and for
// money the currency and thousand separators gone, "." for the decimals.
String NumberText(String S, const String& Prefix, const String& Suffix, bool Financial)
{
    RemoveFirst(S, Suffix);
    RemoveFirst(S, Prefix);
    if (Financial) {
        const String Currency = LocaleCurrencyString();
        if (!Currency.empty())
            for (auto At = S.find(Currency); At != String::npos; At = S.find(Currency)) {
                S.erase(At, Currency.size());
                S = Trim(S);
            }
        const Char Thousand = LocaleThousandSeparator();
        std::erase(S, Thousand);
    }
    const Char Decimal = LocaleDecimalSeparator();
    if (Decimal != u'.')
        if (const auto At = S.find(Decimal); At != String::npos)
            S[At] = u'.';
    return Trim(S);
}

// A converted value; Error when the text is no number.
double NumberValue(const String& Text, bool& Error)
{
    double v = 0;
    Error = false;
    if (Text.empty())
        return 0;
    if (!TryStrToFloat(Text, v, InvariantFormatSettings())) {
        Error = true;
        return 0;
    }
    return v;
}

TDateTime DateValue(const String& Text, bool TimeOnly)
{
    TDateTime d = 0;
    if (Text.empty())
        return 0;
    const bool Ok = TimeOnly ? TryStrToTime(Text, d) : TryStrToDateTime(Text, d);
    return Ok ? d : 0;
}

TDateTime ShortDateValue(const String& Text, bool DayFirst)
{
    try {
        return DayFirst ? VuzEraz::ParseDMYDate(Text) : VuzEraz::ParseMDYDate(Text);
    } catch (const Exception&) {
        return 0;
    }
}

// The variant date conversion of US English (locale 1033).
TDateTime VarDateValue(const String& Text)
{
    static const TFormatSettings US = [] {
        TFormatSettings fs = TFormatSettings::Invariant();
        fs.ShortDateFormat = u"M/d/yyyy";
        fs.DateSeparator = u'/';
        fs.TimeSeparator = u':';
        return fs;
    }();
    TDateTime d = 0;
    return TryStrToDateTime(Trim(Text), d, US) ? d : 0;
}

// The automatic style of a pair of texts, decided by the first one.
TSortStyle AutomaticStyle(const String& s1, const String& s2, bool IgnoreCase)
{
    if (IsNumberKind(VuzEraz::GetValueKind(s1)))
        return ssNumeric;
    const Char DateSep = LocaleDateSeparator();
    const Char TimeSep = LocaleTimeSeparator();
    const auto DatePos = s1.find(DateSep);
    const std::size_t Len = s1.size();
    if (DatePos == 2 && (Len == 8 || Len == 10 || Len == 19) && VuzEraz::IsDigitChar(s1[1]) && Len > 3
        && VuzEraz::IsDigitChar(s1[3]) && s2.find(DateSep) != String::npos)
        return s1.find(TimeSep) != String::npos ? ssDateTime : ssDate;
    const auto TimePos = s1.find(TimeSep);
    if ((TimePos == 1 || TimePos == 2) && TimePos + 1 < Len && VuzEraz::IsDigitChar(s1[TimePos - 1])
        && VuzEraz::IsDigitChar(s1[TimePos + 1]) && s2.find(TimeSep) != String::npos)
        return ssTime;
    return IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
}

} // namespace

// ---- cell comparison ----

bool TGridDataViews::DisplayTextIsStored(int ACol)
{
    return !G.OnGetDisplText && !G.OnGetDisplWideText && !G.GetURLShowInText()
        && !(ACol == 1 && G.GetGrouping()->GetShowGroupCount()) && typeid(G) == typeid(TDedOzovedUrad);
}

const String& TGridDataViews::SortCellText(int ACol, int ARow, String& Scratch)
{
    if (!G.GetSortSettings()->GetSortOnVirtualCells())
        return G.GetStoredCell(ACol, ARow);
    if (DisplayTextIsStored(ACol)) {
        TObject* Slot = nullptr;
        const String& Text = G.GetStoredCellAndObject(ACol, ARow, Slot);
        const auto* p = Slot ? dynamic_cast<const TCellProperties*>(Slot) : nullptr;
        if (!p || p->GetIsBaseCell())
            return Text;
    }
    Scratch = G.GetCellEx(ACol, ARow);
    return Scratch;
}

int TGridDataViews::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction)
{
    ++G.Compares;
    const TSortSettings& SS = *G.GetSortSettings();
    TSortStyle Style = SS.GetAutoFormat() ? ssAutomatic : SS.GetIgnoreCase() ? ssAlphaNoCase : SS.GetDefaultFormat();
    String Prefix, Suffix;
    G.DoGetFormat(ACol, Style, Prefix, Suffix);

    String Buf1, Buf2;
    const String& s1 = SortCellText(ACol, ARow1, Buf1);
    const String& s2 = SortCellText(ACol, ARow2, Buf2);

    if (Style == ssAutomatic)
        Style = IsCheckBoxKind(G.GetCellType(ACol, ARow1)) ? ssCheckBox : AutomaticStyle(s1, s2, SS.GetIgnoreCase());
    if (Style == ssAlphaNumeric || Style == ssAlphaNumericNoCase) {
        if (IsNumberKind(VuzEraz::GetValueKind(s1)) && IsNumberKind(VuzEraz::GetValueKind(s2)))
            Style = ssNumeric;
        else
            Style = Style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    int Res = 1;
    // The texts the blank rule looks at.
    const String* t1 = &s1;
    const String* t2 = &s2;
    String p1, p2;
    switch (Style) {
    case ssAlphabetic:
    case ssAlphaCase:
        Res = OrdinalSign(s1, s2);
        break;
    case ssAlphaNoCase:
        Res = CompareText(s1, s2);
        Res = Res > 0 ? 1 : Res == 0 ? 0 : -1;
        break;
    case ssHTML:
        Res = OrdinalSign(G.GetStrippedCells(ACol, ARow1), G.GetStrippedCells(ACol, ARow2));
        break;
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase: {
        const int c = CompareStringLocale(s1, s2, Style == ssAnsiAlphaNoCase);
        Res = c > 0 ? 1 : c == 0 ? 0 : -1;
        break;
    }
    case ssNatural:
        Res = NaturalCompareText(s1, s2);
        break;
    case ssNumeric:
    case ssFinancial: {
        p1 = NumberText(s1, Prefix, Suffix, Style == ssFinancial);
        p2 = NumberText(s2, Prefix, Suffix, Style == ssFinancial);
        t1 = &p1;
        t2 = &p2;
        bool e1 = false, e2 = false;
        const double v1 = NumberValue(p1, e1);
        const double v2 = NumberValue(p2, e2);
        Res = e1 && e2 ? 0 : Sign(v1, v2);
        break;
    }
    case ssDate: {
        p1 = s1;
        p2 = s2;
        RemoveFirst(p1, Suffix);
        RemoveFirst(p1, Prefix);
        RemoveFirst(p2, Suffix);
        RemoveFirst(p2, Prefix);
        t1 = &p1;
        t2 = &p2;
        Res = Sign(DateValue(p1, false), DateValue(p2, false));
        break;
    }
    case ssDateTime:
        Res = Sign(DateValue(s1, false), DateValue(s2, false));
        break;
    case ssTime:
        Res = Sign(DateValue(s1, true), DateValue(s2, true));
        break;
    case ssShortDateEU:
    case ssShortDateUS:
        Res = Sign(ShortDateValue(s1, Style == ssShortDateEU), ShortDateValue(s2, Style == ssShortDateEU));
        break;
    case ssVarDate:
        Res = Sign(VarDateValue(s1), VarDateValue(s2));
        break;
    case ssImages:
        Res = Sign(G.CellImageIndex(ACol, ARow1), G.CellImageIndex(ACol, ARow2));
        break;
    case ssCheckBox: {
        const bool c1 = G.IsChecked(ACol, ARow1), c2 = G.IsChecked(ACol, ARow2);
        Res = c1 == c2 ? 0 : c1 ? 1 : -1;
        break;
    }
    case ssCustom:
        Res = 0;
        if (G.OnCustomCompare)
            G.OnCustomCompare(&G, s1, s2, Res);
        break;
    case ssRaw:
        Res = 0;
        if (G.OnRawCompare)
            G.OnRawCompare(&G, ACol, ARow1, ARow2, Res);
        break;
    default:
        break;
    }

    if (SS.GetIgnoreBlanks() && t1->empty() != t2->empty()) {
        const bool First = SS.GetBlankPos() == blFirst;
        Res = t1->empty() ? (First ? -1 : 1) : (First ? 1 : -1);
        if (Direction == sdDescending)
            Res = -Res;
    }
    return Res;
}

// ---- row comparison ----

int TGridDataViews::CompareRows(int ACol, int ARow1, int ARow2)
{
    const TSortSettings& SS = *G.GetSortSettings();
    const int Last = G.GetColCount() - 2;
    for (int c = ACol;; ++c) {
        const int Res = G.IsIgnoredColumn(c) ? 0 : CompareCells(c, ARow1, ARow2, SS.GetDirection());
        if (Res != 0 || !SS.GetFull() || c > Last)
            return Res;
    }
}

int TGridDataViews::CompareRowsIndexed(int AIdx, int ARow1, int ARow2)
{
    const TSortIndexList& Keys = G.GetSortIndexes();
    const bool Full = G.GetSortSettings()->GetFull();
    for (int k = AIdx; k < Keys.Count(); ++k) {
        const unsigned Key = unsigned(Keys.GetInteger(k));
        const int Col = int(Key & ~TSortIndexList::DescendingBit);
        const bool Descending = (Key & TSortIndexList::DescendingBit) != 0;
        const int Res = G.IsIgnoredColumn(Col) ? 0 : CompareCells(Col, ARow1, ARow2, Descending ? sdDescending : sdAscending);
        if (Res != 0 || !Full || k + 1 >= Keys.Count())
            return Descending ? -Res : Res;
    }
    return 0;
}

// ---- the range sort ----

// The scratch pivot row takes the middle row's cells: as shown when a
// display hook may change them (the comparison then reads the scratch row
// through the same hook), else as stored; objects are shared, not copied.
void TGridDataViews::CopyPivotRow(int From, int To)
{
    const int Cols = G.GetAllColCount();
    const bool Hooked = bool(G.OnGetDisplText);
    const bool Virtual = G.GetSortSettings()->GetSortOnVirtualCells();
    for (int c = 0; c < Cols; ++c) {
        TObject* Object = nullptr;
        const String& Raw = G.GetStoredCellAndObject(c, From, Object);
        G.SetStoredCell(c, To, Hooked && Virtual ? G.GetCellEx(c, From) : Raw);
        G.SetStoredObject(c, To, Object);
    }
}

void TGridDataViews::PartitionRange(int ACol, int Left, int Right, bool Indexed, int& i, int& j)
{
    const TSortSettings& SS = *G.GetSortSettings();
    FSortDir = SS.GetDirection() == sdAscending ? 1 : -1;
    const int Mid = Left + (Right - Left) / 2;
    const int Scratch = G.GetRowCount() - 2;
    // A raw comparison needs the real row, so then the middle row itself
    // stays the pivot.
    const bool MidIsPivot = !Indexed && SS.GetSortOnVirtualCells() && G.OnGetDisplText && G.OnRawCompare;
    if (!MidIsPivot)
        CopyPivotRow(Mid, Scratch);
    const int Pivot = MidIsPivot ? Mid : Scratch;
    const int Target = Indexed ? 1 : FSortDir;
    auto Cmp = [&](int a, int b) { return Indexed ? CompareRowsIndexed(0, a, b) : CompareRows(ACol, a, b); };
    i = Left;
    j = Right;
    do {
        while (Cmp(Pivot, i) == Target && i < Right)
            ++i;
        while (Cmp(j, Pivot) == Target && j > Left)
            --j;
        if (i <= j) {
            if (i != j && (Indexed || Cmp(i, j) != 0))
                G.SortSwapRows(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
}

// The smaller part recurses and the larger one loops, so the depth stays
// logarithmic whatever order the rows come in.
void TGridDataViews::SortRowRange(int ACol, int Left, int Right)
{
    while (Left < Right) {
        int i = Left, j = Right;
        PartitionRange(ACol, Left, Right, false, i, j);
        if (j - Left < Right - i) {
            if (Left < j)
                SortRowRange(ACol, Left, j);
            Left = i;
        } else {
            if (i < Right)
                SortRowRange(ACol, i, Right);
            Right = j;
        }
    }
}

void TGridDataViews::SortRowRangeIndexed(int Left, int Right)
{
    while (Left < Right) {
        int i = Left, j = Right;
        PartitionRange(0, Left, Right, true, i, j);
        if (j - Left < Right - i) {
            if (Left < j)
                SortRowRangeIndexed(Left, j);
            Left = i;
        } else {
            if (i < Right)
                SortRowRangeIndexed(i, Right);
            Right = j;
        }
    }
}

// ---- frames ----

void TGridDataViews::InitSortXRef()
{
    std::vector<int> Identity(std::size_t(std::max(0, G.GetRowCount())));
    for (std::size_t i = 0; i < Identity.size(); ++i)
        Identity[i] = int(i);
    G.FSortRowXRef->SetValues(std::move(Identity));
}

namespace {

// What a sort changes around the rows it moves, and puts back however the
// sort ends: three scratch rows, the hidden columns shown, column 0's texts,
// scroll position, floating footer, footer rows, the clear-text flag and
// the update block.
class TSortFrame {
public:
    enum TKind { skFull, skIndexed, skGroup, skRange };

    TSortFrame(TDedOzovedUrad& Grid, TKind Kind) : G(Grid), FKind(Kind)
    {
        if (Kind != skRange) {
            if (G.GetSortSettings()->GetNormalCellsOnly() && G.GetFixedCols() > 0) {
                FSaveCol0 = true;
                for (int r = 0; r < G.GetRowCount(); ++r)
                    FCol0.push_back(G.GetGridCell(0, r));
            }
            FOldTop = G.GetTopRow();
            FOldLeft = G.GetLeftCol();
            FClearTextOnly = G.GetClearTextOnly();
            G.SetClearTextOnly(false);
            G.BeginUpdate();
            FUpdating = true;
            FFooterVisible = G.GetFloatingFooter()->GetVisible();
            FFooters = G.GetFixedFooters();
            if (Kind != skGroup && FFooterVisible)
                G.GetFloatingFooter()->SetVisible(false);
        }
        FMaxRowCount = G.GetMaxRowCount();
        const bool Stale = G.GetRowCount() < G.GetMaxRowCount() - G.NumHiddenRows();
        G.SetRowCount(G.GetRowCount() + 3);
        FRowsAdded = true;
        if (Stale)
            EmptyScratchRows();
        FLastColWidth = G.GetColWidths(G.GetColCount() - 1);
        FLastCol = G.GetColCount() - 1;
        for (int c = 0; c < G.GetAllColCount(); ++c)
            if (G.IsHiddenColumn(c))
                FHiddenCols.push_back(c);
        if (!FHiddenCols.empty())
            G.UnHideColumnsAll();
    }

    // The scratch rows hold copies of object slots: emptied, never freed.
    void EmptyScratchRows()
    {
        for (int r = G.GetRowCount() - 3; r < G.GetRowCount(); ++r)
            if (r >= 0)
                G.ClearRowCells(r);
    }

    // Runs once, on either road; Normal is false when the sort raised.
    void Restore(bool Normal)
    {
        if (FRestored)
            return;
        FRestored = true;
        if (FRowsAdded)
            EmptyScratchRows();
        for (auto It = FHiddenCols.rbegin(); It != FHiddenCols.rend(); ++It)
            G.HideColumn(*It);
        if (!FHiddenCols.empty() && FLastCol >= 0 && FLastCol < G.GetColCount())
            G.SetColWidths(FLastCol, FLastColWidth);
        if (FRowsAdded)
            G.SetRowCount(G.GetRowCount() - 3);
        TGridDataViews::SetMaxRowCount(G, FMaxRowCount);
        if (FKind == skRange)
            return;
        if (FFireRowChanged && G.OnRowChanged)
            G.OnRowChanged(&G, FOldRow, G.GetRow());
        if (FSaveCol0)
            for (int r = 0; r < int(FCol0.size()) && r < G.GetRowCount(); ++r)
                G.SetGridCell(0, r, FCol0[std::size_t(r)]);
        if (G.GetNavigation()->GetKeepScrollOnSort())
            G.SetTopRow(FOldTop);
        if (FKind == skFull && G.GetNavigation()->GetKeepHorizScroll() && FOldLeft < G.GetColCount())
            G.SetLeftCol(FOldLeft);
        if (FKind != skGroup && FFooterVisible)
            G.GetFloatingFooter()->SetVisible(true);
        if (G.GetFixedFooters() != FFooters)
            G.SetFixedFooters(FFooters);
        G.SetClearTextOnly(FClearTextOnly);
        if (FUpdating) {
            FUpdating = false;
            G.EndUpdate();
        }
        if (Normal && FKind != skGroup) {
            G.UpdateFooter();
            if (G.GetSearchFooter()->GetVisible())
                G.LayoutSearchPanel();
        }
        (void)Normal;
    }

    ~TSortFrame()
    {
        try {
            Restore(false);
        } catch (...) {
            // The sort's own error is the one the caller hears about.
        }
    }

    TDedOzovedUrad& G;
    TKind FKind;
    bool FSaveCol0 { false };
    std::vector<String> FCol0;
    int FOldTop { 0 };
    int FOldLeft { 0 };
    int FOldRow { 0 };
    bool FClearTextOnly { false };
    bool FUpdating { false };
    bool FFooterVisible { false };
    int FFooters { 0 };
    int FMaxRowCount { 0 };
    bool FRowsAdded { false };
    int FLastColWidth { 0 };
    int FLastCol { -1 };
    std::vector<int> FHiddenCols;
    bool FFireRowChanged { false };
    bool FRestored { false };
};

// Moves the focus row with no change events.
void MoveFocusQuietly(TDedOzovedUrad& G, int Row)
{
    if (Row < 0 || Row >= G.GetRowCount() || Row == G.GetRow())
        return;
    TRowChangingEvent Saved = std::move(G.OnRowChanging);
    G.OnRowChanging = nullptr;
    struct TPutBack {
        TDedOzovedUrad& G;
        TRowChangingEvent& Saved;
        ~TPutBack() { G.OnRowChanging = std::move(Saved); }
    } PutBack { G, Saved };
    G.TBaseGrid::SetRow(Row);
}

} // namespace

void TGridDataViews::FullSort(bool Indexed)
{
    TSortSettings& SS = *G.GetSortSettings();
    if (!Indexed && SS.GetColumn() < 0)
        return;
    if (G.FSortRowXRef->Count() != G.GetRowCount())
        InitSortXRef();
    if (Indexed) {
        if (G.GetSortIndexes().Count() == 0)
            throw ERirEvozError(u"No indexes specified for indexed sort");
    } else {
        G.GetSortIndexes().Clear();
    }

    TSortFrame Frame(G, Indexed ? TSortFrame::skIndexed : TSortFrame::skFull);
    const bool MoveRow = G.GetNavigation()->GetMoveRowOnSort();
    TMouseActions& Mouse = *G.GetMouseActions();
    const int OldRow = G.GetRow();
    Frame.FOldRow = OldRow;
    Frame.FFireRowChanged = !Indexed && !MoveRow;
    const int OwnLast = G.GetRowCount() - 4;

    G.SortRow = OldRow;
    bool RowFlag = false;
    const bool Disjunct = Mouse.GetDisjunctRowSelect();
    if (Indexed) {
        if (Disjunct && OldRow >= 0 && OldRow < G.GetRowCount())
            RowFlag = G.GetRowSelect(OldRow);
        Mouse.SetDisjunctRowSelectDirect(false);
        struct TBack {
            TMouseActions& M;
            bool Was;
            ~TBack() { M.SetDisjunctRowSelectDirect(Was); }
        } Back { Mouse, Disjunct };
        if (MoveRow)
            MoveFocusQuietly(G, OwnLast);
    } else if (MoveRow && !Disjunct) {
        MoveFocusQuietly(G, OwnLast);
    }

    const int Last = G.GetRowCount() - Frame.FFooters - 4;
    if (Indexed)
        SortRowRangeIndexed(G.GetFixedRows(), Last);
    else
        SortRowRange(SS.GetColumn(), G.GetFixedRows(), Last);
    Frame.EmptyScratchRows();

    if (MoveRow) {
        MoveFocusQuietly(G, G.SortRow);
        if (!Indexed && G.GetRow() != OldRow && G.OnRowChanging) {
            bool Allow = true;
            G.OnRowChanging(&G, OldRow, G.GetRow(), Allow);
        }
        if (Indexed && Disjunct && G.SortRow >= 0 && G.SortRow < G.GetRowCount())
            G.SetRowSelect(G.SortRow, RowFlag);
    } else if (OldRow >= G.GetFixedRows() && OldRow <= Last && !Disjunct) {
        MoveFocusQuietly(G, OldRow);
    }
    Frame.Restore(true);
}

void TGridDataViews::QSort() { FullSort(false); }
void TGridDataViews::QSortIndexed() { FullSort(true); }

void TGridDataViews::GroupSort(bool Indexed)
{
    TSortSettings& SS = *G.GetSortSettings();
    if (!Indexed && SS.GetColumn() < 0)
        return;
    if (Indexed && G.GetSortIndexes().Count() == 0)
        return;
    if (G.FSortRowXRef->Count() != G.GetRowCount())
        InitSortXRef();
    TSortFrame Frame(G, TSortFrame::skGroup);
    const bool MoveRow = G.GetNavigation()->GetMoveRowOnSort();
    const int OldRow = G.GetRow();
    G.SortRow = OldRow;
    if (MoveRow && !G.GetMouseActions()->GetDisjunctRowSelect())
        MoveFocusQuietly(G, G.GetRowCount() - 4);

    const int End = G.GetRowCount() - Frame.FFooters - 3;
    int Deepest = 0;
    for (int r = G.GetFixedRows(); r < End; ++r)
        if (IsNode(r))
            Deepest = std::max(Deepest, GetNodeLevel(r));
    for (int r = G.GetFixedRows(); r < End; ++r) {
        if (!IsNode(r) || GetNodeLevel(r) != Deepest || GetNodeState(r))
            continue;
        const int Span = GetNodeSpan(r);
        if (Span <= 2)
            continue;
        const int Last = std::min(r + Span - 1, End - 1);
        if (Indexed)
            SortRowRangeIndexed(r + 1, Last);
        else
            SortRowRange(SS.GetColumn(), r + 1, Last);
    }
    Frame.EmptyScratchRows();

    if (MoveRow) {
        MoveFocusQuietly(G, G.SortRow);
        if (G.GetRow() != OldRow && G.OnRowChanging) {
            bool Allow = true;
            G.OnRowChanging(&G, OldRow, G.GetRow(), Allow);
        }
    } else {
        MoveFocusQuietly(G, OldRow);
    }
    Frame.Restore(true);
}

// ---- the way back ----

void TGridDataViews::UnSortRange(std::vector<int>& Work, int Left, int Right)
{
    while (Left < Right) {
        const int Pivot = Work[std::size_t(Left + (Right - Left) / 2)];
        int i = Left, j = Right;
        do {
            while (Work[std::size_t(i)] < Pivot && i < Right)
                ++i;
            while (Work[std::size_t(j)] > Pivot && j > Left)
                --j;
            if (i <= j) {
                if (i != j && Work[std::size_t(i)] != Work[std::size_t(j)]) {
                    G.SortSwapRows(i, j);
                    std::swap(Work[std::size_t(i)], Work[std::size_t(j)]);
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - Left < Right - i) {
            if (Left < j)
                UnSortRange(Work, Left, j);
            Left = i;
        } else {
            if (i < Right)
                UnSortRange(Work, i, Right);
            Right = j;
        }
    }
}

void TGridDataViews::QUnSort()
{
    if (G.FSortRowXRef->Count() == 0 || G.HasNodes())
        return;
    std::vector<int> Work = G.FSortRowXRef->Values();
    const int Rows = std::min(int(Work.size()), G.GetRowCount());
    std::vector<String> Col0;
    const bool SaveCol0 = G.GetSortSettings()->GetNormalCellsOnly() && G.GetFixedCols() > 0;
    if (SaveCol0)
        for (int r = 0; r < G.GetRowCount(); ++r)
            Col0.push_back(G.GetGridCell(0, r));
    {
        GridGuards::TBulkUpdate Update(G);
        std::vector<int> Hidden;
        for (int c = 0; c < G.GetAllColCount(); ++c)
            if (G.IsHiddenColumn(c))
                Hidden.push_back(c);
        struct THideAgain {
            TDedOzovedUrad& G;
            std::vector<int>& Cols;
            ~THideAgain()
            {
                for (auto It = Cols.rbegin(); It != Cols.rend(); ++It)
                    G.HideColumn(*It);
            }
        } HideAgain { G, Hidden };
        if (!Hidden.empty())
            G.UnHideColumnsAll();
        UnSortRange(Work, 0, Rows - 1);
        if (G.GetSortSettings()->GetIndexShow())
            G.GetSortIndexes().Clear();
        if (SaveCol0)
            for (int r = 0; r < int(Col0.size()) && r < G.GetRowCount(); ++r)
                G.SetGridCell(0, r, Col0[std::size_t(r)]);
    }
    G.GetSortSettings()->SetColumn(-1);
}

// ---- single operations ----

void TGridDataViews::QuickSort(int Col, int Left, int Right)
{
    TSortFrame Frame(G, TSortFrame::skRange);
    SortRowRange(Col, Left, Right);
    Frame.Restore(true);
}

void TGridDataViews::QuickSortIndexed(int Left, int Right)
{
    TSortFrame Frame(G, TSortFrame::skRange);
    SortRowRangeIndexed(Left, Right);
    Frame.Restore(true);
}

bool TGridDataViews::SortLine(int Col, int ARow1, int ARow2)
{
    const TSortDirection Direction = G.GetSortSettings()->GetDirection();
    const int Last = G.GetColCount() + G.NumHiddenColumns() - 1;
    for (int c = Col;; ++c) {
        const int Res = CompareCells(c, ARow1, ARow2, Direction);
        if (Res == FSortDir) {
            G.SortSwapRows(ARow1, ARow2);
            return true;
        }
        if (Res != 0 || c >= Last)
            return false;
    }
}

TColumnType TGridDataViews::ColumnType(int Col)
{
    const int r1 = G.GetFixedRows(), r2 = G.GetFixedRows() + 1;
    if (G.CellHasCheckBox(Col, r1) && G.CellHasCheckBox(Col, r2))
        return ctBoolean;
    const unsigned k1 = VuzEraz::GetValueKind(G.GetCellEx(Col, r1));
    const unsigned k2 = VuzEraz::GetValueKind(G.GetCellEx(Col, r2));
    if (k1 == k2)
        switch (k1) {
        case 0: return ctNumeric;
        case 1: return ctFloat;
        case 3: return ctDate;
        case 4: return ctTime;
        default: break;
        }
    return ctAlpha;
}

// ---- the grid's own sort operations ----

void TDedOzovedUrad::Sort(int Column, TSortDirection Direction)
{
    FSortSettings->SetColumn(Column);
    FSortSettings->SetDirection(Direction);
    QSort();
    if (FNumCellControls > 0)
        CellControlsUpdate(true);
}

void TDedOzovedUrad::SortByColumn(int Col)
{
    if (GetRowCount() <= 1)
        return;
    FSortSettings->SetColumn(Col);
    QSort();
}

void TDedOzovedUrad::QuickSort(int Col, int Left, int Right)
{
    if (auto* V = TGridDataViews::Of(*this))
        V->QuickSort(Col, Left, Right);
}

void TDedOzovedUrad::QuickSortIndexed(int Left, int Right)
{
    if (auto* V = TGridDataViews::Of(*this))
        V->QuickSortIndexed(Left, Right);
}

bool TDedOzovedUrad::SortLine(int Col, int ARow1, int ARow2)
{
    auto* V = TGridDataViews::Of(*this);
    return V && V->SortLine(Col, ARow1, ARow2);
}

TColumnType TDedOzovedUrad::ColumnType(int Col)
{
    auto* V = TGridDataViews::Of(*this);
    return V ? V->ColumnType(Col) : ctAlpha;
}

int TDedOzovedUrad::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction)
{
    auto* V = TGridDataViews::Of(*this);
    return V ? V->CompareCells(ACol, ARow1, ARow2, Direction) : 0;
}
