#include "graphics/LumSVGParser.h"

#include <algorithm>
#include <cmath>

#include "foundation/VuzErazs.h"
#include "graphics/LumGraphics.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool StartsWith(StringView AText, StringView APrefix) { return AText.substr(0, APrefix.size()) == APrefix; }
bool EndsWith(StringView AText, StringView ASuffix)
{
    return AText.size() >= ASuffix.size() && AText.substr(AText.size() - ASuffix.size()) == ASuffix;
}

bool ReadFloat(StringView AText, float& AValue)
{
    double v = 0;
    if (AText.empty() || !TryStrToFloat(AText, v, InvariantFormatSettings()) || !std::isfinite(float(v)))
        return false;
    AValue = float(v);
    return true;
}

const struct {
    TLumGraphicsSVGElementType Type;
    const char16_t* Name;
} ElementNames[] = {
    { etContainer, u"g" }, { etSwitch, u"switch" }, { etDefs, u"defs" }, { etUse, u"use" }, { etRect, u"rect" },
    { etLine, u"line" }, { etPolyline, u"polyline" }, { etPolygon, u"polygon" }, { etCircle, u"circle" },
    { etEllipse, u"ellipse" }, { etPath, u"path" }, { etImage, u"image" }, { etText, u"text" },
    { etTextSpan, u"tspan" }, { etTextSpanChild, u"#text" }, { etTextPath, u"textPath" },
    { etClipPath, u"clipPath" }, { etLinearGradient, u"linearGradient" }, { etRadialGradient, u"radialGradient" },
    { etStyle, u"style" }, { etStop, u"stop" }, { etPattern, u"pattern" },
};

TLumGraphicsSVGElementType ElementTypeOf(const String& AName)
{
    for (const auto& e : ElementNames)
        if (AName == e.Name)
            return e.Type;
    return etUnknown;
}

bool IsGradientOrPattern(const TLumGraphicsSVGElement* AElement)
{
    if (!AElement)
        return false;
    const auto t = AElement->GetType();
    return t == etLinearGradient || t == etRadialGradient || t == etPattern;
}

TColor ColorFromRGB(int R, int G, int B) { return TColor(R | (G << 8) | (B << 16)); }

// Font family names carry weight and slant words ("Arial-BoldMT").
String ParseFontFamily(const String& AValue, TFontStyles& AStyles)
{
    String name = AValue;
    auto removeWord = [&name](StringView AWord) {
        const auto at = name.find(AWord);
        if (at == String::npos)
            return false;
        name.erase(at, AWord.size());
        if (!name.empty() && name.back() == u'-')
            name.pop_back();
        return true;
    };
    if (removeWord(u"Bold"))
        AStyles.Include(fsBold);
    if (removeWord(u"Italic"))
        AStyles.Include(fsItalic);
    if (EndsWith(name, u"MT"))
        name.resize(name.size() - 2);
    if (!name.empty() && name.back() == u'-')
        name.pop_back();
    const auto comma = name.find(u',');
    if (comma == String::npos)
        return name;
    const auto next = name.find(u',', comma + 1);
    return Trim(StringView(name).substr(comma + 1, next == String::npos ? String::npos : next - comma - 1));
}

// One colour declaration ("fill", "stroke", "stop-color"): sets the colour,
// and the declared text to "none" for a fully transparent rgba value.
void ApplyColor(const String& AValue, String& ADeclared, TColor& AColor, String* AURLRef)
{
    ADeclared = AValue;
    if (AValue == u"none" || AValue == u"transparent" || AValue == TLumGraphicsSVGElement::DefaultValue) {
        AColor = -1;
        return;
    }
    if (StartsWith(AValue, u"#")) {
        // A colour that is not hexadecimal must not end the whole document.
        try {
            AColor = TLumGraphics::HTMLToColor(AValue);
        } catch (const Exception&) {
            AColor = -1;
        }
    }
    else if (AURLRef && (StartsWith(AValue, u"url(#") || StartsWith(AValue, u"url('#"))) {
        const auto hash = AValue.find(u'#');
        auto end = AValue.find(u"')", hash);
        if (end == String::npos)
            end = AValue.find(u')', hash);
        *AURLRef = AValue.substr(hash + 1, end == String::npos ? String::npos : end - hash - 1);
    } else if (StartsWith(AValue, u"rgb")) {
        int alpha = 255;
        AColor = ParseRGBColor(AValue, alpha);
        if (alpha == 0)
            ADeclared = u"none";
    } else
        AColor = TLumGraphics::TextToColor(AValue);
}

} // namespace

