#include "grid/core/ControlList.h"

#include "platform/rtl/Collections.h"
#include "platform/vcl/Controls.h"

QT_PUBLISHED(TControlItem)
QT_PUBLISHED(TLumControlList)

void TLumControlList::AddControl(int X, int Y, TControl* AObject)
{
    FItems.push_back(std::make_unique<TControlItem>(X, Y, AObject));
}

int TLumControlList::ControlIndex(int X, int Y) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->X == X && FItems[i]->Y == Y)
            return int(i);
    return -1;
}

TControlItem* TLumControlList::GetControl(int i) const
{
    if (i < 0 || i >= GetCount())
        RaiseListIndexError(i);
    return FItems[std::size_t(i)].get();
}

void TLumControlList::RemoveControl(int i)
{
    if (i < 0 || i >= GetCount())
        RaiseListIndexError(i);
    FItems.erase(FItems.begin() + i);
}

bool TLumControlList::HasHandle(HWND Handle) const
{
    for (const auto& item : FItems)
        if (auto* w = dynamic_cast<TWinControl*>(item->GetControl()); w && w->GetHandle() == Handle)
            return true;
    return false;
}
