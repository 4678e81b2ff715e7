#include "platform/rtl/IniFiles.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

bool isBlank(Char c) { return c <= u' '; }

String trim(StringView s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return String(s.substr(b, e - b));
}

bool sameName(StringView a, StringView b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && CharLower(a[i]) != CharLower(b[i]))
            return false;
    return true;
}

bool hasLineBreak(StringView s) { return s.find_first_of(u"\r\n") != StringView::npos; }

String unquote(const String& v)
{
    if (v.size() >= 2 && v.front() == u'"' && v.back() == u'"')
        return v.substr(1, v.size() - 2);
    return v;
}

String quoteIfNeeded(const String& v)
{
    bool blankEnds = !v.empty() && (isBlank(v.front()) || isBlank(v.back()));
    bool quotedAlready = v.size() >= 2 && v.front() == u'"' && v.back() == u'"';
    return blankEnds || quotedAlready ? u"\"" + v + u"\"" : v;
}

String checkedSection(const String& section)
{
    String s = trim(section);
    if (hasLineBreak(section) || s.find(u']') != String::npos)
        throw EIniFileException(u"Invalid ini file section name '" + section + u"'");
    return s;
}

String checkedIdent(const String& ident)
{
    String k = trim(ident);
    if (k.empty() || hasLineBreak(ident) || k.find(u'=') != String::npos || k[0] == u'[' || k[0] == u';' || k[0] == u'#')
        throw EIniFileException(u"Invalid ini file key '" + ident + u"'");
    return k;
}

String text(const std::string& ascii) { return Utf8ToString(ascii); }

String pad(unsigned v, int width)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*u", width, v);
    return text(buf);
}

