#include "platform/rtl/TypInfo.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/rtl/Classes.h"

namespace {

String Lower(StringView s)
{
    return StrLower(s);
}

// ASCII letters folded, everything else compared as is: the order property
// lists are sorted in.
String AsciiFolded(StringView s)
{
    String r(s);
    for (Char& c : r)
        c = AsciiLower(c);
    return r;
}

String IntText(long long v)
{
    return S(std::to_string(v));
}

String Trimmed(StringView s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] <= u' ')
        ++b;
    while (e > b && s[e - 1] <= u' ')
        --e;
    return String(s.substr(b, e - b));
}

} // namespace

// ---- TClassInfo ----

TClassInfo::TClassInfo(String name, TClass parent, TObjectFactory factory, std::initializer_list<TPublishedEntry> published)
    : Name(std::move(name))
    , Parent(parent)
    , Factory(factory)
{
    for (const auto& e : published) {
        if (e.Prop) {
            Properties.push_back(*e.Prop);
            Properties.back().Owner = this;
        }
        if (e.Method) {
            Methods.push_back(*e.Method);
            Methods.back().Owner = this;
        }
    }
}

bool TClassInfo::InheritsFrom(TClass ancestor) const
{
    for (TClass c = this; c; c = c->Parent)
        if (c == ancestor)
            return true;
    return false;
}

TObject* TClassInfo::Create(TObject* ownerOrCollection) const
{
    if (!Factory)
        throw EAbstractError(u"Cannot create an instance of the abstract class " + Name);
    return Factory(ownerOrCollection);
}

// ---- type descriptions ----

bool TTypeInfo::IsBoolean() const
{
    return Kind == tkEnumeration && GetBaseType() == BooleanTypeInfo();
}

const TTypeInfo* BooleanTypeInfo()
{
    static const TTypeInfo info = [] {
        TTypeInfo t;
        t.Kind = tkEnumeration;
        t.Name = u"Boolean";
        t.MinValue = 0;
        t.MaxValue = 1;
        t.EnumNames = { u"False", u"True" };
        return t;
    }();
    return &info;
}

const TTypeInfo* OrdinalTypeInfo(TTypeKind kind, const char16_t* name)
{
    static std::mutex lock;
    static std::map<std::pair<int, String>, std::unique_ptr<TTypeInfo>> types;
    std::lock_guard guard(lock);
    auto& slot = types[{ int(kind), String(name) }];
    if (!slot) {
        slot = std::make_unique<TTypeInfo>();
        slot->Kind = kind;
        slot->Name = name;
    }
    return slot.get();
}

const TTypeInfo* rtti::MethodTypeInfo()
{
    return OrdinalTypeInfo(tkMethod, u"TNotifyEvent");
}

std::shared_ptr<const TTypeInfo> MakeEnumTypeInfo(const char16_t* name, const char* names, const std::vector<std::int64_t>& values)
{
    auto t = std::make_shared<TTypeInfo>();
    t->Kind = tkEnumeration;
    t->Name = name;
    std::vector<String> split;
    String all = S(names);
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t comma = all.find(u',', start);
        if (comma == String::npos)
            comma = all.size();
        String item = Trimmed(StringView(all).substr(start, comma - start));
        if (!item.empty())
            split.push_back(item);
        start = comma + 1;
    }
    // Values are taken as declared; the table covers MinValue..MaxValue with
    // empty names for gaps.
    std::int64_t lo = 0, hi = -1;
    bool first = true;
    for (auto v : values) {
        lo = first ? v : std::min(lo, v);
        hi = first ? v : std::max(hi, v);
        first = false;
    }
    t->MinValue = lo;
    t->MaxValue = hi;
    t->EnumNames.assign(std::size_t(hi - lo + 1), String());
    std::size_t i = 0;
    for (auto v : values) {
        if (i < split.size())
            t->EnumNames[std::size_t(v - lo)] = split[i];
        ++i;
    }
    return t;
}

std::shared_ptr<const TTypeInfo> MakeSetTypeInfo(const TTypeInfo* element)
{
    auto t = std::make_shared<TTypeInfo>();
    t->Kind = tkSet;
    t->Name = u"set of " + element->Name;
    t->CompType = element;
    return t;
}

std::shared_ptr<const TTypeInfo> MakeClassTypeInfo(TClass cls)
{
    auto t = std::make_shared<TTypeInfo>();
    t->Kind = tkClass;
    t->Name = cls->Name;
    t->ClassType = cls;
    return t;
}

