#include "dropdown/LumButton.h"

#include "dropdown/LumCustomDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumButton)

TLumButton::TLumButton(TComponent* AOwner)
    : TCustomControl(AOwner)
{
    SetBounds(0, 0, 22, 23);
    m_controlStyle.Include(csCaptureMouse);
    m_controlStyle.Include(csClickEvents);
    m_controlStyle.Include(csDoubleClicks);
    SetParentFont(true);
    GetFont()->SetName(u"MS Sans Serif");
    SetShowHint(false);
    SetDoubleBuffered(true);
    FUnHotTimer = new TTimer(this);
    FUnHotTimer->SetInterval(1);
    FUnHotTimer->SetEnabled(false);
    FUnHotTimer->OnTimer = [this](TObject*) { UnHotTimerTick(); };
}

TLumButton::~TLumButton()
{
    TTimer* Timer = FUnHotTimer;
    FUnHotTimer = nullptr;
    delete Timer;
}

void TLumButton::SetAppearance(TLumButtonAppearance* Value)
{
    FAppearance = Value;
    Invalidate();
}

void TLumButton::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    Invalidate();
}

void TLumButton::SetImageIndex(int Value)
{
    FImageIndex = Value;
    Invalidate();
}

void TLumButton::SetLumDropDown(TLumCustomDropDown* Value)
{
    if (Value == FLumDropDown)
        return;
    if (FLumDropDown)
        FLumDropDown->RemoveFreeNotification(this);
    FLumDropDown = Value;
    if (FLumDropDown)
        FLumDropDown->FreeNotification(this);
}

void TLumButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FLumDropDown)
        FLumDropDown = nullptr;
    if (AComponent == FUnHotTimer)
        FUnHotTimer = nullptr;
}

void TLumButton::Loaded()
{
    TCustomControl::Loaded();
    if (FInitialDown != FDown)
        SetDown(FInitialDown);
}

void TLumButton::RepaintNow()
{
    if (HandleAllocated())
        Repaint();
    else
        Invalidate();
}

// ---- size ----

void TLumButton::SizeToContent()
{
    if (!FAppearance)
        return;
    TBitmap Measure;
    Measure.SetSize(1, 1);
    TCanvas* Canvas = Measure.GetCanvas();
    Canvas->GetFont()->Assign(FAppearance->GetFont());
    String Caption = GetCaption();
    TRect R(0, 0, 1000, 500);
    TSize Size;
    if (!Caption.empty()) {
        Canvas->TextRect(R, Caption, { tfSingleLine, tfCalcRect });
        Size = TSize(R.Width(), R.Height());
    }
    if (FImages && FImageIndex >= 0) {
        Size.cx = std::max(Size.cx, FImages->GetWidth());
        Size.cy = std::max(Size.cy, FImages->GetHeight());
    }
    SetHeight(Size.cy + 4);
    SetWidth(Size.cx + 8);
}

// ---- painting ----

void TLumButton::Paint()
{
    if (!GetEnabled()) {
        FState = absDisabled;
        FDragging = false;
    } else if (FState == absDisabled) {
        FState = FDown && FGroupIndex != 0 ? absExclusive : absUp;
    }
    if (FStyle == tasCheck && FDown)
        FState = absDown;
    PaintParentBackground(GetCanvas());
    DrawButton(GetCanvas());
}

// The parent paints itself under the button, so its gradient shows around it.
void TLumButton::PaintParentBackground(TCanvas* Canvas)
{
    TWinControl* Parent = GetParent();
    if (!Parent || !Parent->HandleAllocated())
        return;
    HDC DC = Canvas->GetHandle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, 0, 0, GetWidth(), GetHeight());
    POINT Old {};
    SetWindowOrgEx(DC, GetLeft(), GetTop(), &Old);
    Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    LumDropDown::PaintCtrls(Parent, DC, nullptr);
    RestoreDC(DC, Saved);
}

void TLumButton::DrawButton(TCanvas* Canvas)
{
    if (!FAppearance)
        return;
    const TLumButtonAppearance& A = *FAppearance;
    TColor Fill = A.GetColor(), FillTo = A.GetColorTo(), Border = A.GetBorderColor();
    if (!GetEnabled()) {
        Fill = A.GetColorDisabled();
        FillTo = A.GetColorDisabledTo();
        Border = A.GetBorderColorDisabled();
    } else if (FMouseDownInControl && FMouseInControl) {
        Fill = FillTo = A.GetColorDown();
        Border = A.GetBorderColorDown();
    } else if (FDown) {
        Fill = FillTo = A.GetColorChecked();
        Border = A.GetBorderColorChecked();
    } else if (FMouseInControl || (HandleAllocated() && Focused())) {
        Fill = FillTo = A.GetColorHot();
        Border = A.GetBorderColorHot();
    }
    const TRect R = GetClientRect();
    if (FillTo != clNone) {
        LumDropDown::DrawGradient(Canvas, Fill, FillTo, A.GetGradient() == gdHorizontal, R, 80);
    } else if (Fill != clNone) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(Fill);
        Canvas->FillRect(R);
    }
    if (Border != clNone) {
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->GetPen()->SetColor(Border);
        Canvas->GetPen()->SetWidth(1);
        Canvas->Rectangle(R);
    }
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetFont()->Assign(A.GetFont());
    TRect TextR = R;
    TTextFormat Format { tfSingleLine, tfVerticalCenter, tfEndEllipsis };
    if (FImages && FImageIndex >= 0) {
        FImages->Draw(Canvas, R.Left + 4, R.Top + (R.Height() - FImages->GetHeight()) / 2, FImageIndex, true);
        TextR.Left = R.Left + FImages->GetWidth() + 8;
    } else {
        Format.Include(tfCenter);
    }
    String Caption = GetCaption();
    if (!Caption.empty())
        Canvas->TextRect(TextR, Caption, Format);
}

