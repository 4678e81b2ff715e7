#include "foundation/LumJSONWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "foundation/LumJSONReader.h"
#include "platform/rtl/Streams.h"

namespace {

std::string Content(TMemoryStream& stream)
{
    return std::string(static_cast<const char*>(stream.GetMemory()), std::size_t(stream.GetSize()));
}

// The text a writer leaves in a fresh stream, or "!" and the message of the
// first error (the text written before it still reaches the stream).
std::string Written(const std::function<void(TLumJSONWriter&)>& calls, int indent = 0)
{
    TMemoryStream stream;
    std::string error;
    {
        TLumJSONWriter w(stream);
        w.SetIndentLength(indent);
        try {
            calls(w);
        } catch (const Exception& e) {
            error = "!" + StringToUtf8(e.Message);
        }
    }
    return error.empty() ? Content(stream) : error;
}

} // namespace

TEST(LumJSONWriter, MisuseRaisesItsError)
{
    using W = TLumJSONWriter&;
    struct Case {
        const char* what;
        std::function<void(W)> calls;
        const char* error;
    };
    const Case cases[] = {
        { "scalar root", [](W w) { w.WriteString(u"x"); }, "Object or array expected as top-level value" },
        { "second root", [](W w) { w.WriteBeginObject().WriteEndObject().WriteBeginObject(); }, "Multiple root values not allowed" },
        { "value without name", [](W w) { w.WriteBeginObject().WriteString(u"x"); },
            "Invalid nesting. Not all arrays/objects were properly closed." },
        { "name in array", [](W w) { w.WriteBeginArray().WriteName(u"a").WriteInteger(1); }, "Cannot write name in current Json scope" },
        { "name at root", [](W w) { w.WriteName(u"a").WriteBeginObject(); }, "Cannot write name in current Json scope" },
        { "two names", [](W w) { w.WriteBeginObject().WriteName(u"a").WriteName(u"b"); }, "Json value missing" },
        { "name then end", [](W w) { w.WriteBeginObject().WriteName(u"a").WriteEndObject(); }, "Json value missing" },
        { "empty name", [](W w) { w.WriteBeginObject().WriteName(u""); }, "Cannot write empty name" },
        { "crossed ends", [](W w) { w.WriteBeginArray().WriteEndObject(); },
            "Invalid nesting. Not all arrays/objects were properly closed." },
        { "end at root", [](W w) { w.WriteEndArray(); }, "Invalid nesting. Not all arrays/objects were properly closed." },
        { "close open array", [](W w) { w.WriteBeginArray().Close(); },
            "Invalid nesting. Not all arrays/objects were properly closed." },
        { "close nothing", [](W w) { w.Close(); }, "Invalid nesting. Not all arrays/objects were properly closed." },
        { "NaN", [](W w) { w.WriteBeginArray().WriteDouble(std::nan("")); }, "Json cannot hold NaN or infinite numbers" },
        { "infinity", [](W w) { w.WriteBeginArray().WriteDouble(-HUGE_VAL); }, "Json cannot hold NaN or infinite numbers" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Written(c.calls), std::string("!") + c.error);
    }
}

TEST(LumJSONWriter, NestingLimit)
{
    for (int depth : { 255, 256 }) {
        SCOPED_TRACE(depth);
        std::string got = Written([depth](TLumJSONWriter& w) {
            for (int i = 0; i < depth; ++i)
                w.WriteBeginArray();
            for (int i = 0; i < depth; ++i)
                w.WriteEndArray();
            w.Close();
        });
        if (depth == 255)
            EXPECT_EQ(got, std::string(255, '[') + std::string(255, ']'));
        else
            EXPECT_EQ(got, "!Maximum level of nested structured reached.");
    }
}

