#pragma once
// The rules every drop-down cell editor shares: how its keys, focus, exit
// and change notifications talk to the grid. The drop-down controls live
// above the grid, so the rules drive them through IGridDropDownControl,
// which each editor implements over its own drop-down; what differs
// between the editors is told by TGridDropDownOptions.

#include "grid/core/BaseGrid.h"

class TDedOzovedUrad;
class TWinControl;

// What the rules and the grid's editing need of a drop-down cell editor.
class IGridDropDownControl {
public:
    virtual ~IGridDropDownControl() = default;

    // The editor as a control (the grid places, shows and hides it).
    virtual TWinControl* EditorControl() = 0;

    // ---- text and the drop-down ----
    // The edit text without prefix and suffix.
    virtual String EditorText() = 0;
    // Shows a text as it is: no prefix, suffix or number formatting.
    virtual void WriteRawText(const String& Value) = 0;
    // The normal text assignment, with the editor's formatting.
    virtual void WriteText(const String& Value) = 0;
    // The text Enter and Tab commit; the edit text unless the editor's
    // value is something else (the colour picker's selected colour).
    virtual String CommitText() { return EditorText(); }
    virtual bool DroppedDown() = 0;
    virtual void OpenDropDown() = 0;
    virtual void CloseDropDown(bool Cancel) = 0;
    virtual void SelectAllText() = 0;
    virtual void CaretToEnd() = 0;
    virtual void Repaint() = 0;
    // Runs before Enter commits (the calculator computes its result).
    virtual void BeforeEnterCommit() { }
    // Esc cancels the edit: an editor whose value is not its text (a
    // colour, an image) takes back the value it was loaded with, or the
    // store that ends the edit would keep the cancelled choice.
    virtual void CancelValue() { }

    // ---- the base drop-down's own handling ----
    virtual void BaseKeyDown(WORD& Key, TShiftState Shift) = 0;
    virtual void BaseKeyPress(Char& Key) = 0;
    // The change notification: the base drop-down's, or the plain edit's.
    virtual void BaseChange() = 0;
    // The exit after the grid ended the edit: the plain control exit, or
    // the drop-down's own (the clock takes its time from the text).
    virtual void BaseExit() = 0;
    // The answer of the base drop-down to CM_WANTSPECIALKEY.
    virtual LRESULT BaseWantSpecialKey(WORD Key) = 0;

    // ---- the cell's value ----
    // Before the editor is placed: looks and button routes from the grid.
    virtual void PrepareForCell(TDedOzovedUrad* Grid) { (void)Grid; }
    // Loads the value of cell (ACol real column, ARow) whose edit text is
    // EditText; OnGetEditorProp has fired.
    virtual void LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String& EditText) = 0;
    // Stores the editor's value into cell (ACol real column, ARow).
    virtual void StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) = 0;
    // Once the editor has the focus (the focus rules select the text).
    virtual void AfterShow() { }
    // Opens the drop-down after loading, whatever MouseActions say.
    virtual bool OpensOnShow() { return false; }
};

// How one editor of the family differs from the model (the memo editor).
struct TGridDropDownOptions {
    // Esc and refused commits write through the normal text assignment
    // instead of the raw write (the track bar).
    bool FormattedRestore { false };
    // CM_WANTSPECIALKEY also claims Enter and Esc.
    bool ClaimEnterEsc { false };
    // The colour picker's keys: open, only Tab, Enter and Esc end the
    // edit; closed, Home ends it too; Up and Down do not commit.
    bool ColorKeys { false };
    // Esc first closes the drop-down cancelling it (the multi-column list).
    bool CancelDropDownOnEsc { false };
    // WantArrows applies: the navigation keys stay with an open
    // drop-down's content (the control drop-down).
    bool ArrowsToContent { false };
};

class TGridDropDownRules {
public:
    TGridDropDownRules(IGridDropDownControl& Control, TDedOzovedUrad* Grid, TGridDropDownOptions Options = {})
        : FControl(Control), FGrid(Grid), FOptions(Options)
    {
    }

    TDedOzovedUrad* GetGrid() const { return FGrid; }
    const TGridDropDownOptions& GetOptions() const { return FOptions; }
    bool GetForced() const { return FForced; }
    void SetForced(bool Value) { FForced = Value; }
    bool GetWorkMode() const { return FWorkMode; }
    bool GetWantArrows() const { return FWantArrows; }
    void SetWantArrows(bool Value) { FWantArrows = Value; }

    // The base's change, then the grid's OnEditChange with the text.
    void Change();
    // The base's answer; Tab is claimed when the grid wants editor tabs.
    LRESULT WantSpecialKey(WORD Key);
    // The grid ends the edit, then the base's exit.
    void Exit();
    // The grid's OnKeyPress first; Esc, Enter and Tab go no further.
    void KeyPress(Char& Key, TObject* Sender);
    void KeyDown(WORD& Key, TShiftState Shift);

    // Whether the key ends the edit (the others go to the base).
    bool Handles(WORD Key, TShiftState Shift);

private:
    void Restore(const String& Value);
    // Writes the text into the cell and validates it; false when refused.
    bool Commit(const String& Text);

    IGridDropDownControl& FControl;
    TDedOzovedUrad* FGrid { nullptr };
    TGridDropDownOptions FOptions;
    bool FForced { false };
    bool FWorkMode { true };
    bool FWantArrows { false };
};
