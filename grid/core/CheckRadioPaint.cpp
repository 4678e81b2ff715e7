#include "grid/core/CheckRadioPaint.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Themes.h"

namespace RirEvoz {

namespace {

// Parts and states of the visual style's "button" class.
enum : int { BP_RADIOBUTTON = 2, BP_CHECKBOX = 3 };
enum : int { RBS_UNCHECKEDNORMAL = 1, RBS_UNCHECKEDDISABLED = 4, RBS_CHECKEDNORMAL = 5, RBS_CHECKEDDISABLED = 8 };
enum : int {
    CBS_UNCHECKEDNORMAL = 1, CBS_UNCHECKEDDISABLED = 4, CBS_CHECKEDNORMAL = 5, CBS_CHECKEDDISABLED = 8,
    CBS_MIXEDNORMAL = 9, CBS_MIXEDDISABLED = 12
};

// The bitmap looks' glyphs, loaded once each; a missing one stays empty.
TBitmap* ResourceGlyph(const String& Name)
{
    static std::map<String, std::unique_ptr<TBitmap>> cache;
    auto& slot = cache[Name];
    if (!slot) {
        slot = std::make_unique<TBitmap>();
        try {
            slot->LoadFromResourceName(nullptr, Name);
        } catch (const std::exception&) {
            slot->SetSize(0, 0);
        }
    }
    return slot.get();
}

// 1-based within the look: checked and unchecked enabled, then disabled.
String GlyphName(const char16_t* Prefix, TControlStyle Style, bool Checked, bool Enabled)
{
    int n = (Style == csZID ? 1 : 5) + (Checked ? 0 : 1) + (Enabled ? 0 : 2);
    String name = Prefix;
    name += char16_t(u'0' + n / 10);
    name += char16_t(u'0' + n % 10);
    return name;
}

void DrawTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Glyph)
{
    if (!Glyph || Glyph->GetEmpty())
        return;
    TBitmap piece;
    piece.Assign(Glyph);
    piece.SetTransparent(true);
    Canvas->Draw(X, Y, &piece);
}

bool ThemesUsable(const TCheckRadioContext& C) { return C.IsWinXP && C.IsComCtl6; }

void DrawThemedPart(TCanvas* Canvas, const TCheckRadioContext& C, int Part, int State, int X, int Y)
{
    HTHEME theme = OpenThemeData(C.Window, u"button");
    if (!theme)
        return;
    SIZE size { 13, 13 };
    GetThemePartSize(theme, Canvas->GetHandle(), Part, State, nullptr, TS_DRAW, &size);
    RECT r = TRect(X, Y, X + size.cx, Y + size.cy);
    DrawThemeBackground(theme, Canvas->GetHandle(), Part, State, &r, nullptr);
    CloseThemeData(theme);
    Canvas->Refresh();
}

void DrawKestrelBox(TCanvas* Canvas, const TControlLook& Look, TRect R, bool Checked, bool Enabled)
{
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Enabled ? clBtnFace : clBtnShadow);
    Canvas->GetPen()->SetColor(clBtnFace);
    Canvas->GetPen()->SetWidth(1);
    Canvas->Rectangle(R);
    Canvas->GetPen()->SetColor(clBtnHighlight);
    Canvas->MoveTo(R.Left, R.Bottom - 1);
    Canvas->LineTo(R.Left, R.Top);
    Canvas->LineTo(R.Right, R.Top);
    Canvas->GetPen()->SetColor(clBtnShadow);
    Canvas->MoveTo(R.Right - 1, R.Top);
    Canvas->LineTo(R.Right - 1, R.Bottom - 1);
    Canvas->LineTo(R.Left - 1, R.Bottom - 1);
    if (!Checked)
        return;
    Canvas->GetPen()->SetColor(Enabled ? Look.GetColor() : TColor(0x808080));
    R.Offset(0, -1);
    const int half = Look.GetCheckSize() / 2;
    Canvas->MoveTo(R.Left + 2, R.Top + 1 + half);
    Canvas->LineTo(R.Left + 2, R.Bottom - 1);
    Canvas->MoveTo(R.Left + 3, R.Top + half);
    Canvas->LineTo(R.Left + 3, R.Bottom - 2);
    Canvas->MoveTo(R.Left + 2, R.Bottom - 1);
    Canvas->LineTo(R.Right - 2, R.Top + 3);
    Canvas->MoveTo(R.Left + 3, R.Bottom - 1);
    Canvas->LineTo(R.Right - 1, R.Top + 3);
}

