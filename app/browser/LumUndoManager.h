#pragma once
// A bounded stack of JSON snapshots of one object's settings, walked back
// and forth by Undo and Redo.

#include <algorithm>
#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Streams.h"

class TLumUndoStackItem : public TCollectionItem {
    QT_CLASS(TLumUndoStackItem, TCollectionItem)
public:
    explicit TLumUndoStackItem(TCollection* Collection = nullptr);
    ~TLumUndoStackItem() override;

    const String& GetActionName() const { return FActionName; }
    void SetActionName(const String& Value) { FActionName = Value; }
    TMemoryStream* GetState() const { return FState.get(); }
    // The caller's; the manager does not use it.
    TObject* GetObj() const { return FObj; }
    void SetObj(TObject* Value) { FObj = Value; }

private:
    String FActionName;
    std::unique_ptr<TMemoryStream> FState { std::make_unique<TMemoryStream>() };
    TObject* FObj { nullptr };
};

class TLumUndoManager : public TCollection {
    QT_CLASS(TLumUndoManager, TCollection)
public:
    // AObject is not owned.
    explicit TLumUndoManager(TObject* AObject = nullptr);

    // Records the object's present state on top, dropping the redo entries
    // and, past MaxStackCount, the oldest snapshots.
    void PushState(const String& AActionName);
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    String NextUndoAction() const;
    String NextRedoAction() const;
    // Empties the stack and pushes the present state as the base.
    void ClearUndoStack();

    int GetMaxStackCount() const { return FMaxStackCount; }
    void SetMaxStackCount(int Value) { FMaxStackCount = Value; }
    // nullptr outside 0 .. Count - 1.
    TLumUndoStackItem* GetStackItem(int Index) const;
    TLumUndoStackItem* GetStack(int Index) const { return GetStackItem(Index); }
    // The index of the snapshot that matches the object's present state; -1 when empty.
    int GetCurrent() const { return FCurrent; }

private:
    void SaveState(TStream& AStream);
    void LoadState(TStream& AStream);

    int FCurrent { -1 };
    TObject* FObject { nullptr };
    int FMaxStackCount { 20 };
};
