#pragma once
// The registry: a tree of keys holding typed values under a few roots, kept
// in one file per root ("HKEY_CURRENT_USER.reg", ...) in the folder named by
// the environment variable QUARRYTIDE_REGISTRY_DIR when it is set (tests use
// it), else $XDG_CONFIG_HOME/quarrytide, else ~/.config/quarrytide. Every
// change rewrites its root's file atomically; a file changed by another
// process is read again before the next call. A file that cannot be parsed
// is never emptied silently: it is renamed aside ("<file>.damaged-<n>"), the
// damage is reported (on stderr, as ERROR_BADDB to the raw calls and as
// ERegistryException to TRegistry), and the root starts afresh.
// Key and value names compare ignoring case; key paths use "\" and may
// start with one.

#include <vector>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TEvent;
class TStrings;

QT_DECLARE_EXCEPTION(ERegistryException, Exception);

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t(0x80000003u));
inline HKEY const HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(std::uintptr_t(0x80000005u));

using REGSAM = DWORD;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr DWORD REG_NOTIFY_CHANGE_NAME = 0x1;
constexpr DWORD REG_NOTIFY_CHANGE_ATTRIBUTES = 0x2;
constexpr DWORD REG_NOTIFY_CHANGE_LAST_SET = 0x4;
constexpr DWORD REG_NOTIFY_CHANGE_SECURITY = 0x8;

// With ERROR_FILE_NOT_FOUND (FileUtils.h) for a missing key or value.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_CANTWRITE = 1013;

// Raw calls. Names may be null where the platform allows it (the key itself,
// the unnamed value). Strings are stored as UTF-16 with their final zero.
LONG RegOpenKeyEx(HKEY key, const Char* subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyEx(HKEY key, const Char* subKey, DWORD reserved, Char* keyClass, DWORD options, REGSAM access,
    void* security, HKEY* result, DWORD* disposition);
LONG RegQueryValueEx(HKEY key, const Char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueEx(HKEY key, const Char* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValue(HKEY key, const Char* valueName);
// Deletes a key without subkeys.
LONG RegDeleteKey(HKEY key, const Char* subKey);
LONG RegCloseKey(HKEY key);
// Arms a one-shot notification: `event` is signalled at the next change
// made through the store to the key (or, with watchSubtree, below it) of a
// kind in `filter`; call again to re-arm. Closing the key ends it. The event
// must outlive the registration. Without `asynchronous` the call waits for
// the change itself (`event` may then be null).
LONG RegNotifyChangeKeyValue(HKEY key, BOOL watchSubtree, DWORD filter, TEvent* event, BOOL asynchronous);

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
    Integer NumSubKeys { 0 };
    Integer MaxSubKeyLen { 0 };
    Integer NumValues { 0 };
    Integer MaxValueLen { 0 };
    Integer MaxDataLen { 0 };
};

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : FAccess(access) { }
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY GetRootKey() const { return FRootKey; }
    // Closes the open key first.
    void SetRootKey(HKEY root);
    HKEY GetCurrentKey() const { return FCurrentKey; }
    const String& GetCurrentPath() const { return FCurrentPath; }
    REGSAM GetAccess() const { return FAccess; }
    void SetAccess(REGSAM access) { FAccess = access; }
    bool GetLazyWrite() const { return FLazyWrite; }
    void SetLazyWrite(bool b) { FLazyWrite = b; }

    // A path starting with "\" is taken from the root, any other from the
    // open key. False when the key is missing (and not to be created).
    bool OpenKey(const String& key, bool canCreate);
    bool OpenKeyReadOnly(const String& key);
    void CloseKey();
    // Raises ERegistryException when the key cannot be made.
    bool CreateKey(const String& key);
    // Deletes the key with everything below it.
    bool DeleteKey(const String& key);
    bool KeyExists(const String& key);
    bool HasSubKeys();
    bool GetKeyInfo(TRegKeyInfo& info);
    void GetKeyNames(TStrings& strings);
    void GetValueNames(TStrings& strings);

    bool ValueExists(const String& name);
    bool DeleteValue(const String& name);
    TRegDataType GetDataType(const String& name);
    // -1 for a missing value.
    Integer GetDataSize(const String& name);

    // A missing value reads as empty text, as the platform does; a value of
    // another type raises ERegistryException.
    String ReadString(const String& name);
    void WriteString(const String& name, const String& value);
    void WriteExpandString(const String& name, const String& value);
    // The typed reads below raise ERegistryException for a missing value and
    // for a value of another type.
    Integer ReadInteger(const String& name);
    void WriteInteger(const String& name, Integer value);
    bool ReadBool(const String& name);
    void WriteBool(const String& name, bool value);
    double ReadFloat(const String& name);
    void WriteFloat(const String& name, double value);
    TDateTime ReadDateTime(const String& name);
    void WriteDateTime(const String& name, TDateTime value);
    TDateTime ReadDate(const String& name) { return ReadDateTime(name); }
    void WriteDate(const String& name, TDateTime value) { WriteDateTime(name, value); }
    TDateTime ReadTime(const String& name) { return ReadDateTime(name); }
    void WriteTime(const String& name, TDateTime value) { WriteDateTime(name, value); }
    // Copies at most `bufSize` bytes; returns the size of the value.
    Integer ReadBinaryData(const String& name, void* buffer, Integer bufSize);
    void WriteBinaryData(const String& name, const void* buffer, Integer bufSize);

private:
    HKEY BaseKeyFor(const String& key) const;
    String PathFor(const String& key) const;
    bool OpenWithAccess(const String& key, bool canCreate, REGSAM access);
    LONG GetData(const String& name, std::vector<BYTE>& data, DWORD& type);
    void PutData(const String& name, DWORD type, const void* data, DWORD size);
    void ChangeKey(HKEY key, const String& path);

    HKEY FRootKey { HKEY_CURRENT_USER };
    HKEY FCurrentKey { nullptr };
    String FCurrentPath;
    REGSAM FAccess { KEY_ALL_ACCESS };
    bool FLazyWrite { true };
};
