#pragma once
// A list box with a check box before each line.

#include "platform/vcl/StdCtrls_List.h"

class TCheckListBox : public TCustomListBox {
    QT_CLASS(TCheckListBox, TCustomListBox)
public:
    explicit TCheckListBox(TComponent* AOwner = nullptr);

    bool GetChecked(int Index) const { return GetState(Index) == cbChecked; }
    void SetChecked(int Index, bool v) { SetState(Index, v ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState(int Index) const;
    void SetState(int Index, TCheckBoxState v);
    bool GetItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool v);
    bool GetAllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool v) { m_allowGrayed = v; }
    void CheckAll(TCheckBoxState State, bool AllowGrayed = true, bool AllowDisabled = true);

    // Fired after the user changed a box (click or space).
    TNotifyEvent OnClickCheck;

    void ItemInserted(int Index) override;
    void ItemDeleted(int Index) override;
    void ItemsCleared() override;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void ItemClicked(int Index, int X) override;
    void KeyPress(char16_t& Key) override;
    virtual void ClickCheck();

private:
    struct TBox {
        TCheckBoxState State { cbUnchecked };
        bool Enabled { true };
    };
    void CheckIndex(int Index) const;
    // The next state a click gives: grayed comes between when allowed.
    void ToggleByUser(int Index);
    int BoxWidth() const;
    std::vector<TBox> m_boxes;
    bool m_allowGrayed { false };
};
