// camera_probe.exe NAME CODE...: sends each command code through the camera command channel
// to the device named NAME, as the monitor would, and reports every send on standard output,
// one line of tab-separated fields:
//
//   sent code=C result=R com=released
//
// That the channel let go of the device shows in the camera's own "destroy" event.
// com=released: the channel left COM uninitialised on this thread, as it found it.
// The same line goes to the test camera's log (E2E_CAMERA_LOG), so a test can see which
// driver events happened inside which send.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "camera/camera_channel.h"
#include "camera_log.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: camera_probe NAME CODE...\n");
        return 2;
    }
    SetCameraDeviceName(argv[1]);
    for (int i = 2; i < argc; i++) {
        DWORD code = strtoul(argv[i], NULL, 0);
        BOOL result = SendCameraCommand(static_cast<CameraCommand>(code));
        // S_OK from a fresh CoInitialize shows the send did not leave COM initialised.
        HRESULT com = CoInitialize(NULL);
        if (SUCCEEDED(com))
            CoUninitialize();
        char line[128];
        sprintf(line, "sent\tcode=%lu\tresult=%d\tcom=%s\r\n", code, result,
                com == S_OK ? "released" : "held");
        AppendToCameraLog(line);
        fputs(line, stdout);
    }
    return 0;
}
