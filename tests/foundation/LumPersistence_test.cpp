#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "foundation/LumPersistence.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "tests/support/Fixtures.h"

namespace {

enum TShape { shCircle, shSquare, shStar };
QT_ENUM(TShape, shCircle, shSquare, shStar)
enum TEdge { edLeft, edTop, edRight };
QT_ENUM(TEdge, edLeft, edTop, edRight)
using TEdges = Set<TEdge>;

// A list element: a plain persistent whose constructor sets a non-zero default.
class TThing : public TPersistent {
    QT_CLASS(TThing, TPersistent)
public:
    const String& GetLabel() const { return FLabel; }
    void SetLabel(const String& v) { FLabel = v; }
    double GetWeight() const { return FWeight; }
    void SetWeight(double v) { FWeight = v; }

private:
    String FLabel;
    double FWeight { 7 };
};

class TBigThing : public TThing {
    QT_CLASS(TBigThing, TThing)
public:
    int GetSize() const { return FSize; }
    void SetSize(int v) { FSize = v; }

private:
    int FSize { 0 };
};

class TItem : public TCollectionItem {
    QT_CLASS(TItem, TCollectionItem)
public:
    explicit TItem(TCollection* c = nullptr) : TCollectionItem(c) { }
    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    int GetValue() const { return FValue; }
    void SetValue(int v) { FValue = v; }
    void Assign(TPersistent* source) override
    {
        if (auto* s = dynamic_cast<TItem*>(source)) {
            FCaption = s->FCaption;
            FValue = s->FValue;
        } else
            TCollectionItem::Assign(source);
    }

private:
    String FCaption;
    int FValue { 0 };
};

// Never registered: known only as a collection's item class.
class TLoneItem : public TItem {
    QT_CLASS(TLoneItem, TItem)
public:
    explicit TLoneItem(TCollection* c = nullptr) : TItem(c) { }
};

// A dictionary that owns its values, as the one persisted below must.
class TThingMap : public TDictionary<String, TThing*> {
public:
    ~TThingMap() override { Clear(); }
    void Clear() override
    {
        for (const auto& p : *this)
            delete p.second;
        TDictionary::Clear();
    }
};

class TNoProps : public TPersistent {
    QT_CLASS(TNoProps, TPersistent)
};

// One published property of every kind the format knows.
class TSample : public TComponent, public TLumJSONMethods<TSample> {
    QT_CLASS(TSample, TComponent)
public:
    explicit TSample(TComponent* AOwner = nullptr) : TComponent(AOwner) { }

