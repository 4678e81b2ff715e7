// One cell of the string grid, layered inside the rectangle the painting
// frame hands over: the fixed-cell looks, the row indicator and modified
// mark, editor buttons that are always shown, the text (its own file), the
// per-cell borders, the 3D edges of fixed cells, tree lines, the cell object,
// user drawing and the focus rectangle.

#include "grid/core/DedOzovedUradCellPaint.h"

#include <algorithm>

#include "grid/core/GridPainters.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Themes.h"

namespace {

// A gradient set of the fixed-cell looks.
struct TGradientSet {
    TColor From, To, MirrorFrom, MirrorTo, Border;
};

void PaintGradientSet(TCanvas* Canvas, const TRect& R, const TGradientSet& Set)
{
    VuzEraz::PaintGradientBackground(Canvas, R, Set.From, Set.To, Set.MirrorFrom, Set.MirrorTo, true, Set.Border, false,
        true);
}

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2)
{
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
}

// Draws a bitmap with its transparent colour left out, leaving the bitmap's
// own setting as it was.
void DrawTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap)
{
    const bool Was = Bitmap->GetTransparent();
    Bitmap->SetTransparent(true);
    Canvas->Draw(X, Y, Bitmap);
    Bitmap->SetTransparent(Was);
}

} // namespace

