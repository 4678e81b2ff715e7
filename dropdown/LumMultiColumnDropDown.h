#pragma once
// A drop-down edit whose window shows a table of items in several columns
// under a header row; the edit text is the text of one column of the
// selected item, the lookup column. Typing in the edit completes from that
// column; typing in the open list selects the first item that starts with
// what was typed. The list is a plain string grid with its own painting.
//
// The grid drop-down has classes of the same names with other fields; this
// unit's live in the namespace LumMultiColumnDropDown.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "graphics/LumOwnedCollection.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Grids.h"

class TCustomImageList;

namespace LumMultiColumnDropDown {

enum TColumnType { ctText, ctImage };
QT_ENUM(TColumnType, ctText, ctImage)

class TLumMultiColumnDropDown;

// (Sender, Column, Row, Canvas, Rect): paints a list cell instead of the list.
using TDrawCellEvent = std::function<void(TObject* Sender, int Column, int Row, TCanvas* ACanvas, TRect ARect)>;
using TGetCellTextEvent = std::function<void(TObject* Sender, int Column, int Row, String& Text)>;
using TDropDownCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& AValue)>;

class TDropDownColumn : public TCollectionItem {
    QT_CLASS(TDropDownColumn, TCollectionItem)
public:
    explicit TDropDownColumn(TCollection* Collection = nullptr);
    ~TDropDownColumn() override;
    void Assign(TPersistent* Source) override;

    bool GetWordwrap() const { return FWordwrap; }
    void SetWordwrap(bool Value) { FWordwrap = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    const String& GetHeader() const { return FHeader; }
    void SetHeader(const String& Value) { FHeader = Value; }
    TAlignment GetAlignment() const { return FAlignment; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColumnType GetColumnType() const { return FColumnType; }
    void SetColumnType(TColumnType Value) { FColumnType = Value; }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool GetEllipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { FEllipsis = Value; }

private:
    bool FWordwrap { false };
    int FWidth { 80 };
    bool FAutoSize { false };
    String FHeader;
    TAlignment FAlignment { taLeftJustify };
    TColor FColor { TColor(0xFFFFFF) };
    TColumnType FColumnType { ctText };
    std::unique_ptr<TFont> FFont;
    bool FEllipsis { false };
};

class TDropDownColumns : public TLumOwnedCollection<TDropDownColumn> {
    QT_CLASS(TDropDownColumns, TOwnedCollection)
public:
    explicit TDropDownColumns(TPersistent* AOwner) : TLumOwnedCollection<TDropDownColumn>(AOwner) { }
    TDropDownColumn* Add() { return static_cast<TDropDownColumn*>(TCollection::Add()); }
    TDropDownColumn* Insert(int Index) { return static_cast<TDropDownColumn*>(TCollection::Insert(Index)); }
    TDropDownColumn* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TDropDownColumn* Value) { GetItem(Index)->Assign(Value); }
    TDropDownColumn* operator[](int Index) const { return GetItem(Index); }
};

class TDropDownItem : public TCollectionItem {
    QT_CLASS(TDropDownItem, TCollectionItem)
public:
    explicit TDropDownItem(TCollection* Collection = nullptr);
    ~TDropDownItem() override;
    void Assign(TPersistent* Source) override;

    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    // One line per column.
    TStrings* GetText() const { return FText.get(); }
    void SetText(TStrings* Value) { FText->Assign(Value); }
    int GetTag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // Line Column, or empty when the item has fewer lines.
    String Line(int Column) const;

private:
    int FImageIndex { -1 };
    std::unique_ptr<TStringList> FText;
    int FTag { 0 };
};

class TDropDownItems : public TLumOwnedCollection<TDropDownItem> {
    QT_CLASS(TDropDownItems, TOwnedCollection)
public:
    explicit TDropDownItems(TPersistent* AOwner) : TLumOwnedCollection<TDropDownItem>(AOwner) { }
    TDropDownItem* Add() { return static_cast<TDropDownItem*>(TCollection::Add()); }
    TDropDownItem* Insert(int Index) { return static_cast<TDropDownItem*>(TCollection::Insert(Index)); }
    TDropDownItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TDropDownItem* Value) { GetItem(Index)->Assign(Value); }
    TDropDownItem* operator[](int Index) const { return GetItem(Index); }
    // The first item whose line Column is exactly Value; items with fewer
    // lines are skipped; -1 when none.
    int IndexInColumn(int Column, const String& Value) const;
};

