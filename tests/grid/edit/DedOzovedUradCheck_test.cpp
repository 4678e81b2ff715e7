#include <gtest/gtest.h>

#include <memory>

#include "grid/edit/DedOzovedUradCheck.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"

TEST(CellChecker, BaseReturnsTextsUnchangedAndReportsOk)
{
    TDedOzovedUradCheck checker(nullptr);
    EXPECT_EQ(checker.GetLastResult(), mrOk);
    EXPECT_FALSE(checker.GetAutoCorrect() || checker.GetAutoMarkError() || checker.GetGotoCell()
        || checker.GetUseCorrect() || checker.GetUseMarkError());
    for (const char16_t* text : { u"", u"teh cat", u"line\r\nbreak" }) {
        SCOPED_TRACE(StringToUtf8(text));
        checker.SetLastResult(mrCancel);
        EXPECT_EQ(checker.Correct(1, 2, text), text);
        EXPECT_EQ(checker.GetLastResult(), mrOk);
        checker.SetLastResult(mrAbort);
        EXPECT_EQ(checker.MarkError(1, 2, text), text);
        EXPECT_EQ(checker.GetLastResult(), mrOk);
    }
    checker.StartCheck();
    checker.StopCheck();
    for (const char16_t* name : { u"AutoCorrect", u"AutoMarkError", u"GotoCell", u"UseCorrect", u"UseMarkError" })
        EXPECT_NE(GetPropInfo(&checker, name), nullptr) << StringToUtf8(name);
}

// A descendant changes texts through the virtual operations.
class TUpperChecker : public TDedOzovedUradCheck {
public:
    using TDedOzovedUradCheck::TDedOzovedUradCheck;
    String Correct(int, int, const String& s) override { return UpperCase(s); }
};

TEST(CellChecker, GridReferenceGoesWithTheGrid)
{
    auto grid = std::make_unique<TComponent>(nullptr);
    TUpperChecker checker(nullptr);
    TDedOzovedUradCheck& base = checker;
    EXPECT_EQ(base.Correct(0, 0, u"abc"), u"ABC");
    checker.SetGrid(grid.get());
    EXPECT_EQ(checker.GetGrid(), grid.get());
    grid.reset();
    EXPECT_EQ(checker.GetGrid(), nullptr);

    // A checker that goes first leaves nothing behind in the grid.
    auto other = std::make_unique<TComponent>(nullptr);
    {
        TDedOzovedUradCheck shortLived(nullptr);
        shortLived.SetGrid(other.get());
    }
    other.reset();

    // Switching grids stops listening to the old one.
    auto first = std::make_unique<TComponent>(nullptr);
    auto second = std::make_unique<TComponent>(nullptr);
    checker.SetGrid(first.get());
    checker.SetGrid(second.get());
    first.reset();
    EXPECT_EQ(checker.GetGrid(), second.get());
    second.reset();
    EXPECT_EQ(checker.GetGrid(), nullptr);
}
