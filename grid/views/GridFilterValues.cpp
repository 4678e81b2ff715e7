// The filter lists' data side: a column's distinct values collected into
// FilterList, and a chosen (or checked) value turned into the column's
// filter condition and applied.

#include <algorithm>
#include <unordered_set>

#include "grid/core/GridFilterList.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The value as a filter condition that matches it as typed: quoted by the
// rule every typed condition follows (a blank or an operator character).
String QuotedCondition(const String& Value)
{
    TFilterData Condition;
    Condition.SetFilterType(ftEqual);
    Condition.BuildCondition(Value);
    return Condition.GetCondition();
}

// The entry FilterList gets for a trimmed cell text: the text, or the text
// and, after a tab, the condition that matches it when the two differ.
String FilterEntry(const String& Text, bool Expression)
{
    if (Text.empty())
        return u"\t\"\"";
    if (!Expression)
        return Text;
    String Condition = QuotedCondition(Text);
    if (Condition == Text)
        return Text;
    return Text + u"\t" + Condition;
}

String BeforeTab(const String& Value)
{
    const auto Tab = Value.find(u'\t');
    return Tab == String::npos ? Value : Value.substr(0, Tab);
}

bool HoldsAny(const String& Value, StringView Chars) { return Value.find_first_of(Chars) != String::npos; }

String Enquoted(const String& Value) { return u"\"" + Value + u"\""; }

} // namespace

int TGridDataViews::CompareFilterValues(const String& A, const String& B)
{
    // The empty cell's entry (it shows empty) comes after every value.
    const bool EmptyA = !A.empty() && A.front() == u'\t';
    const bool EmptyB = !B.empty() && B.front() == u'\t';
    if (EmptyA || EmptyB)
        return EmptyA == EmptyB ? StrCmpLogicalW(A, B) : EmptyA ? 1 : -1;
    double a = 0, b = 0;
    if (TryStrToFloat(A, a) && TryStrToFloat(B, b))
        return a > b ? 1 : a < b ? -1 : 0;
    return StrCmpLogicalW(A, B);
}

bool TGridDataViews::CollectFilterValues(int ACol, bool StopAtFirst, bool IncludeHidden)
{
    TStringList* List = G.GetFilterList();
    if (G.GetBlockFilterUpdate())
        return List->GetCount() > 0;
    TFilterDropDown* Settings = G.GetFilterDropDown();
    List->Clear();
    List->SetCaseSensitive(Settings->GetCaseSensitive());
    List->SetSorted(false);

    const bool Auto = G.GetFilterDropDownAuto();
    std::vector<String> Values;
    if (Auto && ACol >= 0 && ACol < G.GetAllColCount()
        && (ACol >= G.GetFixedCols() || G.GetFilterDropDownColumns() == fdAll)) {
        const String& TextChecked = Settings->GetTextChecked();
        const String& TextUnChecked = Settings->GetTextUnChecked();
        const bool Mapped = G.IsDataCheckBoxColumn(ACol) && !TextChecked.empty() && !TextUnChecked.empty();
        const bool Expression = Settings->GetMethod() == fmExpression;
        // Values differing in case only are listed once (the first found),
        // whatever the list's own case rule.
        std::unordered_set<String> Folded;
        bool Stop = false;
        if (Mapped) {
            Values = { TextChecked, TextUnChecked };
        } else {
            const bool Plain = Settings->GetIgnoreHTML();
            const int Last = G.GetRowCount() - G.GetFixedFooters() - 1;
            const bool Nodes = G.HasNodes();
            for (int r = G.GetFixedRows(); r <= Last && !Stop; ++r) {
                if (Nodes && IsNode(r))
                    continue;
                String Text = G.GetCellEx(ACol, r);
                if (Plain && (Text.find(u'<') != String::npos || Text.find(u'&') != String::npos
                                 || Text.find(u"{\\") != String::npos))
                    Text = G.GetStrippedCells(ACol, r);
                String Entry = FilterEntry(Trim(Text), Expression);
                if (Folded.insert(AnsiUpperCase(Entry)).second) {
                    Values.push_back(std::move(Entry));
                    Stop = StopAtFirst;
                }
            }
        }
        if (!Stop && (IncludeHidden || (!G.GetFilterIncremental() && !Mapped))) {
            // The list's own rule for the rows kept out of view.
            const bool Case = Settings->GetCaseSensitive();
            std::unordered_set<String> Held;
            for (const String& v : Values)
                Held.insert(Case ? v : AnsiUpperCase(v));
            TCollection* Store = G.GetGridItems();
            for (int i = 0; i < Store->GetCount() && !Stop; ++i) {
                auto* Item = static_cast<TGridItem*>(Store->GetItem(i));
                TStrings* Cells = Item->GetItems();
                String Text = ACol >= 0 && ACol < Cells->GetCount() ? Trim(Cells->GetStrings(ACol)) : String();
                if (G.OnGetDisplText)
                    G.OnGetDisplText(&G, ACol, Item->GetIdx(), Text);
                if (Mapped && (Text == G.GetCheckTrue() || Text == G.GetCheckFalse()))
                    continue;
                String Entry = FilterEntry(Text, Expression);
                if (Held.insert(Case ? Entry : AnsiUpperCase(Entry)).second) {
                    Values.push_back(std::move(Entry));
                    Stop = StopAtFirst;
                }
            }
        }
    }
    if (Settings->GetSorted())
        std::stable_sort(Values.begin(), Values.end(),
            [](const String& a, const String& b) { return CompareFilterValues(a, b) < 0; });
    List->BeginUpdate();
    for (const String& v : Values)
        List->Add(v);
    if (Auto) {
        if (!G.GetFilterDropDownCheck() && !G.GetFilterDropDownClear().empty())
            List->Insert(0, G.GetFilterDropDownClear());
        if (G.GetFilterDropDownCheck() && !G.GetFilterDropDownCheckUnCheckAll().empty())
            List->Insert(0, G.GetFilterDropDownCheckUnCheckAll());
    }
    List->EndUpdate();
    if (G.OnGetColumnFilter)
        G.OnGetColumnFilter(&G, ACol, List);
    return List->GetCount() > 0;
}

