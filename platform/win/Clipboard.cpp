#include "platform/win/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/win/Backend.h"
#include "platform/win/Window.h"

namespace {

struct TGlobalBlock {
    std::vector<std::uint8_t> bytes;
    int locks { 0 };
};

std::set<TGlobalBlock*>& LiveBlocks()
{
    static std::set<TGlobalBlock*> s;
    return s;
}

TGlobalBlock* Block(HGLOBAL mem)
{
    auto* b = static_cast<TGlobalBlock*>(mem);
    return LiveBlocks().count(b) ? b : nullptr;
}

struct TClipboard {
    HWND openedBy { nullptr };
    bool isOpen { false };
    HWND owner { nullptr };
    bool emptiedSinceOpen { false };
    bool changed { false };
    std::vector<std::pair<UINT, HGLOBAL>> formats; // in the order they were set
    std::optional<String> lastDesktopText;
};

TClipboard& Board()
{
    static TClipboard c;
    return c;
}

HGLOBAL MakeBlock(const void* data, std::size_t bytes)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(h), data, bytes);
    GlobalUnlock(h);
    return h;
}

void FreeAll()
{
    for (auto& [f, h] : Board().formats)
        GlobalFree(h);
    Board().formats.clear();
}

HGLOBAL Stored(UINT format)
{
    for (auto& [f, h] : Board().formats)
        if (f == format)
            return h;
    return nullptr;
}

String TextOf(HGLOBAL h, bool wide)
{
    TGlobalBlock* b = Block(h);
    if (!b)
        return {};
    if (wide) {
        const std::size_t n = b->bytes.size() / 2;
        String s(n, u'\0');
        std::memcpy(s.data(), b->bytes.data(), n * 2);
        return s.substr(0, s.find(u'\0'));
    }
    std::string u8(b->bytes.begin(), b->bytes.end());
    return Utf8ToString(u8.substr(0, u8.find('\0')));
}

// Takes in what the desktop clipboard holds when someone else put it there.
void AdoptDesktopText()
{
    auto& c = Board();
    auto text = GetWindowBackend().GetDesktopClipboardText();
    if (!text || text == c.lastDesktopText)
        return;
    c.lastDesktopText = text;
    FreeAll();
    c.owner = nullptr;
    String z = *text;
    z.push_back(u'\0');
    c.formats.push_back({ CF_UNICODETEXT, MakeBlock(z.data(), z.size() * 2) });
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    (void)flags; // every block starts zeroed, so GMEM_ZEROINIT needs nothing more
    auto b = std::make_unique<TGlobalBlock>();
    b->bytes.assign(bytes, 0);
    TGlobalBlock* raw = b.release();
    LiveBlocks().insert(raw);
    return raw;
}

void* GlobalLock(HGLOBAL mem)
{
    TGlobalBlock* b = Block(mem);
    if (!b)
        return nullptr;
    ++b->locks;
    return b->bytes.empty() ? static_cast<void*>(b) : b->bytes.data();
}

bool GlobalUnlock(HGLOBAL mem)
{
    TGlobalBlock* b = Block(mem);
    if (!b || b->locks == 0)
        return false;
    return --b->locks > 0;
}

std::size_t GlobalSize(HGLOBAL mem)
{
    TGlobalBlock* b = Block(mem);
    return b ? b->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    TGlobalBlock* b = Block(mem);
    if (!b)
        return mem;
    // A block the clipboard holds stays alive until the clipboard lets go.
    LiveBlocks().erase(b);
    delete b;
    return nullptr;
}

bool OpenClipboard(HWND owner)
{
    auto& c = Board();
    if (c.isOpen && c.openedBy != owner)
        return false;
    c.isOpen = true;
    c.openedBy = owner;
    c.emptiedSinceOpen = false;
    AdoptDesktopText();
    return true;
}

bool CloseClipboard()
{
    auto& c = Board();
    if (!c.isOpen)
        return false;
    c.isOpen = false;
    if (c.changed) {
        c.changed = false;
        String text;
        bool has = false;
        if (HGLOBAL h = Stored(CF_UNICODETEXT))
            text = TextOf(h, true), has = true;
        else if (HGLOBAL h8 = Stored(CF_TEXT))
            text = TextOf(h8, false), has = true;
        if (has && GetWindowBackend().SetDesktopClipboardText(text))
            c.lastDesktopText = text;
    }
    c.openedBy = nullptr;
    return true;
}

bool EmptyClipboard()
{
    auto& c = Board();
    if (!c.isOpen)
        return false;
    FreeAll();
    c.owner = c.openedBy;
    c.emptiedSinceOpen = true;
    c.changed = true;
    return true;
}

HANDLE SetClipboardData(UINT format, HANDLE mem)
{
    auto& c = Board();
    if (!c.isOpen || format == 0 || !Block(mem))
        return nullptr;
    for (auto& [f, h] : c.formats)
        if (f == format) {
            if (h != mem)
                GlobalFree(h);
            h = mem;
            c.changed = true;
            return mem;
        }
    c.formats.push_back({ format, mem });
    c.changed = true;
    return mem;
}

HANDLE GetClipboardData(UINT format)
{
    auto& c = Board();
    if (!c.isOpen)
        return nullptr;
    if (HGLOBAL h = Stored(format))
        return h;
    // The two text formats stand in for each other.
    if (format == CF_UNICODETEXT || format == CF_TEXT || format == CF_OEMTEXT) {
        HGLOBAL wide = Stored(CF_UNICODETEXT);
        HGLOBAL narrow = Stored(CF_TEXT) ? Stored(CF_TEXT) : Stored(CF_OEMTEXT);
        if (format == CF_UNICODETEXT && narrow) {
            String s = TextOf(narrow, false);
            s.push_back(u'\0');
            HGLOBAL h = MakeBlock(s.data(), s.size() * 2);
            c.formats.push_back({ CF_UNICODETEXT, h });
            return h;
        }
        if (format != CF_UNICODETEXT && (wide || narrow)) {
            const std::string u8 = StringToUtf8(wide ? TextOf(wide, true) : TextOf(narrow, false));
            HGLOBAL h = MakeBlock(u8.c_str(), u8.size() + 1);
            c.formats.push_back({ format, h });
            return h;
        }
    }
    return nullptr;
}

bool IsClipboardFormatAvailable(UINT format)
{
    AdoptDesktopText();
    if (Stored(format))
        return true;
    if (format == CF_UNICODETEXT || format == CF_TEXT || format == CF_OEMTEXT)
        return Stored(CF_UNICODETEXT) || Stored(CF_TEXT) || Stored(CF_OEMTEXT);
    return false;
}

UINT EnumClipboardFormats(UINT format)
{
    auto& f = Board().formats;
    if (!Board().isOpen)
        return 0;
    if (format == 0)
        return f.empty() ? 0 : f.front().first;
    for (std::size_t i = 0; i + 1 < f.size(); ++i)
        if (f[i].first == format)
            return f[i + 1].first;
    return 0;
}

int CountClipboardFormats()
{
    return int(Board().formats.size());
}

UINT RegisterClipboardFormat(const String& name)
{
    // Format names and window message names share one table of ids.
    return RegisterWindowMessage(name);
}

HWND GetClipboardOwner()
{
    return Board().owner;
}

HWND GetOpenClipboardWindow()
{
    return Board().isOpen ? Board().openedBy : nullptr;
}
