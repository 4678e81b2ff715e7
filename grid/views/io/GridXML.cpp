// The save range as a simple XML list (one element per record, one per
// field) and as JSON; XML documents read back into cells through the
// "Microsoft.XMLDOM" server by walking the element tree.

#include <cstdio>

#include "grid/core/DedOzovedUrad.h"
#include "platform/automation/ComObj.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Writes the whole file; a file that cannot be created raises the grid's
// error with the fixed text.
void WriteWholeFile(const String& FileName, const std::string& Bytes)
{
    FILE* f = std::fopen(StringToUtf8(FileName).c_str(), "wb");
    if (!f)
        throw ERirEvozError(u"Cannot Create file " + FileName);
    const bool ok = std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
    if (std::fclose(f) != 0 || !ok)
        throw EInOutError(u"The file \"" + FileName + u"\" could not be written completely");
}

enum class TXMLCharset { Latin1, UTF8, ASCII };

TXMLCharset CharsetOf(const String& Encoding)
{
    const String e = AnsiUpperCase(Trim(Encoding));
    if (e == u"ISO-8859-1" || e == u"LATIN1" || e == u"ISO_8859-1" || e == u"L1")
        return TXMLCharset::Latin1;
    if (e == u"UTF-8" || e == u"UTF8")
        return TXMLCharset::UTF8;
    if (e.starts_with(u"UTF-16") || e.starts_with(u"UTF-32") || e.starts_with(u"UCS"))
        throw ERirEvozError(u"XML files cannot be written in the encoding " + Encoding);
    // Any other ASCII-compatible encoding: only ASCII bytes are written,
    // everything else as character references.
    return TXMLCharset::ASCII;
}

void AppendCodePoint(std::string& Out, char32_t Code, TXMLCharset Charset)
{
    if (Code < 0x80 || (Charset == TXMLCharset::Latin1 && Code < 0x100)) {
        Out += char(Code);
        return;
    }
    if (Charset == TXMLCharset::UTF8 && Code < 0x100) {
        Out += StringToUtf8(String(1, char16_t(Code)));
        return;
    }
    Out += "&#" + std::to_string(std::uint32_t(Code)) + ";";
}

// A value as element content: markup characters as entities, characters
// above 255 (and whatever the encoding cannot hold) as references; CR as a
// reference too, or the parser would fold CR LF into LF; characters XML
// cannot hold at all as the replacement character.
void AppendXMLValue(std::string& Out, StringView Text, TXMLCharset Charset)
{
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t ch = Text[i];
        if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (ch >= 0xD800 && ch <= 0xDFFF) {
            ch = 0xFFFD;
        }
        switch (ch) {
        case u'&': Out += "&amp;"; break;
        case u'>': Out += "&gt;"; break;
        case u'<': Out += "&lt;"; break;
        case u'"': Out += "&quot;"; break;
        case u'\r': Out += "&#13;"; break;
        default:
            if (ch < 0x20 && ch != u'\t' && ch != u'\n')
                Out += "&#65533;";
            else
                AppendCodePoint(Out, ch, Charset);
        }
    }
}

// Element names come from the caller; written as they are given.
void AppendName(std::string& Out, const String& Name, TXMLCharset Charset) { AppendXMLValue(Out, Name, Charset); }

// Only the grid's own old escape is turned back: the DOM has already
// decoded the standard entities, so a text "&lt;b&gt;" stays as it is.
String UnescapeOldAmp(const String& Text) { return StringReplace(Text, u"$amp;", u"&", TReplaceFlags(rfReplaceAll)); }

// A string as JSON requires it: quotes, backslashes and control characters
// escaped.
void AppendJSONString(String& Out, StringView Text)
{
    Out += u'"';
    for (Char ch : Text) {
        switch (ch) {
        case u'"': Out += u"\\\""; break;
        case u'\\': Out += u"\\\\"; break;
        case u'\n': Out += u"\\n"; break;
        case u'\r': Out += u"\\r"; break;
        case u'\t': Out += u"\\t"; break;
        case u'\b': Out += u"\\b"; break;
        case u'\f': Out += u"\\f"; break;
        default:
            if (ch < 0x20) {
                static const char16_t Hex[] = u"0123456789abcdef";
                Out += u"\\u00";
                Out += Hex[ch >> 4];
                Out += Hex[ch & 15];
            } else {
                Out += ch;
            }
        }
    }
    Out += u'"';
}

// The walk of an XML document into the grid.
struct TXMLWalk {
    TDedOzovedUrad& Grid;
    bool LevelToRow { false };
    bool LoadFieldDescr { false };
    bool HeaderNames { false };  // SaveFixedCells or SaveFixedRows
    bool QuoteEmpty { true };
    int StartCol { 0 }, StartRow { 0 };
    int MaxCol { 0 }, MaxRow { 0 };
    int C { 0 }, R { 0 }, Level { 1 };

    int TargetCol() const { return C + StartCol; }
    int TargetRow() const { return R + StartRow; }

