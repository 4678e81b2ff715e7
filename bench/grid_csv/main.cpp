// CSV at listing scale: 100,000 rows of 15 listing fields, one row in ten
// with a field of two lines. Loaded twice through LoadFromCSVStream: the
// results view's road (the fields in quotes, character 164 between them,
// Delimiter 164) and plain CSV (",", quotes); saved with SaveToCSV. In the
// same run the reference reads the same bytes with std::getline, joins the
// lines of an open quote and splits them into a std::vector<std::u16string>
// table, and a plain writer writes that table with the same quoting.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"

namespace {

// GRID_CSV_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_CSV_ROWS") ? std::atoi(std::getenv("GRID_CSV_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kReps = 3;
constexpr char16_t kCurrency = u'\u00A4';

using Table = std::vector<std::vector<std::u16string>>;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// Quoted fields joined by Sep, a CR LF after each record; quotes inside a
// field doubled.
std::string Text(const Table& T, char16_t Sep)
{
    std::u16string Out;
    for (const auto& Row : T) {
        for (std::size_t c = 0; c < Row.size(); ++c) {
            if (c)
                Out += Sep;
            Out += u'"';
            for (char16_t ch : Row[c]) {
                if (ch == u'"')
                    Out += u'"';
                Out += ch;
            }
            Out += u'"';
        }
        Out += u"\r\n";
    }
    return StringToUtf8(Out);
}

// The reference reader: std::getline, lines of an open quote joined, a
// quote-aware split into the table.
Table ReadReference(const std::string& Bytes, char16_t Sep)
{
    Table T;
    std::istringstream In(Bytes);
    std::string Line;
    std::u16string Record;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (!Record.empty())
            Record += u"\r\n";
        Record += Utf8ToString(Line);
        if (std::count(Record.begin(), Record.end(), u'"') % 2 != 0)
            continue;
        std::vector<std::u16string>& Row = T.emplace_back();
        Row.reserve(kCols);
        std::u16string Field;
        bool Quoted = false;
        for (std::size_t i = 0; i < Record.size(); ++i) {
            const char16_t ch = Record[i];
            if (Quoted) {
                if (ch != u'"')
                    Field += ch;
                else if (i + 1 < Record.size() && Record[i + 1] == u'"')
                    Field += Record[++i];
                else
                    Quoted = false;
            } else if (ch == u'"') {
                Quoted = true;
            } else if (ch == Sep) {
                Row.push_back(std::move(Field));
                Field.clear();
            } else {
                Field += ch;
            }
        }
        Row.push_back(std::move(Field));
        Record.clear();
    }
    return T;
}

// The reference writer, quoting as the grid does by default: an empty cell
// as "", doubled quotes, the separator or a quote enclosed, line breaks as
// character 11 in quotes.
void WriteReference(const Table& T, const std::string& File)
{
    std::u16string Out;
    for (const auto& Row : T) {
        for (std::size_t c = 0; c < Row.size(); ++c) {
            if (c)
                Out += u',';
            const std::u16string& s = Row[c];
            if (s.empty()) {
                Out += u"\"\"";
                continue;
            }
            const bool Enclose = s.find_first_of(u",\"\r\n") != std::u16string::npos;
            if (Enclose)
                Out += u'"';
            for (std::size_t i = 0; i < s.size(); ++i) {
                const char16_t ch = s[i];
                if (ch == u'"')
                    Out += u"\"\"";
                else if (ch == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') {
                    Out += u'\v';
                    ++i;
                } else
                    Out += ch;
            }
            if (Enclose)
                Out += u'"';
        }
        Out += u"\r\n";
    }
    std::ofstream F(File, std::ios::binary);
    F << "\xEF\xBB\xBF" << StringToUtf8(Out);
}

struct TBench {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    Table Cells;

