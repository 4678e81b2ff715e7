// The text step of a cell's painting: the selected colours of the text,
// background pictures and gradients showing through the cell, the selection
// rectangle, the filter row's button, and the text itself as mini-HTML, rich
// text or plain text with the cell's alignment, wrapping and line rules.

#include "grid/core/DedOzovedUradCellPaint.h"

#include <algorithm>
#include <optional>

#include "grid/core/GridPainters.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/ImgList.h"
#include "richtext/MiniHTML.h"

namespace {

// Text longer than this on one line is cut before drawing.
constexpr std::size_t MaxSingleLineText = 4096;

// The filter button's own glyph: a funnel on the fixed colour, 16 pixels wide.
void DrawOwnFilterGlyph(TCanvas* Canvas, const TRect& Cell, TColor FixedColor)
{
    const TRect R(Cell.Right - 16, Cell.Top, Cell.Right, Cell.Bottom);
    VuzEraz::FillRectColor(Canvas, R, FixedColor);
    const int X = R.Left + 3, Y = R.Top + 4;
    Canvas->GetPen()->SetColor(clBlack);
    Canvas->GetBrush()->SetColor(clBlack);
    Canvas->Polygon({ { X, Y }, { X + 9, Y }, { X + 5, Y + 4 }, { X + 5, Y + 8 }, { X + 4, Y + 8 }, { X + 4, Y + 4 } });
}

bool IsCheckBoxKind(TCellType Kind)
{
    return Kind == ctCheckBox || Kind == ctDataCheckBox || Kind == ctVirtCheckBox || Kind == ctRowCheckBox
        || Kind == ctTriStateCheckBox;
}

bool IsBlank(const String& Text)
{
    return std::all_of(Text.begin(), Text.end(), [](Char c) { return c == u' ' || c == u'\t'; });
}

} // namespace

// A cell is a sort header cell when it lies in the sort row (or a merged
// cell spans it) of the sorted column or of a column in the sort index
// list. The indicator shows over normal columns (fixed ones on request) and,
// for the later sort columns, only with IndexShow.
bool TDedOzovedUrad::IsSortHeaderCell(int ACol, int ARow, bool& ShowIndicator)
{
    ShowIndicator = false;
    const TSortSettings* Sort = FSortSettings.get();
    const int FixedRows = GetFixedRows();
    if (!Sort->GetShow() || FixedRows <= 0 || GetRowCount() <= FixedRows + 1)
        return false;
    const int RCol = RealColIndex(TDisplayCol(ACol)).Value;
    const bool SortRow = ARow == Sort->GetRow()
        || (ARow < Sort->GetRow() && ARow + CellSpan(RCol, ARow).Y >= Sort->GetRow());
    if (!SortRow)
        return false;
    const int Position = FSortIndexes->FindIndex(RCol);
    if (RCol != Sort->GetColumn() && Position < 0)
        return false;
    ShowIndicator = (ACol >= GetFixedCols() || Sort->GetFixedCols()) && (Position <= 0 || Sort->GetIndexShow());
    return true;
}