void DrawKestrelRadio(TCanvas* Canvas, const TControlLook& Look, int L, int T, bool Checked)
{
    const TColor brush = Canvas->GetBrush()->GetColor();
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(clBtnFace);
    Canvas->GetPen()->SetColor(clBtnFace);
    Canvas->Polygon({ { L + 2, T + 8 }, { L + 8, T + 2 }, { L + 14, T + 8 }, { L + 8, T + 14 } });
    // Light from the upper left when up, from the lower right when pressed in.
    Canvas->GetPen()->SetColor(Checked ? TColor(0x808080) : TColor(0xFFFFFF));
    Canvas->MoveTo(L + 2, T + 8);
    Canvas->LineTo(L + 8, T + 2);
    Canvas->LineTo(L + 14, T + 8);
    Canvas->GetPen()->SetColor(Checked ? TColor(0xFFFFFF) : TColor(0x808080));
    Canvas->MoveTo(L + 14, T + 8);
    Canvas->LineTo(L + 8, T + 14);
    Canvas->LineTo(L + 2, T + 8);
    if (Checked) {
        Canvas->GetBrush()->SetColor(Look.GetColor());
        Canvas->GetPen()->SetColor(Look.GetColor());
        Canvas->Polygon({ { L + 6, T + 8 }, { L + 8, T + 6 }, { L + 10, T + 8 }, { L + 8, T + 10 } });
    }
    Canvas->GetBrush()->SetColor(brush);
}

} // namespace

