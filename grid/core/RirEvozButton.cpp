#include "grid/core/RirEvozButton.h"

#include <algorithm>

#include "grid/core/GridPlatform.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

namespace {

// The framework message after which a button adapts to the colour scheme again.
constexpr UINT CM_THEMEADAPT = 0xB035;
// The drop-down part at the right edge.
constexpr int DropDownZone = 12;
constexpr int GradientSteps = 16;

// The colours one preset of Look sets.
struct TLookPreset {
    TColor Color, ColorTo, ColorHot, ColorHotTo, ColorDown, ColorDownTo, ColorChecked, ColorCheckedTo, BorderDown,
        BorderHot;
};

const TLookPreset LookPresets[7] = {
    { TColor(0xEDF1F1), TColor(0xDFEBEB), TColor(0xFAFCFC), TColor(0xE5ECED), TColor(0xE0E6E7), TColor(0xD8E0E1),
        TColor(0xFFFFFF), clNone, TColor(0xAF987A), TColor(0xC3CECE) },
    { clBtnFace, clNone, TColor(0xEED2C1), clNone, TColor(0xE2B598), clNone, TColor(0xE8E6E1), clNone,
        TColor(0xC56A31), TColor(0xC56A31) },
    { TColor(0xFDEADA), TColor(0xE4AE88), TColor(0xCCF4FF), TColor(0x91D0FF), TColor(0x4E91FE), TColor(0x8ED3FF),
        TColor(0x8ED3FF), TColor(0x55ADFF), TColor(0x000000), TColor(0x000000) },
    { TColor(0xCFF0EA), TColor(0x8CC0B1), TColor(0xCCF4FF), TColor(0x91D0FF), TColor(0x4E91FE), TColor(0x8ED3FF),
        TColor(0x8ED3FF), TColor(0x55ADFF), TColor(0x000000), TColor(0x000000) },
    { TColor(0xECE2E1), TColor(0xB39698), TColor(0xCCF4FF), TColor(0x91D0FF), TColor(0x4E91FE), TColor(0x8ED3FF),
        TColor(0x8ED3FF), TColor(0x55ADFF), TColor(0x000000), TColor(0x000000) },
    { clBtnFace, clNone, clBtnFace, clNone, TColor(0xD8D3D2), clNone, TColor(0xCAC7C7), clNone, clNone, clNone },
    { TColor(0xCAFFFF), TColor(0xA6FFFF), TColor(0xA8F0FD), TColor(0x7CE9FC), TColor(0x4DE0FB), TColor(0x7AE9FC),
        TColor(0xB5E6F2), TColor(0x9CDDED), TColor(0x808080), TColor(0x808080) },
};

Byte Channel(TColor c, int shift) { return Byte((std::uint32_t(c) >> shift) & 0xFF); }

// A copy of the glyph in which every pixel is grey: the channel mean,
// halved and lifted into the light half.
void MakeGreyGlyph(TBitmap& Glyph, TBitmap& Grey)
{
    Grey.Assign(&Glyph);
    TCanvas* c = Grey.GetCanvas();
    for (int y = 0; y < Grey.GetHeight(); ++y)
        for (int x = 0; x < Grey.GetWidth(); ++x) {
            const TColor p = c->GetPixel(x, y);
            const int mean = int(Round((Channel(p, 0) + Channel(p, 8) + Channel(p, 16)) / 3.0));
            const int g = mean / 2 + 96;
            c->SetPixel(x, y, TColor(g | (g << 8) | (g << 16)));
        }
}

void DrawGlyphTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Glyph)
{
    TBitmap piece;
    piece.Assign(Glyph);
    piece.SetTransparentColor(Glyph->GetTransparentColor());
    piece.SetTransparent(true);
    Canvas->Draw(X, Y, &piece);
}

} // namespace

QT_PUBLISHED(TRirEvozButton, QT_PROP(AllowAllUp), QT_PROP(AutoThemeAdapt), QT_PROP(AutoXPStyle),
    QT_PROP_T(BorderColor, u"TColor"), QT_PROP_T(BorderDownColor, u"TColor"), QT_PROP_T(BorderHotColor, u"TColor"),
    QT_PROP_T(Color, u"TColor"), QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(ColorHot, u"TColor"),
    QT_PROP_T(ColorHotTo, u"TColor"), QT_PROP_T(ColorDown, u"TColor"), QT_PROP_T(ColorDownTo, u"TColor"),
    QT_PROP_T(ColorChecked, u"TColor"), QT_PROP_T(ColorCheckedTo, u"TColor"), QT_PROP(Down), QT_PROP(DropDownButton),
    QT_PROP(DropDownMenu), QT_PROP(Flat), QT_PROP(Glyph), QT_PROP(GlyphHot), QT_PROP(GlyphDown), QT_PROP(GlyphDisabled),
    QT_PROP(GroupIndex), QT_PROP(Layout), QT_PROP(Margin), QT_PROP(Rounded), QT_PROP(Shaded), QT_PROP(ShowCaption),
    QT_PROP(Spacing), QT_PROP(Style), QT_EVENT(OnDropDown))

