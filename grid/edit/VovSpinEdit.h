#pragma once
// The spin edit: an edit with a pair of small arrow buttons at its right
// that step an integer, a float, a date or a time, with limits, step sizes,
// a decimal precision and a character filter. Independent of the grid; the
// grid's spin editors descend from it. Up/Down and PgUp/PgDn step the value;
// for dates and times the part under the caret is stepped. A pair of equal
// limits means no limit.

#include <memory>

#include "platform/rtl/DateUtils.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/Timers.h"

enum TSpinDirection { spVertical, spHorizontal };
QT_ENUM(TSpinDirection, spVertical, spHorizontal)
enum TVovSpinType { sptNormal, sptFloat, sptDate, sptTime };
QT_ENUM(TVovSpinType, sptNormal, sptFloat, sptDate, sptTime)
enum TEditAlign { eaLeft, eaRight, eaCenter };
QT_ENUM(TEditAlign, eaLeft, eaRight, eaCenter)
enum TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
QT_ENUM(TButtonDirection, bdLeft, bdRight, bdUp, bdDown)
enum TTimeBtnStateItem { tbFocusRect, tbAllowTimer };
QT_ENUM(TTimeBtnStateItem, tbFocusRect, tbAllowTimer)
using TTimeBtnState = Set<TTimeBtnStateItem>;

class TVovSpinButton;

// One arrow button; repeats its click while held down (400 ms after the
// press, then every 100 ms). Paints with the colours of its spin button.
class TLumTimerSpeedButton : public TSpeedButton {
    QT_CLASS(TLumTimerSpeedButton, TSpeedButton)
public:
    explicit TLumTimerSpeedButton(TComponent* AOwner = nullptr);
    ~TLumTimerSpeedButton() override;

    TTimeBtnState GetTimeBtnState() const { return FTimeBtnState; }
    void SetTimeBtnState(TTimeBtnState v) { FTimeBtnState = v; }
    TButtonDirection GetButtonDirection() const { return FButtonDirection; }
    void SetButtonDirection(TButtonDirection v);
    bool GetIsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    bool GetHasMouse() const { return FHasMouse; }
    // Null until the first press that may repeat.
    TTimer* GetRepeatTimer() const { return FRepeatTimer.get(); }

    static constexpr UINT InitRepeatPause = 400;
    static constexpr UINT RepeatPause = 100;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void TimerExpired(TObject* Sender);
    TVovSpinButton* SpinOwner() const;
    void PaintArrow(TCanvas* Canvas, const TRect& R, TColor Fill, TColor Arrow, bool HighContrast);

    std::unique_ptr<TTimer> FRepeatTimer;
    TTimeBtnState FTimeBtnState;
    TButtonDirection FButtonDirection { bdUp };
    bool FIsWinXP { false };
    bool FHasMouse { false };
};

// The pair of arrow buttons. Takes arrow keys and Space when focused; a
// press on a button hands the keyboard focus to FocusControl.
class TVovSpinButton : public TWinControl {
    QT_CLASS(TVovSpinButton, TWinControl)
public:
    explicit TVovSpinButton(TComponent* AOwner = nullptr);

    TLumTimerSpeedButton* GetUpButton() const { return FUpButton; }
    TLumTimerSpeedButton* GetDownButton() const { return FDownButton; }
    TLumTimerSpeedButton* GetFocusedButton() const { return FFocusedButton; }
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    TSpinDirection GetDirection() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    bool GetIsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);

    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { FButtonColor = v; Invalidate(); }
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { FButtonColorHot = v; Invalidate(); }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { FButtonColorDown = v; Invalidate(); }
    // Stored; the arrows are always black.
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { FButtonTextColor = v; }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { FButtonTextColorDown = v; }
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { FButtonBorderColor = v; }

    // Null restores the built-in arrow glyph.
    TBitmap* GetUpGlyph() const { return FUpButton->GetGlyph(); }
    void SetUpGlyph(TBitmap* v);
    TBitmap* GetDownGlyph() const { return FDownButton->GetGlyph(); }
    void SetDownGlyph(TBitmap* v);
    TNumGlyphs GetUpNumGlyphs() const { return FUpButton->GetNumGlyphs(); }
    void SetUpNumGlyphs(TNumGlyphs v) { FUpButton->SetNumGlyphs(v); }
    TNumGlyphs GetDownNumGlyphs() const { return FDownButton->GetNumGlyphs(); }
    void SetDownNumGlyphs(TNumGlyphs v) { FDownButton->SetNumGlyphs(v); }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Raises the width to the least the direction needs and places the buttons.
    void AdjustSize(int& W, int& H);
    void SetFocusBtn(TLumTimerSpeedButton* Btn);
    void BtnMouseDown(TObject* Sender, TMouseButton Button);

    TLumTimerSpeedButton* FUpButton { nullptr };
    TLumTimerSpeedButton* FDownButton { nullptr };
    TLumTimerSpeedButton* FFocusedButton { nullptr };
    TWinControl* FFocusControl { nullptr };
    TSpinDirection FDirection { spVertical };
    bool FIsWinXP { false };
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonColorDown { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
    TColor FButtonBorderColor { TColor(0) };
};

