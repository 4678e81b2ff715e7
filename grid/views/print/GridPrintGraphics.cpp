// Printed cell graphics: where a cell's object sits in its printed cell and
// how each kind prints (pictures, icons, image-list images, boxes, nodes,
// comments, progress bars and pies, buttons, shapes, self-drawing objects).

#include "grid/views/print/GridPrintJob.h"

#include <cmath>

#include "grid/core/CellPainters.h"
#include "grid/core/GridPainters.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ImgList.h"

namespace {

int Rnd(double v) { return int(RoundHalfEven(v)); }

bool IsBoxKind(TCellType K)
{
    return K == ctCheckBox || K == ctDataCheckBox || K == ctVirtCheckBox || K == ctRowCheckBox || K == ctRadioButton;
}

// An index that names an image of the list.
bool ValidImage(TCustomImageList* Images, int Index) { return Images && Index >= 0 && Index < Images->GetCount(); }

} // namespace

void TGridPrintJob::PlaceGraphic(TCellGraphic* Graphic, int c, int rc, int ARow, int D, int F, TAlignment HA,
    const String& Text, TRect& Cell, TRect& TextArea, TRect& GR)
{
    TPoint Size(0, 0);
    G.GetCellGraphicPrintSize(rc, ARow, D, F, r, Size);
    const TCellType Kind = Graphic->GetCellType();
    const bool Picture = Kind == ctBitmap || Kind == ctPicture || Kind == ctFilePicture || Kind == ctInterface;
    int w = Size.X, h = Size.Y;
    if (!(Picture && Graphic->GetCellAngle() != 0)) {
        w = Rnd(w * r);
        h = Rnd(h * r);
    }
    GR = Cell;
    switch (Graphic->GetCellHAlign()) {
    case haLeft:
    case haBeforeText:
        GR.Left = Cell.Left + Rnd(r);
        GR.Right = GR.Left + w;
        TextArea.Left = GR.Right;
        break;
    case haRight:
    case haAfterText:
        GR.Left = Cell.Right - w;
        GR.Right = Cell.Right;
        TextArea.Right = Cell.Right - w;
        break;
    case haCenter:
        GR.Left = Cell.Left + (D - w) / 2;
        GR.Right = GR.Left + w;
        break;
    default: break;
    }
    switch (Graphic->GetCellVAlign()) {
    case vaTop:
        GR.Top = Cell.Top;
        GR.Bottom = Cell.Top - h;
        break;
    case vaBottom:
        GR.Top = Cell.Bottom + h;
        GR.Bottom = Cell.Bottom;
        break;
    case vaCenter:
        GR.Top = Cell.Top - (F - h) / 2;
        GR.Bottom = GR.Top - h;
        break;
    case vaUnderText:
        GR.Top = Cell.Bottom + h;
        GR.Bottom = Cell.Bottom;
        TextArea.Bottom = Cell.Bottom + h;
        break;
    case vaAboveText:
        GR.Top = Cell.Top;
        GR.Bottom = Cell.Top - h;
        TextArea.Top = Cell.Top - h;
        break;
    default: break;
    }
    if (IsBoxKind(Kind) && Text.empty()) {
        if (HA == taRightJustify) {
            GR.Left = Cell.Right - w;
            GR.Right = Cell.Right;
            TextArea.Right = Cell.Right - w;
        } else if (HA == taCenter) {
            GR.Left = Indent(c) + (D - w) / 2;
            GR.Right = GR.Left + w;
        }
    }
}

void TGridPrintJob::PrintGraphic(TRect R, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    InDeviceUnits(R, [&] { Canvas->StretchDraw(R, Graphic); });
}

void TGridPrintJob::DrawImageListImage(int Index, TRect R)
{
    TCustomImageList* Images = G.GetGridImages();
    if (!ValidImage(Images, Index))
        return;
    TBitmap Bmp;
    Bmp.SetSize(Images->GetWidth(), Images->GetHeight());
    Bmp.GetCanvas()->GetBrush()->SetColor(Canvas->GetBrush()->GetColor());
    Bmp.GetCanvas()->GetPen()->SetColor(Canvas->GetBrush()->GetColor());
    Bmp.GetCanvas()->Rectangle(0, 0, Bmp.GetWidth(), Bmp.GetHeight());
    Images->Draw(Bmp.GetCanvas(), 0, 0, Index);
    PrintGraphic(R, &Bmp);
    OutGraphic(R, "image");
}

