#pragma once
// The application state that the crawl and the capture command share: the
// pace of the crawl, the capture's mode and stop flag, and the running count
// of e-mail addresses with the badge that shows it.

#include <cstdint>

#include "platform/rtl/String.h"

class TLumSmoothStatusIndicator;

// Seconds; every wait of the crawl is scaled by it (0 keeps the base waits).
extern std::uint8_t ScrapeInterval;
// The running capture harvests e-mail addresses.
extern bool EmailMode;
// The capture was stopped by its own button (no total is shown then).
extern bool StopPressed;
// E-mail addresses found since the results were last emptied.
extern int TotalEmails;
// The main window's e-mail badge; nullptr while there is none.
extern TLumSmoothStatusIndicator* EmailBadge;

// Sets the badge's caption when a badge is attached.
void SetEmailBadgeCaption(const String& caption);
// Sets the main form's caption when the application has a main form.
void SetMainFormCaption(const String& caption);
