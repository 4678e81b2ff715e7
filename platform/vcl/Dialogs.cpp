#include "platform/vcl/Dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"

QT_PUBLISHED(TCommonDialog, QT_EVENT(OnShow), QT_EVENT(OnClose))
QT_PUBLISHED(TOpenDialog, QT_PROP(FileName), QT_PROP(DefaultExt), QT_PROP(Filter), QT_PROP(FilterIndex),
    QT_PROP(InitialDir), QT_PROP(Title), QT_PROP(Options))
QT_PUBLISHED(TSaveDialog)

namespace {

TDialogHook& Hook()
{
    static auto* hook = new TDialogHook();
    return *hook;
}

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 6;
constexpr int Edge = 12;
constexpr int IconExtent = 32;
constexpr int MaxTextWidth = 380;

// The picture of a message dialog's type.
class TDialogIcon : public TGraphicControl {
    QT_CLASS(TDialogIcon, TGraphicControl)
public:
    TDialogIcon(TComponent* AOwner, TMessageDialogType Type) : TGraphicControl(AOwner), m_type(Type)
    {
        m_width = IconExtent;
        m_height = IconExtent;
    }

protected:
    void Paint() override
    {
        HDC dc = GetCanvas()->GetHandle();
        const int s = IconExtent;
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        COLORREF fill = RGB(0x1E, 0x64, 0xC8);
        const char16_t* glyph = u"i";
        switch (m_type) {
        case mtWarning: fill = RGB(0xF0, 0xC0, 0x00); glyph = u"!"; break;
        case mtError: fill = RGB(0xD0, 0x20, 0x20); glyph = u"X"; break;
        case mtConfirmation: glyph = u"?"; break;
        default: break;
        }
        HBRUSH brush = CreateSolidBrush(fill);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        if (m_type == mtWarning) {
            const POINT triangle[3] = { { s / 2, 1 }, { s - 1, s - 2 }, { 0, s - 2 } };
            Polygon(dc, triangle, 3);
        } else {
            Ellipse(dc, 0, 0, s, s);
        }
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(brush);
        TFont font;
        font.SetName(u"Arial");
        font.SetSize(14);
        font.SetStyle({ fsBold });
        TRect r { 0, m_type == mtWarning ? 4 : 0, s, s };
        DrawTextIn(dc, &font, glyph, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
            m_type == mtWarning ? RGB(0, 0, 0) : RGB(255, 255, 255));
    }

private:
    TMessageDialogType m_type;
};

QT_PUBLISHED(TDialogIcon)

struct TButtonSpec {
    String Caption;
    TModalResult Result;
};

TSize TextBlock(TFont* font, const String& text)
{
    TMeasureDC dc;
    TRect r { 0, 0, MaxTextWidth, 0 };
    DrawTextIn(dc, font, text.empty() ? String(u" ") : text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS, 0);
    return { r.Width(), r.Height() };
}

std::unique_ptr<TForm> NewDialogForm(const String& caption)
{
    auto form = std::make_unique<TForm>(nullptr, 0);
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons({ biSystemMenu });
    form->SetPosition(poScreenCenter);
    form->SetCaption(caption);
    return form;
}

// Adds the buttons in a centred row at `top`; answers the row's width.
std::vector<TButton*> AddButtons(TForm* form, const std::vector<TButtonSpec>& specs, int top, int clientWidth,
    int defaultIndex, int cancelIndex)
{
    std::vector<TButton*> buttons;
    const int row = int(specs.size()) * ButtonWidth + std::max(0, int(specs.size()) - 1) * ButtonGap;
    int x = (clientWidth - row) / 2;
    for (int i = 0; i < int(specs.size()); ++i) {
        auto* b = new TButton(form);
        b->SetParent(form);
        b->SetBounds(x, top, ButtonWidth, ButtonHeight);
        b->SetCaption(specs[std::size_t(i)].Caption);
        b->SetModalResult(specs[std::size_t(i)].Result);
        b->SetDefault(i == defaultIndex);
        b->SetCancel(i == cancelIndex);
        b->SetTabOrder(i);
        buttons.push_back(b);
        x += ButtonWidth + ButtonGap;
    }
    if (defaultIndex >= 0 && defaultIndex < int(buttons.size()))
        form->SetActiveControl(buttons[std::size_t(defaultIndex)]);
    return buttons;
}

// The message form: icon, text, buttons.
std::unique_ptr<TForm> BuildMessageForm(const String& text, const String& caption, TMessageDialogType type,
    const std::vector<TButtonSpec>& specs, int defaultIndex, int cancelIndex)
{
    auto form = NewDialogForm(caption);
    TForm* f = form.get();
    const TSize block = TextBlock(f->GetFont(), text);
    int left = Edge;
    if (type != mtCustom) {
        auto* icon = new TDialogIcon(f, type);
        icon->SetParent(f);
        icon->SetBounds(Edge, Edge, IconExtent, IconExtent);
        icon->SetName(u"Image");
        left += IconExtent + Edge;
    }
    auto* label = new TLabel(f);
    label->SetName(u"Message");
    label->SetParent(f);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetShowAccelChar(false);
    label->SetBounds(left, Edge + (type != mtCustom && block.cy < IconExtent ? (IconExtent - block.cy) / 2 : 0),
        block.cx + 2, block.cy);
    label->SetCaption(text);
    const int buttonsWidth = int(specs.size()) * (ButtonWidth + ButtonGap) - ButtonGap;
    const int clientWidth = std::max(left + block.cx + Edge, buttonsWidth + 2 * Edge);
    const int textBottom = Edge + std::max(block.cy, type != mtCustom ? IconExtent : 0);
    const int buttonsTop = textBottom + Edge + 4;
    f->SetClientWidth(clientWidth);
    f->SetClientHeight(buttonsTop + ButtonHeight + Edge);
    AddButtons(f, specs, buttonsTop, clientWidth, defaultIndex, cancelIndex);
    return form;
}

void DescribeButtons(TForm* form, TDialogRecord& record)
{
    record.Buttons.clear();
    std::vector<TButton*> buttons;
    for (int i = 0; i < form->GetControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(form->GetControl(i)))
            buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(), [](TButton* a, TButton* b) {
        return a->GetTop() != b->GetTop() ? a->GetTop() < b->GetTop() : a->GetLeft() < b->GetLeft();
    });
    for (TButton* b : buttons) {
        record.Buttons.push_back(b->GetCaption());
        if (b->GetDefault())
            record.DefaultButton = b->GetCaption();
    }
}

