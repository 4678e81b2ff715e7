// Column state: widths, order after column moves and hidden columns as one
// text ("n#widths#order#flags"), and widths and order under numbered keys in
// an ini file or the registry, as ColumnSize says.
//
// A state comes from outside (a setting the application stored, a registry
// value anyone may edit), so it is checked whole before anything changes:
// a damaged one raises (the text) or is passed over (the stored positions)
// with the grid as it was.

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/LumStyles.h"

namespace {

std::vector<String> SplitAt(const String& Text, Char Separator)
{
    std::vector<String> Parts;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t At = Text.find(Separator, Start);
        if (At == String::npos) {
            Parts.push_back(Text.substr(Start));
            return Parts;
        }
        Parts.push_back(Text.substr(Start, At - Start));
        Start = At + 1;
    }
}

[[noreturn]] void BadState(const String& Why) { throw ERirEvozError(u"Invalid column state: " + Why); }

// The comma-separated numbers of one part; an empty part is an empty list.
std::vector<int> NumberList(const String& Part, const char16_t* Name)
{
    std::vector<int> Numbers;
    if (Part.empty())
        return Numbers;
    for (const String& Item : SplitAt(Part, u',')) {
        Integer Value = 0;
        if (Item.empty() || !TryStrToInt(Item, Value))
            BadState(String(Name) + u" holds \"" + Item + u"\", which is no number");
        Numbers.push_back(Value);
    }
    return Numbers;
}

// An order list is sound when its first N entries other than -1 name
// distinct columns below N.
bool SoundOrder(const std::vector<int>& Order, int N)
{
    std::vector<bool> Seen(std::size_t(std::max(N, 0)), false);
    for (int i = 0; i < N && i < int(Order.size()); ++i) {
        const int Entry = Order[std::size_t(i)];
        if (Entry == -1)
            continue;
        if (Entry < 0 || Entry >= N || Seen[std::size_t(Entry)])
            return false;
        Seen[std::size_t(Entry)] = true;
    }
    return true;
}

// For every column index p below N (an index before any move), the
// positions at which Order holds p: the order turned inside out.
std::vector<int> InverseOrder(const std::vector<int>& Order, int N)
{
    std::vector<int> Inverse;
    for (int p = 0; p < N; ++p)
        for (int i = 0; i < int(Order.size()); ++i)
            if (Order[std::size_t(i)] == p)
                Inverse.push_back(i);
    if (int(Inverse.size()) > N)
        Inverse.resize(std::size_t(N));
    return Inverse;
}

// ColumnSize's store: an ini file named Key, kept in memory and written back
// at the end, or the registry key Key under the current user with Section as
// its subkey.
class TColumnStore {
public:
    TColumnStore(TColumnSize& Settings, bool Write) : FSection(Settings.GetSection())
    {
        if (Settings.GetLocation() == clIniFile) {
            FIni = std::make_unique<TMemIniFile>(Settings.GetKey());
            return;
        }
        FRegistry = std::make_unique<TRegistry>(Write ? KEY_ALL_ACCESS : KEY_READ);
        FRegistry->SetRootKey(HKEY_CURRENT_USER);
        String Path = Settings.GetKey();
        if (!Path.empty() && Path.back() != u'\\')
            Path += u'\\';
        Path += FSection;
        FOpen = Write ? FRegistry->OpenKey(Path, true) : FRegistry->OpenKeyReadOnly(Path);
        if (Write && !FOpen)
            throw ERegistryException(u"Cannot open the registry key " + Path);
    }

    std::optional<int> Read(const String& Name)
    {
        if (FIni) {
            if (!FIni->ValueExists(FSection, Name))
                return std::nullopt;
            Integer Value = 0;
            if (!TryStrToInt(Trim(FIni->ReadString(FSection, Name, String())), Value))
                return std::nullopt;
            return Value;
        }
        if (!FOpen || !FRegistry->ValueExists(Name))
            return std::nullopt;
        return FRegistry->ReadInteger(Name);
    }

