#pragma once
// Run-time type information: per class its name, parent, factory, published
// properties and published methods; type descriptions for property values;
// generic property access by name; the process-wide class registry.
//
// A class declares its class information with QT_CLASS(TFoo, TParent) inside
// the class and defines it in one place with
//     QT_PUBLISHED(TFoo, QT_PROP(Width), QT_PROP_T(Color, u"TColor"), QT_EVENT(OnClick))
// where QT_PROP(X) binds the members GetX/SetX. QT_PUBLISHED stands in the
// class's own namespace (the class name is the unqualified name). Enumerations
// used by properties describe their names once, next to the enumeration, with
// QT_ENUM(TAlign, alNone, alTop, ...).

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"

class TObject;
class TComponent;
class TCollection;
struct TClassInfo;

using TClass = const TClassInfo*;

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkWChar,
    tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray, tkUString,
    tkClassRef, tkPointer, tkProcedure, tkMRecord
};

// The type of a property value.
struct TTypeInfo {
    TTypeKind Kind { tkUnknown };
    String Name;
    // Enumerations: value names by ordinal, from MinValue up. BaseType is the
    // type the enumeration was declared as (Boolean's base is Boolean itself;
    // a renamed Boolean keeps Boolean as its base).
    const TTypeInfo* BaseType { nullptr };
    std::int64_t MinValue { 0 };
    std::int64_t MaxValue { 0 };
    std::vector<String> EnumNames;
    // Sets: the element type.
    const TTypeInfo* CompType { nullptr };
    // Class-typed values: the declared class.
    TClass ClassType { nullptr };

    const TTypeInfo* GetBaseType() const { return BaseType ? BaseType : this; }
    bool IsBoolean() const;
};

// A reference to a published method of an object (an event handler).
struct TMethodInfo;
struct TMethod {
    TObject* Data { nullptr };
    const TMethodInfo* Code { nullptr };
    // True also for handlers that are not published methods (plain lambdas);
    // those have no Data/Code.
    bool Assigned { false };
};

struct TMethodInfo {
    String Name;
    TClass Owner { nullptr };
    // std::function<R(TObject*, Args...)> calling the member on its object.
    std::any Invoker;
};

struct TPropInfo {
    String Name;
    const TTypeInfo* PropType { nullptr };
    TClass Owner { nullptr };
    // Accessors for the storage class of PropType->Kind: ordinal kinds
    // (integer, char, enumeration, set, int64), float, string, class, method.
    std::function<std::int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<String(TObject*)> GetStr;
    std::function<void(TObject*, const String&)> SetStr;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    std::function<TMethod(TObject*)> GetMethod;
    std::function<void(TObject*, const TMethod&)> SetMethod;
    // Keeps a renamed copy of a shared type description alive.
    std::shared_ptr<const TTypeInfo> OwnedType;

    bool HasGetter() const { return GetOrd || GetFloat || GetStr || GetObj || GetMethod; }
    bool HasSetter() const { return SetOrd || SetFloat || SetStr || SetObj || SetMethod; }
};

// One entry of a QT_PUBLISHED list: a property or a method.
struct TPublishedEntry {
    TPublishedEntry(TPropInfo p) : Prop(std::move(p)) { }
    TPublishedEntry(TMethodInfo m) : Method(std::move(m)) { }
    std::optional<TPropInfo> Prop;
    std::optional<TMethodInfo> Method;
};

// Constructs an object of the class; the argument is the owner of a
// component or the collection of a collection item, ignored otherwise.
using TObjectFactory = TObject* (*)(TObject* ownerOrCollection);

struct TClassInfo {
    TClassInfo(String name, TClass parent, TObjectFactory factory, std::initializer_list<TPublishedEntry> published = {});
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    String Name;
    TClass Parent { nullptr };
    TObjectFactory Factory { nullptr };
    std::vector<TPropInfo> Properties; // this class's own, in declaration order
    std::vector<TMethodInfo> Methods;  // this class's own

    bool InheritsFrom(TClass ancestor) const;
    // Runs the class's constructor; raises EAbstractError when the class has none.
    TObject* Create(TObject* ownerOrCollection = nullptr) const;
};

