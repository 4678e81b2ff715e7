// Reading .xlsx packages: our own reader over libzip and libxml2. Files are
// untrusted: every part is inflated under a size cap counted as it inflates,
// XML goes through the DOM's safe parser options, document type declarations
// are refused, and references outside the sheet or the string table count as
// damage.

#include "platform/automation/Xlsx.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <libxml/xmlreader.h>
#include <zip.h>

#include "platform/automation/XMLDOM.h"
#include "platform/rtl/SysUtils.h"

namespace {

[[noreturn]] void RaiseDamaged(const String& fileName, const String& why)
{
    throw EXlsxError(u"The workbook \"" + fileName + u"\" is damaged: " + why);
}

std::string Narrow(const String& s) { return StringToUtf8(s); }

// The local part of a qualified name ("r:id" -> "id").
StringView LocalName(StringView name)
{
    const auto colon = name.rfind(u':');
    return colon == StringView::npos ? name : name.substr(colon + 1);
}

// An attribute by local name (relationship ids come with any prefix).
String Attr(const TXMLNode& node, StringView local)
{
    for (int i = 0; i < node.GetAttributeCount(); ++i)
        if (LocalName(node.GetAttributeName(i)) == local)
            return node.GetAttributeValue(i);
    return {};
}

std::vector<TXMLNode> Children(const TXMLNode& node, StringView local)
{
    std::vector<TXMLNode> out;
    for (int i = 0; i < node.GetChildCount(); ++i) {
        TXMLNode c = node.GetChild(i);
        if (c.GetNodeType() == ntElement && LocalName(c.GetNodeName()) == local)
            out.push_back(c);
    }
    return out;
}

TXMLNode Child(const TXMLNode& node, StringView local)
{
    auto all = Children(node, local);
    return all.empty() ? TXMLNode() : all.front();
}

// A relationship target resolved against the folder of the part that names it.
String ResolvePart(const String& sourcePart, const String& target)
{
    String path;
    if (!target.empty() && target[0] == u'/') {
        path = target.substr(1);
    } else {
        const auto slash = sourcePart.rfind(u'/');
        path = (slash == String::npos ? String() : sourcePart.substr(0, slash + 1)) + target;
    }
    std::vector<String> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find(u'/', start);
        if (end == String::npos)
            end = path.size();
        String seg = path.substr(start, end - start);
        if (seg == u"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!seg.empty() && seg != u".") {
            parts.push_back(seg);
        }
        start = end + 1;
    }
    String out;
    for (const auto& p : parts)
        out += (out.empty() ? u"" : u"/") + p;
    return out;
}

// The rels part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
String RelsPartOf(const String& part)
{
    const auto slash = part.rfind(u'/');
    if (slash == String::npos)
        return u"_rels/" + part + u".rels";
    return part.substr(0, slash + 1) + u"_rels/" + part.substr(slash + 1) + u".rels";
}

struct TRelationship {
    String Id, Type, Target;
};

