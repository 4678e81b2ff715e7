#pragma once
// The object a grid cell may carry besides its text: a check box, a picture,
// a radio group, a button, a progress bar, a comment and the other kinds of
// TCellType. One record serves every kind; CellType says which members are
// in use. What different kinds keep lives in members of its own type, so
// that nothing is read the wrong way: an object reference never holds a
// colour (a colour can never be freed as an object), an error marker is not
// a range, a node's bookkeeping is not a progress bar's, and a balloon
// riding on a check box or radio button neither greys the box nor takes the
// button's group.
//
// Ownership: the record owns its main object and icon while CellCreated is
// set (the grid made them), and always owns its balloon. Objects handed in
// by the application stay the application's.
//
// IGridCellObject: what an object of kind ctInterface may implement to draw
// and size itself.

#include <memory>

#include "grid/core/CellGraphicKinds.h"
#include "grid/core/IntList.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

class TFilePicture;
class TDedOzovedUrad;

// How a picture fills its cell.
enum TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };
QT_ENUM(TStretchMode, noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio)
using TCellTypes = Set<TCellType>;

// The radio buttons one cell radio button is exclusive with.
enum TRadioButtonGroup { rgNone, rgCol, rgRow };
QT_ENUM(TRadioButtonGroup, rgNone, rgCol, rgRow)

// An object drawn and sized by itself (cell kind ctInterface). A width or
// height of 0 stands for the cell's own.
class IGridCellObject {
public:
    virtual ~IGridCellObject() = default;
    // Rect: the cell rectangle grown by one pixel to the left and top.
    virtual void Draw(TCanvas* Canvas, TRect Rect, int ACol, int ARow, bool Selected, TDedOzovedUrad* Grid) = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    // True: painted before the cell text (under it); false: after it.
    virtual bool IsBackground() = 0;
};

// A row node's bookkeeping (kind ctNode, in the node column): the node's
// row, whether it is contracted, its span in rows (the node row included)
// and its number of child nodes.
struct TCellNodeData {
    int Row { 0 };
    bool Contracted { false };
    int Span { 0 };
    int SubNodes { 0 };
    bool operator==(const TCellNodeData&) const = default;
};

// Minimum and maximum of a progress bar, a themed progress bar or a cell
// scroll bar (whose range is Max).
struct TCellValueRange {
    int Min { 0 };
    int Max { 0 };
    bool operator==(const TCellValueRange&) const = default;
};

// What a progress bar shows beside its colours and range: the text colours
// over the bar and over the background, the text format and the scale, and
// whether the text colours and the format are used.
struct TCellProgressData {
    TColor TextColor { TColor(0) };
    TColor BkTextColor { TColor(0) };
    String Format;
    double Scale { 0.0 };
    bool UseText { false };
    bool operator==(const TCellProgressData&) const = default;
};

// A balloon: the cell's object (ctBalloon) or riding on an icon, a check
// box or a radio button.
struct TCellBalloonData {
    String Title;
    String Text;
    int Icon { 0 };
};

class TBaseCellGraphic : public TPersistent {
    QT_CLASS(TBaseCellGraphic, TPersistent)
public:
    TBaseCellGraphic() = default;
    ~TBaseCellGraphic() override;
    TBaseCellGraphic(const TBaseCellGraphic&) = delete;
    TBaseCellGraphic& operator=(const TBaseCellGraphic&) = delete;

    // Copies the kind, placement and every value member; not the objects,
    // colours, balloon, CellVar or the three-state value. The record keeps
    // its own CellCreated: it may only free what it made itself.
    void Assign(TPersistent* Source) override;

