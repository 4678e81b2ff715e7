#pragma once
// Variant: a value of one of the automation types (empty, null, integers of
// several widths, single, double, currency, date, string, boolean, error
// code, dispatch and unknown interfaces) or an array of variants with any
// number of dimensions and any lower bounds. Conversions follow the platform's
// rules; a conversion that cannot be made raises EVariantError.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/SysUtils.h"

using TVarType = std::uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varUInt64 = 0x0015;
constexpr TVarType varString = 0x0100;
constexpr TVarType varUString = 0x0102;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

// The result of VarCompareValue.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

struct TVarArrayBound {
    int LowBound { 0 };
    int ElementCount { 0 };
};

class Variant {
public:
    Variant() = default;
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept;
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o) noexcept;
    ~Variant();

    Variant(bool v) : m_type(varBoolean), m_int(v ? 1 : 0) { }
    Variant(std::int8_t v) : m_type(varShortInt), m_int(v) { }
    Variant(std::uint8_t v) : m_type(varByte), m_int(v) { }
    Variant(std::int16_t v) : m_type(varSmallint), m_int(v) { }
    Variant(std::uint16_t v) : m_type(varWord), m_int(v) { }
    Variant(std::int32_t v) : m_type(varInteger), m_int(v) { }
    Variant(std::uint32_t v) : m_type(varLongWord), m_int(v) { }
    Variant(long v) : m_type(varInt64), m_int(v) { }
    Variant(long long v) : m_type(varInt64), m_int(v) { }
    Variant(unsigned long v) : m_type(varUInt64), m_int(std::int64_t(v)) { }
    Variant(unsigned long long v) : m_type(varUInt64), m_int(std::int64_t(v)) { }
    Variant(float v) : m_type(varSingle), m_float(v) { }
    Variant(double v) : m_type(varDouble), m_float(v) { }
    Variant(Currency v) : m_type(varCurrency), m_int(v.Value) { }
    Variant(const String& v);
    Variant(String&& v);
    Variant(StringView v);
    Variant(const char16_t* v);
    // An interface reference: varDispatch when `dispatch`, else varUnknown.
    Variant(IInterface* intf, bool dispatch = false);

    static Variant Null();
    static Variant FromDate(TDateTime v);
    static Variant FromError(std::int32_t code);
    // A value of the given simple type converted from `v` (as VarAsType).
    static Variant Cast(const Variant& v, TVarType type, const TFormatSettings& fs = ProcessFormatSettings());

    TVarType VarType() const { return m_type; }
    bool IsEmpty() const { return m_type == varEmpty; }
    bool IsNull() const { return m_type == varNull; }
    bool IsArray() const { return (m_type & varArray) != 0; }

    // Conversions; Null (and anything else that cannot be converted) raises
    // EVariantError, Empty gives zero, False or the empty string. Text is
    // read with the separators and formats of `fs`.
    std::int32_t AsInteger(const TFormatSettings& fs = ProcessFormatSettings()) const;
    std::int64_t AsInt64(const TFormatSettings& fs = ProcessFormatSettings()) const;
    std::uint64_t AsUInt64(const TFormatSettings& fs = ProcessFormatSettings()) const;
    double AsDouble(const TFormatSettings& fs = ProcessFormatSettings()) const;
    Currency AsCurrency(const TFormatSettings& fs = ProcessFormatSettings()) const;
    TDateTime AsDate(const TFormatSettings& fs = ProcessFormatSettings()) const;
    bool AsBoolean(const TFormatSettings& fs = ProcessFormatSettings()) const;
    String AsString(const TFormatSettings& fs = ProcessFormatSettings()) const;
    IInterface* AsInterface() const;
    // The text a string variant holds, without a copy; nullptr for other kinds.
    const String* StringValue() const { return VarTypeIsString() ? &m_str : nullptr; }
    std::int32_t ErrorCode() const;

    // Array elements, one index per dimension; indexes outside the bounds
    // raise EVariantError. Stored values take the array's element type.
    Variant GetElement(std::initializer_list<int> indexes) const;
    void PutElement(std::initializer_list<int> indexes, const Variant& value);
    int DimCount() const;
    int LowBound(int dim) const;
    int HighBound(int dim) const;
    // Changes the high bound of the last dimension, keeping the elements.
    void Redim(int highBound);

    // Comparisons by VarCompareValue; vrNotEqual makes every ordering false.
    bool operator==(const Variant& o) const;
    bool operator<(const Variant& o) const;
    bool operator<=(const Variant& o) const;
    bool operator>(const Variant& o) const;
    bool operator>=(const Variant& o) const;

private:
    friend Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
    struct ArrayData;
    struct ArrayDeleter {
        void operator()(ArrayData* p) const;
    };
    using ArrayPtr = std::unique_ptr<ArrayData, ArrayDeleter>;

    bool VarTypeIsString() const { return m_type == varOleStr || m_type == varString || m_type == varUString; }
    double ToDouble(TVarType target, const TFormatSettings& fs) const;
    std::int64_t ToInt64(TVarType target, std::int64_t lo, std::int64_t hi, const TFormatSettings& fs) const;
    [[noreturn]] void RaiseCannotConvert(TVarType target) const;
    std::size_t FlatIndex(std::initializer_list<int> indexes) const;

    TVarType m_type { varEmpty };
    std::int64_t m_int { 0 };
    double m_float { 0 };
    String m_str;
    TComPtr<IInterface> m_intf;
    ArrayPtr m_array;
};

// The type name used in conversion messages ("Integer", "UnicodeString",
// "Array Variant", ...).
String VarTypeAsText(TVarType type);

inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
// Empty, or an interface variant without an interface.
bool VarIsClear(const Variant& v);
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsNumeric(const Variant& v);
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
bool VarIsStr(const Variant& v);
inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant(); }

// Text of a variant; Null gives the empty string.
String VarToStr(const Variant& v, const TFormatSettings& fs = ProcessFormatSettings());
String VarToStrDef(const Variant& v, const String& def, const TFormatSettings& fs = ProcessFormatSettings());
Variant VarAsType(const Variant& v, TVarType type, const TFormatSettings& fs = ProcessFormatSettings());
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);

// Bounds as pairs (low, high) per dimension: {0, 9} or {1, 3, 0, 4}.
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
Variant VarArrayOf(std::initializer_list<Variant> values);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
void VarArrayRedim(Variant& v, int highBound);
