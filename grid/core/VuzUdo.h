#pragma once
// The grid's behaviour settings: keyboard and clipboard (TNavigation),
// mouse (TMouseActions), the search footer (TSearchFooter), row banding
// (TBands), synchronised grids (TSyncGrid) and the focus frame
// (TFocusHelper). Each is a persistent sub-object of the grid; Assign copies
// fields directly (no setter runs, nothing is notified).
//
// Plain properties are listed once in the X-macro tables below
// (type, name, initial value); the table gives the field F<name>, its
// accessors, the published entry and the copy in Assign. Properties whose
// setters do more are written out in the classes.

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

class TStringGrid;

enum TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
QT_ENUM(TAdvanceDirection, adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol)
enum TInsertPosition { pInsertBefore, pInsertAfter };
QT_ENUM(TInsertPosition, pInsertBefore, pInsertAfter)
enum TClipboardCutAction { caClear, caRemove };
QT_ENUM(TClipboardCutAction, caClear, caRemove)
enum TClipboardPasteAction { paReplace, paInsert };
QT_ENUM(TClipboardPasteAction, paReplace, paInsert)
enum TCursorAdvance { caDefault, caSnake, caLoop };
QT_ENUM(TCursorAdvance, caDefault, caSnake, caLoop)
enum THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell, heDefault };
QT_ENUM(THomeEndAction, heFirstLastColumn, heFirstLastRow, heFirstLastCell, heDefault)
enum TToggleTriStateCheck { tsAllStates, tsCheckUnCheck };
QT_ENUM(TToggleTriStateCheck, tsAllStates, tsCheckUnCheck)
enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
QT_ENUM(TGridFixedCellEdit, fceNone, fceDblClick, fceLeftClick, fceRightClick)
enum TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
QT_ENUM(TGridFixedCellEditor, fceEdit, fceComboEdit, fceComboList)
enum TWheelAction { waMoveSelection, waScroll };
QT_ENUM(TWheelAction, waMoveSelection, waScroll)
enum TWheelActive { waFocus, waMouseOver };
QT_ENUM(TWheelActive, waFocus, waMouseOver)
enum THighlightType { hMatchingText, hFullCell };
QT_ENUM(THighlightType, hMatchingText, hFullCell)
enum TSearchDirection { sdTopBottom, sdLeftRight };
QT_ENUM(TSearchDirection, sdTopBottom, sdLeftRight)
namespace VuzUdo {
enum TSearchType { stSearch, stNarrowDown };
QT_ENUM(TSearchType, stSearch, stNarrowDown)
}

using TIsDesigningEvent = std::function<void(TObject* Sender, bool& IsDesigning)>;

// A plain property: the field with its initial value and the accessors.
#define VUZ_FIELD(T, N, V)                         \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v) { F##N = v; }                 \
                                                   \
private:                                           \
    T F##N { V };