    void Grow(int Col, int Row)
    {
        // Grown ahead by half, so a long document does not resize per record;
        // the counts are cut to what was read at the end.
        if (Grid.GetColCount() <= Col)
            Grid.SetColCount(std::max(Col + 1, Grid.GetColCount() + Grid.GetColCount() / 2));
        if (Grid.GetRowCount() <= Row)
            Grid.SetRowCount(std::max(Row + 1, Grid.GetRowCount() + Grid.GetRowCount() / 2));
    }

    // A cell is never written outside the grid (above row 0).
    void Store(int Col, int Row, const String& Text, bool GrowGrid)
    {
        if (Row < 0 || Col < 0)
            return;
        if (GrowGrid) {
            Grow(Col, Row);
            MaxCol = std::max(MaxCol, Col);
            MaxRow = std::max(MaxRow, Row);
        } else if (Col >= Grid.GetColCount() || Row >= Grid.GetRowCount()) {
            return;
        }
        Grid.DoLoadCell(Col, Row, Text);
    }

    void StoreHeader(const String& Name)
    {
        const int Col = TargetCol();
        if (!HeaderNames || Grid.GetRowCount() < 1 || Col >= Grid.GetColCount())
            return;
        if (Grid.GetCellEx(Col, 0).empty())
            Grid.DoLoadCell(Col, 0, Name);
    }

    void ParseXMLNode(const Variant& Node)
    {
        // 1. attributes
        const Variant Attrs = DispGet(Node, u"attributes");
        const int NAttr = Attrs.IsNull() || Attrs.IsEmpty() ? 0 : DispGet(Attrs, u"length").AsInteger();
        bool Advanced = false;
        for (int k = 0; k < NAttr; ++k) {
            const Variant A = DispGet(Attrs, u"item", { k });
            if (HeaderNames) {
                Grow(TargetCol(), TargetRow());
                StoreHeader(DispGet(A, u"nodeName").AsString());
            }
            Store(TargetCol(), TargetRow(), UnescapeOldAmp(DispGet(A, u"text").AsString()), true);
            ++C;
        }
        if (LevelToRow && NAttr > 0) {
            ++R;
            C = Level;
            Advanced = true;
        }
        const Variant Children = DispGet(Node, u"childNodes");
        const int N = DispGet(Children, u"length").AsInteger();
        if (N > 1) {
            // 2. a record or a level of records
            if (LevelToRow && !Advanced) {
                ++R;
                C = 0;
            }
            ++Level;
            for (int i = 0; i < N; ++i)
                ParseXMLNode(DispGet(Children, u"item", { i }));
        } else if (N == 1) {
            // 3. a field
            if (LoadFieldDescr && HeaderNames) {
                Grow(TargetCol(), TargetRow());
                StoreHeader(DispGet(Node, u"nodeName").AsString());
            }
            String Text = UnescapeOldAmp(DispGet(Node, u"text").AsString());
            if (QuoteEmpty && Text == u"\"\"")
                Text.clear();
            Store(TargetCol(), TargetRow(), Text, true);
            ++C;
        } else {
            // 4. an empty element; the empty first record of LevelToRow
            // writes nothing above the first target row
            if (TargetRow() >= StartRow)
                Store(TargetCol(), TargetRow(), String(), false);
            ++C;
        }
    }
};

} // namespace

void TDedOzovedUrad::SaveToXML(const String& FileName, const String& ListDescr, const String& RecordDescr,
    TStrings* FieldDescr, bool ExportEmptyCells)
{
    const String Encoding = GetXMLEncoding();
    const TXMLCharset Charset = CharsetOf(Encoding);
    std::string Out;
    Out += "<?xml version=\"1.0\" encoding=\"";
    AppendXMLValue(Out, Encoding, TXMLCharset::ASCII);
    Out += "\" ?>\r\n<";
    AppendName(Out, ListDescr, Charset);
    Out += ">\r\n";
    const int StartCol = GetSaveStartCol(), EndCol = GetSaveEndCol();
    const int StartRow = GetSaveStartRow(), EndRow = GetSaveEndRow();
    const int Hidden = GetSaveHiddenCells() ? NumHiddenColumns() : 0;
    const bool QuoteEmpty = GetQuoteEmptyCells();
    ExportNotification(esExportStart, StartRow);
    int LastPercent = -1;
    for (int r = StartRow; r <= EndRow; ++r) {
        ExportNotification(esExportNextRow, r);
        Out += "<";
        AppendName(Out, RecordDescr, Charset);
        Out += ">\r\n";
        for (int c = StartCol; c <= EndCol + Hidden; ++c) {
            const int Real = GetSaveHiddenCells() ? c : DisplayToRealCol(TDisplayCol(c)).Value;
            if (!IsBaseCell(Real, r))
                continue;
            String Value = SaveCell(Real, r);
            if (Value.empty()) {
                if (!ExportEmptyCells)
                    continue;
                if (QuoteEmpty)
                    Value = u"\"\"";
            }
            const int n = Real - StartCol;
            std::string Tag;
            if (FieldDescr && n >= 0 && n < FieldDescr->GetCount())
                AppendName(Tag, FieldDescr->GetStrings(n), Charset);
            else
                Tag = "FIELD" + std::to_string(n);
            Out += "<" + Tag + ">";
            AppendXMLValue(Out, Value, Charset);
            Out += "</" + Tag + ">\r\n";
        }
        Out += "</";
        AppendName(Out, RecordDescr, Charset);
        Out += ">\r\n";
        if (OnFileProgress) {
            const int Percent = int(RoundHalfEven(double(r) * 100.0 / std::max(1, EndRow - StartRow)));
            if (Percent != LastPercent) {
                LastPercent = Percent;
                OnFileProgress(this, std::int16_t(Percent));
            }
        }
    }
    Out += "</";
    AppendName(Out, ListDescr, Charset);
    Out += ">\r\n";
    ExportNotification(esExportDone, -1);
    WriteWholeFile(FileName, Out);
}

