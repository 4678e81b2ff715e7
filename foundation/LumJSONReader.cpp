#include "foundation/LumJSONReader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/VuzErazs.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

// ---- Character source ----

TLumJSONStreamReader::TLumJSONStreamReader(TStream& aStream)
{
    const Int64 position = aStream.GetPosition();
    const Int64 size = std::max<Int64>(aStream.GetSize() - position, 0);
    FByteCount = std::size_t(size);
    if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&aStream); memory && memory->GetMemory()) {
        FBytes = static_cast<const std::uint8_t*>(memory->GetMemory()) + position;
        aStream.Seek(size, soCurrent);
    } else if (FByteCount > 0) {
        FOwnedBytes.reset(new std::uint8_t[FByteCount]);
        aStream.ReadBuffer(FOwnedBytes.get(), Int64(FByteCount));
        FBytes = FOwnedBytes.get();
    }
    if (!Eof() && FWindow[0] == u'\uFEFF')
        FIndex = 1;
}

std::size_t TLumJSONStreamReader::Refill(std::size_t keep, bool& grew)
{
    grew = false;
    if (FBytePos >= FByteCount)
        return 0;
    // One unit before `keep` stays, so a Backup after a refill still works.
    std::size_t drop = std::min(keep, FIndex);
    drop = drop > 0 ? drop - 1 : 0;
    if (drop > 0) {
        std::memmove(FWindow.get(), FWindow.get() + drop, (FLength - drop) * sizeof(Char));
        FLength -= drop;
        FWindowStart += drop;
        FIndex -= drop;
    }
    const std::size_t remaining = FByteCount - FBytePos;
    std::size_t take = std::min(remaining, ChunkBytes);
    if (take < remaining) {
        const std::size_t split = Utf8SafeSplit(FBytes + FBytePos, remaining, take);
        take = split > 0 ? split : remaining;
    }
    if (FLength + take > FCapacity) {
        const std::size_t capacity = std::max(FLength + take, FCapacity * 2);
        std::unique_ptr<Char[]> grown(new Char[capacity]);
        std::copy_n(FWindow.get(), FLength, grown.get());
        FWindow = std::move(grown);
        FCapacity = capacity;
    }
    const std::size_t added = DecodeUtf8(FBytes + FBytePos, take, FWindow.get() + FLength);
    FLength += added;
    FBytePos += take;
    grew = added > 0;
    return drop;
}

void TLumJSONStreamReader::MoveNext(int Count)
{
    for (int i = 0; i < Count; ++i)
        if (FIndex < FLength || Refill(FIndex))
            ++FIndex;
}

void TLumJSONStreamReader::SetPosition(std::size_t p)
{
    FIndex = p >= FWindowStart ? std::min(p - FWindowStart, FLength) : 0;
}

// ---- Reader ----

TLumJSONReader::EInvalidStateException::EInvalidStateException(TLumJSONState AState)
    : Exception(Format(u"Invalid Json parser state. Expected state: %d", { int(AState) }))
    , State(AState)
{
}

TLumJSONReader::TLumJSONReader(TStream& AStream)
    : FReader(std::make_unique<TLumJSONStreamReader>(AStream))
{
    Push(EmptyDocument);
}

TLumJSONReader::~TLumJSONReader() = default;

void TLumJSONReader::Push(Scope scope)
{
    if (FStackSize >= MaxStackSize)
        throw ETooManyDepthLevels();
    FStack[std::size_t(FStackSize++)] = scope;
}

void TLumJSONReader::Pop()
{
    // The document scope stays: end tokens only arise inside a container.
    if (FStackSize > 1)
        --FStackSize;
}

namespace {

bool IsBlank(Char c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

// The index of the first quote or backslash in text from p on, or the size.
std::size_t SkipPlainUnits(StringView text, std::size_t p)
{
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi16(u'"');
    const __m128i backslash = _mm_set1_epi16(u'\\');
    while (p + 8 <= text.size()) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, quote), _mm_cmpeq_epi16(units, backslash)));
        if (mask != 0)
            return p + std::size_t(__builtin_ctz(unsigned(mask))) / 2;
        p += 8;
    }
#endif
    while (p < text.size() && text[p] != u'"' && text[p] != u'\\')
        ++p;
    return p;
}

} // namespace

Char TLumJSONReader::NextNonBlank()
{
    Char c;
    do
        c = FReader->ReadChar();
    while (IsBlank(c));
    return c;
}

