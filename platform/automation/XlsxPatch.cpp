// Saving an opened workbook as a patched copy of its package: parts nobody
// changed are copied from the old zip as they are; a sheet with written
// cells is rewritten in one pass over its XML that replaces only those cells
// (keeping their style index) and copies every other byte; the workbook,
// relationship and content-type parts change only when sheets were added or
// renamed or a formula was overwritten.

#include "platform/automation/Xlsx.h"

#include <charconv>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include "platform/automation/XMLDOM.h"
#include "platform/automation/XmlScan.h"
#include "platform/rtl/SysUtils.h"

namespace {

using std::string_view;

constexpr const char* RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* WorksheetType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr const char* WorksheetContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

struct TAttrPos {
    std::size_t AttrBegin, ValueBegin, ValueEnd;  // value without quotes
};

std::optional<TAttrPos> FindAttr(string_view xml, const TTag& tag, string_view name)
{
    std::size_t i = tag.NameEnd;
    const std::size_t end = tag.End;
    while (i < end) {
        const std::size_t ws = i;
        while (i < end && std::strchr(" \t\r\n", xml[i]))
            ++i;
        const std::size_t nb = i;
        while (i < end && !std::strchr(" \t\r\n=/>", xml[i]))
            ++i;
        const string_view attr = xml.substr(nb, i - nb);
        if (attr.empty())
            return std::nullopt;
        while (i < end && std::strchr(" \t\r\n=", xml[i]))
            ++i;
        if (i >= end || (xml[i] != '"' && xml[i] != '\''))
            return std::nullopt;
        const char q = xml[i];
        const std::size_t vb = i + 1;
        const std::size_t ve = xml.find(q, vb);
        if (ve == string_view::npos || ve >= end)
            return std::nullopt;
        if (attr == name)
            return TAttrPos { ws, vb, ve };
        i = ve + 1;
    }
    return std::nullopt;
}

std::string AttrValue(string_view xml, const TTag& tag, string_view name)
{
    auto a = FindAttr(xml, tag, name);
    return a ? std::string(xml.substr(a->ValueBegin, a->ValueEnd - a->ValueBegin)) : std::string();
}

std::string NumberText(double d)
{
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, p);
}

// The written cells of a row, with the row that holds their texts.
struct TRowWrite {
    const TXlsxRow* Row { nullptr };
    std::vector<const TXlsxCell*> Cells;
};
using TRowWrites = std::map<int, TRowWrite>;

class TSheetPatcher {
public:
    // With dropCachedResults, formula cells lose their cached results, so
    // that every reader computes them again from the new values (a flag in
    // the workbook asks the same, but not every program honours it).
    TSheetPatcher(string_view xml, const TRowWrites& writes, bool dropCachedResults = false)
        : FXml(xml), FWrites(writes), FDropCached(dropCachedResults)
    {
        for (const auto& [row, w] : writes)
            for (const TXlsxCell* c : w.Cells)
                if (c->Kind != TXlsxCell::ckEmpty)
                    Grow({ row, c->Col, row, c->Col });
    }

    std::string Run()
    {
        FOut.reserve(FXml.size() + FXml.size() / 8 + 1024);
        std::size_t pos = 0;
        TTag tag;
        while (NextTag(FXml, pos, tag)) {
            Copy(pos, tag.Begin);
            pos = tag.End;
            if (tag.Kind == TTag::tkStart && tag.Local == "dimension") {
                CopyDimension(tag);
            } else if (tag.Kind == TTag::tkStart && tag.Local == "sheetData") {
                FPrefix = tag.Prefix;
                if (tag.SelfClosing) {
                    FOut += "<" + std::string(FPrefix) + "sheetData>";
                    FlushRowsBefore(XlsxMaxRows + 1);
                    FOut += "</" + std::string(FPrefix) + "sheetData>";
                } else {
                    Copy(tag.Begin, tag.End);
                    pos = SheetData(pos);
                }
            } else {
                Copy(tag.Begin, tag.End);
            }
        }
        Copy(pos, FXml.size());
        return std::move(FOut);
    }

private:
    void Copy(std::size_t b, std::size_t e) { FOut.append(FXml.data() + b, e - b); }

