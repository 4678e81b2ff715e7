#include "platform/rtl/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <limits>
#include <new>
#include <unistd.h>

namespace {

String systemMessage(int err) { return Utf8ToString(std::strerror(err)); }

String fileError(const char* what, const String& fileName, int err)
{
    return Utf8ToString(what) + u" \"" + fileName + u"\". " + systemMessage(err);
}

constexpr Int64 kCopyChunk = 64 * 1024;

} // namespace

// ---- TStream

Int64 TStream::GetSize()
{
    Int64 pos = Seek(0, soCurrent);
    Int64 size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(Int64) { }

void TStream::ReadBuffer(void* buffer, Int64 count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count))
        throw EReadError(u"Stream read error");
}

void TStream::ReadBuffer(TBytes& buffer, Int64 count)
{
    if (count < 0)
        throw EReadError(u"Stream read error");
    buffer.resize(std::size_t(count));
    ReadBuffer(buffer.data(), count);
}

void TStream::WriteBuffer(const void* buffer, Int64 count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count))
        throw EWriteError(u"Stream write error");
}

Int64 TStream::CopyFrom(TStream& source, Int64 count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    if (count < 0)
        throw EReadError(u"Stream read error");
    TBytes chunk(std::size_t(std::min(count, kCopyChunk)));
    Int64 done = 0;
    while (done < count) {
        Int64 n = std::min(count - done, kCopyChunk);
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        done += n;
    }
    return done;
}

// ---- THandleStream

