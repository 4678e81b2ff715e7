#include "dropdown/LumToolTip.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/WindowRegions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Window.h"
#include "richtext/LumGDIP.h"

using namespace LumGDIP;

QT_PUBLISHED(TLumToolTip, QT_PROP_T(BorderColor, u"TColor"), QT_PROP(Images), QT_PROP(MaxWidth),
    QT_PROP_T(Color, u"TColor"), QT_PROP_T(ControlBorderColor, u"TColor"), QT_PROP(Font), QT_PROP(X), QT_PROP(Y),
    QT_PROP(ImageIndex), QT_PROP(Position), QT_PROP(Rounding), QT_PROP(Shape), QT_PROP(Margin), QT_PROP(Version))
QT_PUBLISHED(TLumToolTipWindow, QT_PROP(Text))

namespace {

// Room a balloon keeps for its pointer.
constexpr int PointerRoom = 8;

bool IsTop(TLumToolTipPosition P) { return P == ttTopRight || P == ttTopLeft || P == ttTopCenter; }
bool IsBottom(TLumToolTipPosition P) { return P == ttBottomLeft || P == ttBottomCenter || P == ttBottomRight; }

struct TRestoreDC {
    HDC DC;
    int Saved;
    ~TRestoreDC() { RestoreDC(DC, Saved); }
};

// A rounded rectangle of quarter arcs of radius R joined by straight edges.
void AddRoundRect(TGPGraphicsPath& Path, float X, float Y, float W, float H, float R)
{
    if (R <= 0 || W <= 0 || H <= 0) {
        Path.AddRectangle(TGPRectF { X, Y, W, H });
        return;
    }
    const float D = 2 * R;
    Path.AddArc(X, Y, D, D, 180, 90);
    Path.AddArc(X + W - D, Y, D, D, 270, 90);
    Path.AddArc(X + W - D, Y + H - D, D, D, 0, 90);
    Path.AddArc(X, Y + H - D, D, D, 90, 90);
    Path.CloseFigure();
}

} // namespace

// ---- TLumToolTip ----

TLumToolTip::TLumToolTip(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    FFont->SetColor(clWhite);
}

TLumToolTip::~TLumToolTip() = default;

String TLumToolTip::GetVersion() const
{
    const int v = GetVersionNr();
    return Format(u"%d.%d.%d.%d", { (v >> 24) & 0xFF, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF });
}

void TLumToolTip::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
}

void TLumToolTip::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TLumToolTip::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TLumToolTip*>(Source);
    if (!Other)
        return;
    FBorderColor = Other->FBorderColor;
    SetImages(Other->FImages);
    FMaxWidth = Other->FMaxWidth;
    FColor = Other->FColor;
    FControlBorderColor = Other->FControlBorderColor;
    FFont->Assign(Other->FFont.get());
    FX = Other->FX;
    FY = Other->FY;
    FImageIndex = Other->FImageIndex;
    FPosition = Other->FPosition;
    FRounding = Other->FRounding;
    FShape = Other->FShape;
    FMargin = Other->FMargin;
}

// ---- TLumToolTipWindow ----

TLumToolTipWindow::TLumToolTipWindow(TComponent* AOwner)
    : TCustomControl(AOwner), FInternalToolTip(std::make_unique<TLumToolTip>())
{
    SetBounds(GetLeft(), GetTop(), 20, 20);
    SetColor(clRed);
    FText = u"1";
    GetFont()->SetColor(clWhite);
    SetDoubleBuffered(true);
    SetVisible(false);
}

TLumToolTipWindow::~TLumToolTipWindow()
{
    SetControl(nullptr);
    SetToolTip(nullptr);
}

void TLumToolTipWindow::SetControl(TControl* Value)
{
    if (FControl == Value)
        return;
    if (FControl) {
        // The control the balloon leaves gets its own border colour back.
        if (FBorderSet) {
            if (PPropInfo P = GetPropInfo(FControl, u"BorderColor"); P && P->SetOrd)
                SetOrdProp(FControl, P, FOldBorderColor);
            FControl->Invalidate();
        }
        FControl->RemoveFreeNotification(this);
    }
    FBorderSet = false;
    FOldBorderColor = clNone;
    FControl = Value;
    if (FControl)
        FControl->FreeNotification(this);
}

