#pragma once
// Settings objects the string grid owns for its data views and cell
// painters: number colouring (TAutoColor), progress-bar cells
// (TGridProgressAppearance), balloon tooltips (TBalloonSettings), marks of
// modified rows (TShowModified), scrolling while dragging
// (TDragScrollOptions), buttons over the hovered row (THoverButtons) and OLE
// drag and drop (TDragDropSettings). Assign copies from the same class only.

#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/vcl/Graphics.h"

class TDedOzovedUrad;

// ---- TAutoColor ----

class TColorSetting : public TPersistent {
    QT_CLASS(TColorSetting, TPersistent)
public:
    TColor GetTextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    TColor GetBkgColor() const { return FBkgColor; }
    void SetBkgColor(TColor Value);
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    TColor FTextColor { clNone };
    TColor FBkgColor { clNone };
};

// Colours of cells holding negative and non-negative numbers.
class TAutoColor : public TPersistent {
    QT_CLASS(TAutoColor, TPersistent)
public:
    TAutoColor();
    ~TAutoColor() override;
    TColorSetting* GetNegativeNumber() const { return FNegativeNumber.get(); }
    void SetNegativeNumber(TColorSetting* Value) { FNegativeNumber->Assign(Value); }
    TColorSetting* GetPositiveNumber() const { return FPositiveNumber.get(); }
    void SetPositiveNumber(TColorSetting* Value) { FPositiveNumber->Assign(Value); }
    // Any of the four colours is set.
    bool HasColors() const;
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    std::unique_ptr<TColorSetting> FNegativeNumber;
    std::unique_ptr<TColorSetting> FPositiveNumber;
};

// ---- TGridProgressAppearance ----

enum TProgressStyle { psXP, psClassic };
QT_ENUM(TProgressStyle, psXP, psClassic)

#define GRID_PROGRESS_PROPS(X)                                                                   \
    X(TColor, CompleteColor, TColor(0x0000FF)) X(TColor, CompleteFontColor, TColor(0xFF0000))    \
    X(TColor, UnCompleteColor, clNone) X(TColor, UnCompleteFontColor, clWindowText)              \
    X(TColor, Level0Color, TColor(0x00FF00)) X(TColor, Level0ColorTo, TColor(0xE1FFE1))         \
    X(TColor, Level1Color, TColor(0x00FFFF)) X(TColor, Level1ColorTo, TColor(0xCAFFFF))         \
    X(TColor, Level2Color, TColor(0x53A9FF)) X(TColor, Level2ColorTo, TColor(0xA8D3FF))         \
    X(TColor, Level3Color, TColor(0x0000FF)) X(TColor, Level3ColorTo, TColor(0xCACAFF))         \
    X(int, Level1Perc, 70) X(int, Level2Perc, 90) X(TColor, BorderColor, TColor(0))              \
    X(bool, ShowBorder, false) X(bool, Stacked, false) X(bool, ShowPercentage, true)             \
    X(bool, CompletionSmooth, true) X(bool, ShowGradient, true) X(int, Steps, 11)
// Public, not published.
#define GRID_PROGRESS_PUBLIC(X) X(TProgressStyle, Style, psXP)

// Every setter stores a new value and tells OnChange; the same value does nothing.
class TGridProgressAppearance : public TPersistent {
    QT_CLASS(TGridProgressAppearance, TPersistent)
#define GRID_PROGRESS_FIELD(T, N, V)               \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v)                               \
    {                                              \
        if (F##N == v)                             \
            return;                                \
        F##N = v;                                  \
        Changed();                                 \
    }                                              \
                                                   \
private:                                           \
    T F##N { V };
    GRID_PROGRESS_PROPS(GRID_PROGRESS_FIELD)
    GRID_PROGRESS_PUBLIC(GRID_PROGRESS_FIELD)
#undef GRID_PROGRESS_FIELD
public:
    // Copies everything, Style included, then tells OnChange once.
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
};

// ---- TBalloonSettings ----

class TBalloonSettings : public TPersistent {
    QT_CLASS(TBalloonSettings, TPersistent)
public:
    bool GetEnable() const { return FEnable; }
    // Tells OnEnableChange when the value changes.
    void SetEnable(bool Value);
    // Given to the tooltip before it shows, unless clNone.
    TColor GetTextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { FTextColor = Value; }
    TColor GetBackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value) { FBackgroundColor = Value; }
    // Milliseconds; -1 keeps the platform's delay.
    int GetInitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int Value) { FInitialDelay = Value; }
    int GetReshowDelay() const { return FReshowDelay; }
    void SetReshowDelay(int Value) { FReshowDelay = Value; }
    int GetAutoHideDelay() const { return FAutoHideDelay; }
    void SetAutoHideDelay(int Value) { FAutoHideDelay = Value; }
    bool GetShowCell() const { return FShowCell; }
    void SetShowCell(bool Value) { FShowCell = Value; }
    // 0 opaque; otherwise the tooltip's opacity is 255 - Transparency.
    Byte GetTransparency() const { return FTransparency; }
    void SetTransparency(Byte Value) { FTransparency = Value; }
    // Copies Enable without telling OnEnableChange; Transparency stays.
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnEnableChange;

