// The running monitor as other processes find it: its hidden dialog window.
#pragma once
#include <windows.h>

inline HWND FindMonitor() {
    return FindWindowA("#32770", "Dialog");
}
