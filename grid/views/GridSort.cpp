// Sorting the grid's rows: cell comparison by style, row comparison by a
// column chain or by sort keys, the quicksort of a row range (played on the
// row order, then the rows move through SortSwapRows), the frames of the
// full, indexed and group sorts (three scratch rows below the grid, hidden
// columns shown), and the way back to the order before sorting.

#include <algorithm>
#include <cstdint>
#include <deque>
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

int OrdinalSign(StringView a, StringView b)
{
    const int c = CompareStr(a, b);
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
String NumberText(StringView Text, const String& Prefix, const String& Suffix, bool Financial)
{
    String S(Text);
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

} // namespace

// What the automatic style asks of one text: computed once per text while
// a sort keeps its keys.
unsigned TGridDataViews::TextInfo(StringView s)
{
    unsigned Info = ikKnown;
    if (IsNumberKind(VuzEraz::GetValueKind(s)))
        Info |= ikNumber;
    const Char DateSep = LocaleDateSeparator();
    const Char TimeSep = LocaleTimeSeparator();
    const auto DatePos = s.find(DateSep);
    const auto TimePos = s.find(TimeSep);
    const std::size_t Len = s.size();
    if (DatePos != StringView::npos)
        Info |= ikHasDateSep;
    if (TimePos != StringView::npos)
        Info |= ikHasTimeSep;
    if (DatePos == 2 && (Len == 8 || Len == 10 || Len == 19) && VuzEraz::IsDigitChar(s[1]) && VuzEraz::IsDigitChar(s[3]))
        Info |= ikDateLike;
    if ((TimePos == 1 || TimePos == 2) && TimePos + 1 < Len && VuzEraz::IsDigitChar(s[TimePos - 1])
        && VuzEraz::IsDigitChar(s[TimePos + 1]))
        Info |= ikTimeLike;
    return Info;
}

namespace {

// The automatic style of a pair of texts, decided by the first one; the
// second one is only asked whether it holds the separator.
TSortStyle AutomaticStyle(unsigned i1, unsigned i2, bool IgnoreCase)
{
    if (i1 & TGridDataViews::ikNumber)
        return ssNumeric;
    if ((i1 & TGridDataViews::ikDateLike) && (i2 & TGridDataViews::ikHasDateSep))
        return (i1 & TGridDataViews::ikHasTimeSep) ? ssDateTime : ssDate;
    if ((i1 & TGridDataViews::ikTimeLike) && (i2 & TGridDataViews::ikHasTimeSep))
        return ssTime;
    return IgnoreCase ? ssAlphaNoCase : ssAlphabetic;
}

} // namespace

// ---- cell comparison ----

bool TGridDataViews::DisplayTextIsStored(int ACol)
{
    if (FDirectKnown)
        return ACol == 1 ? FDirectCol1 : FDirect;
    return !G.OnGetDisplText && !G.OnGetDisplWideText && !G.GetURLShowInText()
        && !(ACol == 1 && G.GetGrouping()->GetShowGroupCount()) && typeid(G) == typeid(TDedOzovedUrad);
}

const String& TGridDataViews::SortCellText(int ACol, int ARow, String& Scratch)
{
    if (!G.GetSortSettings()->GetSortOnVirtualCells())
        return G.GetStoredCell(ACol, ARow);
    return DisplayText(ACol, ARow, Scratch);
}

const String& TGridDataViews::DisplayText(int ACol, int ARow, String& Scratch)
{
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

void TGridDataViews::FetchCellAhead(int ACol, int ARow, int End) const
{
    constexpr int SlotsAhead = 16, TextsAhead = 8;
    if (ARow + SlotsAhead < End)
        __builtin_prefetch(&G.GetStoredCell(ACol, ARow + SlotsAhead));
    if (ARow + TextsAhead < End)
        __builtin_prefetch(G.GetStoredCell(ACol, ARow + TextsAhead).data());
}

// ---- the keys a sort reads ----

StringView TGridDataViews::KeyText(int ACol, int ARow, String& Scratch)
{
    TSortKeys* K = FKeys.get();
    const int i = ARow - (K ? K->Left : 0);
    if (!K || i < 0 || i >= K->Count || ACol < 0)
        return SortCellText(ACol, ARow, Scratch);
    if (int(K->Text.size()) <= ACol) {
        K->Text.resize(std::size_t(ACol) + 1);
        K->Info.resize(std::size_t(ACol) + 1);
    }
    std::vector<StringView>& Col = K->Text[std::size_t(ACol)];
    if (Col.empty()) {
        Col.resize(std::size_t(K->Count));
        K->Info[std::size_t(ACol)].assign(std::size_t(K->Count), 0);
        for (int k = 0; k < K->Count; ++k) {
            String Own;
            const String& Text = SortCellText(ACol, K->Left + k, Own);
            if (&Text == &Own) {
                K->Owned.push_back(std::move(Own));
                Col[std::size_t(k)] = K->Owned.back();
            } else {
                Col[std::size_t(k)] = Text;
            }
        }
    }
    return Col[std::size_t(i)];
}

unsigned TGridDataViews::KeyInfo(int ACol, int ARow, StringView Text)
{
    TSortKeys* K = FKeys.get();
    const int i = ARow - (K ? K->Left : 0);
    if (!K || i < 0 || i >= K->Count || ACol < 0 || int(K->Info.size()) <= ACol || K->Info[std::size_t(ACol)].empty())
        return TextInfo(Text);
    std::uint8_t& Info = K->Info[std::size_t(ACol)][std::size_t(i)];
    if (!(Info & ikKnown))
        Info = std::uint8_t(TextInfo(Text));
    return Info;
}

int TGridDataViews::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction)
{
    ++G.Compares;
    const TSortSettings& SS = *G.GetSortSettings();
    TSortStyle Style = SS.GetAutoFormat() ? ssAutomatic : SS.GetIgnoreCase() ? ssAlphaNoCase : SS.GetDefaultFormat();
    String Prefix, Suffix;
    G.DoGetFormat(ACol, Style, Prefix, Suffix);

    String Buf1, Buf2;
    const StringView s1 = KeyText(ACol, ARow1, Buf1);
    const StringView s2 = KeyText(ACol, ARow2, Buf2);

    if (Style == ssAutomatic)
        Style = IsCheckBoxKind(G.GetCellType(ACol, ARow1))
            ? ssCheckBox
            : AutomaticStyle(KeyInfo(ACol, ARow1, s1), KeyInfo(ACol, ARow2, s2), SS.GetIgnoreCase());
    if (Style == ssAlphaNumeric || Style == ssAlphaNumericNoCase) {
        if ((KeyInfo(ACol, ARow1, s1) & ikNumber) && (KeyInfo(ACol, ARow2, s2) & ikNumber))
            Style = ssNumeric;
        else
            Style = Style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    int Res = 1;
    // The texts the blank rule looks at.
    StringView t1 = s1, t2 = s2;
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
        Res = NaturalCompareText(String(s1), String(s2));
        break;
    case ssNumeric:
    case ssFinancial: {
        p1 = NumberText(s1, Prefix, Suffix, Style == ssFinancial);
        p2 = NumberText(s2, Prefix, Suffix, Style == ssFinancial);
        t1 = p1;
        t2 = p2;
        bool e1 = false, e2 = false;
        const double v1 = NumberValue(p1, e1);
        const double v2 = NumberValue(p2, e2);
        Res = e1 && e2 ? 0 : Sign(v1, v2);
        break;
    }
    case ssDate: {
        p1 = String(s1);
        p2 = String(s2);
        RemoveFirst(p1, Suffix);
        RemoveFirst(p1, Prefix);
        RemoveFirst(p2, Suffix);
        RemoveFirst(p2, Prefix);
        t1 = p1;
        t2 = p2;
        Res = Sign(DateValue(p1, false), DateValue(p2, false));
        break;
    }
    case ssDateTime:
        Res = Sign(DateValue(String(s1), false), DateValue(String(s2), false));
        break;
    case ssTime:
        Res = Sign(DateValue(String(s1), true), DateValue(String(s2), true));
        break;
    case ssShortDateEU:
    case ssShortDateUS:
        Res = Sign(ShortDateValue(String(s1), Style == ssShortDateEU), ShortDateValue(String(s2), Style == ssShortDateEU));
        break;
    case ssVarDate:
        Res = Sign(VarDateValue(String(s1)), VarDateValue(String(s2)));
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
            G.OnCustomCompare(&G, String(s1), String(s2), Res);
        break;
    case ssRaw:
        Res = 0;
        if (G.OnRawCompare)
            G.OnRawCompare(&G, ACol, ARow1, ARow2, Res);
        break;
    default:
        break;
    }

    if (SS.GetIgnoreBlanks() && t1.empty() != t2.empty()) {
        const bool First = SS.GetBlankPos() == blFirst;
        Res = t1.empty() ? (First ? -1 : 1) : (First ? 1 : -1);
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

namespace {

// The quicksort of a range of rows, played on A (one element per row, in
// the rows' order) with no row moving: Cmp(x, y) answers whether x sorts
// after y (Target), before (-Target) or with it (0). The pivot is a copy of
// the middle element (the scratch pivot row), or with LivePivot whatever
// stands in the middle place at each comparison. SwapEqual: two elements
// that compare equal are exchanged too (the indexed sort). The smaller part
// is sorted by recursion and the larger one by the loop, so the depth stays
// below log2 of the row count whatever the order; the comparisons and
// exchanges are those of sorting the left part first.
template<class T, class TCmp>
void PlayQuickSort(std::vector<T>& A, int Left, int Right, int Target, bool SwapEqual, bool LivePivot, TCmp& Cmp)
{
    while (Left < Right) {
        const int Mid = Left + (Right - Left) / 2;
        const T Copy = A[std::size_t(Mid)];
        const T& Pivot = LivePivot ? A[std::size_t(Mid)] : Copy;
        int i = Left, j = Right;
        do {
            while (Cmp(Pivot, A[std::size_t(i)]) == Target && i < Right)
                ++i;
            while (Cmp(A[std::size_t(j)], Pivot) == Target && j > Left)
                --j;
            if (i <= j) {
                if (i != j && (SwapEqual || Cmp(A[std::size_t(i)], A[std::size_t(j)]) != 0))
                    std::swap(A[std::size_t(i)], A[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - Left < Right - i) {
            if (Left < j)
                PlayQuickSort(A, Left, j, Target, SwapEqual, LivePivot, Cmp);
            Left = i;
        } else {
            if (i < Right)
                PlayQuickSort(A, i, Right, Target, SwapEqual, LivePivot, Cmp);
            Right = j;
        }
    }
}

} // namespace

// Orders display rows Left .. Right by the quicksort above over the row
// indexes, asking Cmp(x, y) whether row x belongs after row y (the answer
// Target), then the rows move into that order through SortSwapRows, at
// most one swap per row, so the counters, the cross-reference list and the
// tracked focus row follow every move. No row moves while comparing, so a
// comparison sees each row at its own index and the middle row's content
// serves as the pivot without a copy.
template<class TCmp>
void TGridDataViews::SortRows(int Left, int Right, int Target, bool SwapEqual, TCmp&& Cmp)
{
    const int n = Right - Left + 1;
    if (n < 2)
        return;
    TDirectTextScope Direct(*this);
    TKeysScope Keys(*this, Left, n);
    std::vector<int> Order(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < n; ++k)
        Order[std::size_t(k)] = Left + k;
    // A raw comparison of display texts is given the middle place's own
    // row, as it stands at each comparison, instead of a copy.
    const TSortSettings& SS = *G.GetSortSettings();
    const bool LivePivot = !SwapEqual && SS.GetSortOnVirtualCells() && G.OnGetDisplText && G.OnRawCompare;
    PlayQuickSort(Order, 0, n - 1, Target, SwapEqual, LivePivot, Cmp);
    ApplyOrder(Left, Order);
}

// Row Order[k] moves to Left + k, through at most one swap per row.
void TGridDataViews::ApplyOrder(int Left, const std::vector<int>& Order)
{
    const int n = int(Order.size());
    // Where each original row stands now, and which one stands at each place.
    std::vector<int> Pos(static_cast<std::size_t>(n), 0), At(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < n; ++k)
        Pos[std::size_t(k)] = At[std::size_t(k)] = k;
    for (int k = 0; k < n; ++k) {
        const int Orig = Order[std::size_t(k)] - Left;
        const int Cur = Pos[std::size_t(Orig)];
        if (Cur == k)
            continue;
        G.SortSwapRows(Left + k, Left + Cur);
        const int Displaced = At[std::size_t(k)];
        At[std::size_t(Cur)] = Displaced;
        Pos[std::size_t(Displaced)] = Cur;
        At[std::size_t(k)] = Orig;
        Pos[std::size_t(Orig)] = k;
    }
}

TGridDataViews::TKeysScope::TKeysScope(TGridDataViews& Views, int Left, int Count) : V(Views)
{
    const TDedOzovedUrad& G = V.G;
    if (!G.OnGetFormat && !G.OnCustomCompare && !G.OnRawCompare
        && (V.FDirect || !G.GetSortSettings()->GetSortOnVirtualCells())) {
        V.FKeys = std::make_unique<TSortKeys>();
        V.FKeys->Left = Left;
        V.FKeys->Count = Count;
    }
}

namespace {

bool IsTextStyle(TSortStyle Style)
{
    return Style == ssAlphabetic || Style == ssAlphaCase || Style == ssAlphaNoCase || Style == ssAnsiAlphaCase
        || Style == ssAnsiAlphaNoCase;
}

int TextCompare(TSortStyle Style, StringView a, StringView b)
{
    int c = 0;
    switch (Style) {
    case ssAlphaNoCase: c = CompareText(a, b); break;
    case ssAnsiAlphaCase: c = CompareStringLocale(a, b, false); break;
    case ssAnsiAlphaNoCase: c = CompareStringLocale(a, b, true); break;
    default: c = CompareStr(a, b); break;
    }
    return c > 0 ? 1 : c == 0 ? 0 : -1;
}

} // namespace

// The usual case of a column with no handler that decides the style: the
// keys travel with the row indexes through the quicksort, so each
// comparison reads two entries instead of two rows, and a number is
// converted once per row instead of once per comparison. The comparison is
// CompareCells' own (and counted the same); a tie goes on through Tie.
// Descending: the column is a descending sort key (its result negated).
template<class TTie>
bool TGridDataViews::SortColumnKeys(int ACol, int Left, int Right, int Target, bool Indexed, bool Descending, TTie&& Tie)
{
    // The direction the blank rule of a key follows: the sort's for the
    // column chain, the key's own for a sort key.
    const TSortDirection BlankDir = Indexed ? (Descending ? sdDescending : sdAscending) : G.GetSortSettings()->GetDirection();
    const TSortSettings& SS = *G.GetSortSettings();
    const TSortStyle Style = SS.GetAutoFormat() ? ssAutomatic : SS.GetIgnoreCase() ? ssAlphaNoCase : SS.GetDefaultFormat();
    const int n = Right - Left + 1;
    if (n < 2 || typeid(G) != typeid(TDedOzovedUrad) || (Style != ssAutomatic && Style != ssNumeric && !IsTextStyle(Style))
        || G.IsIgnoredColumn(ACol))
        return false;
    TDirectTextScope Direct(*this);
    TKeysScope Keys(*this, Left, n);
    if (!FKeys)
        return false;
    struct TEntry {
        StringView Key;
        int Row;
        // The number of the text (Error: it holds none), once asked.
        mutable bool Converted;
        mutable bool Error;
        mutable double Value;
        // TextInfo of the key, once asked (0: not yet).
        mutable unsigned Info;
        // Whether the cell holds a check box (0 not yet asked, 1 no, 2 yes):
        // no row moves and no handler runs while the keys are kept.
        mutable std::uint8_t CheckBox;
        // The four code units after the part every key begins with, the
        // first one highest and missing ones 0: ordinal order of the packed
        // numbers is the order of the texts as far as they reach.
        std::uint64_t Head;
    };
    std::vector<TEntry> Entries(static_cast<std::size_t>(n));
    String Scratch;
    // The keys copied together in row order, in one walk over the store:
    // the sort then reads memory that lies close together instead of texts
    // spread over the store. The views into the copy are made once it has
    // stopped growing.
    String Arena;
    std::vector<std::size_t> Ends(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        // Room for all keys by the length of the first ones, so the copy
        // rarely moves.
        if (constexpr int Sample = 256; k == Sample)
            Arena.reserve(Arena.size() / Sample * std::size_t(n) * 9 / 8 + 64);
        FetchCellAhead(ACol, Left + k, Right + 1);
        Arena.append(SortCellText(ACol, Left + k, Scratch));
        Ends[std::size_t(k)] = Arena.size();
        Entries[std::size_t(k)] = { StringView(), Left + k, false, false, 0, 0, 0, 0 };
        // Asked here, in row order, rather than in the sort's order all
        // over the store.
        if (Style == ssAutomatic)
            Entries[std::size_t(k)].CheckBox = IsCheckBoxKind(G.GetCellType(ACol, Left + k)) ? 2 : 1;
    }
    for (std::size_t k = 0, At = 0; k < Entries.size(); At = Ends[k++])
        Entries[k].Key = StringView(Arena).substr(At, Ends[k] - At);
    // Keys of one column often begin alike (e-mail addresses, links, phone
    // numbers): an ordinal comparison starts after the common part and
    // mostly ends at the packed heads, without reading the texts.
    const StringView First = Entries[0].Key;
    std::size_t Common = First.size();
    for (std::size_t k = 1; k < Entries.size() && Common > 0; ++k) {
        const StringView Key = Entries[k].Key;
        Common = std::size_t(
            std::mismatch(First.begin(), First.begin() + std::min(Common, Key.size()), Key.begin()).first - First.begin());
    }
    for (TEntry& e : Entries) {
        for (std::size_t i = 0; i < 4; ++i)
            e.Head = e.Head << 16 | (Common + i < e.Key.size() ? std::uint64_t(e.Key[Common + i]) : 0);
        if (Style == ssAutomatic)
            e.Info = TextInfo(e.Key);
    }
    auto Ordinal = [Common](const TEntry& x, const TEntry& y) {
        if (x.Head != y.Head)
            return x.Head < y.Head ? -1 : 1;
        return OrdinalSign(x.Key.substr(Common), y.Key.substr(Common));
    };
    const bool Blanks = SS.GetIgnoreBlanks();
    const bool BlankFirst = SS.GetBlankPos() == blFirst;
    const bool IgnoreCase = SS.GetIgnoreCase();
    const String NoAffix;
    auto Number = [&](const TEntry& e) {
        if (!e.Converted) {
            e.Value = NumberValue(NumberText(e.Key, NoAffix, NoAffix, false), e.Error);
            e.Converted = true;
        }
    };
    auto InfoOf = [](const TEntry& e) {
        if (!e.Info)
            e.Info = TextInfo(e.Key);
        return e.Info;
    };
    // Cmp(x, y) for x and y in that order.
    auto Cmp = [&](const TEntry& x, const TEntry& y) {
        TSortStyle S = Style;
        if (S == ssAutomatic) {
            if (!x.CheckBox)
                x.CheckBox = IsCheckBoxKind(G.GetCellType(ACol, x.Row)) ? 2 : 1;
            if (x.CheckBox == 2)
                S = ssCheckBox;
            else
                S = AutomaticStyle(InfoOf(x), InfoOf(y), IgnoreCase);
        }
        int Res = 0;
        StringView t1 = x.Key, t2 = y.Key;
        String p1, p2;
        if (S == ssAlphabetic || S == ssAlphaCase) {
            ++G.Compares;
            Res = Ordinal(x, y);
        } else if (S == ssNumeric) {
            ++G.Compares;
            Number(x);
            Number(y);
            Res = x.Error && y.Error ? 0 : Sign(x.Value, y.Value);
            // The blank rule looks at the texts as converted.
            if (Blanks) {
                p1 = NumberText(t1, NoAffix, NoAffix, false);
                p2 = NumberText(t2, NoAffix, NoAffix, false);
                t1 = p1;
                t2 = p2;
            }
        } else if (IsTextStyle(S)) {
            ++G.Compares;
            Res = TextCompare(S, x.Key, y.Key);
        } else {
            Res = CompareCells(ACol, x.Row, y.Row, BlankDir);
            t1 = t2 = StringView();
        }
        if (Blanks && t1.empty() != t2.empty()) {
            Res = t1.empty() ? (BlankFirst ? -1 : 1) : (BlankFirst ? 1 : -1);
            if (BlankDir == sdDescending)
                Res = -Res;
        }
        if (Res == 0)
            return Tie(x.Row, y.Row);
        return Descending ? -Res : Res;
    };
    PlayQuickSort(Entries, 0, n - 1, Target, Indexed, false, Cmp);
    std::vector<int> Order(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < n; ++k)
        Order[std::size_t(k)] = Entries[std::size_t(k)].Row;
    ApplyOrder(Left, Order);
    return true;
}

void TGridDataViews::SortRowRange(int ACol, int Left, int Right)
{
    FSortDir = G.GetSortSettings()->GetDirection() == sdAscending ? 1 : -1;
    const bool Full = G.GetSortSettings()->GetFull() && ACol <= G.GetColCount() - 2;
    // The pivot meets its own row once per pass: every further column
    // compares equal then (no handler runs while the keys are kept), so the
    // comparisons are counted without reading the columns.
    int SameRowCompares = 0;
    for (int c = ACol + 1; Full && c < G.GetColCount(); ++c)
        SameRowCompares += G.IsIgnoredColumn(c) ? 0 : 1;
    auto Tie = [&](int a, int b) {
        if (!Full)
            return 0;
        if (a == b) {
            G.Compares += SameRowCompares;
            return 0;
        }
        return CompareRows(ACol + 1, a, b);
    };
    if (!SortColumnKeys(ACol, Left, Right, FSortDir, false, false, Tie))
        SortRows(Left, Right, FSortDir, false, [&](int a, int b) { return CompareRows(ACol, a, b); });
}

void TGridDataViews::SortRowRangeIndexed(int Left, int Right)
{
    FSortDir = G.GetSortSettings()->GetDirection() == sdAscending ? 1 : -1;
    const TSortIndexList& Keys = G.GetSortIndexes();
    const bool Full = G.GetSortSettings()->GetFull();
    if (Keys.Count() > 0) {
        const unsigned Key = unsigned(Keys.GetInteger(0));
        const int Col = int(Key & ~TSortIndexList::DescendingBit);
        const bool Descending = (Key & TSortIndexList::DescendingBit) != 0;
        // The next key's result counts unchanged.
        int SameRowCompares = 0;
        for (int k = 1; Full && k < Keys.Count(); ++k)
            SameRowCompares += G.IsIgnoredColumn(int(unsigned(Keys.GetInteger(k)) & ~TSortIndexList::DescendingBit)) ? 0 : 1;
        auto Tie = [&](int a, int b) {
            if (!Full || Keys.Count() < 2)
                return 0;
            if (a == b) {
                G.Compares += SameRowCompares;
                return 0;
            }
            return CompareRowsIndexed(1, a, b);
        };
        if (SortColumnKeys(Col, Left, Right, 1, true, Descending, Tie))
            return;
    }
    SortRows(Left, Right, 1, true, [&](int a, int b) { return CompareRowsIndexed(0, a, b); });
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
