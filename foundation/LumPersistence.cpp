#include "foundation/LumPersistence.h"

#include "foundation/LumPersistenceGraphics.h"
#include "foundation/VuzErazs.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

String TypeMemberName = u"$type";
TLumExcludePropertyListArray GlobalExcludeProperties;
TObject* GlobalIOReference = nullptr;
TObject* GlobalRootObject = nullptr;

const std::array<String, 53> ExcludedControlProperties = {
    u"Align", u"AllowFocus", u"Anchors", u"BevelEdges", u"BevelInner", u"BevelKind", u"BevelOuter", u"BevelWidth",
    u"BiDiMode", u"PictureContainer", u"BorderSpacing", u"CanParentFocus", u"ClipChildren", u"ClipParent",
    u"Constraints", u"Ctl3D", u"DisableFocusEffect", u"DoubleBuffered", u"DragCursor", u"DragKind", u"DragMode",
    u"Enabled", u"EnableDragHighLight", u"Height", u"Hint", u"HitTest", u"Locked", u"Margins", u"Name", u"Opacity",
    u"Padding", u"ParentBiDiMode", u"ParentColor", u"ParentCtl3D", u"ParentDoubleBuffered", u"ParentFont",
    u"ParentShowHint", u"PopupMenu", u"Position", u"RotationAngle", u"RotationCenter", u"Scale", u"ShowHint", u"Size",
    u"StyleElements", u"StyleName", u"TabOrder", u"TabStop", u"Tag", u"Touch", u"TouchTargetExpansion", u"Visible",
    u"Width"
};

// ---- classification ----

namespace {

bool StartsWith(StringView s, StringView prefix) { return s.substr(0, prefix.size()) == prefix; }

// The type argument of the first generic class of the chain whose name
// starts with one of the prefixes: "TList<String>" gives "String".
bool GenericArgument(TClass cls, std::initializer_list<StringView> prefixes, String* arg)
{
    for (TClass c = cls; c; c = c->Parent) {
        for (StringView p : prefixes) {
            if (StartsWith(c->Name, p) && c->Name.size() > p.size() && c->Name.back() == u'>') {
                if (arg)
                    *arg = c->Name.substr(p.size(), c->Name.size() - p.size() - 1);
                return true;
            }
        }
    }
    return false;
}

} // namespace

TTypeKind TLumPersistence::GetPropInfoType(PPropInfo APropInfo)
{
    return APropInfo && APropInfo->PropType ? APropInfo->PropType->Kind : tkUnknown;
}

String TLumPersistence::GetPropInfoName(PPropInfo APropInfo)
{
    return APropInfo ? APropInfo->Name : String();
}

String TLumPersistence::GetPropInfoTypeName(PPropInfo APropInfo)
{
    return APropInfo && APropInfo->PropType ? APropInfo->PropType->Name : String();
}

const TTypeInfo* TLumPersistence::GetPropInfoDataTypeInfo(PPropInfo APropInfo)
{
    return APropInfo && APropInfo->PropType ? APropInfo->PropType->GetBaseType() : nullptr;
}

TClass TLumPersistence::GetPropInfoDataTypeInfoClassType(PPropInfo APropInfo)
{
    return APropInfo ? GetObjectPropClass(APropInfo) : nullptr;
}

String TLumPersistence::GetEnumName(const TTypeInfo* ATypeInfo, std::int64_t AValue)
{
    return ::GetEnumName(ATypeInfo, AValue);
}

void TLumPersistence::GetEnumValues(TStrings& AValues, PPropInfo APropInfo)
{
    const TTypeInfo* type = APropInfo ? APropInfo->PropType : nullptr;
    if (type && type->Kind == tkSet)
        type = type->CompType;
    if (!type || type->Kind != tkEnumeration)
        return;
    for (std::int64_t v = type->MinValue; v <= type->MaxValue; ++v)
        AValues.Add(::GetEnumName(type, v));
}

bool TLumPersistence::IsAssignableProperty(TObject* AObject, PPropInfo APropInfo)
{
    if (GetPropInfoType(APropInfo) != tkClass || !APropInfo->GetObj)
        return false;
    TObject* value = GetObjectProp(AObject, APropInfo);
    return !value || IsComponent(value->ClassType());
}

bool TLumPersistence::IsColor(StringView ATypeName)
{
    return ATypeName == u"TAlphaColor" || ATypeName == u"TColor" || ATypeName == u"TGraphicsColor";
}

bool TLumPersistence::IsDescendingClass(TClass AClass, std::initializer_list<StringView> AClassParentList)
{
    for (TClass c = AClass; c; c = c->Parent)
        for (StringView name : AClassParentList)
            if (c->Name == name)
                return true;
    return false;
}

