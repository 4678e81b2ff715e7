#include "platform/vcl/Dialogs.h"

#include <fstream>

#include "platform/rtl/FileUtils.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"
#include "tests/support/Fixtures.h"

namespace {

using Dialogs = SimpleControls;

using Buttons = std::vector<String>;

} // namespace

TEST_F(Dialogs, MessageBoxesShowThePlatformButtonSetsAndTheDefaultAnswers)
{
    struct Case {
        UINT type;
        Buttons buttons;
        int defaultAnswer;
        TMessageDialogType icon;
    };
    const Case cases[] = {
        { MB_OK, { u"OK" }, IDOK, mtCustom },
        { MB_OKCANCEL | MB_ICONQUESTION, { u"OK", u"Cancel" }, IDOK, mtConfirmation },
        { MB_ABORTRETRYIGNORE | MB_ICONERROR, { u"&Abort", u"&Retry", u"&Ignore" }, IDABORT, mtError },
        { MB_YESNOCANCEL | MB_DEFBUTTON3, { u"&Yes", u"&No", u"Cancel" }, IDCANCEL, mtCustom },
        { MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING, { u"&Yes", u"&No" }, IDNO, mtWarning },
        { MB_RETRYCANCEL | MB_ICONINFORMATION, { u"&Retry", u"Cancel" }, IDRETRY, mtInformation },
        { MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, { u"Cancel", u"&Try Again", u"&Continue" }, IDTRYAGAIN, mtCustom },
        { MB_OK | MB_DEFBUTTON4, { u"OK" }, IDOK, mtCustom }, // a default past the last button
    };
    TDialogAnswers answers;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(MessageBox(nullptr, u"Text", u"Caption", c.type), c.defaultAnswer);
        EXPECT_EQ(answers.Last().Kind, TDialogKind::MessageBox);
        EXPECT_EQ(answers.Last().Buttons, c.buttons);
        EXPECT_EQ(answers.Last().DlgType, c.icon);
        EXPECT_EQ(answers.Last().Text, u"Text");
    }
    // An empty caption reads "Error"; an answer is passed back as given.
    answers.Answer(IDNO);
    EXPECT_EQ(MessageBox(nullptr, u"Sure?", String(), MB_YESNO), IDNO);
    EXPECT_EQ(answers.Last().Caption, u"Error");
    // An answer the box has no button for is a mistake of the caller.
    answers.Answer(IDRETRY);
    EXPECT_THROW(MessageBox(nullptr, u"x", u"y", MB_OKCANCEL), EInvalidOperation);
}

TEST_F(Dialogs, MessageDialogsTakeCaptionsFromTheirTypeAndButtonsFromTheSet)
{
    Application->SetTitle(u"QTX");
    struct Case {
        TMessageDialogType type;
        TMessageDialogButtons buttons;
        String caption;
        Buttons shown;
        String defaultButton;
    };
    const Case cases[] = {
        { mtWarning, mbOKCancel, u"Warning", { u"OK", u"Cancel" }, u"OK" },
        { mtError, { mbAbort, mbIgnore }, u"Error", { u"&Abort", u"&Ignore" }, u"&Abort" },
        { mtInformation, { mbOK }, u"Information", { u"OK" }, u"OK" },
        { mtConfirmation, mbYesNoCancel, u"Confirm", { u"&Yes", u"&No", u"Cancel" }, u"&Yes" },
        { mtCustom, mbYesAllNoAllCancel, u"QTX", { u"&Yes", u"&No", u"Cancel", u"N&o to All", u"Yes to &All" },
            u"&Yes" },
        { mtCustom, {}, u"QTX", { u"OK" }, u"OK" },
    };
    TDialogAnswers answers;
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.caption));
        MessageDlg(u"Message", c.type, c.buttons, 0);
        EXPECT_EQ(answers.Last().Caption, c.caption);
        EXPECT_EQ(answers.Last().Buttons, c.shown);
        EXPECT_EQ(answers.Last().DefaultButton, c.defaultButton);
        EXPECT_EQ(answers.Last().DlgType, c.type);
    }
    answers.Answer(mrNo).Answer(mrCancel);
    EXPECT_EQ(MessageDlg(u"Save?", mtConfirmation, mbYesNoCancel, 0), mrNo);
    EXPECT_EQ(MessageDlgPos(u"Save?", mtConfirmation, mbYesNoCancel, 0, 10, 10), mrCancel);
    EXPECT_EQ(MessageDlg(u"Save?", mtConfirmation, mbYesNoCancel, 0, mbCancel), mrCancel); // the default
    ShowMessage(u"Done");
    EXPECT_EQ(answers.Last().Text, u"Done");
    EXPECT_EQ(answers.Last().Buttons, Buttons { u"OK" });
    Application->SetTitle(String());
}

