#include "platform/rtl/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SyncObjs.h"

namespace {

// ---- the tree

struct Value {
    String name;
    DWORD type { REG_NONE };
    TBytes data;
};

struct Key {
    String name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Key>> subkeys;
};

using Path = std::vector<String>;

bool sameName(StringView a, StringView b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && CharLower(a[i]) != CharLower(b[i]))
            return false;
    return true;
}

bool samePath(const Path& a, const Path& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameName(a[i], b[i]))
            return false;
    return true;
}

bool isPrefix(const Path& prefix, const Path& path)
{
    if (prefix.size() > path.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!sameName(prefix[i], path[i]))
            return false;
    return true;
}

Path splitPath(const Char* text)
{
    Path path;
    if (!text)
        return path;
    StringView s(text);
    std::size_t pos = 0;
    while (pos <= s.size()) {
        std::size_t end = s.find(u'\\', pos);
        if (end == StringView::npos)
            end = s.size();
        if (end > pos)
            path.emplace_back(s.substr(pos, end - pos));
        pos = end + 1;
    }
    return path;
}

Key* child(Key& k, const String& name)
{
    for (auto& c : k.subkeys)
        if (sameName(c->name, name))
            return c.get();
    return nullptr;
}

Key* findKey(Key& root, const Path& path)
{
    Key* k = &root;
    for (const auto& part : path)
        if (!(k = child(*k, part)))
            return nullptr;
    return k;
}

Value* findValue(Key& k, const Char* name)
{
    StringView n = name ? StringView(name) : StringView();
    for (auto& v : k.values)
        if (sameName(v.name, n))
            return &v;
    return nullptr;
}

// ---- the file form
//
//   ; comment
//   version 1
//   key "Software\\Vendor\\App"
//   value "Name" sz "text"          (also expand_sz)
//   value "Count" dword 42
//   value "Blob" hex 3 0A0BFF       (any other type: its number and bytes)

String quote(StringView s)
{
    String r = u"\"";
    for (Char c : s) {
        if (c == u'\\' || c == u'"') {
            r.push_back(u'\\');
            r.push_back(c);
        } else if (c < 0x20 || c == 0x7F || IsSurrogate(c)) {
            // Surrogates too: a lone one would not survive UTF-8.
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
            r += Utf8ToString(buf);
        } else {
            r.push_back(c);
        }
    }
    r.push_back(u'"');
    return r;
}

String hexOf(const TBytes& bytes)
{
    static const char16_t digits[] = u"0123456789ABCDEF";
    String r;
    for (auto b : bytes) {
        r.push_back(digits[b >> 4]);
        r.push_back(digits[b & 15]);
    }
    return r;
}

String utf16Text(const TBytes& data)
{
    String s;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        Char c = Char(data[i] | (data[i + 1] << 8));
        if (c == 0)
            break;
        s.push_back(c);
    }
    return s;
}

TBytes utf16Bytes(StringView s)
{
    TBytes b;
    b.reserve((s.size() + 1) * 2);
    for (Char c : s) {
        b.push_back(std::uint8_t(c & 0xFF));
        b.push_back(std::uint8_t(c >> 8));
    }
    b.push_back(0);
    b.push_back(0);
    return b;
}

// Strings keep their exact bytes only when they are one zero-terminated
// text; anything else is written as bytes.
bool isPlainText(const TBytes& data)
{
    if (data.size() < 2 || data.size() % 2)
        return false;
    String s = utf16Text(data);
    return utf16Bytes(s) == data;
}

