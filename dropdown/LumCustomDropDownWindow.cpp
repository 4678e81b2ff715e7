// The drop-down edit's window: creating it, opening it below or above the
// edit within the work area at its fixed, automatic or remembered size,
// closing it (the text held at opening comes back when cancelled), and
// passing keys and wheel turns from the window and its content to the edit.

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumDropDownButton.h"
#include "dropdown/LumDropDownForm.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

int Scaled(double Scale, int Value) { return int(RoundHalfEven(Scale * Value)); }

// A second click on the button of an open drop-down arrives after the
// window closed on losing activation; within this time it does not reopen it.
constexpr DWORD ReopenDelayMs = 250;

} // namespace

void TLumCustomDropDown::MakeDropDownForm()
{
    if (FDropDownForm)
        return;
    FDropDownForm = new TDropDownForm(this);
    FDropDownForm->SetLumDropDown(this);
    FDropDownForm->SetBorderStyle(bsNone);
    FDropDownForm->SetPosition(poDesigned);
    FDropDownForm->SetVisible(false);
    FDropDownForm->SetWidth(FDropDownWidth);
    FDropDownForm->SetHeight(FDropDownHeight);
    FDropDownForm->OnClose = [](TObject*, TCloseAction&) { };
    FDropDownForm->OnHide = [this](TObject*) { DropDownHidden(); };
    FDropDownForm->OnKeyPress = [this](TObject*, Char& Key) { FormKeyPress(Key); };
    FDropDownForm->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { FormKeyDown(Key, Shift); };
    FDropDownForm->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { FormKeyUp(Key, Shift); };
    FDropDownForm->OnMouseWheelDown = [this](TObject*, TShiftState Shift, TPoint Pos, bool& Handled) {
        FormMouseWheelDown(Shift, Pos, Handled);
    };
    FDropDownForm->OnMouseWheelUp = [this](TObject*, TShiftState Shift, TPoint Pos, bool& Handled) {
        FormMouseWheelUp(Shift, Pos, Handled);
    };
    FDropDownForm->OnDestroy = [this](TObject*) { DropDownFormDestroyed(); };
    FDropDownForm->OnSizing = [this](TObject*) { DropDownResized(); };
    FDropDownForm->OnSize = [this](TObject*) { DropDownResized(); };
    FDropDownForm->SetScaled(true);
    FDropDownForm->SetDoubleBuffered(true);
}

void TLumCustomDropDown::CreateDropDownForm() { MakeDropDownForm(); }

void TLumCustomDropDown::NeedDropDownContent()
{
    // The editors make their content in their override, which can run only
    // once the whole object exists: at window creation or the first opening.
    if (FContentMade || GetComponentState().Contains(csDesigning))
        return;
    FContentMade = true;
    CreateDropDownForm();
}

void TLumCustomDropDown::DropDownButtonClick(TObject*)
{
    if (GetComponentState().Contains(csDesigning))
        return;
    NeedDropDownContent();
    if (!FDropDownForm || FDropDownForm->GetVisible())
        return;
    // Unsigned, so a tick count that wrapped still compares right.
    if (GetTickCount() - FDropDownForm->GetDeActivateTime() > ReopenDelayMs)
        DoShowDropDown();
}

void TLumCustomDropDown::ShowDropDown()
{
    NeedDropDownContent();
    DoShowDropDown();
}

void TLumCustomDropDown::HideDropDown(bool CancelChanges)
{
    DoHideDropDown(CancelChanges);
    if (FDropDownForm)
        FDropDownForm->SetIsDeactivating(false);
}

TSize TLumCustomDropDown::GetDropDownSize() const
{
    if (FDropDownForm && FDropDownSizeable)
        return TSize(FDropDownForm->GetWidth(), FDropDownForm->GetHeight());
    if (FDropDownWidth != 0 && FDropDownHeight != 0)
        return TSize(FDropDownWidth, FDropDownHeight);
    if (FControl)
        return TSize(FControl->GetWidth(), FControl->GetHeight());
    return TSize();
}

void TLumCustomDropDown::HeaderChanged()
{
    if (!FDropDownForm || !FDropDownForm->GetVisible())
        return;
    FDropDownForm->InitializeAndUpdate();
    if (FDropDownForm->GetHeader())
        FDropDownForm->GetHeader()->Invalidate();
}

