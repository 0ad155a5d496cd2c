// Runs device discovery once, as the program's start-up does, and prints what it settled on.
#include <windows.h>
#include <stdio.h>

#include "devices/discovery.h"
#include "devices/hardware_ids.h"

int main() {
    char desc[MAX_PATH];
    char name[MAX_PATH];
    BOOL found = FindSupportedCamera(SupportedHardwareIds, SupportedHardwareIdCount, desc, MAX_PATH,
                                     name, MAX_PATH);
    printf("found=%d\ndesc=%s\nname=%s\n", found, desc, name);
    return 0;
}
