#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/browser/LumCustomControl.h"
#include "app/browser/LumUndoManager.h"
#include "platform/rtl/Streams.h"

namespace {

// A control that publishes appearance properties of every kind the filter
// knows, plus plain ones, and records its construction and update steps.
class TProbe : public TLumCustomControl {
    QT_CLASS(TProbe, TLumCustomControl)
public:
    using TLumCustomControl::TLumCustomControl;

    TColor GetTint() const
    {
        if (FailSave)
            throw Exception(u"save failed");
        return FTint;
    }
    void SetTint(TColor v) { FTint = v; }
    TColor GetShade() const { return FShade; }
    void SetShade(TColor v) { FShade = v; }
    String GetHeaderAppearance() const { return FHeaderAppearance; }
    void SetHeaderAppearance(const String& v) { FHeaderAppearance = v; }
    String GetTitle() const { return FTitle; }
    void SetTitle(const String& v) { FTitle = v; }

    void BeginUpdate() override { ++Begun; }
    void EndUpdate() override { ++Ended; }
    void InitializeStyle() override
    {
        Steps.push_back("style");
        TLumCustomControl::InitializeStyle();
    }
    void InitializeControl() override { Steps.push_back("control"); }
    void ChangeDPIScale(int M, int D) override { Steps.push_back("dpi " + std::to_string(M) + "/" + std::to_string(D)); }
    void Draw(TLumGraphics*, TRectF ARect) override
    {
        DrawnWhileExporting = IsExporting();
        DrawnRect = ARect;
        LocalWhileExporting = GetLocalRect();
    }

    bool FailSave { false };
    bool DrawnWhileExporting { false };
    TRectF DrawnRect;
    TRectF LocalWhileExporting;
    int Begun { 0 };
    int Ended { 0 };
    std::vector<std::string> Steps;

private:
    TColor FTint { 0x112233 };
    TColor FShade { 0x445566 };
    String FHeaderAppearance { u"flat" };
    String FTitle { u"probe" };
};

} // namespace

QT_PUBLISHED(TProbe, QT_PROP(Fill), QT_PROP(Stroke), QT_PROP_T(Tint, u"TAlphaColor"),
    QT_PROP_T(Shade, u"TGraphicsColor"), QT_PROP(HeaderAppearance), QT_PROP(Title))

namespace {

// The member names of the outermost JSON object.
std::set<std::string> TopLevelMembers(const String& json)
{
    const std::string s = StringToUtf8(json);
    std::set<std::string> names;
    int depth = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '{' || c == '[')
            ++depth;
        else if (c == '}' || c == ']')
            --depth;
        else if (c == '"') {
            std::size_t end = i + 1;
            while (end < s.size() && s[end] != '"')
                end += s[end] == '\\' ? 2 : 1;
            std::size_t next = end + 1;
            while (next < s.size() && s[next] == ' ')
                ++next;
            if (depth == 1 && next < s.size() && s[next] == ':')
                names.insert(s.substr(i + 1, end - i - 1));
            i = end;
        }
    }
    return names;
}

String SaveToText(TProbe& c, bool appearanceOnly)
{
    TStringStream stream;
    c.SaveSettingsToStream(stream, appearanceOnly);
    return stream.GetDataString();
}

class LumControl : public ::testing::Test {
protected:
    std::unique_ptr<TProbe> probe { LumCreateControl<TProbe>(nullptr) };
};

TEST_F(LumControl, ScaledValuesRoundTheFactorHalfToEvenAndTheProductHalfAwayFromZero)
{
    struct TCase {
        float Factor;
        int Value;
        int Expected;
    };
    const TCase cases[] = {
        { 1.5f, 10, 15 },
        { 1.25f, 10, 13 },   // 12.5 goes up
        { 1.25f, -10, -13 }, // and down, away from zero
        { 1.125f, 200, 224 }, // 112.5 % becomes 112 %
        { 1.0f, 7, 7 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Factor << " x " << c.Value);
        probe->SetResourceScaleFactor(c.Factor);
        probe->SetPaintScaleFactor(c.Factor);
        EXPECT_EQ(probe->ScaleResourceValue(c.Value), c.Expected);
        EXPECT_EQ(probe->ScalePaintValue(c.Value), c.Expected);
        EXPECT_DOUBLE_EQ(probe->ScaleResourceValue(double(c.Value)), double(c.Value) * double(c.Factor));
    }
}