class TZipPackage {
public:
    TZipPackage(const String& fileName) : FFileName(fileName)
    {
        int err = 0;
        FZip = zip_open(Narrow(fileName).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
        if (!FZip) {
            zip_error_t ze;
            zip_error_init_with_code(&ze, err);
            String why = Utf8ToString(zip_error_strerror(&ze));
            zip_error_fini(&ze);
            RaiseDamaged(fileName, u"not a readable zip package (" + why + u")");
        }
    }
    ~TZipPackage() { zip_discard(FZip); }
    TZipPackage(const TZipPackage&) = delete;
    TZipPackage& operator=(const TZipPackage&) = delete;

    zip_t* Handle() const { return FZip; }
    std::int64_t Find(const String& part) const { return zip_name_locate(FZip, Narrow(part).c_str(), 0); }
    bool Has(const String& part) const { return Find(part) >= 0; }

    std::string Read(const String& part) const
    {
        const std::int64_t index = Find(part);
        if (index < 0)
            RaiseDamaged(FFileName, u"the part \"" + part + u"\" is missing");
        return ReadZipPart(FZip, index, FFileName);
    }

    TXMLDocument ReadXml(const String& part) const
    {
        const std::string bytes = Read(part);
        TXMLDocument doc;
        try {
            doc.LoadFromBytes(bytes.data(), bytes.size());
        } catch (const EXMLDocumentError& e) {
            RaiseDamaged(FFileName, u"\"" + part + u"\": " + e.Message);
        }
        return doc;
    }

    std::vector<TRelationship> Relationships(const String& part) const
    {
        std::vector<TRelationship> rels;
        const String relsPart = RelsPartOf(part);
        if (!Has(relsPart))
            return rels;
        TXMLDocument doc = ReadXml(relsPart);
        for (const TXMLNode& r : Children(doc.GetDocumentElement(), u"Relationship")) {
            if (Attr(r, u"TargetMode") == u"External")
                continue;
            rels.push_back({ Attr(r, u"Id"), Attr(r, u"Type"), ResolvePart(part, Attr(r, u"Target")) });
        }
        return rels;
    }

    const String& FileName() const { return FFileName; }

private:
    String FFileName;
    zip_t* FZip { nullptr };
};

bool EndsWith(const String& s, StringView tail) { return s.size() >= tail.size() && StringView(s).substr(s.size() - tail.size()) == tail; }

// ---- styles: which cell formats show dates

bool IsDateFormatCode(const String& code)
{
    bool sawDate = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char16_t ch = code[i];
        if (ch == u'"') {
            const auto end = code.find(u'"', i + 1);
            if (end == String::npos)
                break;
            i = end;
        } else if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i;
        } else if (ch == u'[') {
            const auto end = code.find(u']', i + 1);
            if (end == String::npos)
                break;
            // Elapsed times ([h], [mm], [ss]) are times; colours and locales are not.
            const String inner = AnsiLowerCase(code.substr(i + 1, end - i - 1));
            if (!inner.empty() && inner.find_first_not_of(u"hms") == String::npos)
                sawDate = true;
            i = end;
        } else if (ch == u';') {
            break;  // the first section decides
        } else {
            const char16_t lower = (ch >= u'A' && ch <= u'Z') ? char16_t(ch + 32) : ch;
            if (lower == u'd' || lower == u'm' || lower == u'y' || lower == u'h' || lower == u's')
                sawDate = true;
        }
    }
    return sawDate && AnsiLowerCase(code) != u"general";
}

bool IsBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

std::vector<bool> ReadDateStyles(const TZipPackage& zip, const String& stylesPart)
{
    std::vector<bool> dates;
    if (stylesPart.empty() || !zip.Has(stylesPart))
        return dates;
    TXMLDocument doc = zip.ReadXml(stylesPart);
    const TXMLNode root = doc.GetDocumentElement();
    std::map<int, bool> custom;
    for (const TXMLNode& f : Children(Child(root, u"numFmts"), u"numFmt"))
        custom[StrToIntDef(Attr(f, u"numFmtId"), -1)] = IsDateFormatCode(Attr(f, u"formatCode"));
    for (const TXMLNode& xf : Children(Child(root, u"cellXfs"), u"xf")) {
        const int id = StrToIntDef(Attr(xf, u"numFmtId"), 0);
        auto it = custom.find(id);
        dates.push_back(it != custom.end() ? it->second : IsBuiltInDateFormat(id));
    }
    return dates;
}

// ---- streaming XML over a zip entry

struct TZipInput {
    zip_file_t* File { nullptr };
    std::uint64_t Count { 0 };
    std::uint64_t Cap { 0 };
    bool CapHit { false };
    bool ReadError { false };
};

int ZipRead(void* context, char* buffer, int len)
{
    auto* in = static_cast<TZipInput*>(context);
    const zip_int64_t n = zip_fread(in->File, buffer, zip_uint64_t(len));
    if (n < 0) {
        in->ReadError = true;
        return -1;
    }
    in->Count += std::uint64_t(n);
    if (in->Count > in->Cap) {
        in->CapHit = true;
        return -1;
    }
    return int(n);
}

int ZipClose(void*) { return 0; }

class TPartReader {
public:
    TPartReader(const TZipPackage& zip, const String& part) : FZip(zip), FPart(part)
    {
        const std::int64_t index = zip.Find(part);
        if (index < 0)
            RaiseDamaged(zip.FileName(), u"the part \"" + part + u"\" is missing");
        FInput.File = zip_fopen_index(zip.Handle(), zip_uint64_t(index), 0);
        if (!FInput.File)
            RaiseDamaged(zip.FileName(), u"the part \"" + part + u"\" cannot be read");
        FInput.Cap = XlsxReadLimits().MaxPartBytes;
        // Compact text nodes: fewer allocations for the many short cell values.
        FReader = xmlReaderForIO(ZipRead, ZipClose, &FInput, nullptr, nullptr, SafeXMLParseOptions() | XML_PARSE_COMPACT);
        if (!FReader) {
            zip_fclose(FInput.File);
            throw EOutOfMemory(u"Out of memory");
        }
    }
    ~TPartReader()
    {
        xmlFreeTextReader(FReader);
        zip_fclose(FInput.File);
    }
    TPartReader(const TPartReader&) = delete;
    TPartReader& operator=(const TPartReader&) = delete;