void TDedOzovedUrad::DrawCellText(TCellPaint& P)
{
    TCanvas* Canvas = P.Canvas;
    TBrush* Brush = Canvas->GetBrush();
    TFont* Font = Canvas->GetFont();
    const TGridOptions Options = GetOptions();
    const int FixedCols = GetFixedCols();
    const TCellType Kind = GetCellType(P.RCol, P.ARow);
    P.URLColor = GetURLColor();

    // The selected look of the text.
    const bool Shown = SelectionShown();
    const bool Selected = P.State.Contains(gdSelected)
        || (Options.Contains(goRowSelect) && P.ACol >= FixedCols && IsCellRowSelected(P.SelRow));
    if (Selected && !P.Fixed) {
        if (Shown) {
            if (GetSelectionColor() != clNone)
                Brush->SetColor(GetSelectionColor());
            if (GetSelectionTextColor() != clNone && GetEnabled() && GetUseSelectionTextColor())
                Font->SetColor(GetSelectionTextColor());
            P.URLColor = GetSelectionTextColor();
        }
        if ((!Focused() || IsCheckBoxKind(Kind)) && !Shown) {
            Brush->SetColor(P.UnselectedBrush);
            Font->SetColor(P.UnselectedFont);
            P.URLColor = GetURLColor();
        }
    }

    String Text = GetFormattedCell(P.RCol, P.ARow);
    Text = SearchHighlightText(P.RCol, P.ARow, Text);
    int TextKind = VuzEraz::DetectTextKind(Text, GetEnableHTML());
    if (TextKind == 3) {
        Text = FormulaValue(P.RCol, P.ARow, Text);
        TextKind = VuzEraz::DetectTextKind(Text, GetEnableHTML());
        if (TextKind == 3)
            TextKind = 0;
    }
    if (TextKind == 5)
        Text = VuzEraz::DecodeWideCellText(Text);
    bool Password = false;
    DoIsPasswordCell(P.RCol, P.ARow, Password);
    if (Password)
        VuzEraz::FillChars(Text, GetPasswordChar());

    TRect R = P.Rect;
    if (P.Fixed) {
        R.Left += FGridLineWidth;
        R.Top += FGridLineWidth;
    }

    if (P.FilterDropDown) {
        TBitmap* Glyph = FFilter->HasFilter(P.RCol) ? FFilterDropDown->GetGlyphActive() : FFilterDropDown->GetGlyph();
        if (Glyph->Empty()) {
            DrawOwnFilterGlyph(Canvas, R, GetFixedColor());
        } else {
            const bool Was = Glyph->GetTransparent();
            Glyph->SetTransparent(true);
            Canvas->Draw(R.Right - Glyph->GetWidth(), R.Top, Glyph);
            Glyph->SetTransparent(Was);
        }
        Brush->SetColor(P.UnselectedBrush);
    }

    const TSortSettings* Sort = FSortSettings.get();
    if (IsMergedCell(P.RCol, P.ARow) && P.RCol == Sort->GetColumn() && P.ARow <= Sort->GetRow()
        && P.ARow + CellSpan(P.RCol, P.ARow).Y >= Sort->GetRow())
        R.Right -= 12;

    // Cells outside a disjunct selection keep the plain look while the
    // mouse is up.
    const bool Normal = !P.Fixed;
    if (Normal && !FMouseDown
        && ((FMouseActions->GetDisjunctRowSelect() && !IsCellRowSelected(P.SelRow))
            || (FMouseActions->GetDisjunctColSelect() && !IsCellColSelected(P.RCol)))) {
        P.URLColor = GetURLColor();
        Brush->SetColor(GetColor());
        Font->SetColor(GetFont()->GetColor());
        if (FDPIScale != 0 && FDPIScale != 1.0)
            Font->SetHeight(int(RoundHalfEven(Font->GetHeight() / FDPIScale)));
        GetCellColor(P.RCol, P.ARow, P.State, Brush, Font);
        ApplyZoom(Font);
    }

    P.Rect = R;
    DrawCellBackground(P);
    DrawSelectionRectangle(P);
    R = P.Rect;

    if (!P.TextBeside && P.Graphic)
        return;

    R.Left += FXYOffset.X;
    if (!FXYOffsetTopLeftOnly)
        R.Right -= FXYOffset.X;
    R.Top += FXYOffset.Y;
    if (P.Graphic) {
        switch (P.GraphicHA) {
        case haBeforeText: R.Left += P.GraphicW; break;
        case haAfterText: R.Right -= P.GraphicW; break;
        default: break;
        }
        switch (P.GraphicVA) {
        case vaAboveText: R.Top += P.GraphicH; break;
        case vaUnderText: R.Bottom -= P.GraphicH; break;
        default: break;
        }
    }
    if (P.RCol == 0 && HasNodes() && !IsNode(P.ARow))
        R.Left += RowIndent(P.ARow);
    String Placeholder;
    const bool FilterCell = HasCellFilterEdit(P.ACol, P.ARow);
    if (FilterCell) {
        const int Type = int(FFilter->HasFilterType(P.RCol));
        if (FFltrList && Type < FFltrList->GetCount())
            FFltrList->Draw(Canvas, R.Left, R.Top, Type);
        R.Left += int(RoundHalfEven(18 * FDPIScale));
        const TStringList* Names = FFilterEdit->GetTypeNames();
        if (Type < Names->GetCount())
            Placeholder = Names->GetStrings(Type);
    }

    P.Rect = R;
    bool Indicator = false;
    const bool SortHeader = IsSortHeaderCell(P.ACol, P.ARow, Indicator);
    if (TextKind == 1) {
        if (P.FilterDropDown) {
            R.Right -= 18;
            R.Left -= 1;
        }
        if (SortHeader)
            R.Right -= 10;
        String Markup = Text;
        if (Markup.find(u"<HI>") != String::npos) {
            if (P.HA == taRightJustify)
                Markup = u"<p align=\"right\">" + Markup + u"</p>";
            else if (P.HA == taCenter)
                Markup = u"<p align=\"center\">" + Markup + u"</p>";
        }
        String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
        int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
        TRect HitRect, ControlRect;
        const int HoverAnchor = FHoverHTMLCell.X == P.ACol && FHoverHTMLCell.Y == P.ARow ? FHoverHTMLAnchor : -1;
        Brush->SetStyle(bsClear);
        VovHTMLE::DrawHTMLText(Canvas, Markup, R, FGridImages, -1, -1, -1, HoverAnchor, 1, false, false, false, false,
            FBlinkOn, false, true, false, FDownControlID, 1.0, P.URLColor, clNone, clNone, TColor(0x808080), HitAnchor,
            Stripped, FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID,
            ControlValue, ControlType, FImageCache.get(), FPictureContainer, HandleAllocated() ? GetHandle() : nullptr,
            float(FDPIScale), UseRightToLeftAlignment() ? 1 : 0);
        Brush->SetStyle(bsSolid);
        P.TextWidth = XSize + 2;
        if (Indicator) {
            const int Y = P.VA == vtaTop ? R.Top + 8 : P.VA == vtaCenter ? R.Top + R.Height() / 2 : R.Bottom - 8;
            DrawSortIndicator(Canvas, P.ACol, Y, R.Right + 2);
        }
    } else if (TextKind == 2) {
        if (!(Selected && !Focused() && GetSelectionColor() == clNone)) {
            Canvas->GetPen()->SetColor(Brush->GetColor());
            Canvas->FillRect(P.Rect);
        }
        Brush->SetStyle(bsClear);
        DrawRichTextCell(P.RCol, P.ARow, R, Canvas);
        Brush->SetStyle(bsSolid);
        Font->SetColor(P.UnselectedFont);
    } else {
        DrawPlainText(P, Text);
        if (Text.empty() && !Placeholder.empty()) {
            // The condition type's name stands in for an empty filter cell.
            const TFontStyles Was = Font->GetStyle();
            const TColor WasColor = Font->GetColor();
            Font->SetStyle(Was + TFontStyles { fsItalic });
            Font->SetColor(TColor(0x808080));
            DrawPlainText(P, Placeholder);
            Font->SetStyle(Was);
            Font->SetColor(WasColor);
        }
    }
}

