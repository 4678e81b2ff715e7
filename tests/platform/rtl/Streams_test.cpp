#include "platform/rtl/Streams.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/Fixtures.h"

namespace {

String path16(const std::filesystem::path& p) { return Utf8ToString(p.string()); }

TEST(MemoryStream, ShortReadsAndAllOrNothingBuffers)
{
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.GetSize(), 6);
    EXPECT_EQ(s.GetPosition(), 6);

    char buf[8] = {};
    s.SetPosition(4);
    EXPECT_EQ(s.Read(buf, 8), 2);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(s.Read(buf, 8), 0);

    s.SetPosition(4);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
    try {
        s.SetPosition(5);
        s.ReadBuffer(buf, 2);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, u"Stream read error");
    }
    // A zero-length read succeeds anywhere, also past the end.
    s.SetPosition(100);
    EXPECT_NO_THROW(s.ReadBuffer(buf, 0));
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros)
{
    TMemoryStream s;
    s.WriteBuffer("ab", 2);
    s.Seek(2, soCurrent);
    s.WriteBuffer("z", 1);
    ASSERT_EQ(s.GetSize(), 5);
    EXPECT_EQ(std::memcmp(s.GetMemory(), "ab\0\0z", 5), 0);
}

TEST(MemoryStream, SeekOriginsAndNegativeTargets)
{
    TMemoryStream s;
    s.WriteBuffer("0123456789", 10);
    const struct {
        Int64 offset;
        TSeekOrigin origin;
        Int64 expected;
    } cases[] = {
        { 3, soBeginning, 3 },
        { 2, soCurrent, 5 },
        { -1, soEnd, 9 },
        { -20, soEnd, 9 }, // before the start: the position stays
        { -1, soBeginning, 9 },
        { 0, soEnd, 10 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(s.Seek(c.offset, c.origin), c.expected);
    }
}

TEST(MemoryStream, SetSizeTruncatesAndClampsThePosition)
{
    TMemoryStream s;
    s.WriteBuffer("0123456789", 10);
    s.SetSize(4);
    EXPECT_EQ(s.GetSize(), 4);
    EXPECT_EQ(s.GetPosition(), 4);
    s.SetSize(6);
    EXPECT_EQ(std::memcmp(s.GetMemory(), "0123\0\0", 6), 0);
    EXPECT_THROW(s.SetSize(-1), EStreamError);
    s.Clear();
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.GetPosition(), 0);
}

TEST(Stream, CopyFromZeroCopiesTheWholeSourceFromItsStart)
{
    TStringStream source(u"hello world");
    source.SetPosition(6);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), 11);
    EXPECT_EQ(std::string(static_cast<char*>(dest.GetMemory()), 11), "hello world");

    // A positive count copies from the current position, and a source too
    // short for the count raises instead of copying half.
    source.SetPosition(6);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 5), 5);
    EXPECT_EQ(std::string(static_cast<char*>(part.GetMemory()), 5), "world");
    source.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(source, 5), EReadError);
}

TEST(Stream, CopyFromCrossesChunkBoundaries)
{
    TBytes big(200000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = std::uint8_t(i * 7);
    TBytesStream source(big);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), Int64(big.size()));
    EXPECT_EQ(std::memcmp(dest.GetMemory(), big.data(), big.size()), 0);
}

TEST(StringStream, EncodesAndDecodesItsText)
{
    TStringStream s(u"a\u00e9", TEncoding::Unicode());
    EXPECT_EQ(s.GetSize(), 4);
    EXPECT_EQ(s.GetDataString(), u"a\u00e9");
    s.Seek(0, soEnd);
    s.WriteString(u"!");
    EXPECT_EQ(s.GetDataString(), u"a\u00e9!");
    s.SetPosition(2);
    EXPECT_EQ(s.ReadString(100), u"\u00e9!");

    TStringStream ansi(u"\u00e9");
    EXPECT_EQ(ansi.GetSize(), 2); // UTF-8 bytes
}

TEST(FileStream, WritesReadsAndReopens)
{
    testsupport::TempDir dir;
    String name = path16(dir / "data.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("0123456789", 10);
        f.SetSize(8);
        EXPECT_EQ(f.GetSize(), 8);
    }
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyNone);
        f.Seek(-2, soEnd);
        f.WriteBuffer("AB", 2);
    }
    TFileStream f(name, fmOpenRead);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, 16), 8);
    EXPECT_EQ(std::string(buf, 8), "012345AB");
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
}

TEST(FileStream, ReportsTheFileAndTheReason)
{
    testsupport::TempDir dir;
    String missing = path16(dir / "missing.txt");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message.rfind(u"Cannot open file \"" + missing + u"\". ", 0), 0u) << StringToUtf8(e.Message);
        EXPECT_GT(e.Message.size(), missing.size() + 20);
    }
    EXPECT_THROW(TFileStream(path16(dir.path()), fmOpenRead), EFOpenError);
    String inMissingFolder = path16(dir / "no" / "file.txt");
    try {
        TFileStream f(inMissingFolder, fmCreate);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message.rfind(u"Cannot create file \"" + inMissingFolder + u"\". ", 0), 0u);
    }
}

TEST(MemoryStream, SavesAndLoadsFiles)
{
    testsupport::TempDir dir;
    String name = path16(dir / "m.bin");
    TMemoryStream out;
    out.WriteBuffer("\0\1\2", 3);
    out.SaveToFile(name);
    TMemoryStream in;
    in.WriteBuffer("old content", 11);
    in.LoadFromFile(name);
    EXPECT_EQ(in.GetSize(), 3);
    EXPECT_EQ(in.GetPosition(), 0);
    EXPECT_EQ(std::memcmp(in.GetMemory(), "\0\1\2", 3), 0);
}

} // namespace
