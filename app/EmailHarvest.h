#pragma once
// The per-card e-mail harvest: the business's web site, its "/contact/" page
// and the listing's page on the directory are downloaded, every address in
// them collected, and the card's e-mail field becomes the sorted list of the
// distinct addresses. A status pop-up tells the user which page is visited.

#include "app/StatusPopup.h"
#include "platform/rtl/String.h"

class TYellowPagesAUentry;

// What a download that failed contributes (it holds no address).
inline const String CannotDownloadPage = u"Cannot download page";

// The text of the page at `url` (http or https only), its lines ending in
// CR LF; bytes that are not UTF-8 read as U+FFFD. The page goes through a
// private temporary file that is removed afterwards. Any failure answers
// CannotDownloadPage; nothing is shown and nothing raises.
String DownloadPageToTempFile(const String& url);

// Every address-shaped run of `text` in order, each followed by CR LF; runs
// that hold "wixpress", ".png" or ".jpg" (image names, site-builder ids) are
// left out. A page too complex for the matcher ends the search there.
String ExtractAllEmails(const String& text);
// The first address-shaped run of `text`, or empty.
String ExtractFirstEmail(const String& text);

// The harvest of one card, run by Execute in e-mail mode: needs fHTTP,
// fHTTP_AU and fAllEmails; sets fEmail and fNbEmails. `popup` may be empty.
void HarvestEmails(TYellowPagesAUentry& entry, const TStatusPopupFactory& popup);

// Hooks the harvest and the first-address extractor into the listing parser;
// `popup` makes the pop-up shown during each card's harvest.
void InstallEmailHarvest(TStatusPopupFactory popup = {});