// The picture or gradient of BackGround where it shows through the cell.
void TDedOzovedUrad::DrawCellBackground(TCellPaint& P)
{
    const TBackGround* BG = FBackGround.get();
    const TBackGroundCells Cells = BG->GetCells();
    const bool Covered = Cells == bcAll || (Cells == bcNormal && !P.Fixed) || (Cells == bcFixed && P.Fixed);
    if (!Covered)
        return;
    const TCellProperties* Props = PropertiesAt(P.RCol, P.ARow);
    const bool OwnColor = Props && Props->GetBrushColor() != clNone;
    const bool ShownSelected = SelectionShown()
        && (P.State.Contains(gdSelected) || (P.State.Contains(gdFocused) && GetOptions().Contains(goDrawFocusSelected)));
    TCanvas* Canvas = P.Canvas;
    const TBackGroundDisplay Display = BG->GetDisplay();

    TBitmap* Bitmap = BG->GetBitmap();
    if (Bitmap && !Bitmap->Empty() && !OwnColor && !ShownSelected
        && (Display == bdTile || Display == bdFixed)) {
        TRect R = P.Rect;
        R.Left -= FGridLineWidth;
        R.Top -= FGridLineWidth;
        VuzEraz::TCanvasClip Clip(Canvas, R);
        if (Display == bdTile) {
            // Offsets from the cell's place in the whole grid, so the tiles
            // scroll with the cells.
            const int FromCol = Cells == bcNormal ? GetFixedCols() : 0;
            const int FromRow = Cells == bcNormal ? GetFixedRows() : 0;
            const int W = Bitmap->GetWidth(), H = Bitmap->GetHeight();
            const int OffX = int((m_cols.Start(std::max(P.ACol, FromCol)) - m_cols.Start(FromCol)) % W);
            const int OffY = int((m_rows.Start(std::max(P.ARow, FromRow)) - m_rows.Start(FromRow)) % H);
            for (int y = P.Rect.Top - 1 - OffY; y < R.Bottom; y += H)
                for (int x = P.Rect.Left - 1 - OffX; x < R.Right; x += W)
                    Canvas->Draw(x, y, Bitmap);
        } else {
            Canvas->Draw(BG->GetLeft(), BG->GetTop(), Bitmap);
        }
        return;
    }

    if (Display != bdGradientHorz && Display != bdGradientVert)
        return;
    if (OwnColor && !IsControlCellKind(GetCellType(P.RCol, P.ARow)))
        return;
    if (ShownSelected)
        return;
    // This cell's slice of one gradient across the whole control; the
    // colour at each edge is taken at its place within the control.
    const bool Horizontal = Display == bdGradientHorz;
    const int Extent = Horizontal ? GetClientWidth() : GetClientHeight();
    const int From = Horizontal ? P.Rect.Left : P.Rect.Top;
    const int To = Horizontal ? P.Rect.Right : P.Rect.Bottom;
    const TColor C1 = VuzEraz::BlendColorStep(BG->GetColor(), BG->GetColorTo(), 0, Extent, From);
    const TColor C2 = VuzEraz::BlendColorStep(BG->GetColor(), BG->GetColorTo(), 0, Extent, To);
    TRect R = P.Rect;
    R.Left -= 1;
    R.Top -= FGridLineWidth;
    R.Bottom += FGridLineWidth;
    VuzEraz::FillGradientRect(Canvas, C1, C2, 128, R, Horizontal);
    Canvas->GetBrush()->SetColor(P.UnselectedBrush);
}

