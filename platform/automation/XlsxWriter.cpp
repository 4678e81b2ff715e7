// New workbooks go out through libxlsxwriter in constant-memory mode: rows
// are streamed to temporary files in our private folder and texts are
// written as inline strings.

#include "platform/automation/Xlsx.h"

#include <cmath>

#include <xlsxwriter.h>

#include "platform/rtl/FileUtils.h"

namespace {

// libxlsxwriter escapes control characters itself; a literal "_xHHHH_" text
// must not read back as the character it names, so its underscore is escaped.
std::string LibraryText(const String& text)
{
    if (text.find(u"_x") == String::npos)
        return StringToUtf8(text);
    String out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && DecodeXlsxEscapes(StringView(text).substr(i, 7)).size() == 1)
            out += u"_x005F_";
        else
            out += text[i];
    }
    return StringToUtf8(out);
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
                for (const TXlsxCell& c : cells) {
                    const lxw_col_t col = lxw_col_t(c.Col - 1);
                    switch (c.Kind) {
                    case TXlsxCell::ckEmpty: break;
                    case TXlsxCell::ckNumber: Check(worksheet_write_number(ws, r, col, c.Number, nullptr)); break;
                    case TXlsxCell::ckText:
                        Check(worksheet_write_string(ws, r, col, LibraryText(c.Text).c_str(), nullptr));
                        break;
                    case TXlsxCell::ckBoolean: Check(worksheet_write_boolean(ws, r, col, c.Number != 0, nullptr)); break;
                    case TXlsxCell::ckDate:
                        Check(worksheet_write_number(ws, r, col, c.Number,
                            c.Number == std::floor(c.Number) ? dateFormat : dateTimeFormat));
                        break;
                    case TXlsxCell::ckError:
                        // The library writes no error cells; a formula of the error gives the same value.
                        Check(worksheet_write_formula(ws, r, col, StringToUtf8(c.Text).c_str(), nullptr));
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
}
