// Start-up: the command-line switches, the start-up gate and the run of the monitor.
#pragma once
#include <windows.h>

// Carries out the switches in commandLine (the text after the program's own name), then runs
// the monitor if this machine qualifies, or removes the autostart value if it does not.
// Returns 0, the process exit code, in every case.
int ProgramMain(HINSTANCE instance, LPCSTR commandLine);