    void Write(const String& Name, int Value)
    {
        if (FIni)
            FIni->WriteInteger(FSection, Name, Value);
        else
            FRegistry->WriteInteger(Name, Value);
    }

    void Commit()
    {
        if (FIni)
            FIni->UpdateFile();
    }

private:
    String FSection;
    std::unique_ptr<TMemIniFile> FIni;
    std::unique_ptr<TRegistry> FRegistry;
    bool FOpen { false };
};

bool StoreNamed(TDedOzovedUrad& Grid)
{
    const TColumnSize* Settings = Grid.GetColumnSize();
    return !Settings->GetKey().empty() && !Settings->GetSection().empty() && !Grid.IsDesigning();
}

// Widths are stored at 96 pixels per inch.
int StoredWidth(int Width, double Scale) { return int(RoundHalfEven(Width / Scale)); }
int ShownWidth(int Stored, double Scale) { return int(RoundHalfEven(Stored * Scale)); }

} // namespace

String TDedOzovedUrad::ColumnStatesToString()
{
    const int N = GetColCount() + NumHiddenColumns();
    String Widths, Order, Flags;
    for (int i = 0; i < N; ++i) {
        if (i > 0) {
            Widths += u',';
            Flags += u',';
        }
        Widths += IntToStr(i < GetColCount() ? GetColWidths(i) : GetDefaultColWidth());
        Flags += IsHiddenColumn(i) ? u"0" : u"1";
    }
    const int Recorded = FColumnOrder->Count();
    const int Entries = Recorded > 0 ? std::max(N, Recorded) : N;
    for (int i = 0; i < Entries; ++i) {
        if (i > 0)
            Order += u',';
        Order += IntToStr(i < Recorded ? FColumnOrder->GetInteger(i) : i);
    }
    return IntToStr(N) + u'#' + Widths + u'#' + Order + u'#' + Flags;
}

void TDedOzovedUrad::StringToColumnStates(const String& Value)
{
    if (Value.find(u'#') == String::npos)
        return;

    // The whole text first: nothing changes unless every part is sound.
    const std::vector<String> Parts = SplitAt(Value, u'#');
    if (Parts.size() != 4)
        BadState(u"it has " + IntToStr(Int64(Parts.size())) + u" parts instead of 4");
    Integer N = 0;
    if (!TryStrToInt(Parts[0], N) || N < 1)
        BadState(u"the column count \"" + Parts[0] + u"\" is no count");
    const std::vector<int> Widths = NumberList(Parts[1], u"the widths");
    const std::vector<int> Order = NumberList(Parts[2], u"the order");
    const std::vector<String> Flags = SplitAt(Parts[3], u',');
    if (int(Widths.size()) != N)
        BadState(u"it has " + IntToStr(Int64(Widths.size())) + u" widths for " + IntToStr(N) + u" columns");
    if (std::any_of(Widths.begin(), Widths.end(), [](int w) { return w < 0; }))
        BadState(u"a width is negative");
    if (!SoundOrder(Order, N))
        BadState(u"the order names a column twice or one that does not exist");
    if (int(Flags.size()) != N)
        BadState(u"it has " + IntToStr(Int64(Flags.size())) + u" visibility flags for " + IntToStr(N) + u" columns");
    if (std::any_of(Flags.begin(), Flags.end(), [](const String& f) { return f != u"0" && f != u"1"; }))
        BadState(u"a visibility flag is neither 0 nor 1");

    // The saved arrangement is made from the columns in their first order,
    // so moves made since are undone first.
    if (FColumnOrder->Count() > 0)
        ResetColumnOrder();
    FColumnOrder->Clear();
    UnHideColumnsAll();
    SetColCount(N);

    if (!Order.empty()) {
        std::vector<int> Saved;
        for (int i = 0; i < N && i < int(Order.size()); ++i)
            if (Order[std::size_t(i)] != -1)
                Saved.push_back(Order[std::size_t(i)]);
        FColumnOrder->SetValues(InverseOrder(Saved, N));
        if (FColumnOrder->Count() > 0)
            ResetColumnOrder();
        // Kept for a later ResetColumnOrder, which then brings back the
        // order before any move.
        FColumnOrder->SetValues(Saved);
    }

    for (int c = N - 1; c >= 0; --c)
        if (Flags[std::size_t(c)] == u"0")
            HideColumn(c);

    // Stretching waits until every width is in place.
    TColumnSize* Settings = GetColumnSize();
    const bool Stretch = Settings->GetStretch();
    Settings->SetStretch(false);
    if (Stretch) {
        const int Column = Settings->GetStretchColumn() == -1 ? GetColCount() - 1 : Settings->GetStretchColumn();
        if (Column >= 0 && Column < GetColCount())
            SetDefaultColWidth(GetColWidths(Column));
    }
    for (int i = 0; i < GetColCount(); ++i) {
        const int w = Widths[std::size_t(i)];
        if (w != 0)
            SetColWidths(i, w);
        else
            SuppressColumn(i);
    }
    Settings->SetStretch(Stretch);
}