void DrawCellCheckBox(TCanvas* Canvas, const TCheckRadioContext& C, TRect Rect, bool Checked, TCheckBoxState State,
    bool TriState, TControlStyle Style, bool Grayed, bool Enabled)
{
    if (!C.Look)
        return;
    const TControlLook& look = *C.Look;
    if (look.GetNoDisabledCheckRadioLook() || look.GetCheckAlwaysActive())
        Enabled = true;
    if (Style == csTheme && !ThemesUsable(C))
        Style = csClassic;
    if (TriState) {
        Checked = State == cbChecked;
        Grayed = State == cbGrayed;
    }
    if (C.UseVCLStyles && Style != csGlyph) {
        TCustomStyleServices* s = StyleServices();
        const TThemedButton part = Checked ? (Enabled ? tbCheckBoxCheckedNormal : tbCheckBoxCheckedDisabled)
                                           : (Enabled ? tbCheckBoxUncheckedNormal : tbCheckBoxUncheckedDisabled);
        const TThemedElementDetails details = s->GetElementDetails(part);
        s->DrawElement(Canvas->GetHandle(), details, Rect);
        TColor text = Canvas->GetFont()->GetColor();
        if (s->GetElementColor(details, ecTextColor, text))
            Canvas->GetFont()->SetColor(text);
        Canvas->Refresh();
        return;
    }
    if (C.RightToLeft) {
        if (C.NoRTLOrientation)
            Rect = TRect(Rect.Left - C.XYOffset.X, Rect.Top, Rect.Right + C.XYOffset.X, Rect.Bottom);
        else
            Rect = TRect(C.ClientWidth - Rect.Right, Rect.Top, C.ClientWidth - Rect.Left, Rect.Bottom);
    }
    switch (Style) {
    case csWinXP: case csZID:
        DrawTransparent(Canvas, Rect.Left, Rect.Top, ResourceGlyph(GlyphName(u"DOUCHK", Style, Checked, Enabled)));
        break;
    case csKestrel:
        DrawKestrelBox(Canvas, look, Rect, Checked, Enabled);
        break;
    case csGlyph: {
        TBitmap* glyph = nullptr;
        if (Grayed && TriState && !look.GetGrayedGlyph()->GetEmpty())
            glyph = look.GetGrayedGlyph();
        else
            glyph = Checked ? look.GetCheckedGlyph() : look.GetUnCheckedGlyph();
        DrawTransparent(Canvas, Rect.Left, Rect.Top, glyph);
        break;
    }
    case csTheme: {
        const int state = Grayed ? (Enabled ? CBS_MIXEDNORMAL : CBS_MIXEDDISABLED)
            : Checked            ? (Enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                                 : (Enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED);
        DrawThemedPart(Canvas, C, BP_CHECKBOX, state, Rect.Left, Rect.Top);
        break;
    }
    default: {
        const int size = int(RoundHalfEven(look.GetCheckSize() * C.DPIScale));
        const int x = Rect.Left + (Rect.Width() - size) / 2, y = Rect.Top + (Rect.Height() - size) / 2;
        RECT r = TRect(x, y, x + size, y + size);
        UINT flags = DFCS_BUTTONCHECK;
        if (Checked)
            flags |= DFCS_CHECKED;
        if (Grayed)
            flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (Style == csFlat)
            flags |= DFCS_FLAT;
        if (!Enabled)
            flags |= DFCS_INACTIVE;
        DrawFrameControl(Canvas->GetHandle(), &r, DFC_BUTTON, flags);
        Canvas->Refresh();
        break;
    }
    }
}

void DrawCellRadio(TCanvas* Canvas, const TCheckRadioContext& C, TRect Rect, bool Upward, double Scale,
    TControlStyle Style, bool Selected, TStrings* Items, bool Disabled, bool Horizontal, int CheckedIndex, int Count,
    const String& CellText)
{
    if (!C.Look || Count <= 0)
        return;
    const TControlLook& look = *C.Look;
    if (look.GetNoDisabledCheckRadioLook() || look.GetRadioAlwaysActive())
        Disabled = false;
    if (Style == csTheme && !ThemesUsable(C))
        Style = csClassic;
    const int step = Upward ? -1 : 1;
    const bool small = Style <= csFlat;
    const int itemSize = small ? look.GetRadioSize() : 16;
    const bool bitmapLook = Style == csWinXP || Style == csZID || Style == csGlyph || Style == csTheme;
    const TBrushStyle oldBrush = Canvas->GetBrush()->GetStyle();
    Canvas->GetBrush()->SetStyle(bsClear);
    SetBkMode(Canvas->GetHandle(), TRANSPARENT);
    if (Selected && C.SelectionShown)
        Canvas->GetFont()->SetColor(C.SelectionTextColor);
    const int lineHeight = std::max(itemSize, Canvas->TextHeight(u"gh"));
    const bool anyCaptions = Items && Items->GetCount() > 0;

    auto drawItem = [&](int x, int y, bool checked) {
        switch (Style) {
        case csKestrel:
            DrawKestrelRadio(Canvas, look, x, y, checked);
            break;
        case csWinXP: case csZID:
            DrawTransparent(Canvas, x, y, ResourceGlyph(GlyphName(u"DOURAD", Style, checked, !Disabled)));
            break;
        case csGlyph:
            DrawTransparent(Canvas, x, y, checked ? look.GetRadioOnGlyph() : look.GetRadioOffGlyph());
            break;
        case csTheme: {
            const int state = checked ? (Disabled ? RBS_CHECKEDDISABLED : RBS_CHECKEDNORMAL)
                                      : (Disabled ? RBS_UNCHECKEDDISABLED : RBS_UNCHECKEDNORMAL);
            DrawThemedPart(Canvas, C, BP_RADIOBUTTON, state, x, y);
            break;
        }
        default: {
            const int size = int(RoundHalfEven(look.GetRadioSize() * Scale)) + (Style == csFlat ? 2 : 0);
            RECT r = TRect(x, y, x + size, y + size);
            UINT flags = DFCS_BUTTONRADIO;
            if (Style == csFlat)
                flags |= DFCS_FLAT;
            if (Disabled)
                flags |= DFCS_INACTIVE;
            if (checked)
                flags |= DFCS_CHECKED;
            DrawFrameControl(Canvas->GetHandle(), &r, DFC_BUTTON, flags);
            Canvas->Refresh();
            Canvas->GetBrush()->SetStyle(bsClear);
            break;
        }
        }
    };
    // Captions sit 2 pixels up beside the drawn looks, 1 pixel down beside the bitmaps.
    const int captionShift = bitmapLook ? 1 : -2;

    int widthSoFar = 0;
    for (int i = 1; i <= Count; ++i) {
        String caption;
        if (Items && Items->GetCount() >= i)
            caption = Items->GetStrings(i - 1);
        const bool checked = CheckedIndex == -1 ? (!caption.empty() && caption == CellText) : i == CheckedIndex + 1;
        int x, y, captionX;
        if (Horizontal) {
            x = small ? Rect.Left + 2 + (i - 1) * itemSize + widthSoFar : Rect.Left + 16 * i - 14 + widthSoFar;
            y = Rect.Top + (Rect.Height() - itemSize) / 2;
            if (look.GetRadioRange() && i == 1 && !caption.empty()) {
                // A range's first caption stands before its button.
                Canvas->TextOut(x, y + captionShift, caption);
                const int w = Canvas->TextWidth(caption);
                widthSoFar += w;
                drawItem(x + w, y, checked);
                continue;
            }
            captionX = small ? x + int(RoundHalfEven(Scale * look.GetRadioSize())) : x + 16;
        } else if (anyCaptions) {
            x = Rect.Left + 2;
            y = Rect.Top + 2 + (i - 1) * lineHeight * step;
            captionX = small ? Rect.Left + int(RoundHalfEven(Scale * (look.GetRadioSize() + 4)))
                : Style == csKestrel ? Rect.Left + 20 : Rect.Left + 18;
        } else {
            x = Rect.Left + (Rect.Width() - itemSize) / 2;
            y = Rect.Top + 2 + (i - 1) * lineHeight * step;
            captionX = x;
        }
        drawItem(x, y, checked);
        if (!caption.empty()) {
            Canvas->TextOut(captionX, y + captionShift, caption);
            if (Horizontal)
                widthSoFar += Canvas->TextWidth(caption);
        }
    }
    Canvas->GetBrush()->SetStyle(oldBrush);
}

} // namespace RirEvoz