void writeKey(String& out, const Key& k, const String& path)
{
    out += u"key " + quote(path) + u"\n";
    for (const auto& v : k.values) {
        out += u"value " + quote(v.name) + u" ";
        if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && isPlainText(v.data)) {
            out += (v.type == REG_SZ ? u"sz " : u"expand_sz ") + quote(utf16Text(v.data));
        } else if (v.type == REG_DWORD && v.data.size() == 4) {
            std::uint32_t d = std::uint32_t(v.data[0]) | (std::uint32_t(v.data[1]) << 8) | (std::uint32_t(v.data[2]) << 16)
                | (std::uint32_t(v.data[3]) << 24);
            out += u"dword " + Utf8ToString(std::to_string(d));
        } else {
            out += u"hex " + Utf8ToString(std::to_string(v.type)) + u" " + hexOf(v.data);
        }
        out += u"\n";
    }
    for (const auto& c : k.subkeys)
        writeKey(out, *c, path.empty() ? c->name : path + u"\\" + c->name);
}

String serialise(const Key& root)
{
    String out = u"; quarrytide registry store\nversion 1\n";
    writeKey(out, root, String());
    return out;
}

class LineReader {
public:
    explicit LineReader(StringView line) : m_s(line) { }

    bool Word(String& out)
    {
        SkipBlanks();
        std::size_t start = m_p;
        while (m_p < m_s.size() && m_s[m_p] != u' ')
            ++m_p;
        out = String(m_s.substr(start, m_p - start));
        return !out.empty();
    }
    bool Quoted(String& out)
    {
        SkipBlanks();
        if (m_p >= m_s.size() || m_s[m_p] != u'"')
            return false;
        ++m_p;
        out.clear();
        while (m_p < m_s.size()) {
            Char c = m_s[m_p++];
            if (c == u'"')
                return true;
            if (c != u'\\') {
                out.push_back(c);
                continue;
            }
            if (m_p >= m_s.size())
                return false;
            Char e = m_s[m_p++];
            if (e == u'\\' || e == u'"') {
                out.push_back(e);
            } else if (e == u'u') {
                std::uint64_t v = 0;
                if (!Hex(4, v))
                    return false;
                out.push_back(Char(v));
            } else {
                return false;
            }
        }
        return false;
    }
    bool Number(std::uint64_t& out, std::uint64_t max)
    {
        String w;
        if (!Word(w))
            return false;
        out = 0;
        for (Char c : w) {
            if (c < u'0' || c > u'9')
                return false;
            out = out * 10 + unsigned(c - u'0');
            if (out > max)
                return false;
        }
        return true;
    }
    bool Bytes(TBytes& out)
    {
        SkipBlanks();
        out.clear();
        while (m_p < m_s.size() && m_s[m_p] != u' ') {
            std::uint64_t v;
            if (!Hex(2, v))
                return false;
            out.push_back(std::uint8_t(v));
        }
        return true;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return m_p == m_s.size();
    }

private:
    void SkipBlanks()
    {
        while (m_p < m_s.size() && m_s[m_p] == u' ')
            ++m_p;
    }
    bool Hex(int digits, std::uint64_t& v)
    {
        v = 0;
        for (int i = 0; i < digits; ++i) {
            if (m_p >= m_s.size())
                return false;
            Char c = m_s[m_p++];
            int d = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10 : c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
            if (d < 0)
                return false;
            v = v * 16 + unsigned(d);
        }
        return true;
    }

    StringView m_s;
    std::size_t m_p { 0 };
};

