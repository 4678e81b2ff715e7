// Writing 100,000 x 15 cells into a visible grid inside one update block,
// then one full WM_PAINT of a 1280 x 800 window; against the base grid's
// raw-store loop over the same texts and a bare cairo/pango paint of the
// same screen. The block must keep every per-cell repaint out of the writes.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/BaseGrid.h"
#include "bench/grid_paint/ListingScreen.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

using namespace listingscreen;

constexpr int kRows = 100000;
constexpr int kReps = 5;

// The base grid with its hooks answered, for the raw-store loop.
class TRawGrid : public TBaseGrid {
public:
    bool IsNode(int) override { return false; }
    bool IsSummary(int) override { return false; }
    bool CellHasCheckBox(int, int) override { return false; }
    void SetCheckBoxFromText(int, int, const String&) override { }
};

// Two sets of texts (row 1..kRows), so every repetition writes changed cells.
std::vector<std::vector<String>> Texts(int Variant)
{
    std::vector<std::vector<String>> t(kRows + 1, std::vector<String>(kCols));
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            t[std::size_t(r)][std::size_t(c)] = ListingField(c, r + Variant * kRows);
    return t;
}

} // namespace

int main()
{
    THeadlessSession Session({ kWidth + 200, kHeight + 200 });
    const std::vector<std::vector<String>> Sets[2] = { Texts(0), Texts(1) };

    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetPosition(poDesigned);
    Form->SetBounds(0, 0, kWidth + 40, kHeight + 80);
    auto* Grid = new TDedOzovedUrad(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBorderStyle(bsNone);
    Grid->SetBounds(0, 0, kWidth, kHeight);
    Grid->SetColCount(kCols);
    Grid->SetRowCount(kRows + 1);
    Grid->SetDefaultRowHeight(kRowHeight);
    for (int c = 0; c < kCols; ++c)
        Grid->SetColWidths(c, kColWidth);
    Form->Show();
    Application->ProcessMessages();

    // Rounds alternate between the two loops, so both meet the same heap.
    TRawGrid Raw;
    Raw.SetColCount(kCols);
    Raw.SetRowCount(kRows + 1);
    double GridWrite = 1e9, RawWrite = 1e9;
    for (int rep = 0; rep < kReps; ++rep) {
        const auto& T = Sets[rep % 2];
        auto t = std::chrono::steady_clock::now();
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Raw.SetGridCell(c, r, T[std::size_t(r)][std::size_t(c)]);
        RawWrite = std::min(RawWrite, Seconds(t));
        t = std::chrono::steady_clock::now();
        Grid->BeginUpdate();
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCells(c, r, T[std::size_t(r)][std::size_t(c)]);
        Grid->EndUpdate();
        GridWrite = std::min(GridWrite, Seconds(t));
    }

    // One full paint through the window: WM_PAINT with its double buffer.
    Grid->SetDoubleBuffered(true);
    double GridPaint = 1e9;
    for (int rep = 0; rep < kReps; ++rep) {
        Grid->Invalidate();
        const auto t = std::chrono::steady_clock::now();
        UpdateWindow(Grid->GetHandle());
        GridPaint = std::min(GridPaint, Seconds(t));
    }
    const double Bare = BareLoop(1, kRows, kReps);

    std::printf("%d x %d cells written into a visible grid inside BeginUpdate/EndUpdate (best of %d)\n", kRows,
        kCols, kReps);
    std::printf("  grid %8.2f ms   raw-store loop %8.2f ms   ratio %5.2f (goal <= 1.5)\n", GridWrite * 1000,
        RawWrite * 1000, GridWrite / RawWrite);
    std::printf("One full WM_PAINT of a %d x %d window, double-buffered (best of %d)\n", kWidth, kHeight, kReps);
    std::printf("  grid %8.2f ms   bare cairo/pango paint %8.2f ms   ratio %5.2f\n", GridPaint * 1000, Bare,
        GridPaint * 1000 / Bare);
    return 0;
}
