// The analog clock's twelve named looks and its colours for each
// application style.

#include <algorithm>
#include <optional>

#include "dropdown/LumWatch.h"
#include "platform/rtl/MathUtils.h"

namespace {

const String MSS = u"MS Sans Serif";

// Sets the named parts of a font; what is not given stays as it was.
struct FontSpec {
    std::optional<String> Name;
    int Size { 0 };
    std::optional<TFontStyles> Style;
    std::optional<TColor> Color;
};

void ApplyFont(TFont* Font, const FontSpec& Spec)
{
    if (Spec.Name)
        Font->SetName(*Spec.Name);
    if (Spec.Size > 0)
        Font->SetSize(Spec.Size);
    if (Spec.Style)
        Font->SetStyle(*Spec.Style);
    if (Spec.Color)
        Font->SetColor(*Spec.Color);
}

const TFontStyles Regular {};
const TFontStyles Bold { fsBold };

// Mark lengths and dot sizes are kept in a byte: a large clock gets the
// longest a byte holds rather than a wrapped-around short one.
Byte ByteLength(double Value)
{
    return Byte(std::clamp(int(RoundHalfEven(Value)), 0, 255));
}

struct TStyleColors {
    ROZEVizer Style;
    TColor AMPMBorder, AMPM, Background, BackgroundTo, Border, CenterBorder, Center, Hands, Shadows, Second;
};

const TStyleColors StyleColors[] = {
    { tsOffice2003Blue, 0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, clWhite, clWhite },
    { tsOffice2003Silver, 0x962D00, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, clWhite, clWhite },
    { tsOffice2003Olive, 0x962D00, 0x82C0AF, 0xB9EAE1, 0xB9EAE1, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0x82C0AF, clWhite, clWhite },
    { tsOffice2003Classic, 0x962D00, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, clWhite, 0x808080 },
    { tsOffice2007Luna, 0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, clWhite, 0x723708 },
    { tsOffice2007Obsidian, 0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xFFEFE3, 0xFFEFE3, 0xF2F1F0, clWhite, 0xF2F1F0 },
    { tsWindowsXP, clBlack, clBtnFace, clBtnFace, clBtnFace, clBlack, clBlack, clBlack, clBlack, clWhite, clBlack },
    { tsWhidbey, 0x7E9898, 0xF5F9FA, 0xF5F9FA, 0xF5F9FA, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, clWhite, 0x7E9898 },
    { tsOffice2007Silver, 0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xF8F4F1, 0xE8E0DB, 0xE8E0DB, 0x74706F, 0x74706F, clWhite, 0x74706F },
    { tsWindowsVista, 0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, clWhite, 0xFEDF9A },
    { tsWindows7, 0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, clWhite, 0xFBD6B8 },
    { tsTerminal, 0x808080, clBtnFace, clBtnFace, clBtnFace, 0x808080, 0x808080, 0x808080, 0x808080, clWhite, 0x808080 },
    { tsOffice2010Blue, 0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xFDF6EF, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, clWhite, 0xC7B29F },
    { tsOffice2010Silver, 0xD2CDC8, 0xEDE5E0, clWhite, clWhite, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, clSilver, 0xD2CDC8 },
    { tsOffice2010Black, 0x6D6D6D, 0x919191, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, clWhite, 0x6D6D6D },
};

} // namespace

bool ApplyWatchStyleColors(TWatchAppearance* A, ROZEVizer AStyle)
{
    const TStyleColors* Row = nullptr;
    for (const TStyleColors& c : StyleColors)
        if (c.Style == AStyle)
            Row = &c;
    if (!Row)
        return false;
    A->SetAMPMBorderColorSilently(Row->AMPMBorder);
    A->SetAMPMColorSilently(Row->AMPM);
    A->SetBackgroundColor(Row->Background);
    A->SetBackgroundColorTo(Row->BackgroundTo);
    A->SetBorderColor(Row->Border);
    A->SetCenterPointBorderColor(Row->CenterBorder);
    A->SetCenterPointColor(Row->Center);
    A->SetHourColor(Row->Hands);
    A->SetMinuteColor(Row->Hands);
    A->SetHourPointer(Row->Hands);
    A->SetMinutePointer(Row->Hands);
    A->SetHourPointerShadow(Row->Shadows);
    A->SetMinutePointerShadow(Row->Shadows);
    A->SetSecondPointer(Row->Second);
    return true;
}

