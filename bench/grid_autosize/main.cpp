// The application's road through a big grid: AutoSizeColumns(False, 4) over
// 100,000 rows of 15 listing texts, and Clear of the whole grid. In the same
// run the baselines measure the same strings with one GetTextExtentPoint32
// call each on the same font, in the same order, and empty a std::vector
// table of the same strings (every string released, the shape kept).

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

// GRID_AUTOSIZE_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_AUTOSIZE_ROWS") ? std::atoi(std::getenv("GRID_AUTOSIZE_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kReps = 3;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The fields of a captured listing, varied by row.
String ListingField(int Col, int Row)
{
    static const char* const Names[] = { "Smith & Sons Plumbing", "Harbour View Dental", "Oak Street Bakery",
        "Northside Electrical", "Blue Gum Florist" };
    const std::string r = std::to_string(Row);
    std::string s;
    switch (Col) {
    case 0: s = Names[Row % 5]; break;
    case 1: s = std::to_string(10 + Row % 90) + " Main Street"; break;
    case 2: s = "Springfield"; break;
    case 3: s = "VIC"; break;
    case 4: s = std::to_string(3000 + Row % 900); break;
    case 5: s = "(03) 9" + std::to_string(1000000 + Row % 8999999); break;
    case 6: s = "0400 " + std::to_string(100000 + Row * 7 % 899999); break;
    case 7: s = "http://www.listing" + r + ".example.com"; break;
    case 8: s = "info@listing" + r + ".example.com"; break;
    case 9: s = "Plumbers & Gas Fitters"; break;
    case 10: s = "https://www.directory.example/listing/" + r; break;
    case 11: s = Row % 3 ? "Open today 8am - 5pm" : ""; break;
    case 12: s = "Listing " + r; break;
    case 13: s = std::to_string(Row % 5) + " reviews"; break;
    default: s = "Field " + std::to_string(Col) + " of " + r; break;
    }
    return Utf8ToString(s);
}

struct TBench {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    // The texts as a table, row 0 the headers.
    std::vector<std::vector<String>> Table;

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
        Grid->SetRowCount(kRows + 1);
        Table.resize(kRows + 1);
        for (int c = 0; c < kCols; ++c)
            Table[0].push_back(Utf8ToString("Column " + std::to_string(c + 1)));
        for (int r = 1; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Table[std::size_t(r)].push_back(ListingField(c, r));
        Fill();
    }

    // The baseline's table is filled along with the grid, so both free
    // texts that were allocated the same way.
    std::vector<std::vector<String>> Copy;

    void Fill()
    {
        Copy.assign(Table.size(), std::vector<String>(kCols));
        Grid->BeginUpdate();
        for (int r = 0; r <= kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const String& Text = Table[std::size_t(r)][std::size_t(c)];
                Grid->SetCells(c, r, Text);
                Copy[std::size_t(r)][std::size_t(c)] = Text;
            }
        Grid->EndUpdate();
    }

    double AutoSize()
    {
        for (int c = 0; c < kCols; ++c)
            Grid->SetColWidths(c, 64);
        const auto t = std::chrono::steady_clock::now();
        Grid->AutoSizeColumns(false, 4);
        return Seconds(t);
    }

    // One extent call per string on a context with the grid's font, column
    // by column as the grid measures; the header row in the fixed font.
    double MeasureBaseline(std::vector<int>& Widest)
    {
        TBitmap Bitmap;
        Bitmap.SetSize(1, 1);
        TCanvas* Canvas = Bitmap.GetCanvas();
        const HDC DC = Canvas->GetHandle();
        Canvas->GetFont()->Assign(Grid->GetFont());
        Canvas->TextWidth(String());
        TFont Fixed;
        Fixed.Assign(Grid->GetFixedFont());
        const HGDIOBJ Normal = GetCurrentObject(DC, OBJ_FONT);
        Widest.assign(kCols, 0);
        const auto t = std::chrono::steady_clock::now();
        for (int c = 0; c < kCols; ++c) {
            for (int r = 0; r <= kRows; ++r) {
                const String& Text = Table[std::size_t(r)][std::size_t(c)];
                SelectObject(DC, r == 0 ? Fixed.GetHandle() : Normal);
                SIZE Size {};
                GetTextExtentPoint32(DC, Text.c_str(), int(Text.size()), &Size);
                Widest[std::size_t(c)] = std::max<int>(Widest[std::size_t(c)], Size.cx);
            }
        }
        const double s = Seconds(t);
        SelectObject(DC, Normal);
        return s;
    }

    double Clear()
    {
        const auto t = std::chrono::steady_clock::now();
        Grid->Clear();
        return Seconds(t);
    }

    double ClearBaseline()
    {
        const auto t = std::chrono::steady_clock::now();
        for (auto& Row : Copy)
            std::vector<String>(Row.size()).swap(Row);
        return Seconds(t);
    }
};

} // namespace

int main()
{
    std::printf("A grid of %d rows of %d listing texts (best of %d runs)\n", kRows, kCols, kReps);
    TBench B;
    double Grid = 1e30, Base = 1e30;
    std::vector<int> Widest;
    // GRID_AUTOSIZE_CLEAR_ONLY: only the clearing, for a profiler.
    const bool ClearOnly = std::getenv("GRID_AUTOSIZE_CLEAR_ONLY") != nullptr;
    for (int i = 0; i < kReps && !ClearOnly; ++i) {
        Base = std::min(Base, B.MeasureBaseline(Widest));
        Grid = std::min(Grid, B.AutoSize());
    }
    // The widths must be the measured texts plus the frame and padding.
    int Mismatches = 0;
    const int Frame = B.Grid->XYOffsetWidth() + 2 * B.Grid->GetGridLineWidth() + 2 + 4;
    for (int c = 0; c < kCols && !ClearOnly; ++c)
        if (B.Grid->GetColWidths(c) != Widest[std::size_t(c)] + Frame)
            ++Mismatches;
    std::printf("AutoSizeColumns(False, 4) %8.1f ms   one GetTextExtentPoint32 per string %8.1f ms   ratio %5.2f "
                "(goal <= 2)%s\n",
        Grid * 1000, Base * 1000, Grid / Base, Mismatches ? "  WIDTHS DIFFER" : "");

    double GridClear = 1e30, BaseClear = 1e30;
    for (int i = 0; i < kReps; ++i) {
        if (i > 0)
            B.Fill();
        BaseClear = std::min(BaseClear, B.ClearBaseline());
        GridClear = std::min(GridClear, B.Clear());
    }
    std::printf("Clear                     %8.1f ms   emptying a std::vector table       %8.1f ms   ratio %5.2f "
                "(goal <= 3)\n",
        GridClear * 1000, BaseClear * 1000, GridClear / BaseClear);
    return 0;
}
