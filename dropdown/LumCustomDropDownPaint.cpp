// The drop-down edit's button and its drawing around the text: the frame in
// border, focus and disabled colours, the highlighted text of a focused
// pure selector, the grey placeholder of an empty value, the text rectangle
// that keeps the text clear of the button, and the minimum height.

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumDropDownButton.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

int Scaled(double Scale, int Value) { return int(RoundHalfEven(Value * Scale)); }

void FrameIn(HDC DC, const TRect& R, TColor Color)
{
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color));
    RECT Rc = R;
    FrameRect(DC, &Rc, Brush);
    DeleteObject(Brush);
}

} // namespace

// ---- the button ----

void TLumCustomDropDown::CreateEditButton()
{
    FButton = new TDropDownEditButton(this);
    FButton->SetParent(this);
    FButton->OnClick = [this](TObject* Sender) { DropDownButtonClick(Sender); };
    if (GetComponentState().Contains(csDesigning))
        FButton->SetColor(clBtnFace);
    UpdateEditButton();
}

void TLumCustomDropDown::UpdateEditButton()
{
    if (!FButton)
        return;
    FButton->SetWidth(FButtonWidth);
    FButton->SetHeight(17);
    FButton->SetVisible(true);
    FButton->SetFocusControl(this);
}

void TLumCustomDropDown::SetDropDownButtonWidth(int Value)
{
    if (!FButton || Value == FButtonWidth)
        return;
    FButtonWidth = Value;
    FButton->SetBWidth(Value);
    if (FButton->HandleAllocated())
        ResizeControl();
}

void TLumCustomDropDown::SetDropDownEnabled(bool Value)
{
    FDropDownEnabled = Value;
    if (FButton)
        FButton->SetEnabled(Value);
}

void TLumCustomDropDown::SetDropDownButtonHint(const String& Value)
{
    FButtonHint = Value;
    if (!FButton)
        return;
    FButton->SetHint(Value);
    FButton->SetShowHint(!Value.empty());
    FButton->GetButton()->SetHint(Value);
    FButton->GetButton()->SetShowHint(!Value.empty());
}

TBitmap* TLumCustomDropDown::GetDropDownButtonGlyph() const { return FButton ? FButton->GetGlyph() : nullptr; }

void TLumCustomDropDown::SetDropDownButtonGlyph(TBitmap* Value)
{
    if (FButton)
        FButton->SetGlyph(Value);
}

String TLumCustomDropDown::GetDropDownButtonCaption() const { return FButton ? FButton->GetButtonCaption() : String(); }

void TLumCustomDropDown::SetDropDownButtonCaption(const String& Value)
{
    if (FButton)
        FButton->SetButtonCaption(Value);
}

// ---- frame colours ----

void TLumCustomDropDown::SetBorderColor(TColor Value)
{
    if (FBorderColor == Value)
        return;
    FBorderColor = Value;
    Invalidate();
    // Without a colour the standard frame comes back.
    if (Value == clNone && HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    if (FButton)
        FButton->GetButton()->Invalidate();
}

void TLumCustomDropDown::SetDisabledBorder(bool Value)
{
    if (FDisabledBorder == Value)
        return;
    FDisabledBorder = Value;
    Invalidate();
}

// ---- geometry ----

int TLumCustomDropDown::MinimumEditHeight()
{
    HDC DC = GetDC(nullptr);
    TEXTMETRICW Screen {}, Own {};
    GetTextMetrics(DC, &Screen);
    HGDIOBJ Saved = SelectObject(DC, GetFont()->GetHandle());
    GetTextMetrics(DC, &Own);
    SelectObject(DC, Saved);
    ReleaseDC(nullptr, DC);
    return Own.tmHeight + std::min(Screen.tmHeight, Own.tmHeight) / 4;
}

void TLumCustomDropDown::ResizeControl()
{
    const bool Framed = GetBorderStyle() != bsNone || GetBevelKind() != bkNone;
    const int a = Framed ? 4 : 2;
    if (GetHeight() < MinimumEditHeight()) {
        SetHeight(MinimumEditHeight());
    } else if (FButton) {
        const int BW = FButton->GetBWidth();
        if (GetCtl3D() && Framed)
            FButton->SetBounds(GetWidth() - BW - a, 0, BW, GetHeight() - a);
        else
            FButton->SetBounds(GetWidth() - BW - (GetCtl3D() ? 0 : 2), 1, BW, GetHeight() - 2);
        SetEditRect();
    }
    Invalidate();
}

void TLumCustomDropDown::SetEditRect()
{
    if (!HandleAllocated())
        return;
    RECT Loc {};
    Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Loc));
    TRect R(Loc);
    FDPIScale = float(LumDropDown::DPIScaleOfControl(this));
    R.Bottom = GetClientHeight() + 1;
    R.Right = GetClientWidth() - Scaled(FDPIScale, FButtonWidth) - 3;
    const bool Framed = GetBorderStyle() != bsNone || GetBevelKind() != bkNone;
    R.Left = R.Top = Scaled(FDPIScale, Framed ? 1 : 2);
    FEditRect = R;
    if (!GetCtl3D())
        R.Left += Scaled(FDPIScale, 1);
    Loc = R;
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Loc));
}