void TLumWatch::SetComponentStyle(ROZEVizer AStyle)
{
    if (AStyle == tsCustom)
        return;
    TWatchAppearance* A = FAppearance.get();
    A->SetCenterPointOuterBorderColor(clBlack);
    A->GetHourFont()->SetColor(clBlack);
    A->GetAMPMFont()->SetColor(clBlack);
    ApplyWatchStyleColors(A, AStyle);
    if (AStyle == tsOffice2007Obsidian) {
        A->GetAMPMFont()->SetColor(TColor(0xF2F1F0));
        A->GetHourFont()->SetColor(TColor(0xF2F1F0));
    }
    Invalidate();
}

void TLumWatch::SetStyle(TWatchStyle Value)
{
    // A new clock records wsClassic but shows the default look.
    if (Value == FStyle)
        return;
    FStyle = Value;
    if (Value == wsCustom)
        return;
    TWatchAppearance* A = FAppearance.get();
    A->ResetAppearance();
    TFont* AMPMFont = A->GetAMPMFont();
    TFont* HourFont = A->GetHourFont();
    const int Side = std::min(GetWidth(), GetHeight());
    switch (Value) {
    case wsClassic:
        ApplyFont(AMPMFont, { MSS, 0, Regular, {} });
        ApplyFont(HourFont, { u"Comic Sans MS", 10, Bold, {} });
        A->SetHourMarkLength(8);
        A->SetHourPointer(clBlack);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(5);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetMinuteMarkLength(4);
        FAnimation = true;
        FAnimationFactor = 10;
        SetShowAMPM(true);
        SetShowNumbers(true);
        break;
    case wsTower:
        ApplyFont(AMPMFont, { MSS, 0, Regular, {} });
        A->SetAMPMFrame(apRect);
        A->SetBorderWidth(1);
        A->SetBackgroundColor(0xB1F0FE);
        A->SetBackgroundGradient(wgDiagonalForward);
        A->SetCenterPointColor(0x002BD5);
        A->SetCenterPointSize(6);
        ApplyFont(HourFont, { u"Century", 0, Bold, clWindowText });
        A->SetHourPointer(clBlack);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(5);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetSecondPointer(0x002BD5);
        A->SetShape(wsRect);
        A->SetPointerStyle(psPointer);
        A->SetBackgroundColorTo(0x5BCCE8);
        A->SetAMPMColor(A->GetBackgroundColor());
        SetShowNumbers(false);
        A->SetTickMarks(tmHours);
        break;
    case wsFluorescent:
        ApplyFont(AMPMFont, { MSS, 10, Regular, clWindowText });
        A->SetAMPMFrame(apRoundRect);
        A->SetBorderColor(0xFF3E3E);
        A->SetBackgroundColor(clBlack);
        A->SetBackgroundColorTo(clBlack);
        A->SetCenterPointColor(0xFF3E3E);
        A->SetCenterPointBorderColor(clBlack);
        A->SetCenterPointOuterBorderColor(clBlack);
        A->SetCenterPointSize(20);
        ApplyFont(HourFont, { MSS, 8, Regular, clWindowText });
        A->SetHourColor(0xFF3E3E);
        A->SetHourMarkLength(10);
        A->SetHourPointer(0xFF3E3E);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(2);
        A->SetMinuteColor(0xFF3E3E);
        A->SetMinutePointer(0xFF3E3E);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetMinutePointerSize(2);
        A->SetShape(wsRoundRect);
        A->SetHourMarkWidth(2);
        A->SetHourMarkStyle(hmsQuartDblLine);
        A->SetTickMarks(tmHours);
        SetShowAMPM(false);
        SetShowNumbers(false);
        break;
    case wsEmerald:
        ApplyFont(AMPMFont, { MSS, 0, Regular, TColor(0xA00000) });
        A->SetAMPMFrame(apRoundRect);
        A->SetBorderColor(0x3AE800);
        A->SetBackgroundColor(0x3AE800);
        A->SetBackgroundColorTo(clBlack);
        A->SetBackgroundGradient(wgDiagonalForward);
        A->SetCenterPointBorderColor(0x40FF00);
        A->SetCenterPointColor(0x38E100);
        A->SetCenterPointSize(16);
        ApplyFont(HourFont, { MSS, 0, Regular, {} });
        A->SetHourPointer(0x40FF00);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(5);
        A->SetMinutePointer(0x40FF00);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetShape(wsRect);
        A->SetPointerStyle(psPointer);
        A->SetAMPMColor(clNone);
        HourFont->SetColor(A->GetBackgroundColor());
        A->SetCenterPointOuterBorderColor(clBlack);
        A->SetHourMarkStyle(hmsQuartDblLine);
        A->SetHourColor(A->GetBackgroundColor());
        A->SetSecondPointer(clYellow);
        A->SetTickMarks(tmHours);
        SetShowNumbers(false);
        SetShowAMPM(false);
        break;
    case wsBlueStar:
        ApplyFont(AMPMFont, { MSS, 10, Regular, TColor(0xA00000) });
        A->SetAMPMBorderColor(clNone);
        A->SetAMPMFrame(apRoundRect);
        A->SetBorderColor(0xFFD5D5);
        A->SetBackgroundColor(0xFFD5D5);
        A->SetBackgroundColorTo(0xA00000);
        A->SetBackgroundGradient(wgRadial);
        ApplyFont(HourFont, { MSS, 8, Regular, {} });
        A->SetHourPointer(0xA00000);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(5);
        A->SetMinutePointer(0xA00000);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetShape(wsRoundRect);
        A->SetPointerStyle(psPointer);
        A->SetAMPMColor(clNone);
        HourFont->SetColor(A->GetBackgroundColor());
        SetShowAMPM(true);
        SetShowNumbers(true);
        break;
    case wsFuchsia:
        ApplyFont(AMPMFont, { MSS, 10, Regular, clWindowText });
        A->SetAMPMFrame(apRoundRect);
        A->SetBorderColor(0xFFD0FF);
        A->SetBackgroundColor(clBlack);
        A->SetBackgroundColorTo(clBlack);
        A->SetCenterPointBorderColor(0xDD68DD);
        A->SetCenterPointSize(20);
        ApplyFont(HourFont, { MSS, 8, Regular, clWindowText });
        A->SetHourColor(0xFFD0FF);
        A->SetHourMarkLength(10);
        A->SetHourPointer(0xFFD0FF);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(2);
        A->SetMinuteColor(0xFFD0FF);
        A->SetMinutePointer(0xFFD0FF);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetMinutePointerSize(2);
        A->SetShape(wsRect);
        A->SetCenterPointOuterBorderColor(clBlack);
        A->SetHourMarkWidth(2);
        A->SetHourMarkStyle(hmsQuartDblLine);
        A->SetSecondPointer(0xDD68DD);
        A->SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(false);
        break;
    case wsBlack:
        ApplyFont(AMPMFont, { MSS, 0, Regular, {} });
        A->SetBackgroundColor(0x202020);
        A->SetBackgroundColorTo(clNone);
        A->SetBorderColor(clBlack);
        A->SetCenterPointBorderColor(clWhite);
        A->SetCenterPointOuterBorderColor(clWhite);
        A->SetCenterPointColor(clWhite);
        A->SetHourColor(0x585858);
        ApplyFont(HourFont, { u"Century Gothic", 11, {}, clWhite });
        A->SetHourPointer(clWhite);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(5);
        A->SetMinuteColor(0x585858);
        A->SetMinutePointer(clWhite);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetMinuteMarkLength(4);
        SetShowAMPM(false);
        SetShowNumbers(true);
        break;
    case wsBlackWhite:
        A->SetBackgroundColor(clWhite);
        A->SetBackgroundColorTo(clNone);
        A->SetBorderColor(clBlack);
        A->SetBorderWidth(8);
        A->SetCenterPointBorderColor(clBlack);
        A->SetCenterPointOuterBorderColor(clBlack);
        A->SetCenterPointColor(clBlack);
        A->SetCenterPointSize(8);
        A->SetHourColor(0x585858);
        ApplyFont(HourFont, { u"Century Gothic", 14, Bold, clBlack });
        A->SetHourPointer(clBlack);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetHourPointerSize(5);
        A->SetMinutePointer(clBlack);
        A->SetMinutePointerShadow(clBtnShadow);
        A->SetMinuteMarkLength(4);
        A->SetSecondPointer(clMaroon);
        A->SetPointerStyle(psPointer);
        A->SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(true);
        break;
    case wsGray:
        ApplyFont(AMPMFont, { MSS, 10, {}, {} });
        A->SetBackgroundColor(0xD1D1D1);
        A->SetBackgroundColorTo(0x6C6C6C);
        A->SetBackgroundGradient(wgRadial);
        A->SetBorderColor(0x454545);
        A->SetCenterPointBorderColor(0x454545);
        A->SetCenterPointColor(clBlack);
        A->SetCenterPointOuterBorderColor(clNone);
        A->SetHourColor(clBlack);
        ApplyFont(HourFont, { u"Comic Sans MS", 8, Regular, {} });
        A->SetHourPointer(0x4E4E4E);
        A->SetHourPointerShadow(clNone);
        A->SetHourPointerSize(1);
        A->SetMinuteColor(0x808080);
        A->SetMinutePointer(0x4E4E4E);
        A->SetMinutePointerShadow(clNone);
        A->SetMinutePointerSize(1);
        A->SetSecondPointer(clRed);
        SetShowAMPM(true);
        SetShowNumbers(true);
        break;
    case wsSuperNova:
        A->SetBackgroundColorTo(0xD1D3D3);
        A->SetBorderColor(clNone);
        A->SetCenterPointOuterBorderColor(clBlack);
        A->SetCenterPointSize(10);
        A->SetHourMarkLength(ByteLength(Side / 4.5));
        A->SetHourPointer(clBlack);
        A->SetHourPointerShadow(clBtnShadow);
        A->SetMinuteColor(0x808080);
        A->SetMinuteMarkLength(ByteLength(Side / 3));
        A->SetMinutePointer(clBlack);
        SetShowAMPM(false);
        SetShowNumbers(false);
        break;
    case wsSports:
        A->SetBackgroundColor(clBlack);
        A->SetBackgroundColorTo(clNone);
        A->SetBorderColor(clBlack);
        A->SetBorderWidth(1);
        A->SetCenterPointBorderColor(0xFF0000);
        A->SetCenterPointOuterBorderColor(clBlack);
        A->SetCenterPointColor(0x191919);
        A->SetCenterPointSize(ByteLength(Side / 3.6));
        A->SetHourColor(0xABB0B1);
        ApplyFont(HourFont, { u"Times New Roman", 9, {}, TColor(0x797979) });
        A->SetHourPointer(clRed);
        A->SetHourPointerShadow(clNone);
        A->SetHourPointerSize(2);
        A->SetMinuteColor(0x808080);
        A->SetMinutePointer(clYellow);
        A->SetMinutePointerSize(2);
        A->SetMinutePointerShadow(clNone);
        A->SetMinuteMarkLength(1);
        A->SetSecondPointer(0x188BFE);
        A->SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(true);
        break;
    case wsSmooth:
        A->SetBackgroundColor(clWhite);
        A->SetBackgroundColorTo(0xABB0B1);
        A->SetBorderColor(0x585858);
        A->SetBorderWidth(1);
        A->SetCenterPointBorderColor(clBlack);
        A->SetCenterPointOuterBorderColor(0x4A4A4A);
        A->SetCenterPointColor(clWhite);
        A->SetCenterPointSize(6);
        A->SetHourColor(0xABB0B1);
        ApplyFont(HourFont, { u"Times New Roman", 9, {}, TColor(0x797979) });
        A->SetHourPointer(0x4A4A4A);
        A->SetHourPointerShadow(0xB2B2B2);
        A->SetHourPointerSize(2);
        A->SetMinuteColor(0x808080);
        A->SetMinutePointer(0x4A4A4A);
        A->SetMinutePointerSize(2);
        A->SetMinutePointerShadow(0xB2B2B2);
        A->SetMinuteMarkLength(1);
        A->SetSecondPointer(0x4A4A4A);
        A->SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(true);
        break;
    case wsCustom:
        break;
    }
    Invalidate();
}
