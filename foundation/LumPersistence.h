#pragma once
// JSON persistence of objects through their published properties: the format
// (one JSON object per persisted object, its class name first, then its
// properties sorted by name), the writer, the reader and the class-wide
// entry points every library class offers (ToJSON, FromJSON, ...).

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/LumJSONReader.h"
#include "foundation/LumJSONWriter.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TypInfo.h"

class TStream;
class TStrings;
class TCollectionItem;

using TLumExcludePropertyListArray = std::vector<String>;
using TVuzUdoectExcludePropertyListArray = TLumExcludePropertyListArray;
using TVuzUdoectArray = std::vector<TObject*>;

using TLumWriterCustomWritePropertyEvent = std::function<void(TObject* AObject, const String& APropertyName,
    TTypeKind APropertyKind, TLumJSONWriter& AWriter, bool& ACanWrite)>;
using TLumWriterCustomIsAssignablePropertyEvent
    = std::function<void(TObject* AObject, const String& APropertyName, bool& AIsAssignable)>;
using TLumReaderCustomReadPropertyEvent = std::function<void(TObject* AObject, const String& APropertyName,
    TTypeKind APropertyKind, TLumJSONReader& AReader, bool& ACanRead)>;

QT_DECLARE_EXCEPTION(ELumReaderException, Exception);

// ---- interfaces persisted objects and helpers may offer ----

class ILumPersistence : public virtual IInterface {
public:
    QT_INTERFACE_ID("{363F04AF-B8A7-4C47-A2D6-8ED9C44CEFF6}");
    virtual void SaveSettingsToFile(const String& AFileName, bool AAppearanceOnly) = 0;
    virtual void LoadSettingsFromFile(const String& AFileName) = 0;
    virtual void SaveSettingsToStream(TStream& AStream, bool AAppearanceOnly) = 0;
    virtual void LoadSettingsFromStream(TStream& AStream) = 0;
    virtual bool CanWriteProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyKind) = 0;
    virtual bool CanReadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyKind) = 0;

protected:
    ~ILumPersistence() = default;
};

class IVuzUdoectReferenceIO : public virtual IInterface {
public:
    QT_INTERFACE_ID("{11B625F8-447A-4AE5-BB88-5ECDEA979AF7}");
    virtual TObject* CreateObject(const String& AClassName, TClass BaseClass) = 0;
    virtual bool IsReferenceClass(TClass AClass) = 0;
    virtual void GetReferenceId(TObject* AObject, String& AId) = 0;
    virtual TObject* FindReference(const String& AId) = 0;
    virtual void ItemAdded(TObject* AItem, TObject* AList) = 0;

protected:
    ~IVuzUdoectReferenceIO() = default;
};

class IVuzUdoectFactory : public virtual IInterface {
public:
    QT_INTERFACE_ID("{91DEAFC3-8932-45F4-A3ED-5AAA0C0E9250}");
    virtual TObject* CreateObject(const String& AClassName, TClass BaseClass) = 0;

protected:
    ~IVuzUdoectFactory() = default;
};

class ILumPersistenceItemClass : public virtual IInterface {
public:
    QT_INTERFACE_ID("{FAB1D21E-D798-4CE0-B17B-9D75E4456AB4}");
    virtual TClass GetItemClass() = 0;

protected:
    ~ILumPersistenceItemClass() = default;
};

class ILumPersistenceItemFactory : public virtual IInterface {
public:
    QT_INTERFACE_ID("{90FDF257-7362-411D-B7F6-E2BEE2265016}");
    virtual TCollectionItem* CreateItem(TObject* AObject) = 0;

protected:
    ~ILumPersistenceItemFactory() = default;
};

// ---- process-wide state ----

// The member that carries an object's class name; empty: none is written or
// required.
extern String TypeMemberName;
extern TLumExcludePropertyListArray GlobalExcludeProperties;
extern TObject* GlobalIOReference;
extern TObject* GlobalRootObject;
// Properties the control base leaves out of its own settings.
extern const std::array<String, 53> ExcludedControlProperties;