// The outline around the selected block, and its resize handle.
void TDedOzovedUrad::DrawSelectionRectangle(TCellPaint& P)
{
    if (!GetSelectionRectangle() || P.Fixed)
        return;
    const TGridRect Sel = GetSelection();
    const TPoint Base = BaseCell(P.RCol, P.ARow);
    const int Col = DisplColIndex(TRealCol(Base.X)).Value, Row = Base.Y;
    const int Left = std::min(Sel.Left, Sel.Right), Right = std::max(Sel.Left, Sel.Right);
    const int Top = std::min(Sel.Top, Sel.Bottom), Bottom = std::max(Sel.Top, Sel.Bottom);
    if (Col < Left || Col > Right || Row < Top || Row > Bottom)
        return;
    const TPoint Span = CellSpan(Base.X, Base.Y);
    TCanvas* Canvas = P.Canvas;
    const TGridOptions Options = GetOptions();
    const bool AnyLines = Options.Contains(goHorzLine) || Options.Contains(goVertLine);
    TPen* Pen = Canvas->GetPen();
    Pen->SetColor(FSelectionRectangleColor);
    Pen->SetWidth(AnyLines ? 2 : 1);
    const int g = AnyLines ? 1 : 0;
    const int lw = FGridLineWidth;
    const TRect& R = P.Rect;
    const bool FirstCol = Col == Left, LastCol = Col + Span.X >= Right;
    const bool FirstRow = Row == Top, LastRow = Row + Span.Y >= Bottom;
    const int SpanLeft = R.Left - lw - (FirstCol ? 0 : 1);
    const int SpanRight = LastCol ? R.Right - 1 : R.Right;
    if (FirstCol) {
        Canvas->MoveTo(R.Left + g - lw, R.Bottom);
        Canvas->LineTo(R.Left + g - lw, R.Top - lw);
    }
    if (LastCol) {
        Canvas->MoveTo(R.Right - 1, R.Bottom);
        Canvas->LineTo(R.Right - 1, R.Top - lw);
    }
    if (FirstRow) {
        Canvas->MoveTo(SpanLeft, R.Top + g - lw);
        Canvas->LineTo(SpanRight, R.Top + g - lw);
    }
    if (LastRow) {
        Canvas->MoveTo(SpanLeft, R.Bottom + g - 1);
        Canvas->LineTo(SpanRight, R.Bottom + g - 1);
    }
    Pen->SetWidth(1);
    if (GetSelectionResizer() && LastCol && LastRow) {
        const int Size = int(RoundHalfEven(4 * FDPIScale));
        VuzEraz::FillRectColor(Canvas, TRect(R.Right - Size, R.Bottom - Size, R.Right, R.Bottom),
            FSelectionRectangleColor);
        Canvas->GetBrush()->SetColor(P.UnselectedBrush);
    }
}

