#include "dropdown/LumDropDownButton.h"

#include "dropdown/LumCustomDropDown.h"
#include "grid/core/GridPlatform.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Themes.h"
#include "richtext/LumStyles.h"

QT_PUBLISHED(TLumDropDownSpeedButton, QT_PROP(ButtonStyle), QT_PROP(Etched), QT_PROP(Focused))
QT_PUBLISHED(TDropDownEditButton, QT_PROP(Glyph), QT_PROP(ButtonCaption), QT_PROP_T(NumGlyphs, u"TNumGlyphs"),
    QT_PROP(FocusControl))

namespace {

// Parts of the theme classes "combobox" and "button".
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CP_DROPDOWNBUTTONRIGHT = 6;
constexpr int BP_PUSHBUTTON = 1;

int ScaledOf(double Scale, int k) { return int(RoundHalfEven(k * Scale)); }

} // namespace

namespace LumDropDown {

void DrawChevron(TCanvas* Canvas, const TRect& R, double Scale, TColor Color)
{
    Canvas->GetPen()->SetColor(Color);
    Canvas->GetPen()->SetWidth(std::max(1, int(Scale)));
    const int cx = R.Left + (R.Right - R.Left) / 2, cy = R.Top + (R.Bottom - R.Top) / 2;
    auto r = [Scale](int k) { return ScaledOf(Scale, k); };
    if (r(1) % 2 != 0)
        Canvas->Polyline({ { cx - r(3), cy - r(1) }, { cx, cy + r(2) }, { cx + r(3) + 1, cy - r(1) - 1 } });
    else
        Canvas->Polyline({ { cx - r(4), cy - r(2) }, { cx, cy + r(1) + 1 }, { cx + r(4) + 1, cy - r(2) - 1 } });
    Canvas->GetPen()->SetWidth(1);
}

} // namespace LumDropDown

// ---- TLumDropDownSpeedButton ----

TLumDropDownSpeedButton::TLumDropDownSpeedButton(TComponent* AOwner)
    : TSpeedButton(AOwner)
{
    FIsWinXP = GridPlatform::ComCtl32MajorVersion > 5;
}

void TLumDropDownSpeedButton::SetButtonStyle(TButtonStyle Value)
{
    FButtonStyle = Value;
    Invalidate();
}

void TLumDropDownSpeedButton::SetEtched(bool Value)
{
    if (FEtched == Value)
        return;
    FEtched = Value;
    Invalidate();
}

void TLumDropDownSpeedButton::SetFocused(bool Value)
{
    if (FFocused == Value)
        return;
    FFocused = Value;
    Invalidate();
}

bool TLumDropDownSpeedButton::IsDown() const
{
    return (GetState() == bsDown || GetState() == bsExclusive) && !FUp;
}

void TLumDropDownSpeedButton::MouseEnter()
{
    TSpeedButton::MouseEnter();
    FHot = true;
    Invalidate();
}

void TLumDropDownSpeedButton::MouseLeave()
{
    TSpeedButton::MouseLeave();
    FHot = false;
    Invalidate();
}

bool TLumDropDownSpeedButton::ThemesActive() const { return FIsWinXP && IsThemeActive(); }

TDropDownEditButton* TLumDropDownSpeedButton::EditButton() const
{
    return dynamic_cast<TDropDownEditButton*>(const_cast<TLumDropDownSpeedButton*>(this)->GetOwner());
}

TLumCustomDropDown* TLumDropDownSpeedButton::DropDown() const
{
    TDropDownEditButton* Button = EditButton();
    return Button ? Button->GetDropDown() : nullptr;
}

void TLumDropDownSpeedButton::Paint()
{
    if (FButtonStyle == bsButton)
        PaintButton();
    else
        PaintDropDown();
}

