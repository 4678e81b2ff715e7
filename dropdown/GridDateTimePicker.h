#pragma once
// The grid's date-and-time cell editor: the drop-down family's picker with
// a date part and a time part, whose keys and focus exit follow the grid's
// editor rules. RegisterGridDateTimeEditor makes it the editor of the
// grid's edDateTimeEdit cells.

#include "dropdown/GridEditorRegistration.h"
#include "dropdown/LumDateTimePicker.h"
#include "grid/core/GridTypedEditors.h"

class TGridDateTimePicker : public TLumDateTimePicker, public IGridDateTimePicker {
    QT_CLASS(TGridDateTimePicker, TLumDateTimePicker)
public:
    explicit TGridDateTimePicker(TComponent* AOwner = nullptr);

    TDedOzovedUrad* GetGrid() const { return FGrid; }
    // The least width the editor takes on a narrower cell; -1: none.
    int GetMinimumWidth() const { return FMinimumWidth; }
    void SetMinimumWidth(int Value) { FMinimumWidth = Value; }
    void ReCreate() { RecreateWnd(); }

    // IGridDateTimePicker
    TDateTime PickerDateTime() override { return GetDateTime(); }
    void PickerSetDateTime(TDateTime Value) override;
    void PickerLoad(TDateTime Value) override;
    bool PickerChecked() override { return GetChecked(); }
    bool TimePartFocused() override;
    int PickerMinimumWidth() override { return FMinimumWidth; }

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoExit() override;

private:
    TDedOzovedUrad* FGrid { nullptr };
    int FMinimumWidth { -1 };
};

