// JSON reading and writing speed: every token of a 20 MB document pulled
// with TLumJSONReader, the same shape written with TLumJSONWriter, and
// RapidJSON's SAX reader over the same bytes for comparison.

#include <benchmark/benchmark.h>

#include <rapidjson/reader.h>

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

void BM_LumJSONReader_PullAllTokens(benchmark::State& state)
{
    const std::string& doc = Document();
    std::size_t tokens = 0;
    for (auto _ : state) {
        TBorrowedStream stream(doc);
        TLumJSONReader r(stream);
        for (bool more = true; more;) {
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
            ++tokens;
        }
    }
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

} // namespace

BENCHMARK(BM_LumJSONReader_PullAllTokens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LumJSONWriter_WriteSameShape)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidJSONReader_SameBytes)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