    // The next node; false at the end. Raises on damage and on the size cap.
    bool Next()
    {
        const int r = xmlTextReaderRead(FReader);
        if (r == 1) {
            FType = xmlTextReaderNodeType(FReader);
            if (FType == XML_READER_TYPE_DOCUMENT_TYPE)
                RaiseDamaged(FZip.FileName(), u"\"" + FPart + u"\" declares a document type");
            return true;
        }
        if (FInput.CapHit)
            throw EXlsxError(u"The workbook \"" + FZip.FileName() + u"\" is too large to read: the part \"" + FPart
                + u"\" inflates to more than " + IntToStr(Int64(XlsxReadLimits().MaxPartBytes)) + u" bytes");
        if (r < 0 || FInput.ReadError)
            RaiseDamaged(FZip.FileName(), u"\"" + FPart + u"\" is not well-formed");
        return false;
    }

    int Type() const { return FType; }
    bool IsElement() const { return Type() == XML_READER_TYPE_ELEMENT; }
    bool IsEnd() const { return Type() == XML_READER_TYPE_END_ELEMENT; }
    bool IsText() const
    {
        const int t = Type();
        return t == XML_READER_TYPE_TEXT || t == XML_READER_TYPE_SIGNIFICANT_WHITESPACE || t == XML_READER_TYPE_CDATA
            || t == XML_READER_TYPE_WHITESPACE;
    }
    bool IsEmptyElement() const { return xmlTextReaderIsEmptyElement(FReader) == 1; }
    const char* Name() const
    {
        const xmlChar* n = xmlTextReaderConstLocalName(FReader);
        return n ? reinterpret_cast<const char*>(n) : "";
    }
    bool Is(const char* name) const { return std::strcmp(Name(), name) == 0; }
    const char* Value() const
    {
        const xmlChar* v = xmlTextReaderConstValue(FReader);
        return v ? reinterpret_cast<const char*>(v) : "";
    }
    // Calls f(localName, value) for each attribute of the current element.
    template<class F>
    void Attributes(F&& f)
    {
        if (xmlTextReaderMoveToFirstAttribute(FReader) != 1)
            return;
        do {
            f(Name(), Value());
        } while (xmlTextReaderMoveToNextAttribute(FReader) == 1);
        xmlTextReaderMoveToElement(FReader);
    }

    String Where() const { return u"\"" + FPart + u"\""; }

private:
    const TZipPackage& FZip;
    String FPart;
    TZipInput FInput;
    xmlTextReaderPtr FReader { nullptr };
    int FType { 0 };  // of the current node
};

// The shared strings as UTF-8, escapes decoded.
std::vector<std::string> ReadSharedStrings(const TZipPackage& zip, const String& part)
{
    std::vector<std::string> strings;
    if (part.empty() || !zip.Has(part))
        return strings;
    TPartReader r(zip, part);
    std::string text;
    bool inItem = false, inT = false;
    int phonetic = 0;
    while (r.Next()) {
        if (r.IsElement()) {
            if (r.Is("si")) {
                inItem = true;
                text.clear();
                if (r.IsEmptyElement()) {
                    strings.emplace_back();
                    inItem = false;
                }
            } else if (r.Is("rPh")) {
                phonetic += r.IsEmptyElement() ? 0 : 1;
            } else if (r.Is("t") && !r.IsEmptyElement()) {
                inT = true;
            }
        } else if (r.IsEnd()) {
            if (r.Is("si") && inItem) {
                std::string& decoded = strings.emplace_back();
                AppendDecodedXlsxText(decoded, text);
                inItem = false;
            } else if (r.Is("rPh")) {
                --phonetic;
            } else if (r.Is("t")) {
                inT = false;
            }
        } else if (inItem && inT && phonetic == 0 && r.IsText()) {
            // Rich text runs are joined; phonetic guides are left out.
            text += r.Value();
        }
    }
    return strings;
}