QT_PUBLISHED(TLumGraphicsSVGElement)
QT_PUBLISHED(TLumGraphicsSVGImport)

// ---- colours and lengths ----

TColor ParseRGBColor(const String& AValue, int& AAlpha)
{
    AAlpha = -1;
    const bool rgba = StartsWith(AValue, u"rgba(");
    if ((!rgba && !StartsWith(AValue, u"rgb(")) || !EndsWith(AValue, u")"))
        return -1;
    const std::size_t open = AValue.find(u'(');
    const String inner = Trim(StringView(AValue).substr(open + 1, AValue.size() - open - 2));
    std::vector<String> parts;
    std::size_t start = 0;
    while (true) {
        const auto comma = inner.find(u',', start);
        String part = inner.substr(start, comma == String::npos ? String::npos : comma - start);
        parts.push_back(parts.empty() ? part : TrimLeft(part));
        if (comma == String::npos)
            break;
        start = comma + 1;
    }
    if (!rgba)
        parts.push_back(u"255");
    if (parts.size() != 4)
        return -1;
    auto partValue = [](String APart) -> int {
        APart = u"0" + APart;
        const bool percent = !APart.empty() && APart.back() == u'%';
        if (percent)
            APart.pop_back();
        long long value = -1;
        const bool decimal = std::all_of(APart.begin(), APart.end(), [](Char c) { return c >= u'0' && c <= u'9'; });
        StringView hex = APart;
        if (hex.size() > 1 && hex[1] == u'#')
            hex = StringView(APart).substr(2);
        const bool isHex = !hex.empty() && std::all_of(hex.begin(), hex.end(), [](Char c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        });
        if (!decimal && !isHex)
            return -1;
        value = 0;
        for (Char c : (decimal ? StringView(APart) : hex)) {
            const int d = c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
            value = std::min<long long>(value * (decimal ? 10 : 16) + d, 1 << 20); // capped below anyway
        }
        if (percent)
            return int(std::nearbyint(double(std::min<long long>(value, 100)) * 2.55));
        return int(std::min<long long>(value, 255));
    };
    int v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = partValue(parts[std::size_t(i)]);
    AAlpha = v[3];
    if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[3] < 0)
        return -1;
    return ColorFromRGB(v[0], v[1], v[2]);
}

float ParseSVGLength(const String& AValue, String* AUnit)
{
    static const struct {
        const char16_t* Unit;
        float Factor;
    } Units[] = { { u"px", 1 }, { u"pt", 1.25f }, { u"pc", 15 }, { u"mm", 10 }, { u"cm", 100 }, { u"in", 25.4f },
        { u"em", 1 }, { u"ex", 1 } };
    StringView text = AValue;
    String unit;
    float factor = 1;
    for (const auto& u : Units)
        if (text.size() >= 2 && text.substr(text.size() - 2) == u.Unit) {
            unit = u.Unit;
            factor = u.Factor;
            break;
        }
    if (unit.empty() && !text.empty() && text.back() == u'%')
        unit = u"%";
    text.remove_suffix(unit.size());
    if (AUnit)
        *AUnit = unit;
    float value = 0;
    if (!ReadFloat(Trim(text), value))
        return 0;
    return value * factor;
}

// ---- elements ----

TLumGraphicsSVGElement::~TLumGraphicsSVGElement() = default;

TLumBitmap* TLumGraphicsSVGElement::GetBitmap()
{
    if (!FBitmap)
        FBitmap = std::make_unique<TLumBitmap>();
    return FBitmap.get();
}

