#include "platform/automation/Xlsx.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/SysUtils.h"

TXlsxLimits& XlsxReadLimits()
{
    static TXlsxLimits limits;
    return limits;
}

// ---- addresses

String ColumnLetters(int col)
{
    if (col < 1 || col > XlsxMaxCols)
        return {};
    String s;
    while (col > 0) {
        const int d = (col - 1) % 26;
        s.insert(s.begin(), char16_t(u'A' + d));
        col = (col - 1) / 26;
    }
    return s;
}

int ColumnNumber(StringView letters)
{
    if (letters.empty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (char16_t ch : letters) {
        ch = AsciiUpper(ch);
        if (ch < u'A' || ch > u'Z')
            return 0;
        n = n * 26 + (ch - u'A' + 1);
    }
    return n <= XlsxMaxCols ? n : 0;
}

bool ParseCellRef(StringView text, TCellRef& ref)
{
    std::size_t i = 0;
    if (i < text.size() && text[i] == u'$')
        ++i;
    const std::size_t letters = i;
    while (i < text.size() && ((text[i] >= u'A' && text[i] <= u'Z') || (text[i] >= u'a' && text[i] <= u'z')))
        ++i;
    const int col = ColumnNumber(text.substr(letters, i - letters));
    if (i < text.size() && text[i] == u'$')
        ++i;
    if (i >= text.size() || text.size() - i > 7)
        return false;
    int row = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
        row = row * 10 + (text[i] - u'0');
    }
    if (col == 0 || row < 1 || row > XlsxMaxRows)
        return false;
    ref = { row, col };
    return true;
}

bool ParseRangeRef(StringView text, TRangeRef& ref)
{
    const auto colon = text.find(u':');
    TCellRef a, b;
    if (colon == StringView::npos) {
        if (!ParseCellRef(text, a))
            return false;
        b = a;
    } else if (!ParseCellRef(text.substr(0, colon), a) || !ParseCellRef(text.substr(colon + 1), b)) {
        return false;
    }
    ref = { std::min(a.Row, b.Row), std::min(a.Col, b.Col), std::max(a.Row, b.Row), std::max(a.Col, b.Col) };
    return true;
}

String CellAddress(int row, int col, bool absolute)
{
    const String rowText = IntToStr(row);
    return absolute ? u"$" + ColumnLetters(col) + u"$" + rowText : ColumnLetters(col) + rowText;
}

String RangeAddress(const TRangeRef& r, bool absolute)
{
    String first = CellAddress(r.Row1, r.Col1, absolute);
    if (r.Row1 == r.Row2 && r.Col1 == r.Col2)
        return first;
    return first + u":" + CellAddress(r.Row2, r.Col2, absolute);
}

// ---- typed input and error values

namespace {

// Only texts that the variant-to-text rules give back unchanged become
// numbers, so a cell read back shows exactly what was written: "0800",
// "+61", "1e5" and long ids stay texts.
bool TypedNumber(const String& text, double& value)
{
    if (text.empty())
        return false;
    const char16_t first = text[0];
    return (first == u'-' || (first >= u'0' && first <= u'9')) && TryStrToFloat(text, value) && std::isfinite(value)
        && VarToStr(Variant(value)) == text;
}

} // namespace

Variant TypedInput(const String& text)
{
    if (text.empty())
        return Variant();
    double value = 0;
    return TypedNumber(text, value) ? Variant(value) : Variant(text);
}

namespace {

struct TErrorName {
    const char16_t* Text;
    std::int32_t Code;
};

constexpr TErrorName ErrorNames[] = { { u"#NULL!", 2000 }, { u"#DIV/0!", 2007 }, { u"#VALUE!", 2015 },
    { u"#REF!", 2023 }, { u"#NAME?", 2029 }, { u"#NUM!", 2036 }, { u"#N/A", 2042 }, { u"#GETTING_DATA", 2043 } };

constexpr std::int32_t ServerErrorBase = std::int32_t(0x800A0000u);

} // namespace

Variant CellErrorVariant(StringView errorText)
{
    for (const auto& e : ErrorNames)
        if (errorText == e.Text)
            return Variant::FromError(ServerErrorBase | e.Code);
    return Variant::FromError(ServerErrorBase | 2042);
}

String CellErrorText(const Variant& v)
{
    const std::int32_t code = v.ErrorCode() & 0xFFFF;
    for (const auto& e : ErrorNames)
        if (code == e.Code)
            return e.Text;
    return u"#N/A";
}

