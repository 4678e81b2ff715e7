#include "graphics/LumSVGPathData.h"

#include <cmath>
#include <numbers>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr double Pi = std::numbers::pi;

bool IsBlank(Char C) { return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n'; }

bool IsCommandLetter(Char C)
{
    switch (AsciiUpper(C)) {
    case u'M':
    case u'L':
    case u'H':
    case u'V':
    case u'C':
    case u'S':
    case u'Q':
    case u'T':
    case u'A':
    case u'Z': return true;
    default: return false;
    }
}

// Parameters in one group of a command; 0 for Z, which takes none.
std::size_t GroupSize(Char ACommand)
{
    switch (AsciiUpper(ACommand)) {
    case u'A': return 7;
    case u'C': return 6;
    case u'Q':
    case u'S': return 4;
    case u'L':
    case u'M':
    case u'T': return 2;
    case u'H':
    case u'V': return 1;
    default: return 0;
    }
}

// A number in the invariant syntax that fits a Single.
bool ReadNumber(StringView AText, float& AValue)
{
    double v = 0;
    if (!TryStrToFloat(AText, v, InvariantFormatSettings()))
        return false;
    const float f = float(v);
    if (!std::isfinite(f))
        return false;
    AValue = f;
    return true;
}

float NumberOrZero(StringView AText)
{
    float v = 0;
    return ReadNumber(AText, v) ? v : 0;
}

// ---- transforms ----

// An angle in radians: "deg" or no unit means degrees.
double ReadAngle(const String& AText)
{
    StringView s = AText;
    double perUnit = Pi / 180;
    auto strip = [&s](StringView unit) {
        if (s.size() >= unit.size() && s.substr(s.size() - unit.size()) == unit) {
            s.remove_suffix(unit.size());
            return true;
        }
        return false;
    };
    if (strip(u"deg"))
        perUnit = Pi / 180;
    else if (strip(u"grad"))
        perUnit = Pi / 200;
    else if (strip(u"rad"))
        perUnit = 1;
    return NumberOrZero(s) * perUnit;
}

std::vector<String> TransformArguments(const String& AText)
{
    std::vector<String> args;
    String current;
    for (Char ch : AText) {
        if (ch == u',' || IsBlank(ch)) {
            if (!current.empty())
                args.push_back(std::move(current));
            current.clear();
        } else
            current += ch;
    }
    if (!current.empty())
        args.push_back(std::move(current));
    return args;
}

TLumGraphicsMatrix TransformFunction(const String& AName, const std::vector<String>& AArgs)
{
    const std::size_t n = AArgs.size();
    auto arg = [&AArgs](std::size_t i) { return NumberOrZero(AArgs[i]); };
    TLumGraphicsMatrix f = MatrixIdentity();
    if (AName == u"matrix") {
        if (n == 6) {
            f.m11 = arg(0);
            f.m12 = arg(1);
            f.m21 = arg(2);
            f.m22 = arg(3);
            f.m31 = arg(4);
            f.m32 = arg(5);
        }
    } else if (AName == u"translate") {
        if (n == 1 || n == 2)
            f = MatrixCreateTranslation(arg(0), n == 2 ? arg(1) : 0);
    } else if (AName == u"scale") {
        if (n == 1 || n == 2)
            f = MatrixCreateScaling(arg(0), n == 2 ? arg(1) : arg(0));
    } else if (AName == u"rotate") {
        if (n == 1 || n == 3) {
            const float cx = n == 3 ? arg(1) : 0, cy = n == 3 ? arg(2) : 0;
            f = MatrixCreateTranslation(-cx, -cy) * MatrixCreateRotation(float(ReadAngle(AArgs[0])))
                * MatrixCreateTranslation(cx, cy);
        }
    } else if (AName == u"skewX") {
        if (n == 1)
            f.m21 = float(std::tan(ReadAngle(AArgs[0])));
    } else if (AName == u"skewY") {
        if (n == 1)
            f.m12 = float(std::tan(ReadAngle(AArgs[0])));
    }
    return f;
}

// ---- path data ----

void AddPathNumber(std::vector<String>& ATokens, String& ACurrent)
{
    if (!ACurrent.empty())
        ATokens.push_back(std::move(ACurrent));
    ACurrent.clear();
}

TPointF Reflect(const TPointF& APoint, const TPointF& ACenter)
{
    return { 2 * ACenter.X - APoint.X, 2 * ACenter.Y - APoint.Y };
}

// The point two thirds of the way from A to B.
TPointF TwoThirds(const TPointF& A, const TPointF& B)
{
    return { A.X + 2 * (B.X - A.X) / 3, A.Y + 2 * (B.Y - A.Y) / 3 };
}

// Walks the token list, drawing into the active sub-path.
class PathDataBuilder {
public:
    explicit PathDataBuilder(TLumGraphicsSVGElementPathList& APaths) : FPaths(APaths) { }

    void Run(const std::vector<String>& ATokens)
    {
        std::size_t i = 0;
        while (i < ATokens.size()) {
            const String& token = ATokens[i++];
            if (token.size() != 1 || !IsCommandLetter(token[0]))
                continue;
            const Char command = token[0];
            for (std::size_t slot = 0; i < ATokens.size() && !IsCommand(ATokens[i]); ++i, ++slot)
                ReadParameter(command, slot, ATokens[i]);
            Execute(command);
            FPrevious = command;
        }
    }

private:
    static bool IsCommand(const String& AToken) { return AToken.size() == 1 && IsCommandLetter(AToken[0]); }

    // An unreadable number keeps the slot's previous value.
    void ReadParameter(Char ACommand, std::size_t ASlot, const String& AToken)
    {
        if (ASlot >= std::size(FSlots))
            return;
        if (AsciiUpper(ACommand) == u'A' && (ASlot == 3 || ASlot == 4)) {
            Integer flag = 0;
            if (TryStrToInt(AToken, flag))
                FSlots[ASlot] = float(flag != 0);
            return;
        }
        ReadNumber(AToken, FSlots[ASlot]);
    }

    TPointF PointAt(std::size_t ASlot, bool ARelative) const
    {
        return { FSlots[ASlot] + (ARelative ? FCurrent.X : 0), FSlots[ASlot + 1] + (ARelative ? FCurrent.Y : 0) };
    }

    bool PreviousIn(const char16_t* ALetters) const
    {
        return FPrevious != 0 && std::char_traits<char16_t>::find(ALetters, 4, FPrevious) != nullptr;
    }

    // A quadratic curve as the cubic curve of the same shape.
    void QuadraticTo(const TPointF& AControl, const TPointF& AEnd)
    {
        if (FPath)
            FPath->CurveTo(TwoThirds(FCurrent, AControl), TwoThirds(AEnd, AControl), AEnd);
        FControl = AControl;
        FCurrent = AEnd;
    }

    void CubicTo(const TPointF& AControl1, const TPointF& AControl2, const TPointF& AEnd)
    {
        if (FPath)
            FPath->CurveTo(AControl1, AControl2, AEnd);
        FControl = AControl2;
        FCurrent = AEnd;
    }

    void LineTo(const TPointF& P)
    {
        if (FPath)
            FPath->LineTo(P);
        FCurrent = P;
    }

    void Execute(Char ACommand)
    {
        const bool rel = ACommand >= u'a';
        switch (AsciiUpper(ACommand)) {
        case u'M': {
            const TPointF p = PointAt(0, rel);
            FPath = new TLumGraphicsPath;
            FPaths.Add(FPath);
            FPath->MoveTo(p);
            FCurrent = FSubPathStart = p;
            break;
        }
        case u'L': LineTo(PointAt(0, rel)); break;
        case u'H': LineTo({ FSlots[0] + (rel ? FCurrent.X : 0), FCurrent.Y }); break;
        case u'V': LineTo({ FCurrent.X, FSlots[0] + (rel ? FCurrent.Y : 0) }); break;
        case u'C': CubicTo(PointAt(0, rel), PointAt(2, rel), PointAt(4, rel)); break;
        case u'S': {
            // The reflected handle only continues a cubic curve.
            const TPointF first = PreviousIn(u"CcSs") ? Reflect(FControl, FCurrent) : FCurrent;
            CubicTo(first, PointAt(0, rel), PointAt(2, rel));
            break;
        }
        case u'Q': QuadraticTo(PointAt(0, rel), PointAt(2, rel)); break;
        case u'T': {
            const TPointF control = PreviousIn(u"QqTt") ? Reflect(FControl, FCurrent) : FCurrent;
            QuadraticTo(control, PointAt(0, rel));
            break;
        }
        case u'A': {
            const TPointF end = PointAt(5, rel);
            if (FPath)
                AddArcSegments(*FPath, FCurrent, std::fabs(FSlots[0]), std::fabs(FSlots[1]), FSlots[2], FSlots[3] != 0,
                    FSlots[4] != 0, end);
            FCurrent = end;
            break;
        }
        case u'Z':
            if (FPath)
                FPath->ClosePath();
            FCurrent = FSubPathStart;
            break;
        default: break;
        }
    }

    TLumGraphicsSVGElementPathList& FPaths;
    TLumGraphicsPath* FPath { nullptr };
    TPointF FCurrent {};
    TPointF FSubPathStart {};
    // The last control point, reflected by S and T.
    TPointF FControl {};
    Char FPrevious { 0 };
    float FSlots[7] {};
};

} // namespace