void TGridPrintJob::DrawGraphic(TCellGraphic* Graphic, int c, int rc, int ARow, TRect GR, int TextRight,
    TColor Background, TColor ColorTo)
{
    const TCellType Kind = Graphic->GetCellType();
    TCustomImageList* Images = G.GetGridImages();
    // The box of check boxes, radio buttons and buttons: as tall as on screen.
    auto BoxRect = [&] {
        TRect B = GR;
        B.Bottom = B.Top - Rnd(G.GetCellGraphicSize(rc, ARow).cy * r);
        const int Down = Rnd(G.GetXYOffset().Y * r);
        B.Top -= Down;
        B.Bottom -= Down;
        return B;
    };
    auto FrameControl = [&](TRect B, UINT Type, UINT State) {
        InDeviceUnits(B, [&] {
            RECT Rc = B;
            DrawFrameControl(Canvas->GetHandle(), &Rc, Type, State);
        });
    };
    const bool Flat = G.GetControlLook()->GetControlStyle() == RirEvoz::csFlat;

    switch (Kind) {
    case ctBitmap:
        PrintGraphic(GR, Graphic->GetCellBitmap());
        OutGraphic(GR, "bitmap");
        break;
    case ctIcon:
        // A mask and XOR pair cannot draw on a PDF page: the icon's own
        // ARGB image prints.
        PrintGraphic(GR, Graphic->GetCellIcon());
        OutGraphic(GR, "icon");
        break;
    case ctNone:
        break;
    case ctImageList:
        DrawImageListImage(Graphic->GetCellIndex(), GR);
        break;
    case ctDataImage: {
        // The number in the text chooses the image; any other text prints none.
        int Index = -1;
        if (!TryStrToInt(Trim(G.GetCellEx(rc, ARow)), Index))
            Index = -1;
        DrawImageListImage(Index, GR);
        break;
    }
    case ctImages: {
        const TIntList* List = Graphic->GetCellImages();
        if (!Images || !List)
            break;
        const int IW = Rnd(Images->GetWidth() * r), IH = Rnd(Images->GetHeight() * r);
        for (int i = 0; i < List->GetCount(); ++i) {
            TRect R;
            if (Graphic->GetCellBoolean())
                R = TRect(GR.Left + i * IW, GR.Top, GR.Left + i * IW + IW, GR.Bottom);
            else
                R = TRect(GR.Left, GR.Top - i * IH, GR.Right, GR.Top - i * IH - IH);
            DrawImageListImage((*List)[i], R);
        }
        break;
    }
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox: {
        TCheckBoxState State = cbUnchecked;
        G.GetCheckBoxState(rc, ARow, State);
        const TRect B = BoxRect();
        FrameControl(B, DFC_BUTTON, UINT(DFCS_BUTTONCHECK) | (State == cbChecked ? UINT(DFCS_CHECKED) : 0u) | (Flat ? UINT(DFCS_FLAT) : 0u));
        OutGraphic(B, Flat ? (State == cbChecked ? "flat checked box" : "flat box")
                           : (State == cbChecked ? "checked box" : "box"));
        break;
    }
    case ctRadioButton: {
        const bool Checked = G.IsRadioButtonChecked(rc, ARow);
        const TRect B = BoxRect();
        FrameControl(B, DFC_BUTTON, UINT(DFCS_BUTTONRADIO) | (Checked ? UINT(DFCS_CHECKED) : 0u) | (Flat ? UINT(DFCS_FLAT) : 0u));
        OutGraphic(B, Checked ? "checked radio" : "radio");
        break;
    }
    case ctRadio: {
        TRect B = BoxRect();
        TStrings* Items = Graphic->GetCellRadioItems();
        if (!Items)
            break;
        InDeviceUnits(B, [&] {
            RirEvoz::DrawCellRadio(Canvas, G.CheckRadioContext(), B, false, d, G.GetControlLook()->GetControlStyle(),
                false, Items, false, Graphic->GetCellBoolean(), Graphic->GetCellIndex(), Items->GetCount(),
                G.GetCellEx(rc, ARow));
        });
        OutGraphic(B, "radio group");
        break;
    }
    case ctNode: {
        const int L = GR.Left + (GR.Right - GR.Left - 20) / 2;
        const int T = GR.Top - (GR.Top - GR.Bottom - 20) / 2;
        TPen Saved;
        Saved.Assign(Canvas->GetPen());
        Canvas->GetPen()->SetColor(G.GetCellNode()->GetNodeColor());
        Canvas->GetPen()->SetWidth(1);
        Canvas->Rectangle(L, T, L + 20, T - 20);
        const int MidY = GR.Top - (GR.Top - GR.Bottom) / 2;
        OutLine(L, MidY, L + 18, MidY);
        if (Graphic->GetCellBoolean()) {
            const int MidX = GR.Left + (GR.Right - GR.Left) / 2;
            OutLine(MidX, T, MidX, T - 18);
        }
        Canvas->GetPen()->Assign(&Saved);
        OutGraphic(TRect(L, T, L + 20, T - 20), Graphic->GetCellBoolean() ? "node plus" : "node minus");
        break;
    }
    case ctPicture: {
        TPicture* Pic = Graphic->GetCellPicture();
        if (!Pic || !Pic->GetGraphic() || Pic->GetGraphic()->Empty())
            break;
        TBitmap Bmp;
        Bmp.SetPixelFormat(pf24bit);
        Bmp.SetSize(Pic->GetGraphic()->GetWidth(), Pic->GetGraphic()->GetHeight());
        const TColor From = Background == clNone ? ColorTo : Background;
        const TColor To = ColorTo == clNone ? From : ColorTo;
        if (From != clNone)
            VuzEraz::FillGradientRect(Bmp.GetCanvas(), From, To, 128, TRect(0, 0, Bmp.GetWidth(), Bmp.GetHeight()),
                G.GetBackGround()->GetDisplay() == bdGradientHorz);
        Bmp.GetCanvas()->Draw(0, 0, Pic->GetGraphic());
        PrintGraphic(GR, &Bmp);
        OutGraphic(GR, "picture");
        break;
    }
    case ctFilePicture: {
        TFilePicture* FP = Graphic->GetCellFilePicture();
        if (!FP || !FileExists(FP->GetFilename()))
            break;
        try {
            TPicture Pic;
            Pic.LoadFromFile(FP->GetFilename());
            if (!Pic.GetGraphic() || Pic.GetGraphic()->Empty())
                break;
            TBitmap Bmp;
            Bmp.SetPixelFormat(pf24bit);
            Bmp.SetSize(Pic.GetGraphic()->GetWidth(), Pic.GetGraphic()->GetHeight());
            Bmp.GetCanvas()->Draw(0, 0, Pic.GetGraphic());
            PrintGraphic(GR, &Bmp);
            OutGraphic(GR, "file picture");
        } catch (const std::exception&) {
            // An unreadable picture file leaves the graphic out.
        }
        break;
    }
    case ctProgress: {
        TRect B(GR.Left, GR.Top - Rnd(2 * r), TextRight, GR.Bottom + Rnd(4 * r));
        TColor FG = Graphic->GetCellColor(), BK = Graphic->GetCellColorTo(), TFG, TBK;
        const TCellProgressData& Pr = Graphic->GetCellProgress();
        if (Pr.UseText) {
            TFG = Pr.TextColor;
            TBK = Pr.BkTextColor;
        } else {
            TFG = TColor(ColorToRGB(FG) ^ 0xFFFFFF);
            TBK = TColor(ColorToRGB(BK) ^ 0xFFFFFF);
        }
        const TCellValueRange& Range = Graphic->GetCellRange();
        const double Value = G.GraphicFloatValue(rc, ARow);
        InDeviceUnits(B, [&] {
            VuzEraz::DrawProgressBarCell(Canvas, B, FG, TFG, BK, TBK, Value, G.GetControlLook()->GetProgressMarginX(),
                G.GetControlLook()->GetProgressMarginY(), Range.Min, Range.Max, Pr.Scale, Pr.Format,
                G.GetControlLook()->GetProgressBorderColor(), true);
        });
        Canvas->GetPen()->SetColor(clBlack);
        TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opGraphic;
        Op.R = TRect(GR.Left, GR.Top - Rnd(2 * r), TextRight, GR.Bottom + Rnd(4 * r));
        Op.Text = u"progress";
        Op.Color = TFG;
        Op.Width = int(TBK);
        Record(Op);
        break;
    }
    case ctProgressPie: {
        TRect B = GR;
        const int Value = Graphic->GetCellAngle();
        InDeviceUnits(B, [&] { VuzEraz::DrawPieIndicator(Canvas, B, Graphic->GetCellColor(), Value, true); });
        OutGraphic(GR, "pie");
        break;
    }
    case ctButton:
    case ctBitButton:
    case ctVirtButton: {
        TRect B = GR;
        B.Bottom = B.Top - Rnd(G.GetCellGraphicSize(rc, ARow).cy * r);
        InDeviceUnits(B, [&] {
            RECT Rc = B;
            DrawFrameControl(Canvas->GetHandle(), &Rc, DFC_BUTTON, DFCS_BUTTONPUSH);
        });
        Canvas->GetBrush()->SetStyle(bsClear);
        OutText(GR.Left, GR.Top, Graphic->GetCellText());
        Canvas->GetBrush()->SetStyle(bsSolid);
        OutGraphic(B, "button");
        break;
    }
    case ctShape: {
        const int Down = Rnd(G.GetXYOffset().Y * r);
        TRect B(GR.Left, GR.Top - Down, GR.Left + (GR.Right - GR.Left - 1),
            GR.Top - Down - (GR.Top - GR.Bottom - Rnd(4 * r) + 1));
        const TColor Fill = Graphic->GetCellColor(), Line = Graphic->GetCellColorTo();
        const int Shape = Graphic->GetCellIndex();
        InDeviceUnits(B, [&] {
            VuzEraz::DrawCellShape(Canvas, B.Left, B.Top, B.Width(), B.Height(), Shape, Fill, Line);
        });
        OutGraphic(B, "shape");
        break;
    }
    case ctInterface: {
        IGridCellObject* Object = Graphic->GetCellInterface();
        if (!Object)
            break;
        int BW = Object->GetWidth(), BH = Object->GetHeight();
        TRect Dev = GR;
        InDeviceUnits(Dev, [] { });
        if (BW == 0)
            BW = Dev.Width();
        if (BH == 0)
            BH = Dev.Height();
        if (BW <= 0 || BH <= 0)
            break;
        TBitmap Bmp;
        Bmp.SetSize(BW, BH);
        Object->Draw(Bmp.GetCanvas(), TRect(0, 0, BW - 1, BH - 1), rc, ARow, false, &G);
        PrintGraphic(GR, &Bmp);
        TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opGraphic;
        Op.R = GR;
        Op.Text = u"object " + IntToStr(BW) + u"x" + IntToStr(BH);
        Record(Op);
        break;
    }
    default: break;
    }
    (void)c;

    // A comment's red corner.
    const String& Comment = Graphic->GetCellComment();
    if (Kind == ctNone && !Comment.empty() && S().GetPrintComments()) {
        const int K = Rnd(8 * r);
        TBrush Saved;
        Saved.Assign(Canvas->GetBrush());
        Canvas->GetBrush()->SetColor(TColor(0x0000FF));
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->Polygon({ { TextRight - K, GR.Top }, { TextRight, GR.Top }, { TextRight, GR.Top - K } });
        Canvas->GetBrush()->Assign(&Saved);
        OutGraphic(TRect(TextRight - K, GR.Top, TextRight, GR.Top - K), "comment");
    }
}
