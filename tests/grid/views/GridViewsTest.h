#pragma once
// What the tests of sorting, filtering and row nodes share: a grid with one
// fixed row filled from a table, its columns read back, and the process's
// format settings changed for one test.

#include <gtest/gtest.h>

#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace gridviewstest {

using TTexts = std::vector<String>;

// Day/month/year dates with "/" (and a currency string) for one test.
struct TFormatScope {
    TFormatSettings Saved { ProcessFormatSettings() };
    TFormatScope()
    {
        TFormatSettings& fs = ProcessFormatSettings();
        fs.ShortDateFormat = u"dd/MM/yyyy";
        fs.DateSeparator = u'/';
        fs.TimeSeparator = u':';
        fs.DecimalSeparator = u'.';
        fs.ThousandSeparator = u',';
        fs.CurrencyString = u"$";
    }
    ~TFormatScope() { ProcessFormatSettings() = Saved; }
};

// One fixed row (the header), no fixed column; rows below hold the table.
struct TViewsGrid : ::testing::Test {
    TDedOzovedUrad G { nullptr };

    void Fill(const std::vector<TTexts>& Rows, int FixedCols = 0)
    {
        G.SetColCount(int(Rows[0].size()));
        G.SetRowCount(int(Rows.size()) + 1);
        G.SetFixedRows(1);
        G.SetFixedCols(FixedCols);
        for (int c = 0; c < G.GetColCount(); ++c)
            G.SetCellEx(c, 0, u"H" + IntToStr(c));
        for (int r = 0; r < int(Rows.size()); ++r)
            for (int c = 0; c < int(Rows[std::size_t(r)].size()); ++c)
                G.SetCellEx(c, r + 1, Rows[std::size_t(r)][std::size_t(c)]);
    }
    // One column of texts.
    void FillColumn(const TTexts& Texts)
    {
        std::vector<TTexts> Rows;
        for (const String& s : Texts)
            Rows.push_back({ s });
        Fill(Rows);
    }
    // The raw texts of a column below the fixed rows.
    TTexts Col(int c)
    {
        TTexts r;
        for (int i = G.GetFixedRows(); i < G.GetRowCount(); ++i)
            r.push_back(G.GetGridCell(c, i));
        return r;
    }
};

} // namespace gridviewstest
