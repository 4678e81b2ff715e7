#include "dropdown/LumTrackBarDropDown.h"

#include "dropdown/LumDropDownForm.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls_TrackBar.h"

QT_PUBLISHED(TLumTrackBarDropDown, QT_PROP(Min), QT_PROP(Max), QT_PROP(Frequency), QT_PROP(Position),
    QT_PROP(PageSize), QT_EVENT(OnTrackChange))

TLumTrackBarDropDown::TLumTrackBarDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
{
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetEditType(etNumeric);
    // The number kind writes 0; a new editor shows nothing until the bar moves.
    SetRawText(String());
    GetDropDownHeader()->SetVisible(false);
    GetDropDownFooter()->SetVisible(false);
    FForceShadow = true;
}

void TLumTrackBarDropDown::SetMin(int Value)
{
    FMin = Value;
    if (FTrackBar) {
        FTrackBar->SetMin(Value);
        FMin = FTrackBar->GetMin();
    }
}

void TLumTrackBarDropDown::SetMax(int Value)
{
    FMax = Value;
    if (FTrackBar) {
        FTrackBar->SetMax(Value);
        FMax = FTrackBar->GetMax();
    }
}

void TLumTrackBarDropDown::SetPosition(int Value)
{
    FPosition = Value;
    if (FTrackBar) {
        FTrackBar->SetPosition(Value);
        FPosition = FTrackBar->GetPosition();
    }
}

void TLumTrackBarDropDown::SetFrequency(int Value)
{
    FFrequency = Value;
    if (FTrackBar)
        FTrackBar->SetFrequency(Value);
}

void TLumTrackBarDropDown::SetPageSize(int Value)
{
    FPageSize = Value;
    if (FTrackBar)
        FTrackBar->SetPageSize(Value);
}

void TLumTrackBarDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (!FTrackBar) {
        FTrackBar = new TTrackBar(this);
        FTrackBar->SetParent(GetDropDownForm());
        FTrackBar->SetBounds(0, 0, FTrackBar->GetWidth(), 40);
    }
    FTrackBar->OnChange = [this](TObject* Sender) { TrackBarChange(Sender); };
}

void TLumTrackBarDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    if (GetDropDownForm())
        GetDropDownForm()->SetCancelOnDeActivate(false);
    if (!FTrackBar)
        return;
    FTrackBar->SetMin(FMin);
    FTrackBar->SetMax(FMax);
    FTrackBar->SetPosition(FPosition);
    FTrackBar->SetPageSize(FPageSize);
    FTrackBar->SetFrequency(FFrequency);
    FTrackBar->SetWidth(GetWidth());
    SetControl(FTrackBar);
}

void TLumTrackBarDropDown::TrackBarChange(TObject*)
{
    FPosition = FTrackBar->GetPosition();
    SetRawText(IntToStr(FPosition));
    if (OnTrackChange)
        OnTrackChange(this);
}

void TLumTrackBarDropDown::Change()
{
    TLumCustomDropDown::Change();
    const String S = GetText();
    if (S.empty()) {
        SetPosition(FMin);
        return;
    }
    // A text that is no integer (too many digits, say) leaves the position.
    Integer V = 0;
    if (TryStrToInt(S, V))
        SetPosition(V);
}

void TLumTrackBarDropDown::KeyDown(WORD& Key, TShiftState Shift)
{
    TLumCustomDropDown::KeyDown(Key, Shift);
    if (GetEditorEnabled() || Shift.Contains(ssAlt))
        return;
    if (Key == VK_UP && FPosition - FFrequency >= FMin)
        SetPosition(FPosition - FFrequency);
    else if (Key == VK_DOWN && FPosition + FFrequency <= FMax)
        SetPosition(FPosition + FFrequency);
}

void TLumTrackBarDropDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomDropDown::MouseDown(Button, Shift, X, Y);
    if (!GetDropDownEnabled() || GetEditorEnabled())
        return;
    FMouseX = X;
    FMouseDraging = true;
}

void TLumTrackBarDropDown::MouseMove(TShiftState Shift, int X, int Y)
{
    TLumCustomDropDown::MouseMove(Shift, X, Y);
    if (!FMouseDraging)
        return;
    // A page size of 0 moves one step per pixel.
    const int Step = FPageSize == 0 ? 1 : FPageSize;
    const int Delta = (X - FMouseX) / Step;
    FMouseX = X;
    if (Delta != 0)
        SetPosition(FPosition + Delta);
}

void TLumTrackBarDropDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomDropDown::MouseUp(Button, Shift, X, Y);
    FMouseDraging = false;
}