bool ParseNumber(const std::string& text, double& value)
{
    const char* b = text.data();
    const char* e = b + text.size();
    while (b < e && (*b == ' ' || *b == '\t' || *b == '\n' || *b == '\r'))
        ++b;
    while (e > b && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\n' || e[-1] == '\r'))
        --e;
    if (b < e && *b == '+')
        ++b;
    auto [p, ec] = std::from_chars(b, e, value);
    return ec == std::errc() && p == e && b != e;
}

// "2024-01-31", "2024-01-31T12:30:00", "12:30:00"
bool ParseIsoDate(const std::string& text, double& serial)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    double s = 0;
    const char* t = text.c_str();
    if (std::sscanf(t, "%4d-%2d-%2d", &y, &mo, &d) == 3) {
        const char* tp = std::strchr(t, 'T');
        if (tp && std::sscanf(tp + 1, "%2d:%2d:%lf", &h, &mi, &s) < 2)
            return false;
    } else if (std::sscanf(t, "%2d:%2d:%lf", &h, &mi, &s) >= 2) {
        y = 1899, mo = 12, d = 30;
    } else {
        return false;
    }
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 24 || mi > 59 || s >= 61)
        return false;
    // Days from the civil date (proleptic Gregorian), then from 1899-12-30.
    const int yy = y - (mo <= 2 ? 1 : 0);
    const int era = (yy >= 0 ? yy : yy - 399) / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = long(era) * 146097 + doe - 719468;  // since 1970-01-01
    serial = double(days + 25569) + (h * 3600 + mi * 60 + s) / 86400.0;
    return true;
}

// ParseCellRef over the parser's bytes, without making a String per cell.
bool ParseCellRefBytes(const char* text, TCellRef& ref)
{
    char16_t buf[16];
    std::size_t n = 0;
    for (; text[n]; ++n) {
        if (n == 15 || static_cast<unsigned char>(text[n]) >= 0x80)
            return false;
        buf[n] = char16_t(text[n]);
    }
    return ParseCellRef(StringView(buf, n), ref);
}