TLumGraphicsSVGElementPathList* TLumGraphicsSVGElement::GetPaths()
{
    if (!FPaths)
        FPaths = std::make_unique<TLumGraphicsSVGElementPathList>();
    return FPaths.get();
}

TLumGraphicsPath* TLumGraphicsSVGElement::GetActivePath() const
{
    return FPaths && FPaths->GetCount() > 0 ? FPaths->Last() : nullptr;
}

TLumGraphicsPath* TLumGraphicsSVGElement::GetCombinedPath()
{
    if (!FCombinedPath && FPaths) {
        FCombinedPath = std::make_unique<TLumGraphicsPath>();
        for (TLumGraphicsPath* p : *FPaths)
            FCombinedPath->AddPath(p);
    }
    return FCombinedPath.get();
}

TLumGraphicsSVGElementList* TLumGraphicsSVGElement::GetElements()
{
    if (!FElements)
        FElements = std::make_unique<TLumGraphicsSVGElementList>();
    return FElements.get();
}

// Applies presentation declarations ("name: value; ...") to one element.
class TLumSVGStyleParser {
public:
    static void Apply(TLumGraphicsSVGElement& E, const String& AText, TLumGraphicsSVGElementClassList* AClassList)
    {
        const String text = Trim(AText);
        std::size_t start = 0;
        while (start <= text.size()) {
            auto semi = text.find(u';', start);
            if (semi == String::npos)
                semi = text.size();
            ApplyOne(E, StringView(text).substr(start, semi - start), AClassList);
            start = semi + 1;
        }
    }

private:
    static void ApplyOne(TLumGraphicsSVGElement& E, StringView APiece, TLumGraphicsSVGElementClassList* AClassList)
    {
        std::size_t colon = APiece.find(u':');
        if (const auto href = APiece.find(u"xlink:href"); href != StringView::npos)
            colon = APiece.find(u':', href + 10);
        if (colon == StringView::npos)
            return;
        const String name = Trim(APiece.substr(0, colon));
        const String value = Trim(APiece.substr(colon + 1));
        if (name == u"display")
            E.FDisplayValue = LowerCase(value);
        else if (name == u"fill")
            ApplyColor(value, E.FFillColorValue, E.FFillColor, &E.FURLRefID);
        else if (name == u"stroke")
            ApplyColor(value, E.FStrokeColorValue, E.FStrokeColor, &E.FURLRefID);
        else if (name == u"stroke-width") {
            E.FStrokeWidthValue = value;
            if (E.HasStrokeWidth())
                ReadFloat(value, E.FStrokeWidth);
        } else if (name == u"font-family") {
            TFontStyles styles;
            E.FFontFamily = ParseFontFamily(value, styles);
            if (E.FFontStyle.Empty())
                E.FFontStyle = styles;
        } else if (name == u"font-style") {
            if (E.FFontStyle.Empty() && value == u"italic")
                E.FFontStyle = TFontStyles { fsItalic };
        } else if (name == u"font-size") {
            E.FFontSizeValue = value;
            if (E.HasFontSize())
                E.FFontSize = ParseSVGLength(value);
        } else if (name == u"preserveAspectRatio") {
            E.FPreserveAspectRatioValue = value;
            if (E.HasPreserveAspectRatio())
                E.FPreserveAspectRatio = value == u"none" ? parNone : parOther;
        } else if (name == u"offset") {
            E.FOffsetValue = value;
            if (E.HasOffset()) {
                String unit;
                E.FOffset = ParseSVGLength(value, &unit);
                if (unit == u"%")
                    E.FOffset /= 100;
            }
        } else if (name == u"stop-opacity") {
            E.FStopOpacityValue = value;
            if (E.HasStopOpacity())
                E.FStopOpacity = ParseSVGLength(value);
        } else if (name == u"stop-color")
            ApplyColor(value, E.FStopColorValue, E.FStopColor, nullptr);
        else if (name == u"opacity") {
            E.FOpacityValue = value;
            if (E.HasOpacity())
                ReadFloat(value, E.FOpacity);
        } else if (name == u"xlink:href" || name == u"href") {
            const auto hash = value.find(u'#');
            E.FHRefID = hash == String::npos ? String() : value.substr(hash + 1);
        } else if (name == u"class") {
            E.FClassRefID = value;
            if (AClassList && !IsGradientOrPattern(E.FParent)
                && std::find(AClassList->begin(), AClassList->end(), &E) == AClassList->end())
                AClassList->push_back(&E);
        } else if (name == u"id")
            E.FID = value;
        else if (name == u"clip-path") {
            const auto hash = value.find(u'#');
            if (hash != String::npos) {
                const auto close = value.find(u')', hash);
                E.FClipPathRefID = value.substr(hash + 1, close == String::npos ? String::npos : close - hash - 1);
            }
        }
    }
};