TEST_F(LumControl, MarginsAreReadOnlyWhileTheControlAlignsWithThem)
{
    float l = -7, t = -7, r = -7, b = -7;
    probe->GetControlMargins(l, t, r, b);
    EXPECT_EQ(std::vector<float>({ l, t, r, b }), std::vector<float>({ -7, -7, -7, -7 }));

    probe->SetControlMargins(1.5f, 2.5f, 3.4f, 9.6f);
    EXPECT_TRUE(probe->GetAlignWithMargins());
    probe->GetControlMargins(l, t, r, b);
    EXPECT_EQ(std::vector<float>({ l, t, r, b }), std::vector<float>({ 2, 2, 3, 10 }));
}

TEST_F(LumControl, ControlAlignmentMapsOneToOneAndCustomReadsAsNone)
{
    using enum TLumControlAlignment;
    const std::pair<TLumControlAlignment, TAlign> pairs[]
        = { { caNone, alNone }, { caTop, alTop }, { caBottom, alBottom }, { caLeft, alLeft }, { caRight, alRight },
              { caClient, alClient } };
    for (auto [mine, framework] : pairs) {
        SCOPED_TRACE(int(mine));
        probe->SetControlAlignment(mine);
        EXPECT_EQ(probe->GetAlign(), framework);
        probe->SetAlign(framework);
        EXPECT_EQ(probe->GetControlAlignment(), mine);
    }
    probe->SetAlign(alCustom);
    EXPECT_EQ(probe->GetControlAlignment(), caNone);
}

TEST_F(LumControl, AnAppearanceOnlySaveWritesColoursFillStrokeFontAndAppearanceNames)
{
    const auto all = TopLevelMembers(SaveToText(*probe, false));
    for (const char* excluded : { "Align", "Width", "Height", "Name", "TabStop", "Visible", "AllowFocus" })
        EXPECT_EQ(all.count(excluded), 0u) << excluded;
    for (const char* kept : { "Title", "AdaptToStyle", "Caption", "Color", "Fill", "Font" })
        EXPECT_EQ(all.count(kept), 1u) << kept;

    const auto appearance = TopLevelMembers(SaveToText(*probe, true));
    const std::set<std::string> expected
        = { "Color", "Fill", "Font", "HeaderAppearance", "Shade", "Stroke", "Tint" };
    std::set<std::string> written;
    for (const std::string& n : appearance)
        if (n != StringToUtf8(TypeMemberName))
            written.insert(n);
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(probe->GetAppearancePersisting());
}

TEST_F(LumControl, SaveAndLoadHandlersHaveTheLastWord)
{
    std::vector<std::string> refusedForControl;
    probe->OnCanSaveProperty = [&](TObject*, TObject* obj, const String& name, TTypeKind, bool& can) {
        if (obj == probe.get() && !can)
            refusedForControl.push_back(StringToUtf8(name));
        if (name == u"Title")
            can = false;
        if (obj == probe.get() && name == u"Tag")
            can = true;
    };
    const auto members = TopLevelMembers(probe->ToJSON());
    EXPECT_EQ(members.count("Title"), 0u);
    EXPECT_EQ(members.count("Tag"), 1u);
    EXPECT_EQ(members.count("Color"), 1u);
    EXPECT_NE(std::find(refusedForControl.begin(), refusedForControl.end(), "Width"), refusedForControl.end());

    // Reading: excluded names stay out, and a handler may veto one more.
    probe->OnCanSaveProperty = nullptr;
    probe->SetTitle(u"saved");
    probe->SetWidth(40);
    probe->SetTint(0x010203);
    TStringStream saved;
    probe->SaveSettingsToStream(saved, false);
    const String text = saved.GetDataString();
    ASSERT_NE(text.find(u"\"Title\""), String::npos);

    auto other = std::unique_ptr<TProbe>(LumCreateControl<TProbe>(nullptr));
    other->SetWidth(90);
    other->OnCanLoadProperty = [](TObject*, TObject*, const String& name, TTypeKind, bool& can) {
        if (name == u"Tint")
            can = false;
    };
    TStringStream in(text);
    other->LoadSettingsFromStream(in);
    EXPECT_EQ(other->GetTitle(), u"saved");
    EXPECT_EQ(other->GetWidth(), 90);
    EXPECT_EQ(other->GetTint(), TColor(0x112233));
}

