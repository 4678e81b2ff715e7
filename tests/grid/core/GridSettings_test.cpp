#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "GridDataViewsDouble.h"
#include "PropertyTable.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Ole.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

namespace {

using Factory = std::function<std::unique_ptr<TPersistent>()>;

template<class T>
Factory Make()
{
    return [] { return std::make_unique<T>(); };
}

struct SettingsCase {
    const char* Class;
    Factory Create;
    // Published plain properties with their initial values.
    std::map<std::string, std::string> Defaults;
    // The plain properties Assign leaves alone, in name order.
    std::vector<std::string> NotCopied;
    bool HasAssign { true };
};

const std::vector<SettingsCase>& SettingsCases()
{
    static const std::vector<SettingsCase> Cases = {
        { "TCellNode", Make<TCellNode>(),
            { { "Color", "0xC0C0C0" }, { "NodeType", "cnXP" }, { "NodeColor", "0x0" }, { "ExpandOne", "False" },
                { "ShowTree", "True" }, { "ShowTreeFull", "True" }, { "NodeIndent", "12" },
                { "TreeColor", "0x808080" }, { "NodeColumn", "0" } },
            {} },
        { "TSizeWhileTyping", Make<TSizeWhileTyping>(), { { "Height", "False" }, { "Width", "False" } }, {}, false },
        { "TColumnSize", Make<TColumnSize>(),
            { { "Save", "False" }, { "Key", "" }, { "Section", "" }, { "Stretch", "False" }, { "StretchColumn", "-1" },
                { "StretchAll", "False" }, { "SynchWithGrid", "False" }, { "SynchNormalCellsOnly", "False" },
                { "Location", "clRegistry" }, { "Rows", "arAll" } },
            { "StretchAll" } },
        { "TBackGround", Make<TBackGround>(),
            { { "Top", "0" }, { "Left", "0" }, { "Display", "bdTile" }, { "Cells", "bcNormal" },
                { "ColorTo", "0xFF00000F" }, { "Color", "0xFF000005" } },
            {} },
        { "TControlLook", Make<TControlLook>(),
            { { "ButtonPrefix", "False" }, { "Color", "0x0" }, { "CommentColor", "0xFF" }, { "CheckSize", "15" },
                { "CheckAlwaysActive", "False" }, { "RadioSize", "10" }, { "RadioAlwaysActive", "False" },
                { "RadioRange", "False" }, { "ControlStyle", "csTheme" }, { "FlatButton", "False" },
                { "NoDisabledCheckRadioLook", "False" }, { "NoDisabledButtonLook", "False" },
                { "DropDownAlwaysVisible", "False" }, { "SpinButtonsAlwaysVisible", "False" },
                { "DropDownButtonWidth", "16" }, { "FixedDropDownButton", "False" }, { "DropDownCount", "8" },
                { "HintMaxWidth", "0" }, { "ProgressBorderColor", "0x808080" }, { "ProgressMarginX", "2" },
                { "ProgressMarginY", "2" }, { "ProgressXP", "False" }, { "ProgressHeight", "0" },
                { "FixedGradientFrom", "0x1FFFFFFF" }, { "FixedGradientTo", "0x1FFFFFFF" },
                { "FixedGradientMirrorFrom", "0x1FFFFFFF" }, { "FixedGradientMirrorTo", "0x1FFFFFFF" },
                { "FixedGradientHoverFrom", "0xFFFFFF" }, { "FixedGradientHoverTo", "0x808080" },
                { "FixedGradientHoverMirrorFrom", "0x1FFFFFFF" }, { "FixedGradientHoverMirrorTo", "0x1FFFFFFF" },
                { "FixedGradientHoverBorder", "0xC0C0C0" }, { "FixedGradientDownFrom", "0xC0C0C0" },
                { "FixedGradientDownTo", "0x808080" }, { "FixedGradientDownMirrorFrom", "0x1FFFFFFF" },
                { "FixedGradientDownMirrorTo", "0x1FFFFFFF" }, { "FixedGradientDownBorder", "0x808080" } },
            { "FixedDropDownButton", "FlatButton", "NoDisabledButtonLook", "NoDisabledCheckRadioLook" } },
        { "TFloatingFooter", Make<TFloatingFooter>(),
            { { "Visible", "False" }, { "Color", "0xFF00000F" }, { "FooterStyle", "fsFixedLastRow" },
                { "Column", "0" }, { "CustomTemplate", "" }, { "CalculateHiddenRows", "True" }, { "ShowHint", "False" },
                { "BorderColor", "0x1FFFFFFF" } },
            { "BorderColor" } },
        { "TColorSetting", Make<TColorSetting>(), { { "TextColor", "0x1FFFFFFF" }, { "BkgColor", "0x1FFFFFFF" } }, {} },
        { "TGridProgressAppearance", Make<TGridProgressAppearance>(),
            { { "CompleteColor", "0xFF" }, { "CompleteFontColor", "0xFF0000" }, { "UnCompleteColor", "0x1FFFFFFF" },
                { "UnCompleteFontColor", "0xFF000008" }, { "Level0Color", "0xFF00" }, { "Level0ColorTo", "0xE1FFE1" },
                { "Level1Color", "0xFFFF" }, { "Level1ColorTo", "0xCAFFFF" }, { "Level2Color", "0x53A9FF" },
                { "Level2ColorTo", "0xA8D3FF" }, { "Level3Color", "0xFF" }, { "Level3ColorTo", "0xCACAFF" },
                { "Level1Perc", "70" }, { "Level2Perc", "90" }, { "BorderColor", "0x0" }, { "ShowBorder", "False" },
                { "Stacked", "False" }, { "ShowPercentage", "True" }, { "CompletionSmooth", "True" },
                { "ShowGradient", "True" }, { "Steps", "11" } },
            {} },
        { "TBalloonSettings", Make<TBalloonSettings>(),
            { { "Enable", "False" }, { "TextColor", "0x1FFFFFFF" }, { "BackgroundColor", "0x1FFFFFFF" },
                { "InitialDelay", "-1" }, { "ReshowDelay", "-1" }, { "AutoHideDelay", "-1" }, { "ShowCell", "True" },
                { "Transparency", "0" } },
            { "Transparency" } },
        { "TShowModified", Make<TShowModified>(), { { "Enabled", "False" }, { "Color", "0xFFFF" } }, {} },
        { "TDragScrollDelays", Make<TDragScrollDelays>(), { { "InitialDelay", "1000" }, { "RepeatDelay", "250" } }, {} },
        { "TDragScrollMargins", Make<TDragScrollMargins>(),
            { { "TopMargin", "50" }, { "BottomMargin", "50" }, { "LeftMargin", "50" }, { "RightMargin", "50" } }, {} },
        { "TDragScrollOptions", Make<TDragScrollOptions>(), { { "Active", "False" } }, {} },
        { "THoverButtons", Make<THoverButtons>(),
            { { "Enabled", "False" }, { "Column", "0" }, { "Position", "hbLeftFromColumnLeft" }, { "Rows", "hrAll" },
                { "MoveActiveRow", "True" } },
            {} },
        { "THoverButtonsCollectionItem", Make<THoverButtonsCollectionItem>(),
            { { "Caption", "" }, { "Hint", "" }, { "Enabled", "True" }, { "Flat", "False" }, { "ImageIndex", "-1" },
                { "Tag", "0" }, { "Width", "0" } },
            { "ImageIndex" } },
        { "TDragDropSettings", Make<TDragDropSettings>(),
            { { "OleDropTarget", "False" }, { "OleDropSource", "False" }, { "OleAcceptText", "True" },
                { "OleAcceptFiles", "True" }, { "OleAcceptURLs", "True" }, { "OleDropRTF", "False" },
                { "OleEntireRows", "False" }, { "OleInsertRows", "False" }, { "OleRemoveRows", "False" },
                { "OleAppendRows", "False" }, { "OleCopyAlways", "False" }, { "OleColumnDragDrop", "False" },
                { "OleColumnReorder", "False" }, { "OleColumnsOnly", "False" }, { "ShowCells", "True" } },
            {} },
        { "TGrouping", Make<TGrouping>(),
            { { "MergeHeader", "False" }, { "MergeSummary", "False" }, { "HeaderColor", "0x1FFFFFFF" },
                { "HeaderColorTo", "0x1FFFFFFF" }, { "HeaderTextColor", "0x1FFFFFFF" }, { "HeaderUnderline", "False" },
                { "HeaderLineColor", "0xFF0000" }, { "HeaderLineWidth", "2" }, { "Summary", "False" },
                { "SummaryColor", "0x1FFFFFFF" }, { "SummaryColorTo", "0x1FFFFFFF" },
                { "SummaryTextColor", "0x1FFFFFFF" }, { "SummaryLine", "False" }, { "SummaryLineColor", "0xFF0000" },
                { "SummaryLineWidth", "2" }, { "ShowGroupCount", "False" }, { "GroupCountFormat", "" },
                { "AutoSelectGroup", "False" }, { "AutoCheckGroup", "False" } },
            { "HeaderLineColor", "HeaderLineWidth", "Summary", "SummaryLineColor", "SummaryLineWidth" } },
        { "TFilterDropDown", Make<TFilterDropDown>(),
            { { "AutoSize", "False" }, { "CaseSensitive", "False" }, { "Color", "0xFF000005" },
                { "ColumnWidth", "False" }, { "Height", "150" }, { "Width", "150" }, { "IgnoreHTML", "True" },
                { "Method", "fmExpression" }, { "Sorted", "True" }, { "TextChecked", "" }, { "TextUnChecked", "" } },
            { "AutoSize", "Sorted" } },
        { "TFilterEdit", Make<TFilterEdit>(),
            { { "Enabled", "False" }, { "Row", "0" }, { "Color", "0xFFFFFF" }, { "Columns", "fdNormal" },
                { "CaseSensitive", "True" }, { "AutoHotKey", "False" } },
            {} },
        { "THeaderAppearance", Make<THeaderAppearance>(),
            { { "Visible", "True" }, { "Height", "22" }, { "BorderWidth", "1" }, { "ImageIndex", "-1" },
                { "Caption", "" }, { "ColorTo", "0xFFFFFF" }, { "Color", "0xC0C0C0" }, { "BorderColor", "0x0" },
                { "GradientDirection", "gdVertical" }, { "ButtonAlignment", "baRight" } },
            {} },
        { "TFooterAppearance", Make<TFooterAppearance>(),
            { { "Visible", "True" }, { "Height", "22" }, { "BorderWidth", "1" }, { "ImageIndex", "-1" },
                { "Caption", "" }, { "ColorTo", "0xFFFFFF" }, { "Color", "0xC0C0C0" }, { "BorderColor", "0x0" },
                { "GradientDirection", "gdVertical" }, { "ButtonAlignment", "baRight" }, { "SizeGrip", "True" } },
            {} },
        { "TFooterButton", Make<TFooterButton>(),
            { { "Caption", "" }, { "ImageIndex", "-1" }, { "Enabled", "True" }, { "Height", "0" }, { "Width", "0" },
                { "ModalResult", "0" } },
            {} },
    };
    return Cases;
}

} // namespace

