// JSON reading and writing speed: every token of a 20 MB document pulled
// with TLumJSONReader, the same shape written with TLumJSONWriter, and
// RapidJSON's SAX reader and writer over the same data for comparison. The
// summary interleaves the four, takes medians and prints the ratios and the
// peak memory a parse needs beyond its input.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "bench/CpuTime.h"
#include "foundation/LumJSONReader.h"
#include "foundation/LumJSONWriter.h"
#include "platform/rtl/Streams.h"

namespace {

// A read-only stream over bytes that stay where they are.
class TBorrowedStream : public TCustomMemoryStream {
public:
    TBorrowedStream(const std::string& bytes) { SetPointer(const_cast<char*>(bytes.data()), Int64(bytes.size())); }
    Int64 Write(const void*, Int64) override { return 0; }
};

constexpr int kRecordsFor20MB = 20 * 1024 * 1024 / 330;

// Listing-like records: texts with escapes, integers, doubles, literals, a nested array.
void WriteDocument(TLumJSONWriter& w, int records)
{
    w.WriteBeginArray();
    for (int i = 0; i < records; ++i) {
        w.WriteBeginObject()
            .WriteName(u"id").WriteInteger(1000000 + i)
            .WriteName(u"name").WriteString(u"Harbour View Plumbing & Gas Pty Ltd \"Est. 1998\"")
            .WriteName(u"address").WriteString(u"Level 3, 127 Kent Street, Millers Point NSW 2000")
            .WriteName(u"phone").WriteString(u"(02) 9251 4400")
            .WriteName(u"email").WriteString(u"enquiries@harbourviewplumbing.example.com.au")
            .WriteName(u"rating").WriteDouble(4.25 + (i % 7) * 0.1)
            .WriteName(u"verified").WriteBoolean(i % 2 == 0)
            .WriteName(u"note").WriteNull()
            .WriteName(u"categories").WriteBeginArray().WriteString(u"Plumbers").WriteString(u"Gas Fitters").WriteInteger(i % 97).WriteEndArray()
            .WriteEndObject();
    }
    w.WriteEndArray().Close();
}

const std::string& Document()
{
    static const std::string doc = [] {
        TMemoryStream stream;
        {
            TLumJSONWriter w(stream);
            WriteDocument(w, kRecordsFor20MB);
        }
        return std::string(static_cast<const char*>(stream.GetMemory()), std::size_t(stream.GetSize()));
    }();
    return doc;
}

std::size_t PullAllTokens(const std::string& doc)
{
    TBorrowedStream stream(doc);
    TLumJSONReader r(stream);
    std::size_t tokens = 0;
    for (bool more = true; more; ++tokens) {
        switch (r.Peek()) {
        case jstoBeginObject: r.ReadBeginObject(); break;
        case jstoEndObject: r.ReadEndObject(); break;
        case jstoBeginArray: r.ReadBeginArray(); break;
        case jstoEndArray: r.ReadEndArray(); break;
        case jstoName: benchmark::DoNotOptimize(r.ReadName()); break;
        case jstoBoolean: benchmark::DoNotOptimize(r.ReadBoolean()); break;
        case jstoNull: r.ReadNull(); break;
        case jstoText: benchmark::DoNotOptimize(r.ReadString()); break;
        case jstoNumber: benchmark::DoNotOptimize(r.ReadDouble()); break;
        case jstoEOF: more = false; break;
        }
    }
    return tokens;
}

void BM_LumJSONReader_PullAllTokens(benchmark::State& state)
{
    const std::string& doc = Document();
    std::size_t tokens = 0;
    for (auto _ : state)
        tokens += PullAllTokens(doc);
    state.SetBytesProcessed(Int64(state.iterations()) * Int64(doc.size()));
    state.counters["tokens"] = benchmark::Counter(double(tokens) / double(state.iterations()));
    state.counters["MB"] = double(doc.size()) / 1e6;
}

void BM_LumJSONWriter_WriteSameShape(benchmark::State& state)
{
    Int64 bytes = 0;
    for (auto _ : state) {
        TMemoryStream stream;
        {
            TLumJSONWriter w(stream);
            WriteDocument(w, kRecordsFor20MB);
        }
        bytes = stream.GetSize();
        benchmark::DoNotOptimize(stream.GetMemory());
    }
    state.SetBytesProcessed(Int64(state.iterations()) * bytes);
}

struct CountingHandler : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, CountingHandler> {
    std::size_t tokens = 0;
    bool Default()
    {
        ++tokens;
        return true;
    }
};

void BM_RapidJSONReader_SameBytes(benchmark::State& state)
{
    const std::string& doc = Document();
    for (auto _ : state) {
        rapidjson::Reader reader;
        CountingHandler handler;
        rapidjson::StringStream in(doc.c_str());
        reader.Parse(in, handler);
        benchmark::DoNotOptimize(handler.tokens);
    }
    state.SetBytesProcessed(Int64(state.iterations()) * Int64(doc.size()));
}

// The same records through RapidJSON's writer (UTF-8 in, UTF-8 out).
std::size_t WriteDocumentRapid(int records)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> w(buffer);
    w.StartArray();
    for (int i = 0; i < records; ++i) {
        w.StartObject();
        w.Key("id"); w.Int(1000000 + i);
        w.Key("name"); w.String("Harbour View Plumbing & Gas Pty Ltd \"Est. 1998\"");
        w.Key("address"); w.String("Level 3, 127 Kent Street, Millers Point NSW 2000");
        w.Key("phone"); w.String("(02) 9251 4400");
        w.Key("email"); w.String("enquiries@harbourviewplumbing.example.com.au");
        w.Key("rating"); w.Double(4.25 + (i % 7) * 0.1);
        w.Key("verified"); w.Bool(i % 2 == 0);
        w.Key("note"); w.Null();
        w.Key("categories"); w.StartArray(); w.String("Plumbers"); w.String("Gas Fitters"); w.Int(i % 97); w.EndArray();
        w.EndObject();
    }
    w.EndArray();
    return buffer.GetSize();
}

