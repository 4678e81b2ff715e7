// Parses the 40 cards of a result page, with PCRE2's JIT on and off.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/Pcre.h"
#include "app/YellowPagesAUentry.h"

namespace {

std::vector<String> LoadCards()
{
    std::ifstream in(QT_RESULT_PAGE, std::ios::binary);
    String page = Utf8ToString(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    std::vector<String> cards;
    const String separator = u"\n\f\n";
    size_t start = 0;
    for (size_t p; (p = page.find(separator, start)) != String::npos; start = p + separator.size())
        cards.push_back(page.substr(start, p - start));
    if (start < page.size())
        cards.push_back(page.substr(start));
    return cards;
}

void BM_ParseResultPage(benchmark::State& state)
{
    static const std::vector<String> cards = LoadCards();
    TPcreRegex::SetJitEnabled(state.range(0) != 0);
    size_t lines = 0;
    for (auto _ : state) {
        for (const String& card : cards) {
            TYellowPagesAUentry entry(card);
            entry.Execute();
            lines += entry.GetResultLine().empty() ? 0 : 1;
        }
    }
    benchmark::DoNotOptimize(lines);
    state.SetLabel(state.range(0) ? "JIT on" : "JIT off");
    state.counters["cards/s"] = benchmark::Counter(double(cards.size()) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["lines/page"] = double(lines) / double(state.iterations());
    TPcreRegex::SetJitEnabled(true);
}

} // namespace

BENCHMARK(BM_ParseResultPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
