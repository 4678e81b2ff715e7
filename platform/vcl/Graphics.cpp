#include "platform/vcl/Graphics.h"

#include "platform/gdi/SysColors.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return TColor(GetSysColor(color & 0xFF));
    return color;
}

namespace {

struct TColorName {
    TColor Color;
    const char16_t* Name;
};

// In the platform's order; the first name of a value is the one written.
constexpr TColorName ColorNames[] = { { clBlack, u"clBlack" }, { clMaroon, u"clMaroon" }, { clGreen, u"clGreen" },
    { clOlive, u"clOlive" }, { clNavy, u"clNavy" }, { clPurple, u"clPurple" }, { clTeal, u"clTeal" },
    { clGray, u"clGray" }, { clSilver, u"clSilver" }, { clRed, u"clRed" }, { clLime, u"clLime" },
    { clYellow, u"clYellow" }, { clBlue, u"clBlue" }, { clFuchsia, u"clFuchsia" }, { clAqua, u"clAqua" },
    { clWhite, u"clWhite" }, { clMoneyGreen, u"clMoneyGreen" }, { clSkyBlue, u"clSkyBlue" },
    { clCream, u"clCream" }, { clMedGray, u"clMedGray" }, { clActiveBorder, u"clActiveBorder" },
    { clActiveCaption, u"clActiveCaption" }, { clAppWorkSpace, u"clAppWorkSpace" },
    { clBackground, u"clBackground" }, { clBtnFace, u"clBtnFace" }, { clBtnHighlight, u"clBtnHighlight" },
    { clBtnShadow, u"clBtnShadow" }, { clBtnText, u"clBtnText" }, { clCaptionText, u"clCaptionText" },
    { clDefault, u"clDefault" }, { clGradientActiveCaption, u"clGradientActiveCaption" },
    { clGradientInactiveCaption, u"clGradientInactiveCaption" }, { clGrayText, u"clGrayText" },
    { clHighlight, u"clHighlight" }, { clHighlightText, u"clHighlightText" }, { clHotLight, u"clHotLight" },
    { clInactiveBorder, u"clInactiveBorder" }, { clInactiveCaption, u"clInactiveCaption" },
    { clInactiveCaptionText, u"clInactiveCaptionText" }, { clInfoBk, u"clInfoBk" }, { clInfoText, u"clInfoText" },
    { clMenu, u"clMenu" }, { clMenuBar, u"clMenuBar" }, { clMenuHighlight, u"clMenuHighlight" },
    { clMenuText, u"clMenuText" }, { clNone, u"clNone" }, { clScrollBar, u"clScrollBar" },
    { cl3DDkShadow, u"cl3DDkShadow" }, { cl3DLight, u"cl3DLight" }, { clWindow, u"clWindow" },
    { clWindowFrame, u"clWindowFrame" }, { clWindowText, u"clWindowText" } };

} // namespace

bool ColorToIdent(TColor color, String& ident)
{
    for (const TColorName& n : ColorNames)
        if (n.Color == color) {
            ident = n.Name;
            return true;
        }
    return false;
}

bool IdentToColor(StringView ident, TColor& color)
{
    for (const TColorName& n : ColorNames)
        if (SameText(ident, n.Name)) {
            color = n.Color;
            return true;
        }
    return false;
}

String ColorToString(TColor color)
{
    String ident;
    if (ColorToIdent(color, ident))
        return ident;
    return u"$" + IntToHex(std::uint32_t(color), 8);
}

TColor StringToColor(StringView text)
{
    TColor color = 0;
    if (IdentToColor(text, color))
        return color;
    Int64 value = 0;
    if (!TryStrToInt64(text, value) || value < INT32_MIN || value > Int64(UINT32_MAX))
        throw EConvertError(u"'" + String(text) + u"' is not a valid integer value");
    return TColor(std::uint32_t(value));
}

int PenModeToRop2(TPenMode mode)
{
    static constexpr int rops[] = { R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
        R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN,
        R2_XORPEN, R2_NOTXORPEN };
    const int i = int(mode);
    return i >= 0 && i < int(std::size(rops)) ? rops[i] : R2_COPYPEN;
}

QT_PUBLISHED(TGraphicsObject)

void TGraphicsObject::Changed()
{
    if (FCanvasNotify)
        FCanvasNotify();
    if (OnChange)
        OnChange(this);
}

// ---- TFont ----

QT_PUBLISHED(TFont,
    QT_PROP_T(Charset, u"TFontCharset"),
    QT_PROP_T(Color, u"TColor"),
    QT_PROP(Height),
    QT_PROP_T(Name, u"TFontName"),
    QT_PROP(Orientation),
    QT_PROP(Pitch),
    QT_PROP(Quality),
    QT_PROP(Size),
    QT_PROP_T(Style, u"TFontStyles"))

TFont::TFont() = default;

TFont::~TFont()
{
    DestroyHandle();
}

void TFont::DestroyHandle()
{
    if (FHandle)
        DeleteObject(std::exchange(FHandle, nullptr));
}

void TFont::Changed()
{
    DestroyHandle();
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* source)
{
    auto* f = dynamic_cast<TFont*>(source);
    if (!f) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (f == this)
        return;
    FName = f->FName;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FOrientation = f->FOrientation;
    FQuality = f->FQuality;
    // A font of another resolution keeps its point size here.
    FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight : -MulDiv(f->GetSize(), FPixelsPerInch, 72);
    Changed();
}

HFONT TFont::GetHandle()
{
    if (!FHandle) {
        const LOGFONTW lf = GetLogFont();
        FHandle = CreateFontIndirectW(&lf);
    }
    return FHandle;
}

