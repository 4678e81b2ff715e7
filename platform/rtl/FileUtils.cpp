#include "platform/rtl/FileUtils.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace {

std::string u8(const String& s) { return StringToUtf8(s); }

bool statPath(const String& name, struct stat& st, bool follow = true)
{
    std::string p = u8(name);
    if (p.empty())
        return false;
    return (follow ? ::stat(p.c_str(), &st) : ::lstat(p.c_str(), &st)) == 0;
}

std::size_t lastDelimiter(const String& s) { return s.rfind(PathDelim); }

// Local broken-down time of a file time.
TDateTime localDateTime(time_t t)
{
    struct tm tm {};
    if (!localtime_r(&t, &tm))
        return 0;
    TDateTime value = 0;
    if (!TryEncodeDateTime(Word(tm.tm_year + 1900), Word(tm.tm_mon + 1), Word(tm.tm_mday), Word(tm.tm_hour),
            Word(tm.tm_min), Word(std::min(tm.tm_sec, 59)), 0, value))
        return 0;
    return value;
}

// '*' and '?' against a name, ASCII letters ignoring case; iterative with
// one backtrack point, so long names cannot blow up.
bool maskMatches(StringView mask, StringView name)
{
    std::size_t m = 0, n = 0, starM = StringView::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == u'?' || AsciiLower(mask[m]) == AsciiLower(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == u'*') {
            starM = m++;
            starN = n;
        } else if (starM != StringView::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

struct SearchState {
    DIR* dir { nullptr };
    std::string folder;
    String mask;
    Integer include { 0 };
    ~SearchState()
    {
        if (dir)
            ::closedir(dir);
    }
};

Integer attributesOf(const std::string& full, const String& name, bool& ok, struct stat& st)
{
    ok = ::stat(full.c_str(), &st) == 0;
    struct stat lst {};
    bool link = ::lstat(full.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
    if (!ok) {
        // A dangling link still shows as an entry.
        if (!link)
            return 0;
        st = lst;
        ok = true;
    }
    Integer attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
    if (link)
        attr |= faSymLink;
    if (!name.empty() && name[0] == u'.' && name != u"." && name != u"..")
        attr |= faHidden;
    if (::access(full.c_str(), W_OK) != 0 && errno == EACCES)
        attr |= faReadOnly;
    return attr;
}

Integer findMatching(TSearchRec& f)
{
    auto* state = static_cast<SearchState*>(f.FindHandle.get());
    if (!state)
        return ERROR_NO_MORE_FILES;
    while (dirent* e = ::readdir(state->dir)) {
        String name = Utf8ToString(e->d_name);
        if (!maskMatches(state->mask, name))
            continue;
        std::string full = state->folder + e->d_name;
        bool ok = false;
        struct stat st {};
        Integer attr = attributesOf(full, name, ok, st);
        if (!ok)
            continue;
        if (attr & f.ExcludeAttr)
            continue;
        f.Name = name;
        f.Attr = attr;
        f.Size = S_ISDIR(st.st_mode) ? 0 : Int64(st.st_size);
        f.TimeStamp = localDateTime(st.st_mtime);
        f.Time = DateTimeToFileDate(f.TimeStamp);
        return 0;
    }
    return ERROR_NO_MORE_FILES;
}

std::string g_privateTemp;
std::mutex g_tempLock;

// Removes the private temporary folder at exit when nothing is left in it.
struct PrivateTempCleanup {
    ~PrivateTempCleanup()
    {
        if (!g_privateTemp.empty())
            ::rmdir(g_privateTemp.c_str());
    }
} g_cleanup;

std::vector<std::string> commandLine()
{
    std::vector<std::string> args;
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string arg;
    while (std::getline(in, arg, '\0'))
        args.push_back(arg);
    return args;
}

// Modules whose version the program asks for, with the values it expects.
struct KnownModule {
    const char16_t* name;
    DWORD versionMS;
    DWORD versionLS;
};
constexpr KnownModule kKnownModules[] = {
    { u"comctl32.dll", (6u << 16) | 10u, (19041u << 16) | 1u },
};

const KnownModule* knownModule(const String& fileName)
{
    String name = ExtractFileName(fileName);
    if (auto slash = name.rfind(u'\\'); slash != String::npos)
        name = name.substr(slash + 1);
    for (const auto& m : kKnownModules) {
        String known = m.name;
        if (known.size() == name.size()
            && std::equal(known.begin(), known.end(), name.begin(), [](Char a, Char b) { return AsciiLower(a) == AsciiLower(b); }))
            return &m;
    }
    return nullptr;
}

} // namespace

bool FileExists(const String& fileName)
{
    struct stat st {};
    return statPath(fileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& directory)
{
    struct stat st {};
    return statPath(directory, st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& directory)
{
    std::string p = u8(directory);
    return !p.empty() && ::mkdir(p.c_str(), 0777) == 0;
}

bool ForceDirectories(const String& directory)
{
    String dir = ExcludeTrailingPathDelimiter(directory);
    if (dir.empty())
        return false;
    if (DirectoryExists(dir))
        return true;
    String parent = ExtractFileDir(dir);
    if (!parent.empty() && parent != dir && !ForceDirectories(parent))
        return false;
    return CreateDir(dir) || DirectoryExists(dir);
}

bool RemoveDir(const String& directory)
{
    std::string p = u8(directory);
    return !p.empty() && ::rmdir(p.c_str()) == 0;
}

bool DeleteFile(const String& fileName)
{
    std::string p = u8(fileName);
    struct stat st {};
    if (p.empty() || ::lstat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(p.c_str()) == 0;
}

bool RenameFile(const String& oldName, const String& newName)
{
    std::string from = u8(oldName), to = u8(newName);
    if (from.empty() || to.empty())
        return false;
    // link+unlink would refuse atomically but not for folders; renameat2's
    // no-replace flag does both.
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0)
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

String GetCurrentDir()
{
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? Utf8ToString(buf) : String();
}

bool SetCurrentDir(const String& directory)
{
    std::string p = u8(directory);
    return !p.empty() && ::chdir(p.c_str()) == 0;
}

String ExpandFileName(const String& fileName)
{
    String full = !fileName.empty() && fileName[0] == PathDelim ? fileName : IncludeTrailingPathDelimiter(GetCurrentDir()) + fileName;
    // Fold "." and ".." elements without touching the file system.
    std::vector<String> parts;
    std::size_t pos = 1;
    while (pos <= full.size()) {
        std::size_t end = full.find(PathDelim, pos);
        if (end == String::npos)
            end = full.size();
        String part = full.substr(pos, end - pos);
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    String r;
    for (const auto& p : parts)
        r += PathDelim + p;
    if (r.empty() || (!full.empty() && full.back() == PathDelim && !parts.empty()))
        r += PathDelim;
    return r;
}

String ExtractFilePath(const String& fileName)
{
    auto at = lastDelimiter(fileName);
    return at == String::npos ? String() : fileName.substr(0, at + 1);
}

String ExtractFileDir(const String& fileName)
{
    auto at = lastDelimiter(fileName);
    if (at == String::npos)
        return {};
    // The root keeps its delimiter: it is a folder of its own.
    return at == 0 ? fileName.substr(0, 1) : fileName.substr(0, at);
}

String ExtractFileName(const String& fileName)
{
    auto at = lastDelimiter(fileName);
    return at == String::npos ? fileName : fileName.substr(at + 1);
}

String ExtractFileExt(const String& fileName)
{
    auto dot = fileName.rfind(u'.');
    auto slash = lastDelimiter(fileName);
    if (dot == String::npos || (slash != String::npos && dot < slash))
        return {};
    return fileName.substr(dot);
}

String ChangeFileExt(const String& fileName, const String& extension)
{
    auto dot = fileName.rfind(u'.');
    auto slash = lastDelimiter(fileName);
    if (dot == String::npos || (slash != String::npos && dot < slash))
        return fileName + extension;
    return fileName.substr(0, dot) + extension;
}

String IncludeTrailingPathDelimiter(const String& path)
{
    return !path.empty() && path.back() == PathDelim ? path : path + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& path)
{
    String r = path;
    while (r.size() > 1 && r.back() == PathDelim)
        r.pop_back();
    return r;
}

Integer FindFirst(const String& path, Integer attr, TSearchRec& f)
{
    FindClose(f);
    String folder = ExtractFilePath(path);
    String mask = ExtractFileName(path);
    if (mask == u"*.*")
        mask = u"*";
    auto state = std::make_shared<SearchState>();
    state->folder = u8(folder.empty() ? String(u"./") : folder);
    state->mask = mask;
    state->dir = ::opendir(state->folder.c_str());
    if (!state->dir)
        return ERROR_PATH_NOT_FOUND;
    f.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    f.FindHandle = state;
    Integer r = findMatching(f);
    if (r != 0) {
        FindClose(f);
        return ERROR_FILE_NOT_FOUND;
    }
    return 0;
}

Integer FindNext(TSearchRec& f) { return findMatching(f); }

void FindClose(TSearchRec& f) { f.FindHandle.reset(); }

TDateTime FileDateToDateTime(Integer fileDate)
{
    auto v = std::uint32_t(fileDate);
    TDateTime value = 0;
    Word year = Word(((v >> 25) & 0x7F) + 1980), month = Word((v >> 21) & 0x0F), day = Word((v >> 16) & 0x1F);
    Word hour = Word((v >> 11) & 0x1F), minute = Word((v >> 5) & 0x3F), second = Word((v & 0x1F) * 2);
    if (!TryEncodeDateTime(year, month, day, hour, minute, second, 0, value))
        throw EConvertError(u"Invalid file date");
    return value;
}

Integer DateTimeToFileDate(TDateTime dateTime)
{
    Word year, month, day, hour, minute, second, msec;
    DecodeDateTime(dateTime, year, month, day, hour, minute, second, msec);
    if (year < 1980 || year > 2107)
        return 0;
    std::uint32_t v = (std::uint32_t(year - 1980) << 25) | (std::uint32_t(month) << 21) | (std::uint32_t(day) << 16)
        | (std::uint32_t(hour) << 11) | (std::uint32_t(minute) << 5) | std::uint32_t(second / 2);
    return Integer(v);
}

Integer FileAge(const String& fileName)
{
    TDateTime value;
    if (!FileAge(fileName, value))
        return -1;
    return DateTimeToFileDate(value);
}

bool FileAge(const String& fileName, TDateTime& fileDateTime)
{
    struct stat st {};
    if (!statPath(fileName, st) || S_ISDIR(st.st_mode))
        return false;
    fileDateTime = localDateTime(st.st_mtime);
    return true;
}

void WriteFileAtomically(const String& fileName, const TBytes& data, unsigned newFileMode)
{
    std::string target = u8(fileName);
    auto fail = [&](int err) {
        throw EFCreateError(u"Cannot create file \"" + fileName + u"\". " + Utf8ToString(std::strerror(err)));
    };
    if (target.empty())
        fail(ENOENT);
    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        fail(errno);
    struct stat st {};
    ::fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : mode_t(newFileMode));
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int err = errno ? errno : EIO;
            ::close(fd);
            ::unlink(temp.c_str());
            fail(err);
        }
        done += std::size_t(n);
    }
    int syncErr = ::fsync(fd) != 0 ? errno : 0;
    int closeErr = ::close(fd) != 0 ? errno : 0;
    if (syncErr || closeErr) {
        ::unlink(temp.c_str());
        fail(syncErr ? syncErr : closeErr);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        fail(err);
    }
}

String GetTempDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    String dir = Utf8ToString(tmp && *tmp ? tmp : "/tmp");
    return IncludeTrailingPathDelimiter(dir);
}

namespace {

// The private folder, made on first use (and again if it was removed); the
// caller holds g_tempLock.
const std::string& privateTempLocked()
{
    if (g_privateTemp.empty() || !DirectoryExists(Utf8ToString(g_privateTemp))) {
        std::string templ = u8(GetTempDirectory()) + "quarrytide-XXXXXX";
        if (!::mkdtemp(templ.data()))
            throw EInOutError(u"Cannot create a temporary folder: " + Utf8ToString(std::strerror(errno)));
        g_privateTemp = templ;
    }
    return g_privateTemp;
}

} // namespace

String GetPrivateTempDirectory()
{
    std::lock_guard guard(g_tempLock);
    return IncludeTrailingPathDelimiter(Utf8ToString(privateTempLocked()));
}

String CreateTempFile(const String& prefix, const String& extension)
{
    std::lock_guard guard(g_tempLock);
    privateTempLocked();
    std::string ext = u8(extension);
    std::string templ = g_privateTemp + "/" + u8(prefix) + "XXXXXX" + ext;
    int fd = ::mkstemps(templ.data(), int(ext.size()));
    if (fd < 0)
        throw EInOutError(u"Cannot create a temporary file: " + Utf8ToString(std::strerror(errno)));
    ::close(fd);
    return Utf8ToString(templ);
}

String GetModuleFileName()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? Utf8ToString(std::string_view(buf, std::size_t(n))) : String();
}

Integer ParamCount()
{
    auto args = commandLine();
    return args.empty() ? 0 : Integer(args.size() - 1);
}

String ParamStr(Integer index)
{
    if (index == 0)
        return GetModuleFileName();
    auto args = commandLine();
    if (index < 0 || std::size_t(index) >= args.size())
        return {};
    return Utf8ToString(args[std::size_t(index)]);
}

String GetEnvironmentVariable(const String& name)
{
    const char* v = std::getenv(u8(name).c_str());
    return v ? Utf8ToString(v) : String();
}

bool SetEnvironmentVariable(const String& name, const String& value)
{
    std::string n = u8(name);
    if (n.empty() || n.find('=') != std::string::npos)
        return false;
    return ::setenv(n.c_str(), u8(value).c_str(), 1) == 0;
}

DWORD GetFileVersionInfoSize(const String& fileName, DWORD* handle)
{
    if (handle)
        *handle = 0;
    return knownModule(fileName) ? DWORD(sizeof(VS_FIXEDFILEINFO)) : 0;
}

BOOL GetFileVersionInfo(const String& fileName, DWORD, DWORD length, void* data)
{
    const KnownModule* m = knownModule(fileName);
    if (!m || !data || length < sizeof(VS_FIXEDFILEINFO))
        return FALSE;
    VS_FIXEDFILEINFO info;
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = 0x00010000;
    info.dwFileVersionMS = info.dwProductVersionMS = m->versionMS;
    info.dwFileVersionLS = info.dwProductVersionLS = m->versionLS;
    info.dwFileOS = 0x00040004;
    info.dwFileType = 2;
    std::memcpy(data, &info, sizeof info);
    return TRUE;
}

BOOL VerQueryValue(const void* block, const String& subBlock, void** buffer, UINT* length)
{
    if (!block || !buffer || subBlock != u"\\")
        return FALSE;
    *buffer = const_cast<void*>(block);
    if (length)
        *length = UINT(sizeof(VS_FIXEDFILEINFO));
    return TRUE;
}

DWORD GetFileVersion(const String& fileName)
{
    const KnownModule* m = knownModule(fileName);
    return m ? m->versionMS : 0xFFFFFFFFu;
}
