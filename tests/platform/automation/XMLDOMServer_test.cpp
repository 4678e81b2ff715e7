// The "Microsoft.XMLDOM" server as the grid's XML reader walks it.

#include <gtest/gtest.h>

#include <fstream>

#include "platform/automation/ComObj.h"
#include "platform/automation/XMLDOM.h"
#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

String S8(const fs::path& p) { return Utf8ToString(p.string()); }

Variant LoadDom(const fs::path& file, bool& ok)
{
    Variant dom = CreateOleObject(u"Microsoft.XMLDOM");
    DispPut(dom, u"async", false);
    ok = DispCall(dom, u"load", { S8(file) }).AsBoolean();
    return dom;
}

} // namespace

TEST(XMLDOMServer, WalksRecordsWithoutFormattingWhitespace)
{
    testsupport::TempDir dir;
    // As the grid writes it: one field per line, CR LF, numeric references.
    WriteFile(dir / "list.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<list>\r\n<row id=\"7\">\r\n<FIELD0>a &amp; b</FIELD0>\r\n"
        "<FIELD1>&lt;b&gt;&#8364;</FIELD1>\r\n<FIELD2>   </FIELD2>\r\n<FIELD3/>\r\n</row>\r\n</list>\r\n");
    bool ok = false;
    Variant dom = LoadDom(dir / "list.xml", ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(DispPath(dom, { u"parseError", u"errorCode" }).AsInteger(), 0);
    Variant root = DispGet(dom, u"documentElement");
    EXPECT_EQ(DispGet(root, u"nodeName").AsString(), u"list");
    Variant records = DispGet(root, u"childNodes");
    ASSERT_EQ(DispGet(records, u"length").AsInteger(), 1);
    Variant row = DispGet(records, u"item", { 0 });
    Variant attrs = DispGet(row, u"attributes");
    ASSERT_EQ(DispGet(attrs, u"length").AsInteger(), 1);
    EXPECT_EQ(DispGet(DispGet(attrs, u"item", { 0 }), u"nodeName").AsString(), u"id");
    EXPECT_EQ(DispGet(DispGet(attrs, u"item", { 0 }), u"text").AsString(), u"7");
    Variant fields = DispGet(row, u"childNodes");
    ASSERT_EQ(DispGet(fields, u"length").AsInteger(), 4);
    const struct {
        int index;
        const char16_t* name;
        const char16_t* text;
        int children;
    } cases[] = {
        { 0, u"FIELD0", u"a & b", 1 },
        { 1, u"FIELD1", u"<b>\u20AC", 1 },
        { 2, u"FIELD2", u"   ", 1 },  // a field of spaces keeps them
        { 3, u"FIELD3", u"", 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Variant f = DispGet(fields, u"item", { c.index });
        EXPECT_EQ(DispGet(f, u"nodeName").AsString(), c.name);
        EXPECT_EQ(DispGet(f, u"text").AsString(), c.text);
        EXPECT_EQ(DispPath(f, { u"childNodes", u"length" }).AsInteger(), c.children);
        EXPECT_EQ(DispGet(f, u"hasChildNodes").AsBoolean(), c.children > 0);
    }
    EXPECT_TRUE(DispGet(fields, u"item", { 9 }).IsNull());
}

TEST(XMLDOMServer, FailuresAreReportedNotFetched)
{
    testsupport::TempDir dir;
    WriteFile(dir / "secret.txt", "TOPSECRET");
    WriteFile(dir / "entity.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE list [<!ENTITY e SYSTEM \"file://"
        + (dir / "secret.txt").string() + "\">]>\n<list><row><F>&e;</F></row></list>\n");
    WriteFile(dir / "broken.xml", "<list>\n<row>\n<F>x</G>\n</row></list>");

    // An external entity is never read: the field stays without its text.
    bool ok = false;
    Variant dom = LoadDom(dir / "entity.xml", ok);
    if (ok) {
        const String text = DispPath(dom, { u"documentElement", u"text" }).AsString();
        EXPECT_EQ(text.find(u"TOPSECRET"), String::npos);
    }

    dom = LoadDom(dir / "broken.xml", ok);
    EXPECT_FALSE(ok);
    EXPECT_NE(DispPath(dom, { u"parseError", u"errorCode" }).AsInteger(), 0);
    EXPECT_EQ(DispPath(dom, { u"parseError", u"line" }).AsInteger(), 3);
    EXPECT_TRUE(DispGet(dom, u"documentElement").IsNull());

    dom = LoadDom(dir / "missing.xml", ok);
    EXPECT_FALSE(ok);
    EXPECT_NE(DispPath(dom, { u"parseError", u"errorCode" }).AsInteger(), 0);

    // Above the size cap the load raises instead of reading.
    const std::uint64_t saved = XMLDOMMaxFileBytes();
    XMLDOMMaxFileBytes() = 16;
    EXPECT_THROW(LoadDom(dir / "broken.xml", ok), EOleException);
    XMLDOMMaxFileBytes() = saved;
}