// Parses a store file; on damage returns false with the line number.
bool parse(const String& text, Key& root, int& badLine)
{
    std::size_t pos = 0;
    int lineNo = 0;
    bool versionSeen = false;
    Key* current = nullptr;
    while (pos < text.size()) {
        std::size_t end = text.find(u'\n', pos);
        if (end == String::npos)
            end = text.size();
        StringView line = StringView(text).substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        badLine = lineNo;
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == u';')
            continue;
        LineReader r(line);
        String word;
        if (!r.Word(word))
            return false;
        if (!versionSeen) {
            std::uint64_t v;
            if (word != u"version" || !r.Number(v, 1000) || v != 1 || !r.AtEnd())
                return false;
            versionSeen = true;
        } else if (word == u"key") {
            String path;
            if (!r.Quoted(path) || !r.AtEnd())
                return false;
            Key* k = &root;
            for (const auto& part : splitPath(path.c_str())) {
                Key* c = child(*k, part);
                if (!c) {
                    k->subkeys.push_back(std::make_unique<Key>());
                    c = k->subkeys.back().get();
                    c->name = part;
                }
                k = c;
            }
            current = k;
        } else if (word == u"value") {
            Value v;
            String type;
            if (!current || !r.Quoted(v.name) || !r.Word(type))
                return false;
            if (type == u"sz" || type == u"expand_sz") {
                String s;
                if (!r.Quoted(s))
                    return false;
                v.type = type == u"sz" ? REG_SZ : REG_EXPAND_SZ;
                v.data = utf16Bytes(s);
            } else if (type == u"dword") {
                std::uint64_t d;
                if (!r.Number(d, 0xFFFFFFFFull))
                    return false;
                v.type = REG_DWORD;
                v.data = { std::uint8_t(d), std::uint8_t(d >> 8), std::uint8_t(d >> 16), std::uint8_t(d >> 24) };
            } else if (type == u"hex") {
                std::uint64_t t;
                if (!r.Number(t, 0xFFFFFFFFull) || !r.Bytes(v.data))
                    return false;
                v.type = DWORD(t);
            } else {
                return false;
            }
            if (!r.AtEnd() || findValue(*current, v.name.c_str()))
                return false;
            current->values.push_back(std::move(v));
        } else {
            return false;
        }
    }
    return versionSeen || text.empty();
}

// ---- the store

struct RootState {
    RootState(std::uintptr_t i, const char* f) : id(i), fileName(f) { }
    std::uintptr_t id;
    const char* fileName;
    std::unique_ptr<Key> tree;
    bool loaded { false };
    std::string file;
    struct stat seen {};
    bool existed { false };
};

struct OpenKey {
    std::size_t root;
    Path path;
    REGSAM access;
};

struct Watch {
    std::uintptr_t handle;
    std::size_t root;
    Path path;
    bool subtree;
    DWORD filter;
    TEvent* event;
    bool waiting { false }; // a synchronous call blocked on its own event
};

struct Store {
    std::mutex lock;
    RootState roots[5] = {
        { 0x80000000u, "HKEY_CLASSES_ROOT.reg" },
        { 0x80000001u, "HKEY_CURRENT_USER.reg" },
        { 0x80000002u, "HKEY_LOCAL_MACHINE.reg" },
        { 0x80000003u, "HKEY_USERS.reg" },
        { 0x80000005u, "HKEY_CURRENT_CONFIG.reg" },
    };
    std::map<std::uintptr_t, OpenKey> handles;
    std::uintptr_t nextHandle { 0x10000 };
    std::vector<Watch> watches;
    String lastDamage;
};

Store& store()
{
    static Store s;
    return s;
}