TRirEvozButton::TRirEvozButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()), FGlyphHot(std::make_unique<TBitmap>()),
      FGlyphDown(std::make_unique<TBitmap>()), FGlyphDisabled(std::make_unique<TBitmap>()),
      FGlyphShade(std::make_unique<TBitmap>())
{
    // Clicks come from MouseUp, after a grouped button has changed.
    m_controlStyle = { csCaptureMouse, csDoubleClicks };
    FIsComCtl6 = GridPlatform::ComCtl32MajorVersion > 5;
    SetBounds(0, 0, 22, 23);
}

TRirEvozButton::~TRirEvozButton()
{
    SetDropDownMenu(nullptr);
}

void TRirEvozButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
}

void TRirEvozButton::Loaded()
{
    TGraphicControl::Loaded();
    if (FShaded)
        BuildShade();
    if (FAutoThemeAdapt)
        ThemeAdapt();
}

void TRirEvozButton::Click() { TGraphicControl::Click(); }

// ---- properties ----

void TRirEvozButton::SetAllowAllUp(bool v)
{
    if (v == FAllowAllUp)
        return;
    FAllowAllUp = v;
    UpdateExclusive();
}

void TRirEvozButton::SetAutoThemeAdapt(bool v)
{
    FAutoThemeAdapt = v;
    if (v)
        ThemeAdapt();
}

void TRirEvozButton::SetBorderColor(TColor v)
{
    FBorderColor = v;
    Invalidate();
}

void TRirEvozButton::SetColor(TColor v)
{
    FColor = v;
    Invalidate();
}

void TRirEvozButton::SetColorTo(TColor v)
{
    FColorTo = v;
    Invalidate();
}

void TRirEvozButton::SetColorChecked(TColor v)
{
    FColorChecked = v;
    Invalidate();
}

void TRirEvozButton::SetColorCheckedTo(TColor v)
{
    FColorCheckedTo = v;
    Invalidate();
}

void TRirEvozButton::SetDropDownButton(bool v)
{
    FDropDownButton = v;
    Invalidate();
}

void TRirEvozButton::SetDropDownMenu(TPopupMenu* v)
{
    if (v == FDropDownMenu)
        return;
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = v;
    if (FDropDownMenu)
        FDropDownMenu->FreeNotification(this);
}

void TRirEvozButton::SetFlat(bool v)
{
    if (v == FFlat)
        return;
    FFlat = v;
    Invalidate();
}

void TRirEvozButton::SetGlyph(TBitmap* v)
{
    FGlyph->Assign(v);
    if (FGlyphDisabled->GetEmpty() && !FGlyph->GetEmpty())
        MakeGreyGlyph(*FGlyph, *FGlyphDisabled);
    // A shade made for the old glyph would show under the new one.
    if (FShaded && !GetComponentState().Contains(csLoading))
        BuildShade();
    Invalidate();
}

void TRirEvozButton::SetGroupIndex(int v)
{
    if (v == FGroupIndex)
        return;
    FGroupIndex = v;
    UpdateExclusive();
}

void TRirEvozButton::SetLayout(TButtonLayout v)
{
    if (v == FLayout)
        return;
    FLayout = v;
    Invalidate();
}

void TRirEvozButton::SetMargin(int v)
{
    if (v == FMargin || v < -1)
        return;
    FMargin = v;
    Invalidate();
}

void TRirEvozButton::SetRounded(bool v)
{
    FRounded = v;
    Invalidate();
}

void TRirEvozButton::SetShaded(bool v)
{
    FShaded = v;
    if (v && !GetComponentState().Contains(csLoading))
        BuildShade();
}

void TRirEvozButton::SetShowCaption(bool v)
{
    if (v == FShowCaption)
        return;
    FShowCaption = v;
    Invalidate();
}

void TRirEvozButton::SetSpacing(int v)
{
    if (v == FSpacing)
        return;
    FSpacing = v;
    Invalidate();
}