    int GetCount() const { return FCount; }
    void SetCount(int v) { FCount = v; }
    std::uint8_t GetSmall() const { return FSmall; }
    void SetSmall(std::uint8_t v) { FSmall = v; }
    char16_t GetLetter() const { return FLetter; }
    void SetLetter(char16_t v) { FLetter = v; }
    TShape GetShape() const { return FShape; }
    void SetShape(TShape v) { FShape = v; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    TEdges GetEdges() const { return FEdges; }
    void SetEdges(TEdges v) { FEdges = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    const String& GetTitle() const { return FTitle; }
    void SetTitle(const String& v) { FTitle = v; }
    std::int64_t GetBig() const { return FBig; }
    void SetBig(std::int64_t v) { FBig = v; }
    int GetColor() const { return FColor; }
    void SetColor(int v) { FColor = v; }
    TThing* GetSub() const { return FSub.get(); }
    TCollection* GetItems() const { return FItems.get(); }
    TStringList* GetLines() const { return FLines.get(); }
    TList<String>* GetNames() const { return FNames.get(); }
    TList<int>* GetNumbers() const { return FNumbers.get(); }
    TList<double>* GetValues() const { return FValues.get(); }
    TObjectList<TThing>* GetThings() const { return FThings.get(); }
    TThingMap* GetMap() const { return FMap.get(); }
    TComponent* GetBuddy() const { return FBuddy; }
    void SetBuddy(TComponent* v) { FBuddy = v; }
    TFont* GetFont() const { return FFont.get(); }
    TPicture* GetPicture() const { return FPicture.get(); }
    TThing* GetLink() const { return FLink; }
    void SetLink(TThing* v) { FLink = v; }

    void HandleChange(TObject*) { ++FChanges; }
    void OtherHandler(TObject*) { }

    std::function<void(TObject*)> OnChange;
    int FChanges { 0 };

private:
    int FCount { 0 };
    std::uint8_t FSmall { 0 };
    char16_t FLetter { u'a' };
    TShape FShape { shCircle };
    bool FEnabled { false };
    TEdges FEdges;
    double FRatio { 0 };
    String FTitle;
    std::int64_t FBig { 0 };
    int FColor { 0 };
    std::unique_ptr<TThing> FSub { std::make_unique<TThing>() };
    std::unique_ptr<TCollection> FItems { std::make_unique<TCollection>(TItem::StaticClassInfo()) };
    std::unique_ptr<TStringList> FLines { std::make_unique<TStringList>() };
    std::unique_ptr<TList<String>> FNames { std::make_unique<TList<String>>() };
    std::unique_ptr<TList<int>> FNumbers { std::make_unique<TList<int>>() };
    std::unique_ptr<TList<double>> FValues { std::make_unique<TList<double>>() };
    std::unique_ptr<TObjectList<TThing>> FThings { std::make_unique<TObjectList<TThing>>() };
    std::unique_ptr<TThingMap> FMap { std::make_unique<TThingMap>() };
    TComponent* FBuddy { nullptr };
    TThing* FLink { nullptr };
    std::unique_ptr<TFont> FFont { std::make_unique<TFont>() };
    std::unique_ptr<TPicture> FPicture { std::make_unique<TPicture>() };
};

// Filters its own properties through the persistence interface.
class TFiltered : public TPersistent, public ILumPersistence {
    QT_CLASS(TFiltered, TPersistent)
public:
    int GetKeep() const { return FKeep; }
    void SetKeep(int v) { FKeep = v; }
    int GetSecret() const { return FSecret; }
    void SetSecret(int v) { FSecret = v; }

    void SaveSettingsToFile(const String&, bool) override { }
    void LoadSettingsFromFile(const String&) override { }
    void SaveSettingsToStream(TStream&, bool) override { }
    void LoadSettingsFromStream(TStream&) override { }
    bool CanWriteProperty(TObject*, const String& name, TTypeKind) override { return name != u"Secret"; }
    bool CanReadProperty(TObject*, const String& name, TTypeKind) override { return name != u"Keep"; }
    HRESULT QueryInterface(const TGUID&, void**) override { return E_NOINTERFACE; }
    int AddRef() override { return -1; }
    int Release() override { return -1; }

private:
    int FKeep { 0 };
    int FSecret { 0 };
};

class TExcludable : public TPersistent {
    QT_CLASS(TExcludable, TPersistent)
public:
    int GetWidth() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    int GetOcirc() const { return FOcirc; }
    void SetOcirc(int v) { FOcirc = v; }
    int GetOther() const { return FOther; }
    void SetOther(int v) { FOther = v; }

private:
    int FWidth { 1 }, FOcirc { 2 }, FOther { 3 };
};

// Resolves things by id and makes the objects the reader asks for.
class TRefIO : public TObject, public IVuzUdoectReferenceIO {
public:
    TObject* CreateObject(const String& AClassName, TClass BaseClass) override
    {
        ++Created;
        return TLumPersistence::CreateObject(AClassName, BaseClass);
    }
    bool IsReferenceClass(TClass AClass) override { return AClass->InheritsFrom(TThing::StaticClassInfo()); }
    void GetReferenceId(TObject* AObject, String& AId) override { AId = u"id:" + static_cast<TThing*>(AObject)->GetLabel(); }
    TObject* FindReference(const String& AId) override { return AId == u"id:x" ? Target : nullptr; }
    void ItemAdded(TObject*, TObject* AList) override { Lists.push_back(AList); }
    HRESULT QueryInterface(const TGUID&, void**) override { return E_NOINTERFACE; }
    int AddRef() override { return -1; }
    int Release() override { return -1; }

    TThing* Target { nullptr };
    int Created { 0 };
    std::vector<TObject*> Lists;
};

} // namespace

QT_PUBLISHED(TThing, QT_PROP(Label), QT_PROP(Weight))
QT_PUBLISHED(TBigThing, QT_PROP(Size))
QT_PUBLISHED(TItem, QT_PROP(Value), QT_PROP(Caption))
QT_PUBLISHED(TNoProps)
QT_PUBLISHED(TLoneItem)
QT_PUBLISHED(TSample,
    QT_PROP(Count), QT_PROP(Small), QT_PROP(Letter), QT_PROP(Shape), QT_PROP(Enabled), QT_PROP(Edges),
    QT_PROP(Ratio), QT_PROP(Title), QT_PROP(Big), QT_PROP_T(Color, u"TColor"), QT_PROP_RO(Sub), QT_PROP_RO(Items),
    QT_PROP_RO(Lines), QT_PROP_RO(Names), QT_PROP_RO(Numbers), QT_PROP_RO(Values), QT_PROP_RO(Things),
    QT_PROP_RO(Map), QT_PROP(Buddy), QT_PROP(Link), QT_PROP_RO(Font), QT_PROP_RO(Picture), QT_EVENT(OnChange), QT_METHOD(HandleChange), QT_METHOD(OtherHandler))
QT_PUBLISHED(TFiltered, QT_PROP(Keep), QT_PROP(Secret))
QT_PUBLISHED(TExcludable, QT_PROP(Width), QT_PROP(Ocirc), QT_PROP(Other))

namespace {

struct Registered {
    Registered()
    {
        RegisterClasses({ TThing::StaticClassInfo(), TBigThing::StaticClassInfo(), TItem::StaticClassInfo(),
            TSample::StaticClassInfo(), TNoProps::StaticClassInfo() });
    }
} registered;

// Every test starts from the process-wide defaults and leaves them so.
class LumPersistence : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ(TypeMemberName, u"$type");
        EXPECT_EQ(GlobalIOReference, nullptr);
        TypeMemberName = u"$type";
        GlobalExcludeProperties.clear();
        GlobalIOReference = nullptr;
        GlobalRootObject = nullptr;
    }
};

void Load(TObject* obj, const String& json)
{
    TStringStream s(json);
    TLumPersistence::LoadSettingsFromStream(obj, s);
}

// Fills every property with a value other than its default.
void Fill(TSample& s)
{
    s.SetCount(-42);
    s.SetSmall(200);
    s.SetLetter(u'\u00E9');
    s.SetShape(shStar);
    s.SetEnabled(true);
    s.SetEdges({ edLeft, edRight });
    s.SetRatio(1.5);
    s.SetTitle(u"caf\u00E9 \"quoted\"");
    s.SetBig(5000000000LL);
    s.SetColor(0x123456);
    s.GetSub()->SetLabel(u"sub");
    s.GetSub()->SetWeight(0.25);
    for (int i = 0; i < 2; ++i) {
        auto* item = static_cast<TItem*>(s.GetItems()->Add());
        item->SetCaption(i ? u"second" : u"first");
        item->SetValue(i + 10);
    }
    s.GetLines()->Add(u"one");
    s.GetLines()->Add(u"");
    s.GetLines()->Add(u"three");
    s.GetNames()->AddRange(std::vector<String> { u"x", u"y" });
    s.GetNumbers()->AddRange(std::vector<int> { 3, -1, 2147483647 });
    s.GetValues()->AddRange(std::vector<double> { 0.5, -1e300 });
    auto* thing = new TThing;
    thing->SetLabel(u"plain");
    s.GetThings()->Add(thing);
    auto* big = new TBigThing;
    big->SetLabel(u"big");
    big->SetSize(9);
    s.GetThings()->Add(big);
    auto* mapped = new TThing;
    mapped->SetLabel(u"mapped");
    s.GetMap()->Add(u"key one", mapped);
    s.GetFont()->SetSize(12);
    s.GetFont()->SetStyle({ fsBold, fsItalic });
    s.GetFont()->SetColor(clBtnFace);
    TBitmap* bmp = s.GetPicture()->GetBitmap();
    bmp->SetSize(3, 2);
    bmp->GetCanvas()->SetPixel(2, 1, clRed);
}

void ExpectFilled(TSample& s)
{
    EXPECT_EQ(s.GetCount(), -42);
    EXPECT_EQ(s.GetSmall(), 200);
    EXPECT_EQ(s.GetLetter(), u'\u00E9');
    EXPECT_EQ(s.GetShape(), shStar);
    EXPECT_TRUE(s.GetEnabled());
    EXPECT_EQ(s.GetEdges(), (TEdges { edLeft, edRight }));
    EXPECT_EQ(s.GetRatio(), 1.5);
    EXPECT_EQ(s.GetTitle(), u"caf\u00E9 \"quoted\"");
    EXPECT_EQ(s.GetBig(), 5000000000LL);
    EXPECT_EQ(s.GetColor(), 0x123456);
    EXPECT_EQ(s.GetSub()->GetLabel(), u"sub");
    EXPECT_EQ(s.GetSub()->GetWeight(), 0.25);
    ASSERT_EQ(s.GetItems()->GetCount(), 2);
    EXPECT_EQ(static_cast<TItem*>(s.GetItems()->GetItem(1))->GetCaption(), u"second");
    EXPECT_EQ(static_cast<TItem*>(s.GetItems()->GetItem(1))->GetValue(), 11);
    EXPECT_EQ(s.GetLines()->GetCommaText(), u"one,,three");
    EXPECT_EQ(s.GetNames()->ToVector(), (std::vector<String> { u"x", u"y" }));
    EXPECT_EQ(s.GetNumbers()->ToVector(), (std::vector<int> { 3, -1, 2147483647 }));
    EXPECT_EQ(s.GetValues()->ToVector(), (std::vector<double> { 0.5, -1e300 }));
    ASSERT_EQ(s.GetThings()->GetCount(), 2);
    ASSERT_NE(s.GetThings()->GetItem(0), nullptr);
    EXPECT_EQ(s.GetThings()->GetItem(0)->ClassName(), u"TThing");
    EXPECT_EQ(s.GetThings()->GetItem(0)->GetLabel(), u"plain");
    auto* big = dynamic_cast<TBigThing*>(s.GetThings()->GetItem(1));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->GetSize(), 9);
    ASSERT_EQ(s.GetMap()->GetCount(), 1);
    EXPECT_EQ(s.GetMap()->GetItem(u"key one")->GetLabel(), u"mapped");
    EXPECT_EQ(s.GetFont()->GetSize(), 12);
    EXPECT_EQ(s.GetFont()->GetStyle(), (TFontStyles { fsBold, fsItalic }));
    // A system colour is stored as what it shows now.
    EXPECT_EQ(s.GetFont()->GetColor(), ColorToRGB(clBtnFace));
    TGraphic* graphic = s.GetPicture()->GetGraphic();
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(graphic->GetWidth(), 3);
    EXPECT_EQ(graphic->GetHeight(), 2);
    EXPECT_EQ(s.GetPicture()->GetBitmap()->GetCanvas()->GetPixel(2, 1), clRed);
}

} // namespace

