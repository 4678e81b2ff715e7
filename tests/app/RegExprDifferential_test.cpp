// Random patterns from the subset of syntax that TRegExpr and PCRE2 read the
// same way, matched by both against random inputs: match, position and groups
// must agree.

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/RegExpr.h"

namespace {

struct TModifiers {
    bool i = false, s = true, g = true, m = false;
};

// The grammar avoids the known dialect differences: no Cyrillic ranges, no
// "(?:", no literal "{", no back references, no VT or CR in inputs, ASCII
// letters only, no lazy suffix when every repetition is already lazy.
class TPatternGen {
public:
    explicit TPatternGen(std::uint32_t seed) : m_rng(seed) { }

    String Pattern(const TModifiers& mods, int& groups)
    {
        m_mods = mods;
        m_groups = 0;
        String p = Alternation(0);
        groups = m_groups;
        return p;
    }

    String Input()
    {
        static const char16_t alphabet[] = u"aabbcAB1 _\n-";
        String s;
        const int len = Pick(0, 12);
        for (int k = 0; k < len; ++k)
            s += alphabet[Pick(0, int(std::size(alphabet)) - 2)];
        return s;
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

private:
    String Alternation(int depth)
    {
        String p = Sequence(depth);
        if (Pick(0, 5) == 0)
            p += u"|" + Sequence(depth);
        return p;
    }

    String Sequence(int depth)
    {
        String p;
        const int n = Pick(1, 3);
        for (int k = 0; k < n; ++k)
            p += Piece(depth);
        return p;
    }

    String Piece(int depth)
    {
        bool quantifiable = true;
        String atom = Atom(depth, quantifiable);
        if (!quantifiable || Pick(0, 2) != 0)
            return atom;
        static const char16_t* const quantifiers[] = { u"*", u"+", u"?", u"{2}", u"{1,}", u"{0,2}", u"{1,3}" };
        atom += quantifiers[Pick(0, int(std::size(quantifiers)) - 1)];
        if (m_mods.g && Pick(0, 3) == 0)
            atom += u"?";
        return atom;
    }

    String Atom(int depth, bool& quantifiable)
    {
        switch (Pick(0, depth < 3 ? 12 : 9)) {
        case 0: case 1: case 2: return String(1, u"abc"[Pick(0, 2)]);
        case 3: return u".";
        case 4: {
            static const char16_t* const sets[] = { u"[ab]", u"[^a]", u"[a-c]", u"[\\d_]", u"[^\\s]", u"[b-cA]" };
            return sets[Pick(0, int(std::size(sets)) - 1)];
        }
        case 5: {
            static const char16_t* const classes[] = { u"\\d", u"\\w", u"\\s", u"\\W", u"\\S", u"\\D" };
            return classes[Pick(0, int(std::size(classes)) - 1)];
        }
        case 6:
            quantifiable = false;
            return Pick(0, 1) ? u"\\b" : u"\\B";
        case 7:
            quantifiable = false;
            return Pick(0, 1) ? u"^" : u"$";
        case 8: return u"ab";
        case 9: return u"\\-";
        default:
            if (m_groups >= 9)
                return u"a";
            ++m_groups;
            return u"(" + Alternation(depth + 1) + u")";
        }
    }

    std::mt19937 m_rng;
    TModifiers m_mods;
    int m_groups = 0;
};

struct TPcreResult {
    bool found = false;
    std::vector<std::pair<int, int>> groups; // 1-based position and length, -1 when unset
};

class TPcre {
public:
    TPcre(const String& pattern, const TModifiers& mods)
    {
        std::uint32_t options = PCRE2_UTF | PCRE2_DOLLAR_ENDONLY;
        if (mods.i)
            options |= PCRE2_CASELESS;
        if (mods.s)
            options |= PCRE2_DOTALL;
        if (!mods.g)
            options |= PCRE2_UNGREEDY;
        if (mods.m)
            options |= PCRE2_MULTILINE | PCRE2_ALT_CIRCUMFLEX;
        int error = 0;
        PCRE2_SIZE offset = 0;
        m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &error, &offset, nullptr);
        if (m_code)
            m_data = pcre2_match_data_create_from_pattern(m_code, nullptr);
    }
    ~TPcre()
    {
        pcre2_match_data_free(m_data);
        pcre2_code_free(m_code);
    }
    TPcre(const TPcre&) = delete;
    TPcre& operator=(const TPcre&) = delete;

    bool Ok() const { return m_code != nullptr; }