void TRirEvozButton::SetStyle(TRirEvozButtonStyle v)
{
    FStyle = v;
    Invalidate();
}

void TRirEvozButton::SetLook(int v)
{
    if (v < 0 || v > 6)
        return;
    const TLookPreset& p = LookPresets[v];
    FColor = p.Color;
    FColorTo = p.ColorTo;
    FColorHot = p.ColorHot;
    FColorHotTo = p.ColorHotTo;
    FColorDown = p.ColorDown;
    FColorDownTo = p.ColorDownTo;
    FColorChecked = p.ColorChecked;
    FColorCheckedTo = p.ColorCheckedTo;
    FBorderDownColor = p.BorderDown;
    FBorderHotColor = p.BorderHot;
    FBorderColor = clNone;
    FFlat = true;
    FRounded = v == 0;
    FLook = v;
    Invalidate();
}

void TRirEvozButton::SetDown(bool v)
{
    if (FStyle == tasCheck) {
        FDown = v;
        Invalidate();
        return;
    }
    if (FGroupIndex == 0)
        v = false;
    if (v == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return;
    FDown = v;
    if (v) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
        Invalidate();
    }
}

void TRirEvozButton::UpdateExclusive()
{
    if (!GetParent())
        return;
    TMessage msg { CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(static_cast<TObject*>(this)), 0 };
    GetParent()->Broadcast(msg);
}

// The desktop's colour scheme picks the preset: blue, olive, silver, or the
// plain one when no visual style is in use.
void TRirEvozButton::ThemeAdapt()
{
    int look = 1;
    if (GridPlatform::WindowsAbove(5, 0) && IsThemeActive()) {
        Char file[260] {}, color[260] {}, size[260] {};
        if (SUCCEEDED(GetCurrentThemeName(file, 260, color, 260, size, 260))) {
            const String name(color);
            if (name == u"NormalColor")
                look = 2;
            else if (name == u"HomeStead")
                look = 3;
            else if (name == u"Metallic")
                look = 4;
        }
    }
    SetLook(look);
}

void TRirEvozButton::BuildShade()
{
    if (FGlyph->GetEmpty()) {
        FGlyphShade->SetSize(0, 0);
        return;
    }
    const int w = FGlyph->GetWidth(), h = FGlyph->GetHeight();
    FGlyphShade->SetSize(w, h);
    TCanvas* src = FGlyph->GetCanvas();
    TCanvas* dst = FGlyphShade->GetCanvas();
    const TColor transparent = TColor(src->GetPixel(0, h - 1) & 0xFFFFFF);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dst->SetPixel(x, y, TColor(src->GetPixel(x, y) & 0xFFFFFF) == transparent ? transparent : TColor(0x808080));
}

// ---- messages and mouse ----

void TRirEvozButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED: {
        auto* sender = dynamic_cast<TRirEvozButton*>(reinterpret_cast<TObject*>(Message.LParam));
        if (sender && sender != this && int(Message.WParam) == FGroupIndex) {
            if (sender->FDown && FDown) {
                FDown = false;
                FState = bsUp;
                Invalidate();
            }
            FAllowAllUp = sender->FAllowAllUp;
        }
        return;
    }
    case WM_LBUTTONDBLCLK:
        Message.Msg = WM_LBUTTONDOWN;
        TGraphicControl::Dispatch(Message);
        Message.Msg = WM_LBUTTONDBLCLK;
        if (FDown)
            DblClick();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(WORD(Message.WParam), GetCaption()) && IsEnabledInChain() && GetVisible() && GetParent()
            && GetParent()->IsShowing()) {
            Click();
            Message.Result = 1;
            return;
        }
        TGraphicControl::Dispatch(Message);
        return;
    case CM_ENABLEDCHANGED:
        TGraphicControl::Dispatch(Message);
        UpdateTracking();
        Invalidate();
        return;
    case CM_FONTCHANGED: case CM_TEXTCHANGED: case CM_SYSCOLORCHANGE:
        TGraphicControl::Dispatch(Message);
        Invalidate();
        return;
    case WM_THEMECHANGED: case CM_THEMEADAPT:
        TGraphicControl::Dispatch(Message);
        if (FAutoThemeAdapt)
            ThemeAdapt();
        return;
    default:
        TGraphicControl::Dispatch(Message);
    }
}

