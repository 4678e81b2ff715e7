#include "platform/rtl/IniFiles.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "tests/support/Fixtures.h"

namespace {

using Factory = std::function<std::unique_ptr<TCustomIniFile>(const String&)>;

struct Kind {
    const char* name;
    Factory make;
};

const Kind kKinds[] = {
    { "TMemIniFile", [](const String& f) { return std::unique_ptr<TCustomIniFile>(new TMemIniFile(f)); } },
    { "TIniFile", [](const String& f) { return std::unique_ptr<TCustomIniFile>(new TIniFile(f)); } },
};

std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::filesystem::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

String u16(const std::filesystem::path& p) { return Utf8ToString(p.string()); }

std::vector<String> lines(const TStrings& s)
{
    std::vector<String> r;
    for (int i = 0; i < s.GetCount(); ++i)
        r.push_back(s[i]);
    return r;
}

TEST(IniFiles, TypedValuesRoundTripThroughTheFile)
{
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        testsupport::TempDir dir;
        String name = u16(dir / "settings.ini");
        const TDateTime when = EncodeDateTime(2024, 2, 29, 13, 5, 7, 250);
        TMemoryStream blob;
        blob.WriteBuffer("\x00\x7f\xff", 3);
        blob.SetPosition(1);
        {
            auto ini = kind.make(name);
            ini->WriteString(u"Main", u"Text", u"  padded \u00e9 ");
            ini->WriteString(u"Main", u"Quoted", u"\"q\"");
            ini->WriteInteger(u"Main", u"Int", -42);
            ini->WriteBool(u"Main", u"Flag", true);
            ini->WriteFloat(u"Main", u"Float", 0.1);
            ini->WriteDate(u"Main", u"Date", when);
            ini->WriteTime(u"Main", u"Time", when);
            ini->WriteDateTime(u"Main", u"Stamp", when);
            ini->WriteBinaryStream(u"Main", u"Blob", blob);
            EXPECT_EQ(blob.GetPosition(), 1);
            ini->UpdateFile();
        }
        auto ini = kind.make(name);
        EXPECT_EQ(ini->ReadString(u"main", u"text", u"?"), u"  padded \u00e9 ");
        EXPECT_EQ(ini->ReadString(u"Main", u"Quoted", u"?"), u"\"q\"");
        EXPECT_EQ(ini->ReadInteger(u"Main", u"Int", 0), -42);
        EXPECT_TRUE(ini->ReadBool(u"Main", u"Flag", false));
        EXPECT_EQ(ini->ReadFloat(u"Main", u"Float", 0), 0.1);
        EXPECT_EQ(ini->ReadDate(u"Main", u"Date", 0), EncodeDate(2024, 2, 29));
        EXPECT_NEAR(ini->ReadTime(u"Main", u"Time", 0), EncodeTime(13, 5, 7, 250), 1e-9);
        EXPECT_NEAR(ini->ReadDateTime(u"Main", u"Stamp", 0), when, 1e-9);
        TMemoryStream back;
        back.WriteBuffer("ab", 2);
        EXPECT_EQ(ini->ReadBinaryStream(u"Main", u"Blob", back), 2);
        EXPECT_EQ(back.GetPosition(), 2);
        EXPECT_EQ(back.GetSize(), 4);
        EXPECT_EQ(std::string(static_cast<char*>(back.GetMemory()), 4), std::string("ab\x7f\xff", 4));
        EXPECT_NE(readFile(dir / "settings.ini").find("Blob=7FFF"), std::string::npos);
    }
}

