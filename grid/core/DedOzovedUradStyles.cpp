// The grid's style presets: one call recolours the fixed cells, their
// hover and pressed gradients, the sorted column's header, the selection,
// the active cell, the grid lines and some font colours for one of the
// application's named styles, for colour tones or for an older XP scheme,
// and follows the user's Office theme when asked to.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPainters.h"
#include "platform/rtl/MathUtils.h"

namespace {

// "Leave the value as it is" in the tables below.
constexpr TColor Keep = TColor(0x40000000);
constexpr TColor None = clNone;

struct TPresetFixed {
    std::optional<TGridLook> Look;
    TColor Border, Fixed, From, To, MirrorFrom, MirrorTo;
};

// Look, border, fixed colour and the fixed-cell gradient, in TRirEvozStyle order.
const TPresetFixed FixedPresets[] = {
    /* Office2003Blue */ { glXP, Keep, Keep, TColor(0xFCE1CB), TColor(0xE0A57D), None, None },
    /* Office2003Silver */ { glXP, Keep, Keep, TColor(0xECE2E1), TColor(0xB39698), None, None },
    /* Office2003Olive */ { glXP, Keep, Keep, TColor(0xCFF0EA), TColor(0x8CC0B1), None, None },
    /* Office2003Classic */ { glXP, Keep, Keep, TColor(0xFFFFFF), TColor(0xCCD4D8), None, None },
    /* Office2007Luna */ { glOffice2007, Keep, Keep, TColor(0xFBF9F6), TColor(0xE8DBD2), None, None },
    /* Office2007Obsidian */ { glOffice2007, Keep, Keep, TColor(0xF7F7F7), TColor(0xDEDEDE), None, None },
    /* WindowsXP */ { glXP, Keep, Keep, clBtnFace, clBtnFace, None, None },
    /* Whidbey */ { std::nullopt, Keep, Keep, TColor(0xFFFFFF), clBtnFace, None, None },
    /* Custom */ { std::nullopt, Keep, Keep, Keep, Keep, Keep, Keep },
    /* Office2007Silver */ { glOffice2007, Keep, Keep, TColor(0xF3F3F1), TColor(0xCAC9C8), Keep, Keep },
    /* WindowsVista */ { glVista, Keep, Keep, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFAF8F7), TColor(0xF4F2F1) },
    /* Windows7 */ { glWin7, Keep, Keep, TColor(0xFDFCFA), TColor(0xFAF0E6), TColor(0xF4E6DC), TColor(0xF7E9DD) },
    /* Terminal */ { glStandard, Keep, Keep, Keep, Keep, Keep, Keep },
    /* Office2010Blue */ { glOffice2007, Keep, Keep, TColor(0xF5E7DA), TColor(0xF5E7DA), TColor(0xF5E7DA), TColor(0xF5E7DA) },
    /* Office2010Silver */ { glOffice2007, Keep, Keep, TColor(0xE8E3DF), TColor(0xE8E3DF), TColor(0xE8E3DF), TColor(0xE8E3DF) },
    /* Office2010Black */ { glOffice2007, Keep, Keep, TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0x6A6A6A) },
    /* Windows8 */ { glOffice2007, TColor(0xE4E3E2), Keep, TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0xF7F6F5) },
    /* Office2013White */ { glOffice2007, TColor(0xD4D4D4), Keep, TColor(0xEEEEEE), TColor(0xEEEEEE), TColor(0xEEEEEE), TColor(0xEEEEEE) },
    /* Office2013LightGray */ { glOffice2007, TColor(0xC6C6C6), Keep, TColor(0xFAFAFA), TColor(0xFAFAFA), TColor(0xFAFAFA), TColor(0xFAFAFA) },
    /* Office2013Gray */ { glOffice2007, TColor(0xABABAB), Keep, TColor(0xF3F3F3), TColor(0xF3F3F3), TColor(0xF3F3F3), TColor(0xF3F3F3) },
    /* Windows10 */ { glOffice2007, TColor(0xE4E3E2), Keep, TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0xF7F6F5) },
    /* Office2016White */ { glOffice2007, TColor(0xABABAB), Keep, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFFFFFF) },
    /* Office2016Gray */ { glOffice2007, TColor(0x999999), Keep, TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0x6A6A6A) },
    /* Office2016Black */ { glOffice2007, TColor(0x999999), Keep, TColor(0x252525), TColor(0x252525), TColor(0x252525), TColor(0x252525) },
    /* Office2019White */ { glCustom, TColor(0xABABAB), TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFFFFFF) },
    /* Office2019Gray */ { glCustom, TColor(0x999999), TColor(0x666666), TColor(0x666666), TColor(0x666666), TColor(0x666666), TColor(0x666666) },
    /* Office2019Black */ { glCustom, TColor(0x999999), TColor(0x262626), TColor(0x262626), TColor(0x262626), TColor(0x262626), TColor(0x262626) },
};
static_assert(std::size(FixedPresets) == gsOffice2019Black + 1);

