#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/automation/OleAuto.h"

namespace {

enum TShade { shLight, shMedium, shDark };
QT_ENUM(TShade, shLight, shMedium, shDark)
using TShades = Set<TShade>;

class TLinked : public TPersistent {
    QT_CLASS(TLinked, TPersistent)
};

class TValues : public TPersistent {
    QT_CLASS(TValues, TPersistent)
public:
    int GetCount() const { return FCount; }
    void SetCount(int v) { FCount = v; }
    std::int64_t GetBig() const { return FBig; }
    void SetBig(std::int64_t v) { FBig = v; }
    std::uint32_t GetMask() const { return FMask; }
    void SetMask(std::uint32_t v) { FMask = v; }
    char16_t GetLetter() const { return FLetter; }
    void SetLetter(char16_t v) { FLetter = v; }
    bool GetOn() const { return FOn; }
    void SetOn(bool v) { FOn = v; }
    TShade GetShade() const { return FShade; }
    void SetShade(TShade v) { FShade = v; }
    TShades GetShades() const { return FShades; }
    void SetShades(TShades v) { FShades = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    const String& GetText() const { return FText; }
    void SetText(const String& v) { FText = v; }
    TLinked* GetLink() const { return FLink; }
    void SetLink(TLinked* v) { FLink = v; }

    std::function<void(TObject*)> OnChange;

private:
    int FCount { 3 };
    std::int64_t FBig { 1 };
    std::uint32_t FMask { 0xF0000000u };
    char16_t FLetter { u'q' };
    bool FOn { false };
    TShade FShade { shMedium };
    TShades FShades { shLight, shDark };
    double FRatio { 0.5 };
    String FText { u"text" };
    TLinked* FLink { nullptr };
};

} // namespace

QT_PUBLISHED(TLinked)
QT_PUBLISHED(TValues, QT_PROP(Count), QT_PROP(Big), QT_PROP(Mask), QT_PROP(Letter), QT_PROP(On), QT_PROP(Shade),
    QT_PROP(Shades), QT_PROP(Ratio), QT_PROP(Text), QT_PROP(Link), QT_EVENT(OnChange))

namespace {

TEST(PropValue, ReadsEachKindAsItsVariant)
{
    TValues v;
    struct Case {
        const char16_t* prop;
        Variant expected;
    };
    const Case cases[] = {
        { u"Count", Variant(std::int32_t(3)) },
        { u"Big", Variant(1LL) },
        { u"Mask", Variant(0xF0000000LL) },
        { u"Letter", Variant(u"q") },
        { u"On", Variant(false) },
        { u"Shade", Variant(u"shMedium") },
        { u"Shades", Variant(u"shLight,shDark") },
        { u"Ratio", Variant(0.5) },
        { u"Text", Variant(u"text") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.prop));
        Variant got = GetPropValue(&v, GetPropInfo(&v, c.prop));
        EXPECT_EQ(got.VarType(), c.expected.VarType());
        EXPECT_TRUE(VarSameValue(got, c.expected));
    }
    EXPECT_THROW(GetPropValue(&v, GetPropInfo(&v, u"Link")), EPropertyError);
    EXPECT_THROW(GetPropValue(&v, GetPropInfo(&v, u"OnChange")), EPropertyError);
}

TEST(PropValue, WritesConvertToThePropertyType)
{
    struct Case {
        const char16_t* prop;
        Variant value;
        Variant readBack;
    };
    const Case cases[] = {
        { u"Count", Variant(u"42"), Variant(std::int32_t(42)) },
        { u"Count", Variant(7.0), Variant(std::int32_t(7)) },
        { u"Big", Variant(u"9000000000"), Variant(9000000000LL) },
        { u"Letter", Variant(u"z"), Variant(u"z") },
        { u"Letter", Variant(std::int32_t(u'b')), Variant(u"b") },
        { u"On", Variant(true), Variant(true) },
        { u"On", Variant(u"True"), Variant(true) },
        { u"On", Variant(std::int32_t(0)), Variant(false) },
        { u"Shade", Variant(u"shdark"), Variant(u"shDark") },
        { u"Shade", Variant(std::int32_t(0)), Variant(u"shLight") },
        { u"Shades", Variant(u"[shMedium]"), Variant(u"shMedium") },
        { u"Shades", Variant(std::int32_t(3)), Variant(u"shLight,shMedium") },
        { u"Ratio", Variant(std::int32_t(2)), Variant(2.0) },
        { u"Ratio", Variant(true), Variant(-1.0) },
        { u"Text", Variant(12.25), Variant(u"12.25") },
        { u"Text", Variant(false), Variant(u"False") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.prop) + " = " + StringToUtf8(VarToStr(c.value)));
        TValues v;
        PPropInfo prop = GetPropInfo(&v, c.prop);
        SetPropValue(&v, prop, c.value);
        EXPECT_TRUE(VarSameValue(GetPropValue(&v, prop), c.readBack)) << StringToUtf8(VarToStr(GetPropValue(&v, prop)));
    }
}

