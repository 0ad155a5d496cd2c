// What TestCamera.dll counts when the environment variable E2E_CAMERA_COUNTERS names a shared
// section: for runs too long to log every event line by line. The reader creates the section
// (CreateFileMapping of the paging file, named as in the variable) and holds it open while it
// reads; the DLL opens it for each event, since COM unloads the DLL whenever its last object
// goes. Counting and the log are independent of each other.
#pragma once
#include <windows.h>

struct CameraCounters {
    LONG created;
    LONG loaded;
    LONG sets;
    LONG destroyed;
    LONGLONG lastSetTime; // QueryPerformanceCounter as the last Set began, stored before `sets`
};
