#pragma once
// The rich edit the grid measures, paints and edits rich-text cells with:
// it reports the size its text asks for, marks characters as sub- or
// superscript, and as the in-place editor hands Tab and the arrows back to
// the grid and grows the row while the user types.

#include "platform/vcl/RichEdit.h"

class TDedOzovedUrad;

class TLumRichEdit : public TRichEdit {
    QT_CLASS(TLumRichEdit, TRichEdit)
public:
    // AOwner is the grid.
    explicit TLumRichEdit(TComponent* AOwner = nullptr);

    // Makes the control's window anew.
    void ReCreate() { RecreateWnd(); }

    // The selection's baseline: 40 twips down, 40 up, or none.
    void SelSubscript() { SetSelOffset(-SubSuperOffset); }
    void SelSuperscript() { SetSelOffset(SubSuperOffset); }
    void SelNormal() { SetSelOffset(0); }
    bool IsSelSubscript() { return SelOffset() == -SubSuperOffset; }
    bool IsSelSuperscript() { return SelOffset() == SubSuperOffset; }
    bool IsSelNormal() { return SelOffset() == 0; }

    // While locked, size requests of the in-place editor are ignored (the
    // grid locks it while it loads a cell into it).
    void LockChanges() { FLocked = true; }
    void UnlockChanges() { FLocked = false; }
    bool GetLocked() const { return FLocked; }

    // The size the control last asked for.
    int GetReqHeight() const { return FReqHeight; }
    int GetReqWidth() const { return FReqWidth; }

    TDedOzovedUrad* GetGrid() const { return FGrid; }

    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

protected:
    void RequestSize(const TRect& Rect) override;

private:
    static constexpr LONG SubSuperOffset = 40;
    void SetSelOffset(LONG Twips);
    LONG SelOffset();

    TDedOzovedUrad* FGrid { nullptr };
    int FReqHeight { 0 };
    int FReqWidth { 0 };
    bool FLocked { false };
};