void TLumCustomDropDown::FooterChanged()
{
    if (!FDropDownForm || !FDropDownForm->GetVisible())
        return;
    FDropDownForm->InitializeAndUpdate();
    if (FDropDownForm->GetFooter())
        FDropDownForm->GetFooter()->Invalidate();
}

void TLumCustomDropDown::PlaceDropDownControl()
{
    if (!FDropDownForm || !FControl)
        return;
    FControl->SetParent(FDropDownForm);
    FControl->SetTop(FDropDownHeader->GetVisible() ? FDropDownHeader->GetHeight() + 2 : FDropDownBorderWidth);
    FControl->SetAlign(alClient);
    FControl->SetVisible(true);
}

void TLumCustomDropDown::UpdateDropDownSize()
{
    if (!FDropDownForm)
        return;
    const double S = FDPIScale;
    const bool Content = FControl && FControl->GetVisible();
    int W = GetWidth();
    if (FDropDownWidth > 0)
        W = Scaled(S, FDropDownWidth);
    else if (Content)
        W = Scaled(S, FOrigCtrlW);
    int H;
    if (FDropDownHeight > 0) {
        H = Scaled(S, FDropDownHeight);
    } else {
        H = 2 * FDropDownBorderWidth;
        if (FDropDownHeader->GetVisible())
            H += Scaled(S, FDropDownHeader->GetHeight());
        if (FDropDownFooter->GetVisible())
            H += Scaled(S, FDropDownFooter->GetHeight());
        if (Content)
            H += Scaled(S, FOrigCtrlH);
    }
    FDropDownForm->SetWidth(W);
    FDropDownForm->SetHeight(H);
}

