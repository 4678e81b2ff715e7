#pragma once
// The grid's typed cell editors: spin, combo, check box, push button, edit
// with a button, value plus unit and the date/time picker. Each is a child
// of the grid that made it, made once and re-used for every cell; what they
// add to their base control is how keys, focus and changes talk to the
// grid: which keys commit, cancel or leave the cell and which grid events
// fire. The date-and-time editor lives with the drop-down editors; the key
// and exit rules it shares with the grid are the GridDateTimeEditing
// functions below, over the small picker interface it implements.

#include "grid/edit/VovCombo.h"
#include "grid/edit/VovDateTimePicker.h"
#include "grid/edit/VovEdit.h"
#include "grid/edit/VovSpinEdit.h"
#include "platform/vcl/StdCtrls.h"

class TDedOzovedUrad;

// The editors' shared steps, named after the rule they carry out.
namespace GridEditorRules {

// The grid of an editor: its owner when that is a grid.
TDedOzovedUrad* OwnerGrid(TComponent* AOwner);
// CurrentCell := Text, then the grid validates it; true when accepted. A
// refusal leaves the grid's FNoAutoAdvance set.
bool Commit(TDedOzovedUrad* Grid, const String& Text);
// Tab under goTabs: the edit hidden, the grid focused and moved by Tab.
void TabOut(TDedOzovedUrad* Grid, TShiftState Shift);
// The editor is done with Key: stored, the focus cell moved, and the next
// cell's editor opened when Enter advances with AdvanceAutoEdit (posted
// with PostShow, else at once).
void Leave(TDedOzovedUrad* Grid, WORD& Key, TShiftState Shift, bool PostShow = false);
// Leaves an editor at a text edge under CursorWalkEditor: into a control
// cell beside, or one cell on along the row. False when the text was
// refused (the editor stays).
bool WalkOut(TDedOzovedUrad* Grid, const String& Text, bool Forward, bool Validate);
// The lookup item that completes Typed (the text up to the caret), -1 for
// none; case by the grid's LookupCaseSensitive.
int CompletionIndex(TDedOzovedUrad* Grid, TStrings* Items, const String& Typed);
// The character rules of the numeric and float edit-button kinds; true
// when Ch goes to the edit.
bool NumericCharAccepted(const String& Text, int SelStart, const String& SelText, Char Ch);
bool FloatCharAccepted(const String& Text, int SelStart, const String& SelText, Char Ch);

} // namespace GridEditorRules

class TGridSpin : public TVovSpinEdit {
    QT_CLASS(TGridSpin, TVovSpinEdit)
public:
    explicit TGridSpin(TComponent* AOwner = nullptr);

    bool GetAlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool Value) { FAlwaysValidate = Value; }
    TDedOzovedUrad* GetGrid() const { return FGrid; }

    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;
    // Fires the grid's spin event of the spin type.
    void DoSpinClick(bool UpDown);
    // Within the limits (equal integer or float limits are none, unless
    // AlwaysValidate); dates and times are left alone.
    void ClampValue();
    void ReCreate() { RecreateWnd(); }
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void DoExit() override;
    void Change() override;

private:
    // PgUp/PgDn/Home/End on an integer or float spin.
    void PageStep(WORD Key);

    TDedOzovedUrad* FGrid { nullptr };
    bool FAlwaysValidate { false };
};

class TGridCombo : public TVovComboBox {
    QT_CLASS(TGridCombo, TVovComboBox)
public:
    explicit TGridCombo(TComponent* AOwner = nullptr);

    TDedOzovedUrad* GetGrid() const { return FGrid; }
    const String& GetEditText() const { return FEditText; }
    void SetEditText(const String& Value) { FEditText = Value; }
    bool GetWorkMode() const { return WorkMode; }
    int GetItemIdx() const { return ItemIdx; }
    bool GetItemChange() const { return ItemChange; }
    // Widens the drop-down list to the widest item on the grid's canvas.
    void SizeDropDownWidth();
    // Auto-completion from the items, then the grid's lookup items.
    void DoChange();
    // Routes the keys of the edit field (made again with the style) through
    // this combo's handlers.
    void HookEdit();

    TNotifyEvent OnReturnKey;

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void DoExit() override;
    void Change() override;

private:
    bool EditMessage(TMessage& Message);
    bool IsListLike();
    void FireComboChange();
    void WheelStep(bool Down);
    void FocusGained();

    TDedOzovedUrad* FGrid { nullptr };
    TCustomEdit* FHookedEdit { nullptr };
    bool Forced { false };
    bool WorkMode { true };
    int ItemIdx { -1 };
    bool ItemChange { false };
    bool FAdvance { false };
    String FEditText;
};