// ---- type descriptions of value types ----

const TTypeInfo* BooleanTypeInfo();
const TTypeInfo* OrdinalTypeInfo(TTypeKind kind, const char16_t* name);
// Enumerations: built from "a, b, c" (the stringified QT_ENUM list) and the values.
std::shared_ptr<const TTypeInfo> MakeEnumTypeInfo(const char16_t* name, const char* names, const std::vector<std::int64_t>& values);
template<class E>
std::vector<std::int64_t> EnumOrdinals(std::initializer_list<E> values)
{
    std::vector<std::int64_t> r;
    for (E e : values)
        r.push_back(static_cast<std::int64_t>(e));
    return r;
}
std::shared_ptr<const TTypeInfo> MakeSetTypeInfo(const TTypeInfo* element);
std::shared_ptr<const TTypeInfo> MakeClassTypeInfo(TClass cls);

#define QT_ENUM(Enum, ...)                                                                          \
    [[maybe_unused]] inline const TTypeInfo* QtTypeInfo(Enum*)                                       \
    {                                                                                              \
        using enum Enum;                                                                           \
        static const auto info = MakeEnumTypeInfo(u"" #Enum, #__VA_ARGS__, EnumOrdinals<Enum>({ __VA_ARGS__ }));        \
        return info.get();                                                                         \
    }

// Renames a type description (e.g. an Integer published as "TColor").
std::shared_ptr<const TTypeInfo> RenamedTypeInfo(const TTypeInfo* base, const String& name);

namespace rtti {

template<class F>
struct FunctionSignature;
template<class R, class... A>
struct FunctionSignature<std::function<R(A...)>> {
    using Result = R;
    using Invoker = std::function<R(TObject*, A...)>;
};

template<class T>
struct IsSet : std::false_type { };
template<class E>
struct IsSet<Set<E>> : std::true_type { };

template<class V>
const TTypeInfo* TypeInfoOf()
{
    if constexpr (std::is_same_v<V, bool>)
        return BooleanTypeInfo();
    else if constexpr (std::is_enum_v<V>)
        return QtTypeInfo(static_cast<V*>(nullptr));
    else if constexpr (IsSet<V>::value) {
        static const auto info = MakeSetTypeInfo(TypeInfoOf<typename V::Element>());
        return info.get();
    } else if constexpr (std::is_same_v<V, char16_t>)
        return OrdinalTypeInfo(tkWChar, u"Char");
    else if constexpr (std::is_same_v<V, char>)
        return OrdinalTypeInfo(tkChar, u"AnsiChar");
    else if constexpr (std::is_integral_v<V> && sizeof(V) == 8)
        return OrdinalTypeInfo(tkInt64, std::is_signed_v<V> ? u"Int64" : u"UInt64");
    else if constexpr (std::is_integral_v<V> && sizeof(V) == 4)
        return OrdinalTypeInfo(tkInteger, std::is_signed_v<V> ? u"Integer" : u"Cardinal");
    else if constexpr (std::is_integral_v<V> && sizeof(V) == 2)
        return OrdinalTypeInfo(tkInteger, std::is_signed_v<V> ? u"SmallInt" : u"Word");
    else if constexpr (std::is_integral_v<V> && sizeof(V) == 1)
        return OrdinalTypeInfo(tkInteger, std::is_signed_v<V> ? u"ShortInt" : u"Byte");
    else if constexpr (std::is_same_v<V, float>)
        return OrdinalTypeInfo(tkFloat, u"Single");
    else if constexpr (std::is_same_v<V, double>)
        return OrdinalTypeInfo(tkFloat, u"Double");
    else if constexpr (std::is_same_v<V, String>)
        return OrdinalTypeInfo(tkUString, u"string");
    else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<V>>>) {
        static const auto info = MakeClassTypeInfo(std::remove_cv_t<std::remove_pointer_t<V>>::StaticClassInfo());
        return info.get();
    } else
        static_assert(sizeof(V) == 0, "no run-time type information for this property type");
}

template<class C>
C* As(TObject* obj) { return static_cast<C*>(obj); }

// Builds the property entry for a getter/setter pair of class C. The value
// type comes from the getter; `typeName`, when given, renames it.
template<class C, class G, class S>
TPropInfo MakeProp(const char16_t* name, G getter, S setter, const char16_t* typeName = nullptr)
{
    using V = std::remove_cvref_t<std::invoke_result_t<G, C*>>;
    constexpr bool hasSetter = !std::is_same_v<S, std::nullptr_t>;
    TPropInfo p;
    p.Name = name;
    p.PropType = TypeInfoOf<V>();
    if (typeName) {
        p.OwnedType = RenamedTypeInfo(p.PropType, typeName);
        p.PropType = p.OwnedType.get();
    }
    if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V> || std::is_integral_v<V>) {
        p.GetOrd = [getter](TObject* o) { return static_cast<std::int64_t>((As<C>(o)->*getter)()); };
        if constexpr (hasSetter)
            p.SetOrd = [setter](TObject* o, std::int64_t v) {
                if constexpr (std::is_same_v<V, bool>)
                    (As<C>(o)->*setter)(v != 0);
                else
                    (As<C>(o)->*setter)(static_cast<V>(v));
            };
    } else if constexpr (IsSet<V>::value) {
        p.GetOrd = [getter](TObject* o) { return static_cast<std::int64_t>((As<C>(o)->*getter)().Bits()); };
        if constexpr (hasSetter)
            p.SetOrd = [setter](TObject* o, std::int64_t v) { (As<C>(o)->*setter)(V::FromBits(static_cast<std::uint64_t>(v))); };
    } else if constexpr (std::is_floating_point_v<V>) {
        p.GetFloat = [getter](TObject* o) { return static_cast<double>((As<C>(o)->*getter)()); };
        if constexpr (hasSetter)
            p.SetFloat = [setter](TObject* o, double v) { (As<C>(o)->*setter)(static_cast<V>(v)); };
    } else if constexpr (std::is_same_v<V, String>) {
        p.GetStr = [getter](TObject* o) { return String((As<C>(o)->*getter)()); };
        if constexpr (hasSetter)
            p.SetStr = [setter](TObject* o, const String& v) { (As<C>(o)->*setter)(v); };
    } else if constexpr (std::is_pointer_v<V>) {
        using Target = std::remove_cv_t<std::remove_pointer_t<V>>;
        p.GetObj = [getter](TObject* o) -> TObject* { return const_cast<Target*>((As<C>(o)->*getter)()); };
        if constexpr (hasSetter)
            p.SetObj = [setter](TObject* o, TObject* v) {
                Target* t = v ? dynamic_cast<Target*>(v) : nullptr;
                if (v && !t)
                    throw EInvalidCast(u"Invalid class typecast");
                (As<C>(o)->*setter)(t);
            };
    }
    return p;
}

