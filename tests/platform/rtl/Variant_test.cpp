#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/rtl/Variant.h"

namespace {

const TFormatSettings& Dot()
{
    return InvariantFormatSettings();
}

TFormatSettings Comma()
{
    TFormatSettings fs = InvariantFormatSettings();
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = u"dd.MM.yyyy";
    return fs;
}

class TCountedIntf : public TInterfacedObject {
    QT_CLASS(TCountedIntf, TInterfacedObject)
};
QT_PUBLISHED(TCountedIntf)

} // namespace

TEST(Variant, TextOfEachKind)
{
    const TFormatSettings comma = Comma();
    struct Case {
        const char* what;
        Variant value;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { "empty", Variant(), u"", u"" },
        { "null", Variant::Null(), u"", u"" },
        { "smallint", Variant(std::int16_t(-7)), u"-7", u"-7" },
        { "int64", Variant(5000000000LL), u"5000000000", u"5000000000" },
        { "uint64", Variant(18446744073709551615ULL), u"18446744073709551615", u"18446744073709551615" },
        { "byte", Variant(std::uint8_t(255)), u"255", u"255" },
        { "double", Variant(1.5), u"1.5", u"1,5" },
        { "single", Variant(0.1f), u"0.1", u"0,1" },
        { "currency", Variant(Currency::FromScaled(12345)), u"1.2345", u"1,2345" },
        { "date", Variant::FromDate(EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0)), u"02/29/2024 13:05:00",
            u"29.02.2024 13:05:00" },
        { "true", Variant(true), u"True", u"True" },
        { "string", Variant(u"abc"), u"abc", u"abc" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VarToStr(c.value, Dot()), c.dot);
        EXPECT_EQ(VarToStr(c.value, comma), c.comma);
    }
    EXPECT_EQ(VarToStrDef(Variant::Null(), u"n/a"), u"n/a");
    EXPECT_THROW(Variant::Null().AsString(), EVariantError);
    EXPECT_THROW(VarToStr(Variant::FromError(5)), EVariantError);
}

TEST(Variant, NumericConversionsRoundHalfEvenAndCheckRange)
{
    struct Case {
        const char* what;
        Variant value;
        TVarType target;
        const char16_t* expected; // text of the result, or the error message
        bool fails;
    };
    const Case cases[] = {
        { "2.5 to int", Variant(2.5), varInteger, u"2", false },
        { "3.5 to int", Variant(3.5), varInteger, u"4", false },
        { "-2.5 to int", Variant(-2.5), varInteger, u"-2", false },
        { "currency 2.5 to int", Variant(Currency::FromScaled(25000)), varInteger, u"2", false },
        { "currency -3.5 to int", Variant(Currency::FromScaled(-35000)), varInteger, u"-4", false },
        { "true to int", Variant(true), varInteger, u"-1", false },
        { "empty to int", Variant(), varInteger, u"0", false },
        { "text to int", Variant(u" 42 "), varInteger, u"42", false },
        { "hex text to int", Variant(u"$FF"), varInteger, u"255", false },
        { "text to double", Variant(u"2.25"), varDouble, u"2.25", false },
        { "int to byte", Variant(255), varByte, u"255", false },
        { "text to bool", Variant(u"false"), varBoolean, u"False", false },
        { "zero to bool", Variant(0.0), varBoolean, u"False", false },
        { "int to currency", Variant(3), varCurrency, u"3", false },
        { "double to currency", Variant(1.23456), varCurrency, u"1.2346", false },
        { "int to text", Variant(-3), varUString, u"-3", false },
        { "256 to byte", Variant(256), varByte, u"Overflow while converting variant of type (Integer) into type (Byte)", true },
        { "-1 to word", Variant(-1), varWord, u"Overflow while converting variant of type (Integer) into type (Word)", true },
        { "1e10 to int", Variant(1e10), varInteger, u"Overflow while converting variant of type (Double) into type (Integer)", true },
        { "nan to int", Variant(std::nan("")), varInt64, u"Overflow while converting variant of type (Double) into type (Int64)", true },
        { "1e300 to single", Variant(1e300), varSingle, u"Overflow while converting variant of type (Double) into type (Single)", true },
        { "null to int", Variant::Null(), varInteger, u"Could not convert variant of type (Null) into type (Integer)", true },
        { "word to int", Variant(u"abc"), varDouble, u"Could not convert variant of type (UnicodeString) into type (Double)", true },
        { "text to bool", Variant(u"maybe"), varBoolean, u"Could not convert variant of type (UnicodeString) into type (Boolean)", true },
        { "error to int", Variant::FromError(1), varInteger, u"Could not convert variant of type (Error) into type (Integer)", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Variant r = VarAsType(c.value, c.target, Dot());
            EXPECT_FALSE(c.fails);
            EXPECT_EQ(r.VarType(), c.target);
            EXPECT_EQ(VarToStr(r, Dot()), c.expected);
        } catch (const EVariantError& e) {
            EXPECT_TRUE(c.fails) << StringToUtf8(e.Message);
            EXPECT_EQ(e.Message, c.expected);
        }
    }
    // Text is read with the separators it is given.
    EXPECT_EQ(Variant(u"1,5").AsDouble(Comma()), 1.5);
    EXPECT_EQ(VarAsType(Variant(u"01.02.2024"), varDate, Comma()).AsDate(), EncodeDate(2024, 2, 1));
    EXPECT_THROW(VarAsType(Variant(u"1,5"), varDouble, Dot()), EVariantError);
}

