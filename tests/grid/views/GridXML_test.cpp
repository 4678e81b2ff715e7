#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "foundation/LumJSONReader.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "tests/support/Fixtures.h"
#include "tests/grid/views/GridFileTest.h"

namespace fs = std::filesystem;
using namespace gridfiletest;

namespace {

struct XmlGrid : gridfiletest::TTextGridTest { };

} // namespace

TEST_F(XmlGrid, WritesTheListAndReadsItBack)
{
    Fill({ { u"a1", u"b1" }, { u"a2", u"b2" } });
    const fs::path File = Dir / "list.xml";
    G.SaveToXML(P(File), u"list", u"row", nullptr);
    EXPECT_EQ(ReadBytes(File),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<list>\r\n"
        "<row>\r\n<FIELD0>a1</FIELD0>\r\n<FIELD1>b1</FIELD1>\r\n</row>\r\n"
        "<row>\r\n<FIELD0>a2</FIELD0>\r\n<FIELD1>b2</FIELD1>\r\n</row>\r\n</list>\r\n");
    TDedOzovedUrad Back { nullptr };
    Back.SetFixedRows(0);
    Back.SetFixedCols(0);
    Back.LoadFromXML(P(File));
    ASSERT_EQ(Back.GetRowCount(), 2);
    ASSERT_EQ(Back.GetColCount(), 2);
    EXPECT_EQ(Back.GetCellEx(1, 1), u"b2");
}

TEST_F(XmlGrid, TextsSurviveTheRoundTrip)
{
    const String Texts[] = { u"A & B", u"&lt;b&gt;", u"<b> \"q\"", u"\u20AC and \u00E9", u"line1\r\nline2",
        u"\U0001F600", u"" };
    const int N = int(std::size(Texts));
    G.SetFixedRows(0);
    G.SetFixedCols(0);
    G.SetRowCount(1);
    G.SetColCount(N);
    for (int c = 0; c < N; ++c)
        G.SetCellEx(c, 0, Texts[c]);
    for (const char16_t* Encoding : { u"ISO-8859-1", u"UTF-8", u"windows-1252" }) {
        SCOPED_TRACE(StringToUtf8(Encoding));
        G.SetXMLEncoding(Encoding);
        const fs::path File = Dir / "texts.xml";
        G.SaveToXML(P(File), u"list", u"row", nullptr, true);
        const std::string Bytes = ReadBytes(File);
        EXPECT_NE(Bytes.find("A &amp; B"), std::string::npos);
        EXPECT_NE(Bytes.find("&#8364;"), std::string::npos);
        EXPECT_NE(Bytes.find("encoding=\"" + StringToUtf8(Encoding) + "\""), std::string::npos);
        TDedOzovedUrad Back { nullptr };
        Back.SetFixedRows(0);
        Back.SetFixedCols(0);
        Back.LoadFromXML(P(File));
        ASSERT_EQ(Back.GetColCount(), N);
        for (int c = 0; c < N; ++c) {
            SCOPED_TRACE(c);
            EXPECT_EQ(Back.GetCellEx(c, 0), Texts[c]);
        }
    }
}

TEST_F(XmlGrid, OldFilesAndEmptyCells)
{
    // Files written before "&" was escaped properly still load.
    WriteBytes(Dir / "old.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<list>\r\n<row>\r\n"
                                "<FIELD0>A $amp; B</FIELD0>\r\n<FIELD1>\"\"</FIELD1>\r\n<FIELD2>x</FIELD2>\r\n</row>\r\n</list>\r\n");
    G.SetFixedRows(0);
    G.SetFixedCols(0);
    G.LoadFromXML(P(Dir / "old.xml"));
    EXPECT_EQ(G.GetCellEx(0, 0), u"A & B");
    EXPECT_EQ(G.GetCellEx(1, 0), u"");
    EXPECT_EQ(G.GetCellEx(2, 0), u"x");

    Fill({ { u"a", u"", u"c" } });
    G.SaveToXML(P(Dir / "skip.xml"), u"list", u"row", nullptr, false);
    EXPECT_EQ(ReadBytes(Dir / "skip.xml").find("FIELD1"), std::string::npos);
    G.SaveToXML(P(Dir / "keep.xml"), u"list", u"row", nullptr, true);
    EXPECT_NE(ReadBytes(Dir / "keep.xml").find("<FIELD1>&quot;&quot;</FIELD1>"), std::string::npos);

    EXPECT_THROW(G.LoadFromXML(P(Dir / "missing.xml")), Exception);
    WriteBytes(Dir / "bad.xml", "<list>\n<row><a>1</b></row></list>");
    try {
        G.LoadFromXML(P(Dir / "bad.xml"));
        ADD_FAILURE();
    } catch (const Exception& E) {
        EXPECT_TRUE(E.Message.starts_with(u"XMLDOM Parsing error ")) << StringToUtf8(E.Message);
        EXPECT_TRUE(E.Message.ends_with(u" on line 2")) << StringToUtf8(E.Message);
    }
    EXPECT_THROW(G.SaveToXML(P(Dir / "no" / "dir.xml"), u"list", u"row", nullptr), ERirEvozError);
}

