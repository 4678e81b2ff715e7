#pragma once
// The vocabulary of application-wide styling: the style enumeration, colour
// tones, the interfaces through which stylers restyle controls, and the
// routines that derive a style from the user's Office or desktop theme.

#include <cstdint>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"

class TCanvas;
class TCustomStyleServices;

// The ordinals are stored in forms and passed as numbers: never reorder.
enum ROZEVizer : std::uint8_t {
    tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
    tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black, tsWindows8, tsOffice2013White,
    tsOffice2013LightGray, tsOffice2013Gray, tsWindows10, tsOffice2016White, tsOffice2016Gray, tsOffice2016Black,
    tsOffice2019White, tsOffice2019Gray, tsOffice2019Black
};
QT_ENUM(ROZEVizer, tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
    tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black, tsWindows8, tsOffice2013White,
    tsOffice2013LightGray, tsOffice2013Gray, tsWindows10, tsOffice2016White, tsOffice2016Gray, tsOffice2016Black,
    tsOffice2019White, tsOffice2019Gray, tsOffice2019Black)

enum TOfficeTheme {
    ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black, ot2010Blue,
    ot2010Silver, ot2010Black, ot2013White, ot2013Silver, ot2013Gray, ot2016White, ot2016Gray, ot2016Black,
    ot2019White, ot2019Gray, ot2019Black, otUnknown
};
QT_ENUM(TOfficeTheme, ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black,
    ot2010Blue, ot2010Silver, ot2010Black, ot2013White, ot2013Silver, ot2013Gray, ot2016White, ot2016Gray,
    ot2016Black, ot2019White, ot2019Gray, ot2019Black, otUnknown)

enum TMetroStyle { msLight, msDark };
QT_ENUM(TMetroStyle, msLight, msDark)

struct TColorTone {
    TColor BrushColor { clNone };
    TColor BorderColor { clNone };
    TColor TextColor { clNone };
    constexpr bool operator==(const TColorTone&) const = default;
};

struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
    constexpr bool operator==(const TColorTones&) const = default;
};

// Sent to registered windows when the watched Office settings change:
// wParam the root key, lParam the zero-terminated key path (static text).
inline constexpr UINT WM_OFFICETHEMECHANGED = 2993;

// ---- styling interfaces (components do not count references) ----

// Recolours the control and everything it owns for a style; tsCustom
// leaves it as it is.
class ILumStyle : public virtual IInterface {
public:
    QT_INTERFACE_ID("{11AC2DDC-C087-4298-AB6E-EA1B5017511B}");
    virtual void SetComponentStyle(ROZEVizer AStyle) = 0;

protected:
    ~ILumStyle() = default;
};

// As ILumStyle, also taking an application accent colour (clNone: none).
class ILumStyleEx : public ILumStyle {
public:
    QT_INTERFACE_ID("{037BA87F-7CBD-4FDD-854E-2B3F0BCC06AE}");
    virtual void SetComponentStyleAndAppColor(ROZEVizer AStyle, TColor AppColor) = 0;

protected:
    ~ILumStyleEx() = default;
};

// Switches the control to the given tones (the Metro look).
class ILumTones : public virtual IInterface {
public:
    QT_INTERFACE_ID("{1F492643-6699-4F25-8B34-3233FA735036}");
    virtual void SetColorTones(const TColorTones& ATones) = 0;

protected:
    ~ILumTones() = default;
};

// ---- routines ----

// 0 none, 1 Office 12, 2 Office 14, 3 Office 15, 4 Office 16.
int InstalledOfficeVersion();
ROZEVizer StyleFromSystemTheme(bool UseXPScheme);
TOfficeTheme CurrentOfficeTheme();

// Each channel scaled by (100 - Percent) / 100 (a negative Percent
// lightens), kept within 0..255; system colours are resolved first.
TColor DarkenColor(TColor Color, int Percent);
void MetroColorTones(bool Light, TColor Accent, TColor TextColor, TColorTones& Tones);
void DefaultColorTones(TColorTones& Tones);
void EmptyColorTones(TColorTones& Tones);

// Whether the system offers the newer (name-based) locale functions.
bool HasGetLocaleInfoEx();
// "Segoe UI" where the newer locale functions exist, else "Tahoma".
String DefaultUIFontName();
bool SameFont(const TFont* A, const TFont* B);
double ScaleFactorForControl(TControl* Control, TCanvas* Canvas);
// The style of the first enabled form styler with a style other than
// tsCustom on the component's form, else Default.
ROZEVizer FormStylerStyle(TComponent* Component, ROZEVizer Default);
// False only for the dark styles (2016 Black, 2019 Gray, 2019 Black).
bool IsLightStyle(ROZEVizer Style);
// The component or one of its owners is being designed.
bool IsDesigning(const TComponent* Component);
// True when the services are enabled and the active style is not
// "Windows". Null services mean the active style's.
bool IsVCLStyleActive(TCustomStyleServices* Services = nullptr);
