#pragma once
// A recording stand-in for the string grid's data views. Grids made while a
// TRecordingDataViewsScope lives get one; each records the operations the
// grid hands it, in order, into the scope's shared log, and answers with
// the log's configured values.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "grid/core/GridDataViews.h"

struct TDataViewsLog {
    // "QSort", "ExpandAll", "SetFilterActive(1)", "RegisterDropTarget", ...
    std::vector<std::string> Calls;
    // Answers.
    int NodeCount { 0 };
    bool RegisterSucceeds { true };
    bool CollectFilterValuesAnswer { false };
    int SearchAnswer { -1 };
    // Node rows: span and sub-node count by display row.
    std::map<int, int> NodeSpans;
    std::map<int, int> SubNodeCounts;
    // Parent node rows by display row, and the contracted node rows.
    std::map<int, int> ParentRows;
    std::set<int> ContractedNodes;
    // Runs after QSort is recorded, to look at the grid while it sorts.
    std::function<void()> OnSortCall;
    // Runs after SetFilterActive is recorded, to act as the filter would.
    std::function<void(bool)> OnSetFilterActive;
    // What SaveToStream writes and what LoadFromStream read last.
    std::string StreamBytes;
    std::string LoadedBytes;

    bool Saw(const std::string& Call) const;
    int Count(const std::string& Call) const;
};

class TRecordingDataViewsScope {
public:
    TRecordingDataViewsScope();
    ~TRecordingDataViewsScope();
    TRecordingDataViewsScope(const TRecordingDataViewsScope&) = delete;
    TRecordingDataViewsScope& operator=(const TRecordingDataViewsScope&) = delete;

    std::shared_ptr<TDataViewsLog> Log;

private:
    TGridDataViewsFactory FPrevious;
};
