// Routines that work on mini-HTML text as strings: plain text, highlighting,
// escaping and the form-control tags that cells may hold.

#include <vector>

#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"
#include "richtext/MiniHTMLMarkup.h"

namespace VovHTMLE {

namespace {

TColor HighlightBk = TColor(0xFF00000Du);   // the system highlight colour
TColor HighlightText = TColor(0xFF00000Eu); // the system highlight text colour
bool KeepLineBreak = true;

bool IsKnownEntity(StringView entity)
{
    for (StringView e : { u"&quot;", u"&amp;", u"&gt;", u"&lt;" })
        if (entity.size() == e.size() && FindNoCase(entity, e) == 0)
            return true;
    for (const auto& e : WorkingEntities())
        if (entity == e.Name)
            return true;
    return false;
}

// One unit of marked-up text from `at`: a whole tag (counting as no
// character of the plain text), a whole entity the unescaping knows
// (counting as one), or one character.
std::size_t MarkupUnit(StringView s, std::size_t at, int& counts)
{
    if (s[at] == u'<') {
        const std::size_t gt = s.find(u'>', at);
        counts = 0;
        return (gt == StringView::npos ? s.size() : gt + 1) - at;
    }
    if (s[at] == u'&') {
        const std::size_t semi = s.find(u';', at);
        const std::size_t end = semi == StringView::npos ? s.size() : semi + 1;
        if (IsKnownEntity(s.substr(at, end - at))) {
            counts = 1;
            return end - at;
        }
    }
    counts = 1;
    return 1;
}

struct TControlTag {
    std::size_t Start { 0 }; // the "<"
    std::size_t End { 0 };   // after the ">"
    String Type, ID, MaxLen, Prop, Height, Width, Value;
};

std::vector<TControlTag> ControlTags(const String& text)
{
    std::vector<TControlTag> tags;
    for (std::size_t p = 0; (p = FindNoCase(text, u"<CONTROL ", p)) != String::npos;) {
        TControlTag t;
        t.Start = p;
        const std::size_t gt = text.find(u'>', p);
        t.End = gt == String::npos ? text.size() : gt + 1;
        ParseHTMLControlTag(text.substr(p, t.End - p), t.Type, t.ID, t.MaxLen, t.Prop, t.Height, t.Width, t.Value);
        p = t.End;
        tags.push_back(std::move(t));
    }
    return tags;
}

const TControlTag* FindControl(const std::vector<TControlTag>& tags, const String& id)
{
    for (const auto& t : tags)
        if (t.ID == id)
            return &t;
    return nullptr;
}

} // namespace

void SetHTMLHighlightColors(TColor ABackground, TColor AText)
{
    HighlightBk = ABackground;
    HighlightText = AText;
}

TColor HTMLHighlightBkColor() { return HighlightBk; }
TColor HTMLHighlightTextColor() { return HighlightText; }

void SetHTMLKeepLineBreak(bool AKeep) { KeepLineBreak = AKeep; }
bool HTMLKeepLineBreak() { return KeepLineBreak; }

String HTMLToPlainText(const String& AText)
{
    String s = ReplaceAllNoCase(ReplaceAllNoCase(AText, u"<BR>", u"\r\n"), u"<HR>", u"\r\n");
    String out;
    std::size_t p = 0;
    while (p < s.size()) {
        const std::size_t lt = s.find(u'<', p);
        const std::size_t gt = lt == String::npos ? String::npos : s.find(u'>', lt);
        if (gt == String::npos) {
            out.append(s, p);
            break;
        }
        out.append(s, p, lt - p);
        p = gt + 1;
    }
    return out;
}

// A ">" standing before the first "<" does not stop the removal of the tags
// after it.
String RemoveHTMLTags(const String& AText)
{
    String out;
    std::size_t p = 0;
    for (;;) {
        const std::size_t lt = AText.find(u'<', p);
        const std::size_t gt = lt == String::npos ? String::npos : AText.find(u'>', lt);
        if (gt == String::npos)
            break;
        out.append(AText, p, lt - p);
        p = gt + 1;
    }
    out.append(AText, std::min(p, AText.size()));
    return out;
}

String EscapeHTMLText(const String& AText, bool AEntities)
{
    String s = ReplaceAll(AText, u"&", u"*amp;");
    s = ReplaceAll(s, u"*amp;", u"&amp;");
    s = ReplaceAll(s, u"\"", u"&quot;");
    s = ReplaceAll(s, u"<", u"&lt;");
    s = ReplaceAll(s, u">", u"&gt;");
    if (!AEntities)
        return s;
    for (const auto& e : WorkingEntities())
        s = ReplaceAll(s, StringView(&e.Character, 1), e.Name);
    // Characters beyond the table go as decimal references, a surrogate pair
    // as the one code point it stands for.
    String out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Char c = s[i];
        if (c <= 256) {
            out += c;
            continue;
        }
        std::uint32_t cp = c;
        if (IsHighSurrogate(c) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            cp = 0x10000 + ((std::uint32_t(c) - 0xD800) << 10) + (std::uint32_t(s[i + 1]) - 0xDC00);
            ++i;
        }
        out += u"&#" + IntToStr(cp) + u";";
    }
    return out;
}

