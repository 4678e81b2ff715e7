#pragma once
// Files, folders and paths; directory searches; file times; the temporary
// folder, the program's file name and arguments, environment variables; and
// the file version queries, which answer fixed values for the few system
// modules the program asks about.

#include <memory>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

constexpr Char PathDelim = u'/';
constexpr Char PathSep = u':';

bool FileExists(const String& fileName);
bool DirectoryExists(const String& directory);
// Creates the folder and its missing parents; false when that fails.
bool ForceDirectories(const String& directory);
bool CreateDir(const String& directory);
// Removes an empty folder.
bool RemoveDir(const String& directory);
bool DeleteFile(const String& fileName);
// Refuses to replace an existing file, as the platform does.
bool RenameFile(const String& oldName, const String& newName);
String GetCurrentDir();
bool SetCurrentDir(const String& directory);
String ExpandFileName(const String& fileName);

// Path pieces. The folder part keeps its trailing delimiter; the extension
// keeps its dot and is taken only from the last path element.
String ExtractFilePath(const String& fileName);
String ExtractFileDir(const String& fileName);
String ExtractFileName(const String& fileName);
String ExtractFileExt(const String& fileName);
String ChangeFileExt(const String& fileName, const String& extension);
String IncludeTrailingPathDelimiter(const String& path);
String ExcludeTrailingPathDelimiter(const String& path);

// File attributes.
constexpr Integer faReadOnly = 0x01;
constexpr Integer faHidden = 0x02;
constexpr Integer faSysFile = 0x04;
constexpr Integer faVolumeID = 0x08;
constexpr Integer faDirectory = 0x10;
constexpr Integer faArchive = 0x20;
constexpr Integer faNormal = 0x80;
constexpr Integer faSymLink = 0x400;
constexpr Integer faAnyFile = 0x1FF;

// Error codes of the searches.
constexpr Integer ERROR_FILE_NOT_FOUND = 2;
constexpr Integer ERROR_PATH_NOT_FOUND = 3;
constexpr Integer ERROR_NO_MORE_FILES = 18;

struct TSearchRec {
    Integer Time { 0 };        // local time in the packed date-and-time form
    Int64 Size { 0 };
    Integer Attr { 0 };
    String Name;               // the name alone, without the folder
    Integer ExcludeAttr { 0 };
    TDateTime TimeStamp { 0 }; // local time
    std::shared_ptr<void> FindHandle;
};

// Lists the entries of one folder whose names match the mask's last element
// (`*` any run, `?` one character; letters ignoring case; "*.*" is "*").
// An entry is skipped when it has one of faHidden, faSysFile, faVolumeID,
// faDirectory that `attr` does not include. Returns 0 on success, else
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or ERROR_NO_MORE_FILES.
Integer FindFirst(const String& path, Integer attr, TSearchRec& f);
Integer FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);

// The last-modified time of a file in the packed form, -1 when missing.
Integer FileAge(const String& fileName);
bool FileAge(const String& fileName, TDateTime& fileDateTime);
TDateTime FileDateToDateTime(Integer fileDate);
Integer DateTimeToFileDate(TDateTime dateTime);

// Replaces a file's content as one step: the bytes go to a temporary file
// beside it, which is flushed to disk and renamed over the target, so a
// crash leaves either the old or the new file, never a half-written one.
// Raises EFCreateError "Cannot create file ..." when that fails.
void WriteFileAtomically(const String& fileName, const TBytes& data, unsigned newFileMode = 0644);

// The user's temporary folder ($TMPDIR, else /tmp), with a trailing delimiter.
String GetTempDirectory();
// The folder private to this process (mode 0700) that CreateTempFile uses,
// with a trailing delimiter; raises EInOutError when it cannot be made.
String GetPrivateTempDirectory();
// A new empty file "<prefix>XXXXXX<extension>" in a folder private to this
// process (mode 0700), created without a race; raises EInOutError on failure.
String CreateTempFile(const String& prefix, const String& extension = {});

// The program file, and the arguments it was started with.
String GetModuleFileName();
Integer ParamCount();
String ParamStr(Integer index);

// An unset variable reads as empty text.
String GetEnvironmentVariable(const String& name);
bool SetEnvironmentVariable(const String& name, const String& value);

// ---- file version information

struct VS_FIXEDFILEINFO {
    DWORD dwSignature { 0 };
    DWORD dwStrucVersion { 0 };
    DWORD dwFileVersionMS { 0 };
    DWORD dwFileVersionLS { 0 };
    DWORD dwProductVersionMS { 0 };
    DWORD dwProductVersionLS { 0 };
    DWORD dwFileFlagsMask { 0 };
    DWORD dwFileFlags { 0 };
    DWORD dwFileOS { 0 };
    DWORD dwFileType { 0 };
    DWORD dwFileSubtype { 0 };
    DWORD dwFileDateMS { 0 };
    DWORD dwFileDateLS { 0 };
};
constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;

// 0 when the module has no version information.
DWORD GetFileVersionInfoSize(const String& fileName, DWORD* handle);
BOOL GetFileVersionInfo(const String& fileName, DWORD handle, DWORD length, void* data);
// Sub-block "\" gives the VS_FIXEDFILEINFO inside `block`.
BOOL VerQueryValue(const void* block, const String& subBlock, void** buffer, UINT* length);
inline DWORD GetFileVersionInfoSizeW(const String& f, DWORD* h) { return GetFileVersionInfoSize(f, h); }
inline BOOL GetFileVersionInfoW(const String& f, DWORD h, DWORD n, void* d) { return GetFileVersionInfo(f, h, n, d); }
inline BOOL VerQueryValueW(const void* b, const String& s, void** p, UINT* n) { return VerQueryValue(b, s, p, n); }
// The high half of the file version (major << 16 | minor), 0xFFFFFFFF without one.
DWORD GetFileVersion(const String& fileName);