// ---- the cell store

namespace {

auto LowerCol(std::vector<TXlsxCell>& cells, int col)
{
    // Blocks are written left to right, so the end is the likely place.
    if (cells.empty() || cells.back().Col < col)
        return cells.end();
    return std::lower_bound(cells.begin(), cells.end(), col, [](const TXlsxCell& c, int v) { return c.Col < v; });
}

// Below this many unused bytes a row is not worth compacting.
constexpr std::size_t kCompactSlack = 4096;

} // namespace

void TXlsxRow::SetText(TXlsxCell& c, std::string_view utf8)
{
    const bool had = c.Kind == TXlsxCell::ckText || c.Kind == TXlsxCell::ckError;
    if (had && utf8.size() <= c.Text.Size) {
        FUnused += c.Text.Size - utf8.size();
        std::copy(utf8.begin(), utf8.end(), FTexts.begin() + c.Text.At);
        FTexts[c.Text.At + utf8.size()] = '\0';
        c.Text.Size = std::uint32_t(utf8.size());
        return;
    }
    if (had)
        FUnused += c.Text.Size + 1;
    // Compacting comes first: the cell's kind may not yet say it holds a text.
    if (FUnused > kCompactSlack && FUnused > FTexts.size() / 2)
        Compact();
    MakeRoom(utf8.size() + 1);
    c.Text.At = std::uint32_t(FTexts.size());
    c.Text.Size = std::uint32_t(utf8.size());
    FTexts.append(utf8);
    FTexts.push_back('\0');
}

void TXlsxRow::SetText(TXlsxCell& c, StringView text)
{
    const bool had = c.Kind == TXlsxCell::ckText || c.Kind == TXlsxCell::ckError;
    if (had)
        FUnused += c.Text.Size + 1;
    // Compacting comes first: the cell's kind may not yet say it holds a text.
    if (FUnused > kCompactSlack && FUnused > FTexts.size() / 2)
        Compact();
    MakeRoom(text.size() * 3 + 1);
    c.Text.At = std::uint32_t(FTexts.size());
    AppendStringUtf8(FTexts, text);
    c.Text.Size = std::uint32_t(FTexts.size() - c.Text.At);
    FTexts.push_back('\0');
}

void TXlsxRow::MakeRoom(std::size_t bytes)
{
    // Positions are 32-bit: a row's store stays below 4 GiB.
    constexpr std::size_t limit = 0xFFFFFFFFu;
    if (FTexts.size() + bytes <= limit)
        return;
    Compact();
    if (FTexts.size() + bytes > limit)
        throw EXlsxError(u"The texts of one row cannot exceed 4 GiB");
}

void TXlsxRow::DropText(TXlsxCell& c)
{
    if (c.Kind == TXlsxCell::ckText || c.Kind == TXlsxCell::ckError)
        FUnused += c.Text.Size + 1;
    c.Text = { 0, 0 };
}

void TXlsxRow::Compact()
{
    std::string kept;
    kept.reserve(FTexts.size() - FUnused);
    for (TXlsxCell& c : Cells) {
        if (c.Kind != TXlsxCell::ckText && c.Kind != TXlsxCell::ckError)
            continue;
        const std::uint32_t at = std::uint32_t(kept.size());
        kept.append(FTexts, c.Text.At, std::size_t(c.Text.Size) + 1);
        c.Text.At = at;
    }
    FTexts = std::move(kept);
    FUnused = 0;
}

Variant TXlsxRow::ValueOf(const TXlsxCell& c, bool date1904) const
{
    switch (c.Kind) {
    case TXlsxCell::ckNumber: return Variant(c.Number);
    case TXlsxCell::ckText: return Variant(Utf8ToString(Text(c)));
    case TXlsxCell::ckBoolean: return Variant(c.Number != 0);
    case TXlsxCell::ckError: return CellErrorVariant(Utf8ToString(Text(c)));
    case TXlsxCell::ckDate: return Variant::FromDate(TDateTime(date1904 ? c.Number + 1462 : c.Number));
    case TXlsxCell::ckEmpty: break;
    }
    return Variant();
}

TXlsxCell& TXlsxRow::At(int col)
{
    auto it = LowerCol(Cells, col);
    if (it != Cells.end() && it->Col == col)
        return *it;
    it = Cells.insert(it, TXlsxCell {});
    it->Col = col;
    return *it;
}

