#include "platform/automation/XMLDOM.h"

#include <climits>
#include <vector>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

namespace {

String FromXml(const xmlChar* AText) { return AText ? Utf8ToString(reinterpret_cast<const char*>(AText)) : String(); }

bool IsListedChild(const xmlNode* ANode)
{
    // Attributes, DTD declarations and the like are not child nodes.
    switch (ANode->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE: return true;
    default: return false;
    }
}

int DepthBelow(const xmlNode* ANode, int ALimit)
{
    // Iterative walk, so a hostile document cannot exhaust our stack either.
    int deepest = 0;
    std::vector<std::pair<const xmlNode*, int>> stack { { ANode, 1 } };
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        if (depth > deepest)
            deepest = depth;
        if (deepest > ALimit)
            break;
        for (const xmlNode* c = node->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE)
                stack.emplace_back(c, depth + 1);
    }
    return deepest;
}

} // namespace

int SafeXMLParseOptions()
{
    // No network, no external DTD or entity loading, no entity substitution;
    // libxml2's own limits on entity expansion and depth stay on (no HUGE).
    return XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR | XML_PARSE_NOCDATA;
}

String TXMLNode::GetNodeName() const
{
    if (!FNode)
        return {};
    switch (FNode->type) {
    case XML_TEXT_NODE: return u"#text";
    case XML_CDATA_SECTION_NODE: return u"#cdata-section";
    case XML_COMMENT_NODE: return u"#comment";
    case XML_DOCUMENT_NODE: return u"#document";
    default: break;
    }
    String name = FromXml(FNode->name);
    if (FNode->ns && FNode->ns->prefix)
        name = FromXml(FNode->ns->prefix) + u":" + name;
    return name;
}

TXMLNodeType TXMLNode::GetNodeType() const
{
    if (!FNode)
        return ntReserved;
    switch (FNode->type) {
    case XML_ELEMENT_NODE: return ntElement;
    case XML_TEXT_NODE: return ntText;
    case XML_CDATA_SECTION_NODE: return ntCData;
    case XML_ENTITY_REF_NODE: return ntEntityRef;
    case XML_PI_NODE: return ntProcessingInstr;
    case XML_COMMENT_NODE: return ntComment;
    case XML_DOCUMENT_NODE: return ntDocument;
    default: return ntReserved;
    }
}

String TXMLNode::GetNodeValue() const
{
    if (!FNode || FNode->type == XML_ELEMENT_NODE)
        return {};
    return FromXml(FNode->content);
}

String TXMLNode::GetText() const
{
    if (!FNode)
        return {};
    xmlChar* content = xmlNodeGetContent(FNode);
    String text = FromXml(content);
    xmlFree(content);
    return text;
}

int TXMLNode::GetChildCount() const
{
    int n = 0;
    if (FNode)
        for (const xmlNode* c = FNode->children; c; c = c->next)
            n += IsListedChild(c) ? 1 : 0;
    return n;
}

TXMLNode TXMLNode::GetChild(int AIndex) const
{
    if (FNode && AIndex >= 0)
        for (xmlNode* c = FNode->children; c; c = c->next)
            if (IsListedChild(c) && AIndex-- == 0)
                return TXMLNode(FDoc, c);
    return {};
}

std::vector<TXMLNode> TXMLNode::GetChildren() const
{
    std::vector<TXMLNode> children;
    if (FNode)
        for (xmlNode* c = FNode->children; c; c = c->next)
            if (IsListedChild(c))
                children.emplace_back(FDoc, c);
    return children;
}

int TXMLNode::GetAttributeCount() const
{
    int n = 0;
    if (FNode && FNode->type == XML_ELEMENT_NODE)
        for (const xmlAttr* a = FNode->properties; a; a = a->next)
            ++n;
    return n;
}

static xmlAttr* AttributeAt(xmlNode* ANode, int AIndex)
{
    if (!ANode || ANode->type != XML_ELEMENT_NODE || AIndex < 0)
        return nullptr;
    for (xmlAttr* a = ANode->properties; a; a = a->next)
        if (AIndex-- == 0)
            return a;
    return nullptr;
}

static String QualifiedName(const xmlAttr* A)
{
    String name = FromXml(A->name);
    if (A->ns && A->ns->prefix)
        name = FromXml(A->ns->prefix) + u":" + name;
    return name;
}

