// Numbers, dates and times read from and written to cell texts with the
// locale's separators and formats, the number format a cell is shown with,
// search texts highlighted and marked in cells, the cell checker's
// corrections, and fills of generated values.

#include <cmath>
#include <random>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

namespace {

// Text with a separator of the locale reads as a number with decimals,
// rounded to the nearest integer (halves to even): "1,5" and "2.500" read as
// the locale writes them. Anything else must be an integer.
int IntegerOfText(const String& Text, bool AllowSeparators)
{
    if (Text.empty() || Text == u"-")
        return 0;
    const bool Separators = Text.find(VuzEraz::DecimalSeparatorChar()) != String::npos
        || Text.find(VuzEraz::ThousandSeparatorChar()) != String::npos;
    if (AllowSeparators && Separators) {
        double Value = 0;
        if (TryStrToFloat(VuzEraz::ExtractNumberText(Text), Value, InvariantFormatSettings())
            && Value >= double(INT32_MIN) && Value <= double(INT32_MAX))
            return int(RoundHalfEven(Value));
    } else {
        Integer Value = 0;
        if (TryStrToInt(Text, Value))
            return Value;
    }
    throw ERirEvozError(u"Cell does not contain integer value");
}

double FloatOfText(const String& Text)
{
    if (Text.empty() || Text == u"-")
        return 0;
    double Value = 0;
    if (!TryStrToFloat(Text, Value, InvariantFormatSettings()))
        throw ERirEvozError(u"Cell does not contain a float value");
    return Value;
}

// A range of columns x rows, both ends included.
struct TCellRange {
    int Col1, Row1, Col2, Row2;
};

} // namespace

// ---- integers ----

int TDedOzovedUrad::GetInts(int c, int r) { return IntegerOfText(Trim(GetStrippedCells(c, r)), true); }

void TDedOzovedUrad::SetInts(int c, int r, int Value)
{
    SetCellEx(c, r, IntToStr(Value));
    if (FNumHidden > 0)
        RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
}

int TDedOzovedUrad::GetAllInts(int c, int r) { return IntegerOfText(Trim(GetCellsEx(c, r)), false); }

void TDedOzovedUrad::SetAllInts(int c, int r, int Value) { SetCellsEx(c, r, IntToStr(Value)); }

// ---- floats ----

double TDedOzovedUrad::GetFloats(int c, int r)
{
    return FloatOfText(VuzEraz::ExtractNumberText(VovHTMLE::HTMLToPlainText(GetCellEx(c, r))));
}

void TDedOzovedUrad::SetFloats(int c, int r, double Value) { SetCellEx(c, r, Format(FFloatFormat, { Value })); }

double TDedOzovedUrad::GetAllFloats(int c, int r) { return FloatOfText(VuzEraz::ExtractNumberText(GetCellsEx(c, r))); }

void TDedOzovedUrad::SetAllFloats(int c, int r, double Value) { SetCellsEx(c, r, Format(FFloatFormat, { Value })); }

String TDedOzovedUrad::GetFloatFormat(int ACol, int ARow)
{
    if (OnGetFloatFormat) {
        bool IsFloat = false;
        String Format;
        OnGetFloatFormat(this, ACol, ARow, IsFloat, Format);
        if (IsFloat)
            return Format;
    }
    return FFloatFormat;
}

// ---- dates and times ----

TDateTime TDedOzovedUrad::GetDates(int c, int r) { return StrToDate(GetCellEx(c, r)); }

void TDedOzovedUrad::SetDates(int c, int r, TDateTime Value)
{
    // 0 is a valid date (30 December 1899), written only with ShowNullDates.
    SetCellEx(c, r, Value > 0 || FShowNullDates ? DateToStr(Value) : String());
}

TDateTime TDedOzovedUrad::GetTimes(int c, int r) { return StrToTime(GetCellEx(c, r)); }

void TDedOzovedUrad::SetTimes(int c, int r, TDateTime Value)
{
    SetCellEx(c, r, FormatDateTime(FormatSettings.LongTimeFormat, Value));
}

