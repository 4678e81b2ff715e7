// Filtering the grid's rows: testing a row against the conditions of
// Filter, passes that take the rows that fail out of view (into the
// hidden-row store as one level, or to height 0), switching filtering on
// and off, undoing passes, narrowing down as the user types, and the ini
// file of the conditions.

#include <memory>

#include "grid/core/GridFilterMatch.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

namespace {

bool ContainsText(const String& Text, StringView Part) { return Text.find(Part) != String::npos; }

// Literal matching: the whole text, one of the "|" alternatives, or an
// empty text for a condition of two double quotes. Case always counts.
bool MatchLiteral(const String& C, StringView T)
{
    if (C.find(u'|') != String::npos) {
        std::size_t From = 0;
        for (;;) {
            const auto Bar = C.find(u'|', From);
            if (StringView(C).substr(From, Bar == String::npos ? String::npos : Bar - From) == T)
                return true;
            if (Bar == String::npos)
                return false;
            From = Bar + 1;
        }
    }
    if (C == u"\"\"")
        return T.empty();
    return C == T;
}

} // namespace

// ---- the row test ----

String TGridDataViews::FilterCellText(const TFilterData& F, int ARow, String& Prefix, String& Suffix, String& StartSep)
{
    const int Col = F.GetColumn();
    switch (F.GetData()) {
    case fcVirtual: {
        String T = G.GetCellEx(Col, ARow);
        if (ContainsText(T, u"</"))
            T = VovHTMLE::HTMLToPlainText(T);
        if (T.empty()) {
            TSortStyle Style = ssAutomatic;
            G.DoGetFormat(Col, Style, Prefix, Suffix);
            if (Style == ssImages)
                T = IntToStr(G.CellImageIndex(Col, ARow));
        }
        return T;
    }
    case fcNormal:
        return G.GetGridCell(Col, ARow);
    case fcStripHTML:
        return G.GetStrippedCells(Col, ARow);
    case fcCalculated:
        return G.FormulaValue(Col, ARow, G.GetCellEx(Col, ARow));
    case fcRow: {
        String T;
        if (G.GetIgnoreColumns()->Count() == 0) {
            StartSep = FNarrowDownFromStart ? u"\n" : u"";
            for (int c = 0; c < G.GetColCount(); ++c) {
                T += G.GetStoredCell(G.RealColIndex(TDisplayCol(c)).Value, ARow);
                T += u"\r\n";
            }
        } else {
            StartSep = u",";
            for (int c = 0; c < G.GetColCount(); ++c) {
                const int Real = G.RealColIndex(TDisplayCol(c)).Value;
                if (!G.IsIgnoredColumn(Real)) {
                    T += u',';
                    T += G.GetStoredCell(Real, ARow);
                }
            }
        }
        return T;
    }
    }
    return String();
}

namespace {

StringView TrimView(StringView s)
{
    std::size_t i = 0, j = s.size();
    while (i < j && s[i] <= u' ')
        ++i;
    while (j > i && s[j - 1] <= u' ')
        --j;
    return s.substr(i, j - i);
}

} // namespace