void TDedOzovedUrad::DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    TCellPaint P;
    P.Canvas = ACanvas;
    P.ACol = ACol;
    P.ARow = ARow;
    P.Rect = ARect;
    P.State = AState;
    P.RCol = RealColIndex(TDisplayCol(ACol)).Value;
    P.SelRow = FMouseActions->GetDisjunctRowSelect() && FMouseActions->GetRowSelectPersistent()
        ? RealRowIndex(TDisplayRow(ARow)).Value
        : ARow;
    const int FixedCols = GetFixedCols(), FixedRows = GetFixedRows();
    // The data views know whether the column has values to filter by.
    P.FilterDropDown = ARow == FFilterDropDownRow && ARow < FixedRows && CollectFilterValues(P.RCol, true, false);

    TBrush* Brush = ACanvas->GetBrush();
    TFont* Font = ACanvas->GetFont();
    P.WW = GetWordWrap();
    GetVisualProperties(ACol, ARow, P.State, false, false, true, Brush, P.ColorTo, P.MirrorColor, P.MirrorColorTo,
        Font, P.HA, P.VA, P.WW, P.GD);

    P.Graphic = GetCellGraphicMetrics(P.RCol, ARow, P.GraphicW, P.GraphicH, P.TextBeside, P.GraphicHA, P.GraphicVA);
    if (P.RCol == 0 && HasNodes() && IsNode(ARow))
        P.GraphicW = FDataViews->GetNodeLevel(ARow) * 12 + 4;

    if (P.State.Contains(gdSelected) && !P.State.Contains(gdFocused) && GetSelectionColor() == clNone)
        Brush->SetColor(clHighlight);
    ApplyZoom(Font);
    P.UnselectedBrush = Brush->GetColor();
    P.UnselectedFont = Font->GetColor();

    P.Fixed = IsFixed(ACol, ARow) || ACol < FixedCols || ARow < FixedRows;
    if (FHoverRow && ARow == FHoverRowIdx && FHoverRowCells.Contains(hcFixed))
        P.Fixed = false;

    // A visual style paints fixed cells and the shown selection itself; a
    // cell with its own colour keeps it while not selected.
    const bool Selected = P.State.Contains(gdSelected);
    if (StyledDrawingActive()) {
        const TCellProperties* Props = PropertiesAt(P.RCol, ARow);
        const bool OwnColor = Props && Props->GetBrushColor() != clNone && !Selected;
        const TCustomStyleServices* Style = TStyleManager::ActiveStyle();
        const HDC DC = ACanvas->GetHandle();
        if (!OwnColor && (P.Fixed || (Selected && SelectionShown()))) {
            TRect R = P.Rect;
            TThemedGrid Element = tgClassicFixedCellNormal;
            if (P.Fixed) {
                R.Bottom += 2;
                R.Right += 1;
            } else {
                Element = tgClassicCellSelected;
                R.Top -= 1;
                R.Left -= 1;
            }
            const int Saved = SaveDC(DC);
            Style->DrawElement(DC, Style->GetElementDetails(Element), R);
            RestoreDC(DC, Saved);
            ACanvas->Refresh();
            Brush->SetStyle(bsClear);
            P.Styled = true;
        } else if (Selected && !SelectionShown()) {
            TRect R = P.Rect;
            R.Top -= 1;
            R.Left -= 1;
            if (!GetOptions().Contains(goVertLine))
                R.Right += 1;
            if (!GetOptions().Contains(goHorzLine))
                R.Bottom += 1;
            ACanvas->GetPen()->SetColor(Brush->GetColor());
            ACanvas->Rectangle(R);
        }
    }

    if (P.Fixed && !P.Styled
        && (FLook == glZID || FLook == glXP || FLook == glVista || FLook == glWin7 || FLook == glOffice2007))
        DrawFixedCellLook(P);

    // The row indicator in the current row's first column.
    int IndicatorWidth = 0;
    if (P.RCol == 0 && ARow == GetRow() && FixedCols > 0 && !FRowIndicator->Empty()
        && !(GetRowCount() == FixedRows && FFixedRowAlways)) {
        int Y = P.Rect.Top;
        if (GetVAlignment() == vtaCenter)
            Y = P.Rect.Top + (P.Rect.Height() - FRowIndicator->GetHeight()) / 2;
        else if (GetVAlignment() == vtaBottom)
            Y = P.Rect.Bottom - FRowIndicator->GetHeight();
        DrawTransparent(ACanvas, P.Rect.Left + 2, Y, FRowIndicator.get());
        IndicatorWidth = FRowIndicator->GetWidth();
        P.Rect.Left += IndicatorWidth;
    }

    // List-view headers: the header theme part where themes are on, else a
    // plain raised frame.
    if (P.Fixed && FLook == glListView && !GetFlat()) {
        HTHEME Theme = IsThemeActive() ? OpenThemeData(GetHandle(), u"header") : nullptr;
        if (Theme) {
            RECT R = P.Rect;
            DrawThemeBackground(Theme, ACanvas->GetHandle(), 1, 1, &R, nullptr);
            CloseThemeData(Theme);
            ACanvas->GetPen()->SetColor(clWhite);
            Line(ACanvas, P.Rect.Left, P.Rect.Top, P.Rect.Right, P.Rect.Top);
        } else {
            ACanvas->GetPen()->SetColor(clWhite);
            Brush->SetColor(clBtnFace);
            ACanvas->Rectangle(P.Rect);
        }
    }

    // Modified rows carry a bar at the right of their first column.
    if (FShowModified->GetEnabled() && ACol == 0) {
        const int RRow = RealRowIndex(TDisplayRow(ARow)).Value;
        if (RRow >= 0 && RRow < FModifiedRows->GetCount() && FModifiedRows->GetInteger(RRow) == 1)
            VuzEraz::FillRectColor(ACanvas, TRect(P.Rect.Right - 4, P.Rect.Top, P.Rect.Right, P.Rect.Bottom),
                FShowModified->GetColor());
        Brush->SetColor(P.UnselectedBrush);
    }

    if (OnCustomCellBkgDraw)
        OnCustomCellBkgDraw(this, ACanvas, P.RCol, ARow, P.State, P.Rect, false);

    const int RightEdge = P.Rect.Right;
    if (!P.Fixed && (FControlLook->GetDropDownAlwaysVisible() || FControlLook->GetSpinButtonsAlwaysVisible()))
        DrawEditorButtons(P);

    const bool UserDraws = bool(OnDrawCell) || bool(OnCustomCellDraw);
    if (!(P.Graphic && FNoImageAndText) && !(FNoDefaultDraw && UserDraws)) {
        // The text step narrows the rectangle for itself only.
        const TRect Cell = P.Rect;
        DrawCellText(P);
        P.Rect = Cell;
    }

    P.Rect.Right = RightEdge;
    Brush->SetColor(P.UnselectedBrush);
    Font->SetColor(P.UnselectedFont);
    P.Rect.Inflate(1, 1);

    DrawCellBorders(P);
    if (P.Fixed && !HasCellFilterEdit(ACol, ARow) && !GetFlat())
        DrawFixedEdges(P);

    // Fixed right columns of a flat grid get their own grey lines.
    if (GetFlat() && FLook != glClassic && FFixedRightCols > 0 && ACol >= GetColCount() - FFixedRightCols) {
        ACanvas->GetPen()->SetColor(TColor(0x808080));
        ACanvas->GetPen()->SetWidth(1);
        const TRect& R = P.Rect;
        if (GetOptions().Contains(goFixedHorzLine)) {
            Line(ACanvas, R.Left - 1, R.Top - 1, R.Right + 1, R.Top - 1);
            Line(ACanvas, R.Left - 1, R.Bottom, R.Right + 1, R.Bottom);
        }
        if (GetOptions().Contains(goFixedVertLine)) {
            Line(ACanvas, R.Left - 1, R.Top - 1, R.Left - 1, R.Bottom + 1);
            Line(ACanvas, R.Right, R.Top - 1, R.Right, R.Bottom + 1);
        }
    }

    DrawTreeLines(P);
    P.Rect.Left -= IndicatorWidth;

    if (P.Graphic) {
        TRect R = P.Rect;
        if (P.Fixed)
            R.Top += 1;
        DrawCellGraphic(ACanvas, P.RCol, ARow, R, P.Graphic, P.TextWidth, P.HA, P.VA);
    }

    if (OnDrawCell) {
        TRect R = P.Rect;
        R.Right -= FGridLineWidth;
        R.Bottom -= FGridLineWidth;
        OnDrawCell(this, P.RCol, ARow, R, P.State);
    }
    if (OnCustomCellDraw)
        OnCustomCellDraw(this, ACanvas, P.RCol, ARow, P.State, P.Rect, false);

    // The focus rectangle: only on a normal current cell of a focused grid.
    if (!GetHideFocusRect() && Focused()) {
        const TPoint Base = BaseCell(P.RCol, ARow);
        const int Col = GetCol(), Row = GetRow();
        const bool Current = DisplColIndex(TRealCol(Base.X)).Value == Col && Base.Y == Row;
        if (Current && Col >= FixedCols && Row >= FixedRows && !IsFixed(Col, Row)) {
            Font->SetColor(clBlack);
            Brush->SetColor(clWhite);
            TRect R = P.Rect;
            R.Inflate(-1, -1);
            ACanvas->DrawFocusRect(R);
        }
    }
}

