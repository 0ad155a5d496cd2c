#include "app/autostart.h"

#include <string.h>

#include "common/common.h"

// The value names the copy in the Windows directory, wherever this one runs from: putting it
// there is the installer's business. A path with a space is quoted so that the shell cannot
// take its first word for the program. FALSE when any piece is missing or the whole would not
// fit, so that no broken path is ever stored.
static BOOL BuildAutostartValue(char* value, DWORD capacity) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) // XP leaves a cut path without its NUL
        return FALSE;
    char* filePart = NULL;
    GetFullPathNameA(path, MAX_PATH, path, &filePart);
    if (!filePart || !*filePart)
        return FALSE;

    char directory[MAX_PATH];
    UINT directoryLength = GetWindowsDirectoryA(directory, MAX_PATH);
    if (directoryLength == 0 || directoryLength >= MAX_PATH)
        return FALSE;
    BOOL quoted = strchr(directory, ' ') || strchr(filePart, ' ');
    // The directory, the backslash, the file name, the quotes and the NUL.
    if (directoryLength + 1 + lstrlenA(filePart) + (quoted ? 2 : 0) + 1 > capacity)
        return FALSE;

    value[0] = 0;
    if (quoted)
        lstrcatA(value, "\"");
    lstrcatA(value, directory);
    lstrcatA(value, "\\");
    lstrcatA(value, filePart);
    if (quoted)
        lstrcatA(value, "\"");
    return TRUE;
}

void SetAutostart(BOOL enable) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, AUTOSTART_KEY, 0, KEY_READ | KEY_WRITE, &key) !=
        ERROR_SUCCESS)
        return;
    if (enable) {
        char value[MAX_PATH + 2]; // room for the quotes around a full-length path
        if (BuildAutostartValue(value, sizeof value))
            RegSetValueExA(key, AUTOSTART_VALUE_NAME, 0, REG_SZ, (const BYTE*)value,
                           lstrlenA(value) + 1);
    } else {
        RegDeleteValueA(key, AUTOSTART_VALUE_NAME);
    }
    RegCloseKey(key);
}

void BroadcastQuit() {
    DWORD recipients = BSM_APPLICATIONS;
    BroadcastSystemMessage(BSF_POSTMESSAGE, &recipients, RegisterQuitMessage(), 0, 0);
}