bool HasButtonFor(TForm* form, TModalResult result)
{
    for (int i = 0; i < form->GetControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(form->GetControl(i)))
            if (b->GetModalResult() == result)
                return true;
    return false;
}

// Runs a built dialog: through the hook when one is installed (the form is
// never shown), else modally. `accept` may refuse an answer (the dialog then
// stays, or the hook is asked again).
TModalResult RunDialog(TForm* form, TDialogRecord& record, TEdit* valueEdit,
    const std::function<bool(TModalResult)>& accept = {})
{
    DescribeButtons(form, record);
    if (Hook()) {
        // A hook that keeps giving refused answers must not hang the program.
        for (int attempt = 0; attempt < 100; ++attempt) {
            const TDialogAnswer answer = Hook()(record);
            if (answer.Result == mrNone)
                break;
            if (!HasButtonFor(form, answer.Result))
                throw EInvalidOperation(u"The dialog \"" + record.Caption + u"\" has no button for result "
                    + IntToStr(answer.Result));
            if (valueEdit && answer.Result != mrCancel)
                valueEdit->SetText(answer.Value);
            if (!accept || accept(answer.Result))
                return answer.Result;
        }
        if (Hook())
            return mrCancel;
    }
    if (accept) {
        form->OnCloseQuery = [form, accept](TObject*, bool& CanClose) { CanClose = accept(form->GetModalResult()); };
    }
    return form->ShowModal();
}

TMessageDialogType TypeOfIcon(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return mtError;
    case MB_ICONQUESTION: return mtConfirmation;
    case MB_ICONWARNING: return mtWarning;
    case MB_ICONINFORMATION: return mtInformation;
    }
    return mtCustom;
}

String ApplicationTitle()
{
    String title = Application->GetTitle();
    if (title.empty())
        title = ChangeFileExt(ExtractFileName(Application->GetExeName()), String());
    return title;
}

} // namespace

TDialogHook SetDialogHook(TDialogHook NewHook)
{
    TDialogHook old = std::move(Hook());
    Hook() = std::move(NewHook);
    return old;
}

// ---- message boxes ----

