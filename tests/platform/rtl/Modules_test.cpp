#include <gtest/gtest.h>

#include "platform/rtl/Modules.h"

namespace {
int Seven() { return 7; }
int Eight() { return 8; }
} // namespace

TEST(Modules, LibrariesAreFoundByNameAndCountedPerLoad)
{
    RegisterModule(u"Test.Lib", { { "Seven", reinterpret_cast<FARPROC>(&Seven) } });
    EXPECT_EQ(LoadLibrary(u"missing.lib"), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "Seven"), nullptr);
    EXPECT_EQ(FreeLibrary(nullptr), FALSE);

    const HMODULE a = LoadLibrary(u"TEST.LIB");
    const HMODULE b = LoadLibrary(u"test.lib");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    auto seven = reinterpret_cast<int (*)()>(GetProcAddress(a, "Seven"));
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(seven(), 7);
    EXPECT_EQ(GetProcAddress(a, "seven"), nullptr) << "function names keep their case";
    EXPECT_EQ(GetProcAddress(a, nullptr), nullptr);

    // Replacing the exports keeps the handle; the new table answers.
    RegisterModule(u"test.lib", { { "Eight", reinterpret_cast<FARPROC>(&Eight) } });
    EXPECT_EQ(GetProcAddress(a, "Seven"), nullptr);
    EXPECT_NE(GetProcAddress(a, "Eight"), nullptr);

    EXPECT_EQ(FreeLibrary(a), TRUE);
    EXPECT_NE(GetProcAddress(a, "Eight"), nullptr) << "still loaded once";
    EXPECT_EQ(FreeLibrary(b), TRUE);
    EXPECT_EQ(GetProcAddress(a, "Eight"), nullptr) << "no longer loaded";
    EXPECT_EQ(FreeLibrary(a), FALSE);

    UnregisterModule(u"Test.Lib");
    EXPECT_EQ(LoadLibrary(u"test.lib"), nullptr);
}
