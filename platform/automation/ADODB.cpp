// The "ADODB.Connection" and "ADODB.RecordSet" automation servers over
// database files, read-only. The connection string names the file after
// "DBQ="; the back end is chosen by the file's signature, never by its
// name: SQLite 3 files through sqlite3 (read-only, defensive, untrusted
// schema), Jet/ACE files (.mdb, .accdb) through mdbtools with its SQL
// dialect. Nothing is ever created or written. A query's rows are read in
// full when the record set opens, so RecordCount is known.

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <mutex>

#include <mdbsql.h>
#include <sqlite3.h>

#include "platform/automation/ADODB.h"
#include "platform/rtl/SysUtils.h"

TADOLimits& ADOReadLimits()
{
    static TADOLimits limits;
    return limits;
}

namespace {

class TADOObject : public TAutoDispatch {
protected:
    String SourceName() const override { return u"ADODB"; }
};

[[noreturn]] void Raise(const String& message) { throw EOleError(message); }

// The result of one query: field names and rows of values.
struct TRows {
    std::vector<String> Names;
    std::vector<std::vector<Variant>> Rows;
    std::vector<std::vector<int>> Sizes;  // ActualSize of each value
};

class TRowCounter {
public:
    void Add(std::size_t fields, std::uint64_t textBytes)
    {
        FCells += fields;
        FBytes += textBytes;
        if (FCells > ADOReadLimits().MaxCells || FBytes > ADOReadLimits().MaxTextBytes)
            Raise(u"The query result is too large to read (more than " + IntToStr(Int64(ADOReadLimits().MaxCells))
                + u" values or " + IntToStr(Int64(ADOReadLimits().MaxTextBytes)) + u" bytes of text)");
    }

private:
    std::uint64_t FCells { 0 }, FBytes { 0 };
};

// ---- SQLite

TRows QuerySQLite(const std::string& path, const String& fileName, const String& sql)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> holder(db, sqlite3_close_v2);
    if (rc != SQLITE_OK)
        Raise(u"Cannot open the database \"" + fileName + u"\": "
            + Utf8ToString(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    // A file from elsewhere: its schema may not run functions with side
    // effects, and nothing may change the file by any road.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_busy_timeout(db, 2000);
    const std::string text = StringToUtf8(sql);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.c_str(), int(text.size()), &stmt, &tail) != SQLITE_OK)
        Raise(Utf8ToString(sqlite3_errmsg(db)));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmtHolder(stmt, sqlite3_finalize);
    if (!stmt)
        Raise(u"The SQL text holds no statement");
    for (const char* p = tail; p && *p; ++p)
        if (!std::strchr(" \t\r\n;", *p))
            Raise(u"The SQL text holds more than one statement");
    if (!sqlite3_stmt_readonly(stmt))
        Raise(u"Only queries that read the database are run");
    TRows out;
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i)
        out.Names.push_back(Utf8ToString(sqlite3_column_name(stmt, i)));
    TRowCounter counter;
    for (;;) {
        const int step = sqlite3_step(stmt);
        if (step == SQLITE_DONE)
            break;
        if (step != SQLITE_ROW)
            Raise(Utf8ToString(sqlite3_errmsg(db)));
        std::vector<Variant> row(static_cast<std::size_t>(n), Variant());
        std::vector<int> sizes(std::size_t(n), 0);
        std::uint64_t bytes = 0;
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_INTEGER: row[i] = Variant(static_cast<long long>(sqlite3_column_int64(stmt, i))); sizes[i] = 8; break;
            case SQLITE_FLOAT: row[i] = Variant(sqlite3_column_double(stmt, i)); sizes[i] = 8; break;
            case SQLITE_TEXT: {
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                const int len = sqlite3_column_bytes(stmt, i);
                row[i] = Variant(Utf8ToString(std::string_view(t ? t : "", std::size_t(len))));
                sizes[i] = len;
                bytes += std::uint64_t(len);
                break;
            }
            case SQLITE_BLOB: {
                const auto* b = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, i));
                const int len = sqlite3_column_bytes(stmt, i);
                Variant a = VarArrayCreate({ 0, len - 1 }, varByte);
                for (int k = 0; k < len; ++k)
                    a.PutElement({ k }, Variant(int(b[k])));
                row[i] = std::move(a);
                sizes[i] = len;
                bytes += std::uint64_t(len);
                break;
            }
            default: row[i] = Variant::Null(); break;
            }
        }
        counter.Add(std::size_t(n), bytes);
        out.Rows.push_back(std::move(row));
        out.Sizes.push_back(std::move(sizes));
    }
    return out;
}