void TLumToolTipWindow::SetToolTip(TLumToolTip* Value)
{
    if (FToolTip == Value)
        return;
    if (FToolTip)
        FToolTip->RemoveFreeNotification(this);
    FToolTip = Value;
    if (FToolTip)
        FToolTip->FreeNotification(this);
}

void TLumToolTipWindow::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FControl) {
        // A freed control has no border colour left to give back.
        FControl = nullptr;
        FBorderSet = false;
    }
    if (AComponent == FToolTip) {
        FToolTip = nullptr;
        if (HandleAllocated()) {
            UpdateSize();
            Invalidate();
        }
    }
}

void TLumToolTipWindow::Show(TControl* Control, TLumToolTip* ToolTip)
{
    SetControl(Control);
    SetToolTip(ToolTip);
    if (!Control)
        return;
    if (!GetParent()) {
        TCustomForm* Form = GetParentForm(Control);
        if (!Form)
            return;
        SetParent(Form);
    }
    HandleNeeded();
    UpdateSize();
    TLumToolTip* S = Settings();
    if (S->GetBorderColor() != clNone && !GetVisible()) {
        PPropInfo P = GetPropInfo(Control, u"BorderColor");
        if (P && P->GetOrd && P->SetOrd) {
            // A second showing keeps the colour remembered by the first.
            if (!FBorderSet)
                FOldBorderColor = TColor(GetOrdProp(Control, P));
            FBorderSet = true;
            SetOrdProp(Control, P, S->GetBorderColor());
            Control->Invalidate();
        }
    }
    SetVisible(true);
    BringToFront();
}

void TLumToolTipWindow::SetText(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    UpdateSize();
    Invalidate();
}

void TLumToolTipWindow::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateSize();
}

void TLumToolTipWindow::UpdateSize()
{
    if (!HandleAllocated())
        return;
    TLumToolTip* S = Settings();
    TGPRectF Box;
    {
        TGPGraphics G(GetCanvas()->GetHandle());
        G.SetSmoothingMode(4);
        G.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
        std::unique_ptr<TGPFont> Font(G.MakeFont(S->GetFont()));
        const String Measured = u" " + FText + u" ";
        if (S->GetMaxWidth() <= 0)
            G.MeasureString(Measured, int(Measured.size()), Font.get(), TGPPointF { 0, 0 }, nullptr, Box);
        else
            G.MeasureString(Measured, int(Measured.size()), Font.get(),
                MakeGPRectF(0, 0, float(S->GetMaxWidth()), 1000), Box);
    }
    int W = int(RoundHalfEven(Box.Width + 4 + 2 * S->GetMargin()));
    int H = int(RoundHalfEven(Box.Height * 1.2 + 2 * S->GetMargin()));
    W = std::max(W, H);
    if (IsBalloon()) {
        if (S->GetPosition() == ttRight)
            W += PointerRoom;
        else
            H += PointerRoom;
    }
    if (S->GetImageIndex() >= 0 && S->GetImages()) {
        W += S->GetImages()->GetWidth();
        H = std::max(H, S->GetImages()->GetHeight() + 6);
    }
    if (W != GetWidth() || H != GetHeight())
        SetBounds(GetLeft(), GetTop(), W, H);
    UpdateRegion();
    UpdatePosition();
}

void TLumToolTipWindow::UpdateRegion()
{
    if (!HandleAllocated())
        return;
    TLumToolTip* S = Settings();
    const TLumToolTipPosition P = S->GetPosition();
    const int W = GetWidth(), H = GetHeight();
    SetWindowRgn(GetHandle(), nullptr, false);
    const bool Balloon = IsBalloon();
    const int a = Balloon && P == ttRight ? PointerRoom : 0;
    const int t = Balloon && IsBottom(P) ? PointerRoom : 0;
    const int b = Balloon && IsTop(P) ? PointerRoom : 0;
    HRGN Body = CreateRoundRectRgn(a, t, W + a + 1, H + t - b + 1, S->GetRounding(), S->GetRounding());
    if (Balloon) {
        POINT Tri[3];
        const int d = P == ttTopLeft || P == ttBottomLeft ? 8
            : P == ttTopCenter || P == ttBottomCenter     ? W / 2
            : P == ttTopRight || P == ttBottomRight       ? W - 16
                                                          : 0;
        if (P == ttRight) {
            Tri[0] = { 0, H / 2 };
            Tri[1] = { 10, H / 2 - 5 };
            Tri[2] = { 10, H / 2 + 5 };
        } else if (IsTop(P)) {
            Tri[0] = { d, H - 8 };
            Tri[1] = { d, H };
            Tri[2] = { d + 8, H - 8 };
        } else if (IsBottom(P)) {
            Tri[0] = { d, 0 };
            Tri[1] = { d, 8 };
            Tri[2] = { d + 8, 8 };
        } else {
            Tri[0] = { 0, 0 };
            Tri[1] = { 0, 8 };
            Tri[2] = { 8, 0 };
        }
        HRGN Pointer = CreatePolygonRgn(Tri, 3, WINDING);
        CombineRgn(Body, Body, Pointer, RGN_OR);
        DeleteObject(Pointer);
    }
    // The window takes the region over.
    if (!SetWindowRgn(GetHandle(), Body, true))
        DeleteObject(Body);
}

