#include "foundation/LumPersistence.h"

#include <limits>

#include "foundation/LumPersistenceGraphics.h"
#include "foundation/VuzErazs.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The name the writer uses for the class-name member by default; settings
// text read with the member name emptied may still carry it.
const String DefaultTypeMemberName = u"$type";

[[noreturn]] void RaiseTypeMemberMissing()
{
    throw ELumReaderException(u"\"" + TypeMemberName + u"\" property not found in Object descriptor.");
}

// "#RRGGBB" in either letter case as a colour with red in the lowest byte.
bool ParseHexColor(StringView text, std::int64_t& color)
{
    if (text.size() != 7 || text[0] != u'#')
        return false;
    int bytes[3] {};
    for (int i = 0; i < 3; ++i) {
        const int hi = HexDigitValue(text[std::size_t(1 + 2 * i)]), lo = HexDigitValue(text[std::size_t(2 + 2 * i)]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = hi * 16 + lo;
    }
    color = bytes[0] + bytes[1] * 256 + bytes[2] * 65536;
    return true;
}

// Whether an integer fits the declared width of an integer property's type.
bool FitsIntegerType(const TTypeInfo* type, std::int64_t v)
{
    struct Range {
        StringView Name;
        std::int64_t Min, Max;
    };
    static constexpr Range ranges[] = {
        { u"Integer", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max() },
        { u"Cardinal", 0, std::numeric_limits<std::uint32_t>::max() },
        { u"SmallInt", std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max() },
        { u"Word", 0, std::numeric_limits<std::uint16_t>::max() },
        { u"ShortInt", std::numeric_limits<std::int8_t>::min(), std::numeric_limits<std::int8_t>::max() },
        { u"Byte", 0, std::numeric_limits<std::uint8_t>::max() },
    };
    const String& base = type->GetBaseType()->Name;
    for (const Range& r : ranges)
        if (base == r.Name)
            return v >= r.Min && v <= r.Max;
    return true;
}

// Whether a bit pattern holds only elements of the set's element type.
bool FitsSetType(const TTypeInfo* type, std::int64_t bits)
{
    const TTypeInfo* element = type->CompType;
    if (!element || element->MinValue < 0 || element->MaxValue > 63)
        return bits >= 0;
    std::uint64_t mask = 0;
    for (std::int64_t e = element->MinValue; e <= element->MaxValue; ++e)
        mask |= std::uint64_t(1) << e;
    return (std::uint64_t(bits) & ~mask) == 0;
}

// Only classes whose construction needs no arguments of ours: components
// (no owner), collection items (no collection) and other persistents.
TObject* CreateInstance(TClass AClass)
{
    if (!AClass->InheritsFrom(TPersistent::StaticClassInfo()) || !AClass->Factory)
        throw ELumReaderException(u"Type \"" + AClass->Name + u"\" not supported");
    return AClass->Create(nullptr);
}

} // namespace

// ---- object creation ----

TObject* TLumPersistence::CreateObject(const String& AClassName, TClass BaseClass)
{
    TClass cls = GetClass(AClassName);
    if (!cls)
        throw ELumReaderException(u"Type \"" + AClassName + u"\" not found");
    if (BaseClass && !cls->InheritsFrom(BaseClass))
        throw ELumReaderException(u"Type \"" + AClassName + u"\" does not inherit from " + BaseClass->Name);
    return CreateInstance(cls);
}

// ---- reader ----

TLumReader::TLumReader(TStream& AStream) : FReader(std::make_unique<TLumJSONReader>(AStream)) { }

TLumReader::~TLumReader() = default;

void TLumReader::SetIOReference(TObject* Value)
{
    FIOReference = Value;
    GlobalIOReference = Value;
}

void TLumReader::SetRootObject(TObject* Value)
{
    FRootObject = Value;
    GlobalRootObject = Value;
}

void TLumReader::SetExcludeProperties(const TLumExcludePropertyListArray& Value)
{
    FExcludeProperties = Value;
    GlobalExcludeProperties = Value;
}

void TLumReader::Read(TObject* AObject)
{
    if (!AObject) {
        FReader->ReadNull();
        return;
    }
    ReadInto(AObject, AObject->ClassType());
}

TObject* TLumReader::Read(TClass AClass)
{
    return ReadNewObject(AClass).release();
}

