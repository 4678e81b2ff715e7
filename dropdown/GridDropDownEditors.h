#pragma once
// The grid's drop-down cell editors: each drop-down control of this folder
// put on grid cells, talking to the grid by the shared rules of
// grid/core/GridDropDownRules.h. The grid makes them through its editor
// registry; RegisterGridDropDownEditors registers them, once at start-up.

#include "dropdown/GridEditorRegistration.h"
#include "dropdown/LumCalculatorDropdown.h"
#include "dropdown/LumColorPickerDropDown.h"
#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumDetailDropDown.h"
#include "dropdown/LumImagePickerDropDown.h"
#include "dropdown/LumMemoDropDown.h"
#include "dropdown/LumMultiColumnDropDown.h"
#include "dropdown/LumRirEvozDropDown.h"
#include "dropdown/LumTimePickerDropDown.h"
#include "dropdown/LumTrackBarDropDown.h"
#include "grid/core/GridDropDownRules.h"

class TDedOzovedUrad;


// A drop-down control as a grid cell editor: the keys, focus, exit and
// change notifications go through the shared rules; the base's own
// handling is what the rules call the base.
template<class Base>
class TGridDropDownOf : public Base, public IGridDropDownControl {
public:
    TGridDropDownOf(TComponent* AOwner, TGridDropDownOptions Options);

    // The owning grid; nil when the owner is no grid.
    TDedOzovedUrad* GetGrid() const { return FRules.GetGrid(); }
    bool GetForced() const { return FRules.GetForced(); }
    bool GetWorkMode() const { return FRules.GetWorkMode(); }

    TWinControl* EditorControl() override { return this; }
    String EditorText() override { return Base::GetText(); }
    void WriteRawText(const String& Value) override { Base::SetRawText(Value); }
    void WriteText(const String& Value) override { Base::SetText(Value); }
    bool DroppedDown() override { return Base::GetDroppedDown(); }
    void OpenDropDown() override { Base::ShowDropDown(); }
    void CloseDropDown(bool Cancel) override { Base::HideDropDown(Cancel); }
    void SelectAllText() override { Base::SelectAll(); }
    void CaretToEnd() override { Base::SetSelStart(Base::GetTextLen()); }
    void Repaint() override { Base::Invalidate(); }
    void BaseKeyDown(WORD& Key, TShiftState Shift) override { Base::KeyDown(Key, Shift); }
    void BaseKeyPress(Char& Key) override { Base::KeyPress(Key); }
    void BaseChange() override { Base::Change(); }
    void BaseExit() override { TWinControl::DoExit(); }
    LRESULT BaseWantSpecialKey(WORD Key) override;
    void PrepareForCell(TDedOzovedUrad* Grid) override;
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
    void StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) override;

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override { FRules.KeyDown(Key, Shift); }
    void KeyPress(Char& Key) override { FRules.KeyPress(Key, this); }
    void Change() override { FRules.Change(); }
    void DoExit() override { FRules.Exit(); }
    // The plain edit's change notification, for the members that skip
    // their drop-down's.
    void PlainChange() { TCustomMaskEdit::Change(); }

    TGridDropDownRules FRules;
};

class TGridTrackbarDropDown : public TGridDropDownOf<TLumTrackBarDropDown> {
    QT_CLASS(TGridTrackbarDropDown, TLumTrackBarDropDown)
public:
    explicit TGridTrackbarDropDown(TComponent* AOwner = nullptr);
    // Does nothing: the grid reads the editor when the edit ends.
    void DoChange() { }
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;

protected:
    // The plain edit's key-up: the track bar's dragging state is not its business.
    void KeyUp(WORD& Key, TShiftState Shift) override { TCustomMaskEdit::KeyUp(Key, Shift); }
};

class TGridMemoDropDown : public TGridDropDownOf<TLumMemoDropDown> {
    QT_CLASS(TGridMemoDropDown, TLumMemoDropDown)
public:
    explicit TGridMemoDropDown(TComponent* AOwner = nullptr);
    // The restored text is the memo's whole text again, not just the edit's.
    void WriteRawText(const String& Value) override;
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
    void AfterShow() override { SetSel(0, 0); }
    // The memo's whole text: the edit shows only its first line.
    String CommitText() override { return Lines(); }
    void StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) override;

