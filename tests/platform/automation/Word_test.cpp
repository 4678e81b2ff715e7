// The "word.application" server as the grid drives it: a new document with
// a table, tables appended to an opened .docx at a bookmark or after a new
// last paragraph, read back by our reader and once by LibreOffice.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/automation/Word.h"
#include "tests/platform/automation/XlsxTestKit.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Office.h"

using namespace xlsxtest;
namespace fs = std::filesystem;

namespace {

const String Texts[2][3] = { { u"Name", u"Qty", u"A & <B>" }, { u"Line1\r\nLine2", u"42", u"\u20AC x" } };

// The table-writing steps of the grid's export: cells (r, c) from 1.
void FillTable(const Variant& table)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            Variant range = DispGet(DispCall(table, u"Cell", { r + 1, c + 1 }), u"Range");
            DispCall(range, u"InsertAfter", { Texts[r][c] });
            if (c == 1)
                DispPut(DispGet(range, u"ParagraphFormat"), u"Alignment", 2);
            if (c == 2 && r == 1)
                DispPut(DispGet(range, u"ParagraphFormat"), u"Alignment", 1);
        }
}

void CheckTable(const Variant& table)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            SCOPED_TRACE(testing::Message() << "cell " << r << "," << c);
            Variant range = DispGet(DispCall(table, u"Cell", { r + 1, c + 1 }), u"Range");
            String want = Texts[r][c];
            if (want.find(u"\r\n") != String::npos)
                want = u"Line1\rLine2";
            EXPECT_EQ(DispGet(range, u"Text").AsString(), want);
            const int align = c == 1 ? 2 : (c == 2 && r == 1 ? 1 : 0);
            EXPECT_EQ(DispPath(range, { u"ParagraphFormat", u"Alignment" }).AsInteger(), align);
        }
}

// The append road: open, type the grid's text and a mark, then the table
// at the bookmark, or after a new last paragraph.
void AppendTable(const Variant& app, const fs::path& file, const String& bookmark)
{
    Variant doc = DispCall(DispGet(app, u"Documents"), u"Open", { S8(file) });
    DispPut(doc, u"ShowSpellingErrors", false);
    Variant sel = DispGet(app, u"Selection");
    DispCall(sel, u"TypeText", { String() });
    DispCall(sel, u"TypeParagraph");
    Variant range;
    if (DispCall(DispGet(doc, u"Bookmarks"), u"Exists", { bookmark }).AsBoolean()) {
        range = DispCall(doc, u"GoTo", { -1, bookmark });
    } else {
        DispCall(DispGet(doc, u"Paragraphs"), u"Add");
        DispCall(sel, u"GoTo", { 3, -1 });
        const int end = DispGet(sel, u"End").AsInteger();
        range = DispCall(doc, u"Range", { end, end });
    }
    FillTable(DispCall(DispGet(doc, u"Tables"), u"Add", { range, 2, 3 }));
    DispCall(doc, u"SaveAs", { S8(file) });
}

std::string Body(const fs::path& file) { return ReadZip(file).at("word/document.xml"); }

// Positions of the body's blocks, as "p" and "tbl" in order.
std::string Shape(const std::string& xml)
{
    std::string out;
    std::size_t at = xml.find("<w:body>");
    int depth = 0;
    for (std::size_t i = at + 8; i < xml.size(); ++i) {
        if (xml.compare(i, 8, "</w:body") == 0)
            break;
        if (xml.compare(i, 4, "<w:p") == 0 && (xml[i + 4] == '>' || xml[i + 4] == ' ' || xml[i + 4] == '/')) {
            if (depth == 0)
                out += "p ";
        } else if (xml.compare(i, 6, "<w:tbl") == 0 && xml[i + 6] == '>') {
            if (depth++ == 0)
                out += "tbl ";
        } else if (xml.compare(i, 8, "</w:tbl>") == 0) {
            --depth;
        }
    }
    return out;
}

const char* OpenedDocument = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">
  <w:body>
    <w:p><w:r><w:t>Before</w:t></w:r></w:p>
    <w:p><w:pPr><w:jc w:val="center"/></w:pPr><w:r><w:t>A</w:t></w:r><w:bookmarkStart w:id="0" w:name="Here"/><w:r><w:t>B</w:t></w:r><w:bookmarkEnd w:id="0"/></w:p>
    <w:p><w:r><w:t>After</w:t></w:r></w:p>
    <w:sectPr><w:pgSz w:w="11906" w:h="16838"/></w:sectPr>
  </w:body>
</w:document>)";

TParts OpenedPackage()
{
    TParts p;
    p["[Content_Types].xml"] = R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)";
    p["_rels/.rels"] = R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)";
    p["word/document.xml"] = OpenedDocument;
    p["word/styles.xml"] = "<?xml version=\"1.0\"?>\n<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><!-- kept as it is --></w:styles>";
    return p;
}

} // namespace