void TLumToolTipWindow::UpdatePosition()
{
    if (!FControl)
        return;
    // The control's place in the client area of its form.
    int cx = FControl->GetLeft(), cy = FControl->GetTop();
    for (TWinControl* P = FControl->GetParent(); P && !dynamic_cast<TCustomForm*>(P); P = P->GetParent()) {
        cx += P->GetLeft();
        cy += P->GetTop();
    }
    const int CW = FControl->GetWidth(), CH = FControl->GetHeight();
    const int W = GetWidth(), H = GetHeight();
    int L = GetLeft(), T = GetTop();
    switch (Settings()->GetPosition()) {
    case ttTopLeft:
        L = cx;
        T = cy - H;
        break;
    case ttTopRight:
        L = cx + CW - W;
        T = cy - H;
        break;
    case ttTopCenter:
        L = cx + (CW - W) / 2;
        T = cy - H;
        break;
    case ttBottomLeft:
        L = cx;
        T = cy + CH;
        break;
    case ttBottomRight:
        L = cx + CW - W;
        T = cy + CH;
        break;
    case ttBottomCenter:
        L = cx + (CW - W) / 2;
        T = cy + CH;
        break;
    case ttRight:
        L = cx + CW;
        T = cy + (CH - H) / 2;
        break;
    case ttCustom:
        L = cx + Settings()->GetX();
        T = cy + Settings()->GetY();
        break;
    }
    SetBounds(L, T, W, H);
}

