#include "app/browser/LumUndoManager.h"

#include "foundation/LumPersistence.h"

QT_PUBLISHED(TLumUndoStackItem)
QT_PUBLISHED(TLumUndoManager)

TLumUndoStackItem::TLumUndoStackItem(TCollection* Collection) : TCollectionItem(Collection) { }

TLumUndoStackItem::~TLumUndoStackItem() = default;

TLumUndoManager::TLumUndoManager(TObject* AObject)
    : TCollection(TLumUndoStackItem::StaticClassInfo()), FObject(AObject) { }

TLumUndoStackItem* TLumUndoManager::GetStackItem(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        return nullptr;
    return static_cast<TLumUndoStackItem*>(GetItem(Index));
}

// An object with its own persistence (the control base) applies its own
// property filters.
void TLumUndoManager::SaveState(TStream& AStream)
{
    if (auto* p = Supports<ILumPersistence>(FObject))
        p->SaveSettingsToStream(AStream, false);
    else
        TLumPersistence::SaveSettingsToStream(FObject, AStream);
}

void TLumUndoManager::LoadState(TStream& AStream)
{
    AStream.SetPosition(0);
    if (auto* p = Supports<ILumPersistence>(FObject))
        p->LoadSettingsFromStream(AStream);
    else
        TLumPersistence::LoadSettingsFromStream(FObject, AStream);
}

void TLumUndoManager::PushState(const String& AActionName)
{
    // The state is taken before the stack changes, so a save that raises
    // leaves neither a truncated snapshot nor a lost redo entry.
    TMemoryStream state;
    SaveState(state);
    while (GetCount() - 1 > FCurrent)
        Delete(GetCount() - 1);
    auto* item = static_cast<TLumUndoStackItem*>(Add());
    item->SetActionName(AActionName);
    state.SetPosition(0);
    item->GetState()->CopyFrom(state, 0);
    ++FCurrent;
    // A loop, so lowering MaxStackCount shrinks the stack on the next push.
    while (GetCount() > std::max(FMaxStackCount, 1)) {
        Delete(0);
        --FCurrent;
    }
}

void TLumUndoManager::Undo()
{
    if (FCurrent > 0 && GetCount() >= FCurrent) {
        LoadState(*GetStackItem(FCurrent - 1)->GetState());
        --FCurrent;
    }
}

void TLumUndoManager::Redo()
{
    if (FCurrent >= -1 && FCurrent < GetCount() - 1) {
        LoadState(*GetStackItem(FCurrent + 1)->GetState());
        ++FCurrent;
    }
}

bool TLumUndoManager::CanUndo() const
{
    return FCurrent >= 1 && GetCount() >= 1;
}

bool TLumUndoManager::CanRedo() const
{
    return FCurrent < GetCount() - 1 && GetCount() > 0;
}

String TLumUndoManager::NextUndoAction() const
{
    if (FCurrent >= 0 && FCurrent < GetCount())
        return GetStackItem(FCurrent)->GetActionName();
    return String();
}

String TLumUndoManager::NextRedoAction() const
{
    if (FCurrent >= -1 && FCurrent < GetCount() - 1)
        return GetStackItem(FCurrent + 1)->GetActionName();
    return String();
}

void TLumUndoManager::ClearUndoStack()
{
    Clear();
    FCurrent = -1;
    PushState(String());
}