const TXlsxCell* TXlsxRow::Find(int col) const
{
    auto it = std::lower_bound(Cells.begin(), Cells.end(), col, [](const TXlsxCell& c, int v) { return c.Col < v; });
    return it != Cells.end() && it->Col == col ? &*it : nullptr;
}

const TXlsxCell* TXlsxSheet::Find(int row, int col) const
{
    auto r = Rows.find(row);
    return r == Rows.end() ? nullptr : r->second.Find(col);
}

Variant TXlsxSheet::Value(int row, int col, bool date1904) const
{
    auto r = Rows.find(row);
    if (r == Rows.end())
        return Variant();
    const TXlsxCell* c = r->second.Find(col);
    return c ? r->second.ValueOf(*c, date1904) : Variant();
}

TRangeRef TXlsxSheet::UsedRange() const
{
    TRangeRef box;
    for (const auto& [row, cells] : Rows)
        for (const TXlsxCell& c : cells.Cells) {
            if (c.Kind == TXlsxCell::ckEmpty)
                continue;
            if (box.Row1 == 0) {
                box = { row, c.Col, row, c.Col };
                continue;
            }
            box.Row1 = std::min(box.Row1, row);
            box.Row2 = std::max(box.Row2, row);
            box.Col1 = std::min(box.Col1, c.Col);
            box.Col2 = std::max(box.Col2, c.Col);
        }
    return box;
}

std::uint64_t TXlsxSheet::CellCount() const
{
    std::uint64_t n = 0;
    for (const auto& [row, cells] : Rows)
        n += cells.Cells.size();
    return n;
}

// ---- workbooks

std::shared_ptr<TXlsxWorkbook> TXlsxWorkbook::CreateNew()
{
    auto book = std::make_shared<TXlsxWorkbook>();
    auto sheet = std::make_shared<TXlsxSheet>();
    sheet->Name = u"Sheet1";
    book->Sheets.push_back(std::move(sheet));
    return book;
}

void TXlsxWorkbook::CheckSheetName(const String& name, const TXlsxSheet* self) const
{
    if (name.empty() || name.size() > 31)
        throw EXlsxError(u"A sheet name must have 1 to 31 characters: \"" + name + u"\"");
    if (name.find_first_of(u":\\/?*[]") != String::npos || name.front() == u'\'' || name.back() == u'\'')
        throw EXlsxError(u"A sheet name cannot hold : \\ / ? * [ ] or begin or end with an apostrophe: \"" + name
            + u"\"");
    for (char16_t ch : name)
        if (ch < 0x20)
            throw EXlsxError(u"A sheet name cannot hold control characters");
    if (AnsiSameText(name, u"History"))
        throw EXlsxError(u"\"History\" is a reserved sheet name");
    for (const auto& s : Sheets)
        if (s.get() != self && AnsiSameText(s->Name, name))
            throw EXlsxError(u"The sheet name \"" + name + u"\" is already taken");
}

String TXlsxWorkbook::NextSheetName() const
{
    for (int n = 1;; ++n) {
        String name = u"Sheet" + IntToStr(n);
        bool used = false;
        for (const auto& s : Sheets)
            used = used || AnsiSameText(s->Name, name);
        if (!used)
            return name;
    }
}

