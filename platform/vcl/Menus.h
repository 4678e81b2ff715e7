#pragma once
// Keyboard shortcuts: a virtual key with modifier bits in one 16-bit value,
// and its text form ("Ctrl+S", "Shift+F5").

#include "platform/vcl/Controls.h"

using TShortCut = std::uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// Modifiers in the order Shift, Ctrl, Alt, then the key's name; empty for a
// key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse, ignoring case and blanks around '+'; 0 for text that names
// no key.
TShortCut TextToShortCut(const String& Text);
// The shortcut a key message makes with the modifiers held now.
TShortCut ShortCutFromMessage(const TWMKey& Message);
