// Print jobs and page layout: the grid's Print*, PrintPreview* and
// PrintDraw* operations, and the engine's page layout (column widths,
// fitting, column pages, row pages, margins, new pages).

#include "grid/views/print/GridPrintJob.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "grid/core/GridUtils.h"
#include "platform/gdi/Printer.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Printers.h"

namespace {

TGridPrintRecorder& Recorder()
{
    static TGridPrintRecorder R;
    return R;
}

// Restores a canvas's mapping mode, origins and objects when a job ends.
struct TMappingScope {
    TCanvas* Canvas;
    int Saved;
    explicit TMappingScope(TCanvas* C) : Canvas(C), Saved(SaveDC(C->GetHandle())) { }
    ~TMappingScope()
    {
        RestoreDC(Canvas->GetHandle(), Saved);
        Canvas->Refresh();
    }
};

bool IsTop(TPrintPosition P)
{
    return P == DedOzovedUrad::ppTopLeft || P == DedOzovedUrad::ppTopRight || P == DedOzovedUrad::ppTopCenter;
}

bool IsBottom(TPrintPosition P)
{
    return P == DedOzovedUrad::ppBottomLeft || P == DedOzovedUrad::ppBottomRight
        || P == DedOzovedUrad::ppBottomCenter;
}

int Rnd(double v) { return int(RoundHalfEven(v)); }

} // namespace

void SetGridPrintRecorder(TGridPrintRecorder R) { Recorder() = std::move(R); }

// ---- the grid's operations ----

int TDedOzovedUrad::MapFontHeight(int pointsize) const
{
    return -TruncToInt(pointsize * 254.0 / 72.0 * FPrint.Fontscalefactor);
}

int TDedOzovedUrad::MapFontSize(int Height) { return TruncToInt(Height * 72.0 / 254.0); }

void TDedOzovedUrad::Print()
{
    TGridPrintJob::PrintRange(*this, TGridRect(0, 0, GetColCount() - 1, GetRowCount() - 1), false);
}

void TDedOzovedUrad::PrintSelection() { TGridPrintJob::PrintRange(*this, GetSelection(), false); }

void TDedOzovedUrad::PrintRect(const TGridRect& Gridrect) { TGridPrintJob::PrintRange(*this, Gridrect, false); }

void TDedOzovedUrad::PrintSelectedRows()
{
    TGridPrintJob::PrintRange(*this, TGridRect(0, 0, GetColCount() - 1, GetRowCount() - 1), true);
}

void TDedOzovedUrad::PrintSelectedCols() { PrintSelectedRows(); }

void TDedOzovedUrad::PrintPreview(TCanvas* Canvas, TRect Displayrect)
{
    TGridPrintJob::PreviewRange(*this, Canvas, Displayrect, TGridRect(0, 0, GetColCount() - 1, GetRowCount() - 1),
        false);
}

void TDedOzovedUrad::PrintPreviewRect(TCanvas* Canvas, TRect Displayrect, const TGridRect& Gridrect)
{
    TGridPrintJob::PreviewRange(*this, Canvas, Displayrect, Gridrect, false);
}

void TDedOzovedUrad::PrintPreviewSelection(TCanvas* Canvas, TRect Displayrect)
{
    TGridPrintJob::PreviewRange(*this, Canvas, Displayrect, GetSelection(), false);
}

void TDedOzovedUrad::PrintPreviewSelectedRows(TCanvas* Canvas, TRect Displayrect)
{
    TGridPrintJob::PreviewRange(*this, Canvas, Displayrect, TGridRect(0, 0, GetColCount() - 1, GetRowCount() - 1),
        true);
}

void TDedOzovedUrad::PrintPreviewSelectedCols(TCanvas* Canvas, TRect Displayrect)
{
    PrintPreviewSelectedRows(Canvas, Displayrect);
}

void TDedOzovedUrad::PrintDraw(TCanvas* Canvas, TRect DrawRect)
{
    TGridPrintJob::DrawRange(*this, Canvas, DrawRect, TGridRect(0, 0, GetColCount() - 1, GetRowCount() - 1));
}

void TDedOzovedUrad::PrintDrawRect(TCanvas* Canvas, TRect DrawRect, const TGridRect& Gridrect)
{
    TGridPrintJob::DrawRange(*this, Canvas, DrawRect, Gridrect);
}

