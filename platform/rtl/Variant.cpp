#include "platform/rtl/Variant.h"

#include <cfloat>
#include <cmath>
#include <limits>

struct Variant::ArrayData {
    TVarType ElementType { varVariant };
    std::vector<TVarArrayBound> Bounds;
    std::vector<Variant> Items;
};

void Variant::ArrayDeleter::operator()(ArrayData* p) const
{
    delete p;
}

namespace {

[[noreturn]] void RaiseVariant(const char16_t* message)
{
    throw EVariantError(message);
}

bool IsIntegral(TVarType t)
{
    switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varBoolean:
        return true;
    default:
        return false;
    }
}

bool IsFloatType(TVarType t)
{
    return t == varSingle || t == varDouble || t == varDate;
}

bool IsStringType(TVarType t)
{
    return t == varOleStr || t == varString || t == varUString;
}

bool IsSimpleElementType(TVarType t)
{
    return IsIntegral(t) || IsFloatType(t) || IsStringType(t) || t == varCurrency || t == varVariant || t == varError
        || t == varDispatch || t == varUnknown;
}

using Int128 = __int128;

// Currency's scaled value divided by 10000, rounded half to even.
std::int64_t CurrencyToInt(std::int64_t scaled)
{
    std::int64_t q = scaled / 10000, r = scaled % 10000;
    if (r > 5000 || (r == 5000 && (q & 1)))
        ++q;
    else if (r < -5000 || (r == -5000 && (q & 1)))
        --q;
    return q;
}

} // namespace

// ---- construction ----

Variant::Variant(const String& v) : m_type(varUString), m_str(v) { }
Variant::Variant(String&& v) : m_type(varUString), m_str(std::move(v)) { }
Variant::Variant(StringView v) : m_type(varUString), m_str(v) { }
Variant::Variant(const char16_t* v) : m_type(varUString), m_str(v ? v : u"") { }
Variant::Variant(IInterface* intf, bool dispatch) : m_type(dispatch ? varDispatch : varUnknown), m_intf(intf) { }

Variant::Variant(const Variant& o)
    : m_type(o.m_type)
    , m_int(o.m_int)
    , m_float(o.m_float)
    , m_str(o.m_str)
    , m_intf(o.m_intf)
    , m_array(o.m_array ? new ArrayData(*o.m_array) : nullptr)
{
}

Variant::Variant(Variant&& o) noexcept
    : m_type(o.m_type)
    , m_int(o.m_int)
    , m_float(o.m_float)
    , m_str(std::move(o.m_str))
    , m_intf(std::move(o.m_intf))
    , m_array(std::move(o.m_array))
{
    o.m_type = varEmpty;
}