// What the items of a generic list are, read from the list's class.
enum class TLumElementKind { None, String, Integer, Float, Object, Other };

class TLumPersistence {
public:
    TLumPersistence() = delete;

    // ---- property and class classification ----
    static TTypeKind GetPropInfoType(PPropInfo APropInfo);
    static String GetPropInfoName(PPropInfo APropInfo);
    static bool IsWriteOnly(PPropInfo APropInfo) { return !APropInfo->HasGetter(); }
    static bool IsReadOnly(PPropInfo APropInfo) { return !APropInfo->HasSetter(); }
    // A class-typed property whose value is empty or a component: stored as a reference.
    static bool IsAssignableProperty(TObject* AObject, PPropInfo APropInfo);
    // These take a type name.
    static bool IsColor(StringView ATypeName);
    static bool IsStrokeKind(StringView ATypeName) { return ATypeName == u"TLumGraphicsStrokeKind"; }
    static bool IsFillKind(StringView ATypeName) { return ATypeName == u"TLumGraphicsFillKind"; }
    static bool IsDate(StringView ATypeName) { return ATypeName == u"TDate"; }
    static bool IsDateTime(StringView ATypeName) { return ATypeName == u"TDateTime"; }
    static bool IsTime(StringView ATypeName) { return ATypeName == u"TTime"; }
    // A generic list class; with AType, one whose declared element type is
    // named AType (ignoring case): the element type, not a part of the name.
    static bool IsGenericList(TClass AClass, StringView AType = {});
    static bool IsGenericDictionary(TClass AClass);
    static bool IsCollection(TClass AClass) { return IsDescendingClass(AClass, { u"TCollection" }); }
    static bool IsComponent(TClass AClass) { return IsDescendingClass(AClass, { u"TComponent", u"TLumCustomComponent" }); }
    static bool IsControl(TClass AClass) { return IsDescendingClass(AClass, { u"TControl" }); }
    static bool IsList(TClass AClass) { return IsDescendingClass(AClass, { u"TList" }); }
    // A class of the chain from AClass to the root has one of the names (exact case).
    static bool IsDescendingClass(TClass AClass, std::initializer_list<StringView> AClassParentList);
    static bool IsBitmap(TClass AClass) { return IsDescendingClass(AClass, { u"TBitmap", u"TPicture", u"TLumBitmap" }); }
    static bool IsStrings(TClass AClass) { return IsDescendingClass(AClass, { u"TStrings" }); }
    // The element kind of a generic list class (None for other classes) and,
    // for objects, the element class when it is registered.
    static TLumElementKind GenericListElementKind(TClass AClass, TClass* AElementClass = nullptr);
    // The value class of a generic dictionary class when it is registered.
    static TClass GenericDictionaryValueClass(TClass AClass);

    static String GetPropInfoTypeName(PPropInfo APropInfo);
    static const TTypeInfo* GetPropInfoDataTypeInfo(PPropInfo APropInfo);
    static TClass GetPropInfoDataTypeInfoClassType(PPropInfo APropInfo);
    static String GetEnumName(const TTypeInfo* ATypeInfo, std::int64_t AValue);
    // The value names of an enumeration property or of a set property's element type.
    static void GetEnumValues(TStrings& AValues, PPropInfo APropInfo);

    // ---- saving and loading ----
    static void SaveSettingsToStream(TObject* AObject, TStream& AStream);
    static void SaveSettingsToFile(TObject* AObject, const String& AFileName);
    static void LoadSettingsFromStream(TObject* AObject, TStream& AStream);
    static void LoadSettingsFromFile(TObject* AObject, const String& AFileName);
    // A new object of a registered class, made by its constructor. Raises
    // ELumReaderException for an unknown class, one outside BaseClass or one
    // that is neither a component, a collection item nor a persistent.
    static TObject* CreateObject(const String& AClassName, TClass BaseClass);

