#include "platform/gdi/Printer.h"

#include <cairo-pdf.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/gdi/GdiObjects.h"

extern char** environ;

namespace gdi {

struct TPrinterInfo {
    TPrinterSettings Settings;
    int Dpi { 600 };
    int PageWidth { 0 };  // device pixels, after orientation
    int PageHeight { 0 };
    bool InDoc { false };
    bool InPage { false };
    std::string File;
    bool Spool { false };
};

namespace {

bool IsFilePrinter(const String& name)
{
    return name.empty() || name == u"PDF";
}

// Hands the finished file to the desktop's spooler when one is installed.
void Spool(const TPrinterInfo& p)
{
    const std::string printer = StringToUtf8(p.Settings.PrinterName);
    const std::string copies = std::to_string(std::max(1, p.Settings.Copies));
    const char* argv[] = { "lp", "-s", "-d", printer.c_str(), "-n", copies.c_str(), p.File.c_str(), nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, "lp", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

void FinishDocument(TDC& dc, bool keep)
{
    auto& p = *dc.Printer;
    if (!p.InDoc)
        return;
    if (p.InPage && dc.Cr)
        cairo_show_page(dc.Cr);
    p.InPage = false;
    p.InDoc = false;
    if (dc.Surface)
        cairo_surface_finish(dc.Surface);
    dc.AttachSurface(nullptr, {}, dc.Bounds);
    if (!keep) {
        std::error_code ec;
        std::filesystem::remove(p.File, ec);
        return;
    }
    if (p.Spool) {
        Spool(p);
        std::error_code ec;
        std::filesystem::remove(p.File, ec);
    }
}

} // namespace

void EndPrinterDC(TDC& dc)
{
    if (dc.Printer && dc.Printer->InDoc)
        FinishDocument(dc, false);
}

int PrinterDeviceCaps(const TDC& dc, int index)
{
    const auto& p = *dc.Printer;
    switch (index) {
    case TECHNOLOGY: return DT_RASPRINTER;
    case LOGPIXELSX: case LOGPIXELSY: return p.Dpi;
    case HORZRES: case PHYSICALWIDTH: return p.PageWidth;
    case VERTRES: case PHYSICALHEIGHT: return p.PageHeight;
    case PHYSICALOFFSETX: case PHYSICALOFFSETY: return 0;
    case HORZSIZE: return int(std::nearbyint(p.PageWidth * 25.4 / p.Dpi));
    case VERTSIZE: return int(std::nearbyint(p.PageHeight * 25.4 / p.Dpi));
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    default: return 0;
    }
}

} // namespace gdi

using namespace gdi;

HDC CreatePrinterDC(const TPrinterSettings& settings)
{
    if (settings.PaperWidth <= 0 || settings.PaperHeight <= 0 || settings.PaperWidth > 100000 || settings.PaperHeight > 100000)
        return nullptr;
    auto dc = std::make_shared<TDC>();
    dc->State.Pen = StockPen(BLACK_PEN);
    dc->State.Brush = StockBrush(WHITE_BRUSH);
    dc->State.Font = StockFont(SYSTEM_FONT);
    dc->Vector = true;
    auto info = std::make_shared<TPrinterInfo>();
    info->Settings = settings;
    const double mmToPx = info->Dpi / 254.0; // tenths of a millimetre
    int w = int(std::nearbyint(settings.PaperWidth * mmToPx)), h = int(std::nearbyint(settings.PaperHeight * mmToPx));
    if (settings.Orientation == DMORIENT_LANDSCAPE)
        std::swap(w, h);
    info->PageWidth = w;
    info->PageHeight = h;
    dc->DpiX = dc->DpiY = info->Dpi;
    dc->VectorScale = 72.0 / info->Dpi;
    dc->Bounds = TRegion(TRect(0, 0, w, h));
    dc->Printer = info;
    return HDC(Register(dc));
}

int StartDoc(HDC h, const DOCINFOW* doc)
{
    auto dc = DCOf(h);
    if (!dc || !dc->Printer || dc->Printer->InDoc)
        return SP_ERROR;
    auto& p = *dc->Printer;
    String out = doc && doc->lpszOutput && *doc->lpszOutput ? String(doc->lpszOutput) : p.Settings.OutputFile;
    p.Spool = !IsFilePrinter(p.Settings.PrinterName) && out.empty();
    if (p.Spool) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "print-XXXXXX.pdf").string();
        const int fd = mkstemps(tmpl.data(), 4);
        if (fd < 0)
            return SP_ERROR;
        close(fd);
        p.File = tmpl;
    } else {
        if (out.empty())
            return SP_ERROR;
        p.File = StringToUtf8(out);
    }
    cairo_surface_t* surface = cairo_pdf_surface_create(p.File.c_str(), p.PageWidth * dc->VectorScale, p.PageHeight * dc->VectorScale);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return SP_ERROR;
    }
    if (doc && doc->lpszDocName)
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, StringToUtf8(doc->lpszDocName).c_str());
    dc->AttachSurface(surface, {}, TRegion(TRect(0, 0, p.PageWidth, p.PageHeight)));
    p.InDoc = true;
    static int jobs = 0;
    return ++jobs;
}

int StartPage(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->Printer || !dc->Printer->InDoc || dc->Printer->InPage)
        return SP_ERROR;
    dc->Printer->InPage = true;
    return 1;
}

int EndPage(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->Printer || !dc->Printer->InPage)
        return SP_ERROR;
    cairo_show_page(dc->Cr);
    dc->Printer->InPage = false;
    return 1;
}

int EndDoc(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->Printer || !dc->Printer->InDoc)
        return SP_ERROR;
    FinishDocument(*dc, true);
    return 1;
}

int AbortDoc(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->Printer || !dc->Printer->InDoc)
        return SP_ERROR;
    FinishDocument(*dc, false);
    return 1;
}

int DeviceCapabilities(LPCWSTR, LPCWSTR, WORD capability, LPWSTR, const void*)
{
    return capability == DC_ORIENTATION ? 90 : -1;
}
