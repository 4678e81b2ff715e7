// Look and behaviour properties whose writes do more than store and
// repaint, and the mark the middle-button pan draws at its origin.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/HTMLHintWindow.h"
#include "platform/gdi/DrawText.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/HintWindow.h"
#include "platform/win/Window.h"

void TDedOzovedUrad::SetSpreadSheet(bool Value)
{
    FSpreadSheet = Value;
    // Switching the spreadsheet set-up off leaves the options as they are:
    // a grid meant to be read-only must not become editable by it.
    if (!Value)
        return;
    SetSelectionRectangle(true);
    SetSelectionResizer(true);
    FNavigation->SetAllowSmartClipboard(true);
    TGridOptions Options = GetOptions();
    Options.Include(goRangeSelect).Include(goEditing);
    SetOptions(Options);
    FMouseActions->SetRangeSelectAndEdit(true);
}

void TDedOzovedUrad::SetVAlignment(TVAlignment Value)
{
    FVAlignment = Value;
    switch (Value) {
    case vtaCenter: FVAlign = DT_VCENTER; break;
    case vtaBottom: FVAlign = DT_BOTTOM; break;
    default: FVAlign = DT_TOP; break;
    }
    if (FUpdateCount == 0)
        Invalidate();
}

int TDedOzovedUrad::GetEditLimit() { return FMaxEditLength; }

void TDedOzovedUrad::SetMaxEditLength(int Value)
{
    FMaxEditLength = Value;
    if (TInplaceEdit* Editor = GetInplaceEditor())
        Editor->SetMaxLength(Value);
}

void TDedOzovedUrad::SetFlat(bool Value)
{
    FFlat = Value;
    if (!IsLoading())
        Invalidate();
}

void TDedOzovedUrad::SetZIDGradientFrom(TColor Value)
{
    FZIDGradientFrom = ColorToRGB(Value);
    Invalidate();
}

void TDedOzovedUrad::SetZIDGradientTo(TColor Value)
{
    FZIDGradientTo = ColorToRGB(Value);
    Invalidate();
}

void TDedOzovedUrad::SetZIDGradientMirrorFrom(TColor Value)
{
    FZIDGradientMirrorFrom = ColorToRGB(Value);
    Invalidate();
}

void TDedOzovedUrad::SetZIDGradientMirrorTo(TColor Value)
{
    FZIDGradientMirrorTo = ColorToRGB(Value);
    Invalidate();
}

void TDedOzovedUrad::SetUseStyleServices(bool Value)
{
    if (Value == FUseStyleServices)
        return;
    FUseStyleServices = Value;
    ApplyStyleColors(true);
}

void TDedOzovedUrad::SetStyleElements(TStyleElements Value)
{
    TBaseGrid::SetStyleElements(Value);
    ApplyStyleColors(true);
}

void TDedOzovedUrad::SetUseHTMLHints(bool Value)
{
    FUseHTMLHints = Value;
    if (Value)
        HintWindowClass = [](TComponent* AOwner) -> THintWindow* { return new THTMLHintWindow(AOwner); };
    else
        HintWindowClass = [](TComponent* AOwner) { return new THintWindow(AOwner); };
    // The application makes its hint window again with the new class.
    if (Application && Application->GetShowHint()) {
        Application->SetShowHint(false);
        Application->SetShowHint(true);
    }
}

// ---- the wheel-pan mark ----

namespace {

constexpr int PanMarkSize = 32;

const char16_t* PanMarkName(TIntelliPan Pan)
{
    switch (Pan) {
    case ipVertical: return u"INTLI3";
    case ipHorizontal: return u"INTLI2";
    default: return u"INTLI1";
    }
}

} // namespace

void TDedOzovedUrad::DrawWheelPanMark(TPoint P)
{
    TBitmap Mark;
    Mark.LoadFromResourceName(nullptr, PanMarkName(GetIntelliPan()));
    // Keyed on the drawing's top-left colour, over white.
    Mark.SetTransparentColor(Mark.GetCanvas()->GetPixel(0, 0));
    Mark.SetTransparent(true);
    const TRect R = PanMarkRect(P);
    TCanvas* Canvas = GetCanvas();
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(clWhite);
    Canvas->FillRect(R);
    Canvas->Draw(R.Left, R.Top, &Mark);
}

void TDedOzovedUrad::InvalidateWheelPanMark(TPoint P)
{
    if (!HandleAllocated())
        return;
    const TRect R = PanMarkRect(P);
    ::InvalidateRect(GetHandle(), &R, false);
}

TRect TDedOzovedUrad::PanMarkRect(TPoint P)
{
    return TRect(P.X - PanMarkSize / 2, P.Y - PanMarkSize / 2, P.X + PanMarkSize / 2, P.Y + PanMarkSize / 2);
}