static String AttributeText(xmlAttr* A)
{
    xmlChar* value = xmlNodeListGetString(A->doc, A->children, 1);
    String text = FromXml(value);
    xmlFree(value);
    return text;
}

String TXMLNode::GetAttributeName(int AIndex) const
{
    const xmlAttr* a = AttributeAt(FNode, AIndex);
    return a ? QualifiedName(a) : String();
}

String TXMLNode::GetAttributeValue(int AIndex) const
{
    xmlAttr* a = AttributeAt(FNode, AIndex);
    return a ? AttributeText(a) : String();
}

std::optional<String> TXMLNode::GetAttribute(const String& AName) const
{
    if (FNode && FNode->type == XML_ELEMENT_NODE)
        for (xmlAttr* a = FNode->properties; a; a = a->next)
            if (QualifiedName(a) == AName)
                return AttributeText(a);
    return std::nullopt;
}

void TXMLDocument::LoadFromText(const String& AText)
{
    // The text is already decoded: whatever encoding its declaration names,
    // the bytes handed on are UTF-8.
    const std::string utf8 = StringToUtf8(AText);
    Load(utf8.data(), utf8.size(), "UTF-8");
}

void TXMLDocument::LoadFromBytes(const void* AData, std::size_t ASize) { Load(AData, ASize, nullptr); }

void TXMLDocument::Load(const void* AData, std::size_t ASize, const char* AEncoding)
{
    FDoc.reset();
    FErrorCode = 0;
    FErrorLine = 0;
    if (ASize > std::size_t(INT_MAX))
        throw EXMLDocumentError(u"The XML document is too large");
    const int options = SafeXMLParseOptions();
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt)
        throw EXMLDocumentError(u"Out of memory while reading the XML document");
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, static_cast<const char*>(AData), int(ASize), nullptr, AEncoding, options);
    String message;
    if (!doc || !ctxt->wellFormed) {
        const xmlError* err = xmlCtxtGetLastError(ctxt);
        message = u"The XML document is not well-formed";
        FErrorCode = err && err->code ? err->code : XML_ERR_INTERNAL_ERROR;
        FErrorLine = err ? err->line : 0;
        if (err && err->message) {
            String detail = FromXml(reinterpret_cast<const xmlChar*>(err->message));
            while (!detail.empty() && (detail.back() == u'\n' || detail.back() == u' '))
                detail.pop_back();
            message += u" (line " + Utf8ToString(std::to_string(err->line)) + u"): " + detail;
        }
    }
    xmlFreeParserCtxt(ctxt);
    if (!message.empty()) {
        if (doc)
            xmlFreeDoc(doc);
        throw EXMLDocumentError(message);
    }
    std::shared_ptr<_xmlDoc> holder(doc, [](xmlDocPtr d) { xmlFreeDoc(d); });
    if (const xmlNode* root = xmlDocGetRootElement(doc); root && DepthBelow(root, MaxDepth) > MaxDepth) {
        FErrorCode = XML_ERR_INTERNAL_ERROR;
        throw EXMLDocumentError(u"The XML document is nested too deeply");
    }
    FDoc = std::move(holder);
}

void TXMLDocument::LoadFromStream(TStream& AStream)
{
    const Int64 size = AStream.GetSize() - AStream.GetPosition();
    std::vector<char> bytes(std::size_t(size > 0 ? size : 0));
    if (!bytes.empty())
        AStream.ReadBuffer(bytes.data(), Int64(bytes.size()));
    LoadFromBytes(bytes.data(), bytes.size());
}

String TXMLDocument::GetXML() const
{
    if (!FDoc)
        return {};
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(FDoc.get(), &mem, &size, "UTF-8", 0);
    String text = mem ? Utf8ToString(std::string_view(reinterpret_cast<const char*>(mem), std::size_t(size))) : String();
    xmlFree(mem);
    return text;
}

void TXMLDocument::SaveToStream(TStream& AStream) const
{
    const std::string utf8 = StringToUtf8(GetXML());
    if (!utf8.empty())
        AStream.WriteBuffer(utf8.data(), Int64(utf8.size()));
}

TXMLNode TXMLDocument::GetDocumentElement() const
{
    return FDoc ? TXMLNode(FDoc, xmlDocGetRootElement(FDoc.get())) : TXMLNode();
}
