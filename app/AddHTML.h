#pragma once
// The "Add HTML" dialog: a memo with markup to put into the page and three
// buttons, each of which closes the dialog with modal result 1. The main
// window shows it modally and frees it afterwards.

#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdCtrls.h"

class TfrmAddHTML : public TForm {
    QT_CLASS(TfrmAddHTML, TForm)
public:
    explicit TfrmAddHTML(TComponent* AOwner = nullptr);

    // The dialog closes through the buttons' modal result; nothing else.
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);

    // Owned by the form, as its components.
    TMemo* Memo1 { nullptr };
    TButton* Button1 { nullptr };
    TButton* Button2 { nullptr };
    TButton* Button3 { nullptr };

private:
    TButton* MakeButton(const String& name, const String& caption, TRect bounds);
};
