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

void TGridDateTimePicker::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!GridDateTimeEditing::KeyDown(FGrid, *this, Key, Shift))
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