TDateTime TDedOzovedUrad::GetDateTimes(int c, int r)
{
    TDateTime Value = 0;
    const String Text = GetCellEx(c, r);
    if (Text.empty() || !TryStrToDateTime(Text, Value))
        return 0;
    return Value;
}

void TDedOzovedUrad::SetDateTimes(int c, int r, TDateTime Value)
{
    if (Value > 0 || FShowNullDates)
        SetCellEx(c, r, FormatDateTime(FormatSettings.ShortDateFormat + u" " + FormatSettings.ShortTimeFormat, Value));
    else
        SetCellEx(c, r, String());
}

// ---- highlighting and marking ----

String TDedOzovedUrad::HilightText(bool DoCase, const String& S, const String& Text)
{
    String Result;
    VovHTMLE::HighlightHTMLText(S, Text, u"hi", Result, false, DoCase);
    return Result;
}

String TDedOzovedUrad::MarkText(bool DoCase, const String& S, const String& Text)
{
    String Result;
    VovHTMLE::HighlightHTMLText(S, Text, u"e", Result, false, DoCase);
    return Result;
}

String TDedOzovedUrad::UnHilightText(const String& S)
{
    String Result;
    VovHTMLE::RemoveHTMLHighlight(S, u"hi", Result);
    return Result;
}

String TDedOzovedUrad::UnMarkText(const String& S)
{
    String Result;
    VovHTMLE::RemoveHTMLHighlight(S, u"e", Result);
    return Result;
}

namespace {

// The ranges of the highlight operations: the data part of the grid, the
// whole of it, with or without the hidden columns counted in.
TCellRange DataRange(TDedOzovedUrad& G, bool WithHidden)
{
    return { G.GetFixedCols(), G.GetFixedRows(),
        G.GetColCount() - G.GetFixedRightCols() - 1 + (WithHidden ? G.NumHiddenColumns() : 0),
        G.GetRowCount() - G.GetFixedFooters() - 1 };
}

TCellRange WholeRange(TDedOzovedUrad& G, bool WithHidden)
{
    return { 0, 0, G.GetColCount() - 1 + (WithHidden ? G.NumHiddenColumns() : 0), G.GetRowCount() - 1 };
}

// Visits every base cell of a range (covered cells of merged areas are left
// out) with its text: the display text when a display hook is set, else
// the stored one.
template<class Fn>
void ForBaseCells(TDedOzovedUrad& G, const TCellRange& R, Fn Visit)
{
    for (int r = R.Row1; r <= R.Row2; ++r)
        for (int c = R.Col1; c <= R.Col2; ++c) {
            if (!G.IsBaseCell(c, r))
                continue;
            Visit(c, r, G.OnGetDisplText ? G.GetCellEx(c, r) : String(G.GetGridCell(c, r)));
        }
}

void Highlight(TDedOzovedUrad& G, const TCellRange& R, const char16_t* Tag, bool DoCase, const String& HiText,
    bool FullText)
{
    const String Search = VovHTMLE::EscapeHTMLText(HiText, false);
    ForBaseCells(G, R, [&](int c, int r, const String& Text) {
        String Result;
        VovHTMLE::HighlightHTMLText(Text, Search, Tag, Result, FullText, DoCase);
        if (Result != Text)
            G.SetCellEx(c, r, Result);
    });
}

void Unhighlight(TDedOzovedUrad& G, const TCellRange& R, const char16_t* Tag)
{
    ForBaseCells(G, R, [&](int c, int r, const String& Text) {
        String Result;
        VovHTMLE::RemoveHTMLHighlight(VovHTMLE::UnescapeHTMLText(Text, false), Tag, Result);
        G.SetCellEx(c, r, Result);
    });
}

} // namespace

void TDedOzovedUrad::HilightInCell(bool DoCase, int Col, int Row, const String& HiText, bool FullText)
{
    Highlight(*this, { Col, Row, Col, Row }, u"hi", DoCase, HiText, FullText);
}

void TDedOzovedUrad::HilightInCol(bool DoFixed, bool DoCase, int Col, const String& HiText, bool FullText)
{
    const TCellRange D = DataRange(*this, false);
    Highlight(*this, { Col, DoFixed ? 0 : D.Row1, Col, DoFixed ? GetRowCount() - 1 : D.Row2 }, u"hi", DoCase, HiText,
        FullText);
}

