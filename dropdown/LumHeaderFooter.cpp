#include "dropdown/LumHeaderFooter.h"

#include "dropdown/LumDropDownRoutines.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

QT_PUBLISHED(TDbgList)
QT_PUBLISHED(TLumDropDownStrip, QT_PROP(Images), QT_PROP_RO(Buttons), QT_EVENT(OnDrawBackGround), QT_EVENT(OnGetText))
QT_PUBLISHED(TLumHeader, QT_PROP(Appearance))
QT_PUBLISHED(TLumFooter, QT_PROP(Appearance))

// ---- TDbgList ----

void* TDbgList::GetItemsEx(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw Exception(u"Index out of bounds in list read access");
    return GetItem(Index);
}

void TDbgList::SetItemsEx(int Index, void* Value)
{
    if (Index < 0 || Index >= GetCount())
        throw Exception(u"Index out of bounds in list write access");
    SetItem(Index, Value);
}

void TDbgList::AssignList(const TList<>& List)
{
    Clear();
    for (int i = 0; i < List.GetCount(); ++i)
        Add(List.GetItem(i));
}

// ---- the strip ----

TLumDropDownStrip::TLumDropDownStrip(TComponent* AOwner)
    : TCustomControl(AOwner)
{
    m_controlStyle.Include(csAcceptsControls);
    SetBorderWidth(0);
    SetDoubleBuffered(true);
}

TLumDropDownStrip::~TLumDropDownStrip() = default;

void TLumDropDownStrip::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
}

void TLumDropDownStrip::SetLumDropDown(TLumCustomDropDown* Value)
{
    if (FLumDropDown != Value) {
        if (FLumDropDown)
            FLumDropDown->RemoveFreeNotification(this);
        FLumDropDown = Value;
        if (FLumDropDown)
            FLumDropDown->FreeNotification(this);
    }
    if (!Value) {
        SetImages(nullptr);
        return;
    }
    SetImages(Value->GetImages());
    GetStripAppearance()->Assign(DropDownAppearance());
}

void TLumDropDownStrip::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FLumDropDown)
        FLumDropDown = nullptr;
    // A button freed from elsewhere leaves the list.
    for (int i = FButtonList.GetCount() - 1; i >= 0; --i)
        if (static_cast<TComponent*>(static_cast<TLumButton*>(FButtonList.GetItem(i))) == AComponent)
            FButtonList.Delete(i);
}

void TLumDropDownStrip::AppearanceChanged()
{
    TStripAppearance* A = GetStripAppearance();
    SetVisible(A->GetVisible());
    SetHeight(A->GetHeight());
}

void TLumDropDownStrip::InitButtons()
{
    if (FLumDropDown)
        CreateButtons();
}

float TLumDropDownStrip::Scale()
{
    // The window that holds the strip belongs to its drop-down.
    TComponent* Window = GetOwner();
    if (Window && Window->GetOwner() && FLumDropDown)
        return FLumDropDown->GetDPIScale();
    return 1.0f;
}

// ---- buttons ----

void TLumDropDownStrip::ClearButtons()
{
    for (int i = FButtonList.GetCount() - 1; i >= 0; --i) {
        auto* Button = static_cast<TLumButton*>(FButtonList.GetItem(i));
        FButtonList.Delete(i);
        delete Button;
    }
    FButtonList.Clear();
}

void TLumDropDownStrip::CreateButtons()
{
    THeaderButtons* Items = GetButtons();
    if (!Items || !FLumDropDown)
        return;
    ClearButtons();
    const int H = GetButtonsHeight();
    for (int i = 0; i < Items->GetCount(); ++i) {
        THeaderButton* Item = Items->GetItems(i);
        auto* Button = new TLumButton(this);
        Button->SetParent(this);
        if (auto* FooterItem = dynamic_cast<TFooterButton*>(Item)) {
            Button->SetLumDropDown(FLumDropDown);
            Button->SetModalResult(FooterItem->GetModalResult());
        }
        Button->SetAppearance(FLumDropDown->GetButtonAppearance());
        Button->SetCaption(Item->GetCaption());
        Button->SetImages(FLumDropDown->GetImages());
        Button->SetImageIndex(Item->GetImageIndex());
        Button->SetEnabled(Item->GetEnabled());
        Button->SizeToContent();
        if (Item->GetWidth() > 0)
            Button->SetWidth(Item->GetWidth());
        if (Item->GetHeight() > 0)
            Button->SetHeight(Item->GetHeight());
        if (Button->GetHeight() > H)
            Button->SetHeight(H);
        Button->SetTag(i);
        Button->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
        FButtonList.Add(Button);
    }
    ArrangeButtons();
}

