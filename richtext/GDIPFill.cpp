#include "richtext/GDIPFill.h"

#include <algorithm>
#include <cstring>

#include "foundation/LumPersistence.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"

using namespace LumGDIP;

QT_PUBLISHED(TGDIPFill, QT_PROP_T(Color, u"TColor"), QT_PROP_T(ColorTo, u"TColor"),
    QT_PROP_T(ColorMirror, u"TColor"), QT_PROP_T(ColorMirrorTo, u"TColor"), QT_PROP(GradientType),
    QT_PROP(GradientMirrorType), QT_PROP_T(HatchStyle, u"HatchStyle"), QT_PROP_T(HatchStyleMirror, u"HatchStyle"),
    QT_PROP(BackGroundPictureAspectRatio), QT_PROP(BackGroundPictureMode), QT_PROP(BackGroundPicture),
    QT_PROP(BackGroundPicturePosition), QT_PROP(BackGroundPictureLeft), QT_PROP(BackGroundPictureTop),
    QT_PROP(BackGroundPictureAspectMode), QT_PROP(Picture), QT_PROP(PicturePosition), QT_PROP(PictureLeft),
    QT_PROP(PictureTop), QT_PROP(PictureSize), QT_PROP(PictureWidth), QT_PROP(PictureHeight),
    QT_PROP(PictureAspectRatio), QT_PROP(PictureAspectMode), QT_PROP(Opacity), QT_PROP(OpacityTo),
    QT_PROP(OpacityMirror), QT_PROP(OpacityMirrorTo), QT_PROP_T(BorderColor, u"TColor"), QT_PROP(BorderOpacity),
    QT_PROP(BorderWidth), QT_PROP(Rounding), QT_PROP(RoundingType), QT_PROP_T(ShadowColor, u"TColor"),
    QT_PROP(ShadowOffset), QT_PROP(ShadowType), QT_PROP(Angle), QT_PROP(Glow), QT_PROP_T(GlowGradientColor, u"TColor"),
    QT_PROP_T(GlowRadialColor, u"TColor"))

namespace {

constexpr int SmoothingAntiAlias = 4;
constexpr int SmoothingNone = 3;

Byte Effective(Byte argument, Byte property) { return argument == 255 ? property : argument; }

TGPRectF Inset(const TGPRectF& r, float d) { return { r.X + d, r.Y + d, r.Width - 2 * d, r.Height - 2 * d }; }

// Restores the smoothing mode of a graphics object when the scope ends.
class TSmoothingScope {
public:
    TSmoothingScope(TGPGraphics* g, int mode) : FGraphics(g), FOld(g->GetSmoothingMode()) { g->SetSmoothingMode(mode); }
    ~TSmoothingScope() { FGraphics->SetSmoothingMode(FOld); }
    TSmoothingScope(const TSmoothingScope&) = delete;
    TSmoothingScope& operator=(const TSmoothingScope&) = delete;

private:
    TGPGraphics* FGraphics;
    int FOld;
};

// The ordinal read from an ini key when it names a value of the enumeration
// [0, count); anything else keeps the current value.
template<class E>
E ReadOrdinal(TCustomIniFile& ini, const String& section, const String& key, E current, int count)
{
    const Integer v = ini.ReadInteger(section, key, Integer(current));
    return v >= 0 && v < count ? E(v) : current;
}

Byte ReadByte(TCustomIniFile& ini, const String& section, const String& key, Byte current)
{
    const Integer v = ini.ReadInteger(section, key, current);
    return v >= 0 && v <= 255 ? Byte(v) : current;
}

void SavePictureHex(TCustomIniFile& ini, const String& section, const String& key, const String& sizeKey,
    TLumGDIPPicture* picture)
{
    TMemoryStream stream;
    if (!picture->GetEmpty())
        picture->SaveToStream(stream);
    stream.SetPosition(0);
    TBytes bytes(std::size_t(stream.GetSize()));
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), int(bytes.size()));
    const String hex = BytesToHex(bytes);
    ini.WriteString(section, key, hex);
    ini.WriteInteger(section, sizeKey, Integer(hex.size()));
}

void LoadPictureHex(TCustomIniFile& ini, const String& section, const String& key, const String& sizeKey,
    TLumGDIPPicture* picture)
{
    const Integer size = ini.ReadInteger(section, sizeKey, 0);
    if (size <= 0)
        return;
    // The stored length only limits the read: it never reaches past the text.
    const String text = ini.ReadString(section, key, u"");
    const String hex = text.substr(0, std::min<std::size_t>(text.size(), std::size_t(size)));
    const TBytes bytes = HexToBytes(hex);
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), int(bytes.size()));
    stream.SetPosition(0);
    picture->LoadFromStream(stream);
}

} // namespace

