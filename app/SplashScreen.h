#pragma once
// The status pop-up: a small always-on-top form that tells the user what a
// long step (page loading, saving, the e-mail harvest) is doing. Its users set
// the texts and pump messages so the changes are painted; a click hides it.

#include <memory>

#include "app/StatusPopup.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdCtrls.h"

class TfrmSplashScreen : public TForm, public IStatusPopup {
    QT_CLASS(TfrmSplashScreen, TForm)
public:
    explicit TfrmSplashScreen(TComponent* AOwner = nullptr);

    // A click on the pop-up hides it.
    void FormClick(TObject* Sender);

    // IStatusPopup: the texts go to the labels and the memo; Show and Hide
    // are the form's own (not modal).
    void SetTitle(const String& text) override { lblTitle->SetCaption(text); }
    void SetMessages(const String& text) override { lblMessages->SetCaption(text); }
    void SetURL(const String& text) override { lbURL->SetCaption(text); }
    void SetEmails(const String& text) override;
    void Show() override { TForm::Show(); }
    void Hide() override { TForm::Hide(); }

    // Owned by the form, as its components.
    ExtCtrls::TImage* Image1 { nullptr };
    TLabel* lblTitle { nullptr };
    TLabel* lblMessages { nullptr };
    TLabel* lbURL { nullptr };
    TMemo* mmEmails { nullptr };

private:
    void CreateComponents();
    // The picture beside the texts, drawn once at its design size.
    void PaintLogo();
};

// Makes a status pop-up owned by the application object each time it is
// called (the harvest's per-card pop-up).
TStatusPopupFactory SplashScreenFactory();