Int64 THandleStream::Read(void* buffer, Int64 count)
{
    if (count <= 0)
        return 0;
    Int64 total = 0;
    auto* p = static_cast<char*>(buffer);
    while (total < count) {
        ssize_t n = ::read(FHandle, p + total, std::size_t(count - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        total += n;
    }
    return total;
}

Int64 THandleStream::Write(const void* buffer, Int64 count)
{
    if (count <= 0)
        return 0;
    Int64 total = 0;
    auto* p = static_cast<const char*>(buffer);
    while (total < count) {
        ssize_t n = ::write(FHandle, p + total, std::size_t(count - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        total += n;
    }
    return total;
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin)
{
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, off_t(offset), whence);
    return r < 0 ? -1 : Int64(r);
}

void THandleStream::SetSize(Int64 newSize)
{
    Int64 pos = GetPosition();
    if (newSize < 0 || ::ftruncate(FHandle, off_t(newSize)) != 0)
        RaiseLastOSError();
    if (pos > newSize)
        Seek(newSize, soBeginning);
}

// ---- TFileStream

TFileStream::TFileStream(const String& fileName, Word mode, Cardinal rights)
    : THandleStream(-1), FFileName(fileName)
{
    std::string path = StringToUtf8(fileName);
    if ((mode & fmCreate) == fmCreate) {
        FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, mode_t(rights));
        if (FHandle < 0)
            throw EFCreateError(fileError("Cannot create file", fileName, errno));
        return;
    }
    int access = (mode & 3) == fmOpenWrite ? O_WRONLY : (mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    FHandle = ::open(path.c_str(), access | O_CLOEXEC);
    if (FHandle < 0)
        throw EFOpenError(fileError("Cannot open file", fileName, errno));
    // A folder opens for reading here but is no file to stream.
    struct stat st {};
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError(fileError("Cannot open file", fileName, EISDIR));
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

// ---- TCustomMemoryStream

Int64 TCustomMemoryStream::Read(void* buffer, Int64 count)
{
    if (count <= 0 || FPosition < 0 || FPosition >= FSize)
        return 0;
    Int64 n = std::min(count, FSize - FPosition);
    std::memcpy(buffer, static_cast<const char*>(FMemory) + FPosition, std::size_t(n));
    FPosition += n;
    return n;
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin)
{
    Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FSize;
    // A position before the start cannot be read from or written to; stay put.
    if (offset < -base || (offset > 0 && base > std::numeric_limits<Int64>::max() - offset))
        return FPosition;
    FPosition = base + offset;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& stream)
{
    if (FSize > 0)
        stream.WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const String& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ---- TMemoryStream

void TMemoryStream::TFree::operator()(void* p) const noexcept { std::free(p); }

namespace {

// Geometric growth keeps a stream written in small pieces linear.
std::size_t GrownCapacity(std::size_t current, Int64 wanted)
{
    return std::max<std::size_t>(std::size_t(wanted), current + current / 2);
}

} // namespace

void TMemoryStream::Reallocate(Int64 capacity)
{
    if (capacity > Int64(FCapacity)) {
        const std::size_t target = GrownCapacity(FCapacity, capacity);
        void* grown = std::realloc(FStorage.get(), target);
        if (!grown)
            throw std::bad_alloc();
        (void)FStorage.release();
        FStorage.reset(static_cast<Byte*>(grown));
        FCapacity = target;
    }
    FMemory = FStorage.get();
}

void TMemoryStream::ReleaseStorage()
{
    FStorage.reset();
    FCapacity = 0;
}

Int64 TMemoryStream::Write(const void* buffer, Int64 count)
{
    if (count <= 0 || FPosition < 0)
        return 0;
    Int64 end = FPosition + count;
    if (end > FSize) {
        Int64 oldSize = FSize;
        Reallocate(end);
        // A gap left by seeking past the end reads as zeros.
        if (FPosition > oldSize)
            std::memset(static_cast<char*>(FMemory) + oldSize, 0, std::size_t(FPosition - oldSize));
        FSize = end;
    }
    std::memcpy(static_cast<char*>(FMemory) + FPosition, buffer, std::size_t(count));
    FPosition = end;
    return count;
}

void TMemoryStream::SetSize(Int64 newSize)
{
    if (newSize < 0)
        throw EStreamError(u"Invalid stream size");
    Int64 oldSize = FSize;
    Reallocate(newSize);
    if (newSize > oldSize)
        std::memset(static_cast<char*>(FMemory) + oldSize, 0, std::size_t(newSize - oldSize));
    FSize = newSize;
    if (FPosition > newSize)
        FPosition = newSize;
}

void TMemoryStream::Clear()
{
    ReleaseStorage();
    SetPointer(nullptr, 0);
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    Int64 size = stream.GetSize();
    SetSize(size);
    if (size > 0)
        stream.ReadBuffer(FMemory, size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

// ---- TBytesStream

TBytesStream::TBytesStream(TBytes bytes)
{
    FBuffer = std::move(bytes);
    SetPointer(FBuffer.data(), Int64(FBuffer.size()));
}

void TBytesStream::Reallocate(Int64 capacity)
{
    if (capacity > Int64(FBuffer.size()))
        FBuffer.resize(GrownCapacity(FBuffer.size(), capacity));
    FMemory = FBuffer.data();
}

void TBytesStream::ReleaseStorage()
{
    FBuffer.clear();
    FBuffer.shrink_to_fit();
}

// ---- TStringStream

TStringStream::TStringStream(const String& s, TEncoding* encoding)
    : TBytesStream((encoding ? encoding : TEncoding::ANSI())->GetBytes(s)), FEncoding(encoding ? encoding : TEncoding::ANSI())
{
}

TStringStream::TStringStream(const TBytes& bytes) : TBytesStream(bytes) { }

String TStringStream::GetDataString() { return FEncoding->GetString(FBuffer.data(), std::size_t(FSize)); }

String TStringStream::ReadString(Int64 count)
{
    if (FPosition < 0 || FPosition >= FSize || count <= 0)
        return {};
    Int64 n = std::min(count, FSize - FPosition);
    String s = FEncoding->GetString(FBuffer.data() + FPosition, std::size_t(n));
    FPosition += n;
    return s;
}

void TStringStream::WriteString(const String& s) { WriteBuffer(FEncoding->GetBytes(s)); }
