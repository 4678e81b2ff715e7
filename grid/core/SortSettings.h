#pragma once
// The grid's sort settings: sorted column and direction, how the header
// shows the sort indicator, how cells compare, and a compact text form that
// saves and restores the sort state.

#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"

class IGridHost;

enum TSortDirection { sdAscending, sdDescending };
QT_ENUM(TSortDirection, sdAscending, sdDescending)
enum TIndexSortKey { ikShift, ikCtrl };
QT_ENUM(TIndexSortKey, ikShift, ikCtrl)
enum TSortBlankPosition { blFirst, blLast };
QT_ENUM(TSortBlankPosition, blFirst, blLast)
// The comparison styles of the sort.
enum TSortStyle {
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS, ssCustom,
    ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssDateTime, ssTime,
    ssAlphaNumeric, ssAlphaNumericNoCase, ssNatural, ssVarDate
};
QT_ENUM(TSortStyle, ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS,
    ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssDateTime, ssTime,
    ssAlphaNumeric, ssAlphaNumericNoCase, ssNatural, ssVarDate)

class TSortSettings : public TPersistent {
    QT_CLASS(TSortSettings, TPersistent)
public:
    explicit TSortSettings(IGridHost* AOwner = nullptr) : FGrid(AOwner) { }
    ~TSortSettings() override;

    // Copies everything but IgnoreCase and SortOnVirtualCells; Column is
    // copied without a repaint.
    void Assign(TPersistent* Source) override;

    // "i;u2;d5" while indexed sorting is on, else "u3" / "d3" ("u-1": no column).
    String SaveToString() const;
    // Restores a state from SaveToString and sorts. Raises Exception
    // "Invalid sort settings specifier" for a one-character text.
    void LoadFromString(const String& Value);
    // No sorted column, no sort indexes.
    void Remove();
    void ToggleDirection() { FDirection = FDirection == sdAscending ? sdDescending : sdAscending; }

    int GetColumn() const { return FColumn; }
    void SetColumn(int Value);
    int GetRow() const { return FRow; }
    // Raises Exception when Value is not below the grid's fixed rows.
    void SetRow(int Value);
    TSortDirection GetDirection() const { return FDirection; }
    void SetDirection(TSortDirection v) { FDirection = v; }
    TSortDirection GetInitSortDirection() const { return FInitSortDirection; }
    void SetInitSortDirection(TSortDirection v) { FInitSortDirection = v; }
    bool GetShow() const { return FShow; }
    void SetShow(bool Value);
    bool GetIndexShow() const { return FIndexShow; }
    void SetIndexShow(bool v) { FIndexShow = v; }
    TColor GetIndexColor() const { return FIndexColor; }
    void SetIndexColor(TColor v) { FIndexColor = v; }
    TIndexSortKey GetIndexSortKey() const { return FIndexSortKey; }
    void SetIndexSortKey(TIndexSortKey v) { FIndexSortKey = v; }
    bool GetFull() const { return FFull; }
    void SetFull(bool v) { FFull = v; }
    bool GetSingleColumn() const { return FSingleColumn; }
    void SetSingleColumn(bool v) { FSingleColumn = v; }
    bool GetIgnoreBlanks() const { return FIgnoreBlanks; }
    void SetIgnoreBlanks(bool v) { FIgnoreBlanks = v; }
    TSortBlankPosition GetBlankPos() const { return FBlankPos; }
    void SetBlankPos(TSortBlankPosition v) { FBlankPos = v; }
    bool GetAutoFormat() const { return FAutoFormat; }
    void SetAutoFormat(bool v) { FAutoFormat = v; }
    TSortStyle GetDefaultFormat() const { return FDefaultFormat; }
    void SetDefaultFormat(TSortStyle v) { FDefaultFormat = v; }
    bool GetIgnoreCase() const { return FIgnoreCase; }
    void SetIgnoreCase(bool v) { FIgnoreCase = v; }
    bool GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(bool v) { FFixedCols = v; }
    bool GetNormalCellsOnly() const { return FNormalCellsOnly; }
    void SetNormalCellsOnly(bool v) { FNormalCellsOnly = v; }
    bool GetAutoColumnMerge() const { return FAutoColumnMerge; }
    void SetAutoColumnMerge(bool v) { FAutoColumnMerge = v; }
    bool GetUndoSort() const { return FUndoSort; }
    void SetUndoSort(bool v) { FUndoSort = v; }
    bool GetAutoSortForGrouping() const { return FAutoSortForGrouping; }
    void SetAutoSortForGrouping(bool v) { FAutoSortForGrouping = v; }
    bool GetSortOnVirtualCells() const { return FSortOnVirtualCells; }
    void SetSortOnVirtualCells(bool v) { FSortOnVirtualCells = v; }
    TColor GetHeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value) { SetHeaderColour(FHeaderColor, Value); }
    TColor GetHeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor Value) { SetHeaderColour(FHeaderColorTo, Value); }
    TColor GetHeaderMirrorColor() const { return FHeaderMirrorColor; }
    void SetHeaderMirrorColor(TColor Value) { SetHeaderColour(FHeaderMirrorColor, Value); }
    TColor GetHeaderMirrorColorTo() const { return FHeaderMirrorColorTo; }
    void SetHeaderMirrorColorTo(TColor Value) { SetHeaderColour(FHeaderMirrorColorTo, Value); }

    // Custom indicator glyphs, owned; the setters copy the given bitmap's
    // content (nullptr empties the glyph).
    TBitmap* GetUpGlyph() const { return FUpGlyph.get(); }
    void SetUpGlyph(TBitmap* Value) { FUpGlyph->Assign(Value); }
    TBitmap* GetDownGlyph() const { return FDownGlyph.get(); }
    void SetDownGlyph(TBitmap* Value) { FDownGlyph->Assign(Value); }
    TBitmap* GetIndexUpGlyph() const { return FIndexUpGlyph.get(); }
    void SetIndexUpGlyph(TBitmap* Value) { FIndexUpGlyph->Assign(Value); }
    TBitmap* GetIndexDownGlyph() const { return FIndexDownGlyph.get(); }
    void SetIndexDownGlyph(TBitmap* Value) { FIndexDownGlyph->Assign(Value); }

    IGridHost* GetGrid() const { return FGrid; }

