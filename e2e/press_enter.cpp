// press_enter.exe EXE TEXT: waits up to 10 s until the console window of the running EXE shows
// a line TEXT, prints every line the window shows, and presses Enter in it, as the person
// reading it would. Exits 1 when the window never shows TEXT.
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace {

DWORD FindProcess(const char* exe) {
    DWORD found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        if (!lstrcmpiA(entry.szExeFile, exe))
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

// The window's lines up to the cursor, each without the blanks that fill it; TRUE when one of
// them is text.
BOOL ReadWindow(HANDLE screen, const char* text, std::string* shown) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info))
        return FALSE;
    BOOL found = FALSE;
    std::string row(info.dwSize.X, ' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterA(screen, &row[0], info.dwSize.X, {0, y}, &read);
        std::string line = row.substr(0, read);
        line.erase(line.find_last_not_of(' ') + 1);
        found = found || line == text;
        *shown += line + "\n";
    }
    return found;
}

void PressEnter(HANDLE input) {
    INPUT_RECORD keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        KEY_EVENT_RECORD& key = keys[i].Event.KeyEvent;
        keys[i].EventType = KEY_EVENT;
        key.bKeyDown = i == 0;
        key.wRepeatCount = 1;
        key.wVirtualKeyCode = VK_RETURN;
        key.uChar.AsciiChar = '\r';
    }
    DWORD written;
    WriteConsoleInputA(input, keys, 2, &written);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    // Wine gives a program started from outside it a console of its own to leave.
    FreeConsole();
    std::string shown;
    BOOL found = FALSE;
    for (int i = 0; i < 100 && !found; ++i, Sleep(100)) {
        DWORD process = FindProcess(argv[1]);
        if (!process || !AttachConsole(process))
            continue;
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, share, NULL,
                                    OPEN_EXISTING, 0, NULL);
        HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, share, NULL,
                                   OPEN_EXISTING, 0, NULL);
        shown.clear();
        found = ReadWindow(screen, argv[2], &shown);
        if (found)
            PressEnter(input);
        CloseHandle(input);
        CloseHandle(screen);
        FreeConsole();
    }
    // Only now: attached, this process's output could have gone to the window.
    fputs(found ? shown.c_str() : ("never shown: " + shown).c_str(), stdout);
    return found ? 0 : 1;
}
