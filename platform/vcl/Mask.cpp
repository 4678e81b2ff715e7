#include "platform/vcl/Mask.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"

QT_PUBLISHED(TCustomMaskEdit, QT_PROP(EditMask))
QT_PUBLISHED(TMaskEdit)

namespace {

bool IsLetter(Char c)
{
    return AnsiUpperCase(String(1, c)) != AnsiLowerCase(String(1, c));
}

bool IsDigit(Char c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
}

void TCustomMaskEdit::ParseMask()
{
    m_positions.clear();
    m_saveLiterals = true;
    m_blank = u'_';
    m_leadingBlanks = false;
    // The last two ';'-fields are the options, when present.
    String mask = m_editMask;
    std::vector<String> fields;
    {
        String cur;
        for (std::size_t i = 0; i < mask.size(); ++i) {
            if (mask[i] == u'\\' && i + 1 < mask.size()) {
                cur += mask[i];
                cur += mask[++i];
            } else if (mask[i] == u';') {
                fields.push_back(cur);
                cur.clear();
            } else {
                cur += mask[i];
            }
        }
        fields.push_back(cur);
    }
    if (fields.size() >= 2 && !fields[1].empty())
        m_saveLiterals = fields[1][0] != u'0';
    if (fields.size() >= 3 && !fields[2].empty())
        m_blank = fields[2][0];
    const String& m = fields[0];
    int caseMode = 0;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const Char c = m[i];
        switch (c) {
        case u'!': m_leadingBlanks = true; continue;
        case u'>':
            if (i + 1 < m.size() && m[i + 1] == u'<') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        case u'<': caseMode = -1; continue;
        case u'\\':
            if (i + 1 < m.size())
                m_positions.push_back({ true, m[++i], false, 0 });
            continue;
        case u'_': m_positions.push_back({ true, u' ', false, 0 }); continue;
        case u'L': case u'A': case u'C': case u'0':
            m_positions.push_back({ false, c, true, caseMode });
            continue;
        case u'l': case u'a': case u'c': case u'9': case u'#':
            m_positions.push_back({ false, c, false, caseMode });
            continue;
        default: m_positions.push_back({ true, c, false, 0 }); continue;
        }
    }
}

bool TCustomMaskEdit::CharFits(int Pos, Char Ch) const
{
    if (Pos < 0 || Pos >= int(m_positions.size()) || m_positions[std::size_t(Pos)].Literal)
        return false;
    switch (m_positions[std::size_t(Pos)].Ch) {
    case u'L': case u'l': return IsLetter(Ch);
    case u'A': case u'a': return IsLetter(Ch) || IsDigit(Ch);
    case u'C': case u'c': return Ch >= 0x20;
    case u'0': case u'9': return IsDigit(Ch);
    case u'#': return IsDigit(Ch) || Ch == u'+' || Ch == u'-';
    default: return false;
    }
}

String TCustomMaskEdit::BlankText() const
{
    String s;
    for (const TMaskPos& p : m_positions)
        s += p.Literal ? p.Ch : m_blank;
    return s;
}

String TCustomMaskEdit::FormatIntoMask(const String& v) const
{
    String out = BlankText();
    std::size_t src = 0;
    for (std::size_t i = 0; i < m_positions.size() && src < v.size(); ++i) {
        const TMaskPos& p = m_positions[i];
        if (p.Literal) {
            // A text that keeps the literals carries them in place.
            if (v[src] == p.Ch)
                ++src;
            continue;
        }
        Char c = v[src++];
        if (c == u' ' || c == m_blank || !CharFits(int(i), c))
            continue;
        if (p.Case > 0)
            c = AnsiUpperCase(String(1, c))[0];
        else if (p.Case < 0)
            c = AnsiLowerCase(String(1, c))[0];
        out[i] = c;
    }
    return out;
}

void TCustomMaskEdit::SetEditMask(const String& v)
{
    const String old = IsMasked() ? GetText() : TCustomEdit::GetText();
    m_editMask = v;
    ParseMask();
    if (IsMasked()) {
        SetMaxLength(int(m_positions.size()));
        TCustomEdit::SetText(FormatIntoMask(old));
    } else {
        SetMaxLength(0);
        TCustomEdit::SetText(old);
    }
}

void TCustomMaskEdit::SetEditText(const String& v)
{
    TCustomEdit::SetText(IsMasked() ? FormatIntoMask(v) : v);
}

String TCustomMaskEdit::GetText()
{
    String shown = TCustomEdit::GetText();
    if (!IsMasked())
        return shown;
    String out;
    for (std::size_t i = 0; i < m_positions.size() && i < shown.size(); ++i) {
        if (m_positions[i].Literal && !m_saveLiterals)
            continue;
        out += (!m_positions[i].Literal && shown[i] == m_blank) ? u' ' : shown[i];
    }
    if (m_leadingBlanks) {
        // Optional blanks gather at the start instead of the end.
        std::size_t end = out.find_last_not_of(u' ');
        const std::size_t trailing = end == String::npos ? out.size() : out.size() - end - 1;
        out = String(trailing, u' ') + out.substr(0, out.size() - trailing);
    }
    return out;
}

void TCustomMaskEdit::SetText(const String& v)
{
    if (!IsMasked()) {
        TCustomEdit::SetText(v);
        return;
    }
    String source = v;
    if (!m_saveLiterals) {
        // Spread the characters over the editable positions only.
        String spread;
        std::size_t src = 0;
        for (const TMaskPos& p : m_positions) {
            if (p.Literal)
                spread += p.Ch;
            else if (src < v.size())
                spread += v[src++];
        }
        source = spread;
    }
    TCustomEdit::SetText(FormatIntoMask(source));
}