TEST(PropValue, WritesThatCannotConvertRaiseAndChangeNothing)
{
    struct Case {
        const char16_t* prop;
        Variant value;
    };
    const Case cases[] = {
        { u"Count", Variant(u"many") },
        { u"Count", Variant::Null() },
        { u"Letter", Variant(u"two") },
        { u"Letter", Variant(u"") },
        { u"Shade", Variant(u"shBright") },
        { u"Shade", Variant(std::int32_t(3)) },
        { u"Shade", Variant(std::int32_t(-1)) },
        { u"Shades", Variant(u"shLight,shNone") },
        { u"Ratio", Variant(u"half") },
        { u"Text", Variant::Null() },
        { u"OnChange", Variant() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.prop) + " = " + StringToUtf8(VarToStr(c.value)));
        TValues v;
        PPropInfo prop = GetPropInfo(&v, c.prop);
        Variant before = c.prop == String(u"OnChange") ? Variant() : GetPropValue(&v, prop);
        EXPECT_THROW(SetPropValue(&v, prop, c.value), Exception);
        if (!before.IsEmpty()) {
            EXPECT_TRUE(VarSameValue(GetPropValue(&v, prop), before));
        }
    }
}

TEST(PropValue, ClassPropertiesCanOnlyBeCleared)
{
    TValues v;
    TLinked other;
    v.SetLink(&other);
    PPropInfo link = GetPropInfo(&v, u"Link");
    EXPECT_THROW(SetPropValue(&v, link, Variant(u"other")), EPropertyError);
    EXPECT_EQ(v.GetLink(), &other);
    SetPropValue(&v, link, Variant::Null());
    EXPECT_EQ(v.GetLink(), nullptr);
}

// Records what a caller asks of a dispatch object.
class TRecordingDispatch : public IDispatch {
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override
    {
        *obj = iid == IDispatch::IID || iid == IInterface::IID ? static_cast<IDispatch*>(this) : nullptr;
        return *obj ? S_OK : E_NOINTERFACE;
    }
    int AddRef() override { return ++Refs; }
    int Release() override { return --Refs; }
    HRESULT GetTypeInfoCount(UINT& count) override
    {
        count = 0;
        return E_NOTIMPL;
    }
    HRESULT GetTypeInfo(UINT, LCID, IInterface**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const TGUID&, std::span<const String> names, LCID, std::span<DISPID> ids) override
    {
        Names.assign(names.begin(), names.end());
        if (names[0] != u"Known")
            return DISP_E_UNKNOWNNAME;
        ids[0] = 123;
        return S_OK;
    }
    HRESULT Invoke(DISPID id, const TGUID&, LCID, WORD flags, const DISPPARAMS& params, Variant*, EXCEPINFO* info,
        UINT*) override
    {
        ++Calls;
        LastId = id;
        LastFlags = flags;
        LastParams = params;
        if (info)
            info->Description = u"recorded";
        return InvokeResult;
    }

