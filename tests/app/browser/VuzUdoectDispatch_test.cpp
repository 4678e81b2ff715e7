#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/browser/VuzUdoectDispatch.h"

namespace {

class TInnerPart : public TPersistent {
    QT_CLASS(TInnerPart, TPersistent)
public:
    int GetDepth() const { return FDepth; }
    void SetDepth(int v) { FDepth = v; }

private:
    int FDepth { 7 };
};

class TScriptTarget : public TComponent {
    QT_CLASS(TScriptTarget, TComponent)
public:
    explicit TScriptTarget(TComponent* AOwner = nullptr) : TComponent(AOwner) { }
    ~TScriptTarget() override
    {
        if (Destroyed)
            *Destroyed = true;
    }

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    TInnerPart* GetInner() const { return FInner.get(); }
    TInnerPart* GetMissing() const { return nullptr; }
    String GetBroken() const { throw EInvalidOperation(u"broken getter"); }
    String GetFarewell() const { return {}; }
    void SetFarewell(const String& v)
    {
        if (OnFarewell)
            OnFarewell(v);
    }

    std::function<void(const String&)> OnFarewell;

    bool* Destroyed { nullptr };

private:
    String FCaption { u"start" };
    double FRatio { 1 };
    bool FEnabled { false };
    std::unique_ptr<TInnerPart> FInner { std::make_unique<TInnerPart>() };
};

} // namespace

QT_PUBLISHED(TInnerPart, QT_PROP(Depth))
QT_PUBLISHED(TScriptTarget, QT_PROP(Caption), QT_PROP(Ratio), QT_PROP(Enabled), QT_PROP_RO(Inner),
    QT_PROP_RO(Missing), QT_PROP_RO(Broken), QT_PROP(Farewell))

namespace {

DISPID IdOf(IDispatch& d, const String& name, HRESULT* hr = nullptr)
{
    DISPID id = 12345;
    HRESULT r = d.GetIDsOfNames(GUID_NULL, std::span<const String>(&name, 1), LOCALE_USER_DEFAULT,
        std::span<DISPID>(&id, 1));
    if (hr)
        *hr = r;
    return id;
}

DISPPARAMS PutParams(const Variant& value)
{
    DISPPARAMS p;
    p.Args.push_back(value);
    p.NamedArgs.push_back(DISPID_PROPERTYPUT);
    return p;
}

HRESULT Put(IDispatch& d, DISPID id, const Variant& value, EXCEPINFO* info = nullptr)
{
    return d.Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, PutParams(value), nullptr, info, nullptr);
}

HRESULT Get(IDispatch& d, DISPID id, Variant& result, EXCEPINFO* info = nullptr)
{
    return d.Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, DISPPARAMS {}, &result, info, nullptr);
}

// Reads a property by name through the dispatch interface.
Variant Read(IDispatch& d, const String& name)
{
    HRESULT hr = S_OK;
    DISPID id = IdOf(d, name, &hr);
    EXPECT_EQ(hr, S_OK) << StringToUtf8(name);
    Variant v;
    EXPECT_EQ(Get(d, id, v), S_OK) << StringToUtf8(name);
    return v;
}

class DispatchTest : public ::testing::Test {
protected:
    TScriptTarget target;
    TVuzUdoectDispatch dispatch { &target, false };
};

TEST_F(DispatchTest, IdsFollowFirstUseAndAreFoundAgain)
{
    auto* child = new TScriptTarget(&target);
    child->SetName(u"Child");
    struct Case {
        const char16_t* name;
        HRESULT hr;
        DISPID id;
    };
    const Case cases[] = {
        { u"Ratio", S_OK, 100 },
        { u"Caption", S_OK, 101 },
        { u"ratio", S_OK, 100 },
        { u"CAPTION", S_OK, 101 },
        { u"child", S_OK, 102 },
        { u"Child", S_OK, 102 },
        { u"Nothing", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN },
        { u"", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN },
        { u"Enabled", S_OK, 103 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.name));
        HRESULT hr = S_OK;
        EXPECT_EQ(IdOf(dispatch, c.name, &hr), c.id);
        EXPECT_EQ(hr, c.hr);
    }

    // Only the first name is looked up; every other slot reads "unknown".
    const String names[] = { u"Enabled", u"Ratio" };
    DISPID ids[] = { 0, 0 };
    EXPECT_EQ(dispatch.GetIDsOfNames(GUID_NULL, names, LOCALE_USER_DEFAULT, ids), S_OK);
    EXPECT_EQ(ids[0], 103);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(DispatchTest, PropertyWinsOverComponentOfTheSameName)
{
    auto* child = new TScriptTarget(&target);
    child->SetName(u"Caption");
    DISPID id = IdOf(dispatch, u"Caption");
    Variant v;
    ASSERT_EQ(Get(dispatch, id, v), S_OK);
    EXPECT_EQ(v.VarType(), varUString);
    EXPECT_EQ(v.AsString(), u"start");
}

