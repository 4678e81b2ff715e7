#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

#include "platform/rtl/Streams.h"
#include "tests/support/Fixtures.h"

namespace {

class StringListTest : public ::testing::Test {
protected:
    void SetUp() override { SetCollationLocale("en_US"); }

    static std::vector<String> lines(const TStrings& s)
    {
        std::vector<String> r;
        for (int i = 0; i < s.GetCount(); ++i)
            r.push_back(s[i]);
        return r;
    }
};

using Lines = std::vector<String>;

// Counts its own destruction, to see what an owning list deletes.
class Tracked : public TObject {
public:
    explicit Tracked(int& deaths) : m_deaths(deaths) { }
    ~Tracked() override { ++m_deaths; }

private:
    int& m_deaths;
};

TEST_F(StringListTest, SortedInsertPositionsAndDuplicateModes)
{
    const struct {
        const char* name;
        TDuplicates mode;
        Lines expected;
        bool raises;
    } cases[] = {
        { "ignore", dupIgnore, { u"apple", u"Banana", u"cherry" }, false },
        // Accept inserts before the first equal line.
        { "accept", dupAccept, { u"apple", u"banana", u"Banana", u"cherry" }, false },
        { "error", dupError, { u"apple", u"Banana", u"cherry" }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.mode);
        EXPECT_EQ(list.Add(u"cherry"), 0);
        EXPECT_EQ(list.Add(u"apple"), 0);
        EXPECT_EQ(list.Add(u"Banana"), 1);
        if (c.raises) {
            EXPECT_THROW(list.Add(u"banana"), EStringListError);
        } else {
            int at = list.Add(u"banana");
            // Ignore answers the line already there; accept inserts beside it.
            EXPECT_EQ(list[at].size(), 6u);
            EXPECT_EQ(CompareStringLocale(list[at], u"banana", true), 0);
        }
        EXPECT_EQ(lines(list), c.expected);
    }
}

TEST_F(StringListTest, IndexOfFollowsCaseRulesSortedOrNot)
{
    const struct {
        const char* name;
        bool sorted;
        bool caseSensitive;
        const char16_t* probe;
        int expected;
    } cases[] = {
        { "unsorted, insensitive", false, false, u"BETA", 1 },
        { "unsorted, sensitive miss", false, true, u"BETA", -1 },
        { "unsorted, sensitive hit", false, true, u"Beta", 1 },
        { "sorted, insensitive", true, false, u"gAMMA", 2 },
        { "sorted, sensitive miss", true, true, u"gAMMA", -1 },
        { "sorted, absent", true, false, u"delta", -1 },
        { "accented differs", false, false, u"alpha\u00e9", -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list;
        list.SetCaseSensitive(c.caseSensitive);
        list.SetCommaText(u"alpha,Beta,gamma");
        list.SetSorted(c.sorted);
        EXPECT_EQ(list.IndexOf(c.probe), c.expected);
    }
}

TEST_F(StringListTest, SortedIndexOfFindsTheFirstOfEqualLines)
{
    TStringList list;
    list.SetDuplicates(dupAccept);
    list.SetSorted(true);
    for (const char16_t* s : { u"b", u"a", u"B", u"b", u"c", u"a" })
        list.Add(s);
    EXPECT_EQ(list.IndexOf(u"b"), 2);
    int index = -1;
    EXPECT_FALSE(list.Find(u"bb", index));
    EXPECT_EQ(index, 5);
}

TEST_F(StringListTest, SortedListRefusesPositionalChanges)
{
    TStringList list;
    list.SetCommaText(u"b,a");
    list.SetSorted(true);
    EXPECT_THROW(list.Insert(0, u"z"), EStringListError);
    EXPECT_THROW(list.SetStrings(0, u"z"), EStringListError);
    EXPECT_THROW(list.Move(0, 1), EStringListError);
    EXPECT_EQ(lines(list), (Lines { u"a", u"b" }));
}

TEST_F(StringListTest, IndexErrorsNameTheIndex)
{
    TStringList list;
    list.Add(u"x");
    try {
        list.Delete(3);
        FAIL() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, u"List index out of bounds (3)");
    }
    EXPECT_THROW(list.GetStrings(-1), EStringListError);
    EXPECT_THROW(list.Insert(2, u"y"), EStringListError);
    EXPECT_NO_THROW(list.Insert(1, u"y"));
}

TEST_F(StringListTest, DelimitedTextRoundTrips)
{
    const struct {
        const char* name;
        Lines items;
        bool strict;
        const char16_t* text;
    } cases[] = {
        { "plain", { u"a", u"b" }, false, u"a,b" },
        { "blank inside", { u"a b", u"c" }, false, u"\"a b\",c" },
        { "quote and delimiter", { u"say \"hi\"", u"x,y" }, false, u"\"say \"\"hi\"\"\",\"x,y\"" },
        { "empty in the middle", { u"a", u"", u"b" }, false, u"a,,b" },
        { "single empty", { u"" }, false, u"\"\"" },
        { "strict keeps blanks bare", { u"a b", u" c" }, true, u"a b, c" },
        { "nothing", {}, false, u"" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList out;
        out.SetStrictDelimiter(c.strict);
        for (const auto& s : c.items)
            out.Add(s);
        EXPECT_EQ(out.GetDelimitedText(), c.text);
        TStringList in;
        in.SetStrictDelimiter(c.strict);
        in.SetDelimitedText(c.text);
        EXPECT_EQ(lines(in), c.items);
    }
}

TEST_F(StringListTest, DelimitedTextParsing)
{
    const struct {
        const char* name;
        Char delimiter;
        bool strict;
        const char16_t* text;
        Lines expected;
    } cases[] = {
        { "blanks split when not strict", u',', false, u"a b,c", { u"a", u"b", u"c" } },
        { "leading and trailing blanks dropped", u',', false, u"  a ,  b  ", { u"a", u"b" } },
        { "trailing delimiter adds an empty item", u',', false, u"a,", { u"a", u"" } },
        { "unterminated quote runs to the end", u',', false, u"\"a,b", { u"a,b" } },
        { "semicolon strict", u';', true, u"x y;;z", { u"x y", u"", u"z" } },
        { "text after a closing quote", u',', false, u"\"a\"b,c", { u"a", u"b", u"c" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list;
        list.SetDelimiter(c.delimiter);
        list.SetStrictDelimiter(c.strict);
        list.SetDelimitedText(c.text);
        EXPECT_EQ(lines(list), c.expected);
    }
}

TEST_F(StringListTest, CommaTextIgnoresTheConfiguredDelimiter)
{
    TStringList list;
    list.SetDelimiter(u';');
    list.SetQuoteChar(u'\'');
    list.SetStrictDelimiter(true);
    list.SetCommaText(u"a b,'c'");
    EXPECT_EQ(lines(list), (Lines { u"a", u"b", u"'c'" }));
    EXPECT_EQ(list.GetCommaText(), u"a,b,'c'");
    EXPECT_EQ(list.GetDelimiter(), u';');
    EXPECT_EQ(list.GetDelimitedText(), u"a;b;'''c'''");
}

TEST_F(StringListTest, NamesAndValues)
{
    TStringList list;
    list.SetText(u"Host=example.org\r\nempty=\r\nno separator\r\nPort=80=81");
    EXPECT_EQ(list.GetValues(u"HOST"), u"example.org");
    EXPECT_EQ(list.GetValues(u"port"), u"80=81");
    EXPECT_EQ(list.GetValues(u"missing"), u"");
    EXPECT_EQ(list.GetNames(2), u"");
    EXPECT_EQ(list.GetValueFromIndex(2), u"");
    EXPECT_EQ(list.IndexOfName(u"no separator"), -1);
    EXPECT_EQ(list.IndexOfName(u"Empty"), 1);

    list.SetValues(u"port", u"8080");
    EXPECT_EQ(list[3], u"port=8080");
    list.SetValues(u"new", u"1");
    EXPECT_EQ(list[4], u"new=1");
    list.SetValues(u"host", u"");
    EXPECT_EQ(list.IndexOfName(u"host"), -1);
    list.SetValueFromIndex(0, u"x");
    EXPECT_EQ(list[0], u"empty=x");

    list.SetNameValueSeparator(u':');
    list.Clear();
    list.AddPair(u"k", u"v");
    EXPECT_EQ(list[0], u"k:v");
    EXPECT_EQ(list.GetValues(u"K"), u"v");
}

TEST_F(StringListTest, TextSplittingAndJoining)
{
    const struct {
        const char* name;
        const char16_t* lineBreak;
        const char16_t* text;
        Lines expected;
    } cases[] = {
        { "crlf", u"\r\n", u"a\r\nb\r\n", { u"a", u"b" } },
        { "mixed breaks under the default", u"\r\n", u"a\nb\rc\r\n\r\nd", { u"a", u"b", u"c", u"", u"d" } },
        { "no final break", u"\r\n", u"a", { u"a" } },
        { "empty", u"\r\n", u"", {} },
        { "custom break only", u"|", u"a|b\nc|", { u"a", u"b\nc" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list;
        list.SetLineBreak(c.lineBreak);
        list.SetText(c.text);
        EXPECT_EQ(lines(list), c.expected);
    }
    TStringList list;
    list.SetCommaText(u"a,b");
    EXPECT_EQ(list.GetText(), u"a\r\nb\r\n");
    list.SetTrailingLineBreak(false);
    list.SetLineBreak(u"\n");
    EXPECT_EQ(list.GetText(), u"a\nb");
}

TEST_F(StringListTest, ChangeEventsAreBracketedByUpdates)
{
    TStringList list;
    std::vector<std::string> log;
    list.OnChanging = [&](TObject*) { log.push_back("changing"); };
    list.OnChange = [&](TObject*) { log.push_back("change"); };
    list.Add(u"a");
    EXPECT_EQ(log, (std::vector<std::string> { "changing", "change" }));
    log.clear();
    list.BeginUpdate();
    list.Add(u"b");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log, (std::vector<std::string> { "changing" }));
    list.EndUpdate();
    EXPECT_EQ(log, (std::vector<std::string> { "changing", "change" }));
    log.clear();
    list.SetText(u"x\r\ny");
    EXPECT_EQ(log, (std::vector<std::string> { "changing", "change" }));
}

TEST_F(StringListTest, OwningListDeletesWhatItDrops)
{
    int deaths = 0;
    {
        TStringList list(true);
        list.AddObject(u"a", new Tracked(deaths));
        list.AddObject(u"b", new Tracked(deaths));
        list.AddObject(u"c", new Tracked(deaths));
        list.AddObject(u"d", new Tracked(deaths));
        list.Delete(0);
        EXPECT_EQ(deaths, 1);
        list.SetObjects(0, new Tracked(deaths));
        EXPECT_EQ(deaths, 2);
        list.Move(0, 2);
        list.Exchange(0, 1);
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(lines(list), (Lines { u"d", u"c", u"b" }));

        // A copy never owns the same objects.
        TStringList copy;
        copy.Assign(&list);
        EXPECT_FALSE(copy.GetOwnsObjects());
        EXPECT_EQ(copy.GetObjects(2), list.GetObjects(2));
    }
    EXPECT_EQ(deaths, 5);
}

TEST_F(StringListTest, CustomSortAndSortWithObjects)
{
    TStringList list;
    TObject marker;
    list.SetCommaText(u"item10,item2,Item1,item2");
    list.SetObjects(1, &marker);
    list.CustomSort([](TStringList* l, int a, int b) { return int(l->GetStrings(a).size()) - int(l->GetStrings(b).size()); });
    EXPECT_EQ(list[3], u"item10");
    list.Sort();
    EXPECT_EQ(lines(list), (Lines { u"Item1", u"item10", u"item2", u"item2" }));
    EXPECT_TRUE(list.GetObjects(2) == &marker || list.GetObjects(3) == &marker);

    // A comparer that is not consistent must still leave every line in place.
    TStringList chaos;
    for (int i = 0; i < 50; ++i)
        chaos.Add(Utf8ToString(std::to_string(i)));
    chaos.CustomSort([](TStringList*, int, int) { return 1; });
    std::set<String> kept;
    for (int i = 0; i < chaos.GetCount(); ++i)
        kept.insert(chaos[i]);
    EXPECT_EQ(chaos.GetCount(), 50);
    EXPECT_EQ(kept.size(), 50u);
}

TEST_F(StringListTest, AssignCopiesSortRulesAndRejectsStrangers)
{
    TStringList source;
    source.SetCaseSensitive(true);
    source.SetDuplicates(dupAccept);
    source.SetSorted(true);
    source.SetCommaText(u"b,B,a");
    source.SetDelimiter(u';');
    TStringList dest;
    dest.Add(u"old");
    dest.Assign(&source);
    EXPECT_EQ(lines(dest), lines(source));
    EXPECT_TRUE(dest.GetSorted());
    EXPECT_TRUE(dest.GetCaseSensitive());
    EXPECT_EQ(dest.GetDuplicates(), dupAccept);
    EXPECT_EQ(dest.GetDelimiter(), u';');

    TPersistent stranger;
    EXPECT_THROW(dest.Assign(&stranger), EConvertError);
}

TEST_F(StringListTest, LoadDetectsEncodingAndSaveKeepsIt)
{
    testsupport::TempDir dir;
    const struct {
        const char* name;
        TBytes bytes;
        TEncoding* expected;
    } cases[] = {
        { "no mark: ANSI", { 'a', 0xC3, 0xA9, '\r', '\n', 'b' }, TEncoding::ANSI() },
        { "utf-8 mark", { 0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9, '\n', 'b' }, TEncoding::UTF8() },
        { "utf-16 mark", { 0xFF, 0xFE, 'a', 0, 0xE9, 0, '\n', 0, 'b', 0 }, TEncoding::Unicode() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        String name = Utf8ToString((dir / "in.txt").string());
        {
            TFileStream f(name, fmCreate);
            f.WriteBuffer(c.bytes);
        }
        TStringList list;
        list.LoadFromFile(name);
        EXPECT_EQ(lines(list), (Lines { u"a\u00e9", u"b" }));
        EXPECT_EQ(list.GetEncoding(), c.expected);

        TBytesStream saved;
        list.SaveToStream(saved);
        TStringList again;
        saved.SetPosition(0);
        again.LoadFromStream(saved);
        EXPECT_EQ(lines(again), lines(list));
        EXPECT_EQ(again.GetEncoding(), c.expected);
    }
}

TEST_F(StringListTest, LoadFromStreamReadsFromThePosition)
{
    TStringStream stream(u"skip|x\r\ny");
    stream.SetPosition(5);
    TStringList list;
    list.LoadFromStream(stream, TEncoding::UTF8());
    EXPECT_EQ(lines(list), (Lines { u"x", u"y" }));

    TBytesStream out;
    list.SetWriteBOM(false);
    list.SaveToStream(out, TEncoding::Unicode());
    EXPECT_EQ(out.GetSize(), 2 * 6);
}

} // namespace