int TDedOzovedUrad::PrinterLandscapeAngle()
{
    const String Name = Printer()->GetPrinterName();
    const int Angle = DeviceCapabilities(Name.empty() ? nullptr : reinterpret_cast<LPCWSTR>(Name.c_str()), nullptr,
        DC_ORIENTATION, nullptr, nullptr);
    return Angle == 90 || Angle == 270 ? Angle : 0;
}

// ---- starting jobs ----

namespace {

TGridRect Normalized(TGridRect R)
{
    if (R.Left > R.Right)
        std::swap(R.Left, R.Right);
    if (R.Top > R.Bottom)
        std::swap(R.Top, R.Bottom);
    return R;
}

// The export hook hears the start and the end of a job, also when it fails.
struct TExportScope {
    TDedOzovedUrad& G;
    bool Armed { true };
    explicit TExportScope(TDedOzovedUrad& Grid) : G(Grid) { G.ExportNotification(esExportStart, -1); }
    ~TExportScope()
    {
        if (Armed)
            G.ExportNotification(esExportDone, -1);
    }
};

} // namespace

void TGridPrintJob::PrintRange(TDedOzovedUrad& G, const TGridRect& Range, bool SelectedOnly)
{
    TGridPrintState& P = G.FPrint;
    TPrintSettings& S = *G.GetPrintSettings();
    TPrinter* Prn = Printer();
    TExportScope Hook(G);
    P.PrintRect = Normalized(Range);
    P.UseCacheRowHeights = false;
    P.CacheRowHeights.clear();
    if (!Prn->GetPrinting() && !S.GetUseDefaultOrientation())
        Prn->SetOrientation(S.GetOrientation());
    // The page in 0.1 mm from the printer's page in device pixels.
    const int Dpi = 600;
    P.PrevRect = TRect(0, 0, Rnd(254.0 / Dpi * Prn->GetPageWidth()), Rnd(254.0 / Dpi * Prn->GetPageHeight()));
    Prn->SetTitle(S.GetJobName());

    int Pages = INT_MAX;
    if (!P.FastPrint) {
        HDC DC = CreateCompatibleDC(nullptr);
        TCanvas Counting;
        Counting.SetHandle(DC);
        {
            TGridPrintJob Count(G, &Counting, nullptr, pmCountPrint, 0, SelectedOnly);
            Pages = Count.Run();
        }
        Counting.SetHandle(nullptr);
        DeleteDC(DC);
        P.UseCacheRowHeights = true;
    }
    G.FPrintPageFrom = 1;
    G.FPrintPageTo = Pages;
    P.PrintNrOfPages = Pages;
    int From = 1, To = Pages;
    if (G.OnPrintStart)
        G.OnPrintStart(&G, Pages, From, To);
    if (From <= 0 || To <= 0 || From > To) {
        Hook.Armed = false;
        return;
    }
    G.FPrintPageFrom = From;
    G.FPrintPageTo = To;
    const bool WasPrinting = Prn->GetPrinting();
    if (!WasPrinting)
        Prn->BeginDoc();
    try {
        P.PrintNrOfPages = To;
        TGridPrintJob Job(G, Prn->GetCanvas(), Prn, pmPrint, Pages, SelectedOnly);
        Job.Run();
    } catch (...) {
        if (!WasPrinting && Prn->GetPrinting())
            Prn->EndDoc();
        throw;
    }
    if (!WasPrinting)
        Prn->EndDoc();
}

void TGridPrintJob::PreviewRange(TDedOzovedUrad& G, TCanvas* Canvas, TRect Displayrect, const TGridRect& Range,
    bool SelectedOnly)
{
    TGridPrintState& P = G.FPrint;
    struct TPreviewFlag {
        TGridPrintState& P;
        ~TPreviewFlag() { P.IsPrintPreview = false; }
    } Flag { P };
    TExportScope Hook(G);
    P.PrintRect = Normalized(Range);
    P.UseCacheRowHeights = false;
    P.CacheRowHeights.clear();
    P.PrevRect = Displayrect;
    // The page shown is PreviewPage; counting sees every page.
    const int ShowFrom = G.FPrintPageFrom, ShowTo = G.FPrintPageTo;
    int Pages = 1;
    if (!P.FastPrint) {
        G.FPrintPageFrom = 1;
        G.FPrintPageTo = INT_MAX;
        TGridPrintJob Count(G, Canvas, nullptr, pmCountPreview, 0, SelectedOnly);
        Pages = Count.Run();
        P.PrintNrOfPages = Pages;
        P.UseCacheRowHeights = true;
    }
    G.FPrintPageFrom = ShowFrom;
    G.FPrintPageTo = ShowTo;
    P.IsPrintPreview = true;
    int From = 1, To = Pages;
    if (G.OnPrintStart)
        G.OnPrintStart(&G, Pages, From, To);
    if (From > 0 && To > 0 && To >= From) {
        P.PrevRect = Displayrect;
        TGridPrintJob Job(G, Canvas, nullptr, pmPreview, Pages, SelectedOnly);
        Job.Run();
    }
}

