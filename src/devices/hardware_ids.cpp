#include "devices/hardware_ids.h"

#include <string.h>

// Interface 0 of each camera by its plain ID alone. Windows lists an interface's ID with the
// device's revision (...&REV_0100&MI_00) first and the plain one after it; only the plain one
// is the same for every revision of a model.
const char* const SupportedHardwareIds[] = {
    "USB\\VID_0C45&PID_63F0&MI_00", "USB\\VID_0C45&PID_63F1&MI_00", "USB\\VID_0C45&PID_63F2&MI_00",
    "USB\\VID_0C45&PID_63F3&MI_00", "USB\\VID_0C45&PID_63F4&MI_00", "USB\\VID_0C45&PID_63F5&MI_00",
    "USB\\VID_0C45&PID_63F6&MI_00", "USB\\VID_0C45&PID_63F7&MI_00", "USB\\VID_0C45&PID_63F8&MI_00",
    "USB\\VID_0C45&PID_63F9&MI_00", "USB\\VID_0C45&PID_63FA&MI_00", "USB\\VID_0C45&PID_63FB&MI_00",
    "USB\\VID_0C45&PID_63FC&MI_00", "USB\\VID_0C45&PID_63FD&MI_00", "USB\\VID_0C45&PID_63FE&MI_00",
    "USB\\VID_0C45&PID_63FF&MI_00", "USB\\VID_05CA&PID_18A0&MI_00", "USB\\VID_05CA&PID_18A1&MI_00",
    "USB\\VID_05CA&PID_18A2&MI_00", "USB\\VID_05CA&PID_18A3&MI_00", "USB\\VID_05CA&PID_18A4&MI_00",
    "USB\\VID_05CA&PID_18A5&MI_00", "USB\\VID_05CA&PID_18A6&MI_00", "USB\\VID_05CA&PID_18A7&MI_00",
    "USB\\VID_05CA&PID_18A8&MI_00", "USB\\VID_05CA&PID_18A9&MI_00", "USB\\VID_05CA&PID_18AA&MI_00",
    "USB\\VID_05CA&PID_18AB&MI_00", "USB\\VID_05CA&PID_18AC&MI_00", "USB\\VID_05CA&PID_18AD&MI_00",
    "USB\\VID_05CA&PID_18AE&MI_00", "USB\\VID_05CA&PID_18AF&MI_00",
};
const DWORD SupportedHardwareIdCount = sizeof SupportedHardwareIds / sizeof SupportedHardwareIds[0];

BOOL MatchHardwareIdList(char* list, const char* const* ids, DWORD count, DWORD* entry) {
    char* cursor = list;
    while (*cursor) {
        // Pieces are cut at commas, so the text after a comma is compared as if it were the
        // next string, and a string ending in a comma ends the walk.
        char* piece = strtok(cursor, ",");
        if (!piece) {
            cursor += strlen(cursor) + 1;
            continue;
        }
        for (DWORD i = 0; i < count; ++i) {
            if (_stricmp(piece, ids[i]) == 0) {
                if (entry)
                    *entry = i;
                return 1;
            }
        }
        cursor = piece + strlen(piece) + 1;
    }
    return 0;
}

char* EnumeratorName(const char* const* ids, char* buffer) {
    lstrcpynA(buffer, ids[0], MAX_PATH);
    char* backslash = strchr(buffer, '\\');
    if (backslash)
        *backslash = 0;
    return buffer;
}
