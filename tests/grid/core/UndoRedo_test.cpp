#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/RirEvozUndoRedo.h"

namespace {

struct UndoGrid : ::testing::Test {
    TDedOzovedUrad Grid { nullptr };
    TRirEvozUndoRedo* Undo = new TRirEvozUndoRedo(&Grid);

    void SetUp() override
    {
        Grid.SetColCount(5);
        Grid.SetRowCount(6);
        Grid.SetUndoRedo(Undo);
    }
    // Writes the cell and registers the change, as a validated edit does.
    void Change(int c, int r, const String& Value)
    {
        const String Old = Grid.GetCells(c, r);
        Grid.SetCells(c, r, Value);
        Undo->RegisterChange(c, r, Old, Value);
    }
    std::string Text(int c, int r) { return StringToUtf8(Grid.GetCells(c, r)); }
};

} // namespace

TEST_F(UndoGrid, StepsBackAndForthOneChangeAtATime)
{
    ASSERT_EQ(Undo->GetGrid(), &Grid);
    Change(1, 1, u"a");
    Change(1, 1, u"b");
    Change(2, 3, u"c");
    EXPECT_EQ(Undo->GetLevel(), 3);
    EXPECT_FALSE(Undo->CanRedo());

    std::vector<std::string> Events;
    Undo->OnUndo = [&](TObject* Sender, TBaseGrid* G, int Col, int Row, const String& Orig, const String& New) {
        EXPECT_EQ(Sender, Undo);
        EXPECT_EQ(G, &Grid);
        Events.push_back(std::to_string(Col) + "," + std::to_string(Row) + " " + StringToUtf8(Orig) + ">"
            + StringToUtf8(New));
    };
    Undo->Undo();
    EXPECT_EQ(Undo->GetLevel(), 2);
    EXPECT_EQ(Text(2, 3), "");
    EXPECT_EQ(Grid.GetCol(), 2);
    EXPECT_EQ(Grid.GetRow(), 3);
    Undo->Undo();
    EXPECT_EQ(Undo->GetLevel(), 1);
    EXPECT_EQ(Text(1, 1), "a");
    EXPECT_TRUE(Undo->CanRedo());
    // The handler hears the text the cell has and the one about to come.
    EXPECT_EQ(Events, (std::vector<std::string> { "2,3 c>", "1,1 b>a" }));

    Undo->Redo();
    EXPECT_EQ(Undo->GetLevel(), 2);
    EXPECT_EQ(Text(1, 1), "b");
    EXPECT_TRUE(Undo->CanRedo());

    Undo->Undo();
    Undo->Undo();
    Undo->Undo(); // nothing left
    EXPECT_EQ(Undo->GetLevel(), 0);
    EXPECT_EQ(Text(1, 1), "");
    EXPECT_FALSE(Undo->CanUndo());
}

TEST_F(UndoGrid, ASequenceUndoesAndRedoesAsOneStep)
{
    Change(1, 1, u"x");
    Undo->StartSequence();
    Change(1, 2, u"p");
    Change(1, 2, u"q");
    Change(3, 4, u"r");
    Undo->StopSequence();
    ASSERT_EQ(Undo->GetItems()->Count(), 6);
    EXPECT_EQ(Undo->GetLevel(), 6);

    std::vector<int> Rows;
    Undo->OnUndo = [&](TObject*, TBaseGrid*, int, int Row, const String&, const String&) { Rows.push_back(Row); };
    Undo->Undo();
    // The later change first, down to the level before the start marker.
    EXPECT_EQ(Rows, (std::vector<int> { 4, 2, 2 }));
    EXPECT_EQ(Undo->GetLevel(), 1);
    EXPECT_EQ(Text(1, 2), "");
    EXPECT_EQ(Text(3, 4), "");
    EXPECT_EQ(Text(1, 1), "x");

    Undo->Redo();
    EXPECT_EQ(Undo->GetLevel(), 6);
    EXPECT_EQ(Text(1, 2), "q");
    EXPECT_EQ(Text(3, 4), "r");
    EXPECT_FALSE(Undo->CanRedo());
}