#define VUZ_NAVIGATION_PLAIN(X)                                            \
    X(bool, AllowInsertRow, false) X(bool, AllowDeleteRow, false)          \
    X(bool, AllowDeleteCells, false) X(bool, AlwaysEdit, false)            \
    X(bool, AdvanceOnEnter, false) X(bool, AutoGotoWhenSorted, false)      \
    X(bool, AutoGotoIncremental, false) X(bool, AutoComboDropSize, false)  \
    X(bool, AllowClipboardShortCuts, false) X(bool, AllowSmartClipboard, false) \
    X(bool, AllowRTFClipboard, false) X(bool, AllowFmtClipboard, false)    \
    X(bool, AllowClipboardAlways, false) X(bool, AllowEditButtonCells, false) \
    X(bool, AppendOnArrowDown, false) X(bool, CursorWalkEditor, false)     \
    X(bool, CursorMoveRows, false) X(bool, MoveRowOnSort, false)           \
    X(bool, KeepScrollOnSort, false) X(bool, MoveRowOnScroll, false)       \
    X(bool, MoveScrollOnly, false) X(bool, ImproveMaskSel, false)          \
    X(bool, KeepHorizScroll, false) X(bool, LineFeedOnEnter, false)        \
    X(bool, SkipReadOnly, false) X(bool, TabToNextAtEnd, false)            \
    X(bool, AdvanceOnEnterLoop, true) X(bool, AdvanceAutoEdit, true)       \
    X(bool, AdvanceSkipReadOnlyCells, true) X(bool, AutoComboSelect, true) \
    X(bool, AllowCtrlEnter, true) X(bool, AllowClipboardRowGrow, true)     \
    X(bool, AllowClipboardColGrow, true) X(bool, EditSelectAll, true)      \
    X(bool, ComboGetUpDown, true) X(bool, CursorWalkAlwaysEdit, true)      \
    X(bool, LeftRightRowSelect, true) X(bool, CopyHTMLTagsToClipboard, true) \
    X(bool, SkipFixedCells, true) X(bool, SkipDisabledRows, true)          \
    X(TAdvanceDirection, TabAdvanceDirection, adLeftRight)                 \
    X(TInsertPosition, InsertPosition, pInsertBefore)                      \
    X(TClipboardCutAction, ClipboardCutAction, caClear)                    \
    X(TClipboardPasteAction, ClipboardPasteAction, paReplace)              \
    X(TCursorAdvance, CursorAdvance, caDefault)                            \
    X(THomeEndAction, HomeEndKey, heFirstLastColumn)                       \
    X(TToggleTriStateCheck, ToggleTriStateCheck, tsAllStates)

class TNavigation : public TPersistent {
    QT_CLASS(TNavigation, TPersistent)
    VUZ_NAVIGATION_PLAIN(VUZ_FIELD)
public:
    TAdvanceDirection GetAdvanceDirection() const { return FAdvanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection v);
    bool GetAdvanceInsert() const { return FAdvanceInsert; }
    void SetAdvanceInsert(bool v);
    bool GetAdvanceAuto() const { return FAdvanceAuto; }
    // True also turns AdvanceOnEnter on.
    void SetAdvanceAuto(bool v);
    // Everything but KeepScrollOnSort.
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TAdvanceDirection FAdvanceDirection { adLeftRight };
    bool FAdvanceInsert { false };
    bool FAdvanceAuto { false };
};

#define VUZ_MOUSEACTIONS_PLAIN(X)                                                      \
    X(bool, AllColumnSize, false) X(bool, AllRowSize, false) X(bool, AllSelect, false) \
    X(bool, AutoFocus, false) X(bool, CaretPositioning, false) X(bool, CheckAllCheck, false) \
    X(bool, ColSelect, false) X(bool, DirectComboClose, false) X(bool, DirectComboDrop, false) \
    X(bool, DirectDateClose, false) X(bool, DirectDateDrop, false) X(bool, DirectEdit, false) \
    X(bool, DisjunctRowSelectDrag, false) X(bool, DisjunctRowSelectNoCtrl, false)      \
    X(bool, DisjunctColSelectNoCtrl, false) X(bool, MoveRowOnNodeClick, false)         \
    X(bool, NoAutoRangeScroll, false) X(bool, NodeAllExpandContract, false)            \
    X(bool, NoScrollOnPartialRow, false) X(bool, NoScrollOnPartialCol, false)          \
    X(bool, PreciseCheckBoxCheck, false) X(bool, RangeSelectAndEdit, false)            \
    X(bool, RowSelect, false) X(bool, RowSelectPersistent, false)                      \
    X(bool, SelectOnRightClick, false) X(bool, SelectOnRightClickNewSelectionOnly, false) \
    X(bool, SizeFixedCol, false) X(bool, SizeFixedRow, false)                          \
    X(bool, ToggleNodeOnDblClick, false) X(bool, TouchScroll, false)                   \
    X(bool, AllSelectAllFixedColumns, true) X(bool, AutoSizeColOnDblClick, true)       \
    X(bool, PreciseNodeClick, true) X(int, PartialScrollDelta, 0) X(int, WheelIncrement, 0) \
    X(TGridFixedCellEdit, FixedRowsEdit, fceNone) X(TGridFixedCellEdit, FixedColsEdit, fceNone) \
    X(TGridFixedCellEditor, FixedRowsEditor, fceEdit) X(TGridFixedCellEditor, FixedColsEditor, fceEdit) \
    X(TWheelActive, WheelActive, waFocus)

