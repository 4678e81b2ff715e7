#pragma once
// The string grid's text editor: the platform grid's in-place edit with a
// character and paste filter by the cell's editor kind, the clipboard
// events, completion from the grid's lookup list, the cell's look, and the
// keys that validate and leave the editor at the edges of its text.

#include "platform/vcl/Grids.h"

class TDedOzovedUrad;

class TLumInplaceEdit : public TInplaceEdit {
    QT_CLASS(TLumInplaceEdit, TInplaceEdit)
public:
    explicit TLumInplaceEdit(TComponent* AOwner = nullptr);

    // Most characters the text may hold; the grid's MaxEditLength (0: none).
    int GetLengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int Value) { FLengthLimit = Value; }
    // Right-aligned text.
    bool GetVAlign() const { return FValign; }
    void SetVAlign(bool Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The edited cell as the editor was loaded: display column, stored
    // column, row.
    int GetEditCol() const { return FColE; }
    int GetEditRealCol() const { return FColR; }
    int GetEditRow() const { return FRowE; }
    // Completion from the grid's lookup list (after every key-up).
    void DoChange();

    void Dispatch(TMessage& Message) override;
    void LoadCellLook() override;
    void AfterBoundsChange() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void Change() override;

private:
    TDedOzovedUrad* Grid() const;
    // The look of the focus cell: colour, font, alignment.
    void ApplyCellLook();
    void PlaceEditor();
    // Message handlers; each answers True when the message is done.
    bool CharFilter(TMessage& Message);
    bool KindAcceptsChar(Char& Ch, bool CtrlHeld);
    bool KeyDownMessage(TMessage& Message);
    void KeyUpMessage(TMessage& Message);
    void Paste();
    void ClipboardCopyOrCut(TMessage& Message);
    void FocusGained(TMessage& Message);
    void FocusLost(TMessage& Message);
    // After a refused validation: the grid's text back, the selection as
    // the user left it (or all of it), the old-cell snapshot restored.
    void RestoreAfterRefusal(const String& OldCellText);
    // Validates, and when accepted hides the editor; answers the verdict.
    bool ValidateAndHide(const String& Text);
    // The steps of the cursor walk out of the editor at a text edge.
    bool WalkOut(bool Forward);
    // The text up to LengthLimit, when one is set.
    bool Fits(const String& Text) const { return FLengthLimit <= 0 || int(Text.size()) <= FLengthLimit; }

    TDedOzovedUrad* FGrid { nullptr };
    int FLengthLimit { 0 };
    bool FValign { false };
    bool FWordWrap { false };
    int FSelKeyDown { 0 };
    WORD FKeyDownKey { 0 };
    int FOldSelStart { 0 };
    int FOldSelLength { 0 };
    bool GotKey { false };
    bool Workmode { true };
    bool FGotFocus { false };
    int FColE { -1 };
    int FColR { -1 };
    int FRowE { -1 };
    bool FAltBack { false };
    bool FArrDown { false };
    bool FEditProp { false };
    // The whole text was selected at the last key-down (the cursor walk
    // to the right leaves from there too).
    bool FAllSelKeyDown { false };
};
