#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumDropDownButton.h"

// The colour sets that restyle a drop-down for each style of the shared
// style enumeration.

namespace {

// "Leave the value as it is" and "the value just set as Color".
constexpr TColor Same = TColor(0xFFFFFFFF);
constexpr TColor AsColor = TColor(0xFFFFFFFE);

struct StyleColors {
    ROZEVizer Style;
    TColor DropDownColor, DropDownColorTo, DropDownBorderColor;
    TColor HeaderColor, HeaderColorTo, HeaderFont, HeaderBorderColor;
};

struct ButtonColors {
    ROZEVizer Style;
    TColor Value[16];
};

enum ButtonColumn {
    bcColor, bcColorTo, bcBorder, bcHot, bcHotTo, bcBorderHot, bcDown, bcDownTo, bcBorderDown, bcDisabled,
    bcDisabledTo, bcBorderDisabled, bcChecked, bcCheckedTo, bcBorderChecked, bcFont
};

const StyleColors DropDownColors[] = {
    { tsOffice2003Blue, TColor(0xFFFFFF), clNone, Same, TColor(0xFCE1CB), TColor(0xE0A57D), TColor(0x000000), TColor(0x000000) },
    { tsOffice2003Silver, TColor(0xFFFFFF), clNone, Same, TColor(0xECE2E1), TColor(0xB39698), TColor(0x000000), TColor(0x947C7C) },
    { tsOffice2003Olive, TColor(0xFFFFFF), clNone, clNone, TColor(0xCFF0EA), TColor(0x8CC0B1), TColor(0x000000), TColor(0x588060) },
    { tsOffice2003Classic, TColor(0xF2F2F2), TColor(0xF2F2F2), clNone, TColor(0x808080), TColor(0x808080), TColor(0xFFFFFF), TColor(0x808080) },
    { tsOffice2007Luna, TColor(0xF3E5DA), TColor(0xF0DED0), clNone, TColor(0xFFEFE3), TColor(0xFFD2AF), TColor(0x723708), TColor(0xFFD2AF) },
    { tsOffice2007Obsidian, TColor(0xFFFFFF), clNone, clNone, TColor(0xF2F1F0), TColor(0xC9C2BD), TColor(0x433C37), TColor(0x5C534C) },
    { tsWindowsXP, TColor(0xFFFFFF), clNone, Same, TColor(0xFFFFFF), clBtnFace, TColor(0x000000), TColor(0x808080) },
    { tsWhidbey, TColor(0xF5F9FA), TColor(0xF5F9FA), clNone, TColor(0xEBEEEF), TColor(0x7E9898), TColor(0xFFFFFF), TColor(0x962D00) },
    { tsOffice2007Silver, TColor(0xF8F4F1), TColor(0xF0E8E3), clNone, TColor(0xF8F7F6), TColor(0xE8E0DB), TColor(0x8B4215), TColor(0x74706F) },
    { tsWindowsVista, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0x979797), TColor(0xFFFDF9), TColor(0xFFFAF0), TColor(0x000000), TColor(0xFCF2DA) },
    { tsWindows7, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0x979797), TColor(0xFDFBFA), TColor(0xFDF3EB), TColor(0x000000), TColor(0xFBD6B8) },
    { tsTerminal, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0x808080), clBtnFace, clBtnFace, TColor(0x000000), clNone },
    { tsOffice2010Blue, TColor(0xFFFFFF), TColor(0xF1EFED), TColor(0xEDEDEC), TColor(0xFDF6EF), TColor(0xF0DAC7), TColor(0x5B391E), TColor(0xC7B29F) },
    { tsOffice2010Silver, TColor(0xFFFFFF), TColor(0xF1EFED), TColor(0xEDEDEC), TColor(0xFFFFFF), TColor(0xEDE5E0), TColor(0x5B391E), TColor(0xD2CDC8) },
    { tsOffice2010Black, TColor(0xFFFFFF), TColor(0xF1EFED), TColor(0xEDEDEC), TColor(0xBFBFBF), TColor(0x919191), TColor(0xD7D7D6), TColor(0x6D6D6D) },
    { tsWindows8, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xE4E3E2), TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0x000000), TColor(0xE4E3E2) },
    { tsWindows10, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xE4E3E2), TColor(0xF7F6F5), TColor(0xF7F6F5), TColor(0x000000), TColor(0xE4E3E2) },
    { tsOffice2013White, TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xFFFFFF), clNone, TColor(0x000000), TColor(0xD4D4D4) },
    { tsOffice2013LightGray, TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xF6F6F6), clNone, TColor(0x000000), TColor(0xC6C6C6) },
    { tsOffice2013Gray, TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xE5E5E5), clNone, TColor(0x000000), TColor(0xABABAB) },
    { tsOffice2016White, TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xFFFFFF), clNone, TColor(0x505050), TColor(0xD4D4D4) },
    { tsOffice2016Gray, TColor(0xB2B2B2), clNone, TColor(0x444444), TColor(0x444444), clNone, TColor(0xF0F0F0), TColor(0x444444) },
    { tsOffice2016Black, TColor(0x363636), clNone, TColor(0x444444), TColor(0x444444), clNone, TColor(0xF0F0F0), TColor(0x444444) },
    { tsOffice2019White, TColor(0xFFFFFF), clNone, TColor(0xC4C6C8), TColor(0xFFFFFF), clNone, TColor(0x5E5E5E), TColor(0xABABAB) },
    { tsOffice2019Gray, TColor(0xB8BBBE), clNone, TColor(0x666666), TColor(0xB8BBBE), clNone, TColor(0x232425), TColor(0x808080) },
    { tsOffice2019Black, TColor(0x444444), clNone, TColor(0xADB0B3), TColor(0x444444), clNone, TColor(0xFFFFFF), TColor(0x444648) },
};
const ButtonColors ButtonAppearanceColors[] = {
    { tsOffice2003Blue, { TColor(0xFCE1CB), TColor(0xE0A57D), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsOffice2003Silver, { TColor(0xECE2E1), TColor(0xB39698), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsOffice2003Olive, { TColor(0xCFF0EA), TColor(0x8CC0B1), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsOffice2003Classic, { TColor(0xFFFFFF), TColor(0xC9D1D5), clNone, TColor(0xD2BDB6), TColor(0xD2BDB6), TColor(0x808080), TColor(0xB59285), TColor(0xB59285), TColor(0x808080), TColor(0xD8D5D4), TColor(0xD8D5D4), Same, TColor(0xD8D5D4), TColor(0xD8D5D4), TColor(0x808080), Same } },
    { tsOffice2007Luna, { TColor(0xFFEFE3), TColor(0xFFDDC4), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsOffice2007Obsidian, { TColor(0xF2F1F0), TColor(0xC9C2BD), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsWindowsXP, { TColor(0xFFFFFF), clBtnFace, clNone, TColor(0xEFD3C6), TColor(0xEFD3C6), clHighlight, clActiveCaption, clActiveCaption, clHighlight, TColor(0xB6B6B6), TColor(0xB6B6B6), Same, TColor(0xB9D8DC), TColor(0xB9D8DC), TColor(0x000000), Same } },
    { tsWhidbey, { TColor(0xFFFFFF), TColor(0xDFEDF0), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsOffice2007Silver, { TColor(0xF9F8F8), TColor(0xE4E2DF), clNone, TColor(0xEBFDFF), TColor(0xACECFF), TColor(0x99CEDB), TColor(0xAAD9FF), TColor(0x6EBBFF), TColor(0x42AEFE), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x76AFF1), TColor(0x4190F3), TColor(0x45667B), Same } },
    { tsWindowsVista, { TColor(0xFFFDF9), TColor(0xFFFAF0), TColor(0xFCF2DA), TColor(0xFEF9F0), TColor(0xFFFAF0), TColor(0xFCF2DA), TColor(0xFEF9F0), TColor(0xFDF0D7), TColor(0xFEDF9A), TColor(0xFFFFFF), TColor(0xFFFFFF), Same, TColor(0xFEF9F0), TColor(0xFDF0D7), TColor(0xFEDF9A), Same } },
    { tsWindows7, { TColor(0xFDFBFA), TColor(0xFDF3EB), TColor(0xFBD6B8), TColor(0xFDFBFA), TColor(0xFDF3EB), TColor(0xFBD6B8), TColor(0xFCEBDC), TColor(0xFCDBC1), TColor(0xCEA27D), TColor(0xFFFFFF), TColor(0xFFFFFF), Same, TColor(0xFEF9F0), TColor(0xFCDBC1), TColor(0xCEA27D), Same } },
    { tsTerminal, { clBtnFace, clBtnFace, clNone, TColor(0xC0C0C0), TColor(0xC0C0C0), TColor(0x808080), clHighlight, clHighlight, TColor(0x808080), clBtnFace, clBtnFace, Same, clBtnFace, clBtnFace, clHighlight, Same } },
    { tsOffice2010Blue, { TColor(0xFDF6EF), TColor(0xF0DAC7), TColor(0xC7B29F), TColor(0x8AE3FD), clNone, TColor(0x58CAF1), TColor(0x6CD0FF), clNone, TColor(0x308AC2), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x45E1FE), clNone, TColor(0x4FA0CE), Same } },
    { tsOffice2010Silver, { TColor(0xFFFFFF), TColor(0xEDE5E0), TColor(0xD2CDC8), TColor(0x8AE3FD), clNone, TColor(0x58CAF1), TColor(0x6CD0FF), clNone, TColor(0x308AC2), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x45E1FE), clNone, TColor(0x4FA0CE), Same } },
    { tsOffice2010Black, { TColor(0xBFBFBF), TColor(0x919191), TColor(0xD7D7D6), TColor(0x8AE3FD), clNone, TColor(0x58CAF1), TColor(0x6CD0FF), clNone, TColor(0x308AC2), TColor(0xF2F2F2), TColor(0xB6B6B6), Same, TColor(0x45E1FE), clNone, TColor(0x4FA0CE), Same } },
    { tsWindows8, { TColor(0xF7F6F5), clNone, TColor(0xE4E3E2), TColor(0xF7EFE8), clNone, TColor(0xF9CEA4), TColor(0xF7E0C9), clNone, TColor(0xE4A262), TColor(0xF7F7F7), clNone, AsColor, TColor(0xDAA026), clNone, TColor(0xDAA026), Same } },
    { tsWindows10, { TColor(0xF7F6F5), clNone, TColor(0xE4E3E2), TColor(0xF7EFE8), clNone, TColor(0xF9CEA4), TColor(0xF7E0C9), clNone, TColor(0xE4A262), TColor(0xF7F7F7), clNone, AsColor, TColor(0xDAA026), clNone, TColor(0xDAA026), Same } },
    { tsOffice2013White, { TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xFCF0E4), clNone, TColor(0xEAB47E), TColor(0xFCE2C8), clNone, TColor(0xE59D56), TColor(0xEEEEEE), clNone, TColor(0xACACAC), TColor(0xFF9933), clNone, TColor(0xFF9933), Same } },
    { tsOffice2013LightGray, { TColor(0xF6F6F6), clNone, TColor(0xC6C6C6), TColor(0xFCF0E4), clNone, TColor(0xEAB47E), TColor(0xFCE2C8), clNone, TColor(0xE59D56), TColor(0xEEEEEE), clNone, TColor(0xACACAC), TColor(0xFF9933), clNone, TColor(0xFF9933), Same } },
    { tsOffice2013Gray, { TColor(0xE5E5E5), clNone, TColor(0xABABAB), TColor(0xFCF0E4), clNone, TColor(0xEAB47E), TColor(0xFCE2C8), clNone, TColor(0xE59D56), TColor(0xEEEEEE), clNone, TColor(0xACACAC), TColor(0xFF9933), clNone, TColor(0xFF9933), Same } },
    { tsOffice2016White, { TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xF2E1D5), clNone, TColor(0xF2E1D5), TColor(0xE3BDA3), clNone, TColor(0xE3BDA3), TColor(0xFFFFFF), clNone, TColor(0xD4D4D4), TColor(0xF2D5C2), clNone, TColor(0xF2D5C2), Same } },
    { tsOffice2016Gray, { TColor(0xB2B2B2), clNone, TColor(0x444444), TColor(0xF2E1D5), clNone, TColor(0xF2E1D5), TColor(0xE3BDA3), clNone, TColor(0xE3BDA3), TColor(0xB2B2B2), clNone, TColor(0x444444), TColor(0xF2D5C2), clNone, TColor(0xF2D5C2), Same } },
    { tsOffice2016Black, { TColor(0x363636), TColor(0x363636), TColor(0x444444), TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0x6A6A6A), TColor(0x444444), TColor(0x444444), TColor(0x444444), TColor(0x363636), clNone, TColor(0x444444), TColor(0x575757), TColor(0x575757), TColor(0x575757), TColor(0xA6A6A6) } },
    { tsOffice2019White, { TColor(0xFFFFFF), clNone, TColor(0xABABAB), TColor(0xF2E1D5), clNone, TColor(0xE3BDA3), TColor(0xE3BDA3), clNone, TColor(0xE3BDA3), TColor(0xFFFFFF), clNone, TColor(0x787775), TColor(0xE3BDA3), clNone, TColor(0xE3BDA3), TColor(0x444648) } },
    { tsOffice2019Gray, { TColor(0xB8BBBE), clNone, TColor(0x808080), TColor(0x969696), clNone, TColor(0x505050), TColor(0x666666), clNone, TColor(0x666666), TColor(0xD4D4D4), clNone, TColor(0x303030), TColor(0x969696), clNone, TColor(0x666666), TColor(0x232425) } },
    { tsOffice2019Black, { TColor(0x444444), TColor(0x444444), TColor(0x686868), TColor(0x686868), TColor(0x686868), TColor(0xB5B5B5), TColor(0x828282), TColor(0x828282), TColor(0x828282), TColor(0x444444), clNone, TColor(0xC4C4C4), TColor(0x686868), TColor(0x686868), TColor(0x828282), TColor(0xFFFFFF) } },
};