// ---- the fixed-cell looks ----

void TDedOzovedUrad::DrawFixedCellLook(TCellPaint& P)
{
    TCanvas* Canvas = P.Canvas;
    const int FixedCols = GetFixedCols(), FixedRows = GetFixedRows();
    const bool ColumnMoving = GetGridState() == gsColMoving;
    const bool Hovered = IsHoverFixedCell(P.ACol, P.ARow) && !IsDesigning()
        && ((FHoverFixedX == P.ACol && FHoverFixedY == P.ARow && !ColumnMoving)
            || (ColumnMoving && FMoveColInd == P.ACol));
    if (Hovered) {
        const TGradientSet Hover { FLumGradHoverFrom, FLumGradHoverTo, FLumGradHoverMirrorFrom, FLumGradHoverMirrorTo,
            FLumGradHoverBorder };
        const TGradientSet Down { FLumGradDownFrom, FLumGradDownTo, FLumGradDownMirrorFrom, FLumGradDownMirrorTo,
            FLumGradDownBorder };
        P.Rect.Bottom += 1;
        const bool Pressed = FMouseDownMove || ColumnMoving;
        const bool DropDown = FControlLook->GetFixedDropDownButton() && P.FilterDropDown;
        if (Pressed && DropDown) {
            const TRect DropPart(P.Rect.Right - 16, P.Rect.Top, P.Rect.Right, P.Rect.Bottom);
            const TRect Rest(P.Rect.Left, P.Rect.Top, P.Rect.Right - 16, P.Rect.Bottom);
            PaintGradientSet(Canvas, DropPart, FDropDownDown ? Down : Hover);
            PaintGradientSet(Canvas, Rest, FDropDownDown ? Hover : Down);
        } else {
            PaintGradientSet(Canvas, P.Rect, Pressed ? Down : Hover);
        }
        if (DropDown) {
            Canvas->GetPen()->SetColor(Pressed ? Down.Border : Hover.Border);
            Line(Canvas, P.Rect.Right - 16, P.Rect.Top, P.Rect.Right - 16, P.Rect.Bottom);
            const int X = P.Rect.Right - 8, Y = P.Rect.Top + 8;
            Canvas->GetBrush()->SetColor(Canvas->GetPen()->GetColor());
            Canvas->Polygon({ { X, Y - 3 }, { X + 3, Y }, { X, Y + 3 }, { X - 3, Y } });
            P.Rect.Right -= 16;
        }
        return;
    }

    const bool ActiveHeader = GetActiveCellShow()
        && ((P.ACol < FixedCols && P.ARow == GetRow()) || (P.ARow < FixedRows && P.ACol == GetCol()));
    if (ActiveHeader) {
        VuzEraz::PaintGradientBackground(Canvas, P.Rect, GetActiveCellColor(), GetActiveCellColorTo(), clNone, clNone,
            true, clNone, false, true);
        return;
    }
    TRect R = P.Rect;
    if (FLook != glXP) {
        R.Right -= 1;
        R.Bottom -= 1;
    }
    const bool SortHeader = FSortSettings->GetColumn() == P.ACol && FSortSettings->GetHeaderColor() != clNone
        && P.ARow < FixedRows && (P.ACol >= FixedCols || FSortSettings->GetFixedCols());
    if (SortHeader) {
        VuzEraz::PaintGradientBackground(Canvas, R, FSortSettings->GetHeaderColor(), FSortSettings->GetHeaderColorTo(),
            FSortSettings->GetHeaderMirrorColor(), FSortSettings->GetHeaderMirrorColorTo(), true, clNone, false, true);
    } else if (!GetFlat()) {
        const bool Vista = FLook == glVista;
        VuzEraz::PaintGradientBackground(Canvas, R, Canvas->GetBrush()->GetColor(), P.ColorTo, P.MirrorColor,
            P.MirrorColorTo, true, Vista ? clWhite : clNone, Vista, true);
    }
}