bool TLumPersistence::IsGenericList(TClass AClass, StringView AType)
{
    String arg;
    if (!GenericArgument(AClass, { u"TList<", u"TObjectList<" }, &arg))
        return false;
    return AType.empty() || SameText(arg, AType);
}

bool TLumPersistence::IsGenericDictionary(TClass AClass)
{
    return GenericArgument(AClass, { u"TDictionary<", u"TObjectDictionary<" }, nullptr);
}

TLumElementKind TLumPersistence::GenericListElementKind(TClass AClass, TClass* AElementClass)
{
    if (AElementClass)
        *AElementClass = nullptr;
    String arg;
    // A TObjectList<T> descends from TList<T>, whose argument is the same.
    if (!GenericArgument(AClass, { u"TList<" }, &arg))
        return TLumElementKind::None;
    static const StringView integers[] = { u"Integer", u"Cardinal", u"SmallInt", u"Word", u"ShortInt", u"Byte",
        u"Int64", u"UInt64", u"Boolean" };
    if (arg == u"String")
        return TLumElementKind::String;
    for (StringView i : integers)
        if (arg == i)
            return TLumElementKind::Integer;
    if (arg == u"Double" || arg == u"Single")
        return TLumElementKind::Float;
    if (arg == u"Record" || arg.find(u'<') != String::npos)
        return TLumElementKind::Other;
    if (AElementClass)
        *AElementClass = GetClass(arg);
    return TLumElementKind::Object;
}

TClass TLumPersistence::GenericDictionaryValueClass(TClass AClass)
{
    String args;
    if (!GenericArgument(AClass, { u"TDictionary<", u"TObjectDictionary<" }, &args))
        return nullptr;
    // The value argument follows the comma that is not inside a nested argument list.
    int depth = 0;
    std::size_t comma = String::npos;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == u'<')
            ++depth;
        else if (args[i] == u'>')
            --depth;
        else if (args[i] == u',' && depth == 0)
            comma = i;
    }
    return comma == String::npos ? nullptr : GetClass(StringView(args).substr(comma + 1));
}

// ---- writer ----

TLumWriter::TLumWriter(TStream& AStream) : FWriter(std::make_unique<TLumJSONWriter>(AStream)) { }

TLumWriter::~TLumWriter() = default;

void TLumWriter::SetIOReference(TObject* Value)
{
    FIOReference = Value;
    GlobalIOReference = Value;
}

void TLumWriter::SetRootObject(TObject* Value)
{
    FRootObject = Value;
    GlobalRootObject = Value;
}

void TLumWriter::SetExcludeProperties(const TLumExcludePropertyListArray& Value)
{
    FExcludeProperties = Value;
    GlobalExcludeProperties = Value;
}

void TLumWriter::WriteArray(const String& AName, const TVuzUdoectArray& AArray)
{
    FWriter->WriteBeginObject();
    FWriter->WriteName(AName);
    FWriter->WriteBeginArray();
    for (TObject* o : AArray) {
        if (o)
            WriteObjectForm(o);
        else
            FWriter->WriteNull();
    }
    FWriter->WriteEndArray();
    FWriter->WriteEndObject();
}

void TLumWriter::Write(TObject* AObject)
{
    if (!AObject) {
        FWriter->WriteNull();
        return;
    }
    TClass cls = AObject->ClassType();
    if (TLumElementKind kind = TLumPersistence::GenericListElementKind(cls); kind != TLumElementKind::None)
        WriteGenericList(AObject, kind);
    else if (TLumPersistence::IsGenericDictionary(cls))
        WriteGenericDictionary(AObject);
    else if (TLumPersistence::IsList(cls))
        WriteGenericList(AObject, TLumElementKind::Object);
    else if (TLumPersistence::IsCollection(cls))
        WriteCollection(AObject);
    else if (TLumPersistence::IsBitmap(cls))
        WritePicture(AObject);
    else if (TLumPersistence::IsStrings(cls))
        WriteStrings(AObject);
    else {
        String id;
        auto* io = Supports<IVuzUdoectReferenceIO>(GlobalIOReference);
        if (io && io->IsReferenceClass(cls)) {
            io->GetReferenceId(AObject, id);
            FWriter->WriteString(id);
        } else
            WriteObjectForm(AObject);
    }
}