void TGridPrintJob::DrawRange(TDedOzovedUrad& G, TCanvas* Canvas, TRect DrawRect, const TGridRect& Range)
{
    TGridPrintState& P = G.FPrint;
    P.PrintRect = Normalized(Range);
    P.PrevRect = DrawRect;
    G.FPrintPageFrom = G.FPrintPageTo = 1;
    P.PrintNrOfPages = 1;
    P.UseCacheRowHeights = false;
    P.CacheRowHeights.clear();
    TGridPrintJob Job(G, Canvas, nullptr, pmPrint, 1, false);
    Job.Run();
}

// ---- the job ----

TGridPrintJob::TGridPrintJob(TDedOzovedUrad& Grid, TCanvas* ACanvas, TPrinter* Printer, int AMode, int APages,
    bool ASelectedOnly)
    : G(Grid), Canvas(ACanvas), FPrinter(Printer), Mode(AMode), Pages(APages), SelectedOnly(ASelectedOnly)
{
    ScreenDC = CreateCompatibleDC(nullptr);
    Screen = std::make_unique<TCanvas>();
    Screen->SetHandle(ScreenDC);
}

TGridPrintJob::~TGridPrintJob()
{
    Screen->SetHandle(nullptr);
    DeleteDC(ScreenDC);
}

bool TGridPrintJob::PageUnknown() const { return Pages == INT_MAX; }

int TGridPrintJob::MaxW(int c) const
{
    const auto& M = P().MaxWidths;
    return c >= 0 && c < int(M.size()) ? M[std::size_t(c)] : 0;
}

int& TGridPrintJob::Indent(int c)
{
    auto& I = P().Indents;
    c = std::clamp(c, 0, int(I.size()) - 1);
    return I[std::size_t(c)];
}

bool TGridPrintJob::RowPrinted(int ARow)
{
    if (!SelectedOnly)
        return true;
    if (S().GetFixedCellsAlways() && ARow < G.GetFixedRows())
        return true;
    TMouseActions* MA = G.GetMouseActions();
    if (MA->GetDisjunctRowSelect())
        return G.GetRowSelect(MA->GetRowSelectPersistent() ? G.RealRowIndex(TDisplayRow(ARow)).Value : ARow);
    const TGridRect Sel = Normalized(G.GetSelection());
    return ARow >= Sel.Top && ARow <= Sel.Bottom;
}

bool TGridPrintJob::ColumnPrinted(int ACol)
{
    if (!SelectedOnly)
        return true;
    if (S().GetFixedCellsAlways() && ACol < G.GetFixedCols())
        return true;
    TMouseActions* MA = G.GetMouseActions();
    if (MA->GetDisjunctRowSelect())
        return true;
    if (MA->GetDisjunctColSelect())
        return G.GetColSelect(ACol);
    const TGridRect Sel = Normalized(G.GetSelection());
    return ACol >= Sel.Left && ACol <= Sel.Right;
}