// ---- the document ----

TLumGraphicsSVGImport::TLumGraphicsSVGImport()
{
    FElementList.SetOwnsObjects(true);
    FDefsList.SetOwnsObjects(true);
    Clear();
}

TLumGraphicsSVGImport::~TLumGraphicsSVGImport() = default;

void TLumGraphicsSVGImport::Clear()
{
    FElementClassList.clear();
    FElementPatternList.clear();
    FElementClipPathList.clear();
    FElementList.Clear();
    FDefsList.Clear();
    FXML = TXMLDocument();
    FMatrix = TLumGraphicsMatrix::Identity();
    FTextMatrix = TLumGraphicsMatrix::Identity();
    FViewRect = TRectF(EmptyMarkerLow, EmptyMarkerLow, EmptyMarkerHigh, EmptyMarkerHigh);
}

void TLumGraphicsSVGImport::LoadFromFile(const String& AFile)
{
    TMemoryStream stream;
    stream.LoadFromFile(AFile);
    LoadFromStream(stream);
}

void TLumGraphicsSVGImport::LoadFromStream(TStream& AStream)
{
    AStream.SetPosition(0);
    const Int64 size = AStream.GetSize();
    std::string bytes(std::size_t(size > 0 ? size : 0), '\0');
    if (!bytes.empty())
        AStream.ReadBuffer(bytes.data(), Int64(bytes.size()));
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    LoadFromText(Utf8ToString(bytes));
}

void TLumGraphicsSVGImport::SaveToStream(TStream& AStream)
{
    if (FXML.IsLoaded())
        FXML.SaveToStream(AStream);
}

void TLumGraphicsSVGImport::SaveToFile(const String& AFile)
{
    TMemoryStream stream;
    SaveToStream(stream);
    stream.SaveToFile(AFile);
}

void TLumGraphicsSVGImport::LoadFromText(const String& AText)
{
    Clear();
    FXML.LoadFromText(AText);
    const TXMLNode root = FXML.GetDocumentElement();
    if (root.IsNull() || root.GetNodeName() != u"svg")
        return;

    TRectF declared(EmptyMarkerLow, EmptyMarkerLow, EmptyMarkerHigh, EmptyMarkerHigh);
    if (const auto viewBox = root.GetAttribute(u"viewBox")) {
        std::vector<float> numbers;
        bool readable = true;
        const String text = Trim(*viewBox);
        std::size_t start = 0;
        while (start < text.size()) {
            auto blank = text.find(u' ', start);
            if (blank == String::npos)
                blank = text.size();
            if (blank > start) {
                float v = 0;
                readable = readable && ReadFloat(StringView(text).substr(start, blank - start), v);
                numbers.push_back(v);
            }
            start = blank + 1;
        }
        if (readable && numbers.size() == 4)
            declared = TRectF(numbers[0], numbers[1], numbers[0] + numbers[2], numbers[1] + numbers[3]);
    } else {
        const auto width = root.GetAttribute(u"width");
        const auto height = root.GetAttribute(u"height");
        if (width && height)
            declared = TRectF(0, 0, ParseSVGLength(*width), ParseSVGLength(*height));
    }

    FMeasured = TRectF(EmptyMarkerLow, EmptyMarkerLow, EmptyMarkerHigh, EmptyMarkerHigh);
    try {
        ParseElements(root, nullptr, FElementList, true, 1);
    } catch (...) {
        // A refused document leaves no half-built picture behind.
        Clear();
        throw;
    }

    ResolveClassReferences(FElementPatternList);
    ResolveClassReferences(FElementClipPathList);
    ResolveClassReferences(FElementClassList);
    ResolveGradientReferences(FElementList);
    ResolveHRefReferences();

    auto isMarker = [](float v) { return v == EmptyMarkerLow || v == EmptyMarkerHigh; };
    if (!isMarker(declared.Left) && !isMarker(declared.Top) && !isMarker(declared.Right) && !isMarker(declared.Bottom))
        FViewRect = declared;
    else if (FMeasured.Left != EmptyMarkerLow)
        FViewRect = FMeasured;
    else
        FViewRect = TRectF(0, 0, 0, 0);
}

