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
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kRows = 100000;
constexpr int kCols = 15;
constexpr int kColWidth = 85;
constexpr int kRowHeight = 22;
constexpr int kReps = 5;

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
    const double Bare = BareLoop(1, kRows);

    std::printf("%d x %d cells written into a visible grid inside BeginUpdate/EndUpdate (best of %d)\n", kRows,
        kCols, kReps);
    std::printf("  grid %8.2f ms   raw-store loop %8.2f ms   ratio %5.2f (goal <= 1.5)\n", GridWrite * 1000,
        RawWrite * 1000, GridWrite / RawWrite);
    std::printf("One full WM_PAINT of a %d x %d window, double-buffered (best of %d)\n", kWidth, kHeight, kReps);
    std::printf("  grid %8.2f ms   bare cairo/pango paint %8.2f ms   ratio %5.2f\n", GridPaint * 1000, Bare,
        GridPaint * 1000 / Bare);
    return 0;
}
