#pragma once
// Lists of strings with an object per line: the abstract TStrings (text,
// comma/delimited text, name=value pairs, loading and saving with an
// encoding) and TStringList, its storage with sorting and duplicate rules.

#include <functional>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

class TStream;

class TStrings : public TPersistent {
    QT_CLASS(TStrings, TPersistent)
public:
    ~TStrings() override = default;

    virtual int GetCount() const = 0;
    String GetStrings(int index) const { return Get(index); }
    void SetStrings(int index, const String& s) { Put(index, s); }
    String operator[](int index) const { return Get(index); }
    TObject* GetObjects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* obj) { PutObject(index, obj); }

    virtual int Add(const String& s);
    virtual int AddObject(const String& s, TObject* obj);
    int AddPair(const String& name, const String& value) { return Add(name + FNameValueSeparator + value); }
    void Append(const String& s) { Add(s); }
    virtual void AddStrings(const TStrings& strings);
    virtual void Insert(int index, const String& s) = 0;
    void InsertObject(int index, const String& s, TObject* obj);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    virtual int IndexOf(const String& s) const;
    int IndexOfName(const String& name) const;
    int IndexOfObject(const TObject* obj) const;
    bool Equals(const TStrings& other) const;

    // Name=value lines. A line without the separator has an empty name and value.
    String GetNames(int index) const;
    String GetValues(const String& name) const;
    // An empty value deletes the line of that name.
    void SetValues(const String& name, const String& value);
    String GetValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const String& value);
    Char GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(Char c) { FNameValueSeparator = c; }

    // Lines joined with LineBreak (each line followed by one while
    // TrailingLineBreak is set). Setting splits at LineBreak; with the
    // default CR LF it also accepts lone CR and LF.
    virtual String GetText() const;
    virtual void SetText(const String& text);
    const String& GetLineBreak() const { return FLineBreak; }
    void SetLineBreak(const String& s) { FLineBreak = s; }
    bool GetTrailingLineBreak() const { return FTrailingLineBreak; }
    void SetTrailingLineBreak(bool b) { FTrailingLineBreak = b; }

    String GetCommaText() const;
    void SetCommaText(const String& text);
    String GetDelimitedText() const;
    void SetDelimitedText(const String& text);
    Char GetDelimiter() const { return FDelimiter; }
    void SetDelimiter(Char c) { FDelimiter = c; }
    Char GetQuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(Char c) { FQuoteChar = c; }
    bool GetStrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool b) { FStrictDelimiter = b; }

    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }

    void Assign(TPersistent* source) override;

    // Loading detects a byte-order mark unless `encoding` is given; without
    // one the bytes are read in DefaultEncoding. The encoding found becomes
    // Encoding, which saving uses when none is given.
    virtual void LoadFromStream(TStream& stream, TEncoding* encoding = nullptr);
    virtual void LoadFromFile(const String& fileName, TEncoding* encoding = nullptr);
    virtual void SaveToStream(TStream& stream, TEncoding* encoding = nullptr) const;
    virtual void SaveToFile(const String& fileName, TEncoding* encoding = nullptr) const;
    TEncoding* GetEncoding() const { return FEncoding; }
    TEncoding* GetDefaultEncoding() const { return FDefaultEncoding; }
    void SetDefaultEncoding(TEncoding* e) { FDefaultEncoding = e ? e : TEncoding::Default(); }
    bool GetWriteBOM() const { return FWriteBOM; }
    void SetWriteBOM(bool b) { FWriteBOM = b; }

protected:
    virtual String Get(int index) const = 0;
    virtual void Put(int index, const String& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* obj);
    // Called when the first BeginUpdate starts and the last EndUpdate ends.
    virtual void SetUpdateState(bool updating);
    virtual int CompareStrings(const String& a, const String& b) const;
    [[noreturn]] void Error(const String& message, int data) const;

    String ExtractName(const String& s) const;

private:
    String DelimitedTextWith(Char delimiter, Char quote, bool strict) const;
    void SetDelimitedTextWith(const String& text, Char delimiter, Char quote, bool strict);

private:
    Char FNameValueSeparator { u'=' };
    Char FDelimiter { u',' };
    Char FQuoteChar { u'"' };
    bool FStrictDelimiter { false };
    String FLineBreak { u"\r\n" };
    bool FTrailingLineBreak { true };
    int FUpdateCount { 0 };
    TEncoding* FEncoding { nullptr };
    TEncoding* FDefaultEncoding { TEncoding::Default() };
    bool FWriteBOM { true };
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
    QT_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    explicit TStringList(bool ownsObjects) : FOwnsObjects(ownsObjects) { }
    ~TStringList() override;

    int GetCount() const override { return int(FList.size()); }
    int Add(const String& s) override;
    int AddObject(const String& s, TObject* obj) override;
    void Insert(int index, const String& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const String& s) const override;
    void Assign(TPersistent* source) override;

    // Binary search of a sorted list: true when found; `index` is the first
    // matching line, or where `s` would be inserted.
    virtual bool Find(const String& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool sorted);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool b);
    // An owning list deletes the objects of the lines it deletes or replaces.
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool b) { FOwnsObjects = b; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    int CompareStrings(const String& a, const String& b) const override;

protected:
    String Get(int index) const override;
    void Put(int index, const String& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    void InsertItem(int index, const String& s, TObject* obj);

private:
    struct Item {
        String text;
        TObject* object { nullptr };
    };
    void CheckIndex(int index) const;
    void ExchangeItems(int index1, int index2);
    void QuickSort(int left, int right, const TStringListSortCompare& compare);

    std::vector<Item> FList;
    TDuplicates FDuplicates { dupIgnore };
    bool FSorted { false };
    bool FCaseSensitive { false };
    bool FOwnsObjects { false };
};
