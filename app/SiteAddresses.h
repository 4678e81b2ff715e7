#pragma once
// The fixed addresses of the application: the directory's site root, the
// maker's site root and the welcome page of the directory.
//
// End-to-end tests point them at a local server through the environment
// variable QUARRYTIDE_SITE_ROOTS, read once at first use. Its format is a
// list of key=value pairs separated by ';', keys "directory", "maker" and
// "welcome", e.g.
//     QUARRYTIDE_SITE_ROOTS="directory=http://127.0.0.1:8080;welcome=http://127.0.0.1:8080/index.html"
// A key that is missing keeps its built-in address; unknown keys are ignored.
// Trailing slashes are dropped from the two site roots.

#include "platform/rtl/String.h"

// "https://" (or "http://") and the directory's host, without a trailing slash.
const String& DirectorySiteRoot();
// The maker's site root, without a trailing slash.
const String& MakerSiteRoot();
// The welcome page of the directory.
const String& WelcomePageURL();

struct TSiteAddresses {
    String Directory;
    String Maker;
    String Welcome;
};
// The built-in addresses with the overrides of `spec` (the variable's format) applied.
TSiteAddresses ParseSiteAddresses(const String& spec);
