#pragma once
// A pull reader over JSON text in a stream: Peek tells what comes next, one
// typed read consumes it. No document tree is built.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "foundation/LumJSONError.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TStream;

// The character source: the stream's bytes from its position to its end,
// decoded from UTF-8 a chunk at a time into one reused window (invalid bytes
// become U+FFFD, a byte-order mark is skipped). A memory stream is read in
// place. Positions count UTF-16 units from the start of the text.
class TLumJSONStreamReader : public TObject {
public:
    QT_DECLARE_JSON_ERROR(EEndOfInputReached, "End of JSON input reached.");

    // Bytes decoded per refill of the window.
    static constexpr std::size_t ChunkBytes = 64 * 1024;

    explicit TLumJSONStreamReader(TStream& aStream);

    // The character at the position, which advances; NUL at the end.
    Char ReadChar()
    {
        if (FIndex < FLength || Refill(FIndex))
            return FWindow[FIndex++];
        return Char(0);
    }
    // Like ReadChar, but the end of the input raises EEndOfInputReached.
    Char NextChar()
    {
        if (FIndex < FLength || Refill(FIndex))
            return FWindow[FIndex++];
        throw EEndOfInputReached();
    }
    Char PeekChar() { return FIndex < FLength || Refill(FIndex) ? FWindow[FIndex] : Char(0); }
    void Backup(Char = 0)
    {
        if (FIndex > 0)
            --FIndex;
    }
    void MoveNext(int Count);
    bool Eof() { return FIndex >= FLength && !Refill(FIndex); }

    std::size_t GetPosition() const { return FWindowStart + FIndex; }
    // Back to a position read before; positions still in the window only.
    void SetPosition(std::size_t p);

    // Direct access for scanning runs: the window, the index in it, and a
    // refill that keeps everything from `keep` on (indexes shift by the
    // returned amount; `grew` tells whether more text arrived).
    StringView Window() const { return StringView(FWindow.get(), FLength); }
    std::size_t Index() const { return FIndex; }
    void SetIndex(std::size_t i) { FIndex = std::min(i, FLength); }
    std::size_t Refill(std::size_t keep, bool& grew);

private:
    bool Refill(std::size_t keep)
    {
        bool grew = false;
        Refill(keep, grew);
        return grew;
    }

    std::unique_ptr<std::uint8_t[]> FOwnedBytes;
    const std::uint8_t* FBytes { nullptr };
    std::size_t FByteCount { 0 };
    std::size_t FBytePos { 0 };
    // Decoded units [0, FLength) of a buffer of FCapacity units.
    std::unique_ptr<Char[]> FWindow;
    std::size_t FLength { 0 };
    std::size_t FCapacity { 0 };
    std::size_t FWindowStart { 0 };
    std::size_t FIndex { 0 };
};

enum TLumJSONToken {
    jstoBeginObject,
    jstoEndObject,
    jstoBeginArray,
    jstoEndArray,
    jstoName,
    jstoBoolean,
    jstoNull,
    jstoText,
    jstoNumber,
    jstoEOF
};

class TLumJSONReader : public TObject {
public:
    enum TLumJSONState {
        jstNone,
        jstBeginObject,
        jstEndObject,
        jstBeginArray,
        jstEndArray,
        jstTrue,
        jstFalse,
        jstNull,
        jstDoubleQuoted,
        jstBuffered,
        jstDoubleQuotedName,
        jstInt64,
        jstNumber,
        jstEOF
    };

    class EInvalidStateException : public Exception {
    public:
        explicit EInvalidStateException(TLumJSONState AState);
        String ClassName() const override { return u"EInvalidStateException"; }
        TLumJSONState State;
    };
    QT_DECLARE_JSON_ERROR(EUnterminatedArray, "Unterminated array");
    QT_DECLARE_JSON_ERROR(EUnterminatedObject, "Unterminated object");
    QT_DECLARE_JSON_ERROR(ENameExpected, "Name expected");
    QT_DECLARE_JSON_ERROR(EColonExpected, "Colon expected");
    QT_DECLARE_JSON_ERROR(EMultipleRootNotAllowed, "Multiple root values not allowed");
    QT_DECLARE_JSON_ERROR(EExpectedValue, "Value expected but invalid character found");
    QT_DECLARE_JSON_ERROR(EObjectOrArrayExpected, "Object or array expected as top-level value");
    QT_DECLARE_JSON_ERROR(ETooManyDepthLevels, "Maximum level of nested structured reached.");

    // Reads the stream from its current position to its end.
    explicit TLumJSONReader(TStream& AStream);
    ~TLumJSONReader() override;

    TLumJSONToken Peek();
    // False when the next token closes an object or an array.
    bool HasNext();
    bool Eof() { return Peek() == jstoEOF; }
    bool IsNull() { return Peek() == jstoNull; }

    void ReadBeginObject();
    void ReadEndObject();
    void ReadBeginArray();
    void ReadEndArray();
    String ReadName();
    // The next name, decoded, without consuming it.
    String PeekName();
    String ReadString();
    bool ReadBoolean();
    void ReadNull();
    double ReadDouble();
    Int64 ReadInt64();
    Integer ReadInteger();
    // Consumes one complete value (at a name: only the name).
    void SkipValue();

    static constexpr int MaxStackSize = 256;
    static constexpr int MaxNumberLength = 254;

private:
    enum Scope : std::uint8_t {
        EmptyDocument,
        NonEmptyDocument,
        EmptyArray,
        NonEmptyArray,
        EmptyObject,
        DanglingName,
        NonEmptyObject
    };

    TLumJSONState DoPeek();
    TLumJSONState PeekValue();
    TLumJSONState PeekLiteral(Char first);
    TLumJSONState PeekNumber(Char first);
    Char NextNonBlank();
    bool IsLiteralDelimiter(Char c) const;
    // Consumes the rest of a string after its opening quote; returns its decoded text.
    String ScanString();
    // Consumes the rest of a string without decoding it.
    void SkipString();
    TLumJSONState Expect(TLumJSONState state, TLumJSONState expected);
    void Push(Scope scope);
    void Pop();
    Scope& Top() { return FStack[std::size_t(FStackSize - 1)]; }
    String NumberText() const { return String(FPeekedNumber.data(), FPeekedNumberLength); }
    // The text of a number, quoted string or buffered value as an Int64, or the invalid-state error.
    Int64 TextToInt64(const String& text);

    std::unique_ptr<TLumJSONStreamReader> FReader;
    std::array<Scope, MaxStackSize> FStack {};
    Integer FStackSize { 0 };
    TLumJSONState FPeeked { jstNone };
    Int64 FPeekedInt64 { 0 };
    std::array<Char, MaxNumberLength + 2> FPeekedNumber {};
    std::size_t FPeekedNumberLength { 0 };
    String FPeekedString;
};
