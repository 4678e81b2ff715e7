#include "platform/rtl/Resources.h"

#include <cstring>
#include <gtest/gtest.h>

#include "platform/rtl/Streams.h"

// The test program embeds tests/fixtures/platform/rtl/resource-text.txt as
// RCDATA "HomePage" and as TXT "postalcodes", and resource-binary.bin as
// CURSOR 8010 (see CMakeLists.txt of this folder).

namespace {

const std::string kText = "first line\r\nsecond line \xc3\xa9\r\n";
const std::string kBinary("\0\1\2\xff\0binary", 11);

TEST(Resources, FindsByTextOrNumberIgnoringCase)
{
    const struct {
        const char* what;
        const Char* name;
        const Char* type;
        const std::string* content;
    } cases[] = {
        { "rcdata by name", u"HomePage", RT_RCDATA, &kText },
        { "name case", u"HOMEPAGE", RT_RCDATA, &kText },
        { "text type", u"postalcodes", u"txt", &kText },
        { "numbered", MAKEINTRESOURCE(8010), RT_CURSOR, &kBinary },
        { "numbered as #text", u"#8010", RT_CURSOR, &kBinary },
        { "wrong type", u"HomePage", RT_BITMAP, nullptr },
        { "unknown", u"NoSuchThing", RT_RCDATA, nullptr },
        { "number as plain text", u"8010", RT_CURSOR, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HRSRC r = FindResource(nullptr, c.name, c.type);
        if (!c.content) {
            EXPECT_EQ(r, nullptr);
            continue;
        }
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(SizeofResource(nullptr, r), c.content->size());
        const void* data = LockResource(LoadResource(nullptr, r));
        EXPECT_EQ(std::memcmp(data, c.content->data(), c.content->size()), 0);
    }
}

TEST(Resources, BadHandlesAnswerNothing)
{
    int notAResource = 0;
    auto bogus = reinterpret_cast<HRSRC>(&notAResource);
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(FindResource(nullptr, nullptr, RT_RCDATA), nullptr);
}

TEST(ResourceStream, ReadsTheEmbeddedBytesAndRefusesWrites)
{
    TResourceStream s(nullptr, u"HomePage", RT_RCDATA);
    ASSERT_EQ(s.GetSize(), Int64(kText.size()));
    std::string read(kText.size(), '\0');
    s.ReadBuffer(read.data(), Int64(read.size()));
    EXPECT_EQ(read, kText);
    EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);

    auto byId = TResourceStream::CreateFromID(nullptr, 8010, RT_CURSOR);
    EXPECT_EQ(byId->GetSize(), Int64(kBinary.size()));
}

TEST(ResourceStream, MissingResourceRaisesWithItsName)
{
    try {
        TResourceStream s(nullptr, u"Nowhere", RT_RCDATA);
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message, u"Resource Nowhere not found");
    }
    EXPECT_THROW(TResourceStream::CreateFromID(nullptr, 42, RT_RCDATA), EResNotFound);
}

} // namespace
