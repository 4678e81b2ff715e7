#pragma once
// Text encodings: conversion between String and bytes, byte-order marks.
// The standard encodings are shared singletons and must never be deleted;
// IsStandardEncoding tells them apart from ones a caller made itself.

#include <cstdint>

#include "platform/rtl/String.h"

class TEncoding {
public:
    virtual ~TEncoding() = default;

    // The system code page: UTF-8 bytes without a byte-order mark.
    static TEncoding* ANSI();
    static TEncoding* ASCII();
    static TEncoding* UTF8();
    // UTF-16 little endian.
    static TEncoding* Unicode();
    static TEncoding* BigEndianUnicode();
    static TEncoding* Default() { return ANSI(); }
    static bool IsStandardEncoding(const TEncoding* e);

    // Finds the encoding announced by a byte-order mark at the start of
    // `bytes`. When `encoding` is null on entry it is set to the encoding of
    // the mark found, or to `defaultEncoding` (ANSI when null) without one;
    // when it is set, only its own preamble is recognised. Returns the
    // length of the preamble found (0 when none).
    static int GetBufferEncoding(const TBytes& bytes, TEncoding*& encoding, TEncoding* defaultEncoding = nullptr);

    virtual TBytes GetPreamble() const = 0;
    virtual String EncodingName() const = 0;
    virtual int CodePage() const = 0;

    TBytes GetBytes(StringView s) const;
    String GetString(const TBytes& bytes) const { return GetString(bytes.data(), bytes.size()); }
    // A range of a byte array; a range outside the array raises EEncodingError.
    String GetString(const TBytes& bytes, std::size_t index, std::size_t count) const;
    String GetString(const std::uint8_t* data, std::size_t size) const { return Decode(data, size); }

    int GetByteCount(StringView s) const { return int(GetBytes(s).size()); }
    static TBytes Convert(const TEncoding* source, const TEncoding* destination, const TBytes& bytes);

protected:
    virtual TBytes Encode(StringView s) const = 0;
    virtual String Decode(const std::uint8_t* data, std::size_t size) const = 0;
};