    int Refs { 0 };
    int Calls { 0 };
    std::vector<String> Names;
    DISPID LastId { 0 };
    WORD LastFlags { 0 };
    DISPPARAMS LastParams;
    HRESULT InvokeResult { S_OK };
};

TEST(DispatchPutProperty, LooksUpThenPutsTheNamedValue)
{
    TRecordingDispatch d;
    EXPECT_EQ(DispatchPutProperty(&d, u"Known", Variant(u"v")), S_OK);
    ASSERT_EQ(d.Names, std::vector<String> { u"Known" });
    EXPECT_EQ(d.LastId, 123);
    EXPECT_EQ(d.LastFlags, DISPATCH_PROPERTYPUT);
    ASSERT_EQ(d.LastParams.ArgCount(), 1u);
    ASSERT_EQ(d.LastParams.NamedArgs, std::vector<DISPID> { DISPID_PROPERTYPUT });
    EXPECT_EQ(d.LastParams.Args[0].AsString(), u"v");

    d.InvokeResult = DISP_E_EXCEPTION;
    EXCEPINFO info;
    EXPECT_EQ(DispatchPutProperty(&d, u"Known", Variant(1.5), &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.Description, u"recorded");

    EXPECT_EQ(DispatchPutProperty(&d, u"Unknown", Variant(1.5)), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(d.Calls, 2);
    EXPECT_EQ(DispatchPutProperty(nullptr, u"Known", Variant(1.5)), E_POINTER);
}

TEST(VarToDispatch, FindsTheInterfaceWithoutCountingIt)
{
    TRecordingDispatch d;
    {
        Variant asDispatch(static_cast<IDispatch*>(&d), true);
        Variant asUnknown(static_cast<IInterface*>(&d), false);
        EXPECT_EQ(d.Refs, 2);
        EXPECT_EQ(VarToDispatch(asDispatch), &d);
        EXPECT_EQ(VarToDispatch(asUnknown), &d);
        EXPECT_EQ(d.Refs, 2);
    }
    EXPECT_EQ(d.Refs, 0);
    EXPECT_EQ(VarToDispatch(Variant()), nullptr);
    EXPECT_EQ(VarToDispatch(Variant(u"text")), nullptr);
    EXPECT_EQ(VarToDispatch(Variant(static_cast<IInterface*>(nullptr), true)), nullptr);
}

// The root interface shared with another interface whose part comes
// first and holds N * 8 bytes, so each type has its dispatch interface at
// another distance from the root.
class IOtherInterface : public virtual IInterface { };
template<int N>
struct TFront : IOtherInterface {
    char Bytes[8 * N] {};
};
template<int N>
class TShiftedDispatch : public TFront<N>, public TRecordingDispatch { };

class TPlainInterface : public IInterface {
public:
    HRESULT QueryInterface(const TGUID&, void** obj) override
    {
        *obj = nullptr;
        return E_NOINTERFACE;
    }
    int AddRef() override { return 1; }
    int Release() override { return 1; }
};

// Objects of more types than the cast remembers, each asked twice, in
// turns: each answer is the object's own interface, and an object without
// one has none.
TEST(VarToDispatch, ObjectsOfManyTypesInTurnsEachGiveTheirOwnInterface)
{
    TShiftedDispatch<1> a1, a2;
    TShiftedDispatch<2> b;
    TShiftedDispatch<3> c;
    TShiftedDispatch<4> d;
    TShiftedDispatch<5> e;
    TRecordingDispatch f;
    TPlainInterface plain;
    const std::pair<IInterface*, IDispatch*> objects[] = { { &a1, &a1 }, { &b, &b }, { &c, &c }, { &plain, nullptr },
        { &d, &d }, { &a2, &a2 }, { &e, &e }, { &f, &f } };
    for (int round = 0; round < 3; ++round)
        for (const auto& [intf, dispatch] : objects)
            for (int again = 0; again < 2; ++again) {
                SCOPED_TRACE(round);
                EXPECT_EQ(VarToDispatch(Variant(intf, false)), dispatch);
            }
}

} // namespace
