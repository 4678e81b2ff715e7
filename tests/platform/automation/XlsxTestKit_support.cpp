#include "tests/platform/automation/XlsxTestKit.h"

#include <stdexcept>

#include <zip.h>

namespace xlsxtest {

void WriteZip(const std::filesystem::path& file, const TParts& parts)
{
    int err = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        throw std::runtime_error("zip_open failed");
    for (const auto& [name, bytes] : parts) {
        zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8);
    }
    if (zip_close(z) != 0)
        throw std::runtime_error("zip_close failed");
}

TParts ReadZip(const std::filesystem::path& file)
{
    int err = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_RDONLY, &err);
    if (!z)
        throw std::runtime_error("not a zip: " + file.string());
    TParts parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        std::string bytes;
        char buf[65536];
        zip_int64_t n;
        while ((n = zip_fread(f, buf, sizeof buf)) > 0)
            bytes.append(buf, std::size_t(n));
        zip_fclose(f);
        parts[zip_get_name(z, zip_uint64_t(i), 0)] = bytes;
    }
    zip_discard(z);
    return parts;
}

TParts MinimalPackage(const std::vector<std::pair<std::string, std::string>>& sheets, const std::string& sharedStrings,
    const std::string& workbookExtra)
{
    TParts p;
    std::string types = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>)";
    std::string rels = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId100" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId101" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)";
    std::string list;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        types += R"(<Override PartName="/xl/worksheets/sheet)" + n
            + R"(.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)";
        rels += R"(<Relationship Id="rId)" + n
            + R"(" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet)"
            + n + R"(.xml"/>)";
        list += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        p["xl/worksheets/sheet" + n + ".xml"] = sheets[i].second;
    }
    p["[Content_Types].xml"] = types + "</Types>";
    p["xl/_rels/workbook.xml.rels"] = rels + "</Relationships>";
    p["_rels/.rels"] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    p["xl/workbook.xml"] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><bookViews><workbookView activeTab="0"/></bookViews><sheets>)"
        + list + "</sheets>" + workbookExtra + "</workbook>";
    p["xl/styles.xml"] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="164" formatCode="dd/mm/yyyy\ &quot;h&quot;"/></numFmts><fonts count="2"><font><sz val="11"/><name val="Calibri"/></font><font><b/><sz val="11"/><name val="Calibri"/></font></fonts><fills count="1"><fill><patternFill patternType="none"/></fill></fills><borders count="1"><border/></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="4"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/></cellXfs></styleSheet>)";
    p["xl/sharedStrings.xml"] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" + sharedStrings + "</sst>";
    return p;
}

std::string SheetXml(const std::string& sheetData, const std::string& before, const std::string& after)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        + before + "<sheetData>" + sheetData + "</sheetData>" + after + "</worksheet>";
}

Variant Block(const std::vector<std::vector<String>>& rows)
{
    const int cols = rows.empty() ? 0 : int(rows[0].size());
    Variant v = VarArrayCreate({ 1, int(rows.size()), 1, cols }, varVariant);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            v.PutElement({ int(i) + 1, int(j) + 1 }, Variant(rows[i][j]));
    return v;
}

} // namespace xlsxtest
