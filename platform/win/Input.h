#pragma once
// Keyboard state, key translation, cursors and beeps.

#include "platform/win/WinUser.h"

// High bit: down; low bit: toggled. GetKeyState follows the messages the
// thread has taken from its queue; GetAsyncKeyState follows the input as it
// arrives. With swapped mouse buttons VK_LBUTTON and VK_RBUTTON follow the
// logical buttons.
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
bool GetKeyboardState(BYTE state[256]);
bool SetKeyboardState(const BYTE state[256]);
// The character a key makes under `state` on the built-in US layout;
// answers the number of UTF-16 units written (0 when the key makes none).
int ToUnicode(UINT vk, UINT scanCode, const BYTE state[256], char16_t* buffer, int bufferSize, UINT flags);
UINT MapVirtualKey(UINT code, UINT mapType);
inline constexpr UINT MAPVK_VK_TO_VSC = 0;
inline constexpr UINT MAPVK_VSC_TO_VK = 1;
inline constexpr UINT MAPVK_VK_TO_CHAR = 2;
// The key and shift state that type `ch` on the US layout; vk 0 when none.
struct TKeyStroke {
    WORD vk { 0 };
    bool shift { false };
};
TKeyStroke VkKeyScanFor(char16_t ch);
// Scan code (set 1) and whether the key is an extended key.
struct TScanCode {
    BYTE code { 0 };
    bool extended { false };
};
TScanCode ScanCodeOf(WORD vk);

// Cursors. Standard ids (IDC_*) give shared cursors; programs register
// their own under an id with SetCursorResource and load them the same way.
HCURSOR LoadCursor(HINSTANCE instance, UINT_PTR id);
HCURSOR CreateCursorFromPixels(int width, int height, int hotX, int hotY, const std::uint32_t* argb);
void SetCursorResource(HINSTANCE instance, UINT_PTR id, HCURSOR cursor);
// The pixels of a custom cursor (nullptr for standard cursors).
struct TCursorPixels {
    int Width { 0 };
    int Height { 0 };
    int HotX { 0 };
    int HotY { 0 };
    const std::uint32_t* Argb { nullptr };
};
TCursorPixels GetCursorPixels(HCURSOR cursor);
// Standard id of a cursor, 0 for a custom one.
UINT_PTR GetCursorId(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
bool GetCursorPos(POINT& p);
bool SetCursorPos(int x, int y);

// Beeps are recorded (and sounded by a back end that can).
bool MessageBeep(UINT type);
