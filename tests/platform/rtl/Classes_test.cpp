#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

namespace {

std::vector<std::string>* g_log = nullptr;

void Log(const std::string& s)
{
    if (g_log)
        g_log->push_back(s);
}

std::string Name(TComponent* c)
{
    return c ? StringToUtf8(c->GetName()) : "nil";
}

// Records destruction and the notifications it hears.
class TProbe : public TComponent {
    QT_CLASS(TProbe, TComponent)
public:
    explicit TProbe(TComponent* AOwner = nullptr, const char* name = nullptr) : TComponent(AOwner)
    {
        if (name)
            SetName(S(name));
    }
    ~TProbe() override
    {
        Destroying();
        Log("~" + Name(this));
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (AComponent != this)
            Log(Name(this) + (Operation == opInsert ? " +" : " -") + Name(AComponent));
        if (Operation == opRemove && AComponent == Watched)
            Watched = nullptr;
    }
    TComponent* Watched { nullptr };
};
QT_PUBLISHED(TProbe)

class TShape : public TPersistent {
    QT_CLASS(TShape, TPersistent)
public:
    int Width { 0 };
    void Assign(TPersistent* Source) override
    {
        if (auto* s = dynamic_cast<TShape*>(Source))
            Width = s->Width;
        else
            TPersistent::Assign(Source);
    }
};
QT_PUBLISHED(TShape)

class TSquare : public TShape {
    QT_CLASS(TSquare, TShape)
};
QT_PUBLISHED(TSquare)

class TOther : public TPersistent {
    QT_CLASS(TOther, TPersistent)
};
QT_PUBLISHED(TOther)

struct LogScope {
    std::vector<std::string> lines;
    LogScope() { g_log = &lines; }
    ~LogScope() { g_log = nullptr; }
};

} // namespace

TEST(Object, ClassInformationFollowsTheDeclaredChain)
{
    TSquare sq;
    EXPECT_EQ(sq.ClassName(), u"TSquare");
    EXPECT_EQ(sq.ClassParent(), TShape::StaticClassInfo());
    EXPECT_TRUE(sq.InheritsFrom(TPersistent::StaticClassInfo()));
    EXPECT_TRUE(sq.InheritsFrom(TObject::StaticClassInfo()));
    EXPECT_FALSE(sq.InheritsFrom(TOther::StaticClassInfo()));
    TObject* asBase = &sq;
    EXPECT_EQ(asBase->ClassType(), TSquare::StaticClassInfo());
    EXPECT_TRUE(asBase->Is<TShape>());
    EXPECT_TRUE(asBase->ClassNameIs(u"tsquare"));
    EXPECT_FALSE(asBase->ClassNameIs(u"TShape"));
    EXPECT_EQ(TObject::StaticClassInfo()->Parent, nullptr);
}

TEST(Persistent, AssignCopiesKnownPairsAndNamesBothClassesOtherwise)
{
    TShape a, b;
    a.Width = 7;
    b.Assign(&a);
    EXPECT_EQ(b.Width, 7);

    TOther other;
    struct Case {
        TPersistent* dest;
        TPersistent* source;
        const char* message;
    };
    const Case cases[] = {
        { &b, &other, "Cannot assign a TOther to a TShape" },
        { &other, &a, "Cannot assign a TShape to a TOther" },
        { &b, nullptr, "Cannot assign a nil to a TShape" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            c.dest->Assign(c.source);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(StringToUtf8(e.Message), c.message);
        }
    }
}

// ---- interfaces ----

namespace {

class IGreeter : public virtual IInterface {
public:
    QT_INTERFACE_ID("{363F04AF-B8A7-4C47-A2D6-8ED9C44CEFF6}");
    virtual String Greet() = 0;
};

class IUnused : public virtual IInterface {
public:
    QT_INTERFACE_ID("{11B625F8-447A-4AE5-BB88-5ECDEA979AF7}");
};

class TGreeter : public TInterfacedObject, public IGreeter {
    QT_CLASS(TGreeter, TInterfacedObject)
    QT_INTERFACES(IGreeter)
public:
    explicit TGreeter(bool* destroyed) : m_destroyed(destroyed) { }
    ~TGreeter() override { *m_destroyed = true; }
    String Greet() override { return u"hi"; }

private:
    bool* m_destroyed;
};
QT_PUBLISHED(TGreeter)

class TGreeterComponent : public TComponent, public IGreeter {
    QT_CLASS(TGreeterComponent, TComponent)
    QT_INTERFACES(IGreeter)
public:
    using TComponent::TComponent;
    String Greet() override { return u"component"; }
};
QT_PUBLISHED(TGreeterComponent)

} // namespace