    // ---- the fields every kind reads its own way ----
    TCellType GetCellType() const { return FCellType; }
    void SetCellType(TCellType v) { FCellType = v; }
    TCellVAlign GetCellVAlign() const { return FCellVAlign; }
    void SetCellVAlign(TCellVAlign v) { FCellVAlign = v; }
    TCellHAlign GetCellHAlign() const { return FCellHAlign; }
    void SetCellHAlign(TCellHAlign v) { FCellHAlign = v; }
    int GetCellIndex() const { return FCellIndex; }
    void SetCellIndex(int v) { FCellIndex = v; }
    bool GetCellTransparent() const { return FCellTransparent; }
    void SetCellTransparent(bool v) { FCellTransparent = v; }
    bool GetCellCreated() const { return FCellCreated; }
    void SetCellCreated(bool v) { FCellCreated = v; }
    bool GetCellBoolean() const { return FCellBoolean; }
    void SetCellBoolean(bool v) { FCellBoolean = v; }
    int GetCellAngle() const { return FCellAngle; }
    void SetCellAngle(int v) { FCellAngle = v; }
    double GetCellValue() const { return FCellValue; }
    void SetCellValue(double v) { FCellValue = v; }
    const String& GetCellText() const { return FCellText; }
    void SetCellText(const String& v) { FCellText = v; }
    const Variant& GetCellVar() const { return FCellVar; }
    void SetCellVar(const Variant& v) { FCellVar = v; }
    TCheckBoxState GetCellCheckBoxState() const { return FCellCheckBoxState; }
    void SetCellCheckBoxState(TCheckBoxState v) { FCellCheckBoxState = v; }

    // ---- the error marker in the cell text (start and length) ----
    int GetCellErrFrom() const { return FCellErrFrom; }
    void SetCellErrFrom(int v) { FCellErrFrom = v; }
    int GetCellErrLen() const { return FCellErrLen; }
    void SetCellErrLen(int v) { FCellErrLen = v; }

    // ---- objects ----
    // The kind's main object: the bitmap, picture, file picture, list of
    // radio items, list of image indexes, bit button glyph or self-drawing
    // object; typed views below.
    TObject* GetCellObject() const { return FCellObject; }
    TBitmap* GetCellBitmap() const;
    TIcon* GetCellIcon() const { return FCellIcon; }
    TPicture* GetCellPicture() const;
    TFilePicture* GetCellFilePicture() const;
    TStrings* GetCellRadioItems() const;
    TIntList* GetCellImages() const;
    IGridCellObject* GetCellInterface() const;

    // ---- values of particular kinds ----
    // Colour-carrying kinds: progress bar (bar, background), progress pie
    // (pie), range indicator (negative, positive), shape (fill, line),
    // rating (fill, empty).
    TColor GetCellColor() const { return FCellColor; }
    void SetCellColor(TColor v) { FCellColor = v; }
    TColor GetCellColorTo() const { return FCellColorTo; }
    void SetCellColorTo(TColor v) { FCellColorTo = v; }
    const TCellValueRange& GetCellRange() const { return FCellRange; }
    void SetCellRange(const TCellValueRange& v) { FCellRange = v; }
    const TCellProgressData& GetCellProgress() const { return FCellProgress; }
    void SetCellProgress(const TCellProgressData& v) { FCellProgress = v; }
    const TCellNodeData& GetCellNode() const { return FCellNode; }
    TCellNodeData& CellNode() { return FCellNode; }
    // A radio button's group (ctRadioButton).
    TRadioButtonGroup GetCellRadioGroup() const { return FCellRadioGroup; }
    void SetCellRadioGroup(TRadioButtonGroup v) { FCellRadioGroup = v; }

    // ---- balloon ----
    // The balloon of a ctBalloon object, or one riding on another kind.
    const TCellBalloonData* GetCellBalloon() const { return FCellBalloon.get(); }
    void SetCellBalloon(const String& Title, const String& Text, int Icon);
    void RemoveCellBalloon() { FCellBalloon.reset(); }
    // A balloon riding on an object of another kind.
    bool HasBalloonMark() const { return FCellBalloon && FCellType != ctBalloon; }

