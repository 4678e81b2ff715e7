#pragma once
// Event handles and waits that keep the message queue in view.

#include "platform/win/WinUser.h"

HANDLE CreateEvent(void* securityAttributes, bool manualReset, bool initialState, const char16_t* name);
bool SetEvent(HANDLE event);
bool ResetEvent(HANDLE event);
bool CloseHandle(HANDLE handle);
DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs);
// Answers WAIT_OBJECT_0 + i for the first signalled handle (all of them
// with `waitAll`), WAIT_OBJECT_0 + count when a message is waiting in the
// queue, WAIT_TIMEOUT or WAIT_FAILED.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs, DWORD wakeMask);
