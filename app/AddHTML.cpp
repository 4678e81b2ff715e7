#include "app/AddHTML.h"

#include "app/FormNames.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TfrmAddHTML)

TfrmAddHTML::TfrmAddHTML(TComponent* AOwner) : TForm(AOwner)
{
    SetName(UniqueFormName(AOwner, u"frmAddHTML"));
    SetCaption(u"Add HTML");
    SetPosition(poMainFormCenter);
    SetClientWidth(560);
    SetClientHeight(320);

    Memo1 = new TMemo(this);
    Memo1->SetName(u"Memo1");
    Memo1->SetBounds(8, 8, 544, 264);
    Memo1->SetScrollBars(ssBoth);
    Memo1->SetParent(this);
    Memo1->GetLines()->Clear();
    Memo1->GetLines()->Add(u"<html><h1>Hello World!</h1></html>");
    Memo1->GetLines()->Add(u"");

    Button1 = MakeButton(u"Button1", u"Cancel", { 8, 284, 108, 309 });
    Button1->SetDefault(true);
    Button2 = MakeButton(u"Button2", u"Add HTML Code to the Document", { 116, 284, 316, 309 });
    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
    Button3 = MakeButton(u"Button3", u"Load HTML Code (replace current Document)", { 324, 284, 552, 309 });
    Button3->OnClick = [this](TObject* Sender) { Button3Click(Sender); };
}

TButton* TfrmAddHTML::MakeButton(const String& name, const String& caption, TRect bounds)
{
    auto* button = new TButton(this);
    button->SetName(name);
    button->SetCaption(caption);
    button->SetBoundsRect(bounds);
    button->SetModalResult(mrOk);
    button->SetParent(this);
    return button;
}

void TfrmAddHTML::Button2Click(TObject*) { }

void TfrmAddHTML::Button3Click(TObject*) { }
