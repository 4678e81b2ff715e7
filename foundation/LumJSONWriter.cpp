#include "foundation/LumJSONWriter.h"

#include <charconv>
#include <cmath>

#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

// ---- Buffer ----

TLumJSONStreamWriter::~TLumJSONStreamWriter()
{
    // A destructor cannot report a failing stream; callers that must know
    // call Flush (TLumJSONWriter::Close does) first.
    try {
        Flush();
    } catch (...) {
    }
}

void TLumJSONStreamWriter::Write(StringView Value)
{
    // Almost everything written is ASCII: copy that part byte by byte.
    std::size_t i = 0;
    for (; i < Value.size() && Value[i] < 0x80; ++i)
        FBuffer += char(Value[i]);
    if (i < Value.size())
        FBuffer += StringToUtf8(Value.substr(i));
    if (FBuffer.size() >= FlushThreshold)
        Flush();
}

void TLumJSONStreamWriter::WriteAscii(std::string_view Value)
{
    FBuffer += Value;
    if (FBuffer.size() >= FlushThreshold)
        Flush();
}

void TLumJSONStreamWriter::WriteQuoted(StringView Value)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    FBuffer += '"';
    for (Char c : Value) {
        switch (c) {
        case u'"': case u'\\': case u'\b': case u'\f': case u'\n': case u'\r': case u'\t':
            break;
        default:
            if (c < 0x80) {
                FBuffer += char(c);
                continue;
            }
        }
        const char escape[6] = { '\\', 'u', hex[(c >> 12) & 15], hex[(c >> 8) & 15], hex[(c >> 4) & 15], hex[c & 15] };
        FBuffer.append(escape, sizeof escape);
    }
    FBuffer += '"';
    if (FBuffer.size() >= FlushThreshold)
        Flush();
}

void TLumJSONStreamWriter::Flush()
{
    if (FBuffer.empty())
        return;
    // The buffer is emptied even when the stream fails, so nothing is written twice.
    struct TClear {
        std::string& Buffer;
        ~TClear() { Buffer.clear(); }
    } clear { FBuffer };
    FStream.WriteBuffer(FBuffer.data(), Int64(FBuffer.size()));
}

// ---- Writer ----

TLumJSONWriter::TLumJSONWriter(TStream& AStream)
    : FWriter(std::make_unique<TLumJSONStreamWriter>(AStream))
{
    Push(EmptyDocument);
}

TLumJSONWriter::~TLumJSONWriter() = default;

void TLumJSONWriter::SetIndentLength(int Value)
{
    static const String compact = u":", spaced = u": ";
    if (Value > 0) {
        FIndent.assign(std::size_t(Value), u' ');
        FSeparator = spaced;
    } else {
        FIndent.clear();
        FSeparator = compact;
    }
}

void TLumJSONWriter::Push(Scope scope)
{
    if (FStackSize >= MaxStackSize)
        throw ETooManyDepthLevels();
    FStack[std::size_t(FStackSize++)] = scope;
}

void TLumJSONWriter::NewLine()
{
    if (FIndent.empty())
        return;
    FWriter->WriteAscii("\r\n");
    for (int i = 1; i < FStackSize; ++i)
        FWriter->Write(FIndent);
}

void TLumJSONWriter::WriteDeferredName()
{
    if (FDeferredName.empty())
        return;
    Scope& top = Top();
    if (top == NonEmptyObject)
        FWriter->WriteAscii(",");
    else if (top != EmptyObject)
        throw ECannotWriteName();
    NewLine();
    top = DanglingName;
    FWriter->WriteQuoted(FDeferredName);
    FDeferredName.clear();
}

void TLumJSONWriter::BeforeValue(bool isBegin)
{
    WriteDeferredName();
    Scope& top = Top();
    switch (top) {
    case EmptyDocument:
        if (!isBegin)
            throw EObjectOrArrayExpected();
        top = NonEmptyDocument;
        break;
    case EmptyArray:
        top = NonEmptyArray;
        NewLine();
        break;
    case NonEmptyArray:
        FWriter->WriteAscii(",");
        NewLine();
        break;
    case DanglingName:
        FWriter->Write(FSeparator);
        top = NonEmptyObject;
        break;
    case NonEmptyDocument:
        throw EMultipleRootNotAllowed();
    case EmptyObject:
    case NonEmptyObject:
        throw EInvalidNesting();
    }
}

void TLumJSONWriter::Begin(Scope scope, std::string_view bracket)
{
    BeforeValue(true);
    Push(scope);
    FWriter->WriteAscii(bracket);
}

void TLumJSONWriter::End(Scope emptyKind, Scope nonEmptyKind, std::string_view bracket)
{
    const Scope top = Top();
    if (top != emptyKind && top != nonEmptyKind)
        throw EInvalidNesting();
    if (!FDeferredName.empty())
        throw EMissingValue();
    --FStackSize;
    if (top == nonEmptyKind)
        NewLine();
    FWriter->WriteAscii(bracket);
}

TLumJSONWriter& TLumJSONWriter::WriteBeginObject()
{
    Begin(EmptyObject, "{");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteEndObject()
{
    End(EmptyObject, NonEmptyObject, "}");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteBeginArray()
{
    Begin(EmptyArray, "[");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteEndArray()
{
    End(EmptyArray, NonEmptyArray, "]");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteName(const String& Name)
{
    if (Name.empty())
        throw EEmptyName();
    if (!FDeferredName.empty())
        throw EMissingValue();
    if (FStackSize == 0)
        throw EEmptyJson();
    FDeferredName = Name;
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteString(StringView Value)
{
    BeforeValue(false);
    FWriter->WriteQuoted(Value);
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteRawString(StringView Value)
{
    BeforeValue(false);
    FWriter->WriteAscii("\"");
    FWriter->Write(Value);
    FWriter->WriteAscii("\"");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteBoolean(bool Value)
{
    BeforeValue(false);
    FWriter->WriteAscii(Value ? "true" : "false");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteNull()
{
    BeforeValue(false);
    FWriter->WriteAscii("null");
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteInteger(Int64 Value)
{
    BeforeValue(false);
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, Value);
    FWriter->WriteAscii(std::string_view(buffer, std::size_t(result.ptr - buffer)));
    return *this;
}

TLumJSONWriter& TLumJSONWriter::WriteDouble(double Value)
{
    if (!std::isfinite(Value))
        throw EInvalidNumber();
    BeforeValue(false);
    String text = FloatToStr(Value, InvariantFormatSettings());
    double back = 0;
    if (std::fabs(Value) > 1e308 && (!TryStrToFloat(text, back, InvariantFormatSettings()) || !std::isfinite(back))) {
        // Fifteen digits round the largest doubles up past the range; those
        // get the shortest text that reads back.
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, Value);
        FWriter->WriteAscii(std::string_view(buffer, std::size_t(result.ptr - buffer)));
        return *this;
    }
    FWriter->Write(text);
    return *this;
}

TLumJSONWriter& TLumJSONWriter::Close()
{
    if (FStackSize != 1 || Top() != NonEmptyDocument)
        throw EInvalidNesting();
    FClosed = true;
    FWriter->Flush();
    return *this;
}