    // Matches from the 1-based position `from`.
    TPcreResult Match(const String& input, int groups, int from)
    {
        TPcreResult r;
        const int rc = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(input.data()), input.size(), PCRE2_SIZE(from - 1), 0,
            m_data, nullptr);
        r.found = rc > 0;
        if (!r.found)
            return r;
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(m_data);
        for (int g = 0; g <= groups; ++g) {
            if (g >= rc || ov[2 * g] == PCRE2_UNSET)
                r.groups.emplace_back(-1, -1);
            else
                r.groups.emplace_back(int(ov[2 * g]) + 1, int(ov[2 * g + 1] - ov[2 * g]));
        }
        return r;
    }

private:
    pcre2_code* m_code = nullptr;
    pcre2_match_data* m_data = nullptr;
};

} // namespace

TEST(RegExprDifferential, AgreesWithPcreOnTheCommonSubset)
{
    TPatternGen gen(20261210);
    int compared = 0;
    for (int round = 0; round < 3000; ++round) {
        TModifiers mods;
        mods.i = gen.Pick(0, 3) == 0;
        mods.s = gen.Pick(0, 3) != 0;
        mods.g = gen.Pick(0, 4) != 0;
        mods.m = gen.Pick(0, 3) == 0;
        int groups = 0;
        const String pattern = gen.Pattern(mods, groups);

        TRegExpr re;
        re.SetModifierI(mods.i);
        re.SetModifierS(mods.s);
        re.SetModifierG(mods.g);
        re.SetModifierM(mods.m);
        re.SetExpression(pattern);
        try {
            re.Compile();
        } catch (const ERegExpr& e) {
            // Refusing a repetition of what may match nothing, or of another
            // repetition, is this dialect's own rule.
            ASSERT_TRUE(e.ErrorCode == 106 || e.ErrorCode == 107) << StringToUtf8(pattern) << ": " << e.what();
            continue;
        }
        TPcre pcre(pattern, mods);
        ASSERT_TRUE(pcre.Ok()) << StringToUtf8(pattern);

        for (int k = 0; k < 8; ++k) {
            const String input = gen.Input();
            // Every other input is searched from a later position.
            const int from = k % 2 ? gen.Pick(1, int(input.size()) + 1) : 1;
            SCOPED_TRACE("pattern " + StringToUtf8(pattern) + " modifiers " + StringToUtf8(re.GetModifierStr()) + " input \""
                + StringToUtf8(input) + "\" from " + std::to_string(from));
            const TPcreResult expected = pcre.Match(input, groups, from);
            re.SetInputString(input);
            ASSERT_EQ(re.ExecPos(from), expected.found);
            ++compared;
            if (!expected.found)
                continue;
            for (int g = 0; g <= groups; ++g) {
                SCOPED_TRACE("group " + std::to_string(g));
                ASSERT_EQ(re.GetMatchPos(g), expected.groups[std::size_t(g)].first);
                ASSERT_EQ(re.GetMatchLen(g), expected.groups[std::size_t(g)].second);
            }
        }
    }
    // The generator must produce mostly patterns both engines take.
    EXPECT_GT(compared, 3000 * 8 / 2);
}

namespace {

// Every match of `re` over `input`, stepping with ExecNext: 1-based position
// and length of each.
std::vector<std::pair<int, int>> AllMatches(TRegExpr& re, const String& input)
{
    std::vector<std::pair<int, int>> found;
    for (bool ok = re.Exec(input); ok; ok = re.ExecNext())
        found.emplace_back(re.GetMatchPos(0), re.GetMatchLen(0));
    return found;
}

// The same with PCRE2, stepping as ExecNext does (one further after an empty match).
std::vector<std::pair<int, int>> AllMatches(TPcre& pcre, const String& input)
{
    std::vector<std::pair<int, int>> found;
    int from = 1;
    while (from <= int(input.size()) + 1) {
        const TPcreResult r = pcre.Match(input, 0, from);
        if (!r.found)
            break;
        found.push_back(r.groups[0]);
        from = r.groups[0].first + r.groups[0].second + (r.groups[0].second == 0 ? 1 : 0);
    }
    return found;
}

} // namespace