// A new change drops what could have been redone: an undo after it
// does not write the dropped change's old text back.
TEST_F(UndoGrid, ANewChangeDropsTheRedoTail)
{
    Change(1, 1, u"a");
    Change(2, 2, u"b");
    Undo->Undo();
    ASSERT_EQ(Text(2, 2), "");
    Change(3, 3, u"c");
    EXPECT_EQ(Undo->GetItems()->Count(), 2);
    EXPECT_EQ(Undo->GetLevel(), 2);
    EXPECT_FALSE(Undo->CanRedo());
    Grid.SetCells(2, 2, u"typed");
    Undo->Undo();
    Undo->Undo();
    EXPECT_EQ(Undo->GetLevel(), 0);
    EXPECT_EQ(Text(2, 2), "typed");
    EXPECT_EQ(Text(1, 1), "");
}

// MaxLevel keeps whole steps: trimming never leaves a stop marker without
// its start, and the level always stays within 0 .. Count.
TEST_F(UndoGrid, MaxLevelTrimsWholeStepsFromTheOldestEnd)
{
    Undo->SetMaxLevel(2);
    Change(1, 1, u"a");
    Change(1, 2, u"b");
    Change(1, 3, u"c");
    EXPECT_EQ(Undo->GetItems()->Count(), 2);
    EXPECT_EQ(Undo->GetLevel(), 2);
    EXPECT_EQ(Undo->GetItems()->GetItems(0)->GetRow(), 2);

    // A sequence longer than the limit is kept whole while it is recorded
    // and afterwards, as the newest step.
    Undo->StartSequence();
    Change(2, 1, u"s1");
    Change(2, 2, u"s2");
    Undo->StopSequence();
    EXPECT_EQ(Undo->GetItems()->Count(), 4);
    EXPECT_TRUE(Undo->GetItems()->GetItems(0)->GetSequenceStart());
    // The next change pushes the sequence out with both its markers.
    Change(3, 1, u"d");
    EXPECT_EQ(Undo->GetItems()->Count(), 1);
    EXPECT_EQ(Undo->GetLevel(), 1);
    Undo->Undo();
    Undo->Undo();
    EXPECT_EQ(Undo->GetLevel(), 0);
    EXPECT_EQ(Text(3, 1), "");
    EXPECT_EQ(Text(2, 2), "s2");
}

// Markers that lost their partner (a list trimmed by hand, a sequence
// still open) are stepped over, never written to a cell.
TEST_F(UndoGrid, LoneMarkersAreSteppedOver)
{
    Change(1, 1, u"a");
    Undo->StartSequence();
    Change(1, 2, u"b");
    Undo->StopSequence();
    Undo->Undo();
    Undo->Undo();
    ASSERT_EQ(Undo->GetLevel(), 0);
    Undo->GetItems()->Delete(1); // the start marker goes
    Grid.SetCells(0, 0, u"corner");
    std::vector<std::string> Written;
    auto Note = [&](TObject*, TBaseGrid*, int Col, int Row, const String&, const String&) {
        Written.push_back(std::to_string(Col) + "," + std::to_string(Row));
    };
    Undo->OnUndo = Note;
    Undo->OnRedo = Note;
    for (int i = 0; i < 4; ++i) {
        Undo->Redo();
        EXPECT_LE(Undo->GetLevel(), Undo->GetItems()->Count());
    }
    EXPECT_EQ(Undo->GetLevel(), 3);
    EXPECT_EQ(Text(1, 1), "a");
    EXPECT_EQ(Text(1, 2), "b");
    for (int i = 0; i < 4; ++i) {
        Undo->Undo();
        EXPECT_GE(Undo->GetLevel(), 0);
    }
    EXPECT_EQ(Undo->GetLevel(), 0);
    EXPECT_EQ(Written, (std::vector<std::string> { "1,1", "1,2", "1,2", "1,1" }));
    EXPECT_EQ(Text(1, 2), "");
    EXPECT_EQ(Text(1, 1), "");
    EXPECT_EQ(Text(0, 0), "corner");

    // An open sequence at the top: undo takes its changes one by one.
    Undo->Reset();
    Undo->StartSequence();
    Change(2, 2, u"open");
    Undo->Undo();
    EXPECT_EQ(Text(2, 2), "");
    Undo->Undo();
    EXPECT_EQ(Undo->GetLevel(), 0);
}

TEST_F(UndoGrid, EitherSideGoingUnlinksTheOther)
{
    delete Undo;
    EXPECT_EQ(Grid.GetUndoRedo(), nullptr);

    auto* Other = new TDedOzovedUrad(nullptr);
    TRirEvozUndoRedo Kept(nullptr);
    Other->SetUndoRedo(&Kept);
    EXPECT_EQ(Kept.GetGrid(), Other);
    delete Other;
    EXPECT_EQ(Kept.GetGrid(), nullptr);
    Kept.Undo(); // without a grid: nothing
}
