// The "Microsoft.XMLDOM" automation server: a document that loads a local
// file through the safe libxml2 DOM, and the node, node list, attribute and
// parse-error objects a walker of the element tree uses. Formatting
// whitespace between elements is not reported as text nodes, so a record
// element's children are its fields; a node whose only child is blank text
// keeps that text (a field holding spaces).

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "platform/automation/ComObj.h"
#include "platform/automation/XMLDOM.h"
#include "platform/rtl/SysUtils.h"

std::uint64_t& XMLDOMMaxFileBytes()
{
    static std::uint64_t cap = std::uint64_t(256) << 20;
    return cap;
}

namespace {

class TDOMObject : public TAutoDispatch {
protected:
    String SourceName() const override { return u"msxml"; }
};

bool IsBlankText(const TXMLNode& n)
{
    if (n.GetNodeType() != ntText)
        return false;
    for (char16_t ch : n.GetNodeValue())
        if (ch != u' ' && ch != u'\t' && ch != u'\r' && ch != u'\n')
            return false;
    return true;
}

std::vector<TXMLNode> ListedChildren(const TXMLNode& node)
{
    std::vector<TXMLNode> all = node.GetChildren();
    if (all.size() < 2)
        return all;
    std::vector<TXMLNode> kept;
    for (const TXMLNode& c : all)
        if (!IsBlankText(c))
            kept.push_back(c);
    return kept;
}

class TDOMAttribute : public TDOMObject {
public:
    TDOMAttribute(String name, String value) : FName(std::move(name)), FValue(std::move(value)) { }

protected:
    enum { idNodeName = 1, idText, idNodeValue, idNodeType };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"nodeName", u"text", u"nodeValue", u"nodeType" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant* value) override
    {
        if (value)
            throw EOleError(u"The document is read-only");
        switch (id) {
        case idNodeName: return Variant(FName);
        case idText:
        case idNodeValue: return Variant(FValue);
        case idNodeType: return Variant(int(ntAttribute));
        }
        return {};
    }

private:
    String FName, FValue;
};

class TDOMNode;

// childNodes (nodes) or attributes (name/value pairs) of one node.
class TDOMList : public TDOMObject {
public:
    TDOMList(TXMLNode node, bool attributes) : FNode(std::move(node)), FAttributes(attributes)
    {
        if (!FAttributes)
            FChildren = ListedChildren(FNode);
    }

protected:
    enum { idLength = 1, idItem };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"length", u"item" };
        return names;
    }
    DISPID DefaultMember() const override { return idItem; }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override;

private:
    int Count() const { return FAttributes ? FNode.GetAttributeCount() : int(FChildren.size()); }

    TXMLNode FNode;
    bool FAttributes;
    std::vector<TXMLNode> FChildren;
};

class TDOMNode : public TDOMObject {
public:
    explicit TDOMNode(TXMLNode node) : FNode(std::move(node)) { }

protected:
    enum { idNodeName = 1, idText, idNodeValue, idNodeType, idChildNodes, idAttributes, idHasChildNodes, idXml };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"nodeName", u"text", u"nodeValue", u"nodeType", u"childNodes",
            u"attributes", u"hasChildNodes", u"xml" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant* value) override
    {
        if (value)
            throw EOleError(u"The document is read-only");
        switch (id) {
        case idNodeName: return Variant(FNode.GetNodeName());
        case idText: return Variant(FNode.GetText());
        case idNodeValue: return FNode.GetNodeType() == ntElement ? Variant::Null() : Variant(FNode.GetNodeValue());
        case idNodeType: return Variant(int(FNode.GetNodeType()));
        case idChildNodes: return MakeDispatch<TDOMList>(FNode, false);
        case idAttributes: return MakeDispatch<TDOMList>(FNode, true);
        case idHasChildNodes: return Variant(!ListedChildren(FNode).empty());
        case idXml: return Variant(FNode.GetText());
        }
        return {};
    }

private:
    TXMLNode FNode;
};