int MessageBox(HWND, const String& Text, const String& Caption, UINT Type)
{
    InstallDialogs();
    std::vector<TButtonSpec> specs;
    switch (Type & MB_TYPEMASK) {
    case MB_OKCANCEL: specs = { { u"OK", IDOK }, { u"Cancel", IDCANCEL } }; break;
    case MB_ABORTRETRYIGNORE: specs = { { u"&Abort", IDABORT }, { u"&Retry", IDRETRY }, { u"&Ignore", IDIGNORE } }; break;
    case MB_YESNOCANCEL: specs = { { u"&Yes", IDYES }, { u"&No", IDNO }, { u"Cancel", IDCANCEL } }; break;
    case MB_YESNO: specs = { { u"&Yes", IDYES }, { u"&No", IDNO } }; break;
    case MB_RETRYCANCEL: specs = { { u"&Retry", IDRETRY }, { u"Cancel", IDCANCEL } }; break;
    case MB_CANCELTRYCONTINUE:
        specs = { { u"Cancel", IDCANCEL }, { u"&Try Again", IDTRYAGAIN }, { u"&Continue", IDCONTINUE } };
        break;
    default: specs = { { u"OK", IDOK } }; break;
    }
    int defaultIndex = int((Type & MB_DEFMASK) >> 8);
    if (defaultIndex >= int(specs.size()))
        defaultIndex = 0;
    // Escape answers Cancel; a lone OK answers it too.
    int cancelIndex = -1;
    for (int i = 0; i < int(specs.size()); ++i)
        if (specs[std::size_t(i)].Result == IDCANCEL)
            cancelIndex = i;
    if (cancelIndex < 0 && specs.size() == 1)
        cancelIndex = 0;
    const String caption = Caption.empty() ? String(u"Error") : Caption;
    const TMessageDialogType type = TypeOfIcon(Type);
    auto form = BuildMessageForm(Text, caption, type, specs, defaultIndex, cancelIndex);
    TDialogRecord record;
    record.Kind = TDialogKind::MessageBox;
    record.Caption = caption;
    record.Text = Text;
    record.DlgType = type;
    TModalResult r = RunDialog(form.get(), record, nullptr);
    if (r == mrNone || (r == mrCancel && cancelIndex >= 0))
        r = specs[std::size_t(cancelIndex >= 0 ? cancelIndex : 0)].Result;
    return r;
}

void InstallDialogs()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    Application->MessageBoxHandler = [](const String& Text, const String& Caption, UINT Flags) {
        return MessageBox(nullptr, Text, Caption.empty() ? ApplicationTitle() : Caption, Flags);
    };
}

// ---- message dialogs ----

namespace {

struct TButtonInfo {
    const char16_t* Caption;
    TModalResult Result;
};
constexpr TButtonInfo ButtonInfo[] = {
    { u"&Yes", mrYes }, { u"&No", mrNo }, { u"OK", mrOk }, { u"Cancel", mrCancel }, { u"&Abort", mrAbort },
    { u"&Retry", mrRetry }, { u"&Ignore", mrIgnore }, { u"&All", mrAll }, { u"N&o to All", mrNoToAll },
    { u"Yes to &All", mrYesToAll }, { u"&Help", mrNone }, { u"&Close", mrClose }
};

String DialogCaption(TMessageDialogType type)
{
    switch (type) {
    case mtWarning: return u"Warning";
    case mtError: return u"Error";
    case mtInformation: return u"Information";
    case mtConfirmation: return u"Confirm";
    case mtCustom: break;
    }
    return ApplicationTitle();
}

TMessageDialogButton StandardDefault(TMessageDialogButtons buttons)
{
    if (buttons.Contains(mbOK))
        return mbOK;
    if (buttons.Contains(mbYes))
        return mbYes;
    for (int b = mbYes; b <= mbClose; ++b)
        if (buttons.Contains(TMessageDialogButton(b)))
            return TMessageDialogButton(b);
    return mbOK;
}

std::unique_ptr<TForm> BuildMessageDialog(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons,
    TMessageDialogButton DefaultButton)
{
    if (Buttons.Empty())
        Buttons = { mbOK };
    std::vector<TButtonSpec> specs;
    int defaultIndex = -1;
    int cancelIndex = -1;
    // Escape picks Cancel, else No, else OK.
    const TMessageDialogButton cancel = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
    for (int b = mbYes; b <= mbClose; ++b) {
        if (!Buttons.Contains(TMessageDialogButton(b)))
            continue;
        if (b == DefaultButton)
            defaultIndex = int(specs.size());
        if (b == cancel)
            cancelIndex = int(specs.size());
        specs.push_back({ ButtonInfo[b].Caption, ButtonInfo[b].Result });
    }
    return BuildMessageForm(Msg, DialogCaption(DlgType), DlgType, specs, defaultIndex, cancelIndex);
}

int RunMessageDialog(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, TMessageDialogButton DefaultButton, int X,
    int Y)
{
    InstallDialogs();
    auto form = BuildMessageDialog(Msg, DlgType, Buttons, DefaultButton);
    if (X >= 0 || Y >= 0) {
        form->SetPosition(poDesigned);
        form->SetLeft(X >= 0 ? X : form->GetLeft());
        form->SetTop(Y >= 0 ? Y : form->GetTop());
    }
    TDialogRecord record;
    record.Kind = TDialogKind::MessageDlg;
    record.Caption = form->GetCaption();
    record.Text = Msg;
    record.DlgType = DlgType;
    return RunDialog(form.get(), record, nullptr);
}

} // namespace

