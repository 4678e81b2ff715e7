#include "platform/gdiplus/Stream.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "platform/win/Clipboard.h"

namespace {

constexpr HRESULT kOk = 0;
constexpr HRESULT kFalse = 1;
constexpr HRESULT kInvalidArg = HRESULT(0x80070057u);
constexpr HRESULT kPointer = HRESULT(0x80004003u);
constexpr HRESULT kNotImpl = HRESULT(0x80004001u);
constexpr HRESULT kSeekError = HRESULT(0x80030019u);
constexpr HRESULT kOutOfMemory = HRESULT(0x8007000Eu);

class TMemoryStream final : public IStream {
public:
    TMemoryStream(std::shared_ptr<TBytes> data, HGLOBAL global, bool deleteOnRelease)
        : m_data(std::move(data)), m_global(global), m_deleteGlobal(deleteOnRelease)
    {
    }

    HRESULT QueryInterface(const TGUID& iid, void** obj) override
    {
        if (!obj)
            return kPointer;
        if (iid == IStream::IID || iid == IInterface::IID) {
            *obj = static_cast<IStream*>(this);
            AddRef();
            return kOk;
        }
        *obj = nullptr;
        return E_NOINTERFACE;
    }
    int AddRef() override { return ++m_refs; }
    int Release() override
    {
        const int n = --m_refs;
        if (n == 0) {
            if (m_deleteGlobal && m_global)
                GlobalFree(m_global);
            delete this;
        }
        return n;
    }

    HRESULT Read(void* buffer, ULONG count, ULONG* read) override
    {
        if (!buffer && count)
            return kPointer;
        const std::uint64_t size = m_data->size();
        const std::uint64_t n = m_pos >= size ? 0 : std::min<std::uint64_t>(count, size - m_pos);
        if (n)
            std::memcpy(buffer, m_data->data() + m_pos, std::size_t(n));
        m_pos += n;
        if (read)
            *read = ULONG(n);
        return n == count ? kOk : kFalse;
    }
    HRESULT Write(const void* buffer, ULONG count, ULONG* written) override
    {
        if (!buffer && count)
            return kPointer;
        const std::uint64_t end = m_pos + count;
        if (end > (1ull << 31))
            return kOutOfMemory;
        if (end > m_data->size())
            m_data->resize(std::size_t(end));
        if (count)
            std::memcpy(m_data->data() + m_pos, buffer, count);
        m_pos = end;
        if (written)
            *written = count;
        return kOk;
    }
    HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* position) override
    {
        std::int64_t base;
        switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = std::int64_t(m_pos); break;
        case STREAM_SEEK_END: base = std::int64_t(m_data->size()); break;
        default: return kInvalidArg;
        }
        if ((move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move))
            return kSeekError;
        m_pos = std::uint64_t(base + move);
        if (position)
            *position = m_pos;
        return kOk;
    }
    HRESULT SetSize(std::uint64_t size) override
    {
        if (size > (1ull << 31))
            return kOutOfMemory;
        m_data->resize(std::size_t(size));
        return kOk;
    }
    HRESULT CopyTo(IStream* target, std::uint64_t count, std::uint64_t* read, std::uint64_t* written) override
    {
        if (!target)
            return kPointer;
        const std::uint64_t size = m_data->size();
        const std::uint64_t n = m_pos >= size ? 0 : std::min<std::uint64_t>(count, size - m_pos);
        ULONG done = 0;
        const HRESULT hr = target->Write(m_data->data() + m_pos, ULONG(n), &done);
        m_pos += n;
        if (read)
            *read = n;
        if (written)
            *written = done;
        return hr;
    }
    HRESULT Commit(DWORD) override { return kOk; }
    HRESULT Revert() override { return kOk; }
    HRESULT LockRegion(std::uint64_t, std::uint64_t, DWORD) override { return kNotImpl; }
    HRESULT UnlockRegion(std::uint64_t, std::uint64_t, DWORD) override { return kNotImpl; }
    HRESULT Stat(STATSTG* stat, DWORD) override
    {
        if (!stat)
            return kPointer;
        *stat = {};
        stat->cbSize = m_data->size();
        return kOk;
    }
    HRESULT Clone(IStream** result) override
    {
        if (!result)
            return kPointer;
        auto* s = new TMemoryStream(m_data, nullptr, false);
        s->m_pos = m_pos;
        *result = s;
        return kOk;
    }

private:
    ~TMemoryStream() = default;
    std::shared_ptr<TBytes> m_data;
    HGLOBAL m_global;
    bool m_deleteGlobal;
    std::uint64_t m_pos { 0 };
    std::atomic<int> m_refs { 1 };
};

} // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, IStream** stream)
{
    if (!stream)
        return kPointer;
    *stream = nullptr;
    auto data = std::make_shared<TBytes>();
    if (memory) {
        const std::size_t size = GlobalSize(memory);
        const auto* p = static_cast<const std::uint8_t*>(GlobalLock(memory));
        if (!p && size)
            return kInvalidArg;
        data->assign(p, p + size);
        GlobalUnlock(memory);
    }
    *stream = new TMemoryStream(std::move(data), memory, deleteOnRelease != 0);
    return kOk;
}

bool ReadWholeStream(IStream* stream, TBytes& out)
{
    if (!stream)
        return false;
    out.clear();
    std::uint8_t buffer[65536];
    while (true) {
        ULONG n = 0;
        const HRESULT hr = stream->Read(buffer, sizeof buffer, &n);
        if (hr < 0)
            return false;
        out.insert(out.end(), buffer, buffer + n);
        if (n < sizeof buffer)
            return true;
        if (out.size() > (1u << 30))
            return false;
    }
}
