#include "graphics/LumGraphicsTypes.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "foundation/VuzErazs.h"
#include "graphics/LumBitmap.h"
#include "platform/rtl/MathUtils.h"

QT_PUBLISHED(TLumGraphicsFillGradientItem, QT_PROP(Opacity), QT_PROP_T(Color, u"TColor"), QT_PROP(Position))
QT_PUBLISHED(TLumGraphicsFillGradientItems)
QT_PUBLISHED(TLumGraphicsFill)
QT_PUBLISHED(TLumCustomGraphicsFill, QT_EVENT(OnChanged), QT_PROP(Kind), QT_PROP(Orientation), QT_PROP_T(Color, u"TColor"),
    QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(ColorMirror, u"TColor"), QT_PROP_T(ColorMirrorTo, u"TColor"),
    QT_PROP(TextureMode), QT_PROP(Texture))
QT_PUBLISHED(TLumGraphicsStroke)
QT_PUBLISHED(TLumCustomGraphicsStroke, QT_EVENT(OnChanged), QT_PROP(Kind), QT_PROP_T(Color, u"TColor"), QT_PROP(Width))
QT_PUBLISHED(TLumGraphicsFont)
QT_PUBLISHED(TLumGraphicsSaveState)
QT_PUBLISHED(TLumGraphicsColorObject, QT_PROP_T(Color, u"TColor"))

namespace {

// Fills and strokes never store the framework's clNone and clDefault.
TColor NormalColor(TColor Value)
{
    if (Value == clNone)
        return gcNull;
    if (Value == clDefault)
        return clBtnFace;
    return Value;
}

} // namespace

// ---- gradient stops ----

TLumGraphicsFillGradientItem::TLumGraphicsFillGradientItem(TCollection* Collection)
    : TCollectionItem(Collection)
{
}