void TLumDropDownStrip::UpdateButtons()
{
    THeaderButtons* Items = GetButtons();
    if (!Items || !FLumDropDown)
        return;
    for (int i = 0; i < FButtonList.GetCount(); ++i) {
        TLumButton* Button = GetButton(i);
        Button->SetAppearance(FLumDropDown->GetButtonAppearance());
        Button->SetImages(IsFooter() ? FLumDropDown->GetImages() : FImages);
        if (i < Items->GetCount()) {
            THeaderButton* Item = Items->GetItems(i);
            Button->SetCaption(Item->GetCaption());
            Button->SetImageIndex(Item->GetImageIndex());
            Button->SetImages(FLumDropDown->GetImages());
            Button->SetEnabled(Item->GetEnabled());
        }
        Button->SetAutoSize(true);
    }
    ArrangeButtons();
}

TRect TLumDropDownStrip::GetButtonsRect()
{
    TRect R = GetClientRect();
    R.Left += 2;
    R.Top += 2;
    R.Right -= 2;
    R.Bottom -= 3;
    return R;
}

void TLumDropDownStrip::ArrangeButtons()
{
    if (FButtonList.GetCount() == 0)
        return;
    const TRect Area = GetButtonsRect();
    const bool Right = GetStripAppearance()->GetButtonAlignment() == baRight;
    int X = Right ? Area.Right : Area.Left;
    for (int i = 0; i < FButtonList.GetCount(); ++i) {
        TLumButton* Button = GetButton(i);
        const int Top = std::max(Area.Top, (Area.Bottom - Button->GetHeight()) / 2);
        if (Right) {
            Button->SetBounds(X - Button->GetWidth(), Top, Button->GetWidth(), Button->GetHeight());
            X = Button->GetLeft();
        } else {
            Button->SetBounds(X, Top, Button->GetWidth(), Button->GetHeight());
            X += Button->GetWidth();
        }
    }
}

TRect TLumDropDownStrip::GetCaptionRect()
{
    if (FButtonList.GetCount() == 0)
        return TRect(-1, -1, -1, -1);
    TRect R = GetButtonsRect();
    R.Right = GetButton(FButtonList.GetCount() - 1)->GetLeft() - 2;
    return R;
}

void TLumDropDownStrip::Resize()
{
    TCustomControl::Resize();
    ArrangeButtons();
}

void TLumDropDownStrip::ButtonClick(TObject* Sender)
{
    auto* Button = dynamic_cast<TLumButton*>(Sender);
    if (!Button || !FLumDropDown)
        return;
    const auto& Event
        = IsFooter() ? FLumDropDown->OnDropDownFooterButtonClick : FLumDropDown->OnDropDownHeaderButtonClick;
    if (Event)
        Event(FLumDropDown, Button->GetTag());
}

// ---- painting ----

