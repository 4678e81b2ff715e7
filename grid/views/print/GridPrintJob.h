#pragma once
// One print job of the string grid: the engine behind printing, previewing
// and drawing the printout into a rectangle. It measures the columns, fits
// them to the page, cuts the range into column pages and row pages, and
// draws the page header and footer, the cells and the page frames.
//
// Page measures are in 0.1 mm (the canvas runs in the metric mapping mode):
// x grows to the right from the page's left edge, y upwards from its top
// edge, so everything on the page has y at or below 0.
//
// Every drawing call goes through Out*, which also tells a recorder (tests
// install one) what was drawn where.

#include <functional>
#include <vector>

#include "grid/core/DedOzovedUrad.h"

class TPrinter;

// What the engine drew, for a recorder.
struct TGridPrintOp {
    enum TKind { opText, opLine, opFill, opGraphic, opPage } Kind { opText };
    int Page { 0 };       // 1-based page the operation belongs to
    TRect R;              // text: x, y in Left, Top; line: from (Left, Top) to (Right, Bottom)
    String Text;          // text; graphic: the kind's name
    TColor Color { clNone }; // text colour, line colour, fill colour
    int Width { 0 };      // line: pen width; text: font height
    int Escapement { 0 }; // text: tenths of a degree
};
using TGridPrintRecorder = std::function<void(const TGridPrintOp& Op)>;
// Installs a recorder for the jobs that follow (empty: none).
void SetGridPrintRecorder(TGridPrintRecorder Recorder);

class TGridPrintJob {
public:
    enum TMode { pmPreview = 0, pmPrint = 1, pmCountPrint = 2, pmCountPreview = 3 };

    TGridPrintJob(TDedOzovedUrad& Grid, TCanvas* Canvas, TPrinter* Printer, int Mode, int Pages, bool SelectedOnly);
    ~TGridPrintJob();
    // Runs the job; the number of pages.
    int Run();

    // The grid operations behind Print*, PrintPreview* and PrintDraw*.
    static void PrintRange(TDedOzovedUrad& G, const TGridRect& Range, bool SelectedOnly);
    static void PreviewRange(TDedOzovedUrad& G, TCanvas* Canvas, TRect Displayrect, const TGridRect& Range,
        bool SelectedOnly);
    static void DrawRange(TDedOzovedUrad& G, TCanvas* Canvas, TRect DrawRect, const TGridRect& Range);

    // The six header and footer texts of the current page (index by
    // TPrintPosition, 0 unused) and the marked-up title, if any.
    void ComposeHeaderTexts(String (&Slots)[7], String& HTMLTitle);
    // The page number text of the current page.
    String PageNumberText();

    // Pieces of a job (public for the tests).
    TPoint MeasurePrintCell(int ACol, int ARow);
    int PrintPageCells(int y, int FirstCol, int LastCol, int ARow);
    void DrawPageFrame(int FirstCol, int LastCol, int y);
    int PrintRowHeight(int ARow);
    int RowAdvance(int ARow) { return 2 * g + PrintRowHeight(ARow) + S().GetRowSpacing(); }
    bool RowPrinted(int ARow);
    bool ColumnPrinted(int ACol);

    // Values of the job.
    double r { 254.0 / 96 };
    double d { 1.0 };
    double f { 1.0 };
    int g { 0 };
    int hh { 0 };
    int hf { 0 };
    int pad { 0 };
    int q { 0 };
    int W { 0 };
    int H { 0 };
    int hs { 0 };
    int fs { 0 };
    int TopMargin { 0 };
    int BottomMargin { 0 };
    int PagesDone { 0 };      // pages finished so far
    int RowPageNr { 1 };      // row page within the current column page
    int ColPageNr { 1 };
    bool MultiColPages { false };
    bool RepeatFixedColsOnPage { false };
    bool Cancelled { false };

private:
    TPrintSettings& S() const { return *G.GetPrintSettings(); }
    TGridPrintState& P() const { return G.FPrint; }
    bool Drawing() const { return Mode == pmPreview || Mode == pmPrint; }
    bool PageInRange(int PageNr) const { return PageNr >= G.FPrintPageFrom && PageNr <= G.FPrintPageTo; }
    bool PageUnknown() const;
    int MaxW(int c) const;
    int& Indent(int c);
    void Prepare();
    void ComputePrintColumnWidths();
    void FitToPage();
    struct TColPage {
        int First, Last;
    };
    std::vector<TColPage> SplitColumnPages();
    void LayoutColumnPage(const TColPage& Page);
    void ComputeMargins();
    int TitleExtraHeight();
    void StartNewPage(int n);
    int PrintRow(int y, int ARow);
    // Header and footer; the title's extra height.
    int DrawHeaderFooter();
    int MarkedUpTitleHeight(const String& Markup);
    void DrawMarkedUpTitle(const String& Markup, TRect Box);
    // Cells.
    void CellContent(int c, int rc, int ARow, int y, int D, int F, int Advance, TPen* BorderPen,
        TCellBorders Borders);
    void CellBorders(int c, int rc, int ARow, int FirstCol, int y, int Advance, TRect Cell, TCellBorders Borders);
    void PlaceGraphic(TCellGraphic* Graphic, int c, int rc, int ARow, int D, int F, TAlignment HA,
        const String& Text, TRect& Cell, TRect& TextArea, TRect& GR);
    void DrawGraphic(TCellGraphic* Graphic, int c, int rc, int ARow, TRect GR, int TextRight, TColor Background,
        TColor ColorTo);
    void DrawImageListImage(int Index, TRect R);
    void DrawCellText(int c, int rc, int ARow, int y, int Advance, int Kind, String Text, TRect Area,
        TAlignment HA, TVAlignment VA, bool WordWrap, int Angle, int M, int Ws, int Hs, int Wc, int Hc,
        int CellFontSize);
    // Drawing, in page units, told to the recorder.
    void OutText(int x, int y, const String& Text);
    void OutTextRect(TRect Clip, int x, int y, const String& Text);
    void OutDrawText(TRect R, const String& Text, UINT Format);
    void OutLine(int x0, int y0, int x1, int y1);
    void OutFill(TRect R, TColor Color);
    void OutGraphic(TRect R, const char* Kind);
    // Stretches a graphic into a page rectangle at the device's resolution.
    void PrintGraphic(TRect R, TGraphic* Graphic);
    // Runs Draw with the canvas in device units; R (page units) comes in
    // device units.
    void InDeviceUnits(TRect& R, const std::function<void()>& Draw);
    void Record(TGridPrintOp Op);

    TDedOzovedUrad& G;
    TCanvas* Canvas;
    TPrinter* FPrinter;
    int Mode;
    int Pages;
    bool SelectedOnly;
    int OldMapMode { 0 };
    // A 96 dpi context for what the engine measures on the screen.
    HDC ScreenDC { nullptr };
    std::unique_ptr<TCanvas> Screen;
    int PageTopMargin { 0 };
};
