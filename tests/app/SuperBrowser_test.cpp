#include "app/SuperBrowser.h"

#include <gtest/gtest.h>

// The text routines of the crawl, which run without a browser.

TEST(SuperBrowserText, DecodeURLTextIsTolerant)
{
    struct Case {
        const char16_t* in;
        const char16_t* out;
    } const cases[] = {
        { u"a%20b+c", u"a b c" },
        { u"100%%", u"100%" },
        { u"%41%42", u"AB" },
        { u"%C3%A9t%C3%A9", u"\u00e9t\u00e9" },
        { u"%E2%82%AC", u"\u20ac" },
        { u"%F0%9F%98%80", u"\U0001F600" },
        { u"caf\u00e9", u"caf\u00e9" },
        // A "%" that starts no escape stays, so markup like this survives.
        { u"<a style=\"width:100%\" href=\"/search/x/page-2\">Next</a>",
            u"<a style=\"width:100%\" href=\"/search/x/page-2\">Next</a>" },
        { u"%zz %4 %", u"%zz %4 %" },
        // Bytes that are not UTF-8 keep their escapes; good ones around them decode.
        { u"%E9t%E9", u"%E9t%E9" },
        { u"%E2%82%AC%E9", u"\u20ac%E9" },
        { u"%E2%82", u"%E2%82" },
        { u"%C0%AF", u"%C0%AF" },         // overlong
        { u"%ED%A0%80", u"%ED%A0%80" },   // an encoded surrogate
        { u"%F4%90%80%80", u"%F4%90%80%80" }, // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.in));
        EXPECT_EQ(TSuperBrowser::DecodeURLText(c.in), String(c.out));
    }
}

TEST(SuperBrowserText, DecodeScriptValue)
{
    struct Case {
        const char16_t* json;
        const char16_t* text;
    } const cases[] = {
        { u"\"abc\"", u"abc" },
        { u"\"a\\\"b\\\\c\\/d\"", u"a\"b\\c/d" },
        { u"\"line\\nnext\\r\\tx\"", u"line\nnext\r\tx" },
        { u"\"\\u00e9\\u002F\"", u"\u00e9/" },
        { u"\"\\ud83d\\ude00\"", u"\U0001F600" },
        { u"\"\"", u"" },
        { u"null", u"null" },
        { u" null\n", u"null" },
        { u"2", u"2" },
        { u"true", u"true" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.json));
        EXPECT_EQ(TSuperBrowser::DecodeScriptValue(c.json), String(c.text));
    }
    // No answer at all is an error, never a value to go on with.
    EXPECT_THROW(TSuperBrowser::DecodeScriptValue(u""), EScriptNoValue);
    EXPECT_THROW(TSuperBrowser::DecodeScriptValue(u" \r\n"), EScriptNoValue);
}

TEST(SuperBrowserText, ListingEmailPairsStayWithinTheirRecord)
{
    struct Case {
        const char* name;
        const char16_t* page;
        std::vector<String> pairs;
    } const cases[] = {
        { "a record without an address does not take its neighbour's",
            u"x [{\"aboutId\":\"a\",\"listingId\":\"11\",\"primaryEmail\":null,\"vCitaId\":\"v\"},"
            u"{\"aboutId\":\"b\",\"listingId\":\"22\",\"primaryEmail\":\"b@x.example\",\"web\":1,\"vCitaId\":\"w\"}] y",
            { u"22=b@x.example" } },
        { "several records on one line, in order",
            u"{\"aboutId\":\"a\",\"listingId\":\"1\",\"primaryEmail\":\"a@x.example\",\"web\":1,\"vCitaId\":\"v\"},"
            u"{\"aboutId\":\"b\",\"name\":\"B\",\"listingId\":\"2\",\"primaryEmail\":\"b@x.example\",\"q\":0,\"vCitaId\":\"w\"}",
            { u"1=a@x.example", u"2=b@x.example" } },
        { "records on separate lines",
            u"{\"aboutId\":\"a\",\"listingId\":\"1\",\"primaryEmail\":\"a@x.example\",\"web\":1,\"vCitaId\":\"v\"}\r\n"
            u"{\"aboutId\":\"b\",\"listingId\":\"2\",\"primaryEmail\":\"b@x.example\",\"web\":1,\"vCitaId\":\"w\"}",
            { u"1=a@x.example", u"2=b@x.example" } },
        { "a record without vCitaId does not borrow the next one's",
            u"{\"aboutId\":\"a\",\"listingId\":\"1\",\"primaryEmail\":\"a@x.example\",\"z\":1},"
            u"{\"aboutId\":\"b\",\"listingId\":\"2\",\"primaryEmail\":\"b@x.example\",\"web\":1,\"vCitaId\":\"w\"}",
            { u"2=b@x.example" } },
        { "the address as the last member gives no pair",
            u"{\"aboutId\":\"a\",\"listingId\":\"1\",\"vCitaId\":\"v\",\"primaryEmail\":\"a@x.example\"}", {} },
        { "names in another letter case",
            u"{\"ABOUTID\":\"a\",\"ListingId\":\"7\",\"PrimaryEmail\":\"c@x.example\",\"web\":1,\"VCITAID\":\"v\"}",
            { u"7=c@x.example" } },
        { "no records", u"<html><body>nothing here</body></html>", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TSuperBrowser::ListingEmailPairs(c.page), c.pairs);
    }
}

TEST(SuperBrowserText, DecodeNextPageLink)
{
    // "/search/plumbers/page2xx" in Base64, inside the attribute's quotes.
    const String link = TSuperBrowser::DecodeNextPageLink(u"\"L3NlYXJjaC9wbHVtYmVycy9wYWdlMnh4\"");
    EXPECT_EQ(link.substr(link.size() - 24), u"/search/plumbers/page2xx");
    EXPECT_EQ(link.substr(0, 8), u"https://");
    EXPECT_EQ(link.find(u"/search"), link.size() - 24) << "no slash between the root and the path";
    EXPECT_EQ(TSuperBrowser::DecodeNextPageLink(u"short-run-1234567890abc"), u"");
    EXPECT_EQ(TSuperBrowser::DecodeNextPageLink(u"null"), u"");
}
