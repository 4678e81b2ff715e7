#include "app/TextRoutines.h"

#include <gtest/gtest.h>

#include "app/SiteAddresses.h"

TEST(TextRoutines, HTMLDecodeIsOnePassAndKeepsWhatItCannotDecode)
{
    struct Case {
        String in, out;
    } const cases[] = {
        { u"A &amp; B &lt;i&gt; &quot;q&quot;", u"A & B <i> \"q\"" },
        { u"&amp;lt;", u"&lt;" }, // one pass only
        { u"&nbsp;&apos;&copy;&AMP;", u"&nbsp;&apos;&copy;&AMP;" },
        { u"&#65;&#x42;&#X43;&#0065;", u"ABCA" },
        { u"&#x1F600;", u"\U0001F600" },
        { u"&#10;", u"\n" },
        { u"&#0;|&#xD800;|&#xDFFF;|&#1114112;|&#x110000;", u"&#0;|&#xD800;|&#xDFFF;|&#1114112;|&#x110000;" },
        { u"&#99999999999999999999999999;", u"&#99999999999999999999999999;" },
        { u"&#65|&#;|&#x;|&#xZ1;|&", u"&#65|&#;|&#x;|&#xZ1;|&" },
        { u"&#x10FFFF;", u"\U0010FFFF" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.in));
        EXPECT_EQ(HTMLDecode(c.in), c.out);
    }
}

TEST(TextRoutines, StripAndCleanFields)
{
    struct Case {
        String in, stripped, cleaned;
    } const cases[] = {
        { u"<b>x</b>", u" x ", u"x" },
        { u"a<SCRIPT type=\"t\">if (a<b) x();\n</script>b", u"a b", u"a b" },
        { u"<style>\np{}\n</style>t", u" t", u"t" },
        { u"x<!-- <b>\nhidden -->y", u"x y", u"x y" },
        { u"1 < 2 and 3>2", u"1 < 2 and 3>2", u"1 < 2 and 3>2" },
        { u"\t say \"hi\"\r\n", u"\t say \"hi\"\r\n", u"say \u00A0hi\u00A0" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.in));
        EXPECT_EQ(StripHTMLTags(c.in), c.stripped);
        EXPECT_EQ(CleanCSVField(c.in), c.cleaned);
    }
    EXPECT_EQ(RemoveTabsAndLineBreaks(u"a\tb\rc\nd e"), u"abcd e");
    EXPECT_EQ(TrimLeadingControlChars(u"\x01 \t x y "), u"x y ");
    EXPECT_EQ(QuoteCSVField(u"say \"hi\"\r\nnow"), u"\"say \"\"hi\"\"  now\"");
}

TEST(SiteAddresses, OverridesFromTheEnvironmentFormat)
{
    struct Case {
        String spec, directory, maker, welcome;
    } const cases[] = {
        { u"", u"https://www.yellowpages.com.au", u"https://www.quarrytide.example", u"https://www.yellowpages.com.au/" },
        { u"directory=http://127.0.0.1:8080/;welcome=http://127.0.0.1:8080/start.html", u"http://127.0.0.1:8080",
          u"https://www.quarrytide.example", u"http://127.0.0.1:8080/start.html" },
        { u" Maker = http://m.test// ; bogus=1; directory=", u"https://www.yellowpages.com.au", u"http://m.test",
          u"https://www.yellowpages.com.au/" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.spec));
        TSiteAddresses a = ParseSiteAddresses(c.spec);
        EXPECT_EQ(a.Directory, c.directory);
        EXPECT_EQ(a.Maker, c.maker);
        EXPECT_EQ(a.Welcome, c.welcome);
    }
}
