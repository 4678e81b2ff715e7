#include <gtest/gtest.h>

#include <functional>

#include "grid/core/CellPainters.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/RirEvozUndoRedo.h"
#include "platform/rtl/StringList.h"

namespace {

// Counts its own destruction, to tell a freed object from a kept one.
int GDestroyed = 0;
class TCountedBitmap : public TBitmap {
public:
    ~TCountedBitmap() override { ++GDestroyed; }
};

struct CellObjects : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    TRirEvozUndoRedo* Undo = new TRirEvozUndoRedo(&G);
    int CellsChanged = 0;
    void SetUp() override
    {
        G.SetColCount(5);
        G.SetRowCount(6);
        G.SetUndoRedo(Undo);
        G.OnCellsChanged = [this](TObject*, const TRect&) { ++CellsChanged; };
        GDestroyed = 0;
    }
};

// Fills a fresh record with one kind, giving it objects of its own where the
// kind keeps any.
using TKindSetup = std::function<void(TCellGraphic*)>;
struct KindCase {
    const char* Name;
    TCellType Kind;
    TKindSetup Setup;
};

const KindCase Kinds[] = {
    { "bitmap", ctBitmap,
        [](TCellGraphic* g) {
            g->SetBitmap(new TBitmap, true, haLeft, vaTop);
            g->SetCellCreated(true);
        } },
    { "icon with balloon", ctIcon,
        [](TCellGraphic* g) {
            g->SetIcon(new TIcon, haLeft, vaTop);
            g->SetCellCreated(true);
            g->SetCellBalloon(u"title", u"text", 1);
        } },
    { "image index", ctImageList, [](TCellGraphic* g) { g->SetImageIdx(3, haLeft, vaTop); } },
    { "check box", ctCheckBox, [](TCellGraphic* g) { g->SetCheckBox(true, false, true, haBeforeText, vaTop); } },
    { "radio group", ctRadio,
        [](TCellGraphic* g) {
            auto* Items = new TStringList;
            Items->Add(u"a");
            // The list goes in as the record's object; the kind says how it is read.
            g->SetInterfacedCell(Items);
            g->SetCellType(ctRadio);
            g->SetCellCreated(true);
        } },
    { "images", ctImages, [](TCellGraphic* g) { g->SetMultiImage(1, 1, 0, haLeft, vaTop, nullptr); } },
    { "picture", ctPicture,
        [](TCellGraphic* g) {
            g->SetPicture(new TPicture, false, Stretch, 0, haLeft, vaTop);
            g->SetCellCreated(true);
        } },
    { "file picture", ctFilePicture,
        [](TCellGraphic* g) {
            g->SetFilePicture(new TFilePicture, false, noStretch, 0, haLeft, vaTop);
            g->SetCellCreated(true);
        } },
    { "progress bar", ctProgress,
        [](TCellGraphic* g) {
            g->SetCellType(ctProgress);
            g->SetCellColor(TColor(0x00FF00));
            g->SetCellColorTo(TColor(0xFFFFFF));
            g->SetCellRange({ 0, 100 });
        } },
    { "bit button", ctBitButton,
        [](TCellGraphic* g) {
            g->SetBitButton(40, 20, u"Go", new TBitmap, haLeft, vaTop);
            g->SetCellCreated(true);
        } },
    { "balloon", ctBalloon,
        [](TCellGraphic* g) {
            g->SetCellType(ctBalloon);
            g->SetCellBalloon(u"t", u"x", 2);
        } },
    { "node", ctNode, [](TCellGraphic* g) { g->SetNode({ 1, true, 3, 0 }); } },
    { "three-state box", ctTriStateCheckBox,
        [](TCellGraphic* g) { g->SetCheckBox(cbGrayed, true, haBeforeText, vaTop); } },
    { "rotated", ctRotated, [](TCellGraphic* g) { g->SetAngle(90); } },
};

} // namespace

TEST_F(CellObjects, AttachingToAnEmptyCellKeepsItsTextAndReportsNoChange)
{
    TCellGraphic* Obj = G.CreateCellGraphic(1, 2);
    Obj->SetCheckBox(true, false, true, haBeforeText, vaTop);
    EXPECT_EQ(G.GetCells(1, 2), u"");
    EXPECT_EQ(G.GetCellGraphic(1, 2), Obj);
    EXPECT_EQ(G.GetCellType(1, 2), ctCheckBox);
    G.SetCells(2, 2, u"text");
    G.CreateCellGraphic(2, 2)->SetImageIdx(0, haLeft, vaTop);
    EXPECT_EQ(G.GetCells(2, 2), u"text");
    EXPECT_TRUE(G.FreeCellGraphic(1, 2));
    EXPECT_EQ(G.GetCellType(1, 2), ctEmpty);
    EXPECT_FALSE(G.FreeCellGraphic(1, 2));
    EXPECT_EQ(Undo->GetItems()->Count(), 0);
    EXPECT_EQ(CellsChanged, 0);
    EXPECT_FALSE(G.GetGridModified());
}

