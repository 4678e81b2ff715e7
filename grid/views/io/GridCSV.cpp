// Delimiter-separated text in and out of the string grid: the reader joins
// records that run over several lines, guesses the delimiter when none is
// set and stores every field through DoLoadCell; the writer takes every
// cell through SaveCell and quotes what would otherwise not come back.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MathUtils.h"

using namespace VuzEraz;

namespace {

constexpr Char Quote = u'"';
constexpr Char Space = u' ';

// Tried in this order when the grid has no delimiter.
constexpr Char DelimiterCandidates[] = { u',', u';', u'#', u'\t', u'|', u'@', u'*', u'-', u'+', u'&' };

// Physical lines; CR, LF and CR LF each end one. A break at the very end
// ends the last line and starts none.
std::vector<String> SplitLines(StringView Text)
{
    std::vector<String> Lines;
    std::size_t Start = 0;
    const std::size_t n = Text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Char c = Text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        Lines.emplace_back(Text.substr(Start, i - Start));
        if (c == u'\r' && i + 1 < n && Text[i + 1] == u'\n')
            ++i;
        Start = i + 1;
    }
    if (Start < n)
        Lines.emplace_back(Text.substr(Start));
    return Lines;
}

// The lines of a CSV text given as bytes: decoded by its byte-order mark,
// else in the system code page. UTF-8 (and the system code page, which is
// UTF-8) is decoded line by line: CR and LF bytes never occur inside a
// multi-byte sequence, so this gives what decoding the whole would, without
// a second copy of a text that may run to many megabytes.
std::vector<String> BytesToLines(const std::uint8_t* Data, std::size_t Size)
{
    TEncoding* Enc = nullptr;
    const int Preamble
        = TEncoding::GetBufferEncoding(TBytes(Data, Data + std::min<std::size_t>(Size, 4)), Enc, nullptr);
    if (Enc != TEncoding::UTF8() && Enc != TEncoding::ANSI())
        return SplitLines(Enc->GetString(TBytes(Data, Data + Size), std::size_t(Preamble), Size - std::size_t(Preamble)));
    std::vector<String> Lines;
    const std::uint8_t* p = Data + Preamble;
    const std::uint8_t* const End = Data + Size;
    while (p < End) {
        const std::uint8_t* q = p;
        while (q < End && *q != '\r' && *q != '\n')
            ++q;
        Lines.push_back(Utf8ToString(p, std::size_t(q - p)));
        if (q < End && *q == '\r' && q + 1 < End && q[1] == '\n')
            ++q;
        p = q < End ? q + 1 : End;
    }
    return Lines;
}

// While a record holds an odd number of double quotes, a quoted field runs
// on into the next line: the lines are joined with CR LF. One pass, so a
// long run of joined lines costs no more than the lines themselves.
void JoinOpenQuotedLines(std::vector<String>& Lines)
{
    std::size_t Out = 0;
    for (std::size_t i = 0; i < Lines.size();) {
        String Record = std::move(Lines[i++]);
        int Quotes = CountCharOccurrences(Quote, Record);
        while (Quotes % 2 != 0 && i < Lines.size()) {
            Quotes += CountCharOccurrences(Quote, Lines[i]);
            Record += u"\r\n";
            Record += Lines[i++];
        }
        Lines[Out++] = std::move(Record);
    }
    Lines.resize(Out);
}

// The delimiter the first two lines agree on: first by counts outside
// quotes, then by plain counts, then by the larger count of either line.
// 0 when no candidate occurs at all.
Char DetectDelimiter(StringView First, StringView Second)
{
    Char Found = 0;
    int Best = 0;
    for (Char Ch : DelimiterCandidates) {
        const int n = CountUnquotedChar(Ch, First);
        if (n == CountUnquotedChar(Ch, Second) && n > Best) {
            Found = Ch;
            Best = n;
        }
    }
    if (Found)
        return Found;
    for (Char Ch : DelimiterCandidates) {
        const int n = CountCharOccurrences(Ch, First);
        if (n == CountCharOccurrences(Ch, Second) && n > Best) {
            Found = Ch;
            Best = n;
        }
    }
    if (Found)
        return Found;
    for (Char Ch : DelimiterCandidates) {
        const int n = std::max(CountCharOccurrences(Ch, First), CountCharOccurrences(Ch, Second));
        if (n > Best) {
            Found = Ch;
            Best = n;
        }
    }
    return Found;
}

