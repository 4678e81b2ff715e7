#pragma once
// Message boxes, message dialogs, input boxes and the file open and save
// dialogs, all modal forms of our own. A dialog hook can answer every one
// of them in code and see what it showed (TDialogAnswers makes that a
// one-liner in tests).

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"

// ---- message boxes ----

inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// The platform's message box: buttons and icon from `Type`, answers the
// IDxxx of the button chosen. An empty caption reads "Error".
int MessageBox(HWND hWnd, const String& Text, const String& Caption, UINT Type);

// ---- message dialogs ----

enum TMessageDialogType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
QT_ENUM(TMessageDialogType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
enum TMessageDialogButton { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
QT_ENUM(TMessageDialogButton, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
    mbClose)
using TMessageDialogButtons = Set<TMessageDialogButton>;
inline const TMessageDialogButtons mbYesNo { mbYes, mbNo };
inline const TMessageDialogButtons mbYesNoCancel { mbYes, mbNo, mbCancel };
inline const TMessageDialogButtons mbYesAllNoAllCancel { mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel };
inline const TMessageDialogButtons mbOKCancel { mbOK, mbCancel };
inline const TMessageDialogButtons mbAbortRetryIgnore { mbAbort, mbRetry, mbIgnore };
inline const TMessageDialogButtons mbAbortIgnore { mbAbort, mbIgnore };

// The dialog form a message dialog shows (owned by the caller).
TForm* CreateMessageDialog(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons);
TForm* CreateMessageDialog(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, TMessageDialogButton DefaultButton);
// Answer the modal result of the button chosen.
int MessageDlg(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, int HelpCtx = 0);
int MessageDlg(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, int HelpCtx, TMessageDialogButton DefaultButton);
// The same with the dialog's top left corner at (X, Y); -1 centres it.
int MessageDlgPos(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, int HelpCtx, int X, int Y);
void ShowMessage(const String& Msg);
// The text entered, or `ADefault` when cancelled.
String InputBox(const String& ACaption, const String& APrompt, const String& ADefault);
// True (and `Value` the text entered) when confirmed.
bool InputQuery(const String& ACaption, const String& APrompt, String& Value);

// Routes the application's message boxes (exceptions included) through
// MessageBox; the dialog functions do it on first use.
void InstallDialogs();

// ---- the dialog hook ----

enum class TDialogKind { MessageBox, MessageDlg, InputQuery, OpenFile, SaveFile };

// What a dialog showed.
struct TDialogRecord {
    TDialogKind Kind { TDialogKind::MessageDlg };
    String Caption;
    String Text;                     // message or prompt
    TMessageDialogType DlgType { mtCustom }; // the icon (message boxes map theirs)
    std::vector<String> Buttons;     // captions, left to right
    String DefaultButton;            // caption of the default button
    String Value;                    // input: the proposed text; file dialogs: the file name
    // File dialogs.
    String Filter;
    int FilterIndex { 1 };
    String InitialDir;
    String DefaultExt;
};

// The answer: the modal result of a button (IDxxx for message boxes, which
// share the numbers) and, for input and file dialogs, the text entered.
// mrNone lets the dialog run for real.
struct TDialogAnswer {
    TModalResult Result { mrNone };
    String Value;
};

using TDialogHook = std::function<TDialogAnswer(const TDialogRecord& Record)>;
// Installs a hook (an empty one removes it); answers the previous hook.
TDialogHook SetDialogHook(TDialogHook Hook);

// Answers dialogs in code for one scope: queued answers in order, then the
// default button (Cancel for file dialogs). Every dialog shown is recorded.
// An answer naming a button the dialog lacks raises EInvalidOperation.
class TDialogAnswers {
public:
    TDialogAnswers();
    ~TDialogAnswers();
    TDialogAnswers(const TDialogAnswers&) = delete;
    TDialogAnswers& operator=(const TDialogAnswers&) = delete;

    TDialogAnswers& Answer(TModalResult Result, const String& Value = String());
    const std::vector<TDialogRecord>& Shown() const { return m_shown; }
    // The last dialog shown; raises EInvalidOperation when none was.
    const TDialogRecord& Last() const;
    int Count() const { return int(m_shown.size()); }
    void Clear() { m_shown.clear(); }

private:
    TDialogAnswer Next(const TDialogRecord& Record);
    std::vector<TDialogRecord> m_shown;
    std::vector<TDialogAnswer> m_queue;
    std::size_t m_next { 0 };
    TDialogHook m_previous;
};

// ---- file dialogs ----

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
QT_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
    ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
    ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
    ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
using TOpenOptions = Set<TOpenOption>;

class TCommonDialog : public TComponent {
    QT_CLASS(TCommonDialog, TComponent)
public:
    using TComponent::TComponent;
    virtual bool Execute() = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
};

class TOpenDialog : public TCommonDialog {
    QT_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner = nullptr);
    ~TOpenDialog() override;

    const String& GetFileName() const { return m_fileName; }
    void SetFileName(const String& v) { m_fileName = v; }
    // The extension added to a name typed without one (with or without the dot).
    const String& GetDefaultExt() const { return m_defaultExt; }
    void SetDefaultExt(const String& v) { m_defaultExt = v; }
    // "Name|*.ext;*.ext2|Name|*.x" pairs.
    const String& GetFilter() const { return m_filter; }
    void SetFilter(const String& v) { m_filter = v; }
    // 1-based index of the filter in force.
    int GetFilterIndex() const { return m_filterIndex; }
    void SetFilterIndex(int v) { m_filterIndex = v; }
    const String& GetInitialDir() const { return m_initialDir; }
    void SetInitialDir(const String& v) { m_initialDir = v; }
    const String& GetTitle() const { return m_title; }
    void SetTitle(const String& v) { m_title = v; }
    TOpenOptions GetOptions() const { return m_options; }
    void SetOptions(TOpenOptions v) { m_options = v; }
    // The chosen file, one line.
    TStrings* GetFiles() const { return m_files.get(); }

    bool Execute() override;

protected:
    virtual bool IsSaveDialog() const { return false; }
    virtual String DefaultTitle() const { return u"Open"; }

private:
    String m_fileName;
    String m_defaultExt;
    String m_filter;
    int m_filterIndex { 1 };
    String m_initialDir;
    String m_title;
    TOpenOptions m_options { ofHideReadOnly, ofEnableSizing };
    std::unique_ptr<TStrings> m_files;
};

class TSaveDialog : public TOpenDialog {
    QT_CLASS(TSaveDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;

protected:
    bool IsSaveDialog() const override { return true; }
    String DefaultTitle() const override { return u"Save As"; }
};

// The pieces of a filter text: names and pattern lists, in order.
struct TFilterEntry {
    String Name;
    String Patterns;
};
std::vector<TFilterEntry> ParseFilter(const String& Filter);
// Whether a file name matches one of the ';'-separated patterns, ignoring case.
bool MatchesFilterPatterns(const String& FileName, const String& Patterns);