TVuzUdoectArray TLumReader::ReadArray(const String& AName)
{
    TVuzUdoectArray result;
    try {
        FReader->ReadBeginObject();
        while (FReader->HasNext()) {
            const String name = FReader->ReadName();
            if (name != AName || FReader->IsNull()) {
                FReader->SkipValue();
                continue;
            }
            FReader->ReadBeginArray();
            while (FReader->HasNext()) {
                if (FReader->IsNull()) {
                    FReader->ReadNull();
                    continue;
                }
                if (auto item = ReadNewObject(TObject::StaticClassInfo()))
                    result.push_back(item.release());
            }
            FReader->ReadEndArray();
        }
    } catch (...) {
        for (TObject* o : result)
            delete o;
        throw;
    }
    return result;
}

void TLumReader::SolveReferences()
{
    auto* io = Supports<IVuzUdoectReferenceIO>(FIOReference);
    if (!io)
        return;
    for (const auto& ref : FReferences)
        SetObjectProp(ref->Instance, ref->Prop, io->FindReference(ref->Id));
    FReferences.clear();
}

// Routes a value by the class it is read as: the declared class of a
// property, or the object's own class at the top.
void TLumReader::ReadInto(TObject* AObject, TClass ADeclared)
{
    TClass elementClass = nullptr;
    if (TLumElementKind kind = TLumPersistence::GenericListElementKind(ADeclared, &elementClass); kind != TLumElementKind::None)
        ReadGenericList(AObject, kind, elementClass);
    else if (TLumPersistence::IsGenericDictionary(ADeclared))
        ReadGenericDictionary(AObject);
    else if (TLumPersistence::IsList(ADeclared))
        ReadObjectList(AObject);
    else if (TLumPersistence::IsCollection(ADeclared))
        ReadCollection(AObject);
    else if (TLumPersistence::IsBitmap(ADeclared))
        ReadPicture(AObject);
    else if (TLumPersistence::IsStrings(ADeclared))
        ReadStrings(AObject);
    else
        ReadObjectForm(AObject);
}

TClass TLumReader::ItemClassOf(TObject* AContainer, TClass AFallback)
{
    if (auto* itemClass = Supports<ILumPersistenceItemClass>(AContainer))
        if (TClass cls = itemClass->GetItemClass())
            return cls;
    return AFallback ? AFallback : TObject::StaticClassInfo();
}

bool TLumReader::IsReference(TClass ADeclared)
{
    auto* io = Supports<IVuzUdoectReferenceIO>(FIOReference);
    return io && io->IsReferenceClass(ADeclared);
}

void TLumReader::AnnounceItem(TObject* AItem, TObject* AList)
{
    if (auto* io = Supports<IVuzUdoectReferenceIO>(FIOReference))
        io->ItemAdded(AItem, AList);
}

void TLumReader::ReadGenericList(TObject* AList, TLumElementKind AKind, TClass AElementClass)
{
    auto* list = dynamic_cast<TGenericList*>(AList);
    if (!list || AKind == TLumElementKind::Other) {
        FReader->SkipValue();
        return;
    }
    const TClass itemClass = AKind == TLumElementKind::Object ? ItemClassOf(AList, AElementClass) : nullptr;
    FReader->ReadBeginArray();
    list->Clear();
    while (FReader->HasNext()) {
        if (FReader->IsNull()) {
            FReader->ReadNull();
            continue;
        }
        switch (AKind) {
        case TLumElementKind::String: list->AddString(FReader->ReadString()); break;
        case TLumElementKind::Integer: list->AddInt64(FReader->ReadInt64()); break;
        case TLumElementKind::Float: list->AddDouble(FReader->ReadDouble()); break;
        default:
            if (auto item = ReadNewObject(itemClass)) {
                AnnounceItem(item.get(), AList);
                list->AddObject(item.get());
                item.release();
            }
            break;
        }
    }
    FReader->ReadEndArray();
}

void TLumReader::ReadObjectList(TObject* AList)
{
    ReadGenericList(AList, TLumElementKind::Object, nullptr);
}