TEST_F(LumPersistence, ObjectFormIsCompactWithClassNameFirstAndPropertiesByName)
{
    TThing thing;
    thing.SetLabel(u"\u00FCber");
    thing.SetWeight(1.5);
    TNoProps none;
    EXPECT_EQ(TLumPersistence::ToJSON(&thing), u"{\"$type\":\"TThing\",\"Label\":\"\\u00FCber\",\"Weight\":1.5}");
    EXPECT_EQ(TLumPersistence::ToJSON(&none), u"{\"$type\":\"TNoProps\"}");
    // Properties of TItem are declared Value, Caption; the text sorts them.
    TItem item;
    EXPECT_EQ(TLumPersistence::ToJSON(&item), u"{\"$type\":\"TItem\",\"Caption\":\"\",\"Value\":0}");
    TypeMemberName.clear();
    EXPECT_EQ(TLumPersistence::ToJSON(&none), u"{}");
    TypeMemberName = u"$type";
}

TEST_F(LumPersistence, FontTextIsExactAndPixelSizesAreConverted)
{
    TFont font;
    font.SetCharset(1);
    font.SetColor(clBlack);
    font.SetHeight(-11);
    font.SetName(u"Tahoma");
    font.SetStyle({ fsBold });
    EXPECT_EQ(TLumPersistence::ToJSON(&font),
        u"{\"$type\":\"TFont\",\"Charset\":1,\"Color\":\"#000000\",\"Height\":-11,\"Name\":\"Tahoma\","
        u"\"Orientation\":0,\"Pitch\":0,\"Quality\":0,\"Size\":8,\"IsFMX\":false,\"Style\":1}");

    struct Case {
        const char16_t* IsFMX;
        int Size;
    };
    const Case cases[] = { { u"true", 9 }, { u"false", 12 }, { u"null", 12 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.IsFMX));
        Load(&font, u"{\"$type\":\"TFont\",\"Size\":12,\"IsFMX\":" + String(c.IsFMX) + u",\"Name\":\"Arial\"}");
        EXPECT_EQ(font.GetSize(), c.Size);
        EXPECT_EQ(font.GetName(), u"Arial");
    }
}