// ---- Jet / ACE through mdbtools

// mdbtools' SQL parser keeps global state.
std::mutex& MdbLock()
{
    static std::mutex lock;
    return lock;
}

struct TMdbSession {
    MdbSQL* Sql { nullptr };
    ~TMdbSession()
    {
        if (Sql) {
            mdb_sql_reset(Sql);
            mdb_sql_exit(Sql);
        }
    }
};

void OpenMdb(TMdbSession& session, const std::string& path, const String& fileName)
{
    session.Sql = mdb_sql_init();
    if (!session.Sql)
        Raise(u"Out of memory");
    // The copy is for the C signature; mdbtools opens the file read-only.
    std::string name = path;
    if (!mdb_sql_open(session.Sql, name.data()) || !session.Sql->mdb)
        Raise(u"\"" + fileName + u"\" cannot be read as an Access database (the file is damaged or not a Jet/ACE database)");
    mdb_set_date_fmt(session.Sql->mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(session.Sql->mdb);
}

void CheckJetShape(const String& fileName, std::uint64_t size, int version)
{
    // The first page must be whole and the file whole pages, or the
    // library would read past the end of what is there.
    const std::uint64_t page = version == 0 ? 2048 : 4096;
    if (size < page * 2 || size % page != 0)
        Raise(u"\"" + fileName + u"\" is a damaged Access database: its size is not a whole number of pages");
}

TRows QueryJet(const std::string& path, const String& fileName, const String& sql)
{
    std::lock_guard guard(MdbLock());
    TMdbSession session;
    OpenMdb(session, path, fileName);
    std::string text = StringToUtf8(sql);
    MdbSQL* s = session.Sql;
    if (!mdb_sql_run_query(s, text.c_str()) || mdb_sql_has_error(s) || !s->cur_table) {
        const String why = mdb_sql_has_error(s) ? Utf8ToString(mdb_sql_last_error(s)) : String(u"the query failed");
        Raise(u"SQL error: " + why);
    }
    TRows out;
    for (unsigned j = 0; j < s->num_columns; ++j) {
        auto* col = static_cast<MdbSQLColumn*>(g_ptr_array_index(s->columns, j));
        out.Names.push_back(Utf8ToString(col->name ? col->name : ""));
    }
    mdb_sql_bind_all(s);
    TRowCounter counter;
    while (mdb_sql_fetch_row(s, s->cur_table)) {
        std::vector<Variant> row(s->num_columns);
        std::vector<int> sizes(s->num_columns, 0);
        std::uint64_t bytes = 0;
        for (unsigned j = 0; j < s->num_columns; ++j) {
            const char* value = static_cast<const char*>(g_ptr_array_index(s->bound_values, j));
            const std::size_t len = value ? std::strlen(value) : 0;
            row[j] = Variant(Utf8ToString(std::string_view(value ? value : "", len)));
            sizes[j] = int(len);
            bytes += len;
        }
        counter.Add(s->num_columns, bytes);
        out.Rows.push_back(std::move(row));
        out.Sizes.push_back(std::move(sizes));
    }
    return out;
}

// ---- the database a connection names

enum class TBackEnd { SQLite, Jet };

struct TDatabase {
    String FileName;
    std::string Path;
    TBackEnd Kind { TBackEnd::SQLite };

    TRows Query(const String& sql) const
    {
        return Kind == TBackEnd::SQLite ? QuerySQLite(Path, FileName, sql) : QueryJet(Path, FileName, sql);
    }
};

bool IsKeyStart(const String& s, std::size_t i)
{
    // "Name=" after a separator: the start of the next attribute.
    std::size_t k = i;
    while (k < s.size() && ((s[k] >= u'a' && s[k] <= u'z') || (s[k] >= u'A' && s[k] <= u'Z') || (s[k] >= u'0' && s[k] <= u'9') || s[k] == u' ' || s[k] == u'_'))
        ++k;
    return k > i && k < s.size() && s[k] == u'=';
}

} // namespace