std::string storeFolder()
{
    if (const char* dir = std::getenv("QUARRYTIDE_REGISTRY_DIR"); dir && *dir)
        return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/quarrytide";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/quarrytide";
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec
        && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Brings the root's tree up to date with its file.
LONG ensureLoaded(Store& s, RootState& r)
{
    std::string file = storeFolder() + "/" + r.fileName;
    struct stat st {};
    bool exists = ::stat(file.c_str(), &st) == 0;
    if (r.loaded && file == r.file && exists == r.existed && (!exists || sameFile(st, r.seen)))
        return ERROR_SUCCESS;
    auto tree = std::make_unique<Key>();
    if (exists) {
        TBytes bytes;
        if (FILE* f = std::fopen(file.c_str(), "rb")) {
            char buf[65536];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                bytes.insert(bytes.end(), buf, buf + n);
            bool failed = std::ferror(f);
            std::fclose(f);
            if (failed)
                return ERROR_ACCESS_DENIED;
        } else {
            return ERROR_ACCESS_DENIED;
        }
        int badLine = 0;
        if (!parse(Utf8ToString(bytes.data(), bytes.size()), *tree, badLine)) {
            // Keep the damaged file for the user; never overwrite it.
            std::string aside;
            for (int n = 1; n < 10000; ++n) {
                aside = file + ".damaged-" + std::to_string(n);
                struct stat ignored {};
                if (::stat(aside.c_str(), &ignored) != 0)
                    break;
            }
            bool moved = std::rename(file.c_str(), aside.c_str()) == 0;
            s.lastDamage = Utf8ToString("The registry store " + file + " is damaged (line " + std::to_string(badLine) + "); "
                + (moved ? "it was kept as " + aside + " and an empty store is used" : "it could not be moved aside"));
            std::fprintf(stderr, "%s\n", StringToUtf8(s.lastDamage).c_str());
            r.loaded = false;
            return ERROR_BADDB;
        }
    }
    r.tree = std::move(tree);
    r.loaded = true;
    r.file = file;
    r.existed = exists;
    r.seen = st;
    return ERROR_SUCCESS;
}

LONG save(RootState& r)
{
    String folder = Utf8ToString(storeFolder());
    try {
        if (!ForceDirectories(folder))
            throw EInOutError(u"Cannot create " + folder);
        std::string text = StringToUtf8(serialise(*r.tree));
        WriteFileAtomically(Utf8ToString(r.file), TBytes(text.begin(), text.end()), 0600);
    } catch (const Exception& e) {
        std::fprintf(stderr, "Registry store not saved: %s\n", e.what());
        // Forget the unsaved change: the next call reads the file again.
        r.loaded = false;
        return ERROR_CANTWRITE;
    }
    r.existed = ::stat(r.file.c_str(), &r.seen) == 0;
    return ERROR_SUCCESS;
}

void notify(Store& s, std::size_t root, const Path& path, DWORD kind)
{
    std::erase_if(s.watches, [&](const Watch& w) {
        if (w.root != root || !(w.filter & kind))
            return false;
        if (!samePath(w.path, path) && !(w.subtree && isPrefix(w.path, path)))
            return false;
        w.event->SetEvent();
        return true;
    });
}

std::uintptr_t handleId(HKEY k) { return reinterpret_cast<std::uintptr_t>(k); }

// The root, path and rights behind a handle.
LONG resolve(Store& s, HKEY key, OpenKey& out)
{
    std::uintptr_t id = handleId(key);
    for (std::size_t i = 0; i < std::size(s.roots); ++i)
        if (s.roots[i].id == id) {
            out = { i, {}, KEY_ALL_ACCESS };
            return ERROR_SUCCESS;
        }
    auto it = s.handles.find(id);
    if (it == s.handles.end())
        return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

// Resolves a handle and loads its root; `node` is its key, null when deleted.
LONG prepare(Store& s, HKEY key, OpenKey& open, Key*& node)
{
    LONG r = resolve(s, key, open);
    if (r != ERROR_SUCCESS)
        return r;
    RootState& root = s.roots[open.root];
    if ((r = ensureLoaded(s, root)) != ERROR_SUCCESS)
        return r;
    node = findKey(*root.tree, open.path);
    return node ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Runs `f` on the key's node under the store's lock, when the handle resolves
// and was opened with the access `need` asks for (0: any).
template <class F> LONG WithKey(HKEY key, REGSAM need, F&& f)
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    OpenKey open;
    Key* node = nullptr;
    if (LONG r = prepare(s, key, open, node); r != ERROR_SUCCESS)
        return r;
    if (need && !(open.access & need))
        return ERROR_ACCESS_DENIED;
    return f(s, open, node);
}

HKEY newHandle(Store& s, std::size_t root, Path path, REGSAM access)
{
    std::uintptr_t id = s.nextHandle++;
    s.handles[id] = OpenKey { root, std::move(path), access };
    return reinterpret_cast<HKEY>(id);
}

Path joined(const Path& base, const Path& rest)
{
    Path p = base;
    p.insert(p.end(), rest.begin(), rest.end());
    return p;
}

// ---- helpers for TRegistry

LONG listNames(HKEY key, bool subkeys, std::vector<String>& names)
{
    return WithKey(key, 0, [&](Store&, const OpenKey&, Key* node) -> LONG {
        names.clear();
        if (subkeys)
            for (auto& c : node->subkeys)
                names.push_back(c->name);
        else
            for (auto& v : node->values)
                names.push_back(v.name);
        return ERROR_SUCCESS;
    });
}

LONG deleteTree(HKEY key, const Char* subKey, bool onlyLeaf)
{
    return WithKey(key, 0, [&](Store& s, const OpenKey& open, Key*) -> LONG {
        Path rel = splitPath(subKey);
        if (rel.empty())
            return ERROR_ACCESS_DENIED;
        Path full = joined(open.path, rel);
        Path parentPath(full.begin(), full.end() - 1);
        Key* parent = findKey(*s.roots[open.root].tree, parentPath);
        Key* target = parent ? child(*parent, full.back()) : nullptr;
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        if (onlyLeaf && !target->subkeys.empty())
            return ERROR_ACCESS_DENIED;
        std::erase_if(parent->subkeys, [&](const std::unique_ptr<Key>& c) { return sameName(c->name, full.back()); });
        notify(s, open.root, parentPath, REG_NOTIFY_CHANGE_NAME);
        return save(s.roots[open.root]);
    });
}

String lastDamage()
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    return s.lastDamage;
}

// The raw calls answer codes; TRegistry reports a damaged store loudly.
LONG checked(LONG r)
{
    if (r == ERROR_BADDB)
        throw ERegistryException(lastDamage());
    return r;
}

} // namespace

