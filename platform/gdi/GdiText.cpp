#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cmath>
#include <cstdlib>
#include <atomic>
#include <cstring>
#include <list>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiText.h"

namespace gdi {

namespace {

FcConfig* g_config = nullptr;
PangoFontMap* g_fontMap = nullptr;
PangoContext* g_context = nullptr;

void LoadFonts()
{
    const char* env = std::getenv("QT_FONTS_CONF");
    const char* path = env && *env ? env : QT_GDI_FONTS_CONF;
    FcConfig* cfg = FcConfigCreate();
    if (FcConfigParseAndLoad(cfg, reinterpret_cast<const FcChar8*>(path), FcFalse) && FcConfigBuildFonts(cfg)) {
        FcConfigSetCurrent(cfg);
        FcConfigDestroy(cfg); // the current configuration holds its own reference
        g_config = FcConfigGetCurrent();
    } else {
        // Without the project's map the desktop's fonts still draw text.
        FcConfigDestroy(cfg);
        g_config = FcConfigGetCurrent();
    }
    g_fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    if (PANGO_IS_FC_FONT_MAP(g_fontMap))
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(g_fontMap), g_config);
    g_context = pango_font_map_create_context(g_fontMap);
    cairo_font_options_t* opts = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(g_context, opts);
    cairo_font_options_destroy(opts);
    pango_cairo_context_set_resolution(g_context, 96);
}

std::once_flag g_once;

bool FamilyInstalled(const FcChar8* family)
{
    FcPattern* q = FcPatternCreate();
    FcPatternAddString(q, FC_FAMILY, family);
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fs = FcFontList(g_config, q, os);
    const bool found = fs && fs->nfont > 0;
    if (fs)
        FcFontSetDestroy(fs);
    FcObjectSetDestroy(os);
    FcPatternDestroy(q);
    return found;
}

// Em size (pixels) of a font whose cell height (ascent + descent) is `cell`.
double EmForCellHeight(const std::string& family, int weight, bool italic, double cell)
{
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, family.c_str());
    pango_font_description_set_weight(d, PangoWeight(weight));
    pango_font_description_set_style(d, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(d, 100.0 * PANGO_SCALE);
    double em = cell;
    if (PangoFont* f = pango_font_map_load_font(g_fontMap, g_context, d)) {
        PangoFontMetrics* m = pango_font_get_metrics(f, nullptr);
        const double h = double(pango_font_metrics_get_ascent(m) + pango_font_metrics_get_descent(m)) / PANGO_SCALE;
        if (h > 0)
            em = cell * 100.0 / h;
        pango_font_metrics_unref(m);
        g_object_unref(f);
    }
    pango_font_description_free(d);
    return em;
}

} // namespace

PangoFontMap* SharedFontMap()
{
    std::call_once(g_once, LoadFonts);
    return g_fontMap;
}

PangoContext* SharedPangoContext()
{
    std::call_once(g_once, LoadFonts);
    return g_context;
}

void EnsureFontDescription(TFont& font)
{
    if (font.Desc)
        return;
    SharedPangoContext();
    const auto& lf = font.Log;
    String face(lf.lfFaceName, std::char_traits<char16_t>::length(lf.lfFaceName));
    if (face.empty())
        face = u"MS Shell Dlg";
    const std::string family = StringToUtf8(face);
    const int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 100, 1000);
    double em;
    if (lf.lfHeight < 0)
        em = -double(lf.lfHeight);
    else if (lf.lfHeight > 0)
        em = EmForCellHeight(family, weight, lf.lfItalic, lf.lfHeight);
    else
        em = EmForCellHeight(family, weight, lf.lfItalic, 16);
    em = std::clamp(em, 1.0, 4000.0);
    font.Desc = pango_font_description_new();
    pango_font_description_set_family(font.Desc, family.c_str());
    pango_font_description_set_weight(font.Desc, PangoWeight(weight));
    pango_font_description_set_style(font.Desc, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(font.Desc, em * PANGO_SCALE);
}