// ---- helpers ----

TGPGraphicsPath* CreateRoundRectangle(const TGPRectF& R, float Radius, TFillRoundingType RoundingType)
{
    auto* path = new TGPGraphicsPath();
    const float x = R.X, y = R.Y, w = R.Width, h = R.Height;
    float r = std::min(Radius, std::min(w, h) / 2);
    if (!(r > 0) || RoundingType == rtNone) {
        path->AddRectangle(R);
        return path;
    }
    const bool tl = RoundingType == rtTop || RoundingType == rtBoth || RoundingType == rtLeft;
    const bool tr = RoundingType == rtTop || RoundingType == rtBoth || RoundingType == rtRight;
    const bool br = RoundingType == rtBottom || RoundingType == rtBoth || RoundingType == rtRight;
    const bool bl = RoundingType == rtBottom || RoundingType == rtBoth || RoundingType == rtLeft;
    const float d = 2 * r;
    const float rtl = tl ? r : 0, rtr = tr ? r : 0, rbr = br ? r : 0, rbl = bl ? r : 0;
    // Consecutive segments of one figure are joined, so a square corner is
    // simply where two edges meet.
    path->AddLine(x + rtl, y, x + w - rtr, y);
    if (tr)
        path->AddArc(x + w - d, y, d, d, 270, 90);
    path->AddLine(x + w, y + rtr, x + w, y + h - rbr);
    if (br)
        path->AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path->AddLine(x + w - rbr, y + h, x + rbl, y + h);
    if (bl)
        path->AddArc(x, y + h - d, d, d, 90, 90);
    path->AddLine(x, y + h - rbl, x, y + rtl);
    if (tl)
        path->AddArc(x, y, d, d, 180, 90);
    path->CloseFigure();
    return path;
}