// Drop-down, ellipsis and spin buttons of editors that show them without
// being edited; each takes its width off the cell.
void TDedOzovedUrad::DrawEditorButtons(TCellPaint& P)
{
    int Kind = FControlLook->GetFlatButton() ? VuzEraz::bkFlat
        : IsThemeActive()                    ? VuzEraz::bkThemed
                                             : VuzEraz::bkClassic;
    if (GetFlat() && FTones.Background.BrushColor != clNone)
        Kind = VuzEraz::bkCustom;
    bool Allow = true;
    CanEditCell(P.RCol, P.ARow, Allow);
    const int State = Allow ? VuzEraz::bsNormal : VuzEraz::bsDisabled;
    TEditorType Editor = GetDefaultEditor();
    DoGetEditorType(P.RCol, P.ARow, Editor);
    const HWND Window = HandleAllocated() ? GetHandle() : nullptr;
    const int ButtonWidth = FControlLook->GetDropDownButtonWidth();
    TRect& R = P.Rect;
    if (FControlLook->GetDropDownAlwaysVisible()) {
        if (HasCellComboBox(P.RCol, P.ARow, Editor)) {
            VuzEraz::DrawDropButton(P.Canvas, Window, TRect(R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom), Kind, State,
                FTones, FDPIScale);
            R.Right -= int(RoundHalfEven(ButtonWidth * FDPIScale));
        } else if (HasCellEditBtn(P.RCol, P.ARow, Editor)) {
            VuzEraz::DrawPushButton(P.Canvas, Window, TRect(R.Right - ButtonWidth - 3, R.Top - 1, R.Right - 1,
                R.Bottom - 1), Kind, State, FTones, FControlLook->GetButtonPrefix(), u"...");
            R.Right -= ButtonWidth;
        }
    }
    if (HasCellSpinEdit(P.RCol, P.ARow, Editor)) {
        VuzEraz::DrawSpinButtons(P.Canvas, Window, R, Kind, State, FTones, FDPIScale);
        R.Right -= int(RoundHalfEven(16 * FDPIScale));
    }
}

// Borders a cell asks for through the grouping look and OnGetCellBorder,
// each side with its own pen from OnGetCellBorderProp.
void TDedOzovedUrad::DrawCellBorders(TCellPaint& P)
{
    TCanvas* Canvas = P.Canvas;
    TPen Saved;
    Saved.Assign(Canvas->GetPen());
    TPen Pen;
    Pen.Assign(Canvas->GetPen());
    TCellBorders Borders;
    GetCellBorder(P.RCol, P.ARow, &Pen, Borders);
    TPen LeftPen, TopPen, RightPen, BottomPen;
    for (TPen* Side : { &LeftPen, &TopPen, &RightPen, &BottomPen })
        Side->Assign(&Pen);
    if (OnGetCellBorderProp)
        OnGetCellBorderProp(this, P.ARow, P.RCol, &LeftPen, &TopPen, &RightPen, &BottomPen);

    if (!Borders.Empty()) {
        const TGridOptions Options = GetOptions();
        const int w = (Pen.GetWidth() + 1) / 2;
        const int h = Options.Contains(goVertLine) ? w : 0;
        const int g = Options.Contains(goHorzLine) ? w : 0;
        const int d = P.Fixed ? 0 : -1;
        TRect R = P.Rect;
        R.Left += d + h;
        R.Bottom += d - g;
        const int RightX = R.Right - h - 1;
        if (Borders.Contains(cbLeft)) {
            Canvas->SetPen(&LeftPen);
            Line(Canvas, std::max(0, R.Left), R.Top + d, std::max(0, R.Left), R.Bottom);
        }
        if (Borders.Contains(cbRight)) {
            Canvas->SetPen(&RightPen);
            Line(Canvas, RightX, R.Top + d, RightX, R.Bottom);
        }
        if (Borders.Contains(cbTop)) {
            Canvas->SetPen(&TopPen);
            const int y = R.Top + g + (P.Fixed ? 1 : 0);
            const int TopY = FGridLineWidth != 0 ? std::max(0, y - FGridLineWidth) : y + 1;
            Line(Canvas, R.Left - 1, TopY, RightX, TopY);
        }
        if (Borders.Contains(cbBottom)) {
            Canvas->SetPen(&BottomPen);
            Line(Canvas, R.Left, R.Bottom, R.Right - h, R.Bottom);
        }
    }
    Canvas->SetPen(&Saved);
}