Variant TDOMList::DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value)
{
    if (value)
        throw EOleError(u"The document is read-only");
    if (id == idLength)
        return Variant(Count());
    RequireArgs(args, 1);
    const int i = args[0].AsInteger();
    if (i < 0 || i >= Count())
        return Variant::Null();
    if (FAttributes)
        return MakeDispatch<TDOMAttribute>(FNode.GetAttributeName(i), FNode.GetAttributeValue(i));
    return MakeDispatch<TDOMNode>(FChildren[std::size_t(i)]);
}

struct TParseState {
    int ErrorCode { 0 };
    int Line { 0 };
    String Reason;
};

class TDOMParseError : public TDOMObject {
public:
    explicit TDOMParseError(TParseState state) : FState(std::move(state)) { }

protected:
    enum { idErrorCode = 1, idLine, idReason };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"errorCode", u"line", u"reason" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant*) override
    {
        switch (id) {
        case idErrorCode: return Variant(FState.ErrorCode);
        case idLine: return Variant(FState.Line);
        case idReason: return Variant(FState.Reason);
        }
        return {};
    }

private:
    TParseState FState;
};

class TDOMDocument : public TDOMObject {
protected:
    enum { idAsync = 1, idLoad, idParseError, idDocumentElement, idChildNodes, idHasChildNodes, idNodeName };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"async", u"load", u"parseError", u"documentElement", u"childNodes",
            u"hasChildNodes", u"nodeName" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        switch (id) {
        case idAsync:
            // Loading is always synchronous.
            if (value)
                return {};
            return Variant(false);
        case idLoad: RequireArgs(args, 1); return Variant(Load(args[0].AsString()));
        case idParseError: return MakeDispatch<TDOMParseError>(FState);
        case idDocumentElement:
            return FDoc.IsLoaded() ? MakeDispatch<TDOMNode>(FDoc.GetDocumentElement()) : Variant::Null();
        case idChildNodes:
        case idHasChildNodes:
            if (!FDoc.IsLoaded())
                return id == idHasChildNodes ? Variant(false) : Variant::Null();
            return id == idHasChildNodes ? Variant(true) : DispGet(MakeDispatch<TDOMNode>(FDoc.GetDocumentElement()), u"childNodes");
        case idNodeName: return Variant(u"#document");
        }
        return {};
    }

private:
    // Reads a local file; a document that does not parse leaves the reason
    // in parseError and answers false. Addresses are not fetched: a name is
    // always a file name.
    bool Load(const String& fileName)
    {
        FDoc = TXMLDocument {};
        FState = {};
        const std::string path = StringToUtf8(fileName);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            FState = { -2146697210, 0, u"The system cannot locate the object specified: \"" + fileName + u"\"" };
            return false;
        }
        if (std::uint64_t(st.st_size) > XMLDOMMaxFileBytes())
            throw EOleError(u"The XML file \"" + fileName + u"\" is larger than "
                + IntToStr(Int64(XMLDOMMaxFileBytes())) + u" bytes");
        // Read into memory nobody fills first: the file can be hundreds of
        // megabytes.
        const std::size_t size = std::size_t(st.st_size);
        const auto bytes = std::make_unique_for_overwrite<char[]>(size + 1);
        std::size_t n = 0;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            n = size ? std::fread(bytes.get(), 1, size, f) : 0;
            std::fclose(f);
        } else {
            throw EOleError(u"Cannot open the XML file \"" + fileName + u"\"");
        }
        try {
            FDoc.LoadFromBytes(bytes.get(), n);
        } catch (const EXMLDocumentError& e) {
            FState = { FDoc.GetErrorCode() ? FDoc.GetErrorCode() : 1, FDoc.GetErrorLine(), e.Message };
            return false;
        }
        return true;
    }

    TXMLDocument FDoc;
    TParseState FState;
};

} // namespace

TComPtr<IDispatch> XMLDOMDocumentFactory() { return TComPtr<IDispatch>(new TDOMDocument()); }