// A field as stored: line breaks travel as "~" (and an empty field as "^")
// in the Java form, else as character 11.
void DecodeField(String& Field, bool JavaCSV)
{
    if (JavaCSV) {
        if (Field.find(u'~') != String::npos || Field == u"^")
            TildeToCRLF(Field);
    } else if (Field.find(u'\v') != String::npos) {
        VTToCRLF(Field);
    }
}

// Every line break (CR LF, a lone CR, a lone LF) as CR LF.
String NormalizeLineBreaks(StringView Text)
{
    String r;
    r.reserve(Text.size() + 8);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char c = Text[i];
        if (c == u'\r' || c == u'\n') {
            r += u"\r\n";
            if (c == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n')
                ++i;
        } else {
            r += c;
        }
    }
    return r;
}

bool HoldsLineBreak(StringView Text) { return Text.find_first_of(u"\r\n") != StringView::npos; }

void Enclose(String& s)
{
    s.insert(s.begin(), Quote);
    s += Quote;
}

// The bytes of a file decoded by its byte-order mark, else in Default
// (the system code page when null); a given Forced encoding decodes
// whatever comes, only its own byte-order mark skipped.
String DecodeBytes(const TBytes& Bytes, TEncoding* Forced, TEncoding* Default = nullptr)
{
    TEncoding* Enc = Forced;
    const int Preamble = TEncoding::GetBufferEncoding(Bytes, Enc, Default);
    return Enc->GetString(Bytes, std::size_t(Preamble), Bytes.size() - std::size_t(Preamble));
}

TBytes ReadFileBytes(const String& FileName)
{
    TFileStream File(FileName, fmOpenRead | fmShareDenyNone);
    TBytes Bytes;
    const Int64 Size = File.GetSize();
    if (Size > 0)
        File.ReadBuffer(Bytes, Size);
    return Bytes;
}

// Writes the file anew through a temporary file beside it that replaces
// it once complete: a failure on the way leaves the old file as it was.
void ReplaceFile(const String& FileName, const TBytes& Preamble, const TBytes& Body)
{
    const std::string Target = StringToUtf8(FileName);
    std::string Temp = Target + ".XXXXXX";
    const auto Fail = [&](int Err) {
        throw EFCreateError(u"Cannot create file \"" + FileName + u"\". " + Utf8ToString(std::strerror(Err)));
    };
    const int fd = ::mkstemp(Temp.data());
    if (fd < 0)
        Fail(errno);
    struct stat St {};
    const bool Exists = ::stat(Target.c_str(), &St) == 0;
    if (Exists && S_ISDIR(St.st_mode)) {
        ::close(fd);
        ::unlink(Temp.c_str());
        Fail(EISDIR);
    }
    ::fchmod(fd, Exists ? (St.st_mode & 07777) : 0644);
    int Err = 0;
    for (const TBytes* Part : { &Preamble, &Body }) {
        const std::uint8_t* p = Part->data();
        std::size_t Left = Part->size();
        while (Left > 0 && !Err) {
            const ssize_t n = ::write(fd, p, Left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                Err = n < 0 ? errno : EIO;
            else {
                p += n;
                Left -= std::size_t(n);
            }
        }
    }
    if (!Err && ::fsync(fd) != 0)
        Err = errno;
    if (::close(fd) != 0 && !Err)
        Err = errno;
    if (!Err && ::rename(Temp.c_str(), Target.c_str()) != 0)
        Err = errno;
    if (Err) {
        ::unlink(Temp.c_str());
        Fail(Err);
    }
}

} // namespace

// ---- public entries ----

void TDedOzovedUrad::LoadFromCSV(const String& FileName, int MaxRows, int IgnoreRows)
{
    ReadCSVFile(FileName, false, MaxRows, IgnoreRows);
}

