#include "platform/rtl/Registry.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

#include "platform/rtl/StringList.h"
#include "platform/rtl/SyncObjs.h"
#include "tests/support/Fixtures.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("QUARRYTIDE_REGISTRY_DIR", m_dir.path().c_str(), 1); }
    void TearDown() override { unsetenv("QUARRYTIDE_REGISTRY_DIR"); }

    std::filesystem::path storeFile(const char* root = "HKEY_CURRENT_USER") const
    {
        return m_dir / (std::string(root) + ".reg");
    }
    std::string readStore() const
    {
        std::ifstream in(storeFile(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> r;
        for (auto& e : std::filesystem::directory_iterator(m_dir.path()))
            r.push_back(e.path().filename().string());
        std::sort(r.begin(), r.end());
        return r;
    }

    testsupport::TempDir m_dir;
};

std::vector<String> lines(const TStrings& s)
{
    std::vector<String> r;
    for (int i = 0; i < s.GetCount(); ++i)
        r.push_back(s[i]);
    return r;
}

TEST_F(RegistryTest, TypedValuesSurviveAReopen)
{
    const BYTE blob[] = { 0, 1, 0xFF, '"', '\\' };
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(u"\\Software\\QTX-AU-YP\\Main", true));
        reg.WriteString(u"Style", u"Line \"one\"\n\\ caf\u00e9 \U0001F600");
        reg.WriteExpandString(u"Path", u"%HOME%/x");
        reg.WriteInteger(u"Width", -300);
        reg.WriteBool(u"Split", true);
        reg.WriteFloat(u"Interval", 2.5);
        reg.WriteDateTime(u"When", 45000.75);
        reg.WriteBinaryData(u"Blob", blob, sizeof blob);
        reg.WriteString(u"", u"default value");
    }
    // Nothing is left behind but the store itself.
    EXPECT_EQ(folderEntries(), (std::vector<std::string> { "HKEY_CURRENT_USER.reg" }));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(u"software\\qtx-au-yp\\MAIN"));
    EXPECT_EQ(reg.ReadString(u"style"), u"Line \"one\"\n\\ caf\u00e9 \U0001F600");
    EXPECT_EQ(reg.ReadString(u"Path"), u"%HOME%/x");
    EXPECT_EQ(reg.ReadInteger(u"WIDTH"), -300);
    EXPECT_TRUE(reg.ReadBool(u"Split"));
    EXPECT_EQ(reg.ReadFloat(u"Interval"), 2.5);
    EXPECT_EQ(reg.ReadDateTime(u"When"), 45000.75);
    EXPECT_EQ(reg.ReadString(u""), u"default value");
    BYTE back[16] = {};
    EXPECT_EQ(reg.ReadBinaryData(u"Blob", back, sizeof back), Integer(sizeof blob));
    EXPECT_EQ(std::memcmp(back, blob, sizeof blob), 0);
    const struct {
        const char16_t* name;
        TRegDataType type;
        Integer size;
    } kinds[] = {
        { u"Style", rdString, -2 }, { u"Path", rdExpandString, 18 }, { u"Width", rdInteger, 4 },
        { u"Blob", rdBinary, 5 }, { u"Missing", rdUnknown, -1 },
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(StringToUtf8(k.name));
        EXPECT_EQ(reg.GetDataType(k.name), k.type);
        if (k.size != -2) {
            EXPECT_EQ(reg.GetDataSize(k.name), k.size);
        }
    }
}

TEST_F(RegistryTest, MissingOrMistypedValuesRaise)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"Software\\Test", true));
    reg.WriteString(u"Text", u"12");
    reg.WriteInteger(u"Number", 12);
    using Read = std::function<void(TRegistry&)>;
    const struct {
        const char* what;
        Read read;
        const char16_t* message;
    } cases[] = {
        { "missing integer", [](TRegistry& r) { r.ReadInteger(u"Nope"); }, u"Failed to get data for 'Nope'" },
        { "missing bool", [](TRegistry& r) { r.ReadBool(u"Nope"); }, u"Failed to get data for 'Nope'" },
        { "missing float", [](TRegistry& r) { r.ReadFloat(u"Nope"); }, u"Failed to get data for 'Nope'" },
        { "text as integer", [](TRegistry& r) { r.ReadInteger(u"Text"); }, u"Invalid data type for 'Text'" },
        { "integer as text", [](TRegistry& r) { r.ReadString(u"Number"); }, u"Invalid data type for 'Number'" },
        { "integer as float", [](TRegistry& r) { r.ReadFloat(u"Number"); }, u"Invalid data type for 'Number'" },
        { "text as binary", [](TRegistry& r) { BYTE b[8]; r.ReadBinaryData(u"Text", b, 8); }, u"Invalid data type for 'Text'" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.read(reg);
            ADD_FAILURE() << "no exception";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
    // A missing string reads as empty text.
    EXPECT_EQ(reg.ReadString(u"Nope"), u"");
    BYTE small[2];
    reg.WriteBinaryData(u"Big", "12345", 5);
    EXPECT_THROW(reg.ReadBinaryData(u"Big", small, 2), ERegistryException);
}

TEST_F(RegistryTest, KeyPathsAbsoluteRelativeAndIgnoringCase)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(u"Software\\A", false));
    EXPECT_TRUE(reg.CreateKey(u"Software\\A\\B"));
    ASSERT_TRUE(reg.OpenKey(u"software\\a", false));
    EXPECT_EQ(reg.GetCurrentPath(), u"software\\a");
    // Relative to the open key.
    ASSERT_TRUE(reg.OpenKey(u"b\\C", true));
    EXPECT_EQ(reg.GetCurrentPath(), u"software\\a\\b\\C");
    EXPECT_TRUE(reg.KeyExists(u"\\SOFTWARE\\A\\B\\C"));
    EXPECT_FALSE(reg.KeyExists(u"C"));
    // A leading backslash starts again at the root.
    ASSERT_TRUE(reg.OpenKey(u"\\Software", false));
    EXPECT_EQ(reg.GetCurrentPath(), u"Software");
    TStringList names;
    reg.GetKeyNames(names);
    EXPECT_EQ(lines(names), (std::vector<String> { u"A" }));
    EXPECT_TRUE(reg.HasSubKeys());

    // Roots are separate stores.
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.GetCurrentKey(), nullptr);
    EXPECT_FALSE(reg.KeyExists(u"Software\\A"));
}

