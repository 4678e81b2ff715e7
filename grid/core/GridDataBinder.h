#pragma once
// What a data source needs of a grid to fill it: the update bracket, the
// counts of data columns and rows and the data cells and headers. Columns
// and rows of this interface count data cells from 0; the grid adds its
// fixed lines.

#include "platform/rtl/String.h"

class VOzuDazeZiravaRiru {
public:
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void SetDataColumnCount(int N) = 0;
    virtual void SetDataRowCount(int N) = 0;
    virtual void ClearData() = 0;
    virtual int GetDataRowCount() = 0;
    virtual void SetDataCell(int ACol, int ARow, const String& Value) = 0;
    virtual void SetDataHeader(int ACol, const String& Value) = 0;

protected:
    ~VOzuDazeZiravaRiru() = default;
};
