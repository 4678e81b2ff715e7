#pragma once
// A drop-down edit for an integer between Min and Max, set with a track bar
// in its window, the Up and Down keys, or by dragging sideways over the edit.

#include "dropdown/LumCustomDropDown.h"

class TTrackBar;

class TLumTrackBarDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumTrackBarDropDown, TLumCustomDropDown)
public:
    explicit TLumTrackBarDropDown(TComponent* AOwner = nullptr);

    int GetMin() const { return FMin; }
    void SetMin(int Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    int GetPosition() const { return FPosition; }
    void SetPosition(int Value);
    int GetFrequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int GetPageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    TTrackBar* GetTrackBar() const { return FTrackBar; }

    TNotifyEvent OnTrackChange;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    double NumericDefaultValue() override { return FMin; }

protected:
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void TrackBarChange(TObject* Sender);

    TTrackBar* FTrackBar { nullptr };
    int FMin { 0 };
    int FFrequency { 1 };
    int FPageSize { 2 };
    int FMax { 10 };
    int FPosition { 0 };
    bool FMouseDraging { false };
    int FMouseX { 0 };
};