// Published method: R (C::*)(Args...) becomes an invoker on any object of C.
template<class C, class R, class... A>
TMethodInfo MakeMethod(const char16_t* name, R (C::*method)(A...))
{
    TMethodInfo m;
    m.Name = name;
    m.Invoker = std::function<R(TObject*, A...)>([method](TObject* o, A... args) -> R {
        return (As<C>(o)->*method)(std::forward<A>(args)...);
    });
    return m;
}

// The callable stored in an event when it is bound to a published method;
// it remembers object and method so the binding can be read back.
template<class F>
struct MethodHandler;
template<class R, class... A>
struct MethodHandler<std::function<R(A...)>> {
    TObject* Data { nullptr };
    const TMethodInfo* Code { nullptr };
    const std::function<R(TObject*, A...)>* Call { nullptr };
    R operator()(A... args) const { return (*Call)(Data, std::forward<A>(args)...); }
};

[[noreturn]] void RaiseIncompatibleMethod(const TMethod& m, const String& propName);

const TTypeInfo* MethodTypeInfo();

template<class C, class F>
TPropInfo MakeEvent(const char16_t* name, F C::*member, const char16_t* typeName = nullptr)
{
    using Handler = MethodHandler<F>;
    using Invoker = typename FunctionSignature<F>::Invoker;
    TPropInfo p;
    p.Name = name;
    p.PropType = MethodTypeInfo();
    if (typeName) {
        p.OwnedType = RenamedTypeInfo(p.PropType, typeName);
        p.PropType = p.OwnedType.get();
    }
    p.GetMethod = [member](TObject* o) {
        const F& f = As<C>(o)->*member;
        TMethod m;
        m.Assigned = static_cast<bool>(f);
        if (const Handler* h = f.template target<Handler>()) {
            m.Data = h->Data;
            m.Code = h->Code;
        }
        return m;
    };
    p.SetMethod = [member, name](TObject* o, const TMethod& m) {
        F& f = As<C>(o)->*member;
        if (!m.Data || !m.Code) {
            f = nullptr;
            return;
        }
        const Invoker* call = std::any_cast<Invoker>(&m.Code->Invoker);
        if (!call)
            RaiseIncompatibleMethod(m, name);
        f = Handler { m.Data, m.Code, call };
    };
    return p;
}