TEST_F(XmlGrid, LevelToRowNeverWritesAboveTheGrid)
{
    WriteBytes(Dir / "levels.xml", "<list><empty/><rec><f>x</f><g>y</g></rec></list>");
    G.SetFixedRows(0);
    G.SetFixedCols(0);
    G.SetRowCount(1);
    G.SetColCount(1);
    G.LoadFromXML(P(Dir / "levels.xml"), true);
    EXPECT_EQ(G.GetRowCount(), 1);
    EXPECT_EQ(G.GetCellEx(0, 0), u"x");
    EXPECT_EQ(G.GetCellEx(1, 0), u"y");
}

TEST_F(XmlGrid, JSONEscapesAndMapsColumns)
{
    Fill({ { u"a\\b", u"t\tq\"" }, { u"x", u"y" } });
    String JSON;
    G.SaveToJSON(String(), nullptr, JSON);
    EXPECT_EQ(JSON, u"{\"grid\":[[\"a\\\\b\",\"t\\tq\\\"\"]\r\n,[\"x\",\"y\"]\r\n]}\r\n");

    TStringList Names;
    Names.Add(u"first \"one\"");
    G.SaveToJSON(u"rec", &Names, JSON);  // too few names: plain arrays
    EXPECT_EQ(JSON.find(u"first"), String::npos);
    Names.Add(u"second");
    G.SaveToJSON(u"rec", &Names, JSON);
    EXPECT_NE(JSON.find(u"{\"rec\":[{\"first \\\"one\\\"\":\"a\\\\b\"},{\"second\":"), String::npos)
        << StringToUtf8(JSON);
}

namespace {

// Every name ("N:") and string ("S:") of a JSON text in order, as the
// project's JSON reader reads them; the reader raises on anything malformed.
std::vector<String> JSONStrings(const String& JSON)
{
    const std::string Utf8 = StringToUtf8(JSON);
    TBytesStream Stream(TBytes(Utf8.begin(), Utf8.end()));
    TLumJSONReader Reader(Stream);
    std::vector<String> Out;
    for (;;) {
        switch (Reader.Peek()) {
        case jstoBeginObject: Reader.ReadBeginObject(); break;
        case jstoEndObject: Reader.ReadEndObject(); break;
        case jstoBeginArray: Reader.ReadBeginArray(); break;
        case jstoEndArray: Reader.ReadEndArray(); break;
        case jstoName: Out.push_back(u"N:" + Reader.ReadName()); break;
        case jstoText: Out.push_back(u"S:" + Reader.ReadString()); break;
        case jstoEOF: return Out;
        default: ADD_FAILURE() << "unexpected token"; return Out;
        }
    }
}

} // namespace

TEST_F(XmlGrid, JSONReadsBackThroughTheJSONReader)
{
    Fill({ { u"a\\b", u"secret", u"t\tq\"" }, { u"x", u"hidden", u"line\r\nbreak" } });
    G.HideColumn(1);
    TStringList Names;
    Names.Add(u"first \"one\"");
    Names.Add(u"back\\slash");
    String JSON;
    G.SaveToJSON(u"rec", &Names, JSON);
    const std::vector<String> Want { u"N:grid", u"N:rec", u"N:first \"one\"", u"S:a\\b", u"N:back\\slash",
        u"S:t\tq\"", u"N:rec", u"N:first \"one\"", u"S:x", u"N:back\\slash", u"S:line\r\nbreak" };
    EXPECT_EQ(JSONStrings(JSON), Want) << StringToUtf8(JSON);

    G.SaveToJSON(String(), nullptr, JSON);
    const std::vector<String> Plain { u"N:grid", u"S:a\\b", u"S:t\tq\"", u"S:x", u"S:line\r\nbreak" };
    EXPECT_EQ(JSONStrings(JSON), Plain) << StringToUtf8(JSON);
}
