#pragma once
// A drop-down edit for numbers whose window holds the calculator keypad. The
// edit's text is the calculator's display: keypad buttons and typed operator
// keys compute on it directly, with an accumulator, a pending operator and a
// one-value memory.

#include <memory>

#include "dropdown/LumCalcButtonPanel.h"
#include "dropdown/LumCustomDropDown.h"

class TLumCalculatorDropdown : public TLumCustomDropDown {
    QT_CLASS(TLumCalculatorDropdown, TLumCustomDropDown)
public:
    explicit TLumCalculatorDropdown(TComponent* AOwner = nullptr);
    ~TLumCalculatorDropdown() override;

    void Dispatch(TMessage& Message) override;

    // The display as a number; an empty display becomes "0" first and a
    // display that does not convert reads 0.
    double GetValue();
    void SetValue(double Value);
    // Applies the pending operator and ends the calculation (equals).
    void CalcResult();
    // The typed-character rules; the grid's calculator editor forwards to it.
    void KeyPress(Char& Key) override;
    // Runs before every keypad click and every character typed in the window.
    virtual void BeforeCalcAction() { }

    using TLumCustomDropDown::GetPrecision;
    using TLumCustomDropDown::SetPrecision;
    TButtonAppearance* GetCalcButtonAppearance() const { return FCalcButtonAppearance.get(); }
    void SetCalcButtonAppearance(TButtonAppearance* Value) { FCalcButtonAppearance->Assign(Value); }
    bool GetShowThousandSeparator() const { return FShowThousandSeparator; }
    void SetShowThousandSeparator(bool Value);
    TCustomButtonPanel* GetButtonPanel() const { return FLumButtonPanel; }
    double GetMemory() const { return double(FMVal); }
    double GetAccumulator() const { return double(FPrevval); }

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool Cancel) override;
    void FormKeyPress(Char& Key) override;
    void FormKeyDown(WORD& Key, TShiftState Shift) override;
    void SetComponentStyle(ROZEVizer AStyle) override;

private:
    void ButtonClick(TObject* Sender, int Index);
    // The display without prefix, suffix and thousand separators, converted
    // with the locale's rules; raises the conversion error when it does not convert.
    long double ReadDisplay();
    String Display() { return GetText(); }
    // Writes the display as it is, between prefix and suffix.
    void SetDisplay(const String& Value);
    void ShowNumber(long double Value) { SetFloatValue(double(Value)); }
    void ZeroIfEmptyOrError();
    void Calculate();
    void ApplyOperator(int Op);
    void Percent();
    void PlaceCaretAfterFirst();

    TCustomButtonPanel* FLumButtonPanel { nullptr };
    // The divisor of the next decimal digit: 0 while the integer part is
    // typed. Held as a floating value so that long fractions neither wrap
    // nor reach zero.
    double FDecim { 0 };
    bool FNewval { false };
    long double FPrevval { 0 };
    int FPrevop { -1 };
    std::unique_ptr<TButtonAppearance> FCalcButtonAppearance;
    long double FMVal { 0 };
    bool FShowThousandSeparator { false };
};
