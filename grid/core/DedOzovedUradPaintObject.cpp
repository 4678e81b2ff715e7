// The object step of a cell's painting: how much room the object takes,
// where it sits beside the text, and how each kind draws itself (pictures,
// images, check boxes and radios, rotated text, nodes, progress bars and
// indicators, buttons, shapes, ratings); the comment mark, the sort glyph
// of headers and the error zigzag under marked text.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "grid/core/CellPainters.h"
#include "grid/core/CheckRadioPaint.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPainters.h"
#include "grid/core/GridUtils.h"
#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Themes.h"
#include "richtext/MiniHTML.h"
#include "richtext/PictureContainer.h"

namespace {

int ScaledRound(double v) { return int(RoundHalfEven(v)); }

bool IsCheckKind(TCellType Kind)
{
    return Kind == ctCheckBox || Kind == ctDataCheckBox || Kind == ctVirtCheckBox || Kind == ctRowCheckBox
        || Kind == ctTriStateCheckBox;
}

// Kinds that show nothing of their own: only a comment makes them paint.
bool IsSilentKind(TCellType Kind)
{
    switch (Kind) {
    case ctNone:
    case ctEmpty:
    case ctValue:
    case ctComment:
    case ctSummary:
    case ctBalloon:
    case ctScrollbar: return true;
    default: return false;
    }
}

void DrawTransparentBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->Empty())
        return;
    const bool Was = Bitmap->GetTransparent();
    Bitmap->SetTransparent(true);
    Canvas->Draw(X, Y, Bitmap);
    Bitmap->SetTransparent(Was);
}

Byte HAByte(TAlignment HA) { return HA == taRightJustify ? 1 : HA == taCenter ? 2 : 0; }
Byte VAByte(TVAlignment VA) { return VA == vtaCenter ? 1 : VA == vtaBottom ? 2 : 0; }

} // namespace

// ---- measuring ----

TObject* TDedOzovedUrad::GetCellGraphicMetrics(int ACol, int ARow, int& W, int& H, bool& TextBeside,
    TCellHAlign& HAlign, TCellVAlign& VAlign)
{
    W = H = 0;
    TextBeside = true;
    HAlign = haLeft;
    VAlign = vaTop;
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return nullptr;
    const TCellType Kind = G->GetCellType();
    if (IsSilentKind(Kind) && G->GetCellComment().empty())
        return nullptr;
    HAlign = G->GetCellHAlign();
    VAlign = G->GetCellVAlign();
    const double Scale = GetDPIScale();
    TCustomImageList* Images = GetGridImageList();
    switch (Kind) {
    case ctBitmap:
        if (TBitmap* B = G->GetCellBitmap()) {
            W = B->GetWidth();
            H = B->GetHeight();
        }
        break;
    case ctIcon:
        if (TIcon* I = G->GetCellIcon()) {
            W = I->GetWidth();
            H = I->GetHeight();
        }
        break;
    case ctImageList:
    case ctDataImage:
        if (Images) {
            W = Images->GetWidth();
            H = Images->GetHeight();
        }
        TextBeside = Kind == ctImageList;
        break;
    case ctCheckBox:
    case ctTriStateCheckBox: W = H = ScaledRound(FControlLook->GetCheckSize() * Scale); break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        W = H = ScaledRound(FControlLook->GetCheckSize() * Scale);
        TextBeside = false;
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress: TextBeside = false; break;
    case ctImages:
        if (Images)
            if (const TIntList* L = G->GetCellImages()) {
                W = G->GetCellBoolean() ? L->Count() * Images->GetWidth() : Images->GetWidth();
                H = G->GetCellBoolean() ? Images->GetHeight() : L->Count() * Images->GetHeight();
            }
        break;
    case ctPicture:
    case ctFilePicture: {
        const int Shown = DisplColIndex(TRealCol(ACol)).Value;
        const TRect Cell = CellRect(Shown, ARow);
        TPoint Size(0, 0);
        G->GetPictureSize(Cell.Width() - XYOffsetWidth(), Cell.Height() - XYOffsetHeight(), nullptr,
            !GetCellEx(ACol, ARow).empty(), Size);
        W = Size.X;
        H = Size.Y;
        break;
    }
    case ctButton:
    case ctBitButton:
    case ctVirtButton: {
        const unsigned Size = unsigned(G->GetCellIndex());
        W = ScaledRound((Size & 0xFFFFu) * Scale);
        H = ScaledRound(((Size >> 16) & 0xFFFFu) * Scale);
        break;
    }
    case ctProgressPie: W = H = 20; break;
    case ctInterface:
        if (IGridCellObject* O = G->GetCellInterface()) {
            W = O->GetWidth();
            H = O->GetHeight();
        }
        break;
    case ctRadioButton: W = H = FControlLook->GetRadioSize() + 4; break;
    case ctShape: {
        const int Shown = DisplColIndex(TRealCol(ACol)).Value;
        const int Side = std::min(GetColWidths(Shown), ARow < GetRowCount() ? GetRowHeights(ARow) : 0)
            - 2 * FXYOffset.Y;
        W = H = std::max(0, Side);
        break;
    }
    case ctRating:
        W = G->GetCellAngle() * 18;
        H = 16;
        TextBeside = false;
        break;
    case ctDataPicture:
        if (TPictureContainer* Container = GetPictureContainer())
            if (TGraphic* Pic = Container->FindPicture(GetCellEx(ACol, ARow))) {
                W = Pic->GetWidth();
                H = Pic->GetHeight();
                TextBeside = false;
            }
        break;
    default: break;
    }
    return G;
}

