#pragma once
// UTF-8 decoding in pieces, for readers that decode large inputs a chunk at
// a time; the rules are those of Utf8ToString.

#include "platform/rtl/String.h"

// Decodes `size` bytes of UTF-8 into `out`, which must have room for `size`
// units (no byte yields more than one unit); returns the units written.
std::size_t DecodeUtf8(const std::uint8_t* data, std::size_t size, Char* out);
// Appends the UTF-16 form of `size` bytes of UTF-8 to `out`, with the rules above.
void AppendUtf8(String& out, const std::uint8_t* data, std::size_t size);
// The largest split point <= at that falls between two decoding steps, so
// decoding [0, split) and [split, size) apart gives what decoding the whole does.
std::size_t Utf8SafeSplit(const std::uint8_t* data, std::size_t size, std::size_t at);
