// The main of every test program. It points the settings, configuration and
// cache folders into the build tree before any test runs, so no test ever
// writes into the user's home, whichever way the program is started.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

void setDefault(const char* name, const std::filesystem::path& value)
{
    if (!std::getenv(name))
        setenv(name, value.c_str(), 0);
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path home = QT_TEST_HOME;
    setDefault("QT_TEST_FIXTURES", QT_TEST_FIXTURES_DIR);
    setDefault("QUARRYTIDE_REGISTRY_DIR", home / "registry");
    setDefault("XDG_CONFIG_HOME", home / "config");
    setDefault("XDG_CACHE_HOME", home / "cache");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
