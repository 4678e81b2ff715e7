#include "app/YellowPagesAUentry.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/Pcre.h"
#include "app/SiteAddresses.h"
#include "app/TextRoutines.h"
#include "app/WebData.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/Resources.h"

namespace {

std::function<void(TYellowPagesAUentry&)>& EmailHarvester()
{
    static std::function<void(TYellowPagesAUentry&)> harvester;
    return harvester;
}

std::function<String(const String&)>& FirstEmailExtractor()
{
    static std::function<String(const String&)> extractor;
    return extractor;
}

// Stores group 1 of the first match into `field`; leaves it alone without a match.
void TakeGroup(TPcreRegex& re, const String& pattern, String& field)
{
    re.SetRegEx(pattern);
    if (re.Match())
        field = re.Group(1);
}

String ReplacedAll(String s, StringView what, StringView with)
{
    for (size_t p = s.find(what); p != String::npos; p = s.find(what, p + with.size()))
        s.replace(p, what.size(), with);
    return s;
}

// Regular-expression metacharacters of `s` escaped; dots are kept as they
// are when `keepDots` (the site root pattern lets them match any character).
String EscapedForPattern(const String& s, bool keepDots)
{
    static const StringView meta = u"\\^$|?*+()[]{}.#";
    String out;
    for (Char c : s) {
        if (meta.find(c) != StringView::npos && !(keepDots && c == u'.'))
            out += u'\\';
        out += c;
    }
    return out;
}

String ProgramIniText()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    exe.replace_extension(".ini");
    std::ifstream in(exe, std::ios::binary);
    if (!in)
        return {};
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Utf8ToString(bytes);
}

String PostalCodesResourceText()
{
    HRSRC res = FindResource(0, u"postalcodes", u"TXT");
    if (!res)
        return {};
    HGLOBAL data = LoadResource(0, res);
    const void* bytes = LockResource(data);
    if (!bytes)
        return {};
    return Utf8ToString(static_cast<const std::uint8_t*>(bytes), SizeofResource(0, res));
}

} // namespace

void TYellowPagesAUentry::SetEmailHarvester(std::function<void(TYellowPagesAUentry&)> harvester)
{
    EmailHarvester() = std::move(harvester);
}

void TYellowPagesAUentry::SetFirstEmailExtractor(std::function<String(const String&)> extractor)
{
    FirstEmailExtractor() = std::move(extractor);
}

String TYellowPagesAUentry::MarkupText() const
{
    // The page hands slashes in its embedded data over as JSON escapes.
    return ReplacedAll(_fFullEntry, u"\\u002F", u"/");
}

void TYellowPagesAUentry::Execute()
{
    if (_fFullEntry.empty() || _fbstop)
        return;
    // The patterns' "." stops at U+0085, U+2028 and U+2029, which page text
    // may hold inside a name or a summary (they never end a line of the
    // card): they become blanks, so such a card still matches.
    for (Char& c : _fFullEntry)
        if (c == 0x0085 || c == 0x2028 || c == 0x2029)
            c = u' ';
    _fInnerText = StripHTMLTags(_fFullEntry);
    const String markup = MarkupText();
    {
        TPcreRegex plain(u"", pcoNone);
        plain.SetSubject(markup);
        TakeGroup(plain, u"<a .+? MuiButton-text .+?href=\"(http.+?)\"", _fHTTP);
    }
    ProcessPendingMessages(); // lets a click on STOP land
    ParseMarkupLookups(markup);
    ParseAddress(markup);
    if (!_fbstop && _fObjectDoesEmails && EmailHarvester())
        EmailHarvester()(*this);
    ProcessPendingMessages();
    if (_fNameOnly.empty())
        return;
    _ResultLine = BuildResultLine();
}

void TYellowPagesAUentry::ParseMarkupLookups(const String& markup)
{
    TPcreRegex re(u"", pcoCaseless);
    re.SetNotEmpty(true);
    re.SetSubject(markup);
    TakeGroup(re, u"longitude\":\"(.+?)\"", _flongitude);
    TakeGroup(re, u"-subtitle2\">(.+?)<", _fActiv2);
    TakeGroup(re, u"<h3.+?>(.+?)</h3>", _fNameOnly);
    TakeGroup(re, u"latitude\":\"(.+?)\"", _flatitude);
    TakeGroup(re, u"suburb\":\"(.+?)\"", _fSuburb);
    TakeGroup(re, u"seoSnippetSummary\":\"(.+?)\"", _fActiv2); // the summary wins over the subtitle
}

