// The record-set servers on database files: SQLite files made here, and
// the Jet back end's choice by signature and its refusal of damaged files
// (mdbtools cannot write Jet files, so no real one is opened).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include <sqlite3.h>

#include "platform/automation/ADODB.h"
#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;

namespace {

String S8(const fs::path& p) { return Utf8ToString(p.string()); }
String Conn(const fs::path& p) { return u"Driver={Microsoft Access Driver (*.mdb)};DBQ=" + S8(p); }

void Exec(const fs::path& file, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

void WriteFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

Variant OpenQuery(const String& connection, const String& sql)
{
    Variant conn = CreateOleObject(u"ADODB.Connection");
    DispCall(conn, u"Open", { connection });
    Variant rs = CreateOleObject(u"ADODB.RecordSet");
    DispPut(rs, u"ActiveConnection", conn);
    DispCall(rs, u"Open", { sql });
    return rs;
}

} // namespace

TEST(ADODB, SQLiteRecordSetWalksFieldsAndRows)
{
    testsupport::TempDir dir;
    const fs::path file = dir / "shops; old.mdb";  // a name with a semicolon and another extension
    Exec(file, "CREATE TABLE shops(name TEXT, staff INTEGER, rating REAL);"
               "INSERT INTO shops VALUES('Ace \xE2\x82\xAC', 3, 4.5), ('', NULL, 0.25);");
    Variant rs = OpenQuery(Conn(file), u"SELECT * FROM shops ORDER BY staff DESC");
    Variant fields = DispGet(rs, u"Fields");
    ASSERT_EQ(DispGet(fields, u"Count").AsInteger(), 3);
    EXPECT_EQ(DispGet(DispGet(fields, u"", { 0 }), u"Name").AsString(), u"name");
    EXPECT_EQ(DispGet(DispGet(fields, u"", { 2 }), u"Name").AsString(), u"rating");
    EXPECT_EQ(DispGet(rs, u"RecordCount").AsInteger(), 2);
    struct Expected {
        const char16_t* text;
        int size;
    };
    const Expected rows[2][3] = { { { u"Ace \u20AC", 7 }, { u"3", 8 }, { u"4.5", 8 } },
        { { u"", 0 }, { u"", 0 }, { u"0.25", 8 } } };
    // A Fields collection taken once follows the current record.
    Variant f = DispGet(rs, u"Fields");
    int r = 0;
    while (!DispGet(rs, u"Eof").AsBoolean()) {
        ASSERT_LT(r, 2);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(testing::Message() << "row " << r << " field " << i);
            Variant field = DispGet(f, u"", { i });
            const int size = DispGet(field, u"ActualSize").AsInteger();
            EXPECT_EQ(size, rows[r][i].size);
            EXPECT_EQ(size > 0 ? DispGet(field, u"Value").AsString() : String(), rows[r][i].text);
        }
        DispCall(rs, u"MoveNext");
        ++r;
    }
    EXPECT_EQ(r, 2);
    EXPECT_THROW(DispCall(rs, u"MoveNext"), EOleException);
    DispCall(rs, u"Close");
    EXPECT_THROW(DispGet(rs, u"Eof"), EOleException);
}

TEST(ADODB, NothingIsCreatedOrWrittenAndErrorsRaise)
{
    testsupport::TempDir dir;
    const fs::path file = dir / "data.db";
    Exec(file, "CREATE TABLE t(a TEXT); INSERT INTO t VALUES('x');");
    struct stat before {};
    ::stat(file.c_str(), &before);
    const struct {
        const char* name;
        String connection;
        String sql;
    } cases[] = {
        { "bad SQL", Conn(file), u"SELEKT * FROM t" },
        { "missing table", Conn(file), u"SELECT * FROM nowhere" },
        { "a write", Conn(file), u"DELETE FROM t" },
        { "a second statement", Conn(file), u"SELECT * FROM t; DELETE FROM t" },
        { "a file made by ATTACH", Conn(file), u"ATTACH '" + S8(dir / "made.db") + u"' AS m" },
        { "missing file", Conn(dir / "missing.mdb"), u"SELECT 1" },
        { "no DBQ", u"Driver={x}", u"SELECT 1" },
        { "not a database", Conn(dir / "plain.mdb"), u"SELECT 1" },
        { "a folder", Conn(dir.path()), u"SELECT 1" },
    };
    WriteFile(dir / "plain.mdb", "just some text, not a database");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(OpenQuery(c.connection, c.sql), EOleException);
    }
    EXPECT_FALSE(fs::exists(dir / "missing.mdb"));
    EXPECT_FALSE(fs::exists(dir / "made.db"));
    Variant rs = OpenQuery(Conn(file), u"SELECT count(*) FROM t");
    EXPECT_EQ(DispGet(DispGet(DispGet(rs, u"Fields"), u"", { 0 }), u"Value").AsInteger(), 1);
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(before.st_mtime, after.st_mtime);
    EXPECT_EQ(before.st_size, after.st_size);
}

TEST(ADODB, ConnectionStringNamesTheFile)
{
    const struct {
        const char16_t* text;
        const char16_t* file;
    } cases[] = {
        { u"Driver={Microsoft Access Driver (*.mdb)};DBQ=/data/a.mdb", u"/data/a.mdb" },
        { u"Driver={Microsoft Access Driver (*.mdb)};DBQ=/data/a;b.mdb", u"/data/a;b.mdb" },
        { u"DBQ={/data/x.accdb};UID=admin", u"/data/x.accdb" },
        { u"dbq=/data/y.mdb;PWD=secret", u"/data/y.mdb" },
        { u"Driver={x};NODBQ=/a", u"" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << StringToUtf8(c.text));
        EXPECT_EQ(ConnectionFileName(c.text), c.file);
    }
}

TEST(ADODB, DamagedJetFilesRaise)
{
    testsupport::TempDir dir;
    // A Jet 4 header page: signature and version, the rest zeros.
    std::string page(4096, '\0');
    page[1] = 1;
    std::memcpy(&page[4], "Standard Jet DB", 16);
    page[0x14] = 1;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        { "header cut short", page.substr(0, 100) },
        { "half a page more", page + std::string(2048, '\0') },
        { "pages the catalogue needs are missing", page + std::string(4096, '\0') },
        { "an ACE header without pages", [&] {
              std::string p = page.substr(0, 512);
              std::memcpy(&p[4], "Standard ACE DB", 16);
              return p;
          }() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / "damaged.mdb";
        WriteFile(file, c.bytes);
        try {
            OpenQuery(Conn(file), u"SELECT * FROM MSysObjects");
            ADD_FAILURE() << "no error";
        } catch (const EOleException& e) {
            // The Jet road was taken, not refused as an unknown file.
            EXPECT_EQ(e.Message.find(u"neither"), String::npos) << StringToUtf8(e.Message);
        }
    }
}
