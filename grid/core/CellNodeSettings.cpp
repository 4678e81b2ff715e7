#include "grid/core/CellNodeSettings.h"

#include "grid/core/DedOzovedUrad.h"

QT_PUBLISHED(TCellNode, QT_PROP_T(Color, u"TColor"), QT_PROP(NodeType), QT_PROP_T(NodeColor, u"TColor"),
    QT_PROP(ExpandGlyph), QT_PROP(ExpandOne), QT_PROP(ContractGlyph), QT_PROP(ShowTree), QT_PROP(ShowTreeFull),
    QT_PROP(NodeIndent), QT_PROP_T(TreeColor, u"TColor"), QT_PROP(NodeColumn))
QT_PUBLISHED(TSizeWhileTyping, QT_PROP(Height), QT_PROP(Width))
QT_PUBLISHED(TColumnSize, QT_PROP(Save), QT_PROP(Key), QT_PROP(Section), QT_PROP(Stretch), QT_PROP(StretchColumn),
    QT_PROP(StretchAll), QT_PROP(SynchWithGrid), QT_PROP(SynchNormalCellsOnly), QT_PROP(Location), QT_PROP(Rows))

// ---- TCellNode ----

TCellNode::TCellNode(TDedOzovedUrad* AOwner)
    : FExpandGlyph(std::make_unique<TBitmap>())
    , FContractGlyph(std::make_unique<TBitmap>())
    , FOwner(AOwner)
{
}

TCellNode::~TCellNode() = default;

void TCellNode::InvalidateGrid()
{
    if (FOwner)
        FOwner->Invalidate();
}

void TCellNode::SetNodeColumn(int Value)
{
    if (Value == FNodeColumn)
        return;
    if (FOwner && FOwner->GetNodeCount() > 0)
        throw Exception(u"Cannot change node column when grid has nodes");
    FNodeColumn = Value;
}

void TCellNode::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TCellNode*>(Source);
    if (!S)
        return;
    FColor = S->FColor;
    FExpandOne = S->FExpandOne;
    FNodeType = S->FNodeType;
    FNodeColor = S->FNodeColor;
    FNodeIndent = S->FNodeIndent;
    FExpandGlyph->Assign(S->FExpandGlyph.get());
    FContractGlyph->Assign(S->FContractGlyph.get());
    FShowTree = S->FShowTree;
    FShowTreeFull = S->FShowTreeFull;
    FTreeColor = S->FTreeColor;
    FNodeColumn = S->FNodeColumn;
}

// ---- TColumnSize ----

void TColumnSize::Stretched()
{
    if (FOwner && FOwner->GetParent())
        FOwner->ApplyColumnStretch(FStretchColumn, -1);
}

void TColumnSize::SetStretch(bool Value)
{
    FStretch = Value;
    Stretched();
}

void TColumnSize::SetStretchAll(bool Value)
{
    if (FStretchAll == Value)
        return;
    // Stretching all columns stretches none in particular.
    if (Value)
        FStretchColumn = -1;
    FStretchAll = Value;
    if (FOwner)
        FOwner->ApplyColumnStretch(-1, -1);
}

void TColumnSize::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TColumnSize*>(Source);
    if (!S)
        return;
    FRows = S->FRows;
    FSave = S->FSave;
    FKey = S->FKey;
    FSection = S->FSection;
    FStretch = S->FStretch;
    FStretchColumn = S->FStretchColumn;
    FSynchWithGrid = S->FSynchWithGrid;
    FSynchNormalCellsOnly = S->FSynchNormalCellsOnly;
    FLocation = S->FLocation;
}
