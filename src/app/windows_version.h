// The start-up's test of the Windows version, kept apart so the support tool takes it alone.
#pragma once
#include <windows.h>

// 1 on Windows XP (NT platform, version 5.1) only.
BOOL IsSupportedWindowsVersion();