TEST_F(RegistryTest, DeleteKeyTakesTheSubtreeAndValuesCanGo)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Gone\\Deep\\Deeper", true));
    reg.WriteInteger(u"x", 1);
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Kept", true));
    reg.WriteInteger(u"a", 1);
    reg.WriteInteger(u"b", 2);
    EXPECT_TRUE(reg.DeleteValue(u"A"));
    EXPECT_FALSE(reg.DeleteValue(u"A"));
    TStringList values;
    reg.GetValueNames(values);
    EXPECT_EQ(lines(values), (std::vector<String> { u"b" }));

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, u"Software\\Gone"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(reg.DeleteKey(u"\\Software\\Gone"));
    EXPECT_FALSE(reg.KeyExists(u"\\Software\\Gone\\Deep"));
    EXPECT_FALSE(reg.DeleteKey(u"\\Software\\Gone"));
    EXPECT_TRUE(reg.KeyExists(u"\\Software\\Kept"));

    TRegistry again;
    EXPECT_FALSE(again.KeyExists(u"Software\\Gone"));
    ASSERT_TRUE(again.OpenKey(u"Software\\Kept", false));
    EXPECT_FALSE(again.ValueExists(u"a"));
    EXPECT_TRUE(again.ValueExists(u"b"));
}

TEST_F(RegistryTest, ReadOnlyKeysRefuseWrites)
{
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(u"Software\\RO", true));
    writer.WriteInteger(u"v", 1);
    TRegistry reader(KEY_READ);
    ASSERT_TRUE(reader.OpenKey(u"Software\\RO", false));
    EXPECT_EQ(reader.ReadInteger(u"v"), 1);
    EXPECT_THROW(reader.WriteInteger(u"v", 2), ERegistryException);
    EXPECT_FALSE(reader.DeleteValue(u"v"));
    EXPECT_EQ(writer.ReadInteger(u"v"), 1);
}

TEST_F(RegistryTest, RawQueryReportsSizesAndShortBuffers)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, u"Software\\Raw", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const BYTE text[] = { 'h', 0, 'i', 0, 0, 0 };
    ASSERT_EQ(RegSetValueEx(key, u"T", 0, REG_SZ, text, sizeof text), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(key, u"t", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
    BYTE buf[4];
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueEx(key, u"T", nullptr, nullptr, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueEx(key, u"none", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key, u"T", nullptr, nullptr, buf, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteValue(key, u"T"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, u"T"), ERROR_FILE_NOT_FOUND);

    HKEY again = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, u"\\software\\RAW\\", 0, nullptr, 0, KEY_READ, nullptr, &again, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegSetValueEx(again, u"x", 0, REG_DWORD, text, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);

    // A key deleted under an open handle, and a closed handle.
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, u"Software\\Raw"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, u"x", 0, REG_DWORD, text, 4), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyEx(key, nullptr, 0, KEY_READ, &opened), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, ChangesByAnotherWriterAreSeen)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"Software\\Shared", true));
    reg.WriteInteger(u"v", 1);
    std::string text = readStore();
    auto at = text.find("dword 1");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 7, "dword 7");
    {
        std::ofstream out(storeFile().string() + ".new", std::ios::binary);
        out << text;
    }
    std::filesystem::rename(storeFile().string() + ".new", storeFile());
    EXPECT_EQ(reg.ReadInteger(u"v"), 7);
}