TEST(Word, NewDocumentWithATableAtTheStart)
{
    testsupport::TempDir dir;
    const fs::path file = dir / "grid.doc";  // a ".doc" name still gets a .docx package
    Variant app = CreateOleObject(u"word.application");
    Variant doc = DispCall(DispGet(app, u"Documents"), u"Add");
    DispPut(doc, u"ShowSpellingErrors", false);
    Variant sel = DispGet(app, u"Selection");
    DispCall(sel, u"TypeText", { String(u"Title") });
    DispCall(sel, u"TypeParagraph");
    Variant table = DispCall(DispGet(doc, u"Tables"), u"Add", { DispCall(doc, u"Range", { 0, 0 }), 2, 3 });
    FillTable(table);
    DispCall(doc, u"SaveAs", { S8(file) });
    DispCall(app, u"Quit");
    EXPECT_THROW(DispGet(doc, u"Tables"), EOleException);

    const std::string body = Body(file);
    EXPECT_EQ(Shape(body), "tbl p p ");
    EXPECT_NE(body.find("A &amp; &lt;B&gt;"), std::string::npos);
    EXPECT_NE(body.find("<w:jc w:val=\"right\"/>"), std::string::npos);

    Variant app2 = CreateOleObject(u"word.application");
    Variant back = DispCall(DispGet(app2, u"Documents"), u"Open", { S8(file) });
    Variant tables = DispGet(back, u"Tables");
    ASSERT_EQ(DispGet(tables, u"Count").AsInteger(), 1);
    CheckTable(DispGet(tables, u"", { 1 }));
    EXPECT_EQ(DispPath(back, { u"Paragraphs", u"Count" }).AsInteger(), 2);
}

TEST(Word, AppendsAtTheBookmarkOrAfterANewLastParagraph)
{
    testsupport::TempDir dir;
    Variant app = CreateOleObject(u"word.application");
    const TParts original = OpenedPackage();

    const fs::path marked = dir / "marked.docx";
    WriteZip(marked, original);
    AppendTable(app, marked, u"Here");
    TParts saved = ReadZip(marked);
    EXPECT_EQ(saved.at("word/styles.xml"), original.at("word/styles.xml"));
    EXPECT_EQ(saved.at("[Content_Types].xml"), original.at("[Content_Types].xml"));
    const std::string& body = saved.at("word/document.xml");
    // The typed mark made an empty first paragraph; the bookmark's
    // paragraph is split around the table, both halves keep their format.
    EXPECT_EQ(Shape(body), "p p p tbl p p ");
    const std::size_t a = body.find("<w:t>A</w:t>"), tbl = body.find("<w:tbl>"), mark = body.find("w:name=\"Here\"");
    EXPECT_LT(a, tbl);
    EXPECT_LT(tbl, mark);
    EXPECT_NE(body.find(R"(<w:p><w:pPr><w:jc w:val="center"/></w:pPr><w:r><w:t>A</w:t></w:r></w:p>)"), std::string::npos);
    EXPECT_NE(body.find(R"(    <w:p><w:r><w:t>After</w:t></w:r></w:p>)"), std::string::npos);

    const fs::path plain = dir / "plain.docx";
    WriteZip(plain, original);
    AppendTable(app, plain, u"Nowhere");
    EXPECT_EQ(Shape(Body(plain)), "p p p p tbl p ");

    for (const fs::path& f : { marked, plain }) {
        SCOPED_TRACE(f.filename().string());
        Variant back = DispCall(DispGet(app, u"Documents"), u"Open", { S8(f) });
        ASSERT_EQ(DispPath(back, { u"Tables", u"Count" }).AsInteger(), 1);
        CheckTable(DispGet(DispGet(back, u"Tables"), u"", { 1 }));
        EXPECT_TRUE(DispCall(DispGet(back, u"Bookmarks"), u"Exists", { String(u"here") }).AsBoolean());
    }
    // An opened document's own tables stay as they are.
    Variant back = DispCall(DispGet(app, u"Documents"), u"Open", { S8(plain) });
    Variant cell = DispGet(DispCall(DispGet(DispGet(back, u"Tables"), u"", { 1 }), u"Cell", { 1, 1 }), u"Range");
    EXPECT_THROW(DispCall(cell, u"InsertAfter", { String(u"x") }), EOleException);
}

TEST(Word, FilesThatAreNoDocxRaise)
{
    testsupport::TempDir dir;
    std::string ole = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    ole.resize(1024, '\0');
    const struct {
        const char* name;
        std::string bytes;
        const char16_t* says;
    } cases[] = {
        { "binary.doc", ole, u"binary .doc" },
        { "text.docx", "plain text", u"not a .docx" },
        { "cut.docx", "PK\x03\x04 cut short", u"damaged" },
    };
    Variant docs = DispGet(CreateOleObject(u"word.application"), u"Documents");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            std::ofstream out(dir / c.name, std::ios::binary);
            out << c.bytes;
        }
        try {
            DispCall(docs, u"Open", { S8(dir / c.name) });
            ADD_FAILURE() << "no error";
        } catch (const EOleException& e) {
            EXPECT_NE(e.Message.find(c.says), String::npos) << StringToUtf8(e.Message);
        }
    }
    TParts p = OpenedPackage();
    p["word/document.xml"] = "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>" + p["word/document.xml"].substr(55);
    WriteZip(dir / "dtd.docx", p);
    EXPECT_THROW(DispCall(docs, u"Open", { S8(dir / "dtd.docx") }), EOleException);
}

TEST(Word, AnotherWordProcessorReadsTheTables)
{
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice Writer is not installed (scripts/setup installs libreoffice-writer-nogui)";
    testsupport::TempDir dir;
    const fs::path file = dir / "appended.docx";
    WriteZip(file, OpenedPackage());
    AppendTable(CreateOleObject(u"word.application"), file, u"Here");
    ASSERT_TRUE(testsupport::TOfficeProfile().Convert("txt:Text", dir.path(), { file }));
    std::ifstream in(dir / "appended.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const char* expected[] = { "Before", "A", "Name", "Qty", "A & <B>", "Line1", "Line2", "42", "\xE2\x82\xAC x", "B",
        "After" };
    std::size_t at = 0;
    for (const char* e : expected) {
        SCOPED_TRACE(e);
        const std::size_t found = text.find(e, at);
        ASSERT_NE(found, std::string::npos) << text;
        at = found + std::strlen(e);
    }
}