TEST(GridSettings, Defaults)
{
    for (const SettingsCase& c : SettingsCases()) {
        SCOPED_TRACE(c.Class);
        auto Object = c.Create();
        const auto Values = proptable::Values(Object.get());
        EXPECT_EQ(Values, c.Defaults);
    }
}

TEST(GridSettings, AssignCopiesAllButTheListedProperties)
{
    for (const SettingsCase& c : SettingsCases()) {
        if (!c.HasAssign)
            continue;
        SCOPED_TRACE(c.Class);
        auto Source = c.Create();
        auto Target = c.Create();
        proptable::ChangeAll(Source.get());
        Target->Assign(Source.get());
        EXPECT_EQ(proptable::Differences(Source.get(), Target.get()), c.NotCopied);
    }
}

TEST(GridSettings, ObjectValuedSettingsAreCopiedByContent)
{
    TFilterDropDown A, B;
    A.GetFont()->SetName(u"Arial");
    A.GetGlyph()->SetSize(5, 4);
    B.Assign(&A);
    EXPECT_EQ(B.GetFont()->GetName(), u"Arial");
    EXPECT_EQ(B.GetGlyph()->GetWidth(), 5);
    EXPECT_NE(B.GetGlyph(), A.GetGlyph());

    TDragScrollOptions S, T;
    S.GetDelays()->SetRepeatDelay(10);
    S.GetMargins()->SetLeftMargin(3);
    T.Assign(&S);
    EXPECT_EQ(T.GetDelays()->GetRepeatDelay(), 10);
    EXPECT_EQ(T.GetMargins()->GetLeftMargin(), 3);

    TFilterEdit E, F;
    ASSERT_EQ(E.GetTypeNames()->GetCount(), 9);
    EXPECT_EQ(E.GetTypeNames()->GetStrings(0), u"Starts with");
    EXPECT_EQ(E.GetTypeNames()->GetStrings(3), u"Not contains");
    EXPECT_EQ(E.GetTypeNames()->GetStrings(8), u"Clear");
    E.GetTypeNames()->SetStrings(0, u"Begins with");
    F.Assign(&E);
    EXPECT_EQ(F.GetTypeNames()->GetStrings(0), u"Begins with");

    // Appearances copy their buttons; AssignColors only the colours and font.
    THeaderAppearance H, I;
    H.GetButtons()->Add()->SetCaption(u"OK");
    H.GetFont()->SetName(u"Arial");
    I.AssignColors(&H);
    EXPECT_EQ(I.GetButtons()->GetCount(), 0);
    EXPECT_EQ(I.GetFont()->GetName(), u"Arial");
    I.Assign(&H);
    ASSERT_EQ(I.GetButtons()->GetCount(), 1);
    EXPECT_EQ(I.GetButtons()->GetItems(0)->GetCaption(), u"OK");
}

