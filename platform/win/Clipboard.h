#pragma once
// The clipboard and the global memory blocks that carry its data. Text
// formats synthesise each other (CF_TEXT holds UTF-8, the ANSI code page
// here). On screen, text is exchanged with the desktop clipboard.

#include <cstddef>

#include "platform/win/WinUser.h"

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL mem);
bool GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);
// Answers nullptr on success, the handle itself when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL mem);

bool OpenClipboard(HWND owner);
bool CloseClipboard();
bool EmptyClipboard();
// The clipboard takes ownership of `mem`; a null handle is not supported.
HANDLE SetClipboardData(UINT format, HANDLE mem);
HANDLE GetClipboardData(UINT format);
bool IsClipboardFormatAvailable(UINT format);
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
UINT RegisterClipboardFormat(const String& name);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