TEST_F(LumPersistence, EmptyPicturesAreEmptyTextAndEmptyTextKeepsThePicture)
{
    TSample s;
    EXPECT_NE(s.ToJSON().find(u"\"Picture\":\"\""), String::npos);
    s.GetPicture()->GetBitmap()->SetSize(4, 4);
    for (const char16_t* value : { u"\"\"", u"null" }) {
        Load(&s, u"{\"$type\":\"TSample\",\"Picture\":" + String(value) + u"}");
        ASSERT_NE(s.GetPicture()->GetGraphic(), nullptr);
        EXPECT_EQ(s.GetPicture()->GetWidth(), 4);
    }
}

TEST_F(LumPersistence, EveryKindRoundTripsAlsoUnderACommaDecimalLocale)
{
    const Char separators[][2] = { { u'.', u',' }, { u',', u'.' } };
    TFormatSettings& fs = ProcessFormatSettings();
    const TFormatSettings saved = fs;
    for (const auto& sep : separators) {
        SCOPED_TRACE(StringToUtf8(String(1, sep[0])));
        fs.DecimalSeparator = sep[0];
        fs.ThousandSeparator = sep[1];
        TSample a;
        Fill(a);
        const String text = a.ToJSON();
        EXPECT_NE(text.find(u"\"Ratio\":1.5,"), String::npos) << StringToUtf8(text);
        EXPECT_NE(text.find(u"\"Big\":5000000000,"), String::npos);
        EXPECT_NE(text.find(u"\"Lines\":[\"one\",\"\",\"three\"]"), String::npos);
        EXPECT_NE(text.find(u"\"Map\":[{\"key one\":{\"$type\":\"TThing\""), String::npos);

        TSample b;
        b.GetThings()->Add(new TThing); // replaced, not kept
        TStringStream stream(text);
        b.LoadFromJSONStream(stream);
        ExpectFilled(b);
        EXPECT_EQ(b.ToJSON(), text);
        EXPECT_EQ(fs.DecimalSeparator, sep[0]);
        EXPECT_EQ(fs.ThousandSeparator, sep[1]);
    }
    fs = saved;
}

TEST_F(LumPersistence, FileRoundTrip)
{
    testsupport::TempDir dir;
    const String file = Utf8ToString((dir / "sample.json").string());
    TSample a;
    Fill(a);
    a.SaveToJSONFile(file);
    TSample b;
    b.LoadFromJSONFile(file);
    ExpectFilled(b);
}

