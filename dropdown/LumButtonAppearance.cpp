#include "dropdown/LumButtonAppearance.h"

#include "platform/rtl/MathUtils.h"


QT_PUBLISHED(TLumButtonAppearance, QT_PROP_T(BorderColor, u"TColor"), QT_PROP_T(BorderColorHot, u"TColor"),
    QT_PROP_T(BorderColorDown, u"TColor"), QT_PROP_T(BorderColorDisabled, u"TColor"), QT_PROP_T(Color, u"TColor"),
    QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(ColorDown, u"TColor"), QT_PROP_T(ColorDownTo, u"TColor"),
    QT_PROP_T(ColorHot, u"TColor"), QT_PROP_T(ColorHotTo, u"TColor"), QT_PROP_T(ColorDisabled, u"TColor"),
    QT_PROP_T(ColorDisabledTo, u"TColor"), QT_PROP(Gradient), QT_PROP(Font))

namespace {

// The latched look is the hot look with its red and green cut to 90 %.
TColor CheckedFromHot(TColor Hot)
{
    auto Cut = [](BYTE c) { return BYTE(RoundHalfEven(c * 0.9)); };
    return TColor(RGB(Cut(GetRValue(Hot)), Cut(GetGValue(Hot)), GetBValue(Hot)));
}

} // namespace

TLumButtonAppearance::TLumButtonAppearance()
    : FFont(std::make_unique<TFont>())
{
    FColorChecked = CheckedFromHot(FColorHot);
    FColorCheckedTo = CheckedFromHot(FColorHotTo);
    FFont->SetName(u"MS Sans Serif");
    FFont->SetHeight(-11);
}

TLumButtonAppearance::~TLumButtonAppearance() = default;

void TLumButtonAppearance::Change(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    if (OnChange)
        OnChange(this);
}

void TLumButtonAppearance::SetGradient(TGradientDirection Value)
{
    if (FGradient == Value)
        return;
    FGradient = Value;
    if (OnChange)
        OnChange(this);
}

void TLumButtonAppearance::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TLumButtonAppearance*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    SetBorderColor(Other->FBorderColor);
    SetBorderColorHot(Other->FBorderColorHot);
    SetBorderColorDown(Other->FBorderColorDown);
    SetBorderColorDisabled(Other->FBorderColorDisabled);
    SetBorderColorChecked(Other->FBorderColorChecked);
    SetColor(Other->FColor);
    SetColorTo(Other->FColorTo);
    SetColorDown(Other->FColorDown);
    SetColorDownTo(Other->FColorDownTo);
    SetColorHot(Other->FColorHot);
    SetColorHotTo(Other->FColorHotTo);
    SetColorCheckedTo(Other->FColorCheckedTo);
    SetColorDisabled(Other->FColorDisabled);
    SetColorDisabledTo(Other->FColorDisabledTo);
    SetColorChecked(Other->FColorChecked);
    SetGradient(Other->FGradient);
}