void TLumGraphicsFillGradientItem::Assign(TPersistent* Source)
{
    if (auto* item = dynamic_cast<TLumGraphicsFillGradientItem*>(Source)) {
        FColor = item->FColor;
        FOpacity = item->FOpacity;
        FPosition = item->FPosition;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TLumGraphicsFillGradientItem::NotifyOwnerFill()
{
    if (auto* items = dynamic_cast<TLumGraphicsFillGradientItems*>(GetCollection()))
        if (items->GetOwnerFill())
            items->GetOwnerFill()->Changed();
}

void TLumGraphicsFillGradientItem::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    NotifyOwnerFill();
}

void TLumGraphicsFillGradientItem::SetPosition(float Value)
{
    if (FPosition == Value)
        return;
    FPosition = Value;
    NotifyOwnerFill();
}

void TLumGraphicsFillGradientItem::SetOpacity(float Value)
{
    if (FOpacity == Value)
        return;
    FOpacity = Value;
    NotifyOwnerFill();
}

TLumGraphicsFillGradientItems::TLumGraphicsFillGradientItems(TLumCustomGraphicsFill* AOwner)
    : TLumOwnedCollection<TLumGraphicsFillGradientItem>(AOwner)
    , FOwner(AOwner)
{
}

TLumGraphicsFillGradientItem* TLumGraphicsFillGradientItems::Add()
{
    return static_cast<TLumGraphicsFillGradientItem*>(TCollection::Add());
}

TLumGraphicsFillGradientItem* TLumGraphicsFillGradientItems::Insert(int Index)
{
    return static_cast<TLumGraphicsFillGradientItem*>(TCollection::Insert(Index));
}

// ---- fill ----

TLumCustomGraphicsFill::TLumCustomGraphicsFill(TLumGraphicsFillKind AKind, TColor AColor, TColor AColorTo,
    TColor AColorMirror, TColor AColorMirrorTo)
    : FKind(AKind)
    , FDefaultKind(AKind)
    , FColor(AColor)
    , FDefaultColor(AColor)
    , FColorTo(AColorTo)
    , FColorMirror(AColorMirror)
    , FColorMirrorTo(AColorMirrorTo)
    , FDefaultColorTo(AColorTo)
    , FDefaultColorMirror(AColorMirror)
    , FDefaultColorMirrorTo(AColorMirrorTo)
    , FTexture(std::make_unique<TLumBitmap>())
    , FGradientItems(std::make_unique<TLumGraphicsFillGradientItems>(this))
{
    FTexture->OnChange = [this](TObject*) { Changed(); };
}

TLumCustomGraphicsFill::~TLumCustomGraphicsFill()
{
    FTexture->OnChange = nullptr;
}

void TLumCustomGraphicsFill::EndUpdate()
{
    --FUpdateCount;
    Changed();
}

void TLumCustomGraphicsFill::Changed()
{
    if (OnChanged && FUpdateCount == 0)
        OnChanged(this);
}

void TLumCustomGraphicsFill::Assign(TPersistent* Source)
{
    BeginUpdate();
    if (auto* fill = dynamic_cast<TLumCustomGraphicsFill*>(Source)) {
        FColor = fill->FColor;
        FColorTo = fill->FColorTo;
        FColorMirror = fill->FColorMirror;
        FColorMirrorTo = fill->FColorMirrorTo;
        FKind = fill->FKind;
        FOrientation = fill->FOrientation;
        FOpacity = fill->FOpacity;
        FTexture->Assign(fill->FTexture.get());
        FTextureMode = fill->FTextureMode;
        FGradientMode = fill->FGradientMode;
        FGradientAngle = fill->FGradientAngle;
        FGradientCenterPoint = fill->FGradientCenterPoint;
        FGradientItems->Assign(fill->FGradientItems.get());
        FGradientType = fill->FGradientType;
        FGradientCenterColor = fill->FGradientCenterColor;
    } else if (auto* stroke = dynamic_cast<TLumCustomGraphicsStroke*>(Source)) {
        FColor = stroke->GetColor();
        FColorTo = FColorMirror = FColorMirrorTo = gcNull;
        FKind = gfkSolid;
        FOrientation = gfoVertical;
        FOpacity = 1;
    }
    --FUpdateCount;
    Changed();
}

void TLumCustomGraphicsFill::ClearGradientItems()
{
    FGradientItems->Clear();
}

TLumGraphicsFillGradientItem* TLumCustomGraphicsFill::AddGradientItem(TColor AColor, float APosition, float AOpacity)
{
    TLumGraphicsFillGradientItem* item = FGradientItems->Add();
    item->SetColor(AColor);
    item->SetPosition(APosition);
    item->SetOpacity(AOpacity);
    return item;
}

// The raw value is compared, so clNone set twice notifies twice (-1 is stored).
void TLumCustomGraphicsFill::SetColorField(TColor& AField, TColor Value)
{
    if (AField == Value)
        return;
    AField = NormalColor(Value);
    Changed();
}

#define LUM_CHANGE_ONLY_SETTER(Class, Name, Type, Field) \
    void Class::Set##Name(Type Value)                    \
    {                                                    \
        if (Field == Value)                              \
            return;                                      \
        Field = Value;                                   \
        Changed();                                       \
    }

LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, Kind, TLumGraphicsFillKind, FKind)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, Orientation, TLumGraphicsFillOrientation, FOrientation)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, TextureMode, TLumGraphicsTextureMode, FTextureMode)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, GradientType, TLumGraphicsFillGradientType, FGradientType)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, GradientMode, TLumGraphicsFillGradientMode, FGradientMode)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, GradientCenterColor, TColor, FGradientCenterColor)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, Opacity, float, FOpacity)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsFill, GradientAngle, float, FGradientAngle)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsStroke, Kind, TLumGraphicsStrokeKind, FKind)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsStroke, Width, float, FWidth)
LUM_CHANGE_ONLY_SETTER(TLumCustomGraphicsStroke, Opacity, float, FOpacity)
#undef LUM_CHANGE_ONLY_SETTER

void TLumCustomGraphicsFill::SetGradientCenterPoint(TPointF Value)
{
    FGradientCenterPoint = Value;
    Changed();
}

