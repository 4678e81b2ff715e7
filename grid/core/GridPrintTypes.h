#pragma once
// What the string grid keeps for printing and previewing: the events of a
// print job and the job's state (page range, column layout, measured row
// heights), which the print engine in grid/views/print fills and event
// handlers may read while a job runs.

#include <functional>
#include <vector>

#include "platform/rtl/DateUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Grids.h"

using TPrintStartEvent = std::function<void(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage)>;
using TPrintPageEvent
    = std::function<void(TObject* Sender, TCanvas* Canvas, int PageNr, int PageXSize, int PageYSize)>;
using TPrintPageTopBottomSizeEvent
    = std::function<void(TObject* Sender, TCanvas* Canvas, int PageNr, int& HeaderSize, int& FooterSize)>;
using TPrintNewPageEvent = std::function<void(TObject* Sender, int ARow, bool& NewPage)>;
using TPrintPageDoneEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int LastRow, int LastRowOffset,
    int LastPage, int PageXSize, int PageYSize)>;
using TPrintCancelEvent = std::function<void(TObject* Sender, int PageNr, bool& Cancel)>;
using TFitToPageEvent = std::function<void(TObject* Sender, double& ScaleFactor, bool& Allow)>;
using TPrintColumnWidthEvent = std::function<void(TObject* Sender, int ACol, int& Width)>;
using TPrintRowHeightEvent = std::function<void(TObject* Sender, int ARow, int& Height)>;
using TPrintGetPageNumEvent
    = std::function<void(TObject* Sender, int PageNum, int PageColNum, String& PageNumString)>;
using TCustomCellSizeEvent
    = std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow, TPoint& ASize, bool Printing)>;

// The state of the last (or the running) print job. Page measures are in
// 0.1 mm with y growing upwards from the page's top edge.
struct TGridPrintState {
    TRect PrevRect;              // the page rectangle handed to the engine
    TGridRect PrintRect { 0, 0, 0, 0 }; // the display range printed
    TRect PrintPageRect;         // (0, 0, W, H) of the job
    int PrintPageWidth { 0 };    // width used by the current column page
    int PrintColStart { 0 };
    int PrintColEnd { 0 };
    int PrintNrOfPages { 0 };
    double Fontscalefactor { 1.0 };
    // Printed widths and left edges by display column (AllColCount + 1).
    std::vector<int> MaxWidths;
    std::vector<int> Indents;
    // Row heights the counting pass measured, reused by the drawing pass.
    std::vector<int> CacheRowHeights;
    bool UseCacheRowHeights { false };
    bool IsPrintPreview { false };
    bool FastPrint { false };
    bool PrinterDriverFix { false };
    // The time printed in page headers and footers; the local time when empty.
    std::function<TDateTime()> Now;
};
