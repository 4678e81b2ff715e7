#include "platform/rtl/FileUtils.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "platform/rtl/Exceptions.h"
#include "tests/support/Fixtures.h"

namespace {

String u16(const std::filesystem::path& p) { return Utf8ToString(p.string()); }

void touch(const std::filesystem::path& p, const std::string& content = "x")
{
    std::ofstream(p) << content;
}

TEST(Paths, PiecesOfAFileName)
{
    const struct {
        const char16_t* name;
        const char16_t* path;
        const char16_t* dir;
        const char16_t* file;
        const char16_t* ext;
        const char16_t* changed; // extension changed to ".csv"
    } cases[] = {
        { u"/home/u/data.txt", u"/home/u/", u"/home/u", u"data.txt", u".txt", u"/home/u/data.csv" },
        { u"/home/u.d/data", u"/home/u.d/", u"/home/u.d", u"data", u"", u"/home/u.d/data.csv" },
        { u"archive.tar.gz", u"", u"", u"archive.tar.gz", u".gz", u"archive.tar.csv" },
        { u"/file", u"/", u"/", u"file", u"", u"/file.csv" },
        { u"dir/", u"dir/", u"dir", u"", u"", u"dir/.csv" },
        { u".hidden", u"", u"", u".hidden", u".hidden", u".csv" },
        { u"", u"", u"", u"", u"", u".csv" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.name));
        EXPECT_EQ(ExtractFilePath(c.name), c.path);
        EXPECT_EQ(ExtractFileDir(c.name), c.dir);
        EXPECT_EQ(ExtractFileName(c.name), c.file);
        EXPECT_EQ(ExtractFileExt(c.name), c.ext);
        EXPECT_EQ(ChangeFileExt(c.name, u".csv"), c.changed);
    }
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/a"), u"/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/a/"), u"/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/a//"), u"/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/"), u"/");
    EXPECT_EQ(ExpandFileName(u"/a/./b/../c"), u"/a/c");
    EXPECT_EQ(ExpandFileName(u"/.."), u"/");
}

TEST(Files, CreateRenameDeleteAndFolders)
{
    testsupport::TempDir dir;
    String deep = u16(dir / "a" / "b" / "c");
    EXPECT_TRUE(ForceDirectories(deep + u"/"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep));
    EXPECT_FALSE(ForceDirectories(u""));

    String one = u16(dir / "one.txt"), two = u16(dir / "two.txt");
    touch(dir / "one.txt");
    touch(dir / "two.txt");
    EXPECT_TRUE(FileExists(one));
    EXPECT_FALSE(RenameFile(one, two)) << "an existing target is never replaced";
    EXPECT_TRUE(FileExists(one));
    EXPECT_TRUE(DeleteFile(two));
    EXPECT_TRUE(RenameFile(one, two));
    EXPECT_FALSE(FileExists(one));
    EXPECT_FALSE(DeleteFile(one));
    EXPECT_FALSE(DeleteFile(deep)) << "folders are not files";
    EXPECT_FALSE(RemoveDir(u16(dir / "a"))) << "not empty";
    EXPECT_TRUE(RemoveDir(deep));

    // A file in a folder that is a file cannot be made.
    EXPECT_FALSE(ForceDirectories(two + u"/sub"));
}

TEST(Files, FindFirstNextWithMasksAndAttributes)
{
    testsupport::TempDir dir;
    touch(dir / "a.txt", "12345");
    touch(dir / "B.TXT");
    touch(dir / "c.csv");
    touch(dir / "noext");
    touch(dir / ".hidden.txt");
    std::filesystem::create_directory(dir / "sub.txt");
    const struct {
        const char* mask;
        Integer attr;
        std::vector<std::string> expected;
    } cases[] = {
        { "*.txt", 0, { "B.TXT", "a.txt" } },
        { "*.txt", faDirectory, { "B.TXT", "a.txt", "sub.txt" } },
        { "*.txt", faAnyFile, { ".hidden.txt", "B.TXT", "a.txt", "sub.txt" } },
        { "?.csv", 0, { "c.csv" } },
        { "*.*", 0, { "B.TXT", "a.txt", "c.csv", "noext" } },
        { "*", 0, { "B.TXT", "a.txt", "c.csv", "noext" } },
        { "a*t", 0, { "a.txt" } },
        { "*.zip", faAnyFile, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        TSearchRec rec;
        std::vector<std::string> found;
        Integer r = FindFirst(u16(dir / c.mask), c.attr, rec);
        if (c.expected.empty()) {
            EXPECT_EQ(r, ERROR_FILE_NOT_FOUND);
            continue;
        }
        ASSERT_EQ(r, 0);
        do
            found.push_back(StringToUtf8(rec.Name));
        while (FindNext(rec) == 0);
        FindClose(rec);
        EXPECT_EQ(FindNext(rec), ERROR_NO_MORE_FILES);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.expected);
    }
    TSearchRec rec;
    ASSERT_EQ(FindFirst(u16(dir / "a.txt"), 0, rec), 0);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr & faDirectory, 0);
    ASSERT_EQ(FindFirst(u16(dir / "sub.txt"), faDirectory, rec), 0);
    EXPECT_NE(rec.Attr & faDirectory, 0);
    FindClose(rec);
    EXPECT_EQ(FindFirst(u16(dir / "missing" / "*"), faAnyFile, rec), ERROR_PATH_NOT_FOUND);
}