TObject* ConstructComponent(TObject* (*make)(TComponent*), TObject* owner);
TObject* ConstructItem(TObject* (*make)(TCollection*), TObject* collection);

template<class T>
TObjectFactory FactoryFor()
{
    if constexpr (std::is_abstract_v<T>)
        return nullptr;
    else if constexpr (std::is_constructible_v<T, TComponent*>)
        return [](TObject* arg) -> TObject* {
            return ConstructComponent([](TComponent* owner) -> TObject* { return new T(owner); }, arg);
        };
    else if constexpr (std::is_constructible_v<T, TCollection*>)
        return [](TObject* arg) -> TObject* {
            return ConstructItem([](TCollection* c) -> TObject* { return new T(c); }, arg);
        };
    else if constexpr (std::is_default_constructible_v<T>)
        return [](TObject*) -> TObject* { return new T(); };
    else
        return nullptr;
}

} // namespace rtti

// Inside a class: declares its class information.
#define QT_CLASS(Class, Parent)                                                 \
public:                                                                         \
    using Inherited = Parent;                                                   \
    static TClass StaticClassInfo();                                            \
    TClass ClassType() const override { return StaticClassInfo(); }            \
                                                                                \
private:

// At namespace scope (one translation unit): defines the class information
// with the published properties and methods.
#define QT_PUBLISHED(Class, ...)                                                               \
    TClass Class::StaticClassInfo()                                                            \
    {                                                                                          \
        using Self [[maybe_unused]] = Class;                                                                 \
        static const TClassInfo info(u"" #Class, Inherited::StaticClassInfo(),                  \
            ::rtti::FactoryFor<Class>(), { __VA_ARGS__ });                                      \
        return &info;                                                                          \
    }

#define QT_PROP(Name) ::rtti::MakeProp<Self>(u"" #Name, &Self::Get##Name, &Self::Set##Name)
#define QT_PROP_RO(Name) ::rtti::MakeProp<Self>(u"" #Name, &Self::Get##Name, nullptr)
#define QT_PROP_T(Name, TypeName) ::rtti::MakeProp<Self>(u"" #Name, &Self::Get##Name, &Self::Set##Name, TypeName)
#define QT_PROP_RO_T(Name, TypeName) ::rtti::MakeProp<Self>(u"" #Name, &Self::Get##Name, nullptr, TypeName)
#define QT_EVENT(Name) ::rtti::MakeEvent<Self>(u"" #Name, &Self::Name)
#define QT_EVENT_T(Name, TypeName) ::rtti::MakeEvent<Self>(u"" #Name, &Self::Name, TypeName)
#define QT_METHOD(Name) ::rtti::MakeMethod<Self>(u"" #Name, &Self::Name)

// ---- property access ----

using PPropInfo = const TPropInfo*;
using TPropList = std::vector<PPropInfo>;

