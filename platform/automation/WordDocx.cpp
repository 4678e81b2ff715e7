// The .docx roads of the document model: reading an opened package (the
// tree through libxml2 with the safe options, the byte offsets of the body's
// blocks through the tag scanner), writing new packages and patched copies.

#include "platform/automation/WordDocx.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include "platform/automation/XMLDOM.h"
#include "platform/automation/Xlsx.h"
#include "platform/automation/XmlScan.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* MainNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
// Text width of an A4 page with 2.54 cm margins, in twentieths of a point.
constexpr int TextWidthTwips = 9026;

[[noreturn]] void RaiseDamaged(const String& fileName, const String& why)
{
    throw EWordError(u"The document \"" + fileName + u"\" is damaged: " + why);
}

// ---- writing XML text

void AppendEscaped(std::string& out, const std::string& utf8)
{
    for (char ch : utf8) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Characters XML cannot hold show as the replacement character.
            if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')
                out += "\xEF\xBF\xBD";
            else
                out += ch;
        }
    }
}

// Runs of one paragraph's text: tabs and line breaks become their elements.
void AppendRuns(std::string& out, const std::string& w, const String& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != u'\t' && text[j] != u'\v')
            ++j;
        out += "<" + w + "r>";
        if (j > i) {
            out += "<" + w + "t xml:space=\"preserve\">";
            AppendEscaped(out, StringToUtf8(text.substr(i, j - i)));
            out += "</" + w + "t>";
        }
        if (j < text.size())
            out += text[j] == u'\t' ? "<" + w + "tab/>" : "<" + w + "br/>";
        out += "</" + w + "r>";
        i = j + 1;
    }
}

void AppendParagraph(std::string& out, const std::string& w, const String& text, int align)
{
    out += "<" + w + "p>";
    if (align == 1 || align == 2)
        out += "<" + w + "pPr><" + w + "jc " + w + "val=\"" + (align == 1 ? "center" : "right") + "\"/></" + w + "pPr>";
    AppendRuns(out, w, text);
    out += "</" + w + "p>";
}

void AppendTable(std::string& out, const std::string& w, const TWordTable& table)
{
    const int cols = std::max(1, table.ColCount());
    const std::string width = std::to_string(std::max(1, TextWidthTwips / cols));
    out += "<" + w + "tbl><" + w + "tblPr><" + w + "tblW " + w + "w=\"0\" " + w + "type=\"auto\"/><" + w + "tblBorders>";
    for (const char* side : { "top", "left", "bottom", "right", "insideH", "insideV" })
        out += "<" + w + side + " " + w + "val=\"single\" " + w + "sz=\"4\" " + w + "space=\"0\" " + w + "color=\"auto\"/>";
    out += "</" + w + "tblBorders></" + w + "tblPr><" + w + "tblGrid>";
    for (int c = 0; c < cols; ++c)
        out += "<" + w + "gridCol " + w + "w=\"" + width + "\"/>";
    out += "</" + w + "tblGrid>";
    for (const auto& row : table.Rows) {
        out += "<" + w + "tr>";
        for (const TWordCell& cell : row) {
            out += "<" + w + "tc><" + w + "tcPr><" + w + "tcW " + w + "w=\"" + width + "\" " + w + "type=\"dxa\"/></" + w
                + "tcPr>";
            // Line breaks in a cell start new paragraphs of the cell.
            std::size_t i = 0;
            const String& t = cell.Text;
            for (;;) {
                std::size_t j = t.find_first_of(u"\r\n", i);
                AppendParagraph(out, w, t.substr(i, j == String::npos ? String::npos : j - i), cell.Align);
                if (j == String::npos)
                    break;
                i = j + (t[j] == u'\r' && j + 1 < t.size() && t[j + 1] == u'\n' ? 2 : 1);
            }
            out += "</" + w + "tc>";
        }
        out += "</" + w + "tr>";
    }
    out += "</" + w + "tbl>";
}

// ---- reading