bool TGridDataViews::RowMatchesFilter(int ARow)
{
    auto MadeCondition = [](TMadeCondition& Cache, const String& From, auto Make) -> const String& {
        if (!Cache.Valid || Cache.From != From) {
            Cache.Made = Make(From);
            Cache.From = From;
            Cache.Valid = true;
        }
        return Cache.Made;
    };
    bool R = true;
    const TFilter& Filter = *G.GetFilter();
    for (int k = 0; k < Filter.Count(); ++k) {
        const TFilterData& F = *Filter.GetItem(k);
        if (!F.GetEnabled())
            continue;
        // The filter's own prefix and suffix unless the format event gives
        // the cell others (then they are copies of its own).
        const String* Prefix = &F.GetPrefix();
        const String* Suffix = &F.GetSuffix();
        String OwnPrefix, OwnSuffix, StartSep;
        auto CellText = [&] {
            OwnPrefix = F.GetPrefix();
            OwnSuffix = F.GetSuffix();
            Prefix = &OwnPrefix;
            Suffix = &OwnSuffix;
            return FilterCellText(F, ARow, OwnPrefix, OwnSuffix, StartSep);
        };
        // The text as a view of the cell where the cell's own text will do;
        // a text of its own only where it has to change.
        String Own;
        StringView T;
        const int Col = F.GetColumn();
        if (F.GetData() == fcNormal) {
            T = G.GetStoredCell(Col, ARow);
        } else if (F.GetData() == fcVirtual) {
            const String& Shown = DisplayText(Col, ARow, Own);
            if (&Shown != &Own)
                T = Shown;
            if (Shown.empty() || ContainsText(Shown, u"</")) {
                Own = CellText();
                T = Own;
            } else if (&Shown == &Own) {
                T = Own;
            }
        } else {
            Own = CellText();
            T = Own;
        }
        const String* Cond = &F.GetCondition();
        if (F.GetRemoveAccented()) {
            Own = VuzEraz::StripAccents(TrimView(T));
            T = Own;
            Cond = &MadeCondition(FStrippedCondition, F.GetCondition(),
                [](const String& C) { return VuzEraz::StripAccents(C); });
        } else {
            T = TrimView(T);
        }
        if (T.find(u"|\\") != StringView::npos) {
            Own = VuzEraz::DecodeWideCellText(T);
            T = Own;
        }

        bool M = false;
        if (F.GetData() == fcRow) {
            const String UT = UpperCase(T);
            const String& UC = MadeCondition(FUpperCondition, *Cond, [](const String& C) { return UpperCase(C); });
            if (FNarrowDownFromStart)
                M = UT.starts_with(UC) || (!StartSep.empty() && ContainsText(UT, StartSep + UC));
            else
                M = ContainsText(UT, UC);
        } else {
            if (!Prefix->empty() && T.starts_with(*Prefix))
                T.remove_prefix(Prefix->size());
            if (!Suffix->empty())
                if (const auto At = T.find(*Suffix); At != StringView::npos && At + Suffix->size() == T.size())
                    T.remove_suffix(Suffix->size());
            if (Cond->empty()) {
                M = true;
            } else {
                try {
                    M = F.GetMethod() == fmExpression ? VuzEraz::MatchFilterExpression(*Cond, T, F.GetCaseSensitive())
                                                      : MatchLiteral(*Cond, T);
                } catch (const std::exception&) {
                    M = false;
                }
            }
        }

        bool Stop = false;
        switch (F.GetOperation()) {
        case foSHORT:
            R = M;
            Stop = !M;
            break;
        case foNONE: R = M; break;
        case foAND: R = R && M; break;
        case foXOR: R = R != M; break;
        case foOR: R = R || M; break;
        }
        if (Stop)
            break;
    }
    if (G.OnCustomFilter)
        G.OnCustomFilter(&G, ARow, R);
    return R;
}

bool TGridDataViews::FilterRow(int ARow)
{
    if (G.RowMatchesFilter(ARow))
        return false;
    if (G.GetFilterType() == ftSuppress)
        G.SuppressRow(ARow);
    else
        G.HideRow(G.RealRowIndex(TDisplayRow(ARow)).Value);
    return true;
}

// ---- passes ----

