#pragma once
// The record-set servers ("ADODB.Connection", "ADODB.RecordSet") read
// database files: SQLite 3, and Jet/ACE through mdbtools. What a query may
// bring into memory is bounded.

#include <cstdint>

#include "platform/automation/ComObj.h"

struct TADOLimits {
    std::uint64_t MaxCells { 50'000'000 };
    std::uint64_t MaxTextBytes { std::uint64_t(2) << 30 };
};
// The process-wide limits (tests lower them).
TADOLimits& ADOReadLimits();

// The database file a connection string names after "DBQ=" (braces
// removed); empty when it names none.
String ConnectionFileName(const String& connection);

// The servers the ProgID table starts with (a test that puts a stand-in in
// their place puts them back with these).
TComPtr<IDispatch> ADOConnectionFactory();
TComPtr<IDispatch> ADORecordSetFactory();