TBytes HexToBytes(StringView Text)
{
    if (Text.size() % 2 != 0)
        throw EConvertError(u"No Hex-Number");
    TBytes bytes(Text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int hi = HexDigitValue(Text[2 * i]), lo = HexDigitValue(Text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            throw EConvertError(u"No Hex-Number");
        bytes[i] = Byte(hi * 16 + lo);
    }
    return bytes;
}

String BytesToHex(const TBytes& Bytes)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    String s;
    s.reserve(Bytes.size() * 2);
    for (Byte b : Bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

UINT GDIPFillClipboardFormat()
{
    static const UINT format = RegisterClipboardFormat(u"GDI+ Fill");
    return format;
}

namespace {
// Registered when the module is initialised, as the format's users expect.
[[maybe_unused]] const UINT RegisteredAtStartUp = GDIPFillClipboardFormat();
} // namespace

void DrawFillPicture(TGPGraphics* Graphics, TLumGDIPPicture* Picture, const TGPRectF& R, float pw, float ph,
    TFillPicturePosition Position, bool AspectRatio, TPictureMode AspectMode, float CustomX, float CustomY)
{
    if (!Graphics || !Picture || Picture->GetEmpty())
        return;
    const float l = R.X, t = R.Y, r = R.X + R.Width, b = R.Y + R.Height;
    // Centring halves whole pixels towards zero.
    auto half = [](float v) { return float(int(v) / 2); };
    float x = l, y = t;
    switch (Position) {
    case ppTopLeft: break;
    case ppTopCenter: x = l + half(R.Width - pw); break;
    case ppTopRight: x = r - pw; break;
    case ppBottomLeft: y = b - ph; break;
    case ppBottomCenter: x = l + half(R.Width - pw); y = b - ph; break;
    case ppBottomRight: x = r - pw; y = b - ph; break;
    case ppCenterLeft: y = t + half(R.Height - ph); break;
    case ppCenterCenter: x = l + half(R.Width - pw); y = t + half(R.Height - ph); break;
    case ppCenterRight: x = r - pw; y = t + half(R.Height - ph); break;
    case ppCustom: x = CustomX; y = CustomY; break;
    case ppTiled:
        Picture->FillRect(Graphics, R);
        return;
    case ppStretched: {
        float w = R.Width, h = R.Height;
        if (AspectRatio) {
            if (AspectMode == pmNormal && pw < R.Width && ph < R.Height) {
                w = pw;
                h = ph;
            } else if (pw <= 0 || ph <= 0 || R.Width <= 0 || R.Height <= 0) {
                return;
            } else if (R.Width / R.Height > pw / ph) {
                h = R.Height;
                w = pw * R.Height / ph;
            } else {
                w = R.Width;
                h = ph * R.Width / pw;
            }
        }
        Picture->GDIPDraw(Graphics, TGPRectF { l + (R.Width - w) / 2, t + (R.Height - h) / 2, w, h });
        return;
    }
    }
    Picture->GDIPDraw(Graphics, TGPRectF { x, y, pw, ph });
}

// ---- TGDIPFill ----

TGDIPFill::TGDIPFill()
    : FBackGroundPicture(std::make_unique<TLumGDIPPicture>()), FPicture(std::make_unique<TLumGDIPPicture>())
{
    FBackGroundPicture->OnChange = [this](TObject*) { Changed(); };
    FPicture->OnChange = [this](TObject*) { Changed(); };
}

TGDIPFill::~TGDIPFill() = default;

void TGDIPFill::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TGDIPFill::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TGDIPFill*>(Source);
    if (!s || s == this)
        return;
    ++FUpdateCount;
    try {
        FColor = s->FColor;
        FColorTo = s->FColorTo;
        FColorMirror = s->FColorMirror;
        FColorMirrorTo = s->FColorMirrorTo;
        FGradientType = s->FGradientType;
        FGradientMirrorType = s->FGradientMirrorType;
        FHatchStyle = s->FHatchStyle;
        FHatchStyleMirror = s->FHatchStyleMirror;
        FBackGroundPictureAspectRatio = s->FBackGroundPictureAspectRatio;
        FBackGroundPictureMode = s->FBackGroundPictureMode;
        FBackGroundPicture->Assign(s->FBackGroundPicture.get());
        FBackGroundPicturePosition = s->FBackGroundPicturePosition;
        FBackGroundPictureLeft = s->FBackGroundPictureLeft;
        FBackGroundPictureTop = s->FBackGroundPictureTop;
        FBackGroundPictureAspectMode = s->FBackGroundPictureAspectMode;
        FPicture->Assign(s->FPicture.get());
        FPicturePosition = s->FPicturePosition;
        FPictureLeft = s->FPictureLeft;
        FPictureTop = s->FPictureTop;
        FPictureSize = s->FPictureSize;
        FPictureWidth = s->FPictureWidth;
        FPictureHeight = s->FPictureHeight;
        FPictureAspectRatio = s->FPictureAspectRatio;
        FPictureAspectMode = s->FPictureAspectMode;
        FOpacity = s->FOpacity;
        FOpacityTo = s->FOpacityTo;
        FOpacityMirror = s->FOpacityMirror;
        FOpacityMirrorTo = s->FOpacityMirrorTo;
        FBorderColor = s->FBorderColor;
        FBorderOpacity = s->FBorderOpacity;
        FBorderWidth = s->FBorderWidth;
        FRounding = s->FRounding;
        FRoundingType = s->FRoundingType;
        FShadowColor = s->FShadowColor;
        FShadowOffset = s->FShadowOffset;
        FShadowType = s->FShadowType;
        FAngle = s->FAngle;
        FGlow = s->FGlow;
        FGlowGradientColor = s->FGlowGradientColor;
        FGlowRadialColor = s->FGlowRadialColor;
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    Changed();
}

bool TGDIPFill::HasMirror() const
{
    return FColorMirror != clNone && FGradientType != gtHatch && FGradientType != gtTexture;
}

void TGDIPFill::DrawRadialShape(TGPGraphics* Graphics, const TGPRectF& A, TColor CentreColor, Byte CentreOpacity,
    TColor SurroundColor, Byte SurroundOpacity, TFillRoundingType RoundingType, bool CentreAtTop)
{
    std::unique_ptr<TGPGraphicsPath> area(CreateRoundRectangle(A, float(FRounding), RoundingType));
    const TGPSolidBrush surround(MakeARGBFromColor(SurroundOpacity, SurroundColor));
    Graphics->FillPath(&surround, area.get());
    Graphics->SetClip(area.get());
    TGPGraphicsPath ellipse;
    if (CentreAtTop)
        ellipse.AddEllipse(A.X, A.Y - A.Height / 2, A.Width, 1.5f * A.Height);
    else
        ellipse.AddEllipse(A.X, A.Y, A.Width, 1.5f * A.Height);
    TGPPathGradientBrush brush(&ellipse);
    brush.SetCenterPoint(TGPPointF { A.X + A.Width / 2, CentreAtTop ? A.Y : A.Y + A.Height });
    brush.SetCenterColor(MakeARGBFromColor(CentreOpacity, CentreColor));
    ARGB colors[1] = { MakeARGBFromColor(SurroundOpacity, SurroundColor) };
    int count = 1;
    brush.SetSurroundColors(colors, count);
    Graphics->FillPath(&brush, area.get());
    Graphics->ResetClip();
}

void TGDIPFill::DrawShadow(TGPGraphics* Graphics, TGPRectF& R)
{
    const float o = float(FShadowOffset);
    if (FShadowOffset <= 0 || FShadowColor == clNone)
        return;
    if (FShadowType == stBottom) {
        DrawRadialShape(Graphics, TGPRectF { R.X, R.Y + R.Height - 2 * o, R.Width, 2 * o }, FShadowColor, 255,
            FShadowColor, 0, rtBottom, true);
        R.Height -= o;
        return;
    }
    std::unique_ptr<TGPGraphicsPath> path(FShadowType == stSurround ? CreateRoundRectangle(R, o, rtBoth)
                                                                    : CreateRoundRectangle(R, float(FRounding), FRoundingType));
    TGPPathGradientBrush brush(path.get());
    brush.SetWrapMode(WrapModeClamp);
    const ARGB shadow = MakeARGBFromColor(180, FShadowColor);
    ARGB colors[3] = { 0, shadow, shadow };
    float positions[3] = { 0.0f, 0.1f, 1.0f };
    brush.SetInterpolationColors(colors, positions, 3);
    Graphics->FillPath(&brush, path.get());
    if (FShadowType == stSurround)
        R = Inset(R, o);
    else {
        R.Width -= o;
        R.Height -= o;
    }
}

void TGDIPFill::DrawGradientBackGround(
    TGPGraphics* Graphics, const TGPRectF& R, bool Mirror, Byte oc, Byte octo, Byte ocmr, Byte ocmrto)
{
    if (!Graphics)
        return;
    const TColor from = Mirror ? FColorMirror : FColor;
    const TColor to = Mirror ? FColorMirrorTo : FColorTo;
    TLumGradientType kind = Mirror ? FGradientMirrorType : FGradientType;
    if (to == clNone) {
        if (from == clNone)
            return;
        kind = gtSolid;
    } else if (from == clNone)
        return;
    if (kind == gtPath || kind == gtNone)
        return;

    TFillRoundingType rounding = FRoundingType;
    if (HasMirror()) {
        const bool keep = rounding == rtLeft || rounding == rtRight;
        if (!Mirror)
            rounding = keep ? rounding : (rounding == rtNone || rounding == rtBottom) ? rtNone : rtTop;
        else
            rounding = keep ? rounding : (rounding == rtNone || rounding == rtTop) ? rtNone : rtBottom;
    }
    TGDIPGradientParams p;
    p.Graphics = Graphics;
    p.R = R;
    p.GradientType = kind;
    p.ColorFrom = from;
    p.ColorTo = to;
    p.OpacityFrom = Mirror ? ocmr : oc;
    p.OpacityTo = Mirror ? ocmrto : octo;
    p.HatchStyle = Mirror ? FHatchStyleMirror : FHatchStyle;
    p.Angle = FAngle;
    p.Texture = FBackGroundPicturePosition == ppTiled ? FBackGroundPicture.get() : nullptr;
    p.BorderColor = clNone;
    p.BorderWidth = 0;
    p.BorderStyle = DashStyleSolid;
    p.TopLine = Mirror;
    if (FRounding != 0) {
        std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectangle(R, float(FRounding), rounding));
        p.Path = path.get();
        p.UsePath = true;
        TSmoothingScope smooth(Graphics, SmoothingAntiAlias);
        DrawGDIPGradient(p);
    } else
        DrawGDIPGradient(p);
}

void TGDIPFill::DrawBackGround(TGPGraphics* Graphics, const TGPRectF& R, Byte oc, Byte octo, Byte ocmr, Byte ocmrto)
{
    if (!HasMirror()) {
        if (FGradientType == gtRadial) {
            if (FColor != clNone)
                DrawRadialShape(Graphics, R, FColorTo != clNone ? FColorTo : FColor, octo, FColor, oc, FRoundingType, true);
        } else
            DrawGradientBackGround(Graphics, R, false, oc, octo, ocmr, ocmrto);
        return;
    }
    const float half = R.Height / 2;
    const TGPRectF top { R.X, R.Y, R.Width, R.Height - half + 1 };
    const TGPRectF bottom { R.X, R.Y + half - 1, R.Width, R.Height - half + 1 };
    if (FGradientType == gtRadial) {
        if (FColor != clNone)
            DrawRadialShape(Graphics, top, FColorTo != clNone ? FColorTo : FColor, octo, FColor, oc, rtTop, true);
    } else
        DrawGradientBackGround(Graphics, top, false, oc, octo, ocmr, ocmrto);
    if (FGradientMirrorType == gtRadial && FColorMirror != clNone)
        DrawRadialShape(Graphics, bottom, FColorMirror, ocmr, FColorMirrorTo != clNone ? FColorMirrorTo : FColorMirror,
            ocmrto, rtBottom, false);
    else
        DrawGradientBackGround(Graphics, bottom, true, oc, octo, ocmr, ocmrto);
}

void TGDIPFill::DrawBackGroundPicture(TGPGraphics* Graphics, const TGPRectF& R)
{
    const TGPRectF shifted { R.X + FBackGroundPictureLeft, R.Y + FBackGroundPictureTop, R.Width, R.Height };
    DrawFillPicture(Graphics, FBackGroundPicture.get(), shifted, float(FBackGroundPicture->GetWidth()),
        float(FBackGroundPicture->GetHeight()), FBackGroundPicturePosition, FBackGroundPictureAspectRatio,
        FBackGroundPictureAspectMode, float(FBackGroundPictureLeft), float(FBackGroundPictureTop));
}

void TGDIPFill::DrawForeGroundPicture(TGPGraphics* Graphics, const TGPRectF& R)
{
    const bool custom = FPictureSize == psCustom;
    const float pw = float(custom ? FPictureWidth : FPicture->GetWidth());
    const float ph = float(custom ? FPictureHeight : FPicture->GetHeight());
    const TGPRectF shifted { R.X + FPictureLeft, R.Y + FPictureTop, R.Width, R.Height };
    DrawFillPicture(Graphics, FPicture.get(), shifted, pw, ph, FPicturePosition, FPictureAspectRatio,
        FPictureAspectMode, float(FPictureLeft), float(FPictureTop));
}

TGPRectF TGDIPFill::Fill(TGPGraphics* Graphics, const TGPRectF& R, Byte ABorderOpacity, Byte AOpacity,
    Byte AOpacityTo, Byte AOpacityMirror, Byte AOpacityMirrorTo)
{
    TGPRectF r = R;
    const Byte borderOpacity = Effective(ABorderOpacity, FBorderOpacity);
    const Byte oc = Effective(AOpacity, FOpacity);
    const Byte octo = Effective(AOpacityTo, FOpacityTo);
    const Byte ocmr = Effective(AOpacityMirror, FOpacityMirror);
    const Byte ocmrto = Effective(AOpacityMirrorTo, FOpacityMirrorTo);
    if (!Graphics) {
        FFocusRect = Inset(r, float(FBorderWidth));
        return r;
    }

    if (r.Height == 1 || r.Width == 1) {
        // Too thin to fill: the border, when there is one, becomes a line.
        if (FBorderColor != clNone) {
            const TGPPen pen(MakeARGBFromColor(borderOpacity, FBorderColor), float(FBorderWidth));
            Graphics->DrawLine(&pen, r.X, r.Y, r.X + r.Width - 1, r.Y + r.Height - 1);
        }
    } else {
        DrawShadow(Graphics, r);
        DrawBackGround(Graphics, r, oc, octo, ocmr, ocmrto);
        if (FBackGroundPictureMode == pmInsideFill && FGradientType == gtTexture && !FBackGroundPicture->GetEmpty()) {
            std::unique_ptr<TGPGraphicsPath> clip(CreateRoundRectangle(r, float(FRounding), FRoundingType));
            Graphics->SetClip(clip.get());
            DrawBackGroundPicture(Graphics, r);
            Graphics->ResetClip();
        }
        if (HasBorder()) {
            std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectangle(r, float(FRounding), FRoundingType));
            const TGPPen pen(MakeARGBFromColor(borderOpacity, FBorderColor), float(FBorderWidth));
            Graphics->DrawPath(&pen, path.get());
        }
    }

    DrawGlow(Graphics, r);

    FFocusRect = Inset(r, float(FBorderWidth));
    if (FFocus) {
        // A radius of 0 or less gives square corners (the path builder also
        // caps it at half the smaller side).
        std::unique_ptr<TGPGraphicsPath> path(
            CreateRoundRectangle(FFocusRect, float(FRounding - FBorderWidth), FRoundingType));
        TGPPen pen(MakeARGBFromColor(oc, FFocusColor), 1);
        pen.SetDashStyle(DashStyleDot);
        TSmoothingScope smooth(Graphics, SmoothingNone);
        Graphics->DrawPath(&pen, path.get());
    }

    if (FBackGroundPictureMode == pmOutsideFill && FGradientType == gtTexture && !FBackGroundPicture->GetEmpty())
        DrawBackGroundPicture(Graphics, r);
    if (!FPicture->GetEmpty())
        DrawForeGroundPicture(Graphics, r);
    return r;
}

