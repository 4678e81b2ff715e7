#pragma once
// The grid's filter: an ordered collection of conditions, each naming a
// column, a condition in the filter expression language and how it combines
// with the conditions before it.

#include "platform/rtl/Collection.h"
#include "platform/rtl/TypInfo.h"

class IGridHost;

enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
QT_ENUM(TFilterOperation, foSHORT, foNONE, foAND, foXOR, foOR)
// Which text of the cell is tested.
enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
QT_ENUM(TFilterCells, fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow)
enum TFilterMethod { fmExpression, fmLiteral };
QT_ENUM(TFilterMethod, fmExpression, fmLiteral)
enum TFilterType {
    ftStartsWith, ftEndsWith, ftContains, ftNotContains, ftEqual, ftNotEqual, ftLargerThan, ftSmallerThan, ftClear, ftNone
};
QT_ENUM(TFilterType, ftStartsWith, ftEndsWith, ftContains, ftNotContains, ftEqual, ftNotEqual, ftLargerThan, ftSmallerThan,
    ftClear, ftNone)

class TFilterData : public TCollectionItem {
    QT_CLASS(TFilterData, TCollectionItem)
public:
    explicit TFilterData(TCollection* ACollection = nullptr) : TCollectionItem(ACollection) { }

    // Copies Column, Condition, CaseSensitive, Data, Prefix, Suffix,
    // Operation and RemoveAccented; any source other than a TFilterData
    // raises EInvalidCast.
    void Assign(TPersistent* Source) override;
    // Condition from a value and the FilterType. A value holding a blank or a
    // character the expression language would read ("&", "|", ";", "^", "<",
    // ">", "(", ")", "!", a double quote, or a leading "=") is put in double
    // quotes with inner quotes doubled. Quotes cannot neutralise "*" and "?",
    // nor a "!" when the condition does not start with the quote (ftContains,
    // ftEndsWith, ftNotContains, ftNotEqual): the matcher keeps their meaning
    // inside quotes, so such values match like patterns.
    void BuildCondition(const String& s);

    // Widened from 16 bits: a grid may have more columns than that.
    int GetColumn() const { return FColumn; }
    void SetColumn(int v) { FColumn = v; }
    const String& GetCondition() const { return FCondition; }
    void SetCondition(const String& v) { FCondition = v; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    const String& GetSuffix() const { return FSuffix; }
    void SetSuffix(const String& v) { FSuffix = v; }
    const String& GetPrefix() const { return FPrefix; }
    void SetPrefix(const String& v) { FPrefix = v; }
    const String& GetFriendlyName() const { return FFriendlyName; }
    void SetFriendlyName(const String& v) { FFriendlyName = v; }
    TFilterOperation GetOperation() const { return FOperation; }
    void SetOperation(TFilterOperation v) { FOperation = v; }
    TFilterCells GetData() const { return FData; }
    void SetData(TFilterCells v) { FData = v; }
    TFilterMethod GetMethod() const { return FMethod; }
    void SetMethod(TFilterMethod v) { FMethod = v; }
    TFilterType GetFilterType() const { return FFilterType; }
    void SetFilterType(TFilterType v) { FFilterType = v; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    bool GetRemoveAccented() const { return FRemoveAccented; }
    void SetRemoveAccented(bool v) { FRemoveAccented = v; }

private:
    int FColumn { 0 };
    String FCondition;
    bool FCaseSensitive { true };
    String FSuffix;
    String FPrefix;
    String FFriendlyName;
    TFilterOperation FOperation { foSHORT };
    TFilterCells FData { fcVirtual };
    TFilterMethod FMethod { fmExpression };
    TFilterType FFilterType { ftStartsWith };
    bool FEnabled { true };
    bool FRemoveAccented { false };
};

class TFilter : public TCollection {
    QT_CLASS(TFilter, TCollection)
public:
    explicit TFilter(IGridHost* AOwner = nullptr) : TCollection(TFilterData::StaticClassInfo()), FGrid(AOwner) { }

    // Operation foNONE when it is the only condition, else foAND.
    TFilterData* Add();
    TFilterData* Add(int AColumn, const String& ACondition, TFilterOperation AOperation);
    // Inserts at index (0..Count); foNONE when it becomes the first condition, else foAND.
    TFilterData* Insert(int Index);

    TFilterData* GetItem(int Index) const { return static_cast<TFilterData*>(TCollection::GetItem(Index)); }
    void SetItem(int Index, TFilterData* Value) { GetItem(Index)->Assign(Value); }
    TFilterData* operator[](int Index) const { return GetItem(Index); }

    // The first condition of the column, added when there is none.
    TFilterData* GetColFilter(int Col);
    TFilterData* GetColumnFilter(int Col) { return GetColFilter(Col); }
    bool HasFilter(int Col) const;
    bool HasOtherFilter(int Col) const;
    // ftContains when the column has no condition.
    TFilterType HasFilterType(int Col) const;
    // Deletes every condition of the column and repaints its header cell.
    void RemoveColumnFilter(int Col);

    void Update(TCollectionItem* Item) override;

private:
    int FirstOfColumn(int Col) const;

    IGridHost* FGrid { nullptr };
};