void TLumCustomDropDown::DoShowDropDown()
{
    if (GetComponentState().Contains(csDesigning) || !FDropDownForm || FDropDownForm->GetVisible() || !GetEnabled()
        || GetReadOnly() || FDropDownForm->GetIsDeactivating() || FDoShowBusy)
        return;
    struct Busy {
        bool& Flag;
        ~Busy() { Flag = false; }
    } Guard { FDoShowBusy = true };
    TDropDownForm* Form = FDropDownForm;

    BeforeDropDown();
    Form->SetShadow(FDropDownShadow);
    if (FControl) {
        FControl->SetParent(Form);
        PlaceDropDownControl();
    }
    Form->InitializeAndUpdate();
    Form->HandleNeeded();
    const ULONG_PTR ClassStyle = GetClassLongPtr(Form->GetHandle(), GCL_STYLE);
    SetClassLongPtr(Form->GetHandle(), GCL_STYLE,
        LONG_PTR(Form->GetShadow() ? ClassStyle | CS_DROPSHADOW : ClassStyle & ~ULONG_PTR(CS_DROPSHADOW)));
    Form->SetLeft(GetLeft());
    Form->SetTop(GetTop());
    UpdateDropDownSize();
    PlaceDropDownControl();
    Form->GetConstraints()->SetMinWidth(80);
    Form->GetConstraints()->SetMinHeight(50);
    Form->SetWidth(std::max(Form->GetWidth(), 80));
    Form->SetHeight(std::max(Form->GetHeight(), 50));
    if (auto* Content = dynamic_cast<TWinControl*>(FControl)) {
        Content->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { ControlKeyDown(Key, Shift); };
        Content->OnKeyPress = [this](TObject*, Char& Key) { ControlKeyPress(Key); };
        Content->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { ControlKeyUp(Key, Shift); };
    }

    TPoint P = GetParent() ? GetParent()->ClientToScreen(TPoint(GetLeft(), GetTop())) : ClientToScreen(TPoint(0, 0));
    const int a = GetBorderStyle() == bsNone ? 2 : 0;
    if (FUserDropDownHeight != -1)
        Form->SetHeight(Scaled(FDPIScale, FUserDropDownHeight));
    int W = Form->GetWidth(), H = Form->GetHeight();
    bool Below = true;
    if (FDropPosition == dpAuto)
        Below = Form->GetHeight() + P.Y < GetSystemMetrics(SM_CYSCREEN);
    else
        Below = FDropPosition == dpDown;
    Form->SetLeft(P.X - a);
    Form->SetTop(Below ? P.Y + GetHeight() + a - 1 : P.Y + a - Form->GetHeight());
    Form->SetWidth(W);
    Form->SetHeight(H);
    FOldText = GetText();

    bool Accept = true;
    if (OnDropDown)
        OnDropDown(this, Accept);
    if (!Accept)
        return;

    TRect WorkArea;
    if (TMonitor* Monitor = Screen->MonitorFromPoint(P))
        WorkArea = Monitor->GetWorkareaRect();
    else
        WorkArea = Screen->GetWorkAreaRect();
    if (FUserDropDownWidth != -1)
        Form->SetWidth(Scaled(FDPIScale, FUserDropDownWidth));
    if (WorkArea.Left >= 0 && Form->GetLeft() + Form->GetWidth() > WorkArea.Right && Form->GetLeft() < WorkArea.Right)
        Form->SetLeft(WorkArea.Right - Form->GetWidth());
    P = TPoint(Form->GetLeft(), Form->GetTop());
    if (OnGetDropDownPos) {
        OnGetDropDownPos(this, P);
        Form->SetLeft(P.X);
        Form->SetTop(P.Y);
    }
    W = Form->GetWidth();
    H = Form->GetHeight();
    if (FDropDownShadow && FForceShadow) {
        // Shown once at 1 x 1, so the shadow is made for the window.
        Form->Hide();
        Form->SetBounds(P.X, P.Y, 1, 1);
        SetWindowPos(Form->GetHandle(), HWND_TOPMOST, P.X, P.Y, 1, 1, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        SetWindowPos(Form->GetHandle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    AdjustDropDownHeight(H);
    FDroppedDown = true;
    SetWindowPos(Form->GetHandle(), HWND_TOPMOST, P.X, P.Y, W, H, SWP_SHOWWINDOW);
    if (auto* Content = dynamic_cast<TWinControl*>(FControl); Content && Content->CanFocus())
        Content->SetFocus();
    AfterDropDown();
    Form->SetVisible(true);
}

void TLumCustomDropDown::DoHideDropDown(bool Cancel)
{
    if (GetComponentState().Contains(csDesigning) || !FDropDownForm || !FDropDownForm->GetVisible())
        return;
    if (OnBeforeDropUp)
        OnBeforeDropUp(this);
    const double S = FDPIScale > 0 ? FDPIScale : 1.0;
    FUserDropDownWidth = int(RoundHalfEven(FDropDownForm->GetWidth() / S));
    FUserDropDownHeight = int(RoundHalfEven(FDropDownForm->GetHeight() / S));
    FDropDownForm->Hide();
    Application->CancelHint();
    if (Cancel)
        SetText(FOldText);
    if (OnDropUp)
        OnDropUp(this, Cancel);
    if (FButton)
        FButton->GetButton()->Invalidate();
}

void TLumCustomDropDown::DropDownHidden()
{
    FDroppedDown = false;
    if (GetTabStop() && CanFocus() && !Focused() && !GetComponentState().Contains(csDestroying))
        SetFocus();
}

void TLumCustomDropDown::AfterDropDown()
{
    if (FFocusControl && FFocusControl->GetTabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    if (FDropDownForm)
        FDropDownForm->InitializeAndUpdate();
    if (OnAfterDropDown)
        OnAfterDropDown(this);
}

bool TLumCustomDropDown::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    const bool Result = TCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (!FDroppedDown && !GetClientRect().Contains(ScreenToClient(MousePos)))
        return Result;
    if (WheelDelta < 0)
        DoWheelDown();
    else
        DoWheelUp();
    return Result;
}

// ---- the content ----

void TLumCustomDropDown::SetControl(TControl* Value)
{
    if (Value == FControl || Value == this)
        return;
    if (FControl) {
        FControl->RemoveFreeNotification(this);
        FControl->SetAlign(alNone);
        FControl->SetVisible(false);
    }
    FControl = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    const double S = FDPIScale > 0 ? FDPIScale : 1.0;
    FOrigCtrlW = Scaled(1 / S, Value->GetWidth());
    FOrigCtrlH = Scaled(1 / S, Value->GetHeight());
    // A narrow content takes about the edit's width.
    if (FDropDownWidth == 0 && FOrigCtrlW < GetWidth())
        FOrigCtrlW = Scaled(1 / S, GetWidth() - GetSystemMetrics(SM_CXVSCROLL));
    if (!GetComponentState().Contains(csDesigning))
        Value->SetVisible(false);
}

void TLumControlDropDown::Loaded()
{
    TLumDropDown::Loaded();
    if (!GetComponentState().Contains(csDesigning))
        PlaceDropDownControl();
}