template<class Row, std::size_t N>
const Row* RowOf(const Row (&Rows)[N], ROZEVizer Style)
{
    for (const Row& R : Rows)
        if (R.Style == Style)
            return &R;
    return nullptr;
}

void Put(TLumButtonAppearance* A, void (TLumButtonAppearance::*Setter)(TColor), TColor Value)
{
    if (Value == Same)
        return;
    (A->*Setter)(Value == AsColor ? A->GetColor() : Value);
}

void ApplyStripColors(TStripAppearance* A, const StyleColors& Row)
{
    A->SetColor(Row.HeaderColor);
    A->SetColorTo(Row.HeaderColorTo);
    A->GetFont()->SetColor(Row.HeaderFont);
    A->SetBorderColor(Row.HeaderBorderColor);
}

void ApplyButtonColors(TLumButtonAppearance* A, const ButtonColors& Row)
{
    using T = TLumButtonAppearance;
    static constexpr void (T::*Setters[])(TColor) = { &T::SetColor, &T::SetColorTo, &T::SetBorderColor,
        &T::SetColorHot, &T::SetColorHotTo, &T::SetBorderColorHot, &T::SetColorDown, &T::SetColorDownTo,
        &T::SetBorderColorDown, &T::SetColorDisabled, &T::SetColorDisabledTo, &T::SetBorderColorDisabled,
        &T::SetColorChecked, &T::SetColorCheckedTo, &T::SetBorderColorChecked };
    A->GetFont()->SetColor(clWindowText);
    for (int i = bcColor; i < bcFont; ++i)
        Put(A, Setters[i], Row.Value[i]);
    if (Row.Value[bcFont] != Same)
        A->GetFont()->SetColor(Row.Value[bcFont]);
}

