#include "app/RegExpr.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const String kEmailPattern = u"[_a-zA-Z\\d\\-\\.]+@[_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+";

// Raises and returns the ERegExpr that `f` throws (fails the test if none).
template <typename F>
ERegExpr CatchRegExpr(F&& f)
{
    try {
        f();
    } catch (const ERegExpr& e) {
        return e;
    }
    ADD_FAILURE() << "no ERegExpr raised";
    return ERegExpr(u"");
}

String Nested(const String& inner, int depth)
{
    String p = inner;
    for (int i = 0; i < depth; ++i)
        p = u"(" + p + u"){1,2}";
    return p;
}

} // namespace

TEST(RegExpr, MatchesPatternsAgainstInputs)
{
    struct Case {
        const char* name;
        String modifiers; // applied with ModifierStr; empty keeps the defaults
        String pattern;
        String input;
        bool found;
        String match;
        String group1 {};
        String group2 {};
    } const cases[] = {
        { "literal inside text", u"", u"abc", u"xxabcxx", true, u"abc" },
        { "brace without repetition is literal", u"", u"a{2,x}", u"aa{2,x}", true, u"a{2,x}" },
        { "brace at the start is literal", u"", u"{1}b", u"x{1}b", true, u"{1}b" },
        { "inline i for the rest", u"", u"(?i)abc", u"xABC", true, u"ABC" },
        { "inline i ends with its group", u"", u"((?i)a)b", u"Ab", true, u"Ab", u"A" },
        { "inline i does not reach past the group", u"", u"((?i)a)b", u"AB", false, u"" },
        { "inline off switch", u"i", u"a(?-i)b", u"AB Ab", true, u"Ab" },
        { "counted loop greedy", u"", u"(ab){2,3}", u"abababx", true, u"ababab", u"ab" },
        { "counted loop needs its minimum", u"", u"(ab){2,3}", u"abxab", false, u"" },
        { "dot without s stops at CR LF", u"-s", u"a.c", u"a\r\nc", false, u"" },
        { "dot without s stops at U+2026", u"-s", u"a.c", u"a\u2026c", false, u"" },
        { "dot with s takes a line break", u"", u"a.c", u"a\nc", true, u"a\nc" },
        { "two groups", u"", u"(\\w+) (\\w+)", u"ab cd", true, u"ab cd", u"ab", u"cd" },
        { "back reference", u"", u"(a+)b\\1", u"aaabaa", true, u"aabaa", u"aa" },
        { "back reference case-insensitive", u"i", u"(a)\\1", u"aA", true, u"aA", u"a" },
        { "back reference repeated", u"", u"(ab)\\1+", u"abababx", true, u"ababab", u"ab" },
        { "alternatives backtrack into groups", u"", u"(a|ab)(c|bcd)(d*)", u"abcd", true, u"abcd", u"a", u"bcd" },
        { "lazy plus", u"", u"a+?", u"aaa", true, u"a" },
        { "lazy counted loop", u"", u"(ab)+?", u"ababx", true, u"ab", u"ab" },
        { "lazy braces", u"", u"a{2,3}?", u"aaaa", true, u"aa" },
        { "lazy question mark", u"", u"ab??b", u"abb", true, u"ab" },
        { "modifier g off makes every repetition lazy", u"-g", u"a+", u"aaa", true, u"a" },
        { "greedy star then literal", u"", u"a*ab", u"aaab", true, u"aaab" },
        { "nested counted loops backtrack", u"", u"((ab|a){1,3}b){2}", u"abababab", true, u"abababab", u"ab", u"a" },
        { "nested loops with literal", u"", u"((ab){1,2}c){2}", u"abcababcx", true, u"abcababc", u"ababc", u"ab" },
        { "star on group", u"", u"(ab)*c", u"ababc", true, u"ababc", u"ab" },
        { "empty alternative", u"", u"a|", u"b", true, u"" },
        { "empty star match at start", u"", u"x*", u"ab", true, u"" },
        { "anchors", u"", u"^abc$", u"abc", true, u"abc" },
        { "end anchor is the very end", u"", u"c$", u"abc\n", false, u"" },
        { "multi-line anchors", u"m", u"^b$", u"a\r\nb\r\nc", true, u"b" },
        { "multi-line anchors with U+2028", u"m", u"^b$", u"a\u2028b", true, u"b" },
        { "\\A and \\Z ignore m", u"m", u"\\Ab|b\\Z", u"a\nb\nc", false, u"" },
        { "word boundary", u"", u"\\bfoo\\b", u"afoo foo.", true, u"foo" },
        { "not a boundary", u"", u"\\Boo", u"oo foo", true, u"oo" },
        { "hex escapes", u"", u"\\x41\\x{42}\\x{0043}", u"ABC", true, u"ABC" },
        { "other escapes", u"", u"\\t\\n\\r\\f\\a\\e\\.", u"\t\n\r\f\a\x1b.", true, u"\t\n\r\f\a\x1b." },
        { "classes", u"", u"\\d\\D\\s\\S\\w\\W", u"1a b_!", true, u"1a b_!" },
        { "set with ranges and escapes", u"", u"[_a-c\\d\\-\\.]+", u"x_ab-1.cz", true, u"_ab-1.c" },
        { "bracket first in a set", u"", u"[]a]+", u"x]a]", true, u"]a]" },
        { "complement set", u"", u"[^a-c]+", u"abxyc", true, u"xy" },
        { "dash before a class", u"", u"[a-\\d]+", u"x-a5", true, u"-a5" },
        { "\\D in a set is the letter", u"", u"[\\D]+", u"1DD", true, u"DD" },
        { "set with NUL and control characters", u"", u"[\\x00-\\x1F]", String(u"ab\0c", 4), true, String(1, u'\0') },
        { "case-insensitive set", u"i", u"[a-c]+", u"xAbCy", true, u"AbC" },
        { "case-insensitive complement", u"i", u"[^a]", u"Ab", true, u"b" },
        { "Russian small letters include yo", u"", u"[а-я]+", u"Zёжик", true, u"ёжик" },
        { "Russian range without r is plain", u"-r", u"[а-я]+", u"Zёжик", true, u"жик" },
        { "Russian both cases", u"", u"[а-Я]+", u"ЁлкА", true, u"ЁлкА" },
        { "extended syntax", u"x", u"a b # comment\n c", u"abc", true, u"abc" },
        { "comment group", u"", u"a(?#note)b", u"ab", true, u"ab" },
        { "braces exact count", u"", u"a{3}", u"aaaa", true, u"aaa" },
        { "braces open maximum", u"", u"ba{2,}", u"baaaa", true, u"baaaa" },
        { "question mark on group", u"", u"(ab)?c", u"c", true, u"c" },
        { "unset group stays unset", u"", u"(a)|b", u"b", true, u"b" },
        { "NUL in the input does not end it", u"", u"b@c\\.d", String(u"a\0b@c.d", 7), true, u"b@c.d" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRegExpr re;
        if (!c.modifiers.empty())
            re.SetModifierStr(c.modifiers);
        re.SetExpression(c.pattern);
        ASSERT_EQ(re.Exec(c.input), c.found);
        if (!c.found)
            continue;
        EXPECT_EQ(re.GetMatch(0), c.match);
        EXPECT_EQ(re.GetMatch(1), c.group1);
        EXPECT_EQ(re.GetMatch(2), c.group2);
    }
}

TEST(RegExpr, ReportsMatchPositionsAndGroupCounts)
{
    TRegExpr re;
    re.SetExpression(u"(a)(b)?(c)");
    EXPECT_EQ(re.GetSubExprMatchCount(), -1); // no input yet
    ASSERT_TRUE(re.Exec(u"xxac"));
    EXPECT_EQ(re.GetMatchPos(0), 3);
    EXPECT_EQ(re.GetMatchLen(0), 2);
    EXPECT_EQ(re.GetMatchPos(2), -1);
    EXPECT_EQ(re.GetMatchLen(2), -1);
    EXPECT_EQ(re.GetMatchPos(3), 4);
    EXPECT_EQ(re.GetSubExprMatchCount(), 3);
    EXPECT_EQ(re.GetMatch(15), u"");
    EXPECT_EQ(re.GetMatchPos(-1), -1);
    EXPECT_FALSE(re.Exec(u"zz"));
    EXPECT_EQ(re.GetSubExprMatchCount(), 0);
    EXPECT_EQ(re.GetMatchPos(0), -1);
}

TEST(RegExpr, ExecNextAdvancesPastEmptyMatches)
{
    TRegExpr re;
    re.SetExpression(u"x*");
    std::vector<int> positions;
    for (bool found = re.Exec(u"ab"); found; found = re.ExecNext())
        positions.push_back(re.GetMatchPos(0));
    EXPECT_EQ(positions, (std::vector<int> { 1, 2, 3 }));

    re.SetExpression(kEmailPattern);
    std::vector<String> found;
    for (bool ok = re.Exec(u"mail a.b@c.com, x@y.org; not@this"); ok; ok = re.ExecNext())
        found.push_back(re.GetMatch(0));
    EXPECT_EQ(found, (std::vector<String> { u"a.b@c.com", u"x@y.org" }));
}

TEST(RegExpr, ExecPosStartsAtTheOffset)
{
    TRegExpr re;
    re.SetExpression(u"^abc");
    re.SetInputString(u"abcabc");
    EXPECT_TRUE(re.ExecPos(1));
    EXPECT_FALSE(re.ExecPos(2)); // anchored: only the input's start
    re.SetExpression(u"abc");
    ASSERT_TRUE(re.ExecPos(2));
    EXPECT_EQ(re.GetMatchPos(0), 4);
    EXPECT_FALSE(re.ExecPos(8)); // beyond the end + 1
    re.SetExpression(u"$");
    ASSERT_TRUE(re.ExecPos(7));
    EXPECT_EQ(re.GetMatchPos(0), 7);
}

TEST(RegExpr, RaisesCompileErrorsWithPositions)
{
    struct Case {
        String pattern;
        int code;
        String message;
    } const cases[] = {
        { u"(a", 103, u"TRegExpr(comp): ParseReg Unmatched () (pos 2)" },
        { u"a)", 104, u"TRegExpr(comp): ParseReg Unmatched () (pos 1)" },
        { u"a**", 107, u"TRegExpr(comp): Nested *?+ (pos 2)" },
        { u"a{2}{3}", 107, u"TRegExpr(comp): Nested *?+ (pos 4)" },
        { u"(a*)*", 106, u"TRegExpr(comp): *+ Operand Could Be Empty (pos 4)" },
        { u"(a{0,3})+", 106, u"TRegExpr(comp): *+ Operand Could Be Empty (pos 8)" },
        { u"*a", 115, u"TRegExpr(comp): ?+*{ Follows Nothing (pos 1)" },
        { u"\\xZZ", 108, u"TRegExpr(comp): Bad Hex Digit (pos 2)" },
        { u"[z-a]", 109, u"TRegExpr(comp): Invalid [] Range (pos 3)" },
        { u"a\\", 110, u"TRegExpr(comp): Parse Atom Trailing \\ (pos 2)" },
        { u"\\x", 111, u"TRegExpr(comp): No Hex Code After \\x (pos 2)" },
        { u"\\x{}", 111, u"TRegExpr(comp): No Hex Code After \\x (pos 3)" },
        { u"\\x{12345}", 112, u"TRegExpr(comp): Hex Code After \\x Is Too Big (pos 7)" },
        { u"[ab", 113, u"TRegExpr(comp): Unmatched [] (pos 3)" },
        { u"[a\\", 116, u"TRegExpr(comp): Trailing \\ (pos 3)" },
        { u"a{1,123456789}", 122, u"TRegExpr(comp): BRACES Argument Too Big (pos 4)" },
        { u"a{3,2}", 124, u"TRegExpr(comp): BRACE Min Param Greater then Max (pos 1)" },
        { u"(?#abc", 125, u"TRegExpr(comp): Unclosed (?#Comment) (pos 6)" },
        { u"(?:a)", 127, u"TRegExpr(comp): Urecognized Modifier (pos 4)" },
        { String(15, u'(') + u"a" + String(15, u')'), 102, u"TRegExpr(comp): ParseReg Too Many () (pos 15)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.pattern));
        TRegExpr re;
        re.SetExpression(c.pattern);
        const ERegExpr e = CatchRegExpr([&] { re.Compile(); });
        EXPECT_EQ(e.ErrorCode, c.code);
        EXPECT_EQ(e.Message, c.message);
        EXPECT_EQ(re.LastError(), c.code);
        EXPECT_EQ(re.LastError(), 0);
        EXPECT_EQ(re.GetCompilerErrorPos(), 0); // only while compiling
        // A failed compile leaves no program: the next match tries again.
        EXPECT_EQ(CatchRegExpr([&] { re.Exec(u"a"); }).ErrorCode, c.code);
    }
    // Fourteen groups are allowed.
    TRegExpr re;
    re.SetExpression(String(14, u'(') + u"a" + String(14, u')'));
    EXPECT_TRUE(re.Exec(u"a"));
    EXPECT_EQ(re.GetSubExprMatchCount(), 14);
}

TEST(RegExpr, RaisesRunTimeErrors)
{
    TRegExpr re;
    struct Case {
        const char* name;
        std::function<void()> action;
        int code;
        String message;
    } const cases[] = {
        { "compile without expression", [&] { re.Compile(); }, 1003, u"TRegExpr(exec): Not Assigned Expression Property" },
        { "exec without input", [&] { re.SetExpression(u"a"); re.Exec(); }, 1005, u"TRegExpr(exec): No Input String Specified" },
        { "offset below 1", [&] { re.SetInputString(u"a"); re.ExecPos(0); }, 1006, u"TRegExpr(exec): Offset Must Be Greater Then 0" },
        { "ExecNext first", [&] { re.SetInputString(u"a"); re.ExecNext(); }, 1007, u"TRegExpr(exec): ExecNext Without Exec[Pos]" },
        { "ExecNext after a failure", [&] { re.Exec(u"b"); re.ExecNext(); }, 1007, u"TRegExpr(exec): ExecNext Without Exec[Pos]" },
        { "bad modifier letter", [&] { re.SetModifierStr(u"iz"); }, 1013, u"Unknown error" },
        { "bad modifier index", [&] { re.SetModifier(7, true); }, 1013, u"Unknown error" },
        { "bad paired separator", [&] { re.SetLinePairedSeparator(u"aa"); }, 128,
            u"TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all (pos 0)" },
        { "ten nested loops work, eleven do not", [&] {
             re.SetExpression(Nested(u"a", 10));
             EXPECT_TRUE(re.Exec(u"a"));
             re.SetExpression(Nested(u"a", 11));
             re.Exec(u"a");
         }, 1014, u"TRegExpr(exec): Loop Stack Exceeded" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ERegExpr e = CatchRegExpr(c.action);
        EXPECT_EQ(e.ErrorCode, c.code);
        EXPECT_EQ(e.Message, c.message);
    }
    TRegExpr fresh;
    EXPECT_EQ(CatchRegExpr([&] { fresh.GetInputString(); }).ErrorCode, 1008);
    // The letters before the bad one were applied.
    EXPECT_TRUE(re.GetModifierI());
}

TEST(RegExpr, ModifierStrAndModifiers)
{
    TRegExpr re;
    EXPECT_EQ(re.GetModifierStr(), u"gsr-imx");
    re.SetModifierI(true);
    EXPECT_EQ(re.GetModifierStr(), u"gsri-mx");
    re.SetModifierStr(u"-GSRI");
    EXPECT_EQ(re.GetModifierStr(), u"-irsgmx");
    re.SetModifierStr(u"imsrgx");
    EXPECT_EQ(re.GetModifierStr(), u"xmgsri");

    // A program compiled under other modifiers is compiled again.
    TRegExpr m;
    m.SetExpression(u"abc");
    EXPECT_FALSE(m.Exec(u"ABC"));
    m.SetModifierI(true);
    EXPECT_TRUE(m.Exec(u"ABC"));
}

TEST(RegExpr, CharacterSetChangesRecompile)
{
    TRegExpr re;
    re.SetExpression(u"[\\w]+ \\w+");
    ASSERT_TRUE(re.Exec(u"ab cd"));
    re.SetWordChars(u"xyz");
    // \w inside and outside sets must agree on the new characters.
    ASSERT_TRUE(re.Exec(u"ab xy zx"));
    EXPECT_EQ(re.GetMatch(0), u"xy zx");

    re.SetExpression(u"[\\s]\\s");
    re.SetSpaceChars(u"_");
    ASSERT_TRUE(re.Exec(u"a  b__c"));
    EXPECT_EQ(re.GetMatchPos(0), 5);

    re.SetModifierM(true);
    re.SetExpression(u"^b");
    re.SetLineSeparators(u"|");
    ASSERT_TRUE(re.Exec(u"a\nb|b"));
    EXPECT_EQ(re.GetMatchPos(0), 5);
}

TEST(RegExpr, LineSeparatorPair)
{
    TRegExpr re;
    re.SetModifierM(true);
    re.SetExpression(u"^\\n");
    EXPECT_FALSE(re.Exec(u"a\r\n")); // no line starts between CR and LF
    EXPECT_EQ(re.GetLinePairedSeparator(), u"\r\n");
    re.SetLinePairedSeparator(u"");
    EXPECT_EQ(re.GetLinePairedSeparator(), u"");
    ASSERT_TRUE(re.Exec(u"a\r\n"));
    EXPECT_EQ(re.GetMatchPos(0), 3);

    re.SetLinePairedSeparator(u"\r\n");
    re.SetModifierM(false);
    re.SetModifierS(false);
    re.SetExpression(u"a.");
    EXPECT_FALSE(re.Exec(u"a\r\n"));
}

TEST(RegExpr, DumpListsTheProgram)
{
    struct Case {
        String pattern;
        String dump;
    } const cases[] = {
        { u"a*c",
            u" 1:BRANCH (17) \r\n"
            u" 4:STAR (12) \r\n"
            u" 7:EXACTLY (0)a\r\n"
            u"12:EXACTLY (17) c\r\n"
            u"17:END (0)\r\n"
            u"must have c\r\n" },
        { u"(ab)*c",
            u" 1:BRANCH (36) \r\n"
            u" 4:BRANCH (25) \r\n"
            u" 7:OPEN[1] (10) \r\n"
            u"10:BRANCH (19) \r\n"
            u"13:EXACTLY (19) ab\r\n"
            u"19:CLOSE[1] (22) \r\n"
            u"22:BACK (4) \r\n"
            u"25:BRANCH (28) \r\n"
            u"28:NOTHING (31) \r\n"
            u"31:EXACTLY (36) c\r\n"
            u"36:END (0)\r\n"
            u"must have c\r\n" },
        { u"(ab){2,3}",
            u" 1:BRANCH (31) \r\n"
            u" 4:LOOPENTRY (22) \r\n"
            u" 7:OPEN[1] (10) \r\n"
            u"10:BRANCH (19) \r\n"
            u"13:EXACTLY (19) ab\r\n"
            u"19:CLOSE[1] (22) \r\n"
            u"22:LOOP (31)  -> (7) {2,3}\r\n"
            u"31:END (0)\r\n"
            u"\r\n" },
        { u"(a)\\1??",
            u" 1:BRANCH (29) \r\n"
            u" 4:OPEN[1] (7) \r\n"
            u" 7:BRANCH (15) \r\n"
            u"10:EXACTLY (15) a\r\n"
            u"15:CLOSE[1] (18) \r\n"
            u"18:BRACESNG (29) {0,1}\r\n"
            u"25:BSUBEXP (0) \\1\r\n"
            u"29:END (0)\r\n"
            u"\r\n" },
        { u"^abc",
            u" 1:BRANCH (14) \r\n"
            u" 4:BOL (7) \r\n"
            u" 7:EXACTLY (14) abc\r\n"
            u"14:END (0)\r\n"
            u"anchored \r\n" },
        { u"abc",
            u" 1:BRANCH (11) \r\n"
            u" 4:EXACTLY (11) abc\r\n"
            u"11:END (0)\r\n"
            u"start a\r\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.pattern));
        TRegExpr re;
        re.SetExpression(c.pattern);
        EXPECT_EQ(StringToUtf8(re.Dump()), StringToUtf8(c.dump));
    }
}

TEST(RegExpr, Substitute)
{
    TRegExpr re;
    re.SetExpression(u"(\\w+) (\\w+)");
    ASSERT_TRUE(re.Exec(u"ab cd"));
    struct Case {
        String templ;
        String expected;
    } const cases[] = {
        { u"${1}-$2", u"ab-cd" },
        { u"$&|$0|${&}|${0}", u"ab cd|ab cd|ab cd|ab cd" },
        { u"\\$1 \\\\", u"$1 \\" },
        { u"$15$14$3", u"" },
        { u"[$99999999999999999999999]", u"[]" },
        { u"${1", u"${1" },
        { u"$x ${} $", u"$x ${} $" },
        { u"end\\", u"end\\" },
        { u"$1$2$1", u"abcdab" },
        { u"", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.templ));
        EXPECT_EQ(re.Substitute(c.templ), c.expected);
    }
    TRegExpr noInput;
    noInput.SetExpression(u"a");
    EXPECT_EQ(CatchRegExpr([&] { noInput.Substitute(u"x"); }).ErrorCode, 1005);
}

TEST(RegExpr, SplitAndReplace)
{
    TRegExpr re;
    re.SetExpression(u",");
    TStringList pieces;
    pieces.Add(u"kept");
    re.Split(u"a,b,,c,", &pieces);
    EXPECT_EQ(pieces.GetText(), u"kept\r\na\r\nb\r\n\r\nc\r\n\r\n");
    pieces.Clear();
    re.Split(u"abc", &pieces);
    EXPECT_EQ(pieces.GetText(), u"abc\r\n");

    re.SetExpression(u"(\\w+)@(\\w+)");
    EXPECT_EQ(re.Replace(u"x a@b y c@d", u"$2 at $1", true), u"x b at a y d at c");
    EXPECT_EQ(re.Replace(u"x a@b y", u"$2", false), u"x $2 y");
    auto upper = [](TRegExpr& r) { return StrUpper(r.GetMatch(1)); };
    EXPECT_EQ(re.Replace(u"a@b c@d", upper), u"A C");
    EXPECT_EQ(re.ReplaceEx(u"no match", upper), u"no match");

    re.SetExpression(u"x*");
    EXPECT_EQ(re.Replace(u"ab", u"-"), u"-a-b-");
}

TEST(RegExpr, NulCharactersInExpressionAndInput)
{
    TRegExpr re;
    re.SetExpression(String(u"a\0b", 3));
    ASSERT_TRUE(re.Exec(String(u"xa\0b", 4)));
    EXPECT_EQ(re.GetMatchPos(0), 2);
    re.SetExpression(u"a\\x00+b");
    ASSERT_TRUE(re.Exec(String(u"a\0\0b", 4)));
    EXPECT_EQ(re.GetMatchLen(0), 4);
    re.SetExpression(u"[^\\x00]+");
    ASSERT_TRUE(re.Exec(String(u"\0ab\0", 4)));
    EXPECT_EQ(re.GetMatch(0), u"ab");

    re.SetExpression(kEmailPattern);
    std::vector<String> found;
    for (bool ok = re.Exec(String(u"a@b.c\0d@e.f", 11)); ok; ok = re.ExecNext())
        found.push_back(re.GetMatch(0));
    EXPECT_EQ(found, (std::vector<String> { u"a@b.c", u"d@e.f" }));
}

TEST(RegExpr, LongGroupLoopDoesNotExhaustTheStack)
{
    // An address followed by a very long run of ".c" iterates the group loop
    // of the e-mail pattern 200,000 times.
    String page = u"see a@b";
    for (int i = 0; i < 200000; ++i)
        page += u".c";
    page += u" ";
    page.resize(1 << 20, u' ');
    page += u"last@mail.org";
    TRegExpr re;
    re.SetExpression(kEmailPattern);
    ASSERT_TRUE(re.Exec(page));
    EXPECT_EQ(re.GetMatchPos(0), 5);
    EXPECT_EQ(re.GetMatchLen(0), 3 + 400000);
    EXPECT_EQ(re.GetMatch(1), u".c");
    ASSERT_TRUE(re.ExecNext());
    EXPECT_EQ(re.GetMatch(0), u"last@mail.org");
}

TEST(RegExpr, BacktrackLimitEndsAnEndlessMatch)
{
    // \2 may be empty, so each loop iteration can consume nothing: the
    // backtracking state grows until the limit stops the match.
    TRegExpr re;
    re.SetExpression(u"((a*)\\2)*b");
    const ERegExpr e = CatchRegExpr([&] { re.Exec(u"cb"); });
    EXPECT_EQ(e.ErrorCode, TRegExpr::reeBacktrackLimit);
    EXPECT_EQ(e.Message, u"TRegExpr(exec): Match Too Complex For Backtrack Limit");
    EXPECT_EQ(re.GetMatchPos(0), -1);
    // The engine stays usable.
    re.SetExpression(u"b");
    EXPECT_TRUE(re.Exec(u"ab"));
}

TEST(RegExpr, StepBoundEndsAnExponentialMatch)
{
    // Each "a" may be either alternative: 2^40 ways to fail before the "c",
    // with little backtracking state at any time. The search gives up with
    // the same error as when the state grows too large.
    TRegExpr re;
    re.SetExpression(u"(a|a)*b");
    const ERegExpr e = CatchRegExpr([&] { re.Exec(String(40, u'a') + u"cb"); });
    EXPECT_EQ(e.ErrorCode, TRegExpr::reeBacktrackLimit);
    EXPECT_EQ(e.Message, u"TRegExpr(exec): Match Too Complex For Backtrack Limit");
    EXPECT_EQ(re.GetMatchPos(0), -1);
    // The bound is per search: the next one starts afresh.
    ASSERT_TRUE(re.Exec(String(20, u'a') + u"b"));
    EXPECT_EQ(re.GetMatchLen(0), 21);
}

TEST(RegExpr, InvertCaseFunction)
{
    EXPECT_EQ(TRegExpr::InvertCaseFunction(u'a'), u'A');
    EXPECT_EQ(TRegExpr::InvertCaseFunction(u'A'), u'a');
    EXPECT_EQ(TRegExpr::InvertCaseFunction(u'ж'), u'Ж');
    EXPECT_EQ(TRegExpr::InvertCaseFunction(u'1'), u'1');
    TRegExpr re;
    re.SetModifierI(true);
    re.SetExpression(u"жук");
    EXPECT_TRUE(re.Exec(u"ЖУК"));
    re.SetInvertCase([](Char c) { return c; }); // no case folding at all
    EXPECT_FALSE(re.Exec(u"ЖУК"));
    re.SetInvertCase(nullptr); // back to the default
    EXPECT_TRUE(re.Exec(u"ЖУК"));
}

TEST(RegExpr, MalformedPatternsFailCleanly)
{
    // Random expressions over the special characters: each one compiles and
    // matches, or raises a compile error; nothing else may happen.
    static const char16_t alphabet[] = u"^$.[]()|?+*\\{},-019abxdDsSwWbBAZtn#:im \n";
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        String pattern;
        for (int k = int(rng() % 12); k > 0; --k)
            pattern += alphabet[rng() % (std::size(alphabet) - 1)];
        SCOPED_TRACE(StringToUtf8(pattern));
        TRegExpr re;
        re.SetModifierStr(round % 3 == 0 ? u"xm-s" : u"");
        re.SetExpression(pattern);
        try {
            re.Compile();
            re.Dump();
            for (bool ok = re.Exec(u"ab\r\n x{1}ab"); ok; ok = re.ExecNext())
                re.Substitute(u"$1${2}$&");
        } catch (const ERegExpr& e) {
            EXPECT_TRUE(e.ErrorCode < 1000 || (pattern.empty() && e.ErrorCode == 1003)) << e.ErrorCode;
        }
    }
}