double TDedOzovedUrad::GraphicFloatValue(int ACol, int ARow)
{
    // A text that is no number counts as 0: painting never raises.
    try {
        return GetCellEx(ACol, ARow).empty() ? 0.0 : GetFloats(ACol, ARow);
    } catch (const std::exception&) {
        return 0.0;
    }
}

// ---- rotated text placement ----

void TDedOzovedUrad::RotatedTextOrigin(TRect& Rect, Byte HA, Byte VA, int A, int B, int C, int D, int Angle)
{
    const int L = Rect.Left, R = Rect.Right, T = Rect.Top, Bo = Rect.Bottom;
    int X = L, Y = T;
    const bool H0 = HA == 0, H1 = HA == 1, H2 = HA == 2;
    const bool V0 = VA == 0, V1 = VA == 1, V2 = VA == 2;
    if (Angle <= 90) {
        X = H0 ? L : H1 ? R - D - C : H2 ? L + (R - L - C - D) / 2 : X;
        Y = V0 ? T + B : V1 ? T + B - (T - Bo + A + B) / 2 : V2 ? Bo - A : Y;
    } else if (Angle <= 180) {
        X = H0 ? L + D : H1 ? R - C : H2 ? R - (R - L + C - D) / 2 : X;
        Y = V0 ? T + A + B : V1 ? T + A + B - (T - Bo + A + B) / 2 : V2 ? Bo : Y;
    } else if (Angle <= 270) {
        X = H0 ? L + C + D : H1 ? R : H2 ? R - (R - L - C - D) / 2 : X;
        Y = V0 ? T + A : V1 ? T + A - (T - Bo + A + B) / 2 : V2 ? Bo - B : Y;
    } else {
        X = H0 ? L + C : H1 ? R - D : H2 ? L + (R - L + C - D) / 2 : X;
        Y = V0 ? T : V1 ? T - (T - Bo + A + B) / 2 : V2 ? Bo - A - B : Y;
    }
    Rect.Left = X;
    Rect.Top = Y;
}

void TDedOzovedUrad::PlaceRotatedText(TRect& Rect, TSize& Size, int Angle, const String& Text, Byte HA, Byte VA)
{
    Size = TSize { 0, 0 };
    TCanvas* Canvas = MeasureCanvas();
    const String Measured = Text + u"w";
    Size.cx = Canvas->TextWidth(Measured);
    Size.cy = Canvas->TextHeight(Measured);
    Rect.Inflate(-2, -2);
    const double Theta = Angle * std::numbers::pi / 180.0;
    const double c = std::fabs(std::cos(Theta)), s = std::fabs(std::sin(Theta));
    RotatedTextOrigin(Rect, HA, VA, int(Size.cy * c), int(Size.cx * s), int(Size.cy * s), int(Size.cx * c), Angle);
}

// ---- drawing ----

