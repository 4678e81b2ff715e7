// 1,000 focus moves with the text editor open on a 100,000 x 15 grid and
// on a 1,000 x 15 grid of listing texts: per move the editor opens on the
// focus cell, a text is typed into it, the text is validated, the edit is
// stored and the focus moves on. Nothing of it may depend on the row count,
// so the two times should be about the same. The baseline is the plain
// platform string grid doing the same with its own editor (open, type,
// store, move) over the same cells.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/grid_paint/ListingScreen.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumInplaceEdit.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"
#include "platform/win/Headless.h"

namespace {

using namespace listingscreen;

constexpr int kMoves = 1000;
constexpr int kReps = 5;

// The cell of move i: along the rows and across the normal columns, the
// same cells in every grid.
int MoveCol(int i) { return 1 + i % (kCols - 1); }
int MoveRow(int i) { return 1 + (i * 7) % 997; }

String Typed(int i) { return Utf8ToString("typed " + std::to_string(i)); }

template<class Grid>
void Fill(Grid* G, int Rows)
{
    G->SetColCount(kCols);
    G->SetRowCount(Rows + 1);
    G->SetDefaultRowHeight(kRowHeight);
    for (int c = 0; c < kCols; ++c)
        G->SetColWidths(c, kColWidth);
    for (int r = 1; r <= Rows; ++r)
        for (int c = 0; c < kCols; ++c)
            G->SetCells(c, r, ListingField(c, r));
    G->SetOptions(G->GetOptions() + TGridOptions { goEditing });
}

struct TEditScreen {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };

    explicit TEditScreen(int Rows)
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 40, kHeight + 80);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kWidth, kHeight);
        Grid->BeginUpdate();
        Fill(Grid, Rows);
        Grid->EndUpdate();
        Form->Show();
        Grid->SetFocus();
        Headless::PumpUntilIdle();
    }

    // Best of kReps runs of kMoves moves, in microseconds per move.
    double Run()
    {
        double Best = 1e9;
        for (int Rep = 0; Rep < kReps; ++Rep) {
            Grid->MoveColRow(MoveCol(0), MoveRow(0), true, true);
            const auto t = std::chrono::steady_clock::now();
            for (int i = 0; i < kMoves; ++i) {
                Grid->ShowInplaceEdit();
                auto* Edit = Grid->GetNormalEdit();
                Edit->SetText(Typed(i));
                Grid->ValidateCell(Edit->GetText());
                Grid->HideInplaceEdit();
                Grid->MoveColRow(MoveCol(i + 1), MoveRow(i + 1), true, true);
                Headless::PumpUntilIdle();
            }
            Best = std::min(Best, Seconds(t));
        }
        return Best * 1e6 / kMoves;
    }
};

// The platform's string grid with its own editor over the same cells.
struct TPlainScreen {
    std::unique_ptr<TForm> Form;
    TStringGrid* Grid { nullptr };

    explicit TPlainScreen(int Rows)
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 40, kHeight + 80);
        Grid = new TStringGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, kWidth, kHeight);
        Grid->SetUpdating(true);
        Fill(Grid, Rows);
        Grid->SetUpdating(false);
        Form->Show();
        Grid->SetFocus();
        Headless::PumpUntilIdle();
    }

    double Run()
    {
        double Best = 1e9;
        for (int Rep = 0; Rep < kReps; ++Rep) {
            Grid->MoveColRow(MoveCol(0), MoveRow(0), true, true);
            const auto t = std::chrono::steady_clock::now();
            for (int i = 0; i < kMoves; ++i) {
                Grid->ShowEditor();
                Grid->GetInplaceEditor()->SetText(Typed(i));
                Grid->HideEditor();
                Grid->MoveColRow(MoveCol(i + 1), MoveRow(i + 1), true, true);
                Headless::PumpUntilIdle();
            }
            Best = std::min(Best, Seconds(t));
        }
        return Best * 1e6 / kMoves;
    }
};

} // namespace

int main()
{
    THeadlessSession Session;
    constexpr int kBig = 100000, kSmall = 1000;
    std::printf("%d focus moves with the text editor open (open, type, validate, store, move), best of %d runs\n",
        kMoves, kReps);
    double Big = 0, Small = 0, Plain = 0;
    {
        TEditScreen Screen(kBig);
        Big = Screen.Run();
    }
    {
        TEditScreen Screen(kSmall);
        Small = Screen.Run();
    }
    {
        TPlainScreen Screen(kBig);
        Plain = Screen.Run();
    }
    std::printf("  string grid, %d x %d:   %8.1f us per move\n", kBig, kCols, Big);
    std::printf("  string grid, %d x %d:     %8.1f us per move\n", kSmall, kCols, Small);
    std::printf("  ratio 100,000 rows / 1,000 rows: %.2f (goal <= 1.2)\n", Big / Small);
    std::printf("  platform string grid, %d x %d, its own editor (open, type, store, move): %8.1f us per move\n",
        kBig, kCols, Plain);
    std::printf("  ratio string grid / platform grid (100,000 rows): %.2f\n", Big / Plain);
    return 0;
}
