#pragma once
// An edit that steps an integer, a float, a date or a time, with limits,
// step sizes, a decimal precision and a character filter. Independent of
// the grid; the grid's spin editors descend from it. Up/Down and PgUp/PgDn
// step the value; for dates and times the part under the caret is stepped.
// A pair of equal limits means no limit.

#include "platform/rtl/DateUtils.h"
#include "platform/vcl/Mask.h"

enum TVovSpinType { sptNormal, sptFloat, sptDate, sptTime };

class TVovSpinEdit : public TCustomMaskEdit {
    QT_CLASS(TVovSpinEdit, TCustomMaskEdit)
public:
    explicit TVovSpinEdit(TComponent* AOwner = nullptr);

    // Read from the text, written by formatting it (clamped to the limits).
    Integer GetValue();
    void SetValue(Integer v);
    double GetFloatValue();
    void SetFloatValue(double v);
    TDateTime GetDateValue();
    void SetDateValue(TDateTime v);
    TDateTime GetTimeValue();
    void SetTimeValue(TDateTime v);

    Integer MinValue { 0 }, MaxValue { 100 }, Increment { 1 };
    double MinFloatValue { 0 }, MaxFloatValue { 100 }, IncrementFloat { 0.1 }, IncrementFloatPage { 1.0 };
    TDateTime MinDateValue { 0 }, MaxDateValue { 0 };
    Integer IncrementHours { 1 }, IncrementMinutes { 1 }, IncrementSeconds { 1 };
    bool ShowSeconds { true };
    bool EditorEnabled { true };
    bool ReturnIsTab { false };
    bool ExcelStyleDecimalSeparator { false };
    bool AllowEmptyValue { false };

    Integer GetPrecision() const { return m_precision; }
    void SetPrecision(Integer v);
    TVovSpinType GetSpinType() const { return m_spinType; }
    void SetSpinType(TVovSpinType v);

    virtual void UpStep(bool Page);
    virtual void DownStep(bool Page);
    virtual bool IsValidChar(Char& Key);
    // The spin button's handlers; descendants write the value back.
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void Step(int Sign, bool Page);
    TDateTime ClampDate(TDateTime v) const;
    void SetTextKeepCaret(const String& v);

    Integer m_precision { 0 };
    TVovSpinType m_spinType { sptNormal };
    TDateTime m_dateValue { 0 };
    TDateTime m_timeValue { 0 };
};
