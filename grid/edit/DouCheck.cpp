#include "grid/edit/DouCheck.h"

QT_PUBLISHED(TDedOzovedUradCheck, QT_PROP(AutoCorrect), QT_PROP(AutoMarkError), QT_PROP(GotoCell),
    QT_PROP(UseCorrect), QT_PROP(UseMarkError))

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

void TDedOzovedUradCheck::SetGrid(TComponent* Value)
{
    if (FGrid == Value)
        return;
    if (FGrid)
        FGrid->RemoveFreeNotification(this);
    FGrid = Value;
    if (FGrid)
        FGrid->FreeNotification(this);
}

void TDedOzovedUradCheck::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid)
        FGrid = nullptr;
}
