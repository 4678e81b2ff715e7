#pragma once
// A small XML document object model over libxml2: load a document from text
// or a stream, walk elements and text nodes, read attributes by name and by
// index, serialise it again. Documents come from untrusted sources, so
// loading never touches the network, never fetches external entities or
// DTDs, and refuses nesting deeper than a fixed bound.

#include <memory>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/String.h"

QT_DECLARE_EXCEPTION(EXMLDocumentError, Exception);

// The libxml2 parser options every untrusted document is read with (also by
// streaming readers): no network, no DTD or external entity loading, no
// entity substitution; libxml2's own size and depth limits stay on.
int SafeXMLParseOptions();

struct _xmlNode;
struct _xmlDoc;

enum TXMLNodeType { ntReserved = 0, ntElement = 1, ntAttribute = 2, ntText = 3, ntCData = 4, ntEntityRef = 5,
    ntEntity = 6, ntProcessingInstr = 7, ntComment = 8, ntDocument = 9, ntDocType = 10, ntDocFragment = 11,
    ntNotation = 12 };

// A node of a loaded document; it keeps the document alive. A null node
// (IsNull) answers every query with an empty result.
class TXMLNode {
public:
    TXMLNode() = default;
    TXMLNode(std::shared_ptr<_xmlDoc> ADoc, _xmlNode* ANode) : FDoc(std::move(ADoc)), FNode(ANode) { }

    bool IsNull() const { return FNode == nullptr; }
    // Element name, or "#text", "#cdata-section", "#comment" for those nodes.
    String GetNodeName() const;
    TXMLNodeType GetNodeType() const;
    // The text of a text, CDATA or comment node; empty for elements.
    String GetNodeValue() const;
    // The concatenated text of the node and all its descendants.
    String GetText() const;

    int GetChildCount() const;
    TXMLNode GetChild(int AIndex) const;
    // Every child GetChild lists, in one pass (GetChild walks from the
    // first child each time).
    std::vector<TXMLNode> GetChildren() const;

    int GetAttributeCount() const;
    String GetAttributeName(int AIndex) const;
    String GetAttributeValue(int AIndex) const;
    bool HasAttribute(const String& AName) const { return GetAttribute(AName).has_value(); }
    // Matched against the attribute's qualified name ("xlink:href").
    std::optional<String> GetAttribute(const String& AName) const;

private:
    std::shared_ptr<_xmlDoc> FDoc;
    _xmlNode* FNode { nullptr };
};

class TXMLDocument {
public:
    // Deeper documents are refused as malformed.
    static constexpr int MaxDepth = 256;

    // Replaces the document; raises EXMLDocumentError with the parser's
    // message (and line) when the text is not well-formed XML.
    void LoadFromText(const String& AText);
    void LoadFromBytes(const void* AData, std::size_t ASize);
    // The stream from its current position to its end.
    void LoadFromStream(TStream& AStream);
    void SaveToStream(TStream& AStream) const;
    String GetXML() const;

    bool IsLoaded() const { return FDoc != nullptr; }
    TXMLNode GetDocumentElement() const;
    // The parser's error code and line of the last failed load; 0 after a good one.
    int GetErrorCode() const { return FErrorCode; }
    int GetErrorLine() const { return FErrorLine; }

private:
    void Load(const void* AData, std::size_t ASize, const char* AEncoding);

    std::shared_ptr<_xmlDoc> FDoc;
    int FErrorCode { 0 };
    int FErrorLine { 0 };
};

// The largest file the "Microsoft.XMLDOM" server's load reads (tests lower
// it); a larger file raises rather than being read into memory.
std::uint64_t& XMLDOMMaxFileBytes();
