#include "grid/edit/VovEdit.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

// Theme part of the "button" class.
constexpr int BP_PUSHBUTTON = 1;

} // namespace

// ---- TLumSpeedButton ----

QT_PUBLISHED(TLumSpeedButton, QT_PROP(IsWinXP))

TLumSpeedButton::TLumSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) { }

TVovEditButton* TLumSpeedButton::ButtonOwner() const
{
    return dynamic_cast<TVovEditButton*>(const_cast<TLumSpeedButton*>(this)->GetOwner());
}

void TLumSpeedButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    Invalidate();
}

void TLumSpeedButton::MouseEnter()
{
    FHot = true;
    Invalidate();
    TSpeedButton::MouseEnter();
}

void TLumSpeedButton::MouseLeave()
{
    FHot = false;
    Invalidate();
    TSpeedButton::MouseLeave();
}

void TLumSpeedButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    TRect r { 0, 0, GetWidth(), GetHeight() };
    const TButtonState state = GetState();
    const bool pressed = state == bsDown || state == bsExclusive;
    TVovEditButton* owner = ButtonOwner();
    HTHEME theme = nullptr;
    if (owner && owner->GetButtonColor() != clNone) {
        if (!GetFlat())
            SetFlat(true);
        const TColor fill = pressed ? owner->GetButtonColorDown() : FHot ? owner->GetButtonColorHot() : owner->GetButtonColor();
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(fill == clNone ? owner->GetButtonColor() : fill);
        canvas->FillRect(r);
    } else if (FIsWinXP && IsThemeActive() && GetParent() && (theme = OpenThemeData(GetParent()->GetHandle(), u"button"))) {
        RECT rc = r;
        DrawThemeBackground(theme, dc, BP_PUSHBUTTON, pressed ? 3 : FHot ? 2 : 1, &rc, nullptr);
        CloseThemeData(theme);
    } else if (GetFlat()) {
        RECT rc = r;
        DrawEdge(dc, &rc, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        r.Inflate(-1, -1);
    } else {
        RECT rc = r;
        DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0u));
        r = TRect(rc);
    }
    // The face moves with the press, not for a button that stays down.
    const int shift = state == bsDown ? 1 : 0;
    TBitmap* glyph = GetGlyph();
    if (glyph && !glyph->GetEmpty()) {
        TBitmap shown;
        shown.Assign(glyph);
        shown.SetTransparent(true);
        const int x = glyph->GetWidth() < GetWidth() ? (GetWidth() - glyph->GetWidth()) / 2 : 0;
        const int y = glyph->GetHeight() < GetHeight() ? (GetHeight() - glyph->GetHeight()) / 2 : 0;
        canvas->Draw(x + shift, y + shift, &shown);
    }
    String caption = GetCaption();
    if (!caption.empty()) {
        canvas->GetFont()->Assign(GetFont());
        canvas->GetFont()->SetColor(clBlack);
        canvas->GetBrush()->SetStyle(bsClear);
        TRect tr = r;
        tr.Offset(shift, shift);
        canvas->TextRect(tr, caption, { tfSingleLine, tfVerticalCenter, tfCenter });
    }
}

// ---- TVovEditButton ----

QT_PUBLISHED(TVovEditButton, QT_PROP(FocusControl), QT_PROP(Flat), QT_PROP(Glyph),
    QT_PROP_T(NumGlyphs, u"TNumGlyphs"), QT_PROP(ButtonCaption), QT_PROP_T(ButtonColor, u"TColor"),
    QT_PROP_T(ButtonColorHot, u"TColor"), QT_PROP_T(ButtonColorDown, u"TColor"), QT_PROP_T(ButtonTextColor, u"TColor"),
    QT_PROP_T(ButtonTextColorHot, u"TColor"), QT_PROP_T(ButtonTextColorDown, u"TColor"),
    QT_PROP_T(ButtonBorderColor, u"TColor"))

