#include "richtext/LumStyles.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Window.h"

namespace {

const Char* const OfficeGeneralKeys[] = {
    u"Software\\Microsoft\\Office\\11.0\\Common\\General", u"Software\\Microsoft\\Office\\12.0\\Common\\General",
    u"Software\\Microsoft\\Office\\14.0\\Common\\General", u"Software\\Microsoft\\Office\\15.0\\Common\\General",
    u"Software\\Microsoft\\Office\\16.0\\Common\\General",
};

// A value read as a number: integers as they are, text converted (text that
// is no number gives 0); nullopt when the value is missing or of another
// kind. The themes store numbers either way, so both are accepted rather
// than letting a type mismatch escape as an error.
std::optional<int> ReadNumber(TRegistry& reg, const String& name)
{
    switch (reg.GetDataType(name)) {
    case rdInteger:
        return reg.ReadInteger(name);
    case rdString:
    case rdExpandString:
        return StrToIntDef(Trim(reg.ReadString(name)), 0);
    default:
        return std::nullopt;
    }
}

// The number under HKEY_CURRENT_USER\key\name, `missing` when the key or
// value is absent.
std::optional<int> ReadUserNumber(const String& key, const String& name)
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(key))
        return std::nullopt;
    return ReadNumber(reg, name);
}

bool UserKeyExists(const String& key)
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.KeyExists(key);
}

// The "UI Theme" of a present Office 15/16 key (0 when missing or no number),
// nullopt when the key itself is missing.
std::optional<int> OfficeUITheme(const String& key)
{
    if (!UserKeyExists(key))
        return std::nullopt;
    return ReadUserNumber(key, u"UI Theme").value_or(0);
}

// 1 "NormalColor", 2 "HomeStead", 3 "Metallic", 0 anything else or failure.
int XPColorScheme()
{
    OSVERSIONINFO v;
    if (!GetVersionEx(v) || v.dwMajorVersion < 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion < 1))
        return 0;
    if (!IsThemeActive() || (GetFileVersion(u"COMCTL32.DLL") >> 16) <= 5)
        return 0;
    Char file[255] {}, color[255] {}, size[255] {};
    if (GetCurrentThemeName(file, 255, color, 255, size, 255) != 0)
        return 0;
    const String scheme = color;
    if (scheme.find(u"NormalColor") != String::npos)
        return 1;
    if (scheme.find(u"HomeStead") != String::npos)
        return 2;
    if (scheme.find(u"Metallic") != String::npos)
        return 3;
    return 0;
}

// 1 Windows 7, 2 Windows 8/8.1, 3 Windows 10 or later, 0 anything else.
int WindowsVersionKind()
{
    OSVERSIONINFO v;
    if (!GetVersionEx(v))
        return 0;
    if (v.dwMajorVersion == 6 && v.dwMinorVersion == 1)
        return 1;
    if (v.dwMajorVersion == 6 && (v.dwMinorVersion == 2 || v.dwMinorVersion == 3))
        return 2;
    if ((v.dwMajorVersion == 6 && v.dwMinorVersion == 4) || v.dwMajorVersion >= 10)
        return 3;
    return 0;
}

ROZEVizer Windows10Style()
{
    // A missing key or value counts as light apps.
    const int light = ReadUserNumber(u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
        u"AppsUseLightTheme")
                          .value_or(-1);
    return light == 0 ? tsOffice2019Black : tsWindows10;
}

} // namespace

int InstalledOfficeVersion()
{
    int result = 0;
    for (int i = 0; i < 5; ++i)
        if (UserKeyExists(OfficeGeneralKeys[i]))
            result = i; // 11.0 counts as none
    return result;
}

ROZEVizer StyleFromSystemTheme(bool UseXPScheme)
{
    if (auto theme = OfficeUITheme(u"Software\\Microsoft\\Office\\16.0\\Common")) {
        if (*theme == 3)
            return tsOffice2019Gray;
        if (*theme == 4)
            return tsOffice2019Black;
        return tsOffice2019White;
    }
    if (auto theme = OfficeUITheme(u"Software\\Microsoft\\Office\\15.0\\Common")) {
        switch (*theme) {
        case 0: return tsOffice2013White;
        case 1: return tsOffice2013LightGray;
        case 2: return tsOffice2013Gray;
        default: return tsCustom;
        }
    }
    if (auto theme = ReadUserNumber(u"Software\\Microsoft\\Office\\14.0\\Common", u"Theme")) {
        switch (*theme) {
        case 1: return tsOffice2010Blue;
        case 2: return tsOffice2010Silver;
        case 3: return tsOffice2010Black;
        default: return tsCustom;
        }
    }
    if (auto theme = ReadUserNumber(u"Software\\Microsoft\\Office\\12.0\\Common", u"Theme")) {
        switch (*theme) {
        case 1: return tsOffice2007Luna;
        case 2: return tsOffice2007Silver;
        case 3: return tsOffice2007Obsidian;
        default: return tsCustom;
        }
    }
    if (UseXPScheme) {
        switch (XPColorScheme()) {
        case 1: return tsOffice2003Blue;
        case 2: return tsOffice2003Olive;
        case 3: return tsOffice2003Silver;
        default: return tsOffice2003Classic;
        }
    }
    switch (WindowsVersionKind()) {
    case 2: return tsWindows8;
    case 3: return Windows10Style();
    default: return tsWindows7;
    }
}