TEST_F(DispatchTest, MemberTableGrowsPastItsFirstCapacity)
{
    const int count = 25;
    std::vector<TScriptTarget*> children;
    for (int i = 0; i < count; ++i) {
        children.push_back(new TScriptTarget(&target));
        children.back()->SetName(u"C" + IntToStr(i));
        children.back()->SetCaption(u"caption " + IntToStr(i));
    }
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(IdOf(dispatch, u"C" + IntToStr(i)), 100 + i);
    for (int i = count - 1; i >= 0; --i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(IdOf(dispatch, u"c" + IntToStr(i)), 100 + i);
        Variant v;
        ASSERT_EQ(Get(dispatch, 100 + i, v), S_OK);
        IDispatch* sub = VarToDispatch(v);
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(Read(*sub, u"Caption").AsString(), u"caption " + IntToStr(i));
    }
}

TEST_F(DispatchTest, RejectedCallsLeaveThePropertyAlone)
{
    DISPID caption = IdOf(dispatch, u"Caption");
    ASSERT_EQ(caption, 100);
    DISPPARAMS positional;
    positional.Args.push_back(Variant(u"changed"));
    DISPPARAMS otherName = PutParams(Variant(u"changed"));
    otherName.NamedArgs[0] = 0;
    DISPPARAMS twoNamed = PutParams(Variant(u"changed"));
    twoNamed.Args.push_back(Variant(u"more"));
    twoNamed.NamedArgs.push_back(1);
    DISPPARAMS putWithoutValue;
    putWithoutValue.NamedArgs.push_back(DISPID_PROPERTYPUT);
    struct Case {
        const char* what;
        DISPID id;
        WORD flags;
        const DISPPARAMS* params;
        HRESULT hr;
    };
    const Case cases[] = {
        { "id below the table", 99, DISPATCH_PROPERTYGET, nullptr, DISP_E_MEMBERNOTFOUND },
        { "id past the table", 101, DISPATCH_PROPERTYGET, nullptr, DISP_E_MEMBERNOTFOUND },
        { "property-put id", DISPID_PROPERTYPUT, DISPATCH_PROPERTYGET, nullptr, DISP_E_MEMBERNOTFOUND },
        { "put as a method call", caption, DISPATCH_PROPERTYPUT, &positional, DISP_E_MEMBERNOTFOUND },
        { "put with another named argument", caption, DISPATCH_PROPERTYPUT, &otherName, DISP_E_MEMBERNOTFOUND },
        { "put with two named arguments", caption, DISPATCH_PROPERTYPUT, &twoNamed, DISP_E_MEMBERNOTFOUND },
        { "put by reference as a method call", caption, DISPATCH_PROPERTYPUTREF, &positional, DISP_E_MEMBERNOTFOUND },
        { "put without a value", caption, DISPATCH_PROPERTYPUT, &putWithoutValue, DISP_E_MEMBERNOTFOUND },
        { "read with an argument", caption, DISPATCH_PROPERTYGET, &positional, DISP_E_BADPARAMCOUNT },
        { "call with an argument", caption, DISPATCH_METHOD, &positional, DISP_E_BADPARAMCOUNT },
    };
    const DISPPARAMS none;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Variant result;
        EXPECT_EQ(dispatch.Invoke(c.id, GUID_NULL, LOCALE_USER_DEFAULT, c.flags, c.params ? *c.params : none,
                      &result, nullptr, nullptr),
            c.hr);
        EXPECT_EQ(target.GetCaption(), u"start");
    }
}

