// E-mail extraction over a 1 MB listing page: TRegExpr against PCRE2 (16-bit,
// UTF) with the same pattern. Prints MB/s for each and the ratio.

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "app/RegExpr.h"

namespace {

const String kPattern = u"[_a-zA-Z\\d\\-\\.]+@[_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+";

// A page shaped like a directory result page: markup, text, links, image
// names and now and then an address.
const String& Page()
{
    static const String page = [] {
        std::mt19937 rng(42);
        const char* words[] = { "plumbing", "services", "Sydney", "NSW", "open", "today", "call", "quote", "free",
            "licensed", "emergency", "24/7", "reviews", "best", "local", "business" };
        std::string s;
        int n = 0;
        while (s.size() < (1u << 20)) {
            s += "<div class=\"listing\" data-id=\"" + std::to_string(100000 + n) + "\"><h3><a href=\"/find/business-";
            s += std::to_string(n) + "\">";
            for (int w = 0; w < 12; ++w) {
                s += words[rng() % std::size(words)];
                s += ' ';
            }
            s += "</a></h3><img src=\"/static/img/logo@2x.png\" alt=\"\"/><p>";
            for (int w = 0; w < 30; ++w) {
                s += words[rng() % std::size(words)];
                s += (w % 7 == 6) ? ". " : " ";
            }
            if (n % 3 == 0)
                s += "Contact: info" + std::to_string(n) + "@business-" + std::to_string(n) + ".com.au";
            s += "</p></div>\n";
            ++n;
        }
        return Utf8ToString(s);
    }();
    return page;
}

std::map<std::string, double> g_best; // bytes per second

void Record(benchmark::State& state, const char* name, std::size_t matches)
{
    const double bytes = double(Page().size() * sizeof(Char));
    state.SetBytesProcessed(std::int64_t(bytes) * std::int64_t(state.iterations()));
    state.counters["matches"] = double(matches);
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    (void)name;
}

void BM_TRegExpr(benchmark::State& state)
{
    TRegExpr re;
    re.SetExpression(kPattern);
    std::size_t matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (bool ok = re.Exec(Page()); ok; ok = re.ExecNext())
            ++matches;
        benchmark::DoNotOptimize(matches);
    }
    Record(state, "TRegExpr", matches);
}

void RunPcre(benchmark::State& state, bool jit)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern.data()), kPattern.size(), PCRE2_UTF, &error,
        &offset, nullptr);
    if (!code) {
        state.SkipWithError("pcre2_compile failed");
        return;
    }
    if (jit && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0) {
        pcre2_code_free(code);
        state.SkipWithError("no JIT");
        return;
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const String& page = Page();
    std::size_t matches = 0;
    for (auto _ : state) {
        matches = 0;
        PCRE2_SIZE start = 0;
        // The subject is checked for valid UTF-16 once, not on every call.
        std::uint32_t options = 0;
        while (start <= page.size()
            && pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(page.data()), page.size(), start, options, data, nullptr) > 0) {
            options = PCRE2_NO_UTF_CHECK;
            ++matches;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
            start = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
        }
        benchmark::DoNotOptimize(matches);
    }
    Record(state, jit ? "PCRE2 JIT" : "PCRE2", matches);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
}

void BM_Pcre2(benchmark::State& state) { RunPcre(state, false); }
void BM_Pcre2Jit(benchmark::State& state) { RunPcre(state, true); }

BENCHMARK(BM_TRegExpr)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pcre2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pcre2Jit)->Unit(benchmark::kMillisecond);

// Collects the MB/s of each run for the summary line.
class TRateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            auto it = r.counters.find("MB/s");
            if (it != r.counters.end() && !r.error_occurred)
                g_best[r.benchmark_name()] = it->second.value;
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TRateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double own = g_best["BM_TRegExpr"];
    std::printf("\nE-mail extraction over a page of %zu characters (%.1f MB as UTF-16; MB/s of UTF-16 data):\n",
        Page().size(), double(Page().size() * sizeof(Char)) / 1e6);
    std::printf("  TRegExpr        %9.1f MB/s\n", own);
    for (const char* name : { "BM_Pcre2", "BM_Pcre2Jit" }) {
        const double other = g_best[name];
        if (other > 0)
            std::printf("  %-15s %9.1f MB/s   TRegExpr/%s = %.2f\n", name + 3, other, name + 3, own / other);
    }
    return 0;
}