void TRirEvozButton::UpdateTracking()
{
    if (!FFlat || !GetEnabled() || !GetParent())
        return;
    POINT p;
    if (!GetCursorPos(p))
        return;
    const bool over = FindDragTarget(TPoint(p), true) == this;
    if (over != FMouseInControl)
        Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

void TRirEvozButton::MouseEnter()
{
    const bool autoDragged = GetDragMode() == dmAutomatic && Dragging();
    if (GetEnabled() && !autoDragged && !GetCapture()) {
        FMouseInControl = true;
        Invalidate();
    }
    TGraphicControl::MouseEnter();
}

void TRirEvozButton::MouseLeave()
{
    if (GetEnabled() && !FDragging) {
        FMouseInControl = false;
        Invalidate();
    }
    TGraphicControl::MouseLeave();
}

void TRirEvozButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !GetEnabled())
        return;
    if (FDropDownButton && X >= GetWidth() - DropDownZone) {
        FState = bsUp;
        if (OnDropDown)
            OnDropDown(this);
        if (FDropDownMenu) {
            const TPoint at = ClientToScreen({ 0, GetHeight() });
            FDropDownMenu->Popup(at.X, at.Y);
        }
        return;
    }
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TRirEvozButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) {
        UpdateTracking();
        return;
    }
    const bool inside = X >= 0 && X < GetClientWidth() && Y >= 0 && Y < GetClientHeight();
    TButtonState next = FDown ? bsExclusive : (inside ? bsDown : bsUp);
    if (FStyle == tasCheck && FDown)
        next = bsDown;
    if (next != FState) {
        FState = next;
        Invalidate();
    }
}

void TRirEvozButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    const bool inside = X >= 0 && X < GetClientWidth() && Y >= 0 && Y < GetClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        if (FStyle == tasCheck && inside)
            SetDown(!FDown);
    } else if (inside) {
        SetDown(!FDown);
        if (FDown && FStyle != tasCheck)
            FState = bsExclusive;
    } else if (FDown) {
        FState = bsExclusive;
    }
    if (FStyle == tasCheck && !FDown)
        FState = bsUp;
    Invalidate();
    if (inside)
        Click();
    UpdateTracking();
}

// ---- painting ----

void TRirEvozButton::DrawGradient(TColor From, TColor To, TColor Border, const TRect& R)
{
    TCanvas* c = GetCanvas();
    const TColor from = ColorToRGB(From), to = ColorToRGB(To);
    const int h = R.Height();
    for (int i = 0; i < GradientSteps; ++i) {
        int rgb[3];
        for (int k = 0; k < 3; ++k) {
            const int a = Channel(from, k * 8), b = Channel(to, k * 8);
            rgb[k] = std::clamp(a + int(Round(double(i) * (b - a) / GradientSteps)), 0, 255);
        }
        const TColor band = TColor(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16));
        const int top = R.Top + int(Round(double(i) * h / GradientSteps));
        const int bottom = top + int(Round(double(h) / GradientSteps)) + 1;
        c->GetPen()->SetColor(band);
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(band);
        c->Rectangle(R.Left, top, R.Right, std::min(bottom, R.Bottom));
    }
    if (Border != clNone) {
        c->GetPen()->SetColor(Border);
        c->GetBrush()->SetStyle(bsClear);
        c->Rectangle(R);
    }
}

TRect TRirEvozButton::PaintFlatBackground(TButtonState State, bool Hot)
{
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    if (FBorderDownColor == clNone || FRounded)
        r.Inflate(-1, -1);
    c->GetBrush()->SetStyle(bsSolid);
    if (!Hot) {
        if (FDown && FStyle == tasCheck) {
            if (FColorCheckedTo != clNone) {
                DrawGradient(FColorChecked, FColorCheckedTo, FBorderDownColor, r);
            } else {
                c->GetPen()->SetColor(FBorderDownColor == clNone ? FColorChecked : FBorderDownColor);
                c->GetBrush()->SetColor(FColorChecked);
                c->Rectangle(r);
            }
        } else if (FColorTo == clNone) {
            c->GetBrush()->SetColor(FColor);
            c->FillRect(r);
        } else {
            DrawGradient(FColor, FColorTo, FRounded ? clNone : (FDown ? FBorderDownColor : FBorderColor), r);
        }
        if (FBorderColor != clNone) {
            c->GetPen()->SetColor(FBorderColor);
            c->GetBrush()->SetStyle(bsClear);
            if (FRounded)
                c->RoundRect(TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1), 8, 8);
            else
                c->Rectangle(r);
        }
    } else {
        TColor color = FColorHot, colorTo = FColorHotTo, border = FBorderHotColor;
        if (State == bsDown) {
            color = FColorDown;
            colorTo = FColorDownTo;
            border = FBorderDownColor;
        } else if (FDown && FStyle == tasCheck) {
            color = FColorChecked;
            colorTo = FColorCheckedTo;
            border = FBorderDownColor;
        }
        if (colorTo == clNone) {
            c->GetPen()->SetColor(border == clNone || FRounded ? color : border);
            c->GetBrush()->SetColor(color);
            c->Rectangle(r);
        } else {
            DrawGradient(color, colorTo, FRounded ? clNone : border, r);
        }
        if (FRounded && border != clNone) {
            c->GetPen()->SetColor(border);
            c->GetBrush()->SetStyle(bsClear);
            c->RoundRect(TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1), 8, 8);
        }
        if (FDropDownButton && border != clNone) {
            c->GetPen()->SetColor(border);
            c->MoveTo(r.Right - DropDownZone, r.Top);
            c->LineTo(r.Right - DropDownZone, r.Bottom);
        }
    }
    r.Inflate(-1, -1);
    return r;
}