void TLumWriter::WriteGenericList(TObject* AList, TLumElementKind AKind)
{
    auto* list = dynamic_cast<TGenericList*>(AList);
    FWriter->WriteBeginArray();
    for (int i = 0, n = list ? list->GetCount() : 0; i < n; ++i) {
        switch (AKind) {
        case TLumElementKind::String: FWriter->WriteString(list->GetItemString(i)); break;
        case TLumElementKind::Integer: FWriter->WriteInteger(list->GetItemInt64(i)); break;
        case TLumElementKind::Float: FWriter->WriteDouble(list->GetItemDouble(i)); break;
        case TLumElementKind::Object:
            if (TObject* item = list->GetItemObject(i))
                WriteObjectForm(item);
            else
                FWriter->WriteNull();
            break;
        // Elements the format has no form for (records, enumerations).
        default: FWriter->WriteNull(); break;
        }
    }
    FWriter->WriteEndArray();
}

void TLumWriter::WriteGenericDictionary(TObject* ADictionary)
{
    auto* dict = dynamic_cast<TGenericDictionary*>(ADictionary);
    FWriter->WriteBeginArray();
    for (int i = 0, n = dict ? dict->GetCount() : 0; i < n; ++i) {
        FWriter->WriteBeginObject();
        FWriter->WriteName(dict->GetKeyText(i));
        if (TObject* value = dict->GetValueObject(i))
            WriteObjectForm(value);
        else
            FWriter->WriteNull();
        FWriter->WriteEndObject();
    }
    FWriter->WriteEndArray();
}

void TLumWriter::WriteCollection(TObject* ACollection)
{
    auto* collection = dynamic_cast<TCollection*>(ACollection);
    FWriter->WriteBeginArray();
    for (int i = 0, n = collection ? collection->GetCount() : 0; i < n; ++i)
        WriteObjectForm(collection->GetItem(i));
    FWriter->WriteEndArray();
}

void TLumWriter::WritePicture(TObject* APicture)
{
    TMemoryStream image;
    if (!lumpersistence::SavePictureImage(APicture, image)) {
        FWriter->WriteString(u"");
        return;
    }
    image.SetPosition(0);
    FWriter->WriteString(TVuzErazs::SaveStreamToHexStr(image));
}

void TLumWriter::WriteStrings(TObject* AStrings)
{
    auto* strings = dynamic_cast<TStrings*>(AStrings);
    FWriter->WriteBeginArray();
    for (int i = 0, n = strings ? strings->GetCount() : 0; i < n; ++i)
        FWriter->WriteString(strings->GetStrings(i));
    FWriter->WriteEndArray();
}

void TLumWriter::WriteObjectForm(TObject* AObject)
{
    FWriter->WriteBeginObject();
    if (!TypeMemberName.empty()) {
        FWriter->WriteName(TypeMemberName);
        FWriter->WriteString(AObject->ClassName());
    }
    const bool isFont = TLumPersistence::IsDescendingClass(AObject->ClassType(), { u"TFont" });
    for (PPropInfo prop : GetPropList(AObject, true)) {
        if (!CanWriteProperty(AObject, prop))
            continue;
        if (OnCustomWriteProperty) {
            bool canWrite = true;
            OnCustomWriteProperty(AObject, prop->Name, TLumPersistence::GetPropInfoType(prop), *FWriter, canWrite);
            if (!canWrite)
                continue;
        }
        FWriter->WriteName(prop->Name);
        WriteProperty(AObject, prop);
        if (isFont && prop->Name == u"Size") {
            FWriter->WriteName(u"IsFMX");
            FWriter->WriteBoolean(false);
        }
    }
    FWriter->WriteEndObject();
}

bool TLumWriter::CanWriteProperty(TObject* AObject, PPropInfo AProp)
{
    if (auto* p = Supports<ILumPersistence>(AObject))
        return p->CanWriteProperty(AObject, AProp->Name, TLumPersistence::GetPropInfoType(AProp));
    return TVuzErazs::IndexOfTextInArray(AProp->Name, GlobalExcludeProperties) < 0;
}

void TLumWriter::WriteColor(std::int64_t AValue)
{
    static constexpr std::int64_t clNoneValue = 0x1FFFFFFF, clDefaultValue = 0x20000000;
    // The two "no colour" values have no RGB form; they keep their names so
    // they read back as themselves.
    if (AValue == -1) {
        FWriter->WriteString(u"gcNull");
        return;
    }
    if (AValue == clNoneValue) {
        FWriter->WriteString(u"clNone");
        return;
    }
    if (AValue == clDefaultValue) {
        FWriter->WriteString(u"clDefault");
        return;
    }
    const std::int64_t rgb = lumpersistence::ColorToRGBValue(AValue);
    FWriter->WriteString(u"#" + IntToHex(rgb & 0xFF, 2) + IntToHex((rgb >> 8) & 0xFF, 2) + IntToHex((rgb >> 16) & 0xFF, 2));
}