TEST(IniFiles, ValueParsingAndDefaults)
{
    testsupport::TempDir dir;
    writeFile(dir / "v.ini",
        "[N]\n"
        "hex1=$FF\nhex2=0x10\nneg=-7\nbig=99999999999\nword=abc\nspaced=  12  \nminhex=$FFFFFFFF\n"
        "comma=2,5\nexp=1e3\nbad=1.2.3\n"
        "date=2024-13-01\nleap=2023-02-29\ntime=25:00\nhm=07:30\n");
    TMemIniFile ini(u16(dir / "v.ini"));
    const struct {
        const char16_t* key;
        Integer expected;
    } ints[] = {
        { u"hex1", 255 }, { u"hex2", 16 }, { u"neg", -7 }, { u"big", 5 }, { u"word", 5 },
        { u"spaced", 12 }, { u"minhex", -1 }, { u"missing", 5 },
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(StringToUtf8(c.key));
        EXPECT_EQ(ini.ReadInteger(u"N", c.key, 5), c.expected);
    }
    EXPECT_EQ(ini.ReadFloat(u"N", u"comma", 0), 2.5);
    EXPECT_EQ(ini.ReadFloat(u"N", u"exp", 0), 1000.0);
    EXPECT_EQ(ini.ReadFloat(u"N", u"bad", -1), -1.0);
    EXPECT_EQ(ini.ReadDate(u"N", u"date", 3), 3.0);
    EXPECT_EQ(ini.ReadDate(u"N", u"leap", 3), 3.0);
    EXPECT_EQ(ini.ReadTime(u"N", u"time", 3), 3.0);
    EXPECT_NEAR(ini.ReadTime(u"N", u"hm", 0), EncodeTime(7, 30, 0, 0), 1e-12);
    EXPECT_FALSE(ini.ReadBool(u"N", u"word", false));
    EXPECT_TRUE(ini.ReadBool(u"N", u"neg", false));
}

TEST(IniFiles, RewriteKeepsCommentsOrderAndLineBreaks)
{
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        testsupport::TempDir dir;
        writeFile(dir / "c.ini",
            "; leading comment\r\n"
            "[First]\r\n"
            "# about a\r\n"
            "A = 1\r\n"
            "B=2\r\n"
            "\r\n"
            "[Second]\r\n"
            "X=old\r\n");
        {
            auto ini = kind.make(u16(dir / "c.ini"));
            ini->WriteString(u"first", u"a", u"10");
            ini->WriteString(u"First", u"C", u"3");
            ini->WriteString(u"SECOND", u"x", u"new");
            ini->WriteString(u"Third", u"Z", u"z");
            ini->UpdateFile();
        }
        EXPECT_EQ(readFile(dir / "c.ini"),
            "; leading comment\r\n"
            "[First]\r\n"
            "# about a\r\n"
            "A=10\r\n"
            "B=2\r\n"
            "C=3\r\n"
            "\r\n"
            "[Second]\r\n"
            "X=new\r\n"
            "\r\n"
            "[Third]\r\n"
            "Z=z\r\n");
    }
}

TEST(IniFiles, SectionsKeysAndErasure)
{
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        testsupport::TempDir dir;
        writeFile(dir / "s.ini", "[A]\nk1=v1\n;k9=comment\nk2=\"v2\"\n[B]\nx=1\n[Empty]\n");
        auto ini = kind.make(u16(dir / "s.ini"));
        TStringList list;
        ini->ReadSections(list);
        EXPECT_EQ(lines(list), (std::vector<String> { u"A", u"B", u"Empty" }));
        ini->ReadSection(u"a", list);
        EXPECT_EQ(lines(list), (std::vector<String> { u"k1", u"k2" }));
        ini->ReadSectionValues(u"A", list);
        EXPECT_EQ(lines(list), (std::vector<String> { u"k1=v1", u"k2=v2" }));
        EXPECT_TRUE(ini->SectionExists(u"empty"));
        EXPECT_FALSE(ini->SectionExists(u"C"));
        EXPECT_TRUE(ini->ValueExists(u"A", u"K2"));
        EXPECT_FALSE(ini->ValueExists(u"A", u"k9"));

        ini->DeleteKey(u"A", u"K1");
        ini->EraseSection(u"b");
        ini->UpdateFile();
        EXPECT_EQ(readFile(dir / "s.ini"), "[A]\n;k9=comment\nk2=\"v2\"\n[Empty]\n");
    }
}

TEST(IniFiles, TextThatWouldBreakTheFileIsRefused)
{
    testsupport::TempDir dir;
    writeFile(dir / "r.ini", "[S]\nk=v\n");
    const struct {
        const char* what;
        const char16_t* section;
        const char16_t* key;
        const char16_t* value;
    } cases[] = {
        { "line break in value", u"S", u"k", u"a\r\n[Evil]\r\nx=1" },
        { "equals in key", u"S", u"a=b", u"v" },
        { "empty key", u"S", u"  ", u"v" },
        { "comment key", u"S", u";k", u"v" },
        { "bracket in section", u"S]x", u"k", u"v" },
        { "line break in section", u"S\nT", u"k", u"v" },
    };
    for (const auto& kind : kKinds) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(kind.name) + ": " + c.what);
            auto ini = kind.make(u16(dir / "r.ini"));
            EXPECT_THROW(ini->WriteString(c.section, c.key, c.value), EIniFileException);
            ini->UpdateFile();
            EXPECT_EQ(readFile(dir / "r.ini"), "[S]\nk=v\n");
        }
    }
}

