#pragma once
// Printing: a device context over a PDF surface at 600 dots per inch. The
// document goes to the file the settings name, or to the desktop's print
// spooler (`lp`) when a real printer is chosen.

#include "platform/gdi/Gdi.h"

enum : short { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : WORD { DC_ORIENTATION = 17 };
constexpr int SP_ERROR = -1;

struct TPrinterSettings {
    String PrinterName;     // empty or "PDF": write OutputFile only
    String OutputFile;      // the PDF file; a private temporary file when printing to a printer
    int PaperWidth { 2100 };  // tenths of a millimetre, portrait
    int PaperHeight { 2970 };
    short Orientation { DMORIENT_PORTRAIT };
    int Copies { 1 };
};

struct DOCINFOW {
    int cbSize { sizeof(DOCINFOW) };
    LPCWSTR lpszDocName { nullptr };
    LPCWSTR lpszOutput { nullptr }; // overrides the settings' output file
    LPCWSTR lpszDatatype { nullptr };
    DWORD fwType { 0 };
};
using DOCINFO = DOCINFOW;

HDC CreatePrinterDC(const TPrinterSettings& settings);
int StartDoc(HDC dc, const DOCINFOW* info);
int EndDoc(HDC dc);
int StartPage(HDC dc);
int EndPage(HDC dc);
int AbortDoc(HDC dc);
// Capabilities of a printer; DC_ORIENTATION answers 90 (landscape turns the
// page counter-clockwise).
int DeviceCapabilities(LPCWSTR device, LPCWSTR port, WORD capability, LPWSTR output, const void* devMode);