void TGridDataViews::ApplyFilter()
{
    FFixedRowsToRestore = G.FFixedRowsMin;
    const int End = G.GetRowCount() - G.GetFixedFooters();
    const int Total = End - FFixedRowsToRestore;
    if (Total <= 0)
        return;
    std::vector<int> Pass;
    const bool NormalOnly = G.GetFilterNormalCellsOnly();
    const bool Nodes = G.HasNodes();
    int Count = 0;
    auto Progress = [&] {
        if (G.OnFilterProgress)
            G.OnFilterProgress(&G, std::int16_t(RoundHalfEven(double(Count) * 100.0 / Total)));
    };
    // A summary row carries a cell object in column 0: a row without one
    // needs no closer look (most rows of most grids), and a grid that never
    // had cell properties has no summary rows at all.
    const bool MaySummarize = G.GetHasCellProps();
    auto Summary = [&](int r) { return MaySummarize && G.GetGridObject(0, r) && G.IsSummary(r); };
    // The cells the conditions read, fetched ahead of the walk.
    std::vector<int> ReadCols;
    for (int k = 0; k < G.GetFilter()->Count(); ++k) {
        const TFilterData& F = *G.GetFilter()->GetItem(k);
        if (F.GetEnabled() && F.GetColumn() >= 0 && (F.GetData() == fcNormal || F.GetData() == fcVirtual))
            ReadCols.push_back(F.GetColumn());
    }
    auto FetchAhead = [&](int r) {
        if (MaySummarize)
            FetchCellAhead(0, r, End);
        for (int c : ReadCols)
            FetchCellAhead(c, r, End);
    };
    for (int r = G.GetFixedRows(); r < End; ++r) {
        FetchAhead(r);
        if (NormalOnly && Nodes && (G.IsNode(r) || Summary(r)))
            continue;
        if (NormalOnly && !Nodes && Summary(r))
            continue;
        if (!G.RowMatchesFilter(r))
            Pass.push_back(r);
        ++Count;
        Progress();
    }
    if (!Pass.empty()) {
        std::vector<int> Filtered = G.FFilteredRows->Values();
        Filtered.insert(Filtered.end(), Pass.begin(), Pass.end());
        G.FFilteredRows->SetValues(std::move(Filtered));
    }
    TIntList List;
    List.SetValues(std::move(Pass));
    // Under ftHide the pass becomes one level of the store even when it
    // took nothing out, so that every pass can be undone on its own.
    G.HideRowList(&List);
    Progress();
}

void TGridDataViews::UndoLastPass()
{
    // Rows of contracted nodes stay at height 0: no filter put them there.
    // Every filtered row is back then, so none counts as filtered out any
    // more (expanding a node would keep such a row at height 0).
    if (G.GetFilterType() == ftSuppress) {
        G.UnSuppressAllOpenRows();
        G.FFilteredRows->Clear();
    } else {
        G.UnHideRowList();
    }
    if (G.FFixedRowsMin != FFixedRowsToRestore || G.TBaseGrid::GetFixedRows() != FFixedRowsToRestore)
        if (FFixedRowsToRestore < G.GetRowCount())
            G.SetFixedRows(FFixedRowsToRestore);
    if (G.IsSelectionHidden())
        G.UnHideSelection();
}

void TGridDataViews::SetFilterActive(bool Value)
{
    if (G.IsLoading())
        return;
    if (Value != G.GetFilterActive()) {
        if (Value) {
            if (G.GetRow() >= G.GetRowCount() || G.GetCol() >= G.GetColCount())
                if (G.GetFixedCols() < G.GetColCount() && G.GetFixedRows() < G.GetRowCount())
                    G.FocusCell(G.GetFixedCols(), G.GetFixedRows());
            {
                GridGuards::TBulkUpdate Update(G);
                ApplyFilter();
            }
            G.FSelHidden = false;
        } else {
            UndoLastPass();
            G.FFilteredRows->Clear();
        }
        G.SetFilterActiveState(Value);
        if (G.GetFixedRows() < G.GetRowCount())
            G.SetTopRow(G.GetFixedRows());
    }
    G.CalcFooter(-1);
}

bool TGridDataViews::RemoveLastFilter()
{
    if (G.GetFilterLevel() == 0) {
        G.SetNarrowDownActive(false);
        return false;
    }
    UndoLastPass();
    G.CalcFooter(-1);
    G.SetFilterLevel(G.GetFilterLevel() - 1);
    if (G.GetFilterLevel() == 0)
        G.FFilteredRows->Clear();
    if (G.GetFilter()->Count() > 0)
        G.GetFilter()->Delete(G.GetFilter()->Count() - 1);
    G.SetNarrowDownActive(false);
    return G.GetFilterLevel() > 1;
}

void TGridDataViews::RemoveAllFilters()
{
    if (G.GetFilterLevel() > 0) {
        while (G.GetFilterLevel() > 0)
            RemoveLastFilter();
    } else {
        G.GetFilter()->Clear();
    }
    G.SetNarrowDownActive(false);
}

// ---- narrowing down ----

