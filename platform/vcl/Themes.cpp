#include "platform/vcl/Themes.h"

#include <cmath>

#include "platform/gdi/DrawText.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TCustomStyleServices)

namespace {

constexpr TColor Rgb(int r, int g, int b) { return TColor(RGB(BYTE(r), BYTE(g), BYTE(b))); }

// Per channel a + (b - a) * t, rounded half to even.
TColor Blend(TColor a, TColor b, double t)
{
    auto mix = [t](int x, int y) { return int(std::nearbyint(x + (y - x) * t)); };
    return Rgb(mix(a & 0xFF, b & 0xFF), mix((a >> 8) & 0xFF, (b >> 8) & 0xFF), mix((a >> 16) & 0xFF, (b >> 16) & 0xFF));
}

bool IsDark(TColor c)
{
    return 0.3 * (c & 0xFF) + 0.59 * ((c >> 8) & 0xFF) + 0.11 * ((c >> 16) & 0xFF) < 128;
}

// The eleven schemes, each of our own design.
const std::vector<TStyleScheme>& Schemes()
{
    static const std::vector<TStyleScheme> schemes = {
        { u"Amethyst Kamri", Rgb(246, 243, 250), Rgb(40, 30, 55), Rgb(222, 214, 235), Rgb(40, 30, 55),
            Rgb(120, 72, 170), Rgb(255, 255, 255), Rgb(150, 130, 175) },
        { u"Aqua Light Slate", Rgb(250, 252, 253), Rgb(30, 40, 50), Rgb(214, 222, 230), Rgb(30, 40, 50),
            Rgb(40, 160, 190), Rgb(255, 255, 255), Rgb(140, 155, 170) },
        { u"Cyan Dusk", Rgb(52, 60, 70), Rgb(220, 235, 240), Rgb(40, 46, 56), Rgb(210, 225, 232), Rgb(0, 170, 200),
            Rgb(10, 20, 25), Rgb(80, 92, 105) },
        { u"Cyan Night", Rgb(28, 32, 38), Rgb(200, 230, 235), Rgb(20, 24, 30), Rgb(190, 220, 228), Rgb(0, 190, 210),
            Rgb(5, 15, 20), Rgb(55, 65, 75) },
        { u"Emerald Light Slate", Rgb(250, 252, 251), Rgb(30, 42, 38), Rgb(212, 224, 220), Rgb(30, 42, 38),
            Rgb(30, 150, 100), Rgb(255, 255, 255), Rgb(135, 160, 150) },
        { u"Iceberg Classico", Rgb(255, 255, 255), Rgb(20, 35, 55), Rgb(226, 236, 245), Rgb(20, 35, 55),
            Rgb(70, 130, 190), Rgb(255, 255, 255), Rgb(145, 165, 190) },
        { u"Lavender Classico", Rgb(252, 250, 255), Rgb(45, 35, 70), Rgb(232, 226, 245), Rgb(45, 35, 70),
            Rgb(130, 110, 200), Rgb(255, 255, 255), Rgb(160, 150, 195) },
        { u"Light", Rgb(255, 255, 255), Rgb(25, 25, 25), Rgb(243, 243, 243), Rgb(25, 25, 25), Rgb(0, 120, 215),
            Rgb(255, 255, 255), Rgb(173, 173, 173) },
        { u"Luna", Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(236, 233, 216), Rgb(0, 0, 0), Rgb(49, 106, 197),
            Rgb(255, 255, 255), Rgb(0, 60, 116) },
        { u"Smokey Quartz Kamri", Rgb(70, 66, 64), Rgb(235, 228, 220), Rgb(58, 54, 52), Rgb(230, 222, 212),
            Rgb(190, 150, 110), Rgb(30, 25, 20), Rgb(100, 94, 90) },
        { u"Turquoise Gray", Rgb(244, 246, 246), Rgb(35, 40, 40), Rgb(200, 206, 206), Rgb(35, 40, 40),
            Rgb(0, 160, 150), Rgb(255, 255, 255), Rgb(120, 130, 130) },
    };
    return schemes;
}

struct TRegistry {
    std::vector<std::unique_ptr<TCustomStyleServices>> styles;
    TCustomStyleServices* active { nullptr };
    TRegistry()
    {
        styles.push_back(std::make_unique<TCustomStyleServices>());
        for (const TStyleScheme& s : Schemes())
            styles.push_back(std::make_unique<TCustomStyleServices>(s));
        active = styles.front().get();
    }
};

TRegistry& Registry()
{
    static TRegistry registry;
    return registry;
}

// Owns a GDI object selected into a context for one drawing step.
class TSelected {
public:
    TSelected(HDC dc, HGDIOBJ obj) : m_dc(dc), m_obj(obj), m_old(SelectObject(dc, obj)) { }
    ~TSelected()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_obj);
    }
    TSelected(const TSelected&) = delete;
    TSelected& operator=(const TSelected&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_obj;
    HGDIOBJ m_old;
};