bool IsW(const xmlNode* n, const char* local)
{
    return n && n->type == XML_ELEMENT_NODE && n->ns && n->ns->href
        && std::strcmp(reinterpret_cast<const char*>(n->ns->href), MainNs) == 0
        && std::strcmp(reinterpret_cast<const char*>(n->name), local) == 0;
}

std::vector<xmlNode*> Elements(xmlNode* parent)
{
    std::vector<xmlNode*> out;
    for (xmlNode* c = parent ? parent->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            out.push_back(c);
    return out;
}

String WAttr(xmlNode* n, const char* name)
{
    xmlChar* v = xmlGetNsProp(n, reinterpret_cast<const xmlChar*>(name), reinterpret_cast<const xmlChar*>(MainNs));
    String s = v ? Utf8ToString(reinterpret_cast<const char*>(v)) : String();
    xmlFree(v);
    return s;
}

// Counts the characters of a subtree as positions do, collecting its text
// and the bookmarks that start in it.
struct TCounter {
    int Count { 0 };
    String Text;
    std::vector<std::pair<String, int>> Marks;
    int Depth { 0 };
    String FileName;

    void Walk(xmlNode* n)
    {
        if (++Depth > TXMLDocument::MaxDepth)
            RaiseDamaged(FileName, u"it is nested too deeply");
        for (xmlNode* c : Elements(n))
            One(c);
        --Depth;
    }

    // One element and what it holds.
    void One(xmlNode* c)
    {
        if (IsW(c, "t")) {
            xmlChar* v = xmlNodeGetContent(c);
            const String t = v ? Utf8ToString(reinterpret_cast<const char*>(v)) : String();
            xmlFree(v);
            Text += t;
            Count += int(t.size());
        } else if (IsW(c, "tab")) {
            Text += u'\t';
            ++Count;
        } else if (IsW(c, "br") || IsW(c, "cr")) {
            Text += u'\v';
            ++Count;
        } else if (IsW(c, "bookmarkStart")) {
            Marks.emplace_back(WAttr(c, "name"), Count);
        } else if (IsW(c, "p")) {
            Walk(c);
            Text += u'\r';
            ++Count;
        } else if (IsW(c, "tr")) {
            Walk(c);
            ++Count;
        } else if (!IsW(c, "delText") && !IsW(c, "instrText")) {
            Walk(c);
        }
    }
};

int Alignment(xmlNode* p)
{
    for (xmlNode* c : Elements(p))
        if (IsW(c, "pPr"))
            for (xmlNode* j : Elements(c))
                if (IsW(j, "jc")) {
                    const String v = WAttr(j, "val");
                    return v == u"center" ? 1 : (v == u"right" || v == u"end") ? 2 : 0;
                }
    return 0;
}

std::shared_ptr<TWordTable> ReadTable(xmlNode* tbl, const String& fileName)
{
    auto table = std::make_shared<TWordTable>();
    table->ReadOnly = true;
    for (xmlNode* tr : Elements(tbl)) {
        if (!IsW(tr, "tr"))
            continue;
        table->Rows.emplace_back();
        for (xmlNode* tc : Elements(tr)) {
            if (!IsW(tc, "tc"))
                continue;
            TCounter counter;
            counter.FileName = fileName;
            counter.Walk(tc);
            String text = counter.Text;
            if (!text.empty() && text.back() == u'\r')
                text.pop_back();
            int align = 0;
            for (xmlNode* p : Elements(tc))
                if (IsW(p, "p")) {
                    align = Alignment(p);
                    break;
                }
            table->Rows.back().push_back({ text, align });
        }
    }
    return table;
}

// The byte extent of one child of the body, and of its own children.
struct TScanned {
    std::string Local;
    std::size_t Begin { 0 }, StartTagEnd { 0 }, EndTagBegin { 0 }, End { 0 };
    bool SelfClosing { false };
    std::vector<std::pair<std::string, std::pair<std::size_t, std::size_t>>> Children;
};

struct TBodyScan {
    std::string Prefix;
    std::size_t ContentBegin { 0 }, ContentEnd { 0 };
    std::vector<TScanned> Blocks;
};

bool ScanBody(std::string_view xml, TBodyScan& scan)
{
    TTag tag;
    std::size_t pos = 0;
    bool inBody = false;
    int depth = 0;
    while (NextTag(xml, pos, tag)) {
        pos = tag.End;
        if (tag.Kind == TTag::tkOther)
            continue;
        if (!inBody) {
            if (tag.Kind == TTag::tkStart && tag.Local == "body") {
                if (tag.SelfClosing)
                    return false;
                inBody = true;
                scan.Prefix = std::string(tag.Prefix);
                scan.ContentBegin = tag.End;
            }
            continue;
        }
        if (tag.Kind == TTag::tkStart) {
            if (depth == 0) {
                scan.Blocks.push_back({ std::string(tag.Local), tag.Begin, tag.End, tag.Begin, tag.End, tag.SelfClosing, {} });
                if (tag.SelfClosing)
                    continue;
            } else if (depth == 1) {
                scan.Blocks.back().Children.push_back({ std::string(tag.Local), { tag.Begin, tag.End } });
            }
            if (!tag.SelfClosing)
                ++depth;
        } else {
            if (depth == 0) {
                scan.ContentEnd = tag.Begin;
                return true;
            }
            --depth;
            if (depth == 0) {
                scan.Blocks.back().EndTagBegin = tag.Begin;
                scan.Blocks.back().End = tag.End;
            } else if (depth == 1) {
                scan.Blocks.back().Children.back().second.second = tag.End;
            }
        }
    }
    return false;
}

std::string ReadPart(zip_t* z, const char* name, const String& fileName)
{
    const zip_int64_t index = zip_name_locate(z, name, 0);
    if (index < 0)
        RaiseDamaged(fileName, u"the part \"" + Utf8ToString(name) + u"\" is missing");
    std::string out;
    switch (InflateZipPart(z, index, out)) {
    case TZipPartFault::None:
        return out;
    case TZipPartFault::CannotOpen:
        RaiseDamaged(fileName, u"a part cannot be read");
    case TZipPartFault::DoesNotInflate:
        RaiseDamaged(fileName, u"a part does not inflate");
    case TZipPartFault::TooLarge:
        break;
    }
    throw EWordError(u"The document \"" + fileName + u"\" is too large to read: a part inflates to more than "
        + IntToStr(Int64(XlsxReadLimits().MaxPartBytes)) + u" bytes");
}

using PXmlDoc = std::unique_ptr<xmlDoc, void (*)(xmlDoc*)>;

PXmlDoc ParsePart(const std::string& bytes, const String& fileName, const String& part)
{
    if (bytes.find("<!DOCTYPE") != std::string::npos)
        RaiseDamaged(fileName, u"\"" + part + u"\" holds a document type declaration");
    xmlDoc* doc = xmlReadMemory(bytes.data(), int(std::min<std::size_t>(bytes.size(), INT32_MAX)), nullptr, nullptr,
        SafeXMLParseOptions());
    if (!doc)
        RaiseDamaged(fileName, u"\"" + part + u"\" is not well-formed XML");
    return PXmlDoc(doc, xmlFreeDoc);
}

void CheckSignature(const String& fileName)
{
    FILE* f = std::fopen(StringToUtf8(fileName).c_str(), "rb");
    if (!f)
        throw EWordError(u"Cannot open the document \"" + fileName + u"\": " + Utf8ToString(std::strerror(errno)));
    unsigned char head[8] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    static const unsigned char ole[8] = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };
    if (n == 8 && std::memcmp(head, ole, 8) == 0)
        throw EWordError(u"\"" + fileName
            + u"\" is a binary .doc document or an encrypted document; only unencrypted .docx documents can be opened");
    if (n < 4 || head[0] != 'P' || head[1] != 'K')
        throw EWordError(u"\"" + fileName + u"\" is not a .docx document");
}

