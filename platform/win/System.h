#pragma once
// System metrics and settings of a classic 96-dpi desktop.

#include "platform/win/WinUser.h"

int GetSystemMetrics(int index);
bool SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
UINT GetDoubleClickTime();
bool SetDoubleClickTime(UINT ms);
bool SwapMouseButton(bool swap);