void Fill(HDC dc, const TRect& r, TColor c)
{
    HBRUSH b = CreateSolidBrush(COLORREF(c));
    const RECT rc = r;
    FillRect(dc, &rc, b);
    DeleteObject(b);
}

// Top to bottom, one row at a time.
void FillGradient(HDC dc, const TRect& r, TColor top, TColor bottom)
{
    if (top == bottom || r.Height() <= 1) {
        Fill(dc, r, top);
        return;
    }
    const int h = r.Height();
    for (int y = 0; y < h; ++y)
        Fill(dc, { r.Left, r.Top + y, r.Right, r.Top + y + 1 }, Blend(top, bottom, double(y) / (h - 1)));
}

void Frame(HDC dc, const TRect& r, TColor c)
{
    HBRUSH b = CreateSolidBrush(COLORREF(c));
    const RECT rc = r;
    FrameRect(dc, &rc, b);
    DeleteObject(b);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, TColor c, int width = 1)
{
    TSelected pen(dc, CreatePen(PS_SOLID, width, COLORREF(c)));
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

enum class TArrow { Up, Down, Left, Right };

// A filled triangle of the given direction centred in `r`.
void Arrow(HDC dc, const TRect& r, TArrow dir, TColor c)
{
    const int cx = (r.Left + r.Right) / 2;
    const int cy = (r.Top + r.Bottom) / 2;
    const int s = std::max(2, std::min(r.Width(), r.Height()) / 4);
    POINT p[3];
    switch (dir) {
    case TArrow::Up: p[0] = { cx - s, cy + s / 2 }; p[1] = { cx + s, cy + s / 2 }; p[2] = { cx, cy - s / 2 - 1 }; break;
    case TArrow::Down: p[0] = { cx - s, cy - s / 2 }; p[1] = { cx + s, cy - s / 2 }; p[2] = { cx, cy + s / 2 + 1 }; break;
    case TArrow::Left: p[0] = { cx + s / 2, cy - s }; p[1] = { cx + s / 2, cy + s }; p[2] = { cx - s / 2 - 1, cy }; break;
    case TArrow::Right: p[0] = { cx - s / 2, cy - s }; p[1] = { cx - s / 2, cy + s }; p[2] = { cx + s / 2 + 1, cy }; break;
    }
    TSelected brush(dc, CreateSolidBrush(COLORREF(c)));
    TSelected pen(dc, CreatePen(PS_SOLID, 1, COLORREF(c)));
    Polygon(dc, p, 3);
}

template<class E>
bool In(int part, E first, E last)
{
    return part >= int(first) && part <= int(last);
}

} // namespace

// What an element looks like: its fill (top and bottom of a vertical
// gradient), border, text and glyph colours; clNone where it has none.
struct TCustomStyleServices::TLook {
    TColor FillTop { clNone };
    TColor FillBottom { clNone };
    TColor Border { clNone };
    TColor Text { clNone };
    TColor Glyph { clNone };
    bool Drawn() const { return FillTop != clNone || Border != clNone || Glyph != clNone; }
};

TCustomStyleServices::TCustomStyleServices()
{
    m_scheme.Name = u"Windows";
}