void TGDIPFill::DrawGlow(TGPGraphics* Graphics, const TGPRectF& R)
{
    if (!Graphics || FGlow == gmNone)
        return;
    {
        const TGPRegion clip(R);
        Graphics->SetClip(&clip);
    }
    const TGPRectF i = Inset(R, 1);
    if (FGlow == gmGradient || FGlow == gmRadialGradient) {
        std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectangle(i, float(FRounding), FRoundingType));
        const TGPPen pen(MakeARGBFromColor(200, FGlowGradientColor), 1);
        Graphics->DrawPath(&pen, path.get());

        // A band with slanted ends: the triangles run from the corners of i
        // to the band's ends.
        auto band = [&](float top, float height, Byte alphaTop, Byte alphaBottom, bool atTop) {
            const float l = i.X + 5, r = i.X + i.Width - 5;
            const float edge = atTop ? i.Y : i.Y + i.Height;
            const float inner = atTop ? top + height : top;
            const TGPPointF pts[4] = { { i.X, edge }, { i.X + i.Width, edge }, { r, inner }, { l, inner } };
            TGPLinearGradientBrush brush(TGPRectF { i.X, top - 1, i.Width, height + 2 },
                MakeARGBFromColor(alphaTop, FGlowGradientColor), MakeARGBFromColor(alphaBottom, FGlowGradientColor),
                LinearGradientModeVertical);
            Graphics->FillPolygon(&brush, pts, 4);
        };
        band(i.Y, 4, 175, 0, true);
        band(i.Y + i.Height - 7, 7, 0, 220, false);
    }
    if (FGlow == gmRadial || FGlow == gmRadialGradient) {
        TGPGraphicsPath ellipse;
        ellipse.AddEllipse(i.X + 10, i.Y - i.Height / 2, i.Width - 20, 3 * i.Height);
        TGPPathGradientBrush brush(&ellipse);
        brush.SetCenterPoint(TGPPointF { i.X + i.Width / 2, i.Y + i.Height });
        brush.SetCenterColor(MakeARGBFromColor(150, FGlowRadialColor));
        ARGB colors[1] = { MakeARGBFromColor(0, FColor) };
        int count = 1;
        brush.SetSurroundColors(colors, count);
        Graphics->FillPath(&brush, &ellipse);
    }
    Graphics->ResetClip();
}