constexpr const char* ContentTypesXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";

constexpr const char* PackageRelsXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

constexpr const char* NewHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";

constexpr const char* NewTrailer =
    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" "
    "w:left=\"1440\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";

[[noreturn]] void RaiseSave(const String& fileName, int err)
{
    throw EWordError(u"Cannot save \"" + fileName + u"\": " + Utf8ToString(std::strerror(err)));
}

} // namespace

// ---- the model

int TWordBlock::Length() const
{
    switch (Kind) {
    case bkParagraph: return int(Prefix.size() + Text.size()) + 1;
    case bkTable:
        if (Original)
            return FixedLength;
        {
            int n = 0;
            for (const auto& row : Table->Rows) {
                for (const TWordCell& c : row)
                    n += int(c.Text.size()) + 1;
                ++n;
            }
            return n;
        }
    case bkOther: return FixedLength;
    }
    return 0;
}

TWordBlock TWordDocument::NewParagraph(const String& text)
{
    TWordBlock b;
    b.Kind = TWordBlock::bkParagraph;
    b.Id = FNextId++;
    b.Text = text;
    return b;
}

std::shared_ptr<TWordDocument> TWordDocument::CreateNew()
{
    auto doc = std::make_shared<TWordDocument>();
    doc->Blocks.push_back(doc->NewParagraph({}));
    return doc;
}