TEST_F(RegistryTest, DamagedStoreIsKeptAsideAndReported)
{
    const std::string damaged = "version 1\nkey \"Software\nvalue broken\n";
    {
        std::ofstream out(storeFile(), std::ios::binary);
        out << damaged;
    }
    TRegistry reg;
    try {
        reg.OpenKey(u"Software", false);
        FAIL() << "no exception";
    } catch (const ERegistryException& e) {
        std::string m = StringToUtf8(e.Message);
        EXPECT_NE(m.find("damaged"), std::string::npos) << m;
        EXPECT_NE(m.find("HKEY_CURRENT_USER.reg.damaged-1"), std::string::npos) << m;
    }
    std::ifstream kept(storeFile().string() + ".damaged-1", std::ios::binary);
    std::stringstream ss;
    ss << kept.rdbuf();
    EXPECT_EQ(ss.str(), damaged);

    // The store then starts afresh and works.
    ASSERT_TRUE(reg.OpenKey(u"Software\\New", true));
    reg.WriteInteger(u"v", 3);
    EXPECT_EQ(reg.ReadInteger(u"v"), 3);

    // Raw calls see the damage as a code.
    {
        std::ofstream out(storeFile(), std::ios::binary);
        out << "not a store\n";
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &key), ERROR_BADDB);
    EXPECT_TRUE(std::filesystem::exists(storeFile().string() + ".damaged-2"));
}

TEST_F(RegistryTest, NotificationsSignalOnceForMatchingChanges)
{
    TRegistry reg;
    ASSERT_TRUE(reg.CreateKey(u"Software\\Watched\\Child"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Watched", 0, KEY_READ | KEY_NOTIFY, &key), ERROR_SUCCESS);

    using Change = std::function<void(TRegistry&)>;
    const struct {
        const char* what;
        bool subtree;
        DWORD filter;
        Change change;
        bool signalled;
    } cases[] = {
        { "value set on the key", false, REG_NOTIFY_CHANGE_LAST_SET,
            [](TRegistry& r) { r.OpenKey(u"\\Software\\Watched", false); r.WriteInteger(u"a", 1); }, true },
        { "value below, subtree", true, REG_NOTIFY_CHANGE_LAST_SET,
            [](TRegistry& r) { r.OpenKey(u"\\Software\\Watched\\Child", false); r.WriteInteger(u"a", 1); }, true },
        { "value below, no subtree", false, REG_NOTIFY_CHANGE_LAST_SET,
            [](TRegistry& r) { r.OpenKey(u"\\Software\\Watched\\Child", false); r.WriteInteger(u"b", 1); }, false },
        { "new subkey, name filter", false, REG_NOTIFY_CHANGE_NAME,
            [](TRegistry& r) { r.CreateKey(u"\\Software\\Watched\\Second"); }, true },
        { "new subkey, value filter", false, REG_NOTIFY_CHANGE_LAST_SET,
            [](TRegistry& r) { r.CreateKey(u"\\Software\\Watched\\Third"); }, false },
        { "elsewhere", true, 0xF, [](TRegistry& r) { r.CreateKey(u"\\Software\\Other"); }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TEvent event(true, false);
        ASSERT_EQ(RegNotifyChangeKeyValue(key, c.subtree, c.filter, &event, TRUE), ERROR_SUCCESS);
        c.change(reg);
        EXPECT_EQ(event.TryWait(), c.signalled);
        if (c.signalled) {
            // One shot: a second change without re-arming stays silent.
            event.ResetEvent();
            c.change(reg);
            EXPECT_FALSE(event.TryWait());
        }
        // Closing and reopening drops any registration left.
        RegCloseKey(key);
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Watched", 0, KEY_READ | KEY_NOTIFY, &key), ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

TEST_F(RegistryTest, AWorkerWakesOnAChangeFromAnotherThread)
{
    TRegistry reg;
    ASSERT_TRUE(reg.CreateKey(u"Software\\Office\\Common"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Office\\Common", 0, KEY_READ, &key), ERROR_SUCCESS);
    TEvent event(true, false, u"RegMonitorChange");
    ASSERT_EQ(RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_LAST_SET, &event, TRUE), ERROR_SUCCESS);
    std::thread writer([] {
        TRegistry r;
        r.OpenKey(u"Software\\Office\\Common", false);
        r.WriteInteger(u"UI Theme", 5);
    });
    EXPECT_EQ(event.WaitFor(10000), TWaitResult::wrSignaled);
    writer.join();

    // A synchronous call returns once a change arrives; closing the key
    // would end it too, which stops this test from hanging if it never does.
    std::atomic<bool> returned { false };
    std::thread waiter([&] {
        EXPECT_EQ(RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_LAST_SET, nullptr, FALSE), ERROR_SUCCESS);
        returned = true;
    });
    reg.OpenKey(u"\\Software\\Office\\Common", false);
    for (int i = 0; i < 2000 && !returned; ++i) {
        reg.WriteInteger(u"tick", i);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    bool wokenByChange = returned;
    RegCloseKey(key);
    waiter.join();
    EXPECT_TRUE(wokenByChange);
}

} // namespace
