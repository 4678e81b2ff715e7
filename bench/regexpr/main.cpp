// E-mail extraction with TRegExpr against PCRE2 (16-bit, UTF; interpreter
// and JIT) with the same pattern, over three kinds of input:
// - a page shaped like a directory result page (1 Mi characters);
// - name characters without "@" (64 Ki and 1 Mi characters): what a page of
//   scripts or encoded data looks like to the scan;
// - name characters followed by one "@", which defeats every required-literal
//   hint.
// PCRE2's interpreter re-walks the run of name characters from each start
// position, so its scan is quadratic on the last two kinds: the whole scan
// runs on their 64 Ki inputs only (at 1 Mi it would take minutes). The
// baseline of the goal is one pass of the interpreter over the input
// (PCRE2_pass): on the page that is its whole scan, on a run of name
// characters one attempt anchored at the start, which walks the run once.
// Repetitions run interleaved; the summary gives each median and the ratios.

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/RegExpr.h"

namespace {

const String kPattern = u"[_a-zA-Z\\d\\-\\.]+@[_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+";

constexpr std::size_t kSmall = std::size_t(1) << 16;
constexpr std::size_t kLarge = std::size_t(1) << 20;

// A page shaped like a directory result page: markup, text, links, image
// names and now and then an address.
String MakePage()
{
    std::mt19937 rng(42);
    const char* words[] = { "plumbing", "services", "Sydney", "NSW", "open", "today", "call", "quote", "free",
        "licensed", "emergency", "24/7", "reviews", "best", "local", "business" };
    std::string s;
    int n = 0;
    while (s.size() < kLarge) {
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
}

// Name characters (letters, digits, "_", "-", ".") without "@".
String MakeNameRun(std::size_t length)
{
    static const char16_t chars[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.";
    std::mt19937 rng(7);
    String s;
    s.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        s += chars[rng() % (std::size(chars) - 1)];
    return s;
}

String MakeNameRunThenAt(std::size_t length)
{
    String s = MakeNameRun(length - 1);
    s += u'@';
    return s;
}

struct TInput {
    const char* name;
    String text;
    bool interpreter; // whether PCRE2's interpreter scans it whole (its JIT scans all)
    bool quadratic;   // whether that scan re-walks runs (then one anchored attempt is its pass)
};

std::vector<TInput>& Inputs()
{
    static std::vector<TInput> inputs {
        { "page_1M", MakePage(), true, false },
        { "names_64K", MakeNameRun(kSmall), true, true },
        { "names_1M", MakeNameRun(kLarge), false, true },
        { "names_then_at_64K", MakeNameRunThenAt(kSmall), true, true },
        { "names_then_at_1M", MakeNameRunThenAt(kLarge), false, true },
    };
    return inputs;
}

void Record(benchmark::State& state, const String& input, std::size_t matches)
{
    const double bytes = double(input.size() * sizeof(Char));
    state.SetBytesProcessed(std::int64_t(bytes) * std::int64_t(state.iterations()));
    state.counters["matches"] = double(matches);
}

void RunOwn(benchmark::State& state, const String& input)
{
    TRegExpr re;
    re.SetExpression(kPattern);
    std::size_t matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (bool ok = re.Exec(input); ok; ok = re.ExecNext())
            ++matches;
        benchmark::DoNotOptimize(matches);
    }
    Record(state, input, matches);
}

// PCRE2 finds every match from the start (jit: compiled to machine code);
// anchoredOnce: only one attempt, anchored at the start.
void RunPcre(benchmark::State& state, const String& input, bool jit, bool anchoredOnce = false)
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
    std::size_t matches = 0;
    if (anchoredOnce) {
        for (auto _ : state) {
            matches = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(input.data()), input.size(), 0,
                          PCRE2_ANCHORED | PCRE2_NO_UTF_CHECK, data, nullptr)
                > 0;
            benchmark::DoNotOptimize(matches);
        }
        Record(state, input, matches);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
        return;
    }
    for (auto _ : state) {
        matches = 0;
        PCRE2_SIZE start = 0;
        // The subject is checked for valid UTF-16 once, not on every call.
        std::uint32_t options = 0;
        while (start <= input.size()
            && pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(input.data()), input.size(), start, options, data, nullptr)
                > 0) {
            options = PCRE2_NO_UTF_CHECK;
            ++matches;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
            start = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
        }
        benchmark::DoNotOptimize(matches);
    }
    Record(state, input, matches);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
}

const char* const kEngines[] = { "TRegExpr", "PCRE2", "PCRE2_pass", "PCRE2_JIT" };

// Median seconds per pass, by "engine/input".
std::map<std::string, double> g_median;

class TMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred)
                g_median[r.run_name.function_name] = r.GetAdjustedRealTime() / 1e3; // ms -> s
    }
};

double Median(const std::string& engine, const char* input)
{
    auto it = g_median.find(engine + "/" + input);
    return it == g_median.end() ? 0 : it->second;
}

} // namespace

int main(int argc, char** argv)
{
    for (const TInput& in : Inputs()) {
        for (const char* engine : kEngines) {
            const std::string e = engine;
            if (e == "PCRE2" && !in.interpreter)
                continue;
            if (e == "PCRE2_pass" && !in.quadratic) // its whole scan is its pass
                continue;
            const String* text = &in.text;
            auto* b = benchmark::RegisterBenchmark((e + "/" + in.name).c_str(), [e, text](benchmark::State& state) {
                if (e == "TRegExpr")
                    RunOwn(state, *text);
                else
                    RunPcre(state, *text, e == "PCRE2_JIT", e == "PCRE2_pass");
            });
            b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->MinTime(0.2);
        }
    }
    // Interleave the repetitions, so that a noisy moment of the shared
    // machine spreads over every engine instead of hitting one.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nE-mail extraction, median ms per pass (inputs in UTF-16 characters):\n");
    std::printf("  %-18s %10s %10s %10s %10s %12s %12s\n", "input", "TRegExpr", "PCRE2", "PCRE2_pass", "PCRE2_JIT",
        "time/pass", "speed/JIT");
    auto cell = [](double seconds) {
        if (seconds > 0)
            std::printf(" %10.3f", seconds * 1e3);
        else
            std::printf(" %10s", "-");
    };
    for (const TInput& in : Inputs()) {
        const double own = Median("TRegExpr", in.name);
        const double pcre = Median("PCRE2", in.name);
        const double pass = in.quadratic ? Median("PCRE2_pass", in.name) : pcre;
        const double jit = Median("PCRE2_JIT", in.name);
        if (own <= 0)
            continue;
        std::printf("  %-18s", in.name);
        cell(own);
        cell(pcre);
        cell(pass);
        cell(jit);
        if (pass > 0)
            std::printf(" %11.2fx", own / pass);
        else
            std::printf(" %12s", "-");
        if (jit > 0)
            std::printf(" %11.2fx", jit / own);
        std::printf("\n");
    }
    for (const char* kind : { "names", "names_then_at" }) {
        const double small = Median("TRegExpr", (std::string(kind) + "_64K").c_str());
        const double large = Median("TRegExpr", (std::string(kind) + "_1M").c_str());
        if (small > 0 && large > 0)
            std::printf("  TRegExpr %s: 1M / 64K = %.1f (16 is linear)\n", kind, large / small);
    }
    std::printf("Goals: time/pass <= 2 and linear from 64K to 1M; speed/JIT >= 0.3 on page_1M.\n");
    return 0;
}