void TLumToolTipWindow::Paint()
{
    TLumToolTip* S = Settings();
    const TLumToolTipPosition P = S->GetPosition();
    const bool Balloon = IsBalloon();
    const int W = GetWidth(), H = GetHeight();
    const int t = Balloon && IsBottom(P) ? PointerRoom : 0;
    const int m = Balloon && IsTop(P) ? PointerRoom : 0;
    const int l = Balloon && P == ttRight ? PointerRoom : 0;
    // A custom place has no side for the pointer: the body fills the window.
    const int A = Balloon && P != ttCustom ? PointerRoom : 0;
    const TColor Fill = S->GetColor(), Border = S->GetBorderColor();
    const bool Outlined = Border != clNone && Border != Fill;
    TCanvas* Canvas = GetCanvas();
    {
        TGPGraphics G(Canvas->GetHandle());
        G.SetSmoothingMode(4);
        TGPSolidBrush Brush(ToOpaqueARGB(Fill));
        TGPGraphicsPath Path;
        AddRoundRect(Path, float(l + 1), float(t + 1), float(W - l - 2), float(H + l - A - 2), float(S->GetRounding()));
        G.FillPath(&Brush, &Path);
        TGPPen Pen(ToOpaqueARGB(Border), 1.0f);
        if (Outlined)
            G.DrawPath(&Pen, &Path);
        if (Balloon) {
            // The pointer: a square in the fill colour that the window region cuts to a triangle.
            int x = 0, y = 0, w = 8, h = 8;
            switch (P) {
            case ttBottomLeft: x = 8; h = 10; break;
            case ttBottomCenter: x = W / 2; h = 10; break;
            case ttBottomRight: x = W - 16; h = 10; break;
            case ttTopRight: x = W - 16; y = H - 10; h = 10; break;
            case ttTopLeft: x = 8; y = H - 10; h = 10; break;
            case ttTopCenter: x = W / 2; y = H - 10; h = 10; break;
            case ttRight: y = (H - 8) / 2; w = 10; break;
            case ttCustom: break;
            }
            G.FillRectangle(&Brush, float(x), float(y), float(w), float(h));
            if (Outlined) {
                auto Line = [&](int x1, int y1, int x2, int y2) {
                    G.DrawLine(&Pen, float(x1), float(y1), float(x2), float(y2));
                };
                if (IsTop(P)) {
                    Line(x, y + 1, x, y + h - 1);
                    Line(x + 8, y + 1, x, y + h - 1);
                } else if (IsBottom(P)) {
                    Line(x, y, x, y + h - 1);
                    Line(x, y, x + 8, y + h - 1);
                } else if (P == ttRight) {
                    Line(x, H / 2, x + 9, H / 2 - 4);
                    Line(x, H / 2, x + 9, H / 2 + 4);
                } else {
                    Line(0, 0, 0, 8);
                    Line(0, 0, 8, 0);
                }
            }
        }
    }
    // The text's box as x, y, width and height.
    int x = 0, y = 0, w = W, h = H;
    if (Balloon && IsTop(P)) {
        h = H - m;
    } else if (Balloon && IsBottom(P)) {
        y = t;
        h = H - t;
    } else if (Balloon && P == ttRight) {
        x = l;
        w = W - l;
    }
    if (S->GetImageIndex() >= 0 && S->GetImages()) {
        S->GetImages()->Draw(Canvas, x + 4, y + 4, S->GetImageIndex(), true);
        x += S->GetImages()->GetWidth();
        w -= S->GetImages()->GetWidth();
    }
    TGPGraphics G(Canvas->GetHandle());
    G.SetSmoothingMode(4);
    G.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    std::unique_ptr<TGPFont> Font(G.MakeFont(S->GetFont()));
    TGPStringFormat Format;
    Format.SetAlignment(StringAlignmentCenter);
    Format.SetLineAlignment(StringAlignmentCenter);
    TGPSolidBrush TextBrush(ToOpaqueARGB(S->GetFont()->GetColor()));
    G.DrawString(FText, int(FText.size()), Font.get(), MakeGPRectF(float(x), float(y), float(w), float(h)), &Format,
        &TextBrush);
}

void TLumToolTipWindow::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The paint below covers every pixel, the form's included.
        Message.Result = 1;
        return;
    case WM_PAINT:
        WMPaint(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TLumToolTipWindow::PaintParentBackground(HDC DC)
{
    TWinControl* Parent = GetParent();
    if (!Parent)
        return;
    const TRestoreDC Restore { DC, SaveDC(DC) };
    // The parent paints as if onto itself, shifted so that only the area
    // under the balloon lands in the bitmap (its graphic controls included).
    OffsetWindowOrgEx(DC, GetLeft(), GetTop(), nullptr);
    Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}

void TLumToolTipWindow::WMPaint(TMessage& Message)
{
    if (HDC DC = reinterpret_cast<HDC>(Message.WParam)) {
        PaintParentBackground(DC);
        PaintHandler(Message);
        return;
    }
    PAINTSTRUCT ps;
    HDC DC = BeginPaint(GetHandle(), ps);
    if (!DC)
        return;
    const int W = GetClientWidth(), H = GetClientHeight();
    try {
        if (W > 0 && H > 0) {
            // One transfer to the window: the form behind, then the balloon.
            HDC Mem = CreateCompatibleDC(DC);
            HBITMAP Bmp = CreateCompatibleBitmap(DC, W, H);
            HGDIOBJ Old = SelectObject(Mem, Bmp);
            PaintParentBackground(Mem);
            TMessage Inner {};
            Inner.Msg = WM_PAINT;
            Inner.WParam = reinterpret_cast<WPARAM>(Mem);
            PaintHandler(Inner);
            BitBlt(DC, 0, 0, W, H, Mem, 0, 0, SRCCOPY);
            SelectObject(Mem, Old);
            DeleteObject(Bmp);
            DeleteDC(Mem);
        }
    } catch (...) {
        // Painting never raises into the window system.
        if (Application)
            Application->HandleException(this);
    }
    EndPaint(GetHandle(), ps);
    Message.Result = 0;
}