    // ---- the per-class entry points ----
    static String ToJSON(TObject* AObject);
    static String ToJSON(TObject* AObject, const TVuzUdoectExcludePropertyListArray& AExcludedProperties);
    // Reads settings text that may lack the class-name members.
    static void FromJSON(TObject* AObject, const String& Value);
    static void SaveToJSONStream(TObject* AObject, TStream& AStream) { SaveSettingsToStream(AObject, AStream); }
    static void SaveToJSONFile(TObject* AObject, const String& AFileName) { SaveSettingsToFile(AObject, AFileName); }
    static void LoadFromJSONStream(TObject* AObject, TStream& AStream) { LoadSettingsFromStream(AObject, AStream); }
    static void LoadFromJSONFile(TObject* AObject, const String& AFileName) { LoadSettingsFromFile(AObject, AFileName); }
    // ToJSON handed to LogHook, or to the utilities' debug log when none is set.
    static void Log(TObject* AObject);

    // Class-wide hooks; nothing in the library sets them.
    static inline TLumWriterCustomWritePropertyEvent OnCustomWriteProperty;
    static inline TLumReaderCustomReadPropertyEvent OnCustomReadProperty;
    // Replaces where Log sends its text (tests capture it here).
    static inline std::function<void(const String&)> LogHook;
};

// Gives a library class the per-class entry points as members:
//     class TFoo : public TPersistent, public TLumJSONMethods<TFoo> { ... };
template<class Derived>
class TLumJSONMethods {
public:
    String ToJSON() { return TLumPersistence::ToJSON(Self()); }
    String ToJSON(const TVuzUdoectExcludePropertyListArray& AExcludedProperties)
    {
        return TLumPersistence::ToJSON(Self(), AExcludedProperties);
    }
    void FromJSON(const String& Value) { TLumPersistence::FromJSON(Self(), Value); }
    void SaveToJSONStream(TStream& AStream) { TLumPersistence::SaveSettingsToStream(Self(), AStream); }
    void SaveToJSONFile(const String& AFileName) { TLumPersistence::SaveSettingsToFile(Self(), AFileName); }
    void LoadFromJSONStream(TStream& AStream) { TLumPersistence::LoadSettingsFromStream(Self(), AStream); }
    void LoadFromJSONFile(const String& AFileName) { TLumPersistence::LoadSettingsFromFile(Self(), AFileName); }
    void Log() { TLumPersistence::Log(Self()); }

private:
    TObject* Self() { return static_cast<Derived*>(this); }
};

// ---- writer ----

class TLumWriter : public TObject {
public:
    explicit TLumWriter(TStream& AStream);
    // Hands whatever was written to the stream.
    ~TLumWriter() override;

    TLumJSONWriter& GetJSONWriter() { return *FWriter; }
    TObject* GetIOReference() const { return FIOReference; }
    void SetIOReference(TObject* Value);
    TObject* GetRootObject() const { return FRootObject; }
    void SetRootObject(TObject* Value);
    const TLumExcludePropertyListArray& GetExcludeProperties() const { return FExcludeProperties; }
    void SetExcludeProperties(const TLumExcludePropertyListArray& Value);

    // One value: normally the object itself, so the text is one JSON object.
    void Write(TObject* AObject);
    // {"AName":[object, ...]}
    void WriteArray(const String& AName, const TVuzUdoectArray& AArray);

    TLumWriterCustomWritePropertyEvent OnCustomWriteProperty;
    TLumWriterCustomIsAssignablePropertyEvent OnCustomIsAssignableProperty;

private:
    void WriteObjectForm(TObject* AObject);
    void WriteProperty(TObject* AObject, PPropInfo AProp);
    void WriteColor(std::int64_t AValue);
    void WriteClassProperty(TObject* AObject, PPropInfo AProp);
    void WriteGenericList(TObject* AList, TLumElementKind AKind);
    void WriteGenericDictionary(TObject* ADictionary);
    void WriteCollection(TObject* ACollection);
    void WritePicture(TObject* APicture);
    void WriteStrings(TObject* AStrings);
    bool CanWriteProperty(TObject* AObject, PPropInfo AProp);
    bool IsAssignable(TObject* AObject, PPropInfo AProp);