TForm* CreateMessageDialog(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons)
{
    return BuildMessageDialog(Msg, DlgType, Buttons, StandardDefault(Buttons)).release();
}

TForm* CreateMessageDialog(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, TMessageDialogButton DefaultButton)
{
    return BuildMessageDialog(Msg, DlgType, Buttons, DefaultButton).release();
}

int MessageDlg(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, int)
{
    return RunMessageDialog(Msg, DlgType, Buttons, StandardDefault(Buttons), -1, -1);
}

int MessageDlg(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, int, TMessageDialogButton DefaultButton)
{
    return RunMessageDialog(Msg, DlgType, Buttons, DefaultButton, -1, -1);
}

int MessageDlgPos(const String& Msg, TMessageDialogType DlgType, TMessageDialogButtons Buttons, int, int X, int Y)
{
    return RunMessageDialog(Msg, DlgType, Buttons, StandardDefault(Buttons), X, Y);
}

void ShowMessage(const String& Msg)
{
    RunMessageDialog(Msg, mtCustom, { mbOK }, mbOK, -1, -1);
}

bool InputQuery(const String& ACaption, const String& APrompt, String& Value)
{
    InstallDialogs();
    auto form = NewDialogForm(ACaption);
    TForm* f = form.get();
    const int width = 300;
    auto* prompt = new TLabel(f);
    prompt->SetParent(f);
    prompt->SetName(u"Prompt");
    prompt->SetBounds(Edge, Edge, width - 2 * Edge, 16);
    prompt->SetCaption(APrompt);
    auto* edit = new TEdit(f);
    edit->SetParent(f);
    edit->SetName(u"Edit");
    edit->SetBounds(Edge, Edge + 20, width - 2 * Edge, 22);
    edit->SetText(Value);
    edit->SelectAll();
    const int buttonsTop = Edge + 20 + 22 + Edge;
    f->SetClientWidth(width);
    f->SetClientHeight(buttonsTop + ButtonHeight + Edge);
    AddButtons(f, { { u"OK", mrOk }, { u"Cancel", mrCancel } }, buttonsTop, width, 0, 1);
    f->SetActiveControl(edit);
    TDialogRecord record;
    record.Kind = TDialogKind::InputQuery;
    record.Caption = ACaption;
    record.Text = APrompt;
    record.Value = Value;
    if (RunDialog(f, record, edit) != mrOk)
        return false;
    Value = edit->GetText();
    return true;
}

String InputBox(const String& ACaption, const String& APrompt, const String& ADefault)
{
    String value = ADefault;
    return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}

// ---- TDialogAnswers ----

TDialogAnswers::TDialogAnswers()
{
    m_previous = SetDialogHook([this](const TDialogRecord& r) { return Next(r); });
}

TDialogAnswers::~TDialogAnswers()
{
    SetDialogHook(std::move(m_previous));
}

TDialogAnswers& TDialogAnswers::Answer(TModalResult Result, const String& Value)
{
    m_queue.push_back({ Result, Value });
    return *this;
}

const TDialogRecord& TDialogAnswers::Last() const
{
    if (m_shown.empty())
        throw EInvalidOperation(u"No dialog was shown");
    return m_shown.back();
}