LOGFONTW TFont::GetLogFont() const
{
    LOGFONTW lf;
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfQuality = BYTE(FQuality);
    lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    const std::size_t n = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
    FName.copy(lf.lfFaceName, n);
    lf.lfFaceName[n] = 0;
    return lf;
}

void TFont::SetHandle(HFONT value)
{
    LOGFONTW lf;
    if (!value || GetObjectW(value, sizeof(lf), &lf) != int(sizeof(lf)))
        return;
    FName = String(lf.lfFaceName, std::char_traits<char16_t>::length(lf.lfFaceName));
    FHeight = lf.lfHeight;
    FStyle = {};
    if (lf.lfWeight >= FW_BOLD)
        FStyle.Include(fsBold);
    if (lf.lfItalic)
        FStyle.Include(fsItalic);
    if (lf.lfUnderline)
        FStyle.Include(fsUnderline);
    if (lf.lfStrikeOut)
        FStyle.Include(fsStrikeOut);
    FCharset = lf.lfCharSet;
    FOrientation = lf.lfEscapement;
    FQuality = lf.lfQuality <= BYTE(fqClearTypeNatural) ? TFontQuality(lf.lfQuality) : fqDefault;
    const int pitch = lf.lfPitchAndFamily & 3;
    FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    Changed();
}

void TFont::SetName(const TFontName& value)
{
    if (value.empty() || value == FName)
        return;
    FName = value;
    Changed();
}

int TFont::GetSize() const
{
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int value)
{
    SetHeight(-MulDiv(value, FPixelsPerInch, 72));
}

void TFont::SetHeight(int value)
{
    if (value == FHeight)
        return;
    FHeight = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Changed();
}

void TFont::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    // The colour is not part of the font handle.
    TGraphicsObject::Changed();
}

void TFont::SetCharset(TFontCharset value)
{
    if (value == FCharset)
        return;
    FCharset = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (value == FPitch)
        return;
    FPitch = value;
    Changed();
}

void TFont::SetOrientation(int value)
{
    if (value == FOrientation)
        return;
    FOrientation = value;
    Changed();
}

void TFont::SetQuality(TFontQuality value)
{
    if (value == FQuality)
        return;
    FQuality = value;
    Changed();
}

void TFont::SetPixelsPerInch(int value)
{
    if (value <= 0 || value == FPixelsPerInch)
        return;
    FPixelsPerInch = value;
}

// ---- TPen ----

QT_PUBLISHED(TPen,
    QT_PROP_T(Color, u"TColor"),
    QT_PROP(Mode),
    QT_PROP(Style),
    QT_PROP(Width))

TPen::~TPen()
{
    if (FHandle)
        DeleteObject(FHandle);
}

void TPen::Changed()
{
    if (FHandle)
        DeleteObject(std::exchange(FHandle, nullptr));
    TGraphicsObject::Changed();
}

void TPen::Assign(TPersistent* source)
{
    auto* p = dynamic_cast<TPen*>(source);
    if (!p) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (p == this)
        return;
    FColor = p->FColor;
    FStyle = p->FStyle;
    FWidth = p->FWidth;
    FMode = p->FMode;
    Changed();
}

HPEN TPen::GetHandle()
{
    if (!FHandle) {
        static constexpr int styles[] = { PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL,
            PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE };
        const COLORREF color = COLORREF(ColorToRGB(FColor)) & 0xFFFFFF;
        if (FStyle == psAlternate) {
            LOGBRUSH lb;
            lb.lbColor = color;
            FHandle = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
        }
        if (!FHandle)
            FHandle = CreatePen(styles[int(FStyle)], FWidth, color);
    }
    return FHandle;
}

void TPen::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value)
{
    if (value == FStyle || int(value) < 0 || value > psAlternate)
        return;
    FStyle = value;
    Changed();
}

void TPen::SetWidth(int value)
{
    if (value < 0 || value == FWidth)
        return;
    FWidth = value;
    Changed();
}

void TPen::SetMode(TPenMode value)
{
    if (value == FMode)
        return;
    FMode = value;
    // The mode is canvas state, not part of the pen handle.
    TGraphicsObject::Changed();
}

// ---- TBrush ----

QT_PUBLISHED(TBrush,
    QT_PROP_T(Color, u"TColor"),
    QT_PROP(Style))

TBrush::~TBrush()
{
    if (FHandle)
        DeleteObject(FHandle);
}

void TBrush::Changed()
{
    if (FHandle)
        DeleteObject(std::exchange(FHandle, nullptr));
    TGraphicsObject::Changed();
}

void TBrush::Assign(TPersistent* source)
{
    auto* b = dynamic_cast<TBrush*>(source);
    if (!b) {
        TGraphicsObject::Assign(source);
        return;
    }
    if (b == this)
        return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
}

HBRUSH TBrush::GetHandle()
{
    if (!FHandle) {
        const COLORREF color = COLORREF(ColorToRGB(FColor)) & 0xFFFFFF;
        if (FBitmap && !FBitmap->Empty())
            FHandle = CreatePatternBrush(FBitmap->GetHandle());
        else if (FStyle == bsSolid)
            FHandle = CreateSolidBrush(color);
        else if (FStyle == bsClear)
            FHandle = HBRUSH(GetStockObject(NULL_BRUSH));
        else
            FHandle = CreateHatchBrush(int(FStyle) - int(bsHorizontal) + HS_HORIZONTAL, color);
    }
    return FHandle;
}

void TBrush::SetColor(TColor value)
{
    if (value == FColor && FStyle != bsClear)
        return;
    FColor = value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (value == FStyle || int(value) < 0 || value > bsDiagCross)
        return;
    FStyle = value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* value)
{
    if (value == FBitmap)
        return;
    FBitmap = value;
    Changed();
}