int TCustomMaskEdit::NextEditable(int Pos) const
{
    while (Pos < int(m_positions.size()) && m_positions[std::size_t(Pos)].Literal)
        ++Pos;
    return Pos;
}

int TCustomMaskEdit::PrevEditable(int Pos) const
{
    --Pos;
    while (Pos >= 0 && m_positions[std::size_t(Pos)].Literal)
        --Pos;
    return Pos;
}

void TCustomMaskEdit::BlankRange(int From, int To)
{
    String text = TCustomEdit::GetText();
    bool changed = false;
    for (int i = std::max(0, From); i < To && i < int(text.size()); ++i)
        if (!m_positions[std::size_t(i)].Literal && text[std::size_t(i)] != m_blank) {
            text[std::size_t(i)] = m_blank;
            changed = true;
        }
    if (changed) {
        ReplaceRange(0, TextLength(), text, false);
        SetModified(true);
    }
    SetSel(From, From);
}

void TCustomMaskEdit::TypeMasked(Char Ch)
{
    if (GetReadOnly()) {
        MessageBeep(MB_OK);
        return;
    }
    int pos = GetSelStart();
    if (GetSelLength())
        BlankRange(pos, pos + GetSelLength());
    pos = NextEditable(pos);
    if (pos >= int(m_positions.size()) || !CharFits(pos, Ch)) {
        MessageBeep(MB_OK);
        return;
    }
    const TMaskPos& p = m_positions[std::size_t(pos)];
    if (p.Case > 0)
        Ch = AnsiUpperCase(String(1, Ch))[0];
    else if (p.Case < 0)
        Ch = AnsiLowerCase(String(1, Ch))[0];
    // A mask edit overwrites the position.
    ReplaceRange(pos, pos + 1, String(1, Ch), false);
    SetModified(true);
    SetSel(NextEditable(pos + 1), NextEditable(pos + 1));
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || GetReadOnly())
        return;
    if (Key == VK_DELETE && !Shift.Contains(ssShift)) {
        const int a = GetSelStart();
        BlankRange(a, GetSelLength() ? a + GetSelLength() : a + 1);
        SetModified(true);
        Key = 0;
    }
}

void TCustomMaskEdit::DefaultHandler(TMessage& Message)
{
    if (!IsMasked()) {
        TCustomEdit::DefaultHandler(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CHAR: {
        const Char ch = Char(Message.WParam);
        if (ch == 0x08) {
            if (GetReadOnly())
                return;
            if (GetSelLength()) {
                BlankRange(GetSelStart(), GetSelStart() + GetSelLength());
            } else {
                const int prev = PrevEditable(GetSelStart());
                if (prev >= 0)
                    BlankRange(prev, prev + 1);
            }
            SetModified(true);
            return;
        }
        if (ch >= 0x20) {
            TypeMasked(ch);
            return;
        }
        if (ch == 0x1A)
            return; // no undo over a mask
        TCustomEdit::DefaultHandler(Message);
        return;
    }
    case WM_PASTE: {
        String text;
        if (OpenClipboard(GetHandle())) {
            if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
                if (auto* p = static_cast<const char16_t*>(GlobalLock(h))) {
                    const std::size_t n = GlobalSize(h) / sizeof(char16_t);
                    text.assign(p, std::find(p, p + n, u'\0'));
                    GlobalUnlock(h);
                }
            }
            CloseClipboard();
        }
        for (Char c : text)
            if (c >= 0x20)
                TypeMasked(c);
        return;
    }
    case WM_CUT:
        // The characters go to the clipboard; their positions stay, blank.
        if (GetSelLength() && !(EditStyle() & ES_PASSWORD)) {
            Perform(WM_COPY);
            if (!GetReadOnly())
                BlankRange(GetSelStart(), GetSelStart() + GetSelLength());
        }
        return;
    case WM_CLEAR:
        if (!GetReadOnly())
            BlankRange(GetSelStart(), GetSelStart() + GetSelLength());
        return;
    case WM_UNDO:
    case EM_UNDO:
        return;
    default:
        TCustomEdit::DefaultHandler(Message);
    }
}

bool TCustomMaskEdit::Validate(const String& Value, int& Pos)
{
    for (std::size_t i = 0; i < m_positions.size(); ++i) {
        const TMaskPos& p = m_positions[i];
        if (!p.Literal && p.Required && (i >= Value.size() || Value[i] == m_blank || Value[i] == u' ')) {
            Pos = int(i);
            return false;
        }
    }
    return true;
}

void TCustomMaskEdit::ValidateEdit()
{
    if (!IsMasked())
        return;
    int pos = 0;
    if (!Validate(TCustomEdit::GetText(), pos)) {
        SetSel(pos, pos);
        throw EDBEditError(u"Invalid input value.  Use escape key to abandon changes");
    }
}

// Posted to put the focus back after a failed validation on leaving: the
// focus change under way finishes first.
static UINT RefocusMessage()
{
    static const UINT msg = RegisterWindowMessage(u"MaskEditRefocus");
    return msg;
}

void TCustomMaskEdit::DoExit()
{
    if (IsMasked() && GetModified()) {
        try {
            ValidateEdit();
        } catch (const Exception&) {
            m_reEnter = true;
            PostMessage(GetHandle(), RefocusMessage(), 0, 0);
            Application->HandleException(this);
            return;
        }
    }
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::DoEnter()
{
    // Back after a failed validation: the caret stays on the position to
    // fill instead of selecting everything.
    if (m_reEnter) {
        m_reEnter = false;
        TWinControl::DoEnter();
        return;
    }
    TCustomEdit::DoEnter();
}

void TCustomMaskEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == RefocusMessage()) {
        if (CanFocus())
            SetFocus();
        return;
    }
    TCustomEdit::Dispatch(Message);
}