    TBench()
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 1280, 800);
        // As the results view has it: 25 x 50, no fixed lines.
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 1200, 700);
        Form->HandleNeeded();
        Grid->SetColCount(25);
        Grid->SetRowCount(50);
        Grid->SetFixedRows(0);
        Grid->SetFixedCols(0);
        Cells.resize(std::size_t(kRows));
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Cells[std::size_t(r)].push_back(benchrows::ExportField(c, r));
    }

    double Load(const std::string& Bytes, char16_t Delimiter, int MaxRows)
    {
        Grid->Clear();
        Grid->SetDelimiter(Delimiter);
        TBytesStream Stream(TBytes(Bytes.begin(), Bytes.end()));
        const auto t = std::chrono::steady_clock::now();
        Grid->LoadFromCSVStream(Stream, MaxRows, -1);
        return Seconds(t);
    }

    // Whether the grid holds exactly the table.
    bool Holds(const Table& T) const
    {
        if (Grid->GetRowCount() != int(T.size()))
            return false;
        for (std::size_t r = 0; r < T.size(); ++r)
            for (std::size_t c = 0; c < T[r].size(); ++c)
                if (Grid->GetCells(int(c), int(r)) != T[r][c])
                    return false;
        return true;
    }
};

void Report(const char* What, double Grid, double Ref, bool Same)
{
    std::printf("%-34s grid %8.1f ms   reference %8.1f ms   ratio %5.2f (goal <= 2)%s\n", What, Grid * 1000,
        Ref * 1000, Grid / Ref, Same ? "" : "  RESULTS DIFFER");
}

} // namespace

int main()
{
    std::printf("%d listing rows of %d fields, one in ten with a two-line field (best of %d runs)\n", kRows, kCols,
        kReps);
    TBench B;
    const String Folder = GetPrivateTempDirectory();

    struct TLoad {
        const char* Name;
        char16_t Delimiter;
    };
    for (const TLoad& L : { TLoad { "LoadFromCSVStream, delimiter 164", kCurrency },
             TLoad { "LoadFromCSVStream, \",\" and quotes", u',' } }) {
        const std::string Bytes = Text(B.Cells, L.Delimiter);
        // The results view passes its line count as the row limit.
        const int Lines = int(std::count(Bytes.begin(), Bytes.end(), '\n'));
        double Grid = 1e30, Ref = 1e30;
        Table T;
        for (int i = 0; i < kReps; ++i) {
            // The grid's earlier texts go untimed (Clear), so do the table's.
            T.clear();
            const auto t = std::chrono::steady_clock::now();
            T = ReadReference(Bytes, L.Delimiter);
            Ref = std::min(Ref, Seconds(t));
            Grid = std::min(Grid, B.Load(Bytes, L.Delimiter, Lines));
        }
        Report(L.Name, Grid, Ref, T == B.Cells && B.Holds(B.Cells));
    }

    // The grid holds the listing now; saved with the default quoting.
    const String GridFile = Folder + u"grid.csv";
    const std::string RefFile = StringToUtf8(Folder + u"reference.csv");
    B.Grid->SetDelimiter(0);
    B.Grid->SetColCount(kCols);
    double Grid = 1e30, Ref = 1e30;
    for (int i = 0; i < kReps; ++i) {
        auto t = std::chrono::steady_clock::now();
        WriteReference(B.Cells, RefFile);
        Ref = std::min(Ref, Seconds(t));
        t = std::chrono::steady_clock::now();
        B.Grid->SaveToCSV(GridFile, true);
        Grid = std::min(Grid, Seconds(t));
    }
    std::ifstream A(StringToUtf8(GridFile), std::ios::binary), R(RefFile, std::ios::binary);
    const bool Same = std::string(std::istreambuf_iterator<char>(A), {}) == std::string(std::istreambuf_iterator<char>(R), {});
    Report("SaveToCSV (UTF-8)", Grid, Ref, Same);
    DeleteFile(GridFile);
    DeleteFile(Utf8ToString(RefFile));
    return 0;
}
