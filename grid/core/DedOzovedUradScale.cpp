// The grid's part of a scale change (a new screen resolution or the form's
// scaling) and the number value of a cell.

#include <charconv>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/LumStyles.h"

namespace {

int Scaled(int Value, int M, int D) { return int(RoundHalfEven(double(Value) * M / D)); }

// Where a number text of the form [sign] digits [. digits] [e [sign] digits]
// stops being one: 0 when all of it is, else the 1-based position of the
// first character that does not fit (one past the end when it ends early).
std::size_t NumberErrorPosition(StringView Text)
{
    std::size_t i = 0;
    const std::size_t n = Text.size();
    auto Digits = [&] {
        const std::size_t Start = i;
        while (i < n && Text[i] >= u'0' && Text[i] <= u'9')
            ++i;
        return i - Start;
    };
    if (i < n && (Text[i] == u'-' || Text[i] == u'+'))
        ++i;
    std::size_t Mantissa = Digits();
    if (i < n && Text[i] == u'.') {
        ++i;
        Mantissa += Digits();
    }
    if (Mantissa == 0)
        return i + 1;
    if (i < n && (Text[i] == u'e' || Text[i] == u'E')) {
        ++i;
        if (i < n && (Text[i] == u'-' || Text[i] == u'+'))
            ++i;
        if (Digits() == 0)
            return i + 1;
    }
    return i == n ? 0 : i + 1;
}

} // namespace

void TDedOzovedUrad::ChangeScale(int M, int D, bool isDpiChange)
{
    if ((M == 1 && D == 1) || D == 0) {
        TBaseGrid::ChangeScale(M, D, isDpiChange);
        return;
    }
    std::vector<int> Widths, Heights;
    for (int c = 0; c < GetColCount(); ++c)
        Widths.push_back(GetColWidths(c));
    for (int r = 0; r < GetRowCount(); ++r)
        Heights.push_back(GetRowHeights(r));
    const int DefaultHeight = GetDefaultRowHeight();
    const int MinHeight = FMinRowHeight;
    const int MaxHeight = FMaxRowHeight;

    TBaseGrid::ChangeScale(M, D, isDpiChange);

    for (int c = 0; c < int(Widths.size()); ++c)
        SetColWidths(c, Scaled(Widths[std::size_t(c)], M, D));
    // Hidden columns come back at the new scale too.
    for (int c = 0; c < GetAllColCount(); ++c)
        if (IsHiddenColumn(c))
            SetAllColWidths(c, Scaled(GetAllColWidths(c), M, D));

    if (isDpiChange) {
        auto ScaleFont = [&](TObject* Slot) {
            if (auto* Props = dynamic_cast<TCellProperties*>(Slot))
                Props->SetFontSize(Scaled(Props->GetFontSize(), M, D));
        };
        for (int r = 0; r < GetRowCount(); ++r)
            for (int c = 0; c < GetAllColCount(); ++c)
                ScaleFont(GetGridObject(c, r));
        for (int i = 0; i < FGridItems->Count(); ++i) {
            TStrings* Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->GetItems();
            for (int c = 0; c < Cells->GetCount(); ++c)
                ScaleFont(Cells->GetObjects(c));
        }
    }

    FDPIScale = ScaleFactorForControl(this, nullptr);
    FOldDPIScale = FDPIScale;

    SetDefaultRowHeight(Scaled(DefaultHeight, M, D));
    FMinRowHeight = Scaled(MinHeight, M, D);
    FMaxRowHeight = Scaled(MaxHeight, M, D);
    for (int r = 0; r < int(Heights.size()) && r < GetRowCount(); ++r)
        SetRowHeights(r, Scaled(Heights[std::size_t(r)], M, D));
    for (int i = 0; i < FGridItems->Count(); ++i) {
        auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i));
        Item->SetHeight(Scaled(Item->GetHeight(), M, D));
    }

    if (FSearchFooter->GetVisible())
        LayoutSearchPanel();
    if (OnChangeScale)
        OnChangeScale(this, float(FDPIScale));
}

double TDedOzovedUrad::CellToReal(int ACol, int ARow)
{
    const String Text = GetCellEx(ACol, ARow);
    if (Text.empty())
        return 0;
    const String Number = VuzEraz::ExtractNumberText(Text);
    if (const std::size_t Position = NumberErrorPosition(Number))
        throw ERirEvozError(u"Error at position: " + IntToStr(Int64(Position)) + u" in Cell [" + IntToStr(ACol) + u", "
            + IntToStr(ARow) + u"].");
    // The text is plain ASCII now; "+" is the one form from_chars refuses.
    std::string Ascii = StringToUtf8(Number);
    if (!Ascii.empty() && Ascii.front() == '+')
        Ascii.erase(0, 1);
    double Value = 0;
    const auto Result = std::from_chars(Ascii.data(), Ascii.data() + Ascii.size(), Value);
    if (Result.ec == std::errc::result_out_of_range)
        throw ERirEvozError(u"Error at position: 1 in Cell [" + IntToStr(ACol) + u", " + IntToStr(ARow) + u"].");
    return Value;
}