void ReadSheet(const TZipPackage& zip, TXlsxWorkbook& book, TXlsxSheet& sheet, const std::vector<std::string>& strings,
    const std::vector<bool>& dateStyles, std::uint64_t& cellsLeft, std::uint64_t& textBytesLeft)
{
    TPartReader r(zip, sheet.PartName);
    const String& file = zip.FileName();
    int row = 0, col = 0;
    bool inSheetData = false, inCell = false, inV = false, inIs = false, inT = false, sawSelection = false;
    int phonetic = 0;
    TXlsxSheet::TRow* rowCells = nullptr;  // the current row's cells, once it has any
    // The current cell.
    std::string type, value, inlineText;
    int style = 0;
    bool formula = false;
    auto finishCell = [&] {
        TXlsxCell c;
        c.Col = col;
        c.Formula = formula;
        const bool hasValue = !value.empty() || type == "inlineStr" || type == "str";
        // Texts: the bytes and whether their escapes still need decoding.
        std::string_view text;
        bool escaped = false;
        if (type == "inlineStr") {
            c.Kind = TXlsxCell::ckText;
            text = inlineText;
            escaped = true;
        } else if (!hasValue) {
            c.Kind = TXlsxCell::ckEmpty;
        } else if (type == "s") {
            double idx = -1;
            if (!ParseNumber(value, idx) || idx < 0 || idx >= double(strings.size()) || idx != std::floor(idx))
                RaiseDamaged(file, u"cell " + CellAddress(row, col, false) + u" refers to shared string " + Utf8ToString(value)
                    + u", which does not exist");
            c.Kind = TXlsxCell::ckText;
            text = strings[std::size_t(idx)];
        } else if (type == "str") {
            c.Kind = TXlsxCell::ckText;
            text = value;
            escaped = true;
        } else if (type == "b") {
            c.Kind = TXlsxCell::ckBoolean;
            c.Number = (value == "1" || value == "true") ? 1 : 0;
        } else if (type == "e") {
            c.Kind = TXlsxCell::ckError;
            text = value;
        } else if (type == "d") {
            double serial = 0;
            if (!ParseIsoDate(value, serial))
                RaiseDamaged(file, u"cell " + CellAddress(row, col, false) + u" holds no date");
            c.Kind = TXlsxCell::ckDate;
            c.Number = book.Date1904 ? serial - 1462 : serial;
        } else {
            double n = 0;
            if (!ParseNumber(value, n))
                RaiseDamaged(file, u"cell " + CellAddress(row, col, false) + u" holds no number");
            const bool date = style >= 0 && std::size_t(style) < dateStyles.size() && dateStyles[std::size_t(style)];
            c.Kind = date ? TXlsxCell::ckDate : TXlsxCell::ckNumber;
            c.Number = n;
        }
        if (c.Kind == TXlsxCell::ckEmpty && !c.Formula)
            return;
        if (cellsLeft == 0)
            throw EXlsxError(u"The workbook \"" + file + u"\" has too many cells to read (more than "
                + IntToStr(Int64(XlsxReadLimits().MaxCells)) + u")");
        --cellsLeft;
        if (c.Formula)
            book.HasFormulas = true;
        if (!rowCells)
            rowCells = &sheet.Rows[row];
        auto& cells = rowCells->Cells;
        if (!cells.empty() && cells.back().Col >= col)
            RaiseDamaged(file, u"cell " + CellAddress(row, col, false) + u" is out of order");
        TXlsxCell& stored = cells.emplace_back(c);
        if (c.Kind == TXlsxCell::ckText || c.Kind == TXlsxCell::ckError) {
            stored.Kind = TXlsxCell::ckEmpty;  // it holds no text yet
            // Shared strings may be repeated endlessly: what the texts add up
            // to is counted against its own cap.
            if (text.size() + 1 > textBytesLeft)
                throw EXlsxError(u"The workbook \"" + file + u"\" is too large to read: its texts add up to more than "
                    + IntToStr(Int64(XlsxReadLimits().MaxTextBytes)) + u" bytes");
            const std::size_t before = rowCells->TextBytes();
            if (escaped && text.find("_x") != std::string_view::npos) {
                std::string decoded;
                AppendDecodedXlsxText(decoded, text);
                rowCells->SetText(stored, std::string_view(decoded));
            } else {
                rowCells->SetText(stored, text);
            }
            textBytesLeft -= std::min<std::uint64_t>(textBytesLeft, rowCells->TextBytes() - before);
            stored.Kind = c.Kind;
        }
    };
    auto badCell = [&](const char* ref) {
        RaiseDamaged(file, u"the cell reference \"" + Utf8ToString(ref) + u"\" in " + r.Where()
            + u" lies outside A1:XFD1048576");
    };

    while (r.Next()) {
        if (r.IsElement()) {
            const char* name = r.Name();
            if (!inSheetData) {
                if (std::strcmp(name, "sheetData") == 0) {
                    inSheetData = !r.IsEmptyElement();
                } else if (std::strcmp(name, "selection") == 0 && !sawSelection) {
                    sawSelection = true;
                    r.Attributes([&](const char* n, const char* v) {
                        TCellRef ref;
                        if (std::strcmp(n, "activeCell") == 0 && ParseCellRef(Utf8ToString(v), ref))
                            sheet.ActiveCell = ref;
                    });
                }
                continue;
            }
            if (std::strcmp(name, "row") == 0) {
                int next = row + 1;
                r.Attributes([&](const char* n, const char* v) {
                    if (std::strcmp(n, "r") == 0) {
                        double d = 0;
                        next = ParseNumber(v, d) && d >= 1 && d <= XlsxMaxRows && d == std::floor(d) ? int(d) : -1;
                    }
                });
                if (next < 1 || next > XlsxMaxRows)
                    RaiseDamaged(file, u"a row number in " + r.Where() + u" lies outside 1..1048576");
                if (next <= row)
                    RaiseDamaged(file, u"the rows of " + r.Where() + u" are out of order");
                // Rows tend to be alike: room for as many cells as the last one had.
                const std::size_t lastWidth = rowCells ? rowCells->Cells.size() : 0;
                const std::size_t lastTexts = rowCells ? rowCells->TextBytes() : 0;
                row = next;
                col = 0;
                rowCells = nullptr;
                if (lastWidth > 0) {
                    rowCells = &sheet.Rows.emplace_hint(sheet.Rows.end(), row, TXlsxSheet::TRow {})->second;
                    rowCells->Cells.reserve(lastWidth);
                    // A little more than the last row, so most rows fit without growing.
                    rowCells->ReserveTexts(lastTexts + lastTexts / 8);
                }
            } else if (std::strcmp(name, "c") == 0) {
                if (row == 0) {
                    row = 1;
                    rowCells = nullptr;
                }
                type.clear();
                value.clear();
                inlineText.clear();
                style = 0;
                formula = false;
                int nextCol = col + 1;
                r.Attributes([&](const char* n, const char* v) {
                    if (std::strcmp(n, "r") == 0) {
                        TCellRef ref;
                        if (!ParseCellRefBytes(v, ref))
                            badCell(v);
                        if (ref.Row != row)
                            RaiseDamaged(file, u"cell " + Utf8ToString(v) + u" stands in row " + IntToStr(row));
                        nextCol = ref.Col;
                    } else if (std::strcmp(n, "t") == 0) {
                        type = v;
                    } else if (std::strcmp(n, "s") == 0) {
                        style = std::atoi(v);
                    }
                });
                if (nextCol > XlsxMaxCols)
                    badCell((Narrow(ColumnLetters(XlsxMaxCols)) + "+").c_str());
                col = nextCol;
                if (r.IsEmptyElement())
                    finishCell();
                else
                    inCell = true;
            } else if (inCell && std::strcmp(name, "v") == 0) {
                inV = !r.IsEmptyElement();
            } else if (inCell && std::strcmp(name, "f") == 0) {
                formula = true;
                std::string ft, ref;
                r.Attributes([&](const char* n, const char* v) {
                    if (std::strcmp(n, "t") == 0)
                        ft = v;
                    else if (std::strcmp(n, "ref") == 0)
                        ref = v;
                });
                TRangeRef area;
                if (!ref.empty() && ParseRangeRef(Utf8ToString(ref), area)) {
                    if (ft == "array")
                        sheet.ArrayFormulas.push_back(area);
                    else if (ft == "shared")
                        sheet.SharedFormulas.push_back({ { row, col }, area });
                }
            } else if (inCell && std::strcmp(name, "is") == 0) {
                inIs = !r.IsEmptyElement();
            } else if (inIs && std::strcmp(name, "rPh") == 0) {
                phonetic += r.IsEmptyElement() ? 0 : 1;
            } else if (inIs && std::strcmp(name, "t") == 0) {
                inT = !r.IsEmptyElement();
            }
        } else if (r.IsEnd()) {
            const char* name = r.Name();
            if (std::strcmp(name, "sheetData") == 0) {
                inSheetData = false;
            } else if (inCell && std::strcmp(name, "c") == 0) {
                inCell = inV = inIs = inT = false;
                finishCell();
            } else if (std::strcmp(name, "v") == 0) {
                inV = false;
            } else if (std::strcmp(name, "is") == 0) {
                inIs = false;
            } else if (std::strcmp(name, "t") == 0) {
                inT = false;
            } else if (std::strcmp(name, "rPh") == 0) {
                --phonetic;
            }
        } else if (r.IsText()) {
            if (inV)
                value += r.Value();
            else if (inT && phonetic == 0)
                inlineText += r.Value();
        }
    }
}

