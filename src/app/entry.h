// The process entry: hands ProgramMain the command line after the program's own name, and
// ends the process with its result.
#pragma once
#include <windows.h>

// Where the executable starts (the link names it): there is no WinMain and no C runtime start-up.
extern "C" void ProgramEntry();

// The text after the program's own name in a full command line, with the blanks before it
// skipped. A quoted name ends at its closing quote even with no blank after it.
LPSTR SkipProgramName(LPSTR commandLine);
