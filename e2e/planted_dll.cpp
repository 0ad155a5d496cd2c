// planted.dll: what a web page could have dropped into a downloads folder under the name of a
// DLL that a program there needs. Loaded into a process, it notes its own path and the
// program's in C:\e2e\planted.log, and fails its load: it exports nothing, and a program that
// imports it then ends at once instead of calling what it lacks.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char dll[MAX_PATH] = "", exe[MAX_PATH] = "", line[2 * MAX_PATH + 32];
    GetModuleFileNameA(instance, dll, MAX_PATH);
    GetModuleFileNameA(NULL, exe, MAX_PATH);
    int length = wsprintfA(line, "%s loaded into %s\r\n", dll, exe);
    HANDLE log = CreateFileA("C:\\e2e\\planted.log", FILE_APPEND_DATA, FILE_SHARE_READ, NULL,
                             OPEN_ALWAYS, 0, NULL);
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(log, line, length, &written, NULL);
        CloseHandle(log);
    }
    return FALSE;
}
