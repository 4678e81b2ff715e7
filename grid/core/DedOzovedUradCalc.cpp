// Numeric aggregates over a column, a row, a rectangle or the selection, the
// distinct values of a column, and the footer row's calculations.
//
// The column forms run after every change of cells (the footer is
// recalculated by CellsChanged), so they never raise on a text that is no
// number: they skip it, as the sum always did.

#include <cmath>
#include <set>
#include <unordered_set>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

namespace {

// The number text as the typed accessors read it: empty or "-" is 0;
// anything else must convert completely.
bool NumberOfText(const String& Text, double& Value)
{
    const String Number = VuzEraz::ExtractNumberText(Text);
    if (Number.empty() || Number == u"-") {
        Value = 0;
        return true;
    }
    return TryStrToFloat(Number, Value, InvariantFormatSettings());
}

// Announces an aggregate's start and, however it ends, its end.
struct TExportBracket {
    TDedOzovedUrad& Grid;
    TExportBracket(TDedOzovedUrad& G, int FromRow) : Grid(G) { Grid.ExportNotification(esExportStart, FromRow); }
    ~TExportBracket() { Grid.ExportNotification(esExportDone, -1); }
    TExportBracket(const TExportBracket&) = delete;
    TExportBracket& operator=(const TExportBracket&) = delete;
};

} // namespace

// ---- reading numbers ----

bool TDedOzovedUrad::TryFloats(int c, int r, double& Value)
{
    const String Text = GetCellEx(c, r);
    // Text without a tag is its own plain text.
    if (Text.find(u'<') == String::npos)
        return NumberOfText(Text, Value);
    return NumberOfText(VovHTMLE::HTMLToPlainText(Text), Value);
}

bool TDedOzovedUrad::TryAllFloats(int c, int r, double& Value) { return NumberOfText(GetCellsEx(c, r), Value); }

// ---- column aggregates ----

void TDedOzovedUrad::CalcRange(int& FromRow, int& ToRow, bool& AllRows)
{
    if (FromRow == -1 || ToRow == -1) {
        FromRow = GetFixedRows();
        ToRow = GetRowCount() - FFixedFooters - 1;
    }
    // With the floating footer the last row is the footer's own (or its
    // spare row): a range beyond the row above it reaches the hidden rows.
    const int LastInView = FFloatingFooter->GetVisible() ? GetRowCount() - 2 : GetRowCount() - 1;
    AllRows = ToRow > LastInView;
}

template<class Visit>
void TDedOzovedUrad::ForEachColumnValue(int ACol, int FromRow, int ToRow, Visit Fn)
{
    bool AllRows = false;
    CalcRange(FromRow, ToRow, AllRows);
    TExportBracket Bracket(*this, FromRow);
    const bool Grouped = FGroupColumn != -1;
    // Real rows are walked alongside the sorted hidden rows: a row in view
    // stands at its real index less the hidden rows before it.
    static const std::vector<int> NoneHidden;
    const std::vector<int>* Idx = &NoneHidden;
    if (AllRows && NumHiddenRows() > 0) {
        BuildHiddenRowLookup();
        Idx = &FHiddenRowLookup->Idx;
    }
    std::size_t k = 0;
    for (int r = FromRow; r <= ToRow; ++r) {
        while (k < Idx->size() && (*Idx)[k] < r)
            ++k;
        const int D = r - int(k);
        double Value = 0;
        if (k < Idx->size() && (*Idx)[k] == r) {
            TStrings* Cells = FHiddenRowLookup->Items[k]->GetItems();
            const bool Stored = ACol >= 0 && ACol < GetAllColCount() && ACol < Cells->GetCount();
            String Text = Stored ? Cells->GetStrings(ACol) : String();
            // A stored row keeps its merges among its saved cells.
            auto* Props = Stored ? dynamic_cast<TCellProperties*>(Cells->GetObjects(ACol)) : nullptr;
            if (Props && !Props->GetIsBaseCell())
                continue;
            ExportNotification(esExportNextRow, r);
            FormatDisplayText(ACol, r, Text);
            if (NumberOfText(Text, Value))
                Fn(Value);
            continue;
        }
        if (Grouped && (IsNode(D) || IsSummary(D)))
            continue;
        if (!IsBaseCell(ACol, D))
            continue;
        ExportNotification(esExportNextRow, r);
        // AllFloats reads the text as it stands, Floats without its markup.
        if (AllRows ? NumberOfText(GetCellEx(ACol, D), Value) : TryFloats(ACol, D, Value))
            Fn(Value);
    }
}