// A search skips start positions that cannot match: those outside the
// characters a match can begin with, and, after a failed attempt that began
// with a repetition of a one-character node, every start up to where that
// repetition stopped. Patterns that take these shortcuts, and patterns that
// look alike but must not (a group, an alternative, a back reference or an
// anchor first; a bounded count), find every match PCRE2 finds, over inputs
// with long runs of the repeated characters.
TEST(RegExprDifferential, StartShortcutsKeepEveryMatch)
{
    static const char16_t* const patterns[] = {
        // A leading repetition that the search may skip past.
        u"[a-c]+d", u"[a-c]*b", u"[a-c]+c\\b", u"\\w+@\\w+", u"[ab]{2,}c", u"a+?b", u"[^b]*b", u".*c", u"\\d*\\D",
        u"[a-c]+(b|d)$", u"[a-c]{2,3}d", u"a+(ab)+", u"\\s*a", u"[a-c]+(a)\\1", u"[a-c]+?c", u"[^@ ]+@[^@ ]+",
        u"[a-d]+[a-d]@", u"a*", u"[a-c]+\\b", u"b*(a|$)",
        // Alike, but other rules hold.
        u"([a-c]+)d", u"[a-c]+d|c", u"(a)\\1+b", u"^a+b", u"\\ba+b", u"a{2}b", u"(?#x)[ab]+c", u"(a|b)+c",
        u"[a-c]+\\B",
    };
    static const char16_t alphabet[] = u"aaabbbcccd@ \n1";
    std::mt19937 rng(20261210);
    for (const char16_t* pattern : patterns) {
        for (const char16_t* modifiers : { u"", u"i", u"-s", u"m" }) {
            TModifiers mods;
            mods.i = modifiers == String(u"i");
            mods.s = modifiers != String(u"-s");
            mods.m = modifiers == String(u"m");
            TRegExpr re;
            re.SetModifierI(mods.i);
            re.SetModifierS(mods.s);
            re.SetModifierM(mods.m);
            re.SetExpression(pattern);
            TPcre pcre(pattern, mods);
            ASSERT_TRUE(pcre.Ok()) << StringToUtf8(pattern);
            for (int k = 0; k < 60; ++k) {
                String input;
                const int len = int(rng() % 60);
                while (int(input.size()) < len) {
                    // Runs of one character, to give the repetitions long sweeps.
                    const Char c = alphabet[rng() % (std::size(alphabet) - 1)];
                    input.append(std::size_t(1 + rng() % 8), c);
                }
                SCOPED_TRACE("pattern " + StringToUtf8(pattern) + " modifiers " + StringToUtf8(re.GetModifierStr())
                    + " input \"" + StringToUtf8(input) + "\"");
                ASSERT_EQ(AllMatches(re, input), AllMatches(pcre, input));
            }
        }
    }
}

// The e-mail scan of the harvest finds the same addresses on pages that take
// its shortcuts (long runs of name characters, with and without "@").
TEST(RegExprDifferential, EmailScanFindsTheSameAddresses)
{
    const String pattern = u"[_a-zA-Z\\d\\-\\.]+@[_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+";
    TRegExpr re;
    re.SetExpression(pattern);
    TPcre pcre(pattern, TModifiers());
    ASSERT_TRUE(pcre.Ok());
    // PCRE2 walks a run again from each start: it checks the shorter runs.
    for (const std::size_t runLength : { std::size_t(3000), std::size_t(200000) }) {
        const String run(runLength, u'a');
        struct Case {
            const char* name;
            String page;
            std::vector<String> addresses;
        } const cases[] = {
            { "addresses in markup", u"<a href=\"mailto:info@shop.com.au\">info@shop.com.au</a> x.y_z-1@a-b.c.d;",
                { u"info@shop.com.au", u"info@shop.com.au", u"x.y_z-1@a-b.c.d" } },
            { "no dot after the domain", u"a@b c@d. e@f.g", { u"e@f.g" } },
            { "two at signs", u"a@b@c.d a@@b.c", { u"b@c.d" } },
            { "dots and dashes only", u"-@-.- ..@..", { u"-@-.-" } },
            { "picture names", u"<img src=\"logo@2x.png\"/>", { u"logo@2x.png" } },
            { "long run then an address", run + u" b@c.d", { u"b@c.d" } },
            { "long run is the name", run + u"@c.d", { run + u"@c.d" } },
            { "long run then a lone at sign", run + u"@ b@c.d", { u"b@c.d" } },
            { "long run without at sign", run, {} },
            { "at sign at the end", run + u".b@", {} },
            { "domain ends at the end", u"x@y." + run, { u"x@y." + run } },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", runs of " + std::to_string(runLength));
            std::vector<String> found;
            for (bool ok = re.Exec(c.page); ok; ok = re.ExecNext())
                found.push_back(re.GetMatch(0));
            EXPECT_EQ(found, c.addresses);
            if (runLength < 10000) {
                EXPECT_EQ(AllMatches(re, c.page), AllMatches(pcre, c.page));
            }
        }
    }
}