void TDedOzovedUrad::HilightInRow(bool DoFixed, bool DoCase, int Row, const String& HiText, bool FullText)
{
    const TCellRange D = DoFixed ? WholeRange(*this, false) : DataRange(*this, false);
    Highlight(*this, { D.Col1, Row, D.Col2, Row }, u"hi", DoCase, HiText, FullText);
}

void TDedOzovedUrad::HilightInGrid(bool DoFixed, bool DoCase, const String& HiText, bool FullText)
{
    Highlight(*this, DoFixed ? WholeRange(*this, false) : DataRange(*this, true), u"hi", DoCase, HiText, FullText);
}

void TDedOzovedUrad::MarkInCell(bool DoCase, int Col, int Row, const String& HiText)
{
    Highlight(*this, { Col, Row, Col, Row }, u"e", DoCase, HiText, false);
}

void TDedOzovedUrad::MarkInCol(bool DoFixed, bool DoCase, int Col, const String& HiText)
{
    const TCellRange D = DataRange(*this, false);
    Highlight(*this, { Col, DoFixed ? 0 : D.Row1, Col, DoFixed ? GetRowCount() - 1 : D.Row2 }, u"e", DoCase, HiText,
        false);
}

void TDedOzovedUrad::MarkInRow(bool DoFixed, bool DoCase, int Row, const String& HiText)
{
    const TCellRange D = DoFixed ? WholeRange(*this, false) : DataRange(*this, false);
    Highlight(*this, { D.Col1, Row, D.Col2, Row }, u"e", DoCase, HiText, false);
}

void TDedOzovedUrad::MarkInGrid(bool DoFixed, bool DoCase, const String& HiText)
{
    Highlight(*this, DoFixed ? WholeRange(*this, false) : DataRange(*this, false), u"e", DoCase, HiText, false);
}

void TDedOzovedUrad::UnHilightInCell(int Col, int Row) { Unhighlight(*this, { Col, Row, Col, Row }, u"hi"); }

void TDedOzovedUrad::UnHilightInCol(bool DoFixed, int Col)
{
    const TCellRange D = DataRange(*this, false);
    Unhighlight(*this, { Col, DoFixed ? 0 : D.Row1, Col, DoFixed ? GetRowCount() - 1 : D.Row2 }, u"hi");
}

void TDedOzovedUrad::UnHilightInRow(bool DoFixed, int Row)
{
    const TCellRange D = DoFixed ? WholeRange(*this, true) : DataRange(*this, true);
    Unhighlight(*this, { D.Col1, Row, D.Col2, Row }, u"hi");
}

void TDedOzovedUrad::UnHilightInGrid(bool DoFixed)
{
    Unhighlight(*this, DoFixed ? WholeRange(*this, true) : DataRange(*this, true), u"hi");
}

void TDedOzovedUrad::UnMarkInCell(int Col, int Row) { Unhighlight(*this, { Col, Row, Col, Row }, u"e"); }

void TDedOzovedUrad::UnMarkInCol(bool DoFixed, int Col)
{
    const TCellRange D = DataRange(*this, false);
    Unhighlight(*this, { Col, DoFixed ? 0 : D.Row1, Col, DoFixed ? GetRowCount() - 1 : D.Row2 }, u"e");
}

void TDedOzovedUrad::UnMarkInRow(bool DoFixed, int Row)
{
    const TCellRange D = DoFixed ? WholeRange(*this, true) : DataRange(*this, true);
    Unhighlight(*this, { D.Col1, Row, D.Col2, Row }, u"e");
}

void TDedOzovedUrad::UnMarkInGrid(bool DoFixed)
{
    Unhighlight(*this, DoFixed ? WholeRange(*this, true) : DataRange(*this, true), u"e");
}

// ---- checking ----

bool TDedOzovedUrad::CheckCell(int Col, int Row)
{
    if (!FCellChecker)
        return true;
    const String s = UnMarkText(GetCellEx(Col, Row));
    if (FCellChecker->GetGotoCell())
        FocusCell(DisplColIndex(TRealCol(Col)).Value, Row);
    String t = s;
    // Both get the text as it was: with both on, the marked text wins.
    if (FCellChecker->GetUseCorrect())
        t = FCellChecker->Correct(Col, Row, s);
    if (FCellChecker->GetUseMarkError())
        t = FCellChecker->MarkError(Col, Row, s);
    SetCellEx(Col, Row, t);
    return t == s;
}