private:
    void SetLines(const String& Text);
    // All lines, joined by CR LF.
    String Lines();
};

class TGridCalculatorDropDown : public TGridDropDownOf<TLumCalculatorDropdown> {
    QT_CLASS(TGridCalculatorDropDown, TLumCalculatorDropdown)
public:
    explicit TGridCalculatorDropDown(TComponent* AOwner = nullptr);
    // A pending calculation is computed before Enter commits.
    void BeforeEnterCommit() override { CalcResult(); }
    void BaseChange() override { PlainChange(); }
    // A fresh calculation on the cell's value: an operation left pending
    // by an earlier edit does not reach this cell.
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
};

class TGridTimepickerDropDown : public TGridDropDownOf<TLumTimePickerDropDown> {
    QT_CLASS(TGridTimepickerDropDown, TLumTimePickerDropDown)
public:
    explicit TGridTimepickerDropDown(TComponent* AOwner = nullptr);
    // The clock's own exit takes the time from the text.
    void BaseExit() override { TLumTimePickerDropDown::DoExit(); }
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
};

class TGridDetailPickerDropDown : public TGridDropDownOf<TLumDetailDropDown> {
    QT_CLASS(TGridDetailPickerDropDown, TLumDetailDropDown)
public:
    explicit TGridDetailPickerDropDown(TComponent* AOwner = nullptr);
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
};

// The multi-column list editor (edGridDropDown).
class TGridGridDropDown : public TGridDropDownOf<LumMultiColumnDropDown::TLumMultiColumnDropDown> {
    QT_CLASS(TGridGridDropDown, LumMultiColumnDropDown::TLumMultiColumnDropDown)
public:
    explicit TGridGridDropDown(TComponent* AOwner = nullptr);
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
    bool OpensOnShow() override { return true; }
};

// The grid drop-down editor (edRirEvozDropDown); GetColGrid gives its inner grid.
class TGridRirEvozDropDown : public TGridDropDownOf<DuzEzirezUderArirOver::TCustomRirEvozDropDown> {
    QT_CLASS(TGridRirEvozDropDown, DuzEzirezUderArirOver::TCustomRirEvozDropDown)
public:
    explicit TGridRirEvozDropDown(TComponent* AOwner = nullptr);
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
};

class TGridColorDropDown : public TGridDropDownOf<TLumColorPickerDropDown> {
    QT_CLASS(TGridColorDropDown, TLumColorPickerDropDown)
public:
    explicit TGridColorDropDown(TComponent* AOwner = nullptr);
    String CommitText() override { return GetSelectedColorText(); }
    void BaseChange() override { PlainChange(); }
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
    void StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) override;
    void CancelValue() override { SetSelectedColor(FLoadedColor); }
    // After the list closes, MouseActions.DirectComboClose gives the grid the focus.
    void DropDownHidden() override;

private:
    TColor FLoadedColor { clNone };
};

class TGridImageDropDown : public TGridDropDownOf<TLumImagePickerDropDown> {
    QT_CLASS(TGridImageDropDown, TLumImagePickerDropDown)
public:
    explicit TGridImageDropDown(TComponent* AOwner = nullptr);
    void BaseChange() override { PlainChange(); }
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
    void StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) override;
    void CancelValue() override { SetItemIndex(FLoadedItem); }

private:
    int FLoadedItem { -1 };
};

class TGridControlDropDown : public TGridDropDownOf<TLumControlDropDown> {
    QT_CLASS(TGridControlDropDown, TLumControlDropDown)
public:
    explicit TGridControlDropDown(TComponent* AOwner = nullptr);
    // The navigation keys stay with the hosted control while it is shown.
    bool GetWantArrows() const { return FRules.GetWantArrows(); }
    void SetWantArrows(bool Value) { FRules.SetWantArrows(Value); }
    void BaseChange() override { PlainChange(); }
    void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) override;
};
