#pragma once
// The colours, gradient direction and font of the push buttons that a
// drop-down's header and footer show; every drop-down owns one.

#include <memory>

#include "dropdown/LumDropDownRoutines.h"
#include "platform/vcl/Graphics.h"

class TLumButtonAppearance : public TPersistent {
    QT_CLASS(TLumButtonAppearance, TPersistent)
public:
    TLumButtonAppearance();
    ~TLumButtonAppearance() override;
    // Copies every colour and the gradient through the setters; the font stays.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Change(FBorderColor, Value); }
    TColor GetBorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor Value) { Change(FBorderColorHot, Value); }
    TColor GetBorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor Value) { Change(FBorderColorDown, Value); }
    TColor GetBorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor Value) { Change(FBorderColorDisabled, Value); }
    TColor GetBorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor Value) { Change(FBorderColorChecked, Value); }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { Change(FColor, Value); }
    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Change(FColorTo, Value); }
    TColor GetColorDown() const { return FColorDown; }
    void SetColorDown(TColor Value) { Change(FColorDown, Value); }
    TColor GetColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor Value) { Change(FColorDownTo, Value); }
    TColor GetColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { Change(FColorHot, Value); }
    TColor GetColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { Change(FColorHotTo, Value); }
    TColor GetColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor Value) { Change(FColorCheckedTo, Value); }
    TColor GetColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor Value) { Change(FColorDisabled, Value); }
    TColor GetColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor Value) { Change(FColorDisabledTo, Value); }
    TColor GetColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor Value) { Change(FColorChecked, Value); }
    TGradientDirection GetGradient() const { return FGradient; }
    void SetGradient(TGradientDirection Value);
    TFont* GetFont() const { return FFont.get(); }
    // Copies the font without notice.
    void SetFont(TFont* Value) { FFont->Assign(Value); }

private:
    void Change(TColor& Field, TColor Value);

    TColor FBorderColor { clNone };
    TColor FBorderColorHot { TColor(0x808080) };
    TColor FBorderColorDown { TColor(0x800000) };
    TColor FBorderColorDisabled { TColor(0x808080) };
    TColor FBorderColorChecked { TColor(0xFF0000) };
    TColor FColor { clNone };
    TColor FColorTo { clNone };
    TColor FColorDown { TColor(0xF5D8CA) };
    TColor FColorDownTo { TColor(0xF9BDA0) };
    TColor FColorHot { TColor(0xF5F0E1) };
    TColor FColorHotTo { TColor(0xF9D2B2) };
    TColor FColorCheckedTo { clNone };
    TColor FColorDisabled { TColor(0xF2F2F2) };
    TColor FColorDisabledTo { clNone };
    TColor FColorChecked { clNone };
    TGradientDirection FGradient { gdVertical };
    std::unique_ptr<TFont> FFont;
};