void TDedOzovedUrad::LoadFromXML(const String& FileName, bool LevelToRow, bool LoadFieldDescr)
{
    if (!FileExists(FileName))
        throw Exception(u"XML file not found");
    Variant Dom;
    try {
        Dom = CreateOleObject(u"Microsoft.XMLDOM");
    } catch (const Exception&) {
        throw Exception(u"XMLDOM server component not found");
    }
    DispPut(Dom, u"async", false);
    DispCall(Dom, u"load", { FileName });
    const Variant ParseError = DispGet(Dom, u"parseError");
    const int Code = DispGet(ParseError, u"errorCode").AsInteger();
    if (Code != 0)
        throw Exception(u"XMLDOM Parsing error " + IntToStr(Code) + u" on line "
            + IntToStr(DispGet(ParseError, u"line").AsInteger()));

    TXMLWalk Walk { *this };
    Walk.LevelToRow = LevelToRow;
    Walk.LoadFieldDescr = LoadFieldDescr;
    Walk.HeaderNames = GetSaveFixedCells() || GetSaveFixedRows();
    Walk.QuoteEmpty = GetQuoteEmptyCells();
    Walk.StartCol = GetSaveStartCol();
    Walk.StartRow = (Walk.HeaderNames && !LoadFieldDescr) ? 0 : GetFixedRows();
    Walk.MaxCol = Walk.StartCol;
    Walk.MaxRow = Walk.StartRow;

    const Variant Records = DispPath(Dom, { u"documentElement", u"childNodes" });
    const int N = DispGet(Records, u"length").AsInteger();
    for (int i = 0; i < N; ++i) {
        const Variant Record = DispGet(Records, u"item", { i });
        Walk.C = 0;
        Walk.Level = 1;
        if (LevelToRow && i == 0 && !DispGet(Record, u"hasChildNodes").AsBoolean())
            Walk.R = -1;
        Walk.ParseXMLNode(Record);
        if (!LevelToRow)
            ++Walk.R;
    }
    SetColCount(Walk.MaxCol + 1);
    SetRowCount(Walk.MaxRow + 1);
    CalcFooter(-1);
}

String TDedOzovedUrad::BuildJSON(const String& RecordDescr, TStrings* FieldDescr)
{
    const int StartCol = GetSaveStartCol(), EndCol = GetSaveEndCol();
    const int StartRow = GetSaveStartRow(), EndRow = GetSaveEndRow();
    const int Hidden = GetSaveHiddenCells() ? NumHiddenColumns() : 0;
    const int Exported = EndCol + Hidden - StartCol + 1;
    const bool Names = FieldDescr && FieldDescr->GetCount() >= Exported;
    String Out = u"{\"grid\":[";
    bool First = true;
    for (int r = StartRow; r <= EndRow; ++r) {
        if (IsSuppressedRow(r))
            continue;
        if (!First)
            Out += u"\r\n,";
        First = false;
        if (!RecordDescr.empty()) {
            Out += u"{";
            AppendJSONString(Out, RecordDescr);
            Out += u":";
        }
        Out += u"[";
        for (int c = StartCol; c <= EndCol + Hidden; ++c) {
            if (c > StartCol)
                Out += u",";
            const int Real = GetSaveHiddenCells() ? c : DisplayToRealCol(TDisplayCol(c)).Value;
            const String Value = SaveCell(Real, r);
            if (Names) {
                Out += u"{";
                AppendJSONString(Out, FieldDescr->GetStrings(c - StartCol));
                Out += u":";
                AppendJSONString(Out, Value);
                Out += u"}";
            } else {
                AppendJSONString(Out, Value);
            }
        }
        Out += u"]";
        if (!RecordDescr.empty())
            Out += u"}";
    }
    Out += First ? u"]}" : u"\r\n]}";
    return Out;
}

void TDedOzovedUrad::SaveToJSON(const String& RecordDescr, TStrings* FieldDescr, String& JSON)
{
    JSON = BuildJSON(RecordDescr, FieldDescr) + u"\r\n";
}

void TDedOzovedUrad::SaveToJSON(const String& FileName, const String& RecordDescr, TStrings* FieldDescr)
{
    String JSON;
    SaveToJSON(RecordDescr, FieldDescr, JSON);
    WriteWholeFile(FileName, StringToUtf8(JSON));
}
