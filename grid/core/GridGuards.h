#pragma once
// Scope guards the string grid's bulk operations share: a raised flag and
// an update bracket are always undone, also when a step raises.

#include "grid/core/DedOzovedUrad.h"

namespace GridGuards {

// Sets a flag for one scope and puts its old value back.
template<class T>
struct TValueGuard {
    T& Field;
    T Old;
    TValueGuard(T& F, T Value) : Field(F), Old(F) { Field = Value; }
    ~TValueGuard() { Field = Old; }
    TValueGuard(const TValueGuard&) = delete;
    TValueGuard& operator=(const TValueGuard&) = delete;
};

// BeginUpdate / EndUpdate, with the platform's layout held for the time
// (it lays out once when the scope ends).
struct TBulkUpdate {
    TDedOzovedUrad& Grid;
    bool WasUpdating;
    explicit TBulkUpdate(TDedOzovedUrad& G) : Grid(G), WasUpdating(G.GetUpdating())
    {
        Grid.BeginUpdate();
        Grid.SetUpdating(true);
    }
    ~TBulkUpdate()
    {
        Grid.SetUpdating(WasUpdating);
        Grid.EndUpdate();
    }
    TBulkUpdate(const TBulkUpdate&) = delete;
    TBulkUpdate& operator=(const TBulkUpdate&) = delete;
};

} // namespace GridGuards
