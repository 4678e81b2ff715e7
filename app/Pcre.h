#pragma once
// Perl-compatible regular expressions over UTF-16 text (PCRE2's 16-bit
// library). Every pattern is compiled in UTF mode with the newline convention
// ANY, JIT-compiled where the library offers it, and kept in a process-wide
// cache, so building the same pattern again (once per listing card) is cheap.

#include <memory>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

QT_DECLARE_EXCEPTION(ERegularExpressionError, Exception);

// Compile options.
enum TPcreOption : unsigned {
    pcoNone = 0,
    pcoCaseless = 1,
    pcoMultiLine = 2,
    pcoDotAll = 4,
    pcoUngreedy = 8,
};

class TPcreRegex {
public:
    TPcreRegex() = default;
    explicit TPcreRegex(const String& pattern, unsigned options = pcoNone);
    ~TPcreRegex();
    TPcreRegex(const TPcreRegex&) = delete;
    TPcreRegex& operator=(const TPcreRegex&) = delete;

    const String& GetRegEx() const { return m_pattern; }
    void SetRegEx(const String& pattern);
    unsigned GetOptions() const { return m_options; }
    void SetOptions(unsigned options);
    // The matching state in which an empty match is not accepted.
    bool GetNotEmpty() const { return m_notEmpty; }
    void SetNotEmpty(bool v) { m_notEmpty = v; }

    const String& GetSubject() const { return m_subject; }
    // Lone surrogates are replaced by U+FFFD (same length, so offsets hold).
    void SetSubject(const String& subject);

    // First match in the subject. A pattern error raises ERegularExpressionError.
    bool Match();
    // The next match after the previous one (an empty match moves on by one character).
    bool MatchAgain();
    bool GetFoundMatch() const { return m_found; }

    // Groups of the last match; an unset group or an index out of range gives "".
    int GroupCount() const { return m_found ? int(m_groups.size()) - 1 : 0; }
    String Group(int index) const;
    String MatchedText() const { return Group(0); }
    // Zero-based offset and length of the whole match.
    int MatchedOffset() const { return m_found ? int(m_groups[0].first) : -1; }
    int MatchedLength() const { return m_found ? int(m_groups[0].second - m_groups[0].first) : 0; }

    // Replaces every match in the subject by `replacement` taken literally;
    // the subject becomes the result. Returns the number of replacements.
    int ReplaceAll(const String& replacement);

    // JIT use for all matching (on by default where available); for measurements.
    static void SetJitEnabled(bool enabled);
    static bool JitAvailable();

    struct Compiled; // a compiled pattern, shared through the cache

private:
    const Compiled& CompiledPattern();
    bool MatchAt(size_t offset, unsigned matchOptions);

    String m_pattern;
    unsigned m_options { pcoNone };
    bool m_notEmpty { false };
    String m_subject;
    std::shared_ptr<const Compiled> m_compiled;
    bool m_found { false };
    std::vector<std::pair<size_t, size_t>> m_groups; // [start, end) per group; start == npos when unset
};

// Shorthand: group `group` of the first match of `pattern` in `subject`, or "".
String PcreFirstGroup(const String& subject, const String& pattern, unsigned options = pcoNone, int group = 1);
