#pragma once
// A single-line edit that reports Return and Ctrl+Return through events of
// its own instead of letting the form use them; the grid's search panel
// types its search text into one.

#include "platform/vcl/Edits.h"

class TRetEdit : public TEdit {
    QT_CLASS(TRetEdit, TEdit)
public:
    explicit TRetEdit(TComponent* AOwner = nullptr);

    TNotifyEvent OnReturn;
    TNotifyEvent OnCtrlReturn;

    void Dispatch(TMessage& Message) override;
};