void TGridDataViews::ApplySelectedFilterValue(TObject*, int ItemIndex)
{
    struct TResetFilterCol {
        TDedOzovedUrad& G;
        ~TResetFilterCol() { G.SetFilterCol(-1); }
    } Reset { G };
    if (G.CanFocus())
        G.SetFocus();
    const int Col = G.GetFilterCol();
    if (Col < 0 || Col >= G.GetAllColCount() || ItemIndex < 0
        || ItemIndex >= G.GetDropList()->GetItems()->GetCount())
        return;
    CollectFilterValues(Col, false, false);
    TStringList* List = G.GetFilterList();
    if (ItemIndex >= List->GetCount())
        return;
    String Value = List->GetStrings(ItemIndex);
    const String FriendlyName = BeforeTab(Value);
    TFilterDropDown* Settings = G.GetFilterDropDown();
    if (G.IsDataCheckBoxColumn(Col)) {
        if (Value == Settings->GetTextChecked())
            Value = G.CheckTrueValue(Col);
        else if (Value == Settings->GetTextUnChecked())
            Value = G.CheckFalseValue(Col);
    }
    if (G.GetAutoFilterUpdate())
        G.SetFilterActive(false);

    // An entry with a tab carries its own condition, ready for use; a plain
    // entry is a value (or an expression an application listed).
    const auto Tab = Value.find(u'\t');
    const bool Ready = Tab != String::npos;
    if (Ready) {
        Value = Value.substr(Tab + 1);
    } else {
        if (Value == G.GetFilterDropDownClear())
            Value.clear();
        Value = VuzEraz::UnquoteText(Value);
    }
    const String Given = Value;
    if (G.OnFilterSelect)
        G.OnFilterSelect(&G, Col, ItemIndex, FriendlyName, Value);
    if (!Ready && Value == Given && Settings->GetMethod() == fmExpression && !HoldsAny(Value, u"<>=!")
        && HoldsAny(Value, u"& ") && (Value.empty() || Value.front() != u'"'))
        Value = Enquoted(Value);

    TFilter* Filter = G.GetFilter();
    if (!G.GetFilterDropDownMultiCol())
        Filter->Clear();
    if (!Value.empty()) {
        TFilterData* Condition = Filter->GetColumnFilter(Col);
        Condition->SetFriendlyName(FriendlyName);
        Condition->SetCondition(Value);
    } else {
        Filter->RemoveColumnFilter(Col);
    }
    if (G.GetAutoFilterUpdate()) {
        if (G.OnBeforeFilter)
            G.OnBeforeFilter(&G);
        G.SetFixedRowAlways(true);
        G.SetFilterActive(true);
        if (G.GetRowCount() != G.GetFixedRows() && G.GetRowCount() != 1)
            G.SetRow(G.GetFixedRows());
        if (G.OnFilterDone)
            G.OnFilterDone(&G);
    }
}

