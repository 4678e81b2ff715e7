#pragma once
// What the grid's filter and sort settings need from the grid they belong
// to. The grid implements it; tests implement it with a recording fake.

class TSortIndexList;

class IGridHost {
public:
    virtual int GetFixedRows() const = 0;
    virtual int GetRowCount() const = 0;
    // Rows a merged cell covers below ARow (0 for a cell that is not merged).
    virtual int GetMergeSpanY(int ACol, int ARow) const = 0;
    // The grid is being destroyed: nothing is repainted any more.
    virtual bool IsDestroying() const = 0;
    virtual void RepaintCell(int ACol, int ARow) = 0;
    virtual void RepaintRow(int ARow) = 0;
    virtual void Invalidate() = 0;
    // The keys of multi-column sorting.
    virtual TSortIndexList& GetSortIndexes() = 0;
    // Sort the normal rows by SortSettings Column/Direction, or by the sort indexes.
    virtual void QSort() = 0;
    virtual void QSortIndexed() = 0;

protected:
    ~IGridHost() = default;
};
