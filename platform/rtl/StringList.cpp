#include "platform/rtl/StringList.h"

#include <utility>

#include "platform/rtl/Streams.h"

QT_PUBLISHED(TStrings)
QT_PUBLISHED(TStringList)

namespace {

String intText(int v) { return Utf8ToString(std::to_string(v)); }

bool isBlank(Char c) { return c >= 1 && c <= u' '; }

// Quotes `s` with `quote`, doubling the quotes inside.
String quoted(const String& s, Char quote)
{
    String r(1, quote);
    for (Char c : s) {
        r.push_back(c);
        if (c == quote)
            r.push_back(quote);
    }
    r.push_back(quote);
    return r;
}

// Reads a quoted text starting at `pos` (on the opening quote); a doubled
// quote stands for one. Leaves `pos` after the closing quote.
String extractQuoted(const String& text, std::size_t& pos, Char quote)
{
    String r;
    ++pos;
    while (pos < text.size()) {
        Char c = text[pos++];
        if (c == quote) {
            if (pos < text.size() && text[pos] == quote) {
                r.push_back(quote);
                ++pos;
                continue;
            }
            break;
        }
        r.push_back(c);
    }
    return r;
}

// RAII bracket so an exception cannot leave a list in update mode.
class UpdateScope {
public:
    explicit UpdateScope(TStrings& s) : m_strings(s) { m_strings.BeginUpdate(); }
    ~UpdateScope() { m_strings.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TStrings& m_strings;
};

} // namespace

// ---- TStrings

void TStrings::Error(const String& message, int data) const
{
    String m = message;
    auto at = m.find(u"%d");
    if (at != String::npos)
        m.replace(at, 2, intText(data));
    throw EStringListError(m);
}

void TStrings::Put(int index, const String& s)
{
    TObject* obj = GetObject(index);
    UpdateScope scope(*this);
    Delete(index);
    InsertObject(index, s, obj);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) { }
void TStrings::SetUpdateState(bool) { }

int TStrings::CompareStrings(const String& a, const String& b) const { return CompareStringLocale(a, b, true); }

int TStrings::Add(const String& s)
{
    int at = GetCount();
    Insert(at, s);
    return at;
}

int TStrings::AddObject(const String& s, TObject* obj)
{
    int at = Add(s);
    PutObject(at, obj);
    return at;
}

void TStrings::AddStrings(const TStrings& strings)
{
    UpdateScope scope(*this);
    for (int i = 0; i < strings.GetCount(); ++i)
        AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::InsertObject(int index, const String& s, TObject* obj)
{
    Insert(index, s);
    PutObject(index, obj);
}

void TStrings::Exchange(int index1, int index2)
{
    UpdateScope scope(*this);
    String s1 = Get(index1), s2 = Get(index2);
    TObject* o1 = GetObject(index1);
    TObject* o2 = GetObject(index2);
    Put(index1, s2);
    Put(index2, s1);
    PutObject(index1, o2);
    PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    UpdateScope scope(*this);
    String s = Get(curIndex);
    TObject* obj = GetObject(curIndex);
    // Detach the object first so an owning list does not delete it.
    PutObject(curIndex, nullptr);
    Delete(curIndex);
    InsertObject(newIndex, s, obj);
}

int TStrings::IndexOf(const String& s) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

String TStrings::ExtractName(const String& s) const
{
    auto at = s.find(FNameValueSeparator);
    return at == String::npos ? String() : s.substr(0, at);
}

int TStrings::IndexOfName(const String& name) const
{
    for (int i = 0; i < GetCount(); ++i) {
        String s = Get(i);
        auto at = s.find(FNameValueSeparator);
        if (at != String::npos && CompareStrings(s.substr(0, at), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* obj) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == obj)
            return i;
    return -1;
}

bool TStrings::Equals(const TStrings& other) const
{
    if (GetCount() != other.GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != other.Get(i))
            return false;
    return true;
}

String TStrings::GetNames(int index) const { return ExtractName(Get(index)); }

String TStrings::GetValues(const String& name) const { return GetValueFromIndex(IndexOfName(name)); }

void TStrings::SetValues(const String& name, const String& value)
{
    int i = IndexOfName(name);
    if (!value.empty()) {
        if (i < 0)
            Add(name + FNameValueSeparator + value);
        else
            Put(i, name + FNameValueSeparator + value);
    } else if (i >= 0) {
        Delete(i);
    }
}

String TStrings::GetValueFromIndex(int index) const
{
    if (index < 0)
        return {};
    String s = Get(index);
    auto at = s.find(FNameValueSeparator);
    return at == String::npos ? String() : s.substr(at + 1);
}

void TStrings::SetValueFromIndex(int index, const String& value)
{
    if (!value.empty()) {
        if (index < 0)
            index = Add(String());
        Put(index, GetNames(index) + FNameValueSeparator + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

String TStrings::GetText() const
{
    String r;
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        r += Get(i);
        if (i + 1 < n || FTrailingLineBreak)
            r += FLineBreak;
    }
    return r;
}

void TStrings::SetText(const String& text)
{
    UpdateScope scope(*this);
    Clear();
    std::size_t pos = 0;
    const bool anyBreak = FLineBreak == u"\r\n";
    while (pos < text.size()) {
        std::size_t end;
        std::size_t next;
        if (anyBreak) {
            end = text.find_first_of(u"\r\n", pos);
            next = end == String::npos ? end : end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
        } else if (FLineBreak.empty()) {
            end = next = String::npos;
        } else {
            end = text.find(FLineBreak, pos);
            next = end == String::npos ? end : end + FLineBreak.size();
        }
        if (end == String::npos) {
            Add(text.substr(pos));
            break;
        }
        Add(text.substr(pos, end - pos));
        pos = next;
    }
}

String TStrings::GetDelimitedText() const { return DelimitedTextWith(FDelimiter, FQuoteChar, FStrictDelimiter); }

void TStrings::SetDelimitedText(const String& text) { SetDelimitedTextWith(text, FDelimiter, FQuoteChar, FStrictDelimiter); }

String TStrings::GetCommaText() const { return DelimitedTextWith(u',', u'"', false); }

void TStrings::SetCommaText(const String& text) { SetDelimitedTextWith(text, u',', u'"', false); }

String TStrings::DelimitedTextWith(Char delimiter, Char quote, bool strict) const
{
    int n = GetCount();
    if (n == 1 && Get(0).empty())
        return String(2, quote);
    String r;
    for (int i = 0; i < n; ++i) {
        String s = Get(i);
        bool needsQuotes = false;
        for (Char c : s)
            if (c == 0 || c == quote || c == delimiter || (!strict && c <= u' ')) {
                needsQuotes = true;
                break;
            }
        if (i > 0)
            r.push_back(delimiter);
        r += needsQuotes ? quoted(s, quote) : s;
    }
    return r;
}

void TStrings::SetDelimitedTextWith(const String& text, Char delimiter, Char quote, bool strict)
{
    UpdateScope scope(*this);
    Clear();
    std::size_t p = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        if (!strict)
            while (p < n && isBlank(text[p]))
                ++p;
    };
    skipBlanks();
    while (p < n) {
        String s;
        if (text[p] == quote) {
            s = extractQuoted(text, p, quote);
        } else {
            std::size_t start = p;
            while (p < n && text[p] != delimiter && (strict || text[p] > u' '))
                ++p;
            s = text.substr(start, p - start);
        }
        Add(s);
        skipBlanks();
        if (p < n && text[p] == delimiter) {
            // A delimiter at the very end stands before one more, empty, item.
            if (p + 1 == n)
                Add(String());
            ++p;
            skipBlanks();
        }
    }
}

void TStrings::BeginUpdate()
{
    // The state changes before the count, so OnChanging still fires.
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TStrings*>(source);
    if (!other) {
        Inherited::Assign(source);
        return;
    }
    if (other == this)
        return;
    UpdateScope scope(*this);
    Clear();
    FNameValueSeparator = other->FNameValueSeparator;
    FDelimiter = other->FDelimiter;
    FQuoteChar = other->FQuoteChar;
    FStrictDelimiter = other->FStrictDelimiter;
    FLineBreak = other->FLineBreak;
    FTrailingLineBreak = other->FTrailingLineBreak;
    FDefaultEncoding = other->FDefaultEncoding;
    FWriteBOM = other->FWriteBOM;
    AddStrings(*other);
}

void TStrings::LoadFromStream(TStream& stream, TEncoding* encoding)
{
    Int64 size = stream.GetSize() - stream.GetPosition();
    TBytes bytes;
    if (size > 0)
        stream.ReadBuffer(bytes, size);
    int preamble = TEncoding::GetBufferEncoding(bytes, encoding, FDefaultEncoding);
    FEncoding = encoding;
    SetText(encoding->GetString(bytes, std::size_t(preamble), bytes.size() - std::size_t(preamble)));
}

void TStrings::LoadFromFile(const String& fileName, TEncoding* encoding)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file, encoding);
}

void TStrings::SaveToStream(TStream& stream, TEncoding* encoding) const
{
    if (!encoding)
        encoding = FEncoding ? FEncoding : FDefaultEncoding;
    if (FWriteBOM)
        stream.WriteBuffer(encoding->GetPreamble());
    stream.WriteBuffer(encoding->GetBytes(GetText()));
}

void TStrings::SaveToFile(const String& fileName, TEncoding* encoding) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file, encoding);
}