// Each kind replaced by the next; what a record made goes with it (the
// sanitizer build reports a leak or a double free); the last ones go with
// the grid.
TEST(CellObjectKinds, ReplacingEveryKindByAnotherFreesWhatTheCellMade)
{
    auto Grid = std::make_unique<TDedOzovedUrad>(nullptr);
    Grid->SetColCount(3);
    Grid->SetRowCount(3);
    const int N = int(std::size(Kinds));
    for (int i = 0; i < N; ++i) {
        SCOPED_TRACE(Kinds[i].Name);
        Kinds[i].Setup(Grid->CreateCellGraphic(1, 1));
        EXPECT_EQ(Grid->GetCellType(1, 1), Kinds[i].Kind);
        Kinds[(i + 1) % N].Setup(Grid->CreateCellGraphic(1, 1));
        EXPECT_EQ(Grid->GetCellType(1, 1), Kinds[(i + 1) % N].Kind);
        EXPECT_TRUE(Grid->RemoveCellGraphic(1, 1, Kinds[(i + 1) % N].Kind));
        EXPECT_EQ(Grid->GetCellGraphic(1, 1), nullptr);
        Kinds[i].Setup(Grid->CreateCellGraphic(2, 1 + i % 2));
    }
    // Removing a kind the cell does not hold leaves it alone.
    const TCellType Kept = Grid->GetCellType(2, 1);
    EXPECT_FALSE(Grid->RemoveCellGraphic(2, 1, Kept == ctNode ? ctBitmap : ctNode));
    EXPECT_EQ(Grid->GetCellType(2, 1), Kept);
    Grid.reset();
}

TEST_F(CellObjects, CallerPicturesStayWhileCreatedOnesGoWithTheCell)
{
    auto Mine = std::make_unique<TCountedBitmap>();
    Mine->SetSize(7, 5);
    G.CreateCellGraphic(1, 1)->SetBitmap(Mine.get(), false, haLeft, vaTop);
    TCellGraphic* Made = G.CreateCellGraphic(2, 1);
    Made->SetBitmap(new TCountedBitmap, false, haLeft, vaTop);
    Made->SetCellCreated(true);

    EXPECT_TRUE(G.FreeCellGraphic(1, 1));
    EXPECT_EQ(GDestroyed, 0);
    EXPECT_EQ(Mine->GetWidth(), 7);
    // Attaching over a cell replaces its object: the one the cell made goes.
    G.CreateCellGraphic(2, 1);
    EXPECT_EQ(GDestroyed, 1);
    // A caller's bitmap handed to a record that made one before.
    TCellGraphic* Again = G.CreateCellGraphic(3, 1);
    Again->SetBitmap(new TCountedBitmap, false, haLeft, vaTop);
    Again->SetCellCreated(true);
    Again->SetBitmap(Mine.get(), false, haLeft, vaTop);
    EXPECT_EQ(GDestroyed, 2);
    EXPECT_FALSE(Again->GetCellCreated());
    G.FreeCellGraphic(3, 1);
    EXPECT_EQ(GDestroyed, 2);
}

// A balloon riding on a check box is a member of its own: the box is not
// greyed, a radio button keeps its group, and the balloon goes with the box.
TEST_F(CellObjects, ABalloonOnACheckBoxOrRadioButtonTakesNothingFromIt)
{
    G.AddCheckBox(1, 1, true, false);
    TCellGraphic* Box = G.GetCellGraphic(1, 1);
    Box->SetCellBalloon(u"Title", u"Text", 2);
    EXPECT_TRUE(Box->HasBalloonMark());
    EXPECT_EQ(Box->GetCellAngle(), 0);
    EXPECT_TRUE(G.IsChecked(1, 1));
    EXPECT_FALSE(G.HasBalloon(1, 1)); // riding balloons are not the kind
    G.RemoveCheckBox(1, 1);
    EXPECT_EQ(G.GetCellGraphic(1, 1), nullptr);

    TCellGraphic* Radio = G.CreateCellGraphic(2, 1);
    Radio->SetRadioButton(true, false, haLeft, vaTop, rgCol);
    Radio->SetCellBalloon(u"T", u"X", 1);
    EXPECT_EQ(Radio->GetCellRadioGroup(), rgCol);
    EXPECT_EQ(Radio->GetCellBalloon()->Title, u"T");
    // A balloon on a check box the grid destroys with the cell.
    G.AddCheckBox(3, 3, false, false);
    G.GetCellGraphic(3, 3)->SetCellBalloon(u"a", u"b", 0);
}

