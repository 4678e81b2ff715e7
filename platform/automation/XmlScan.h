#pragma once
// A byte-exact tag scanner over XML text a parser already found
// well-formed: patchers use it to find where elements start and end, so
// everything they do not change is copied byte for byte.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

struct TTag {
    enum TKind { tkStart, tkEnd, tkOther } Kind { tkOther };
    std::size_t Begin { 0 }, End { 0 };  // [Begin, End) in the text
    bool SelfClosing { false };
    std::string_view Prefix;  // "x:" or ""
    std::string_view Local;
    std::size_t NameEnd { 0 };  // just after the qualified name
};

inline bool NextTag(std::string_view xml, std::size_t from, TTag& tag)
{
    const std::size_t lt = xml.find('<', from);
    if (lt == std::string_view::npos)
        return false;
    tag = TTag {};
    tag.Begin = lt;
    auto until = [&](std::string_view term) {
        const std::size_t e = xml.find(term, lt + 1);
        tag.End = e == std::string_view::npos ? xml.size() : e + term.size();
        return true;
    };
    if (xml.substr(lt, 4) == "<!--")
        return until("-->");
    if (xml.substr(lt, 9) == "<![CDATA[")
        return until("]]>");
    if (xml.substr(lt, 2) == "<?")
        return until("?>");
    if (xml.substr(lt, 2) == "<!")
        return until(">");
    std::size_t i = lt + 1;
    tag.Kind = TTag::tkStart;
    if (i < xml.size() && xml[i] == '/') {
        tag.Kind = TTag::tkEnd;
        ++i;
    }
    const std::size_t nameBegin = i;
    while (i < xml.size() && !std::strchr(" \t\r\n/>", xml[i]))
        ++i;
    tag.NameEnd = i;
    const std::string_view name = xml.substr(nameBegin, i - nameBegin);
    const std::size_t colon = name.find(':');
    tag.Prefix = colon == std::string_view::npos ? std::string_view() : name.substr(0, colon + 1);
    tag.Local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    char quote = 0;
    for (; i < xml.size(); ++i) {
        const char ch = xml[i];
        if (quote) {
            if (ch == quote)
                quote = 0;
        } else if (ch == '"' || ch == '\'') {
            quote = ch;
        } else if (ch == '>') {
            break;
        }
    }
    tag.End = std::min(i + 1, xml.size());
    tag.SelfClosing = tag.Kind == TTag::tkStart && i > 0 && xml[i - 1] == '/';
    return true;
}