TVovEditButton::TVovEditButton(TComponent* AOwner) : TWinControl(AOwner)
{
    m_controlStyle.Exclude(csAcceptsControls);
    m_controlStyle.Exclude(csSetCaption);
    m_controlStyle.Include(csOpaque);
    FButton = new TLumSpeedButton(this);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState, int, int) { ButtonMouseDown(Button); };
    FButton->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int, int) { ButtonMouseUp(Button); };
    SetBounds(0, 0, 20, 25);
}

void TVovEditButton::SetFocusControl(TWinControl* v)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v && v != GetOwner())
        v->FreeNotification(this);
}

void TVovEditButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TVovEditButton::FillWithButton()
{
    if (FButton && !GetComponentState().Contains(csLoading))
        FButton->SetBounds(0, 0, GetWidth(), GetHeight());
}

void TVovEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FillWithButton();
}

void TVovEditButton::Loaded()
{
    TWinControl::Loaded();
    FillWithButton();
}

void TVovEditButton::Dispatch(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (Message.Msg == WM_SIZE)
        FillWithButton();
}

void TVovEditButton::ButtonMouseDown(TMouseButton Button)
{
    if (Button == mbLeft)
        FPressed = true;
}

void TVovEditButton::ButtonMouseUp(TMouseButton Button)
{
    if (Button != mbLeft || !FPressed)
        return;
    FPressed = false;
    if (OnClick)
        Click();
    if (FFocusControl && FFocusControl->GetTabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (GetTabStop() && !Focused() && CanFocus())
        SetFocus();
}

// ---- TVovEditBtn ----

QT_PUBLISHED(TVovEditBtn, QT_PROP(EditorEnabled), QT_PROP(RightAlign), QT_PROP(ButtonAlign), QT_PROP(ButtonWidth),
    QT_PROP(Glyph), QT_PROP(ButtonCaption), QT_EVENT(OnClickBtn))

TVovEditBtn::TVovEditBtn(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    m_controlStyle.Exclude(csSetCaption);
    FButton = new TVovEditButton(this);
    FButton->SetBounds(0, 0, 18, 18);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnClick = [this](TObject* Sender) { ClickButton(Sender); };
    SetText(u"0");
}

TVovEditBtn::~TVovEditBtn()
{
    // The button goes first, and the edit no longer reaches for it.
    TVovEditButton* button = FButton;
    FButton = nullptr;
    delete button;
}

void TVovEditBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButton)
        FButton = nullptr;
}

void TVovEditBtn::SetRightAlign(bool v)
{
    if (v == FRightAlign)
        return;
    FRightAlign = v;
    if (HandleAllocated())
        RecreateWnd();
}

void TVovEditBtn::SetButtonAlign(TButtonAlign v)
{
    FButtonAlign = v;
    PlaceButton();
}

int TVovEditBtn::GetButtonWidth() const { return FButton ? FButton->GetWidth() : 0; }

void TVovEditBtn::SetButtonWidth(int v)
{
    if (!FButton)
        return;
    FButton->SetWidth(v);
    PlaceButton();
}

void TVovEditBtn::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    if (FButton)
        FButton->GetButton()->SetIsWinXP(v);
}

TBitmap* TVovEditBtn::GetGlyph() const { return FButton ? FButton->GetGlyph() : nullptr; }

void TVovEditBtn::SetGlyph(TBitmap* v)
{
    if (FButton)
        FButton->SetGlyph(v);
}

String TVovEditBtn::GetButtonCaption() { return FButton ? FButton->GetButtonCaption() : String(); }

void TVovEditBtn::SetButtonCaption(const String& v)
{
    if (FButton)
        FButton->SetButtonCaption(v);
}

void TVovEditBtn::ClickButton(TObject* Sender)
{
    if (OnClickBtn)
        OnClickBtn(Sender);
}

bool TVovEditBtn::Validate(const String& Value, int& Pos) { return TCustomMaskEdit::Validate(Value, Pos); }

void TVovEditBtn::ValidateEdit()
{
    if (IsMasked() && GetModified()) {
        int pos = 0;
        Validate(GetEditText(), pos);
    }
}

void TVovEditBtn::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~DWORD(ES_RIGHT | ES_CENTER);
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
    if (FRightAlign)
        Params.Style |= ES_RIGHT;
}

