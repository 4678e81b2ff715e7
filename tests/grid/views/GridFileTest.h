#pragma once
// What the tests of the grid's file formats share: file bytes in and out,
// paths as grid texts, and a grid filled from a table of texts.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "tests/support/Fixtures.h"

namespace gridfiletest {

inline String P(const std::filesystem::path& Path) { return Utf8ToString(Path.string()); }

inline std::string ReadBytes(const std::filesystem::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

inline void WriteBytes(const std::filesystem::path& Path, const std::string& Bytes)
{
    std::ofstream Out(Path, std::ios::binary);
    Out << Bytes;
}

// A grid without fixed lines holding rows x columns of texts, and a folder
// of the test's own.
struct TTextGridTest : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    testsupport::TempDir Dir;

    void Fill(const std::vector<std::vector<String>>& Rows)
    {
        G.SetFixedRows(0);
        G.SetFixedCols(0);
        G.SetRowCount(int(Rows.size()));
        G.SetColCount(int(Rows[0].size()));
        for (int r = 0; r < int(Rows.size()); ++r)
            for (int c = 0; c < int(Rows[r].size()); ++c)
                G.SetCellEx(c, r, Rows[r][c]);
    }
};

} // namespace gridfiletest
