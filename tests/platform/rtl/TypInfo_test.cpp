#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/TypInfo.h"

namespace {

enum TAlign { alNone, alTop, alBottom, alClient };
QT_ENUM(TAlign, alNone, alTop, alBottom, alClient)

enum class TFontStyle { fsBold, fsItalic, fsUnderline };
QT_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline)
using TFontStyles = Set<TFontStyle>;

class TFontLike : public TPersistent {
    QT_CLASS(TFontLike, TPersistent)
public:
    int GetSize() const { return m_size; }
    void SetSize(int v) { m_size = v; }

private:
    int m_size { 8 };
};

// A component with one published property of every storage class. The
// constructor sets non-zero defaults so a factory that skips it shows.
class TWidget : public TComponent {
    QT_CLASS(TWidget, TComponent)
public:
    explicit TWidget(TComponent* AOwner) : TComponent(AOwner) { m_font = std::make_unique<TFontLike>(); }

    int GetWidth() const { return m_width; }
    void SetWidth(int v) { m_width = v; }
    std::uint32_t GetColor() const { return m_color; }
    void SetColor(std::uint32_t v) { m_color = v; }
    bool GetVisible() const { return m_visible; }
    void SetVisible(bool v) { m_visible = v; }
    TAlign GetAlign() const { return m_align; }
    void SetAlign(TAlign v) { m_align = v; }
    TFontStyles GetStyle() const { return m_style; }
    void SetStyle(TFontStyles v) { m_style = v; }
    double GetOpacity() const { return m_opacity; }
    void SetOpacity(double v) { m_opacity = v; }
    const String& GetCaption() const { return m_caption; }
    void SetCaption(const String& v) { m_caption = v; }
    std::int64_t GetBig() const { return m_big; }
    void SetBig(std::int64_t v) { m_big = v; }
    char16_t GetAccel() const { return m_accel; }
    void SetAccel(char16_t v) { m_accel = v; }
    TFontLike* GetFont() const { return m_font.get(); }
    void SetFont(TFontLike* v) { m_font->SetSize(v ? v->GetSize() : 8); }
    TComponent* GetBuddy() const { return m_buddy; }
    void SetBuddy(TComponent* v) { m_buddy = v; }
    String GetKind() const { return u"widget"; }

    std::function<void(TObject*)> OnClick;
    std::function<void(TObject*, int, bool&)> OnCheck;

private:
    int m_width { 10 };
    std::uint32_t m_color { 0xFF };
    bool m_visible { true };
    TAlign m_align { alTop };
    TFontStyles m_style { TFontStyle::fsItalic };
    double m_opacity { 1 };
    String m_caption { u"ok" };
    std::int64_t m_big { 0 };
    char16_t m_accel { u'A' };
    std::unique_ptr<TFontLike> m_font;
    TComponent* m_buddy { nullptr };
};

// Declared out of alphabetical order on purpose.
QT_PUBLISHED(TFontLike, QT_PROP(Size))
QT_PUBLISHED(TWidget,
    QT_PROP(Width),
    QT_PROP_T(Color, u"TColor"),
    QT_PROP(Visible),
    QT_PROP(Align),
    QT_PROP_T(Style, u"TFontStyles"),
    QT_PROP(Opacity),
    QT_PROP(Caption),
    QT_PROP(Big),
    QT_PROP(Accel),
    QT_PROP(Font),
    QT_PROP(Buddy),
    QT_PROP_RO(Kind),
    QT_EVENT(OnClick),
    QT_EVENT(OnCheck))

class TPanelWidget : public TWidget {
    QT_CLASS(TPanelWidget, TWidget)
public:
    using TWidget::TWidget;
    String GetBevel() const { return m_bevel; }
    void SetBevel(const String& v) { m_bevel = v; }

private:
    String m_bevel;
};
QT_PUBLISHED(TPanelWidget, QT_PROP(Bevel))

// A form with published handlers, as a root object of persisted events.
class TForm1 : public TComponent {
    QT_CLASS(TForm1, TComponent)
public:
    using TComponent::TComponent;
    void ButtonClick(TObject*) { ++Clicks; }
    void CheckIt(TObject*, int value, bool& accept) { accept = value > 0; }
    int Clicks { 0 };
};
QT_PUBLISHED(TForm1, QT_METHOD(ButtonClick), QT_METHOD(CheckIt))

class TBand : public TCollectionItem {
    QT_CLASS(TBand, TCollectionItem)
public:
    explicit TBand(TCollection* c) : TCollectionItem(c) { }
    int GetHeight() const { return m_height; }
    void SetHeight(int v) { m_height = v; }

private:
    int m_height { 22 };
};
QT_PUBLISHED(TBand, QT_PROP(Height))

std::vector<String> Names(const TPropList& l)
{
    std::vector<String> r;
    for (PPropInfo p : l)
        r.push_back(p->Name);
    return r;
}

} // namespace

