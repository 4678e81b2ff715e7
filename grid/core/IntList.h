#pragma once
// Integer lists of the grid: TIntList (row and column bookkeeping, with a
// change event naming the cell the list belongs to) and TSortIndexList (the
// keys of a multi-column sort, with a compact text form).

#include <functional>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/String.h"

// Sender is the list; Acol/Arow the cell the list was created for.
using TImageChangeEvent = std::function<void(TObject* Sender, int Acol, int Arow)>;

class TIntList : public TObject {
    QT_CLASS(TIntList, TObject)
public:
    // Lists that belong to no cell use (0, 0) or (-1, -1).
    explicit TIntList(int Col = 0, int Row = 0) : FCol(Col), FRow(Row) { }
    // Clears the list, so a handler hears about the entries going.
    ~TIntList() override;

    int GetCount() const { return int(FItems.size()); }
    int Count() const { return GetCount(); }
    int GetCol() const { return FCol; }
    int GetRow() const { return FRow; }

    // Index errors raise EListError.
    int GetInteger(int Index) const;
    void SetInteger(int Index, int Value);
    int operator[](int Index) const { return GetInteger(Index); }

    void Add(int Value);
    // Position insert, 0..Count; does not fire OnChange.
    void Insert(int Index, int Value);
    // Sorted insert into an ascending list; an equal value goes in front of
    // the equal entry the search meets. Only an insert into an empty list
    // (which goes through Add) fires OnChange.
    void Insert(int Value);
    void Delete(int Index);
    // The entries of Index .. Index + Count - 1 that exist go (one change
    // report); Count copies of Value come in at Index (no report, as Insert).
    void DeleteRange(int Index, int Count);
    void InsertRange(int Index, int Count, int Value);
    void DeleteValue(int Value);
    // Fires OnChange also when the list is already empty.
    void Clear();

    bool HasValue(int Value) const;
    // Binary searches of an ascending list.
    int SortedIndexOf(int Value) const;
    int SortedPosOf(int Value) const;

    // Values in decimal joined by "," without blanks. Writing clears the list
    // and adds each item of the comma text; a non-integer item raises
    // EConvertError and keeps the items before it.
    String GetStrValue() const;
    void SetStrValue(const String& Value);

    const std::vector<int>& Values() const { return FItems; }
    // Replaces every entry (one change report).
    void SetValues(std::vector<int> Values)
    {
        FItems = std::move(Values);
        Changed();
    }

    TImageChangeEvent OnChange;

protected:
    void Changed();

private:
    // Index of an equal entry (found) or the position keeping the order.
    int SearchSorted(int Value, bool& found) const;
    void CheckIndex(int Index) const;

    std::vector<int> FItems;
    int FCol { 0 };
    int FRow { 0 };
};

// Each entry is a sort key: bits 0..30 the column, bit 31 set for a
// descending column. Entry 0 is the primary sort column.
class TSortIndexList : public TIntList {
    QT_CLASS(TSortIndexList, TIntList)
public:
    using TIntList::TIntList;

    static constexpr unsigned DescendingBit = 0x80000000u;

    void AddIndex(int ColumnIndex, bool Ascending);
    int FindIndex(int ColumnIndex) const;
    void ToggleIndex(int ColumnIndex);

    int GetSortColumns(int i) const;
    void SetSortColumns(int i, int Value);
    // True: ascending.
    bool GetSortDirections(int i) const;
    void SetSortDirections(int i, bool Value);

    // "u2;d5": u (ascending) or d (descending) and the column, joined by ";".
    String SaveToString() const;
    // Parts shorter than two characters, and parts whose column is not a
    // non-negative decimal number, are skipped; a part starting with "u" is
    // ascending, any other letter descending.
    void LoadFromString(const String& s);

private:
    static int Pack(int Column, bool Ascending);
};