// The raised edges of fixed cells in the classic, ZID, XP and soft looks.
void TDedOzovedUrad::DrawFixedEdges(TCellPaint& P)
{
    TCanvas* Canvas = P.Canvas;
    TRect R = P.Rect;
    const TGridOptions Options = GetOptions();
    TPen* Pen = Canvas->GetPen();
    Pen->SetWidth(1);
    switch (FLook) {
    case glClassic: {
        R.Offset(1, 1);
        RECT Edges = R;
        DrawEdge(Canvas->GetHandle(), &Edges, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        Edges = R;
        DrawEdge(Canvas->GetHandle(), &Edges, EDGE_RAISED, BF_RIGHT | BF_BOTTOM);
        Pen->SetColor(clBlack);
        Line(Canvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom);
        Line(Canvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
        break;
    }
    case glZID:
    case glXP:
    case glSoft: {
        R.Bottom += 1;
        if (FLook == glSoft)
            R.Right += 1;
        if (Options.Contains(goFixedHorzLine)) {
            Pen->SetColor(VuzEraz::HalveColor(GetFixedColor()));
            Line(Canvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
            Pen->SetColor(clWhite);
            Line(Canvas, R.Left, R.Top, R.Right, R.Top);
            Line(Canvas, R.Left, R.Top, R.Left, R.Bottom - 1);
        }
        if (FLook == glSoft && Options.Contains(goFixedVertLine)) {
            Pen->SetColor(VuzEraz::HalveColor(GetFixedColor()));
            Line(Canvas, R.Right - 2, R.Top, R.Right - 2, R.Bottom);
            Pen->SetColor(clWhite);
            Line(Canvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom);
        }
        break;
    }
    default: break;
    }
}

// The lines that join node rows and their children in the node column.
void TDedOzovedUrad::DrawTreeLines(TCellPaint& P)
{
    if (!FCellNode->GetShowTree() || !HasNodes() || P.RCol != FCellNode->GetNodeColumn() || P.Fixed
        || P.ARow >= GetRowCount() - FFixedFooters)
        return;
    TCanvas* Canvas = P.Canvas;
    Canvas->GetPen()->SetColor(FCellNode->GetTreeColor());
    Canvas->GetPen()->SetWidth(1);
    const TRect& R = P.Rect;
    const int NodeIndent = FCellNode->GetNodeIndent();
    const int Indent = RowIndent(P.ARow);
    auto LevelOf = [this, NodeIndent](int Row) { return NodeIndent > 0 ? RowIndent(Row) / NodeIndent : 0; };
    const int Level = LevelOf(P.ARow);
    const int X = R.Left + Indent - NodeIndent / 2 + 2;
    const int MidY = R.Top + (R.Bottom - R.Top) / 2;
    if (Level > 0)
        Line(Canvas, X, MidY, FCellNode->GetShowTreeFull() ? R.Right : R.Left + Indent + 4, MidY);
    if (Indent > 0) {
        const int Span = FDataViews->GetNodeSpanType(P.ARow);
        if (Span == 1)
            Line(Canvas, X, R.Top, X, MidY);
        else if (Span == 2)
            Line(Canvas, X, R.Top, X, R.Bottom + 4);
    }
    const bool LastRow = P.ARow + 1 >= GetRowCount();
    const int NextLevel = LastRow ? -1 : LevelOf(P.ARow + 1);
    for (int i = 1; i <= Level; ++i) {
        const int Xi = X - NodeIndent * i;
        if (Xi <= R.Left)
            continue;
        if (!LastRow && NextLevel >= Level - i) {
            Line(Canvas, Xi, R.Top, Xi, R.Bottom + 4);
        } else {
            Line(Canvas, Xi, R.Top, Xi, MidY);
            if (i < Level)
                Line(Canvas, Xi, MidY, Xi + NodeIndent, MidY);
        }
    }
}