TEST_F(LumControl, AFailedSaveOrLoadLeavesNoStateBehind)
{
    probe->FailSave = true;
    TStringStream sink;
    EXPECT_THROW(probe->SaveSettingsToStream(sink, true), Exception);
    EXPECT_FALSE(probe->GetAppearancePersisting());

    // Everything is written again, whichever entry point saves.
    probe->FailSave = false;
    const auto members = TopLevelMembers(SaveToText(*probe, false));
    EXPECT_EQ(members.count("Title"), 1u);
    EXPECT_EQ(members.count("AdaptToStyle"), 1u);
    EXPECT_EQ(TopLevelMembers(probe->ToJSON()), members);

    TStringStream broken(u"{\"Title\": ");
    EXPECT_THROW(probe->LoadSettingsFromStream(broken), Exception);
    EXPECT_EQ(probe->Begun, 1);
    EXPECT_EQ(probe->Ended, 1);
}

TEST_F(LumControl, FillChangesSetTheControlColour)
{
    struct TCase {
        TLumGraphicsFillKind Kind;
        TColor Color;
        TColor Expected;
    };
    const TCase cases[] = {
        { gfkSolid, 0x123456, 0x123456 },
        { gfkGradient, 0x00FF00, 0x00FF00 },
        { gfkNone, 0x123456, clBtnFace },
        { gfkTexture, 0x123456, clBtnFace },
        { gfkSolid, gcNull, clBtnFace },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Kind) << " " << c.Color);
        probe->SetColor(0x0F0F0F);
        probe->GetFill()->BeginUpdate();
        probe->GetFill()->SetKind(c.Kind);
        probe->GetFill()->SetColor(c.Color);
        probe->GetFill()->EndUpdate();
        EXPECT_EQ(probe->GetColor(), c.Expected);
    }
}

TEST_F(LumControl, BackgroundSwitchesAndAssignment)
{
    EXPECT_EQ(probe->GetColor(), TColor(0xFFFFFF));
    EXPECT_FALSE(probe->GetParentColor());
    EXPECT_TRUE(probe->GetTabStop());
    EXPECT_EQ(probe->GetFill()->GetColorTo(), TColor(0x808080));

    probe->DisableBackground();
    EXPECT_EQ(probe->GetFill()->GetKind(), gfkNone);
    EXPECT_EQ(probe->GetStroke()->GetKind(), gskNone);
    EXPECT_EQ(probe->GetColor(), clBtnFace);
    probe->EnableBackground();
    EXPECT_EQ(probe->GetFill()->GetKind(), gfkSolid);
    EXPECT_EQ(probe->GetStroke()->GetKind(), gskSolid);

    auto other = std::unique_ptr<TProbe>(LumCreateControl<TProbe>(nullptr));
    other->GetFill()->SetColor(0x0000AA);
    other->GetStroke()->SetColor(0x00AA00);
    other->SetWidth(77);
    probe->Assign(other.get());
    EXPECT_EQ(probe->GetFill()->GetColor(), TColor(0x0000AA));
    EXPECT_EQ(probe->GetStroke()->GetColor(), TColor(0x00AA00));
    EXPECT_EQ(probe->GetColor(), TColor(0x0000AA));
    EXPECT_NE(probe->GetWidth(), 77);
}

