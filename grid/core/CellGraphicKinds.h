#pragma once
// The kinds of object a grid cell may carry besides its text, and where the
// object sits in the cell. The painters decide by kind which colours and
// fonts a cell keeps, and place text beside an object by its alignment.

#include "platform/rtl/TypInfo.h"

enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand, ctDataPicture,
    ctVirtButton
};
QT_ENUM(TCellType, ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode,
    ctRadio, ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand, ctDataPicture,
    ctVirtButton)

enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
QT_ENUM(TCellHAlign, haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull)
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
QT_ENUM(TCellVAlign, vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull)

// A cell whose object is worked like a control: check boxes, radio buttons
// and buttons.
inline bool IsControlCellKind(TCellType Kind)
{
    switch (Kind) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadio:
    case ctRadioButton:
    case ctButton:
    case ctBitButton:
    case ctVirtButton: return true;
    default: return false;
    }
}
