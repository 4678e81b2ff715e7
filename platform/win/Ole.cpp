#include "platform/win/Ole.h"

#include <cstring>

#include "platform/win/Clipboard.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace {

thread_local int t_oleCount = 0;

class TEnumFormatEtc final : public TInterfacedObject, public IEnumFORMATETC {
    QT_CLASS(TEnumFormatEtc, TInterfacedObject)
    QT_INTERFACES(IEnumFORMATETC)
public:
    TEnumFormatEtc(std::vector<FORMATETC> formats, std::size_t position)
        : m_formats(std::move(formats)), m_position(position)
    {
    }

    HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) override
    {
        if (fetched)
            *fetched = 0;
        if (count > 0 && !formats)
            return E_INVALIDARG;
        ULONG n = 0;
        while (n < count && m_position < m_formats.size())
            formats[n++] = m_formats[m_position++];
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG count) override
    {
        const std::size_t left = m_formats.size() - m_position;
        if (count > left) {
            m_position = m_formats.size();
            return S_FALSE;
        }
        m_position += count;
        return S_OK;
    }

    HRESULT Reset() override
    {
        m_position = 0;
        return S_OK;
    }

    HRESULT Clone(IEnumFORMATETC** result) override
    {
        if (!result)
            return E_INVALIDARG;
        return GuardedCall([&] {
            auto* copy = new TEnumFormatEtc(m_formats, m_position);
            copy->AddRef();
            *result = copy;
            return S_OK;
        });
    }

private:
    std::vector<FORMATETC> m_formats;
    std::size_t m_position { 0 };
};

QT_PUBLISHED(TEnumFormatEtc)

} // namespace

bool winimpl::OleStarted()
{
    return t_oleCount > 0;
}

HRESULT OleInitialize(void*)
{
    return t_oleCount++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize()
{
    if (t_oleCount > 0)
        --t_oleCount;
}

void ReleaseStgMedium(STGMEDIUM* medium)
{
    if (!medium)
        return;
    if (medium->pUnkForRelease)
        medium->pUnkForRelease->Release();
    else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal)
        GlobalFree(medium->hGlobal);
    *medium = STGMEDIUM {};
}

HANDLE OleDuplicateData(HANDLE source, CLIPFORMAT, UINT)
{
    const void* from = GlobalLock(source);
    if (!from)
        return nullptr;
    const std::size_t size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (size)
        std::memcpy(GlobalLock(copy), from, size);
    GlobalUnlock(copy);
    GlobalUnlock(source);
    return copy;
}

HRESULT SHCreateStdEnumFmtEtc(UINT count, const FORMATETC* formats, IEnumFORMATETC** result)
{
    if (!result || (count > 0 && !formats))
        return E_INVALIDARG;
    *result = nullptr;
    return GuardedCall([&] {
        std::vector<FORMATETC> list(formats, formats + count);
        for (FORMATETC& f : list)
            f.ptd = nullptr;
        auto* e = new TEnumFormatEtc(std::move(list), 0);
        e->AddRef();
        *result = e;
        return S_OK;
    });
}

// ---- TDataObject -------------------------------------------------------------------

QT_PUBLISHED(TDataObject)

TDataObject::~TDataObject()
{
    for (TEntry& e : m_entries)
        GlobalFree(e.Block);
}

const TDataObject::TEntry* TDataObject::Offered(const FORMATETC* format) const
{
    if (!format || format->dwAspect != DVASPECT_CONTENT || format->lindex != -1 || !(format->tymed & TYMED_HGLOBAL))
        return nullptr;
    for (const TEntry& e : m_entries)
        if (e.Format.cfFormat == format->cfFormat)
            return &e;
    return nullptr;
}

HRESULT TDataObject::GetData(const FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium)
        return E_INVALIDARG;
    const TEntry* e = Offered(format);
    if (!e)
        return DV_E_FORMATETC;
    return GuardedCall([&] {
        HGLOBAL copy = OleDuplicateData(e->Block, e->Format.cfFormat, 0);
        if (!copy)
            return E_OUTOFMEMORY;
        *medium = STGMEDIUM {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        return S_OK;
    });
}

