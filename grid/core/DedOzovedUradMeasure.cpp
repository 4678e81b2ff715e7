// The size a cell's text takes as it would be painted: the cell's font and
// zoom, the text inset, the room of editor buttons that always show, and the
// rendering the text needs (plain, mini-HTML, rich, rotated). Column and row
// sizing, scroll-bar cells and hints measure through here.
//
// Measuring runs on a canvas of the grid's own, so a grid measures before it
// has a window. Giving a canvas a font makes the platform build its text
// resources anew; cells mostly share one look, so the canvas keeps its font
// while the next cell's look is the same.

#include <cmath>
#include <cstdlib>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/MathUtils.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

namespace {

// Editor kinds whose drop-down or edit button shows in the cell.
bool HasButtonKind(TEditorType Kind)
{
    return Kind == edComboEdit || Kind == edComboList || Kind == edEditBtn
        || (Kind >= edTrackbarDropDown && Kind <= edRirEvozDropDown);
}

bool SameLook(const TFont* A, const TFont* B)
{
    return A->GetPixelsPerInch() == B->GetPixelsPerInch() && A->GetHeight() == B->GetHeight()
        && A->GetStyle() == B->GetStyle() && A->GetOrientation() == B->GetOrientation()
        && A->GetCharset() == B->GetCharset() && A->GetPitch() == B->GetPitch() && A->GetQuality() == B->GetQuality()
        && A->GetName() == B->GetName();
}

} // namespace

TCanvas* TDedOzovedUrad::MeasureCanvas()
{
    if (!FMeasureBitmap) {
        FMeasureBitmap = std::make_unique<TBitmap>();
        FMeasureBitmap->SetSize(1, 1);
        FMeasureFont = std::make_unique<TFont>();
        FMeasureBrush = std::make_unique<TBrush>();
    }
    return FMeasureBitmap->GetCanvas();
}

void TDedOzovedUrad::SelectMeasureFont(TCanvas* Canvas)
{
    if (!SameLook(Canvas->GetFont(), FMeasureFont.get()))
        Canvas->GetFont()->Assign(FMeasureFont.get());
    // The font goes into the device context with the first text call.
    Canvas->TextWidth(String());
}

TSize TDedOzovedUrad::GetCellTextSize(int ACol, int ARow, bool VS, bool SB)
{
    TSize Size;
    MeasureCellText(ACol, DisplayToRealCol(TDisplayCol(ACol)).Value, ARow, false, VS, SB, Size);
    return Size;
}