String ConnectionFileName(const String& connection)
{
    const String upper = AnsiUpperCase(connection);
    std::size_t at = String::npos;
    for (std::size_t i = upper.find(u"DBQ="); i != String::npos; i = upper.find(u"DBQ=", i + 1)) {
        std::size_t b = i;
        while (b > 0 && upper[b - 1] == u' ')
            --b;
        if (b == 0 || upper[b - 1] == u';') {
            at = i + 4;
            break;
        }
    }
    if (at == String::npos)
        return {};
    if (at < connection.size() && connection[at] == u'{') {
        const std::size_t close = connection.find(u'}', at + 1);
        return connection.substr(at + 1, close == String::npos ? String::npos : close - at - 1);
    }
    // The name runs to a ";" that starts another attribute, so names that
    // hold a semicolon survive.
    for (std::size_t i = at; i < connection.size(); ++i)
        if (connection[i] == u';' && (i + 1 == connection.size() || IsKeyStart(connection, i + 1)))
            return connection.substr(at, i - at);
    return connection.substr(at);
}

namespace {

std::shared_ptr<TDatabase> OpenDatabase(const String& connection)
{
    const String fileName = ConnectionFileName(connection);
    if (fileName.empty())
        Raise(u"The connection string names no database file (DBQ=)");
    auto db = std::make_shared<TDatabase>();
    db->FileName = fileName;
    db->Path = StringToUtf8(fileName);
    struct stat st {};
    if (::stat(db->Path.c_str(), &st) != 0)
        Raise(u"The database file \"" + fileName + u"\" does not exist");
    if (!S_ISREG(st.st_mode))
        Raise(u"\"" + fileName + u"\" is not a database file");
    unsigned char head[32] = {};
    std::size_t n = 0;
    if (FILE* f = std::fopen(db->Path.c_str(), "rb")) {
        n = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
    } else {
        Raise(u"Cannot open the database file \"" + fileName + u"\": " + Utf8ToString(std::strerror(errno)));
    }
    if (n >= 16 && std::memcmp(head, "SQLite format 3", 16) == 0) {
        db->Kind = TBackEnd::SQLite;
    } else if (n >= 20 && head[0] == 0 && head[1] == 1 && head[2] == 0 && head[3] == 0
        && (std::memcmp(head + 4, "Standard Jet DB", 16) == 0 || std::memcmp(head + 4, "Standard ACE DB", 16) == 0)) {
        db->Kind = TBackEnd::Jet;
        // mdbtools looks a relative name up along its own search path too.
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(db->Path, ec);
        if (!ec)
            db->Path = absolute.string();
        CheckJetShape(fileName, std::uint64_t(st.st_size), head[0x14]);
        // Reading the catalogue proves the file before any query.
        std::lock_guard guard(MdbLock());
        TMdbSession session;
        OpenMdb(session, db->Path, fileName);
    } else {
        Raise(u"\"" + fileName + u"\" is neither an SQLite 3 nor an Access (Jet/ACE) database");
    }
    return db;
}

class TADOConnection : public TADOObject {
public:
    std::shared_ptr<TDatabase> Database;

protected:
    enum { idOpen = 1, idClose, idState, idConnectionString };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Open", u"Close", u"State", u"ConnectionString" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        switch (id) {
        case idOpen: {
            const String text = !args.empty() ? args[0].AsString() : FConnectionString;
            Database = OpenDatabase(text);
            FConnectionString = text;
            return {};
        }
        case idClose: Database.reset(); return {};
        case idState: return Variant(Database ? 1 : 0);
        case idConnectionString:
            if (value) {
                FConnectionString = value->AsString();
                return {};
            }
            return Variant(FConnectionString);
        }
        return {};
    }

private:
    String FConnectionString;
};

// What a record set has read and where it stands; its Fields collection
// and field objects follow the current record, as a caller holding them
// across MoveNext expects.
struct TCursor {
    std::shared_ptr<const TRows> Rows;
    std::size_t Row { 0 };

    const TRows& Open() const
    {
        if (!Rows)
            Raise(u"Operation is not allowed when the object is closed");
        return *Rows;
    }
};
using PCursor = std::shared_ptr<TCursor>;

