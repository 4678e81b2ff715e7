#include "platform/vcl/Menus.h"

#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"

namespace {

struct TKeyName {
    WORD Key;
    const char16_t* Name;
};

// Names of the keys that are not a printable character.
constexpr TKeyName KeyNames[] = {
    { VK_BACK, u"BkSp" }, { VK_TAB, u"Tab" }, { VK_ESCAPE, u"Esc" }, { VK_RETURN, u"Enter" },
    { VK_SPACE, u"Space" }, { VK_PRIOR, u"PgUp" }, { VK_NEXT, u"PgDn" }, { VK_END, u"End" },
    { VK_HOME, u"Home" }, { VK_LEFT, u"Left" }, { VK_UP, u"Up" }, { VK_RIGHT, u"Right" },
    { VK_DOWN, u"Down" }, { VK_INSERT, u"Ins" }, { VK_DELETE, u"Del" },
};

String KeyName(WORD key)
{
    for (const TKeyName& k : KeyNames)
        if (k.Key == key)
            return k.Name;
    if (key >= VK_F1 && key <= VK_F1 + 23)
        return u"F" + IntToStr(key - VK_F1 + 1);
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return String(1, char16_t(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return u"Num " + String(1, char16_t(u'0' + key - VK_NUMPAD0));
    const UINT ch = MapVirtualKey(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (ch > 32)
        return String(1, char16_t(ch));
    return {};
}

bool StartsWithText(const String& text, std::size_t at, const String& word)
{
    if (text.size() - at < word.size())
        return false;
    return StrLower(text.substr(at, word.size())) == StrLower(word);
}

} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return scNone;
    TShortCut s = Key;
    if (Shift.Contains(ssShift)) s |= scShift;
    if (Shift.Contains(ssCtrl)) s |= scCtrl;
    if (Shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift)
{
    Key = ShortCut & 0x00FF;
    Shift.Clear();
    if (ShortCut & scShift) Shift.Include(ssShift);
    if (ShortCut & scCtrl) Shift.Include(ssCtrl);
    if (ShortCut & scAlt) Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut ShortCut)
{
    const String name = KeyName(ShortCut & 0xFF);
    if (name.empty())
        return {};
    String text;
    if (ShortCut & scShift) text += u"Shift+";
    if (ShortCut & scCtrl) text += u"Ctrl+";
    if (ShortCut & scAlt) text += u"Alt+";
    return text + name;
}

TShortCut TextToShortCut(const String& Text)
{
    TShortCut mods = 0;
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < Text.size() && Text[at] == u' ')
            ++at;
    };
    for (;;) {
        skipBlanks();
        const struct {
            const char16_t* Word;
            TShortCut Bit;
        } modifiers[] = { { u"Shift", scShift }, { u"Ctrl", scCtrl }, { u"Alt", scAlt } };
        bool found = false;
        for (const auto& m : modifiers) {
            const String word = m.Word;
            if (!StartsWithText(Text, at, word))
                continue;
            std::size_t after = at + word.size();
            while (after < Text.size() && Text[after] == u' ')
                ++after;
            if (after < Text.size() && Text[after] == u'+') {
                mods |= m.Bit;
                at = after + 1;
                found = true;
                break;
            }
        }
        if (!found)
            break;
    }
    String rest = Text.substr(at);
    while (!rest.empty() && rest.back() == u' ')
        rest.pop_back();
    if (rest.empty())
        return scNone;
    for (WORD key = 0x08; key <= 0xFF; ++key) {
        const String name = KeyName(key);
        if (!name.empty() && StrLower(name) == StrLower(rest))
            return TShortCut(key | mods);
    }
    return scNone;
}

TShortCut ShortCutFromMessage(const TWMKey& Message)
{
    return ShortCut(Message.CharCode, KeyDataToShiftState(Message.KeyData));
}