TEST(GridSettings, AppearanceAssignColorsAndClassMismatch)
{
    struct Case {
        const char* What;
        Factory Create;
        std::vector<std::string> LeftByAssignColors;
    };
    const Case cases[] = {
        { "header", Make<THeaderAppearance>(), { "BorderWidth", "ButtonAlignment", "Caption", "Height", "ImageIndex", "Visible" } },
        { "footer", Make<TFooterAppearance>(),
            { "BorderWidth", "ButtonAlignment", "Caption", "Height", "ImageIndex", "SizeGrip", "Visible" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        auto Source = c.Create();
        auto Target = c.Create();
        proptable::ChangeAll(Source.get());
        if (auto* H = dynamic_cast<THeaderAppearance*>(Target.get()))
            H->AssignColors(Source.get());
        else
            dynamic_cast<TFooterAppearance*>(Target.get())->AssignColors(Source.get());
        EXPECT_EQ(proptable::Differences(Source.get(), Target.get()), c.LeftByAssignColors);
    }
    // A header never copies from a footer, nor the other way round.
    THeaderAppearance Header;
    TFooterAppearance Footer;
    Footer.SetColor(clRed);
    Footer.SetHeight(40);
    Header.Assign(&Footer);
    Header.AssignColors(&Footer);
    EXPECT_EQ(Header.GetColor(), TColor(0xC0C0C0));
    EXPECT_EQ(Header.GetHeight(), 22);
    EXPECT_EQ(Header.GetFont()->GetName(), u"MS Sans Serif");
    EXPECT_EQ(Header.GetFont()->GetHeight(), -11);
    EXPECT_EQ(Footer.GetFont()->GetHeight(), -11);
}

TEST(GridSettings, AppearanceNotifications)
{
    TFooterAppearance Footer;
    int Changes = 0, ButtonChanges = 0;
    Footer.OnChange = [&](TObject*) { ++Changes; };
    Footer.OnButtonsChanged = [&](TObject*) { ++ButtonChanges; };
    Footer.SetVisible(true); // unchanged
    Footer.SetColor(clRed);
    Footer.SetHeight(30);
    EXPECT_EQ(Changes, 0);
    Footer.SetVisible(false);
    EXPECT_EQ(Changes, 1);
    Footer.SetCaption(u"x");
    Footer.SetCaption(u"x"); // the caption tells every time
    EXPECT_EQ(Changes, 3);

    TFooterButton* Button = Footer.GetButtons()->Add();
    Button->SetCaption(u"OK");
    Button->SetCaption(u"OK");
    Button->SetEnabled(false);
    Button->SetWidth(40);
    Button->SetHeight(30);
    Button->SetImageIndex(2);
    Button->SetModalResult(mrOk);
    EXPECT_EQ(ButtonChanges, 3);
}

TEST(GridSettings, ChangeNotificationsOfTheSettingsObjects)
{
    TGridProgressAppearance P, Q;
    int Changes = 0;
    Q.OnChange = [&](TObject*) { ++Changes; };
    Q.SetSteps(11); // the same value
    EXPECT_EQ(Changes, 0);
    Q.Assign(&P); // nothing differs, still one notice
    EXPECT_EQ(Changes, 1);
    P.SetStyle(psClassic);
    Q.Assign(&P);
    EXPECT_EQ(Q.GetStyle(), psClassic);
    EXPECT_EQ(Changes, 2);

    TShowModified M;
    int Modified = 0;
    M.OnChange = [&](TObject*) { ++Modified; };
    M.SetColor(M.GetColor());
    M.SetColor(M.GetColor());
    EXPECT_EQ(Modified, 2);

    TBalloonSettings Source, Target;
    int Enables = 0;
    Target.OnEnableChange = [&](TObject*) { ++Enables; };
    Source.SetEnable(true);
    Source.SetTransparency(100);
    Target.SetTransparency(20);
    Target.Assign(&Source);
    EXPECT_TRUE(Target.GetEnable());
    EXPECT_EQ(Enables, 0);
    EXPECT_EQ(Target.GetTransparency(), 20);
    Target.SetEnable(false);
    EXPECT_EQ(Enables, 1);

    TAutoColor Auto;
    int AutoChanges = 0;
    Auto.OnChange = [&](TObject*) { ++AutoChanges; };
    EXPECT_FALSE(Auto.HasColors());
    Auto.GetNegativeNumber()->SetTextColor(clRed);
    EXPECT_TRUE(Auto.HasColors());
    EXPECT_EQ(AutoChanges, 1);
    Auto.GetNegativeNumber()->SetTextColor(clRed);
    EXPECT_EQ(AutoChanges, 1);

    THoverButtons Hover;
    THoverButtonsCollectionItem* Item = Hover.GetButtons()->Add();
    Hover.GetButtons()->Updated = false;
    Item->SetTag(5);
    Item->SetWidth(40);
    EXPECT_FALSE(Hover.GetButtons()->Updated);
    Item->SetCaption(u"Go");
    EXPECT_TRUE(Hover.GetButtons()->Updated);
    Hover.GetButtons()->Updated = false;
    Item->SetPicture(Item->GetPicture()); // a picture always tells
    EXPECT_TRUE(Hover.GetButtons()->Updated);
}

TEST(GridSettings, RichTextDropSwitchIsUnitWide)
{
    TDragDropSettings A, B;
    A.SetOleDropRTF(true);
    EXPECT_TRUE(RTFDropEnabled());
    B.SetOleDropRTF(false);
    EXPECT_FALSE(RTFDropEnabled());
    EXPECT_TRUE(A.GetOleDropRTF());
}

TEST(GridCompanions, HiddenRowRecordKeepsItsOwnList)
{
    TCollection Items(TGridItem::StaticClassInfo());
    auto* Item = static_cast<TGridItem*>(Items.Add());
    TStrings* Own = Item->GetItems();
    TObject Marker;
    {
        TStringList Cells;
        Cells.AddObject(u"a", &Marker);
        Cells.Add(u"b");
        Item->SetItems(&Cells);
        EXPECT_EQ(Item->GetItems(), Own);
    } // the caller's list goes; the item's copy stays
    ASSERT_EQ(Item->GetItems()->GetCount(), 2);
    EXPECT_EQ(Item->GetItems()->GetStrings(1), u"b");
    EXPECT_EQ(Item->GetItems()->GetObjects(0), &Marker);
}

TEST(GridCompanions, NotifiersRegisterOnceAndLeaveWhenFreed)
{
    TDedOzovedUrad Grid(nullptr);
    TGridChangeNotifier A(nullptr);
    auto B = std::make_unique<TGridChangeNotifier>(nullptr);
    Grid.RegisterNotifier(&A);
    Grid.RegisterNotifier(&A);
    Grid.RegisterNotifier(B.get());
    EXPECT_EQ(Grid.GetNotifiers(), (std::vector<TGridChangeNotifier*> { &A, B.get() }));
    TGridChangeNotifier Stranger(nullptr);
    Grid.UnRegisterNotifier(&Stranger);
    EXPECT_EQ(Grid.GetNotifiers().size(), 2u);
    B.reset();
    EXPECT_EQ(Grid.GetNotifiers(), (std::vector<TGridChangeNotifier*> { &A }));
    Grid.UnRegisterNotifier(&A);
    EXPECT_TRUE(Grid.GetNotifiers().empty());
}

TEST(CellNode, NodeColumnIsRefusedWhileNodesExist)
{
    TRecordingDataViewsScope Views;
    TDedOzovedUrad Grid(nullptr);
    TCellNode* Node = Grid.GetCellNode();
    Views.Log->NodeCount = 2;
    EXPECT_NO_THROW(Node->SetNodeColumn(0)); // the same column
    try {
        Node->SetNodeColumn(1);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"Cannot change node column when grid has nodes");
    }
    EXPECT_EQ(Node->GetNodeColumn(), 0);
    Views.Log->NodeCount = 0;
    Node->SetNodeColumn(1);
    EXPECT_EQ(Node->GetNodeColumn(), 1);
}

TEST(CellNode, RowIndentIsTheNodeLevelTimesTheIndent)
{
    TRecordingDataViewsScope Views;
    TDedOzovedUrad Grid(nullptr);
    Grid.GetCellProperties(0, 3)->SetNodeLevel(2);
    EXPECT_EQ(Grid.RowIndent(3), 0); // no nodes
    Views.Log->NodeCount = 1;
    EXPECT_TRUE(Grid.HasNodes());
    EXPECT_EQ(Grid.RowIndent(3), 24);
    EXPECT_EQ(Grid.RowIndent(4), 0); // no properties
    EXPECT_EQ(Grid.RowIndent(-1), 0);
    Grid.GetCellNode()->SetNodeIndent(10);
    EXPECT_EQ(Grid.RowIndent(3), 20);
}

TEST(ControlLook, CheckSizeProgressHeightAndGradientCopies)
{
    TDedOzovedUrad Grid(nullptr);
    TControlLook* Look = Grid.GetControlLook();
    Look->SetCheckSize(20);
    Look->SetControlStyle(RirEvoz::csZID);
    EXPECT_EQ(Look->GetCheckSize(), 16);
    Look->SetControlStyle(RirEvoz::csFlat);
    EXPECT_EQ(Look->GetCheckSize(), 20);

    Look->SetProgressHeight(12);
    Look->SetProgressHeight(-1);
    EXPECT_EQ(Look->GetProgressHeight(), 12);

    // Main colours reach the painter's copy only when set; mirror colours always.
    Look->SetFixedGradientFrom(clRed);
    Look->SetFixedGradientMirrorFrom(clBlue);
    EXPECT_EQ(Grid.GetFixedGradientState().From, clRed);
    EXPECT_EQ(Grid.GetFixedGradientState().MirrorFrom, clBlue);
    Look->SetFixedGradientFrom(clNone);
    Look->SetFixedGradientMirrorFrom(clNone);
    EXPECT_EQ(Look->GetFixedGradientFrom(), clNone);
    EXPECT_EQ(Grid.GetFixedGradientState().From, clRed);
    EXPECT_EQ(Grid.GetFixedGradientState().MirrorFrom, clNone);
    Look->SetFixedGradientDownBorder(clGreen);
    EXPECT_EQ(Grid.GetFixedGradientState().DownBorder, clGreen);

    // Assign takes the size as the source reads it and leaves the copy alone.
    TControlLook Other;
    Other.SetCheckSize(30);
    Other.SetControlStyle(RirEvoz::csZID);
    Other.SetFixedGradientTo(clYellow);
    Look->Assign(&Other);
    EXPECT_EQ(Look->GetControlStyle(), RirEvoz::csZID);
    Look->SetControlStyle(RirEvoz::csClassic);
    EXPECT_EQ(Look->GetCheckSize(), 16);
    EXPECT_EQ(Look->GetFixedGradientTo(), clYellow);
    EXPECT_NE(Grid.GetFixedGradientState().To, clYellow);
}

TEST(GridLook, Presets)
{
    struct Case {
        TGridLook Look;
        TColor FixedFrom, FixedTo, ActiveCell, Selection, SelectionText, SearchColor;
    };
    const Case cases[] = {
        { glStandard, clBtnFace, clNone, TColor(0x808080), clHighlight, clHighlightText, clBtnFace },
        { glSoft, clBtnFace, clNone, TColor(0x808080), clHighlight, clHighlightText, clBtnFace },
        { glClassic, clBtnFace, clNone, TColor(0x808080), clHighlight, clHighlightText, clBtnFace },
        { glListView, TColor(0xFFFFFF), clBtnFace, TColor(0x808080), clHighlight, clHighlightText, clBtnFace },
        { glXP, TColor(0xFFFFFF), clBtnFace, TColor(0xEACAB6), TColor(0xEACAB6), TColor(0), TColor(0xFFFFFF) },
        { glZID, TColor(0xFFFFFF), TColor(0xC0C0C0), TColor(0xEACAB6), TColor(0xEACAB6), TColor(0), TColor(0xFFFFFF) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Look);
        TDedOzovedUrad Grid(nullptr);
        Grid.SetLook(glCustom);
        Grid.SetScrollType(ssFlat);
        Grid.SetBorderColor(clRed);
        Grid.GetControlLook()->SetFixedGradientMirrorFrom(clYellow);
        Grid.GetSortSettings()->SetHeaderColor(clYellow);
        Grid.SetSelectionStyle(ssVista);
        Grid.SetLook(c.Look);
        EXPECT_EQ(Grid.GetLook(), c.Look);
        TControlLook* Look = Grid.GetControlLook();
        EXPECT_EQ(Look->GetFixedGradientFrom(), c.FixedFrom);
        EXPECT_EQ(Look->GetFixedGradientTo(), c.FixedTo);
        EXPECT_EQ(Look->GetFixedGradientMirrorFrom(), clNone);
        EXPECT_EQ(Grid.GetFixedGradientState().MirrorFrom, clNone);
        EXPECT_EQ(Grid.GetSortSettings()->GetHeaderColor(), clNone);
        EXPECT_EQ(Grid.GetActiveCellColor(), c.ActiveCell);
        EXPECT_EQ(Grid.GetActiveCellColorTo(), clNone);
        EXPECT_EQ(Grid.GetSelectionColor(), c.Selection);
        EXPECT_EQ(Grid.GetSelectionTextColor(), c.SelectionText);
        EXPECT_EQ(Grid.GetSearchFooter()->GetColor(), c.SearchColor);
        EXPECT_EQ(Grid.GetGridLineColor(), TColor(0xC0C0C0));
        EXPECT_EQ(Grid.GetGridFixedLineColor(), TColor(0x808080));
        EXPECT_EQ(Grid.GetSelectionStyle(), ssDefault);
        EXPECT_EQ(Grid.GetScrollType(), ssNormal);
        EXPECT_EQ(Grid.GetBorderColor(), TColor(0xB99D7F));
        if (c.Look == glXP || c.Look == glZID) {
            EXPECT_EQ(Look->GetFixedGradientHoverFrom(), TColor(0xCFD0D1));
            EXPECT_EQ(Look->GetFixedGradientDownMirrorTo(), TColor(0x627376));
        }
    }
}

TEST(GridLook, CustomAndLoadingLooksDoLittle)
{
    TDedOzovedUrad Grid(nullptr);
    Grid.SetSelectionColor(clRed);
    Grid.SetBorderColor(clGreen);
    Grid.SetScrollType(ssEncarta);
    Grid.GetControlLook()->SetFixedGradientFrom(clYellow);
    Grid.SetLook(glCustom);
    EXPECT_EQ(Grid.GetScrollType(), ssNormal);
    EXPECT_EQ(Grid.GetSelectionColor(), clRed);
    EXPECT_EQ(Grid.GetBorderColor(), clGreen);
    EXPECT_EQ(Grid.GetControlLook()->GetFixedGradientFrom(), clYellow);

    // While loading a look only clears the gradients and sets the scroll
    // type and border colour.
    Grid.IncludeComponentState(csLoading);
    Grid.SetScrollType(ssFlat);
    Grid.SetLook(glStandard);
    EXPECT_EQ(Grid.GetControlLook()->GetFixedGradientFrom(), clNone);
    EXPECT_EQ(Grid.GetSelectionColor(), clRed);
    EXPECT_EQ(Grid.GetScrollType(), ssNormal);
    EXPECT_EQ(Grid.GetBorderColor(), TColor(0xB99D7F));
    Grid.ExcludeComponentState(csLoading);

    // The same look again changes nothing.
    Grid.SetBorderColor(clGreen);
    Grid.SetLook(glStandard);
    EXPECT_EQ(Grid.GetBorderColor(), clGreen);
}

TEST(GridLook, NamesAndCaptions)
{
    struct Case {
        TGridLook Look;
        const char16_t* Name;
        const char16_t* Caption;
    };
    const Case cases[] = {
        { glStandard, u"glStandard", u"Standard" }, { glSoft, u"glSoft", u"Soft" },
        { glClassic, u"glClassic", u"Classic" }, { glZID, u"glZID", u"ZID" }, { glXP, u"glXP", u"Windows XP" },
        { glListView, u"glListView", u"ListView" }, { glVista, u"glVista", u"Windows Vista" },
        { glWin7, u"glWin7", u"Windows 7" }, { glOffice2007, u"glOffice2007", u"Office2007" },
        { glCustom, u"(kept)", u"(kept)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Look);
        String Name = u"(kept)", Caption = u"(kept)";
        TDedOzovedUrad::GridLookName(c.Look, Name);
        TDedOzovedUrad::GridLookCaption(c.Look, Caption);
        EXPECT_EQ(Name, c.Name);
        EXPECT_EQ(Caption, c.Caption);
    }
}

TEST(FloatingFooter, TemplateExpansion)
{
    const auto Cell = [](int c) { return String(u"c") + String(1, Char(u'0' + c % 10)); };
    struct Case {
        const char16_t* Template;
        const char16_t* Expected;
    };
    const Case cases[] = {
        { u"Total <#2> items", u"Total c2 items" },
        { u"<#0><#4>", u"c0c4" },
        { u"<#5> beyond the columns", u" beyond the columns" },
        { u"<#-1> negative", u" negative" },
        { u"<#99999999999999999999> overflow", u" overflow" },
        { u"<#x> not a number", u" not a number" },
        { u"<#> empty", u" empty" },
        { u"<b><#1></b>", u"<b>c1</b>" },
        { u"open <#2 and the rest", u"open <#2 and the rest" },
        { u"<#1> then <#3", u"c1 then <#3" },
        { u"", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Template));
        EXPECT_EQ(RirEvoz::ExpandFooterTemplate(c.Template, 5, Cell), c.Expected);
    }
}

TEST(FloatingFooter, BalloonTextAndTitleLimits)
{
    EXPECT_EQ(RirEvoz::BalloonText(u"\t\r\n a\tb"), u" a b");
    const String Long(3000, u'x');
    const String Cut = RirEvoz::BalloonText(Long);
    EXPECT_EQ(Cut.size(), 2048u);
    EXPECT_EQ(Cut.substr(2045), u"...");
    EXPECT_EQ(RirEvoz::BalloonText(String(2048, u'y')).size(), 2048u);
    EXPECT_EQ(RirEvoz::BalloonTitle(String(150, u't')), String(97, u't') + u"...");
    EXPECT_EQ(RirEvoz::BalloonTitle(u"short"), u"short");
}

TEST(FloatingFooter, ColumnCalcLivesInTheLastRowsProperties)
{
    TDedOzovedUrad Grid(nullptr);
    TFloatingFooter* Footer = Grid.GetFloatingFooter();
    EXPECT_EQ(Footer->GetColumnCalc(2), acNONE);
    EXPECT_FALSE(Grid.HasCellProperties(2, 9));
    Footer->SetColumnCalc(2, acSUM);
    EXPECT_EQ(Footer->GetColumnCalc(2), acSUM);
    EXPECT_EQ(Grid.GetCellProperties(2, Grid.GetRowCount() - 1)->GetCalcType(), acSUM);
}

TEST(DedOzovedUrad, PublishedDefaults)
{
    TDedOzovedUrad Grid(nullptr);
    const std::map<std::string, std::string> Expected = {
        { "ColCount", "5" }, { "RowCount", "10" }, { "FixedCols", "1" }, { "FixedRows", "1" },
        { "FixedRightCols", "0" }, { "FixedFooters", "0" }, { "DefaultRowHeight", "22" }, { "FixedRowHeight", "22" },
        { "FixedColWidth", "64" }, { "FixedRowAlways", "False" }, { "FixedColAlways", "False" },
        { "IntegralHeight", "False" }, { "AutoSize", "False" }, { "SizeWithForm", "False" },
        { "DefaultAlignment", "taLeftJustify" }, { "VAlignment", "vtaTop" }, { "DefaultEditor", "edNormal" },
        { "WordWrap", "True" }, { "FloatFormat", "%.2f" }, { "MaxEditLength", "0" }, { "MaxComboLength", "0" },
        { "ValidChars", "" }, { "Look", "glXP" }, { "UIStyle", "tsCustom" }, { "Flat", "False" },
        { "BorderColor", "0xB99D7F" }, { "DisabledFontColor", "0xC0C0C0" }, { "UseFixedFont", "True" },
        { "FixedAsButtons", "False" }, { "HideFocusRect", "False" }, { "ShowDesignHelper", "True" },
        { "AutoThemeAdapt", "False" }, { "EnableBlink", "False" }, { "SelectionColor", "0xEACAB6" },
        { "SelectionColorTo", "0x1FFFFFFF" }, { "SelectionMirrorColor", "0x1FFFFFFF" },
        { "SelectionMirrorColorTo", "0x1FFFFFFF" }, { "SelectionTextColor", "0x0" },
        { "SelectionColorMixer", "False" }, { "SelectionColorMixerFactor", "50" }, { "SelectionRectangle", "False" },
        { "SelectionResizer", "False" }, { "SelectionRTFKeep", "False" }, { "ShowSelection", "True" },
        { "ShowFocusedSelectionColor", "True" }, { "UseSelectionTextColor", "True" },
        { "AutoHideSelection", "False" }, { "HighlightColor", "0xFF00000D" }, { "HighlightTextColor", "0xFF00000E" },
        { "ActiveCellShow", "False" }, { "ActiveCellColor", "0x808080" }, { "ActiveCellColorTo", "0x1FFFFFFF" },
        { "HintColor", "0xFF000018" }, { "HintShowCells", "False" }, { "HintShowLargeText", "False" },
        { "HintShowSizing", "False" }, { "HTMLHint", "False" }, { "AnchorHint", "False" },
        { "HintShowLargeTextPos", "hpCell" }, { "UseInternalHintClass", "True" }, { "EnableHTML", "True" },
        { "HTMLKeepLineBreak", "True" }, { "EditWithTags", "False" }, { "URLColor", "0xFF0000" },
        { "URLUnderline", "True" }, { "URLShow", "False" }, { "URLShowInText", "False" }, { "URLFull", "False" },
        { "URLEdit", "False" }, { "URLUnderlineOnHover", "False" }, { "ScrollBars", "ssBoth" },
        { "ScrollType", "ssNormal" }, { "ScrollColor", "0x1FFFFFFF" }, { "ScrollBarAlways", "saNone" },
        { "ScrollProportional", "False" }, { "ScrollSynch", "False" }, { "ScrollHints", "shNone" },
        { "EnableWheel", "True" }, { "IntelliZoom", "True" }, { "IntelliPan", "ipVertical" },
        { "FilterActive", "False" }, { "FilterType", "ftHide" }, { "FilterNormalCellsOnly", "True" },
        { "AutoFilterUpdate", "True" }, { "FilterDropDownAuto", "False" }, { "FilterDropDownMultiCol", "True" },
        { "FilterDropDownCheck", "False" }, { "FilterDropDownColumns", "fdNormal" }, { "FilterDropDownRow", "0" },
        { "FilterDropDownClear", "(All)" }, { "Lookup", "False" }, { "LookupCaseSensitive", "False" },
        { "LookupHistory", "False" }, { "Multilinecells", "False" }, { "OemConvert", "False" },
        { "ExcelStyleDecimalSeparator", "False" }, { "InvalidEntryIcon", "ieWarning" }, { "InvalidEntryTitle", "" },
        { "InvalidEntryText", "" }, { "EnhRowColMove", "True" }, { "EnhTextSize", "False" },
        { "AutoNumAlign", "False" }, { "Hovering", "False" }, { "HoverFixedCells", "hfNone" },
        { "FormatType", "ftVCL" }, { "PopupToolBarMode", "tbActiveCell" }, { "Cursor", "0" },
        { "DrawingStyle", "gdsClassic" },
    };
    for (const auto& [Name, Value] : Expected) {
        SCOPED_TRACE(Name);
        PPropInfo P = GetPropInfo(&Grid, Utf8ToString(Name));
        ASSERT_NE(P, nullptr);
        EXPECT_EQ(proptable::Text(&Grid, P), Value);
    }
    EXPECT_EQ(Grid.GetScrollWidth(), GetSystemMetrics(SM_CXVSCROLL));

    // Public settings.
    EXPECT_EQ(Grid.GetCheckTrue(), u"Y");
    EXPECT_EQ(Grid.GetCheckFalse(), u"N");
    EXPECT_EQ(Grid.GetXMLEncoding(), u"ISO-8859-1");
    EXPECT_EQ(Grid.GetEncoding(), TEncoding::UTF8());
    EXPECT_EQ(Grid.GetCSVLineBreak(), u"");
    EXPECT_EQ(Grid.GetDelimiter(), Char(0));
    EXPECT_EQ(Grid.GetPasswordChar(), u'*');
    EXPECT_FALSE(Grid.GetJavaCSV());
    EXPECT_TRUE(Grid.GetQuoteEmptyCells());
    EXPECT_FALSE(Grid.GetAlwaysQuotes());
    EXPECT_TRUE(Grid.GetSaveFixedCells());
    EXPECT_FALSE(Grid.GetSaveFixedRows());
    EXPECT_FALSE(Grid.GetSaveFixedCols());
    EXPECT_FALSE(Grid.GetSaveHiddenCells());
    EXPECT_TRUE(Grid.GetSaveMergedCells());
    EXPECT_TRUE(Grid.GetSaveVirtCells());
    EXPECT_TRUE(Grid.GetSaveWithHTML());
    EXPECT_TRUE(Grid.GetShowNullDates());
    EXPECT_TRUE(Grid.GetUseDisabledFont());
    EXPECT_FALSE(Grid.GetClearTextOnly());
    EXPECT_EQ(Grid.GetZoomFactor(), 0);
    EXPECT_EQ(Grid.GetDPIScale(), 1.0);
    EXPECT_EQ(Grid.GetGroupColumn(), -1);
    EXPECT_EQ(Grid.GetUpdateCount(), 0);

    // Owned fonts and lists.
    EXPECT_EQ(Grid.GetFixedFont()->GetName(), u"MS Sans Serif");
    EXPECT_EQ(Grid.GetFixedFont()->GetHeight(), -11);
    EXPECT_TRUE(Grid.GetFixedFont()->GetStyle().Contains(fsBold));
    EXPECT_TRUE(Grid.GetActiveCellFont()->GetStyle().Contains(fsBold));
    EXPECT_TRUE(Grid.GetFilterList()->GetSorted());
    EXPECT_EQ(Grid.GetFilterList()->GetDuplicates(), dupIgnore);
    EXPECT_EQ(Grid.GetFilterDropDown()->GetTextChecked(), u"");
    EXPECT_EQ(Grid.GetColumnSize()->GetStretchColumn(), -1);
    EXPECT_EQ(Grid.GetCellNode()->GetNodeType(), cnXP);
}

TEST(DedOzovedUrad, SettersWithRules)
{
    TDedOzovedUrad Grid(nullptr);
    Grid.SetSelectionColorMixerFactor(150);
    EXPECT_EQ(Grid.GetSelectionColorMixerFactor(), 100);
    Grid.SetSelectionColorMixerFactor(-5);
    EXPECT_EQ(Grid.GetSelectionColorMixerFactor(), 0);

    // The filter drop-down row must be one of the fixed rows.
    Grid.SetFilterDropDownRow(1);
    EXPECT_EQ(Grid.GetFilterDropDownRow(), 0);
    Grid.SetFixedRows(2);
    Grid.SetFilterDropDownRow(1);
    EXPECT_EQ(Grid.GetFilterDropDownRow(), 1);

    Grid.SetHTMLKeepLineBreak(false);
    EXPECT_FALSE(VovHTMLE::HTMLKeepLineBreak());
    Grid.SetHTMLKeepLineBreak(true);
    EXPECT_TRUE(VovHTMLE::HTMLKeepLineBreak());

    Grid.SetFixedColWidth(64); // the default width: nothing happens
    EXPECT_EQ(Grid.GetColWidths(0), 64);
    Grid.SetFixedColWidth(30);
    EXPECT_EQ(Grid.GetColWidths(0), 30);
    EXPECT_EQ(Grid.GetColWidths(1), 64);
    Grid.SetFixedRowHeight(30);
    EXPECT_EQ(Grid.GetRowHeights(0), 30);
    EXPECT_EQ(Grid.GetRowHeights(1), 30);
    EXPECT_EQ(Grid.GetRowHeights(2), 22);

    Grid.SetCursor(crHandPoint);
    EXPECT_EQ(Grid.GetCursor(), crHandPoint);
}

TEST(DedOzovedUrad, AssignCopiesLayoutLooksAndSettingsFromAGridOnly)
{
    TRecordingDataViewsScope Views;
    TDedOzovedUrad Source(nullptr), Target(nullptr);
    Source.SetColCount(7);
    Source.SetRowCount(12);
    Source.SetColWidths(3, 99);
    Source.SetRowHeights(4, 40);
    Source.SetLook(glStandard);
    Source.SetSelectionColor(clRed);
    Source.GetColumnHeaders()->Add(u"Name");
    Source.GetGrouping()->SetMergeHeader(true);
    Source.GetControlLook()->SetCheckSize(20);
    Source.SetInvalidEntryTitle(u"Oops");
    Source.GetFilterDropDown()->SetWidth(300);
    Source.GetBalloon()->SetShowCell(false);

    TPersistent NotAGrid;
    Target.Assign(&NotAGrid);
    EXPECT_EQ(Target.GetColCount(), 5);

    Target.Assign(&Source);
    EXPECT_EQ(Target.GetColCount(), 7);
    EXPECT_EQ(Target.GetRowCount(), 12);
    EXPECT_EQ(Target.GetColWidths(3), 99);
    EXPECT_EQ(Target.GetRowHeights(4), 40);
    EXPECT_EQ(Target.GetLook(), glStandard);
    EXPECT_EQ(Target.GetSelectionColor(), clRed);
    EXPECT_EQ(Target.GetColumnHeaders()->GetStrings(0), u"Name");
    EXPECT_TRUE(Target.GetGrouping()->GetMergeHeader());
    EXPECT_EQ(Target.GetControlLook()->GetCheckSize(), 20);
    EXPECT_EQ(Target.GetInvalidEntryTitle(), u"Oops");
    EXPECT_EQ(Target.GetFilterDropDown()->GetWidth(), 300);
    EXPECT_FALSE(Target.GetBalloon()->GetShowCell());
    // The cells come last, through the cell stream.
    EXPECT_EQ(Views.Log->Calls.back(), "LoadFromStream");
}

TEST(GridUnit, StartUpRegistersTheMessagesAndTheClipboardFormatOnce)
{
    const TGridUnitRegistrations& R = GridUnit();
    const std::vector<UINT> Numbers = { R.CF_GRIDCELLS, R.WM_GRIDEDITDONE, R.WM_GRIDEDITSHOW, R.WM_GRIDEDITINVALID,
        R.WM_GRIDEDITPROP, R.WM_DTPSHIFTFOCUS, R.WM_FILTEREDITUPDATE };
    for (UINT n : Numbers)
        EXPECT_NE(n, 0u);
    for (std::size_t i = 1; i < Numbers.size(); ++i)
        for (std::size_t j = i + 1; j < Numbers.size(); ++j)
            EXPECT_NE(Numbers[i], Numbers[j]);
    EXPECT_EQ(RegisterWindowMessage(u"GridEditDone"), R.WM_GRIDEDITDONE);
    EXPECT_EQ(&GridUnit(), &R);
    EXPECT_TRUE(R.ComCtrlsAbove470);
    EXPECT_NE(FindClass(u"TDedOzovedUrad"), nullptr);
}

TEST(GridUnit, ShutsDownWithTheLastGrid)
{
    ASSERT_EQ(GridUnitUsers(), 0);
    {
        TDedOzovedUrad First(nullptr);
        {
            TDedOzovedUrad Second(nullptr);
            EXPECT_EQ(GridUnitUsers(), 2);
        }
        // One grid left: OLE and the hook stay.
        EXPECT_TRUE(FocusWindowHookInstalled());
        EXPECT_EQ(OleInitialize(), S_FALSE);
        OleUninitialize();
    }
    EXPECT_EQ(GridUnitUsers(), 0);
    EXPECT_FALSE(FocusWindowHookInstalled());
    EXPECT_EQ(OleInitialize(), S_OK); // OLE was shut down with the last grid
    OleUninitialize();
    // The next grid starts the unit again with the same registrations.
    const UINT Done = GridUnit().WM_GRIDEDITDONE;
    TDedOzovedUrad Again(nullptr);
    EXPECT_TRUE(FocusWindowHookInstalled());
    EXPECT_EQ(GridUnit().WM_GRIDEDITDONE, Done);
}

TEST(GridUnit, NamingANewlyPlacedGridMarksItForTheFormsStyle)
{
    TForm Designer(nullptr);
    Designer.SetDesigning(true);
    TDedOzovedUrad Placed(&Designer);
    Placed.SetName(u"Grid1");
    EXPECT_TRUE(Placed.GetStyleFromDesignerForm());
    TDedOzovedUrad RunTime(nullptr);
    RunTime.SetName(u"Grid2");
    EXPECT_FALSE(RunTime.GetStyleFromDesignerForm());
}