void TYellowPagesAUentry::ParseAddress(const String& markup)
{
    TPcreRegex re(u"", pcoCaseless);
    re.SetNotEmpty(true);

    // Every address-shaped line of the card text, in turn; the last one stands,
    // and its four parts always come from that one line.
    re.SetSubject(_fInnerText);
    re.SetRegEx(u"\\n(.+?), (.+?), ([A-Z]{2,4}),? (\\d\\d\\d\\d)\\n");
    for (bool found = re.Match(); found; found = re.MatchAgain()) {
        _fStreet = re.Group(1);
        _fCity = re.Group(2);
        _fState = re.Group(3);
        _fZIP = re.Group(4);
    }
    TakeGroup(re, u"\\n(.+?, .+?, [A-Z]{2,4} \\d\\d\\d\\d)\\n", _fActividad);

    re.SetSubject(markup);
    if (_fStreet.empty()) {
        re.SetRegEx(u"body2\">(.+?), (.+?), ([A-Z]{2,4}), (\\d\\d\\d\\d)<");
        if (re.Match()) {
            _fStreet = re.Group(1);
            _fCity = re.Group(2);
            _fState = re.Group(3);
            _fZIP = re.Group(4);
        }
    }
    TakeGroup(re, u"tel:([\\+\\d\\(\\) ]+)", _fPhone);
    TakeGroup(re, u"isplayValue\":\"(.+?)\"", _fPhone); // the display value wins
    re.SetRegEx(u"<a .+?MuiLink-root.+?href=\"(\\/.+?)\"");
    if (re.Match()) {
        _fHTTP_AU = DirectorySiteRoot() + re.Group(1);
        GetEmailFromListingID();
    }
}

String TYellowPagesAUentry::BuildResultLine() const
{
    const String fields[15] = {
        _fNameOnly, String(1, Char(0x00A0)) + _fPhone, _fEmail, _fStreet, _fZIP, _fCity, _fSuburb, _fState,
        _fActividad, _fActiv2, _fHTTP, _flongitude, _flatitude, CleanCSVField(_fGGMaps), _fHTTP_AU,
    };
    // Each value is decoded on its own and then quoted, so a quote or a line
    // break that a value holds (or that an entity decodes to) stays inside its field.
    String line;
    for (const String& f : fields) {
        if (!line.empty())
            line += u',';
        line += QuoteCSVField(HTMLDecode(f));
    }
    return line;
}

void TYellowPagesAUentry::GetEmailFromListingID()
{
    _fEmail.clear();
    TPcreRegex id(EscapedForPattern(DirectorySiteRoot(), true) + u".+?-(\\d+)-listing.html", pcoMultiLine);
    id.SetSubject(_fHTTP_AU);
    if (id.Match())
        _fListingID = id.Group(1);
    if (_fListingID.empty())
        return;
    // The whole id at the start of a line: 12345 must not take the line of 912345.
    TPcreRegex pair(u"^" + EscapedForPattern(_fListingID, false) + u"=(.+)", pcoMultiLine);
    pair.SetSubject(_fAllEmails);
    if (pair.Match())
        _fEmail = pair.Group(1) + u",";
}

void TYellowPagesAUentry::GetEmailQuick()
{
    try {
        String page = FetchPageText(_fHTTP_AU);
        if (FirstEmailExtractor())
            _fEmail = FirstEmailExtractor()(page);
        TPcreRegex re(u"(ax)?:? ?([\\(\\)\\d ]+)(&nbsp;)? ?( +.fax)?", pcoNone);
        re.SetSubject(page);
        if (re.Match())
            _fFax = re.Group(2);
        re.SetRegEx(u"longitude=\"([\\d\\.\\-]+)\"");
        if (re.Match())
            _flongitude = re.Group(1);
        re.SetRegEx(u"latitude:\"([\\d\\.\\-]+)\"");
        if (re.Match())
            _flatitude = re.Group(1);
    } catch (const std::exception&) {
        // A listing page that cannot be had leaves the fields as they were.
    }
}

String TYellowPagesAUentry::GetLongitude() const
{
    return PcreFirstGroup(_fFullEntry, u"longitude=\"([\\-.\\d]+)\"", pcoMultiLine);
}

String TYellowPagesAUentry::GetLatitude() const
{
    return PcreFirstGroup(_fFullEntry, u"latitude=\"([\\-.\\d]+)\"", pcoMultiLine);
}

String TYellowPagesAUentry::TakeOutLastComma(const String& s)
{
    if (!s.empty() && s.back() == u',')
        return s.substr(0, s.size() - 1);
    size_t comma = s.rfind(u',');
    if (comma == String::npos) {
        _fCity = TrimLeadingControlChars(s + _fCity);
        return s;
    }
    _fCity = TrimLeadingControlChars(s.substr(comma + 1) + _fCity);
    return s.substr(0, comma);
}

String TYellowPagesAUentry::CityFromList(const String& cp, const String& list)
{
    if (!cp.empty()) {
        // Lines "postcode=city"; the postcode must be the whole key of a line.
        TPcreRegex re(u"^" + EscapedForPattern(cp, false) + u"=(.+)", pcoMultiLine);
        re.SetSubject(list);
        for (bool found = re.Match(); found; found = re.MatchAgain())
            if (String city = re.Group(1); !city.empty() && _fFullEntry.find(city) != String::npos) {
                _fCity = city;
                break;
            }
    } else {
        TPcreRegex re(u" ([A-\u00FF\\d]+) \\<ZIP\\>", pcoNone);
        re.SetSubject(_fFullEntry);
        if (re.Match())
            _fCity = re.Group(1);
    }
    if (!_fCity.empty())
        if (size_t at = _fFullEntry.find(_fCity); at != String::npos)
            _fFullEntry.replace(at, _fCity.size(), u"<CITY>");
    return {};
}

String TYellowPagesAUentry::getgoodcityname(const String& cp) { return CityFromList(cp, ProgramIniText()); }

String TYellowPagesAUentry::getgoodcitynameL(const String& cp) { return CityFromList(cp, PostalCodesResourceText()); }
