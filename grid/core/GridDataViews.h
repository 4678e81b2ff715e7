#pragma once
// The string grid's way into its data views: sorting, row nodes, grouping,
// filtering, searching, the search bar's actions, the clipboard, cell
// streams, saved column widths, the print layout and the OLE drop target.
// Those features live in grid/views, above the grid core; it registers a
// factory here and every grid made afterwards gets its own views object.
//
// Until a factory is registered each grid gets TNeutralGridDataViews, whose
// operations give the neutral answer a grid without the feature has:
//
//   sorting       QSort, QSortIndexed, QSortGroup, QSortGroupIndexed,
//                 QUnSort, InitSortXRef                      nothing done
//   nodes         GetNodeCount 0; IsNode, IsSummary, GetNodeState,
//                 IsNodeClickHit False; GetNodeLevel, GetNodeSpan,
//                 GetParentRow -1; GetNodeSpanType 1; GetSubNodeCount 0;
//                 ExpandNode, ContractNode, ToggleNode, ExpandAll,
//                 ContractAll, RemoveAllNodes                 nothing done
//                 InsertNormalRow, InsertChildRow, RemoveNormalRow,
//                 RemoveChildRow                              nothing done
//   group rows    MergeGroupRows, SplitGroupRows             nothing done
//   grouping      Group, UnGroup, SubGroup, SubUnGroup, GroupCalc
//                                                            nothing done
//   filtering     SetFilterActive, RemoveAllFilters, NarrowDown
//                                                            nothing done
//   searching     Search -1
//   filter lists  CollectFilterValues False (FilterList untouched);
//                 ApplySelectedFilterValue, ApplyCheckedFilterValues
//                                                            nothing done
//   search bar    SearchPanelEditChange, SearchPanelFindNext,
//                 SearchPanelFindPrevious                    nothing done
//   clipboard     Copy/Cut/PasteSelection...                 nothing done
//   cell streams  SaveToStream, SaveRectToBinStream write nothing,
//                 LoadFromStream reads nothing (so AssignCells copies no
//                 cells)
//   column widths SaveColSizes, LoadColSizes                 nothing done
//   print layout  GetPrintColWidth, GetPrintColOffset 0
//   drop target   RegisterDropTarget False (nothing registered),
//                 RevokeDropTarget, SetDropTargetAccepts     nothing done
//   drag source   NewDropSource a plain TDOUDropSource (no drag image)

#include <functional>
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TDedOzovedUrad;
class TObject;
class TDOUDropSource;

class IGridDataViews {
public:
    virtual ~IGridDataViews() = default;

    // ---- sorting ----
    // By SortSettings.Column and Direction / by the sort index list.
    virtual void QSort() = 0;
    virtual void QSortIndexed() = 0;
    // The same within each node group.
    virtual void QSortGroup() = 0;
    virtual void QSortGroupIndexed() = 0;
    // Back to the order of the sort cross-reference list.
    virtual void QUnSort() = 0;
    virtual void InitSortXRef() = 0;

    // ---- nodes (display rows unless said otherwise) ----
    virtual int GetNodeCount() = 0;
    virtual bool IsNode(int ARow) = 0;
    virtual bool IsSummary(int ARow) = 0;
    // True when the row's node is contracted.
    virtual bool GetNodeState(int ARow) = 0;
    virtual int GetNodeLevel(int ARow) = 0;
    virtual int GetNodeSpan(int ARow) = 0;
    virtual int GetNodeSpanType(int ARow) = 0;
    virtual int GetSubNodeCount(int ARow) = 0;
    virtual int GetParentRow(int ARow) = 0;
    virtual bool IsNodeClickHit(int ARow, int X) = 0;
    // Real row indexes.
    virtual void ExpandNode(int ARow) = 0;
    virtual void ContractNode(int ARow) = 0;
    virtual void ToggleNode(int ARow) = 0;
    virtual void ExpandAll() = 0;
    virtual void ContractAll() = 0;
    virtual void RemoveAllNodes() = 0;
    // Row insertion and removal that keep node spans and levels in step.
    virtual void InsertNormalRow(int ARow) = 0;
    virtual void InsertChildRow(int ARow, int InsertAt) = 0;
    virtual void RemoveNormalRow(int ARow) = 0;
    virtual void RemoveChildRow(int ARow) = 0;

    // ---- group rows ----
    virtual void MergeGroupRows() = 0;
    virtual void SplitGroupRows() = 0;
    // Grouping by a column, sub-groups and group calculations (real
    // columns); nothing happens without the data views.
    virtual void Group(int /*Colindex*/) { }
    virtual void UnGroup() { }
    virtual void SubGroup(int /*Colindex*/) { }
    virtual void SubUnGroup(int /*Colindex*/) { }
    virtual void GroupCalc(int /*Colindex*/, int /*Method*/) { }

