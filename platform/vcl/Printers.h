#pragma once
// The printer object: a canvas over the printer device context, a document
// of pages written as PDF to a file or handed to the print spooler.

#include <memory>

#include "platform/gdi/Printer.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Graphics.h"

QT_DECLARE_EXCEPTION(EPrinter, Exception);

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Starts a document on its first page. Raises EPrinter while a document
    // is open, and when neither an output file nor a printer is named.
    void BeginDoc();
    void EndDoc();
    void NewPage();
    // Drops the document: nothing is written or spooled.
    void Abort();

    // Valid between BeginDoc and EndDoc.
    TCanvas* GetCanvas() const { return FCanvas.get(); }
    bool GetPrinting() const { return FPrinting; }
    bool GetAborted() const { return FAborted; }
    int GetPageNumber() const { return FPageNumber; }
    TPrinterOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    // The printable page in device pixels, after orientation.
    int GetPageWidth() const;
    int GetPageHeight() const;
    const String& GetTitle() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    // The PDF file the document goes to; wins over the printer name.
    const String& GetOutputFile() const { return FOutputFile; }
    void SetOutputFile(const String& Value);
    // A named printer gets the document through the spooler.
    const String& GetPrinterName() const { return FPrinterName; }
    void SetPrinterName(const String& Value);
    // Paper size in tenths of a millimetre, portrait.
    void SetPaperSize(int Width, int Height);
    int GetCopies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value < 1 ? 1 : Value; }

private:
    void CheckNotPrinting() const;
    TPrinterSettings Settings() const;
    void Release();

    std::unique_ptr<TCanvas> FCanvas;
    HDC FDC { nullptr };
    bool FPrinting { false };
    bool FAborted { false };
    int FPageNumber { 0 };
    TPrinterOrientation FOrientation { poPortrait };
    String FTitle;
    String FOutputFile;
    String FPrinterName;
    int FPaperWidth { 2100 };
    int FPaperHeight { 2970 };
    int FCopies { 1 };
};

// The program's printer, made on first use.
TPrinter* Printer();
// Replaces the program's printer and returns the previous one (tests, or a
// program that keeps its own).
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> NewPrinter);