Variant& Variant::operator=(const Variant& o)
{
    if (this != &o) {
        Variant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& o) noexcept
{
    if (this != &o) {
        m_type = o.m_type;
        m_int = o.m_int;
        m_float = o.m_float;
        m_str = std::move(o.m_str);
        m_intf = std::move(o.m_intf);
        m_array = std::move(o.m_array);
        o.m_type = varEmpty;
    }
    return *this;
}

Variant::~Variant() = default;

Variant Variant::Null()
{
    Variant v;
    v.m_type = varNull;
    return v;
}

Variant Variant::FromDate(TDateTime d)
{
    Variant v(d);
    v.m_type = varDate;
    return v;
}

Variant Variant::FromError(std::int32_t code)
{
    Variant v;
    v.m_type = varError;
    v.m_int = code;
    return v;
}

// ---- conversions ----

String VarTypeAsText(TVarType type)
{
    String base;
    switch (type & varTypeMask) {
    case varEmpty: base = u"Empty"; break;
    case varNull: base = u"Null"; break;
    case varSmallint: base = u"Smallint"; break;
    case varInteger: base = u"Integer"; break;
    case varSingle: base = u"Single"; break;
    case varDouble: base = u"Double"; break;
    case varCurrency: base = u"Currency"; break;
    case varDate: base = u"Date"; break;
    case varOleStr: base = u"OleStr"; break;
    case varDispatch: base = u"Dispatch"; break;
    case varError: base = u"Error"; break;
    case varBoolean: base = u"Boolean"; break;
    case varVariant: base = u"Variant"; break;
    case varUnknown: base = u"Unknown"; break;
    case varShortInt: base = u"ShortInt"; break;
    case varByte: base = u"Byte"; break;
    case varWord: base = u"Word"; break;
    case varLongWord: base = u"Cardinal"; break;
    case varInt64: base = u"Int64"; break;
    case varUInt64: base = u"UInt64"; break;
    case varString: base = u"String"; break;
    case varUString: base = u"UnicodeString"; break;
    default: base = u"$" + IntToHex(Integer(type & varTypeMask), 4); break;
    }
    return (type & varArray) ? u"Array " + base : base;
}

void Variant::RaiseCannotConvert(TVarType target) const
{
    throw EVariantError(u"Could not convert variant of type (" + VarTypeAsText(m_type) + u") into type ("
        + VarTypeAsText(target) + u")");
}

static void RaiseOverflow(TVarType from, TVarType to)
{
    throw EVariantError(u"Overflow while converting variant of type (" + VarTypeAsText(from) + u") into type ("
        + VarTypeAsText(to) + u")");
}

double Variant::ToDouble(TVarType target, const TFormatSettings& fs) const
{
    if (m_type == varEmpty)
        return 0;
    if (m_type == varUInt64)
        return double(std::uint64_t(m_int));
    if (m_type == varBoolean)
        return m_int ? -1 : 0;
    if (IsIntegral(m_type))
        return double(m_int);
    if (IsFloatType(m_type))
        return m_float;
    if (m_type == varCurrency)
        return double(m_int) / 10000.0;
    if (IsStringType(m_type)) {
        double d = 0;
        if (TryStrToFloat(Trim(m_str), d, fs))
            return d;
    }
    RaiseCannotConvert(target);
}

std::int64_t Variant::ToInt64(TVarType target, std::int64_t lo, std::int64_t hi, const TFormatSettings& fs) const
{
    Int128 v = 0;
    if (m_type == varEmpty)
        v = 0;
    else if (m_type == varBoolean)
        v = m_int ? -1 : 0;
    else if (m_type == varUInt64)
        v = Int128(std::uint64_t(m_int));
    else if (IsIntegral(m_type))
        v = m_int;
    else if (m_type == varCurrency)
        v = CurrencyToInt(m_int);
    else if (IsFloatType(m_type) || IsStringType(m_type)) {
        std::int64_t parsed = 0;
        if (IsStringType(m_type) && TryStrToInt64(Trim(m_str), parsed))
            v = parsed;
        else {
            double d = ToDouble(target, fs);
            if (!std::isfinite(d) || std::fabs(d) >= 9.3e18)
                RaiseOverflow(m_type, target);
            v = Int128(std::nearbyint(d));
        }
    } else
        RaiseCannotConvert(target);
    if (v < lo || v > hi)
        RaiseOverflow(m_type, target);
    return std::int64_t(v);
}

std::int32_t Variant::AsInteger(const TFormatSettings& fs) const
{
    return std::int32_t(ToInt64(varInteger, INT32_MIN, INT32_MAX, fs));
}

std::int64_t Variant::AsInt64(const TFormatSettings& fs) const
{
    return ToInt64(varInt64, INT64_MIN, INT64_MAX, fs);
}

std::uint64_t Variant::AsUInt64(const TFormatSettings& fs) const
{
    if (m_type == varUInt64)
        return std::uint64_t(m_int);
    return std::uint64_t(ToInt64(varUInt64, 0, INT64_MAX, fs));
}

double Variant::AsDouble(const TFormatSettings& fs) const
{
    return ToDouble(varDouble, fs);
}

Currency Variant::AsCurrency(const TFormatSettings& fs) const
{
    if (m_type == varCurrency)
        return Currency::FromScaled(m_int);
    if (IsIntegral(m_type) || m_type == varEmpty) {
        Int128 scaled = Int128(ToInt64(varCurrency, INT64_MIN, INT64_MAX, fs)) * 10000;
        if (scaled < INT64_MIN || scaled > INT64_MAX)
            RaiseOverflow(m_type, varCurrency);
        return Currency::FromScaled(std::int64_t(scaled));
    }
    double d = ToDouble(varCurrency, fs);
    if (!std::isfinite(d) || std::fabs(d) >= 922337203685477.5807)
        RaiseOverflow(m_type, varCurrency);
    return Currency(d);
}

TDateTime Variant::AsDate(const TFormatSettings& fs) const
{
    if (IsStringType(m_type)) {
        TDateTime d = 0;
        if (TryStrToDateTime(Trim(m_str), d, fs))
            return d;
        RaiseCannotConvert(varDate);
    }
    return ToDouble(varDate, fs);
}

bool Variant::AsBoolean(const TFormatSettings& fs) const
{
    if (IsStringType(m_type)) {
        bool b = false;
        if (TryStrToBool(Trim(m_str), b))
            return b;
        RaiseCannotConvert(varBoolean);
    }
    if (m_type == varCurrency)
        return m_int != 0;
    return ToDouble(varBoolean, fs) != 0;
}

String Variant::AsString(const TFormatSettings& fs) const
{
    switch (m_type) {
    case varEmpty:
        return String();
    case varBoolean:
        return m_int ? u"True" : u"False";
    case varUInt64:
        return S(std::to_string(std::uint64_t(m_int)));
    case varSingle:
        return FloatToStrF(m_float, ffGeneral, 7, 0, fs);
    case varDouble:
        return FloatToStr(m_float, fs);
    case varCurrency:
        return CurrToStr(Currency::FromScaled(m_int), fs);
    case varDate:
        return DateTimeToStr(m_float, fs);
    default:
        if (IsIntegral(m_type))
            return IntToStr(m_int);
        if (IsStringType(m_type))
            return m_str;
        RaiseCannotConvert(varUString);
    }
}

IInterface* Variant::AsInterface() const
{
    if (m_type == varDispatch || m_type == varUnknown)
        return m_intf.get();
    if (m_type == varEmpty)
        return nullptr;
    RaiseCannotConvert(varUnknown);
}

std::int32_t Variant::ErrorCode() const
{
    if (m_type != varError)
        RaiseCannotConvert(varError);
    return std::int32_t(m_int);
}

Variant Variant::Cast(const Variant& v, TVarType type, const TFormatSettings& fs)
{
    if (v.m_type == type)
        return v;
    if (v.IsArray() || (type & varArray))
        RaiseVariant(u"Invalid variant type conversion");
    Variant r;
    switch (type) {
    case varEmpty:
        return r;
    case varNull:
        return Null();
    case varSmallint:
        r = Variant(std::int16_t(v.ToInt64(type, INT16_MIN, INT16_MAX, fs)));
        break;
    case varInteger:
        r = Variant(std::int32_t(v.ToInt64(type, INT32_MIN, INT32_MAX, fs)));
        break;
    case varShortInt:
        r = Variant(std::int8_t(v.ToInt64(type, INT8_MIN, INT8_MAX, fs)));
        break;
    case varByte:
        r = Variant(std::uint8_t(v.ToInt64(type, 0, UINT8_MAX, fs)));
        break;
    case varWord:
        r = Variant(std::uint16_t(v.ToInt64(type, 0, UINT16_MAX, fs)));
        break;
    case varLongWord:
        r = Variant(std::uint32_t(v.ToInt64(type, 0, UINT32_MAX, fs)));
        break;
    case varInt64:
        r = Variant(static_cast<long long>(v.ToInt64(type, INT64_MIN, INT64_MAX, fs)));
        break;
    case varUInt64:
        r = Variant(static_cast<unsigned long long>(v.ToInt64(type, 0, INT64_MAX, fs)));
        break;
    case varSingle: {
        double d = v.ToDouble(type, fs);
        if (std::isfinite(d) && std::fabs(d) > FLT_MAX)
            RaiseOverflow(v.m_type, type);
        r = Variant(float(d));
        break;
    }
    case varDouble:
        r = Variant(v.ToDouble(type, fs));
        break;
    case varCurrency:
        r = Variant(v.AsCurrency(fs));
        break;
    case varDate:
        r = FromDate(v.AsDate(fs));
        break;
    case varBoolean:
        r = Variant(v.AsBoolean(fs));
        break;
    case varOleStr:
    case varString:
    case varUString:
        if (v.IsNull())
            v.RaiseCannotConvert(type);
        r = Variant(v.AsString(fs));
        r.m_type = type;
        break;
    case varDispatch:
    case varUnknown:
        r = Variant(v.AsInterface(), type == varDispatch);
        break;
    case varVariant:
        return v;
    case varError:
        v.RaiseCannotConvert(type);
    default:
        RaiseVariant(u"Invalid variant type");
    }
    return r;
}

// ---- predicates and helpers ----

bool VarIsClear(const Variant& v)
{
    return v.IsEmpty() || ((v.VarType() == varDispatch || v.VarType() == varUnknown) && !v.AsInterface());
}

bool VarIsOrdinal(const Variant& v)
{
    return IsIntegral(v.VarType());
}

bool VarIsFloat(const Variant& v)
{
    return IsFloatType(v.VarType()) || v.VarType() == varCurrency;
}

bool VarIsNumeric(const Variant& v)
{
    return VarIsOrdinal(v) || VarIsFloat(v);
}

bool VarIsStr(const Variant& v)
{
    return IsStringType(v.VarType());
}

String VarToStr(const Variant& v, const TFormatSettings& fs)
{
    return v.IsNull() ? String() : v.AsString(fs);
}

String VarToStrDef(const Variant& v, const String& def, const TFormatSettings& fs)
{
    return v.IsNull() ? def : v.AsString(fs);
}

Variant VarAsType(const Variant& v, TVarType type, const TFormatSettings& fs)
{
    return Variant::Cast(v, type, fs);
}

// ---- comparison ----

namespace {

TVariantRelationship Relate(Int128 a, Int128 b)
{
    return a == b ? vrEqual : (a < b ? vrLessThan : vrGreaterThan);
}

TVariantRelationship Relate(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return vrNotEqual;
    return a == b ? vrEqual : (a < b ? vrLessThan : vrGreaterThan);
}

Int128 IntegralValue(const Variant& v)
{
    if (v.VarType() == varUInt64)
        return Int128(v.AsUInt64());
    return v.IsEmpty() ? 0 : v.AsInt64();
}

} // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b)
{
    TVarType ta = a.VarType(), tb = b.VarType();
    if (a.IsArray() || b.IsArray() || ta == varError || tb == varError)
        RaiseVariant(u"Invalid variant operation");
    // Null equals only Null and orders before every other value.
    if (ta == varNull || tb == varNull)
        return ta == tb ? vrEqual : (ta == varNull ? vrLessThan : vrGreaterThan);
    bool intfA = ta == varDispatch || ta == varUnknown, intfB = tb == varDispatch || tb == varUnknown;
    if (intfA || intfB) {
        if (intfA && intfB)
            return a.AsInterface() == b.AsInterface() ? vrEqual : vrNotEqual;
        RaiseVariant(u"Invalid variant operation");
    }
    bool strA = IsStringType(ta) || ta == varEmpty, strB = IsStringType(tb) || tb == varEmpty;
    if (strA && strB && (IsStringType(ta) || IsStringType(tb))) {
        int c = CompareStringLocale(VarToStr(a), VarToStr(b), false);
        if (c == 0 && VarToStr(a) != VarToStr(b))
            c = VarToStr(a) < VarToStr(b) ? -1 : 1;
        return c == 0 ? vrEqual : (c < 0 ? vrLessThan : vrGreaterThan);
    }
    bool intA = IsIntegral(ta) || ta == varEmpty, intB = IsIntegral(tb) || tb == varEmpty;
    if (intA && intB)
        return Relate(IntegralValue(a), IntegralValue(b));
    bool curA = ta == varCurrency, curB = tb == varCurrency;
    if ((curA || intA) && (curB || intB)) {
        Int128 sa = curA ? Int128(a.AsCurrency().Value) : IntegralValue(a) * 10000;
        Int128 sb = curB ? Int128(b.AsCurrency().Value) : IntegralValue(b) * 10000;
        return Relate(sa, sb);
    }
    return Relate(a.AsDouble(), b.AsDouble());
}

bool VarSameValue(const Variant& a, const Variant& b)
{
    return VarCompareValue(a, b) == vrEqual;
}

bool Variant::operator==(const Variant& o) const { return VarCompareValue(*this, o) == vrEqual; }
bool Variant::operator<(const Variant& o) const { return VarCompareValue(*this, o) == vrLessThan; }
bool Variant::operator>(const Variant& o) const { return VarCompareValue(*this, o) == vrGreaterThan; }

bool Variant::operator<=(const Variant& o) const
{
    auto r = VarCompareValue(*this, o);
    return r == vrLessThan || r == vrEqual;
}

bool Variant::operator>=(const Variant& o) const
{
    auto r = VarCompareValue(*this, o);
    return r == vrGreaterThan || r == vrEqual;
}

// ---- arrays ----

static Variant DefaultElement(TVarType type)
{
    switch (type) {
    case varVariant:
        return Variant();
    case varDispatch:
    case varUnknown:
        return Variant(static_cast<IInterface*>(nullptr), type == varDispatch);
    case varError:
        return Variant::FromError(0);
    default:
        return Variant::Cast(Variant(0), type);
    }
}

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType)
{
    if (bounds.size() < 2 || bounds.size() % 2 != 0 || !IsSimpleElementType(elementType))
        RaiseVariant(u"Error creating variant or safe array");
    Variant::ArrayPtr data(new Variant::ArrayData);
    data->ElementType = elementType;
    std::size_t total = 1;
    for (auto it = bounds.begin(); it != bounds.end(); it += 2) {
        long long count = (long long)it[1] - it[0] + 1;
        if (count < 0 || count > (1 << 24))
            RaiseVariant(u"Error creating variant or safe array");
        data->Bounds.push_back({ it[0], int(count) });
        total *= std::size_t(count);
        if (total > (std::size_t(1) << 26))
            RaiseVariant(u"Error creating variant or safe array");
    }
    data->Items.assign(total, DefaultElement(elementType));
    Variant v;
    v.m_type = TVarType(varArray | elementType);
    v.m_array = std::move(data);
    return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values)
{
    Variant v = VarArrayCreate({ 0, int(values.size()) - 1 }, varVariant);
    int i = 0;
    for (const Variant& x : values)
        v.PutElement({ i++ }, x);
    return v;
}