void TLumDropDownStrip::Paint()
{
    TCanvas* Canvas = GetCanvas();
    const TRect R = GetClientRect();
    const float S = Scale();
    if (OnDrawBackGround) {
        OnDrawBackGround(this, Canvas, R);
        return;
    }
    TStripAppearance* A = GetStripAppearance();
    const int BW = A->GetBorderWidth();
    if (GetStyleElements().Contains(seClient) && IsVCLStyleActive()) {
        StyleServices()->DrawElement(Canvas->GetHandle(), StyleServices()->GetElementDetails(tgFixedCellNormal), R);
    } else {
        if (A->GetColorTo() == clNone) {
            if (A->GetColor() != clNone) {
                Canvas->GetBrush()->SetStyle(bsSolid);
                Canvas->GetBrush()->SetColor(A->GetColor());
                Canvas->FillRect(R);
            }
        } else {
            LumDropDown::DrawGradient(
                Canvas, A->GetColor(), A->GetColorTo(), A->GetGradientDirection() == gdHorizontal, R, 80);
        }
        if (A->GetBorderColor() != clNone && BW > 0) {
            Canvas->GetPen()->SetColor(A->GetBorderColor());
            Canvas->GetPen()->SetWidth(BW);
            // Towards the content a line; the other sides only when the
            // drop-down window draws no border of its own.
            const bool Alone = !FLumDropDown || FLumDropDown->GetDropDownBorderWidth() < 1
                || FLumDropDown->GetDropDownBorderColor() == clNone;
            const int Bottom = R.Bottom - 1, Right = R.Right - 1;
            if (IsFooter()) {
                Canvas->MoveTo(R.Left, R.Top);
                Canvas->LineTo(R.Right, R.Top);
                if (Alone)
                    Canvas->Polyline({ { R.Left, R.Top }, { R.Left, Bottom }, { Right, Bottom }, { Right, R.Top - 1 } });
            } else {
                Canvas->MoveTo(R.Left, Bottom);
                Canvas->LineTo(R.Right, Bottom);
                if (Alone)
                    Canvas->Polyline({ { R.Left, Bottom }, { R.Left, R.Top }, { Right, R.Top }, { Right, Bottom + 1 } });
            }
            Canvas->GetPen()->SetWidth(1);
            // A light line inside the border.
            Canvas->GetPen()->SetColor(LumDropDown::BlendColor(A->GetBorderColor(), clWhite, 20));
            Canvas->GetBrush()->SetStyle(bsClear);
            TRect Inner = R;
            if (Alone)
                Inner.Inflate(-BW, -BW);
            else if (IsFooter())
                Inner.Top += BW;
            else
                Inner.Bottom -= BW;
            Canvas->Rectangle(Inner);
        }
    }

    TRect T = R;
    T.Inflate(-BW, -BW);
    if (A->GetImageIndex() >= 0 && FImages) {
        FImages->Draw(Canvas, T.Left + 4, T.Top + (T.Height() - FImages->GetHeight()) / 2, A->GetImageIndex(), true);
        T.Left += FImages->GetWidth() + 8;
    }
    String Text = A->GetCaption();
    if (OnGetText)
        OnGetText(this, Text);
    if (!Text.empty()) {
        if (FButtonList.GetCount() > 0)
            T.Right = GetCaptionRect().Right;
        Canvas->GetFont()->Assign(A->GetFont());
        if (IsFooter())
            Canvas->GetFont()->SetHeight(int(RoundHalfEven(A->GetFont()->GetHeight() * double(S))));
        Canvas->GetBrush()->SetStyle(bsClear);
        TSize Size;
        LumDropDown::DrawHTMLCaption(Canvas, Text, T, Size, S, GetHandle(), false, FImages);
        if (Size.cy < T.Height())
            T.Top += (T.Height() - Size.cy) / 2;
        LumDropDown::DrawHTMLCaption(Canvas, Text, T, Size, S, GetHandle(), true, FImages);
    }
    if (auto* Footer = dynamic_cast<TLumFooter*>(this); Footer && Footer->HasSizeGrip())
        Footer->DrawSizeGrip(Canvas, TRect(R.Right - BW - 16, 1, R.Right - BW - 1, R.Bottom));
}

// ---- header ----

TLumHeader::TLumHeader(TComponent* AOwner)
    : TLumDropDownStrip(AOwner)
    , FAppearance(std::make_unique<THeaderAppearance>(AOwner))
{
    FAppearance->OnChange = [this](TObject*) { AppearanceChanged(); };
    FAppearance->OnButtonsChanged = [](TObject*) { };
}

