// The room a cell object takes: on screen and on any canvas for layout and
// sizing, and its natural size for printing.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/ImgList.h"
#include "richtext/PictureContainer.h"

namespace {

bool IsCheckBoxKind(TCellType Kind)
{
    return Kind == ctCheckBox || Kind == ctDataCheckBox || Kind == ctVirtCheckBox || Kind == ctRowCheckBox
        || Kind == ctTriStateCheckBox;
}

int ScaledRound(double v) { return int(RoundHalfEven(v)); }

// A button's size, packed as width in the low and height in the high 16 bits.
int PackedWidth(int Packed) { return int(unsigned(Packed) & 0xFFFFu); }
int PackedHeight(int Packed) { return int((unsigned(Packed) >> 16) & 0xFFFFu); }

// A radio group's items side by side (CellBoolean) or stacked.
TPoint RadioExtent(TCanvas* Canvas, const TStrings* Items, bool SideBySide, double Zoom, bool Print)
{
    const int Count = Items ? Items->GetCount() : 0;
    const int LineH = Canvas->TextHeight(u"gh");
    if (SideBySide) {
        int W = 0;
        for (int i = 0; i < Count; ++i)
            W += Canvas->TextWidth(Items->GetStrings(i)) + 12;
        return TPoint(W, LineH);
    }
    int Widest = 0;
    for (int i = 0; i < Count; ++i)
        Widest = std::max(Widest, Canvas->TextWidth(Items->GetStrings(i)));
    if (Print)
        return TPoint(12 + Widest, LineH * Count);
    return TPoint(12 + Widest, std::max(16, ScaledRound(double(LineH + 3) * Count / Zoom)));
}

// A ctImages object: count images side by side (CellBoolean) or stacked.
TPoint ImagesExtent(const TBaseCellGraphic* G, const TCustomImageList* Images)
{
    const TIntList* List = G->GetCellImages();
    if (!Images || !List)
        return TPoint(0, 0);
    const int N = List->Count();
    if (G->GetCellBoolean())
        return TPoint(N * Images->GetWidth(), Images->GetHeight());
    return TPoint(Images->GetWidth(), N * Images->GetHeight());
}

} // namespace

TSize TDedOzovedUrad::GetCellGraphicSize(int ACol, int ARow) { return GetCellGraphicSizeMargin(ACol, ARow, 0); }

TSize TDedOzovedUrad::GetCellGraphicSizeMargin(int ACol, int ARow, int Margin)
{
    TCanvas* Canvas = MeasureCanvas();
    Canvas->GetFont()->Assign(GetFonts(ACol, ARow));
    TPoint Result(0, 0);
    GetCellGraphicExtent(Canvas, ACol, ARow, Margin, 1.0, Result);
    return TSize { Result.X, Result.Y };
}

void TDedOzovedUrad::GetCellGraphicExtent(TCanvas* Canvas, int ACol, int ARow, int Margin, double Zoom,
    TPoint& Result)
{
    Result = TPoint(0, 0);
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || !Canvas)
        return;
    if (Zoom <= 0)
        Zoom = 1.0;
    const String Text = GetCellEx(ACol, ARow);
    const bool WithText = !Text.empty();
    const TCellHAlign HAlign = G->GetCellHAlign();
    const TCellVAlign VAlign = G->GetCellVAlign();
    const bool Beside = HAlign == haBeforeText || HAlign == haAfterText;
    const bool AboveBelow = VAlign == vaUnderText || VAlign == vaAboveText;
    const double Scale = GetDPIScale();
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    const int CellW = GetAllColWidths(ACol);
    const int CellH = ARow >= 0 && ARow < GetRowCount() ? GetRowHeights(ARow) : GetDefaultRowHeight();
    const int PicW = CellW - XYOffsetWidth() - 1;
    const int PicH = CellH - XYOffsetHeight() - Margin - 1;
    bool FullCellRule = true;

    switch (G->GetCellType()) {
    case ctIcon:
        if (const TIcon* Icon = G->GetCellIcon())
            Result = TPoint(Beside || !WithText ? Icon->GetWidth() : 0, Icon->GetHeight());
        break;
    case ctBitmap:
        if (const TBitmap* Bmp = G->GetCellBitmap())
            Result = TPoint(Beside || !WithText ? Bmp->GetWidth() : 0, AboveBelow || !WithText ? Bmp->GetHeight() : 0);
        break;
    case ctImageList:
    case ctDataImage:
        if (const TCustomImageList* Images = GetGridImageList())
            Result = TPoint(Beside || !WithText ? Images->GetWidth() : 0,
                AboveBelow || !WithText ? Images->GetHeight() : 0);
        break;
    case ctPicture:
    case ctFilePicture: G->GetPictureSize(PicW, PicH, nullptr, WithText, Result); break;
    case ctDataPicture:
        if (TPictureContainer* Container = GetPictureContainer())
            if (TGraphic* Pic = Container->FindPicture(Text))
                G->GetPictureSize(PicW, PicH, Pic, WithText, Result);
        break;
    case ctButton:
    case ctBitButton:
    case ctVirtButton: {
        Result = TPoint(ScaledRound(PackedWidth(G->GetCellIndex()) * Scale),
            ScaledRound(PackedHeight(G->GetCellIndex()) * Scale));
        if (WithText) {
            if (AboveBelow || HAlign == haCenter)
                Result.X = 0;
            else if (HAlign == haFull)
                Result.X = ScaledRound((Canvas->TextWidth(G->GetCellText()) + 4) / Zoom);
            if (!AboveBelow && !Beside)
                Result.Y = 0;
        } else if (HAlign == haFull) {
            Result.X = ScaledRound((Canvas->TextWidth(G->GetCellText()) + 8) / Zoom);
            if (!G->GetCellText().empty())
                FullCellRule = false;
        }
        break;
    }
    case ctInterface: {
        IGridCellObject* Object = G->GetCellInterface();
        const int W = Object ? Object->GetWidth() : 0;
        const int H = Object ? Object->GetHeight() : 0;
        if (W == 0 || H == 0) {
            const TRect R = ComputeCellRect(Shown, ARow);
            Result = TPoint(R.Width(), R.Height());
        } else {
            Result = TPoint(W, H);
        }
        break;
    }
    case ctProgressPie: Result = TPoint(20, 20); break;
    case ctRadioButton: {
        const int R = FControlLook->GetRadioSize();
        Result = TPoint(R, R);
        break;
    }
    case ctRadio: Result = RadioExtent(Canvas, G->GetCellRadioItems(), G->GetCellBoolean(), Zoom, false); break;
    case ctRating:
        Result = TPoint(18 * G->GetCellAngle(), 16);
        FullCellRule = false;
        break;
    case ctShape: Result = TPoint(GetDefaultRowHeight() - 4, GetDefaultRowHeight() - 4); break;
    case ctImages: Result = ImagesExtent(G, GetGridImageList()); break;
    default:
        if (IsCheckBoxKind(G->GetCellType())) {
            const int S = ScaledRound(FControlLook->GetCheckSize() * Scale);
            Result = TPoint(S, S);
        }
        break;
    }

    if (FullCellRule && (VAlign == vaFull || HAlign == haFull)) {
        const TRect R = ComputeCellRect(Shown, ARow);
        if (VAlign == vaFull)
            Result.Y = R.Height();
        if (HAlign == haFull)
            Result.X = R.Width();
    }
}