void TDedOzovedUrad::DrawCellGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TObject* Graphic, int TextWidth,
    TAlignment HA, TVAlignment VA)
{
    auto* G = dynamic_cast<TCellGraphic*>(Graphic);
    if (!G)
        return;
    const TCellType Kind = G->GetCellType();
    int W = 0, H = 0;
    bool Beside = true;
    TCellHAlign OHA = haLeft;
    TCellVAlign OVA = vaTop;
    GetCellGraphicMetrics(ACol, ARow, W, H, Beside, OHA, OVA);
    const TRect Cell = R;
    const bool OwnRect = Kind == ctNode || Kind == ctProgress || Kind == ctRangeIndicator || Kind == ctXPProgress;
    if (!OwnRect)
        R.Inflate(-(FXYOffset.X - 1), -(FXYOffset.Y - 1));
    int T = TextWidth;
    if (T > 0)
        T += 2;

    // Horizontal placement.
    TRect Gr;
    switch (OHA) {
    case haRight: Gr.Right = R.Right - 1; Gr.Left = Gr.Right - W; break;
    case haCenter: Gr.Left = W < R.Width() ? R.Left + (R.Width() - W) / 2 : R.Left + 1; break;
    case haBeforeText:
        Gr.Left = HA == taRightJustify ? R.Right - T - W : HA == taCenter ? R.Left + (R.Width() - T - W) / 2 : R.Left + 1;
        break;
    case haAfterText:
        if (HA == taRightJustify) {
            Gr.Right = R.Right - 1;
            Gr.Left = Gr.Right - W;
        } else {
            Gr.Left = HA == taCenter ? R.Left + T + (R.Width() - T - W) / 2 : R.Left + T;
        }
        break;
    case haFull: Gr.Left = R.Left; break;
    default: Gr.Left = R.Left + 1; break;
    }
    if (OHA != haFull && Gr.Left < R.Left)
        Gr.Left = R.Left + 1;
    Gr.Right = OHA == haFull ? R.Right : Gr.Left + W;

    // Vertical placement; a box follows the cell's own text alignment.
    TCellVAlign PVA = OVA;
    if (IsCheckKind(Kind) || Kind == ctRadioButton) {
        if (VA != GetVAlignment())
            PVA = VA == vtaTop ? vaTop : VA == vtaCenter ? vaCenter : vaBottom;
    }
    switch (PVA) {
    case vaBottom: Gr.Bottom = R.Bottom - 1; Gr.Top = Gr.Bottom - H; break;
    case vaCenter: Gr.Top = H < R.Height() ? R.Top + (R.Height() - H) / 2 : R.Top + 1; Gr.Bottom = Gr.Top + H; break;
    case vaUnderText: Gr.Bottom = R.Bottom; Gr.Top = Gr.Bottom - H; break;
    case vaFull: Gr.Top = R.Top; Gr.Bottom = R.Bottom; break;
    default: Gr.Top = R.Top + 1; Gr.Bottom = Gr.Top + H; break;
    }

    const bool RightToLeft = UseRightToLeftAlignment();
    auto CanEdit = [&] {
        bool Allow = true;
        CanEditCell(ACol, ARow, Allow);
        return Allow;
    };

    switch (Kind) {
    case ctBitmap:
        if (TBitmap* B = G->GetCellBitmap()) {
            if (G->GetCellTransparent()) {
                if (RightToLeft)
                    std::swap(Gr.Left, Gr.Right);
                DrawTransparentBitmap(ACanvas, Gr.Left, Gr.Top, B);
            } else {
                ACanvas->Draw(Gr.Left, Gr.Top, B);
            }
        }
        break;
    case ctIcon:
        if (TIcon* I = G->GetCellIcon())
            ACanvas->Draw(Gr.Left, Gr.Top, I);
        break;
    case ctFilePicture:
        if (TFilePicture* F = G->GetCellFilePicture())
            F->DrawPicture(ACanvas, Gr);
        break;
    case ctImageList:
        if (TCustomImageList* Images = GetGridImageList())
            if (G->GetCellIndex() >= 0 && G->GetCellIndex() < Images->GetCount())
                Images->Draw(ACanvas, Gr.Left, Gr.Top, G->GetCellIndex());
        break;
    case ctDataImage:
        if (TCustomImageList* Images = GetGridImageList()) {
            // The number in the text chooses the image; any other text shows none.
            int Index = -1;
            if (!TryStrToInt(Trim(GetCellEx(ACol, ARow)), Index))
                Index = -1;
            if (Index >= 0 && Index < Images->GetCount())
                Images->Draw(ACanvas, Gr.Left, Gr.Top, Index);
        }
        break;
    case ctImages:
        if (TCustomImageList* Images = GetGridImageList())
            if (const TIntList* L = G->GetCellImages()) {
                int X = Gr.Left, Y = Gr.Top;
                for (int i = 0; i < L->Count(); ++i) {
                    const int Index = L->GetInteger(i);
                    if (Index >= 0 && Index < Images->GetCount())
                        Images->Draw(ACanvas, X, Y, Index);
                    if (G->GetCellBoolean())
                        X += Images->GetWidth();
                    else
                        Y += Images->GetHeight();
                }
            }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: {
        if (OnGetAlignment) {
            const bool DataKind = Kind == ctDataCheckBox || Kind == ctVirtCheckBox || Kind == ctRowCheckBox;
            if (HA == taRightJustify) {
                Gr.Right = DataKind ? R.Right - 1 : R.Right - T - 1;
                Gr.Left = Gr.Right - W;
            } else if (HA == taCenter) {
                Gr.Left = DataKind || T == 0 ? R.Left + (R.Width() - W) / 2 : R.Left + (R.Width() - T) / 2 - W;
            } else {
                Gr.Left = R.Left + 1;
            }
            if (Gr.Left < R.Left)
                Gr.Left = R.Left + 1;
            Gr.Right = Gr.Left + W;
        }
        const bool Enabled = CanEdit();
        bool Checked = G->GetCellBoolean();
        if (Kind == ctDataCheckBox || Kind == ctVirtCheckBox)
            Checked = GetCellEx(ACol, ARow) == GetCheckTrueText(ACol, ARow);
        RirEvoz::TCheckRadioContext C = CheckRadioContext();
        RirEvoz::DrawCellCheckBox(ACanvas, C, Gr, Checked, G->GetCellCheckBoxState(), Kind == ctTriStateCheckBox,
            FControlLook->GetControlStyle(), G->GetCellAngle() > 0, Enabled);
        break;
    }
    case ctRadioButton: {
        Gr.Left += FXYOffset.X;
        const int S = FControlLook->GetRadioSize();
        Gr.Right = Gr.Left + S;
        Gr.Bottom = Gr.Top + S;
        RirEvoz::TCheckRadioContext C = CheckRadioContext();
        RirEvoz::DrawCellRadio(ACanvas, C, Gr, false, GetDPIScale(), FControlLook->GetControlStyle(), false, nullptr,
            !CanEdit(), true, G->GetCellBoolean() ? 0 : -2, 1, String());
        break;
    }
    case ctRadio: {
        TStrings* Items = G->GetCellRadioItems();
        const int Count = Items ? Items->GetCount() : 0;
        RirEvoz::TCheckRadioContext C = CheckRadioContext();
        const bool Selected = IsSelected(DisplColIndex(TRealCol(ACol)).Value, ARow);
        RirEvoz::DrawCellRadio(ACanvas, C, R, false, GetDPIScale(), FControlLook->GetControlStyle(), Selected, Items,
            !CanEdit(), G->GetCellBoolean(), G->GetCellIndex(), Count, GetCellEx(ACol, ARow));
        break;
    }
    case ctRotated: DrawRotatedGraphic(ACanvas, ACol, ARow, Cell, G, HA, VA); break;
    case ctPicture:
        if (TPicture* P = G->GetCellPicture(); P && P->GetGraphic()) {
            TRect PR = Gr;
            if (!GetOptions().Contains(goVertLine))
                PR.Offset(-1, 0);
            if (!GetOptions().Contains(goHorzLine))
                PR.Offset(0, -2);
            if (G->GetCellAngle() != 0)
                ACanvas->StretchDraw(PR, P->GetGraphic());
            else
                ACanvas->Draw(PR.Left, PR.Top, P->GetGraphic());
        }
        break;
    case ctDataPicture:
        if (TPictureContainer* Container = GetPictureContainer())
            if (TGraphic* Pic = Container->FindPicture(GetCellEx(ACol, ARow)))
                ACanvas->Draw(Gr.Left, Gr.Top, Pic);
        break;
    case ctNode: DrawNodeGraphic(ACanvas, ACol, ARow, Cell, G); break;
    case ctProgress: {
        TRect B = Cell;
        const RirEvoz::TControlStyle Style = FControlLook->GetControlStyle();
        if ((Style == RirEvoz::csWinXP || Style == RirEvoz::csTheme) && FIsWinXP && FControlLook->GetProgressXP()
            && HandleAllocated()) {
            if (HTHEME Theme = IsThemeActive() ? OpenThemeData(GetHandle(), u"Progress") : nullptr) {
                B.Inflate(-FControlLook->GetProgressMarginX(), -FControlLook->GetProgressMarginY());
                RECT Bar = B;
                DrawThemeBackground(Theme, ACanvas->GetHandle(), 1, 1, &Bar, nullptr);
                TRect Inner = B;
                Inner.Inflate(-2, -2);
                if (FControlLook->GetProgressHeight() >= 1)
                    Inner.Bottom = Inner.Top + ScaledRound(FControlLook->GetProgressHeight() * GetDPIScale());
                const double V = GraphicFloatValue(ACol, ARow);
                const int Percent = ClampPercent(std::isfinite(V) ? int(std::clamp(V, -1.0, 101.0)) : 0);
                RECT Chunk = TRect(Inner.Left, Inner.Top, Inner.Left + Inner.Width() * Percent / 100, Inner.Bottom);
                DrawThemeBackground(Theme, ACanvas->GetHandle(), 3, 1, &Chunk, nullptr);
                CloseThemeData(Theme);
                ACanvas->Refresh();
                break;
            }
        }
        TColor FG = G->GetCellColor(), BK = G->GetCellColorTo();
        TColor TFG, TBK;
        const TCellProgressData& Pr = G->GetCellProgress();
        if (Pr.UseText) {
            TFG = Pr.TextColor;
            TBK = Pr.BkTextColor;
        } else {
            TFG = TColor(ColorToRGB(FG) ^ 0xFFFFFF);
            TBK = TColor(ColorToRGB(BK) ^ 0xFFFFFF);
        }
        ProgressColors(ACol, ARow, FG, BK, TFG, TBK);
        const TCellValueRange& Range = G->GetCellRange();
        VuzEraz::DrawProgressBarCell(ACanvas, B, FG, TFG, BK, TBK, GraphicFloatValue(ACol, ARow),
            FControlLook->GetProgressMarginX(), FControlLook->GetProgressMarginY(), Range.Min, Range.Max,
            Pr.Scale, Pr.Format, FControlLook->GetProgressBorderColor(), false);
        break;
    }
    case ctRangeIndicator: {
        TRect B = Cell;
        B.Inflate(-FControlLook->GetProgressMarginX(), -FControlLook->GetProgressMarginY());
        const double V = GraphicFloatValue(ACol, ARow);
        const int Value = std::isfinite(V) ? int(std::clamp(V, -2.0e9, 2.0e9)) : 0;
        VuzEraz::DrawCenteredValueBar(ACanvas, B, Value, G->GetCellIndex(), G->GetCellBoolean(), G->GetCellColor(),
            G->GetCellColorTo());
        break;
    }
    case ctXPProgress: {
        TRect B = Cell;
        B.Inflate(-FControlLook->GetProgressMarginX(), -FControlLook->GetProgressMarginY());
        B.Right -= 1;
        B.Bottom -= 1;
        const TCellValueRange& Range = G->GetCellRange();
        int Percent = 0;
        // An empty or inverted range has nothing to fill.
        if (Range.Max > Range.Min) {
            const double P
                = std::fabs(GraphicFloatValue(ACol, ARow) - Range.Min) / double(Range.Max - Range.Min) * 100.0;
            Percent = std::isfinite(P) ? int(RoundHalfEven(std::min(P, 100.0))) : 0;
        }
        const TGridProgressAppearance* A = FProgressAppearance.get();
        VuzEraz::TMultiLevelProgressAppearance M;
        M.Level0Color = A->GetLevel0Color();
        M.Level0ColorTo = A->GetLevel0ColorTo();
        M.Level1Color = A->GetLevel1Color();
        M.Level1ColorTo = A->GetLevel1ColorTo();
        M.Level2Color = A->GetLevel2Color();
        M.Level2ColorTo = A->GetLevel2ColorTo();
        M.Level3Color = A->GetLevel3Color();
        M.Level3ColorTo = A->GetLevel3ColorTo();
        M.Level1Perc = A->GetLevel1Perc();
        M.Level2Perc = A->GetLevel2Perc();
        M.BorderColor = A->GetBorderColor();
        M.ShowBorder = A->GetShowBorder();
        M.Stacked = A->GetStacked();
        M.ShowPercentage = A->GetShowPercentage();
        M.Font = ACanvas->GetFont();
        M.FontColor = ACanvas->GetFont()->GetColor();
        M.CompletionSmooth = A->GetCompletionSmooth();
        M.ShowGradient = A->GetShowGradient();
        M.Steps = A->GetSteps();
        M.BackgroundColor = TColor(0xFFFFFF);
        VuzEraz::DrawMultiLevelProgress(ACanvas, B, ClampPercent(Percent), M);
        break;
    }
    case ctProgressPie:
        VuzEraz::DrawPieIndicator(ACanvas, TRect(Gr.Left, Gr.Top, Gr.Left + 20, Gr.Top + 20), G->GetCellColor(),
            ClampPercent(G->GetCellAngle()), false);
        break;
    case ctButton:
    case ctBitButton:
    case ctExpand:
    case ctVirtButton: DrawButtonGraphic(ACanvas, ACol, ARow, Cell, Gr, G); break;
    case ctInterface:
        if (IGridCellObject* O = G->GetCellInterface())
            O->Draw(ACanvas, TRect(Cell.Left - 1, Cell.Top - 1, Cell.Right, Cell.Bottom), ACol, ARow,
                IsSelected(DisplColIndex(TRealCol(ACol)).Value, ARow), this);
        break;
    case ctShape:
        VuzEraz::DrawCellShape(ACanvas, Gr.Left, Gr.Top, Gr.Width(), Gr.Height(), G->GetCellAngle(), G->GetCellColor(),
            G->GetCellColorTo());
        break;
    case ctRating: {
        const double V = GraphicFloatValue(ACol, ARow);
        const double Rate = std::isfinite(V) ? std::floor(V * 2.0) / 2.0 : 0.0;
        for (int i = 1; i <= G->GetCellAngle(); ++i) {
            const int X = Gr.Left + 18 * (i - 1);
            const bool Full = Rate >= i;
            const TColor Fill = Full ? G->GetCellColor() : G->GetCellColorTo();
            VuzEraz::DrawCellShape(ACanvas, X, Gr.Top, 16, 16, VuzEraz::csStar, Fill, Fill);
            if (Rate > i - 1 && Rate < i)
                VuzEraz::DrawCellShape(ACanvas, X, Gr.Top, 16, 16, VuzEraz::csHalfStar, G->GetCellColor(),
                    G->GetCellColor());
        }
        break;
    }
    default: break;
    }

    // The comment mark in the top-right corner.
    if (!G->GetCellComment().empty() || (Kind == ctPicture && !G->GetCellText().empty())) {
        TColor C = FControlLook->GetCommentColor();
        if (!G->GetCellComment().empty() && G->GetCommentColor() != clNone)
            C = G->GetCommentColor();
        if (C != clNone) {
            const int Right = R.Right + FXYOffset.X, Top = R.Top - FXYOffset.Y;
            ACanvas->GetPen()->SetColor(C);
            ACanvas->GetBrush()->SetStyle(bsSolid);
            ACanvas->GetBrush()->SetColor(C);
            ACanvas->Polygon({ { Right - 8, Top + 1 }, { Right - 3, Top + 1 }, { Right - 3, Top + 6 } });
            ACanvas->GetBrush()->SetColor(GetColor());
        }
    }
}

