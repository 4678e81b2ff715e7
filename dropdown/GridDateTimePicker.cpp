#include "dropdown/GridDateTimePicker.h"

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"

QT_PUBLISHED(TGridDateTimePicker, QT_PROP(MinimumWidth))

TGridDateTimePicker::TGridDateTimePicker(TComponent* AOwner)
    : TLumDateTimePicker(AOwner), FGrid(GridEditorRules::OwnerGrid(AOwner))
{
    SetGridTabhandling(true);
    SetAutoTab(true);
    OnTimeChange = [this](TObject*) {
        if (FGrid && FGrid->OnDateTimeChange)
            FGrid->OnDateTimeChange(FGrid, FGrid->GetCol(), FGrid->GetRow(), GetDateTime());
    };
}

void TGridDateTimePicker::PickerSetDateTime(TDateTime Value)
{
    try {
        SetDateTime(Value);
    } catch (const Exception&) {
        // Outside MinDate..MaxDate: the picker keeps its value.
    }
}

void TGridDateTimePicker::PickerLoad(TDateTime Value)
{
    SetKind(dkDateTime);
    SetBorderStyle(bsNone);
    PickerSetDateTime(Value);
}

bool TGridDateTimePicker::TimePartFocused()
{
    TCustomDateTimePicker* Time = GetTimePicker();
    return Time && Time->Focused();
}

void TGridDateTimePicker::Dispatch(TMessage& Message)
{
    // Tab is the editor's: it moves between the parts or leaves the cell.
    if (Message.Msg == CM_WANTSPECIALKEY && FGrid && (Message.WParam == VK_TAB || Message.WParam == VK_RETURN
            || Message.WParam == VK_ESCAPE)) {
        Message.Result = 1;
        return;
    }
    TLumDateTimePicker::Dispatch(Message);
}

void TGridDateTimePicker::KeyDown(WORD& Key, TShiftState Shift)
{
    if (GridDateTimeEditing::KeyDown(FGrid, *this, Key, Shift))
        return;
    TCustomDateTimePicker* Time = GetTimePicker();
    if (Key == VK_TAB && FGrid && Time && Time->GetVisible()) {
        // From the date part to the time part and back.
        TWinControl* To = Shift.Contains(ssShift) ? static_cast<TWinControl*>(this) : Time;
        if (To->CanFocus())
            To->SetFocus();
        Key = 0;
        return;
    }
    TLumDateTimePicker::KeyDown(Key, Shift);
}

void TGridDateTimePicker::DoExit()
{
    // Moving between the date and the time part is no exit from the edit.
    if (!TimePartFocused() && !Focused())
        GridDateTimeEditing::Exit(FGrid);
    TLumDateTimePicker::DoExit();
}

void RegisterGridDateTimeEditor()
{
    GridEditorRegistry::Register(edDateTimeEdit, [](TDedOzovedUrad* Grid) -> TWinControl* {
        return new TGridDateTimePicker(Grid);
    });
}