void TLumGraphicsSVGImport::ParseElements(const TXMLNode& ANode, TLumGraphicsSVGElement* AParent,
    TLumGraphicsSVGElementList& AList, bool AMeasure, int ADepth)
{
    if (ADepth > MaxElementDepth)
        throw EXMLDocumentError(u"The SVG document is nested too deeply");
    const int count = ANode.GetChildCount();
    for (int i = 0; i < count; ++i) {
        const TXMLNode child = ANode.GetChild(i);
        const TXMLNodeType kind = child.GetNodeType();
        if (kind != ntElement && kind != ntText)
            continue;
        const TLumGraphicsSVGElementType type = ElementTypeOf(child.GetNodeName());
        if (type == etUnknown || (type == etTextSpanChild && Trim(child.GetNodeValue()).empty()))
            continue;
        ParseElement(child, type, AParent, AList, AMeasure, ADepth);
    }
}

void TLumGraphicsSVGImport::ParseElement(const TXMLNode& ANode, TLumGraphicsSVGElementType AType,
    TLumGraphicsSVGElement* AParent, TLumGraphicsSVGElementList& AList, bool AMeasure, int ADepth)
{
    switch (AType) {
    case etSwitch:
    case etUse: return;
    case etDefs: ParseElements(ANode, nullptr, FDefsList, false, ADepth + 1); return;
    case etStyle: ParseStyleSheet(ANode.GetText()); return;
    default: break;
    }

    auto* element = new TLumGraphicsSVGElement();
    element->FType = AType;
    element->FParent = AParent;
    AList.Add(element);
    TLumGraphicsSVGElement& E = *element;

    E.FMatrix = ParseTransform(ANode.GetAttribute(u"transform"));
    E.FGradientMatrix = ParseTransform(ANode.GetAttribute(u"gradientTransform"));
    auto length = [&ANode](const char16_t* AName, float& AValue) {
        const auto text = ANode.GetAttribute(AName);
        if (text)
            AValue = ParseSVGLength(*text);
        return text.has_value();
    };
    switch (AType) {
    case etCircle:
        length(u"cx", E.FXV);
        length(u"cy", E.FYV);
        if (length(u"r", E.FRx))
            E.FRy = E.FRx;
        break;
    case etEllipse:
        length(u"cx", E.FXV);
        length(u"cy", E.FYV);
        length(u"rx", E.FRx);
        length(u"ry", E.FRy);
        break;
    case etLine:
    case etLinearGradient:
        length(u"x1", E.FXV);
        length(u"y1", E.FYV);
        length(u"x2", E.FWidth);
        length(u"y2", E.FHeight);
        break;
    case etRadialGradient:
        E.FHasCX = length(u"cx", E.FCX);
        E.FHasCY = length(u"cy", E.FCY);
        break;
    default:
        length(u"x", E.FXV);
        length(u"y", E.FYV);
        length(u"width", E.FWidth);
        length(u"height", E.FHeight);
        length(u"rx", E.FRx);
        length(u"ry", E.FRy);
        break;
    }

    // Attributes come after the style attribute, so they override it.
    String declarations;
    if (const auto style = ANode.GetAttribute(u"style"); style && !style->empty())
        declarations = *style + u";";
    for (int i = 0, n = ANode.GetAttributeCount(); i < n; ++i) {
        if (i > 0)
            declarations += u";";
        declarations += ANode.GetAttributeName(i) + u":" + ANode.GetAttributeValue(i);
    }
    TLumSVGStyleParser::Apply(E, declarations, &FElementClassList);

    switch (AType) {
    case etContainer:
    case etClipPath:
    case etLinearGradient:
    case etRadialGradient:
    case etPattern:
        ParseElements(ANode, &E, *E.GetElements(), AType == etContainer, ADepth + 1);
        if (AType == etClipPath)
            FElementClipPathList.push_back(&E);
        else if (AType != etContainer)
            FElementPatternList.push_back(&E);
        break;
    case etRect:
    case etImage:
        if (AType == etImage)
            LoadImage(E, ANode);
        if (AMeasure)
            ExtendViewRect(E, TRectF(E.FXV, E.FYV, E.FXV + E.FWidth, E.FYV + E.FHeight));
        break;
    case etLine:
        if (AMeasure)
            ExtendViewRect(E, TRectF(std::min(E.FXV, E.FWidth), std::min(E.FYV, E.FHeight),
                std::max(E.FXV, E.FWidth), std::max(E.FYV, E.FHeight)));
        break;
    case etCircle:
    case etEllipse:
        if (AMeasure)
            ExtendViewRect(E, TRectF(E.FXV - E.FRx, E.FYV - E.FRy, E.FXV + E.FRx, E.FYV + E.FRy));
        break;
    case etPolyline:
    case etPolygon:
        BuildPointsPath(ANode.GetAttribute(u"points").value_or(String()), AType == etPolygon, *E.GetPaths());
        if (AMeasure && E.HasActivePath())
            ExtendViewRectByPath(E, *E.GetActivePath());
        break;
    case etPath:
        BuildPathData(ANode.GetAttribute(u"d").value_or(String()), *E.GetPaths());
        if (AMeasure)
            for (TLumGraphicsPath* p : *E.GetPaths())
                ExtendViewRectByPath(E, *p);
        break;
    case etText:
    case etTextSpan:
    case etTextSpanChild:
    case etTextPath:
        if (AType == etTextSpanChild)
            E.FText = ANode.GetNodeValue();
        else if (AType == etText && ANode.GetChildCount() == 1 && ANode.GetChild(0).GetNodeType() == ntText)
            E.FText = ANode.GetChild(0).GetNodeValue();
        else
            ParseElements(ANode, &E, *E.GetElements(), true, ADepth + 1);
        break;
    default: break;
    }
}

