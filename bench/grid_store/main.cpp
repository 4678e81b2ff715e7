// The base grid's cell store against a plain table of strings, and the
// cost of cell geometry as the row count grows.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "grid/core/BaseGrid.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 15;

class TBenchGrid : public TBaseGrid {
public:
    bool IsNode(int) override { return false; }
    bool IsSummary(int) override { return false; }
    bool CellHasCheckBox(int, int) override { return false; }
    void SetCheckBoxFromText(int, int, const String&) override { }
};

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// Listing-like field texts: names, streets, suburbs, phone numbers.
std::vector<String> Fields()
{
    std::vector<String> f;
    for (int c = 0; c < kCols; ++c)
        f.push_back(Utf8ToString("Field " + std::to_string(c) + " Smith & Sons Plumbing, 12 Main Street, Springfield 2"
            + std::to_string(1000 + c * 37)));
    return f;
}

template<class Write, class Read>
void Measure(const char* name, Write write, Read read, double& writeS, double& readS)
{
    writeS = readS = 1e9;
    for (int rep = 0; rep < 3; ++rep) {
        auto t = std::chrono::steady_clock::now();
        write();
        writeS = std::min(writeS, Seconds(t));
        t = std::chrono::steady_clock::now();
        std::size_t chars = read();
        readS = std::min(readS, Seconds(t));
        if (chars == 0)
            std::printf("nothing read\n");
    }
    std::printf("%-22s write %7.1f ms, read %7.1f ms\n", name, writeS * 1000, readS * 1000);
}

void StoreBenchmark()
{
    const std::vector<String> fields = Fields();
    std::printf("%d cells (%d rows x %d columns)\n", kRows * kCols, kRows, kCols);

    double tableW, tableR;
    std::vector<std::vector<std::u16string>> table;
    Measure("vector<vector<string>>", [&] {
        table.assign(kRows, std::vector<std::u16string>(kCols));
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                table[std::size_t(r)][std::size_t(c)] = fields[std::size_t(c)];
    }, [&] {
        std::size_t n = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                std::u16string v = table[std::size_t(r)][std::size_t(c)];
                n += v.size();
            }
        return n;
    }, tableW, tableR);

    double cellsW, cellsR, rawW, rawR;
    {
        TBenchGrid g;
        g.SetColCount(kCols);
        g.SetRowCount(kRows);
        Measure("Cells", [&] {
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    g.SetCells(c, r, fields[std::size_t(c)]);
        }, [&] {
            std::size_t n = 0;
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    n += g.GetCells(c, r).size();
            return n;
        }, cellsW, cellsR);
    }
    {
        TBenchGrid g;
        g.SetColCount(kCols);
        g.SetRowCount(kRows);
        Measure("raw store", [&] {
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    g.SetGridCell(c, r, fields[std::size_t(c)]);
        }, [&] {
            std::size_t n = 0;
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    n += g.GetGridCell(c, r).size();
            return n;
        }, rawW, rawR);
    }
    std::printf("ratio Cells : table     write %.2f, read %.2f, both %.2f (goal <= 2)\n", cellsW / tableW, cellsR / tableR,
        (cellsW + cellsR) / (tableW + tableR));
    std::printf("ratio raw store : table write %.2f, read %.2f, both %.2f\n", rawW / tableW, rawR / tableR,
        (rawW + rawR) / (tableW + tableR));
}

// Nanoseconds per CellRect + MouseToCell pair over the rows in view.
double GeometryNs(int rows, bool nearEnd)
{
    TBenchGrid g;
    g.SetBounds(0, 0, 800, 600);
    g.SetColCount(kCols);
    g.SetRowCount(rows);
    for (int r = 1; r < rows; r += 3)
        g.SetRowHeights(r, 18 + r % 7);
    g.SetTopRow(nearEnd ? rows - 40 : 1);
    const int top = g.GetTopRow();
    constexpr int kCalls = 2000000;
    long sink = 0;
    const auto t = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i) {
        const int row = top + i % 20, col = i % kCols;
        const TRect rc = g.CellRect(col, row);
        int c = 0, r = 0;
        g.MouseToCell(rc.Left + 1, rc.Top + 1, c, r);
        sink += c + r;
    }
    const double ns = Seconds(t) * 1e9 / kCalls;
    if (sink == 0)
        std::printf("no cells hit\n");
    return ns;
}

void GeometryBenchmark()
{
    double ns[2][2];
    const int counts[2] = { 1000, kRows };
    for (int i = 0; i < 2; ++i)
        for (int end = 0; end < 2; ++end) {
            ns[i][end] = GeometryNs(counts[i], end == 1);
            std::printf("CellRect + MouseToCell, %6d rows, TopRow near the %s: %6.1f ns per call\n", counts[i],
                end ? "end  " : "start", ns[i][end]);
        }
    std::printf("ratio %d : 1000 rows   start %.2f, end %.2f (goal <= 1.5)\n", kRows, ns[1][0] / ns[0][0], ns[1][1] / ns[0][1]);
}

} // namespace

int main()
{
    StoreBenchmark();
    GeometryBenchmark();
    return 0;
}
