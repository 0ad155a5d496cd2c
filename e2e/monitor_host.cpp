// monitor_host.exe "CAMERA NAME": runs the real monitor for the named camera, as the program
// does once its start-up gate has passed, and says when the monitor has ended.
#include <windows.h>
#include <stdio.h>

#include "camera/camera_channel.h"
#include "monitor/monitor.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    SetCameraDeviceName(argv[1]);
    RunMonitor(GetModuleHandleA(NULL));
    printf("monitor ended\n");
    return 0;
}
