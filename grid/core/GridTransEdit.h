#pragma once
// The grid's small edit controls: the borderless edit and the combo that
// edit header cells and the filter edit row in place, and the two controls
// the grid opens over a mini-HTML form control in a cell.

#include "grid/core/RetEdit.h"
#include "grid/edit/VovCombo.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/StdCtrls.h"

class TDedOzovedUrad;

// Edits a fixed cell or a cell of the filter edit row; writes its text into
// the cell when the edit ends.
class TGridTransEdit : public TCustomEdit {
    QT_CLASS(TGridTransEdit, TCustomEdit)
public:
    // AOwner must be the grid; the edit starts hidden.
    explicit TGridTransEdit(TComponent* AOwner = nullptr);

    int GetRow() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    int GetCol() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    bool GetFilterEdit() const { return FFilterEdit; }
    void SetFilterEdit(bool Value) { FFilterEdit = Value; }
    TDedOzovedUrad* GetGrid() const { return FGrid; }

    // Ends the edit: false when validation refused the text (the edit
    // then stays open and focused), true otherwise.
    bool StopEdit();

protected:
    void DoExit() override;
    void KeyPress(char16_t& Key) override;

private:
    TDedOzovedUrad* FGrid { nullptr };
    int FRow { 0 };
    int FCol { 0 };
    bool FFilterEdit { false };
};

// Edits a fixed cell with a list of values.
class TGridTransCombo : public TCustomComboBox {
    QT_CLASS(TGridTransCombo, TCustomComboBox)
public:
    explicit TGridTransCombo(TComponent* AOwner = nullptr);

    int GetRow() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    int GetCol() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    // The width of the drop-down list in pixels (CB_GETDROPPEDWIDTH and
    // CB_SETDROPPEDWIDTH).
    int GetDropWidth();
    void SetDropWidth(int Value);
    // Widens the drop-down list to its widest item, measured on the grid's
    // canvas.
    void SizeDropDownWidth();
    bool StopEdit();
    // Return typed in the combo's own edit: swallowed, like on the combo.
    void HookEditChild();

protected:
    void DoExit() override;
    void KeyPress(char16_t& Key) override;

private:
    TDedOzovedUrad* FGrid { nullptr };
    int FRow { 0 };
    int FCol { 0 };
    TCustomEdit* FHookedEdit { nullptr };
};

// The edit over an EDIT, PASSWORD or MASK form control of a cell. Return
// ends the edit and gives the grid the focus; Tab ends it and goes on to
// the next control of the cell, or to the next cell with AdvanceAuto.
class TControlEdit : public TMaskEdit {
    QT_CLASS(TControlEdit, TMaskEdit)
public:
    using TMaskEdit::TMaskEdit;
    void Dispatch(TMessage& Message) override;

protected:
    void KeyPress(char16_t& Key) override;
};

// The combo over a COMBO form control of a cell; Return and Tab as for the
// edit.
class TControlCombo : public TVovComboBox {
    QT_CLASS(TControlCombo, TVovComboBox)
public:
    using TVovComboBox::TVovComboBox;
    void Dispatch(TMessage& Message) override;
    // Routes Return and Tab typed in the combo's own edit here.
    void HookEditChild();

protected:
    void KeyPress(char16_t& Key) override;

private:
    TCustomEdit* FHookedEdit { nullptr };
};

// Return or Tab in a form-control editor: the editor's exit handling runs,
// then the focus goes back to the grid, to the next form control of the
// cell or to the next cell.
void FormControlEditorKey(TWinControl* Editor, char16_t& Key);
