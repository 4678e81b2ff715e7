// The JSON persistence loader: a stored object's text is read into an
// object with one published property of every kind the format knows
// (numbers, enumerations, sets, text, colours, sub-objects, collections,
// lists, object lists with class names, dictionaries, fonts, pictures). A
// bad text must give an exception of the library's own.
#include "foundation/LumPersistence.h"
#include "fuzz/FuzzSupport.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

namespace {

enum TShape { shCircle, shSquare, shStar };
QT_ENUM(TShape, shCircle, shSquare, shStar)
enum TEdge { edLeft, edTop, edRight };
QT_ENUM(TEdge, edLeft, edTop, edRight)
using TEdges = Set<TEdge>;

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

class TItem : public TCollectionItem {
    QT_CLASS(TItem, TCollectionItem)
public:
    explicit TItem(TCollection* c = nullptr) : TCollectionItem(c) { }
    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    int GetValue() const { return FValue; }
    void SetValue(int v) { FValue = v; }

private:
    String FCaption;
    int FValue { 0 };
};

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

class TSample : public TComponent {
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
    TDateTime GetWhen() const { return FWhen; }
    void SetWhen(TDateTime v) { FWhen = v; }
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

    void HandleChange(TObject*) { }
    std::function<void(TObject*)> OnChange;

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
    TDateTime FWhen { 0 };
    std::unique_ptr<TThing> FSub { std::make_unique<TThing>() };
    std::unique_ptr<TCollection> FItems { std::make_unique<TCollection>(TItem::StaticClassInfo()) };
    std::unique_ptr<TStringList> FLines { std::make_unique<TStringList>() };
    std::unique_ptr<TList<String>> FNames { std::make_unique<TList<String>>() };
    std::unique_ptr<TList<int>> FNumbers { std::make_unique<TList<int>>() };
    std::unique_ptr<TList<double>> FValues { std::make_unique<TList<double>>() };
    std::unique_ptr<TObjectList<TThing>> FThings { std::make_unique<TObjectList<TThing>>() };
    std::unique_ptr<TThingMap> FMap { std::make_unique<TThingMap>() };
    TComponent* FBuddy { nullptr };
    std::unique_ptr<TFont> FFont { std::make_unique<TFont>() };
    std::unique_ptr<TPicture> FPicture { std::make_unique<TPicture>() };
};

} // namespace

QT_PUBLISHED(TThing, QT_PROP(Label), QT_PROP(Weight))
QT_PUBLISHED(TItem, QT_PROP(Value), QT_PROP(Caption))
QT_PUBLISHED(TSample,
    QT_PROP(Count), QT_PROP(Small), QT_PROP(Letter), QT_PROP(Shape), QT_PROP(Enabled), QT_PROP(Edges),
    QT_PROP(Ratio), QT_PROP(Title), QT_PROP(Big), QT_PROP_T(Color, u"TColor"), QT_PROP_T(When, u"TDateTime"),
    QT_PROP_RO(Sub), QT_PROP_RO(Items), QT_PROP_RO(Lines), QT_PROP_RO(Names), QT_PROP_RO(Numbers),
    QT_PROP_RO(Values), QT_PROP_RO(Things), QT_PROP_RO(Map), QT_PROP(Buddy), QT_PROP_RO(Font), QT_PROP_RO(Picture),
    QT_EVENT(OnChange), QT_METHOD(HandleChange))

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UsePrivateFolders();
    RegisterClasses({ TThing::StaticClassInfo(), TItem::StaticClassInfo(), TSample::StaticClassInfo() });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const String json = fuzz::Text(std::string_view(reinterpret_cast<const char*>(data), size));
    TComponent root;
    auto* sample = new TSample(&root);
    sample->SetName(u"Sample");
    auto* buddy = new TSample(&root);
    buddy->SetName(u"Buddy");
    try {
        TLumPersistence::FromJSON(sample, json);
    } catch (const Exception&) {
    }
    return 0;
}