TCustomStyleServices::TCustomStyleServices(const TStyleScheme& Scheme) : m_scheme(Scheme), m_custom(true)
{
    const TStyleScheme& s = m_scheme;
    const bool dark = IsDark(s.Face);
    TPalette& p = m_palette;
    p.Window = s.Window;
    p.WindowText = s.WindowText;
    p.Face = s.Face;
    p.FaceText = s.FaceText;
    p.Accent = s.Accent;
    p.AccentText = s.AccentText;
    p.Border = s.Border;
    p.Light = Blend(s.Face, clWhite, dark ? 0.2 : 0.55);
    p.Shadow = Blend(s.Face, dark ? clWhite : clBlack, dark ? 0.18 : 0.3);
    p.DkShadow = Blend(s.Face, clBlack, 0.6);
    p.GrayText = Blend(s.FaceText, s.Face, 0.5);
    p.ButtonTop = Blend(s.Face, clWhite, dark ? 0.12 : 0.35);
    p.ButtonBottom = Blend(s.Face, clBlack, 0.06);
    p.ButtonHotTop = Blend(p.ButtonTop, s.Accent, 0.18);
    p.ButtonHotBottom = Blend(p.ButtonBottom, s.Accent, 0.25);
    p.ButtonPressedTop = Blend(s.Face, s.Accent, 0.35);
    p.ButtonPressedBottom = Blend(s.Face, s.Accent, 0.45);
    p.FixedTop = Blend(s.Face, clWhite, dark ? 0.08 : 0.25);
    p.FixedBottom = Blend(s.Face, clBlack, 0.08);
    p.FixedText = s.FaceText;
    p.SelectedTop = Blend(s.Accent, clWhite, 0.15);
    p.SelectedBottom = s.Accent;
    p.GridLine = Blend(s.Window, s.Border, 0.5);
    p.InfoBk = Blend(s.Window, s.Accent, 0.08);
    p.InfoText = s.WindowText;
    p.Track = Blend(s.Face, dark ? clWhite : clBlack, 0.1);
}

TColor TCustomStyleServices::GetSystemColor(TColor Color) const
{
    if (!m_custom || (Color & clSystemColor) != clSystemColor || Color == clNone || Color == clDefault)
        return Color;
    const TPalette& p = m_palette;
    switch (Color & 0xFF) {
    case 0: return p.Track;                            // scroll bar
    case 1: return p.Shadow;                           // desktop
    case 2: case 26: case 29: return p.Accent;         // active caption, hot light, menu highlight
    case 3: case 12: return p.Shadow;                  // inactive caption, application workspace
    case 4: case 10: case 11: case 15: case 22: case 30: return p.Face;
    case 5: return p.Window;
    case 6: return p.Border;
    case 7: case 18: return p.FaceText;                // menu text, button text
    case 8: return p.WindowText;
    case 9: case 14: return p.AccentText;              // caption text, highlight text
    case 13: return p.Accent;
    case 16: return p.Shadow;
    case 17: return p.GrayText;
    case 19: return p.Light;                           // inactive caption text
    case 20: return p.Light;
    case 21: return p.DkShadow;
    case 23: return p.InfoText;
    case 24: return p.InfoBk;
    case 27: return p.SelectedTop;                     // caption gradients
    case 28: return p.Light;
    default: return Color;
    }
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor Color) const
{
    if (!m_custom)
        return clNone;
    const TPalette& p = m_palette;
    switch (Color) {
    case scBorder: return p.Border;
    case scButtonDisabled: return p.Face;
    case scButtonFocused: case scButtonHot: return p.ButtonHotTop;
    case scButtonNormal: return p.ButtonTop;
    case scButtonPressed: return p.ButtonPressedTop;
    case scCategoryButtonsGradientBase: case scGenericGradientBase: case scToolBarGradientBase: return p.ButtonTop;
    case scCategoryButtonsGradientEnd: case scGenericGradientEnd: return p.ButtonBottom;
    case scHintGradientBase: case scHintGradientEnd: return p.InfoBk;
    case scComboBox: case scEdit: case scGrid: case scListBox: case scListView: case scTreeView: return p.Window;
    case scCategoryButtons: case scCategoryPanelGroup: case scComboBoxDisabled: case scEditDisabled:
    case scGenericBackground: case scListBoxDisabled: case scPanel: case scPanelDisabled: case scSplitter:
    case scToolBarGradientEnd: case scWindow: return p.Face;
    }
    return clNone;
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont Font) const
{
    if (!m_custom)
        return clNone;
    const TPalette& p = m_palette;
    switch (Font) {
    case sfButtonTextDisabled: case sfCheckBoxTextDisabled: case sfComboBoxItemDisabled: case sfEditBoxTextDisabled:
    case sfGroupBoxTextDisabled: case sfHeaderSectionTextDisabled: case sfListItemTextDisabled:
    case sfMenuItemTextDisabled: case sfPanelTextDisabled: case sfPopupMenuItemTextDisabled:
    case sfRadioButtonTextDisabled: case sfStatusPanelTextDisabled: case sfTabTextActiveDisabled:
    case sfTabTextInactiveDisabled: case sfTextLabelDisabled: case sfToolItemTextDisabled:
    case sfWindowTextDisabled: case sfCaptionTextInactive:
        return p.GrayText;
    case sfComboBoxItemSelected: case sfEditBoxTextSelected: case sfGridItemSelected: case sfListItemTextSelected:
    case sfMenuItemTextSelected: case sfPopupMenuItemTextHot: case sfPopupMenuItemTextSelected:
    case sfCaptionTextNormal:
        return p.AccentText;
    case sfComboBoxItemFocused: case sfComboBoxItemHot: case sfComboBoxItemNormal: case sfEditBoxTextFocused:
    case sfEditBoxTextHot: case sfEditBoxTextNormal: case sfGridItemNormal: case sfListItemTextFocused:
    case sfListItemTextHot: case sfListItemTextNormal: case sfWindowTextNormal:
        return p.WindowText;
    default:
        return p.FaceText;
    }
}

