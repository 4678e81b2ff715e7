#pragma once
// The button at the right edge of every drop-down edit: TDropDownEditButton,
// a small windowed control that TLumDropDownSpeedButton fills completely.
// The speed button draws the drop-down arrow in one of five looks: custom
// colours, a glyph, the application style, the platform theme or classic.

#include "platform/vcl/Buttons.h"

class TLumCustomDropDown;
class TDropDownEditButton;

enum TButtonStyle { bsButton, bsDropDown };
QT_ENUM(TButtonStyle, bsButton, bsDropDown)

namespace LumDropDown {

// The two-segment chevron of a custom-coloured drop-down button, centred in
// R and drawn with a pen as wide as the whole part of Scale.
void DrawChevron(TCanvas* Canvas, const TRect& R, double Scale, TColor Color);

} // namespace LumDropDown

class TLumDropDownSpeedButton : public TSpeedButton {
    QT_CLASS(TLumDropDownSpeedButton, TSpeedButton)
public:
    explicit TLumDropDownSpeedButton(TComponent* AOwner = nullptr);

    TButtonStyle GetButtonStyle() const { return FButtonStyle; }
    // Stores and repaints, even when unchanged.
    void SetButtonStyle(TButtonStyle Value);
    bool GetEtched() const { return FEtched; }
    void SetEtched(bool Value);
    // Mirrors the edit's hot or active state; stored and repainted only.
    bool GetFocused() const { return FFocused; }
    void SetFocused(bool Value);
    // Once set, the pressed look is never drawn again.
    void SetUp() { FUp = true; }
    bool GetHot() const { return FHot; }
    // Down or exclusive while not set up.
    bool IsDown() const;
    // Exactly down, whatever SetUp said.
    bool IsPressed() const { return GetState() == bsDown; }

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool ThemesActive() const;

private:
    void PaintButton();
    void PaintDropDown();
    TDropDownEditButton* EditButton() const;
    TLumCustomDropDown* DropDown() const;

    float FDPIScale { 1.0f };
    bool FEtched { false };
    bool FFocused { false };
    bool FHot { false };
    bool FUp { false };
    bool FIsWinXP { false };
    TButtonStyle FButtonStyle { bsButton };
};

// The windowed holder of the speed button. It always takes the width
// FBWidth; OnClick fires after a left-button release on the inner button.
class TDropDownEditButton : public TWinControl {
    QT_CLASS(TDropDownEditButton, TWinControl)
public:
    // The owner must be a drop-down edit.
    explicit TDropDownEditButton(TComponent* AOwner);

    TLumDropDownSpeedButton* GetButton() const { return FButton; }
    TLumCustomDropDown* GetDropDown() const { return FDropDown; }
    TBitmap* GetGlyph() const { return FButton->GetGlyph(); }
    void SetGlyph(TBitmap* Value) { FButton->SetGlyph(Value); }
    String GetButtonCaption() const { return FButton->GetCaption(); }
    void SetButtonCaption(const String& Value) { FButton->SetCaption(Value); }
    TNumGlyphs GetNumGlyphs() const { return FButton->GetNumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value) { FButton->SetNumGlyphs(Value); }
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    int GetBWidth() const { return FBWidth; }
    void SetBWidth(int Value) { FBWidth = Value; }

    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor Value) { Store(FButtonColor, Value); }
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor Value) { Store(FButtonColorHot, Value); }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor Value) { Store(FButtonColorDown, Value); }
    // Kept for the styles and colour tones; the drawing does not use it.
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor Value) { FButtonBorderColor = Value; }
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor Value) { Store(FButtonTextColor, Value); }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor Value) { Store(FButtonTextColorHot, Value); }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor Value) { Store(FButtonTextColorDown, Value); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void CreateSpeedButton();
    void AdjustButtonBounds(int& W, int H);
    void ButtonMouseUp(TObject* Sender, TMouseButton Button);
    void Store(TColor& Field, TColor Value);

    TLumCustomDropDown* FDropDown { nullptr };
    TLumDropDownSpeedButton* FButton { nullptr };
    TWinControl* FFocusControl { nullptr };
    int FBWidth { 16 };
    TColor FButtonColorDown { clNone };
    TColor FButtonBorderColor { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
};