// ---- states ----

bool TLumCustomDropDown::IsHot()
{
    if (GetComponentState().Contains(csDesigning))
        return false;
    return FMouseInControl || Screen->GetActiveControl() == this;
}

void TLumCustomDropDown::UpdateButtonFocus()
{
    if (!FButton)
        return;
    const bool Hot = GetComponentState().Contains(csDesigning) ? GetEnabled()
                                                               : FMouseInControl || Screen->GetActiveControl() == this;
    FButton->GetButton()->SetFocused(Hot);
}

// ---- drawing ----

void TLumCustomDropDown::DrawBorders()
{
    if (GetEnabled() && FBorderColor == clNone && FFocusBorderColor == clNone)
        return;
    if (!HandleAllocated())
        return;
    if (HDC DC = GetWindowDC(GetHandle())) {
        PaintBorder(DC);
        ReleaseDC(GetHandle(), DC);
    }
    UpdateButtonFocus();
}

void TLumCustomDropDown::PaintBorder(HDC DC)
{
    if (GetComponentState().Contains(csDesigning))
        return;
    TRect R(0, 0, GetWidth(), GetHeight());
    const bool HasFocus = HandleAllocated() && ::GetFocus() == GetHandle();
    if (!GetEnabled() && FIsThemed && FDisabledBorder) {
        FrameIn(DC, R, TColor(0xC0C0C0));
    } else if (FBorderColor != clNone && !(HasFocus && FFocusBorderColor != clNone)) {
        FrameIn(DC, R, FBorderColor);
    } else if (FFocusBorderColor != clNone) {
        if (HasFocus)
            FrameIn(DC, R, FFocusBorderColor);
    } else if (IsHot()) {
        RECT Rc = R;
        DrawEdge(DC, &Rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        FrameIn(DC, TRect(Rc), clBtnFace);
    } else {
        const TColor Around = GetParent() ? GetParent()->GetBrush()->GetColor() : clBtnFace;
        FrameIn(DC, R, Around);
        R.Inflate(-1, -1);
        FrameIn(DC, R, Around);
    }
}

void TLumCustomDropDown::DrawFocusedText()
{
    if (FEditorEnabled || !HandleAllocated() || ::GetFocus() != GetHandle()
        || GetComponentState().Contains(csDesigning) || !FFocusDraw)
        return;
    HDC DC = GetWindowDC(GetHandle());
    if (!DC)
        return;
    {
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        TRect R(2, 2, GetWidth() - Scaled(FDPIScale, FButtonWidth) - 1, GetHeight() - 2);
        Canvas.GetPen()->SetColor(clBlack);
        Canvas.GetBrush()->SetStyle(bsSolid);
        Canvas.GetBrush()->SetColor(clHighlight);
        Canvas.Rectangle(R);
        R.Left += 2;
        R.Right -= 3;
        Canvas.GetFont()->Assign(GetFont());
        Canvas.GetFont()->SetColor(clHighlightText);
        Canvas.GetBrush()->SetStyle(bsClear);
        String Value = GetText();
        Canvas.TextRect(R, Value, { tfSingleLine, tfVerticalCenter, tfNoPrefix });
        Canvas.SetHandle(nullptr);
    }
    ReleaseDC(GetHandle(), DC);
}

void TLumCustomDropDown::DrawEmptyText()
{
    if (!HandleAllocated() || !GetText().empty() || FEmptyText.empty())
        return;
    if (::GetFocus() == GetHandle() && !FEmptyTextFocused)
        return;
    HDC DC = GetDC(GetHandle());
    if (!DC)
        return;
    {
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        if (HasGetLocaleInfoEx()) {
            Canvas.GetBrush()->SetStyle(bsSolid);
            Canvas.GetBrush()->SetColor(GetColor());
        } else {
            SetBkMode(DC, TRANSPARENT);
        }
        if (IsVCLStyleActive())
            Canvas.GetBrush()->SetStyle(bsClear);
        Canvas.GetFont()->Assign(GetFont());
        Canvas.GetFont()->SetStyle(FEmptyTextStyle);
        Canvas.GetFont()->SetColor(TColor(0x808080));
        Canvas.TextOut(GetCtl3D() ? 3 : 6, 2, FEmptyText);
        Canvas.SetHandle(nullptr);
    }
    ReleaseDC(GetHandle(), DC);
}

// ---- messages ----

bool TLumCustomDropDown::PaintMessage(TMessage& Message)
{
    const bool Coloured = FBorderColor != clNone || FFocusBorderColor != clNone;
    switch (Message.Msg) {
    case WM_PAINT:
        TCustomMaskEdit::Dispatch(Message);
        DrawFocusedText();
        DrawEmptyText();
        if (Coloured || (!GetEnabled() && FDisabledBorder))
            DrawBorders();
        return true;
    case WM_NCPAINT:
        TCustomMaskEdit::Dispatch(Message);
        if (Coloured)
            DrawBorders();
        return true;
    case WM_SETCURSOR:
        if (FEditorEnabled)
            return false;
        // A pure selector shows its own pointer, not the text cursor.
        ::SetCursor(Screen->GetCursors(GetCursor() == crDefault ? crArrow : GetCursor()));
        Message.Result = 1;
        return true;
    case EM_SETREADONLY:
        TCustomMaskEdit::Dispatch(Message);
        if (FButton)
            FButton->GetButton()->Invalidate();
        return true;
    case CM_ENABLEDCHANGED:
        TCustomMaskEdit::Dispatch(Message);
        if (FButton)
            FButton->SetEnabled(GetEnabled());
        if (FLabel && !FLabelAlwaysEnabled)
            FLabel->SetEnabled(GetEnabled());
        return true;
    default:
        return false;
    }
}

void TLumCustomDropDown::DoEnter()
{
    // A click places the caret where it lands.
    if (GetAutoSelect() && GetKeyState(VK_LBUTTON) >= 0)
        SelectAll();
    TCustomMaskEdit::DoEnter();
    SetEditRect();
    DrawBorders();
}

void TLumCustomDropDown::DoExit()
{
    TCustomMaskEdit::DoExit();
    DrawBorders();
    // A frame in the focus colour gives way to the standard one.
    if (HandleAllocated() && FFocusBorderColor != clNone && FBorderColor == clNone)
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TLumCustomDropDown::MouseEnter()
{
    TCustomMaskEdit::MouseEnter();
    if (FMouseInControl || !GetEnabled())
        return;
    DrawFocusedText();
    DrawEmptyText();
    FMouseInControl = true;
    DrawBorders();
}

void TLumCustomDropDown::MouseLeave()
{
    TCustomMaskEdit::MouseLeave();
    if (!FMouseInControl || !GetEnabled())
        return;
    FMouseInControl = false;
    DrawBorders();
}
