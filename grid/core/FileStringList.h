#pragma once
// A string list read and written line by line through a cursor, for the
// CSV and text readers and writers.

#include "platform/rtl/StringList.h"

class TFileStringList : public TStringList {
    QT_CLASS(TFileStringList, TStringList)
public:
    void Reset()
    {
        fp = 0;
        cache.clear();
    }
    bool GetEof() const { return fp >= GetCount(); }
    bool Eof() const { return GetEof(); }
    // Reading past the last line raises the string list's index error.
    void ReadLn(String& s);
    // Text kept until WriteLn ends the line; it is not part of the list before.
    void Write(const String& s) { cache += s; }
    void WriteLn(const String& s);

private:
    int fp { 0 };
    String cache;
};