std::shared_ptr<const TTypeInfo> RenamedTypeInfo(const TTypeInfo* base, const String& name)
{
    auto t = std::make_shared<TTypeInfo>(*base);
    t->Name = name;
    t->BaseType = base->GetBaseType();
    return t;
}

void rtti::RaiseIncompatibleMethod(const TMethod& m, const String& propName)
{
    throw EPropertyError(u"Method " + (m.Code ? m.Code->Name : String()) + u" is incompatible with property " + propName);
}

// ---- property lists ----

TPropList GetPropList(TClass cls, bool sorted)
{
    std::vector<TClass> chain;
    for (TClass c = cls; c; c = c->Parent)
        chain.push_back(c);
    TPropList list;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const TPropInfo& p : (*it)->Properties) {
            auto same = std::find_if(list.begin(), list.end(), [&](PPropInfo q) { return Lower(q->Name) == Lower(p.Name); });
            if (same != list.end())
                *same = &p;
            else
                list.push_back(&p);
        }
    }
    if (sorted)
        std::stable_sort(list.begin(), list.end(), [](PPropInfo a, PPropInfo b) { return AsciiFolded(a->Name) < AsciiFolded(b->Name); });
    return list;
}

TPropList GetPropList(const TObject* obj, bool sorted)
{
    return obj ? GetPropList(obj->ClassType(), sorted) : TPropList();
}

PPropInfo GetPropInfo(TClass cls, StringView name)
{
    String key = Lower(name);
    for (TClass c = cls; c; c = c->Parent)
        for (const TPropInfo& p : c->Properties)
            if (Lower(p.Name) == key)
                return &p;
    return nullptr;
}

PPropInfo GetPropInfo(const TObject* obj, StringView name)
{
    return obj ? GetPropInfo(obj->ClassType(), name) : nullptr;
}

bool IsPublishedProp(const TObject* obj, StringView name)
{
    return GetPropInfo(obj, name) != nullptr;
}

static PPropInfo RequireProp(const TObject* obj, StringView name)
{
    PPropInfo p = GetPropInfo(obj, name);
    if (!p)
        throw EPropertyError(u"Property " + String(name) + u" does not exist");
    return p;
}

TTypeKind PropType(const TObject* obj, StringView name)
{
    return RequireProp(obj, name)->PropType->Kind;
}

// ---- accessors ----

namespace {

void CheckTarget(TObject* obj, PPropInfo prop)
{
    if (!obj || !prop)
        throw EPropertyError(u"Invalid property access");
    if (prop->Owner && !obj->InheritsFrom(prop->Owner))
        throw EPropertyError(u"Property " + prop->Name + u" does not belong to class " + obj->ClassName());
}

[[noreturn]] void RaiseWrongType(PPropInfo prop)
{
    throw EPropertyError(u"Invalid property type: " + prop->PropType->Name);
}

template<class Fn>
const Fn& Getter(TObject* obj, PPropInfo prop, const Fn& fn, bool kindOk)
{
    CheckTarget(obj, prop);
    if (!kindOk)
        RaiseWrongType(prop);
    if (!fn)
        throw EPropertyError(u"Property " + prop->Name + u" is write-only");
    return fn;
}

template<class Fn>
const Fn& Setter(TObject* obj, PPropInfo prop, const Fn& fn, bool kindOk)
{
    CheckTarget(obj, prop);
    if (!kindOk)
        RaiseWrongType(prop);
    if (!fn)
        throw EPropertyError(u"Property " + prop->Name + u" is read-only");
    return fn;
}

bool IsOrdinal(PPropInfo p)
{
    switch (p->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
        return true;
    default:
        return false;
    }
}

bool IsStringKind(PPropInfo p)
{
    auto k = p->PropType->Kind;
    return k == tkString || k == tkLString || k == tkWString || k == tkUString;
}

} // namespace

std::int64_t GetOrdProp(TObject* obj, PPropInfo prop) { return Getter(obj, prop, prop->GetOrd, IsOrdinal(prop))(obj); }
void SetOrdProp(TObject* obj, PPropInfo prop, std::int64_t v) { Setter(obj, prop, prop->SetOrd, IsOrdinal(prop))(obj, v); }
std::int64_t GetInt64Prop(TObject* obj, PPropInfo prop) { return GetOrdProp(obj, prop); }
void SetInt64Prop(TObject* obj, PPropInfo prop, std::int64_t v) { SetOrdProp(obj, prop, v); }
double GetFloatProp(TObject* obj, PPropInfo prop) { return Getter(obj, prop, prop->GetFloat, prop->PropType->Kind == tkFloat)(obj); }
void SetFloatProp(TObject* obj, PPropInfo prop, double v) { Setter(obj, prop, prop->SetFloat, prop->PropType->Kind == tkFloat)(obj, v); }

