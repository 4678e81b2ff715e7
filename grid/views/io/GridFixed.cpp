// Fixed-width text: a readable listing whose columns are as wide as their
// longest line and aligned like the grid, a record layout with the
// caller's field widths, and that layout read back by field positions.

#include <algorithm>
#include <cstdio>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/IntList.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

using namespace VuzEraz;

namespace {

TBytes ReadFileBytes(const String& FileName)
{
    TFileStream File(FileName, fmOpenRead | fmShareDenyNone);
    TBytes Bytes;
    const Int64 Size = File.GetSize();
    if (Size > 0)
        File.ReadBuffer(Bytes, Size);
    return Bytes;
}

class THourGlass {
public:
    THourGlass() : FOld(Screen->GetCursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(FOld); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor FOld;
};

// The lines of a text: CR, LF and CR LF each end one.
std::vector<String> TextLines(StringView Text, bool KeepTrailingEmpty)
{
    std::vector<String> Lines;
    std::size_t Start = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char c = Text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        Lines.emplace_back(Text.substr(Start, i - Start));
        if (c == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n')
            ++i;
        Start = i + 1;
    }
    if (Start < Text.size() || (KeepTrailingEmpty && (Lines.empty() || Start == Text.size())))
        Lines.emplace_back(Text.substr(Start));
    return Lines;
}

// The lines of a file: decoded by its byte-order mark, else in the system
// code page.
std::vector<String> ReadFileLines(const String& FileName)
{
    const TBytes Bytes = ReadFileBytes(FileName);
    TEncoding* Enc = nullptr;
    const int Preamble = TEncoding::GetBufferEncoding(Bytes, Enc);
    return TextLines(Enc->GetString(Bytes, std::size_t(Preamble), Bytes.size() - std::size_t(Preamble)), false);
}

void WriteText(const String& FileName, const String& Text, TEncoding* Enc, bool Preamble)
{
    FILE* f = std::fopen(StringToUtf8(FileName).c_str(), "wb");
    if (!f)
        throw ERirEvozError(u"Cannot Create file " + FileName);
    TBytes Bytes = Preamble ? Enc->GetPreamble() : TBytes();
    const TBytes Body = Enc->GetBytes(Text);
    Bytes.insert(Bytes.end(), Body.begin(), Body.end());
    const bool ok = Bytes.empty() || std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
    if (std::fclose(f) != 0 || !ok)
        throw EInOutError(u"The file \"" + FileName + u"\" could not be written completely");
}

// A line aligned in its column: right-aligned texts padded in front,
// centred ones on both sides (the odd space on the right), both to the
// width; left-aligned and longer texts stay.
String AlignText(const String& Text, int Width, int Alignment)
{
    const int Len = int(Text.size());
    if (Len >= Width)
        return Text;
    if (Alignment == taRightJustify)
        return String(std::size_t(Width - Len), u' ') + Text;
    if (Alignment == taCenter) {
        const int Left = (Width - Len) / 2;
        return String(std::size_t(Left), u' ') + Text + String(std::size_t(Width - Len - Left), u' ');
    }
    return Text;
}

} // namespace

int TDedOzovedUrad::ColumnMaxLineLength(int ACol)
{
    const bool Multi = GetMultilinecells();
    int Longest = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        String s = SaveCell(ACol, r);
        if (s.empty())
            continue;
        do {
            String Line;
            TakeFirstLine(s, Multi, Line);
            Longest = std::max(Longest, int(Line.size()));
        } while (Multi && !s.empty());
    }
    return Longest;
}

void TDedOzovedUrad::SaveToASCII(const String& FileName, bool Unicode) { WriteASCII(FileName, false, Unicode); }

void TDedOzovedUrad::AppendToASCII(const String& FileName, bool Unicode) { WriteASCII(FileName, true, Unicode); }