struct TPresetSelection {
    TColor Selection, SelectionTo, SelectionText;
    TGridSelectionStyle Style;
    TColor Active, ActiveTo, Line, FixedLine;
};

// Keep in the selection columns leaves the common part's clHighlight and
// clHighlightText; Keep everywhere is Custom and Terminal.
const TPresetSelection SelectionPresets[] = {
    /* Office2003Blue */ { TColor(0x94E6FB), TColor(0x1595EE), TColor(0), ssDefault, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xC0C0C0), TColor(0x808080) },
    /* Office2003Silver */ { TColor(0x94E6FB), TColor(0x1595EE), TColor(0), ssDefault, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xC0C0C0), TColor(0x808080) },
    /* Office2003Olive */ { TColor(0x94E6FB), TColor(0x1595EE), TColor(0), ssDefault, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xC0C0C0), TColor(0x808080) },
    /* Office2003Classic */ { Keep, Keep, Keep, ssDefault, TColor(0xD8D5D4), TColor(0xD8D5D4), TColor(0xC0C0C0), TColor(0x808080) },
    /* Office2007Luna */ { TColor(0x5EC1F1), Keep, TColor(0), ssOffice2007, TColor(0x9DD8F9), TColor(0x5EC1F1), TColor(0xF1EDEB), TColor(0xD1BBA4) },
    /* Office2007Obsidian */ { TColor(0x5EC1F1), Keep, TColor(0), ssDefault, TColor(0x9DD8F9), TColor(0x5EC1F1), TColor(0xE5D7D0), TColor(0x808080) },
    /* WindowsXP */ { Keep, Keep, Keep, ssDefault, clBtnFace, clBtnFace, TColor(0xC0C0C0), TColor(0x808080) },
    /* Whidbey */ { Keep, Keep, Keep, ssDefault, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xC0C0C0), TColor(0x808080) },
    /* Custom */ { Keep, Keep, Keep, ssDefault, Keep, Keep, Keep, Keep },
    /* Office2007Silver */ { TColor(0x95C7F5), Keep, TColor(0), ssDefault, TColor(0x99CCFF), TColor(0x699CFF), TColor(0xE5D7D0), TColor(0x808080) },
    /* WindowsVista */ { TColor(0xEACAB6), Keep, TColor(0), ssVista, TColor(0xFDF8F1), TColor(0xFCEFD5), TColor(0xECECF0), TColor(0xD4D2D1) },
    /* Windows7 */ { TColor(0xEACAB6), Keep, TColor(0), ssWin7, TColor(0xFCEBDC), TColor(0xFCDBC1), TColor(0xECECF0), TColor(0xD4D2D1) },
    /* Terminal */ { Keep, Keep, Keep, ssDefault, Keep, Keep, Keep, Keep },
    /* Office2010Blue */ { TColor(0xFFDBB7), Keep, TColor(0), ssDefault, TColor(0x5BD5FF), TColor(0x71EFFF), TColor(0xC0C0C0), TColor(0xC7B0A0) },
    /* Office2010Silver */ { TColor(0xFFDBB7), Keep, TColor(0), ssDefault, TColor(0x5BD5FF), TColor(0x71EFFF), TColor(0xC0C0C0), TColor(0xBAB5B1) },
    /* Office2010Black */ { TColor(0xFFDBB7), Keep, TColor(0), ssDefault, TColor(0x5BD5FF), TColor(0x71EFFF), TColor(0xC0C0C0), TColor(0x444444) },
    /* Windows8 */ { TColor(0xDAA026), Keep, TColor(0xFFFFFF), ssDefault, TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0xDCDBDA), TColor(0xDCDBDA) },
    /* Office2013White */ { TColor(0xDAA026), Keep, TColor(0xFFFFFF), ssDefault, TColor(0xEEEEEE), TColor(0xEEEEEE), TColor(0xD4D4D4), TColor(0xD4D4D4) },
    /* Office2013LightGray */ { TColor(0xDAA026), Keep, TColor(0xFFFFFF), ssDefault, TColor(0xFAFAFA), TColor(0xFAFAFA), TColor(0xC6C6C6), TColor(0xC6C6C6) },
    /* Office2013Gray */ { TColor(0xDAA026), Keep, TColor(0xFFFFFF), ssDefault, TColor(0xF3F3F3), TColor(0xF3F3F3), TColor(0xABABAB), TColor(0xABABAB) },
    /* Windows10 */ { TColor(0xDAA026), Keep, TColor(0xFFFFFF), ssDefault, TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0xDCDBDA), TColor(0xDCDBDA) },
    /* Office2016White */ { TColor(0xC6C6C6), Keep, TColor(0), ssDefault, TColor(0xE1E1E1), TColor(0xE1E1E1), TColor(0xD4D4D4), TColor(0xD5D5D5) },
    /* Office2016Gray */ { TColor(0xC6C6C6), Keep, TColor(0), ssDefault, TColor(0x262626), TColor(0x262626), TColor(0xD4D4D4), TColor(0xD3D3D3) },
    /* Office2016Black */ { TColor(0xC6C6C6), Keep, TColor(0), ssDefault, TColor(0x646464), TColor(0x646464), TColor(0xD4D4D4), TColor(0xB0B0B0) },
    // The 2019 White and Gray selection and active cell follow the
    // application colour (filled in by SetStyleAndAppColor).
    /* Office2019White */ { TColor(0xD1B9A5), Keep, TColor(0), ssDefault, TColor(0xB0784A), TColor(0xB0784A), TColor(0xD4D4D4), TColor(0xABABAB) },
    /* Office2019Gray */ { TColor(0x969696), Keep, TColor(0), ssDefault, TColor(0x262626), TColor(0x262626), TColor(0xD4D4D4), TColor(0x999999) },
    /* Office2019Black */ { TColor(0x5C5E60), Keep, TColor(0xFFFFFF), ssDefault, TColor(0x646464), TColor(0x646464), TColor(0xD4D4D4), TColor(0x999999) },
};
static_assert(std::size(SelectionPresets) == gsOffice2019Black + 1);

