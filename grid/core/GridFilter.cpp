#include "grid/core/GridFilter.h"

#include "grid/core/GridHost.h"

QT_PUBLISHED(TFilterData, QT_PROP(Column), QT_PROP(Condition), QT_PROP(CaseSensitive), QT_PROP(Suffix), QT_PROP(Prefix),
    QT_PROP(Operation), QT_PROP(Data), QT_PROP(Method), QT_PROP(Enabled), QT_PROP(RemoveAccented))
QT_PUBLISHED(TFilter)

void TFilterData::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TFilterData*>(Source);
    if (!src)
        throw EInvalidCast(u"Invalid class typecast");
    FColumn = src->FColumn;
    FCondition = src->FCondition;
    FCaseSensitive = src->FCaseSensitive;
    FData = src->FData;
    FPrefix = src->FPrefix;
    FSuffix = src->FSuffix;
    FOperation = src->FOperation;
    FRemoveAccented = src->FRemoveAccented;
}

namespace {

bool NeedsQuotes(const String& s)
{
    if (!s.empty() && s.front() == u'=')
        return true;
    for (Char c : s)
        if (StringView(u" &|;^<>()!\"").find(c) != StringView::npos)
            return true;
    return false;
}

String Quoted(const String& s)
{
    String r = u"\"";
    for (Char c : s) {
        r += c;
        if (c == u'"')
            r += c;
    }
    return r + u"\"";
}

} // namespace

void TFilterData::BuildCondition(const String& s)
{
    const String v = NeedsQuotes(s) ? Quoted(s) : s;
    switch (FFilterType) {
    case ftStartsWith: FCondition = v + u"*"; break;
    case ftEndsWith: FCondition = u"*" + v; break;
    case ftContains: FCondition = u"*" + v + u"*"; break;
    case ftNotContains: FCondition = u"!*" + v + u"*"; break;
    case ftEqual: FCondition = v; break;
    case ftNotEqual: FCondition = u"!" + v; break;
    case ftLargerThan: FCondition = u">" + v; break;
    case ftSmallerThan: FCondition = u"<" + v; break;
    case ftClear:
    case ftNone: break;
    }
}

// ---- TFilter ----

TFilterData* TFilter::Add()
{
    auto* item = static_cast<TFilterData*>(TCollection::Add());
    item->SetOperation(GetCount() == 1 ? foNONE : foAND);
    return item;
}

TFilterData* TFilter::Add(int AColumn, const String& ACondition, TFilterOperation AOperation)
{
    auto* item = static_cast<TFilterData*>(TCollection::Add());
    item->SetColumn(AColumn);
    item->SetCondition(ACondition);
    item->SetOperation(AOperation);
    return item;
}

TFilterData* TFilter::Insert(int Index)
{
    auto* item = static_cast<TFilterData*>(TCollection::Insert(Index));
    item->SetOperation(Index == 0 ? foNONE : foAND);
    return item;
}

int TFilter::FirstOfColumn(int Col) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetItem(i)->GetColumn() == Col)
            return i;
    return -1;
}

TFilterData* TFilter::GetColFilter(int Col)
{
    const int i = FirstOfColumn(Col);
    if (i >= 0)
        return GetItem(i);
    TFilterData* item = Add();
    item->SetColumn(Col);
    return item;
}

bool TFilter::HasFilter(int Col) const { return FirstOfColumn(Col) >= 0; }

bool TFilter::HasOtherFilter(int Col) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetItem(i)->GetColumn() != Col)
            return true;
    return false;
}

TFilterType TFilter::HasFilterType(int Col) const
{
    const int i = FirstOfColumn(Col);
    return i >= 0 ? GetItem(i)->GetFilterType() : ftContains;
}

void TFilter::RemoveColumnFilter(int Col)
{
    for (int i = GetCount() - 1; i >= 0; --i)
        if (GetItem(i)->GetColumn() == Col)
            Delete(i);
    if (FGrid)
        FGrid->RepaintCell(Col, 0);
}

void TFilter::Update(TCollectionItem* Item)
{
    TCollection::Update(Item);
    if (FGrid && !FGrid->IsDestroying())
        FGrid->RepaintRow(0);
}
