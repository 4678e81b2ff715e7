// New workbooks go out through libxlsxwriter in constant-memory mode: rows
// are streamed to temporary files in our private folder and texts are
// written as inline strings.

#include "platform/automation/Xlsx.h"

#include <cmath>

#include <xlsxwriter.h>
#include <zip.h>

#include "platform/rtl/FileUtils.h"

namespace {

// libxlsxwriter escapes control characters itself; a literal "_xHHHH_" text
// must not read back as the character it names, so its underscore is escaped.
const char* LibraryText(std::string& buffer, const TXlsxRow& row, const TXlsxCell& c)
{
    const std::string_view text = row.Text(c);
    if (text.find("_x") == std::string_view::npos)
        return row.CText(c);
    buffer.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (XlsxEscapeAt(text, i) >= 0)
            buffer += "_x005F_";
        else
            buffer += text[i];
    }
    return buffer.c_str();
}

[[noreturn]] void RaiseLibrary(lxw_error err)
{
    throw EXlsxError(u"The workbook could not be written: " + Utf8ToString(lxw_strerror(err)));
}

void Check(lxw_error err)
{
    if (err != LXW_NO_ERROR)
        RaiseLibrary(err);
}

// libxlsxwriter does not notice when its temporary row files cannot be
// written (a full disk, a size limit): the package it then makes lacks rows
// yet looks complete. So each sheet part is inflated once more and its cells
// are counted before the file may replace anything.
void VerifyPackage(const String& file, const std::vector<std::uint64_t>& expectedCells)
{
    int err = 0;
    zip_t* z = zip_open(StringToUtf8(file).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z)
        throw EXlsxError(u"The workbook could not be written completely");
    std::unique_ptr<zip_t, void (*)(zip_t*)> holder(z, [](zip_t* p) { zip_discard(p); });
    static constexpr std::string_view cellTag = "<c r=\"";
    static constexpr std::string_view endTag = "</worksheet>";
    for (std::size_t i = 0; i < expectedCells.size(); ++i) {
        const std::string part = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
        zip_file_t* f = zip_fopen(z, part.c_str(), 0);
        if (!f)
            throw EXlsxError(u"The workbook could not be written completely");
        std::uint64_t cells = 0;
        std::string buf(1 << 16, '\0');
        std::string carry;
        zip_int64_t n;
        while ((n = zip_fread(f, buf.data(), buf.size())) > 0) {
            std::string chunk = carry + buf.substr(0, std::size_t(n));
            for (std::size_t at = chunk.find(cellTag); at != std::string::npos; at = chunk.find(cellTag, at + 1))
                ++cells;
            const std::size_t keep = std::min(chunk.size(), endTag.size());
            carry = chunk.substr(chunk.size() - keep);
            // A tag split across chunks is counted in the next one only.
            if (carry.find(cellTag) != std::string::npos)
                --cells;
        }
        zip_fclose(f);
        if (n < 0 || cells != expectedCells[i] || carry.find(endTag) == std::string::npos)
            throw EXlsxError(u"The workbook could not be written completely (the disk may be full)");
    }
}

} // namespace

void TXlsxWorkbook::SaveNew(const String& tempFile) const
{
    std::string tmpdir = StringToUtf8(GetPrivateTempDirectory());
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir.data();
    lxw_workbook* wb = workbook_new_opt(StringToUtf8(tempFile).c_str(), &options);
    if (!wb)
        throw EXlsxError(u"The workbook could not be written: out of memory");
    try {
        lxw_format* dateFormat = workbook_add_format(wb);
        format_set_num_format(dateFormat, "yyyy\\-mm\\-dd");
        lxw_format* dateTimeFormat = workbook_add_format(wb);
        format_set_num_format(dateTimeFormat, "yyyy\\-mm\\-dd\\ hh:mm:ss");
        std::string utf8;
        for (std::size_t i = 0; i < Sheets.size(); ++i) {
            const TXlsxSheet& sheet = *Sheets[i];
            lxw_worksheet* ws = workbook_add_worksheet(wb, StringToUtf8(sheet.Name).c_str());
            if (!ws)
                throw EXlsxError(u"The workbook could not be written: the sheet \"" + sheet.Name + u"\" was refused");
            if (int(i) == ActiveSheet)
                worksheet_activate(ws);
            if (!(sheet.ActiveCell == TCellRef { 1, 1 }))
                worksheet_set_selection(ws, lxw_row_t(sheet.ActiveCell.Row - 1), lxw_col_t(sheet.ActiveCell.Col - 1),
                    lxw_row_t(sheet.ActiveCell.Row - 1), lxw_col_t(sheet.ActiveCell.Col - 1));
            for (const auto& [row, cells] : sheet.Rows) {
                const lxw_row_t r = lxw_row_t(row - 1);
                for (const TXlsxCell& c : cells.Cells) {
                    const lxw_col_t col = lxw_col_t(c.Col - 1);
                    switch (c.Kind) {
                    case TXlsxCell::ckEmpty: break;
                    case TXlsxCell::ckNumber: Check(worksheet_write_number(ws, r, col, c.Number, nullptr)); break;
                    case TXlsxCell::ckText:
                        Check(worksheet_write_string(ws, r, col, LibraryText(utf8, cells, c), nullptr));
                        break;
                    case TXlsxCell::ckBoolean: Check(worksheet_write_boolean(ws, r, col, c.Number != 0, nullptr)); break;
                    case TXlsxCell::ckDate:
                        Check(worksheet_write_number(ws, r, col, c.Number,
                            c.Number == std::floor(c.Number) ? dateFormat : dateTimeFormat));
                        break;
                    case TXlsxCell::ckError:
                        // The library writes no error cells; a formula of the error gives the same value.
                        Check(worksheet_write_formula(ws, r, col, cells.CText(c), nullptr));
                        break;
                    }
                }
            }
        }
    } catch (...) {
        workbook_close(wb);
        throw;
    }
    Check(workbook_close(wb));
    std::vector<std::uint64_t> expected;
    for (const auto& sheet : Sheets) {
        std::uint64_t n = 0;
        for (const auto& [row, cells] : sheet->Rows)
            for (const TXlsxCell& c : cells.Cells)
                n += c.Kind != TXlsxCell::ckEmpty ? 1 : 0;
        expected.push_back(n);
    }
    VerifyPackage(tempFile, expected);
}