TEST_F(Dialogs, TheApplicationsMessagesAndExceptionsGoThroughTheDialogs)
{
    InstallDialogs();
    Application->SetTitle(u"QTX");
    TDialogAnswers answers;
    answers.Answer(IDCANCEL);
    EXPECT_EQ(Application->MessageBox(u"Go on?", String(), MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(answers.Last().Caption, u"QTX");
    Application->ShowException(Exception(u"Data cannot be saved!"));
    EXPECT_EQ(answers.Last().Text, u"Data cannot be saved!");
    EXPECT_EQ(answers.Last().DlgType, mtError);
    Application->SetTitle(String());
}

TEST_F(Dialogs, InputQueryReturnsTheTextOnlyWhenConfirmed)
{
    TDialogAnswers answers;
    struct Case {
        TModalResult answer;
        String typed;
        bool confirmed;
        String value;
    };
    const Case cases[] = {
        { mrOk, u"5", true, u"5" },
        { mrOk, String(), true, String() },
        { mrCancel, u"ignored", false, u"start" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.typed));
        answers.Answer(c.answer, c.typed);
        String value = u"start";
        EXPECT_EQ(InputQuery(u"Interval", u"Seconds:", value), c.confirmed);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(answers.Last().Kind, TDialogKind::InputQuery);
        EXPECT_EQ(answers.Last().Value, u"start");
        EXPECT_EQ(answers.Last().Text, u"Seconds:");
    }
    answers.Answer(mrCancel);
    EXPECT_EQ(InputBox(u"Name", u"Your name:", u"anonymous"), u"anonymous");
    answers.Answer(mrOk, u"Ann");
    EXPECT_EQ(InputBox(u"Name", u"Your name:", u"anonymous"), u"Ann");
}

// Without a hook the dialog runs modally: keys reach its buttons.
TEST_F(Dialogs, AModalDialogAnswersEnterWithTheDefaultAndEscapeWithCancel)
{
    struct Case {
        TMessageDialogButtons buttons;
        WORD key;
        int expected;
    };
    const Case cases[] = {
        { mbYesNoCancel, VK_RETURN, mrYes },
        { mbYesNoCancel, VK_ESCAPE, mrCancel },
        { mbYesNo, VK_ESCAPE, mrNo },
        { { mbOK }, VK_ESCAPE, mrOk },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        int activations = 0;
        Screen->OnActiveFormChange = [&](TObject*) {
            if (Screen->GetActiveForm() && ++activations == 1)
                Headless::Key(c.key);
        };
        EXPECT_EQ(MessageDlg(u"Really?", mtConfirmation, c.buttons, 0), c.expected);
        Screen->OnActiveFormChange = nullptr;
    }
}

class FileDialogs : public Dialogs {
protected:
    void SetUp() override
    {
        Dialogs::SetUp();
        dir = IncludeTrailingPathDelimiter(Utf8ToString(folder.path().string()));
        ForceDirectories(dir + u"sub");
        for (const char* name : { "a.csv", "b.CSV", "notes.txt" })
            std::ofstream(StringToUtf8(dir) + name) << "x";
    }
    testsupport::TempDir folder;
    String dir;
};

TEST_F(FileDialogs, OpenChecksTheFileExistsAndSaveAddsTheExtensionAndAsksBeforeReplacing)
{
    TDialogAnswers answers;
    TOpenDialog open(nullptr);
    open.SetInitialDir(dir);
    open.SetFilter(u"CSV database or excel text file|*.csv|Text file|*.txt");
    open.SetOptions({ ofFileMustExist });
    // Answers go to the dialogs in the order they come up.
    answers.Answer(mrOk, u"missing.csv").Answer(IDOK).Answer(mrOk, u"a.csv");
    const bool opened = open.Execute();
    ASSERT_TRUE(opened);
    EXPECT_EQ(open.GetFileName(), dir + u"a.csv");
    ASSERT_EQ(answers.Count(), 3); // the open dialog, "not found", the open dialog again
    EXPECT_EQ(answers.Shown()[0].Kind, TDialogKind::OpenFile);
    EXPECT_EQ(answers.Shown()[0].Caption, u"Open");
    EXPECT_EQ(answers.Shown()[0].InitialDir, dir);
    EXPECT_NE(answers.Shown()[1].Text.find(u"File not found."), String::npos);

    answers.Clear();
    TSaveDialog save(nullptr);
    save.SetInitialDir(dir);
    save.SetDefaultExt(u".csv");
    save.SetTitle(u"Save data as...");
    save.SetOptions({ ofOverwritePrompt });
    struct Case {
        String typed;
        std::vector<TModalResult> prompts; // answers to the replace question
        bool saved;
        String expected;
    };
    const Case cases[] = {
        { u"qtx1", {}, true, dir + u"qtx1.csv" },
        { u"notes.txt", {}, false, String() },       // asked, the default is No, then cancelled
        { u"a", { IDYES }, true, dir + u"a.csv" },   // replacing confirmed
        { u"sub", {}, false, String() },             // a folder is opened, not chosen
        { u"nofolder/x.csv", {}, false, String() },  // the path must exist
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.typed));
        answers.Answer(mrOk, c.typed);
        for (TModalResult p : c.prompts)
            answers.Answer(p);
        save.SetFileName(String());
        EXPECT_EQ(save.Execute(), c.saved);
        if (c.saved) {
            EXPECT_EQ(save.GetFileName(), c.expected);
        }
        EXPECT_EQ(answers.Shown()[0].Caption, u"Save data as...");
        answers.Clear();
    }
}