void TDedOzovedUrad::LoadFromCSV(const String& FileName, TEncoding* AEncoding, int MaxRows, int IgnoreRows)
{
    // Decoded once, in the encoding asked for, and handed to the reader as text.
    ReadCSVText(DecodeBytes(ReadFileBytes(FileName), AEncoding), false, MaxRows, IgnoreRows);
}

void TDedOzovedUrad::LoadFromCSVStream(TStream& AStream, int MaxRows, int IgnoreRows)
{
    ReadCSVStream(AStream, false, MaxRows, IgnoreRows, nullptr);
}

void TDedOzovedUrad::LoadFromCSVStream(TStream& AStream, TEncoding* AEncoding, int MaxRows, int IgnoreRows)
{
    ReadCSVStream(AStream, false, MaxRows, IgnoreRows, AEncoding);
}

void TDedOzovedUrad::InsertFromCSV(const String& FileName, int MaxRows, int IgnoreRows)
{
    ReadCSVFile(FileName, true, MaxRows, IgnoreRows);
}

void TDedOzovedUrad::InsertFromCSV(const String& FileName, TEncoding* AEncoding, int MaxRows, int IgnoreRows)
{
    ReadCSVText(DecodeBytes(ReadFileBytes(FileName), AEncoding), true, MaxRows, IgnoreRows);
}

void TDedOzovedUrad::SaveToCSV(const String& FileName, bool Unicode)
{
    WriteCSVFile(FileName, false, Unicode ? TEncoding::UTF8() : TEncoding::ASCII());
}

void TDedOzovedUrad::SaveToCSV(const String& FileName, const TGridRect& ARect, bool Unicode)
{
    WriteCSVRect(FileName, ARect, false, Unicode ? TEncoding::UTF8() : TEncoding::ASCII());
}

void TDedOzovedUrad::SaveToCSV(const String& FileName, TEncoding* AEncoding)
{
    WriteCSVFile(FileName, false, AEncoding);
}

void TDedOzovedUrad::SaveToCSV(const String& FileName, const TGridRect& ARect, TEncoding* AEncoding)
{
    WriteCSVRect(FileName, ARect, false, AEncoding);
}

void TDedOzovedUrad::AppendToCSV(const String& FileName, bool Unicode)
{
    WriteCSVFile(FileName, true, Unicode ? TEncoding::UTF8() : TEncoding::ASCII());
}

void TDedOzovedUrad::AppendToCSV(const String& FileName, TEncoding* AENcoding)
{
    WriteCSVFile(FileName, true, AENcoding);
}

// ---- reading ----

void TDedOzovedUrad::ReadCSVFile(const String& FileName, bool DoInsert, int MaxRows, int IgnoreRows)
{
    TFileStream File(FileName, fmOpenRead | fmShareDenyNone);
    if (File.GetSize() > 0)
        ReadCSVStream(File, DoInsert, MaxRows, IgnoreRows, nullptr);
}

void TDedOzovedUrad::ReadCSVStream(TStream& AStream, bool DoInsert, int MaxRows, int IgnoreRows, TEncoding*)
{
    const Int64 Size = AStream.GetSize() - AStream.GetPosition();
    if (Size <= 0) {
        ReadCSVLines({}, DoInsert, MaxRows, IgnoreRows);
        return;
    }
    // A memory stream is read where it lies; anything else is read first.
    if (auto* Memory = dynamic_cast<TCustomMemoryStream*>(&AStream)) {
        const auto* Data = static_cast<const std::uint8_t*>(Memory->GetMemory()) + AStream.GetPosition();
        AStream.Seek(Size, TSeekOrigin::soCurrent);
        ReadCSVLines(BytesToLines(Data, std::size_t(Size)), DoInsert, MaxRows, IgnoreRows);
        return;
    }
    TBytes Bytes;
    AStream.ReadBuffer(Bytes, Size);
    ReadCSVLines(BytesToLines(Bytes.data(), Bytes.size()), DoInsert, MaxRows, IgnoreRows);
}

