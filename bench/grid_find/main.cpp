// Find and replace at listing scale: FindAll over 100,000 rows of 15 fields
// for a text held by about 1 % of the cells, and Replace in 1,000 cells. In
// the same run the reference reads the same display texts, upper-cases and
// searches them in a bare loop (and, for Replace, replaces in the cells it
// finds). Prints CPU seconds and the ratios.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "bench/CpuTime.h"
#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kCols = 15;
constexpr int kRows = 100000;
constexpr int kReps = 3;

// One cell in a hundred carries the needle; one in 1,500 the part replaced.
String Field(int c, int r)
{
    String s = benchrows::ListingField(c, r, kRows);
    const int n = r * kCols + c;
    if (n % 100 == 7)
        s += u" Needle";
    if (n % 1500 == 11)
        s += u" gizmo";
    return s;
}

// The reference: every display text upper-cased and searched.
int ReferenceCount(TDedOzovedUrad& G, const String& Upper)
{
    int n = 0;
    for (int c = 0; c < kCols; ++c)
        for (int r = 1; r <= kRows; ++r)
            n += AnsiUpperCase(G.GetCellEx(c, r)).find(Upper) != String::npos;
    return n;
}

void Report(const char* What, double Grid, double Reference)
{
    std::printf("%-40s grid %8.4f s   reference %8.4f s (CPU)   ratio %5.2f\n", What, Grid, Reference,
        Reference > 0 ? Grid / Reference : 0.0);
}

} // namespace

int main()
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(kCols);
    G.SetRowCount(kRows + 1);
    G.SetFixedRows(1);
    G.SetFixedCols(0);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            G.SetGridCell(c, r + 1, Field(c, r + 1));

    int Found = 0;
    const double FindGrid = benchcpu::Best(kReps, [&] { G.FindAll(u"needle", {}, Found); });
    int RefFound = 0;
    const double FindRef = benchcpu::Best(kReps, [&] { RefFound = ReferenceCount(G, u"NEEDLE"); });
    if (Found != RefFound)
        std::printf("  matches differ: grid %d, reference %d\n", Found, RefFound);

    // Each run replaces back and forth, so every run changes 1,000 cells.
    int Changed = 0;
    bool Forward = true;
    const double ReplaceGrid = benchcpu::Best(kReps, [&] {
        Changed = Forward ? G.Replace(u"gizmo", u"widget", {}) : G.Replace(u"widget", u"gizmo", {});
        Forward = !Forward;
    });
    int RefChanged = 0;
    const double ReplaceRef = benchcpu::Best(kReps, [&] {
        const String From = Forward ? u"GIZMO" : u"WIDGET";
        const String To = Forward ? u"widget" : u"gizmo";
        RefChanged = 0;
        for (int c = 0; c < kCols; ++c)
            for (int r = 1; r <= kRows; ++r)
                if (AnsiUpperCase(G.GetCellEx(c, r)).find(From) != String::npos) {
                    G.SetCellEx(c, r, StringReplace(G.GetCellEx(c, r), From, To, rfReplaceAll | rfIgnoreCase));
                    ++RefChanged;
                }
        Forward = !Forward;
    });
    if (Changed != RefChanged)
        std::printf("  cells changed differ: grid %d, reference %d\n", Changed, RefChanged);

    std::printf("find and replace, %d x %d cells, best of %d runs\n", kRows, kCols, kReps);
    std::printf("FindAll matches %d, Replace changes %d cells\n", Found, Changed);
    Report("FindAll, 1 percent of the cells", FindGrid, FindRef);
    Report("Replace, 1,000 cells", ReplaceGrid, ReplaceRef);
    return 0;
}