void TLumWriter::WriteProperty(TObject* AObject, PPropInfo AProp)
{
    if (!AProp->HasGetter()) {
        FWriter->WriteNull();
        return;
    }
    const TTypeInfo* type = AProp->PropType;
    switch (type->Kind) {
    case tkInteger:
        if (TLumPersistence::IsColor(type->Name))
            WriteColor(GetOrdProp(AObject, AProp));
        else
            FWriter->WriteInteger(GetOrdProp(AObject, AProp));
        break;
    case tkChar:
    case tkWChar:
        FWriter->WriteString(String(1, Char(GetOrdProp(AObject, AProp))));
        break;
    case tkString:
    case tkLString:
    case tkUString:
        FWriter->WriteString(GetStrProp(AObject, AProp));
        break;
    case tkEnumeration:
        if (type->IsBoolean())
            FWriter->WriteBoolean(GetOrdProp(AObject, AProp) != 0);
        else
            FWriter->WriteInteger(GetOrdProp(AObject, AProp));
        break;
    case tkSet:
        FWriter->WriteInteger(GetOrdProp(AObject, AProp));
        break;
    case tkFloat:
        FWriter->WriteDouble(GetFloatProp(AObject, AProp));
        break;
    case tkInt64:
        FWriter->WriteInteger(GetInt64Prop(AObject, AProp));
        break;
    case tkMethod: {
        const TMethod m = GetMethodProp(AObject, AProp);
        if (m.Assigned && FRootObject)
            FWriter->WriteString(MethodName(FRootObject->ClassType(), m.Code));
        else
            FWriter->WriteNull();
        break;
    }
    case tkClass:
        WriteClassProperty(AObject, AProp);
        break;
    default:
        FWriter->WriteNull();
        break;
    }
}

bool TLumWriter::IsAssignable(TObject* AObject, PPropInfo AProp)
{
    bool assignable = TLumPersistence::IsAssignableProperty(AObject, AProp);
    if (OnCustomIsAssignableProperty)
        OnCustomIsAssignableProperty(AObject, AProp->Name, assignable);
    return assignable;
}

void TLumWriter::WriteClassProperty(TObject* AObject, PPropInfo AProp)
{
    TObject* value = GetObjectProp(AObject, AProp);
    if (IsAssignable(AObject, AProp)) {
        auto* component = dynamic_cast<TComponent*>(value);
        FWriter->WriteString(component ? component->GetName() : String());
        return;
    }
    Write(value);
}

// ---- saving ----

namespace {

// Restores a process-wide value when the scope ends, also on failure.
template<class T>
class TRestore {
public:
    explicit TRestore(T& target) : FTarget(target), FSaved(target) { }
    ~TRestore() { FTarget = std::move(FSaved); }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FTarget;
    T FSaved;
};

} // namespace

// Numbers go through the JSON writer's invariant formatting, so the
// process-wide separators are never touched and cannot leak into getters.
void TLumPersistence::SaveSettingsToStream(TObject* AObject, TStream& AStream)
{
    TLumWriter writer(AStream);
    writer.SetIOReference(GlobalIOReference);
    writer.SetRootObject(GlobalRootObject);
    writer.OnCustomWriteProperty = [](TObject* o, const String& name, TTypeKind kind, TLumJSONWriter& w, bool& can) {
        if (TLumPersistence::OnCustomWriteProperty)
            TLumPersistence::OnCustomWriteProperty(o, name, kind, w, can);
    };
    writer.Write(AObject);
    writer.GetJSONWriter().Close();
}

void TLumPersistence::SaveSettingsToFile(TObject* AObject, const String& AFileName)
{
    TMemoryStream stream;
    SaveSettingsToStream(AObject, stream);
    stream.SaveToFile(AFileName);
}

String TLumPersistence::ToJSON(TObject* AObject)
{
    TStringStream stream;
    SaveSettingsToStream(AObject, stream);
    return stream.GetDataString();
}

String TLumPersistence::ToJSON(TObject* AObject, const TVuzUdoectExcludePropertyListArray& AExcludedProperties)
{
    TRestore<TLumExcludePropertyListArray> restore(GlobalExcludeProperties);
    GlobalExcludeProperties = AExcludedProperties;
    return ToJSON(AObject);
}

void TLumPersistence::FromJSON(TObject* AObject, const String& Value)
{
    TStringStream stream(Value);
    TRestore<String> restoreType(TypeMemberName);
    TRestore<TObject*> restoreIO(GlobalIOReference);
    TypeMemberName.clear();
    GlobalIOReference = AObject;
    LoadSettingsFromStream(AObject, stream);
}

void TLumPersistence::Log(TObject* AObject)
{
    const String text = ToJSON(AObject);
    if (LogHook)
        LogHook(text);
    else
        TVuzErazs::Log(text);
}
