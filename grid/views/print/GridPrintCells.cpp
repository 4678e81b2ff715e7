// Printed cells: one row's cells drawn on a page (background, text by its
// kind, borders), the printed size of a cell, and the frame around a
// finished page.

#include "grid/views/print/GridPrintJob.h"

#include <algorithm>
#include <cmath>

#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/MathUtils.h"
#include "richtext/MiniHTML.h"

namespace {

int Rnd(double v) { return int(RoundHalfEven(v)); }

std::vector<String> SplitLines(String Text, bool Split)
{
    std::vector<String> Lines;
    if (!Split) {
        Lines.push_back(Text);
        return Lines;
    }
    do {
        String Line;
        VuzEraz::TakeFirstLine(Text, true, Line);
        Lines.push_back(Line);
    } while (!Text.empty());
    return Lines;
}

// The text a printed cell shows (empty for the kinds that draw their
// picture in its place) and its kind.
String PrintedText(TDedOzovedUrad& G, int rc, int ARow, int& Kind)
{
    String Text = TDedOzovedUrad::IsDataGraphicCell(&G, rc, ARow) ? String() : G.GetFormattedCell(rc, ARow);
    Kind = VuzEraz::DetectTextKind(Text, G.GetEnableHTML());
    if (Kind == 3) {
        Text = G.FormulaValue(rc, ARow, Text);
        Kind = VuzEraz::DetectTextKind(Text, G.GetEnableHTML());
        if (Kind == 3)
            Kind = 0;
    }
    if (Kind == 5) {
        Text = VuzEraz::DecodeWideCellText(Text);
        Kind = 0;
    }
    bool Password = false;
    G.DoIsPasswordCell(rc, ARow, Password);
    if (Password)
        VuzEraz::FillChars(Text, G.GetPasswordChar());
    return Text;
}

} // namespace

