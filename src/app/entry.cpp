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

// The process starts here, with no C runtime start-up before it: the program has no static
// constructors or atexit handlers for one to run, and reads its switches from the text after its
// own name exactly as the system holds it. Returning would end only this thread, and leave the
// process to the threads that COM and the system's DLLs have started.
extern "C" void ProgramEntry() {
    ExitProcess(ProgramMain(GetModuleHandleA(NULL), SkipProgramName(GetCommandLineA())));
}
