#pragma once
// Shared by the libFuzzer targets: the folders a target may write to, and
// ways to cut one fuzz input into the pieces a parser takes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "platform/rtl/String.h"

namespace fuzz {

// Settings, configuration and caches go into a folder of their own
// (QUARRYTIDE_FUZZ_HOME, which scripts/fuzz points into the build tree, or
// one under the temporary folder), never into the user's home. It is kept
// between runs: the font cache in it spares every start a font scan.
inline void UsePrivateFolders()
{
    const char* given = std::getenv("QUARRYTIDE_FUZZ_HOME");
    const std::filesystem::path home = given && *given
        ? std::filesystem::path(given)
        : std::filesystem::temp_directory_path() / ("quarrytide-fuzz-" + std::to_string(::getuid()));
    std::filesystem::create_directories(home);
    ::setenv("QUARRYTIDE_REGISTRY_DIR", (home / "registry").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
}

// Measures a text once, so that the fonts are loaded before the first input
// (a slow start is not the input's doing).
void LoadFonts();

// Reads an input front to back: single bytes for choices, then the rest.
class TInput {
public:
    TInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) { }

    std::uint8_t Byte()
    {
        if (m_pos >= m_size)
            return 0;
        return m_data[m_pos++];
    }

    // The bytes up to the next NUL (which is consumed) or the end.
    std::string_view Piece()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_size && m_data[m_pos] != 0)
            ++m_pos;
        std::string_view piece(reinterpret_cast<const char*>(m_data + start), m_pos - start);
        if (m_pos < m_size)
            ++m_pos;
        return piece;
    }

    std::string_view Rest()
    {
        std::string_view rest(reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos);
        m_pos = m_size;
        return rest;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos { 0 };
};

// Text as a parser of downloaded or stored text sees it: UTF-8, invalid
// bytes read as U+FFFD.
inline String Text(std::string_view bytes) { return Utf8ToString(bytes); }

} // namespace fuzz