void TDedOzovedUrad::GetCellGraphicPrintSize(int ACol, int ARow, int W, int H, double /*Zoom*/, TPoint& Result)
{
    Result = TPoint(0, 0);
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return;
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    switch (G->GetCellType()) {
    case ctBitmap:
        if (const TBitmap* Bmp = G->GetCellBitmap())
            Result = TPoint(Bmp->GetWidth(), Bmp->GetHeight());
        break;
    case ctIcon:
        if (const TIcon* Icon = G->GetCellIcon())
            Result = TPoint(Icon->GetWidth(), Icon->GetHeight());
        break;
    case ctImageList:
    case ctDataImage:
        if (const TCustomImageList* Images = GetGridImageList())
            Result = TPoint(Images->GetWidth(), Images->GetHeight());
        break;
    case ctProgressPie: Result = TPoint(20, 20); break;
    case ctRadio: {
        TCanvas* Canvas = MeasureCanvas();
        Canvas->GetFont()->Assign(GetFonts(ACol, ARow));
        Result = RadioExtent(Canvas, G->GetCellRadioItems(), G->GetCellBoolean(), 1.0, true);
        break;
    }
    case ctImages: Result = ImagesExtent(G, GetGridImageList()); break;
    case ctPicture:
    case ctFilePicture: G->GetPictureSize(W, H, nullptr, false, Result); break;
    case ctDataPicture:
        if (TPictureContainer* Container = GetPictureContainer())
            if (TGraphic* Pic = Container->FindPicture(GetCellEx(ACol, ARow)))
                G->GetPictureSize(W, H, Pic, false, Result);
        break;
    case ctProgress:
    case ctXPProgress:
        Result = TPoint(GetAllColWidths(ACol), ARow >= 0 && ARow < GetRowCount() ? GetRowHeights(ARow) : 0);
        break;
    case ctButton:
    case ctBitButton:
    case ctVirtButton: Result = TPoint(PackedWidth(G->GetCellIndex()), PackedHeight(G->GetCellIndex())); break;
    case ctInterface: {
        IGridCellObject* Object = G->GetCellInterface();
        const TRect R = ComputeCellRect(Shown, ARow);
        const int OW = Object ? Object->GetWidth() : 0;
        const int OH = Object ? Object->GetHeight() : 0;
        Result = TPoint(OW ? OW : R.Width(), OH ? OH : R.Height());
        break;
    }
    case ctRadioButton: Result = TPoint(FControlLook->GetRadioSize(), FControlLook->GetRadioSize()); break;
    case ctShape: {
        const int S = (ARow >= 0 && ARow < GetRowCount() ? GetRowHeights(ARow) : 0) - 2 * FXYOffset.Y;
        Result = TPoint(S, S);
        break;
    }
    default:
        if (IsCheckBoxKind(G->GetCellType())) {
            const int S = ScaledRound(FControlLook->GetCheckSize() * GetDPIScale());
            Result = TPoint(S, S);
        }
        break;
    }
}