void TLumGraphicsSVGImport::ParseStyleSheet(const String& AText)
{
    String text = Trim(AText);
    while (true) {
        const auto dot = text.find(u'.');
        const auto open = text.find(u'{');
        const auto close = text.find(u'}');
        if (dot == String::npos || open == String::npos || close == String::npos)
            break;
        if (!(dot < open && open < close)) {
            // Not a class rule (a brace before the dot): drop up to the brace,
            // so the text always shrinks.
            text = Trim(StringView(text).substr(close + 1));
            continue;
        }
        auto rule = std::make_unique<TLumGraphicsSVGElement>();
        rule->FType = etStyle;
        rule->FClassRefID = text.substr(dot + 1, open - dot - 1);
        TLumSVGStyleParser::Apply(*rule, text.substr(open + 1, close - open - 1), nullptr);
        if (!rule->FClassRefID.empty())
            FDefsList.Add(rule.release());
        text = Trim(StringView(text.substr(0, dot) + text.substr(close + 1)));
    }
}

void TLumGraphicsSVGImport::LoadImage(TLumGraphicsSVGElement& AElement, const TXMLNode& ANode)
{
    auto href = ANode.GetAttribute(u"xlink:href");
    if (!href)
        href = ANode.GetAttribute(u"href");
    if (!href || href->empty())
        return;
    // A picture that cannot be read leaves the image empty; the rest of the
    // document still loads.
    try {
        const auto data = href->find(u"data:");
        if (data != String::npos) {
            const String rest = href->substr(data + 5);
            const auto semi = rest.find(u';');
            if (semi == String::npos || !StartsWith(StringView(rest).substr(semi), u";base64,"))
                return;
            TBytesStream stream(TVuzErazs::Decode64ToBytes(StringView(rest).substr(semi + 8)));
            stream.SetPosition(0);
            AElement.GetBitmap()->LoadFromStream(stream);
            return;
        }
        // Untrusted documents never reach the network: only local files load.
        if (StartsWith(UpperCase(*href), u"HTTP"))
            return;
        AElement.GetBitmap()->LoadFromURL(*href);
    } catch (const Exception&) {
    }
}