TCustomStyleServices::TLook TCustomStyleServices::ElementLook(const TThemedElementDetails& d) const
{
    TLook l;
    if (!m_custom)
        return l;
    const TPalette& p = m_palette;
    const int part = d.Part;
    auto solid = [&](TColor fill, TColor border, TColor text) {
        l.FillTop = l.FillBottom = fill;
        l.Border = border;
        l.Text = text;
    };
    auto gradient = [&](TColor top, TColor bottom, TColor border, TColor text) {
        l.FillTop = top;
        l.FillBottom = bottom;
        l.Border = border;
        l.Text = text;
    };
    auto button = [&](int state) { // 0 normal, 1 hot, 2 pressed, 3 disabled, 4 defaulted
        switch (state) {
        case 1: gradient(p.ButtonHotTop, p.ButtonHotBottom, Blend(p.Border, p.Accent, 0.6), p.FaceText); break;
        case 2: gradient(p.ButtonPressedTop, p.ButtonPressedBottom, p.Accent, p.FaceText); break;
        case 3: solid(p.Face, Blend(p.Border, p.Face, 0.5), p.GrayText); break;
        case 4: gradient(p.ButtonTop, p.ButtonBottom, p.Accent, p.FaceText); break;
        default: gradient(p.ButtonTop, p.ButtonBottom, p.Border, p.FaceText); break;
        }
    };
    switch (d.Element) {
    case teButton:
        if (In(part, tbPushButtonNormal, tbPushButtonDefaulted) || part == tbUserButton) {
            button(part == tbUserButton ? 0 : part - tbPushButtonNormal);
        } else if (In(part, tbRadioButtonUncheckedNormal, tbCheckBoxMixedDisabled)) {
            const int radio = part <= tbRadioButtonCheckedDisabled;
            const int base = radio ? tbRadioButtonUncheckedNormal : tbCheckBoxUncheckedNormal;
            const int state = (part - base) % 4;
            const bool marked = part - base >= 4;
            const TColor fill = state == 1 ? Blend(p.Window, p.Accent, 0.1)
                : state == 2               ? Blend(p.Window, p.Accent, 0.25)
                : state == 3               ? p.Face
                                           : p.Window;
            solid(fill, state == 1 || state == 2 ? p.Accent : p.Border, state == 3 ? p.GrayText : p.FaceText);
            if (marked)
                l.Glyph = state == 3 ? p.GrayText : p.Accent;
        } else if (part == tbGroupBoxNormal || part == tbGroupBoxDisabled) {
            l.Border = p.Border;
            l.Text = part == tbGroupBoxDisabled ? p.GrayText : p.FaceText;
        }
        break;
    case teCategoryButtons:
        switch (part) {
        case tcbBackground: solid(p.Face, clNone, p.FaceText); break;
        case tcbCategoryNormal: gradient(p.FixedTop, p.FixedBottom, p.Border, p.FixedText); break;
        case tcbCategorySelected: gradient(p.SelectedTop, p.SelectedBottom, p.Accent, p.AccentText); break;
        case tcbButtonNormal: button(0); break;
        case tcbButtonHot: button(1); break;
        case tcbButtonSelected: button(2); break;
        case tcbCategoryGlyphOpened: case tcbCategoryGlyphClosed: l.Glyph = p.FaceText; break;
        default: break;
        }
        break;
    case teComboBox:
        if (In(part, tcDropDownButtonNormal, tcDropDownButtonDisabled)) {
            button(part - tcDropDownButtonNormal);
            l.Glyph = part == tcDropDownButtonDisabled ? p.GrayText : p.FaceText;
        } else if (In(part, tcBorderNormal, tcBorderDisabled)) {
            const bool active = part == tcBorderHot || part == tcBorderFocused;
            solid(part == tcBorderDisabled ? p.Face : p.Window, active ? p.Accent : p.Border,
                part == tcBorderDisabled ? p.GrayText : p.WindowText);
        }
        break;
    case teEdit:
        switch (part) {
        case teEditTextNormal: case teEditTextHot: case teEditTextFocused: solid(p.Window, clNone, p.WindowText); break;
        case teEditTextSelected: solid(p.Accent, clNone, p.AccentText); break;
        case teEditTextDisabled: solid(p.Face, clNone, p.GrayText); break;
        case teEditTextReadOnly: solid(p.Face, clNone, p.WindowText); break;
        case teBackgroundNormal: case teBackgroundHot: case teBackgroundFocused: solid(p.Window, clNone, p.WindowText); break;
        case teBackgroundDisabled: solid(p.Face, clNone, p.GrayText); break;
        case teBackgroundReadOnly: solid(p.Face, clNone, p.WindowText); break;
        case teEditBorderNoScrollNormal: solid(p.Window, p.Border, p.WindowText); break;
        case teEditBorderNoScrollHot: case teEditBorderNoScrollFocused: solid(p.Window, p.Accent, p.WindowText); break;
        case teEditBorderNoScrollDisabled: solid(p.Face, Blend(p.Border, p.Face, 0.5), p.GrayText); break;
        default: break;
        }
        break;
    case teGrid:
        switch (part) {
        case tgCellNormal: case tgClassicCellNormal: solid(p.Window, p.GridLine, p.WindowText); break;
        case tgCellSelected: case tgCellRowSelectedLeft: case tgCellRowSelectedCenter: case tgCellRowSelectedRight:
        case tgGradientCellSelected:
            gradient(p.SelectedTop, p.SelectedBottom, p.Accent, p.AccentText);
            break;
        case tgClassicCellSelected: solid(p.Accent, p.Accent, p.AccentText); break;
        case tgFixedCellNormal: case tgGradientFixedCellNormal: gradient(p.FixedTop, p.FixedBottom, p.Border, p.FixedText); break;
        case tgFixedCellHot: case tgGradientFixedCellHot: gradient(p.ButtonHotTop, p.ButtonHotBottom, p.Border, p.FixedText); break;
        case tgFixedCellPressed: case tgGradientFixedCellPressed:
            gradient(p.ButtonPressedTop, p.ButtonPressedBottom, p.Border, p.FixedText);
            break;
        case tgClassicFixedCellNormal: solid(p.Face, p.Border, p.FixedText); break;
        case tgClassicFixedCellHot: solid(p.ButtonHotTop, p.Border, p.FixedText); break;
        case tgClassicFixedCellPressed: solid(p.ButtonPressedTop, p.Border, p.FixedText); break;
        case tgGradientCellNormal: gradient(p.Window, Blend(p.Window, p.Face, 0.5), p.GridLine, p.WindowText); break;
        default: break;
        }
        break;
    case teHeader:
        switch (part) {
        case thHeaderItemNormal: gradient(p.FixedTop, p.FixedBottom, p.Border, p.FixedText); break;
        case thHeaderItemHot: gradient(p.ButtonHotTop, p.ButtonHotBottom, p.Border, p.FixedText); break;
        case thHeaderItemPressed: gradient(p.ButtonPressedTop, p.ButtonPressedBottom, p.Border, p.FixedText); break;
        case thHeaderSortArrowSortedUp: case thHeaderSortArrowSortedDown: l.Glyph = p.FaceText; break;
        default: break;
        }
        break;
    case teMenu:
        switch (part) {
        case tmMenuBarBackgroundActive: solid(p.Face, clNone, p.FaceText); break;
        case tmMenuBarItemNormal: l.Text = p.FaceText; break;
        case tmMenuBarItemHot: solid(Blend(p.Face, p.Accent, 0.25), clNone, p.FaceText); break;
        case tmMenuBarItemPushed: solid(p.ButtonPressedTop, clNone, p.FaceText); break;
        case tmPopupBackground: solid(Blend(p.Window, p.Face, 0.3), p.Border, p.FaceText); break;
        case tmPopupBorders: l.Border = p.Border; break;
        case tmPopupItemNormal: l.Text = p.FaceText; break;
        case tmPopupItemHot: solid(p.Accent, clNone, p.AccentText); break;
        case tmPopupItemDisabled: l.Text = p.GrayText; break;
        case tmPopupSeparator: case tmPopupCheckNormal: l.Glyph = p.Border; break;
        default: break;
        }
        if (part == tmPopupCheckNormal)
            l.Glyph = p.FaceText;
        break;
    case tePanel:
        if (part == tpPanelBackground)
            solid(p.Face, clNone, p.FaceText);
        else if (part == tpPanelBevel)
            l.Border = p.Border;
        break;
    case teScrollBar:
        if (In(part, tsArrowBtnUpNormal, tsArrowBtnRightDisabled)) {
            const int state = (part - tsArrowBtnUpNormal) % 4;
            button(state);
            l.Glyph = state == 3 ? p.GrayText : p.FaceText;
        } else if (In(part, tsThumbBtnHorzNormal, tsThumbBtnVertDisabled)) {
            button((part - tsThumbBtnHorzNormal) % 4);
        } else if (part == tsUpperTrackHorzNormal || part == tsUpperTrackVertNormal) {
            solid(p.Track, clNone, clNone);
        } else if (part == tsSizeBoxRightAlign) {
            solid(p.Face, clNone, clNone);
            l.Glyph = p.Shadow;
        }
        break;
    case teStatus:
        if (part == tsStatusRoot || part == tsPane || part == tsGripperPane)
            solid(p.Face, part == tsStatusRoot ? clNone : Blend(p.Face, p.Border, 0.5), p.FaceText);
        else if (part == tsGripper)
            l.Glyph = p.Shadow;
        break;
    case teTab:
        switch (part) {
        case ttTabItemNormal: button(0); break;
        case ttTabItemHot: button(1); break;
        case ttTabItemSelected: solid(p.Window, p.Border, p.WindowText); break;
        case ttTabItemDisabled: button(3); break;
        case ttPane: solid(p.Window, p.Border, p.WindowText); break;
        case ttBody: solid(p.Window, clNone, p.WindowText); break;
        default: break;
        }
        break;
    case teTextLabel:
        if (part == ttlTextLabelNormal || part == ttlTextLabelDisabled)
            l.Text = part == ttlTextLabelDisabled ? p.GrayText : p.FaceText;
        break;
    case teToolBar:
        switch (part) {
        case ttbToolBarRoot: gradient(p.ButtonTop, p.Face, clNone, p.FaceText); break;
        case ttbButtonNormal: case ttbDropDownButtonNormal: l.Text = p.FaceText; break;
        case ttbButtonHot: case ttbDropDownButtonHot: button(1); break;
        case ttbButtonPressed: case ttbButtonChecked: case ttbDropDownButtonPressed: button(2); break;
        case ttbButtonCheckedHot: gradient(p.ButtonPressedTop, p.ButtonHotBottom, p.Accent, p.FaceText); break;
        case ttbButtonDisabled: l.Text = p.GrayText; break;
        case ttbSeparatorNormal: l.Glyph = p.Border; break;
        default: break;
        }
        break;
    case teTrackBar:
        if (part == ttbTrack || part == ttbTrackVert)
            solid(p.Track, p.Shadow, clNone);
        else if (In(part, ttbThumbNormal, ttbThumbVertDisabled)) {
            const int state = (part - ttbThumbNormal) % 5; // normal, hot, pressed, focused, disabled
            button(state == 3 ? 1 : state == 4 ? 3 : state);
        } else if (part == ttbThumbTics || part == ttbThumbTicsVert)
            l.Glyph = p.FaceText;
        break;
    case teEmptyElement:
        break;
    }
    return l;
}