TEST_F(FileDialogs, TheListShowsFoldersThenFilesOfTheChosenFilterAndADoubleClickChoosesAFile)
{
    EXPECT_TRUE(MatchesFilterPatterns(u"B.CSV", u"*.csv"));
    EXPECT_TRUE(MatchesFilterPatterns(u"x.xlsx", u"*.csv; *.xls*"));
    EXPECT_FALSE(MatchesFilterPatterns(u"x.csv.bak", u"*.csv"));
    EXPECT_TRUE(MatchesFilterPatterns(u"noext", u"*.*"));
    const auto entries = ParseFilter(u"Excel file|*.xls*|");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Patterns, u"*.xls*");

    // Run the real dialog: once it is up, double-click the third entry
    // ("[..]", "[sub]", then the first CSV file).
    TOpenDialog open(nullptr);
    open.SetInitialDir(dir);
    open.SetFilter(u"CSV|*.csv|Text|*.txt");
    TControl* list = nullptr;
    Screen->OnActiveFormChange = [&](TObject*) {
        TCustomForm* f = Screen->GetActiveForm();
        if (!f || list)
            return;
        list = f->FindComponent(u"Files") ? static_cast<TControl*>(f->FindComponent(u"Files")) : nullptr;
        if (list)
            Headless::DoubleClick(list->ClientToScreen({ 20, 1 + 2 * 16 + 8 }));
    };
    const bool chosen = open.Execute();
    Screen->OnActiveFormChange = nullptr;
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(open.GetFileName(), dir + u"a.csv");
    EXPECT_EQ(open.GetFiles()->GetCount(), 1);
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        m_had = std::getenv(name) != nullptr;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had { false };
};

TEST_F(FileDialogs, WithoutAFolderOfItsOwnTheDialogOpensInTheDocumentsFolder)
{
    const std::string home = StringToUtf8(dir) + "home";
    const std::string config = StringToUtf8(dir) + "config";
    ForceDirectories(Utf8ToString(home + "/Papers"));
    ForceDirectories(Utf8ToString(home + "/Documents"));
    ForceDirectories(Utf8ToString(config));
    ScopedEnv homeEnv("HOME", home);
    ScopedEnv configEnv("XDG_CONFIG_HOME", config);
    auto initialDir = [](const String& fileName) {
        TDialogAnswers answers;
        answers.Answer(mrCancel);
        TSaveDialog save(nullptr);
        save.SetFileName(fileName);
        save.Execute();
        return answers.Count() == 1 ? StringToUtf8(answers.Shown()[0].InitialDir) : std::string("no dialog");
    };
    // The desktop's own name for the folder wins; without it, "Documents".
    std::ofstream(config + "/user-dirs.dirs") << "# written by the desktop\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    EXPECT_EQ(initialDir(u"qtx1.csv"), home + "/Papers/");
    std::ofstream(config + "/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n";
    EXPECT_EQ(initialDir(u"qtx1.csv"), home + "/Documents/");
    // A folder the program remembered (the last file's) stays where it was.
    EXPECT_EQ(initialDir(dir + u"sub/qtx1.csv"), StringToUtf8(dir) + "sub/");
}
