// The e-mail harvest's scan over a downloaded page: every address, the
// first one, and the sorted, de-duplicated field made from them.
#include "app/EmailHarvest.h"
#include "app/YellowPagesAUentry.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UsePrivateFolders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const String page = fuzz::Text(std::string_view(reinterpret_cast<const char*>(data), size));
    const String all = ExtractAllEmails(page);
    ExtractFirstEmail(page);
    TYellowPagesAUentry entry(String {});
    entry.DedupesOut(all);
    return 0;
}
