#include "console.h"

#include <windows.h>
#include <stdarg.h>

void Print(const char* format, ...) {
    char line[1024 + 2];
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(line, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, length, &written, NULL);
}
