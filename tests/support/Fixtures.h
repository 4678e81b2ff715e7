#pragma once
#include <filesystem>
#include <string>

namespace testsupport {

// Folder of the checked-in test fixtures (tests/fixtures).
std::filesystem::path FixturesDir();

// A fresh private folder for one test, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace testsupport