class TGridCheckBox : public TCheckBox {
    QT_CLASS(TGridCheckBox, TCheckBox)
public:
    explicit TGridCheckBox(TComponent* AOwner = nullptr);
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoExit() override;

private:
    TDedOzovedUrad* FGrid { nullptr };
};

class TGridButton : public TButton {
    QT_CLASS(TGridButton, TButton)
public:
    explicit TGridButton(TComponent* AOwner = nullptr);
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    void ReCreate() { RecreateWnd(); }
    void Dispatch(TMessage& Message) override;

protected:
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DoExit() override;

private:
    // Invisible, disabled, the edit ended and the grid focused.
    void PutAway();

    TDedOzovedUrad* FGrid { nullptr };
};

class TGridEditBtn : public TVovEditBtn {
    QT_CLASS(TGridEditBtn, TVovEditBtn)
public:
    explicit TGridEditBtn(TComponent* AOwner = nullptr);
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    bool GetStopEditAfterClick() const { return FStopEditAfterClick; }
    void SetStopEditAfterClick(bool Value) { FStopEditAfterClick = Value; }
    // The ellipsis query's text, all selected.
    virtual void ButtonClick(TObject* Sender);
    // Completion from the grid's lookup items.
    virtual void DoLookup();
    void ReCreate() { RecreateWnd(); }
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void DblClick() override;
    void Change() override;

private:
    bool CharFilter(TMessage& Message);
    void Paste();

    TDedOzovedUrad* FGrid { nullptr };
    bool WorkMode { true };
    int FSelKeyDown { 0 };
    bool FStopEditAfterClick { false };
};

class TGridUnitEditBtn : public TVovUnitEditBtn {
    QT_CLASS(TGridUnitEditBtn, TVovUnitEditBtn)
public:
    explicit TGridUnitEditBtn(TComponent* AOwner = nullptr);
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    virtual void ButtonClick(TObject* Sender);
    void ReCreate() { RecreateWnd(); }
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoExit() override;

private:
    bool CharFilter(TMessage& Message);

    TDedOzovedUrad* FGrid { nullptr };
};

class TGridDatePicker : public TVovDateTimePicker {
    QT_CLASS(TGridDatePicker, TVovDateTimePicker)
public:
    explicit TGridDatePicker(TComponent* AOwner = nullptr);
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    bool GetWeeknumbers() const { return FWeeknumbers; }
    void SetWeeknumbers(bool Value) { FWeeknumbers = Value; }
    bool GetShowToday() const { return FShowToday; }
    void SetShowToday(bool Value) { FShowToday = Value; }
    bool GetShowTodayCircle() const { return FShowTodayCircle; }
    void SetShowTodayCircle(bool Value) { FShowTodayCircle = Value; }
    bool GetOldDropped() const { return FOldDropped; }
    // After a typed digit: the next field takes the input unless the typed
    // field is still being filled.
    virtual void ShiftFieldFocus();
    void ReCreate() { RecreateWnd(); }
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void DoExit() override;
    void DropDown() override;
    void CloseUp() override;

private:
    void SaveParts();
    void HideBorder();
    // The value as the cell takes it (empty when unchecked).
    String ValueText();
    void ShowText(const String& Text);

    TDedOzovedUrad* FGrid { nullptr };
    Word Fy { 0 }, Fm { 0 }, Fd { 0 };
    Word Fth { 0 }, Ftm { 0 }, Fts { 0 }, Ftms { 0 };
    bool FOldDropped { false };
    bool FWeeknumbers { false };
    bool FShowToday { true };
    bool FShowTodayCircle { true };
};

// What the grid needs of its date-and-time editor, which derives from the
// drop-down family's picker above the grid.
class IGridDateTimePicker {
public:
    virtual ~IGridDateTimePicker() = default;
    // The date with the time part's time of day.
    virtual TDateTime PickerDateTime() = 0;
    virtual void PickerSetDateTime(TDateTime Value) = 0;
    // Date-and-time kind, no border, the value.
    virtual void PickerLoad(TDateTime Value) = 0;
    virtual bool PickerChecked() = 0;
    virtual bool TimePartFocused() = 0;
    // -1: none.
    virtual int PickerMinimumWidth() = 0;
};

namespace GridDateTimeEditing {

// The picker lost the focus: the grid's edit ends before the picker's own
// exit step runs.
void Exit(TDedOzovedUrad* Grid);
// Tab, Enter and Esc of the picker; true when the key was taken (cleared),
// false when the picker's own handling should run.
bool KeyDown(TDedOzovedUrad* Grid, IGridDateTimePicker& Picker, WORD& Key, TShiftState Shift);
// The picker's value as the grid writes it: locale short date, a blank,
// locale short time.
String CellText(TDateTime Value);

} // namespace GridDateTimeEditing