bool TLumJSONReader::IsLiteralDelimiter(Char c) const
{
    switch (c) {
    case u'/': case u'\\': case u';': case u'#': case u'{': case u'}': case u'[': case u']': case u':': case u',':
    case u'\'': case u' ': case u'\r': case u'\n': case u'\f': case u'\t':
        return true;
    default:
        return false;
    }
}

TLumJSONToken TLumJSONReader::Peek()
{
    if (FPeeked == jstNone)
        FPeeked = DoPeek();
    switch (FPeeked) {
    case jstBeginObject: return jstoBeginObject;
    case jstEndObject: return jstoEndObject;
    case jstBeginArray: return jstoBeginArray;
    case jstEndArray: return jstoEndArray;
    case jstTrue: case jstFalse: return jstoBoolean;
    case jstNull: return jstoNull;
    case jstDoubleQuoted: case jstBuffered: return jstoText;
    case jstDoubleQuotedName: return jstoName;
    case jstInt64: case jstNumber: return jstoNumber;
    case jstEOF: case jstNone: break;
    }
    return jstoEOF;
}

bool TLumJSONReader::HasNext()
{
    TLumJSONToken t = Peek();
    return t != jstoEndObject && t != jstoEndArray;
}

TLumJSONReader::TLumJSONState TLumJSONReader::DoPeek()
{
    Scope& top = Top();
    switch (top) {
    case EmptyDocument:
        top = NonEmptyDocument;
        return PeekValue();
    case EmptyArray: {
        top = NonEmptyArray;
        while (IsBlank(FReader->PeekChar()))
            FReader->MoveNext(1);
        if (FReader->PeekChar() == u']') {
            FReader->MoveNext(1);
            return jstEndArray;
        }
        return PeekValue();
    }
    case NonEmptyArray: {
        Char c = NextNonBlank();
        if (c == u',')
            return PeekValue();
        if (c == u']')
            return jstEndArray;
        throw EUnterminatedArray();
    }
    case EmptyObject:
    case NonEmptyObject: {
        const bool empty = top == EmptyObject;
        top = DanglingName;
        Char c = NextNonBlank();
        if (!empty) {
            if (c == u'}')
                return jstEndObject;
            if (c != u',')
                throw EUnterminatedObject();
            c = NextNonBlank();
        }
        if (c == u'"')
            return jstDoubleQuotedName;
        if (c == u'}' && empty)
            return jstEndObject;
        throw ENameExpected();
    }
    case DanglingName:
        top = NonEmptyObject;
        if (NextNonBlank() != u':')
            throw EColonExpected();
        return PeekValue();
    case NonEmptyDocument:
        while (IsBlank(FReader->PeekChar()))
            FReader->MoveNext(1);
        if (FReader->Eof())
            return jstEOF;
        throw EMultipleRootNotAllowed();
    }
    return jstNone;
}

TLumJSONReader::TLumJSONState TLumJSONReader::PeekValue()
{
    Char c = NextNonBlank();
    if (c == u'[')
        return jstBeginArray;
    if (c == u'{')
        return jstBeginObject;
    if (FStackSize == 1)
        throw EObjectOrArrayExpected();
    if (c == u'"')
        return jstDoubleQuoted;
    switch (AsciiLower(c)) {
    case u't': case u'f': case u'n':
        return PeekLiteral(c);
    default:
        break;
    }
    if (c == u'-' || (c >= u'0' && c <= u'9'))
        return PeekNumber(c);
    throw EExpectedValue();
}

TLumJSONReader::TLumJSONState TLumJSONReader::PeekLiteral(Char first)
{
    StringView word;
    TLumJSONState state;
    switch (AsciiLower(first)) {
    case u't': word = u"true"; state = jstTrue; break;
    case u'f': word = u"false"; state = jstFalse; break;
    default: word = u"null"; state = jstNull; break;
    }
    for (std::size_t i = 1; i < word.size(); ++i)
        if (AsciiLower(FReader->ReadChar()) != word[i])
            throw EExpectedValue();
    if (!FReader->Eof() && !IsLiteralDelimiter(FReader->PeekChar()))
        throw EExpectedValue();
    return state;
}