int TWordDocument::Total() const
{
    int n = 0;
    for (const auto& b : Blocks)
        n += b.Length();
    return n;
}

int TWordDocument::StartOf(std::size_t block) const
{
    int n = 0;
    for (std::size_t i = 0; i < block && i < Blocks.size(); ++i)
        n += Blocks[i].Length();
    return n;
}

std::size_t TWordDocument::Locate(int pos, int& offset) const
{
    int start = 0;
    for (std::size_t i = 0; i < Blocks.size(); ++i) {
        const int len = Blocks[i].Length();
        if (pos < start + len) {
            offset = std::max(0, pos - start);
            return i;
        }
        start += len;
    }
    // At or past the end: the last block's end (before its mark).
    offset = Blocks.empty() ? 0 : std::max(0, Blocks.back().Length() - 1);
    return Blocks.empty() ? 0 : Blocks.size() - 1;
}

int TWordDocument::ParagraphCount() const
{
    int n = 0;
    for (const auto& b : Blocks)
        n += b.Kind == TWordBlock::bkParagraph ? 1 : 0;
    return n;
}

int TWordDocument::LineStart(int n) const
{
    const int count = ParagraphCount();
    if (count == 0)
        return 0;
    const int want = n < 0 ? count : std::clamp(n, 1, count);
    int seen = 0, start = 0;
    for (const auto& b : Blocks) {
        if (b.Kind == TWordBlock::bkParagraph && ++seen == want)
            return start;
        start += b.Length();
    }
    return start;
}

std::size_t TWordDocument::SplitAt(std::size_t i, int offset)
{
    TWordBlock& b = Blocks[i];
    TWordBlock second = NewParagraph({});
    if (!b.Original) {
        second.Text = b.Text.substr(std::size_t(offset));
        b.Text.resize(std::size_t(offset));
    } else {
        const int inPrefix = int(b.Prefix.size());
        int co = offset - inPrefix;
        std::size_t at = b.ContentEnd;
        for (const auto& [chars, byte] : b.Boundaries)
            if (chars == co) {
                at = byte;
                break;
            }
        co = 0;
        for (const auto& [chars, byte] : b.Boundaries)
            if (byte == at) {
                co = chars;
                break;
            }
        // The second piece keeps the paragraph's properties and section
        // break; the first keeps its properties only.
        second = b;
        second.Id = FNextId++;
        second.Prefix.clear();
        second.Modified = true;
        second.ContentBegin = at;
        second.Text = b.Text.substr(std::size_t(std::min<int>(co, int(b.Text.size()))));
        second.Boundaries.clear();
        for (const auto& [chars, byte] : b.Boundaries)
            if (byte >= at)
                second.Boundaries.emplace_back(chars - co, byte);
        std::erase_if(b.Boundaries, [&](const auto& p) { return p.second > at; });
        b.Text.resize(std::size_t(std::min<int>(co, int(b.Text.size()))));
        b.ContentEnd = at;
        b.Modified = true;
        const std::string p = Prefix + "p";
        if (b.Head.find("sectPr") != std::string::npos)
            b.Head = "<" + p + ">";
        b.Tail = "</" + p + ">";
        offset = inPrefix + co;
    }
    for (auto& [key, mark] : Bookmarks)
        if (mark.BlockId == b.Id && mark.Offset >= offset && offset > 0) {
            mark.BlockId = second.Id;
            mark.Offset -= offset;
        }
    Blocks.insert(Blocks.begin() + std::ptrdiff_t(i) + 1, std::move(second));
    return i + 1;
}