namespace {

// Metrics of fonts measured before, by pango description: callers such as the
// mini-HTML engine create a new font object at every style change.
std::mutex& MetricsCacheLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<std::string, TFontMetrics>& MetricsCache()
{
    static std::unordered_map<std::string, TFontMetrics> cache;
    return cache;
}

std::optional<TFontMetrics> KnownMetrics(const std::string& key)
{
    std::lock_guard g(MetricsCacheLock());
    auto& cache = MetricsCache();
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    return std::nullopt;
}

PangoLayout* NewLayout(TFont& font, StringView text, double scale = 1)
{
    EnsureFontDescription(font);
    PangoLayout* layout = pango_layout_new(SharedPangoContext());
    if (scale != 1) {
        PangoFontDescription* d = pango_font_description_copy(font.Desc);
        pango_font_description_set_absolute_size(d, pango_font_description_get_size(d) * scale);
        pango_layout_set_font_description(layout, d);
        pango_font_description_free(d);
    } else {
        pango_layout_set_font_description(layout, font.Desc);
    }
    const std::string utf8 = StringToUtf8(text);
    pango_layout_set_text(layout, utf8.data(), int(utf8.size()));
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    return layout;
}

int LayoutWidth(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return logical.width;
}

// Cache key of a run at a scale in the font with the given serial.
std::string RunKey(std::uint64_t fontSerial, double scale, StringView text)
{
    std::string key(sizeof(std::uint64_t) + sizeof(double) + text.size() * 2, '\0');
    std::memcpy(key.data(), &fontSerial, sizeof(std::uint64_t));
    std::memcpy(key.data() + 8, &scale, sizeof(double));
    std::memcpy(key.data() + 16, text.data(), text.size() * 2);
    return key;
}

bool HasLineAttributes(const TFont& font) { return font.Log.lfUnderline || font.Log.lfStrikeOut; }

// A run's layout as painting needs it: the font's underline and strike-out
// set as attributes.
PangoLayout* NewRunLayout(TFont& font, StringView text, double scale)
{
    PangoLayout* layout = NewLayout(font, text, scale);
    if (HasLineAttributes(font)) {
        PangoAttrList* attrs = pango_attr_list_new();
        if (font.Log.lfUnderline)
            pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (font.Log.lfStrikeOut)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    return layout;
}

// Shaped runs recently measured or painted, most recent first: windows paint
// the same captions and cell texts over and over, and shaping is the most
// expensive step of drawing text. Per thread, as pango objects are not shared
// between threads; fonts are told apart by serial number, so a run of a
// deleted font is never found again and simply ages out.
class TRunLayoutCache {
public:
    ~TRunLayoutCache()
    {
        for (auto& [key, layout] : FOrder)
            g_object_unref(layout);
    }

    // The layout of the run, with a reference the caller releases.
    PangoLayout* Get(TFont& font, StringView text, double scale)
    {
        std::string key = RunKey(font.Serial, scale, text);
        if (auto it = FIndex.find(key); it != FIndex.end()) {
            FOrder.splice(FOrder.begin(), FOrder, it->second);
            return PANGO_LAYOUT(g_object_ref(it->second->second));
        }
        PangoLayout* layout = NewRunLayout(font, text, scale);
        if (FOrder.size() >= Capacity) {
            g_object_unref(FOrder.back().second);
            FIndex.erase(FOrder.back().first);
            FOrder.pop_back();
        }
        FOrder.emplace_front(std::move(key), layout);
        FIndex.emplace(FOrder.front().first, FOrder.begin());
        return PANGO_LAYOUT(g_object_ref(layout));
    }

private:
    static constexpr std::size_t Capacity = 512;
    std::list<std::pair<std::string, PangoLayout*>> FOrder;
    std::unordered_map<std::string_view, std::list<std::pair<std::string, PangoLayout*>>::iterator> FIndex;
};

PangoLayout* RunLayout(TFont& font, StringView text, double scale)
{
    static thread_local TRunLayoutCache cache;
    return cache.Get(font, text, scale);
}

} // namespace

const TFontMetrics& MetricsOf(TFont& font)
{
    if (font.Metrics)
        return *font.Metrics;
    EnsureFontDescription(font);
    std::string key;
    if (char* text = pango_font_description_to_string(font.Desc)) {
        key = text;
        g_free(text);
    }
    if (auto known = KnownMetrics(key)) {
        font.Metrics = *known;
        return *font.Metrics;
    }
    TFontMetrics m;
    const double em = double(pango_font_description_get_size(font.Desc)) / PANGO_SCALE;
    if (PangoFont* f = pango_font_map_load_font(SharedFontMap(), SharedPangoContext(), font.Desc)) {
        PangoFontMetrics* pm = pango_font_get_metrics(f, nullptr);
        m.Ascent = int(std::ceil(double(pango_font_metrics_get_ascent(pm)) / PANGO_SCALE));
        m.Descent = int(std::ceil(double(pango_font_metrics_get_descent(pm)) / PANGO_SCALE));
        const double lineHeight = double(pango_font_metrics_get_height(pm)) / PANGO_SCALE;
        m.ExternalLeading = std::max(0, int(std::nearbyint(lineHeight)) - (m.Ascent + m.Descent));
        m.AveCharWidth = std::max(1, int(std::nearbyint(double(pango_font_metrics_get_approximate_char_width(pm)) / PANGO_SCALE)));
        pango_font_metrics_unref(pm);
        g_object_unref(f);
    }
    m.InternalLeading = std::max(0, m.Ascent + m.Descent - int(std::nearbyint(em)));
    String printable;
    for (char16_t c = 0x21; c < 0x7F; ++c)
        printable.push_back(c);
    for (char16_t c : printable) {
        PangoLayout* l = NewLayout(font, StringView(&c, 1));
        m.MaxCharWidth = std::max(m.MaxCharWidth, LayoutWidth(l));
        g_object_unref(l);
    }
    font.Metrics = m;
    std::lock_guard g(MetricsCacheLock());
    if (MetricsCache().size() > 1024)
        MetricsCache().clear();
    MetricsCache().emplace(std::move(key), m);
    return *font.Metrics;
}

double FontScale(const TDC& dc)
{
    return dc.State.MapMode == MM_TEXT ? 1.0 : std::fabs(dc.ScaleY());
}

std::uint64_t NextFontSerial()
{
    static std::atomic<std::uint64_t> next { 1 };
    return next++;
}

// One serial per font description, so fonts that look the same share the
// widths measured with any of them.
std::uint64_t LookSerialOf(TFont& font)
{
    if (font.LookSerial)
        return font.LookSerial;
    EnsureFontDescription(font);
    std::string key;
    if (char* text = pango_font_description_to_string(font.Desc)) {
        key = text;
        g_free(text);
    }
    static std::mutex lock;
    static std::unordered_map<std::string, std::uint64_t> serials;
    std::lock_guard g(lock);
    if (serials.size() > 4096)
        serials.clear();
    auto [it, added] = serials.try_emplace(std::move(key), 0);
    if (added)
        it->second = NextFontSerial();
    font.LookSerial = it->second;
    return font.LookSerial;
}

// Widths of recently measured runs: controls measure the same captions and
// cell texts over and over.
int TextWidth(TDC& dc, StringView text)
{
    if (text.empty())
        return 0;
    static std::mutex lock;
    static std::unordered_map<std::string, int> cache;
    const double scale = FontScale(dc);
    // Widths ignore underline and strike-out, so fonts that look the same share them.
    std::string key = RunKey(LookSerialOf(*dc.State.Font), scale, text);
    {
        std::lock_guard g(lock);
        if (auto it = cache.find(key); it != cache.end())
            return it->second;
    }
    // A run measured is usually painted next: shape it once for both.
    TFont& font = *dc.State.Font;
    PangoLayout* l = HasLineAttributes(font) ? NewLayout(font, text, scale) : RunLayout(font, text, scale);
    const int w = LayoutWidth(l);
    g_object_unref(l);
    std::lock_guard g(lock);
    if (cache.size() > 16384)
        cache.clear();
    cache.emplace(std::move(key), w);
    return w;
}

namespace {

std::vector<int> MeasureCaretPositions(TDC& dc, StringView text)
{
    std::vector<int> xs(text.size() + 1, 0);
    PangoLayout* l = NewLayout(*dc.State.Font, text, FontScale(dc));
    // UTF-8 offset of each UTF-16 index.
    std::vector<int> bytes(text.size() + 1, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        bytes[i + 1] = bytes[i] + (c < 0x80 ? 1 : c < 0x800 ? 2 : IsHighSurrogate(c) ? 0 : IsLowSurrogate(c) ? 4 : 3);
    }
    // Cluster starts with their positions, walked once.
    std::unordered_map<int, int> clusterX;
    PangoLayoutIter* it = pango_layout_get_iter(l);
    do {
        PangoRectangle logical;
        pango_layout_iter_get_cluster_extents(it, nullptr, &logical);
        clusterX.emplace(pango_layout_iter_get_index(it), PANGO_PIXELS(logical.x));
    } while (pango_layout_iter_next_cluster(it));
    pango_layout_iter_free(it);
    for (std::size_t i = 1; i < text.size(); ++i) {
        auto found = clusterX.find(bytes[i]);
        // Inside a cluster (a ligature, a surrogate pair) the caret stays at its start.
        xs[i] = found != clusterX.end() ? found->second : xs[i - 1];
    }
    xs[text.size()] = LayoutWidth(l);
    g_object_unref(l);
    return xs;
}

} // namespace

// Caret positions of recently wrapped paragraphs, like the widths above.
std::vector<int> CaretPositions(TDC& dc, StringView text)
{
    if (text.empty())
        return std::vector<int>(1, 0);
    static std::mutex lock;
    static std::unordered_map<std::string, std::vector<int>> cache;
    std::string key = RunKey(dc.State.Font->Serial, FontScale(dc), text);
    {
        std::lock_guard g(lock);
        if (auto it = cache.find(key); it != cache.end())
            return it->second;
    }
    std::vector<int> xs = MeasureCaretPositions(dc, text);
    std::lock_guard g(lock);
    if (cache.size() > 4096)
        cache.clear();
    cache.emplace(std::move(key), xs);
    return xs;
}

TFontMetrics DeviceMetrics(TDC& dc)
{
    const double s = FontScale(dc);
    TFontMetrics m = MetricsOf(*dc.State.Font);
    if (s != 1) {
        auto sc = [s](int v) { return int(std::nearbyint(v * s)); };
        m = { sc(m.Ascent), sc(m.Descent), sc(m.InternalLeading), sc(m.ExternalLeading), sc(m.AveCharWidth), sc(m.MaxCharWidth) };
    }
    return m;
}

// Draws a run with its baseline at device point (x, baseline); `angle` in
// tenths of a degree turns it counter-clockwise around the reference point.
void DrawRun(TDC& dc, double x, double baseline, StringView text, COLORREF color, int underlineIndex, const TRegion* clip,
    double angle, TPointF pivot)
{
    if (text.empty() || !dc.Surface)
        return;
    TFont& font = *dc.State.Font;
    PangoLayout* layout = RunLayout(font, text, FontScale(dc));
    const double layoutBaseline = double(pango_layout_get_baseline(layout)) / PANGO_SCALE;
    BeginCairo(dc);
    if (clip) {
        cairo_new_path(dc.Cr);
        for (const auto& r : clip->Rects())
            cairo_rectangle(dc.Cr, r.Left, r.Top, r.Width(), r.Height());
        cairo_clip(dc.Cr);
    }
    if (angle != 0) {
        cairo_translate(dc.Cr, pivot.X, pivot.Y);
        cairo_rotate(dc.Cr, -angle * M_PI / 1800.0);
        cairo_translate(dc.Cr, -pivot.X, -pivot.Y);
    }
    cairo_set_antialias(dc.Cr, font.Log.lfQuality == NONANTIALIASED_QUALITY ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    SetSourceColor(dc.Cr, color);
    cairo_move_to(dc.Cr, x, baseline - layoutBaseline);
    pango_cairo_show_layout(dc.Cr, layout);
    if (underlineIndex >= 0 && underlineIndex < int(text.size())) {
        // The accelerator underline spans exactly the measured character.
        const int x0 = TextWidth(dc, text.substr(0, std::size_t(underlineIndex)));
        const std::size_t n = (underlineIndex + 1 < int(text.size()) && IsHighSurrogate(text[std::size_t(underlineIndex)])) ? 2 : 1;
        const int x1 = TextWidth(dc, text.substr(0, std::size_t(underlineIndex) + n));
        cairo_set_antialias(dc.Cr, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(dc.Cr, std::floor(x) + x0, std::floor(baseline) + 1, x1 - x0, 1);
        cairo_fill(dc.Cr);
    }
    EndCairo(dc);
    g_object_unref(layout);
}

} // namespace gdi

using namespace gdi;

void InitFonts()
{
    SharedPangoContext();
}

String ResolveFontFamily(const String& family)
{
    SharedPangoContext();
    if (family.empty())
        return {};
    const std::string name = StringToUtf8(family);
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(g_config, p, FcMatchPattern);
    String found;
    FcChar8* fam = nullptr;
    for (int i = 0; found.empty() && FcPatternGetString(p, FC_FAMILY, i, &fam) == FcResultMatch; ++i)
        if (FamilyInstalled(fam))
            found = Utf8ToString(reinterpret_cast<const char*>(fam));
    FcPatternDestroy(p);
    return found;
}

bool FontFamilyExists(const String& family)
{
    return !ResolveFontFamily(family).empty();
}

namespace {

String TextOf(LPCWSTR text, int count)
{
    if (!text)
        return {};
    if (count < 0)
        return String(text);
    return String(text, std::size_t(count));
}

} // namespace

BOOL ExtTextOutW(HDC h, int x, int y, UINT options, const RECT* r, LPCWSTR text, UINT count, const int* dx)
{
    auto dc = gdi::DCOf(h);
    if (!dc || (count > 0 && !text) || count > 0x7FFFFFF)
        return FALSE;
    const String s = TextOf(text, int(count));
    auto& st = dc->State;
    if (st.TextAlign & TA_UPDATECP) {
        x = st.CurPos.X;
        y = st.CurPos.Y;
    }
    const TFontMetrics m = DeviceMetrics(*dc);
    const TPoint p = dc->ToDeviceI(x, y);
    // Glyph offsets: the caller's, or the measured ones.
    std::vector<int> adv;
    int width = 0;
    if (dx) {
        for (std::size_t i = 0; i < s.size(); ++i) {
            adv.push_back(int(std::nearbyint(dx[i] * std::fabs(dc->ScaleX()))));
            width += adv.back();
        }
    } else {
        width = TextWidth(*dc, s);
    }
    const double angle = dc->State.Font->Log.lfEscapement;
    const double rad = angle * M_PI / 1800.0;
    const double ux = std::cos(rad), uy = -std::sin(rad); // along the baseline
    double startX = p.X, startY = p.Y;
    const UINT horz = st.TextAlign & TA_CENTER;
    double shift = horz == TA_CENTER ? -width / 2.0 : horz == TA_RIGHT ? -width : 0;
    if (dc->ScaleX() < 0 && horz != TA_CENTER)
        shift = 0;
    double down = 0; // from the reference point to the baseline
    const UINT vert = st.TextAlign & TA_BASELINE;
    if (vert == TA_TOP)
        down = m.Ascent;
    else if (vert == TA_BOTTOM)
        down = -m.Descent;
    startX += shift * ux - down * uy;
    startY += shift * uy + down * ux;
    // Whole pixels, so measuring and painting agree.
    startX = std::nearbyint(startX);
    startY = std::nearbyint(startY);
    TRegion clipRect;
    const TRegion* clip = nullptr;
    if (r) {
        const TPoint a = dc->ToDeviceI(r->Left, r->Top), b = dc->ToDeviceI(r->Right, r->Bottom);
        const TRect dr { std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y) };
        if (options & ETO_OPAQUE) {
            TPaint bk;
            bk.Color = st.BkColor;
            PaintRect(*dc, dr, bk, R2_COPYPEN);
        }
        if (options & ETO_CLIPPED) {
            clipRect = TRegion(dr);
            clip = &clipRect;
        }
    }
    if (st.BkMode == OPAQUE && !(r && (options & ETO_OPAQUE)) && angle == 0 && !s.empty()) {
        TPaint bk;
        bk.Color = st.BkColor;
        const int top = int(startY) - m.Ascent;
        PaintRect(*dc, TRect { int(startX), top, int(startX) + width, top + m.Ascent + m.Descent }, bk, R2_COPYPEN, clip);
    }
    const TPointF pivot { float(p.X), float(p.Y) };
    if (dx) {
        double cx = startX, cy = startY;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const std::size_t n = (IsHighSurrogate(s[i]) && i + 1 < s.size()) ? 2 : 1;
            DrawRun(*dc, cx, cy, StringView(s).substr(i, n), st.TextColor, -1, clip, angle, pivot);
            int a = adv[i];
            if (n == 2)
                a += adv[i + 1];
            cx += a * ux;
            cy += a * uy;
            i += n - 1;
        }
    } else {
        // Rotation happens around the reference point, so undo the placement's turn.
        if (angle != 0)
            DrawRun(*dc, p.X + shift, p.Y + down, s, st.TextColor, -1, clip, angle, pivot);
        else
            DrawRun(*dc, startX, startY, s, st.TextColor, -1, clip, 0, pivot);
    }
    if (st.TextAlign & TA_UPDATECP) {
        const double sx = dc->ScaleX();
        st.CurPos.X += int(std::nearbyint((horz == TA_RIGHT ? -width : horz == TA_CENTER ? 0 : width) / (sx == 0 ? 1 : sx)));
    }
    return TRUE;
}