std::size_t Variant::FlatIndex(std::initializer_list<int> indexes) const
{
    if (!m_array)
        RaiseVariant(u"Variant is not an array");
    if (indexes.size() != m_array->Bounds.size())
        RaiseVariant(u"Variant or safe array index out of bounds");
    std::size_t flat = 0, stride = 1;
    std::size_t d = 0;
    // The first index varies fastest, so growing the last dimension keeps
    // every element where it is.
    for (int idx : indexes) {
        const auto& b = m_array->Bounds[d++];
        long long off = (long long)idx - b.LowBound;
        if (off < 0 || off >= b.ElementCount)
            RaiseVariant(u"Variant or safe array index out of bounds");
        flat += std::size_t(off) * stride;
        stride *= std::size_t(b.ElementCount);
    }
    return flat;
}

Variant Variant::GetElement(std::initializer_list<int> indexes) const
{
    std::size_t at = FlatIndex(indexes);
    return m_array->Items[at];
}

void Variant::PutElement(std::initializer_list<int> indexes, const Variant& value)
{
    std::size_t at = FlatIndex(indexes);
    m_array->Items[at] = m_array->ElementType == varVariant ? value : Cast(value, m_array->ElementType);
}

int Variant::DimCount() const
{
    return m_array ? int(m_array->Bounds.size()) : 0;
}

