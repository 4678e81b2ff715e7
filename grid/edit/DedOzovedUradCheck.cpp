#include "grid/edit/DedOzovedUradCheck.h"

QT_PUBLISHED(TDedOzovedUradCheck, QT_PROP(AutoCorrect), QT_PROP(AutoMarkError), QT_PROP(GotoCell), QT_PROP(UseCorrect),
    QT_PROP(UseMarkError))

TDedOzovedUradCheck::TDedOzovedUradCheck(TComponent* AOwner) : TComponent(AOwner) { }

void TDedOzovedUradCheck::SetGrid(TComponent* v)
{
    if (v == FGrid)
        return;
    // The grid may go first: asking to hear of it keeps the reference honest.
    if (FGrid)
        FGrid->RemoveFreeNotification(this);
    FGrid = v;
    if (FGrid)
        FGrid->FreeNotification(this);
}

String TDedOzovedUradCheck::MarkError(int, int, const String& s)
{
    FLastResult = mrOk;
    return s;
}

String TDedOzovedUradCheck::Correct(int, int, const String& s)
{
    FLastResult = mrOk;
    return s;
}

void TDedOzovedUradCheck::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid)
        FGrid = nullptr;
}
