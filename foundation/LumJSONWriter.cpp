#include "foundation/LumJSONWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

char* TLumJSONStreamWriter::Grow(std::size_t count)
{
    const std::size_t capacity = std::max(FLength + count, 2 * FlushThreshold);
    std::unique_ptr<char[]> grown(new char[capacity]);
    std::copy_n(FBuffer.get(), FLength, grown.get());
    FBuffer = std::move(grown);
    FCapacity = capacity;
    return FBuffer.get() + FLength;
}

void TLumJSONStreamWriter::Write(StringView Value)
{
    // Almost everything written is ASCII: copy that part byte by byte.
    std::size_t i = 0;
    while (i < Value.size() && Value[i] < 0x80)
        ++i;
    char* out = Reserve(i);
    for (std::size_t k = 0; k < i; ++k)
        out[k] = char(Value[k]);
    Commit(out + i);
    if (i < Value.size())
        WriteAscii(StringToUtf8(Value.substr(i)));
}

namespace {

// Whether one unit goes out as itself: ASCII but for the quote, the
// backslash and the five named control characters.
bool IsPlain(Char c)
{
    switch (c) {
    case u'"': case u'\\': case u'\b': case u'\f': case u'\n': case u'\r': case u'\t':
        return false;
    default:
        return c < 0x80;
    }
}

#if defined(__SSE2__)
// Eight units at `p` that are all plain, written as eight bytes at `out`.
bool CopyPlain8(const Char* p, char* out)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Beyond ASCII: any bit of 0xFF80 set.
    __m128i bad = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(short(0xFF80))), _mm_setzero_si128()),
        _mm_set1_epi16(-1));
    bad = _mm_or_si128(bad, _mm_cmpeq_epi16(v, _mm_set1_epi16('"')));
    bad = _mm_or_si128(bad, _mm_cmpeq_epi16(v, _mm_set1_epi16('\\')));
    // \b \t \n \f \r are 8, 9, 10, 12 and 13: below 14 and at least 8, but not 11.
    const __m128i low = _mm_and_si128(_mm_cmplt_epi16(v, _mm_set1_epi16(14)), _mm_cmpgt_epi16(v, _mm_set1_epi16(7)));
    bad = _mm_or_si128(bad, _mm_andnot_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(11)), low));
    if (_mm_movemask_epi8(bad) != 0)
        return false;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
    return true;
}
#endif

} // namespace

void TLumJSONStreamWriter::WriteQuoted(StringView Value)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    // Six bytes per unit at most, and the quotes.
    char* out = Reserve(Value.size() * 6 + 2);
    *out++ = '"';
    const Char* p = Value.data();
    const Char* const end = p + Value.size();
    while (p < end) {
#if defined(__SSE2__)
        while (end - p >= 8 && CopyPlain8(p, out)) {
            p += 8;
            out += 8;
        }
        if (p == end)
            break;
#endif
        const Char c = *p++;
        if (IsPlain(c)) {
            *out++ = char(c);
            continue;
        }
        const char escape[6] = { '\\', 'u', hex[(c >> 12) & 15], hex[(c >> 8) & 15], hex[(c >> 4) & 15], hex[c & 15] };
        std::memcpy(out, escape, sizeof escape);
        out += sizeof escape;
    }
    *out++ = '"';
    Commit(out);
}

void TLumJSONStreamWriter::Flush()
{
    if (FLength == 0)
        return;
    // The buffer is emptied even when the stream fails, so nothing is written twice.
    const std::size_t length = FLength;
    FLength = 0;
    FStream.WriteBuffer(FBuffer.get(), Int64(length));
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

TLumJSONWriter& TLumJSONWriter::WriteName(StringView Name)
{
    if (Name.empty())
        throw EEmptyName();
    if (!FDeferredName.empty())
        throw EMissingValue();
    if (FStackSize == 0)
        throw EEmptyJson();
    FDeferredName.assign(Name);
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
