// The listing card parser: a result-page card's text (after a choice byte
// and the page's id=e-mail pairs) becomes a CSV line, in plain and in
// e-mail mode. No harvest is installed, so nothing is downloaded.
#include "app/YellowPagesAUentry.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UsePrivateFolders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInput in(data, size);
    const std::uint8_t mode = in.Byte();
    const String pairs = fuzz::Text(in.Piece());
    TYellowPagesAUentry entry(fuzz::Text(in.Rest()));
    entry.SetfObjectDoesEmails(mode & 1);
    entry.SetfAllEmails(pairs);
    entry.Execute();
    if (mode & 2) {
        entry.GetLongitude();
        entry.GetLatitude();
        entry.getgoodcityname(entry.GetfCity());
        entry.getgoodcitynameL(entry.GetfCity());
        entry.DedupesOut(pairs);
    }
    return 0;
}
