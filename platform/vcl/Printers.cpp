#include "platform/vcl/Printers.h"

#include <cmath>

TPrinter::TPrinter()
    : FCanvas(std::make_unique<TCanvas>())
{
}

TPrinter::~TPrinter()
{
    if (FPrinting)
        Abort();
    Release();
}

void TPrinter::CheckNotPrinting() const
{
    if (FPrinting)
        throw EPrinter(u"Printing in progress");
}

TPrinterSettings TPrinter::Settings() const
{
    TPrinterSettings S;
    S.PrinterName = FOutputFile.empty() ? FPrinterName : String();
    S.OutputFile = FOutputFile;
    S.PaperWidth = FPaperWidth;
    S.PaperHeight = FPaperHeight;
    S.Orientation = FOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    S.Copies = FCopies;
    return S;
}

void TPrinter::Release()
{
    FCanvas->SetHandle(nullptr);
    if (FDC) {
        DeleteDC(FDC);
        FDC = nullptr;
    }
}

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    CheckNotPrinting();
    FOrientation = Value;
}

void TPrinter::SetOutputFile(const String& Value)
{
    CheckNotPrinting();
    FOutputFile = Value;
}

void TPrinter::SetPrinterName(const String& Value)
{
    CheckNotPrinting();
    FPrinterName = Value;
}

void TPrinter::SetPaperSize(int Width, int Height)
{
    CheckNotPrinting();
    if (Width <= 0 || Height <= 0 || Width > 100000 || Height > 100000)
        throw EPrinter(u"Invalid paper size");
    FPaperWidth = Width;
    FPaperHeight = Height;
}

namespace {

// The printer context works at 600 dots per inch.
int PaperPixels(int TenthsOfMm) { return int(std::nearbyint(TenthsOfMm * 600 / 254.0)); }

} // namespace

int TPrinter::GetPageWidth() const
{
    if (FDC)
        return GetDeviceCaps(FDC, HORZRES);
    return PaperPixels(FOrientation == poLandscape ? FPaperHeight : FPaperWidth);
}

int TPrinter::GetPageHeight() const
{
    if (FDC)
        return GetDeviceCaps(FDC, VERTRES);
    return PaperPixels(FOrientation == poLandscape ? FPaperWidth : FPaperHeight);
}

void TPrinter::BeginDoc()
{
    CheckNotPrinting();
    const bool NamedPrinter = !FPrinterName.empty() && FPrinterName != u"PDF";
    if (FOutputFile.empty() && !NamedPrinter)
        throw EPrinter(u"No printer or output file selected");
    Release();
    FDC = CreatePrinterDC(Settings());
    if (!FDC)
        throw EPrinter(u"Printer selected is not valid");
    DOCINFOW Info;
    Info.lpszDocName = FTitle.c_str();
    if (StartDoc(FDC, &Info) <= 0 || StartPage(FDC) <= 0) {
        Release();
        throw EPrinter(u"Cannot start the print job");
    }
    FCanvas->SetHandle(FDC);
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        throw EPrinter(u"Printer is not currently printing");
    EndPage(FDC);
    StartPage(FDC);
    ++FPageNumber;
    // A new page starts with fresh drawing objects in the context.
    FCanvas->Refresh();
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw EPrinter(u"Printer is not currently printing");
    FCanvas->SetHandle(nullptr);
    EndPage(FDC);
    const int Done = ::EndDoc(FDC);
    FPrinting = false;
    Release();
    if (Done <= 0)
        throw EPrinter(u"The document could not be written");
}

void TPrinter::Abort()
{
    if (!FPrinting)
        return;
    FCanvas->SetHandle(nullptr);
    AbortDoc(FDC);
    FPrinting = false;
    FAborted = true;
    Release();
}

namespace {

std::unique_ptr<TPrinter>& ProgramPrinter()
{
    static std::unique_ptr<TPrinter> P;
    return P;
}

} // namespace

TPrinter* Printer()
{
    auto& P = ProgramPrinter();
    if (!P)
        P = std::make_unique<TPrinter>();
    return P.get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> NewPrinter)
{
    auto& P = ProgramPrinter();
    std::swap(P, NewPrinter);
    return NewPrinter;
}