bool TDedOzovedUrad::CheckCells(int FromCol, int FromRow, int ToCol, int ToRow)
{
    if (!FCellChecker)
        return true;
    FCellChecker->StartCheck();
    const int WasCol = GetCol(), WasRow = GetRow();
    bool Passed = true;
    for (int r = FromRow; r <= ToRow && FCellChecker->GetLastResult() == mrOk; ++r)
        for (int c = FromCol; c <= ToCol && FCellChecker->GetLastResult() == mrOk; ++c)
            Passed = CheckCell(c, r) && Passed;
    FCellChecker->StopCheck();
    if (FCellChecker->GetGotoCell())
        FocusCell(WasCol, WasRow);
    return Passed;
}

bool TDedOzovedUrad::CheckCol(bool DoFixed, int Col)
{
    const TCellRange D = DoFixed ? WholeRange(*this, false) : DataRange(*this, false);
    return CheckCells(Col, D.Row1, Col, D.Row2);
}

bool TDedOzovedUrad::CheckRow(bool DoFixed, int Row)
{
    const TCellRange D = DoFixed ? WholeRange(*this, false) : DataRange(*this, false);
    return CheckCells(D.Col1, Row, D.Col2, Row);
}

bool TDedOzovedUrad::CheckGrid(bool DoFixed)
{
    const TCellRange D = DoFixed ? WholeRange(*this, false) : DataRange(*this, false);
    return CheckCells(D.Col1, D.Row1, D.Col2, D.Row2);
}

void TDedOzovedUrad::SetCellChecker(TDedOzovedUradCheck* Value)
{
    if (FCellChecker == Value)
        return;
    if (FCellChecker)
        FCellChecker->RemoveFreeNotification(this);
    FCellChecker = Value;
    if (FCellChecker) {
        FCellChecker->FreeNotification(this);
        FCellChecker->SetGrid(this);
    }
}

// ---- fills ----

namespace {

template<class Fn>
void FillRange(TDedOzovedUrad& G, bool DoFixed, Fn Value)
{
    const TCellRange R = DoFixed ? WholeRange(G, false) : DataRange(G, false);
    for (int r = R.Row1; r <= R.Row2; ++r)
        for (int c = R.Col1; c <= R.Col2; ++c)
            Value(c, r);
    G.CalcFooter(-1);
}

} // namespace

void TDedOzovedUrad::TextFill(bool DoFixed, const String& Txt)
{
    FillRange(*this, DoFixed, [&](int c, int r) { SetCellEx(c, r, Txt); });
}

void TDedOzovedUrad::FormatFill(bool DoFixed, const String& Fmt)
{
    FillRange(*this, DoFixed, [&](int c, int r) { SetCellEx(c, r, Format(Fmt, { c, r })); });
}

void TDedOzovedUrad::RandomFill(bool DoFixed, int Rnd)
{
    static std::minstd_rand Random(std::random_device {}());
    FillRange(*this, DoFixed, [&](int c, int r) {
        SetInts(c, r, Rnd > 0 ? int(Random() % unsigned(Rnd)) : 0);
    });
}

void TDedOzovedUrad::LinearFill(bool DoFixed)
{
    FillRange(*this, DoFixed, [&](int c, int r) { SetCellEx(c, r, IntToStr(c) + u":" + IntToStr(r)); });
}

// ---- print layout and version ----

int TDedOzovedUrad::GetPrintColWidth(int ACol)
{
    if (ACol < 0 || ACol >= GetAllColCount())
        throw ERirEvozError(u"Columns is not in valid range");
    return FDataViews->GetPrintColWidth(ACol);
}

int TDedOzovedUrad::GetPrintColOffset(int ACol)
{
    if (ACol < 0 || ACol >= GetAllColCount())
        throw ERirEvozError(u"Columns is not in valid range");
    return FDataViews->GetPrintColOffset(ACol);
}