TRect TRirEvozButton::PaintButtonFrame(TButtonState State, bool Hot, TColor& TextColor)
{
    TCanvas* c = GetCanvas();
    HDC dc = c->GetHandle();
    const TRect client = GetClientRect();
    const bool enabled = GetEnabled();
    const bool pushed = State == bsDown || State == bsExclusive;
    if (IsVCLStyleActive(StyleServices())) {
        TCustomStyleServices* s = StyleServices();
        const TThemedButton part = !enabled ? tbPushButtonDisabled
            : pushed                        ? tbPushButtonPressed
            : Hot                           ? tbPushButtonHot
                                            : tbPushButtonNormal;
        const TThemedElementDetails details = s->GetElementDetails(part);
        s->DrawElement(dc, details, client);
        s->GetElementColor(details, ecTextColor, TextColor);
    } else if (HTHEME theme = FAutoXPStyle && FIsComCtl6 && GridPlatform::WindowsAbove(5, 0) && IsThemeActive()
                   ? OpenThemeData(GetParent() ? GetParent()->GetHandle() : nullptr, u"button")
                   : nullptr) {
        RECT rc = client;
        DrawThemeBackground(theme, dc, 1, pushed ? 3 : Hot ? 2 : 1, &rc, nullptr);
        CloseThemeData(theme);
    } else {
        RECT rc = client;
        DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? UINT(DFCS_PUSHED) : 0u));
        c->Refresh();
    }
    TRect content = client;
    content.Inflate(-2, -2);
    return content;
}

void TRirEvozButton::Paint()
{
    const bool enabled = GetEnabled();
    if (!enabled) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TButtonState state = FState;
    if (FStyle == tasCheck && FDown)
        state = bsDown;
    const bool hot = FMouseInControl && enabled && !Designing();
    TColor textColor = GetFont()->GetColor();
    const TRect content = FFlat ? PaintFlatBackground(state, hot) : PaintButtonFrame(state, hot, textColor);
    PaintContent(content, state, hot, textColor);
}