struct TPresetHover {
    TColor From, To, MirrorFrom, MirrorTo, Border;
};
struct TPresetStates {
    TPresetHover Hover, Down;
};

// Each RGB channel of AC (white when none) times Factor, at most 255.
TColor Lighter(TColor AC, double Factor)
{
    const TColor rgb = AC == clNone ? TColor(0xFFFFFF) : TColor(ColorToRGB(AC) & 0xFFFFFF);
    auto scale = [&](int shift) {
        const int c = int(RoundHalfEven(((rgb >> shift) & 0xFF) * Factor));
        return TColor(std::min(c, 255)) << shift;
    };
    return TColor(scale(0) | scale(8) | scale(16));
}

TPresetHover All(TColor C, TColor Border) { return { C, C, C, C, Border }; }

// The hover and pressed fixed-cell gradients of the styles that set them.
std::optional<TPresetStates> StatePreset(TRirEvozStyle Style, TColor AC)
{
    switch (Style) {
    case gsOffice2007Luna:
        return TPresetStates { { TColor(0xE4E2DF), TColor(0xDBD3CD), TColor(0xDBD3CD), TColor(0xD2C5BC), TColor(0xB79F87) },
            All(TColor(0xE4C19D), TColor(0xE4C19D)) };
    case gsWindowsVista:
        return TPresetStates { { TColor(0xFFF7E3), TColor(0xFFF7E3), TColor(0xFFEDBD), TColor(0xFBE7B7), TColor(0xE3C993) },
            { TColor(0xF9E4BC), TColor(0xF9E4BC), TColor(0xF7D68D), TColor(0xF5D18A), TColor(0xAE904F) } };
    case gsWindows7:
        return TPresetStates { { TColor(0xFEFBF8), TColor(0xFAF2ED), TColor(0xF4E4D7), TColor(0xE8D2C1), TColor(0xEEE8E3) },
            { TColor(0xF1E8DD), TColor(0xF1E4D8), TColor(0xECDBCF), TColor(0xEDDCCF), TColor(0xD5BCAA) } };
    case gsOffice2010Blue: case gsOffice2010Silver: case gsOffice2010Black:
        return TPresetStates { { TColor(0x6BDFFF), TColor(0xAFEFFF), TColor(0xAFEFFF), TColor(0xE6FCFF), TColor(0x3ABFE8) },
            { TColor(0x5BD5FF), TColor(0x64E0FF), TColor(0x64E0FF), TColor(0x71EFFF), TColor(0x308AC2) } };
    case gsWindows8: case gsWindows10:
        return TPresetStates { All(TColor(0xF7EFE8), TColor(0xF9CEA4)), All(TColor(0xF7E0C9), TColor(0xE4A262)) };
    case gsOffice2013White: case gsOffice2013LightGray: case gsOffice2013Gray:
        return TPresetStates { All(TColor(0xFCF0E4), TColor(0xEAB47E)), All(TColor(0xFCE2C8), TColor(0xE59D56)) };
    case gsOffice2016White: case gsOffice2016Gray: case gsOffice2016Black:
    case gsOffice2019White: case gsOffice2019Gray: case gsOffice2019Black:
        return TPresetStates { All(Lighter(AC, 1.6), TColor(0xB1B1B1)), All(Lighter(AC, 1.2), TColor(0xABABAB)) };
    default:
        return std::nullopt;
    }
}