void TLumReader::ReadGenericDictionary(TObject* ADictionary)
{
    auto* dict = dynamic_cast<TGenericDictionary*>(ADictionary);
    if (!dict) {
        FReader->SkipValue();
        return;
    }
    const TClass itemClass = ItemClassOf(ADictionary, TLumPersistence::GenericDictionaryValueClass(ADictionary->ClassType()));
    FReader->ReadBeginArray();
    dict->Clear();
    while (FReader->HasNext()) {
        if (FReader->IsNull()) {
            FReader->ReadNull();
            continue;
        }
        FReader->ReadBeginObject();
        const String key = FReader->ReadName();
        if (FReader->IsNull())
            FReader->ReadNull();
        else if (auto value = ReadNewObject(itemClass)) {
            dict->AddObject(key, value.get());
            value.release();
        }
        FReader->ReadEndObject();
    }
    FReader->ReadEndArray();
}

void TLumReader::ReadCollection(TObject* ACollection)
{
    auto* collection = dynamic_cast<TCollection*>(ACollection);
    if (!collection) {
        FReader->SkipValue();
        return;
    }
    const TClass itemClass = ItemClassOf(ACollection, collection->GetItemClass());
    auto* factory = Supports<ILumPersistenceItemFactory>(ACollection);
    FReader->ReadBeginArray();
    collection->Clear();
    while (FReader->HasNext()) {
        if (FReader->IsNull()) {
            FReader->ReadNull();
            continue;
        }
        std::unique_ptr<TObject> temp = ReadNewObject(itemClass);
        auto* source = dynamic_cast<TPersistent*>(temp.get());
        if (!source)
            continue;
        TCollectionItem* item = factory ? factory->CreateItem(temp.get()) : collection->Add();
        if (item)
            item->Assign(source);
    }
    FReader->ReadEndArray();
}

void TLumReader::ReadPicture(TObject* APicture)
{
    if (FReader->IsNull()) {
        FReader->ReadNull();
        return;
    }
    const String hex = FReader->ReadString();
    if (hex.empty())
        return;
    TMemoryStream image;
    TVuzErazs::LoadStreamFromHexStr(hex, image);
    image.SetPosition(0);
    lumpersistence::LoadPictureImage(APicture, image);
}

void TLumReader::ReadStrings(TObject* AStrings)
{
    auto* strings = dynamic_cast<TStrings*>(AStrings);
    if (!strings) {
        FReader->SkipValue();
        return;
    }
    FReader->ReadBeginArray();
    strings->Clear();
    while (FReader->HasNext()) {
        if (FReader->IsNull())
            FReader->ReadNull();
        else
            strings->Add(FReader->ReadString());
    }
    FReader->ReadEndArray();
}

void TLumReader::ReadObjectForm(TObject* AObject)
{
    FReader->ReadBeginObject();
    if (!TypeMemberName.empty()) {
        if (!FReader->HasNext() || FReader->PeekName() != TypeMemberName)
            RaiseTypeMemberMissing();
        FReader->ReadName();
        FReader->ReadString(); // the stored class is not checked against the object's
    }
    ReadMembers(AObject);
    FReader->ReadEndObject();
}

std::unique_ptr<TObject> TLumReader::ReadNewObject(TClass AItemClass)
{
    const TClass base = AItemClass ? AItemClass : TObject::StaticClassInfo();
    FReader->ReadBeginObject();
    String className;
    if (!TypeMemberName.empty()) {
        if (!FReader->HasNext() || FReader->PeekName() != TypeMemberName)
            RaiseTypeMemberMissing();
        FReader->ReadName();
        className = FReader->ReadString();
    } else if (FReader->HasNext() && FReader->PeekName() == DefaultTypeMemberName) {
        FReader->ReadName();
        className = FReader->ReadString();
    }
    if (className.empty())
        className = base->Name;
    std::unique_ptr<TObject> object(MakeObject(className, base));
    if (object)
        ReadMembers(object.get());
    else
        while (FReader->HasNext()) {
            FReader->ReadName();
            FReader->SkipValue();
        }
    FReader->ReadEndObject();
    return object;
}

TObject* TLumReader::MakeObject(const String& AClassName, TClass ABaseClass)
{
    if (auto* factory = Supports<IVuzUdoectFactory>(FIOReference))
        return factory->CreateObject(AClassName, ABaseClass);
    if (auto* io = Supports<IVuzUdoectReferenceIO>(FIOReference))
        return io->CreateObject(AClassName, ABaseClass);
    // An IO reference that makes no objects (FromJSON makes the loaded object
    // its own) leaves creation to the class registry, so items are not lost.
    // The container's own class needs no registration: it is known already.
    if (AClassName == ABaseClass->Name && !GetClass(AClassName))
        return CreateInstance(ABaseClass);
    return TLumPersistence::CreateObject(AClassName, ABaseClass);
}

