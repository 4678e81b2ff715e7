// The filter row's value list: filled from FilterList, checked from the
// column's conditions, sized, placed under the filter button and shown.

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridFilterList.h"
#include "platform/rtl/MathUtils.h"
#include "platform/win/System.h"

namespace {

// The display part of a FilterList entry: up to its first tab.
String DisplayPart(const String& Entry)
{
    const auto Tab = Entry.find(u'\t');
    return Tab == String::npos ? Entry : Entry.substr(0, Tab);
}

// The "|"-separated parts of a condition's friendly name, sorted; a "|"
// inside double quotes belongs to its part (a value that holds one).
std::vector<String> FriendlyParts(const String& Name)
{
    std::vector<String> Parts;
    String Part;
    bool Quoted = false;
    for (Char Ch : Name) {
        if (Ch == u'"')
            Quoted = !Quoted;
        if (Ch == u'|' && !Quoted) {
            Parts.push_back(std::move(Part));
            Part.clear();
        } else {
            Part += Ch;
        }
    }
    Parts.push_back(std::move(Part));
    std::sort(Parts.begin(), Parts.end());
    return Parts;
}

// The canvas width of the widest text. Shaping every text of a long list
// costs far more than the list itself, so each text's width is first
// estimated from cached character advances (at a tenth of a pixel) and
// only the texts that estimate widest are measured exactly; they differ
// from the estimate by kerning only, a pixel or so.
int WidestTextWidth(TCanvas* Canvas, const std::vector<String>& Texts)
{
    constexpr std::size_t Exact = 64;
    if (Texts.size() <= Exact) {
        int w = 0;
        for (const String& t : Texts)
            w = std::max(w, Canvas->TextWidth(t));
        return w;
    }
    std::unordered_map<char16_t, double> Advance;
    auto CharWidthOf = [&](char16_t Ch) {
        auto It = Advance.find(Ch);
        if (It == Advance.end())
            It = Advance.emplace(Ch, Canvas->TextWidth(String(10, Ch)) / 10.0).first;
        return It->second;
    };
    std::vector<double> Estimate(Texts.size());
    for (std::size_t i = 0; i < Texts.size(); ++i)
        for (char16_t Ch : Texts[i])
            Estimate[i] += CharWidthOf(Ch);
    std::vector<std::size_t> Order(Texts.size());
    std::iota(Order.begin(), Order.end(), std::size_t(0));
    std::partial_sort(Order.begin(), Order.begin() + Exact, Order.end(),
        [&](std::size_t a, std::size_t b) { return Estimate[a] > Estimate[b]; });
    int w = 0;
    for (std::size_t k = 0; k < Exact; ++k)
        w = std::max(w, Canvas->TextWidth(Texts[Order[k]]));
    return w;
}

} // namespace

void TDedOzovedUrad::ShowFilterDropDown(int ACol)
{
    FFilterCol = RealColIndex(TDisplayCol(ACol)).Value;
    CollectFilterValues(FFilterCol, false, false);
    BuildFilterList(ACol, FFilterDropDownRow);
}