TLumGraphicsMatrix ParseTransform(const std::optional<String>& AText)
{
    if (!AText)
        return MatrixEmpty();
    TLumGraphicsMatrix m = MatrixIdentity();
    String rest = Trim(*AText);
    for (;;) {
        const std::size_t open = rest.find(u'(');
        if (open == String::npos)
            break;
        const std::size_t close = rest.find(u')', open);
        if (close == String::npos)
            break;
        // Functions may be separated by blanks and a comma.
        String name = Trim(StringView(rest).substr(0, open));
        if (!name.empty() && name[0] == u',')
            name = Trim(StringView(name).substr(1));
        const std::vector<String> args = TransformArguments(rest.substr(open + 1, close - open - 1));
        // The rightmost function of a list acts on the point first.
        m = TransformFunction(name, args) * m;
        rest = Trim(StringView(rest).substr(close + 1));
    }
    return m;
}

std::vector<String> TokenizePathCommand(Char /*ACommand*/, const String& AParameters)
{
    std::vector<String> tokens;
    String current;
    bool hasPoint = false, hasExponent = false;
    auto startNumber = [&](Char ch) {
        AddPathNumber(tokens, current);
        current = String(1, ch);
        hasPoint = ch == u'.';
        hasExponent = ch == u'e' || ch == u'E';
    };
    for (Char ch : AParameters) {
        if (IsBlank(ch)) {
            AddPathNumber(tokens, current);
            hasPoint = hasExponent = false;
        } else if (ch == u'+' || ch == u'-') {
            // A sign is the exponent's only right after its letter.
            if (!current.empty() && (current.back() == u'e' || current.back() == u'E'))
                current += ch;
            else
                startNumber(ch);
        } else if (ch == u'.') {
            if (hasPoint || hasExponent)
                startNumber(ch);
            else {
                current += ch;
                hasPoint = true;
            }
        } else if (ch >= u'0' && ch <= u'9')
            current += ch;
        else if (ch == u'e' || ch == u'E') {
            if (hasExponent)
                startNumber(ch);
            else {
                current += ch;
                hasExponent = true;
            }
        }
    }
    AddPathNumber(tokens, current);
    return tokens;
}