TLumJSONReader::TLumJSONState TLumJSONReader::PeekNumber(Char first)
{
    enum { None, Sign, Digit, Point, FracDigit, ExpMark, ExpSign, ExpDigit } state = None;
    // The integer is accumulated negated, so the most negative value fits.
    constexpr Int64 minDiv10 = std::numeric_limits<Int64>::min() / 10;
    Int64 value = 0;
    bool negative = false;
    bool fits = true;
    bool leadingZero = false;
    FPeekedNumberLength = 0;
    Char c = first;
    for (;;) {
        const bool digit = c >= u'0' && c <= u'9';
        const bool numberChar = digit || c == u'-' || c == u'+' || c == u'.' || c == u'e' || c == u'E';
        if (!numberChar)
            break;
        if (FPeekedNumberLength >= std::size_t(MaxNumberLength))
            throw EExpectedValue();
        FPeekedNumber[FPeekedNumberLength++] = c;
        if (digit) {
            const int d = c - u'0';
            switch (state) {
            case None:
            case Sign:
                value = -d;
                leadingZero = d == 0;
                state = Digit;
                break;
            case Digit:
                if (leadingZero)
                    throw EExpectedValue();
                // Once the value no longer fits, it is only kept as text.
                if (fits && (value > minDiv10 || (value == minDiv10 && d <= 8)))
                    value = value * 10 - d;
                else
                    fits = false;
                break;
            case Point: state = FracDigit; break;
            case ExpMark:
            case ExpSign: state = ExpDigit; break;
            case FracDigit:
            case ExpDigit: break;
            }
        } else if (c == u'-') {
            if (state == None) {
                negative = true;
                state = Sign;
            } else if (state == ExpMark) {
                state = ExpSign;
            } else {
                throw EExpectedValue();
            }
        } else if (c == u'+') {
            if (state != ExpMark)
                throw EExpectedValue();
            state = ExpSign;
        } else if (c == u'.') {
            if (state != Digit)
                throw EExpectedValue();
            state = Point;
        } else {
            if (state != Digit && state != FracDigit)
                throw EExpectedValue();
            state = ExpMark;
        }
        c = FReader->NextChar();
    }
    if (!IsLiteralDelimiter(c))
        throw EExpectedValue();
    FReader->Backup(c);
    FPeekedNumber[FPeekedNumberLength] = 0;
    if (state == Digit && fits && !(value == std::numeric_limits<Int64>::min() && !negative)) {
        FPeekedInt64 = negative ? value : -value;
        return jstInt64;
    }
    if (state == Digit || state == FracDigit || state == ExpDigit)
        return jstNumber;
    throw EExpectedValue();
}

String TLumJSONReader::ScanString()
{
    TLumJSONStreamReader& r = *FReader;
    std::size_t start = r.Index();
    std::size_t p = start;
    bool escaped = false;
    for (;;) {
        const StringView text = r.Window();
        while (p < text.size()) {
            p = SkipPlainUnits(text, p);
            if (p >= text.size())
                break;
            Char c = text[p];
            if (c == u'"')
                break;
            if (c == u'\\') {
                escaped = true;
                p += 2;
            } else {
                ++p;
            }
        }
        if (p < text.size())
            break;
        // The string runs past the window: keep it from its start and read on.
        bool grew = false;
        const std::size_t shift = r.Refill(start, grew);
        start -= shift;
        p -= shift;
        if (!grew)
            break;
    }
    const StringView text = r.Window();
    const std::size_t end = std::min(p, text.size());
    r.SetIndex(end + 1);
    StringView raw(text.data() + start, end - start);
    return escaped ? TVuzErazs::UnescapeString(raw) : String(raw);
}

void TLumJSONReader::SkipString()
{
    TLumJSONStreamReader& r = *FReader;
    std::size_t p = r.Index();
    for (;;) {
        const StringView text = r.Window();
        while (p < text.size() && text[p] != u'"')
            p += text[p] == u'\\' ? 2 : 1;
        if (p < text.size())
            break;
        bool grew = false;
        p -= r.Refill(r.Index(), grew);
        if (!grew)
            break;
    }
    r.SetIndex(p + 1);
}

TLumJSONReader::TLumJSONState TLumJSONReader::Expect(TLumJSONState state, TLumJSONState expected)
{
    Peek();
    if (FPeeked != state)
        throw EInvalidStateException(expected);
    FPeeked = jstNone;
    return state;
}

void TLumJSONReader::ReadBeginObject()
{
    Expect(jstBeginObject, jstBeginObject);
    Push(EmptyObject);
}

void TLumJSONReader::ReadEndObject()
{
    Expect(jstEndObject, jstEndObject);
    Pop();
}

void TLumJSONReader::ReadBeginArray()
{
    Expect(jstBeginArray, jstBeginArray);
    Push(EmptyArray);
}

void TLumJSONReader::ReadEndArray()
{
    Expect(jstEndArray, jstEndArray);
    Pop();
}