// The sorted column's header colour of a style (all four the same), or
// nullopt for none; Vista and Windows 7 have a gradient of their own.
std::optional<TColor> HeaderPreset(TRirEvozStyle Style, TColor GradientFrom)
{
    switch (Style) {
    case gsOffice2010Blue: return TColor(0xD6CEC7);
    case gsOffice2010Silver: return TColor(0xAAAAAA);
    case gsOffice2010Black: return TColor(0xBABABA);
    case gsWindows8: case gsWindows10:
    case gsOffice2013White: case gsOffice2013LightGray: case gsOffice2013Gray:
    case gsOffice2016White: case gsOffice2016Gray: case gsOffice2016Black:
    case gsOffice2019White: case gsOffice2019Gray: case gsOffice2019Black:
        return GradientFrom;
    default:
        return std::nullopt;
    }
}

// Which of the ControlLook fixed-gradient properties a preset leaves set.
enum TControlLookGradient { clgNone, clgFromTo, clgAll, clgMirrors };

TControlLookGradient ControlLookGradientOf(TRirEvozStyle Style)
{
    switch (Style) {
    case gsOffice2003Blue: case gsOffice2003Silver: case gsOffice2003Olive:
    case gsOffice2007Luna: case gsOffice2007Obsidian: case gsOffice2007Silver: case gsOffice2019White:
        return clgFromTo;
    case gsOffice2019Gray: case gsOffice2019Black:
        return clgAll;
    case gsWindowsVista: case gsWindows7: case gsOffice2010Blue: case gsOffice2010Silver: case gsOffice2010Black:
    case gsWindows8: case gsWindows10: case gsOffice2013White: case gsOffice2013LightGray: case gsOffice2013Gray:
    case gsOffice2016White: case gsOffice2016Gray: case gsOffice2016Black:
        return clgMirrors;
    default:
        return clgNone;
    }
}

void Apply(TColor& Field, TColor Value)
{
    if (Value != Keep)
        Field = Value;
}

} // namespace

void TDedOzovedUrad::SetSortHeaderColors(TColor From, TColor To, TColor MirrorFrom, TColor MirrorTo)
{
    FSortSettings->SetHeaderColor(From);
    FSortSettings->SetHeaderColorTo(To);
    FSortSettings->SetHeaderMirrorColor(MirrorFrom);
    FSortSettings->SetHeaderMirrorColorTo(MirrorTo);
}

void TDedOzovedUrad::SetStyle(TRirEvozStyle AStyle) { SetStyleAndAppColor(AStyle, clNone); }