void TGridPrintJob::Prepare()
{
    TGridPrintState& St = P();
    const std::size_t Cols = std::size_t(std::max(0, G.GetAllColCount())) + 1;
    St.MaxWidths.assign(Cols, 0);
    St.Indents.assign(Cols, 0);
    const HDC DC = Canvas->GetHandle();
    const int ScreenPPI = GetDeviceCaps(ScreenDC, LOGPIXELSY);
    const int CanvasPPI = GetDeviceCaps(DC, LOGPIXELSY);
    r = 254.0 / (ScreenPPI > 0 ? ScreenPPI : 96);
    d = ScreenPPI > 0 && CanvasPPI > 0 ? double(CanvasPPI) / ScreenPPI : 1.0;
    OldMapMode = SetMapMode(DC, MM_LOMETRIC);
    Canvas->Refresh();
    St.Fontscalefactor = 1.0;

    Canvas->GetPen()->SetColor(clBlack);
    Canvas->GetPen()->SetStyle(S().GetBorderStyle());
    Canvas->GetPen()->SetWidth(S().GetBorders() == pbDouble ? 10 : 2);

    TFont* Font = Canvas->GetFont();
    Font->Assign(S().GetHeaderFont());
    Font->SetHeight(G.MapFontHeight(S().GetHeaderFont()->GetSize()));
    hh = Canvas->TextHeight(u"gh");
    Font->Assign(S().GetFooterFont());
    Font->SetHeight(G.MapFontHeight(S().GetFooterFont()->GetSize()));
    hf = Canvas->TextHeight(u"gh");
    Font->Assign(S().GetFont());
    Font->SetHeight(G.MapFontHeight(S().GetFont()->GetSize()));
    Screen->GetFont()->Assign(G.GetFont());
    g = Screen->TextHeight(u"gh") / 8;
    q = Canvas->TextWidth(u"g") / 2;
    pad = S().GetUseFixedWidth() || S().GetNoAutoSize() ? 0 : S().GetColumnSpacing() + 20;

    switch (Mode) {
    case pmPreview:
    case pmCountPreview: {
        POINT C[2] = { { St.PrevRect.Left, St.PrevRect.Top }, { St.PrevRect.Right, St.PrevRect.Bottom } };
        // The page starts at the display rectangle's corner.
        SetViewportOrgEx(DC, St.PrevRect.Left, St.PrevRect.Top, nullptr);
        C[1].X -= C[0].X;
        C[1].Y -= C[0].Y;
        C[0] = { 0, 0 };
        DPtoLP(DC, C, 2);
        W = C[1].X - C[0].X;
        H = C[1].Y - C[0].Y;
        break;
    }
    case pmPrint: {
        if (FPrinter) {
            const TRect Clip = Canvas->GetClipRect();
            // Clip boxes come normalised: the page's bottom is the smaller y.
            W = std::max(Clip.Left, Clip.Right);
            H = std::min(Clip.Top, Clip.Bottom);
        } else {
            POINT C[2] = { { St.PrevRect.Left, St.PrevRect.Top }, { St.PrevRect.Right, St.PrevRect.Bottom } };
            SetViewportOrgEx(DC, St.PrevRect.Left, St.PrevRect.Top, nullptr);
            C[1].X -= C[0].X;
            C[1].Y -= C[0].Y;
            C[0] = { 0, 0 };
            DPtoLP(DC, C, 2);
            W = C[1].X - C[0].X;
            H = C[1].Y - C[0].Y;
        }
        break;
    }
    default:
        W = St.PrevRect.Width();
        H = -St.PrevRect.Bottom - St.PrevRect.Top;
        break;
    }
    St.PrintPageRect = TRect(0, 0, W, H);
}

void TGridPrintJob::ComputePrintColumnWidths()
{
    const TGridRect& R = P().PrintRect;
    auto& MW = P().MaxWidths;
    if (S().GetNoAutoSize()) {
        for (int c = R.Left; c <= R.Right; ++c)
            if (ColumnPrinted(c) && c < int(MW.size())) {
                const int Screen = G.GetColWidths(c);
                MW[std::size_t(c)] = Screen < 1 ? 0 : Rnd((Screen + 4) * r);
            }
        return;
    }
    std::vector<int> Rows;
    if (S().GetRepeatFixedRows())
        for (int Row = 0; Row < G.GetFixedRows() && Row < R.Top; ++Row)
            Rows.push_back(Row);
    for (int Row = R.Top; Row <= R.Bottom; ++Row)
        Rows.push_back(Row);
    for (int c = R.Left; c <= R.Right; ++c) {
        if (!ColumnPrinted(c) || c >= int(MW.size()))
            continue;
        const int rc = G.DisplayToRealCol(TDisplayCol(c)).Value;
        for (int Row : Rows) {
            const TGridRect Full = G.FullCell(rc, Row);
            if (Full.Right > Full.Left)
                continue;
            const int w = S().GetUseFixedWidth() ? S().GetFixedWidth() : MeasurePrintCell(rc, Row).X;
            MW[std::size_t(c)] = std::max(MW[std::size_t(c)], w);
        }
    }
}