TDialogAnswer TDialogAnswers::Next(const TDialogRecord& Record)
{
    m_shown.push_back(Record);
    if (m_next < m_queue.size())
        return m_queue[m_next++];
    if (Record.Kind == TDialogKind::OpenFile || Record.Kind == TDialogKind::SaveFile)
        return { mrCancel, String() };
    // The default button; its result is found by caption below.
    const auto& b = Record.Buttons;
    const auto it = std::find(b.begin(), b.end(), Record.DefaultButton);
    const int index = it == b.end() ? 0 : int(it - b.begin());
    static const std::vector<std::pair<String, TModalResult>> results = {
        { u"OK", mrOk }, { u"Cancel", mrCancel }, { u"&Abort", mrAbort }, { u"&Retry", mrRetry },
        { u"&Ignore", mrIgnore }, { u"&Yes", mrYes }, { u"&No", mrNo }, { u"&Try Again", mrTryAgain },
        { u"&Continue", mrContinue }, { u"&All", mrAll }, { u"N&o to All", mrNoToAll }, { u"Yes to &All", mrYesToAll },
        { u"&Close", mrClose }
    };
    if (index < int(b.size()))
        for (const auto& [caption, result] : results)
            if (caption == b[std::size_t(index)])
                return { result, Record.Value };
    return { mrOk, Record.Value };
}

// ---- file dialogs ----

