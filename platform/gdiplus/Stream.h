#pragma once
// Byte streams of the component object shape, as GDI+ reads and writes
// images through them, with a memory implementation.

#include <cstdint>

#include "platform/rtl/Classes.h"

enum : DWORD { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };
enum : DWORD { STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1 };

struct STATSTG {
    char16_t* pwcsName { nullptr };
    DWORD type { 2 }; // a stream
    std::uint64_t cbSize { 0 };
};

class IStream : public virtual IInterface {
public:
    QT_INTERFACE_ID("{0000000C-0000-0000-C000-000000000046}");
    virtual HRESULT Read(void* buffer, ULONG count, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG count, ULONG* written) = 0;
    virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* position) = 0;
    virtual HRESULT SetSize(std::uint64_t size) = 0;
    virtual HRESULT CopyTo(IStream* target, std::uint64_t count, std::uint64_t* read, std::uint64_t* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(std::uint64_t offset, std::uint64_t count, DWORD type) = 0;
    virtual HRESULT UnlockRegion(std::uint64_t offset, std::uint64_t count, DWORD type) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    virtual HRESULT Clone(IStream** result) = 0;

protected:
    ~IStream() = default;
};

// A growable memory stream. With a global memory handle the stream starts
// with a copy of its bytes, and frees the handle on its last release when
// `deleteOnRelease`. The new stream holds one reference.
HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, IStream** stream);
// Every byte from the stream's current position to its end.
bool ReadWholeStream(IStream* stream, TBytes& out);
