#include "dropdown/LumDropDownForm.h"

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumDropDownRoutines.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

QT_PUBLISHED(TDropDownForm)

TDropDownForm::TDropDownForm(TComponent* AOwner, int Dummy)
    : TForm(AOwner, Dummy)
{
    FShadow = true;
    FIsDeactivating = false;
    FCancelOnDeActivate = true;
}

void TDropDownForm::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_TOPMOST;
    // The window belongs to the form the drop-down sits on.
    if (FLumDropDown)
        if (TCustomForm* Form = GetParentForm(FLumDropDown); Form && Form->HandleAllocated())
            Params.WndParent = Form->GetHandle();
}

void TDropDownForm::AdjustClientRect(TRect& Rect)
{
    TForm::AdjustClientRect(Rect);
    if (FLumDropDown) {
        const int BW = FLumDropDown->GetDropDownBorderWidth();
        Rect.Inflate(-BW, -BW);
    }
}

void TDropDownForm::DoHide()
{
    TForm::DoHide();
    // A window that is gone is not deactivating any more, whichever road
    // closed it; otherwise no opening would be accepted again.
    FIsDeactivating = false;
}

void TDropDownForm::Paint()
{
    TForm::Paint();
    if (!FLumDropDown)
        return;
    if (GetStyleElements().Contains(seClient) && IsVCLStyleActive())
        return;
    TCanvas* Canvas = GetCanvas();
    const int BW = FLumDropDown->GetDropDownBorderWidth();
    const TColor From = FLumDropDown->GetDropDownColor(), To = FLumDropDown->GetDropDownColorTo();
    TRect R = GetClientRect();
    R.Inflate(-BW, -BW);
    if (From != clNone && To != clNone) {
        LumDropDown::DrawGradient(Canvas, From, To, FLumDropDown->GetDropDownGradient() == gdHorizontal, R, 80);
    } else if (From != clNone) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(From);
        Canvas->FillRect(R);
    }
    if (BW > 0) {
        TRect B = GetClientRect();
        B.Left += BW / 2;
        B.Top += BW / 2;
        Canvas->GetPen()->SetWidth(BW);
        Canvas->GetPen()->SetColor(FLumDropDown->GetDropDownBorderColor());
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->Rectangle(B);
        Canvas->GetPen()->SetWidth(1);
    }
}

void TDropDownForm::InitializeAndUpdate()
{
    if (!FLumDropDown)
        return;
    const float S = FLumDropDown->GetDPIScale();
    THeaderAppearance* HeaderLook = FLumDropDown->GetDropDownHeader();
    const int HeaderHeight = int(RoundHalfEven(S * HeaderLook->GetHeight()));
    if (FHeader) {
        FHeader->SetLumDropDown(FLumDropDown);
        FHeader->SetHeight(HeaderHeight);
        FHeader->InitButtons();
        FHeader->SetVisible(HeaderLook->GetVisible());
    } else if (HeaderLook->GetVisible()) {
        FHeader = new TLumHeader(this);
        FHeader->SetParent(this);
        FHeader->SetHeight(HeaderHeight);
        FHeader->SetLumDropDown(FLumDropDown);
        FHeader->InitButtons();
        FHeader->SetAlign(alTop);
    }
    if (FHeader) {
        FHeader->OnDrawBackGround = FLumDropDown->OnDrawHeader;
        FHeader->OnGetText = FLumDropDown->OnGetHeaderText;
        FHeader->SetStyleElements(FLumDropDown->GetStyleElements());
    }

    TFooterAppearance* FooterLook = FLumDropDown->GetDropDownFooter();
    const int FooterHeight = int(RoundHalfEven(S * FooterLook->GetHeight()));
    if (FFooter) {
        FFooter->SetLumDropDown(FLumDropDown);
        FFooter->SetHeight(FooterHeight);
        FFooter->InitButtons();
        FFooter->SetVisible(FooterLook->GetVisible());
    } else if (FooterLook->GetVisible()) {
        FFooter = new TLumFooter(this);
        FFooter->SetParent(this);
        FFooter->SetHeight(FooterHeight);
        FFooter->SetLumDropDown(FLumDropDown);
        FFooter->InitButtons();
        FFooter->SetAlign(alBottom);
    }
    if (FFooter) {
        FFooter->OnDrawBackGround = FLumDropDown->OnDrawFooter;
        FFooter->OnGetText = FLumDropDown->OnGetFooterText;
        FFooter->SetStyleElements(FLumDropDown->GetStyleElements());
    }
}

void TDropDownForm::ActivationChanged(TMessage& Message)
{
    if (FBlockActivate)
        return;
    if (LOWORD(Message.WParam) != WA_INACTIVE) {
        // The form the drop-down sits on keeps looking active.
        if (TComponent* Owner = GetOwner(); auto* Control = dynamic_cast<TWinControl*>(Owner)) {
            if (Control->HandleAllocated()) {
                HWND Top = Control->GetHandle();
                while (HWND Up = ::GetParent(Top))
                    Top = Up;
                SendMessage(Top, WM_NCACTIVATE, TRUE, 0);
            }
        }
        return;
    }
    if (!GetVisible())
        return;
    FIsDeactivating = true;
    FDeActivate = GetTickCount();
    // The focus went into a window of the form's own: it stays open.
    const HWND Target = reinterpret_cast<HWND>(Message.LParam);
    for (HWND H = Target ? ::GetParent(Target) : nullptr; H; H = ::GetParent(H))
        if (H == GetHandle())
            return;
    if (FLumDropDown)
        FLumDropDown->DoHideDropDown(FCancelOnDeActivate);
    else
        Hide();
    FIsDeactivating = false;
}

void TDropDownForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ACTIVATE:
        TForm::Dispatch(Message);
        ActivationChanged(Message);
        return;
    case WM_SIZE:
        TForm::Dispatch(Message);
        Invalidate();
        if (OnSize)
            OnSize(this);
        return;
    case WM_SIZING:
        TForm::Dispatch(Message);
        if (OnSizing)
            OnSizing(this);
        return;
    case WM_NCHITTEST: {
        const TPoint P = ScreenToClient(TPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        Message.Result = FSizeable && P.X > GetWidth() - 10 && P.Y > GetHeight() - 10 ? HTBOTTOMRIGHT : HTNOWHERE;
        return;
    }
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    default:
        break;
    }
    TForm::Dispatch(Message);
}