// The widths and pads of the printed columns only: an unprinted column
// takes no room, so it must not count in the pad either.
void TGridPrintJob::FitToPage()
{
    const TFitToPage Fit = S().GetFitToPage();
    const TGridRect& R = P().PrintRect;
    f = 1.0;
    if (Fit != fpNever) {
        long long T = 0, Pd = 0;
        for (int c = R.Left; c <= R.Right; ++c)
            if (ColumnPrinted(c)) {
                T += MaxW(c) + pad;
                Pd += pad;
            }
        if (T - Pd > 0)
            f = double(W - S().GetRightSize() - S().GetLeftSize() - Pd) / double(T - Pd);
        if (Fit == fpShrink && f > 1)
            f = 1;
        if (Fit == fpGrow && f < 1)
            f = 1;
        if (Fit == fpCustom && f != 1 && G.OnFitToPage) {
            bool Allow = true;
            G.OnFitToPage(&G, f, Allow);
            if (!Allow)
                f = 1;
        }
        if (f <= 0)
            f = 1;
        if (f != 1) {
            for (int c = R.Left; c <= R.Right && c < int(P().MaxWidths.size()); ++c)
                P().MaxWidths[std::size_t(c)] = TruncToInt(P().MaxWidths[std::size_t(c)] * f);
            hh = Rnd(hh * f);
        }
    }
    if (G.OnPrintSetColumnWidth)
        for (int c = R.Left; c <= R.Right && c < int(P().MaxWidths.size()); ++c)
            G.OnPrintSetColumnWidth(&G, c, P().MaxWidths[std::size_t(c)]);
}

// A column page takes the columns that fit across the page, and at least
// one so that printing always advances (a column wider than the page prints
// alone, clipped at the page's edge).
std::vector<TGridPrintJob::TColPage> TGridPrintJob::SplitColumnPages()
{
    std::vector<TColPage> Result;
    const TGridRect& R = P().PrintRect;
    const int FixedCols = G.GetFixedCols();
    int First = R.Left;
    while (First <= R.Right) {
        const bool Repeat = FixedCols > 0 && S().GetRepeatFixedCols() && (!Result.empty() || FixedCols < R.Left);
        int Used = 0;
        if (Repeat)
            for (int j = 0; j < FixedCols; ++j)
                Used += MaxW(j) + pad;
        int Last = First;
        Used += MaxW(First) + pad;
        for (int c = First + 1; c <= R.Right; ++c) {
            if (Used + MaxW(c) + pad > W - S().GetRightSize())
                break;
            Used += MaxW(c) + pad;
            Last = c;
        }
        Result.push_back({ First, Last });
        First = Last + 1;
    }
    return Result;
}

void TGridPrintJob::LayoutColumnPage(const TColPage& Page)
{
    const int FixedCols = G.GetFixedCols();
    const TGridRect& R = P().PrintRect;
    RepeatFixedColsOnPage = FixedCols > 0 && S().GetRepeatFixedCols() && (ColPageNr > 1 || FixedCols < R.Left);
    int F = 0;
    if (RepeatFixedColsOnPage)
        for (int j = 0; j < FixedCols; ++j)
            F += MaxW(j) + pad;
    int Used = F;
    for (int c = Page.First; c <= Page.Last; ++c)
        Used += MaxW(c) + pad;
    P().PrintPageWidth = Used;
    const int Base = S().GetCentered() ? 0 : S().GetLeftSize();
    Indent(Page.First) = Base;
    Indent(0) = Base;
    for (int c = Page.First; c <= Page.Last; ++c)
        Indent(c + 1) = Indent(c) + (ColumnPrinted(c) ? MaxW(c) + pad : 0);
    P().PrintColStart = Page.First;
    P().PrintColEnd = Page.Last;
    if (RepeatFixedColsOnPage)
        for (int j = 1; j < FixedCols; ++j)
            Indent(j) = Indent(j - 1) + MaxW(j - 1) + pad;
    if (S().GetCentered() && Used < W) {
        const int Shift = (W - Used) / 2;
        for (int c = Page.First; c <= Page.Last + 1; ++c)
            Indent(c) += Shift;
        if (RepeatFixedColsOnPage)
            for (int j = 0; j < FixedCols; ++j)
                Indent(j) += Shift;
    }
    for (int c = Page.First; c <= Page.Last + 1; ++c)
        Indent(c) += F;
}

