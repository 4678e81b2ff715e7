#include "grid/core/HTMLHintWindow.h"

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridHTML.h"
#include "grid/core/GridPlatform.h"
#include "grid/core/GridUtils.h"
#include "platform/gdi/DrawText.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

QT_PUBLISHED(THTMLHintWindow)

namespace {

bool IsWideText(const String& Text) { return Text.starts_with(u"|\\"); }

// Width the hint text is laid out in before the window is sized to it.
constexpr int LayoutWidth = 1008;
constexpr int WideMargin = 8;
constexpr int HTMLMargin = 16;
constexpr int VerticalMargin = 4;
// Distance kept from the monitor's right and bottom edges.
constexpr int MonitorInset = 2;

} // namespace

THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : THintWindow(AOwner) { }

void THTMLHintWindow::CreateParams(TCreateParams& Params)
{
    THintWindow::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    if (GridPlatform::WindowsAbove(5, 0))
        Params.WindowClassStyle |= CS_DROPSHADOW;
}

void THTMLHintWindow::Dispatch(TMessage& Message)
{
    THintWindow::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        Invalidate();
}

TSize THTMLHintWindow::Measure(const String& AHint, int MaxWidth, const String& FontName)
{
    TBitmap Surface;
    Surface.SetSize(1, 1);
    TCanvas* Canvas = Surface.GetCanvas();
    Canvas->GetFont()->Assign(GetFont());
    if (IsWideText(AHint)) {
        FWideCaption = VuzEraz::DecodeWideCellText(AHint);
        if (!FontName.empty())
            Canvas->GetFont()->SetName(FontName);
        RECT R { 0, 0, std::max(1, MaxWidth), 0 };
        String Text = FWideCaption;
        DrawText(Canvas->GetHandle(), Text, &R, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        return TSize(R.Width(), R.Height());
    }
    FWideCaption.clear();
    RirEvoz::THTMLTextSource Source;
    Source.Images = FImages;
    Source.PictureContainer = FPictureContainer;
    return RirEvoz::DrawGridHTML(Canvas, AHint, TRect(0, 0, std::max(1, MaxWidth), 4096), Source, false);
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const String& AHint, void* AData)
{
    String FontName;
    if (auto* Grid = dynamic_cast<TDedOzovedUrad*>(static_cast<TObject*>(AData)))
        FontName = Grid->GetFont()->GetName();
    const TSize S = Measure(AHint, MaxWidth, FontName);
    FTextWidth = S.cx;
    FTextHeight = S.cy;
    return TRect(0, 0, S.cx, S.cy);
}

void THTMLHintWindow::ActivateHintData(TRect Rect, const String& AHint, void* AData)
{
    if (auto* Grid = dynamic_cast<TDedOzovedUrad*>(static_cast<TObject*>(AData))) {
        FImages = Grid->GetGridImages();
        FPictureContainer = Grid->GetPictureContainer();
    }
    ActivateHint(Rect, AHint);
}

void THTMLHintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    SetCaption(AHint);
    const TSize S = Measure(AHint, LayoutWidth, String());
    FTextWidth = S.cx;
    FTextHeight = S.cy;
    const int Margin = IsWideText(AHint) ? WideMargin : HTMLMargin;
    Rect.Right = Rect.Left + S.cx + Margin;
    Rect.Bottom = Rect.Top + S.cy + VerticalMargin;

    if (TMonitor* Monitor = Screen->MonitorFromPoint(Rect.TopLeft())) {
        const TRect M = Monitor->GetBoundsRect();
        if (Rect.Right > M.Right - MonitorInset) {
            const int W = Rect.Width();
            Rect.Right = M.Right - MonitorInset;
            Rect.Left = Rect.Right - W;
        }
        if (Rect.Bottom > M.Bottom - MonitorInset) {
            const int H = Rect.Height();
            Rect.Bottom = M.Bottom - MonitorInset;
            Rect.Top = Rect.Bottom - H;
        }
    }
    HandleNeeded();
    SetWindowPos(GetHandle(), HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
        SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateBoundsFromWindow();
    SetVisible(true);
    Invalidate();
}

void THTMLHintWindow::Paint()
{
    TCanvas* Canvas = GetCanvas();
    const TRect R = GetClientRect();
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->FillRect(R);
    Canvas->GetPen()->SetWidth(1);
    Canvas->GetPen()->SetColor(cl3DLight);
    Canvas->MoveTo(R.Left, R.Bottom - 1);
    Canvas->LineTo(R.Left, R.Top);
    Canvas->LineTo(R.Right - 1, R.Top);
    Canvas->GetPen()->SetColor(cl3DDkShadow);
    Canvas->LineTo(R.Right - 1, R.Bottom - 1);
    Canvas->LineTo(R.Left, R.Bottom - 1);

    Canvas->GetFont()->Assign(GetFont());
    const int Top = R.Top + (R.Height() - FTextHeight) / 2;
    TRect T(R.Left + 4, Top, R.Right - 4, Top + FTextHeight);
    Canvas->GetBrush()->SetStyle(bsClear);
    const String Caption = GetCaption();
    if (IsWideText(Caption)) {
        String Text = VuzEraz::DecodeWideCellText(Caption);
        RECT DR = T;
        DrawText(Canvas->GetHandle(), Text, &DR, DT_SINGLELINE | DT_NOPREFIX);
    } else {
        RirEvoz::THTMLTextSource Source;
        Source.Images = FImages;
        Source.PictureContainer = FPictureContainer;
        Source.Window = HandleAllocated() ? GetHandle() : nullptr;
        RirEvoz::DrawGridHTML(Canvas, Caption, T, Source, true);
    }
}