void TDedOzovedUrad::WriteColSizes(double Scale)
{
    if (!StoreNamed(*this))
        return;
    if (Scale <= 0)
        Scale = FDPIScale == 0 ? 1.0 : FDPIScale;
    TColumnStore Store(*GetColumnSize(), true);
    for (int i = 0; i < GetColCount(); ++i)
        Store.Write(u"Col" + IntToStr(i), StoredWidth(GetColWidths(i), Scale));
    Store.Commit();
}

void TDedOzovedUrad::ReadColSizes(double Scale)
{
    if (!StoreNamed(*this))
        return;
    if (Scale <= 0)
        Scale = ScaleFactorForControl(this, GetCanvas());
    TColumnStore Store(*GetColumnSize(), false);
    for (int i = 0; i < GetColCount(); ++i) {
        const int Current = GetColWidths(i);
        const int w = ShownWidth(Store.Read(u"Col" + IntToStr(i)).value_or(Current), Scale);
        if (w != Current)
            SetColWidths(i, w);
    }
}

void TDedOzovedUrad::SaveColPositions()
{
    if (!StoreNamed(*this))
        return;
    TColumnStore Store(*GetColumnSize(), true);
    for (int i = 0; i < FColumnOrder->Count(); ++i)
        Store.Write(u"Pos" + IntToStr(i), FColumnOrder->GetInteger(i));
    Store.Commit();
}

void TDedOzovedUrad::LoadColPositions()
{
    if (!StoreNamed(*this))
        return;
    TColumnStore Store(*GetColumnSize(), false);
    const int N = GetColCount() + NumHiddenColumns();
    std::vector<int> Stored;
    for (int i = 0; i < N; ++i) {
        const std::optional<int> Position = Store.Read(u"Pos" + IntToStr(i));
        if (!Position)
            break;
        Stored.push_back(*Position);
    }
    // Nothing stored, or positions that name a column twice or one the
    // grid does not have: the order stays as it is.
    if (Stored.empty() || !SoundOrder(Stored, N))
        return;

    std::vector<int> Hidden;
    for (int c = 0; c < N; ++c)
        if (IsHiddenColumn(c))
            Hidden.push_back(c);
    if (FColumnOrder->Count() > 0)
        ResetColumnOrder();
    FColumnOrder->SetValues(InverseOrder(Stored, N));
    UnHideColumnsAll();
    if (FColumnOrder->Count() > 0)
        ResetColumnOrder();
    for (auto c = Hidden.rbegin(); c != Hidden.rend(); ++c)
        HideColumn(*c);
    FColumnOrder->SetValues(Stored);
}
