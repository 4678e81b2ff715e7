#pragma once
// The base of the checker components a grid corrects and marks cell texts
// with (a spell checker, an auto-correction list). The grid holds one as its
// CellChecker and asks it when an edit ends and when it checks ranges of
// cells. The base changes nothing: every text comes back as it went in.

#include "platform/rtl/Classes.h"
#include "platform/vcl/Forms.h"

class TDedOzovedUradCheck : public TComponent {
    QT_CLASS(TDedOzovedUradCheck, TComponent)
public:
    explicit TDedOzovedUradCheck(TComponent* AOwner = nullptr) : TComponent(AOwner) { }

    // The text with its errors marked / corrected; both set LastResult.
    virtual String MarkError(int ACol, int ARow, const String& s);
    virtual String Correct(int ACol, int ARow, const String& s);
    // Around a check of a range of cells.
    virtual void StartCheck() { }
    virtual void StopCheck() { }

    // Validating an edit corrects / marks the text.
    bool GetAutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool Value) { FAutoCorrect = Value; }
    bool GetAutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool Value) { FAutoMarkError = Value; }
    // Range checks move the focus to each checked cell and back at the end.
    bool GetGotoCell() const { return FGotoCell; }
    void SetGotoCell(bool Value) { FGotoCell = Value; }
    // Range checks correct / mark the texts.
    bool GetUseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool Value) { FUseCorrect = Value; }
    bool GetUseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool Value) { FUseMarkError = Value; }
    // The grid checked; forgotten when that component goes.
    TComponent* GetGrid() const { return FGrid; }
    void SetGrid(TComponent* Value);
    // The outcome of the last check; a range check stops once it is not mrOk.
    TModalResult GetLastResult() const { return FLastResult; }
    void SetLastResult(TModalResult Value) { FLastResult = Value; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FAutoCorrect { false };
    bool FAutoMarkError { false };
    bool FGotoCell { false };
    bool FUseCorrect { false };
    bool FUseMarkError { false };
    TComponent* FGrid { nullptr };
    TModalResult FLastResult { mrOk };
};