void TDedOzovedUrad::MeasureCellText(
    int ACol, int RCol, int ARow, bool Unbounded, bool WrapToWidth, bool Reserve, TSize& Size)
{
    Size = TSize { 0, 0 };
    TCanvas* Canvas = MeasureCanvas();

    // The text: the open editor's while the cell is being edited.
    const bool Edited = GetEditorMode() && ACol == GetCol() && ARow == GetRow();
    String Text;
    if (Edited && GetInplaceEditor())
        Text = GetInplaceEditor()->GetText();
    else
        Text = GetFormattedCell(RCol, ARow);
    int Kind = VuzEraz::DetectTextKind(Text, GetEnableHTML());

    // The font as painting resolves it. A header is measured bold when the
    // active cell's header shows bold, so the column has room for that look.
    TGridDrawState State;
    GetFontProperties(ACol, RCol, ARow, State, FMeasureFont.get(), FMeasureBrush.get(), true);
    if ((ARow < GetFixedRows() || ACol < GetFixedCols()) && GetActiveCellShow()
        && FActiveCellFont->GetStyle().Contains(fsBold))
        FMeasureFont->SetStyle(FMeasureFont->GetStyle() + TFontStyles { fsBold });
    ApplyZoom(FMeasureFont.get());
    SelectMeasureFont(Canvas);

    if (Kind == 3) {
        Text = FormulaValue(RCol, ARow, Text);
        Kind = VuzEraz::DetectTextKind(Text, GetEnableHTML());
        if (Kind == 3)
            Kind = 0;
    }
    if (Kind == 5) {
        Text = VuzEraz::DecodeWideCellText(Text);
        Kind = 0;
    }

    // The room the text has in the cell.
    TRect R = ComputeCellRect(ACol, ARow);
    R.Left += FXYOffset.X + 1;
    R.Top += FXYOffset.Y + 1;
    if (!FXYOffsetTopLeftOnly) {
        R.Right -= FXYOffset.X + 1;
        R.Bottom -= FXYOffset.Y;
    }
    if (Reserve)
        R.Right -= 17;
    const bool DropDowns = FControlLook->GetDropDownAlwaysVisible();
    const bool Spins = FControlLook->GetSpinButtonsAlwaysVisible();
    if (DropDowns || Spins) {
        TEditorType Editor = FDefaultEditor;
        DoGetEditorType(RCol, ARow, Editor);
        if ((DropDowns && HasButtonKind(Editor)) || (Spins && (Editor == edSpinEdit || Editor == edFloatSpinEdit)))
            R.Right -= int(RoundHalfEven(17 * FDPIScale));
    }

    if (Kind == 1) {
        if (Unbounded)
            R.Right = 65535;
        R.Bottom = 65535;
        String Anchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
        int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
        TRect HitRect, ControlRect;
        // Measured wrapped, as it is painted: this engine's no-wrap mode is
        // also its ellipsis mode, which would cut the text short.
        VovHTMLE::DrawHTMLText(Canvas, Text, R, FGridImages, -1, -1, -1, -1, 1, false, true, false, false, false,
            false, true, false, String(), 1.0, GetURLColor(), clNone, clNone, TColor(0x808080), Anchor, Stripped,
            FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue,
            ControlType, FImageCache.get(), FPictureContainer, HandleAllocated() ? GetHandle() : nullptr,
            float(FDPIScale), UseRightToLeftAlignment() ? 1 : 0);
        Size = TSize { XSize + 2, YSize + 2 };
        return;
    }

    TLumRichEdit* Rich = nullptr;
    if (Kind == 2 && !IsDesigning()) {
        Rich = GetRichEdit();
        Rich->Clear();
        Rich->SetBounds(0, 0, 0, 0);
        Rich->SetBounds(0, 0, std::max(0, R.Width()), std::max(0, R.Height()));
        Rich->SetWordWrap(false);
        CellToRich(RCol, ARow, Rich);
        TFont* Font = Canvas->GetFont();
        Font->SetName(Rich->GetSelAttributes()->GetName());
        Font->SetSize(Rich->GetSelAttributes()->GetSize());
        Font->SetStyle(Rich->GetSelAttributes()->GetStyle());
        Canvas->TextWidth(String());
        Text = Rich->GetText();
    }

    int Angle = 0;
    const bool Rotated = IsRotated(RCol, ARow, Angle);
    const bool Plain = Kind == 0 || Kind == 4;
    if (WrapToWidth) {
        if (Edited && !Text.empty() && Text.back() == u'\n')
            Text += u'w'; // the empty last line counts
        if (Unbounded)
            R.Right = 65535;
        UINT Flags = DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;
        Flags |= Rotated ? DT_SINGLELINE : DT_WORDBREAK;
        if (GetURLShow() && !GetURLFull())
            VuzEraz::RemoveURLPrefix(Text);
        if (!Text.empty()) {
            RECT Calc = R;
            Size.cy = DrawText(Canvas->GetHandle(), Text, &Calc, Flags);
            Size.cx = Calc.Right - Calc.Left;
        }
    } else if (!Text.empty()) {
        int Lines = 0, Widest = 0;
        auto Measure = [&](String Line) {
            if (Plain && GetURLShow() && !GetURLFull())
                VuzEraz::RemoveURLPrefix(Line);
            Widest = std::max(Widest, Canvas->TextWidth(Line));
            ++Lines;
        };
        if (GetMultilinecells()) {
            String Rest = Text;
            do {
                String Line;
                VuzEraz::TakeFirstLine(Rest, true, Line);
                Measure(Line);
            } while (!Rest.empty());
        } else {
            Measure(Text);
        }
        Size.cx = Widest;
        Size.cy = Lines * Canvas->TextHeight(u"gh");
    }

    if (Rotated) {
        // The bounding box of the turned text.
        const double Radians = Angle * M_PI / 180.0;
        const double S = std::sin(Radians), C = std::cos(Radians);
        const int W = Size.cx, H = Size.cy;
        Size.cx = int(std::abs(Trunc(H * S)) + std::abs(Trunc(W * C))) + 12;
        Size.cy = int(std::abs(Trunc(H * C)) + std::abs(Trunc(W * S))) + 12;
    }

    if (Rich) {
        Rich->SetWidth(Unbounded ? std::max(0, R.Width()) : 1024);
        Rich->SetHeight(std::max(0, R.Height()));
        Rich->SetWordWrap(true);
        Rich->SetWordWrap(false);
        Rich->SetWordWrap(GetWordWrap());
        if (Rich->HandleAllocated())
            SetWindowLong(Rich->GetHandle(), GWL_EXSTYLE,
                GetWindowLong(Rich->GetHandle(), GWL_EXSTYLE) | LONG(WS_EX_TRANSPARENT));
        const LRESULT Mask = Rich->Perform(EM_GETEVENTMASK, 0, 0);
        Rich->Perform(EM_SETEVENTMASK, 0, Mask | ENM_REQUESTRESIZE);
        Rich->Perform(EM_REQUESTRESIZE, 0, 0);
        Size.cx = std::max<int>(Size.cx, Rich->GetReqWidth());
        Size.cy = std::max<int>(Size.cy, Rich->GetReqHeight() + 4);
    }
}
