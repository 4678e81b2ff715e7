// The grid's Look presets: whole sets of fixed-cell, selection and line
// colours applied at once, and their names.

#include "grid/core/DedOzovedUrad.h"

namespace {

struct TLookNames {
    TGridLook Look;
    const char16_t* Name;
    const char16_t* Caption;
};

const TLookNames LookNames[] = {
    { glStandard, u"glStandard", u"Standard" },
    { glSoft, u"glSoft", u"Soft" },
    { glClassic, u"glClassic", u"Classic" },
    { glZID, u"glZID", u"ZID" },
    { glXP, u"glXP", u"Windows XP" },
    { glListView, u"glListView", u"ListView" },
    { glVista, u"glVista", u"Windows Vista" },
    { glWin7, u"glWin7", u"Windows 7" },
    { glOffice2007, u"glOffice2007", u"Office2007" },
};

const TLookNames* NamesOf(TGridLook Look)
{
    for (const TLookNames& N : LookNames)
        if (N.Look == Look)
            return &N;
    return nullptr;
}

} // namespace

void TDedOzovedUrad::GridLookName(TGridLook Look, String& Name)
{
    if (const TLookNames* N = NamesOf(Look))
        Name = N->Name;
}

void TDedOzovedUrad::GridLookCaption(TGridLook Look, String& Caption)
{
    if (const TLookNames* N = NamesOf(Look))
        Caption = N->Caption;
}

void TDedOzovedUrad::SetLook(TGridLook Value)
{
    if (Value == FLook)
        return;
    FLook = Value;

    if (Value != glCustom) {
        FControlLook->SetFixedGradientMirrorFrom(clNone);
        FControlLook->SetFixedGradientMirrorTo(clNone);
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
        FLumGradFrom = clNone;
        FLumGradTo = clNone;
        FLumGradMirrorFrom = clNone;
        FLumGradMirrorTo = clNone;
        FSortSettings->SetHeaderColor(clNone);
    }

    switch (Value) {
    case glVista:
        SetStyle(gsWindowsVista);
        SetSelectionStyle(ssVista);
        break;
    case glWin7:
        SetStyle(gsWindows7);
        SetSelectionStyle(ssWin7);
        break;
    case glOffice2007:
        SetStyle(gsOffice2007Luna);
        SetSelectionStyle(ssOffice2007);
        break;
    case glCustom:
        break;
    default: {
        if (IsLoading())
            break;
        if (!IsDesigning())
            StyleDropDownEditors(tsWindowsXP);
        SetSelectionStyle(ssDefault);

        const bool Plain = Value == glStandard || Value == glSoft || Value == glClassic;
        if (Plain) {
            SetFixedColor(clBtnFace);
            FControlLook->SetFixedGradientFrom(clBtnFace);
            FControlLook->SetFixedGradientTo(clNone);
        } else {
            FControlLook->SetFixedGradientFrom(TColor(0xFFFFFF));
            FControlLook->SetFixedGradientTo(clBtnFace);
        }

        SetGridFixedLineColor(TColor(0x808080));
        FControlLook->SetFixedGradientMirrorFrom(clNone);
        FControlLook->SetFixedGradientMirrorTo(clNone);
        FLumGradMirrorFrom = clNone;
        FLumGradMirrorTo = clNone;
        SetGridLineColor(TColor(0xC0C0C0));

        if (Value == glZID || Value == glXP) {
            SetActiveCellColor(TColor(0xEACAB6));
            SetActiveCellColorTo(clNone);
            SetSelectionColor(TColor(0xEACAB6));
            SetSelectionColorTo(clNone);
            SetSelectionTextColor(TColor(0));
            FSearchFooter->SetColor(FLumGradFrom);
            FSearchFooter->SetColorTo(FLumGradTo);
            FControlLook->SetFixedGradientFrom(TColor(0xFFFFFF));
            FControlLook->SetFixedGradientTo(Value == glXP ? clBtnFace : TColor(0xC0C0C0));
            FControlLook->SetFixedGradientHoverFrom(TColor(0xCFD0D1));
            FControlLook->SetFixedGradientHoverTo(TColor(0xBEC6C8));
            FControlLook->SetFixedGradientHoverMirrorFrom(TColor(0xBEC6C8));
            FControlLook->SetFixedGradientHoverMirrorTo(TColor(0xABBCBF));
            FControlLook->SetFixedGradientDownFrom(TColor(0x868788));
            FControlLook->SetFixedGradientDownTo(TColor(0x737C7E));
            FControlLook->SetFixedGradientDownMirrorFrom(TColor(0x737C7E));
            FControlLook->SetFixedGradientDownMirrorTo(TColor(0x627376));
        } else {
            SetActiveCellColor(TColor(0x808080));
            SetActiveCellColorTo(clNone);
            SetSelectionColor(clHighlight);
            SetSelectionTextColor(clHighlightText);
            FSearchFooter->SetColor(clBtnFace);
            FSearchFooter->SetColorTo(clBtnFace);
        }
        break;
    }
    }

    SetScrollType(ssNormal);
    if (Value != glCustom)
        SetBorderColor(TColor(0xB99D7F));
    if (HandleAllocated()) {
        Invalidate();
        if (!IsLoading())
            FFloatingFooter->Invalidate();
    }
}