void TDedOzovedUrad::DrawPlainText(TCellPaint& P, String Text)
{
    TCanvas* Canvas = P.Canvas;
    TFont* Font = Canvas->GetFont();
    TRect R = P.Rect;
    bool Indicator = false;
    const bool SortHeader = IsSortHeaderCell(P.ACol, P.ARow, Indicator);
    if (SortHeader && P.HA == taCenter)
        R.Left += 10;

    const bool WasUnderlined = Font->GetStyle().Contains(fsUnderline);
    if (GetURLShow() && VuzEraz::HasURLPrefix(Text)) {
        if (!GetURLFull())
            VuzEraz::RemoveURLPrefix(Text);
        if (GetURLUnderline())
            Font->SetStyle(Font->GetStyle() + TFontStyles { fsUnderline });
        Font->SetColor(P.URLColor);
    }

    const int Lines = VuzEraz::CountLines(Text, true);
    const bool MultiLine = GetMultilinecells() && Lines > 1;
    UINT Flags = DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX;
    bool SingleLine = false;
    if (!P.WW && !MultiLine) {
        String First;
        VuzEraz::TakeFirstLine(Text, false, First);
        Text = First;
        SingleLine = true;
        Flags |= DT_SINGLELINE;
        if (GetEnhTextSize())
            Flags |= DT_END_ELLIPSIS;
    } else if (P.WW) {
        Flags |= DT_WORDBREAK;
        if (!GetMultilinecells() && GetEnhTextSize())
            Flags |= DT_END_ELLIPSIS;
    }
    switch (P.HA) {
    case taRightJustify: Flags |= DT_RIGHT; break;
    case taCenter: Flags |= DT_CENTER; break;
    default: Flags |= DT_LEFT; break;
    }
    UINT VFlag = DT_TOP;
    if (P.VA == vtaCenter)
        VFlag = DT_VCENTER;
    else if (P.VA == vtaBottom)
        VFlag = DT_BOTTOM;
    FVAlign = VFlag;
    Flags |= VFlag;
    const bool RightToLeft = UseRightToLeftAlignment();
    if (RightToLeft)
        Flags |= DT_RTLREADING;
    if (P.FilterDropDown)
        R.Right -= 16;
    if (RightToLeft) {
        if (FNoRTLOrientation) {
            R.Right += FXYOffset.X;
        } else {
            const int W = GetClientWidth();
            R = TRect(W - R.Right, R.Top, W - R.Left, R.Bottom);
        }
    }

    const HDC DC = Canvas->GetHandle();
    Canvas->GetBrush()->SetStyle(bsClear);
    // Make sure the canvas' font and colours are in the context.
    Canvas->TextWidth(String());
    SetTextColor(DC, COLORREF(ColorToRGB(Font->GetColor())));
    SetBkMode(DC, TRANSPARENT);

    if (MultiLine || P.Graphic)
        FTextHeight = Canvas->TextHeight(u"hg");
    if (P.Graphic) {
        RECT Calc = R;
        DrawText(DC, Text, &Calc, Flags | DT_CALCRECT);
        P.TextWidth = (Calc.Right - Calc.Left) + 2;
    }

    if (MultiLine) {
        const int LineHeight = Canvas->TextHeight(u"gh");
        const int Block = LineHeight * Lines;
        int Y = R.Top;
        if (P.VA == vtaCenter)
            Y = R.Top + (R.Height() - Block) / 2;
        else if (P.VA == vtaBottom)
            Y = R.Bottom - Block;
        const UINT LineFlags = Flags & ~UINT(DT_VCENTER | DT_BOTTOM);
        String Rest = Text;
        for (int i = 0; i < Lines; ++i) {
            String Line;
            VuzEraz::TakeFirstLine(Rest, true, Line);
            RECT LR(R.Left, Y, R.Right, R.Bottom);
            Y += DrawText(DC, Line, &LR, LineFlags);
        }
    } else {
        if (SingleLine && Text.size() > MaxSingleLineText)
            Text.resize(MaxSingleLineText);
        if (P.HA == taRightJustify && Font->GetStyle().Contains(fsItalic))
            Text += u' ';
        if ((Flags & DT_END_ELLIPSIS) && P.HA == taLeftJustify && !IsBlank(Text)
            && Canvas->TextWidth(Text) > R.Width())
            Text += u"     ";
        RECT TR = R;
        DrawText(DC, Text, &TR, Flags);
    }
    // An error marker on a cell without other object.
    if (const TCellGraphic* G = GetCellGraphic(P.RCol, P.ARow);
        G && (G->GetCellType() == ctEmpty || G->GetCellType() == ctValue || G->GetCellType() == ctNone)
        && G->GetCellErrLen() > 0)
        DrawErrorUnderline(Canvas, R, Text, G->GetCellErrFrom(), G->GetCellErrLen());

    if (Indicator) {
        const int Indent = P.RCol == 0 && HasNodes() ? RowIndent(P.ARow) : 0;
        const int TextW = std::min(Canvas->TextWidth(Text), std::max(0, R.Width() - Indent - 16));
        int X = R.Left + 8;
        if (P.HA == taLeftJustify)
            X = R.Left + TextW + Indent + 10;
        else if (P.HA == taRightJustify)
            X = R.Right - TextW - 10;
        const int Y = P.VA == vtaTop ? R.Top + 8 : P.VA == vtaCenter ? R.Top + R.Height() / 2 : R.Bottom - 8;
        DrawSortIndicator(Canvas, P.ACol, Y, X);
    }
    if (!WasUnderlined)
        Font->SetStyle(Font->GetStyle() - TFontStyles { fsUnderline });
    Canvas->GetBrush()->SetStyle(bsSolid);
}