// ---- TStringList

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& item : FList)
            delete std::exchange(item.object, nullptr);
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= GetCount())
        Error(u"List index out of bounds (%d)", index);
}

String TStringList::Get(int index) const
{
    CheckIndex(index);
    return FList[std::size_t(index)].text;
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return FList[std::size_t(index)].object;
}

void TStringList::Changing()
{
    if (GetUpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (GetUpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const String& a, const String& b) const
{
    return CompareStringLocale(a, b, !FCaseSensitive);
}

bool TStringList::Find(const String& s, int& index) const
{
    bool found = false;
    int lo = 0, hi = GetCount() - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = CompareStrings(FList[std::size_t(mid)].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                // Only a list that keeps duplicates needs the first of them.
                if (FDuplicates != dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

int TStringList::IndexOf(const String& s) const
{
    if (!FSorted)
        return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

int TStringList::Add(const String& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const String& s, TObject* obj)
{
    int index;
    if (!FSorted) {
        index = GetCount();
    } else if (Find(s, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            Error(u"String list does not allow duplicates", 0);
    }
    InsertItem(index, s, obj);
    return index;
}

void TStringList::Insert(int index, const String& s)
{
    if (FSorted)
        Error(u"Operation not allowed on sorted list", 0);
    if (index < 0 || index > GetCount())
        Error(u"List index out of bounds (%d)", index);
    InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const String& s, TObject* obj)
{
    Changing();
    FList.insert(FList.begin() + index, Item { s, obj });
    Changed();
}

void TStringList::Put(int index, const String& s)
{
    if (FSorted)
        Error(u"Operation not allowed on sorted list", 0);
    CheckIndex(index);
    Changing();
    FList[std::size_t(index)].text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* obj)
{
    CheckIndex(index);
    Changing();
    TObject* old = std::exchange(FList[std::size_t(index)].object, obj);
    if (FOwnsObjects && old != obj)
        delete old;
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    TObject* obj = FList[std::size_t(index)].object;
    FList.erase(FList.begin() + index);
    if (FOwnsObjects)
        delete obj;
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<Item> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (auto& item : old)
            delete item.object;
    Changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    // Checked up front: a sorted list must not lose the line half-way.
    if (FSorted)
        Error(u"Operation not allowed on sorted list", 0);
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex)
        return;
    Changing();
    Item item = std::move(FList[std::size_t(curIndex)]);
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, std::move(item));
    Changed();
}

void TStringList::ExchangeItems(int index1, int index2)
{
    std::swap(FList[std::size_t(index1)], FList[std::size_t(index2)]);
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    ExchangeItems(index1, index2);
    Changed();
}

void TStringList::QuickSort(int left, int right, const TStringListSortCompare& compare)
{
    while (left < right) {
        int i = left, j = right, pivot = left + (right - left) / 2;
        do {
            // The bounds guard keeps an inconsistent comparer inside the list.
            while (i < right && compare(this, i, pivot) < 0)
                ++i;
            while (j > left && compare(this, j, pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    ExchangeItems(i, j);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        // Recurse into the smaller part so the depth stays logarithmic.
        if (j - left < right - i) {
            if (left < j)
                QuickSort(left, j, compare);
            left = i;
        } else {
            if (i < right)
                QuickSort(i, right, compare);
            right = j;
        }
    }
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (FSorted || GetCount() < 2)
        return;
    Changing();
    QuickSort(0, GetCount() - 1, compare);
    Changed();
}

void TStringList::Sort()
{
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->FList[std::size_t(a)].text, list->FList[std::size_t(b)].text);
    });
}

void TStringList::SetSorted(bool sorted)
{
    if (FSorted == sorted)
        return;
    if (sorted)
        Sort();
    FSorted = sorted;
}

void TStringList::SetCaseSensitive(bool b)
{
    if (FCaseSensitive == b)
        return;
    FCaseSensitive = b;
    if (FSorted) {
        FSorted = false;
        Sort();
        FSorted = true;
    }
}

void TStringList::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TStringList*>(source); other && other != this) {
        // Sorting rules first, so the lines arrive in the source's order
        // without being re-sorted under different rules.
        Clear();
        FSorted = false;
        FCaseSensitive = other->FCaseSensitive;
        FDuplicates = other->FDuplicates;
        TStrings::Assign(source);
        FSorted = other->FSorted;
        // Ownership is not copied: two lists must never delete the same objects.
        return;
    }
    TStrings::Assign(source);
}