bool TCustomStyleServices::GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
    TColor& Color) const
{
    const TLook l = ElementLook(Details);
    TColor c = clNone;
    switch (ElementColor) {
    // A gradient has no single fill colour: callers sample it instead.
    case ecFillColor: c = l.FillTop == l.FillBottom ? l.FillTop : clNone; break;
    case ecBorderColor: c = l.Border; break;
    case ecTextColor: c = l.Text; break;
    case ecGlyphColor: c = l.Glyph; break;
    case ecGradientColor1: c = l.FillTop != l.FillBottom ? l.FillTop : clNone; break;
    case ecGradientColor2: c = l.FillTop != l.FillBottom ? l.FillBottom : clNone; break;
    case ecEdgeLightColor: case ecEdgeHighLightColor: c = m_custom ? m_palette.Light : clNone; break;
    case ecEdgeShadowColor: c = m_custom ? m_palette.Shadow : clNone; break;
    case ecEdgeDkShadowColor: c = m_custom ? m_palette.DkShadow : clNone; break;
    case ecEdgeFillColor: c = m_custom ? m_palette.Face : clNone; break;
    default: break;
    }
    if (c == clNone)
        return false;
    Color = c;
    return true;
}

bool TCustomStyleServices::DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R,
    const TRect* ClipRect, int DPI) const
{
    (void)DPI;
    const TLook l = ElementLook(Details);
    if (!DC || !l.Drawn() || R.IsEmpty())
        return false;
    const int saved = SaveDC(DC);
    if (ClipRect)
        IntersectClipRect(DC, ClipRect->Left, ClipRect->Top, ClipRect->Right, ClipRect->Bottom);
    const int part = Details.Part;
    const bool radio = Details.Element == teButton && In(part, tbRadioButtonUncheckedNormal, tbRadioButtonCheckedDisabled);
    const bool check = Details.Element == teButton && In(part, tbCheckBoxUncheckedNormal, tbCheckBoxMixedDisabled);
    if (radio) {
        TSelected brush(DC, CreateSolidBrush(COLORREF(l.FillTop)));
        TSelected pen(DC, CreatePen(PS_SOLID, 1, COLORREF(l.Border)));
        Ellipse(DC, R.Left, R.Top, R.Right, R.Bottom);
        if (l.Glyph != clNone) {
            TSelected dot(DC, CreateSolidBrush(COLORREF(l.Glyph)));
            TSelected dotPen(DC, CreatePen(PS_SOLID, 1, COLORREF(l.Glyph)));
            const int inset = std::max(3, R.Width() * 4 / 13);
            Ellipse(DC, R.Left + inset, R.Top + inset, R.Right - inset, R.Bottom - inset);
        }
    } else {
        if (l.FillTop != clNone)
            FillGradient(DC, R, l.FillTop, l.FillBottom);
        const bool cell = Details.Element == teGrid || Details.Element == teHeader;
        if (l.Border != clNone) {
            if (cell) {
                // Cells share their lines with the neighbours: right and bottom only.
                Line(DC, R.Right - 1, R.Top, R.Right - 1, R.Bottom, l.Border);
                Line(DC, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1, l.Border);
            } else if (Details.Element == teTab && part == ttTabItemSelected) {
                Line(DC, R.Left, R.Bottom, R.Left, R.Top, l.Border);
                Line(DC, R.Left, R.Top, R.Right - 1, R.Top, l.Border);
                Line(DC, R.Right - 1, R.Top, R.Right - 1, R.Bottom, l.Border);
            } else {
                Frame(DC, R, l.Border);
            }
        }
        if (l.Glyph != clNone) {
            const TRect g = R;
            if (check) {
                if (part >= tbCheckBoxMixedNormal) {
                    const int inset = std::max(3, R.Width() / 4);
                    Fill(DC, { R.Left + inset, R.Top + inset, R.Right - inset, R.Bottom - inset }, l.Glyph);
                } else {
                    const int w = R.Width();
                    const int h = R.Height();
                    const POINT pts[3] = { { R.Left + w * 3 / 13, R.Top + h * 6 / 13 },
                        { R.Left + w * 5 / 13, R.Top + h * 9 / 13 }, { R.Left + w * 10 / 13, R.Top + h * 3 / 13 } };
                    TSelected pen(DC, CreatePen(PS_SOLID, 2, COLORREF(l.Glyph)));
                    Polyline(DC, pts, 3);
                }
            } else if (Details.Element == teScrollBar && In(part, tsArrowBtnUpNormal, tsArrowBtnRightDisabled)) {
                const TArrow dirs[] = { TArrow::Up, TArrow::Down, TArrow::Left, TArrow::Right };
                Arrow(DC, g, dirs[(part - tsArrowBtnUpNormal) / 4], l.Glyph);
            } else if (Details.Element == teComboBox) {
                Arrow(DC, g, TArrow::Down, l.Glyph);
            } else if (Details.Element == teHeader) {
                Arrow(DC, g, part == thHeaderSortArrowSortedUp ? TArrow::Up : TArrow::Down, l.Glyph);
            } else if (Details.Element == teCategoryButtons) {
                Arrow(DC, g, part == tcbCategoryGlyphOpened ? TArrow::Down : TArrow::Right, l.Glyph);
            } else if (Details.Element == teToolBar) {
                const int x = (R.Left + R.Right) / 2;
                Line(DC, x, R.Top + 2, x, R.Bottom - 2, l.Glyph);
            } else if (Details.Element == teMenu && part == tmPopupSeparator) {
                const int y = (R.Top + R.Bottom) / 2;
                Line(DC, R.Left + 2, y, R.Right - 2, y, l.Glyph);
            } else if (Details.Element == teMenu) {
                const POINT pts[3] = { { R.Left + R.Width() / 4, R.Top + R.Height() / 2 },
                    { R.Left + R.Width() * 2 / 5, R.Top + R.Height() * 2 / 3 },
                    { R.Left + R.Width() * 3 / 4, R.Top + R.Height() / 3 } };
                TSelected pen(DC, CreatePen(PS_SOLID, 2, COLORREF(l.Glyph)));
                Polyline(DC, pts, 3);
            } else if (Details.Element == teTrackBar) {
                Line(DC, R.Left, R.Top, part == ttbThumbTics ? R.Left : R.Right, part == ttbThumbTics ? R.Bottom : R.Top,
                    l.Glyph);
            } else {
                // Grippers: a triangle of dots in the bottom-right corner.
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j <= i; ++j)
                        Fill(DC, { R.Right - 4 - 4 * j, R.Bottom - 4 - 4 * (i - j), R.Right - 2 - 4 * j,
                                     R.Bottom - 2 - 4 * (i - j) },
                            l.Glyph);
            }
        }
    }
    RestoreDC(DC, saved);
    return true;
}