RirEvoz::TCheckRadioContext TDedOzovedUrad::CheckRadioContext()
{
    RirEvoz::TCheckRadioContext C;
    C.Look = FControlLook.get();
    C.DPIScale = GetDPIScale();
    C.IsWinXP = FIsWinXP;
    C.IsComCtl6 = FIsComCtl6;
    C.XYOffset = FXYOffset;
    C.RightToLeft = UseRightToLeftAlignment();
    C.NoRTLOrientation = FNoRTLOrientation;
    C.ClientWidth = GetClientWidth();
    C.SelectionTextColor = GetSelectionTextColor();
    C.SelectionShown = SelectionShown();
    C.Window = HandleAllocated() ? GetHandle() : nullptr;
    return C;
}

void TDedOzovedUrad::DrawRotatedGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TCellGraphic* G, TAlignment HA,
    TVAlignment VA)
{
    const int Angle = G->GetCellAngle();
    const String Text = GetFormattedCell(ACol, ARow);
    TFont* Font = ACanvas->GetFont();
    const int OldOrientation = Font->GetOrientation();
    Font->SetOrientation(Angle * 10);
    ACanvas->GetBrush()->SetStyle(bsClear);
    TRect Clip = R;
    Clip.Inflate(-1, -1);

    // The measure canvas speaks the cell's font for the placement.
    TCanvas* Measure = MeasureCanvas();
    Measure->GetFont()->Assign(Font);
    Measure->GetFont()->SetOrientation(0);

    std::vector<String> Lines;
    {
        String Rest = Text;
        const int N = VuzEraz::CountLines(Text, true);
        for (int i = 0; i < N; ++i) {
            String Line;
            VuzEraz::TakeFirstLine(Rest, true, Line);
            Lines.push_back(Line);
        }
    }
    const bool Side = (Angle == 90 || Angle == 270) && Lines.size() > 1 && (GetMultilinecells() || GetWordWrap());
    if (Side) {
        String Widest;
        for (const String& L : Lines)
            if (Measure->TextWidth(L) > Measure->TextWidth(Widest))
                Widest = L;
        const int LineH = Measure->TextHeight(u"gh");
        const int Total = LineH * int(Lines.size());
        TRect Origin = R;
        TSize Size;
        PlaceRotatedText(Origin, Size, Angle, Widest, HAByte(HA), VAByte(VA));
        int X = Origin.Left;
        if (HA == taCenter)
            X -= (Total - LineH) / 2;
        else if (HA == taRightJustify)
            X = R.Right - Total;
        const int Step = Angle == 90 ? LineH : -LineH;
        if (Angle == 270 && HA == taRightJustify)
            X = R.Right;
        for (const String& L : Lines) {
            ACanvas->TextRect(Clip, X, Origin.Top, L);
            X += Step;
        }
    } else {
        const String Shown = Lines.empty() ? String() : Lines.front();
        TRect Origin = R;
        TSize Size;
        PlaceRotatedText(Origin, Size, Angle, Shown, HAByte(HA), VAByte(VA));
        ACanvas->TextRect(Clip, Origin.Left, Origin.Top, Shown);
    }
    Font->SetOrientation(OldOrientation);
    ACanvas->GetBrush()->SetStyle(bsSolid);

    // A rotated header keeps its sort glyph.
    bool Indicator = false;
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    if (IsSortHeaderCell(Shown, ARow, Indicator) && Indicator)
        DrawSortIndicator(ACanvas, Shown, R.Top + 8, R.Right - 10);
}

