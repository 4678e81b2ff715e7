#pragma once
// A drop-down edit for multi-line text: the window holds a memo and the edit
// shows the first line, with "..." when it does not show everything and the
// edit is not typeable.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"

class TStringList;
class TStrings;

class TLumMemoDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumMemoDropDown, TLumCustomDropDown)
public:
    explicit TLumMemoDropDown(TComponent* AOwner = nullptr);
    ~TLumMemoDropDown() override;

    // The memo's lines once it exists, else the stored ones.
    TStrings* GetMemoText() const;
    void SetMemoText(TStrings* Value);
    bool GetMemoReadOnly() const { return FMemoReadOnly; }
    void SetMemoReadOnly(bool Value);
    TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { FMemoScrollBars = Value; }
    TPopupMenu* GetMemoPopup() const { return FMemoPopup; }
    void SetMemoPopup(TPopupMenu* Value) { FMemoPopup = Value; }
    bool GetAutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool Value) { FAutoDrop = Value; }
    TMemo* GetMemo() const { return FMemo; }

    TNotifyEvent OnMemoChange;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AfterDropDown() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownHidden() override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;

protected:
    void Change() override;
    void DoEnter() override;

private:
    void MemoChange(TObject* Sender);
    void ShowFirstLine();
    int TextAreaWidth();

    TPopupMenu* FMemoPopup { nullptr };
    std::unique_ptr<TStringList> FMemoText;
    TMemo* FMemo { nullptr };
    TScrollStyle FMemoScrollBars { ssNone };
    bool FMemoReadOnly { false };
    bool FInternalUpdate { false };
    bool FAutoDrop { false };
    // The lines when the window opened; a cancelled close brings them back.
    String FLinesAtOpen;
};