TEST_F(LumPersistence, ColoursAreWrittenAsRGBTextOrByName)
{
    struct Case {
        int Color;
        const char16_t* Text;
    };
    const Case cases[] = {
        { -1, u"gcNull" },
        { 0x1FFFFFFF, u"clNone" },
        { 0x20000000, u"clDefault" },
        { 0x0000FF, u"#FF0000" },
        { 0xFF0000, u"#0000FF" },
        { 0x123456, u"#563412" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        TSample a;
        a.SetColor(c.Color);
        const String text = a.ToJSON();
        EXPECT_NE(text.find(u"\"Color\":\"" + String(c.Text) + u"\""), String::npos) << StringToUtf8(text);
        TSample b;
        b.SetColor(777);
        Load(&b, text);
        EXPECT_EQ(b.GetColor(), c.Color);
    }
}

TEST_F(LumPersistence, ColourTextIsReadInEitherCaseAndBadTextChangesNothing)
{
    struct Case {
        const char16_t* Text;
        int Expected;
    };
    const Case cases[] = {
        { u"#FF0000", 0x0000FF },
        { u"#ff0000", 0x0000FF },
        { u"#aBcDeF", 0xEFCDAB },
        { u"red", 777 },
        { u"#12345", 777 },
        { u"#1234567", 777 },
        { u"#GG0000", 777 },
        { u"", 777 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        TSample s;
        s.SetColor(777);
        Load(&s, u"{\"$type\":\"TSample\",\"Color\":\"" + String(c.Text) + u"\"}");
        EXPECT_EQ(s.GetColor(), c.Expected);
    }
}

TEST_F(LumPersistence, OrdinalsOutsideTheirTypeLeaveThePropertyUnchanged)
{
    struct Case {
        const char16_t* Member;
        std::int64_t Value;
        bool Taken;
    };
    const Case cases[] = {
        { u"Shape", 2, true },
        { u"Shape", 3, false },
        { u"Shape", -1, false },
        { u"Edges", 0b101, true },
        { u"Edges", 0b1000, false },
        { u"Edges", -1, false },
        { u"Small", 255, true },
        { u"Small", 256, false },
        { u"Count", 2147483647, true },
        { u"Count", 2147483648LL, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Member) + " " + std::to_string(c.Value));
        TSample s;
        s.SetShape(shSquare);
        s.SetEdges({ edTop });
        s.SetSmall(7);
        s.SetCount(7);
        const String before = s.ToJSON();
        Load(&s, u"{\"$type\":\"TSample\",\"" + String(c.Member) + u"\":" + IntToStr(c.Value) + u"}");
        if (c.Taken)
            EXPECT_EQ(GetOrdProp(&s, c.Member), c.Value);
        else
            EXPECT_EQ(s.ToJSON(), before);
    }
}

TEST_F(LumPersistence, ExcludedPropertiesAreLeftOutOnBothSides)
{
    TExcludable e;
    GlobalExcludeProperties = { u"WIDTH" };
    EXPECT_EQ(TLumPersistence::ToJSON(&e), u"{\"$type\":\"TExcludable\",\"Ocirc\":2,\"Other\":3}");
    Load(&e, u"{\"$type\":\"TExcludable\",\"Width\":10,\"Ocirc\":20}");
    EXPECT_EQ(e.GetWidth(), 1);
    EXPECT_EQ(e.GetOcirc(), 20);

    // Names holding an accent word match only exactly.
    GlobalExcludeProperties = { u"ocirc" };
    EXPECT_NE(TLumPersistence::ToJSON(&e).find(u"Ocirc"), String::npos);
    GlobalExcludeProperties = { u"Ocirc" };
    EXPECT_EQ(TLumPersistence::ToJSON(&e).find(u"Ocirc"), String::npos);
    GlobalExcludeProperties.clear();

    // A per-call list replaces the global one for the call only.
    GlobalExcludeProperties = { u"Other" };
    EXPECT_EQ(TLumPersistence::ToJSON(&e, { u"Ocirc", u"Width" }), u"{\"$type\":\"TExcludable\",\"Other\":3}");
    EXPECT_EQ(GlobalExcludeProperties, (TLumExcludePropertyListArray { u"Other" }));
}

TEST_F(LumPersistence, ObjectsWithThePersistenceInterfaceFilterTheirOwnProperties)
{
    TFiltered f;
    f.SetKeep(1);
    f.SetSecret(2);
    GlobalExcludeProperties = { u"Keep" }; // not consulted for such objects
    EXPECT_EQ(TLumPersistence::ToJSON(&f), u"{\"$type\":\"TFiltered\",\"Keep\":1}");
    Load(&f, u"{\"$type\":\"TFiltered\",\"Keep\":5,\"Secret\":6}");
    EXPECT_EQ(f.GetKeep(), 1);
    EXPECT_EQ(f.GetSecret(), 6);
}

TEST_F(LumPersistence, CustomWriteAndReadHooksDecidePerProperty)
{
    TExcludable e;
    TLumPersistence::OnCustomWriteProperty = [](TObject*, const String& name, TTypeKind, TLumJSONWriter& w, bool& can) {
        if (name == u"Other") {
            w.WriteName(u"Extra");
            w.WriteInteger(99);
            can = false;
        }
    };
    String text = TLumPersistence::ToJSON(&e);
    TLumPersistence::OnCustomWriteProperty = nullptr;
    EXPECT_EQ(text, u"{\"$type\":\"TExcludable\",\"Ocirc\":2,\"Extra\":99,\"Width\":1}");

    int seen = 0;
    TLumPersistence::OnCustomReadProperty = [&](TObject*, const String& name, TTypeKind kind, TLumJSONReader& r, bool& can) {
        if (name == u"Width") {
            EXPECT_EQ(kind, tkInteger);
            seen = r.ReadInteger();
            can = false;
        }
    };
    Load(&e, u"{\"$type\":\"TExcludable\",\"Width\":10,\"Other\":30}");
    TLumPersistence::OnCustomReadProperty = nullptr;
    EXPECT_EQ(seen, 10);
    EXPECT_EQ(e.GetWidth(), 1);
    EXPECT_EQ(e.GetOther(), 30);
}

TEST_F(LumPersistence, HandlersAreBoundByNameThroughTheRootObject)
{
    TSample root;
    TSample a;
    a.OnChange = [](TObject*) { };
    EXPECT_NE(a.ToJSON().find(u"\"OnChange\":null"), String::npos) << "no root: null";

    GlobalRootObject = &root;
    SetMethodProp(&a, u"OnChange", FindMethod(&root, u"HandleChange"));
    const String text = a.ToJSON();
    EXPECT_NE(text.find(u"\"OnChange\":\"HandleChange\""), String::npos);

    TSample b;
    Load(&b, text);
    ASSERT_TRUE(b.OnChange);
    b.OnChange(&b);
    EXPECT_EQ(root.FChanges, 1);

    // Neither null nor a name that binds to nothing unhooks a handler, with
    // or without a root object.
    for (TObject* r : { static_cast<TObject*>(&root), static_cast<TObject*>(nullptr) }) {
        GlobalRootObject = r;
        for (const char16_t* value : { u"null", u"\"NoSuchMethod\"", u"\"\"", u"\"HandleChange\"" }) {
            SCOPED_TRACE(StringToUtf8(value) + (r ? " with root" : " without root"));
            TSample c;
            int calls = 0;
            c.OnChange = [&](TObject*) { ++calls; };
            Load(&c, u"{\"$type\":\"TSample\",\"OnChange\":" + String(value) + u"}");
            ASSERT_TRUE(c.OnChange);
            c.OnChange(&c);
            const bool rebound = r && String(value) == u"\"HandleChange\"";
            EXPECT_EQ(calls, rebound ? 0 : 1);
        }
    }
    GlobalRootObject = nullptr;
}

TEST_F(LumPersistence, ComponentReferencesAreNamesWithinTheRoot)
{
    TComponent root;
    auto* button = new TComponent(&root);
    button->SetName(u"Button1");
    auto* a = new TSample(&root);
    a->SetBuddy(button);
    EXPECT_NE(a->ToJSON().find(u"\"Buddy\":\"Button1\""), String::npos);
    const String text = a->ToJSON();
    a->SetBuddy(nullptr);
    EXPECT_NE(a->ToJSON().find(u"\"Buddy\":\"\""), String::npos);

    TSample b;
    GlobalRootObject = &root;
    Load(&b, text);
    EXPECT_EQ(b.GetBuddy(), button);
    Load(&b, u"{\"$type\":\"TSample\",\"Buddy\":\"\"}");
    EXPECT_EQ(b.GetBuddy(), nullptr);
    GlobalRootObject = nullptr;
    // Without a root component the name is read and nothing is set.
    Load(&b, text);
    EXPECT_EQ(b.GetBuddy(), nullptr);
}

TEST_F(LumPersistence, FromJSONCreatesItemsWithOrWithoutClassNames)
{
    TSample a;
    Fill(a);
    const String full = a.ToJSON();
    // The same settings without any class-name member: items take the class
    // their container declares.
    const String bare = u"{\"Items\":[{\"Caption\":\"only\",\"Value\":5}],\"Things\":[{\"Label\":\"t\"},null],"
                        u"\"Map\":[{\"k\":{\"Label\":\"m\"}}],\"Names\":[\"n\",null]}";
    {
        TSample b;
        b.FromJSON(full);
        ExpectFilled(b);
    }
    TSample c;
    c.FromJSON(bare);
    ASSERT_EQ(c.GetItems()->GetCount(), 1);
    EXPECT_EQ(static_cast<TItem*>(c.GetItems()->GetItem(0))->GetCaption(), u"only");
    EXPECT_EQ(static_cast<TItem*>(c.GetItems()->GetItem(0))->GetValue(), 5);
    ASSERT_EQ(c.GetThings()->GetCount(), 1);
    EXPECT_EQ(c.GetThings()->GetItem(0)->GetLabel(), u"t");
    EXPECT_EQ(c.GetThings()->GetItem(0)->GetWeight(), 7) << "made by its constructor";
    EXPECT_EQ(c.GetMap()->GetItem(u"k")->GetLabel(), u"m");
    EXPECT_EQ(c.GetNames()->ToVector(), std::vector<String> { u"n" });
}

TEST_F(LumPersistence, CollectionItemsOfTheDeclaredClassNeedNoRegistration)
{
    for (const char16_t* text : { u"[{\"Caption\":\"a\"},{\"Value\":2}]",
             u"[{\"$type\":\"TLoneItem\",\"Caption\":\"a\"},{\"$type\":\"TLoneItem\",\"Value\":2}]" }) {
        SCOPED_TRACE(StringToUtf8(text));
        TCollection items(TLoneItem::StaticClassInfo());
        TLumPersistence::FromJSON(&items, text);
        ASSERT_EQ(items.GetCount(), 2);
        EXPECT_EQ(static_cast<TItem*>(items.GetItem(0))->GetCaption(), u"a");
        EXPECT_EQ(static_cast<TItem*>(items.GetItem(1))->GetValue(), 2);
    }
}

TEST_F(LumPersistence, FromJSONRestoresItsStateWhenTheLoadFails)
{
    TSample s;
    EXPECT_THROW(s.FromJSON(u"{\"Count\":"), Exception);
    EXPECT_THROW(s.FromJSON(u"{\"Things\":[{\"$type\":\"TUnknownThing\"}]}"), ELumReaderException);
    // TearDown checks TypeMemberName and GlobalIOReference.
}

TEST_F(LumPersistence, ReaderSkipsUnknownMembersAndMatchesNamesWithoutCase)
{
    TSample s;
    Load(&s,
        u"{\"$type\":\"TSample\",\"Unknown1\":{\"a\":[1,{\"b\":null}]},\"count\":3,\"Unknown2\":[[],{}],"
        u"\"TITLE\":\"t\",\"Unknown3\":\"x\",\"Big\":-5000000000}");
    EXPECT_EQ(s.GetCount(), 3);
    EXPECT_EQ(s.GetTitle(), u"t");
    EXPECT_EQ(s.GetBig(), -5000000000LL);
}

TEST_F(LumPersistence, ReaderErrors)
{
    struct Case {
        const char16_t* Json;
        const char16_t* Message; // empty: any exception
    };
    const Case cases[] = {
        { u"{}", u"\"$type\" property not found in Object descriptor." },
        { u"{\"Count\":1}", u"\"$type\" property not found in Object descriptor." },
        { u"{\"$Type\":\"TSample\"}", u"\"$type\" property not found in Object descriptor." },
        { u"{\"$type\":\"TSample\",\"Things\":[{\"$type\":\"TMissing\"}]}", u"Type \"TMissing\" not found" },
        { u"{\"$type\":\"TSample\",\"Things\":[{\"$type\":\"TItem\"}]}", u"Type \"TItem\" does not inherit from TThing" },
        { u"{\"$type\":\"TSample\",\"Things\":[{\"Label\":\"x\"}]}", u"\"$type\" property not found in Object descriptor." },
        { u"{\"$type\":\"TSample\",\"Count\":\"many\"}", u"" },
        { u"{\"$type\":\"TSample\",\"Count\":1", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Json));
        TSample s;
        try {
            Load(&s, c.Json);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            if (*c.Message) {
                EXPECT_EQ(e.Message, c.Message);
            }
        }
    }
}

