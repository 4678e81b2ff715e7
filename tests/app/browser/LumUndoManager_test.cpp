#include <gtest/gtest.h>

#include "app/browser/LumUndoManager.h"
#include "foundation/LumPersistence.h"
#include "platform/rtl/SysUtils.h"

namespace {

// A settings object whose save can be made to fail halfway.
class TDoc : public TPersistent {
    QT_CLASS(TDoc, TPersistent)
public:
    int GetAlpha() const { return FAlpha; }
    void SetAlpha(int v) { FAlpha = v; }
    int GetBeta() const
    {
        if (FFailSave)
            throw Exception(u"save failed");
        return FBeta;
    }
    void SetBeta(int v) { FBeta = v; }

    bool FFailSave { false };

private:
    int FAlpha { 0 };
    int FBeta { 0 };
};

} // namespace

QT_PUBLISHED(TDoc, QT_PROP(Alpha), QT_PROP(Beta))

namespace {

// Pushes the base state, then one snapshot per value of Alpha.
void PushValues(TLumUndoManager& undo, TDoc& doc, int count)
{
    undo.ClearUndoStack();
    for (int i = 1; i <= count; ++i) {
        doc.SetAlpha(i);
        undo.PushState(u"set " + IntToStr(i));
    }
}

} // namespace

TEST(LumUndoManager, NewManagerHasNothingToUndoOrRedo)
{
    TDoc doc;
    TLumUndoManager undo(&doc);
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_FALSE(undo.CanRedo());
    EXPECT_EQ(undo.NextUndoAction(), u"");
    EXPECT_EQ(undo.NextRedoAction(), u"");
    EXPECT_EQ(undo.GetStackItem(0), nullptr);
    undo.Undo();
    undo.Redo();
    EXPECT_EQ(undo.GetCurrent(), -1);
}

TEST(LumUndoManager, UndoAndRedoWalkTheSnapshots)
{
    TDoc doc;
    TLumUndoManager undo(&doc);
    PushValues(undo, doc, 2);
    EXPECT_TRUE(undo.CanUndo());
    EXPECT_FALSE(undo.CanRedo());
    EXPECT_EQ(undo.NextUndoAction(), u"set 2");

    struct Step {
        bool IsUndo;
        int Alpha;
        bool CanUndo, CanRedo;
        const char16_t* NextUndo;
        const char16_t* NextRedo;
    };
    const Step steps[] = {
        { true, 1, true, true, u"set 1", u"set 2" },
        { true, 0, false, true, u"", u"set 1" },
        { true, 0, false, true, u"", u"set 1" }, // nothing below the base
        { false, 1, true, true, u"set 1", u"set 2" },
        { false, 2, true, false, u"set 2", u"" },
        { false, 2, true, false, u"set 2", u"" },
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.IsUndo ? "undo to " : "redo to ") + std::to_string(s.Alpha));
        s.IsUndo ? undo.Undo() : undo.Redo();
        EXPECT_EQ(doc.GetAlpha(), s.Alpha);
        EXPECT_EQ(undo.CanUndo(), s.CanUndo);
        EXPECT_EQ(undo.CanRedo(), s.CanRedo);
        EXPECT_EQ(undo.NextUndoAction(), s.NextUndo);
        EXPECT_EQ(undo.NextRedoAction(), s.NextRedo);
    }
}

TEST(LumUndoManager, PushAfterUndoDropsTheRedoEntries)
{
    TDoc doc;
    TLumUndoManager undo(&doc);
    PushValues(undo, doc, 3);
    undo.Undo();
    undo.Undo();
    doc.SetAlpha(10);
    undo.PushState(u"other");
    EXPECT_FALSE(undo.CanRedo());
    EXPECT_EQ(undo.GetCount(), 3);
    undo.Undo();
    EXPECT_EQ(doc.GetAlpha(), 1);
}

TEST(LumUndoManager, StackKeepsTheNewestSnapshotsUpToTheMaximum)
{
    TDoc doc;
    TLumUndoManager undo(&doc);
    EXPECT_EQ(undo.GetMaxStackCount(), 20);
    PushValues(undo, doc, 24); // with the base: 25 snapshots
    EXPECT_EQ(undo.GetCount(), 20);
    EXPECT_EQ(undo.GetCurrent(), 19);
    EXPECT_EQ(undo.GetStackItem(0)->GetActionName(), u"set 5");
    int undos = 0;
    while (undo.CanUndo()) {
        undo.Undo();
        ++undos;
    }
    EXPECT_EQ(undos, 19);
    EXPECT_EQ(doc.GetAlpha(), 5);

    // A lowered maximum takes effect at the next push, all at once.
    while (undo.CanRedo())
        undo.Redo();
    undo.SetMaxStackCount(5);
    doc.SetAlpha(99);
    undo.PushState(u"last");
    EXPECT_EQ(undo.GetCount(), 5);
    EXPECT_EQ(undo.GetCurrent(), 4);
    EXPECT_EQ(undo.NextUndoAction(), u"last");
}

TEST(LumUndoManager, FailedSaveLeavesNoSnapshot)
{
    TDoc doc;
    TLumUndoManager undo(&doc);
    PushValues(undo, doc, 2);
    undo.Undo(); // a redo entry exists: Alpha 2
    doc.SetAlpha(7);
    doc.FFailSave = true;
    EXPECT_THROW(undo.PushState(u"broken"), Exception);
    doc.FFailSave = false;
    EXPECT_EQ(undo.GetCount(), 3) << "the stack is as it was";
    EXPECT_EQ(undo.GetCurrent(), 1);
    EXPECT_EQ(undo.NextRedoAction(), u"set 2");
    undo.Redo();
    EXPECT_EQ(doc.GetAlpha(), 2);
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(doc.GetAlpha(), 0);
}