String UnescapeHTMLText(const String& AText, bool AEntities)
{
    String s = AText;
    if (s.find(u'&') == String::npos)
        return s;
    ReplaceWhileExact(s, u"&quot;", u"\"");
    ReplaceWhileExact(s, u"&amp;", u"&");
    ReplaceWhileExact(s, u"&gt;", u">");
    ReplaceWhileExact(s, u"&lt;", u"<");
    if (AEntities)
        ApplyEntityRows(s);
    return s;
}

String SpacesToNbsp(const String& AText) { return ReplaceAll(AText, u" ", u"&nbsp;"); }

void HighlightHTMLText(const String& AText, const String& ASearch, const String& ATag, String& AResult,
    bool AWholeText, bool ACaseSensitive)
{
    const String t = StrUpper(ATag);
    const String open = u"<" + t + u">", close = u"</" + t + u">";
    // 1. An earlier highlight goes, and with it the escaping it gave a
    // plain text, so that highlighting again never escapes twice.
    String text;
    RemoveHTMLHighlight(AText, ATag, text);
    // 2.
    const bool markup = text.find(u"</") != String::npos;
    String copy = markup ? UnescapeHTMLText(RemoveHTMLTags(text), true) : text;
    String search = ASearch;
    if (!ACaseSensitive) {
        search = StrUpper(search);
        copy = StrUpper(copy);
    }
    // 3.
    if (AWholeText) {
        AResult = search == copy ? open + (markup ? text : EscapeHTMLText(text, true)) + close : text;
        return;
    }
    if (search.empty() || copy.find(search) == String::npos) {
        AResult = text;
        return;
    }
    String out;
    // 4.
    if (!markup) {
        std::size_t from = 0;
        for (std::size_t p; (p = copy.find(search, from)) != String::npos; from = p + search.size()) {
            out += EscapeHTMLText(text.substr(from, p - from), false);
            out += open + EscapeHTMLText(text.substr(p, search.size()), false) + close;
        }
        out += EscapeHTMLText(text.substr(from), false);
        AResult = out;
        return;
    }
    // 5.
    std::size_t at = 0;  // in the markup
    std::size_t pos = 0; // in the comparison copy
    for (std::size_t hit; (hit = copy.find(search, pos)) != String::npos;) {
        while (pos < hit && at < text.size()) {
            int counts;
            const std::size_t n = MarkupUnit(text, at, counts);
            out.append(text, at, n);
            at += n;
            pos += std::size_t(counts);
        }
        out += open;
        const std::size_t end = hit + search.size();
        while (pos < end && at < text.size()) {
            int counts;
            const std::size_t n = MarkupUnit(text, at, counts);
            const StringView unit = StringView(text).substr(at, n);
            out.append(unit);
            // A font end would reset the highlight colours.
            if (counts == 0 && FindNoCase(unit, u"</FONT") == 0)
                out += close + open;
            at += n;
            pos += std::size_t(counts);
        }
        out += close;
        pos = std::max(pos, end);
    }
    out.append(text, std::min(at, text.size()));
    AResult = out;
}