TEST(Files, FileAgeIsTheLocalModificationTime)
{
    testsupport::TempDir dir;
    touch(dir / "f");
    // 2021-06-15 12:34:56 local time.
    struct tm tm {};
    tm.tm_year = 121;
    tm.tm_mon = 5;
    tm.tm_mday = 15;
    tm.tm_hour = 12;
    tm.tm_min = 34;
    tm.tm_sec = 56;
    tm.tm_isdst = -1;
    struct utimbuf times { mktime(&tm), mktime(&tm) };
    ASSERT_EQ(utime((dir / "f").c_str(), &times), 0);

    TDateTime age = 0;
    ASSERT_TRUE(FileAge(u16(dir / "f"), age));
    EXPECT_NEAR(age, EncodeDateTime(2021, 6, 15, 12, 34, 56, 0), 1e-8);
    Integer packed = FileAge(u16(dir / "f"));
    EXPECT_EQ(packed, Integer((41u << 25) | (6u << 21) | (15u << 16) | (12u << 11) | (34u << 5) | 28u));
    EXPECT_NEAR(FileDateToDateTime(packed), EncodeDateTime(2021, 6, 15, 12, 34, 56, 0), 1e-8);

    EXPECT_EQ(FileAge(u16(dir / "none")), -1);
    EXPECT_FALSE(FileAge(u16(dir / "none"), age));
    EXPECT_THROW(FileDateToDateTime(0), EConvertError);
}

TEST(Files, TempFilesAreNewAndPrivate)
{
    String a = CreateTempFile(u"grid", u".csv");
    String b = CreateTempFile(u"grid", u".csv");
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(ExtractFileExt(a), u".csv");
    EXPECT_EQ(ExtractFileName(a).rfind(u"grid", 0), 0u);
    struct stat st {};
    ASSERT_EQ(stat(StringToUtf8(ExtractFileDir(a)).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(GetTempDirectory().back(), PathDelim);
    DeleteFile(a);
    DeleteFile(b);
}

TEST(Process, ProgramFileAndEnvironment)
{
    String exe = GetModuleFileName();
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(ParamStr(0), exe);
    EXPECT_EQ(ParamStr(ParamCount() + 1), u"");

    EXPECT_TRUE(SetEnvironmentVariable(u"QT_H2_TEST_VAR", u"caf\u00e9"));
    EXPECT_EQ(GetEnvironmentVariable(u"QT_H2_TEST_VAR"), u"caf\u00e9");
    EXPECT_FALSE(SetEnvironmentVariable(u"A=B", u"x"));
    EXPECT_EQ(GetEnvironmentVariable(u"QT_H2_SURELY_UNSET"), u"");
}

TEST(FileVersion, KnownModulesAnswerFixedValues)
{
    const struct {
        const char16_t* name;
        DWORD expected;
    } cases[] = {
        { u"COMCTL32.DLL", (6u << 16) | 10u },
        { u"C:\\Windows\\System32\\comctl32.dll", (6u << 16) | 10u },
        { u"/usr/lib/other.so", 0xFFFFFFFFu },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.name));
        EXPECT_EQ(GetFileVersion(c.name), c.expected);
        DWORD handle = 1;
        DWORD size = GetFileVersionInfoSizeW(c.name, &handle);
        EXPECT_EQ(handle, 0u);
        if (c.expected == 0xFFFFFFFFu) {
            EXPECT_EQ(size, 0u);
            continue;
        }
        std::vector<std::uint8_t> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(c.name, handle, size, block.data()));
        void* p = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &p, &len));
        auto* info = static_cast<VS_FIXEDFILEINFO*>(p);
        EXPECT_EQ(info->dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(info->dwFileVersionMS, c.expected);
        EXPECT_FALSE(GetFileVersionInfoW(c.name, handle, size - 1, block.data()));
    }
}

} // namespace
