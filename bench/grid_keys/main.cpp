// The grid's keyboard: time per key for Down, End and Ctrl+End pressed in
// a 100,000 x 15 grid with every second row hidden and in a 1,000 x 15
// grid, each key sent through the grid's window procedure as WM_KEYDOWN
// and WM_KEYUP. The baseline takes the same number of steps as plain index
// moves over a std::vector of row-visibility flags.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/WinUser.h"

namespace {

constexpr int kCols = 15;
constexpr int kKeys = 1000;
constexpr int kReps = 7;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// A grid of Rows real rows of which every second one (1, 3, 5, ...) lies
// in the hidden-row store, on a form of its own.
struct TKeyGrid {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    std::vector<char> Visible; // per real row, as the baseline sees them

    TKeyGrid(int Rows, bool HideHalf)
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 1000, 700);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 960, 640);
        Form->HandleNeeded();
        Grid->BeginUpdate();
        Grid->SetColCount(kCols);
        Grid->SetRowCount(HideHalf ? Rows - Rows / 2 : Rows);
        if (HideHalf) {
            Grid->GetGridItems()->BeginUpdate();
            for (int r = 1; r < Rows; r += 2)
                static_cast<TGridItem*>(Grid->GetGridItems()->Add())->SetIdx(r);
            Grid->GetGridItems()->EndUpdate();
        }
        Grid->EndUpdate();
        for (int r = 0; r < Rows; ++r)
            Visible.push_back(!HideHalf || r % 2 == 0 ? 1 : 0);
    }
    void Key(WORD Vk, bool Ctrl = false)
    {
        BYTE State[256] {};
        if (Ctrl) {
            State[VK_CONTROL] = 0x80;
            State[VK_LCONTROL] = 0x80;
        }
        SetKeyboardState(State);
        Grid->Perform(WM_KEYDOWN, Vk, 1);
        Grid->Perform(WM_KEYUP, Vk, LPARAM(1) | (LPARAM(1) << 30) | (LPARAM(1) << 31));
    }
};

// Nanoseconds per key, best of kReps runs of kKeys presses each.
template<class Press>
double NsPerKey(Press P)
{
    double Best = 1e30;
    for (int Rep = 0; Rep < kReps; ++Rep) {
        const auto t = std::chrono::steady_clock::now();
        for (int i = 0; i < kKeys; ++i)
            P(i);
        Best = std::min(Best, Seconds(t) * 1e9 / kKeys);
    }
    return Best;
}

struct TFigures {
    double Down, End, CtrlEnd, BaseDown, BaseEnd;
};

TFigures Measure(int Rows, bool HideHalf)
{
    TKeyGrid K(Rows, HideHalf);
    TDedOzovedUrad& G = *K.Grid;
    TFigures F {};
    // Down from the first normal row; every run starts there again.
    F.Down = NsPerKey([&](int i) {
        if (i == 0)
            G.FocusCell(1, 1);
        K.Key(VK_DOWN);
    });
    if (G.GetRow() != std::min(1 + kKeys, G.GetRowCount() - 1))
        std::printf("Down reached row %d\n", G.GetRow());
    // End and Home by turns (End to the last column), Ctrl+End and Ctrl+Home
    // by turns (to the last and the first cell).
    F.End = NsPerKey([&](int i) { K.Key(i % 2 == 0 ? VK_END : VK_HOME); });
    F.CtrlEnd = NsPerKey([&](int i) { K.Key(i % 2 == 0 ? VK_END : VK_HOME, true); });
    G.FocusCell(1, 1);
    K.Key(VK_END, true);
    if (G.GetRow() != G.GetRowCount() - 1)
        std::printf("Ctrl+End reached row %d, not %d\n", G.GetRow(), G.GetRowCount() - 1);

    // The baseline: the same steps over the visibility flags.
    const std::vector<char>& V = K.Visible;
    long Sink = 0;
    std::size_t Pos = 0;
    F.BaseDown = NsPerKey([&](int i) {
        if (i == 0)
            Pos = 0;
        std::size_t Next = Pos + 1;
        while (Next < V.size() && !V[Next])
            ++Next;
        if (Next < V.size())
            Pos = Next;
        Sink += long(Pos);
    });
    F.BaseEnd = NsPerKey([&](int i) {
        std::size_t Last = V.size() - 1;
        while (Last > 0 && !V[Last])
            --Last;
        Sink += long(Last) + i;
    });
    if (Sink == 42)
        std::printf("(sink)\n");
    std::printf("%6d rows%s: Down %7.0f ns, End %7.0f ns, Ctrl+End %7.0f ns per key | flags: step %5.1f ns, "
                "last %5.1f ns\n",
        Rows, HideHalf ? " (half hidden)" : "             ", F.Down, F.End, F.CtrlEnd, F.BaseDown, F.BaseEnd);
    return F;
}

} // namespace

int main()
{
    THeadlessSession Session;
    std::printf("Keys through the grid's window procedure, %d presses per figure, best of %d runs\n", kKeys, kReps);
    const TFigures Small = Measure(1000, false);
    const TFigures Large = Measure(100000, true);
    std::printf("ratio 100000 (half hidden) : 1000 rows  Down %.2f, End %.2f, Ctrl+End %.2f (goal <= 1.5)\n",
        Large.Down / Small.Down, Large.End / Small.End, Large.CtrlEnd / Small.CtrlEnd);
    std::printf("ratio grid : flag steps               Down %.0f / %.0f, End %.0f / %.0f (1000 / 100000 rows)\n",
        Small.Down / Small.BaseDown, Large.Down / Large.BaseDown, Small.End / Small.BaseEnd,
        Large.End / Large.BaseEnd);
    return 0;
}