    std::unique_ptr<TLumJSONWriter> FWriter;
    TObject* FIOReference { nullptr };
    TObject* FRootObject { nullptr };
    TLumExcludePropertyListArray FExcludeProperties;
};

// ---- reader ----

// A reference read from the text, set once the IO reference can resolve it.
class TVuzUdoectReference : public TObject {
public:
    TVuzUdoectReference(TObject* AInstance, PPropInfo AProp, String AId)
        : Instance(AInstance), Prop(AProp), Id(std::move(AId)) { }
    TObject* Instance { nullptr };
    PPropInfo Prop { nullptr };
    String Id;
};

class TLumReader : public TObject {
public:
    explicit TLumReader(TStream& AStream);
    ~TLumReader() override;

    TLumJSONReader& GetJSONReader() { return *FReader; }
    TObject* GetIOReference() const { return FIOReference; }
    void SetIOReference(TObject* Value);
    TObject* GetRootObject() const { return FRootObject; }
    void SetRootObject(TObject* Value);
    const TLumExcludePropertyListArray& GetExcludeProperties() const { return FExcludeProperties; }
    void SetExcludeProperties(const TLumExcludePropertyListArray& Value);

    // Reads one value into the existing object.
    void Read(TObject* AObject);
    // Reads one object form into a new object of the stored class (which must
    // descend from AClass); the caller owns it. Null when the IO reference
    // declined to make one.
    TObject* Read(TClass AClass);
    // Reads what TLumWriter::WriteArray wrote, but for the outer closing brace.
    TVuzUdoectArray ReadArray(const String& AName);
    // Sets the queued references through the IO reference's FindReference.
    void SolveReferences();

    TLumReaderCustomReadPropertyEvent OnCustomReadProperty;
    TLumWriterCustomIsAssignablePropertyEvent OnCustomIsAssignableProperty;

private:
    void ReadInto(TObject* AObject, TClass ADeclared);
    void ReadObjectForm(TObject* AObject);
    // A new object from an object form; AItemClass is the container's element
    // class, used when the text names none.
    std::unique_ptr<TObject> ReadNewObject(TClass AItemClass);
    TObject* MakeObject(const String& AClassName, TClass ABaseClass);
    void ReadMembers(TObject* AObject);
    void ReadProperty(TObject* AObject, PPropInfo AProp);
    void ReadOrdinal(TObject* AObject, PPropInfo AProp);
    void ReadColor(TObject* AObject, PPropInfo AProp);
    void ReadMethod(TObject* AObject, PPropInfo AProp);
    void ReadClassProperty(TObject* AObject, PPropInfo AProp);
    void ReadFMXFontSize(TObject* AFont);
    void ReadGenericList(TObject* AList, TLumElementKind AKind, TClass AElementClass);
    void ReadGenericDictionary(TObject* ADictionary);
    void ReadObjectList(TObject* AList);
    void ReadCollection(TObject* ACollection);
    void ReadPicture(TObject* APicture);
    void ReadStrings(TObject* AStrings);
    bool CanReadProperty(TObject* AObject, PPropInfo AProp);
    TClass ItemClassOf(TObject* AContainer, TClass AFallback);
    void AnnounceItem(TObject* AItem, TObject* AList);
    // The IO reference resolves properties of this class by id.
    bool IsReference(TClass ADeclared);

    std::vector<std::unique_ptr<TVuzUdoectReference>> FReferences;
    std::unique_ptr<TLumJSONReader> FReader;
    TObject* FIOReference { nullptr };
    TObject* FRootObject { nullptr };
    TLumExcludePropertyListArray FExcludeProperties;
};