TOfficeTheme CurrentOfficeTheme()
{
    switch (StyleFromSystemTheme(true)) {
    case tsOffice2003Blue: return ot2003Blue;
    case tsOffice2003Silver: return ot2003Silver;
    case tsOffice2003Olive: return ot2003Olive;
    case tsOffice2003Classic: return ot2003Classic;
    case tsOffice2007Luna: return ot2007Blue;
    case tsOffice2007Silver: return ot2007Silver;
    case tsOffice2007Obsidian: return ot2007Black;
    case tsOffice2010Blue: return ot2010Blue;
    case tsOffice2010Silver: return ot2010Silver;
    case tsOffice2010Black: return ot2010Black;
    case tsOffice2013White: return ot2013White;
    case tsOffice2013LightGray: return ot2013Silver;
    case tsOffice2013Gray: return ot2013Gray;
    case tsOffice2016White: return ot2016White;
    case tsOffice2016Gray: return ot2016Gray;
    case tsOffice2016Black: return ot2016Black;
    case tsOffice2019White: return ot2019White;
    case tsOffice2019Gray: return ot2019Gray;
    case tsOffice2019Black: return ot2019Black;
    case tsCustom: return ot2019Black;
    default: return otUnknown;
    }
}

TColor DarkenColor(TColor Color, int Percent)
{
    const TColor rgb = ColorToRGB(Color);
    auto scale = [&](int shift) -> TColor {
        const double v = std::nearbyint(double((rgb >> shift) & 0xFF) * (100.0 - Percent) / 100.0);
        // Beyond 100 percent a channel would turn negative and spill into
        // its neighbours: keep it at 0 as well as at 255.
        return TColor(std::clamp(v, 0.0, 255.0)) << shift;
    };
    return scale(0) | scale(8) | scale(16);
}

void MetroColorTones(bool Light, TColor Accent, TColor /*TextColor*/, TColorTones& Tones)
{
    Tones.Background = { Light ? clWhite : clBlack, Accent, Light ? clBlack : clWhite };
    Tones.Foreground = { 0xC0C0C0, 0xC0C0C0, clBlack };
    Tones.Selected = { Accent, Accent, clWhite };
    const TColor hover = DarkenColor(Accent, 20);
    Tones.Hover = { hover, hover, clWhite };
    Tones.Disabled = { 0xC0C0C0, 0x808080, 0x808080 };
}

void DefaultColorTones(TColorTones& Tones)
{
    Tones.Background = { clWindow, clHighlight, clWindowText };
    Tones.Foreground = { 0xC0C0C0, 0xC0C0C0, clBlack };
    Tones.Selected = { clHighlight, clHighlight, clHighlightText };
    Tones.Hover = { 0x808080, 0x808080, clWhite };
    Tones.Disabled = { clWindow, 0xC0C0C0, 0xC0C0C0 };
}

void EmptyColorTones(TColorTones& Tones)
{
    Tones = TColorTones {};
}

bool HasGetLocaleInfoEx()
{
    // The platform always offers the locale call that marks the newer
    // desktop generation.
    return true;
}

String DefaultUIFontName() { return HasGetLocaleInfoEx() ? u"Segoe UI" : u"Tahoma"; }

bool SameFont(const TFont* A, const TFont* B)
{
    if (!A || !B)
        return A == B;
    return A->GetName() == B->GetName() && A->GetSize() == B->GetSize() && A->GetStyle() == B->GetStyle()
        && A->GetCharset() == B->GetCharset();
}

double ScaleFactorForControl(TControl* Control, TCanvas* Canvas)
{
    double factor = 1.0;
    if (TCustomForm* form = Control ? GetParentForm(Control) : nullptr) {
        if (form->GetScaled())
            factor = form->GetMonitor()->GetPixelsPerInch() / 96.0;
    } else if (Canvas && Canvas->HandleAllocated()) {
        factor = GetDeviceCaps(Canvas->GetHandle(), LOGPIXELSY) / 96.0;
    } else {
        HDC dc = GetDC(nullptr);
        factor = GetDeviceCaps(dc, LOGPIXELSY) / 96.0;
        ReleaseDC(nullptr, dc);
    }
    return factor == 0 ? 1.0 : factor;
}

bool IsLightStyle(ROZEVizer Style)
{
    return Style != tsOffice2016Black && Style != tsOffice2019Gray && Style != tsOffice2019Black;
}

bool IsDesigning(const TComponent* Component)
{
    for (const TComponent* c = Component; c; c = const_cast<TComponent*>(c)->GetOwner())
        if (c->GetComponentState().Contains(csDesigning))
            return true;
    return false;
}

bool IsVCLStyleActive(TCustomStyleServices* Services)
{
    if (!Services)
        Services = StyleServices();
    TCustomStyleServices* active = TStyleManager::ActiveStyle();
    return Services && Services->GetEnabled() && active && active->GetName() != u"Windows";
}
