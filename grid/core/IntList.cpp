#include "grid/core/IntList.h"

#include <algorithm>

#include "platform/rtl/Collections.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TIntList)
QT_PUBLISHED(TSortIndexList)

TIntList::~TIntList()
{
    Clear();
}

void TIntList::Changed()
{
    if (OnChange)
        OnChange(this, FCol, FRow);
}

void TIntList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        RaiseListIndexError(Index);
}

int TIntList::GetInteger(int Index) const
{
    CheckIndex(Index);
    return FItems[std::size_t(Index)];
}

void TIntList::SetInteger(int Index, int Value)
{
    CheckIndex(Index);
    FItems[std::size_t(Index)] = Value;
    Changed();
}

void TIntList::Add(int Value)
{
    FItems.push_back(Value);
    Changed();
}

void TIntList::Insert(int Index, int Value)
{
    if (Index < 0 || Index > GetCount())
        RaiseListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Value);
}

int TIntList::SearchSorted(int Value, bool& found) const
{
    found = false;
    int lo = 0;
    int hi = GetCount() - 1;
    int mid = 0;
    while (hi >= lo) {
        mid = lo + (hi - lo) / 2;
        int v = FItems[std::size_t(mid)];
        if (Value < v)
            hi = mid - 1;
        else if (v < Value)
            lo = mid + 1;
        else {
            found = true;
            return mid;
        }
    }
    return FItems[std::size_t(mid)] < Value ? mid + 1 : mid;
}

void TIntList::Insert(int Value)
{
    if (FItems.empty()) {
        Add(Value);
        return;
    }
    bool found;
    Insert(SearchSorted(Value, found), Value);
}

int TIntList::SortedIndexOf(int Value) const
{
    if (FItems.empty())
        return -1;
    bool found;
    int at = SearchSorted(Value, found);
    return found ? at : -1;
}

int TIntList::SortedPosOf(int Value) const
{
    if (FItems.empty())
        return 0;
    bool found;
    return SearchSorted(Value, found);
}

void TIntList::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TIntList::DeleteRange(int Index, int Count)
{
    if (Index < 0 || Count <= 0 || Index >= GetCount())
        return;
    const int End = std::min(GetCount(), Index + Count);
    FItems.erase(FItems.begin() + Index, FItems.begin() + End);
    Changed();
}

void TIntList::InsertRange(int Index, int Count, int Value)
{
    if (Index < 0 || Index > GetCount())
        RaiseListIndexError(Index);
    if (Count > 0)
        FItems.insert(FItems.begin() + Index, std::size_t(Count), Value);
}

void TIntList::DeleteValue(int Value)
{
    for (int i = 0; i < GetCount(); ++i)
        if (FItems[std::size_t(i)] == Value) {
            Delete(i);
            return;
        }
}

void TIntList::Clear()
{
    FItems.clear();
    Changed();
}

bool TIntList::HasValue(int Value) const
{
    for (int v : FItems)
        if (v == Value)
            return true;
    return false;
}

String TIntList::GetStrValue() const
{
    String r;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0)
            r += u',';
        r += IntToStr(FItems[i]);
    }
    return r;
}

void TIntList::SetStrValue(const String& Value)
{
    Clear();
    TStringList parts;
    parts.SetCommaText(Value);
    for (int i = 0; i < parts.GetCount(); ++i)
        Add(StrToInt(parts[i]));
}

// ---- TSortIndexList ----

int TSortIndexList::Pack(int Column, bool Ascending)
{
    unsigned v = unsigned(Column) & ~DescendingBit;
    if (!Ascending)
        v |= DescendingBit;
    return int(v);
}

void TSortIndexList::AddIndex(int ColumnIndex, bool Ascending)
{
    Add(Pack(ColumnIndex, Ascending));
}

int TSortIndexList::FindIndex(int ColumnIndex) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetSortColumns(i) == ColumnIndex)
            return i;
    return -1;
}

void TSortIndexList::ToggleIndex(int ColumnIndex)
{
    int i = FindIndex(ColumnIndex);
    if (i >= 0)
        SetInteger(i, int(unsigned(GetInteger(i)) ^ DescendingBit));
}

int TSortIndexList::GetSortColumns(int i) const
{
    return int(unsigned(GetInteger(i)) & ~DescendingBit);
}

void TSortIndexList::SetSortColumns(int i, int Value)
{
    SetInteger(i, Pack(Value, GetSortDirections(i)));
}

bool TSortIndexList::GetSortDirections(int i) const
{
    return (unsigned(GetInteger(i)) & DescendingBit) == 0;
}

void TSortIndexList::SetSortDirections(int i, bool Value)
{
    SetInteger(i, Pack(GetSortColumns(i), Value));
}

String TSortIndexList::SaveToString() const
{
    // The whole column number is written: cutting it to 16 bits would
    // restore a different column.
    String r;
    for (int i = 0; i < GetCount(); ++i) {
        if (i > 0)
            r += u';';
        r += GetSortDirections(i) ? u'u' : u'd';
        r += IntToStr(GetSortColumns(i));
    }
    return r;
}

namespace {

// A non-negative decimal number that fits the 31 column bits.
bool ReadColumn(StringView digits, int& column)
{
    if (digits.empty() || digits.size() > 10)
        return false;
    long long v = 0;
    for (Char c : digits) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    if (v > 0x7FFFFFFF)
        return false;
    column = int(v);
    return true;
}

} // namespace

void TSortIndexList::LoadFromString(const String& s)
{
    Clear();
    std::size_t start = 0;
    while (start < s.size()) {
        std::size_t end = s.find(u';', start);
        if (end == String::npos)
            end = s.size();
        StringView part(s.data() + start, end - start);
        start = end + 1;
        int column;
        if (part.size() < 2 || !ReadColumn(part.substr(1), column))
            continue;
        AddIndex(column, part[0] == u'u');
    }
}
