// What painting or exporting one numeric column of a 100,000 x 15 grid
// costs with Excel number formats: GetFormattedCell with ftExcel and
// "#,##0.00" over the column, against the platform's float pattern
// formatter with the same pattern on the same values. Prints both times
// (best of several interleaved rounds) and their ratio.

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 15;
constexpr int kNumberCol = 7;
constexpr int kRounds = 7;
const String kPattern = u"#,##0.00";

double Seconds(std::chrono::steady_clock::time_point Start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

} // namespace

int main()
{
    std::vector<double> Values;
    Values.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        Values.push_back((i * 7919 % 200000 - 100000) * 3.14159);

    auto Form = std::make_unique<TForm>(nullptr);
    auto* Grid = new TDedOzovedUrad(Form.get());
    Grid->SetParent(Form.get());
    Grid->BeginUpdate();
    Grid->SetColCount(kCols);
    Grid->SetRowCount(kRows + 1);
    Grid->SetFixedRows(1);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            Grid->SetCells(c, r,
                c == kNumberCol ? FloatToStr(Values[std::size_t(r - 1)])
                                : Utf8ToString("Field " + std::to_string(c) + " of row " + std::to_string(r)));
    Grid->EndUpdate();
    Grid->SetFormatType(ftExcel);
    Grid->OnGetFloatFormat = [](TObject*, int ACol, int, bool& IsFloat, String& Format) {
        IsFloat = ACol == kNumberCol;
        Format = kPattern;
    };

    double Excel = 1e30, Plain = 1e30;
    std::size_t ExcelChars = 0, PlainChars = 0;
    for (int Round = 0; Round < kRounds; ++Round) {
        auto T = std::chrono::steady_clock::now();
        std::size_t Chars = 0;
        for (int r = 1; r <= kRows; ++r)
            Chars += Grid->GetFormattedCell(kNumberCol, r).size();
        Excel = std::min(Excel, Seconds(T));
        ExcelChars = Chars;

        T = std::chrono::steady_clock::now();
        Chars = 0;
        for (double V : Values)
            Chars += FormatFloat(kPattern, V).size();
        Plain = std::min(Plain, Seconds(T));
        PlainChars = Chars;
    }
    if (std::getenv("QT_BENCH_PARTS")) {
        auto T = std::chrono::steady_clock::now();
        std::size_t N = 0;
        for (int r = 1; r <= kRows; ++r) N += Grid->GetCellEx(kNumberCol, r).size();
        std::printf("GetCellEx %.2f ms\n", Seconds(T) * 1000);
        T = std::chrono::steady_clock::now();
        for (int r = 1; r <= kRows; ++r) N += VuzEraz::GetValueKind(Grid->GetCells(kNumberCol, r));
        std::printf("GetValueKind %.2f ms\n", Seconds(T) * 1000);
        T = std::chrono::steady_clock::now();
        double D = 0;
        for (int r = 1; r <= kRows; ++r) D += Grid->GetFloats(kNumberCol, r);
        std::printf("GetFloats %.2f ms\n", Seconds(T) * 1000);
        T = std::chrono::steady_clock::now();
        for (double V : Values) N += VuzEraz::FormatExcelNumber(Variant(V), kPattern).size();
        std::printf("FormatExcelNumber %.2f ms %zu %f\n", Seconds(T) * 1000, N, D);
    }
    std::printf("%d values of one column of a %d x %d grid with \"#,##0.00\" (best of %d):\n", kRows, kRows, kCols,
        kRounds);
    std::printf("  GetFormattedCell (ftExcel) %8.2f ms\n", Excel * 1000);
    std::printf("  FormatFloat (same values)  %8.2f ms\n", Plain * 1000);
    std::printf("  ratio                      %8.2fx (goal: at most 5)%s\n", Excel / Plain,
        ExcelChars == PlainChars ? "" : "  TEXTS DIFFER IN LENGTH");
    std::printf("  sample: %s\n", StringToUtf8(Grid->GetFormattedCell(kNumberCol, 2)).c_str());
    return 0;
}
