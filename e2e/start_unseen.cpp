// start_unseen.exe nowindow|hidden COMMAND-LINE: starts COMMAND-LINE as a script or a deployment
// agent does, in a console of its own that nobody sees: one without a window (CREATE_NO_WINDOW),
// or one whose window is hidden (a script's Run with window style 0). Waits up to 10 s and
// prints "exit code N", or "still running" after ending it, as nobody would come to end it.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    DWORD flags = CREATE_NO_WINDOW;
    if (!strcmp(argv[1], "hidden")) {
        flags = CREATE_NEW_CONSOLE;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, argv[2], NULL, NULL, FALSE, flags, NULL, NULL, &startup, &process)) {
        printf("cannot start: error %lu\n", GetLastError());
        return 1;
    }
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code)) {
        printf("exit code %lu\n", code);
    } else {
        TerminateProcess(process.hProcess, 1);
        printf("still running\n");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