void TDedOzovedUrad::SetStyleAndAppColor(TRirEvozStyle AStyle, TColor AppColor)
{
    if (AStyle < gsOffice2003Blue || AStyle > gsOffice2019Black)
        return;
    const TPresetFixed& F = FixedPresets[AStyle];
    // The look goes first: its own preset must not overwrite this one's
    // colours (the same look again changes nothing).
    // A preset cell reading "unchanged" keeps what the grid had before the
    // look's own preset cleared it.
    const TColor Before[4] = { FLumGradFrom, FLumGradTo, FLumGradMirrorFrom, FLumGradMirrorTo };
    if (F.Look)
        SetLook(*F.Look);
    FLumGradFrom = Before[0];
    FLumGradTo = Before[1];
    FLumGradMirrorFrom = Before[2];
    FLumGradMirrorTo = Before[3];

    // What every style starts from.
    SetSelectionColor(clHighlight);
    SetSelectionColorTo(clNone);
    SetSelectionMirrorColor(clNone);
    SetSelectionMirrorColorTo(clNone);
    SetSelectionTextColor(clHighlightText);
    SetSelectionStyle(ssDefault);
    SetSortHeaderColors(clNone, clNone, clNone, clNone);
    FActiveCellFont->SetColor(clWindowText);
    FFixedFont->SetColor(TColor(0));
    GetFont()->SetColor(clWindowText);
    FControlLook->Init();

    if (F.Border != Keep)
        SetBorderColor(F.Border);
    if (F.Fixed != Keep)
        SetFixedColor(F.Fixed);
    Apply(FLumGradFrom, F.From);
    Apply(FLumGradTo, F.To);
    Apply(FLumGradMirrorFrom, F.MirrorFrom);
    Apply(FLumGradMirrorTo, F.MirrorTo);
    if (AStyle >= gsOffice2013White)
        FStyle = ROZEVizer(AStyle);

    if (AStyle >= gsOffice2010Blue) {
        FLumGradHoverFrom = FLumGradHoverTo = FLumGradHoverMirrorFrom = FLumGradHoverMirrorTo = clNone;
        FLumGradHoverBorder = clNone;
        FLumGradDownFrom = FLumGradDownTo = FLumGradDownMirrorFrom = FLumGradDownMirrorTo = clNone;
        FLumGradDownBorder = clNone;
    }
    if (const auto S = StatePreset(AStyle, AppColor)) {
        FLumGradHoverFrom = S->Hover.From;
        FLumGradHoverTo = S->Hover.To;
        FLumGradHoverMirrorFrom = S->Hover.MirrorFrom;
        FLumGradHoverMirrorTo = S->Hover.MirrorTo;
        FLumGradHoverBorder = S->Hover.Border;
        FLumGradDownFrom = S->Down.From;
        FLumGradDownTo = S->Down.To;
        FLumGradDownMirrorFrom = S->Down.MirrorFrom;
        FLumGradDownMirrorTo = S->Down.MirrorTo;
        FLumGradDownBorder = S->Down.Border;
    }
    if (AStyle == gsWindowsVista || AStyle == gsWindows7) {
        SetSortHeaderColors(TColor(0xFCF9F2), TColor(0xFCF9F2), TColor(0xF9F1E1), TColor(0xF6ECD8));
    } else if (const auto H = HeaderPreset(AStyle, FLumGradFrom)) {
        SetSortHeaderColors(*H, *H, *H, *H);
    }

    TPresetSelection S = SelectionPresets[AStyle];
    if (AppColor != clNone && (AStyle == gsOffice2019White || AStyle == gsOffice2019Gray)) {
        S.Selection = Lighter(AppColor, 1.2);
        S.Active = S.ActiveTo = AppColor;
    }
    if (S.Selection != Keep) {
        SetSelectionColor(S.Selection);
        SetSelectionTextColor(S.SelectionText);
    }
    if (S.SelectionTo != Keep)
        SetSelectionColorTo(S.SelectionTo);
    SetSelectionStyle(S.Style);
    if (S.Active != Keep) {
        SetActiveCellColor(S.Active);
        SetActiveCellColorTo(S.ActiveTo);
        SetGridLineColor(S.Line);
        SetGridFixedLineColor(S.FixedLine);
    }
    switch (AStyle) {
    case gsOffice2016White:
        if (AppColor != clNone)
            FActiveCellFont->SetColor(AppColor);
        break;
    case gsOffice2019White:
        FActiveCellFont->SetColor(TColor(0x444648));
        FFixedFont->SetColor(TColor(0x3B3B3B));
        break;
    case gsOffice2016Gray: case gsOffice2016Black: case gsOffice2019Gray:
        FActiveCellFont->SetColor(TColor(0xFFFFFF));
        FFixedFont->SetColor(TColor(0xFFFFFF));
        break;
    case gsOffice2019Black:
        FActiveCellFont->SetColor(TColor(0xFFFFFF));
        FFixedFont->SetColor(TColor(0xFFFFFF));
        GetFont()->SetColor(TColor(0x232425));
        break;
    default:
        break;
    }

    // The ControlLook's own fixed-gradient properties (the setters pass
    // colours other than none on to the painted state, which holds them
    // already).
    switch (ControlLookGradientOf(AStyle)) {
    case clgFromTo:
        FControlLook->SetFixedGradientFrom(FLumGradFrom);
        FControlLook->SetFixedGradientTo(FLumGradTo);
        break;
    case clgAll:
        FControlLook->SetFixedGradientFrom(FLumGradFrom);
        FControlLook->SetFixedGradientTo(FLumGradTo);
        FControlLook->SetFixedGradientMirrorFrom(FLumGradMirrorFrom);
        FControlLook->SetFixedGradientMirrorTo(FLumGradMirrorTo);
        break;
    case clgMirrors:
        FControlLook->SetFixedGradientMirrorFrom(FLumGradMirrorFrom);
        FControlLook->SetFixedGradientMirrorTo(FLumGradMirrorTo);
        break;
    case clgNone:
        break;
    }

    if (AStyle != gsCustom && AStyle != gsTerminal) {
        FSearchFooter->SetColor(FLumGradFrom);
        FSearchFooter->SetColorTo(FLumGradMirrorTo);
    }
    Invalidate();
}