class TVovSpinEdit : public TCustomMaskEdit {
    QT_CLASS(TVovSpinEdit, TCustomMaskEdit)
public:
    explicit TVovSpinEdit(TComponent* AOwner = nullptr);
    ~TVovSpinEdit() override;

    // Read from the text, written by formatting it (clamped to the limits).
    Integer GetValue();
    void SetValue(Integer v);
    double GetFloatValue();
    void SetFloatValue(double v);
    TDateTime GetDateValue();
    void SetDateValue(TDateTime v);
    TDateTime GetTimeValue();
    void SetTimeValue(TDateTime v);

    Integer GetMinValue() const { return FMinValue; }
    void SetMinValue(Integer v) { FMinValue = v; }
    Integer GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(Integer v) { FMaxValue = v; }
    Integer GetIncrement() const { return FIncrement; }
    void SetIncrement(Integer v) { FIncrement = v; }
    double GetMinFloatValue() const { return FMinFloatValue; }
    void SetMinFloatValue(double v) { FMinFloatValue = v; }
    double GetMaxFloatValue() const { return FMaxFloatValue; }
    void SetMaxFloatValue(double v) { FMaxFloatValue = v; }
    double GetIncrementFloat() const { return FIncrementFloat; }
    void SetIncrementFloat(double v) { FIncrementFloat = v; }
    double GetIncrementFloatPage() const { return FIncrementFloatPage; }
    void SetIncrementFloatPage(double v) { FIncrementFloatPage = v; }
    TDateTime GetMinDateValue() const { return FMinDateValue; }
    void SetMinDateValue(TDateTime v) { FMinDateValue = v; }
    TDateTime GetMaxDateValue() const { return FMaxDateValue; }
    void SetMaxDateValue(TDateTime v) { FMaxDateValue = v; }
    Integer GetIncrementHours() const { return FIncrementHours; }
    void SetIncrementHours(Integer v) { FIncrementHours = v; }
    Integer GetIncrementMinutes() const { return FIncrementMinutes; }
    void SetIncrementMinutes(Integer v) { FIncrementMinutes = v; }
    Integer GetIncrementSeconds() const { return FIncrementSeconds; }
    void SetIncrementSeconds(Integer v) { FIncrementSeconds = v; }
    bool GetShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool v) { FShowSeconds = v; }
    Integer GetPrecision() const { return FPrecision; }
    void SetPrecision(Integer v);
    TVovSpinType GetSpinType() const { return FSpinType; }
    void SetSpinType(TVovSpinType v);
    TSpinDirection GetDirection() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    bool GetEditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool GetReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    bool GetExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    TEditAlign GetEditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign v);
    bool GetSpinFlat() const { return FSpinFlat; }
    void SetSpinFlat(bool v);
    bool GetSpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool v);
    // Stored for the grid, which reads it when it stores the editor's value.
    bool GetAllowEmptyValue() const { return FAllowEmptyValue; }
    void SetAllowEmptyValue(bool v) { FAllowEmptyValue = v; }
    bool GetIsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    // Whether the last date step read the short date format as month first.
    bool GetUsDates() const { return FUsDates; }

    TVovSpinButton* GetButton() const { return FButton; }
    // The least height that shows the font: text height plus a quarter of
    // the smaller of it and the system font's height, plus the frame.
    int GetMinHeight();

    virtual void UpStep(bool Page);
    virtual void DownStep(bool Page);
    virtual bool IsValidChar(Char& Key);
    // The spin button's handlers; descendants write the value back.
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The embedded button never sizes the edit; the minimum height does.
    bool CanAutoSize(int&, int&) override { return false; }
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void Step(int Sign, bool Page);
    void StepDate(int Sign);
    void StepTime(int Sign);
    TDateTime ClampDate(TDateTime v) const;
    void SetTextKeepCaret(const String& v);
    String TimeText(TDateTime v) const;
    // Leaves room for the button in the formatting rectangle.
    void SetEditRect();
    // Widening by one pixel and back makes the window lay itself out again.
    void Relayout();
    void PlaceButton();

    TVovSpinButton* FButton { nullptr };
    Integer FMinValue { 0 };
    Integer FMaxValue { 100 };
    Integer FIncrement { 1 };
    double FMinFloatValue { 0 };
    double FMaxFloatValue { 100 };
    double FIncrementFloat { 0.1 };
    double FIncrementFloatPage { 1.0 };
    TDateTime FMinDateValue { 0 };
    TDateTime FMaxDateValue { 0 };
    TDateTime FDateValue { 0 };
    TDateTime FTimeValue { 0 };
    Integer FIncrementHours { 1 };
    Integer FIncrementMinutes { 1 };
    Integer FIncrementSeconds { 1 };
    bool FShowSeconds { true };
    Integer FPrecision { 0 };
    TVovSpinType FSpinType { sptNormal };
    TSpinDirection FDirection { spVertical };
    bool FEditorEnabled { true };
    bool FReturnIsTab { false };
    bool FExcelStyleDecimalSeparator { false };
    TEditAlign FEditAlign { eaLeft };
    bool FSpinFlat { false };
    bool FSpinTransparent { false };
    bool FAllowEmptyValue { false };
    bool FIsWinXP { false };
    bool FUsDates { false };
};