    void Grow(const TRangeRef& r)
    {
        if (FBox.Row1 == 0) {
            FBox = r;
            return;
        }
        FBox = { std::min(FBox.Row1, r.Row1), std::min(FBox.Col1, r.Col1), std::max(FBox.Row2, r.Row2),
            std::max(FBox.Col2, r.Col2) };
    }

    void CopyDimension(const TTag& tag)
    {
        auto a = FindAttr(FXml, tag, "ref");
        TRangeRef old;
        if (!a || FBox.Row1 == 0
            || !ParseRangeRef(Utf8ToString(FXml.substr(a->ValueBegin, a->ValueEnd - a->ValueBegin)), old)) {
            Copy(tag.Begin, tag.End);
            return;
        }
        Grow(old);
        Copy(tag.Begin, a->ValueBegin);
        FOut += StringToUtf8(RangeAddress(FBox, false));
        Copy(a->ValueEnd, tag.End);
    }

    // A start tag copied with an "r" attribute when it has none, and without
    // dropAttr ("spans" is a hint that added cells would make wrong).
    void CopyStartTag(const TTag& tag, const std::string& ref, string_view dropAttr, bool open)
    {
        std::size_t b = tag.Begin;
        std::size_t e = tag.SelfClosing && open ? tag.End - 2 : tag.End - 1;
        auto spans = !dropAttr.empty() ? FindAttr(FXml, tag, dropAttr) : std::nullopt;
        const bool hasR = FindAttr(FXml, tag, "r").has_value();
        Copy(b, tag.NameEnd);
        if (!hasR)
            FOut += " r=\"" + ref + "\"";
        if (spans) {
            Copy(tag.NameEnd, spans->AttrBegin);
            Copy(spans->ValueEnd + 1, e);
        } else {
            Copy(tag.NameEnd, e);
        }
        FOut += open ? ">" : (tag.SelfClosing ? "" : ">");
        if (!open && tag.SelfClosing)
            FOut += "/>";
    }

    bool HasElement(std::size_t b, std::size_t e, string_view local) const
    {
        TTag t;
        for (std::size_t pos = b; NextTag(FXml, pos, t) && t.End <= e; pos = t.End)
            if (t.Kind == TTag::tkStart && t.Local == local)
                return true;
        return false;
    }

    // Copies [b, e) leaving out the elements with this local name.
    void CopyWithout(std::size_t b, std::size_t e, string_view local)
    {
        TTag t;
        std::size_t pos = b;
        while (NextTag(FXml, pos, t) && t.End <= e) {
            Copy(pos, t.Begin);
            if (t.Kind == TTag::tkStart && t.Local == local) {
                pos = t.SelfClosing ? t.End : SkipTo(t.End, local);
                continue;
            }
            Copy(t.Begin, t.End);
            pos = t.End;
        }
        Copy(pos, e);
    }

    // Skips to just after the end tag with this local name; returns the new position.
    std::size_t SkipTo(std::size_t pos, string_view local)
    {
        TTag t;
        while (NextTag(FXml, pos, t)) {
            pos = t.End;
            if (t.Kind == TTag::tkEnd && t.Local == local)
                return pos;
        }
        return FXml.size();
    }