void TGridDataViews::ApplyCheckedFilterValues(TObject*, int ItemIndex)
{
    TDropCheckList* Check = G.GetDropCheckList();
    TStrings* Items = Check->GetItems();
    const int Col = G.GetFilterCol();
    if (ItemIndex < 0 || ItemIndex >= Items->GetCount() || Col < 0 || Col >= G.GetAllColCount())
        return;
    if (G.OnFilterCheckMouseDown)
        G.OnFilterCheckMouseDown(&G, Col, ItemIndex, Check->GetChecked(ItemIndex), Check);
    CollectFilterValues(Col, false, false);
    if (G.GetAutoFilterUpdate())
        G.SetFilterActive(false);

    TFilter* Filter = G.GetFilter();
    if (G.GetFilterDropDownMultiCol()) {
        for (int i = Filter->GetCount() - 1; i >= 0; --i)
            if (Filter->GetItem(i)->GetColumn() == Col)
                Filter->Delete(i);
    } else {
        Filter->Clear();
    }

    const String& CheckAll = G.GetFilterDropDownCheckUnCheckAll();
    bool AllChecked = false;
    if (G.GetFilterDropDownAuto()) {
        int Start = 0;
        if (!CheckAll.empty()) {
            if (ItemIndex > 0 && !Check->GetChecked(ItemIndex))
                Check->SetChecked(0, false);
            Start = 1;
        }
        AllChecked = true;
        for (int i = Start; i < Items->GetCount(); ++i)
            if (!Check->GetChecked(i)) {
                AllChecked = false;
                break;
            }
    }
    if (Check->GetItemIndex() == 0 && !CheckAll.empty() && Items->GetStrings(ItemIndex) == CheckAll)
        for (int i = 1; i < Items->GetCount(); ++i)
            Check->SetChecked(i, Check->GetChecked(0));
    if (G.OnFilterCheckClick)
        G.OnFilterCheckClick(&G, Col, ItemIndex, Check->GetChecked(ItemIndex), Check);

    TStringList* List = G.GetFilterList();
    TFilterDropDown* Settings = G.GetFilterDropDown();
    const bool Incremental = G.GetFilterIncremental();
    const bool Expression = Settings->GetMethod() == fmExpression;
    const bool CheckBoxes = G.IsDataCheckBoxColumn(Col);
    String ConditionText, NameText;
    if (!AllChecked) {
        for (int i = 0; i < Items->GetCount(); ++i) {
            if (!Check->GetChecked(i) || (i >= List->GetCount() && !Incremental))
                continue;
            String Value = Incremental ? Items->GetStrings(i) : List->GetStrings(i);
            if (CheckBoxes) {
                if (Value == Settings->GetTextChecked())
                    Value = G.CheckTrueValue(Col);
                else if (Value == Settings->GetTextUnChecked())
                    Value = G.CheckFalseValue(Col);
            }
            const String FriendlyName = BeforeTab(Value);
            if (Value.empty() || Value == u" ")
                Value = u"\"\"";
            const auto Tab = Value.find(u'\t');
            if (Tab != String::npos) {
                Value = Value.substr(Tab + 1);
            } else if (Expression && Value != u"\"\"") {
                // The item texts of an incremental list are cell values:
                // quoted as the collected values are.
                if (Incremental)
                    Value = QuotedCondition(Value);
                else if (HoldsAny(Value, u"&() "))
                    Value = Enquoted(Value);
            }
            if ((!G.GetFilterDropDownClear().empty() && FriendlyName == G.GetFilterDropDownClear())
                || (!CheckAll.empty() && FriendlyName == CheckAll))
                Value.clear();
            if (G.OnFilterCheck)
                G.OnFilterCheck(&G, Col, i, FriendlyName, Value, Check);
            if (Value.empty() && FriendlyName == CheckAll && !CheckAll.empty())
                continue;
            // A name that holds "|" itself is quoted, so the list can tell
            // its parts apart when it opens again.
            const String Name = FriendlyName.find(u'|') != String::npos ? Enquoted(FriendlyName) : FriendlyName;
            ConditionText = ConditionText.empty() ? Value : ConditionText + u"|" + Value;
            NameText = NameText.empty() ? Name : NameText + u"|" + Name;
        }
    }
    if (!ConditionText.empty()) {
        TFilterData* Condition = Filter->Add();
        Condition->SetColumn(Col);
        Condition->SetCondition(ConditionText);
        Condition->SetFriendlyName(NameText);
        Condition->SetCaseSensitive(Settings->GetCaseSensitive());
        Condition->SetMethod(ConditionText.find(u"</") != String::npos || Settings->GetMethod() == fmLiteral ? fmLiteral
                                                                                                              : fmExpression);
    }
    if (Filter->GetCount() > 0 && G.OnBeforeFilter)
        G.OnBeforeFilter(&G);
    G.SetFilterActive(Filter->GetCount() > 0);
    if (G.OnFilterDone)
        G.OnFilterDone(&G);
    Check->Invalidate();
}
