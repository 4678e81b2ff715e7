// Row operations of a big grid: 100,000 rows of 15 texts under one header
// row. A filter level that hides every other row and its restore
// (HideRowList / UnHideRowList), RemoveDuplicates with every second row a
// duplicate, and single-row InsertRows / RemoveRows at row 50,000. In the
// same run the baselines do the same to a std::vector of row objects (one
// std::vector<String> of 15 texts per row): a stable partition and the
// merge back, a std::unordered_set de-duplication, and a vector insert and
// erase at the same place.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/IntList.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"

namespace {

// GRID_ROWS_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_ROWS_ROWS") ? std::atoi(std::getenv("GRID_ROWS_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kReps = 3;
constexpr int kInserts = 200;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

using TRowObject = std::vector<String>;

// Column 0 repeats every second row's key, so half the rows are duplicates.
String Field(int Col, int Row)
{
    if (Col == 0)
        return Utf8ToString("Listing " + std::to_string(Row / 2));
    return Utf8ToString("Field " + std::to_string(Col) + " of row " + std::to_string(Row));
}

struct TBench {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    std::vector<TRowObject> Table; // row 0 the header

    TBench()
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 1280, 800);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 1200, 700);
        Form->HandleNeeded();
        Grid->SetFixedCols(0);
        Grid->SetColCount(kCols);
        Table.resize(std::size_t(kRows) + 1);
        for (int c = 0; c < kCols; ++c)
            Table[0].push_back(Utf8ToString("Column " + std::to_string(c + 1)));
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Table[std::size_t(r)].push_back(Field(c, r));
        Fill();
    }

    void Fill()
    {
        Grid->BeginUpdate();
        Grid->SetRowCount(kRows + 1);
        Grid->SetFixedRows(1);
        for (int r = 0; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCells(c, r, Table[std::size_t(r)][std::size_t(c)]);
        Grid->EndUpdate();
    }

    bool SameAsTable()
    {
        if (Grid->GetRowCount() != kRows + 1)
            return false;
        for (int r = 0; r <= kRows; r += 997)
            if (Grid->GetCells(kCols - 1, r) != Table[std::size_t(r)][kCols - 1])
                return false;
        return true;
    }

    // Hide every other normal row as one filter level, then restore it.
    void HideUnhide(double& Hide, double& Unhide)
    {
        TIntList List;
        std::vector<int> Rows;
        for (int r = 1; r <= kRows; r += 2)
            Rows.push_back(r);
        List.SetValues(std::move(Rows));
        auto t = std::chrono::steady_clock::now();
        Grid->HideRowList(&List);
        Hide = Seconds(t);
        t = std::chrono::steady_clock::now();
        Grid->UnHideRowList();
        Unhide = Seconds(t);
        Grid->SetFilterLevel(Grid->GetFilterLevel() - 1);
    }

    void HideUnhideBaseline(double& Hide, double& Unhide)
    {
        std::vector<TRowObject> Rows = Table;
        std::vector<int> Index(Rows.size());
        for (std::size_t i = 0; i < Index.size(); ++i)
            Index[i] = int(i);
        auto t = std::chrono::steady_clock::now();
        // Rows in view first, the hidden ones after them (each set in order).
        std::vector<TRowObject> Shown, Hidden;
        std::vector<int> ShownIdx, HiddenIdx;
        for (auto* v : { &Shown, &Hidden })
            v->reserve(Rows.size() / 2 + 1);
        ShownIdx.reserve(Rows.size() / 2 + 1);
        HiddenIdx.reserve(Rows.size() / 2 + 1);
        for (std::size_t i = 0; i < Rows.size(); ++i) {
            const bool Out = i % 2 == 1;
            (Out ? Hidden : Shown).push_back(std::move(Rows[i]));
            (Out ? HiddenIdx : ShownIdx).push_back(Index[i]);
        }
        Hide = Seconds(t);
        t = std::chrono::steady_clock::now();
        std::vector<TRowObject> Merged;
        Merged.reserve(Shown.size() + Hidden.size());
        std::size_t a = 0, b = 0;
        while (a < Shown.size() || b < Hidden.size())
            if (b == Hidden.size() || (a < Shown.size() && ShownIdx[a] < HiddenIdx[b]))
                Merged.push_back(std::move(Shown[a++]));
            else
                Merged.push_back(std::move(Hidden[b++]));
        Unhide = Seconds(t);
        if (Merged.size() != Table.size() || Merged[3][1] != Table[3][1])
            std::printf("baseline merge differs\n");
    }

    double RemoveDuplicates()
    {
        const auto t = std::chrono::steady_clock::now();
        Grid->RemoveDuplicates(0, true);
        return Seconds(t);
    }

    double RemoveDuplicatesBaseline(std::size_t& Kept)
    {
        std::vector<TRowObject> Rows = Table;
        const auto t = std::chrono::steady_clock::now();
        std::unordered_set<String> Seen;
        std::vector<TRowObject> Out;
        Out.reserve(Rows.size());
        Out.push_back(std::move(Rows[0]));
        for (std::size_t i = 1; i < Rows.size(); ++i)
            if (Seen.insert(Rows[i][0]).second)
                Out.push_back(std::move(Rows[i]));
        const double s = Seconds(t);
        Kept = Out.size();
        return s;
    }

    double InsertRemove()
    {
        const auto t = std::chrono::steady_clock::now();
        for (int i = 0; i < kInserts; ++i) {
            Grid->InsertRows(kRows / 2, 1);
            Grid->RemoveRows(kRows / 2, 1);
        }
        return Seconds(t) / kInserts;
    }

    double InsertRemoveBaseline()
    {
        std::vector<TRowObject> Rows = Table;
        const auto t = std::chrono::steady_clock::now();
        for (int i = 0; i < kInserts; ++i) {
            Rows.insert(Rows.begin() + kRows / 2, TRowObject(kCols));
            Rows.erase(Rows.begin() + kRows / 2);
        }
        return Seconds(t) / kInserts;
    }
};