    std::size_t SheetData(std::size_t pos)
    {
        TTag tag;
        while (NextTag(FXml, pos, tag)) {
            Copy(pos, tag.Begin);
            pos = tag.End;
            if (tag.Kind == TTag::tkStart && tag.Local == "row") {
                const std::string r = AttrValue(FXml, tag, "r");
                const int row = r.empty() ? FRow + 1 : std::atoi(r.c_str());
                FlushRowsBefore(row);
                FRow = row;
                auto w = FWrites.find(row);
                const std::size_t end = tag.SelfClosing ? pos : SkipTo(pos, "row");
                static const TRowWrite none;
                if (w != FWrites.end()) {
                    FDone.insert(row);
                    pos = PatchRow(tag, pos, w->second);
                } else if (FDropCached && HasElement(pos, end, "f")) {
                    pos = PatchRow(tag, pos, none);
                } else {
                    CopyStartTag(tag, std::to_string(row), {}, false);
                    Copy(pos, end);
                    pos = end;
                }
            } else if (tag.Kind == TTag::tkEnd && tag.Local == "sheetData") {
                FlushRowsBefore(XlsxMaxRows + 1);
                Copy(tag.Begin, tag.End);
                return pos;
            } else {
                Copy(tag.Begin, tag.End);
            }
        }
        return pos;
    }

    std::size_t PatchRow(const TTag& rowTag, std::size_t pos, const TRowWrite& write)
    {
        const int row = FRow;
        const auto& cells = write.Cells;
        FTexts = write.Row;
        CopyStartTag(rowTag, std::to_string(row), "spans", true);
        std::size_t next = 0;  // next written cell to place
        auto flushBefore = [&](int col) {
            while (next < cells.size() && cells[next]->Col < col)
                WriteCell(row, *cells[next++], {});
        };
        if (rowTag.SelfClosing) {
            flushBefore(XlsxMaxCols + 1);
            FOut += "</" + std::string(rowTag.Prefix) + "row>";
            return pos;
        }
        int col = 0;
        TTag tag;
        while (NextTag(FXml, pos, tag)) {
            Copy(pos, tag.Begin);
            pos = tag.End;
            if (tag.Kind == TTag::tkStart && tag.Local == "c") {
                const std::string r = AttrValue(FXml, tag, "r");
                TCellRef ref;
                col = !r.empty() && ParseCellRef(Utf8ToString(r), ref) ? ref.Col : col + 1;
                flushBefore(col);
                const std::size_t cellEnd = tag.SelfClosing ? tag.End : SkipTo(pos, "c");
                if (next < cells.size() && cells[next]->Col == col) {
                    WriteCell(row, *cells[next++], AttrValue(FXml, tag, "s"));
                } else if (FDropCached && HasElement(pos, cellEnd, "f")) {
                    // The formula stays; its result, and the type of that result, go.
                    CopyStartTag(tag, StringToUtf8(CellAddress(row, col, false)), "t", false);
                    CopyWithout(pos, cellEnd, "v");
                } else {
                    CopyStartTag(tag, StringToUtf8(CellAddress(row, col, false)), {}, false);
                    Copy(pos, cellEnd);
                }
                pos = cellEnd;
            } else if (tag.Kind == TTag::tkEnd && tag.Local == "row") {
                flushBefore(XlsxMaxCols + 1);
                Copy(tag.Begin, tag.End);
                return pos;
            } else {
                Copy(tag.Begin, tag.End);
            }
        }
        return pos;
    }

    void FlushRowsBefore(int row)
    {
        for (auto it = FWrites.begin(); it != FWrites.end() && it->first < row; ++it) {
            if (FDone.count(it->first))
                continue;
            FDone.insert(it->first);
            std::string cells;
            std::swap(cells, FOut);
            FTexts = it->second.Row;
            for (const TXlsxCell* c : it->second.Cells)
                WriteCell(it->first, *c, {});
            std::swap(cells, FOut);
            if (!cells.empty())
                FOut += "<" + std::string(FPrefix) + "row r=\"" + std::to_string(it->first) + "\">" + cells + "</"
                    + std::string(FPrefix) + "row>";
        }
    }