void TDedOzovedUrad::DrawNodeGraphic(TCanvas* ACanvas, int /*ACol*/, int ARow, TRect R, TCellGraphic* /*G*/)
{
    const TCellNode* N = FCellNode.get();
    const int Indent = N->GetNodeIndent();
    const int Level = std::max(0, FDataViews->GetNodeLevel(ARow));
    const int RowIndentPx = (Level + 1) * Indent;
    const bool Contracted = FDataViews->GetNodeState(ARow);
    const int Left0 = R.Left;
    R.Left += RowIndentPx - Indent;

    if (N->GetShowTree() && ARow >= GetFixedRows()) {
        ACanvas->GetPen()->SetColor(N->GetTreeColor());
        ACanvas->GetPen()->SetWidth(1);
        const int X = R.Left + Indent / 2 + 2, Mid = R.Top + R.Height() / 2;
        const int Next = ARow + 1 < GetRowCount() ? FDataViews->GetNodeLevel(ARow + 1) : -1;
        const int Prev = ARow - 1 >= GetFixedRows() ? FDataViews->GetNodeLevel(ARow - 1) : -1;
        if (Next > Level && !Contracted) {
            ACanvas->MoveTo(X, Mid);
            ACanvas->LineTo(X, R.Bottom);
        }
        if (Prev >= Level && Prev >= 0) {
            ACanvas->MoveTo(X, R.Top);
            ACanvas->LineTo(X, Mid);
        }
    }

    const int GX = Left0 + RowIndentPx - Indent / 2 - 4;
    TColor Back = ACanvas->GetBrush()->GetColor();
    if (Back == clNone)
        Back = GetFixedCols() == 0 ? GetColor() : GetFixedColor();
    const double Scale = GetDPIScale();
    switch (N->GetNodeType()) {
    case cnLeaf: {
        const int Y = R.Top + (R.Height() - 12) / 2;
        VuzEraz::DrawResourceBitmap(ACanvas, Back, TRect(GX, Y, GX + 16, Y + 16),
            Contracted ? u"DOULEAFCLOSE" : u"DOULEAFOPEN", Scale);
        break;
    }
    case cnXP: {
        const int X = GX + 4 - ScaledRound((Scale - 1) * 4) - 1;
        const int Y = R.Top + (R.Height() - 10) / 2;
        VuzEraz::DrawResourceBitmap(ACanvas, Back, TRect(X, Y, X + 16, Y + 16), Contracted ? u"XPNODEC" : u"XPNODEO",
            Scale);
        break;
    }
    case cnGlyph:
        if (N->GetExpandGlyph() && !N->GetExpandGlyph()->Empty() && N->GetContractGlyph()
            && !N->GetContractGlyph()->Empty()) {
            TBitmap* B = Contracted ? N->GetContractGlyph() : N->GetExpandGlyph();
            DrawTransparentBitmap(ACanvas, GX, R.Top + (R.Height() - B->GetHeight()) / 2, B);
            break;
        }
        [[fallthrough]];
    default: {
        const int X = GX + 4 - 4, Y = R.Top + (R.Height() - 8) / 2;
        const TRect Box(X, Y, X + 9, Y + 9);
        if (N->GetNodeType() == cn3D) {
            VuzEraz::FillRectColor(ACanvas, R, N->GetColor());
            ACanvas->GetPen()->SetColor(clWhite);
            ACanvas->MoveTo(R.Left, R.Bottom - 1);
            ACanvas->LineTo(R.Left, R.Top);
            ACanvas->LineTo(R.Right - 1, R.Top);
            ACanvas->GetPen()->SetColor(TColor(0x808080));
            ACanvas->LineTo(R.Right - 1, R.Bottom - 1);
            ACanvas->LineTo(R.Left, R.Bottom - 1);
        }
        ACanvas->GetBrush()->SetStyle(bsSolid);
        ACanvas->GetBrush()->SetColor(N->GetColor());
        if (N->GetNodeType() == cnFlat) {
            ACanvas->GetPen()->SetColor(N->GetNodeColor());
            ACanvas->Rectangle(Box);
            ACanvas->MoveTo(Box.Left + 2, Box.Top + 4);
            ACanvas->LineTo(Box.Left + 7, Box.Top + 4);
            if (Contracted) {
                ACanvas->MoveTo(Box.Left + 4, Box.Top + 2);
                ACanvas->LineTo(Box.Left + 4, Box.Top + 7);
            }
        } else {
            ACanvas->FillRect(Box);
            RECT E = Box;
            DrawEdge(ACanvas->GetHandle(), &E, Contracted ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT | BF_SOFT);
            ACanvas->Refresh();
        }
        break;
    }
    }
}