void TDedOzovedUrad::ReadCSVText(const String& Text, bool DoInsert, int MaxRows, int IgnoreRows)
{
    ReadCSVLines(SplitLines(Text), DoInsert, MaxRows, IgnoreRows);
}

void TDedOzovedUrad::ReadCSVLines(std::vector<String> Lines, bool DoInsert, int MaxRows, int IgnoreRows)
{
    const int StartCol = GetSaveStartCol();
    const int StartRow = GetSaveStartRow();
    if (IgnoreRows > 0 && IgnoreRows < int(Lines.size()))
        Lines.erase(Lines.begin(), Lines.begin() + IgnoreRows);
    if (Lines.empty())
        throw Exception(u"File is empty");

    BeginUpdate();
    const Char SavedDelimiter = FDelimiter;
    int Row = DoInsert ? GetRowCount() : StartRow;
    // The floating footer's row, kept aside while records are inserted.
    std::vector<std::pair<String, TObject*>> Footer;
    bool KeptFooter = false;
    // Whether a cell of the record being read has been stored.
    bool RowStarted = false;

    // Cuts the grid to the records read and puts the footer row back.
    const auto Finish = [&](int RowsEnd) {
        const int Footers = GetFixedFooters();
        // The kept footer row goes after the records, never over the last.
        SetRowCount(RowsEnd + (KeptFooter ? std::max(Footers, 1) : Footers));
        FMaxRowCount = GetRowCount();
        if (KeptFooter) {
            const int Last = GetRowCount() - 1;
            for (int c = 0; c < int(Footer.size()); ++c) {
                SetGridCell(c, Last, Footer[std::size_t(c)].first);
                SetGridObject(c, Last, Footer[std::size_t(c)].second);
                if (auto* Props = dynamic_cast<TCellProperties*>(Footer[std::size_t(c)].second))
                    Props->SetOwnerRow(Last);
            }
            KeptFooter = false;
        }
    };

    try {
        if (GetCSVMultilineCellImport())
            JoinOpenQuotedLines(Lines);

        if (DoInsert && FFloatingFooter->GetVisible() && GetRowCount() > 0) {
            const int Last = GetRowCount() - 1;
            for (int c = 0; c < GetAllColCount(); ++c)
                Footer.emplace_back(GetGridCell(c, Last), GetGridObject(c, Last));
            ClearRowCells(Last);
            KeptFooter = true;
            Row = Last;
        }

        if (FDelimiter == 0)
            FDelimiter = DetectDelimiter(Lines[0], Lines.size() > 1 ? StringView(Lines[1]) : StringView());
        const Char Delim = FDelimiter;

        std::size_t Next = 0;
        if (!GetLoadFirstRow())
            ++Next;
        int Total = 0;
        if (OnFileProgress) {
            Total = int(Lines.size() - std::min(Next, Lines.size()));
            if (DoInsert)
                SetRowCount(int(Lines.size()) + GetRowCount());
            else
                SetRowCount(StartRow + int(Lines.size()) + GetFixedFooters());
        }
        const int Hidden = GetSaveHiddenCells() ? NumHiddenColumns() : 0;
        const bool Trim = GetCSVTrimSpaces();
        const bool Java = GetJavaCSV();

        const auto Store = [&](int Col, String& Field) {
            DecodeField(Field, Java);
            if (Col >= GetColCount() + Hidden)
                SetColCount(Col + 1 - Hidden);
            RowStarted = true;
            DoLoadCell(Col, Row, Field);
        };

        int Read = 0;
        int LastPercent = -1;
        for (; Next < Lines.size() && (MaxRows <= 0 || Read < MaxRows); ++Next) {
            // Room for more records; growing by half of what is there keeps
            // a long load linear. The count is cut to the records at the end.
            if (Row >= GetRowCount() - GetFixedFooters())
                SetRowCount(Row + std::max(1000, Row / 2));
            RowStarted = false;
            StringView Rest(Lines[Next]);
            int Col = StartCol;
            std::size_t p;
            while (Delim != 0 && (p = Rest.find(Delim)) != StringView::npos) {
                // p > 0: a space that is itself the delimiter stays.
                if (Trim)
                    while (Rest.size() > 1 && Rest[0] == Space && p > 0) {
                        Rest.remove_prefix(1);
                        --p;
                    }
                String Field;
                if (!Rest.empty() && Rest[0] == Quote && p > 0) {
                    Rest.remove_prefix(1);
                    --p;
                    int q = 0;
                    if (FindQuoteEnd(Quote, Rest, q) > 0) {
                        Field = CollapseDoubledChar(Quote, Rest.substr(0, std::size_t(q - 1)));
                        Rest.remove_prefix(std::size_t(q));
                    }
                    // A field without its closing quote is empty, and the
                    // line is read on from its next delimiter. Text between
                    // the closing quote and the next delimiter is dropped,
                    // all of it when no delimiter follows.
                    const std::size_t After = Rest.find(Delim);
                    p = After != StringView::npos ? After : Rest.size();
                } else {
                    Field = String(Rest.substr(0, p));
                }
                Store(Col, Field);
                Rest.remove_prefix(std::min(p + 1, Rest.size()));
                ++Col;
            }
            if (!Rest.empty()) {
                while (Rest.size() > 1 && Rest[0] == Space)
                    Rest.remove_prefix(1);
                String Field;
                if (Rest[0] == Quote) {
                    Rest.remove_prefix(1);
                    if (!Rest.empty() && Rest.back() == Quote)
                        Rest.remove_suffix(1);
                    Field = CollapseDoubledChar(Quote, Rest);
                } else {
                    Field = String(Rest);
                }
                Store(Col, Field);
            }
            ++Row;
            RowStarted = false;
            ++Read;
            if (OnFileProgress && Total >= 1) {
                const int Percent = int(RoundHalfEven(double(Read) * 100.0 / Total));
                if (Percent != LastPercent) {
                    LastPercent = Percent;
                    OnFileProgress(this, std::int16_t(Percent));
                }
            }
        }
        Finish(Row);
    } catch (...) {
        // What was read stays; the grid is left whole and usable.
        try {
            Finish(Row + (RowStarted ? 1 : 0));
        } catch (...) {
        }
        FDelimiter = SavedDelimiter;
        EndUpdate();
        throw;
    }
    FDelimiter = SavedDelimiter;
    EndUpdate();
    CellsChanged(TRect(0, 0, GetColCount(), GetRowCount()));
    CalcFooter(-1);
}

