// MoveColumn on a grid of 100,000 rows of 15 texts under one header row:
// each round moves every column once (column c to position 14 - c), and the
// same rotations run in the same process on a std::vector table of the same
// texts (one std::vector<String> per row), the baseline. Prints the time per
// move of both and the ratio (the middle column never moves).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"

namespace {

// GRID_MOVE_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_MOVE_ROWS") ? std::atoi(std::getenv("GRID_MOVE_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kRounds = 3;

double Seconds(std::chrono::steady_clock::time_point From)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - From).count();
}

String Field(int Col, int Row)
{
    return Utf8ToString("Field " + std::to_string(Col) + " of row " + std::to_string(Row));
}

void Rotate(std::vector<String>& Row, int From, int To)
{
    if (From < To)
        std::rotate(Row.begin() + From, Row.begin() + From + 1, Row.begin() + To + 1);
    else
        std::rotate(Row.begin() + To, Row.begin() + From, Row.begin() + From + 1);
}

} // namespace

int main()
{
    InstallDeviceContextFactory();
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 1280, 800);
    auto* Grid = new TDedOzovedUrad(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 1200, 700);
    Form->HandleNeeded();
    Grid->SetFixedCols(0);
    Grid->SetColCount(kCols);
    std::vector<std::vector<String>> Table(std::size_t(kRows) + 1);
    for (int r = 0; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            Table[std::size_t(r)].push_back(r == 0 ? Utf8ToString("Column " + std::to_string(c)) : Field(c, r));
    Grid->BeginUpdate();
    Grid->SetRowCount(kRows + 1);
    Grid->SetFixedRows(1);
    for (int r = 0; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            Grid->SetCells(c, r, Table[std::size_t(r)][std::size_t(c)]);
    Grid->EndUpdate();

    // The middle column stays where it is.
    const int Moves = kRounds * (kCols - kCols % 2);
    auto Start = std::chrono::steady_clock::now();
    for (int Round = 0; Round < kRounds; ++Round)
        for (int c = 0; c < kCols; ++c)
            if (c != kCols - 1 - c)
                Grid->MoveColumn(c, kCols - 1 - c);
    const double GridTime = Seconds(Start);

    Start = std::chrono::steady_clock::now();
    for (int Round = 0; Round < kRounds; ++Round)
        for (int c = 0; c < kCols; ++c)
            if (c != kCols - 1 - c)
                for (auto& Row : Table)
                    Rotate(Row, c, kCols - 1 - c);
    const double BaseTime = Seconds(Start);

    // Both sides must have done the same.
    bool Same = true;
    for (int r = 0; r <= kRows && Same; r += 997)
        for (int c = 0; c < kCols; ++c)
            if (Grid->GetCells(c, r) != Table[std::size_t(r)][std::size_t(c)])
                Same = false;
    if (!Same)
        std::printf("the grid and the table differ after the moves\n");

    std::printf("MoveColumn on %d rows of %d texts, %d moves\n", kRows, kCols, Moves);
    std::printf("%-28s %9.3f ms per move   %-26s %9.3f ms per move   ratio %6.2f (goal <= 3)\n", "grid MoveColumn",
        GridTime * 1000 / Moves, "std::vector rotate", BaseTime * 1000 / Moves, BaseTime > 0 ? GridTime / BaseTime : 0.0);
    return Same ? 0 : 1;
}