void TLumReader::ReadMembers(TObject* AObject)
{
    const bool isFont = TLumPersistence::IsDescendingClass(AObject->ClassType(), { u"TFont" });
    while (FReader->HasNext()) {
        const String name = FReader->ReadName();
        PPropInfo prop = GetPropInfo(AObject, name);
        if (!prop) {
            FReader->SkipValue();
            continue;
        }
        ReadProperty(AObject, prop);
        if (isFont && prop->Name == u"Size")
            ReadFMXFontSize(AObject);
    }
}

// Text written for a font of the other framework gives its size in pixels.
void TLumReader::ReadFMXFontSize(TObject* AFont)
{
    if (!FReader->HasNext() || FReader->PeekName() != u"IsFMX")
        return;
    FReader->ReadName();
    if (FReader->IsNull()) {
        FReader->ReadNull();
        return;
    }
    if (!FReader->ReadBoolean())
        return;
    PPropInfo size = GetPropInfo(AFont, u"Size");
    if (size && size->GetOrd && size->SetOrd)
        SetOrdProp(AFont, size, RoundHalfEven(double(GetOrdProp(AFont, size)) / 96.0 * 72.0));
}

bool TLumReader::CanReadProperty(TObject* AObject, PPropInfo AProp)
{
    if (auto* p = Supports<ILumPersistence>(AObject))
        return p->CanReadProperty(AObject, AProp->Name, TLumPersistence::GetPropInfoType(AProp));
    return TVuzErazs::IndexOfTextInArray(AProp->Name, GlobalExcludeProperties) < 0;
}

void TLumReader::ReadProperty(TObject* AObject, PPropInfo AProp)
{
    if (!CanReadProperty(AObject, AProp)) {
        FReader->SkipValue();
        return;
    }
    if (OnCustomReadProperty) {
        bool canRead = true;
        OnCustomReadProperty(AObject, AProp->Name, TLumPersistence::GetPropInfoType(AProp), *FReader, canRead);
        if (!canRead)
            return;
    }
    const TTypeInfo* type = AProp->PropType;
    if (!AProp->HasGetter() || FReader->IsNull()) {
        FReader->ReadNull();
        if (type->Kind == tkClass && AProp->HasSetter() && IsReference(GetObjectPropClass(AProp)))
            SetObjectProp(AObject, AProp, nullptr);
        return;
    }
    const bool settable = AProp->HasSetter();
    switch (type->Kind) {
    case tkInteger:
        if (TLumPersistence::IsColor(type->Name))
            ReadColor(AObject, AProp);
        else
            ReadOrdinal(AObject, AProp);
        break;
    case tkSet:
    case tkEnumeration:
        if (type->IsBoolean()) {
            const bool v = FReader->ReadBoolean();
            if (settable)
                SetOrdProp(AObject, AProp, v ? 1 : 0);
        } else
            ReadOrdinal(AObject, AProp);
        break;
    case tkChar:
    case tkWChar: {
        const String s = FReader->ReadString();
        const Char c = s.empty() ? Char(0) : s[0];
        if (settable && (type->Kind == tkWChar || c < 0x100))
            SetOrdProp(AObject, AProp, c);
        break;
    }
    case tkString:
    case tkLString:
    case tkUString: {
        const String s = FReader->ReadString();
        if (settable)
            SetStrProp(AObject, AProp, s);
        break;
    }
    case tkFloat: {
        const double v = FReader->ReadDouble();
        if (settable)
            SetFloatProp(AObject, AProp, v);
        break;
    }
    case tkInt64: {
        const std::int64_t v = FReader->ReadInt64();
        if (settable)
            SetInt64Prop(AObject, AProp, v);
        break;
    }
    case tkMethod:
        ReadMethod(AObject, AProp);
        break;
    case tkClass:
        ReadClassProperty(AObject, AProp);
        break;
    default:
        FReader->ReadNull();
        break;
    }
}