void TLumCustomGraphicsFill::SetTexture(TLumBitmap* Value)
{
    if (Value == FTexture.get())
        return;
    BeginUpdate();
    FTexture->Assign(Value);
    --FUpdateCount;
    Changed();
}

void TLumCustomGraphicsFill::SetGradientItems(TLumGraphicsFillGradientItems* Value)
{
    if (Value != FGradientItems.get())
        FGradientItems->Assign(Value);
}

// ---- stroke ----

TLumCustomGraphicsStroke::TLumCustomGraphicsStroke(TLumGraphicsStrokeKind AKind, TColor AColor)
    : FKind(AKind)
    , FColor(AColor)
    , FDefaultKind(AKind)
    , FDefaultColor(AColor)
{
}

void TLumCustomGraphicsStroke::EndUpdate()
{
    --FUpdateCount;
    Changed();
}

void TLumCustomGraphicsStroke::Changed()
{
    if (OnChanged && FUpdateCount == 0)
        OnChanged(this);
}

void TLumCustomGraphicsStroke::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = NormalColor(Value);
    Changed();
}

void TLumCustomGraphicsStroke::Assign(TPersistent* Source)
{
    if (auto* stroke = dynamic_cast<TLumCustomGraphicsStroke*>(Source)) {
        FColor = stroke->FColor;
        FKind = stroke->FKind;
        FOpacity = stroke->FOpacity;
        FWidth = stroke->FWidth;
    } else if (auto* fill = dynamic_cast<TLumCustomGraphicsFill*>(Source)) {
        FColor = fill->GetColor();
        FKind = gskSolid;
        FOpacity = 1;
        FWidth = 1;
    }
    Changed();
}

// ---- font ----

TLumGraphicsFont::TLumGraphicsFont()
{
    SetHeight(-11);
}

void TLumGraphicsFont::Assign(TPersistent* Source)
{
    // The platform font reports each property it copies; one notification for the whole copy.
    ++FUpdateCount;
    try {
        TFont::Assign(Source);
    } catch (...) {
        --FUpdateCount;
        throw;
    }
    --FUpdateCount;
    NotifyChanged();
}

void TLumGraphicsFont::EndUpdate()
{
    --FUpdateCount;
    NotifyChanged();
}

void TLumGraphicsFont::Changed()
{
    TFont::Changed();
    NotifyChanged();
}

void TLumGraphicsFont::NotifyChanged()
{
    if (OnChanged && FUpdateCount == 0)
        OnChanged(this);
}

// ---- save state ----

TLumGraphicsSaveState::TLumGraphicsSaveState()
    : FFont(std::make_unique<TLumGraphicsFont>())
    , FStroke(std::make_unique<TLumGraphicsStroke>(gskSolid, 0xC0C0C0))
    , FFill(std::make_unique<TLumGraphicsFill>(gfkSolid, 0xFFFFFF, 0x808080, gcNull, gcNull))
{
}

TLumGraphicsSaveState::~TLumGraphicsSaveState() = default;

// ---- named colours ----