void TWordDocument::TypeText(const String& text)
{
    std::size_t i = 0;
    for (;;) {
        const std::size_t j = text.find_first_of(u"\r\n", i);
        const String piece = text.substr(i, j == String::npos ? String::npos : j - i);
        if (!piece.empty()) {
            int offset = 0;
            std::size_t at = Locate(Selection, offset);
            if (Blocks[at].Kind != TWordBlock::bkParagraph && offset == 0) {
                // At the start of a table: the text opens a paragraph before it.
                Blocks.insert(Blocks.begin() + std::ptrdiff_t(at), NewParagraph({}));
                offset = 0;
            }
            TWordBlock& b = Blocks[at];
            if (b.Kind != TWordBlock::bkParagraph)
                throw EOleError(u"Text can only be typed into a paragraph");
            if (!b.Original)
                b.Text.insert(std::size_t(std::min<int>(offset, int(b.Text.size()))), piece);
            else if (offset <= int(b.Prefix.size()))
                b.Prefix.insert(std::size_t(offset), piece), b.Modified = true;
            else
                throw EOleError(u"Text can only be typed at the start of a paragraph of an opened document");
            Selection += int(piece.size());
        }
        if (j == String::npos)
            return;
        TypeParagraph();
        i = j + (text[j] == u'\r' && j + 1 < text.size() && text[j + 1] == u'\n' ? 2 : 1);
    }
}

void TWordDocument::TypeParagraph()
{
    int offset = 0;
    const std::size_t i = Locate(Selection, offset);
    TWordBlock& b = Blocks[i];
    if (b.Kind != TWordBlock::bkParagraph && offset == 0) {
        // At the start of a table: a new paragraph before it.
        Blocks.insert(Blocks.begin() + std::ptrdiff_t(i), NewParagraph({}));
        ++Selection;
        return;
    }
    if (b.Kind != TWordBlock::bkParagraph)
        throw EOleError(u"A paragraph mark can only be typed into a paragraph");
    if (!b.Original) {
        SplitAt(i, std::min<int>(offset, int(b.Text.size())));
    } else if (offset <= int(b.Prefix.size())) {
        // The typed text before the mark becomes a paragraph of its own.
        TWordBlock first = NewParagraph(b.Prefix.substr(0, std::size_t(offset)));
        b.Prefix.erase(0, std::size_t(offset));
        b.Modified = !b.Prefix.empty() || b.Modified;
        Blocks.insert(Blocks.begin() + std::ptrdiff_t(i), std::move(first));
    } else {
        throw EOleError(u"A paragraph mark can only be typed at the start of a paragraph of an opened document");
    }
    ++Selection;
}

void TWordDocument::AddParagraph() { Blocks.push_back(NewParagraph({})); }

