#pragma once
// The page-advance form: a small always-on-top window holding one smooth
// progress bar, meant to show how far a crawl has come. The program creates
// it hidden with its other forms; nothing shows it yet.

#include "platform/vcl/Forms.h"
#include "richtext/LumSmoothProgressBar.h"

class TfSplashAdvance : public TForm {
    QT_CLASS(TfSplashAdvance, TForm)
public:
    explicit TfSplashAdvance(TComponent* AOwner = nullptr);

    // Closing leaves the close action as it is: the form is hidden, not freed.
    void FormClose(TObject*, TCloseAction&) { }

    // Owned by the form, as its component.
    TLumSmoothProgressBar* Advance { nullptr };
};