TEST_F(CellObjects, ACommentMakesACellNonEmpty)
{
    EXPECT_TRUE(G.GetCellEmpty(1, 1));
    TCellGraphic* Obj = G.CreateCellGraphic(1, 1);
    EXPECT_TRUE(G.GetCellEmpty(1, 1)); // ctNone without comment
    Obj->SetCellComment(u"note");
    EXPECT_FALSE(G.GetCellEmpty(1, 1));
    Obj->SetCellComment(u"");
    EXPECT_TRUE(G.GetCellEmpty(1, 1));
    Obj->SetImageIdx(0, haLeft, vaTop);
    EXPECT_FALSE(G.GetCellEmpty(1, 1));
}

// Column 0 under HotmailRowSelect shows the grid's row check box; attaching
// and detaching there act on the cell's own object, never on the row box.
TEST_F(CellObjects, TheRowCheckBoxColumnKeepsTheCellsOwnObjectApart)
{
    G.SetFixedRows(1);
    G.GetMouseActions()->SetHotmailRowSelect(true);
    EXPECT_EQ(G.GetCellType(0, 3), ctRowCheckBox);
    TCellGraphic* RowBox = G.GetCellGraphic(0, 3);
    ASSERT_NE(RowBox, nullptr);

    TCellGraphic* Own = G.CreateCellGraphic(0, 3);
    EXPECT_NE(Own, RowBox);
    EXPECT_EQ(G.SlotCellGraphic(0, 3), Own);
    EXPECT_EQ(G.GetCellGraphic(0, 3), RowBox);
    EXPECT_EQ(G.GetCellGraphic(0, 3)->GetCellType(), ctRowCheckBox);
    // Replacing and freeing the own object leave the row box whole.
    TCellGraphic* Next = G.CreateCellGraphic(0, 3);
    EXPECT_EQ(G.SlotCellGraphic(0, 3), Next);
    EXPECT_TRUE(G.FreeCellGraphic(0, 3));
    EXPECT_EQ(G.SlotCellGraphic(0, 3), nullptr);
    EXPECT_EQ(G.GetCellGraphic(0, 3), RowBox);

    // Row 0: partly selected greys the box, all selected checks it.
    G.SetRowSelect(2, true);
    EXPECT_TRUE(G.GetCellGraphic(0, 2)->GetCellBoolean());
    EXPECT_FALSE(G.GetCellGraphic(0, 3)->GetCellBoolean());
    EXPECT_EQ(G.GetCellGraphic(0, 0)->GetCellAngle(), 1);
    EXPECT_FALSE(G.GetCellGraphic(0, 0)->GetCellBoolean());
    for (int r = 1; r < 6; ++r)
        G.SetRowSelect(r, true);
    EXPECT_EQ(G.GetCellGraphic(0, 0)->GetCellAngle(), 0);
    EXPECT_TRUE(G.GetCellGraphic(0, 0)->GetCellBoolean());

    // An object of another class in the slot: no object and no kind.
    TBitmap Foreign;
    G.SetGraphicObjectEx(0, 4, &Foreign);
    EXPECT_EQ(G.GetCellGraphic(0, 4), nullptr);
    EXPECT_EQ(G.GetCellType(0, 4), ctEmpty);
    G.SetGraphicObjectEx(0, 4, nullptr);
    // Emptying the grid frees the cells' own objects there (the sanitizer
    // build reports a leak otherwise) and leaves the row box.
    G.CreateCellGraphic(0, 5)->SetCheckBox(true, false, true, haLeft, vaTop);
    G.Clear();
    EXPECT_EQ(G.SlotCellGraphic(0, 5), nullptr);
    EXPECT_EQ(G.GetCellType(0, 5), ctRowCheckBox);
}

TEST(CellGraphicRecord, AssignCopiesValuesButNeitherObjectsNorOwnership)
{
    TCellGraphic Source;
    Source.SetBitmap(new TBitmap, true, haRight, vaBottom);
    Source.SetCellCreated(true);
    Source.SetCellIndex(4);
    Source.SetCellText(u"cap");
    Source.SetCellErrFrom(2);
    Source.SetCellErrLen(3);
    Source.SetCellRange({ 5, 9 });
    Source.SetCellComment(u"comment");
    Source.SetCommentColor(TColor(0x123456));
    Source.SetCellCheckBoxState(cbGrayed);

    TCellGraphic Target;
    Target.Assign(&Source);
    EXPECT_EQ(Target.GetCellType(), ctBitmap);
    EXPECT_EQ(Target.GetCellHAlign(), haRight);
    EXPECT_EQ(Target.GetCellVAlign(), vaBottom);
    EXPECT_TRUE(Target.GetCellTransparent());
    EXPECT_EQ(Target.GetCellIndex(), 4);
    EXPECT_EQ(Target.GetCellText(), u"cap");
    EXPECT_EQ(Target.GetCellErrFrom(), 2);
    EXPECT_EQ(Target.GetCellErrLen(), 3);
    EXPECT_EQ(Target.GetCellRange(), (TCellValueRange { 5, 9 }));
    EXPECT_EQ(Target.GetCellComment(), u"comment");
    EXPECT_EQ(Target.GetCommentColor(), TColor(0x123456));
    // The bitmap stays the source's alone: the copy may not free it.
    EXPECT_EQ(Target.GetCellObject(), nullptr);
    EXPECT_FALSE(Target.GetCellCreated());
    EXPECT_EQ(Target.GetCellCheckBoxState(), cbUnchecked);
}