void TDedOzovedUrad::DrawButtonGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TRect Gr, TCellGraphic* G)
{
    const TCellType Kind = G->GetCellType();
    if (Kind == ctExpand)
        Gr = TRect(R.Right - 13, R.Top, R.Right, R.Top + 13);
    // Where the button sits in its cell, for the mouse code.
    const int OffX = std::max(0, Gr.Left - R.Left), OffY = std::max(0, Gr.Top - R.Top);
    G->SetCellValue(double((unsigned(OffY) << 16) | (unsigned(OffX) & 0xFFFFu)));

    int Style = FControlLook->GetFlatButton() ? VuzEraz::bkFlat : (FIsWinXP ? VuzEraz::bkThemed : VuzEraz::bkClassic);
    if (GetFlat() && FTones.Background.BrushColor != clNone)
        Style = VuzEraz::bkCustom;
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    int State = VuzEraz::bsNormal;
    if (G->GetCellBoolean())
        State = VuzEraz::bsDown;
    else if (FHotButtonCell.X == Shown && FHotButtonCell.Y == ARow)
        State = VuzEraz::bsHot;
    if (Kind != ctExpand && !FControlLook->GetNoDisabledButtonLook()) {
        bool Allow = true;
        CanEditCell(ACol, ARow, Allow);
        if (!Allow)
            State = VuzEraz::bsDisabled;
    }
    VuzEraz::DrawPushButton(ACanvas, HandleAllocated() ? GetHandle() : nullptr, Gr, Style, State, FTones, false,
        String());

    TRect Content = Gr;
    if (State == VuzEraz::bsDown)
        Content.Offset(1, 1);

    if (Kind == ctExpand) {
        ACanvas->GetPen()->SetColor(clBlack);
        ACanvas->GetPen()->SetWidth(1);
        const int Rt = Content.Right, Tp = Content.Top;
        const bool Expanded = GetExpandState(ACol, ARow);
        if (!Expanded)
            ACanvas->Polyline({ { Rt - 10, Tp + 8 }, { Rt - 7, Tp + 5 }, { Rt - 3, Tp + 9 } });
        else
            ACanvas->Polyline({ { Rt - 10, Tp + 5 }, { Rt - 7, Tp + 8 }, { Rt - 3, Tp + 4 } });
        return;
    }

    const String Caption = G->GetCellText();
    if (Kind == ctBitButton)
        if (TBitmap* Glyph = G->GetCellBitmap(); Glyph && !Glyph->Empty()) {
            const int GH = Glyph->GetHeight();
            const int Y = GH <= Content.Height() ? Content.Top + (Content.Height() - GH) / 2 : Content.Top + 3;
            if (!Caption.empty()) {
                DrawTransparentBitmap(ACanvas, Content.Left + 3, Y, Glyph);
                Content.Left += 3 + Glyph->GetWidth() + 4;
            } else {
                DrawTransparentBitmap(ACanvas, Content.Left + (Content.Width() - Glyph->GetWidth()) / 2, Y, Glyph);
            }
        }
    if (Caption.empty())
        return;
    if (Style == VuzEraz::bkCustom) {
        const TColorTone& Tone = State == VuzEraz::bsDown ? FTones.Selected
            : State == VuzEraz::bsHot                   ? FTones.Hover
            : State == VuzEraz::bsDisabled              ? FTones.Disabled
                                                        : FTones.Background;
        ACanvas->GetFont()->SetColor(Tone.TextColor);
    }
    ACanvas->GetBrush()->SetStyle(bsClear);
    const String Upper = UpperCase(Caption);
    if (Upper.find(u"</") != String::npos || Upper.find(u"<I") != String::npos) {
        String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
        int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
        TRect HitRect, ControlRect;
        VovHTMLE::DrawHTMLText(ACanvas, Caption, Content, FGridImages, -1, -1, -1, -1, 1, false, false, false, false,
            false, false, true, false, String(), 1.0, clBlue, clNone, clNone, TColor(0x808080), HitAnchor, Stripped,
            FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue,
            ControlType, FImageCache.get(), FPictureContainer, HandleAllocated() ? GetHandle() : nullptr,
            float(GetDPIScale()), 0);
    } else {
        UINT Flags = DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS;
        Flags |= Caption.find_first_of(u"\r\n") != String::npos ? DT_WORDBREAK : DT_SINGLELINE;
        if (!FControlLook->GetButtonPrefix())
            Flags |= DT_NOPREFIX;
        ACanvas->TextWidth(String());
        SetBkMode(ACanvas->GetHandle(), TRANSPARENT);
        SetTextColor(ACanvas->GetHandle(), COLORREF(ColorToRGB(ACanvas->GetFont()->GetColor())));
        RECT TR = Content;
        String Shown = Caption;
        DrawText(ACanvas->GetHandle(), Shown, &TR, Flags);
    }
    ACanvas->GetBrush()->SetStyle(bsSolid);
}

