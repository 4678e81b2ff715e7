#include "tests/support/Fixtures.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace testsupport {

std::filesystem::path FixturesDir()
{
    if (const char* dir = std::getenv("QT_TEST_FIXTURES"))
        return dir;
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures";
}

TempDir::TempDir()
{
    std::string templ = (std::filesystem::temp_directory_path() / "qt-test-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

} // namespace testsupport