class TMouseActions : public TPersistent {
    QT_CLASS(TMouseActions, TPersistent)
    VUZ_MOUSEACTIONS_PLAIN(VUZ_FIELD)
public:
    TMouseActions();
    ~TMouseActions() override;

    TWheelAction GetWheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction v);
    bool GetHotmailRowSelect() const { return FHotmailRowSelect; }
    // True also sets DisjunctRowSelect and CheckAllCheck; OnInvalidate always.
    void SetHotmailRowSelect(bool v);
    bool GetEditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool v);
    // Under a designer, setting one of the three disjunct modes clears the
    // other two; at run time they may be combined.
    bool GetDisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool GetDisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool GetDisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    bool GetDisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelectDirect(bool v) { FDisjunctRowSelect = v; }
    TStrings* GetFixedComboValues() const { return FFixedComboValues.get(); }
    void SetFixedComboValues(TStrings* v) { FFixedComboValues->Assign(v); }

    // Everything but EditOnDblClickOnly, FixedComboValues, HotmailRowSelect
    // and SizeFixedRow.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnInvalidate;
    TIsDesigningEvent OnIsDesigning;
    TNotifyEvent OnDisableEdit;

private:
    bool IsDesigning();
    void ClearOtherDisjunct(bool& keep);
    TWheelAction FWheelAction { waMoveSelection };
    bool FHotmailRowSelect { false };
    bool FEditOnDblClickOnly { false };
    bool FDisjunctRowSelect { false };
    bool FDisjunctColSelect { false };
    bool FDisjunctCellSelect { false };
    std::unique_ptr<TStringList> FFixedComboValues;
};

// Search footer properties stored without side effects.
#define VUZ_SEARCHFOOTER_PLAIN(X)                                                  \
    X(bool, AlwaysHighLight, false) X(THighlightType, HighLight, hMatchingText)    \
    X(bool, IgnoreHTML, true) X(bool, IgnoreAccents, false)                        \
    X(String, ResultFormat, u"(%d of %d)") X(bool, SearchActiveColumnOnly, false)  \
    X(int, SearchColumn, -1) X(bool, SearchMatchStart, false)                      \
    X(bool, SearchFixedCells, false) X(bool, SearchHiddenRows, false)              \
    X(TColor, SearchErrorColor, TColor(0x0000FF)) X(TColor, SearchErrorTextColor, TColor(0xFFFFFF)) \
    X(TSearchDirection, SearchDirection, sdTopBottom) X(bool, SearchFromFocusCell, false)
// Properties whose setter always raises OnChange.
#define VUZ_SEARCHFOOTER_ALWAYS(X)                                                 \
    X(TColor, Color, TColor(0xFFFFFF)) X(TColor, ColorTo, TColor(0xFF00000F))      \
    X(bool, ShowClose, true) X(bool, AutoThemeAdapt, false)                        \
    X(String, FindNextCaption, String()) X(String, FindPrevCaption, String())      \
    X(String, HighLightCaption, String()) X(String, HintClose, String())           \
    X(String, HintFindNext, String()) X(String, HintFindPrev, String())            \
    X(String, HintHighlight, String()) X(String, MatchCaseCaption, String())
// Properties whose setter raises OnChange when the value changes.
#define VUZ_SEARCHFOOTER_ONCHANGE(X)                                               \
    X(TColor, SearchColor, TColor(0xFF000005)) X(TColor, SearchTextColor, TColor(0xFF000008)) \
    X(VuzUdo::TSearchType, SearchType, VuzUdo::stSearch) X(bool, ShowFindNext, true) \
    X(bool, ShowFindPrev, true) X(bool, ShowHighLight, true) X(bool, ShowMatchCase, true) \
    X(bool, ShowResults, false) X(bool, Visible, false)

#define VUZ_FIELD_ALWAYS(T, N, V)                                  \
public:                                                            \
    T Get##N() const { return F##N; }                              \
    void Set##N(T v) { F##N = v; Changed(); }                      \
                                                                   \