TEST_F(DispatchTest, PutSetsTextNumberAndBoolean)
{
    struct Case {
        const char16_t* name;
        Variant value;
        WORD flags;
    };
    const Case cases[] = {
        { u"Caption", Variant(u"from the page"), DISPATCH_PROPERTYPUT },
        { u"Ratio", Variant(2.5), DISPATCH_PROPERTYPUT },
        { u"Enabled", Variant(true), DISPATCH_PROPERTYPUT },
        { u"Ratio", Variant(std::int32_t(-4)), DISPATCH_PROPERTYPUTREF },
        { u"Caption", Variant(3.5), DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYGET },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.name));
        DISPID id = IdOf(dispatch, c.name);
        EXPECT_EQ(dispatch.Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, c.flags, PutParams(c.value), nullptr, nullptr,
                      nullptr),
            S_OK);
        EXPECT_TRUE(VarSameValue(Read(dispatch, c.name), c.value));
    }
    EXPECT_EQ(target.GetCaption(), u"3.5");
    EXPECT_EQ(target.GetRatio(), -4);
    EXPECT_TRUE(target.GetEnabled());
    EXPECT_EQ(Read(dispatch, u"Enabled").VarType(), varBoolean);
}

TEST_F(DispatchTest, ExceptionsBecomeTheExceptionRecord)
{
    struct Case {
        const char* what;
        const char16_t* name;
        bool put;
        Variant value;
        const char16_t* description;
    };
    const Case cases[] = {
        { "getter raises", u"Broken", false, Variant(), u"broken getter" },
        { "text that is no number", u"Ratio", true, Variant(u"abc"), nullptr },
        { "null into text", u"Caption", true, Variant::Null(), nullptr },
        { "read-only property", u"Inner", true, Variant(), nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DISPID id = IdOf(dispatch, c.name);
        EXCEPINFO info;
        info.HelpFile = u"stale";
        info.HelpContext = 9;
        Variant result;
        HRESULT hr = c.put ? Put(dispatch, id, c.value, &info) : Get(dispatch, id, result, &info);
        EXPECT_EQ(hr, DISP_E_EXCEPTION);
        EXPECT_EQ(info.Source, u"TVuzUdoectDispatch");
        if (c.description)
            EXPECT_EQ(info.Description, c.description);
        else
            EXPECT_FALSE(info.Description.empty());
        EXPECT_EQ(info.SCode, E_FAIL);
        EXPECT_TRUE(info.HelpFile.empty());
        EXPECT_EQ(info.HelpContext, 0u);
        // Without a record the call fails the same way.
        EXPECT_EQ(c.put ? Put(dispatch, id, c.value) : Get(dispatch, id, result), DISP_E_EXCEPTION);
    }
    EXPECT_EQ(target.GetRatio(), 1);
    EXPECT_EQ(target.GetCaption(), u"start");
}

TEST_F(DispatchTest, ObjectPropertyGivesAChildDispatch)
{
    Variant inner = Read(dispatch, u"Inner");
    ASSERT_EQ(inner.VarType(), varDispatch);
    IDispatch* child = VarToDispatch(inner);
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child, static_cast<IDispatch*>(&dispatch));
    // The child has a member table of its own.
    EXPECT_EQ(IdOf(*child, u"Depth"), 100);
    EXPECT_EQ(Read(*child, u"Depth").AsInteger(), 7);
    EXPECT_EQ(Put(*child, 100, Variant(std::int32_t(12))), S_OK);
    EXPECT_EQ(target.GetInner()->GetDepth(), 12);
    HRESULT hr = S_OK;
    IdOf(*child, u"Caption", &hr);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);
    // Reading the same object again hands out the same wrapper.
    EXPECT_EQ(VarToDispatch(Read(dispatch, u"Inner")), child);

    Variant missing = Read(dispatch, u"Missing");
    EXPECT_EQ(missing.VarType(), varDispatch);
    EXPECT_EQ(VarToDispatch(missing), nullptr);
}

