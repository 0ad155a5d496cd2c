// The monitors running beside this process, found by one walk of the process list: the
// uninstall waits on it, and the support tool reports it.
#pragma once
#include <windows.h>

// Counts the QX481Mon.exe processes in this process's session, this one left out. FALSE when
// the process list or this process's session cannot be read.
BOOL CountOtherMonitors(DWORD* count);

// Returns once no other monitor runs in this session, or after ten seconds at most. Called
// after the quit broadcast, which reaches the monitors of this session only.
void WaitForOtherMonitors();