// ---- rich text ----

void TDedOzovedUrad::DrawRichTextCell(int ACol, int ARow, TRect Rect, TCanvas* Canvas)
{
    if (IsDesigning())
        return;
    TLumRichEdit* Rich = GetRichEdit();
    CellToRich(ACol, ARow, Rich);
    const HDC DC = Canvas->GetHandle();

    // A selected cell shows its text in the selection's text colour, unless
    // it keeps its own colours; printing never touches the selection.
    const TGridRect Sel = GetSelection();
    const int DCol = DisplColIndex(TRealCol(ACol)).Value;
    const bool InSelection = DCol >= std::min(Sel.Left, Sel.Right) && DCol <= std::max(Sel.Left, Sel.Right)
        && ARow >= std::min(Sel.Top, Sel.Bottom) && ARow <= std::max(Sel.Top, Sel.Bottom);
    const bool FocusCell = DCol == GetCol() && ARow == GetRow();
    const bool DisjunctRows = FMouseActions->GetDisjunctRowSelect();
    const bool ShownSelected
        = (InSelection && !(FocusCell && !GetOptions().Contains(goDrawFocusSelected)) && !DisjunctRows)
        || (DisjunctRows && IsCellRowSelected(ARow)) || (FMouseActions->GetDisjunctColSelect() && IsCellColSelected(ACol));
    if (ShownSelected && !GetSelectionRTFKeep() && GetMapMode(DC) == MM_TEXT) {
        Rich->SelectAll();
        if (GetSelectionTextColor() != clNone)
            Rich->GetSelAttributes()->SetColor(GetSelectionTextColor());
    }

    POINT Corners[2] = { { Rect.Left, Rect.Top }, { Rect.Right, Rect.Bottom } };
    LPtoDP(DC, Corners, 2);
    int ResX = GetDeviceCaps(DC, LOGPIXELSX), ResY = GetDeviceCaps(DC, LOGPIXELSY);
    if (ResX == 0)
        ResX = 96;
    if (ResY == 0)
        ResY = 96;
    POINT Inset = { FXYRTFOffset.X, FXYRTFOffset.Y };
    POINT Origin = { 0, 0 };
    LPtoDP(DC, &Inset, 1);
    LPtoDP(DC, &Origin, 1);
    const double InsetX = double(Inset.X - Origin.X) * ResX / 96, InsetY = double(Inset.Y - Origin.Y) * ResY / 96;
    auto Twips = [](double Pixels, int Res) { return int(RoundHalfEven(Pixels / Res * 1440)); };

    FORMATRANGE Range;
    Range.hdc = DC;
    Range.hdcTarget = DC;
    const int Left = Twips(Corners[0].X + InsetX, ResX), Top = Twips(Corners[0].Y + InsetY, ResY);
    Range.rc = RECT(Left, Top, Left + Twips(Corners[1].X - Corners[0].X - 2 * InsetX, ResX),
        Top + Twips(Corners[1].Y - Corners[0].Y - 2 * InsetY, ResY));
    Range.rcPage = Range.rc;
    Range.chrg.cpMin = 0;
    Range.chrg.cpMax = -1;

    const int OldMode = SetMapMode(DC, MM_TEXT);
    Rich->Perform(EM_FORMATRANGE, 1, LPARAM(&Range));
    Rich->Perform(EM_FORMATRANGE, 0, 0);
    SetMapMode(DC, OldMode);
    Canvas->Refresh();
}