void TLumDropDownSpeedButton::PaintDropDown()
{
    TCanvas* Canvas = GetCanvas();
    TDropDownEditButton* Owner = EditButton();
    TLumCustomDropDown* Edit = DropDown();
    const TRect R = GetClientRect();
    const bool Down = IsDown();

    if (Owner && Owner->GetButtonColor() != clNone) {
        FDPIScale = float(ScaleFactorForControl(this, Canvas));
        TColor Face = Owner->GetButtonColor();
        if (FHot)
            Face = Owner->GetButtonColorHot();
        if (Down)
            Face = Owner->GetButtonColorDown();
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(Face);
        Canvas->GetPen()->SetColor(Face);
        Canvas->FillRect(R);
        if (Edit && Edit->GetBorderColor() != clNone) {
            Canvas->GetPen()->SetColor(Edit->GetBorderColor());
            Canvas->MoveTo(R.Left, R.Top);
            Canvas->LineTo(R.Left, R.Bottom);
        }
        TColor Arrow = Owner->GetButtonTextColor();
        if (FHot)
            Arrow = Owner->GetButtonTextColorHot();
        if (Down)
            Arrow = Owner->GetButtonTextColorDown();
        LumDropDown::DrawChevron(Canvas, R, FDPIScale, Arrow);
        return;
    }

    TBitmap* Glyph = GetGlyph();
    if (Glyph && !Glyph->GetEmpty()) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(clBtnFace);
        Canvas->GetPen()->SetColor(TColor(0x808080));
        Canvas->Rectangle(R);
        TBitmap Shown;
        Shown.Assign(Glyph);
        Shown.SetTransparent(true);
        const int X = Glyph->GetWidth() < GetWidth() ? (GetWidth() - Glyph->GetWidth()) / 2 : 0;
        const int Y = Glyph->GetHeight() < GetHeight() ? (GetHeight() - Glyph->GetHeight()) / 2 : 0;
        Canvas->Draw(X, Y, &Shown);
        return;
    }

    if (GetStyleElements().Contains(seClient) && IsVCLStyleActive()) {
        const bool DroppedDown = Edit && Edit->GetDroppedDown();
        const TThemedComboBox Part = Down || DroppedDown ? tcDropDownButtonPressed
            : FHot                                      ? tcDropDownButtonHot
                                                        : tcDropDownButtonNormal;
        StyleServices()->DrawElement(Canvas->GetHandle(), StyleServices()->GetElementDetails(Part), R);
        return;
    }

    if (ThemesActive() && GetParent()) {
        if (HTHEME Theme = OpenThemeData(GetParent()->GetHandle(), u"combobox")) {
            TRect T = R;
            if (HasGetLocaleInfoEx()) {
                T.Left += 1;
            } else {
                T.Inflate(1, 1);
                T.Left += 2;
            }
            int Part = CP_DROPDOWNBUTTON;
            if (LumDropDown::IsWindows10() || LumDropDown::IsWindowsMajor6()) {
                Canvas->GetBrush()->SetStyle(bsSolid);
                Canvas->GetBrush()->SetColor(clWindow);
                Canvas->GetPen()->SetColor(clWindow);
                Canvas->Rectangle(T);
                T.Right += 1;
                T.Top -= 1;
                T.Bottom += 1;
                Part = CP_DROPDOWNBUTTONRIGHT;
            }
            const bool Disabled = !(Owner && Owner->GetEnabled()) || !(Edit && Edit->GetEnabled())
                || (Edit && Edit->GetReadOnly());
            const int State = Disabled ? 4 : Down || (Edit && Edit->GetDroppedDown()) ? 3 : FHot ? 2 : 1;
            RECT Rc = T;
            DrawThemeBackground(Theme, Canvas->GetHandle(), Part, State, &Rc, nullptr);
            CloseThemeData(Theme);
            return;
        }
    }

    // Classic: the platform's button face with a light inner frame and a
    // small black triangle.
    TSpeedButton::Paint();
    Canvas->GetPen()->SetWidth(1);
    Canvas->GetPen()->SetColor(clBtnFace);
    Canvas->Polyline({ { GetWidth() - 2, 0 }, { 0, 0 }, { 0, GetHeight() - 1 } });
    Canvas->GetPen()->SetColor(clWhite);
    Canvas->Polyline({ { GetWidth() - 3, 1 }, { 1, 1 }, { 1, GetHeight() - 2 } });
    Canvas->GetPen()->SetColor(clBlack);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(clBlack);
    Canvas->Polygon({ { 5, 7 }, { 11, 7 }, { 8, 10 } });
}

