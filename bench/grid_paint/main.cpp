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

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/PngImage.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kCols = 15;
constexpr int kColWidth = 85;
constexpr int kRowHeight = 22;
constexpr int kReps = 15;

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
    case 0: s = r; break;
    case 1: s = Names[Row % 5]; break;
    case 2: s = std::to_string(10 + Row % 90) + " Main Street"; break;
    case 3: s = "Springfield"; break;
    case 4: s = "VIC"; break;
    case 5: s = std::to_string(3000 + Row % 900); break;
    case 6: s = "(03) 9" + std::to_string(1000000 + Row % 8999999); break;
    case 7: s = "http://www.listing" + r + ".example.com"; break;
    case 8: s = "info@listing" + r + ".example.com"; break;
    case 9: s = "Plumbers & Gas Fitters"; break;
    default: s = "Field " + std::to_string(Col) + " of " + r; break;
    }
    return Utf8ToString(s);
}

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

// The same cells, drawn straight with cairo and pango: background, grid
// lines and the word-wrapped text clipped to each cell.
double BareLoop(int TopRow, int Rows)
{
    cairo_surface_t* Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* Cr = cairo_create(Surface);
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
    PangoFontDescription* Font = pango_font_description_from_string("Tahoma 11px");
    PangoFontDescription* Bold = pango_font_description_from_string("Tahoma Bold 11px");
    double Best = 1e9;
    for (int rep = 0; rep < kReps; ++rep) {
        const auto t = std::chrono::steady_clock::now();
        cairo_set_source_rgb(Cr, 1, 1, 1);
        cairo_paint(Cr);
        int y = 0;
        for (int vr = 0; y < kHeight; ++vr) {
            const int r = vr == 0 ? 0 : TopRow + vr - 1;
            if (r > Rows)
                break;
            int x = 0;
            for (int c = 0; c < kCols && x < kWidth; ++c) {
                const bool Fixed = r == 0 || c == 0;
                cairo_save(Cr);
                cairo_rectangle(Cr, x, y, kColWidth, kRowHeight);
                cairo_clip(Cr);
                if (Fixed)
                    cairo_set_source_rgb(Cr, 0.83, 0.82, 0.78);
                else
                    cairo_set_source_rgb(Cr, 1, 1, 1);
                cairo_paint(Cr);
                cairo_set_source_rgb(Cr, 0.75, 0.75, 0.75);
                cairo_rectangle(Cr, x + kColWidth - 1, y, 1, kRowHeight);
                cairo_rectangle(Cr, x, y + kRowHeight - 1, kColWidth, 1);
                cairo_fill(Cr);
                const String Text = r == 0 ? Utf8ToString("Column " + std::to_string(c)) : ListingField(c, r);
                const std::string Utf8 = StringToUtf8(Text);
                PangoLayout* Layout = pango_layout_new(gdi::SharedPangoContext());
                pango_layout_set_font_description(Layout, Fixed ? Bold : Font);
                pango_layout_set_width(Layout, (kColWidth - 5) * PANGO_SCALE);
                pango_layout_set_wrap(Layout, PANGO_WRAP_WORD);
                pango_layout_set_text(Layout, Utf8.c_str(), int(Utf8.size()));
                cairo_set_source_rgb(Cr, 0, 0, 0);
                cairo_move_to(Cr, x + 3, y + 3);
                pango_cairo_show_layout(Cr, Layout);
                g_object_unref(Layout);
                cairo_restore(Cr);
                x += kColWidth;
            }
            y += kRowHeight;
        }
        cairo_surface_flush(Surface);
        Best = std::min(Best, Seconds(t));
    }
    pango_font_description_free(Font);
    pango_font_description_free(Bold);
    cairo_destroy(Cr);
    cairo_surface_destroy(Surface);
    return Best * 1000;
}

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
        const double Bare = BareLoop(Big.Grid->GetTopRow(), kBig);
        if (Run.TopRow == 1)
            BigStart = Grid;
        std::printf("%7d rows, top row %-6d (%-6s) grid %7.2f ms (first %6.2f)  bare cairo/pango loop %7.2f ms  "
                    "ratio %5.2f (goal <= 3)\n",
            kBig, Big.Grid->GetTopRow(), Run.Name, Grid, First, Bare, Grid / Bare);
    }
    TGridScreen Small(kSmall);
    double SmallFirst = 0;
    const double SmallGrid = Small.Paint(1, SmallFirst);
    const double SmallBare = BareLoop(1, kSmall);
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