private:
    void SetHeaderColour(TColor& field, TColor Value);
    void RepaintLastFixedRow();

    IGridHost* FGrid { nullptr };
    int FColumn { -1 };
    int FRow { 0 };
    TSortDirection FDirection { sdAscending };
    TSortDirection FInitSortDirection { sdAscending };
    bool FShow { false };
    bool FIndexShow { false };
    TColor FIndexColor { 0xFFFF };
    TIndexSortKey FIndexSortKey { ikShift };
    bool FFull { true };
    bool FSingleColumn { false };
    bool FIgnoreBlanks { false };
    TSortBlankPosition FBlankPos { blFirst };
    bool FAutoFormat { true };
    TSortStyle FDefaultFormat { ssAutomatic };
    bool FIgnoreCase { false };
    bool FFixedCols { false };
    bool FNormalCellsOnly { false };
    bool FAutoColumnMerge { false };
    bool FUndoSort { false };
    bool FAutoSortForGrouping { true };
    bool FSortOnVirtualCells { true };
    TColor FHeaderColor { 0x1FFFFFFF };
    TColor FHeaderColorTo { 0x1FFFFFFF };
    TColor FHeaderMirrorColor { 0x1FFFFFFF };
    TColor FHeaderMirrorColorTo { 0x1FFFFFFF };
    std::unique_ptr<TBitmap> FUpGlyph { std::make_unique<TBitmap>() };
    std::unique_ptr<TBitmap> FDownGlyph { std::make_unique<TBitmap>() };
    std::unique_ptr<TBitmap> FIndexUpGlyph { std::make_unique<TBitmap>() };
    std::unique_ptr<TBitmap> FIndexDownGlyph { std::make_unique<TBitmap>() };
};

// Whether the cell shows the sort indicator: Show is on, the grid has more
// than FixedRows + 1 rows, and the sort row lies within the cell's rows
// (ARow and, for a merged cell, the rows it spans). The column does not matter.
bool ShowsSortIndicator(const TSortSettings& Settings, const IGridHost& Grid, int ACol, int ARow);
