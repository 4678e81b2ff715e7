#include "platform/rtl/Collections.h"

QT_PUBLISHED(TGenericList)
QT_PUBLISHED(TGenericDictionary)

void RaiseListIndexError(long long index)
{
    throw EListError(u"List index out of bounds (" + S(std::to_string(index)) + u")");
}

void RaiseDuplicateItem()
{
    throw EListError(u"Duplicates not allowed");
}

void RaiseItemNotFound()
{
    throw EListError(u"Item not found");
}

void RaiseItemTypeMismatch()
{
    throw EInvalidCast(u"Invalid class typecast");
}
