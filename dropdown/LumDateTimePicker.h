#pragma once
// The date/time pickers of the drop-down family. TCustomDateTimePicker is
// the platform picker with a flat look (a one-pixel outline, a border frame
// in a chosen colour, a "metro" button), hover tracking of the button
// strip, auto-tab from field to field and a Tab rule for the grid.
// TLumDateTimePicker edits a date, a time of day or both (an embedded time
// picker holds the time of day), with a null date, a time window, a caption
// label and a validation balloon.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"

class TLabel;
class TLumToolTip;
class TLumToolTipWindow;

// The message number every picker (and the grid) posts to run the auto-tab
// check after the common control has taken a typed digit.
UINT DTPShiftFocusMessage();

class TCustomDateTimePicker : public TDateTimePicker {
    QT_CLASS(TCustomDateTimePicker, TDateTimePicker)
public:
    explicit TCustomDateTimePicker(TComponent* AOwner = nullptr);

    // ---- the environment, asked when called ----
    // Common controls of version 6 or later (an unreadable version counts).
    static bool IsComCtl6();
    // The platform generation with the name-based locale calls.
    static bool HasLocaleInfoEx();
    // Themed common controls and a theme active.
    bool ThemeActive() const;
    static bool IsMouseButtonDown();
    // The form's scale against 96 pixels per inch, by the height of a "0".
    float GetFormDPIScale();
    // The size of one line of text in the font.
    TSize MeasureText(const String& Text, TFont* Font);
    // Moves the focus to the next control of the form (visible pickers only).
    void FocusNextControl();
    void RedrawBorderFrame();
    void DrawBorderFrame(HDC DC);

    bool GetAutoTab() const { return FAutoTab; }
    bool GetAutoTabToNext() const { return FAutoTabToNext; }
    bool GetMetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool Value);
    // Metro mode: the metro look on a picker of its own.
    bool MetroMode() const { return FMetroStyle && !IsEmbedded(); }
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    bool GetButtonHover() const { return FButtonHover; }
    bool GetMouseInControl() const { return FMouseInControl; }
    int GetButtonWidth() const { return FButtonWidth; }
    bool GetIsThemed() const { return FIsThemed; }
    // The embedded time part of a date-and-time picker.
    bool GetIsTimePicker() const { return FIsTimePicker; }
    void SetIsTimePicker(bool Value) { FIsTimePicker = Value; }
    // Tab handling for the grid's date-and-time editor (see WM_GETDLGCODE).
    bool GetGridTabhandling() const { return FGridTabhandling; }
    void SetGridTabhandling(bool Value) { FGridTabhandling = Value; }

    void Dispatch(TMessage& Message) override;

    // ---- operations a descendant may replace, in contract order ----
    // After a typed digit: moves the caret on, or the focus.
    virtual void CheckAutoTab();
    virtual void SetAutoTab(bool Value) { FAutoTab = Value; }
    virtual void SetAutoTabToNext(bool Value) { FAutoTabToNext = Value; }
    // An embedded picker frames its parent and has no metro button.
    virtual bool IsEmbedded() const { return true; }
    virtual void SetBorderStyle(TBorderStyle Value);

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    TColor GetBorderColor() const { return FBorderColor; }
    // Stores a changed colour and repaints the frame.
    void SetBorderColor(TColor Value);
    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor Value) { FButtonColor = Value; Invalidate(); }
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor Value) { FButtonColorHot = Value; }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor Value) { FButtonColorDown = Value; }
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor Value) { FButtonTextColor = Value; Invalidate(); }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor Value) { FButtonTextColorHot = Value; }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor Value) { FButtonTextColorDown = Value; }
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor Value) { FButtonBorderColor = Value; Invalidate(); }

    // A typed digit with AutoTab on: the common part of the auto-tab step.
    void AutoTabDigit(TMessage& Message);
    void DrawFlatBorder(HDC DC);
    void DrawMetroButton(HDC DC);
    // The painting after the platform's client painting.
    void PaintOver();

    TBorderStyle FBorderStyle { bsNone };
    TColor FBorderColor { TColor(0) };
    bool FIsThemed { false };
    TColor FButtonColorDown { clNone };
    TColor FButtonBorderColor { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
    int FButtonWidth { 0 };
    bool FButtonHover { false };
    bool FMouseInControl { false };
    bool FIsWinXP { false };
    bool FMetroStyle { false };
    bool FAutoTab { false };
    bool FAutoTabToNext { true };
    Word Fh { 0 };
    Word Fm { 0 };
    Word Fs { 0 };
    Word Fms { 0 };
    bool FIsTimePicker { false };
    bool FGridTabhandling { false };
    String FLast2Keys;
    String FLast4Keys;

private:
    // The pen colour of the flat outline.
    TColor OutlineColor();
    void DrawOutline(HDC DC, TColor Color, bool Inner);
};