BOOL ExtTextOut(HDC h, int x, int y, UINT options, const RECT* r, LPCWSTR text, UINT count, const int* dx)
{
    return ExtTextOutW(h, x, y, options, r, text, count, dx);
}

BOOL TextOutW(HDC h, int x, int y, LPCWSTR text, int count)
{
    if (count < 0)
        return FALSE;
    return ExtTextOutW(h, x, y, 0, nullptr, text, UINT(count), nullptr);
}

BOOL TextOut(HDC h, int x, int y, LPCWSTR text, int count)
{
    return TextOutW(h, x, y, text, count);
}

BOOL GetTextExtentPoint32W(HDC h, LPCWSTR text, int count, SIZE* size)
{
    auto dc = gdi::DCOf(h);
    if (!dc || !size || count < 0 || (count > 0 && !text))
        return FALSE;
    const TFontMetrics m = DeviceMetrics(*dc);
    const int w = TextWidth(*dc, StringView(text, std::size_t(count)));
    const double sx = std::fabs(dc->ScaleX()), sy = std::fabs(dc->ScaleY());
    *size = { int(std::nearbyint(w / (sx == 0 ? 1 : sx))), int(std::nearbyint((m.Ascent + m.Descent) / (sy == 0 ? 1 : sy))) };
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC h, LPCWSTR text, int count, SIZE* size)
{
    return GetTextExtentPoint32W(h, text, count, size);
}