void Report(const char* What, double Grid, const char* Baseline, double Base, const char* Note = "")
{
    std::printf("%-28s %9.2f ms   %-34s %9.2f ms   ratio %6.2f (goal <= 3)%s\n", What, Grid * 1000, Baseline,
        Base * 1000, Base > 0 ? Grid / Base : 0.0, Note);
}

} // namespace

int main()
{
    std::printf("A grid of %d rows of %d texts (best of %d runs)\n", kRows, kCols, kReps);
    TBench B;
    double Hide = 1e30, Unhide = 1e30, BaseHide = 1e30, BaseUnhide = 1e30;
    bool Restored = true;
    for (int i = 0; i < kReps; ++i) {
        double h, u;
        B.HideUnhideBaseline(h, u);
        BaseHide = std::min(BaseHide, h);
        BaseUnhide = std::min(BaseUnhide, u);
        B.HideUnhide(h, u);
        Hide = std::min(Hide, h);
        Unhide = std::min(Unhide, u);
        Restored = Restored && B.SameAsTable();
    }
    Report("HideRowList (every other)", Hide, "partitioning a vector of rows", BaseHide);
    Report("UnHideRowList", Unhide, "merging the rows back", BaseUnhide, Restored ? "" : "  ROWS DIFFER");

    double Dups = 1e30, BaseDups = 1e30;
    std::size_t Kept = 0;
    int Left = 0;
    for (int i = 0; i < kReps; ++i) {
        if (i > 0)
            B.Fill();
        BaseDups = std::min(BaseDups, B.RemoveDuplicatesBaseline(Kept));
        Dups = std::min(Dups, B.RemoveDuplicates());
        Left = B.Grid->GetRowCount();
    }
    Report("RemoveDuplicates (half)", Dups, "std::unordered_set de-duplication", BaseDups,
        std::size_t(Left) == Kept ? "" : "  COUNTS DIFFER");

    B.Fill();
    double Ins = 1e30, BaseIns = 1e30;
    for (int i = 0; i < kReps; ++i) {
        BaseIns = std::min(BaseIns, B.InsertRemoveBaseline());
        Ins = std::min(Ins, B.InsertRemove());
    }
    Report("InsertRows+RemoveRows @50000", Ins, "vector insert + erase of a row", BaseIns,
        B.SameAsTable() ? "" : "  ROWS DIFFER");
    return 0;
}
