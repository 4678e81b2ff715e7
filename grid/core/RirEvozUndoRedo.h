#pragma once
// Undo and redo of cell texts: a component a grid links through its
// UndoRedo property. The grid registers each change of a cell's text (a
// validated edit, a check box toggle, the cells a cut or paste wrote);
// Undo and Redo step through them, a marked sequence counting as one step.
//
// Level is the number of entries in effect: entries from Level on are the
// ones Redo can apply again. 0 <= Level <= Count holds after every
// operation, even after MaxLevel trimming took a sequence's start marker.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Collection.h"

class TBaseGrid;

class TUndoRedoItem : public TCollectionItem {
    QT_CLASS(TUndoRedoItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    int GetRow() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    int GetCol() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    // The text after the change / before it.
    const String& GetValue() const { return FValue; }
    void SetValue(const String& v) { FValue = v; }
    const String& GetOrigValue() const { return FOrigValue; }
    void SetOrigValue(const String& v) { FOrigValue = v; }
    bool GetSequenceStart() const { return FSequenceStart; }
    void SetSequenceStart(bool v) { FSequenceStart = v; }
    bool GetSequenceStop() const { return FSequenceStop; }
    void SetSequenceStop(bool v) { FSequenceStop = v; }
    bool IsMarker() const { return FSequenceStart || FSequenceStop; }

private:
    int FRow { 0 };
    int FCol { 0 };
    String FValue;
    String FOrigValue;
    bool FSequenceStart { false };
    bool FSequenceStop { false };
};

class TUndoRedoCollection : public TCollection {
    QT_CLASS(TUndoRedoCollection, TCollection)
public:
    TUndoRedoCollection() : TCollection(TUndoRedoItem::StaticClassInfo()) { }
    TUndoRedoItem* GetItems(int Index) const { return static_cast<TUndoRedoItem*>(GetItem(Index)); }
    TUndoRedoItem* Add() { return static_cast<TUndoRedoItem*>(TCollection::Add()); }
};

// Sender, the grid, the cell, the text it has now and the text about to be
// written.
using TRirEvozUndoRedoEvent = std::function<void(TObject* Sender, TBaseGrid* Grid, int Col, int Row,
    const String& OrigValue, const String& NewValue)>;

class TRirEvozUndoRedo : public TComponent {
    QT_CLASS(TRirEvozUndoRedo, TComponent)
public:
    explicit TRirEvozUndoRedo(TComponent* AOwner = nullptr);
    ~TRirEvozUndoRedo() override;

    // Records a change of cell (ACol, ARow). Changes that were undone and
    // could have been redone are dropped first: after a new change the
    // old redo path no longer applies to the cells as they are.
    virtual void RegisterChange(int ACol, int ARow, const String& OldValue, const String& NewValue);
    // The changes registered between the two undo and redo as one step;
    // sequences do not nest.
    virtual void StartSequence();
    virtual void StopSequence();
    void Undo();
    void Redo();
    void Reset();
    bool CanUndo() const { return FLevel > 0; }
    bool CanRedo() const { return FLevel < FItems->Count(); }

    TUndoRedoCollection* GetItems() const { return FItems.get(); }
    TBaseGrid* GetGrid() const { return FGrid; }
    // Links the grid (and is told when it goes); the grid's UndoRedo
    // setter calls it.
    void SetGrid(TBaseGrid* Value);
    int GetLevel() const { return FLevel; }
    int GetMaxLevel() const { return FMaxLevel; }
    // 0: no limit. Otherwise whole steps are trimmed from the oldest end
    // (a sequence with its markers, or one change) while more entries
    // than MaxLevel are kept; a sequence being recorded is never cut.
    void SetMaxLevel(int Value) { FMaxLevel = Value; }

    TRirEvozUndoRedoEvent OnUndo;
    TRirEvozUndoRedoEvent OnRedo;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TUndoRedoItem* Entry(int i) const { return FItems->GetItems(i); }
    // A new entry after the ones in effect (the redo path goes), and the
    // level and limit once it is filled in.
    TUndoRedoItem* Append(int ACol, int ARow);
    void Appended();
    void DiscardRedoTail();
    void TrimToMaxLevel();
    // Writes one entry's text (Back: its old text) and focuses the cell.
    void Apply(const TUndoRedoItem* E, bool Back, bool CheckBoxStep);

    std::unique_ptr<TUndoRedoCollection> FItems;
    TBaseGrid* FGrid { nullptr };
    int FLevel { 0 };
    int FMaxLevel { 0 };
};