void TVovEditBtn::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    PlaceButton();
}

int TVovEditBtn::GetMinHeight()
{
    HDC dc = GetDC(nullptr);
    TEXTMETRICW sys {}, own {};
    GetTextMetrics(dc, &sys);
    HGDIOBJ saved = SelectObject(dc, GetFont()->GetHandle());
    GetTextMetrics(dc, &own);
    SelectObject(dc, saved);
    ReleaseDC(nullptr, dc);
    return own.tmHeight + std::min(sys.tmHeight, own.tmHeight) / 4;
}

void TVovEditBtn::PlaceButton()
{
    if (!FButton)
        return;
    const int bw = FButton->GetWidth();
    if (GetCtl3D()) {
        const int e = GetBorderStyle() == bsNone ? 1 : 5;
        FButton->SetBounds(FButtonAlign == btnRight ? GetWidth() - bw - e : e, 0, bw, GetHeight() - e);
    } else {
        FButton->SetBounds(FButtonAlign == btnRight ? GetWidth() - bw : 0, 1, bw, GetHeight() - 3);
    }
    SetEditRect();
}

void TVovEditBtn::SetEditRect()
{
    if (!HandleAllocated() || !FButton)
        return;
    const int m = GetBorderStyle() == bsNone ? 3 : 1;
    const int bw = FButton->GetWidth(), cw = GetClientWidth();
    RECT loc { m, m, 0, GetClientHeight() + 1 };
    if (FButtonAlign == btnRight) {
        loc.Right = cw - (bw + FUnitSize + 5) - (FUnitSize ? 3 : 0);
    } else {
        loc.Left = bw + m;
        loc.Right = cw - FUnitSize - (FUnitSize ? 6 : 3);
    }
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&loc));
}

void TVovEditBtn::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomMaskEdit::KeyDown(Key, Shift);
    if (Key == VK_F4 && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) && GetKeyState(VK_LMENU) >= 0
        && GetKeyState(VK_RMENU) >= 0)
        ClickButton(this);
}

void TVovEditBtn::DoEnter()
{
    TCustomMaskEdit::DoEnter();
    // A click places the caret where it lands.
    if (GetAutoSelect() && !(GetKeyState(VK_LBUTTON) & 0x8000))
        SelectAll();
}

void TVovEditBtn::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CHAR:
        if (!FEditorEnabled)
            return;
        break;
    case WM_CUT:
    case WM_PASTE:
        if (!FEditorEnabled || GetReadOnly())
            return;
        break;
    case WM_SIZE: {
        TCustomMaskEdit::Dispatch(Message);
        const int least = GetMinHeight();
        if (GetHeight() < least)
            SetHeight(least);
        PlaceButton();
        return;
    }
    default:
        break;
    }
    TCustomMaskEdit::Dispatch(Message);
}

// ---- TVovUnitEditBtn ----

QT_PUBLISHED(TVovUnitEditBtn, QT_PROP(Units), QT_PROP(UnitID), QT_PROP(UnitSpace), QT_EVENT(OnUnitChanged))

TVovUnitEditBtn::TVovUnitEditBtn(TComponent* AOwner) : TVovEditBtn(AOwner), FUnits(std::make_unique<TStringList>())
{
    FUnitSize = FUnitSpace;
    SetRightAlign(true);
}

void TVovUnitEditBtn::SetUnits(TStrings* v)
{
    if (v)
        FUnits->Assign(v);
}

void TVovUnitEditBtn::SetUnitID(const String& v)
{
    FUnitID = v;
    Invalidate();
}

void TVovUnitEditBtn::SetUnitSpace(int v)
{
    FUnitSpace = v;
    FUnitSize = v;
    SetEditRect();
    Invalidate();
}

String TVovUnitEditBtn::GetTextAndUnit() { return GetText() + FUnitID; }