void CheckSignature(const String& fileName)
{
    FILE* f = std::fopen(Narrow(fileName).c_str(), "rb");
    if (!f)
        throw EXlsxError(u"Cannot open the workbook \"" + fileName + u"\": " + Utf8ToString(std::strerror(errno)));
    unsigned char head[8] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    static const unsigned char ole[8] = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };
    if (n == 8 && std::memcmp(head, ole, 8) == 0)
        throw EXlsxError(u"\"" + fileName
            + u"\" is a binary .xls workbook or an encrypted workbook; only unencrypted .xlsx workbooks can be read");
    if (n < 4 || head[0] != 'P' || head[1] != 'K')
        throw EXlsxError(u"\"" + fileName + u"\" is not an .xlsx workbook");
}

} // namespace

TZipPartFault InflateZipPart(zip* archive, std::int64_t index, std::string& out)
{
    zip_file_t* f = zip_fopen_index(archive, zip_uint64_t(index), 0);
    if (!f)
        return TZipPartFault::CannotOpen;
    char buf[65536];
    const std::uint64_t cap = XlsxReadLimits().MaxPartBytes;
    TZipPartFault fault = TZipPartFault::None;
    for (;;) {
        const zip_int64_t n = zip_fread(f, buf, sizeof buf);
        if (n < 0) {
            fault = TZipPartFault::DoesNotInflate;
            break;
        }
        if (n == 0)
            break;
        if (out.size() + std::uint64_t(n) > cap) {
            fault = TZipPartFault::TooLarge;
            break;
        }
        out.append(buf, std::size_t(n));
    }
    zip_fclose(f);
    return fault;
}

