// monitor_tool.exe: what other processes do to a running monitor.
//
//   find                 waits up to 10 s for the hidden monitor window, then sends it WM_NULL
//                        so that it has finished its start; prints the handle or "none"
//   gone                 waits up to 10 s for the window to go; prints "gone" or "still there"
//   send MSG WPARAM ...  sends each message (numbers in C notation) and prints
//                        "MSG WPARAM -> REPLY" per message, or "MSG WPARAM -> timeout"
//   quit                 broadcasts the registered quit message as an uninstall does
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "common/common.h"
#include "monitor_window.h"

namespace {

HWND WaitFor(bool present) {
    HWND window = FindMonitor();
    for (int i = 0; i < 100 && (window != NULL) != present; ++i) {
        Sleep(100);
        window = FindMonitor();
    }
    return window;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    if (!strcmp(argv[1], "find")) {
        HWND window = WaitFor(true);
        DWORD_PTR reply;
        bool found =
            window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &reply);
        if (found)
            printf("%p\n", (void*)window);
        else
            printf("none\n");
        return found ? 0 : 1;
    }
    if (!strcmp(argv[1], "gone")) {
        bool gone = !WaitFor(false);
        printf(gone ? "gone\n" : "still there\n");
        return gone ? 0 : 1;
    }
    if (!strcmp(argv[1], "quit")) {
        DWORD recipients = BSM_APPLICATIONS;
        long result =
            BroadcastSystemMessageA(BSF_POSTMESSAGE, &recipients, RegisterQuitMessage(), 0, 0);
        printf("broadcast %ld\n", result);
        return result > 0 ? 0 : 1;
    }
    if (!strcmp(argv[1], "send")) {
        HWND window = WaitFor(true);
        if (!window) {
            printf("none\n");
            return 1;
        }
        for (int i = 2; i + 1 < argc; i += 2) {
            UINT message = strtoul(argv[i], NULL, 0);
            WPARAM wParam = strtoul(argv[i + 1], NULL, 0);
            DWORD_PTR reply = 0;
            if (SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 20000, &reply))
                printf("0x%04x %lu -> %lu\n", message, (unsigned long)wParam, (unsigned long)reply);
            else
                printf("0x%04x %lu -> timeout\n", message, (unsigned long)wParam);
        }
        return 0;
    }
    return 2;
}