void TLumDropDownSpeedButton::PaintButton()
{
    TCanvas* Canvas = GetCanvas();
    if (TLumCustomDropDown* Edit = DropDown())
        Canvas->GetFont()->Assign(Edit->GetFont());
    const bool Pressed = IsDown();
    TBitmap* Glyph = GetGlyph();
    const bool HasGlyph = Glyph && !Glyph->GetEmpty();
    String Caption = GetCaption();

    if (ThemesActive() && GetParent()) {
        Canvas->FillRect(TRect(0, 0, GetWidth(), GetHeight()));
        if (HTHEME Theme = OpenThemeData(GetParent()->GetHandle(), u"button")) {
            RECT Rc { 0, 0, GetWidth() + 1, GetHeight() + 1 };
            const int State = !GetEnabled() ? 4 : Pressed ? 3 : FHot ? 2 : 1;
            DrawThemeBackground(Theme, Canvas->GetHandle(), BP_PUSHBUTTON, State, &Rc, nullptr);
            CloseThemeData(Theme);
        }
        TRect R = GetClientRect();
        if (HasGlyph) {
            R.Inflate(-2, -2);
            if (!Caption.empty())
                R.Left += 2;
            else if (Glyph->GetWidth() < R.Width())
                R.Left += (R.Width() - Glyph->GetWidth()) / 2;
            if (Glyph->GetHeight() < R.Height())
                R.Top += (R.Height() - Glyph->GetHeight()) / 2;
            if (Pressed)
                R.Offset(1, 1);
            TBitmap Shown;
            Shown.Assign(Glyph);
            Shown.SetTransparent(true);
            Canvas->Draw(R.Left, R.Top, &Shown);
        }
        if (!Caption.empty()) {
            Canvas->GetBrush()->SetStyle(bsClear);
            if (!HasGlyph) {
                R = GetClientRect();
                R.Inflate(-3, -1);
                if (Pressed)
                    R.Offset(1, 1);
                Canvas->TextRect(R, Caption, { tfSingleLine, tfVerticalCenter, tfCenter });
            } else {
                TRect T(R.Left + Glyph->GetWidth() + 2, R.Top - 1, GetWidth(), GetHeight());
                Canvas->TextRect(T, Caption, { tfSingleLine, tfLeft });
            }
        }
        return;
    }

    if (GetFlat()) {
        const TRect Bounds(0, 0, GetWidth(), GetHeight());
        Canvas->FillRect(Bounds);
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(clBtnFace);
        Canvas->FillRect(Bounds);
        RECT Edge { 0, 0, GetWidth() + 1, GetHeight() + 1 };
        DrawEdge(Canvas->GetHandle(), &Edge, FEtched ? EDGE_ETCHED : EDGE_RAISED, BF_RECT | (Pressed ? BF_FLAT : 0u));
        TRect R = GetClientRect();
        if (HasGlyph) {
            R.Inflate(-3, -3);
            if (Pressed)
                R.Offset(1, 1);
            LumDropDown::DrawTransparentBitmap(Canvas, Glyph, clBtnFace, R);
        }
        if (!Caption.empty()) {
            R.Inflate(-3, -1);
            if (Pressed)
                R.Offset(1, 1);
            Canvas->GetBrush()->SetStyle(bsClear);
            Canvas->TextRect(R, Caption, { tfSingleLine, tfVerticalCenter, tfCenter });
        }
        return;
    }

    TSpeedButton::Paint();
}

// ---- TDropDownEditButton ----

TDropDownEditButton::TDropDownEditButton(TComponent* AOwner)
    : TWinControl(AOwner)
{
    FDropDown = dynamic_cast<TLumCustomDropDown*>(AOwner);
    if (!FDropDown)
        throw EInvalidCast(u"Invalid class typecast");
    m_controlStyle.Exclude(csAcceptsControls);
    m_controlStyle.Exclude(csSetCaption);
    m_controlStyle.Include(csOpaque);
    CreateSpeedButton();
    FButton->SetButtonStyle(bsDropDown);
    TBitmap Empty;
    FButton->SetGlyph(&Empty);
    SetWidth(16);
    SetHeight(25);
    FBWidth = 16;
}

void TDropDownEditButton::CreateSpeedButton()
{
    FButton = new TLumDropDownSpeedButton(this);
    FButton->SetParent(this);
    FButton->OnClick = [](TObject*) { };
    FButton->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState, int, int) {
        ButtonMouseUp(Sender, Button);
    };
    FButton->SetVisible(true);
    FButton->SetEnabled(GetEnabled());
    FButton->SetCaption(String());
}

void TDropDownEditButton::Store(TColor& Field, TColor Value)
{
    Field = Value;
    if (FButton)
        FButton->Invalidate();
}

void TDropDownEditButton::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl && FFocusControl != GetOwner())
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl && FFocusControl != GetOwner())
        FFocusControl->FreeNotification(this);
}

void TDropDownEditButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFocusControl)
        FFocusControl = nullptr;
    if (AComponent == FButton)
        FButton = nullptr;
}

void TDropDownEditButton::AdjustButtonBounds(int& W, int H)
{
    if (!FButton || (GetComponentState().Contains(csLoading) && !GetComponentState().Contains(csDesigning)))
        return;
    W = FBWidth;
    FButton->SetBounds(0, 0, FBWidth, H);
}

void TDropDownEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AdjustButtonBounds(AWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TDropDownEditButton::Dispatch(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    switch (Message.Msg) {
    case WM_SIZE: {
        int W = GetWidth();
        const int H = GetHeight();
        AdjustButtonBounds(W, H);
        if (W != GetWidth())
            TWinControl::SetBounds(GetLeft(), GetTop(), W, H);
        Message.Result = 0;
        break;
    }
    case CM_ENABLEDCHANGED:
        if (FButton && !GetComponentState().Contains(csDesigning))
            FButton->SetEnabled(GetEnabled());
        break;
    default:
        break;
    }
}

void TDropDownEditButton::Loaded()
{
    TWinControl::Loaded();
    int W = GetWidth();
    const int H = GetHeight();
    AdjustButtonBounds(W, H);
    if (W != GetWidth())
        TWinControl::SetBounds(GetLeft(), GetTop(), W, H);
}

void TDropDownEditButton::ButtonMouseUp(TObject* Sender, TMouseButton Button)
{
    if (Button != mbLeft)
        return;
    if (FFocusControl && FFocusControl->GetTabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (GetTabStop() && !Focused() && CanFocus())
        SetFocus();
    if (OnClick && Sender == FButton)
        OnClick(this);
}
