#include <windows.h>

#include "app/entry.h"
#include "app/program.h"

LPSTR SkipProgramName(LPSTR commandLine) {
    char* p = commandLine;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while ((unsigned char)*p > ' ')
            ++p;
    }
    while (*p && (unsigned char)*p <= ' ')
        ++p;
    return p;
}

// The runtime's own split of the command line is not used: the switches are read from the
// text after the program's name exactly as the system holds it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return ProgramMain(instance, SkipProgramName(GetCommandLineA()));
}