std::shared_ptr<TWordTable> TWordDocument::AddTable(int pos, int rows, int cols)
{
    if (rows < 1 || cols < 1)
        throw EOleError(u"A table needs at least one row and one column");
    if (std::uint64_t(rows) * std::uint64_t(cols) > XlsxReadLimits().MaxCells || cols > 4096)
        throw EOleError(u"The table is too large (" + IntToStr(rows) + u" rows, " + IntToStr(cols) + u" columns)");
    int offset = 0;
    std::size_t i = Locate(std::clamp(pos, 0, std::max(0, Total() - 1)), offset);
    if (offset > 0) {
        const TWordBlock& b = Blocks[i];
        if (b.Kind != TWordBlock::bkParagraph) {
            // Tables are not nested: the new one goes before the block.
        } else if (b.Original && offset > int(b.Prefix.size())) {
            const int co = offset - int(b.Prefix.size());
            const bool boundary = std::any_of(b.Boundaries.begin(), b.Boundaries.end(),
                [&](const auto& p) { return p.first == co; });
            // Inside a run of the file: the table follows the paragraph.
            i = boundary ? SplitAt(i, offset) : i + 1;
        } else if (b.Original) {
            TWordBlock first = NewParagraph(b.Prefix.substr(0, std::size_t(offset)));
            Blocks[i].Prefix.erase(0, std::size_t(offset));
            Blocks.insert(Blocks.begin() + std::ptrdiff_t(i), std::move(first));
            ++i;
        } else {
            i = SplitAt(i, offset);
        }
    }
    auto table = std::make_shared<TWordTable>();
    table->Rows.assign(std::size_t(rows), std::vector<TWordCell>(std::size_t(cols)));
    TWordBlock block;
    block.Kind = TWordBlock::bkTable;
    block.Id = FNextId++;
    block.Table = table;
    Blocks.insert(Blocks.begin() + std::ptrdiff_t(i), std::move(block));
    return table;
}

std::vector<std::shared_ptr<TWordTable>> TWordDocument::Tables() const
{
    std::vector<std::shared_ptr<TWordTable>> out;
    for (const auto& b : Blocks)
        if (b.Kind == TWordBlock::bkTable)
            out.push_back(b.Table);
    return out;
}

std::string TWordDocument::MainPartXml() const
{
    const bool fresh = SourceFile.empty();
    std::string out;
    out.reserve(MainXml.size() + 4096);
    out += fresh ? std::string(NewHeader) : MainXml.substr(0, HeaderEnd);
    const std::string& w = Prefix;
    for (const auto& b : Blocks) {
        if (b.Original && !b.Modified) {
            out.append(MainXml, b.Begin, b.End - b.Begin);
        } else if (b.Original) {
            out += b.Head;
            if (!b.Prefix.empty())
                AppendRuns(out, w, b.Prefix);
            out.append(MainXml, b.ContentBegin, b.ContentEnd - b.ContentBegin);
            out += b.Tail;
        } else if (b.Kind == TWordBlock::bkTable) {
            AppendTable(out, w, *b.Table);
        } else {
            AppendParagraph(out, w, b.Text, 0);
        }
    }
    out += fresh ? std::string(NewTrailer) : MainXml.substr(TrailerBegin);
    return out;
}