namespace {

struct TNamedColor {
    const char16_t* Name;
    std::uint32_t RGB; // as written in CSS: red in the high byte
};

const TNamedColor NamedColors[] = {
    { u"aliceblue", 0xF0F8FF }, { u"antiquewhite", 0xFAEBD7 }, { u"aqua", 0x00FFFF },
    { u"aquamarine", 0x7FFFD4 }, { u"azure", 0xF0FFFF }, { u"beige", 0xF5F5DC }, { u"bisque", 0xFFE4C4 },
    { u"black", 0x000000 }, { u"blanchedalmond", 0xFFEBCD }, { u"blue", 0x0000FF },
    { u"blueviolet", 0x8A2BE2 }, { u"brown", 0xA52A2A }, { u"burlywood", 0xDEB887 },
    { u"cadetblue", 0x5F9EA0 }, { u"chartreuse", 0x7FFF00 }, { u"chocolate", 0xD2691E },
    { u"coral", 0xFF7F50 }, { u"cornflowerblue", 0x6495ED }, { u"cornsilk", 0xFFF8DC },
    { u"crimson", 0xDC143C }, { u"cyan", 0x00FFFF }, { u"darkblue", 0x00008B }, { u"darkcyan", 0x008B8B },
    { u"darkgoldenrod", 0xB8860B }, { u"darkgray", 0xA9A9A9 }, { u"darkgreen", 0x006400 },
    { u"darkgrey", 0xA9A9A9 }, { u"darkkhaki", 0xBDB76B }, { u"darkmagenta", 0x8B008B },
    { u"darkolivegreen", 0x556B2F }, { u"darkorange", 0xFF8C00 }, { u"darkorchid", 0x9932CC },
    { u"darkred", 0x8B0000 }, { u"darksalmon", 0xE9967A }, { u"darkseagreen", 0x8FBC8F },
    { u"darkslateblue", 0x483D8B }, { u"darkslategray", 0x2F4F4F }, { u"darkslategrey", 0x2F4F4F },
    { u"darkturquoise", 0x00CED1 }, { u"darkviolet", 0x9400D3 }, { u"deeppink", 0xFF1493 },
    { u"deepskyblue", 0x00BFFF }, { u"dimgray", 0x696969 }, { u"dimgrey", 0x696969 },
    { u"dodgerblue", 0x1E90FF }, { u"firebrick", 0xB22222 }, { u"floralwhite", 0xFFFAF0 },
    { u"forestgreen", 0x228B22 }, { u"fuchsia", 0xFF00FF }, { u"gainsboro", 0xDCDCDC },
    { u"ghostwhite", 0xF8F8FF }, { u"gold", 0xFFD700 }, { u"goldenrod", 0xDAA520 }, { u"gray", 0x808080 },
    { u"grey", 0x808080 }, { u"green", 0x008000 }, { u"greenyellow", 0xADFF2F }, { u"honeydew", 0xF0FFF0 },
    { u"hotpink", 0xFF69B4 }, { u"indianred", 0xCD5C5C }, { u"indigo", 0x4B0082 }, { u"ivory", 0xFFFFF0 },
    { u"khaki", 0xF0E68C }, { u"lavender", 0xE6E6FA }, { u"lavenderblush", 0xFFF0F5 },
    { u"lawngreen", 0x7CFC00 }, { u"lemonchiffon", 0xFFFACD }, { u"lightblue", 0xADD8E6 },
    { u"lightcoral", 0xF08080 }, { u"lightcyan", 0xE0FFFF }, { u"lightgoldenrodyellow", 0xFAFAD2 },
    { u"lightgray", 0xD3D3D3 }, { u"lightgreen", 0x90EE90 }, { u"lightgrey", 0xD3D3D3 },
    { u"lightpink", 0xFFB6C1 }, { u"lightsalmon", 0xFFA07A }, { u"lightseagreen", 0x20B2AA },
    { u"lightskyblue", 0x87CEFA }, { u"lightslategray", 0x778899 }, { u"lightslategrey", 0x778899 },
    { u"lightsteelblue", 0xB0C4DE }, { u"lightyellow", 0xFFFFE0 }, { u"lime", 0x00FF00 },
    { u"limegreen", 0x32CD32 }, { u"linen", 0xFAF0E6 }, { u"magenta", 0xFF00FF }, { u"maroon", 0x800000 },
    { u"mediumaquamarine", 0x66CDAA }, { u"mediumblue", 0x0000CD }, { u"mediumorchid", 0xBA55D3 },
    { u"mediumpurple", 0x9370DB }, { u"mediumseagreen", 0x3CB371 }, { u"mediumslateblue", 0x7B68EE },
    { u"mediumspringgreen", 0x00FA9A }, { u"mediumturquoise", 0x48D1CC }, { u"mediumvioletred", 0xC71585 },
    { u"midnightblue", 0x191970 }, { u"mintcream", 0xF5FFFA }, { u"mistyrose", 0xFFE4E1 },
    { u"moccasin", 0xFFE4B5 }, { u"navajowhite", 0xFFDEAD }, { u"navy", 0x000080 }, { u"oldlace", 0xFDF5E6 },
    { u"olive", 0x808000 }, { u"olivedrab", 0x6B8E23 }, { u"orange", 0xFFA500 }, { u"orangered", 0xFF4500 },
    { u"orchid", 0xDA70D6 }, { u"palegoldenrod", 0xEEE8AA }, { u"palegreen", 0x98FB98 },
    { u"paleturquoise", 0xAFEEEE }, { u"palevioletred", 0xDB7093 }, { u"papayawhip", 0xFFEFD5 },
    { u"peachpuff", 0xFFDAB9 }, { u"peru", 0xCD853F }, { u"pink", 0xFFC0CB }, { u"plum", 0xDDA0DD },
    { u"powderblue", 0xB0E0E6 }, { u"purple", 0x800080 }, { u"red", 0xFF0000 }, { u"rosybrown", 0xBC8F8F },
    { u"royalblue", 0x4169E1 }, { u"saddlebrown", 0x8B4513 }, { u"salmon", 0xFA8072 },
    { u"sandybrown", 0xF4A460 }, { u"seagreen", 0x2E8B57 }, { u"seashell", 0xFFF5EE }, { u"sienna", 0xA0522D },
    { u"skyblue", 0x87CEEB }, { u"slateblue", 0x6A5ACD }, { u"slategray", 0x708090 },
    { u"slategrey", 0x708090 }, { u"snow", 0xFFFAFA }, { u"springgreen", 0x00FF7F },
    { u"steelblue", 0x4682B4 }, { u"violet", 0xEE82EE }, { u"thistle", 0xD8BFD8 }, { u"tan", 0xD2B48C },
    { u"tomato", 0xFF6347 }, { u"turquoise", 0x40E0D0 }, { u"wheat", 0xF5DEB3 }, { u"whitesmoke", 0xF5F5F5 },
    { u"yellowgreen", 0x9ACD32 },
    // The basic names once more, after the full table.
    { u"red", 0xFF0000 }, { u"black", 0x000000 }, { u"blue", 0x0000FF }, { u"green", 0x008000 },
    { u"aqua", 0x00FFFF }, { u"yellow", 0xFFFF00 }, { u"fuchsia", 0xFF00FF }, { u"white", 0xFFFFFF },
    { u"lime", 0x00FF00 }, { u"silver", 0xC0C0C0 }, { u"gray", 0x808080 }, { u"olive", 0x808000 },
    { u"navy", 0x000080 }, { u"purple", 0x800080 }, { u"teal", 0x008080 }, { u"orange", 0xFFA500 },
    { u"maroon", 0x800000 },
};

TColor CSSToColor(std::uint32_t rgb)
{
    return MakeRGBColor(Byte(rgb >> 16), Byte(rgb >> 8), Byte(rgb));
}

} // namespace