TEST(Variant, ComparisonsFollowTheValueNotTheType)
{
    SetCollationLocale("en_US");
    struct Case {
        const char* what;
        Variant a, b;
        TVariantRelationship expected;
    };
    const Case cases[] = {
        { "int and double", Variant(2), Variant(2.0), vrEqual },
        { "byte and int64", Variant(std::uint8_t(3)), Variant(4LL), vrLessThan },
        { "uint64 max and int", Variant(18446744073709551615ULL), Variant(-1), vrGreaterThan },
        { "currency and int", Variant(Currency::FromScaled(20000)), Variant(2), vrEqual },
        { "currency fraction", Variant(Currency::FromScaled(20001)), Variant(2), vrGreaterThan },
        { "true is -1", Variant(true), Variant(-1), vrEqual },
        { "empty is zero", Variant(), Variant(0), vrEqual },
        { "empty is empty text", Variant(), Variant(u""), vrEqual },
        { "strings by case", Variant(u"a"), Variant(u"A"), vrLessThan },
        { "strings differ", Variant(u"apple"), Variant(u"banana"), vrLessThan },
        { "number and numeric text", Variant(10), Variant(u"9"), vrGreaterThan },
        { "null and null", Variant::Null(), Variant::Null(), vrEqual },
        { "null before anything", Variant::Null(), Variant(-5), vrLessThan },
        { "nan", Variant(std::nan("")), Variant(1.0), vrNotEqual },
        { "dates", Variant::FromDate(45000), Variant::FromDate(45000.5), vrLessThan },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VarCompareValue(c.a, c.b), c.expected);
        EXPECT_EQ(c.a == c.b, c.expected == vrEqual);
        EXPECT_EQ(c.a < c.b, c.expected == vrLessThan);
    }
    EXPECT_THROW(VarCompareValue(Variant(1), Variant(u"x")), EVariantError);
    EXPECT_THROW(VarCompareValue(VarArrayOf({ 1 }), VarArrayOf({ 1 })), EVariantError);
}

TEST(Variant, ArraysWithLowBoundsAndTwoDimensions)
{
    Variant a = VarArrayCreate({ 1, 3, -1, 0 }, varInteger);
    EXPECT_TRUE(VarIsArray(a));
    EXPECT_EQ(a.VarType(), varArray | varInteger);
    EXPECT_EQ(VarTypeAsText(a.VarType()), u"Array Integer");
    EXPECT_EQ(VarArrayDimCount(a), 2);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    EXPECT_EQ(VarArrayLowBound(a, 2), -1);
    EXPECT_EQ(VarArrayHighBound(a, 2), 0);
    for (int i = 1; i <= 3; ++i)
        for (int j = -1; j <= 0; ++j)
            a.PutElement({ i, j }, Variant(u"" + IntToStr(i * 10 + j))); // stored as Integer
    EXPECT_EQ(a.GetElement({ 2, -1 }).VarType(), varInteger);
    EXPECT_EQ(a.GetElement({ 2, -1 }).AsInteger(), 19);
    EXPECT_EQ(a.GetElement({ 3, 0 }).AsInteger(), 30);

    Variant copy = a; // a copy is independent
    copy.PutElement({ 1, 0 }, 99);
    EXPECT_EQ(a.GetElement({ 1, 0 }).AsInteger(), 10);

    VarArrayRedim(a, 2); // grows the last dimension, keeping the elements
    EXPECT_EQ(VarArrayHighBound(a, 2), 2);
    EXPECT_EQ(a.GetElement({ 3, 0 }).AsInteger(), 30);
    EXPECT_EQ(a.GetElement({ 3, 2 }).AsInteger(), 0);

    const std::pair<const char*, std::function<void()>> errors[] = {
        { "index high", [&] { a.GetElement({ 4, 0 }); } },
        { "index low", [&] { a.GetElement({ 0, 0 }); } },
        { "wrong dimension count", [&] { a.GetElement({ 1 }); } },
        { "dimension 3", [&] { VarArrayLowBound(a, 3); } },
        { "not an array", [&] { VarArrayHighBound(Variant(1), 1); } },
        { "odd bounds", [&] { VarArrayCreate({ 0 }, varVariant); } },
        { "negative count", [&] { VarArrayCreate({ 5, 2 }, varVariant); } },
        { "bad element type", [&] { VarArrayCreate({ 0, 1 }, varNull); } },
        { "unconvertible element", [&] { a.PutElement({ 1, 0 }, Variant(u"x")); } },
        { "array to scalar", [&] { VarAsType(a, varInteger); } },
    };
    for (const auto& [what, call] : errors) {
        SCOPED_TRACE(what);
        EXPECT_THROW(call(), EVariantError);
    }

    Variant mixed = VarArrayOf({ 1, u"two", Variant::Null() });
    EXPECT_EQ(VarArrayHighBound(mixed, 1), 2);
    EXPECT_EQ(mixed.GetElement({ 1 }).VarType(), varUString);
    EXPECT_TRUE(VarIsNull(mixed.GetElement({ 2 })));
}

TEST(Variant, InterfacesKeepTheirObjectAlive)
{
    auto* obj = new TCountedIntf;
    {
        Variant v(static_cast<IInterface*>(obj), true);
        EXPECT_EQ(v.VarType(), varDispatch);
        EXPECT_EQ(obj->GetRefCount(), 1);
        Variant copy = v;
        EXPECT_EQ(obj->GetRefCount(), 2);
        EXPECT_TRUE(copy == v);
        EXPECT_EQ(VarAsType(v, varUnknown).AsInterface(), v.AsInterface());
        EXPECT_THROW(VarToStr(v), EVariantError);
        obj->AddRef(); // keep it for the check below
    }
    EXPECT_EQ(obj->GetRefCount(), 1);
    obj->Release();
    EXPECT_TRUE(VarIsClear(Variant()));
    EXPECT_TRUE(VarIsClear(Variant(static_cast<IInterface*>(nullptr))));
    EXPECT_FALSE(VarIsClear(Variant::Null()));
}
