// The smallest hidden dialog program: the yardstick for the shipped executable's size.
#include <windows.h>

static INT_PTR CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!CreateDialogParamA(instance, MAKEINTRESOURCE(1), NULL, Procedure, 0))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
