#pragma once
// Byte streams: the abstract stream, file-descriptor and file streams, memory
// streams (owned memory, a byte array, text in an encoding) and read-only
// streams over embedded resources.

#include <cstdint>
#include <memory>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

enum class TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
using enum TSeekOrigin;

// Open modes of TFileStream. Share modes are accepted and ignored: the
// files of this system are not locked against other readers.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream {
public:
    virtual ~TStream() = default;

    // Reads or writes up to `count` bytes; the number moved, which may be short.
    virtual Int64 Read(void* buffer, Int64 count) = 0;
    virtual Int64 Write(const void* buffer, Int64 count) = 0;
    // Moves the position; returns the new one.
    virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

    Int64 GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(Int64 p) { Seek(p, soBeginning); }
    virtual Int64 GetSize();
    virtual void SetSize(Int64 newSize);

    // All or nothing: a short read raises EReadError, a short write EWriteError.
    void ReadBuffer(void* buffer, Int64 count);
    void WriteBuffer(const void* buffer, Int64 count);
    void ReadBuffer(TBytes& buffer, Int64 count);
    void WriteBuffer(const TBytes& buffer) { WriteBuffer(buffer.data(), Int64(buffer.size())); }

    // Copies `count` bytes from the current position of `source`; a count of
    // 0 copies the whole of `source` from its start. Returns the bytes copied.
    Int64 CopyFrom(TStream& source, Int64 count);
    Int64 CopyFrom(TStream* source, Int64 count) { return CopyFrom(*source, count); }
};

// A stream over an open file descriptor that it does not own.
class THandleStream : public TStream {
public:
    explicit THandleStream(int handle) : FHandle(handle) { }
    Int64 Read(void* buffer, Int64 count) override;
    Int64 Write(const void* buffer, Int64 count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SetSize(Int64 newSize) override;
    int GetHandle() const { return FHandle; }

protected:
    int FHandle { -1 };
};

class TFileStream : public THandleStream {
public:
    // Raises EFCreateError or EFOpenError with the system's reason.
    TFileStream(const String& fileName, Word mode, Cardinal rights = 0666);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    const String& GetFileName() const { return FFileName; }

private:
    String FFileName;
};

// A stream over a block of memory that the derived class provides.
class TCustomMemoryStream : public TStream {
public:
    Int64 Read(void* buffer, Int64 count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    Int64 GetSize() override { return FSize; }
    void* GetMemory() const { return FMemory; }
    void SaveToStream(TStream& stream);
    void SaveToFile(const String& fileName);

protected:
    void SetPointer(void* memory, Int64 size)
    {
        FMemory = memory;
        FSize = size;
    }
    void* FMemory { nullptr };
    Int64 FSize { 0 };
    Int64 FPosition { 0 };
};

class TMemoryStream : public TCustomMemoryStream {
public:
    Int64 Write(const void* buffer, Int64 count) override;
    void SetSize(Int64 newSize) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const String& fileName);

protected:
    // Makes room for at least `capacity` bytes, keeping the first FSize, and
    // points the base class at the storage. New room is not cleared: Write
    // and SetSize clear what they expose.
    virtual void Reallocate(Int64 capacity);
    // Gives the storage back (Clear).
    virtual void ReleaseStorage();

private:
    struct TFree {
        void operator()(void* p) const noexcept;
    };
    // Grown with realloc, which moves a large block by remapping its pages
    // instead of copying and touching them again.
    std::unique_ptr<Byte, TFree> FStorage;
    std::size_t FCapacity { 0 };
};

// A memory stream whose storage is a byte array the caller can take.
class TBytesStream : public TMemoryStream {
public:
    explicit TBytesStream(TBytes bytes = {});
    // The bytes written so far; may be longer than the size (capacity).
    const TBytes& GetBytes() const { return FBuffer; }

protected:
    void Reallocate(Int64 capacity) override;
    void ReleaseStorage() override;
    TBytes FBuffer;
};

// A memory stream holding text bytes in one encoding (ANSI by default).
class TStringStream : public TBytesStream {
public:
    explicit TStringStream(const String& s = {}, TEncoding* encoding = nullptr);
    explicit TStringStream(const TBytes& bytes);
    TEncoding* GetEncoding() const { return FEncoding; }
    // The whole content decoded.
    String GetDataString();
    // Reads up to `count` bytes from the position and decodes them.
    String ReadString(Int64 count);
    void WriteString(const String& s);

private:
    TEncoding* FEncoding { TEncoding::ANSI() };
};

// A read-only stream over a resource embedded in the program (see
// Resources.h). Raises EResNotFound when no such resource exists.
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(HINSTANCE instance, const String& resName, const Char* resType);
    static std::unique_ptr<TResourceStream> CreateFromID(HINSTANCE instance, int resID, const Char* resType);
    Int64 Write(const void* buffer, Int64 count) override;

private:
    TResourceStream(HINSTANCE instance, const Char* resName, const Char* resType, int);
    void Initialize(HINSTANCE instance, const Char* resName, const Char* resType);
};
