// 10,000 pointer moves with the hover row on over a shown grid of 100,000
// rows of 15 texts and, in the same process, over one of 1,000 rows (the
// baseline): each move goes through the window's message path and changes
// the hover row most of the time. Measured twice: the mouse-move step
// alone (EnhRowColMove off, so the step does not update the window at
// once, and the repaints it asks for pile up unpainted), and the default
// grid with each move painted before the next one. Prints the time per move on both grids
// and the ratio (goal <= 1.2: a move costs the same whatever the row
// count).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

constexpr int kCols = 15;
constexpr int kMoves = 10000;

double Seconds(std::chrono::steady_clock::time_point From)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - From).count();
}

// Milliseconds per move over a grid of Rows normal rows scrolled to its
// middle.
double MovesOn(int Rows, bool Painted)
{
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetPosition(poDesigned);
    Form->SetBounds(0, 0, 1280, 800);
    auto* Grid = new TDedOzovedUrad(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 1200, 700);
    Grid->SetColCount(kCols);
    Grid->BeginUpdate();
    Grid->SetRowCount(Rows + 1);
    for (int r = 1; r <= Rows; ++r)
        for (int c = 1; c < kCols; ++c)
            Grid->SetCells(c, r, Utf8ToString("Field " + std::to_string(c) + " of row " + std::to_string(r)));
    Grid->EndUpdate();
    Grid->SetHoverRow(true);
    Grid->SetHoverRowColor(TColor(0xF0E0D0));
    Grid->SetEnhRowColMove(Painted);
    Form->Show();
    Grid->SetTopRow(Rows / 2);
    Headless::PumpUntilIdle();

    const int Height = Grid->GetClientHeight() - 30;
    auto Start = std::chrono::steady_clock::now();
    for (int i = 0; i < kMoves; ++i) {
        // Down the rows and back, across the columns.
        const int Step = i % (2 * Height / 7);
        const int Y = 30 + (Step * 7 < Height ? Step * 7 : 2 * Height - Step * 7);
        const int X = 40 + (i * 13) % 1100;
        Grid->Perform(WM_MOUSEMOVE, 0, LPARAM((Y << 16) | X));
        if (Painted)
            Headless::PumpUntilIdle();
    }
    const double Ms = Seconds(Start) * 1000 / kMoves;
    if (Grid->GetHoverRowIdx() < Rows / 2)
        std::printf("the hover row did not follow the pointer\n");
    return Ms;
}

} // namespace

int main()
{
    THeadlessSession Session({ 1400, 900 });
    InstallDeviceContextFactory();
    const int Big = std::getenv("GRID_MOUSE_ROWS") ? std::atoi(std::getenv("GRID_MOUSE_ROWS")) : 100000;
    std::printf("%d mouse moves, hover row on, %d columns\n", kMoves, kCols);
    for (bool Painted : { false, true }) {
        // The small grid first and last, so warming up favours neither side.
        const double SmallA = MovesOn(1000, Painted);
        const double Large = MovesOn(Big, Painted);
        const double SmallB = MovesOn(1000, Painted);
        const double Small = (SmallA + SmallB) / 2;
        std::printf("%-12s %-22s %9.4f ms per move   %-18s %9.4f ms per move   ratio %6.2f (goal <= 1.2)\n",
            Painted ? "painted" : "step alone", ("grid of " + std::to_string(Big) + " rows").c_str(), Large,
            "grid of 1000 rows", Small, Small > 0 ? Large / Small : 0.0);
    }
    return 0;
}
