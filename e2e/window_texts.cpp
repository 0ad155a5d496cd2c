// window_texts.exe: what the session's windows say, for tests that check a page's words without
// reading its picture. Prints each visible top-level window that has a title, then the text of
// every window inside it (a page's labels and buttons) on a line of its own after a tab, its line
// breaks as blanks; in UTF-8, whatever the code page.
#include <windows.h>

namespace {

HANDLE output;

void Print(wchar_t* text, bool inside) {
    for (wchar_t* c = text; *c; ++c)
        if (*c == L'\r' || *c == L'\n')
            *c = L' ';
    char utf8[4096];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    if (length <= 1)
        return;
    DWORD written;
    if (inside)
        WriteFile(output, "\t", 1, &written, NULL);
    WriteFile(output, utf8, length - 1, &written, NULL);
    WriteFile(output, "\n", 1, &written, NULL);
}

BOOL CALLBACK PrintInside(HWND window, LPARAM) {
    wchar_t text[2048];
    if (GetWindowTextW(window, text, ARRAYSIZE(text)))
        Print(text, true);
    return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
    wchar_t title[512];
    if (IsWindowVisible(window) && GetWindowTextW(window, title, ARRAYSIZE(title))) {
        Print(title, false);
        EnumChildWindows(window, PrintInside, 0);
    }
    return TRUE;
}

} // namespace

int main() {
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    return EnumWindows(PrintTopLevel, 0) ? 0 : 1;
}