// The list of the drop-down window: one header row, a data row per item.
class DOdoZedAvud : public TStringGrid {
    QT_CLASS(DOdoZedAvud, TStringGrid)
public:
    explicit DOdoZedAvud(TComponent* AOwner = nullptr);
    ~DOdoZedAvud() override;

    // Takes the drop-down's columns, items count and looks, and sizes the
    // columns and rows.
    void LoadFromDropDown(TLumMultiColumnDropDown* DropDown);
    void AutoSizeColumns();
    void AutoSizeColumn(int Index);
    void AutoSizeRows();
    TRect GetCellRect(int ACol, int ARow);
    // The width that shows every column, with a scroll bar when not all rows fit.
    int GetTotalWidth();
    // All data rows fit in the view.
    bool AllRowsVisible();

    int GetGridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TDropDownColumns* GetColumns() const { return FColumns.get(); }
    TColor GetHeaderColor() const { return FHeaderColor; }
    TColor GetHeaderColorTo() const { return FHeaderColorTo; }
    TColor GetLineColor() const { return FLineColor; }
    TColor GetFixedLineColor() const { return FFixedLineColor; }
    int GetHeaderHeight() const { return FHeaderHeight; }
    TFont* GetHeaderFont() const { return FHeaderFont.get(); }
    TCustomImageList* GetImages() const { return FImages; }
    bool GetHoverSelect() const { return FHoverSelect; }
    void SetHoverSelect(bool Value) { FHoverSelect = Value; }
    bool GetConfirmSelection() const { return FConfirmSelection; }
    bool GetMouseWheelSelection() const { return FMouseWheelSelection; }
    TLumMultiColumnDropDown* GetLumDropDown() const { return FLumDropDown; }
    void SetLumDropDown(TLumMultiColumnDropDown* Value) { FLumDropDown = Value; }

    TNotifyEvent OnSelect;

    virtual void DoSelect();
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Measuring needs the drop-down window's canvas.
    bool InDropDownWindow() const;
    template<class F> bool Wheel(F&& Step);

    TLumMultiColumnDropDown* FLumDropDown { nullptr };
    std::unique_ptr<TDropDownColumns> FColumns;
    TColor FHeaderColor { TColor(0xFFFFFF) };
    TColor FHeaderColorTo { TColor(0x808080) };
    TColor FLineColor { TColor(0x808080) };
    TCustomImageList* FImages { nullptr };
    int FHeaderHeight { 25 };
    std::unique_ptr<TFont> FHeaderFont;
    TColor FFixedLineColor { TColor(0x808080) };
    int FGridLineWidth { 1 };
    bool FMouseWheelSelection { false };
    bool FConfirmSelection { false };
    bool FHoverSelect { false };
};

class TLumMultiColumnDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumMultiColumnDropDown, TLumCustomDropDown)
public:
    explicit TLumMultiColumnDropDown(TComponent* AOwner = nullptr);
    ~TLumMultiColumnDropDown() override;

    void Assign(TPersistent* Source) override;
    // Does nothing; EndUpdate rebuilds the lookup list.
    void BeginUpdate() { }
    void EndUpdate() { RebuildLookupList(); }
    // The first item whose lookup-column text is exactly Value; -1 when none.
    int GetItemIndex(const String& Value) const;
    int GetItemIndex() const { return FItemIndex; }
    // An index at or above the count is ignored; the text follows.
    void SetItemIndex(int Value);
    int GetRowCount() const { return FItems->GetCount(); }

    // Each fires OnSelect when it changes the index.
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectNextPage();
    void SelectPreviousPage();

    TDropDownItems* GetItems() const { return FItems.get(); }
    void SetItems(TDropDownItems* Value) { FItems->Assign(Value); }
    TDropDownColumns* GetColumns() const { return FColumns.get(); }
    void SetColumns(TDropDownColumns* Value) { FColumns->Assign(Value); }
    int GetLookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int Value);
    bool GetColumnSizing() const { return FColumnSizing; }
    void SetColumnSizing(bool Value) { FColumnSizing = Value; }
    TColor GetHeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value) { FHeaderColor = Value; }
    TColor GetHeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor Value) { FHeaderColorTo = Value; }
    TColor GetLineColor() const { return FLineColor; }
    void SetLineColor(TColor Value) { FLineColor = Value; }
    TColor GetFixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor Value) { FFixedLineColor = Value; }
    int GetHeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int Value) { FHeaderHeight = Value; }
    TFont* GetHeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(TFont* Value) { FHeaderFont->Assign(Value); }
    bool GetDropDownAutoWidth() const { return FDropDownAutoWidth; }
    void SetDropDownAutoWidth(bool Value) { FDropDownAutoWidth = Value; }
    bool GetColumnSizeWithDropDown() const { return FColumnSizeWithDropDown; }
    void SetColumnSizeWithDropDown(bool Value) { FColumnSizeWithDropDown = Value; }
    TColor GetSelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor Value) { FSelectionTextColor = Value; }
    int GetDropDownRowHeight() const { return FDropDownRowHeight; }
    void SetDropDownRowHeight(int Value) { FDropDownRowHeight = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    bool GetHoverSelect() const { return FHoverSelect; }
    void SetHoverSelect(bool Value) { FHoverSelect = Value; }
    bool GetLookupIncr() const { return FLookupIncr; }
    void SetLookupIncr(bool Value) { FLookupIncr = Value; }
    DOdoZedAvud* GetList() const { return FLumColGrid; }
    const TStringList* GetLookupItems() const { return FLookupItems.get(); }
    const String& GetLookupEntry() const { return FLookupEntry; }

    TNotifyEvent OnSelect;
    TDrawCellEvent OnDropDownDrawItem;
    TGetCellTextEvent OnDropDownGetItemText;
    TDropDownCellClickEvent OnDropDownCellClick;

    // Stretches the list's columns to the window width.
    void SizeColumns();

    void CreateDropDownForm() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void AdjustDropDownHeight(int& Height) override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool Cancel) override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;
    void DropDownResized() override;
    void DoWheelDown() override;
    void DoWheelUp() override;
    void SetSelectionColorStyle(TSelectionColorStyle Style) override;
    void SetComponentStyle(ROZEVizer AStyle) override;
    void Dispatch(TMessage& Message) override;

    // The grid's list editor calls these too.
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;

protected:
    void Loaded() override;

private:
    friend class DOdoZedAvud;
    void RebuildLookupList();
    String LookupText(int Index) const;
    void Step(int Index);
    void ListCellSelected(int ACol, int ARow);
    void ListSelect(TObject* Sender);
    // The open list's row for an item, scrolled into view.
    void ShowListRow(int Index);
    String Cased(const String& S) const;

    bool FShowing { false };
    bool FColumnSizing { false };
    int FLookupColumn { 0 };
    TColor FHeaderColorTo { TColor(0x808080) };
    TColor FHeaderColor { TColor(0xFFFFFF) };
    TColor FLineColor { TColor(0xF1EDEB) };
    std::unique_ptr<TDropDownItems> FItems;
    std::unique_ptr<TDropDownColumns> FColumns;
    int FItemIndex { -1 };
    int FHeaderHeight { 25 };
    std::unique_ptr<TFont> FHeaderFont;
    DOdoZedAvud* FLumColGrid { nullptr };
    TColor FFixedLineColor { TColor(0xD1BBA4) };
    String FLookupStr;
    std::unique_ptr<TStringList> FLookupItems;
    bool FItemChange { false };
    int FItemIdx { -1 };
    int FItemSel { 0 };
    int FOldItemIndex { -1 };
    bool FDropDownAutoWidth { true };
    bool FColumnSizeWithDropDown { true };
    TColor FSelectionTextColor { TColor(0) };
    int FDropDownRowHeight { 22 };
    String FLookupEntry;
    bool FCaseSensitive { false };
    int FOrgIndex { -1 };
    bool FHoverSelect { false };
    bool FLookupIncr { false };
};

} // namespace LumMultiColumnDropDown