    void WriteCell(int row, const TXlsxCell& c, const std::string& style)
    {
        if (c.Kind == TXlsxCell::ckEmpty && style.empty())
            return;
        const std::string p(FPrefix);
        FOut += "<" + p + "c r=\"" + StringToUtf8(CellAddress(row, c.Col, false)) + "\"";
        if (!style.empty())
            FOut += " s=\"" + style + "\"";
        switch (c.Kind) {
        case TXlsxCell::ckEmpty: FOut += "/>"; return;
        case TXlsxCell::ckNumber:
        case TXlsxCell::ckDate: FOut += "><" + p + "v>" + NumberText(c.Number) + "</" + p + "v>"; break;
        case TXlsxCell::ckBoolean: FOut += " t=\"b\"><" + p + "v>" + (c.Number != 0 ? "1" : "0") + "</" + p + "v>"; break;
        case TXlsxCell::ckError: FOut += " t=\"e\"><" + p + "v>" + EncodeCellText(FTexts->Text(c)) + "</" + p + "v>"; break;
        case TXlsxCell::ckText: {
            const std::string_view text = FTexts->Text(c);
            auto space = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n'; };
            const bool edgeSpace = !text.empty() && (space(text.front()) || space(text.back()));
            FOut += " t=\"inlineStr\"><" + p + "is><" + p + "t" + (edgeSpace ? " xml:space=\"preserve\"" : "") + ">"
                + EncodeCellText(text) + "</" + p + "t></" + p + "is>";
            break;
        }
        }
        FOut += "</" + p + "c>";
    }

    string_view FXml;
    const TRowWrites& FWrites;
    bool FDropCached { false };
    std::set<int> FDone;
    const TXlsxRow* FTexts { nullptr };  // the row whose cells are being written
    std::string FOut;
    string_view FPrefix;
    int FRow { 0 };
    TRangeRef FBox;
};

constexpr const char* NewSheetTemplate
    = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
      "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
      "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
      "</worksheet>";

// ---- small DOM edits (workbook, relationships, content types)

class TXmlEdit {
public:
    TXmlEdit(const std::string& bytes, const String& part)
    {
        FDoc = xmlReadMemory(bytes.data(), int(bytes.size()), nullptr, nullptr, SafeXMLParseOptions());
        if (!FDoc || !xmlDocGetRootElement(FDoc))
            throw EXlsxError(u"The part \"" + part + u"\" of the workbook cannot be read");
    }
    ~TXmlEdit() { xmlFreeDoc(FDoc); }
    TXmlEdit(const TXmlEdit&) = delete;
    TXmlEdit& operator=(const TXmlEdit&) = delete;

    xmlNodePtr Root() const { return xmlDocGetRootElement(FDoc); }
    xmlDocPtr Doc() const { return FDoc; }

    std::string Bytes() const
    {
        xmlChar* mem = nullptr;
        int size = 0;
        xmlDocDumpMemoryEnc(FDoc, &mem, &size, "UTF-8");
        std::string out(reinterpret_cast<const char*>(mem), std::size_t(size));
        xmlFree(mem);
        return out;
    }

private:
    xmlDocPtr FDoc { nullptr };
};

bool IsNamed(xmlNodePtr n, const char* local)
{
    return n && n->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(n->name), local) == 0;
}

xmlNodePtr FirstChild(xmlNodePtr parent, const char* local)
{
    for (xmlNodePtr c = parent ? parent->children : nullptr; c; c = c->next)
        if (IsNamed(c, local))
            return c;
    return nullptr;
}

std::vector<xmlNodePtr> ChildList(xmlNodePtr parent, const char* local)
{
    std::vector<xmlNodePtr> out;
    for (xmlNodePtr c = parent ? parent->children : nullptr; c; c = c->next)
        if (IsNamed(c, local))
            out.push_back(c);
    return out;
}

std::string Prop(xmlNodePtr n, const char* name, const char* ns = nullptr)
{
    xmlChar* v = ns ? xmlGetNsProp(n, BAD_CAST name, BAD_CAST ns) : xmlGetNoNsProp(n, BAD_CAST name);
    std::string out = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return out;
}

