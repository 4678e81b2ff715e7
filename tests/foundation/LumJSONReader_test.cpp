#include "foundation/LumJSONReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::string U8(const String& s) { return StringToUtf8(s); }

std::unique_ptr<TStream> StreamOf(std::string_view utf8)
{
    return std::make_unique<TBytesStream>(TBytes(utf8.begin(), utf8.end()));
}

// Pulls every token: "[" "]" "{" "}" "name" ":" then the value as b:/s:/n:/null,
// joined by spaces; an error ends the text with "!" and its message.
std::string Tokens(std::string_view json)
{
    auto stream = StreamOf(json);
    TLumJSONReader reader(*stream);
    std::string out;
    auto add = [&](const std::string& t) { out += out.empty() ? t : " " + t; };
    try {
        for (;;) {
            switch (reader.Peek()) {
            case jstoBeginObject: reader.ReadBeginObject(); add("{"); break;
            case jstoEndObject: reader.ReadEndObject(); add("}"); break;
            case jstoBeginArray: reader.ReadBeginArray(); add("["); break;
            case jstoEndArray: reader.ReadEndArray(); add("]"); break;
            case jstoName: add(U8(reader.ReadName()) + ":"); break;
            case jstoBoolean: add(reader.ReadBoolean() ? "b:true" : "b:false"); break;
            case jstoNull: reader.ReadNull(); add("null"); break;
            case jstoText: add("s:" + U8(reader.ReadString())); break;
            case jstoNumber: add("n:" + U8(reader.ReadString())); break;
            case jstoEOF: return out;
            }
        }
    } catch (const Exception& e) {
        add("!" + U8(e.Message));
    }
    return out;
}

const char* const kValueExpected = "!Value expected but invalid character found";

} // namespace

TEST(LumJSONReader, TokensAndErrors)
{
    struct Case {
        std::string_view json;
        std::string tokens;
    };
    const Case cases[] = {
        { "[]", "[ ]" },
        { "{}", "{ }" },
        { "[true, FALSE, Null]", "[ b:true b:false null ]" },
        { "{\"a\":1,\"b\":[\"x\",{}]}", "{ a: n:1 b: [ s:x { } ] }" },
        { " \r\n\t\f[ 1 , \"  x\" ]\n ", "[ n:1 s:  x ]" },
        { "[1,]", std::string("[ n:1 ") + kValueExpected },
        { "[tru]", std::string("[ ") + kValueExpected },
        { "[truex]", std::string("[ ") + kValueExpected },
        { "[nul", std::string("[ ") + kValueExpected },
        { "[01]", std::string("[ ") + kValueExpected },
        { "[-01]", std::string("[ ") + kValueExpected },
        { "[1.]", std::string("[ ") + kValueExpected },
        { "[-]", std::string("[ ") + kValueExpected },
        { "[1e]", std::string("[ ") + kValueExpected },
        { "[.5]", std::string("[ ") + kValueExpected },
        { "[+1]", std::string("[ ") + kValueExpected },
        { "[1.5e+3,-0,0.25E-2,10]", "[ n:1.5e+3 n:0 n:0.25E-2 n:10 ]" },
        { "[1\"a\"]", std::string("[ ") + kValueExpected },
        { "['a']", std::string("[ ") + kValueExpected },
        { "[\xC2\xA0" "1]", std::string("[ ") + kValueExpected },
        { "\"text\"", "!Object or array expected as top-level value" },
        { "42", "!Object or array expected as top-level value" },
        { "", "!Object or array expected as top-level value" },
        { "   ", "!Object or array expected as top-level value" },
        { "{}{}", "{ } !Multiple root values not allowed" },
        { "[] x", "[ ] !Multiple root values not allowed" },
        { std::string_view("[]\0", 3), "[ ] !Multiple root values not allowed" },
        { "{\"a\" 1}", "{ a: !Colon expected" },
        { "{\"a\":1 \"b\":2}", "{ a: n:1 !Unterminated object" },
        { "[1 2]", "[ n:1 !Unterminated array" },
        { "{1:2}", "{ !Name expected" },
        { "{a:2}", "{ !Name expected" },
        { "{\"a\":1,}", "{ a: n:1 !Name expected" },
        { "[", std::string("[ ") + kValueExpected },
        { "[true", "[ b:true !Unterminated array" },
        { "{", "{ !Name expected" },
        { "{\"a\":", std::string("{ a: ") + kValueExpected },
        { "[12", "[ !End of JSON input reached." },
        // Escapes are decoded in texts and names alike; an escaped backslash
        // before the closing quote does not end the text early.
        { R"({"C:\\":"C:\\","\u0041":"\u00e9\u0041"})", "{ C:\\: s:C:\\ A: s:\xC3\xA9" "A }" },
        { R"(["a\"b", "\/"])", "[ s:a\"b s:/ ]" },
        { R"(["bad\x"])", "[ !Invalid code at position 4" },
        // Raw text beyond ASCII, and control characters, read back exactly.
        { "[\"\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\", \"a\tb\x01\"]", "[ s:\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 s:a\tb\x01 ]" },
        { "\xEF\xBB\xBF[1]", "[ n:1 ]" },
        { "[\"\xFF\"]", "[ s:\xEF\xBF\xBD ]" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.json));
        EXPECT_EQ(Tokens(c.json), c.tokens);
    }
}