void TVovUnitEditBtn::SetTextAndUnit(const String& v)
{
    // The longest unit wins, so "12kg" is 12 kg even when "g" is listed too.
    int best = -1;
    for (int i = 0; i < FUnits->GetCount(); ++i) {
        const String& u = FUnits->GetStrings(i);
        if (u.empty() || u.size() > v.size() || v.compare(v.size() - u.size(), u.size(), u) != 0)
            continue;
        if (best < 0 || u.size() > FUnits->GetStrings(best).size())
            best = i;
    }
    if (best < 0)
        return;
    const String unit = FUnits->GetStrings(best);
    SetText(v.substr(0, v.size() - unit.size()));
    SetUnitID(unit);
}

void TVovUnitEditBtn::ClickButton(TObject*)
{
    TVovEditBtn::ClickButton(this);
    // Items carry their number; the choice arrives as WM_COMMAND with it.
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    for (int i = 0; i < FUnits->GetCount(); ++i) {
        auto* item = new TMenuItem(menu.get());
        item->SetCaption(FUnits->GetStrings(i));
        const WPARAM id = WPARAM(i + 1);
        item->OnClick = [this, id](TObject*) {
            if (HandleAllocated())
                SendMessage(GetHandle(), WM_COMMAND, id, 0);
        };
        menu->GetItems()->Add(item);
    }
    menu->SetPopupComponent(this);
    const TPoint at = ClientToScreen({ GetClientWidth() - 15, GetClientHeight() });
    menu->Popup(at.X, at.Y);
}

void TVovUnitEditBtn::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_COMMAND && HIWORD(Message.WParam) != EN_CHANGE) {
        const int n = LOWORD(Message.WParam);
        if (n >= 1 && n <= FUnits->GetCount()) {
            const String previous = FUnitID;
            SetUnitID(FUnits->GetStrings(n - 1));
            if (FUnitID != previous && OnUnitChanged)
                OnUnitChanged(this, FUnitID);
            return;
        }
    }
    TVovEditBtn::Dispatch(Message);
}

void TVovUnitEditBtn::PaintWindow(HDC DC)
{
    TVovEditBtn::PaintWindow(DC);
    const int cw = GetClientWidth(), bw = GetButtonWidth();
    RECT r { cw - bw - 3 - FUnitSpace, 2, cw - bw - 3, GetClientHeight() };
    HGDIOBJ savedFont = SelectObject(DC, GetFont()->GetHandle());
    const int savedMode = SetBkMode(DC, TRANSPARENT);
    const COLORREF savedColor = SetTextColor(DC, ColorToRGB(GetFont()->GetColor()));
    DrawText(DC, FUnitID.c_str(), int(FUnitID.size()), &r, DT_EDITCONTROL);
    SetTextColor(DC, savedColor);
    SetBkMode(DC, savedMode);
    SelectObject(DC, savedFont);
}

// ---- TVovSpeedButton ----

QT_PUBLISHED(TVovSpeedButton, QT_PROP(Picture), QT_PROP(Images), QT_PROP(ImageIndex))

TVovSpeedButton::TVovSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner), FPicture(std::make_unique<TPicture>()) { }

TVovSpeedButton::~TVovSpeedButton() = default;

void TVovSpeedButton::SetPicture(TPicture* v)
{
    FPicture->Assign(v);
    Invalidate();
}

void TVovSpeedButton::SetImages(TCustomImageList* v)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v)
        v->FreeNotification(this);
}

void TVovSpeedButton::SetImageIndex(int v)
{
    if (v == FImageIndex)
        return;
    FImageIndex = v;
    Invalidate();
}

void TVovSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TSpeedButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TVovSpeedButton::Paint()
{
    TSpeedButton::Paint();
    TCanvas* canvas = GetCanvas();
    if (FImages && FImageIndex >= 0 && FImageIndex < FImages->GetCount())
        FImages->Draw(canvas, (GetWidth() - FImages->GetWidth()) / 2, (GetHeight() - FImages->GetHeight()) / 2, FImageIndex);
    if (TGraphic* g = FPicture->GetGraphic(); g && !g->GetEmpty())
        canvas->Draw((GetWidth() - g->GetWidth()) / 2, (GetHeight() - g->GetHeight()) / 2, g);
}