int Variant::LowBound(int dim) const
{
    if (!m_array)
        RaiseVariant(u"Variant is not an array");
    if (dim < 1 || dim > DimCount())
        RaiseVariant(u"Variant or safe array index out of bounds");
    return m_array->Bounds[std::size_t(dim - 1)].LowBound;
}

int Variant::HighBound(int dim) const
{
    int lo = LowBound(dim);
    return lo + m_array->Bounds[std::size_t(dim - 1)].ElementCount - 1;
}

void Variant::Redim(int highBound)
{
    if (!m_array)
        RaiseVariant(u"Variant is not an array");
    auto& last = m_array->Bounds.back();
    long long count = (long long)highBound - last.LowBound + 1;
    if (count < 0 || count > (1 << 24))
        RaiseVariant(u"Variant or safe array index out of bounds");
    std::size_t per = 1;
    for (std::size_t i = 0; i + 1 < m_array->Bounds.size(); ++i)
        per *= std::size_t(m_array->Bounds[i].ElementCount);
    if (per * std::size_t(count) > (std::size_t(1) << 26))
        RaiseVariant(u"Error creating variant or safe array");
    last.ElementCount = int(count);
    m_array->Items.resize(per * std::size_t(count), DefaultElement(m_array->ElementType));
}

int VarArrayDimCount(const Variant& v) { return v.DimCount(); }
int VarArrayLowBound(const Variant& v, int dim) { return v.LowBound(dim); }
int VarArrayHighBound(const Variant& v, int dim) { return v.HighBound(dim); }
void VarArrayRedim(Variant& v, int highBound) { v.Redim(highBound); }