// Reads digits as an unsigned number in `base`; false on anything else.
bool parseUnsigned(StringView s, int base, std::uint64_t& out)
{
    if (s.empty())
        return false;
    std::uint64_t v = 0;
    for (Char c : s) {
        int d = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10 : c >= u'A' && c <= u'F' ? c - u'A' + 10 : 99;
        if (d >= base)
            return false;
        v = v * unsigned(base) + unsigned(d);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    out = v;
    return true;
}

bool parseInteger(const String& raw, Integer& out)
{
    String s = trim(raw);
    bool negative = false;
    std::size_t p = 0;
    if (p < s.size() && (s[p] == u'-' || s[p] == u'+'))
        negative = s[p++] == u'-';
    std::uint64_t v = 0;
    StringView rest = StringView(s).substr(p);
    if (!rest.empty() && rest[0] == u'$') {
        if (!parseUnsigned(rest.substr(1), 16, v))
            return false;
        // Hexadecimal gives the bit pattern, as "$FFFFFFFF" is -1.
        Integer bits = Integer(std::uint32_t(v));
        out = negative ? Integer(0u - std::uint32_t(bits)) : bits;
        return true;
    }
    if (rest.size() > 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X')) {
        if (!parseUnsigned(rest.substr(2), 16, v))
            return false;
        Integer bits = Integer(std::uint32_t(v));
        out = negative ? Integer(0u - std::uint32_t(bits)) : bits;
        return true;
    }
    if (!parseUnsigned(rest, 10, v))
        return false;
    if (negative ? v > 0x80000000ull : v > 0x7FFFFFFFull)
        return false;
    out = negative ? Integer(-Int64(v)) : Integer(v);
    return true;
}

bool parseFloat(const String& raw, double& out)
{
    std::string s = StringToUtf8(trim(raw));
    for (char& c : s)
        if (c == ',')
            c = '.';
    if (s.empty())
        return false;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(first, s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

// Fixed-width unsigned field at `pos`.
bool field(StringView s, std::size_t& pos, std::size_t width, unsigned& out)
{
    if (pos + width > s.size())
        return false;
    out = 0;
    for (std::size_t i = 0; i < width; ++i) {
        Char c = s[pos + i];
        if (c < u'0' || c > u'9')
            return false;
        out = out * 10 + unsigned(c - u'0');
    }
    pos += width;
    return true;
}

bool expect(StringView s, std::size_t& pos, Char c)
{
    if (pos >= s.size() || s[pos] != c)
        return false;
    ++pos;
    return true;
}

bool parseDatePart(StringView s, std::size_t& pos, TDateTime& out)
{
    unsigned y, m, d;
    if (!field(s, pos, 4, y) || !expect(s, pos, u'-') || !field(s, pos, 2, m) || !expect(s, pos, u'-') || !field(s, pos, 2, d))
        return false;
    return TryEncodeDate(Word(y), Word(m), Word(d), out);
}

bool parseTimePart(StringView s, std::size_t& pos, TDateTime& out)
{
    unsigned h, n, sec = 0, ms = 0;
    if (!field(s, pos, 2, h) || !expect(s, pos, u':') || !field(s, pos, 2, n))
        return false;
    if (pos < s.size() && s[pos] == u':') {
        ++pos;
        if (!field(s, pos, 2, sec))
            return false;
        if (pos < s.size() && s[pos] == u'.' && !(++pos, field(s, pos, 3, ms)))
            return false;
    }
    return TryEncodeTime(Word(h), Word(n), Word(sec), Word(ms), out);
}

enum class DateForm { Date, Time, DateTime };

bool parseDateTime(const String& raw, DateForm form, TDateTime& out)
{
    String s = trim(raw);
    std::size_t pos = 0;
    TDateTime date = 0, time = 0;
    bool hasDate = form != DateForm::Time && parseDatePart(s, pos, date);
    if (!hasDate)
        pos = 0;
    if (form == DateForm::Date && !hasDate)
        return false;
    if (form != DateForm::Date) {
        if (!hasDate) {
            if (!parseTimePart(s, pos, time))
                return false;
        } else if (pos < s.size() && (!expect(s, pos, u' ') || !parseTimePart(s, pos, time))) {
            return false;
        }
    }
    if (pos != s.size())
        return false;
    // Before 1899-12-30 the time fraction still runs forward.
    out = date < 0 ? date - time : date + time;
    return true;
}

String formatDate(TDateTime v)
{
    Word y, m, d;
    DecodeDate(v, y, m, d);
    return pad(y, 4) + u"-" + pad(m, 2) + u"-" + pad(d, 2);
}

String formatTime(TDateTime v)
{
    Word h, n, s, ms;
    DecodeTime(v, h, n, s, ms);
    String r = pad(h, 2) + u":" + pad(n, 2) + u":" + pad(s, 2);
    if (ms)
        r += u"." + pad(ms, 3);
    return r;
}

String formatFloat(double v)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? text(std::string(buf, end)) : String();
}

String detectLineBreak(const String& text)
{
    auto at = text.find_first_of(u"\r\n");
    if (at != String::npos && text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
        return u"\r\n";
    return u"\n";
}

struct LoadedText {
    String text;
    TEncoding* encoding { nullptr };
};

// The file's text; an absent file is empty.
LoadedText loadFile(const String& fileName, TEncoding* encoding)
{
    LoadedText r;
    r.encoding = encoding;
    if (!FileExists(fileName)) {
        if (!r.encoding)
            r.encoding = TEncoding::Default();
        return r;
    }
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    TBytes bytes(static_cast<const std::uint8_t*>(stream.GetMemory()),
        static_cast<const std::uint8_t*>(stream.GetMemory()) + stream.GetSize());
    int preamble = TEncoding::GetBufferEncoding(bytes, r.encoding);
    r.text = r.encoding->GetString(bytes, std::size_t(preamble), bytes.size() - std::size_t(preamble));
    return r;
}

void saveFile(const String& fileName, const String& text, TEncoding* encoding)
{
    TBytes bytes = encoding->GetPreamble();
    TBytes body = encoding->GetBytes(text);
    bytes.insert(bytes.end(), body.begin(), body.end());
    WriteFileAtomically(fileName, bytes);
}

void fill(TStrings& strings, const std::vector<String>& items)
{
    strings.BeginUpdate();
    try {
        strings.Clear();
        for (const auto& s : items)
            strings.Add(s);
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

} // namespace

// ---- TIniDocument

void TIniDocument::Parse(const String& text)
{
    FSections.clear();
    FSections.push_back(Section {});
    FLineBreak = detectLineBreak(text);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", pos);
        String line = text.substr(pos, end == String::npos ? String::npos : end - pos);
        if (end == String::npos)
            pos = text.size();
        else
            pos = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);

        String t = trim(line);
        auto close = t.find(u']');
        if (!t.empty() && t[0] == u'[' && close != String::npos) {
            Section s;
            s.named = true;
            s.name = trim(StringView(t).substr(1, close - 1));
            s.header = line;
            FSections.push_back(std::move(s));
            continue;
        }
        Line l;
        l.raw = line;
        auto eq = t.find(u'=');
        if (!t.empty() && t[0] != u';' && t[0] != u'#' && eq != String::npos && eq > 0) {
            l.isKey = true;
            l.key = trim(StringView(t).substr(0, eq));
            l.value = unquote(trim(StringView(t).substr(eq + 1)));
        }
        FSections.back().lines.push_back(std::move(l));
    }
}

String TIniDocument::Text() const
{
    String r;
    for (const auto& s : FSections) {
        if (s.named)
            r += s.header + FLineBreak;
        for (const auto& l : s.lines)
            r += l.raw + FLineBreak;
    }
    return r;
}

TIniDocument::Section* TIniDocument::FindSection(const String& name)
{
    for (auto& s : FSections)
        if (s.named && sameName(s.name, name))
            return &s;
    return nullptr;
}

const TIniDocument::Section* TIniDocument::FindSection(const String& name) const
{
    return const_cast<TIniDocument*>(this)->FindSection(name);
}

bool TIniDocument::Find(const String& section, const String& ident, String& value) const
{
    const Section* s = FindSection(trim(section));
    if (!s)
        return false;
    String key = trim(ident);
    for (const auto& l : s->lines)
        if (l.isKey && sameName(l.key, key)) {
            value = l.value;
            return true;
        }
    return false;
}

void TIniDocument::Write(const String& section, const String& ident, const String& value)
{
    String name = checkedSection(section);
    String key = checkedIdent(ident);
    if (hasLineBreak(value))
        throw EIniFileException(u"Ini file value for '" + ident + u"' contains a line break");
    Section* s = FindSection(name);
    if (!s) {
        if (FSections.empty())
            FSections.push_back(Section {});
        // Keep a blank line between sections, as people write them.
        Section& last = FSections.back();
        bool hasContent = last.named || !last.lines.empty();
        if (hasContent && (last.lines.empty() || !trim(last.lines.back().raw).empty()))
            last.lines.push_back(Line {});
        Section fresh;
        fresh.named = true;
        fresh.name = name;
        fresh.header = u"[" + name + u"]";
        FSections.push_back(std::move(fresh));
        s = &FSections.back();
    }
    for (auto& l : s->lines)
        if (l.isKey && sameName(l.key, key)) {
            l.value = value;
            l.raw = l.key + u"=" + quoteIfNeeded(value);
            return;
        }
    // After the section's last non-blank line, so a blank separator stays last.
    std::size_t at = s->lines.size();
    while (at > 0 && trim(s->lines[at - 1].raw).empty())
        --at;
    Line l;
    l.isKey = true;
    l.key = key;
    l.value = value;
    l.raw = key + u"=" + quoteIfNeeded(value);
    s->lines.insert(s->lines.begin() + std::ptrdiff_t(at), std::move(l));
}

bool TIniDocument::SectionExists(const String& section) const { return FindSection(trim(section)) != nullptr; }

bool TIniDocument::ValueExists(const String& section, const String& ident) const
{
    String ignored;
    return Find(section, ident, ignored);
}

void TIniDocument::EraseSection(const String& section)
{
    String name = trim(section);
    std::erase_if(FSections, [&](const Section& s) { return s.named && sameName(s.name, name); });
}

void TIniDocument::DeleteKey(const String& section, const String& ident)
{
    Section* s = FindSection(trim(section));
    if (!s)
        return;
    String key = trim(ident);
    std::erase_if(s->lines, [&](const Line& l) { return l.isKey && sameName(l.key, key); });
}

std::vector<String> TIniDocument::SectionNames() const
{
    std::vector<String> r;
    for (const auto& s : FSections)
        if (s.named)
            r.push_back(s.name);
    return r;
}

std::vector<String> TIniDocument::Keys(const String& section) const
{
    std::vector<String> r;
    if (const Section* s = FindSection(trim(section)))
        for (const auto& l : s->lines)
            if (l.isKey)
                r.push_back(l.key);
    return r;
}

std::vector<String> TIniDocument::KeyValues(const String& section) const
{
    std::vector<String> r;
    if (const Section* s = FindSection(trim(section)))
        for (const auto& l : s->lines)
            if (l.isKey)
                r.push_back(l.key + u"=" + l.value);
    return r;
}

// ---- TCustomIniFile

bool TCustomIniFile::SectionExists(const String& section)
{
    TStringList keys;
    ReadSections(keys);
    for (int i = 0; i < keys.GetCount(); ++i)
        if (sameName(keys[i], trim(section)))
            return true;
    return false;
}

bool TCustomIniFile::ValueExists(const String& section, const String& ident)
{
    TStringList keys;
    ReadSection(section, keys);
    for (int i = 0; i < keys.GetCount(); ++i)
        if (sameName(keys[i], trim(ident)))
            return true;
    return false;
}

Integer TCustomIniFile::ReadInteger(const String& section, const String& ident, Integer defaultValue)
{
    Integer v;
    return parseInteger(ReadString(section, ident, String()), v) ? v : defaultValue;
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident, Integer value)
{
    WriteString(section, ident, text(std::to_string(value)));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident, bool defaultValue)
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident, bool value)
{
    WriteString(section, ident, value ? u"1" : u"0");
}

double TCustomIniFile::ReadFloat(const String& section, const String& ident, double defaultValue)
{
    double v;
    return parseFloat(ReadString(section, ident, String()), v) ? v : defaultValue;
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident, double value)
{
    WriteString(section, ident, formatFloat(value));
}

TDateTime TCustomIniFile::ReadDate(const String& section, const String& ident, TDateTime defaultValue)
{
    TDateTime v;
    return parseDateTime(ReadString(section, ident, String()), DateForm::Date, v) ? v : defaultValue;
}

void TCustomIniFile::WriteDate(const String& section, const String& ident, TDateTime value)
{
    WriteString(section, ident, formatDate(value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& section, const String& ident, TDateTime defaultValue)
{
    TDateTime v;
    return parseDateTime(ReadString(section, ident, String()), DateForm::DateTime, v) ? v : defaultValue;
}

void TCustomIniFile::WriteDateTime(const String& section, const String& ident, TDateTime value)
{
    WriteString(section, ident, formatDate(value) + u" " + formatTime(value));
}

TDateTime TCustomIniFile::ReadTime(const String& section, const String& ident, TDateTime defaultValue)
{
    TDateTime v;
    return parseDateTime(ReadString(section, ident, String()), DateForm::Time, v) ? v : defaultValue;
}

void TCustomIniFile::WriteTime(const String& section, const String& ident, TDateTime value)
{
    WriteString(section, ident, formatTime(value));
}

int TCustomIniFile::ReadBinaryStream(const String& section, const String& ident, TStream& value)
{
    String hex = ReadString(section, ident, String());
    TBytes bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        std::uint64_t b;
        if (!parseUnsigned(StringView(hex).substr(i, 2), 16, b))
            break; // the valid start is kept, as far as it goes
        bytes.push_back(std::uint8_t(b));
    }
    if (bytes.empty())
        return 0;
    Int64 start = value.GetPosition();
    value.WriteBuffer(bytes);
    value.SetPosition(start);
    return int(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const String& section, const String& ident, TStream& value)
{
    Int64 start = value.GetPosition();
    Int64 count = value.GetSize() - start;
    TBytes bytes;
    if (count > 0)
        value.ReadBuffer(bytes, count);
    value.SetPosition(start);
    static const char16_t digits[] = u"0123456789ABCDEF";
    String hex;
    hex.reserve(bytes.size() * 2);
    for (auto b : bytes) {
        hex.push_back(digits[b >> 4]);
        hex.push_back(digits[b & 15]);
    }
    WriteString(section, ident, hex);
}

// ---- TMemIniFile

TMemIniFile::TMemIniFile(const String& fileName, TEncoding* encoding) : TCustomIniFile(fileName), FEncoding(encoding)
{
    LoadValues();
}

void TMemIniFile::LoadValues()
{
    if (FFileName.empty()) {
        FDocument.Clear();
        return;
    }
    LoadedText loaded = loadFile(FFileName, FEncoding);
    FEncoding = loaded.encoding;
    FDocument.Parse(loaded.text);
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& defaultValue)
{
    String v;
    return FDocument.Find(section, ident, v) ? v : defaultValue;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value)
{
    FDocument.Write(section, ident, value);
}

void TMemIniFile::ReadSection(const String& section, TStrings& strings) { fill(strings, FDocument.Keys(section)); }
void TMemIniFile::ReadSections(TStrings& strings) { fill(strings, FDocument.SectionNames()); }
void TMemIniFile::ReadSectionValues(const String& section, TStrings& strings) { fill(strings, FDocument.KeyValues(section)); }
void TMemIniFile::EraseSection(const String& section) { FDocument.EraseSection(section); }
void TMemIniFile::DeleteKey(const String& section, const String& ident) { FDocument.DeleteKey(section, ident); }

void TMemIniFile::UpdateFile()
{
    saveFile(FFileName, FDocument.Text(), FEncoding ? FEncoding : TEncoding::Default());
}

void TMemIniFile::GetStrings(TStrings& list) const
{
    TStringList lines;
    lines.SetText(FDocument.Text());
    list.Assign(&lines);
}

void TMemIniFile::SetStrings(const TStrings& list)
{
    String text;
    for (int i = 0; i < list.GetCount(); ++i)
        text += list[i] + u"\n";
    FDocument.Parse(text);
}

void TMemIniFile::Rename(const String& fileName, bool reload)
{
    FFileName = fileName;
    if (reload)
        LoadValues();
}

// ---- TIniFile: every call goes to the file.

namespace {

TIniDocument readDocument(const String& fileName, TEncoding** encoding = nullptr)
{
    LoadedText loaded = loadFile(fileName, nullptr);
    if (encoding)
        *encoding = loaded.encoding;
    TIniDocument doc;
    doc.Parse(loaded.text);
    return doc;
}

template<class Change>
void changeDocument(const String& fileName, Change change)
{
    TEncoding* encoding = nullptr;
    TIniDocument doc = readDocument(fileName, &encoding);
    change(doc);
    try {
        saveFile(fileName, doc.Text(), encoding);
    } catch (const EStreamError& e) {
        throw EIniFileException(u"Unable to write to " + fileName + u" (" + e.Message + u")");
    }
}

} // namespace

String TIniFile::ReadString(const String& section, const String& ident, const String& defaultValue)
{
    String v;
    return readDocument(FFileName).Find(section, ident, v) ? v : defaultValue;
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value)
{
    changeDocument(FFileName, [&](TIniDocument& d) { d.Write(section, ident, value); });
}

void TIniFile::ReadSection(const String& section, TStrings& strings) { fill(strings, readDocument(FFileName).Keys(section)); }
void TIniFile::ReadSections(TStrings& strings) { fill(strings, readDocument(FFileName).SectionNames()); }
void TIniFile::ReadSectionValues(const String& section, TStrings& strings)
{
    fill(strings, readDocument(FFileName).KeyValues(section));
}

void TIniFile::EraseSection(const String& section)
{
    changeDocument(FFileName, [&](TIniDocument& d) { d.EraseSection(section); });
}

void TIniFile::DeleteKey(const String& section, const String& ident)
{
    changeDocument(FFileName, [&](TIniDocument& d) { d.DeleteKey(section, ident); });
}

// ---- profile calls

namespace {

// Copies a zero-separated list, ended by a second zero, truncated to fit.
DWORD copyList(const std::vector<String>& items, Char* out, DWORD size)
{
    if (!out || size == 0)
        return 0;
    if (size < 2) {
        out[0] = 0;
        return 0;
    }
    DWORD n = 0;
    for (const auto& item : items) {
        for (Char c : item) {
            if (n + 2 >= size) {
                out[n] = 0;
                out[n + 1] = 0;
                return size - 2;
            }
            out[n++] = c;
        }
        if (n + 2 >= size) {
            out[n] = 0;
            out[n + 1] = 0;
            return size - 2;
        }
        out[n++] = 0;
    }
    out[n] = 0;
    return n;
}

DWORD copyString(const String& s, Char* out, DWORD size)
{
    if (!out || size == 0)
        return 0;
    DWORD n = DWORD(std::min<std::size_t>(s.size(), size - 1));
    std::copy(s.begin(), s.begin() + n, out);
    out[n] = 0;
    return n;
}

} // namespace

DWORD GetPrivateProfileString(const Char* appName, const Char* keyName, const Char* defaultValue, Char* returnedString,
    DWORD size, const Char* fileName)
{
    String def = defaultValue ? trim(defaultValue) : String();
    if (!fileName)
        return copyString(def, returnedString, size);
    TIniDocument doc;
    try {
        doc = readDocument(fileName);
    } catch (const Exception&) {
        return copyString(def, returnedString, size);
    }
    if (!appName)
        return copyList(doc.SectionNames(), returnedString, size);
    if (!keyName)
        return copyList(doc.Keys(appName), returnedString, size);
    String v;
    return copyString(doc.Find(appName, keyName, v) ? v : def, returnedString, size);
}

BOOL WritePrivateProfileString(const Char* appName, const Char* keyName, const Char* value, const Char* fileName)
{
    if (!appName || !fileName)
        return FALSE;
    try {
        changeDocument(fileName, [&](TIniDocument& d) {
            if (!keyName)
                d.EraseSection(appName);
            else if (!value)
                d.DeleteKey(appName, keyName);
            else
                d.Write(appName, keyName, value);
        });
    } catch (const Exception&) {
        return FALSE;
    }
    return TRUE;
}