bool TCustomStyleServices::DrawText(HDC DC, const TThemedElementDetails& Details, const String& S, TRect& R,
    TTextFormat Flags, TColor Color) const
{
    if (!m_custom || !DC)
        return false;
    TColor c = Color;
    if (c == clNone)
        c = ElementLook(Details).Text;
    if (c == clNone)
        c = m_palette.FaceText;
    const int saved = SaveDC(DC);
    SetTextColor(DC, COLORREF(ColorToRGB(c)));
    SetBkMode(DC, TRANSPARENT);
    String text = S;
    RECT r = R;
    ::DrawText(DC, text, &r, TextFormatToFlags(Flags));
    if (Flags.Contains(tfCalcRect))
        R = r;
    RestoreDC(DC, saved);
    return true;
}

// ---- style manager ----

namespace {

void NotifyStyleChanged(TControl* c)
{
    c->Perform(CM_STYLECHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(c))
        for (int i = 0; i < w->GetControlCount(); ++i)
            NotifyStyleChanged(w->GetControl(i));
}

} // namespace

std::vector<String> TStyleManager::GetStyleNames()
{
    std::vector<String> names;
    for (const auto& s : Registry().styles)
        names.push_back(s->GetName());
    return names;
}

TCustomStyleServices* TStyleManager::ActiveStyle()
{
    return Registry().active;
}

