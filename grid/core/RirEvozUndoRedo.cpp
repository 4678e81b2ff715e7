#include "grid/core/RirEvozUndoRedo.h"

#include <algorithm>

#include "grid/core/BaseGrid.h"

QT_PUBLISHED(TUndoRedoItem, QT_PROP(Row), QT_PROP(Col), QT_PROP(Value), QT_PROP(OrigValue), QT_PROP(SequenceStart),
    QT_PROP(SequenceStop))
QT_PUBLISHED(TUndoRedoCollection)
QT_PUBLISHED(TRirEvozUndoRedo, QT_PROP(MaxLevel), QT_EVENT(OnUndo), QT_EVENT(OnRedo))

TRirEvozUndoRedo::TRirEvozUndoRedo(TComponent* AOwner)
    : TComponent(AOwner)
    , FItems(std::make_unique<TUndoRedoCollection>())
{
}

// Going unlinks the grid through the free notification.
TRirEvozUndoRedo::~TRirEvozUndoRedo() = default;

void TRirEvozUndoRedo::SetGrid(TBaseGrid* Value)
{
    if (FGrid == Value)
        return;
    if (FGrid)
        FGrid->RemoveFreeNotification(this);
    FGrid = Value;
    if (FGrid)
        FGrid->FreeNotification(this);
}

void TRirEvozUndoRedo::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid)
        FGrid = nullptr;
}

// The grid's side of the link.
void TBaseGrid::SetUndoRedo(TRirEvozUndoRedo* Value)
{
    if (FUndoRedo == Value)
        return;
    TRirEvozUndoRedo* Old = FUndoRedo;
    FUndoRedo = Value;
    if (Old && Old->GetGrid() == this)
        Old->SetGrid(nullptr);
    if (Value)
        Value->SetGrid(this);
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TObjStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FUndoRedo)
        FUndoRedo = nullptr;
}

// ---- recording ----

void TRirEvozUndoRedo::DiscardRedoTail()
{
    if (FLevel >= FItems->Count())
        return;
    const int Keep = FLevel;
    int i = 0;
    FItems->DeleteWhere([&](TCollectionItem*) { return i++ >= Keep; });
}

TUndoRedoItem* TRirEvozUndoRedo::Append(int ACol, int ARow)
{
    DiscardRedoTail();
    TUndoRedoItem* Item = FItems->Add();
    Item->SetCol(ACol);
    Item->SetRow(ARow);
    return Item;
}

void TRirEvozUndoRedo::Appended()
{
    FLevel = FItems->Count();
    TrimToMaxLevel();
}

// Whole steps go from the oldest end: a sequence with its markers or one
// change. The newest step and a sequence still being recorded stay, so a
// step is never left without its start marker.
void TRirEvozUndoRedo::TrimToMaxLevel()
{
    if (FMaxLevel <= 0)
        return;
    while (FItems->Count() > FMaxLevel) {
        int StepEnd = 0; // the last entry of the oldest step
        if (Entry(0)->GetSequenceStart()) {
            StepEnd = -1;
            for (int i = 1; i < FItems->Count(); ++i)
                if (Entry(i)->IsMarker()) {
                    if (Entry(i)->GetSequenceStop())
                        StepEnd = i;
                    break;
                }
            if (StepEnd < 0)
                break; // the sequence being recorded
        }
        if (StepEnd >= FItems->Count() - 1)
            break; // the newest step
        int i = 0;
        FItems->DeleteWhere([&](TCollectionItem*) { return i++ <= StepEnd; });
        FLevel = std::max(0, FLevel - (StepEnd + 1));
    }
}

void TRirEvozUndoRedo::RegisterChange(int ACol, int ARow, const String& OldValue, const String& NewValue)
{
    TUndoRedoItem* Item = Append(ACol, ARow);
    Item->SetValue(NewValue);
    Item->SetOrigValue(OldValue);
    Appended();
}

void TRirEvozUndoRedo::StartSequence()
{
    Append(-1, -1)->SetSequenceStart(true);
    Appended();
}

