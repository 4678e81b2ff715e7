// Random patterns from the subset of syntax that TRegExpr and PCRE2 read the
// same way, matched by both against random inputs: match, position and groups
// must agree.

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <gtest/gtest.h>

#include <random>

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