TCustomStyleServices* TStyleManager::SystemStyle()
{
    return Registry().styles.front().get();
}

TCustomStyleServices* TStyleManager::Style(const String& Name)
{
    for (const auto& s : Registry().styles)
        if (s->GetName() == Name)
            return s.get();
    for (const auto& s : Registry().styles)
        if (SameText(s->GetName(), Name))
            return s.get();
    return nullptr;
}

void TStyleManager::SetStyle(const String& Name)
{
    TCustomStyleServices* s = Style(Name);
    if (!s)
        throw EStyleNotFoundException(u"Style '" + Name + u"' not found");
    SetStyle(s);
}

void TStyleManager::SetStyle(TCustomStyleServices* Style)
{
    TRegistry& reg = Registry();
    if (!Style || Style == reg.active)
        return;
    reg.active = Style;
    if (!Screen)
        return;
    // Controls hear of the change first, so the repaint finds them updated.
    for (int i = 0; i < Screen->GetFormCount(); ++i) {
        TCustomForm* f = Screen->GetForms(i);
        NotifyStyleChanged(f);
        if (f->HandleAllocated())
            RedrawWindow(f->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

bool TStyleManager::TrySetStyle(const String& Name, bool ShowErrorDialog)
{
    if (Style(Name)) {
        SetStyle(Name);
        return true;
    }
    if (ShowErrorDialog)
        Application->MessageBox(u"Style '" + Name + u"' not found", Application->GetTitle(), MB_ICONSTOP);
    return false;
}

bool TStyleManager::IsCustomStyleActive()
{
    return !ActiveStyle()->IsSystemStyle();
}

TCustomStyleServices* StyleServices()
{
    return TStyleManager::ActiveStyle();
}

TColor StyleColorToRGB(TColor Color)
{
    return ColorToRGB(StyleServices()->GetSystemColor(Color));
}