TEST(LumJSONReader, NumberBoundaries)
{
    {
        auto s = StreamOf("[1,-0,9223372036854775807,-9223372036854775808,9223372036854775808,-9223372036854775809,"
                          "92233720368547758070]");
        TLumJSONReader r(*s);
        r.ReadBeginArray();
        EXPECT_EQ(r.ReadInt64(), 1);
        EXPECT_EQ(r.ReadInt64(), 0);
        EXPECT_EQ(r.ReadInt64(), INT64_MAX);
        EXPECT_EQ(r.ReadInt64(), INT64_MIN);
        // Beyond 64 bits: kept as number text, readable as a double.
        EXPECT_EQ(r.Peek(), jstoNumber);
        EXPECT_EQ(r.ReadDouble(), 9223372036854775808.0);
        EXPECT_EQ(U8(r.ReadString()), "-9223372036854775809");
        EXPECT_EQ(r.ReadDouble(), 92233720368547758070.0);
        r.ReadEndArray();
        EXPECT_TRUE(r.Eof());
    }
    // 254 characters is the longest number.
    for (std::size_t length : { 254u, 255u }) {
        SCOPED_TRACE(length);
        std::string json = "[" + std::string(length, '1') + "]";
        if (length == 254)
            EXPECT_EQ(Tokens(json), "[ n:" + std::string(254, '1') + " ]");
        else
            EXPECT_EQ(Tokens(json), std::string("[ ") + kValueExpected);
    }
}