// ---- writing ----

void TDedOzovedUrad::WriteCSVFile(const String& FileName, bool Append, TEncoding* AEncoding)
{
    WriteCSVRect(FileName, TGridRect { GetSaveStartCol(), GetSaveStartRow(), GetSaveEndCol(), GetSaveEndRow() }, Append,
        AEncoding);
}

void TDedOzovedUrad::WriteCSVRect(const String& FileName, const TGridRect& Rect, bool Append, TEncoding* AEncoding)
{
    TEncoding* Enc = AEncoding ? AEncoding : TEncoding::Default();
    const String LineBreak = GetCSVLineBreak().empty() ? String(u"\r\n") : GetCSVLineBreak();

    String Out;
    if (Append && FileExists(FileName)) {
        const TBytes Bytes = ReadFileBytes(FileName);
        TEncoding* Source = nullptr;
        const int Preamble = TEncoding::GetBufferEncoding(Bytes, Source);
        const String Old = Source->GetString(Bytes, std::size_t(Preamble), Bytes.size() - std::size_t(Preamble));
        // The older lines are written again: when they are not text in the
        // encoding they were read in, or the target encoding cannot hold
        // them, that would damage them, so the file stays as it is.
        const bool Readable = Source->GetBytes(Old) == TBytes(Bytes.begin() + Preamble, Bytes.end());
        if (!Readable || Enc->GetString(Enc->GetBytes(Old)) != Old)
            throw ERirEvozError(u"The lines of \"" + FileName + u"\" cannot be written again in the encoding "
                + Enc->EncodingName() + u"; nothing was appended");
        for (String& Line : SplitLines(Old)) {
            Out += Line;
            Out += LineBreak;
        }
    }

    BeginUpdate();
    // With the hidden cells, rows out of view (contracted nodes, filter
    // passes) come into view for the export and leave again after it.
    TGridDataViews* Views = GetSaveHiddenCells() ? TGridDataViews::Of(*this) : nullptr;
    TGridDataViews::TExportState Opened;
    struct TRestore {
        TDedOzovedUrad& Grid;
        TGridDataViews* Views;
        TGridDataViews::TExportState& State;
        ~TRestore()
        {
            try {
                if (Views)
                    Views->CloseAfterExport(State);
            } catch (...) {
                // The export's own outcome is what the caller hears about.
            }
            Grid.EndUpdate();
        }
    } Restore { *this, Views, Opened };

    TGridRect ARect = Rect;
    if (Views) {
        // The range is taken with every row in view: a range that reached
        // the last row reaches the last row then.
        const int OldEnd = GetSaveEndRow();
        Views->OpenForExport(Opened);
        if (ARect.Bottom >= OldEnd)
            ARect.Bottom = GetSaveEndRow();
    }
    const int Hidden = GetSaveHiddenCells() ? NumHiddenColumns() : 0;
    const Char Sep = FDelimiter ? FDelimiter : u',';
    const bool QuoteQuotes = GetQuoteQuoteCells();
    const bool Always = GetAlwaysQuotes();
    const bool Java = GetJavaCSV();
    const bool QuoteEmpty = GetQuoteEmptyCells();
    const bool Multi = GetMultilinecells();
    const bool Trim = GetCSVTrimSpaces();

    ExportNotification(esExportStart, GetSaveStartRow());
    int LastPercent = -1;
    for (int r = ARect.Top; r <= ARect.Bottom; ++r) {
        if (!IsSuppressedRow(r)) {
            ExportNotification(esExportNextRow, r);
            for (int c = ARect.Left; c <= ARect.Right + Hidden; ++c) {
                if (c > ARect.Left)
                    Out += Sep;
                const int Real = GetSaveHiddenCells() ? c : DisplayToRealCol(TDisplayCol(c)).Value;
                String s = SaveCell(Real, r);
                const bool HasQuote = s.find(Quote) != String::npos;
                const bool HasSep = s.find(Sep) != String::npos;
                if (QuoteQuotes && HasQuote)
                    s = DoubleQuoteChars(s);
                bool Quoted = false;
                // A leading space would be trimmed away by the reader unless
                // the field is quoted.
                if (QuoteQuotes && (Always || (!HasSep && HasQuote) || (Trim && !s.empty() && s[0] == Space))) {
                    Enclose(s);
                    Quoted = true;
                }
                if (s.empty()) {
                    if (Java)
                        s = u"^";
                    else if (QuoteEmpty)
                        s = u"\"\"";
                }
                // Any line break counts, a lone LF as much as CR LF: written
                // bare it would end the record.
                if (HasSep || HoldsLineBreak(s)) {
                    if (HoldsLineBreak(s))
                        s = NormalizeLineBreaks(s);
                    if (Java) {
                        CRLFToTilde(s);
                        // The separator inside a field needs the quotes.
                        if (HasSep && !Quoted)
                            Enclose(s);
                    } else if (Multi) {
                        if (!Quoted)
                            Enclose(s);
                    } else if (!Quoted) {
                        CRLFToVTQuoted(s);
                    } else {
                        CRLFToLF(s);
                    }
                }
                Out += s;
            }
            Out += LineBreak;
        }
        if (OnFileProgress) {
            const int Last = GetRowCount() - 1;
            const int Percent = Last > 0 ? int(RoundHalfEven(double(r) * 100.0 / Last)) : 100;
            if (Percent != LastPercent) {
                LastPercent = Percent;
                OnFileProgress(this, std::int16_t(Percent));
            }
        }
    }
    ExportNotification(esExportDone, -1);
    ReplaceFile(FileName, Enc->GetPreamble(), Enc->GetBytes(Out));
}
