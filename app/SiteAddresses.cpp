#include "app/SiteAddresses.h"

#include <cstdlib>

namespace {

String WithoutTrailingSlashes(String s)
{
    while (!s.empty() && s.back() == u'/')
        s.pop_back();
    return s;
}

String Trimmed(const String& s)
{
    size_t b = s.find_first_not_of(u" \t");
    if (b == String::npos)
        return {};
    size_t e = s.find_last_not_of(u" \t");
    return s.substr(b, e - b + 1);
}

const TSiteAddresses& Addresses()
{
    static const TSiteAddresses addresses = [] {
        const char* env = std::getenv("QUARRYTIDE_SITE_ROOTS");
        return ParseSiteAddresses(env ? Utf8ToString(env) : String());
    }();
    return addresses;
}

} // namespace

TSiteAddresses ParseSiteAddresses(const String& spec)
{
    TSiteAddresses a { u"https://www.yellowpages.com.au", u"https://www.quarrytide.example",
                       u"https://www.yellowpages.com.au/" };
    size_t start = 0;
    while (start <= spec.size()) {
        size_t end = spec.find(u';', start);
        if (end == String::npos)
            end = spec.size();
        String pair = spec.substr(start, end - start);
        size_t eq = pair.find(u'=');
        if (eq != String::npos) {
            String key = StrLower(Trimmed(pair.substr(0, eq)));
            String value = Trimmed(pair.substr(eq + 1));
            if (!value.empty()) {
                if (key == u"directory")
                    a.Directory = WithoutTrailingSlashes(value);
                else if (key == u"maker")
                    a.Maker = WithoutTrailingSlashes(value);
                else if (key == u"welcome")
                    a.Welcome = value;
            }
        }
        start = end + 1;
    }
    return a;
}

const String& DirectorySiteRoot() { return Addresses().Directory; }
const String& MakerSiteRoot() { return Addresses().Maker; }
const String& WelcomePageURL() { return Addresses().Welcome; }
