#include "tests/support/Office.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace testsupport {

const char* const OfficeCsvAllSheets =
    "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,false,false,false,false,-1";

TOfficeProfile::TOfficeProfile()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    fs::path base = cache && *cache ? fs::path(cache) : fs::temp_directory_path();
    fs::create_directories(base);
    std::string templ = (base / "office-profile-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("no profile folder");
    FPath = templ;
}

TOfficeProfile::~TOfficeProfile()
{
    std::error_code ec;
    fs::remove_all(FPath, ec);
}

bool TOfficeProfile::Convert(const std::string& filter, const fs::path& outDir, const std::vector<fs::path>& files) const
{
    std::string cmd = "soffice -env:UserInstallation=file://" + FPath.string()
        + " --headless --norestore --nolockcheck --convert-to '" + filter + "' --outdir '" + outDir.string() + "'";
    for (const auto& f : files)
        cmd += " '" + f.string() + "'";
    cmd += " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::vector<std::vector<std::string>> ParseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (ch == '"')
                quoted = false;
            else
                rows.back().back() += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            rows.back().emplace_back();
        } else if (ch == '\n') {
            rows.emplace_back(1);
        } else if (ch != '\r') {
            rows.back().back() += ch;
        }
    }
    if (rows.back().size() == 1 && rows.back()[0].empty())
        rows.pop_back();
    return rows;
}

} // namespace testsupport