namespace {

// SplitImplicitCommands appending to AOut, taking the parameters over.
void AppendImplicitCommands(Char ACommand, std::vector<String>&& AParameters, std::vector<String>& AOut)
{
    const std::size_t group = GroupSize(ACommand);
    if (group == 0) {
        AOut.emplace_back(1, ACommand);
        return;
    }
    const std::size_t groups = AParameters.size() / group;
    for (std::size_t g = 0; g < groups; ++g) {
        Char letter = ACommand;
        if (g > 0 && ACommand == u'M')
            letter = u'L';
        else if (g > 0 && ACommand == u'm')
            letter = u'l';
        AOut.emplace_back(1, letter);
        for (std::size_t i = g * group; i < (g + 1) * group; ++i)
            AOut.push_back(std::move(AParameters[i]));
    }
}

} // namespace

std::vector<String> SplitImplicitCommands(Char ACommand, const std::vector<String>& AParameters)
{
    std::vector<String> out;
    AppendImplicitCommands(ACommand, std::vector<String>(AParameters), out);
    return out;
}

std::vector<String> SplitPathData(const String& AText)
{
    String text = AText;
    for (Char& ch : text)
        if (ch == u',')
            ch = u' ';
    std::vector<String> out;
    std::size_t p = 0;
    while (p < text.size()) {
        // The first character opens the first command whatever it is; one
        // that is no command letter is skipped with its parameters.
        const Char command = text[p];
        std::size_t q = p + 1;
        while (q < text.size() && !IsCommandLetter(text[q]))
            ++q;
        if (IsCommandLetter(command)) {
            const String params = Trim(StringView(text).substr(p + 1, q - p - 1));
            AppendImplicitCommands(command, TokenizePathCommand(command, params), out);
        }
        p = q;
    }
    return out;
}

void BuildPathData(const String& AData, TLumGraphicsSVGElementPathList& APaths)
{
    PathDataBuilder(APaths).Run(SplitPathData(AData));
}