// The room a title of several lines or in markup takes below its first
// line; the same for the counting pass, the drawing pass and every page.
int TGridPrintJob::TitleExtraHeight()
{
    const TStringList* Lines = S().GetTitleLines();
    if (Lines->GetCount() == 0 || !S().GetTitleText().empty())
        return 0;
    const String Joined = Lines->GetText();
    if (VuzEraz::DetectTextKind(Joined, G.GetEnableHTML()) == 1) {
        const int Height = MarkedUpTitleHeight(Joined);
        return Height ? Height + hs : 0;
    }
    return (Lines->GetCount() - 1) * hh + (Lines->GetCount() > 1 ? hs : 0);
}

void TGridPrintJob::ComputeMargins()
{
    hs = S().GetScaleHeader() ? Rnd(S().GetHeaderSize() * f) : S().GetHeaderSize();
    fs = S().GetScaleFooter() ? Rnd(S().GetFooterSize() * f) : S().GetFooterSize();
    const TPrintPosition Pos[4] = { S().GetTime(), S().GetDate(), S().GetPageNr(), S().GetTitle() };
    const bool AnyTop = std::any_of(std::begin(Pos), std::end(Pos), IsTop);
    const bool AnyBottom = std::any_of(std::begin(Pos), std::end(Pos), IsBottom);
    const int LineCount = S().GetTitleLines()->GetCount();
    TopMargin = hs;
    if (AnyTop) {
        TopMargin = g + hh + hs;
        if (LineCount > 0 && IsTop(S().GetTitle()))
            TopMargin += TitleExtraHeight();
    }
    if (AnyBottom) {
        BottomMargin = 2 * (g + hf) + fs;
        if (LineCount > 0 && IsBottom(S().GetTitle()) && S().GetTitleText().empty())
            BottomMargin += (LineCount - 1) * hf;
    } else {
        BottomMargin = g + hf + fs;
    }
}

void TGridPrintJob::StartNewPage(int n)
{
    if (!PageInRange(n + 1))
        return;
    if (Mode == pmPrint && FPrinter && n >= G.FPrintPageFrom) {
        FPrinter->NewPage();
        TGridPrintOp Op;
        Op.Kind = TGridPrintOp::opPage;
        Op.Page = n + 1;
        Record(Op);
    }
    SetMapMode(Canvas->GetHandle(), MM_LOMETRIC);
    Canvas->Refresh();
    if (Drawing() && G.OnPrintPage)
        G.OnPrintPage(&G, Canvas, n + 1, W, H);
}

int TGridPrintJob::PrintRowHeight(int ARow)
{
    TGridPrintState& St = P();
    if (ARow < 0 || ARow >= G.GetRowCount())
        return 0;
    if (St.UseCacheRowHeights && ARow < int(St.CacheRowHeights.size()) && St.CacheRowHeights[std::size_t(ARow)] >= 0)
        return St.CacheRowHeights[std::size_t(ARow)];
    if (S().GetNoAutoSizeRow())
        return Rnd(G.GetRowHeights(ARow) * r) + 4;
    int Height;
    if (S().GetUseFixedHeight()) {
        Height = S().GetFixedHeight();
    } else {
        const double Saved = St.Fontscalefactor;
        St.Fontscalefactor = f;
        int m = 0;
        const TGridRect& R = St.PrintRect;
        for (int c = R.Left; c <= R.Right; ++c) {
            const int rc = G.DisplayToRealCol(TDisplayCol(c)).Value;
            const TGridRect Full = G.FullCell(rc, ARow);
            if (Full.Bottom > Full.Top)
                continue;
            m = std::max(m, MeasurePrintCell(rc, ARow).Y);
        }
        St.Fontscalefactor = Saved;
        Height = m + m / 8;
        if (G.OnPrintSetRowHeight)
            G.OnPrintSetRowHeight(&G, ARow, Height);
    }
    if (ARow >= int(St.CacheRowHeights.size()))
        St.CacheRowHeights.resize(std::size_t(ARow) + 1, -1);
    St.CacheRowHeights[std::size_t(ARow)] = Height;
    return Height;
}

// The repeated fixed columns first, then the page's columns.
int TGridPrintJob::PrintRow(int y, int ARow)
{
    if (RepeatFixedColsOnPage)
        PrintPageCells(y, 0, G.GetFixedCols() - 1, ARow);
    return PrintPageCells(y, P().PrintColStart, P().PrintColEnd, ARow);
}

