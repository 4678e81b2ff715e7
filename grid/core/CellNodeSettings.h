#pragma once
// Three small settings objects of the string grid: how row nodes look and
// which column holds them (TCellNode), whether the edited cell grows while
// the user types (TSizeWhileTyping), and how column widths are saved and
// stretched (TColumnSize).

#include <memory>

#include "platform/vcl/Graphics.h"

class TDedOzovedUrad;

enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
QT_ENUM(TNodeType, cnFlat, cn3D, cnGlyph, cnLeaf, cnXP)
enum TColumnSizeLocation { clRegistry, clIniFile };
QT_ENUM(TColumnSizeLocation, clRegistry, clIniFile)
// The rows column auto-sizing measures.
enum TAutoSizeRows { arAll, arNormal, arFixed, arVisible };
QT_ENUM(TAutoSizeRows, arAll, arNormal, arFixed, arVisible)

class TCellNode : public TPersistent {
    QT_CLASS(TCellNode, TPersistent)
public:
    explicit TCellNode(TDedOzovedUrad* AOwner = nullptr);
    ~TCellNode() override;
    void Assign(TPersistent* Source) override;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TNodeType GetNodeType() const { return FNodeType; }
    void SetNodeType(TNodeType Value) { Repaint(FNodeType, Value); }
    TColor GetNodeColor() const { return FNodeColor; }
    void SetNodeColor(TColor Value) { FNodeColor = Value; }
    // Glyph of a contracted (expandable) node; the setter copies.
    TBitmap* GetExpandGlyph() const { return FExpandGlyph.get(); }
    void SetExpandGlyph(TBitmap* Value) { FExpandGlyph->Assign(Value); }
    bool GetExpandOne() const { return FExpandOne; }
    void SetExpandOne(bool Value) { FExpandOne = Value; }
    TBitmap* GetContractGlyph() const { return FContractGlyph.get(); }
    void SetContractGlyph(TBitmap* Value) { FContractGlyph->Assign(Value); }
    bool GetShowTree() const { return FShowTree; }
    void SetShowTree(bool Value) { Repaint(FShowTree, Value); }
    bool GetShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool Value) { Repaint(FShowTreeFull, Value); }
    int GetNodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int Value) { Repaint(FNodeIndent, Value); }
    TColor GetTreeColor() const { return FTreeColor; }
    void SetTreeColor(TColor Value) { Repaint(FTreeColor, Value); }
    // The real column of the node objects. Raises Exception "Cannot change
    // node column when grid has nodes" while nodes exist.
    int GetNodeColumn() const { return FNodeColumn; }
    void SetNodeColumn(int Value);

private:
    template<class T>
    void Repaint(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        InvalidateGrid();
    }
    void InvalidateGrid();

    TColor FColor { TColor(0xC0C0C0) };
    TNodeType FNodeType { cnXP };
    TColor FNodeColor { TColor(0) };
    std::unique_ptr<TBitmap> FExpandGlyph;
    bool FExpandOne { false };
    std::unique_ptr<TBitmap> FContractGlyph;
    TDedOzovedUrad* FOwner { nullptr };
    bool FShowTree { true };
    bool FShowTreeFull { true };
    int FNodeIndent { 12 };
    TColor FTreeColor { TColor(0x808080) };
    int FNodeColumn { 0 };
};

// Read by the in-place editors: the row grows while the edited text wraps
// onto more lines (Height), the column while it gets longer (Width).
class TSizeWhileTyping : public TPersistent {
    QT_CLASS(TSizeWhileTyping, TPersistent)
public:
    bool GetHeight() const { return FHeight; }
    void SetHeight(bool Value) { FHeight = Value; }
    bool GetWidth() const { return FWidth; }
    void SetWidth(bool Value) { FWidth = Value; }

private:
    bool FHeight { false };
    bool FWidth { false };
};

class TColumnSize : public TPersistent {
    QT_CLASS(TColumnSize, TPersistent)
public:
    explicit TColumnSize(TDedOzovedUrad* AOwner = nullptr) : FOwner(AOwner) { }
    // Everything but StretchAll; Stretch is stored without stretching.
    void Assign(TPersistent* Source) override;

    // Widths are saved when the grid goes and restored when its window is
    // made or it is loaded.
    bool GetSave() const { return FSave; }
    void SetSave(bool Value) { FSave = Value; }
    // Ini file name or registry key.
    const String& GetKey() const { return FKey; }
    void SetKey(const String& Value) { FKey = Value; }
    const String& GetSection() const { return FSection; }
    void SetSection(const String& Value) { FSection = Value; }
    // Stretch stretches StretchColumn at once when the grid has a parent; a
    // changed StretchAll stretches the columns (True forgets StretchColumn).
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);
    // -1: the last column.
    int GetStretchColumn() const { return FStretchColumn; }
    void SetStretchColumn(int Value) { FStretchColumn = Value; }
    bool GetStretchAll() const { return FStretchAll; }
    void SetStretchAll(bool Value);
    bool GetSynchWithGrid() const { return FSynchWithGrid; }
    void SetSynchWithGrid(bool Value) { FSynchWithGrid = Value; }
    bool GetSynchNormalCellsOnly() const { return FSynchNormalCellsOnly; }
    void SetSynchNormalCellsOnly(bool Value) { FSynchNormalCellsOnly = Value; }
    TColumnSizeLocation GetLocation() const { return FLocation; }
    void SetLocation(TColumnSizeLocation Value) { FLocation = Value; }
    TAutoSizeRows GetRows() const { return FRows; }
    void SetRows(TAutoSizeRows Value) { FRows = Value; }

private:
    void Stretched();

    TDedOzovedUrad* FOwner { nullptr };
    bool FSave { false };
    String FKey;
    String FSection;
    bool FStretch { false };
    int FStretchColumn { -1 };
    bool FStretchAll { false };
    bool FSynchWithGrid { false };
    bool FSynchNormalCellsOnly { false };
    TColumnSizeLocation FLocation { clRegistry };
    TAutoSizeRows FRows { arAll };
};
