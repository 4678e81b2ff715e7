#include "grid/core/SortSettings.h"

#include "grid/core/GridHost.h"
#include "grid/core/IntList.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TSortSettings, QT_PROP(Column), QT_PROP(Row), QT_PROP(Direction), QT_PROP(InitSortDirection), QT_PROP(Show),
    QT_PROP(IndexShow), QT_PROP_T(IndexColor, u"TColor"), QT_PROP(IndexSortKey), QT_PROP(Full), QT_PROP(SingleColumn),
    QT_PROP(IgnoreBlanks), QT_PROP(BlankPos), QT_PROP(AutoFormat), QT_PROP(DefaultFormat), QT_PROP(IgnoreCase),
    QT_PROP(FixedCols), QT_PROP(NormalCellsOnly), QT_PROP(AutoColumnMerge), QT_PROP(UndoSort), QT_PROP(AutoSortForGrouping),
    QT_PROP(SortOnVirtualCells), QT_PROP_T(HeaderColor, u"TColor"), QT_PROP_T(HeaderColorTo, u"TColor"),
    QT_PROP_T(HeaderMirrorColor, u"TColor"), QT_PROP_T(HeaderMirrorColorTo, u"TColor"), QT_PROP(UpGlyph), QT_PROP(DownGlyph),
    QT_PROP(IndexUpGlyph), QT_PROP(IndexDownGlyph))

TSortSettings::~TSortSettings() = default;

void TSortSettings::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TSortSettings*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FAutoSortForGrouping = src->FAutoSortForGrouping;
    FAutoColumnMerge = src->FAutoColumnMerge;
    FDefaultFormat = src->FDefaultFormat;
    FColumn = src->FColumn;
    FShow = src->FShow;
    FIndexShow = src->FIndexShow;
    FIndexColor = src->FIndexColor;
    FFull = src->FFull;
    FSingleColumn = src->FSingleColumn;
    FIgnoreBlanks = src->FIgnoreBlanks;
    FBlankPos = src->FBlankPos;
    FAutoFormat = src->FAutoFormat;
    FDirection = src->FDirection;
    FUpGlyph->Assign(src->FUpGlyph.get());
    FDownGlyph->Assign(src->FDownGlyph.get());
    FIndexUpGlyph->Assign(src->FIndexUpGlyph.get());
    FIndexDownGlyph->Assign(src->FIndexDownGlyph.get());
    FIndexSortKey = src->FIndexSortKey;
    FInitSortDirection = src->FInitSortDirection;
    FFixedCols = src->FFixedCols;
    FNormalCellsOnly = src->FNormalCellsOnly;
    FRow = src->FRow;
    FUndoSort = src->FUndoSort;
    FHeaderColor = src->FHeaderColor;
    FHeaderColorTo = src->FHeaderColorTo;
    FHeaderMirrorColor = src->FHeaderMirrorColor;
    FHeaderMirrorColorTo = src->FHeaderMirrorColorTo;
}

String TSortSettings::SaveToString() const
{
    if (FIndexShow)
        return u"i;" + (FGrid ? FGrid->GetSortIndexes().SaveToString() : String());
    return (FDirection == sdDescending ? u"d" : u"u") + IntToStr(FColumn);
}

void TSortSettings::LoadFromString(const String& Value)
{
    if (Value.empty())
        return;
    SetShow(true);
    if (Value.size() < 2)
        throw Exception(u"Invalid sort settings specifier");
    if (Value.find(u"i;") != String::npos) {
        FIndexShow = true;
        const String rest = Value.substr(2);
        if (!rest.empty() && FGrid) {
            FGrid->GetSortIndexes().LoadFromString(rest);
            FGrid->QSortIndexed();
        }
        return;
    }
    FIndexShow = false;
    FDirection = Value.find(u'u') != String::npos ? sdAscending : sdDescending;
    int column;
    if (!TryStrToInt(StringView(Value).substr(1), column))
        return;
    SetColumn(column);
    // "u-1" is the saved form of "no sorted column": nothing to sort.
    if (column >= 0 && FGrid)
        FGrid->QSort();
}

void TSortSettings::Remove()
{
    SetColumn(-1);
    if (FGrid) {
        FGrid->GetSortIndexes().Clear();
        RepaintLastFixedRow();
    }
}

void TSortSettings::SetColumn(int Value)
{
    if (Value == FColumn)
        return;
    FColumn = Value;
    if (FGrid && FRow >= 0)
        FGrid->RepaintRow(FRow);
}

void TSortSettings::SetRow(int Value)
{
    if (FGrid && Value >= FGrid->GetFixedRows())
        throw Exception(u"Sort row should be smaller than number of fixed rows");
    FRow = Value;
}

void TSortSettings::SetShow(bool Value)
{
    if (Value == FShow)
        return;
    FShow = Value;
    if (FGrid)
        FGrid->Invalidate();
}

void TSortSettings::SetHeaderColour(TColor& field, TColor Value)
{
    if (Value == field)
        return;
    field = Value;
    RepaintLastFixedRow();
}

void TSortSettings::RepaintLastFixedRow()
{
    if (FGrid && FGrid->GetFixedRows() > 0)
        FGrid->RepaintRow(FGrid->GetFixedRows() - 1);
}

bool ShowsSortIndicator(const TSortSettings& Settings, const IGridHost& Grid, int ACol, int ARow)
{
    if (!Settings.GetShow() || Grid.GetRowCount() <= Grid.GetFixedRows() + 1)
        return false;
    const int row = Settings.GetRow();
    const int span = Grid.GetMergeSpanY(ACol, ARow);
    return row >= ARow && row <= ARow + (span > 0 ? span : 0);
}