std::string ReadZipPart(zip* archive, std::int64_t index, const String& fileName)
{
    std::string out;
    switch (InflateZipPart(archive, index, out)) {
    case TZipPartFault::None:
        return out;
    case TZipPartFault::CannotOpen:
        RaiseDamaged(fileName, u"a part cannot be read");
    case TZipPartFault::DoesNotInflate:
        RaiseDamaged(fileName, u"a part does not inflate");
    case TZipPartFault::TooLarge:
        break;
    }
    throw EXlsxError(u"The workbook \"" + fileName + u"\" is too large to read: a part inflates to more than "
        + IntToStr(Int64(XlsxReadLimits().MaxPartBytes)) + u" bytes");
}

std::shared_ptr<TXlsxWorkbook> TXlsxWorkbook::Open(const String& fileName)
{
    CheckSignature(fileName);
    TZipPackage zip(fileName);
    auto book = std::make_shared<TXlsxWorkbook>();
    book->FileName = fileName;
    book->SourceFile = fileName;

    String workbookPart;
    for (const auto& rel : zip.Relationships(u""))
        if (EndsWith(rel.Type, u"/officeDocument"))
            workbookPart = rel.Target;
    if (workbookPart.empty() && zip.Has(u"xl/workbook.xml"))
        workbookPart = u"xl/workbook.xml";
    if (workbookPart.empty() || !zip.Has(workbookPart))
        throw EXlsxError(u"\"" + fileName + u"\" is a zip file but no .xlsx workbook");
    book->Package.WorkbookPart = workbookPart;
    book->Package.WorkbookRels = RelsPartOf(workbookPart);

    String sharedPart, stylesPart;
    std::map<String, TRelationship> byId;
    for (const auto& rel : zip.Relationships(workbookPart)) {
        byId[rel.Id] = rel;
        if (EndsWith(rel.Type, u"/sharedStrings"))
            sharedPart = rel.Target;
        else if (EndsWith(rel.Type, u"/styles"))
            stylesPart = rel.Target;
    }

    TXMLDocument wb = zip.ReadXml(workbookPart);
    const TXMLNode root = wb.GetDocumentElement();
    const String date1904 = Attr(Child(root, u"workbookPr"), u"date1904");
    book->Date1904 = date1904 == u"1" || SameText(date1904, u"true");
    for (const TXMLNode& s : Children(Child(root, u"sheets"), u"sheet")) {
        auto sheet = std::make_shared<TXlsxSheet>();
        sheet->Name = Attr(s, u"name");
        sheet->OriginalName = sheet->Name;
        sheet->RelId = Attr(s, u"id");
        auto it = byId.find(sheet->RelId);
        if (it == byId.end() || !zip.Has(it->second.Target))
            RaiseDamaged(fileName, u"the sheet \"" + sheet->Name + u"\" has no part");
        sheet->PartName = it->second.Target;
        sheet->ChartSheet = !EndsWith(it->second.Type, u"/worksheet");
        book->Sheets.push_back(std::move(sheet));
    }
    if (book->Sheets.empty())
        RaiseDamaged(fileName, u"it has no sheets");
    const int activeTab = StrToIntDef(Attr(Child(Child(root, u"bookViews"), u"workbookView"), u"activeTab"), 0);
    book->ActiveSheet = activeTab >= 0 && activeTab < int(book->Sheets.size()) ? activeTab : 0;
    book->Package.OriginalActiveTab = book->ActiveSheet;

    const std::vector<bool> dateStyles = ReadDateStyles(zip, stylesPart);
    const std::vector<std::string> strings = ReadSharedStrings(zip, sharedPart);
    std::uint64_t cellsLeft = XlsxReadLimits().MaxCells;
    std::uint64_t textBytesLeft = XlsxReadLimits().MaxTextBytes;
    for (auto& sheet : book->Sheets)
        if (!sheet->ChartSheet)
            ReadSheet(zip, *book, *sheet, strings, dateStyles, cellsLeft, textBytesLeft);
    return book;
}
