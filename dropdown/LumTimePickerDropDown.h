#pragma once
// A drop-down edit for a time of day: the edit shows two-digit hours,
// minutes and (optionally) seconds under an input mask, Up and Down step the
// field under the caret, and the window holds an analog clock with an
// optional time picker under it. While the window is open the clock is the
// source of the value; closing takes its time, cancelling restores the old.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumWatch.h"

class TDateTimePicker;
class TPanel;

class TLumTimePickerDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumTimePickerDropDown, TLumCustomDropDown)
public:
    explicit TLumTimePickerDropDown(TComponent* AOwner = nullptr);
    ~TLumTimePickerDropDown() override;

    TDateTime GetTime() const { return FTime; }
    // Shows the time in the edit; no event fires.
    void SetTime(TDateTime Value);
    bool GetShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool Value);
    bool GetShowTimePicker() const { return FShowTimePicker; }
    void SetShowTimePicker(bool Value) { FShowTimePicker = Value; }
    TWatchAppearance* GetWatchAppearance() const { return FWatchAppearance.get(); }
    void SetWatchAppearance(TWatchAppearance* Value) { FWatchAppearance->Assign(Value); }
    TWatchSettings* GetWatchSettings() const { return FWatchSettings.get(); }
    void SetWatchSettings(TWatchSettings* Value) { FWatchSettings->Assign(Value); }
    bool GetShowWatchAMPM() const { return FShowWatchAMPM; }
    void SetShowWatchAMPM(bool Value) { FShowWatchAMPM = Value; }
    bool GetShowWatchNumbers() const { return FShowWatchNumbers; }
    void SetShowWatchNumbers(bool Value) { FShowWatchNumbers = Value; }
    bool GetAnimation() const { return FAnimation; }
    void SetAnimation(bool Value) { FAnimation = Value; }
    int GetAnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int Value) { FAnimationFactor = Value; }
    int GetResolution() const { return FResolution; }
    // Up to 30; larger values are ignored.
    void SetResolution(int Value);
    TLumWatch* GetWatch() const { return FLumWatch; }
    TDateTimePicker* GetTimePicker() const { return FDateTimePicker; }
    TPanel* GetPanel() const { return FPanelCtrl; }

    TNotifyEvent OnTimeChange;

    // The edit's text for a time: two digits per field joined by the
    // locale's time separator, seconds only when they are shown.
    String FormatTimeText(int H, int M, int S) const;
    // Replace one field of Time (milliseconds kept) and fire OnTimeChange;
    // the same value or one out of range changes nothing.
    void SetHourValue(int H);
    void SetMinuteValue(int M);
    void SetSecondValue(int S);

    void SetText(const String& Value) override;
    bool Validate(const String& Value, int& Pos) override;
    void SetComponentStyle(ROZEVizer AStyle) override;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownHidden() override;
    void FormKeyDown(WORD& Key, TShiftState Shift) override;
    void FormKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;

    // The grid's time editor calls these too.
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoExit() override;

private:
    void SetTimeMask();
    void ReplaceField(int Index, int Value);
    // The edit text as a time: blanks count as 0, an empty text is 0; false
    // when a half-typed text still does not convert.
    bool TextTime(TDateTime& Value);
    void WatchChange(TObject* Sender);
    void TimePickerChange(TObject* Sender);

    bool FDesignTime { false };
    bool FShowTimePicker { false };
    TLumWatch* FLumWatch { nullptr };
    TDateTimePicker* FDateTimePicker { nullptr };
    TPanel* FPanelCtrl { nullptr };
    std::unique_ptr<TWatchAppearance> FWatchAppearance;
    bool FShowWatchAMPM { true };
    bool FShowWatchNumbers { true };
    bool FAnimation { true };
    int FAnimationFactor { 10 };
    TDateTime FTime { 0 };
    std::unique_ptr<TWatchSettings> FWatchSettings;
    bool FInternalCall { false };
    bool FShowSeconds { true };
    int FResolution { 0 };
    // The value when the window opened; a cancelled close brings it back whole.
    TDateTime FTimeAtOpen { 0 };
};