    // ---- filtering and searching ----
    virtual void SetFilterActive(bool Value) = 0;
    virtual void RemoveAllFilters() = 0;
    virtual void NarrowDown(const String& ACondition, int AColumn) = 0;
    // Whether a display row passes the filter's conditions (True without
    // the filtering views).
    virtual bool RowMatchesFilter(int /*ARow*/) { return true; }
    // The first normal row whose search-column text starts with s; -1 when none.
    virtual int Search(const String& s) = 0;
    // Fills the grid's FilterList for a real column; True when it has entries.
    virtual bool CollectFilterValues(int ACol, bool StopAtFirst, bool IncludeHidden) = 0;
    virtual void ApplySelectedFilterValue(TObject* Sender, int ItemIndex) = 0;
    virtual void ApplyCheckedFilterValues(TObject* Sender, int ItemIndex) = 0;

    // ---- search bar ----
    virtual void SearchPanelEditChange() = 0;
    virtual void SearchPanelFindNext() = 0;
    virtual void SearchPanelFindPrevious() = 0;

    // ---- clipboard ----
    virtual void CopySelectionToClipboard() = 0;
    virtual void CutSelectionToClipboard() = 0;
    virtual void PasteSelectionFromClipboard() = 0;

    // ---- cell streams ----
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveRectToBinStream(const TRect& Rect, TStream& Stream, bool SaveHidden) = 0;

    // ---- saved column widths ----
    virtual void SaveColSizes() = 0;
    virtual void LoadColSizes() = 0;

    // ---- print layout ----
    virtual int GetPrintColWidth(int ACol) = 0;
    virtual int GetPrintColOffset(int ACol) = 0;

    // ---- OLE drop target ----
    // Makes a new drop target for the grid's window and registers it; True
    // when the registration succeeded.
    virtual bool RegisterDropTarget() = 0;
    virtual void RevokeDropTarget() = 0;
    // What the registered drop target accepts.
    virtual void SetDropTargetAccepts(bool Text, bool Files, bool URLs) = 0;

    // ---- OLE drag source ----
    // The drop source of a drag of the grid's own cells.
    virtual TComPtr<TDOUDropSource> NewDropSource();
};

// The answers of a grid whose data views are not installed.
class TNeutralGridDataViews : public IGridDataViews {
public:
    void QSort() override { }
    void QSortIndexed() override { }
    void QSortGroup() override { }
    void QSortGroupIndexed() override { }
    void QUnSort() override { }
    void InitSortXRef() override { }
    int GetNodeCount() override { return 0; }
    bool IsNode(int) override { return false; }
    bool IsSummary(int) override { return false; }
    bool GetNodeState(int) override { return false; }
    int GetNodeLevel(int) override { return -1; }
    int GetNodeSpan(int) override { return -1; }
    int GetNodeSpanType(int) override { return 1; }
    int GetSubNodeCount(int) override { return 0; }
    int GetParentRow(int) override { return -1; }
    bool IsNodeClickHit(int, int) override { return false; }
    void ExpandNode(int) override { }
    void ContractNode(int) override { }
    void ToggleNode(int) override { }
    void ExpandAll() override { }
    void ContractAll() override { }
    void RemoveAllNodes() override { }
    void InsertNormalRow(int) override { }
    void InsertChildRow(int, int) override { }
    void RemoveNormalRow(int) override { }
    void RemoveChildRow(int) override { }
    void MergeGroupRows() override { }
    void SplitGroupRows() override { }
    void SetFilterActive(bool) override { }
    void RemoveAllFilters() override { }
    void NarrowDown(const String&, int) override { }
    int Search(const String&) override { return -1; }
    bool CollectFilterValues(int, bool, bool) override { return false; }
    void ApplySelectedFilterValue(TObject*, int) override { }
    void ApplyCheckedFilterValues(TObject*, int) override { }
    void SearchPanelEditChange() override { }
    void SearchPanelFindNext() override { }
    void SearchPanelFindPrevious() override { }
    void CopySelectionToClipboard() override { }
    void CutSelectionToClipboard() override { }
    void PasteSelectionFromClipboard() override { }
    void SaveToStream(TStream&) override { }
    void LoadFromStream(TStream&) override { }
    void SaveRectToBinStream(const TRect&, TStream&, bool) override { }
    void SaveColSizes() override { }
    void LoadColSizes() override { }
    int GetPrintColWidth(int) override { return 0; }
    int GetPrintColOffset(int) override { return 0; }
    bool RegisterDropTarget() override { return false; }
    void RevokeDropTarget() override { }
    void SetDropTargetAccepts(bool, bool, bool) override { }
};

// Makes the views object of one grid.
using TGridDataViewsFactory = std::function<std::unique_ptr<IGridDataViews>(TDedOzovedUrad& Grid)>;

// Installs the factory for grids made from now on (an empty one brings the
// neutral views back) and gives back the one it replaced.
TGridDataViewsFactory RegisterGridDataViews(TGridDataViewsFactory Factory);
// The views object for a new grid: the registered factory's, else neutral.
std::unique_ptr<IGridDataViews> CreateGridDataViews(TDedOzovedUrad& Grid);
