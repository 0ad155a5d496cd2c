#include "app/program.h"

// Kept apart from the start-up so that the support tool takes the check without the monitor.
BOOL IsSupportedWindowsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           info.dwMajorVersion == 5 && info.dwMinorVersion == 1;
}