void RemoveHTMLHighlight(const String& AText, const String& ATag, String& AResult)
{
    const String t = StrUpper(ATag);
    const bool hadClosing = AText.find(u"</") != String::npos;
    String s = ReplaceAllNoCase(ReplaceAllNoCase(AText, u"<" + t + u">", u""), u"</" + t + u">", u"");
    if (hadClosing && s.find(u"</") == String::npos)
        s = UnescapeHTMLText(s, false);
    AResult = s;
}

void ParseHTMLControlTag(const String& ATag, String& AType, String& AID, String& AMaxLen, String& AProp,
    String& AHeight, String& AWidth, String& AValue)
{
    const String upper = StrUpper(ATag);
    AType = StrUpper(AttributeValue(ATag, upper, u"TYPE="));
    AWidth = AttributeValue(ATag, upper, u"WIDTH=");
    AHeight = AttributeValue(ATag, upper, u"HEIGHT=");
    AID = AttributeValue(ATag, upper, u"ID=");
    AValue = UnescapeHTMLText(AttributeValue(ATag, upper, u"VALUE="), true);
    AProp = UnescapeHTMLText(AttributeValue(ATag, upper, u"PROP="), true);
    AMaxLen = AttributeValue(ATag, upper, u"MAXLEN=");
}

bool ContainsHTMLControl(const String& AText) { return StrUpper(AText).find(u"<CONTROL") != String::npos; }

String NextHTMLControlID(const String& AText, const String& AID)
{
    bool passed = AID.empty();
    for (const auto& t : ControlTags(AText)) {
        if (passed && t.Type != u"BUTTON" && t.Type != u"CHECK" && t.Type != u"RADIO")
            return t.ID;
        if (t.ID == AID)
            passed = true;
    }
    return {};
}

String ResetHTMLRadioControls(const String& AText)
{
    String s = AText;
    for (const auto& t : ControlTags(AText))
        if (t.Type == u"RADIO")
            SetHTMLControlValue(s, t.ID, u"FALSE");
    return s;
}

bool GetHTMLControlValue(const String& AText, const String& AID, String& AValue)
{
    const auto tags = ControlTags(AText);
    const TControlTag* t = FindControl(tags, AID);
    if (!t)
        return false;
    AValue = t->Value;
    return true;
}

String GetHTMLControlProp(const String& AText, const String& AID)
{
    const auto tags = ControlTags(AText);
    const TControlTag* t = FindControl(tags, AID);
    return t ? t->Prop : String();
}

int GetHTMLControlMaxLen(const String& AText, const String& AID)
{
    const auto tags = ControlTags(AText);
    const TControlTag* t = FindControl(tags, AID);
    int n = 0;
    if (t && !t->MaxLen.empty())
        ReadAttributeNumber(t->MaxLen, n);
    return n;
}

bool SetHTMLControlValue(String& AText, const String& AID, const String& ANewValue)
{
    const auto tags = ControlTags(AText);
    const TControlTag* t = FindControl(tags, AID);
    if (!t)
        return false;
    auto quoted = [](const String& v) { return u"\"" + v + u"\""; };
    String tag = u"<CONTROL ID=" + quoted(AID) + u" VALUE=" + quoted(EscapeHTMLText(ANewValue, true)) + u" WIDTH="
        + quoted(t->Width);
    if (!t->Height.empty())
        tag += u" HEIGHT=" + quoted(t->Height);
    tag += u" TYPE=" + quoted(t->Type);
    if (!t->Prop.empty())
        tag += u" PROP=" + quoted(EscapeHTMLText(t->Prop, true));
    if (!t->MaxLen.empty())
        tag += u" MAXLEN=" + quoted(t->MaxLen);
    tag += u">";
    AText = AText.substr(0, t->Start) + tag + AText.substr(t->End);
    return true;
}

} // namespace VovHTMLE