void TLumGraphicsSVGImport::ExtendViewRect(const TLumGraphicsSVGElement& AElement, const TRectF& ARect)
{
    TLumGraphicsPath path;
    path.AddRectangle(ARect);
    ExtendViewRectByPath(AElement, path);
}

void TLumGraphicsSVGImport::ExtendViewRectByPath(const TLumGraphicsSVGElement& AElement, const TLumGraphicsPath& APath)
{
    // The element's own transform, then those of the ancestors that pass
    // theirs on to their children.
    TLumGraphicsPath copy;
    copy.AddPath(&APath);
    copy.ApplyMatrix(GetElementMatrix(AElement));
    if (copy.GetCount() == 0)
        return;
    const TRectF b = copy.GetBounds();
    FMeasured.Left = std::min(FMeasured.Left, b.Left);
    FMeasured.Top = std::min(FMeasured.Top, b.Top);
    FMeasured.Right = std::max(FMeasured.Right, b.Right);
    FMeasured.Bottom = std::max(FMeasured.Bottom, b.Bottom);
}

void TLumGraphicsSVGImport::ResolveClassReferences(const TLumGraphicsSVGElementClassList& AList)
{
    for (TLumGraphicsSVGElement* e : AList)
        ResolveClassReference(*e);
}

void TLumGraphicsSVGImport::ResolveClassReference(TLumGraphicsSVGElement& E)
{
    for (TLumGraphicsSVGElement* r : FDefsList) {
        if (!E.FClassRefID.empty() && r->FClassRefID == E.FClassRefID) {
            if (!r->FClipPathRefID.empty()) {
                for (TLumGraphicsSVGElement* d : FDefsList)
                    if (d->FID == r->FClipPathRefID && d->HasElements() && d->FElements->GetCount() > 0) {
                        E.FClipPathRef = d->FElements->Last();
                        E.FClassRef = E.FClipPathRef->FClassRef;
                    }
            } else if (!r->FURLRefID.empty()) {
                for (TLumGraphicsSVGElement* d : FDefsList)
                    if (d->FID == r->FURLRefID) {
                        if (d->FType == etLinearGradient || d->FType == etRadialGradient)
                            E.FPatternRef = d;
                        else if (d->HasElements() && d->FElements->GetCount() > 0)
                            E.FClassRef = d->FElements->Last()->FClassRef;
                    }
            } else
                E.FClassRef = r;
            return;
        }
        if (!E.FID.empty() && (r->FURLRefID == E.FID || r->FClipPathRefID == E.FID)) {
            if (E.HasElements())
                for (TLumGraphicsSVGElement* c : *E.FElements)
                    ResolveClassReference(*c);
            return;
        }
    }
}

void TLumGraphicsSVGImport::ResolveGradientReferences(TLumGraphicsSVGElementList& AList)
{
    for (TLumGraphicsSVGElement* e : AList) {
        if (!e->FURLRefID.empty())
            for (TLumGraphicsSVGElement* g : FElementPatternList)
                if (g->FID == e->FURLRefID)
                    e->FPatternRef = g;
        if (e->HasElements())
            ResolveGradientReferences(*e->FElements);
    }
}

void TLumGraphicsSVGImport::ResolveHRefReferences()
{
    for (TLumGraphicsSVGElement* a : FElementPatternList)
        if (!a->FHRefID.empty())
            for (TLumGraphicsSVGElement* b : FElementPatternList)
                if (b->FID == a->FHRefID)
                    a->FHRefRef = b;
}

void RegisterLumGraphicsSVGImport()
{
    SetLumSVGImportFactory([] { return std::make_unique<TLumGraphicsSVGImport>(); });
}