TEST(TypInfo, PropertyListsInDeclarationAndNameOrder)
{
    const std::vector<String> declared = { u"Name", u"Tag", u"Width", u"Color", u"Visible", u"Align", u"Style",
        u"Opacity", u"Caption", u"Big", u"Accel", u"Font", u"Buddy", u"Kind", u"OnClick", u"OnCheck", u"Bevel" };
    EXPECT_EQ(Names(GetPropList(TPanelWidget::StaticClassInfo())), declared);
    const std::vector<String> sorted = { u"Accel", u"Align", u"Bevel", u"Big", u"Buddy", u"Caption", u"Color", u"Font",
        u"Kind", u"Name", u"OnCheck", u"OnClick", u"Opacity", u"Style", u"Tag", u"Visible", u"Width" };
    EXPECT_EQ(Names(GetPropList(TPanelWidget::StaticClassInfo(), true)), sorted);
}

TEST(TypInfo, TypeDescriptions)
{
    struct Case {
        const char16_t* prop;
        TTypeKind kind;
        const char16_t* typeName;
    };
    const Case cases[] = {
        { u"Width", tkInteger, u"Integer" },
        { u"Color", tkInteger, u"TColor" },
        { u"Visible", tkEnumeration, u"Boolean" },
        { u"Align", tkEnumeration, u"TAlign" },
        { u"Style", tkSet, u"TFontStyles" },
        { u"Opacity", tkFloat, u"Double" },
        { u"Caption", tkUString, u"string" },
        { u"Big", tkInt64, u"Int64" },
        { u"Accel", tkWChar, u"Char" },
        { u"Font", tkClass, u"TFontLike" },
        { u"OnClick", tkMethod, u"TNotifyEvent" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.prop));
        PPropInfo p = GetPropInfo(TWidget::StaticClassInfo(), c.prop);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->PropType->Kind, c.kind);
        EXPECT_EQ(p->PropType->Name, c.typeName);
    }
    TWidget w(nullptr);
    EXPECT_TRUE(GetPropInfo(&w, u"visible")->PropType->IsBoolean());
    EXPECT_FALSE(GetPropInfo(&w, u"align")->PropType->IsBoolean());
    EXPECT_EQ(GetObjectPropClass(GetPropInfo(&w, u"Buddy")), TComponent::StaticClassInfo());
    const TTypeInfo* styleElem = GetPropInfo(&w, u"Style")->PropType->CompType;
    EXPECT_EQ(styleElem->Name, u"TFontStyle");
    EXPECT_EQ(GetEnumName(styleElem, 2), u"fsUnderline");
    EXPECT_EQ(GetEnumValue(styleElem, u"FSITALIC"), 1);
    EXPECT_EQ(GetEnumValue(styleElem, u"fsStrike"), -1);
    EXPECT_EQ(GetEnumName(styleElem, 3), u"");
    EXPECT_FALSE(GetPropInfo(&w, u"Kind")->HasSetter());
    EXPECT_EQ(GetPropInfo(&w, u"NoSuch"), nullptr);
}

TEST(TypInfo, ReadAndWriteByNameIgnoringCase)
{
    TWidget w(nullptr);
    SetOrdProp(&w, u"WIDTH", 42);
    SetOrdProp(&w, u"visible", 0);
    SetEnumProp(&w, u"Align", u"alClient");
    SetSetProp(&w, u"Style", u"[fsBold, fsUnderline]");
    SetFloatProp(&w, u"Opacity", 0.25);
    SetStrProp(&w, u"Caption", u"Hello");
    SetInt64Prop(&w, u"Big", 5000000000LL);
    SetOrdProp(&w, u"Accel", u'Z');
    EXPECT_EQ(w.GetWidth(), 42);
    EXPECT_FALSE(w.GetVisible());
    EXPECT_EQ(w.GetAlign(), alClient);
    EXPECT_EQ(w.GetStyle(), (TFontStyles { TFontStyle::fsBold, TFontStyle::fsUnderline }));
    EXPECT_EQ(GetOrdProp(&w, u"Style"), 0b101);
    EXPECT_EQ(GetSetProp(&w, u"Style"), u"fsBold,fsUnderline");
    EXPECT_EQ(GetSetProp(&w, u"Style", true), u"[fsBold,fsUnderline]");
    EXPECT_EQ(GetEnumProp(&w, u"Align"), u"alClient");
    EXPECT_EQ(GetFloatProp(&w, u"Opacity"), 0.25);
    EXPECT_EQ(GetStrProp(&w, u"caption"), u"Hello");
    EXPECT_EQ(GetInt64Prop(&w, u"Big"), 5000000000LL);
    EXPECT_EQ(w.GetAccel(), u'Z');
    EXPECT_EQ(GetStrProp(&w, u"Kind"), u"widget");

    TFontLike f;
    f.SetSize(12);
    SetObjectProp(&w, u"Font", &f);
    EXPECT_EQ(static_cast<TFontLike*>(GetObjectProp(&w, u"Font"))->GetSize(), 12);
    TComponent buddy;
    SetObjectProp(&w, u"Buddy", &buddy);
    EXPECT_EQ(w.GetBuddy(), &buddy);
    SetObjectProp(&w, u"Buddy", nullptr);
    EXPECT_EQ(w.GetBuddy(), nullptr);
}