// The drop-down button's own colours: the Office 2019 looks paint it,
// every other style leaves it to the platform look.
void ApplyDropDownButtonColors(TDropDownEditButton* B, ROZEVizer Style)
{
    struct Row {
        ROZEVizer Style;
        TColor Color, Hot, Down, Text, TextHot, TextDown;
    };
    static const Row Rows[] = {
        { tsOffice2019White, 0xFFFFFF, 0xF2E1D5, 0xE3BDA3, 0x444648, 0x232425, 0x232425 },
        { tsOffice2019Gray, 0xB8BBBE, 0x969696, 0x666666, 0x232425, 0x232425, 0x232425 },
        { tsOffice2019Black, 0x444444, 0x686868, 0x828282, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF },
    };
    if (const Row* R = RowOf(Rows, Style)) {
        B->SetButtonColor(R->Color);
        B->SetButtonColorHot(R->Hot);
        B->SetButtonColorDown(R->Down);
        B->SetButtonTextColor(R->Text);
        B->SetButtonTextColorHot(R->TextHot);
        B->SetButtonTextColorDown(R->TextDown);
        return;
    }
    B->SetButtonColor(clNone);
    B->SetButtonColorHot(clNone);
    B->SetButtonColorDown(clNone);
    B->SetButtonBorderColor(clNone);
    B->SetButtonTextColor(clNone);
    B->SetButtonTextColorHot(clNone);
    B->SetButtonTextColorDown(clNone);
}

} // namespace

void TLumCustomDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    FLumStyle = AStyle;
    if (AStyle == tsCustom)
        return;
    switch (AStyle) {
    case tsOffice2019White: SetColor(0xFFFFFF); GetFont()->SetColor(0x444648); break;
    case tsOffice2019Gray: SetColor(0xB8BBBE); GetFont()->SetColor(0x232425); break;
    case tsOffice2019Black: SetColor(0x444444); GetFont()->SetColor(0xFFFFFF); break;
    default: SetColor(clWindow); GetFont()->SetColor(clWindowText); break;
    }
    if (const StyleColors* Row = RowOf(DropDownColors, AStyle)) {
        if (Row->DropDownColor != Same)
            SetDropDownColor(Row->DropDownColor);
        if (Row->DropDownColorTo != Same)
            FDropDownColorTo = Row->DropDownColorTo;
        if (Row->DropDownBorderColor != Same)
            FDropDownBorderColor = Row->DropDownBorderColor;
        ApplyStripColors(FDropDownHeader.get(), *Row);
        ApplyStripColors(FDropDownFooter.get(), *Row);
        // The two styles whose footer differs from their header.
        if (AStyle == tsOffice2003Blue)
            FDropDownFooter->SetBorderColor(0x962D00);
        if (AStyle == tsWindowsVista) {
            FDropDownFooter->SetColor(0xFFFAF0);
            FDropDownFooter->SetColorTo(0xFFFDF9);
        }
    }
    if (const ButtonColors* Row = RowOf(ButtonAppearanceColors, AStyle))
        ApplyButtonColors(FButtonAppearance.get(), *Row);
    if (FButton)
        ApplyDropDownButtonColors(FButton, AStyle);
}
