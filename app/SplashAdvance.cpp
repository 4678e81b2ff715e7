#include "app/SplashAdvance.h"

QT_PUBLISHED(TfSplashAdvance)

TfSplashAdvance::TfSplashAdvance(TComponent* AOwner) : TForm(AOwner)
{
    SetName(u"fSplashAdvance");
    SetCaption(u"Pagina attuale");
    SetBorderStyle(bsDialog);
    SetFormStyle(fsStayOnTop);
    SetPosition(poMainFormCenter);
    GetGlassFrame()->SetEnabled(true);
    GetGlassFrame()->SetSheetOfGlass(true);
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };

    Advance = new TLumSmoothProgressBar(this);
    Advance->SetName(u"Advance");
    Advance->SetBounds(0, 0, 249, 44);
    Advance->SetComponentStyle(tsWindows10);
    TGDIPProgress* look = Advance->GetAppearance();
    look->SetTransparent(true);
    look->SetValueType(vtPercentage);
    look->SetValueVisible(true);
    Advance->SetMarqueeColor(clYellow);
    Advance->SetMarqueeInterval(1);
    Advance->OnClick = [](TObject*) { }; // a click on the bar does nothing
    Advance->SetParent(this);
    // The form takes the size of the bar it holds.
    SetAutoSize(true);
}