TEST(TypInfo, MisuseRaisesPropertyErrors)
{
    TWidget w(nullptr);
    TFontLike f;
    struct Case {
        const char* what;
        std::function<void()> call;
        const char16_t* message; // nullptr: only the class matters
    };
    const Case cases[] = {
        { "unknown", [&] { GetOrdProp(&w, u"Height"); }, u"Property Height does not exist" },
        { "read-only", [&] { SetStrProp(&w, u"Kind", u"x"); }, u"Property Kind is read-only" },
        { "wrong kind", [&] { GetStrProp(&w, u"Width"); }, u"Invalid property type: Integer" },
        { "bad element", [&] { SetSetProp(&w, u"Style", u"fsBold,fsStrike"); }, u"Invalid property element: fsStrike" },
        { "bad enum", [&] { SetEnumProp(&w, u"Align", u"alLeft"); }, u"Invalid property element: alLeft" },
        { "other class", [&] { GetOrdProp(&f, GetPropInfo(&w, u"Width")); }, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no exception";
        } catch (const EPropertyError& e) {
            if (c.message) {
                EXPECT_EQ(e.Message, c.message);
            }
        }
    }
    // A class-typed setter refuses an object of an unrelated class.
    EXPECT_THROW(SetObjectProp(&w, u"Buddy", &f), EInvalidCast);
    EXPECT_EQ(w.GetStyle(), TFontStyles { TFontStyle::fsItalic });
}

TEST(TypInfo, EventsBindToPublishedMethodsAndReportTheirNames)
{
    TForm1 form(nullptr);
    auto* w = new TWidget(&form);
    TMethod m = FindMethod(&form, u"buttonclick");
    ASSERT_TRUE(m.Assigned);
    SetMethodProp(w, u"OnClick", m);
    w->OnClick(w);
    w->OnClick(w);
    EXPECT_EQ(form.Clicks, 2);
    TMethod back = GetMethodProp(w, u"OnClick");
    EXPECT_EQ(back.Data, &form);
    EXPECT_EQ(MethodName(form.ClassType(), back.Code), u"ButtonClick");
    EXPECT_EQ(MethodName(TWidget::StaticClassInfo(), back.Code), u""); // not published there

    SetMethodProp(w, u"OnCheck", FindMethod(&form, u"CheckIt"));
    bool accept = false;
    w->OnCheck(w, 3, accept);
    EXPECT_TRUE(accept);
    // A handler of another signature is refused and the event stays as it was.
    EXPECT_THROW(SetMethodProp(w, u"OnCheck", m), EPropertyError);
    EXPECT_EQ(GetMethodProp(w, u"OnCheck").Code, MethodAddress(form.ClassType(), u"CheckIt"));

    w->OnClick = [](TObject*) { };
    back = GetMethodProp(w, u"OnClick");
    EXPECT_TRUE(back.Assigned);
    EXPECT_EQ(back.Code, nullptr);
    SetMethodProp(w, u"OnClick", TMethod {});
    EXPECT_FALSE(w->OnClick);
    EXPECT_FALSE(FindMethod(&form, u"NoSuchHandler").Assigned);
}

TEST(ClassRegistry, FindsByNameAndRunsRealConstructors)
{
    RegisterClasses({ TWidget::StaticClassInfo(), TBand::StaticClassInfo(), TFontLike::StaticClassInfo() });
    RegisterClass(TWidget::StaticClassInfo()); // again: harmless
    EXPECT_EQ(FindClass(u"twidget"), TWidget::StaticClassInfo());
    EXPECT_EQ(GetClass(u"TUnknownThing"), nullptr);
    try {
        FindClass(u"TUnknownThing");
        ADD_FAILURE();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message, u"Class TUnknownThing not found");
    }

    TComponent owner;
    TObject* made = FindClass(u"TWidget")->Create(&owner);
    auto* w = dynamic_cast<TWidget*>(made);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetOwner(), &owner); // owned: freed with the owner
    EXPECT_EQ(w->GetWidth(), 10);
    EXPECT_NE(w->GetFont(), nullptr);

    TCollection bands(TBand::StaticClassInfo());
    auto* band = dynamic_cast<TBand*>(FindClass(u"TBand")->Create(&bands));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->GetCollection(), &bands);
    EXPECT_EQ(band->GetHeight(), 22);

    std::unique_ptr<TObject> font(FindClass(u"TFontLike")->Create());
    EXPECT_EQ(static_cast<TFontLike*>(font.get())->GetSize(), 8);

    EXPECT_THROW(TGenericList::StaticClassInfo()->Create(), EAbstractError);
    EXPECT_THROW(TWidget::StaticClassInfo()->Create(&bands), EInvalidCast);

    // Another class under a taken name is refused.
    static const TClassInfo impostor(u"TWIDGET", TComponent::StaticClassInfo(), nullptr);
    EXPECT_THROW(RegisterClass(&impostor), EFilerError);
    UnRegisterClass(TFontLike::StaticClassInfo());
    EXPECT_EQ(GetClass(u"TFontLike"), nullptr);
}