THeaderButtons* TLumHeader::GetButtons() const
{
    return FLumDropDown ? FLumDropDown->GetDropDownHeader()->GetButtons() : nullptr;
}

TStripAppearance* TLumHeader::DropDownAppearance() const
{
    return FLumDropDown ? FLumDropDown->GetDropDownHeader() : nullptr;
}

// ---- footer ----

TLumFooter::TLumFooter(TComponent* AOwner)
    : TLumDropDownStrip(AOwner)
    , FAppearance(std::make_unique<TFooterAppearance>(AOwner))
{
    FAppearance->OnChange = [this](TObject*) { AppearanceChanged(); };
    m_controlStyle.Include(csCaptureMouse);
}

THeaderButtons* TLumFooter::GetButtons() const
{
    return FLumDropDown ? FLumDropDown->GetDropDownFooter()->GetButtons() : nullptr;
}

TStripAppearance* TLumFooter::DropDownAppearance() const
{
    return FLumDropDown ? FLumDropDown->GetDropDownFooter() : nullptr;
}

bool TLumFooter::HasSizeGrip() const
{
    return FAppearance->GetSizeGrip() && FLumDropDown && FLumDropDown->GetDropDownSizeable();
}

TRect TLumFooter::GetButtonsRect()
{
    TRect R = GetClientRect();
    R.Left += 2;
    R.Top += 2;
    R.Bottom -= 2;
    R.Right -= HasSizeGrip() ? 14 : 2;
    return R;
}

// Six dots in a triangle at the bottom right, each white with a dot in the
// border colour one pixel up and to the left.
void TLumFooter::DrawSizeGrip(TCanvas* Canvas, const TRect& G)
{
    const int L = G.Left, B = G.Bottom;
    struct Dot {
        int X, Y;
    };
    const Dot Dots[] = { { 5, 4 }, { 9, 4 }, { 13, 4 }, { 9, 8 }, { 13, 8 }, { 13, 12 } };
    for (const Dot& D : Dots) {
        const TRect White(L + D.X, B - D.Y, L + D.X + 2, B - D.Y + 2);
        Canvas->GetPen()->SetColor(clWhite);
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(clWhite);
        Canvas->FillRect(White);
        TRect Dark = White;
        Dark.Offset(-1, -1);
        Canvas->GetPen()->SetColor(FAppearance->GetBorderColor());
        Canvas->GetBrush()->SetColor(FAppearance->GetBorderColor());
        Canvas->FillRect(Dark);
    }
}

bool TLumFooter::InGripZone(int X, int Y) const
{
    return HasSizeGrip() && GetParent() && X > GetWidth() - 12 && Y > GetHeight() - 15;
}

void TLumFooter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumDropDownStrip::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !InGripZone(X, Y) || !GetParent()->HandleAllocated())
        return;
    // The window's own sizing from its bottom-right corner takes over.
    ReleaseCapture();
    const TPoint P = ClientToScreen({ X, Y });
    SendMessage(GetParent()->GetHandle(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(WORD(P.X), WORD(P.Y)));
}

void TLumFooter::MouseMove(TShiftState Shift, int X, int Y)
{
    TLumDropDownStrip::MouseMove(Shift, X, Y);
    if (!HasSizeGrip() || !GetParent())
        return;
    const TCursor Wanted = InGripZone(X, Y) ? crSizeNWSE : FOldCursor;
    if (Screen->GetCursor() != Wanted)
        Screen->SetCursor(Wanted);
}

void TLumFooter::MouseEnter()
{
    TLumDropDownStrip::MouseEnter();
    if (Screen->GetCursor() != crSizeNWSE)
        FOldCursor = Screen->GetCursor();
}

void TLumFooter::RestoreCursor()
{
    if (Screen->GetCursor() != FOldCursor)
        Screen->SetCursor(FOldCursor);
}

void TLumFooter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumDropDownStrip::MouseUp(Button, Shift, X, Y);
    RestoreCursor();
}

void TLumFooter::MouseLeave()
{
    TLumDropDownStrip::MouseLeave();
    RestoreCursor();
}