void TRirEvozButton::PaintContent(TRect Content, TButtonState State, bool Hot, TColor TextColor)
{
    TCanvas* c = GetCanvas();
    const bool enabled = GetEnabled();
    TPoint offset { 0, 0 };
    if (State == bsDown || State == bsExclusive) {
        if (State == bsExclusive && (!FFlat || !Hot)) {
            const TRect fill(Content.Left - 1, Content.Top - 1, Content.Right + 1, Content.Bottom + 1);
            if (FColorCheckedTo != clNone) {
                DrawGradient(FColorChecked, FColorCheckedTo, clNone, fill);
            } else {
                c->GetBrush()->SetStyle(bsSolid);
                c->GetBrush()->SetColor(FColorChecked);
                c->FillRect(fill);
            }
        }
        if (!FFlat && !Designing())
            offset = { 1, 1 };
    }
    if (FFlat && Hot && enabled && FShaded && State != bsDown)
        offset = { -1, -1 };

    if (FDropDownButton) {
        const int m = Content.Top + Content.Height() / 2 - 1;
        c->GetPen()->SetColor(GetFont()->GetColor());
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(GetFont()->GetColor());
        c->Polygon({ { Content.Right - 8, m }, { Content.Right - 4, m }, { Content.Right - 6, m + 2 } });
        Content.Right -= DropDownZone;
    }

    // The glyph for the state; a grouped down button shows its down look.
    const TButtonState layoutState = FDown && FGroupIndex != 0 ? bsDown : State;
    const bool pressed = layoutState == bsDown || layoutState == bsExclusive;
    TBitmap* glyph = nullptr;
    if (!enabled)
        glyph = FGlyphDisabled.get();
    else if (Hot)
        glyph = pressed ? FGlyphDown.get() : Designing() ? nullptr : FGlyphHot.get();
    else if (pressed)
        glyph = FGlyphDown.get();
    if (!glyph || glyph->GetEmpty())
        glyph = FGlyph.get();
    if (FGlyph->GetEmpty())
        glyph = nullptr;

    const String caption = FShowCaption ? GetCaption() : String();
    TSize textSize {};
    if (!caption.empty()) {
        c->GetFont()->Assign(GetFont());
        TRect calc(0, 0, GetClientWidth(), 0);
        String text = caption;
        c->TextRect(calc, text, { tfCalcRect, tfSingleLine });
        textSize = { calc.Width(), calc.Height() };
    }
    const TSize glyphSize = glyph ? TSize { glyph->GetWidth(), glyph->GetHeight() } : TSize {};
    TPoint glyphPos, textPos;
    CalcLayout(Content, glyphSize, textSize, glyphPos, textPos);
    glyphPos.X += Content.Left + offset.X;
    glyphPos.Y += Content.Top + offset.Y;
    textPos.X += Content.Left + offset.X;
    textPos.Y += Content.Top + offset.Y;

    if (glyph) {
        if (Hot && FShaded && enabled && layoutState != bsDown && !FGlyphShade->GetEmpty()) {
            const int shift = caption.empty() ? 0 : 2;
            DrawGlyphTransparent(c, glyphPos.X + shift, glyphPos.Y + shift, FGlyphShade.get());
        }
        DrawGlyphTransparent(c, glyphPos.X, glyphPos.Y, glyph);
    }
    if (caption.empty())
        return;
    c->GetFont()->Assign(GetFont());
    c->GetBrush()->SetStyle(bsClear);
    TRect r(textPos.X, textPos.Y, textPos.X + textSize.cx, textPos.Y + textSize.cy);
    if (FFlat && Hot && FShaded && enabled && !Designing() && !pressed)
        r.Offset(1, 1);
    const TTextFormat format { tfCenter, tfVerticalCenter, tfSingleLine };
    if (!enabled && !IsVCLStyleActive(StyleServices())) {
        TRect lit = r;
        lit.Offset(1, 1);
        String text = caption;
        c->GetFont()->SetColor(clBtnHighlight);
        c->TextRect(lit, text, format);
        TextColor = clBtnShadow;
    }
    String text = caption;
    c->GetFont()->SetColor(TextColor);
    c->TextRect(r, text, format);
}

void TRirEvozButton::CalcLayout(const TRect& Client, TSize Glyph, TSize Text, TPoint& GlyphPos, TPoint& TextPos) const
{
    TButtonLayout layout = FLayout;
    // Right-to-left reading swaps the sides.
    if (UseRightToLeftAlignment()) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const int w = Client.Width(), h = Client.Height();
    GlyphPos = { (w - Glyph.cx) / 2, (h - Glyph.cy) / 2 };
    TextPos = { (w - Text.cx) / 2, (h - Text.cy) / 2 };
    // Without a caption the glyph stays centred.
    if (Text.cx == 0)
        return;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int avail = horizontal ? w : h;
    const int g = horizontal ? Glyph.cx : Glyph.cy;
    const int t = horizontal ? Text.cx : Text.cy;
    int margin = FMargin;
    int spacing = Glyph.cx == 0 ? 0 : FSpacing;
    if (margin == -1) {
        if (spacing == -1)
            margin = spacing = (avail - g - t) / 3;
        else
            margin = (avail - g - spacing - t) / 2;
    } else if (spacing == -1) {
        spacing = (avail - margin - g - t) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        GlyphPos.X = margin;
        TextPos.X = margin + g + spacing;
        break;
    case blGlyphRight:
        GlyphPos.X = w - margin - g;
        TextPos.X = GlyphPos.X - spacing - t;
        break;
    case blGlyphTop:
        GlyphPos.Y = margin;
        TextPos.Y = margin + g + spacing;
        break;
    case blGlyphBottom:
        GlyphPos.Y = h - margin - g;
        TextPos.Y = GlyphPos.Y - spacing - t;
        break;
    }
}