void TDedOzovedUrad::WriteASCII(const String& FileName, bool Append, bool Unicode)
{
    THourGlass Busy;
    String Out;
    if (Append && FileExists(FileName))
        for (const String& Line : ReadFileLines(FileName))
            Out += Line + u"\r\n";

    const int FirstCol = (GetSaveFixedCells() || GetSaveFixedCols()) ? 0 : GetFixedCols();
    const int FirstRow = (GetSaveFixedCells() || GetSaveFixedRows()) ? 0 : GetFixedRows();
    const int Hidden = GetSaveHiddenCells() ? NumHiddenColumns() : 0;
    const int LastCol = GetColCount() - 1 + Hidden;
    std::vector<int> Reals, Widths;
    for (int c = FirstCol; c <= LastCol; ++c) {
        const int Real = GetSaveHiddenCells() ? c : DisplayToRealCol(TDisplayCol(c)).Value;
        Reals.push_back(Real);
        Widths.push_back(ColumnMaxLineLength(Real));
    }
    const bool Multi = GetMultilinecells();
    ExportNotification(esExportStart, FirstRow);
    for (int r = FirstRow; r < GetRowCount(); ++r) {
        if (IsSuppressedRow(r))
            continue;
        ExportNotification(esExportNextRow, r);
        String Main;
        std::vector<String> More;
        int ColStart = 0;
        for (std::size_t k = 0; k < Reals.size(); ++k) {
            const int Width = Widths[k];
            const int Alignment = ResolveCellAlignment(Reals[k], r) & 0xFF;
            const std::vector<String> Lines = TextLines(SaveCell(Reals[k], r), true);
            const String First = AlignText(Lines[0], Width, Alignment);
            Main += First;
            const int Pad = Width - int(First.size()) + 1;
            if (Pad >= 1)
                Main += String(std::size_t(Pad), u' ');
            if (Multi)
                for (std::size_t l = 1; l < Lines.size(); ++l) {
                    if (More.size() < l)
                        More.resize(l);
                    String& Line = More[l - 1];
                    if (int(Line.size()) < ColStart)
                        Line += String(std::size_t(ColStart - int(Line.size())), u' ');
                    Line += AlignText(Lines[l], Width, Alignment);
                }
            ColStart += Width + 1;
        }
        Out += Main + u"\r\n";
        for (const String& Line : More)
            Out += Line + u"\r\n";
    }
    ExportNotification(esExportDone, -1);
    if (Unicode) {
        TEncoding* Enc = GetEncoding() ? GetEncoding() : TEncoding::UTF8();
        WriteText(FileName, Out, Enc, true);
    } else {
        WriteText(FileName, Out, TEncoding::ANSI(), false);
    }
}

void TDedOzovedUrad::SaveToFixed(const String& FileName, TIntList* Positions)
{
    const int StartCol = GetSaveStartCol(), EndCol = GetSaveEndCol();
    const int StartRow = GetSaveStartRow(), EndRow = GetSaveEndRow();
    const int Hidden = GetSaveHiddenCells() ? NumHiddenColumns() : 0;
    for (int c = StartCol; c <= EndCol + Hidden; ++c)
        if (c - StartCol >= Positions->GetCount())
            Positions->Add(ColumnMaxLineLength(c) + 1);
    String Out;
    ExportNotification(esExportStart, StartRow);
    for (int r = StartRow; r <= EndRow; ++r) {
        ExportNotification(esExportNextRow, r);
        for (int c = StartCol; c <= EndCol + Hidden; ++c) {
            const int Real = GetSaveHiddenCells() ? c : DisplayToRealCol(TDisplayCol(c)).Value;
            const int Width = std::max(0, (*Positions)[c - StartCol]);
            // A line break inside a field would split the record: each
            // becomes one space.
            const std::vector<String> Parts = TextLines(SaveCell(Real, r), true);
            String s = Parts[0];
            for (std::size_t i = 1; i < Parts.size(); ++i)
                s += u' ' + Parts[i];
            if (int(s.size()) > Width)
                s.resize(std::size_t(Width));
            else
                s += String(std::size_t(Width - int(s.size())), u' ');
            Out += s;
        }
        Out += u"\r\n";
    }
    ExportNotification(esExportDone, -1);
    WriteText(FileName, Out, TEncoding::ANSI(), false);
}

void TDedOzovedUrad::LoadFromFixed(const String& FileName, TIntList* Positions, bool DoTrim, int MaxRows)
{
    if (!FileExists(FileName))
        throw ERirEvozError(u"File " + FileName + u" not found");
    std::vector<String> Lines;
    try {
        Lines = ReadFileLines(FileName);
    } catch (const EFOpenError&) {
        throw ERirEvozError(u"File " + FileName + u" not found");
    }
    std::vector<int> Pos;
    for (int i = 0; i < Positions->GetCount(); ++i)
        Pos.push_back((*Positions)[i]);
    std::sort(Pos.begin(), Pos.end());
    SetColCount(std::max(1, GetFixedCols() + int(Pos.size()) - 1));
    int Row = GetSaveStartRow();
    BeginUpdate();
    struct TEnd {
        TDedOzovedUrad& G;
        ~TEnd() { G.EndUpdate(); }
    } End { *this };
    for (std::size_t n = 0; n < Lines.size(); ++n) {
        const String& Line = Lines[n];
        if (GetRowCount() <= Row)
            SetRowCount(Row + 1);
        int Col = GetSaveStartCol();
        for (std::size_t k = 0; k + 1 < Pos.size(); ++k) {
            const int p = std::max(1, Pos[k]), q = Pos[k + 1];
            String Field = q > p && std::size_t(p - 1) < Line.size() ? Line.substr(std::size_t(p - 1), std::size_t(q - p)) : String();
            if (DoTrim)
                Field = Trim(Field);
            if (Col >= GetColCount())
                SetColCount(Col + 1);
            DoLoadCell(Col, Row, Field);
            ++Col;
        }
        if (MaxRows != -1 && int(n + 1) >= std::max(MaxRows, 1))
            break;
        if (Row + 1 >= GetRowCount() && n + 1 < Lines.size())
            SetRowCount(Row + 2);
        ++Row;
    }
    CellsChanged(TRect(0, 0, GetColCount(), GetRowCount()));
}