TEST(CellGraphicRecord, SettersStoreTheirKindsFields)
{
    TCellGraphic G;
    struct AngleCase {
        short In;
        int Out;
    };
    for (const AngleCase c : { AngleCase { -90, 270 }, { 720, 360 }, { 360, 360 }, { 45, 45 }, { -720, 0 } }) {
        SCOPED_TRACE(c.In);
        G.SetAngle(c.In);
        EXPECT_EQ(G.GetCellType(), ctRotated);
        EXPECT_EQ(G.GetCellAngle(), c.Out);
    }
    G.SetButton(70000 & 0xFFFF, 30, u"OK", haCenter, vaCenter);
    EXPECT_EQ(G.GetCellType(), ctButton);
    EXPECT_EQ(G.GetCellIndex(), (30 << 16) | (70000 & 0xFFFF));
    G.SetCheckBox(true, true, false, haBeforeText, vaCenter);
    EXPECT_EQ(G.GetCellType(), ctDataCheckBox);
    EXPECT_TRUE(G.GetCellBoolean());
    EXPECT_FALSE(G.GetCellTransparent());
    G.SetCheckBox(cbChecked, true, haBeforeText, vaTop);
    EXPECT_EQ(G.GetCellType(), ctTriStateCheckBox);
    EXPECT_FALSE(G.GetCellBoolean());
    EXPECT_EQ(G.GetCellCheckBoxState(), cbChecked);
    G.SetMultiImage(2, 3, 1, haLeft, vaTop, nullptr);
    ASSERT_NE(G.GetCellImages(), nullptr);
    EXPECT_TRUE(G.GetCellCreated());
    EXPECT_FALSE(G.GetCellBoolean()); // stacked
    EXPECT_EQ(G.GetCellImages()->GetRow(), 3);
}

// The kind tests look at a merged area's base cell, except the picture
// tests, which look at the cell itself.
TEST_F(CellObjects, KindTestsReadTheBaseCell)
{
    G.CreateCellGraphic(1, 1)->SetButton(20, 10, u"b", haLeft, vaTop);
    G.CreateCellGraphic(3, 1)->SetBitmap(nullptr, false, haLeft, vaTop);
    G.MergeCells(1, 1, 2, 2);
    G.MergeCells(3, 1, 2, 1);
    EXPECT_TRUE(G.HasButton(2, 2));
    EXPECT_TRUE(G.IsControlCell(2, 2));
    G.GetNavigation()->SetAllowEditButtonCells(true);
    EXPECT_FALSE(G.IsControlCell(2, 2));
    EXPECT_TRUE(G.HasBitmap(3, 1));
    EXPECT_FALSE(G.HasBitmap(4, 1));
    EXPECT_FALSE(G.HasCheckBox(-1, 1));
    G.AddCheckBox(0, 4, true, true);
    EXPECT_TRUE(G.HasDataCheckBox(0, 4));
    EXPECT_TRUE(TDedOzovedUrad::IsDataGraphicCell(&G, 0, 4));
    EXPECT_TRUE(G.IsControlCell(0, 4));
    EXPECT_TRUE(G.CellHasCheckBox(0, 4));
}

TEST_F(CellObjects, ImageIndexesAndPictureKeys)
{
    TBitmap Shared;
    G.CreateCellGraphic(1, 1)->SetImageIdx(5, haLeft, vaTop);
    G.CreateCellGraphic(1, 2)->SetBitmap(&Shared, false, haLeft, vaTop);
    G.CreateCellGraphic(1, 3)->SetBitmap(&Shared, false, haLeft, vaTop);
    G.CreateCellGraphic(1, 4)->SetMultiImage(1, 4, 0, haLeft, vaTop, nullptr);
    EXPECT_EQ(G.GetCellImageIdx(1, 1), 5);
    EXPECT_EQ(G.GetCellImageIdx(1, 2), G.GetCellImageIdx(1, 3));
    EXPECT_GE(G.GetCellImageIdx(1, 2), 0);
    EXPECT_EQ(G.GetCellImageIdx(1, 4), -1);
    ASSERT_NE(G.GetCellImages(1, 4), nullptr);
    EXPECT_EQ(G.GetCellImages(1, 1), nullptr);
}
