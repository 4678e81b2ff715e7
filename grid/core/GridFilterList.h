#pragma once
// The two pop-up lists of a grid's filter row: a plain list of a column's
// values (choosing one filters by it) and a check list (the checked values
// together filter). The grid makes one of each, hidden, as its own children
// and places the one it needs under the filter button.

#include <functional>

#include "platform/vcl/CheckLst.h"
#include "platform/vcl/StdCtrls_List.h"

class TDedOzovedUrad;

using TDropSelectEvent = std::function<void(TObject* Sender, int ItemIndex)>;

class TDropList : public TListBox {
    QT_CLASS(TDropList, TListBox)
public:
    explicit TDropList(TComponent* AOwner = nullptr);

    TDropSelectEvent OnSelect;
    TNotifyEvent OnClose;

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TDropCheckList : public TCheckListBox {
    QT_CLASS(TDropCheckList, TCheckListBox)
public:
    explicit TDropCheckList(TComponent* AOwner = nullptr);

    TDropSelectEvent OnSelect;
    TNotifyEvent OnClose;

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // The list stays open while the user checks items: every toggle
    // filters at once.
    void ClickCheck() override;
};