TEST(Interfaces, GuidTextRoundTrips)
{
    constexpr TGUID g = TGUID::Parse("{91DEAFC3-8932-45F4-A3ED-5AAA0C0E9250}");
    EXPECT_EQ(g.D1, 0x91DEAFC3u);
    EXPECT_EQ(g.D4[7], 0x50);
    EXPECT_EQ(g.ToString(), u"{91DEAFC3-8932-45F4-A3ED-5AAA0C0E9250}");
    EXPECT_THROW(TGUID::Parse("{91DEAFC3-8932-45F4-A3ED-5AAA0C0E925}"), EConvertError);
    EXPECT_THROW(TGUID::Parse("{91DEAFC3-8932-45F4-A3ED-5AAA0C0E925G}"), EConvertError);
}

TEST(Interfaces, LastReleaseDeletesAndQueryInterfaceCounts)
{
    bool destroyed = false;
    {
        TComPtr<IGreeter> outer;
        {
            TComPtr<TGreeter> obj(new TGreeter(&destroyed));
            EXPECT_EQ(obj->GetRefCount(), 1);
            void* raw = nullptr;
            ASSERT_EQ(obj->QueryInterface(IGreeter::IID, &raw), 0); // S_OK
            outer = TComPtr<IGreeter>::Adopt(static_cast<IGreeter*>(raw));
            EXPECT_EQ(obj->GetRefCount(), 2);
            EXPECT_EQ(obj->QueryInterface(IUnused::IID, &raw), E_NOINTERFACE);
            EXPECT_EQ(raw, nullptr);
            EXPECT_EQ(obj->GetRefCount(), 2);
            TComPtr<TGreeter> copy = obj;
            TComPtr<TGreeter> moved = std::move(copy);
            EXPECT_EQ(obj->GetRefCount(), 3);
        }
        EXPECT_FALSE(destroyed);
        EXPECT_EQ(outer->Greet(), u"hi");
    }
    EXPECT_TRUE(destroyed);
}

TEST(Interfaces, ComponentsOfferInterfacesWithoutCounting)
{
    auto* c = new TGreeterComponent(nullptr);
    std::unique_ptr<TComponent> owner(c);
    EXPECT_EQ(Supports<IGreeter>(c)->Greet(), u"component");
    void* raw = nullptr;
    EXPECT_TRUE(Supports(c, IGreeter::IID, &raw));
    EXPECT_FALSE(Supports(c, IUnused::IID));
    {
        TComPtr<IGreeter> p(static_cast<IGreeter*>(raw));
    } // releasing must not delete a component
    EXPECT_EQ(c->ClassName(), u"TGreeterComponent");
    TShape plain;
    EXPECT_EQ(Supports<IGreeter>(&plain), nullptr);
}

// ---- components ----

TEST(Component, OwnerDeletesComponentsLastInsertedFirst)
{
    LogScope log;
    {
        TProbe owner(nullptr, "Owner");
        new TProbe(&owner, "A");
        auto* b = new TProbe(&owner, "B");
        new TProbe(b, "B1");
        new TProbe(&owner, "C");
        EXPECT_EQ(owner.GetComponentCount(), 3);
        log.lines.clear();
    }
    // Each probe logs in its own destructor, before the base deletes its components.
    const std::vector<std::string> expected = { "~Owner", "~C", "~B", "~B1", "~A" };
    EXPECT_EQ(log.lines, expected);
}