std::shared_ptr<TWordDocument> TWordDocument::Open(const String& fileName)
{
    CheckSignature(fileName);
    int err = 0;
    zip_t* z = zip_open(StringToUtf8(fileName).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z)
        RaiseDamaged(fileName, u"it is not a readable zip package");
    std::unique_ptr<zip_t, void (*)(zip_t*)> holder(z, zip_discard);
    auto doc = std::make_shared<TWordDocument>();
    doc->FileName = fileName;
    doc->SourceFile = fileName;
    // The main part is named by the package relationships.
    if (zip_name_locate(z, "_rels/.rels", 0) >= 0) {
        const PXmlDoc rels = ParsePart(ReadPart(z, "_rels/.rels", fileName), fileName, u"_rels/.rels");
        for (xmlNode* r : Elements(xmlDocGetRootElement(rels.get()))) {
            xmlChar* type = xmlGetProp(r, reinterpret_cast<const xmlChar*>("Type"));
            xmlChar* target = xmlGetProp(r, reinterpret_cast<const xmlChar*>("Target"));
            const std::string t = type ? reinterpret_cast<const char*>(type) : "";
            std::string g = target ? reinterpret_cast<const char*>(target) : "";
            xmlFree(type);
            xmlFree(target);
            if (t.size() >= 15 && t.compare(t.size() - 15, 15, "/officeDocument") == 0 && !g.empty())
                doc->MainPart = g[0] == '/' ? g.substr(1) : g;
        }
    }
    doc->MainXml = ReadPart(z, doc->MainPart.c_str(), fileName);
    const String partName = Utf8ToString(doc->MainPart);
    const PXmlDoc tree = ParsePart(doc->MainXml, fileName, partName);
    xmlNode* root = xmlDocGetRootElement(tree.get());
    xmlNode* body = nullptr;
    for (xmlNode* c : Elements(root))
        if (IsW(c, "body"))
            body = c;
    if (!IsW(root, "document") || !body)
        throw EWordError(u"\"" + fileName + u"\" is a zip file but no .docx document");
    TBodyScan scan;
    const std::vector<xmlNode*> children = Elements(body);
    if (!ScanBody(doc->MainXml, scan) || scan.Blocks.size() != children.size())
        RaiseDamaged(fileName, u"the body of \"" + partName + u"\" cannot be read");
    doc->Prefix = scan.Prefix;
    doc->HeaderEnd = children.empty() ? scan.ContentBegin : scan.Blocks.front().Begin;
    doc->TrailerBegin = scan.ContentEnd;
    std::size_t count = children.size();
    if (count > 0 && IsW(children.back(), "sectPr")) {
        doc->TrailerBegin = scan.Blocks.back().Begin;
        --count;
    }
    for (std::size_t k = 0; k < count; ++k) {
        xmlNode* n = children[k];
        const TScanned& s = scan.Blocks[k];
        TWordBlock b;
        b.Id = doc->FNextId++;
        b.Original = true;
        b.Begin = s.Begin;
        // Whitespace up to the next block travels with this one.
        b.End = k + 1 < scan.Blocks.size() ? scan.Blocks[k + 1].Begin : doc->TrailerBegin;
        TCounter counter;
        counter.FileName = fileName;
        if (IsW(n, "p")) {
            b.Kind = TWordBlock::bkParagraph;
            const std::vector<xmlNode*> kids = Elements(n);
            if (kids.size() != s.Children.size())
                RaiseDamaged(fileName, u"a paragraph cannot be read");
            std::size_t content = s.StartTagEnd;
            for (std::size_t c = 0; c < kids.size(); ++c) {
                if (c == 0 && IsW(kids[c], "pPr")) {
                    content = s.Children[c].second.second;
                    continue;
                }
                b.Boundaries.emplace_back(counter.Count, s.Children[c].second.first);
                counter.One(kids[c]);
            }
            b.ContentBegin = content;
            b.ContentEnd = s.SelfClosing ? content : s.EndTagBegin;
            b.Boundaries.emplace_back(counter.Count, b.ContentEnd);
            b.Text = counter.Text;
            const std::string p = scan.Prefix + "p";
            if (s.SelfClosing) {
                b.Head = "<" + p + ">";
                b.Tail = "</" + p + ">" + doc->MainXml.substr(s.End, b.End - s.End);
            } else {
                b.Head = doc->MainXml.substr(s.Begin, content - s.Begin);
                b.Tail = doc->MainXml.substr(b.ContentEnd, b.End - b.ContentEnd);
            }
        } else {
            counter.Walk(n);
            if (IsW(n, "tbl")) {
                b.Kind = TWordBlock::bkTable;
                b.Table = ReadTable(n, fileName);
                b.FixedLength = counter.Count;
            } else {
                b.Kind = TWordBlock::bkOther;
                b.FixedLength = counter.Count;
            }
            if (IsW(n, "bookmarkStart"))
                counter.Marks.emplace_back(WAttr(n, "name"), 0);
        }
        for (const auto& [name, at] : counter.Marks)
            if (!name.empty() && !doc->Bookmarks.count(AnsiUpperCase(name)))
                doc->Bookmarks[AnsiUpperCase(name)] = { name, b.Id, at };
        doc->Blocks.push_back(std::move(b));
    }
    if (doc->Blocks.empty() || doc->Blocks.back().Kind != TWordBlock::bkParagraph) {
        // A body must end in a paragraph; one is added when written.
        doc->Blocks.push_back(doc->NewParagraph({}));
    }
    return doc;
}