int TGridPrintJob::Run()
{
    TMappingScope Mapping(Canvas);
    struct TFontScale {
        TGridPrintState& St;
        ~TFontScale() { St.Fontscalefactor = 1.0; }
    } FontScale { P() };
    // The canvas's own pen, font and brush come back when the job ends.
    TPen SavedPen;
    SavedPen.Assign(Canvas->GetPen());
    TFont SavedFont;
    SavedFont.Assign(Canvas->GetFont());
    TBrush SavedBrush;
    SavedBrush.Assign(Canvas->GetBrush());
    struct TRestore {
        TCanvas* C;
        TPen& Pen;
        TFont& Font;
        TBrush& Brush;
        ~TRestore()
        {
            C->GetPen()->Assign(&Pen);
            C->GetFont()->Assign(&Font);
            C->GetBrush()->Assign(&Brush);
        }
    } Restore { Canvas, SavedPen, SavedFont, SavedBrush };
    Prepare();
    ComputePrintColumnWidths();
    FitToPage();

    const TGridRect Range = P().PrintRect;
    const std::vector<TColPage> ColPages = SplitColumnPages();
    MultiColPages = ColPages.size() > 1;
    const bool AllRows = Range.Top <= G.GetFixedRows()
        && Range.Bottom >= G.GetRowCount() - 1 - G.GetFixedFooters();
    for (std::size_t i = 0; i < ColPages.size() && !Cancelled; ++i) {
        ColPageNr = int(i) + 1;
        RowPageNr = 1;
        LayoutColumnPage(ColPages[i]);
        ComputeMargins();
        if (Drawing() && G.OnPrintPage)
            G.OnPrintPage(&G, Canvas, PagesDone + 1, W, H);
        int y = 0;
        bool PageStart = true;
        bool SkipRest = false;
        for (int Row = Range.Top; Row <= Range.Bottom && !Cancelled && !SkipRest;) {
            G.ExportNotification(AllRows ? esExportNewRow : esExportSelRow, Row);
            if (PageStart) {
                if (Drawing() && G.OnPrintPageTopBottomSize)
                    G.OnPrintPageTopBottomSize(&G, Canvas, PagesDone + 1, TopMargin, BottomMargin);
                PageTopMargin = TopMargin;
                y = -TopMargin;
                DrawHeaderFooter();
                y -= Rnd(S().GetTitleSpacing() * f);
                if (Row != 0 && S().GetRepeatFixedRows() && G.GetFixedRows() > 0
                    && (RowPageNr > 1 || G.GetFixedRows() <= Range.Top))
                    for (int Fr = 0; Fr < G.GetFixedRows(); ++Fr)
                        y -= PrintRow(y, Fr);
                PageStart = false;
            }
            if (RowPrinted(Row))
                y -= PrintRow(y, Row);
            const int Next = Row + 1;
            const int h = Next < G.GetRowCount() && Next <= Range.Bottom && RowPrinted(Next) ? RowAdvance(Next) : 0;
            bool NewPage = false;
            if (G.OnPrintNewPage && Next <= Range.Bottom)
                G.OnPrintNewPage(&G, Next, NewPage);
            const bool Exhausted = Next > Range.Bottom;
            if (Exhausted || y - h < H + BottomMargin || NewPage) {
                if (Drawing()) {
                    if (G.OnPrintPageDone)
                        G.OnPrintPageDone(&G, Canvas, Next, y, PagesDone + 1, W, H);
                    bool Cancel = false;
                    if (G.OnPrintCancel)
                        G.OnPrintCancel(&G, PagesDone + 1, Cancel);
                    if (Cancel)
                        Cancelled = true;
                }
                if (!Exhausted && !Cancelled) {
                    DrawPageFrame(P().PrintColStart, P().PrintColEnd, y);
                    StartNewPage(PagesDone + 1);
                    ++PagesDone;
                    ++RowPageNr;
                    ComputeMargins();
                    PageStart = true;
                    if (P().FastPrint && PagesDone - 1 > G.FPrintPageTo)
                        SkipRest = true;
                }
            }
            Row = Next;
        }
        DrawPageFrame(P().PrintColStart, P().PrintColEnd, y);
        if (i + 1 < ColPages.size() && !Cancelled)
            StartNewPage(PagesDone + 1);
        ++PagesDone;
    }
    if (G.OnPrintDone)
        G.OnPrintDone(&G);
    return PagesDone;
}

void TGridPrintJob::Record(TGridPrintOp Op)
{
    if (Recorder()) {
        if (Op.Kind != TGridPrintOp::opPage)
            Op.Page = PagesDone + 1;
        Recorder()(Op);
    }
}
