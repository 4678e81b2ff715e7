#pragma once
// Headless LibreOffice conversions for tests that check our files against
// another office program, and a reader of the CSV text it writes.

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The filter that writes every sheet of a workbook to "<name>-<sheet>.csv"
// (comma, double quotes, UTF-8).
extern const char* const OfficeCsvAllSheets;

// A LibreOffice user profile of its own, removed when the object goes, so
// conversions neither meet a running instance nor leave settings behind.
class TOfficeProfile {
public:
    TOfficeProfile();
    ~TOfficeProfile();
    TOfficeProfile(const TOfficeProfile&) = delete;
    TOfficeProfile& operator=(const TOfficeProfile&) = delete;

    // Runs a headless conversion; true when the program reported success.
    bool Convert(const std::string& filter, const std::filesystem::path& outDir,
        const std::vector<std::filesystem::path>& files) const;

private:
    std::filesystem::path FPath;
};

// Rows of fields of a CSV text (comma, double quotes, "" inside quotes).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text);

} // namespace testsupport
