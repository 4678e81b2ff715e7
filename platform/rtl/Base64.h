#pragma once

// Base64 (RFC 4648). The URL form uses "-" and "_" for "+" and "/" and
// writes no padding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/String.h"

std::string Base64Encode(const std::uint8_t* data, std::size_t size, bool url = false);
inline std::string Base64Encode(std::string_view bytes, bool url = false)
{
    return Base64Encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), url);
}
inline std::string Base64Encode(const TBytes& bytes, bool url = false) { return Base64Encode(bytes.data(), bytes.size(), url); }

// Strict decoding, for text a user or a file gives: blanks and line breaks
// are skipped (Base64 is often wrapped); any other character outside the
// alphabet, padding anywhere but at the end of the last group, or a length
// that is not whole groups raises EConvertError "Invalid Base64 text". The
// URL form may leave its padding out.
TBytes Base64Decode(StringView text, bool url = false);

// Tolerant decoding, for text a program hands over (a browser's picture
// data, an address in a page): characters outside the alphabet are skipped
// and bits left over at the end are dropped. Never raises.
TBytes Base64DecodeTolerant(std::string_view text);
TBytes Base64DecodeTolerant(StringView text);