String GetStrProp(TObject* obj, PPropInfo prop)
{
    return Getter(obj, prop, prop->GetStr, IsStringKind(prop))(obj);
}

void SetStrProp(TObject* obj, PPropInfo prop, const String& v)
{
    Setter(obj, prop, prop->SetStr, IsStringKind(prop))(obj, v);
}

TObject* GetObjectProp(TObject* obj, PPropInfo prop)
{
    return Getter(obj, prop, prop->GetObj, prop->PropType->Kind == tkClass)(obj);
}

void SetObjectProp(TObject* obj, PPropInfo prop, TObject* v)
{
    Setter(obj, prop, prop->SetObj, prop->PropType->Kind == tkClass)(obj, v);
}

TMethod GetMethodProp(TObject* obj, PPropInfo prop)
{
    return Getter(obj, prop, prop->GetMethod, prop->PropType->Kind == tkMethod)(obj);
}

void SetMethodProp(TObject* obj, PPropInfo prop, const TMethod& v)
{
    Setter(obj, prop, prop->SetMethod, prop->PropType->Kind == tkMethod)(obj, v);
}

String GetEnumProp(TObject* obj, PPropInfo prop)
{
    CheckTarget(obj, prop);
    if (prop->PropType->Kind != tkEnumeration)
        RaiseWrongType(prop);
    return GetEnumName(prop->PropType, GetOrdProp(obj, prop));
}

void SetEnumProp(TObject* obj, PPropInfo prop, const String& value)
{
    CheckTarget(obj, prop);
    if (prop->PropType->Kind != tkEnumeration)
        RaiseWrongType(prop);
    std::int64_t v = GetEnumValue(prop->PropType, Trimmed(value));
    if (v < 0 || v < prop->PropType->MinValue)
        throw EPropertyError(u"Invalid property element: " + value);
    SetOrdProp(obj, prop, v);
}

String GetSetProp(TObject* obj, PPropInfo prop, bool brackets)
{
    CheckTarget(obj, prop);
    if (prop->PropType->Kind != tkSet)
        RaiseWrongType(prop);
    return SetToString(prop->PropType, GetOrdProp(obj, prop), brackets);
}

void SetSetProp(TObject* obj, PPropInfo prop, const String& value)
{
    CheckTarget(obj, prop);
    if (prop->PropType->Kind != tkSet)
        RaiseWrongType(prop);
    SetOrdProp(obj, prop, StringToSet(prop->PropType, value));
}

std::int64_t GetOrdProp(TObject* obj, StringView n) { return GetOrdProp(obj, RequireProp(obj, n)); }
void SetOrdProp(TObject* obj, StringView n, std::int64_t v) { SetOrdProp(obj, RequireProp(obj, n), v); }
std::int64_t GetInt64Prop(TObject* obj, StringView n) { return GetInt64Prop(obj, RequireProp(obj, n)); }
void SetInt64Prop(TObject* obj, StringView n, std::int64_t v) { SetInt64Prop(obj, RequireProp(obj, n), v); }
double GetFloatProp(TObject* obj, StringView n) { return GetFloatProp(obj, RequireProp(obj, n)); }
void SetFloatProp(TObject* obj, StringView n, double v) { SetFloatProp(obj, RequireProp(obj, n), v); }
String GetStrProp(TObject* obj, StringView n) { return GetStrProp(obj, RequireProp(obj, n)); }
void SetStrProp(TObject* obj, StringView n, const String& v) { SetStrProp(obj, RequireProp(obj, n), v); }
TObject* GetObjectProp(TObject* obj, StringView n) { return GetObjectProp(obj, RequireProp(obj, n)); }
void SetObjectProp(TObject* obj, StringView n, TObject* v) { SetObjectProp(obj, RequireProp(obj, n), v); }
TMethod GetMethodProp(TObject* obj, StringView n) { return GetMethodProp(obj, RequireProp(obj, n)); }
void SetMethodProp(TObject* obj, StringView n, const TMethod& v) { SetMethodProp(obj, RequireProp(obj, n), v); }
String GetEnumProp(TObject* obj, StringView n) { return GetEnumProp(obj, RequireProp(obj, n)); }
void SetEnumProp(TObject* obj, StringView n, const String& v) { SetEnumProp(obj, RequireProp(obj, n), v); }
String GetSetProp(TObject* obj, StringView n, bool brackets) { return GetSetProp(obj, RequireProp(obj, n), brackets); }
void SetSetProp(TObject* obj, StringView n, const String& v) { SetSetProp(obj, RequireProp(obj, n), v); }