void SetProp(xmlNodePtr n, const char* name, const std::string& value)
{
    xmlSetProp(n, BAD_CAST name, BAD_CAST value.c_str());
}

} // namespace

void TXlsxWorkbook::SavePatched(const String& tempFile)
{
    Package.NewPartNames.assign(Sheets.size(), String());
    Package.NewRelIds.assign(Sheets.size(), String());

    int err = 0;
    zip_t* src = zip_open(StringToUtf8(SourceFile).c_str(), ZIP_RDONLY, &err);
    if (!src)
        throw EXlsxError(u"Cannot read the workbook \"" + SourceFile + u"\" to save it again");
    std::unique_ptr<zip_t, void (*)(zip_t*)> srcHolder(src, [](zip_t* z) { zip_discard(z); });

    std::map<std::string, std::string> replaced;   // part -> new bytes
    std::vector<std::pair<std::string, std::string>> added;  // new parts in order
    std::set<std::string> dropped;
    auto readPart = [&](const String& part) {
        const std::int64_t index = zip_name_locate(src, StringToUtf8(part).c_str(), 0);
        if (index < 0)
            throw EXlsxError(u"The workbook \"" + SourceFile + u"\" lost its part \"" + part + u"\"");
        return ReadZipPart(src, index, SourceFile);
    };

    // Sheets with written cells, and sheets added since the file was read.
    bool anyWritten = false;
    bool added_sheets = false;
    for (const auto& sheet : Sheets) {
        if (sheet->ChartSheet)
            continue;
        const bool isNew = sheet->PartName.empty();
        if (!isNew && !sheet->Modified)
            continue;
        TRowWrites writes;
        for (const auto& [row, cells] : sheet->Rows)
            for (const TXlsxCell& c : cells.Cells)
                if (isNew ? c.Kind != TXlsxCell::ckEmpty : c.Written) {
                    TRowWrite& w = writes[row];
                    w.Row = &cells;
                    w.Cells.push_back(&c);
                }
        if (isNew) {
            added_sheets = true;
        } else {
            if (writes.empty())
                continue;
            anyWritten = true;
            const std::string xml = readPart(sheet->PartName);
            replaced[StringToUtf8(sheet->PartName)] = TSheetPatcher(xml, writes, HasFormulas).Run();
            continue;
        }
        // A new sheet: a fresh part named after the first free number.
        const String folder = Package.WorkbookPart.substr(0, Package.WorkbookPart.rfind(u'/') + 1);
        String part;
        for (int n = 1;; ++n) {
            part = folder + u"worksheets/sheet" + IntToStr(n) + u".xml";
            const std::string p8 = StringToUtf8(part);
            bool taken = zip_name_locate(src, p8.c_str(), 0) >= 0;
            for (const auto& a : added)
                taken = taken || a.first == p8;
            if (!taken)
                break;
        }
        const std::size_t i = std::size_t(&sheet - &Sheets[0]);
        Package.NewPartNames[i] = part;
        added.emplace_back(StringToUtf8(part), TSheetPatcher(NewSheetTemplate, writes).Run());
    }

    const bool renamed = std::any_of(Sheets.begin(), Sheets.end(),
        [](const auto& s) { return !s->PartName.empty() && s->Name != s->OriginalName; });
    const bool fullCalc = anyWritten && HasFormulas;
    const bool activeChanged = ActiveSheet != Package.OriginalActiveTab;

    // Relationships: new sheets in, the calculation chain out when a formula was overwritten.
    String calcChainPart;
    if (added_sheets || FormulaOverwritten) {
        TXmlEdit rels(readPart(Package.WorkbookRels), Package.WorkbookRels);
        std::set<std::string> ids;
        for (xmlNodePtr r : ChildList(rels.Root(), "Relationship"))
            ids.insert(Prop(r, "Id"));
        if (FormulaOverwritten)
            for (xmlNodePtr r : ChildList(rels.Root(), "Relationship")) {
                const std::string type = Prop(r, "Type");
                if (type.size() >= 10 && type.compare(type.size() - 10, 10, "/calcChain") == 0) {
                    const String folder = Package.WorkbookPart.substr(0, Package.WorkbookPart.rfind(u'/') + 1);
                    calcChainPart = folder + Utf8ToString(Prop(r, "Target"));
                    xmlUnlinkNode(r);
                    xmlFreeNode(r);
                }
            }
        const std::size_t folderLen = Package.WorkbookPart.rfind(u'/') + 1;
        for (std::size_t i = 0; i < Sheets.size(); ++i) {
            if (Package.NewPartNames[i].empty())
                continue;
            std::string id;
            for (int n = 1;; ++n) {
                id = "rId" + std::to_string(n);
                if (!ids.count(id))
                    break;
            }
            ids.insert(id);
            Package.NewRelIds[i] = Utf8ToString(id);
            xmlNodePtr r = xmlNewChild(rels.Root(), rels.Root()->ns, BAD_CAST "Relationship", nullptr);
            SetProp(r, "Id", id);
            SetProp(r, "Type", WorksheetType);
            SetProp(r, "Target", StringToUtf8(Package.NewPartNames[i].substr(folderLen)));
        }
        replaced[StringToUtf8(Package.WorkbookRels)] = rels.Bytes();
        if (!calcChainPart.empty())
            dropped.insert(StringToUtf8(calcChainPart));
    }

    if (added_sheets || !calcChainPart.empty()) {
        TXmlEdit types(readPart(u"[Content_Types].xml"), u"[Content_Types].xml");
        for (xmlNodePtr o : ChildList(types.Root(), "Override"))
            if (!calcChainPart.empty() && Prop(o, "PartName") == "/" + StringToUtf8(calcChainPart)) {
                xmlUnlinkNode(o);
                xmlFreeNode(o);
            }
        for (const auto& [part, bytes] : added) {
            xmlNodePtr o = xmlNewChild(types.Root(), types.Root()->ns, BAD_CAST "Override", nullptr);
            SetProp(o, "PartName", "/" + part);
            SetProp(o, "ContentType", WorksheetContentType);
        }
        replaced["[Content_Types].xml"] = types.Bytes();
    }

    if (added_sheets || renamed || fullCalc || activeChanged) {
        TXmlEdit wb(readPart(Package.WorkbookPart), Package.WorkbookPart);
        xmlNodePtr root = wb.Root();
        xmlNodePtr sheetsNode = FirstChild(root, "sheets");
        if (!sheetsNode)
            throw EXlsxError(u"The workbook part of \"" + SourceFile + u"\" lists no sheets");
        xmlNsPtr relNs = xmlSearchNsByHref(wb.Doc(), root, BAD_CAST RelNs);
        if (!relNs)
            relNs = xmlNewNs(root, BAD_CAST RelNs, BAD_CAST "r");
        // Sheets in the model's order: existing elements keep their attributes.
        std::map<std::string, std::pair<xmlNodePtr, int>> byRel;
        int oldIndex = 0, maxId = 0;
        for (xmlNodePtr s : ChildList(sheetsNode, "sheet")) {
            byRel[Prop(s, "id", RelNs)] = { s, oldIndex++ };
            maxId = std::max(maxId, std::atoi(Prop(s, "sheetId").c_str()));
            xmlUnlinkNode(s);
        }
        std::map<int, int> newIndexOf;
        for (std::size_t i = 0; i < Sheets.size(); ++i) {
            const TXlsxSheet& sheet = *Sheets[i];
            xmlNodePtr node = nullptr;
            if (!Package.NewPartNames[i].empty()) {
                node = xmlNewNode(sheetsNode->ns, BAD_CAST "sheet");
                SetProp(node, "name", StringToUtf8(sheet.Name));
                SetProp(node, "sheetId", std::to_string(++maxId));
                xmlNewNsProp(node, relNs, BAD_CAST "id", BAD_CAST StringToUtf8(Package.NewRelIds[i]).c_str());
            } else {
                auto it = byRel.find(StringToUtf8(sheet.RelId));
                if (it == byRel.end())
                    throw EXlsxError(u"The workbook part of \"" + SourceFile + u"\" lost the sheet \"" + sheet.Name
                        + u"\"");
                node = it->second.first;
                newIndexOf[it->second.second] = int(i);
                SetProp(node, "name", StringToUtf8(sheet.Name));
                byRel.erase(it);
            }
            xmlAddChild(sheetsNode, node);
        }
        for (auto& [id, left] : byRel)
            xmlFreeNode(left.first);
        for (xmlNodePtr d : ChildList(FirstChild(root, "definedNames"), "definedName")) {
            const std::string local = Prop(d, "localSheetId");
            if (local.empty())
                continue;
            auto it = newIndexOf.find(std::atoi(local.c_str()));
            if (it != newIndexOf.end())
                SetProp(d, "localSheetId", std::to_string(it->second));
        }
        if (xmlNodePtr view = FirstChild(FirstChild(root, "bookViews"), "workbookView"))
            SetProp(view, "activeTab", std::to_string(ActiveSheet));
        if (fullCalc) {
            xmlNodePtr calc = FirstChild(root, "calcPr");
            if (!calc) {
                // calcPr follows sheets and the few parts the schema puts between.
                xmlNodePtr after = sheetsNode;
                for (const char* name : { "functionGroups", "externalReferences", "definedNames" })
                    if (xmlNodePtr n = FirstChild(root, name))
                        after = n;
                calc = xmlNewNode(root->ns, BAD_CAST "calcPr");
                xmlAddNextSibling(after, calc);
            }
            SetProp(calc, "fullCalcOnLoad", "1");
        }
        replaced[StringToUtf8(Package.WorkbookPart)] = wb.Bytes();
    }

    // The new package: every entry in its old order, then the added parts.
    zip_t* dst = zip_open(StringToUtf8(tempFile).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!dst)
        throw EXlsxError(u"Cannot write the workbook \"" + tempFile + u"\"");
    auto fail = [&](const String& what) {
        String why = Utf8ToString(zip_strerror(dst));
        zip_discard(dst);
        throw EXlsxError(u"Cannot save the workbook: " + what + u" (" + why + u")");
    };
    auto addBytes = [&](const std::string& name, const std::string& bytes) {
        zip_source_t* s = zip_source_buffer(dst, bytes.data(), bytes.size(), 0);
        if (!s)
            fail(u"out of memory");
        const zip_int64_t idx = zip_file_add(dst, name.c_str(), s, ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(s);
            fail(Utf8ToString(name));
        }
        zip_set_file_compression(dst, zip_uint64_t(idx), ZIP_CM_DEFLATE, 6);
    };
    const zip_int64_t count = zip_get_num_entries(src, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(src, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!name)
            fail(u"an entry without a name");
        if (dropped.count(name))
            continue;
        if (auto it = replaced.find(name); it != replaced.end()) {
            addBytes(name, it->second);
            continue;
        }
        zip_source_t* s = zip_source_zip(dst, src, zip_uint64_t(i), 0, 0, -1);
        if (!s)
            fail(Utf8ToString(name));
        if (zip_file_add(dst, name, s, ZIP_FL_ENC_RAW) < 0) {
            zip_source_free(s);
            fail(Utf8ToString(name));
        }
    }
    for (const auto& [name, bytes] : added)
        addBytes(name, bytes);
    if (zip_close(dst) != 0)
        fail(u"the package could not be written");
}
