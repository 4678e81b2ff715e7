#include "grid/core/FileStringList.h"

QT_PUBLISHED(TFileStringList)

void TFileStringList::ReadLn(String& s)
{
    s = GetStrings(fp);
    ++fp;
}

void TFileStringList::WriteLn(const String& s)
{
    Add(cache + s);
    cache.clear();
}
