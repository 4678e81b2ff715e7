// Column totals of a big grid: 100,000 rows of 15 listing texts under one
// header row, column 13 holding prices ("1234.56"), 1,000 rows hidden.
// ColumnSum over the rows in view and over all real rows (the hidden ones
// too), and CalcFooter(-1) with a sum footer after one cell changed. In the
// same run the baseline parses the same prices with strtod and sums them.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/IntList.h"
#include "platform/vcl/Forms.h"

namespace {

// GRID_CALC_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_CALC_ROWS") ? std::atoi(std::getenv("GRID_CALC_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kNumCol = 13;
constexpr int kHidden = 1000;
constexpr int kReps = 5;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

std::string Price(int Row)
{
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%d.%02d", (Row * 7919) % 5000, Row % 100);
    return Buf;
}

// One listing as the capture writes it: name, category, address, suburb,
// state, postcode, phone, mobile, e-mail, web site, rating, reviews, hours,
// price, listing id.
std::string Field(int Col, int Row)
{
    const std::string N = std::to_string(Row);
    switch (Col) {
    case 0: return "Harbour Plumbing " + N;
    case 1: return "Plumbers & Gas Fitters";
    case 2: return std::to_string(Row % 400 + 1) + " George Street";
    case 3: return "Sydney";
    case 4: return "NSW";
    case 5: return std::to_string(2000 + Row % 200);
    case 6: return "(02) 9" + std::to_string(1000000 + Row % 8999999);
    case 7: return "04" + std::to_string(10000000 + Row % 89999999);
    case 8: return "info" + N + "@harbourplumbing.com.au";
    case 9: return "https://www.harbourplumbing" + N + ".com.au/";
    case 10: return std::to_string(Row % 5 + 1) + " stars";
    case 11: return std::to_string(Row % 300) + " reviews";
    case 12: return "Mon-Fri 7am-5pm";
    case kNumCol: return Price(Row);
    default: return "LST" + N;
    }
}

struct TBench {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    // The prices as the baseline reads them, every row (hidden ones too).
    std::vector<std::string> Prices;

    TBench()
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 1280, 800);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 1200, 700);
        Form->HandleNeeded();
        Grid->SetFixedCols(0);
        Grid->SetColCount(kCols);
        Grid->BeginUpdate();
        // Header, the rows and the footer's own row.
        Grid->SetRowCount(kRows + 2);
        Grid->SetFixedRows(1);
        for (int c = 0; c < kCols; ++c)
            Grid->SetCells(c, 0, Utf8ToString("Column " + std::to_string(c + 1)));
        Prices.reserve(std::size_t(kRows));
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 0; c < kCols; ++c)
                Grid->SetCells(c, r, Utf8ToString(Field(c, r)));
            Prices.push_back(Price(r));
        }
        Grid->EndUpdate();
        // Every hundredth row out of view.
        TIntList List;
        std::vector<int> Rows;
        for (int i = 0; i < kHidden; ++i)
            Rows.push_back(1 + i * (kRows / kHidden));
        List.SetValues(std::move(Rows));
        Grid->HideRowList(&List);
        TFloatingFooter* Footer = Grid->GetFloatingFooter();
        Footer->SetFooterStyle(fsFixedLastRow);
        Footer->SetVisible(true);
        Footer->SetColumnCalc(kNumCol, acSUM);
    }
};

double Baseline(const std::vector<std::string>& Texts, double& Sum)
{
    const auto t = std::chrono::steady_clock::now();
    double s = 0;
    for (const std::string& Text : Texts) {
        char* End = nullptr;
        const double v = std::strtod(Text.c_str(), &End);
        if (End != Text.c_str())
            s += v;
    }
    Sum = s;
    return Seconds(t);
}

void Report(const char* What, double Grid, double Base, const char* Note = "")
{
    std::printf("%-40s %9.2f ms   strtod + sum %9.2f ms   ratio %6.2f (goal <= 3)%s\n", What, Grid * 1000,
        Base * 1000, Base > 0 ? Grid / Base : 0.0, Note);
}

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); }

} // namespace

int main()
{
    std::printf("A grid of %d rows of %d texts, %d hidden (best of %d runs)\n", kRows, kCols, kHidden, kReps);
    TBench B;
    TDedOzovedUrad& G = *B.Grid;
    double Base = 1e30, BaseSum = 0;
    for (int i = 0; i < kReps; ++i)
        Base = std::min(Base, Baseline(B.Prices, BaseSum));

    double InView = 1e30, All = 1e30, SumInView = 0, SumAll = 0;
    for (int i = 0; i < kReps; ++i) {
        auto t = std::chrono::steady_clock::now();
        SumInView = G.ColumnSum(kNumCol, -1, -1);
        InView = std::min(InView, Seconds(t));
        t = std::chrono::steady_clock::now();
        SumAll = G.ColumnSum(kNumCol, 1, kRows);
        All = std::min(All, Seconds(t));
    }
    Report("ColumnSum, rows in view", InView, Base, SumInView < SumAll ? "" : "  SUMS WRONG");
    Report("ColumnSum, all real rows", All, Base, Near(SumAll, BaseSum) ? "" : "  SUM DIFFERS");

    double Footer = 1e30;
    const int FooterRow = G.GetRowCount() - 1;
    for (int i = 0; i < kReps; ++i) {
        // The cell takes its own text again: a write, the total unchanged.
        G.SetCells(kNumCol, 5, G.GetCells(kNumCol, 5));
        const auto t = std::chrono::steady_clock::now();
        G.CalcFooter(-1);
        Footer = std::min(Footer, Seconds(t));
    }
    const double Shown = G.GetFloats(kNumCol, FooterRow);
    if (std::getenv("GRID_CALC_DEBUG"))
        std::printf("footer %s = %.2f, baseline %.2f\n", StringToUtf8(G.GetCells(kNumCol, FooterRow)).c_str(), Shown,
            BaseSum);
    Report("CalcFooter(-1) after a one-cell change", Footer, Base,
        std::fabs(Shown - BaseSum) < 0.01 ? "" : "  FOOTER DIFFERS");
    return 0;
}