class TADOField : public TADOObject {
public:
    TADOField(PCursor cursor, std::size_t field) : FCursor(std::move(cursor)), FField(field) { }

protected:
    enum { idName = 1, idValue, idActualSize };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Name", u"Value", u"ActualSize" };
        return names;
    }
    DISPID DefaultMember() const override { return idValue; }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant* value) override
    {
        if (value)
            Raise(u"The record set is read-only");
        const TRows& rows = FCursor->Open();
        if (id == idName)
            return Variant(rows.Names[FField]);
        if (FCursor->Row >= rows.Rows.size())
            Raise(u"Either BOF or EOF is True, or the current record has been deleted");
        if (id == idValue)
            return rows.Rows[FCursor->Row][FField];
        return Variant(rows.Sizes[FCursor->Row][FField]);
    }

private:
    PCursor FCursor;
    std::size_t FField;
};

class TADOFields : public TADOObject {
public:
    explicit TADOFields(PCursor cursor) : FCursor(std::move(cursor)) { }

protected:
    enum { idCount = 1, idItem };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Count", u"Item" };
        return names;
    }
    DISPID DefaultMember() const override { return idItem; }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        const TRows& rows = FCursor->Open();
        if (id == idCount)
            return Variant(int(rows.Names.size()));
        RequireArgs(args, 1);
        if (VarIsStr(args[0])) {
            for (std::size_t i = 0; i < rows.Names.size(); ++i)
                if (AnsiSameText(rows.Names[i], args[0].AsString()))
                    return MakeDispatch<TADOField>(FCursor, i);
            Raise(u"Item cannot be found in the collection: \"" + args[0].AsString() + u"\"");
        }
        const int i = args[0].AsInteger();
        if (i < 0 || std::size_t(i) >= rows.Names.size())
            Raise(u"Item cannot be found in the collection: " + IntToStr(i));
        return MakeDispatch<TADOField>(FCursor, std::size_t(i));
    }

private:
    PCursor FCursor;
};

class TADORecordSet : public TADOObject {
protected:
    enum { idActiveConnection = 1, idOpen, idClose, idFields, idRecordCount, idEof, idBof, idMoveNext, idMoveFirst,
        idState };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"ActiveConnection", u"Open", u"Close", u"Fields", u"RecordCount", u"Eof",
            u"Bof", u"MoveNext", u"MoveFirst", u"State" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        switch (id) {
        case idActiveConnection:
            if (value) {
                FConnection = *value;
                return {};
            }
            return FConnection;
        case idOpen: {
            RequireArgs(args, 1);
            if (args.size() >= 2 && !args[1].IsEmpty())
                FConnection = args[1];
            auto rows = std::make_shared<const TRows>(Database().Query(args[0].AsString()));
            // A new cursor: objects of an earlier query keep theirs.
            FCursor = std::make_shared<TCursor>();
            FCursor->Rows = std::move(rows);
            return {};
        }
        case idClose: FCursor->Rows.reset(); return {};
        case idState: return Variant(FCursor->Rows ? 1 : 0);
        case idFields: FCursor->Open(); return MakeDispatch<TADOFields>(FCursor);
        case idRecordCount: return Variant(int(FCursor->Open().Rows.size()));
        case idEof: return Variant(FCursor->Row >= FCursor->Open().Rows.size());
        case idBof: return Variant(FCursor->Row == 0 && FCursor->Open().Rows.empty());
        case idMoveNext:
            if (FCursor->Row >= FCursor->Open().Rows.size())
                Raise(u"Either BOF or EOF is True, or the current record has been deleted");
            ++FCursor->Row;
            return {};
        case idMoveFirst: FCursor->Open(); FCursor->Row = 0; return {};
        }
        return {};
    }

private:
    const TDatabase& Database() const
    {
        auto* connection = dynamic_cast<TADOConnection*>(VarToDispatch(FConnection));
        if (!connection) {
            // A connection string works as well as a connection object.
            if (VarIsStr(FConnection)) {
                FOwnDatabase = OpenDatabase(FConnection.AsString());
                return *FOwnDatabase;
            }
            Raise(u"The record set has no open connection");
        }
        if (!connection->Database)
            Raise(u"Operation is not allowed when the object is closed");
        return *connection->Database;
    }

    Variant FConnection;
    mutable std::shared_ptr<TDatabase> FOwnDatabase;
    PCursor FCursor { std::make_shared<TCursor>() };
};

} // namespace

TComPtr<IDispatch> ADOConnectionFactory() { return TComPtr<IDispatch>(new TADOConnection()); }
TComPtr<IDispatch> ADORecordSetFactory() { return TComPtr<IDispatch>(new TADORecordSet()); }