void TWordDocument::SaveAs(const String& fileName)
{
    if (fileName.empty())
        throw EWordError(u"The document has no file name; use SaveAs");
    const std::string main = MainPartXml();
    {
        // What we write must read back.
        xmlDoc* check = xmlReadMemory(main.data(), int(std::min<std::size_t>(main.size(), INT32_MAX)), nullptr, nullptr,
            SafeXMLParseOptions());
        if (!check)
            throw EWordError(u"Cannot save \"" + fileName + u"\": the document would not be well-formed");
        xmlFreeDoc(check);
    }
    const std::string target = StringToUtf8(fileName);
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        RaiseSave(fileName, errno);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ::unlink(temp.c_str());
        RaiseSave(fileName, EISDIR);
    }
    ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
    ::close(fd);
    try {
        int err = 0;
        zip_t* src = nullptr;
        if (!SourceFile.empty()) {
            src = zip_open(StringToUtf8(SourceFile).c_str(), ZIP_RDONLY, &err);
            if (!src)
                throw EWordError(u"Cannot save \"" + fileName + u"\": the opened document \"" + SourceFile
                    + u"\" cannot be read any more");
        }
        std::unique_ptr<zip_t, void (*)(zip_t*)> srcHolder(src, [](zip_t* z) { if (z) zip_discard(z); });
        zip_t* dst = zip_open(temp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        if (!dst)
            RaiseSave(fileName, EIO);
        auto fail = [&](const String& what) {
            const String why = Utf8ToString(zip_strerror(dst));
            zip_discard(dst);
            throw EWordError(u"Cannot save the document: " + what + u" (" + why + u")");
        };
        auto addBytes = [&](const char* name, const char* bytes, std::size_t size) {
            zip_source_t* s = zip_source_buffer(dst, bytes, size, 0);
            if (!s)
                fail(u"out of memory");
            const zip_int64_t idx = zip_file_add(dst, name, s, ZIP_FL_ENC_UTF_8);
            if (idx < 0) {
                zip_source_free(s);
                fail(Utf8ToString(name));
            }
            zip_set_file_compression(dst, zip_uint64_t(idx), ZIP_CM_DEFLATE, 6);
        };
        if (!src) {
            addBytes("[Content_Types].xml", ContentTypesXml, std::strlen(ContentTypesXml));
            addBytes("_rels/.rels", PackageRelsXml, std::strlen(PackageRelsXml));
            addBytes("word/document.xml", main.data(), main.size());
        } else {
            const zip_int64_t count = zip_get_num_entries(src, 0);
            for (zip_int64_t i = 0; i < count; ++i) {
                const char* name = zip_get_name(src, zip_uint64_t(i), ZIP_FL_ENC_RAW);
                if (!name)
                    fail(u"an entry without a name");
                if (MainPart == name) {
                    addBytes(name, main.data(), main.size());
                    continue;
                }
                zip_source_t* s = zip_source_zip(dst, src, zip_uint64_t(i), 0, 0, -1);
                if (!s || zip_file_add(dst, name, s, ZIP_FL_ENC_RAW) < 0) {
                    if (s)
                        zip_source_free(s);
                    fail(Utf8ToString(name));
                }
            }
        }
        if (zip_close(dst) != 0)
            fail(u"the package could not be written");
        const int sync = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
        if (sync < 0)
            RaiseSave(fileName, errno);
        const int syncErr = ::fsync(sync) != 0 ? errno : 0;
        ::close(sync);
        if (syncErr)
            RaiseSave(fileName, syncErr);
        if (::rename(temp.c_str(), target.c_str()) != 0)
            RaiseSave(fileName, errno);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    FileName = fileName;
}