TEST(LumJSONWriter, CompactAndIndentedOutput)
{
    auto document = [](TLumJSONWriter& w) {
        w.WriteBeginObject()
            .WriteName(u"s").WriteString(u"q\"b\\é")
            .WriteName(u"raw").WriteRawString(u"q\"é€")
            .WriteName(u"list").WriteBeginArray().WriteInteger(-12).WriteDouble(1.5).WriteBoolean(false).WriteNull().WriteEndArray()
            .WriteName(u"e1").WriteBeginArray().WriteEndArray()
            .WriteName(u"e2").WriteBeginObject().WriteEndObject()
            .WriteEndObject()
            .Close();
    };
    EXPECT_EQ(Written(document),
        "{\"s\":\"q\\u0022b\\u005C\\u00E9\",\"raw\":\"q\"\xC3\xA9\xE2\x82\xAC\",\"list\":[-12,1.5,false,null],"
        "\"e1\":[],\"e2\":{}}");
    EXPECT_EQ(Written(document, 2),
        "{\r\n"
        "  \"s\": \"q\\u0022b\\u005C\\u00E9\",\r\n"
        "  \"raw\": \"q\"\xC3\xA9\xE2\x82\xAC\",\r\n"
        "  \"list\": [\r\n"
        "    -12,\r\n"
        "    1.5,\r\n"
        "    false,\r\n"
        "    null\r\n"
        "  ],\r\n"
        "  \"e1\": [],\r\n"
        "  \"e2\": {}\r\n"
        "}");
    EXPECT_EQ(Written([](TLumJSONWriter& w) { w.WriteBeginArray().WriteEndArray(); }, 4), "[]");
}

TEST(LumJSONWriter, IndentLengthSetsIndentAndSeparator)
{
    TMemoryStream stream;
    TLumJSONWriter w(stream);
    EXPECT_EQ(w.GetIndentLength(), 0);
    w.SetIndentLength(3);
    EXPECT_EQ(w.GetIndentLength(), 3);
    w.SetIndentLength(-1);
    EXPECT_EQ(w.GetIndentLength(), 0);
}

TEST(LumJSONWriter, TextReachesTheStreamAtItsPosition)
{
    TMemoryStream stream;
    stream.WriteBuffer("head:", 5);
    {
        TLumJSONWriter w(stream);
        w.WriteBeginArray().WriteInteger(1);
        // Incomplete documents still reach the stream when the writer goes.
    }
    EXPECT_EQ(Content(stream), "head:[1");

    TMemoryStream closed;
    TLumJSONWriter w(closed);
    w.WriteBeginArray().WriteEndArray().Close();
    EXPECT_TRUE(w.GetClosed());
    EXPECT_EQ(Content(closed), "[]");
}

TEST(LumJSONWriter, WhatIsWrittenReadsBackExactly)
{
    const String texts[] = { u"", u" lead", u"C:\\", u"\"\\/\b\f\n\r\t", String(1, Char(1)) + u"\u007f", u"é€\U0001F600",
        String(1, Char(0xD800)) };
    const double doubles[] = { 0.1, -1e-300, 1.7976931348623157e308, 123456789012345.0, -0.0 };
    const Int64 integers[] = { 0, -1, INT64_MAX, INT64_MIN };
    TMemoryStream stream;
    {
        TLumJSONWriter w(stream);
        w.WriteBeginObject();
        for (const String& t : texts)
            w.WriteName(u"k" + t).WriteString(t);
        w.WriteName(u"d").WriteBeginArray();
        for (double d : doubles)
            w.WriteDouble(d);
        w.WriteEndArray().WriteName(u"i").WriteBeginArray();
        for (Int64 i : integers)
            w.WriteInteger(i);
        w.WriteEndArray().WriteEndObject().Close();
    }
    // Everything but raw strings is ASCII.
    for (char c : Content(stream))
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u);

    stream.SetPosition(0);
    TLumJSONReader r(stream);
    r.ReadBeginObject();
    for (const String& t : texts) {
        EXPECT_EQ(r.ReadName(), u"k" + t);
        EXPECT_EQ(r.ReadString(), t);
    }
    EXPECT_EQ(r.ReadName(), u"d");
    r.ReadBeginArray();
    for (double d : doubles) {
        // Fifteen significant digits, as the general float format writes.
        double got = r.ReadDouble();
        EXPECT_NEAR(got, d, std::fabs(d) * 1e-14);
    }
    r.ReadEndArray();
    EXPECT_EQ(r.ReadName(), u"i");
    r.ReadBeginArray();
    for (Int64 i : integers)
        EXPECT_EQ(r.ReadInt64(), i);
    r.ReadEndArray();
    r.ReadEndObject();
    EXPECT_TRUE(r.Eof());
}