TEST_F(LumPersistence, ListsAreEmptiedBeforeReadingAndNullElementsSkipped)
{
    TSample s;
    Fill(s);
    Load(&s, u"{\"$type\":\"TSample\",\"Lines\":[null,\"a\"],\"Names\":[],\"Numbers\":[null],\"Things\":[],"
             u"\"Items\":[],\"Map\":[null]}");
    EXPECT_EQ(s.GetLines()->GetCommaText(), u"a");
    EXPECT_EQ(s.GetNames()->GetCount(), 0);
    EXPECT_EQ(s.GetNumbers()->GetCount(), 0);
    EXPECT_EQ(s.GetThings()->GetCount(), 0);
    EXPECT_EQ(s.GetItems()->GetCount(), 0);
    EXPECT_EQ(s.GetMap()->GetCount(), 0);
}

TEST_F(LumPersistence, EmptyListEntriesAreWrittenAsNull)
{
    TSample s;
    s.GetThings()->Add(nullptr);
    EXPECT_NE(s.ToJSON().find(u"\"Things\":[null]"), String::npos);
}

TEST_F(LumPersistence, CreateObjectRunsTheConstructor)
{
    std::unique_ptr<TObject> thing(TLumPersistence::CreateObject(u"tthing", TPersistent::StaticClassInfo()));
    ASSERT_NE(dynamic_cast<TThing*>(thing.get()), nullptr);
    EXPECT_EQ(static_cast<TThing*>(thing.get())->GetWeight(), 7);
    std::unique_ptr<TObject> item(TLumPersistence::CreateObject(u"TItem", nullptr));
    EXPECT_EQ(static_cast<TItem*>(item.get())->GetCollection(), nullptr);
    std::unique_ptr<TObject> sample(TLumPersistence::CreateObject(u"TSample", TComponent::StaticClassInfo()));
    EXPECT_EQ(static_cast<TSample*>(sample.get())->GetOwner(), nullptr);
    EXPECT_THROW(TLumPersistence::CreateObject(u"TThing", TComponent::StaticClassInfo()), ELumReaderException);
}