// ---- sort glyph ----

void TDedOzovedUrad::DrawSortIndicator(TCanvas* ACanvas, int ACol, int Y, int X)
{
    const TSortSettings* Sort = FSortSettings.get();
    const double s = GetDPIScale();
    const int RCol = RealColIndex(TDisplayCol(ACol)).Value;
    const bool IndexShow = Sort->GetIndexShow();
    const bool IndexGlyphs = Sort->GetIndexUpGlyph() && !Sort->GetIndexUpGlyph()->Empty()
        && Sort->GetIndexDownGlyph() && !Sort->GetIndexDownGlyph()->Empty();
    const bool Glyphs = Sort->GetUpGlyph() && !Sort->GetUpGlyph()->Empty() && Sort->GetDownGlyph()
        && !Sort->GetDownGlyph()->Empty();
    if (UseRightToLeftAlignment()) {
        X = GetClientWidth() - X - 11;
        if (IndexShow && IndexGlyphs)
            X -= Sort->GetIndexUpGlyph()->GetWidth();
        else if (!IndexShow && Glyphs)
            X -= Sort->GetUpGlyph()->GetWidth();
    }
    ACanvas->GetPen()->SetColor(clBlack);
    ACanvas->GetPen()->SetWidth(1);
    ACanvas->GetBrush()->SetStyle(bsSolid);

    if (IndexShow) {
        const int p = FSortIndexes->FindIndex(RCol);
        if (p < 0)
            return;
        const int r = ScaledRound(7 * s), a = ScaledRound(4 * s), b = ScaledRound(9 * s);
        const bool Descending = !FSortIndexes->GetSortDirections(p);
        ACanvas->GetBrush()->SetColor(Sort->GetIndexColor());
        int NumberShift = 0;
        if (Descending) {
            if (IndexGlyphs)
                DrawTransparentBitmap(ACanvas, X - 7, Y - 7, Sort->GetIndexUpGlyph());
            else
                ACanvas->Polygon({ { X - r, Y - a }, { X + r, Y - a }, { X, Y + b } });
        } else {
            if (IndexGlyphs)
                DrawTransparentBitmap(ACanvas, X - 7, Y - 7, Sort->GetIndexDownGlyph());
            else
                ACanvas->Polygon({ { X - r, Y + b }, { X + r, Y + b }, { X, Y - a } });
            NumberShift = 1;
        }
        TFont* Font = ACanvas->GetFont();
        const int OldSize = Font->GetSize();
        const TColor OldColor = Font->GetColor();
        Font->SetSize(std::max(1, ScaledRound(6 * s)));
        Font->SetColor(clBlack);
        ACanvas->GetBrush()->SetStyle(bsClear);
        ACanvas->TextWidth(String());
        SetBkMode(ACanvas->GetHandle(), TRANSPARENT);
        SetTextColor(ACanvas->GetHandle(), COLORREF(0));
        RECT NR = TRect(X - r, Y - a + NumberShift, X + r, Y + b + NumberShift);
        String Number = IntToStr(p + 1);
        DrawText(ACanvas->GetHandle(), Number, &NR, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        Font->SetSize(OldSize);
        Font->SetColor(OldColor);
        ACanvas->GetBrush()->SetStyle(bsSolid);
        return;
    }

    const int r = ScaledRound(4 * s), a = ScaledRound(2 * s), b = ScaledRound(5 * s);
    ACanvas->GetBrush()->SetColor(clBlack);
    if (Sort->GetDirection() == sdDescending) {
        if (Glyphs) {
            DrawTransparentBitmap(ACanvas, X - 4, Y - 4, Sort->GetDownGlyph());
            ACanvas->GetBrush()->SetColor(GetFixedColor());
        } else {
            ACanvas->Polygon({ { X - r, Y - a }, { X + r, Y - a }, { X, Y + b } });
        }
    } else {
        if (Glyphs) {
            DrawTransparentBitmap(ACanvas, X - 4, Y - 4, Sort->GetUpGlyph());
            ACanvas->GetBrush()->SetColor(GetFixedColor());
        } else {
            ACanvas->Polygon({ { X - r, Y + b }, { X + r, Y + b }, { X, Y - a } });
        }
    }
}

// ---- error zigzag ----

void TDedOzovedUrad::DrawErrorUnderline(TCanvas* ACanvas, TRect R, const String& Text, int ErrFrom, int ErrLen)
{
    if (ErrLen <= 0 || ErrFrom < 0 || !HandleAllocated())
        return;
    // One hidden edit measures for every paint, made on first use.
    if (!FErrorMeter) {
        auto* Meter = new TEdit(this);
        Meter->SetVisible(false);
        Meter->SetBorderStyle(bsNone);
        Meter->SetParent(this);
        FErrorMeter = Meter;
    }
    FErrorMeter->GetFont()->Assign(ACanvas->GetFont());
    VuzEraz::DrawErrorUnderline(FErrorMeter, ACanvas, Text, R, 0, ErrFrom, ErrLen);
}
