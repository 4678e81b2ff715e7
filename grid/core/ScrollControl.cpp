#include "grid/core/ScrollControl.h"

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "richtext/MiniHTML.h"

QT_PUBLISHED(TScrollControl, QT_PROP_T(Color, u"TColor"), QT_PROP(ScrollWidth), QT_PROP(Direction))
QT_PUBLISHED(THeaderDragButton, QT_PROP(Caption), QT_PROP(Flat))
QT_PUBLISHED(TNoActiveForm)

namespace {

struct TSavedDC {
    HDC DC;
    int Saved;
    ~TSavedDC() { RestoreDC(DC, Saved); }
};

int RoundNearest(double v) { return int(RoundHalfEven(v)); }

} // namespace

// ---- TScrollControl ----

TScrollControl::TScrollControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_controlStyle = m_controlStyle - TControlStyle { csOpaque };
}

void TScrollControl::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Invalidate();
}

TDedOzovedUrad* TScrollControl::ParentGrid() const { return dynamic_cast<TDedOzovedUrad*>(GetParent()); }

int TScrollControl::FixedExtent() const
{
    TDedOzovedUrad* Grid = ParentGrid();
    if (!Grid)
        return 0;
    int Extent = 0;
    if (FDirection == sdVertical)
        for (int r = 0; r < Grid->GetFixedRows() && r < Grid->GetRowCount(); ++r)
            Extent += Grid->GetRowHeights(r);
    else
        for (int c = 0; c < Grid->GetFixedCols() && c < Grid->GetColCount(); ++c)
            Extent += Grid->GetColWidths(c);
    return Extent;
}

int TScrollControl::TrackLength() const
{
    TDedOzovedUrad* Grid = ParentGrid();
    if (!Grid)
        return 0;
    int Track = (FDirection == sdVertical ? GetHeight() : GetWidth()) - FixedExtent();
    if (FDirection == sdVertical)
        for (int r = std::max(0, Grid->GetRowCount() - Grid->GetFixedFooters()); r < Grid->GetRowCount(); ++r)
            Track -= Grid->GetRowHeights(r);
    else
        for (int c = std::max(0, Grid->GetColCount() - Grid->GetFixedRightCols()); c < Grid->GetColCount(); ++c)
            Track -= Grid->GetColWidths(c);
    return Track;
}

void TScrollControl::GetThumb(int& Pos, int& Len) const
{
    Pos = Len = 0;
    TDedOzovedUrad* Grid = ParentGrid();
    if (!Grid)
        return;
    const bool Vert = FDirection == sdVertical;
    const int R = Vert ? Grid->GetRowCount() : Grid->GetColCount();
    const int F = Vert ? Grid->GetFixedRows() : Grid->GetFixedCols();
    const int V = Vert ? Grid->GetVisibleRowCount() : Grid->GetVisibleColCount();
    const int T = Vert ? Grid->GetTopRow() : Grid->GetLeftCol();
    const int H = Vert ? GetHeight() : GetWidth();
    const int Track = TrackLength();
    Pos = FixedExtent() + RoundNearest(double(Track) * (T - F) / std::max(1, R - F));
    Len = std::max(20, RoundNearest(double(Track) * V / std::max(1, R)));
    if (Pos + Len > H)
        Pos = H - Len;
}

bool TScrollControl::HasThumb() const
{
    TDedOzovedUrad* Grid = ParentGrid();
    if (!Grid)
        return false;
    if (FDirection == sdVertical)
        return Grid->GetRowCount() - Grid->GetFixedRows() > Grid->GetVisibleRowCount();
    return Grid->GetColCount() - Grid->GetFixedCols() > Grid->GetVisibleColCount();
}

void TScrollControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        // The grid under the control is the background; Paint draws it.
        Message.Result = 1;
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TScrollControl::PaintParentInto(HDC DC)
{
    TWinControl* Parent = GetParent();
    if (!Parent || !Parent->HandleAllocated())
        return;
    auto* Form = dynamic_cast<TCustomForm*>(Parent);
    const bool WasDoubleBuffered = Form && Form->GetDoubleBuffered();
    if (WasDoubleBuffered)
        Form->SetDoubleBuffered(false);
    {
        const TSavedDC Restore { DC, SaveDC(DC) };
        // The parent's origin lands on ours: it paints as onto itself and
        // only our area is kept.
        OffsetWindowOrgEx(DC, GetLeft(), GetTop(), nullptr);
        Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
        Parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
    if (WasDoubleBuffered)
        Form->SetDoubleBuffered(true);
}

void TScrollControl::Paint()
{
    if (!ParentGrid())
        return;
    TCanvas* Canvas = GetCanvas();
    PaintParentInto(Canvas->GetHandle());
    if (!HasThumb())
        return;
    int Pos = 0, Len = 0;
    GetThumb(Pos, Len);
    Canvas->GetPen()->SetColor(FColor);
    Canvas->GetBrush()->SetColor(FColor);
    Canvas->GetBrush()->SetStyle(bsSolid);
    if (FDirection == sdVertical)
        Canvas->Rectangle(0, Pos, FScrollWidth, Pos + Len);
    else
        Canvas->Rectangle(Pos, 0, Pos + Len, FScrollWidth);
}

void TScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    TDedOzovedUrad* Grid = ParentGrid();
    if (!Grid)
        return;
    int Pos = 0, Len = 0;
    GetThumb(Pos, Len);
    const bool Vert = FDirection == sdVertical;
    const int At = Vert ? Y : X;
    const int R = Vert ? Grid->GetRowCount() : Grid->GetColCount();
    const int F = Vert ? Grid->GetFixedRows() : Grid->GetFixedCols();
    const int V = Vert ? Grid->GetVisibleRowCount() : Grid->GetVisibleColCount();
    const int T = Vert ? Grid->GetTopRow() : Grid->GetLeftCol();
    auto MoveTo = [&](int First) {
        if (Vert)
            Grid->SetTopRowEx(First);
        else
            Grid->SetLeftCol(First);
    };
    if (At < Pos) {
        MoveTo(std::max(F, T - V));
    } else if (At > Pos + Len) {
        MoveTo(std::min(T + V, R - V));
    } else {
        FDownOnScroller = true;
        FDownPos = At;
        FDownRow = T;
        SetCaptureControl(this);
    }
    Invalidate();
}

void TScrollControl::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    TDedOzovedUrad* Grid = ParentGrid();
    if (!Grid || !FDownOnScroller)
        return;
    const bool Vert = FDirection == sdVertical;
    const int R = Vert ? Grid->GetRowCount() : Grid->GetColCount();
    const int F = Vert ? Grid->GetFixedRows() : Grid->GetFixedCols();
    const int V = Vert ? Grid->GetVisibleRowCount() : Grid->GetVisibleColCount();
    // The span a drag across the whole track covers; a control no longer
    // than the first line has none, and the drag does nothing.
    const int Span = Vert ? GetHeight() - Grid->GetRowHeights(0) : GetWidth() - Grid->GetColWidths(0);
    if (Span <= 0)
        return;
    const int Moved = (Vert ? Y : X) - FDownPos;
    const int First = std::max(F, std::min(FDownRow + RoundNearest(double(Moved) / Span * R), R - V));
    if (Vert)
        Grid->SetTopRowEx(First);
    else
        Grid->SetLeftCol(First);
    Invalidate();
}

void TScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDownOnScroller && GetCaptureControl() == this)
        SetCaptureControl(nullptr);
    FDownOnScroller = false;
}

// ---- THeaderDragButton ----

THeaderDragButton::THeaderDragButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    TControl::SetColor(clBtnFace);
}

void THeaderDragButton::SetCaption(const String& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    Invalidate();
}

void THeaderDragButton::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void THeaderDragButton::Paint()
{
    TCanvas* Canvas = GetCanvas();
    const TRect R = GetClientRect();
    if (FGrid)
        FGrid->PaintCellExt(Canvas, 0, 0, R, TGridDrawState { gdFixed });
    Canvas->GetBrush()->SetStyle(bsClear);
    if (FCaption.find(u"</") == String::npos) {
        RECT Area = R;
        DrawTextEx(Canvas->GetHandle(), FCaption.c_str(), int(FCaption.size()), &Area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, nullptr);
        return;
    }
    String Anchor, Stripped, FocusAnchor, AnchorTitle, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, AnchorIndex = 0;
    TRect AnchorRect, ControlRect;
    VovHTMLE::DrawHTMLText(Canvas, FCaption, R, FGrid ? FGrid->GetGridImageList() : nullptr, 0, 0, -1, -1, 1, false, false,
        false, false, false, false, true, false, String(), 1.0, clBlue, clNone, clNone, clGray, Anchor, Stripped,
        FocusAnchor, AnchorTitle, XSize, YSize, AnchorCount, AnchorIndex, AnchorRect, ControlRect, ControlID,
        ControlValue, ControlType, FGrid ? FGrid->GetImageCache() : nullptr,
        FGrid ? FGrid->GetPictureContainer() : nullptr, GetHandle(), 1.0f, 0);
}

// ---- TNoActiveForm ----

TNoActiveForm::TNoActiveForm(TComponent* AOwner, bool AEnabled) : TForm(AOwner), FEnabled(AEnabled) { }

void TNoActiveForm::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.Style = FEnabled ? WS_POPUP : (WS_POPUP | WS_DISABLED | WS_BORDER);
    Params.WindowClassStyle |= CS_SAVEBITS;
    if (auto* Owner = dynamic_cast<TWinControl*>(GetOwner()); Owner && Owner->HandleAllocated())
        Params.WndParent = Owner->GetHandle();
}

void TNoActiveForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ACTIVATE:
        TForm::Dispatch(Message);
        Message.Result = 1;
        return;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    default:
        TForm::Dispatch(Message);
    }
}