private:
    bool FEnable { false };
    TColor FTextColor { clNone };
    TColor FBackgroundColor { clNone };
    int FInitialDelay { -1 };
    int FReshowDelay { -1 };
    int FAutoHideDelay { -1 };
    bool FShowCell { true };
    Byte FTransparency { 0 };
};

// ---- TShowModified ----

class TShowModified : public TPersistent {
    QT_CLASS(TShowModified, TPersistent)
public:
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TColor GetColor() const { return FColor; }
    // Every write tells OnChange, also with the same colour.
    void SetColor(TColor Value);
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    bool FEnabled { false };
    TColor FColor { TColor(0x00FFFF) };
};

// ---- TDragScrollOptions ----

class TDragScrollDelays : public TPersistent {
    QT_CLASS(TDragScrollDelays, TPersistent)
public:
    int GetInitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int Value) { FInitialDelay = Value; }
    int GetRepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(int Value) { FRepeatDelay = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FInitialDelay { 1000 };
    int FRepeatDelay { 250 };
};

class TDragScrollMargins : public TPersistent {
    QT_CLASS(TDragScrollMargins, TPersistent)
public:
    int GetTopMargin() const { return FTopMargin; }
    void SetTopMargin(int Value) { FTopMargin = Value; }
    int GetBottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(int Value) { FBottomMargin = Value; }
    int GetLeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value) { FLeftMargin = Value; }
    int GetRightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value) { FRightMargin = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FTopMargin { 50 };
    int FBottomMargin { 50 };
    int FLeftMargin { 50 };
    int FRightMargin { 50 };
};

class TDragScrollOptions : public TPersistent {
    QT_CLASS(TDragScrollOptions, TPersistent)
public:
    TDragScrollOptions();
    ~TDragScrollOptions() override;
    bool GetActive() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TDragScrollDelays* GetDelays() const { return FDelays.get(); }
    void SetDelays(TDragScrollDelays* Value) { FDelays->Assign(Value); }
    TDragScrollMargins* GetMargins() const { return FMargins.get(); }
    void SetMargins(TDragScrollMargins* Value) { FMargins->Assign(Value); }
    void Assign(TPersistent* Source) override;

private:
    bool FActive { false };
    std::unique_ptr<TDragScrollDelays> FDelays;
    std::unique_ptr<TDragScrollMargins> FMargins;
};

// ---- THoverButtons ----

enum THoverButtonPosition { hbLeftFromColumnLeft, hbRightFromColumnLeft, hbLeftFromColumnRight, hbRightFromColumnRight };
QT_ENUM(THoverButtonPosition, hbLeftFromColumnLeft, hbRightFromColumnLeft, hbLeftFromColumnRight,
    hbRightFromColumnRight)
enum THoverRows { hrAll, hrNormal };
QT_ENUM(THoverRows, hrAll, hrNormal)

class THoverButtonsCollectionItem : public TCollectionItem {
    QT_CLASS(THoverButtonsCollectionItem, TCollectionItem)
public:
    explicit THoverButtonsCollectionItem(TCollection* Collection = nullptr);
    ~THoverButtonsCollectionItem() override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value) { Notify(FCaption, Value); }
    const String& GetHint() const { return FHint; }
    void SetHint(const String& Value) { Notify(FHint, Value); }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { Notify(FEnabled, Value); }
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value) { Notify(FFlat, Value); }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { Notify(FImageIndex, Value); }
    // Copies the picture and always tells the collection.
    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);
    int GetTag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // Pixels; 0 is the button's own width.
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    // Everything but ImageIndex.
    void Assign(TPersistent* Source) override;

private:
    template<class T>
    void Notify(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed(false);
    }
    String FCaption;
    String FHint;
    bool FEnabled { true };
    bool FFlat { false };
    int FImageIndex { -1 };
    std::unique_ptr<TPicture> FPicture;
    int FTag { 0 };
    int FWidth { 0 };
};