// ---- mouse ----

void TLumButton::MouseEnter()
{
    TCustomControl::MouseEnter();
    if (GetComponentState().Contains(csDesigning))
        return;
    FMouseInControl = true;
    if (GetEnabled())
        Invalidate();
    if (FUnHotTimer)
        FUnHotTimer->SetEnabled(true);
}

void TLumButton::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (FUnHotTimer)
        FUnHotTimer->SetEnabled(false);
    FMouseInControl = FHot = false;
    if (GetEnabled())
        Invalidate();
}

// The pointer may leave without a leave message (a window opened over the
// button, say); the timer notices.
void TLumButton::UnHotTimerTick()
{
    POINT P {};
    GetCursorPos(P);
    if (GetClientRect().Contains(ScreenToClient(TPoint(P))))
        return;
    if (FUnHotTimer)
        FUnHotTimer->SetEnabled(false);
    FMouseInControl = FHot = false;
    if (GetEnabled())
        Invalidate();
}

void TLumButton::UpdateTracking()
{
    if (!GetEnabled())
        return;
    POINT P {};
    GetCursorPos(P);
    if (FindDragTarget(TPoint(P), true) == this)
        Perform(CM_MOUSEENTER, 0, 0);
    else
        Perform(CM_MOUSELEAVE, 0, 0);
}

void TLumButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !GetEnabled() || GetComponentState().Contains(csDesigning))
        return;
    FMouseDownInControl = true;
    if (!FDown) {
        FState = absDown;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = absDown;
        RepaintNow();
    }
    FDragging = true;
}

void TLumButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (GetComponentState().Contains(csDesigning))
        return;
    if (FDragging) {
        TLumButtonState NewState = FDown ? absExclusive : absUp;
        if (X >= 0 && X < GetClientWidth() && Y >= 0 && Y <= GetClientHeight())
            NewState = FDown ? absExclusive : absDown;
        if (FStyle == tasCheck && FDown)
            NewState = absDown;
        if (NewState != FState) {
            FState = NewState;
            Invalidate();
        }
    } else if (!FMouseInControl) {
        UpdateTracking();
    }
}

void TLumButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (GetComponentState().Contains(csDesigning))
        return;
    FMouseDownInControl = false;
    Invalidate();
    if (FDragging) {
        FDragging = false;
        const bool Inside = X >= 0 && X < GetClientWidth() && Y >= 0 && Y <= GetClientHeight();
        if (FGroupIndex != 0) {
            if (Inside) {
                SetDown(!FDown);
                if (FDown)
                    Invalidate();
            } else {
                if (FDown)
                    FState = absExclusive;
                Invalidate();
            }
        } else {
            FState = absUp;
            FMouseInControl = FHot = false;
            if (FStyle == tasCheck) {
                SetDown(!FDown);
                FState = absUp;
            }
            if (Inside && FState != absDown && FState != absExclusive)
                Invalidate();
        }
    }
    UpdateTracking();
}

// ---- clicks and keys ----

void TLumButton::Click()
{
    if (TCustomForm* Form = GetParentForm(this))
        Form->SetModalResult(FModalResult);
    if (FLumDropDown) {
        switch (FModalResult) {
        case mrOk: case mrYes: case mrAll: case mrYesToAll:
            FLumDropDown->DoHideDropDown(false);
            break;
        case mrCancel: case mrAbort: case mrIgnore: case mrNo: case mrNoToAll:
            FLumDropDown->DoHideDropDown(true);
            break;
        default:
            break;
        }
    }
    if (!FInternalClick)
        TCustomControl::Click();
}

void TLumButton::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_RETURN || Key == VK_SPACE) {
        if (!FDown) {
            FState = absDown;
            Invalidate();
        }
        if (FStyle == tasCheck) {
            FState = absDown;
            RepaintNow();
        }
        struct Guard {
            bool& Flag;
            ~Guard() { Flag = false; }
        } G { FInternalClick = true };
        Click();
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TLumButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (GetEnabled() && IsAccel(WORD(Message.WParam), GetCaption())) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_BUTTONPRESSED:
        // Other buttons of the parent broadcast the same message.
        ButtonPressed(int(Message.WParam), dynamic_cast<TLumButton*>(reinterpret_cast<TControl*>(Message.LParam)));
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    default:
        break;
    }
}

// ---- latching and groups ----

void TLumButton::SetDown(bool Value)
{
    if (GetComponentState().Contains(csLoading))
        FInitialDown = Value;
    if (FStyle == tasButton && FGroupIndex == 0)
        Value = false;
    if (FStyle == tasCheck) {
        FDown = Value;
        FState = Value ? absDown : absUp;
        Invalidate();
        return;
    }
    if (Value == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = Value;
    if (Value) {
        if (FState == absUp)
            Invalidate();
        FState = absExclusive;
        UpdateExclusive();
    } else {
        FState = absUp;
        Invalidate();
    }
}

void TLumButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !GetParent())
        return;
    TMessage Msg { CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(static_cast<TControl*>(this)), 0 };
    GetParent()->Broadcast(Msg);
}

void TLumButton::ButtonPressed(int Group, TLumButton* Sender)
{
    if (Group != FGroupIndex || !Sender || Sender == this)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FState = absUp;
        Invalidate();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}