BOOL GetTextExtentExPoint(HDC h, LPCWSTR text, int count, int maxExtent, int* fit, int* dx, SIZE* size)
{
    auto dc = gdi::DCOf(h);
    if (!dc || count < 0 || (count > 0 && !text))
        return FALSE;
    const StringView s(text, std::size_t(count));
    int fitted = 0;
    for (int i = 0; i < count; ++i) {
        const int w = TextWidth(*dc, s.substr(0, std::size_t(i) + 1));
        if (dx)
            dx[i] = w;
        if (w <= maxExtent || maxExtent < 0)
            fitted = i + 1;
        else if (!dx)
            break;
    }
    if (fit)
        *fit = fitted;
    if (size)
        return GetTextExtentPoint32W(h, text, count, size);
    return TRUE;
}

BOOL GetTextMetricsW(HDC h, TEXTMETRICW* tm)
{
    auto dc = gdi::DCOf(h);
    if (!dc || !tm)
        return FALSE;
    const TFontMetrics m = DeviceMetrics(*dc);
    const auto& lf = dc->State.Font->Log;
    *tm = {};
    tm->tmAscent = m.Ascent;
    tm->tmDescent = m.Descent;
    tm->tmHeight = m.Ascent + m.Descent;
    tm->tmInternalLeading = m.InternalLeading;
    tm->tmExternalLeading = m.ExternalLeading;
    tm->tmAveCharWidth = m.AveCharWidth;
    tm->tmMaxCharWidth = m.MaxCharWidth;
    tm->tmWeight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
    tm->tmItalic = lf.lfItalic;
    tm->tmUnderlined = lf.lfUnderline;
    tm->tmCrossedOut = lf.lfStrikeOut;
    tm->tmCharSet = lf.lfCharSet;
    tm->tmDigitizedAspectX = dc->DpiX;
    tm->tmDigitizedAspectY = dc->DpiY;
    // The low bit set means a variable-pitch font (the platform's inverted sense).
    tm->tmPitchAndFamily = BYTE((TextWidth(*dc, u"i") != TextWidth(*dc, u"W") ? 1 : 0) | 0x06);
    return TRUE;
}

BOOL GetTextMetrics(HDC h, TEXTMETRICW* tm)
{
    return GetTextMetricsW(h, tm);
}

BOOL GetCharWidth32(HDC h, UINT first, UINT last, int* widths)
{
    auto dc = gdi::DCOf(h);
    if (!dc || !widths || last < first || last - first > 0x10000)
        return FALSE;
    for (UINT c = first; c <= last; ++c) {
        String s;
        AppendCodePoint(s, char32_t(c));
        widths[c - first] = TextWidth(*dc, s);
    }
    return TRUE;
}

int GetTextFace(HDC h, int count, LPWSTR face)
{
    auto dc = gdi::DCOf(h);
    if (!dc)
        return 0;
    const char16_t* name = dc->State.Font->Log.lfFaceName;
    const int len = int(std::char_traits<char16_t>::length(name));
    if (!face)
        return len + 1;
    if (count <= 0)
        return 0;
    const int n = std::min(len, count - 1);
    std::char_traits<char16_t>::copy(face, name, std::size_t(n));
    face[n] = 0;
    return n;
}