TPoint TGridPrintJob::MeasurePrintCell(int ACol, int ARow)
{
    int Kind = 0;
    String Text = PrintedText(G, ACol, ARow, Kind);
    TPoint Size(0, 0);
    if (Kind == 1) {
        const int X = S().GetNoAutoSize() ? Rnd((G.GetColWidths(G.DisplColIndex(TRealCol(ACol)).Value) + 4) * r)
                                          : 0xFFFF;
        TRect Box(0, 0, X, -0xFFFF);
        TFont Keep;
        Keep.Assign(Canvas->GetFont());
        InDeviceUnits(Box, [&] {
            const int PPI = std::max(1, GetDeviceCaps(Canvas->GetHandle(), LOGPIXELSY));
            Canvas->GetFont()->Assign(S().GetFont());
            Canvas->GetFont()->SetPixelsPerInch(PPI);
            Canvas->GetFont()->SetSize(S().GetFont()->GetSize());
            String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
            int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
            TRect HitRect, ControlRect;
            VovHTMLE::DrawHTMLText(Canvas, Text, Box, G.GetGridImages(), -1, -1, -1, -1, 1, false, true, true,
                false, false, false, true, false, String(), r, G.GetURLColor(), clNone, clNone, TColor(0x808080),
                HitAnchor, Stripped, FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect,
                ControlID, ControlValue, ControlType, G.GetImageCache(), G.GetPictureContainer(), nullptr, 1.0f, 0);
            Size = TPoint(Rnd(XSize * 254.0 / PPI), Rnd(YSize * 254.0 / PPI));
        });
        Canvas->GetFont()->Assign(&Keep);
        Size.Y -= Rnd(g * r);
        return Size;
    }
    if (Kind == 2) {
        TLumRichEdit* Rich = G.GetRichEdit();
        Rich->SetWidth(Rnd((G.GetColWidths(G.DisplColIndex(TRealCol(ACol)).Value) + 4) * r));
        G.CellToRich(ACol, ARow, Rich);
        Rich->SetWordWrap(true);
        Rich->SetWordWrap(false);
        Rich->SetWordWrap(G.GetWordWrap());
        const LRESULT Mask = Rich->Perform(EM_GETEVENTMASK, 0, 0);
        Rich->Perform(EM_SETEVENTMASK, 0, Mask | ENM_REQUESTRESIZE);
        Rich->Perform(EM_REQUESTRESIZE, 0, 0);
        return TPoint(Rich->GetReqWidth(), Rnd((Rich->GetReqHeight() + 4) * r));
    }

    TFont SavedFont;
    SavedFont.Assign(Canvas->GetFont());
    TBrush WorkBrush;
    WorkBrush.Assign(Canvas->GetBrush());
    TFont WorkFont;
    WorkFont.Assign(Canvas->GetFont());
    WorkFont.SetSize(G.GetFont()->GetSize());
    TGridDrawState State;
    TColor ColorTo, Mirror, MirrorTo;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = G.GetWordWrap();
    TCellGradientDirection GD {};
    G.GetVisualProperties(ACol, ARow, State, true, false, false, &WorkBrush, ColorTo, Mirror, MirrorTo, &WorkFont,
        HA, VA, WW, GD);
    bool WordWrap = G.GetWordWrap();
    G.DoGetWordWrap(ACol, ARow, WordWrap);
    Canvas->GetFont()->Assign(&WorkFont);
    Canvas->GetFont()->SetHeight(G.MapFontHeight(WorkFont.GetSize()));
    int Angle = 0;
    const bool Rotated = G.IsRotated(ACol, ARow, Angle);
    if (Rotated)
        Canvas->GetFont()->SetOrientation(-10 * Angle);
    TPoint Graphic(0, 0);
    if (S().GetPrintGraphics() && G.GetCellGraphic(ACol, ARow)) {
        G.GetCellGraphicExtent(Canvas, ACol, ARow, 0, 1.0, Graphic);
        Graphic = TPoint(Rnd(Graphic.X * r), Rnd(Graphic.Y * r));
    }
    if (Text.empty())
        Text = u"gh";
    const bool Split = G.GetMultilinecells() || WordWrap;
    int Width = 0, Height = 0;
    if (!(WordWrap && S().GetNoAutoSize() && !Rotated)) {
        const std::vector<String> Lines = SplitLines(Text, Split);
        for (String Line : Lines) {
            if (G.GetURLShow() && !G.GetURLFull())
                VuzEraz::RemoveURLPrefix(Line);
            Width = std::max(Width, Canvas->TextWidth(Line) + Graphic.X);
        }
        Height = Canvas->TextHeight(u"gh") * int(Lines.size());
    } else {
        const TGridRect Full = G.FullCell(ACol, ARow);
        const int BoxWidth = Full.Right > Full.Left ? 0xFFFF : MaxW(G.DisplColIndex(TRealCol(ACol)).Value);
        RECT Rc { 0, 0, BoxWidth, -0xFFFF };
        String T = Text;
        DrawText(Canvas->GetHandle(), T, &Rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        Width = BoxWidth;
        Height = std::abs(Rc.Bottom - Rc.Top);
    }
    if (Rotated) {
        const double Th = Angle * M_PI / 180.0;
        const int W2 = std::abs(Rnd(std::cos(Th) * Width)) + std::abs(Rnd(std::sin(Th) * Height));
        const int H2 = std::abs(Rnd(std::sin(Th) * Width)) + std::abs(Rnd(std::cos(Th) * Height));
        Width = W2;
        Height = H2;
    }
    Height = std::max(Height, Graphic.Y);
    Width = std::max(Width, Graphic.X);
    Canvas->GetFont()->Assign(&SavedFont);
    Size = TPoint(Width, Height);
    if (G.OnCustomCellSize)
        G.OnCustomCellSize(&G, Canvas, ACol, ARow, Size, true);
    return Size;
}

int TGridPrintJob::PrintPageCells(int y, int FirstCol, int LastCol, int ARow)
{
    TGridPrintState& St = P();
    St.Fontscalefactor = S().GetNoAutoSizeRow() ? 1.0 : f;
    const int Advance = RowAdvance(ARow);
    struct TReset {
        TGridPrintState& St;
        ~TReset() { St.Fontscalefactor = 1.0; }
    } Reset { St };
    if (!Drawing() || !PageInRange(PagesDone + 1) || LastCol < FirstCol)
        return Advance;
    for (int c = FirstCol; c <= LastCol; ++c) {
        if (!ColumnPrinted(c))
            continue;
        const int rc = G.DisplayToRealCol(TDisplayCol(c)).Value;
        const TPoint Ext = G.CellExt(rc, ARow);
        int D = 0;
        for (int k = c; k <= c + Ext.X; ++k)
            if (MaxW(k) > 0)
                D += MaxW(k) + pad;
        int F;
        if (S().GetNoAutoSizeRow())
            F = Ext.Y == 0 ? Advance
                           : (Ext.Y + 1)
                    * (Rnd(G.GetRowHeights(ARow) * r) - 4 + 2 * g + S().GetRowSpacing());
        else
            F = (Ext.Y + 1) * Advance;
        const TRect Cell(Indent(c), y, Indent(c) + D, y - F);

        TCellBorders Borders;
        switch (S().GetBorders()) {
        case pbSingle:
        case pbDouble: Borders = TCellBorders { cbTop, cbLeft, cbRight, cbBottom }; break;
        case pbHorizontal:
        case pbAroundHorizontal: Borders = TCellBorders { cbTop, cbBottom }; break;
        case pbVertical:
        case pbAroundVertical: Borders = TCellBorders { cbLeft, cbRight }; break;
        default: break;
        }
        TPen SavedPen;
        SavedPen.Assign(Canvas->GetPen());
        Canvas->GetPen()->SetWidth(1);
        Canvas->GetPen()->SetColor(S().GetBorderColor());
        G.DoGetCellPrintBorder(rc, ARow, Canvas->GetPen(), Borders);
        TPen BorderPen;
        BorderPen.Assign(Canvas->GetPen());
        if (G.IsBaseCell(rc, ARow))
            CellContent(c, rc, ARow, y, D, F, Advance, &BorderPen, Borders);
        Canvas->GetPen()->Assign(&BorderPen);
        CellBorders(c, rc, ARow, FirstCol, y, Advance, Cell, Borders);
        Canvas->GetPen()->Assign(&SavedPen);
    }
    return Advance;
}

void TGridPrintJob::CellContent(int c, int rc, int ARow, int y, int D, int F, int Advance, TPen* BorderPen,
    TCellBorders Borders)
{
    TBrush SavedBrush;
    SavedBrush.Assign(Canvas->GetBrush());
    TFont SavedFont;
    SavedFont.Assign(Canvas->GetFont());
    TBrush WorkBrush;
    WorkBrush.Assign(Canvas->GetBrush());
    WorkBrush.SetStyle(bsSolid);
    TFont WorkFont;
    WorkFont.Assign(Canvas->GetFont());
    WorkFont.SetSize(G.GetFont()->GetSize());
    TGridDrawState State;
    TColor ColorTo = clNone, Mirror = clNone, MirrorTo = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = G.GetWordWrap();
    TCellGradientDirection GD {};
    G.GetVisualProperties(rc, ARow, State, true, false, false, &WorkBrush, ColorTo, Mirror, MirrorTo, &WorkFont, HA,
        VA, WW, GD);
    const int CellFontSize = WorkFont.GetSize();
    Canvas->GetBrush()->Assign(&WorkBrush);
    Canvas->GetFont()->Assign(&WorkFont);
    Canvas->GetFont()->SetHeight(G.MapFontHeight(CellFontSize));

    bool WordWrap = G.GetWordWrap();
    G.DoGetWordWrap(rc, ARow, WordWrap);
    int Kind = 0;
    const String Text = PrintedText(G, rc, ARow, Kind);

    // Background, kept clear of the border lines the cell does not draw.
    TRect Cell(Indent(c), y, Indent(c) + D, y - F);
    TRect Fill = Cell;
    {
        const int PW = BorderPen->GetWidth();
        if (!Borders.Contains(cbLeft))
            Fill.Left += 2 * PW;
        if (!Borders.Contains(cbTop))
            Fill.Top -= 2 * PW;
    }
    const TColor From = WorkBrush.GetColor();
    if (From == clNone || ColorTo == clNone) {
        const TColor One = From == clNone ? ColorTo : From;
        if (One != clNone)
            OutFill(Fill, One);
    } else {
        // 64 bands from the top colour to the bottom colour.
        const int Height = Fill.Top - Fill.Bottom;
        for (int i = 0; i < 64; ++i) {
            const int T = Fill.Top - Height * i / 64, B = Fill.Top - Height * (i + 1) / 64;
            if (T == B)
                continue;
            auto Mix = [&](int Shift) {
                const int a = (int(ColorToRGB(From)) >> Shift) & 0xFF, b = (int(ColorToRGB(ColorTo)) >> Shift) & 0xFF;
                return (a + (b - a) * i / 63) & 0xFF;
            };
            OutFill(TRect(Fill.Left, T, Fill.Right, B), TColor(Mix(0) | Mix(8) << 8 | Mix(16) << 16));
        }
    }

    const TAlignment TextHA = TAlignment(G.ResolveCellAlignment(rc, ARow) & 0xFF);
    int M = Canvas->TextHeight(u"gh") + S().GetRowSpacing();
    M += M / 8;
    const bool Split = G.GetMultilinecells() || WordWrap;
    int N = 0;
    for (const String& Line : SplitLines(Text, Split))
        N = std::max(N, Canvas->TextWidth(Line));

    int Angle = 0, Ws = 0, Hs = 0, Wc = 0, Hc = 0;
    const bool Rotated = G.IsRotated(rc, ARow, Angle);
    if (Rotated) {
        int k = -10;
        if (Mode == pmPrint && P().PrinterDriverFix && TDedOzovedUrad::PrinterLandscapeAngle() != 270)
            k = 10;
        Canvas->GetFont()->SetOrientation(Angle * k);
        const double Th = Angle * M_PI / 180.0;
        Wc = std::abs(TruncToInt(std::cos(Th) * N));
        Hs = std::abs(TruncToInt(std::sin(Th) * M));
        Ws = std::abs(TruncToInt(std::sin(Th) * N));
        Hc = std::abs(TruncToInt(std::cos(Th) * M));
        M = Ws + Hc;
    }

    TRect TextArea = Cell;
    TRect GR = Cell;
    TCellGraphic* Graphic = S().GetPrintGraphics() ? G.GetCellGraphic(rc, ARow) : nullptr;
    if (Graphic)
        PlaceGraphic(Graphic, c, rc, ARow, D, F, HA, Text, Cell, TextArea, GR);

    Canvas->GetBrush()->SetStyle(bsClear);
    if (!(Graphic && Graphic->GetCellType() == ctRadio))
        DrawCellText(c, rc, ARow, y, Advance, Kind, Text, TextArea, TextHA, VA, WordWrap, Rotated ? Angle : 0, M, Ws,
            Hs, Wc, Hc, CellFontSize);
    Canvas->GetBrush()->SetStyle(bsSolid);
    if (Graphic)
        DrawGraphic(Graphic, c, rc, ARow, GR, TextArea.Right, WorkBrush.GetColor(), ColorTo);

    Canvas->GetFont()->Assign(&SavedFont);
    Canvas->GetBrush()->Assign(&SavedBrush);

    if (G.OnCustomCellDraw) {
        TRect R(TextArea.Left, y, TextArea.Right, y - Advance);
        TFont Keep;
        Keep.Assign(Canvas->GetFont());
        InDeviceUnits(R, [&] {
            Canvas->GetFont()->SetSize(S().GetFont()->GetSize());
            G.OnCustomCellDraw(&G, Canvas, rc, ARow, TGridDrawState(), R, true);
        });
        Canvas->GetFont()->Assign(&Keep);
    }
}

void TGridPrintJob::DrawCellText(int /*c*/, int rc, int ARow, int /*y*/, int Advance, int Kind, String Text, TRect Area,
    TAlignment HA, TVAlignment VA, bool WordWrap, int Angle, int M, int Ws, int Hs, int Wc, int Hc, int CellFontSize)
{
    const int RightLimit = Indent(P().PrintColEnd + 1);
    const int RowSpacing = S().GetRowSpacing();
    const TPoint Span = G.CellSpan(rc, ARow);
    const int DCol = G.DisplColIndex(TRealCol(rc)).Value;
    const UINT RTL = G.UseRightToLeftAlignment() ? UINT(DT_RTLREADING) : 0u;

    if (Kind == 1) {
        TRect R = Area;
        TFont Keep;
        Keep.Assign(Canvas->GetFont());
        InDeviceUnits(R, [&] {
            const int PPI = std::max(1, GetDeviceCaps(Canvas->GetHandle(), LOGPIXELSY));
            Canvas->GetFont()->SetPixelsPerInch(PPI);
            Canvas->GetFont()->SetSize(TruncToInt(CellFontSize * f));
            R.Right -= q * PPI / 254 + Rnd(2 * r * PPI / 254);
            R.Bottom += Rnd(g * r * PPI / 254);
            String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
            int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
            TRect HitRect, ControlRect;
            VovHTMLE::DrawHTMLText(Canvas, Text, R, G.GetGridImages(), -1, -1, -1, -1, 1, false, false, true,
                false, false, false, !G.GetEnhTextSize(), false, String(), d, G.GetURLColor(), clNone, clNone,
                TColor(0x808080), HitAnchor, Stripped, FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect,
                ControlRect, ControlID, ControlValue, ControlType, G.GetImageCache(), G.GetPictureContainer(),
                G.HandleAllocated() ? G.GetHandle() : nullptr, float(G.GetDPIScale()), G.UseRightToLeftAlignment());
        });
        Canvas->GetFont()->Assign(&Keep);
        TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opText;
        Op.R = Area;
        Op.Text = Text;
        Record(Op);
        return;
    }
    if (Kind == 2) {
        TRect R = Area;
        R.Left += 4;
        R.Bottom -= 40;
        G.DrawRichTextCell(rc, ARow, R, Canvas);
        SetMapMode(Canvas->GetHandle(), MM_LOMETRIC);
        Canvas->Refresh();
        TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opText;
        Op.R = R;
        Op.Text = G.GetCellEx(rc, ARow);
        Record(Op);
        return;
    }

    // Plain text, word-wrapped in the cell.
    if (WordWrap && S().GetNoAutoSize() && Angle == 0) {
        TRect R = Area;
        if (R.Right > W)
            R.Right = RightLimit;
        R.Left += 2;
        UINT Format = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL | RTL;
        if (HA == taRightJustify) {
            R.Right -= q;
            Format |= DT_RIGHT;
        } else if (HA == taCenter) {
            R.Left += q;
            R.Right -= q;
            Format |= DT_CENTER;
        } else {
            R.Left += q;
        }
        OutDrawText(R, Text, Format);
        return;
    }

    const bool Split = G.GetMultilinecells() || WordWrap;
    std::vector<String> Lines = SplitLines(Text, Split);
    auto StripURL = [&](String& Line) {
        if (G.GetURLShow() && !G.GetURLFull())
            VuzEraz::RemoveURLPrefix(Line);
    };
    const int VAi = VA == vtaCenter ? 1 : VA == vtaBottom ? 2 : 0;

    if (Lines.size() <= 1 || Angle == 90) {
        TRect AR(Area.Left, Area.Top, Area.Right, Area.Top - Advance - RowSpacing);
        if (Area.Right > W)
            Area.Right = RightLimit;
        String Line = Lines.empty() ? String() : Lines[0];
        StripURL(Line);
        if (Angle != 0) {
            if (Span.Y > 0)
                AR.Bottom -= Span.Y * (RowSpacing + Advance);
            if (Span.X > 0)
                AR.Right = Indent(DCol + Span.X + 1);
            AR.Top -= q;
            AR.Bottom += q;
            TRect Origin = AR;
            TDedOzovedUrad::RotatedTextOrigin(Origin, Byte(HA), Byte(VAi), -Hc, -Ws, Hs, Wc, Angle);
            OutTextRect(Area, Origin.Left, Origin.Top, Line);
            if (Angle == 90 && Lines.size() > 1) {
                const int Step = std::abs(Canvas->TextHeight(u"gh"));
                TRect A = Area;
                int X = Origin.Left;
                for (std::size_t i = 1; i < Lines.size() && !Lines[i].empty(); ++i) {
                    A.Left += Step;
                    A.Right += Step;
                    X += Step;
                    String L = Lines[i];
                    StripURL(L);
                    OutTextRect(A, X, Origin.Top, L);
                }
            }
            return;
        }
        if (G.GetEnhTextSize() && S().GetNoAutoSize()) {
            TRect R = Area;
            R.Left += G.GetXYOffset().X;
            R.Top += G.GetXYOffset().Y;
            UINT Format = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EDITCONTROL | RTL;
            if (HA == taRightJustify)
                Format |= DT_RIGHT;
            else if (HA == taCenter)
                Format |= DT_CENTER;
            OutDrawText(R, Line, Format);
            return;
        }
        UINT Format = DT_SINGLELINE | DT_NOPREFIX | DT_EDITCONTROL | RTL;
        TRect R = AR;
        if (HA == taRightJustify) {
            R.Right = Area.Right - q;
            Format |= DT_RIGHT;
        } else if (HA == taCenter) {
            R.Left = Area.Left + q;
            R.Right = Area.Right - q;
            Format |= DT_CENTER;
        } else {
            R.Left = Area.Left + q;
            R.Right = Area.Right;
        }
        if (VA == vtaCenter)
            Format |= DT_VCENTER;
        else if (VA == vtaBottom)
            Format |= DT_BOTTOM;
        if (Span.Y > 0)
            R.Bottom -= Span.Y * (RowSpacing + Advance);
        if (Span.X > 0)
            R.Right = Indent(DCol + Span.X + 1);
        R.Top -= g;
        OutDrawText(R, Line, Format);
        return;
    }

    // Several lines, each clipped to the text area.
    const int LineStep = M - RowSpacing;
    const int Count = int(Lines.size());
    int V = 0;
    if (!G.IsMergedCell(rc, ARow)) {
        if (VA == vtaCenter)
            V = (Advance - LineStep * Count) / 2;
        else if (VA == vtaBottom)
            V = Advance - LineStep * Count;
    }
    int Top = Area.Top - V;
    for (String Line : Lines) {
        StripURL(Line);
        const int LW = Canvas->TextWidth(Line);
        int X = HA == taRightJustify ? Area.Right - q - LW
            : HA == taCenter         ? Area.Left + (Area.Width() - LW) / 2
                                     : Area.Left + q;
        X += G.GetXYOffset().X;
        OutTextRect(Area, X, Top - g, Line);
        Top -= LineStep;
    }
}

void TGridPrintJob::CellBorders(int c, int rc, int ARow, int FirstCol, int y, int Advance, TRect Cell,
    TCellBorders Borders)
{
    if (!G.IsBaseCell(rc, ARow))
        return;
    const TPoint Ext = G.CellExt(rc, ARow);
    const TGridRect Full = G.FullCell(rc, ARow);
    if (Full.Bottom > Full.Top && Ext.Y == 0)
        Borders.Exclude(cbTop);
    if (Full.Right > Full.Left && Ext.X == 0)
        Borders.Exclude(cbLeft);
    TRect R = Cell;
    if (R.Bottom < H + fs) {
        R.Bottom = y - Advance;
        Borders.Exclude(cbBottom);
    }
    if (R.Right > W)
        R.Right = Indent(P().PrintColEnd + 1);
    const int PW = Canvas->GetPen()->GetWidth();
    if (Borders.Contains(cbLeft)) {
        const int X = c > FirstCol ? R.Left - PW : R.Left;
        OutLine(X, R.Top, X, R.Bottom);
    }
    if (Borders.Contains(cbRight))
        OutLine(R.Right, R.Top, R.Right, R.Bottom);
    if (Borders.Contains(cbTop))
        OutLine(R.Left, R.Top, R.Right, R.Top);
    if (Borders.Contains(cbBottom))
        OutLine(R.Left, R.Bottom, R.Right, R.Bottom);
}

void TGridPrintJob::DrawPageFrame(int FirstCol, int LastCol, int y)
{
    if (!Drawing() || !PageInRange(PagesDone + 1))
        return;
    const int T = -PageTopMargin - Rnd(S().GetTitleSpacing() * f);
    const int B = y + g / 2;
    const int X0 = RepeatFixedColsOnPage ? Indent(0) : Indent(FirstCol);
    const int X1 = Indent(LastCol + 1);
    const TPrintBorders Borders = S().GetBorders();
    if (Borders == pbAround || Borders == pbAroundVertical || Borders == pbAroundHorizontal) {
        OutLine(X0, T, X1, T);
        OutLine(X1, T, X1, B);
        OutLine(X1, B, X0, B);
        OutLine(X0, B, X0, T);
    }
    if (Borders == pbDouble || Borders == pbHorizontal || Borders == pbAroundHorizontal)
        OutLine(X0, B, X1, B);
    if ((Borders == pbDouble || Borders == pbVertical || Borders == pbAroundVertical) && RepeatFixedColsOnPage)
        for (int j = 0; j < G.GetFixedCols(); ++j)
            OutLine(Indent(j), T, Indent(j), B);
}