TEST_F(LumControl, OverridesOfTheInitialisingStepsRunOnceAfterConstruction)
{
    EXPECT_EQ(probe->Steps, (std::vector<std::string> { "style", "control" }));
    probe->AfterConstruction();
    EXPECT_EQ(probe->Steps.size(), 2u);

    TComponent owner(nullptr);
    auto* designed = new TProbe(&owner);
    designed->SetDesigning(true);
    designed->AfterConstruction();
    EXPECT_EQ(designed->Steps, std::vector<std::string> { "style" });
}

TEST_F(LumControl, ComponentStatesComeFromTheOwner)
{
    EXPECT_FALSE(probe->IsLoading());
    EXPECT_FALSE(probe->IsDesignTime());
    TComponent owner(nullptr);
    auto* c = LumCreateControl<TProbe>(&owner);
    c->SetDesigning(true);
    EXPECT_TRUE(c->IsDesignTime());
    owner.IncludeComponentState(csLoading);
    EXPECT_TRUE(c->IsLoading());
    EXPECT_FALSE(c->IsDesignTime());
}

TEST_F(LumControl, TheUndoManagerIsMadeOnceAndRestoresSettings)
{
    TLumUndoManager* undo = probe->GetUndoManager();
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(probe->GetUndoManager(), undo);
    undo->ClearUndoStack();
    probe->SetTitle(u"changed");
    undo->PushState(u"rename");
    probe->SetWidth(123);
    undo->Undo();
    EXPECT_EQ(probe->GetTitle(), u"probe");
    EXPECT_EQ(probe->GetWidth(), 123); // excluded from the settings
}

TEST_F(LumControl, RescalingTakesTheFactorsFromTheResolutionAndTellsTheControl)
{
    probe->SetResourceScaleFactor(2.0f);
    probe->SetPaintScaleFactor(2.0f);
    probe->Steps.clear();
    probe->ChangeScale(3, 2, true);
    // No form: the resolution scale is 1.
    EXPECT_EQ(probe->GetResourceScaleFactor(), 1.0f);
    EXPECT_EQ(probe->GetPaintScaleFactor(), 1.0f);
    EXPECT_EQ(probe->Steps, std::vector<std::string> { "dpi 3/2" });
}

TEST_F(LumControl, ExportDrawsIntoTheCallersRectangle)
{
    probe->SetBounds(0, 0, 80, 60);
    const TRectF target = RectF(5, 6, 25, 36);
    probe->Export(nullptr, target);
    EXPECT_TRUE(probe->DrawnWhileExporting);
    EXPECT_EQ(probe->DrawnRect, target);
    EXPECT_EQ(probe->LocalWhileExporting, target);
    EXPECT_FALSE(probe->IsExporting());
    EXPECT_EQ(probe->GetLocalRect(), RectF(0, 0, 80, 60));
    EXPECT_EQ(probe->GetContentRect(), RectF(0, 0, 80, 60));
}

TEST_F(LumControl, HintsAndDialogCodesAnswerThroughMessages)
{
    struct THinted : TProbe {
        using TProbe::TProbe;
        bool HasHint() override { return true; }
        String GetHintString() override { return u"from the control"; }
    };
    auto hinted = std::unique_ptr<THinted>(LumCreateControl<THinted>(nullptr));
    for (TProbe* c : { probe.get(), static_cast<TProbe*>(hinted.get()) }) {
        THintInfo info;
        info.HintStr = u"framework";
        info.ReshowTimeout = 500;
        c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        const bool has = c == hinted.get();
        EXPECT_EQ(info.HintStr, has ? u"from the control" : u"framework");
        EXPECT_EQ(info.ReshowTimeout, has ? 0 : 500);
    }

    EXPECT_EQ(probe->Perform(WM_GETDLGCODE), 5);
    probe->SetTabStop(false);
    EXPECT_EQ(probe->Perform(WM_GETDLGCODE), 7);
}

} // namespace
