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

Variant TXlsxCell::ToVariant(bool date1904) const
{
    switch (Kind) {
    case ckNumber: return Variant(Number);
    case ckText: return Variant(Text);
    case ckBoolean: return Variant(Number != 0);
    case ckError: return CellErrorVariant(Text);
    case ckDate: return Variant::FromDate(TDateTime(date1904 ? Number + 1462 : Number));
    case ckEmpty: break;
    }
    return Variant();
}

namespace {

auto LowerCol(TXlsxSheet::TRow& row, int col)
{
    // Blocks are written left to right, so the end is the likely place.
    if (row.empty() || row.back().Col < col)
        return row.end();
    return std::lower_bound(row.begin(), row.end(), col, [](const TXlsxCell& c, int v) { return c.Col < v; });
}

} // namespace

const TXlsxCell* TXlsxSheet::Find(int row, int col) const
{
    auto r = Rows.find(row);
    if (r == Rows.end())
        return nullptr;
    auto it = std::lower_bound(r->second.begin(), r->second.end(), col,
        [](const TXlsxCell& c, int v) { return c.Col < v; });
    return it != r->second.end() && it->Col == col ? &*it : nullptr;
}

TXlsxCell& TXlsxSheet::At(int row, int col)
{
    TRow& r = Rows[row];
    auto it = LowerCol(r, col);
    if (it != r.end() && it->Col == col)
        return *it;
    it = r.insert(it, TXlsxCell {});
    it->Col = col;
    return *it;
}

TRangeRef TXlsxSheet::UsedRange() const
{
    TRangeRef box;
    for (const auto& [row, cells] : Rows)
        for (const TXlsxCell& c : cells) {
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
        n += cells.size();
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

// A checked value as a cell.
TXlsxCell CellFromVariant(const Variant& value)
{
    TXlsxCell c;
    switch (value.VarType() & varTypeMask) {
    case varEmpty:
    case varNull: return c;
    case varBoolean:
        c.Kind = TXlsxCell::ckBoolean;
        c.Number = value.AsBoolean() ? 1 : 0;
        return c;
    case varDate:
        c.Kind = TXlsxCell::ckDate;
        c.Number = double(value.AsDate());
        return c;
    case varError:
        c.Kind = TXlsxCell::ckError;
        c.Text = CellErrorText(value);
        return c;
    default: break;
    }
    if (const String* source = value.StringValue()) {
        if (source->empty())
            return c;
        String text = *source;
        if (TypedNumber(text, c.Number)) {
            c.Kind = TXlsxCell::ckNumber;
        } else {
            c.Kind = TXlsxCell::ckText;
            c.Text = std::move(text);
        }
        return c;
    }
    c.Kind = TXlsxCell::ckNumber;
    c.Number = value.AsDouble();
    return c;
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
                TXlsxSheet::TRow fresh;
                fresh.reserve(source.size());
                for (std::size_t j = 0; j < source.size(); ++j) {
                    TXlsxCell cell = CellFromVariant(source[j]);
                    if (cell.Kind == TXlsxCell::ckEmpty)
                        continue;
                    cell.Col = col + int(j);
                    cell.Written = true;
                    fresh.push_back(std::move(cell));
                }
                if (!fresh.empty())
                    sheet.Rows.insert_or_assign(sheet.Rows.end(), r, std::move(fresh));
                continue;
            }
        }
        for (std::size_t j = 0; j < source.size(); ++j) {
            TXlsxCell cell = CellFromVariant(source[j]);
            const int c = col + int(j);
            // Nothing was there; in a new sheet nothing needs to be.
            if (cell.Kind == TXlsxCell::ckEmpty && !opened && !sheet.Find(r, c))
                continue;
            TXlsxCell& dst = sheet.At(r, c);
            if (dst.Formula)
                FormulaOverwritten = true;
            cell.Col = c;
            cell.Written = true;
            dst = std::move(cell);
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
            auto& cells = it->second;
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

int XlsxEscapeAt(StringView text, std::size_t i)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return -1;
    int code = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        const int h = HexDigitValue(text[k]);
        if (h < 0)
            return -1;
        code = code * 16 + h;
    }
    return code;
}

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

std::string EncodeCellText(const String& text)
{
    String escaped;
    escaped.reserve(text.size());
    char buf[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        const bool control = (ch < 0x20 && ch != u'\t' && ch != u'\n') || ch == 0xFFFE || ch == 0xFFFF;
        if (control || (ch == u'_' && XlsxEscapeAt(text, i) >= 0)) {
            std::snprintf(buf, sizeof buf, "_x%04X_", unsigned(ch));
            escaped += Utf8ToString(buf);
            continue;
        }
        escaped += ch;
    }
    std::string utf8 = u8(escaped);
    std::string out;
    out.reserve(utf8.size() + 16);
    for (char ch : utf8) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += ch;
        }
    }
    return out;
}
