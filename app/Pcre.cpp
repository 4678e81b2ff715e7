#include "app/Pcre.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <atomic>
#include <map>
#include <mutex>

struct TPcreRegex::Compiled {
    pcre2_code* Code { nullptr };
    ~Compiled()
    {
        if (Code)
            pcre2_code_free(Code);
    }
};

namespace {

std::atomic<bool> g_jitEnabled { true };

// Patterns are few and fixed (the parser's lookups); the bound only guards
// against a caller building patterns from data without end.
constexpr size_t kMaxCachedPatterns = 512;

std::mutex g_cacheMutex;
std::map<std::pair<String, unsigned>, std::shared_ptr<const TPcreRegex::Compiled>>& Cache()
{
    static std::map<std::pair<String, unsigned>, std::shared_ptr<const TPcreRegex::Compiled>> cache;
    return cache;
}

PCRE2_SPTR Units(const String& s) { return reinterpret_cast<PCRE2_SPTR>(s.data()); }

String ErrorText(int code)
{
    PCRE2_UCHAR buffer[256];
    int n = pcre2_get_error_message(code, buffer, 256);
    if (n < 0)
        return u"regular expression error " + Utf8ToString(std::to_string(code));
    return String(reinterpret_cast<const char16_t*>(buffer), size_t(n));
}

uint32_t CompileOptions(unsigned options)
{
    uint32_t o = PCRE2_UTF;
    if (options & pcoCaseless)
        o |= PCRE2_CASELESS;
    if (options & pcoMultiLine)
        o |= PCRE2_MULTILINE;
    if (options & pcoDotAll)
        o |= PCRE2_DOTALL;
    if (options & pcoUngreedy)
        o |= PCRE2_UNGREEDY;
    return o;
}

std::shared_ptr<const TPcreRegex::Compiled> Compile(const String& pattern, unsigned options)
{
    {
        std::lock_guard lock(g_cacheMutex);
        auto it = Cache().find({ pattern, options });
        if (it != Cache().end())
            return it->second;
    }
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_ANY);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(Units(pattern), pattern.size(), CompileOptions(options), &error, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code)
        throw ERegularExpressionError(ErrorText(error) + u" at offset " + Utf8ToString(std::to_string(errorOffset))
                                      + u" of " + pattern);
    // Without JIT support the interpreter runs; that is only slower.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    auto compiled = std::make_shared<TPcreRegex::Compiled>();
    compiled->Code = code;
    std::lock_guard lock(g_cacheMutex);
    if (Cache().size() >= kMaxCachedPatterns)
        Cache().clear();
    Cache().emplace(std::make_pair(pattern, options), compiled);
    return compiled;
}

// The length of the character at `offset`, so a step never splits a pair.
size_t CharLength(const String& s, size_t offset)
{
    if (offset + 1 < s.size() && IsHighSurrogate(s[offset]) && IsLowSurrogate(s[offset + 1]))
        return 2;
    return 1;
}

} // namespace

TPcreRegex::TPcreRegex(const String& pattern, unsigned options)
    : m_pattern(pattern)
    , m_options(options)
{
}

TPcreRegex::~TPcreRegex() = default;

void TPcreRegex::SetRegEx(const String& pattern)
{
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    m_compiled.reset();
    m_found = false;
}

void TPcreRegex::SetOptions(unsigned options)
{
    if (options == m_options)
        return;
    m_options = options;
    m_compiled.reset();
    m_found = false;
}

void TPcreRegex::SetSubject(const String& subject)
{
    m_subject = subject;
    for (size_t i = 0; i < m_subject.size(); ++i) {
        if (IsHighSurrogate(m_subject[i]) && i + 1 < m_subject.size() && IsLowSurrogate(m_subject[i + 1]))
            ++i;
        else if (IsSurrogate(m_subject[i]))
            m_subject[i] = ReplacementChar;
    }
    m_found = false;
}