namespace {

// A written value as a cell; raises for values a cell cannot hold.
// Raises for values a cell cannot hold, so a block is refused before any of
// it is written.
void CheckCellValue(const Variant& value)
{
    if (value.IsArray())
        throw EXlsxError(u"A cell cannot hold an array");
    const TVarType t = value.VarType() & varTypeMask;
    if (t == varDispatch || t == varUnknown)
        throw EXlsxError(u"A cell cannot hold an object");
    if (const String* text = value.StringValue()) {
        const std::size_t n = text->size();
        if (n > std::size_t(XlsxMaxCellText))
            throw EXlsxError(u"A cell holds at most 32767 characters; the text has " + IntToStr(int(n)));
    } else if (VarIsNumeric(value) && !std::isfinite(value.AsDouble())) {
        throw EXlsxError(u"A cell cannot hold an infinite or undefined number");
    } else if (t != varEmpty && t != varNull && t != varBoolean && t != varDate && t != varError && !VarIsNumeric(value)) {
        throw EXlsxError(u"A cell cannot hold a value of type " + VarTypeAsText(t));
    }
}

bool IsEmptyValue(const Variant& value)
{
    const TVarType t = value.VarType() & varTypeMask;
    if (t == varEmpty || t == varNull)
        return true;
    const String* text = value.StringValue();
    return text && text->empty();
}

// Puts a checked value into cell `c` of `row`.
void StoreValue(TXlsxRow& row, TXlsxCell& c, const Variant& value)
{
    double number = 0;
    TXlsxCell::TKind kind = TXlsxCell::ckNumber;
    switch (value.VarType() & varTypeMask) {
    case varEmpty:
    case varNull: kind = TXlsxCell::ckEmpty; break;
    case varBoolean:
        kind = TXlsxCell::ckBoolean;
        number = value.AsBoolean() ? 1 : 0;
        break;
    case varDate:
        kind = TXlsxCell::ckDate;
        number = double(value.AsDate());
        break;
    case varError:
        row.SetText(c, StringView(CellErrorText(value)));
        kind = TXlsxCell::ckError;
        break;
    default:
        if (const String* text = value.StringValue()) {
            if (text->empty()) {
                kind = TXlsxCell::ckEmpty;
            } else if (!TypedNumber(*text, number)) {
                row.SetText(c, StringView(*text));
                kind = TXlsxCell::ckText;
            }
        } else {
            number = value.AsDouble();
        }
        break;
    }
    if (kind != TXlsxCell::ckText && kind != TXlsxCell::ckError) {
        row.DropText(c);
        c.Number = number;
    }
    c.Kind = kind;
    c.Formula = false;
    c.Written = true;
}

// The UTF-8 bytes a row of values needs at most for its texts, when all are ASCII.
std::size_t TextBytes(const std::vector<Variant>& values)
{
    std::size_t n = 0;
    for (const Variant& v : values)
        if (const String* text = v.StringValue())
            n += text->size() + 1;
    return n;
}

} // namespace

void TXlsxWorkbook::WriteBlock(TXlsxSheet& sheet, int row, int col, const std::vector<std::vector<Variant>>& values)
{
    std::size_t width = 0;
    for (const auto& r : values)
        width = std::max(width, r.size());
    if (values.empty() || width == 0)
        return;
    if (row < 1 || col < 1 || std::uint64_t(row) + values.size() - 1 > std::uint64_t(XlsxMaxRows))
        throw EXlsxError(u"A worksheet has at most 1048576 rows");
    if (std::uint64_t(col) + width - 1 > std::uint64_t(XlsxMaxCols))
        throw EXlsxError(u"A worksheet has at most 16384 columns");
    const TRangeRef block { row, col, row + int(values.size()) - 1, col + int(width) - 1 };

    // Formulas that would be cut in two are refused before anything changes.
    for (const TRangeRef& a : sheet.ArrayFormulas)
        if (block.Intersects(a) && !block.Contains(a))
            throw EXlsxError(u"Cannot change part of an array formula (" + RangeAddress(a, false) + u")");
    for (const TSharedFormula& f : sheet.SharedFormulas)
        if (block.Contains(f.Master.Row, f.Master.Col) && !block.Contains(f.Area))
            throw EXlsxError(u"Cannot change " + CellAddress(f.Master.Row, f.Master.Col, false)
                + u": other cells use its shared formula");

    for (const auto& r : values)
        for (const Variant& v : r)
            CheckCellValue(v);

    std::erase_if(sheet.ArrayFormulas, [&](const TRangeRef& a) { return block.Contains(a); });
    std::erase_if(sheet.SharedFormulas, [&](const TSharedFormula& f) { return block.Contains(f.Area); });
    const bool opened = !sheet.PartName.empty();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int r = row + int(i);
        const auto& source = values[i];
        if (!opened) {
            // A block into fresh rows of a new sheet: the row is made whole.
            auto it = sheet.Rows.find(r);
            if (it == sheet.Rows.end() || it->second.empty()) {
                TXlsxRow fresh;
                fresh.Cells.reserve(source.size());
                fresh.ReserveTexts(TextBytes(source));
                for (std::size_t j = 0; j < source.size(); ++j) {
                    if (IsEmptyValue(source[j]))
                        continue;
                    TXlsxCell& cell = fresh.Cells.emplace_back();
                    cell.Col = col + int(j);
                    StoreValue(fresh, cell, source[j]);
                }
                if (!fresh.empty())
                    sheet.Rows.insert_or_assign(sheet.Rows.end(), r, std::move(fresh));
                continue;
            }
        }
        TXlsxRow* cells = nullptr;
        for (std::size_t j = 0; j < source.size(); ++j) {
            const int c = col + int(j);
            // Nothing was there; in a new sheet nothing needs to be.
            if (!opened && IsEmptyValue(source[j]) && !sheet.Find(r, c))
                continue;
            if (!cells)
                cells = &sheet.Rows[r];
            TXlsxCell& dst = cells->At(c);
            if (dst.Formula)
                FormulaOverwritten = true;
            StoreValue(*cells, dst, source[j]);
        }
    }
    sheet.Modified = true;
    Saved = false;
}