// ---- ini files ----

void TGDIPFill::SaveToFile(const String& FileName, const String& Section)
{
    TMemIniFile ini(FileName);
    SaveToFile(ini, Section);
    ini.UpdateFile();
}

void TGDIPFill::LoadFromFile(const String& FileName, const String& Section)
{
    TMemIniFile ini(FileName);
    LoadFromFile(ini, Section);
}

void TGDIPFill::SaveToFile(TCustomIniFile& Ini, const String& Section)
{
    auto put = [&](const char16_t* key, Integer v) { Ini.WriteInteger(Section, key, v); };
    put(u"Color", FColor);
    put(u"ColorTo", FColorTo);
    put(u"ColorMirror", FColorMirror);
    put(u"ColorMirrorTo", FColorMirrorTo);
    put(u"GradientType", FGradientType);
    put(u"GradientMirrorType", FGradientMirrorType);
    put(u"HatchStyle", FHatchStyle);
    put(u"HatchStyleMirror", FHatchStyleMirror);
    put(u"BackGroundPictureMode", FBackGroundPictureMode);
    put(u"BackGroundPicturePosition", FBackGroundPicturePosition);
    put(u"BackGroundPictureLeft", FBackGroundPictureLeft);
    put(u"BackGroundPictureTop", FBackGroundPictureTop);
    put(u"PicturePosition", FPicturePosition);
    put(u"PictureLeft", FPictureLeft);
    put(u"PictureTop", FPictureTop);
    // "PictureSize" holds the length of the picture's hex text, as existing
    // files do; the property has a key of its own.
    put(u"PictureSizeMode", FPictureSize);
    put(u"PictureWidth", FPictureWidth);
    put(u"PictureHeight", FPictureHeight);
    put(u"Opacity", FOpacity);
    put(u"OpacityTo", FOpacityTo);
    put(u"OpacityMirror", FOpacityMirror);
    put(u"OpacityMirrorTo", FOpacityMirrorTo);
    put(u"BorderColor", FBorderColor);
    put(u"BorderOpacity", FBorderOpacity);
    put(u"BorderWidth", FBorderWidth);
    put(u"Rounding", FRounding);
    put(u"RoundingType", FRoundingType);
    put(u"ShadowOffset", FShadowOffset);
    put(u"ShadowColor", FShadowColor);
    put(u"Angle", FAngle);
    put(u"Glow", FGlow);
    put(u"GlowGradientColor", FGlowGradientColor);
    put(u"GlowRadialColor", FGlowRadialColor);
    SavePictureHex(Ini, Section, u"Picture", u"PictureSize", FPicture.get());
    SavePictureHex(Ini, Section, u"BackgroundPicture", u"BackgroundPictureSize", FBackGroundPicture.get());
}