TEST_F(LumPersistence, ClassTestsLookAtClassesAndElementTypes)
{
    struct Case {
        TClass Class;
        bool GenericList, StringList, IntegerList, Dictionary, Collection, Strings, Component;
    };
    const Case cases[] = {
        { TList<String>::StaticClassInfo(), true, true, false, false, false, false, false },
        { TList<int>::StaticClassInfo(), true, false, true, false, false, false, false },
        { TObjectList<TThing>::StaticClassInfo(), true, false, false, false, false, false, false },
        { TDictionary<String, TThing*>::StaticClassInfo(), false, false, false, true, false, false, false },
        { TCollection::StaticClassInfo(), false, false, false, false, true, false, false },
        { TStringList::StaticClassInfo(), false, false, false, false, false, true, false },
        { TSample::StaticClassInfo(), false, false, false, false, false, false, true },
        { TThing::StaticClassInfo(), false, false, false, false, false, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Class->Name));
        EXPECT_EQ(TLumPersistence::IsGenericList(c.Class), c.GenericList);
        EXPECT_EQ(TLumPersistence::IsGenericList(c.Class, u"String"), c.StringList);
        EXPECT_EQ(TLumPersistence::IsGenericList(c.Class, u"integer"), c.IntegerList);
        EXPECT_EQ(TLumPersistence::IsGenericDictionary(c.Class), c.Dictionary);
        EXPECT_EQ(TLumPersistence::IsCollection(c.Class), c.Collection);
        EXPECT_EQ(TLumPersistence::IsStrings(c.Class), c.Strings);
        EXPECT_EQ(TLumPersistence::IsComponent(c.Class), c.Component);
    }
    // A class name that merely contains "String" is not a list of strings.
    static const TClassInfo stringGrid(u"TStringGrid", TThing::StaticClassInfo(), nullptr);
    static const TClassInfo gridList(u"TList<TStringGrid>", TGenericList::StaticClassInfo(), nullptr);
    EXPECT_FALSE(TLumPersistence::IsGenericList(&gridList, u"String"));
    EXPECT_EQ(TLumPersistence::GenericListElementKind(&gridList), TLumElementKind::Object);
}