void BM_RapidJSONWriter_SameShape(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = WriteDocumentRapid(kRecordsFor20MB));
    state.SetBytesProcessed(Int64(state.iterations()) * Int64(bytes));
}

} // namespace

// Live and peak heap bytes, for the memory a parse needs beyond its input.
// Counted only while g_counting is set, so the timed rounds pay nothing for it
// (RapidJSON's reader allocates almost nothing, ours a string per value).
namespace {
bool g_counting = false;
std::size_t g_live { 0 };
std::size_t g_peak { 0 };
}

void* operator new(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    if (g_counting) {
        g_live += malloc_usable_size(p);
        g_peak = std::max(g_peak, g_live);
    }
    return p;
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    if (p && g_counting)
        g_live -= std::min(g_live, malloc_usable_size(p));
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr int kRounds = 11;

void PrintSummary()
{
    const std::string& doc = Document();
    std::vector<double> ownRead, peerRead, ownWrite, peerWrite;
    for (int round = 0; round < kRounds; ++round) {
        ownRead.push_back(benchcpu::Time([&] { benchmark::DoNotOptimize(PullAllTokens(doc)); }));
        peerRead.push_back(benchcpu::Time([&] {
            rapidjson::Reader reader;
            CountingHandler handler;
            rapidjson::StringStream in(doc.c_str());
            reader.Parse(in, handler);
            benchmark::DoNotOptimize(handler.tokens);
        }));
        ownWrite.push_back(benchcpu::Time([&] {
            TMemoryStream stream;
            {
                TLumJSONWriter w(stream);
                WriteDocument(w, kRecordsFor20MB);
            }
            benchmark::DoNotOptimize(stream.GetMemory());
        }));
        peerWrite.push_back(benchcpu::Time([&] { benchmark::DoNotOptimize(WriteDocumentRapid(kRecordsFor20MB)); }));
    }
    // Only what the parse allocates is counted: the input is already there.
    g_live = g_peak = 0;
    g_counting = true;
    PullAllTokens(doc);
    g_counting = false;
    const double extra = double(g_peak);

    const double mb = double(doc.size()) / 1e6;
    auto line = [&](const char* what, double own, double peer) {
        std::printf("  %-7s ours %8.1f MB/s   RapidJSON %8.1f MB/s   ours/RapidJSON = %.2f\n", what, mb / own, mb / peer,
            peer / own);
    };
    std::printf("\nMedians of %d interleaved rounds over %.1f MB, thread CPU time (speed ratio, higher is better):\n", kRounds, mb);
    line("read", benchcpu::Median(ownRead), benchcpu::Median(peerRead));
    line("write", benchcpu::Median(ownWrite), benchcpu::Median(peerWrite));
    std::printf("  peak extra heap of one parse: %.2f MB (%.3fx the input)\n", extra / 1e6, extra / double(doc.size()));
}

} // namespace

BENCHMARK(BM_RapidJSONWriter_SameShape)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LumJSONReader_PullAllTokens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LumJSONWriter_WriteSameShape)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidJSONReader_SameBytes)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