void AddArcSegments(TLumGraphicsPath& APath, const TPointF& AStart, float ARadiusX, float ARadiusY, float ARotation,
    bool ALargeArc, bool ASweep, const TPointF& AEnd)
{
    if (AStart == AEnd)
        return;
    if (ARadiusX == 0 || ARadiusY == 0) {
        APath.AddLine(AStart, AEnd);
        return;
    }
    const double x1 = AStart.X, y1 = AStart.Y, x2 = AEnd.X, y2 = AEnd.Y;
    double rx = std::fabs(double(ARadiusX)), ry = std::fabs(double(ARadiusY));
    const double phi = ARotation * Pi / 180, cphi = std::cos(phi), sphi = std::sin(phi);
    const double dx2 = (x1 - x2) / 2, dy2 = (y1 - y2) / 2;
    const double x1p = cphi * dx2 + sphi * dy2, y1p = -sphi * dx2 + cphi * dy2;

    // The centre, with radii too small for the chord scaled up to fit it.
    const double rx2 = rx * rx, ry2 = ry * ry;
    const double n = rx2 * ry2 - rx2 * y1p * y1p - ry2 * x1p * x1p;
    double factor = 0;
    if (n < 0) {
        const double scale = std::sqrt(1 - n / (rx2 * ry2));
        rx *= scale;
        ry *= scale;
    } else {
        const double denominator = rx2 * y1p * y1p + ry2 * x1p * x1p;
        factor = denominator > 0 ? std::sqrt(n / denominator) : 0;
        if (ALargeArc == ASweep)
            factor = -factor;
    }
    const double cxp = factor * rx * y1p / ry, cyp = -factor * ry * x1p / rx;
    const double cx = cphi * cxp - sphi * cyp + (x1 + x2) / 2, cy = sphi * cxp + cphi * cyp + (y1 + y2) / 2;

    auto wrap = [](double a) {
        a = std::fmod(a, 2 * Pi);
        return a < 0 ? a + 2 * Pi : a;
    };
    const double ua = std::atan2((y1p - cyp) / ry, (x1p - cxp) / rx);
    const double va = std::atan2((-y1p - cyp) / ry, (-x1p - cxp) / rx);
    const double theta1 = wrap(ua);
    double dtheta = wrap(va - ua);
    if (!ASweep && dtheta > 0)
        dtheta -= 2 * Pi;

    auto pointAt = [&](double t) {
        return TPointF(float(cx + cphi * rx * std::cos(t) - sphi * ry * std::sin(t)),
            float(cy + sphi * rx * std::cos(t) + cphi * ry * std::sin(t)));
    };
    auto tangentAt = [&](double t) {
        return std::pair<double, double>(-cphi * rx * std::sin(t) - sphi * ry * std::cos(t),
            -sphi * rx * std::sin(t) + cphi * ry * std::cos(t));
    };

    // Quarter turns at most per curve; the small allowance keeps an exact
    // half turn at two curves despite rounding.
    const int segments = int(std::ceil(std::fabs(dtheta) / (Pi / 2) - 1E-9));
    if (segments <= 0) {
        APath.AddLine(AStart, AEnd);
        return;
    }
    const double delta = dtheta / segments;
    const double t = 8.0 / 3.0 * std::pow(std::sin(delta / 4), 2) / std::sin(delta / 2);
    for (int i = 0; i < segments; ++i) {
        const double a = theta1 + i * delta, b = a + delta;
        const TPointF s = pointAt(a), e = pointAt(b);
        const auto [tax, tay] = tangentAt(a);
        const auto [tbx, tby] = tangentAt(b);
        if (APath.GetCount() == 0)
            APath.MoveTo(s);
        else
            APath.LineTo(s);
        APath.CurveTo({ float(s.X + t * tax), float(s.Y + t * tay) }, { float(e.X - t * tbx), float(e.Y - t * tby) }, e);
    }
}

void BuildPointsPath(const String& APoints, bool AClose, TLumGraphicsSVGElementPathList& APaths)
{
    // A minus starts a new value unless it is an exponent's sign.
    String text;
    for (Char ch : APoints) {
        if (ch == u'-' && !(!text.empty() && (text.back() == u'e' || text.back() == u'E')))
            text += u' ';
        text += ch == u',' ? u' ' : ch;
    }
    std::vector<float> values;
    std::size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && text[p] <= u' ')
            ++p;
        std::size_t q = p;
        while (q < text.size() && text[q] > u' ')
            ++q;
        if (q > p)
            values.push_back(NumberOrZero(StringView(text).substr(p, q - p)));
        p = q;
    }
    if (values.size() % 2 != 0)
        return;
    auto* path = new TLumGraphicsPath;
    APaths.Add(path);
    for (std::size_t i = 2; i + 1 < values.size(); i += 2)
        path->AddLine({ values[i - 2], values[i - 1] }, { values[i], values[i + 1] });
    if (AClose && path->GetCount() > 0)
        path->ClosePath();
}
