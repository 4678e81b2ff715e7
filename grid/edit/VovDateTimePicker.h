#pragma once
// The date/time picker of the grid family: the platform picker with border
// colours and an optional flat "metro" look whose drop-down button is drawn
// like the family's combo button. The grid's date editor derives from it.

#include "platform/vcl/ComCtrls_DateTimePicker.h"

class TVovDateTimePicker : public TDateTimePicker {
    QT_CLASS(TVovDateTimePicker, TDateTimePicker)
public:
    explicit TVovDateTimePicker(TComponent* AOwner = nullptr);

    // Used when the 3-D look is off, and in metro mode.
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    // Colours of a self-drawn drop-down button (clNone: not used; the hot
    // text colour is kept but not painted).
    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v);
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { FButtonColorHot = v; }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { FButtonColorDown = v; }
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { FButtonTextColor = v; }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { FButtonTextColorDown = v; }
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { FButtonBorderColor = v; }
    // Flat look with the custom button and borders (never while designed).
    bool GetMetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool v);
    // Always "1.0.0.0"; writing it does nothing.
    String GetVersion() const;
    void SetVersion(const String&) { }

    bool GetButtonHover() const { return FButtonHover; }
    bool GetMouseInControl() const { return FMouseInControl; }
    int GetButtonWidth() const { return FButtonWidth; }

    // Draws the metro borders and the flat button ring on the window.
    void DrawBorders();

    void Dispatch(TMessage& Message) override;

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool MetroActive() const;
    bool ThemesActive() const;
    bool IsFocusedNow() const;
    bool IsActiveControl() const;
    void SetBorderStyle(TBorderStyle v);
    // The extra painting after the platform's, on the window.
    void PaintMetro();
    void DrawButton(HDC DC);
    void DrawNonClientOutline();

    TColor FBorderColor { clNone };
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonColorDown { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
    TColor FButtonBorderColor { clNone };
    bool FMetroStyle { false };
    TBorderStyle FBorderStyle { bsNone };
    int FButtonWidth { 19 };
    bool FButtonHover { false };
    bool FMouseInControl { false };
    bool FHasFocus { false };
    // Kept as the combo keeps them; the picker offers no setters.
    bool FFocusBorder { false };
    TColor FFocusBorderColor { clNone };
    bool FDisabledBorder { false };
    bool FIsWinXP { false };
    bool FIsThemed { false };
    bool FIsVista { false };
};