const TPcreRegex::Compiled& TPcreRegex::CompiledPattern()
{
    if (!m_compiled)
        m_compiled = Compile(m_pattern, m_options);
    return *m_compiled;
}

void TPcreRegex::SetJitEnabled(bool enabled) { g_jitEnabled = enabled; }

bool TPcreRegex::JitAvailable()
{
    uint32_t jit = 0;
    return pcre2_config(PCRE2_CONFIG_JIT, &jit) >= 0 && jit != 0;
}

bool TPcreRegex::MatchAt(size_t offset, unsigned matchOptions)
{
    const Compiled& compiled = CompiledPattern();
    m_found = false;
    m_groups.clear();
    if (offset > m_subject.size())
        return false;
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
        pcre2_match_data_create_from_pattern(compiled.Code, nullptr), &pcre2_match_data_free);
    if (m_notEmpty)
        matchOptions |= PCRE2_NOTEMPTY;
    if (!g_jitEnabled)
        matchOptions |= PCRE2_NO_JIT;
    // The subject was cleaned of lone surrogates in SetSubject.
    int rc = pcre2_match(compiled.Code, Units(m_subject), m_subject.size(), offset, matchOptions | PCRE2_NO_UTF_CHECK,
                         data.get(), nullptr);
    // No match, or a match limit hit by runaway backtracking: nothing found.
    if (rc <= 0)
        return false;
    PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    uint32_t pairs = pcre2_get_ovector_count(data.get());
    m_groups.resize(pairs);
    for (uint32_t i = 0; i < pairs; ++i)
        m_groups[i] = { ovector[2 * i], ovector[2 * i + 1] };
    m_found = true;
    return true;
}

bool TPcreRegex::Match() { return MatchAt(0, 0); }

bool TPcreRegex::MatchAgain()
{
    if (!m_found)
        return false;
    size_t start = m_groups[0].first, end = m_groups[0].second;
    if (end > start)
        return MatchAt(end, 0);
    // After an empty match: first try a non-empty match at the same place, then move on one character.
    if (end >= m_subject.size())
        return (m_found = false);
    if (MatchAt(end, PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED))
        return true;
    size_t next = end + CharLength(m_subject, end);
    if (end + 1 < m_subject.size() && m_subject[end] == u'\r' && m_subject[end + 1] == u'\n')
        next = end + 2;
    return MatchAt(next, 0);
}

String TPcreRegex::Group(int index) const
{
    if (!m_found || index < 0 || size_t(index) >= m_groups.size())
        return {};
    auto [start, end] = m_groups[size_t(index)];
    if (start == PCRE2_UNSET || end < start || end > m_subject.size())
        return {};
    return m_subject.substr(start, end - start);
}

int TPcreRegex::ReplaceAll(const String& replacement)
{
    const Compiled& compiled = CompiledPattern();
    m_found = false;
    uint32_t options = PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_LITERAL | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH
        | PCRE2_NO_UTF_CHECK;
    if (m_notEmpty)
        options |= PCRE2_NOTEMPTY;
    if (!g_jitEnabled)
        options |= PCRE2_NO_JIT;
    String out(m_subject.size() + replacement.size() + 64, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        PCRE2_SIZE length = out.size();
        int rc = pcre2_substitute(compiled.Code, Units(m_subject), m_subject.size(), 0, options, nullptr, nullptr,
                                  Units(replacement), replacement.size(),
                                  reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        if (rc >= 0) {
            out.resize(length);
            m_subject = std::move(out);
            return rc;
        }
        if (rc != PCRE2_ERROR_NOMEMORY)
            return 0; // a match limit hit: the subject stays as it was
        out.assign(length + 1, u'\0');
    }
    return 0;
}

String PcreFirstGroup(const String& subject, const String& pattern, unsigned options, int group)
{
    TPcreRegex re(pattern, options);
    re.SetSubject(subject);
    return re.Match() ? re.Group(group) : String();
}
