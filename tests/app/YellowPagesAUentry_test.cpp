#include "app/YellowPagesAUentry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/SiteAddresses.h"
#include "tests/support/Fixtures.h"

namespace {

String Card(const std::string& name)
{
    std::ifstream in(testsupport::FixturesDir() / "cards" / name, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << name;
    return Utf8ToString(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// Splits a result line the way a CSV reader does: quoted fields, "" inside
// for one quote. An unquoted or broken field ends the split with a marker.
std::vector<String> CsvFields(const String& line)
{
    std::vector<String> fields;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] != u'"')
            return { u"<unquoted field>" };
        String f;
        ++i;
        for (;;) {
            if (i >= line.size())
                return { u"<unterminated field>" };
            if (line[i] == u'"') {
                if (i + 1 < line.size() && line[i + 1] == u'"') {
                    f += u'"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            f += line[i++];
        }
        fields.push_back(f);
        if (i < line.size() && line[i++] != u',')
            return { u"<no comma>" };
    }
    return fields;
}

const String NBSP(1, Char(0x00A0));

} // namespace

TEST(YellowPagesAUentry, CardsGiveFifteenFieldLines)
{
    const String root = DirectorySiteRoot();
    struct Case {
        const char* file;
        String allEmails;
        std::vector<String> fields; // empty: no line
    } const cases[] = {
        { "basic.txt",
          u"915467890=other@elsewhere.example\r\n15467890=info@acme.example\r\n154678901=third@x.example\r\n",
          { u"Acme & Sons Plumbing", NBSP + u"(03) 9876 5432", u"info@acme.example,", u"12 Smith St", u"3121",
            u"Richmond", u"Richmond", u"VIC", u"12 Smith St, Richmond, VIC 3121", u"Family plumbers since 1962",
            u"https://acmeplumbing.example.com.au", u"144.9987", u"-37.8183", u"",
            root + u"/vic/richmond/acme-sons-plumbing-15467890-listing.html" } },
        // No phone: field 2 is the no-break space alone; the subtitle stands
        // without a summary, "&amp;" decoded and "&nbsp;" kept; no pair for id 777.
        { "nophone.txt", u"15467890=info@acme.example\r\n",
          { u"Harbour View Cafe", NBSP, u"", u"3 Quay Rd", u"2000", u"The Rocks", u"", u"NSW",
            u"3 Quay Rd, The Rocks, NSW 2000", u"Cafes&nbsp;&&nbsp;Bakeries", u"", u"", u"", u"",
            root + u"/nsw/the-rocks/harbour-view-cafe-777-listing.html" } },
        // Two address lines: the four parts all come from the last one (lower-case
        // state accepted); the whole-line field takes the first. No listing link,
        // so no e-mail either.
        { "twoaddresses.txt", u"777=someone@x.example\r\n",
          { u"Twin Sites Electrical", NBSP + u"+61 2 9999 0000", u"", u"88 Beach Pde", u"2095", u"Manly", u"",
            u"nsw", u"1 First Rd, Carlton, VIC 3053", u"", u"", u"", u"", u"", u"" } },
        // Quotes and line breaks that entities decode to stay inside their field;
        // references to nothing valid are kept as written; the address comes
        // from the markup when the card text has none.
        { "quotes.txt", u"",
          { u"Joe's \"Best\" Pies, Adelaide", NBSP, u"", u"7 Rundle Mall", u"5000", u"Adelaide", u"", u"SA", u"",
            u"Line one line two   end &#1114112; &#xD800; &#0; \U0001F967", u"", u"", u"", u"",
            root + u"/sa/adelaide/quoted-pies-4242-listing.html" } },
        { "noname.txt", u"", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TYellowPagesAUentry entry(Card(c.file));
        entry.SetfAllEmails(c.allEmails);
        entry.Execute();
        if (c.fields.empty()) {
            EXPECT_EQ(entry.GetResultLine(), u"");
            continue;
        }
        const String& line = entry.GetResultLine();
        EXPECT_EQ(line.find_first_of(u"\r\n"), String::npos);
        std::vector<String> fields = CsvFields(line);
        ASSERT_EQ(fields.size(), 15u) << StringToUtf8(line);
        for (size_t i = 0; i < 15; ++i)
            EXPECT_EQ(StringToUtf8(fields[i]), StringToUtf8(c.fields[i])) << "field " << i + 1;
    }
}

TEST(YellowPagesAUentry, UnicodeLineSeparatorsInsideANameOrSummaryAreBlanks)
{
    for (const Char separator : { Char(0x0085), Char(0x2028), Char(0x2029) }) {
        SCOPED_TRACE(int(separator));
        String card = Card("basic.txt");
        const String sep(1, separator);
        for (const auto& [from, to] : { std::pair<String, String> { u"Acme &amp; Sons Plumbing</h3>",
                                            u"Acme" + sep + u"&amp; Sons Plumbing</h3>" },
                 std::pair<String, String> { u"Family plumbers", u"Family" + sep + u"plumbers" } }) {
            const std::size_t at = card.find(from);
            ASSERT_NE(at, String::npos);
            card.replace(at, from.size(), to);
        }
        TYellowPagesAUentry entry(card);
        entry.Execute();
        const std::vector<String> fields = CsvFields(entry.GetResultLine());
        ASSERT_EQ(fields.size(), 15u) << StringToUtf8(entry.GetResultLine());
        EXPECT_EQ(fields[0], u"Acme & Sons Plumbing");
        EXPECT_EQ(fields[9], u"Family plumbers since 1962");
    }
}

TEST(YellowPagesAUentry, StopFlagAndEmailModeHook)
{
    int harvests = 0;
    TYellowPagesAUentry::SetEmailHarvester([&](TYellowPagesAUentry& e) {
        ++harvests;
        e.SetfEmail(u"a@b.example");
        e.SetfNbEmails(1);
    });
    {
        TYellowPagesAUentry stopped(Card("basic.txt"));
        stopped.Setfbstop(true);
        stopped.SetfObjectDoesEmails(true);
        stopped.Execute();
        EXPECT_EQ(stopped.GetResultLine(), u"");
        EXPECT_EQ(stopped.GetfNameOnly(), u"");
        EXPECT_EQ(stopped.GetfInnerText(), u"");
    }
    {
        TYellowPagesAUentry plain(Card("basic.txt"));
        plain.Execute();
        EXPECT_EQ(harvests, 0);
    }
    TYellowPagesAUentry harvested(Card("basic.txt"));
    harvested.SetfObjectDoesEmails(true);
    harvested.Execute();
    EXPECT_EQ(harvests, 1);
    EXPECT_EQ(CsvFields(harvested.GetResultLine()).at(2), u"a@b.example");
    TYellowPagesAUentry::SetEmailHarvester(nullptr);
}

TEST(YellowPagesAUentry, ListingIdFindsOnlyItsOwnLine)
{
    const String root = DirectorySiteRoot();
    struct Case {
        String link;
        String pairs;
        String id;
        String email;
    } const cases[] = {
        { root + u"/x/y/shop-12345-listing.html", u"912345=wrong@x.example\r\n12345=right@x.example\r\n", u"12345",
          u"right@x.example," },
        { root + u"/x/y/shop-12345-listing.html", u"123456=wrong@x.example\r\n", u"12345", u"" },
        { root + u"/x/y/shop-12345-listing.html", u"12345=first@x.example", u"12345", u"first@x.example," },
        { u"https://elsewhere.example/shop-12345-listing.html", u"12345=a@x.example", u"", u"" },
        { u"", u"12345=a@x.example", u"", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.link + u" " + c.pairs));
        TYellowPagesAUentry e(u"");
        e.SetfHTTP_AU(c.link);
        e.SetfAllEmails(c.pairs);
        e.SetfEmail(u"stale@x.example");
        e.GetEmailFromListingID();
        EXPECT_EQ(e.GetfListingID(), c.id);
        EXPECT_EQ(e.GetfEmail(), c.email);
    }
}

TEST(YellowPagesAUentry, TakeOutLastCommaMovesTheTailIntoTheCity)
{
    struct Case {
        String s, cityBefore, result, cityAfter;
    } const cases[] = {
        { u"12 Smith St,", u"Old", u"12 Smith St", u"Old" },
        { u"12 Smith St, Richmond", u"", u"12 Smith St", u"Richmond" },
        { u"Level 2, 12 Smith St,Carlton", u" North", u"Level 2, 12 Smith St", u"Carlton North" },
        { u"Richmond", u"", u"Richmond", u"Richmond" },
        { u"", u"x", u"", u"x" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.s));
        TYellowPagesAUentry e(u"");
        e.SetfCity(c.cityBefore);
        EXPECT_EQ(e.TakeOutLastComma(c.s), c.result);
        EXPECT_EQ(e.GetfCity(), c.cityAfter);
    }
}

TEST(YellowPagesAUentry, CityFromThePostcodeList)
{
    struct Case {
        String entry, cp, city, entryAfter;
    } const cases[] = {
        { u"Shop 1, Collins St, Melbourne VIC", u"3000", u"Melbourne", u"Shop 1, Collins St, <CITY> VIC" },
        // A postcode is a whole key: 300 is no line of the list.
        { u"Somewhere in Melbourne", u"300", u"", u"Somewhere in Melbourne" },
        // The listed city must occur in the card.
        { u"Somewhere in Geelong", u"3000", u"", u"Somewhere in Geelong" },
        // Without a postcode: the word before the <ZIP> marker.
        { u"12 Main Rd Ballarat <ZIP> VIC", u"", u"Ballarat", u"12 Main Rd <CITY> <ZIP> VIC" },
        { u"a.b+c", u"a.b+", u"", u"a.b+c" }, // pattern characters in the postcode are taken literally
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.entry));
        TYellowPagesAUentry e(c.entry);
        EXPECT_EQ(e.getgoodcitynameL(c.cp), u"");
        EXPECT_EQ(e.GetfCity(), c.city);
        EXPECT_EQ(e.GetfFullEntry(), c.entryAfter);
    }
}