TEST(IniFiles, MemIniFileWritesOnlyOnUpdateAndKeepsItsEncoding)
{
    testsupport::TempDir dir;
    writeFile(dir / "m.ini", "\xEF\xBB\xBF[S]\nname=caf\xC3\xA9\n");
    TMemIniFile ini(u16(dir / "m.ini"));
    EXPECT_EQ(ini.GetEncoding(), TEncoding::UTF8());
    EXPECT_EQ(ini.ReadString(u"S", u"name", u""), u"caf\u00e9");
    ini.WriteString(u"S", u"more", u"1");
    EXPECT_EQ(readFile(dir / "m.ini"), "\xEF\xBB\xBF[S]\nname=caf\xC3\xA9\n");
    ini.UpdateFile();
    EXPECT_EQ(readFile(dir / "m.ini"), "\xEF\xBB\xBF[S]\nname=caf\xC3\xA9\nmore=1\n");

    TStringList copy;
    ini.GetStrings(copy);
    EXPECT_EQ(lines(copy), (std::vector<String> { u"[S]", u"name=caf\u00e9", u"more=1" }));
    copy.SetText(u"[T]\r\nz=26");
    ini.SetStrings(copy);
    EXPECT_EQ(ini.ReadInteger(u"T", u"z", 0), 26);
    EXPECT_FALSE(ini.SectionExists(u"S"));

    // A file that cannot be written raises rather than pretending.
    ini.Rename(u16(dir / "no" / "such" / "dir.ini"), false);
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

TEST(IniFiles, IniFileSeesChangesMadeBehindItsBack)
{
    testsupport::TempDir dir;
    TIniFile ini(u16(dir / "live.ini"));
    EXPECT_EQ(ini.ReadString(u"S", u"k", u"none"), u"none");
    writeFile(dir / "live.ini", "[S]\nk=outside\n");
    EXPECT_EQ(ini.ReadString(u"S", u"k", u"none"), u"outside");

    TIniFile readOnly(u16(dir / "missing" / "x.ini"));
    EXPECT_THROW(readOnly.WriteString(u"S", u"k", u"v"), EIniFileException);
}

TEST(IniFiles, ProfileCalls)
{
    testsupport::TempDir dir;
    String file = u16(dir / "p.ini");
    EXPECT_TRUE(WritePrivateProfileString(u"App", u"Key", u"value", file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString(u"App", u"Other", u"2", file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString(u"Gone", u"K", u"1", file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString(u"Gone", nullptr, nullptr, file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString(u"App", u"Other", nullptr, file.c_str()));
    EXPECT_FALSE(WritePrivateProfileString(u"App", u"K", u"a\nb", file.c_str()));

    Char buf[64];
    EXPECT_EQ(GetPrivateProfileString(u"app", u"KEY", u"def", buf, 64, file.c_str()), 5u);
    EXPECT_EQ(String(buf), u"value");
    EXPECT_EQ(GetPrivateProfileString(u"App", u"none", u"def", buf, 64, file.c_str()), 3u);
    EXPECT_EQ(String(buf), u"def");
    EXPECT_EQ(GetPrivateProfileString(u"App", u"Key", u"", buf, 4, file.c_str()), 3u);
    EXPECT_EQ(String(buf), u"val");

    WritePrivateProfileString(u"Second", u"a", u"1", file.c_str());
    DWORD n = GetPrivateProfileString(nullptr, nullptr, u"", buf, 64, file.c_str());
    EXPECT_EQ(String(buf, n + 1), String(u"App\0Second\0\0", 12));
    n = GetPrivateProfileString(nullptr, nullptr, u"", buf, 6, file.c_str());
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(String(buf, 6), String(u"App\0\0\0", 6));
}

} // namespace