// ---- enumerations and sets ----

String GetEnumName(const TTypeInfo* type, std::int64_t value)
{
    if (!type || type->Kind != tkEnumeration || value < type->MinValue || value > type->MaxValue)
        return String();
    return type->EnumNames[std::size_t(value - type->MinValue)];
}

std::int64_t GetEnumValue(const TTypeInfo* type, StringView name)
{
    if (!type || type->Kind != tkEnumeration || name.empty())
        return -1;
    String key = Lower(name);
    for (std::size_t i = 0; i < type->EnumNames.size(); ++i)
        if (!type->EnumNames[i].empty() && Lower(type->EnumNames[i]) == key)
            return type->MinValue + std::int64_t(i);
    return -1;
}

String SetToString(const TTypeInfo* setType, std::int64_t bits, bool brackets)
{
    String r;
    const TTypeInfo* elem = setType ? setType->CompType : nullptr;
    for (int i = 0; i < 64; ++i) {
        if (!(std::uint64_t(bits) & (std::uint64_t(1) << i)))
            continue;
        if (!r.empty())
            r += u',';
        String name = GetEnumName(elem, i);
        r += name.empty() ? IntText(i) : name;
    }
    return brackets ? u"[" + r + u"]" : r;
}

std::int64_t StringToSet(const TTypeInfo* setType, StringView text)
{
    String t = Trimmed(text);
    StringView body = t;
    if (!body.empty() && body.front() == u'[')
        body.remove_prefix(1);
    if (!body.empty() && body.back() == u']')
        body.remove_suffix(1);
    const TTypeInfo* elem = setType ? setType->CompType : nullptr;
    std::uint64_t bits = 0;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t comma = body.find(u',', start);
        if (comma == StringView::npos)
            comma = body.size();
        String name = Trimmed(body.substr(start, comma - start));
        start = comma + 1;
        if (name.empty())
            continue;
        std::int64_t v = GetEnumValue(elem, name);
        if (v < 0 || v > 63)
            throw EPropertyError(u"Invalid property element: " + name);
        bits |= std::uint64_t(1) << v;
    }
    return std::int64_t(bits);
}

TClass GetObjectPropClass(PPropInfo prop)
{
    return prop && prop->PropType->Kind == tkClass ? prop->PropType->ClassType : nullptr;
}

// ---- published methods ----

const TMethodInfo* MethodAddress(TClass cls, StringView name)
{
    String key = Lower(name);
    for (TClass c = cls; c; c = c->Parent)
        for (const TMethodInfo& m : c->Methods)
            if (Lower(m.Name) == key)
                return &m;
    return nullptr;
}

String MethodName(TClass cls, const TMethodInfo* code)
{
    if (!code || !cls || !cls->InheritsFrom(code->Owner))
        return String();
    return code->Name;
}

TMethod FindMethod(TObject* obj, StringView name)
{
    TMethod m;
    if (!obj)
        return m;
    if (const TMethodInfo* code = MethodAddress(obj->ClassType(), name)) {
        m.Data = obj;
        m.Code = code;
        m.Assigned = true;
    }
    return m;
}

// ---- class registry ----

namespace {

struct Registry {
    std::mutex lock;
    std::map<String, TClass> byName; // lower-case name
};

Registry& TheRegistry()
{
    static Registry r;
    return r;
}

} // namespace

void RegisterClass(TClass cls)
{
    if (!cls)
        return;
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto [it, added] = r.byName.emplace(Lower(cls->Name), cls);
    if (!added && it->second != cls)
        throw EFilerError(u"A class named " + cls->Name + u" already exists");
}

void RegisterClasses(std::initializer_list<TClass> classes)
{
    for (TClass c : classes)
        RegisterClass(c);
}

void UnRegisterClass(TClass cls)
{
    if (!cls)
        return;
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.byName.find(Lower(cls->Name));
    if (it != r.byName.end() && it->second == cls)
        r.byName.erase(it);
}

TClass GetClass(StringView name)
{
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.byName.find(Lower(name));
    return it == r.byName.end() ? nullptr : it->second;
}

TClass FindClass(StringView name)
{
    TClass c = GetClass(name);
    if (!c)
        throw EClassNotFound(u"Class " + String(name) + u" not found");
    return c;
}