TEST(LumJSONReader, TypedNumberReadsRangeCheckEveryPath)
{
    enum Kind { Int32, Int64Read, Double };
    struct Case {
        const char* value;
        Kind kind;
        const char* expected; // the value read, or "!" and the error message
    };
    const Case cases[] = {
        { "2147483647", Int32, "2147483647" },
        { "-2147483648", Int32, "-2147483648" },
        { "2147483648", Int32, "!Invalid Json parser state. Expected state: 11" },
        { "\"5000000000\"", Int32, "!Invalid Json parser state. Expected state: 11" },
        { "5e9", Int32, "!Invalid Json parser state. Expected state: 11" },
        { "2.0", Int32, "2" },
        { "1.5", Int32, "!Invalid Json parser state. Expected state: 11" },
        { "\"42\"", Int32, "42" },
        { "1e19", Int64Read, "!Invalid Json parser state. Expected state: 11" },
        { "-1e300", Int64Read, "!Invalid Json parser state. Expected state: 11" },
        { "9223372036854775808", Int64Read, "!Invalid Json parser state. Expected state: 11" },
        { "-9.223372036854775808e18", Int64Read, "-9223372036854775808" },
        { "1.5e3", Int64Read, "1500" },
        { "\"x\"", Int64Read, "!'x' is not a valid floating point value" },
        { "true", Int64Read, "!Invalid Json parser state. Expected state: 11" },
        { "1.5e+3", Double, "1500" },
        { "\"2.5\"", Double, "2.5" },
        { "\"2,5\"", Double, "!'2,5' is not a valid floating point value" },
        { "null", Double, "!Invalid Json parser state. Expected state: 12" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        auto s = StreamOf(std::string("[") + c.value + "]");
        TLumJSONReader r(*s);
        r.ReadBeginArray();
        std::string got;
        try {
            switch (c.kind) {
            case Int32: got = std::to_string(r.ReadInteger()); break;
            case Int64Read: got = std::to_string(r.ReadInt64()); break;
            case Double: got = U8(FloatToStr(r.ReadDouble(), InvariantFormatSettings())); break;
            }
        } catch (const Exception& e) {
            got = "!" + U8(e.Message);
        }
        EXPECT_EQ(got, c.expected);
    }
}

// Number text is read straight from the scanner's buffer; every value, the
// edges of the range and the refused ones included, reads as StrToFloat reads it.
TEST(LumJSONReader, DoublesReadAsStrToFloatReadsThem)
{
    const char* const texts[] = { "0.0", "-0.0", "4.35", "1e-7", "1E+22", "123456789012345678901234567890",
        "0.1000000000000000055511151231257827021181583404541015625", "2.2250738585072011e-308",
        "4.9e-324", "2.4e-324", "1e-400", "1.7976931348623157e308", "1.7976931348623159e308", "1e400", "-1e400" };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        auto describe = [](auto read) {
            try {
                const double v = read();
                std::uint64_t bits = 0;
                std::memcpy(&bits, &v, sizeof bits);
                return std::to_string(bits);
            } catch (const Exception& e) {
                return "!" + U8(e.Message);
            }
        };
        auto s = StreamOf(std::string("[") + text + "]");
        TLumJSONReader r(*s);
        r.ReadBeginArray();
        const String wide = Utf8ToString(text);
        EXPECT_EQ(describe([&] { return r.ReadDouble(); }),
            describe([&] { return StrToFloat(wide, InvariantFormatSettings()); }));
    }
}

