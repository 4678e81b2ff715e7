#include <gtest/gtest.h>

#include <fstream>

#include "foundation/VuzErazs.h"
#include "platform/rtl/FileUtils.h"
#include "platform/vcl/Dialogs.h"
#include "tests/support/Fixtures.h"

namespace {

String PathOf(const std::filesystem::path& p)
{
    return Utf8ToString(p.string());
}

TEST(VuzErazsDialogs, SelectFileStartsInTheFolderAndCallsBackEitherWay)
{
    testsupport::TempDir dir;
    std::ofstream(dir / "list.csv") << "a,b\n";
    const String folder = PathOf(dir.path());
    const String file = PathOf(dir / "list.csv");

    TDialogAnswers answers;
    answers.Answer(mrOk, file);
    int calls = 0;
    bool lastResult = false;
    auto callBack = [&](const String&, bool result) {
        ++calls;
        lastResult = result;
    };
    String name;
    EXPECT_TRUE(TVuzErazs::SelectFile(name, folder, u"CSV|*.csv", callBack));
    EXPECT_EQ(name, file);
    EXPECT_EQ(answers.Last().Kind, TDialogKind::OpenFile);
    EXPECT_EQ(ExcludeTrailingPathDelimiter(answers.Last().InitialDir), folder);
    EXPECT_EQ(answers.Last().Filter, u"CSV|*.csv");
    EXPECT_TRUE(lastResult);

    // No queued answer: the dialog is cancelled.
    EXPECT_FALSE(TVuzErazs::SelectFile(name, folder, {}, callBack));
    EXPECT_EQ(name, file); // unchanged on cancel
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(lastResult);
}

TEST(VuzErazsDialogs, SaveFileProposesTheNameAndKeepsItsExtension)
{
    testsupport::TempDir dir;
    const String folder = PathOf(dir.path());
    struct Case {
        const char* typed;
        const char* result;
    };
    const Case cases[] = { { "report", "report.csv" }, { "report.txt", "report.txt" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TDialogAnswers answers;
        answers.Answer(mrOk, PathOf(dir / c.typed));
        String name = PathOf(dir / "export.csv");
        EXPECT_TRUE(TVuzErazs::SaveFile(name, u"CSV|*.csv"));
        EXPECT_EQ(name, PathOf(dir / c.result));
        EXPECT_EQ(answers.Last().Kind, TDialogKind::SaveFile);
        EXPECT_EQ(ExcludeTrailingPathDelimiter(answers.Last().InitialDir), folder);
        EXPECT_EQ(ExtractFileName(answers.Last().Value), u"export.csv");
    }
}

TEST(VuzErazsDialogs, MessagesShowTheirTypeAndButtons)
{
    TDialogAnswers answers;
    answers.Answer(mrOk).Answer(mrNo);
    EXPECT_EQ(TVuzErazs::Message(u"Saved"), mrOk);
    EXPECT_EQ(answers.Last().Text, u"Saved");
    EXPECT_EQ(answers.Last().DlgType, mtInformation);
    EXPECT_EQ(TVuzErazs::Message(u"Overwrite?", mtConfirmation, mbYesNo.Bits(), 0), mrNo);
    EXPECT_EQ(answers.Last().Buttons.size(), 2u);
}

} // namespace