// ---- raw calls

LONG RegOpenKeyEx(HKEY key, const Char* subKey, DWORD, REGSAM access, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return WithKey(key, 0, [&](Store& s, const OpenKey& open, Key* node) -> LONG {
        Path rel = splitPath(subKey);
        if (!findKey(*node, rel))
            return ERROR_FILE_NOT_FOUND;
        *result = newHandle(s, open.root, joined(open.path, rel), access);
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyEx(HKEY key, const Char* subKey, DWORD, Char*, DWORD, REGSAM access, void*, HKEY* result, DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return WithKey(key, 0, [&](Store& s, const OpenKey& open, Key* node) -> LONG {
        Path rel = splitPath(subKey);
        Key* k = node;
        Path at = open.path;
        bool created = false;
        for (const auto& part : rel) {
            Key* c = child(*k, part);
            if (!c) {
                if (!(open.access & KEY_CREATE_SUB_KEY))
                    return ERROR_ACCESS_DENIED;
                k->subkeys.push_back(std::make_unique<Key>());
                c = k->subkeys.back().get();
                c->name = part;
                notify(s, open.root, at, REG_NOTIFY_CHANGE_NAME);
                created = true;
            }
            at.push_back(part);
            k = c;
        }
        if (LONG r = created ? save(s.roots[open.root]) : ERROR_SUCCESS; r != ERROR_SUCCESS)
            return r;
        if (disposition)
            *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        *result = newHandle(s, open.root, at, access);
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueEx(HKEY key, const Char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    return WithKey(key, KEY_QUERY_VALUE, [&](Store&, const OpenKey&, Key* node) -> LONG {
        const Value* v = findValue(*node, valueName);
        if (!v)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = v->type;
        DWORD size = DWORD(v->data.size());
        if (data) {
            if (*dataSize < size) {
                *dataSize = size;
                return ERROR_MORE_DATA;
            }
            if (size)
                std::memcpy(data, v->data.data(), size);
        }
        if (dataSize)
            *dataSize = size;
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueEx(HKEY key, const Char* valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    if (!data && dataSize)
        return ERROR_INVALID_PARAMETER;
    return WithKey(key, KEY_SET_VALUE, [&](Store& s, const OpenKey& open, Key* node) -> LONG {
        Value* v = findValue(*node, valueName);
        if (!v) {
            node->values.push_back(Value {});
            node->values.back().name = valueName ? String(valueName) : String();
            v = &node->values.back();
        }
        v->type = type;
        v->data.assign(data, data + dataSize);
        notify(s, open.root, open.path, REG_NOTIFY_CHANGE_LAST_SET);
        return save(s.roots[open.root]);
    });
}

LONG RegDeleteValue(HKEY key, const Char* valueName)
{
    return WithKey(key, KEY_SET_VALUE, [&](Store& s, const OpenKey& open, Key* node) -> LONG {
        StringView n = valueName ? StringView(valueName) : StringView();
        if (std::erase_if(node->values, [&](const Value& v) { return sameName(v.name, n); }) == 0)
            return ERROR_FILE_NOT_FOUND;
        notify(s, open.root, open.path, REG_NOTIFY_CHANGE_LAST_SET);
        return save(s.roots[open.root]);
    });
}

LONG RegDeleteKey(HKEY key, const Char* subKey) { return deleteTree(key, subKey, true); }

LONG RegCloseKey(HKEY key)
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    std::uintptr_t id = handleId(key);
    for (auto& root : s.roots)
        if (root.id == id)
            return ERROR_SUCCESS;
    if (s.handles.erase(id) == 0)
        return ERROR_INVALID_HANDLE;
    // A caller blocked in a synchronous wait must not wait forever.
    std::erase_if(s.watches, [&](const Watch& w) {
        if (w.handle != id)
            return false;
        if (w.waiting)
            w.event->SetEvent();
        return true;
    });
    return ERROR_SUCCESS;
}

LONG RegNotifyChangeKeyValue(HKEY key, BOOL watchSubtree, DWORD filter, TEvent* event, BOOL asynchronous)
{
    if (asynchronous && !event)
        return ERROR_INVALID_PARAMETER;
    TEvent own(true, false);
    TEvent* signal = asynchronous ? event : &own;
    {
        Store& s = store();
        std::lock_guard guard(s.lock);
        OpenKey open;
        Key* node = nullptr;
        LONG r = prepare(s, key, open, node);
        if (r != ERROR_SUCCESS)
            return r;
        if (asynchronous)
            std::erase_if(s.watches, [&](const Watch& w) { return w.handle == handleId(key) && w.event == event; });
        s.watches.push_back(Watch { handleId(key), open.root, open.path, watchSubtree != 0, filter, signal, !asynchronous });
    }
    if (!asynchronous)
        own.WaitFor();
    return ERROR_SUCCESS;
}

// ---- TRegistry

void TRegistry::SetRootKey(HKEY root)
{
    if (root == FRootKey)
        return;
    CloseKey();
    FRootKey = root;
}

HKEY TRegistry::BaseKeyFor(const String& key) const
{
    bool absolute = !key.empty() && key[0] == u'\\';
    return absolute || !FCurrentKey ? FRootKey : FCurrentKey;
}

String TRegistry::PathFor(const String& key) const
{
    bool absolute = !key.empty() && key[0] == u'\\';
    String rel;
    for (const auto& part : splitPath(key.c_str()))
        rel += (rel.empty() ? u"" : u"\\") + part;
    if (absolute || !FCurrentKey || FCurrentPath.empty())
        return rel;
    return rel.empty() ? FCurrentPath : FCurrentPath + u"\\" + rel;
}

void TRegistry::ChangeKey(HKEY key, const String& path)
{
    CloseKey();
    FCurrentKey = key;
    FCurrentPath = path;
}

bool TRegistry::OpenWithAccess(const String& key, bool canCreate, REGSAM access)
{
    HKEY base = BaseKeyFor(key);
    HKEY h = nullptr;
    LONG r;
    if (canCreate && !splitPath(key.c_str()).empty())
        r = RegCreateKeyEx(base, key.c_str(), 0, nullptr, 0, access, nullptr, &h, nullptr);
    else
        r = RegOpenKeyEx(base, key.c_str(), 0, access, &h);
    if (checked(r) != ERROR_SUCCESS)
        return false;
    ChangeKey(h, PathFor(key));
    return true;
}

bool TRegistry::OpenKey(const String& key, bool canCreate) { return OpenWithAccess(key, canCreate, FAccess); }

bool TRegistry::OpenKeyReadOnly(const String& key)
{
    if (!OpenWithAccess(key, false, KEY_READ))
        return false;
    FAccess = KEY_READ;
    return true;
}

void TRegistry::CloseKey()
{
    if (FCurrentKey)
        RegCloseKey(FCurrentKey);
    FCurrentKey = nullptr;
    FCurrentPath.clear();
}

bool TRegistry::CreateKey(const String& key)
{
    HKEY h = nullptr;
    LONG r = checked(RegCreateKeyEx(BaseKeyFor(key), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr));
    if (r != ERROR_SUCCESS)
        throw ERegistryException(u"Failed to create key " + key);
    RegCloseKey(h);
    return true;
}

bool TRegistry::DeleteKey(const String& key) { return checked(deleteTree(BaseKeyFor(key), key.c_str(), false)) == ERROR_SUCCESS; }

bool TRegistry::KeyExists(const String& key)
{
    HKEY h = nullptr;
    if (checked(RegOpenKeyEx(BaseKeyFor(key), key.c_str(), 0, KEY_READ, &h)) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

bool TRegistry::HasSubKeys()
{
    std::vector<String> names;
    return checked(listNames(FCurrentKey ? FCurrentKey : FRootKey, true, names)) == ERROR_SUCCESS && !names.empty();
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& info)
{
    info = {};
    HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
    std::vector<String> keys, values;
    if (checked(listNames(key, true, keys)) != ERROR_SUCCESS || checked(listNames(key, false, values)) != ERROR_SUCCESS)
        return false;
    info.NumSubKeys = Integer(keys.size());
    info.NumValues = Integer(values.size());
    for (const auto& k : keys)
        info.MaxSubKeyLen = std::max(info.MaxSubKeyLen, Integer(k.size()));
    for (const auto& v : values) {
        info.MaxValueLen = std::max(info.MaxValueLen, Integer(v.size()));
        info.MaxDataLen = std::max(info.MaxDataLen, GetDataSize(v));
    }
    return true;
}

void TRegistry::GetKeyNames(TStrings& strings)
{
    std::vector<String> names;
    strings.Clear();
    if (checked(listNames(FCurrentKey ? FCurrentKey : FRootKey, true, names)) == ERROR_SUCCESS)
        for (const auto& n : names)
            strings.Add(n);
}

void TRegistry::GetValueNames(TStrings& strings)
{
    std::vector<String> names;
    strings.Clear();
    if (checked(listNames(FCurrentKey ? FCurrentKey : FRootKey, false, names)) == ERROR_SUCCESS)
        for (const auto& n : names)
            strings.Add(n);
}

LONG TRegistry::GetData(const String& name, std::vector<BYTE>& data, DWORD& type)
{
    HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
    for (;;) {
        DWORD size = 0;
        LONG r = checked(RegQueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &size));
        if (r != ERROR_SUCCESS)
            return r;
        data.resize(size);
        r = checked(RegQueryValueEx(key, name.c_str(), nullptr, &type, data.data(), &size));
        // Another thread may have grown the value in between; ask again.
        if (r == ERROR_MORE_DATA)
            continue;
        data.resize(size);
        return r;
    }
}

void TRegistry::PutData(const String& name, DWORD type, const void* data, DWORD size)
{
    LONG r = checked(RegSetValueEx(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), 0, type,
        static_cast<const BYTE*>(data), size));
    if (r != ERROR_SUCCESS)
        throw ERegistryException(u"Failed to set data for '" + name + u"'");
}

bool TRegistry::ValueExists(const String& name)
{
    return checked(RegQueryValueEx(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), nullptr, nullptr, nullptr, nullptr))
        == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const String& name)
{
    return checked(RegDeleteValue(FCurrentKey ? FCurrentKey : FRootKey, name.c_str())) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const String& name)
{
    DWORD type = REG_NONE;
    if (checked(RegQueryValueEx(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), nullptr, &type, nullptr, nullptr))
        != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

Integer TRegistry::GetDataSize(const String& name)
{
    DWORD size = 0;
    if (checked(RegQueryValueEx(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), nullptr, nullptr, nullptr, &size))
        != ERROR_SUCCESS)
        return -1;
    return Integer(size);
}

String TRegistry::ReadString(const String& name)
{
    std::vector<BYTE> data;
    DWORD type = REG_NONE;
    if (GetData(name, data, type) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(u"Invalid data type for '" + name + u"'");
    return utf16Text(data);
}

void TRegistry::WriteString(const String& name, const String& value)
{
    TBytes b = utf16Bytes(value);
    PutData(name, REG_SZ, b.data(), DWORD(b.size()));
}

void TRegistry::WriteExpandString(const String& name, const String& value)
{
    TBytes b = utf16Bytes(value);
    PutData(name, REG_EXPAND_SZ, b.data(), DWORD(b.size()));
}

Integer TRegistry::ReadInteger(const String& name)
{
    std::vector<BYTE> data;
    DWORD type = REG_NONE;
    if (GetData(name, data, type) != ERROR_SUCCESS)
        throw ERegistryException(u"Failed to get data for '" + name + u"'");
    if (type != REG_DWORD || data.size() != 4)
        throw ERegistryException(u"Invalid data type for '" + name + u"'");
    std::uint32_t v = std::uint32_t(data[0]) | (std::uint32_t(data[1]) << 8) | (std::uint32_t(data[2]) << 16)
        | (std::uint32_t(data[3]) << 24);
    return Integer(v);
}

void TRegistry::WriteInteger(const String& name, Integer value)
{
    auto v = std::uint32_t(value);
    BYTE b[4] = { BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24) };
    PutData(name, REG_DWORD, b, 4);
}

bool TRegistry::ReadBool(const String& name) { return ReadInteger(name) != 0; }
void TRegistry::WriteBool(const String& name, bool value) { WriteInteger(name, value ? 1 : 0); }

double TRegistry::ReadFloat(const String& name)
{
    std::vector<BYTE> data;
    DWORD type = REG_NONE;
    if (GetData(name, data, type) != ERROR_SUCCESS)
        throw ERegistryException(u"Failed to get data for '" + name + u"'");
    if (type != REG_BINARY || data.size() != sizeof(double))
        throw ERegistryException(u"Invalid data type for '" + name + u"'");
    double v;
    std::memcpy(&v, data.data(), sizeof v);
    return v;
}

void TRegistry::WriteFloat(const String& name, double value) { PutData(name, REG_BINARY, &value, sizeof value); }

TDateTime TRegistry::ReadDateTime(const String& name) { return ReadFloat(name); }
void TRegistry::WriteDateTime(const String& name, TDateTime value) { WriteFloat(name, value); }

Integer TRegistry::ReadBinaryData(const String& name, void* buffer, Integer bufSize)
{
    std::vector<BYTE> data;
    DWORD type = REG_NONE;
    if (GetData(name, data, type) != ERROR_SUCCESS)
        throw ERegistryException(u"Failed to get data for '" + name + u"'");
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD)
        throw ERegistryException(u"Invalid data type for '" + name + u"'");
    if (bufSize < 0 || data.size() > std::size_t(bufSize))
        throw ERegistryException(u"Failed to get data for '" + name + u"'");
    if (!data.empty())
        std::memcpy(buffer, data.data(), data.size());
    return Integer(data.size());
}

void TRegistry::WriteBinaryData(const String& name, const void* buffer, Integer bufSize)
{
    if (bufSize < 0)
        throw ERegistryException(u"Failed to set data for '" + name + u"'");
    PutData(name, REG_BINARY, buffer, DWORD(bufSize));
}