double TDedOzovedUrad::ColumnSum(int ACol, int FromRow, int ToRow)
{
    double Sum = 0;
    ForEachColumnValue(ACol, FromRow, ToRow, [&](double v) { Sum += v; });
    return Sum;
}

double TDedOzovedUrad::ColumnAvg(int ACol, int FromRow, int ToRow)
{
    bool AllRows = false;
    int From = FromRow, To = ToRow;
    CalcRange(From, To, AllRows);
    if (To < From)
        return 0;
    return ColumnSum(ACol, FromRow, ToRow) / double(To - From + 1);
}

double TDedOzovedUrad::ColumnMin(int ACol, int FromRow, int ToRow)
{
    std::optional<double> Min;
    ForEachColumnValue(ACol, FromRow, ToRow, [&](double v) {
        if (!Min || v < *Min)
            Min = v;
    });
    return Min.value_or(0);
}

double TDedOzovedUrad::ColumnMax(int ACol, int FromRow, int ToRow)
{
    std::optional<double> Max;
    ForEachColumnValue(ACol, FromRow, ToRow, [&](double v) {
        if (!Max || v > *Max)
            Max = v;
    });
    return Max.value_or(0);
}

double TDedOzovedUrad::ColumnStdDev(int ACol, int FromRow, int ToRow)
{
    bool AllRows = false;
    int From = FromRow, To = ToRow;
    CalcRange(From, To, AllRows);
    const int N = To - From + 1;
    if (N <= 0)
        return 0;
    const double Avg = ColumnAvg(ACol, From, To);
    TExportBracket Bracket(*this, From);
    double Sum = 0;
    for (int r = From; r <= To; ++r) {
        double Value = 0;
        if (AllRows ? TryAllFloats(ACol, r, Value) : TryFloats(ACol, r, Value))
            Sum += (Value - Avg) * (Value - Avg);
    }
    return std::sqrt(Sum / N);
}

double TDedOzovedUrad::ColumnDistinct(int ACol, int FromRow, int ToRow)
{
    bool AllRows = false;
    CalcRange(FromRow, ToRow, AllRows);
    TExportBracket Bracket(*this, FromRow);
    std::unordered_set<String> Seen;
    for (int r = FromRow; r <= ToRow; ++r) {
        ExportNotification(esExportNextRow, r);
        Seen.insert(AnsiUpperCase(AllRows ? GetCellsEx(ACol, r) : GetCellEx(ACol, r)));
    }
    return double(Seen.size());
}

double TDedOzovedUrad::ColumnCount(int /*ACol*/, int FromRow, int ToRow)
{
    if (FromRow != -1 && ToRow != -1)
        return ToRow - FromRow + 1;
    return GetRowCount() - GetFixedRows() - FFixedFooters;
}

double TDedOzovedUrad::ColumnCustomCalc(int ACol, int FromRow, int ToRow)
{
    double Res = 0;
    if (OnColumnCalc)
        OnColumnCalc(this, ACol, FromRow, ToRow, Res);
    return Res;
}

double TDedOzovedUrad::GroupCalcValue(int ACol, int FromRow, int ToRow)
{
    double Res = 0;
    if (OnGroupCalc)
        OnGroupCalc(this, ACol, FromRow, ToRow, Res);
    return Res;
}

// ---- row aggregates ----

double TDedOzovedUrad::RowSum(int ARow, int fromCol, int toCol)
{
    double Sum = 0;
    for (int c = fromCol; c <= toCol; ++c) {
        double Value = 0;
        if (IsBaseCell(c, ARow) && TryFloats(c, ARow, Value))
            Sum += Value;
    }
    return Sum;
}

double TDedOzovedUrad::RowAvg(int ARow, int fromCol, int toCol)
{
    if (toCol < fromCol)
        return 0;
    return RowSum(ARow, fromCol, toCol) / double(toCol - fromCol + 1);
}

double TDedOzovedUrad::RowMin(int ARow, int fromCol, int toCol)
{
    std::optional<double> Min;
    for (int c = fromCol; c <= toCol; ++c) {
        double Value = 0;
        if ((c == fromCol || IsBaseCell(c, ARow)) && TryFloats(c, ARow, Value) && (!Min || Value < *Min))
            Min = Value;
    }
    return Min.value_or(0);
}