TEST_F(LumPersistence, WriteArrayAndReadArray)
{
    TThing a, b;
    a.SetLabel(u"a");
    b.SetLabel(u"b");
    TStringStream stream;
    {
        TLumWriter writer(stream);
        writer.WriteArray(u"Things", { &a, &b });
    }
    EXPECT_EQ(stream.GetDataString(),
        u"{\"Things\":[{\"$type\":\"TThing\",\"Label\":\"a\",\"Weight\":7},{\"$type\":\"TThing\",\"Label\":\"b\",\"Weight\":7}]}");
    stream.SetPosition(0);
    TLumReader reader(stream);
    TVuzUdoectArray read = reader.ReadArray(u"Things");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(static_cast<TThing*>(read[1])->GetLabel(), u"b");
    for (TObject* o : read)
        delete o;
}

TEST_F(LumPersistence, LogHandsTheTextToTheHook)
{
    TThing t;
    String logged;
    TLumPersistence::LogHook = [&](const String& s) { logged = s; };
    TLumPersistence::Log(&t);
    TLumPersistence::LogHook = nullptr;
    EXPECT_EQ(logged, TLumPersistence::ToJSON(&t));
}

TEST_F(LumPersistence, AnIOReferenceWritesAndResolvesIds)
{
    TThing x;
    x.SetLabel(u"x");
    TSample a;
    a.SetLink(&x);
    a.GetThings()->Add(new TThing);
    TRefIO io;
    io.Target = &x;
    GlobalIOReference = &io;
    const String text = a.ToJSON();
    EXPECT_NE(text.find(u"\"Link\":\"id:x\""), String::npos) << StringToUtf8(text);

    TSample b;
    TStringStream stream(text);
    TLumReader reader(stream);
    reader.SetIOReference(&io);
    reader.Read(&b);
    EXPECT_EQ(b.GetLink(), nullptr) << "set only when the references are solved";
    reader.SolveReferences();
    EXPECT_EQ(b.GetLink(), &x);
    EXPECT_EQ(io.Created, 1);
    EXPECT_EQ(io.Lists, std::vector<TObject*> { b.GetThings() });
    GlobalIOReference = nullptr;
}
