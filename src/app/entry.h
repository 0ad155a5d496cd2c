// The process entry: hands ProgramMain the command line after the program's own name.
#pragma once
#include <windows.h>

// The text after the program's own name in a full command line, with the blanks before it
// skipped. A quoted name ends at its closing quote even with no blank after it.
LPSTR SkipProgramName(LPSTR commandLine);