void TDedOzovedUrad::SetComponentStyle(ROZEVizer AStyle) { SetComponentStyleAndAppColor(AStyle, clNone); }

void TDedOzovedUrad::SetComponentStyleAndAppColor(ROZEVizer AStyle, TColor AppColor)
{
    FStyle = AStyle;
    if (AStyle == tsCustom)
        return;
    SetStyleAndAppColor(TRirEvozStyle(AStyle), AppColor);
    if (!IsDesigning())
        StyleDropDownEditors(AStyle);
    if (FScrollType == ssMetro)
        SetScrollType(ssNormal);
    if (HandleAllocated())
        StyleApplied();
    FStyle = AStyle;
}

void TDedOzovedUrad::StyleDropDownEditors(ROZEVizer AStyle)
{
    // The drop-down editors are the grid's own components; whatever of them
    // takes a style gets it.
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* Styled = Supports<ILumStyle>(GetComponent(i)))
            Styled->SetComponentStyle(AStyle);
}

void TDedOzovedUrad::ToneDropDownEditors(const TColorTones& ATones)
{
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* Toned = Supports<ILumTones>(GetComponent(i)))
            Toned->SetColorTones(ATones);
}

void TDedOzovedUrad::SetColorTones(const TColorTones& ATones)
{
    FTones = ATones;
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(ssMetro);

    SetFixedColor(ATones.Foreground.BrushColor);
    FFixedFont->SetColor(ATones.Foreground.TextColor);
    FFixedFont->SetName(DefaultUIFontName());
    GetFont()->SetName(DefaultUIFontName());
    SetColor(ATones.Background.BrushColor);
    GetFont()->SetColor(ATones.Background.TextColor);

    SetSelectionColor(ATones.Selected.BrushColor);
    SetSelectionTextColor(ATones.Selected.TextColor);
    SetSelectionColorTo(clNone);

    SetGridLineColor(TColor(0xE6E6E6));
    SetGridFixedLineColor(VuzEraz::LightenColorPercent(ATones.Foreground.BrushColor, -20));
    SetBorderStyle(bsNone);

    FControlLook->SetControlStyle(RirEvoz::csGlyph);
    auto LoadGlyph = [](TBitmap* Glyph, const char16_t* Name) { Glyph->LoadFromResourceName(nullptr, Name); };
    LoadGlyph(FControlLook->GetCheckedGlyph(), u"metrocheckon");
    LoadGlyph(FControlLook->GetUnCheckedGlyph(), u"metrocheckoff");
    LoadGlyph(FControlLook->GetRadioOffGlyph(), u"metroradiooff");
    LoadGlyph(FControlLook->GetRadioOnGlyph(), u"metroradioon");
    FControlLook->GetGrayedGlyph()->Assign(nullptr);

    // The grid-bound editors take the tones once they exist; the drop-down
    // editors through their styling interface.
    if (!IsDesigning()) {
        ToneGridEditors(ATones);
        ToneDropDownEditors(ATones);
    }

    FControlLook->SetFlatButton(true);
    FFloatingFooter->SetColor(ATones.Foreground.BrushColor);
    FSearchFooter->SetColor(ATones.Foreground.BrushColor);
    FSearchFooter->SetColorTo(ATones.Foreground.BrushColor);
    FCellNode->SetNodeType(cnFlat);
}