private:                                                           \
    T F##N { V };
#define VUZ_FIELD_ONCHANGE(T, N, V)                                \
public:                                                            \
    T Get##N() const { return F##N; }                              \
    void Set##N(T v)                                               \
    {                                                              \
        if (F##N == v)                                             \
            return;                                                \
        F##N = v;                                                  \
        Changed();                                                 \
    }                                                              \
                                                                   \
private:                                                           \
    T F##N { V };

class TSearchFooter : public TPersistent {
    QT_CLASS(TSearchFooter, TPersistent)
    VUZ_SEARCHFOOTER_PLAIN(VUZ_FIELD)
    VUZ_SEARCHFOOTER_ALWAYS(VUZ_FIELD_ALWAYS)
    VUZ_SEARCHFOOTER_ONCHANGE(VUZ_FIELD_ONCHANGE)
public:
    // InitDesign fills the captions and hints with their English texts
    // (a grid made in a form designer); at run time they start empty.
    explicit TSearchFooter(TPersistent* AOwner = nullptr, bool InitDesign = false);
    ~TSearchFooter() override;

    bool GetAutoSearch() const { return FAutoSearch; }
    // Also forgets the last search, whatever the value.
    void SetAutoSearch(bool v);
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* v);
    const String& GetLastSearch() const { return FLastSearch; }
    void SetLastSearch(const String& v) { FLastSearch = v; }
    int GetResultPos() const { return FResultPos; }
    void SetResultPos(int v) { FResultPos = v; }
    int GetResultTot() const { return FResultTot; }
    void SetResultTot(int v) { FResultTot = v; }
    TPersistent* GetOwner() const { return FOwner; }

    // Everything but AutoSearch and SearchFixedCells.
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TPersistent* FOwner { nullptr };
    bool FAutoSearch { true };
    std::unique_ptr<TFont> FFont;
    String FLastSearch;
    int FResultPos { 0 };
    int FResultTot { 0 };
};

class TBands : public TPersistent {
    QT_CLASS(TBands, TPersistent)
public:
    bool GetActive() const { return FActive; }
    void SetActive(bool v);
    TColor GetPrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(TColor v);
    TColor GetSecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(TColor v);
    int GetPrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int v);
    int GetSecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int v);
    bool GetPrint() const { return FPrint; }
    void SetPrint(bool v) { FPrint = v; }
    // PrimaryLength + SecondaryLength.
    int GetTotalLength() const { return FTotalLength; }
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    // OnChange, but only while the bands are active.
    void ChangedWhileActive();
    bool FActive { false };
    TColor FPrimaryColor { TColor(0xFF000018) };
    int FPrimaryLength { 1 };
    TColor FSecondaryColor { TColor(0xFF000005) };
    int FSecondaryLength { 1 };
    bool FPrint { false };
    int FTotalLength { 2 };
};

#define VUZ_SYNCGRID_PLAIN(X)                                                 \
    X(bool, ScrollVertical, false) X(bool, ScrollHorizontal, false)           \
    X(bool, SelectionColumn, false) X(bool, SelectionRow, false)              \
    X(bool, MoveColumn, false) X(bool, MoveRow, false)

class TSyncGrid : public TPersistent {
    QT_CLASS(TSyncGrid, TPersistent)
    VUZ_SYNCGRID_PLAIN(VUZ_FIELD)
public:
    explicit TSyncGrid(TStringGrid* AOwner = nullptr) : FOwner(AOwner) { }
    TStringGrid* GetGrid() const { return FGrid; }
    // The owning grid cannot follow itself: that value is ignored.
    void SetGrid(TStringGrid* v);
    void Assign(TPersistent* Source) override;

private:
    TStringGrid* FOwner { nullptr };
    TStringGrid* FGrid { nullptr };
};

class TFocusHelper : public TPersistent {
    QT_CLASS(TFocusHelper, TPersistent)
    VUZ_FIELD(bool, Enabled, false)
public:
    void Assign(TPersistent* Source) override;
};