// Every change of an item sets Updated, so the grid knows to rebuild the
// buttons it shows.
class THoverButtonsCollection : public TOwnedCollection {
    QT_CLASS(THoverButtonsCollection, TOwnedCollection)
public:
    explicit THoverButtonsCollection(TPersistent* AOwner = nullptr)
        : TOwnedCollection(AOwner, THoverButtonsCollectionItem::StaticClassInfo())
    {
    }
    THoverButtonsCollectionItem* Add() { return static_cast<THoverButtonsCollectionItem*>(TCollection::Add()); }
    THoverButtonsCollectionItem* Insert(int Index)
    {
        return static_cast<THoverButtonsCollectionItem*>(TCollection::Insert(Index));
    }
    THoverButtonsCollectionItem* GetItems(int Index) const
    {
        return static_cast<THoverButtonsCollectionItem*>(GetItem(Index));
    }
    void SetItems(int Index, THoverButtonsCollectionItem* Value) { GetItem(Index)->Assign(Value); }
    void Update(TCollectionItem*) override { Updated = true; }
    bool Updated { false };
};

class THoverButtons : public TPersistent {
    QT_CLASS(THoverButtons, TPersistent)
public:
    explicit THoverButtons(TPersistent* AOwner = nullptr);
    ~THoverButtons() override;
    TPersistent* GetOwner() override { return FOwner; }

    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    THoverButtonsCollection* GetButtons() const { return FButtons.get(); }
    void SetButtons(THoverButtonsCollection* Value) { FButtons->Assign(Value); }
    // The column whose cell anchors the strip.
    int GetColumn() const { return FColumn; }
    void SetColumn(int Value) { FColumn = Value; }
    THoverButtonPosition GetPosition() const { return FPosition; }
    void SetPosition(THoverButtonPosition Value) { FPosition = Value; }
    THoverRows GetRows() const { return FRows; }
    void SetRows(THoverRows Value) { FRows = Value; }
    bool GetMoveActiveRow() const { return FMoveActiveRow; }
    void SetMoveActiveRow(bool Value) { FMoveActiveRow = Value; }
    void Assign(TPersistent* Source) override;

private:
    TPersistent* FOwner { nullptr };
    bool FEnabled { false };
    std::unique_ptr<THoverButtonsCollection> FButtons;
    int FColumn { 0 };
    THoverButtonPosition FPosition { hbLeftFromColumnLeft };
    THoverRows FRows { hrAll };
    bool FMoveActiveRow { true };
};

// ---- TDragDropSettings ----

// The unit-wide switch that lets drops and drags carry rich text; the last
// grid to set its OleDropRTF decides for all.
void EnableRTFDrop(bool Value);
bool RTFDropEnabled();

#define GRID_DRAGDROP_PLAIN(X)                                                                     \
    X(OleDropSource, false) X(OleAcceptText, true) X(OleAcceptFiles, true) X(OleAcceptURLs, true)  \
    X(OleEntireRows, false) X(OleInsertRows, false) X(OleRemoveRows, false)                        \
    X(OleAppendRows, false) X(OleCopyAlways, false) X(OleColumnDragDrop, false)                    \
    X(OleColumnReorder, false) X(OleColumnsOnly, false) X(ShowCells, true)

class TDragDropSettings : public TPersistent {
    QT_CLASS(TDragDropSettings, TPersistent)
#define GRID_DRAGDROP_FIELD(N, V)                  \
public:                                            \
    bool Get##N() const { return F##N; }           \
    void Set##N(bool v) { F##N = v; }              \
                                                   \
private:                                           \
    bool F##N { V };
    GRID_DRAGDROP_PLAIN(GRID_DRAGDROP_FIELD)
#undef GRID_DRAGDROP_FIELD
public:
    explicit TDragDropSettings(TDedOzovedUrad* AOwner = nullptr) : FOwner(AOwner) { }

    // At run time, on registers a new drop target for the grid's window and
    // off revokes a registration the grid holds; at design time it only stores.
    bool GetOleDropTarget() const { return FOleDropTarget; }
    void SetOleDropTarget(bool Value);
    // Stored here and as the unit-wide rich-text switch.
    bool GetOleDropRTF() const { return FOleDropRTF; }
    void SetOleDropRTF(bool Value);
    bool GetOleColumnPicker() const { return FOleColumnPicker; }
    void SetOleColumnPicker(bool Value) { FOleColumnPicker = Value; }
    // Used by the drag code.
    int GetDeltaY() const { return FDeltaY; }
    void SetDeltaY(int Value) { FDeltaY = Value; }
    int GetSourceY() const { return FSourceY; }
    void SetSourceY(int Value) { FSourceY = Value; }

    // Every switch; OleDropTarget and OleDropRTF through their setters.
    void Assign(TPersistent* Source) override;

private:
    TDedOzovedUrad* FOwner { nullptr };
    bool FOleDropTarget { false };
    bool FOleDropRTF { false };
    bool FOleColumnPicker { false };
    int FDeltaY { 0 };
    int FSourceY { 0 };
};