void TGDIPFill::LoadFromFile(TCustomIniFile& Ini, const String& Section)
{
    ++FUpdateCount;
    try {
        auto num = [&](const char16_t* key, Integer current) { return Ini.ReadInteger(Section, key, current); };
        auto byte = [&](const char16_t* key, Byte current) { return ReadByte(Ini, Section, key, current); };
        FColor = num(u"Color", FColor);
        FColorTo = num(u"ColorTo", FColorTo);
        FColorMirror = num(u"ColorMirror", FColorMirror);
        FColorMirrorTo = num(u"ColorMirrorTo", FColorMirrorTo);
        FGradientType = ReadOrdinal(Ini, Section, u"GradientType", FGradientType, gtNone + 1);
        FGradientMirrorType = ReadOrdinal(Ini, Section, u"GradientMirrorType", FGradientMirrorType, gtNone + 1);
        FHatchStyle = ReadOrdinal(Ini, Section, u"HatchStyle", FHatchStyle, HatchStyleTotal + 1);
        FHatchStyleMirror = ReadOrdinal(Ini, Section, u"HatchStyleMirror", FHatchStyleMirror, HatchStyleTotal + 1);
        FBackGroundPictureMode = ReadOrdinal(Ini, Section, u"BackGroundPictureMode", FBackGroundPictureMode, 2);
        FBackGroundPicturePosition
            = ReadOrdinal(Ini, Section, u"BackGroundPicturePosition", FBackGroundPicturePosition, ppCustom + 1);
        FBackGroundPictureLeft = num(u"BackGroundPictureLeft", FBackGroundPictureLeft);
        FBackGroundPictureTop = num(u"BackGroundPictureTop", FBackGroundPictureTop);
        FPicturePosition = ReadOrdinal(Ini, Section, u"PicturePosition", FPicturePosition, ppCustom + 1);
        FPictureLeft = num(u"PictureLeft", FPictureLeft);
        FPictureTop = num(u"PictureTop", FPictureTop);
        FPictureSize = ReadOrdinal(Ini, Section, u"PictureSizeMode", FPictureSize, 2);
        FPictureWidth = num(u"PictureWidth", FPictureWidth);
        FPictureHeight = num(u"PictureHeight", FPictureHeight);
        FOpacity = byte(u"Opacity", FOpacity);
        FOpacityTo = byte(u"OpacityTo", FOpacityTo);
        FOpacityMirror = byte(u"OpacityMirror", FOpacityMirror);
        FOpacityMirrorTo = byte(u"OpacityMirrorTo", FOpacityMirrorTo);
        FBorderColor = num(u"BorderColor", FBorderColor);
        FBorderOpacity = byte(u"BorderOpacity", FBorderOpacity);
        FBorderWidth = num(u"BorderWidth", FBorderWidth);
        FRounding = num(u"Rounding", FRounding);
        FRoundingType = ReadOrdinal(Ini, Section, u"RoundingType", FRoundingType, rtRight + 1);
        FShadowOffset = num(u"ShadowOffset", FShadowOffset);
        FShadowColor = num(u"ShadowColor", FShadowColor);
        FAngle = num(u"Angle", FAngle);
        FGlow = ReadOrdinal(Ini, Section, u"Glow", FGlow, gmRadialGradient + 1);
        FGlowGradientColor = num(u"GlowGradientColor", FGlowGradientColor);
        FGlowRadialColor = num(u"GlowRadialColor", FGlowRadialColor);
        LoadPictureHex(Ini, Section, u"Picture", u"PictureSize", FPicture.get());
        LoadPictureHex(Ini, Section, u"BackgroundPicture", u"BackgroundPictureSize", FBackGroundPicture.get());
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    Changed();
}

// ---- clipboard ----

namespace {

bool IsFillPicture(TObject* o, const String& name)
{
    return dynamic_cast<TGDIPFill*>(o) && (name == u"Picture" || name == u"BackGroundPicture");
}

TLumGDIPPicture* FillPicture(TObject* o, const String& name)
{
    auto* fill = static_cast<TGDIPFill*>(o);
    return name == u"Picture" ? fill->GetPicture() : fill->GetBackGroundPicture();
}

// Carries the fill's pictures as hexadecimal strings of their bytes while
// the persistence runs; the hooks in place before are restored afterwards.
class TPictureBytesHooks {
public:
    TPictureBytesHooks()
        : FOldWrite(TLumPersistence::OnCustomWriteProperty), FOldRead(TLumPersistence::OnCustomReadProperty)
    {
        TLumPersistence::OnCustomWriteProperty
            = [old = FOldWrite](TObject* o, const String& name, TTypeKind kind, TLumJSONWriter& w, bool& can) {
                  if (!IsFillPicture(o, name)) {
                      if (old)
                          old(o, name, kind, w, can);
                      return;
                  }
                  TLumGDIPPicture* picture = FillPicture(o, name);
                  TMemoryStream stream;
                  if (!picture->GetEmpty())
                      picture->SaveToStream(stream);
                  stream.SetPosition(0);
                  TBytes bytes(std::size_t(stream.GetSize()));
                  if (!bytes.empty())
                      stream.ReadBuffer(bytes.data(), int(bytes.size()));
                  w.WriteName(name);
                  w.WriteString(BytesToHex(bytes));
                  can = false;
              };
        TLumPersistence::OnCustomReadProperty
            = [old = FOldRead](TObject* o, const String& name, TTypeKind kind, TLumJSONReader& r, bool& can) {
                  if (!IsFillPicture(o, name)) {
                      if (old)
                          old(o, name, kind, r, can);
                      return;
                  }
                  const TBytes bytes = HexToBytes(r.ReadString());
                  TLumGDIPPicture* picture = FillPicture(o, name);
                  if (bytes.empty())
                      picture->Assign(nullptr);
                  else {
                      TMemoryStream stream;
                      stream.WriteBuffer(bytes.data(), int(bytes.size()));
                      stream.SetPosition(0);
                      picture->LoadFromStream(stream);
                  }
                  can = false;
              };
    }
    ~TPictureBytesHooks()
    {
        TLumPersistence::OnCustomWriteProperty = FOldWrite;
        TLumPersistence::OnCustomReadProperty = FOldRead;
    }
    TPictureBytesHooks(const TPictureBytesHooks&) = delete;
    TPictureBytesHooks& operator=(const TPictureBytesHooks&) = delete;

private:
    TLumWriterCustomWritePropertyEvent FOldWrite;
    TLumReaderCustomReadPropertyEvent FOldRead;
};

} // namespace

void TGDIPFill::SaveToClipBoard()
{
    TMemoryStream stream;
    {
        TPictureBytesHooks hooks;
        TLumPersistence::SaveSettingsToStream(this, stream);
    }
    const std::size_t size = std::size_t(stream.GetSize());
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem)
        throw EOutOfMemory(u"Out of memory");
    if (void* p = GlobalLock(mem)) {
        if (size)
            std::memcpy(p, stream.GetMemory(), size);
        GlobalUnlock(mem);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(mem);
        return;
    }
    EmptyClipboard();
    SetClipboardData(GDIPFillClipboardFormat(), mem);
    CloseClipboard();
}

void TGDIPFill::LoadFromClipBoard()
{
    if (!OpenClipboard(nullptr))
        return;
    TMemoryStream stream;
    if (HANDLE mem = GetClipboardData(GDIPFillClipboardFormat())) {
        const std::size_t size = GlobalSize(mem);
        if (void* p = GlobalLock(mem)) {
            if (size)
                stream.WriteBuffer(p, int(size));
            GlobalUnlock(mem);
        }
    }
    CloseClipboard();
    if (stream.GetSize() == 0)
        return;
    stream.SetPosition(0);
    ++FUpdateCount;
    try {
        TPictureBytesHooks hooks;
        TLumPersistence::LoadSettingsFromStream(this, stream);
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    Changed();
}
