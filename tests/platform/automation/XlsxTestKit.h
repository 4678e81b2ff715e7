#pragma once
// Helpers of the workbook tests: packages built part by part with libzip,
// parts read back, and the automation calls the grid makes.

#include <filesystem>
#include <map>
#include <string>

#include "platform/automation/ComObj.h"
#include "platform/automation/Xlsx.h"

namespace xlsxtest {

using TParts = std::map<std::string, std::string>;

// Writes a zip with the parts in name order (deflated).
void WriteZip(const std::filesystem::path& file, const TParts& parts);
// Every part of a zip, inflated.
TParts ReadZip(const std::filesystem::path& file);

// A small workbook package: the given sheets ("name" -> worksheet XML), with
// shared strings and styles parts; `extraWorkbook` goes after <sheets>.
TParts MinimalPackage(const std::vector<std::pair<std::string, std::string>>& sheets,
    const std::string& sharedStrings = {}, const std::string& workbookExtra = {});
// A worksheet part around the given sheetData content.
std::string SheetXml(const std::string& sheetData, const std::string& before = {}, const std::string& after = {});

// A 1-based rows x cols variant array of the texts, rows first.
Variant Block(const std::vector<std::vector<String>>& rows);

inline String S8(const std::filesystem::path& p) { return Utf8ToString(p.string()); }

} // namespace xlsxtest