TFilterData* TGridDataViews::NewNarrowCondition(const String& S, TNarrowDownOptions AOptions, int AColumn)
{
    TFilter& Filter = *G.GetFilter();
    Filter.Clear();
    TFilterData* F = Filter.Add();
    if (AColumn == -1) {
        F->SetData(fcRow);
        F->SetCondition(S);
    } else {
        F->SetData(fcNormal);
        // Quoted by the rule every typed condition follows, so "R&D" or
        // ">5" are looked for as typed rather than read as operators.
        TFilterData Scratch;
        Scratch.SetFilterType(FNarrowDownFromStart ? ftStartsWith : ftContains);
        Scratch.BuildCondition(S);
        F->SetCondition(FNarrowDownFromStart ? u"=" + Scratch.GetCondition() : Scratch.GetCondition());
    }
    F->SetRemoveAccented(AOptions.Contains(ndRemoveAccented));
    F->SetCaseSensitive(AOptions.Contains(ndCaseSensitive));
    F->SetColumn(AColumn);
    return F;
}

void TGridDataViews::NarrowDown(const String& S, TNarrowDownOptions AOptions, int AColumn)
{
    G.SetNarrowDownActive(!S.empty());
    if (G.GetFixedRows() > 0)
        G.SetFixedRowAlways(true);
    const bool Suppress = G.GetFilterType() == ftSuppress;
    if (S.empty()) {
        if (Suppress) {
            G.UnSuppressAllOpenRows();
            G.FFilteredRows->Clear();
        } else {
            RemoveLastFilter();
        }
    }

    bool Done = false;
    const String& Last = FLastNarrowDown;
    if (!S.empty() && S.size() == Last.size() + 1 && S.starts_with(Last)) {
        NewNarrowCondition(S, AOptions, AColumn);
        ApplyFilter();
        Done = true;
    } else if (!S.empty() && S.size() + 1 == Last.size() && Last.starts_with(S) && G.GetFilterLevel() > 1) {
        if (Suppress) {
            G.UnSuppressAllOpenRows();
            G.FFilteredRows->Clear();
        } else {
            RemoveLastFilter();
            Done = true;
        }
    }
    if (!Done) {
        if (Suppress) {
            G.UnSuppressAllOpenRows();
            G.FFilteredRows->Clear();
        }
        RemoveAllFilters();
        if (!S.empty()) {
            NewNarrowCondition(S, AOptions, AColumn);
            ApplyFilter();
        }
    }

    FLastNarrowDown = S;
    G.SetNarrowDownActive(!S.empty());
    if (S.empty()) {
        // What a filter level still holds goes; rows that contracted nodes
        // or HideRows put in the store stay there.
        G.GetGridItems()->DeleteWhere(
            [](TCollectionItem* Item) { return static_cast<TGridItem*>(Item)->GetFilterItem(); });
        G.FreeHiddenRowLookup();
    }
}

// ---- the ini file ----

void TGridDataViews::SaveFilter(const String& FileName)
{
    try {
        TIniFile Ini(FileName);
        const TFilter& Filter = *G.GetFilter();
        Ini.WriteInteger(u"FILTER", u"COUNT", Filter.Count());
        for (int i = 0; i < Filter.Count(); ++i) {
            const TFilterData& F = *Filter.GetItem(i);
            const String Section = u"ITEM" + IntToStr(i);
            Ini.WriteString(Section, u"CONDITION", F.GetCondition());
            Ini.WriteInteger(Section, u"COLUMN", F.GetColumn());
            Ini.WriteInteger(Section, u"OPERATION", int(F.GetOperation()));
            Ini.WriteInteger(Section, u"METHOD", int(F.GetMethod()));
            Ini.WriteBool(Section, u"CASE", F.GetCaseSensitive());
            Ini.WriteBool(Section, u"ENABLED", F.GetEnabled());
            Ini.WriteBool(Section, u"REMOVEACCENTED", F.GetRemoveAccented());
            Ini.WriteString(Section, u"PREFIX", F.GetPrefix());
            Ini.WriteString(Section, u"SUFFIX", F.GetSuffix());
            Ini.WriteString(Section, u"FRIENDLYNAME", F.GetFriendlyName());
            Ini.WriteInteger(Section, u"TYPE", int(F.GetFilterType()));
        }
    } catch (const std::exception&) {
        // A filter that cannot be saved leaves nothing behind to report.
    }
}