double TDedOzovedUrad::RowMax(int ARow, int fromCol, int toCol)
{
    std::optional<double> Max;
    for (int c = fromCol; c <= toCol; ++c) {
        double Value = 0;
        if ((c == fromCol || IsBaseCell(c, ARow)) && TryFloats(c, ARow, Value) && (!Max || Value > *Max))
            Max = Value;
    }
    return Max.value_or(0);
}

// ---- rectangles ----

double TDedOzovedUrad::RectCalc(const TGridRect& GR, TCalcType CalcType)
{
    const int Left = std::min(GR.Left, GR.Right), Right = std::max(GR.Left, GR.Right);
    const int Top = std::min(GR.Top, GR.Bottom), Bottom = std::max(GR.Top, GR.Bottom);
    double Result = CalcType == ctMin || CalcType == ctMax ? GetAllFloats(Left, Top) : 0;
    int Cells = 0;
    for (int c = Left; c <= Right; ++c)
        for (int r = Top; r <= Bottom; ++r) {
            const double Value = GetAllFloats(c, r);
            switch (CalcType) {
            case ctSum:
            case ctAvg: Result += Value; break;
            case ctMin: Result = std::min(Result, Value); break;
            case ctMax: Result = std::max(Result, Value); break;
            }
            ++Cells;
        }
    if (CalcType == ctAvg && Cells > 0)
        Result /= Cells;
    return Result;
}

// ---- distinct values ----

std::unique_ptr<TStringList> TDedOzovedUrad::DistinctValues(int ACol, bool CaseSensitive)
{
    auto Result = std::make_unique<TStringList>();
    Result->SetCaseSensitive(CaseSensitive);
    Result->SetSorted(true);
    Result->SetDuplicates(dupIgnore);
    std::set<String> Keys;
    auto Take = [&](const String& V) {
        if (Keys.insert(CaseSensitive ? V : UpperCase(V)).second)
            Result->Add(V);
    };
    for (int r = GetFixedRows(); r < GetRowCount() - FFixedFooters; ++r)
        Take(SaveCell(ACol, r));
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStrings* Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->GetItems();
        Take(ACol < Cells->GetCount() ? Trim(Cells->GetStrings(ACol)) : String());
    }
    return Result;
}

// ---- the footer row ----

void TDedOzovedUrad::CalcFooter(int ACol) { ComputeFooterCells(ACol); }

void TDedOzovedUrad::ComputeFooterCells(int ACol)
{
    if (!FFloatingFooter->GetVisible() || FFloatingFooter->GetFooterStyle() != fsFixedLastRow
        || !FFloatingFooter->GetEnableCalculation())
        return;
    const int First = ACol == -1 ? 0 : ACol;
    const int Last = ACol == -1 ? GetAllColCount() - 1 : ACol;
    for (int c = First; c <= Last; ++c) {
        const int FooterRow = GetRowCount() - 1;
        if (c < 0 || FooterRow < 0 || !HasCellProperties(c, FooterRow))
            continue;
        const int Kind = int(GetCellProperties(c, FooterRow)->GetCalcType()) & 0x7F;
        if (Kind == acNONE)
            continue;
        const int H = FFloatingFooter->GetCalculateHiddenRows() ? NumHiddenRows() : 0;
        const int From = GetFixedRows(), To = GetRowCount() - 2 + H;
        switch (Kind) {
        case acSUM: SetFloats(c, FooterRow, ColumnSum(c, From, To)); break;
        case acAVG: SetFloats(c, FooterRow, ColumnAvg(c, From, To)); break;
        case acMIN: SetFloats(c, FooterRow, ColumnMin(c, From, To)); break;
        case acMAX: SetFloats(c, FooterRow, ColumnMax(c, From, To)); break;
        case acDISTINCT: SetFloats(c, FooterRow, ColumnDistinct(c, From, To)); break;
        case acSTDDEV: SetFloats(c, FooterRow, ColumnStdDev(c, From, To)); break;
        case acCOUNT: SetInts(c, FooterRow, GetRowCount() - GetFixedRows() - 1 + H); break;
        case acCUSTOM: {
            String Value;
            if (OnFooterCalc)
                OnFooterCalc(this, c, FooterRow + H, Value);
            else if (FFloatingFooter->OnCalcFooter)
                FFloatingFooter->OnCalcFooter(this, c, FooterRow + H, Value);
            SetCellEx(c, FooterRow, Value);
            break;
        }
        default: break;
        }
    }
}

void TDedOzovedUrad::UpdateFooter() { FFloatingFooter->Invalidate(); }

void TDedOzovedUrad::FooterChanged()
{
    TBaseGrid::FooterChanged();
    UpdateFooter();
}