// ---- saving

namespace {

std::string u8(const String& s) { return StringToUtf8(s); }

[[noreturn]] void RaiseSave(const String& fileName, int err)
{
    throw EXlsxError(u"Cannot save \"" + fileName + u"\": " + Utf8ToString(std::strerror(err)));
}

} // namespace

void TXlsxWorkbook::SaveAs(const String& fileName)
{
    if (fileName.empty())
        throw EXlsxError(u"The workbook has no file name; use SaveAs");
    const std::string target = u8(fileName);
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
    std::vector<String> partNames;
    try {
        if (SourceFile.empty())
            SaveNew(Utf8ToString(temp));
        else
            SavePatched(Utf8ToString(temp));
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
    AfterSave(fileName);
}

void TXlsxWorkbook::AfterSave(const String& fileName)
{
    FileName = fileName;
    Saved = true;
    const bool opened = !SourceFile.empty();
    if (opened) {
        SourceFile = fileName;
        FormulaOverwritten = false;
    }
    for (auto& sheet : Sheets) {
        if (!sheet->Modified)
            continue;
        for (auto it = sheet->Rows.begin(); it != sheet->Rows.end();) {
            auto& cells = it->second.Cells;
            for (TXlsxCell& c : cells)
                c.Written = false;
            if (!opened)
                std::erase_if(cells, [](const TXlsxCell& c) { return c.Kind == TXlsxCell::ckEmpty; });
            it = cells.empty() ? sheet->Rows.erase(it) : std::next(it);
        }
        sheet->Modified = false;
    }
    for (std::size_t i = 0; i < Sheets.size(); ++i)
        if (opened && i < Package.NewPartNames.size() && !Package.NewPartNames[i].empty()) {
            Sheets[i]->PartName = Package.NewPartNames[i];
            Sheets[i]->RelId = Package.NewRelIds[i];
        }
    for (auto& sheet : Sheets)
        sheet->OriginalName = sheet->Name;
    Package.OriginalActiveTab = ActiveSheet;
    Package.NewPartNames.clear();
    Package.NewRelIds.clear();
}

// ---- text escapes

namespace {

template<class C>
int EscapeAt(std::basic_string_view<C> text, std::size_t i)
{
    if (i + 7 > text.size() || text[i] != C('_') || text[i + 1] != C('x') || text[i + 6] != C('_'))
        return -1;
    int code = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        const int h = HexDigitValue(char16_t(text[k]));
        if (h < 0)
            return -1;
        code = code * 16 + h;
    }
    return code;
}

} // namespace

int XlsxEscapeAt(StringView text, std::size_t i) { return EscapeAt(text, i); }
int XlsxEscapeAt(std::string_view text, std::size_t i) { return EscapeAt(text, i); }

String DecodeXlsxEscapes(String text)
{
    if (text.find(u"_x") == String::npos)
        return text;
    String out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const int code = XlsxEscapeAt(text, i);
        if (code >= 0) {
            out += char16_t(code);
            i += 7;
        } else {
            out += text[i++];
        }
    }
    return out;
}

void AppendDecodedXlsxText(std::string& out, std::string_view utf8)
{
    if (utf8.find("_x") == std::string_view::npos) {
        out.append(utf8);
        return;
    }
    // Escapes name UTF-16 units (a pair for characters beyond the BMP), so
    // they are decoded in that form.
    AppendStringUtf8(out, DecodeXlsxEscapes(Utf8ToString(utf8)));
}

std::string EncodeCellText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() + 16);
    char buf[8];
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(utf8[i]);
        // U+FFFE and U+FFFF are no XML characters either.
        const bool nonChar = ch == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF
            && (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE;
        if ((ch < 0x20 && ch != '\t' && ch != '\n') || nonChar || (ch == '_' && XlsxEscapeAt(utf8, i) >= 0)) {
            const unsigned code = nonChar ? 0xFFFEu + (static_cast<unsigned char>(utf8[i + 2]) & 1u) : ch;
            std::snprintf(buf, sizeof buf, "_x%04X_", code);
            out += buf;
            if (nonChar)
                i += 2;
            continue;
        }
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += char(ch);
        }
    }
    return out;
}
