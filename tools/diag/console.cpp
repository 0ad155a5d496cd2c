#include "console.h"

#include <stdarg.h>
#include <string.h>

namespace {

// Where the report's lines are kept for its copies.
char* kept;
DWORD keptRoom, keptLength;
BOOL keptCut; // a line did not fit: no copy is made

void Write(BOOL inReport, const char* format, va_list arguments) {
    char line[1024 + 2];
    int length = wvsprintfA(line, format, arguments);
    if (length < 0)
        return;
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, length, &written, NULL);
    if (!inReport || !kept)
        return;
    if (keptLength + length > keptRoom) {
        keptCut = TRUE;
        return;
    }
    memcpy(kept + keptLength, line, length);
    keptLength += length;
}

} // namespace

void Print(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Write(TRUE, format, arguments);
    va_end(arguments);
}

void Tell(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Write(FALSE, format, arguments);
    va_end(arguments);
}

void KeepReport(char* room, DWORD size) {
    kept = room;
    keptRoom = size;
    keptLength = 0;
    keptCut = FALSE;
}

BOOL SaveReport(const char* path) {
    if (!kept || keptCut) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD count;
    BOOL written = WriteFile(file, kept, keptLength, &count, NULL) && count == keptLength;
    DWORD error = GetLastError();
    // A network share may tell of a failed write only when the file is closed.
    BOOL closed = CloseHandle(file);
    if (!written)
        SetLastError(error);
    return written && closed;
}

BOOL HasSeenConsoleOfItsOwn() {
    DWORD processes[2], mode, needed;
    if (GetConsoleProcessList(processes, 2) != 1 ||
        !GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode))
        return FALSE;
    HWND window = GetConsoleWindow();
    USEROBJECTFLAGS station;
    return window && IsWindowVisible(window) &&
           GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &station, sizeof station,
                                     &needed) &&
           (station.dwFlags & WSF_VISIBLE);
}

void WaitForEnter() {
    Tell("Press Enter to close this window.");
    char typed[64];
    DWORD read;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), typed, sizeof typed, &read, NULL);
}
