// Printing a grid of listing rows (15 columns) into a PDF file: 100,000
// rows and 1,000 rows, the counting pass and the drawing pass timed apart;
// against a bare cairo/pango loop that writes the same pages (same texts,
// font, columns, rows per page and cell borders) into a PDF surface.
// GRID_PRINT_ROWS=n prints n rows in place of 100,000.

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/grid_paint/ListingScreen.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/vcl/Printers.h"

namespace {

using namespace listingscreen;

// One printed page as the grid laid it out.
struct TPage {
    int FirstRow { 0 }, LastRow { 0 }; // display rows drawn, LastRow excluded
    std::vector<int> Lefts, Widths;    // per column of the page, 0.1 mm
    std::vector<int> Cols;
    int RowHeight { 0 };
};

struct TRun {
    double Count { 0 }, Draw { 0 };
    int Pages { 0 };
    std::vector<TPage> Layout;
};

TRun PrintGrid(int Rows, const std::string& File)
{
    TDedOzovedUrad G { nullptr };
    G.SetColCount(kCols);
    G.SetRowCount(Rows + 1);
    G.SetFixedRows(1);
    for (int c = 0; c < kCols; ++c)
        G.SetCells(c, 0, Utf8ToString("Column " + std::to_string(c)));
    for (int r = 1; r <= Rows; ++r)
        for (int c = 0; c < kCols; ++c)
            G.SetCells(c, r, ListingField(c, r));
    TPrintSettings* S = G.GetPrintSettings();
    S->GetFont()->SetName(u"Arial");
    S->GetFont()->SetSize(10);
    S->SetUseDisplayFont(false);

    TRun Run;
    auto Start = std::chrono::steady_clock::now();
    G.OnPrintStart = [&](TObject*, int, int&, int&) {
        Run.Count = Seconds(Start);
        Start = std::chrono::steady_clock::now();
    };
    int NextFirst = 0;
    G.OnPrintPage = [&](TObject*, TCanvas*, int, int, int) {
        TPage P;
        P.FirstRow = NextFirst;
        for (int c = G.GetPrintColStart(); c <= G.GetPrintColEnd(); ++c) {
            P.Cols.push_back(c);
            P.Lefts.push_back(G.GetPrintColOffset(c));
            P.Widths.push_back(G.GetPrintColWidth(c));
        }
        Run.Layout.push_back(P);
    };
    G.OnPrintPageDone = [&](TObject*, TCanvas*, int LastRow, int LastY, int, int, int) {
        TPage& P = Run.Layout.back();
        P.LastRow = LastRow;
        P.RowHeight = LastRow > P.FirstRow ? -LastY / (LastRow - P.FirstRow) : 0;
        NextFirst = LastRow >= G.GetRowCount() ? 0 : LastRow;
    };
    auto Old = SetPrinter(std::make_unique<TPrinter>());
    Printer()->SetOutputFile(Utf8ToString(File));
    G.Print();
    Run.Draw = Seconds(Start);
    SetPrinter(std::move(Old));
    Run.Pages = G.GetPrintNrOfPages();
    return Run;
}

// The same pages straight into a cairo PDF surface with pango text.
double BareLoop(const TRun& Run, int Rows, const std::string& File)
{
    const auto Start = std::chrono::steady_clock::now();
    constexpr double Pt = 72.0 / 254.0; // points per 0.1 mm
    cairo_surface_t* Surface = cairo_pdf_surface_create(File.c_str(), 2100 * Pt, 2970 * Pt);
    cairo_t* Cr = cairo_create(Surface);
    PangoFontDescription* Font = pango_font_description_from_string("Arial 10");
    for (const TPage& P : Run.Layout) {
        const int Last = P.LastRow > P.FirstRow ? P.LastRow : Rows + 1;
        double y = 20 * Pt;
        for (int r = P.FirstRow; r < Last; ++r) {
            for (std::size_t i = 0; i < P.Cols.size(); ++i) {
                const double x = P.Lefts[i] * Pt, w = (P.Widths[i] + 20) * Pt, h = P.RowHeight * Pt;
                cairo_set_source_rgb(Cr, 0, 0, 0);
                cairo_set_line_width(Cr, 0.3);
                cairo_rectangle(Cr, x, y, w, h);
                cairo_stroke(Cr);
                const String Text = r == 0 ? Utf8ToString("Column " + std::to_string(P.Cols[i]))
                                           : ListingField(P.Cols[i], r);
                const std::string Utf8 = StringToUtf8(Text);
                PangoLayout* Layout = pango_cairo_create_layout(Cr);
                pango_layout_set_font_description(Layout, Font);
                pango_layout_set_text(Layout, Utf8.c_str(), int(Utf8.size()));
                cairo_move_to(Cr, x + 2, y + 1);
                pango_cairo_show_layout(Cr, Layout);
                g_object_unref(Layout);
            }
            y += P.RowHeight * Pt;
        }
        cairo_show_page(Cr);
    }
    pango_font_description_free(Font);
    cairo_destroy(Cr);
    cairo_surface_finish(Surface);
    cairo_surface_destroy(Surface);
    return Seconds(Start);
}

void Report(int Rows, const TRun& Run, double Bare)
{
    const double Total = Run.Count + Run.Draw;
    std::printf("%7d rows: %5d pages  counting %7.2f s  drawing %7.2f s  total %7.2f s (%6.1f pages/s)\n"
                "               bare cairo/pango loop %7.2f s (%6.1f pages/s)  ratio %5.2f (goal <= 3)\n",
        Rows, Run.Pages, Run.Count, Run.Draw, Total, Run.Pages / Total, Bare, int(Run.Layout.size()) / Bare,
        Total / Bare);
}

} // namespace

int main()
{
    int Big = 100000;
    if (const char* Env = std::getenv("GRID_PRINT_ROWS"))
        Big = std::max(1000, std::atoi(Env));
    constexpr int Small = 1000;
    const auto Dir = std::filesystem::temp_directory_path();
    const std::string GridFile = (Dir / "bench_grid_print.pdf").string();
    const std::string BareFile = (Dir / "bench_grid_print_bare.pdf").string();
    std::printf("Printing a %d-column grid of listing texts into a PDF file (A4, Arial 10)\n", kCols);

    const TRun SmallRun = PrintGrid(Small, GridFile);
    const double SmallBare = BareLoop(SmallRun, Small, BareFile);
    Report(Small, SmallRun, SmallBare);
    std::printf("               PDF files: grid %.1f MB, bare loop %.1f MB\n",
        std::filesystem::file_size(GridFile) / 1e6, std::filesystem::file_size(BareFile) / 1e6);
    const TRun BigRun = PrintGrid(Big, GridFile);
    const double BigBare = BareLoop(BigRun, Big, BareFile);
    Report(Big, BigRun, BigBare);
    std::printf("%d rows : %d rows %.1f (goal <= %.0f)\n", Big, Small,
        (BigRun.Count + BigRun.Draw) / (SmallRun.Count + SmallRun.Draw), 120.0 * Big / 100000);
    if (!std::getenv("GRID_PRINT_KEEP"))
        std::filesystem::remove(GridFile);
    std::filesystem::remove(BareFile);
    return 0;
}