// All published properties of the class and its ancestors, ancestors first,
// each class in declaration order; sorted by name (ASCII letters without case)
// when `sorted`. A property republished by a descendant keeps its place.
TPropList GetPropList(TClass cls, bool sorted = false);
TPropList GetPropList(const TObject* obj, bool sorted = false);
// Found by name ignoring case; nullptr when there is none.
PPropInfo GetPropInfo(TClass cls, StringView name);
PPropInfo GetPropInfo(const TObject* obj, StringView name);
bool IsPublishedProp(const TObject* obj, StringView name);
TTypeKind PropType(const TObject* obj, StringView name);

std::int64_t GetOrdProp(TObject* obj, PPropInfo prop);
void SetOrdProp(TObject* obj, PPropInfo prop, std::int64_t value);
std::int64_t GetInt64Prop(TObject* obj, PPropInfo prop);
void SetInt64Prop(TObject* obj, PPropInfo prop, std::int64_t value);
double GetFloatProp(TObject* obj, PPropInfo prop);
void SetFloatProp(TObject* obj, PPropInfo prop, double value);
String GetStrProp(TObject* obj, PPropInfo prop);
void SetStrProp(TObject* obj, PPropInfo prop, const String& value);
TObject* GetObjectProp(TObject* obj, PPropInfo prop);
void SetObjectProp(TObject* obj, PPropInfo prop, TObject* value);
TMethod GetMethodProp(TObject* obj, PPropInfo prop);
void SetMethodProp(TObject* obj, PPropInfo prop, const TMethod& value);
// Enumeration properties by value name; set properties as "a,b" (brackets
// optional on input).
String GetEnumProp(TObject* obj, PPropInfo prop);
void SetEnumProp(TObject* obj, PPropInfo prop, const String& value);
String GetSetProp(TObject* obj, PPropInfo prop, bool brackets = false);
void SetSetProp(TObject* obj, PPropInfo prop, const String& value);

// The same by property name; an unknown name raises EPropertyError.
std::int64_t GetOrdProp(TObject* obj, StringView name);
void SetOrdProp(TObject* obj, StringView name, std::int64_t value);
std::int64_t GetInt64Prop(TObject* obj, StringView name);
void SetInt64Prop(TObject* obj, StringView name, std::int64_t value);
double GetFloatProp(TObject* obj, StringView name);
void SetFloatProp(TObject* obj, StringView name, double value);
String GetStrProp(TObject* obj, StringView name);
void SetStrProp(TObject* obj, StringView name, const String& value);
TObject* GetObjectProp(TObject* obj, StringView name);
void SetObjectProp(TObject* obj, StringView name, TObject* value);
TMethod GetMethodProp(TObject* obj, StringView name);
void SetMethodProp(TObject* obj, StringView name, const TMethod& value);
String GetEnumProp(TObject* obj, StringView name);
void SetEnumProp(TObject* obj, StringView name, const String& value);
String GetSetProp(TObject* obj, StringView name, bool brackets = false);
void SetSetProp(TObject* obj, StringView name, const String& value);

// Enumeration names: empty for a value outside the type; -1 for an unknown
// name (compared ignoring case).
String GetEnumName(const TTypeInfo* type, std::int64_t value);
std::int64_t GetEnumValue(const TTypeInfo* type, StringView name);
String SetToString(const TTypeInfo* setType, std::int64_t bits, bool brackets = false);
std::int64_t StringToSet(const TTypeInfo* setType, StringView text);
// The declared class of a class-typed property; nullptr for other kinds.
TClass GetObjectPropClass(PPropInfo prop);

// Published methods, looked up along the class chain ignoring case.
const TMethodInfo* MethodAddress(TClass cls, StringView name);
// The name of `code` when it is published by `cls` or an ancestor; else empty.
String MethodName(TClass cls, const TMethodInfo* code);
// A method of `obj` as an event value; Data/Code are empty when `obj`'s
// class publishes no method of that name.
TMethod FindMethod(TObject* obj, StringView name);

// ---- the class registry ----

// Registering the same class twice is harmless; another class under a name
// already taken raises EFilerError.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// By name ignoring case: GetClass gives nullptr, FindClass raises EClassNotFound.
TClass GetClass(StringView name);
TClass FindClass(StringView name);

QT_DECLARE_EXCEPTION(EFilerError, EStreamError);