std::vector<TFilterEntry> ParseFilter(const String& Filter)
{
    std::vector<TFilterEntry> entries;
    std::vector<String> parts;
    String current;
    for (Char c : Filter) {
        if (c == u'|') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.push_back(current);
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        entries.push_back({ parts[i], parts[i + 1] });
    // A name without patterns lists everything.
    if (parts.size() % 2 == 1 && !parts.back().empty())
        entries.push_back({ parts.back(), u"*" });
    return entries;
}

namespace {

bool WildcardMatch(const String& name, std::size_t n, const String& pattern, std::size_t p)
{
    // Iterative star matching with one back-track point.
    std::size_t starP = String::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || LowerCase(String(1, pattern[p])) == LowerCase(String(1, name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != String::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool MatchesFilterPatterns(const String& FileName, const String& Patterns)
{
    String pattern;
    auto test = [&](String p) {
        while (!p.empty() && p.front() == u' ')
            p.erase(p.begin());
        while (!p.empty() && p.back() == u' ')
            p.pop_back();
        if (p == u"*.*")
            p = u"*";
        return !p.empty() && WildcardMatch(FileName, 0, p, 0);
    };
    for (Char c : Patterns) {
        if (c == u';') {
            if (test(pattern))
                return true;
            pattern.clear();
        } else {
            pattern += c;
        }
    }
    return test(pattern);
}

namespace {

// A single-selection list of names for the file dialog: click selects,
// double click or Enter opens, arrows and the wheel move.
class TNameList : public TCustomControl {
    QT_CLASS(TNameList, TCustomControl)
public:
    explicit TNameList(TComponent* AOwner) : TCustomControl(AOwner)
    {
        m_tabStop = true;
        m_color = clWindow;
        m_parentColor = false;
    }
    std::vector<String> Items;
    std::function<void(int)> OnSelect;
    std::function<void(int)> OnOpen;

    int GetItemIndex() const { return m_itemIndex; }
    void SetItems(std::vector<String> items)
    {
        Items = std::move(items);
        m_itemIndex = -1;
        m_top = 0;
        Invalidate();
    }
    void SetItemIndex(int i)
    {
        i = Items.empty() ? -1 : std::clamp(i, -1, int(Items.size()) - 1);
        if (i == m_itemIndex)
            return;
        m_itemIndex = i;
        const int rows = std::max(1, GetClientHeight() / ItemHeight());
        if (i >= 0 && i < m_top)
            m_top = i;
        if (i >= m_top + rows)
            m_top = i - rows + 1;
        Invalidate();
        if (i >= 0 && OnSelect)
            OnSelect(i);
    }
    int ItemHeight() { return TextBlock(m_font.get(), u"Ag").cy + 2; }
    int ItemAt(int Y) { return Y < 0 ? -1 : m_top + Y / ItemHeight(); }

protected:
    void Paint() override
    {
        HDC dc = GetCanvas()->GetHandle();
        const TRect c = GetClientRect();
        const bool styled = StyledElement(this, seClient);
        auto rgb = [&](TColor col) { return styled ? StyleColorToRGB(col) : ColorToRGB(col); };
        FillSolid(dc, c, rgb(m_color));
        const int h = ItemHeight();
        for (int i = m_top, y = 1; i < int(Items.size()) && y < c.Bottom; ++i, y += h) {
            TRect r { 1, y, c.Right - 1, y + h };
            const bool selected = i == m_itemIndex;
            if (selected)
                FillSolid(dc, r, rgb(clHighlight));
            TRect t { r.Left + 3, r.Top, r.Right, r.Bottom };
            DrawTextIn(dc, m_font.get(), Items[std::size_t(i)], t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX,
                rgb(selected ? clHighlightText : clWindowText));
        }
        FrameSolid(dc, c, rgb(clBtnShadow));
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (CanFocus())
            SetFocus();
        const int i = ItemAt(Y - 1);
        if (i >= 0 && i < int(Items.size()))
            SetItemIndex(i);
    }
    void DblClick() override
    {
        TCustomControl::DblClick();
        if (m_itemIndex >= 0 && OnOpen)
            OnOpen(m_itemIndex);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override
    {
        TCustomControl::KeyDown(Key, Shift);
        const int rows = std::max(1, GetClientHeight() / ItemHeight());
        switch (Key) {
        case VK_UP: SetItemIndex(std::max(0, m_itemIndex - 1)); break;
        case VK_DOWN: SetItemIndex(m_itemIndex + 1); break;
        case VK_PRIOR: SetItemIndex(std::max(0, m_itemIndex - rows)); break;
        case VK_NEXT: SetItemIndex(m_itemIndex + rows); break;
        case VK_HOME: SetItemIndex(0); break;
        case VK_END: SetItemIndex(int(Items.size()) - 1); break;
        case VK_RETURN:
            if (m_itemIndex >= 0 && OnOpen) {
                OnOpen(m_itemIndex);
                Key = 0;
            }
            return;
        default: return;
        }
        Key = 0;
    }
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override
    {
        if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
            return true;
        const int rows = std::max(1, GetClientHeight() / ItemHeight());
        m_top = std::clamp(m_top - WheelDelta / WHEEL_DELTA * 3, 0, std::max(0, int(Items.size()) - rows));
        Invalidate();
        return true;
    }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = DLGC_WANTARROWS;
            return;
        }
        TCustomControl::Dispatch(Message);
    }

private:
    int m_itemIndex { -1 };
    int m_top { 0 };
};

QT_PUBLISHED(TNameList)

// The file dialog's form and its logic: the folder shown, the entries that
// match the filter, and the checks on the name chosen.
class TFileDialogForm {
public:
    TFileDialogForm(bool save, const String& title, const String& filter, int filterIndex, TOpenOptions options,
        const String& defaultExt)
        : m_save(save), m_options(options), m_defaultExt(defaultExt), m_filters(ParseFilter(filter)),
          m_form(NewDialogForm(title))
    {
        if (m_filters.empty())
            m_filters.push_back({ u"All files", u"*" });
        m_filterIndex = std::clamp(filterIndex - 1, 0, int(m_filters.size()) - 1);
        TForm* f = m_form.get();
        const int width = 460;
        m_folderLabel = new TLabel(f);
        m_folderLabel->SetParent(f);
        m_folderLabel->SetName(u"Folder");
        m_folderLabel->SetAutoSize(false);
        m_folderLabel->SetShowAccelChar(false);
        m_folderLabel->SetBounds(Edge, Edge, width - 2 * Edge, 16);
        m_list = new TNameList(f);
        m_list->SetParent(f);
        m_list->SetName(u"Files");
        m_list->SetBounds(Edge, Edge + 20, width - 2 * Edge, 200);
        m_list->OnSelect = [this](int i) { Selected(i); };
        m_list->OnOpen = [this](int i) { Opened(i); };
        int y = Edge + 20 + 200 + 8;
        auto* nameLabel = new TLabel(f);
        nameLabel->SetParent(f);
        nameLabel->SetBounds(Edge, y + 3, 80, 16);
        nameLabel->SetCaption(u"File &name:");
        m_edit = new TEdit(f);
        m_edit->SetParent(f);
        m_edit->SetName(u"FileName");
        m_edit->SetBounds(Edge + 90, y, width - 2 * Edge - 90, 22);
        nameLabel->SetFocusControl(m_edit);
        y += 30;
        auto* typeLabel = new TLabel(f);
        typeLabel->SetParent(f);
        typeLabel->SetBounds(Edge, y + 3, 80, 16);
        typeLabel->SetCaption(u"Files of &type:");
        m_types = new TNameList(f);
        m_types->SetParent(f);
        m_types->SetName(u"Types");
        m_types->SetBounds(Edge + 90, y, width - 2 * Edge - 90, 3 * 16 + 4);
        std::vector<String> names;
        for (const TFilterEntry& e : m_filters)
            names.push_back(e.Name);
        m_types->SetItems(names);
        m_types->SetItemIndex(m_filterIndex);
        m_types->OnSelect = [this](int i) {
            m_filterIndex = i;
            Fill();
        };
        typeLabel->SetFocusControl(m_types);
        y += 3 * 16 + 4 + Edge;
        f->SetClientWidth(width);
        f->SetClientHeight(y + ButtonHeight + Edge);
        auto buttons = AddButtons(f, { { save ? u"&Save" : u"&Open", mrOk }, { u"Cancel", mrCancel } }, y, width, 0, 1);
        // Buttons sit at the right, as file dialogs have them.
        buttons[0]->SetLeft(width - Edge - 2 * ButtonWidth - ButtonGap);
        buttons[1]->SetLeft(width - Edge - ButtonWidth);
        f->SetActiveControl(m_edit);
    }

    TForm* Form() const { return m_form.get(); }
    TEdit* Edit() const { return m_edit; }
    const String& Folder() const { return m_folder; }
    const String& Chosen() const { return m_chosen; }
    int FilterIndex() const { return m_filterIndex + 1; }

    void SetFolder(const String& folder)
    {
        m_folder = IncludeTrailingPathDelimiter(ExpandFileName(folder));
        m_folderLabel->SetCaption(m_folder);
        Fill();
    }

    // What OK does with the text in the name field: a folder opens, a mask
    // filters, a file name is checked; true when the dialog may close.
    bool Accept()
    {
        String text = m_edit->GetText();
        while (!text.empty() && text.back() == u' ')
            text.pop_back();
        if (text.empty())
            return false;
        String full = !text.empty() && text[0] == PathDelim ? text : m_folder + text;
        if (DirectoryExists(full)) {
            SetFolder(full);
            m_edit->SetText(String());
            return false;
        }
        if (text.find_first_of(u"*?") != String::npos) {
            m_mask = ExtractFileName(text);
            Fill();
            m_edit->SetText(String());
            return false;
        }
        String ext = m_defaultExt;
        if (!ext.empty() && ext[0] == u'.')
            ext.erase(0, 1);
        if (!ext.empty() && ExtractFileExt(full).empty() && !FileExists(full))
            full += u"." + ext;
        full = ExpandFileName(full);
        const String title = m_form->GetCaption();
        if ((m_options.Contains(ofPathMustExist) || m_options.Contains(ofFileMustExist) || m_save)
            && !DirectoryExists(ExtractFileDir(full))) {
            MessageBox(nullptr, full + u"\nPath does not exist.\nCheck the path and try again.", title,
                MB_OK | MB_ICONWARNING);
            return false;
        }
        if (m_options.Contains(ofFileMustExist) && !FileExists(full)) {
            MessageBox(nullptr, full + u"\nFile not found.\nCheck the file name and try again.", title,
                MB_OK | MB_ICONWARNING);
            return false;
        }
        if (m_save && m_options.Contains(ofOverwritePrompt) && FileExists(full)
            && MessageBox(nullptr, full + u" already exists.\nDo you want to replace it?", u"Confirm Save As",
                   MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2)
                != IDYES)
            return false;
        m_chosen = full;
        return true;
    }

private:
    void Fill()
    {
        m_entries.clear();
        std::vector<String> folders, files;
        TSearchRec sr;
        if (FindFirst(m_folder + u"*", faAnyFile, sr) == 0) {
            do {
                if (sr.Name == u"." || sr.Name == u"..")
                    continue;
                if (sr.Attr & faDirectory)
                    folders.push_back(sr.Name);
                else if (MatchesFilterPatterns(sr.Name, m_mask.empty() ? m_filters[std::size_t(m_filterIndex)].Patterns : m_mask))
                    files.push_back(sr.Name);
            } while (FindNext(sr) == 0);
            FindClose(sr);
        }
        auto byName = [](const String& a, const String& b) { return LowerCase(a) < LowerCase(b); };
        std::sort(folders.begin(), folders.end(), byName);
        std::sort(files.begin(), files.end(), byName);
        std::vector<String> shown;
        if (m_folder != u"/") {
            m_entries.push_back({ u"..", true });
            shown.push_back(u"[..]");
        }
        for (const String& d : folders) {
            m_entries.push_back({ d, true });
            shown.push_back(u"[" + d + u"]");
        }
        for (const String& f : files) {
            m_entries.push_back({ f, false });
            shown.push_back(f);
        }
        m_list->SetItems(shown);
    }
    void Selected(int i)
    {
        if (i >= 0 && i < int(m_entries.size()) && !m_entries[std::size_t(i)].Folder)
            m_edit->SetText(m_entries[std::size_t(i)].Name);
    }
    void Opened(int i)
    {
        if (i < 0 || i >= int(m_entries.size()))
            return;
        const Entry e = m_entries[std::size_t(i)];
        if (e.Folder) {
            SetFolder(e.Name == u".." ? ExtractFilePath(ExcludeTrailingPathDelimiter(m_folder)) : m_folder + e.Name);
            return;
        }
        m_edit->SetText(e.Name);
        m_form->SetModalResult(mrOk);
    }

    struct Entry {
        String Name;
        bool Folder;
    };
    bool m_save;
    TOpenOptions m_options;
    String m_defaultExt;
    std::vector<TFilterEntry> m_filters;
    int m_filterIndex { 0 };
    std::unique_ptr<TForm> m_form;
    TLabel* m_folderLabel { nullptr };
    TNameList* m_list { nullptr };
    TNameList* m_types { nullptr };
    TEdit* m_edit { nullptr };
    String m_folder;
    String m_mask;
    std::vector<Entry> m_entries;
    String m_chosen;
};

} // namespace

namespace {

// The user's documents folder as the desktop names it (the XDG user folders
// file), else "Documents" in the home folder, else the home folder itself;
// empty when none of them exists.
String UserDocumentsFolder()
{
    const char* homeVar = std::getenv("HOME");
    const std::string home = homeVar ? homeVar : "";
    const char* configVar = std::getenv("XDG_CONFIG_HOME");
    const std::string config = configVar && *configVar == '/' ? configVar : home + "/.config";
    std::string documents;
    std::ifstream dirs(config + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=";
    for (std::string line; std::getline(dirs, line);) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            documents = value;
    }
    for (const std::string& candidate : { documents, home.empty() ? std::string() : home + "/Documents", home }) {
        if (!candidate.empty() && DirectoryExists(Utf8ToString(candidate)))
            return Utf8ToString(candidate);
    }
    return {};
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), m_files(std::make_unique<TStringList>()) { }

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute()
{
    InstallDialogs();
    const String title = m_title.empty() ? DefaultTitle() : m_title;
    TFileDialogForm dialog(IsSaveDialog(), title, m_filter, m_filterIndex, m_options, m_defaultExt);
    String folder = m_initialDir;
    if (folder.empty() && !ExtractFilePath(m_fileName).empty())
        folder = ExtractFilePath(m_fileName);
    // Without a folder of its own the dialog opens where the user keeps
    // documents, not wherever the program happened to be started.
    if (folder.empty() || !DirectoryExists(folder))
        folder = UserDocumentsFolder();
    if (folder.empty())
        folder = GetCurrentDir();
    dialog.SetFolder(folder);
    dialog.Edit()->SetText(ExtractFileName(m_fileName));
    dialog.Edit()->SelectAll();
    TDialogRecord record;
    record.Kind = IsSaveDialog() ? TDialogKind::SaveFile : TDialogKind::OpenFile;
    record.Caption = title;
    record.Value = m_fileName;
    record.Filter = m_filter;
    record.FilterIndex = m_filterIndex;
    record.InitialDir = dialog.Folder();
    record.DefaultExt = m_defaultExt;
    if (OnShow)
        OnShow(this);
    const TModalResult r = RunDialog(dialog.Form(), record, dialog.Edit(), [&](TModalResult result) {
        return result != mrOk || dialog.Accept();
    });
    if (OnClose)
        OnClose(this);
    if (r != mrOk)
        return false;
    m_fileName = dialog.Chosen();
    m_filterIndex = dialog.FilterIndex();
    m_files->Clear();
    m_files->Add(m_fileName);
    return true;
}
