#include "app/program.h"

#include <string.h>

#include "app/autostart.h"
#include "app/monitors.h"
#include "app/windows_version.h"
#include "camera/camera_channel.h"
#include "devices/discovery.h"
#include "devices/hardware_ids.h"
#include "monitor/monitor.h"

// Carries out the switches, cutting buffer into its tokens, then applies the start-up gate.
// buffer then holds the driver description that discovery writes, at least MAX_PATH bytes.
static void Start(HINSTANCE instance, char* buffer) {
    for (char* token = strtok(buffer, " "); token; token = strtok(NULL, " ")) {
        if (!lstrcmpiA(token, "/i") || !lstrcmpiA(token, "-i")) {
            SetAutostart(TRUE);
        } else if (!lstrcmpiA(token, "/u") || !lstrcmpiA(token, "-u")) {
            SetAutostart(FALSE);
            BroadcastQuit();
            // Installers delete or replace the file once this returns: the monitors that
            // were told to quit must have let go of it by then.
            WaitForOtherMonitors();
            return;
        }
    }

    // A machine that does not qualify stops starting the monitor at log-on.
    char friendlyName[MAX_PATH];
    if (!FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, buffer, MAX_PATH,
                             friendlyName, MAX_PATH) ||
        !IsSupportedWindowsVersion()) {
        SetAutostart(FALSE);
        return;
    }
    SetCameraDeviceName(friendlyName);
    RunMonitor(instance);
}

int ProgramMain(HINSTANCE instance, LPCSTR commandLine) {
    int length = lstrlenA(commandLine);
    SIZE_T size = length < MAX_PATH ? MAX_PATH : length + 1;
    char* buffer = (char*)HeapAlloc(GetProcessHeap(), 0, size);
    if (!buffer)
        return 0;
    memcpy(buffer, commandLine, length + 1);
    Start(instance, buffer);
    HeapFree(GetProcessHeap(), 0, buffer);
    return 0;
}