TEST_F(DispatchTest, OwnedComponentByName)
{
    auto* first = new TScriptTarget(&target);
    first->SetName(u"First");
    auto* second = new TScriptTarget(&target);
    second->SetName(u"Second");
    second->SetCaption(u"second caption");
    second->GetInner()->SetDepth(3);

    Variant v = Read(dispatch, u"second");
    ASSERT_EQ(v.VarType(), varDispatch);
    IDispatch* child = VarToDispatch(v);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Read(*child, u"Caption").AsString(), u"second caption");
    IDispatch* grandChild = VarToDispatch(Read(*child, u"Inner"));
    ASSERT_NE(grandChild, nullptr);
    EXPECT_EQ(Read(*grandChild, u"Depth").AsInteger(), 3);
    EXPECT_EQ(Put(*child, IdOf(*child, u"Caption"), Variant(u"renamed")), S_OK);
    EXPECT_EQ(second->GetCaption(), u"renamed");
}

TEST_F(DispatchTest, ComponentGoneFromItsIndexIsAnException)
{
    auto* only = new TScriptTarget(&target);
    only->SetName(u"Only");
    DISPID id = IdOf(dispatch, u"Only");
    delete only;
    Variant v;
    EXCEPINFO info;
    EXPECT_EQ(Get(dispatch, id, v, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.SCode, E_FAIL);
}

TEST(VuzUdoectDispatch, LifetimeIsExplicit)
{
    bool destroyed = false;
    auto* owned = new TScriptTarget();
    owned->Destroyed = &destroyed;
    auto* wrapper = new TVuzUdoectDispatch(owned, true);
    {
        // Handing the wrapper around as an interface must not free it.
        Variant v(static_cast<IDispatch*>(wrapper), true);
        Variant copy = v;
        void* found = nullptr;
        ASSERT_EQ(wrapper->QueryInterface(IDispatch::IID, &found), S_OK);
        EXPECT_EQ(found, static_cast<IDispatch*>(wrapper));
        static_cast<IDispatch*>(found)->Release();
    }
    ASSERT_FALSE(destroyed);
    EXPECT_EQ(Read(*wrapper, u"Caption").AsString(), u"start");
    VarToDispatch(Read(*wrapper, u"Inner")); // leaves a child behind for the parent to free
    delete wrapper;
    EXPECT_TRUE(destroyed);

    bool kept = false;
    TScriptTarget notOwned;
    notOwned.Destroyed = &kept;
    delete new TVuzUdoectDispatch(&notOwned, false);
    EXPECT_FALSE(kept);
    notOwned.Destroyed = nullptr;
}

TEST(DispatchHostObject, PutPropertyReachesTheSetter)
{
    TScriptTarget target;
    TVuzUdoectDispatch dispatch(&target, false);
    auto host = std::make_shared<TDispatchHostObject>(&dispatch);
    webview::ICoreWebView2HostObject& object = *host;

    object.PutProperty(u"Caption", String(u"message from the page"));
    EXPECT_EQ(target.GetCaption(), u"message from the page");
    object.PutProperty(u"ratio", 0.25);
    EXPECT_EQ(target.GetRatio(), 0.25);
    object.PutProperty(u"Enabled", true);
    EXPECT_TRUE(target.GetEnabled());
    object.PutProperty(u"Caption", 42.0);
    EXPECT_EQ(target.GetCaption(), u"42");

    // Failures stay on this side.
    EXPECT_NO_THROW(object.PutProperty(u"NoSuchProperty", String(u"x")));
    EXPECT_NO_THROW(object.PutProperty(u"Broken", String(u"x")));
    EXPECT_NO_THROW(object.PutProperty(u"Caption", std::monostate {}));
    EXPECT_EQ(target.GetCaption(), u"42");
    host->Detach();
    EXPECT_NO_THROW(object.PutProperty(u"Caption", String(u"after detach")));
    EXPECT_EQ(target.GetCaption(), u"42");
}

// A page message whose handler frees the wrapper it came through (as a
// bridge that removes itself does) must not touch the freed wrapper.
TEST(DispatchHostObject, HandlerMayFreeTheWrapper)
{
    for (bool raise : { false, true }) {
        SCOPED_TRACE(raise);
        TScriptTarget target;
        auto* dispatch = new TVuzUdoectDispatch(&target, false);
        TDispatchHostObject host(dispatch);
        String received;
        target.OnFarewell = [&](const String& v) {
            received = v;
            host.Detach();
            delete dispatch;
            if (raise)
                throw EAbort(u"gone");
        };
        EXPECT_NO_THROW(host.PutProperty(u"Farewell", String(u"bye")));
        EXPECT_EQ(received, u"bye");
    }
}

} // namespace