TEST(LumJSONReader, WrongReadRaisesExpectedStateOrdinal)
{
    struct Case {
        const char* json;
        void (*read)(TLumJSONReader&);
        int expected;
    };
    const Case cases[] = {
        { "{}", [](TLumJSONReader& r) { r.ReadBeginArray(); }, 3 },
        { "[]", [](TLumJSONReader& r) { r.ReadBeginObject(); }, 1 },
        { "[]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadEndObject(); }, 2 },
        { "{}", [](TLumJSONReader& r) { r.ReadBeginObject(); r.ReadEndArray(); }, 4 },
        { "[true]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadString(); }, 8 },
        { "[1]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadBoolean(); }, 5 },
        { "[0]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadNull(); }, 7 },
        { "{\"a\":1}", [](TLumJSONReader& r) { r.ReadBeginObject(); r.ReadName(); r.ReadName(); }, 10 },
        { "[\"a\"]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadName(); }, 10 },
        { "[[]]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadInteger(); }, 11 },
        { "[{}]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadDouble(); }, 12 },
        { "[]", [](TLumJSONReader& r) { r.ReadBeginArray(); r.ReadEndArray(); r.ReadEndArray(); }, 4 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.json) + " " + std::to_string(c.expected));
        auto s = StreamOf(c.json);
        TLumJSONReader r(*s);
        try {
            c.read(r);
            ADD_FAILURE() << "no error";
        } catch (const TLumJSONReader::EInvalidStateException& e) {
            EXPECT_EQ(int(e.State), c.expected);
            EXPECT_EQ(U8(e.Message), "Invalid Json parser state. Expected state: " + std::to_string(c.expected));
        }
    }
}

TEST(LumJSONReader, NestingLimit)
{
    for (int depth : { 255, 256 }) {
        SCOPED_TRACE(depth);
        auto s = StreamOf(std::string(std::size_t(depth), '[') + std::string(std::size_t(depth), ']'));
        TLumJSONReader r(*s);
        try {
            for (int i = 0; i < depth; ++i)
                r.ReadBeginArray();
            for (int i = 0; i < depth; ++i)
                r.ReadEndArray();
            EXPECT_EQ(depth, 255);
            EXPECT_TRUE(r.Eof());
        } catch (const TLumJSONReader::ETooManyDepthLevels& e) {
            EXPECT_EQ(depth, 256);
            EXPECT_EQ(U8(e.Message), "Maximum level of nested structured reached.");
        }
    }
}

TEST(LumJSONReader, PeekNameHasNextAndSkipValue)
{
    auto s = StreamOf(R"({"n\u0061me":1,"skip":{"a":["]}\"",[{}],"\\"]},"x":[1,2],"after":"y"})");
    TLumJSONReader r(*s);
    r.ReadBeginObject();
    EXPECT_TRUE(r.HasNext());
    EXPECT_EQ(U8(r.PeekName()), "name");
    EXPECT_EQ(U8(r.PeekName()), "name");
    EXPECT_EQ(U8(r.ReadName()), "name");
    r.SkipValue();
    EXPECT_EQ(U8(r.ReadName()), "skip");
    r.SkipValue();
    // Skipping at a name consumes only the name.
    r.SkipValue();
    EXPECT_EQ(r.Peek(), jstoBeginArray);
    r.SkipValue();
    EXPECT_EQ(U8(r.ReadName()), "after");
    EXPECT_EQ(U8(r.ReadString()), "y");
    EXPECT_FALSE(r.HasNext());
    r.ReadEndObject();
    EXPECT_TRUE(r.HasNext());
    EXPECT_TRUE(r.Eof());
}

TEST(LumJSONReader, ReadsFromTheStreamPosition)
{
    TBytesStream stream(TBytes { 'x', 'x', '[', 'n', 'u', 'l', 'l', ']' });
    stream.SetPosition(2);
    TLumJSONReader r(stream);
    r.ReadBeginArray();
    EXPECT_TRUE(r.IsNull());
    r.ReadNull();
    r.ReadEndArray();
    EXPECT_TRUE(r.Eof());
}

// The input is decoded a chunk at a time: sequences, surrogate pairs, escapes
// and names that straddle a chunk boundary read as if the text were whole.
TEST(LumJSONReader, ValuesAcrossChunkBoundaries)
{
    struct Case {
        const char* name;
        std::string value;  // raw bytes between the quotes
        std::string expected;
    };
    const Case cases[] = {
        { "three-byte sequence", "ab\xE2\x82\xAC" "cd", "ab\xE2\x82\xAC" "cd" },
        { "surrogate pair", "ab\xF0\x9F\x98\x80" "cd", "ab\xF0\x9F\x98\x80" "cd" },
        { "escape", "ab\\n\\u00e9cd", "ab\n\xC3\xA9" "cd" },
        { "truncated sequence", "ab\xE2\x82" "cd", "ab\xEF\xBF\xBD" "cd" },
        { "stray continuation bytes", "ab\x80\x80\x80\x80\x80" "cd", "ab\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "cd" },
    };
    for (const Case& c : cases) {
        const std::string& expected = c.expected;
        for (std::size_t cut = 0; cut <= c.value.size(); ++cut) {
            SCOPED_TRACE(std::string(c.name) + ", boundary after byte " + std::to_string(cut));
            // "[" + blanks + '"' puts the chunk boundary `cut` bytes into the value.
            const std::size_t pad = TLumJSONStreamReader::ChunkBytes - 2 - cut;
            const std::string json = "[" + std::string(pad, ' ') + "\"" + c.value + "\", {\"" + c.value + "\": 1}]";
            EXPECT_EQ(Tokens(json), "[ s:" + expected + " { " + expected + ": n:1 } ]");
        }
    }
}

TEST(LumJSONReader, PeekNameAndLongStringsAcrossChunks)
{
    const std::string longText(3 * TLumJSONStreamReader::ChunkBytes + 17, 'x');
    const std::string json = "{\"" + longText + "\": [\"" + longText + "\", true]}";
    auto stream = StreamOf(json);
    TLumJSONReader r(*stream);
    r.ReadBeginObject();
    EXPECT_EQ(U8(r.PeekName()), longText);
    EXPECT_EQ(U8(r.ReadName()), longText);
    r.ReadBeginArray();
    r.SkipValue();
    EXPECT_TRUE(r.ReadBoolean());
    r.ReadEndArray();
    r.ReadEndObject();
    EXPECT_TRUE(r.Eof());
}
