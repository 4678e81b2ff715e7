#include "GridDataViewsDouble.h"

#include <algorithm>

#include "platform/rtl/Streams.h"

bool TDataViewsLog::Saw(const std::string& Call) const { return Count(Call) > 0; }

int TDataViewsLog::Count(const std::string& Call) const
{
    return int(std::count(Calls.begin(), Calls.end(), Call));
}

namespace {

class TRecordingDataViews : public IGridDataViews {
public:
    explicit TRecordingDataViews(std::shared_ptr<TDataViewsLog> Log) : FLog(std::move(Log)) { }

    void QSort() override
    {
        Note("QSort");
        if (FLog->OnSortCall)
            FLog->OnSortCall();
    }
    void QSortIndexed() override { Note("QSortIndexed"); }
    void QSortGroup() override { Note("QSortGroup"); }
    void QSortGroupIndexed() override { Note("QSortGroupIndexed"); }
    void QUnSort() override { Note("QUnSort"); }
    void InitSortXRef() override { Note("InitSortXRef"); }
    int GetNodeCount() override { return FLog->NodeCount; }
    bool IsNode(int r) override { return FLog->NodeSpans.contains(r); }
    bool IsSummary(int) override { return false; }
    bool GetNodeState(int r) override { return FLog->ContractedNodes.contains(r); }
    int GetNodeLevel(int) override { return -1; }
    int GetNodeSpan(int r) override
    {
        const auto it = FLog->NodeSpans.find(r);
        return it == FLog->NodeSpans.end() ? -1 : it->second;
    }
    int GetNodeSpanType(int) override { return 1; }
    int GetSubNodeCount(int r) override
    {
        const auto it = FLog->SubNodeCounts.find(r);
        return it == FLog->SubNodeCounts.end() ? 0 : it->second;
    }
    int GetParentRow(int r) override
    {
        const auto it = FLog->ParentRows.find(r);
        return it == FLog->ParentRows.end() ? -1 : it->second;
    }
    bool IsNodeClickHit(int, int) override { return false; }
    void ExpandNode(int r) override { Note("ExpandNode(" + std::to_string(r) + ")"); }
    void ContractNode(int r) override { Note("ContractNode(" + std::to_string(r) + ")"); }
    void ToggleNode(int r) override { Note("ToggleNode(" + std::to_string(r) + ")"); }
    void ExpandAll() override { Note("ExpandAll"); }
    void ContractAll() override { Note("ContractAll"); }
    void RemoveAllNodes() override { Note("RemoveAllNodes"); }
    void InsertNormalRow(int) override { Note("InsertNormalRow"); }
    void InsertChildRow(int, int) override { Note("InsertChildRow"); }
    void RemoveNormalRow(int) override { Note("RemoveNormalRow"); }
    void RemoveChildRow(int) override { Note("RemoveChildRow"); }
    void MergeGroupRows() override { Note("MergeGroupRows"); }
    void SplitGroupRows() override { Note("SplitGroupRows"); }
    void SetFilterActive(bool v) override
    {
        Note(std::string("SetFilterActive(") + (v ? "1" : "0") + ")");
        if (FLog->OnSetFilterActive)
            FLog->OnSetFilterActive(v);
    }
    void RemoveAllFilters() override { Note("RemoveAllFilters"); }
    void NarrowDown(const String&, int) override { Note("NarrowDown"); }
    int Search(const String&) override
    {
        Note("Search");
        return FLog->SearchAnswer;
    }
    bool CollectFilterValues(int c, bool, bool) override
    {
        Note("CollectFilterValues(" + std::to_string(c) + ")");
        return FLog->CollectFilterValuesAnswer;
    }
    void ApplySelectedFilterValue(TObject*, int) override { Note("ApplySelectedFilterValue"); }
    void ApplyCheckedFilterValues(TObject*, int) override { Note("ApplyCheckedFilterValues"); }
    void SearchPanelEditChange() override { Note("SearchPanelEditChange"); }
    void SearchPanelFindNext() override { Note("SearchPanelFindNext"); }
    void SearchPanelFindPrevious() override { Note("SearchPanelFindPrevious"); }
    void CopySelectionToClipboard() override { Note("CopySelectionToClipboard"); }
    void CutSelectionToClipboard() override { Note("CutSelectionToClipboard"); }
    void PasteSelectionFromClipboard() override { Note("PasteSelectionFromClipboard"); }
    void SaveToStream(TStream& Stream) override
    {
        Note("SaveToStream");
        if (!FLog->StreamBytes.empty())
            Stream.WriteBuffer(FLog->StreamBytes.data(), Int64(FLog->StreamBytes.size()));
    }
    void LoadFromStream(TStream& Stream) override
    {
        Note("LoadFromStream");
        const auto Size = Stream.GetSize() - Stream.GetPosition();
        std::string Bytes(std::size_t(Size), '\0');
        if (Size > 0)
            Stream.ReadBuffer(Bytes.data(), Size);
        FLog->LoadedBytes = Bytes;
    }
    void SaveRectToBinStream(const TRect&, TStream&, bool) override { Note("SaveRectToBinStream"); }
    void SaveColSizes() override { Note("SaveColSizes"); }
    void LoadColSizes() override { Note("LoadColSizes"); }
    int GetPrintColWidth(int) override { return 0; }
    int GetPrintColOffset(int) override { return 0; }
    bool RegisterDropTarget() override
    {
        Note("RegisterDropTarget");
        return FLog->RegisterSucceeds;
    }
    void RevokeDropTarget() override { Note("RevokeDropTarget"); }
    void SetDropTargetAccepts(bool, bool, bool) override { Note("SetDropTargetAccepts"); }

private:
    void Note(std::string Call) { FLog->Calls.push_back(std::move(Call)); }
    std::shared_ptr<TDataViewsLog> FLog;
};

} // namespace

TRecordingDataViewsScope::TRecordingDataViewsScope()
    : Log(std::make_shared<TDataViewsLog>())
{
    std::shared_ptr<TDataViewsLog> Shared = Log;
    FPrevious = RegisterGridDataViews(
        [Shared](TDedOzovedUrad&) -> std::unique_ptr<IGridDataViews> { return std::make_unique<TRecordingDataViews>(Shared); });
}

TRecordingDataViewsScope::~TRecordingDataViewsScope() { RegisterGridDataViews(std::move(FPrevious)); }
