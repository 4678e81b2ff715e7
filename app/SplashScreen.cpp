#include "app/SplashScreen.h"

#include <cstdlib>
#include <iterator>

#include "app/FormNames.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TfrmSplashScreen)

namespace {

constexpr int LogoWidth = 119;
constexpr int LogoHeight = 135;
constexpr int TextLeft = 128;
constexpr int TextWidth = 202;
const String Initializing = u"Initializing...";

} // namespace

TfrmSplashScreen::TfrmSplashScreen(TComponent* AOwner) : TForm(AOwner)
{
    SetName(UniqueFormName(AOwner, u"frmSplashScreen"));
    SetCaption(u"QTX-SplashScreen");
    SetBorderStyle(bsDialog);
    SetBorderIcons({});
    SetBorderWidth(3);
    SetClientWidth(388);
    SetClientHeight(173);
    SetFormStyle(fsStayOnTop);
    SetPosition(poDesktopCenter);
    GetFont()->SetName(u"Tahoma");
    GetFont()->SetSize(8);
    OnClick = [this](TObject* Sender) { FormClick(Sender); };
    CreateComponents();
}

void TfrmSplashScreen::CreateComponents()
{
    Image1 = new ExtCtrls::TImage(this);
    Image1->SetName(u"Image1");
    Image1->SetAutoSize(true);
    Image1->SetLeft(0);
    Image1->SetTop(0);
    Image1->SetParent(this);
    PaintLogo();

    lblTitle = new TLabel(this);
    lblTitle->SetName(u"lblTitle");
    lblTitle->SetParentFont(false);
    lblTitle->GetFont()->SetName(u"Tahoma");
    lblTitle->GetFont()->SetHeight(-19);
    lblTitle->SetGlowSize(3);
    lblTitle->SetTransparent(true);
    lblTitle->SetBounds(TextLeft, 8, TextWidth, 23);
    lblTitle->SetCaption(u"Quarrytide [QTX]");
    lblTitle->SetParent(this);

    // Fixed sizes: long addresses wrap inside the label instead of widening it.
    lblMessages = new TLabel(this);
    lblMessages->SetName(u"lblMessages");
    lblMessages->SetAutoSize(false);
    lblMessages->SetWordWrap(true);
    lblMessages->SetBounds(TextLeft, 40, TextWidth, 39);
    lblMessages->SetCaption(Initializing);
    lblMessages->SetParent(this);

    lbURL = new TLabel(this);
    lbURL->SetName(u"lbURL");
    lbURL->SetAutoSize(false);
    lbURL->SetWordWrap(true);
    lbURL->SetBounds(TextLeft, 84, TextWidth, 45);
    lbURL->SetCaption(Initializing);
    lbURL->SetParent(this);

    mmEmails = new TMemo(this);
    mmEmails->SetName(u"mmEmails");
    mmEmails->SetBorderStyle(bsNone);
    mmEmails->SetCharCase(ecLowerCase);
    mmEmails->SetEnabled(false);
    mmEmails->SetHeight(std::abs(GetFont()->GetHeight()) + 4);
    mmEmails->SetAlign(alBottom);
    mmEmails->SetParent(this);
    mmEmails->SetText(u"");
}

void TfrmSplashScreen::PaintLogo()
{
    TBitmap* logo = Image1->GetPicture()->GetBitmap();
    logo->SetSize(LogoWidth, LogoHeight);
    TCanvas* c = logo->GetCanvas();
    // A pick over a quarry face: bands of stone, then the tool.
    const TColor bands[] = { TColor(0x6B5B4E), TColor(0x7F6E60), TColor(0x948374), TColor(0xA99988) };
    const int band = LogoHeight / int(std::size(bands));
    for (int i = 0; i < int(std::size(bands)); ++i) {
        c->GetBrush()->SetColor(bands[i]);
        c->FillRect({ 0, i * band, LogoWidth, i == int(std::size(bands)) - 1 ? LogoHeight : (i + 1) * band });
    }
    c->GetPen()->SetColor(TColor(0x202020));
    c->GetPen()->SetWidth(5);
    c->MoveTo(30, 115);
    c->LineTo(85, 30);
    c->GetBrush()->SetColor(TColor(0xC0C0C0));
    c->GetPen()->SetWidth(1);
    c->Ellipse(62, 18, 108, 42);
}

// The memo's lower-case setting only converts what is typed, so text given
// to it is converted here.
void TfrmSplashScreen::SetEmails(const String& text)
{
    mmEmails->SetText(AnsiLowerCase(text));
}

void TfrmSplashScreen::FormClick(TObject*)
{
    Hide();
}

TStatusPopupFactory SplashScreenFactory()
{
    return [] { return std::make_unique<TfrmSplashScreen>(Application.Get()); };
}
