#pragma once
// What the grid paint benchmarks share: the 1280 x 800 screen of a listing
// grid, its cell texts, and the same screen drawn straight with cairo and
// pango as the baseline.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/String.h"

namespace listingscreen {

constexpr int kWidth = 1280, kHeight = 800;
constexpr int kCols = 15;
constexpr int kColWidth = 85;
constexpr int kRowHeight = 22;

inline double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The fields of a captured listing, varied by row.
inline String ListingField(int Col, int Row)
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

// The same cells, drawn straight with cairo and pango: background, grid
// lines and the word-wrapped text clipped to each cell.
inline double BareLoop(int TopRow, int Rows, int Reps)
{
    cairo_surface_t* Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* Cr = cairo_create(Surface);
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
    PangoFontDescription* Font = pango_font_description_from_string("Tahoma 11px");
    PangoFontDescription* Bold = pango_font_description_from_string("Tahoma Bold 11px");
    double Best = 1e9;
    for (int rep = 0; rep < Reps; ++rep) {
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

} // namespace listingscreen
