// Appends CSV-sized lines to a memo, then looks lines up with IndexOf, and
// prints lines per second for both.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"
#include "platform/win/Headless.h"

namespace {

String CsvLine(int i)
{
    const std::string s = "\"Business " + std::to_string(i) + " Pty Ltd\",\"" + std::to_string(10 + i % 90)
        + " Example Street\",\"Sydney\",\"NSW\",\"2000\",\"(02) 9" + std::to_string(1000000 + i)
        + "\",\"info" + std::to_string(i) + "@example.com.au\",\"https://www.example.com.au/" + std::to_string(i)
        + "\",\"Plumbers\",\"\",\"\",\"\",\"\",\"\",\"\"";
    return Utf8ToString(s);
}

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

} // namespace

int main()
{
    constexpr int kLines = 100000;
    constexpr int kLookups = 1000;
    TMemo memo;
    memo.SetWordWrap(false);
    int changes = 0;
    memo.OnChange = [&](TObject*) { ++changes; };
    TStrings* lines = memo.GetLines();

    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kLines; ++i)
        lines->Add(CsvLine(i));
    const double append = Seconds(start);
    std::printf("append: %d lines in %.3f s, %.0f lines/s (%d change events)\n", kLines, append, kLines / append, changes);

    start = std::chrono::steady_clock::now();
    long found = 0;
    for (int k = 0; k < kLookups; ++k)
        found += lines->IndexOf(CsvLine((k * 7919) % kLines)) >= 0;
    const double lookup = Seconds(start);
    std::printf("IndexOf: %d lookups over %d lines in %.3f s, %.0f lookups/s (%ld found; the first builds the index)\n",
        kLookups, kLines, lookup, kLookups / lookup, found);

    // A capture checks each new line before adding it.
    constexpr int kMore = 10000;
    start = std::chrono::steady_clock::now();
    for (int i = kLines; i < kLines + kMore; ++i) {
        const String line = CsvLine(i);
        if (lines->IndexOf(line) < 0)
            lines->Add(line);
    }
    const double mixed = Seconds(start);
    std::printf("IndexOf then append: %d lines in %.3f s, %.0f lines/s\n", kMore, mixed, kMore / mixed);

    start = std::chrono::steady_clock::now();
    const std::size_t size = memo.GetText().size();
    std::printf("text: %zu characters derived in %.3f s\n", size, Seconds(start));

    // On screen: the first paint lays out the visible rows and sets the
    // scroll ranges over all lines.
    THeadlessSession session;
    InstallDeviceContextFactory();
    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 600);
    auto* shown = new TMemo(&form);
    shown->SetWordWrap(false);
    shown->SetScrollBars(ssBoth);
    shown->SetAlign(alClient);
    shown->SetParent(&form);
    shown->GetLines()->Assign(lines);
    form.Show();
    start = std::chrono::steady_clock::now();
    Application->ProcessMessages();
    const double paint = Seconds(start);
    std::printf("first paint of %d lines with both scroll bars: %.3f s\n", shown->GetLines()->GetCount(), paint);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        shown->GetLines()->Add(CsvLine(i));
        if (i % 100 == 99)
            Application->ProcessMessages();
    }
    std::printf("append on screen: 1000 lines with a repaint every 100 in %.3f s\n", Seconds(start));
    return 0;
}