    // ---- one setter per kind ----
    void SetBitmap(TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
    void SetIcon(TIcon* AIcon, TCellHAlign hal, TCellVAlign val);
    void SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val);
    void SetDataImage(int idx, TCellHAlign hal, TCellVAlign val);
    void SetDataPicture(TCellHAlign hal, TCellVAlign val);
    // Makes the cell's list of image indexes (owned); dir 0 lays the images
    // out side by side.
    void SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val, TImageChangeEvent Notifier);
    void SetPicture(TPicture* APicture, bool Transparent, TStretchMode StretchMode, int padding, TCellHAlign hal,
        TCellVAlign val);
    void SetFilePicture(TFilePicture* APicture, bool Transparent, TStretchMode StretchMode, int padding,
        TCellHAlign hal, TCellVAlign val);
    // Data: the state is the cell text (ctDataCheckBox).
    void SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val);
    void SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val);
    void SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val, TRadioButtonGroup Group);
    // bw and bh unscaled pixels.
    void SetButton(int bw, int bh, const String& caption, TCellHAlign hal, TCellVAlign val);
    void SetBitButton(int bw, int bh, const String& caption, TBitmap* Glyph, TCellHAlign hal, TCellVAlign val);
    // Kept in 0..360 (360 stays 360).
    void SetAngle(short AAngle);
    void SetInterfacedCell(TObject* AObject);
    // A row node (ctNode).
    void SetNode(const TCellNodeData& Node);
    // A radio group showing Items side by side (Horizontal) or stacked,
    // item Index selected; the record frees Items when Owned.
    void SetRadio(TStrings* Items, bool Owned, bool Horizontal, int Index);
    // Lets go of what the current kind holds (its objects, freed when the
    // record made them, and its balloon) before the record takes another
    // kind in place; the comment and the error marker stay.
    void ReleaseKind();
    // The width and height a picture kind is drawn with in an area of
    // cw x rh pixels, by its stretch mode (CellAngle) and padding
    // (CellIndex); Graph is the container's picture of a ctDataPicture.
    // Other kinds leave Result as it came.
    void GetPictureSize(int cw, int rh, TGraphic* Graph, bool hastext, TPoint& Result) const;
    // The natural size of the picture of a picture kind; (0, 0) otherwise.
    TPoint NaturalPictureSize(TGraphic* Graph) const;

private:
    // A setter installs a new main object: what the record made before goes.
    void ReplaceObject(TObject* AObject, TIcon* AIcon);
    void ReleaseOwned();

    TCellType FCellType { ctNone };
    TObject* FCellObject { nullptr };
    TIcon* FCellIcon { nullptr };
    TCellVAlign FCellVAlign { vaTop };
    TCellHAlign FCellHAlign { haLeft };
    int FCellIndex { 0 };
    bool FCellTransparent { false };
    bool FCellCreated { false };
    bool FCellBoolean { false };
    int FCellAngle { 0 };
    double FCellValue { 0.0 };
    int FCellErrFrom { 0 };
    int FCellErrLen { 0 };
    String FCellText;
    Variant FCellVar;
    TCheckBoxState FCellCheckBoxState { cbUnchecked };
    TColor FCellColor { TColor(0) };
    TColor FCellColorTo { TColor(0) };
    TCellValueRange FCellRange;
    TCellProgressData FCellProgress;
    TCellNodeData FCellNode;
    TRadioButtonGroup FCellRadioGroup { rgNone };
    std::unique_ptr<TCellBalloonData> FCellBalloon;
};

// The record the grid attaches to cells: a comment may sit on any kind.
class TCellGraphic : public TBaseCellGraphic {
    QT_CLASS(TCellGraphic, TBaseCellGraphic)
public:
    // The base fields and, from a TCellGraphic, the comment and its colour.
    void Assign(TPersistent* Source) override;
    const String& GetCellComment() const { return FCellComment; }
    void SetCellComment(const String& v) { FCellComment = v; }
    TColor GetCommentColor() const { return FCommentColor; }
    void SetCommentColor(TColor v) { FCommentColor = v; }

private:
    String FCellComment;
    TColor FCommentColor { TColor(0) };
};