void TDedOzovedUrad::BuildFilterList(int ACol, int ARow)
{
    const TRect r = CellRect(ACol, ARow);
    const bool Check = GetFilterDropDownCheck();
    TCustomListBox* L = Check ? static_cast<TCustomListBox*>(FDropCheckList) : static_cast<TCustomListBox*>(FDropList);
    TFilterDropDown* Settings = FFilterDropDown.get();
    const int FontHeight = int(RoundHalfEven(Settings->GetFont()->GetHeight() * FDPIScale));

    L->SetColor(Settings->GetColor());
    L->GetFont()->Assign(Settings->GetFont());
    L->GetFont()->SetHeight(FontHeight);
    TCanvas* Canvas = L->GetCanvas();
    Canvas->GetFont()->Assign(Settings->GetFont());
    Canvas->GetFont()->SetHeight(FontHeight);

    // The conditions of this column, each as the sorted parts of its
    // friendly name.
    std::vector<std::vector<String>> Conditions;
    if (Check)
        for (int i = 0; i < FFilter->GetCount(); ++i)
            if (FFilter->GetItem(i)->GetColumn() == FFilterCol)
                Conditions.push_back(FriendlyParts(FFilter->GetItem(i)->GetFriendlyName()));
    auto Holds = [](const std::vector<String>& Parts, const String& t) {
        return std::binary_search(Parts.begin(), Parts.end(), t);
    };

    TStrings* Items = L->GetItems();
    Items->BeginUpdate();
    Items->Clear();
    const bool AutoSize = Settings->GetAutoSize();
    std::vector<String> Shown;
    Shown.reserve(std::size_t(FFilterList->GetCount()));
    const String& TextChecked = Settings->GetTextChecked();
    const String& TextUnChecked = Settings->GetTextUnChecked();
    for (int i = 0; i < FFilterList->GetCount(); ++i) {
        Shown.push_back(DisplayPart(FFilterList->GetStrings(i)));
        const String& t = Shown.back();
        const int Index = Items->Add(t);
        if (!Check) {
            if (Index == 0)
                L->SetItemIndex(0);
            continue;
        }
        if (Conditions.empty())
            continue;
        // The value as the friendly name holds it: a check-box column's
        // texts stand for the stored check values. Names the list itself
        // built hold the value as shown; names set otherwise may hold a
        // value with a space in double quotes: both are recognised.
        const String& Value = (!TextChecked.empty() && t == TextChecked) ? GetCheckTrue()
            : (!TextUnChecked.empty() && t == TextUnChecked)            ? GetCheckFalse()
                                                                        : t;
        const bool Spaced = Value.find_first_of(u" |") != String::npos;
        for (const auto& Parts : Conditions)
            if (Holds(Parts, Value) || (Spaced && Holds(Parts, u"\"" + Value + u"\""))) {
                FDropCheckList->SetChecked(Index, true);
                break;
            }
    }
    Items->EndUpdate();
    int w = 0;
    if (AutoSize && !Shown.empty())
        w = WidestTextWidth(Canvas, Shown) + (Check ? 24 : 8);

    if (AutoSize) {
        // Columns out of view leave room for the horizontal scroll bar.
        int Avail = GetHeight() - GetRowHeights(0);
        if (GetVisibleColCount() + GetFixedCols() < GetColCount())
            Avail -= GetSystemMetrics(SM_CYHSCROLL);
        const int Need = 2 * GetSystemMetrics(SM_CYEDGE) + Items->GetCount() * L->GetItemHeight();
        if (Avail < Need)
            w += GetSystemMetrics(SM_CXVSCROLL);
        L->SetHeight(std::min(Avail, Need));
        L->SetWidth(2 * GetSystemMetrics(SM_CXEDGE) + w);
    } else {
        L->SetWidth(Settings->GetWidth());
        L->SetHeight(Settings->GetHeight());
    }

    // Under the button (its 16 pixels are not scaled).
    L->SetTop(r.Top + 16);
    L->SetLeft(UseRightToLeftAlignment() ? r.Left : r.Right - 16);
    if (Settings->GetColumnWidth()) {
        L->SetWidth(r.Right - r.Left);
        L->SetLeft(r.Left);
    }

    bool Allow = true;
    DoFilterShow(ACol, Allow);
    if (!Allow)
        return;
    if (L->GetLeft() + L->GetWidth() > GetWidth())
        L->SetLeft(std::max(0, CellRect(ACol, 0).Right - L->GetWidth()));
    (Check ? static_cast<TCustomListBox*>(FDropList) : static_cast<TCustomListBox*>(FDropCheckList))->SetVisible(false);
    L->SetParent(this);
    L->SetVisible(true);
    L->BringToFront();
    if (L->CanFocus())
        L->SetFocus();
}

void TDedOzovedUrad::FilterListClose(TObject*)
{
    if (CanFocus())
        SetFocus();
}

bool TDedOzovedUrad::FilterListShowing() const
{
    return (FDropList && FDropList->GetVisible()) || (FDropCheckList && FDropCheckList->GetVisible());
}
