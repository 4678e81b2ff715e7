#include "platform/automation/XMLDOM.h"

#include <gtest/gtest.h>

#include "platform/rtl/Streams.h"

TEST(XMLDOM, WalksElementsTextAndAttributes)
{
    TXMLDocument doc;
    doc.LoadFromText(u"<svg xmlns:xlink='http://www.w3.org/1999/xlink' width='10'>"
                     u"<text x='1'>Hi &amp; bye</text><image xlink:href='#a'/></svg>");
    const TXMLNode root = doc.GetDocumentElement();
    EXPECT_EQ(root.GetNodeName(), u"svg");
    EXPECT_EQ(root.GetNodeType(), ntElement);
    EXPECT_EQ(root.GetAttribute(u"width"), std::optional<String>(u"10"));
    EXPECT_FALSE(root.HasAttribute(u"height"));
    ASSERT_EQ(root.GetChildCount(), 2);
    const TXMLNode text = root.GetChild(0);
    ASSERT_EQ(text.GetChildCount(), 1);
    EXPECT_EQ(text.GetChild(0).GetNodeName(), u"#text");
    EXPECT_EQ(text.GetChild(0).GetNodeType(), ntText);
    EXPECT_EQ(text.GetChild(0).GetNodeValue(), u"Hi & bye");
    EXPECT_EQ(text.GetText(), u"Hi & bye");
    const TXMLNode image = root.GetChild(1);
    ASSERT_EQ(image.GetAttributeCount(), 1);
    EXPECT_EQ(image.GetAttributeName(0), u"xlink:href");
    EXPECT_EQ(image.GetAttributeValue(0), u"#a");
    EXPECT_EQ(image.GetAttribute(u"xlink:href"), std::optional<String>(u"#a"));
    const std::vector<TXMLNode> children = root.GetChildren();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[1].GetNodeName(), u"image");
    EXPECT_TRUE(image.GetChildren().empty());
    // Out-of-range access gives null nodes and empty texts, never a crash.
    EXPECT_TRUE(root.GetChild(5).IsNull());
    EXPECT_TRUE(root.GetChild(-1).GetChild(0).IsNull());
    EXPECT_EQ(image.GetAttributeName(3), u"");
}

TEST(XMLDOM, RefusesMalformedAndHostileInput)
{
    struct Case {
        const char* name;
        std::string text;
    };
    std::string deep;
    for (int i = 0; i <= TXMLDocument::MaxDepth + 5; ++i)
        deep += "<g>";
    for (int i = 0; i <= TXMLDocument::MaxDepth + 5; ++i)
        deep += "</g>";
    const Case cases[] = {
        { "unclosed", "<svg><g></svg>" },
        { "empty", "" },
        { "not xml", "hello" },
        { "too deep", deep },
        { "entity bomb",
            "<!DOCTYPE a [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
            "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
            "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
            "<svg>&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;</svg>" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TXMLDocument doc;
        EXPECT_THROW(doc.LoadFromText(Utf8ToString(c.text)), EXMLDocumentError);
        EXPECT_FALSE(doc.IsLoaded());
        EXPECT_TRUE(doc.GetDocumentElement().IsNull());
    }
}

TEST(XMLDOM, ExternalEntitiesAreNotFetched)
{
    // A document type declaration loads, but the external entity stays unread.
    TXMLDocument doc;
    doc.LoadFromText(u"<!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><svg>&x;</svg>");
    EXPECT_EQ(doc.GetDocumentElement().GetNodeName(), u"svg");
    EXPECT_EQ(doc.GetDocumentElement().GetText(), u"");
}

TEST(XMLDOM, StreamRoundTrip)
{
    TMemoryStream in;
    const std::string text = "<svg><rect width=\"5\"/></svg>";
    in.WriteBuffer(text.data(), Int64(text.size()));
    in.SetPosition(0);
    TXMLDocument doc;
    doc.LoadFromStream(in);
    TMemoryStream out;
    doc.SaveToStream(out);
    out.SetPosition(0);
    TXMLDocument again;
    again.LoadFromStream(out);
    EXPECT_EQ(again.GetDocumentElement().GetChild(0).GetAttribute(u"width"), std::optional<String>(u"5"));
}
