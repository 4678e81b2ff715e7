#pragma once
// Settings of the grid's grouping (TGrouping), its filter drop-down lists
// (TFilterDropDown) and its filter edit row (TFilterEdit). The features that
// read them live with the data views.

#include <memory>

#include "grid/core/GridFilter.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

class TDedOzovedUrad;

// Which columns get automatic filter lists or filter edit cells: the normal
// ones only, or the fixed ones too.
enum TFilterDropDownColumns { fdNormal, fdAll };
QT_ENUM(TFilterDropDownColumns, fdNormal, fdAll)

#define GRID_GROUPING_PROPS(X)                                                                      \
    X(bool, MergeHeader, false) X(bool, MergeSummary, false) X(TColor, HeaderColor, clNone)         \
    X(TColor, HeaderColorTo, clNone) X(TColor, HeaderTextColor, clNone) X(bool, HeaderUnderline, false) \
    X(TColor, HeaderLineColor, TColor(0xFF0000)) X(int, HeaderLineWidth, 2) X(bool, Summary, false) \
    X(TColor, SummaryColor, clNone) X(TColor, SummaryColorTo, clNone) X(TColor, SummaryTextColor, clNone) \
    X(bool, SummaryLine, false) X(TColor, SummaryLineColor, TColor(0xFF0000)) X(int, SummaryLineWidth, 2) \
    X(bool, ShowGroupCount, false) X(String, GroupCountFormat, String()) X(bool, AutoSelectGroup, false) \
    X(bool, AutoCheckGroup, false)

// The look of group header and summary rows.
class TGrouping : public TPersistent {
    QT_CLASS(TGrouping, TPersistent)
#define GRID_GROUPING_FIELD(T, N, V)               \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v) { F##N = v; }                 \
                                                   \
private:                                           \
    T F##N { V };
    GRID_GROUPING_PROPS(GRID_GROUPING_FIELD)
#undef GRID_GROUPING_FIELD
public:
    // Not Summary, the line colours or the line widths.
    void Assign(TPersistent* Source) override;
};

class TFilterDropDown : public TPersistent {
    QT_CLASS(TFilterDropDown, TPersistent)
public:
    // A grid newly placed in a form designer passes Designing: its check
    // texts start as "Checked" and "Unchecked", otherwise empty.
    explicit TFilterDropDown(bool Designing = false);
    ~TFilterDropDown() override;

    // The list sizes itself to its entries instead of Width and Height.
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    // The list is as wide as the column and aligned with it.
    bool GetColumnWidth() const { return FColumnWidth; }
    void SetColumnWidth(bool Value) { FColumnWidth = Value; }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    // The filter button's picture, and the one of a column with a
    // condition; the setters copy and tell OnChange.
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    TBitmap* GetGlyphActive() const { return FGlyphActive.get(); }
    void SetGlyphActive(TBitmap* Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    // Values come from the cells' plain text.
    bool GetIgnoreHTML() const { return FIgnoreHTML; }
    void SetIgnoreHTML(bool Value) { FIgnoreHTML = Value; }
    TFilterMethod GetMethod() const { return FMethod; }
    void SetMethod(TFilterMethod Value) { FMethod = Value; }
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value) { FSorted = Value; }
    // The texts that stand for checked and unchecked data check boxes.
    const String& GetTextChecked() const { return FTextChecked; }
    void SetTextChecked(const String& Value) { FTextChecked = Value; }
    const String& GetTextUnChecked() const { return FTextUnChecked; }
    void SetTextUnChecked(const String& Value) { FTextUnChecked = Value; }

    // Not AutoSize or Sorted.
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    bool FAutoSize { false };
    bool FCaseSensitive { false };
    TColor FColor { clWindow };
    bool FColumnWidth { false };
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FGlyphActive;
    int FHeight { 150 };
    int FWidth { 150 };
    bool FIgnoreHTML { true };
    TFilterMethod FMethod { fmExpression };
    bool FSorted { true };
    String FTextChecked;
    String FTextUnChecked;
};

class TFilterEdit : public TPersistent {
    QT_CLASS(TFilterEdit, TPersistent)
public:
    explicit TFilterEdit(TDedOzovedUrad* AOwner = nullptr);
    ~TFilterEdit() override;
    TPersistent* GetOwner() override;

    // The filter edit row is in use; the setter repaints the grid.
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // The fixed row that serves as filter edit row.
    int GetRow() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TFilterDropDownColumns GetColumns() const { return FColumns; }
    void SetColumns(TFilterDropDownColumns Value) { FColumns = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    // The condition-type menu gives its items accelerator keys itself.
    bool GetAutoHotKey() const { return FAutoHotKey; }
    void SetAutoHotKey(bool Value) { FAutoHotKey = Value; }
    // Captions of the condition-type menu by filter type (nine are used);
    // the setter copies.
    TStringList* GetTypeNames() const { return FTypeNames.get(); }
    void SetTypeNames(TStrings* Value) { FTypeNames->Assign(Value); }

    void Assign(TPersistent* Source) override;

private:
    TDedOzovedUrad* FOwner { nullptr };
    bool FEnabled { false };
    int FRow { 0 };
    TColor FColor { TColor(0xFFFFFF) };
    TFilterDropDownColumns FColumns { fdNormal };
    bool FCaseSensitive { true };
    bool FAutoHotKey { false };
    std::unique_ptr<TStringList> FTypeNames;
};
