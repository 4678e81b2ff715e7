// One 1280 x 800 screen of the string grid painted from a 100,000-row grid
// of listing texts (at the top, the middle and the end) and from a
// 1,000-row grid, against a bare loop of cairo fills and pango text that
// draws the same cells on the same kind of surface. Then the same grids
// with cell objects in twelve of their columns (check boxes, progress bars,
// ratings and shapes, three columns each, beside three text columns),
// against the plain-text screen of the same grid and against the object
// screen of the 1,000-row grid.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/grid_paint/ListingScreen.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/PngImage.h"

namespace {

using namespace listingscreen;

constexpr int kReps = 15;

struct TGridScreen {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    TBitmap Surface;

    explicit TGridScreen(int Rows)
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, kWidth + 40, kHeight + 80);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBorderStyle(bsNone);
        Grid->SetBounds(0, 0, kWidth, kHeight);
        Form->HandleNeeded();
        Grid->BeginUpdate();
        Grid->SetColCount(kCols);
        Grid->SetRowCount(Rows + 1);
        Grid->SetDefaultRowHeight(kRowHeight);
        for (int c = 0; c < kCols; ++c)
            Grid->SetColWidths(c, kColWidth);
        for (int c = 1; c < kCols; ++c)
            Grid->SetCells(c, 0, Utf8ToString("Column " + std::to_string(c)));
        for (int r = 1; r <= Rows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCells(c, r, ListingField(c, r));
        Grid->EndUpdate();
        Surface.SetSize(Grid->GetClientWidth(), Grid->GetClientHeight());
    }

    // Columns 0, 5 and 10 keep their text; the others carry a check box, a
    // progress bar, a rating or a shape (column % 5 = 1 .. 4) in every row.
    void AddObjects(int Rows)
    {
        Grid->BeginUpdate();
        for (int c = 0; c < kCols; ++c) {
            const int Kind = c % 5;
            if (Kind == 0)
                continue;
            for (int r = 1; r <= Rows; ++r) {
                switch (Kind) {
                case 1: Grid->AddCheckBox(c, r, r % 2 == 0, false); break;
                case 2:
                    Grid->AddProgress(c, r, TColor(0x00A000), TColor(0xFFFFFF));
                    Grid->SetCells(c, r, Utf8ToString(std::to_string(r % 101)));
                    break;
                case 3:
                    Grid->AddRating(c, r, 4, TColor(0x00FFFF), TColor(0xC0C0C0));
                    Grid->SetCells(c, r, Utf8ToString(std::to_string(r % 9 / 2.0)));
                    break;
                default: Grid->AddShape(c, r, r % 19, TColor(0x00FFFF), TColor(0), haCenter, vaCenter); break;
                }
            }
        }
        Grid->EndUpdate();
    }

    // Best of kReps paints of the screen with the given top row, in ms;
    // First: the first of them (texts not measured before).
    double Paint(int TopRow, double& First)
    {
        Grid->SetTopRow(TopRow);
        double Best = 1e9;
        for (int i = 0; i < kReps; ++i) {
            const auto t = std::chrono::steady_clock::now();
            Grid->PaintTo(Surface.GetCanvas()->GetHandle(), 0, 0);
            const double s = Seconds(t);
            if (i == 0)
                First = s * 1000;
            Best = std::min(Best, s);
        }
        return Best * 1000;
    }
};

} // namespace

int main()
{
    // GRID_PAINT_PROFILE=n: only n paints of the 1,000-row screen, for a profiler.
    if (const char* Profile = std::getenv("GRID_PAINT_PROFILE")) {
        TGridScreen Small(1000);
        for (int i = 0, n = std::atoi(Profile); i < n; ++i)
            Small.Grid->PaintTo(Small.Surface.GetCanvas()->GetHandle(), 0, 0);
        return 0;
    }
    constexpr int kBig = 100000, kSmall = 1000;
    std::printf("One %d x %d screen of a %d-column grid of listing texts (best of %d paints; the first, with\n"
                "texts not measured before, in brackets)\n",
        kWidth, kHeight, kCols, kReps);
    TGridScreen Big(kBig);
    const int End = kBig - kHeight / kRowHeight + 2;
    struct TRun {
        const char* Name;
        int TopRow;
    };
    const TRun Runs[] = { { "start", 1 }, { "middle", kBig / 2 }, { "end", End } };
    double BigStart = 0;
    for (const TRun& Run : Runs) {
        double First = 0;
        const double Grid = Big.Paint(Run.TopRow, First);
        const double Bare = BareLoop(Big.Grid->GetTopRow(), kBig, kReps);
        if (Run.TopRow == 1)
            BigStart = Grid;
        std::printf("%7d rows, top row %-6d (%-6s) grid %7.2f ms (first %6.2f)  bare cairo/pango loop %7.2f ms  "
                    "ratio %5.2f (goal <= 3)\n",
            kBig, Big.Grid->GetTopRow(), Run.Name, Grid, First, Bare, Grid / Bare);
    }
    TGridScreen Small(kSmall);
    double SmallFirst = 0;
    const double SmallGrid = Small.Paint(1, SmallFirst);
    const double SmallBare = BareLoop(1, kSmall, kReps);
    std::printf("%7d rows, top row %-6d (start ) grid %7.2f ms (first %6.2f)  bare cairo/pango loop %7.2f ms  "
                "ratio %5.2f (goal <= 3)\n",
        kSmall, 1, SmallGrid, SmallFirst, SmallBare, SmallGrid / SmallBare);
    std::printf("100,000 rows : 1,000 rows at the start: %.2f (goal <= 1.2)\n", BigStart / SmallGrid);

    // Cell objects: the same grids with check boxes, progress bars, ratings and shapes.
    std::printf("\nThe same screens with cell objects in 12 of the 15 columns (check boxes, progress bars,\n"
                "ratings, shapes; three columns each)\n");
    Big.AddObjects(kBig);
    Small.AddObjects(kSmall);
    double BigObjFirst = 0, SmallObjFirst = 0;
    const double BigObj = Big.Paint(1, BigObjFirst);
    const double SmallObj = Small.Paint(1, SmallObjFirst);
    std::printf("%7d rows, objects  grid %7.2f ms (first %6.2f)  plain text of the same grid %7.2f ms  "
                "ratio %5.2f (goal <= 2)\n",
        kBig, BigObj, BigObjFirst, BigStart, BigObj / BigStart);
    // GRID_PAINT_PNG=file: the object screen as a picture, to look at.
    if (const char* Png = std::getenv("GRID_PAINT_PNG")) {
        TPngImage Image;
        Image.Assign(&Big.Surface);
        Image.SaveToFile(Utf8ToString(Png));
    }
    std::printf("%7d rows, objects  grid %7.2f ms (first %6.2f)  100,000 rows : 1,000 rows %5.2f (goal about 1)\n",
        kSmall, SmallObj, SmallObjFirst, BigObj / SmallObj);
    return 0;
}