// Integers, enumerations and sets; a value outside the property's type
// leaves the property as it was.
void TLumReader::ReadOrdinal(TObject* AObject, PPropInfo AProp)
{
    const std::int64_t v = FReader->ReadInt64();
    if (!AProp->HasSetter())
        return;
    const TTypeInfo* type = AProp->PropType;
    bool fits = true;
    if (type->Kind == tkEnumeration)
        fits = v >= type->MinValue && v <= type->MaxValue;
    else if (type->Kind == tkSet)
        fits = FitsSetType(type, v);
    else
        fits = FitsIntegerType(type, v);
    if (fits)
        SetOrdProp(AObject, AProp, v);
}

void TLumReader::ReadColor(TObject* AObject, PPropInfo AProp)
{
    static constexpr std::int64_t clNoneValue = 0x1FFFFFFF, clDefaultValue = 0x20000000;
    const String text = FReader->ReadString();
    std::int64_t color = 0;
    if (text == u"gcNull")
        color = -1;
    else if (text == u"clNone")
        color = clNoneValue;
    else if (text == u"clDefault")
        color = clDefaultValue;
    else if (!ParseHexColor(text, color))
        return;
    if (AProp->HasSetter())
        SetOrdProp(AObject, AProp, color);
}

// Handlers are bound by name to published methods of the root object. A
// name that binds to nothing leaves the handler as it is: settings text must
// not unhook wiring the object made for itself.
void TLumReader::ReadMethod(TObject* AObject, PPropInfo AProp)
{
    const String name = FReader->ReadString();
    if (!FRootObject || name.empty())
        return;
    const TMethod m = FindMethod(FRootObject, name);
    if (m.Data && m.Code)
        SetMethodProp(AObject, AProp, m);
}

void TLumReader::ReadClassProperty(TObject* AObject, PPropInfo AProp)
{
    const TClass declared = GetObjectPropClass(AProp);
    TObject* current = AProp->GetObj ? GetObjectProp(AObject, AProp) : nullptr;
    const bool container = TLumPersistence::GenericListElementKind(declared) != TLumElementKind::None
        || TLumPersistence::IsGenericDictionary(declared) || TLumPersistence::IsList(declared)
        || TLumPersistence::IsCollection(declared) || TLumPersistence::IsBitmap(declared)
        || TLumPersistence::IsStrings(declared);
    if (container) {
        if (current)
            ReadInto(current, declared);
        else
            FReader->SkipValue();
        return;
    }
    if (IsReference(declared)) {
        // null was taken by the caller; a string waits for SolveReferences.
        String id = FReader->ReadString();
        if (AProp->HasSetter())
            FReferences.push_back(std::make_unique<TVuzUdoectReference>(AObject, AProp, std::move(id)));
        return;
    }
    bool assignable = TLumPersistence::IsAssignableProperty(AObject, AProp);
    if (OnCustomIsAssignableProperty)
        OnCustomIsAssignableProperty(AObject, AProp->Name, assignable);
    if (assignable) {
        const String name = FReader->ReadString();
        auto* root = dynamic_cast<TComponent*>(FRootObject);
        if (!root || !AProp->HasSetter())
            return;
        TComponent* target = name.empty() ? nullptr : root->FindComponent(name);
        if (!target || !declared || target->InheritsFrom(declared))
            SetObjectProp(AObject, AProp, target);
        return;
    }
    if (!current) {
        FReader->ReadNull();
        return;
    }
    ReadObjectForm(current);
}

// ---- loading ----

void TLumPersistence::LoadSettingsFromStream(TObject* AObject, TStream& AStream)
{
    AStream.SetPosition(0);
    TLumReader reader(AStream);
    reader.SetIOReference(GlobalIOReference);
    reader.SetRootObject(GlobalRootObject);
    reader.OnCustomReadProperty = [](TObject* o, const String& name, TTypeKind kind, TLumJSONReader& r, bool& can) {
        if (TLumPersistence::OnCustomReadProperty)
            TLumPersistence::OnCustomReadProperty(o, name, kind, r, can);
    };
    reader.Read(AObject);
}

void TLumPersistence::LoadSettingsFromFile(TObject* AObject, const String& AFileName)
{
    TMemoryStream stream;
    stream.LoadFromFile(AFileName);
    LoadSettingsFromStream(AObject, stream);
}
