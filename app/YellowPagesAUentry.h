#pragma once
// One listing card of a directory result page, turned into the 15-field CSV
// line the capture collects. The crawl creates one per card, copies in its
// stop flag, e-mail mode and the page's id=e-mail pairs, calls Execute and
// takes ResultLine.

#include <cstdint>
#include <functional>

#include "platform/rtl/String.h"

class TYellowPagesAUentry {
public:
    explicit TYellowPagesAUentry(const String& FullEntry) : _fFullEntry(FullEntry) { }

    // Parses the card and fills the fields and ResultLine (empty when the
    // card has no name or the stop flag is set). Raises nothing of its own.
    void Execute();
    // fListingID from the listing link, then fEmail from fAllEmails (the
    // line of exactly that id) followed by ",", or empty.
    void GetEmailFromListingID();
    // Not used by the capture: the listing page's first e-mail, fax and position.
    void GetEmailQuick();
    String GetLongitude() const;
    String GetLatitude() const;
    String TakeOutLastComma(const String& s);
    String getgoodcityname(const String& cp);
    String getgoodcitynameL(const String& cp);
    // The distinct e-mail addresses of `s`, sorted and joined by commas (a
    // spelling that differs only in letter case from an earlier one is
    // dropped); sets fNbEmails to their number. Defined with the harvest.
    String DedupesOut(const String& s);

    // The per-card e-mail harvest run by Execute in e-mail mode (installed by
    // the harvest; without one nothing is harvested).
    static void SetEmailHarvester(std::function<void(TYellowPagesAUentry&)> harvester);
    // The first e-mail address of a text, for GetEmailQuick (installed by the harvest).
    static void SetFirstEmailExtractor(std::function<String(const String&)> extractor);

    const String& GetfFullEntry() const { return _fFullEntry; }
    void SetfFullEntry(const String& v) { _fFullEntry = v; }
    const String& GetfNameOnly() const { return _fNameOnly; }
    void SetfNameOnly(const String& v) { _fNameOnly = v; }
    const String& GetfFullNameANDAddress() const { return _fFullNameANDAddress; }
    void SetfFullNameANDAddress(const String& v) { _fFullNameANDAddress = v; }
    const String& GetfStreet() const { return _fStreet; }
    void SetfStreet(const String& v) { _fStreet = v; }
    const String& GetfZIP() const { return _fZIP; }
    void SetfZIP(const String& v) { _fZIP = v; }
    const String& GetfZipNb() const { return _fZipNb; }
    void SetfZipNb(const String& v) { _fZipNb = v; }
    const String& GetfCity() const { return _fCity; }
    void SetfCity(const String& v) { _fCity = v; }
    const String& GetfPhone() const { return _fPhone; }
    void SetfPhone(const String& v) { _fPhone = v; }
    const String& GetfProducts() const { return _fProducts; }
    void SetfProducts(const String& v) { _fProducts = v; }
    const String& GetfTollFree() const { return _fTollFree; }
    void SetfTollFree(const String& v) { _fTollFree = v; }
    const String& GetfFax() const { return _fFax; }
    void SetfFax(const String& v) { _fFax = v; }
    const String& GetfHTTP() const { return _fHTTP; }
    void SetfHTTP(const String& v) { _fHTTP = v; }
    const String& GetfHTTP_AU() const { return _fHTTP_AU; }
    void SetfHTTP_AU(const String& v) { _fHTTP_AU = v; }
    const String& GetfEmail() const { return _fEmail; }
    void SetfEmail(const String& v) { _fEmail = v; }
    const String& GetfActividad() const { return _fActividad; }
    void SetfActividad(const String& v) { _fActividad = v; }
    const String& GetfActiv2() const { return _fActiv2; }
    void SetfActiv2(const String& v) { _fActiv2 = v; }
    const String& GetfSuburb() const { return _fSuburb; }
    void SetfSuburb(const String& v) { _fSuburb = v; }
    const String& GetfState() const { return _fState; }
    void SetfState(const String& v) { _fState = v; }
    const String& Getflongitude() const { return _flongitude; }
    void Setflongitude(const String& v) { _flongitude = v; }
    const String& Getflatitude() const { return _flatitude; }
    void Setflatitude(const String& v) { _flatitude = v; }
    const String& GetfGGMaps() const { return _fGGMaps; }
    void SetfGGMaps(const String& v) { _fGGMaps = v; }
    const String& GetResultLine() const { return _ResultLine; }
    void SetResultLine(const String& v) { _ResultLine = v; }
    const String& GetfInnerText() const { return _fInnerText; }
    void SetfInnerText(const String& v) { _fInnerText = v; }
    bool GetfMoreEmail() const { return _fMoreEmail; }
    void SetfMoreEmail(bool v) { _fMoreEmail = v; }
    bool Getfbstop() const { return _fbstop; }
    void Setfbstop(bool v) { _fbstop = v; }
    // The real count: an 8-bit field would wrap at 256 addresses.
    int GetfNbEmails() const { return _fNbEmails; }
    void SetfNbEmails(int v) { _fNbEmails = v; }
    bool GetfObjectDoesEmails() const { return _fObjectDoesEmails; }
    void SetfObjectDoesEmails(bool v) { _fObjectDoesEmails = v; }
    const String& GetfAllEmails() const { return _fAllEmails; }
    void SetfAllEmails(const String& v) { _fAllEmails = v; }
    const String& GetfListingID() const { return _fListingID; }
    void SetfListingID(const String& v) { _fListingID = v; }

private:
    String MarkupText() const;
    void ParseMarkupLookups(const String& markup);
    void ParseAddress(const String& markup);
    String BuildResultLine() const;
    String CityFromList(const String& cp, const String& list);

    String _fFullEntry;
    String _fNameOnly;
    String _fFullNameANDAddress;
    String _fStreet;
    String _fAddress; // declared; not filled
    String _fZIP;
    String _fZipNb;
    String _fCity;
    String _fPhone;
    String _fProducts;
    String _fTollFree;
    String _fFax;
    String _fHTTP;
    String _fHTTP_AU;
    String _fEmail;
    String _fActividad;
    String _fActiv2;
    String _fSuburb;
    String _fState;
    String _flongitude;
    String _flatitude;
    String _fGGMaps;
    bool _fMoreEmail { false };
    String _ResultLine;
    String _fInnerText;
    bool _fbstop { false };
    int _fNbEmails { 0 };
    bool _fObjectDoesEmails { false };
    String _fAllEmails;
    String _fListingID;
};