void TDedOzovedUrad::SetTheme(TXPColorScheme Scheme)
{
    struct TScheme {
        TColor From, To, MirrorFrom, MirrorTo, FooterFrom, FooterTo;
    };
    TScheme S {};
    switch (Scheme) {
    case xpBlue: S = { TColor(0xFCE1CB), TColor(0xE0A57D), clNone, clNone, TColor(0xFCE1CB), TColor(0xE0A57D) }; break;
    case xpGreen: S = { TColor(0xCFF0EA), TColor(0x8CC0B1), clNone, clNone, TColor(0xCFF0EA), TColor(0x8CC0B1) }; break;
    case xpGray: S = { TColor(0xECE2E1), TColor(0xB39698), clNone, clNone, TColor(0xECE2E1), TColor(0xB39698) }; break;
    case vistaAero:
        S = { TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFAF8F7), TColor(0xF4F2F1), TColor(0xECE2E1), TColor(0xB39698) };
        break;
    case xpNone:
    default:
        SetActiveCellColor(TColor(0xFFFFFF));
        SetActiveCellColorTo(TColor(0xFFD9B3));
        FLumGradFrom = TColor(0xFFFFFF);
        FLumGradTo = clBtnFace;
        FLumGradMirrorFrom = FLumGradMirrorTo = clNone;
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
        FSearchFooter->SetColor(TColor(0xFFFFFF));
        FSearchFooter->SetColorTo(TColor(0xFFD9B3));
        Invalidate();
        return;
    }
    SetActiveCellColor(TColor(0x94E6FB));
    SetActiveCellColorTo(TColor(0x1595EE));
    FLumGradFrom = S.From;
    FLumGradTo = S.To;
    FLumGradMirrorFrom = S.MirrorFrom;
    FLumGradMirrorTo = S.MirrorTo;
    FControlLook->SetFixedGradientFrom(S.From);
    FControlLook->SetFixedGradientTo(S.To);
    FSearchFooter->SetColor(S.FooterFrom);
    FSearchFooter->SetColorTo(S.FooterTo);
    Invalidate();
}

ROZEVizer TDedOzovedUrad::OfficeThemeStyle(TOfficeTheme Theme)
{
    static constexpr ROZEVizer Styles[] = { tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive,
        tsOffice2003Classic, tsOffice2007Luna, tsOffice2007Silver, tsOffice2007Obsidian, tsOffice2010Blue,
        tsOffice2010Silver, tsOffice2010Black, tsOffice2013White, tsOffice2013LightGray, tsOffice2013Gray,
        tsOffice2016White, tsOffice2016Gray, tsOffice2016Black, tsOffice2019White, tsOffice2019Gray,
        tsOffice2019Black };
    static_assert(std::size(Styles) == otUnknown);
    return Theme >= ot2003Blue && Theme < otUnknown ? Styles[Theme] : tsCustom;
}

void TDedOzovedUrad::AdaptToOfficeTheme()
{
    if (!FAutoThemeAdapt || IsDesigning())
        return;
    const TOfficeTheme Theme = CurrentOfficeTheme();
    if (Theme == FOldOfficeTheme)
        return;
    FOldOfficeTheme = Theme;
    if (Theme != otUnknown)
        SetComponentStyle(OfficeThemeStyle(Theme));
}
