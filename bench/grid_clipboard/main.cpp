// The clipboard at listing scale: 100,000 rows of 15 listing fields (one
// row in ten with a two-line field) copied as text and as the private cell
// format, and each pasted into an empty grid that grows its rows. In the
// same run the references: a plain TSV build of the same cells (for the
// text copy) and the CSV reader loading the same text (for the text paste);
// the private format is measured against the text copy and paste.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Headless.h"

namespace {

// GRID_CLIPBOARD_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_CLIPBOARD_ROWS") ? std::atoi(std::getenv("GRID_CLIPBOARD_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kReps = 3;

using Table = std::vector<std::vector<std::u16string>>;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The reference text build: TAB between fields, CR LF after rows, a field
// with a line break quoted (inner quotes doubled, CR LF as LF).
std::u16string BuildTSV(const Table& T)
{
    std::u16string Out;
    for (const auto& Row : T) {
        for (std::size_t c = 0; c < Row.size(); ++c) {
            const std::u16string& F = Row[c];
            if (F.find_first_of(u"\r\n") == std::u16string::npos) {
                Out += F;
            } else {
                Out += u'"';
                for (std::size_t i = 0; i < F.size(); ++i) {
                    if (F[i] == u'\r' && i + 1 < F.size() && F[i + 1] == u'\n')
                        continue;
                    if (F[i] == u'"')
                        Out += u'"';
                    Out += F[i] == u'\r' ? u'\n' : F[i];
                }
                Out += u'"';
            }
            if (c + 1 < Row.size())
                Out += u'\t';
        }
        Out += u"\r\n";
    }
    return Out;
}

String ClipText()
{
    String r;
    OpenClipboard(nullptr);
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        r = static_cast<const Char*>(GlobalLock(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return r;
}

TGridRect Whole(TDedOzovedUrad& G)
{
    TGridRect R;
    R.Left = 0;
    R.Top = 0;
    R.Right = G.GetColCount() - 1;
    R.Bottom = G.GetRowCount() - 1;
    return R;
}

void Plain(TDedOzovedUrad& G)
{
    G.SetFixedRows(0);
    G.SetFixedCols(0);
    G.SetColCount(kCols);
    G.SetRowCount(1);
    G.SetOptions(G.GetOptions() + goEditing);
}

bool Holds(TDedOzovedUrad& G, const Table& T)
{
    if (G.GetRowCount() != int(T.size()))
        return false;
    for (int r = 0; r < int(T.size()); r += 97)
        for (int c = 0; c < kCols; ++c)
            if (G.GetCellEx(c, r) != T[r][c])
                return false;
    return true;
}

void Report(const char* What, double Grid, const char* RefName, double Ref, double Goal, bool Same)
{
    std::printf("%-30s %8.1f ms   %-22s %8.1f ms   ratio %5.2f (goal <= %g)%s\n", What, Grid * 1000, RefName,
        Ref * 1000, Grid / Ref, Goal, Same ? "" : "  RESULTS DIFFER");
}

} // namespace

int main()
{
    THeadlessSession Session;
    std::printf("%d listing rows of %d fields, one in ten with a two-line field (best of %d runs)\n", kRows, kCols,
        kReps);
    Table Cells = Table(static_cast<std::size_t>(kRows), std::vector<std::u16string>(kCols));
    TDedOzovedUrad Src { nullptr };
    Plain(Src);
    Src.SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            Cells[r][c] = benchrows::ExportField(c, r);
            Src.SetCellEx(c, r, Cells[r][c]);
        }
    Src.SetSelection(Whole(Src));

    // Text copy against the plain TSV build.
    double CopyText = 1e30, Tsv = 1e30;
    std::u16string Reference;
    for (int i = 0; i < kReps; ++i) {
        auto t = std::chrono::steady_clock::now();
        Reference = BuildTSV(Cells);
        Tsv = std::min(Tsv, Seconds(t));
        t = std::chrono::steady_clock::now();
        Src.CopySelectionToClipboard();
        CopyText = std::min(CopyText, Seconds(t));
    }
    if (std::getenv("GRID_CLIPBOARD_PARTS")) {
        auto t = std::chrono::steady_clock::now();
        const String S = Src.GetSelectionAsText();
        std::printf("build text %.1f ms\n", Seconds(t) * 1000);
        t = std::chrono::steady_clock::now();
        std::size_t Total = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Total += Src.SaveCell(c, r).size();
        std::printf("SaveCell alone %.1f ms (%zu)\n", Seconds(t) * 1000, Total);
        for (int k = 0; k < 2; ++k) {
            t = std::chrono::steady_clock::now();
            Src.CopySelectionToClipboard();
            std::printf("copy %.1f ms\n", Seconds(t) * 1000);
            t = std::chrono::steady_clock::now();
            OpenClipboard(nullptr);
            EmptyClipboard();
            HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, S.size() * 2 + 2);
            std::memcpy(GlobalLock(h), S.data(), S.size() * 2);
            GlobalUnlock(h);
            SetClipboardData(CF_UNICODETEXT, h);
            CloseClipboard();
            std::printf("clipboard set %.1f ms\n", Seconds(t) * 1000);
        }
        t = std::chrono::steady_clock::now();
        int Cols, Rows;
        TDedOzovedUrad D { nullptr };
        Plain(D);
        D.PasteTextAt(0, 0, S, Cols, Rows);
        std::printf("PasteTextAt %.1f ms\n", Seconds(t) * 1000);
    }
    const String Text = ClipText();
    Report("text copy", CopyText, "TSV build", Tsv, 2, Text == Reference);

    // Text paste against the CSV reader on the same text.
    double PasteText = 1e30, Csv = 1e30;
    bool Same = true;
    for (int i = 0; i < kReps; ++i) {
        TDedOzovedUrad Ref { nullptr };
        Plain(Ref);
        Ref.SetDelimiter(u'\t');
        TMemoryStream M;
        const std::string Utf8 = "\xEF\xBB\xBF" + StringToUtf8(Text);
        M.WriteBuffer(Utf8.data(), Int64(Utf8.size()));
        M.SetPosition(0);
        auto t = std::chrono::steady_clock::now();
        Ref.LoadFromCSVStream(M);
        Csv = std::min(Csv, Seconds(t));
        TDedOzovedUrad Dst { nullptr };
        Plain(Dst);
        t = std::chrono::steady_clock::now();
        Dst.PasteSelectionFromClipboard();
        PasteText = std::min(PasteText, Seconds(t));
        Same = Same && Holds(Dst, Cells);
    }
    Report("text paste", PasteText, "CSV load", Csv, 2, Same);

    // The private format: the cell stream onto the clipboard, and pasted.
    Src.GetNavigation()->SetAllowFmtClipboard(true);
    double CopyFmt = 1e30;
    for (int i = 0; i < kReps; ++i) {
        const auto t = std::chrono::steady_clock::now();
        Src.CopyCellsFormat(Whole(Src));
        CopyFmt = std::min(CopyFmt, Seconds(t));
    }
    Report("private format copy", CopyFmt, "text copy", CopyText, 3, true);
    double PasteFmt = 1e30;
    Same = true;
    for (int i = 0; i < kReps; ++i) {
        TDedOzovedUrad Dst { nullptr };
        Plain(Dst);
        Dst.GetNavigation()->SetAllowFmtClipboard(true);
        const auto t = std::chrono::steady_clock::now();
        Dst.PasteSelectionFromClipboard();
        PasteFmt = std::min(PasteFmt, Seconds(t));
        Same = Same && Holds(Dst, Cells);
    }
    Report("private format paste", PasteFmt, "text paste", PasteText, 3, Same);
    return 0;
}
