// The test camera's log: one line appended per event to the file named in E2E_CAMERA_LOG,
// shared by the driver and the programs that write their own lines beside its records.
#pragma once
#include <windows.h>

inline void AppendToCameraLog(const char* line) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("E2E_CAMERA_LOG", path, sizeof(path)))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, lstrlenA(line), &written, NULL);
    CloseHandle(file);
}
