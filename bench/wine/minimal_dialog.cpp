// The smallest hidden dialog program: the yardstick for the shipped executable's size, started
// the same way, at an entry of its own with no C runtime before it.
#include <windows.h>

static INT_PTR CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

extern "C" void ProgramEntry() {
    if (!CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCE(1), NULL, Procedure, 0))
        ExitProcess(1);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    ExitProcess(0);
}