void TRirEvozUndoRedo::StopSequence()
{
    Append(-1, -1)->SetSequenceStop(true);
    Appended();
}

void TRirEvozUndoRedo::Reset()
{
    FItems->Clear();
    FLevel = 0;
}

// ---- stepping ----

namespace {

// The start marker that belongs to the stop marker at Stop: the nearest
// marker below it, when that is a start marker; -1 otherwise.
int StartOf(const TUndoRedoCollection& Items, int Stop)
{
    for (int i = Stop - 1; i >= 0; --i)
        if (Items.GetItems(i)->IsMarker())
            return Items.GetItems(i)->GetSequenceStart() ? i : -1;
    return -1;
}

// The stop marker that belongs to the start marker at Start, or -1.
int StopOf(const TUndoRedoCollection& Items, int Start)
{
    for (int i = Start + 1; i < Items.Count(); ++i)
        if (Items.GetItems(i)->IsMarker())
            return Items.GetItems(i)->GetSequenceStop() ? i : -1;
    return -1;
}

} // namespace

void TRirEvozUndoRedo::Apply(const TUndoRedoItem* E, bool Back, bool CheckBoxStep)
{
    const int Col = E->GetCol(), Row = E->GetRow();
    const String& NewValue = Back ? E->GetOrigValue() : E->GetValue();
    if (const TRirEvozUndoRedoEvent& Handler = Back ? OnUndo : OnRedo)
        Handler(this, FGrid, Col, Row, FGrid->GetCells(Col, Row), NewValue);
    if (CheckBoxStep && FGrid->CellHasCheckBox(Col, Row))
        FGrid->SetCheckBoxFromText(Col, Row, NewValue);
    else
        FGrid->SetCellEx(Col, Row, NewValue);
    // The cell may have gone since (rows removed): the focus stays then.
    const int Shown = FGrid->DisplColIndex(TRealCol(Col)).Value;
    if (Shown >= 0 && Shown < FGrid->GetColCount() && Row >= 0 && Row < FGrid->GetRowCount())
        FGrid->FocusCell(Shown, Row);
}

void TRirEvozUndoRedo::Undo()
{
    if (!FGrid || FLevel <= 0 || FLevel > FItems->Count())
        return;
    // A marker whose partner is gone (or a start marker reached while its
    // sequence is undone change by change) is stepped over.
    while (FLevel > 0) {
        const TUndoRedoItem* E = Entry(FLevel - 1);
        if (E->GetSequenceStart() || (E->GetSequenceStop() && StartOf(*FItems, FLevel - 1) < 0))
            --FLevel;
        else
            break;
    }
    if (FLevel == 0)
        return;
    const TUndoRedoItem* E = Entry(FLevel - 1);
    if (E->GetSequenceStop()) {
        const int Start = StartOf(*FItems, FLevel - 1);
        for (--FLevel; FLevel - 1 > Start; --FLevel)
            Apply(Entry(FLevel - 1), true, false);
        FLevel = Start; // past the start marker
        FGrid->Invalidate();
        return;
    }
    Apply(E, true, true);
    FGrid->RepaintCell(FGrid->GetCol(), E->GetRow());
    --FLevel;
}

void TRirEvozUndoRedo::Redo()
{
    if (!FGrid || FLevel >= FItems->Count() || FLevel < 0)
        return;
    while (FLevel < FItems->Count()) {
        const TUndoRedoItem* E = Entry(FLevel);
        if (E->GetSequenceStop() || (E->GetSequenceStart() && StopOf(*FItems, FLevel) < 0))
            ++FLevel;
        else
            break;
    }
    if (FLevel == FItems->Count())
        return;
    const TUndoRedoItem* E = Entry(FLevel);
    if (E->GetSequenceStart()) {
        const int Stop = StopOf(*FItems, FLevel);
        for (++FLevel; FLevel < Stop; ++FLevel)
            Apply(Entry(FLevel), false, false);
        FLevel = Stop + 1; // past the stop marker
        FGrid->Invalidate();
        return;
    }
    Apply(E, false, true);
    FGrid->RepaintCell(FGrid->GetCol(), E->GetRow());
    ++FLevel;
}
