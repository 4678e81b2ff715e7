#pragma once
// Writes JSON token by token and checks that the calls form one well-nested
// object or array. Names are held back until their value is written.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/LumJSONError.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TStream;

// Collects the text as UTF-8 and hands it to the target stream, at the
// target's position, in large pieces; the rest goes when Flush is called or
// the writer is destroyed.
class TLumJSONStreamWriter : public TObject {
public:
    explicit TLumJSONStreamWriter(TStream& aStream) : FStream(aStream) { }
    ~TLumJSONStreamWriter() override;

    void Write(StringView Value);
    void WriteAscii(std::string_view Value)
    {
        char* out = Reserve(Value.size());
        std::copy_n(Value.data(), Value.size(), out);
        Commit(out + Value.size());
    }
    // Writes Value as a quoted JSON string: quote, backslash, the named
    // control characters and everything beyond ASCII as \uXXXX escapes.
    void WriteQuoted(StringView Value);
    // Hands everything written so far to the target stream; its write errors propagate.
    void Flush();

private:
    static constexpr std::size_t FlushThreshold = 1 << 16;

    // Room for `count` more bytes at FBuffer + FLength.
    char* Reserve(std::size_t count)
    {
        return FLength + count <= FCapacity ? FBuffer.get() + FLength : Grow(count);
    }
    char* Grow(std::size_t count);
    // Takes the bytes written up to `end`; a full piece goes to the stream.
    void Commit(char* end)
    {
        FLength = std::size_t(end - FBuffer.get());
        if (FLength >= FlushThreshold)
            Flush();
    }

    TStream& FStream;
    std::unique_ptr<char[]> FBuffer;
    std::size_t FLength { 0 };
    std::size_t FCapacity { 0 };
};

class TLumJSONWriter : public TObject {
public:
    QT_DECLARE_JSON_ERROR(ECannotWriteName, "Cannot write name in current Json scope");
    QT_DECLARE_JSON_ERROR(EMultipleRootNotAllowed, "Multiple root values not allowed");
    QT_DECLARE_JSON_ERROR(EObjectOrArrayExpected, "Object or array expected as top-level value");
    QT_DECLARE_JSON_ERROR(EInvalidNesting, "Invalid nesting. Not all arrays/objects were properly closed.");
    QT_DECLARE_JSON_ERROR(EMissingValue, "Json value missing");
    QT_DECLARE_JSON_ERROR(ETooManyDepthLevels, "Maximum level of nested structured reached.");
    QT_DECLARE_JSON_ERROR(EEmptyJson, "Json is still empty. Cannot perform operation.");
    QT_DECLARE_JSON_ERROR(EEmptyName, "Cannot write empty name");
    // JSON has no text for NaN and the infinities.
    QT_DECLARE_JSON_ERROR(EInvalidNumber, "Json cannot hold NaN or infinite numbers");

    explicit TLumJSONWriter(TStream& AStream);
    ~TLumJSONWriter() override;

    TLumJSONWriter& WriteBeginObject();
    TLumJSONWriter& WriteEndObject();
    TLumJSONWriter& WriteBeginArray();
    TLumJSONWriter& WriteEndArray();
    TLumJSONWriter& WriteName(StringView Name);
    TLumJSONWriter& WriteString(StringView Value);
    // Quoted without escaping; the caller vouches for the text.
    TLumJSONWriter& WriteRawString(StringView Value);
    TLumJSONWriter& WriteBoolean(bool Value);
    TLumJSONWriter& WriteNull();
    TLumJSONWriter& WriteInteger(Int64 Value);
    TLumJSONWriter& WriteDouble(double Value);
    // Checks that exactly one complete root was written, then hands the text to the stream.
    TLumJSONWriter& Close();

    int GetIndentLength() const { return int(FIndent.size()); }
    void SetIndentLength(int Value);
    bool GetClosed() const { return FClosed; }

    static constexpr int MaxStackSize = 256;

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

    void WriteDeferredName();
    void BeforeValue(bool isBegin);
    void Begin(Scope scope, std::string_view bracket);
    void End(Scope emptyKind, Scope nonEmptyKind, std::string_view bracket);
    void NewLine();
    void Push(Scope scope);
    Scope& Top() { return FStack[std::size_t(FStackSize - 1)]; }

    std::unique_ptr<TLumJSONStreamWriter> FWriter;
    std::array<Scope, MaxStackSize> FStack {};
    Integer FStackSize { 0 };
    String FIndent;
    String FSeparator { u":" };
    String FDeferredName;
    bool FClosed { false };
};