TStringList* GetNamedColorList()
{
    // Made on first use and kept for the life of the process.
    static TStringList* list = [] {
        auto* l = new TStringList(true);
        for (const auto& c : NamedColors)
            l->AddObject(c.Name, new TLumGraphicsColorObject(CSSToColor(c.RGB)));
        return l;
    }();
    return list;
}

bool FindNamedColor(StringView lowerName, TColor& color)
{
    static const std::unordered_map<StringView, std::uint32_t>* byName = [] {
        auto* map = new std::unordered_map<StringView, std::uint32_t>;
        for (const auto& c : NamedColors)
            map->emplace(StringView(c.Name), c.RGB); // the first entry of a name stands
        return map;
    }();
    const auto it = byName->find(lowerName);
    if (it == byName->end())
        return false;
    color = CSSToColor(it->second);
    return true;
}

// ---- colour routines ----

TColor MixColors(TColor C1, TColor C2, Byte Percent)
{
    const int w = int(RoundHalfEven(Percent * 2.55)) % 256;
    const TColor a = ColorToRGB(C1);
    const TColor b = ColorToRGB(C2);
    TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c1 = (a >> shift) & 0xFF;
        const int c2 = (b >> shift) & 0xFF;
        // Floor division by 256, as an arithmetic shift does.
        int c = c2 + int(std::floor((c1 - c2) * w / 256.0));
        c = std::min(c, 255);
        result |= TColor(c & 0xFF) << shift;
    }
    return result;
}