HRESULT TDataObject::GetDataHere(const FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT TDataObject::QueryGetData(const FORMATETC* format)
{
    return Offered(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT TDataObject::GetCanonicalFormatEtc(const FORMATETC* format, FORMATETC* canonical)
{
    if (!format || !canonical)
        return E_INVALIDARG;
    *canonical = *format;
    canonical->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TDataObject::SetData(const FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (!format || !medium)
        return E_INVALIDARG;
    if (format->dwAspect != DVASPECT_CONTENT || format->lindex != -1 || format->tymed != TYMED_HGLOBAL
        || medium->tymed != TYMED_HGLOBAL || format->cfFormat == 0)
        return DV_E_FORMATETC;
    const HRESULT hr = GuardedCall([&] {
        HGLOBAL copy = OleDuplicateData(medium->hGlobal, format->cfFormat, 0);
        if (!copy)
            return E_INVALIDARG;
        FORMATETC f = *format;
        f.ptd = nullptr;
        for (TEntry& e : m_entries)
            if (e.Format.cfFormat == f.cfFormat) {
                GlobalFree(e.Block);
                e.Block = copy;
                return S_OK;
            }
        try {
            m_entries.push_back({ f, copy });
        } catch (...) {
            GlobalFree(copy);
            throw;
        }
        return S_OK;
    });
    if (SUCCEEDED(hr) && release)
        ReleaseStgMedium(medium);
    return hr;
}

HRESULT TDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** result)
{
    if (!result)
        return E_INVALIDARG;
    *result = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const TEntry& e : m_entries)
        formats.push_back(e.Format);
    return SHCreateStdEnumFmtEtc(UINT(formats.size()), formats.data(), result);
}

HRESULT TDataObject::DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- File lists ---------------------------------------------------------------------

HGLOBAL CreateDropFiles(const std::vector<String>& files, bool wide, POINT point, bool nonClient)
{
    std::vector<std::uint8_t> list;
    for (const String& name : files) {
        if (name.empty() || name.find(u'\0') != String::npos)
            return nullptr;
        if (wide) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(name.data());
            list.insert(list.end(), bytes, bytes + name.size() * 2);
            list.insert(list.end(), 2, 0);
        } else {
            const std::string u8 = StringToUtf8(name);
            list.insert(list.end(), u8.begin(), u8.end());
            list.push_back(0);
        }
    }
    // The empty name that ends the list; an empty list gets two, as readers
    // that look for a double terminator expect.
    list.insert(list.end(), (files.empty() ? 2 : 1) * (wide ? 2 : 1), 0);
    DROPFILES header;
    header.pFiles = sizeof(DROPFILES);
    header.pt = point;
    header.fNC = nonClient ? TRUE : FALSE;
    header.fWide = wide ? TRUE : FALSE;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* p = static_cast<std::uint8_t*>(GlobalLock(block));
    std::memcpy(p, &header, sizeof header);
    std::memcpy(p + sizeof header, list.data(), list.size());
    GlobalUnlock(block);
    return block;
}

HRESULT ReadDropFiles(HGLOBAL block, std::vector<String>& files, DROPFILES* header)
{
    files.clear();
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
    if (!p)
        return E_INVALIDARG;
    struct TUnlock {
        HGLOBAL b;
        ~TUnlock() { GlobalUnlock(b); }
    } unlock { block };
    const std::size_t size = GlobalSize(block);
    DROPFILES h;
    if (size < sizeof h)
        return E_INVALIDARG;
    std::memcpy(&h, p, sizeof h);
    if (h.pFiles < sizeof h || h.pFiles > size)
        return E_INVALIDARG;
    const std::size_t unit = h.fWide ? 2 : 1;
    std::vector<String> names;
    std::size_t at = h.pFiles;
    for (;;) {
        // Each name, the empty one that ends the list included, needs its
        // terminator inside the block.
        std::size_t end = at;
        auto unitAt = [&](std::size_t i) {
            char16_t c = 0;
            std::memcpy(&c, p + i, unit);
            return c;
        };
        while (end + unit <= size && unitAt(end) != 0)
            end += unit;
        if (end + unit > size)
            return E_INVALIDARG;
        if (end == at)
            break;
        if (h.fWide) {
            String name((end - at) / 2, u'\0');
            std::memcpy(name.data(), p + at, end - at);
            names.push_back(std::move(name));
        } else
            names.push_back(Utf8ToString(std::string(reinterpret_cast<const char*>(p + at), end - at)));
        at = end + unit;
    }
    files = std::move(names);
    if (header)
        *header = h;
    return S_OK;
}