TEST(YellowPagesAUentry, PositionFromMarkup)
{
    TYellowPagesAUentry e(u"<div data-x=\"1\"\nlongitude=\"151.2093\" latitude=\"-33.8688\"></div>");
    EXPECT_EQ(e.GetLongitude(), u"151.2093");
    EXPECT_EQ(e.GetLatitude(), u"-33.8688");
    EXPECT_EQ(TYellowPagesAUentry(u"no position").GetLongitude(), u"");
}

TEST(YellowPagesAUentry, EveryCardOfAResultPageGivesItsOwnLine)
{
    String page = Card("resultpage40.txt");
    const String separator = u"\n\f\n";
    std::vector<String> lines;
    size_t start = 0;
    for (;;) {
        size_t p = page.find(separator, start);
        TYellowPagesAUentry entry(page.substr(start, p == String::npos ? String::npos : p - start));
        entry.Execute();
        lines.push_back(entry.GetResultLine());
        if (p == String::npos)
            break;
        start = p + separator.size();
    }
    ASSERT_EQ(lines.size(), 40u);
    for (const String& line : lines) {
        SCOPED_TRACE(StringToUtf8(line));
        std::vector<String> fields = CsvFields(line);
        ASSERT_EQ(fields.size(), 15u);
        EXPECT_FALSE(fields[0].empty());
        EXPECT_FALSE(fields[3].empty()); // street
        EXPECT_EQ(fields[14].rfind(DirectorySiteRoot() + u"/", 0), 0u);
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(std::unique(lines.begin(), lines.end()), lines.end());
}