TColor LightenColor(TColor AColor, Byte Percent)
{
    const TColor rgb = ColorToRGB(AColor);
    TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = (rgb >> shift) & 0xFF;
        const int add = std::min(255, TVuzErazs::MulDivInt(255 - c, Percent, 100));
        result |= TColor((c + add) & 0xFF) << shift;
    }
    return result;
}

void DrawGradientRect(TCanvas* ACanvas, TColor FromColor, TColor ToColor, bool AHorizontal, int ACorners,
    float ARadius, const TRect& R)
{
    if (!ACanvas)
        return;
    int n = AHorizontal ? R.Width() : R.Height();
    if (n <= 0)
        n = 1;
    const TColor from = ColorToRGB(FromColor);
    const TColor to = ColorToRGB(ToColor);
    const TColor brushColor = ACanvas->GetBrush()->GetColor();
    const TBrushStyle brushStyle = ACanvas->GetBrush()->GetStyle();
    const TColor penColor = ACanvas->GetPen()->GetColor();
    const TPenStyle penStyle = ACanvas->GetPen()->GetStyle();
    ACanvas->GetPen()->SetStyle(psSolid);
    ACanvas->GetBrush()->SetStyle(bsSolid);

    const double r = ARadius;
    // How far a band is cut back at a rounded corner, u pixels from its end.
    auto cut = [r](int u) -> int {
        if (r <= 0 || u >= r)
            return 0;
        const double d = r - u;
        return int(RoundHalfEven(r - std::sqrt(std::max(0.0, r * r - d * d))));
    };
    // Corners at the start and at the end of the gradient direction, and on
    // which side of a band each lies.
    // Columns run top (low) to bottom (high); rows left (low) to right (high).
    const bool startLow = ACorners & 1;
    const bool startHigh = ACorners & (AHorizontal ? 4 : 2);
    const bool endLow = ACorners & (AHorizontal ? 2 : 4);
    const bool endHigh = ACorners & 8;

    for (int i = 0; i < n; ++i) {
        TColor c = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int f = (from >> shift) & 0xFF;
            const int t = (to >> shift) & 0xFF;
            const int v = f + int(RoundHalfEven(i * (double(t - f) / n)));
            c |= TColor(std::clamp(v, 0, 255)) << shift;
        }
        ACanvas->GetPen()->SetColor(c);
        ACanvas->GetBrush()->SetColor(c);
        const int fromStart = i;
        const int fromEnd = n - 1 - i;
        int cutLow = 0, cutHigh = 0;
        if (startLow)
            cutLow = std::max(cutLow, cut(fromStart));
        if (startHigh)
            cutHigh = std::max(cutHigh, cut(fromStart));
        if (endLow)
            cutLow = std::max(cutLow, cut(fromEnd));
        if (endHigh)
            cutHigh = std::max(cutHigh, cut(fromEnd));
        TRect band = AHorizontal ? TRect { R.Left + i, R.Top + cutLow, R.Left + i + 1, R.Bottom - cutHigh }
                                 : TRect { R.Left + cutLow, R.Top + i, R.Right - cutHigh, R.Top + i + 1 };
        band.Left = std::max(band.Left, R.Left);
        band.Top = std::max(band.Top, R.Top);
        band.Right = std::min(band.Right, R.Right);
        band.Bottom = std::min(band.Bottom, R.Bottom);
        if (band.Right > band.Left && band.Bottom > band.Top)
            ACanvas->FillRect(band);
    }
    ACanvas->GetBrush()->SetColor(brushColor);
    ACanvas->GetBrush()->SetStyle(brushStyle);
    ACanvas->GetPen()->SetColor(penColor);
    ACanvas->GetPen()->SetStyle(penStyle);
}