TEST(Component, InsertAndRemoveNotifyTheOwnerAndItsComponentsLastFirst)
{
    LogScope log;
    TProbe owner(nullptr, "Owner");
    new TProbe(&owner, "A");
    new TProbe(&owner, "B");
    log.lines.clear();
    auto* c = new TProbe(nullptr, "C");
    owner.InsertComponent(c);
    std::vector<std::string> expected = { "B +C", "A +C", "Owner +C" };
    EXPECT_EQ(log.lines, expected);
    log.lines.clear();
    owner.RemoveComponent(c);
    expected = { "B -C", "A -C", "Owner -C" };
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(c->GetOwner(), nullptr);
    delete c;
}

TEST(Component, FreeNotificationAcrossOwnersLeavesNoDanglingLinks)
{
    LogScope log;
    // Target goes first: the watcher hears it and forgets it.
    {
        TProbe formA(nullptr, "FormA"), formB(nullptr, "FormB");
        auto* watcher = new TProbe(&formA, "Watcher");
        auto* target = new TProbe(&formB, "Target");
        watcher->Watched = target;
        target->FreeNotification(watcher);
        EXPECT_TRUE(target->GetComponentState().Contains(csFreeNotification));
        delete target;
        EXPECT_EQ(watcher->Watched, nullptr);
    }
    // Watcher goes first: the target must not call it later (ASan checks).
    {
        TProbe formA(nullptr, "FormA"), formB(nullptr, "FormB");
        auto* watcher = new TProbe(&formA, "Watcher");
        auto* target = new TProbe(&formB, "Target");
        target->FreeNotification(watcher);
        delete watcher;
        log.lines.clear();
        delete target;
        for (const auto& l : log.lines)
            EXPECT_EQ(l.find("Watcher"), std::string::npos) << l;
    }
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwnerIgnoringCase)
{
    TComponent owner;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName(u"Button1");
    struct Case {
        const char* name;
        const char* error; // nullptr: accepted
    };
    const Case cases[] = {
        { "_x9", nullptr },
        { "", nullptr },
        { "1abc", "'1abc' is not a valid component name" },
        { "Button 2", "'Button 2' is not a valid component name" },
        { "a-b", "'a-b' is not a valid component name" },
        { "BUTTON1", "A component named BUTTON1 already exists" },
        { "Knopf\xC3\xA9", nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            b->SetName(S(c.name));
            EXPECT_EQ(c.error, nullptr);
            EXPECT_EQ(b->GetName(), S(c.name));
        } catch (const EComponentError& e) {
            ASSERT_NE(c.error, nullptr) << StringToUtf8(e.Message);
            EXPECT_EQ(StringToUtf8(e.Message), c.error);
        }
    }
    a->SetName(u"BUTTON1"); // a case-only rename of itself
    EXPECT_EQ(owner.FindComponent(u"button1"), a);
    EXPECT_EQ(owner.FindComponent(u""), nullptr);
    // A component keeps its name when it moves to an owner that has it already.
    TComponent other;
    auto* clash = new TComponent(&other);
    clash->SetName(u"Button1");
    EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
    EXPECT_EQ(clash->GetOwner(), &other);
}

TEST(Component, IndexesAndOwnerChanges)
{
    TComponent owner, other;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    auto* c = new TComponent(&owner);
    c->SetComponentIndex(0);
    EXPECT_EQ(owner.GetComponent(0), c);
    EXPECT_EQ(a->GetComponentIndex(), 1);
    b->SetComponentIndex(99); // clamped to the end
    EXPECT_EQ(owner.GetComponent(2), b);
    try {
        owner.GetComponent(3);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, u"List index out of bounds (3)");
    }
    other.InsertComponent(a);
    EXPECT_EQ(a->GetOwner(), &other);
    EXPECT_EQ(owner.GetComponentCount(), 2);
    EXPECT_THROW(a->InsertComponent(&other), EComponentError); // would own its owner
}

TEST(Component, StateFlags)
{
    LogScope log;
    TComponent owner;
    auto* child = new TComponent(&owner);
    owner.IncludeComponentState(csLoading);
    EXPECT_TRUE(owner.GetComponentState().Contains(csLoading));
    owner.Loaded();
    EXPECT_FALSE(owner.GetComponentState().Contains(csLoading));
    owner.SetDesigning(true);
    EXPECT_TRUE(child->GetComponentState().Contains(csDesigning));
    owner.Destroying();
    EXPECT_TRUE(child->GetComponentState().Contains(csDestroying));
}
