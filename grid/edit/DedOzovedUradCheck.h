#pragma once
// The base of the checkers a grid can use to correct and mark the text of
// an edited cell (a spell checker, an auto-correction list). The grid calls
// them when an edit ends and from its cell, row, column and grid checks.
// This base changes nothing: every text comes back as it went in.

#include "platform/rtl/Classes.h"
#include "platform/vcl/Forms.h"

class TDedOzovedUradCheck : public TComponent {
    QT_CLASS(TDedOzovedUradCheck, TComponent)
public:
    explicit TDedOzovedUradCheck(TComponent* AOwner = nullptr);

    // The grid calls Correct when validating an edit.
    bool GetAutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool v) { FAutoCorrect = v; }
    // The grid calls MarkError when validating an edit.
    bool GetAutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool v) { FAutoMarkError = v; }
    // The grid's cell checks visit each checked cell with the focus and put
    // the focus cell back at the end.
    bool GetGotoCell() const { return FGotoCell; }
    void SetGotoCell(bool v) { FGotoCell = v; }
    // The grid's cell checks call Correct.
    bool GetUseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool v) { FUseCorrect = v; }
    // The grid's cell checks call MarkError.
    bool GetUseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool v) { FUseMarkError = v; }
    // The grid the checker works on; forgotten when that component goes.
    TComponent* GetGrid() const { return FGrid; }
    void SetGrid(TComponent* v);
    // The outcome of the last check; a range check stops once it is not mrOk.
    TModalResult GetLastResult() const { return FLastResult; }
    void SetLastResult(TModalResult v) { FLastResult = v; }

    virtual String MarkError(int ACol, int ARow, const String& s);
    virtual String Correct(int ACol, int ARow, const String& s);
    // Around a range check: before its first cell and after its last.
    virtual void StartCheck() { }
    virtual void StopCheck() { }

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