String TLumJSONReader::ReadName()
{
    Expect(jstDoubleQuotedName, jstDoubleQuotedName);
    return ScanString();
}

String TLumJSONReader::PeekName()
{
    Peek();
    if (FPeeked != jstDoubleQuotedName)
        throw EInvalidStateException(jstDoubleQuotedName);
    const std::size_t position = FReader->GetPosition();
    String name = ScanString();
    FReader->SetPosition(position);
    return name;
}

String TLumJSONReader::ReadString()
{
    Peek();
    String s;
    switch (FPeeked) {
    case jstDoubleQuoted: s = ScanString(); break;
    case jstBuffered: s = std::move(FPeekedString); break;
    case jstInt64: s = IntToStr(FPeekedInt64); break;
    case jstNumber: s = NumberText(); break;
    default: throw EInvalidStateException(jstDoubleQuoted);
    }
    FPeeked = jstNone;
    return s;
}

bool TLumJSONReader::ReadBoolean()
{
    Peek();
    if (FPeeked != jstTrue && FPeeked != jstFalse)
        throw EInvalidStateException(jstTrue);
    bool value = FPeeked == jstTrue;
    FPeeked = jstNone;
    return value;
}

void TLumJSONReader::ReadNull()
{
    Expect(jstNull, jstNull);
}

double TLumJSONReader::ReadDouble()
{
    Peek();
    switch (FPeeked) {
    case jstInt64:
        FPeeked = jstNone;
        return double(FPeekedInt64);
    case jstNumber: {
        double v = 0;
        // The scanner let through only the plain number syntax, which the
        // C library reads to the same nearest double; a value out of range
        // takes the general path below.
        char ascii[MaxNumberLength + 1];
        std::copy_n(FPeekedNumber.data(), FPeekedNumberLength, ascii);
        const auto [end, error] = std::from_chars(ascii, ascii + FPeekedNumberLength, v);
        if (error == std::errc() && end == ascii + FPeekedNumberLength) {
            FPeeked = jstNone;
            return v;
        }
        String text = NumberText();
        if (TryStrToFloat(text, v, InvariantFormatSettings())) {
            FPeeked = jstNone;
            return v;
        }
        FPeekedString = std::move(text);
        FPeeked = jstBuffered;
        break;
    }
    case jstDoubleQuoted:
        FPeekedString = ScanString();
        FPeeked = jstBuffered;
        break;
    case jstBuffered:
        break;
    default:
        throw EInvalidStateException(jstNumber);
    }
    double v = StrToFloat(FPeekedString, InvariantFormatSettings());
    FPeekedString.clear();
    FPeeked = jstNone;
    return v;
}

Int64 TLumJSONReader::TextToInt64(const String& text)
{
    Int64 v = 0;
    if (TryStrToInt64(text, v))
        return v;
    const double d = StrToFloat(text, InvariantFormatSettings());
    // 2^63 is the first double beyond the range; -2^63 is still inside.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(d) || d >= limit || d < -limit)
        throw EInvalidStateException(jstInt64);
    v = RoundHalfEven(d);
    if (double(v) != d)
        throw EInvalidStateException(jstInt64);
    return v;
}

Int64 TLumJSONReader::ReadInt64()
{
    Peek();
    switch (FPeeked) {
    case jstInt64:
        FPeeked = jstNone;
        return FPeekedInt64;
    case jstNumber:
        FPeekedString = NumberText();
        break;
    case jstDoubleQuoted:
        FPeekedString = ScanString();
        break;
    case jstBuffered:
        break;
    default:
        throw EInvalidStateException(jstInt64);
    }
    // Held as buffered text until converted, so a refused value is not lost.
    FPeeked = jstBuffered;
    Int64 v = TextToInt64(FPeekedString);
    FPeekedString.clear();
    FPeeked = jstNone;
    return v;
}

Integer TLumJSONReader::ReadInteger()
{
    Int64 v = ReadInt64();
    if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max())
        throw EInvalidStateException(jstInt64);
    return Integer(v);
}

void TLumJSONReader::SkipValue()
{
    int depth = 0;
    do {
        Peek();
        switch (FPeeked) {
        case jstBeginObject:
            Push(EmptyObject);
            ++depth;
            break;
        case jstBeginArray:
            Push(EmptyArray);
            ++depth;
            break;
        case jstEndObject:
        case jstEndArray:
            Pop();
            --depth;
            break;
        case jstDoubleQuoted:
        case jstDoubleQuotedName:
            SkipString();
            break;
        default:
            break;
        }
        FPeeked = jstNone;
    } while (depth > 0);
}