namespace {

template<class E>
E EnumFrom(int Value, E Last, E Default)
{
    return Value >= 0 && Value <= int(Last) ? E(Value) : Default;
}

} // namespace

void TGridDataViews::LoadFilter(const String& FileName)
{
    try {
        if (!FileExists(FileName))
            return;
        TMemIniFile Ini(FileName);
        const int Count = Ini.ReadInteger(u"FILTER", u"COUNT", -1);
        if (Count <= 0)
            return;
        TFilter& Filter = *G.GetFilter();
        Filter.Clear();
        TFilterEdit& Edit = *G.GetFilterEdit();
        for (int i = 0; i < Count; ++i) {
            const String Section = u"ITEM" + IntToStr(i);
            TFilterData* F = Filter.Add();
            F->SetCondition(Ini.ReadString(Section, u"CONDITION", String()));
            F->SetColumn(Ini.ReadInteger(Section, u"COLUMN", 0));
            F->SetOperation(EnumFrom(Ini.ReadInteger(Section, u"OPERATION", 0), foOR, foSHORT));
            F->SetMethod(EnumFrom(Ini.ReadInteger(Section, u"METHOD", 0), fmLiteral, fmExpression));
            F->SetCaseSensitive(Ini.ReadBool(Section, u"CASE", false));
            F->SetEnabled(Ini.ReadBool(Section, u"ENABLED", true));
            F->SetRemoveAccented(Ini.ReadBool(Section, u"REMOVEACCENTED", false));
            F->SetPrefix(Ini.ReadString(Section, u"PREFIX", String()));
            F->SetSuffix(Ini.ReadString(Section, u"SUFFIX", String()));
            F->SetFriendlyName(Ini.ReadString(Section, u"FRIENDLYNAME", String()));
            F->SetFilterType(EnumFrom(Ini.ReadInteger(Section, u"TYPE", 0), ftNone, ftStartsWith));
            if (Edit.GetEnabled() && Edit.GetRow() >= 0 && Edit.GetRow() < G.GetRowCount())
                G.SetCellEx(F->GetColumn(), Edit.GetRow(), F->GetCondition());
        }
    } catch (const std::exception&) {
        // An unreadable file leaves the conditions as they were loaded so far.
    }
}

// ---- the grid's own filter operations ----

bool TDedOzovedUrad::FilterRow(int ARow)
{
    auto* V = TGridDataViews::Of(*this);
    return V && V->FilterRow(ARow);
}

void TDedOzovedUrad::ApplyFilter()
{
    if (auto* V = TGridDataViews::Of(*this))
        V->ApplyFilter();
}

bool TDedOzovedUrad::RemoveLastFilter()
{
    auto* V = TGridDataViews::Of(*this);
    return V && V->RemoveLastFilter();
}

void TDedOzovedUrad::NarrowDown(const String& ACondition, TNarrowDownOptions AOptions, int AColumn)
{
    if (auto* V = TGridDataViews::Of(*this))
        V->NarrowDown(ACondition, AOptions, AColumn);
}

void TDedOzovedUrad::NarrowDown(const String& ACondition, bool DoRemoveAccented, int AColumn)
{
    NarrowDown(ACondition, DoRemoveAccented ? TNarrowDownOptions { ndRemoveAccented } : TNarrowDownOptions(), AColumn);
}

void TDedOzovedUrad::NarrowDown(const String& ACondition, int AColumn)
{
    NarrowDown(ACondition, TNarrowDownOptions(), AColumn);
}

void TDedOzovedUrad::SaveFilter(const String& FileName)
{
    if (auto* V = TGridDataViews::Of(*this))
        V->SaveFilter(FileName);
}

void TDedOzovedUrad::LoadFilter(const String& FileName)
{
    if (auto* V = TGridDataViews::Of(*this))
        V->LoadFilter(FileName);
}

bool TDedOzovedUrad::GetNarrowDownFromStart() const
{
    auto* V = TGridDataViews::Of(const_cast<TDedOzovedUrad&>(*this));
    return V && V->FNarrowDownFromStart;
}

void TDedOzovedUrad::SetNarrowDownFromStart(bool Value)
{
    if (auto* V = TGridDataViews::Of(*this))
        V->FNarrowDownFromStart = Value;
}
