#include "platform/rtl/Resources.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/rtl/Streams.h"

namespace {

// A resource name or type: a number or an upper-cased text.
struct ResourceKey {
    bool isId { false };
    Word id { 0 };
    String text;
    bool operator==(const ResourceKey&) const = default;
};

struct Entry {
    ResourceKey name;
    ResourceKey type;
    const std::uint8_t* data { nullptr };
    std::size_t size { 0 };
};

struct Table {
    std::mutex lock;
    std::vector<std::unique_ptr<Entry>> entries;
};

Table& table()
{
    static Table t;
    return t;
}

std::optional<Word> parseNumber(StringView digits)
{
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (Char c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + unsigned(c - u'0');
    }
    if (value > 0xFFFF)
        return std::nullopt;
    return Word(value);
}

ResourceKey keyFromText(StringView text)
{
    if (!text.empty() && text[0] == u'#')
        if (auto n = parseNumber(text.substr(1)))
            return { true, *n, {} };
    return { false, 0, StrUpper(text) };
}

ResourceKey keyFromPointer(const Char* p)
{
    if (IS_INTRESOURCE(p))
        return { true, Word(reinterpret_cast<std::uintptr_t>(p)), {} };
    return keyFromText(StringView(p));
}

ResourceKey typeFromBuildName(const String& upper)
{
    static const struct { const char16_t* name; Word id; } kNumbered[] = {
        { u"CURSOR", 1 }, { u"BITMAP", 2 }, { u"ICON", 3 }, { u"RCDATA", 10 },
    };
    for (const auto& n : kNumbered)
        if (upper == n.name)
            return { true, n.id, {} };
    return keyFromText(upper);
}

Entry* validEntry(HRSRC resource)
{
    auto& t = table();
    std::lock_guard guard(t.lock);
    for (auto& e : t.entries)
        if (reinterpret_cast<HRSRC>(e.get()) == resource)
            return e.get();
    return nullptr;
}

} // namespace

void RegisterResource(const char* name, const char* type, const std::uint8_t* data, std::size_t size)
{
    auto entry = std::make_unique<Entry>();
    String n = Utf8ToString(name);
    if (auto id = parseNumber(n))
        entry->name = { true, *id, {} };
    else
        entry->name = keyFromText(n);
    entry->type = typeFromBuildName(StrUpper(Utf8ToString(type)));
    entry->data = data;
    entry->size = size;
    auto& t = table();
    std::lock_guard guard(t.lock);
    t.entries.push_back(std::move(entry));
}

HRSRC FindResource(HMODULE, const Char* name, const Char* type)
{
    if (!name || !type)
        return nullptr;
    ResourceKey n = keyFromPointer(name), ty = keyFromPointer(type);
    auto& t = table();
    std::lock_guard guard(t.lock);
    for (auto& e : t.entries)
        if (e->name == n && e->type == ty)
            return reinterpret_cast<HRSRC>(e.get());
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    Entry* e = validEntry(resource);
    return e ? const_cast<std::uint8_t*>(e->data) : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    Entry* e = validEntry(resource);
    return e ? DWORD(e->size) : 0;
}

const void* LockResource(HGLOBAL data) { return data; }

BOOL FreeResource(HGLOBAL) { return FALSE; }

// ---- TResourceStream

TResourceStream::TResourceStream(HINSTANCE instance, const String& resName, const Char* resType)
{
    Initialize(instance, resName.c_str(), resType);
}

TResourceStream::TResourceStream(HINSTANCE instance, const Char* resName, const Char* resType, int)
{
    Initialize(instance, resName, resType);
}

std::unique_ptr<TResourceStream> TResourceStream::CreateFromID(HINSTANCE instance, int resID, const Char* resType)
{
    return std::unique_ptr<TResourceStream>(new TResourceStream(instance, MAKEINTRESOURCE(resID), resType, 0));
}

void TResourceStream::Initialize(HINSTANCE instance, const Char* resName, const Char* resType)
{
    HRSRC res = FindResource(instance, resName, resType);
    if (!res) {
        String shown = IS_INTRESOURCE(resName) ? u"#" + Utf8ToString(std::to_string(reinterpret_cast<std::uintptr_t>(resName)))
                                               : String(resName ? resName : u"");
        throw EResNotFound(u"Resource " + shown + u" not found");
    }
    SetPointer(LoadResource(instance, res), SizeofResource(instance, res));
}

Int64 TResourceStream::Write(const void*, Int64)
{
    throw EStreamError(u"Can't write to a read-only resource stream");
}
